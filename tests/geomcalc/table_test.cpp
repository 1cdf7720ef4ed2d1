// The result table in the drawing and the title-block scale it takes.
#include "GeomCalcTestUtil.h"

#include "geomcalc/ResultTable.h"
#include "geomcalc/TitleBlock.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/dictionary.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

std::vector<ReportRow> TenRows() {
    std::vector<ReportRow> rows{{L"項目", L"データ"}};
    for (int i = 1; i < 10; ++i)
        rows.push_back({L"面積", L"X = 1\nY = 2"});
    return rows;
}

struct Box {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void Add(const geom::Point3d& p) {
        minX = std::min(minX, p.x), minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x), maxY = std::max(maxY, p.y);
    }
};

Box BoxOf(const TableLayout& t) {
    Box b;
    for (const auto& s : t.lines) {
        b.Add(s.start);
        b.Add(s.end);
    }
    return b;
}

int HorizontalLines(const TableLayout& t) {
    return int(std::count_if(t.lines.begin(), t.lines.end(), [](const TableLayout::Segment& s) {
        return std::abs(s.start.y - s.end.y) < 1e-12 && std::abs(s.start.x - s.end.x) > 0;
    }));
}

TEST(ResultTableLayout, TenRowsAtTextSize25) {
    const TableLayout t = LayoutResultTable(TenRows(), TableCorner::lowerLeft, {0, 0, 0}, {1, 0, 0},
                                            {0, 1, 0}, 2.5, 1.0);
    EXPECT_DOUBLE_EQ(t.width, 110);
    EXPECT_DOUBLE_EQ(t.height, 100);
    EXPECT_EQ(HorizontalLines(t), 11);
    EXPECT_EQ(t.lines.size(), 14u);
    EXPECT_EQ(t.texts.size(), 20u);
    const Box b = BoxOf(t);
    EXPECT_DOUBLE_EQ(b.minX, 0);
    EXPECT_DOUBLE_EQ(b.minY, 0);
    EXPECT_DOUBLE_EQ(b.maxX, 110);
    EXPECT_DOUBLE_EQ(b.maxY, 100);
    // First row: item at one text height from the left edge, data one column further, both at
    // the middle of the row.
    EXPECT_DOUBLE_EQ(t.texts[0].location.x, 2.5);
    EXPECT_DOUBLE_EQ(t.texts[0].location.y, 95);
    EXPECT_DOUBLE_EQ(t.texts[1].location.x, 57.5);
    EXPECT_EQ(t.texts[3].text, L"X = 1\nY = 2");
    EXPECT_DOUBLE_EQ(t.textHeight, 2.5);
}

TEST(ResultTableLayout, CornerChoosesWhichCornerTheBaseIs) {
    const geom::Point3d base{200, 50, 0};
    struct Case {
        TableCorner corner;
        double minX, minY;
    } cases[] = {{TableCorner::lowerLeft, 200, 50},
                 {TableCorner::upperLeft, 200, -50},
                 {TableCorner::lowerRight, 90, 50},
                 {TableCorner::upperRight, 90, -50}};
    for (const Case& c : cases) {
        const Box b =
            BoxOf(LayoutResultTable(TenRows(), c.corner, base, {1, 0, 0}, {0, 1, 0}, 2.5, 1.0));
        EXPECT_DOUBLE_EQ(b.minX, c.minX) << int(c.corner);
        EXPECT_DOUBLE_EQ(b.minY, c.minY) << int(c.corner);
    }
}

TEST(ResultTableLayout, ScaleMakesEverythingLarger) {
    const TableLayout t = LayoutResultTable(TenRows(), TableCorner::lowerLeft, {0, 0, 0}, {1, 0, 0},
                                            {0, 1, 0}, 2.5, 2.0);
    EXPECT_DOUBLE_EQ(t.width, 220);
    EXPECT_DOUBLE_EQ(t.height, 200);
    EXPECT_DOUBLE_EQ(t.textHeight, 5);
}

TEST(ResultTableLayout, FollowsRotatedAxes) {
    // UCS rotated by 90 degrees: x along world Y, y along world -X.
    const TableLayout t = LayoutResultTable(TenRows(), TableCorner::lowerLeft, {0, 0, 0}, {0, 1, 0},
                                            {-1, 0, 0}, 2.5, 1.0);
    const Box b = BoxOf(t);
    EXPECT_DOUBLE_EQ(b.minX, -100);
    EXPECT_DOUBLE_EQ(b.maxY, 110);
}

TEST(ResultTablePrompt, MarksTheCurrentCorner) {
    EXPECT_EQ(TableBasePrompt(TableCorner::lowerLeft),
              L"部品欄の基準点を指示して下さい [左下*(A)/左上(B)/右下(C)/右上(D)]:");
    EXPECT_EQ(TableBasePrompt(TableCorner::upperRight),
              L"部品欄の基準点を指示して下さい [左下(A)/左上(B)/右下(C)/右上*(D)]:");
}

class ResultTableDrawing : public GeomCalcTest {};

TEST_F(ResultTableDrawing, LinesAndTextsAreGroupedAnonymously) {
    const TableLayout t = LayoutResultTable(TenRows(), TableCorner::lowerLeft, {0, 0, 0}, {1, 0, 0},
                                            {0, 1, 0}, 2.5, 1.0);
    std::vector<db::ObjectId> made;
    DrawResultTable(t, 0.0, &made);
    EXPECT_EQ(EntitiesOf<db::Line>().size(), 14u);
    const auto texts = EntitiesOf<db::MText>();
    ASSERT_EQ(texts.size(), 20u);
    {
        db::ObjectPtr<db::MText> cell(texts[3], db::OpenMode::forRead);
        EXPECT_EQ(cell->contents(), L"X = 1\\PY = 2");
        EXPECT_EQ(cell->attachment(), db::MTextAttachment::middleLeft);
        EXPECT_DOUBLE_EQ(cell->textHeight(), 2.5);
    }
    db::ObjectPtr<db::Dictionary> groups(Db().groupDictionaryId(), db::OpenMode::forRead);
    const auto entries = groups->entries();
    ASSERT_EQ(entries.size(), 1u);
    db::ObjectPtr<db::Group> group(entries[0].second, db::OpenMode::forRead);
    EXPECT_TRUE(group->isAnonymous());
    EXPECT_EQ(group->description(), L"*U");
    EXPECT_EQ(group->numEntities(), 34);
}

class TitleBlockTest : public GeomCalcTest {
protected:
    db::ObjectId Insert(const wchar_t* block, const wchar_t* layer, double scale) {
        db::ObjectId blockId;
        if (!zhost::ok(Db().getBlockId(block, blockId)))
            Db().addBlock(block, blockId);
        db::ObjectId layerId;
        Db().addLayer(layer, layerId);
        auto ref = std::make_unique<db::BlockReference>(geom::Point3d(), blockId);
        ref->setScaleFactors({scale, 1, 1});
        ref->setLayer(layerId);
        return Add(std::move(ref));
    }
};

TEST_F(TitleBlockTest, RulesMatchBlockAndLayerPatterns) {
    const std::vector<TitleBlockRule> rules = {{L"FRAME*", L""}, {L"", L"ZUWAKU"}};
    EXPECT_TRUE(MatchesTitleBlockRules(rules, L"frame_a3", L"0"));
    EXPECT_TRUE(MatchesTitleBlockRules(rules, L"anything", L"zuwaku"));
    EXPECT_FALSE(MatchesTitleBlockRules(rules, L"BORDER", L"0"));
    EXPECT_FALSE(MatchesTitleBlockRules({{L"ZUWAKU_A#", L"TB"}}, L"ZUWAKU_A3", L"0"));
    EXPECT_TRUE(MatchesTitleBlockRules({{L"ZUWAKU_A#", L"TB"}}, L"zuwaku_a3", L"tb"));
}

TEST_F(TitleBlockTest, FirstMatchingReferenceGivesItsXScale) {
    Insert(L"BORDER", L"0", 7);
    Insert(L"FRAME_A3", L"0", 50);
    Insert(L"FRAME_A4", L"0", 2);
    EXPECT_DOUBLE_EQ(TitleBlockScale(Db(), {{L"FRAME*", L""}}), 50);
    EXPECT_DOUBLE_EQ(TitleBlockScale(Db(), {{L"NONE", L""}}), 1.0);
    EXPECT_DOUBLE_EQ(TitleBlockScale(Db(), {}), 1.0);
}

TEST_F(TitleBlockTest, RulesComeFromTheIniFile) {
    WriteIni("Zorma_Zuwaku.ini", "[TitleBlock]\r\nItemCount=3\r\n0_block=\r\n0_layer=\r\n"
                                 "1_block=FRAME*\r\n1_layer=\r\n2_block=\r\n2_layer=WAKU\r\n");
    std::vector<TitleBlockRule> rules;
    ASSERT_EQ(ReadTitleBlockRules(rules), 2);
    EXPECT_EQ(rules[0].block, L"FRAME*");
    EXPECT_EQ(rules[1].layer, L"WAKU");
    Insert(L"X", L"WAKU", 3);
    EXPECT_DOUBLE_EQ(TitleBlockScale(Db()), 3);
}

TEST_F(TitleBlockTest, MissingIniGivesScaleOne) {
    Insert(L"FRAME", L"0", 5);
    std::vector<TitleBlockRule> rules;
    EXPECT_EQ(ReadTitleBlockRules(rules), 0);
    EXPECT_DOUBLE_EQ(TitleBlockScale(Db()), 1.0);
}

} // namespace
