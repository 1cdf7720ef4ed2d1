// Saving what was read: the version family, the code page, the header variables of the file, and
// the read report that the program prints.
#include "test_drawings.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

#include <algorithm>

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

std::string withHeader(const std::string& version, const std::string& variables,
                       const std::string& entities) {
    return "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + version + "\n" + variables +
           "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

// A line on the layer "TÜRHÖHE", its name in the bytes of the file's encoding.
std::string lineOn(const std::string& layer) {
    return "0\nLINE\n8\n" + layer + "\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n";
}
const std::string kLine = lineOn("T\xdcRH\xd6HE");

// The 1-based line on which `part` starts.
int lineOf(const std::string& text, const std::string& part) {
    const std::size_t at = text.find(part);
    return at == std::string::npos ? 0 : 1 + int(std::count(text.begin(), text.begin() + at, '\n'));
}

std::string header(const std::string& dxf) {
    return dxf.substr(0, dxf.find("ENDSEC"));
}

std::string readAndSave(const std::string& text, dxf::ReadReport& report) {
    Database db;
    EXPECT_OK(dxf::readDxfText(text, db, report)) << toUtf8(report.message);
    std::string out;
    EXPECT_OK(dxf::writeDxfText(db, out, dxf::sameVersionAs(report)));
    return out;
}

} // namespace

TEST(DxfSaveVersion, ASaveKeepsTheVersionFamilyRead) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"AC1009", "AC1015"}, {"AC1012", "AC1015"}, {"AC1015", "AC1015"},
                 {"AC1018", "AC1018"}, {"AC1021", "AC1021"}, {"AC1024", "AC1024"},
                 {"AC1027", "AC1027"}, {"AC1032", "AC1032"}};
    for (const auto& c : cases) {
        const bool utf8 = std::string(c.in) >= "AC1021";
        const std::string layer = utf8 ? toUtf8(L"TÜRHÖHE") : std::string("T\xdcRH\xd6HE");
        dxf::ReadReport report;
        const std::string out = readAndSave(withHeader(c.in, "", lineOn(layer)), report);
        EXPECT_NE(std::string::npos,
                  header(out).find("$ACADVER\n  1\n" + std::string(c.out) + "\n"))
            << c.in << "\n"
            << header(out);
        // The layer's text goes back in the code page it came in (1252 here) or in UTF-8.
        EXPECT_NE(std::string::npos, out.find("\n  8\n" + layer + "\n")) << c.in;
    }
}

TEST(DxfSaveVersion, AskedVersionsAndNamesAreParsed) {
    dxf::Version v{};
    EXPECT_TRUE(dxf::parseVersion("r2018", v));
    EXPECT_EQ(dxf::Version::r2018, v);
    EXPECT_TRUE(dxf::parseVersion("R12", v));
    EXPECT_EQ(dxf::Version::r2000, v);
    EXPECT_FALSE(dxf::parseVersion("R2019", v));
    EXPECT_FALSE(dxf::parseVersion("", v));
    EXPECT_STREQ("R2010", dxf::versionName(dxf::Version::r2010));
}

TEST(DxfSaveVersion, TheFilesHeaderVariablesAreKeptAndNoneAdded) {
    // $DIMASZ is no variable of the database; $INSUNITS is, but the file has none.
    dxf::ReadReport report;
    const std::string out = readAndSave(
        withHeader("AC1015", "9\n$DIMASZ\n40\n3.5\n9\n$LUPREC\n70\n3\n9\n$PROJECTNAME\n1\nBolt\n",
                   kLine),
        report);
    EXPECT_NE(std::string::npos, header(out).find("$DIMASZ\n 40\n3.5\n")) << header(out);
    EXPECT_NE(std::string::npos, header(out).find("$PROJECTNAME\n  1\nBolt\n")) << header(out);
    EXPECT_NE(std::string::npos, header(out).find("$LUPREC\n 70\n3\n")) << header(out);
    EXPECT_EQ(std::string::npos, header(out).find("$INSUNITS")) << header(out);
}

TEST(DxfSaveVersion, AVariableSetSinceTheReadIsWrittenEvenWhenTheFileLackedIt) {
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(withHeader("AC1015", "", kLine), db, report));
    ASSERT_OK(db.setVar(L"INSUNITS", std::int32_t(1))); // inches: not the default
    std::string out;
    ASSERT_OK(dxf::writeDxfText(db, out, dxf::sameVersionAs(report)));
    EXPECT_NE(std::string::npos, header(out).find("$INSUNITS\n 70\n1\n")) << header(out);
    // A drawing made in memory writes every variable it keeps.
    Database fresh;
    ASSERT_OK(dxf::writeDxfText(fresh, out));
    EXPECT_NE(std::string::npos, header(out).find("$INSUNITS")) << header(out);
}

TEST(DxfReadReport, SummaryCountsByKindAndListsWarningsWithCodes) {
    const std::string entities = std::string(kLine) + kLine +
                                 "0\nMESH\n8\n0\n100\nAcDbSubDMesh\n71\n2\n" // kept
                                 "0\nVERTEX\n8\n0\n";                        // stray
    const std::string text = withHeader("AC1015", "", entities) + "junk after EOF\n";
    dxf::ReadReport report;
    Database db;
    ASSERT_OK(dxf::readDxfText(text, db, report));
    const std::wstring all = dxf::formatReadReport(report, L"図面.dxf");
    EXPECT_NE(std::wstring::npos, all.find(L"read 図面.dxf: AC1015, code page 1252\n"))
        << toUtf8(all);
    EXPECT_NE(std::wstring::npos, all.find(L"  modelled: 2 entities (LINE 2), 0 objects\n"))
        << toUtf8(all);
    EXPECT_NE(std::wstring::npos, all.find(L"  kept as read: 1 entity, 0 objects (MESH 1)\n"))
        << toUtf8(all);
    EXPECT_NE(std::wstring::npos, all.find(L"  skipped: 1 entity, 0 objects (VERTEX 1)\n"))
        << toUtf8(all);
    const std::wstring stray = L"  warning [stray] line " +
                               std::to_wstring(lineOf(text, "0\nVERTEX")) +
                               L": a stray VERTEX is ignored\n";
    EXPECT_NE(std::wstring::npos, all.find(stray)) << toUtf8(all);
    const std::wstring eof = L"  warning [eof] line " + std::to_wstring(lineOf(text, "junk")) +
                             L": text after the EOF marker is ignored\n";
    EXPECT_NE(std::wstring::npos, all.find(eof)) << toUtf8(all);
    // Warnings come in the order of their lines; a short summary names how many it leaves out.
    EXPECT_LT(all.find(L"[stray]"), all.find(L"[eof]")) << toUtf8(all);
    const std::wstring one = dxf::formatReadReport(report, L"x.dxf", 1);
    EXPECT_NE(std::wstring::npos, one.find(L"  ... and 1 more warning\n")) << toUtf8(one);
    EXPECT_EQ(std::wstring::npos, one.find(L"[eof]")) << toUtf8(one);
}
