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
    std::vector<Item> items_;
};

} // namespace zhost::ui
