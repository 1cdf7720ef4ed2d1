// The five layer categories: their layers made from the defaults or the product's settings, and
// a part block's entities moved onto them.
#include "GeometryTestUtil.h"

#include "placement/LayerCategories.h"
#include "placement/PartRecord.h"
#include "selection/PartDescription.h"

using namespace geomtest;

namespace {

class CategoryLayers : public PartGeometryTest {
protected:
    struct Look {
        int color = 0;
        int weight = 0;
        std::wstring linetype;
    };
    Look LayerLook(const wchar_t* name) {
        db::ObjectId id;
        if (!zhost::ok(Db().getLayerId(name, id)))
            return {};
        db::ObjectPtr<db::LayerTableRecord> l(id, db::OpenMode::forRead);
        return {l->colorIndex(), l->lineWeight(), l->linetype()};
    }
};

} // namespace

TEST_F(CategoryLayers, MadeFromTheDefaultsWithLinetypesFromDefaultLin) {
    WriteDefaultLin();
    CategoryLayerIds ids;
    ASSERT_TRUE(EnsureCategoryLayers(true, ids));

    EXPECT_EQ(LayerLook(L"AM_0").color, 7);
    EXPECT_EQ(LayerLook(L"AM_0").weight, 50);
    EXPECT_EQ(LayerLook(L"AM_0").linetype, L"Continuous");
    EXPECT_EQ(LayerLook(L"AM_7").color, 1);
    EXPECT_EQ(LayerLook(L"AM_7").weight, 30);
    EXPECT_EQ(LayerLook(L"AM_7").linetype, L"Center");
    EXPECT_EQ(LayerLook(L"AM_3").linetype, L"Dashed"); // the first category naming it makes it
    EXPECT_EQ(LayerLook(L"AM_4").color, 4);
    EXPECT_EQ(ids[kLayerHide], ids[kLayerThrHide]);
    db::ObjectId am7;
    Db().getLayerId(L"AM_7", am7);
    EXPECT_EQ(ids[kLayerCenter], am7);
    EXPECT_TRUE(Out().empty());
}

TEST_F(CategoryLayers, SettingsOverrideUpToTheFirstMissingSection) {
    WriteDefaultLin();
    // No CENTER section: HIDE and later keep their defaults although HIDE is given.
    WriteConfig("PartsContentsParam.ini", "[OUTLINE]\nLayer=PART_OUT\nColor=3\nLineWeight=35\n"
                                          "[HIDE]\nLayer=PART_HID\n");
    CategoryLayerIds ids;
    ASSERT_TRUE(EnsureCategoryLayers(true, ids));
    EXPECT_EQ(LayerLook(L"PART_OUT").color, 3);
    EXPECT_EQ(LayerLook(L"PART_OUT").weight, 35);
    EXPECT_EQ(LayerLook(L"PART_OUT").linetype, L"Continuous");
    EXPECT_TRUE(HasLayer(L"AM_3"));
    EXPECT_FALSE(HasLayer(L"PART_HID"));
    EXPECT_FALSE(HasLayer(L"AM_0"));
}

TEST_F(CategoryLayers, ALinetypeNoFileHasLeavesTheLayerContinuous) {
    // No default.lin at all: the layers are made all the same.
    CategoryLayerIds ids;
    ASSERT_TRUE(EnsureCategoryLayers(true, ids));
    EXPECT_EQ(LayerLook(L"AM_7").linetype, L"Continuous");
    EXPECT_EQ(LayerLook(L"AM_7").color, 1);
}

TEST_F(CategoryLayers, ALinetypeMissingFromDefaultLinLeavesOnlyItsLayerContinuous) {
    WriteConfig("default.lin", "*Dashed,Dashed __ __ __\nA,3,-1.5\n");
    CategoryLayerIds ids;
    ASSERT_TRUE(EnsureCategoryLayers(true, ids));
    EXPECT_EQ(LayerLook(L"AM_7").linetype, L"Continuous");
    EXPECT_EQ(LayerLook(L"AM_3").linetype, L"Dashed");
}

TEST_F(CategoryLayers, LookingUpWithoutCreatingNamesTheFirstMissingLayer) {
    Layer(L"AM_0");
    CategoryLayerIds ids;
    EXPECT_FALSE(EnsureCategoryLayers(false, ids));
    EXPECT_EQ(Out(), L"\n画層の生成に失敗しました[AM_7]");
    EXPECT_FALSE(HasLayer(L"AM_7"));
}

TEST(CategoryOfLayer, FollowsTheOrderOfTheRules) {
    EXPECT_EQ(CategoryOfLayer(L"am_7", true, true), kLayerCenter);
    EXPECT_EQ(CategoryOfLayer(L"AM_4", false, true), kLayerThrHide);
    EXPECT_EQ(CategoryOfLayer(L"AM_4", false, false), kLayerThread);
    EXPECT_EQ(CategoryOfLayer(L"AM_0", true, false), kLayerThrHide); // the hidden bolt mark
    EXPECT_EQ(CategoryOfLayer(L"AM_3", false, false), kLayerHide);
    EXPECT_EQ(CategoryOfLayer(L"AM_0", false, true), kLayerHide);
    EXPECT_EQ(CategoryOfLayer(L"0", false, true), kLayerHide);
    EXPECT_EQ(CategoryOfLayer(L"0", false, false), kLayerOutline);
    EXPECT_EQ(CategoryOfLayer(L"DIM", false, true), kLayerOutline);
}

namespace {

class MapCategories : public CategoryLayers {
protected:
    void SetUp() override {
        CategoryLayers::SetUp();
        WriteDefaultLin();
        CategoryLayerIds ids;
        ASSERT_TRUE(EnsureCategoryLayers(true, ids));
        m_block = Block(L"PART_1");
        m_outline = Line(m_block, 0, 0, 10, 0, L"AM_0");
        m_thread = Line(m_block, 0, 1, 10, 1, L"AM_4");
        m_other = Line(m_block, 0, 2, 10, 2, L"MYLAYER");
        {
            db::ObjectPtr<db::Entity> e(m_other, db::OpenMode::forWrite);
            e->setColorIndex(2);
            e->setLinetype(L"Dashed");
        }
        m_marked = Line(m_block, 0, 3, 10, 3, L"AM_0");
        RegisterPartApps(Db());
        db::ObjectPtr<db::Entity> e(m_marked, db::OpenMode::forWrite);
        e->setXData({db::xApp(kCurveInfoApp), db::xString(kCurveInfoHiddenBolt)});
    }
    struct Drawn {
        std::wstring layer, linetype;
        int color;
    };
    Drawn DrawnAs(db::ObjectId id) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        return {e->layer(), e->linetype(), e->colorIndex()};
    }
    PartDescription m_desc;
    db::ObjectId m_block, m_outline, m_thread, m_other, m_marked;
};

} // namespace

TEST_F(MapCategories, EveryEntityGoesOnItsCategoryLayerDrawnByLayer) {
    ASSERT_TRUE(MapOntoCategories(m_desc, m_block, LineTypeState{}));
    EXPECT_EQ(DrawnAs(m_outline).layer, L"AM_0");
    EXPECT_EQ(DrawnAs(m_thread).layer, L"AM_4");
    EXPECT_EQ(DrawnAs(m_other).layer, L"AM_0");
    EXPECT_EQ(DrawnAs(m_other).linetype, L"ByLayer");
    EXPECT_EQ(DrawnAs(m_other).color, 256);
    EXPECT_EQ(DrawnAs(m_marked).layer, L"AM_3"); // the hidden-thread category's layer
}

TEST_F(MapCategories, AWholeDashedPartGoesOnTheHiddenCategories) {
    LineTypeState whole;
    whole.m_wholeDashed = true;
    m_desc.m_layers.m_categories[kLayerThrHide].m_layer = L"AM_5";
    Layer(L"AM_5");
    ASSERT_TRUE(MapOntoCategories(m_desc, m_block, whole));
    EXPECT_EQ(DrawnAs(m_outline).layer, L"AM_3");
    EXPECT_EQ(DrawnAs(m_thread).layer, L"AM_5");
    EXPECT_EQ(DrawnAs(m_other).layer, L"AM_0");
}

TEST_F(MapCategories, EntitiesOnFrozenLayersStayAsTheyAre) {
    {
        db::ObjectId id;
        Db().getLayerId(L"MYLAYER", id);
        db::ObjectPtr<db::LayerTableRecord> l(id, db::OpenMode::forWrite);
        ASSERT_OK(l->setFrozen(true));
    }
    ASSERT_TRUE(MapOntoCategories(m_desc, m_block, LineTypeState{}));
    EXPECT_EQ(DrawnAs(m_other).layer, L"MYLAYER");
    EXPECT_EQ(DrawnAs(m_other).color, 2);
}

TEST_F(MapCategories, AMissingCategoryLayerChangesNothing) {
    m_desc.m_layers.m_categories[kLayerThread].m_layer = L"NOT_THERE";
    EXPECT_FALSE(MapOntoCategories(m_desc, m_block, LineTypeState{}));
    EXPECT_EQ(Out(), L"\n画層の生成に失敗しました[NOT_THERE]");
    EXPECT_EQ(DrawnAs(m_other).layer, L"MYLAYER");
    EXPECT_EQ(DrawnAs(m_other).color, 2);
}
