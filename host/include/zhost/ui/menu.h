#pragma once
// Popup menus: items with text, bitmaps or drawn by their owner, checked and greyed states,
// and menu breaks that start a new column. Tracking a popup is modal: the backend lets the
// user choose (a script answers with "@dialog menu ..."), and the chosen command comes back.
#include "zhost/ui/bitmap.h"
#include "zhost/ui/control.h"

#include <memory>
#include <string>
#include <vector>

namespace zhost::ui {

class Dialog;
class ResourceModule;

// Item flags (the platform's MF_ values).
namespace mf {
inline constexpr unsigned string = 0x0;
inline constexpr unsigned grayed = 0x1;
inline constexpr unsigned disabled = 0x2;
inline constexpr unsigned bitmap = 0x4;
inline constexpr unsigned checked = 0x8;
inline constexpr unsigned popup = 0x10;
inline constexpr unsigned menuBarBreak = 0x20;
inline constexpr unsigned menuBreak = 0x40;
inline constexpr unsigned ownerDraw = 0x100;
inline constexpr unsigned separator = 0x800;
inline constexpr unsigned byPosition = 0x400;
} // namespace mf

// A menu as a resource describes it.
struct MenuTemplateItem {
    int id = 0;
    std::wstring text;
    unsigned flags = 0;
    std::vector<MenuTemplateItem> children; // for a popup item
};

class Menu {
public:
    struct Item {
        int id = 0;
        std::wstring text;
        unsigned flags = 0;
        std::uintptr_t data = 0;
        Bitmap bitmap;
        std::unique_ptr<Menu> submenu;
    };

    Menu() = default;
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // Builds the menu from a template (a popup menu with the template's items).
    static std::unique_ptr<Menu> fromTemplate(const std::vector<MenuTemplateItem>& items);
    // The menu resource of a module; null when the module has none with that id.
    static std::unique_ptr<Menu> load(const ResourceModule& module, int id);

    bool appendItem(unsigned flags, int id, std::wstring_view text, std::uintptr_t data = 0);
    bool appendBitmapItem(unsigned flags, int id, const Bitmap& bmp);
    bool deleteItem(int position); // by position
    int itemCount() const { return int(items_.size()); }
    const Item* item(int position) const;
    Item* item(int position);
    // The position of the item with that command id, or -1.
    int positionOf(int id) const;
    Menu* subMenu(int position) const;
    // The item named by its command id or its text (without its mnemonic, also without a
    // trailing "(&X)"), in this menu or its submenus; a submenu's item by its text only.
    const Item* findItem(std::wstring_view idOrText) const;
    bool enableItem(int id, bool enabled);
    bool checkItem(int id, bool checked);

    // The columns the menu shows: lists of item positions; a break flag starts a new column.
    std::vector<std::vector<int>> columns() const;

    // Shows the menu at a screen point for `owner` and waits for the user: the chosen command
    // id, or 0 when the menu was dismissed. Owner-drawn items are measured and drawn by the
    // owner (its measure and draw item handlers). With `returnCommand` false the choice is sent
    // to the owner as a command message instead, and the result is non-zero when one was made.
    int trackPopup(Point screen, Dialog* owner, bool returnCommand = true);

    // The lines the transcript shows for the open menu.
    void describe(std::vector<std::wstring>& lines) const;
    // Draws the menu (as the snapshot shows it) into a bitmap of its own size.
    Bitmap render(Dialog* owner, int highlighted = -1) const;
    // Where each item (by position) lies in that bitmap, and the bitmap's size.
    std::vector<Rect> layout(Dialog* owner, Size& total) const;

private:
    void describeIndented(std::vector<std::wstring>& lines, const std::wstring& indent) const;

    std::vector<Item> items_;
};

// A popup menu while the user works it: the chain of open menus (the popup, then each submenu
// opened from it), the item lit in each, and what keys and the mouse do to them, as on the
// platform: Up and Down light the next choosable item (passing over separators and greyed
// items, wrapping round), Right or Return opens a lit submenu and lights its first item, Left
// and Escape close the innermost submenu (Escape on the popup itself dismisses it), Return
// chooses a lit command, a mnemonic letter (the one after "&") acts on its item, or lights the
// next of several with that letter; the mouse lights what it is over, a submenu opens when it
// rests there (hoverSettled) or is clicked. Backends draw each level with Menu::render and
// the "@dialog menu key" directive works the same tracker.
class MenuTracker {
public:
    struct Level {
        Menu* menu = nullptr;
        int lit = -1;        // the lit item's position, -1 none
        int openedFrom = -1; // the position of the item of the level above that opened it
    };
    enum class State { open, chosen, dismissed };

    explicit MenuTracker(Menu& popup);

    const std::vector<Level>& levels() const { return levels_; }
    State state() const { return state_; }
    int chosen() const { return chosen_; } // the command id once chosen

    // A key (vk:: up, down, left, right, returnKey, escape) or a typed character (mnemonics).
    void key(int vkey);
    void character(wchar_t ch);
    // A key by the name scripts give it ("up", "down", "left", "right", "return", "escape", or
    // one character); false for a name that is none of them.
    bool keyNamed(std::wstring_view name);
    // The mouse over item `position` of an open level (-1: over none of its items), a click on
    // one, and the mouse having rested long enough for a submenu to open or close.
    void hover(int level, int position);
    void click(int level, int position);
    void hoverSettled();

    // Whether an item can be lit and chosen or opened.
    static bool choosable(const Menu::Item& item);
    // The upper-case mnemonic letter of a text ("&Copy" -> 'C'), 0 without one.
    static wchar_t mnemonic(std::wstring_view text);
    // The path of the lit items ("More > Alpha"), for transcripts.
    std::wstring litPath() const;

private:
    void openLit(int level, bool lightFirst);
    void closeAbove(int level);
    void activate(int level); // Return on the lit item of a level
    int next(const Menu& m, int from, int dir) const;

    std::vector<Level> levels_;
    State state_ = State::open;
    int chosen_ = 0;
    int hoverLevel_ = -1;
};

} // namespace zhost::ui
