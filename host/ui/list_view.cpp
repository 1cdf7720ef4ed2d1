// The list view (report style).
#include "zhost/ui/lists.h"

#include "text_util.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/services.h"

#include <algorithm>

namespace zhost::ui {

ListView::ListView(Dialog& parent, int id, std::uint32_t style, Rect rect)
    : Control(parent, ControlKind::listView, id, L"", style, rect) {}

int ListView::insertColumn(int index, std::wstring_view heading, int widthPixels) {
    if (index < 0 || index > columnCount())
        index = columnCount();
    columns_.insert(columns_.begin() + index, Column{std::wstring(heading), widthPixels});
    for (auto& row : rows_)
        if (size_t(index) <= row.size())
            row.insert(row.begin() + index, std::wstring());
    invalidate();
    return index;
}

std::wstring ListView::columnHeading(int index) const {
    return index >= 0 && index < columnCount() ? columns_[size_t(index)].heading : std::wstring();
}

int ListView::columnWidth(int index) const {
    return index >= 0 && index < columnCount() ? columns_[size_t(index)].width : 0;
}

int ListView::insertItem(int index, std::wstring_view text) {
    if (index < 0 || index > itemCount())
        index = itemCount();
    std::vector<std::wstring> row(size_t(std::max(1, columnCount())));
    row[0] = text;
    rows_.insert(rows_.begin() + index, std::move(row));
    if (sel_ >= index)
        ++sel_;
    invalidate();
    return index;
}

bool ListView::setItemText(int item, int subItem, std::wstring_view text) {
    if (item < 0 || item >= itemCount() || subItem < 0)
        return false;
    auto& row = rows_[size_t(item)];
    if (size_t(subItem) >= row.size())
        row.resize(size_t(subItem) + 1);
    row[size_t(subItem)] = text;
    invalidate();
    return true;
}

std::wstring ListView::itemText(int item, int subItem) const {
    if (item < 0 || item >= itemCount() || subItem < 0)
        return {};
    const auto& row = rows_[size_t(item)];
    return size_t(subItem) < row.size() ? row[size_t(subItem)] : std::wstring();
}

bool ListView::deleteAllItems() {
    rows_.clear();
    sel_ = -1;
    invalidate();
    return true;
}

void ListView::setSelectedItem(int item) {
    sel_ = item >= 0 && item < itemCount() ? item : -1;
    invalidate();
}

void ListView::userSelect(int item) {
    setFocus();
    setSelectedItem(item);
    NotifyHeader hdr{this, id_, lvn::itemChanged};
    notifyParent(wm::notify, std::uintptr_t(id_), reinterpret_cast<std::intptr_t>(&hdr));
}

bool ListView::handleKey(int key, KeyState) {
    if (itemCount() == 0 || (key != vk::down && key != vk::up))
        return false;
    const int to = key == vk::down ? std::min(itemCount() - 1, sel_ + 1) : std::max(0, sel_ - 1);
    if (to != sel_)
        userSelect(to);
    return true;
}

namespace {
constexpr int rowH = 19; // the header's and each row's height
} // namespace

int ListView::itemAt(Point p) const {
    if (!clientRect().contains(p) || p.y < rowH)
        return -1;
    const int item = p.y / rowH - 1;
    return item < itemCount() ? item : -1;
}

void ListView::paint(DeviceContext& dc) {
    const Rect r = clientRect();
    dc.fillRect(r, sysColor(SysColor::window));
    int x = 0;
    dc.setTextColor(sysColor(SysColor::windowText));
    for (const auto& c : columns_) {
        const Rect hr{x, 0, x + c.width, rowH};
        dc.fillRect(hr, sysColor(SysColor::buttonFace));
        dc.drawLine({hr.right - 1, 0}, {hr.right - 1, rowH - 1}, rgb(220, 220, 220));
        dc.drawText(c.heading, hr.deflate(4, 0), dt::singleLine | dt::vcenter | dt::noPrefix);
        x += c.width;
    }
    for (int i = 0; i < itemCount(); ++i) {
        const int y = rowH * (i + 1);
        if (y >= r.bottom)
            break;
        const bool sel = i == sel_;
        const bool full = (lvEx_ & lvsEx::fullRowSelect) != 0;
        x = 0;
        for (int c = 0; c < columnCount(); ++c) {
            const Rect cr{x, y, x + columns_[size_t(c)].width, y + rowH};
            const bool hl = sel && (full || c == 0);
            if (hl)
                dc.fillRect(cr, sysColor(SysColor::highlight));
            dc.setTextColor(hl ? sysColor(SysColor::highlightText)
                               : sysColor(SysColor::windowText));
            dc.drawText(itemText(i, c), cr.deflate(4, 0),
                        dt::singleLine | dt::vcenter | dt::noPrefix | dt::endEllipsis);
            x = cr.right;
        }
    }
    dc.frameRect(r, rgb(130, 135, 144));
}

void ListView::describe(std::vector<std::wstring>& lines) const {
    lines.push_back(header(L"listview") + L" (" + std::to_wstring(itemCount()) + L" rows)" +
                    stateWords());
    std::vector<int> widths(size_t(columnCount()), 0);
    for (int c = 0; c < columnCount(); ++c) {
        widths[size_t(c)] = detail::displayWidth(columns_[size_t(c)].heading);
        for (int i = 0; i < itemCount(); ++i)
            widths[size_t(c)] =
                std::max(widths[size_t(c)], detail::displayWidth(detail::visible(itemText(i, c))));
        widths[size_t(c)] = std::min(widths[size_t(c)], 40);
    }
    auto line = [&](const wchar_t* mark, auto text) {
        std::wstring s = mark;
        for (int c = 0; c < columnCount(); ++c)
            s += (c ? L" | " : L"") +
                 detail::padRight(detail::clip(text(c), widths[size_t(c)]), widths[size_t(c)]);
        while (!s.empty() && s.back() == L' ')
            s.pop_back();
        lines.push_back(s);
    };
    line(L"    ", [&](int c) { return columns_[size_t(c)].heading; });
    for (int i = 0; i < itemCount(); ++i)
        line(i == sel_ ? L"  > " : L"    ", [&](int c) { return detail::visible(itemText(i, c)); });
}

} // namespace zhost::ui
