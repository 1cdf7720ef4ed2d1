// The dynamic linker's services for add-ons, and the module bookkeeping.
#include "zhost/core/utf.h"
#include "zhost/rx/app.h"

#include <algorithm>
#include <dlfcn.h>
#include <link.h>
#include <map>
#include <set>

namespace zhost::rx {
namespace {

struct LinkerState {
    std::set<void*> unlocked, mdiAware;
    std::vector<std::wstring> loaded;
};

LinkerState& linker() {
    static LinkerState s;
    return s;
}

} // namespace

DynamicLinker& dynamicLinker() {
    static DynamicLinker d;
    return d;
}

bool DynamicLinker::unlockApplication(void* packet) {
    if (!packet)
        return false;
    linker().unlocked.insert(packet);
    return true;
}

bool DynamicLinker::registerAppMDIAware(void* packet) {
    if (!packet)
        return false;
    linker().mdiAware.insert(packet);
    return true;
}

bool DynamicLinker::isApplicationLocked(void* packet) const {
    return !linker().unlocked.count(packet);
}

bool DynamicLinker::isAppMDIAware(void* packet) const {
    return linker().mdiAware.count(packet);
}

void onLoadArxApp(std::wstring_view modulePath) {
    linker().loaded.emplace_back(modulePath);
}

void onUnloadArxApp(std::wstring_view modulePath) {
    auto& v = linker().loaded;
    const auto it = std::find(v.begin(), v.end(), modulePath);
    if (it != v.end())
        v.erase(it);
}

std::vector<std::wstring> loadedModulePaths() {
    return linker().loaded;
}

std::wstring modulePathFromHandle(void* moduleHandle) {
    if (!moduleHandle)
        return {};
    link_map* map = nullptr;
    if (dlinfo(moduleHandle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return {};
    return fromUtf8(map->l_name);
}

std::string ordinalExportName(int ordinal) {
    return std::string(kOrdinalPrefix) + std::to_string(ordinal);
}

} // namespace zhost::rx
