#pragma once
// Add-on modules: the application messages the host sends to an add-on's acrxEntryPoint, the
// dynamic linker services an add-on calls while it initialises, the module object, and the
// names of the functions an add-on library exports. Both sides include this header.
//
// An add-on library exports (extern "C", default visibility):
//
//   int  acrxEntryPoint(int message, void* packet);          application messages, below
//   void acrxGetApiVersion(int*, int*, int*, int*);          API 24: writes 24, 1, 5, 0
//   int  odrxGetAPIVersion(int*, int*, int*, int*);          API 24: writes 24, 2, 0, 0
//   rx::ModuleObject* odrxCreateModuleObject(void** moduleHandle);
//   void zorma_ordinal_<n>();                                entry points by ordinal
//   int  zorma_library_verb(const char* verb, int argc, const char* const* argv);
//                                                            "zorma library VERB ...", optional
//
// An API-23 build exports both version names as one function that writes 23, 2, 0, 0.
// ELF has no export ordinals, so ordinal n is exported under the name zorma_ordinal_<n>
// (ZHOST_ORDINAL_EXPORT below); the host's callOrdinal(n) calls it.
#include "zhost/core/status.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::rx {

// Application messages (the platform's AcRx::AppMsgCode).
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
    kSuspendMsg = 16,
};

// What acrxEntryPoint returns (AcRx::AppRetCode).
enum AppRetCode { kRetOK = 0, kRetError = 3 };

// The packet passed with kInitAppMsg: it identifies the module to the dynamic linker.
struct AppPacket {
    void* moduleHandle = nullptr; // the library's handle (dlopen)
    std::wstring path;            // the library's file
};

// The dynamic linker's services for the add-on being initialised (acrxDynamicLinker).
class DynamicLinker {
public:
    // The add-on may be unloaded while the host runs (unlockApplication) / works with several
    // drawings (registerAppMDIAware). False for an unknown packet.
    bool unlockApplication(void* packet);
    bool registerAppMDIAware(void* packet);
    bool isApplicationLocked(void* packet) const;
    bool isAppMDIAware(void* packet) const;
};
DynamicLinker& dynamicLinker();

// Notifications the module object sends when it is loaded and unloaded (onLoadArxApp,
// onUnloadArxApp): the host records the path of every loaded module.
void onLoadArxApp(std::wstring_view modulePath);
void onUnloadArxApp(std::wstring_view modulePath);
// The paths of the modules loaded now, in load order.
std::vector<std::wstring> loadedModulePaths();

// The full file path of a loaded library, from its handle (empty when unknown).
std::wstring modulePathFromHandle(void* moduleHandle);

// The module object an add-on creates on odrxCreateModuleObject (the platform's OdRxModule):
// reference counted; the host releases it after the unload message.
class ModuleObject {
public:
    virtual void deleteThis() = 0; // release and delete; forgets the single instance
    virtual void addRef() = 0;
    virtual long numRefs() const = 0;
    virtual void release() = 0;
    virtual void* moduleHandle() const = 0;
    virtual void onLoad() = 0;                   // calls onLoadArxApp with the module's path
    virtual void onUnload() = 0;                 // calls onUnloadArxApp with the module's path
    virtual std::wstring modulePath() const = 0; // at most 260 characters

protected:
    virtual ~ModuleObject() = default;
};

// Signatures of the exports.
extern "C" {
using EntryPointFn = int (*)(int message, void* packet);
using GetApiVersionFn = void (*)(int*, int*, int*, int*);
using OdrxGetApiVersionFn = int (*)(int*, int*, int*, int*);
using CreateModuleObjectFn = ModuleObject* (*)(void** moduleHandle);
using OrdinalFn = void (*)();
// The add-on's library tools: the verb and its arguments in UTF-8; the add-on prints through the
// host's command-line output and returns the program's exit status.
using LibraryVerbFn = int (*)(const char* verb, int argc, const char* const* argv);
}

inline constexpr const char* kEntryPointName = "acrxEntryPoint";
inline constexpr const char* kGetApiVersionName = "acrxGetApiVersion";
inline constexpr const char* kOdrxGetApiVersionName = "odrxGetAPIVersion";
inline constexpr const char* kCreateModuleObjectName = "odrxCreateModuleObject";
inline constexpr const char* kOrdinalPrefix = "zorma_ordinal_";
inline constexpr const char* kLibraryVerbName = "zorma_library_verb";

// The export name of ordinal n: "zorma_ordinal_1000".
std::string ordinalExportName(int ordinal);

} // namespace zhost::rx

// Exports ordinal n: ZHOST_ORDINAL_EXPORT(1000) { runHide(); }
#define ZHOST_ORDINAL_EXPORT(n)                                                                    \
    extern "C" __attribute__((visibility("default"))) void zorma_ordinal_##n()
// Marks a function as exported from the add-on library.
#define ZHOST_ADDON_EXPORT extern "C" __attribute__((visibility("default")))
