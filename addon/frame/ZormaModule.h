#pragma once
// The plug-in's module object: the single reference-counted object the host asks for through
// odrxCreateModuleObject. It holds the library's module handle and tells the host when the
// module is loaded and unloaded.
#include "zhost/rx/app.h"

#include <atomic>
#include <string>

class CZormaModule final : public zhost::rx::ModuleObject {
public:
    explicit CZormaModule(void* hModule) : m_hModule(hModule) {}
    ~CZormaModule() override = default;
    CZormaModule(const CZormaModule&) = delete;
    CZormaModule& operator=(const CZormaModule&) = delete;

    // Releases and deletes the single instance; a later odrxCreateModuleObject makes a new one.
    void deleteThis() override;
    void addRef() override;
    long numRefs() const override;
    // Lowers the count (never below zero); the object stays until deleteThis.
    void release() override;
    void* moduleHandle() const override { return m_hModule; }
    void onLoad() override;
    void onUnload() override;
    // The library's full file path, at most 260 characters; empty when unknown or longer.
    std::wstring modulePath() const override;

private:
    void* m_hModule;
    // The creator holds the first reference.
    std::atomic<long> m_nRefs{1};
};

// The single instance, created by the first call: it takes the handle at `pHandle` and clears
// it there. Later calls return the same object and touch nothing.
CZormaModule* CreateZormaModule(void** pHandle);
// The live instance, or null.
CZormaModule* GetZormaModule();
