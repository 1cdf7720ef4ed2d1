// CAutoVar: a system variable changed for a scope comes back however the scope is left.
#include "frame/AutoVar.h"

#include "support/status.h"

#include "zhost/editor/sysvars.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace ed = zhost::ed;

namespace {

int VarInt(const wchar_t* name) {
    int value = -12345;
    EXPECT_OK(ed::getVarInt(name, value)) << "reading a variable";
    return value;
}

class AutoVarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ed::resetSessionVars();
        ASSERT_OK(ed::setVarInt(L"OSMODE", 4133));
        ASSERT_OK(ed::setVarInt(L"SNAPMODE", 1));
    }
};

bool ChangeAndLeaveEarly(bool leaveEarly) {
    CAutoVar osMode(L"OSMODE", 0);
    if (leaveEarly)
        return VarInt(L"OSMODE") == 0;
    ed::setVarInt(L"OSMODE", 7);
    return false;
}

} // namespace

TEST_F(AutoVarTest, WritesTheValueForTheScopeAndRestoresItAtTheEnd) {
    {
        CAutoVar osMode;
        EXPECT_TRUE(osMode.Set(L"OSMODE", 0));
        EXPECT_TRUE(osMode.IsHolding());
        EXPECT_EQ(VarInt(L"OSMODE"), 0);
    }
    EXPECT_EQ(VarInt(L"OSMODE"), 4133);
}

TEST_F(AutoVarTest, WritesTheNewValueAsA16BitInteger) {
    CAutoVar echo(L"CMDECHO", 0);
    ed::ResBuf value;
    ASSERT_EQ(ed::getVar(L"CMDECHO", value), ed::Result::normal);
    EXPECT_EQ(value.code, ed::rt::int16);
    EXPECT_EQ(value.integer(), 0);
}

TEST_F(AutoVarTest, UnknownVariableIsNeitherRememberedNorRestored) {
    {
        CAutoVar unknown;
        EXPECT_FALSE(unknown.Set(L"NOSUCHVARIABLE", 1));
        EXPECT_FALSE(unknown.IsHolding());
        // Changes made by others in the meantime survive the scope end.
        ed::setVarInt(L"OSMODE", 99);
    }
    EXPECT_EQ(VarInt(L"OSMODE"), 99);
}

TEST_F(AutoVarTest, RestoresOnEarlyReturn) {
    EXPECT_TRUE(ChangeAndLeaveEarly(true));
    EXPECT_EQ(VarInt(L"OSMODE"), 4133);
    ChangeAndLeaveEarly(false);
    EXPECT_EQ(VarInt(L"OSMODE"), 4133);
}

TEST_F(AutoVarTest, RestoresWhileAnExceptionUnwinds) {
    try {
        CAutoVar snap(L"SNAPMODE", 0);
        CAutoVar osMode(L"OSMODE", 0);
        EXPECT_EQ(VarInt(L"SNAPMODE"), 0);
        throw std::runtime_error("command failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(VarInt(L"SNAPMODE"), 1);
    EXPECT_EQ(VarInt(L"OSMODE"), 4133);
}

TEST_F(AutoVarTest, NestedChangesOfOneVariableUnwindToTheFirstValue) {
    {
        CAutoVar outer(L"OSMODE", 1);
        {
            CAutoVar inner(L"OSMODE", 2);
            EXPECT_EQ(VarInt(L"OSMODE"), 2);
        }
        EXPECT_EQ(VarInt(L"OSMODE"), 1);
    }
    EXPECT_EQ(VarInt(L"OSMODE"), 4133);
}

TEST_F(AutoVarTest, SecondSetOnOneObjectGivesTheFirstVariableBack) {
    {
        CAutoVar var(L"SNAPMODE", 0);
        EXPECT_TRUE(var.Set(L"OSMODE", 0));
        EXPECT_EQ(VarInt(L"SNAPMODE"), 1);
        EXPECT_EQ(VarInt(L"OSMODE"), 0);
    }
    EXPECT_EQ(VarInt(L"OSMODE"), 4133);
    EXPECT_EQ(VarInt(L"SNAPMODE"), 1);
}

TEST_F(AutoVarTest, RealVariableGetsItsRealValueBack) {
    double before = 0;
    ASSERT_OK(ed::getVarReal(L"VIEWSIZE", before));
    ASSERT_OK(ed::setVarReal(L"VIEWSIZE", 123.25));
    {
        CAutoVar size(L"VIEWSIZE", 10);
        double during = 0;
        ed::getVarReal(L"VIEWSIZE", during);
        EXPECT_DOUBLE_EQ(during, 10.0);
    }
    double after = 0;
    ed::getVarReal(L"VIEWSIZE", after);
    EXPECT_DOUBLE_EQ(after, 123.25);
    ed::setVarReal(L"VIEWSIZE", before);
}

TEST_F(AutoVarTest, NameLongerThan64CharactersIsRefused) {
    const std::wstring longName(65, L'X');
    CAutoVar var;
    EXPECT_FALSE(var.Set(longName.c_str(), 0));
    EXPECT_FALSE(var.IsHolding());
    const std::wstring longest(64, L'X'); // unknown, but within the limit: read and refused
    EXPECT_FALSE(var.Set(longest.c_str(), 0));
}
