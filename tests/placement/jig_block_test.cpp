// The placement jig driven through the editor's answers: base point, through point snapped to
// the nominal lengths, typed length and angle with remembered defaults, free length, the
// minimum length, deferred updates and the first-placement driver.
#include "placement/JigBlock.h"

#include "frame/SettingsLib.h"
#include "frame/UserSections.h"

#include "support/session.h"
#include "support/status.h"
#include "support/temp_folder.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/parametric.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/editor.h"
#include "zhost/settings/product.h"
#include "zhost/settings/registry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

constexpr double kPi = std::numbers::pi;

// Nominal lengths of one size, M8: 20 to 50, with 25, 30 and 40 between.
std::vector<std::wstring> BoltLengthLines() {
    return {L"\t\t\tNOM_SIZE\t\tM8\tL20\tL25\tL30\tL40\tL50\n",
            L"\t\tBOLT\t\t\t20\t20\t25\t30\t40\t50\n", L"\t\t\t\t\t50\t20\t25\t30\t40\t50\n"};
}

class JigBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ed::resetSession();
        ed::setWorkingDatabase(&m_db);
        ed::setTranscriptSink([this](std::wstring_view t) { m_transcript += t; });
        zhost::settings::setUserFolder(m_dir.path() / "user");
        zhost::settings::setMachineRegistryFile(m_dir.path() / "machine.reg");
        ResetJigUpdateTiming();

        // A symbol whose outline runs along X for LEN.
        ASSERT_OK(m_db.registerApp(db::param::kAppName));
        db::ObjectId layer;
        ASSERT_OK(m_db.addLayer(L"AM_0", layer));
        ASSERT_OK(m_db.addBlock(L"BOLT", m_block));
        db::ObjectId line;
        ASSERT_OK(m_db.appendEntity(
            m_block, std::make_unique<db::Line>(geom::Point3d(0, 0), geom::Point3d(40, 0)), line));
        ASSERT_OK(db::param::setParameter(m_block, L"LEN", L"40"));
        ASSERT_OK(db::param::setBinding(line, {L"END.X", L"LEN"}));
        ASSERT_OK(m_db.appendToModelSpace(
            std::make_unique<db::BlockReference>(geom::Point3d(), m_block), m_template));

        ASSERT_TRUE(m_nominal.LoadLines(BoltLengthLines(), L"BOLT", -1));
        ASSERT_TRUE(m_nominal.Restrict(L"M8"));
    }
    void TearDown() override {
        ed::setInputSource(nullptr);
        ed::setWorkingDatabase(nullptr);
        ed::setTranscriptSink({});
        ed::resetSession();
        zhost::settings::setMachineRegistryFile({});
    }

    void Answers(std::vector<std::wstring> lines) {
        m_input.reset(); // its end clears the input source
        m_input = std::make_unique<ztest::QueuedInput>(std::move(lines));
    }
    void SwitchSkipDragging() {
        m_dir.Write("machine.reg",
                    "Windows Registry Editor Version 5.00\r\n\r\n"
                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\r\n"
                    "\"SkipDragging\"=dword:00000001\r\n");
    }
    void StoreFreeLength(int value) {
        CUserStore store;
        ASSERT_TRUE(store.IsOpen());
        store.SelectSection(kUserSectionContTempValue);
        ASSERT_TRUE(store.SetInt(L"FreeLen", value));
    }
    std::unique_ptr<CJigBlock> Jig(bool hasLength = true) {
        return std::make_unique<CJigBlock>(L"BOLT", L"AM_0", geom::Point3d(), 0.0, m_template,
                                           m_nominal, hasLength);
    }
    double Len() {
        double value = 0;
        EXPECT_OK(db::param::parameterValue(m_template, L"LEN", value));
        return value;
    }
    // The through-point drive after a base point, as the first placement runs them.
    bool PlaceWithThroughPoint(CJigBlock& jig) {
        jig.SetPhase(kJigBasePoint);
        if (!jig.Drive())
            return false;
        EXPECT_EQ(jig.GetPhase(), kJigThroughPoint);
        return jig.Drive();
    }
    bool Has(std::wstring_view text) const { return m_transcript.find(text) != std::wstring::npos; }

    ztest::TempFolder m_dir;
    db::Database m_db;
    db::ObjectId m_block, m_template;
    CPartsYobi m_nominal;
    std::wstring m_transcript;
    std::unique_ptr<ztest::QueuedInput> m_input;
};

} // namespace

// --- Through point ---------------------------------------------------------------------------

TEST_F(JigBlockTest, ThroughPointSnapsToTheNearestNominalLength) {
    Answers({L"10,10", L"@move 40,10", L"33,10"});
    auto jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_TRUE(Has(L"基点を指示:"));
    EXPECT_TRUE(Has(L"呼び長さで通過点を指示または[自由長さ(C)/長さ入力(L)/角度入力(A)]:"));
    EXPECT_DOUBLE_EQ(Len(), 25.0); // 23 lies nearest to 25
    EXPECT_EQ(jig->GetLengthText(), L"25.00");
    EXPECT_EQ(jig->GetAngleText(), L"0.00");
    auto ref = jig->TakeReference();
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->position(), geom::Point3d(10, 10));
    // The dragged reference shows the template's re-evaluated block, not the symbol as inserted.
    db::ObjectPtr<db::BlockReference> tmpl(m_template, db::OpenMode::forRead);
    EXPECT_EQ(ref->blockTableRecord(), tmpl->blockTableRecord());
    EXPECT_NE(ref->blockTableRecord(), m_block);
    EXPECT_EQ(ref->layer(), L"AM_0");
}

TEST_F(JigBlockTest, ThroughPointCloserThanTheMinimumDrawsTheMinimumInItsDirection) {
    Answers({L"0,0", L"0,5"});
    auto jig = Jig();
    EXPECT_DOUBLE_EQ(jig->GetMinLength(), 20.0);
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_DOUBLE_EQ(Len(), 20.0);
    EXPECT_NEAR(jig->GetCurrentAngle(), kPi / 2, 1e-12);
    EXPECT_EQ(jig->GetLengthText(), L"20.00");
    EXPECT_EQ(jig->GetAngleText(), L"90.00");
    EXPECT_NEAR(jig->GetReference()->rotation(), kPi / 2, 1e-12);
}

TEST_F(JigBlockTest, FreeLengthKeepsThePointedLength) {
    StoreFreeLength(1);
    Answers({L"0,0", L"23.4,0"});
    auto jig = Jig();
    EXPECT_TRUE(jig->IsFreeLength());
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_TRUE(Has(L"自由長さで通過点を指示または[呼び長さ(C)/長さ入力(L)/角度入力(A)]:"));
    EXPECT_DOUBLE_EQ(Len(), 23.4);
}

TEST_F(JigBlockTest, WithoutNominalLengthsFreeLengthIsForcedAndCIsNoKeyword) {
    CPartsYobi none;
    CJigBlock jig(L"BOLT", L"AM_0", geom::Point3d(), 0.0, m_template, none, true);
    EXPECT_DOUBLE_EQ(jig.GetMinLength(), 1.0);
    Answers({L"0,0", L"C", L"0,23.4"});
    ASSERT_TRUE(PlaceWithThroughPoint(jig));
    EXPECT_TRUE(Has(L"自由長さで通過点を指示または[長さ入力(L)/角度入力(A)]:"));
    EXPECT_TRUE(Has(L"Point or option keyword required."));
    EXPECT_DOUBLE_EQ(Len(), 23.4);
}

TEST_F(JigBlockTest, ASizeWithoutRowsDoesNotBorrowAnotherSizesMinimum) {
    CPartsYobi other;
    ASSERT_TRUE(other.LoadLines(BoltLengthLines(), L"BOLT", -1));
    EXPECT_FALSE(other.Restrict(L"M64"));
    CJigBlock jig(L"BOLT", L"AM_0", geom::Point3d(), 0.0, m_template, other, true);
    EXPECT_DOUBLE_EQ(jig.GetMinLength(), 1.0);
    EXPECT_FALSE(jig.HasNominalLengths());
}

TEST_F(JigBlockTest, ADamagedLengthListNeverDrawsThePartShorterThanTheMinimum) {
    // Zero, negative, duplicate and unsorted lengths for one size.
    CPartsYobi damaged;
    ASSERT_TRUE(damaged.LoadLines({L"\t\t\tNOM_SIZE\t\tM8\tL1\tL2\tL3\tL4\tL5\n",
                                   L"\t\tBOLT\t\t\t0\t30\t0\t-5\t30\t20\n",
                                   L"\t\t\t\t\t40\t30\t0\t-5\t30\t20\n"},
                                  L"BOLT", -1));
    ASSERT_TRUE(damaged.Restrict(L"M8"));
    CJigBlock jig(L"BOLT", L"AM_0", geom::Point3d(), 0.0, m_template, damaged, true);
    Answers({L"0,0", L"@move 2,0", L"26,0"});
    ASSERT_TRUE(PlaceWithThroughPoint(jig));
    EXPECT_DOUBLE_EQ(Len(), 30.0); // the nearest real length
    EXPECT_GE(Len(), jig.GetMinLength());
    Answers({L"0,0", L"3,0"});
    CJigBlock again(L"BOLT", L"AM_0", geom::Point3d(), 0.0, m_template, damaged, true);
    ASSERT_TRUE(PlaceWithThroughPoint(again));
    EXPECT_GE(Len(), again.GetMinLength());
    EXPECT_GT(Len(), 0.0);
}

TEST_F(JigBlockTest, CTogglesFreeLengthAndTheNextJigRemembersIt) {
    Answers({L"0,0", L"C", L"^C"});
    auto first = Jig();
    EXPECT_FALSE(first->IsFreeLength());
    EXPECT_FALSE(PlaceWithThroughPoint(*first));
    EXPECT_TRUE(Has(L"自由長さで通過点を指示または[呼び長さ(C)/長さ入力(L)/角度入力(A)]:"));
    EXPECT_TRUE(Jig()->IsFreeLength());
    Answers({L"0,0", L"c", L"^C"});
    first = Jig();
    EXPECT_FALSE(PlaceWithThroughPoint(*first));
    EXPECT_FALSE(Jig()->IsFreeLength());
}

// --- Typed length and angle ------------------------------------------------------------------

TEST_F(JigBlockTest, EmptyLengthTakesTheDefaultAndATypedLengthBecomesTheNextDefault) {
    Answers({L"0,0", L"L", L"", L"30"});
    auto jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_TRUE(Has(L"長さ <25.0>:"));
    EXPECT_TRUE(Has(L"角度 <0>:"));
    EXPECT_DOUBLE_EQ(Len(), 25.0);
    EXPECT_NEAR(jig->GetReference()->rotation(), kPi / 6, 1e-9);

    m_transcript.clear();
    Answers({L"0,0", L"L", L"42", L""});
    jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_TRUE(Has(L"角度 <30.00>:")); // the typed angle is offered next time
    EXPECT_DOUBLE_EQ(Len(), 42.0);

    m_transcript.clear();
    Answers({L"0,0", L"L", L"", L""});
    jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_TRUE(Has(L"長さ <42.00>:"));
    EXPECT_DOUBLE_EQ(Len(), 42.0);
}

TEST_F(JigBlockTest, TypedLengthBelowTheMinimumIsRaisedAndTextIsAskedAgain) {
    Answers({L"0,0", L"L", L"abc", L"3", L"0"});
    auto jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_TRUE(Has(L"Requires numeric distance or two points."));
    EXPECT_DOUBLE_EQ(Len(), 20.0);
}

TEST_F(JigBlockTest, AngleFirstThenLength) {
    Answers({L"0,0", L"A", L"90", L"35"});
    auto jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_DOUBLE_EQ(Len(), 35.0); // typed lengths are free
    EXPECT_NEAR(jig->GetReference()->rotation(), kPi / 2, 1e-9);
}

TEST_F(JigBlockTest, CancelAtAnyPromptFails) {
    for (const auto& script : std::vector<std::vector<std::wstring>>{
             {L"^C"}, {L"0,0", L"^C"}, {L"0,0", L"L", L"^C"}, {L"0,0", L"A", L"^C"}}) {
        Answers(script);
        auto jig = Jig();
        EXPECT_FALSE(PlaceWithThroughPoint(*jig)) << script.size();
    }
}

// --- Updates ---------------------------------------------------------------------------------

TEST_F(JigBlockTest, OrthoModeHoldsTheThroughPointTextsToTheNearerAxis) {
    Answers({L"@set ORTHOMODE 1", L"0,0", L"30,10"});
    auto jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    // The sampled point lies at 30 along the pointed direction; the texts take its X only.
    EXPECT_EQ(jig->GetLengthText(), L"28.46");
    EXPECT_EQ(jig->GetAngleText(), L"0.00");
}

TEST_F(JigBlockTest, SlowUpdatesAreDeferredEveryOtherSample) {
    SwitchSkipDragging();
    // 21 is applied at once; after a pause the next sample (33) is deferred and never applied
    // when the user cancels.
    Answers({L"0,0", L"@move 21,0", L"@wait 300", L"@move 33,0", L"^C"});
    auto jig = Jig();
    EXPECT_FALSE(PlaceWithThroughPoint(*jig));
    EXPECT_DOUBLE_EQ(Len(), 20.0);

    // The sample after a deferred one is applied.
    ResetJigUpdateTiming();
    Answers(
        {L"0,0", L"@move 21,0", L"@wait 300", L"@move 33,0", L"@wait 300", L"@move 48,0", L"^C"});
    jig = Jig();
    EXPECT_FALSE(PlaceWithThroughPoint(*jig));
    EXPECT_DOUBLE_EQ(Len(), 50.0);
}

TEST_F(JigBlockTest, ADeferredUpdateIsAppliedWhenTheThroughPointIsGiven) {
    SwitchSkipDragging();
    Answers({L"0,0", L"@move 21,0", L"@wait 300", L"33,0"});
    auto jig = Jig();
    ASSERT_TRUE(PlaceWithThroughPoint(*jig));
    EXPECT_DOUBLE_EQ(Len(), 30.0);
    db::ObjectPtr<db::BlockReference> tmpl(m_template, db::OpenMode::forRead);
    EXPECT_EQ(jig->GetReference()->blockTableRecord(), tmpl->blockTableRecord());
}

TEST_F(JigBlockTest, WithoutTheSwitchEveryUpdateIsApplied) {
    Answers({L"0,0", L"@move 21,0", L"@wait 300", L"@move 33,0", L"^C"});
    auto jig = Jig();
    EXPECT_FALSE(PlaceWithThroughPoint(*jig));
    EXPECT_DOUBLE_EQ(Len(), 30.0);
}

// --- Drivers ---------------------------------------------------------------------------------

TEST_F(JigBlockTest, PartWithoutLengthAsksBasePointThenAngleOnly) {
    Answers({L"5,5", L"90"});
    std::unique_ptr<db::BlockReference> ref;
    ASSERT_TRUE(RunFirstPlacementJig(m_template, m_nominal, false, false, L"BOLT", L"AM_0", 0.0,
                                     geom::Point3d(), ref));
    ASSERT_TRUE(ref);
    EXPECT_TRUE(Has(L"基点を指示:"));
    EXPECT_TRUE(Has(L"角度 <0>:"));
    EXPECT_FALSE(Has(L"通過点"));
    EXPECT_FALSE(Has(L"長さ <"));
    EXPECT_EQ(ref->position(), geom::Point3d(5, 5));
    EXPECT_NEAR(ref->rotation(), kPi / 2, 1e-9);
    // "LEN" was never set: the template still shows the symbol's own block.
    db::ObjectPtr<db::BlockReference> tmpl(m_template, db::OpenMode::forRead);
    EXPECT_EQ(tmpl->blockTableRecord(), m_block);
}

TEST_F(JigBlockTest, EditingKeepsTheBasePointAndRestoresDragInterruption) {
    Answers({L"@move 7,30", L"7,40"});
    std::unique_ptr<db::BlockReference> ref;
    ASSERT_TRUE(RunFirstPlacementJig(m_template, m_nominal, true, true, L"BOLT", L"AM_0", 0.0,
                                     geom::Point3d(7, 7), ref));
    EXPECT_FALSE(Has(L"基点を指示:"));
    EXPECT_EQ(ref->position(), geom::Point3d(7, 7));
    EXPECT_DOUBLE_EQ(Len(), 30.0); // 33 snaps to 30
    EXPECT_NEAR(ref->rotation(), kPi / 2, 1e-9);
    int interrupt = 0;
    ASSERT_OK(ed::getVarInt(L"DRAGMODEINTERRUPT", interrupt));
    EXPECT_EQ(interrupt, 1);
}

TEST_F(JigBlockTest, CancelledFirstPlacementGivesNoReference) {
    Answers({L"^C"});
    std::unique_ptr<db::BlockReference> ref;
    EXPECT_FALSE(RunFirstPlacementJig(m_template, m_nominal, true, false, L"BOLT", L"AM_0", 0.0,
                                      geom::Point3d(), ref));
    EXPECT_FALSE(ref);
}

TEST_F(JigBlockTest, NextPlacementAsksOnlyTheBasePointForAPartWithLength) {
    Answers({L"50,50", L"60,60", L"45"});
    std::unique_ptr<db::BlockReference> ref;
    ASSERT_TRUE(RunNextPlacementJig(m_template, m_nominal, true, L"BOLT", L"AM_0", kPi / 4, ref));
    EXPECT_EQ(ref->position(), geom::Point3d(50, 50));
    EXPECT_NEAR(ref->rotation(), kPi / 4, 1e-12);
    EXPECT_FALSE(Has(L"角度"));
    ASSERT_TRUE(RunNextPlacementJig(m_template, m_nominal, false, L"BOLT", L"AM_0", 0.0, ref));
    EXPECT_EQ(ref->position(), geom::Point3d(60, 60));
    EXPECT_NEAR(ref->rotation(), kPi / 4, 1e-9);
}
