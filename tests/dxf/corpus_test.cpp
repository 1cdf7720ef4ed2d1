// Real-world drawings of several programs (tests/dxf/corpus, sources and licences in SOURCES.md):
// each reads without failure, saves, and the saved copy holds for ezdxf every model-space entity
// of the original, kind by kind, with no more audit errors.
#include "test_drawings.h"

#include "support/ezdxf.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

#include <algorithm>

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> corpusFiles() {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(ztest::SourcePath("tests/dxf/corpus"))) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext == ".dxf")
            out.push_back(e.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Old-style 2D and 3D polylines are light-weight polylines in the host: the one change of kind.
std::map<std::string, int> comparable(std::map<std::string, int> counts) {
    counts["LWPOLYLINE"] += counts["POLYLINE"];
    counts.erase("POLYLINE");
    std::erase_if(counts, [](const auto& kv) { return kv.second == 0; });
    return counts;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST(CorpusFiles, AreThere) {
    EXPECT_GE(corpusFiles().size(), 30u);
}

TEST_P(Corpus, ReadsAndSavesWhatEzdxfSees) {
    const fs::path original = ztest::SourcePath("tests/dxf/corpus") / GetParam();
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(original, db, report)) << toUtf8(report.message);
    ztest::TempFolder folder;
    const fs::path saved = folder / "saved.dxf";
    ASSERT_OK(dxf::writeDxf(db, saved, dxf::sameVersionAs(report)));
    // What we saved reads back in ours with every entity.
    Database back;
    dxf::ReadReport again;
    ASSERT_OK(dxf::readDxf(saved, back, again)) << toUtf8(again.message);
    EXPECT_EQ(report.entitiesRead + report.keptEntities, again.entitiesRead + again.keptEntities);

    SKIP_WITHOUT_EZDXF();
    const ztest::EzdxfAudit before = ztest::AuditWithEzdxf(original);
    const ztest::EzdxfAudit after = ztest::AuditWithEzdxf(saved);
    if (!before.read)
        return; // a file ezdxf itself cannot read: ours reads it and reads its copy back
    ASSERT_TRUE(after.read) << after.run.transcript;
    // Every entity ezdxf finds in the original is in the copy (ezdxf drops entities whose
    // handles repeat, which ours keeps under new handles: the copy may hold more).
    const auto was = comparable(before.modelSpace), is = comparable(after.modelSpace);
    for (const auto& [kind, n] : was) {
        const auto it = is.find(kind);
        EXPECT_GE(it == is.end() ? 0 : it->second, n) << kind;
    }
    for (const auto& [kind, n] : is)
        EXPECT_TRUE(was.count(kind)) << "a kind the original lacks: " << kind;
    EXPECT_LE(after.errors, before.errors) << after.run.transcript;
}

INSTANTIATE_TEST_SUITE_P(RealFiles, Corpus, ::testing::ValuesIn(corpusFiles()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });
