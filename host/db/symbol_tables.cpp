#include "database_impl.h"

#include "zhost/core/utf.h"
#include "zhost/db/annotation.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/dump.h"
#include "zhost/db/symbol_tables.h"

#include <cmath>

namespace zhost::db {

bool isValidSymbolName(std::wstring_view name) {
    if (name.empty() || name.size() > 255)
        return false;
    // '*' is allowed only as the first character (anonymous and layout blocks).
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        if (c < 0x20 || std::wstring_view(L"<>/\\\":;?|,=`").find(c) != std::wstring_view::npos)
            return false;
        if (c == L'*' && i != 0)
            return false;
    }
    return true;
}

// --- Records -------------------------------------------------------------------------------------

Status SymbolTableRecord::setName(std::wstring_view name) {
    if (!isValidSymbolName(name))
        return Status::invalidInput;
    if (Database* db = database()) {
        ObjectId other = db->impl().lookUp(ownerId(), name);
        if (!other.isNull() && other != objectId())
            return Status::duplicateKey;
    }
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    name_ = name;
    if (database())
        database()->impl().invalidateNames(ownerId());
    return Status::ok;
}

void SymbolTableRecord::dumpFields(DumpWriter& out) const {
    DbObject::dumpFields(out);
    out.field(L"name", name_);
}

// --- Tables --------------------------------------------------------------------------------------

Status SymbolTable::getAt(std::wstring_view name, ObjectId& out, bool getErased) const {
    out = {};
    if (!database()) {
        return Status::keyNotFound;
    }
    DatabaseImpl& d = database()->impl();
    out = d.lookUp(objectId(), name);
    if (out.isNull() && getErased) {
        for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
            auto* r = d.get<SymbolTableRecord>(*it);
            if (r && equalsNoCase(r->name(), name)) {
                out = *it;
                break;
            }
        }
    }
    return out.isNull() ? Status::keyNotFound : Status::ok;
}

bool SymbolTable::has(std::wstring_view name) const {
    ObjectId id;
    return ok(getAt(name, id));
}

bool SymbolTable::has(ObjectId recordId) const {
    return std::find(records_.begin(), records_.end(), recordId) != records_.end() &&
           !recordId.isErased();
}

std::vector<ObjectId> SymbolTable::recordIds(bool includeErased) const {
    std::vector<ObjectId> out;
    out.reserve(records_.size());
    for (ObjectId id : records_)
        if (id.isValid() && (includeErased || !id.isErased()))
            out.push_back(id);
    return out;
}

int SymbolTable::count(bool includeErased) const {
    return int(recordIds(includeErased).size());
}

Status SymbolTable::add(std::unique_ptr<SymbolTableRecord> record, ObjectId& outId) {
    outId = {};
    if (!record)
        return Status::invalidInput;
    if (!database())
        return Status::notApplicable;
    if (record->isDatabaseResident())
        return Status::invalidInput;
    if (!accepts(*record))
        return Status::wrongObjectType;
    if (!isValidSymbolName(record->name()))
        return Status::invalidInput;
    if (has(record->name()))
        return Status::duplicateKey;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    DatabaseImpl& d = database()->impl();
    if (auto* layer = dynamic_cast<LayerTableRecord*>(record.get());
        layer && layer->linetypeId().database() != database())
        layer->setLinetype(d.continuous);
    if (auto* block = dynamic_cast<BlockTableRecord*>(record.get());
        block && record->name().starts_with(L"*") && !block->isLayout())
        block->setFlags(block->flags() | 1);
    const std::wstring name = record->name();
    outId = d.add(std::move(record), objectId());
    records_.push_back(outId);
    d.recordAdded(objectId(), name, outId);
    return Status::ok;
}

void SymbolTable::collectReferences(std::vector<ObjectId>& out) const {
    out.insert(out.end(), records_.begin(), records_.end());
}

void SymbolTable::remapReferences(const IdMapFn& map) {
    for (ObjectId& id : records_)
        id = map(id);
}

void SymbolTable::dumpFields(DumpWriter& out) const {
    DbObject::dumpFields(out);
    for (ObjectId id : records_)
        out.field(L"record", id);
}

bool BlockTable::accepts(const SymbolTableRecord& r) const {
    return dynamic_cast<const BlockTableRecord*>(&r) != nullptr;
}
bool LayerTable::accepts(const SymbolTableRecord& r) const {
    return dynamic_cast<const LayerTableRecord*>(&r) != nullptr;
}
bool LinetypeTable::accepts(const SymbolTableRecord& r) const {
    return dynamic_cast<const LinetypeTableRecord*>(&r) != nullptr;
}
bool RegAppTable::accepts(const SymbolTableRecord& r) const {
    return dynamic_cast<const RegAppTableRecord*>(&r) != nullptr;
}
bool TextStyleTable::accepts(const SymbolTableRecord& r) const {
    return dynamic_cast<const TextStyleTableRecord*>(&r) != nullptr;
}

// --- Block records -------------------------------------------------------------------------------

#define ZHOST_SETTER(Class, Setter, member, Type, check)                                           \
    Status Class::Setter(Type v) {                                                                 \
        if (!(check))                                                                              \
            return Status::invalidInput;                                                           \
        Status s = assertWriteEnabled();                                                           \
        if (ok(s))                                                                                 \
            member = v;                                                                            \
        return s;                                                                                  \
    }

ZHOST_SETTER(BlockTableRecord, setOrigin, origin_, const geom::Point3d&, true)
ZHOST_SETTER(BlockTableRecord, setComments, comments_, std::wstring_view, true)
ZHOST_SETTER(BlockTableRecord, setFlags, flags_, int, v >= 0)
ZHOST_SETTER(BlockTableRecord, setInsertUnits, insertUnits_, int, v >= 0 && v <= 20)

bool BlockTableRecord::isLayout() const {
    return equalsNoCase(name(), L"*Model_Space") ||
           toUpperName(name()).starts_with(L"*PAPER_SPACE");
}

bool BlockTableRecord::isAnonymous() const {
    return (flags_ & 1) != 0 || (name().starts_with(L"*") && !isLayout());
}

bool BlockTableRecord::hasAttributeDefinitions() const {
    if (!database())
        return false;
    for (ObjectId id : entities_) {
        auto* def = database()->impl().get<AttributeDefinition>(id);
        if (def && !def->isErased())
            return true;
    }
    return false;
}

std::vector<ObjectId> BlockTableRecord::entityIds(bool includeErased) const {
    if (includeErased)
        return entities_;
    std::vector<ObjectId> out;
    out.reserve(entities_.size());
    const DatabaseImpl* d = database() ? &database()->impl() : nullptr;
    for (ObjectId id : entities_) {
        const DbObject* o = d ? d->object(id) : nullptr;
        if (o && !o->isErased())
            out.push_back(id);
    }
    return out;
}

int BlockTableRecord::entityCount(bool includeErased) const {
    return int(entityIds(includeErased).size());
}

namespace {
// Resolves the names and ids an entity brought from outside, before it joins the database.
Status prepareForAppend(Database& db, Entity& e) {
    if (!e.layerId().isNull() && e.layerId().database() != &db)
        return Status::wrongDatabase;
    if (!e.linetypeId().isNull() && e.linetypeId().database() != &db)
        return Status::wrongDatabase;
    if (e.layerId().isNull()) {
        ObjectId id = db.clayer();
        if (!e.pendingLayer().empty() && !ok(db.getLayerId(e.pendingLayer(), id)))
            return Status::keyNotFound;
        e.setLayer(id);
    }
    if (e.linetypeId().isNull()) {
        ObjectId id = db.byLayerLinetypeId();
        if (!e.pendingLinetype().empty() && !ok(db.getLinetypeId(e.pendingLinetype(), id)))
            return Status::keyNotFound;
        e.setLinetype(id);
    }
    if (auto* t = dynamic_cast<Text*>(&e)) {
        if (t->textStyleId().isNull()) {
            std::wstring style;
            ObjectId sid;
            db.getString(L"TEXTSTYLE", style);
            if (ok(db.getTextStyleId(style, sid)) || ok(db.getTextStyleId(L"Standard", sid)))
                t->setTextStyle(sid);
        } else if (t->textStyleId().database() != &db) {
            return Status::wrongDatabase;
        }
    }
    if (auto* t = dynamic_cast<MText*>(&e)) {
        if (t->textStyleId().isNull()) {
            ObjectId sid;
            if (ok(db.getTextStyleId(L"Standard", sid)))
                t->setTextStyle(sid);
        } else if (t->textStyleId().database() != &db) {
            return Status::wrongDatabase;
        }
    }
    if (auto* r = dynamic_cast<BlockReference*>(&e)) {
        if (r->blockTableRecord().database() != &db)
            return Status::wrongDatabase;
        auto* b = db.impl().get<BlockTableRecord>(r->blockTableRecord());
        if (!b || b->isLayout())
            return Status::invalidInput;
    }
    for (const std::wstring& app : e.xdataApplications())
        if (!db.isAppRegistered(app))
            return Status::keyNotFound;
    return Status::ok;
}
} // namespace

Status BlockTableRecord::appendEntity(std::unique_ptr<Entity> entity, ObjectId& outId) {
    outId = {};
    if (!entity || entity->isDatabaseResident())
        return Status::invalidInput;
    if (!database())
        return Status::notApplicable;
    if (auto* r = dynamic_cast<BlockReference*>(entity.get());
        r && r->blockTableRecord() == objectId())
        return Status::invalidInput; // a block cannot contain itself
    if (dynamic_cast<Attribute*>(entity.get()))
        return Status::wrongObjectType; // attributes belong to references
    // A dimension moved while outside the database takes its moved picture along now.
    if (auto* d = dynamic_cast<Dimension*>(entity.get()))
        if (Status s = d->applyPendingPicture(*database()); !ok(s))
            return s;
    Status s = prepareForAppend(*database(), *entity);
    if (!ok(s))
        return s;
    s = assertWriteEnabled();
    if (!ok(s))
        return s;
    outId = database()->impl().add(std::move(entity), objectId());
    entities_.push_back(outId);
    return Status::ok;
}

void BlockTableRecord::collectReferences(std::vector<ObjectId>& out) const {
    out.insert(out.end(), entities_.begin(), entities_.end());
    if (!sortentsId_.isNull())
        out.push_back(sortentsId_);
}

void BlockTableRecord::remapReferences(const IdMapFn& map) {
    for (ObjectId& id : entities_)
        id = map(id);
    if (!sortentsId_.isNull())
        sortentsId_ = map(sortentsId_);
}

void BlockTableRecord::dumpFields(DumpWriter& out) const {
    SymbolTableRecord::dumpFields(out);
    out.field(L"origin", origin_);
    out.field(L"flags", flags_);
    out.field(L"comments", comments_);
    out.field(L"units", insertUnits_);
    for (ObjectId id : entities_)
        out.field(L"entity", id);
    out.field(L"sortents", sortentsId_);
}

// --- Layers --------------------------------------------------------------------------------------

Status LayerTableRecord::setColorIndex(int index) {
    if (index < 1 || index > 255)
        return Status::outOfRange;
    return writeField(colorIndex_, index);
}

Status LayerTableRecord::setLinetype(ObjectId id) {
    if (!id.database() || !id.database()->impl().get<LinetypeTableRecord>(id))
        return Status::wrongObjectType;
    if (database() && id.database() != database())
        return Status::wrongDatabase;
    return writeField(linetypeId_, id);
}

std::wstring LayerTableRecord::linetype() const {
    if (!linetypeId_.database())
        return L"Continuous";
    auto* r = linetypeId_.database()->impl().get<SymbolTableRecord>(linetypeId_);
    return r ? r->name() : std::wstring(L"Continuous");
}

Status LayerTableRecord::setFrozen(bool b) {
    if (b && database() && database()->clayer() == objectId())
        return Status::notApplicable;
    return writeField(frozen_, b);
}

ZHOST_SETTER(LayerTableRecord, setLineWeight, lineWeight_, int,
             lineweight::isValid(v) && v != lineweight::byLayer && v != lineweight::byBlock)
ZHOST_SETTER(LayerTableRecord, setOff, off_, bool, true)
ZHOST_SETTER(LayerTableRecord, setLocked, locked_, bool, true)
ZHOST_SETTER(LayerTableRecord, setPlottable, plottable_, bool, true)
ZHOST_SETTER(LayerTableRecord, setDescription, description_, std::wstring_view, true)

void LayerTableRecord::collectReferences(std::vector<ObjectId>& out) const {
    if (!linetypeId_.isNull())
        out.push_back(linetypeId_);
}

void LayerTableRecord::remapReferences(const IdMapFn& map) {
    if (!linetypeId_.isNull())
        linetypeId_ = map(linetypeId_);
}

void LayerTableRecord::dumpFields(DumpWriter& out) const {
    SymbolTableRecord::dumpFields(out);
    out.field(L"color", colorIndex_);
    out.field(L"linetype", linetype());
    out.field(L"lineweight", lineWeight_);
    out.field(L"frozen", frozen_);
    out.field(L"off", off_);
    out.field(L"locked", locked_);
    out.field(L"plottable", plottable_);
    out.field(L"description", description_);
}

// --- Linetypes, styles ---------------------------------------------------------------------------

ZHOST_SETTER(LinetypeTableRecord, setDescription, description_, std::wstring_view, true)

Status LinetypeTableRecord::setDashes(std::vector<LinetypeDash> dashes) {
    for (const auto& d : dashes)
        if (!std::isfinite(d.length))
            return Status::invalidInput;
    return writeField(dashes_, std::move(dashes));
}

double LinetypeTableRecord::patternLength() const {
    double l = 0;
    for (const auto& d : dashes_)
        l += std::abs(d.length);
    return l;
}

void LinetypeTableRecord::dumpFields(DumpWriter& out) const {
    SymbolTableRecord::dumpFields(out);
    out.field(L"description", description_);
    for (const auto& d : dashes_)
        out.field(L"dash", formatNumber(d.length) + d.complex);
}

ZHOST_SETTER(TextStyleTableRecord, setFileName, fileName_, std::wstring_view, true)
ZHOST_SETTER(TextStyleTableRecord, setBigFontFileName, bigFont_, std::wstring_view, true)
ZHOST_SETTER(TextStyleTableRecord, setTextSize, size_, double, v >= 0 && std::isfinite(v))
ZHOST_SETTER(TextStyleTableRecord, setWidthFactor, widthFactor_, double, v > 0 && std::isfinite(v))
ZHOST_SETTER(TextStyleTableRecord, setObliquingAngle, oblique_, double, std::isfinite(v))

void TextStyleTableRecord::dumpFields(DumpWriter& out) const {
    SymbolTableRecord::dumpFields(out);
    out.field(L"font", fileName_);
    out.field(L"bigfont", bigFont_);
    out.field(L"size", size_);
    out.field(L"width", widthFactor_);
    out.field(L"oblique", oblique_);
}

} // namespace zhost::db
