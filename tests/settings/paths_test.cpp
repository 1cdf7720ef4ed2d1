#include "zhost/settings/messages.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/textfile.h"

#include "support/status.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace zhost::settings;

TEST(PathLookup, BackslashesAndWrongCaseFindTheFile) {
    ztest::TempFolder dir;
    const auto file = dir.Write("PartsData/PartsContents/Symbols/B1180_0.dxf", "0\nEOF\n");
    const std::wstring root = dir.path().wstring();
    const auto found = resolvePath(root + L"\\partsdata\\PARTSCONTENTS\\symbols\\b1180_0.DXF");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, file);
    EXPECT_TRUE(fileExists(root + L"\\PartsData\\PartsContents\\Symbols\\B1180_0.dxf"));
    EXPECT_FALSE(fileExists(root + L"\\PartsData\\PartsContents\\Symbols\\"));
    EXPECT_TRUE(folderExists(root + L"\\PartsData\\PartsContents\\Symbols\\"));
    EXPECT_TRUE(folderExists(root + L"/partsdata/./partscontents/../PartsContents/SYMBOLS"));
    EXPECT_FALSE(
        resolvePath(root + L"\\PartsData\\PartsContents\\Symbols\\B1180_0.dxf\\")); // not a folder
    EXPECT_FALSE(resolvePath(root + L"\\PartsData\\Missing\\B1180_0.dxf"));
    EXPECT_FALSE(resolvePath(L""));
}

TEST(PathLookup, TheExactSpellingWinsAndTiesAreStable) {
    ztest::TempFolder dir;
    const auto lower = dir.Write("thumbs/a.png", "1");
    const auto upper = dir.Write("Thumbs/A.png", "2");
    EXPECT_EQ(*resolvePath(lower.wstring()), lower);
    EXPECT_EQ(*resolvePath(upper.wstring()), upper);
    // Neither spelling matches: the first in byte order is taken ("Thumbs" < "thumbs").
    EXPECT_EQ(*resolvePath((dir.path() / "THUMBS" / "A.PNG").wstring()), upper);
}

TEST(PathLookup, JapaneseNamesAndFullWidthLetters) {
    ztest::TempFolder dir;
    const auto file = dir.Write("部品/ＡＢ.txt", "x");
    EXPECT_EQ(*resolvePath(dir.path().wstring() + L"\\部品\\ａｂ.TXT"), file);
}

TEST(TextFile, LinesHonourTheByteOrderMark) {
    ztest::TempFolder dir;
    const auto utf16 = dir.Write("a.txt", std::string("\xFF\xFE"
                                                      "a\0\r\0\n\0\xB3\x9A\n\0",
                                                      12));
    TextLineReader reader;
    ASSERT_OK(reader.open(utf16));
    EXPECT_EQ(reader.encoding(), TextEncoding::utf16Le);
    std::wstring line;
    std::vector<std::wstring> lines;
    while (reader.readLine(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"a", L"骳"}));

    const auto sjis = dir.Write("b.txt", "\x83\x7B\x83\x8B\x83\x67\tM8\r\n\xB1\r\rlast");
    ASSERT_OK(reader.open(sjis));
    lines.clear();
    while (reader.readLine(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"ボルト\tM8", L"ｱ", L"", L"last"}));

    const auto utf8 = dir.Write("c.txt", "\xEF\xBB\xBF\xE9\xAB\x99\n");
    ASSERT_OK(reader.open(utf8));
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, L"髙");
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_EQ(reader.open(dir.path() / "none.txt"), zhost::Status::fileNotFound);
    EXPECT_EQ(reader.open(dir.path()), zhost::Status::fileError);
}

TEST(TextFile, WithoutAMarkUtf8IsTakenOnlyWhenAsked) {
    const std::string utf8 = "\xE9\xAB\x99"; // also three CP932 bytes: "鬮" and a lone lead
    EXPECT_EQ(decodeText(utf8, NoMarkRule::utf8ThenCodePage).text, L"髙");
    EXPECT_EQ(decodeText(utf8).encoding, TextEncoding::codePage);
    EXPECT_EQ(decodeText("\x8D\x82", NoMarkRule::utf8ThenCodePage).text, L"高");
}

TEST(TextEditor, HeadlessRunsPrintThePath) {
    ztest::TempFolder dir;
    const auto log = dir.Write("drawing_ZORMA_GEOMCALC.log", "result\n");
    std::wstring printed;
    setPrintHook([&](std::wstring_view text) { printed += text; });
    ASSERT_TRUE(isHeadless());
    EXPECT_OK(openTextFileInEditor(log));
    EXPECT_EQ(openTextFileInEditor(dir.path() / "missing.log"), zhost::Status::fileNotFound);
    setPrintHook({});
    EXPECT_EQ(printed, L"\n" + log.wstring() + L"\n");
}

TEST(TextEditor, StartsTheUsersEditorWithoutAShell) {
    ztest::TempFolder dir;
    // A name a shell would split and run; the editor must get it as one argument.
    const auto log = dir.Write("r; touch pwned $(id).log", "x");
    std::filesystem::create_directories(dir.path() / "out");
    // $VISUAL "cp -t OUT" stands in for an editor: it receives the file as its last argument.
    setenv("VISUAL", ("cp -t " + (dir.path() / "out").string()).c_str(), 1);
    setHeadless(false);
    const auto status = openTextFileInEditor(log);
    setenv("VISUAL", "false", 1);
    const auto failing = openTextFileInEditor(log);
    setHeadless(true);
    unsetenv("VISUAL");
    EXPECT_OK(status);
    EXPECT_EQ(ztest::ReadFile(dir.path() / "out" / log.filename()), "x");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "pwned"));
    EXPECT_EQ(failing, zhost::Status::fileError);
}
