// Picking the placed part that ZORMA_CONT_EDIT replaces.
#include "frame/AutoVar.h"
#include "placement/PartsContentsRun.h"

#include "zhost/editor/editor.h"

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

// ERRNO after a pick answered with Enter.
constexpr int kErrnoEmptyAnswer = 52;

bool TryRecognize(db::ObjectId id, CPartsContentsRun& run, PartOrigin& lastOrigin) {
    std::wstring name;
    PartOrigin origin = PartOrigin::None;
    int drawing = -1;
    const bool found = RecognizePart(id, name, origin, drawing);
    lastOrigin = origin;
    if (!found)
        return false;
    run.m_partId = id;
    run.m_drawingNumber = drawing;
    return true;
}

} // namespace

bool PickPlacedPart(CPartsContentsRun& run, PartOrigin& lastOrigin) {
    run.m_partId = db::ObjectId();
    run.m_drawingNumber = -1;
    lastOrigin = PartOrigin::None;

    // A part selected before the command is taken without asking.
    {
        ed::SelectionSet implied;
        if (ed::getPickFirst(implied) == ed::Result::normal) {
            for (db::ObjectId id : implied.ids()) {
                if (TryRecognize(id, run, lastOrigin))
                    return true;
            }
        }
    }

    // Object snap would pull the pick onto a neighbouring entity's snap point.
    CAutoVar osmode(L"OSMODE", 0);
    CAutoVar snapmode(L"SNAPMODE", 0);
    while (true) {
        db::ObjectId id;
        zhost::geom::Point3d at;
        const ed::Result r = ed::entSel(L"\n配置済みの部品コンテンツを選択:", id, at);
        if (r == ed::Result::cancel)
            break;
        if (r != ed::Result::normal) {
            int err = 0;
            ed::getVarInt(L"ERRNO", err);
            if (err == kErrnoEmptyAnswer || r != ed::Result::error)
                break;
            continue;
        }
        if (TryRecognize(id, run, lastOrigin))
            break;
        ed::print(L"\n部品コンテンツで配置した部品ではありません。");
    }
    return run.m_partId.isValid();
}
