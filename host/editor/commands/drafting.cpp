// Prompts, entity creation and object selection shared by the drafting commands.
#include "drafting.h"

#include "../editor_state.h"
#include "../host_commands.h"

#include "zhost/core/utf.h"
#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"

#include <cmath>

namespace zhost::ed::detail {
namespace {

bool inRange(double v) {
    return std::isfinite(v) && std::abs(v) <= kMaxCoordinate;
}

} // namespace

Result askPoint(const geom::Point3d* base, std::wstring_view prompt, geom::Point3d& out, int flags,
                std::wstring_view keywords) {
    while (true) {
        initGet(flags, keywords);
        geom::Point3d p;
        const Result r = getPoint(base, prompt, p);
        if (r != Result::normal)
            return r;
        if (inRange(p.x) && inRange(p.y) && inRange(p.z)) {
            out = p;
            return r;
        }
        print(L"\nCoordinates must lie between -1E+12 and 1E+12.");
    }
}

Result askLength(const geom::Point3d* base, std::wstring_view prompt, double& out,
                 std::wstring_view keywords) {
    while (true) {
        initGet(rsg::noZero | rsg::noNegative, keywords);
        double v = 0;
        const Result r = getDist(base, prompt, v);
        if (r != Result::normal)
            return r;
        if (inRange(v)) {
            out = v;
            return r;
        }
        print(L"\nThe value must not exceed 1E+12.");
    }
}

Result askAngle(const geom::Point3d* base, std::wstring_view prompt, double& out, int flags,
                std::wstring_view keywords) {
    initGet(flags, keywords);
    double a = 0;
    const Result r = getAngle(base, prompt, a);
    if (r == Result::normal) {
        constexpr double kTurn = 2 * 3.141592653589793;
        out = std::fmod(a, kTurn);
        if (out < 0)
            out += kTurn;
    }
    return r;
}

Result askYesNo(std::wstring_view prompt, bool defaultYes, bool& yes) {
    initGet(0, L"Yes No");
    std::wstring kw;
    const Result r = getKeyword(prompt, kw);
    if (r == Result::none) {
        yes = defaultYes;
        return Result::normal;
    }
    if (r == Result::normal)
        yes = kw == L"Yes";
    return r;
}

Status addEntity(std::unique_ptr<db::Entity> entity, db::ObjectId* outId) {
    db::Database* d = db();
    if (!d)
        return Status::notApplicable;
    Status s = entity->setDatabaseDefaults(*d);
    db::ObjectId id;
    if (ok(s))
        s = appendToCurrentSpace(std::move(entity), id);
    if (!ok(s)) {
        printf(L"\nThe object could not be added to the drawing (%s).", fromUtf8(toString(s)));
        return s;
    }
    if (outId)
        *outId = id;
    return s;
}

bool objectsToEdit(SelectionSet& out, bool skipLocked) {
    if (getPickFirst(out) != Result::normal) {
        const Result r = out.select(nullptr);
        if (r == Result::cancel)
            cancelled();
        if (r != Result::normal)
            return false;
    }
    SelectionSet usable;
    int locked = 0;
    for (db::ObjectId id : out.ids()) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (!e)
            continue;
        db::ObjectPtr<db::LayerTableRecord> layer(e->layerId(), db::OpenMode::forRead);
        if (skipLocked && layer && layer->isLocked()) {
            ++locked;
            continue;
        }
        usable.add(id);
    }
    if (locked > 0)
        printf(L"\n%d object(s) on a locked layer left out.", locked);
    out = std::move(usable);
    return out.length() > 0;
}

void cancelled() {
    commandMessage(L"\n*Cancel*");
    reportCommandFailure();
}

std::wstring lengthText(double value) {
    return rToS(value, -1, -1);
}

std::wstring pointText(const geom::Point3d& p) {
    return L"X = " + lengthText(p.x) + L"     Y = " + lengthText(p.y) + L"     Z = " +
           lengthText(p.z);
}

} // namespace zhost::ed::detail
