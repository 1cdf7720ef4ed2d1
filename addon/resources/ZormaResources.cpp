// The plug-in's resources: pictures, menus, the string table and the dialog templates.
#include "resources/ZormaResources.h"

#include "resources/CheckBitmaps.h"
#include "resources/DialogTemplates.h"
#include "resources/resource.h"

#include <memory>

namespace {

void AddCheckBitmaps(zhost::ui::ResourceModule& m) {
    struct Entry {
        int nId;
        CheckPictureKind kind;
        int nSize;
        bool bDisabled;
    };
    const Entry entries[] = {
        {IDB_CHECK_OFF, CheckPictureKind::CheckOff, 16, false},
        {IDB_CHECK_ON, CheckPictureKind::CheckOn, 16, false},
        {IDB_RADIO_OFF, CheckPictureKind::RadioOff, 16, false},
        {IDB_RADIO_ON, CheckPictureKind::RadioOn, 16, false},
        {IDB_CHECK_OFF_L, CheckPictureKind::CheckOff, 32, false},
        {IDB_CHECK_ON_L, CheckPictureKind::CheckOn, 32, false},
        {IDB_RADIO_OFF_L, CheckPictureKind::RadioOff, 32, false},
        {IDB_RADIO_ON_L, CheckPictureKind::RadioOn, 32, false},
        {IDB_CHECK_OFF_D, CheckPictureKind::CheckOff, 16, true},
        {IDB_CHECK_ON_D, CheckPictureKind::CheckOn, 16, true},
        {IDB_RADIO_OFF_D, CheckPictureKind::RadioOff, 16, true},
        {IDB_RADIO_ON_D, CheckPictureKind::RadioOn, 16, true},
        {IDB_CHECK_OFF_DL, CheckPictureKind::CheckOff, 32, true},
        {IDB_CHECK_ON_DL, CheckPictureKind::CheckOn, 32, true},
        {IDB_RADIO_OFF_DL, CheckPictureKind::RadioOff, 32, true},
        {IDB_RADIO_ON_DL, CheckPictureKind::RadioOn, 32, true},
    };
    for (const Entry& e : entries)
        m.addBitmap(e.nId, DrawCheckPicture(e.kind, e.nSize, e.bDisabled));
}

void AddMenus(zhost::ui::ResourceModule& m) {
    // The picture menu's popup holds one placeholder item, deleted before the pictures go in.
    zhost::ui::MenuTemplateItem popup;
    popup.text = L"Popup";
    popup.children.push_back({ID_PICTURE_MENU_PLACEHOLDER, L"Item", 0, {}});
    m.addMenu(IDR_PICTURE_MENU, {popup});
}

void AddStrings(zhost::ui::ResourceModule& m) {
    m.addString(IDS_GRID_CUT, L"切り取り(&T)\tCtrl+X");
    m.addString(IDS_GRID_COPY, L"コピー(&C)\tCTRL+C");
    m.addString(IDS_GRID_PASTE, L"貼り付け(&V)\tCTRL+V");
}

} // namespace

zhost::ui::ResourceModule& ZormaResources() {
    static std::unique_ptr<zhost::ui::ResourceModule> s_module = [] {
        auto m = std::make_unique<zhost::ui::ResourceModule>(L"ZORMA");
        AddCheckBitmaps(*m);
        AddMenus(*m);
        AddStrings(*m);
        AddZormaDialogTemplates(*m);
        return m;
    }();
    return *s_module;
}

std::wstring LoadZormaString(int nId) {
    std::wstring text;
    ZormaResources().string(nId, text);
    return text;
}
