// "zorma library check [--strict]": the library check as a verb of the program. The product
// folder is the one the program configured (--product).
#include "frame/LibraryVerbs.h"
#include "library/LibraryCheck.h"

#include "zhost/editor/output.h"

int LibraryCheckVerb(const LibraryVerbArgs& args) {
    bool strict = false;
    for (const std::wstring& a : args) {
        if (a == L"--strict") {
            strict = true;
        } else {
            zhost::ed::print(L"zorma library check: unknown argument \"" + a +
                             L"\"\nusage: zorma library check [--product DIR] [--strict]\n");
            return 2;
        }
    }
    return CheckLibrary(
        std::wstring(), [](const std::wstring& line) { zhost::ed::print(line + L"\n"); }, strict);
}
