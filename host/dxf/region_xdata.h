#pragma once
// Regions in DXF. The platform stores a region's shape as ACIS data, which is not ours to
// write; we write a REGION entity without ACIS data and keep the shape in extended data of the
// application "ZHOST_REGION" (layout in docs/dxf.md). Other programs see an empty region; ours
// gets the exact faces, loops and edges back.
#include "zhost/db/xdata.h"
#include "zhost/geom/region.h"

namespace zhost::dxf {

inline constexpr const wchar_t* kRegionApp = L"ZHOST_REGION";

// The chain of "ZHOST_REGION" (starting with its 1001 item).
db::XData encodeRegion(const geom::Region& region);
// False when the chain is not a region this format describes (nothing is then changed).
bool decodeRegion(const db::XData& chain, geom::Region& out);

} // namespace zhost::dxf
