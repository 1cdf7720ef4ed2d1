#include "db_test_util.h"

#include "support/status.h"

using namespace dbtest;

TEST(ExtendedData, ChainsPerApplicationReplaceAndRemove) {
    Database db;
    ObjectId id = addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    ASSERT_OK(db.registerApp(L"ZORMA-PARTS-HOLE"));
    ASSERT_OK(db.registerApp(L"ZORMA_CURVE_INFO"));
    ObjectPtr<Line> line(id, OpenMode::forWrite);
    ASSERT_OK(line->setXData({xApp(L"ZORMA-PARTS-HOLE"), xInt16(3)}));
    ASSERT_OK(line->setXData({xApp(L"ZORMA_CURVE_INFO"), xString(L"HiddenBolt"), xPoint({1, 2, 3}),
                              xReal(0.5), xInt32(70000)}));
    XData hole = line->xdata(L"zorma-parts-hole");
    ASSERT_EQ(hole.size(), 2u);
    EXPECT_EQ(hole[1].integer(), 3);
    ASSERT_OK(line->setXData({xApp(L"ZORMA-PARTS-HOLE"), xInt16(4)}));
    EXPECT_EQ(line->xdata(L"ZORMA-PARTS-HOLE")[1].integer(), 4);
    EXPECT_EQ(line->xdata().size(), 2u + 5u); // both applications, in order
    ASSERT_OK(line->setXData({xApp(L"ZORMA-PARTS-HOLE")}));
    EXPECT_FALSE(line->hasXData(L"ZORMA-PARTS-HOLE"));
    EXPECT_EQ(line->xdata(L"ZORMA_CURVE_INFO")[2].point().y, 2);
}

TEST(ExtendedData, UnregisteredApplicationsAndMalformedChainsFail) {
    Database db;
    ObjectId id = addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    ObjectPtr<Line> line(id, OpenMode::forWrite);
    EXPECT_EQ(line->setXData({xApp(L"NOT_REGISTERED"), xString(L"x")}), Status::keyNotFound);
    db.registerApp(L"APP");
    EXPECT_EQ(line->setXData({xString(L"no app first")}), Status::invalidInput);
    EXPECT_EQ(line->setXData({xApp(L"APP"), xOpen()}), Status::invalidInput);
    EXPECT_EQ(line->setXData({xApp(L"APP"), {xcode::int16, std::int32_t(40000)}}),
              Status::invalidInput);
    EXPECT_OK(line->setXData({xApp(L"APP"), xOpen(), xString(L"a"), xClose()}));
}

TEST(Groups, NamedAndAnonymousGroupsKeepEntitiesInOrder) {
    Database db;
    ObjectId a = addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    ObjectId b = addLine(db, db.modelSpaceId(), {0, 0}, {2, 0});
    ObjectPtr<Dictionary> groups(db.groupDictionaryId(), OpenMode::forWrite);
    ObjectId g1, g2, g3;
    std::wstring key;
    ASSERT_OK(groups->setAt(L"PART", std::make_unique<Group>(L"a part"), g1));
    EXPECT_EQ(groups->setAt(L"part", std::make_unique<Group>(), g2), Status::duplicateKey);
    ASSERT_OK(groups->setAt(L"*U", std::make_unique<Group>(), g2, &key));
    EXPECT_EQ(key, L"*A1");
    ASSERT_OK(groups->setAt(L"*U", std::make_unique<Group>(), g3, &key));
    EXPECT_EQ(key, L"*A2");
    groups.close();
    ObjectPtr<Group> g(g1, OpenMode::forWrite);
    ASSERT_OK(g->append({b, a}));
    EXPECT_EQ(g->append(a), Status::duplicateKey);
    EXPECT_EQ(g->allEntityIds(), (std::vector<ObjectId>{b, a}));
    EXPECT_EQ(g->name(), L"PART");
    EXPECT_FALSE(g->isAnonymous());
    g.close();
    ObjectPtr<Group> anon(g2, OpenMode::forRead);
    EXPECT_TRUE(anon->isAnonymous());
}

// Dictionaries are looked up by key without scanning; the order of insertion (which the writer
// follows) and the case-blind keys must survive removals from the middle and keys taken over.
TEST(Dictionaries, ManyKeysKeepOrderThroughRemovalsAndTakeOvers) {
    Database db;
    ObjectPtr<Dictionary> root(db.namedObjectsDictionaryId(), OpenMode::forWrite);
    ObjectId dictId;
    ASSERT_OK(root->setAt(L"MANY", std::make_unique<Dictionary>(), dictId));
    root.close();
    ObjectPtr<Dictionary> d(dictId, OpenMode::forWrite);
    constexpr int n = 5000;
    std::vector<ObjectId> ids(n);
    for (int i = 0; i < n; ++i)
        ASSERT_OK(d->setAt(L"key" + std::to_wstring(i), std::make_unique<Dictionary>(), ids[i]));
    EXPECT_EQ(d->setAt(L"KEY4999", std::make_unique<Dictionary>(), ids[0]), Status::duplicateKey);
    ASSERT_OK(d->remove(L"Key10"));
    ASSERT_OK(d->remove(L"key0"));
    EXPECT_EQ(d->remove(L"key10"), Status::keyNotFound);
    EXPECT_EQ(d->count(), n - 2);
    // Every entry after the removed ones is still found under its key, and the order holds.
    for (int i : {1, 11, 2500, n - 1}) {
        ObjectId found;
        ASSERT_OK(d->getAt(L"KEY" + std::to_wstring(i), found));
        EXPECT_EQ(found, ids[i]) << i;
    }
    std::vector<std::pair<std::wstring, ObjectId>> entries = d->entries();
    ASSERT_EQ(entries.size(), std::size_t(n - 2));
    EXPECT_EQ(entries[0].first, L"key1");
    EXPECT_EQ(entries[9].first, L"key11");
    EXPECT_EQ(entries.back().first, L"key4999");
    // A key whose object was erased is taken over by the next object set under it; the entry
    // moves to the end, as a new one.
    d.close();
    {
        ObjectPtr<Dictionary> erased(ids[5], OpenMode::forWrite);
        ASSERT_OK(erased->erase());
    }
    d.open(dictId, OpenMode::forWrite);
    EXPECT_FALSE(d->has(L"key5"));
    ObjectId again;
    ASSERT_OK(d->setAt(L"KEY5", std::make_unique<Dictionary>(), again));
    entries = d->entries(true);
    ASSERT_EQ(entries.size(), std::size_t(n - 2));
    EXPECT_EQ(entries.back(), std::make_pair(std::wstring(L"KEY5"), again));
    ObjectId found;
    ASSERT_OK(d->getAt(L"key6", found));
    EXPECT_EQ(found, ids[6]);
    EXPECT_EQ(d->nameOf(ids[6]), L"key6");
}

TEST(Groups, AnonymousGroupsTakeTheFirstFreeNumber) {
    Database db;
    ObjectPtr<Dictionary> groups(db.groupDictionaryId(), OpenMode::forWrite);
    std::vector<ObjectId> ids(4);
    std::wstring key;
    for (ObjectId& id : ids)
        ASSERT_OK(groups->setAt(L"*A", std::make_unique<Group>(), id, &key));
    EXPECT_EQ(key, L"*A4");
    ASSERT_OK(groups->remove(L"*a2"));
    ASSERT_OK(groups->setAt(L"*U", std::make_unique<Group>(), ids[1], &key));
    EXPECT_EQ(key, L"*A2");
    ASSERT_OK(groups->setAt(L"*", std::make_unique<Group>(), ids[1], &key));
    EXPECT_EQ(key, L"*A5");
}

TEST(DrawOrder, MovesToTopBottomAboveAndBelow) {
    Database db;
    ObjectId a = addLine(db, db.modelSpaceId(), {0, 0}, {1, 0});
    ObjectId b = addLine(db, db.modelSpaceId(), {0, 0}, {2, 0});
    ObjectId c = addLine(db, db.modelSpaceId(), {0, 0}, {3, 0});
    ObjectPtr<SortentsTable> st;
    ASSERT_OK(db.getSortentsTable(db.modelSpaceId(), OpenMode::forWrite, st));
    EXPECT_FALSE(st->isCustomOrder());
    ASSERT_OK(st->moveToBottom({c}));
    EXPECT_EQ(st->drawOrder(), (std::vector<ObjectId>{c, a, b}));
    ASSERT_OK(st->moveToTop({c}));
    EXPECT_EQ(st->drawOrder(), (std::vector<ObjectId>{a, b, c}));
    ASSERT_OK(st->moveAbove({a}, b));
    EXPECT_EQ(st->drawOrder(), (std::vector<ObjectId>{b, a, c}));
    ASSERT_OK(st->moveBelow({c}, b));
    EXPECT_EQ(st->drawOrder(), (std::vector<ObjectId>{c, b, a}));
    EXPECT_EQ(st->moveToTop({db.modelSpaceId()}), Status::invalidInput);
    st.close();
    ObjectId d = addLine(db, db.modelSpaceId(), {0, 0}, {4, 0}); // new entities draw on top
    ObjectPtr<SortentsTable> again;
    db.getSortentsTable(db.modelSpaceId(), OpenMode::forRead, again);
    EXPECT_EQ(again->drawOrder(), (std::vector<ObjectId>{c, b, a, d}));
}
