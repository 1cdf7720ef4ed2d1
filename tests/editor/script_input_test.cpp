// Reading scripts as the editors that write them save them: encodings, line ends, odd bytes.
#include "editor_fixture.h"

#include "support/temp_folder.h"

#include <sstream>

using namespace zhost;
using zhost::test::EditorTest;

namespace {

std::vector<std::wstring> linesOf(ed::InputSource& source) {
    std::vector<std::wstring> lines;
    ed::InputLine line;
    while (source.readLine(L"", line)) {
        EXPECT_EQ(line.lineNumber, int(lines.size()) + 1);
        lines.push_back(line.text);
    }
    return lines;
}

std::vector<std::wstring> linesOfBytes(const std::string& bytes) {
    std::istringstream in(bytes);
    const auto source = ed::makeScriptStream(in, L"<test>");
    return linesOf(*source);
}

// The text as UTF-16 code units in the given byte order, BOM first.
std::string utf16(std::u16string_view text, bool littleEndian) {
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t u : text) {
        const char lo = char(u & 0xFF), hi = char(u >> 8);
        out += littleEndian ? std::string{lo, hi} : std::string{hi, lo};
    }
    return out;
}

const std::vector<std::wstring> kExpected = {L"REGION", L"@all", L"", L"部品 𠮷"};

} // namespace

TEST(ScriptEncoding, Utf16WithItsByteOrderMarkReadsAsText) {
    const std::u16string text = u"REGION\r\n@all\r\n\r\n部品 𠮷\r\n";
    EXPECT_EQ(linesOfBytes(utf16(text, true)), kExpected);
    EXPECT_EQ(linesOfBytes(utf16(text, false)), kExpected);
    // A lone surrogate is replaced, not glued to its neighbour.
    EXPECT_EQ(linesOfBytes(utf16(u"A\xD800Z\n", true)), std::vector<std::wstring>{L"A\xFFFDZ"});
}

TEST(ScriptEncoding, EveryLineEndEndsALine) {
    EXPECT_EQ(linesOfBytes("REGION\n@all\n\n部品 𠮷\n"), kExpected);
    EXPECT_EQ(linesOfBytes("REGION\r\n@all\r\n\r\n部品 𠮷\r\n"), kExpected);
    EXPECT_EQ(linesOfBytes("REGION\r@all\r\r部品 𠮷\r"), kExpected);
    EXPECT_EQ(linesOfBytes("\xEF\xBB\xBFREGION\r\n@all\n\r部品 𠮷"), kExpected);
    // The same through a script file.
    ztest::TempFolder folder;
    Status st = Status::ok;
    const auto file =
        ed::makeScriptFile(folder.Write("s.scr", utf16(u"REGION\r@all\r\n\n部品 𠮷", true)), st);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(linesOf(*file), kExpected);
}

TEST(ScriptEncoding, BytesThatOnlyLookLikeAByteOrderMarkAreKept) {
    EXPECT_EQ(linesOfBytes("\xEF\xBBX\n"), std::vector<std::wstring>{L"\xFFFD\xFFFDX"});
    EXPECT_EQ(linesOfBytes("\xFFZ"), std::vector<std::wstring>{L"\xFFFDZ"});
    EXPECT_TRUE(linesOfBytes("").empty());
}

using ScriptFaults = EditorTest;

TEST_F(ScriptFaults, ALineWithANulStopsTheScriptInsteadOfRunningAPrefix) {
    const std::wstring withNul(L"RE\0GEN", 6);
    auto src = ed::makeQueue({L"REGEN", withNul, L"REGEN"});
    const ed::RunOutcome out = ed::runCommandLoop(*src);
    EXPECT_EQ(out.kind, ed::RunOutcome::scriptError);
    EXPECT_EQ(out.lineNumber, 2);
    EXPECT_NE(out.message.find(L"NUL"), std::wstring::npos);
    EXPECT_FALSE(transcriptHas(L"Unknown command \"RE\""));
}

TEST_F(ScriptFaults, UnknownAndFailedCommandsAreCountedAndTheRunGoesOn) {
    auto src = ed::makeQueue({L"REGEN", L"NO_SUCH", L"-BMINSERT", L"missing-drawing.dxf", L"OFFSET",
                              L"^C", L"NO_SUCH_EITHER", L"-BMINSERT", L"gone.dxf", L"REGEN"});
    const ed::RunOutcome out = ed::runCommandLoop(*src);
    EXPECT_TRUE(out.ok()) << int(out.kind);
    EXPECT_FALSE(out.clean());
    EXPECT_EQ(out.unknownCommands, 2);
    EXPECT_EQ(out.firstUnknownLine, 2);
    // A command cancelled by its input is what the script asked for, not a fault.
    EXPECT_EQ(out.failedCommands, 2);
    EXPECT_EQ(out.firstFailedCommandLine, 3);
    EXPECT_TRUE(transcriptHas(L"Cannot insert \"gone.dxf\"."));

    auto good = ed::makeQueue({L"REGEN", L"OFFSET", L"^C"});
    EXPECT_TRUE(ed::runCommandLoop(*good).clean());
}
