// ZORMA_GEOMCALC driven through its prompts and dialogs, as a user answers them.
#include "ClosedForms.h"
#include "GeomCalcTestUtil.h"

#include "geomcalc/GeomCalcCmd.h"
#include "geomcalc/GeomCalcSettings.h"

#include "frame/SettingsLib.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/dictionary.h"

#include <gtest/gtest.h>

#include <map>

namespace db = zhost::db;
namespace fs = std::filesystem;

namespace {

void ExpectRel(double actual, double expected, const std::string& what) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::abs(expected))) << what;
}

// The numbers of one log line: "面積\t5945.1\t(mm2)" -> {5945.1}; "重心...\tX\t1\tY\t2" -> {1, 2}.
std::vector<double> Numbers(const std::wstring& line) {
    std::vector<double> out;
    size_t pos = 0;
    while (pos <= line.size()) {
        size_t tab = line.find(L'\t', pos);
        const std::wstring field = line.substr(pos, tab == std::wstring::npos ? tab : tab - pos);
        wchar_t* end = nullptr;
        const double v = std::wcstod(field.c_str(), &end);
        if (!field.empty() && end != field.c_str() && *end == 0)
            out.push_back(v);
        if (tab == std::wstring::npos)
            break;
        pos = tab + 1;
    }
    return out;
}

class GeomCalcCommand : public GeomCalcTest {
protected:
    void SetUp() override {
        GeomCalcTest::SetUp();
        GeomCalcMemory() = CGeomCalcMemory();
        SetDrawingPath(TempDir() / "plate.dxf");
        zhost::ed::setVarInt(L"LUPREC", 8);
    }

    // The 100 x 60 plate at (10, 20) with corners rounded to 8 and a hole of radius 12.
    void DrawPlateWithHole() {
        const double x0 = 10, y0 = 20, x1 = 110, y1 = 80, r = 8;
        AddLine(x0 + r, y0, x1 - r, y0);
        AddArc(x1 - r, y0 + r, r, 270, 360);
        AddLine(x1, y0 + r, x1, y1 - r);
        AddArc(x1 - r, y1 - r, r, 0, 90);
        AddLine(x1 - r, y1, x0 + r, y1);
        AddArc(x0 + r, y1 - r, r, 90, 180);
        AddLine(x0, y1 - r, x0, y0 + r);
        AddArc(x0 + r, y0 + r, r, 180, 270);
        AddCircle(40, 50, 12);
    }
    static double PlatePerimeter() { return 2 * (100 - 16) + 2 * (60 - 16) + 2 * kPi * 8; }

    void Run(std::vector<std::wstring> answers) {
        Answers(std::move(answers));
        RunGeomCalc();
    }

    // The log written by "@dialog click 142": item -> numbers, the first record under "1:",
    // the second under "2:".
    std::map<std::wstring, std::vector<double>> ReadLog() {
        const std::string bytes = ReadFile(TempDir() / "plate_ZORMA_GEOMCALC.log");
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
        const std::wstring text = zhost::fromUtf8(bytes.substr(3));
        std::map<std::wstring, std::vector<double>> out;
        std::wstring prefix = L"1:";
        size_t pos = 0;
        while (pos < text.size()) {
            size_t nl = text.find(L'\n', pos + 1);
            std::wstring line = text.substr(pos + 1, nl == std::wstring::npos ? nl : nl - pos - 1);
            if (line == L"<<中抜き付加情報>>")
                prefix = L"2:";
            const std::wstring item = line.substr(0, line.find(L'\t'));
            if (!item.empty())
                out[prefix + item] = Numbers(line);
            if (nl == std::wstring::npos)
                break;
            pos = nl;
        }
        return out;
    }

    void ExpectRecord(const std::map<std::wstring, std::vector<double>>& log, const wchar_t* rec,
                      const ShapeMoments& m, double perimeter, double refX, double refY,
                      double sg) {
        auto get = [&](const std::wstring& item) {
            auto it = log.find(rec + item);
            return it == log.end() ? std::vector<double>() : it->second;
        };
        const std::wstring centroid =
            std::wstring(rec) == L"1:" ? L"重心位置(赤色点)" : L"重心位置(緑色点)";
        ASSERT_EQ(get(L"面積").size(), 1u) << "no area row";
        ExpectRel(get(L"面積")[0], m.a, "area");
        ExpectRel(get(L"周長")[0], perimeter, "perimeter");
        ASSERT_EQ(get(centroid).size(), 2u);
        ExpectRel(get(centroid)[0], m.cx(), "cx");
        ExpectRel(get(centroid)[1], m.cy(), "cy");
        ExpectRel(get(L"重心位置(指示点基準)")[0], m.cx() - refX, "rel x");
        ExpectRel(get(L"重心位置(指示点基準)")[1], m.cy() - refY, "rel y");
        ASSERT_EQ(get(L"断面2次モーメント(重心基準)").size(), 2u);
        ExpectRel(get(L"断面2次モーメント(重心基準)")[0], m.IxCentroid(), "Ix");
        ExpectRel(get(L"断面2次モーメント(重心基準)")[1], m.IyCentroid(), "Iy");
        ExpectRel(get(L"断面2次モーメント(指示点基準)")[0], m.IxAbout(refY), "Ix ref");
        ExpectRel(get(L"断面2次モーメント(指示点基準)")[1], m.IyAbout(refX), "Iy ref");
        // Axis: the world X axis.
        const double volume = 2 * kPi * m.cy() * m.a;
        ExpectRel(get(L"回転体体積")[0], volume, "volume");
        ExpectRel(get(L"回転体重さ")[0], volume * sg / 1000, "weight");
    }

    size_t Count(const wchar_t* text) const {
        size_t n = 0;
        for (size_t p = Transcript().find(text); p != std::wstring::npos;
             p = Transcript().find(text, p + 1))
            ++n;
        return n;
    }
};

TEST_F(GeomCalcCommand, PointInsidePlateWithHoleMatchesClosedForms) {
    DrawPlateWithHole();
    const size_t before = EntityCount();
    Run({L"70,30", L"Y", L"40,50", L"N", L"5,-3", L"0,0", L"100,0", L"7.85", L"@dialog click 142",
         L"@dialog click 2", L""});
    const auto log = ReadLog();
    const ShapeMoments plate = RoundedRectMoments(10, 20, 110, 80, 8);
    ExpectRecord(log, L"1:", plate, PlatePerimeter(), 5, -3, 7.85);
    ExpectRecord(log, L"2:", plate - DiscMoments(40, 50, 12), PlatePerimeter() + 24 * kPi, 5, -3,
                 7.85);
    // Only the red and the green centroid points stay.
    EXPECT_EQ(EntityCount(), before + 2);
    const auto points = EntitiesOf<db::Point>();
    ASSERT_EQ(points.size(), 2u);
    db::ObjectPtr<db::Point> red(points[0], db::OpenMode::forRead);
    EXPECT_EQ(red->colorIndex(), 1);
    red.close();
    db::ObjectPtr<db::Point> green(points[1], db::OpenMode::forRead);
    EXPECT_EQ(green->colorIndex(), 3);
    int pdmode = 0;
    zhost::ed::getVarInt(L"PDMODE", pdmode);
    EXPECT_EQ(pdmode, 0);
}

TEST_F(GeomCalcCommand, TraceFromElementGivesTheSameRecords) {
    DrawPlateWithHole();
    const size_t before = EntityCount();
    // Start on the left edge, head up; the hole circle touches nothing and is taken whole.
    Run({L"10,50", L"10,60", L"Y", L"40,62", L"N", L"5,-3", L"0,0", L"100,0", L"7.85",
         L"@dialog click 142", L"@dialog click 2", L""});
    const auto log = ReadLog();
    const ShapeMoments plate = RoundedRectMoments(10, 20, 110, 80, 8);
    ExpectRecord(log, L"1:", plate, PlatePerimeter(), 5, -3, 7.85);
    ExpectRecord(log, L"2:", plate - DiscMoments(40, 50, 12), PlatePerimeter() + 24 * kPi, 5, -3,
                 7.85);
    EXPECT_EQ(EntityCount(), before + 2);
    EXPECT_TRUE(EntitiesOf<db::Hatch>().empty());
}

TEST_F(GeomCalcCommand, HoleWithIslandInOneGroupVersusTwo) {
    DrawPlateWithHole();
    AddCircle(80, 50, 15);
    AddCircle(80, 50, 5);
    const ShapeMoments plate = RoundedRectMoments(10, 20, 110, 80, 8);
    Run({L"70,30", L"Y", L"80,60", L"Y", L"80,50", L"N", L"0,0", L"0,0", L"1,0", L"",
         L"@dialog click 142", L"@dialog click 2", L""});
    auto log = ReadLog();
    ExpectRel(log[L"2:面積"].at(0), (plate - DiscMoments(80, 50, 15) + DiscMoments(80, 50, 5)).a,
              "one group");
    Run({L"70,30", L"Y", L"80,60", L"A", L"80,50", L"N", L"0,0", L"0,0", L"1,0", L"",
         L"@dialog click 142", L"@dialog click 2", L""});
    log = ReadLog();
    ExpectRel(log[L"2:面積"].at(0), (plate - DiscMoments(80, 50, 15)).a, "two groups");
}

TEST_F(GeomCalcCommand, SpecificGravityRange) {
    DrawPlateWithHole();
    Run({L"70,30", L"N", L"0,0", L"0,0", L"1,0", L"100", L"0", L"-1", L"abc", L"0.01",
         L"@dialog click 142", L"@dialog click 2", L""});
    EXPECT_EQ(Count(L"\n0.01以上100未満の範囲で入力してください"), 1u);
    EXPECT_EQ(Count(L"\n正の数値を入力してください"), 2u);
    const auto log = ReadLog();
    ExpectRel(log.at(L"1:回転体重さ")[0], log.at(L"1:回転体体積")[0] * 0.01 / 1000, "weight");
    // Stored with "%f" and offered next time.
    CUserStore store;
    std::wstring stored;
    ASSERT_TRUE(store.SelectSection(L"ZORMA_GEOMALC"));
    ASSERT_TRUE(store.GetString(L"specificGravity", stored));
    EXPECT_EQ(stored, L"0.010000");
    ClearTranscript();
    Run({L"70,30", L"N", L"0,0", L"0,0", L"1,0", L"^C"});
    EXPECT_NE(Transcript().find(L"比重(g/cm3)を入力して下さい [設定(G)] <0.01>:"),
              std::wstring::npos);
}

TEST_F(GeomCalcCommand, MaskZeroAsksNothingAndReportsHeadings) {
    DrawPlateWithHole();
    {
        CUserStore store;
        store.SelectSection(L"ZORMA_GEOMALC");
        store.SetInt(L"TAB", 0);
    }
    Run({L"70,30", L"Y", L"40,50", L"N", L"@dialog click 142", L"@dialog click 2", L""});
    EXPECT_EQ(Transcript().find(L"モーメント 計算中心点"), std::wstring::npos);
    const std::string log = ReadFile(TempDir() / "plate_ZORMA_GEOMCALC.log");
    EXPECT_EQ(log, "\xEF\xBB\xBF\n<<中抜きなし情報>>\n\n\n<<中抜き付加情報>>\n");
}

TEST_F(GeomCalcCommand, InvalidPointAsksAgain) {
    // Three sides only: no closed area around the point.
    AddLine(0, 0, 10, 0);
    AddLine(10, 0, 10, 10);
    AddLine(10, 10, 0, 10);
    const size_t before = EntityCount();
    Run({L"5,5", L""});
    EXPECT_EQ(Count(L"\nERROR : 選択点は無効です。"), 1u);
    EXPECT_EQ(Count(L"閉領域内の点または要素上の開始点"), 2u);
    EXPECT_EQ(EntityCount(), before);
}

TEST_F(GeomCalcCommand, CancelAtEveryPromptLeavesNoTemporaryEntity) {
    DrawPlateWithHole();
    const size_t before = EntityCount();
    const std::vector<std::vector<std::wstring>> runs = {
        {L"^C"},
        {L"70,30", L"^C"},
        {L"70,30", L"Y", L"^C", L"^C"},
        {L"70,30", L"Y", L"40,50", L"^C"},
        {L"70,30", L"N", L"^C"},
        {L"70,30", L"N", L"0,0", L"^C"},
        {L"70,30", L"N", L"0,0", L"0,0", L"^C"},
        {L"70,30", L"N", L"0,0", L"0,0", L"1,0", L"^C"},
        {L"10,50", L"^C"},
        {L"10,50", L"10,60", L"N", L"^C"},
        {L"70,30", L"N", L"0,0", L"L", L"^C"},
    };
    for (const auto& answers : runs) {
        GeomCalcMemory().axisByLine = false;
        Run(answers);
        EXPECT_EQ(EntityCount(), before)
            << zhost::toUtf8(answers.back()) << " after " << answers.size() << " answers";
        EXPECT_TRUE(EntitiesOf<db::Region>().empty());
        EXPECT_TRUE(EntitiesOf<db::Hatch>().empty());
    }
    // Cancelling the table's base point ends the command; the points stay.
    ClearTranscript();
    GeomCalcMemory().axisByLine = false;
    Run({L"70,30", L"N", L"0,0", L"0,0", L"1,0", L"", L"@dialog click 1", L"^C"});
    EXPECT_EQ(EntityCount(), before + 1) << zhost::toUtf8(Transcript());
}

TEST_F(GeomCalcCommand, AxisModeIsRememberedAcrossRuns) {
    DrawPlateWithHole();
    const db::ObjectId axis = AddLine(0, -10, 100, -10);
    (void)axis;
    Run({L"70,30", L"N", L"0,0", L"L", L"40,62", L"50,-10", L"", L"@dialog click 142",
         L"@dialog click 2", L""});
    EXPECT_EQ(Count(L"直線を選択してください"), 1u);
    EXPECT_TRUE(GeomCalcMemory().axisByLine);
    const ShapeMoments plate = RoundedRectMoments(10, 20, 110, 80, 8);
    ExpectRel(ReadLog().at(L"1:回転体体積")[0], 2 * kPi * (plate.cy() + 10) * plate.a, "volume");
    ClearTranscript();
    Run({L"70,30", L"N", L"0,0", L"^C"});
    EXPECT_NE(Transcript().find(L"回転軸直線を指示して下さい[回転軸始点(P)/設定(G)]:"),
              std::wstring::npos);
}

TEST_F(GeomCalcCommand, PastedTableFollowsCornerAndTitleBlockScale) {
    DrawPlateWithHole();
    WriteIni("Zorma_Zuwaku.ini", "[TitleBlock]\r\nItemCount=1\r\n0_block=FRAME*\r\n");
    db::ObjectId frame;
    Db().addBlock(L"FRAME_A3", frame);
    for (double s : {2.0, 5.0}) {
        auto ref = std::make_unique<db::BlockReference>(zhost::geom::Point3d(), frame);
        ref->setScaleFactors({s, s, s});
        Add(std::move(ref));
    }
    // Only perimeter and area: a table of 1 + 1 + 2 rows.
    {
        CUserStore store;
        store.SelectSection(L"ZORMA_GEOMALC");
        store.SetInt(L"TAB", 0b110);
    }
    Run({L"70,30", L"N", L"@dialog click 1", L"B", L"D", L"500,400", L""});
    EXPECT_NE(Transcript().find(L"[左下(A)/左上(B)/右下(C)/右上*(D)]:"), std::wstring::npos);
    const auto lines = EntitiesOf<db::Line>();
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    int tableLines = 0;
    for (db::ObjectId id : lines) {
        db::ObjectPtr<db::Line> l(id, db::OpenMode::forRead);
        if (l->startPoint().x < 150)
            continue; // the plate's own edges
        ++tableLines;
        for (auto p : {l->startPoint(), l->endPoint()}) {
            minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        }
    }
    // Scale 2 from the earlier title block: 2 x 110 wide, 4 rows of 2 x 10.
    EXPECT_EQ(tableLines, 3 + 5);
    EXPECT_DOUBLE_EQ(maxX, 500);
    EXPECT_DOUBLE_EQ(maxY, 400);
    EXPECT_DOUBLE_EQ(minX, 500 - 220);
    EXPECT_DOUBLE_EQ(minY, 400 - 80);
    const auto texts = EntitiesOf<db::MText>();
    ASSERT_EQ(texts.size(), 8u);
    db::ObjectPtr<db::MText> t(texts[0], db::OpenMode::forRead);
    EXPECT_DOUBLE_EQ(t->textHeight(), 5);
}

TEST_F(GeomCalcCommand, SettingsDialogFromThePrompt) {
    DrawPlateWithHole();
    // Volume off takes weight with it; only the area stays with the centroid.
    Run({L"G", L"@dialog uncheck 112", L"@dialog uncheck 113", L"@dialog uncheck 118",
         L"@dialog uncheck 111", L"@dialog uncheck 116", L"@dialog uncheck 114",
         L"@dialog uncheck 117", L"@dialog uncheck 115", L"@dialog click 1", L"70,30", L"N",
         L"@dialog click 142", L"@dialog click 2", L""});
    EXPECT_EQ(GeomCalcMemory().items.ToMask(), (1 << 2) | (1 << 5));
    const auto log = ReadLog();
    EXPECT_EQ(log.size(), 3u); // the heading, the area and the centroid
    CUserStore store;
    int mask = -1;
    store.SelectSection(L"ZORMA_GEOMALC");
    ASSERT_TRUE(store.GetInt(L"TAB", mask));
    EXPECT_EQ(mask, (1 << 2) | (1 << 5));
}

class GeomCalcTrace : public GeomCalcCommand {
protected:
    // Three sides of a 100 x 50 rectangle and a line crossing its top and bottom at x = 50.
    void DrawCrossing() {
        AddLine(0, 0, 100, 0);
        AddLine(100, 0, 100, 50);
        AddLine(100, 50, 0, 50);
        AddLine(50, -20, 50, 70);
        CUserStore store;
        store.SelectSection(L"ZORMA_GEOMALC");
        store.SetInt(L"TAB", 1 << 2); // area only
    }
};

TEST_F(GeomCalcTrace, CrossingAsksAndAClosesWithChord) {
    DrawCrossing();
    const size_t before = EntityCount();
    // Along the bottom to the right, up, left along the top to the crossing line (asked), down
    // it to the bottom (asked again), where A ends the trace.
    Run({L"70,0", L"80,0", L"100,25", L"50,10", L"A", L"N", L"@dialog click 142",
         L"@dialog click 2", L""});
    EXPECT_EQ(Count(L"対象要素を指示して下さい [終了(A)/ /設定(G)]:"), 3u);
    EXPECT_EQ(Count(L"\nERROR : 要素が検出されませんでした。"), 1u);
    ExpectRel(ReadLog().at(L"1:面積")[0], 2500, "area closed by the chord");
    EXPECT_EQ(EntityCount(), before + 1);
    EXPECT_TRUE(EntitiesOf<db::Hatch>().empty());
}

TEST_F(GeomCalcTrace, ContinuingAlongAnElementStopsWhereTheTraceBegan) {
    DrawCrossing();
    Run({L"70,0", L"80,0", L"50,10", L"60,0", L"N", L"@dialog click 142", L"@dialog click 2", L""});
    ExpectRel(ReadLog().at(L"1:面積")[0], 2500, "area");
}

TEST_F(GeomCalcTrace, EscAtJunctionLeavesNothing) {
    DrawCrossing();
    const size_t before = EntityCount();
    Run({L"70,0", L"80,0", L"^C"});
    EXPECT_EQ(EntityCount(), before);
}

TEST_F(GeomCalcTrace, FreeEndIsClosedWithChord) {
    // An arc whose ends nothing meets: the chord closes it into a half disc.
    AddArc(0, 0, 10, 0, 180);
    {
        CUserStore store;
        store.SelectSection(L"ZORMA_GEOMALC");
        store.SetInt(L"TAB", 1 << 2);
    }
    Run({L"10,0", L"7.0710678118654755,7.0710678118654755", L"N", L"@dialog click 142",
         L"@dialog click 2", L""});
    ExpectRel(ReadLog().at(L"1:面積")[0], kPi * 50, "half disc");
}

} // namespace
