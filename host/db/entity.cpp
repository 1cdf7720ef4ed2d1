#include "database_impl.h"

#include "zhost/core/utf.h"
#include "zhost/db/curves.h"
#include "zhost/db/drafting.h"
#include "zhost/db/dump.h"
#include "zhost/db/entity.h"
#include "zhost/db/symbol_tables.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zhost::db {

bool lineweight::isValid(int w) {
    static constexpr std::array<int, 27> valid = {-3, -2, -1,  0,   5,   9,   13,  15,  18,
                                                  20, 25, 30,  35,  40,  50,  53,  60,  70,
                                                  80, 90, 100, 106, 120, 140, 158, 200, 211};
    return std::find(valid.begin(), valid.end(), w) != valid.end();
}

namespace {
// The database in which names given to an entity are looked up.
Database* nameDatabase(const Entity& e) {
    if (e.database())
        return e.database();
    if (e.layerId().database())
        return e.layerId().database();
    return e.linetypeId().database();
}

std::wstring recordName(ObjectId id) {
    if (!id.database())
        return {};
    auto* r = id.database()->impl().get<SymbolTableRecord>(id);
    return r ? r->name() : std::wstring();
}
} // namespace

ObjectId Entity::blockId() const {
    return ownerId();
}

std::wstring Entity::layer() const {
    return layerId_.isNull() ? pendingLayer_ : recordName(layerId_);
}

Status Entity::setLayer(ObjectId id) {
    if (id.isNull())
        return Status::nullObjectId;
    if (database() && id.database() != database())
        return Status::wrongDatabase;
    if (!id.database() || !id.database()->impl().get<LayerTableRecord>(id))
        return Status::wrongObjectType;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    layerId_ = id;
    pendingLayer_.clear();
    return Status::ok;
}

Status Entity::setLayer(std::wstring_view name) {
    if (Database* db = nameDatabase(*this)) {
        ObjectId id;
        Status s = db->getLayerId(name, id);
        return ok(s) ? setLayer(id) : s;
    }
    if (!isValidSymbolName(name))
        return Status::invalidInput;
    pendingLayer_ = name;
    return Status::ok;
}

Status Entity::setColorIndex(int index) {
    if (index < 0 || index > 256)
        return Status::outOfRange;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    colorIndex_ = index;
    trueColor_.reset();
    colorName_.clear();
    return Status::ok;
}

Status Entity::setTrueColor(std::optional<std::uint32_t> rgb) {
    if (rgb && *rgb > 0xFFFFFFu)
        return Status::invalidInput;
    return writeField(trueColor_, rgb);
}

Status Entity::setColorName(std::wstring_view name) {
    return writeField(colorName_, std::wstring(name));
}

Status Entity::setTransparency(std::int32_t value) {
    const bool valid = value == transparency::byLayer || value == transparency::byBlock ||
                       (value & ~0xFF) == transparency::alpha;
    if (!valid)
        return Status::invalidInput;
    return writeField(transparency_, value);
}

bool Entity::hasThickness() const {
    switch (type()) {
    case ObjectType::line:
    case ObjectType::arc:
    case ObjectType::circle:
    case ObjectType::point:
    case ObjectType::text:
    case ObjectType::attribute:
    case ObjectType::attributeDefinition:
    case ObjectType::solid:
    case ObjectType::trace:
        return true;
    case ObjectType::polyline:
        // A polyline in space has no plane to extrude from.
        return static_cast<const Polyline*>(this)->form() != PolylineForm::space;
    case ObjectType::ellipse:
    case ObjectType::spline:
    case ObjectType::mtext:
    case ObjectType::hatch:
    case ObjectType::region:
    case ObjectType::blockReference:
    case ObjectType::face:
    case ObjectType::xline:
    case ObjectType::ray:
    case ObjectType::dimension: // drawn by its block, whose entities keep their own
    case ObjectType::leader:
    case ObjectType::rawEntity: // its tags hold whatever the file gave
    case ObjectType::blockTable:
    case ObjectType::layerTable:
    case ObjectType::linetypeTable:
    case ObjectType::regAppTable:
    case ObjectType::textStyleTable:
    case ObjectType::blockTableRecord:
    case ObjectType::layerTableRecord:
    case ObjectType::linetypeTableRecord:
    case ObjectType::regAppTableRecord:
    case ObjectType::textStyleTableRecord:
    case ObjectType::dictionary:
    case ObjectType::group:
    case ObjectType::sortentsTable:
    case ObjectType::rawObject:
        return false;
    }
    return false;
}

Status Entity::setThickness(double t) {
    if (!std::isfinite(t))
        return Status::invalidInput;
    if (t != 0 && !hasThickness())
        return Status::notApplicable;
    return writeField(thickness_, t);
}

std::wstring Entity::linetype() const {
    return linetypeId_.isNull()
               ? (pendingLinetype_.empty() ? std::wstring(L"ByLayer") : pendingLinetype_)
               : recordName(linetypeId_);
}

Status Entity::setLinetype(ObjectId id) {
    if (id.isNull())
        return Status::nullObjectId;
    if (database() && id.database() != database())
        return Status::wrongDatabase;
    if (!id.database() || !id.database()->impl().get<LinetypeTableRecord>(id))
        return Status::wrongObjectType;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    linetypeId_ = id;
    pendingLinetype_.clear();
    return Status::ok;
}

Status Entity::setLinetype(std::wstring_view name) {
    if (Database* db = nameDatabase(*this)) {
        ObjectId id;
        Status s = db->getLinetypeId(name, id);
        return ok(s) ? setLinetype(id) : s;
    }
    if (!isValidSymbolName(name))
        return Status::invalidInput;
    pendingLinetype_ = name;
    return Status::ok;
}

Status Entity::setLinetypeScale(double scale) {
    if (!(scale > 0) || !std::isfinite(scale))
        return Status::invalidInput;
    return writeField(linetypeScale_, scale);
}

Status Entity::setLineWeight(int weight) {
    if (!lineweight::isValid(weight))
        return Status::invalidInput;
    return writeField(lineWeight_, weight);
}

Status Entity::setVisible(bool v) {
    return writeField(visible_, v);
}

Status Entity::setDatabaseDefaults(Database& db) {
    if (database() && database() != &db)
        return Status::wrongDatabase;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    layerId_ = db.clayer();
    int color = 256, weight = -1;
    double ltscale = 1;
    std::wstring ltype;
    db.getInt(L"CECOLOR", color);
    db.getInt(L"CELWEIGHT", weight);
    db.getReal(L"CELTSCALE", ltscale);
    db.getString(L"CELTYPE", ltype);
    colorIndex_ = color;
    trueColor_.reset();
    colorName_.clear();
    lineWeight_ = weight;
    linetypeScale_ = ltscale;
    ObjectId lt;
    linetypeId_ = ok(db.getLinetypeId(ltype, lt)) ? lt : db.byLayerLinetypeId();
    pendingLayer_.clear();
    pendingLinetype_.clear();
    return Status::ok;
}

Status Entity::setPropertiesFrom(const Entity& o) {
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    layerId_ = o.layerId_;
    linetypeId_ = o.linetypeId_;
    pendingLayer_ = o.pendingLayer_;
    pendingLinetype_ = o.pendingLinetype_;
    colorIndex_ = o.colorIndex_;
    trueColor_ = o.trueColor_;
    colorName_ = o.colorName_;
    transparency_ = o.transparency_;
    linetypeScale_ = o.linetypeScale_;
    lineWeight_ = o.lineWeight_;
    visible_ = o.visible_;
    return Status::ok;
}

Status Entity::getTransformedCopy(const geom::Matrix3d& m, std::unique_ptr<Entity>& out) const {
    std::unique_ptr<Entity> c = cloneEntity();
    Status s = c->transformBy(m);
    if (ok(s))
        out = std::move(c);
    return s;
}

Status Entity::explode(std::vector<std::unique_ptr<Entity>>&) const {
    return Status::notApplicable;
}

std::unique_ptr<Entity> Entity::cloneEntity() const {
    std::unique_ptr<DbObject> c = clone();
    return std::unique_ptr<Entity>(static_cast<Entity*>(c.release()));
}

void Entity::collectReferences(std::vector<ObjectId>& out) const {
    if (!layerId_.isNull())
        out.push_back(layerId_);
    if (!linetypeId_.isNull())
        out.push_back(linetypeId_);
}

void Entity::remapReferences(const IdMapFn& map) {
    if (!layerId_.isNull())
        layerId_ = map(layerId_);
    if (!linetypeId_.isNull())
        linetypeId_ = map(linetypeId_);
}

void Entity::dumpFields(DumpWriter& out) const {
    DbObject::dumpFields(out);
    out.field(L"layer", layer());
    out.field(L"color", colorIndex_);
    out.field(L"linetype", linetype());
    out.field(L"ltscale", linetypeScale_);
    out.field(L"lineweight", lineWeight_);
    out.field(L"visible", visible_);
    out.field(L"truecolor", trueColor_ ? int(*trueColor_) : -1);
    out.field(L"colorname", colorName_);
    out.field(L"transparency", int(transparency_));
    out.field(L"thickness", thickness_);
}

} // namespace zhost::db
