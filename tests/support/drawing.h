#pragma once
// Reading a saved drawing back through the host's own DXF reader. Header only, so that it links
// against whichever host the test program uses (the module libraries or libzhost.so).
//
//   zhost::db::Database saved;
//   ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
//   EXPECT_EQ(ztest::ModelSpaceKinds(saved)[L"CIRCLE"], 3);
#include "status.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/db/entity.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/dxf/dxf.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace ztest {

// Reads the file into `into`; the failure names the file and gives the reader's message. The
// reader's report is stored in `report` when one is given.
inline ::testing::AssertionResult ReadDrawing(const std::filesystem::path& file,
                                              zhost::db::Database& into,
                                              zhost::dxf::ReadReport* report = nullptr) {
    zhost::dxf::ReadReport local;
    zhost::dxf::ReadReport& rep = report != nullptr ? *report : local;
    if (file.empty())
        return ::testing::AssertionFailure() << "no drawing was saved";
    const zhost::Status st = zhost::dxf::readDxf(file, into, rep);
    if (zhost::ok(st))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "reading " << file.string() << ": " << zhost::toString(st) << ", "
           << zhost::toUtf8(rep.message);
}

// The entities of a block (model space by default) counted by DXF kind.
inline std::map<std::wstring, int> EntityKinds(const zhost::db::Database& db,
                                               zhost::db::ObjectId block = {}) {
    std::map<std::wstring, int> kinds;
    zhost::db::ObjectPtr<zhost::db::BlockTableRecord> btr(
        block.isNull() ? db.modelSpaceId() : block, zhost::db::OpenMode::forRead);
    if (!btr)
        return kinds;
    for (zhost::db::ObjectId id : btr->entityIds()) {
        zhost::db::ObjectPtr<zhost::db::Entity> e(id, zhost::db::OpenMode::forRead);
        if (e)
            ++kinds[e->dxfName()];
    }
    return kinds;
}

} // namespace ztest
