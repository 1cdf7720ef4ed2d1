// What other programs write of polyline widths and forms, true colours, transparencies,
// thicknesses and hatch patterns, read from tags written by hand; odd values are warnings.
#include "test_drawings.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

// An R12 file: no handles, no subclass markers, no code page.
std::string r12(const std::string& entities) {
    return "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n"
           "0\nSECTION\n2\nENTITIES\n" +
           entities + "0\nENDSEC\n0\nEOF\n";
}

std::vector<ObjectId> modelSpace(const Database& db) {
    return ObjectPtr<BlockTableRecord>(db.modelSpaceId(), OpenMode::forRead)->entityIds();
}

bool warned(const dxf::ReadReport& r, const std::wstring& words) {
    for (const dxf::ReadWarning& w : r.warnings)
        if (w.text.find(words) != std::wstring::npos)
            return true;
    return false;
}

} // namespace

TEST(DxfNativeRead, OldPolylinesKeepWidthsElevationAndZ) {
    // A flat polyline whose defaults taper 1 → 2, one vertex with widths of its own and a
    // bulge; a 3D polyline with a z per vertex; a polyface mesh, kept as read.
    const std::string text = r12("0\nPOLYLINE\n8\nA\n66\n1\n10\n0\n20\n0\n30\n4.5\n70\n1\n"
                                 "40\n1\n41\n2\n"
                                 "0\nVERTEX\n8\nA\n10\n0\n20\n0\n30\n0\n"
                                 "0\nVERTEX\n8\nA\n10\n5\n20\n0\n30\n0\n40\n0\n41\n3\n42\n1\n"
                                 "0\nVERTEX\n8\nA\n10\n5\n20\n5\n30\n0\n0\nSEQEND\n8\nA\n"
                                 "0\nPOLYLINE\n8\nB\n66\n1\n70\n8\n"
                                 "0\nVERTEX\n8\nB\n10\n0\n20\n0\n30\n-2\n70\n32\n"
                                 "0\nVERTEX\n8\nB\n10\n1\n20\n1\n30\n6\n70\n32\n0\nSEQEND\n"
                                 "0\nPOLYLINE\n8\nC\n66\n1\n70\n64\n71\n3\n72\n1\n"
                                 "0\nVERTEX\n10\n0\n20\n0\n30\n0\n70\n192\n"
                                 "0\nVERTEX\n10\n1\n20\n0\n30\n0\n70\n192\n"
                                 "0\nVERTEX\n10\n0\n20\n1\n30\n0\n70\n192\n"
                                 "0\nVERTEX\n10\n0\n20\n0\n30\n0\n70\n128\n71\n1\n72\n2\n73\n3\n"
                                 "0\nSEQEND\n");
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, db, report)) << toUtf8(report.message);
    EXPECT_EQ(report.keptKinds["POLYLINE"], 1);
    EXPECT_EQ(report.modelledKinds["POLYLINE"], 2);
    const std::vector<ObjectId> ids = modelSpace(db);
    ASSERT_EQ(ids.size(), 3u);
    ObjectPtr<Polyline> flat(ids[0], OpenMode::forRead);
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->form(), PolylineForm::flat);
    EXPECT_DOUBLE_EQ(flat->elevation(), 4.5);
    ASSERT_TRUE(flat->hasVertexWidths());
    EXPECT_EQ(flat->startWidthAt(0), 1);
    EXPECT_EQ(flat->endWidthAt(0), 2);
    EXPECT_EQ(flat->startWidthAt(1), 0);
    EXPECT_EQ(flat->endWidthAt(1), 3);
    EXPECT_EQ(flat->bulgeAt(1), 1);
    ObjectPtr<Polyline> space(ids[1], OpenMode::forRead);
    ASSERT_TRUE(space);
    EXPECT_EQ(space->form(), PolylineForm::space);
    EXPECT_EQ(space->pointAt(0).z, -2);
    EXPECT_EQ(space->pointAt(1).z, 6);

    // Written and read again, nothing of it changes.
    std::string saved;
    ASSERT_OK(dxf::writeDxfText(db, saved));
    Database back;
    ASSERT_OK(dxf::readDxfText(saved, back, report)) << toUtf8(report.message);
    const std::vector<ObjectId> again = modelSpace(back);
    ASSERT_EQ(again.size(), 3u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(dumpObject(*ObjectPtr<Entity>(again[i], OpenMode::forRead)),
                  dumpObject(*ObjectPtr<Entity>(ids[i], OpenMode::forRead)));
}

TEST(DxfNativeRead, TrueColourBitsTransparencyAndThicknessWhereTheyFit) {
    // 420 with the high byte programs set (0xC2 as a negative number), a colour-book name,
    // a transparency, a thickness on a circle; then values that do not fit, which warn and
    // leave the entity otherwise whole.
    const std::string text = r12("0\nCIRCLE\n8\n0\n62\n1\n420\n-1023442944\n430\nBOOK$RED\n"
                                 "440\n33554559\n39\n2.5\n10\n1\n20\n2\n40\n3\n"
                                 "0\nELLIPSE\n8\n0\n39\n4\n440\n7\n10\n0\n20\n0\n11\n2\n21\n0\n"
                                 "40\n0.5\n");
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, db, report)) << toUtf8(report.message);
    const std::vector<ObjectId> ids = modelSpace(db);
    ASSERT_EQ(ids.size(), 2u);
    ObjectPtr<Entity> circle(ids[0], OpenMode::forRead);
    EXPECT_EQ(circle->colorIndex(), 1);
    EXPECT_EQ(circle->trueColor(), 0xFF8000u);
    EXPECT_EQ(circle->colorName(), L"BOOK$RED");
    EXPECT_EQ(circle->transparency(), transparency::fromAlpha(127));
    EXPECT_EQ(circle->thickness(), 2.5);
    ObjectPtr<Ellipse> ellipse(ids[1], OpenMode::forRead);
    ASSERT_TRUE(ellipse);
    EXPECT_EQ(ellipse->thickness(), 0);
    EXPECT_EQ(ellipse->transparency(), transparency::byLayer);
    EXPECT_DOUBLE_EQ(ellipse->geometry().radiusRatio, 0.5);
    EXPECT_TRUE(warned(report, L"has no thickness"));
    EXPECT_TRUE(warned(report, L"transparency 7"));
}

TEST(DxfNativeRead, HatchPatternLinesAndGradientComeBack) {
    const std::string hatch =
        "0\nHATCH\n5\n30\n100\nAcDbEntity\n8\n0\n100\nAcDbHatch\n10\n0\n20\n0\n30\n0\n"
        "210\n0\n220\n0\n230\n1\n2\nMINE\n70\n0\n71\n0\n91\n1\n92\n3\n72\n0\n73\n1\n93\n3\n"
        "10\n0\n20\n0\n10\n10\n20\n0\n10\n0\n20\n10\n97\n0\n75\n0\n76\n2\n52\n0\n41\n1\n77\n0\n"
        "78\n3\n53\n45\n43\n0\n44\n0\n45\n-1\n46\n1\n79\n2\n49\n2\n49\n-0.5\n"
        "53\n135\n43\n0.5\n44\n0\n45\n1\n46\n1\n79\n0\n98\n0\n"
        "450\n1\n451\n0\n460\n0.5\n461\n1\n452\n0\n462\n0.25\n453\n2\n463\n0\n63\n5\n421\n255\n"
        "463\n1\n421\n16711680\n470\nCYLINDER\n";
    const std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1032\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" +
        hatch + "0\nENDSEC\n0\nEOF\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, db, report)) << toUtf8(report.message);
    // Three families announced, two given: the two are kept and the shortfall reported.
    EXPECT_TRUE(warned(report, L"fewer line families"));
    const std::vector<ObjectId> ids = modelSpace(db);
    ASSERT_EQ(ids.size(), 1u);
    ObjectPtr<Hatch> h(ids[0], OpenMode::forRead);
    ASSERT_TRUE(h);
    ASSERT_EQ(h->patternLines().size(), 2u);
    const HatchPatternLine& first = h->patternLines()[0];
    EXPECT_NEAR(first.angle, 0.785398163397448, 1e-12);
    EXPECT_EQ(first.offset, geom::Vector3d(-1, 1, 0));
    EXPECT_EQ(first.dashes, (std::vector<double>{2, -0.5}));
    EXPECT_EQ(h->patternLines()[1].base, geom::Point3d(0.5, 0, 0));
    ASSERT_TRUE(h->gradient());
    const HatchGradient& g = *h->gradient();
    EXPECT_EQ(g.name, L"CYLINDER");
    EXPECT_EQ(g.angle, 0.5);
    EXPECT_EQ(g.shift, 1);
    EXPECT_EQ(g.tint, 0.25);
    ASSERT_EQ(g.colors.size(), 2u);
    EXPECT_EQ(g.colors[0], (HatchGradientColor{255, 5}));
    EXPECT_EQ(g.colors[1], (HatchGradientColor{0xFF0000, -1}));

    std::string saved;
    ASSERT_OK(dxf::writeDxfText(db, saved));
    Database back;
    ASSERT_OK(dxf::readDxfText(saved, back, report)) << toUtf8(report.message);
    EXPECT_EQ(dumpObject(*ObjectPtr<Entity>(modelSpace(back).at(0), OpenMode::forRead)),
              dumpObject(*h));
}

TEST(DxfNativeRead, ClassesAreWrittenBackAndCommentsReported) {
    // A class of another program's objects and one the writer declares itself (LAYOUT); two
    // comments, which the host does not keep: they are reported with the line of the first.
    const std::string text =
        "999\nmade by hand\n0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1032\n0\nENDSEC\n"
        "0\nSECTION\n2\nCLASSES\n"
        "0\nCLASS\n1\nZORMA_THING\n2\nZormaThing\n3\nZorma\n90\n1153\n91\n4\n280\n0\n281\n0\n"
        "0\nCLASS\n1\nLAYOUT\n2\nAcDbLayout\n3\nObjectDBX Classes\n90\n0\n91\n2\n280\n0\n"
        "281\n0\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n999\nsecond\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n"
        "0\nENDSEC\n0\nEOF\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, db, report)) << toUtf8(report.message);
    EXPECT_TRUE(warned(report, L"2 comments (group code 999) are not kept"));
    ASSERT_FALSE(report.warnings.empty());
    EXPECT_EQ(report.warnings.front().line, 1u);
    EXPECT_EQ(report.keptObjects, 0); // the classes are no object of the drawing
    std::string saved;
    ASSERT_OK(dxf::writeDxfText(db, saved));
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = saved.find(what); at != std::string::npos;
             at = saved.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("\nZORMA_THING\n"), 1u);
    EXPECT_EQ(count("\nZormaThing\n"), 1u);
    EXPECT_EQ(count("  1\nLAYOUT\n"), 1u);        // the file's, not a second one of ours
    EXPECT_EQ(count("  1\nSORTENTSTABLE\n"), 1u); // ours, which the file lacked
    EXPECT_LT(saved.find("ZORMA_THING"), saved.find("SORTENTSTABLE"));
    // Read again, the classes are the same record.
    Database back;
    ASSERT_OK(dxf::readDxfText(saved, back, report)) << toUtf8(report.message);
    std::string again;
    ASSERT_OK(dxf::writeDxfText(back, again));
    EXPECT_EQ(again.substr(again.find("CLASSES"), again.find("TABLES") - again.find("CLASSES")),
              saved.substr(saved.find("CLASSES"), saved.find("TABLES") - saved.find("CLASSES")));
}
