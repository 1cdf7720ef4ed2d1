#pragma once
// Dialogs: built from a template (controls with ids, kinds, texts, styles and rectangles in
// dialog units), run modally until a handler ends them with an end code. Messages are routed
// as on the platform: commands and notifications from controls to handlers by control id and
// code (or to the virtual hooks), posted messages after the current one, timers on the host
// clock, keys through preTranslateKey to the focused control and the dialog's defaults (Return
// presses the default button, Escape cancels, Tab and Shift+Tab move the focus in tab order).
//
// A dialog is a value that lives on its caller's stack; its window exists between create()
// (done by runModal) and destroy(). Everything runs on the caller's thread.
#include "zhost/settings/dialogdata.h"
#include "zhost/ui/control.h"
#include "zhost/ui/device_context.h"
#include "zhost/ui/types.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zhost::ui {

class Grid;
class ResourceModule;

struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::staticText;
    std::wstring text;
    std::uint32_t style = ws::child | ws::visible;
    Rect rect; // dialog units
    std::uint32_t exStyle = 0;
};

struct DialogTemplate {
    int resourceId = 0;
    std::wstring title;
    Font font;
    Size size; // client size in dialog units
    std::vector<ControlTemplate> controls;
    bool resizable = false;
};

class Dialog {
public:
    using CommandHandler = std::function<void()>;
    using MessageHandler =
        std::function<std::intptr_t(std::uintptr_t wParam, std::intptr_t lParam)>;
    using NotifyHandler = std::function<std::intptr_t(NotifyHeader& hdr)>;

    explicit Dialog(DialogTemplate tpl, Dialog* parent = nullptr);
    // The template with that id from a resource module (an empty dialog when it has none).
    Dialog(const ResourceModule& module, int templateId, Dialog* parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // --- Life ----------------------------------------------------------------------------------
    // Creates the window, runs the initialisation, lets the backend run the dialog until it
    // ends, destroys the window and returns the end code.
    int runModal();
    // The steps of runModal for tests and backends: create (controls and onInitDialog) and
    // destroy (onDestroy, timers killed, dialog data flushed).
    bool create();
    void destroy();
    bool isCreated() const { return created_; }
    void endDialog(int code);
    bool ended() const { return ended_; }
    int endCode() const { return endCode_; }
    const DialogTemplate& dialogTemplate() const { return tpl_; }
    Dialog* parentDialog() const { return parent_; }
    // The dialog running modally on top (null when none).
    static Dialog* active();

    // --- Hooks (override in a derived dialog) -------------------------------------------------
    virtual bool onInitDialog() { return true; }
    virtual void onDestroy() {}
    virtual void onOk() { endDialog(idOk); }
    virtual void onCancel() { endDialog(idCancel); }
    virtual void onTimer(unsigned id) {}
    // A key before anything else sees it; true swallows it.
    virtual bool preTranslateKey(int key, KeyState state) { return false; }
    virtual void onDrawItem(int controlId, DrawItem& item) {}
    virtual void onMeasureItem(int controlId, MeasureItem& item) {}
    virtual void onSize(Size client) {}
    // Hit test of a point in client coordinates (ht:: codes).
    virtual int onHitTest(Point client);
    // Painting after the controls (the size grip of resizable dialogs, for instance).
    virtual void onPaint(DeviceContext& dc) {}
    // Every message; the default routes commands, notifications and registered messages to
    // their handlers. Derived dialogs may take messages first and fall back to this.
    virtual std::intptr_t windowProc(const Message& m);

    // --- Handlers by id -----------------------------------------------------------------------
    void onCommand(int id, int code, CommandHandler handler);
    void onMessage(unsigned message, MessageHandler handler);
    void onNotify(int id, int code, NotifyHandler handler);

    // --- Messages -------------------------------------------------------------------------------
    std::intptr_t sendMessage(unsigned id, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    void postMessage(unsigned id, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    void postCommand(int id, int code = bn::clicked);
    // Handles the posted messages (each may post more); the modal loop calls it after every
    // action.
    void processPostedMessages();

    // --- Controls -------------------------------------------------------------------------------
    Control* control(int id) const;
    template <class T> T* controlAs(int id) const { return dynamic_cast<T*>(control(id)); }
    Grid* grid(int id) const;
    // In z-order, which is the tab order.
    std::vector<Control*> controls() const;
    // Creates a control; it goes right after `after` in z-order (first when null and
    // `atEnd` is false, last when `atEnd`). Null when the id is in use (ids other than -1 and
    // 0xFFFF are unique).
    Control* createControl(ControlKind kind, int id, std::wstring_view text, std::uint32_t style,
                           const Rect& rectPixels, Control* after = nullptr, bool atEnd = true);
    bool destroyControl(int id);
    Control* previousSibling(const Control* c) const;
    // Moves `c` right after `after` (first when null).
    void placeAfter(Control* c, Control* after);

    // --- Focus and keys -------------------------------------------------------------------------
    Control* focus() const { return focus_; }
    void setFocus(Control* c);
    // The next (or previous) visible, enabled tab stop after `from`, wrapping round.
    Control* nextTabStop(Control* from, bool backward) const;
    // A key press as the user makes it.
    void pressKey(int key, KeyState state = {});
    // The mouse moves onto a control (null: off every control): the control gets a mouse move
    // and, when it asked to track them, hover and (for the control left) leave messages.
    void mouseOver(Control* c);
    Control* hovered() const { return hover_; }

    // --- Geometry --------------------------------------------------------------------------------
    // Window rectangle in screen coordinates; the client area lies inside its frame.
    Rect windowRect() const { return window_; }
    Rect clientRect() const;
    Point clientOrigin() const; // the client area's top-left on the screen
    void moveWindow(const Rect& screenRect);
    void setPosition(int x, int y); // no resizing
    void setMinTrackSize(Size s) { minTrack_ = s; }
    Size minTrackSize() const { return minTrack_; }
    // A user drags the frame: the size is kept at least the minimum track size, anchored
    // controls follow, onSize runs.
    void userResize(int width, int height);
    // Control anchoring: percentages of the size change by which a control moves (x, y) and
    // grows (cx, cy).
    void addAnchor(int id, int moveXPct, int moveYPct, int sizeXPct, int sizeYPct);
    Rect mapDialogRect(const Rect& du) const;
    Size dialogBaseUnits() const;
    // The bottom-right size-grip square of the client area (16 x 16 pixels).
    Rect sizeGripRect() const;
    bool isMinimized() const { return false; }
    bool isMaximized() const { return false; }

    // --- Window state ---------------------------------------------------------------------------
    const std::wstring& title() const { return title_; }
    void setTitle(std::wstring_view title) { title_ = title; }
    bool isVisible() const { return visible_; }
    void show(bool visible) { visible_ = visible; }
    const Font& font() const { return tpl_.font; }
    void invalidate() { ++repaints_; }
    int repaintCount() const { return repaints_; }

    // --- Timers on the host clock ---------------------------------------------------------------
    bool setTimer(unsigned id, unsigned intervalMs);
    bool killTimer(unsigned id);

    // --- The host's dialog-data store -----------------------------------------------------------
    void setDialogName(std::wstring_view name) { dialogName_ = name; }
    const std::wstring& dialogName() const { return dialogName_; }
    bool getDialogData(std::wstring_view name, std::wstring& value);
    bool setDialogData(std::wstring_view name, std::wstring_view value);
    bool getDialogData(std::wstring_view name, int& value);
    bool setDialogData(std::wstring_view name, int value);
    bool storedPlacement(settings::WindowPlacement& out);
    // Stores the window's position and size (not when minimised or maximised).
    bool storePlacement();

    // --- Showing
    // ------------------------------------------------------------------------------------- The
    // transcript text of the dialog: title and visible controls with their state.
    std::wstring describe() const;
    // Draws the dialog (frame, title, controls) into a bitmap of the window's size.
    Bitmap render();

private:
    struct Anchor {
        int id;
        int mx, my, sx, sy;
        Rect base;       // the control's rectangle when anchored
        Size baseClient; // the client size then
    };
    void buildFromTemplate();
    std::unique_ptr<Control> makeControl(ControlKind kind, int id, std::wstring_view text,
                                         std::uint32_t style, const Rect& r);
    void routeKey(int key, KeyState state);
    void killAllTimers();
    settings::DialogDataStore& store();
    void buryControl(std::unique_ptr<Control> c);

    DialogTemplate tpl_;
    Dialog* parent_;
    Dialog* previousActive_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<Control>> graveyard_; // destroyed while a handler may run
    Control* focus_ = nullptr;
    Control* hover_ = nullptr;
    int dispatchDepth_ = 0;
    std::wstring title_;
    Rect window_;
    Size minTrack_;
    Size baseClient_;
    std::vector<Anchor> anchors_;
    std::map<std::pair<int, int>, CommandHandler> commands_;
    std::map<unsigned, MessageHandler> messages_;
    std::map<std::pair<int, int>, NotifyHandler> notifies_;
    std::deque<Message> posted_;
    std::map<unsigned, std::uint64_t> timers_; // dialog timer id -> host clock timer id
    std::wstring dialogName_;
    std::unique_ptr<settings::DialogDataStore> store_;
    std::shared_ptr<bool> alive_;
    bool created_ = false;
    bool ended_ = false;
    bool visible_ = true;
    int endCode_ = 0;
    int repaints_ = 0;
};

} // namespace zhost::ui
