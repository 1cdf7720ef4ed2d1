// The part's dialog description as the loader reads it: which sections are controls, what each
// key fills, the defaults, the rule sections and the limits of the buffers it reads through.
#include "selection/PartDescription.h"

#include "../library/LibraryTestUtil.h"
#include "zhost/core/utf.h"

#include <gtest/gtest.h>

namespace {

using libtest::Cp932;
using libtest::Utf16Le;

class DescriptionTest : public ::testing::Test {
protected:
    // Writes Dlg/<name> under the library root, as a UTF-16 file unless bytes are given.
    void WriteDescription(const std::string& name, const std::wstring& text) {
        WriteRaw(name, Utf16Le(text));
    }
    void WriteRaw(const std::string& name, const std::string& bytes) {
        libtest::WriteBytes(dir_.path() / "PartsContents" / "Dlg" / name, bytes);
    }
    int Load(const std::wstring& name) {
        desc_.SetLibraryRoot(libtest::WidePath(dir_.path()));
        return desc_.Load(name);
    }
    const CParam& At(int i) const { return desc_.m_params.at(static_cast<size_t>(i)); }

    ztest::TempFolder dir_;
    PartDescription desc_;
};

TEST(DescriptionSectionKinds, KindComesFromTheNameWithoutItsLastCharacter) {
    ControlKind kind = ControlKind::Label;
    struct Case {
        const wchar_t* name;
        bool isControl;
        ControlKind kind;
    };
    const Case cases[] = {
        {L"List1", true, ControlKind::List},
        {L"list2", true, ControlKind::List},
        {L"ListA", true, ControlKind::List},
        {L"List10", false, ControlKind::Label}, // reads "List1" without its last character
        {L"Radio3", true, ControlKind::Radio},
        {L" Check1 ", true, ControlKind::Check},
        {L"Edit9", true, ControlKind::Edit},
        {L"Label1", true, ControlKind::Label},
        {L"Label", false, ControlKind::Label},
        {L"ComboList1", true, ControlKind::ComboList},
        {L"Drawing", true, ControlKind::Drawing},
        {L"DRAWING", true, ControlKind::Drawing},
        {L"Drawing1", false, ControlKind::Label},
        {L"Header", true, ControlKind::Header},
        {L"Quality", true, ControlKind::Quality},
        {L"Quality1", false, ControlKind::Label},
        {L"General", false, ControlKind::Label},
        {L"Edit", false, ControlKind::Label},
        {L"", false, ControlKind::Label},
    };
    for (const Case& c : cases) {
        kind = ControlKind::Label;
        EXPECT_EQ(ControlKindFromSectionName(c.name, kind), c.isControl) << zhost::toUtf8(c.name);
        if (c.isControl) {
            EXPECT_EQ(kind, c.kind) << zhost::toUtf8(c.name);
        }
    }
}

TEST_F(DescriptionTest, ControlsFollowFileOrderAndUnknownSectionsAreSkipped) {
    WriteDescription("P.ini", L"[General]\r\nThumbDirection=2\r\n[error]\r\n0=x\r\n"
                              L"[Header]\r\ncaption=見出し\r\n[Radio1]\r\nselection=a,b\r\n"
                              L"[Stray]\r\nkey=1\r\n[List10]\r\ncaption=no\r\n[List1]\r\n"
                              L"[Drawing]\r\n[Label1]\r\ncaption=参照\r\n");
    ASSERT_EQ(Load(L"P"), 5);
    EXPECT_EQ(At(0).m_name, L"Header");
    EXPECT_EQ(At(0).m_kind, ControlKind::Header);
    EXPECT_EQ(At(0).m_caption, L"見出し");
    EXPECT_EQ(At(1).m_kind, ControlKind::Radio);
    EXPECT_EQ(At(2).m_name, L"List1");
    EXPECT_EQ(At(3).m_kind, ControlKind::Drawing);
    EXPECT_EQ(At(4).m_kind, ControlKind::Label);
    EXPECT_EQ(desc_.Find(L"list10"), nullptr);
    EXPECT_EQ(desc_.Find(L"radio1"), &At(1));
    EXPECT_EQ(desc_.FindKind(ControlKind::Drawing), &At(3));
    for (const CParam& p : desc_.m_params)
        EXPECT_TRUE(p.m_enabledAtOk) << zhost::toUtf8(p.m_name);
}

TEST_F(DescriptionTest, KeysFillTheirFieldsAndALaterKeyWins) {
    WriteDescription("P.ini", L"[Edit1]\r\n SELECTION = x , y \r\nbase_name=B_\r\nparamName=D\r\n"
                              L"symbol=1,0\r\ncontrol=List1\r\ncaption=first\r\ncaption=second\r\n"
                              L"enabled=1:Edit2\r\nwidth=8mm\r\nstrength=8.8\r\ndefault=10\r\n"
                              L"material=M.dat\r\ndata=D.dat\r\nno_such_key=1\r\n");
    ASSERT_EQ(Load(L"P"), 1);
    const CParam& p = At(0);
    EXPECT_EQ(p.m_selection, L"x , y");
    EXPECT_EQ(p.m_baseName, L"B_");
    EXPECT_EQ(p.m_paramName, L"D");
    EXPECT_EQ(p.m_symbol, L"1,0");
    EXPECT_EQ(p.m_control, L"List1");
    EXPECT_EQ(p.m_caption, L"second");
    EXPECT_EQ(p.m_enabled, L"1:Edit2");
    EXPECT_EQ(p.m_width, 8);
    EXPECT_EQ(p.m_strength, L"8.8");
    EXPECT_EQ(p.m_value, L"10");
    EXPECT_EQ(p.GetIntValue(), 10);
    EXPECT_EQ(p.m_data, L"D.dat"); // "data" and "material" are one field
}

TEST_F(DescriptionTest, DefaultsDependOnTheKindAndOnAnEmptyValue) {
    WriteDescription("B1180.ini", L"[Drawing]\r\n[List1]\r\n[Radio1]\r\n[Quality]\r\n"
                                  L"[List2]\r\ndata=\r\nbase_name=\r\n[Edit1]\r\nmaterial=\r\n");
    ASSERT_EQ(Load(L"B1180"), 6);
    EXPECT_EQ(At(0).m_data, L"*");
    EXPECT_EQ(At(0).m_value, L"1");
    EXPECT_EQ(At(0).m_baseName, L"");
    EXPECT_EQ(At(1).m_data, L"*");
    EXPECT_EQ(At(1).m_value, L"");
    EXPECT_EQ(At(2).m_data, L"");
    EXPECT_EQ(At(3).m_data, L"");
    // Given empty, data and base name name the part's own files.
    EXPECT_EQ(At(4).m_data, L"B1180_Yobi.dat");
    EXPECT_EQ(At(4).m_baseName, L"B1180_");
    EXPECT_EQ(At(5).m_data, L"B1180_Yobi.dat"); // "material" is the same field
}

TEST_F(DescriptionTest, DisabledIsStoredAsTheEnablingRuleItStandsFor) {
    WriteDescription("P.ini", L"[Check1]\r\ndisabled=0:Edit1,Edit2\r\n[Check2]\r\n"
                              L"enabled=1:Edit1,Edit2\r\n[Check3]\r\ndisabled=1:Edit1\r\n"
                              L"[Check4]\r\ndisabled=7:Edit1\r\n[Check5]\r\ndisabled=x:Edit1\r\n"
                              L"[Check6]\r\ndisabled=Edit1\r\n[Check7]\r\nenabled=1:A\r\n"
                              L"disabled=1:B\r\n");
    ASSERT_EQ(Load(L"P"), 7);
    EXPECT_EQ(At(0).m_enabled, At(1).m_enabled);
    EXPECT_EQ(At(0).m_enabled, L"1:Edit1,Edit2");
    EXPECT_EQ(At(2).m_enabled, L"0:Edit1");
    EXPECT_EQ(At(3).m_enabled, L"0:Edit1");
    EXPECT_EQ(At(4).m_enabled, L"1:Edit1"); // no number reads as 0
    EXPECT_EQ(At(5).m_enabled, L"Edit1");   // without ":" it stays as written
    EXPECT_EQ(At(6).m_enabled, L"0:B");     // one field: the later key wins
}

TEST_F(DescriptionTest, RuleSectionsStopAtTheFirstMissingOrEmptyEntry) {
    WriteDescription("P.ini", L"[error]\r\n0=a\r\n1=b\r\n3=lost\r\n[enabled]\r\n0=x\r\n1=\r\n"
                              L"2=lost\r\n[disabled]\r\n1=lost\r\n");
    ASSERT_EQ(Load(L"P"), 0);
    EXPECT_EQ(desc_.m_error, (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(desc_.m_enabled, (std::vector<std::wstring>{L"x"}));
    EXPECT_TRUE(desc_.m_disabled.empty());
}

TEST_F(DescriptionTest, RuleSectionsHoldAtMost999Entries) {
    std::wstring text = L"[disabled]\r\n";
    for (int i = 0; i < 1200; ++i)
        text += std::to_wstring(i) + L"=1:List" + std::to_wstring(i) + L"\r\n";
    WriteDescription("P.ini", text);
    ASSERT_EQ(Load(L"P"), 0);
    ASSERT_EQ(desc_.m_disabled.size(), 999u);
    EXPECT_EQ(desc_.m_disabled.back(), L"1:List998");
}

TEST_F(DescriptionTest, ValuesSectionBodiesAndSectionNamesFitTheirBuffers) {
    const std::wstring longValue(1500, L'v');
    std::wstring text = L"[error]\r\n0=" + longValue + L"\r\n[Edit1]\r\ncaption=c\r\n" +
                        L"selection=" + std::wstring(1100, L's') + L"\r\ndefault=kept\r\n";
    // Enough sections that their names overflow the section-name buffer.
    for (int i = 0; i < 200; ++i)
        text += L"[Check" + std::to_wstring(i % 10) + L"_pad" + std::to_wstring(i) + L"]\r\n";
    text += L"[Radio1]\r\nselection=a,b\r\n";
    WriteDescription("P.ini", text);
    Load(L"P");
    ASSERT_EQ(desc_.m_error.size(), 1u);
    EXPECT_EQ(desc_.m_error[0].size(), kDescriptionBufferChars - 1);
    const CParam* edit = desc_.Find(L"Edit1");
    ASSERT_NE(edit, nullptr);
    // A line that does not fit the section body ends what is read of the section.
    EXPECT_EQ(edit->m_caption, L"c");
    EXPECT_EQ(edit->m_selection, L"");
    EXPECT_EQ(edit->m_value, L"");
    // The section names beyond the buffer are not seen.
    EXPECT_EQ(desc_.Find(L"Radio1"), nullptr);
}

TEST_F(DescriptionTest, IniIsAppendedUnlessTheNameEndsInIt) {
    WriteDescription("B1.ini", L"[List1]\r\n");
    EXPECT_EQ(Load(L"B1"), 1);
    EXPECT_EQ(desc_.m_fileName, L"B1");
    EXPECT_EQ(Load(L"B1.INI"), 1);
    EXPECT_EQ(desc_.m_fileName, L"B1.INI");
    EXPECT_EQ(desc_.GetDescriptionPath(L"B1.ini.bak"), desc_.GetDlgFolder() + L"B1.ini.bak.ini");
}

TEST_F(DescriptionTest, Utf16AndCodePage932FilesLoadAlike) {
    const std::wstring text = L"[Header]\r\ncaption=六角ボルト　JIS\r\n[Radio1]\r\n"
                              L"caption=線種\r\nselection=実線,かくれ線\r\n";
    WriteRaw("U.ini", Utf16Le(text));
    WriteRaw("S.ini", Cp932(text));
    ASSERT_EQ(Load(L"U"), 2);
    const std::vector<CParam> utf16 = desc_.m_params;
    ASSERT_EQ(Load(L"S"), 2);
    for (size_t i = 0; i < utf16.size(); ++i) {
        EXPECT_EQ(desc_.m_params[i].m_caption, utf16[i].m_caption);
        EXPECT_EQ(desc_.m_params[i].m_selection, utf16[i].m_selection);
    }
    EXPECT_EQ(desc_.m_params[1].m_selection, L"実線,かくれ線");
}

TEST_F(DescriptionTest, AMissingFileGivesMinusOneAndAnEmptyDescription) {
    WriteDescription("P.ini", L"[error]\r\n0=x\r\n[List1]\r\n[List2]\r\n");
    ASSERT_EQ(Load(L"P"), 2);
    EXPECT_EQ(Load(L"Missing"), -1);
    EXPECT_TRUE(desc_.m_params.empty());
    EXPECT_TRUE(desc_.m_error.empty());
    WriteDescription("Empty.ini", L"");
    EXPECT_EQ(Load(L"Empty"), 0);
}

TEST(DescriptionModel, CommandStateHasItsDefaultsBeforeLoading) {
    PartDescription desc;
    EXPECT_EQ(desc.m_drawingNumber, 1);
    EXPECT_EQ(desc.GetOutlineLayer(), L"AM_0");
    EXPECT_EQ(desc.GetProjectionLength(), L"2.5");
    desc.SetLibraryRoot(L"C:\\Lib\\");
    EXPECT_EQ(desc.m_root, L"C:\\Lib\\PartsContents\\");
    EXPECT_EQ(desc.GetDataFolder(), L"C:\\Lib\\PartsContents\\Data\\");
    desc.SetLibraryRoot(L"/lib");
    EXPECT_EQ(desc.GetSymbolsFolder(), L"/lib\\PartsContents\\Symbols\\");
}

} // namespace

namespace {

TEST(DescriptionSample, TheBundledPartialThreadBoltLoads) {
    PartDescription desc;
    desc.SetLibraryRoot(std::wstring(L"" ZORMA_SOURCE_DIR) + L"/samples/product/PartsData");
    ASSERT_GT(desc.Load(L"B1180_Partial"), 0);
    const CParam* drawing = desc.FindKind(ControlKind::Drawing);
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(drawing->m_baseName, L"B1180_Partial_"); // given empty
    const CParam* quality = desc.FindKind(ControlKind::Quality);
    ASSERT_NE(quality, nullptr);
    EXPECT_EQ(quality->m_data, L"B1180_Material.dat");
    const CParam* list = desc.Find(L"List1");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->m_data, L"B1180_Partial_Yobi.dat");
    ASSERT_FALSE(desc.m_error.empty());
    EXPECT_EQ(desc.m_error[0].rfind(L"RANGE_ERR,", 0), 0u);
}

} // namespace
