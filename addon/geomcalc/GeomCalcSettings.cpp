#include "geomcalc/GeomCalcSettings.h"

#include "frame/SettingsLib.h"
#include "frame/UserSections.h"

#include "zhost/editor/format.h"

#include <cmath>
#include <cwchar>
#include <cwctype>

CGeomCalcMemory& GeomCalcMemory() {
    static CGeomCalcMemory memory;
    return memory;
}

void LoadItemSwitches() {
    CUserStore store;
    int mask = 0;
    if (store.IsOpen() && store.SelectSection(kUserSectionGeomCalc) && store.GetInt(L"TAB", mask))
        GeomCalcMemory().items = ItemFlags::FromMask(mask);
}

bool SaveItemSwitches(const ItemFlags& items) {
    CUserStore store;
    if (!store.IsOpen())
        return false;
    store.SelectSection(kUserSectionGeomCalc);
    return store.SetInt(L"TAB", items.ToMask());
}

bool IsSpecificGravityInRange(double v) {
    return v >= 0.01 && v < 100;
}

bool ParseSpecificGravity(const std::wstring& text, double& value) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    const double v = std::wcstod(begin, &end);
    if (end == begin)
        return false;
    while (*end != L'\0' && std::iswspace(*end))
        ++end;
    if (*end != L'\0' || !std::isfinite(v) || !IsSpecificGravityInRange(v))
        return false;
    value = v;
    return true;
}

void LoadSpecificGravity() {
    CUserStore store;
    std::wstring text;
    double v = 0;
    if (store.IsOpen() && store.SelectSection(kUserSectionGeomCalc) &&
        store.GetString(L"specificGravity", text) && ParseSpecificGravity(text, v))
        GeomCalcMemory().specificGravity = v;
}

bool SaveSpecificGravity(double value) {
    CUserStore store;
    if (!store.IsOpen())
        return false;
    store.SelectSection(kUserSectionGeomCalc);
    return store.SetString(L"specificGravity", zhost::ed::format(L"%f", value).c_str());
}
