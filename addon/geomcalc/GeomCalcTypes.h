#pragma once
// The data of one ZORMA_GEOMCALC run: the report items, the measured records, the report rows
// and the command's context. Kept free of editor calls so that the report, the log file and the
// table can be built and checked from plain values.
#include "zhost/db/object_id.h"
#include "zhost/geom/point3d.h"

#include <array>
#include <string>
#include <vector>

// The eleven report items, in the order the settings dialog and the switches list them.
enum GeomCalcItem {
    kItemRefPoint = 0,       // the moment reference point
    kItemPerimeter = 1,      // perimeter
    kItemArea = 2,           // area
    kItemVolume = 3,         // volume of the solid of revolution
    kItemWeight = 4,         // its weight
    kItemCentroidRel = 5,    // centroid relative to the reference point
    kItemCentroid = 6,       // centroid (the red point)
    kItemMomentCentroid = 7, // Ix, Iy about the centroid
    kItemPolarCentroid = 8,  // their sum
    kItemMomentRef = 9,      // Ix, Iy about the reference point
    kItemPolarRef = 10,      // their sum
    kItemCount = 11,
};

// Which items are wanted. The stored mask ("TAB") has one bit per item, except that items 5 and
// 6 swap bits: the mask was laid out before the two centroid rows changed places in the dialog,
// and stored settings must keep their meaning.
struct ItemFlags {
    std::array<bool, kItemCount> on{};

    static ItemFlags All();
    static ItemFlags FromMask(int mask);
    int ToMask() const;

    bool operator[](int item) const { return on[size_t(item)]; }
    bool& operator[](int item) { return on[size_t(item)]; }
    bool Any() const;
    // Whether any item that needs the moment reference point is on (0, 3, 4, 5, 7, 8, 9, 10).
    bool NeedsReferencePoint() const;
};

// The bit of the stored mask and the check box of the settings dialog for each item.
int ItemMaskBit(int item);
int ItemCheckBoxId(int item);
// The item label, as the dialog and the report show it.
const wchar_t* ItemLabel(int item);

// One measured record.
struct RegionProperties {
    double perimeter = 0;
    double area = 0;
    double volume = 0;
    double weight = 0;
    double momentRef[2] = {0, 0};      // Ix, Iy about the reference point
    double momentCentroid[2] = {0, 0}; // principal moments about the centroid
    zhost::geom::Point3d centroidWcs;
    zhost::geom::Point3d centroidUcs;
    zhost::geom::Point3d centroidRel;    // centroid minus reference point, world axes
    zhost::geom::Point3d centroidRelUcs; // centroidUcs minus refPointUcs
    bool valid = false;
};

// One line of the report: an item text and a data text.
struct ReportRow {
    std::wstring item;
    std::wstring data;
    bool operator==(const ReportRow&) const = default;
};

// The report is written in two forms: for the dialog (and the log file) with blank rows and
// "X Y" on one line, and for the drawing table with a heading row and "X\nY" in one cell.
enum class ReportForm { dialog, table };

// The entities bounding one picked area. Empty: nothing was picked. A set holding only the null
// id separates hole groups.
using BoundaryCurveSet = std::vector<zhost::db::ObjectId>;
bool IsGroupSeparator(const BoundaryCurveSet& set);
BoundaryCurveSet GroupSeparator();

// The state of one command run.
struct CGeomCalcContext {
    std::vector<RegionProperties> results; // first without holes, then with holes subtracted
    zhost::geom::Point3d refPointWcs;
    zhost::geom::Point3d refPointUcs;
    zhost::geom::Point3d axisStart;
    zhost::geom::Point3d axisEnd;
    double specificGravity = 1.0; // g/cm3
    ItemFlags items = ItemFlags::All();
    double markerSize = 0; // VIEWSIZE / 300
};
