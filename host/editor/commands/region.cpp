// REGION (regions from the closed loops of the selected curves) and UNION (regions united into
// the first one selected).
#include "../host_commands.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/sysvars.h"
#include "zhost/geom/regions.h"

namespace zhost::ed::detail {

void cmdRegion() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    SelectionSet ss;
    const Result r = ss.select(nullptr);
    if (r == Result::cancel) {
        reportCommandFailure();
        return;
    }
    std::vector<geom::Curve> curves;
    std::vector<db::ObjectId> sources;
    for (db::ObjectId id : ss.ids()) {
        db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
        if (!c)
            continue; // only curves bound regions; other entities are passed over
        curves.push_back(c->toCurve());
        sources.push_back(id);
    }
    std::vector<geom::Region> regions;
    std::vector<std::vector<std::size_t>> used;
    if (!curves.empty() &&
        geom::regionsFromCurves(curves, regions, &used, 1e-6) == Status::outOfRange) {
        commandMessage(L"\nThe objects lie beyond the coordinate range (1E+15); no region was "
                       L"created.");
        reportCommandFailure();
        return;
    }
    int deleteSources = 1;
    getVarInt(L"DELOBJ", deleteSources);
    int made = 0;
    std::vector<bool> consumed(sources.size(), false);
    for (size_t i = 0; i < regions.size(); ++i) {
        auto region = std::make_unique<db::Region>(regions[i]);
        // A region takes the properties of the first curve that bounds it.
        {
            db::ObjectPtr<db::Entity> first(sources[used[i].front()], db::OpenMode::forRead);
            if (first)
                region->setPropertiesFrom(*first);
            else
                region->setDatabaseDefaults(*d);
        }
        db::ObjectId id;
        if (!ok(appendToCurrentSpace(std::move(region), id)))
            continue;
        ++made;
        for (std::size_t k : used[i])
            consumed[k] = true;
    }
    if (deleteSources != 0)
        for (size_t k = 0; k < sources.size(); ++k)
            if (consumed[k])
                eraseEntity(sources[k]);
    commandMessage(made == 1 ? format(L"\n%d loop extracted.", made)
                             : format(L"\n%d loops extracted.", made));
    commandMessage(made == 1 ? format(L"\n%d Region created.", made)
                             : format(L"\n%d Regions created.", made));
}

void cmdUnion() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    SelectionSet ss;
    if (ss.select(nullptr) == Result::cancel) {
        reportCommandFailure();
        return;
    }
    std::vector<db::ObjectId> regions;
    for (db::ObjectId id : ss.ids()) {
        db::ObjectPtr<db::Region> r(id, db::OpenMode::forRead);
        if (r)
            regions.push_back(id);
    }
    if (regions.size() < 2) {
        commandMessage(L"\nAt least 2 solids or coplanar regions must be selected.");
        reportCommandFailure();
        return;
    }
    geom::Region acc;
    {
        db::ObjectPtr<db::Region> first(regions.front(), db::OpenMode::forRead);
        acc = first->geometry();
    }
    for (size_t i = 1; i < regions.size(); ++i) {
        db::ObjectPtr<db::Region> other(regions[i], db::OpenMode::forRead);
        geom::Region next;
        if (!other || !ok(geom::unite(acc, other->geometry(), next))) {
            commandMessage(L"\nThe regions could not be united.");
            reportCommandFailure();
            return;
        }
        acc = std::move(next);
    }
    {
        db::ObjectPtr<db::Region> first(regions.front(), db::OpenMode::forWrite);
        if (!first || !ok(first->set(acc))) {
            reportCommandFailure();
            return;
        }
    }
    for (size_t i = 1; i < regions.size(); ++i)
        eraseEntity(regions[i]);
}

} // namespace zhost::ed::detail
