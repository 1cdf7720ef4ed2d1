#include "placement/StaticPartBlock.h"

#include "hide/EntityOps.h"
#include "hide/EntityPredicates.h"
#include "placement/PartRecord.h"

#include "zhost/core/utf.h"
#include "zhost/core/wildcard.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/dictionary.h"
#include "zhost/db/parametric.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/session.h"

#include <algorithm>

namespace db = zhost::db;

namespace {

// Construction geometry of a parametric symbol: never part of the drawn part.
constexpr const wchar_t* kConstraintLayerPattern = L"`*ADSK_CONSTRAINTS";
constexpr const wchar_t* kHiddenLayer = L"AM_3";
constexpr int kHiddenColor = 4;

// What the pieces of a flattened reference inherit from it: the colour and linetype it is drawn
// with (those of its layer where it says "by layer") and, for pieces drawn "by block" on layer
// "0", its layer.
struct Inheritance {
    bool linetypeByLayer = false;
    bool colorByLayer = false;
    int color = db::color::byLayer;
    db::ObjectId linetype;
    db::ObjectId layer;
};

Inheritance InheritanceOf(const db::BlockReference& ref) {
    Inheritance in;
    in.layer = ref.layerId();
    in.color = ref.colorIndex();
    in.linetype = ref.linetypeId();
    db::ObjectPtr<db::LayerTableRecord> layer(ref.layerId(), db::OpenMode::forRead);
    in.linetypeByLayer = zhost::equalsNoCase(ref.linetype(), L"ByLayer");
    in.colorByLayer = ref.colorIndex() == db::color::byLayer;
    if (layer && in.linetypeByLayer)
        in.linetype = layer->linetypeId();
    if (layer && in.colorByLayer)
        in.color = layer->colorIndex();
    return in;
}

bool IsLayerNamed(const db::Entity& e, const wchar_t* name) {
    return zhost::equalsNoCase(e.layer(), name);
}

bool IsLinetypeNamed(const db::Entity& e, const wchar_t* name) {
    return zhost::equalsNoCase(e.linetype(), name);
}

// The linetype of the entity's own layer (null when the layer cannot be read).
db::ObjectId LayerLinetype(const db::Entity& e) {
    db::ObjectPtr<db::LayerTableRecord> layer(e.layerId(), db::OpenMode::forRead);
    return layer ? layer->linetypeId() : db::ObjectId::null();
}

class CStaticBlockBuilder {
public:
    CStaticBlockBuilder(db::Database& d, db::ObjectId source, db::ObjectId target,
                        const LineTypeState& state)
        : m_db(d), m_target(target), m_state(state), m_chain{source} {}

    void CopyEntity(db::ObjectId sourceId);
    void PutCentreLinesAtBottom();
    bool AppendedAny() const { return m_appended > 0; }

private:
    void Flatten(const db::BlockReference& ref, const Inheritance& in);
    void FlattenPiece(std::unique_ptr<db::Entity> piece, const Inheritance& in);
    void MarkHiddenBolt(db::Entity& e) const;
    db::ObjectId Append(std::unique_ptr<db::Entity> e);

    db::Database& m_db;
    db::ObjectId m_target;
    const LineTypeState& m_state;
    std::vector<db::ObjectId> m_centreLines;
    // The definitions being flattened, outermost first: a reference to one of them would start
    // the same definition again.
    std::vector<db::ObjectId> m_chain;
    int m_appended = 0;
};

void CStaticBlockBuilder::MarkHiddenBolt(db::Entity& e) const {
    e.setXData({db::xApp(kCurveInfoApp), db::xString(kCurveInfoHiddenBolt)});
}

db::ObjectId CStaticBlockBuilder::Append(std::unique_ptr<db::Entity> e) {
    // The static block keeps the geometry as it is now; the symbol's bindings stay behind.
    e->setXData({db::xApp(db::param::kAppName)});
    db::ObjectId id;
    if (!zhost::ok(m_db.appendEntity(m_target, std::move(e), id)))
        return db::ObjectId::null();
    ++m_appended;
    return id;
}

void CStaticBlockBuilder::CopyEntity(db::ObjectId sourceId) {
    db::ObjectPtr<db::Entity> source(sourceId, db::OpenMode::forRead);
    if (!source)
        return;
    const std::wstring layer = source->layer();
    if (zhost::wcMatch(layer, kSuppressLayerPattern, true) ||
        zhost::wcMatch(layer, kConstraintLayerPattern, true))
        return;
    if (zhost::equalsNoCase(layer, kCenterLineLayer)) {
        if (!source->visible() || !dynamic_cast<const db::Curve*>(source.get()))
            return;
        std::unique_ptr<db::Entity> copy = source->cloneEntity();
        copy->setLineWeight(db::lineweight::byLayer);
        copy->setLinetype(L"ByLayer");
        const db::ObjectId id = Append(std::move(copy));
        if (!id.isNull())
            m_centreLines.push_back(id);
        return;
    }
    if (const auto* ref = dynamic_cast<const db::BlockReference*>(source.get());
        ref && ref->visible()) {
        if (std::find(m_chain.begin(), m_chain.end(), ref->blockTableRecord()) == m_chain.end())
            Flatten(*ref, InheritanceOf(*ref));
        return;
    }
    std::unique_ptr<db::Entity> copy = source->cloneEntity();
    if (copy->colorIndex() != db::color::byLayer && IsLayerNamed(*copy, kHiddenLayer) &&
        m_state.m_bodyDashed)
        MarkHiddenBolt(*copy);
    copy->setLineWeight(db::lineweight::byLayer);
    const bool isText = dynamic_cast<const db::Text*>(copy.get()) != nullptr;
    const db::ObjectId id = Append(std::move(copy));
    if (isText && !id.isNull()) {
        db::ObjectPtr<db::Text> text(id, db::OpenMode::forWrite);
        if (text)
            text->adjustAlignment();
    }
}

void CStaticBlockBuilder::Flatten(const db::BlockReference& ref, const Inheritance& in) {
    std::vector<std::unique_ptr<db::Entity>> pieces;
    if (!zhost::ok(ref.explode(pieces)))
        return;
    m_chain.push_back(ref.blockTableRecord());
    for (auto& piece : pieces)
        if (piece->visible() && !IsOnSuppressLayer(*piece))
            FlattenPiece(std::move(piece), in);
    m_chain.pop_back();
}

void CStaticBlockBuilder::FlattenPiece(std::unique_ptr<db::Entity> e, const Inheritance& in) {
    if (e->colorIndex() == kHiddenColor && IsLayerNamed(*e, kHiddenLayer) && m_state.m_bodyDashed)
        MarkHiddenBolt(*e);
    bool inheriting = false;
    if (in.linetypeByLayer || in.colorByLayer) {
        if (!IsLinetypeNamed(*e, L"ByBlock") && e->colorIndex() != db::color::byBlock) {
            if (in.colorByLayer)
                e->setColorIndex(in.color);
        } else {
            if (in.colorByLayer)
                e->setColorIndex(db::color::byLayer);
            inheriting = true;
        }
        if (in.linetypeByLayer && !in.linetype.isNull())
            e->setLinetype(in.linetype);
    }
    if (auto* nested = dynamic_cast<db::BlockReference*>(e.get())) {
        if (std::find(m_chain.begin(), m_chain.end(), nested->blockTableRecord()) != m_chain.end())
            return; // a definition that contains itself is followed once
        if (inheriting)
            nested->setLayer(in.layer);
        Flatten(*nested, in);
        return;
    }
    if (!IsCuttableCurve(*e))
        return;
    if (!IsLayerNamed(*e, L"0") || !inheriting) {
        if (in.colorByLayer)
            e->setColorIndex(db::color::byLayer);
        if (in.linetypeByLayer)
            if (const db::ObjectId own = LayerLinetype(*e); !own.isNull())
                e->setLinetype(own);
    } else {
        e->setLayer(in.layer);
    }
    e->setLineWeight(db::lineweight::byLayer);
    Append(std::move(e));
}

void CStaticBlockBuilder::PutCentreLinesAtBottom() {
    if (m_centreLines.empty())
        return;
    db::ObjectPtr<db::SortentsTable> order;
    if (zhost::ok(m_db.getSortentsTable(m_target, db::OpenMode::forWrite, order)))
        order->moveToBottom(m_centreLines);
}

} // namespace

bool MakeStaticPartBlock(db::ObjectId sourceId, const std::wstring& name,
                         const LineTypeState& state, db::ObjectId& newBlockId) {
    newBlockId = db::ObjectId::null();
    db::Database* d = zhost::ed::workingDatabase();
    if (!d)
        return false;
    std::vector<db::ObjectId> entities;
    zhost::geom::Point3d origin;
    {
        db::ObjectPtr<db::BlockTableRecord> source(sourceId, db::OpenMode::forRead);
        if (!source)
            return false;
        entities = source->entityIds();
        origin = source->origin();
    }
    // The same base point, so that the placed reference stays where the symbol was dragged to.
    db::ObjectId blockId;
    if (!zhost::ok(d->addBlock(name, blockId, origin)))
        return false;
    d->registerApp(kCurveInfoApp);
    CStaticBlockBuilder builder(*d, sourceId, blockId, state);
    for (db::ObjectId id : entities)
        builder.CopyEntity(id);
    if (!builder.AppendedAny()) {
        EraseObject(blockId); // an empty part block is of no use to anyone
        return false;
    }
    builder.PutCentreLinesAtBottom();
    newBlockId = blockId;
    return true;
}
