#pragma once
// Whether the curves selected as one hole outline form one closed figure. Both checks print the
// outcome on the command line.
#include "zhost/db/object_id.h"

namespace zhost::ed {
class SelectionSet;
}

enum HoleClosure {
    kHoleClosed,      // the figure is closed: go on and mark it
    kHoleOpen,        // not closed (reported): mark nothing
    kHoleCheckFailed, // the check itself failed (reported): mark nothing
};

// One curve: a circle is closed, a lightweight polyline when its closed flag is set, a line or
// an arc when its ends meet within kHoleClosureTol.
HoleClosure CheckCurveClosed(zhost::db::ObjectId id);

// Several curves: joins them into polylines with the fuzz kHoleClosureTol on trial and takes the
// join back. They are closed when the join yields exactly one new polyline and it is closed. The
// drawing is left as it was (same entities, same ids).
HoleClosure CheckCurvesJoinClosed(const zhost::ed::SelectionSet& curves);
