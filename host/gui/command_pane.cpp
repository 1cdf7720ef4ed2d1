#include "command_pane.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace zorma::gui {

CommandPane::CommandPane(wxWindow* parent) : wxPanel(parent) {
    history_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(-1, 110),
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    prompt_ = new wxStaticText(this, wxID_ANY, wxS("Command:"));
    input_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_PROCESS_ENTER);
    input_->Bind(wxEVT_CHAR_HOOK, &CommandPane::onKey, this);
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(prompt_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    line->Add(input_, 1, wxEXPAND);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(history_, 1, wxEXPAND);
    column->Add(line, 0, wxEXPAND | wxTOP, 2);
    SetSizer(column);
}

void CommandPane::appendHistory(const std::wstring& text) {
    history_->AppendText(wxString(text));
}

void CommandPane::setPrompt(const std::wstring& prompt) {
    // The prompt text starts with a line break on the platform's command line.
    std::wstring shown = prompt;
    while (!shown.empty() && (shown.front() == L'\n' || shown.front() == L'\r'))
        shown.erase(0, 1);
    prompt_->SetLabel(wxString(shown.empty() ? std::wstring(L"Command:") : shown));
    Layout();
}

std::wstring CommandPane::historyText() const {
    return history_->GetValue().ToStdWstring();
}

void CommandPane::focusInput() {
    input_->SetFocus();
}

void CommandPane::submit(const std::wstring& line) {
    if (onLine)
        onLine(line);
}

void CommandPane::onKey(wxKeyEvent& e) {
    switch (e.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: {
        const std::wstring line = input_->GetValue().ToStdWstring();
        if (!line.empty())
            typed_.push_back(line);
        typedPos_ = typed_.size();
        input_->Clear();
        submit(line);
        return;
    }
    case WXK_ESCAPE:
        input_->Clear();
        submit(L"^C");
        return;
    case WXK_UP:
        if (typedPos_ > 0)
            input_->ChangeValue(wxString(typed_[--typedPos_]));
        input_->SetInsertionPointEnd();
        return;
    case WXK_DOWN:
        if (typedPos_ + 1 < typed_.size())
            input_->ChangeValue(wxString(typed_[++typedPos_]));
        else {
            typedPos_ = typed_.size();
            input_->Clear();
        }
        return;
    default:
        e.Skip();
    }
}

} // namespace zorma::gui
