#include "frame/LibraryVerbs.h"

#include "zhost/core/utf.h"
#include "zhost/editor/output.h"
#include "zhost/rx/app.h"

#include <exception>

namespace {

void PrintLine(const std::wstring& text) {
    zhost::ed::print(text + L"\n");
}

int HelpVerb(const LibraryVerbArgs&) {
    PrintLine(L"zorma library VERB: the add-on's library verbs");
    for (const LibraryVerb& v : LibraryVerbs())
        PrintLine(std::wstring(L"  ") + v.name + (*v.usage ? L" " : L"") + v.usage + L"\n      " +
                  v.summary);
    return 0;
}

const LibraryVerb* FindVerb(const std::wstring& name) {
    for (const LibraryVerb& v : LibraryVerbs())
        if (name == v.name)
            return &v;
    return nullptr;
}

} // namespace

const std::vector<LibraryVerb>& LibraryVerbs() {
    static const std::vector<LibraryVerb> verbs = {
        {L"check", L"[--strict]",
         L"reads the whole parts library and reports what its author got wrong, with file and "
         L"line (--strict: warnings fail too)",
         &LibraryCheckVerb},
        {L"pick", L"[--text]",
         L"opens the picture catalogue (--text: the text catalogue) and prints the chosen part's "
         L"file base name and display name, separated by a tab",
         &LibraryPickVerb},
        {L"try", L"PART [--name TEXT] [--edit] [--drawing N]",
         L"opens the condition dialog of PART (answers from the script's @dialog lines) and "
         L"prints the values the placement would read",
         &LibraryTryVerb},
        {L"help", L"", L"lists these verbs", &HelpVerb},
    };
    return verbs;
}

int RunLibraryVerb(const std::wstring& verb, const LibraryVerbArgs& args) {
    const LibraryVerb* v = FindVerb(verb);
    if (v == nullptr) {
        PrintLine(L"zorma library: unknown verb \"" + verb + L"\"");
        HelpVerb(args);
        return 2;
    }
    try {
        return v->body(args);
    } catch (const std::exception& e) {
        PrintLine(L"zorma library " + verb + L": stopped: " + zhost::fromUtf8(e.what()));
    } catch (...) {
        PrintLine(L"zorma library " + verb + L": stopped by an unknown error");
    }
    return 2;
}

// The program's "zorma library VERB ARGS...". Arguments arrive in UTF-8 (the program's command
// line); a null argv with argc 0 is accepted.
ZHOST_ADDON_EXPORT int zorma_library_verb(const char* verb, int argc, const char* const* argv) {
    try {
        LibraryVerbArgs args;
        for (int i = 0; i < argc && argv != nullptr; ++i)
            args.push_back(zhost::fromUtf8(argv[i] ? argv[i] : ""));
        return RunLibraryVerb(zhost::fromUtf8(verb ? verb : ""), args);
    } catch (...) {
        return 2;
    }
}
