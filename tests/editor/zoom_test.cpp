// ZOOM through the command loop: the view each option gives on the virtual screen, the views
// kept for Previous, what VIEWSIZE, VIEWCTR and the pick box make of it, and answers refused.
#include "editor_fixture.h"

#include "zhost/editor/display.h"
#include "zhost/editor/sysvars.h"

#include <algorithm>

using namespace zhost;
using zhost::test::EditorTest;

namespace {

class Zoom : public EditorTest {
protected:
    ed::RunOutcome run(std::vector<std::wstring> lines) {
        answers(std::move(lines));
        return ed::runCommandLoop(*input);
    }
    // The view a window onto [x0,x1] x [y0,y1] gives: centred, the whole box on the screen with
    // 10 pixels free at the tighter side.
    static ed::View fitted(double x0, double y0, double x1, double y1) {
        ed::View v;
        v.centerX = (x0 + x1) / 2;
        v.centerY = (y0 + y1) / 2;
        v.unitsPerPixel = std::max((x1 - x0) / (v.widthPx - 20), (y1 - y0) / (v.heightPx - 20));
        return v;
    }
    static void expectView(const ed::View& expected) {
        const ed::View v = ed::currentView();
        EXPECT_NEAR(v.centerX, expected.centerX, 1e-9);
        EXPECT_NEAR(v.centerY, expected.centerY, 1e-9);
        EXPECT_NEAR(v.unitsPerPixel, expected.unitsPerPixel, 1e-12);
    }
};

} // namespace

TEST_F(Zoom, ExtentsFitWhatTheScreenShowsAndTellTheWindowToFitItself) {
    addLine(0, 0, 100, 50);
    addCircle(100, 50, 10);
    const db::ObjectId hidden = addLine(1000, 1000, 2000, 2000);
    ASSERT_EQ(ed::redrawEntity(hidden, ed::redraw::hide), ed::Result::normal);
    const auto serial = ed::viewRequestSerial();

    ASSERT_TRUE(run({L"ZOOM", L"E"}).ok());
    expectView(fitted(0, 0, 110, 60));
    EXPECT_EQ(ed::viewRequestSerial(), serial + 1);
    EXPECT_TRUE(ed::lastViewRequest().toExtents);

    // VIEWSIZE is the height shown, VIEWCTR the centre; the pick box shrinks with the zoom.
    double size = 0;
    ASSERT_OK(ed::getVarReal(L"VIEWSIZE", size));
    EXPECT_NEAR(size, ed::currentView().height(), 1e-9);
    geom::Point3d center;
    ASSERT_OK(ed::getVarPoint(L"VIEWCTR", center));
    EXPECT_NEAR(center.x, 55, 1e-9);
    EXPECT_NEAR(center.y, 30, 1e-9);
    EXPECT_NEAR(ed::pickAperture(), 3 * ed::currentView().unitsPerPixel, 1e-6);

    // All takes the limits (0,0)-(420,297) in as well.
    ASSERT_TRUE(run({L"ZOOM", L"A"}).ok());
    expectView(fitted(0, 0, 420, 297));
    EXPECT_FALSE(ed::lastViewRequest().toExtents);
}

TEST_F(Zoom, WindowFromAPointOrTheOptionAndRefusesAFlatOne) {
    ASSERT_TRUE(run({L"ZOOM", L"10,10", L"30,20"}).ok());
    expectView(fitted(10, 10, 30, 20));

    // Corners in either order; a window without height is asked again.
    ASSERT_TRUE(run({L"ZOOM", L"W", L"50,40", L"0,0"}).ok());
    expectView(fitted(0, 0, 50, 40));
    ASSERT_TRUE(run({L"ZOOM", L"W", L"0,0", L"50,0", L"40,30"}).ok());
    EXPECT_TRUE(transcriptHas(L"The window must have a width and a height."));
    expectView(fitted(0, 0, 40, 30));
}

TEST_F(Zoom, ScaleRelativeToTheViewOrToTheLimits) {
    const ed::View start = ed::currentView();
    ASSERT_TRUE(run({L"ZOOM", L"2X"}).ok());
    EXPECT_NEAR(ed::currentView().unitsPerPixel, start.unitsPerPixel / 2, 1e-12);
    EXPECT_NEAR(ed::currentView().centerX, start.centerX, 1e-12);
    ASSERT_TRUE(run({L"ZOOM", L"S", L"0.25x"}).ok());
    EXPECT_NEAR(ed::currentView().unitsPerPixel, start.unitsPerPixel * 2, 1e-12);
    // A plain number: the limits' height (297) divided by it fills the screen's height.
    ASSERT_TRUE(run({L"ZOOM", L"3"}).ok());
    EXPECT_NEAR(ed::currentView().height(), 99, 1e-9);
}

TEST_F(Zoom, CenterTakesAHeightOrAMagnification) {
    ASSERT_TRUE(run({L"ZOOM", L"C", L"5,5", L"40"}).ok());
    EXPECT_NEAR(ed::currentView().height(), 40, 1e-9);
    EXPECT_NEAR(ed::currentView().centerX, 5, 1e-12);
    ASSERT_TRUE(run({L"ZOOM", L"C", L"0,0", L"4x"}).ok());
    EXPECT_NEAR(ed::currentView().height(), 10, 1e-9);
    EXPECT_TRUE(transcriptHas(L"Enter magnification or height <40.0000>: "));
    // Enter keeps the height and only moves the centre.
    ASSERT_TRUE(run({L"ZOOM", L"C", L"7,8", L""}).ok());
    EXPECT_NEAR(ed::currentView().height(), 10, 1e-9);
    EXPECT_NEAR(ed::currentView().centerY, 8, 1e-12);
}

TEST_F(Zoom, PreviousGoesBackOneViewAtATimeAndSaysWhenNoneIsLeft) {
    const ed::View start = ed::currentView();
    ASSERT_TRUE(run({L"ZOOM", L"0,0", L"100,100"}).ok());
    const ed::View first = ed::currentView();
    ASSERT_TRUE(run({L"ZOOM", L"2x"}).ok());
    ASSERT_TRUE(run({L"ZOOM", L"P"}).ok());
    expectView(first);
    ASSERT_TRUE(run({L"ZOOM", L"P"}).ok());
    expectView(start);
    ASSERT_TRUE(run({L"ZOOM", L"P"}).ok());
    EXPECT_TRUE(transcriptHas(L"No previous view saved."));
    expectView(start);

    // The window's own zooms count when it says so; only the last ten are kept.
    for (int i = 1; i <= 12; ++i) {
        ed::View v = start;
        v.unitsPerPixel = i;
        ed::setScreenView(v, true);
    }
    for (int i = 11; i >= 2; --i) {
        ASSERT_TRUE(run({L"ZOOM", L"P"}).ok());
        EXPECT_EQ(ed::currentView().unitsPerPixel, i);
    }
    transcript.clear();
    ASSERT_TRUE(run({L"ZOOM", L"P"}).ok());
    EXPECT_TRUE(transcriptHas(L"No previous view saved."));
}

TEST_F(Zoom, BadAnswersAreAskedAgainAndNothingChanges) {
    const ed::View start = ed::currentView();
    ASSERT_TRUE(run({L"ZOOM", L"banana", L"0x", L"-2x", L""}).ok());
    EXPECT_NE(transcript.find(L"Requires a point, numberX, or option keyword."),
              transcript.rfind(L"Requires a point, numberX, or option keyword."));
    ASSERT_TRUE(run({L"ZOOM", L"S", L"x", L""}).ok());
    EXPECT_TRUE(transcriptHas(L"Requires a positive number or numberX."));
    // Beyond what doubles can show with drawing precision.
    ASSERT_TRUE(run({L"ZOOM", L"1e-20x"}).ok());
    EXPECT_TRUE(transcriptHas(L"That zoom lies beyond what the view can show."));
    expectView(start);
    // An empty drawing has no extents to zoom to.
    ASSERT_TRUE(run({L"ZOOM", L"E"}).ok());
    EXPECT_TRUE(transcriptHas(L"The drawing shows nothing to zoom to."));
    expectView(start);
}
