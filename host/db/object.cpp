#include "database_impl.h"

#include "zhost/core/utf.h"
#include "zhost/db/dump.h"
#include "zhost/db/symbol_tables.h"

namespace zhost::db {

bool DbObject::isWriteEnabled() const {
    if (id_.isNull())
        return true;
    const DatabaseImpl& d = id_.database()->impl();
    return id_.index() < d.slots.size() && d.slots[id_.index()].writer;
}

bool DbObject::isReadEnabled() const {
    if (id_.isNull())
        return true;
    const DatabaseImpl& d = id_.database()->impl();
    return id_.index() < d.slots.size() &&
           (d.slots[id_.index()].writer || d.slots[id_.index()].readers > 0);
}

Status DbObject::assertWriteEnabled() {
    if (id_.isNull())
        return Status::ok;
    DatabaseImpl& d = id_.database()->impl();
    if (id_.index() >= d.slots.size() || d.slots[id_.index()].obj.get() != this ||
        !d.slots[id_.index()].writer)
        return Status::notOpenForWrite;
    d.recordBefore(id_.index());
    return Status::ok;
}

Status DbObject::erase(bool erasing) {
    if (erased_ == erasing)
        return erasing ? Status::wasErased : Status::ok;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    // Layer "0", the layouts and the root objects stay.
    if (erasing && database()) {
        const Database& db = *database();
        if (id_ == db.layerZeroId() || id_ == db.modelSpaceId() || id_ == db.paperSpaceId() ||
            id_ == db.byLayerLinetypeId() || id_ == db.byBlockLinetypeId() ||
            id_ == db.continuousLinetypeId() || ownerId_.isNull() || id_ == db.clayer() ||
            id_ == db.groupDictionaryId())
            return Status::notApplicable;
    }
    erased_ = erasing;
    if (auto* record = dynamic_cast<SymbolTableRecord*>(this); record && database()) {
        if (erasing)
            database()->impl().recordErased(ownerId_, record->name(), id_);
        else
            database()->impl().invalidateNames(ownerId_);
    }
    return Status::ok;
}

XData DbObject::xdata(std::wstring_view app) const {
    XData out;
    for (const auto& [name, chain] : xdata_) {
        if (app.empty() || equalsNoCase(name, app)) {
            out.insert(out.end(), chain.begin(), chain.end());
            if (!app.empty())
                break;
        }
    }
    return out;
}

Status DbObject::setXData(const XData& chain) {
    Status s = validateXData(chain);
    if (!ok(s))
        return s;
    const auto parts = splitByApplication(chain);
    if (Database* db = database())
        for (const XData& part : parts)
            if (!db->isAppRegistered(part.front().str()))
                return Status::keyNotFound;
    s = assertWriteEnabled();
    if (!ok(s))
        return s;
    for (const XData& part : parts) {
        const std::wstring& app = part.front().str();
        auto it = std::find_if(xdata_.begin(), xdata_.end(),
                               [&](const auto& e) { return equalsNoCase(e.first, app); });
        if (part.size() == 1) {
            if (it != xdata_.end())
                xdata_.erase(it);
        } else if (it != xdata_.end()) {
            it->second = part;
        } else {
            xdata_.emplace_back(app, part);
        }
    }
    ++xdataSerial_;
    return Status::ok;
}

std::vector<std::wstring> DbObject::xdataApplications() const {
    std::vector<std::wstring> out;
    for (const auto& e : xdata_)
        out.push_back(e.first);
    return out;
}

bool DbObject::hasXData(std::wstring_view app) const {
    for (const auto& e : xdata_)
        if (equalsNoCase(e.first, app))
            return true;
    return false;
}

std::unique_ptr<DbObject> DbObject::clone() const {
    std::unique_ptr<DbObject> c = copy();
    c->id_ = {};
    c->ownerId_ = {};
    c->handle_ = {};
    c->erased_ = false;
    c->dropOwnedForClone();
    return c;
}

void DbObject::collectReferences(std::vector<ObjectId>&) const {}
void DbObject::remapReferences(const IdMapFn&) {}

void DbObject::dumpFields(DumpWriter& out) const {
    out.field(L"type", dxfName());
    out.field(L"handle", handle_.toHex());
    out.field(L"owner", ownerId_);
    if (erased_)
        out.field(L"erased", true);
    for (const auto& [app, chain] : xdata_)
        for (const ResBuf& rb : chain) {
            std::wstring v;
            switch (resTypeOf(rb.code)) {
            case ResType::string:
                v = rb.str();
                break;
            case ResType::real:
                v = formatNumber(rb.real());
                break;
            case ResType::integer:
                v = std::to_wstring(rb.integer());
                break;
            case ResType::point: {
                const auto p = rb.point();
                v = formatNumber(p.x) + L"," + formatNumber(p.y) + L"," + formatNumber(p.z);
                break;
            }
            case ResType::none:
                break;
            }
            out.field(L"xdata " + std::to_wstring(rb.code), v);
        }
}

} // namespace zhost::db
