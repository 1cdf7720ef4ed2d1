// The description's rule languages read as a library author writes them: conditions, global
// and per-control enabling rules, the look-up by nominal size and the validation entries.
#include "CondTestContext.h"
#include "selection/CondValidation.h"

#include <gtest/gtest.h>

namespace {

using condtest::MapContext;

TEST(Conditions, LiteralsAndComparisonsOfNumbersWithTheirLetterM) {
    MapContext c;
    c.FirstList(L"M12").Set(L"Radio1", L"0").Set(L"Edit1", L"2.5");
    EXPECT_TRUE(EvaluateCondition(L"true", c));
    EXPECT_TRUE(EvaluateCondition(L"TRUE", c));
    EXPECT_TRUE(EvaluateCondition(L"1", c));
    EXPECT_FALSE(EvaluateCondition(L"False", c));
    EXPECT_FALSE(EvaluateCondition(L"0", c));
    // "List..." and an empty left side both read the first list box, "M" dropped.
    EXPECT_TRUE(EvaluateCondition(L"List1>10", c));
    EXPECT_TRUE(EvaluateCondition(L"List3>=12", c));
    EXPECT_TRUE(EvaluateCondition(L"=M12", c));
    EXPECT_FALSE(EvaluateCondition(L"List1<12", c));
    EXPECT_TRUE(EvaluateCondition(L"List1<=12", c));
    EXPECT_TRUE(EvaluateCondition(L"Radio1=0", c));
    EXPECT_TRUE(EvaluateCondition(L"radio1 = 0", c)); // names without case, sides trimmed
    EXPECT_TRUE(EvaluateCondition(L"Edit1>2.4", c));
    EXPECT_FALSE(EvaluateCondition(L"Edit1=2.50001", c)); // "=" compares exactly
}

TEST(Conditions, AndTermsMustHoldAndOrTermsNeedOneOfThem) {
    MapContext c;
    c.FirstList(L"M8").Set(L"Radio1", L"1");
    // The washer's chamfer rules: normal series (Radio1=0) from M5.
    EXPECT_FALSE(EvaluateCondition(L"List1>=5&Radio1=0", c));
    EXPECT_TRUE(EvaluateCondition(L"List1<5|Radio1>0", c));
    c.Set(L"Radio1", L"0");
    EXPECT_TRUE(EvaluateCondition(L"List1>=5&Radio1=0", c));
    EXPECT_FALSE(EvaluateCondition(L"List1<5|Radio1>0", c));
    // A failing "&" term decides at once, whatever follows.
    EXPECT_FALSE(EvaluateCondition(L"Radio1=1&List1=8|List1=8", c));
    // "|" terms and the last one are counted: one of them is enough.
    EXPECT_TRUE(EvaluateCondition(L"Radio1=5|Radio1=6|List1=8", c));
    EXPECT_FALSE(EvaluateCondition(L"Radio1=5|Radio1=6|List1=9", c));
    // A term without an operator is ignored; with nothing counted the condition holds.
    EXPECT_TRUE(EvaluateCondition(L"nonsense", c));
    EXPECT_FALSE(EvaluateCondition(L"nonsense|List1=9", c));
}

TEST(Conditions, OperatorsAreTriedInTheirOrder) {
    std::wstring l, r;
    CondOp op = CondOp::None;
    ASSERT_TRUE(SplitTerm(L"A<=3", l, op, r));
    EXPECT_EQ(op, CondOp::LessEqual);
    EXPECT_EQ(r, L"3");
    // "<" is tried before ">=", so a term holding both splits at "<".
    ASSERT_TRUE(SplitTerm(L"A>=B<2", l, op, r));
    EXPECT_EQ(op, CondOp::Less);
    EXPECT_EQ(l, L"A>=B");
    ASSERT_TRUE(SplitTerm(L"A>=2", l, op, r));
    EXPECT_EQ(op, CondOp::GreaterEqual);
    EXPECT_FALSE(SplitTerm(L"A", l, op, r));
}

TEST(Conditions, UnknownControlsAndJunkReadAsZero) {
    MapContext c;
    EXPECT_TRUE(EvaluateCondition(L"Nowhere=0", c));
    EXPECT_TRUE(EvaluateCondition(L"List1=0", c)); // no list line selected
    c.Set(L"Edit1", L"abc");
    EXPECT_TRUE(EvaluateCondition(L"Edit1=0", c));
    EXPECT_TRUE(EvaluateCondition(L"&&||", c)); // only empty terms: nothing to say
}

TEST(EnablingRules, GlobalItemsSplitIntoConditionAndTargets) {
    const std::vector<CRuleItem> items =
        ParseGlobalRule(L"List1>10:Radio1:1  List1<5:Check3,Edit1");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].m_condition, L"List1>10");
    ASSERT_EQ(items[0].m_targets.size(), 1u);
    EXPECT_EQ(items[0].m_targets[0].m_name, L"Radio1");
    EXPECT_EQ(items[0].m_targets[0].m_options, std::vector<int>{1});
    ASSERT_EQ(items[1].m_targets.size(), 2u);
    EXPECT_EQ(items[1].m_targets[1].m_name, L"Edit1");
    EXPECT_TRUE(items[1].m_targets[1].m_options.empty());
}

TEST(EnablingRules, ShortItemsAfterAnOptionAreFurtherOptions) {
    const std::vector<CRuleTarget> t = ParseRuleTargets(L"Radio1:1,2,12,Check3,4");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].m_name, L"Radio1");
    EXPECT_EQ(t[0].m_options, (std::vector<int>{1, 2, 12}));
    EXPECT_EQ(t[1].m_name, L"Check3");
    EXPECT_TRUE(t[1].m_options.empty());
    // "4" follows a whole control, not an option: it is a (strange) name of its own.
    EXPECT_EQ(t[2].m_name, L"4");
}

TEST(EnablingRules, OptionNumbersOutOfRangeAddressNoOption) {
    // Found by fuzzing: an option written 2e120 once became an arbitrary integer.
    // "x" follows an option and is short: a further option, which is no number.
    const std::vector<CRuleTarget> t = ParseRuleTargets(L"Radio1:2e120,7,x,Edit1");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].m_options, (std::vector<int>{-1, 7, -1}));
    EXPECT_EQ(t[1].m_name, L"Edit1");
    EXPECT_EQ(ToIndex(L"12.9", -1), 12);
    EXPECT_EQ(ToIndex(L"-3", 0), -3);
    EXPECT_EQ(ToIndex(L"abc", 7), 7);
    EXPECT_EQ(ToIndex(L"2147483648", 7), 7);
    EXPECT_EQ(ToIndex(L"-2e120", 7), 7);
}

TEST(EnablingRules, PerControlRuleSplitsNamesByTheState) {
    const std::wstring rule = L"0:Edit2,check3 1:Edit4,Edit2";
    CEnableSets s0 = EvaluateControlRule(rule, 0);
    ASSERT_EQ(s0.m_enable.size(), 2u);
    EXPECT_EQ(s0.m_enable[0].m_name, L"EDIT2");
    EXPECT_EQ(s0.m_enable[1].m_name, L"CHECK3");
    ASSERT_EQ(s0.m_disable.size(), 2u); // Edit4 and Edit2: a name in both ends enabled
    CEnableSets s5 = EvaluateControlRule(rule, 5);
    EXPECT_TRUE(s5.m_enable.empty());
    EXPECT_EQ(s5.m_disable.size(), 3u); // each name once
    // An option address survives, a non-numeric digit matches nothing.
    CEnableSets opt = EvaluateControlRule(L"1:Radio2:1 x:Edit1", 1);
    ASSERT_EQ(opt.m_enable.size(), 1u);
    EXPECT_EQ(opt.m_enable[0].m_options, std::vector<int>{1});
    EXPECT_EQ(opt.m_disable.size(), 1u);
}

TEST(TableLookUp, NominalValuesAreNormalisedOnBothSides) {
    EXPECT_EQ(NormaliseNominal(L"M10x1.25"), L"10");
    EXPECT_EQ(NormaliseNominal(L" M 12 "), L"12");
    EXPECT_EQ(NormaliseNominal(L"m8"), L"m8"); // only the capital letter is a size prefix
    const std::vector<std::wstring> table = {L"M12\tnot a row: the heading", L"M10\t1.5\t10",
                                             L"M 12\t1.75\t12", L"M12\tsecond\t0"};
    std::vector<std::wstring> row;
    ASSERT_TRUE(FindTableRow(table, L"M12x1.5", row));
    EXPECT_EQ(row[1], L"1.75");
    ASSERT_TRUE(FindTableRow(table, L"10", row));
    EXPECT_EQ(row[2], L"10");
    EXPECT_FALSE(FindTableRow(table, L"M16", row));
    EXPECT_FALSE(FindTableRow({L"M16\t2"}, L"M16", row)); // the first line is a heading
}

class Validation : public ::testing::Test {
protected:
    CValidationResult Check(const std::wstring& entry) { return CheckValidationEntry(entry, c); }
    MapContext c;
};

TEST_F(Validation, ComparisonsFailWhenTheStatedRelationHolds) {
    c.Set(L"Edit1", L"0");
    EXPECT_TRUE(Check(L"$Edit1<=0,positive please").m_failed);
    EXPECT_EQ(Check(L"$Edit1<=0,positive please").m_message, L"positive please");
    c.Set(L"Edit1", L"0.000000001"); // within 1e-8 of 0: equal
    EXPECT_TRUE(Check(L"Edit1<=0,x").m_failed);
    EXPECT_TRUE(Check(L"Edit1=0,x").m_failed);
    EXPECT_FALSE(Check(L"Edit1<0,x").m_failed);
    EXPECT_FALSE(Check(L"Edit1>0,x").m_failed);
    EXPECT_TRUE(Check(L"Edit1>=0,x").m_failed);
    c.Set(L"Edit1", L"5");
    EXPECT_TRUE(Check(L"Edit1>4,x").m_failed);
    EXPECT_FALSE(Check(L"Edit1<4,x").m_failed);
    EXPECT_FALSE(Check(L"Edit1=4,x").m_failed);
}

TEST_F(Validation, RequiredDisabledAndUnknownNamesDoNotApply) {
    c.Set(L"Edit1", L"").Set(L"Edit2", L"-1", false).Set(L"Edit3", L"");
    EXPECT_FALSE(Check(L"$Edit1<=0,x").m_failed); // "$": no value, no check
    EXPECT_TRUE(Check(L"Edit1<=0,x").m_failed);   // without "$" an empty value reads 0
    EXPECT_FALSE(Check(L"Edit2<=0,x").m_failed);  // disabled controls are not checked
    EXPECT_FALSE(Check(L"Edit9<=0,x").m_failed);
    EXPECT_FALSE(Check(L"Edit1<=Edit9,x").m_failed);
    EXPECT_FALSE(Check(L"Edit1<=$Edit3,x").m_failed);
    EXPECT_FALSE(Check(L"no operator,x").m_failed);
    EXPECT_TRUE(Check(L",anything").m_end);
}

TEST_F(Validation, RightSideFromAControlOrATableFillsTheMessage) {
    c.Set(L"Edit1", L"30").Set(L"Edit2", L"40").Set(L"List1", L"M10").Set(L"Label1", L"");
    c.Set(L"Radio1", L"1");
    c.Table(L"T.dat", {L"size\td\tmax", L"M10\t10\t25"});
    CValidationResult r = Check(L"Edit1<Edit2,at least %s, 100%");
    EXPECT_TRUE(r.m_failed);
    EXPECT_EQ(r.m_message, L"at least 40, 100%"); // the stray "%" stays text
    r = Check(L"Edit1>List1:T.dat,at most %s");
    EXPECT_TRUE(r.m_failed);
    EXPECT_EQ(r.m_message, L"at most 10");
    // The column control's value picks the field (value + 1); without a value, field 1.
    r = Check(L"Edit1>List1:Radio1:T.dat,at most %s");
    EXPECT_TRUE(r.m_failed);
    EXPECT_EQ(r.m_message, L"at most 25");
    EXPECT_TRUE(Check(L"Edit1>List1:Label1:T.dat,%s").m_failed);
    c.Set(L"Radio1", L"7"); // past the row's end
    EXPECT_FALSE(Check(L"Edit1>List1:Radio1:T.dat,%s").m_failed);
    c.Set(L"List1", L"M99"); // no row: the entry passes
    EXPECT_FALSE(Check(L"Edit1>List1:T.dat,%s").m_failed);
    EXPECT_FALSE(Check(L"Edit1>List1:Missing.dat,%s").m_failed);
}

TEST_F(Validation, RangeRuleShowsTheRangeOfTheSize) {
    c.Set(L"Edit3", L"31").Set(L"List1", L"M10");
    c.Table(L"Depth.dat", {L"size\tmin\tmax", L"M10\t10\t30", L"M12\t12\t"});
    CValidationResult r = Check(L"RANGE_ERR,Edit3,List1:Depth.dat,depth within %s, please");
    EXPECT_TRUE(r.m_failed);
    EXPECT_EQ(r.m_message, L"depth within 10-30, please");
    c.Set(L"Edit3", L"30");
    EXPECT_FALSE(Check(L"RANGE_ERR,Edit3,List1:Depth.dat,%s").m_failed);
    c.Set(L"Edit3", L"9.99");
    EXPECT_TRUE(Check(L"RANGE_ERR,Edit3,List1:Depth.dat,%s").m_failed);
    c.Set(L"List1", L"M12"); // no maximum: nothing to check
    EXPECT_FALSE(Check(L"RANGE_ERR,Edit3,List1:Depth.dat,%s").m_failed);
    c.Set(L"List1", L"M16");
    EXPECT_FALSE(Check(L"RANGE_ERR,Edit3,List1:Depth.dat,%s").m_failed);
    EXPECT_FALSE(Check(L"RANGE_ERR,Edit3").m_failed);
    EXPECT_FALSE(Check(L"RANGE_ERR,Edit3,List1,%s").m_failed);
}

TEST_F(Validation, FirstFailingEntryStopsTheChecking) {
    c.Set(L"Edit1", L"-1");
    int taps = 0;
    auto onTap = [&taps](const CTapCheck&) { ++taps; };
    EXPECT_EQ(
        Validate({L"Edit1<-5,first", L"Edit1<0,second", L"Edit1<1,third"}, c, onTap).m_message,
        L"second");
    EXPECT_FALSE(Validate({L"Edit1>0,ok", L",end", L"Edit1<0,never"}, c, onTap).m_failed);
    EXPECT_FALSE(Validate({}, c, onTap).m_failed);
    EXPECT_EQ(taps, 0);
}

} // namespace
