// A test add-on for the desktop dialogs: one command, TESTDLG_WIDGETS, opens a dialog with the
// controls the add-on's own dialogs do not have (a combo box with an edit part, a long list, a
// grid of 10,000 rows, a button with a popup menu and a submenu) and prints what the user did
// with them when it closes, so that tests driving the window with the mouse and keys can check
// what reached the dialog.
#include "widgets_menu.h"
#include "zhost/editor/editor.h"
#include "zhost/rx/app.h"

#include "support/test_module.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/menu.h"

#include <atomic>
#include <memory>
#include <string>

using namespace zhost;
using namespace zhost::ui;

namespace {

ControlTemplate Ctl(int id, ControlKind kind, std::wstring text, Rect du, std::uint32_t style) {
    return ControlTemplate{id, kind, std::move(text), ws::child | ws::visible | ws::tabStop | style,
                           du, 0};
}

// Ids the tests name (and place the mouse by, in dialog units).
enum : int { kCombo = 301, kList = 302, kGrid = 303, kMenuButton = 304 };

class WidgetsDialog : public Dialog {
public:
    WidgetsDialog()
        : Dialog(DialogTemplate{
              9301,
              L"Widgets",
              Font{},
              Size{300, 200},
              {Ctl(kCombo, ControlKind::comboBox, L"", Rect{5, 5, 95, 90}, cbs::dropDown),
               Ctl(kList, ControlKind::listBox, L"", Rect{5, 25, 95, 105},
                   ws::vscroll | ws::border | lbs::notify),
               Ctl(kGrid, ControlKind::grid, L"", Rect{100, 5, 295, 160}, ws::border),
               Ctl(kMenuButton, ControlKind::button, L"Menu", Rect{5, 115, 60, 130}, 0),
               Ctl(idOk, ControlKind::button, L"OK", Rect{180, 175, 230, 190}, bs::defPushButton),
               Ctl(idCancel, ControlKind::button, L"Cancel", Rect{240, 175, 290, 190}, 0)},
              false}) {
        onCommand(kCombo, cbn::editChange, [this] { ++m_edits; });
        onCommand(kMenuButton, bn::clicked, [this] { OnMenu(); });
    }

    bool onInitDialog() override {
        auto* combo = controlAs<ComboBox>(kCombo);
        for (const wchar_t* s : {L"M10", L"M12", L"M16", L"M20", L"M24", L"M30"})
            combo->addString(s);
        auto* list = controlAs<ListBox>(kList);
        for (int i = 0; i < 60; ++i)
            list->addString(L"line " + std::to_wstring(i));
        Grid* g = grid(kGrid);
        g->setMaxCols(3);
        g->setMaxRows(10000);
        g->setBool(grid::optScrollBarsAuto, true);
        for (int r = 1; r <= 10000; r += 1)
            g->setData(1, r, L"row " + std::to_wstring(r));
        return true;
    }

    void onOk() override {
        auto* combo = controlAs<ComboBox>(kCombo);
        auto* list = controlAs<ListBox>(kList);
        ed::printf(L"\nwidgets: combo \"%ls\" sel %d edits %d", combo->windowText().c_str(),
                   combo->curSel(), m_edits);
        ed::printf(L"\nwidgets: list top %d sel %d", list->topIndex(), list->curSel());
        int col = 0, row = 0;
        grid(kGrid)->activeCell(col, row);
        ed::printf(L"\nwidgets: grid top %d active %d", grid(kGrid)->topRow(), row);
        Dialog::onOk();
    }

private:
    void OnMenu() {
        auto menu = WidgetsMenu();
        const Rect r = control(kMenuButton)->rect();
        const Point o = clientOrigin();
        const int chosen = menu->trackPopup(Point{o.x + r.left, o.y + r.bottom}, this);
        ed::printf(L"\nwidgets: menu %d", chosen);
    }

    int m_edits = 0;
};

void widgetsCommand() {
    WidgetsDialog dlg;
    const int code = dlg.runModal();
    ed::printf(L"\nwidgets: ended %d\n", code);
}

} // namespace

ZHOST_ADDON_EXPORT int acrxEntryPoint(int message, void* packet) {
    switch (message) {
    case rx::kInitAppMsg:
        rx::dynamicLinker().unlockApplication(packet);
        rx::dynamicLinker().registerAppMDIAware(packet);
        rx::commandStack().addCommand(L"TESTWIDGETS", L"TESTDLG_WIDGETS", L"TESTDLG_WIDGETS",
                                      rx::cmd::kModal, &widgetsCommand);
        break;
    case rx::kUnloadAppMsg:
        rx::commandStack().removeGroup(L"TESTWIDGETS");
        break;
    default:
        break;
    }
    return rx::kRetOK;
}

ZHOST_ADDON_EXPORT void acrxGetApiVersion(int* a, int* b, int* c, int* d) {
    *a = 24, *b = 1, *c = 5, *d = 0;
}
ZHOST_ADDON_EXPORT int odrxGetAPIVersion(int* a, int* b, int* c, int* d) {
    *a = 24, *b = 2, *c = 0, *d = 0;
    return 0;
}

ZHOST_ADDON_EXPORT rx::ModuleObject* odrxCreateModuleObject(void** handle) {
    return ztest::CreateTestModule(handle);
}
