// Real-world drawings of several programs (tests/dxf/corpus, sources and licences in SOURCES.md):
// each reads without failure, draws a picture that is not blank when its model space has
// content, saves, and the saved copy holds for ezdxf every model-space entity of the original,
// kind by kind, with no more audit errors. Japanese drawings keep their text byte for byte.
#include "test_drawings.h"

#include "support/ezdxf.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"
#include "text_codec.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"
#include "zhost/preview/preview.h"

#include <algorithm>
#include <sstream>

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

// Pixels a picture of the model space colours: the renderer got something on the page.
int inkedPixels(const Database& db) {
    constexpr int kW = 160, kH = 120;
    std::vector<std::uint32_t> pixels(kW * kH, 0xFFFFFFFFu);
    const preview::PixelTarget target{pixels.data(), kW, kH, kW * 4};
    if (!ok(preview::renderToPixels(db, {}, target, {0, 0, kW, kH})))
        return -1;
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(),
                                          [](std::uint32_t p) { return p != 0xFFFFFFFFu; }));
}

class Corpus : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST(CorpusFiles, AreThere) {
    EXPECT_GE(corpusFiles().size(), 30u);
}

TEST_P(Corpus, ReadsDrawsAndSavesWhatEzdxfSees) {
    const fs::path original = ztest::SourcePath("tests/dxf/corpus") / GetParam();
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(original, db, report)) << toUtf8(report.message);
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (preview::modelExtents(db, x0, y0, x1, y1)) {
        EXPECT_GT(inkedPixels(db), 0) << "a blank picture of a model space with content";
    }
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
    // What we save is a file ezdxf reads, even from one it cannot read itself (odd names,
    // Jw_cad's tables, escapes it chokes on).
    ASSERT_TRUE(after.read) << after.run.transcript;
    if (!before.read)
        return;
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

namespace {

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> out;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

struct ModelText {
    std::wstring text, layer;
    bool operator==(const ModelText&) const = default;
};

std::vector<ModelText> modelTexts(const Database& db) {
    std::vector<ModelText> out;
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    for (ObjectId id : ms->entityIds()) {
        ObjectPtr<Text> t(id, OpenMode::forRead);
        if (t)
            out.push_back({t->textString(), t->layer()});
    }
    return out;
}

} // namespace

// Jw_cad writes R12 files in Shift-JIS without a code page in the header and without handles:
// their texts, layer names and linetype descriptions read as Japanese, and a save writes every
// line that holds Japanese back with the same bytes.
TEST(CorpusJapanese, JwCadDrawingsKeepTheirTextByteForByte) {
    struct Case {
        const char* file;
        std::vector<ModelText> texts;
        std::vector<std::wstring> layers;
    };
    const Case cases[] = {
        {"jwcad_basic_reopened.dxf",
         {{L"日本語 ABC", L"_0-0_0"}, {L"縦方向", L"_0-0_0"}},
         {L"_0-0_0", L"_0-2_"}},
        {"jwcad_settings_reopened.dxf", {}, {L"_2-5_層2-5", L"_f-f_層F-F"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path original = ztest::SourcePath("tests/dxf/corpus") / c.file;
        Database db;
        dxf::ReadReport report;
        ASSERT_OK(dxf::readDxf(original, db, report)) << toUtf8(report.message);
        EXPECT_EQ(932, report.codePage);
        EXPECT_EQ(c.texts, modelTexts(db));
        for (const std::wstring& layer : c.layers) {
            ObjectId id;
            EXPECT_OK(db.getLayerId(layer, id)) << toUtf8(layer);
        }

        ztest::TempFolder folder;
        const fs::path saved = folder / "saved.dxf";
        const dxf::WriteOptions options = dxf::sameVersionAs(report);
        EXPECT_EQ(932, options.codePage);
        ASSERT_OK(dxf::writeDxf(db, saved, options));
        const std::vector<std::string> copy = linesOf(readFile(saved.string()));
        EXPECT_NE(std::find(copy.begin(), copy.end(), "ANSI_932"), copy.end());
        int japanese = 0;
        for (const std::string& line : linesOf(readFile(original.string())))
            if (std::any_of(line.begin(), line.end(), [](char ch) { return ch & 0x80; })) {
                ++japanese;
                EXPECT_NE(std::find(copy.begin(), copy.end(), line), copy.end())
                    << "line missing from the copy: " << toUtf8(dxf::TextDecoder(932).decode(line));
            }
        EXPECT_GT(japanese, 0);

        Database back;
        dxf::ReadReport again;
        ASSERT_OK(dxf::readDxf(saved, back, again)) << toUtf8(again.message);
        EXPECT_EQ(c.texts, modelTexts(back));
    }
}
