// The host's drawing loader: drawings named "X.dwg" are kept as "X.dxf" beside the name, and
// inserting a drawing as a block.
#include "zhost/dxf/dxf.h"

#include "zhost/db/database.h"

#include <cctype>

namespace zhost::dxf {

namespace {

bool isFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

} // namespace

std::filesystem::path resolveDrawingPath(const std::filesystem::path& path) {
    if (path.empty() || isFile(path))
        return path;
    // The folder may have been written on a system that does not care about case.
    for (const char* ext : {".dxf", ".DXF", ".Dxf"}) {
        std::filesystem::path p = path;
        p.replace_extension(ext);
        if (isFile(p))
            return p;
    }
    return path;
}

bool isDwgName(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".dwg";
}

std::filesystem::path drawingSavePath(const std::filesystem::path& path) {
    if (!isDwgName(path))
        return path;
    std::filesystem::path p = path;
    p.replace_extension(".dxf");
    return p;
}

bool drawingFileExists(const std::filesystem::path& path) {
    return !path.empty() && isFile(resolveDrawingPath(path));
}

Status loadDrawingAsBlock(const std::filesystem::path& path, db::Database& target,
                          std::wstring_view name, db::ObjectId& blockIdOut, std::wstring* message) {
    blockIdOut = {};
    db::ObjectId existing;
    if (ok(target.getBlockId(name, existing))) {
        if (message)
            *message = L"a block named \"" + std::wstring(name) + L"\" exists already";
        return Status::duplicateKey;
    }
    db::Database source;
    ReadReport report;
    Status s = readDxf(resolveDrawingPath(path), source, report);
    if (!ok(s)) {
        if (message)
            *message = report.message;
        return s;
    }
    // The database's insert brings the blocks, layers, linetypes, styles and applications along,
    // extended data (and so the parametric data of nested blocks) included.
    s = target.insert(name, source, blockIdOut);
    if (!ok(s) && message)
        *message = L"the drawing could not be inserted as block \"" + std::wstring(name) + L"\"";
    return s;
}

} // namespace zhost::dxf
