#pragma once
// A popup menu of the dialog framework on the screen: each open level (the popup and the
// submenus opened from it) is a borderless window showing the framework's own drawing of that
// menu with its lit item, and the mouse and keys work the framework's MenuTracker, so the menu
// behaves as the headless "@dialog menu key" lines make it behave.
#include <functional>
#include <string_view>

class wxWindow;

namespace zhost::ui {
class Dialog;
class Menu;
} // namespace zhost::ui

namespace zorma::gui {

// Input that windows under an open menu pass on to it: the dialogs keep the keyboard focus
// while a menu is open (the menu does not take it from them), so their keys work the menu, and a
// click on them dismisses it.
class MenuInput {
public:
    virtual ~MenuInput() = default;
    // A key as the framework numbers it (vk::, letters and digits upper case), -1 for other
    // keys, with the character it types (0 for none).
    virtual void key(int frameworkKey, wchar_t ch) = 0;
    // A key by the name a "@dialog menu key" line gives it; false for an unknown name.
    virtual bool keyNamed(std::wstring_view name) = 0;
    virtual void dismiss() = 0;
};

// Shows the menu at the mouse and runs the window system's events until the user chooses an item
// (its command id) or dismisses the menu (0). `typed` is asked after every event for a line
// typed into the command line: a choice (-1: none), or keys it passes to the menu's input.
// `setInput` is called with the menu's input while it is open and with null when it closes.
int runPopupMenu(wxWindow* parent, zhost::ui::Menu& menu, zhost::ui::Dialog* owner,
                 const std::function<int(MenuInput&)>& typed,
                 const std::function<void(MenuInput*)>& setInput);

} // namespace zorma::gui
