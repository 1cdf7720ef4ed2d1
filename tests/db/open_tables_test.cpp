#include "db_test_util.h"

#include "support/status.h"

using namespace dbtest;

TEST(OpenRules, ReadHandleRefusesChangesWithNotOpenForWrite) {
    Database db;
    ObjectId id = addLine(db, db.modelSpaceId(), {0, 0}, {10, 0});
    ObjectPtr<Line> line(id, OpenMode::forRead);
    ASSERT_OK(line.status());
    EXPECT_EQ(line->setEndPoint({5, 5}), Status::notOpenForWrite);
    EXPECT_EQ(line->setColorIndex(1), Status::notOpenForWrite);
    EXPECT_TRUE(line->endPoint().isEqualTo({10, 0}));
}

TEST(OpenRules, WriteExcludesOtherHandlesUntilClosed) {
    Database db;
    ObjectId id = addLine(db, db.modelSpaceId(), {0, 0}, {10, 0});
    {
        ObjectPtr<Line> w(id, OpenMode::forWrite);
        ASSERT_TRUE(w);
        ObjectPtr<Line> r(id, OpenMode::forRead);
        EXPECT_EQ(r.status(), Status::wasOpenForWrite);
    }
    ObjectPtr<Line> r1(id, OpenMode::forRead), r2(id, OpenMode::forRead);
    EXPECT_TRUE(r1 && r2);
    ObjectPtr<Line> w(id, OpenMode::forWrite);
    EXPECT_EQ(w.status(), Status::wasOpenForRead);
}

TEST(OpenRules, ErasedNullAndWrongTypeGiveTheirStatus) {
    Database db;
    ObjectId id = addLine(db, db.modelSpaceId(), {0, 0}, {10, 0});
    {
        ObjectPtr<Entity> e(id, OpenMode::forWrite);
        ASSERT_OK(e->erase());
    }
    EXPECT_EQ(ObjectPtr<Line>(id, OpenMode::forRead).status(), Status::wasErased);
    EXPECT_OK(ObjectPtr<Line>(id, OpenMode::forRead, true).status());
    EXPECT_EQ(ObjectPtr<Line>(ObjectId(), OpenMode::forRead).status(), Status::nullObjectId);
    EXPECT_EQ(ObjectPtr<Circle>(db.modelSpaceId(), OpenMode::forRead).status(),
              Status::wrongObjectType);
    // After a failed typed open the object is not left open.
    EXPECT_OK(ObjectPtr<BlockTableRecord>(db.modelSpaceId(), OpenMode::forWrite).status());
}

TEST(OpenRules, HandlesAreUniqueHexAndSettable) {
    Database db;
    ObjectId a = addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    ObjectId b = addLine(db, db.modelSpaceId(), {0, 0}, {2, 0});
    EXPECT_NE(a.handle(), b.handle());
    ObjectId found;
    ASSERT_OK(db.getObjectId(b.handle(), found));
    EXPECT_EQ(found, b);
    EXPECT_EQ(db.setHandle(a, b.handle()), Status::duplicateKey);
    ASSERT_OK(db.setHandle(a, Handle(0x2F0)));
    EXPECT_EQ(a.handle().toHex(), L"2F0");
    EXPECT_GT(db.handleSeed().value(), 0x2F0u);
    Handle h;
    ASSERT_TRUE(Handle::fromHex(L"2f0", h));
    ASSERT_OK(db.getObjectId(h, found));
    EXPECT_EQ(found, a);
}

TEST(SymbolTables, NamesCompareWithoutCaseAndStayUnique) {
    Database db;
    ObjectId layer;
    ASSERT_OK(db.addLayer(L"AM_0", layer));
    ObjectId found;
    ASSERT_OK(db.getLayerId(L"am_0", found));
    EXPECT_EQ(found, layer);
    ObjectId again;
    EXPECT_EQ(db.addLayer(L"Am_0", again), Status::duplicateKey);
    EXPECT_EQ(again, layer);
    ObjectId block;
    ASSERT_OK(db.addBlock(L"Bolt", block));
    EXPECT_EQ(db.addBlock(L"BOLT", block), Status::duplicateKey);
    EXPECT_EQ(db.addBlock(L"bad<name", block), Status::invalidInput);
    ObjectId ms;
    EXPECT_OK(db.getBlockId(L"*MODEL_SPACE", ms));
    EXPECT_EQ(ms, db.modelSpaceId());
}

TEST(SymbolTables, RenameAndEraseUpdateLookUps) {
    Database db;
    ObjectId a, b;
    db.addLayer(L"A", a);
    db.addLayer(L"B", b);
    {
        ObjectPtr<LayerTableRecord> la(a, OpenMode::forWrite);
        EXPECT_EQ(la->setName(L"b"), Status::duplicateKey);
        EXPECT_OK(la->setName(L"Outline"));
    }
    ObjectId found;
    EXPECT_EQ(db.getLayerId(L"A", found), Status::keyNotFound);
    EXPECT_OK(db.getLayerId(L"OUTLINE", found));
    {
        ObjectPtr<LayerTableRecord> lb(b, OpenMode::forWrite);
        ASSERT_OK(lb->erase());
    }
    EXPECT_EQ(db.getLayerId(L"B", found), Status::keyNotFound);
    ObjectPtr<LayerTable> table(db.layerTableId(), OpenMode::forRead);
    EXPECT_OK(table->getAt(L"b", found, true));
    EXPECT_EQ(found, b);
    EXPECT_EQ(table->count(), 2); // "0" and "Outline"
}

TEST(SymbolTables, LookUpsFollowBlocksErasedAndAddedAgainUnderTheSameName) {
    // The name index is kept up to date by additions and erasures rather than rebuilt.
    Database db;
    ObjectId found, first, second, other;
    ASSERT_OK(db.addBlock(L"PART_A1", first));
    ASSERT_OK(db.addBlock(L"OTHER", other));
    EXPECT_OK(db.getBlockId(L"part_a1", found));
    ASSERT_OK(ObjectPtr<BlockTableRecord>(first, OpenMode::forWrite)->erase());
    EXPECT_EQ(db.getBlockId(L"PART_A1", found), Status::keyNotFound);
    ASSERT_OK(db.addBlock(L"Part_A1", second));
    EXPECT_OK(db.getBlockId(L"PART_A1", found));
    EXPECT_EQ(found, second);
    EXPECT_OK(db.getBlockId(L"OTHER", found));
    EXPECT_EQ(found, other);
}

TEST(SymbolTables, LayerZeroAndCurrentLayerCannotBeErasedOrFrozen) {
    Database db;
    ObjectPtr<LayerTableRecord> zero(db.layerZeroId(), OpenMode::forWrite);
    EXPECT_NE(zero->erase(), Status::ok);
    EXPECT_EQ(zero->setFrozen(true), Status::notApplicable);
}

TEST(SymbolTables, EntitiesTakeNamedLayersAndLinetypes) {
    Database db;
    ObjectId layer;
    db.addLayer(L"AM_3", layer);
    auto line = std::make_unique<Line>(Point3d(0, 0), Point3d(1, 0));
    EXPECT_OK(line->setLayer(L"AM_3")); // kept by name until appended
    EXPECT_OK(line->setLinetype(L"byblock"));
    ObjectId id;
    ASSERT_OK(db.appendToModelSpace(std::move(line), id));
    ObjectPtr<Line> l(id, OpenMode::forRead);
    EXPECT_EQ(l->layerId(), layer);
    EXPECT_EQ(l->linetypeId(), db.byBlockLinetypeId());

    auto bad = std::make_unique<Line>(Point3d(0, 0), Point3d(1, 0));
    bad->setLayer(L"Missing");
    EXPECT_EQ(db.appendToModelSpace(std::move(bad), id), Status::keyNotFound);
}

TEST(SymbolTables, LinetypesLoadFromALinFile) {
    const std::wstring text = L";; test\n*DASHED,Dashed __ __ __\nA,.5,-.25\n"
                              L"*CENTER,Center ____ _ ____\nA,1.25,-.25,.25,-.25\n";
    std::vector<LinetypeDefinition> defs;
    ASSERT_OK(parseLinFile(text, defs));
    ASSERT_EQ(defs.size(), 2u);
    EXPECT_EQ(defs[1].dashes.size(), 4u);

    ztest::TempFolder folder;
    const std::string path = folder.Write("default.lin", zhost::toUtf8(text)).string();
    Database db;
    ASSERT_OK(loadLinetypeFile(db, L"dashed", path));
    ObjectId id;
    ASSERT_OK(db.getLinetypeId(L"Dashed", id));
    ObjectPtr<LinetypeTableRecord> lt(id, OpenMode::forRead);
    EXPECT_EQ(lt->description(), L"Dashed __ __ __");
    EXPECT_DOUBLE_EQ(lt->patternLength(), 0.75);
    EXPECT_EQ(loadLinetypeFile(db, L"DASHED", path), Status::duplicateKey);
    EXPECT_EQ(loadLinetypeFile(db, L"PHANTOM", path), Status::keyNotFound);
    EXPECT_EQ(loadLinetypeFile(db, L"x", path + ".none"), Status::fileNotFound);
    int line = 0;
    EXPECT_EQ(parseLinFile(L"*X,x\nB,1\n", defs, &line), Status::parseError);
    EXPECT_EQ(line, 2);
}

TEST(DrawingVariables, TypedDefaultsAndChecks) {
    Database db;
    double textSize = 0;
    ASSERT_OK(db.getReal(L"textsize", textSize));
    EXPECT_EQ(textSize, 2.5);
    int luprec = 0;
    ASSERT_OK(db.getInt(L"LUPREC", luprec));
    EXPECT_EQ(luprec, 4);
    EXPECT_EQ(db.setVar(L"LUPREC", std::int32_t(9)), Status::invalidInput);
    EXPECT_EQ(db.setVar(L"TEXTSIZE", std::wstring(L"x")), Status::invalidInput);
    EXPECT_OK(db.setVar(L"TEXTSIZE", std::int32_t(5))); // integers fit reals
    EXPECT_EQ(db.textSize(), 5.0);
    EXPECT_EQ(db.setVar(L"NOSUCHVAR", std::int32_t(1)), Status::keyNotFound);
    EXPECT_EQ(db.setVar(L"CLAYER", std::wstring(L"missing")), Status::invalidInput);
    EXPECT_EQ(db.setVar(L"DWGNAME", std::wstring(L"a.dwg")), Status::notApplicable);
    db.setFilePath(L"/home/u/parts/bolt.dxf");
    std::wstring name, prefix;
    db.getString(L"DWGNAME", name);
    db.getString(L"DWGPREFIX", prefix);
    EXPECT_EQ(name, L"bolt.dxf");
    EXPECT_EQ(prefix, L"/home/u/parts/");
}
