// The library check against what authors get wrong: a copy of the sample product with one defect
// each, made here, must be reported at the file and line of the defect; the untouched copy
// passes strictly; and no file content, however broken, stops the check.
#include "SampleTestUtil.h"

#include "library/LibraryCheck.h"
#include "library/LibraryPaths.h"
#include "library/LibraryText.h"
#include "zhost/core/utf.h"
#include "zhost/settings/codepage.h"
#include "zhost/settings/product.h"

#include <gtest/gtest.h>

#include <functional>

namespace fs = std::filesystem;
using namespace sample;

namespace {

// A copy of the sample product that a test may break.
class SampleCopy {
public:
    SampleCopy() { fs::copy(ProductDir(), dir_.path(), fs::copy_options::recursive); }
    fs::path Contents() const { return dir_.path() / "PartsData" / "PartsContents"; }
    fs::path Data() const { return dir_.path() / "PartsData"; }

    // Replaces the first `from` in a text file of the copy by `to`, keeping the file's encoding
    // (UTF-16LE with a mark, or code page 932); returns the 1-based line of the change, 0 when
    // `from` is not there.
    int Edit(const fs::path& file, const std::wstring& from, const std::wstring& to) {
        const std::string bytes = ReadBytes(file);
        const bool utf16 = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
        std::wstring text = DecodeLibraryText(bytes);
        const size_t at = text.find(from);
        if (at == std::wstring::npos)
            return 0;
        text.replace(at, from.size(), to);
        std::wstring crlf;
        for (wchar_t c : text)
            crlf += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
        using namespace zhost::settings;
        const std::string out =
            utf16 ? "\xFF\xFE" + encode(crlf, kCodePageUtf16Le) : encode(crlf, kCodePage932);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << out;
        return 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, L'\n'));
    }

    // The line of a text file (1-based) that holds `what`, 0 when none.
    static int LineOf(const fs::path& file, const std::wstring& what) {
        const std::wstring text = DecodeLibraryText(ReadBytes(file));
        const size_t at = text.find(what);
        return at == std::wstring::npos
                   ? 0
                   : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, L'\n'));
    }

    // Runs the check on the copy: the verdict (strict) and the report.
    int Check(std::vector<std::wstring>& report) const {
        const int rc = CheckLibrary(
            dir_.path().wstring(), [&](const std::wstring& l) { report.push_back(l); }, true);
        zhost::settings::setProductFolder({});
        ResetLibraryPaths();
        return rc;
    }

private:
    ztest::TempFolder dir_;
};

std::string Joined(const std::vector<std::wstring>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += zhost::toUtf8(l) + "\n";
    return out;
}

// One defect: it breaks the copy and says where the check must report it (the report line
// starts with "file:line" and contains `text`).
struct Defect {
    const char* name;
    std::function<std::wstring(SampleCopy&)> make; // returns "file:line"
    std::wstring text;
};

std::wstring At(const std::wstring& file, int line) {
    return file + L":" + std::to_wstring(line);
}

std::wstring EditAt(SampleCopy& s, const fs::path& rel, const std::wstring& file,
                    const std::wstring& from, const std::wstring& to) {
    return At(file, s.Edit(s.Contents() / rel, from, to));
}

const std::vector<Defect>& Defects() {
    static const std::vector<Defect> defects = {
        {"GlobalRuleNamesNoControl",
         [](SampleCopy& s) {
             return EditAt(s, "Dlg/B1256_PlainWasher.ini", L"B1256_PlainWasher.ini",
                           L"List1>10:Radio1:1", L"List1>10:Radio9:1");
         },
         L"[disabled] 0 names \"Radio9\", which is not a control"},
        {"ListControlFieldNamesNoControl",
         [](SampleCopy& s) {
             return EditAt(s, "Dlg/B1354_ParallelPin.ini", L"B1354_ParallelPin.ini",
                           L"control=Radio1", L"control=Radio7");
         },
         L"List1 control names \"Radio7\""},
        {"DataFileMissing",
         [](SampleCopy& s) {
             fs::remove(s.Contents() / "Data" / "B1176_Material.dat");
             return At(L"B1176_SocketHead.ini",
                       SampleCopy::LineOf(s.Contents() / "Dlg" / "B1176_SocketHead.ini",
                                          L"material=B1176_Material.dat"));
         },
         L"Quality material: no data file Data\\B1176_Material.dat"},
        {"LookUpTableWithoutTheColumn",
         [](SampleCopy& s) {
             const fs::path table = s.Contents() / "Data" / "B1181_HexNut_Dim.dat";
             const int line = SampleCopy::LineOf(table, L"M8\t");
             const std::wstring text = DecodeLibraryText(ReadBytes(table));
             const size_t from = text.find(L"M8\t") + 2, to = text.find(L'\n', from);
             s.Edit(table, text.substr(from, to - from), L"");
             return At(L"B1181_HexNut_Dim.dat", line);
         },
         L"1 fields; List1 control"},
        {"ParamNameTheSymbolLacks",
         [](SampleCopy& s) {
             return EditAt(s, "Dlg/B1176_SocketHead.ini", L"B1176_SocketHead.ini",
                           L"paramName=SOCKETVIEW", L"paramName=SOCKETVEIW");
         },
         L"Radio1 paramName \"SOCKETVEIW\": the symbol B1176_SocketHead_1 does not declare it"},
        {"SymbolSuffixWithoutDrawing",
         [](SampleCopy& s) {
             return EditAt(s, "Dlg/B1194_SocketCsk.ini", L"B1194_SocketCsk.ini", L"symbol=1,0",
                           L"symbol=1,0,2");
         },
         L"Drawing symbol \"2\": no symbol drawing Symbols\\B1194_SocketCsk_2.dwg"},
        {"CatalogueEntryWithoutDescription",
         [](SampleCopy& s) {
             fs::remove(s.Contents() / "Dlg" / "B1351_SplitPin.ini");
             return At(L"PartsContentsK.txt",
                       SampleCopy::LineOf(s.Data() / "PartsContentsK.txt", L"B1351_SplitPin"));
         },
         L"warning: B1351_SplitPin: no dialog description"},
        {"CatalogueEntryWithoutItsFirstSymbol",
         [](SampleCopy& s) {
             fs::remove(s.Contents() / "Symbols" / "B1354_ParallelPin_1.dxf");
             return At(L"PartsContentsK.txt",
                       SampleCopy::LineOf(s.Data() / "PartsContentsK.txt", L"B1354_ParallelPin"));
         },
         L"warning: B1354_ParallelPin: no symbol drawing B1354_ParallelPin_1.dwg"},
        {"NominalLengthsNotAscending",
         [](SampleCopy& s) {
             // The socket head screw's M8 minimum raised above its maximum (80).
             const fs::path file = s.Data() / "PartsContentsY.txt";
             const int line = SampleCopy::LineOf(file, L"\tB1176_SocketHead\t");
             const std::wstring text = DecodeLibraryText(ReadBytes(file));
             const size_t start = text.rfind(L'\n', text.find(L"\tB1176_SocketHead\t")) + 1;
             const std::wstring row = text.substr(start, text.find(L'\n', start) - start);
             std::vector<std::wstring> fields;
             Split(row, fields, L"\t");
             fields.at(9) = L"95"; // columns 5.. are M3, M4, M5, M6, M8
             std::wstring changed;
             for (size_t i = 0; i < fields.size(); ++i)
                 changed += (i ? L"\t" : L"") + fields[i];
             s.Edit(file, row, changed);
             return At(L"PartsContentsY.txt", line) + L" column 9";
         },
         L"M8: the lengths are not ascending"},
        {"TapErrTableMissing",
         [](SampleCopy& s) {
             return EditAt(s, "Dlg/B0205_TappedHole.ini", L"B0205_TappedHole.ini",
                           L"List1:B0205_TappedHole_Tap.txt", L"List1:B0205_Pitch.txt");
         },
         L"[error] 0: no data file Data\\B0205_Pitch.txt"},
        {"RangeErrNamesNoControl",
         [](SampleCopy& s) {
             return EditAt(s, "Dlg/B1176_SocketHead.ini", L"B1176_SocketHead.ini",
                           L"RANGE_ERR,Edit1,", L"RANGE_ERR,Edit9,");
         },
         L"[error] 0 names \"Edit9\""},
        {"DrawingPictureMissing",
         [](SampleCopy& s) {
             fs::remove(s.Contents() / "Thumbs" / "B1177_SetScrew_P2_1.dxf");
             return At(L"B1177_SetScrew.ini",
                       SampleCopy::LineOf(s.Contents() / "Dlg" / "B1177_SetScrew.ini",
                                          L"data=Radio1:Radio2:"));
         },
         L"Drawing data: no drawing B1177_SetScrew_P2_1.dwg in Thumbs or Symbols"},
    };
    return defects;
}

class LibraryCheckMutation : public ::testing::TestWithParam<size_t> {};

} // namespace

TEST(LibraryCheckMutation, TheUntouchedSampleCopyPassesStrictly) {
    SampleCopy copy;
    std::vector<std::wstring> report;
    EXPECT_EQ(copy.Check(report), 0) << Joined(report);
    ASSERT_FALSE(report.empty());
    EXPECT_NE(report.back().find(L"0 problems, 0 warnings"), std::wstring::npos) << Joined(report);
}

TEST_P(LibraryCheckMutation, EachDefectIsReportedAtItsFileAndLine) {
    const Defect& defect = Defects().at(GetParam());
    SCOPED_TRACE(defect.name);
    SampleCopy copy;
    const std::wstring where = defect.make(copy);
    ASSERT_EQ(where.find(L":0"), std::wstring::npos) << "the defect was not made";
    std::vector<std::wstring> report;
    EXPECT_EQ(copy.Check(report), 1) << Joined(report);
    const bool found = std::any_of(report.begin(), report.end(), [&](const std::wstring& l) {
        return l.rfind(where + L":", 0) == 0 && l.find(defect.text) != std::wstring::npos;
    });
    EXPECT_TRUE(found) << "expected at " << zhost::toUtf8(where) << ": "
                       << zhost::toUtf8(defect.text) << "\n"
                       << Joined(report);
}

INSTANTIATE_TEST_SUITE_P(TwelveDefects, LibraryCheckMutation, ::testing::Range<size_t>(0, 12),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(Defects().at(info.param).name);
                         });

TEST(LibraryCheckMutation, AnyFileContentIsReportedNotFatal) {
    SampleCopy copy;
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 131 + 7) % 256);
    const std::string longLine(1 << 20, 'x');
    // UTF-16 text with code-page-932 bytes in the middle and an unpaired surrogate.
    static const char kMixed[] = "\xFF\xFE[\0D\0r\0a\0w\0i\0n\0g\0]\0\r\0\n\0"
                                 "\x83\x7B\x83\x8B\x83\x67\0\xD8=\0\r\0";
    const std::string mixed(kMixed, sizeof kMixed - 1);
    const std::vector<std::pair<fs::path, std::string>> broken = {
        {copy.Contents() / "Dlg" / "B1180_Partial.ini", binary},
        {copy.Contents() / "Dlg" / "B1180_Full.ini", ""},
        {copy.Contents() / "Dlg" / "B1181_HexNut.ini", "[List1]\r\ndata=" + longLine},
        {copy.Contents() / "Dlg" / "B1176_SocketHead.ini", mixed},
        {copy.Contents() / "Data" / "B1181_HexNut_Dim.dat", binary},
        {copy.Contents() / "Data" / "B1256_PlainWasher_Yobi.dat", longLine},
        {copy.Contents() / "Symbols" / "B1176_SocketHead_1.dxf", binary},
        {copy.Contents() / "Symbols" / "B1177_SetScrew_1.dxf", ""},
        {copy.Data() / "PartsContentsY.txt", longLine + "\n" + binary},
    };
    for (const auto& [file, bytes] : broken)
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    std::vector<std::wstring> report;
    EXPECT_EQ(copy.Check(report), 1);
    ASSERT_FALSE(report.empty());
    EXPECT_NE(report.back().find(L"problem"), std::wstring::npos) << Joined(report);
}
