#pragma once
// A drawing of deeply nested block references, for the tests and benchmarks of picking, selection
// and drawing: level 0 is a unit square of four lines; level k holds `perLevel` references to
// level k-1 in a row, along x on odd levels and along y on even ones, each `gap` units from the
// next; model space holds one reference to the top level at the origin. The squares' lines are
// the only geometry, so a point in a gap is `gap / 2` from everything.
// Header only, so that it links against whichever host the program uses.
#include "zhost/db/db.h"

#include <string>

namespace ztest {

struct NestedBlocks {
    double width = 1, height = 1;  // of the top level's content
    double pitchX = 0, pitchY = 0; // between neighbouring squares of the lowest levels
    zhost::db::ObjectId topBlock, leafBlock, reference;
};

inline NestedBlocks MakeNestedBlocks(zhost::db::Database& drawing, int levels, int perLevel,
                                     double gap) {
    namespace zdb = zhost::db;
    using zhost::geom::Point3d;
    NestedBlocks out;
    drawing.addBlock(L"LEVEL0", out.leafBlock);
    const Point3d corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        zdb::ObjectId id;
        drawing.appendEntity(out.leafBlock,
                             std::make_unique<zdb::Line>(corners[i], corners[(i + 1) % 4]), id);
    }
    zdb::ObjectId below = out.leafBlock;
    for (int level = 1; level <= levels; ++level) {
        zdb::ObjectId block;
        drawing.addBlock(L"LEVEL" + std::to_wstring(level), block);
        const bool alongX = level % 2 == 1;
        const double pitch = (alongX ? out.width : out.height) + gap;
        if (level == 1)
            out.pitchX = pitch;
        if (level == 2)
            out.pitchY = pitch;
        for (int i = 0; i < perLevel; ++i) {
            zdb::ObjectId id;
            const Point3d at = alongX ? Point3d(i * pitch, 0) : Point3d(0, i * pitch);
            drawing.appendEntity(block, std::make_unique<zdb::BlockReference>(at, below), id);
        }
        (alongX ? out.width : out.height) = perLevel * pitch - gap;
        below = block;
    }
    out.topBlock = below;
    drawing.appendToModelSpace(std::make_unique<zdb::BlockReference>(Point3d(), below),
                               out.reference);
    return out;
}

} // namespace ztest
