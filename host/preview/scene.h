#pragma once
// A drawing flattened for painting: every visible entity of a block, nested references
// expanded, as world-space polylines, filled areas, texts and dots with their resolved colour,
// linetype and lineweight.
#include "zhost/db/db.h"
#include "zhost/geom/extents3d.h"
#include "zhost/preview/preview.h"

#include <array>
#include <string>
#include <vector>

namespace zhost::preview {

struct Style {
    std::uint32_t rgb = 0xFFFFFF; // colour 7 stays white here; the painter decides
    bool aci7 = true;
    double weightMm = 0.25;
    double worldWidth = 0;      // polyline width in drawing units (0: use the lineweight)
    std::vector<double> dashes; // drawing units; empty: continuous
};

struct TextItem {
    std::wstring text; // plain text; '\n' separates lines
    geom::Point3d anchor;
    geom::Vector3d xdir{1, 0, 0}; // baseline direction (unit)
    double height = 2.5;          // capital height, drawing units
    double widthFactor = 1;
    int hAlign = 0;       // 0 left, 1 centre, 2 right
    int vAlign = 0;       // 0 baseline, 1 bottom, 2 middle, 3 top
    double wrapWidth = 0; // multiline text: 0 no wrapping
    double lineSpacing = 1;
    bool multiline = false;
};

// One family of parallel hatch lines in world space: a line through `base` along `dir` (unit),
// the next one `step` further, dashes in drawing units (positive drawn, negative a gap, 0 a dot).
struct HatchFamily {
    geom::Point3d base;
    geom::Vector3d dir{1, 0, 0}, step{0, 1, 0};
    std::vector<double> dashes;
};

struct Prim {
    enum Kind { stroke, fill, label, dot } kind = stroke;
    Style style;
    std::vector<std::vector<geom::Point3d>> paths;
    bool closed = false; // a fill: solid (true) or a pattern (false)
    TextItem text;
    // A pattern fill: its line families when the hatch gave them (else 45-degree lines at the
    // pattern's scale, text.height, and angle, text.xdir).
    std::vector<HatchFamily> families;
    // A solid fill with a gradient: from style.rgb to gradientTo along gradientDir.
    bool gradient = false;
    std::uint32_t gradientTo = 0xFFFFFF;
    geom::Vector3d gradientDir{1, 0, 0};
};

// The prims that one entity at the top of the picture made: prims[first, first + count), with
// what it adds to the extents and the references in it drawn as their box.
struct Span {
    db::ObjectId id;
    std::size_t first = 0, count = 0;
    geom::Extents3d extents;
    std::size_t boxed = 0;
};

struct Scene {
    std::vector<Prim> prims;
    geom::Extents3d extents;
    std::vector<Span> spans;         // in drawing order; entities that drew nothing have none
    std::size_t boxedReferences = 0; // references drawn as their box for being too small
    double pixel = 0;                // the drawing units of a pixel references were boxed at
    // What else the picture shows: the block definitions drawn or measured in it (sorted), and
    // whether a kept dimension or table named a block the drawing does not have.
    std::vector<db::ObjectId> blocks;
    bool unresolvedBlockNames = false;
    // False when collecting stopped short (too many prims, nesting too deep) or an entity added
    // extents without prims: the spans then do not describe the whole picture.
    bool complete = true;
};

// Collects the block's content (model space when null). Drawing a block definition itself shows
// its attribute definitions' tags.
Status buildScene(const db::Database& db, db::ObjectId blockId, const RenderOptions& options,
                  Scene& out);
// The same with the size of a pixel given (drawing units; 0: from the extents and the options'
// size): references smaller than about two pixels are collected as their filled box.
Status buildSceneAt(const db::Database& db, db::ObjectId blockId, const RenderOptions& options,
                    double unitsPerPixel, Scene& out);

// The order a block's entities are drawn in: its draw-order table's, else the block's own.
Status drawOrder(const db::Database& db, db::ObjectId blockId, std::vector<db::ObjectId>& out);

// Entities of model space collected alone, each as a whole scene collecting model space at that
// pixel size would have them (spans in the order given, entities that draw nothing without one).
Status collectModelEntities(const db::Database& db, const std::vector<db::ObjectId>& ids,
                            const RenderOptions& options, double unitsPerPixel, Scene& out);

// One entity as drawn at the top of model space; it need not be in the database (a jig's entity),
// its layer and linetype are looked up in `db`.
Status buildEntityScene(const db::Database& db, const db::Entity& entity,
                        const RenderOptions& options, Scene& out);

// The corners of a box that holds a text (counter-clockwise from the lower left), estimated from
// its characters: for extents and for outlines where the glyphs are not drawn.
std::array<geom::Point3d, 4> textBox(const TextItem& t);

// Plain text of multiline text contents: paragraph breaks become '\n', formatting codes go.
std::wstring plainMText(const std::wstring& contents);
// Text with the percent codes of single- and multiline text drawn as their signs: %%d degree,
// %%p plus-minus, %%c diameter, %%% percent, %%nnn the character of code nnn; the underline,
// overline and strike-through switches (%%u, %%o, %%k) are dropped.
std::wstring expandPercentCodes(const std::wstring& text);

} // namespace zhost::preview
