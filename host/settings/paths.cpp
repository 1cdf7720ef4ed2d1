#include "zhost/settings/paths.h"

#include "zhost/core/utf.h"

#include <algorithm>
#include <cstdlib>

namespace zhost::settings {
namespace fs = std::filesystem;

namespace {

bool existsNoThrow(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::status(p, ec));
}

// The entry of `folder` whose name equals `name` without case, first in byte order.
std::optional<fs::path> findNoCase(const fs::path& folder, const std::string& name) {
    const std::wstring wanted = fromUtf8(name);
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    if (ec)
        return std::nullopt;
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string candidate = it->path().filename().string();
        if (equalsNoCase(fromUtf8(candidate), wanted) && (!best || candidate < *best))
            best = candidate;
    }
    if (!best)
        return std::nullopt;
    return folder / *best;
}

} // namespace

std::wstring toPosixSeparators(std::wstring_view path) {
    std::wstring out(path);
    std::replace(out.begin(), out.end(), L'\\', L'/');
    return out;
}

fs::path toFsPath(std::wstring_view path) {
    return fs::path(toUtf8(toPosixSeparators(path)));
}

std::wstring toWide(const fs::path& path) {
    return fromUtf8(path.native());
}

std::optional<fs::path> resolvePath(std::wstring_view windowsOrPosixPath) {
    const std::wstring text = toPosixSeparators(windowsOrPosixPath);
    if (text.empty())
        return std::nullopt;
    const bool wantFolder = text.back() == L'/';
    const fs::path input(toUtf8(text));
    auto fits = [&](const fs::path& p) {
        std::error_code ec;
        const auto st = fs::status(p, ec);
        return fs::exists(st) && (!wantFolder || fs::is_directory(st));
    };
    if (fits(input))
        return input;

    fs::path current = input.root_path();
    for (const fs::path& component : input.relative_path()) {
        const std::string name = component.string();
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            current /= component;
            continue;
        }
        fs::path next = current / component;
        if (!existsNoThrow(next)) {
            auto found = findNoCase(current, name);
            if (!found)
                return std::nullopt;
            next = std::move(*found);
        }
        current = std::move(next);
    }
    if (current.empty() || !fits(current))
        return std::nullopt;
    return current;
}

bool fileExists(std::wstring_view path) {
    const auto p = resolvePath(path);
    std::error_code ec;
    return p && fs::is_regular_file(*p, ec);
}

bool folderExists(std::wstring_view path) {
    const auto p = resolvePath(path);
    std::error_code ec;
    return p && fs::is_directory(*p, ec);
}

fs::path temporaryFolder() {
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
        std::error_code ec;
        if (fs::is_directory(tmp, ec))
            return fs::path(tmp);
    }
    return fs::path("/tmp");
}

} // namespace zhost::settings
