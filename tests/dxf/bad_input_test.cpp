// Bad input: clear messages with line numbers, nothing half loaded, never a crash or a hang.
#include "test_drawings.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

std::string wrap(const std::string& entities, const char* version = "AC1027") {
    return std::string("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n") + version +
           "\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

Status load(const std::string& text, Database& db, dxf::ReadReport& report) {
    return dxf::readDxfText(text, db, report);
}

} // namespace

TEST(DxfBadInput, TruncatedFileFailsWithLineAndLeavesDatabaseNew) {
    Database src;
    buildSampleDrawing(src);
    std::string text;
    ASSERT_OK(dxf::writeDxfText(src, text));
    const std::wstring fresh = dumpDatabase(Database());
    for (std::size_t cut : {text.size() / 3, text.size() / 2, text.size() - 10}) {
        Database db;
        dxf::ReadReport report;
        EXPECT_EQ(Status::parseError, load(text.substr(0, cut), db, report)) << cut;
        EXPECT_GT(report.errorLine, 0);
        EXPECT_EQ(0u, report.message.rfind(L"line ", 0)) << toUtf8(report.message);
        EXPECT_EQ(fresh, dumpDatabase(db));
    }
}

TEST(DxfBadInput, CorruptNumberNamesItsLine) {
    Database db;
    dxf::ReadReport report;
    EXPECT_EQ(Status::parseError, load(wrap("0\nLINE\n8\n0\n10\n1.0x\n"), db, report));
    EXPECT_EQ(L"line 20: a finite number was expected", report.message);
    EXPECT_EQ(0, dxftest::entityCounts(db, db.modelSpaceId())[L"LINE"]);
}

TEST(DxfBadInput, NotADxfFile) {
    Database db;
    dxf::ReadReport report;
    EXPECT_EQ(Status::parseError, load("hello\nworld\n", db, report));
    EXPECT_EQ(Status::parseError, load("", db, report));
    EXPECT_EQ(Status::parseError, load("0\nLINE\n0\nEOF\n", db, report));
}

TEST(DxfBadInput, ReadingIntoAUsedDatabaseIsRefused) {
    Database db;
    ObjectId id;
    db.appendToModelSpace(std::make_unique<Line>(geom::Point3d(), geom::Point3d(1, 0)), id);
    dxf::ReadReport report;
    EXPECT_EQ(Status::invalidInput, load(wrap(""), db, report));
}

TEST(DxfBadInput, MissingEofIsAWarning) {
    Database db;
    dxf::ReadReport report;
    std::string text = wrap("0\nLINE\n8\n0\n10\n1\n20\n2\n11\n3\n21\n4\n");
    text.resize(text.size() - 6);
    EXPECT_OK(load(text, db, report));
    EXPECT_EQ(1u, report.warnings.size());
    EXPECT_EQ(1, report.entitiesRead);
}

TEST(DxfBadInput, UnknownEntitiesAreCountedAndKept) {
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(
        load(wrap("0\nMLINE\n8\n0\n0\nHELIX\n8\n0\n0\nMLINE\n8\n0\n0\nLINE\n8\n0\n"), db, report));
    EXPECT_EQ(3, report.keptEntities);
    EXPECT_EQ((std::map<std::string, int>{{"HELIX", 1}, {"MLINE", 2}}), report.keptKinds);
    EXPECT_EQ(0, report.skippedEntities);
    EXPECT_EQ(1, report.entitiesRead);
}

TEST(DxfBadInput, OddCodesNegativeCountsAndStraysNeverCrash) {
    const char* bodies[] = {
        "0\nLWPOLYLINE\n90\n-5\n70\n1\n",               // count without vertices
        "0\nLWPOLYLINE\n42\n1\n20\n5\n10\n1\n",         // bulge and y before any vertex
        "0\nHATCH\n91\n-3\n",                           // negative loop count
        "0\nHATCH\n91\n2\n92\n0\n93\n1000000\n72\n9\n", // huge edge count, bad edge type
        "0\nHATCH\n91\n1\n92\n2\n72\n1\n93\n-1\n10\n0\n20\n0\n",
        "0\nHATCH\n91\n1\n92\n0\n93\n1\n72\n4\n94\n3\n95\n99\n96\n2\n40\n0\n10\n1\n20\n1\n",
        "0\nSPLINE\n71\n3\n40\n0\n10\n0\n20\n0\n", // inconsistent knots
        "0\nSPLINE\n71\n-7\n72\n-1\n",
        "0\nATTRIB\n2\nX\n0\nVERTEX\n0\nSEQEND\n",       // strays
        "0\nINSERT\n66\n1\n2\n\n0\nATTRIB\n2\n\n1\nv\n", // no block name, empty tag
        "0\nINSERT\n2\n*Model_Space\n41\n0\n",           // a layout block, zero scale
        "0\nPOLYLINE\n70\n64\n0\nVERTEX\n10\n1\n",       // polyface, no SEQEND
        "0\nCIRCLE\n40\n-1\n0\nARC\n40\n0\n0\nELLIPSE\n40\n0\n11\n0\n",
        "0\nTEXT\n72\n99\n73\n-4\n1\nx\n0\nMTEXT\n71\n55\n3\nabc\n",
        "0\nLINE\n62\n9999\n370\n7\n48\n-1\n1001\nNOAPP\n1002\n}\n1070\n99999\n",
        "0\nLINE\n1010\n1\n1020\n2\n1001\nAPP\n1020\n5\n1040\n1\n",
        "0\nLINE\n8\n\xff\xfe\n1\n\xc3\x28\n",    // invalid UTF-8
        "0\nLINE\n102\n{ACAD_REACTORS\n330\n1\n", // unclosed 102 group
        "0\nREGION\n70\n1\n1001\nZHOST_REGION\n1070\n1\n1071\n-4\n",
        "0\nREGION\n1001\nZHOST_REGION\n1070\n1\n1010\n0\n1071\n1\n1071\n2000000000\n",
        "0\n\n0\nLINE\n", // empty entity name
    };
    for (const char* body : bodies) {
        Database db;
        dxf::ReadReport report;
        EXPECT_OK(load(wrap(body), db, report)) << body << toUtf8(report.message);
    }
}

TEST(DxfBadInput, InvalidCodePageBytesBecomeReplacementCharacters) {
    Database db;
    dxf::ReadReport report;
    const std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$DWGCODEPAGE\n3\nANSI_932\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n0\nTEXT\n1\nA\x81\n0\nENDSEC\n0\nEOF\n";
    ASSERT_OK(load(text, db, report));
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    ObjectPtr<Text> t(ms->entityIds().at(0), OpenMode::forRead);
    EXPECT_EQ(L'A', t->textString().front());
    EXPECT_EQ(wchar_t(0xFFFD), t->textString().back());
}

TEST(DxfBadInput, CyclicDictionariesDoNotHang) {
    Database db;
    dxf::ReadReport report;
    const std::string text = "0\nSECTION\n2\nOBJECTS\n"
                             "0\nDICTIONARY\n5\nA\n3\nMINE\n350\nB\n"
                             "0\nDICTIONARY\n5\nB\n330\nA\n3\nBACK\n350\nA\n3\nSELF\n350\nB\n"
                             "0\nENDSEC\n0\nEOF\n";
    EXPECT_OK(load(text, db, report));
}

TEST(DxfBadInput, MissingFileIsFileNotFound) {
    Database db;
    dxf::ReadReport report;
    EXPECT_EQ(Status::fileNotFound, dxf::readDxf("/nonexistent/x.dxf", db, report));
    EXPECT_FALSE(report.message.empty());
}
