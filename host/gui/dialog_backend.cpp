// The wx backend of the dialog framework (see dialog_backend.h).
#include "dialog_backend.h"

#include "dialog_window.h"
#include "popup_menu.h"
#include "screen_grab.h"

#include "zhost/core/utf.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/ui/backend.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/menu.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <vector>

namespace zorma::gui {
using namespace zhost::ui;

namespace {

// Runs the window system's events until `done` says so (it is asked after every event).
template <class Done> void runEventsUntil(Done done) {
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    while (!done()) {
        while (!loop.Pending() && loop.ProcessIdle() && !done()) {
        }
        if (done())
            break;
        loop.Dispatch();
    }
}

// While an interactive dialog runs, the host clock follows the wall clock so the dialog's
// timers fire (scripts move it with "@wait" instead).
class ClockTicker : public wxTimer {
public:
    explicit ClockTicker(DialogWindow& window)
        : window_(window), last_(std::chrono::steady_clock::now()) {
        Start(50);
    }
    void Notify() override {
        const auto now = std::chrono::steady_clock::now();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - last_);
        last_ += ms;
        if (ms.count() <= 0)
            return;
        // Repainted only when a timer changed something (the picture costs a full render).
        Dialog& d = window_.dialog();
        const std::wstring before = stamp(d);
        zhost::ed::hostClock().advance(std::uint64_t(ms.count()));
        if (!d.ended())
            d.processPostedMessages();
        if (!d.ended() && stamp(d) != before)
            window_.afterAction();
    }

    static std::wstring stamp(const Dialog& d) {
        std::wstring s = d.describe() + std::to_wstring(d.repaintCount());
        for (const Control* c : d.controls())
            s += L"," + std::to_wstring(c->repaintCount());
        return s;
    }

private:
    DialogWindow& window_;
    std::chrono::steady_clock::time_point last_;
};

bool startsWithWord(std::wstring_view line, std::wstring_view word) {
    if (line.size() < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::towlower(line[i]) != std::towlower(word[i]))
            return false;
    return line.size() == word.size() || std::iswspace(line[word.size()]);
}

std::wstring_view trimmed(std::wstring_view t) {
    while (!t.empty() && std::iswspace(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && std::iswspace(t.back()))
        t.remove_suffix(1);
    return t;
}

class WxBackend : public Backend {
public:
    WxBackend(wxWindow& main, bool scripted, std::string screenshotDir,
              DialogBackendScope::TypedLines typed)
        : main_(main), scripted_(scripted), shotDir_(std::move(screenshotDir)),
          typed_(std::move(typed)),
          headless_(makeHeadlessBackend([this](Dialog& d) { stateShown(d); })) {}

    void runModalLoop(Dialog& dialog) override {
        // Destroy() below ends it. The main window stays usable for typed dialog lines.
        auto* window = new DialogWindow(top(), dialog, scripted_ ? nullptr : &main_);
        windows_.push_back(window);
        window->setInteractive(!scripted_);
        window->update(); // shows it, modal: the other windows take no input meanwhile
        {
            if (scripted_) {
                headless_->runModalLoop(dialog);
            } else {
                ClockTicker ticker(*window);
                runEventsUntil([&] {
                    runTypedLines(dialog, *window);
                    return dialog.ended();
                });
                // The history keeps how each dialog ended, as a script's transcript does.
                const int code = dialog.endCode();
                zhost::ed::print(L"--- " + dialog.title() + L": " +
                                 (code == idOk       ? std::wstring(L"OK")
                                  : code == idCancel ? std::wstring(L"Cancel")
                                                     : std::to_wstring(code)) +
                                 L"\n");
            }
        }
        windows_.pop_back();
        window->close();
        window->Destroy();
        if (!windows_.empty())
            windows_.back()->update();
    }

    int trackPopupMenu(Menu& menu, Point screen, Dialog* owner) override {
        if (scripted_)
            return headless_->trackPopupMenu(menu, screen, owner);
        // The dialogs under the menu pass their keys to it and take no clicks meanwhile.
        return runPopupMenu(
            top(), menu, owner,
            [this, &menu](MenuInput& input) { return typedMenuChoice(menu, input); },
            [this](MenuInput* input) {
                for (DialogWindow* d : windows_)
                    d->setMenuInput(input);
            });
    }

    void showMessageBox(std::wstring_view text, std::wstring_view caption) override {
        // A script's run goes on without anyone to press OK: the box is only written down.
        if (scripted_) {
            headless_->showMessageBox(text, caption);
            return;
        }
        wxMessageDialog box(top(), wxString(std::wstring(text)), wxString(std::wstring(caption)),
                            wxOK | wxCENTRE);
        box.ShowModal();
    }

private:
    wxWindow* top() { return windows_.empty() ? &main_ : windows_.back(); }

    // Lines typed into the command line while a dialog is open, done as a script's lines on a
    // dialog are; other lines wait for the prompt after the dialog.
    void runTypedLines(Dialog& dialog, DialogWindow& window) {
        const auto forDialog = [](std::wstring_view l) {
            l = trimmed(l);
            return l == L"^C" || startsWithWord(l, L"@dialog") || startsWithWord(l, L"@wait") ||
                   startsWithWord(l, L"@clipboard");
        };
        std::wstring line;
        while (!dialog.ended() && typed_ && typed_(forDialog, line)) {
            const std::wstring_view l = trimmed(line);
            std::wstring message;
            if (l == L"^C") {
                dialog.pressKey(vk::escape);
            } else if (startsWithWord(l, L"@wait")) {
                const std::wstring ms(trimmed(l.substr(5)));
                wchar_t* end = nullptr;
                const double v = std::wcstod(ms.c_str(), &end);
                if (!ms.empty() && end && !*end && v >= 0 && v <= 1e12)
                    zhost::ed::hostClock().advance(std::uint64_t(v));
                else
                    message = L"milliseconds expected: " + std::wstring(l);
            } else if (startsWithWord(l, L"@clipboard")) {
                runClipboardDirective(trimmed(l.substr(10)));
            } else {
                runDialogDirective(dialog, trimmed(l.substr(7)), message);
            }
            if (!message.empty())
                zhost::ed::print(message + L"\n");
            window.afterAction();
        }
    }

    // "@dialog menu ID" (or "cancel") typed while a popup menu is open: the id, 0, or -1 for none;
    // "@dialog menu key K" presses the key in the menu.
    int typedMenuChoice(Menu& menu, MenuInput& input) {
        const auto forMenu = [](std::wstring_view l) {
            l = trimmed(l);
            return l == L"^C" ||
                   (startsWithWord(l, L"@dialog") && startsWithWord(trimmed(l.substr(7)), L"menu"));
        };
        std::wstring line;
        if (!typed_ || !typed_(forMenu, line))
            return -1;
        const std::wstring_view l = trimmed(line);
        if (l == L"^C")
            return 0;
        const std::wstring choice(trimmed(trimmed(l.substr(7)).substr(4)));
        if (zhost::equalsNoCase(choice, L"cancel"))
            return 0;
        if (startsWithWord(choice, L"key")) {
            const std::wstring_view name = trimmed(std::wstring_view(choice).substr(3));
            if (!input.keyNamed(name))
                zhost::ed::print(L"unknown menu key \"" + std::wstring(name) + L"\"\n");
            return -1;
        }
        if (const Menu::Item* it = menu.findItem(choice);
            it && !it->submenu && MenuTracker::choosable(*it))
            return it->id;
        zhost::ed::print(L"the popup menu has no item " + choice + L" to choose\n");
        return -1;
    }

    // A scripted dialog reached a state the transcript shows: the window shows it too, and it is
    // saved when asked ("NNN-dialog-ID.png", numbered in the order the transcript shows them).
    void stateShown(Dialog& dialog) {
        if (windows_.empty() || &windows_.back()->dialog() != &dialog)
            return;
        DialogWindow& window = *windows_.back();
        const int paintsBefore = window.paintCount();
        window.update();
        if (shotDir_.empty() || !dialog.isVisible()) {
            drainEvents(std::chrono::milliseconds(0));
            return;
        }
        // Wait for the face to be painted, then until the screen shows it: the server draws
        // after the window system's own frame, later than the paint handler ran.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (window.paintCount() == paintsBefore && std::chrono::steady_clock::now() < until)
            drainEvents(std::chrono::milliseconds(10));
        wxImage shot = grabWindow(window.canvas());
        while (!window.onScreen(shot) && std::chrono::steady_clock::now() < until) {
            drainEvents(std::chrono::milliseconds(20));
            shot = grabWindow(window.canvas());
        }
        char name[64];
        std::snprintf(name, sizeof name, "%03d-dialog-%d.png", ++shots_,
                      dialog.dialogTemplate().resourceId);
        const std::string path = (std::filesystem::path(shotDir_) / name).string();
        if (!shot.IsOk() || !shot.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG))
            zhost::ed::print(L"*cannot write the dialog's screenshot " + zhost::fromUtf8(path) +
                             L"*\n");
    }

    wxWindow& main_;
    bool scripted_;
    std::string shotDir_;
    DialogBackendScope::TypedLines typed_;
    std::unique_ptr<Backend> headless_;
    std::vector<DialogWindow*> windows_; // the open dialogs, the top one last
    int shots_ = 0;
};

} // namespace

void drainEvents(std::chrono::milliseconds span) {
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    const auto until = std::chrono::steady_clock::now() + span;
    do {
        while (loop.Pending())
            loop.Dispatch();
        loop.ProcessIdle();
        wxMilliSleep(5);
    } while (std::chrono::steady_clock::now() < until);
}

DialogBackendScope::DialogBackendScope(wxWindow& mainWindow, bool scripted,
                                       std::string screenshotDir, TypedLines typed) {
    if (!screenshotDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(screenshotDir, ec);
    }
    setBackend(std::make_unique<WxBackend>(mainWindow, scripted, std::move(screenshotDir),
                                           std::move(typed)));
}

DialogBackendScope::~DialogBackendScope() {
    setBackend(nullptr);
}

wxImage grabWindow(wxWindow& window) {
    const wxRect r = window.GetScreenRect();
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    if (grabScreen(r.x, r.y, r.width, r.height, rgb, w, h)) {
        wxImage image(w, h, false);
        std::copy(rgb.begin(), rgb.end(), image.GetData());
        return image;
    }
    // Not on an X server: the toolkit's reading (only the first picture is sure to be fresh).
    wxBitmap picture(r.width, r.height, 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(picture);
        if (!memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y))
            return {};
    }
    return picture.ConvertToImage();
}

bool saveWindowPicture(wxWindow& window, const std::string& path) {
    const wxImage shot = grabWindow(window);
    return shot.IsOk() && shot.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}

} // namespace zorma::gui
