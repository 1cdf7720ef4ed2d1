#pragma once
// The result table in the drawing: a two-column grid of lines with a multiline text per cell,
// placed at a corner the user picks, scaled by TEXTSIZE and the title block's scale, and tied
// together in an anonymous group.
#include "geomcalc/GeomCalcTypes.h"

#include "zhost/geom/vector3d.h"

#include <string>
#include <vector>

// Which corner of the table the base point is.
enum class TableCorner { lowerLeft, upperLeft, lowerRight, upperRight };

// The corner prompt: "部品欄の基準点を指示して下さい " and the bracket text marking `corner`.
std::wstring TableBasePrompt(TableCorner corner);

// Where everything of a table goes (world coordinates).
struct TableLayout {
    struct Segment {
        zhost::geom::Point3d start, end;
    };
    struct Cell {
        zhost::geom::Point3d location; // middle-left attachment point
        std::wstring text;
    };
    std::vector<Segment> lines; // left edge, divider, right edge, then the horizontal lines
    std::vector<Cell> texts;    // item and data of each row, row by row
    double textHeight = 0;
    double width = 0, height = 0;
};

// Lays out `rows` with the base point at `corner`; x and y are the UCS axes in world
// coordinates, `textSize` TEXTSIZE and `scale` the drawing scale.
TableLayout LayoutResultTable(const std::vector<ReportRow>& rows, TableCorner corner,
                              const zhost::geom::Point3d& base, const zhost::geom::Vector3d& x,
                              const zhost::geom::Vector3d& y, double textSize, double scale);

// Asks for the base point and draws the table of the context's records. False when the base
// point was not given (nothing is drawn).
bool PlaceResultTable(const CGeomCalcContext& ctx);

// Draws a laid-out table into the current space and groups it under "*U". The ids of what was
// made go to `made` (when given).
void DrawResultTable(const TableLayout& layout, double rotation,
                     std::vector<zhost::db::ObjectId>* made = nullptr);
