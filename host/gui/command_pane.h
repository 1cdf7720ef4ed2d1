#pragma once
// The command line under the drawing: the history of prompts and messages, the current prompt
// and the input line. Enter hands the typed line on, Escape cancels, Up/Down walk the history
// of typed lines.
#include <wx/panel.h>

#include <functional>
#include <string>
#include <vector>

class wxStaticText;
class wxTextCtrl;

namespace zorma::gui {

class CommandPane : public wxPanel {
public:
    explicit CommandPane(wxWindow* parent);

    void appendHistory(const std::wstring& text);
    void setPrompt(const std::wstring& prompt);
    std::wstring historyText() const;
    void focusInput();

    // A line the user entered ("^C" for Escape).
    std::function<void(const std::wstring&)> onLine;

private:
    void onKey(wxKeyEvent& e);
    void submit(const std::wstring& line);

    wxTextCtrl* history_;
    wxStaticText* prompt_;
    wxTextCtrl* input_;
    std::vector<std::wstring> typed_;
    size_t typedPos_ = 0;
};

} // namespace zorma::gui
