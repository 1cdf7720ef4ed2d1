// `zorma gui`: the frame (drawing view, command line, status bar), the input source that feeds
// the editor from the window or from a script run against it, and the program's entry.
#include "gui.h"

#include "command_pane.h"
#include "dialog_backend.h"
#include "drawing_view.h"
#include "pointer_input.h"
#include "tool_bars.h"

#include "zhost/core/utf.h"
#include "zhost/editor/osnap.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompt_view.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/point3d.h"
#include "zhost/rx/commands.h"

#include <wx/app.h>
#include <wx/aui/auibar.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

namespace zorma::gui {
using namespace zhost;

namespace {

enum MenuId { idZoomExtents = wxID_HIGHEST + 1, idZoomWindow, idZoomPrevious, idFirstCommand };

// The status bar: the cursor, then the drawing aids as the platform's buttons show them.
enum StatusField { fieldCoordinates, fieldSnap, fieldOrtho, fieldOsnap, fieldCount };

// A path as an answer of the file commands' name prompts (quotes allowed around it).
std::wstring quoted(const wxString& path) {
    return L"\"" + path.ToStdWstring() + L"\"";
}

std::wstring numberText(double v) {
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%.4f", v);
    return buffer;
}

class MainFrame : public wxFrame {
public:
    MainFrame() : wxFrame(nullptr, wxID_ANY, wxS("ZORMA"), wxDefaultPosition, wxSize(960, 720)) {
        auto* file = new wxMenu;
        file->Append(wxID_NEW, wxS("&New\tCtrl+N"));
        file->Append(wxID_OPEN, wxS("&Open...\tCtrl+O"));
        file->Append(wxID_SAVE, wxS("&Save\tCtrl+S"));
        file->Append(wxID_SAVEAS, wxS("Save &as..."));
        file->AppendSeparator();
        file->Append(wxID_EXIT, wxS("&Quit\tCtrl+Q"));
        auto* view = new wxMenu;
        view->Append(idZoomExtents, wxS("Zoom &extents\tCtrl+E"));
        view->Append(idZoomWindow, wxS("Zoom &window"));
        view->Append(idZoomPrevious, wxS("Zoom &previous"));
        auto* commands = new wxMenu;
        int id = idFirstCommand;
        std::optional<CommandGroup> group;
        for (const CommandTool& t : commandTools()) {
            if (group && group != t.group)
                commands->AppendSeparator();
            group = t.group;
            commands->Append(id++, wxString(t.name));
        }
        auto* bar = new wxMenuBar;
        bar->Append(file, wxS("&File"));
        bar->Append(view, wxS("&View"));
        bar->Append(commands, wxS("&Commands"));
        SetMenuBar(bar);
        CreateStatusBar(fieldCount);
        const int widths[fieldCount] = {-1, 100, 110, 120};
        SetStatusWidths(fieldCount, widths);
        tools_ = createToolBars(this, idFirstCommand);
        view_ = new DrawingView(this);
        pane_ = new CommandPane(this);
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(tools_.host, 0, wxEXPAND);
        column->Add(tools_.addon, 0, wxEXPAND);
        column->Add(view_, 1, wxEXPAND);
        column->Add(pane_, 0, wxEXPAND);
        SetSizer(column);
        Bind(
            wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
        // The program destroys the frame when the session is over; closing it never does (the
        // session's input, while there is one, turns closing into QUIT).
        Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) {});
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_NEW);
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_OPEN);
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_SAVE);
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_SAVEAS);
        Bind(
            wxEVT_MENU,
            [this](wxCommandEvent& e) {
                runCommand({commandTools()[e.GetId() - idFirstCommand].name});
            },
            idFirstCommand, id - 1);
        Bind(
            wxEVT_MENU, [this](wxCommandEvent&) { view_->zoomExtents(); }, idZoomExtents);
        // The two corners are then picked in the view, as for ZOOM typed.
        Bind(
            wxEVT_MENU,
            [this](wxCommandEvent&) {
                runCommand({L"ZOOM", L"W"});
            },
            idZoomWindow);
        Bind(
            wxEVT_MENU,
            [this](wxCommandEvent&) {
                runCommand({L"ZOOM", L"P"});
            },
            idZoomPrevious);
        // Tests find the tools where this says they are, after every change of the layout.
        Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
            CallAfter([this] {
                reportLayout(toolLayout(tools_));
                // The view in the frame's pixels, as a screenshot of the window shows it.
                const wxRect v(view_->GetScreenPosition() - GetScreenPosition(),
                               view_->GetClientSize());
                reportLayout(wxString::Format("view %d %d %d %d\n", v.x, v.y, v.width, v.height)
                                 .ToStdWstring());
            });
            e.Skip();
        });
        showDrawingAids();
    }

    // Coordinates as the user types them: in the current UCS.
    void showCoordinates(WorldPoint p) {
        const geom::Point3d u = ed::wcsToUcs(geom::Point3d(p.x, p.y, 0));
        SetStatusText(wxString(numberText(u.x) + L", " + numberText(u.y)), fieldCoordinates);
    }

    void showDrawingAids() {
        int snap = 0, ortho = 0, osmode = 0;
        (void)ed::getVarInt(L"SNAPMODE", snap);
        (void)ed::getVarInt(L"ORTHOMODE", ortho);
        (void)ed::getVarInt(L"OSMODE", osmode);
        const bool osnap = osmode != 0 && !(osmode & ed::osmode::suppressed);
        SetStatusText(snap ? wxS("SNAP on") : wxS("SNAP off"), fieldSnap);
        SetStatusText(ortho ? wxS("ORTHO on") : wxS("ORTHO off"), fieldOrtho);
        SetStatusText(osnap ? wxS("OSNAP on") : wxS("OSNAP off"), fieldOsnap);
    }

    // The lines of a command from a menu; the window's input decides how they reach the editor.
    void runCommand(const std::vector<std::wstring>& lines) {
        if (onCommand)
            onCommand(lines);
    }

    DrawingView* view_;
    CommandPane* pane_;
    std::function<void(const std::vector<std::wstring>&)> onCommand;

private:
    ToolBars tools_;

    // The file commands of the editor do the work (the unsaved-changes question, the safe save
    // with "NAME.bak"); the menu only asks for the file name in the desktop's own dialog.
    void onFileMenu(wxCommandEvent& e) {
        const wxString filter = wxS("Drawings (*.dxf;*.dwg)|*.dxf;*.DXF;*.dwg;*.DWG|All files|*");
        switch (e.GetId()) {
        case wxID_NEW:
            runCommand({L"NEW"});
            break;
        case wxID_OPEN: {
            wxFileDialog ask(this, wxS("Open drawing"), wxEmptyString, wxEmptyString, filter,
                             wxFD_OPEN | wxFD_FILE_MUST_EXIST);
            if (ask.ShowModal() == wxID_OK)
                runCommand({L"OPEN", quoted(ask.GetPath())});
            break;
        }
        case wxID_SAVE:
            runCommand({L"QSAVE"});
            break;
        case wxID_SAVEAS: {
            // SAVEAS asks itself before it replaces another file.
            wxFileDialog ask(this, wxS("Save drawing as"), wxEmptyString, wxEmptyString, filter,
                             wxFD_SAVE);
            if (ask.ShowModal() == wxID_OK)
                runCommand({L"SAVEAS", L"", quoted(ask.GetPath())});
            break;
        }
        default:
            break;
        }
    }
};

// The editor's input while the window lives. With a script, its lines are answered one by one
// and the window is brought up to date between them; without one, the command line and the
// mouse give the lines, in a nested event loop that ends when a line is there.
class WindowInput : public ed::InputSource {
public:
    WindowInput(MainFrame& frame, std::unique_ptr<ed::InputSource> script)
        : frame_(frame), script_(std::move(script)),
          pointer_(*frame.view_, [this](const std::wstring& line) { deliver(line); }) {
        frame_.pane_->onLine = [this](const std::wstring& line) {
            if (line == L"^C")
                pointer_.cancelRectangle(); // Escape drops a rectangle being spanned
            deliver(line);
        };
        frame_.pane_->commandNames = [] {
            std::vector<std::wstring> names;
            for (const rx::CommandEntry& c : rx::commandStack().commands()) {
                names.push_back(c.globalName);
                names.push_back(c.localName);
            }
            return names;
        };
        // While a script runs the mouse answers nothing (the script does).
        frame_.view_->onLeftDown = [this](const MouseAt& m) {
            if (!script_)
                pointer_.leftDown(m);
        };
        frame_.view_->onLeftUp = [this](const MouseAt& m) {
            if (!script_)
                pointer_.leftUp(m);
        };
        frame_.view_->onMotion = [this](const MouseAt& m) {
            frame_.showCoordinates(m.world);
            if (!script_)
                pointer_.motion(m);
        };
        frame_.view_->onLeave = [this] { pointer_.leave(); };
        frame_.view_->onEnter = [this] { deliver(L""); };
        frame_.Bind(wxEVT_CHAR_HOOK, &WindowInput::onKey, this);
        frame_.onCommand = [this](const std::vector<std::wstring>& lines) { command(lines); };
        frame_.Bind(wxEVT_CLOSE_WINDOW, &WindowInput::onClose, this);
    }

    ~WindowInput() override {
        // The frame outlives the session's input (keys typed and clicks made while the session
        // ends still arrive): nothing of it may call back here.
        frame_.Unbind(wxEVT_CHAR_HOOK, &WindowInput::onKey, this);
        frame_.Unbind(wxEVT_CLOSE_WINDOW, &WindowInput::onClose, this);
        frame_.onCommand = nullptr;
        frame_.pane_->onLine = nullptr;
        frame_.pane_->commandNames = nullptr;
        frame_.view_->onEnter = nullptr;
        frame_.view_->onLeftDown = nullptr;
        frame_.view_->onLeftUp = nullptr;
        frame_.view_->onLeave = nullptr;
        frame_.view_->onMotion = [frame = &frame_](const MouseAt& m) {
            frame->showCoordinates(m.world);
        };
        if (onGone)
            onGone();
    }
    WindowInput(const WindowInput&) = delete;
    WindowInput& operator=(const WindowInput&) = delete;

    std::function<void()> onGone;

    // Whether what the editor prints now belongs in the window's history: the echo of a cursor
    // move and the prompt printed again after it would flood it while the mouse drags.
    bool quiet() const { return quiet_; }

    // The next typed line when `accept` takes it (lines a dialog reads while open); otherwise it
    // stays for the prompt that comes after.
    bool takeLine(const std::function<bool(std::wstring_view)>& accept, std::wstring& out) {
        if (lines_.empty() || !accept(lines_.front()))
            return false;
        out = lines_.front();
        lines_.pop_front();
        return true;
    }

    bool readLine(std::wstring_view prompt, ed::InputLine& out) override {
        quiet_ = false;
        // A cursor move changes nothing in the drawing, only what a drag shows over it: the
        // picture is not rendered again and the prompt stays.
        const bool afterMove = lastWasMove_;
        if (!afterMove) {
            frame_.view_->refreshDrawing();
            frame_.pane_->setPrompt(std::wstring(prompt));
            frame_.pane_->setKeywords(ed::currentPromptView().keywords, keywordLabels(prompt));
            frame_.showDrawingAids();
        }
        pointer_.promptShown(afterMove);
        atCommandPrompt_ = trimmed(prompt) == L"Command:";
        pump();
        if (!afterMove)
            reportLayout(frame_.pane_->keywordLayout());
        if (atCommandPrompt_ && !failure_.empty())
            showFailure();
        if (script_) {
            const bool got = script_->readLine(prompt, out);
            lastWasMove_ = got && isMove(out.text);
            return got;
        }
        if (!afterMove)
            frame_.pane_->focusInput();
        while (lines_.empty() && !closed_)
            loop_.Run();
        if (lines_.empty())
            return false;
        out.text = lines_.front();
        out.lineNumber = 0;
        out.sourceName = L"<window>";
        lines_.pop_front();
        lastWasMove_ = isMove(out.text);
        quiet_ = lastWasMove_;
        return true;
    }

    // The transcript as it is written: a drawing that could not be opened is also told in a
    // message box once the command is over, so that it is not missed in the history.
    void noteTranscript(std::wstring_view text) {
        if (script_)
            return;
        const size_t at = text.find(L"Cannot open \"");
        if (at != std::wstring_view::npos)
            failure_ = std::wstring(text.substr(at));
    }

    // Handles what is waiting in the window's event queue without blocking.
    void pump() {
        wxEventLoopActivator active(&loop_);
        while (loop_.Pending())
            loop_.Dispatch();
        loop_.ProcessIdle();
    }

private:
    // The options as the prompt shows them ("[自由長さ(C)/長さ入力(L)]"), when they are as many
    // as its keywords: the buttons then read as the prompt does.
    static std::vector<std::wstring> keywordLabels(std::wstring_view prompt) {
        const size_t open = prompt.rfind(L'['), close = prompt.rfind(L']');
        std::vector<std::wstring> labels;
        if (open == std::wstring_view::npos || close == std::wstring_view::npos || close < open)
            return labels;
        std::wstring_view inside = prompt.substr(open + 1, close - open - 1);
        while (true) {
            const size_t slash = inside.find(L'/');
            labels.emplace_back(inside.substr(0, slash));
            if (slash == std::wstring_view::npos)
                break;
            inside.remove_prefix(slash + 1);
        }
        return labels;
    }

    static bool isMove(std::wstring_view line) {
        return line.size() > 6 &&
               (line.substr(0, 6) == L"@move " || line.substr(0, 6) == L"@MOVE ");
    }

    void onClose(wxCloseEvent& e) {
        // The session still owns the drawing the view shows: the frame goes when it ends.
        if (e.CanVeto())
            e.Veto();
        if (!script_ && e.CanVeto()) {
            // QUIT asks about unsaved changes on the command line and ends the session.
            command({L"QUIT"});
            return;
        }
        closed_ = true;
        if (loop_.IsRunning())
            loop_.ScheduleExit();
    }

    void showFailure() {
        const std::wstring text = failure_;
        failure_.clear();
        wxMessageBox(wxString(text), wxS("ZORMA: cannot open the drawing"), wxOK | wxICON_ERROR,
                     &frame_);
    }

    // Keys that reach the frame: those the command line does not take itself, and all of them
    // while the view has the focus.
    void onKey(wxKeyEvent& e) {
        switch (e.GetKeyCode()) {
        case WXK_F3:
            toggle(L"OSMODE", ed::osmode::suppressed, L"<Osnap off>", L"<Osnap on>");
            return;
        case WXK_F8:
            toggle(L"ORTHOMODE", 1, L"<Ortho on>", L"<Ortho off>");
            return;
        case WXK_F9:
            toggle(L"SNAPMODE", 1, L"<Snap on>", L"<Snap off>");
            return;
        case WXK_ESCAPE:
            pointer_.cancelRectangle();
            deliver(L"^C");
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            deliver(L"");
            return;
        default:
            e.Skip();
        }
    }

    // Flips bits of a drawing aid's variable; `whenSet` is said when the bits are now set.
    void toggle(const wchar_t* name, int bits, const wchar_t* whenSet, const wchar_t* whenClear) {
        int value = 0;
        if (!ok(ed::getVarInt(name, value)) || !ok(ed::setVarInt(name, value ^ bits)))
            return;
        frame_.pane_->appendHistory(std::wstring(L"\n") +
                                    ((value ^ bits) & bits ? whenSet : whenClear));
        frame_.showDrawingAids();
        pointer_.modesChanged();
    }

    static std::wstring_view trimmed(std::wstring_view text) {
        const auto first = text.find_first_not_of(L" \r\n");
        if (first == std::wstring_view::npos)
            return {};
        return text.substr(first, text.find_last_not_of(L" \r\n") - first + 1);
    }

    // A command from a menu starts at the command prompt: one in progress is cancelled first.
    void command(const std::vector<std::wstring>& lines) {
        if (!atCommandPrompt_)
            deliver(L"^C");
        for (const std::wstring& line : lines)
            deliver(line);
    }

    void deliver(const std::wstring& line) {
        if (script_)
            return; // a script run is not interrupted by the mouse
        // Only the newest cursor position matters to a drag that lags behind the mouse.
        if (isMove(line) && !lines_.empty() && isMove(lines_.back()))
            lines_.back() = line;
        else
            lines_.push_back(line);
        if (loop_.IsRunning())
            loop_.ScheduleExit();
    }

    MainFrame& frame_;
    std::unique_ptr<ed::InputSource> script_;
    wxGUIEventLoop loop_;
    std::deque<std::wstring> lines_;
    bool closed_ = false;
    bool atCommandPrompt_ = false;
    PointerInput pointer_;
    bool lastWasMove_ = false;
    bool quiet_ = false;
    std::wstring failure_;
};

class WindowFrontEnd : public app::SessionFrontEnd {
public:
    explicit WindowFrontEnd(MainFrame& frame) : frame_(frame) {}

    std::unique_ptr<ed::InputSource> attachInput(std::unique_ptr<ed::InputSource> script) override {
        auto input = std::make_unique<WindowInput>(frame_, std::move(script));
        input_ = input.get();
        input_->onGone = [this] { input_ = nullptr; };
        return input;
    }

    void sessionEnded() override {
        // The last picture of the drawing stays in the view after the session closes it.
        frame_.view_->refreshDrawing();
        frame_.view_->setOverlay({});
        frame_.view_->setHighlighted({});
        frame_.pane_->setPrompt(L"");
        frame_.pane_->setKeywords({}, {});
        settle();
    }

    bool takeTypedLine(const std::function<bool(std::wstring_view)>& accept, std::wstring& out) {
        return input_ && input_->takeLine(accept, out);
    }

    // Returns whether the text goes into the window's history too.
    bool noteTranscript(std::wstring_view text) {
        if (!input_)
            return true;
        input_->noteTranscript(text);
        return !input_->quiet();
    }

    // Lets the window reach its final state (mapped, laid out, painted).
    void settle() { drainEvents(std::chrono::milliseconds(150)); }

private:
    MainFrame& frame_;
    WindowInput* input_ = nullptr;
};

// The transcript goes both to standard output (as `zorma run` writes it) and to the window's
// history; the default sink comes back when the window goes.
class TranscriptToWindow {
public:
    TranscriptToWindow(CommandPane& pane, WindowFrontEnd& front) {
        ed::setTranscriptSink([&pane, &front](std::wstring_view text) {
            std::cout << toUtf8(text) << std::flush;
            if (front.noteTranscript(text))
                pane.appendHistory(std::wstring(text));
        });
    }
    ~TranscriptToWindow() { ed::setTranscriptSink({}); }
    TranscriptToWindow(const TranscriptToWindow&) = delete;
    TranscriptToWindow& operator=(const TranscriptToWindow&) = delete;
};

struct WxSession {
    // wxEntryStart takes the application object made here and deletes it in wxEntryCleanup.
    WxSession(int& argc, char** argv)
        : started((wxApp::SetInstance(new wxApp), wxEntryStart(argc, argv))) {}
    ~WxSession() {
        if (started)
            wxEntryCleanup();
    }
    WxSession(const WxSession&) = delete;
    WxSession& operator=(const WxSession&) = delete;
    bool started;
};

} // namespace

int runGui(const app::RunOptions& options) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland)) {
        std::fprintf(stderr, "zorma gui: no display available (DISPLAY is not set); run it on a "
                             "desktop or under xvfb-run\n");
        return 3;
    }
    static char name[] = "zorma";
    char* argv[] = {name, nullptr};
    int argc = 1;
    const WxSession wx(argc, argv);
    if (!wx.started) {
        std::fprintf(stderr, "zorma gui: cannot open the display %s\n", display ? display : "");
        return 3;
    }
    wxInitAllImageHandlers();
    auto* frame = new MainFrame; // the window system owns it; Destroy() below ends it
    frame->Show();
    int rc = 0;
    {
        WindowFrontEnd front(*frame);
        front.settle();
        const TranscriptToWindow transcript(*frame->pane_, front);
        const DialogBackendScope dialogs(
            *frame, !options.script.empty(), options.dialogScreenshots,
            [&front](const std::function<bool(std::wstring_view)>& accept, std::wstring& out) {
                return front.takeTypedLine(accept, out);
            });
        rc = app::runSession(options, false, &front);
        if (!options.screenshot.empty() && !saveWindowPicture(*frame, options.screenshot)) {
            std::fprintf(stderr, "zorma gui: cannot write the screenshot %s\n",
                         options.screenshot.c_str());
            rc = rc == 0 ? 2 : rc;
        }
    }
    frame->Destroy();
    wxTheApp->ProcessPendingEvents();
    return rc;
}

} // namespace zorma::gui
