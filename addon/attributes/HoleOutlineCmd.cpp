// KORU_ATTACH_PC_XDATA: the library author selects the curves that outline one hole in a part's
// geometry; when they form one closed figure, each gets the hole mark with a serial number
// shared by the whole hole, so that hidden-line treatment leaves the hole open.
#include "attributes/HoleClosure.h"
#include "attributes/HoleMark.h"
#include "frame/AutoVar.h"
#include "frame/CommandBodies.h"

#include "zhost/db/database.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"

#include <vector>

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

// The pick-first set when it holds eligible curves, else an ordinary selection with snapping
// off. False (reported) when nothing usable was selected.
bool SelectHoleCurves(ed::SelectionSet& ss) {
    const ed::ResBufList filter{{0, kHoleCurveTypes}};
    if (ss.select(L"I", nullptr, nullptr, &filter) == ed::Result::normal && ss.length() > 0)
        return true;

    CAutoVar snapMode;
    CAutoVar osMode;
    snapMode.Set(L"SNAPMODE", 0);
    osMode.Set(L"OSMODE", 0);
    ed::printf(L"\n%s",
               L"ブロック定義内の穴の輪郭となる図形群を選択してください。(Enterで選択完了)");
    if (ss.select(nullptr, nullptr, nullptr, &filter) != ed::Result::normal) {
        ed::printf(L"\n%s", L"図形群が正しく選択されませんでした。");
        return false;
    }
    if (ss.length() == 0) {
        ed::print(L"\n想定外のエラーです。");
        return false;
    }
    return true;
}

bool IsHoleClosed(const ed::SelectionSet& ss) {
    const HoleClosure closure =
        ss.length() == 1 ? CheckCurveClosed(ss.name(0)) : CheckCurvesJoinClosed(ss);
    return closure == kHoleClosed;
}

} // namespace

void KoruAttachPcXdataMain() {
    db::Database* database = ed::workingDatabase();
    if (database == nullptr)
        return;

    std::vector<db::ObjectId> curves;
    {
        ed::SelectionSet ss;
        if (!SelectHoleCurves(ss) || !IsHoleClosed(ss))
            return;
        curves = ss.ids();
        ss.free();
    }
    if (curves.empty()) {
        ed::print(L"\n選択セットの配列化に失敗しました");
        return;
    }

    int serial = 0;
    if (!GetNextHoleSerial(serial)) {
        ed::print(L"\n通し番号の取得に失敗しました。");
        return;
    }

    MarkHoleCurves(*database, curves, serial);
    ed::printf(L"\n拡張データを付与しました。通し番号:%d", serial);
}
