#pragma once
// List-like controls: list box, combo box, the host's colour, linetype and lineweight combo
// boxes, and the list view. Indices are 0-based; lbErr (-1) means none or not found, as on
// the platform. Sorted lists order their lines as the platform's lists do: without case, with
// punctuation before digits and digits before letters.
#include "zhost/db/object_id.h"
#include "zhost/ui/control.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::db {
class Database;
}

namespace zhost::ui {

// The order of sorted lists and combo boxes: < 0, 0 or > 0.
int compareListText(std::wstring_view a, std::wstring_view b);

struct ListItem {
    std::wstring text;
    std::uintptr_t data = 0;
};

// The line storage shared by list boxes and combo boxes.
class ItemList {
public:
    explicit ItemList(bool sorted) : sorted_(sorted) {}
    int add(std::wstring_view text);               // sorted or at the end; the index
    int insert(int index, std::wstring_view text); // -1: at the end
    int remove(int index);                         // the count left, lbErr when out of range
    void clear() { items_.clear(); }
    int count() const { return int(items_.size()); }
    bool valid(int index) const { return index >= 0 && index < count(); }
    const std::wstring& text(int index) const;
    std::uintptr_t data(int index) const;
    bool setData(int index, std::uintptr_t data);
    // Searches after `start` (-1: from the first line), wrapping round; without case.
    int findPrefix(int start, std::wstring_view prefix) const;
    int findExact(int start, std::wstring_view text) const;
    bool sorted() const { return sorted_; }

private:
    bool sorted_;
    std::vector<ListItem> items_;
};

class ListBox : public Control {
public:
    ListBox(Dialog& parent, int id, std::uint32_t style, Rect rect);

    int addString(std::wstring_view text) { return items_.add(text); }
    int insertString(int index, std::wstring_view text) { return items_.insert(index, text); }
    int deleteString(int index);
    void resetContent();
    int count() const { return items_.count(); }
    std::wstring itemText(int index) const;
    std::uintptr_t itemData(int index) const { return items_.data(index); }
    bool setItemData(int index, std::uintptr_t data) { return items_.setData(index, data); }
    int findString(int start, std::wstring_view prefix) const {
        return items_.findPrefix(start, prefix);
    }
    int findStringExact(int start, std::wstring_view text) const {
        return items_.findExact(start, text);
    }
    // Selects the first line that begins with `prefix`; its index or lbErr.
    int selectString(int start, std::wstring_view prefix);

    int curSel() const { return sel_; }
    // lbErr clears the selection; an index out of range gives lbErr and clears it too. The list
    // scrolls to show the selected line.
    int setCurSel(int index);
    int topIndex() const { return top_; }
    bool setTopIndex(int index) { return scrollTo(true, index); }
    // The first column a multi-column list shows.
    int firstColumn() const { return leftCol_; }

    bool ownerDrawn() const { return (style_ & lbs::ownerDrawFixed) != 0; }
    bool multiColumn() const { return (style_ & lbs::multiColumn) != 0; }
    int itemHeight() const { return itemHeight_; }
    void setItemHeight(int h) { itemHeight_ = h > 0 ? h : itemHeight_; }
    int columnWidth() const { return columnWidth_; }
    void setColumnWidth(int w) { columnWidth_ = w > 0 ? w : columnWidth_; }
    // Where line `index` lies in the control (columns fill top to bottom, then left to right).
    Rect itemRect(int index) const;

    // A user selects a line (notification follows) or double-clicks it.
    void userSelect(int index);
    void userDoubleClick(int index);

    bool handleKey(int key, KeyState state) override;
    // A single-column list scrolls by lines (a bar with the vertical scroll style), a
    // multi-column one by columns (with the horizontal scroll style).
    ScrollInfo scrollInfo(bool vertical) const override;
    bool scrollTo(bool vertical, int pos) override;
    void setRect(const Rect& r) override; // a larger list scrolls back what now fits
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;

private:
    int linesPerColumn() const;
    int shownColumnWidth() const;
    void showLine(int index);

    ItemList items_;
    int sel_ = lbErr;
    int top_ = 0;
    int leftCol_ = 0;
    int itemHeight_ = 16;
    int columnWidth_ = 0;
};

class ComboBox : public Control {
public:
    ComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect,
             ControlKind kind = ControlKind::comboBox);

    int addString(std::wstring_view text) { return items_.add(text); }
    int insertString(int index, std::wstring_view text) { return items_.insert(index, text); }
    int deleteString(int index);
    void resetContent();
    int count() const { return items_.count(); }
    std::wstring lbText(int index) const;
    std::uintptr_t itemData(int index) const { return items_.data(index); }
    bool setItemData(int index, std::uintptr_t data) { return items_.setData(index, data); }
    int findString(int start, std::wstring_view prefix) const {
        return items_.findPrefix(start, prefix);
    }
    int findStringExact(int start, std::wstring_view text) const {
        return items_.findExact(start, text);
    }
    int selectString(int start, std::wstring_view prefix);
    int curSel() const { return sel_; }
    int setCurSel(int index);
    // The text shown: the selected line, or what was typed into the edit part.
    std::wstring windowText() const;
    bool isDropDownList() const { return (style_ & 0x3) == cbs::dropDownList; }
    // The list always shown under the edit part (no drop-down button).
    bool isSimple() const { return (style_ & 0x3) == cbs::simple; }
    // Whether the box has an edit part the user can type into (simple and drop-down styles).
    bool hasEdit() const { return !isDropDownList(); }
    // The edit part (or the closed box of a drop-down list), the drop-down button (empty for a
    // simple box) and the always-shown list of a simple box (empty otherwise), in the control.
    Rect editRect() const;
    Rect buttonRect() const;
    Rect listRect() const;
    // The line of a simple box's list under a point of the control, or lbErr.
    int lineAt(Point p) const;
    int topIndex() const { return top_; }

    void userSelect(int index);
    // The user types into the edit part: the whole text is replaced, the list follows the text
    // (see lists.cpp) and the edit-update and edit-change notifications go out. False for a
    // box without an edit part.
    bool userType(std::wstring_view text);
    bool handleKey(int key, KeyState state) override;
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;

protected:
    ItemList items_;
    int sel_ = lbErr;
    int top_ = 0; // the first line a simple box's list shows
};

// The host's colour combo box: "ByLayer" (256), "ByBlock" (0), the seven standard colours by name
// and the indices 8 to 255 as "Color n", in that order. Item data: the index. Selecting an index
// the box does not list clears the selection.
class ColorComboBox : public ComboBox {
public:
    ColorComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect);
    void fill();
    int currentColorIndex() const; // -1 without selection
    int setCurrentColorIndex(int aci);
};

// The host's lineweight combo box: "ByLayer" (-1), "ByBlock" (-2), "Default" (-3) and the
// standard lineweights in hundredths of a millimetre. Item data: the value (as a signed int).
class LineweightComboBox : public ComboBox {
public:
    LineweightComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect);
    void fill();
    bool hasCurrent() const { return curSel() >= 0; }
    int currentLineweight() const; // -3 (default) without selection
    int setCurrentLineweight(int lw);
    static const std::vector<int>& standardLineweights();
};

// The host's linetype combo box: "ByLayer", "ByBlock" and the linetypes of a drawing.
class LinetypeComboBox : public ComboBox {
public:
    LinetypeComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect);
    // Fills from the drawing's linetype table (the working drawing when null).
    void fill(db::Database* db = nullptr);
    db::ObjectId linetypeId(int index) const; // null for out of range
    db::ObjectId currentLinetype() const { return linetypeId(curSel()); }
    int setCurrentLinetype(db::ObjectId id);

private:
    std::vector<db::ObjectId> ids_; // parallel to the lines, by the data index
};

class ListView : public Control {
public:
    ListView(Dialog& parent, int id, std::uint32_t style, Rect rect);

    int insertColumn(int index, std::wstring_view heading, int widthPixels);
    int columnCount() const { return int(columns_.size()); }
    std::wstring columnHeading(int index) const;
    int columnWidth(int index) const;

    int insertItem(int index, std::wstring_view text); // the new index
    bool setItemText(int item, int subItem, std::wstring_view text);
    std::wstring itemText(int item, int subItem) const;
    int itemCount() const { return int(rows_.size()); }
    bool deleteAllItems();
    int selectedItem() const { return sel_; }
    void setSelectedItem(int item);
    void setExtendedStyle(std::uint32_t s) { lvEx_ = s; }
    std::uint32_t extendedStyle() const { return lvEx_; }

    void userSelect(int item);
    // The row under a point of the control, or -1 (the header, below the last row).
    int itemAt(Point p) const;
    // The first row shown under the header.
    int topIndex() const { return top_; }
    bool handleKey(int key, KeyState state) override;
    // Rows scroll up and down, the columns sideways by pixels, with bars when they are longer
    // than the control (a list view scrolls whatever its styles say).
    ScrollInfo scrollInfo(bool vertical) const override;
    bool scrollTo(bool vertical, int pos) override;
    void setRect(const Rect& r) override;
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;

private:
    struct Column {
        std::wstring heading;
        int width;
    };
    int totalWidth() const;
    void showItem(int item);

    std::vector<Column> columns_;
    std::vector<std::vector<std::wstring>> rows_;
    int sel_ = -1;
    int top_ = 0;
    int leftPx_ = 0;
    std::uint32_t lvEx_ = 0;
};

} // namespace zhost::ui
