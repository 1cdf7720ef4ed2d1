#include "database_impl.h"

#include "parametric_cache.h"
#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/dictionary.h"
#include "zhost/db/raw.h"
#include "zhost/db/symbol_tables.h"

#include <cwctype>

namespace zhost::db {

// --- Handle and ObjectId
// ---------------------------------------------------------------------------

std::wstring Handle::toHex() const {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    if (value_ == 0)
        return L"0";
    std::wstring s;
    for (std::uint64_t v = value_; v; v >>= 4)
        s.insert(s.begin(), digits[v & 15]);
    return s;
}

bool Handle::fromHex(std::wstring_view text, Handle& out) {
    if (text.empty() || text.size() > 16)
        return false;
    std::uint64_t v = 0;
    for (wchar_t c : text) {
        int d;
        if (c >= L'0' && c <= L'9')
            d = c - L'0';
        else if (c >= L'a' && c <= L'f')
            d = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            d = c - L'A' + 10;
        else
            return false;
        v = (v << 4) | std::uint64_t(d);
    }
    out = Handle(v);
    return true;
}

bool ObjectId::isValid() const {
    return db_ && db_->impl().object(*this) != nullptr;
}

bool ObjectId::isErased() const {
    const DbObject* o = db_ ? db_->impl().object(*this) : nullptr;
    return o && o->isErased();
}

Handle ObjectId::handle() const {
    const DbObject* o = db_ ? db_->impl().object(*this) : nullptr;
    return o ? o->handle() : Handle();
}

// --- DatabaseImpl
// ------------------------------------------------------------------------------------

DatabaseImpl::DatabaseImpl(Database& s) : self(s) {
    slots.resize(1);
}
DatabaseImpl::~DatabaseImpl() = default;

DbObject* DatabaseImpl::object(ObjectId id) const {
    if (id.database() != &self || id.index() == 0 || id.index() >= slots.size())
        return nullptr;
    return slots[id.index()].obj.get();
}

ObjectId DatabaseImpl::add(std::unique_ptr<DbObject> obj, ObjectId owner) {
    const auto index = std::uint32_t(slots.size());
    const ObjectId id = idOf(index);
    const std::uint64_t oldSeed = handleSeed;
    Handle h = obj->handle_;
    if (h.isNull() || handles.count(h.value()))
        h = Handle(handleSeed);
    if (h.value() >= handleSeed)
        handleSeed = h.value() + 1;
    obj->id_ = id;
    obj->ownerId_ = owner;
    obj->handle_ = h;
    handles[h.value()] = index;
    slots.emplace_back();
    slots.back().obj = std::move(obj);
    slots.back().snapEpoch = epoch;
    if (recording) {
        JournalEntry e;
        e.kind = JournalEntry::object;
        e.slot = index;
        e.oldSeed = oldSeed;
        e.epoch = epoch;
        journal.push_back(std::move(e));
    }
    logObject(index, *slots.back().obj, ChangeLogEntry::added);
    return id;
}

void DatabaseImpl::recordBefore(std::uint32_t slot) {
    Slot& s = slots[slot];
    logObject(slot, *s.obj, ChangeLogEntry::written);
    if (!recording || s.snapEpoch == epoch)
        return;
    s.snapEpoch = epoch;
    JournalEntry e;
    e.kind = JournalEntry::object;
    e.slot = slot;
    e.epoch = epoch;
    e.prior = s.obj->copy();
    journal.push_back(std::move(e));
}

void DatabaseImpl::recordVar(const std::wstring& name, const VarValue& old) {
    logVariable(name);
    if (!recording)
        return;
    if (groupDepth == 0)
        boundary(); // outside any group, a variable change is a step of its own
    JournalEntry e;
    e.kind = JournalEntry::variable;
    e.varName = name;
    e.oldValue = old;
    e.epoch = epoch;
    journal.push_back(std::move(e));
}

ObjectId DatabaseImpl::lookUp(ObjectId tableId, std::wstring_view name) {
    auto* table = get<SymbolTable>(tableId);
    if (!table)
        return {};
    NameIndex& ix = nameIndexes[tableId.index()];
    if (!ix.valid) {
        ix.byName.clear();
        for (ObjectId rid : table->records_) {
            auto* r = get<SymbolTableRecord>(rid);
            if (r && !r->isErased() && !ix.byName.emplace(toUpperName(r->name()), rid).second)
                ix.duplicates = true;
        }
        ix.valid = true;
    }
    auto it = ix.byName.find(toUpperName(name));
    return it == ix.byName.end() ? ObjectId() : it->second;
}

void DatabaseImpl::invalidateNames(ObjectId tableId) {
    nameIndexes.erase(tableId.index());
}

void DatabaseImpl::recordAdded(ObjectId tableId, const std::wstring& name, ObjectId id) {
    const auto it = nameIndexes.find(tableId.index());
    if (it == nameIndexes.end() || !it->second.valid)
        return;
    // The first live record of a name keeps it, as in a rebuild (the new one comes last).
    if (!it->second.byName.emplace(toUpperName(name), id).second)
        it->second.duplicates = true;
}

void DatabaseImpl::recordErased(ObjectId tableId, const std::wstring& name, ObjectId id) {
    const auto it = nameIndexes.find(tableId.index());
    if (it == nameIndexes.end() || !it->second.valid)
        return;
    // Another record of the same name may take the place: only a rebuild knows which.
    if (it->second.duplicates) {
        invalidateNames(tableId);
        return;
    }
    const auto at = it->second.byName.find(toUpperName(name));
    if (at != it->second.byName.end() && at->second == id)
        it->second.byName.erase(at);
}

// --- Opening
// -----------------------------------------------------------------------------------------

Status openObject(ObjectId id, OpenMode mode, DbObject*& out, bool openErased) {
    out = nullptr;
    if (id.isNull() || !id.database())
        return Status::nullObjectId;
    DatabaseImpl& d = id.database()->impl();
    if (id.index() >= d.slots.size() || !d.slots[id.index()].obj)
        return Status::nullObjectId;
    Slot& s = d.slots[id.index()];
    if (s.obj->isErased() && !openErased)
        return Status::wasErased;
    if (s.writer)
        return Status::wasOpenForWrite;
    if (mode == OpenMode::forWrite) {
        if (s.readers > 0)
            return Status::wasOpenForRead;
        s.writer = true;
        if (d.groupDepth == 0)
            d.boundary(); // outside any group, every write open is a step of its own
    } else {
        ++s.readers;
    }
    ++d.openCount;
    out = s.obj.get();
    return Status::ok;
}

Status closeObject(ObjectId id, OpenMode mode) {
    if (id.isNull() || !id.database())
        return Status::nullObjectId;
    DatabaseImpl& d = id.database()->impl();
    if (id.index() >= d.slots.size() || !d.slots[id.index()].obj)
        return Status::nullObjectId;
    Slot& s = d.slots[id.index()];
    if (mode == OpenMode::forWrite) {
        if (!s.writer)
            return Status::notOpenForWrite;
        s.writer = false;
    } else {
        if (s.readers == 0)
            return Status::invalidInput;
        --s.readers;
    }
    --d.openCount;
    return Status::ok;
}

Status upgradeOpen(ObjectId id) {
    if (id.isNull() || !id.database() || !id.database()->impl().object(id))
        return Status::nullObjectId;
    Slot& s = id.database()->impl().slots[id.index()];
    if (s.writer)
        return Status::ok;
    if (s.readers != 1)
        return Status::wasOpenForRead;
    s.readers = 0;
    s.writer = true;
    return Status::ok;
}

Status downgradeOpen(ObjectId id) {
    if (id.isNull() || !id.database() || !id.database()->impl().object(id))
        return Status::nullObjectId;
    Slot& s = id.database()->impl().slots[id.index()];
    if (!s.writer)
        return Status::notOpenForWrite;
    s.writer = false;
    s.readers = 1;
    return Status::ok;
}

// --- Database
// ------------------------------------------------------------------------------------------

Database::Database() : impl_(std::make_unique<DatabaseImpl>(*this)) {
    impl_->recording = false;
    impl_->initVariables();
    impl_->createDefaults();
    impl_->recording = true;
    impl_->journal.clear();
}

Database::~Database() = default;

void DatabaseImpl::createDefaults() {
    auto addTable = [&](std::unique_ptr<SymbolTable> t) { return add(std::move(t), {}); };
    blockTable = addTable(std::make_unique<BlockTable>());
    layerTable = addTable(std::make_unique<LayerTable>());
    linetypeTable = addTable(std::make_unique<LinetypeTable>());
    regAppTable = addTable(std::make_unique<RegAppTable>());
    textStyleTable = addTable(std::make_unique<TextStyleTable>());
    namedObjects = add(std::make_unique<Dictionary>(), {});

    auto addRecord = [&](ObjectId table, std::unique_ptr<SymbolTableRecord> r) {
        ObjectId id = add(std::move(r), table);
        get<SymbolTable>(table)->records_.push_back(id);
        return id;
    };
    byBlock = addRecord(linetypeTable, std::make_unique<LinetypeTableRecord>(L"ByBlock"));
    byLayer = addRecord(linetypeTable, std::make_unique<LinetypeTableRecord>(L"ByLayer"));
    auto cont = std::make_unique<LinetypeTableRecord>(L"Continuous");
    cont->setDescription(L"Solid line");
    continuous = addRecord(linetypeTable, std::move(cont));
    auto zero = std::make_unique<LayerTableRecord>(L"0");
    zero->setLinetype(continuous);
    layerZero = addRecord(layerTable, std::move(zero));
    modelSpace = addRecord(blockTable, std::make_unique<BlockTableRecord>(L"*Model_Space"));
    paperSpace = addRecord(blockTable, std::make_unique<BlockTableRecord>(L"*Paper_Space"));
    addRecord(regAppTable, std::make_unique<RegAppTableRecord>(L"ACAD"));
    addRecord(textStyleTable, std::make_unique<TextStyleTableRecord>(L"Standard"));

    groupDictionary = add(std::make_unique<Dictionary>(), namedObjects);
    get<Dictionary>(namedObjects)->entries_.emplace_back(L"ACAD_GROUP", groupDictionary);
}

ObjectId Database::blockTableId() const {
    return impl_->blockTable;
}
ObjectId Database::layerTableId() const {
    return impl_->layerTable;
}
ObjectId Database::linetypeTableId() const {
    return impl_->linetypeTable;
}
ObjectId Database::regAppTableId() const {
    return impl_->regAppTable;
}
ObjectId Database::textStyleTableId() const {
    return impl_->textStyleTable;
}
ObjectId Database::namedObjectsDictionaryId() const {
    return impl_->namedObjects;
}
ObjectId Database::groupDictionaryId() const {
    return impl_->groupDictionary;
}
ObjectId Database::modelSpaceId() const {
    return impl_->modelSpace;
}
ObjectId Database::paperSpaceId() const {
    return impl_->paperSpace;
}
ObjectId Database::layerZeroId() const {
    return impl_->layerZero;
}
ObjectId Database::byLayerLinetypeId() const {
    return impl_->byLayer;
}
ObjectId Database::byBlockLinetypeId() const {
    return impl_->byBlock;
}
ObjectId Database::continuousLinetypeId() const {
    return impl_->continuous;
}

namespace {
Status lookUpIn(DatabaseImpl& d, ObjectId table, std::wstring_view name, ObjectId& out) {
    out = d.lookUp(table, name);
    return out.isNull() ? Status::keyNotFound : Status::ok;
}
} // namespace

Status Database::getBlockId(std::wstring_view name, ObjectId& out) const {
    return lookUpIn(*impl_, impl_->blockTable, name, out);
}
Status Database::getLayerId(std::wstring_view name, ObjectId& out) const {
    return lookUpIn(*impl_, impl_->layerTable, name, out);
}
Status Database::getLinetypeId(std::wstring_view name, ObjectId& out) const {
    return lookUpIn(*impl_, impl_->linetypeTable, name, out);
}
Status Database::getTextStyleId(std::wstring_view name, ObjectId& out) const {
    return lookUpIn(*impl_, impl_->textStyleTable, name, out);
}
Status Database::getRegAppId(std::wstring_view name, ObjectId& out) const {
    return lookUpIn(*impl_, impl_->regAppTable, name, out);
}

bool Database::isAppRegistered(std::wstring_view name) const {
    return !impl_->lookUp(impl_->regAppTable, name).isNull();
}

Status Database::registerApp(std::wstring_view name) {
    if (isAppRegistered(name))
        return Status::ok;
    ObjectPtr<RegAppTable> table(impl_->regAppTable, OpenMode::forWrite);
    if (!table)
        return table.status();
    ObjectId id;
    return table->add(std::make_unique<RegAppTableRecord>(std::wstring(name)), id);
}

Status Database::appendEntity(ObjectId blockId, std::unique_ptr<Entity> entity, ObjectId& outId) {
    if (blockId.database() != this)
        return blockId.isNull() ? Status::nullObjectId : Status::wrongDatabase;
    ObjectPtr<BlockTableRecord> block(blockId, OpenMode::forWrite);
    if (!block)
        return block.status();
    return block->appendEntity(std::move(entity), outId);
}

Status Database::appendToModelSpace(std::unique_ptr<Entity> entity, ObjectId& outId) {
    return appendEntity(impl_->modelSpace, std::move(entity), outId);
}

Status Database::addBlock(std::wstring_view name, ObjectId& outId, const geom::Point3d& origin) {
    ObjectPtr<BlockTable> table(impl_->blockTable, OpenMode::forWrite);
    if (!table)
        return table.status();
    auto rec = std::make_unique<BlockTableRecord>(std::wstring(name));
    rec->setOrigin(origin);
    return table->add(std::move(rec), outId);
}

Status Database::addLayer(std::wstring_view name, ObjectId& outId) {
    if (ok(getLayerId(name, outId)))
        return Status::duplicateKey;
    ObjectPtr<LayerTable> table(impl_->layerTable, OpenMode::forWrite);
    if (!table)
        return table.status();
    return table->add(std::make_unique<LayerTableRecord>(std::wstring(name)), outId);
}

Status Database::addKeptObject(std::unique_ptr<RawObject> object, ObjectId& outId) {
    outId = {};
    if (!object || object->isDatabaseResident())
        return Status::invalidInput;
    outId = impl_->add(std::move(object), impl_->namedObjects);
    return Status::ok;
}

Status Database::getObjectId(Handle h, ObjectId& out) const {
    auto it = impl_->handles.find(h.value());
    if (it == impl_->handles.end()) {
        out = {};
        return Status::keyNotFound;
    }
    out = impl_->idOf(it->second);
    return Status::ok;
}

Status Database::setHandle(ObjectId id, Handle h) {
    DbObject* o = impl_->object(id);
    if (!o)
        return Status::nullObjectId;
    if (h.isNull())
        return Status::invalidInput;
    if (o->handle() == h)
        return Status::ok;
    if (impl_->handles.count(h.value()))
        return Status::duplicateKey;
    impl_->recordBefore(id.index());
    impl_->handles.erase(o->handle_.value());
    o->handle_ = h;
    impl_->handles[h.value()] = id.index();
    if (h.value() >= impl_->handleSeed)
        impl_->handleSeed = h.value() + 1;
    return Status::ok;
}

Handle Database::handleSeed() const {
    return Handle(impl_->handleSeed);
}

std::vector<ObjectId> Database::allObjectIds(bool includeErased) const {
    std::vector<ObjectId> out;
    for (std::uint32_t i = 1; i < impl_->slots.size(); ++i) {
        const auto& o = impl_->slots[i].obj;
        if (o && (includeErased || !o->isErased()))
            out.push_back(impl_->idOf(i));
    }
    return out;
}

Status Database::getSortentsTable(ObjectId blockId, OpenMode mode, ObjectPtr<SortentsTable>& out) {
    auto* block = impl_->get<BlockTableRecord>(blockId);
    if (!block)
        return blockId.isNull() ? Status::nullObjectId : Status::wrongObjectType;
    if (block->sortentsId_.isNull() || !impl_->object(block->sortentsId_)) {
        ObjectPtr<BlockTableRecord> w(blockId, OpenMode::forWrite);
        if (!w)
            return w.status();
        Status s = w->assertWriteEnabled();
        if (!ok(s))
            return s;
        w->sortentsId_ = impl_->add(std::make_unique<SortentsTable>(), blockId);
    }
    return out.open(block->sortentsId_, mode);
}

std::uint64_t Database::changeSerial() const {
    return impl_->changeSerial;
}

const std::wstring& Database::filePath() const {
    return impl_->filePath;
}
void Database::setFilePath(std::wstring path) {
    impl_->filePath = std::move(path);
}

std::wstring formatNumber(double v) {
    // Twelve significant digits: enough for drawing values, short for the usual ones ("10",
    // "2.5") and free of binary noise ("0.1", not "0.10000000000000001").
    if (v == 0)
        return L"0";
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%.12g", v);
    return buf;
}

} // namespace zhost::db
