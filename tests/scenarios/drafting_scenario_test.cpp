// The drafting commands as a user runs them through `zorma run`: the saved drawing read back by
// the host and by ezdxf, and UNDO taking a whole session's work back.
#include "support/drawing.h"
#include "support/ezdxf.h"
#include "support/status.h"
#include "support/zorma_run.h"

#include "zhost/core/utf.h"
#include "zhost/db/db.h"

#include <cmath>
#include <sstream>

#include <gmock/gmock.h>

using namespace zhost;

namespace {
class DraftingScenario : public ztest::ScenarioTest {};
} // namespace

TEST_F(DraftingScenario, TheDrawingDemoSavesEveryKindItDraws) {
    SKIP_WITHOUT_EZDXF();
    const ztest::ZormaResult r = Run(
        {.scriptFile = ztest::SourcePath("samples/scripts/05-draw.scr"), .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    auto kinds = ztest::EntityKinds(saved);
    EXPECT_EQ(kinds[L"LWPOLYLINE"], 2);
    EXPECT_EQ(kinds[L"CIRCLE"], 2);
    EXPECT_EQ(kinds[L"ARC"], 1);
    EXPECT_EQ(kinds[L"LINE"], 2);
    EXPECT_EQ(kinds[L"POINT"], 1);
    EXPECT_EQ(kinds[L"TEXT"], 1);
    const ztest::EzdxfAudit audit = ztest::AuditWithEzdxf(r.saved);
    EXPECT_TRUE(ztest::PassesEzdxfAudit(r.saved));
    EXPECT_EQ(audit.modelSpace.at("LWPOLYLINE"), 2);
}

TEST_F(DraftingScenario, UndoOfEveryDrawCommandLeavesTheOpenedDrawingAsItWas) {
    const ztest::ZormaResult r =
        Run({.drawing = ztest::SampleDrawing("plate.dxf"),
             .script = "LINE\n0,0\n10,0\n\nPLINE\n0,0\n5,5\nA\n10,0\n\nCIRCLE\n3,3\n1\n"
                       "ARC\n0,0\n1,1\n2,0\nRECTANG\n0,0\n4,4\nPOINT\n1,1\nTEXT\n0,0\n2\n0\nx\n"
                       "UNDO\n7\n",
             .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    db::Database saved, original;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    ASSERT_TRUE(ztest::ReadDrawing(ztest::SampleDrawing("plate.dxf"), original));
    EXPECT_EQ(ztest::EntityKinds(saved), ztest::EntityKinds(original));
}

namespace {

// What a sample drawing's entity is, independent of handles and of the order of its fields:
// kind, layer, colour and geometry rounded to micrometres, angles taken round the circle.
std::string Describe(const db::Entity& e) {
    std::ostringstream s;
    s << toUtf8(e.dxfName()) << " on " << toUtf8(e.layer()) << " colour " << e.colorIndex();
    auto num = [&](double v) { s << ' ' << std::lround(v * 1e6) / 1e6; };
    auto pt = [&](const geom::Point3d& p) { num(p.x), num(p.y), num(p.z); };
    auto ang = [&](double a) { num(std::remainder(a, 2 * 3.141592653589793) + 0.0); };
    if (const auto* l = dynamic_cast<const db::Line*>(&e)) {
        pt(l->startPoint());
        pt(l->endPoint());
    } else if (const auto* c = dynamic_cast<const db::Circle*>(&e)) {
        pt(c->center());
        num(c->radius());
    } else if (const auto* a = dynamic_cast<const db::Arc*>(&e)) {
        pt(a->center());
        num(a->radius());
        ang(a->startAngle());
        ang(a->endAngle());
    } else if (const auto* p = dynamic_cast<const db::Polyline*>(&e)) {
        s << (p->isClosed() ? " closed" : " open");
        for (int i = 0; i < p->numVerts(); ++i)
            pt(p->pointAt(i)), num(p->bulgeAt(i));
    } else {
        s << " (geometry not compared)";
    }
    return s.str();
}

std::vector<std::string> DescribeModelSpace(const db::Database& d) {
    std::vector<std::string> out;
    db::ObjectPtr<db::BlockTableRecord> ms(d.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : ms->entityIds()) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        out.push_back(Describe(*e));
    }
    return out;
}

} // namespace

// The committed sample drawings stay as fixtures; the scripts that draw them with the host's
// commands must give the same entities.
class SampleScripts : public ztest::ScenarioTest,
                      public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(SampleScripts, DrawTheCommittedSampleDrawing) {
    const auto [script, drawing] = GetParam();
    const ztest::ZormaResult r =
        Run({.scriptFile = ztest::SourcePath(std::string("samples/scripts/") + script),
             .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    db::Database drawn, committed;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, drawn));
    ASSERT_TRUE(ztest::ReadDrawing(ztest::SampleDrawing(drawing), committed));
    EXPECT_EQ(DescribeModelSpace(drawn), DescribeModelSpace(committed));
}

INSTANTIATE_TEST_SUITE_P(HostSamples, SampleScripts,
                         ::testing::Values(std::pair{"06-plate-drawn.scr", "plate.dxf"},
                                           std::pair{"07-holes-drawn.scr", "holes.dxf"}));

TEST_F(DraftingScenario, TheEditingDemoSavesItsChangesAndPassesTheAudit) {
    SKIP_WITHOUT_EZDXF();
    const ztest::ZormaResult r =
        Run({.drawing = ztest::SampleDrawing("plate.dxf"),
             .scriptFile = ztest::SourcePath("samples/scripts/08-edit.scr"),
             .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r, ztest::Prints("Area = 314.1593, Perimeter = 62.8319"));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    auto kinds = ztest::EntityKinds(saved);
    EXPECT_EQ(kinds[L"CIRCLE"], 2);
    EXPECT_EQ(kinds[L"ARC"], 4);
    EXPECT_EQ(kinds[L"LINE"], 9);
    EXPECT_EQ(kinds[L"TEXT"], 1);
    // The rotated line on the centre-line layer, with its linetype loaded into the drawing.
    db::ObjectId layer, linetype;
    ASSERT_OK(saved.getLayerId(L"CENTER", layer));
    ASSERT_OK(saved.getLinetypeId(L"Center", linetype));
    db::ObjectPtr<db::LayerTableRecord> center(layer, db::OpenMode::forRead);
    EXPECT_EQ(center->colorIndex(), 1);
    EXPECT_EQ(center->linetypeId(), linetype);
    int onCenter = 0;
    db::ObjectPtr<db::BlockTableRecord> ms(saved.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : ms->entityIds()) {
        db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead);
        if (!l || l->layerId() != layer)
            continue;
        ++onCenter;
        EXPECT_EQ(l->lineWeight(), 50);
        const geom::Vector3d d = l->endPoint() - l->startPoint();
        EXPECT_NEAR(std::atan2(d.y, d.x), 15 * 3.141592653589793 / 180, 1e-9);
    }
    EXPECT_EQ(onCenter, 1);
    EXPECT_TRUE(ztest::PassesEzdxfAudit(r.saved));
}

TEST_F(DraftingScenario, DrawingsSavedInBothFormatsPassTheAudit) {
    SKIP_WITHOUT_EZDXF();
    const std::string jp = (Dir() / "jp.dxf").string(), utf = (Dir() / "utf.dxf").string();
    const ztest::ZormaResult r =
        Run({.script = "TEXT\n0,0\n3\n0\n六角ボルト M8\nSAVEAS\nR2000\n" + jp +
                       "\nCIRCLE\n0,0\n2\n-LAYER\nMake\n穴\n\nQSAVE\nSAVEAS\nR2013\n" + utf + "\n",
             .addon = ztest::kNoAddon,
             .save = false});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    for (const std::string& file : {jp, utf}) {
        EXPECT_TRUE(ztest::PassesEzdxfAudit(file)) << file;
        const ztest::EzdxfAudit audit = ztest::AuditWithEzdxf(file);
        EXPECT_EQ(audit.modelSpace.at("TEXT"), 1) << file;
        EXPECT_EQ(audit.modelSpace.at("CIRCLE"), 1) << file;
    }
    db::Database back;
    dxf::ReadReport report;
    ASSERT_TRUE(ztest::ReadDrawing(jp, back, &report));
    EXPECT_EQ(report.codePage, 932);
    db::ObjectId layer;
    EXPECT_OK(back.getLayerId(L"穴", layer));
    EXPECT_TRUE(std::filesystem::exists(Dir() / "jp.bak")); // QSAVE kept the first save
}

TEST_F(DraftingScenario, ClicksLandOnSnapsAndOrthoHoldsThemLevel) {
    const ztest::ZormaResult r =
        Run({.scriptFile = ztest::SourcePath("samples/scripts/10-snaps.scr"),
             .addon = ztest::kNoAddon});
    ASSERT_THAT(r, ztest::ExitsWith(0));
    db::Database saved;
    ASSERT_TRUE(ztest::ReadDrawing(r.saved, saved));
    std::vector<std::pair<geom::Point3d, geom::Point3d>> lines;
    db::ObjectPtr<db::BlockTableRecord> model(saved.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : model->entityIds())
        if (db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead); l)
            lines.emplace_back(l->startPoint(), l->endPoint());
    // The rectangle's corner, the circle's lowest quadrant, the middle of the left edge; then a
    // line held to the X axis through its typed start; then grid points, and the end of that line
    // where the grid alone would give 50,-10.
    using P = geom::Point3d;
    EXPECT_EQ(lines, (std::vector<std::pair<P, P>>{{P(60, 40), P(30, 10)},
                                                   {P(30, 10), P(0, 20)},
                                                   {P(0, -10), P(45, -10)},
                                                   {P(70, 0), P(90, 20)},
                                                   {P(90, 20), P(45, -10)}}));
}
