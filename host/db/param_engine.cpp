// Compiling and evaluating parametric blocks with muParser. Parsed expressions are cached per
// block and reused until the block's or one of its entities' parametric data changes (or an undo
// replaces objects); evaluation then costs only muParser's byte-code runs and the property writes.
#include "database_impl.h"
#include "param_model.h"
#include "parametric_cache.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/symbol_tables.h"

#include <muParser.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <unordered_map>

namespace zhost::db::param {

namespace {

using ParserPtr = std::shared_ptr<mu::Parser>;

// A parsed expression kept across recompilations of a block while its parameter names stay the
// same: changing one parameter's expression then parses only that one expression again.
struct Pooled {
    ParserPtr parser;
    std::vector<int> deps;
};

struct CompiledBinding {
    ObjectId entity;
    Prop prop;
    int index = -1;
    std::wstring key;
    std::vector<ParserPtr> parsers;     // one, or one per "{...}" of a TEXT template
    std::vector<std::wstring> literals; // TEXT: literal parts around the parsers
    std::vector<std::wstring> choices;
};

struct Model {
    std::uint64_t blockSerial = 0;
    std::vector<std::pair<ObjectId, std::uint64_t>> entitySerials;
    BlockParams decl;
    std::vector<std::wstring> names;
    std::vector<double> values;                    // sized once: the parsers hold pointers into it
    std::unordered_map<std::wstring, Pooled> pool; // expression text -> parser
    std::vector<ParserPtr> parsers;
    std::vector<int> order;
    std::vector<CompiledBinding> bindings;
    Status status = Status::ok;
    ParamError error;
};

// Characters muParser accepts in names: ASCII letters, digits, underscore, and every byte of a
// multi-byte UTF-8 sequence, so that parameter names may be Japanese.
const std::string& nameChars() {
    static const std::string chars = [] {
        std::string s = "0123456789_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (int c = 0x80; c <= 0xFF; ++c)
            s.push_back(char(c));
        return s;
    }();
    return chars;
}

// The character position in `expr` of muParser's byte position in its UTF-8 form.
int charPosition(const std::wstring& expr, int bytePos) {
    if (bytePos < 0)
        return bytePos;
    const std::string u = toUtf8(expr);
    int chars = 0;
    for (int i = 0; i < bytePos && i < int(u.size()); ++i)
        if ((static_cast<unsigned char>(u[std::size_t(i)]) & 0xC0) != 0x80)
            ++chars;
    return chars;
}

// Where a name first stands as a whole token in an expression.
int tokenPosition(const std::wstring& expr, const std::wstring& token) {
    auto isNameChar = [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
               c == L'_' || c > 0x7F;
    };
    for (std::size_t at = expr.find(token); at != std::wstring::npos;
         at = expr.find(token, at + 1)) {
        const std::size_t end = at + token.size();
        if ((at == 0 || !isNameChar(expr[at - 1])) &&
            (end >= expr.size() || !isNameChar(expr[end])))
            return int(at);
    }
    return -1;
}

Status fromParserError(ParamError* error, const std::wstring& owner, const std::wstring& expr,
                       const mu::Parser::exception_type& e) {
    const std::wstring token = fromUtf8(e.GetToken());
    const int pos = charPosition(expr, e.GetPos());
    if (e.GetCode() == mu::ecUNASSIGNABLE_TOKEN)
        return fail(error, Status::keyNotFound, owner,
                    owner + L": unknown name \"" + token + L"\" at position " +
                        std::to_wstring(pos),
                    expr, token, pos);
    return fail(error, Status::parseError, owner, owner + L": " + fromUtf8(e.GetMsg()), expr, token,
                pos);
}

ParserPtr makeParser(const std::vector<std::wstring>& names, std::vector<double>& values) {
    auto p = std::make_shared<mu::Parser>();
    p->DefineNameChars(nameChars().c_str());
    p->DefineConst("pi", std::numbers::pi);
    for (std::size_t i = 0; i < names.size(); ++i)
        p->DefineVar(toUtf8(names[i]), &values[i]);
    return p;
}

// Compiles one expression against the parameters; `deps` gets the parameters it uses.
Status compileExpr(Model& m, const std::vector<std::wstring>& names, const std::wstring& owner,
                   const std::wstring& expr, ParserPtr& out, std::vector<int>* deps) {
    if (auto it = m.pool.find(expr); it != m.pool.end()) {
        out = it->second.parser;
        if (deps)
            *deps = it->second.deps;
        return Status::ok;
    }
    try {
        out = makeParser(names, m.values);
        out->SetExpr(toUtf8(expr));
        // GetUsedVar parses without failing on undefined names; they come back without storage.
        const auto& used = out->GetUsedVar();
        for (const auto& [name, ptr] : used) {
            const bool known = ptr >= m.values.data() && ptr < m.values.data() + m.values.size();
            if (!known) {
                const std::wstring token = fromUtf8(name);
                const int pos = tokenPosition(expr, token);
                return fail(&m.error, Status::keyNotFound, owner,
                            owner + L": unknown name \"" + token + L"\" at position " +
                                std::to_wstring(pos),
                            expr, token, pos);
            }
            if (deps)
                deps->push_back(int(ptr - m.values.data()));
        }
        Pooled& pooled = m.pool[expr];
        pooled.parser = out;
        if (deps)
            pooled.deps = *deps;
        return Status::ok;
    } catch (const mu::Parser::exception_type& e) {
        return fromParserError(&m.error, owner, expr, e);
    }
}

// Depth-first order of the parameters with cycle detection.
Status orderParams(Model& m, const std::vector<std::vector<int>>& deps) {
    const std::size_t n = deps.size();
    std::vector<int> state(n, 0); // 0 new, 1 on the stack, 2 done
    std::vector<int> stack;
    std::function<bool(int)> visit = [&](int i) {
        if (state[std::size_t(i)] == 2)
            return true;
        if (state[std::size_t(i)] == 1) {
            std::wstring path;
            auto it = std::find(stack.begin(), stack.end(), i);
            for (; it != stack.end(); ++it)
                path += m.decl.params[std::size_t(*it)].name + L" -> ";
            path += m.decl.params[std::size_t(i)].name;
            fail(&m.error, Status::invalidInput, m.decl.params[std::size_t(i)].name,
                 L"dependency cycle: " + path, m.decl.params[std::size_t(i)].expression);
            return false;
        }
        state[std::size_t(i)] = 1;
        stack.push_back(i);
        for (int d : deps[std::size_t(i)])
            if (!visit(d))
                return false;
        stack.pop_back();
        state[std::size_t(i)] = 2;
        m.order.push_back(i);
        return true;
    };
    for (std::size_t i = 0; i < n; ++i)
        if (!visit(int(i)))
            return Status::invalidInput;
    return Status::ok;
}

bool applies(Prop p, const Entity& e) {
    switch (p) {
    case Prop::startX:
    case Prop::startY:
    case Prop::startZ:
    case Prop::endX:
    case Prop::endY:
    case Prop::endZ:
        return dynamic_cast<const Line*>(&e) != nullptr;
    case Prop::centerX:
    case Prop::centerY:
    case Prop::centerZ:
        return dynamic_cast<const Arc*>(&e) || dynamic_cast<const Circle*>(&e) ||
               dynamic_cast<const Ellipse*>(&e);
    case Prop::radius:
        return dynamic_cast<const Arc*>(&e) || dynamic_cast<const Circle*>(&e);
    case Prop::startAngle:
    case Prop::endAngle:
        return dynamic_cast<const Arc*>(&e) != nullptr;
    case Prop::vertexX:
    case Prop::vertexY:
    case Prop::bulge:
        return dynamic_cast<const Polyline*>(&e) != nullptr;
    case Prop::positionX:
    case Prop::positionY:
    case Prop::positionZ:
        return dynamic_cast<const Point*>(&e) || dynamic_cast<const Text*>(&e) ||
               dynamic_cast<const BlockReference*>(&e) || dynamic_cast<const MText*>(&e);
    case Prop::height:
    case Prop::text:
        return dynamic_cast<const Text*>(&e) != nullptr;
    case Prop::rotation:
        return dynamic_cast<const Text*>(&e) || dynamic_cast<const BlockReference*>(&e);
    case Prop::scaleX:
    case Prop::scaleY:
        return dynamic_cast<const BlockReference*>(&e) != nullptr;
    case Prop::visible:
    case Prop::color:
    case Prop::layer:
    case Prop::linetype:
        return true;
    }
    return false;
}

Status compileBinding(Model& m, const std::vector<std::wstring>& names, const Entity& e,
                      const Binding& b) {
    CompiledBinding cb;
    cb.entity = e.objectId();
    cb.key = b.property;
    cb.choices = b.choices;
    if (!parseProperty(b.property, cb.prop, cb.index))
        return fail(&m.error, Status::invalidInput, b.property,
                    L"unknown property \"" + b.property + L"\"", b.expression);
    if (!applies(cb.prop, e))
        return fail(&m.error, Status::invalidInput, b.property,
                    L"property \"" + b.property + L"\" does not apply to " + e.dxfName(),
                    b.expression);
    if ((cb.prop == Prop::layer || cb.prop == Prop::linetype) && cb.choices.empty())
        return fail(&m.error, Status::invalidInput, b.property,
                    L"property \"" + b.property + L"\" needs a list of names", b.expression);
    const std::wstring owner =
        std::wstring(e.dxfName()) + L" " + e.handle().toHex() + L" " + b.property;
    if (cb.prop == Prop::text) {
        // A template: literal text with "{expr}" parts.
        std::wstring lit;
        for (std::size_t i = 0; i < b.expression.size(); ++i) {
            if (b.expression[i] != L'{') {
                lit.push_back(b.expression[i]);
                continue;
            }
            const std::size_t close = b.expression.find(L'}', i);
            if (close == std::wstring::npos)
                return fail(&m.error, Status::parseError, owner, owner + L": missing \"}\"",
                            b.expression, L"{", int(i));
            ParserPtr p;
            Status s =
                compileExpr(m, names, owner, b.expression.substr(i + 1, close - i - 1), p, nullptr);
            if (!ok(s)) {
                m.error.position = m.error.position < 0 ? -1 : m.error.position + int(i) + 1;
                m.error.expression = b.expression;
                return s;
            }
            cb.literals.push_back(std::move(lit));
            lit.clear();
            cb.parsers.push_back(std::move(p));
            i = close;
        }
        cb.literals.push_back(std::move(lit));
    } else {
        ParserPtr p;
        Status s = compileExpr(m, names, owner, b.expression, p, nullptr);
        if (!ok(s))
            return s;
        cb.parsers.push_back(std::move(p));
    }
    m.bindings.push_back(std::move(cb));
    return Status::ok;
}

// Compiles the block's parameters and its entities' bindings. `kept` (when given) are the
// bindings compiled before from entities that have not changed since: they stay valid as long as
// the parameter names do, and are taken over instead of read and parsed again.
void compile(Model& m, DatabaseImpl& d, const BlockTableRecord& block,
             std::vector<CompiledBinding>* kept) {
    m.decl = readBlockParams(block);
    m.status = Status::ok;
    m.error = {};
    std::vector<std::wstring> names;
    for (const ParamDecl& p : m.decl.params) {
        for (const std::wstring& n : names)
            if (equalsNoCase(n, p.name)) {
                m.status = fail(&m.error, Status::duplicateKey, p.name,
                                L"parameter \"" + p.name + L"\" is declared twice");
                return;
            }
        names.push_back(p.name);
    }
    if (names != m.names || m.values.size() != names.size()) {
        m.pool.clear();
        m.values.assign(names.size(), 0.0);
        m.names = names;
        kept = nullptr;
    }
    std::vector<std::vector<int>> deps(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        ParserPtr p;
        m.status = compileExpr(m, names, names[i], m.decl.params[i].expression, p, &deps[i]);
        if (!ok(m.status))
            return;
        m.parsers.push_back(std::move(p));
    }
    m.status = orderParams(m, deps);
    if (!ok(m.status))
        return;
    if (kept) {
        m.bindings = std::move(*kept);
        return;
    }
    for (ObjectId id : block.entityIds()) {
        auto* e = d.get<Entity>(id);
        if (!e || !e->hasXData(kAppName))
            continue;
        for (const Binding& b : readBindings(*e)) {
            m.status = compileBinding(m, names, *e, b);
            if (!ok(m.status))
                return;
        }
    }
}

// Whether the block's entities are the ones the model was compiled from, with the same
// extended data.
bool entitiesUpToDate(const Model& m, DatabaseImpl& d, const BlockTableRecord& block) {
    const std::vector<ObjectId> ids = block.entityIds();
    if (ids.size() != m.entitySerials.size())
        return false;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const DbObject* o = d.object(ids[i]);
        if (ids[i] != m.entitySerials[i].first || !o ||
            o->xdataSerial() != m.entitySerials[i].second)
            return false;
    }
    return true;
}

bool upToDate(const Model& m, DatabaseImpl& d, const BlockTableRecord& block) {
    return m.blockSerial == block.xdataSerial() && entitiesUpToDate(m, d, block);
}

void stamp(Model& m, DatabaseImpl& d, const BlockTableRecord& block) {
    m.blockSerial = block.xdataSerial();
    m.entitySerials.clear();
    for (ObjectId id : block.entityIds())
        m.entitySerials.emplace_back(id, d.object(id)->xdataSerial());
}

} // namespace

struct Cache::Impl {
    std::unordered_map<std::uint32_t, std::unique_ptr<Model>> models;
};

Cache::Cache() : impl(std::make_unique<Impl>()) {}
Cache::~Cache() = default;
void Cache::clear() {
    impl->models.clear();
}

namespace {

Model& modelOf(DatabaseImpl& d, const BlockTableRecord& block) {
    if (!d.paramCache)
        d.paramCache = std::make_unique<Cache>();
    auto& slot = d.paramCache->impl->models[block.objectId().index()];
    if (!slot || !upToDate(*slot, d, block)) {
        auto fresh = std::make_unique<Model>();
        // A change of the block's own data alone (a parameter's expression written) leaves the
        // bindings of a sound model as they were.
        std::vector<CompiledBinding> kept;
        const bool keep = slot && ok(slot->status) && entitiesUpToDate(*slot, d, block);
        if (slot) { // moving the vector keeps its buffer: pooled parsers stay bound to it
            fresh->names = std::move(slot->names);
            fresh->values = std::move(slot->values);
            fresh->pool = std::move(slot->pool);
            if (keep)
                kept = std::move(slot->bindings);
        }
        slot = std::move(fresh);
        compile(*slot, d, block, keep ? &kept : nullptr);
        stamp(*slot, d, block);
    }
    return *slot;
}

std::wstring valueText(double v) {
    return formatNumber(std::abs(v) < 1e-12 ? 0.0 : v);
}

double eval(mu::Parser& p) {
    return p.Eval();
}

} // namespace

Status applyBindings(Model& m, DatabaseImpl& d, ParamError* error);

Status evaluateBlock(ObjectId blockId, bool apply, std::vector<double>* values, ParamError* error) {
    Database* db = blockId.database();
    if (!db)
        return Status::nullObjectId;
    DatabaseImpl& d = db->impl();
    auto* block = d.get<BlockTableRecord>(blockId);
    if (!block)
        return Status::wrongObjectType;
    Model& m = modelOf(d, *block);
    if (!m.decl.present)
        return fail(error, Status::notApplicable, L"", L"the block has no parameters");
    if (!ok(m.status)) {
        if (error)
            *error = m.error;
        return m.status;
    }
    for (int i : m.order) {
        double v;
        try {
            v = eval(*m.parsers[std::size_t(i)]);
        } catch (const mu::Parser::exception_type& e) {
            return fromParserError(error, m.decl.params[std::size_t(i)].name,
                                   m.decl.params[std::size_t(i)].expression, e);
        }
        if (!std::isfinite(v))
            return fail(error, Status::invalidInput, m.decl.params[std::size_t(i)].name,
                        m.decl.params[std::size_t(i)].name + L": the value is not a finite number",
                        m.decl.params[std::size_t(i)].expression);
        m.values[std::size_t(i)] = v;
    }
    if (values)
        *values = m.values;
    if (!apply)
        return Status::ok;
    Status s = applyBindings(m, d, error);
    if (!ok(s))
        return s;
    // Remember the values in the definition when they changed; the cache stays valid.
    bool changed = false;
    for (std::size_t i = 0; i < m.values.size(); ++i)
        if (m.decl.params[i].value != m.values[i]) {
            m.decl.params[i].value = m.values[i];
            changed = true;
        }
    if (changed) {
        ObjectPtr<BlockTableRecord> w(blockId, OpenMode::forWrite);
        if (!w)
            return w.status();
        s = w->setXData(writeBlockParams(m.decl));
        if (!ok(s))
            return s;
        m.blockSerial = w->xdataSerial();
    }
    return Status::ok;
}

// --- Writing bound properties
// ----------------------------------------------------------------------

namespace {

struct EntityValues {
    double v = 0;
    std::wstring text;
};

Status evalBinding(CompiledBinding& b, EntityValues& out, ParamError* error) {
    try {
        if (b.prop == Prop::text) {
            std::wstring t;
            for (std::size_t i = 0; i < b.parsers.size(); ++i)
                t += b.literals[i] + valueText(eval(*b.parsers[i]));
            t += b.literals.back();
            out.text = std::move(t);
            return Status::ok;
        }
        out.v = eval(*b.parsers.front());
    } catch (const mu::Parser::exception_type& e) {
        return fromParserError(error, b.key, fromUtf8(b.parsers.front()->GetExpr()), e);
    }
    if (!std::isfinite(out.v))
        return fail(error, Status::invalidInput, b.key,
                    b.key + L": the value is not a finite number");
    return Status::ok;
}

} // namespace

namespace {

double deg(double d) {
    return d * std::numbers::pi / 180.0;
}

geom::Point3d withAxis(geom::Point3d p, int axis, double v) {
    (axis == 0 ? p.x : axis == 1 ? p.y : p.z) = v;
    return p;
}

const std::wstring& choose(const std::vector<std::wstring>& choices, double v) {
    const long i = std::lround(v);
    return choices[std::size_t(std::clamp<long>(i, 0, long(choices.size()) - 1))];
}

Status applyPosition(Entity& e, int axis, double v) {
    if (auto* t = dynamic_cast<Text*>(&e)) {
        if (t->isDefaultAlignment())
            return t->setPosition(withAxis(t->position(), axis, v));
        Status s = t->setAlignmentPoint(withAxis(t->alignmentPoint(), axis, v));
        return ok(s) ? t->adjustAlignment() : s;
    }
    if (auto* r = dynamic_cast<BlockReference*>(&e))
        return r->setPosition(withAxis(r->position(), axis, v));
    if (auto* pt = dynamic_cast<Point*>(&e))
        return pt->setPosition(withAxis(pt->position(), axis, v));
    if (auto* mt = dynamic_cast<MText*>(&e))
        return mt->setLocation(withAxis(mt->location(), axis, v));
    return Status::notApplicable;
}

Status applyCenter(Entity& e, int axis, double v) {
    if (auto* a = dynamic_cast<Arc*>(&e))
        return a->setCenter(withAxis(a->center(), axis, v));
    if (auto* c = dynamic_cast<Circle*>(&e))
        return c->setCenter(withAxis(c->center(), axis, v));
    if (auto* el = dynamic_cast<Ellipse*>(&e)) {
        geom::EllipseArc g = el->geometry();
        g.center = withAxis(g.center, axis, v);
        return el->set(g);
    }
    return Status::notApplicable;
}

Status applyOne(Entity& e, const CompiledBinding& b, const EntityValues& val) {
    const double v = val.v;
    switch (b.prop) {
    case Prop::startX:
    case Prop::startY:
    case Prop::startZ: {
        auto& l = static_cast<Line&>(e);
        return l.setStartPoint(withAxis(l.startPoint(), int(b.prop) - int(Prop::startX), v));
    }
    case Prop::endX:
    case Prop::endY:
    case Prop::endZ: {
        auto& l = static_cast<Line&>(e);
        return l.setEndPoint(withAxis(l.endPoint(), int(b.prop) - int(Prop::endX), v));
    }
    case Prop::centerX:
    case Prop::centerY:
    case Prop::centerZ:
        return applyCenter(e, int(b.prop) - int(Prop::centerX), v);
    case Prop::radius:
        if (auto* a = dynamic_cast<Arc*>(&e))
            return a->setRadius(v);
        return static_cast<Circle&>(e).setRadius(v);
    case Prop::startAngle:
        return static_cast<Arc&>(e).setStartAngle(deg(v));
    case Prop::endAngle:
        return static_cast<Arc&>(e).setEndAngle(deg(v));
    case Prop::vertexX:
    case Prop::vertexY: {
        auto& p = static_cast<Polyline&>(e);
        if (b.index >= p.numVerts())
            return Status::outOfRange;
        return p.setPointAt(b.index,
                            withAxis(p.pointAt(b.index), b.prop == Prop::vertexX ? 0 : 1, v));
    }
    case Prop::bulge:
        return static_cast<Polyline&>(e).setBulgeAt(b.index, v);
    case Prop::positionX:
    case Prop::positionY:
    case Prop::positionZ:
        return applyPosition(e, int(b.prop) - int(Prop::positionX), v);
    case Prop::height:
        return static_cast<Text&>(e).setHeight(v);
    case Prop::rotation:
        if (auto* t = dynamic_cast<Text*>(&e))
            return t->setRotation(deg(v));
        return static_cast<BlockReference&>(e).setRotation(deg(v));
    case Prop::text:
        return static_cast<Text&>(e).setTextString(val.text);
    case Prop::scaleX:
    case Prop::scaleY: {
        auto& r = static_cast<BlockReference&>(e);
        geom::Vector3d sc = r.scaleFactors();
        (b.prop == Prop::scaleX ? sc.x : sc.y) = v;
        return r.setScaleFactors(sc);
    }
    case Prop::visible:
        return e.setVisible(v != 0);
    case Prop::color:
        return e.setColorIndex(int(std::lround(v)));
    case Prop::layer:
        return e.setLayer(choose(b.choices, v));
    case Prop::linetype:
        return e.setLinetype(choose(b.choices, v));
    }
    return Status::notApplicable;
}

} // namespace

Status applyBindings(Model& m, DatabaseImpl&, ParamError* error) {
    std::size_t i = 0;
    while (i < m.bindings.size()) {
        const ObjectId id = m.bindings[i].entity;
        ObjectPtr<Entity> e(id, OpenMode::forWrite);
        if (!e)
            return fail(error, e.status(), m.bindings[i].key, L"the bound entity cannot be opened");
        for (; i < m.bindings.size() && m.bindings[i].entity == id; ++i) {
            EntityValues v;
            Status s = evalBinding(m.bindings[i], v, error);
            if (ok(s))
                s = applyOne(*e, m.bindings[i], v);
            if (!ok(s)) {
                if (error && error->status == Status::ok)
                    fail(error, s, m.bindings[i].key,
                         m.bindings[i].key + L": the value cannot be applied (" +
                             fromUtf8(toString(s)) + L")");
                return s;
            }
        }
    }
    return Status::ok;
}

} // namespace zhost::db::param
