// `zorma gui`: the frame (drawing view, command line, status bar), the input source that feeds
// the editor from the window or from a script run against it, and the program's entry.
#include "gui.h"

#include "command_pane.h"
#include "drawing_view.h"

#include "zhost/core/utf.h"
#include "zhost/editor/output.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/point3d.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <string_view>
#include <vector>

namespace zorma::gui {
using namespace zhost;

namespace {

enum MenuId { idZoomExtents = wxID_HIGHEST + 1, idFirstCommand };

// The add-on's commands, offered in the Commands menu.
const wchar_t* const kAddonCommands[] = {L"ZORMA_CONT",     L"ZORMA_CONT_EDIT",
                                         L"ZORMA_GEOMCALC", L"KORU_ATTACH_PC_XDATA",
                                         L"ZORMA_HIDE",     L"ZORMA_HIDE_RESTORE"};

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
        auto* commands = new wxMenu;
        int id = idFirstCommand;
        for (const wchar_t* name : kAddonCommands)
            commands->Append(id++, wxString(name));
        auto* bar = new wxMenuBar;
        bar->Append(file, wxS("&File"));
        bar->Append(view, wxS("&View"));
        bar->Append(commands, wxS("&Commands"));
        SetMenuBar(bar);
        CreateStatusBar(1);
        view_ = new DrawingView(this);
        pane_ = new CommandPane(this);
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(view_, 1, wxEXPAND);
        column->Add(pane_, 0, wxEXPAND);
        SetSizer(column);
        Bind(
            wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_NEW);
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_OPEN);
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_SAVE);
        Bind(wxEVT_MENU, &MainFrame::onFileMenu, this, wxID_SAVEAS);
        Bind(
            wxEVT_MENU,
            [this](wxCommandEvent& e) { runCommand({kAddonCommands[e.GetId() - idFirstCommand]}); },
            idFirstCommand, id - 1);
        Bind(
            wxEVT_MENU, [this](wxCommandEvent&) { view_->zoomExtents(); }, idZoomExtents);
        view_->onMotion = [this](WorldPoint p) {
            // Coordinates as the user types them: in the current UCS.
            const geom::Point3d u = ed::wcsToUcs(geom::Point3d(p.x, p.y, 0));
            SetStatusText(wxString(numberText(u.x) + L", " + numberText(u.y)));
        };
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
        : frame_(frame), script_(std::move(script)) {
        frame_.pane_->onLine = [this](const std::wstring& line) { deliver(line); };
        frame_.view_->onPick = [this](WorldPoint p) {
            deliver(L"@pick " + numberText(p.x) + L"," + numberText(p.y));
        };
        frame_.view_->onEnter = [this] { deliver(L""); };
        frame_.onCommand = [this](const std::vector<std::wstring>& lines) { command(lines); };
        frame_.Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
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
        });
    }

    bool readLine(std::wstring_view prompt, ed::InputLine& out) override {
        frame_.view_->refreshDrawing();
        frame_.pane_->setPrompt(std::wstring(prompt));
        atCommandPrompt_ = trimmed(prompt) == L"Command:";
        pump();
        if (script_)
            return script_->readLine(prompt, out);
        frame_.pane_->focusInput();
        while (lines_.empty() && !closed_)
            loop_.Run();
        if (lines_.empty())
            return false;
        out.text = lines_.front();
        out.lineNumber = 0;
        out.sourceName = L"<window>";
        lines_.pop_front();
        return true;
    }

    // Handles what is waiting in the window's event queue without blocking.
    void pump() {
        wxEventLoopActivator active(&loop_);
        while (loop_.Pending())
            loop_.Dispatch();
        loop_.ProcessIdle();
    }

private:
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
};

class WindowFrontEnd : public app::SessionFrontEnd {
public:
    explicit WindowFrontEnd(MainFrame& frame) : frame_(frame) {}

    std::unique_ptr<ed::InputSource> attachInput(std::unique_ptr<ed::InputSource> script) override {
        auto input = std::make_unique<WindowInput>(frame_, std::move(script));
        input_ = input.get();
        return input;
    }

    void sessionEnded() override {
        // The last picture of the drawing stays in the view after the session closes it.
        frame_.view_->refreshDrawing();
        frame_.pane_->setPrompt(L"");
        settle();
    }

    // Lets the window reach its final state (mapped, laid out, painted).
    void settle() {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
        do {
            while (loop.Pending())
                loop.Dispatch();
            loop.ProcessIdle();
            wxMilliSleep(10);
        } while (std::chrono::steady_clock::now() < until);
    }

private:
    MainFrame& frame_;
    WindowInput* input_ = nullptr;
};

// The transcript goes both to standard output (as `zorma run` writes it) and to the window's
// history; the default sink comes back when the window goes.
class TranscriptToWindow {
public:
    explicit TranscriptToWindow(CommandPane& pane) {
        ed::setTranscriptSink([&pane](std::wstring_view text) {
            std::cout << toUtf8(text) << std::flush;
            pane.appendHistory(std::wstring(text));
        });
    }
    ~TranscriptToWindow() { ed::setTranscriptSink({}); }
    TranscriptToWindow(const TranscriptToWindow&) = delete;
    TranscriptToWindow& operator=(const TranscriptToWindow&) = delete;
};

bool saveScreenshot(wxFrame& frame, const std::string& path) {
    const wxRect r = frame.GetScreenRect();
    wxBitmap picture(r.width, r.height, 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(picture);
        if (!memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y))
            return false;
    }
    return picture.ConvertToImage().SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}

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
        const TranscriptToWindow transcript(*frame->pane_);
        rc = app::runSession(options, false, &front);
        if (!options.screenshot.empty() && !saveScreenshot(*frame, options.screenshot)) {
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
