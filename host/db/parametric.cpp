// The public calls on parametric blocks: declarations, bindings, private copies per reference,
// evaluation and static copies.
#include "database_impl.h"
#include "param_model.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/symbol_tables.h"

#include <muParser.h>

#include <memory>

namespace zhost::db::param {

namespace {

bool validParamName(std::wstring_view name) {
    if (name.empty())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        const bool letter =
            (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c > 0x7F;
        if (!(letter || (i > 0 && c >= L'0' && c <= L'9')))
            return false;
    }
    return true;
}

// The block of an id that is a block or a block reference.
Status blockOf(ObjectId id, ObjectId& block) {
    Database* db = id.database();
    if (!db)
        return Status::nullObjectId;
    if (db->impl().get<BlockTableRecord>(id)) {
        block = id;
        return Status::ok;
    }
    if (auto* r = db->impl().get<BlockReference>(id)) {
        block = r->blockTableRecord();
        return Status::ok;
    }
    return db->impl().object(id) ? Status::wrongObjectType : Status::nullObjectId;
}

Status writeDecl(ObjectId blockId, const BlockParams& p) {
    Database& db = *blockId.database();
    Status s = db.registerApp(kAppName);
    if (!ok(s))
        return s;
    ObjectPtr<BlockTableRecord> b(blockId, OpenMode::forWrite);
    if (!b)
        return b.status();
    return b->setXData(writeBlockParams(p));
}

BlockParams declOf(ObjectId blockId) {
    auto* b = blockId.database()->impl().get<BlockTableRecord>(blockId);
    return b ? readBlockParams(*b) : BlockParams();
}

// A free anonymous block name "*U<n>".
std::wstring anonymousName(Database& db) {
    for (int n = int(db.impl().slots.size() % 1000) + 1;; ++n) {
        std::wstring name = L"*U" + std::to_wstring(n);
        ObjectId id;
        if (!ok(db.getBlockId(name, id)))
            return name;
    }
}

// Copies a block's entities into a new block `name`; the copy keeps the block's extended data.
Status copyBlock(Database& db, ObjectId srcId, const std::wstring& name, ObjectId& out) {
    auto* src = db.impl().get<BlockTableRecord>(srcId);
    if (!src)
        return Status::nullObjectId;
    Status s = db.addBlock(name, out, src->origin());
    if (!ok(s))
        return s;
    IdMap map;
    s = db.deepCloneObjects(src->entityIds(), out, map);
    if (!ok(s))
        return s;
    ObjectPtr<BlockTableRecord> b(out, OpenMode::forWrite);
    if (!b)
        return b.status();
    if (const XData x = src->xdata(); !x.empty())
        s = b->setXData(x);
    if (ok(s))
        s = b->setInsertUnits(src->insertUnits());
    return s;
}

// The reference's private copy of its parametric definition, made on first use; `decl` is the
// declaration of the reference's block, and becomes the copy's.
Status ensurePrivate(ObjectId refId, BlockParams& decl, ObjectId& out) {
    Database& db = *refId.database();
    auto* ref = db.impl().get<BlockReference>(refId);
    if (!ref)
        return Status::wrongObjectType;
    const ObjectId blockId = ref->blockTableRecord();
    if (!decl.present)
        return Status::notApplicable;
    if (decl.owner == ref->handle()) {
        out = blockId;
        return Status::ok;
    }
    if (decl.base.isNull())
        decl.base = blockId.handle();
    decl.owner = ref->handle();
    Status s = copyBlock(db, blockId, anonymousName(db), out);
    if (ok(s))
        s = writeDecl(out, decl);
    if (!ok(s))
        return s;
    ObjectPtr<BlockReference> w(refId, OpenMode::forWrite);
    if (!w)
        return w.status();
    return w->setBlockTableRecord(out);
}

Status ensurePrivate(ObjectId refId, ObjectId& out) {
    auto* ref = refId.database()->impl().get<BlockReference>(refId);
    if (!ref)
        return Status::wrongObjectType;
    BlockParams decl = declOf(ref->blockTableRecord());
    return ensurePrivate(refId, decl, out);
}

int findParam(const BlockParams& p, std::wstring_view name) {
    for (std::size_t i = 0; i < p.params.size(); ++i)
        if (equalsNoCase(p.params[i].name, name))
            return int(i);
    return -1;
}

} // namespace

Status checkSyntax(const std::wstring& owner, const std::wstring& expression, ParamError* error) {
    try {
        // One parser per thread, made once: making one defines every function and operator
        // anew, which cost more than the parse itself. Unknown names become variables as they
        // are met, so what the parser has seen before changes no answer.
        thread_local std::unique_ptr<mu::Parser> checker;
        if (!checker) {
            auto p = std::make_unique<mu::Parser>();
            std::string chars = "0123456789_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
            for (int c = 0x80; c <= 0xFF; ++c)
                chars.push_back(char(c));
            p->DefineNameChars(chars.c_str());
            p->SetVarFactory([](const char*, void*) -> double* {
                static double sink = 0;
                return &sink;
            });
            checker = std::move(p);
        }
        checker->SetExpr(toUtf8(expression));
        checker->GetUsedVar();
        return Status::ok;
    } catch (const mu::Parser::exception_type& e) {
        const std::wstring token = fromUtf8(e.GetToken());
        const std::string u = toUtf8(expression);
        int pos = 0;
        for (int i = 0; i < e.GetPos() && i < int(u.size()); ++i)
            if ((static_cast<unsigned char>(u[std::size_t(i)]) & 0xC0) != 0x80)
                ++pos;
        return fail(error, Status::parseError, owner, owner + L": " + fromUtf8(e.GetMsg()),
                    expression, token, e.GetPos() < 0 ? -1 : pos);
    }
}

bool isParametric(ObjectId id) {
    ObjectId block;
    return ok(blockOf(id, block)) && declOf(block).present;
}

Status setParameter(ObjectId blockId, std::wstring_view name, std::wstring_view expression,
                    ParamError* error) {
    Database* db = blockId.database();
    if (!db || !db->impl().get<BlockTableRecord>(blockId))
        return fail(error, Status::wrongObjectType, std::wstring(name), L"not a block definition");
    if (!validParamName(name))
        return fail(error, Status::invalidInput, std::wstring(name),
                    L"\"" + std::wstring(name) + L"\" is not a valid parameter name");
    Status s = checkSyntax(std::wstring(name), std::wstring(expression), error);
    if (!ok(s))
        return s;
    BlockParams decl = declOf(blockId);
    decl.present = true;
    const int i = findParam(decl, name);
    if (i < 0)
        decl.params.push_back({std::wstring(name), std::wstring(expression), 0});
    else
        decl.params[std::size_t(i)].expression = expression;
    UndoGroup group(*db);
    return writeDecl(blockId, decl);
}

Status removeParameter(ObjectId blockId, std::wstring_view name) {
    if (!blockId.database())
        return Status::nullObjectId;
    BlockParams decl = declOf(blockId);
    const int i = findParam(decl, name);
    if (i < 0)
        return Status::keyNotFound;
    decl.params.erase(decl.params.begin() + i);
    UndoGroup group(*blockId.database());
    return writeDecl(blockId, decl);
}

Status setBinding(ObjectId entityId, const Binding& binding, ParamError* error) {
    Database* db = entityId.database();
    if (!db || !db->impl().get<Entity>(entityId))
        return fail(error, Status::wrongObjectType, binding.property, L"not an entity");
    Prop prop;
    int index;
    if (!parseProperty(binding.property, prop, index))
        return fail(error, Status::invalidInput, binding.property,
                    L"unknown property \"" + binding.property + L"\"");
    if (!binding.expression.empty() && prop != Prop::text) {
        Status s = checkSyntax(binding.property, binding.expression, error);
        if (!ok(s))
            return s;
    }
    std::vector<Binding> all = readBindings(*db->impl().get<Entity>(entityId));
    std::erase_if(all,
                  [&](const Binding& b) { return equalsNoCase(b.property, binding.property); });
    if (!binding.expression.empty())
        all.push_back(binding);
    UndoGroup group(*db);
    Status s = db->registerApp(kAppName);
    if (!ok(s))
        return s;
    ObjectPtr<Entity> e(entityId, OpenMode::forWrite);
    if (!e)
        return e.status();
    return e->setXData(writeBindings(all));
}

Status bindings(ObjectId entityId, std::vector<Binding>& out) {
    out.clear();
    Database* db = entityId.database();
    auto* e = db ? db->impl().get<Entity>(entityId) : nullptr;
    if (!e)
        return Status::wrongObjectType;
    out = readBindings(*e);
    return Status::ok;
}

Status parameters(ObjectId id, std::vector<ParameterInfo>& out) {
    out.clear();
    ObjectId block;
    Status s = blockOf(id, block);
    if (!ok(s))
        return s;
    const BlockParams decl = declOf(block);
    if (!decl.present)
        return Status::notApplicable;
    for (const ParamDecl& d : decl.params)
        out.push_back({d.name, d.expression, d.value});
    return Status::ok;
}

Status parameterNames(ObjectId id, std::vector<std::wstring>& out) {
    out.clear();
    std::vector<ParameterInfo> infos;
    Status s = parameters(id, infos);
    for (const auto& p : infos)
        out.push_back(p.name);
    return s;
}

Status parameterValue(ObjectId id, std::wstring_view name, double& out) {
    std::vector<ParameterInfo> infos;
    Status s = parameters(id, infos);
    if (!ok(s))
        return s;
    for (const auto& p : infos)
        if (equalsNoCase(p.name, name)) {
            out = p.value;
            return Status::ok;
        }
    return Status::keyNotFound;
}

Status setParameterExpression(ObjectId id, std::wstring_view name, std::wstring_view expression,
                              ParamError* error) {
    ObjectId block;
    Status s = blockOf(id, block);
    if (!ok(s))
        return fail(error, s, std::wstring(name), L"not a block or block reference");
    BlockParams decl = declOf(block);
    if (findParam(decl, name) < 0)
        return fail(error, Status::keyNotFound, std::wstring(name),
                    L"unknown parameter \"" + std::wstring(name) + L"\"");
    s = checkSyntax(std::wstring(name), std::wstring(expression), error);
    if (!ok(s))
        return s;
    UndoGroup group(*id.database());
    if (block != id) {
        s = ensurePrivate(id, decl, block);
        if (!ok(s))
            return fail(error, s, std::wstring(name), L"the reference cannot get its own copy");
    }
    const BlockParams old = decl;
    decl.params[std::size_t(findParam(decl, name))].expression = expression;
    s = writeDecl(block, decl);
    if (!ok(s))
        return s;
    // A trial run reports unknown names and cycles now; the old expression then stays.
    s = evaluateBlock(block, false, nullptr, error);
    if (!ok(s))
        writeDecl(block, old);
    return s;
}

Status evaluate(ObjectId id, ParamError* error) {
    ObjectId block;
    Status s = blockOf(id, block);
    if (!ok(s))
        return fail(error, s, L"", L"not a block or block reference");
    if (!declOf(block).present)
        return fail(error, Status::notApplicable, L"", L"the block has no parameters");
    UndoGroup group(*id.database());
    if (block != id) {
        s = ensurePrivate(id, block);
        if (!ok(s))
            return fail(error, s, L"", L"the reference cannot get its own copy");
    }
    return evaluateBlock(block, true, nullptr, error);
}

Status baseDefinition(ObjectId refId, ObjectId& out) {
    out = {};
    Database* db = refId.database();
    auto* ref = db ? db->impl().get<BlockReference>(refId) : nullptr;
    if (!ref)
        return Status::wrongObjectType;
    const BlockParams decl = declOf(ref->blockTableRecord());
    out = ref->blockTableRecord();
    if (!decl.base.isNull()) {
        ObjectId base;
        if (ok(db->getObjectId(decl.base, base)) && db->impl().get<BlockTableRecord>(base) &&
            !base.isErased())
            out = base;
    }
    return Status::ok;
}

Status stripParametricData(ObjectId blockId) {
    Database* db = blockId.database();
    auto* b = db ? db->impl().get<BlockTableRecord>(blockId) : nullptr;
    if (!b)
        return Status::wrongObjectType;
    UndoGroup group(*db);
    const XData remove{xApp(kAppName)};
    if (b->hasXData(kAppName)) {
        ObjectPtr<BlockTableRecord> w(blockId, OpenMode::forWrite);
        if (!w)
            return w.status();
        w->setXData(remove);
    }
    for (ObjectId id : b->entityIds()) {
        if (!db->impl().object(id)->hasXData(kAppName))
            continue;
        ObjectPtr<Entity> e(id, OpenMode::forWrite);
        if (!e)
            return e.status();
        e->setXData(remove);
    }
    return Status::ok;
}

Status makeStatic(ObjectId refId, std::wstring_view name, ObjectId& out) {
    out = {};
    Database* db = refId.database();
    auto* ref = db ? db->impl().get<BlockReference>(refId) : nullptr;
    if (!ref)
        return Status::wrongObjectType;
    UndoGroup group(*db);
    Status s = copyBlock(*db, ref->blockTableRecord(), std::wstring(name), out);
    if (ok(s))
        s = stripParametricData(out);
    if (!ok(s))
        return s;
    ObjectPtr<BlockReference> w(refId, OpenMode::forWrite);
    if (!w)
        return w.status();
    return w->setBlockTableRecord(out);
}

} // namespace zhost::db::param
