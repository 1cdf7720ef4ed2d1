#include "attributes/HoleClosure.h"

#include "attributes/HoleMark.h"
#include "frame/AutoVar.h"

#include "zhost/db/curves.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/command_call.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"

#include <unordered_set>
#include <vector>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

using IdSet = std::unordered_set<db::ObjectId>;

// The lightweight polylines of the drawing now (none when the drawing has none).
IdSet RecordPolylines() {
    IdSet ids;
    ed::SelectionSet all;
    const ed::ResBufList filter{{0, L"LWPOLYLINE"}};
    if (all.select(L"X", nullptr, nullptr, &filter) == ed::Result::normal)
        ids.insert(all.ids().begin(), all.ids().end());
    return ids;
}

// Back to the undo mark of the trial join.
bool UndoBack() {
    return ed::command({L"_.UNDO", L"B"}) == ed::Result::normal;
}

// The polylines in `after` that `before` does not hold.
std::vector<db::ObjectId> NewPolylines(const IdSet& before, const IdSet& after) {
    std::vector<db::ObjectId> added;
    for (db::ObjectId id : after)
        if (!before.contains(id))
            added.push_back(id);
    return added;
}

// Reads the closed flag of the one polyline the join made; false when it cannot be read.
bool ReadJoinedClosed(db::ObjectId id, bool& closed) {
    db::ObjectPtr<db::Polyline> polyline(id, db::OpenMode::forRead);
    if (!polyline)
        return false;
    closed = polyline->isClosed();
    return true;
}

} // namespace

HoleClosure CheckCurveClosed(db::ObjectId id) {
    bool closed = false;
    {
        db::ObjectPtr<db::Curve> curve(id, db::OpenMode::forRead);
        if (!curve) {
            ed::print(L"\n例外エラーが発生しました");
            return kHoleCheckFailed;
        }
        if (dynamic_cast<const db::Circle*>(curve.get()) != nullptr)
            closed = true;
        else if (const auto* polyline = dynamic_cast<const db::Polyline*>(curve.get()))
            closed = polyline->isClosed();
        else
            closed = curve->startPoint().isEqualTo(curve->endPoint(),
                                                   geom::Tol::withPoint(kHoleClosureTol));
    }
    ed::print(closed ? L"\n閉じられた図形を確認しました。"
                     : L"\n選択した図形が閉じられていませんでした。");
    return closed ? kHoleClosed : kHoleOpen;
}

HoleClosure CheckCurvesJoinClosed(const ed::SelectionSet& curves) {
    CAutoVar echo;
    echo.Set(L"CMDECHO", 0);

    // A selected polyline that the join extends keeps its id; leaving it out of the first
    // record makes it count as the join's result.
    IdSet before = RecordPolylines();
    for (db::ObjectId id : curves.ids())
        before.erase(id);

    // Without a mark, taking the join back would take back more than the join: stop here.
    if (ed::command({L"_.UNDO", L"M"}) != ed::Result::normal) {
        ed::print(L"\nコマンドに失敗しました。");
        return kHoleCheckFailed;
    }

    const std::wstring fuzz = ed::format(L"%f", kHoleClosureTol);
    if (ed::command({L"_.PEDIT", L"M", curves, L"", L"Y", L"J", fuzz, L"X"}) !=
        ed::Result::normal) {
        ed::print(L"\nコマンドに失敗しました。");
        UndoBack();
        return kHoleCheckFailed;
    }

    const std::vector<db::ObjectId> added = NewPolylines(before, RecordPolylines());
    if (added.size() != 1) {
        ed::print(L"対象の図形が見つけられませんでした。");
        UndoBack();
        return kHoleCheckFailed;
    }

    bool closed = false;
    if (!ReadJoinedClosed(added.front(), closed)) {
        ed::print(L"\n図形の読み込みに失敗しました。");
        UndoBack();
        return kHoleCheckFailed;
    }
    ed::print(closed ? L"\n閉じられた図形群を確認しました。"
                     : L"\n選択した図形群が閉じられていませんでした");

    if (!UndoBack()) {
        ed::print(L"\nコマンドに失敗しました。");
        return kHoleCheckFailed;
    }
    return closed ? kHoleClosed : kHoleOpen;
}
