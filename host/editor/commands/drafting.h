#pragma once
// What the drafting commands (drawing, editing, inquiry, tables, files) share: prompts that
// refuse answers a drawing cannot hold, adding entities with the current properties, and the
// selection a command works on.
#include "zhost/core/status.h"
#include "zhost/db/object_id.h"
#include "zhost/editor/result.h"
#include "zhost/geom/point3d.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zhost::db {
class Database;
class Entity;
} // namespace zhost::db
namespace zhost::ed {
class SelectionSet;
}

namespace zhost::ed::detail {

// Coordinates and lengths beyond this cannot be drawn with useful precision (doubles keep about
// 16 digits; a drawing in millimetres needs a few after the point).
inline constexpr double kMaxCoordinate = 1e12;

// A point prompt with initGet(flags, keywords) before each try. Points outside the usable range
// are refused with a message and asked again. The point is in UCS coordinates.
Result askPoint(const geom::Point3d* base, std::wstring_view prompt, geom::Point3d& out,
                int flags = 0, std::wstring_view keywords = {});
// A distance (typed, or from base to a point) that must be positive and nonzero and within range.
Result askLength(const geom::Point3d* base, std::wstring_view prompt, double& out,
                 std::wstring_view keywords = {});
// An angle (degrees typed, or the direction from base to a point), in radians within [0, 2pi).
Result askAngle(const geom::Point3d* base, std::wstring_view prompt, double& out, int flags = 0,
                std::wstring_view keywords = {});
// A yes/no question; `yes` gets the answer (Enter gives the default).
Result askYesNo(std::wstring_view prompt, bool defaultYes, bool& yes);

// Appends an entity to the current space with the drawing's current layer, colour, linetype and
// lineweight; prints why when that fails.
Status addEntity(std::unique_ptr<db::Entity> entity, db::ObjectId* outId = nullptr);

// The objects an editing command works on: the pick-first set when there is one, else the
// objects the user selects. With `skipLocked`, objects on locked layers are left out with a
// message. False when nothing is left (the command ends).
bool objectsToEdit(SelectionSet& out, bool skipLocked = true);

// Ends the command after a cancel: reported as a failure to a command call.
void cancelled();

// The drawing's current text of a length or coordinate (LUNITS, LUPREC).
std::wstring lengthText(double value);
std::wstring pointText(const geom::Point3d& p);

} // namespace zhost::ed::detail
