#pragma once
// Prompts on the command line (the platform's acedGetXxx family). Every prompt prints its text,
// takes one answer from the current input source and reports a Result:
//
//   normal   an answer of the requested kind (out-parameter set)
//   none     empty input (Enter), unless initGet(rsg::noNull) made the prompt repeat instead
//   keyword  a keyword of the list given to initGet (or, with rsg::other, any text); the
//            keyword's global name is read with getInput()
//   cancel   Esc ("^C" in a script), or the input ended while the prompt waited
//   error    entity prompts: the pick hit nothing (ERRNO 7) or was answered with Enter (ERRNO 52)
//
// initGet applies to the next prompt only, as on the platform. A keyword list is a blank-separated
// list of local names, optionally followed by "_" and as many global names ("Yes No _Yes No").
// The capital letters of a local name are its abbreviation ("eXit" answers to "X", "EX", "EXI",
// "EXIT"); a name without capitals needs its full spelling or any unique leading part. Typed
// answers with a "_" prefix are matched against the global names. Matching ignores case.
//
// Points are given and returned in UCS coordinates. Malformed answers re-prompt with the
// platform's messages ("Point or option keyword required.", "Requires numeric value.",
// "Invalid option keyword.", "Value must be positive and nonzero.", ...).
#include "zhost/db/object_id.h"
#include "zhost/editor/result.h"
#include "zhost/geom/point3d.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::ed {

// acedInitGet.
Result initGet(int flags, std::wstring_view keywords = {});

// acedGetPoint: with a base point the cursor shows a rubber band from it.
Result getPoint(const geom::Point3d* basePoint, std::wstring_view prompt, geom::Point3d& out);
// acedGetCorner: the second corner of a window from a first one.
Result getCorner(const geom::Point3d& basePoint, std::wstring_view prompt, geom::Point3d& out);
// acedGetReal / acedGetInt (16-bit range, as the platform's).
Result getReal(std::wstring_view prompt, double& out);
Result getInt(std::wstring_view prompt, int& out);
// acedGetDist: a number, or a point whose distance from the base point (or from a first point
// asked for when there is no base point) is the answer.
Result getDist(const geom::Point3d* basePoint, std::wstring_view prompt, double& out);
// acedGetAngle: degrees typed (ANGBASE 0, counter-clockwise), or a point giving the direction
// from the base point. Radians out.
Result getAngle(const geom::Point3d* basePoint, std::wstring_view prompt, double& out);
// acedGetString: the whole line; without allowSpaces a blank ends the answer (the rest of the
// line is ignored, as a space bar press would end it).
Result getString(bool allowSpaces, std::wstring_view prompt, std::wstring& out);
// acedGetKword: a keyword of the initGet list; out gets its global name.
Result getKeyword(std::wstring_view prompt, std::wstring& out);
// acedGetInput: the global name of the keyword (or the arbitrary text) of the last prompt that
// returned Result::keyword. error when there is none.
Result getInput(std::wstring& out);

// acedEntSel: pick one entity. The entity nearest to the pick point within the pick aperture
// (PICKBOX x view scale, see display.h) is taken; among equally near ones the one drawn last
// (appended last) wins, as the screen shows it on top. Hidden entities and entities on frozen
// or off layers cannot be picked. `picked` gets the pick point (UCS). Sets ERRNO 7 on a miss and
// 52 on Enter (both return error); keywords of initGet are accepted.
Result entSel(std::wstring_view prompt, db::ObjectId& out, geom::Point3d& picked);

// The current drawing's model space entities that a pick at `worldPoint` would hit, nearest
// first (no prompt). For host commands and tests.
std::vector<db::ObjectId> entitiesAtPoint(const geom::Point3d& worldPoint, double aperture);

} // namespace zhost::ed
