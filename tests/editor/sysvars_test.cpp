#include "editor_fixture.h"

#include "support/status.h"

#include "zhost/core/utf.h"

using namespace zhost;
using zhost::test::EditorTest;

using SystemVariables = EditorTest;

TEST_F(SystemVariables, DefaultsOfTheVariablesTheAddOnUses) {
    int v = -1;
    for (auto [name, expected] :
         std::vector<std::pair<const wchar_t*, int>>{{L"CMDECHO", 1},
                                                     {L"ATTREQ", 1},
                                                     {L"SNAPMODE", 0},
                                                     {L"ORTHOMODE", 0},
                                                     {L"HPBOUND", 1},
                                                     {L"HPBOUNDRETAIN", 0},
                                                     {L"DELOBJ", 1},
                                                     {L"ERRNO", 0},
                                                     {L"DRAGMODEINTERRUPT", 1},
                                                     {L"INSUNITSDEFSOURCE", 4},
                                                     {L"2DCONSTRAINTFLAGS", 0},
                                                     {L"PICKBOX", 3}}) {
        ASSERT_OK(ed::getVarInt(name, v)) << toUtf8(name);
        EXPECT_EQ(v, expected) << toUtf8(name);
    }
    ASSERT_OK(ed::getVarInt(L"OSMODE", v));
    double size = 0;
    EXPECT_OK(ed::getVarReal(L"VIEWSIZE", size));
    EXPECT_GT(size, 0);
}

TEST_F(SystemVariables, DrawingVariablesLiveInTheDrawing) {
    ASSERT_OK(ed::setVarInt(L"pdmode", 98));
    int v = 0;
    ASSERT_OK(db.getInt(L"PDMODE", v));
    EXPECT_EQ(v, 98);
    std::wstring name;
    EXPECT_OK(ed::getVarString(L"DWGNAME", name));
    EXPECT_EQ(ed::setVarString(L"DWGNAME", L"x.dwg"), Status::notApplicable);
}

TEST_F(SystemVariables, ClearFailuresForUnknownNamesAndWrongTypes) {
    EXPECT_EQ(ed::setVarInt(L"NOSUCHVAR", 1), Status::keyNotFound);
    EXPECT_EQ(ed::setVarString(L"CMDECHO", L"1"), Status::invalidInput);
    EXPECT_EQ(ed::setVarInt(L"CMDECHO", 5), Status::invalidInput); // out of range
    ed::ResBuf r;
    EXPECT_EQ(ed::getVar(L"NOSUCHVAR", r), ed::Result::error);
    EXPECT_EQ(ed::setVar(L"CMDECHO", ed::ResBuf(ed::rt::real, 0.5)), ed::Result::error);
}

TEST_F(SystemVariables, ResultBuffersCarryTheVariablesType) {
    ed::ResBuf r;
    ASSERT_EQ(ed::getVar(L"OSMODE", r), ed::Result::normal);
    EXPECT_EQ(r.code, ed::rt::int16);
    ASSERT_EQ(ed::getVar(L"TEXTSIZE", r), ed::Result::normal);
    EXPECT_EQ(r.code, ed::rt::real);
    // An integer is accepted for a real variable, as the platform does.
    EXPECT_EQ(ed::setVar(L"TEXTSIZE", ed::ResBuf(ed::rt::int16, std::int32_t(5))),
              ed::Result::normal);
    EXPECT_DOUBLE_EQ(db.textSize(), 5.0);
}

TEST_F(SystemVariables, TextValuesFromScripts) {
    EXPECT_OK(ed::setVarFromText(L"ORTHOMODE", L"1"));
    EXPECT_EQ(ed::setVarFromText(L"ORTHOMODE", L"on"), Status::invalidInput);
    EXPECT_OK(ed::setVarFromText(L"LASTPOINT", L"1,2,3"));
    geom::Point3d p;
    ed::getVarPoint(L"LASTPOINT", p);
    EXPECT_EQ(p, geom::Point3d(1, 2, 3));
}

TEST(RealToString, DecimalModeWithPrecision) {
    std::wstring s;
    ASSERT_EQ(ed::rToS(25.0, ed::units::decimal, 2, s), ed::Result::normal);
    EXPECT_EQ(s, L"25.00");
    ed::rToS(-0.001, ed::units::decimal, 2, s);
    EXPECT_EQ(s, L"0.00");
    ed::rToS(12.5, ed::units::scientific, 2, s);
    EXPECT_EQ(s, L"1.25E+01");
    EXPECT_EQ(ed::rToS(1.0, 9, 2, s), ed::Result::rejected);
    EXPECT_EQ(ed::rToS(1.0, ed::units::decimal, 12, s), ed::Result::rejected);
}

TEST(Ucs, ConversionsRoundTrip) {
    ed::resetSession();
    ed::Ucs u;
    u.origin = {10, 0, 0};
    u.xAxis = {0, 1, 0};
    u.yAxis = {-1, 0, 0};
    ASSERT_EQ(ed::setCurrentUcs(u), ed::Result::normal);
    const geom::Point3d w = ed::ucsToWcs({1, 0, 0});
    EXPECT_NEAR(w.x, 10, 1e-12);
    EXPECT_NEAR(w.y, 1, 1e-12);
    EXPECT_NEAR(ed::ucsXAngle(), 3.141592653589793 / 2, 1e-12);
    geom::Point3d back;
    ASSERT_EQ(ed::trans(w, ed::coord::world, ed::coord::ucs, false, back), ed::Result::normal);
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 0, 1e-12);
    ASSERT_EQ(ed::trans({1, 0, 0}, ed::coord::ucs, ed::coord::world, true, back),
              ed::Result::normal);
    EXPECT_NEAR(back.x, 0, 1e-12); // a displacement ignores the origin
    EXPECT_NEAR(back.y, 1, 1e-12);
    EXPECT_EQ(ed::trans(w, 7, 0, false, back), ed::Result::rejected);
    ed::resetSession();
}
