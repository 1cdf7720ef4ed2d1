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
        return kv.second.find(L"type: HEADER") != std::wstring::npos ||
               kv.second.find(L"type: CLASSES") != std::wstring::npos;
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
    for (const char* kind :
         {"MESH", "IMAGE", "WIPEOUT", "IMAGEDEF", "XRECORD", "DIMSTYLE", "VIEW", "UCS", "LAYOUT"})
        EXPECT_TRUE(has(report.keptKinds, kind)) << kind;
    EXPECT_TRUE(has(report.modelledKinds, "DIMENSION"));
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

TEST(KeptRecords, ADictionaryOfManyRecordsKeepsItsOrderThroughASave) {
    // Drawings hold dictionaries of very many records (a million XRECORDs is no rarity): every
    // record comes back under its key, in the file's order, whatever the order of the handles.
    constexpr int n = 20000;
    std::string objects = "0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n3\nMANY\n350\nD\n"
                          "0\nDICTIONARY\n5\nD\n330\nC\n100\nAcDbDictionary\n";
    std::string records;
    for (int i = 0; i < n; ++i) {
        // Keys in file order, handles running backwards.
        const std::string handle = toUtf8(Handle(0x100 + std::uint64_t(n - i)).toHex());
        objects += "3\nK" + std::to_string(i) + "\n350\n" + handle + "\n";
        records += "0\nXRECORD\n5\n" + handle + "\n330\nD\n100\nAcDbXrecord\n1\nrecord " +
                   std::to_string(i) + "\n";
    }
    const std::string text = "0\nSECTION\n2\nOBJECTS\n" + objects + records + "0\nENDSEC\n0\nEOF\n";

    auto keysOf = [](const Database& db) {
        std::vector<std::wstring> keys;
        ObjectPtr<Dictionary> root(db.namedObjectsDictionaryId(), OpenMode::forRead);
        ObjectId many;
        if (!root || !ok(root->getAt(L"MANY", many)))
            return keys;
        ObjectPtr<Dictionary> d(many, OpenMode::forRead);
        for (const auto& [key, id] : d->entries()) {
            ObjectPtr<RawObject> o(id, OpenMode::forRead);
            const RawTags& body = o->record().body;
            // The record's own text names its key's number.
            if (body.size() == 2 && body.value(1) == "record " + toUtf8(key.substr(1)))
                keys.push_back(key);
        }
        return keys;
    };
    Database first;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, first, report)) << toUtf8(report.message);
    EXPECT_EQ(n, report.keptObjects);
    std::string saved;
    ASSERT_OK(dxf::writeDxfText(first, saved));
    Database second;
    ASSERT_OK(dxf::readDxfText(saved, second, report)) << toUtf8(report.message);
    EXPECT_EQ(n, report.keptKinds["XRECORD"]);
    const std::vector<std::wstring> keys = keysOf(second);
    ASSERT_EQ(std::size_t(n), keys.size());
    for (int i : {0, 1, n / 2, n - 1})
        EXPECT_EQ(L"K" + std::to_wstring(i), keys[std::size_t(i)]);
    EXPECT_EQ(keys, keysOf(first));
}
