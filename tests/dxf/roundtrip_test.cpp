// Read → write → read keeps the drawing: the databases are compared object by object.
#include "test_drawings.h"

#include "support/temp_folder.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

void expectSameObjects(const Database& a, const Database& b) {
    const auto da = dumpsByHandle(a), dbm = dumpsByHandle(b);
    for (const auto& [handle, dump] : da) {
        // The header and classes the file was read with live in their sections, not under a
        // handle.
        if (dump.starts_with(L"type: HEADER\n") || dump.starts_with(L"type: CLASSES\n"))
            continue;
        auto it = dbm.find(handle);
        if (it == dbm.end()) {
            ADD_FAILURE() << "object " << toUtf8(handle) << " is missing:\n" << toUtf8(dump);
            continue;
        }
        EXPECT_EQ(toUtf8(dump), toUtf8(it->second)) << "object " << toUtf8(handle);
    }
    // The copy may hold more only as kept records: what the writer adds for other programs (the
    // *Active viewport, the Standard dimension style, layouts, the header) is kept when read.
    for (const auto& [handle, dump] : dbm)
        EXPECT_TRUE(da.count(handle) || dump.find(L"\nbody: ") != std::wstring::npos)
            << "object " << toUtf8(handle) << " is new:\n"
            << toUtf8(dump);
}

Status roundTrip(const Database& src, Database& out, dxf::WriteOptions options = {}) {
    std::string text;
    Status s = dxf::writeDxfText(src, text, options);
    if (!ok(s))
        return s;
    dxf::ReadReport report;
    s = dxf::readDxfText(text, out, report);
    EXPECT_TRUE(report.message.empty()) << toUtf8(report.message);
    for (const auto& w : report.warnings)
        ADD_FAILURE() << "warning: line " << w.line << ": " << toUtf8(w.text);
    return s;
}

} // namespace

TEST(DxfRoundTrip, R2013KeepsEveryObject) {
    Database src;
    buildSampleDrawing(src);
    Database copy;
    ASSERT_OK(roundTrip(src, copy));
    expectSameObjects(src, copy);
}

TEST(DxfRoundTrip, R2000InCodePage932KeepsEveryObject) {
    Database src;
    buildSampleDrawing(src);
    Database copy;
    ASSERT_OK(roundTrip(src, copy, {dxf::Version::r2000, 932}));
    expectSameObjects(src, copy);
}

TEST(DxfRoundTrip, R2000InCodePage1252EscapesJapanese) {
    Database src;
    buildSampleDrawing(src);
    std::string text;
    ASSERT_OK(dxf::writeDxfText(src, text, {dxf::Version::r2000, 1252}));
    EXPECT_NE(text.find("\\U+5916"), std::string::npos); // 外 has no place in 1252
    Database copy;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, copy, report));
    expectSameObjects(src, copy);
}

TEST(DxfRoundTrip, SecondRoundTripChangesNothing) {
    Database src;
    buildSampleDrawing(src);
    Database once, twice;
    ASSERT_OK(roundTrip(src, once));
    ASSERT_OK(roundTrip(once, twice));
    expectSameObjects(once, twice);
}

TEST(DxfRoundTrip, ParametricBlockStillEvaluates) {
    Database src;
    buildSampleDrawing(src);
    Database copy;
    ASSERT_OK(roundTrip(src, copy));
    ObjectId pin;
    ASSERT_OK(copy.getBlockId(L"PIN", pin));
    ASSERT_TRUE(param::isParametric(pin));
    ASSERT_OK(param::setParameterExpression(pin, L"LEN", L"40"));
    ASSERT_OK(param::evaluate(pin));
    ObjectPtr<BlockTableRecord> b(pin, OpenMode::forRead);
    ObjectPtr<Line> line(b->entityIds().at(0), OpenMode::forRead);
    EXPECT_DOUBLE_EQ(40, line->endPoint().x);
}

TEST(DxfRoundTrip, GroupsAndDrawOrderSurvive) {
    Database src;
    buildSampleDrawing(src);
    Database copy;
    ASSERT_OK(roundTrip(src, copy));
    ObjectPtr<Dictionary> groups(copy.groupDictionaryId(), OpenMode::forRead);
    ObjectId gid;
    ASSERT_OK(groups->getAt(L"組1", gid));
    ObjectPtr<Group> g(gid, OpenMode::forRead);
    ASSERT_EQ(2, g->numEntities());
    EXPECT_EQ(L"ボルトと線", g->description());
    ObjectPtr<SortentsTable> sort;
    ASSERT_OK(copy.getSortentsTable(copy.modelSpaceId(), OpenMode::forRead, sort));
    ASSERT_TRUE(sort->isCustomOrder());
    ObjectPtr<BlockReference> first(sort->drawOrder().front(), OpenMode::forRead);
    EXPECT_TRUE(first); // the reference was moved to the bottom
}

TEST(DxfRoundTrip, LoadDrawingAsBlockKeepsParametricData) {
    Database src;
    buildSampleDrawing(src);
    ztest::TempFolder folder;
    const std::string path = (folder / "dxf_as_block.dxf").string();
    ASSERT_OK(dxf::writeDxf(src, path));
    Database target;
    ObjectId blockId;
    std::wstring message;
    ASSERT_OK(dxf::loadDrawingAsBlock(path, target, L"SAMPLE", blockId, &message));
    ObjectPtr<BlockTableRecord> b(blockId, OpenMode::forRead);
    ASSERT_TRUE(b);
    EXPECT_GT(b->entityCount(), 10);
    ObjectId pin;
    ASSERT_OK(target.getBlockId(L"PIN", pin));
    EXPECT_TRUE(param::isParametric(pin));
    ObjectId again;
    EXPECT_EQ(Status::duplicateKey,
              dxf::loadDrawingAsBlock(path, target, L"SAMPLE", again, &message));
}
