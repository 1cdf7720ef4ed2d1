// Block definitions by name, free names for new part blocks, and the packed line-type state.
#include "GeometryTestUtil.h"

#include "placement/BlockNames.h"
#include "placement/LineTypeState.h"

using namespace geomtest;

namespace {
class BlockNames : public PartGeometryTest {};
} // namespace

TEST_F(BlockNames, ListingSkipsLayoutsAndMatchesThePatternWithoutCase) {
    Block(L"BOLT_1");
    Block(L"*Paper_Space0");
    Block(L"bolt_2");
    Block(L"NUT_1");
    std::vector<db::ObjectId> ids;
    std::vector<std::wstring> names;

    EXPECT_EQ(ListBlockDefinitions(nullptr, ids, names), 3);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"BOLT_1", L"bolt_2", L"NUT_1"}));
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids[2], [&] {
        db::ObjectId nut;
        Db().getBlockId(L"NUT_1", nut);
        return nut;
    }());

    EXPECT_EQ(ListBlockDefinitions(L"Bolt_#", ids, names), 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"BOLT_1", L"bolt_2"}));
    EXPECT_EQ(ListBlockDefinitions(L"WASHER*", ids, names), 0);
    EXPECT_TRUE(names.empty());
}

TEST_F(BlockNames, ListingWithoutADrawingFails) {
    ed::setWorkingDatabase(nullptr);
    std::vector<db::ObjectId> ids;
    std::vector<std::wstring> names;
    EXPECT_EQ(ListBlockDefinitions(nullptr, ids, names), -1);
    std::wstring name;
    EXPECT_FALSE(MakeUniqueBlockName(L"BOLT", name));
}

TEST_F(BlockNames, UniqueNameSkipsTheNumbersTaken) {
    std::wstring name;
    ASSERT_TRUE(MakeUniqueBlockName(L"B1180_Full_1", name));
    EXPECT_EQ(name, L"B1180_Full_1_1");

    Block(L"B1180_Full_1_1");
    Block(L"b1180_full_1_2"); // taken whatever the case
    Block(L"B1180_Full_1_4");
    ASSERT_TRUE(MakeUniqueBlockName(L"B1180_Full_1", name));
    EXPECT_EQ(name, L"B1180_Full_1_3");
}

TEST_F(BlockNames, UniqueNameTreatsWildcardCharactersOfTheBaseLiterally) {
    // As a pattern "#" would match only a digit and "." only a punctuation mark: the name taken
    // must be seen all the same.
    Block(L"M3.5#A_1");
    Block(L"M3x51A_2");
    std::wstring name;
    ASSERT_TRUE(MakeUniqueBlockName(L"M3.5#A", name));
    EXPECT_EQ(name, L"M3.5#A_2");
}

TEST_F(BlockNames, HasParameterAsksTheReferencesBlockWithoutCase) {
    const db::ObjectId block = ParamBlock(L"PIN", {{L"LEN", L"20"}, {L"CS", L"2.5"}});
    Line(block, 0, 0, 20, 0);
    const db::ObjectId ref = Ref(Db().modelSpaceId(), block, 0, 0);
    EXPECT_TRUE(HasBlockParameter(ref, L"len"));
    EXPECT_TRUE(HasBlockParameter(ref, L"CS"));
    EXPECT_FALSE(HasBlockParameter(ref, L"LineType"));
    EXPECT_FALSE(HasBlockParameter(db::ObjectId::null(), L"LEN"));
}

TEST(LineTypeStatePacking, FlagsAreBytesWithWholeDashedHighest) {
    const LineTypeState start;
    EXPECT_EQ(start.Pack(), 0x00010000u); // only "head not set"
    LineTypeState whole;
    whole.m_headNotSet = false;
    whole.m_wholeDashed = true;
    EXPECT_EQ(whole.Pack(), 0x01000000u);
    LineTypeState bolt;
    bolt.m_headDashed = true;
    bolt.m_bodyDashed = true;
    EXPECT_EQ(bolt.Pack(), 0x00010101u);
    for (const LineTypeState& s : {start, whole, bolt})
        EXPECT_EQ(LineTypeState::Unpack(s.Pack()), s);
    EXPECT_TRUE(LineTypeState::Unpack(0x20000000u).m_wholeDashed); // any non-zero byte is set
}
