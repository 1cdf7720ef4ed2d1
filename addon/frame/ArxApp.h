#pragma once
// The application frame of a plug-in, in the shape the platform's SDK gives it (AcRxDbxApp and
// AcRxArxApp): acrxEntryPoint hands every application message to one static application object,
// which answers it through a virtual handler per message. The frame's own work on initialise is
// to unlock the application and to declare it MDI-aware when the derived class asks for that.
//
// The SDK frame also keeps tables of LISP-callable functions and custom runtime classes; this
// plug-in has neither, so the frame keeps no tables and the drawing messages have nothing to do.
#include "zhost/rx/app.h"

class AcRxDbxApp {
public:
    // unlockApp: the host may unload the library while it runs. mdiAware: the application works
    // with several open drawings.
    constexpr AcRxDbxApp(bool unlockApp, bool mdiAware)
        : m_bUnlockApp(unlockApp), m_bMDIAware(mdiAware) {}
    virtual ~AcRxDbxApp() = default;
    AcRxDbxApp(const AcRxDbxApp&) = delete;
    AcRxDbxApp& operator=(const AcRxDbxApp&) = delete;

    // What acrxEntryPoint returns for the message; every message code is answered.
    int EntryPoint(int message, void* packet);

    bool IsUnlockApp() const { return m_bUnlockApp; }
    bool IsMDIAware() const { return m_bMDIAware; }

protected:
    virtual int On_kInitAppMsg(void* packet);
    virtual int On_kUnloadAppMsg(void* packet);
    virtual int On_kLoadDwgMsg(void* packet);
    virtual int On_kUnloadDwgMsg(void* packet);
    virtual int On_kInvkSubrMsg(void* packet);
    // Every other message, codes above the known ones included.
    virtual int On_kOtherMsg(int message, void* packet);

private:
    bool m_bUnlockApp;
    bool m_bMDIAware;
};

// The frame of an application with an editor: on the drawing messages it would define, undefine
// and invoke its LISP functions. The table of them is empty here.
class AcRxArxApp : public AcRxDbxApp {
public:
    using AcRxDbxApp::AcRxDbxApp;

protected:
    int On_kLoadDwgMsg(void* packet) override;
    int On_kUnloadDwgMsg(void* packet) override;
    int On_kInvkSubrMsg(void* packet) override;
};
