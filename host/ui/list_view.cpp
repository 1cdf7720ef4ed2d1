// The list view (report style).
#include "zhost/ui/lists.h"

#include "text_util.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/scroll.h"
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
    top_ = 0;
    invalidate();
    return true;
}

void ListView::setSelectedItem(int item) {
    sel_ = item >= 0 && item < itemCount() ? item : -1;
    if (sel_ >= 0)
        showItem(sel_);
    invalidate();
}

void ListView::userSelect(int item) {
    setFocus();
    setSelectedItem(item);
    NotifyHeader hdr{this, id_, lvn::itemChanged};
    notifyParent(wm::notify, std::uintptr_t(id_), reinterpret_cast<std::intptr_t>(&hdr));
}

namespace {
constexpr int rowH = 19; // the header's and each row's height
} // namespace

int ListView::totalWidth() const {
    int w = 0;
    for (const auto& c : columns_)
        w += c.width;
    return w;
}

ScrollInfo ListView::scrollInfo(bool vertical) const {
    // Whether each bar shows depends on the room the other one leaves.
    const int width = rect_.width(), height = rect_.height() - rowH;
    bool vbar = itemCount() > std::max(0, height / rowH);
    const bool hbar = totalWidth() > width - (vbar ? kScrollBarSize : 0);
    if (hbar && !vbar)
        vbar = itemCount() > std::max(0, (height - kScrollBarSize) / rowH);
    ScrollInfo info;
    if (vertical) {
        info.page = std::max(1, (height - (hbar ? kScrollBarSize : 0)) / rowH);
        info.total = itemCount();
        info.pos = top_;
        info.bar = vbar;
    } else {
        info.page = std::max(1, width - (vbar ? kScrollBarSize : 0));
        info.total = totalWidth();
        info.pos = leftPx_;
        info.bar = hbar;
    }
    info.max = std::max(0, info.total - info.page);
    return info;
}

bool ListView::scrollTo(bool vertical, int pos) {
    int& first = vertical ? top_ : leftPx_;
    const int to = std::clamp(pos, 0, scrollInfo(vertical).max);
    if (to == first)
        return false;
    first = to;
    invalidate();
    return true;
}

void ListView::setRect(const Rect& r) {
    Control::setRect(r);
    scrollTo(true, top_);
    scrollTo(false, leftPx_);
}

void ListView::showItem(int item) {
    const int page = scrollInfo(true).page;
    if (item < top_)
        top_ = item;
    else if (item >= top_ + page)
        top_ = item - page + 1;
}

bool ListView::handleKey(int key, KeyState) {
    const int n = itemCount();
    const int page = std::max(1, scrollInfo(true).page);
    int to = sel_;
    if (key == vk::down)
        to = sel_ + 1;
    else if (key == vk::up)
        to = sel_ - 1;
    else if (key == vk::next)
        to = std::max(sel_, 0) + page - 1;
    else if (key == vk::prior)
        to = sel_ - page + 1;
    else if (key == vk::home)
        to = 0;
    else if (key == vk::end)
        to = n - 1;
    else
        return false;
    if (n == 0)
        return false;
    to = std::clamp(to, 0, n - 1);
    if (to != sel_)
        userSelect(to);
    return true;
}

int ListView::itemAt(Point p) const {
    if (!scrollContentRect(*this).contains(p) || p.y < rowH)
        return -1;
    const int item = top_ + p.y / rowH - 1;
    return item < itemCount() ? item : -1;
}

void ListView::paint(DeviceContext& dc) {
    const Rect r = clientRect();
    const Rect content = scrollContentRect(*this);
    dc.fillRect(r, sysColor(SysColor::window));
    dc.pushClip(content);
    int x = -leftPx_;
    dc.setTextColor(sysColor(SysColor::windowText));
    for (const auto& c : columns_) {
        const Rect hr{x, 0, x + c.width, rowH};
        dc.fillRect(hr, sysColor(SysColor::buttonFace));
        dc.drawLine({hr.right - 1, 0}, {hr.right - 1, rowH - 1}, rgb(220, 220, 220));
        dc.drawText(c.heading, hr.deflate(4, 0), dt::singleLine | dt::vcenter | dt::noPrefix);
        x += c.width;
    }
    for (int i = top_; i < itemCount(); ++i) {
        const int y = rowH * (i - top_ + 1);
        if (y >= content.bottom)
            break;
        const bool sel = i == sel_;
        const bool full = (lvEx_ & lvsEx::fullRowSelect) != 0;
        x = -leftPx_;
        for (int c = 0; c < columnCount(); ++c) {
            const Rect cr{x, y, x + columns_[size_t(c)].width, y + rowH};
            x = cr.right;
            if (cr.right <= 0 || cr.left >= content.right)
                continue;
            const bool hl = sel && (full || c == 0);
            if (hl)
                dc.fillRect(cr, sysColor(SysColor::highlight));
            dc.setTextColor(hl ? sysColor(SysColor::highlightText)
                               : sysColor(SysColor::windowText));
            dc.drawText(itemText(i, c), cr.deflate(4, 0),
                        dt::singleLine | dt::vcenter | dt::noPrefix | dt::endEllipsis);
        }
    }
    dc.popClip();
    drawScrollBars(*this, dc);
    dc.frameRect(r, rgb(130, 135, 144));
}

void ListView::describe(std::vector<std::wstring>& lines) const {
    lines.push_back(header(L"listview") + L" (" + std::to_wstring(itemCount()) + L" rows" +
                    (top_ > 0 ? L", top " + std::to_wstring(top_) : std::wstring()) + L")" +
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
