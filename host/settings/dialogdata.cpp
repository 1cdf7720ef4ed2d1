#include "zhost/settings/dialogdata.h"

#include "zhost/settings/product.h"

namespace zhost::settings {
namespace {

constexpr const wchar_t* kPlacementKeys[] = {L"@X", L"@Y", L"@Width", L"@Height"};

bool isReserved(std::wstring_view name) {
    return !name.empty() && name.front() == L'@';
}

} // namespace

DialogDataStore::DialogDataStore() : DialogDataStore(userFolder()) {}

DialogDataStore::DialogDataStore(const std::filesystem::path& folder) : store_(folder, kFileName) {}

bool DialogDataStore::getPlacement(std::wstring_view dialog, WindowPlacement& placement) const {
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        std::wstring text;
        if (!store_.getString(dialog, kPlacementKeys[i], text) || !parseProfileInt(text, values[i]))
            return false;
    }
    placement = WindowPlacement{values[0], values[1], values[2], values[3]};
    return true;
}

bool DialogDataStore::setPlacement(std::wstring_view dialog, const WindowPlacement& placement) {
    const int values[4] = {placement.x, placement.y, placement.width, placement.height};
    for (int i = 0; i < 4; ++i)
        if (!store_.setString(dialog, kPlacementKeys[i], std::to_wstring(values[i])))
            return false;
    return true;
}

bool DialogDataStore::getString(std::wstring_view dialog, std::wstring_view name,
                                std::wstring& value) const {
    return !isReserved(name) && store_.getString(dialog, name, value);
}

bool DialogDataStore::setString(std::wstring_view dialog, std::wstring_view name,
                                std::wstring_view value) {
    return !isReserved(name) && store_.setString(dialog, name, value);
}

bool DialogDataStore::getInt(std::wstring_view dialog, std::wstring_view name, int& value) const {
    std::wstring text;
    return getString(dialog, name, text) && parseProfileInt(text, value);
}

bool DialogDataStore::setInt(std::wstring_view dialog, std::wstring_view name, int value) {
    return setString(dialog, name, std::to_wstring(value));
}

} // namespace zhost::settings
