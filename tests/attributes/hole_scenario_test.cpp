// KORU_ATTACH_PC_XDATA end to end: the zorma program loads the built plug-in, runs a script on a
// drawing and saves it; the saved file is read back with the host's reader and with ezdxf.
#include "support/drawing.h"
#include "support/ezdxf.h"
#include "support/zorma_run.h"

#include "zhost/core/utf.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/selection.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace db = zhost::db;
namespace fs = std::filesystem;
namespace geom = zhost::geom;
using ztest::ExitsWith;

namespace {

constexpr double kPi = std::numbers::pi;

class HoleScenario : public ztest::ScenarioTest {
protected:
    db::ObjectId Add(std::unique_ptr<db::Entity> e) {
        db::ObjectId id;
        EXPECT_OK(m_db.appendToModelSpace(std::move(e), id));
        return id;
    }
    void AddLine(double x1, double y1, double x2, double y2) {
        Add(std::make_unique<db::Line>(geom::Point3d(x1, y1), geom::Point3d(x2, y2)));
    }

    // Saves the drawing built so far, runs the script lines on it and reads the result back.
    // Returns the transcript.
    std::string Run(const std::vector<std::string>& script) {
        const fs::path in = Dir() / "in.dxf";
        EXPECT_OK(zhost::dxf::writeDxf(m_db, in));
        std::string text;
        for (const std::string& line : script)
            text += line + "\n";
        return RunFile(in, Write("script.txt", text));
    }

    std::string RunFile(const fs::path& drawing, const fs::path& script) {
        const ztest::ZormaResult r = ScenarioTest::Run({.drawing = drawing, .scriptFile = script});
        EXPECT_THAT(r, ExitsWith(0));
        m_outDxf = r.saved;
        return r.transcript;
    }

    // The saved drawing's curves with their hole serial (-1 without a mark), in drawing order.
    std::vector<std::pair<std::wstring, int>> Marks() {
        db::Database saved;
        EXPECT_TRUE(ztest::ReadDrawing(m_outDxf, saved));
        std::vector<std::pair<std::wstring, int>> marks;
        for (db::ObjectId id : saved.allObjectIds()) {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (!e || e->ownerId() != saved.modelSpaceId())
                continue;
            int serial = -1;
            for (const db::ResBuf& item : e->xdata(L"ZORMA-PARTS-HOLE"))
                if (item.code == db::xcode::int16)
                    serial = item.integer();
            marks.emplace_back(e->dxfName(), serial);
        }
        return marks;
    }

    fs::path m_outDxf;
    db::Database m_db;
};

using Marked = std::vector<std::pair<std::wstring, int>>;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(HoleScenario, SingleCircleIsMarkedWithSerialZero) {
    Add(std::make_unique<db::Circle>(geom::Point3d(0, 0), 5));
    const std::string out = Run({"KORU_ATTACH_PC_XDATA", "@pick 5,0", ""});
    EXPECT_TRUE(Has(out, "閉じられた図形を確認しました。")) << out;
    EXPECT_TRUE(Has(out, "拡張データを付与しました。通し番号:0")) << out;
    EXPECT_EQ(Marks(), (Marked{{L"CIRCLE", 0}}));
}

TEST_F(HoleScenario, TwoArcsAreMarkedAlikeAndNoPolylineIsLeft) {
    Add(std::make_unique<db::Arc>(geom::Point3d(0, 0), 5, 0, kPi));
    Add(std::make_unique<db::Arc>(geom::Point3d(0, 0.001), 5, kPi, 2 * kPi));
    const std::string out = Run({"KORU_ATTACH_PC_XDATA", "@pick 0,5", "@pick 0,-4.999", ""});
    EXPECT_TRUE(Has(out, "閉じられた図形群を確認しました。")) << out;
    EXPECT_EQ(Marks(), (Marked{{L"ARC", 0}, {L"ARC", 0}}));
}

TEST_F(HoleScenario, SecondHoleGetsTheNextNumber) {
    Add(std::make_unique<db::Circle>(geom::Point3d(0, 0), 5));
    Add(std::make_unique<db::Circle>(geom::Point3d(50, 0), 5));
    const std::string out =
        Run({"KORU_ATTACH_PC_XDATA", "@pick 5,0", "", "KORU_ATTACH_PC_XDATA", "@pick 55,0", ""});
    EXPECT_TRUE(Has(out, "通し番号:0")) << out;
    EXPECT_TRUE(Has(out, "通し番号:1")) << out;
    EXPECT_EQ(Marks(), (Marked{{L"CIRCLE", 0}, {L"CIRCLE", 1}}));
}

TEST_F(HoleScenario, OpenUIsReportedAndNothingIsMarked) {
    AddLine(0, 10, 0, 0);
    AddLine(0, 0, 10, 0);
    AddLine(10, 0, 10, 5);
    AddLine(10, 5, 10, 10);
    const std::string out = Run({"KORU_ATTACH_PC_XDATA", "@window -1,-1 11,11", ""});
    EXPECT_TRUE(Has(out, "\n選択した図形群が閉じられていませんでした")) << out;
    EXPECT_FALSE(Has(out, "拡張データを付与しました")) << out;
    EXPECT_EQ(Marks(), (Marked{{L"LINE", -1}, {L"LINE", -1}, {L"LINE", -1}, {L"LINE", -1}}));
}

TEST_F(HoleScenario, LinesJoiningIntoTwoPolylinesAreNotOneHole) {
    for (double x : {0.0, 50.0}) {
        AddLine(x, 0, x + 10, 0);
        AddLine(x + 10, 0, x + 10, 10);
        AddLine(x + 10, 10, x, 10);
        AddLine(x, 10, x, 0);
    }
    const std::string out = Run({"KORU_ATTACH_PC_XDATA", "@all", ""});
    EXPECT_TRUE(Has(out, "対象の図形が見つけられませんでした。")) << out;
    const Marked marks = Marks();
    EXPECT_EQ(marks.size(), 8u);
    for (const auto& [type, serial] : marks) {
        EXPECT_EQ(type, L"LINE");
        EXPECT_EQ(serial, -1);
    }
}

TEST_F(HoleScenario, PreSelectedPolylineThatTheJoinExtendsCountsAsTheNewOne) {
    geom::Polyline p;
    p.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    p.bulges.assign(4, 0.0);
    Add(std::make_unique<db::Polyline>(p));
    AddLine(0, 10, 0, 0);
    const std::string out = Run({"@pick 5,0", "@pick 0,5", "KORU_ATTACH_PC_XDATA"});
    EXPECT_TRUE(Has(out, "閉じられた図形群を確認しました。")) << out;
    EXPECT_EQ(Marks(), (Marked{{L"LWPOLYLINE", 0}, {L"LINE", 0}}));
}

TEST_F(HoleScenario, DemoDrawingIsMarkedAndPassesAnIndependentAudit) {
    SKIP_WITHOUT_EZDXF();
    const fs::path samples = fs::path(ZORMA_SOURCE_DIR) / "samples";
    const std::string out = RunFile(samples / "drawings/holes.dxf", samples / "scripts/holes.scr");
    EXPECT_TRUE(Has(out, "通し番号:0")) << out;
    EXPECT_TRUE(Has(out, "通し番号:1")) << out;
    EXPECT_TRUE(Has(out, "\n選択した図形群が閉じられていませんでした")) << out;
    EXPECT_TRUE(ztest::PassesEzdxfAudit(m_outDxf));

    const ztest::ProcessResult check =
        ztest::RunPython("tests/attributes/hole_marks.py", {m_outDxf.string()});
    ASSERT_THAT(check, ExitsWith(0));
    std::istringstream lines(check.out);
    std::string word;
    int errors = -1, fixes = -1;
    lines >> word >> errors >> fixes;
    EXPECT_EQ(word, "audit");
    EXPECT_EQ(errors, 0) << check;
    EXPECT_EQ(fixes, 0) << check;
    std::vector<std::string> rows;
    std::string type, serial;
    while (lines >> type >> serial)
        rows.push_back(type + " " + serial);
    EXPECT_EQ(rows, (std::vector<std::string>{"LWPOLYLINE -", "CIRCLE 0", "ARC 1", "ARC 1",
                                              "LINE -", "LINE -", "LINE -"}));
}
