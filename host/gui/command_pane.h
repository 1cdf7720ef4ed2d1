#pragma once
// The command line under the drawing: the history of prompts and messages, the keywords of the
// current prompt as buttons, the current prompt and the input line. Enter hands the typed line
// on, Escape cancels, Up/Down walk the history of typed lines, Tab completes a command name.
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
    // The keywords the waiting prompt offers; a click answers with one as if it were typed. The
    // buttons show `labels` when there is one for each keyword, else the keywords.
    void setKeywords(const std::vector<std::wstring>& keywords,
                     const std::vector<std::wstring>& labels);

    // Where the keyword buttons are on the screen: "keyword KEYWORD X Y W H" a line, or
    // "keyword -" when there are none (for tests that click them).
    std::wstring keywordLayout() const;

    // The names Tab completes from (command names, asked for when Tab is pressed).
    std::function<std::vector<std::wstring>()> commandNames;

    // A line the user entered ("^C" for Escape).
    std::function<void(const std::wstring&)> onLine;

private:
    void onKey(wxKeyEvent& e);
    void submit(const std::wstring& line);
    void complete();

    wxTextCtrl* history_;
    wxStaticText* prompt_;
    wxTextCtrl* input_;
    std::vector<std::wstring> typed_;
    size_t typedPos_ = 0;
    wxPanel* keywordRow_;
    std::vector<std::wstring> keywords_, labels_;
    // Repeated Tabs step through the names that begin with what was typed before the first.
    std::wstring completing_;
    size_t completion_ = 0;
};

} // namespace zorma::gui
