#include "geomcalc/GeomCalcLog.h"

#include "zhost/core/utf.h"
#include "zhost/editor/format.h"
#include "zhost/editor/output.h"
#include "zhost/editor/sysvars.h"
#include "zhost/settings/atomicfile.h"
#include "zhost/settings/paths.h"

#include <filesystem>
#include <system_error>

namespace ed = zhost::ed;
namespace settings = zhost::settings;

namespace {

void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to) {
    if (from.empty())
        return;
    for (size_t pos = text.find(from); pos != std::wstring::npos;
         pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

bool IsOneOf(const std::wstring& item, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* n : names)
        if (item == n)
            return true;
    return false;
}

std::wstring LogLine(const ReportRow& row) {
    std::wstring item = row.item;
    std::wstring data = row.data;
    if (IsOneOf(item, {L"モーメント計算指示座標", L"重心位置(赤色点)", L"重心位置(緑色点)",
                       L"重心位置(指示点基準)"})) {
        ReplaceAll(data, L" = ", L"\t");
        ReplaceAll(data, L" ", L"\t");
    } else if (IsOneOf(item, {L"周長", L"面積", L"回転体体積"})) {
        ReplaceAll(data, L"(mm", L"\t(mm");
        ReplaceAll(data, L" ", L"\t");
    } else if (IsOneOf(item, {L"断面2次モーメント(重心基準)", L"断面2次モーメント(指示点基準)"})) {
        ReplaceAll(data, L" = ", L"\t");
        ReplaceAll(data, L"(mm4)", L"\t(mm4)");
        ReplaceAll(data, L" ", L"\t");
    } else if (item == L"Ip = Ix + Iy") {
        ReplaceAll(item, L" ", L"");
        ReplaceAll(data, L"(mm4)", L"\t(mm4)");
    } else if (item == L"回転体重さ") {
        ReplaceAll(item, L" ", L"");
        ReplaceAll(data, L"(g)", L"\t(g)");
    } else {
        return ed::format(L"\n%s%s", item, data);
    }
    return ed::format(L"\n%s\t%s", item, data);
}

} // namespace

std::wstring BuildLogText(const std::vector<ReportRow>& rows) {
    std::wstring text;
    for (const ReportRow& row : rows)
        text += LogLine(row);
    return text;
}

std::wstring LogBasePath(const std::wstring& dwgName, const std::wstring& dwgPrefix,
                         const std::wstring& tempFolder) {
    std::wstring path;
    if (!dwgName.empty() && !dwgPrefix.empty()) {
        std::filesystem::path p = settings::toFsPath(dwgPrefix) / settings::toFsPath(dwgName);
        std::error_code ec;
        if (std::filesystem::is_regular_file(p, ec))
            path = settings::toWide(p);
    }
    if (path.empty() && !dwgName.empty())
        path = settings::toWide(settings::toFsPath(tempFolder) / settings::toFsPath(dwgName));
    // The extension goes. Only a dot of the file name counts: cutting at a dot of a folder name
    // would put the log into some other folder under a mangled name.
    const size_t dot = path.rfind(L'.');
    const size_t slash = path.find_last_of(L"/\\");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        path.erase(dot);
    return path;
}

std::wstring LogFilePath(const std::wstring& basePath) {
    return ed::format(L"%s_ZORMA_GEOMCALC.log", basePath);
}

bool WriteGeomCalcLog(const std::vector<ReportRow>& rows, std::wstring* writtenPath) {
    std::wstring name, prefix;
    ed::getVarString(L"DWGNAME", name);
    ed::getVarString(L"DWGPREFIX", prefix);
    const std::wstring base =
        LogBasePath(name, prefix, settings::toWide(settings::temporaryFolder()));
    if (base.empty()) {
        ed::print(L"\nログファイルが作成できませんでした。");
        return false;
    }
    const std::filesystem::path logPath = settings::toFsPath(LogFilePath(base));

    // remove() unlinks a symbolic link itself, never its target; the write below goes to a new
    // file created exclusively and renamed over the name.
    std::error_code ec;
    std::filesystem::remove(logPath, ec);

    // UTF-8 with a byte-order mark: Notepad takes the mark as UTF-8 and editors elsewhere read
    // UTF-8 anyway, so the Japanese items show everywhere.
    const std::string bytes = "\xEF\xBB\xBF" + zhost::toUtf8(BuildLogText(rows));
    if (!zhost::ok(settings::writeFileAtomically(logPath, bytes))) {
        ed::print(L"\nログファイルが作成できませんでした。");
        return false;
    }
    if (writtenPath)
        *writtenPath = settings::toWide(logPath);
    // The editor is the user's business: failing to start it is not reported.
    settings::openTextFileInEditor(logPath);
    return true;
}
