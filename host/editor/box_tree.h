#pragma once
// A packed R-tree over boxes in the XY plane: the boxes are sorted once along a Hilbert curve
// through their centres and grouped sixteen to a node, level by level. It answers "which boxes
// meet this box" in about log(n) plus the number found, for drawings of any spread (a few far-off
// entities do not coarsen it, as they would a grid sized by the extents). It is built whole and
// not changed afterwards; the entity index keeps what changed since beside it (entity_index.cpp).
#include <cstdint>
#include <vector>

namespace zhost::ed::detail {

struct Box2 {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    // Touching edges count as meeting: a pick exactly at the reach still finds the entity.
    bool meets(const Box2& o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
};

class BoxTree {
public:
    // Packs the boxes; a query reports box i as item i. Every box must be finite with x0 <= x1
    // and y0 <= y1.
    void build(const std::vector<Box2>& boxes);
    // Appends to `out` every item whose box meets `q`, in no particular order.
    void query(const Box2& q, std::vector<std::uint32_t>& out) const;
    std::size_t size() const { return items_.size(); }

private:
    static constexpr std::size_t kFanout = 16;
    // levels_[0] holds the boxes in packed order; each higher level one box per kFanout boxes of
    // the level below (the last group may be shorter); the last level has at most kFanout boxes.
    std::vector<std::vector<Box2>> levels_;
    std::vector<std::uint32_t> items_; // packed position -> item
};

} // namespace zhost::ed::detail
