// ZORMA_GEOMCALC end to end: the zorma program loads the built plug-in, runs a script on a
// drawing and saves it; the transcript, the log file and the saved drawing are checked.
#include "ClosedForms.h"

#include "support/drawing.h"
#include "support/zorma_run.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/dictionary.h"
#include "zhost/db/entities.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/dxf/dxf.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace db = zhost::db;
namespace fs = std::filesystem;
namespace geom = zhost::geom;

namespace {

size_t Count(const std::string& text, const std::string& part) {
    return size_t(ztest::CountOf(text, part));
}

class GeomCalcScenario : public ztest::ScenarioTest {
protected:
    void SetUp() override {
        Folder().MakeFolder("product/config");
        Folder().MakeFolder("user");
    }

    db::ObjectId Add(std::unique_ptr<db::Entity> e) {
        db::ObjectId id;
        EXPECT_OK(m_db.appendToModelSpace(std::move(e), id));
        return id;
    }
    void AddLine(double x0, double y0, double x1, double y1) {
        Add(std::make_unique<db::Line>(geom::Point3d(x0, y0), geom::Point3d(x1, y1)));
    }
    void AddArc(double cx, double cy, double r, double a0, double a1) {
        Add(std::make_unique<db::Arc>(geom::Point3d(cx, cy), r, a0 * kPi / 180, a1 * kPi / 180));
    }

    // The plate of the in-process tests: 100 x 60 at (10, 20), corners rounded to 8, a hole of
    // radius 12 at (40, 50).
    void DrawPlateWithHole() {
        AddLine(18, 20, 102, 20);
        AddArc(102, 28, 8, 270, 360);
        AddLine(110, 28, 110, 72);
        AddArc(102, 72, 8, 0, 90);
        AddLine(102, 80, 18, 80);
        AddArc(18, 72, 8, 90, 180);
        AddLine(10, 72, 10, 28);
        AddArc(18, 28, 8, 180, 270);
        Add(std::make_unique<db::Circle>(geom::Point3d(40, 50), 12));
    }

    void InsertFrame(const wchar_t* name, double scale) {
        db::ObjectId block;
        if (!zhost::ok(m_db.getBlockId(name, block)))
            m_db.addBlock(name, block);
        auto ref = std::make_unique<db::BlockReference>(geom::Point3d(-500, -500), block);
        ref->setScaleFactors({scale, scale, scale});
        Add(std::move(ref));
    }

    // Saves the drawing, runs the script on it with the plug-in and returns the transcript.
    std::string Run(const std::vector<std::string>& script) {
        const fs::path in = Dir() / "plate.dxf";
        EXPECT_OK(zhost::dxf::writeDxf(m_db, in));
        std::string text = "@set LUPREC 8\nZORMA_GEOMCALC\n";
        for (const std::string& line : script)
            text += line + "\n";
        const ztest::ZormaResult r = ScenarioTest::Run({.drawing = in,
                                                        .script = text,
                                                        .product = Dir() / "product",
                                                        .userDir = Dir() / "user"});
        EXPECT_THAT(r, ztest::ExitsWith(0));
        m_out = r.saved;
        return r.transcript;
    }

    // The saved drawing's model-space entities by DXF name.
    std::map<std::wstring, int> Saved(db::Database& saved) {
        EXPECT_TRUE(ztest::ReadDrawing(m_out, saved));
        return ztest::EntityKinds(saved);
    }

    // One number of the log: the n-th number of the first line starting with `item` in record
    // `record` (0 or 1).
    double LogNumber(const std::wstring& item, int n, int record = 0) {
        const std::wstring text =
            zhost::fromUtf8(ztest::ReadFile(Dir() / "plate_ZORMA_GEOMCALC.log"));
        size_t at = 0;
        if (record == 1)
            at = text.find(L"<<中抜き付加情報>>");
        at = text.find(L"\n" + item + L"\t", at);
        if (at == std::wstring::npos)
            return std::nan("");
        const size_t end = text.find(L'\n', at + 1);
        std::wistringstream line(text.substr(at + 1, end - at - 1));
        std::wstring field;
        int seen = 0;
        while (std::getline(line, field, L'\t')) {
            wchar_t* stop = nullptr;
            const double v = std::wcstod(field.c_str(), &stop);
            if (!field.empty() && *stop == 0 && seen++ == n)
                return v;
        }
        return std::nan("");
    }

    fs::path m_out;
    db::Database m_db;
};

void ExpectRel(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::abs(expected))) << what;
}

TEST_F(GeomCalcScenario, PlateWithHoleByPointThenByTrace) {
    DrawPlateWithHole();
    const std::vector<std::string> measure = {
        "N", "5,-3", "0,0", "100,0", "7.85", "@dialog click 142", "@dialog click 2"};
    std::vector<std::string> script = {"70,30", "Y", "40,50"};
    script.insert(script.end(), measure.begin(), measure.end());
    // The second region by tracing from the left edge upwards; the hole circle is taken whole.
    script.insert(script.end(), {"10,50", "10,60", "Y", "40,62"});
    script.insert(script.end(), measure.begin(), measure.end());
    script.push_back("");
    const std::string out = Run(script);

    const ShapeMoments plate = RoundedRectMoments(10, 20, 110, 80, 8);
    const ShapeMoments holed = plate - DiscMoments(40, 50, 12);
    const double perimeter = 2 * 84 + 2 * 44 + 16 * kPi;
    ExpectRel(LogNumber(L"面積", 0), plate.a, "area");
    ExpectRel(LogNumber(L"周長", 0), perimeter, "perimeter");
    ExpectRel(LogNumber(L"面積", 0, 1), holed.a, "area with hole");
    ExpectRel(LogNumber(L"周長", 0, 1), perimeter + 24 * kPi, "perimeter with hole");
    ExpectRel(LogNumber(L"重心位置(緑色点)", 0, 1), holed.cx(), "cx");
    ExpectRel(LogNumber(L"重心位置(緑色点)", 1, 1), holed.cy(), "cy");
    ExpectRel(LogNumber(L"断面2次モーメント(重心基準)", 0, 1), holed.IxCentroid(), "Ix");
    ExpectRel(LogNumber(L"断面2次モーメント(重心基準)", 1, 1), holed.IyCentroid(), "Iy");
    ExpectRel(LogNumber(L"断面2次モーメント(指示点基準)", 0, 1), holed.IxAbout(-3), "Ix ref");
    ExpectRel(LogNumber(L"Ip=Ix+Iy", 0, 1), holed.IxCentroid() + holed.IyCentroid(), "Ip");
    ExpectRel(LogNumber(L"回転体体積", 0, 1), 2 * kPi * holed.cy() * holed.a, "volume");
    ExpectRel(LogNumber(L"回転体重さ", 0, 1), 2 * kPi * holed.cy() * holed.a * 7.85e-3, "weight");
    // The log path is printed in a headless run (twice: once per region).
    EXPECT_EQ(Count(out, "plate_ZORMA_GEOMCALC.log"), 2u) << out;

    // Saved: the 9 curves and the 4 centroid points, nothing temporary.
    db::Database saved;
    const auto kinds = Saved(saved);
    EXPECT_EQ(kinds, (std::map<std::wstring, int>{
                         {L"LINE", 4}, {L"ARC", 4}, {L"CIRCLE", 1}, {L"POINT", 4}}));
}

TEST_F(GeomCalcScenario, CancelAtEveryPromptLeavesNothingBehind) {
    DrawPlateWithHole();
    const std::vector<std::vector<std::string>> cancels = {
        {"70,30", "^C"},
        {"70,30", "Y", "40,50", "^C"},
        {"70,30", "N", "^C"},
        {"70,30", "N", "0,0", "0,0", "^C"},
        {"70,30", "N", "0,0", "0,0", "1,0", "^C"},
        {"10,50", "^C"},
        {"70,30", "N", "0,0", "L", "^C"},
    };
    std::vector<std::string> script;
    for (const auto& c : cancels) {
        script.insert(script.end(), c.begin(), c.end());
        script.push_back("ZORMA_GEOMCALC");
    }
    script.push_back("^C");
    const std::string out = Run(script);
    db::Database saved;
    EXPECT_EQ(Saved(saved),
              (std::map<std::wstring, int>{{L"LINE", 4}, {L"ARC", 4}, {L"CIRCLE", 1}}))
        << out;
}

TEST_F(GeomCalcScenario, TenRowTableAtCornersAAndD) {
    DrawPlateWithHole();
    // Items 1 to 8: a table of 10 rows.
    const std::string items = "@dialog uncheck 112\n@dialog uncheck 117\n@dialog uncheck 115";
    const std::string out = Run({"G",
                                 items,
                                 "@dialog click 1",
                                 "70,30",
                                 "N",
                                 "0,0",
                                 "0,0",
                                 "1,0",
                                 "",
                                 "@dialog click 1",
                                 "A",
                                 "200,0",
                                 "70,30",
                                 "N",
                                 "0,0",
                                 "0,0",
                                 "1,0",
                                 "",
                                 "@dialog click 1",
                                 "D",
                                 "600,0",
                                 ""});
    db::Database saved;
    const auto kinds = Saved(saved);
    EXPECT_EQ(kinds.at(L"MTEXT"), 40) << out;
    EXPECT_EQ(kinds.at(L"LINE"), 4 + 2 * 14);
    // Each table: 11 horizontal lines 110 long, the corner where it was asked.
    int horizontalA = 0, horizontalD = 0;
    double topA = -1e300, leftD = 1e300;
    db::ObjectPtr<db::BlockTableRecord> ms(saved.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : ms->entityIds()) {
        db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead);
        if (!l || l->startPoint().x < 150)
            continue;
        const bool horizontal = l->startPoint().y == l->endPoint().y;
        if (l->startPoint().x < 400) {
            horizontalA += horizontal && std::abs(l->endPoint().x - l->startPoint().x - 110) < 1e-9;
            topA = std::max(topA, l->startPoint().y);
            EXPECT_GE(std::min(l->startPoint().x, l->endPoint().x), 200 - 1e-9);
        } else {
            horizontalD += horizontal && std::abs(l->endPoint().x - l->startPoint().x - 110) < 1e-9;
            leftD = std::min({leftD, l->startPoint().x, l->endPoint().x});
            EXPECT_LE(std::max(l->startPoint().y, l->endPoint().y), 1e-9);
        }
    }
    EXPECT_EQ(horizontalA, 11);
    EXPECT_EQ(horizontalD, 11);
    EXPECT_DOUBLE_EQ(topA, 100);
    EXPECT_DOUBLE_EQ(leftD, 490);
    // Two anonymous groups of 14 lines and 20 texts.
    db::ObjectPtr<db::Dictionary> groups(saved.groupDictionaryId(), db::OpenMode::forRead);
    ASSERT_EQ(groups->count(), 2);
    for (const auto& [key, id] : groups->entries()) {
        db::ObjectPtr<db::Group> g(id, db::OpenMode::forRead);
        EXPECT_EQ(g->numEntities(), 34) << zhost::toUtf8(key);
    }
}

TEST_F(GeomCalcScenario, TitleBlockScaleDoublesTheTable) {
    DrawPlateWithHole();
    Write("product/config/Zorma_Zuwaku.ini",
          "[TitleBlock]\r\nItemCount=1\r\n0_block=FRAME*\r\n0_layer=\r\n");
    InsertFrame(L"FRAME_A3", 2);
    InsertFrame(L"FRAME_A2", 3);
    // Perimeter and area only: 4 rows.
    const std::string out = Run(
        {"G", "@dialog uncheck 112", "@dialog uncheck 118", "@dialog uncheck 111",
         "@dialog uncheck 110", "@dialog uncheck 116", "@dialog uncheck 114", "@dialog uncheck 117",
         "@dialog uncheck 115", "@dialog click 1", "70,30", "N", "@dialog click 1", "200,0", ""});
    db::Database saved;
    Saved(saved);
    double maxX = -1e300, maxY = -1e300;
    int texts = 0;
    db::ObjectPtr<db::BlockTableRecord> ms(saved.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : ms->entityIds()) {
        if (db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead); l && l->startPoint().x >= 150) {
            maxX = std::max({maxX, l->startPoint().x, l->endPoint().x});
            maxY = std::max({maxY, l->startPoint().y, l->endPoint().y});
        }
        if (db::ObjectPtr<db::MText> t(id, db::OpenMode::forRead); t) {
            ++texts;
            EXPECT_DOUBLE_EQ(t->textHeight(), 5);
        }
    }
    EXPECT_EQ(texts, 8) << out;
    EXPECT_DOUBLE_EQ(maxX, 200 + 220);
    EXPECT_DOUBLE_EQ(maxY, 80);
}

TEST_F(GeomCalcScenario, BadInputIsRefusedAndAskedAgain) {
    // Three sides of a square: a point inside is in no closed area.
    AddLine(200, 0, 210, 0);
    AddLine(210, 0, 210, 10);
    AddLine(210, 10, 200, 10);
    DrawPlateWithHole();
    // A folder where the log should be: it cannot be written, whoever runs the test.
    fs::create_directories(Dir() / "plate_ZORMA_GEOMCALC.log" / "x");
    const std::string out = Run({"205,5", "70,30", "N", "zero", "0,0", "0,0", "1,0", "100", "abc",
                                 "0.01", "@dialog click 142", "@dialog click 2", ""});
    EXPECT_EQ(Count(out, "ERROR : 選択点は無効です。"), 1u) << out;
    EXPECT_EQ(Count(out, "0.01以上100未満の範囲で入力してください"), 1u) << out;
    EXPECT_EQ(Count(out, "ログファイルが作成できませんでした。"), 1u) << out;
    EXPECT_GE(Count(out, "比重(g/cm3)を入力して下さい [設定(G)] <1.00>:"), 3u) << out;
}

TEST_F(GeomCalcScenario, MaskZeroAsksNothing) {
    DrawPlateWithHole();
    Write("user/user-settings.ini", "[ZORMA_GEOMALC]\nTAB=0\n");
    const std::string out = Run({"70,30", "N", "@dialog click 142", "@dialog click 2", ""});
    EXPECT_EQ(Count(out, "モーメント 計算中心点"), 0u) << out;
    EXPECT_EQ(ztest::ReadFile(Dir() / "plate_ZORMA_GEOMCALC.log"),
              "\xEF\xBB\xBF\n<<中抜きなし情報>>\n")
        << out;
}

} // namespace
