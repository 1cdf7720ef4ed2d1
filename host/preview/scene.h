#pragma once
// A drawing flattened for painting: every visible entity of a block, nested references
// expanded, as world-space polylines, filled areas, texts and dots with their resolved colour,
// linetype and lineweight.
#include "zhost/db/db.h"
#include "zhost/geom/extents3d.h"
#include "zhost/preview/preview.h"

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

struct Prim {
    enum Kind { stroke, fill, label, dot } kind = stroke;
    Style style;
    std::vector<std::vector<geom::Point3d>> paths;
    bool closed = false;
    TextItem text;
};

struct Scene {
    std::vector<Prim> prims;
    geom::Extents3d extents;
};

// Collects the block's content (model space when null). Drawing a block definition itself shows
// its attribute definitions' tags.
Status buildScene(const db::Database& db, db::ObjectId blockId, const RenderOptions& options,
                  Scene& out);

// Plain text of multiline text contents: paragraph breaks become '\n', formatting codes go.
std::wstring plainMText(const std::wstring& contents);

} // namespace zhost::preview
