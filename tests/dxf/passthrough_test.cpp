// Kinds the host does not model are kept through a load and a save: ezdxf makes drawings with
// them, ours reads and writes them back, and ezdxf sees the same content in both files.
#include "test_drawings.h"

#include "support/ezdxf.h"
#include "support/temp_folder.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

#include <algorithm>

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

std::string describe(const std::filesystem::path& file) {
    const ztest::ProcessResult r =
        ztest::RunPython("tests/dxf/unmodelled.py", {"describe", file.string()});
    EXPECT_EQ(0, r.exitCode) << r.transcript;
    return r.out;
}

bool has(const std::map<std::string, int>& kinds, const char* kind) {
    return kinds.count(kind) > 0;
}

std::map<std::wstring, std::wstring> withoutHeader(std::map<std::wstring, std::wstring> dumps) {
    std::erase_if(dumps, [](const auto& kv) {
        return kv.second.find(L"type: HEADER") != std::wstring::npos;
    });
    return dumps;
}

class UnmodelledKinds : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(UnmodelledKinds, RoundTripKeepsWhatEzdxfSees) {
    SKIP_WITHOUT_EZDXF();
    ztest::TempFolder folder;
    const auto original = folder / "made by ezdxf.dxf";
    const auto saved = folder / "saved.dxf";
    const ztest::ProcessResult made =
        ztest::RunPython("tests/dxf/unmodelled.py", {"make", original.string(), GetParam()});
    ASSERT_EQ(0, made.exitCode) << made.transcript;

    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(original, db, report)) << toUtf8(report.message);
    for (const char* kind : {"MESH", "IMAGE", "WIPEOUT", "IMAGEDEF", "XRECORD", "DIMENSION",
                             "DIMSTYLE", "VIEW", "UCS", "LAYOUT"})
        EXPECT_TRUE(has(report.keptKinds, kind)) << kind;
    EXPECT_EQ(0, report.skippedEntities);
    // The mesh inside the block is an entity of the block, not of model space.
    ObjectId blockId;
    ASSERT_OK(db.getBlockId(L"MESHBLOCK", blockId));
    EXPECT_EQ(1, entityCounts(db, blockId)[L"MESH"]);
    EXPECT_EQ(1, entityCounts(db, db.modelSpaceId())[L"MESH"]);

    ASSERT_OK(dxf::writeDxf(db, saved));
    const std::string before = describe(original);
    ASSERT_NE(std::string::npos, before.find("errors 0\n")) << before;
    EXPECT_EQ(before, describe(saved));
    EXPECT_TRUE(ztest::PassesEzdxfAudit(saved));

    // A second round through our own reader and writer changes nothing more (but the header
    // record, which holds what the first save wrote).
    Database again;
    ASSERT_OK(dxf::readDxf(saved, again, report)) << toUtf8(report.message);
    EXPECT_EQ(withoutHeader(dumpsByHandle(db)), withoutHeader(dumpsByHandle(again)));
}

INSTANTIATE_TEST_SUITE_P(Versions, UnmodelledKinds, ::testing::Values("R2000", "R2018"));

TEST(KeptRecords, PointersFollowTheObjectsTheyName) {
    // A kept entity naming a text style and a layer: the style gets another handle, the layer is
    // erased; the written entity names the style by its new handle and the layer no more.
    Database db;
    ObjectId style, layer, id;
    {
        ObjectPtr<TextStyleTable> st(db.textStyleTableId(), OpenMode::forWrite);
        ASSERT_OK(st->add(std::make_unique<TextStyleTableRecord>(L"NOTE"), style));
    }
    ASSERT_OK(db.addLayer(L"GONE", layer));
    RawRecord r;
    r.kind = L"MULTILEADER";
    r.body.add(100, "AcDbMLeader");
    r.body.addReference(340, "ABC");
    r.body.addReference(341, "DEF");
    r.body.addReference(342, "77");
    r.body.setReference(1, style);
    r.body.setReference(2, layer);
    ASSERT_OK(db.appendToModelSpace(std::make_unique<RawEntity>(std::move(r)), id));
    ASSERT_OK(db.setHandle(style, Handle(0x4242)));
    ASSERT_OK(ObjectPtr<LayerTableRecord>(layer, OpenMode::forWrite)->erase());

    std::string text;
    ASSERT_OK(dxf::writeDxfText(db, text));
    const std::size_t at = text.find("AcDbMLeader\n");
    ASSERT_NE(std::string::npos, at);
    const std::string expected = "AcDbMLeader\n340\n4242\n341\n0\n342\n77\n";
    EXPECT_EQ(expected, text.substr(at, expected.size()));
}

TEST(KeptRecords, ADimensionKeepsItsBlockFromPurge) {
    // A kept dimension names its picture's block by name only; purge must still see it used.
    Database db;
    ObjectId dimBlock, unused, id;
    ASSERT_OK(db.addBlock(L"*D1", dimBlock));
    ASSERT_OK(db.addBlock(L"UNUSED", unused));
    RawRecord r;
    r.kind = L"DIMENSION";
    r.body.add(100, "AcDbDimension");
    r.body.add(2, "*D1");
    ASSERT_OK(db.appendToModelSpace(std::make_unique<RawEntity>(std::move(r)), id));
    std::vector<ObjectId> ids{dimBlock, unused};
    ASSERT_OK(db.purge(ids));
    EXPECT_EQ(std::vector<ObjectId>{unused}, ids);
}
