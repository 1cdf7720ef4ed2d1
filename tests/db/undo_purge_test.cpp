#include "db_test_util.h"

#include "support/status.h"

#include <cmath>

using namespace dbtest;

namespace {
// A drawing with a bit of everything: layers, a block with an attribute definition, references
// with attributes and extended data, a group and a custom draw order.
struct Sample {
    Database db;
    ObjectId layer, block, ref, line, circle;

    Sample() {
        db.addLayer(L"AM_0", layer);
        db.addBlock(L"BOLT", block);
        addLine(db, block, {0, 0}, {10, 0});
        auto def = std::make_unique<AttributeDefinition>();
        def->setTag(L"SIZE");
        def->setDefaultText(L"M10");
        ObjectId defId;
        db.appendEntity(block, std::move(def), defId);
        auto r = std::make_unique<BlockReference>(Point3d(5, 5), block);
        db.appendToModelSpace(std::move(r), ref);
        ObjectPtr<BlockReference>(ref, OpenMode::forWrite)->appendAttributesFromBlock();
        line = addLine(db, db.modelSpaceId(), {0, 0}, {1, 1});
        db.appendToModelSpace(std::make_unique<Circle>(Point3d(3, 3), 2), circle);
        db.registerApp(L"ZORMA_PARTS_CONTENTS");
        ObjectPtr<BlockReference>(ref, OpenMode::forWrite)
            ->setXData({xApp(L"ZORMA_PARTS_CONTENTS"), xString(L"B1180")});
        db.clearUndo();
    }
};
} // namespace

TEST(UndoJournal, BackRestoresAddEraseModifyAndXDataExactly) {
    Sample s;
    Database& db = s.db;
    const std::wstring before = dumpDatabase(db);
    ASSERT_OK(db.undoMark());
    {
        UndoGroup cmd(db);
        addLine(db, db.modelSpaceId(), {9, 9}, {8, 8});
        ObjectPtr<Line>(s.line, OpenMode::forWrite)->erase();
        ObjectPtr<Circle> c(s.circle, OpenMode::forWrite);
        c->setRadius(7);
        c->setLayer(s.layer);
        c.close();
        ObjectPtr<BlockReference> r(s.ref, OpenMode::forWrite);
        r->setXData({xApp(L"ZORMA_PARTS_CONTENTS"), xString(L"B1001")});
        r->setRotation(1.0);
        r.close();
        ObjectId layer2;
        db.addLayer(L"NEW", layer2);
        db.setVar(L"PDMODE", std::int32_t(3));
        ObjectPtr<SortentsTable> st;
        db.getSortentsTable(db.modelSpaceId(), OpenMode::forWrite, st);
        st->moveToBottom({s.circle});
        st.close();
        ObjectPtr<Dictionary> groups(db.groupDictionaryId(), OpenMode::forWrite);
        ObjectId g;
        groups->setAt(L"G", std::make_unique<Group>(), g);
    }
    addLine(db, db.modelSpaceId(), {1, 2}, {3, 4}); // a step of its own after the command
    ASSERT_NE(dumpDatabase(db), before);
    int steps = 0;
    ASSERT_OK(db.undoBack(&steps));
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(dumpDatabase(db), before);
    ObjectId found;
    EXPECT_EQ(db.getLayerId(L"NEW", found), Status::keyNotFound);
    EXPECT_FALSE(s.line.isErased());
}

TEST(UndoJournal, UndoTakesBackWholeCommandsAndHandlesRestart) {
    Sample s;
    Database& db = s.db;
    const std::wstring before = dumpDatabase(db);
    const Handle seed = db.handleSeed();
    ObjectId added;
    {
        UndoGroup cmd(db);
        added = addLine(db, db.modelSpaceId(), {0, 0}, {5, 0});
        ObjectPtr<Line>(added, OpenMode::forWrite)->setEndPoint({6, 0});
    }
    EXPECT_EQ(db.undoStepCount(), 1);
    ASSERT_OK(db.undo(1));
    EXPECT_EQ(dumpDatabase(db), before);
    EXPECT_FALSE(added.isValid());
    EXPECT_EQ(db.handleSeed(), seed);
    EXPECT_EQ(db.undo(1), Status::outOfRange);
}

TEST(UndoJournal, MarkInsideARunningCommandTakesBackOnlyTheTrial) {
    Sample s;
    Database& db = s.db;
    UndoGroup cmd(db);
    ObjectPtr<Circle>(s.circle, OpenMode::forWrite)->setRadius(4);
    const std::wstring afterFirstChange = dumpDatabase(db);
    db.undoMark();
    {
        UndoGroup trial(db); // a host command run from inside the command
        ObjectPtr<Circle>(s.circle, OpenMode::forWrite)->setRadius(9);
        addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    }
    ASSERT_OK(db.undoBack());
    EXPECT_EQ(dumpDatabase(db), afterFirstChange);
}

TEST(UndoJournal, RefusesWhileObjectsAreOpen) {
    Sample s;
    addLine(s.db, s.db.modelSpaceId(), {0, 0}, {1, 0});
    ObjectPtr<Line> open(s.line, OpenMode::forRead);
    EXPECT_NE(s.db.undo(1), Status::ok);
}

TEST(Purge, FindsExactlyTheUnreferencedBlocksAndLayers) {
    Database db;
    ObjectId used, unused, nestedOnly, onlyInErased, ltUsedByLayer, ltUnused;
    db.addLayer(L"USED", used);
    db.addLayer(L"UNUSED", unused);
    db.addLayer(L"NESTED", nestedOnly);
    db.addLayer(L"ERASEDONLY", onlyInErased);
    ObjectId defpoints;
    db.addLayer(L"Defpoints", defpoints);
    {
        ObjectPtr<LinetypeTable> lt(db.linetypeTableId(), OpenMode::forWrite);
        lt->add(std::make_unique<LinetypeTableRecord>(L"DASHED"), ltUsedByLayer);
        lt->add(std::make_unique<LinetypeTableRecord>(L"PHANTOM"), ltUnused);
    }
    ObjectPtr<LayerTableRecord>(used, OpenMode::forWrite)->setLinetype(ltUsedByLayer);
    ObjectId inner, outer, orphan;
    db.addBlock(L"INNER", inner);
    db.addBlock(L"OUTER", outer);
    db.addBlock(L"ORPHAN", orphan);
    ObjectId e;
    auto l = std::make_unique<Line>(Point3d(0, 0), Point3d(1, 0));
    l->setLayer(L"NESTED");
    db.appendEntity(inner, std::move(l), e);
    db.appendEntity(outer, std::make_unique<BlockReference>(Point3d(), inner), e);
    auto top = std::make_unique<BlockReference>(Point3d(), outer);
    top->setLayer(L"USED");
    db.appendToModelSpace(std::move(top), e);
    auto gone = std::make_unique<Line>(Point3d(0, 0), Point3d(1, 0));
    gone->setLayer(L"ERASEDONLY");
    db.appendToModelSpace(std::move(gone), e);
    ObjectPtr<Entity>(e, OpenMode::forWrite)->erase();

    std::vector<ObjectId> ids = {
        used,   unused,           nestedOnly, onlyInErased,      inner,         outer,
        orphan, db.layerZeroId(), defpoints,  db.modelSpaceId(), ltUsedByLayer, ltUnused};
    ASSERT_OK(db.purge(ids));
    EXPECT_EQ(ids, (std::vector<ObjectId>{unused, onlyInErased, orphan, ltUnused}));
}
