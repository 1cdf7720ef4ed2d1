// Registration of the host commands and the helpers they share.
#include "../answers.h"
#include "../editor_state.h"
#include "../host_commands.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/rx/commands.h"

namespace zhost::ed::detail {

void ensureHostCommands() {
    static bool done = false;
    if (done)
        return;
    done = true;
    auto& stack = rx::commandStack();
    struct Def {
        const wchar_t* name;
        rx::CommandFunction fn;
        int flags;
    };
    const Def defs[] = {
        {L"REGION", &cmdRegion, rx::cmd::kModal},
        {L"UNION", &cmdUnion, rx::cmd::kModal},
        {L"-BOUNDARY", &cmdBoundary, rx::cmd::kModal},
        {L"OFFSET", &cmdOffset, rx::cmd::kModal},
        {L"PEDIT", &cmdPedit, rx::cmd::kUsePickSet},
        // UNDO changes the journal itself: it must not be a step of its own.
        {L"UNDO", &cmdUndo, rx::cmd::kNoUndoMarker},
        {L"REGEN", &cmdRegen, rx::cmd::kTransparent | rx::cmd::kNoUndoMarker},
        {L"ZOOM", &cmdZoom, rx::cmd::kTransparent | rx::cmd::kNoUndoMarker},
        {L"-BMINSERT", &cmdBmInsert, rx::cmd::kModal},
        {L"LINE", &cmdLine, rx::cmd::kModal},
        {L"PLINE", &cmdPline, rx::cmd::kModal},
        {L"CIRCLE", &cmdCircle, rx::cmd::kModal},
        {L"ARC", &cmdArc, rx::cmd::kModal},
        {L"RECTANG", &cmdRectang, rx::cmd::kModal},
        {L"POINT", &cmdPoint, rx::cmd::kModal},
        {L"TEXT", &cmdText, rx::cmd::kModal},
        {L"ERASE", &cmdErase, rx::cmd::kModal | rx::cmd::kUsePickSet},
        {L"MOVE", &cmdMove, rx::cmd::kModal | rx::cmd::kUsePickSet},
        {L"COPY", &cmdCopy, rx::cmd::kModal | rx::cmd::kUsePickSet},
        {L"ROTATE", &cmdRotate, rx::cmd::kModal | rx::cmd::kUsePickSet},
        {L"SCALE", &cmdScale, rx::cmd::kModal | rx::cmd::kUsePickSet},
        {L"MIRROR", &cmdMirror, rx::cmd::kModal | rx::cmd::kUsePickSet},
        {L"EXPLODE", &cmdExplode, rx::cmd::kModal | rx::cmd::kUsePickSet},
        {L"-LAYER", &cmdLayer, rx::cmd::kModal},
        {L"-LINETYPE", &cmdLinetype, rx::cmd::kModal},
        {L"CHPROP", &cmdChprop, rx::cmd::kModal | rx::cmd::kUsePickSet},
        // Inquiries change nothing: no undo step of their own.
        {L"LIST", &cmdList, rx::cmd::kModal | rx::cmd::kUsePickSet | rx::cmd::kNoUndoMarker},
        {L"ID", &cmdId, rx::cmd::kTransparent | rx::cmd::kNoUndoMarker},
        {L"DIST", &cmdDist, rx::cmd::kTransparent | rx::cmd::kNoUndoMarker},
        {L"AREA", &cmdArea, rx::cmd::kModal | rx::cmd::kNoUndoMarker},
        // NEW and OPEN replace the drawing an undo group would be opened on; saving changes
        // nothing that undo could take back.
        {L"NEW", &cmdNew, rx::cmd::kModal | rx::cmd::kNoUndoMarker},
        {L"OPEN", &cmdOpen, rx::cmd::kModal | rx::cmd::kNoUndoMarker},
        {L"SAVE", &cmdSave, rx::cmd::kModal | rx::cmd::kNoUndoMarker},
        {L"QSAVE", &cmdQsave, rx::cmd::kModal | rx::cmd::kNoUndoMarker},
        {L"SAVEAS", &cmdSaveAs, rx::cmd::kModal | rx::cmd::kNoUndoMarker},
        {L"QUIT", &cmdQuit, rx::cmd::kModal | rx::cmd::kNoUndoMarker},
    };
    for (const Def& d : defs)
        stack.addCommand(kHostGroup, d.name, d.name, d.flags, d.fn);
}

void commandMessage(std::wstring_view text) {
    if (echoOn())
        print(text);
}

db::Database* requireDrawing() {
    db::Database* d = db();
    if (!d) {
        print(L"\nNo drawing is open.");
        reportCommandFailure();
    }
    return d;
}

Status appendToCurrentSpace(std::unique_ptr<db::Entity> entity, db::ObjectId& outId) {
    db::Database* d = db();
    if (!d)
        return Status::notApplicable;
    return d->appendEntity(currentSpaceId(), std::move(entity), outId);
}

Status eraseEntity(db::ObjectId id) {
    db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
    if (!e)
        return e.status();
    return e->erase();
}

void cmdRegen() {
    commandMessage(L"\nRegenerating model.");
}

} // namespace zhost::ed::detail
