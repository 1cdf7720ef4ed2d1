#include "command_pane.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace zorma::gui {

CommandPane::CommandPane(wxWindow* parent) : wxPanel(parent) {
    history_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(-1, 110),
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    prompt_ = new wxStaticText(this, wxID_ANY, wxS("Command:"));
    input_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_PROCESS_ENTER);
    input_->Bind(wxEVT_CHAR_HOOK, &CommandPane::onKey, this);
    keywordRow_ = new wxPanel(this);
    keywordRow_->SetSizer(new wxBoxSizer(wxHORIZONTAL));
    // The row keeps a button's height when the prompt has no keywords: the view above must not
    // change its size (and its picture move under the cursor) from one prompt to the next.
    auto* probe = new wxButton(keywordRow_, wxID_ANY, wxS("X"), wxDefaultPosition, wxDefaultSize,
                               wxBU_EXACTFIT);
    keywordRow_->SetMinSize(wxSize(-1, probe->GetBestSize().y));
    probe->Destroy();
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(prompt_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    line->Add(input_, 1, wxEXPAND);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(history_, 1, wxEXPAND);
    column->Add(keywordRow_, 0, wxEXPAND | wxTOP, 2);
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

void CommandPane::setKeywords(const std::vector<std::wstring>& keywords,
                              const std::vector<std::wstring>& labels) {
    const bool labelled = labels.size() == keywords.size();
    if (keywords == keywords_ && (labelled ? labels : keywords) == labels_)
        return; // the same prompt again: the buttons stay as they are
    keywords_ = keywords;
    labels_ = labelled ? labels : keywords;
    keywordRow_->DestroyChildren();
    wxSizer* row = keywordRow_->GetSizer();
    row->Clear();
    for (size_t i = 0; i < keywords_.size(); ++i) {
        const std::wstring k = keywords_[i];
        auto* b = new wxButton(keywordRow_, wxID_ANY, wxString(labels_[i]), wxDefaultPosition,
                               wxDefaultSize, wxBU_EXACTFIT);
        b->Bind(wxEVT_BUTTON, [this, k](wxCommandEvent&) {
            submit(k);
            focusInput();
        });
        row->Add(b, 0, wxRIGHT, 4);
    }
    keywordRow_->Layout();
}

std::wstring CommandPane::keywordLayout() const {
    std::wstring out;
    size_t i = 0;
    for (const wxWindow* b : keywordRow_->GetChildren()) {
        if (i >= keywords_.size())
            break;
        const wxRect r(b->GetScreenPosition(), b->GetSize());
        wchar_t line[64];
        std::swprintf(line, 64, L" %d %d %d %d\n", r.x, r.y, r.width, r.height);
        out += L"keyword " + keywords_[i++] + line;
    }
    return out.empty() ? L"keyword -\n" : out;
}

namespace {

std::wstring upper(std::wstring s) {
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

} // namespace

void CommandPane::complete() {
    const std::wstring typed = input_->GetValue().ToStdWstring();
    if (!commandNames || (completing_.empty() && typed.find(L' ') != std::wstring::npos))
        return; // only the command name itself is completed
    const std::wstring prefix = completing_.empty() ? upper(typed) : completing_;
    if (prefix.empty())
        return;
    std::vector<std::wstring> matches;
    for (const std::wstring& name : commandNames())
        if (upper(name).rfind(prefix, 0) == 0)
            matches.push_back(upper(name));
    std::sort(matches.begin(), matches.end());
    matches.erase(std::unique(matches.begin(), matches.end()), matches.end());
    if (matches.empty())
        return;
    std::wstring shown;
    if (!completing_.empty()) {
        // Tab again: the next of the names.
        shown = matches[completion_++ % matches.size()];
    } else {
        // First the longest part all the names share; when that adds nothing, the names are
        // listed and each Tab shows the next.
        std::wstring common = matches.front();
        for (const std::wstring& m : matches) {
            size_t n = 0;
            while (n < common.size() && n < m.size() && common[n] == m[n])
                ++n;
            common.resize(n);
        }
        if (common.size() > prefix.size() || matches.size() == 1) {
            shown = common;
        } else {
            std::wstring list = L"\n";
            for (const std::wstring& m : matches)
                list += m + L"  ";
            appendHistory(list);
            completing_ = prefix;
            completion_ = 1;
            shown = matches.front();
        }
    }
    input_->ChangeValue(wxString(shown));
    input_->SetInsertionPointEnd();
}

void CommandPane::submit(const std::wstring& line) {
    if (onLine)
        onLine(line);
}

void CommandPane::onKey(wxKeyEvent& e) {
    if (e.GetKeyCode() != WXK_TAB) {
        completing_.clear();
        completion_ = 0;
    }
    switch (e.GetKeyCode()) {
    case WXK_TAB:
        complete();
        return;
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
