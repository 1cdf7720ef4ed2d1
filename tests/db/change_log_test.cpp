// The change log against the drawing itself: after random edits, erasures, block and layer
// changes, variables, undo groups, marks and undos, every object whose dump differs from a
// snapshot taken at some serial is reported for that serial, classified where it stood, and
// flagged new exactly when the snapshot did not hold it.
#include "sample_drawing.h"
#include "support/status.h"

#include "zhost/db/dump.h"

#include <random>

using namespace dbtest;

namespace {

const std::vector<std::wstring> kVariables = {L"LTSCALE", L"CLAYER", L"TEXTSIZE"};

struct Snapshot {
    std::uint64_t serial = 0;
    std::unordered_map<ObjectId, std::wstring> objects; // erased ones too
    std::map<std::wstring, VarValue> variables;
};

Snapshot snapshot(const Database& db) {
    Snapshot s;
    s.serial = db.changeSerial();
    for (ObjectId id : db.allObjectIds(true)) {
        ObjectPtr<DbObject> o(id, OpenMode::forRead, true);
        if (o)
            s.objects[id] = (o->isErased() ? L"erased " : L"") + dumpObject(*o);
    }
    for (const std::wstring& name : kVariables) {
        db.getVar(name, s.variables[name]);
    }
    return s;
}

ObjectId ownerOf(ObjectId id) {
    ObjectPtr<DbObject> o(id, OpenMode::forRead, true);
    return o ? o->ownerId() : ObjectId();
}

bool isRecord(ObjectType t) {
    return t == ObjectType::layerTableRecord || t == ObjectType::linetypeTableRecord ||
           t == ObjectType::textStyleTableRecord || t == ObjectType::regAppTableRecord;
}

// Everything that differs between the snapshot and now is in the log, described right.
void expectLogCovers(const Database& db, const Snapshot& before, const std::string& where) {
    SCOPED_TRACE(where);
    const ChangeSet c = db.changesSince(before.serial);
    ASSERT_FALSE(c.all);
    std::unordered_map<ObjectId, ObjectChange> reported;
    for (const ObjectChange& oc : c.objects)
        EXPECT_TRUE(reported.emplace(oc.id, oc).second) << "reported twice";
    const Snapshot now = snapshot(db);
    std::vector<ObjectId> ids;
    for (const auto& [id, dump] : before.objects)
        ids.push_back(id);
    for (const auto& [id, dump] : now.objects)
        if (!before.objects.count(id))
            ids.push_back(id);
    for (ObjectId id : ids) {
        const auto b = before.objects.find(id), n = now.objects.find(id);
        const bool was = b != before.objects.end(), is = n != now.objects.end();
        if (was && is && b->second == n->second)
            continue;
        const auto r = reported.find(id);
        if (r == reported.end() && is) {
            // A draw order lists the block's live entities: it follows their changes by itself.
            ObjectPtr<SortentsTable> order(id, OpenMode::forRead);
            if (order && std::any_of(c.objects.begin(), c.objects.end(),
                                     [&](const auto& oc) { return oc.block == order->ownerId(); }))
                continue;
        }
        ASSERT_NE(r, reported.end()) << "missing " << toUtf8(is ? n->second : b->second);
        EXPECT_EQ(r->second.added, !was) << toUtf8(is ? n->second : b->second);
        if (!is)
            continue;
        ObjectPtr<DbObject> o(id, OpenMode::forRead, true);
        const ObjectId owner = o->ownerId();
        if (owner == db.modelSpaceId() && dynamic_cast<const Entity*>(o.get())) {
            EXPECT_EQ(r->second.block, db.modelSpaceId());
            EXPECT_EQ(r->second.entity, id);
        }
        if (o->type() == ObjectType::attribute) {
            EXPECT_EQ(r->second.entity, owner);
            EXPECT_EQ(r->second.block, ownerOf(owner));
        }
        if (isRecord(o->type()) && was) {
            EXPECT_TRUE(c.tables) << toUtf8(n->second);
        }
        const ObjectId block = o->type() == ObjectType::blockTableRecord               ? id
                               : ObjectPtr<BlockTableRecord>(owner, OpenMode::forRead) ? owner
                                                                                       : ObjectId();
        if (!block.isNull() && block != db.modelSpaceId() && block != db.paperSpaceId()) {
            EXPECT_NE(std::find(c.blocks.begin(), c.blocks.end(), block), c.blocks.end())
                << toUtf8(n->second);
        }
    }
    for (const auto& [name, value] : now.variables)
        if (before.variables.at(name) != value) {
            EXPECT_NE(std::find(c.variables.begin(), c.variables.end(), name), c.variables.end())
                << toUtf8(name);
        }
}

// Random edits of the sample drawing as commands make them.
class Editor {
public:
    Editor(SampleDrawing& s, unsigned seed) : s_(s), rng_(seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    ObjectId anyLive(ObjectId block) {
        ObjectPtr<BlockTableRecord> b(block, OpenMode::forRead);
        const std::vector<ObjectId> ids = b->entityIds();
        return ids.empty() ? ObjectId() : ids[std::size_t(pick(int(ids.size())))];
    }

    void step(std::string& log) {
        Database& db = s_.db;
        const int what = pick(13);
        log += std::to_string(what) + " ";
        switch (what) {
        case 0:
            addLine(db, db.modelSpaceId(), {double(pick(100)), 0, 0}, {0, double(pick(100)), 0});
            break;
        case 1:
            if (ObjectId id = anyLive(db.modelSpaceId()); !id.isNull())
                ObjectPtr<Entity>(id, OpenMode::forWrite)
                    ->transformBy(geom::Matrix3d::translation({1, 2, 0}));
            break;
        case 2:
            if (ObjectId id = anyLive(db.modelSpaceId()); !id.isNull() && id != s_.ref) {
                EXPECT_OK(ObjectPtr<Entity>(id, OpenMode::forWrite)->erase());
            }
            break;
        case 3: {
            ObjectPtr<BlockReference> r(s_.ref, OpenMode::forRead);
            const std::vector<ObjectId> attrs = r->attributeIds();
            r.close();
            if (!attrs.empty())
                ObjectPtr<Attribute>(attrs[0], OpenMode::forWrite)
                    ->setTextString(L"値" + std::to_wstring(pick(1000)));
            break;
        }
        case 4:
            if (pick(2) == 0)
                addLine(db, s_.block, {0, 0, 0}, {double(pick(50)), 5, 0});
            else if (ObjectId id = anyLive(s_.block); !id.isNull())
                ObjectPtr<Entity>(id, OpenMode::forWrite)->setColorIndex(1 + pick(200));
            break;
        case 5:
            if (pick(2) == 0) {
                ObjectPtr<LayerTableRecord>(s_.layer, OpenMode::forWrite)
                    ->setColorIndex(1 + pick(200));
            } else {
                ObjectId id;
                db.addLayer(L"L" + std::to_wstring(pick(5)), id);
            }
            break;
        case 6:
            if (pick(2) == 0)
                EXPECT_OK(db.setVar(L"LTSCALE", 0.5 + pick(4)));
            else
                EXPECT_OK(db.setVar(L"CLAYER", pick(2) ? L"0" : L"外形線"));
            break;
        case 7:
            if (db.undoGroupDepth() == 0)
                db.undo(1 + pick(2));
            break;
        case 8:
            if (db.undoGroupDepth() == 0 && pick(2) == 0) {
                EXPECT_OK(db.undoMark());
            } else if (db.undoGroupDepth() == 0) {
                EXPECT_OK(db.undoBack());
            }
            break;
        case 9:
            if (db.undoGroupDepth() < 2 && pick(2) == 0)
                db.beginUndoGroup();
            else
                db.endUndoGroup();
            break;
        case 10: {
            ObjectPtr<SortentsTable> order;
            ASSERT_OK(db.getSortentsTable(db.modelSpaceId(), OpenMode::forWrite, order));
            if (ObjectId id = anyLive(db.modelSpaceId()); !id.isNull())
                order->moveToTop({id});
            break;
        }
        case 11:
            if (ObjectId id = anyLive(db.modelSpaceId()); !id.isNull())
                ObjectPtr<Entity>(id, OpenMode::forWrite)->setLayer(L"外形線");
            break;
        case 12: {
            auto r = std::make_unique<BlockReference>(Point3d(pick(90), 5, 0), s_.block);
            ObjectId id;
            EXPECT_OK(db.appendToModelSpace(std::move(r), id));
            ObjectPtr<BlockReference>(id, OpenMode::forWrite)->appendAttributesFromBlock();
            break;
        }
        }
    }

private:
    SampleDrawing& s_;
    std::mt19937 rng_;
};

class ChangeLogAgreesWithSnapshots : public ::testing::TestWithParam<unsigned> {};

TEST_P(ChangeLogAgreesWithSnapshots, AfterRandomEditsAndUndos) {
    SampleDrawing s;
    Editor editor(s, GetParam());
    std::vector<Snapshot> taken{snapshot(s.db)};
    std::string ops;
    for (int i = 0; i < 80; ++i) {
        editor.step(ops);
        if (editor.pick(6) == 0)
            taken.push_back(snapshot(s.db));
        if (i % 20 == 19)
            for (const Snapshot& t : taken)
                expectLogCovers(s.db, t, "ops " + ops);
    }
    while (s.db.undoGroupDepth() > 0)
        s.db.endUndoGroup();
    s.db.undo(3);
    for (const Snapshot& t : taken)
        expectLogCovers(s.db, t, "after undo, ops " + ops);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ChangeLogAgreesWithSnapshots, ::testing::Range(1u, 13u));

TEST(ChangeLog, ReportsExactlyWhatOneEditTouched) {
    SampleDrawing s;
    const std::uint64_t start = s.db.changeSerial();
    EXPECT_TRUE(s.db.changesSince(start).empty());

    const ObjectId line = s.of(ObjectType::line);
    ObjectPtr<Line>(line, OpenMode::forWrite)->setStartPoint({5, 5, 0});
    ChangeSet c = s.db.changesSince(start);
    ASSERT_EQ(c.objects.size(), 1u);
    EXPECT_EQ(c.objects[0].id, line);
    EXPECT_FALSE(c.objects[0].added);
    EXPECT_FALSE(c.global());

    // A serial taken after the edit sees nothing of it.
    const std::uint64_t later = s.db.changeSerial();
    EXPECT_TRUE(s.db.changesSince(later).empty());
    const ObjectId added = addLine(s.db, s.db.modelSpaceId(), {0, 0, 0}, {1, 1, 0});
    c = s.db.changesSince(later);
    ASSERT_EQ(c.objects.size(), 2u); // the line and the list of model space's entities
    const auto& line2 = c.objects[0].id == added ? c.objects[0] : c.objects[1];
    const auto& model = c.objects[0].id == added ? c.objects[1] : c.objects[0];
    EXPECT_EQ(line2.id, added);
    EXPECT_TRUE(line2.added);
    EXPECT_EQ(line2.entity, added);
    EXPECT_EQ(model.id, s.db.modelSpaceId());
    EXPECT_EQ(model.block, s.db.modelSpaceId());
    EXPECT_FALSE(c.global()) << "appending to model space is no global change";
}

TEST(ChangeLog, SaysWhatReachesBeyondSingleObjects) {
    SampleDrawing s;
    std::uint64_t at = s.db.changeSerial();
    ObjectId fresh;
    s.db.addLayer(L"新しい層", fresh);
    EXPECT_FALSE(s.db.changesSince(at).tables) << "a new layer changes no drawn entity";

    at = s.db.changeSerial();
    ObjectPtr<LayerTableRecord>(s.layer, OpenMode::forWrite)->setOff(true);
    EXPECT_TRUE(s.db.changesSince(at).tables);

    at = s.db.changeSerial();
    addLine(s.db, s.block, {0, 0, 0}, {3, 3, 0});
    ChangeSet c = s.db.changesSince(at);
    EXPECT_EQ(c.blocks, std::vector<ObjectId>{s.block});

    at = s.db.changeSerial();
    EXPECT_OK(s.db.setVar(L"LTSCALE", 3.0));
    c = s.db.changesSince(at);
    EXPECT_EQ(c.variables, std::vector<std::wstring>{L"LTSCALE"});
    EXPECT_TRUE(c.global());
    s.db.undo();
    EXPECT_EQ(s.db.changesSince(at).variables, std::vector<std::wstring>{L"LTSCALE"});
}

TEST(ChangeLog, AnswersEverythingWhenItCannotTell) {
    SampleDrawing s;
    const std::uint64_t beforeLoad = s.db.changeSerial();
    s.db.setUndoRecording(false); // as a load does
    addLine(s.db, s.db.modelSpaceId(), {0, 0, 0}, {1, 0, 0});
    s.db.setUndoRecording(true);
    EXPECT_TRUE(s.db.changesSince(beforeLoad).all);
    EXPECT_TRUE(s.db.changesSince(s.db.changeSerial() + 5).all) << "a serial never given";

    // More changes than the log keeps: old readers get everything, recent ones the details.
    const std::uint64_t old = s.db.changeSerial();
    const ObjectId line = s.of(ObjectType::line);
    std::uint64_t recent = 0;
    for (std::size_t i = 0; i < (std::size_t(1) << 16) + 10; ++i) {
        if (i == (std::size_t(1) << 16))
            recent = s.db.changeSerial();
        ObjectPtr<Line> l(line, OpenMode::forWrite);
        l->setColorIndex(int(i % 200) + 1);
        l.close();
        ObjectPtr<Circle>(s.of(ObjectType::circle), OpenMode::forWrite)->setRadius(double(i + 1));
    }
    EXPECT_TRUE(s.db.changesSince(old).all);
    const ChangeSet c = s.db.changesSince(recent);
    ASSERT_FALSE(c.all);
    EXPECT_EQ(c.objects.size(), 2u);
}

} // namespace
