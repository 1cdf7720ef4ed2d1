// The spatial index answers as the walk over every entity did: picks, windows, crossings and
// object snaps over random drawings, and again after edits, erasures, block edits and undo.
#include "editor_fixture.h"

#include "box_tree.h"
#include "entity_index.h"

#include "zhost/editor/osnap.h"

#include <algorithm>
#include <array>
#include <optional>
#include <random>

using namespace zhost;
using ed::detail::Box2;
using ed::detail::BoxTree;
using zhost::test::EditorTest;

namespace {

std::vector<std::uint32_t> Meeting(const std::vector<Box2>& boxes, const Box2& q) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < boxes.size(); ++i)
        if (boxes[i].meets(q))
            out.push_back(i);
    return out;
}

} // namespace

TEST(BoxTree, FindsExactlyTheBoxesThatMeetAQuery) {
    std::mt19937 rng(7);
    auto u = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    for (const std::size_t n : {0u, 1u, 16u, 17u, 257u, 5000u}) {
        std::vector<Box2> boxes;
        for (std::size_t i = 0; i < n; ++i) {
            // Mostly small boxes in a dense patch, some long ones, points, far-off outliers and
            // repeated boxes: the shapes that make a tree's nodes overlap or stretch.
            const double x = u(0, 100), y = u(0, 100);
            switch (i % 7) {
            case 0:
            case 1:
            case 2:
                boxes.push_back({x, y, x + u(0, 2), y + u(0, 2)});
                break;
            case 3:
                boxes.push_back({x, y, x + u(0, 80), y + u(0, 1)});
                break;
            case 4:
                boxes.push_back({x, y, x, y});
                break;
            case 5:
                boxes.push_back(i % 2 ? Box2{-1e7, 3e6, -1e7 + 1, 3e6 + 1} : Box2{x, y, x, y});
                break;
            default:
                boxes.push_back(boxes.empty() ? Box2{x, y, x + 1, y + 1} : boxes[i / 2]);
            }
        }
        BoxTree tree;
        tree.build(boxes);
        EXPECT_EQ(tree.size(), n);
        for (int k = 0; k < 300; ++k) {
            const double x = u(-10, 110), y = u(-10, 110), s = k % 3 == 0 ? 0 : u(0, 30);
            Box2 q{x, y, x + s, y + s};
            if (k == 0)
                q = {-1e8, -1e8, 1e8, 1e8};
            if (k == 1 && n > 0)
                q = {boxes[0].x1, boxes[0].y1, boxes[0].x1 + 1, boxes[0].y1 + 1}; // a corner
            std::vector<std::uint32_t> got;
            tree.query(q, got);
            std::sort(got.begin(), got.end());
            ASSERT_EQ(got, Meeting(boxes, q)) << n << " boxes, query " << k;
        }
    }
}

namespace {

// What the screen asks of a drawing: picks at points, windows, crossings, object snaps.
struct Answers {
    std::vector<std::vector<db::ObjectId>> picks, windows, crossings;
    std::vector<std::array<double, 4>> snaps; // found, kind, x, y
    // Non-empty picks, snaps, windows and crossings: a comparison of nothing proves nothing.
    std::array<int, 3> found{};
};

class SpatialIndex : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ASSERT_OK(ed::setVarInt(L"OSMODE", ed::osmode::endpoint | ed::osmode::midpoint |
                                               ed::osmode::center | ed::osmode::quadrant |
                                               ed::osmode::intersection | ed::osmode::nearest));
        ed::setViewScale(0.3); // picks reach 0.9 units, snaps 3
    }
    void TearDown() override {
        ed::detail::setSpatialIndexEnabled(true);
        EditorTest::TearDown();
    }

    double U(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }
    geom::Point3d P() { return {U(0, 100), U(0, 100), 0}; }

    std::unique_ptr<db::Entity> randomEntity() {
        const geom::Point3d a = P();
        switch (std::uniform_int_distribution<int>(0, 8)(rng)) {
        case 0:
        case 1:
            return std::make_unique<db::Line>(a, a + geom::Vector3d(U(-9, 9), U(-9, 9), 0));
        case 2:
            return std::make_unique<db::Circle>(a, U(0.2, 6));
        case 3:
            return std::make_unique<db::Arc>(a, U(0.5, 8), U(0, 6.28), U(0, 6.28));
        case 4: {
            geom::Polyline pl;
            for (int k = 0; k < 4; ++k) {
                pl.points.push_back(a + geom::Vector3d(U(-6, 6), U(-6, 6), 0));
                pl.bulges.push_back(k % 2 ? U(-1, 1) : 0);
            }
            pl.closed = U(0, 1) < 0.5;
            return std::make_unique<db::Polyline>(pl);
        }
        case 5:
            return std::make_unique<db::Text>(a, L"T", 2.5);
        case 6: {
            geom::EllipseArc e;
            e.center = a;
            e.majorAxis = {U(1, 5), U(-2, 2), 0};
            e.radiusRatio = U(0.2, 1);
            return std::make_unique<db::Ellipse>(e);
        }
        case 7:
            return std::make_unique<db::BlockReference>(a, part);
        default:
            return std::make_unique<db::Point>(a);
        }
    }

    // Entities of every kind the screen finds, on layers that are off and frozen, hidden on the
    // screen, in paper space, erased, coincident copies (ties), and one far away.
    void makeDrawing(int n) {
        ASSERT_OK(db.addBlock(L"BOLT", bolt));
        db::ObjectId id;
        ASSERT_OK(db.appendEntity(bolt, std::make_unique<db::Circle>(geom::Point3d(), 1), id));
        ASSERT_OK(db.addBlock(L"PART", part));
        ASSERT_OK(db.appendEntity(
            part, std::make_unique<db::Line>(geom::Point3d(), geom::Point3d(4, 1, 0)), id));
        ASSERT_OK(db.appendEntity(
            part, std::make_unique<db::BlockReference>(geom::Point3d(2, 2, 0), bolt), id));
        ASSERT_OK(db.addLayer(L"OFF", off));
        ASSERT_OK(db.addLayer(L"FROZEN", frozen));
        {
            db::ObjectPtr<db::LayerTableRecord> l(off, db::OpenMode::forWrite);
            ASSERT_OK(l->setOff(true));
            db::ObjectPtr<db::LayerTableRecord> f(frozen, db::OpenMode::forWrite);
            ASSERT_OK(f->setFrozen(true));
        }
        for (int i = 0; i < n; ++i) {
            auto e = randomEntity();
            if (i % 17 == 3) {
                ASSERT_OK(e->setLayer(i % 2 ? off : frozen));
            }
            const db::ObjectId added = add(std::move(e));
            if (i % 23 == 5)
                ed::redrawEntity(added, ed::redraw::hide);
            if (i % 29 == 7) {
                db::ObjectPtr<db::Entity> w(added, db::OpenMode::forWrite);
                ASSERT_OK(w->erase());
            }
            if (i % 31 == 11) {
                db::ObjectPtr<db::Entity> src(added, db::OpenMode::forRead);
                add(std::unique_ptr<db::Entity>(static_cast<db::Entity*>(src->clone().release())));
            }
        }
        for (int i = 0; i < 20; ++i)
            ASSERT_OK(db.appendEntity(db.paperSpaceId(), randomEntity(), id));
        addLine(1e6, 1e6, 1e6 + 5, 1e6);
    }

    // The same questions every time for one seed, near the drawing's geometry and away from it.
    Answers ask(unsigned seed) {
        std::mt19937 q(seed);
        auto u = [&](double a, double b) {
            return std::uniform_real_distribution<double>(a, b)(q);
        };
        Answers out;
        for (int k = 0; k < 150; ++k) {
            const geom::Point3d p(u(-5, 105), u(-5, 105), 0);
            out.picks.push_back(ed::entitiesAtPoint(p, k % 3 ? ed::pickAperture() : 2.5));
            out.found[0] += !out.picks.back().empty();
            // Snaps try the curves near the cursor pairwise: fewer of them keep the test quick.
            if (k % 3)
                continue;
            const auto snap = ed::objectSnap(p);
            out.snaps.push_back(
                snap ? std::array<double, 4>{1, double(snap->kind), snap->point.x, snap->point.y}
                     : std::array<double, 4>{});
            out.found[1] += snap.has_value();
        }
        for (int k = 0; k < 40; ++k) {
            const geom::Point3d a(u(-5, 105), u(-5, 105), 0);
            const geom::Point3d b = a + geom::Vector3d(u(-40, 40), u(-40, 40), 0);
            ed::SelectionSet w, c;
            w.select(L"W", &a, &b);
            c.select(L"C", &a, &b);
            out.windows.push_back(w.ids());
            out.crossings.push_back(c.ids());
            out.found[2] += !w.ids().empty() + !c.ids().empty();
        }
        return out;
    }

    void expectSameAsWalk(unsigned seed) {
        const Answers indexed = ask(seed);
        ed::detail::setSpatialIndexEnabled(false);
        const Answers walked = ask(seed);
        ed::detail::setSpatialIndexEnabled(true);
        EXPECT_GT(walked.found[0], 30);
        EXPECT_GT(walked.found[1], 10);
        EXPECT_GT(walked.found[2], 30);
        EXPECT_EQ(indexed.picks, walked.picks);
        EXPECT_EQ(indexed.snaps, walked.snaps);
        EXPECT_EQ(indexed.windows, walked.windows);
        EXPECT_EQ(indexed.crossings, walked.crossings);
    }

    std::vector<db::ObjectId> modelSpace() {
        db::ObjectPtr<db::BlockTableRecord> ms(db.modelSpaceId(), db::OpenMode::forRead);
        return ms->entityIds();
    }

    std::mt19937 rng{20261208};
    db::ObjectId bolt, part, off, frozen;
};

} // namespace

TEST_F(SpatialIndex, AnswersAsTheWalkOverEveryEntity) {
    makeDrawing(600);
    expectSameAsWalk(1);
}

TEST_F(SpatialIndex, FollowsEditsErasuresBlockEditsAndUndo) {
    makeDrawing(400);
    expectSameAsWalk(3);
    {
        db::UndoGroup group(db);
        const auto ids = modelSpace();
        for (size_t k = 0; k < ids.size(); k += 7) {
            db::ObjectPtr<db::Entity> e(ids[k], db::OpenMode::forWrite);
            if (k % 2)
                ASSERT_OK(e->transformBy(geom::Matrix3d::translation({U(-20, 20), U(-20, 20), 0})));
            else
                ASSERT_OK(e->erase());
        }
        for (int k = 0; k < 30; ++k)
            add(randomEntity());
    }
    expectSameAsWalk(4);
    {
        // A definition's new content moves every reference's box without touching a reference.
        db::UndoGroup group(db);
        db::ObjectId id;
        ASSERT_OK(db.appendEntity(
            bolt, std::make_unique<db::Line>(geom::Point3d(-3, 0, 0), geom::Point3d(-3, 9, 0)),
            id));
        // A layer thawed: what it holds can be picked again.
        db::ObjectPtr<db::LayerTableRecord> f(frozen, db::OpenMode::forWrite);
        ASSERT_OK(f->setFrozen(false));
    }
    expectSameAsWalk(5);
    ASSERT_OK(db.undo(1));
    expectSameAsWalk(6);
    ASSERT_OK(db.undo(1));
    expectSameAsWalk(7);
}

TEST_F(SpatialIndex, CoincidentEntitiesGoToTheOneDrawnLast) {
    const db::ObjectId first = addLine(0, 0, 10, 0);
    addCircle(50, 50, 3);
    const db::ObjectId second = addLine(0, 0, 10, 0);
    const db::ObjectId third = addLine(10, 0, 0, 0);
    EXPECT_EQ(ed::entitiesAtPoint({5, 0.1, 0}, 0.9),
              (std::vector<db::ObjectId>{third, second, first}));
    ed::redrawEntity(third, ed::redraw::hide);
    EXPECT_EQ(ed::entitiesAtPoint({5, 0.1, 0}, 0.9), (std::vector<db::ObjectId>{second, first}));
}

TEST_F(SpatialIndex, IsKeptAndUpdatedEntityByEntityAfterEdits) {
    makeDrawing(300);
    ed::entitiesAtPoint({50, 50, 0}, 1);
    const auto before = ed::detail::spatialIndexStats();
    ask(8);
    ed::redrawEntity(modelSpace().front(), ed::redraw::hide); // the screen, not the drawing
    EXPECT_EQ(ed::detail::spatialIndexStats().updates, before.updates);
    // Added, moved, erased: each answered at once, without building the index again.
    const db::ObjectId line = addLine(200, 200, 210, 200);
    EXPECT_EQ(ed::entitiesAtPoint({205, 200, 0}, 1), std::vector<db::ObjectId>{line});
    {
        db::ObjectPtr<db::Entity> e(line, db::OpenMode::forWrite);
        ASSERT_OK(e->transformBy(geom::Matrix3d::translation({0, 100, 0})));
    }
    EXPECT_TRUE(ed::entitiesAtPoint({205, 200, 0}, 1).empty());
    EXPECT_EQ(ed::entitiesAtPoint({205, 300, 0}, 1), std::vector<db::ObjectId>{line});
    {
        db::ObjectPtr<db::Entity> e(line, db::OpenMode::forWrite);
        ASSERT_OK(e->erase());
    }
    EXPECT_TRUE(ed::entitiesAtPoint({205, 300, 0}, 1).empty());
    // A definition grows: the references are measured again.
    db::ObjectId id;
    ASSERT_OK(db.appendEntity(
        bolt, std::make_unique<db::Line>(geom::Point3d(0, 0, 0), geom::Point3d(0, -40, 0)), id));
    expectSameAsWalk(9);
    const auto after = ed::detail::spatialIndexStats();
    EXPECT_EQ(after.rebuilds, before.rebuilds);
    EXPECT_GT(after.updates, before.updates);
}

TEST_F(SpatialIndex, ANewDrawingAtTheSameAddressIsNotAnsweredFromTheOld) {
    // Two drawings made by the same steps have equal change serials; the second is built where
    // the first was, as a closed document's memory is reused by the next one.
    std::optional<db::Database> drawing;
    db::ObjectId line;
    drawing.emplace();
    ed::setWorkingDatabase(&*drawing);
    ASSERT_OK(drawing->appendToModelSpace(
        std::make_unique<db::Line>(geom::Point3d(0, 0, 0), geom::Point3d(10, 0, 0)), line));
    EXPECT_EQ(ed::entitiesAtPoint({5, 0, 0}, 1).size(), 1u);
    const std::uint64_t serial = drawing->changeSerial();
    ed::setWorkingDatabase(nullptr);
    drawing.reset();
    drawing.emplace();
    ed::setWorkingDatabase(&*drawing);
    ASSERT_OK(drawing->appendToModelSpace(
        std::make_unique<db::Line>(geom::Point3d(0, 50, 0), geom::Point3d(10, 50, 0)), line));
    ASSERT_EQ(drawing->changeSerial(), serial);
    EXPECT_TRUE(ed::entitiesAtPoint({5, 0, 0}, 1).empty());
    EXPECT_EQ(ed::entitiesAtPoint({5, 50, 0}, 1), std::vector<db::ObjectId>{line});
    ed::setWorkingDatabase(&db);
}
