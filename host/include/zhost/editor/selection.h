#pragma once
// Selection sets (acedSSGet and friends) as an RAII class, and the pick-first set.
//
//     ed::SelectionSet ss;
//     ed::ResBufList filter{{0, L"INSERT"}};
//     if (ss.select(L"X", nullptr, nullptr, &filter) == ed::Result::normal)
//         for (long i = 0; i < ss.length(); ++i) use(ss.name(i));
//
// Modes (the platform's mode strings):
//   nullptr / ""  interactive: every answer adds to the set until an empty answer ends it
//                 (@pick, @window, @crossing, @all, @last, a point picks at it)
//   "I"           the implied (pick-first) set
//   "X"           every entity of the drawing (model and paper space) that passes the filter
//   "W" / "C"     window / crossing between p1 and p2 (UCS)
//   "L"           the last entity appended to the drawing that is still alive
//   ":$"          interactive with custom prompts (prompts[0] to add, prompts[1] to remove)
//   ":K"          interactive with the keywords of initGet: a keyword ends the selection with
//                 Result::keyword (read it with getInput)
//   ":S"          interactive, single selection (the first answer ends it)
//   Modifiers combine, e.g. ":$:K".
// An interactive selection that ends empty returns error, as the platform does.
//
// Filters (the platform's filter resbufs, matched with wildcards and without case):
//   0     entity type list ("INSERT", "LWPOLYLINE,LINE,CIRCLE,ARC")
//   8     layer name pattern
//   2     block name pattern (block references)
//   62    colour index
//   -3 followed by 1001 items: the entity carries extended data of one of those applications
// Consecutive items are AND-ed.
#include "zhost/db/object_id.h"
#include "zhost/editor/result.h"
#include "zhost/geom/point3d.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::ed {

class SelectionSet {
public:
    SelectionSet() = default;
    ~SelectionSet() = default; // freed at scope end (acedSSFree)
    SelectionSet(const SelectionSet&) = delete;
    SelectionSet& operator=(const SelectionSet&) = delete;
    SelectionSet(SelectionSet&&) noexcept = default;
    SelectionSet& operator=(SelectionSet&&) noexcept = default;

    // acedSSGet. The set is replaced. prompts: for ":$", two texts (add, remove) or null.
    Result select(const wchar_t* mode, const geom::Point3d* p1 = nullptr,
                  const geom::Point3d* p2 = nullptr, const ResBufList* filter = nullptr,
                  const std::wstring* prompts = nullptr);

    // acedSSLength / acedSSName / acedSSFree / acedSSAdd / acedSSDel / acedSSMemb.
    long length() const { return long(ids_.size()); }
    // error for an index out of range.
    Result name(long index, db::ObjectId& out) const;
    db::ObjectId name(long index) const; // null when out of range
    void free() { ids_.clear(); }
    Result add(db::ObjectId id); // a duplicate is ignored (normal)
    Result remove(db::ObjectId id);
    bool contains(db::ObjectId id) const;
    const std::vector<db::ObjectId>& ids() const { return ids_; }

    // Highlights (or removes the highlight of) every member on screen.
    void highlight(bool on) const;

private:
    std::vector<db::ObjectId> ids_;
};

// Whether an entity passes a filter list (exposed for host commands and tests).
bool passesFilter(db::ObjectId entity, const ResBufList& filter);

// acedSSSetFirst / acedSSGetFirst: the pick-first set (highlighted while set). A null set clears
// it. Erased members are dropped when it is read.
Result setPickFirst(const SelectionSet* set);
Result getPickFirst(SelectionSet& out);

} // namespace zhost::ed
