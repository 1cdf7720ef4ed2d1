// Buttons (push, check, radio, group box, owner-drawn) and the edit control.
#include "zhost/ui/control.h"

#include "text_util.h"

#include "zhost/ui/dialog.h"
#include "zhost/ui/services.h"

#include <algorithm>

namespace zhost::ui {

Button::Button(Dialog& parent, int id, std::wstring text, std::uint32_t style, Rect rect)
    : Control(parent, ControlKind::button, id, std::move(text), style, rect) {}

bool Button::isCheckBox() const {
    const auto t = buttonType();
    return t == bs::checkBox || t == bs::autoCheckBox || t == 0x5 || t == 0x6;
}

bool Button::isRadio() const {
    const auto t = buttonType();
    return t == bs::radioButton || t == bs::autoRadioButton;
}

void Button::setCheck(int state) {
    check_ = std::clamp(state, 0, 2);
    invalidate();
}

void Button::autoCheck() {
    const auto t = buttonType();
    if (t == bs::autoCheckBox) {
        setCheck(check_ ? 0 : 1);
    } else if (t == bs::autoRadioButton) {
        // The group runs from the nearest radio with the group style up to the next one.
        const std::vector<Control*> all = parent_.controls();
        auto me = std::find(all.begin(), all.end(), this);
        auto first = me;
        while (first != all.begin() && !((*first)->style() & ws::group))
            --first;
        for (auto it = first; it != all.end(); ++it) {
            if (it != first && ((*it)->style() & ws::group))
                break;
            if (auto* b = dynamic_cast<Button*>(*it); b && b->isRadio() && b != this)
                b->setCheck(0);
        }
        setCheck(1);
    }
}

void Button::click() {
    sendMessage(wm::mouseMove);
    sendMessage(wm::lButtonDown);
    sendMessage(wm::lButtonUp);
}

void Button::doubleClick() {
    sendMessage(wm::lButtonDown);
    sendMessage(wm::lButtonUp);
    sendMessage(wm::lButtonDblClk);
    sendMessage(wm::lButtonUp);
}

std::intptr_t Button::defaultProc(const Message& m) {
    if (!isEnabled() || isGroupBox())
        return Control::defaultProc(m);
    switch (m.id) {
    case wm::lButtonDblClk:
        // Owner-drawn and radio buttons report a double click as such; push buttons and check
        // boxes take it as another press.
        if (isOwnerDraw() || isRadio()) {
            notifyCommand(bn::doubleClicked);
            return 0;
        }
        [[fallthrough]];
    case wm::lButtonDown:
        pushed_ = true;
        if (focusable())
            setFocus();
        invalidate();
        return 0;
    case wm::lButtonUp:
        if (pushed_) {
            pushed_ = false;
            invalidate();
            autoCheck();
            notifyCommand(bn::clicked);
        }
        return 0;
    default:
        return Control::defaultProc(m);
    }
}

bool Button::handleKey(int key, KeyState) {
    if (key == vk::space) {
        click();
        return true;
    }
    return false;
}

void Button::paint(DeviceContext& dc) {
    const Rect r = clientRect();
    if (isOwnerDraw()) {
        DrawItem item;
        item.dc = &dc;
        item.controlId = id_;
        item.rect = r;
        item.control = this;
        item.state = (pushed_ ? ods::selected : 0) | (isEnabled() ? 0 : ods::disabled) |
                     (hasFocus() ? ods::focus : 0);
        if (!callDrawHandler(item))
            parent_.onDrawItem(id_, item);
        return;
    }
    dc.setTextColor(isEnabled() ? sysColor(SysColor::buttonText) : sysColor(SysColor::grayText));
    if (isGroupBox()) {
        const Size ts = dc.measureText(detail::stripMnemonic(text_));
        const int y = ts.cy / 2;
        dc.frameRect({0, y, r.right, r.bottom}, rgb(220, 220, 220));
        dc.fillRect({6, 0, 10 + ts.cx, ts.cy}, sysColor(SysColor::buttonFace));
        dc.drawText(text_, Rect{8, 0, 10 + ts.cx + 2, ts.cy}, dt::singleLine);
        return;
    }
    if (isCheckBox() || isRadio()) {
        const int box = 13;
        const int top = (r.height() - box) / 2;
        dc.drawCheckMark({0, top, box, top + box}, isRadio(), check_ != 0, !isEnabled());
        dc.drawText(text_, Rect{box + 4, 0, r.right, r.bottom}, dt::singleLine | dt::vcenter);
        if (hasFocus())
            dc.drawFocusRect({box + 2, 1, r.right, r.bottom - 1});
        return;
    }
    if (themeActive())
        dc.drawThemeBackground(theme::partPushButton,
                               !isEnabled()                          ? theme::stateDisabled
                               : pushed_                             ? theme::statePressed
                               : (buttonType() == bs::defPushButton) ? theme::stateDefaulted
                                                                     : theme::stateNormal,
                               r);
    else
        dc.drawButtonFrame(r, pushed_, !isEnabled());
    dc.drawText(text_, r, dt::center | dt::vcenter | dt::singleLine);
    if (hasFocus())
        dc.drawFocusRect(r.deflate(3, 3));
}

void Button::describe(std::vector<std::wstring>& lines) const {
    const std::wstring caption = L"\"" + detail::visible(text_) + L"\"";
    if (isGroupBox())
        lines.push_back(header(L"group") + L" " + caption);
    else if (isCheckBox())
        lines.push_back(header(L"check") +
                        (check_ == 1 ? L" [x] "
                         : check_    ? L" [-] "
                                     : L" [ ] ") +
                        caption + stateWords());
    else if (isRadio())
        lines.push_back(header(L"radio") + (check_ ? L" (o) " : L" ( ) ") + caption + stateWords());
    else if (isOwnerDraw())
        lines.push_back(header(L"picture-button") + L" " + caption + stateWords());
    else
        lines.push_back(header(L"button") + L" " + caption + stateWords());
}

// --- Edit ----------------------------------------------------------------------------------------

EditControl::EditControl(Dialog& parent, int id, std::wstring text, std::uint32_t style, Rect rect)
    : Control(parent, ControlKind::edit, id, std::move(text), style, rect) {}

void EditControl::setText(std::wstring_view text) {
    Control::setText(text);
    selStart_ = selEnd_ = int(text_.size());
    notifyCommand(en::change);
}

void EditControl::type(std::wstring_view text) {
    std::wstring_view t = text;
    if (limit_ > 0 && int(t.size()) > limit_)
        t = t.substr(0, size_t(limit_));
    setText(t);
}

void EditControl::setSel(int start, int end) {
    const int n = int(text_.size());
    if (start < 0) {
        selStart_ = selEnd_ = n;
        return;
    }
    selStart_ = std::clamp(start, 0, n);
    selEnd_ = end < 0 ? n : std::clamp(end, selStart_, n);
}

void EditControl::replaceSel(std::wstring_view text) {
    std::wstring s = text_;
    const int a = std::clamp(selStart_, 0, int(s.size()));
    const int b = std::clamp(selEnd_, a, int(s.size()));
    s.replace(size_t(a), size_t(b - a), text);
    if (limit_ > 0 && int(s.size()) > limit_)
        s.resize(size_t(limit_));
    setText(s);
    selStart_ = selEnd_ = std::min(int(s.size()), a + int(text.size()));
}

bool EditControl::handleKey(int key, KeyState state) {
    if (!state.control)
        return false;
    const int a = std::min(selStart_, int(text_.size()));
    const int b = std::clamp(selEnd_, a, int(text_.size()));
    if (key == 'C' || key == 'X') {
        if (b > a)
            setClipboardText(std::wstring_view(text_).substr(size_t(a), size_t(b - a)));
        if (key == 'X' && !(style_ & es::readOnly))
            replaceSel(L"");
        return true;
    }
    if (key == 'V') {
        std::wstring clip;
        if (!(style_ & es::readOnly) && getClipboardText(clip))
            replaceSel(clip);
        return true;
    }
    if (key == 'A') {
        setSel(0, -1);
        return true;
    }
    return false;
}

void EditControl::paint(DeviceContext& dc) {
    const Rect r = clientRect();
    dc.fillRect(r, isEnabled() ? sysColor(SysColor::window) : sysColor(SysColor::buttonFace));
    dc.frameRect(r, rgb(122, 122, 122));
    dc.setTextColor(isEnabled() ? sysColor(SysColor::windowText) : sysColor(SysColor::grayText));
    dc.drawText(text_, r.deflate(3, 1), dt::singleLine | dt::vcenter | dt::noPrefix);
}

void EditControl::describe(std::vector<std::wstring>& lines) const {
    lines.push_back(header(L"edit") + L" \"" + detail::visible(text_) + L"\"" + stateWords());
}

} // namespace zhost::ui
