#pragma once
// Loading an add-on library into the host (the program's --addon and --api): dlopen, the
// version check, the module object, the initialise message; unload at the end; entry points by
// ordinal.
#include "zhost/core/status.h"
#include "zhost/rx/app.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zhost::rx {

// The API versions the host serves.
inline constexpr int kApiCurrent = 24;
inline constexpr int kApiPrevious = 23;

class AddonModule {
public:
    AddonModule() = default;
    ~AddonModule(); // unloads (kUnloadAppMsg, module object released, dlclose)
    AddonModule(const AddonModule&) = delete;
    AddonModule& operator=(const AddonModule&) = delete;

    // Loads the library and initialises it. `apiVersion` is the version the host serves for this
    // load (24 or 23): the library's version exports must report it. On failure nothing stays
    // loaded and `message` says why in English (library not found, not an add-on: missing
    // entry point X, API version mismatch, the initialise message failed).
    Status load(const std::filesystem::path& library, int apiVersion, std::wstring& message);
    // Sends kUnloadAppMsg, releases the module object, closes the library. Harmless twice.
    void unload();
    bool loaded() const { return handle_ != nullptr; }

    // The version the library reports (major, minor, ...), valid after load.
    int apiMajor() const { return version_[0]; }
    const int* apiVersion() const { return version_; }
    ModuleObject* moduleObject() const { return module_; }
    const std::filesystem::path& path() const { return path_; }

    // Sends an application message; kRetError when not loaded.
    int sendMessage(AppMsgCode message, void* packet);
    // Calls the entry point exported by ordinal (zorma_ordinal_<n>). keyNotFound when the
    // library has none.
    Status callOrdinal(int ordinal);
    // Runs a library verb of the add-on ("check", ...) with its arguments (UTF-8) and sets
    // `exitCode` to what the add-on answers. keyNotFound when the library exports no verbs,
    // notApplicable when nothing is loaded.
    Status callLibraryVerb(const std::string& verb, const std::vector<std::string>& args,
                           int& exitCode);

private:
    void* handle_ = nullptr;
    EntryPointFn entry_ = nullptr;
    ModuleObject* module_ = nullptr;
    AppPacket packet_;
    std::filesystem::path path_;
    int version_[4] = {0, 0, 0, 0};
};

// The add-on library of an API version beside the program: <exe dir>/../lib/BX24TORV.so.
std::filesystem::path defaultAddonPath(int apiVersion);

} // namespace zhost::rx
