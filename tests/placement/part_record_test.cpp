// The part record: what is written for each kind of control, reading it back into a
// description, damaged chains, and the record on references.
#include "PlacementTestUtil.h"
#include "attributes/PartAttributes.h"
#include "placement/PartRecord.h"

#include "support/status.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"

#include <gtest/gtest.h>

namespace db = zhost::db;
using placetest::Control;
using placetest::SampleBolt;
using placetest::Values;

TEST(PartRecord, OneNameAndValuePerControlInDescriptionOrder) {
    const db::XData expected = {
        db::xApp(L"ZORMA_PARTS_CONTENTS"),
        db::xString(L"B1180_Partial"),
        db::xString(L"Drawing"),
        db::xInt16(1),
        db::xString(L"List1"),
        db::xString(L"M10"),
        db::xString(L"Label1"), // "Label1" is not "Label": written
        db::xString(L""),
        db::xString(L"Radio1"),
        db::xInt16(1),
        db::xString(L"Radio2"),
        db::xInt16(0), // a non-numeric Radio value
        db::xString(L"Edit1"),
        db::xString(L"10.5"),
        db::xString(L"Check1"),
        db::xInt16(12), // a Check value "12" stays 12
        db::xString(L"Quality"),
        db::xString(L"鋼,8.8"),
        db::xString(L"ComboList1"),
        db::xString(L"三価クロメート"),
        db::xString(L"Check2"),
        db::xInt16(0),
    };
    EXPECT_EQ(MakePartRecord(SampleBolt()), expected);
}

TEST(PartRecord, HeaderAndBareLabelSectionsAreLeftOut) {
    PartDescription d;
    d.m_fileName = L"P";
    d.m_params = {Control(ControlKind::Header, L"header", L"h"),
                  Control(ControlKind::Label, L"LABEL", L"l"),
                  Control(ControlKind::Label, L"Label12", L"x"),
                  Control(ControlKind::Edit, L"HeaderX", L"y")};
    EXPECT_EQ(MakePartRecord(d), (db::XData{db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"P"),
                                            db::xString(L"Label12"), db::xString(L"x"),
                                            db::xString(L"HeaderX"), db::xString(L"y")}));
}

TEST(PartRecord, IntegersAreHeldToSixteenBits) {
    PartDescription d;
    d.m_params = {Control(ControlKind::Drawing, L"Drawing", L"70000"),
                  Control(ControlKind::Radio, L"Radio1", L"-70000"),
                  Control(ControlKind::Check, L"Check1", L" 7 items")};
    const db::XData r = MakePartRecord(d);
    ASSERT_EQ(r.size(), 8u);
    EXPECT_EQ(r[3], db::xInt16(32767));
    EXPECT_EQ(r[5], db::xInt16(-32768));
    EXPECT_EQ(r[7], db::xInt16(7));
    EXPECT_OK(db::validateXData(r));
}

TEST(PartRecord, ValuesComeBackIntoTheirControls) {
    const PartDescription written = SampleBolt();
    PartDescription read = SampleBolt();
    for (CParam& p : read.m_params)
        p.m_value = L"stale";
    ApplyPartRecord(MakePartRecord(written), read);
    auto expected = Values(written);
    expected[0].second = L"stale"; // the heading is not in the record
    expected[5].second = L"0";     // "x" was written as the integer 0
    EXPECT_EQ(Values(read), expected);
}

TEST(PartRecord, NamesAreMatchedWithoutCaseAndUnknownNamesIgnored) {
    PartDescription d = SampleBolt();
    ApplyPartRecord({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"B1180_Partial"),
                     db::xString(L"list1"), db::xString(L"M12"), db::xString(L"NoSuchControl"),
                     db::xString(L"value"), db::xString(L"EDIT1"), db::xString(L"20")},
                    d);
    EXPECT_EQ(d.Find(L"List1")->m_value, L"M12");
    EXPECT_EQ(d.Find(L"Edit1")->m_value, L"20");
}

TEST(PartRecord, DamagedChainsReadWhatTheyCan) {
    PartDescription d = SampleBolt();
    const auto before = Values(d);
    // Only the application; nothing after the file name; a name without its value.
    ApplyPartRecord({}, d);
    ApplyPartRecord({db::xApp(L"ZORMA_PARTS_CONTENTS")}, d);
    ApplyPartRecord({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"F"), db::xString(L"List1")},
                    d);
    EXPECT_EQ(Values(d), before);
    // Items out of their place are skipped until a 1000 item names a control; values of other
    // kinds read as 16-bit integers.
    ApplyPartRecord({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"F"), db::xInt16(5),
                     db::xReal(2.5), db::xString(L"Radio1"), db::xReal(2.5),
                     db::xString(L"Drawing"), db::xInt32(65538), db::xString(L"Check1"),
                     db::xPoint({1, 2, 3})},
                    d);
    EXPECT_EQ(d.Find(L"Radio1")->m_value, L"0");
    EXPECT_EQ(d.Find(L"Drawing")->m_value, L"2"); // 65538 in 16 bits
    EXPECT_EQ(d.Find(L"Check1")->m_value, L"0");
    // A record whose file name is missing shifts nothing: the third item is a name.
    ApplyPartRecord({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xInt16(3), db::xString(L"Edit1"),
                     db::xString(L"7")},
                    d);
    EXPECT_EQ(d.Find(L"Edit1")->m_value, L"7");
}

TEST(PartRecord, LongChainsAreReadToTheEnd) {
    PartDescription d = SampleBolt();
    db::XData chain{db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"F")};
    while (chain.size() < 16 * 1024) {
        chain.push_back(db::xString(L"Unknown"));
        chain.push_back(db::xString(std::wstring(200, L'x')));
    }
    chain.push_back(db::xString(L"List1"));
    chain.push_back(db::xString(L"M24"));
    ApplyPartRecord(chain, d);
    EXPECT_EQ(d.Find(L"List1")->m_value, L"M24");
}

TEST(PartRecord, FileNameIsTheSecondItemWhenItIsAText) {
    EXPECT_EQ(GetPartRecordFileName(MakePartRecord(SampleBolt())), L"B1180_Partial");
    EXPECT_EQ(GetPartRecordFileName({db::xApp(L"ZORMA_PARTS_CONTENTS")}), L"");
    EXPECT_EQ(GetPartRecordFileName({db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xInt16(1)}), L"");
    EXPECT_EQ(GetPartRecordFileName({db::xString(L"x"), db::xString(L"y")}), L"");
    EXPECT_EQ(GetPartRecordFileName({}), L"");
}

namespace {

class PartRecordDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_OK(m_db.addBlock(L"B1180_Partial_1", m_block));
        ASSERT_OK(m_db.appendToModelSpace(
            std::make_unique<db::BlockReference>(zhost::geom::Point3d(0, 0, 0), m_block), m_ref));
    }
    bool Write(const PartDescription& d) {
        db::ObjectPtr<db::BlockReference> ref(m_ref, db::OpenMode::forWrite);
        return WritePartRecord(d, *ref);
    }
    void AddAttribute(const wchar_t* tag, const wchar_t* text) {
        db::ObjectPtr<db::BlockReference> ref(m_ref, db::OpenMode::forWrite);
        auto attr = std::make_unique<db::Attribute>();
        attr->setTag(tag);
        attr->setTextString(text);
        db::ObjectId id;
        EXPECT_OK(ref->appendAttribute(std::move(attr), id));
    }
    db::XData Record() {
        db::ObjectPtr<db::BlockReference> ref(m_ref, db::OpenMode::forRead);
        return ref->xdata(kPartRecordApp);
    }

    db::Database m_db;
    db::ObjectId m_block, m_ref;
};

} // namespace

TEST_F(PartRecordDrawingTest, WritingRegistersTheApplicationAndReplacesTheRecord) {
    EXPECT_FALSE(m_db.isAppRegistered(L"ZORMA_PARTS_CONTENTS"));
    PartDescription d = SampleBolt();
    ASSERT_TRUE(Write(d));
    EXPECT_TRUE(m_db.isAppRegistered(L"ZORMA_PARTS_CONTENTS"));
    d.Find(L"List1")->m_value = L"M16";
    d.m_params.pop_back();
    ASSERT_TRUE(Write(d));
    EXPECT_EQ(Record(), MakePartRecord(d));
}

TEST_F(PartRecordDrawingTest, WritingNeedsAWritableReference) {
    db::ObjectPtr<db::BlockReference> ref(m_ref, db::OpenMode::forRead);
    EXPECT_FALSE(WritePartRecord(SampleBolt(), *ref));
}

TEST_F(PartRecordDrawingTest, ReadBackFillsControlsAndAttributeItems) {
    ASSERT_TRUE(Write(SampleBolt()));
    AddAttribute(L"ATT_TAG_7", L"SCM435");
    PartDescription d = SampleBolt();
    d.Find(L"List1")->m_value = L"M3";
    d.m_atrList = MakeBuiltinAtrList();
    EXPECT_TRUE(ReadBackPart(d, m_ref));
    EXPECT_EQ(d.Find(L"List1")->m_value, L"M10");
    EXPECT_EQ(d.m_atrList[6].m_value, L"SCM435");
}

TEST_F(PartRecordDrawingTest, ReadBackWithoutRecordStillReadsAttributes) {
    AddAttribute(L"NAME", L"ボルト");
    PartDescription d = SampleBolt();
    d.m_atrList = MakeBuiltinAtrList();
    EXPECT_FALSE(ReadBackPart(d, m_ref));
    EXPECT_EQ(d.m_atrList[0].m_value, L"ボルト");
    EXPECT_FALSE(ReadBackPart(d, m_block)); // not a reference
    EXPECT_FALSE(ReadBackPart(d, {}));
}

TEST(PartRecord, MaterialChangedOnlyByAQualityEntryAfterTheDrawing) {
    PartDescription d = SampleBolt();
    const db::XData placed = MakePartRecord(d);
    EXPECT_FALSE(RecordedQualityChanged(placed, d));
    d.Find(L"Quality")->m_value = L"ステンレス鋼,A2-70";
    EXPECT_TRUE(RecordedQualityChanged(placed, d));

    auto record = [](std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> entries) {
        db::XData r{db::xApp(L"ZORMA_PARTS_CONTENTS"), db::xString(L"F")};
        for (const auto& [name, value] : entries) {
            r.push_back(db::xString(name));
            r.push_back(db::xString(value));
        }
        return r;
    };
    // The comparison ignores case; the Quality entry must come after a Drawing entry.
    d.Find(L"Quality")->m_value = L"sus304,a2";
    EXPECT_FALSE(
        RecordedQualityChanged(record({{L"drawing", L"1"}, {L"QUALITY", L"SUS304,A2"}}), d));
    EXPECT_FALSE(RecordedQualityChanged(record({{L"Quality", L"x"}, {L"Drawing", L"1"}}), d));
    EXPECT_FALSE(RecordedQualityChanged(record({{L"Quality", L"x"}}), d));
    EXPECT_TRUE(RecordedQualityChanged(
        record({{L"Drawing", L"1"}, {L"List1", L"M3"}, {L"Quality", L"x"}}), d));
    // Without a Quality control the current value is empty.
    PartDescription none;
    EXPECT_TRUE(RecordedQualityChanged(record({{L"Drawing", L"1"}, {L"Quality", L"x"}}), none));
    EXPECT_FALSE(RecordedQualityChanged(record({{L"Drawing", L"1"}, {L"Quality", L""}}), none));
}

TEST_F(PartRecordDrawingTest, MaterialChangeIsReadFromTheEditedReference) {
    PartDescription d = SampleBolt();
    ASSERT_TRUE(Write(d));
    EXPECT_FALSE(RecordedQualityChanged(m_ref, d));
    d.Find(L"Quality")->m_value = L"黄銅";
    EXPECT_TRUE(RecordedQualityChanged(m_ref, d));
    EXPECT_FALSE(RecordedQualityChanged(m_block, d));
}
