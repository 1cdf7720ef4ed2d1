// Popup menus.
#include "zhost/ui/menu.h"

#include "text_util.h"

#include "zhost/core/utf.h"

#include "zhost/ui/backend.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/resources.h"
#include "zhost/ui/services.h"

#include <algorithm>
#include <cwctype>

namespace zhost::ui {

Menu::~Menu() = default;

std::unique_ptr<Menu> Menu::fromTemplate(const std::vector<MenuTemplateItem>& items) {
    auto m = std::make_unique<Menu>();
    for (const auto& t : items) {
        Item item;
        item.id = t.id;
        item.text = t.text;
        item.flags = t.flags;
        if (!t.children.empty() || (t.flags & mf::popup)) {
            item.flags |= mf::popup;
            item.submenu = fromTemplate(t.children);
        }
        m->items_.push_back(std::move(item));
    }
    return m;
}

std::unique_ptr<Menu> Menu::load(const ResourceModule& module, int id) {
    const auto* tpl = module.menu(id);
    if (!tpl)
        return nullptr;
    return fromTemplate(*tpl);
}

bool Menu::appendItem(unsigned flags, int id, std::wstring_view text, std::uintptr_t data) {
    Item item;
    item.id = id;
    item.text = text;
    item.flags = flags;
    item.data = data;
    items_.push_back(std::move(item));
    return true;
}

bool Menu::appendBitmapItem(unsigned flags, int id, const Bitmap& bmp) {
    Item item;
    item.id = id;
    item.flags = flags | mf::bitmap;
    item.bitmap = bmp;
    items_.push_back(std::move(item));
    return true;
}

bool Menu::deleteItem(int position) {
    if (position < 0 || position >= itemCount())
        return false;
    items_.erase(items_.begin() + position);
    return true;
}

const Menu::Item* Menu::item(int position) const {
    return position >= 0 && position < itemCount() ? &items_[size_t(position)] : nullptr;
}
Menu::Item* Menu::item(int position) {
    return position >= 0 && position < itemCount() ? &items_[size_t(position)] : nullptr;
}

int Menu::positionOf(int id) const {
    for (int i = 0; i < itemCount(); ++i)
        if (items_[size_t(i)].id == id && !(items_[size_t(i)].flags & mf::popup))
            return i;
    return -1;
}

const Menu::Item* Menu::findItem(std::wstring_view choice) const {
    for (int i = 0; i < itemCount(); ++i) {
        const Item* it = item(i);
        std::wstring text = detail::stripMnemonic(it->text);
        text = text.substr(0, text.find(L'\t'));
        // "コピー(C)" is also found as "コピー".
        std::wstring bare = text;
        if (const size_t p = bare.rfind(L'(');
            p != std::wstring::npos && p > 0 && bare.back() == L')' && bare.size() - p <= 4)
            bare.resize(p);
        if ((!it->submenu && std::to_wstring(it->id) == choice) ||
            (!text.empty() && (equalsNoCase(text, choice) || equalsNoCase(bare, choice))))
            return it;
        if (it->submenu)
            if (const Item* inner = it->submenu->findItem(choice))
                return inner;
    }
    return nullptr;
}

Menu* Menu::subMenu(int position) const {
    const Item* it = item(position);
    return it ? it->submenu.get() : nullptr;
}

bool Menu::enableItem(int id, bool enabled) {
    const int p = positionOf(id);
    if (p < 0)
        return false;
    auto& f = items_[size_t(p)].flags;
    f = enabled ? (f & ~(mf::grayed | mf::disabled)) : (f | mf::grayed);
    return true;
}

bool Menu::checkItem(int id, bool checked) {
    const int p = positionOf(id);
    if (p < 0)
        return false;
    auto& f = items_[size_t(p)].flags;
    f = checked ? (f | mf::checked) : (f & ~mf::checked);
    return true;
}

std::vector<std::vector<int>> Menu::columns() const {
    std::vector<std::vector<int>> cols;
    for (int i = 0; i < itemCount(); ++i) {
        if (cols.empty() ||
            (i > 0 && (items_[size_t(i)].flags & (mf::menuBreak | mf::menuBarBreak))))
            cols.emplace_back();
        cols.back().push_back(i);
    }
    return cols;
}

int Menu::trackPopup(Point screen, Dialog* owner, bool returnCommand) {
    const int chosen = backend().trackPopupMenu(*this, screen, owner);
    if (!returnCommand && chosen != 0 && owner) {
        owner->postCommand(chosen, 0);
        return 1;
    }
    return chosen;
}

void Menu::describe(std::vector<std::wstring>& lines) const {
    describeIndented(lines, L"    ");
}

void Menu::describeIndented(std::vector<std::wstring>& lines, const std::wstring& indent) const {
    const auto cols = columns();
    for (size_t c = 0; c < cols.size(); ++c) {
        if (cols.size() > 1)
            lines.push_back(indent.substr(2) + L"column " + std::to_wstring(c + 1) + L":");
        for (int i : cols[c]) {
            const Item& it = items_[size_t(i)];
            if (it.flags & mf::separator) {
                lines.push_back(indent + L"----");
                continue;
            }
            std::wstring text = detail::stripMnemonic(it.text);
            if (const size_t tab = text.find(L'\t'); tab != std::wstring::npos)
                text = text.substr(0, tab) + L"  (" + text.substr(tab + 1) + L")";
            if (text.empty())
                text = (it.flags & mf::ownerDraw) ? L"<owner-drawn>" : L"<picture>";
            // A submenu is listed under the item that opens it.
            std::wstring s = indent +
                             (it.submenu ? std::wstring() : std::to_wstring(it.id) + L": ") + text +
                             (it.submenu ? L" >" : L"");
            if (it.flags & (mf::grayed | mf::disabled))
                s += L" (disabled)";
            if (it.flags & mf::checked)
                s += L" (checked)";
            lines.push_back(s);
            if (it.submenu)
                it.submenu->describeIndented(lines, indent + L"    ");
        }
    }
}

std::vector<Rect> Menu::layout(Dialog* owner, Size& total) const {
    // Measure every item: owner-drawn ones ask the owner, the others their text or bitmap.
    std::vector<Size> sizes;
    Bitmap scratch(1, 1);
    DeviceContext measure(scratch);
    for (const Item& it : items_) {
        Size s{120, 20};
        if (it.flags & mf::separator) {
            s = {40, 8};
        } else if (it.flags & mf::ownerDraw) {
            MeasureItem mi;
            mi.itemId = it.id;
            mi.itemData = it.data;
            if (owner)
                owner->onMeasureItem(0, mi);
            s = {std::max(mi.width, 1), std::max(mi.height, 1)};
        } else if (!it.bitmap.empty()) {
            s = {it.bitmap.width() + 8, it.bitmap.height() + 4};
        } else {
            const Size t = measure.measureText(detail::stripMnemonic(it.text));
            s = {t.cx + 40, std::max(20, t.cy + 6)};
        }
        sizes.push_back(s);
    }
    // Columns side by side inside a 2-pixel frame, each as wide as its widest item.
    std::vector<Rect> rects(items_.size());
    int x = 2, height = 0;
    for (const auto& col : columns()) {
        int w = 0, y = 2;
        for (int i : col)
            w = std::max(w, sizes[size_t(i)].cx);
        for (int i : col) {
            rects[size_t(i)] = Rect::fromSize(x, y, w, sizes[size_t(i)].cy);
            y += sizes[size_t(i)].cy;
        }
        height = std::max(height, y - 2);
        x += w;
    }
    total = {x + 2, height + 4};
    return rects;
}

Bitmap Menu::render(Dialog* owner, int highlighted) const {
    Size total;
    const std::vector<Rect> rects = layout(owner, total);
    Bitmap out(total.cx, total.cy, argbOf(sysColor(SysColor::menu)));
    DeviceContext dc(out);
    const auto cols = columns();
    for (size_t c = 0; c < cols.size(); ++c) {
        for (int i : cols[c]) {
            const Item& it = items_[size_t(i)];
            const Rect r = rects[size_t(i)];
            const bool hl = i == highlighted;
            if (it.flags & mf::ownerDraw) {
                DrawItem di;
                di.dc = &dc;
                di.itemId = it.id;
                di.rect = r;
                di.state = hl ? ods::selected : 0;
                di.itemData = it.data;
                di.menu = const_cast<Menu*>(this);
                if (owner)
                    owner->onDrawItem(0, di);
            } else if (it.flags & mf::separator) {
                const int y = (r.top + r.bottom) / 2;
                dc.drawLine({r.left + 4, y}, {r.right - 4, y}, rgb(200, 200, 200));
            } else {
                if (hl)
                    dc.fillRect(r, sysColor(SysColor::highlight));
                if (!it.bitmap.empty()) {
                    dc.drawBitmap(it.bitmap, r, false);
                } else {
                    const bool greyed = (it.flags & (mf::grayed | mf::disabled)) != 0;
                    dc.setTextColor(hl       ? sysColor(SysColor::highlightText)
                                    : greyed ? sysColor(SysColor::grayText)
                                             : sysColor(SysColor::menuText));
                    std::wstring text = it.text;
                    std::wstring accel;
                    if (const size_t tab = text.find(L'\t'); tab != std::wstring::npos) {
                        accel = text.substr(tab + 1);
                        text.resize(tab);
                    }
                    dc.drawText(text, Rect{r.left + 24, r.top, r.right, r.bottom},
                                dt::singleLine | dt::vcenter);
                    dc.drawText(accel, Rect{r.left, r.top, r.right - 8, r.bottom},
                                dt::singleLine | dt::vcenter | dt::right);
                    if (it.submenu) // the arrow of an item that opens a submenu
                        dc.drawText(L"\u25B8", Rect{r.right - 16, r.top, r.right, r.bottom},
                                    dt::singleLine | dt::vcenter | dt::center);
                }
            }
        }
        if (c + 1 < cols.size() && !cols[c + 1].empty()) {
            const int x = rects[size_t(cols[c + 1].front())].left;
            dc.drawLine({x - 1, 2}, {x - 1, total.cy - 3}, rgb(200, 200, 200));
        }
    }
    dc.frameRect({0, 0, out.width(), out.height()}, rgb(150, 150, 150));
    return out;
}

} // namespace zhost::ui

// --- Working an open menu -----------------------------------------------------------------------

namespace zhost::ui {

MenuTracker::MenuTracker(Menu& popup) {
    levels_.push_back(Level{&popup, -1, -1});
}

bool MenuTracker::choosable(const Menu::Item& item) {
    return !(item.flags & (mf::separator | mf::grayed | mf::disabled));
}

wchar_t MenuTracker::mnemonic(std::wstring_view text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] == L'&') { // "&&" is a plain ampersand
            ++i;
            continue;
        }
        return wchar_t(std::towupper(text[i + 1]));
    }
    return 0;
}

int MenuTracker::next(const Menu& m, int from, int dir) const {
    const int n = m.itemCount();
    for (int k = 1; k <= n; ++k) {
        const int i = ((from < 0 ? (dir > 0 ? -1 : 0) : from) + dir * k + n * (k + 1)) % n;
        if (choosable(*m.item(i)))
            return i;
    }
    return -1;
}

void MenuTracker::closeAbove(int level) {
    if (int(levels_.size()) > level + 1)
        levels_.resize(size_t(level) + 1);
}

void MenuTracker::openLit(int level, bool lightFirst) {
    Level& l = levels_[size_t(level)];
    Menu* sub = l.menu->subMenu(l.lit);
    if (!sub)
        return;
    closeAbove(level);
    Level opened{sub, -1, l.lit};
    if (lightFirst)
        opened.lit = next(*sub, -1, 1);
    levels_.push_back(opened);
}

void MenuTracker::activate(int level) {
    const Level& l = levels_[size_t(level)];
    const Menu::Item* it = l.menu->item(l.lit);
    if (!it || !choosable(*it))
        return;
    if (it->submenu) {
        openLit(level, true);
        return;
    }
    state_ = State::chosen;
    chosen_ = it->id;
}

void MenuTracker::key(int vkey) {
    if (state_ != State::open)
        return;
    const int top = int(levels_.size()) - 1;
    Level& l = levels_.back();
    switch (vkey) {
    case vk::down:
    case vk::up:
        if (const int to = next(*l.menu, l.lit, vkey == vk::down ? 1 : -1); to >= 0)
            l.lit = to;
        break;
    case vk::right:
        if (const Menu::Item* it = l.menu->item(l.lit); it && it->submenu && choosable(*it))
            openLit(top, true);
        break;
    case vk::left:
        if (top > 0)
            closeAbove(top - 1);
        break;
    case vk::escape:
        if (top > 0)
            closeAbove(top - 1);
        else
            state_ = State::dismissed;
        break;
    case vk::returnKey:
        activate(top);
        break;
    default:
        break;
    }
}

void MenuTracker::character(wchar_t ch) {
    if (state_ != State::open || ch == 0)
        return;
    const wchar_t want = wchar_t(std::towupper(ch));
    const int top = int(levels_.size()) - 1;
    Level& l = levels_.back();
    std::vector<int> matches;
    for (int i = 0; i < l.menu->itemCount(); ++i)
        if (choosable(*l.menu->item(i)) && mnemonic(l.menu->item(i)->text) == want)
            matches.push_back(i);
    if (matches.empty())
        return;
    if (matches.size() == 1) {
        l.lit = matches.front();
        activate(top);
        return;
    }
    // Several items share the letter: each press lights the next of them.
    auto after = std::upper_bound(matches.begin(), matches.end(), l.lit);
    l.lit = after == matches.end() ? matches.front() : *after;
}

bool MenuTracker::keyNamed(std::wstring_view name) {
    static const struct {
        const wchar_t* name;
        int code;
    } kKeys[] = {{L"UP", vk::up},         {L"DOWN", vk::down},        {L"LEFT", vk::left},
                 {L"RIGHT", vk::right},   {L"RETURN", vk::returnKey}, {L"ENTER", vk::returnKey},
                 {L"ESCAPE", vk::escape}, {L"ESC", vk::escape}};
    const std::wstring upper = toUpperName(name);
    for (const auto& k : kKeys)
        if (upper == k.name) {
            key(k.code);
            return true;
        }
    if (name.size() == 1 && !std::iswspace(name[0])) {
        character(name[0]);
        return true;
    }
    return false;
}

void MenuTracker::hover(int level, int position) {
    if (state_ != State::open || level < 0 || level >= int(levels_.size()))
        return;
    Level& l = levels_[size_t(level)];
    const Menu::Item* it = l.menu->item(position);
    l.lit = it && choosable(*it) ? position : -1;
    hoverLevel_ = level;
}

void MenuTracker::hoverSettled() {
    if (state_ != State::open || hoverLevel_ < 0 || hoverLevel_ >= int(levels_.size()))
        return;
    const int level = hoverLevel_;
    const Level& l = levels_[size_t(level)];
    // The submenu of an item the mouse left closes; the one of the item it rests on opens.
    if (int(levels_.size()) > level + 1 && levels_[size_t(level) + 1].openedFrom != l.lit)
        closeAbove(level);
    if (int(levels_.size()) == level + 1 && l.menu->subMenu(l.lit))
        openLit(level, false);
}

void MenuTracker::click(int level, int position) {
    if (state_ != State::open || level < 0 || level >= int(levels_.size()))
        return;
    const Menu::Item* it = levels_[size_t(level)].menu->item(position);
    if (!it || !choosable(*it))
        return;
    closeAbove(level);
    levels_[size_t(level)].lit = position;
    if (it->submenu) {
        openLit(level, false);
        return;
    }
    state_ = State::chosen;
    chosen_ = it->id;
}

std::wstring MenuTracker::litPath() const {
    std::wstring path;
    for (const Level& l : levels_) {
        const Menu::Item* it = l.menu->item(l.lit);
        if (!it)
            break;
        std::wstring text = detail::stripMnemonic(it->text);
        text = text.substr(0, text.find(L'\t'));
        if (text.empty())
            text = std::to_wstring(it->id);
        path += (path.empty() ? L"" : L" > ") + text;
    }
    return path;
}

} // namespace zhost::ui
