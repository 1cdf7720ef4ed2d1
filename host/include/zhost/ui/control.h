#pragma once
// The controls of a dialog: a base class with the window state every control has (id, text,
// style, rectangle, visibility, enabled state, focus, message hooks) and the simple kinds
// (static, buttons, edit, up-down). Lists are in lists.h, the grid in grid.h.
//
// Messages sent to a control go first to its window hook (the platform's subclassing: an
// add-on class that wraps a control sees the mouse and key messages before the default
// handling), then to the control's default behaviour. Notifications a control sends to its
// dialog go first to its notify hook (the platform's message reflection), then to the dialog.
#include "zhost/ui/device_context.h"
#include "zhost/ui/types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::ui {

class Dialog;

enum class ControlKind {
    staticText,
    button, // push button, check box, radio button, group box, owner-drawn: by style
    edit,
    listBox,
    comboBox,
    listView,
    upDown,
    colorCombo,
    linetypeCombo,
    lineweightCombo,
    grid,
};
const wchar_t* kindName(ControlKind kind);

// Owner-draw item states (the platform's ODS_ values).
namespace ods {
inline constexpr unsigned selected = 0x1;
inline constexpr unsigned grayed = 0x2;
inline constexpr unsigned disabled = 0x4;
inline constexpr unsigned checked = 0x8;
inline constexpr unsigned focus = 0x10;
} // namespace ods

// What an owner-drawn control, list item or menu item is asked to draw.
struct DrawItem {
    DeviceContext* dc = nullptr;
    int controlId = 0; // 0 for menu items
    int itemId = -1;   // list index, or the menu item's command id
    Rect rect;         // in the context's coordinates
    unsigned state = 0;
    std::uintptr_t itemData = 0;
    class Control* control = nullptr;
    class Menu* menu = nullptr;
};
struct MeasureItem {
    int controlId = 0;
    int itemId = -1;
    int width = 0;
    int height = 0;
    std::uintptr_t itemData = 0;
};

// Where a control that can be longer than it is (lists, list views, grids) stands along one
// axis, in its own steps (list lines or columns, list-view rows or pixels, grid rows or
// columns): the first step shown, how many fit, how many there are, the last first step there
// can be, and whether the control shows a scroll bar for the axis (scroll.h draws and works it).
struct ScrollInfo {
    int pos = 0;
    int page = 1;
    int total = 0;
    int max = 0;
    bool bar = false;
};

class Control {
public:
    using Hook = std::function<bool(const Message& m, std::intptr_t& result)>;
    using DrawHandler = std::function<void(DrawItem& item)>;

    Control(Dialog& parent, ControlKind kind, int id, std::wstring text, std::uint32_t style,
            Rect rect);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Dialog& parent() const { return parent_; }
    ControlKind kind() const { return kind_; }
    // Expires when the control is destroyed: wrappers that outlive their window (members of a
    // dialog class are destroyed after its windows) check it before touching the control.
    std::weak_ptr<const int> lifetime() const { return life_; }
    int id() const { return id_; }

    const std::wstring& text() const { return text_; }
    virtual void setText(std::wstring_view text);

    std::uint32_t style() const { return style_; }
    void setStyle(std::uint32_t style) { style_ = style; }
    void modifyStyle(std::uint32_t remove, std::uint32_t add) { style_ = (style_ & ~remove) | add; }
    std::uint32_t exStyle() const { return exStyle_; }
    void setExStyle(std::uint32_t s) { exStyle_ = s; }

    // In the dialog's client coordinates.
    Rect rect() const { return rect_; }
    virtual void setRect(const Rect& r);
    Rect clientRect() const { return {0, 0, rect_.width(), rect_.height()}; }

    bool isVisible() const { return (style_ & ws::visible) != 0; }
    void show(bool visible);
    bool isEnabled() const { return (style_ & ws::disabled) == 0; }
    void enable(bool enabled);
    bool isTabStop() const { return (style_ & ws::tabStop) != 0; }
    // Whether the control can take the focus at all (statics and group boxes cannot).
    virtual bool focusable() const { return true; }
    bool hasFocus() const;
    void setFocus();

    // Subclassing and reflection (see the file comment). Installing replaces the previous hook.
    void setWindowHook(Hook hook) { windowHook_ = std::move(hook); }
    void setNotifyHook(Hook hook) { notifyHook_ = std::move(hook); }
    void setDrawHandler(DrawHandler handler) { drawHandler_ = std::move(handler); }
    bool hasDrawHandler() const { return bool(drawHandler_); }

    std::intptr_t sendMessage(unsigned id, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // The default behaviour of the control for a message (what a hook falls back to).
    virtual std::intptr_t defaultProc(const Message& m);
    // A key press while the control has the focus; true when the control used it.
    virtual bool handleKey(int key, KeyState state);

    // Sends a notification to the dialog: a command message with `code`, or a message of its
    // own (grid notifications). The notify hook sees it first.
    std::intptr_t notifyCommand(int code);
    std::intptr_t notifyParent(unsigned id, std::uintptr_t wParam, std::intptr_t lParam);

    // Mouse tracking as the platform's TrackMouseEvent: hover and leave messages follow.
    void trackMouse(bool hover, bool leave);
    bool tracksHover() const { return trackHover_; }
    bool tracksLeave() const { return trackLeave_; }
    void clearTracking() { trackHover_ = trackLeave_ = false; }

    // Repaint requests (counted: headless runs have nothing to paint between snapshots).
    void invalidate() { ++repaints_; }
    int repaintCount() const { return repaints_; }

    // Extra words for the transcript line (an owner-drawn button's "selected", for instance).
    void setStatusText(std::wstring text) { statusText_ = std::move(text); }
    const std::wstring& statusText() const { return statusText_; }

    // Scrolling (scroll.h): the state along the vertical or horizontal axis (nothing to scroll
    // by default), and a move so that step `pos` comes first (clamped; true when the view moved).
    virtual ScrollInfo scrollInfo(bool vertical) const;
    virtual bool scrollTo(bool vertical, int pos);

    // Draws the control at the context's origin (its top-left corner).
    virtual void paint(DeviceContext& dc);
    // Lines for the dialog's transcript, without indentation.
    virtual void describe(std::vector<std::wstring>& lines) const;

protected:
    // "kind id" and the common state words (disabled, focus, status text) for describe().
    std::wstring header(const wchar_t* kindWord) const;
    std::wstring stateWords() const;
    bool callDrawHandler(DrawItem& item) const;
    std::wstring idText() const;

    Dialog& parent_;
    ControlKind kind_;
    int id_;
    std::wstring text_;
    std::uint32_t style_;
    std::uint32_t exStyle_ = 0;
    Rect rect_;

private:
    Hook windowHook_;
    Hook notifyHook_;
    DrawHandler drawHandler_;
    std::shared_ptr<const int> life_ = std::make_shared<const int>(0);
    std::wstring statusText_;
    bool trackHover_ = false;
    bool trackLeave_ = false;
    int repaints_ = 0;
};

class StaticControl : public Control {
public:
    StaticControl(Dialog& parent, int id, std::wstring text, std::uint32_t style, Rect rect);
    bool focusable() const override { return false; }
    void setBitmap(const Bitmap* bmp) { bitmap_ = bmp ? *bmp : Bitmap(); }
    void setTextColor(Color c) {
        textColor_ = c;
        hasTextColor_ = true;
    }
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;

private:
    Bitmap bitmap_;
    Color textColor_ = 0;
    bool hasTextColor_ = false;
};

// Push buttons, check boxes, radio buttons, group boxes and owner-drawn buttons.
class Button : public Control {
public:
    Button(Dialog& parent, int id, std::wstring text, std::uint32_t style, Rect rect);

    std::uint32_t buttonType() const { return style_ & bs::typeMask; }
    bool isCheckBox() const;
    bool isRadio() const;
    bool isGroupBox() const { return buttonType() == bs::groupBox; }
    bool isOwnerDraw() const { return buttonType() == bs::ownerDraw; }
    bool focusable() const override { return !isGroupBox(); }

    // 0 unchecked, 1 checked, 2 indeterminate.
    int check() const { return check_; }
    void setCheck(int state);
    // Pushed while the left button is held on it (the platform's BST_PUSHED).
    bool isPushed() const { return pushed_; }

    // A click as a user makes it: mouse move, button down and up; the default behaviour
    // toggles check boxes, checks radios (unchecking the others of its group) and sends
    // the clicked notification.
    void click();
    void doubleClick();

    std::intptr_t defaultProc(const Message& m) override;
    bool handleKey(int key, KeyState state) override;
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;

private:
    void autoCheck();
    int check_ = 0;
    bool pushed_ = false;
};

class EditControl : public Control {
public:
    EditControl(Dialog& parent, int id, std::wstring text, std::uint32_t style, Rect rect);
    // The user types: the whole text is replaced and a change notification follows.
    void type(std::wstring_view text);
    void setText(std::wstring_view text) override; // notifies as the platform does
    void setLimitText(int chars) { limit_ = chars; }
    int limitText() const { return limit_; }
    // The selection (character positions) and its replacement.
    void setSel(int start, int end);
    void replaceSel(std::wstring_view text);
    bool handleKey(int key, KeyState state) override;
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;

private:
    int limit_ = 0;
    int selStart_ = 0;
    int selEnd_ = 0;
};

// An up-down control: arrows that change a position and tell the dialog first (a handler of
// the position-change notification may refuse the change).
class UpDownControl : public Control {
public:
    UpDownControl(Dialog& parent, int id, std::uint32_t style, Rect rect);
    // The platform's default range runs from 100 down to 0, so the up arrow lowers the
    // position (its delta is negative) until a range is set.
    void setRange(int lower, int upper) { lower_ = lower, upper_ = upper; }
    int pos() const { return pos_; }
    void setPos(int pos) { pos_ = pos; }
    // One press of an arrow (up or down). True when the dialog accepted the change.
    bool spin(bool up);
    bool handleKey(int key, KeyState state) override;
    void paint(DeviceContext& dc) override;
    void describe(std::vector<std::wstring>& lines) const override;

private:
    int lower_ = 100;
    int upper_ = 0;
    int pos_ = 0;
};

} // namespace zhost::ui
