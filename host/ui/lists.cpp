// List boxes and combo boxes, and the line storage they share.
#include "zhost/ui/lists.h"

#include "text_util.h"

#include "zhost/core/utf.h"
#include "zhost/ui/dialog.h"
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
    if (sel_ >= 0 && sel_ < top_)
        top_ = sel_;
    invalidate();
    return index < 0 ? lbErr : sel_;
}

Rect ListBox::itemRect(int index) const {
    const int h = std::max(1, itemHeight_);
    if (multiColumn()) {
        const int perColumn = std::max(1, rect_.height() / h);
        const int w = columnWidth_ > 0 ? columnWidth_ : rect_.width();
        const int col = index / perColumn, row = index % perColumn;
        return Rect::fromSize(col * w, row * h, w, h);
    }
    return Rect::fromSize(0, (index - top_) * h, rect_.width(), h);
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
    int to = sel_;
    if (key == vk::down)
        to = std::min(n - 1, sel_ + 1);
    else if (key == vk::up)
        to = std::max(0, sel_ - 1);
    else if (key == vk::home)
        to = 0;
    else if (key == vk::end)
        to = n - 1;
    else
        return false;
    if (to != sel_)
        userSelect(to);
    return true;
}

void ListBox::paint(DeviceContext& dc) {
    const Rect r = clientRect();
    dc.fillRect(r, sysColor(SysColor::window));
    for (int i = multiColumn() ? 0 : top_; i < count(); ++i) {
        const Rect ir = itemRect(i);
        if (ir.top >= r.bottom && !multiColumn())
            break;
        if (ir.left >= r.right)
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
    dc.frameRect(r, rgb(130, 135, 144));
}

void ListBox::describe(std::vector<std::wstring>& lines) const {
    lines.push_back(header(L"list") + L" (" + std::to_wstring(count()) + L" lines)" + stateWords());
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
    invalidate();
    return index < 0 ? lbErr : sel_;
}

std::wstring ComboBox::windowText() const {
    return sel_ >= 0 ? items_.text(sel_) : text_;
}

void ComboBox::userSelect(int index) {
    setFocus();
    setCurSel(index);
    notifyCommand(cbn::selChange);
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
    const Rect r{0, 0, rect_.width(), std::min(rect_.height(), 22)};
    dc.fillRect(r, isEnabled() ? sysColor(SysColor::window) : sysColor(SysColor::buttonFace));
    dc.frameRect(r, rgb(122, 122, 122));
    dc.setTextColor(isEnabled() ? sysColor(SysColor::windowText) : sysColor(SysColor::grayText));
    dc.drawText(windowText(), Rect{3, 0, r.right - 18, r.bottom},
                dt::singleLine | dt::vcenter | dt::noPrefix | dt::endEllipsis);
    dc.drawText(L"\u25BE", Rect{r.right - 16, 0, r.right, r.bottom},
                dt::singleLine | dt::vcenter | dt::center);
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
