#include "frame/ModuleInfo.h"

#include "zhost/core/utf.h"

#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

void* g_resourceInstance = nullptr;
// Found at attach: the loader may have named the file relative to the working directory of that
// moment, which can change later. A plain array, so that no initialiser of this library can run
// after attach and wipe it.
char g_modulePath[PATH_MAX + 1];

// Any address inside this library identifies it to dladdr.
void AnchorInLibrary() {}

void FindSelf() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&AnchorInLibrary), &info) == 0)
        return;
    g_resourceInstance = info.dli_fbase;
    if (info.dli_fname == nullptr || info.dli_fname[0] == '\0')
        return;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(info.dli_fname, ec);
    if (ec)
        return;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(p, ec);
    const std::string text = (ec ? p : canonical).string();
    if (text.size() <= PATH_MAX)
        std::memcpy(g_modulePath, text.c_str(), text.size() + 1);
}

// Library attach and detach. The platform's extension-module start-up (resource chain, UI
// library initialisation) has no counterpart in this host: its dialog framework needs no per-
// library initialisation, so attach only finds the library's own identity.
__attribute__((constructor)) void ZormaLibraryAttach() {
    FindSelf();
}

__attribute__((destructor)) void ZormaLibraryDetach() {
    g_resourceInstance = nullptr;
    g_modulePath[0] = '\0';
}

} // namespace

void* GetZormaResourceInstance() {
    return g_resourceInstance;
}

bool GetZormaModulePath(std::wstring& path) {
    if (g_modulePath[0] == '\0')
        return false;
    std::wstring full = zhost::fromUtf8(g_modulePath);
    if (full.size() > kMaxModulePath)
        return false;
    path = std::move(full);
    return true;
}
