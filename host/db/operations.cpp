// Purge filtering, deep clone within a database and insert of another database as a block.
#include "database_impl.h"
#include "param_model.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/dictionary.h"
#include "zhost/db/reference_counts.h"
#include "zhost/db/symbol_tables.h"

#include <algorithm>
#include <unordered_set>

namespace zhost::db {

namespace {

// The layers and linetypes that the LAYER and LINETYPE bindings of a parametric entity choose
// from. They are named, not referenced by id, yet evaluating the block needs every one of them:
// purge keeps them and insert brings them along.
void collectBindingChoices(const Database& db, const DbObject& o, std::vector<ObjectId>& out) {
    if (!o.hasXData(param::kAppName))
        return;
    for (const param::Binding& b : param::readBindings(o)) {
        const bool layer = equalsNoCase(b.property, L"LAYER");
        if (!layer && !equalsNoCase(b.property, L"LINETYPE"))
            continue;
        for (const std::wstring& name : b.choices) {
            ObjectId id;
            if (ok(layer ? db.getLayerId(name, id) : db.getLinetypeId(name, id)))
                out.push_back(id);
        }
    }
}

} // namespace

// --- Purge ---------------------------------------------------------------------------------------

namespace {

// Whether an object's references count: a live object that is not a table, dictionary, block,
// draw-order table or group (their references only express ownership), and for an entity, one
// whose owner is live (erased definitions refer to nothing).
bool referencesCount(const DatabaseImpl& d, const DbObject* o) {
    if (!o || o->isErased())
        return false;
    if (dynamic_cast<const SymbolTable*>(o) || dynamic_cast<const Dictionary*>(o) ||
        dynamic_cast<const BlockTableRecord*>(o) || dynamic_cast<const SortentsTable*>(o) ||
        dynamic_cast<const Group*>(o))
        return false;
    if (auto* e = dynamic_cast<const Entity*>(o)) {
        const DbObject* owner = d.object(e->ownerId());
        if (!owner || owner->isErased())
            return false;
    }
    return true;
}

} // namespace

ReferenceCounts::ReferenceCounts(Database& db) : db_(&db) {
    const DatabaseImpl& d = db.impl();
    for (std::uint32_t i = 1; i < d.slots.size(); ++i)
        if (const DbObject* o = d.slots[i].obj.get())
            count(o->objectId(), 1);
}

void ReferenceCounts::count(ObjectId id, int step) {
    DatabaseImpl& d = db_->impl();
    const DbObject* o = d.object(id);
    if (!referencesCount(d, o))
        return;
    std::vector<ObjectId> refs;
    o->collectReferences(refs);
    collectBindingChoices(*db_, *o, refs);
    for (ObjectId r : refs)
        counts_[r] += step;
    for (const std::wstring& app : o->xdataApplications())
        counts_[d.lookUp(d.regAppTable, app)] += step;
}

// The entities an object owns: a block's, a reference's attributes.
void ReferenceCounts::countOwned(ObjectId id, int step) {
    const DatabaseImpl& d = db_->impl();
    if (auto* b = d.get<BlockTableRecord>(id)) {
        for (ObjectId e : b->entityIds())
            count(e, step);
    } else if (auto* r = d.get<BlockReference>(id)) {
        for (ObjectId a : r->attributeIds())
            count(a, step);
    }
}

void ReferenceCounts::added(ObjectId id) {
    if (id.database() != db_)
        return;
    count(id, 1);
    countOwned(id, 1);
}

void ReferenceCounts::erasing(ObjectId id) {
    if (id.database() != db_)
        return;
    countOwned(id, -1);
    count(id, -1);
}

Status ReferenceCounts::purge(std::vector<ObjectId>& ids) const {
    DatabaseImpl& d = db_->impl();
    std::vector<ObjectId> fixed{d.layerZero, d.modelSpace, d.paperSpace, d.byLayer,
                                d.byBlock,   d.continuous, db_->clayer()};
    fixed.push_back(d.lookUp(d.layerTable, L"Defpoints"));
    fixed.push_back(d.lookUp(d.textStyleTable, L"Standard"));
    fixed.push_back(d.lookUp(d.regAppTable, L"ACAD"));
    std::wstring s;
    if (ok(db_->getString(L"CELTYPE", s)))
        fixed.push_back(d.lookUp(d.linetypeTable, s));
    if (ok(db_->getString(L"TEXTSTYLE", s)))
        fixed.push_back(d.lookUp(d.textStyleTable, s));

    std::vector<ObjectId> keep;
    for (ObjectId id : ids) {
        const DbObject* o = d.object(id);
        if (!o)
            continue;
        if (auto* b = dynamic_cast<const BlockTableRecord*>(o); b && b->isLayout())
            continue;
        const auto it = counts_.find(id);
        if (it != counts_.end() && it->second > 0)
            continue;
        if (std::find(fixed.begin(), fixed.end(), id) != fixed.end())
            continue;
        keep.push_back(id);
    }
    ids = std::move(keep);
    return Status::ok;
}

Status Database::purge(std::vector<ObjectId>& ids) const {
    return ReferenceCounts(impl_->self).purge(ids);
}

// --- Deep clone ----------------------------------------------------------------------------------

Status Database::deepCloneObjects(const std::vector<ObjectId>& ids, ObjectId ownerBlockId,
                                  IdMap& map) {
    ObjectPtr<BlockTableRecord> block(ownerBlockId, OpenMode::forWrite);
    if (!block)
        return block.status();
    if (ownerBlockId.database() != this)
        return Status::wrongDatabase;
    for (ObjectId id : ids) {
        if (id.database() != this)
            return Status::wrongDatabase;
        auto* e = impl_->get<Entity>(id);
        if (!e)
            return Status::wrongObjectType;
        if (e->isErased())
            return Status::wasErased;
        ObjectId newId;
        Status s = block->appendEntity(e->cloneEntity(), newId);
        if (!ok(s))
            return s;
        map[id] = newId;
        if (auto* ref = dynamic_cast<BlockReference*>(e)) {
            for (ObjectId aid : ref->attributeIds()) {
                auto* attr = impl_->get<Attribute>(aid);
                ObjectPtr<BlockReference> target(newId, OpenMode::forWrite);
                if (!target)
                    return target.status();
                ObjectId newAttr;
                std::unique_ptr<DbObject> c = attr->clone();
                s = target->appendAttribute(
                    std::unique_ptr<Attribute>(static_cast<Attribute*>(c.release())), newAttr);
                if (!ok(s))
                    return s;
                map[aid] = newAttr;
            }
        }
    }
    return Status::ok;
}

// --- Insert another database ---------------------------------------------------------------------

namespace {
struct Inserter {
    Database& dst;
    const Database& src;
    IdMap map;

    // The record of the destination table that stands for a source record (by name), created
    // as a copy when missing.
    Status mapRecord(ObjectId srcId, ObjectId& out) {
        if (auto it = map.find(srcId); it != map.end()) {
            out = it->second;
            return Status::ok;
        }
        auto* rec = src.impl().get<SymbolTableRecord>(srcId);
        if (!rec)
            return Status::nullObjectId;
        ObjectId table;
        if (dynamic_cast<const LayerTableRecord*>(rec))
            table = dst.layerTableId();
        else if (dynamic_cast<const LinetypeTableRecord*>(rec))
            table = dst.linetypeTableId();
        else if (dynamic_cast<const TextStyleTableRecord*>(rec))
            table = dst.textStyleTableId();
        else if (dynamic_cast<const RegAppTableRecord*>(rec))
            table = dst.regAppTableId();
        else if (dynamic_cast<const BlockTableRecord*>(rec))
            return mapBlock(srcId, L"", out);
        else
            return Status::wrongObjectType;
        out = dst.impl().lookUp(table, rec->name());
        if (out.isNull()) {
            std::unique_ptr<DbObject> c = rec->clone();
            std::vector<ObjectId> refs;
            rec->collectReferences(refs);
            for (ObjectId r : refs) { // a layer's linetype
                ObjectId m;
                Status s = mapRecord(r, m);
                if (!ok(s))
                    return s;
            }
            c->remapReferences([this](ObjectId id) {
                auto it = map.find(id);
                return it == map.end() ? ObjectId() : it->second;
            });
            ObjectPtr<SymbolTable> t(table, OpenMode::forWrite);
            if (!t)
                return t.status();
            Status s = t->add(
                std::unique_ptr<SymbolTableRecord>(static_cast<SymbolTableRecord*>(c.release())),
                out);
            if (!ok(s))
                return s;
        }
        map[srcId] = out;
        return Status::ok;
    }

    // Copies a block definition (the source model space when `name` is given).
    Status mapBlock(ObjectId srcBlockId, std::wstring_view name, ObjectId& out) {
        auto* b = src.impl().get<BlockTableRecord>(srcBlockId);
        if (!b)
            return Status::nullObjectId;
        const std::wstring newName = name.empty() ? b->name() : std::wstring(name);
        if (name.empty()) {
            out = dst.impl().lookUp(dst.blockTableId(), newName);
            if (!out.isNull()) { // an existing definition of that name is used as it is
                map[srcBlockId] = out;
                return Status::ok;
            }
        }
        Status s = dst.addBlock(newName, out, name.empty() ? b->origin() : geom::Point3d());
        if (!ok(s))
            return s;
        map[srcBlockId] = out;
        // The definition's own extended data (parametric declarations among them) comes along.
        if (const XData x = b->xdata(); !x.empty()) {
            for (const std::wstring& app : b->xdataApplications())
                dst.registerApp(app);
            ObjectPtr<BlockTableRecord> nb(out, OpenMode::forWrite);
            if (nb)
                nb->setXData(x);
        }
        for (ObjectId eid : b->entityIds()) {
            auto* e = src.impl().get<Entity>(eid);
            s = copyEntity(*e, out);
            if (!ok(s))
                return s;
        }
        return Status::ok;
    }

    Status mapAll(const DbObject& o) {
        std::vector<ObjectId> refs;
        o.collectReferences(refs);
        collectBindingChoices(src, o, refs);
        for (ObjectId r : refs) {
            if (!src.impl().get<SymbolTableRecord>(r))
                continue; // owned objects (attributes) are copied by their owner
            ObjectId m;
            Status s = mapRecord(r, m);
            if (!ok(s))
                return s;
        }
        for (const std::wstring& app : o.xdataApplications())
            dst.registerApp(app);
        return Status::ok;
    }

    IdMapFn fn() {
        return [this](ObjectId id) {
            auto it = map.find(id);
            return it == map.end() ? ObjectId() : it->second;
        };
    }

    Status copyEntity(const Entity& e, ObjectId blockId) {
        Status s = mapAll(e);
        if (!ok(s))
            return s;
        std::unique_ptr<Entity> c = e.cloneEntity();
        c->remapReferences(fn());
        ObjectId newId;
        s = dst.appendEntity(blockId, std::move(c), newId);
        if (!ok(s))
            return s;
        map[e.objectId()] = newId;
        if (auto* ref = dynamic_cast<const BlockReference*>(&e)) {
            ObjectPtr<BlockReference> target(newId, OpenMode::forWrite);
            for (ObjectId aid : ref->attributeIds()) {
                auto* attr = src.impl().get<Attribute>(aid);
                s = mapAll(*attr);
                if (!ok(s))
                    return s;
                std::unique_ptr<DbObject> ca = attr->clone();
                ca->remapReferences(fn());
                ObjectId newAttr;
                s = target->appendAttribute(
                    std::unique_ptr<Attribute>(static_cast<Attribute*>(ca.release())), newAttr);
                if (!ok(s))
                    return s;
                map[aid] = newAttr;
            }
        }
        return Status::ok;
    }
};
} // namespace

Status Database::insert(std::wstring_view blockName, const Database& source, ObjectId& outBlockId,
                        IdMap* map) {
    outBlockId = {};
    if (&source == this)
        return Status::invalidInput;
    if (!isValidSymbolName(blockName))
        return Status::invalidInput;
    ObjectId existing;
    if (ok(getBlockId(blockName, existing)))
        return Status::duplicateKey;
    Inserter ins{*this, source, {}};
    Status s = ins.mapBlock(source.modelSpaceId(), blockName, outBlockId);
    if (ok(s)) {
        // The drawing's base point is the block's origin.
        geom::Point3d base;
        source.getPoint(L"INSBASE", base);
        ObjectPtr<BlockTableRecord> b(outBlockId, OpenMode::forWrite);
        if (b)
            b->setOrigin(base);
    }
    if (map)
        *map = std::move(ins.map);
    return s;
}

} // namespace zhost::db
