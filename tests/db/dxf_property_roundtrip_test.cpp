// Every property of every entity kind survives a save and a load: the entity read back dumps as
// the one written, handle, owner, layer, linetype, extended data and all. Both written versions
// are checked (R2013 UTF-8 and R2000 in code page 932).
#include "sample_drawing.h"
#include "support/drawing.h"
#include "support/status.h"

#include "zhost/dxf/dxf.h"

using namespace dbtest;

namespace {

// An entity's dump, and the dumps of its attributes after it.
std::wstring dumpWithAttributes(const Database& db, Handle h) {
    ObjectId id;
    if (!ok(db.getObjectId(h, id)))
        return L"(no object with handle " + h.toHex() + L")";
    ObjectPtr<Entity> e(id, OpenMode::forRead);
    if (!e)
        return L"(not an entity)";
    std::wstring out = dumpObject(*e);
    if (auto* r = dynamic_cast<const BlockReference*>(e.get()))
        for (ObjectId a : r->attributeIds())
            out += dumpObject(*ObjectPtr<Attribute>(a, OpenMode::forRead));
    return out;
}

struct Version {
    const char* name;
    dxf::WriteOptions options;
};

class DxfPropertyRoundTrip : public ::testing::TestWithParam<std::tuple<ObjectType, Version>> {};

std::vector<ObjectType> entityTypes() {
    std::vector<ObjectType> out;
    for (ObjectType t : allObjectTypes())
        if (sampleEntity(t) || t == ObjectType::blockReference)
            out.push_back(t);
    return out;
}

} // namespace

TEST_P(DxfPropertyRoundTrip, EntityReadBackDumpsAsWritten) {
    const auto [type, version] = GetParam();
    SampleDrawing s;
    std::wstring written;
    Handle handle;
    if (type == ObjectType::attributeDefinition) {
        // Attribute definitions live in blocks.
        ObjectPtr<BlockTableRecord> b(s.block, OpenMode::forRead);
        for (ObjectId id : b->entityIds())
            if (ObjectPtr<AttributeDefinition> d(id, OpenMode::forRead); d)
                handle = d->handle();
    } else {
        handle = ObjectPtr<Entity>(s.of(type), OpenMode::forRead)->handle();
    }
    written = dumpWithAttributes(s.db, handle);

    std::string text;
    ASSERT_OK(dxf::writeDxfText(s.db, text, version.options));
    Database back;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, back, report)) << zhost::toUtf8(report.message);
    EXPECT_EQ(report.skippedEntities, 0);
    EXPECT_EQ(dumpWithAttributes(back, handle), written);
}

INSTANTIATE_TEST_SUITE_P(
    EveryEntityKind, DxfPropertyRoundTrip,
    ::testing::Combine(::testing::ValuesIn(entityTypes()),
                       ::testing::Values(Version{"R2013", {dxf::Version::r2013, 65001}},
                                         Version{"R2000cp932", {dxf::Version::r2000, 932}})),
    [](const auto& info) {
        ObjectPtr<DbObject> none;
        std::unique_ptr<Entity> e = sampleEntity(std::get<0>(info.param));
        const std::wstring name = std::get<0>(info.param) == ObjectType::blockReference
                                      ? std::wstring(L"INSERT")
                                      : std::wstring(e->dxfName());
        return zhost::toUtf8(name) + "_" + std::get<1>(info.param).name;
    });

TEST(DxfRoundTrip, EveryObjectOfTheSampleReadsBackAsWritten) {
    // Tables, records, dictionaries, groups and the draw order as well as the entities: every
    // object of the drawing is found again under its handle with the same dump.
    SampleDrawing s;
    std::string text;
    ASSERT_OK(dxf::writeDxfText(s.db, text));
    Database back;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(text, back, report)) << zhost::toUtf8(report.message);
    EXPECT_TRUE(report.warnings.empty()) << zhost::toUtf8(report.warnings.front().text);
    for (ObjectId id : s.db.allObjectIds()) {
        ObjectPtr<DbObject> o(id, OpenMode::forRead);
        ASSERT_TRUE(o);
        ObjectId found;
        ASSERT_OK(back.getObjectId(o->handle(), found)) << zhost::toUtf8(o->dxfName());
        ObjectPtr<DbObject> b(found, OpenMode::forRead);
        EXPECT_EQ(dumpObject(*b), dumpObject(*o));
    }
    EXPECT_EQ(ztest::EntityKinds(back), ztest::EntityKinds(s.db));
}
