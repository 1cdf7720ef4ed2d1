// List boxes and combo boxes, and the line storage they share.
#include "zhost/ui/lists.h"

#include "text_util.h"

#include "zhost/core/utf.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/scroll.h"
#include "zhost/ui/services.h"

#include <algorithm>
#include <cwctype>

namespace zhost::ui {
namespace {

// Punctuation and symbols, then digits, then letters, then everything else (in code order).
int charClass(wchar_t c) {
    if (c < 0x80) {
        if (std::iswdigit(c))
            return 1;
        if (std::iswalpha(c))
            return 2;
        return 0;
    }
    return 3;
}

wchar_t fold(wchar_t c) {
    return c < 0x80 ? wchar_t(std::towupper(c)) : c;
}

constexpr int kMaxShownLines = 30;
// A combo box's closed height, its drop-down button's width, and the lines of a simple box.
constexpr int kComboBoxHeight = 22;
constexpr int kComboButton = 16;
constexpr int kComboLineHeight = 16;

} // namespace

int compareListText(std::wstring_view a, std::wstring_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const wchar_t ca = fold(a[i]), cb = fold(b[i]);
        if (ca == cb)
            continue;
        const int ka = charClass(ca), kb = charClass(cb);
        if (ka != kb)
            return ka < kb ? -1 : 1;
        return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// --- ItemList -----------------------------------------------------------------------------------

int ItemList::add(std::wstring_view text) {
    if (!sorted_) {
        items_.push_back(ListItem{std::wstring(text), 0});
        return count() - 1;
    }
    auto it = std::upper_bound(items_.begin(), items_.end(), text,
                               [](std::wstring_view t, const ListItem& item) {
                                   return compareListText(t, item.text) < 0;
                               });
    it = items_.insert(it, ListItem{std::wstring(text), 0});
    return int(it - items_.begin());
}

int ItemList::insert(int index, std::wstring_view text) {
    if (index < 0 || index >= count()) {
        items_.push_back(ListItem{std::wstring(text), 0});
        return count() - 1;
    }
    items_.insert(items_.begin() + index, ListItem{std::wstring(text), 0});
    return index;
}

int ItemList::remove(int index) {
    if (!valid(index))
        return lbErr;
    items_.erase(items_.begin() + index);
    return count();
}

const std::wstring& ItemList::text(int index) const {
    static const std::wstring empty;
    return valid(index) ? items_[size_t(index)].text : empty;
}

std::uintptr_t ItemList::data(int index) const {
    return valid(index) ? items_[size_t(index)].data : std::uintptr_t(-1);
}

bool ItemList::setData(int index, std::uintptr_t data) {
    if (!valid(index))
        return false;
    items_[size_t(index)].data = data;
    return true;
}

int ItemList::findPrefix(int start, std::wstring_view prefix) const {
    const int n = count();
    const std::wstring p = toUpperName(prefix);
    for (int k = 1; k <= n; ++k) {
        const int i = ((start < 0 ? -1 : start) + k) % n;
        const std::wstring& t = items_[size_t(i)].text;
        if (t.size() >= p.size() && toUpperName(std::wstring_view(t).substr(0, p.size())) == p)
            return i;
    }
    return lbErr;
}

int ItemList::findExact(int start, std::wstring_view text) const {
    const int n = count();
    for (int k = 1; k <= n; ++k) {
        const int i = ((start < 0 ? -1 : start) + k) % n;
        if (equalsNoCase(items_[size_t(i)].text, text))
            return i;
    }
    return lbErr;
}

// --- ListBox ------------------------------------------------------------------------------------

ListBox::ListBox(Dialog& parent, int id, std::uint32_t style, Rect rect)
    : Control(parent, ControlKind::listBox, id, L"", style, rect),
      items_((style & lbs::sort) != 0) {}

int ListBox::deleteString(int index) {
    const int left = items_.remove(index);
    if (left != lbErr && sel_ >= items_.count())
        sel_ = lbErr;
    else if (left != lbErr && index < sel_)
        --sel_;
    invalidate();
    return left;
}

void ListBox::resetContent() {
    items_.clear();
    sel_ = lbErr;
    top_ = 0;
    leftCol_ = 0;
    invalidate();
}

std::wstring ListBox::itemText(int index) const {
    return items_.text(index);
}

int ListBox::selectString(int start, std::wstring_view prefix) {
    const int i = items_.findPrefix(start, prefix);
    if (i != lbErr)
        setCurSel(i);
    return i;
}

int ListBox::setCurSel(int index) {
    sel_ = items_.valid(index) ? index : lbErr;
    if (sel_ >= 0)
        showLine(sel_);
    invalidate();
    return index < 0 ? lbErr : sel_;
}

int ListBox::shownColumnWidth() const {
    return columnWidth_ > 0 ? columnWidth_ : std::max(1, rect_.width());
}

int ListBox::linesPerColumn() const {
    const bool bar = multiColumn() && scrollInfo(false).bar;
    return std::max(1, (rect_.height() - (bar ? kScrollBarSize : 0)) / std::max(1, itemHeight_));
}

ScrollInfo ListBox::scrollInfo(bool vertical) const {
    ScrollInfo info;
    const int h = std::max(1, itemHeight_);
    if (multiColumn() != !vertical)
        return info; // a multi-column list scrolls sideways only, the others up and down only
    if (vertical) {
        info.page = std::max(1, rect_.height() / h); // whole lines, as the platform shows them
        info.total = count();
        info.pos = top_;
        info.bar = (style_ & ws::vscroll) && info.total > info.page;
    } else {
        const int shownCols = std::max(1, rect_.width() / shownColumnWidth());
        info.bar = (style_ & ws::hscroll) && count() > std::max(1, rect_.height() / h) * shownCols;
        const int per = std::max(1, (rect_.height() - (info.bar ? kScrollBarSize : 0)) / h);
        info.total = (count() + per - 1) / per;
        info.page = shownCols;
        info.pos = leftCol_;
    }
    info.max = std::max(0, info.total - info.page);
    return info;
}

bool ListBox::scrollTo(bool vertical, int pos) {
    if (multiColumn() == vertical)
        return false;
    const ScrollInfo info = scrollInfo(vertical);
    int& first = vertical ? top_ : leftCol_;
    const int to = std::clamp(pos, 0, info.max);
    if (to == first)
        return false;
    first = to;
    invalidate();
    return true;
}

void ListBox::setRect(const Rect& r) {
    Control::setRect(r);
    scrollTo(!multiColumn(), multiColumn() ? leftCol_ : top_);
}

void ListBox::showLine(int index) {
    const bool vertical = !multiColumn();
    const ScrollInfo info = scrollInfo(vertical);
    const int at = vertical ? index : index / linesPerColumn();
    int& first = vertical ? top_ : leftCol_;
    if (at < first)
        first = at;
    else if (at >= first + info.page)
        first = at - info.page + 1;
}

Rect ListBox::itemRect(int index) const {
    const int h = std::max(1, itemHeight_);
    if (multiColumn()) {
        const int perColumn = linesPerColumn();
        const int w = shownColumnWidth();
        const int col = index / perColumn - leftCol_, row = index % perColumn;
        return Rect::fromSize(col * w, row * h, w, h);
    }
    return Rect::fromSize(0, (index - top_) * h, scrollContentRect(*this).width(), h);
}

void ListBox::userSelect(int index) {
    setFocus();
    setCurSel(index);
    notifyCommand(lbn::selChange);
}

void ListBox::userDoubleClick(int index) {
    userSelect(index);
    notifyCommand(lbn::dblClk);
}

bool ListBox::handleKey(int key, KeyState) {
    const int n = count();
    if (n == 0)
        return false;
    // Page keys move by what is shown; in a multi-column list Left and Right move by a column.
    const int page = multiColumn() ? linesPerColumn() * std::max(1, scrollInfo(false).page)
                                   : std::max(1, scrollInfo(true).page);
    const int across = multiColumn() ? linesPerColumn() : 0;
    int to = sel_;
    if (key == vk::down)
        to = sel_ + 1;
    else if (key == vk::up)
        to = sel_ - 1;
    else if (key == vk::next)
        to = std::max(sel_, 0) + page - (multiColumn() ? 0 : 1);
    else if (key == vk::prior)
        to = sel_ - page + (multiColumn() ? 0 : 1);
    else if (key == vk::right && across > 0)
        to = sel_ + across;
    else if (key == vk::left && across > 0)
        to = sel_ - across;
    else if (key == vk::home)
        to = 0;
    else if (key == vk::end)
        to = n - 1;
    else
        return false;
    to = std::clamp(to, 0, n - 1);
    if (to != sel_)
        userSelect(to);
    return true;
}

void ListBox::paint(DeviceContext& dc) {
    const Rect r = clientRect();
    const Rect content = scrollContentRect(*this);
    dc.fillRect(r, sysColor(SysColor::window));
    const int first = multiColumn() ? leftCol_ * linesPerColumn() : top_;
    for (int i = std::max(0, first); i < count(); ++i) {
        const Rect ir = itemRect(i);
        if (ir.top >= content.bottom && !multiColumn())
            break;
        if (ir.left >= content.right)
            break;
        const bool sel = i == sel_;
        DrawItem item;
        item.dc = &dc;
        item.controlId = id_;
        item.itemId = i;
        item.rect = ir;
        item.control = this;
        item.itemData = items_.data(i);
        item.state = (sel ? ods::selected : 0) | (sel && hasFocus() ? ods::focus : 0) |
                     (isEnabled() ? 0 : ods::disabled);
        if (ownerDrawn()) {
            if (!callDrawHandler(item))
                parent_.onDrawItem(id_, item);
            continue;
        }
        if (sel)
            dc.fillRect(ir, sysColor(SysColor::highlight));
        dc.setTextColor(sel ? sysColor(SysColor::highlightText) : sysColor(SysColor::windowText));
        dc.drawText(items_.text(i), ir.deflate(2, 0), dt::singleLine | dt::vcenter | dt::noPrefix);
    }
    drawScrollBars(*this, dc);
    dc.frameRect(r, rgb(130, 135, 144));
}

void ListBox::describe(std::vector<std::wstring>& lines) const {
    std::wstring scrolled;
    if (top_ > 0 && !multiColumn())
        scrolled = L", top " + std::to_wstring(top_);
    if (leftCol_ > 0 && multiColumn())
        scrolled = L", first column " + std::to_wstring(leftCol_);
    lines.push_back(header(L"list") + L" (" + std::to_wstring(count()) + L" lines" + scrolled +
                    L")" + stateWords());
    const int n = count();
    int first = 0;
    if (n > kMaxShownLines && sel_ >= 0)
        first = std::clamp(sel_ - kMaxShownLines / 2, 0, n - kMaxShownLines);
    if (first > 0)
        lines.push_back(L"    ... " + std::to_wstring(first) + L" more");
    const int last = std::min(n, first + kMaxShownLines);
    for (int i = first; i < last; ++i)
        lines.push_back(std::wstring(i == sel_ ? L"  > " : L"    ") + std::to_wstring(i) + L": " +
                        detail::visible(items_.text(i)));
    if (last < n)
        lines.push_back(L"    ... " + std::to_wstring(n - last) + L" more");
}

// --- ComboBox -----------------------------------------------------------------------------------

ComboBox::ComboBox(Dialog& parent, int id, std::uint32_t style, Rect rect, ControlKind kind)
    : Control(parent, kind, id, L"", style, rect), items_((style & cbs::sort) != 0) {}

int ComboBox::deleteString(int index) {
    const int left = items_.remove(index);
    if (left != lbErr && sel_ >= items_.count())
        sel_ = lbErr;
    else if (left != lbErr && index < sel_)
        --sel_;
    else if (left != lbErr && index == sel_)
        sel_ = lbErr;
    invalidate();
    return left;
}

void ComboBox::resetContent() {
    items_.clear();
    sel_ = lbErr;
    top_ = 0;
    text_.clear();
    invalidate();
}

std::wstring ComboBox::lbText(int index) const {
    return items_.text(index);
}

int ComboBox::selectString(int start, std::wstring_view prefix) {
    const int i = items_.findPrefix(start, prefix);
    if (i != lbErr)
        setCurSel(i);
    return i;
}

int ComboBox::setCurSel(int index) {
    sel_ = items_.valid(index) ? index : lbErr;
    text_ = sel_ >= 0 ? items_.text(sel_) : std::wstring();
    if (sel_ >= 0 && isSimple()) {
        const int shown = std::max(1, (listRect().height() - 2) / kComboLineHeight);
        top_ = std::clamp(top_, std::max(0, sel_ - shown + 1), sel_);
    }
    invalidate();
    return index < 0 ? lbErr : sel_;
}

std::wstring ComboBox::windowText() const {
    return hasEdit() || sel_ < 0 ? text_ : items_.text(sel_);
}

Rect ComboBox::editRect() const {
    const int h = std::min(rect_.height(), kComboBoxHeight);
    return Rect{0, 0, isSimple() ? rect_.width() : std::max(0, rect_.width() - kComboButton), h};
}

Rect ComboBox::buttonRect() const {
    if (isSimple())
        return {};
    const Rect e = editRect();
    return Rect{e.right, 0, rect_.width(), e.bottom};
}

Rect ComboBox::listRect() const {
    if (!isSimple())
        return {};
    return Rect{0, editRect().bottom + 1, rect_.width(), rect_.height()};
}

int ComboBox::lineAt(Point p) const {
    const Rect l = listRect();
    if (!l.contains(p))
        return lbErr;
    const int i = top_ + (p.y - l.top - 1) / kComboLineHeight;
    return items_.valid(i) ? i : lbErr;
}

void ComboBox::userSelect(int index) {
    setFocus();
    setCurSel(index);
    notifyCommand(cbn::selChange);
}

bool ComboBox::userType(std::wstring_view text) {
    if (!hasEdit())
        return false;
    setFocus();
    text_ = text;
    // As the platform's combo box does: the list goes to the first line the text begins
    // (without case), which is selected only where the list is shown (a simple box); a typed
    // text leaves a closed drop-down without selection.
    const int match = text.empty() ? lbErr : items_.findPrefix(-1, text);
    sel_ = isSimple() ? match : lbErr;
    if (match >= 0)
        top_ = std::clamp(match, 0, std::max(0, count() - 1));
    invalidate();
    notifyCommand(cbn::editUpdate);
    notifyCommand(cbn::editChange);
    return true;
}

bool ComboBox::handleKey(int key, KeyState) {
    const int n = count();
    if (n == 0 || (key != vk::down && key != vk::up))
        return false;
    const int to = key == vk::down ? std::min(n - 1, sel_ + 1) : std::max(0, sel_ - 1);
    if (to != sel_)
        userSelect(to);
    return true;
}

void ComboBox::paint(DeviceContext& dc) {
    const Rect r = editRect();
    const Rect whole{0, 0, rect_.width(), r.bottom};
    dc.fillRect(whole, isEnabled() ? sysColor(SysColor::window) : sysColor(SysColor::buttonFace));
    dc.frameRect(whole, rgb(122, 122, 122));
    dc.setTextColor(isEnabled() ? sysColor(SysColor::windowText) : sysColor(SysColor::grayText));
    dc.drawText(windowText(), Rect{3, 0, r.right - 2, r.bottom},
                dt::singleLine | dt::vcenter | dt::noPrefix | dt::endEllipsis);
    if (const Rect b = buttonRect(); !b.empty())
        dc.drawText(L"\u25BE", b, dt::singleLine | dt::vcenter | dt::center);
    const Rect l = listRect();
    if (l.empty())
        return;
    dc.fillRect(l, sysColor(SysColor::window));
    for (int i = top_; i < count(); ++i) {
        const Rect ir = Rect::fromSize(l.left + 1, l.top + 1 + (i - top_) * kComboLineHeight,
                                       l.width() - 2, kComboLineHeight);
        if (ir.bottom > l.bottom - 1)
            break;
        const bool sel = i == sel_;
        if (sel)
            dc.fillRect(ir, sysColor(SysColor::highlight));
        dc.setTextColor(sel ? sysColor(SysColor::highlightText) : sysColor(SysColor::windowText));
        dc.drawText(items_.text(i), ir.deflate(2, 0), dt::singleLine | dt::vcenter | dt::noPrefix);
    }
    dc.frameRect(l, rgb(122, 122, 122));
}

void ComboBox::describe(std::vector<std::wstring>& lines) const {
    std::wstring s = header(kindName(kind_)) + L" \"" + detail::visible(windowText()) + L"\"";
    s += L" (" + std::to_wstring(count()) + L" items";
    if (sel_ >= 0)
        s += L", #" + std::to_wstring(sel_);
    s += L")";
    lines.push_back(s + stateWords());
}

} // namespace zhost::ui
