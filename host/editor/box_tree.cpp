// The packed R-tree: Hilbert order, then groups of kFanout at every level.
#include "box_tree.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace zhost::ed::detail {
namespace {

// The position of cell (x, y) of a 2^16 x 2^16 grid along the Hilbert curve that fills it.
// Neighbours along the curve are neighbours in the plane, so consecutive boxes make compact nodes.
std::uint64_t hilbert(std::uint32_t x, std::uint32_t y) {
    constexpr std::uint32_t n = 1u << 16;
    std::uint64_t d = 0;
    for (std::uint32_t s = n / 2; s > 0; s /= 2) {
        const std::uint32_t rx = (x & s) ? 1 : 0;
        const std::uint32_t ry = (y & s) ? 1 : 0;
        d += std::uint64_t(s) * s * ((3 * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                x = n - 1 - x;
                y = n - 1 - y;
            }
            std::swap(x, y);
        }
    }
    return d;
}

Box2 joined(const Box2* first, const Box2* last) {
    Box2 b = *first;
    for (const Box2* p = first + 1; p != last; ++p) {
        b.x0 = std::min(b.x0, p->x0);
        b.y0 = std::min(b.y0, p->y0);
        b.x1 = std::max(b.x1, p->x1);
        b.y1 = std::max(b.y1, p->y1);
    }
    return b;
}

} // namespace

void BoxTree::build(const std::vector<Box2>& boxes) {
    levels_.clear();
    items_.clear();
    if (boxes.empty())
        return;
    const Box2 all = joined(boxes.data(), boxes.data() + boxes.size());
    const double w = all.x1 - all.x0, h = all.y1 - all.y0;
    constexpr double kCells = 65535;
    auto cell = [](double v, double lo, double span) {
        return span > 0 ? std::uint32_t((v - lo) / span * kCells) : 0u;
    };
    std::vector<std::pair<std::uint64_t, std::uint32_t>> order(boxes.size());
    for (std::uint32_t i = 0; i < boxes.size(); ++i) {
        const Box2& b = boxes[i];
        order[i] = {hilbert(cell((b.x0 + b.x1) / 2, all.x0, w), cell((b.y0 + b.y1) / 2, all.y0, h)),
                    i};
    }
    // Stable on equal keys: the packing, and so the order a query finds things in, does not
    // depend on the sort's whims.
    std::sort(order.begin(), order.end());
    items_.resize(boxes.size());
    levels_.emplace_back(boxes.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        items_[k] = order[k].second;
        levels_[0][k] = boxes[order[k].second];
    }
    while (levels_.back().size() > kFanout) {
        const std::vector<Box2>& below = levels_.back();
        std::vector<Box2> up;
        up.reserve((below.size() + kFanout - 1) / kFanout);
        for (std::size_t k = 0; k < below.size(); k += kFanout)
            up.push_back(
                joined(below.data() + k, below.data() + std::min(k + kFanout, below.size())));
        levels_.push_back(std::move(up));
    }
}

void BoxTree::query(const Box2& q, std::vector<std::uint32_t>& out) const {
    if (levels_.empty())
        return;
    // (level, node) pairs still to look into; the top level is looked at whole.
    std::vector<std::pair<std::size_t, std::size_t>> pending;
    const std::size_t top = levels_.size() - 1;
    for (std::size_t k = 0; k < levels_[top].size(); ++k)
        pending.emplace_back(top, k);
    while (!pending.empty()) {
        const auto [level, node] = pending.back();
        pending.pop_back();
        if (!levels_[level][node].meets(q))
            continue;
        if (level == 0) {
            out.push_back(items_[node]);
            continue;
        }
        const std::size_t first = node * kFanout;
        const std::size_t last = std::min(first + kFanout, levels_[level - 1].size());
        for (std::size_t k = first; k < last; ++k)
            pending.emplace_back(level - 1, k);
    }
}

} // namespace zhost::ed::detail
