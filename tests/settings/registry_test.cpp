#include "zhost/settings/codepage.h"
#include "zhost/settings/registry.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace zhost::settings;

namespace {

// Points the machine-wide switch file at a test file for the test's lifetime.
class SwitchFile {
public:
    SwitchFile() { setMachineRegistryFile(dir_.path() / "machine.reg"); }
    ~SwitchFile() { setMachineRegistryFile({}); }
    void write(const std::wstring& body, bool utf16 = false) {
        const std::wstring text =
            L"Windows Registry Editor Version 5.00\r\n\r\n"
            L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\r\n" +
            body;
        dir_.Write("machine.reg", utf16 ? "\xFF\xFE" + encode(text, kCodePageUtf16Le)
                                        : encode(text, kCodePageUtf8));
    }
    const ztest::TempFolder& dir() const { return dir_; }

private:
    ztest::TempFolder dir_;
};

} // namespace

TEST(RegistrySwitch, OnExactlyForFourBytesHoldingOne) {
    SwitchFile file;
    file.write(L"\"Dword1\"=dword:00000001\r\n"
               L"\"Binary1\"=hex:01,00,00,00\r\n"
               L"\"Typed1\"=hex(4):01,00,00,00\r\n"
               L"\"OddType1\"=hex(7):01,00,00,00\r\n"
               L"\"Dword2\"=dword:00000002\r\n"
               L"\"String1\"=\"1\"\r\n"
               L"\"Qword1\"=hex(b):01,00,00,00,00,00,00,00\r\n"
               L"\"Short1\"=hex:01\r\n"
               L"\"Zero\"=dword:0\r\n");
    for (const wchar_t* on : {L"Dword1", L"Binary1", L"Typed1", L"OddType1", L"dword1"})
        EXPECT_TRUE(isSwitchOn(on)) << on;
    for (const wchar_t* off : {L"Dword2", L"String1", L"Qword1", L"Short1", L"Zero", L"Missing"})
        EXPECT_FALSE(isSwitchOn(off)) << off;
    EXPECT_FALSE(
        isSwitchOn(L"Dword1", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\OTHER"));
    EXPECT_TRUE(isSwitchOn(L"Dword1", L"hklm\\software\\tessaly\\parameters\\zorma_cont"));
}

TEST(RegistrySwitch, QueryReportsTheDataLikeTheRegistry) {
    SwitchFile file;
    file.write(L"\"S\"=\"1\"\r\n\"Q\"=hex(b):02,00,00,00,00,00,00,00\r\n\"D\"=dword:12345678\r\n");
    uint32_t v = 0;
    size_t bytes = 0;
    EXPECT_TRUE(readRegistryDword(kZormaSwitchKey, L"S", v, bytes));
    EXPECT_EQ(bytes, 4u); // "1" and its terminator in UTF-16
    EXPECT_EQ(v, 0x31u);
    EXPECT_FALSE(readRegistryDword(kZormaSwitchKey, L"Q", v, bytes));
    EXPECT_EQ(bytes, 8u);
    EXPECT_TRUE(readRegistryDword(kZormaSwitchKey, L"D", v, bytes));
    EXPECT_EQ(v, 0x12345678u);
}

TEST(RegistrySwitch, MissingFileOrKeyIsOff) {
    setMachineRegistryFile("/no/such/machine.reg");
    EXPECT_FALSE(isSwitchOn(L"ShowDebugInfo"));
    setMachineRegistryFile({});
    SwitchFile file;
    file.dir().Write("machine.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
                                    "\"ShowDebugInfo\"=dword:00000001\r\n");
    EXPECT_FALSE(isSwitchOn(L"ShowDebugInfo"));
}

TEST(RegistrySwitch, AChangeTakesEffectAtTheNextQuestion) {
    SwitchFile file;
    file.write(L"\"SkipDragging\"=dword:00000001\r\n");
    EXPECT_TRUE(isSwitchOn(L"SkipDragging"));
    file.write(L"\"SkipDragging\"=dword:00000000\r\n");
    EXPECT_FALSE(isSwitchOn(L"SkipDragging"));
    file.write(L"\"SkipDragging\"=hex:01,00,00,00\r\n", true);
    EXPECT_TRUE(isSwitchOn(L"SkipDragging"));
}

TEST(RegFileSyntax, ReadsExportsWithContinuationsCommentsAndDeletions) {
    const RegFile reg = RegFile::parse(L"Windows Registry Editor Version 5.00\n"
                                       L"; a comment\n"
                                       L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n"
                                       L"\"Bin\"=hex:01,02,\\\n"
                                       L"  03,04\n"
                                       L"\"Path\"=\"C:\\\\Program Files\\\\\\\"x\\\"\"\n"
                                       L"@=dword:00000001\n"
                                       L"\"Gone\"=dword:00000001\n"
                                       L"\"Gone\"=-\n"
                                       L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Sub]\n"
                                       L"\"V\"=dword:1\n"
                                       L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\B]\n"
                                       L"\"V\"=dword:1\n"
                                       L"[-HKEY_LOCAL_MACHINE\\SOFTWARE\\B]\n");
    const RegValue* bin = reg.find(L"SOFTWARE\\A", L"Bin");
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(bin->data, (std::vector<uint8_t>{1, 2, 3, 4}));
    const RegValue* path = reg.find(L"HKLM\\SOFTWARE\\A", L"path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->type, kRegSz);
    EXPECT_EQ(decode(std::string(path->data.begin(), path->data.end() - 2), kCodePageUtf16Le),
              L"C:\\Program Files\\\"x\"");
    EXPECT_NE(reg.find(L"SOFTWARE\\A", L"@"), nullptr);
    EXPECT_EQ(reg.find(L"SOFTWARE\\A", L"Gone"), nullptr);
    EXPECT_NE(reg.find(L"SOFTWARE\\A\\Sub", L"V"), nullptr);
    EXPECT_FALSE(reg.hasKey(L"SOFTWARE\\B"));
}

TEST(RegFileSyntax, MalformedValuesAreLeftOutAndTheRestIsRead) {
    const RegFile reg = RegFile::parse(L"[HKEY_LOCAL_MACHINE\\K]\n"
                                       L"\"BadHex\"=hex:01,zz,00,00\n"
                                       L"\"BadDword\"=dword:1234567890\n"
                                       L"\"BadType\"=hex(q):01,00,00,00\n"
                                       L"\"Unclosed=dword:00000001\n"
                                       L"\"Trailing\"=\"a\" junk\n"
                                       L"[Unterminated\n"
                                       L"\"Good\"=dword:00000001\n"
                                       L"\x0001\xFFFD garbage\n");
    for (const wchar_t* bad : {L"BadHex", L"BadDword", L"BadType", L"Unclosed", L"Trailing"})
        EXPECT_EQ(reg.find(L"K", bad), nullptr) << bad;
    EXPECT_EQ(reg.find(L"K", L"Good"), nullptr); // the broken header ended the key
    EXPECT_EQ(reg.keyCount(), 1u);
}
