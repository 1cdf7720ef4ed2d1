// Every symbol of the sample product taken the whole way a placement takes it: inserted,
// parameters set from its description's defaults, made into a static block on the category
// layers and saved. The static block must draw exactly what the parametric symbol drew.
#include "GeometryTestUtil.h"

#include "hide/AutoPurgeLayers.h"
#include "hide/EntityOps.h"
#include "library/LayerSettings.h"
#include "placement/PartGeometry.h"
#include "selection/PartDescription.h"

#include "support/drawing.h"
#include "support/ezdxf.h"

#include "zhost/core/wildcard.h"
#include "zhost/dxf/dxf.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/extents3d.h"

#include <algorithm>

using namespace geomtest;

namespace {

const std::filesystem::path kSampleProduct =
    std::filesystem::path(ZORMA_SOURCE_DIR) / "samples" / "product";

std::vector<std::string> SampleSymbols() {
    std::vector<std::string> names;
    for (const auto& f : std::filesystem::directory_iterator(kSampleProduct / "PartsData" /
                                                             "PartsContents" / "Symbols"))
        if (f.path().extension() == ".dxf")
            names.push_back(f.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsConstructionLayer(const std::wstring& layer) {
    return zhost::wcMatch(layer, L"`*SUPPRESS", true) ||
           zhost::wcMatch(layer, L"`*ADSK_CONSTRAINTS", true);
}

// What an entity draws, as a box: curves by their geometry, points at their place, references
// by what their blocks draw. Invisible entities and construction layers draw nothing.
void AddDrawn(const db::Entity& e, geom::Extents3d& box, int depth = 0) {
    if (!e.visible() || IsConstructionLayer(e.layer()))
        return;
    if (const auto* curve = dynamic_cast<const db::Curve*>(&e)) {
        geom::Extents3d ext;
        ASSERT_OK(geom::extents(curve->toCurve(), ext));
        box.addExtents(ext);
    } else if (const auto* point = dynamic_cast<const db::Point*>(&e)) {
        box.addPoint(point->position());
    } else if (dynamic_cast<const db::BlockReference*>(&e) && depth < 8) {
        std::vector<std::unique_ptr<db::Entity>> pieces;
        ASSERT_OK(e.explode(pieces));
        for (const auto& p : pieces)
            AddDrawn(*p, box, depth + 1);
    } else {
        ADD_FAILURE() << "no extents for " << zhost::toUtf8(e.dxfName());
    }
}

class SampleSymbol : public PartGeometryTest,
                     public ::testing::WithParamInterface<std::tuple<std::string, bool>> {
protected:
    void SetUp() override {
        PartGeometryTest::SetUp();
        zhost::settings::setProductFolder(kSampleProduct);
    }
    // Erases the block definitions nothing references, until none is left.
    void EraseUnusedBlocks() {
        for (;;) {
            std::vector<db::ObjectId> ids;
            std::vector<std::wstring> names;
            ListBlockDefinitions(nullptr, ids, names);
            ASSERT_OK(Db().purge(ids));
            if (ids.empty())
                return;
            EraseObjects(ids);
        }
    }
    geom::Extents3d Drawn(const std::vector<db::ObjectId>& ids) {
        geom::Extents3d box;
        for (db::ObjectId id : ids) {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (e)
                AddDrawn(*e, box);
        }
        return box;
    }
};

} // namespace

TEST_P(SampleSymbol, StaticBlockDrawsWhatTheSymbolDrewOnTheCategoryLayers) {
    SKIP_WITHOUT_EZDXF();
    const auto [symbolName, dashed] = GetParam();
    const std::wstring symbol = zhost::fromUtf8(symbolName);
    PartDescription desc;
    desc.SetLibraryRoot(zhost::fromUtf8((kSampleProduct / "PartsData").string()));
    ASSERT_GT(desc.Load(symbol.substr(0, symbol.rfind(L'_'))), 0);
    desc.m_symbolBlockName = symbol;
    ASSERT_TRUE(ReadLayerSettings(desc.m_layers));
    if (dashed) {
        // The user's choice of the hidden line type, where the part offers one.
        auto choice = std::find_if(desc.m_params.begin(), desc.m_params.end(), [](const CParam& p) {
            return p.Is(ControlKind::Radio) && p.m_caption.find(L"線種") != std::wstring::npos;
        });
        if (choice == desc.m_params.end())
            GTEST_SKIP() << "the part offers no line type";
        choice->m_value = L"1";
    }

    CategoryLayerIds layers;
    ASSERT_TRUE(EnsureCategoryLayers(desc.m_layers, true, layers));
    const std::vector<db::ObjectId> layersBefore = LayerSnapshot();
    db::ObjectId ref;
    ASSERT_TRUE(InsertSymbol(desc.m_root, symbol, geom::Point3d(), ref)) << Out();
    LineTypeState state;
    ASSERT_TRUE(SetPartParameters(desc, ref, state)) << Out();
    const geom::Extents3d dynamic = Drawn({ref});
    ASSERT_FALSE(dynamic.isEmpty());

    db::ObjectId current;
    {
        db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forRead);
        current = r->blockTableRecord();
    }
    std::wstring name;
    ASSERT_TRUE(MakeUniqueBlockName(symbol, name));
    db::ObjectId made;
    ASSERT_TRUE(MakeStaticPartBlock(current, name, state, made));
    ASSERT_TRUE(MapOntoCategories(desc, made, state));

    const geom::Extents3d fixed = Drawn(Entities(made));
    if (dashed) {
        // A dashed part keeps nothing on the outline category.
        EXPECT_TRUE(state.m_wholeDashed);
        for (db::ObjectId id : Entities(made))
            EXPECT_NE(zhost::toUpperName(LayerOf(id)),
                      zhost::toUpperName(desc.m_layers.Get(kLayerOutline).m_layer));
    }
    EXPECT_NEAR(fixed.minPoint.x, dynamic.minPoint.x, 1e-9);
    EXPECT_NEAR(fixed.minPoint.y, dynamic.minPoint.y, 1e-9);
    EXPECT_NEAR(fixed.maxPoint.x, dynamic.maxPoint.x, 1e-9);
    EXPECT_NEAR(fixed.maxPoint.y, dynamic.maxPoint.y, 1e-9);

    // Placed as the placement run leaves it (the symbol and what it brought taken out again),
    // saved and read back: the static block is plain and on the categories.
    EraseObject(ref);
    Ref(Db().modelSpaceId(), made, 0, 0);
    EraseUnusedBlocks();
    EraseNewUnusedLayers(layersBefore, false);
    const std::filesystem::path saved = m_folder / "part.dxf";
    ASSERT_OK(zhost::dxf::writeDxf(Db(), saved));
    EXPECT_TRUE(ztest::PassesEzdxfAudit(saved));

    db::Database back;
    ASSERT_TRUE(ztest::ReadDrawing(saved, back));
    ed::setWorkingDatabase(&back);
    db::ObjectId block;
    ASSERT_OK(back.getBlockId(name, block));
    EXPECT_FALSE(param::isParametric(block));
    std::vector<std::wstring> categoryLayers;
    for (const CLayerCategory& c : desc.m_layers.m_categories)
        categoryLayers.push_back(zhost::toUpperName(c.m_layer));
    db::ObjectPtr<db::BlockTableRecord> b(block, db::OpenMode::forRead);
    ASSERT_TRUE(b);
    ASSERT_GT(b->entityCount(), 0);
    for (db::ObjectId id : b->entityIds()) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        ASSERT_TRUE(e);
        const std::string what = zhost::toUtf8(e->dxfName()) + " on " + zhost::toUtf8(e->layer());
        EXPECT_NE(
            std::find(categoryLayers.begin(), categoryLayers.end(), zhost::toUpperName(e->layer())),
            categoryLayers.end())
            << what;
        EXPECT_TRUE(zhost::equalsNoCase(e->linetype(), L"ByLayer")) << what;
        EXPECT_EQ(e->colorIndex(), db::color::byLayer) << what;
        EXPECT_FALSE(e->hasXData(param::kAppName)) << what;
    }
    b.close();
    ed::setWorkingDatabase(m_db.get());
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleSymbol,
                         ::testing::Combine(::testing::ValuesIn(SampleSymbols()),
                                            ::testing::Bool()),
                         [](const auto& symbol) {
                             return std::get<0>(symbol.param) +
                                    (std::get<1>(symbol.param) ? "_Dashed" : "_Solid");
                         });
