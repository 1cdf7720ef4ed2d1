#include "attributes/HoleMark.h"

#include "zhost/db/database.h"
#include "zhost/db/entity.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"

#include <cstdint>
#include <limits>

namespace db = zhost::db;
namespace ed = zhost::ed;

bool GetHoleSerial(db::ObjectId id, int& serial) {
    db::ObjectPtr<db::Entity> entity(id, db::OpenMode::forRead);
    if (!entity)
        return false;
    const db::XData data = entity->xdata(kHoleMarkApp);
    bool found = false;
    for (const db::ResBuf& item : data) {
        if (item.code != db::xcode::int16)
            continue;
        if (!found || item.integer() > serial)
            serial = item.integer();
        found = true;
    }
    return found;
}

bool FindLargestHoleSerial(const std::vector<db::ObjectId>& ids, int& largest) {
    bool found = false;
    for (db::ObjectId id : ids) {
        int serial = 0;
        if (!GetHoleSerial(id, serial))
            continue;
        if (!found || serial > largest)
            largest = serial;
        found = true;
    }
    return found;
}

bool GetNextHoleSerial(int& serial) {
    ed::SelectionSet all;
    const ed::ResBufList filter{{0, kHoleCurveTypes}};
    if (all.select(L"X", nullptr, nullptr, &filter) != ed::Result::normal)
        return false;
    int largest = 0;
    if (!FindLargestHoleSerial(all.ids(), largest)) {
        serial = 0;
        return true;
    }
    // A number past the 16-bit range would wrap to a negative one and could merge two holes.
    if (largest >= std::numeric_limits<std::int16_t>::max())
        return false;
    serial = largest + 1;
    return true;
}

bool RegisterHoleMarkApp(db::Database& database) {
    return zhost::ok(database.registerApp(kHoleMarkApp));
}

bool SetHoleMark(db::ObjectId id, int serial) {
    db::ObjectPtr<db::Entity> entity(id, db::OpenMode::forWrite);
    if (!entity)
        return false;
    const db::XData mark{db::xApp(kHoleMarkApp), db::xInt16(serial)};
    return zhost::ok(entity->setXData(mark));
}

int MarkHoleCurves(db::Database& database, const std::vector<db::ObjectId>& curves, int serial) {
    RegisterHoleMarkApp(database);
    int marked = 0;
    for (db::ObjectId id : curves) {
        if (SetHoleMark(id, serial))
            ++marked;
        else
            ed::print(L"\n拡張データを付与できなかった図形があります。");
    }
    return marked;
}
