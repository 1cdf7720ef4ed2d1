#include "library/LibraryPrint.h"

#include "zhost/settings/messages.h"

namespace {

LibraryPrintHook& Hook() {
    static LibraryPrintHook hook;
    return hook;
}

} // namespace

void SetLibraryPrintHook(LibraryPrintHook hook) {
    Hook() = std::move(hook);
}

void LibraryPrint(const std::wstring& text) {
    if (Hook())
        Hook()(text);
    else
        zhost::settings::print(text);
}
