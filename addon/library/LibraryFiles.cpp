#include "library/LibraryFiles.h"

#include "zhost/core/utf.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/textfile.h"

#include <filesystem>
#include <system_error>

namespace zs = zhost::settings;

bool ReadLibraryFileBytes(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    const auto resolved = zs::resolvePath(path);
    if (!resolved)
        return false;
    return zhost::ok(zs::readFileBytes(*resolved, bytes));
}

bool LibraryFileExists(const std::wstring& path) {
    return zs::fileExists(path);
}

bool DrawingFileExists(const std::wstring& dwgPath) {
    if (zs::fileExists(dwgPath))
        return true;
    const size_t dot = dwgPath.find_last_of(L"./\\");
    if (dot == std::wstring::npos || dwgPath[dot] != L'.')
        return false;
    if (!zhost::equalsNoCase(std::wstring_view(dwgPath).substr(dot), L".dwg"))
        return false;
    return zs::fileExists(dwgPath.substr(0, dot) + L".dxf");
}

CFolderIndex::CFolderIndex(const std::wstring& folder) {
    const auto resolved = zs::resolvePath(folder);
    if (!resolved)
        return;
    std::error_code ec;
    std::filesystem::directory_iterator it(*resolved, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc))
            continue;
        const std::wstring name = zs::toWide(it->path().filename());
        const std::wstring key = zhost::toUpperName(name);
        // Of names that differ only in case the first in byte order wins, as the host's own
        // look-up decides, so the answer does not depend on the listing order.
        auto [slot, inserted] = m_files.try_emplace(key, zs::toWide(it->path()));
        if (!inserted && zs::toWide(it->path()) < slot->second)
            slot->second = zs::toWide(it->path());
    }
}

bool CFolderIndex::Find(const std::wstring& name, std::wstring& fullPath) const {
    const auto it = m_files.find(zhost::toUpperName(name));
    if (it == m_files.end())
        return false;
    fullPath = it->second;
    return true;
}
