// Popup menus at the mouse (see popup_menu.h).
#include "popup_menu.h"

#include "dialog_window.h"

#include "zhost/ui/menu.h"

#include <wx/dcclient.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <memory>
#include <vector>

namespace zorma::gui {
using namespace zhost::ui;

namespace {

// How long the mouse rests on an item before its submenu opens (or the submenu of the item it
// left closes), as the desktop's menus wait.
constexpr int kHoverDelayMs = 400;

class Session;

// One open level of the menu: a frame, not a dialog, which the toolkit would centre over its
// parent instead of placing it at the mouse.
class LevelWindow : public wxFrame {
public:
    LevelWindow(wxWindow* parent, Session& session, int level, const wxPoint& at);
    // Where the level's items lie in the window.
    const std::vector<Rect>& rects() const { return rects_; }

private:
    int itemAt(const wxPoint& p) const {
        for (size_t i = 0; i < rects_.size(); ++i)
            if (rects_[i].contains(Point{p.x, p.y}))
                return int(i);
        return -1;
    }

    Session& session_;
    int level_;
    std::vector<Rect> rects_;
};

class Session : public MenuInput {
public:
    Session(wxWindow* parent, Menu& menu, Dialog* owner)
        : parent_(parent), owner_(owner), tracker_(menu) {
        hoverTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            tracker_.hoverSettled();
            sync();
        });
        sync();
    }
    ~Session() override {
        hoverTimer_.Stop();
        *alive_ = false;
        for (LevelWindow* w : windows_) {
            w->Hide();
            w->Destroy();
        }
    }

    MenuTracker& tracker() { return tracker_; }
    Dialog* owner() const { return owner_; }
    bool done() const { return dismissed_ || tracker_.state() != MenuTracker::State::open; }
    int chosen() const {
        return !dismissed_ && tracker_.state() == MenuTracker::State::chosen ? tracker_.chosen()
                                                                             : 0;
    }
    std::shared_ptr<bool> alive() const { return alive_; }
    bool ownsActiveWindow() const {
        for (LevelWindow* w : windows_)
            if (w->IsActive())
                return true;
        return false;
    }

    void key(int frameworkKey, wchar_t ch) override {
        switch (frameworkKey) {
        case vk::up:
        case vk::down:
        case vk::left:
        case vk::right:
        case vk::returnKey:
        case vk::escape:
            tracker_.key(frameworkKey);
            break;
        default:
            if (ch >= 32)
                tracker_.character(ch);
            break;
        }
        sync();
    }
    bool keyNamed(std::wstring_view name) override {
        const bool known = tracker_.keyNamed(name);
        sync();
        return known;
    }
    void dismiss() override { dismissed_ = true; }

    void hover(int level, int position) {
        const auto& levels = tracker_.levels();
        if (level < int(levels.size()) && levels[size_t(level)].lit == position &&
            hoverTimer_.IsRunning())
            return;
        tracker_.hover(level, position);
        hoverTimer_.StartOnce(kHoverDelayMs);
        sync();
    }
    void click(int level, int position) {
        tracker_.click(level, position);
        sync();
    }

    // Brings the windows up to the tracker: one per open level, each with its lit item.
    void sync() {
        const auto& levels = tracker_.levels();
        while (windows_.size() > levels.size()) {
            windows_.back()->Hide();
            windows_.back()->Destroy();
            windows_.pop_back();
        }
        for (size_t i = 0; i < levels.size(); ++i) {
            if (i < windows_.size() && openedFrom_[i] == levels[i].openedFrom) {
                windows_[i]->Refresh(false);
                continue;
            }
            while (windows_.size() > i) { // a different submenu at this level
                windows_.back()->Hide();
                windows_.back()->Destroy();
                windows_.pop_back();
            }
            wxPoint at = wxGetMousePosition();
            if (i > 0) { // beside the item that opened it
                const Rect r = windows_[i - 1]->rects()[size_t(levels[i].openedFrom)];
                at = windows_[i - 1]->GetScreenPosition() + wxPoint(r.right - 2, r.top - 2);
            }
            openedFrom_.resize(i + 1);
            openedFrom_[i] = levels[i].openedFrom;
            windows_.push_back(new LevelWindow(parent_, *this, int(i), at));
            // Shown without being raised or given the focus: the keyboard stays where it was
            // (a dialog passes its keys on, the command line can still take "@dialog menu").
            windows_.back()->Show();
        }
    }

private:
    wxWindow* parent_;
    Dialog* owner_;
    MenuTracker tracker_;
    std::vector<LevelWindow*> windows_;
    std::vector<int> openedFrom_;
    wxTimer hoverTimer_;
    bool dismissed_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

LevelWindow::LevelWindow(wxWindow* parent, Session& session, int level, const wxPoint& at)
    : wxFrame(parent, wxID_ANY, wxEmptyString, at, wxDefaultSize,
              wxBORDER_NONE | wxSTAY_ON_TOP | wxWANTS_CHARS | wxFRAME_NO_TASKBAR |
                  wxFRAME_FLOAT_ON_PARENT),
      session_(session), level_(level) {
    Menu& menu = *session_.tracker().levels()[size_t(level_)].menu;
    Size total;
    rects_ = menu.layout(session_.owner(), total);
    SetClientSize(total.cx, total.cy);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        const auto& levels = session_.tracker().levels();
        if (size_t(level_) >= levels.size())
            return;
        const auto& l = levels[size_t(level_)];
        dc.DrawBitmap(wxBitmap(toImage(l.menu->render(session_.owner(), l.lit))), 0, 0);
    });
    Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        if (GetClientRect().Contains(e.GetPosition()))
            session_.hover(level_, itemAt(e.GetPosition()));
    });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        if (!GetClientRect().Contains(e.GetPosition()))
            session_.dismiss();
        else if (const int item = itemAt(e.GetPosition()); item >= 0)
            session_.click(level_, item);
    });
    for (const auto type : {wxEVT_LEFT_DOWN, wxEVT_RIGHT_DOWN})
        Bind(type, [this](wxMouseEvent& e) {
            if (!GetClientRect().Contains(e.GetPosition()))
                session_.dismiss();
        });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& e) {
        if (e.GetActive())
            return;
        // The desktop gave another window the focus (a click elsewhere) unless it went to
        // another level of this menu.
        auto alive = session_.alive();
        Session* s = &session_;
        CallAfter([alive, s] {
            if (*alive && !s->ownsActiveWindow())
                s->dismiss();
        });
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        session_.key(frameworkKey(e.GetKeyCode()), wchar_t(e.GetUnicodeKey()));
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { session_.dismiss(); });
}

} // namespace

int runPopupMenu(wxWindow* parent, Menu& menu, Dialog* owner,
                 const std::function<int(MenuInput&)>& typed,
                 const std::function<void(MenuInput*)>& setInput) {
    Session session(parent, menu, owner);
    if (setInput)
        setInput(&session);
    int typedChoice = -1;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        auto done = [&] {
            if (typed && typedChoice < 0)
                typedChoice = typed(session);
            return typedChoice >= 0 || session.done();
        };
        while (!done()) {
            while (!loop.Pending() && loop.ProcessIdle() && !done()) {
            }
            if (done())
                break;
            loop.Dispatch();
        }
    }
    if (setInput)
        setInput(nullptr);
    return typedChoice >= 0 ? typedChoice : session.chosen();
}

} // namespace zorma::gui
