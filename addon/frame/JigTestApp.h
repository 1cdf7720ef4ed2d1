#pragma once
// The plug-in's application object and its command table. On the initialise message the six
// commands are added to the host's command stack under the group "TRVCommand", in table order;
// on the unload message they are removed again.
#include "frame/ArxApp.h"

#include <cstddef>

// The command group every command of the plug-in is registered under.
inline constexpr const wchar_t* kZormaCommandGroup = L"TRVCommand";

// One row of the command table.
struct CZormaCommand {
    void (*m_pfnHandler)();
    const wchar_t* m_pszGlobalName;
    const wchar_t* m_pszLocalName;
    const wchar_t* m_pszGroupName;
    int m_nFlags;
    void* m_pUIContext; // always null: no command has a context menu
    int m_nLocalNameId; // always 0: the local name is given as text, not by string resource
};

// The table, in registration order.
const CZormaCommand* GetZormaCommandTable(std::size_t& count);

class CJigTestApp : public AcRxArxApp {
public:
    constexpr CJigTestApp() : AcRxArxApp(true, true) {}

protected:
    int On_kInitAppMsg(void* packet) override;
    int On_kUnloadAppMsg(void* packet) override;
};

// The one application object that acrxEntryPoint talks to.
CJigTestApp& GetJigTestApp();
