#include "editor_fixture.h"

#include "support/status.h"

using namespace zhost;
using ed::Result;
using zhost::test::EditorTest;

using Selection = EditorTest;

TEST_F(Selection, CrossingTakesWhatTouchesWindowTakesWhatIsInside) {
    const db::ObjectId inside = addLine(1, 1, 2, 2);
    const db::ObjectId crossing = addLine(-5, 1.5, 5, 1.5);
    const db::ObjectId around = addCircle(1.5, 1.5, 10); // encloses the window, touches nothing
    addLine(20, 20, 30, 30);
    const geom::Point3d a(0, 0), b(3, 3);
    ed::SelectionSet ss;
    ASSERT_EQ(ss.select(L"C", &a, &b), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{inside, crossing}));
    ASSERT_EQ(ss.select(L"W", &a, &b), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{inside}));
    EXPECT_FALSE(ss.contains(around));
}

TEST_F(Selection, AllWithTypeAndLayerFilters) {
    const db::ObjectId line = addLine(0, 0, 1, 0);
    const db::ObjectId circle = addCircle(5, 5, 1);
    db::ObjectId layer;
    db.addLayer(L"HOLES", layer);
    {
        db::ObjectPtr<db::Entity> c(circle, db::OpenMode::forWrite);
        c->setLayer(layer);
    }
    ed::SelectionSet ss;
    const ed::ResBufList types{{0, L"LWPOLYLINE,LINE,CIRCLE,ARC"}};
    ASSERT_EQ(ss.select(L"X", nullptr, nullptr, &types), Result::normal);
    EXPECT_EQ(ss.length(), 2);
    const ed::ResBufList onHoles{{8, L"hol*"}};
    ASSERT_EQ(ss.select(L"X", nullptr, nullptr, &onHoles), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{circle}));
    const ed::ResBufList inserts{{0, L"INSERT"}};
    EXPECT_EQ(ss.select(L"X", nullptr, nullptr, &inserts), Result::error);
    EXPECT_EQ(ss.length(), 0);
    (void)line;
}

TEST_F(Selection, ExtendedDataFilter) {
    const db::ObjectId a = addLine(0, 0, 1, 0);
    addLine(0, 1, 1, 1);
    db.registerApp(L"ZORMA-PARTS-HOLE");
    {
        db::ObjectPtr<db::Entity> e(a, db::OpenMode::forWrite);
        ASSERT_OK(e->setXData({db::xApp(L"ZORMA-PARTS-HOLE"), db::xInt16(0)}));
    }
    ed::SelectionSet ss;
    const ed::ResBufList f{{-3, std::wstring()}, {1001, L"ZORMA-PARTS-HOLE"}};
    ASSERT_EQ(ss.select(L"X", nullptr, nullptr, &f), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{a}));
}

TEST_F(Selection, InteractiveAnswersAddUntilEnter) {
    const db::ObjectId a = addLine(0, 0, 10, 0);
    const db::ObjectId b = addLine(0, 5, 10, 5);
    const db::ObjectId c = addCircle(50, 50, 2);
    answers({L"@pick 5,0", L"@crossing -1,4 1,6", L"5,0", L"@last", L""});
    ed::SelectionSet ss;
    ASSERT_EQ(ss.select(nullptr), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{a, b, c}));
    EXPECT_TRUE(transcriptHas(L"1 found, 1 total"));
    EXPECT_TRUE(transcriptHas(L"1 found, 3 total"));
}

TEST_F(Selection, EmptyInteractiveSelectionIsAnError) {
    addLine(0, 0, 10, 0);
    answers({L"@pick 50,50", L""});
    ed::SelectionSet ss;
    EXPECT_EQ(ss.select(nullptr), Result::error);
}

TEST_F(Selection, CustomPromptsAndKeywords) {
    addLine(0, 0, 10, 0);
    answers({L"b"});
    ed::initGet(0, L"A B");
    const std::wstring prompts[2] = {L"\nPick parts [A/B]: ", L"\nRemove parts [A/B]: "};
    ed::SelectionSet ss;
    EXPECT_EQ(ss.select(L":$:K", nullptr, nullptr, nullptr, prompts), Result::keyword);
    std::wstring kw;
    ed::getInput(kw);
    EXPECT_EQ(kw, L"B");
    EXPECT_TRUE(transcriptHas(L"Pick parts [A/B]: b"));
}

TEST_F(Selection, FilterAppliesToInteractivePicks) {
    const db::ObjectId line = addLine(0, 0, 10, 0);
    addCircle(20, 0, 2);
    answers({L"@pick 18,0", L"@pick 5,0", L""});
    const ed::ResBufList lines{{0, L"LINE"}};
    ed::SelectionSet ss;
    ASSERT_EQ(ss.select(nullptr, nullptr, nullptr, &lines), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{line}));
}

TEST_F(Selection, PickFirstSetIsTheImpliedSelection) {
    const db::ObjectId a = addLine(0, 0, 10, 0);
    const db::ObjectId b = addCircle(5, 5, 1);
    ed::SelectionSet first;
    first.add(a);
    first.add(b);
    ed::setPickFirst(&first);
    EXPECT_TRUE(ed::isHighlighted(a));
    const ed::ResBufList circles{{0, L"CIRCLE"}};
    ed::SelectionSet ss;
    ASSERT_EQ(ss.select(L"I", nullptr, nullptr, &circles), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{b}));
    ed::setPickFirst(nullptr);
    EXPECT_FALSE(ed::isHighlighted(a));
    EXPECT_EQ(ss.select(L"I"), Result::error);
}

TEST_F(Selection, LastIsTheNewestLiveEntity) {
    addLine(0, 0, 10, 0);
    const db::ObjectId b = addLine(0, 5, 10, 5);
    ed::SelectionSet ss;
    ASSERT_EQ(ss.select(L"L"), Result::normal);
    EXPECT_EQ(ss.ids(), (std::vector<db::ObjectId>{b}));
}
