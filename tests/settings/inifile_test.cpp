#include "zhost/settings/codepage.h"
#include "zhost/settings/inifile.h"
#include "zhost/settings/privateprofile.h"

#include "support/status.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace zhost::settings;

namespace {

const std::wstring kLayerIni = L"; 図面の画層\r\n"
                               L"[OUTLINE]\r\n"
                               L"Layer = 外形線 \r\n"
                               L"Color=7\r\n"
                               L"  LineType=Continuous\r\n"
                               L"[ 部品 ]\r\n"
                               L"名前=髙 ①～㈱ ｱｲｳ\r\n"
                               L"Count=3\r\n";

struct Seen {
    std::vector<std::wstring> sections;
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    bool operator==(const Seen&) const = default;
};

Seen walk(IniFile& ini) {
    Seen seen;
    for (const IniSection& s : ini.sections()) {
        seen.sections.push_back(s.name());
        EXPECT_TRUE(ini.selectSection(s.name()));
        for (size_t i = 0; i < ini.keyCount(); ++i) {
            std::wstring k, v;
            EXPECT_TRUE(ini.keyAt(i, k, v));
            seen.entries.emplace_back(k, v);
        }
    }
    return seen;
}

} // namespace

TEST(IniEncoding, Utf16Utf8AndCodePage932GiveTheSameContent) {
    ztest::TempFolder dir;
    const auto utf16 = dir.Write("a.ini", "\xFF\xFE" + encode(kLayerIni, kCodePageUtf16Le));
    const auto utf8 = dir.Write("b.ini", encode(kLayerIni, kCodePageUtf8));
    const auto utf8Bom = dir.Write("c.ini", "\xEF\xBB\xBF" + encode(kLayerIni, kCodePageUtf8));
    bool lossless = false;
    const auto cp932 = dir.Write("d.ini", encode(kLayerIni, kCodePage932, &lossless));
    ASSERT_TRUE(lossless);

    IniFile reference = IniFile::parse(kLayerIni);
    const Seen expected = walk(reference);
    ASSERT_EQ(expected.sections, (std::vector<std::wstring>{L"OUTLINE", L"部品"}));
    EXPECT_EQ(expected.entries[0], std::make_pair(std::wstring(L"Layer"), std::wstring(L"外形線")));
    EXPECT_EQ(expected.entries[3].second, L"髙 ①～㈱ ｱｲｳ");

    for (const auto& file : {utf16, utf8, utf8Bom, cp932}) {
        IniFile ini;
        ASSERT_OK(ini.load(file)) << file;
        EXPECT_EQ(walk(ini), expected) << file;
    }
    IniFile ini;
    ini.load(cp932);
    EXPECT_EQ(ini.encoding(), TextEncoding::codePage);
}

TEST(IniLookup, NamesIgnoreCaseAndBlanksAndFirstDuplicateWins) {
    IniFile ini = IniFile::parse(L"[General]\nThumbDirection=2\nthumbdirection=5\n"
                                 L"[GENERAL]\nThumbDirection=9\nOther=1\n");
    EXPECT_TRUE(ini.selectSection(L"  general "));
    int v = 0;
    EXPECT_TRUE(ini.getInt(L"THUMBDIRECTION", v));
    EXPECT_EQ(v, 2);
    EXPECT_EQ(ini.keyCount(), 1u); // the repeated section and its keys are not seen
    EXPECT_FALSE(ini.getInt(L"Other", v));
    EXPECT_FALSE(ini.selectSection(L"Missing"));
    EXPECT_EQ(ini.keyCount(), 0u);
}

TEST(IniLookup, KeysByIndexFollowFileOrder) {
    IniFile ini = IniFile::parse(L"[S]\nz=1\na=2\nm=3\n; not a key\nno equals sign\nb=\n");
    ASSERT_TRUE(ini.selectSection(L"S"));
    ASSERT_EQ(ini.keyCount(), 4u);
    std::wstring k, v;
    std::vector<std::wstring> keys;
    for (size_t i = 0; i < ini.keyCount(); ++i) {
        ASSERT_TRUE(ini.keyAt(i, k, v));
        keys.push_back(k + L"=" + v);
    }
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"z=1", L"a=2", L"m=3", L"b="}));
    EXPECT_FALSE(ini.keyAt(4, k, v));
}

TEST(IniInteger, ParsesLikeThePlatform) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"42", 42},  {L"-7", -7},         {L"+8", 8},  {L"12abc", 12}, {L" 5 ", 5},
        {L"0x1F", 0}, {L"4294967295", -1}, {L"007", 7}, {L"3.9", 3},
    };
    for (const auto& [text, expected] : cases) {
        int v = 12345;
        EXPECT_TRUE(parseProfileInt(text, v)) << text;
        EXPECT_EQ(v, expected) << text;
    }
    for (const wchar_t* text : {L"", L"abc", L"-", L"+ 1", L"--1"}) {
        int v = 12345;
        EXPECT_FALSE(parseProfileInt(text, v)) << text;
        EXPECT_EQ(v, 12345);
    }
}

TEST(IniValues, AreCutToTheBufferOfTheReader) {
    const std::wstring longValue(3000, L'x');
    IniFile ini = IniFile::parse(L"[S]\nk=" + longValue + L"\n");
    ini.selectSection(L"S");
    std::wstring v;
    ASSERT_TRUE(ini.getString(L"k", v));
    EXPECT_EQ(v.size(), kIniValueCapacity - 1);
    ini.setValueCapacity(10);
    ini.getString(L"k", v);
    EXPECT_EQ(v, L"xxxxxxxxx");
}

TEST(IniBadInput, ReadsWhatCanBeRead) {
    // Unterminated header, junk bytes, no final newline, a 100 kB line.
    std::string bytes = "[Good]\nA=1\n[Broken\nB=2\n\x01\x02\xFF\xFE\x80garbage=\x81\n";
    bytes += "Long=" + std::string(100 * 1024, 'y') + "\n";
    bytes += "[Tail]\nLast=end"; // no final newline
    ztest::TempFolder dir;
    IniFile ini;
    ASSERT_OK(ini.load(dir.Write("bad.ini", bytes)));
    ASSERT_TRUE(ini.selectSection(L"Good"));
    int a = 0;
    EXPECT_TRUE(ini.getInt(L"A", a));
    EXPECT_EQ(a, 1);
    // The keys after the broken header stay in the section above: the header names nothing.
    std::wstring v;
    EXPECT_TRUE(ini.getString(L"B", v));
    EXPECT_TRUE(ini.getString(L"Long", v));
    EXPECT_EQ(v.size(), kIniValueCapacity - 1);
    EXPECT_FALSE(ini.selectSection(L"Broken"));
    ASSERT_TRUE(ini.selectSection(L"Tail"));
    EXPECT_TRUE(ini.getString(L"Last", v));
    EXPECT_EQ(v, L"end");

    IniFile junk;
    EXPECT_OK(junk.load(dir.Write("junk.ini", std::string("\x00\x01\xFF[\x00]=\x00", 9))));
    EXPECT_EQ(junk.load(dir.path() / "missing.ini"), zhost::Status::fileNotFound);
    EXPECT_TRUE(junk.sections().empty());
}

TEST(IniWrite, SetCreatesTheSelectedSectionAndSavesInTheFileEncoding) {
    ztest::TempFolder dir;
    const auto file = dir.Write("w.ini", "\xFF\xFE" + encode(L"[A]\r\nx=1\r\n", kCodePageUtf16Le));
    IniFile ini;
    ASSERT_OK(ini.load(file));
    EXPECT_FALSE(ini.selectSection(L"新しい"));
    EXPECT_TRUE(ini.setString(L"名前", L"値"));
    EXPECT_TRUE(ini.selectSection(L"A"));
    EXPECT_TRUE(ini.setInt(L"x", 5));
    ASSERT_OK(ini.save(file));
    EXPECT_EQ(ztest::ReadFile(file).substr(0, 2), "\xFF\xFE");
    IniFile again;
    again.load(file);
    std::wstring v;
    ASSERT_TRUE(again.selectSection(L"新しい"));
    EXPECT_TRUE(again.getString(L"名前", v));
    EXPECT_EQ(v, L"値");
}

TEST(PrivateProfile, ReadsWithThePlatformsRules) {
    ztest::TempFolder dir;
    dir.Write("Dlg/B1180.ini", encode(L"[General]\r\nThumbDirection=3\r\nTitle=\"六角ボルト\"\r\n"
                                      L"Empty=\r\nWord=abc\r\n[Ctl]\r\nk1=v1\r\nk2=v2\r\n",
                                      kCodePage932));
    // Backslashes and another case, as the add-on builds the path.
    const std::wstring file = dir.path().wstring() + L"\\dlg\\b1180.INI";
    std::wstring out;
    EXPECT_EQ(getPrivateProfileString(L"general", L"title", L"", out, 1024, file), 5u);
    EXPECT_EQ(out, L"六角ボルト"); // surrounding quotes removed
    getPrivateProfileString(L"General", L"Missing", L"def  ", out, 1024, file);
    EXPECT_EQ(out, L"def");
    getPrivateProfileString(L"General", L"Title", L"", out, 3, file);
    EXPECT_EQ(out, L"六角");
    EXPECT_EQ(getPrivateProfileInt(L"General", L"ThumbDirection", 1, file), 3);
    EXPECT_EQ(getPrivateProfileInt(L"General", L"Missing", 1, file), 1);
    EXPECT_EQ(getPrivateProfileInt(L"General", L"Empty", 1, file), 1);
    EXPECT_EQ(getPrivateProfileInt(L"General", L"Word", 1, file), 0);
    EXPECT_EQ(getPrivateProfileInt(L"General", L"ThumbDirection", 1, L"/no/such.ini"), 1);
    EXPECT_EQ(getPrivateProfileSection(L"Ctl", 1024, file),
              (std::vector<std::wstring>{L"k1=v1", L"k2=v2"}));
    EXPECT_EQ(getPrivateProfileSection(L"Ctl", 8, file), (std::vector<std::wstring>{L"k1=v1"}));
    EXPECT_EQ(getPrivateProfileSectionNames(1024, file),
              (std::vector<std::wstring>{L"General", L"Ctl"}));
    EXPECT_EQ(getPrivateProfileKeyNames(L"Ctl", 1024, file),
              (std::vector<std::wstring>{L"k1", L"k2"}));
}

TEST(PrivateProfile, SectionReaderHandsOutDuplicateKeysAsTheyStand) {
    ztest::TempFolder dir;
    dir.Write("d.ini", "[Ctl]\r\nk=first\r\nother=x\r\nK = second\r\n[Ctl]\r\nk=ignored\r\n");
    const std::wstring file = dir.path().wstring() + L"/d.ini";
    // The section reader leaves duplicates to its caller, which may let the later one win ...
    EXPECT_EQ(getPrivateProfileSection(L"ctl", 1024, file),
              (std::vector<std::wstring>{L"k=first", L"other=x", L"K=second"}));
    // ... while a key look-up takes the first, and a repeated section stays ignored.
    std::wstring out;
    getPrivateProfileString(L"Ctl", L"k", L"", out, 1024, file);
    EXPECT_EQ(out, L"first");
    EXPECT_EQ(getPrivateProfileKeyNames(L"Ctl", 1024, file),
              (std::vector<std::wstring>{L"k", L"other"}));
}

TEST(PrivateProfile, SeesAChangedFileAtTheNextCall) {
    ztest::TempFolder dir;
    const auto path = dir.Write("p.ini", "[S]\nk=1\n");
    EXPECT_EQ(getPrivateProfileInt(L"S", L"k", 0, path.wstring()), 1);
    dir.Write("p.ini", "[S]\nk=22\n"); // a different size, whatever the clock's resolution
    EXPECT_EQ(getPrivateProfileInt(L"S", L"k", 0, path.wstring()), 22);
}
