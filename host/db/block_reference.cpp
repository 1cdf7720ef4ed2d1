#include "block_content.h"
#include "database_impl.h"
#include "geom_util.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/dump.h"
#include "zhost/db/symbol_tables.h"

#include <cmath>

namespace zhost::db {

using geom::Matrix3d;
using geom::Point3d;
using geom::Vector3d;

namespace {
bool validTag(std::wstring_view tag) {
    return !tag.empty() && tag.find(L' ') == std::wstring_view::npos;
}

// Turns an entity that cannot follow a non-similar matrix into one that can (circles and arcs
// into ellipses); other kinds are returned unchanged.
std::unique_ptr<Entity> asAffineCapable(std::unique_ptr<Entity> e) {
    geom::EllipseArc g;
    if (auto* c = dynamic_cast<Circle*>(e.get())) {
        g.center = c->center();
        g.normal = c->normal();
        g.majorAxis = geom::arbitraryXAxis(c->normal()) * c->radius();
    } else if (auto* a = dynamic_cast<Arc*>(e.get())) {
        g.center = a->center();
        g.normal = a->normal();
        g.majorAxis = geom::arbitraryXAxis(a->normal()) * a->radius();
        g.startParam = a->startAngle();
        g.endParam = a->endAngle() > a->startAngle() ? a->endAngle() : a->endAngle() + gu::kTwoPi;
    } else {
        return e;
    }
    auto ell = std::make_unique<Ellipse>(g);
    ell->setPropertiesFrom(*e);
    ell->setXData(e->xdata());
    return ell;
}

// An entity transformed into its place in an explosion; nullptr when it cannot follow.
std::unique_ptr<Entity> placed(const Entity& src, const Matrix3d& m, Status& status) {
    std::unique_ptr<Entity> c = src.cloneEntity();
    status = c->transformBy(m);
    if (status == Status::notApplicable) {
        std::unique_ptr<Entity> capable = asAffineCapable(src.cloneEntity());
        if (auto* e = dynamic_cast<Ellipse*>(capable.get())) {
            geom::EllipseArc g = e->geometry();
            status = gu::affineEllipse(g, m);
            if (ok(status)) {
                auto ell = std::make_unique<Ellipse>();
                ell->setPropertiesFrom(src);
                ell->setXData(src.xdata());
                status = ell->set(g);
                c = std::move(ell);
            }
        }
    }
    return ok(status) ? std::move(c) : nullptr;
}
} // namespace

// --- Attribute definitions and attributes ------------------------------------------------------

Status AttributeDefinition::setTag(std::wstring_view tag) {
    if (!validTag(tag))
        return Status::invalidInput;
    return writeField(tag_, tag);
}

Status AttributeDefinition::setPrompt(std::wstring_view p) {
    return writeField(prompt_, p);
}

Status AttributeDefinition::setFlags(const AttributeFlags& f) {
    return writeField(flags_, f);
}

void AttributeDefinition::dumpFields(DumpWriter& out) const {
    Text::dumpFields(out);
    out.field(L"tag", tag_);
    out.field(L"prompt", prompt_);
    out.field(L"flags", flags_.toDxf());
}

Status Attribute::setTag(std::wstring_view tag) {
    if (!validTag(tag))
        return Status::invalidInput;
    return writeField(tag_, tag);
}

Status Attribute::setFlags(const AttributeFlags& f) {
    return writeField(flags_, f);
}

Status Attribute::setAttributeFromBlock(const AttributeDefinition& def, const Matrix3d& xform) {
    auto copy = std::unique_ptr<Entity>(def.cloneEntity());
    Status s = copy->transformBy(xform);
    if (!ok(s))
        return s;
    const auto& t = static_cast<const Text&>(*copy);
    s = assertWriteEnabled();
    if (!ok(s))
        return s;
    // Text properties first (through Text's setters: they journal nothing more in this epoch).
    setPosition(t.position());
    setAlignmentPoint(t.alignmentPoint());
    setTextString(def.defaultText());
    setHeight(t.height());
    setRotation(t.rotation());
    setWidthFactor(t.widthFactor());
    setOblique(t.oblique());
    setHorizontalMode(t.horizontalMode());
    setVerticalMode(t.verticalMode());
    setNormal(t.normal());
    if (!t.textStyleId().isNull())
        setTextStyle(t.textStyleId());
    setPropertiesFrom(def);
    tag_ = def.tag();
    flags_ = def.flags();
    return Status::ok;
}

void Attribute::dumpFields(DumpWriter& out) const {
    Text::dumpFields(out);
    out.field(L"tag", tag_);
    out.field(L"flags", flags_.toDxf());
}

// --- Block references ----------------------------------------------------------------------------

Status BlockReference::setBlockTableRecord(ObjectId id) {
    if (!id.database() || !id.database()->impl().get<BlockTableRecord>(id))
        return Status::wrongObjectType;
    if (database() && id.database() != database())
        return Status::wrongDatabase;
    if (database() && id == ownerId())
        return Status::invalidInput;
    return writeField(blockId_, id);
}

std::wstring BlockReference::blockName() const {
    if (!blockId_.database())
        return {};
    auto* b = blockId_.database()->impl().get<BlockTableRecord>(blockId_);
    return b ? b->name() : std::wstring();
}

Status BlockReference::setPosition(const Point3d& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return Status::invalidInput;
    return writeField(position_, p);
}

Status BlockReference::setRotation(double r) {
    if (!std::isfinite(r))
        return Status::invalidInput;
    return writeField(rotation_, gu::normalizeAngle(r));
}

Status BlockReference::setScaleFactors(const Vector3d& f) {
    if (f.x == 0 || f.y == 0 || f.z == 0 || !std::isfinite(f.x) || !std::isfinite(f.y) ||
        !std::isfinite(f.z))
        return Status::invalidInput;
    return writeField(scale_, f);
}

Status BlockReference::setNormal(const Vector3d& n) {
    if (n.isZeroLength())
        return Status::invalidInput;
    return writeField(normal_, n.normal());
}

namespace {
Matrix3d ecs(const Vector3d& n) {
    const Vector3d z = n.normal(), x = geom::arbitraryXAxis(z), y = z.cross(x).normal();
    Matrix3d m;
    for (int r = 0; r < 3; ++r) {
        m(r, 0) = r == 0 ? x.x : r == 1 ? x.y : x.z;
        m(r, 1) = r == 0 ? y.x : r == 1 ? y.y : y.z;
        m(r, 2) = r == 0 ? z.x : r == 1 ? z.y : z.z;
    }
    return m;
}
} // namespace

Matrix3d BlockReference::blockTransform() const {
    Point3d origin;
    if (blockId_.database())
        if (auto* b = blockId_.database()->impl().get<BlockTableRecord>(blockId_))
            origin = b->origin();
    return Matrix3d::translation(position_.asVector()) * ecs(normal_) *
           Matrix3d::rotation(rotation_, Vector3d::zAxis()) * Matrix3d::scaling(scale_) *
           Matrix3d::translation(-origin.asVector());
}

Status BlockReference::setBlockTransform(const Matrix3d& m) {
    Point3d origin;
    if (blockId_.database())
        if (auto* b = blockId_.database()->impl().get<BlockTableRecord>(blockId_))
            origin = b->origin();
    const Vector3d c0 = m * Vector3d::xAxis(), c1 = m * Vector3d::yAxis(),
                   c2 = m * Vector3d::zAxis();
    const double l0 = c0.length(), l1 = c1.length(), l2 = c2.length();
    if (l0 == 0 || l1 == 0 || l2 == 0)
        return Status::degenerateGeometry;
    const Vector3d n = c2 / l2;
    const double tol = 1e-9;
    if (std::abs(c0.dot(n)) > tol * l0 || std::abs(c1.dot(n)) > tol * l1 ||
        std::abs(c0.dot(c1)) > tol * l0 * l1)
        return Status::notApplicable; // shear: no insert can show it
    const Vector3d u0 = c0 / l0;
    const double sy = c1.dot(n.cross(u0));
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    normal_ = n;
    rotation_ = gu::angleOf(u0, n);
    scale_ = {l0, sy, l2};
    position_ = m * origin;
    return Status::ok;
}

std::vector<ObjectId> BlockReference::attributeIds(bool includeErased) const {
    std::vector<ObjectId> out;
    for (ObjectId id : attributes_)
        if (id.isValid() && (includeErased || !id.isErased()))
            out.push_back(id);
    return out;
}

Status BlockReference::appendAttribute(std::unique_ptr<Attribute> attr, ObjectId& outId) {
    outId = {};
    if (!attr || attr->isDatabaseResident())
        return Status::invalidInput;
    if (!database())
        return Status::notApplicable;
    Database& db = *database();
    if (attr->layerId().isNull())
        attr->setLayer(layerId().isNull() ? db.clayer() : layerId());
    if (attr->linetypeId().isNull())
        attr->setLinetype(db.byLayerLinetypeId());
    if (attr->textStyleId().isNull()) {
        ObjectId sid;
        if (ok(db.getTextStyleId(L"Standard", sid)))
            attr->setTextStyle(sid);
    }
    if (attr->layerId().database() != &db || attr->linetypeId().database() != &db)
        return Status::wrongDatabase;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    outId = db.impl().add(std::move(attr), objectId());
    attributes_.push_back(outId);
    return Status::ok;
}

Status BlockReference::appendAttributesFromBlock() {
    if (!database())
        return Status::notApplicable;
    auto* block = database()->impl().get<BlockTableRecord>(blockId_);
    if (!block)
        return Status::nullObjectId;
    const Matrix3d xf = blockTransform();
    for (ObjectId id : block->entityIds()) {
        auto* def = database()->impl().get<AttributeDefinition>(id);
        if (!def || def->isConstant())
            continue;
        auto attr = std::make_unique<Attribute>();
        Status s = attr->setAttributeFromBlock(*def, xf);
        if (ok(s)) {
            attr->setLayer(layerId().isNull() ? def->layerId() : layerId());
            ObjectId aid;
            s = appendAttribute(std::move(attr), aid);
        }
        if (!ok(s))
            return s;
    }
    return Status::ok;
}

Status BlockReference::transformBy(const Matrix3d& m) {
    // Check the attributes can follow before anything changes.
    std::vector<ObjectPtr<Attribute>> attrs;
    for (ObjectId id : attributeIds()) {
        attrs.emplace_back(id, OpenMode::forWrite);
        if (!attrs.back())
            return attrs.back().status();
    }
    double scale;
    if (!attrs.empty() && !gu::similarityScale(m, scale))
        return Status::notApplicable;
    Status s = setBlockTransform(m * blockTransform());
    if (!ok(s))
        return s;
    for (auto& a : attrs)
        a->transformBy(m);
    return Status::ok;
}

Status explodeBlock(ObjectId blockId, const Matrix3d& xf,
                    std::vector<std::unique_ptr<Entity>>& out) {
    if (!blockId.database())
        return Status::nullObjectId;
    DatabaseImpl& d = blockId.database()->impl();
    auto* block = d.get<BlockTableRecord>(blockId);
    if (!block)
        return Status::nullObjectId;
    std::vector<std::unique_ptr<Entity>> pieces;
    for (ObjectId id : block->entityIds()) {
        auto* e = d.get<Entity>(id);
        if (!e)
            continue;
        if (auto* def = dynamic_cast<AttributeDefinition*>(e)) {
            if (!def->isConstant())
                continue;
            auto text = std::make_unique<Text>(def->position(), def->defaultText(), def->height(),
                                               def->rotation());
            text->setPropertiesFrom(*def);
            text->setAlignmentPoint(def->alignmentPoint());
            text->setHorizontalMode(def->horizontalMode());
            text->setVerticalMode(def->verticalMode());
            text->setWidthFactor(def->widthFactor());
            text->setOblique(def->oblique());
            text->setNormal(def->normal());
            if (!def->textStyleId().isNull())
                text->setTextStyle(def->textStyleId());
            text->setVisible(def->visible() && !def->isInvisible());
            Status s = text->transformBy(xf);
            if (!ok(s))
                return s;
            pieces.push_back(std::move(text));
            continue;
        }
        Status s;
        std::unique_ptr<Entity> piece = placed(*e, xf, s);
        if (!piece)
            return s;
        pieces.push_back(std::move(piece));
    }
    for (auto& p : pieces)
        out.push_back(std::move(p));
    return Status::ok;
}

Status BlockReference::explode(std::vector<std::unique_ptr<Entity>>& out) const {
    return explodeBlock(blockId_, blockTransform(), out);
}

void BlockReference::collectReferences(std::vector<ObjectId>& out) const {
    Entity::collectReferences(out);
    if (!blockId_.isNull())
        out.push_back(blockId_);
    out.insert(out.end(), attributes_.begin(), attributes_.end());
}

void BlockReference::remapReferences(const IdMapFn& map) {
    Entity::remapReferences(map);
    if (!blockId_.isNull())
        blockId_ = map(blockId_);
    for (ObjectId& id : attributes_)
        id = map(id);
}

void BlockReference::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"block", blockId_);
    out.field(L"position", position_);
    out.field(L"rotation", rotation_);
    out.field(L"scale", scale_);
    out.field(L"normal", normal_);
    for (ObjectId id : attributes_)
        out.field(L"attribute", id);
}

} // namespace zhost::db
