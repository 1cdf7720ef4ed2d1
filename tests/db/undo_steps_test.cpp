// Undo step by step and the identity of objects across undo: each UNDO 1 goes back exactly one
// command; ids and handles of what stays are untouched; what is taken back is gone for every
// look-up, and its handle is given again to the next new object.
#include "sample_drawing.h"
#include "support/status.h"

using namespace dbtest;

TEST(UndoSteps, EachStepGoesBackToTheDrawingBeforeIt) {
    SampleDrawing s;
    Database& db = s.db;
    std::vector<std::wstring> states = {dumpDatabase(db)};
    // Five commands, and two changes outside any command (each a step of its own).
    for (int i = 0; i < 5; ++i) {
        {
            UndoGroup cmd(db);
            addLine(db, db.modelSpaceId(), {double(i), 0}, {double(i), 9});
            ObjectPtr<Circle>(s.of(ObjectType::circle), OpenMode::forWrite)->setRadius(10.0 + i);
            ObjectPtr<Circle>(s.of(ObjectType::circle), OpenMode::forWrite)->setRadius(20.0 + i);
        }
        states.push_back(dumpDatabase(db));
    }
    ObjectPtr<Arc>(s.of(ObjectType::arc), OpenMode::forWrite)->setRadius(99);
    states.push_back(dumpDatabase(db));
    ASSERT_OK(db.setVar(L"PDSIZE", 3.0));
    states.push_back(dumpDatabase(db));
    ASSERT_EQ(db.undoStepCount(), 7);

    for (int step = int(states.size()) - 2; step >= 0; --step) {
        ASSERT_OK(db.undo(1)) << "step " << step;
        EXPECT_EQ(dumpDatabase(db), states[size_t(step)]) << "after undoing back to " << step;
    }
    EXPECT_EQ(db.undoStepCount(), 0);
    EXPECT_EQ(db.undo(1), Status::outOfRange);
    EXPECT_EQ(dumpDatabase(db), states.front());
}

TEST(UndoSteps, UndoOfSeveralStepsAtOnceEqualsOneAtATime) {
    SampleDrawing one, many;
    for (SampleDrawing* s : {&one, &many})
        for (int i = 0; i < 4; ++i) {
            UndoGroup cmd(s->db);
            ObjectId id = addLine(s->db, s->db.modelSpaceId(), {0, double(i)}, {1, double(i)});
            ObjectPtr<Line>(id, OpenMode::forWrite)->setColorIndex(i + 1);
            ObjectPtr<Entity>(s->of(ObjectType::text), OpenMode::forWrite, true)->erase(i % 2 == 0);
        }
    for (int i = 0; i < 3; ++i)
        ASSERT_OK(one.db.undo(1));
    ASSERT_OK(many.db.undo(3));
    EXPECT_EQ(dumpDatabase(one.db), dumpDatabase(many.db));
    EXPECT_EQ(many.db.undo(5), Status::outOfRange); // one step left: taken, then the journal ends
    EXPECT_EQ(many.db.undoStepCount(), 0);
}

TEST(UndoHandles, WhatStaysKeepsItsIdAndHandle) {
    SampleDrawing s;
    Database& db = s.db;
    std::map<ObjectType, std::uint64_t> handles;
    for (const auto& [type, id] : s.entities)
        handles[type] = ObjectPtr<Entity>(id, OpenMode::forRead)->handle().value();
    {
        UndoGroup cmd(db);
        for (const auto& [type, id] : s.entities)
            ObjectPtr<Entity>(id, OpenMode::forWrite)->setColorIndex(250);
        addLine(db, db.modelSpaceId(), {0, 0}, {3, 3});
    }
    ASSERT_OK(db.undo(1));
    for (const auto& [type, id] : s.entities) {
        ObjectPtr<Entity> e(id, OpenMode::forRead);
        ASSERT_TRUE(e) << int(type);
        EXPECT_EQ(e->handle().value(), handles[type]) << int(type);
        EXPECT_EQ(e->objectId(), id);
        ObjectId found;
        ASSERT_OK(db.getObjectId(e->handle(), found));
        EXPECT_EQ(found, id);
        EXPECT_NE(e->colorIndex(), 250);
    }
}

TEST(UndoHandles, WhatIsTakenBackIsGoneAndItsHandleIsGivenAgain) {
    SampleDrawing s;
    Database& db = s.db;
    const Handle seed = db.handleSeed();
    ObjectId line, layer, block, group;
    {
        UndoGroup cmd(db);
        line = addLine(db, db.modelSpaceId(), {0, 0}, {3, 3});
        ASSERT_OK(db.addLayer(L"TEMP", layer));
        ASSERT_OK(db.addBlock(L"TEMPBLOCK", block));
        ObjectPtr<Dictionary> groups(db.groupDictionaryId(), OpenMode::forWrite);
        ASSERT_OK(groups->setAt(L"TEMPGROUP", std::make_unique<Group>(), group));
    }
    const Handle lineHandle = ObjectPtr<Line>(line, OpenMode::forRead)->handle();
    ASSERT_OK(db.undo(1));

    for (ObjectId gone : {line, layer, block, group}) {
        EXPECT_FALSE(gone.isValid());
        ObjectPtr<DbObject> o(gone, OpenMode::forRead, true);
        EXPECT_FALSE(o);
    }
    ObjectId found;
    EXPECT_EQ(db.getObjectId(lineHandle, found), Status::keyNotFound);
    EXPECT_EQ(db.getLayerId(L"TEMP", found), Status::keyNotFound);
    EXPECT_EQ(db.getBlockId(L"TEMPBLOCK", found), Status::keyNotFound);
    EXPECT_FALSE(
        ObjectPtr<Dictionary>(db.groupDictionaryId(), OpenMode::forRead)->has(L"TEMPGROUP"));
    for (ObjectId id :
         ObjectPtr<BlockTableRecord>(db.modelSpaceId(), OpenMode::forRead)->entityIds())
        EXPECT_NE(id, line);

    EXPECT_EQ(db.handleSeed().value(), seed.value());
    const ObjectId again = addLine(db, db.modelSpaceId(), {5, 5}, {6, 6});
    EXPECT_EQ(ObjectPtr<Line>(again, OpenMode::forRead)->handle().value(), seed.value());
    EXPECT_NE(again, line); // ids are never reused, handles are
    ASSERT_OK(db.getObjectId(Handle(seed.value()), found));
    EXPECT_EQ(found, again);
}

TEST(UndoHandles, AHandleTakenFromAnUndoneObjectIsFreeAgainForSetHandle) {
    Database db;
    const ObjectId a = addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    db.clearUndo();
    {
        UndoGroup cmd(db);
        const ObjectId b = addLine(db, db.modelSpaceId(), {0, 1}, {1, 1});
        ASSERT_OK(db.setHandle(b, Handle(0x5000)));
    }
    ASSERT_OK(db.undo(1));
    ObjectId found;
    EXPECT_EQ(db.getObjectId(Handle(0x5000), found), Status::keyNotFound);
    EXPECT_OK(db.setHandle(a, Handle(0x5000)));
    ASSERT_OK(db.getObjectId(Handle(0x5000), found));
    EXPECT_EQ(found, a);
}

TEST(UndoHandles, AHandleChangedInAStepComesBack) {
    Database db;
    const ObjectId a = addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    const Handle original = ObjectPtr<Line>(a, OpenMode::forRead)->handle();
    db.clearUndo();
    {
        UndoGroup cmd(db);
        ASSERT_OK(db.setHandle(a, Handle(0x7777)));
        ObjectPtr<Line>(a, OpenMode::forWrite)->setEndPoint({5, 5, 0});
    }
    ASSERT_OK(db.undo(1));
    ObjectId found;
    ASSERT_OK(db.getObjectId(original, found));
    EXPECT_EQ(found, a);
    EXPECT_EQ(db.getObjectId(Handle(0x7777), found), Status::keyNotFound);
    EXPECT_EQ(ObjectPtr<Line>(a, OpenMode::forRead)->handle(), original);
}
