#include "editor_fixture.h"

using namespace zhost;
using ed::Jig;
using zhost::test::EditorTest;

namespace {

// Records every call the driver makes, and moves a line's end to the sampled point.
class RecordingJig : public Jig {
public:
    enum class Mode { point, distance, angle };
    Mode mode = Mode::point;
    geom::Point3d base;
    geom::Point3d current{1e9, 1e9, 0};
    double value = -1;
    std::vector<std::wstring> calls;
    std::unique_ptr<db::Line> line = std::make_unique<db::Line>();

    DragStatus sampler() override {
        DragStatus st = kNormal;
        switch (mode) {
        case Mode::point:
            st = acquirePoint(current, base);
            break;
        case Mode::distance:
            st = acquireDist(value, base);
            break;
        case Mode::angle:
            st = acquireAngle(value, base);
            break;
        }
        calls.push_back(L"sampler:" + std::to_wstring(int(st)));
        return st;
    }
    bool update() override {
        calls.push_back(L"update");
        line->setEndPoint(current);
        return true;
    }
    db::Entity* entity() const override { return line.get(); }
};

} // namespace

using Jigs = EditorTest;

TEST_F(Jigs, CursorMovesRunSamplerThenUpdateAndAPointEndsTheDrag) {
    answers({L"@move 10,0", L"@move 10,0", L"@move 20,5", L"30,0"});
    RecordingJig jig;
    jig.setDispPrompt(L"\nThrough point: ");
    EXPECT_EQ(jig.drag(), Jig::kNormal);
    // The repeated position reports no change and skips the update.
    EXPECT_EQ(jig.calls,
              (std::vector<std::wstring>{L"sampler:0", L"update", L"sampler:-6", L"sampler:0",
                                         L"update", L"sampler:0", L"update"}));
    EXPECT_EQ(jig.current, geom::Point3d(30, 0));
    EXPECT_EQ(jig.line->endPoint(), geom::Point3d(30, 0));
    EXPECT_EQ(jig.samplerCalls(), 4);
    EXPECT_EQ(jig.updateCalls(), 3);
}

TEST_F(Jigs, KeywordsGiveTheirIndexAndEnterNeedsPermission) {
    answers({L"@move 5,5", L"a", L"", L"^C"});
    RecordingJig jig;
    jig.setKeywordList(L"L A C");
    EXPECT_EQ(jig.drag(), Jig::kKW2);
    std::wstring kw;
    ed::getInput(kw);
    EXPECT_EQ(kw, L"A");
    // Enter without kNullResponseAccepted is ignored; the cancel then ends the drag.
    EXPECT_EQ(jig.drag(), Jig::kCancel);
}

TEST_F(Jigs, NullResponseWhenAccepted) {
    answers({L""});
    RecordingJig jig;
    jig.setUserInputControls(Jig::kNullResponseAccepted);
    EXPECT_EQ(jig.drag(), Jig::kNull);
}

TEST_F(Jigs, OrthoModeHoldsCursorMovesToAnAxis) {
    answers({L"@set ORTHOMODE 1", L"@move 10,3", L"@move 2,9", L"^C"});
    RecordingJig jig;
    jig.setUserInputControls(Jig::kGovernedByOrthoMode);
    std::vector<geom::Point3d> seen;
    jig.drag();
    EXPECT_EQ(jig.calls.size(), 4u);
    EXPECT_EQ(jig.current, geom::Point3d(0, 9)); // the last move, held to the Y axis
}

TEST_F(Jigs, DistanceAndAngleFromTheBasePoint) {
    answers({L"@move 3,4", L"12.5", L"@move 0,2", L"90"});
    RecordingJig dist;
    dist.mode = RecordingJig::Mode::distance;
    EXPECT_EQ(dist.drag(), Jig::kNormal);
    EXPECT_DOUBLE_EQ(dist.value, 12.5);
    RecordingJig angle;
    angle.mode = RecordingJig::Mode::angle;
    EXPECT_EQ(angle.drag(), Jig::kNormal);
    EXPECT_NEAR(angle.value, 3.141592653589793 / 2, 1e-12);
}

TEST_F(Jigs, OtherTextOnlyWithItsControl) {
    answers({L"abc", L"4,4", L"xyz"});
    RecordingJig jig;
    EXPECT_EQ(jig.drag(), Jig::kNormal); // "abc" re-prompts, the point ends it
    EXPECT_TRUE(transcriptHas(L"Point or option keyword required."));
    RecordingJig other;
    other.mode = RecordingJig::Mode::distance;
    other.setUserInputControls(Jig::kAcceptOtherInputString | Jig::kNullResponseAccepted);
    EXPECT_EQ(other.drag(), Jig::kOther);
    std::wstring text;
    ed::getInput(text);
    EXPECT_EQ(text, L"xyz");
}
