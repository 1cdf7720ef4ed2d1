// The read report for people, and the version a drawing read is saved in.
#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

#include <cctype>

namespace zhost::dxf {

namespace {

std::wstring widen(std::string_view s) {
    return fromUtf8(s);
}

// "LINE 3, CIRCLE 2"
std::wstring kindList(const std::map<std::string, int>& kinds) {
    std::wstring out;
    for (const auto& [kind, n] : kinds) {
        if (!out.empty())
            out += L", ";
        out += widen(kind) + L" " + std::to_wstring(n);
    }
    return out;
}

std::wstring counted(int n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

struct VersionInfo {
    Version version;
    const char* name;
    const char* acadVer;
};

constexpr VersionInfo kVersions[] = {
    {Version::r2000, "R2000", "AC1015"}, {Version::r2004, "R2004", "AC1018"},
    {Version::r2007, "R2007", "AC1021"}, {Version::r2010, "R2010", "AC1024"},
    {Version::r2013, "R2013", "AC1027"}, {Version::r2018, "R2018", "AC1032"},
};

} // namespace

std::wstring formatReadReport(const ReadReport& r, std::wstring_view drawing,
                              std::size_t maxWarnings) {
    std::wstring out = L"read " + std::wstring(drawing) + L": " +
                       (r.version.empty() ? std::wstring(L"no version") : widen(r.version)) +
                       L", code page " + std::to_wstring(r.codePage) + L"\n";
    out += L"  modelled: " + counted(r.entitiesRead, L"entity", L"entities");
    if (!r.modelledKinds.empty())
        out += L" (" + kindList(r.modelledKinds) + L")";
    out += L", " + counted(r.objectsRead, L"object", L"objects") + L"\n";
    if (r.keptEntities + r.keptObjects > 0)
        out += L"  kept as read: " + counted(r.keptEntities, L"entity", L"entities") + L", " +
               counted(r.keptObjects, L"object", L"objects") + L" (" + kindList(r.keptKinds) +
               L")\n";
    if (r.repaired > 0)
        out += L"  repaired: " + std::to_wstring(r.repaired) + L"\n";
    if (r.skippedEntities + r.skippedObjects > 0)
        out += L"  skipped: " + counted(r.skippedEntities, L"entity", L"entities") + L", " +
               counted(r.skippedObjects, L"object", L"objects") + L" (" + kindList(r.skippedKinds) +
               L")\n";
    std::size_t shown = 0;
    for (const ReadWarning& w : r.warnings) {
        if (shown++ == maxWarnings)
            break;
        out += L"  warning [" + widen(w.code) + L"] line " + std::to_wstring(w.line) + L": " +
               w.text + L"\n";
    }
    const std::size_t more = r.warnings.size() - std::min(r.warnings.size(), maxWarnings) +
                             std::size_t(r.warningsDropped);
    if (more > 0)
        out += L"  ... and " + counted(int(more), L"more warning", L"more warnings") + L"\n";
    return out;
}

bool parseVersion(std::string_view name, Version& out) {
    std::string upper(name);
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "R12" || upper == "R13" || upper == "R14") {
        out = Version::r2000;
        return true;
    }
    for (const VersionInfo& v : kVersions)
        if (upper == v.name) {
            out = v.version;
            return true;
        }
    return false;
}

const char* versionName(Version v) {
    for (const VersionInfo& i : kVersions)
        if (i.version == v)
            return i.name;
    return "R2013";
}

const char* acadVersionOf(Version v) {
    for (const VersionInfo& i : kVersions)
        if (i.version == v)
            return i.acadVer;
    return "AC1027";
}

WriteOptions sameVersionAs(const ReadReport& report) {
    WriteOptions o;
    if (report.version.empty())
        return o;
    // Versions the writer does not write go to the nearest one it does: older files to R2000,
    // unknown newer ones to R2018.
    o.version = report.version < "AC1015" ? Version::r2000 : Version::r2018;
    for (const VersionInfo& v : kVersions)
        if (report.version >= v.acadVer)
            o.version = v.version;
    if (report.version < "AC1021")
        o.codePage = report.codePage == 65001 ? 1252 : report.codePage;
    return o;
}

} // namespace zhost::dxf
