#pragma once
// The module object a test add-on hands the host, as a real add-on's does: reference counted,
// its path taken from its handle, the load and unload calls passed on. Header only: each test
// add-on is a library of its own and keeps its own single module object.
#include "zhost/rx/app.h"

#include <atomic>
#include <memory>
#include <string>

namespace ztest {

class TestModule : public zhost::rx::ModuleObject {
public:
    explicit TestModule(void* handle) : m_handle(handle) {}
    void deleteThis() override;
    void addRef() override { ++m_refs; }
    long numRefs() const override { return m_refs; }
    void release() override { --m_refs; }
    void* moduleHandle() const override { return m_handle; }
    void onLoad() override { zhost::rx::onLoadArxApp(modulePath()); }
    void onUnload() override { zhost::rx::onUnloadArxApp(modulePath()); }
    std::wstring modulePath() const override { return zhost::rx::modulePathFromHandle(m_handle); }

private:
    void* m_handle;
    std::atomic<long> m_refs{1};
};

inline std::unique_ptr<TestModule>& TheTestModule() {
    static std::unique_ptr<TestModule> module;
    return module;
}

inline void TestModule::deleteThis() {
    TheTestModule().reset();
}

// What odrxCreateModuleObject returns: the add-on's module object, made on the first call.
inline zhost::rx::ModuleObject* CreateTestModule(void** handle) {
    if (!TheTestModule()) {
        TheTestModule() = std::make_unique<TestModule>(*handle);
        *handle = nullptr;
    }
    return TheTestModule().get();
}

} // namespace ztest
