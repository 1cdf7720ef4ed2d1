#include "geomcalc/GeomCalcPrompts.h"

#include "geomcalc/GeomCalcDialogs.h"
#include "geomcalc/GeomCalcSettings.h"

#include "zhost/db/curves.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/format.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"

namespace db = zhost::db;
namespace ed = zhost::ed;
using zhost::geom::Point3d;

namespace {

constexpr const wchar_t* kNoItems = L"\nERROR : 表示する項目がありません。設定で指定して下さい。";

// What a point prompt with keywords gave.
enum class PointAnswer { point, keyword, cancel };

// One point prompt: G opens the settings and asks again, a point while every item is off
// reports that and asks again. Other keywords are handed back.
PointAnswer AskPoint(CGeomCalcContext& ctx, const wchar_t* keywords, const wchar_t* prompt,
                     Point3d& ucsPoint, std::wstring& keyword) {
    while (true) {
        ed::initGet(0, keywords);
        const ed::Result r = ed::getPoint(nullptr, prompt, ucsPoint);
        if (r == ed::Result::keyword) {
            ed::getInput(keyword);
            if (keyword == L"G") {
                OpenGeomCalcSettings(ctx.items);
                continue;
            }
            return PointAnswer::keyword;
        }
        if (r != ed::Result::normal)
            return PointAnswer::cancel;
        if (!ctx.items.Any()) {
            ed::print(kNoItems);
            continue;
        }
        return PointAnswer::point;
    }
}

enum class AxisStep { done, switchMode, cancel };

AxisStep AskAxisByPoints(CGeomCalcContext& ctx) {
    Point3d p;
    std::wstring kw;
    switch (AskPoint(ctx, L"L G", L"回転軸始点を指示して下さい[回転軸直線(L)/設定(G)]:", p, kw)) {
    case PointAnswer::keyword:
        return kw == L"L" ? AxisStep::switchMode : AxisStep::cancel;
    case PointAnswer::cancel:
        return AxisStep::cancel;
    case PointAnswer::point:
        break;
    }
    ctx.axisStart = ed::ucsToWcs(p);
    if (AskPoint(ctx, L"G", L"回転軸 終点を指定して下さい（2点指示） [設定(G)]:", p, kw) !=
        PointAnswer::point)
        return AxisStep::cancel;
    ctx.axisEnd = ed::ucsToWcs(p);
    return AxisStep::done;
}

AxisStep AskAxisByLine(CGeomCalcContext& ctx) {
    while (true) {
        ed::initGet(0, L"P G");
        db::ObjectId id;
        Point3d picked;
        const ed::Result r =
            ed::entSel(L"回転軸直線を指示して下さい[回転軸始点(P)/設定(G)]:", id, picked);
        if (r == ed::Result::keyword) {
            std::wstring kw;
            ed::getInput(kw);
            if (kw == L"P")
                return AxisStep::switchMode;
            if (kw == L"G")
                OpenGeomCalcSettings(ctx.items);
            continue;
        }
        if (r == ed::Result::error) {
            int err = 0;
            ed::getVarInt(L"ERRNO", err);
            if (err == ed::errnum::nullInput)
                return AxisStep::cancel;
            continue; // a miss
        }
        if (r != ed::Result::normal)
            return AxisStep::cancel;
        if (!ctx.items.Any()) {
            ed::print(kNoItems);
            continue;
        }
        db::ObjectPtr<db::Line> line(id, db::OpenMode::forRead);
        if (!line) {
            ed::print(L"直線を選択してください");
            continue;
        }
        ctx.axisStart = line->startPoint();
        ctx.axisEnd = line->endPoint();
        return AxisStep::done;
    }
}

} // namespace

bool AskReferencePoint(CGeomCalcContext& ctx) {
    Point3d p;
    std::wstring kw;
    if (AskPoint(ctx, L"G", L"次に モーメント 計算中心点を指定して下さい [設定(G)]:", p, kw) !=
        PointAnswer::point)
        return false;
    ctx.refPointUcs = p;
    ctx.refPointWcs = ed::ucsToWcs(p);
    return true;
}

bool AskAxis(CGeomCalcContext& ctx) {
    CGeomCalcMemory& memory = GeomCalcMemory();
    while (true) {
        const AxisStep step = memory.axisByLine ? AskAxisByLine(ctx) : AskAxisByPoints(ctx);
        if (step == AxisStep::switchMode) {
            // The mode chosen here is the one offered first next time.
            memory.axisByLine = !memory.axisByLine;
            continue;
        }
        return step == AxisStep::done;
    }
}

bool AskSpecificGravity(CGeomCalcContext& ctx) {
    CGeomCalcMemory& memory = GeomCalcMemory();
    LoadSpecificGravity();
    const std::wstring prompt =
        ed::format(L"比重(g/cm3)を入力して下さい [設定(G)] <%2.2f>:", memory.specificGravity);
    while (true) {
        ed::initGet(zhost::ed::rsg::other, L"G");
        double v = 0;
        const ed::Result r = ed::getReal(prompt, v);
        if (r == ed::Result::none)
            break;
        if (r == ed::Result::keyword) {
            std::wstring kw;
            ed::getInput(kw);
            if (kw == L"G")
                OpenGeomCalcSettings(ctx.items);
            continue; // other text is passed over
        }
        if (r != ed::Result::normal)
            return false;
        if (v <= 0) {
            ed::print(L"\n正の数値を入力してください");
            continue;
        }
        if (!IsSpecificGravityInRange(v)) {
            ed::print(L"\n0.01以上100未満の範囲で入力してください");
            continue;
        }
        memory.specificGravity = v;
        SaveSpecificGravity(v);
        break;
    }
    ctx.specificGravity = memory.specificGravity;
    return true;
}

bool AskMomentInputs(CGeomCalcContext& ctx) {
    if (!ctx.items.NeedsReferencePoint())
        return true;
    if (!AskReferencePoint(ctx))
        return false;
    // Without the volume neither the axis nor the specific gravity means anything to ask for.
    if (!ctx.items[kItemVolume])
        return true;
    if (!AskAxis(ctx))
        return false;
    if (ctx.items[kItemWeight] && !AskSpecificGravity(ctx))
        return false;
    return true;
}
