// Dimensions and leaders are modelled: ezdxf's drawings with every kind it makes load with the
// right kinds, measurements and pictures, save back so that ezdxf sees the same, and follow
// moves and copies with their pictures.
#include "test_drawings.h"

#include "support/ezdxf.h"
#include "support/temp_folder.h"

#include "zhost/core/utf.h"
#include "zhost/db/annotation.h"
#include "zhost/dxf/dxf.h"

#include <cmath>
#include <numbers>

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

constexpr double kPi = std::numbers::pi;

std::vector<ObjectId> ofKind(const Database& db, ObjectType type) {
    std::vector<ObjectId> out;
    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    for (ObjectId id : ms->entityIds()) {
        ObjectPtr<Entity> e(id, OpenMode::forRead);
        if (e && e->type() == type)
            out.push_back(id);
    }
    return out;
}

std::wstring blockNameOf(ObjectId blockId) {
    ObjectPtr<BlockTableRecord> b(blockId, OpenMode::forRead);
    return b ? b->name() : L"";
}

std::string describe(const std::filesystem::path& file) {
    const ztest::ProcessResult r = ztest::RunPython("tests/dxf/dimensions.py", {file.string()});
    EXPECT_EQ(0, r.exitCode) << r.transcript;
    return r.out;
}

// What the fixture was made with (tests/dxf/make_dimension_fixtures.py), measured by hand.
struct Expected {
    DimensionKind kind;
    double value;
};
const Expected kFixture[] = {
    {DimensionKind::rotated, 100},
    {DimensionKind::rotated, 100 * std::cos(kPi / 6) + 30 * std::sin(kPi / 6)},
    {DimensionKind::rotated, 100}, // ezdxf makes aligned dimensions as rotated ones
    {DimensionKind::angular, kPi / 4},
    {DimensionKind::angular3Point, kPi / 2},
    {DimensionKind::diameter, 60},
    {DimensionKind::radius, 30},
    {DimensionKind::ordinate, 20},
    {DimensionKind::ordinate, 30},
    {DimensionKind::arcLength, 40 * kPi / 2},
};

class EzdxfDimensions : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(EzdxfDimensions, EveryKindLoadsWithItsMeasurementAndPicture) {
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(dataPath(GetParam()), db, report)) << toUtf8(report.message);
    EXPECT_EQ(9, report.modelledKinds["DIMENSION"]);
    EXPECT_EQ(1, report.modelledKinds["ARC_DIMENSION"]);
    EXPECT_EQ(1, report.modelledKinds["LEADER"]);
    EXPECT_EQ(2, report.keptKinds["MULTILEADER"]);

    const std::vector<ObjectId> dims = ofKind(db, ObjectType::dimension);
    ASSERT_EQ(std::size(kFixture), dims.size());
    for (std::size_t k = 0; k < dims.size(); ++k) {
        ObjectPtr<Dimension> d(dims[k], OpenMode::forRead);
        EXPECT_EQ(kFixture[k].kind, d->kind()) << k;
        EXPECT_NEAR(kFixture[k].value, d->measurement(), 1e-9) << k;
        EXPECT_EQ(L"*D" + std::to_wstring(k + 1), blockNameOf(d->blockId())) << k;
        EXPECT_EQ(L"寸法", d->layer());
        std::vector<std::unique_ptr<Entity>> pieces;
        ASSERT_OK(d->explode(pieces));
        EXPECT_GE(pieces.size(), 5u) << k; // lines, arrows, the text, the definition points
    }
    ObjectPtr<Dimension> ordinateX(dims[7], OpenMode::forRead);
    EXPECT_TRUE(ordinateX->flags() & 64);
    ObjectPtr<Dimension> aligned(dims[2], OpenMode::forRead);
    EXPECT_EQ(L"<> 幅", aligned->userText());
    EXPECT_EQ(L"EZDXF", aligned->styleName());

    // The leader points at the text written before it.
    const std::vector<ObjectId> leaders = ofKind(db, ObjectType::leader);
    ASSERT_EQ(1u, leaders.size());
    ObjectPtr<Leader> l(leaders[0], OpenMode::forRead);
    EXPECT_EQ(3u, l->vertices().size());
    EXPECT_EQ(geom::Point3d(620, 40, 0), l->vertices()[1]);
    ASSERT_FALSE(l->annotation().isNull());
    EXPECT_EQ(ObjectType::mtext, ObjectPtr<Entity>(l->annotation(), OpenMode::forRead)->type());

    // The pictures are in use: purge leaves every one of them.
    std::vector<ObjectId> blocks;
    for (ObjectId id : dims)
        blocks.push_back(ObjectPtr<Dimension>(id, OpenMode::forRead)->blockId());
    std::vector<ObjectId> candidates = blocks;
    ASSERT_OK(db.purge(candidates));
    EXPECT_TRUE(candidates.empty());
}

TEST_P(EzdxfDimensions, SavedDrawingShowsEzdxfTheSame) {
    SKIP_WITHOUT_EZDXF();
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(dataPath(GetParam()), db, report)) << toUtf8(report.message);
    ztest::TempFolder folder;
    const auto saved = folder / "saved.dxf";
    ASSERT_OK(dxf::writeDxf(db, saved, dxf::sameVersionAs(report)));
    const std::string before = describe(dataPath(GetParam()));
    ASSERT_NE(std::string::npos, before.find("errors 0\nfixes 0\n")) << before;
    EXPECT_EQ(before, describe(saved));

    // A second round through our reader and writer changes nothing.
    Database again;
    dxf::ReadReport second;
    ASSERT_OK(dxf::readDxf(saved, again, second)) << toUtf8(second.message);
    for (ObjectType t : {ObjectType::dimension, ObjectType::leader}) {
        const std::vector<ObjectId> a = ofKind(db, t), b = ofKind(again, t);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t k = 0; k < a.size(); ++k)
            EXPECT_EQ(dumpsByHandle(db).at(a[k].handle().toHex()),
                      dumpsByHandle(again).at(b[k].handle().toHex()));
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, EzdxfDimensions,
                         ::testing::Values("ezdxf_dims_r2000_cp932.dxf", "ezdxf_dims_r2018.dxf"));

// --- Values the host has no field for ----------------------------------------------------------

namespace {
// The picture block the hand-written records below name.
constexpr const char* kPictureBlock = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\n*D7\n70\n1\n"
                                      "10\n0\n20\n0\n30\n0\n0\nENDBLK\n8\n0\n0\nENDSEC\n";
} // namespace

TEST(DimensionRecords, UnknownValuesReturnInTheirPart) {
    // An R2000 record with values of its own in the common part (73, 74) and in the kind's part
    // (a made-up 290), and an application's pointer (360) to the text style.
    const std::string body = "0\nDIMENSION\n5\nA1\n330\n1F\n100\nAcDbEntity\n8\n0\n"
                             "100\nAcDbDimension\n2\n*D7\n10\n5\n20\n10\n30\n0\n11\n2.5\n21\n"
                             "11\n31\n0\n70\n33\n73\n1\n74\n1\n3\nStandard\n"
                             "100\nAcDbAlignedDimension\n13\n0\n23\n0\n33\n0\n14\n5\n24\n0\n34\n"
                             "0\n290\n1\n360\n11\n";
    const std::string dxf = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n" +
                            std::string(kPictureBlock) + "0\nSECTION\n2\nENTITIES\n" + body +
                            "0\nENDSEC\n0\nEOF\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(dxf, db, report)) << toUtf8(report.message);
    const std::vector<ObjectId> dims = ofKind(db, ObjectType::dimension);
    ASSERT_EQ(1u, dims.size());
    {
        ObjectPtr<Dimension> d(dims[0], OpenMode::forRead);
        EXPECT_EQ(DimensionKind::aligned, d->kind());
        EXPECT_DOUBLE_EQ(5, d->measurement());
        EXPECT_EQ(L"*D7", blockNameOf(d->blockId()));
        const RawTags& extra = d->extraTags();
        ASSERT_FALSE(extra.empty());
    }
    std::string text;
    ASSERT_OK(dxf::writeDxfText(db, text));
    const std::size_t common = text.find("AcDbDimension\n");
    const std::size_t own = text.find("AcDbAlignedDimension\n");
    ASSERT_NE(std::string::npos, common);
    ASSERT_NE(std::string::npos, own);
    const std::size_t a73 = text.find("\n 73\n1\n", common);
    const std::size_t a290 = text.find("\n290\n1\n", common);
    EXPECT_LT(a73, own);
    EXPECT_GT(a290, own);
    EXPECT_NE(std::string::npos, text.find("\n360\n11\n", own)); // never resolved: as read
}

TEST(DimensionRecords, R12DimensionWithoutMarkersReadsItsParts) {
    // R12 writes no subclass markers; the kind's codes still find their fields.
    const std::string dxf = std::string(kPictureBlock) +
                            "0\nSECTION\n2\nENTITIES\n0\nDIMENSION\n8\n0\n2\n*D7\n10\n0\n20\n"
                            "0\n30\n0\n11\n0\n21\n0\n31\n0\n70\n4\n1\nR<>\n15\n3\n25\n4\n35\n0\n"
                            "40\n2\n0\nENDSEC\n0\nEOF\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(dxf, db, report)) << toUtf8(report.message);
    const std::vector<ObjectId> dims = ofKind(db, ObjectType::dimension);
    ASSERT_EQ(1u, dims.size());
    ObjectPtr<Dimension> d(dims[0], OpenMode::forRead);
    EXPECT_EQ(DimensionKind::radius, d->kind());
    EXPECT_DOUBLE_EQ(5, d->measurement());
    EXPECT_DOUBLE_EQ(2, d->leaderLength());
    EXPECT_EQ(L"R<>", d->userText());
}

TEST(DimensionRecords, ADimensionWithoutItsTypeIsLinear) {
    // Old converters leave out the type, whose default is a linear dimension: it is modelled,
    // not kept as a record of an unknown kind.
    const std::string dxf = std::string(kPictureBlock) +
                            "0\nSECTION\n2\nENTITIES\n0\nDIMENSION\n8\n0\n2\n*D7\n10\n3\n20\n"
                            "6\n11\n2\n21\n6\n13\n1\n23\n5\n14\n3\n24\n5\n0\nENDSEC\n0\nEOF\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(dxf, db, report)) << toUtf8(report.message);
    EXPECT_EQ(0, report.keptKinds["DIMENSION"]);
    const std::vector<ObjectId> dims = ofKind(db, ObjectType::dimension);
    ASSERT_EQ(1u, dims.size());
    ObjectPtr<Dimension> d(dims[0], OpenMode::forRead);
    EXPECT_EQ(DimensionKind::rotated, d->kind());
    EXPECT_DOUBLE_EQ(2, d->measurement()); // horizontal, from x 1 to x 3
}

TEST(DimensionRecords, UnknownKindsStayAsRead) {
    // A dimension type the host does not know (7), a radius naming a picture the file never
    // defines, and a leader with one vertex are kept raw.
    const std::string dxf = std::string(kPictureBlock) +
                            "0\nSECTION\n2\nENTITIES\n0\nDIMENSION\n8\n0\n2\n*D7\n70\n7\n"
                            "0\nDIMENSION\n8\n0\n2\n*D9\n70\n4\n"
                            "0\nLEADER\n8\n0\n100\nAcDbLeader\n76\n1\n10\n1\n20\n2\n30\n0\n"
                            "0\nENDSEC\n0\nEOF\n";
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxfText(dxf, db, report)) << toUtf8(report.message);
    EXPECT_EQ(2, report.keptKinds["DIMENSION"]);
    EXPECT_EQ(1, report.keptKinds["LEADER"]);
    EXPECT_EQ(3u, ofKind(db, ObjectType::rawEntity).size());
    ObjectId undefined;
    EXPECT_FALSE(ok(db.getBlockId(L"*D9", undefined))); // no empty picture is made up
}

// --- Moving, copying, undoing -------------------------------------------------------------------

namespace {

struct OneDimension {
    Database db;
    ObjectId picture, dim;
    OneDimension() {
        db.addBlock(L"*D1", picture);
        ObjectId id;
        ObjectPtr<BlockTableRecord>(picture, OpenMode::forWrite)
            ->appendEntity(std::make_unique<Line>(geom::Point3d(0, 0, 0), geom::Point3d(10, 0, 0)),
                           id);
        auto d = std::make_unique<Dimension>(DimensionKind::aligned);
        d->setPoint(13, {0, 0, 0});
        d->setPoint(14, {10, 0, 0});
        d->setDefPoint({10, 5, 0});
        d->setBlock(picture);
        EXPECT_OK(db.appendToModelSpace(std::move(d), dim));
        db.clearUndo();
    }
    // The first line the dimension draws.
    geom::LineSeg drawnLine(ObjectId id) const {
        ObjectPtr<Dimension> d(id, OpenMode::forRead);
        std::vector<std::unique_ptr<Entity>> pieces;
        EXPECT_OK(d->explode(pieces));
        const auto* l = pieces.empty() ? nullptr : objectCast<Line>(pieces[0].get());
        return l ? geom::LineSeg{l->startPoint(), l->endPoint()} : geom::LineSeg{};
    }
};

} // namespace

TEST(DimensionEditing, MoveTakesThePictureAlongAndUndoBringsItBack) {
    OneDimension f;
    const geom::Matrix3d move = geom::Matrix3d::translation({5, 7, 0});
    {
        UndoGroup step(f.db);
        ObjectPtr<Dimension> d(f.dim, OpenMode::forWrite);
        ASSERT_OK(d->transformBy(move));
    }
    ObjectId moved;
    {
        ObjectPtr<Dimension> d(f.dim, OpenMode::forRead);
        moved = d->blockId();
        EXPECT_NE(f.picture, moved);
        EXPECT_EQ(geom::Point3d(15, 12, 0), d->defPoint());
        EXPECT_DOUBLE_EQ(10, d->measurement());
    }
    EXPECT_EQ(geom::Point3d(5, 7, 0), f.drawnLine(f.dim).start);
    // The old picture is no longer named: purge may take it, not the new one.
    std::vector<ObjectId> candidates{f.picture, moved};
    ASSERT_OK(f.db.purge(candidates));
    EXPECT_EQ(std::vector<ObjectId>{f.picture}, candidates);

    ASSERT_OK(f.db.undo());
    EXPECT_EQ(f.picture, ObjectPtr<Dimension>(f.dim, OpenMode::forRead)->blockId());
    EXPECT_EQ(geom::Point3d(0, 0, 0), f.drawnLine(f.dim).start);
}

TEST(DimensionEditing, CopyAndRotateLeaveTheOriginalAlone) {
    OneDimension f;
    IdMap map;
    ASSERT_OK(f.db.deepCloneObjects({f.dim}, f.db.modelSpaceId(), map));
    const ObjectId copy = map.at(f.dim);
    {
        ObjectPtr<Dimension> d(copy, OpenMode::forWrite);
        ASSERT_OK(d->transformBy(geom::Matrix3d::rotation(kPi / 2, {0, 0, 1})));
        EXPECT_NEAR(10, d->measurement(), 1e-12);
    }
    const geom::LineSeg rotated = f.drawnLine(copy);
    EXPECT_NEAR(0, rotated.end.x, 1e-12);
    EXPECT_NEAR(10, rotated.end.y, 1e-12);
    EXPECT_EQ(geom::Point3d(10, 0, 0), f.drawnLine(f.dim).end);
    EXPECT_EQ(f.picture, ObjectPtr<Dimension>(f.dim, OpenMode::forRead)->blockId());
}

TEST(DimensionEditing, AMoveOutsideTheDatabaseArrivesWithItsPicture) {
    // A transformed copy (as explode of a reference or a jig makes) gets its picture on append;
    // a picture that cannot follow (a circle flattened to a line) refuses the transform and
    // leaves the dimension as it was.
    OneDimension f;
    std::unique_ptr<Entity> moved;
    {
        ObjectPtr<Dimension> d(f.dim, OpenMode::forRead);
        ASSERT_OK(d->getTransformedCopy(geom::Matrix3d::translation({0, 3, 0}), moved));
    }
    ObjectId id;
    ASSERT_OK(f.db.appendToModelSpace(std::move(moved), id));
    EXPECT_NE(f.picture, ObjectPtr<Dimension>(id, OpenMode::forRead)->blockId());
    EXPECT_EQ(geom::Point3d(0, 3, 0), f.drawnLine(id).start);

    ObjectId circleId;
    ObjectPtr<BlockTableRecord>(f.picture, OpenMode::forWrite)
        ->appendEntity(std::make_unique<Circle>(geom::Point3d(), 1.0), circleId);
    ObjectPtr<Dimension> d(f.dim, OpenMode::forWrite);
    const geom::Matrix3d squash = geom::Matrix3d::scaling({1, 0, 1});
    EXPECT_FALSE(ok(d->transformBy(squash)));
    EXPECT_EQ(f.picture, d->blockId());
    EXPECT_EQ(geom::Point3d(10, 5, 0), d->defPoint());
}
