#pragma once
// The window's commands as the Commands menu and the two toolbars list them: the file commands
// and the host's drafting commands as small icons in the first bar, the add-on's commands as
// text buttons in the second (their names say more than any picture would).
#include <string>
#include <vector>

class wxAuiToolBar;
class wxWindow;

namespace zorma::gui {

// Groups are separated in the menu and in the bars.
enum class CommandGroup { addon, draw, modify, inquiry, undo };

struct CommandTool {
    const wchar_t* name; // as typed, and the tool's tooltip
    CommandGroup group;
};

// The add-on's commands first, then the host's, in the order of the menu.
const std::vector<CommandTool>& commandTools();

struct ToolBars {
    wxAuiToolBar* host = nullptr;  // New, Open, Save, then the host's commands
    wxAuiToolBar* addon = nullptr; // the add-on's commands
    int firstCommandId = 0;
};

// The tools of command i of commandTools() have the id firstCommandId + i, as the menu's items
// do; the file tools have wxID_NEW, wxID_OPEN and wxID_SAVE. Both send wxEVT_MENU to the parent.
ToolBars createToolBars(wxWindow* parent, int firstCommandId);

// Where each tool is on the screen, one line a tool: "tool NAME X Y W H" (W and H 0 for a tool
// that does not fit in its bar). For tests that click the tools.
std::wstring toolLayout(const ToolBars& bars);

// With ZORMA_GUI_LAYOUT set in the environment, prints each line of `lines` to standard error
// after "zorma gui: layout " when it differs from what was last reported for its first word.
void reportLayout(const std::wstring& lines);

} // namespace zorma::gui
