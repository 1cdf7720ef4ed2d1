#pragma once
// Booleans that need no kernel: uniting regions that lie apart, and subtracting tools that sit
// wholly inside the material (they become holes) or wholly outside it. Each answers false when
// it cannot prove its case, and the caller then runs the kernel's general Boolean. Private to
// the geom module.
#include "zhost/geom/region.h"

#include <vector>

namespace zhost::geom::detail {

// a ∪ b as the faces of both, when no face comes within `gap` of another (by their boxes).
bool uniteApart(const Region& a, const Region& b, double gap, Region& out);

// a minus the tools, when every tool face has no holes, stays farther than `gap` from every
// boundary of a and from every other tool face. A tool face inside a face's material becomes a
// hole of that face; one outside the material takes nothing away.
bool subtractClearTools(const Region& a, const std::vector<const Region*>& tools, double gap,
                        Region& out);

} // namespace zhost::geom::detail
