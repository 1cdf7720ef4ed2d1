// Peer checks with ezdxf (python3-ezdxf): what we write passes its recover-mode audit and reads
// back with the same content; what it writes loads in ours with the same content. Skipped when
// Debian's python3 cannot import ezdxf.
#include "test_drawings.h"

#include "support/ezdxf.h"
#include "support/temp_folder.h"

#include "zhost/core/utf.h"
#include "zhost/dxf/dxf.h"

using namespace zhost;
using namespace zhost::db;
using namespace dxftest;

namespace {

std::string runChecker(const std::string& file) {
    return ztest::RunPython("tests/dxf/ezdxf_check.py", {file}).transcript;
}

bool hasLine(const std::string& out, const std::string& line) {
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

void checkWritten(dxf::WriteOptions options, const char* name) {
    SKIP_WITHOUT_EZDXF();
    Database db;
    buildSampleDrawing(db);
    ztest::TempFolder folder;
    const std::string path = (folder / name).string();
    ASSERT_OK(dxf::writeDxf(db, path, options));
    const std::string out = runChecker(path);
    EXPECT_TRUE(hasLine(out, "errors 0")) << out;
    EXPECT_TRUE(hasLine(out, "fixes 0")) << out;
    for (const auto& [kind, n] : entityCounts(db, db.modelSpaceId()))
        EXPECT_TRUE(hasLine(out, "count " + toUtf8(kind) + " " + std::to_string(n)))
            << toUtf8(kind) << "\n"
            << out;
    EXPECT_TRUE(hasLine(out, "attrib SIZE M12")) << out;
    EXPECT_TRUE(hasLine(out, "xdata ZORMA_TEST ボルト 12 2.5 70000 x")) << out;
    EXPECT_TRUE(hasLine(out, "group 組1 2")) << out;
}

// The content both ezdxf fixtures hold (tests/dxf/make_fixtures.py).
void checkFixture(const char* name, int codePage) {
    Database db;
    dxf::ReadReport report;
    ASSERT_OK(dxf::readDxf(dataPath(name), db, report)) << toUtf8(report.message);
    EXPECT_EQ(codePage, report.codePage);
    auto counts = entityCounts(db, db.modelSpaceId());
    EXPECT_EQ(1, counts[L"LINE"]);
    EXPECT_EQ(1, counts[L"CIRCLE"]);
    EXPECT_EQ(1, counts[L"ARC"]);
    EXPECT_EQ(1, counts[L"LWPOLYLINE"]);
    EXPECT_EQ(1, counts[L"ELLIPSE"]);
    EXPECT_EQ(1, counts[L"TEXT"]);
    EXPECT_EQ(1, counts[L"MTEXT"]);
    EXPECT_EQ(1, counts[L"POINT"]);
    EXPECT_EQ(1, counts[L"SPLINE"]);
    EXPECT_EQ(1, counts[L"HATCH"]);
    EXPECT_EQ(2, counts[L"INSERT"]);

    ObjectId layer;
    ASSERT_OK(db.getLayerId(L"外形線", layer));
    ObjectPtr<LayerTableRecord> l(layer, OpenMode::forRead);
    EXPECT_EQ(1, l->colorIndex());

    ObjectPtr<BlockTableRecord> ms(db.modelSpaceId(), OpenMode::forRead);
    std::vector<std::wstring> values;
    for (ObjectId id : ms->entityIds()) {
        ObjectPtr<Entity> e(id, OpenMode::forRead);
        if (auto* line = dynamic_cast<Line*>(e.get())) {
            const XData x = line->xdata(L"ZORMA_TEST");
            ASSERT_EQ(6u, x.size());
            EXPECT_EQ(L"ボルト", x[1].str());
            EXPECT_EQ(12, x[2].integer());
            EXPECT_DOUBLE_EQ(2.5, x[3].real());
            EXPECT_EQ(geom::Point3d(1, 2, 3), x[4].point());
            EXPECT_EQ(70000, x[5].integer());
            EXPECT_EQ(layer, line->layerId());
        } else if (auto* t = dynamic_cast<Text*>(e.get())) {
            EXPECT_EQ(L"部品表 M12", t->textString());
            EXPECT_NEAR(15, t->rotation() * 180 / 3.141592653589793, 1e-9);
        } else if (auto* m = dynamic_cast<MText*>(e.get())) {
            EXPECT_EQ(L"一行目\\P二行目", m->contents());
            EXPECT_EQ(MTextAttachment::middleCenter, m->attachment());
        } else if (auto* r = dynamic_cast<BlockReference*>(e.get())) {
            EXPECT_EQ(L"BOLT", r->blockName());
            for (ObjectId a : r->attributeIds()) {
                ObjectPtr<Attribute> attr(a, OpenMode::forRead);
                values.push_back(attr->tag() + L"=" + attr->textString());
            }
        } else if (auto* h = dynamic_cast<Hatch*>(e.get())) {
            EXPECT_EQ(2, h->numLoops());
            EXPECT_TRUE(h->isSolidFill());
        }
    }
    EXPECT_EQ((std::vector<std::wstring>{L"SIZE=M12", L"LEN=40", L"SIZE=M16", L"LEN=50"}), values);

    ObjectId bolt;
    ASSERT_OK(db.getBlockId(L"BOLT", bolt));
    auto blockCounts = entityCounts(db, bolt);
    EXPECT_EQ(2, blockCounts[L"ATTDEF"]);
    ObjectPtr<Dictionary> groups(db.groupDictionaryId(), OpenMode::forRead);
    ObjectId gid;
    ASSERT_OK(groups->getAt(L"組1", gid));
    ObjectPtr<Group> g(gid, OpenMode::forRead);
    EXPECT_EQ(2, g->numEntities());
    EXPECT_EQ(L"ボルトと線", g->description());
    double textSize = 0;
    db.getReal(L"TEXTSIZE", textSize);
    EXPECT_DOUBLE_EQ(3.5, textSize);
}

} // namespace

TEST(DxfPeerCheck, WrittenR2013PassesEzdxfAudit) {
    checkWritten({}, "peer_r2013.dxf");
}

TEST(DxfPeerCheck, WrittenR2000Cp932PassesEzdxfAudit) {
    checkWritten({dxf::Version::r2000, 932}, "peer_r2000.dxf");
}

TEST(DxfPeerCheck, EzdxfR2000Cp932DrawingLoads) {
    checkFixture("ezdxf_r2000_cp932.dxf", 932);
}

TEST(DxfPeerCheck, EzdxfR2018DrawingLoads) {
    checkFixture("ezdxf_r2018.dxf", 65001);
}
