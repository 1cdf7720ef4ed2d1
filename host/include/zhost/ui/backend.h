#pragma once
// The backend runs modal dialogs and popup menus. The headless backend (the default) reads
// "@dialog ..." lines from the editor's input source and echoes each state of the dialog to
// the transcript; a desktop backend would run a window-system loop behind the same calls.
#include "zhost/ui/types.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zhost::ui {

class Dialog;
class Menu;

class Backend {
public:
    virtual ~Backend() = default;
    // Runs the created dialog until it ends (the backend ends it with idCancel when its input
    // runs out).
    virtual void runModalLoop(Dialog& dialog) = 0;
    // The chosen command id, or 0.
    virtual int trackPopupMenu(Menu& menu, Point screen, Dialog* owner) = 0;
    virtual void showMessageBox(std::wstring_view text, std::wstring_view caption) = 0;
};

// The headless backend (see above). `onState`, when given, runs with the dialog after each state
// the transcript shows (when it opens, after each action and "@dialog show"): a desktop backend
// that runs scripted dialogs through it brings its window up to date there.
std::unique_ptr<Backend> makeHeadlessBackend(std::function<void(Dialog&)> onState = {});

Backend& backend();
void setBackend(std::unique_ptr<Backend> b); // null restores the headless backend

// The headless backend's script language (see docs/script.md): runs one "@dialog" directive
// (the text after "@dialog") on a dialog. False with a message when the directive is wrong or
// names something the dialog does not have.
bool runDialogDirective(Dialog& dialog, std::wstring_view args, std::wstring& message);
// "@clipboard TEXT" with \t, \n, \r and \\ escapes.
void runClipboardDirective(std::wstring_view args);
// Prints the dialog's state to the transcript.
void echoDialog(const Dialog& dialog);
// Registers "@dialog" and "@clipboard" with the editor's script input (done when the first
// dialog is created; harmless to repeat).
void installScriptDirectives();

} // namespace zhost::ui
