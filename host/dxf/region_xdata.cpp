#include "region_xdata.h"

#include "reader.h"

#include "zhost/core/utf.h"

namespace zhost::dxf {

namespace {

constexpr int kFormat = 1;
enum EdgeType { line = 1, arc, circle, ellipse, polyline, spline };

geom::Point3d asPoint(const geom::Vector3d& v) {
    return {v.x, v.y, v.z};
}

struct Encoder {
    db::XData& x;
    void count(std::size_t n) { x.emplace_back(db::xcode::int32, std::int32_t(n)); }
    void small(int v) { x.emplace_back(db::xcode::int16, std::int32_t(v)); }
    void real(double v) { x.emplace_back(db::xcode::real, v); }
    void point(const geom::Point3d& p) { x.emplace_back(db::xcode::point, p); }

    void edge(const geom::Curve& c) {
        std::visit([&](const auto& e) { put(e); }, c);
    }
    void put(const geom::LineSeg& e) {
        small(line);
        point(e.start);
        point(e.end);
    }
    void put(const geom::CircArc& e) {
        small(arc);
        point(e.center);
        real(e.radius);
        real(e.startAngle);
        real(e.endAngle);
        point(asPoint(e.normal));
    }
    void put(const geom::Circle& e) {
        small(circle);
        point(e.center);
        real(e.radius);
        point(asPoint(e.normal));
    }
    void put(const geom::EllipseArc& e) {
        small(ellipse);
        point(e.center);
        point(asPoint(e.majorAxis));
        real(e.radiusRatio);
        real(e.startParam);
        real(e.endParam);
        point(asPoint(e.normal));
    }
    void put(const geom::Polyline& e) {
        small(polyline);
        small(e.closed ? 1 : 0);
        point(asPoint(e.normal));
        count(e.points.size());
        for (std::size_t i = 0; i < e.points.size(); ++i) {
            point(e.points[i]);
            real(i < e.bulges.size() ? e.bulges[i] : 0);
        }
    }
    void put(const geom::Spline& e) {
        small(spline);
        small(e.degree);
        small((e.closed ? 1 : 0) | (e.periodic ? 2 : 0));
        count(e.knots.size());
        for (double k : e.knots)
            real(k);
        count(e.controlPoints.size());
        for (const auto& p : e.controlPoints)
            point(p);
        count(e.weights.size());
        for (double w : e.weights)
            real(w);
        count(e.fitPoints.size());
        for (const auto& p : e.fitPoints)
            point(p);
    }
    void loop(const geom::Loop& l) {
        count(l.edges.size());
        for (const auto& e : l.edges)
            edge(e);
    }
};

class Decoder {
public:
    explicit Decoder(const db::XData& x) : x_(x) {}
    bool good() const { return good_; }

    const db::ResBuf* take(int code) {
        if (!good_ || k_ >= x_.size() || x_[k_].code != code) {
            good_ = false;
            return nullptr;
        }
        return &x_[k_++];
    }
    int small() {
        auto* r = take(db::xcode::int16);
        return r ? r->integer() : 0;
    }
    // Counts are bounded by what is left in the chain, so a corrupt count cannot make us loop
    // or allocate without end.
    std::size_t count() {
        auto* r = take(db::xcode::int32);
        const long v = r ? r->integer() : 0;
        if (v < 0 || std::size_t(v) > x_.size()) {
            good_ = false;
            return 0;
        }
        return std::size_t(v);
    }
    double real() {
        auto* r = take(db::xcode::real);
        return r ? r->real() : 0;
    }
    geom::Point3d point() {
        auto* r = take(db::xcode::point);
        return r ? r->point() : geom::Point3d();
    }
    geom::Vector3d vec() { return point().asVector(); }

    bool edge(geom::Curve& out) {
        switch (small()) {
        case line: {
            geom::LineSeg e;
            e.start = point();
            e.end = point();
            out = e;
            break;
        }
        case arc: {
            geom::CircArc e;
            e.center = point();
            e.radius = real();
            e.startAngle = real();
            e.endAngle = real();
            e.normal = vec();
            out = e;
            break;
        }
        case circle: {
            geom::Circle e;
            e.center = point();
            e.radius = real();
            e.normal = vec();
            out = e;
            break;
        }
        case ellipse: {
            geom::EllipseArc e;
            e.center = point();
            e.majorAxis = vec();
            e.radiusRatio = real();
            e.startParam = real();
            e.endParam = real();
            e.normal = vec();
            out = e;
            break;
        }
        case polyline: {
            geom::Polyline e;
            e.closed = small() != 0;
            e.normal = vec();
            const std::size_t n = count();
            for (std::size_t i = 0; i < n && good_; ++i) {
                e.points.push_back(point());
                e.bulges.push_back(real());
            }
            out = std::move(e);
            break;
        }
        case spline: {
            geom::Spline e;
            e.degree = small();
            const int flags = small();
            e.closed = flags & 1;
            e.periodic = (flags & 2) != 0;
            std::size_t n = count();
            for (std::size_t i = 0; i < n && good_; ++i)
                e.knots.push_back(real());
            n = count();
            for (std::size_t i = 0; i < n && good_; ++i)
                e.controlPoints.push_back(point());
            n = count();
            for (std::size_t i = 0; i < n && good_; ++i)
                e.weights.push_back(real());
            n = count();
            for (std::size_t i = 0; i < n && good_; ++i)
                e.fitPoints.push_back(point());
            out = std::move(e);
            break;
        }
        default:
            good_ = false;
        }
        return good_;
    }
    bool loop(geom::Loop& l) {
        const std::size_t n = count();
        for (std::size_t i = 0; i < n && good_; ++i) {
            geom::Curve c;
            if (edge(c))
                l.edges.push_back(std::move(c));
        }
        return good_;
    }
    std::size_t k_ = 1; // after the 1001 item

private:
    const db::XData& x_;
    bool good_ = true;
};

} // namespace

db::XData encodeRegion(const geom::Region& region) {
    db::XData x;
    x.emplace_back(db::xcode::appName, std::wstring(kRegionApp));
    Encoder e{x};
    e.small(kFormat);
    e.point(asPoint(region.normal));
    e.count(region.faces.size());
    for (const geom::Face& f : region.faces) {
        e.loop(f.outer);
        e.count(f.holes.size());
        for (const geom::Loop& h : f.holes)
            e.loop(h);
    }
    return x;
}

bool decodeRegion(const db::XData& chain, geom::Region& out) {
    if (chain.empty() || chain[0].code != db::xcode::appName ||
        !equalsNoCase(chain[0].str(), kRegionApp))
        return false;
    Decoder d(chain);
    if (d.small() != kFormat)
        return false;
    geom::Region r;
    r.normal = d.vec();
    const std::size_t faces = d.count();
    for (std::size_t i = 0; i < faces && d.good(); ++i) {
        geom::Face f;
        d.loop(f.outer);
        const std::size_t holes = d.count();
        for (std::size_t h = 0; h < holes && d.good(); ++h) {
            geom::Loop l;
            if (d.loop(l))
                f.holes.push_back(std::move(l));
        }
        r.faces.push_back(std::move(f));
    }
    if (!d.good())
        return false;
    out = std::move(r);
    return true;
}

std::unique_ptr<db::Entity> buildRegion(Reader& r, std::span<const Tag>, std::uint32_t line,
                                        db::XData& xdata) {
    db::XData rest;
    geom::Region region;
    bool found = false;
    for (db::XData& app : db::splitByApplication(xdata)) {
        if (!app.empty() && equalsNoCase(app[0].str(), kRegionApp)) {
            found = decodeRegion(app, region);
            continue;
        }
        rest.insert(rest.end(), app.begin(), app.end());
    }
    xdata = std::move(rest);
    if (!found) {
        r.warn(line, L"a region without our shape data (ACIS data is not read) is skipped");
        return nullptr;
    }
    auto e = std::make_unique<db::Region>();
    if (!ok(e->set(region))) {
        r.warn(line, L"an invalid region is skipped");
        return nullptr;
    }
    return e;
}

} // namespace zhost::dxf
