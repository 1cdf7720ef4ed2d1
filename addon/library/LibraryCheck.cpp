#include "library/LibraryCheck.h"

#include "library/LibraryCheckParts.h"
#include "library/LibraryCheckReport.h"

#include "frame/SettingsLib.h"
#include "library/CatalogueList.h"
#include "library/CsvItem.h"
#include "library/LayerSettings.h"
#include "library/LibraryFiles.h"
#include "library/LibraryPaths.h"
#include "library/LibraryText.h"
#include "zhost/core/utf.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

constexpr int kNominalFirstValueColumn = 5;

// "1 group", "2 groups", "3 catalogue entries".
std::wstring Count(size_t n, const std::wstring& noun) {
    std::wstring text = std::to_wstring(n) + L" " + noun;
    if (n != 1)
        text = text.back() == L'y' ? text.substr(0, text.size() - 1) + L"ies" : text + L"s";
    return text;
}

// Lines the readers skip although they look like data: a tab but fewer than 20 fields, or a part
// before any group.
void CheckCatalogueLines(const std::wstring& file, const std::wstring& text,
                         CProblemReport& report) {
    std::vector<std::wstring> lines;
    SplitIntoLines(text, lines, false, 4095);
    std::vector<std::wstring> fields;
    bool haveGroup = false;
    int lineNumber = 0;
    for (std::wstring line : lines) {
        ++lineNumber;
        TrimRight(line);
        const int n = Split(line, fields, L"\t");
        haveGroup = haveGroup || !fields[0].empty();
        if (n > 1 && n < kCatalogueMinFields) {
            report.Problem(CheckAt(file, lineNumber),
                           std::to_wstring(n) + L" fields; a part line needs 20 (line ignored)");
        } else if (n >= kCatalogueMinFields && !fields[kCatalogueBaseNameColumn].empty() &&
                   !haveGroup) {
            report.Problem(CheckAt(file, lineNumber),
                           L"part before the first group (line ignored)");
        }
    }
}

// A data file that no description names is read by nothing: usually a misspelt name in a
// description (reported there too) or a table left behind.
void ReportUnusedData(const CLibraryPaths& paths, const std::set<std::wstring>& used,
                      CProblemReport& report) {
    std::error_code ec;
    std::vector<std::wstring> unused;
    for (const auto& e :
         std::filesystem::directory_iterator(zhost::settings::toFsPath(paths.m_dataFolder), ec)) {
        const std::wstring name = e.path().filename().wstring();
        if (e.is_regular_file(ec) && !used.count(zhost::toUpperName(name)))
            unused.push_back(name);
    }
    std::sort(unused.begin(), unused.end());
    for (const std::wstring& name : unused)
        report.Warning(L"Data\\" + name, L"no description reads this file");
}

void CheckPartFiles(const CLibraryPaths& paths, const std::vector<CatalogueGroup>& groups,
                    CThumbDirections& thumbs, CProblemReport& report) {
    std::set<std::wstring> seen, usedData;
    CSymbolParams symbols;
    CFolderIndex dlg(paths.m_dlgFolder);
    for (const CatalogueGroup& group : groups) {
        for (const CatalogueItem& item : group.m_items) {
            if (!seen.insert(item.m_fileBaseName).second)
                continue;
            const std::wstring where = CheckAt(paths.m_catalogueFile, item.m_lineNumber);
            std::wstring found;
            // Both are warnings: the part cannot be placed, but the readers skip it cleanly and
            // the picture catalogue leaves a part without "_1" out.
            if (!dlg.Find(item.m_fileBaseName + L".ini", found))
                report.Warning(where, item.m_fileBaseName + L": no dialog description Dlg\\" +
                                          item.m_fileBaseName + L".ini");
            else
                CheckPartDescription(paths, item.m_fileBaseName, found, symbols, usedData, report);
            const std::wstring first = item.m_fileBaseName + L"_1.dwg";
            if (!DrawingFileExists(paths.m_symbolsFolder + first))
                report.Warning(where, item.m_fileBaseName + L": no symbol drawing " + first +
                                          L" (the picture catalogue leaves the part out)");
            // The text catalogue shows "_0" with Shift, the picture catalogue its thumbnail.
            std::set<int> numbers{0, thumbs.Get(item.m_fileBaseName)};
            numbers.erase(1);
            std::wstring missing;
            for (int n : numbers) {
                const std::wstring name = item.m_fileBaseName + L"_" + std::to_wstring(n) + L".dwg";
                if (!DrawingFileExists(paths.m_symbolsFolder + name))
                    missing += (missing.empty() ? L"" : L", ") + name;
            }
            if (!missing.empty())
                report.Problem(where, item.m_fileBaseName + L": no preview drawing " + missing);
        }
    }
    ReportUnusedData(paths, usedData, report);
}

void CheckNominalValue(const std::wstring& where, const std::wstring& size, const std::wstring& raw,
                       CProblemReport& report) {
    std::wstring text = raw;
    Trim(text);
    if (text.empty())
        return;
    double v = 0;
    size_t used = 0;
    if (!ParseLeadingNumber(text, v, &used))
        report.Problem(where, size + L": \"" + text + L"\" is not a number");
    else if (used < text.size())
        report.Problem(where, size + L": \"" + text + L"\" has text after its number (read as " +
                                  text.substr(0, used) + L")");
}

// The two lines of a pair give each size its shortest and longest length; a size whose minimum
// lies above its maximum gets no nominal length at all.
void CheckRange(const std::wstring& file, int minLine, const std::vector<std::wstring>& header,
                const std::vector<std::wstring>& mins, const std::vector<std::wstring>& maxs,
                CProblemReport& report) {
    const size_t count = std::min({header.size(), mins.size(), maxs.size()});
    for (size_t c = kNominalFirstValueColumn; c < count; ++c) {
        double low = 0, high = 0;
        if (!ParseLeadingNumber(mins[c], low) || !ParseLeadingNumber(maxs[c], high) || low <= high)
            continue;
        std::wstring size = header[c];
        Trim(size);
        report.Problem(CheckAt(file, minLine) + L" column " + std::to_wstring(c),
                       size + L": the lengths are not ascending: minimum " + mins[c] +
                           L" above the maximum " + maxs[c] + L" of the next line");
    }
}

void CheckNominalSizes(const std::wstring& file, CProblemReport& report) {
    std::vector<std::wstring> lines;
    if (ReadLines(file, lines, false) < 0) {
        report.Problem(CheckFileName(file), L"cannot be read");
        return;
    }
    std::vector<std::wstring> header;
    std::vector<std::wstring> fields, minimums;
    int lineNumber = 0, minimumLine = 0;
    for (std::wstring line : lines) {
        ++lineNumber;
        TrimRight(line);
        Split(line, fields, L"\t");
        // The same test as the loader's: column 3 as it stands, without case.
        if (fields.size() > 3 && zhost::equalsNoCase(fields[3], L"NOM_SIZE")) {
            header = fields;
            minimumLine = 0;
            continue;
        }
        const bool variants = header.size() > 4 && !header[4].empty();
        if (minimumLine > 0) {
            CheckRange(file, minimumLine, header, minimums, fields, report);
            minimumLine = 0;
        } else if (!header.empty() && ((fields.size() > 2 && !fields[2].empty()) ||
                                       (variants && fields.size() > 4 && !fields[4].empty()))) {
            minimums = fields;
            minimumLine = lineNumber;
        }
        if (fields.size() <= kNominalFirstValueColumn)
            continue;
        if (header.empty()) {
            if (fields.size() > 2 && !fields[2].empty())
                report.Problem(CheckAt(file, lineNumber), L"part line before any NOM_SIZE header");
            continue;
        }
        const size_t count = std::min(header.size(), fields.size());
        for (size_t c = kNominalFirstValueColumn; c < count; ++c) {
            std::wstring size = header[c];
            Trim(size);
            CheckNominalValue(CheckAt(file, lineNumber) + L" column " + std::to_wstring(c), size,
                              fields[c], report);
        }
    }
}

void ReportLayerSettings(CProblemReport& report) {
    CProductIni ini(kLayerSettingsFileName);
    if (!ini.IsOpen()) {
        report.Line(L"note: no PartsContentsParam.ini in the configuration folder; the default "
                    L"layers are used");
        return;
    }
    for (int i = 0; i < kLayerCategoryCount; ++i) {
        const wchar_t* section = LayerCategorySection(static_cast<LayerCategory>(i));
        if (!ini.SelectSection(section)) {
            report.Line(std::wstring(L"note: PartsContentsParam.ini has no [") + section +
                        L"]; it and the categories after it use their defaults");
            return;
        }
    }
}

} // namespace

std::wstring CheckFileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring CheckAt(const std::wstring& file, int line) {
    return CheckFileName(file) + L":" + std::to_wstring(line);
}

LibraryCheckCounts CheckLibraryAt(const CLibraryPaths& paths, const LibraryCheckPrint& print) {
    CProblemReport report(print);
    std::string bytes;
    if (paths.m_root.empty()) {
        // No root at all: the product folder is missing or names no parts library. Say which
        // folder was asked, since "not found under" an empty name tells the user nothing.
        report.Problem(std::wstring(kCatalogueFileName),
                       L"no parts library: the product folder " +
                           zhost::settings::productFolder().wstring() +
                           L" is missing or names no parts-library folder");
        return report.Counts();
    }
    if (paths.m_catalogueFile.empty() || !ReadLibraryFileBytes(paths.m_catalogueFile, bytes)) {
        report.Problem(std::wstring(kCatalogueFileName),
                       L"not found under " + paths.m_root + L" or its PartsContents folder");
        return report.Counts();
    }
    const std::wstring text = DecodeLibraryText(bytes);
    CheckCatalogueLines(paths.m_catalogueFile, text, report);

    std::vector<CatalogueGroup> groups;
    ReadCatalogueListText(groups, text, paths.m_symbolsFolder, false);
    auto thumbs = std::make_shared<CThumbDirections>(paths.m_dlgFolder);
    CheckPartFiles(paths, groups, *thumbs, report);

    CCsvItem root;
    const int types = BuildCatalogueTree(ReadCatalogueTreeLines(bytes), &root, thumbs);

    size_t parts = 0;
    for (const CatalogueGroup& g : groups)
        parts += g.m_items.size();
    if (paths.m_nominalSizeFile.empty())
        report.Line(L"note: no PartsContentsY.txt: parts are placed at free length");
    else
        CheckNominalSizes(paths.m_nominalSizeFile, report);
    ReportLayerSettings(report);

    report.Line(Count(groups.size(), L"group") + L", " + Count(parts, L"catalogue entry") + L", " +
                Count(static_cast<size_t>(types), L"part type") + L" with " +
                Count(root.CountDescendants(), L"picture-catalogue node") + L"; " +
                Count(static_cast<size_t>(report.Counts().problems), L"problem") + L", " +
                Count(static_cast<size_t>(report.Counts().warnings), L"warning"));
    return report.Counts();
}

int CheckLibrary(const std::wstring& productDir, const LibraryCheckPrint& print, bool strict) {
    if (!productDir.empty())
        zhost::settings::setProductFolder(zhost::settings::toFsPath(productDir));
    ResetLibraryPaths();
    CLibraryPaths paths;
    GetLibraryPaths(paths); // also fills the root when the catalogue is missing
    return CheckLibraryAt(paths, print).Failed(strict) ? 1 : 0;
}
