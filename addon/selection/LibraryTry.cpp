// "zorma library try PART": opens the condition dialog of one part of the product's library,
// as the part-contents command will, so that a library author can try a description (and the
// tests can drive it) without placing anything. After OK it prints what the placement would
// read: every control's value and enabled flag, the drawing number and the symbol block name.
#include "frame/LibraryVerbs.h"
#include "frame/SettingsLib.h"
#include "selection/RunContCondDlg.h"

#include "zhost/editor/output.h"

namespace {

void PrintLine(const std::wstring& text) {
    zhost::ed::print(text + L"\n");
}

const wchar_t* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Drawing:
        return L"Drawing";
    case ControlKind::List:
        return L"List";
    case ControlKind::Radio:
        return L"Radio";
    case ControlKind::Check:
        return L"Check";
    case ControlKind::Edit:
        return L"Edit";
    case ControlKind::Quality:
        return L"Quality";
    case ControlKind::Label:
        return L"Label";
    case ControlKind::Header:
        return L"Header";
    case ControlKind::ComboList:
        return L"ComboList";
    }
    return L"";
}

int Usage(const std::wstring& why) {
    PrintLine(L"zorma library try: " + why);
    PrintLine(L"usage: zorma library try PART [--name DISPLAY-NAME] [--edit] [--drawing N]");
    return 2;
}

} // namespace

int LibraryTryVerb(const LibraryVerbArgs& args) {
    std::wstring part;
    std::wstring displayName;
    bool isEdit = false;
    int drawingNumber = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        if (a == L"--name" && i + 1 < args.size()) {
            displayName = args[++i];
        } else if (a == L"--edit") {
            isEdit = true;
        } else if (a == L"--drawing" && i + 1 < args.size()) {
            try {
                drawingNumber = std::stoi(args[++i]);
            } catch (...) {
                return Usage(L"--drawing takes a number");
            }
        } else if (!a.empty() && a[0] == L'-') {
            return Usage(L"unknown option \"" + a + L"\"");
        } else if (part.empty()) {
            part = a;
        } else {
            return Usage(L"one part at a time");
        }
    }
    if (part.empty())
        return Usage(L"which part? (the file base name of its description, e.g. B1180_Partial)");
    std::wstring root;
    if (!GetPartsDataRoot(root)) {
        PrintLine(L"zorma library try: the product has no parts library");
        return 1;
    }
    PartDescription desc;
    desc.SetLibraryRoot(root);
    if (desc.Load(part) < 0) {
        PrintLine(L"zorma library try: no description " + desc.GetDescriptionPath(part));
        return 1;
    }
    if (!RunContCondDlg(desc, displayName.empty() ? part : displayName, drawingNumber, isEdit)) {
        PrintLine(L"--- " + part + L": cancelled");
        return 1;
    }
    PrintLine(L"--- " + part + L": OK");
    for (const CParam& p : desc.m_params) {
        PrintLine(L"  " + p.m_name + L" (" + KindName(p.m_kind) + L") = \"" + p.m_value + L"\"" +
                  (p.m_enabledAtOk ? L"" : L" [disabled]"));
    }
    PrintLine(L"  drawing number = " + std::to_wstring(desc.m_drawingNumber));
    PrintLine(L"  symbol block = " + desc.m_symbolBlockName);
    return 0;
}
