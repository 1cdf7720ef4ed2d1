// The condition dialog as a library author meets it through "zorma library try PART": driven
// by @dialog lines, on the sample product and on small descriptions written here. Each case
// checks what the placement would read after OK (the values printed by the verb) and, where it
// matters, the per-user store the dialog leaves behind.
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Lines joined with CR LF, as the library's files are written on their home platform.
std::string CrLf(std::initializer_list<const char*> lines) {
    std::string out = kBom;
    for (const char* l : lines)
        out += std::string(l) + "\r\n";
    return out;
}

class CondScenario : public ztest::ScenarioTest {
protected:
    fs::path Library() const { return Dir() / "product" / "PartsData" / "PartsContents"; }
    void Describe(const std::string& part, std::initializer_list<const char*> lines) {
        Write(Library() / "Dlg" / (part + ".ini"), CrLf(lines));
    }
    void Data(const std::string& name, std::initializer_list<const char*> lines) {
        Write(Library() / "Data" / name, CrLf(lines));
    }
    void MachineSwitch(const std::string& name) {
        Write("machine.reg",
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\r\n\"" +
                  name + "\"=dword:00000001\r\n");
    }

    // Runs "zorma library try" with the script's answers; the fixture's own product unless
    // `product` names another, and one user folder for all runs of a test.
    ztest::ProcessResult Try(const std::string& part, const std::string& script,
                             std::vector<std::string> extra = {}, fs::path product = {}) {
        const fs::path scr = Write("answers-" + std::to_string(++m_runs) + ".scr", script);
        std::vector<std::string> args = {"library",
                                         "try",
                                         part,
                                         "--product",
                                         (product.empty() ? Dir() / "product" : product).string(),
                                         "--user-dir",
                                         (Dir() / "user").string(),
                                         "--machine-reg",
                                         (Dir() / "machine.reg").string(),
                                         "--addon",
                                         ztest::BuiltAddon().string(),
                                         "--script",
                                         scr.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return ztest::Zorma(args);
    }
    std::string UserStore() const {
        const fs::path f = Dir() / "user" / "user-settings.ini";
        return fs::exists(f) ? ztest::ReadFile(f) : std::string();
    }
    static fs::path Sample() { return ztest::SourcePath("samples/product"); }

    // A description with one control of every kind the layout distinguishes.
    void DescribeLayoutPart() {
        Describe("P", {"[Header]",
                       "caption=試験部品",
                       "[Drawing]",
                       "selection=a,b,c,d,e,f,g",
                       "symbol=1,2,3,4,5,6,7",
                       "default=2",
                       "[List1]",
                       "caption=呼び径",
                       "data=M8,M10,M12",
                       "enabled=List1>=10:Edit1",
                       "default=M10",
                       "[List10]",
                       "caption=一覧ではない",
                       "data=x,y",
                       "[Radio1]",
                       "caption=二択",
                       "selection=x,y",
                       "[Radio2]",
                       "caption=三択",
                       "selection=p,q,r",
                       "default=2",
                       "[Check1]",
                       "caption=確認",
                       "disabled=0:Edit2",
                       "default=1",
                       "[Edit1]",
                       "caption=e1",
                       "default=5",
                       "[Edit2]",
                       "caption=e2",
                       "default=7"});
    }

    int m_runs = 0;
};

TEST_F(CondScenario, LayoutFollowsTheDescription) {
    DescribeLayoutPart();
    // Radio1 (two options) is row 1 side by side; Radio2 (three) rows 2-4; Check1 row 5.
    const auto r = Try("P", "@dialog click 1012 3,1\n@dialog click 1012 2,3\n@dialog click ok\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("Radio1 (Radio) = \"1\""));
    EXPECT_THAT(r.out, HasSubstr("Radio2 (Radio) = \"1\""));
    // Seven suffixes, six buttons; the default suffix "2" is the chosen one.
    EXPECT_THAT(r.out, HasSubstr("picture-button 1006"));
    EXPECT_THAT(r.out, HasSubstr("Drawing (Drawing) = \"2\""));
    EXPECT_THAT(r.out, HasSubstr("symbol block = P_2"));
    // List10 is no list: one list box, and no control of that name.
    EXPECT_THAT(r.out, HasSubstr("list 1021"));
    EXPECT_THAT(r.out, Not(HasSubstr("list 1022")));
    EXPECT_THAT(r.out, Not(HasSubstr("List10")));
    EXPECT_THAT(r.out, HasSubstr("試験部品"));
}

TEST_F(CondScenario, ListRuleDisablesWhenItFailsAndEnablesWhenItHolds) {
    DescribeLayoutPart();
    auto r = Try("P", "@dialog select 1021 M8\n@dialog click ok\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("Edit1 (Edit) = \"5\" [disabled]"));
    r = Try("P", "@dialog select 1021 M8\n@dialog select 1021 M12\n@dialog click ok\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("List1 (List) = \"M12\"\n"));
    EXPECT_THAT(r.out, HasSubstr("Edit1 (Edit) = \"5\"\n"));
}

TEST_F(CondScenario, DisabledZeroBehavesAsEnabledOne) {
    DescribeLayoutPart();
    // Check1 starts checked: Edit2 enabled. Unchecked, "disabled=0:Edit2" disables it.
    auto r = Try("P", "@dialog click ok\n");
    EXPECT_THAT(r.out, HasSubstr("Edit2 (Edit) = \"7\"\n"));
    r = Try("P", "@dialog uncheck 1012 2,5\n@dialog click ok\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("Check1 (Check) = \"0\""));
    EXPECT_THAT(r.out, HasSubstr("Edit2 (Edit) = \"7\" [disabled]"));
}

TEST_F(CondScenario, ValuesAreRememberedForTheNextNewPartOnly) {
    DescribeLayoutPart();
    auto r = Try("P", "@dialog select 1021 M12\n@dialog click 1012 3,1\n@dialog text 1012 2,6 "
                      "42\n@dialog click 1003\n@dialog click ok\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    const std::string store = UserStore();
    EXPECT_THAT(store, HasSubstr("[ZormaContCondDlg\\P]"));
    EXPECT_THAT(store, HasSubstr("List1=M12"));
    EXPECT_THAT(store, HasSubstr("Radio1=1"));
    EXPECT_THAT(store, HasSubstr("Edit1=42"));
    EXPECT_THAT(store, HasSubstr("Drawing=3"));
    EXPECT_THAT(store, HasSubstr("X="));
    // The next new part starts from them...
    r = Try("P", "@dialog click ok\n");
    EXPECT_THAT(r.out, HasSubstr("List1 (List) = \"M12\""));
    EXPECT_THAT(r.out, HasSubstr("Edit1 (Edit) = \"42\""));
    EXPECT_THAT(r.out, HasSubstr("drawing number = 3"));
    EXPECT_THAT(r.out, HasSubstr("symbol block = P_3"));
    // ...an edited part from its own values, and Cancel stores nothing.
    r = Try("P", "@dialog select 1021 M8\n@dialog click cancel\n", {"--edit"});
    EXPECT_THAT(r, ztest::ExitsWith(1));
    EXPECT_THAT(r.out, HasSubstr("--- P: cancelled"));
    r = Try("P", "@dialog click ok\n", {"--edit"});
    EXPECT_THAT(r.out, HasSubstr("List1 (List) = \"M10\""));
    EXPECT_THAT(r.out, HasSubstr("drawing number = 2"));
    EXPECT_THAT(UserStore(), HasSubstr("List1=M10"));
}

TEST_F(CondScenario, LookUpFillsTheTargetOnTheLastRow) {
    Describe("L", {"[List1]", "caption=size", "data=", "[Label1]", "[Edit1]", "caption=x",
                   "[Edit2]", "caption=d", "default=7"});
    Data("L_Yobi.dat", {"$Pair List1:Label1:L_Dim.dat:Edit2", "M10", "M12x1.5"});
    Data("L_Dim.dat", {"size\td\tP", "M10\t10\t1.5", "M12\t12\t1.75"});
    // A value already there survives the first fill; afterwards the look-up overwrites, and
    // "M12x1.5" finds the row "M12".
    auto r = Try("L", "@dialog click ok\n");
    EXPECT_THAT(r.out, HasSubstr("Edit2 (Edit) = \"7\""));
    r = Try("L", "@wait 600\n@dialog select 1021 M12x1.5\n@dialog click ok\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("Edit2 (Edit) = \"12\""));
    // The list's "control" came from the data file's "$Pair" line.
    EXPECT_THAT(r.out, Not(HasSubstr("$Pair")));
}

TEST_F(CondScenario, RadioRepairMovesTheCheckToAnAvailableOption) {
    // The washer: the 2008 small series (Radio1 option 1) stops at M10.
    const auto r = Try("B1256_PlainWasher",
                       "@wait 600\n@dialog select 1021 M8\n@dialog click 1012 2,2\n@dialog select "
                       "1021 M12\n@dialog click ok\n",
                       {}, Sample());
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("Radio1 (Radio) = \"0\"\n"));
    EXPECT_THAT(r.out, HasSubstr("List1 (List) = \"M12\""));
    // The look-up wrote the size's diameter (after the initial fill), so the range rule holds.
    EXPECT_THAT(r.out, HasSubstr("Edit1 (Edit) = \"12\""));
}

TEST_F(CondScenario, StrengthClassesFollowTheMaterial) {
    // The bolt: Quality rows 5 (material) and 6 (strength class).
    auto r = Try("B1180_Partial", "@dialog click ok\n", {}, Sample());
    EXPECT_THAT(r.out, HasSubstr("Quality (Quality) = \"鋼,8.8\""));
    r = Try(
        "B1180_Partial",
        "@dialog select 1012 2,5 ステンレス鋼\n@dialog select 1012 2,6 A4-70\n@dialog click ok\n",
        {}, Sample());
    EXPECT_THAT(r.out, HasSubstr("Quality (Quality) = \"ステンレス鋼,A4-70\""));
    // Brass has no classes: the strength row is locked and the value is the material alone.
    r = Try("B1180_Partial", "@dialog select 1012 2,5 黄銅\n@dialog click ok\n", {}, Sample());
    EXPECT_THAT(r.out, HasSubstr("Quality (Quality) = \"黄銅\"\n"));
    EXPECT_THAT(r.out, HasSubstr("| 強度区分"));
    EXPECT_THAT(UserStore(), HasSubstr("Quality=黄銅"));
}

TEST_F(CondScenario, SymbolBlockFollowsTheChosenView) {
    // The end view's button names the block; hidden lines show thumbnails but place the same
    // symbol.
    auto r = Try("B1180_Partial", "@dialog click 1002\n@dialog click ok\n", {}, Sample());
    EXPECT_THAT(r.out, HasSubstr("Drawing (Drawing) = \"0\""));
    EXPECT_THAT(r.out, HasSubstr("symbol block = B1180_Partial_0"));
    // The view chosen last time is remembered; this time the front view, with hidden lines.
    r = Try("B1180_Partial", "@dialog click 1001\n@dialog click 1012 3,2\n@dialog click ok\n", {},
            Sample());
    EXPECT_THAT(r.out, HasSubstr("Radio2 (Radio) = \"1\""));
    EXPECT_THAT(r.out, HasSubstr("symbol block = B1180_Partial_1"));
}

TEST_F(CondScenario, TappedHoleDepthRefusesOkUntilDeepEnough) {
    // M10 thread 15 deep: the drill must go deeper than 16.40625.
    const auto r = Try("B0205_TappedHole",
                       "@wait 600\n@dialog text 1012 2,4 16.4\n@dialog click ok\n@dialog text 1012 "
                       "2,4 16.5\n@dialog click ok\n",
                       {}, Sample());
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("キリ深さが足りません。 キリ深さ>16.41"));
    EXPECT_THAT(r.out, HasSubstr("Edit2 (Edit) = \"16.5\""));
    EXPECT_THAT(r.out, HasSubstr("Edit1 (Edit) = \"10\""));
    EXPECT_THAT(r.out, HasSubstr("symbol block = B0205_TappedHole_1"));
}

TEST_F(CondScenario, TappedHoleCalculationShownWithDiagnostics) {
    MachineSwitch("ShowDebugInfo");
    const auto r =
        Try("B0205_TappedHole", "@dialog text 1012 2,4 16.4\n@dialog cancel\n", {}, Sample());
    EXPECT_THAT(r.out, HasSubstr("/B0205_TappedHole"));
    const auto ok = Try("B0205_TappedHole", "@dialog click ok\n", {}, Sample());
    EXPECT_THAT(ok.out, HasSubstr("C(不完全ねじ部)=0.5*(d-d1)*tan(60)=1.406"));
    EXPECT_THAT(ok.out, HasSubstr("A > B+C なので OK"));
}

TEST_F(CondScenario, BadDescriptionsLeaveTheDialogUsable) {
    // Unknown sections and keys, rules naming nothing, a missing data file, lines without the
    // wanted column, a look-up with too few parts, lists that drive themselves and each other,
    // a radio index that is no number and a stray "%" in a message.
    Describe("Bad", {"[Stray]",
                     "key=1",
                     "[error]",
                     "0=Nowhere<1,100% %d %n wrong",
                     "1=Edit1>Nowhere:Missing.dat,%s",
                     "2=$Edit1>=5,limit %s%s",
                     "[disabled]",
                     "0=Nowhere>1:Ghost,Radio9:3 List1=12:Radio1:7,8,9",
                     "[enabled]",
                     "0=garbage",
                     "[List1]",
                     "caption=a",
                     "data=Self.dat",
                     "control=List1",
                     "[List2]",
                     "caption=b",
                     "data=Two.dat",
                     "[List3]",
                     "caption=c",
                     "data=Three.dat",
                     "[Radio1]",
                     "selection=u,v,w",
                     "default=abc",
                     "data=List1:Self.dat,Missing.dat",
                     "enabled=abc:Ghost 1:Radio1:9",
                     "[ComboList1]",
                     "data=Missing.dat",
                     "[Edit1]",
                     "caption=e",
                     "default=3",
                     "disabled=x:y:z",
                     "[Edit2]",
                     "[Quality]",
                     "material=Missing.dat",
                     "[Label1]",
                     "[List4]",
                     "data=Missing.dat",
                     "[Check1]",
                     "symbol=a,b,c",
                     "default=junk"});
    Data("Self.dat", {"$Pair List1:Label1", "M10,Self.dat,more", "M12", ",,,"});
    Data("Two.dat", {"$Pair List3", "a,p,q", "b,r"});
    Data("Three.dat", {"$Pair List2", "p,x,y", "s,t"});
    const auto r = Try("Bad", "@wait 600\n@dialog select 1021 #1\n@dialog select 1022 a\n"
                              "@dialog select 1023 q\n@dialog click 1012 2,3\n"
                              "@dialog click 1012 2,1\n@dialog click ok\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("--- Bad: OK"));
    EXPECT_THAT(r.out, HasSubstr("Radio1 (Radio) = \"0\""));
    EXPECT_THAT(r.out, HasSubstr("Edit1 (Edit) = \"3\""));
    // List2's line refilled List3 with its remaining items.
    EXPECT_THAT(r.out, HasSubstr("List2 (List) = \"a\""));
    EXPECT_THAT(r.out, HasSubstr("List3 (List) = \"q\""));
}

TEST_F(CondScenario, MissingPartsAndArgumentsAreReported) {
    Describe("P", {"[Edit1]", "caption=x"});
    auto r = Try("Nothing", "");
    EXPECT_THAT(r, ztest::ExitsWith(1));
    EXPECT_THAT(r.out, HasSubstr("no description"));
    r = ztest::Zorma({"library", "try", "--addon", ztest::BuiltAddon().string(), "--user-dir",
                      (Dir() / "user").string()});
    EXPECT_THAT(r, ztest::ExitsWith(2));
    EXPECT_THAT(r.out, HasSubstr("which part?"));
}

} // namespace

namespace {

// The "grid ..." lines of the transcript: the grid's state when the dialog opened and after
// each action.
std::vector<std::string> GridLines(const std::string& out) {
    std::vector<std::string> lines;
    for (size_t at = out.find("  grid 1012"); at != std::string::npos;
         at = out.find("  grid 1012", at + 1))
        lines.push_back(out.substr(at, out.find('\n', at) - at));
    return lines;
}

class CondKeys : public CondScenario {};

TEST_F(CondKeys, TabMovesBetweenButtonsGridAndLists) {
    DescribeLayoutPart();
    // Rows: Radio1 1, Radio2 2-4, Check1 5, Edit1 6, Edit2 7.
    const auto r = Try("P", "@dialog key tab 1006\n@dialog key tab\n@dialog key tab\n"
                            "@dialog key shift+tab 1021\n@dialog key escape\n");
    EXPECT_THAT(r, ztest::ExitsWith(1));
    EXPECT_THAT(r.out, HasSubstr("--- P: cancelled"));
    const std::vector<std::string> grid = GridLines(r.out);
    ASSERT_GE(grid.size(), 5u);
    // From the last picture button into the grid's first row...
    EXPECT_THAT(grid[1], HasSubstr("active 2,1) <focus>"));
    // ...then to the next control's row (the three rows of Radio2 are one control)...
    EXPECT_THAT(grid[2], HasSubstr("active 2,2) <focus>"));
    EXPECT_THAT(grid[3], HasSubstr("active 2,5) <focus>"));
    // ...and Shift+Tab from the first list box back to the grid's last row.
    EXPECT_THAT(grid[4], HasSubstr("active 2,7) <focus>"));
}

TEST_F(CondKeys, ReturnPressesOkEvenInTheGrid) {
    DescribeLayoutPart();
    const auto r = Try("P", "@dialog text 1012 2,6 8\n@dialog key return\n");
    ASSERT_THAT(r, ztest::ExitsWith(0));
    EXPECT_THAT(r.out, HasSubstr("Edit1 (Edit) = \"8\""));
}

} // namespace
