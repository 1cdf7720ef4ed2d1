// The kept scene of the drawing window: collected when stale or updated entity by entity from the
// drawing's change log, culled by a grid, painted in batches of one pen.
#include "zhost/preview/scene_cache.h"

#include "painter.h"
#include "scene.h"

#include "zhost/db/db.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_set>

namespace zhost::preview {

namespace {

// References smaller than two pixels are collected as their box; collecting at an eighth of the
// view's pixel keeps the scene good for zooming eight times in before it is collected again.
constexpr double kCollectFiner = 8;

// Drawing units per pixel of the extents fitted into w x h with the margin.
double fittedPixel(const geom::Extents3d& e, int w, int h, const RenderOptions& o) {
    if (e.isEmpty())
        return 0;
    return std::max((e.maxPoint.x - e.minPoint.x) / std::max(1, w - 2 * o.margin),
                    (e.maxPoint.y - e.minPoint.y) / std::max(1, h - 2 * o.margin));
}

struct Box {
    double x0 = std::numeric_limits<double>::infinity(), y0 = x0;
    double x1 = -std::numeric_limits<double>::infinity(), y1 = x1;
    void add(const geom::Point3d& p) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    bool empty() const { return !(x0 <= x1 && y0 <= y1); }
};

Box boxOf(const Prim& p) {
    Box b;
    if (p.kind == Prim::label) {
        for (const geom::Point3d& c : textBox(p.text))
            b.add(c);
        return b;
    }
    for (const auto& path : p.paths)
        for (const geom::Point3d& q : path)
            b.add(q);
    return b;
}

// Drawing variables that only say how new things are made or how values are shown: setting them
// leaves every entity drawn as it was. Any other variable (LTSCALE, PDMODE, FILLMODE, one the
// host learns later) collects the scene again.
bool drawsNothing(std::wstring_view name) {
    static constexpr std::wstring_view kNames[] = {
        L"ANGBASE",   L"ANGDIR",    L"AUNITS",   L"AUPREC",    L"CECOLOR",     L"CELTSCALE",
        L"CELTYPE",   L"CELWEIGHT", L"CLAYER",   L"DIMSCALE",  L"DWGCODEPAGE", L"DWGNAME",
        L"DWGPREFIX", L"ELEVATION", L"EXTMAX",   L"EXTMIN",    L"HANDSEED",    L"INSBASE",
        L"INSUNITS",  L"LIMMAX",    L"LIMMIN",   L"LUNITS",    L"LUPREC",      L"MEASUREMENT",
        L"MIRRTEXT",  L"PLINEWID",  L"TEXTSIZE", L"TEXTSTYLE", L"THICKNESS"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

bool sameExtents(const geom::Extents3d& a, const geom::Extents3d& b) {
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() == b.isEmpty();
    return a.minPoint.x == b.minPoint.x && a.minPoint.y == b.minPoint.y &&
           a.maxPoint.x == b.maxPoint.x && a.maxPoint.y == b.maxPoint.y;
}

bool samePen(const Style& a, const Style& b) {
    return a.rgb == b.rgb && a.aci7 == b.aci7 && a.weightMm == b.weightMm &&
           a.worldWidth == b.worldWidth && a.dashes == b.dashes;
}

// A uniform grid over the prims' boxes. The prims of a drawing are mostly small and spread over
// its extents, so fixed cells answer a view's query in about the time of listing what it shows;
// prims covering many cells (infinite lines, borders) are kept apart and always offered.
class Grid {
public:
    void build(const std::vector<Box>& boxes) {
        *this = Grid();
        std::vector<std::uint32_t> placed;
        for (std::uint32_t i = 0; i < boxes.size(); ++i)
            if (!boxes[i].empty() && std::isfinite(boxes[i].x0) && std::isfinite(boxes[i].x1) &&
                std::isfinite(boxes[i].y0) && std::isfinite(boxes[i].y1) &&
                std::abs(boxes[i].x0) < 1e6 && std::abs(boxes[i].x1) < 1e6 &&
                std::abs(boxes[i].y0) < 1e6 && std::abs(boxes[i].y1) < 1e6) {
                area_.add({boxes[i].x0, boxes[i].y0, 0});
                area_.add({boxes[i].x1, boxes[i].y1, 0});
                placed.push_back(i);
            } else if (!boxes[i].empty()) {
                big_.push_back(i);
            }
        if (placed.empty())
            return;
        n_ = std::clamp(int(std::sqrt(double(placed.size()) / 4)), 1, 512);
        cw_ = std::max((area_.x1 - area_.x0) / n_, 1e-9);
        ch_ = std::max((area_.y1 - area_.y0) / n_, 1e-9);
        std::vector<std::uint32_t> count(std::size_t(n_) * n_ + 1, 0);
        std::vector<std::uint32_t> wide;
        auto cells = [&](const Box& b, auto&& visit) {
            const int cx0 = cell(b.x0, area_.x0, cw_), cx1 = cell(b.x1, area_.x0, cw_);
            const int cy0 = cell(b.y0, area_.y0, ch_), cy1 = cell(b.y1, area_.y0, ch_);
            for (int y = cy0; y <= cy1; ++y)
                for (int x = cx0; x <= cx1; ++x)
                    visit(std::size_t(y) * n_ + x);
        };
        auto spread = [&](const Box& b) {
            return (cell(b.x1, area_.x0, cw_) - cell(b.x0, area_.x0, cw_) + 1) *
                   (cell(b.y1, area_.y0, ch_) - cell(b.y0, area_.y0, ch_) + 1);
        };
        for (std::uint32_t i : placed) {
            if (spread(boxes[i]) > 16) {
                big_.push_back(i);
                continue;
            }
            cells(boxes[i], [&](std::size_t c) { ++count[c + 1]; });
        }
        for (std::size_t c = 1; c < count.size(); ++c)
            count[c] += count[c - 1];
        start_ = count;
        items_.resize(count.back());
        for (std::uint32_t i : placed)
            if (spread(boxes[i]) <= 16)
                cells(boxes[i], [&](std::size_t c) { items_[count[c]++] = i; });
        std::sort(big_.begin(), big_.end());
    }

    // A prim added after the grid was built: offered to every query, as the big ones are.
    void addExtra(std::uint32_t i) { extra_.push_back(i); }

    // Whether the window holds every placed prim.
    bool covers(const Box& w) const {
        return area_.empty() ||
               (w.x0 <= area_.x0 && w.y0 <= area_.y0 && w.x1 >= area_.x1 && w.y1 >= area_.y1);
    }

    // The prims whose cells meet the window, each once, in drawing order.
    void query(const Box& w, std::vector<std::uint32_t>& stamp, std::uint32_t mark,
               std::vector<std::uint32_t>& out) const {
        out.assign(big_.begin(), big_.end());
        out.insert(out.end(), extra_.begin(), extra_.end());
        if (n_ > 0 && !(w.x1 < area_.x0 || w.x0 > area_.x1 || w.y1 < area_.y0 || w.y0 > area_.y1)) {
            const int cx0 = cell(w.x0, area_.x0, cw_), cx1 = cell(w.x1, area_.x0, cw_);
            const int cy0 = cell(w.y0, area_.y0, ch_), cy1 = cell(w.y1, area_.y0, ch_);
            for (int y = cy0; y <= cy1; ++y)
                for (int x = cx0; x <= cx1; ++x) {
                    const std::size_t c = std::size_t(y) * n_ + x;
                    for (std::uint32_t k = start_[c]; k < start_[c + 1]; ++k) {
                        const std::uint32_t i = items_[k];
                        if (stamp[i] != mark) {
                            stamp[i] = mark;
                            out.push_back(i);
                        }
                    }
                }
        }
    }

private:
    int cell(double v, double origin, double size) const {
        return std::clamp(int(std::floor((v - origin) / size)), 0, n_ - 1);
    }

    Box area_;
    int n_ = 0;
    double cw_ = 1, ch_ = 1;
    std::vector<std::uint32_t> start_, items_, big_, extra_;
};

// Lines waiting to be stroked with one pen, in picture pixels.
struct Batch {
    std::vector<double> xy;            // points of every path, x then y
    std::vector<std::uint32_t> starts; // index into xy/2 where each path begins
    std::vector<bool> closed;          // per path
    std::vector<double> dots;          // x, y, radius of small things
    std::vector<double> points;        // x, y of point entities
    std::size_t lastUse = 0;           // the latest prim put in
    bool pending() const { return !starts.empty() || !dots.empty() || !points.empty(); }
    void clear() {
        xy.clear();
        starts.clear();
        closed.clear();
        dots.clear();
        points.clear();
    }
};

} // namespace

struct SceneCache::Impl {
    const db::Database* db = nullptr;
    std::uint64_t serial = 0, screen = 0;
    bool valid = false;
    double collectedPixel = 0;
    bool fitted = false; // collected for the extents fitted, not for a fixed view
    Scene scene;
    std::vector<Box> boxes;
    std::vector<std::uint32_t> penOf; // per prim
    std::vector<Style> pens;
    Grid grid;
    // After an update the prims are no longer in drawing order: `order` lists the live ones in
    // that order and `rank` gives each prim's place in it (taken-out prims last).
    bool inOrder = true;
    std::vector<std::uint32_t> order, rank;
    std::size_t takenOut = 0, added = 0; // prims since the last collect
    // What updates took out and added since the last picture was painted: their world box and
    // the widest pens in it; or that the scene was collected whole since (a highlight or the
    // extents may bring the scene up to the drawing before the picture is painted again).
    Box changedBox;
    double changedWeightMm = 0, changedWorldWidth = 0;
    bool collectedSincePicture = true;
    std::vector<std::uint32_t> stamp, visible;
    std::uint32_t mark = 0;
    std::vector<Batch> batches;
    std::vector<std::uint32_t> batchOrder; // pens with pending batches, in first-use order
    SceneCacheStats stats;

    bool fresh(const db::Database& d, std::uint64_t screenSerial) const {
        return valid && db == &d && serial == d.changeSerial() && screen == screenSerial;
    }

    // References under two `pixel`s are collected as boxes; a pixel of 0 is that of the
    // extents fitted into the options' size, as an uncached picture finds it.
    void collect(const db::Database& d, const RenderOptions& o, double pixel,
                 std::uint64_t screenSerial) {
        scene = Scene();
        buildSceneAt(d, d.modelSpaceId(), o, pixel, scene);
        collectedPixel = pixel > 0 ? pixel : fittedPixel(scene.extents, o.width, o.height, o);
        db = &d;
        serial = d.changeSerial();
        screen = screenSerial;
        valid = true;
        fitted = pixel <= 0;
        boxes.resize(scene.prims.size());
        penOf.resize(scene.prims.size());
        pens.clear();
        for (std::size_t i = 0; i < scene.prims.size(); ++i) {
            boxes[i] = boxOf(scene.prims[i]);
            penOf[i] = penFor(scene.prims[i].style);
        }
        grid.build(boxes);
        stamp.assign(scene.prims.size(), 0);
        mark = 0;
        batches.assign(pens.size(), Batch());
        inOrder = true;
        order.clear();
        rank.clear();
        takenOut = added = 0;
        collectedSincePicture = true;
        stats.collected = true;
    }

    std::uint32_t penFor(const Style& style) {
        // Consecutive prims mostly share a pen; look at the last few before adding one.
        for (std::size_t k = pens.size(); k > 0 && pens.size() - k < 8; --k)
            if (samePen(pens[k - 1], style))
                return std::uint32_t(k - 1);
        const auto pen =
            std::uint32_t(std::find_if(pens.begin(), pens.end(),
                                       [&](const Style& s) { return samePen(s, style); }) -
                          pens.begin());
        if (pen == pens.size())
            pens.push_back(style);
        return pen;
    }

    // The model-space entities the drawing's change log names since the scene was collected,
    // when only they changed: false when something else did (a layer, a block the picture shows,
    // a variable that changes how things are drawn, the draw order) or too much did.
    bool changedEntities(const db::Database& d, std::unordered_set<db::ObjectId>& out) const {
        const db::ChangeSet c = d.changesSince(serial);
        if (c.all || c.tables)
            return false;
        for (const std::wstring& name : c.variables)
            if (!drawsNothing(name))
                return false;
        for (db::ObjectId b : c.blocks)
            if (scene.unresolvedBlockNames ||
                std::binary_search(scene.blocks.begin(), scene.blocks.end(), b))
                return false;
        for (const db::ObjectChange& oc : c.objects) {
            if (oc.block != d.modelSpaceId())
                continue; // paper space, other blocks (above), tables, dictionaries
            if (!oc.entity.isNull())
                out.insert(oc.entity);
            else if (oc.type != db::ObjectType::blockTableRecord)
                return false; // the draw order, or anything else model space holds
        }
        return out.size() <= std::max<std::size_t>(256, scene.spans.size() / 8);
    }

    // Brings the scene up to the drawing by collecting again only the entities that changed:
    // their old prims are taken out, their new ones added at the end and offered by the grid to
    // every view, and the drawing order is kept through `order`. False when only a whole
    // collect can give the picture a fresh one would.
    bool update(const db::Database& d, const RenderOptions& o, std::uint64_t screenSerial) {
        if (!valid || db != &d || screen != screenSerial || !scene.complete)
            return false;
        std::unordered_set<db::ObjectId> changed;
        if (!changedEntities(d, changed))
            return false;
        if (takenOut + added > scene.prims.size() / 4 + 4096)
            return false; // a collect packs the prims and the grid again
        std::vector<db::ObjectId> ids;
        if (!changed.empty() && !ok(drawOrder(d, d.modelSpaceId(), ids)))
            return false;
        std::vector<db::ObjectId> again;
        for (db::ObjectId id : ids)
            if (changed.count(id))
                again.push_back(id);
        Scene fresh;
        if (!ok(collectModelEntities(d, again, o, scene.pixel, fresh)) || !fresh.complete ||
            scene.prims.size() + fresh.prims.size() >= std::numeric_limits<std::uint32_t>::max())
            return false;

        // The spans in the new drawing order: kept ones must come in their old order, or the
        // draw order changed in a way the log did not say.
        struct Piece {
            bool fresh;
            std::size_t span;
        };
        std::vector<Piece> plan;
        plan.reserve(scene.spans.size() + fresh.spans.size());
        std::size_t j = 0, k = 0;
        const auto skipChanged = [&] {
            while (j < scene.spans.size() && changed.count(scene.spans[j].id))
                ++j;
        };
        geom::Extents3d extents;
        std::size_t boxed = 0;
        for (db::ObjectId id : ids) {
            skipChanged();
            const Span* s = nullptr;
            if (changed.count(id)) {
                if (k < fresh.spans.size() && fresh.spans[k].id == id) {
                    s = &fresh.spans[k];
                    plan.push_back({true, k++});
                }
            } else if (j < scene.spans.size() && scene.spans[j].id == id) {
                s = &scene.spans[j];
                plan.push_back({false, j++});
            }
            if (s) {
                extents.addExtents(s->extents);
                boxed += s->boxed;
            }
        }
        skipChanged();
        if (changed.empty()) {
            extents = scene.extents;
            boxed = scene.boxedReferences;
        } else if (j != scene.spans.size() || k != fresh.spans.size()) {
            return false;
        }
        // Fitted to the extents, references are boxed at a pixel that follows them.
        if (fitted && !sameExtents(extents, scene.extents) && !scene.blocks.empty())
            return false;

        if (!changed.empty())
            apply(changed, fresh, plan, o);
        scene.extents = extents;
        scene.boxedReferences = boxed;
        if (fitted)
            collectedPixel = fittedPixel(scene.extents, o.width, o.height, o);
        std::vector<db::ObjectId> blocks;
        std::set_union(scene.blocks.begin(), scene.blocks.end(), fresh.blocks.begin(),
                       fresh.blocks.end(), std::back_inserter(blocks));
        scene.blocks = std::move(blocks);
        scene.unresolvedBlockNames = scene.unresolvedBlockNames || fresh.unresolvedBlockNames;
        serial = d.changeSerial();
        stats.updated = true;
        stats.recollected = again.size();
        return true;
    }

    void noteChanged(std::size_t i) {
        const Box& b = boxes[i];
        if (b.empty())
            return;
        changedBox.x0 = std::min(changedBox.x0, b.x0);
        changedBox.y0 = std::min(changedBox.y0, b.y0);
        changedBox.x1 = std::max(changedBox.x1, b.x1);
        changedBox.y1 = std::max(changedBox.y1, b.y1);
        const Style& st = pens[penOf[i]];
        changedWeightMm = std::max(changedWeightMm, st.weightMm);
        changedWorldWidth = std::max(changedWorldWidth, st.worldWidth);
    }

    template <class Plan>
    void apply(const std::unordered_set<db::ObjectId>& changed, Scene& fresh, const Plan& plan,
               const RenderOptions&) {
        for (const Span& s : scene.spans)
            if (changed.count(s.id))
                for (std::size_t i = s.first; i < s.first + s.count; ++i) {
                    noteChanged(i);
                    scene.prims[i] = Prim();
                    boxes[i] = Box(); // empty: never painted, whatever the grid offers
                    ++takenOut;
                }
        std::vector<Span> spans;
        spans.reserve(plan.size());
        for (const auto& piece : plan) {
            if (!piece.fresh) {
                spans.push_back(scene.spans[piece.span]);
                continue;
            }
            Span s = fresh.spans[piece.span];
            const std::size_t first = scene.prims.size();
            for (std::size_t i = s.first; i < s.first + s.count; ++i) {
                const auto at = std::uint32_t(scene.prims.size());
                scene.prims.push_back(std::move(fresh.prims[i]));
                boxes.push_back(boxOf(scene.prims.back()));
                penOf.push_back(penFor(scene.prims.back().style));
                grid.addExtra(at);
                noteChanged(at);
                ++added;
            }
            s.first = first;
            spans.push_back(s);
        }
        scene.spans = std::move(spans);
        order.clear();
        order.reserve(scene.prims.size() - takenOut);
        for (const Span& s : scene.spans)
            for (std::size_t i = s.first; i < s.first + s.count; ++i)
                order.push_back(std::uint32_t(i));
        rank.assign(scene.prims.size(), std::numeric_limits<std::uint32_t>::max());
        for (std::size_t k = 0; k < order.size(); ++k)
            rank[order[k]] = std::uint32_t(k);
        inOrder = false;
        stamp.resize(scene.prims.size(), 0);
        batches.resize(pens.size());
    }

    // Brings the scene up to the drawing for a picture of o.width x o.height when it is stale:
    // updated entity by entity where the change log allows, else collected whole.
    void prepare(const db::Database& d, const RenderOptions& o, std::uint64_t screenSerial) {
        const bool fixed = o.viewScale > 0 && std::isfinite(o.viewScale);
        if (!fresh(d, screenSerial) && !update(d, o, screenSerial)) {
            collect(d, o, fixed ? 1 / o.viewScale / kCollectFiner : 0, screenSerial);
        } else if (scene.boxedReferences > 0) {
            // Zoomed in so far that references collected as boxes would be more than two pixels.
            const double pixel =
                fixed ? 1 / o.viewScale : fittedPixel(scene.extents, o.width, o.height, o);
            if (pixel < collectedPixel * (1 - 1e-9))
                collect(d, o, pixel / kCollectFiner, screenSerial);
        }
    }

    // The part of the target to paint and the options for it, the scene collected when stale;
    // false for a bad target or rectangle.
    bool start(const db::Database& d, const PixelTarget& target, const PixelRect& rect,
               const RenderOptions& options, std::uint64_t screenSerial, PixelRect& r,
               RenderOptions& o) {
        if (!clipToTarget(target, rect, r))
            return false;
        stats = SceneCacheStats();
        o = options;
        o.width = r.right - r.left;
        o.height = r.bottom - r.top;
        prepare(d, o, screenSerial);
        stats.prims = scene.prims.size();
        return true;
    }

    void flush(cairo_t* cr, const Fit& f, const RenderOptions& o, bool dark) {
        // A pen is drawn where its last line comes: what was drawn last stays on top, as the
        // draw order of a drawing wants for what was added or brought to the front last.
        std::sort(batchOrder.begin(), batchOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
            return batches[a].lastUse < batches[b].lastUse;
        });
        for (std::uint32_t pen : batchOrder) {
            Batch& b = batches[pen];
            const Style& st = pens[pen];
            setColor(cr, st, dark);
            // The round caps and joins of thin lines and the dots of small things are arcs of a
            // pixel or two: flattened within half a pixel they look the same and cost half as
            // much to fill.
            const double width =
                st.worldWidth > 0 ? st.worldWidth * f.scale : st.weightMm * o.pixelsPerMm;
            cairo_set_tolerance(cr, width <= 3 ? 0.5 : 0.1);
            if (!b.starts.empty()) {
                applyStroke(cr, st, f, o);
                for (std::size_t k = 0; k < b.starts.size(); ++k) {
                    const std::size_t from = b.starts[k];
                    const std::size_t to =
                        k + 1 < b.starts.size() ? b.starts[k + 1] : b.xy.size() / 2;
                    cairo_move_to(cr, b.xy[2 * from], b.xy[2 * from + 1]);
                    for (std::size_t j = from + 1; j < to; ++j)
                        cairo_line_to(cr, b.xy[2 * j], b.xy[2 * j + 1]);
                    if (b.closed[k])
                        cairo_close_path(cr);
                }
                cairo_stroke(cr);
                ++stats.penBatches;
            }
            if (!b.dots.empty() || !b.points.empty()) {
                for (std::size_t k = 0; k < b.dots.size(); k += 3) {
                    cairo_new_sub_path(cr);
                    cairo_arc(cr, b.dots[k], b.dots[k + 1], b.dots[k + 2], 0, 6.283185307179586);
                }
                const double r = std::max(1.0, st.weightMm * o.pixelsPerMm);
                for (std::size_t k = 0; k < b.points.size(); k += 2) {
                    cairo_new_sub_path(cr);
                    cairo_arc(cr, b.points[k], b.points[k + 1], r, 0, 6.283185307179586);
                }
                cairo_fill(cr);
                ++stats.penBatches;
            }
            b.clear();
        }
        batchOrder.clear();
        cairo_set_tolerance(cr, 0.1); // cairo's default, for fills and texts
    }

    Batch& batchFor(std::uint32_t pen, std::size_t prim) {
        if (!batches[pen].pending())
            batchOrder.push_back(pen);
        batches[pen].lastUse = prim;
        return batches[pen];
    }

    // A stroke into its pen's batch: a dot when it fits in a pixel, else its points less those
    // within half a pixel of the last one kept.
    void addStroke(const Prim& p, std::size_t prim, const Box& b, std::uint32_t pen, const Fit& f,
                   const RenderOptions& o) {
        Batch& batch = batchFor(pen, prim);
        const double w = (b.x1 - b.x0) * f.scale, h = (b.y1 - b.y0) * f.scale;
        if (w < 1 && h < 1) {
            // The round-capped stroke of something this small is a disc its line width wider.
            const Style& st = pens[pen];
            const double width =
                st.worldWidth > 0 ? st.worldWidth * f.scale : st.weightMm * o.pixelsPerMm;
            batch.dots.push_back(f.ox + (b.x0 + b.x1) / 2 * f.scale);
            batch.dots.push_back(f.oy - (b.y0 + b.y1) / 2 * f.scale);
            batch.dots.push_back((std::max(w, h) + std::max(width, 1.0)) / 2);
            ++stats.dots;
            return;
        }
        const auto& pts = p.paths[0];
        batch.starts.push_back(std::uint32_t(batch.xy.size() / 2));
        batch.closed.push_back(p.closed);
        double lx = f.x(pts[0]), ly = f.y(pts[0]);
        batch.xy.push_back(lx);
        batch.xy.push_back(ly);
        for (std::size_t i = 1; i < pts.size(); ++i) {
            const double x = f.x(pts[i]), y = f.y(pts[i]);
            if (i + 1 < pts.size() && std::abs(x - lx) < 0.5 && std::abs(y - ly) < 0.5)
                continue;
            batch.xy.push_back(x);
            batch.xy.push_back(y);
            lx = x;
            ly = y;
        }
        ++stats.stroked;
    }

    void paintHighlight(cairo_t* cr, double x0, double y0, double w, double h,
                        const RenderOptions& o, const std::vector<db::ObjectId>& ids,
                        const HighlightPen& pen);

    // Paints the picture of (x0, y0, w, h), only its part `clip` when given.
    void paint(cairo_t* cr, double x0, double y0, double w, double h, const RenderOptions& o,
               const PixelRect* clip) {
        const bool dark = darkBackground(o.background);
        cairo_save(cr);

        const Fit f = fitFor(scene.extents, x0, y0, w, h, o);
        if (clip) {
            x0 = clip->left;
            y0 = clip->top;
            w = clip->right - clip->left;
            h = clip->bottom - clip->top;
        }
        paintBackground(cr, x0, y0, w, h, o);
        // The window in drawing units, widened by the widest line a pen can have on screen.
        double pad = 2;
        for (const Style& st : pens)
            pad = std::max(pad, 1 + (st.worldWidth > 0 ? st.worldWidth * f.scale
                                                       : st.weightMm * o.pixelsPerMm));
        pad = std::min(pad, w + h);
        Box view;
        view.x0 = (x0 - pad - f.ox) / f.scale;
        view.x1 = (x0 + w + pad - f.ox) / f.scale;
        view.y0 = (f.oy - (y0 + h + pad)) / f.scale;
        view.y1 = (f.oy - (y0 - pad)) / f.scale;
        const bool all = grid.covers(view);
        if (!all) {
            if (++mark == 0) { // wrapped: old stamps could match again
                std::fill(stamp.begin(), stamp.end(), 0);
                mark = 1;
            }
            grid.query(view, stamp, mark, visible);
            if (inOrder)
                std::sort(visible.begin(), visible.end());
            else
                std::sort(visible.begin(), visible.end(),
                          [&](std::uint32_t a, std::uint32_t b) { return rank[a] < rank[b]; });
        }
        const std::size_t n = !all ? visible.size() : inOrder ? scene.prims.size() : order.size();
        stats.candidates = n;
        for (std::size_t k = 0; k < n; ++k) {
            // `k` stands for the prim's place in drawing order, as batches compare it.
            const std::uint32_t i = !all ? visible[k] : inOrder ? std::uint32_t(k) : order[k];
            const Prim& p = scene.prims[i];
            const Box& b = boxes[i];
            if (b.x1 < view.x0 || b.x0 > view.x1 || b.y1 < view.y0 || b.y0 > view.y1)
                continue;
            switch (p.kind) {
            case Prim::stroke:
                if (!p.paths[0].empty())
                    addStroke(p, k, b, penOf[i], f, o);
                break;
            case Prim::dot:
                batchFor(penOf[i], k).points.push_back(f.x(p.paths[0][0]));
                batches[penOf[i]].points.push_back(f.y(p.paths[0][0]));
                break;
            case Prim::fill:
            case Prim::label:
                // Fills and texts cover what was drawn before them: those go first.
                flush(cr, f, o, dark);
                paintPrim(cr, p, f, x0, y0, w, h, o, dark);
                break;
            }
        }
        flush(cr, f, o, dark);
        cairo_restore(cr);
    }
};

namespace {

// The part of the segment (ax, ay)-(bx, by) inside the box {x0, y0, x1, y1} (Liang-Barsky);
// false when none of it is.
bool clipSegment(double& ax, double& ay, double& bx, double& by, const double box[4]) {
    const double dx = bx - ax, dy = by - ay;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - box[0], box[2] - ax, ay - box[1], box[3] - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    bx = ax + t1 * dx;
    by = ay + t1 * dy;
    ax += t0 * dx;
    ay += t0 * dy;
    return true;
}

// A path of drawing points in pixels, less the points within half a pixel of the last one kept,
// cut to the box: a dashed stroke costs a dash for every few pixels of the path, on the picture
// or not, and a line of a drawing zoomed in runs far beyond it.
void addPath(cairo_t* cr, const std::vector<geom::Point3d>& pts, bool closed, const Fit& f,
             const double box[4]) {
    if (pts.empty())
        return;
    double lx = f.x(pts[0]), ly = f.y(pts[0]);
    bool joined = false; // the current point is the end of the last segment drawn
    const std::size_t n = pts.size() + (closed && pts.size() > 2 ? 1 : 0);
    for (std::size_t i = 1; i < n; ++i) {
        const geom::Point3d& q = pts[i % pts.size()];
        const double x = f.x(q), y = f.y(q);
        if (i + 1 < n && std::abs(x - lx) < 0.5 && std::abs(y - ly) < 0.5)
            continue;
        double ax = lx, ay = ly, bx = x, by = y;
        const bool inside = clipSegment(ax, ay, bx, by, box);
        if (inside) {
            if (!joined || ax != lx || ay != ly)
                cairo_move_to(cr, ax, ay);
            cairo_line_to(cr, bx, by);
        }
        joined = inside && bx == x && by == y;
        lx = x;
        ly = y;
    }
}

} // namespace

void SceneCache::Impl::paintHighlight(cairo_t* cr, double x0, double y0, double w, double h,
                                      const RenderOptions& o, const std::vector<db::ObjectId>& ids,
                                      const HighlightPen& pen) {
    cairo_save(cr);
    cairo_rectangle(cr, x0, y0, w, h);
    cairo_clip(cr);
    const Fit f = fitFor(scene.extents, x0, y0, w, h, o);
    const double pad = 2 + pen.widthPx;
    const double vx0 = (x0 - pad - f.ox) / f.scale, vx1 = (x0 + w + pad - f.ox) / f.scale;
    const double vy0 = (f.oy - (y0 + h + pad)) / f.scale, vy1 = (f.oy - (y0 - pad)) / f.scale;
    const double box[4] = {x0 - pad, y0 - pad, x0 + w + pad, y0 + h + pad};
    cairo_new_path(cr);
    std::vector<double> tiny; // x, y of things under a pixel
    for (const Span& span : scene.spans) {
        if (!std::binary_search(ids.begin(), ids.end(), span.id))
            continue;
        for (std::size_t i = span.first; i < span.first + span.count; ++i) {
            const Box& b = boxes[i];
            if (b.empty() || b.x1 < vx0 || b.x0 > vx1 || b.y1 < vy0 || b.y0 > vy1)
                continue;
            const Prim& p = scene.prims[i];
            if ((b.x1 - b.x0) * f.scale < 1 && (b.y1 - b.y0) * f.scale < 1) {
                // Under a pixel: filled after the stroke, as dashes would hide it (and dashing
                // thousands of dots of a drawing seen whole costs more than all its lines).
                tiny.push_back(f.ox + (b.x0 + b.x1) / 2 * f.scale);
                tiny.push_back(f.oy - (b.y0 + b.y1) / 2 * f.scale);
                continue;
            }
            switch (p.kind) {
            case Prim::stroke:
            case Prim::dot:
                addPath(cr, p.paths[0], p.closed, f, box);
                break;
            case Prim::fill:
                for (const auto& loop : p.paths)
                    addPath(cr, loop, true, f, box);
                break;
            case Prim::label: {
                const auto corners = textBox(p.text);
                addPath(cr, {corners.begin(), corners.end()}, true, f, box);
                break;
            }
            }
        }
    }
    cairo_set_source_rgb(cr, ((pen.rgb >> 16) & 255) / 255.0, ((pen.rgb >> 8) & 255) / 255.0,
                         (pen.rgb & 255) / 255.0);
    cairo_set_line_width(cr, std::clamp(pen.widthPx, 0.5, 64.0));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    if (pen.dashPx > 0) {
        const double dash[] = {pen.dashPx, std::max(pen.gapPx, 0.0)};
        cairo_set_dash(cr, dash, 2, 0);
    }
    cairo_set_tolerance(cr, 0.5);
    cairo_stroke(cr);
    for (std::size_t k = 0; k < tiny.size(); k += 2)
        cairo_rectangle(cr, tiny[k] - 1.5, tiny[k + 1] - 1.5, 3, 3);
    cairo_fill(cr);
    cairo_restore(cr);
}

SceneCache::SceneCache() : impl_(std::make_unique<Impl>()) {}
SceneCache::~SceneCache() = default;

void SceneCache::invalidate() {
    impl_->valid = false;
}

bool SceneCache::extents(const db::Database& db, const RenderOptions& options,
                         std::uint64_t screenSerial, double& minX, double& minY, double& maxX,
                         double& maxY) {
    Impl& c = *impl_;
    c.stats = SceneCacheStats();
    if (!c.fresh(db, screenSerial) && !c.update(db, options, screenSerial))
        c.collect(db, options, 0, screenSerial);
    const geom::Extents3d& e = c.scene.extents;
    if (e.isEmpty())
        return false;
    minX = e.minPoint.x;
    minY = e.minPoint.y;
    maxX = e.maxPoint.x;
    maxY = e.maxPoint.y;
    return true;
}

const SceneCacheStats& SceneCache::stats() const {
    return impl_->stats;
}

bool SceneCache::changedArea(const db::Database& db, const RenderOptions& options,
                             std::uint64_t screenSerial, PixelRect& area) {
    Impl& c = *impl_;
    c.stats = SceneCacheStats();
    area = PixelRect();
    if (!(options.viewScale > 0 && std::isfinite(options.viewScale)))
        return false;
    if (!c.fresh(db, screenSerial) && !c.update(db, options, screenSerial))
        return false;
    if (c.collectedSincePicture)
        return false;
    if (c.scene.boxedReferences > 0 && 1 / options.viewScale < c.collectedPixel * (1 - 1e-9))
        return false; // the render collects again for the zoom
    if (c.changedBox.empty())
        return true;
    const Fit f = fitFor(c.scene.extents, 0, 0, options.width, options.height, options);
    // Round caps, dots and anti-aliasing reach a pixel or two past the widest pen.
    const double pad =
        3 + std::max(c.changedWorldWidth * f.scale, c.changedWeightMm * options.pixelsPerMm);
    const double left = f.ox + c.changedBox.x0 * f.scale - pad;
    const double right = f.ox + c.changedBox.x1 * f.scale + pad;
    const double top = f.oy - c.changedBox.y1 * f.scale - pad;
    const double bottom = f.oy - c.changedBox.y0 * f.scale + pad;
    const auto clamp = [](double v, int hi) { return int(std::clamp(v, 0.0, double(hi))); };
    area.left = clamp(std::floor(left), options.width);
    area.top = clamp(std::floor(top), options.height);
    area.right = clamp(std::ceil(right), options.width);
    area.bottom = clamp(std::ceil(bottom), options.height);
    if (area.right <= area.left || area.bottom <= area.top)
        area = PixelRect();
    return true;
}

Status SceneCache::render(const db::Database& db, const PixelTarget& target, const PixelRect& rect,
                          const RenderOptions& options, std::uint64_t screenSerial,
                          const PixelRect* only) {
    PixelRect r;
    RenderOptions o;
    Impl& c = *impl_;
    if (!c.start(db, target, rect, options, screenSerial, r, o))
        return Status::invalidInput;
    const int w = o.width, h = o.height;
    PixelRect part;
    if (only) {
        part = {std::max(only->left, r.left), std::max(only->top, r.top),
                std::min(only->right, r.right), std::min(only->bottom, r.bottom)};
        if (part.right <= part.left || part.bottom <= part.top)
            return Status::ok; // nothing of it in the picture
    }
    SurfacePtr surface = targetSurface(target);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return Status::invalidInput;
    ContextPtr cr(cairo_create(surface.get()), cairo_destroy);
    c.paint(cr.get(), r.left, r.top, w, h, o, only ? &part : nullptr);
    c.changedBox = Box();
    c.changedWeightMm = c.changedWorldWidth = 0;
    c.collectedSincePicture = false;
    cairo_surface_flush(surface.get());
    return Status::ok;
}

Status SceneCache::renderHighlight(const db::Database& db, const PixelTarget& target,
                                   const PixelRect& rect, const RenderOptions& options,
                                   std::uint64_t screenSerial, const std::vector<db::ObjectId>& ids,
                                   const HighlightPen& pen) {
    PixelRect r;
    RenderOptions o;
    Impl& c = *impl_;
    if (!c.start(db, target, rect, options, screenSerial, r, o))
        return Status::invalidInput;
    const int w = o.width, h = o.height;
    if (ids.empty())
        return Status::ok;
    SurfacePtr surface = targetSurface(target);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return Status::invalidInput;
    ContextPtr cr(cairo_create(surface.get()), cairo_destroy);
    c.paintHighlight(cr.get(), r.left, r.top, w, h, o, ids, pen);
    cairo_surface_flush(surface.get());
    return Status::ok;
}

} // namespace zhost::preview
