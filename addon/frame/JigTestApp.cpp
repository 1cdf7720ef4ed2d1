#include "frame/JigTestApp.h"

#include "frame/CommandBodies.h"
#include "frame/ModuleInfo.h"

#include "zhost/rx/commands.h"

#include <iterator>

namespace cmd = zhost::rx::cmd;

namespace {

// Each handler only calls the body, so that the typed command and the entry point by ordinal
// behave the same.
void CmdZormaCont() {
    ZormaContMain(kPartsContentsNew);
}
void CmdZormaContEdit() {
    ZormaContMain(kPartsContentsEdit);
}
void CmdZormaGeomCalc() {
    ZormaGeomCalcMain();
}
void CmdZormaHide() {
    ZormaHideMain();
}
void CmdZormaHideRestore() {
    ZormaHideRestoreMain();
}
void CmdKoruAttachPcXdata() {
    KoruAttachPcXdataMain();
}

constexpr CZormaCommand kCommands[] = {
    {&CmdZormaCont, L"ZORMA_CONT", L"ZORMA_CONT", kZormaCommandGroup,
     cmd::kTransparent | cmd::kUsePickSet, nullptr, 0},
    {&CmdZormaContEdit, L"ZORMA_CONT_EDIT", L"ZORMA_CONT_EDIT", kZormaCommandGroup,
     cmd::kTransparent | cmd::kUsePickSet | cmd::kRedraw | cmd::kNoHistory, nullptr, 0},
    {&CmdZormaGeomCalc, L"ZORMA_GEOMCALC", L"ZORMA_GEOMCALC", kZormaCommandGroup, cmd::kModal,
     nullptr, 0},
    {&CmdZormaHide, L"ZORMA_HIDE", L"ZORMA_HIDE", kZormaCommandGroup,
     cmd::kTransparent | cmd::kUsePickSet, nullptr, 0},
    {&CmdZormaHideRestore, L"ZORMA_HIDE_RESTORE", L"ZORMA_HIDE_RESTORE", kZormaCommandGroup,
     cmd::kTransparent | cmd::kUsePickSet, nullptr, 0},
    {&CmdKoruAttachPcXdata, L"KORU_ATTACH_PC_XDATA", L"KORU_ATTACH_PC_XDATA", kZormaCommandGroup,
     cmd::kUsePickSet, nullptr, 0},
};

constinit CJigTestApp g_theApp;

} // namespace

const CZormaCommand* GetZormaCommandTable(std::size_t& count) {
    count = std::size(kCommands);
    return kCommands;
}

CJigTestApp& GetJigTestApp() {
    return g_theApp;
}

int CJigTestApp::On_kInitAppMsg(void* packet) {
    const int result = AcRxArxApp::On_kInitAppMsg(packet);
    zhost::rx::CommandStack& stack = zhost::rx::commandStack();
    for (const CZormaCommand& c : kCommands) {
        // A name the stack refuses (already registered by an earlier load that was never
        // unloaded) leaves the other commands usable.
        stack.addCommand(c.m_pszGroupName, c.m_pszGlobalName, c.m_pszLocalName, c.m_nFlags,
                         c.m_pfnHandler, c.m_pUIContext, -1, GetZormaResourceInstance());
    }
    return result;
}

int CJigTestApp::On_kUnloadAppMsg(void* packet) {
    zhost::rx::CommandStack& stack = zhost::rx::commandStack();
    for (const CZormaCommand& c : kCommands)
        stack.removeCmd(c.m_pszGroupName, c.m_pszGlobalName);
    return AcRxArxApp::On_kUnloadAppMsg(packet);
}
