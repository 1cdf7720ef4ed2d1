#include "zhost/settings/product.h"

#include "zhost/settings/paths.h"
#include "zhost/settings/registry.h"

#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace zhost::settings {
namespace fs = std::filesystem;

namespace {

struct Locations {
    std::mutex mutex;
    fs::path product;
    fs::path user;
    fs::path machineRegistry;
};

Locations& locations() {
    static Locations l;
    return l;
}

fs::path getLocked(fs::path Locations::*member) {
    std::lock_guard lock(locations().mutex);
    return locations().*member;
}

void setLocked(fs::path Locations::*member, const fs::path& value) {
    std::lock_guard lock(locations().mutex);
    locations().*member = value;
}

fs::path fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? fs::path(value) : fs::path();
}

fs::path executableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

// A child of `folder` named `name`, in the spelling found on disk.
fs::path childNoCase(const fs::path& folder, const wchar_t* name) {
    const fs::path exact = folder / fs::path(name);
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact;
    const auto found = resolvePath(toWide(exact));
    return found ? *found : exact;
}

} // namespace

void setProductFolder(const fs::path& folder) {
    setLocked(&Locations::product, folder);
}

fs::path bundledProductFolder() {
    const fs::path exeFolder = executableFolder();
    if (!exeFolder.empty()) {
        const fs::path installed = exeFolder / ".." / "share" / "zorma" / "product";
        std::error_code ec;
        if (fs::is_directory(installed, ec))
            return installed.lexically_normal();
    }
    return fs::path(ZORMA_BUNDLED_PRODUCT_DIR);
}

fs::path productFolder() {
    fs::path folder = getLocked(&Locations::product);
    if (folder.empty())
        folder = fromEnvironment("ZORMA_PRODUCT_DIR");
    if (folder.empty())
        folder = bundledProductFolder();
    return folder;
}

void setUserFolder(const fs::path& folder) {
    setLocked(&Locations::user, folder);
}

fs::path userFolder() {
    fs::path folder = getLocked(&Locations::user);
    if (!folder.empty())
        return folder;
    if (fs::path xdg = fromEnvironment("XDG_CONFIG_HOME"); xdg.is_absolute())
        return xdg / "zorma";
    fs::path home = fromEnvironment("HOME");
    if (home.empty())
        home = temporaryFolder(); // no home at all (a bare service account): still somewhere
    return home / ".config" / "zorma";
}

void setMachineRegistryFile(const fs::path& file) {
    setLocked(&Locations::machineRegistry, file);
}

fs::path machineRegistryFile() {
    fs::path file = getLocked(&Locations::machineRegistry);
    if (file.empty())
        file = fromEnvironment("ZORMA_MACHINE_REG");
    if (file.empty())
        file = "/etc/zorma/machine.reg";
    return file;
}

Product Product::current() {
    return Product(productFolder());
}

bool Product::available() const {
    std::error_code ec;
    return !folder_.empty() && fs::is_directory(folder_, ec);
}

fs::path Product::partsDataRoot() const {
    return childNoCase(folder_, L"PartsData");
}

fs::path Product::configFolder() const {
    return childNoCase(folder_, L"config");
}

} // namespace zhost::settings
