// Recognising placed parts: by their record, as numbered copies, and as parts of the earlier
// symbol library through the sample product's catalogue.
#include "PlacementTestUtil.h"
#include "placement/PartRecognition.h"
#include "placement/PartRecord.h"

#include "support/status.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/output.h"
#include "zhost/settings/registry.h"

#include <gtest/gtest.h>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

struct Recognised {
    bool ok = false;
    std::wstring name;
    PartOrigin origin = PartOrigin::None;
    int drawing = 0;
};

class RecognitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_OK(m_db.registerApp(kSymbolBlockApp));
        ASSERT_OK(m_db.registerApp(kLegacyPartApp));
    }

    // A block definition, with the symbol code of the earlier library when one is given.
    db::ObjectId Block(const wchar_t* name, const wchar_t* code = nullptr) {
        db::ObjectId id;
        EXPECT_OK(m_db.addBlock(name, id));
        if (code != nullptr) {
            db::ObjectPtr<db::BlockTableRecord> block(id, db::OpenMode::forWrite);
            EXPECT_OK(block->setXData({db::xApp(kSymbolBlockApp), db::xString(code),
                                       db::xString(L"more data"), db::xInt16(3)}));
        }
        return id;
    }
    db::ObjectId Reference(db::ObjectId block, bool legacyMark = false) {
        auto ref = std::make_unique<db::BlockReference>(geom::Point3d(0, 0, 0), block);
        if (legacyMark) {
            EXPECT_OK(ref->setXData({db::xApp(kLegacyPartApp), db::xString(L"whatever")}));
        }
        db::ObjectId id;
        EXPECT_OK(m_db.appendToModelSpace(std::move(ref), id));
        return id;
    }
    void Record(db::ObjectId refId, const db::XData& record) {
        ASSERT_OK(m_db.registerApp(kPartRecordApp));
        db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forWrite);
        ASSERT_OK(ref->setXData(record));
    }
    Recognised Recognise(db::ObjectId id) {
        Recognised r;
        r.ok = RecognizePartWithCatalogue(id, m_catalogue, r.name, r.origin, r.drawing);
        return r;
    }

    db::Database m_db;
    std::wstring m_catalogue =
        ztest::SourcePath("samples/product/PartsData/PartsContentsK.txt").wstring();
};

} // namespace

TEST(NumberedEndings, UnderscoreAThenADigit) {
    EXPECT_TRUE(IsNumberedEnding(L"BOLT_A1"));
    EXPECT_TRUE(IsNumberedEnding(L"BOLT_a12x"));
    EXPECT_TRUE(IsNumberedEnding(L"_A0"));
    EXPECT_FALSE(IsNumberedEnding(L"BOLT_A"));
    EXPECT_FALSE(IsNumberedEnding(L"BOLT_B1"));
    EXPECT_FALSE(IsNumberedEnding(L"BOLT_AX1"));
    EXPECT_FALSE(IsNumberedEnding(L"BOLTA1"));
    EXPECT_FALSE(IsNumberedEnding(L"BOLT_A1_M10")); // only the last ending counts
    EXPECT_FALSE(IsNumberedEnding(L""));
    bool stripped = false;
    EXPECT_EQ(StripNumberedEndings(L"B1180_1_A1_A23", stripped), L"B1180_1");
    EXPECT_TRUE(stripped);
    EXPECT_EQ(StripNumberedEndings(L"B1180_1", stripped), L"B1180_1");
    EXPECT_FALSE(stripped);
    EXPECT_EQ(StripNumberedEndings(L"_A1", stripped), L"");
    EXPECT_TRUE(stripped);
}

TEST_F(RecognitionTest, RecordNamesThePartEvenWithoutALibraryEntry) {
    const db::ObjectId ref = Reference(Block(L"NOT_IN_LIBRARY_1"));
    PartDescription d = placetest::SampleBolt();
    d.m_fileName = L"X9999_Unknown";
    Record(ref, MakePartRecord(d));
    const Recognised r = Recognise(ref);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.name, L"X9999_Unknown");
    EXPECT_EQ(r.origin, PartOrigin::PartsContents);
    EXPECT_EQ(r.drawing, -1);
}

TEST_F(RecognitionTest, RecordOnANumberedCopyGivesOrigin3) {
    const db::ObjectId ref = Reference(Block(L"B1180_Partial_1_a12"));
    Record(ref, MakePartRecord(placetest::SampleBolt()));
    const Recognised r = Recognise(ref);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.name, L"B1180_Partial");
    EXPECT_EQ(r.origin, PartOrigin::NumberedCopy);
}

TEST_F(RecognitionTest, RecordWithoutFileNameCountsAsNone) {
    const db::ObjectId plain = Reference(Block(L"PLAIN"));
    Record(plain, {db::xApp(kPartRecordApp), db::xInt16(1), db::xString(L"List1")});
    const Recognised r = Recognise(plain);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.origin, PartOrigin::None);
    // With the earlier library's mark it is judged by that.
    const db::ObjectId legacy = Reference(Block(L"SYM_NUT", L"B1181_1_01"), true);
    Record(legacy, {db::xApp(kPartRecordApp)});
    EXPECT_EQ(Recognise(legacy).name, L"B1181_HexNut");
}

TEST_F(RecognitionTest, LegacyPartThroughTheSampleCatalogue) {
    // B1176 has one entry in the sample catalogue: it is taken although the index is 0.
    const db::ObjectId ref = Reference(Block(L"SYM_SOCKET", L"JIS_B1176_S"), true);
    const Recognised r = Recognise(ref);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.name, L"B1176_SocketHead");
    EXPECT_EQ(r.origin, PartOrigin::Legacy);
    EXPECT_EQ(r.drawing, 1);
    // Split pins: field 3 maps 1, 2, 3 to the drawings 2, 0, 1.
    const Recognised pin = Recognise(Reference(Block(L"SYM_PIN", L"B1351_2_x_2"), true));
    EXPECT_EQ(pin.name, L"B1351_SplitPin");
    EXPECT_EQ(pin.drawing, 0);
}

TEST_F(RecognitionTest, CandidateIndexChoosesAmongSeveral) {
    // Two nuts of B1181 and two bolts of B1180 in the catalogue, each in catalogue order.
    EXPECT_EQ(Recognise(Reference(Block(L"N1", L"B1181_1_01"), true)).name, L"B1181_HexNut");
    EXPECT_EQ(Recognise(Reference(Block(L"N2", L"B1181_1_02"), true)).name, L"B1181_ThinNut");
    const Recognised first = Recognise(Reference(Block(L"S1", L"B1180_2_01"), true));
    EXPECT_EQ(first.name, L"B1180_Partial");
    EXPECT_EQ(first.drawing, 2);
    EXPECT_EQ(Recognise(Reference(Block(L"S2", L"jis_b1180_1_02"), true)).name, L"B1180_Full");
    const Recognised none = Recognise(Reference(Block(L"S3", L"B1180_1_03"), true));
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.name, L"");
    EXPECT_EQ(none.origin, PartOrigin::Legacy);
    EXPECT_EQ(none.drawing, 1); // decoded before the catalogue found nothing
}

TEST_F(RecognitionTest, NumberedCopyIsLookedUpByItsStrippedName) {
    Block(L"SYM_WASHER", L"B1256_AB1CDE2");
    const db::ObjectId copy = Reference(Block(L"SYM_WASHER_A1_A2"));
    const Recognised r = Recognise(copy);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.name, L"B1256_PlainWasher");
    EXPECT_EQ(r.origin, PartOrigin::NumberedCopy);
    EXPECT_EQ(r.drawing, 2);
}

TEST_F(RecognitionTest, NumberedCopyWithoutItsBaseIsNotAPart) {
    const Recognised r = Recognise(Reference(Block(L"GONE_A1", L"B1181_1_01"), true));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.origin, PartOrigin::NumberedCopy);
}

TEST_F(RecognitionTest, ReferencesWithoutMarksAndOtherEntitiesAreNotParts) {
    EXPECT_EQ(Recognise(Reference(Block(L"PLAIN", L"B1181_1_01"))).origin, PartOrigin::None);
    db::ObjectId line;
    ASSERT_OK(m_db.appendToModelSpace(
        std::make_unique<db::Line>(geom::Point3d(0, 0, 0), geom::Point3d(1, 0, 0)), line));
    EXPECT_FALSE(Recognise(line).ok);
    EXPECT_FALSE(Recognise({}).ok);
}

TEST_F(RecognitionTest, LegacyMarkWithoutAUsableCodeIsNotAPart) {
    EXPECT_FALSE(Recognise(Reference(Block(L"NO_CODE"), true)).ok);
    EXPECT_FALSE(Recognise(Reference(Block(L"EMPTY_CODE", L""), true)).ok);
    EXPECT_FALSE(Recognise(Reference(Block(L"PREFIX_ONLY", L"JIS_"), true)).ok);
    EXPECT_FALSE(Recognise(Reference(Block(L"UNKNOWN", L"B9999_1_01"), true)).ok);
    // 1351 with a field 3 outside 1 to 3.
    EXPECT_FALSE(Recognise(Reference(Block(L"P1351", L"B1351_a_b_4"), true)).ok);
    // A code that is not a text.
    const db::ObjectId block = Block(L"INT_CODE");
    {
        db::ObjectPtr<db::BlockTableRecord> b(block, db::OpenMode::forWrite);
        ASSERT_OK(b->setXData({db::xApp(kSymbolBlockApp), db::xInt16(1181)}));
    }
    EXPECT_FALSE(Recognise(Reference(block, true)).ok);
}

TEST_F(RecognitionTest, MissingCatalogueFindsNoLegacyPart) {
    m_catalogue = L"/nonexistent/PartsContentsK.txt";
    const Recognised r = Recognise(Reference(Block(L"SYM_NUT", L"B1181_1_01"), true));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.drawing, 1);
}

TEST_F(RecognitionTest, DebugModePrintsDrawingNumberAndName) {
    ztest::TempFolder folder;
    const auto reg = folder.Write("machine.reg",
                                  "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]"
                                  "\r\n\"ShowDebugInfo\"=dword:00000001\r\n");
    zhost::settings::setMachineRegistryFile(reg);
    std::wstring transcript;
    zhost::ed::setTranscriptSink([&](std::wstring_view t) { transcript += t; });
    Recognise(Reference(Block(L"SYM_NUT", L"B1181_2_01"), true));
    Recognise(Reference(Block(L"S3", L"B1180_1_03"), true));
    zhost::ed::setTranscriptSink({});
    zhost::settings::setMachineRegistryFile({});
    EXPECT_EQ(transcript, L"\n2:B1181_HexNut\n1:");
}
