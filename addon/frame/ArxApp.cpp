#include "frame/ArxApp.h"

namespace rx = zhost::rx;

int AcRxDbxApp::EntryPoint(int message, void* packet) {
    switch (message) {
    case rx::kInitAppMsg:
        return On_kInitAppMsg(packet);
    case rx::kUnloadAppMsg:
        return On_kUnloadAppMsg(packet);
    case rx::kLoadDwgMsg:
        return On_kLoadDwgMsg(packet);
    case rx::kUnloadDwgMsg:
        return On_kUnloadDwgMsg(packet);
    case rx::kInvkSubrMsg:
        return On_kInvkSubrMsg(packet);
    default:
        return On_kOtherMsg(message, packet);
    }
}

int AcRxDbxApp::On_kInitAppMsg(void* packet) {
    // The dynamic linker answers false for a packet it did not hand out; the application still
    // starts, it just stays locked or single-document as the host decides.
    if (m_bUnlockApp)
        rx::dynamicLinker().unlockApplication(packet);
    if (m_bMDIAware)
        rx::dynamicLinker().registerAppMDIAware(packet);
    return rx::kRetOK;
}

int AcRxDbxApp::On_kUnloadAppMsg(void*) {
    return rx::kRetOK;
}

int AcRxDbxApp::On_kLoadDwgMsg(void*) {
    return rx::kRetOK;
}

int AcRxDbxApp::On_kUnloadDwgMsg(void*) {
    return rx::kRetOK;
}

int AcRxDbxApp::On_kInvkSubrMsg(void*) {
    return rx::kRetOK;
}

int AcRxArxApp::On_kLoadDwgMsg(void*) {
    return rx::kRetOK; // no LISP functions to define in the new drawing
}

int AcRxArxApp::On_kUnloadDwgMsg(void*) {
    return rx::kRetOK; // no LISP functions to undefine
}

int AcRxArxApp::On_kInvkSubrMsg(void*) {
    return rx::kRetOK; // no LISP function to invoke
}

int AcRxDbxApp::On_kOtherMsg(int, void*) {
    return rx::kRetOK;
}
