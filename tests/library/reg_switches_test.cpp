#include "frame/RegSwitches.h"

#include "LibraryTestUtil.h"

#include "zhost/settings/registry.h"

#include <gtest/gtest.h>

using libtest::WriteBytes;
using ztest::TempFolder;

namespace {

class MachineReg {
public:
    MachineReg() { zhost::settings::setMachineRegistryFile(file()); }
    ~MachineReg() { zhost::settings::setMachineRegistryFile({}); }
    std::filesystem::path file() const { return dir_.path() / "machine.reg"; }
    void Write(const std::string& values) {
        WriteBytes(file(), "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\r\n" +
                               values);
    }

private:
    ztest::TempFolder dir_;
};

} // namespace

TEST(RegSwitches, FourByteOneOfAnyTypeIsOn) {
    MachineReg reg;
    reg.Write("\"ShowDebugInfo\"=dword:00000001\r\n"
              "\"ShowBmInsert\"=hex:01,00,00,00\r\n"
              "\"SkipDragging\"=hex(b):01,00,00,00\r\n");
    EXPECT_TRUE(IsShowDebugInfo());
    EXPECT_TRUE(IsShowBmInsert());
    EXPECT_TRUE(IsSkipDragging());
}

TEST(RegSwitches, OtherValuesAreOff) {
    MachineReg reg;
    reg.Write("\"ShowDebugInfo\"=dword:00000002\r\n"
              "\"ShowBmInsert\"=\"1\"\r\n"
              "\"SkipDragging\"=hex:01,00,00,00,00,00,00,00\r\n");
    EXPECT_FALSE(IsShowDebugInfo());
    EXPECT_FALSE(IsShowBmInsert());
    EXPECT_FALSE(IsSkipDragging());
    EXPECT_FALSE(IsRegSwitchOn(L"Unknown"));
    EXPECT_FALSE(IsRegSwitchOn(nullptr));
}

TEST(RegSwitches, MissingFileOrKeyIsOff) {
    MachineReg reg;
    EXPECT_FALSE(IsShowDebugInfo());
    WriteBytes(reg.file(), "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
                           "\"ShowDebugInfo\"=dword:00000001\r\n");
    EXPECT_FALSE(IsShowDebugInfo());
}

TEST(RegSwitches, ReadFreshAtEveryQuestion) {
    MachineReg reg;
    reg.Write("\"ShowDebugInfo\"=dword:00000001\r\n");
    EXPECT_TRUE(IsShowDebugInfo());
    reg.Write("\"ShowDebugInfo\"=dword:00000000\r\n");
    EXPECT_FALSE(IsShowDebugInfo());
    reg.Write("\"ShowDebugInfo\"=dword:00000001\r\n");
    EXPECT_TRUE(IsShowDebugInfo());
}
