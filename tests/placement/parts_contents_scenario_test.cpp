// ZORMA_CONT and ZORMA_CONT_EDIT through the zorma program, grouped by the road a run takes:
// the library missing, the edited part picked or not, its description missing. After every run
// the saved drawing holds nothing the run created and left unused.
#include "support/drawing.h"
#include "support/status.h"
#include "support/zorma_run.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/db/xdata.h"
#include "zhost/dxf/dxf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace db = zhost::db;
namespace fs = std::filesystem;
namespace geom = zhost::geom;
using ::testing::Not;
using namespace ztest;

namespace {

// Names of a drawing's block definitions and layers.
struct TableNames {
    std::set<std::wstring> blocks, layers;
    bool operator==(const TableNames&) const = default;
};

TableNames NamesOf(const fs::path& drawing) {
    TableNames names;
    db::Database d;
    EXPECT_TRUE(ReadDrawing(drawing, d));
    db::ObjectPtr<db::BlockTable> blocks(d.blockTableId(), db::OpenMode::forRead);
    for (db::ObjectId id : blocks->recordIds()) {
        db::ObjectPtr<db::BlockTableRecord> r(id, db::OpenMode::forRead);
        names.blocks.insert(r->name());
    }
    db::ObjectPtr<db::LayerTable> layers(d.layerTableId(), db::OpenMode::forRead);
    for (db::ObjectId id : layers->recordIds()) {
        db::ObjectPtr<db::LayerTableRecord> r(id, db::OpenMode::forRead);
        names.layers.insert(r->name());
    }
    return names;
}

void PrintTo(const TableNames& n, std::ostream* os) {
    *os << "blocks:";
    for (const auto& b : n.blocks)
        *os << " " << zhost::toUtf8(b);
    *os << "; layers:";
    for (const auto& l : n.layers)
        *os << " " << zhost::toUtf8(l);
}

// A drawing to pick from: a line at (0..10, 0); a reference of the earlier symbol library whose
// code names no standard this product knows, at (50, 0); a part with the record of a part the
// library does not have, at (100, 0); a numbered copy of a block the drawing lacks, at (150, 0).
fs::path EditDrawing(const fs::path& folder) {
    db::Database d;
    db::ObjectId id;
    EXPECT_OK(d.appendToModelSpace(
        std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(10, 0)), id));
    for (const wchar_t* app : {L"MRCD_PART", L"SymbolBlock", L"ZORMA_PARTS_CONTENTS"})
        EXPECT_OK(d.registerApp(app));

    db::ObjectId legacy;
    EXPECT_OK(d.addBlock(L"OLD_SYMBOL", legacy));
    EXPECT_OK(d.appendEntity(
        legacy, std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(10, 0)), id));
    {
        db::ObjectPtr<db::BlockTableRecord> b(legacy, db::OpenMode::forWrite);
        EXPECT_OK(b->setXData({db::xApp(L"SymbolBlock"), db::xString(L"B9999_1_01")}));
    }
    auto oldRef = std::make_unique<db::BlockReference>(geom::Point3d(50, 0), legacy);
    EXPECT_OK(oldRef->setXData({db::xApp(L"MRCD_PART"), db::xString(L"x")}));
    EXPECT_OK(d.appendToModelSpace(std::move(oldRef), id));

    db::ObjectId unknown;
    EXPECT_OK(d.addBlock(L"B9999_Nothing_1", unknown));
    EXPECT_OK(d.appendEntity(
        unknown, std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(10, 0)), id));
    auto part = std::make_unique<db::BlockReference>(geom::Point3d(100, 0), unknown);
    EXPECT_OK(part->setXData({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"B9999_Nothing"),
                              db::xString(L"List1"), db::xString(L"M10")}));
    EXPECT_OK(d.appendToModelSpace(std::move(part), id));

    // A numbered copy whose base block the drawing lacks, at (150, 0).
    db::ObjectId copy;
    EXPECT_OK(d.addBlock(L"NOPART_A1", copy));
    EXPECT_OK(d.appendEntity(
        copy, std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(10, 0)), id));
    EXPECT_OK(d.appendToModelSpace(
        std::make_unique<db::BlockReference>(geom::Point3d(150, 0), copy), id));

    const fs::path path = folder / "edit.dxf";
    EXPECT_OK(zhost::dxf::writeDxf(d, path));
    return path;
}

class PartsContentsScenario : public ScenarioTest {
protected:
    ZormaResult RunOn(const fs::path& drawing, std::string script) {
        ZormaResult r = Run({.drawing = drawing, .script = std::move(script)});
        EXPECT_THAT(r, ExitsWith(0));
        return r;
    }
};

constexpr const char* kPickPrompt = "配置済みの部品コンテンツを選択:";
constexpr const char* kNotAPart = "部品コンテンツで配置した部品ではありません。";
constexpr const char* kNotProvided = "対応する部品が未提供のため、編集できません。";

} // namespace

// --- No library ----------------------------------------------------------------------------

TEST_F(PartsContentsScenario, MissingLibraryIsReportedInBothModes) {
    const fs::path empty = Dir() / "no-product";
    fs::create_directories(empty / "config");
    const ZormaResult r = Run({.script = "ZORMA_CONT\nZORMA_CONT_EDIT\n", .product = empty});
    EXPECT_THAT(r, ExitsWith(0));
    EXPECT_THAT(r, PrintsTimes("not found [PartsContentsK.txt].", 2));
    EXPECT_THAT(r, Not(Prints(kPickPrompt)));
}

// --- Edit: picking -------------------------------------------------------------------------

TEST_F(PartsContentsScenario, PickingANonPartKeepsAskingAndEnterEndsSilently) {
    const fs::path drawing = EditDrawing(Dir());
    // The line, a miss, the line again, then Enter.
    const ZormaResult r = RunOn(drawing, "ZORMA_CONT_EDIT\n5,0\n500,500\n5,0\n\n");
    EXPECT_THAT(r, PrintsTimes(kPickPrompt, 4));
    EXPECT_THAT(r, PrintsTimes(kNotAPart, 2));
    EXPECT_THAT(r, Not(Prints(kNotProvided)));
    EXPECT_EQ(NamesOf(r.saved), NamesOf(drawing));
}

TEST_F(PartsContentsScenario, EnterAfterAnUnprovidedLegacyPartSaysSo) {
    const fs::path drawing = EditDrawing(Dir());
    const ZormaResult r = RunOn(drawing, "ZORMA_CONT_EDIT\n55,0\n\n");
    EXPECT_THAT(r, PrintsTimes(kNotAPart, 1));
    EXPECT_THAT(r, PrintsTimes(kNotProvided, 1));
    // A legacy part before a plain line: the last one tried decides.
    const ZormaResult r2 = RunOn(drawing, "ZORMA_CONT_EDIT\n55,0\n5,0\n\n");
    EXPECT_THAT(r2, Not(Prints(kNotProvided)));
    EXPECT_EQ(NamesOf(r.saved), NamesOf(drawing));
}

TEST_F(PartsContentsScenario, EnterAfterANumberedCopyWithoutItsPartSaysSo) {
    const fs::path drawing = EditDrawing(Dir());
    const ZormaResult r = RunOn(drawing, "ZORMA_CONT_EDIT\n155,0\n\n");
    EXPECT_THAT(r, PrintsTimes(kNotAPart, 1));
    EXPECT_THAT(r, PrintsTimes(kNotProvided, 1));
}

TEST_F(PartsContentsScenario, APartWithoutDescriptionIsReportedAndLeftAsItWas) {
    const fs::path drawing = EditDrawing(Dir());
    const ZormaResult picked = RunOn(drawing, "ZORMA_CONT_EDIT\n105,0\n");
    EXPECT_THAT(picked, Prints("設定ファイル[B9999_Nothing]の読み込みに失敗しました。"));
    EXPECT_EQ(NamesOf(picked.saved), NamesOf(drawing));
    // Selected before the command: taken without asking.
    const ZormaResult implied = RunOn(drawing, "@pick 105,0\nZORMA_CONT_EDIT\n");
    EXPECT_THAT(implied, Not(Prints(kPickPrompt)));
    EXPECT_THAT(implied, Prints("設定ファイル[B9999_Nothing]の読み込みに失敗しました。"));
}

// --- New: choosing the part ----------------------------------------------------------------

TEST_F(PartsContentsScenario, ShiftOpensTheTextCatalogueAndCancelChangesNothing) {
    const fs::path drawing = EditDrawing(Dir());
    const ZormaResult r =
        RunOn(drawing, "ZORMA_CONT\n^C\n@shift on\nZORMA_CONT\n@shift off\n^C\nZORMA_CONT\n^C\n");
    EXPECT_THAT(r, PrintsTimes("(dialog 1101)", 2)); // the picture catalogue
    EXPECT_THAT(r, PrintsTimes("(dialog 222)", 1));  // the text catalogue
    EXPECT_EQ(NamesOf(r.saved), NamesOf(drawing));
}

TEST_F(PartsContentsScenario, ADamagedRecordOfAKnownPartStillOpensItsConditions) {
    // A bolt's record cut short and with items out of place.
    db::Database d;
    db::ObjectId block, id;
    EXPECT_OK(d.registerApp(L"ZORMA_PARTS_CONTENTS"));
    EXPECT_OK(d.addBlock(L"B1180_Partial_1_1", block));
    EXPECT_OK(d.appendEntity(
        block, std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(40, 0)), id));
    auto part = std::make_unique<db::BlockReference>(geom::Point3d(0, 0), block);
    EXPECT_OK(part->setXData({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"B1180_Partial"),
                              db::xInt16(7), db::xString(L"NoSuchControl"), db::xInt16(3),
                              db::xString(L"List1")}));
    EXPECT_OK(d.appendToModelSpace(std::move(part), id));
    const fs::path drawing = Dir() / "damaged.dxf";
    EXPECT_OK(zhost::dxf::writeDxf(d, drawing));

    const ZormaResult r = RunOn(drawing, "ZORMA_CONT_EDIT\n20,0\n^C\n");
    EXPECT_THAT(r, Prints("六角ボルト 部分ねじ: Cancel"));
    EXPECT_EQ(NamesOf(r.saved), NamesOf(drawing));
}
