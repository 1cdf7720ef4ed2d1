// The control base class and the simple controls: static, buttons, edit, up-down.
#include "zhost/ui/control.h"

#include "text_util.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/services.h"

#include <algorithm>

namespace zhost::ui {

const wchar_t* kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::staticText:
        return L"static";
    case ControlKind::button:
        return L"button";
    case ControlKind::edit:
        return L"edit";
    case ControlKind::listBox:
        return L"list";
    case ControlKind::comboBox:
        return L"combo";
    case ControlKind::listView:
        return L"listview";
    case ControlKind::upDown:
        return L"updown";
    case ControlKind::colorCombo:
        return L"color-combo";
    case ControlKind::linetypeCombo:
        return L"linetype-combo";
    case ControlKind::lineweightCombo:
        return L"lineweight-combo";
    case ControlKind::grid:
        return L"grid";
    }
    return L"control";
}

Control::Control(Dialog& parent, ControlKind kind, int id, std::wstring text, std::uint32_t style,
                 Rect rect)
    : parent_(parent), kind_(kind), id_(id), text_(std::move(text)), style_(style), rect_(rect) {}

Control::~Control() = default;

void Control::setText(std::wstring_view text) {
    text_ = text;
    invalidate();
}

void Control::setRect(const Rect& r) {
    rect_ = r;
    invalidate();
}

void Control::show(bool visible) {
    modifyStyle(ws::visible, visible ? ws::visible : 0);
    if (!visible && hasFocus())
        parent_.setFocus(parent_.nextTabStop(this, false));
    invalidate();
}

void Control::enable(bool enabled) {
    modifyStyle(ws::disabled, enabled ? 0 : ws::disabled);
    if (!enabled && hasFocus())
        parent_.setFocus(parent_.nextTabStop(this, false));
    invalidate();
}

bool Control::hasFocus() const {
    return parent_.focus() == this;
}
void Control::setFocus() {
    parent_.setFocus(this);
}

std::intptr_t Control::sendMessage(unsigned id, std::uintptr_t wParam, std::intptr_t lParam) {
    const Message m{id, wParam, lParam};
    std::intptr_t result = 0;
    if (windowHook_ && windowHook_(m, result))
        return result;
    return defaultProc(m);
}

std::intptr_t Control::defaultProc(const Message& m) {
    if (m.id == wm::keyDown)
        return handleKey(int(m.wParam), KeyState{(m.lParam & 1) != 0, (m.lParam & 2) != 0});
    if (m.id == wm::lButtonDown && focusable() && isEnabled())
        setFocus();
    return 0;
}

bool Control::handleKey(int, KeyState) {
    return false;
}

std::intptr_t Control::notifyCommand(int code) {
    return notifyParent(wm::command, makeCommandParam(id_, code), 0);
}

std::intptr_t Control::notifyParent(unsigned id, std::uintptr_t wParam, std::intptr_t lParam) {
    const Message m{id, wParam, lParam};
    std::intptr_t result = 0;
    if (notifyHook_ && notifyHook_(m, result))
        return result;
    if (!parent_.isCreated())
        return 0;
    return parent_.sendMessage(id, wParam, lParam);
}

void Control::trackMouse(bool hover, bool leave) {
    trackHover_ = hover;
    trackLeave_ = leave;
}

bool Control::callDrawHandler(DrawItem& item) const {
    if (!drawHandler_)
        return false;
    drawHandler_(item);
    return true;
}

ScrollInfo Control::scrollInfo(bool) const {
    return {};
}

bool Control::scrollTo(bool, int) {
    return false;
}

void Control::paint(DeviceContext& dc) {
    dc.setTextColor(isEnabled() ? sysColor(SysColor::windowText) : sysColor(SysColor::grayText));
    dc.drawText(text_, clientRect(), dt::left | dt::wordBreak);
}

std::wstring Control::idText() const {
    return std::to_wstring(id_);
}

std::wstring Control::header(const wchar_t* kindWord) const {
    return std::wstring(kindWord) + L" " + idText();
}

std::wstring Control::stateWords() const {
    std::wstring s;
    if (!isEnabled())
        s += L" (disabled)";
    if (hasFocus())
        s += L" <focus>";
    if (!statusText_.empty())
        s += L" [" + statusText_ + L"]";
    return s;
}

void Control::describe(std::vector<std::wstring>& lines) const {
    lines.push_back(header(kindName(kind_)) + L" \"" + detail::visible(text_) + L"\"" +
                    stateWords());
}

// --- Static ------------------------------------------------------------------------------------

StaticControl::StaticControl(Dialog& parent, int id, std::wstring text, std::uint32_t style,
                             Rect rect)
    : Control(parent, ControlKind::staticText, id, std::move(text), style, rect) {}

void StaticControl::paint(DeviceContext& dc) {
    if (!bitmap_.empty()) {
        dc.drawBitmap(bitmap_, clientRect(), false);
        return;
    }
    Color c = hasTextColor_ ? textColor_ : sysColor(SysColor::windowText);
    if (!isEnabled())
        c = sysColor(SysColor::grayText);
    dc.setTextColor(c);
    unsigned f = dt::wordBreak;
    if ((style_ & 0x3) == ss::center)
        f |= dt::center;
    else if ((style_ & 0x3) == ss::right)
        f |= dt::right;
    dc.drawText(text_, clientRect(), f);
}

void StaticControl::describe(std::vector<std::wstring>& lines) const {
    if (text_.empty() && bitmap_.empty() && statusText().empty())
        return; // an empty static is only space on the dialog
    lines.push_back(header(L"static") + L" \"" + detail::visible(text_) + L"\"" + stateWords());
}

// --- Up-down -----------------------------------------------------------------------------------

UpDownControl::UpDownControl(Dialog& parent, int id, std::uint32_t style, Rect rect)
    : Control(parent, ControlKind::upDown, id, L"", style, rect) {}

bool UpDownControl::spin(bool up) {
    const int delta = (upper_ >= lower_) == up ? 1 : -1;
    UpDownNotify nm;
    nm.hdr = NotifyHeader{this, id_, udn::deltaPos};
    nm.pos = pos_;
    nm.delta = delta;
    if (notifyParent(wm::notify, std::uintptr_t(id_), reinterpret_cast<std::intptr_t>(&nm)) != 0)
        return false;
    const int lo = std::min(lower_, upper_), hi = std::max(lower_, upper_);
    pos_ = std::clamp(pos_ + nm.delta, lo, hi);
    invalidate();
    return true;
}

bool UpDownControl::handleKey(int key, KeyState) {
    if (key == vk::up || key == vk::down) {
        spin(key == vk::up);
        return true;
    }
    return false;
}

void UpDownControl::paint(DeviceContext& dc) {
    const Rect r = clientRect();
    const Rect top{0, 0, r.right, r.bottom / 2};
    const Rect bottom{0, r.bottom / 2, r.right, r.bottom};
    dc.drawButtonFrame(top, false, !isEnabled());
    dc.drawButtonFrame(bottom, false, !isEnabled());
    dc.setTextColor(sysColor(SysColor::buttonText));
    dc.drawText(L"\u25B4", top, dt::center | dt::vcenter | dt::singleLine);
    dc.drawText(L"\u25BE", bottom, dt::center | dt::vcenter | dt::singleLine);
}

void UpDownControl::describe(std::vector<std::wstring>& lines) const {
    lines.push_back(header(L"updown") + L" pos " + std::to_wstring(pos_) + stateWords());
}

} // namespace zhost::ui
