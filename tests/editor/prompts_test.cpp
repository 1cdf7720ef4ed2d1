#include "editor_fixture.h"

#include "support/status.h"

using namespace zhost;
using ed::Result;
using zhost::test::EditorTest;

using Prompts = EditorTest;

TEST_F(Prompts, PointKeywordAndTypedKeywordIsReadable) {
    answers({L"y", L"12,5"});
    ed::initGet(0, L"Yes No Again");
    geom::Point3d p;
    EXPECT_EQ(ed::getPoint(nullptr, L"\nHole [Yes/No/Again]: ", p), Result::keyword);
    std::wstring kw;
    EXPECT_EQ(ed::getInput(kw), Result::normal);
    EXPECT_EQ(kw, L"Yes");
    // initGet applied to one prompt only: the keyword list is gone now.
    EXPECT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), Result::normal);
    EXPECT_EQ(p, geom::Point3d(12, 5));
}

TEST_F(Prompts, MalformedPointRepromptsWithThePlatformMessage) {
    answers({L"12;5", L"abc", L"1,2"});
    geom::Point3d p;
    EXPECT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), Result::normal);
    EXPECT_EQ(p, geom::Point3d(1, 2));
    size_t first = transcript.find(L"Point or option keyword required.");
    ASSERT_NE(first, std::wstring::npos);
    EXPECT_NE(transcript.find(L"Point or option keyword required.", first + 1), std::wstring::npos);
}

TEST_F(Prompts, EmptyAnswerIsNoneUnlessNoNullIsAsked) {
    answers({L"", L"", L"2.5"});
    double d = 0;
    EXPECT_EQ(ed::getReal(L"\nValue: ", d), Result::none);
    ed::initGet(ed::rsg::noNull);
    EXPECT_EQ(ed::getReal(L"\nValue: ", d), Result::normal);
    EXPECT_EQ(d, 2.5);
}

TEST_F(Prompts, NumberRulesOfInitGet) {
    answers({L"0", L"-1", L"x", L"3"});
    ed::initGet(ed::rsg::noZero | ed::rsg::noNegative);
    double d = 0;
    EXPECT_EQ(ed::getReal(L"\nDistance: ", d), Result::normal);
    EXPECT_EQ(d, 3);
    EXPECT_EQ(std::count(transcript.begin(), transcript.end(), L'\n') >= 3, true);
    EXPECT_TRUE(transcriptHas(L"Value must be positive and nonzero."));
    EXPECT_TRUE(transcriptHas(L"Requires numeric value."));
}

TEST_F(Prompts, ArbitraryInputComesBackAsKeyword) {
    answers({L"hello", L"G"});
    ed::initGet(ed::rsg::other, L"G");
    double d = 0;
    EXPECT_EQ(ed::getReal(L"\nGravity [G]: ", d), Result::keyword);
    std::wstring text;
    ed::getInput(text);
    EXPECT_EQ(text, L"hello");
    ed::initGet(ed::rsg::other, L"G");
    EXPECT_EQ(ed::getReal(L"\nGravity [G]: ", d), Result::keyword);
    ed::getInput(text);
    EXPECT_EQ(text, L"G");
}

TEST_F(Prompts, CancelAndEndOfInput) {
    answers({L"^C"});
    geom::Point3d p;
    EXPECT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), Result::cancel);
    EXPECT_EQ(ed::getPoint(nullptr, L"\nAgain: ", p), Result::cancel); // nothing left
}

TEST_F(Prompts, IntegerPromptRefusesFractionsAndOutOfRange) {
    answers({L"2.5", L"40000", L"7"});
    int n = 0;
    EXPECT_EQ(ed::getInt(L"\nCount: ", n), Result::normal);
    EXPECT_EQ(n, 7);
    EXPECT_TRUE(transcriptHas(L"Requires an integer value."));
    EXPECT_TRUE(transcriptHas(L"Requires an integer between -32768 and 32767."));
}

TEST_F(Prompts, DistanceFromBasePointOrTyped) {
    answers({L"3,4", L"7.5"});
    const geom::Point3d base(0, 0);
    double d = 0;
    EXPECT_EQ(ed::getDist(&base, L"\nLength: ", d), Result::normal);
    EXPECT_DOUBLE_EQ(d, 5);
    EXPECT_EQ(ed::getDist(&base, L"\nLength: ", d), Result::normal);
    EXPECT_DOUBLE_EQ(d, 7.5);
}

TEST_F(Prompts, KeywordPromptRejectsOtherWords) {
    answers({L"maybe", L"n"});
    ed::initGet(0, L"Yes No");
    std::wstring kw;
    EXPECT_EQ(ed::getKeyword(L"\nSure? [Yes/No]: ", kw), Result::normal);
    EXPECT_EQ(kw, L"No");
    EXPECT_TRUE(transcriptHas(L"Invalid option keyword."));
}

TEST_F(Prompts, EntityPickTellsEmptyAnswerFromMissByErrno) {
    const db::ObjectId line = addLine(0, 0, 100, 0);
    answers({L"", L"50,50", L"50,0.1", L"@pick 20,0"});
    db::ObjectId id;
    geom::Point3d picked;
    int err = -1;
    EXPECT_EQ(ed::entSel(L"\nSelect: ", id, picked), Result::error);
    ed::getVarInt(L"ERRNO", err);
    EXPECT_EQ(err, ed::errnum::nullInput);
    EXPECT_EQ(ed::entSel(L"\nSelect: ", id, picked), Result::error);
    ed::getVarInt(L"ERRNO", err);
    EXPECT_EQ(err, ed::errnum::noEntityAtPick);
    EXPECT_EQ(ed::entSel(L"\nSelect: ", id, picked), Result::normal);
    EXPECT_EQ(id, line);
    EXPECT_EQ(picked, geom::Point3d(50, 0.1));
    EXPECT_EQ(ed::entSel(L"\nSelect: ", id, picked), Result::normal);
    EXPECT_EQ(id, line);
}

TEST_F(Prompts, PickTakesTheNearestEntityWithinThePickBox) {
    const db::ObjectId a = addLine(0, 0, 100, 0);
    const db::ObjectId b = addLine(0, 0.5, 100, 0.5);
    answers({L"10,0.4", L"10,0.1"});
    db::ObjectId id;
    geom::Point3d picked;
    EXPECT_EQ(ed::entSel(L"\nSelect: ", id, picked), Result::normal);
    EXPECT_EQ(id, b);
    EXPECT_EQ(ed::entSel(L"\nSelect: ", id, picked), Result::normal);
    EXPECT_EQ(id, a);
}

TEST_F(Prompts, HiddenEntitiesCannotBePicked) {
    const db::ObjectId line = addLine(0, 0, 100, 0);
    ed::redrawEntity(line, ed::redraw::hide);
    answers({L"50,0"});
    db::ObjectId id;
    geom::Point3d picked;
    EXPECT_EQ(ed::entSel(L"\nSelect: ", id, picked), Result::error);
}

TEST_F(Prompts, ScriptAnswersAreEchoedAfterThePrompt) {
    answers({L"1,2"});
    geom::Point3d p;
    ed::getPoint(nullptr, L"\nBase point: ", p);
    EXPECT_EQ(transcript, L"\nBase point: 1,2\n");
}

TEST_F(Prompts, UnknownDirectiveStopsTheScript) {
    answers({L"@bogus 1", L"1,2"});
    geom::Point3d p;
    EXPECT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), Result::cancel);
}

TEST_F(Prompts, SetAndShiftDirectivesRunBetweenAnswers) {
    answers({L"; a comment", L"@set ORTHOMODE 1", L"@shift on", L"@wait 250", L"4,5"});
    geom::Point3d p;
    EXPECT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), Result::normal);
    int ortho = 0;
    ed::getVarInt(L"ORTHOMODE", ortho);
    EXPECT_EQ(ortho, 1);
    EXPECT_TRUE(ed::isShiftDown());
    EXPECT_EQ(ed::hostClock().now(), 250u);
}

TEST_F(Prompts, RegisteredDirectivesReachTheirHandler) {
    std::wstring seen;
    ASSERT_OK(ed::registerDirective(L"dialog", [&](std::wstring_view args, ed::DirectiveContext&) {
        seen = args;
        return Status::ok;
    }));
    EXPECT_EQ(ed::registerDirective(
                  L"pick", [](std::wstring_view, ed::DirectiveContext&) { return Status::ok; }),
              Status::invalidInput);
    answers({L"@dialog click 1", L"1,1"});
    geom::Point3d p;
    EXPECT_EQ(ed::getPoint(nullptr, L"\nPoint: ", p), Result::normal);
    EXPECT_EQ(seen, L"click 1");
    ed::registerDirective(L"dialog", nullptr);
}

TEST(HostClock, TimersFireInTimeOrderWhileTheClockAdvances) {
    ed::HostClock clock;
    std::vector<int> fired;
    clock.addTimer(500, [&](ed::HostClock::TimerId) { fired.push_back(500); });
    const auto fast = clock.addTimer(200, [&](ed::HostClock::TimerId) { fired.push_back(200); });
    clock.advance(1000);
    // At 1000 both are due: the older timer fires first.
    EXPECT_EQ(fired, (std::vector<int>{200, 200, 500, 200, 200, 500, 200}));
    EXPECT_TRUE(clock.removeTimer(fast));
    fired.clear();
    clock.advance(500);
    EXPECT_EQ(fired, (std::vector<int>{500}));
}
