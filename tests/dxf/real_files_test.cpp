// What real files write: missing code pages, handles and owners, text after EOF, and the
// drafting kinds of old drawings.
#include "test_drawings.h"

#include "text_codec.h"

#include "zhost/core/utf.h"
#include "zhost/db/drafting.h"
#include "zhost/dxf/dxf.h"
#include "zhost/geom/curves.h"

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

// An R12 file: header variables (may be empty), then entities.
std::string r12(const std::string& header, const std::string& entities) {
    return "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n" + header +
           "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

std::string lineOnLayer(const std::string& layerBytes) {
    return "0\nLINE\n8\n" + layerBytes + "\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n";
}

bool hasLayer(const Database& db, const std::wstring& name) {
    ObjectId id;
    return ok(db.getLayerId(name, id));
}

std::string headerOf(const std::string& dxf) {
    return dxf.substr(0, dxf.find("ENDSEC"));
}

} // namespace

TEST(DxfCodePage, FilesWithoutOneAreWesternUnlessTheBytesAreClearlyJapanese) {
    struct Case {
        const char* header;
        std::string layer;    // bytes
        std::wstring decoded; // the layer name read
        int codePage;
    };
    const Case cases[] = {
        {"", "T\xdcRH\xd6HE", L"TÜRHÖHE", 1252},
        {"9\n$DWGCODEPAGE\n3\nUNDEFINED\n", "T\xdcRH\xd6HE", L"TÜRHÖHE", 1252},
        {"",
         "Gr\xf6\xdf"
         "e",
         L"Größe", 1252},
        {"", "\x8a\x4f\x8c\x60\x90\xfc", L"外形線", 932}, // 0x90 is no 1252 character
        {"9\n$DWGCODEPAGE\n3\nUNDEFINED\n", "\x82\xcb\x82\xb6", L"ねじ", 932},
        {"9\n$DWGCODEPAGE\n3\nANSI_932\n", "\xc3\xa4", L"ﾃ､", 932}, // the file's word wins
        {"9\n$DWGCODEPAGE\n3\nANSI_1252\n", "\x82\xcb\x82\xb6", L"‚Ë‚¶", 1252},
    };
    for (const Case& c : cases) {
        Database db;
        dxf::ReadReport report;
        ASSERT_OK(dxf::readDxfText(r12(c.header, lineOnLayer(c.layer)), db, report))
            << toUtf8(report.message);
        EXPECT_EQ(c.codePage, report.codePage) << toUtf8(c.decoded);
        EXPECT_TRUE(hasLayer(db, c.decoded)) << toUtf8(c.decoded);
        // A save declares the code page the text was read in.
        std::string out;
        ASSERT_OK(dxf::writeDxfText(db, out));
        const std::string name = c.codePage == 932 ? "ANSI_932" : "ANSI_1252";
        EXPECT_NE(std::string::npos, headerOf(out).find("$DWGCODEPAGE\n  3\n" + name + "\n"))
            << headerOf(out);
    }
}

TEST(DxfCodePage, GuessNeedsValidJapaneseAndClearEvidence) {
    EXPECT_EQ(1252, dxf::guessCodePage("plain ASCII"));
    EXPECT_EQ(1252, dxf::guessCodePage("\xb1\xb2\xb3"));         // katakana alone: no evidence
    EXPECT_EQ(1252, dxf::guessCodePage("caf\xe9\n"));            // no trail byte after the lead
    EXPECT_EQ(1252, dxf::guessCodePage("\xe9t\xe9 \xe0 Paris")); // leads before letters
    EXPECT_EQ(1252, dxf::guessCodePage("\x82\xcb\xff"));         // 0xFF is never 932
    EXPECT_EQ(932, dxf::guessCodePage("M10 \x83\x7b\x83\x8b\x83\x67")); // ボルト
    EXPECT_EQ(932, dxf::guessCodePage("\x8a\x4f\x8c\x60"));             // 外形
}

TEST(DxfRealFiles, TextAfterEofIsIgnoredWithAWarning) {
    Database db;
    dxf::ReadReport report;
    const std::string text = r12("", lineOnLayer("0")) + "garbage that is no DXF\n\x1a";
    ASSERT_OK(dxf::readDxfText(text, db, report)) << toUtf8(report.message);
    EXPECT_EQ(1, report.entitiesRead);
    ASSERT_EQ(1u, report.warnings.size());
    EXPECT_EQ("eof", report.warnings[0].code);
    EXPECT_NE(std::wstring::npos, report.warnings[0].text.find(L"after the EOF"))
        << toUtf8(report.warnings[0].text);
}

// Entities whose data the host cannot use are kept as read, and the report says so: no warning
// may call dropped what the copy will hold. A polyface mesh is a kind the host does not model, no
// fault of the file: kept without a warning.
TEST(DxfRealFiles, WhatCannotBeModelledIsReportedAsKept) {
    const std::string entities =
        "0\nCIRCLE\n8\n0\n10\n1\n20\n1\n30\n0\n40\n0\n"
        "0\nLWPOLYLINE\n8\n0\n90\n0\n70\n0\n"
        "0\nPOLYLINE\n8\n0\n66\n1\n70\n64\n71\n3\n72\n1\n"
        "0\nVERTEX\n8\n0\n10\n0\n20\n0\n30\n0\n70\n192\n"
        "0\nVERTEX\n8\n0\n10\n1\n20\n0\n30\n0\n70\n192\n"
        "0\nVERTEX\n8\n0\n10\n0\n20\n1\n30\n0\n70\n192\n"
        "0\nVERTEX\n8\n0\n10\n0\n20\n0\n30\n0\n70\n128\n71\n1\n72\n2\n73\n3\n"
        "0\nSEQEND\n8\n0\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(r12("", entities), db, report)) << toUtf8(report.message);
    EXPECT_EQ(3, report.keptEntities);
    EXPECT_EQ((std::map<std::string, int>{{"CIRCLE", 1}, {"LWPOLYLINE", 1}, {"POLYLINE", 1}}),
              report.keptKinds);
    ASSERT_EQ(2u, report.warnings.size());
    for (const dxf::ReadWarning& w : report.warnings)
        EXPECT_NE(std::wstring::npos, w.text.find(L"kept as read")) << toUtf8(w.text);
}

TEST(DxfRealFiles, EntitiesWithoutOwnersBelongWhereTheSectionPutsThem) {
    // Block records without handles and entities without owners (some survey instruments and
    // point-cloud programs write these): the model space must not come back empty.
    const std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n"
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nBLOCK_RECORD\n70\n2\n"
        "0\nBLOCK_RECORD\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n2\n*Model_Space\n"
        "0\nBLOCK_RECORD\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n2\n*Paper_Space\n"
        "0\nENDTAB\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n"
        "0\nLINE\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n10\n0\n20\n0\n30\n0\n11\n5\n21\n5\n31\n0\n"
        "0\nPOINT\n5\nA1\n330\nFFF\n100\nAcDbEntity\n8\n0\n100\nAcDbPoint\n10\n1\n20\n2\n30\n0\n"
        "0\nCIRCLE\n100\nAcDbEntity\n67\n1\n8\n0\n100\nAcDbCircle\n10\n0\n20\n0\n30\n0\n40\n1\n"
        "0\nENDSEC\n0\nEOF\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, db, report)) << toUtf8(report.message);
    auto model = entityCounts(db, db.modelSpaceId());
    EXPECT_EQ(1, model[L"LINE"]);
    EXPECT_EQ(1, model[L"POINT"]); // its owner FFF names nothing
    EXPECT_EQ(1, entityCounts(db, db.paperSpaceId())[L"CIRCLE"]);
    EXPECT_EQ(1, report.repaired);
}

TEST(DxfDrafting, OldDrawingsFilledShapesFacesAndConstructionLinesAreModelled) {
    // R12 without subclass markers; the SOLID lies in the plane of normal -Z (its corners are
    // in that object coordinate system, x mirrored). The 3DLINE of drawings before R11 is a
    // LINE: no later version knows the kind.
    const std::string entities =
        "0\nSOLID\n8\n0\n10\n1\n20\n2\n30\n3\n11\n4\n21\n2\n31\n3\n12\n1\n22\n6\n32\n3\n"
        "210\n0\n220\n0\n230\n-1\n"
        "0\nTRACE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n0\n12\n0\n22\n1\n13\n1\n23\n1\n"
        "0\n3DFACE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n1\n12\n1\n22\n1\n32\n2\n"
        "13\n0\n23\n1\n33\n3\n70\n6\n"
        "0\nXLINE\n8\n0\n10\n5\n20\n5\n30\n0\n11\n0\n21\n2\n31\n0\n"
        "0\nRAY\n8\n0\n10\n1\n20\n1\n30\n1\n11\n3\n21\n4\n31\n0\n"
        "0\n3DLINE\n8\n0\n10\n5\n20\n9\n30\n0\n11\n6\n21\n10\n31\n1\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(r12("", entities), db, report)) << toUtf8(report.message);
    EXPECT_EQ(6, report.entitiesRead);
    EXPECT_EQ(0, report.keptEntities);
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    const auto ids = ms->entityIds();
    ASSERT_EQ(6u, ids.size());
    {
        ObjectPtr<Solid> s(ids[0], OpenMode::forRead);
        ASSERT_TRUE(s);
        EXPECT_EQ(geom::Point3d(-1, 2, -3), s->corners()[0]);
        EXPECT_EQ(geom::Point3d(-1, 6, -3), s->corners()[2]);
        EXPECT_EQ(s->corners()[2], s->corners()[3]); // a triangle
    }
    EXPECT_TRUE(ObjectPtr<Trace>(ids[1], OpenMode::forRead));
    {
        ObjectPtr<Face> f(ids[2], OpenMode::forRead);
        ASSERT_TRUE(f);
        EXPECT_EQ(geom::Point3d(0, 1, 3), f->corners()[3]);
        EXPECT_EQ(6, f->invisibleEdges());
    }
    {
        ObjectPtr<XLine> x(ids[3], OpenMode::forRead);
        ASSERT_TRUE(x);
        EXPECT_EQ(ObjectType::xline, x->type());
        EXPECT_EQ(geom::Vector3d(0, 1, 0), x->direction());
    }
    {
        ObjectPtr<Ray> r(ids[4], OpenMode::forRead);
        ASSERT_TRUE(r);
        EXPECT_NEAR(0.6, r->direction().x, 1e-12);
        EXPECT_NEAR(0.8, r->direction().y, 1e-12);
    }
    {
        ObjectPtr<Line> l(ids[5], OpenMode::forRead);
        ASSERT_TRUE(l);
        EXPECT_EQ(geom::Point3d(6, 10, 1), l->endPoint());
    }
}

TEST(DxfRealFiles, AnEllipseWithItsAxesSwappedIsTheSameCurve) {
    // Major axis 1 along x with ratio 2: the curve's long axis is y (2 long). Read back it has a
    // major axis of 2 and ratio 0.5, and its start and end points are where the file put them.
    const std::string entities = "0\nELLIPSE\n8\n0\n10\n5\n20\n5\n30\n0\n11\n1\n21\n0\n31\n0\n"
                                 "40\n2\n41\n0\n42\n1.5707963267948966\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(r12("", entities), db, report)) << toUtf8(report.message);
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    ASSERT_EQ(1u, ms->entityIds().size());
    ObjectPtr<Ellipse> e(ms->entityIds()[0], OpenMode::forRead);
    ASSERT_TRUE(e);
    const geom::EllipseArc g = e->geometry();
    EXPECT_NEAR(0.5, g.radiusRatio, 1e-12);
    EXPECT_NEAR(2, g.majorAxis.length(), 1e-12);
    // In the file: start at t=0 is centre + major = (6, 5); end at t=pi/2 is centre + minor,
    // minor = ratio * (n x major) = (0, 2): (5, 7).
    EXPECT_NEAR(0, e->startPoint().distanceTo(geom::Point3d(6, 5, 0)), 1e-9);
    EXPECT_NEAR(0, e->endPoint().distanceTo(geom::Point3d(5, 7, 0)), 1e-9);
    EXPECT_EQ(1, report.repaired);
}

TEST(DxfRealFiles, ASplineGivenByFitPointsOnlyPassesThroughThem) {
    const std::string entities = "0\nSPLINE\n8\n0\n70\n8\n71\n3\n74\n4\n"
                                 "11\n0\n21\n0\n31\n0\n11\n10\n21\n5\n31\n0\n"
                                 "11\n20\n21\n-5\n31\n0\n11\n30\n21\n0\n31\n0\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(r12("", entities), db, report)) << toUtf8(report.message);
    EXPECT_EQ(0, report.keptEntities);
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    ASSERT_EQ(1u, ms->entityIds().size());
    ObjectPtr<Spline> sp(ms->entityIds()[0], OpenMode::forRead);
    ASSERT_TRUE(sp);
    const geom::Spline& g = sp->geometry();
    EXPECT_FALSE(g.controlPoints.empty());
    ASSERT_EQ(4u, g.fitPoints.size());
    for (const geom::Point3d& fit : g.fitPoints) {
        geom::Point3d nearest;
        ASSERT_OK(geom::closestPointTo(g, fit, nearest));
        EXPECT_NEAR(0, nearest.distanceTo(fit), 1e-6);
    }
}
