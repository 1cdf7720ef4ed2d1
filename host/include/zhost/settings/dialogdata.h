#pragma once
// The host's dialog-data store: per dialog name ("ZORMA_CONT_PartsSel", "PartsContents_Dlg",
// ...) the window's last position and size and named string and integer values ("Mask",
// "Sel0", "SelType", ...). Kept in "dialog-data.ini" in the per-user folder, written the same
// crash-safe, merging way as the per-user store (see userstore.h).
#include "zhost/core/status.h"
#include "zhost/settings/userstore.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zhost::settings {

struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class DialogDataStore {
public:
    static constexpr const wchar_t* kFileName = L"dialog-data.ini";

    DialogDataStore(); // the current per-user folder
    explicit DialogDataStore(const std::filesystem::path& folder);

    // Window placement, kept under the reserved keys "@X", "@Y", "@Width", "@Height".
    bool getPlacement(std::wstring_view dialog, WindowPlacement& placement) const;
    bool setPlacement(std::wstring_view dialog, const WindowPlacement& placement);

    // Named values; names beginning with '@' are reserved for the placement (false).
    bool getString(std::wstring_view dialog, std::wstring_view name, std::wstring& value) const;
    bool setString(std::wstring_view dialog, std::wstring_view name, std::wstring_view value);
    bool getInt(std::wstring_view dialog, std::wstring_view name, int& value) const;
    bool setInt(std::wstring_view dialog, std::wstring_view name, int value);

    // Also done when the object is destroyed.
    Status flush() { return store_.flush(); }

private:
    UserStore store_;
};

} // namespace zhost::settings
