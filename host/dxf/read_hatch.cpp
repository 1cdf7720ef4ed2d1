// HATCH: the boundary loops (polyline loops and edge loops of lines, arcs, elliptic arcs and
// splines) and the pattern. Edge data is in the object coordinate system at the hatch's
// elevation.
#include "ocs.h"
#include "reader.h"

#include <cmath>
#include <optional>

namespace zhost::dxf {

namespace {

class HatchParser {
public:
    HatchParser(Reader& r, std::span<const Tag> t, std::uint32_t line)
        : r_(r), t_(t), line_(line) {}

    std::unique_ptr<db::Entity> run() {
        auto h = std::make_unique<db::Hatch>();
        std::wstring pattern = L"SOLID";
        int patternType = 1;
        double angle = 0, scale = 1;
        bool solid = true;
        geom::Vector3d n{0, 0, 1};
        std::optional<db::HatchGradient> gradient;
        int aci = -1;
        while (k_ < t_.size()) {
            const Tag& t = t_[k_++];
            switch (t.code) {
            case 30:
                elevation_ = t.real();
                break;
            case 210:
                n.x = t.real();
                break;
            case 220:
                n.y = t.real();
                break;
            case 230:
                n.z = t.real();
                break;
            case 2:
                pattern = r_.text(t);
                break;
            case 70:
                solid = t.integer() != 0;
                break;
            case 71:
                h->setAssociative(t.integer() != 0);
                break;
            case 91:
                n = n.isZeroLength() ? geom::Vector3d{0, 0, 1} : n.normal();
                ocs_ = Ocs(n);
                if (!readLoops(*h, t.i32()))
                    return nullptr;
                break;
            case 76:
                patternType = t.i32();
                break;
            case 52:
                angle = t.real();
                break;
            case 41:
                if (t.real() > 0)
                    scale = t.real();
                break;
            case 78:
                h->setPatternLines(patternLines(t.i32()));
                break;
            case 450:
                if (t.integer() == 1)
                    gradient.emplace();
                break;
            case 452:
                if (gradient)
                    gradient->oneColor = t.integer() != 0;
                break;
            case 460:
                if (gradient)
                    gradient->angle = t.real();
                break;
            case 461:
                if (gradient)
                    gradient->shift = t.real();
                break;
            case 462:
                if (gradient)
                    gradient->tint = t.real();
                break;
            case 63:
                aci = t.i32();
                break;
            case 421: // a gradient colour, after its index colour when the file gives one
                if (gradient && gradient->colors.size() < 2)
                    gradient->colors.push_back({std::uint32_t(t.integer()) & 0xFFFFFFu,
                                                aci >= 0 && aci <= 256 ? aci : -1});
                aci = -1;
                break;
            case 470:
                if (gradient)
                    gradient->name = r_.text(t);
                break;
            default:
                break; // style, seeds, reserved gradient values
            }
        }
        if (gradient && !ok(h->setGradient(gradient))) {
            r_.warn(line_, L"a gradient without colours is read as a solid fill");
        }
        if (solid)
            pattern = L"SOLID";
        h->setPattern(patternType >= 0 && patternType <= 2 ? db::HatchPatternType(patternType)
                                                           : db::HatchPatternType::predefined,
                      pattern);
        h->setPatternAngle(toRadians(angle));
        h->setPatternScale(scale);
        h->setElevation(elevation_);
        h->setNormal(ocs_.az);
        return h;
    }

private:
    bool more() const { return k_ < t_.size(); }
    const Tag& peek() const { return t_[k_]; }
    // The value of the next tag when it has the code, else the fallback (the tag is not taken).
    double real(int code, double fallback = 0) {
        if (more() && peek().code == code)
            return t_[k_++].real();
        return fallback;
    }
    int integer(int code, int fallback = 0) {
        if (more() && peek().code == code)
            return t_[k_++].i32();
        return fallback;
    }
    geom::Point3d point2(int code) {
        const double x = real(code);
        const double y = real(code + 10);
        return ocs_.toWorld({x, y, elevation_});
    }
    geom::Vector3d vector2(int code) {
        const double x = real(code);
        const double y = real(code + 10);
        return ocs_.dirToWorld({x, y, 0});
    }

    // The pattern's line families after their count (78): angle (53), base point (43, 44),
    // offset (45, 46), dash count (79) and dashes (49). A family cut short ends the list.
    std::vector<db::HatchPatternLine> patternLines(int count) {
        std::vector<db::HatchPatternLine> out;
        for (int i = 0; i < count && more() && peek().code == 53; ++i) {
            db::HatchPatternLine l;
            l.angle = toRadians(real(53));
            l.base.x = real(43);
            l.base.y = real(44);
            l.offset.x = real(45);
            l.offset.y = real(46);
            const int dashes = integer(79);
            for (int d = 0; d < dashes && more() && peek().code == 49; ++d)
                l.dashes.push_back(real(49));
            out.push_back(std::move(l));
        }
        if (int(out.size()) < count)
            r_.warn(line_, L"a hatch pattern has fewer line families than it says; " +
                               std::to_wstring(out.size()) + L" kept");
        return out;
    }

    bool readLoops(db::Hatch& h, int count) {
        if (count < 0)
            count = 0;
        for (int l = 0; l < count && more(); ++l) {
            if (peek().code != 92) {
                r_.warn(peek().line, L"hatch boundary data out of order; the rest is skipped");
                break;
            }
            db::HatchLoop loop;
            loop.flags = t_[k_++].i32();
            const bool polyline = (loop.flags & db::HatchLoop::polyline) != 0;
            // The polyline bit follows from the edges; the writer sets it again.
            loop.flags &= ~db::HatchLoop::polyline;
            const bool ok = polyline ? polylineLoop(loop) : edgeLoop(loop);
            if (!ok)
                return false;
            // Source boundary objects: associativity is not kept.
            const int sources = integer(97);
            for (int s = 0; s < sources && more() && peek().code == 330; ++s)
                ++k_;
            if (!loop.edges.empty())
                h.appendLoop(loop);
        }
        return true;
    }

    bool polylineLoop(db::HatchLoop& loop) {
        const bool hasBulge = integer(72) != 0;
        geom::Polyline pl;
        pl.closed = integer(73) != 0;
        const int n = integer(93);
        for (int v = 0; v < n && more() && peek().code == 10; ++v) {
            pl.points.push_back(point2(10));
            pl.bulges.push_back(hasBulge ? real(42) : 0);
        }
        pl.closed = true; // a boundary is closed whatever the flag says
        pl.normal = ocs_.az;
        if (pl.points.size() >= 2)
            loop.edges.emplace_back(std::move(pl));
        return true;
    }

    bool edgeLoop(db::HatchLoop& loop) {
        const int n = integer(93);
        for (int e = 0; e < n && more() && peek().code == 72; ++e) {
            const int type = t_[k_++].i32();
            switch (type) {
            case 1: {
                geom::LineSeg s;
                s.start = point2(10);
                s.end = point2(11);
                loop.edges.emplace_back(s);
                break;
            }
            case 2: {
                geom::CircArc a;
                a.center = point2(10);
                a.radius = real(40);
                const double s = real(50), en = real(51);
                const bool ccw = integer(73, 1) != 0;
                // Clockwise edges store their angles mirrored (360 - angle); such an arc runs
                // counter-clockwise about the reversed normal, where a world angle w reads
                // 180 - w.
                if (ccw) {
                    a.normal = ocs_.az;
                    a.startAngle = toRadians(s);
                    a.endAngle = toRadians(en);
                } else {
                    a.normal = -ocs_.az;
                    a.startAngle = toRadians(s - 180);
                    a.endAngle = toRadians(en - 180);
                }
                if (ccw && s == 0 && en == 360)
                    loop.edges.emplace_back(geom::Circle{a.center, a.radius, a.normal});
                else if (a.radius > 0)
                    loop.edges.emplace_back(a);
                break;
            }
            case 3: {
                geom::EllipseArc el;
                el.center = point2(10);
                el.majorAxis = vector2(11);
                el.radiusRatio = real(40);
                const double s = real(50), en = real(51);
                const bool ccw = integer(73, 1) != 0;
                el.normal = ccw ? ocs_.az : -ocs_.az;
                // Clockwise edges store mirrored parameters (360 - p), which are the parameters
                // about the reversed normal: either way the stored values are taken as they are.
                el.startParam = toRadians(s);
                el.endParam = toRadians(en);
                if (el.radiusRatio > 0 && !el.majorAxis.isZeroLength())
                    loop.edges.emplace_back(el);
                break;
            }
            case 4:
                if (!splineEdge(loop))
                    return false;
                break;
            default:
                r_.warn(line_, L"unknown hatch edge type " + std::to_wstring(type));
                return false;
            }
        }
        return true;
    }

    bool splineEdge(db::HatchLoop& loop) {
        geom::Spline s;
        s.degree = integer(94, 3);
        integer(73); // rational: follows from the weights
        s.periodic = integer(74) != 0;
        const int knots = integer(95), controls = integer(96);
        for (int i = 0; i < knots && more() && peek().code == 40; ++i)
            s.knots.push_back(real(40));
        for (int i = 0; i < controls && more() && peek().code == 10; ++i) {
            s.controlPoints.push_back(point2(10));
            if (more() && peek().code == 42)
                s.weights.push_back(real(42));
        }
        if (more() && peek().code == 97) {
            const int fit = integer(97);
            for (int i = 0; i < fit && more() && peek().code == 11; ++i)
                s.fitPoints.push_back(point2(11));
            if (more() && peek().code == 12)
                point2(12);
            if (more() && peek().code == 13)
                point2(13);
        }
        if (!s.weights.empty() && s.weights.size() != s.controlPoints.size())
            s.weights.clear();
        if (!s.controlPoints.empty() && s.degree >= 1 && s.degree <= 25 &&
            s.knots.size() == s.controlPoints.size() + std::size_t(s.degree) + 1)
            loop.edges.emplace_back(std::move(s));
        else
            r_.warn(line_, L"a hatch spline edge with inconsistent data is dropped");
        return true;
    }

    Reader& r_;
    std::span<const Tag> t_;
    std::uint32_t line_;
    std::size_t k_ = 0;
    double elevation_ = 0;
    Ocs ocs_;
};

} // namespace

std::unique_ptr<db::Entity> buildHatch(Reader& r, std::span<const Tag> t, std::uint32_t line) {
    return HatchParser(r, t, line).run();
}

} // namespace zhost::dxf
