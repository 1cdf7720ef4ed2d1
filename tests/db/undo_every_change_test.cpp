// Undo of every kind of change: after a mark, a command that makes the change and UNDO Back, the
// drawing is the one before, dump for dump, with the same handles; the same change made again
// gives the same result, handles included.
#include "sample_drawing.h"
#include "support/status.h"

#include <functional>

using namespace dbtest;

namespace {

struct Change {
    const char* name;
    std::function<void(SampleDrawing&)> make;
    // What the drawing holds before the mark, beyond the sample (then cleared from the journal).
    std::function<void(SampleDrawing&)> prepare = {};
};

void PrintTo(const Change& c, std::ostream* os) {
    *os << c.name;
}

template <class T> void edit(ObjectId id, const std::function<void(T&)>& f) {
    ObjectPtr<T> p(id, OpenMode::forWrite);
    ASSERT_TRUE(p) << toString(p.status());
    f(*p);
}

// Every live object's handle → its dump, to check that identities survive as well as contents.
std::map<std::uint64_t, std::wstring> byHandle(const Database& db) {
    std::map<std::uint64_t, std::wstring> out;
    for (ObjectId id : db.allObjectIds(true)) {
        ObjectPtr<DbObject> o(id, OpenMode::forRead, true);
        if (o)
            out[o->handle().value()] = dumpObject(*o);
    }
    return out;
}

const std::vector<Change>& changes() {
    static const std::vector<Change> all = {
        {"LineGeometryAndColour",
         [](SampleDrawing& s) {
             edit<Line>(s.of(ObjectType::line), [](Line& l) {
                 ASSERT_OK(l.setStartPoint({-5, -5, 0}));
                 ASSERT_OK(l.setColorIndex(5));
             });
         }},
        {"EveryEntityMovedAndRecoloured",
         [](SampleDrawing& s) {
             for (const auto& [type, id] : s.entities)
                 edit<Entity>(id, [](Entity& e) {
                     e.transformBy(geom::Matrix3d::translation({3, 4, 0}));
                     ASSERT_OK(e.setColorIndex(200));
                     ASSERT_OK(e.setLayer(L"0"));
                     ASSERT_OK(e.setVisible(false));
                 });
         }},
        {"XDataReplacedAndRemoved",
         [](SampleDrawing& s) {
             edit<Entity>(s.of(ObjectType::circle), [](Entity& e) {
                 ASSERT_OK(e.setXData({xApp(kApp), xString(L"changed")}));
             });
             edit<Entity>(s.of(ObjectType::arc),
                          [](Entity& e) { ASSERT_OK(e.setXData({xApp(kApp)})); });
         }},
        {"XDataOfANewApplication",
         [](SampleDrawing& s) {
             ASSERT_OK(s.db.registerApp(L"OTHER_APP"));
             edit<Entity>(s.of(ObjectType::text), [](Entity& e) {
                 ASSERT_OK(e.setXData({xApp(L"OTHER_APP"), xInt32(70000)}));
             });
         }},
        {"LayerAddedRenamedAndChanged",
         [](SampleDrawing& s) {
             ObjectId added;
             ASSERT_OK(s.db.addLayer(L"NEW", added));
             edit<LayerTableRecord>(s.layer, [](LayerTableRecord& l) {
                 ASSERT_OK(l.setName(L"RENAMED"));
                 ASSERT_OK(l.setColorIndex(6));
                 ASSERT_OK(l.setLocked(true));
             });
             ASSERT_OK(s.db.setClayer(added));
         }},
        {"TableRecordsOfEveryTableAdded",
         [](SampleDrawing& s) {
             ObjectId id;
             ASSERT_OK(s.db.addBlock(L"NEW_BLOCK", id));
             ObjectPtr<LinetypeTable>(s.db.linetypeTableId(), OpenMode::forWrite)
                 ->add(std::make_unique<LinetypeTableRecord>(L"CENTER"), id);
             ObjectPtr<TextStyleTable>(s.db.textStyleTableId(), OpenMode::forWrite)
                 ->add(std::make_unique<TextStyleTableRecord>(L"ROMANS"), id);
             ASSERT_OK(s.db.registerApp(L"NEW_APP"));
         }},
        {"TableRecordErased",
         [](SampleDrawing& s) {
             edit<DbObject>(s.dashed, [](DbObject& o) { ASSERT_OK(o.erase()); });
         }},
        {"EntitiesErased",
         [](SampleDrawing& s) {
             for (ObjectType t : {ObjectType::line, ObjectType::blockReference, ObjectType::hatch})
                 edit<Entity>(s.of(t), [](Entity& e) { ASSERT_OK(e.erase()); });
         }},
        {"EntityUnerased",
         [](SampleDrawing& s) {
             ObjectPtr<Entity> c(s.of(ObjectType::circle), OpenMode::forWrite, true);
             ASSERT_TRUE(c);
             ASSERT_OK(c->erase(false));
         },
         [](SampleDrawing& s) {
             edit<Entity>(s.of(ObjectType::circle), [](Entity& e) { ASSERT_OK(e.erase()); });
         }},
        {"DeepCloneIntoModelSpaceAndABlock",
         [](SampleDrawing& s) {
             IdMap map;
             ASSERT_OK(s.db.deepCloneObjects(
                 {s.of(ObjectType::blockReference), s.of(ObjectType::polyline)},
                 s.db.modelSpaceId(), map));
             IdMap intoBlock;
             ASSERT_OK(s.db.deepCloneObjects({s.of(ObjectType::circle)}, s.block, intoBlock));
         }},
        {"ReferenceExplodedIntoItsPieces",
         [](SampleDrawing& s) {
             std::vector<std::unique_ptr<Entity>> pieces;
             {
                 ObjectPtr<BlockReference> r(s.ref, OpenMode::forRead);
                 ASSERT_OK(r->explode(pieces));
             }
             for (auto& p : pieces) {
                 ObjectId id;
                 ASSERT_OK(s.db.appendToModelSpace(std::move(p), id));
             }
             edit<Entity>(s.ref, [](Entity& e) { ASSERT_OK(e.erase()); });
         }},
        {"DrawOrderChanged",
         [](SampleDrawing& s) {
             ObjectPtr<SortentsTable> order;
             ASSERT_OK(s.db.getSortentsTable(s.db.modelSpaceId(), OpenMode::forWrite, order));
             ASSERT_OK(order->moveToTop({s.of(ObjectType::hatch)}));
             ASSERT_OK(order->moveBelow({s.of(ObjectType::text)}, s.of(ObjectType::line)));
         }},
        {"DrawOrderOfABlockWithoutOne",
         [](SampleDrawing& s) {
             ObjectId second = addLine(s.db, s.block, {0, 1}, {5, 1});
             ObjectPtr<SortentsTable> order;
             ASSERT_OK(s.db.getSortentsTable(s.block, OpenMode::forWrite, order));
             ASSERT_OK(order->moveToBottom({second}));
         }},
        {"GroupEditedAndAnotherRemoved",
         [](SampleDrawing& s) {
             ObjectPtr<Dictionary> groups(s.db.groupDictionaryId(), OpenMode::forWrite);
             ObjectId gid;
             ASSERT_OK(groups->getAt(L"組1", gid));
             groups.close();
             edit<Group>(gid, [&](Group& g) {
                 ASSERT_OK(g.remove(s.ref));
                 ASSERT_OK(g.append(s.of(ObjectType::mtext)));
                 ASSERT_OK(g.setDescription(L"changed"));
             });
             ObjectPtr<Dictionary> again(s.db.groupDictionaryId(), OpenMode::forWrite);
             ObjectId anon;
             ASSERT_OK(again->setAt(L"*", std::make_unique<Group>(), anon));
             ASSERT_OK(again->remove(L"組1"));
         }},
        {"AttributesEditedAndAppended",
         [](SampleDrawing& s) {
             ObjectPtr<BlockReference> r(s.ref, OpenMode::forWrite);
             for (ObjectId a : r->attributeIds())
                 edit<Attribute>(a, [](Attribute& at) { ASSERT_OK(at.setTextString(L"M16")); });
             auto extra = std::make_unique<Attribute>();
             extra->setTag(L"LEN");
             extra->setTextString(L"40");
             ObjectId id;
             ASSERT_OK(r->appendAttribute(std::move(extra), id));
             ASSERT_OK(r->transformBy(geom::Matrix3d::rotation(1.0, {0, 0, 1}, {0, 0, 0})));
         }},
        {"VariablesSet",
         [](SampleDrawing& s) {
             ASSERT_OK(s.db.setVar(L"PDMODE", std::int32_t(35)));
             ASSERT_OK(s.db.setVar(L"TEXTSIZE", 7.0));
             ASSERT_OK(s.db.setVar(L"INSBASE", Point3d(1, 2, 3)));
         }},
        {"AnotherDrawingInsertedAsABlock",
         [](SampleDrawing& s) {
             SampleDrawing other;
             ObjectId id;
             ASSERT_OK(s.db.insert(L"OTHER", other.db, id));
             ASSERT_OK(
                 s.db.appendToModelSpace(std::make_unique<BlockReference>(Point3d(), id), id));
         }},
        {"BlockDefinitionEdited",
         [](SampleDrawing& s) {
             edit<BlockTableRecord>(s.block, [](BlockTableRecord& b) {
                 ASSERT_OK(b.setOrigin({5, 5, 0}));
                 ASSERT_OK(b.setComments(L"edited"));
             });
             for (ObjectId id :
                  ObjectPtr<BlockTableRecord>(s.block, OpenMode::forRead)->entityIds())
                 edit<Entity>(id, [](Entity& e) { ASSERT_OK(e.erase()); });
             addLine(s.db, s.block, {0, 0}, {0, 9});
         }},
    };
    return all;
}

class UndoRestores : public ::testing::TestWithParam<Change> {};

} // namespace

TEST_P(UndoRestores, TheDrawingDumpForDumpAndHandleForHandle) {
    SampleDrawing s;
    if (GetParam().prepare) {
        GetParam().prepare(s);
        s.db.clearUndo();
    }
    const std::wstring before = dumpDatabase(s.db);
    const auto handlesBefore = byHandle(s.db);
    const Handle seed = s.db.handleSeed();
    ASSERT_OK(s.db.undoMark());
    {
        UndoGroup command(s.db);
        GetParam().make(s);
    }
    if (HasFatalFailure())
        return;
    const auto after = byHandle(s.db);
    ASSERT_NE(dumpDatabase(s.db), before) << "the change changed nothing";
    const Handle seedAfter = s.db.handleSeed();

    ASSERT_OK(s.db.undoBack());
    EXPECT_EQ(dumpDatabase(s.db), before);
    EXPECT_EQ(byHandle(s.db), handlesBefore);
    EXPECT_EQ(s.db.handleSeed().value(), seed.value());
    for (const auto& [handle, dump] : handlesBefore) {
        ObjectId id;
        EXPECT_OK(s.db.getObjectId(Handle(handle), id)) << std::hex << handle;
    }

    // The same change again: the same drawing, the same new handles (new ids: those are never
    // given twice).
    {
        UndoGroup command(s.db);
        GetParam().make(s);
    }
    EXPECT_EQ(byHandle(s.db), after);
    EXPECT_EQ(s.db.handleSeed().value(), seedAfter.value());
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfChange, UndoRestores, ::testing::ValuesIn(changes()),
                         [](const ::testing::TestParamInfo<Change>& info) {
                             return std::string(info.param.name);
                         });
