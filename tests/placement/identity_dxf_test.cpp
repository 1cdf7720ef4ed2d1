// Identity data through saved drawings: a part written here, saved, opened and saved again by
// the zorma program, read back by our reader and by ezdxf, and recognised again with the same
// values; and a drawing of the earlier symbol library, made by ezdxf, recognised through the
// sample product's catalogue.
#include "../attributes/AtrTestUtil.h"
#include "PlacementTestUtil.h"
#include "attributes/AttributeValues.h"
#include "placement/PartRecognition.h"
#include "placement/PartRecord.h"

#include "support/ezdxf.h"
#include "support/status.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/dxf/dxf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numbers>
#include <sstream>

namespace db = zhost::db;
namespace dxf = zhost::dxf;
namespace fs = std::filesystem;
namespace geom = zhost::geom;

namespace {

// What a placed part carries besides its geometry.
struct PlacedPart {
    db::XData record;
    CAtrArray attributes = MakeBuiltinAtrList();
};

PartDescription ChosenBolt() {
    PartDescription d = placetest::SampleBolt();
    d.Find(L"Edit1")->m_value = L"呼び 😀 ∮"; // outside code page 932 in part
    return d;
}

CAtrArray ChosenAttributes() {
    CAtrArray items = MakeBuiltinAtrList();
    items[0].m_value = L"六角ボルト";
    items[3].m_value = std::wstring(255, L'規');
    items[6].m_value = L"鋼,8.8";
    items[11].m_value = L"🔩 \u00e9\u0416 \\U+0041";
    return items;
}

// The model-space references of a drawing, in order.
std::vector<db::ObjectId> References(const db::Database& d) {
    std::vector<db::ObjectId> out;
    db::ObjectPtr<db::BlockTableRecord> ms(d.modelSpaceId(), db::OpenMode::forRead);
    for (db::ObjectId id : ms->entityIds()) {
        db::ObjectPtr<db::BlockReference> ref(id, db::OpenMode::forRead);
        if (ref)
            out.push_back(id);
    }
    return out;
}

// The ezdxf view of the model-space inserts ("insert", "xdata APP CODE VALUE", "attrib TAG V").
std::vector<std::string> EzdxfDump(const fs::path& file) {
    const ztest::ProcessResult r =
        ztest::RunPython("tests/placement/identity_dxf.py", {"dump", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Escaped(const std::wstring& text) {
    std::string out;
    for (char c : zhost::toUtf8(text)) {
        if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

// The lines the dump shows for a part with this record and these attributes.
std::vector<std::string> ExpectedDump(const std::wstring& blockName, const db::XData& record,
                                      const CAtrArray& attributes) {
    std::vector<std::string> lines{"insert " + Escaped(blockName)};
    for (size_t i = 1; i < record.size(); ++i) {
        const db::ResBuf& rb = record[i];
        lines.push_back(
            "xdata ZORMA_PARTS_CONTENTS " + std::to_string(rb.code) + " " +
            (rb.code == db::xcode::string ? Escaped(rb.str()) : std::to_string(rb.integer())));
    }
    for (const CAtr& a : attributes)
        lines.push_back("attrib " + Escaped(a.m_tag) + " " + Escaped(a.m_value));
    return lines;
}

class IdentityDxfTest : public ztest::TempFolderTest {
protected:
    // A placed part as the placement run leaves it: a static block with the attribute
    // definitions, a reference turned by 30 degrees with the record and the attributes.
    fs::path SavePlacedPart(const dxf::WriteOptions& options = {}) {
        db::Database d;
        db::ObjectId block, ref;
        EXPECT_OK(d.addBlock(L"B1180_Partial_1", block));
        EXPECT_OK(d.appendEntity(
            block, std::make_unique<db::Line>(geom::Point3d(0, 0, 0), geom::Point3d(40, 0, 0)),
            ref));
        EXPECT_TRUE(AddAttributeDefinitions(block, ChosenAttributes()));
        auto insert = std::make_unique<db::BlockReference>(geom::Point3d(50, 30, 0), block);
        insert->setRotation(std::numbers::pi / 6);
        EXPECT_OK(d.appendToModelSpace(std::move(insert), ref));
        {
            db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forWrite);
            EXPECT_TRUE(WritePartRecord(ChosenBolt(), *r));
            EXPECT_EQ(WriteAttributeValues(*r, ChosenAttributes()), 20);
        }
        const fs::path file = Dir() / "placed.dxf";
        EXPECT_OK(dxf::writeDxf(d, file, options));
        return file;
    }

    // Reads the saved part back with our reader: the values it gives a fresh description, and
    // how it is recognised.
    void ExpectSameValuesAndRecognition(const fs::path& file) {
        db::Database back;
        dxf::ReadReport report;
        ASSERT_OK(dxf::readDxf(file, back, report));
        const auto refs = References(back);
        ASSERT_EQ(refs.size(), 1u);
        PartDescription read = placetest::SampleBolt();
        for (CParam& p : read.m_params)
            p.m_value = L"?";
        read.m_atrList = MakeBuiltinAtrList();
        ASSERT_TRUE(ReadBackPart(read, refs[0]));
        auto expected = placetest::Values(ChosenBolt());
        expected[0].second = L"?"; // the heading is not recorded
        expected[5].second = L"0"; // Radio "x" was recorded as 0
        EXPECT_EQ(placetest::Values(read), expected);
        EXPECT_EQ(read.m_atrList, ChosenAttributes());

        std::wstring name;
        PartOrigin origin = PartOrigin::None;
        int drawing = 0;
        EXPECT_TRUE(RecognizePartWithCatalogue(refs[0], L"", name, origin, drawing));
        EXPECT_EQ(name, L"B1180_Partial");
        EXPECT_EQ(origin, PartOrigin::PartsContents);
    }
};

} // namespace

TEST_F(IdentityDxfTest, PartSurvivesTheProgramsOwnOpenAndSave) {
    const fs::path placed = SavePlacedPart();
    const ztest::ZormaResult r = ztest::RunZorma({.drawing = placed, .script = ""}, Dir());
    ASSERT_EQ(r.exitCode, 0) << r;
    ExpectSameValuesAndRecognition(r.saved);

    SKIP_WITHOUT_EZDXF();
    EXPECT_TRUE(ztest::PassesEzdxfAudit(r.saved));
    EXPECT_EQ(EzdxfDump(r.saved),
              ExpectedDump(L"B1180_Partial_1", MakePartRecord(ChosenBolt()), ChosenAttributes()));
}

TEST_F(IdentityDxfTest, PartSurvivesR2000) {
    const fs::path placed = SavePlacedPart({dxf::Version::r2000, 932});
    ExpectSameValuesAndRecognition(placed);
    EXPECT_NE(ztest::ReadFile(placed).find("\\U+D83D\\U+DE00"), std::string::npos);
    SKIP_WITHOUT_EZDXF();
    EXPECT_TRUE(ztest::PassesEzdxfAudit(placed));
    EXPECT_EQ(EzdxfDump(placed),
              ExpectedDump(L"B1180_Partial_1", MakePartRecord(ChosenBolt()), ChosenAttributes()));
}

TEST_F(IdentityDxfTest, EarlierLibrarysDrawingThroughTheSampleCatalogue) {
    SKIP_WITHOUT_EZDXF();
    const fs::path legacy = Dir() / "legacy.dxf";
    const ztest::ProcessResult made =
        ztest::RunPython("tests/placement/identity_dxf.py", {"legacy", legacy.string()});
    ASSERT_EQ(made.exitCode, 0) << made;
    db::Database d;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(legacy, d, report));
    const auto refs = References(d);
    ASSERT_EQ(refs.size(), 3u);
    const std::wstring catalogue =
        ztest::SourcePath("samples/product/PartsData/PartsContentsK.txt").wstring();
    std::wstring name;
    PartOrigin origin = PartOrigin::None;
    int drawing = 0;

    EXPECT_TRUE(RecognizePartWithCatalogue(refs[0], catalogue, name, origin, drawing));
    EXPECT_EQ(name, L"B1181_HexNut");
    EXPECT_EQ(origin, PartOrigin::Legacy);
    EXPECT_EQ(drawing, 1);
    CAtrArray items = MakeBuiltinAtrList();
    {
        db::ObjectPtr<db::BlockReference> ref(refs[0], db::OpenMode::forRead);
        ReadAttributeValues(items, *ref);
    }
    EXPECT_EQ(items[0].m_value, L"六角ナット");
    EXPECT_EQ(items[6].m_value, L"SS400");

    EXPECT_TRUE(RecognizePartWithCatalogue(refs[1], catalogue, name, origin, drawing));
    EXPECT_EQ(name, L"B1180_Full");
    EXPECT_EQ(origin, PartOrigin::NumberedCopy);
    EXPECT_EQ(drawing, 2);

    EXPECT_FALSE(RecognizePartWithCatalogue(refs[2], catalogue, name, origin, drawing));
    EXPECT_EQ(origin, PartOrigin::None);
}
