// The "@dialog" directives: what a script does on an open dialog.
#include "zhost/ui/backend.h"

#include "text_util.h"

#include "zhost/core/utf.h"
#include "zhost/editor/output.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/grid.h"
#include "zhost/ui/lists.h"
#include "zhost/ui/scroll.h"

#include <cwctype>
#include <filesystem>
#include <optional>

namespace zhost::ui {
namespace {

struct Args {
    std::wstring_view rest;
    std::wstring next() {
        rest = detail::trim(rest);
        size_t i = 0;
        while (i < rest.size() && !std::iswspace(rest[i]))
            ++i;
        std::wstring w(rest.substr(0, i));
        rest = detail::trim(rest.substr(i));
        return w;
    }
    // The remaining text; surrounding double quotes are removed.
    std::wstring tail() {
        std::wstring_view t = detail::trim(rest);
        if (t.size() >= 2 && t.front() == L'"' && t.back() == L'"')
            t = t.substr(1, t.size() - 2);
        rest = {};
        return std::wstring(t);
    }
    bool empty() const { return detail::trim(rest).empty(); }
};

std::optional<int> parseInt(std::wstring_view t) {
    if (t.empty())
        return std::nullopt;
    size_t i = (t[0] == L'-' || t[0] == L'+') ? 1 : 0;
    if (i == t.size())
        return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (!std::iswdigit(t[i]))
            return std::nullopt;
        v = v * 10 + (t[i] - L'0');
        if (v > 1'000'000'000)
            return std::nullopt;
    }
    return int(t[0] == L'-' ? -v : v);
}

bool parseCell(std::wstring_view t, int& col, int& row) {
    const size_t comma = t.find(L',');
    if (comma == std::wstring_view::npos)
        return false;
    auto c = parseInt(t.substr(0, comma)), r = parseInt(t.substr(comma + 1));
    if (!c || !r)
        return false;
    col = *c;
    row = *r;
    return true;
}

class Runner {
public:
    Runner(Dialog& d, std::wstring& message) : d_(d), msg_(message) {}

    bool fail(std::wstring m) {
        msg_ = std::move(m);
        return false;
    }

    // The control named by an id (or "ok" / "cancel"); usable means visible and enabled.
    Control* find(const std::wstring& word, bool usable) {
        int id = 0;
        if (equalsNoCase(word, L"ok"))
            id = idOk;
        else if (equalsNoCase(word, L"cancel"))
            id = idCancel;
        else if (auto v = parseInt(word))
            id = *v;
        else {
            fail(L"a control id is expected, not \"" + word + L"\"");
            return nullptr;
        }
        Control* c = d_.control(id);
        if (!c) {
            fail(L"the dialog \"" + d_.title() + L"\" has no control " + std::to_wstring(id));
            return nullptr;
        }
        if (usable && !c->isVisible()) {
            fail(L"control " + std::to_wstring(id) + L" is hidden");
            return nullptr;
        }
        if (usable && !c->isEnabled()) {
            fail(L"control " + std::to_wstring(id) + L" is disabled");
            return nullptr;
        }
        return c;
    }

    Grid* gridCell(Control* c, const std::wstring& cellWord, int& col, int& row) {
        auto* g = dynamic_cast<Grid*>(c);
        if (!g) {
            fail(L"control " + std::to_wstring(c->id()) + L" is not a grid");
            return nullptr;
        }
        if (!parseCell(cellWord, col, row)) {
            fail(L"a cell is expected as column,row, not \"" + cellWord + L"\"");
            return nullptr;
        }
        if (col < 1 || row < 1 || col > g->maxCols() || row > g->maxRows()) {
            fail(L"cell " + cellWord + L" is outside grid " + std::to_wstring(c->id()) + L" (" +
                 std::to_wstring(g->maxCols()) + L" columns, " + std::to_wstring(g->maxRows()) +
                 L" rows)");
            return nullptr;
        }
        return g;
    }

    // A line of a list or combo by "#index" or text (exact first, then the first prefix).
    template <class L> bool lineOf(L* list, const std::wstring& what, int& index) {
        const int n = list->count();
        if (what.size() > 1 && what[0] == L'#') {
            auto v = parseInt(std::wstring_view(what).substr(1));
            if (!v)
                return fail(L"a line number is expected after #, not \"" + what + L"\"");
            if (*v < 0 || *v >= n)
                return fail(L"control " + std::to_wstring(list->id()) + L" has no line " +
                            std::to_wstring(*v) + L" (" + std::to_wstring(n) + L" lines)");
            index = *v;
            return true;
        }
        index = list->findStringExact(-1, what);
        if (index < 0 && !what.empty())
            index = list->findString(-1, what);
        if (index < 0)
            return fail(L"control " + std::to_wstring(list->id()) + L" has no line \"" + what +
                        L"\"");
        return true;
    }

    bool note(const std::wstring& why) {
        if (!why.empty())
            msg_ = why; // a note, not an error: shown by the caller
        return true;
    }

    bool run(std::wstring_view text);

private:
    bool click(Args& a, bool dbl);
    bool select(Args& a);
    bool typeText(Args& a);
    bool check(Args& a, std::optional<bool> forced);
    bool key(Args& a);
    bool scroll(Args& a);

    Dialog& d_;
    std::wstring& msg_;
};

bool Runner::click(Args& a, bool dbl) {
    Control* c = find(a.next(), true);
    if (!c)
        return false;
    if (!a.empty() && c->kind() == ControlKind::grid) {
        int col = 0, row = 0;
        Grid* g = gridCell(c, a.next(), col, row);
        if (!g)
            return false;
        std::wstring why;
        if (!g->userClick(col, row, &why))
            return fail(why);
        if (dbl && !g->userClick(col, row, &why))
            return fail(why);
        return note(why);
    }
    if (auto* list = dynamic_cast<ListBox*>(c)) {
        int index = list->curSel();
        if (!a.empty() && !lineOf(list, a.tail(), index))
            return false;
        if (index < 0)
            return fail(L"list " + std::to_wstring(c->id()) + L" has no line to click");
        dbl ? list->userDoubleClick(index) : list->userSelect(index);
        return true;
    }
    d_.mouseOver(c);
    if (auto* b = dynamic_cast<Button*>(c)) {
        dbl ? b->doubleClick() : b->click();
        return true;
    }
    c->sendMessage(wm::lButtonDown);
    c->sendMessage(wm::lButtonUp);
    return true;
}

bool Runner::select(Args& a) {
    Control* c = find(a.next(), true);
    if (!c)
        return false;
    if (c->kind() == ControlKind::grid) {
        int col = 0, row = 0;
        Grid* g = gridCell(c, a.next(), col, row);
        if (!g)
            return false;
        const std::wstring what = a.tail();
        int index = -1;
        if (what.size() > 1 && what[0] == L'#') {
            auto v = parseInt(std::wstring_view(what).substr(1));
            index = v ? *v : -2;
        } else {
            std::wstring item;
            for (int i = 0; g->comboText(col, row, i, item); ++i)
                if (equalsNoCase(item, what) && index < 0)
                    index = i;
            if (index < 0 && g->comboCount(col, row) >= 0)
                return fail(L"drop-down " + std::to_wstring(col) + L"," + std::to_wstring(row) +
                            L" has no item \"" + what + L"\"");
        }
        std::wstring why;
        return g->userSelectItem(col, row, index, &why) ? note(why) : fail(why);
    }
    const std::wstring what = a.tail();
    int index = -1;
    if (auto* list = dynamic_cast<ListBox*>(c)) {
        if (!lineOf(list, what, index))
            return false;
        list->userSelect(index);
        return true;
    }
    if (auto* combo = dynamic_cast<ComboBox*>(c)) {
        if (!lineOf(combo, what, index))
            return false;
        combo->userSelect(index);
        return true;
    }
    if (auto* lv = dynamic_cast<ListView*>(c)) {
        auto v = what.size() > 1 && what[0] == L'#' ? parseInt(std::wstring_view(what).substr(1))
                                                    : std::nullopt;
        for (int i = 0; !v && i < lv->itemCount(); ++i)
            if (equalsNoCase(lv->itemText(i, 0), what))
                v = i;
        if (!v || *v < 0 || *v >= lv->itemCount())
            return fail(L"list view " + std::to_wstring(c->id()) + L" has no row \"" + what +
                        L"\"");
        lv->userSelect(*v);
        return true;
    }
    return fail(L"control " + std::to_wstring(c->id()) + L" has no lines to select");
}

bool Runner::typeText(Args& a) {
    Control* c = find(a.next(), true);
    if (!c)
        return false;
    if (c->kind() == ControlKind::grid) {
        int col = 0, row = 0;
        Grid* g = gridCell(c, a.next(), col, row);
        if (!g)
            return false;
        std::wstring why;
        return g->userType(col, row, a.tail(), &why) ? note(why) : fail(why);
    }
    if (auto* combo = dynamic_cast<ComboBox*>(c)) {
        if (!combo->userType(a.tail()))
            return fail(L"combo box " + std::to_wstring(c->id()) +
                        L" is a drop-down list: it has no edit part to type into");
        return true;
    }
    auto* e = dynamic_cast<EditControl*>(c);
    if (!e)
        return fail(L"control " + std::to_wstring(c->id()) + L" is not an edit field");
    e->setFocus();
    e->type(a.tail());
    return true;
}

bool Runner::check(Args& a, std::optional<bool> forced) {
    Control* c = find(a.next(), true);
    if (!c)
        return false;
    if (c->kind() == ControlKind::grid) {
        int col = 0, row = 0;
        Grid* g = gridCell(c, a.next(), col, row);
        if (!g)
            return false;
        bool on = forced.value_or(true);
        if (!forced && !a.empty())
            on = !equalsNoCase(a.next(), L"off");
        std::wstring why;
        return g->userCheck(col, row, on, &why) ? note(why) : fail(why);
    }
    auto* b = dynamic_cast<Button*>(c);
    if (!b || !(b->isCheckBox() || b->isRadio()))
        return fail(L"control " + std::to_wstring(c->id()) +
                    L" is not a check box or radio button");
    bool on = forced.value_or(true);
    if (!forced && !a.empty())
        on = !equalsNoCase(a.next(), L"off");
    if ((b->check() != 0) == on)
        return true;
    b->click();
    if ((b->check() != 0) != on && !(b->style() & 0x1)) // not an automatic box: set it as asked
        b->setCheck(on ? 1 : 0);
    return true;
}

bool Runner::key(Args& a) {
    std::wstring keyName = toUpperName(a.next());
    KeyState st;
    while (true) {
        if (keyName.rfind(L"CTRL+", 0) == 0)
            st.control = true, keyName.erase(0, 5);
        else if (keyName.rfind(L"SHIFT+", 0) == 0)
            st.shift = true, keyName.erase(0, 6);
        else
            break;
    }
    static const struct {
        const wchar_t* name;
        int code;
    } kNames[] = {{L"RETURN", vk::returnKey}, {L"ENTER", vk::returnKey}, {L"ESCAPE", vk::escape},
                  {L"ESC", vk::escape},       {L"TAB", vk::tab},         {L"LEFT", vk::left},
                  {L"RIGHT", vk::right},      {L"UP", vk::up},           {L"DOWN", vk::down},
                  {L"HOME", vk::home},        {L"END", vk::end},         {L"F2", vk::f2},
                  {L"INSERT", vk::insert},    {L"INS", vk::insert},      {L"DELETE", vk::del},
                  {L"DEL", vk::del},          {L"SPACE", vk::space},     {L"BACK", vk::back},
                  {L"IME", vk::processKey}};
    int code = -1;
    for (const auto& n : kNames)
        if (keyName == n.name)
            code = n.code;
    if (code < 0 && keyName.size() == 1 && std::iswalnum(keyName[0]))
        code = keyName[0];
    if (code < 0)
        return fail(L"unknown key \"" + keyName + L"\"");
    if (!a.empty()) {
        Control* c = find(a.next(), true);
        if (!c)
            return false;
        if (!c->focusable())
            return fail(L"control " + std::to_wstring(c->id()) + L" cannot take the focus");
        d_.setFocus(c);
    }
    d_.pressKey(code, st);
    return true;
}

bool Runner::scroll(Args& a) {
    Control* c = find(a.next(), true);
    if (!c)
        return false;
    const ScrollInfo v = c->scrollInfo(true), h = c->scrollInfo(false);
    if (v.total == 0 && h.total == 0)
        return fail(L"control " + std::to_wstring(c->id()) + L" does not scroll");
    const std::wstring how = toUpperName(a.next());
    if (how == L"TO") {
        // A grid names the cell to show first (column,row), a list the line (from 0).
        const std::wstring where = a.next();
        int col = 0, row = 0;
        if (c->kind() == ControlKind::grid && parseCell(where, col, row)) {
            c->scrollTo(false, col - 1);
            c->scrollTo(true, row - 1);
            return true;
        }
        const auto at = parseInt(where);
        if (!at)
            return fail(L"@dialog scroll ID to LINE (a grid: to COLUMN,ROW), not \"" + where +
                        L"\"");
        const bool vertical = v.total > 0;
        c->scrollTo(vertical, c->kind() == ControlKind::grid ? *at - 1 : *at);
        return true;
    }
    static const struct {
        const wchar_t* name;
        bool vertical;
        int sign;
        bool page;
    } kWays[] = {{L"DOWN", true, 1, false},      {L"UP", true, -1, false},
                 {L"RIGHT", false, 1, false},    {L"LEFT", false, -1, false},
                 {L"PAGEDOWN", true, 1, true},   {L"PAGEUP", true, -1, true},
                 {L"PAGERIGHT", false, 1, true}, {L"PAGELEFT", false, -1, true}};
    for (const auto& w : kWays) {
        if (how != w.name)
            continue;
        if ((w.vertical ? v : h).total == 0)
            return fail(L"control " + std::to_wstring(c->id()) + L" does not scroll " +
                        (w.vertical ? L"up and down" : L"sideways"));
        int steps = 1;
        if (!a.empty()) {
            const auto n = parseInt(a.next());
            if (!n || *n < 1)
                return fail(L"a number of steps (1 or more) is expected");
            steps = *n;
        }
        for (int i = 0; i < steps; ++i)
            if (w.page)
                userScroll(*c, w.vertical,
                           w.sign > 0 ? ScrollPart::pageForward : ScrollPart::pageBack);
        if (!w.page)
            userScrollSteps(*c, w.vertical, w.sign * steps);
        return true;
    }
    return fail(L"@dialog scroll ID up|down|left|right|pageup|pagedown|pageleft|pageright [N] "
                L"or to LINE|COLUMN,ROW");
}

bool Runner::run(std::wstring_view text) {
    Args a{text};
    const std::wstring verb = toUpperName(a.next());
    if (verb == L"SHOW") {
        echoDialog(d_);
        return true;
    }
    if (verb == L"SNAPSHOT") {
        const std::wstring file = a.tail();
        if (file.empty())
            return fail(L"a file name is expected: @dialog snapshot FILE.png");
        if (!d_.render().savePng(std::filesystem::path(toUtf8(file))))
            return fail(L"cannot write " + file);
        return true;
    }
    if (verb == L"CLICK" || verb == L"DBLCLICK")
        return click(a, verb == L"DBLCLICK");
    if (verb == L"RCLICK") {
        Control* c = find(a.next(), true);
        if (!c)
            return false;
        if (c->kind() != ControlKind::grid)
            return fail(L"right clicks are taken by grids only");
        int col = 0, row = 0;
        Grid* g = gridCell(c, a.next(), col, row);
        std::wstring why;
        return g && (g->userRightClick(col, row, &why) || fail(why));
    }
    if (verb == L"SELECT")
        return select(a);
    if (verb == L"TEXT")
        return typeText(a);
    if (verb == L"CHECK")
        return check(a, std::nullopt);
    if (verb == L"UNCHECK")
        return check(a, false);
    if (verb == L"KEY")
        return key(a);
    if (verb == L"FOCUS") {
        Control* c = find(a.next(), true);
        if (!c)
            return false;
        if (!c->focusable())
            return fail(L"control " + std::to_wstring(c->id()) + L" cannot take the focus");
        d_.setFocus(c);
        return true;
    }
    if (verb == L"HOVER") {
        const std::wstring w = a.next();
        if (equalsNoCase(w, L"none")) {
            d_.mouseOver(nullptr);
            return true;
        }
        Control* c = find(w, false);
        if (!c)
            return false;
        d_.mouseOver(c);
        return true;
    }
    if (verb == L"SPIN") {
        Control* c = find(a.next(), true);
        if (!c)
            return false;
        auto* ud = dynamic_cast<UpDownControl*>(c);
        const std::wstring dir = toUpperName(a.next());
        if (!ud || (dir != L"UP" && dir != L"DOWN"))
            return fail(L"@dialog spin ID up|down on an up-down control");
        ud->spin(dir == L"UP");
        return true;
    }
    if (verb == L"BLOCK") {
        Control* c = find(a.next(), true);
        if (!c)
            return false;
        auto* g = dynamic_cast<Grid*>(c);
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        if (!g || !parseCell(a.next(), c1, r1) || !parseCell(a.next(), c2, r2))
            return fail(L"@dialog block ID col1,row1 col2,row2 on a grid (-1 for all)");
        if (!g->setSelectBlock(CellBlock{c1, r1, c2, r2}))
            return fail(L"the block lies outside grid " + std::to_wstring(c->id()));
        g->setFocus();
        return true;
    }
    if (verb == L"PASTE") {
        Control* c = find(a.next(), true);
        if (!c)
            return false;
        if (auto* g = dynamic_cast<Grid*>(c); g && !a.empty()) {
            int col = 0, row = 0;
            if (!gridCell(c, a.next(), col, row))
                return false;
            g->clearSelection();
            g->setActiveCell(col, row);
        }
        d_.setFocus(c);
        d_.pressKey('V', KeyState{false, true});
        return true;
    }
    if (verb == L"RESIZE" || verb == L"MOVE") {
        int x = 0, y = 0;
        if (!parseCell(a.next(), x, y))
            return fail(L"@dialog " + toUpperName(verb) + L" x,y expected");
        if (verb == L"RESIZE")
            d_.userResize(x, y);
        else
            d_.setPosition(x, y);
        return true;
    }
    if (verb == L"SCROLL")
        return scroll(a);
    if (verb == L"MENU")
        return fail(L"no popup menu is open");
    if (verb.empty())
        return fail(L"@dialog needs an action (show, click, select, text, check, key, ...)");
    return fail(L"unknown @dialog action \"" + verb + L"\"");
}

} // namespace

bool runDialogDirective(Dialog& dialog, std::wstring_view args, std::wstring& message) {
    message.clear();
    Runner r(dialog, message);
    if (!r.run(args))
        return false;
    if (!message.empty()) {
        ed::print(L"(" + message + L")\n");
        message.clear();
    }
    return true;
}

} // namespace zhost::ui
