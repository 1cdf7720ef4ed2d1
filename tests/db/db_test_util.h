#pragma once
#include "zhost/core/utf.h"
#include "zhost/db/db.h"

#include "support/status.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace dbtest {

using namespace zhost;
using namespace zhost::db;
using geom::Point3d;
using geom::Vector3d;

inline ObjectId addLine(Database& db, ObjectId block, Point3d a, Point3d b) {
    ObjectId id;
    EXPECT_OK(db.appendEntity(block, std::make_unique<Line>(a, b), id));
    return id;
}

inline void expectNear(const Point3d& a, const Point3d& b, double tol = 1e-9) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

} // namespace dbtest
