// UNDO: marks and steps back through the drawing's journal.
#include "../host_commands.h"
#include "../input_parse.h"

#include "zhost/db/database.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"

namespace zhost::ed::detail {

void cmdUndo() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    initGet(rsg::noZero | rsg::noNegative, L"Mark Back");
    int steps = 1;
    const Result r =
        getInt(L"\nEnter the number of operations to undo or [Mark/Back] <1>: ", steps);
    if (r == Result::cancel) {
        reportCommandFailure();
        return;
    }
    if (r == Result::keyword) {
        std::wstring kw;
        getInput(kw);
        if (kw == L"Mark") {
            if (!ok(d->undoMark()))
                reportCommandFailure();
            return;
        }
        const bool hadMark = d->hasUndoMark();
        int undone = 0;
        if (!ok(d->undoBack(&undone))) {
            commandMessage(L"\nNothing to undo.");
            reportCommandFailure();
            return;
        }
        commandMessage(hadMark ? L"\nMark encountered" : L"\nEverything has been undone");
        return;
    }
    if (r == Result::none)
        steps = 1;
    if (d->undoStepCount() == 0) {
        commandMessage(L"\nEverything has been undone");
        return;
    }
    if (!ok(d->undo(steps)))
        commandMessage(L"\nEverything has been undone");
}

} // namespace zhost::ed::detail
