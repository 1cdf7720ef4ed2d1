// Purge with nested blocks and references across kinds: a definition counts as used only
// through live references reaching it, whatever the nesting; styles, linetypes and applications
// count through every object that names them, in model space, in definitions and in the tables.
#include "sample_drawing.h"
#include "support/status.h"
#include "zhost/db/reference_counts.h"

using namespace dbtest;

namespace {

ObjectId insertOf(Database& db, ObjectId into, ObjectId block) {
    ObjectId id;
    EXPECT_OK(db.appendEntity(into, std::make_unique<BlockReference>(Point3d(), block), id));
    return id;
}

ObjectId block(Database& db, const wchar_t* name) {
    ObjectId id;
    EXPECT_OK(db.addBlock(name, id));
    return id;
}

std::vector<ObjectId> purged(const Database& db, std::vector<ObjectId> ids) {
    EXPECT_OK(db.purge(ids));
    return ids;
}

} // namespace

TEST(PurgeNesting, ADeepChainIsKeptByItsOneTopReference) {
    Database db;
    std::vector<ObjectId> chain;
    for (int i = 0; i < 6; ++i)
        chain.push_back(block(db, (L"LEVEL" + std::to_wstring(i)).c_str()));
    for (int i = 0; i + 1 < 6; ++i)
        insertOf(db, chain[size_t(i)], chain[size_t(i) + 1]);
    addLine(db, chain.back(), {0, 0}, {1, 1});
    insertOf(db, db.modelSpaceId(), chain.front());
    EXPECT_EQ(purged(db, chain), std::vector<ObjectId>{});
}

TEST(PurgeNesting, AnUnusedDefinitionFreesWhatItAloneUsesOnTheNextPass) {
    Database db;
    const ObjectId outer = block(db, L"OUTER"), inner = block(db, L"INNER");
    insertOf(db, outer, inner);
    // The platform's purge: INNER is still referenced by OUTER's definition in the first pass.
    EXPECT_EQ(purged(db, {outer, inner}), std::vector<ObjectId>{outer});
    ObjectPtr<BlockTableRecord>(outer, OpenMode::forWrite)->erase();
    EXPECT_EQ(purged(db, {inner}), std::vector<ObjectId>{inner});
}

TEST(PurgeNesting, AReferenceInsideADefinitionUsedTwiceKeepsIt) {
    Database db;
    const ObjectId a = block(db, L"A"), b = block(db, L"B"), shared = block(db, L"SHARED");
    insertOf(db, a, shared);
    insertOf(db, b, shared);
    insertOf(db, db.modelSpaceId(), a);
    EXPECT_EQ(purged(db, {a, b, shared}), std::vector<ObjectId>{b});
}

TEST(PurgeNesting, OnlyErasedOrPaperSpaceReferences) {
    Database db;
    const ObjectId erasedOnly = block(db, L"ERASED_ONLY"), paper = block(db, L"PAPER");
    const ObjectId r = insertOf(db, db.modelSpaceId(), erasedOnly);
    ObjectPtr<BlockReference>(r, OpenMode::forWrite)->erase();
    insertOf(db, db.paperSpaceId(), paper);
    // A reference in an erased definition counts for nothing either.
    const ObjectId dead = block(db, L"DEAD"), keptByDead = block(db, L"KEPT_BY_DEAD");
    insertOf(db, dead, keptByDead);
    ObjectPtr<BlockTableRecord>(dead, OpenMode::forWrite)->erase();
    EXPECT_EQ(purged(db, {erasedOnly, paper, keptByDead}),
              (std::vector<ObjectId>{erasedOnly, keptByDead}));
}

TEST(PurgeNesting, DefinitionsThatReferToEachOtherDoNotHangIt) {
    // A block cannot hold itself; a longer cycle can come from a file. Purge must end, and each
    // definition of the cycle counts as used by the other's.
    Database db;
    const ObjectId a = block(db, L"CYCLE_A"), b = block(db, L"CYCLE_B"), self = block(db, L"SELF");
    insertOf(db, a, b);
    insertOf(db, b, a);
    ObjectId id;
    EXPECT_EQ(db.appendEntity(self, std::make_unique<BlockReference>(Point3d(), self), id),
              Status::invalidInput);
    EXPECT_EQ(purged(db, {a, b, self}), std::vector<ObjectId>{self});
    insertOf(db, db.modelSpaceId(), a);
    EXPECT_EQ(purged(db, {a, b}), std::vector<ObjectId>{});
}

TEST(PurgeAcrossKinds, LayersLinetypesStylesAndApplicationsThroughDefinitions) {
    Database db;
    ObjectId inBlockLayer, attdefLayer, unusedLayer, ltOfLayer, ltInBlock, ltUnused;
    ObjectId styleOfAttdef, styleOfMText, styleUnused;
    db.addLayer(L"IN_BLOCK", inBlockLayer);
    db.addLayer(L"ATTDEF", attdefLayer);
    db.addLayer(L"UNUSED", unusedLayer);
    {
        ObjectPtr<LinetypeTable> lt(db.linetypeTableId(), OpenMode::forWrite);
        lt->add(std::make_unique<LinetypeTableRecord>(L"OF_LAYER"), ltOfLayer);
        lt->add(std::make_unique<LinetypeTableRecord>(L"IN_BLOCK"), ltInBlock);
        lt->add(std::make_unique<LinetypeTableRecord>(L"UNUSED"), ltUnused);
        ObjectPtr<TextStyleTable> st(db.textStyleTableId(), OpenMode::forWrite);
        st->add(std::make_unique<TextStyleTableRecord>(L"ATTDEF"), styleOfAttdef);
        st->add(std::make_unique<TextStyleTableRecord>(L"MTEXT"), styleOfMText);
        st->add(std::make_unique<TextStyleTableRecord>(L"UNUSED"), styleUnused);
    }
    // An unused layer that uses a linetype keeps it, as the layer table still names it.
    ObjectPtr<LayerTableRecord>(unusedLayer, OpenMode::forWrite)->setLinetype(ltOfLayer);
    ObjectId appInBlock, appOfLayer, appOfErased, appUnused;
    for (const wchar_t* app : {L"IN_BLOCK", L"OF_LAYER", L"OF_ERASED", L"UNUSED_APP"})
        db.registerApp(app);
    db.getRegAppId(L"IN_BLOCK", appInBlock);
    db.getRegAppId(L"OF_LAYER", appOfLayer);
    db.getRegAppId(L"OF_ERASED", appOfErased);
    db.getRegAppId(L"UNUSED_APP", appUnused);

    const ObjectId def = block(db, L"PART");
    auto line = std::make_unique<Line>(Point3d(0, 0), Point3d(1, 0));
    line->setLayer(L"IN_BLOCK");
    line->setLinetype(L"IN_BLOCK");
    line->setXData({xApp(L"IN_BLOCK"), xString(L"x")});
    ObjectId id;
    ASSERT_OK(db.appendEntity(def, std::move(line), id));
    auto attdef = std::make_unique<AttributeDefinition>();
    attdef->setTag(L"T");
    attdef->setLayer(L"ATTDEF");
    attdef->setTextStyle(styleOfAttdef);
    ASSERT_OK(db.appendEntity(def, std::move(attdef), id));
    auto mtext = std::make_unique<MText>();
    mtext->setTextStyle(styleOfMText);
    ASSERT_OK(db.appendEntity(def, std::move(mtext), id));
    ObjectPtr<LayerTableRecord>(attdefLayer, OpenMode::forWrite)
        ->setXData({xApp(L"OF_LAYER"), xInt16(1)});
    const ObjectId erased = addLine(db, db.modelSpaceId(), {0, 0}, {2, 2});
    ObjectPtr<Line>(erased, OpenMode::forWrite)->setXData({xApp(L"OF_ERASED"), xInt16(1)});
    ObjectPtr<Line>(erased, OpenMode::forWrite)->erase();
    // The definition is used by nothing, yet what it contains keeps its names (first pass).
    const std::vector<ObjectId> all = {
        inBlockLayer, attdefLayer, unusedLayer, ltOfLayer,  ltInBlock,   ltUnused, styleOfAttdef,
        styleOfMText, styleUnused, appInBlock,  appOfLayer, appOfErased, appUnused};
    EXPECT_EQ(purged(db, all),
              (std::vector<ObjectId>{unusedLayer, ltUnused, styleUnused, appOfErased, appUnused}));
}

TEST(PurgeAcrossKinds, NeverPurgesTheDrawingsOwnRecords) {
    SampleDrawing s;
    Database& db = s.db;
    ObjectId defpoints, current, ltCurrent, standard, acad;
    db.addLayer(L"Defpoints", defpoints);
    db.addLayer(L"CURRENT", current);
    ASSERT_OK(db.setClayer(current));
    ASSERT_OK(db.getTextStyleId(L"Standard", standard));
    ASSERT_OK(db.getRegAppId(L"ACAD", acad));
    ObjectPtr<LinetypeTable>(db.linetypeTableId(), OpenMode::forWrite)
        ->add(std::make_unique<LinetypeTableRecord>(L"CURRENT_LT"), ltCurrent);
    ASSERT_OK(db.setVar(L"CELTYPE", std::wstring(L"CURRENT_LT")));
    const std::vector<ObjectId> fixed = {db.layerZeroId(),
                                         defpoints,
                                         current,
                                         db.modelSpaceId(),
                                         db.paperSpaceId(),
                                         db.byLayerLinetypeId(),
                                         db.byBlockLinetypeId(),
                                         db.continuousLinetypeId(),
                                         ltCurrent,
                                         standard,
                                         acad};
    EXPECT_EQ(purged(db, fixed), std::vector<ObjectId>{});
}

TEST(PurgeAcrossKinds, NullAndForeignIdsAreLeftOut) {
    SampleDrawing s;
    Database other;
    ObjectId unused;
    ASSERT_OK(s.db.addLayer(L"UNUSED", unused));
    std::vector<ObjectId> ids = {ObjectId(), other.layerZeroId(), unused};
    EXPECT_OK(s.db.purge(ids));
    EXPECT_EQ(ids, std::vector<ObjectId>{unused});
}

// Counts made once and kept by notes must answer as a fresh purge would after every change: a
// reference appended with an attribute on its own layer and extended data, a reference erased
// with its attributes, a definition erased with what it contains.
TEST(PurgeCountsKeptByNotes, AnswerAsAFreshPurgeAfterEveryChange) {
    Database db;
    ObjectId attLayer, lineLayer;
    db.addLayer(L"ATT", attLayer);
    db.addLayer(L"IN_OLD", lineLayer);
    db.registerApp(L"PART_DATA");
    const ObjectId part = block(db, L"PART"), old = block(db, L"OLD"), nested = block(db, L"NEST");
    addLine(db, part, {0, 0}, {1, 0});
    insertOf(db, old, nested);
    ObjectPtr<Line>(addLine(db, old, {0, 0}, {1, 1}), OpenMode::forWrite)->setLayer(L"IN_OLD");
    const ObjectId oldRef = insertOf(db, db.modelSpaceId(), old);
    ReferenceCounts counts(db);
    auto agree = [&](const char* after) {
        SCOPED_TRACE(after);
        std::vector<ObjectId> fresh = db.allObjectIds(), kept = fresh;
        ASSERT_OK(db.purge(fresh));
        ASSERT_OK(counts.purge(kept));
        EXPECT_EQ(kept, fresh);
    };
    agree("nothing changed");

    const ObjectId partRef = insertOf(db, db.modelSpaceId(), part);
    {
        ObjectPtr<BlockReference> ref(partRef, OpenMode::forWrite);
        auto att = std::make_unique<Attribute>();
        att->setTag(L"NO");
        att->setLayer(attLayer);
        ObjectId attId;
        ASSERT_OK(ref->appendAttribute(std::move(att), attId));
        ASSERT_OK(ref->setXData({xApp(L"PART_DATA"), xInt16(1)}));
    }
    counts.added(partRef);
    agree("a reference with an attribute appended");
    EXPECT_EQ(purged(db, {part, attLayer}), std::vector<ObjectId>{});

    counts.erasing(partRef);
    ASSERT_OK(ObjectPtr<BlockReference>(partRef, OpenMode::forWrite)->erase());
    agree("the reference erased");
    EXPECT_EQ(purged(db, {part, attLayer}), (std::vector<ObjectId>{part, attLayer}));

    counts.erasing(oldRef);
    ASSERT_OK(ObjectPtr<BlockReference>(oldRef, OpenMode::forWrite)->erase());
    agree("the other reference erased");
    counts.erasing(old);
    ASSERT_OK(ObjectPtr<BlockTableRecord>(old, OpenMode::forWrite)->erase());
    agree("its definition erased");
    EXPECT_EQ(purged(db, {nested, lineLayer}), (std::vector<ObjectId>{nested, lineLayer}));
}
