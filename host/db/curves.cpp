#include "database_impl.h"
#include "geom_util.h"

#include "zhost/db/curves.h"
#include "zhost/db/dump.h"

#include <cmath>

namespace zhost::db {

using geom::Point3d;
using geom::Vector3d;

namespace {
bool finite(const Point3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}
bool validNormal(const Vector3d& n) {
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) && !n.isZeroLength();
}
} // namespace

std::unique_ptr<Curve> makeCurveEntity(const geom::Curve& c) {
    std::unique_ptr<Curve> out;
    switch (c.index()) {
    case 0:
        out = std::make_unique<Line>();
        break;
    case 1:
        out = std::make_unique<Arc>();
        break;
    case 2:
        out = std::make_unique<Circle>();
        break;
    case 3:
        out = std::make_unique<Ellipse>();
        break;
    case 4:
        out = std::make_unique<Polyline>();
        break;
    default:
        out = std::make_unique<Spline>();
        break;
    }
    if (!ok(out->setFromCurve(c)))
        return nullptr;
    return out;
}

// --- Line ----------------------------------------------------------------------------------------

Status Line::setStartPoint(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    return writeField(start_, p);
}

Status Line::setEndPoint(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    return writeField(end_, p);
}

Status Line::setNormal(const Vector3d& n) {
    if (!validNormal(n))
        return Status::invalidInput;
    return writeField(normal_, n.normal());
}

geom::Curve Line::toCurve() const {
    return geom::LineSeg{start_, end_};
}

Status Line::setFromCurve(const geom::Curve& c) {
    const auto* g = std::get_if<geom::LineSeg>(&c);
    if (!g)
        return Status::wrongObjectType;
    if (!finite(g->start) || !finite(g->end))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        start_ = g->start;
        end_ = g->end;
    }
    return s;
}

Status Line::transformBy(const geom::Matrix3d& m) {
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    start_ = m * start_;
    end_ = m * end_;
    const Vector3d n = (m * normal_).normal();
    if (!n.isZeroLength())
        normal_ = n;
    return Status::ok;
}

void Line::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"start", start_);
    out.field(L"end", end_);
    out.field(L"normal", normal_);
}

// --- Arc -----------------------------------------------------------------------------------------

Arc::Arc(const Point3d& center, double radius, double startAngle, double endAngle,
         const Vector3d& normal)
    : center_(center), radius_(radius), startAngle_(gu::normalizeAngle(startAngle)),
      endAngle_(gu::normalizeAngle(endAngle)), normal_(normal.normal()) {}

Status Arc::setCenter(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    return writeField(center_, p);
}

Status Arc::setRadius(double r) {
    if (!(r > 0) || !std::isfinite(r))
        return Status::invalidInput;
    return writeField(radius_, r);
}

Status Arc::setStartAngle(double a) {
    if (!std::isfinite(a))
        return Status::invalidInput;
    return writeField(startAngle_, gu::normalizeAngle(a));
}

Status Arc::setEndAngle(double a) {
    if (!std::isfinite(a))
        return Status::invalidInput;
    return writeField(endAngle_, gu::normalizeAngle(a));
}

Status Arc::setNormal(const Vector3d& n) {
    if (!validNormal(n))
        return Status::invalidInput;
    return writeField(normal_, n.normal());
}

Point3d Arc::startPoint() const {
    return gu::pointAtAngle(center_, radius_, startAngle_, normal_);
}
Point3d Arc::endPoint() const {
    return gu::pointAtAngle(center_, radius_, endAngle_, normal_);
}

geom::Curve Arc::toCurve() const {
    return geom::CircArc{center_, radius_, startAngle_, endAngle_, normal_};
}

Status Arc::setFromCurve(const geom::Curve& c) {
    const auto* g = std::get_if<geom::CircArc>(&c);
    if (!g)
        return Status::wrongObjectType;
    if (!(g->radius > 0) || !finite(g->center) || !validNormal(g->normal))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        center_ = g->center;
        radius_ = g->radius;
        startAngle_ = gu::normalizeAngle(g->startAngle);
        endAngle_ = gu::normalizeAngle(g->endAngle);
        normal_ = g->normal.normal();
    }
    return s;
}

Status Arc::transformBy(const geom::Matrix3d& m) {
    geom::CircArc a{center_, radius_, startAngle_, endAngle_, normal_};
    Status s = gu::transformArc(a, m);
    if (!ok(s))
        return s;
    s = assertWriteEnabled();
    if (!ok(s))
        return s;
    center_ = a.center;
    radius_ = a.radius;
    startAngle_ = a.startAngle;
    endAngle_ = a.endAngle;
    normal_ = a.normal;
    return Status::ok;
}

void Arc::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"center", center_);
    out.field(L"radius", radius_);
    out.field(L"start", startAngle_);
    out.field(L"end", endAngle_);
    out.field(L"normal", normal_);
}

// --- Circle --------------------------------------------------------------------------------------

Status Circle::setCenter(const Point3d& p) {
    if (!finite(p))
        return Status::invalidInput;
    return writeField(center_, p);
}

Status Circle::setRadius(double r) {
    if (!(r > 0) || !std::isfinite(r))
        return Status::invalidInput;
    return writeField(radius_, r);
}

Status Circle::setNormal(const Vector3d& n) {
    if (!validNormal(n))
        return Status::invalidInput;
    return writeField(normal_, n.normal());
}

Point3d Circle::startPoint() const {
    return gu::pointAtAngle(center_, radius_, 0, normal_);
}

geom::Curve Circle::toCurve() const {
    return geom::Circle{center_, radius_, normal_};
}

Status Circle::setFromCurve(const geom::Curve& c) {
    const auto* g = std::get_if<geom::Circle>(&c);
    if (!g)
        return Status::wrongObjectType;
    if (!(g->radius > 0) || !finite(g->center) || !validNormal(g->normal))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        center_ = g->center;
        radius_ = g->radius;
        normal_ = g->normal.normal();
    }
    return s;
}

Status Circle::transformBy(const geom::Matrix3d& m) {
    geom::Circle c{center_, radius_, normal_};
    Status s = gu::transformCircle(c, m);
    if (!ok(s))
        return s;
    s = assertWriteEnabled();
    if (ok(s)) {
        center_ = c.center;
        radius_ = c.radius;
        normal_ = c.normal;
    }
    return s;
}

void Circle::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"center", center_);
    out.field(L"radius", radius_);
    out.field(L"normal", normal_);
}

// --- Ellipse -------------------------------------------------------------------------------------

namespace {
Point3d ellipsePoint(const geom::EllipseArc& e, double t) {
    const Vector3d minor = e.normal.normal().cross(e.majorAxis) * e.radiusRatio;
    return e.center + e.majorAxis * std::cos(t) + minor * std::sin(t);
}
} // namespace

Status Ellipse::set(const geom::EllipseArc& e) {
    if (!(e.radiusRatio > 0 && e.radiusRatio <= 1) || e.majorAxis.isZeroLength() ||
        !validNormal(e.normal) || !e.majorAxis.isPerpendicularTo(e.normal, geom::Tol{1e-6, 1e-6}))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        e_ = e;
        e_.normal = e.normal.normal();
    }
    return s;
}

Point3d Ellipse::startPoint() const {
    return ellipsePoint(e_, e_.startParam);
}
Point3d Ellipse::endPoint() const {
    return ellipsePoint(e_, e_.endParam);
}
bool Ellipse::isClosed() const {
    return std::abs(e_.endParam - e_.startParam - gu::kTwoPi) < 1e-10;
}

Status Ellipse::setFromCurve(const geom::Curve& c) {
    const auto* g = std::get_if<geom::EllipseArc>(&c);
    return g ? set(*g) : Status::wrongObjectType;
}

Status Ellipse::transformBy(const geom::Matrix3d& m) {
    geom::EllipseArc e = e_;
    Status s = gu::transformEllipse(e, m);
    if (!ok(s))
        return s;
    s = assertWriteEnabled();
    if (ok(s))
        e_ = e;
    return s;
}

void Ellipse::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"ellipse", toCurve());
}

// --- Polyline ------------------------------------------------------------------------------------

Status Polyline::set(const geom::Polyline& p) {
    for (const Point3d& q : p.points)
        if (!finite(q))
            return Status::invalidInput;
    if (!validNormal(p.normal))
        return Status::invalidInput;
    if (form_ == PolylineForm::space)
        for (double b : p.bulges)
            if (b != 0)
                return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        p_ = p;
        p_.bulges.resize(p_.points.size(), 0.0);
        p_.normal = p.normal.normal();
        if (!widths_.empty())
            widths_.resize(p_.points.size(), {width_, width_});
    }
    return s;
}

Status Polyline::setPointAt(int i, const Point3d& p) {
    if (i < 0 || i >= numVerts())
        return Status::outOfRange;
    if (!finite(p))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s))
        p_.points[std::size_t(i)] = p;
    return s;
}

Status Polyline::setBulgeAt(int i, double b) {
    if (i < 0 || i >= numVerts())
        return Status::outOfRange;
    if (!std::isfinite(b) || (form_ == PolylineForm::space && b != 0))
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s))
        p_.bulges[std::size_t(i)] = b;
    return s;
}

Status Polyline::addVertex(const Point3d& p, double bulge) {
    if (!finite(p) || !std::isfinite(bulge))
        return Status::invalidInput;
    if (form_ == PolylineForm::space && bulge != 0)
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (ok(s)) {
        p_.points.push_back(p);
        p_.bulges.push_back(bulge);
        if (!widths_.empty())
            widths_.emplace_back(width_, width_);
    }
    return s;
}

Status Polyline::setClosed(bool closed) {
    Status s = assertWriteEnabled();
    if (ok(s))
        p_.closed = closed;
    return s;
}

Status Polyline::setConstantWidth(double w) {
    if (!(w >= 0) || !std::isfinite(w) || (w != 0 && form_ == PolylineForm::space))
        return Status::invalidInput;
    return writeField(width_, w);
}

double Polyline::startWidthAt(int i) const {
    return widths_.empty() ? width_ : widths_.at(std::size_t(i)).first;
}

double Polyline::endWidthAt(int i) const {
    return widths_.empty() ? width_ : widths_.at(std::size_t(i)).second;
}

Status Polyline::setWidthsAt(int i, double startWidth, double endWidth) {
    if (i < 0 || i >= numVerts())
        return Status::outOfRange;
    if (!(startWidth >= 0) || !(endWidth >= 0) || !std::isfinite(startWidth) ||
        !std::isfinite(endWidth) || form_ == PolylineForm::space)
        return Status::invalidInput;
    Status s = assertWriteEnabled();
    if (!ok(s))
        return s;
    if (widths_.empty())
        widths_.assign(p_.points.size(), {width_, width_});
    widths_[std::size_t(i)] = {startWidth, endWidth};
    return Status::ok;
}

Status Polyline::clearVertexWidths() {
    return writeField(widths_, std::vector<std::pair<double, double>>());
}

Status Polyline::setForm(PolylineForm form) {
    if (form == PolylineForm::space) {
        if (!widths_.empty() || width_ != 0 || thickness() != 0)
            return Status::invalidInput;
        for (double b : p_.bulges)
            if (b != 0)
                return Status::invalidInput;
    }
    return writeField(form_, form);
}

double Polyline::elevation() const {
    return p_.points.empty() ? 0 : p_.points.front().asVector().dot(p_.normal);
}

Point3d Polyline::startPoint() const {
    return p_.points.empty() ? Point3d() : p_.points.front();
}
Point3d Polyline::endPoint() const {
    if (p_.points.empty())
        return {};
    return p_.closed ? p_.points.front() : p_.points.back();
}

Status Polyline::setFromCurve(const geom::Curve& c) {
    const auto* g = std::get_if<geom::Polyline>(&c);
    return g ? set(*g) : Status::wrongObjectType;
}

Status Polyline::transformBy(const geom::Matrix3d& m) {
    geom::Polyline p = p_;
    Status s = gu::transformPolyline(p, m);
    if (!ok(s))
        return s;
    s = assertWriteEnabled();
    if (ok(s)) {
        double sc;
        if (gu::similarityScale(m, sc)) {
            width_ *= sc;
            for (auto& [a, b] : widths_) {
                a *= sc;
                b *= sc;
            }
        }
        p_ = std::move(p);
    }
    return s;
}

Status Polyline::explode(std::vector<std::unique_ptr<Entity>>& out) const {
    const std::size_t n = p_.points.size();
    const std::size_t segs = p_.closed ? n : (n ? n - 1 : 0);
    for (std::size_t i = 0; i < segs; ++i) {
        const Point3d a = p_.points[i], b = p_.points[(i + 1) % n];
        if (a.isEqualTo(b))
            continue;
        std::unique_ptr<Curve> piece;
        geom::CircArc arc;
        if (gu::bulgeArc(a, b, p_.bulges[i], p_.normal, arc))
            piece = std::make_unique<Arc>(arc.center, arc.radius, arc.startAngle, arc.endAngle,
                                          arc.normal);
        else
            piece = std::make_unique<Line>(a, b);
        piece->setPropertiesFrom(*this);
        piece->setThickness(thickness()); // lines and arcs extrude like the polyline did
        out.push_back(std::move(piece));
    }
    return Status::ok;
}

void Polyline::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"polyline", toCurve());
    out.field(L"width", width_);
    out.field(L"form", int(form_));
    for (const auto& [a, b] : widths_) {
        out.field(L"startwidth", a);
        out.field(L"endwidth", b);
    }
}

// --- Spline --------------------------------------------------------------------------------------

Status Spline::set(const geom::Spline& sp) {
    if (sp.degree < 1 || sp.controlPoints.size() < std::size_t(sp.degree) + 1 ||
        sp.knots.size() != sp.controlPoints.size() + std::size_t(sp.degree) + 1 ||
        (!sp.weights.empty() && sp.weights.size() != sp.controlPoints.size()))
        return Status::invalidInput;
    for (std::size_t i = 1; i < sp.knots.size(); ++i)
        if (sp.knots[i] < sp.knots[i - 1])
            return Status::invalidInput;
    return writeField(s_, sp);
}

Point3d Spline::startPoint() const {
    return s_.controlPoints.empty() ? Point3d() : s_.controlPoints.front();
}
Point3d Spline::endPoint() const {
    return s_.controlPoints.empty() ? Point3d() : s_.controlPoints.back();
}
bool Spline::isClosed() const {
    return s_.closed || s_.periodic ||
           (!s_.controlPoints.empty() && startPoint().isEqualTo(endPoint()));
}

Status Spline::setFromCurve(const geom::Curve& c) {
    const auto* g = std::get_if<geom::Spline>(&c);
    return g ? set(*g) : Status::wrongObjectType;
}

Status Spline::transformBy(const geom::Matrix3d& m) {
    Status s = assertWriteEnabled();
    if (ok(s))
        gu::transformSpline(s_, m);
    return s;
}

void Spline::dumpFields(DumpWriter& out) const {
    Entity::dumpFields(out);
    out.field(L"spline", toCurve());
}

} // namespace zhost::db
