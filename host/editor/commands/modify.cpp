// The editing commands: ERASE, MOVE, COPY, ROTATE, SCALE, MIRROR and EXPLODE. Each works on the
// pick-first set when there is one, else asks for objects.
#include "../host_commands.h"
#include "drafting.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"
#include "zhost/editor/ucs.h"

#include <cmath>
#include <numbers>

namespace zhost::ed::detail {
namespace {

// A single-line text turned to read leftwards by a mirror is turned half round about the far
// end of its baseline, so that it still reads from left to right (MIRRTEXT 0). The width is
// estimated as Text::adjustAlignment estimates it: the host has no font metrics.
void keepTextReadable(db::Text& t) {
    const double r = t.rotation();
    if (std::cos(r) > 1e-9 || (std::abs(std::cos(r)) <= 1e-9 && std::sin(r) > 0))
        return;
    const double width = 0.7 * t.height() * t.widthFactor() * double(t.textString().size());
    const geom::Vector3d dir(std::cos(r), std::sin(r), 0);
    t.setPosition(t.position() + dir * width);
    t.setRotation(std::fmod(r + std::numbers::pi, 2 * std::numbers::pi));
    if (!t.isDefaultAlignment())
        t.setAlignmentPoint(t.alignmentPoint() + dir * width);
}

// Transforms the objects in place, or copies of them when `copy` is set (the copies are added to
// `copies`). Objects whose kind cannot follow the matrix are counted and reported.
void transformObjects(const std::vector<db::ObjectId>& ids, const geom::Matrix3d& m, bool copy,
                      bool mirror = false, std::vector<db::ObjectId>* copies = nullptr) {
    std::vector<db::ObjectId> targets = ids;
    if (copy) {
        db::IdMap map;
        db::Database* d = workingDatabase();
        if (!d || !ok(d->deepCloneObjects(ids, currentSpaceId(), map))) {
            print(L"\nThe objects could not be copied.");
            reportCommandFailure();
            return;
        }
        targets.clear();
        for (db::ObjectId id : ids)
            if (auto it = map.find(id); it != map.end())
                targets.push_back(it->second);
        if (copies)
            copies->insert(copies->end(), targets.begin(), targets.end());
    }
    int mirrText = 0;
    if (mirror && workingDatabase())
        workingDatabase()->getInt(L"MIRRTEXT", mirrText);
    int refused = 0;
    for (db::ObjectId id : targets) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
        if (!e || !ok(e->transformBy(m))) {
            ++refused;
            continue;
        }
        if (mirror && mirrText == 0 && e->type() == db::ObjectType::text)
            keepTextReadable(static_cast<db::Text&>(*e));
    }
    if (refused > 0)
        printf(L"\n%d object(s) could not be changed that way.", refused);
}

// The displacement of MOVE and COPY from a base point answer and a second point, in world
// coordinates. none when the user gave nothing.
Result askBaseAndSecond(geom::Point3d& base, bool& displacementOnly) {
    displacementOnly = false;
    Result r = askPoint(nullptr, L"\nSpecify base point or [Displacement] <Displacement>: ", base,
                        0, L"Displacement");
    if (r == Result::keyword || r == Result::none) {
        displacementOnly = true;
        r = askPoint(nullptr, L"\nSpecify displacement <0.0000, 0.0000, 0.0000>: ", base);
        if (r == Result::none) {
            base = geom::Point3d();
            r = Result::normal;
        }
    }
    return r;
}

geom::Vector3d worldDisplacement(const geom::Point3d& from, const geom::Point3d& to) {
    return ucsToWcs(to) - ucsToWcs(from);
}

geom::Vector3d ucsNormal() {
    return currentUcs().zAxis();
}

} // namespace

void cmdErase() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss))
        return;
    for (db::ObjectId id : ss.ids())
        eraseEntity(id);
}

void cmdMove() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss))
        return;
    geom::Point3d base, second;
    bool displacementOnly = false;
    Result r = askBaseAndSecond(base, displacementOnly);
    if (r == Result::normal && !displacementOnly) {
        r = askPoint(&base, L"\nSpecify second point or <use first point as displacement>: ",
                     second);
        if (r == Result::none) {
            displacementOnly = true;
            r = Result::normal;
        }
    }
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    const geom::Vector3d v = displacementOnly ? worldDisplacement(geom::Point3d(), base)
                                              : worldDisplacement(base, second);
    transformObjects(ss.ids(), geom::Matrix3d::translation(v), false);
}

void cmdCopy() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss))
        return;
    commandMessage(L"\nCurrent settings:  Copy mode = Multiple");
    geom::Point3d base;
    bool displacementOnly = false;
    Result r = askBaseAndSecond(base, displacementOnly);
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    if (displacementOnly) {
        transformObjects(
            ss.ids(), geom::Matrix3d::translation(worldDisplacement(geom::Point3d(), base)), true);
        return;
    }
    // One set of copies per second point; Undo erases the last set.
    std::vector<std::vector<db::ObjectId>> sets;
    while (true) {
        geom::Point3d second;
        r = sets.empty() ? askPoint(&base,
                                    L"\nSpecify second point or <use first point as "
                                    L"displacement>: ",
                                    second)
                         : askPoint(&base, L"\nSpecify second point or [Exit/Undo] <Exit>: ",
                                    second, 0, L"Exit Undo");
        if (r == Result::cancel)
            return cancelled();
        if (r == Result::none && sets.empty()) {
            transformObjects(ss.ids(),
                             geom::Matrix3d::translation(worldDisplacement(geom::Point3d(), base)),
                             true);
            return;
        }
        if (r == Result::none)
            return;
        if (r == Result::keyword) {
            std::wstring kw;
            getInput(kw);
            if (kw == L"Exit")
                return;
            for (db::ObjectId id : sets.back())
                eraseEntity(id);
            sets.pop_back();
            continue;
        }
        sets.emplace_back();
        transformObjects(ss.ids(), geom::Matrix3d::translation(worldDisplacement(base, second)),
                         true, false, &sets.back());
    }
}

void cmdRotate() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss))
        return;
    commandMessage(L"\nCurrent positive angle in UCS:  ANGDIR=counterclockwise  ANGBASE=0");
    geom::Point3d base;
    Result r = askPoint(nullptr, L"\nSpecify base point: ", base);
    double angle = 0;
    bool copy = false;
    while (r == Result::normal) {
        r = askAngle(&base, L"\nSpecify rotation angle or [Copy/Reference] <0>: ", angle, 0,
                     L"Copy Reference");
        if (r == Result::none) {
            angle = 0;
            r = Result::normal;
        }
        if (r != Result::keyword)
            break;
        std::wstring kw;
        getInput(kw);
        if (kw == L"Copy") {
            copy = true;
            commandMessage(L"\nRotating a copy of the selected objects.");
            r = Result::normal;
            continue;
        }
        double from = 0, to = 0;
        r = askAngle(nullptr, L"\nSpecify the reference angle <0>: ", from);
        if (r == Result::none)
            r = Result::normal;
        if (r == Result::normal)
            r = askAngle(&base, L"\nSpecify the new angle: ", to);
        angle = to - from;
        break;
    }
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    transformObjects(ss.ids(), geom::Matrix3d::rotation(angle, ucsNormal(), ucsToWcs(base)), copy);
}

void cmdScale() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss))
        return;
    geom::Point3d base;
    Result r = askPoint(nullptr, L"\nSpecify base point: ", base);
    double factor = 1;
    bool copy = false;
    while (r == Result::normal) {
        r = askLength(&base, L"\nSpecify scale factor or [Copy/Reference]: ", factor,
                      L"Copy Reference");
        if (r != Result::keyword)
            break;
        std::wstring kw;
        getInput(kw);
        if (kw == L"Copy") {
            copy = true;
            commandMessage(L"\nScaling a copy of the selected objects.");
            r = Result::normal;
            continue;
        }
        double from = 1, to = 1;
        r = askLength(nullptr, L"\nSpecify reference length <1.0000>: ", from);
        if (r == Result::none) {
            from = 1;
            r = Result::normal;
        }
        if (r == Result::normal)
            r = askLength(nullptr, L"\nSpecify new length: ", to);
        factor = to / from;
        break;
    }
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    transformObjects(ss.ids(), geom::Matrix3d::scaling(factor, ucsToWcs(base)), copy);
}

void cmdMirror() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss))
        return;
    geom::Point3d a, b;
    Result r = askPoint(nullptr, L"\nSpecify first point of mirror line: ", a);
    while (r == Result::normal) {
        r = askPoint(&a, L"\nSpecify second point of mirror line: ", b);
        if (r != Result::normal || !b.isEqualTo(a))
            break;
        print(L"\nThe mirror line needs two different points.");
    }
    bool erase = false;
    if (r == Result::normal)
        r = askYesNo(L"\nErase source objects? [Yes/No] <No>: ", false, erase);
    if (r == Result::cancel)
        return cancelled();
    if (r != Result::normal)
        return;
    const geom::Point3d wa = ucsToWcs(a);
    transformObjects(ss.ids(), geom::Matrix3d::mirroring(wa, ucsToWcs(b) - wa), !erase, true);
}

void cmdExplode() {
    SelectionSet ss;
    if (!requireDrawing() || !objectsToEdit(ss))
        return;
    int refused = 0;
    for (db::ObjectId id : ss.ids()) {
        std::vector<std::unique_ptr<db::Entity>> pieces;
        {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (!e || !ok(e->explode(pieces)) || pieces.empty()) {
                ++refused;
                continue;
            }
        }
        for (auto& piece : pieces) {
            db::ObjectId added;
            appendToCurrentSpace(std::move(piece), added);
        }
        eraseEntity(id);
    }
    if (refused > 0)
        printf(L"\n%d object(s) could not be exploded.", refused);
}

} // namespace zhost::ed::detail
