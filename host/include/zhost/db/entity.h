#pragma once
// The base of everything drawn: common properties and the geometric operations every entity
// kind offers (transform, explode).
#include "zhost/db/object.h"
#include "zhost/geom/matrix3d.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zhost::db {

// Colour indices with a meaning of their own.
namespace color {
inline constexpr int byBlock = 0;
inline constexpr int byLayer = 256;
} // namespace color

// Transparency as files store it: none given (the layer's), by block, or an alpha value
// 0 (clear) .. 255 (opaque) under the `alpha` flag.
namespace transparency {
inline constexpr std::int32_t byLayer = 0;
inline constexpr std::int32_t byBlock = 0x01000000;
inline constexpr std::int32_t alpha = 0x02000000;
inline constexpr std::int32_t fromAlpha(int a) {
    return alpha | (a & 0xFF);
}
} // namespace transparency

// Lineweights in hundredths of a millimetre, and the three special values.
namespace lineweight {
inline constexpr int byLayer = -1;
inline constexpr int byBlock = -2;
inline constexpr int byDefault = -3;
// True for the special values and the standard weights 0, 5, 9, 13, 15, 18, 20, 25, 30, 35, 40,
// 50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211.
bool isValid(int weight);
} // namespace lineweight

class Entity : public DbObject {
public:
    // The block record that owns the entity (null outside a database; for an attribute, the
    // owner is its block reference and blockId() gives the reference's block).
    ObjectId blockId() const;

    // Layer: by id, or by name (looked up in the entity's database, or in the database of the
    // entity's current layer id; an entity with neither keeps the name and resolves it when it is
    // appended). keyNotFound for a layer that does not exist.
    ObjectId layerId() const { return layerId_; }
    std::wstring layer() const;
    Status setLayer(ObjectId layerId);
    Status setLayer(std::wstring_view name);

    // 1..255 ACI colours, 0 by block, 256 by layer. outOfRange otherwise. Setting the index
    // drops a true colour and its name: the index is then the colour.
    int colorIndex() const { return colorIndex_; }
    Status setColorIndex(int index);

    // A 24-bit colour (0xRRGGBB) shown instead of the index colour, which stays as the nearest
    // match for programs that know only indices. invalidInput above 0xFFFFFF.
    std::optional<std::uint32_t> trueColor() const { return trueColor_; }
    Status setTrueColor(std::optional<std::uint32_t> rgb);
    // The colour-book name of the true colour ("BOOK$COLOR"), empty when none.
    const std::wstring& colorName() const { return colorName_; }
    Status setColorName(std::wstring_view name);

    // See namespace transparency; invalidInput for any other value.
    std::int32_t transparency() const { return transparency_; }
    Status setTransparency(std::int32_t value);

    // Extrusion along the normal. Only the kinds whose files carry one (lines, arcs, circles,
    // points, flat polylines, texts, solids and traces: hasThickness) take a value other than 0;
    // notApplicable for the others, invalidInput when not finite.
    double thickness() const { return thickness_; }
    Status setThickness(double thickness);
    bool hasThickness() const;

    // Linetype by id or name; the names "ByLayer" and "ByBlock" (any case) are the table's
    // special records.
    ObjectId linetypeId() const { return linetypeId_; }
    std::wstring linetype() const;
    Status setLinetype(ObjectId linetypeId);
    Status setLinetype(std::wstring_view name);

    double linetypeScale() const { return linetypeScale_; }
    Status setLinetypeScale(double scale); // > 0

    int lineWeight() const { return lineWeight_; }
    Status setLineWeight(int weight); // see lineweight::isValid

    bool visible() const { return visible_; }
    Status setVisible(bool visible);

    // Layer, colour, linetype, scale and weight from the database's current settings (CLAYER,
    // CECOLOR, CELTYPE, CELTSCALE, CELWEIGHT).
    Status setDatabaseDefaults(Database& db);
    // Copies layer, colour (true colour and name too), linetype, scale, weight, transparency and
    // visibility from another entity; not the thickness, which belongs to the shape.
    Status setPropertiesFrom(const Entity& other);

    // Transforms the entity in place. notApplicable where the entity kind cannot follow the
    // matrix (a circle under non-uniform scaling, for instance).
    virtual Status transformBy(const geom::Matrix3d& m) = 0;
    // A transformed copy outside the database (transformBy on a clone).
    Status getTransformedCopy(const geom::Matrix3d& m, std::unique_ptr<Entity>& out) const;
    // Breaks the entity into simpler entities outside the database (block references into their
    // block's entities, polylines into lines and arcs, regions into their boundary curves).
    // notApplicable for entities that do not explode.
    virtual Status explode(std::vector<std::unique_ptr<Entity>>& out) const;

    std::unique_ptr<Entity> cloneEntity() const;

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

    // A name given while the entity had no database to resolve it in; resolved on append.
    const std::wstring& pendingLayer() const { return pendingLayer_; }
    const std::wstring& pendingLinetype() const { return pendingLinetype_; }

protected:
    Entity() = default;

private:
    friend class Database;
    friend class DatabaseImpl;

    ObjectId layerId_;
    ObjectId linetypeId_;
    std::wstring pendingLayer_, pendingLinetype_;
    int colorIndex_ = color::byLayer;
    double linetypeScale_ = 1.0;
    int lineWeight_ = lineweight::byLayer;
    bool visible_ = true;
    std::optional<std::uint32_t> trueColor_;
    std::wstring colorName_;
    std::int32_t transparency_ = transparency::byLayer;
    double thickness_ = 0;
};

} // namespace zhost::db
