#include "scene.h"

#include "multileader.h"

#include "zhost/core/utf.h"
#include "zhost/db/annotation.h"
#include "zhost/db/drafting.h"
#include "zhost/geom/extents_transform.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cwctype>
#include <map>
#include <set>

namespace zhost::preview {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr std::size_t kMaxPrims = 2000000;

struct Axes {
    geom::Vector3d x{1, 0, 0}, y{0, 1, 0};
    explicit Axes(const geom::Vector3d& normal) {
        geom::Vector3d n = normal.normal();
        if (n.isZeroLength())
            n = {0, 0, 1};
        constexpr double kLimit = 1.0 / 64;
        x = (std::abs(n.x) < kLimit && std::abs(n.y) < kLimit ? geom::Vector3d{0, 1, 0}.cross(n)
                                                              : geom::Vector3d{0, 0, 1}.cross(n))
                .normal();
        y = n.cross(x).normal();
    }
};

int segmentsFor(double sweep) {
    return std::clamp(int(std::ceil(std::abs(sweep) / kTwoPi * 96)), 4, 960);
}

void arcPoints(std::vector<geom::Point3d>& out, const geom::Point3d& c, double r, double a0,
               double a1, const geom::Vector3d& normal, bool skipFirst = false) {
    const Axes ax(normal);
    const int n = segmentsFor(a1 - a0);
    for (int i = skipFirst ? 1 : 0; i <= n; ++i) {
        const double a = a0 + (a1 - a0) * i / n;
        out.push_back(c + ax.x * (r * std::cos(a)) + ax.y * (r * std::sin(a)));
    }
}

double ccwSweep(double a0, double a1) {
    double s = std::fmod(a1 - a0, kTwoPi);
    if (s <= 0)
        s += kTwoPi;
    return s;
}

void ellipsePoints(std::vector<geom::Point3d>& out, const geom::EllipseArc& e, bool skipFirst) {
    const geom::Vector3d minor = e.normal.normal().cross(e.majorAxis) * e.radiusRatio;
    double t1 = e.endParam;
    if (t1 <= e.startParam)
        t1 += kTwoPi;
    const int n = segmentsFor(t1 - e.startParam);
    for (int i = skipFirst ? 1 : 0; i <= n; ++i) {
        const double t = e.startParam + (t1 - e.startParam) * i / n;
        out.push_back(e.center + e.majorAxis * std::cos(t) + minor * std::sin(t));
    }
}

void bulgePoints(std::vector<geom::Point3d>& out, const geom::Point3d& a, const geom::Point3d& b,
                 double bulge, const geom::Vector3d& normal) {
    if (bulge == 0 || a.isEqualTo(b)) {
        out.push_back(b);
        return;
    }
    const double theta = 4 * std::atan(bulge); // signed included angle
    const geom::Vector3d chord = b - a;
    const geom::Vector3d n = normal.normal();
    const geom::Vector3d left = n.cross(chord).normal();
    const geom::Point3d c =
        geom::Point3d::midPoint(a, b) + left * (chord.length() / 2 / std::tan(theta / 2));
    // Walk from a around c by theta about the normal.
    const geom::Vector3d v0 = a - c;
    const geom::Vector3d w0 = n.cross(v0);
    const int steps = segmentsFor(theta);
    for (int i = 1; i <= steps; ++i) {
        const double t = theta * i / steps;
        out.push_back(c + v0 * std::cos(t) + w0 * std::sin(t));
    }
}

void polylinePoints(std::vector<geom::Point3d>& out, const geom::Polyline& p) {
    const std::size_t n = p.points.size();
    if (n == 0)
        return;
    out.push_back(p.points[0]);
    const std::size_t segs = p.closed ? n : n - 1;
    for (std::size_t i = 0; i < segs; ++i)
        bulgePoints(out, p.points[i], p.points[(i + 1) % n], i < p.bulges.size() ? p.bulges[i] : 0,
                    p.normal);
}

// De Boor evaluation of a (rational) B-spline.
geom::Point3d splineAt(const geom::Spline& s, double u) {
    const int p = s.degree;
    const int n = int(s.controlPoints.size()) - 1;
    int k = p;
    while (k < n && u >= s.knots[std::size_t(k + 1)])
        ++k;
    std::vector<double> x(std::size_t(p + 1)), y(x), z(x), w(x);
    for (int j = 0; j <= p; ++j) {
        const std::size_t idx = std::size_t(j + k - p);
        const double wt = s.weights.empty() ? 1.0 : s.weights[idx];
        x[std::size_t(j)] = s.controlPoints[idx].x * wt;
        y[std::size_t(j)] = s.controlPoints[idx].y * wt;
        z[std::size_t(j)] = s.controlPoints[idx].z * wt;
        w[std::size_t(j)] = wt;
    }
    for (int r = 1; r <= p; ++r)
        for (int j = p; j >= r; --j) {
            const double lo = s.knots[std::size_t(j + k - p)];
            const double hi = s.knots[std::size_t(j + 1 + k - r)];
            const double a = hi - lo == 0 ? 0 : (u - lo) / (hi - lo);
            const std::size_t J = std::size_t(j);
            x[J] = (1 - a) * x[J - 1] + a * x[J];
            y[J] = (1 - a) * y[J - 1] + a * y[J];
            z[J] = (1 - a) * z[J - 1] + a * z[J];
            w[J] = (1 - a) * w[J - 1] + a * w[J];
        }
    const double wp = w[std::size_t(p)] == 0 ? 1 : w[std::size_t(p)];
    return {x[std::size_t(p)] / wp, y[std::size_t(p)] / wp, z[std::size_t(p)] / wp};
}

void splinePoints(std::vector<geom::Point3d>& out, const geom::Spline& s, bool skipFirst) {
    const std::size_t nc = s.controlPoints.size();
    if (nc < 2 || s.degree < 1 || s.degree > 25 ||
        s.knots.size() != nc + std::size_t(s.degree) + 1) {
        for (std::size_t i = skipFirst ? 1 : 0; i < nc; ++i)
            out.push_back(s.controlPoints[i]);
        return;
    }
    const double u0 = s.knots[std::size_t(s.degree)], u1 = s.knots[nc];
    const int n = std::clamp(int(nc) * 16, 16, 2000);
    for (int i = skipFirst ? 1 : 0; i <= n; ++i)
        out.push_back(splineAt(s, u0 + (u1 - u0) * i / n));
}

// Points of any curve value; `skipFirst` when continuing a chain.
void curvePoints(std::vector<geom::Point3d>& out, const geom::Curve& c, bool skipFirst) {
    if (auto* l = std::get_if<geom::LineSeg>(&c)) {
        if (!skipFirst)
            out.push_back(l->start);
        out.push_back(l->end);
    } else if (auto* a = std::get_if<geom::CircArc>(&c)) {
        arcPoints(out, a->center, a->radius, a->startAngle,
                  a->startAngle + ccwSweep(a->startAngle, a->endAngle), a->normal, skipFirst);
    } else if (auto* ci = std::get_if<geom::Circle>(&c)) {
        arcPoints(out, ci->center, ci->radius, 0, kTwoPi, ci->normal, skipFirst);
    } else if (auto* e = std::get_if<geom::EllipseArc>(&c)) {
        ellipsePoints(out, *e, skipFirst);
    } else if (auto* p = std::get_if<geom::Polyline>(&c)) {
        std::vector<geom::Point3d> pts;
        polylinePoints(pts, *p);
        out.insert(out.end(), pts.begin() + (skipFirst && !pts.empty() ? 1 : 0), pts.end());
    } else if (auto* s = std::get_if<geom::Spline>(&c)) {
        splinePoints(out, *s, skipFirst);
    }
}

// The chain of a loop's edges, each continuing where the last ended.
std::vector<geom::Point3d> loopPoints(const std::vector<geom::Curve>& edges) {
    std::vector<geom::Point3d> pts;
    for (const geom::Curve& e : edges)
        curvePoints(pts, e, false);
    return pts;
}

} // namespace

std::array<geom::Point3d, 4> textBox(const TextItem& t) {
    // A generous box around the anchor from the count of characters; the painter measures exactly.
    std::size_t longest = 0, lines = 1, cur = 0;
    for (wchar_t ch : t.text) {
        if (ch == L'\n') {
            ++lines;
            cur = 0;
        } else {
            longest = std::max(longest, ++cur);
        }
    }
    double w = double(longest) * t.height * t.widthFactor * 0.9;
    if (t.wrapWidth > 0)
        w = std::min(w, t.wrapWidth);
    const double h = t.height * (1.7 * double(lines));
    const double x0 = t.hAlign == 0 ? 0 : t.hAlign == 1 ? -w / 2 : -w;
    const double y0 = t.multiline ? (t.vAlign == 3   ? -h
                                     : t.vAlign == 2 ? -h / 2
                                                     : 0)
                                  : (t.vAlign == 3   ? -t.height
                                     : t.vAlign == 2 ? -t.height / 2
                                                     : -t.height * 0.3);
    const geom::Vector3d up{-t.xdir.y, t.xdir.x, 0};
    return {t.anchor + t.xdir * x0 + up * y0, t.anchor + t.xdir * (x0 + w) + up * y0,
            t.anchor + t.xdir * (x0 + w) + up * (y0 + h), t.anchor + t.xdir * x0 + up * (y0 + h)};
}

namespace {

struct Inherited {
    std::uint32_t rgb = 0xFFFFFF;
    bool aci7 = true;
    db::ObjectId linetype;
    double weightMm = 0.25;
    db::ObjectId layer; // the layer entities on layer 0 take
};

// What the builders of one picture share: the boxes of block definitions in their own
// coordinates, found once per definition, and every block any of them went into (what the
// picture depends on besides its own entities).
struct BlockBoxes {
    std::map<db::ObjectId, geom::Extents3d> boxes;
    std::set<db::ObjectId> walked;
    bool unresolvedNames = false;
};

class Builder {
public:
    Builder(const db::Database& db, const RenderOptions& o, Scene& s, BlockBoxes& boxes)
        : db_(db), o_(o), s_(s), boxes_(boxes) {
        db_.getReal(L"LTSCALE", ltscale_);
        if (!(ltscale_ > 0))
            ltscale_ = 1;
    }

    // Only the extents are wanted: references add their blocks' boxes instead of their content.
    void measureOnly() { measureOnly_ = true; }
    // References that come out within two pixels of this many drawing units are drawn as their
    // filled box rather than walked: a drawing of many levels of nested references would
    // otherwise make millions of strokes no one can tell apart.
    void setPixelSize(double units) { pixel_ = units; }
    double pixelSize() const { return pixel_; }

    // The box of a block definition's visible content in its own coordinates.
    geom::Extents3d blockBox(db::ObjectId blockId) {
        if (const auto it = boxes_.boxes.find(blockId); it != boxes_.boxes.end())
            return it->second;
        boxes_.boxes[blockId] = geom::Extents3d(); // a block that contains itself adds nothing more
        Scene scratch;
        Builder measure(db_, o_, scratch, boxes_);
        measure.measureOnly();
        Inherited top;
        top.linetype = db_.continuousLinetypeId();
        measure.block(blockId, geom::Matrix3d(), top, 0, false);
        boxes_.boxes[blockId] = scratch.extents;
        return scratch.extents;
    }

    void block(db::ObjectId blockId, const geom::Matrix3d& xf, const Inherited& in, int depth,
               bool showAttdefs) {
        // A block that contains itself, or references multiplying without end, stop here.
        if (depth > 16 || s_.prims.size() > kMaxPrims) {
            s_.complete = false;
            return;
        }
        boxes_.walked.insert(blockId);
        std::vector<db::ObjectId> ids;
        if (!ok(drawOrder(db_, blockId, ids)))
            return;
        if (depth > 0) {
            for (db::ObjectId id : ids)
                blockEntity(id, xf, in, depth, showAttdefs);
            return;
        }
        for (db::ObjectId id : ids)
            topEntity(id, xf, in, showAttdefs);
    }

    // An entity of the picture's own block: its prims, extents and boxed references are kept as
    // its span, so that a kept scene can take it out and collect it again alone.
    void topEntity(db::ObjectId id, const geom::Matrix3d& xf, const Inherited& in,
                   bool showAttdefs) {
        const std::size_t first = s_.prims.size(), boxed = s_.boxedReferences;
        const geom::Extents3d outer = s_.extents;
        s_.extents = geom::Extents3d();
        blockEntity(id, xf, in, 0, showAttdefs);
        const geom::Extents3d own = s_.extents;
        s_.extents = outer;
        s_.extents.addExtents(own);
        if (s_.prims.size() > first)
            s_.spans.push_back(
                {id, first, s_.prims.size() - first, own, s_.boxedReferences - boxed});
        else if (!own.isEmpty())
            s_.complete = false; // extents without prims: no span could say so
    }

    void blockEntity(db::ObjectId id, const geom::Matrix3d& xf, const Inherited& in, int depth,
                     bool showAttdefs) {
        if (o_.hiddenOnScreen && o_.hiddenOnScreen(id))
            return;
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (!e || !e->visible())
            return;
        entity(*e, xf, in, depth, showAttdefs);
    }

    // One entity on its own, as drawn at the top of a picture (it need not be in the database).
    void single(const db::Entity& e) {
        Inherited top;
        top.linetype = db_.continuousLinetypeId();
        entity(e, geom::Matrix3d(), top, 0, false);
    }

private:
    struct LayerInfo {
        bool hidden = false;
        int color = 7;
        db::ObjectId linetype;
        int weight = -3;
    };
    LayerInfo layer(db::ObjectId id) {
        LayerInfo li;
        db::ObjectPtr<db::LayerTableRecord> l(id, db::OpenMode::forRead);
        if (l) {
            li.hidden = l->isFrozen() || l->isOff();
            li.color = l->colorIndex();
            li.linetype = l->linetypeId();
            li.weight = l->lineWeight();
        }
        return li;
    }

    std::vector<double> dashesOf(db::ObjectId linetypeId, double scale) {
        std::vector<double> out;
        db::ObjectPtr<db::LinetypeTableRecord> lt(linetypeId, db::OpenMode::forRead);
        if (!lt || lt->patternLength() <= 0)
            return out;
        for (const db::LinetypeDash& d : lt->dashes())
            out.push_back(d.length * scale);
        return out;
    }

    void entity(const db::Entity& e, const geom::Matrix3d& xf, const Inherited& in, int depth,
                bool showAttdefs) {
        const db::ObjectId layerId =
            e.layerId() == db_.layerZeroId() && !in.layer.isNull() ? in.layer : e.layerId();
        const LayerInfo li = layer(layerId);
        if (li.hidden)
            return;
        Style st;
        const int c = e.colorIndex();
        if (c == db::color::byBlock) {
            st.rgb = in.rgb;
            st.aci7 = in.aci7;
        } else {
            const int idx = c == db::color::byLayer ? li.color : c;
            st.rgb = aciToRgb(idx);
            st.aci7 = idx == 7;
        }
        if (e.trueColor()) {
            st.rgb = *e.trueColor();
            st.aci7 = false;
        }
        db::ObjectId lt = e.linetypeId();
        if (lt.isNull() || lt == db_.byLayerLinetypeId())
            lt = li.linetype;
        else if (lt == db_.byBlockLinetypeId())
            lt = in.linetype;
        const double scale = xf.scale();
        st.dashes = dashesOf(lt, ltscale_ * e.linetypeScale() * (scale > 0 ? scale : 1));
        int w = e.lineWeight();
        if (w == db::lineweight::byLayer)
            w = li.weight;
        st.weightMm = w == db::lineweight::byBlock ? in.weightMm : w < 0 ? 0.25 : w / 100.0;
        Inherited next{st.rgb, st.aci7, lt, st.weightMm, layerId};
        shape(e, xf, st, next, depth, showAttdefs);
    }

    void addStroke(const Style& st, std::vector<geom::Point3d> pts, const geom::Matrix3d& xf,
                   bool closed = false) {
        if (!pts.empty())
            addPath(Prim::stroke, st, std::move(pts), xf, closed);
    }

    // A closed polygon filled with the pen's colour (solids, wide segments, arrowheads).
    void addFill(const Style& st, std::vector<geom::Point3d> pts, const geom::Matrix3d& xf) {
        addPath(Prim::fill, st, std::move(pts), xf, true);
    }

    // One path of a stroke or a fill, taken to world space and counted into the extents.
    void addPath(Prim::Kind kind, const Style& st, std::vector<geom::Point3d> pts,
                 const geom::Matrix3d& xf, bool closed) {
        for (auto& p : pts) {
            p = xf * p;
            s_.extents.addPoint(p);
        }
        Prim pr;
        pr.kind = kind;
        pr.style = st;
        pr.closed = closed;
        pr.paths.push_back(std::move(pts));
        s_.prims.push_back(std::move(pr));
    }

    // A polyline with widths per vertex: each wide segment is filled as its outline, the width
    // running linearly along it from the start width to the end width.
    void taperedPolyline(const db::Polyline& p, const Style& st, const geom::Matrix3d& xf) {
        const geom::Polyline& g = p.geometry();
        const std::size_t n = g.points.size();
        const std::size_t segs = g.closed ? n : (n ? n - 1 : 0);
        const geom::Vector3d normal = g.normal.normal();
        for (std::size_t i = 0; i < segs; ++i) {
            std::vector<geom::Point3d> mid{g.points[i]};
            bulgePoints(mid, g.points[i], g.points[(i + 1) % n],
                        i < g.bulges.size() ? g.bulges[i] : 0, normal);
            const double w0 = p.startWidthAt(int(i)), w1 = p.endWidthAt(int(i));
            if ((w0 == 0 && w1 == 0) || mid.size() < 2) {
                addStroke(st, std::move(mid), xf);
                continue;
            }
            std::vector<double> along(mid.size(), 0.0);
            for (std::size_t k = 1; k < mid.size(); ++k)
                along[k] = along[k - 1] + (mid[k] - mid[k - 1]).length();
            const double total = along.back() > 0 ? along.back() : 1;
            std::vector<geom::Point3d> outline(2 * mid.size());
            for (std::size_t k = 0; k < mid.size(); ++k) {
                const geom::Vector3d tangent =
                    mid[std::min(k + 1, mid.size() - 1)] - mid[k == 0 ? 0 : k - 1];
                geom::Vector3d side = normal.cross(tangent);
                side = side.isZeroLength() ? side : side.normal();
                const double half = (w0 + (w1 - w0) * along[k] / total) / 2;
                outline[k] = mid[k] + side * half;
                outline[2 * mid.size() - 1 - k] = mid[k] - side * half;
            }
            addFill(st, std::move(outline), xf);
        }
    }

    void addText(const Style& st, TextItem t, const geom::Matrix3d& xf) {
        const geom::Point3d anchor = xf * t.anchor;
        geom::Vector3d dir = xf * t.xdir;
        const double s = dir.length();
        t.anchor = anchor;
        t.xdir = s > 0 ? dir / s : geom::Vector3d{1, 0, 0};
        t.height *= s > 0 ? s : 1;
        t.wrapWidth *= s > 0 ? s : 1;
        for (const geom::Point3d& corner : textBox(t))
            s_.extents.addPoint(corner);
        Prim pr;
        pr.kind = Prim::label;
        pr.style = st;
        pr.text = std::move(t);
        s_.prims.push_back(std::move(pr));
    }

    static TextItem textItem(const db::Text& t, const std::wstring& str) {
        TextItem ti;
        ti.text = expandPercentCodes(str);
        ti.height = t.height();
        ti.widthFactor = t.widthFactor();
        const Axes ax(t.normal());
        ti.xdir = ax.x * std::cos(t.rotation()) + ax.y * std::sin(t.rotation());
        int h = int(t.horizontalMode()), v = int(t.verticalMode());
        if (h == 4) { // middle: centred both ways
            h = 1;
            v = 2;
        } else if (h == 3 || h == 5) { // aligned and fit: drawn centred on the baseline
            h = 1;
        }
        ti.hAlign = h;
        ti.vAlign = v;
        ti.anchor = t.isDefaultAlignment() ? t.position() : t.alignmentPoint();
        return ti;
    }

    void shape(const db::Entity& e, const geom::Matrix3d& xf, Style& st, const Inherited& next,
               int depth, bool showAttdefs) {
        std::vector<geom::Point3d> pts;
        switch (e.type()) {
        case db::ObjectType::line: {
            const auto& l = static_cast<const db::Line&>(e);
            addStroke(st, {l.startPoint(), l.endPoint()}, xf);
            break;
        }
        case db::ObjectType::arc: {
            const auto& a = static_cast<const db::Arc&>(e);
            arcPoints(pts, a.center(), a.radius(), a.startAngle(),
                      a.startAngle() + ccwSweep(a.startAngle(), a.endAngle()), a.normal());
            addStroke(st, std::move(pts), xf);
            break;
        }
        case db::ObjectType::circle: {
            const auto& c = static_cast<const db::Circle&>(e);
            arcPoints(pts, c.center(), c.radius(), 0, kTwoPi, c.normal());
            addStroke(st, std::move(pts), xf, true);
            break;
        }
        case db::ObjectType::ellipse:
            ellipsePoints(pts, static_cast<const db::Ellipse&>(e).geometry(), false);
            addStroke(st, std::move(pts), xf);
            break;
        case db::ObjectType::polyline: {
            const auto& p = static_cast<const db::Polyline&>(e);
            if (p.hasVertexWidths()) {
                taperedPolyline(p, st, xf);
                break;
            }
            polylinePoints(pts, p.geometry());
            const double scale = xf.scale();
            st.worldWidth = p.constantWidth() * (scale > 0 ? scale : 1);
            addStroke(st, std::move(pts), xf, p.isClosed());
            break;
        }
        case db::ObjectType::spline:
            splinePoints(pts, static_cast<const db::Spline&>(e).geometry(), false);
            addStroke(st, std::move(pts), xf);
            break;
        case db::ObjectType::point: {
            const geom::Point3d p = xf * static_cast<const db::Point&>(e).position();
            s_.extents.addPoint(p);
            Prim pr;
            pr.kind = Prim::dot;
            pr.style = st;
            pr.paths.push_back({p});
            s_.prims.push_back(std::move(pr));
            break;
        }
        case db::ObjectType::text:
        case db::ObjectType::attribute: {
            const auto& t = static_cast<const db::Text&>(e);
            if (e.type() == db::ObjectType::attribute &&
                static_cast<const db::Attribute&>(e).isInvisible())
                break;
            addText(st, textItem(t, t.textString()), xf);
            break;
        }
        case db::ObjectType::attributeDefinition: {
            const auto& d = static_cast<const db::AttributeDefinition&>(e);
            if (showAttdefs)
                addText(st, textItem(d, d.tag()), xf);
            else if (d.isConstant() && !d.isInvisible())
                addText(st, textItem(d, d.defaultText()), xf);
            break;
        }
        case db::ObjectType::mtext: {
            const auto& m = static_cast<const db::MText&>(e);
            TextItem ti;
            ti.multiline = true;
            ti.text = expandPercentCodes(plainMText(m.contents()));
            ti.height = m.textHeight();
            ti.wrapWidth = m.width();
            ti.lineSpacing = m.lineSpacingFactor();
            const Axes ax(m.normal());
            ti.xdir = ax.x * std::cos(m.rotation()) + ax.y * std::sin(m.rotation());
            const int a = int(m.attachment()) - 1;
            ti.hAlign = a % 3;
            ti.vAlign = a / 3 == 0 ? 3 : a / 3 == 1 ? 2 : 1;
            ti.anchor = m.location();
            addText(st, std::move(ti), xf);
            break;
        }
        case db::ObjectType::hatch: {
            const auto& h = static_cast<const db::Hatch&>(e);
            Prim pr;
            pr.kind = Prim::fill;
            pr.style = st;
            pr.closed = h.isSolidFill(); // false: a pattern, painted as lines
            for (const db::HatchLoop& loop : h.loops()) {
                std::vector<geom::Point3d> lp = loopPoints(loop.edges);
                for (auto& p : lp) {
                    p = xf * p;
                    s_.extents.addPoint(p);
                }
                pr.paths.push_back(std::move(lp));
            }
            pr.text.height = h.patternScale() * (xf.scale() > 0 ? xf.scale() : 1);
            pr.text.xdir = {std::cos(h.patternAngle()), std::sin(h.patternAngle()), 0};
            const Axes ax(h.normal());
            const geom::Vector3d n = h.normal().normal();
            if (const auto& g = h.gradient()) {
                pr.closed = true;
                pr.gradient = g->colors.size() > 1;
                pr.style.rgb = g->colors[0].rgb;
                pr.style.aci7 = false;
                if (pr.gradient)
                    pr.gradientTo = g->colors[1].rgb;
                pr.gradientDir = xf * (ax.x * std::cos(g->angle) + ax.y * std::sin(g->angle));
            } else if (!h.isSolidFill()) {
                for (const db::HatchPatternLine& l : h.patternLines()) {
                    HatchFamily fam;
                    fam.base = xf * (geom::Point3d() + ax.x * l.base.x + ax.y * l.base.y +
                                     n * h.elevation());
                    fam.dir = xf * (ax.x * std::cos(l.angle) + ax.y * std::sin(l.angle));
                    fam.step = xf * (ax.x * l.offset.x + ax.y * l.offset.y);
                    const double sc = fam.dir.length();
                    if (sc <= 0)
                        continue;
                    fam.dir = fam.dir / sc;
                    for (double d : l.dashes)
                        fam.dashes.push_back(d * sc);
                    pr.families.push_back(std::move(fam));
                }
            }
            s_.prims.push_back(std::move(pr));
            break;
        }
        case db::ObjectType::region:
            for (const geom::Face& f : static_cast<const db::Region&>(e).geometry().faces) {
                addStroke(st, loopPoints(f.outer.edges), xf, true);
                for (const geom::Loop& hole : f.holes)
                    addStroke(st, loopPoints(hole.edges), xf, true);
            }
            break;
        case db::ObjectType::blockReference: {
            const auto& r = static_cast<const db::BlockReference&>(e);
            const geom::Matrix3d placed = xf * r.blockTransform();
            if (measureOnly_ || pixel_ > 0) {
                const geom::Extents3d box =
                    geom::transformedExtents(blockBox(r.blockTableRecord()), placed);
                if (measureOnly_) {
                    s_.extents.addExtents(box);
                } else if (!box.isEmpty() && box.maxPoint.x - box.minPoint.x < 2 * pixel_ &&
                           box.maxPoint.y - box.minPoint.y < 2 * pixel_) {
                    // What would be drawn inside a pixel or two: the ink of its box.
                    ++s_.boxedReferences;
                    const geom::Point3d& a = box.minPoint;
                    const geom::Point3d& b = box.maxPoint;
                    s_.extents.addExtents(box);
                    Prim pr;
                    pr.kind = Prim::fill;
                    pr.closed = true;
                    pr.style = st;
                    pr.paths.push_back({a, {b.x, a.y, 0}, b, {a.x, b.y, 0}});
                    s_.prims.push_back(std::move(pr));
                } else {
                    block(r.blockTableRecord(), placed, next, depth + 1, false);
                }
            } else {
                block(r.blockTableRecord(), placed, next, depth + 1, false);
            }
            for (db::ObjectId a : r.attributeIds()) {
                db::ObjectPtr<db::Attribute> attr(a, db::OpenMode::forRead);
                if (attr && attr->visible() && !(o_.hiddenOnScreen && o_.hiddenOnScreen(a)))
                    entity(*attr, xf, next, depth, false);
            }
            break;
        }
        case db::ObjectType::solid:
        case db::ObjectType::trace: {
            const auto outline = static_cast<const db::Solid&>(e).outline();
            addFill(st, {outline.begin(), outline.end()}, xf);
            break;
        }
        case db::ObjectType::face: {
            const auto& f = static_cast<const db::Face&>(e);
            for (std::size_t k = 0; k < 4; ++k)
                if (!(f.invisibleEdges() & (1 << k)))
                    addStroke(st, {f.corners()[k], f.corners()[(k + 1) % 4]}, xf);
            break;
        }
        case db::ObjectType::xline:
        case db::ObjectType::ray: {
            // Infinite: drawn far beyond any picture, but only the base point counts for the
            // extents the picture is fitted to.
            const auto& x = static_cast<const db::XLine&>(e);
            constexpr double kFar = 1e7;
            const geom::Point3d base = xf * x.basePoint();
            const geom::Vector3d d = xf * x.direction();
            s_.extents.addPoint(base);
            Prim pr;
            pr.kind = Prim::stroke;
            pr.style = st;
            pr.paths.push_back(
                {e.type() == db::ObjectType::ray ? base : base - d * kFar, base + d * kFar});
            s_.prims.push_back(std::move(pr));
            break;
        }
        case db::ObjectType::dimension: {
            // Drawn by its block, which carries the picture the writing program made.
            const auto& d = static_cast<const db::Dimension&>(e);
            if (!d.blockId().isNull())
                block(d.blockId(), xf * d.pictureTransform(), next, depth + 1, false);
            break;
        }
        case db::ObjectType::leader:
            leader(static_cast<const db::Leader&>(e), st, xf);
            break;
        case db::ObjectType::rawEntity:
            rawEntity(static_cast<const db::RawEntity&>(e), xf, st, next, depth);
            break;
        // Not entities: nothing of a drawing's tables or objects is drawn.
        case db::ObjectType::blockTable:
        case db::ObjectType::layerTable:
        case db::ObjectType::linetypeTable:
        case db::ObjectType::regAppTable:
        case db::ObjectType::textStyleTable:
        case db::ObjectType::blockTableRecord:
        case db::ObjectType::layerTableRecord:
        case db::ObjectType::linetypeTableRecord:
        case db::ObjectType::regAppTableRecord:
        case db::ObjectType::textStyleTableRecord:
        case db::ObjectType::dictionary:
        case db::ObjectType::group:
        case db::ObjectType::sortentsTable:
        case db::ObjectType::rawObject:
            break;
        }
    }

    // A leader's path through its vertices (a spline path as its polygon) and a filled arrowhead
    // at the first vertex. The arrow's size is the dimension style's, which the host does not
    // read: the leader's text height stands in, or a sixth of the first segment.
    void leader(const db::Leader& l, const Style& st, const geom::Matrix3d& xf) {
        const std::vector<geom::Point3d>& v = l.vertices();
        if (v.size() < 2)
            return;
        addStroke(st, v, xf);
        const geom::Vector3d along = v[1] - v[0];
        const double length = along.length();
        if (!l.hasArrowhead() || length <= 0)
            return;
        const double size = std::min(l.textHeight() > 0 ? l.textHeight() : length / 6, length);
        const geom::Vector3d u = along / length;
        const geom::Vector3d side = l.normal().cross(u) * (size / 6);
        const geom::Point3d back = v[0] + u * size;
        addFill(st, {v[0], back + side, back - side}, xf);
    }

    // Kinds the host keeps as tags are drawn from what they carry: a dimension and a table
    // have their picture as a block (dimension blocks are in world coordinates, a table's
    // block sits at the table's insertion point).
    void rawEntity(const db::RawEntity& e, const geom::Matrix3d& xf, Style& st,
                   const Inherited& next, int depth) {
        const std::wstring_view kind = e.dxfName();
        if (kind == L"MULTILEADER") {
            // Its pieces are drawn with the multileader's own colour, linetype and weight.
            for (const auto& piece : multileaderPieces(e))
                shape(*piece, xf, st, next, depth + 1, false);
            return;
        }
        const bool dimension =
            kind == L"DIMENSION" || kind == L"ARC_DIMENSION" || kind == L"LARGE_RADIAL_DIMENSION";
        const bool table = kind == L"ACAD_TABLE";
        if (!dimension && !table)
            return;
        const db::RawTags& tags = e.record().body;
        std::wstring blockName;
        geom::Point3d at;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            double v = 0;
            const std::string_view text = tags.value(i);
            switch (tags.code(i)) {
            case 2:
                if (blockName.empty())
                    blockName = fromUtf8(text);
                break;
            case 10:
            case 20:
            case 30:
                if (table &&
                    std::from_chars(text.data(), text.data() + text.size(), v).ec == std::errc())
                    (tags.code(i) == 10 ? at.x : tags.code(i) == 20 ? at.y : at.z) = v;
                break;
            default:
                break;
            }
        }
        db::ObjectId blockId;
        if (blockName.empty())
            return;
        if (!ok(db_.getBlockId(blockName, blockId))) {
            boxes_.unresolvedNames = true; // a block of that name added later would show
            return;
        }
        block(blockId, xf * geom::Matrix3d::translation(at.asVector()), next, depth + 1, false);
    }

    const db::Database& db_;
    const RenderOptions& o_;
    Scene& s_;
    BlockBoxes& boxes_;
    bool measureOnly_ = false;
    double pixel_ = 0;
    double ltscale_ = 1;
};

} // namespace

Status buildEntityScene(const db::Database& db, const db::Entity& entity,
                        const RenderOptions& options, Scene& out) {
    out = Scene();
    BlockBoxes boxes;
    Builder builder(db, options, out, boxes);
    builder.single(entity);
    return Status::ok;
}

std::wstring plainMText(const std::wstring& s) {
    std::wstring out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const wchar_t c = s[i];
        if (c == L'{' || c == L'}')
            continue;
        if (c != L'\\' || i + 1 >= s.size()) {
            out += c;
            continue;
        }
        const wchar_t k = s[++i];
        switch (k) {
        case L'P':
        case L'X':
            out += L'\n';
            break;
        case L'~':
            out += L' ';
            break;
        case L'\\':
        case L'{':
        case L'}':
            out += k;
            break;
        case L'L':
        case L'l':
        case L'O':
        case L'o':
        case L'K':
        case L'k':
            break;
        case L'S': { // stacked text a^b, a/b, a#b: shown as a/b
            std::size_t e = s.find(L';', i);
            const std::wstring part = s.substr(i + 1, e == std::wstring::npos ? e : e - i - 1);
            for (wchar_t pc : part)
                out += (pc == L'^' || pc == L'#') ? L'/' : pc;
            i = e == std::wstring::npos ? s.size() : e;
            break;
        }
        default: { // \H2.5; \fArial|b0; \C1; \A1; \Q15; \W0.8; \T1.1;
            std::size_t e = s.find(L';', i);
            i = e == std::wstring::npos ? s.size() : e;
            break;
        }
        }
    }
    return out;
}

std::wstring expandPercentCodes(const std::wstring& s) {
    if (s.find(L"%%") == std::wstring::npos)
        return s;
    std::wstring out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'%' || i + 2 >= s.size() || s[i + 1] != L'%') {
            out += s[i];
            continue;
        }
        const wchar_t k = s[i + 2];
        switch (k) {
        case L'd':
        case L'D':
            out += L'\u00B0'; // degree
            break;
        case L'p':
        case L'P':
            out += L'\u00B1'; // plus-minus
            break;
        case L'c':
        case L'C':
            out += L'\u00D8'; // diameter, as the letter the Japanese font has
            break;
        case L'%':
            out += L'%';
            break;
        case L'u':
        case L'U':
        case L'o':
        case L'O':
        case L'k':
        case L'K':
            break; // underline, overline and strike-through switches: not drawn
        default:
            if (i + 4 < s.size() && std::iswdigit(k) && std::iswdigit(s[i + 3]) &&
                std::iswdigit(s[i + 4])) { // %%nnn: the character of that code
                out += static_cast<wchar_t>((k - L'0') * 100 + (s[i + 3] - L'0') * 10 +
                                            (s[i + 4] - L'0'));
                i += 4;
                continue;
            }
            out.append(s, i, 3); // not a code: shown as written
            break;
        }
        i += 2;
    }
    return out;
}

Status buildScene(const db::Database& db, db::ObjectId blockId, const RenderOptions& options,
                  Scene& out) {
    return buildSceneAt(db, blockId, options, 0, out);
}

Status buildSceneAt(const db::Database& db, db::ObjectId blockId, const RenderOptions& options,
                    double unitsPerPixel, Scene& out) {
    out = Scene();
    const bool layout =
        blockId.isNull() || blockId == db.modelSpaceId() || blockId == db.paperSpaceId();
    if (blockId.isNull())
        blockId = db.modelSpaceId();
    {
        db::ObjectPtr<db::BlockTableRecord> b(blockId, db::OpenMode::forRead);
        if (!b)
            return b.status();
    }
    BlockBoxes boxes;
    Builder builder(db, options, out, boxes);
    Inherited top;
    top.linetype = db.continuousLinetypeId();
    geom::Matrix3d xf;
    if (!layout) { // a block definition is drawn about its base point
        db::ObjectPtr<db::BlockTableRecord> b(blockId, db::OpenMode::forRead);
        xf = geom::Matrix3d::translation(geom::Point3d() - b->origin());
    }
    if (unitsPerPixel > 0) {
        builder.setPixelSize(unitsPerPixel);
    } else {
        // The size of a pixel from the picture's extents, found from the blocks' boxes first.
        Scene measured;
        Builder measure(db, options, measured, boxes);
        measure.measureOnly();
        measure.block(blockId, xf, top, 0, !layout);
        const double w = std::max(1, options.width - 2 * options.margin);
        const double h = std::max(1, options.height - 2 * options.margin);
        if (!measured.extents.isEmpty())
            builder.setPixelSize(
                std::max((measured.extents.maxPoint.x - measured.extents.minPoint.x) / w,
                         (measured.extents.maxPoint.y - measured.extents.minPoint.y) / h));
    }
    builder.block(blockId, xf, top, 0, !layout);
    out.pixel = builder.pixelSize();
    out.blocks.assign(boxes.walked.begin(), boxes.walked.end());
    out.unresolvedBlockNames = boxes.unresolvedNames;
    return Status::ok;
}

Status drawOrder(const db::Database& db, db::ObjectId blockId, std::vector<db::ObjectId>& out) {
    db::ObjectPtr<db::BlockTableRecord> b(blockId, db::OpenMode::forRead);
    if (!b)
        return b.status();
    if (!b->sortentsTableId().isNull()) {
        db::ObjectPtr<db::SortentsTable> sort(b->sortentsTableId(), db::OpenMode::forRead);
        if (sort) {
            out = sort->drawOrder();
            return Status::ok;
        }
    }
    out = b->entityIds();
    return Status::ok;
}

Status collectModelEntities(const db::Database& db, const std::vector<db::ObjectId>& ids,
                            const RenderOptions& options, double unitsPerPixel, Scene& out) {
    out = Scene();
    BlockBoxes boxes;
    Builder builder(db, options, out, boxes);
    builder.setPixelSize(unitsPerPixel);
    Inherited top;
    top.linetype = db.continuousLinetypeId();
    for (db::ObjectId id : ids)
        builder.topEntity(id, geom::Matrix3d(), top, false);
    out.pixel = unitsPerPixel;
    out.blocks.assign(boxes.walked.begin(), boxes.walked.end());
    out.unresolvedBlockNames = boxes.unresolvedNames;
    return Status::ok;
}

} // namespace zhost::preview
