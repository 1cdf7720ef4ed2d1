#pragma once
// Hole marks: the extended data that tells the outline service which curves of a part's block
// definition bound a hole. Every curve of one hole carries
//     1001 "ZORMA-PARTS-HOLE"
//     1070 the hole's serial number (16-bit)
// and all curves of one hole share the number; the next hole gets the largest number in the
// drawing plus one.
#include "zhost/db/object_id.h"

#include <vector>

// The registered application of hole marks.
inline constexpr const wchar_t* kHoleMarkApp = L"ZORMA-PARTS-HOLE";
// The curve kinds a hole outline is made of, as one selection-filter type list.
inline constexpr const wchar_t* kHoleCurveTypes = L"LWPOLYLINE,LINE,CIRCLE,ARC";
// Equal-point tolerance and join fuzz of the closure check, in drawing units.
inline constexpr double kHoleClosureTol = 0.002;

// The serial number a curve's mark carries. False when the curve cannot be opened or has no
// mark with a number.
bool GetHoleSerial(zhost::db::ObjectId id, int& serial);

// The largest serial number among the curves (each opened once, one pass). False when none of
// them carries a mark.
bool FindLargestHoleSerial(const std::vector<zhost::db::ObjectId>& ids, int& largest);

// The serial number for a new hole: one more than the largest mark on any eligible curve of the
// drawing, 0 when there is none. False when the drawing holds no eligible curve at all, or when
// the numbers are used up (the largest is already 32767 and the next would not fit 16 bits).
bool GetNextHoleSerial(int& serial);

// Registers the application in the curve's drawing (once per call site is enough) and writes
// the mark, replacing any earlier hole mark of the curve. False when the curve cannot be opened
// for writing or refuses the data.
bool RegisterHoleMarkApp(zhost::db::Database& db);
bool SetHoleMark(zhost::db::ObjectId id, int serial);

// Registers the application and marks every curve of one hole with the serial number. A curve
// that cannot take the mark is reported on the command line and skipped; the others are still
// marked. Returns the number of curves marked.
int MarkHoleCurves(zhost::db::Database& db, const std::vector<zhost::db::ObjectId>& curves,
                   int serial);
