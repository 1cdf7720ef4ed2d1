// Loading add-on libraries: dlopen, the version check, the module object, the initialise and
// unload messages, and entry points by ordinal.
#include "zhost/rx/loader.h"
#include "zhost/core/utf.h"

#include <dlfcn.h>
#include <unistd.h>

namespace zhost::rx {
namespace {

std::wstring lastDlError() {
    const char* e = dlerror();
    return e ? fromUtf8(e) : std::wstring(L"unknown error");
}

std::wstring versionText(const int v[4]) {
    return std::to_wstring(v[0]) + L"." + std::to_wstring(v[1]) + L"." + std::to_wstring(v[2]) +
           L"." + std::to_wstring(v[3]);
}

} // namespace

AddonModule::~AddonModule() {
    unload();
}

Status AddonModule::load(const std::filesystem::path& library, int apiVersion,
                         std::wstring& message) {
    unload();
    const std::wstring name = fromUtf8(library.string());
    if (apiVersion != kApiCurrent && apiVersion != kApiPrevious) {
        message = L"API version " + std::to_wstring(apiVersion) +
                  L" is not served by this host (24 or 23)";
        return Status::invalidInput;
    }
    if (!std::filesystem::exists(library)) {
        message = L"add-on library not found: " + name;
        return Status::fileNotFound;
    }
    dlerror();
    // A name without a folder ("BX24TORV.so") means the file here, as everywhere else on the
    // command line; dlopen would search the library path for it instead.
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::absolute(library, ec);
    void* h = dlopen((ec ? library : file).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        message = L"cannot load " + name + L": " + lastDlError();
        return Status::fileError;
    }
    auto fail = [&](std::wstring why, Status st) {
        dlclose(h);
        message = std::move(why);
        return st;
    };
    auto entry = reinterpret_cast<EntryPointFn>(dlsym(h, kEntryPointName));
    auto getApi = reinterpret_cast<GetApiVersionFn>(dlsym(h, kGetApiVersionName));
    auto odrxApi = reinterpret_cast<OdrxGetApiVersionFn>(dlsym(h, kOdrxGetApiVersionName));
    auto create = reinterpret_cast<CreateModuleObjectFn>(dlsym(h, kCreateModuleObjectName));
    const char* missing = !entry     ? kEntryPointName
                          : !getApi  ? kGetApiVersionName
                          : !odrxApi ? kOdrxGetApiVersionName
                          : !create  ? kCreateModuleObjectName
                                     : nullptr;
    if (missing)
        return fail(name + L" is not an add-on: it does not export " + fromUtf8(missing),
                    Status::keyNotFound);

    // API 24 reports (24,1,5,0) and (24,2,0,0); API 23 reports (23,2,0,0) through both.
    int a[4] = {0, 0, 0, 0}, b[4] = {0, 0, 0, 0};
    getApi(&a[0], &a[1], &a[2], &a[3]);
    odrxApi(&b[0], &b[1], &b[2], &b[3]);
    if (a[0] != apiVersion || b[0] != apiVersion)
        return fail(name + L" is built for API " + versionText(a) + L" / " + versionText(b) +
                        L"; this host serves API " + std::to_wstring(apiVersion) +
                        (apiVersion == kApiCurrent ? L" (use --api 23 for an API-23 build)"
                                                   : L" (use --api 24 for an API-24 build)"),
                    Status::invalidInput);
    std::copy(a, a + 4, version_);

    void* handleSlot = h;
    ModuleObject* module = create(&handleSlot);
    if (!module)
        return fail(name + L": odrxCreateModuleObject gave no module object",
                    Status::notApplicable);

    handle_ = h;
    entry_ = entry;
    module_ = module;
    path_ = library;
    packet_.moduleHandle = h;
    packet_.path = name;
    module_->onLoad();
    if (entry_(kInitAppMsg, &packet_) != kRetOK) {
        message = name + L": the add-on refused the initialise message";
        unload();
        return Status::notApplicable;
    }
    return Status::ok;
}

void AddonModule::unload() {
    if (!handle_)
        return;
    if (entry_)
        entry_(kUnloadAppMsg, &packet_);
    if (module_) {
        module_->onUnload();
        module_->deleteThis();
    }
    dlclose(handle_);
    handle_ = nullptr;
    entry_ = nullptr;
    module_ = nullptr;
}

int AddonModule::sendMessage(AppMsgCode message, void* packet) {
    if (!entry_)
        return kRetError;
    return entry_(message, packet ? packet : &packet_);
}

Status AddonModule::callOrdinal(int ordinal) {
    if (!handle_)
        return Status::notApplicable;
    auto fn = reinterpret_cast<OrdinalFn>(dlsym(handle_, ordinalExportName(ordinal).c_str()));
    if (!fn)
        return Status::keyNotFound;
    fn();
    return Status::ok;
}

Status AddonModule::callLibraryVerb(const std::string& verb, const std::vector<std::string>& args,
                                    int& exitCode) {
    if (!handle_)
        return Status::notApplicable;
    auto fn = reinterpret_cast<LibraryVerbFn>(dlsym(handle_, kLibraryVerbName));
    if (!fn)
        return Status::keyNotFound;
    std::vector<const char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    exitCode = fn(verb.c_str(), static_cast<int>(args.size()), argv.data());
    return Status::ok;
}

std::filesystem::path defaultAddonPath(int apiVersion) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path libDir =
        ec ? std::filesystem::path("lib") : exe.parent_path().parent_path() / "lib";
    return libDir / (apiVersion == kApiPrevious ? "BX23TORV.so" : "BX24TORV.so");
}

} // namespace zhost::rx
