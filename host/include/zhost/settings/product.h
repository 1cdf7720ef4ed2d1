#pragma once
// Where the installed product lies: its configuration folder (ini files) and its parts-data
// root (the parts library), and the per-user folder where remembered values are kept.
//
//   <product>/config/      PartsContentsParam.ini, PartsAttPrompt.ini, Zorma_Zuwaku.ini, ...
//   <product>/PartsData/   the parts library
//
// The product folder is the setter's (the program's --product), else $ZORMA_PRODUCT_DIR, else
// the bundled sample product: <executable>/../share/zorma/product when installed, else the
// samples/product folder of the source tree the host was built from.
#include <filesystem>

namespace zhost::settings {

// An empty path clears the setter.
void setProductFolder(const std::filesystem::path& folder);
std::filesystem::path productFolder();
std::filesystem::path bundledProductFolder();

// The per-user folder: the setter's (the program's --user-dir), else $XDG_CONFIG_HOME/zorma,
// else $HOME/.config/zorma. It is created when a store is first written.
void setUserFolder(const std::filesystem::path& folder);
std::filesystem::path userFolder();

class Product {
public:
    // The product as configured at the time of the call.
    static Product current();
    explicit Product(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& folder() const { return folder_; }
    // The product folder exists.
    bool available() const;
    // <product>/PartsData (its spelling on disk when it differs in case).
    std::filesystem::path partsDataRoot() const;
    // <product>/config (likewise).
    std::filesystem::path configFolder() const;

private:
    std::filesystem::path folder_;
};

} // namespace zhost::settings
