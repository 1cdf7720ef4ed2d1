#include "frame/ZormaModule.h"

#include "frame/ModuleInfo.h"

#include <memory>

namespace {
std::unique_ptr<CZormaModule> g_module;
}

CZormaModule* CreateZormaModule(void** pHandle) {
    if (!g_module) {
        void* handle = nullptr;
        if (pHandle != nullptr) {
            handle = *pHandle;
            *pHandle = nullptr;
        }
        g_module = std::make_unique<CZormaModule>(handle);
    }
    return g_module.get();
}

CZormaModule* GetZormaModule() {
    return g_module.get();
}

void CZormaModule::deleteThis() {
    m_nRefs.fetch_sub(1, std::memory_order_acq_rel);
    if (g_module.get() == this)
        g_module.reset(); // deletes this object: nothing may follow
}

void CZormaModule::addRef() {
    m_nRefs.fetch_add(1, std::memory_order_relaxed);
}

long CZormaModule::numRefs() const {
    return m_nRefs.load(std::memory_order_acquire);
}

void CZormaModule::release() {
    long current = m_nRefs.load(std::memory_order_relaxed);
    while (current > 0 &&
           !m_nRefs.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel)) {
    }
}

void CZormaModule::onLoad() {
    std::wstring path = modulePath();
    if (!path.empty())
        zhost::rx::onLoadArxApp(path);
}

void CZormaModule::onUnload() {
    std::wstring path = modulePath();
    if (!path.empty())
        zhost::rx::onUnloadArxApp(path);
}

std::wstring CZormaModule::modulePath() const {
    std::wstring path;
    if (!GetZormaModulePath(path))
        path.clear();
    return path;
}

ZHOST_ADDON_EXPORT zhost::rx::ModuleObject* odrxCreateModuleObject(void** pHandle) {
    return CreateZormaModule(pHandle);
}
