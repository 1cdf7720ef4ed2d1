// Restoring a hidden part: which names are variants, where the replacement goes and what it
// carries over, and when the variant definition goes away.
#include "HideTestUtil.h"

#include "hide/HideRestore.h"

#include <numbers>

using namespace hidetest;

namespace {

class HideRestoreTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        m_plate = Block(L"PLATE");
        Square(m_plate, 0, 0, 40);
        m_variant = Block(L"PLATE_A1");
        Square(m_variant, 0, 0, 40);
    }
    db::ObjectId BlockNamed(const wchar_t* name) {
        db::ObjectId id;
        Db().getBlockId(name, id);
        return id;
    }
    std::vector<db::ObjectId> References(db::ObjectId space) {
        std::vector<db::ObjectId> refs;
        for (db::ObjectId id : Entities(space))
            if (TypeOf(id) == L"INSERT")
                refs.push_back(id);
        return refs;
    }

    db::ObjectId m_plate, m_variant;
};

} // namespace

TEST_F(HideRestoreTest, APaperSpaceReferenceComesBackInModelSpaceAtItsPlaceAndScale) {
    auto ref = std::make_unique<db::BlockReference>(geom::Point3d(10, 20, 0), m_variant);
    ref->setRotation(std::numbers::pi / 6);
    ref->setScaleFactors({2, 2, 2});
    const db::ObjectId hidden = Add(Db().paperSpaceId(), std::move(ref));

    ASSERT_TRUE(RestoreHiddenReference(hidden));
    EXPECT_TRUE(IsErased(hidden));
    EXPECT_TRUE(References(Db().paperSpaceId()).empty());
    const std::vector<db::ObjectId> refs = References(Db().modelSpaceId());
    ASSERT_EQ(refs.size(), 1u);
    db::ObjectPtr<db::BlockReference> back(refs[0], db::OpenMode::forRead);
    EXPECT_EQ(back->blockTableRecord(), m_plate);
    EXPECT_TRUE(back->position().isEqualTo(geom::Point3d(10, 20, 0)));
    EXPECT_NEAR(back->rotation(), std::numbers::pi / 6, 1e-12);
    EXPECT_TRUE(back->scaleFactors().isEqualTo(geom::Vector3d(2, 2, 2)));
    EXPECT_TRUE(BlockNamed(L"PLATE_A1").isNull());
    EXPECT_EQ(Out(), L"\nブロック \"PLATE_A1\" 削除されました。");
}

TEST_F(HideRestoreTest, AttributesAndPartDataTravelWithThePart) {
    Db().registerApp(L"ZORMA_PARTS_CONTENTS");
    Db().registerApp(L"MRCD_PART");
    const db::ObjectId hidden = Ref(Db().modelSpaceId(), m_variant, 0, 0);
    {
        db::ObjectPtr<db::BlockReference> ref(hidden, db::OpenMode::forWrite);
        ASSERT_OK(ref->setXData({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"BOLT"),
                                 db::xApp(L"MRCD_PART"), db::xString(L"OLD")}));
        auto attr = std::make_unique<db::Attribute>();
        attr->setTag(L"NAME");
        attr->setTextString(L"六角ボルト");
        attr->setHorizontalMode(db::TextHorzMode::center);
        attr->setAlignmentPoint(geom::Point3d(20, 5, 0));
        attr->setHeight(3.5);
        db::ObjectId a;
        ASSERT_OK(ref->appendAttribute(std::move(attr), a));
    }
    ASSERT_TRUE(RestoreHiddenReference(hidden));
    const std::vector<db::ObjectId> refs = References(Db().modelSpaceId());
    ASSERT_EQ(refs.size(), 1u);
    db::ObjectPtr<db::BlockReference> back(refs[0], db::OpenMode::forRead);
    EXPECT_EQ(back->xdata(L"ZORMA_PARTS_CONTENTS"),
              (db::XData{db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"BOLT")}));
    EXPECT_TRUE(back->xdata(L"MRCD_PART").empty()); // the part record wins over the old marks
    ASSERT_EQ(back->attributeIds().size(), 1u);
    db::ObjectPtr<db::Attribute> attr(back->attributeIds()[0], db::OpenMode::forRead);
    EXPECT_EQ(attr->tag(), L"NAME");
    EXPECT_EQ(attr->textString(), L"六角ボルト");
    EXPECT_EQ(attr->horizontalMode(), db::TextHorzMode::center);
    EXPECT_TRUE(attr->alignmentPoint().isEqualTo(geom::Point3d(20, 5, 0)));
    EXPECT_EQ(attr->height(), 3.5);
}

TEST_F(HideRestoreTest, OldSymbolMarksAreCopiedWhenThereIsNoPartRecord) {
    Db().registerApp(L"MRCD_SYMBOL");
    Db().registerApp(L"MRCD_PART");
    const db::ObjectId hidden = Ref(Db().modelSpaceId(), m_variant, 0, 0);
    {
        db::ObjectPtr<db::BlockReference> ref(hidden, db::OpenMode::forWrite);
        ASSERT_OK(ref->setXData({db::xApp(L"MRCD_SYMBOL"), db::xString(L"S"),
                                 db::xApp(L"MRCD_PART"), db::xString(L"P")}));
    }
    ASSERT_TRUE(RestoreHiddenReference(hidden));
    db::ObjectPtr<db::BlockReference> back(References(Db().modelSpaceId()).at(0),
                                           db::OpenMode::forRead);
    EXPECT_EQ(back->xdata(L"MRCD_SYMBOL").size(), 2u);
    EXPECT_EQ(back->xdata(L"MRCD_PART").size(), 2u);
}

TEST_F(HideRestoreTest, TheVariantStaysWhileAnotherPartUsesIt) {
    const db::ObjectId first = Ref(Db().modelSpaceId(), m_variant, 0, 0);
    const db::ObjectId second = Ref(Db().modelSpaceId(), m_variant, 50, 0);
    ASSERT_TRUE(RestoreHiddenReference(first));
    EXPECT_EQ(Out(), L"\nブロック\"PLATE_A1\"は参照されているため削除できません。");
    EXPECT_FALSE(BlockNamed(L"PLATE_A1").isNull());
    ASSERT_TRUE(RestoreHiddenReference(second));
    EXPECT_TRUE(BlockNamed(L"PLATE_A1").isNull());
}

TEST_F(HideRestoreTest, OneLevelAtATimeAndOnlyForVariantNames) {
    const db::ObjectId twice = Block(L"PLATE_A1_A1");
    Square(twice, 0, 0, 40);
    const db::ObjectId hidden = Ref(Db().modelSpaceId(), twice, 0, 0);
    ASSERT_TRUE(RestoreHiddenReference(hidden));
    db::ObjectPtr<db::BlockReference> back(References(Db().modelSpaceId()).at(0),
                                           db::OpenMode::forRead);
    EXPECT_EQ(back->blockName(), L"PLATE_A1");
    back.close();

    m_out.clear();
    const db::ObjectId bolt = Ref(Db().modelSpaceId(), Block(L"BOLT_M10"), 0, 0);
    const db::ObjectId lower = Ref(Db().modelSpaceId(), Block(L"GEAR_a1"), 0, 0);
    EXPECT_FALSE(RestoreHiddenReference(bolt));
    EXPECT_FALSE(RestoreHiddenReference(lower));
    EXPECT_FALSE(IsErased(bolt));
    EXPECT_FALSE(IsErased(lower));
    EXPECT_EQ(Out(), L"");
}

TEST_F(HideRestoreTest, AMissingBaseIsReportedAndNothingChanges) {
    const db::ObjectId orphan = Block(L"GEAR_A2");
    Square(orphan, 0, 0, 10);
    const db::ObjectId hidden = Ref(Db().modelSpaceId(), orphan, 0, 0);
    EXPECT_FALSE(RestoreHiddenReference(hidden));
    EXPECT_EQ(Out(), L"\nブロック定義 \"GEAR\"が存在しない為、陰線復元できませんでした。");
    EXPECT_FALSE(IsErased(hidden));
    EXPECT_FALSE(BlockNamed(L"GEAR_A2").isNull());

    m_out.clear();
    const db::ObjectId line = Line(Db().modelSpaceId(), 0, 0, 1, 1);
    EXPECT_FALSE(RestoreHiddenReference(line));
    EXPECT_EQ(Out(), L"\n要素が検出されませんでした。");
}
