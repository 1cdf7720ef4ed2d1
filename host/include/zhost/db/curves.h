#pragma once
// Curve entities. Each converts to and from the plain geom::Curve value, which the geometry
// kernel computes with (intersections, splitting, offsets, regions).
#include "zhost/db/entity.h"
#include "zhost/geom/curve.h"

namespace zhost::db {

class Curve : public Entity {
public:
    virtual geom::Curve toCurve() const = 0;
    // Takes the geometry of a curve value of the matching kind; wrongObjectType for another kind
    // (a Line takes only a LineSeg, a Polyline only a Polyline, ...), invalidInput for bad data.
    virtual Status setFromCurve(const geom::Curve& c) = 0;
    virtual geom::Point3d startPoint() const = 0;
    virtual geom::Point3d endPoint() const = 0;
    virtual bool isClosed() const = 0;

protected:
    Curve() = default;
};

// A new curve entity of the kind that fits the value (LineSeg → Line, CircArc → Arc, Circle →
// Circle, EllipseArc → Ellipse, Polyline → Polyline, Spline → Spline), outside any database.
std::unique_ptr<Curve> makeCurveEntity(const geom::Curve& c);

class Line : public Curve {
    ZHOST_DB_OBJECT_COPY(Line)
    Line() = default;
    Line(const geom::Point3d& start, const geom::Point3d& end) : start_(start), end_(end) {}

    ObjectType type() const override { return ObjectType::line; }
    const wchar_t* dxfName() const override { return L"LINE"; }

    geom::Point3d startPoint() const override { return start_; }
    geom::Point3d endPoint() const override { return end_; }
    Status setStartPoint(const geom::Point3d& p);
    Status setEndPoint(const geom::Point3d& p);
    bool isClosed() const override { return false; }
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);

    geom::Curve toCurve() const override;
    Status setFromCurve(const geom::Curve& c) override;
    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Point3d start_, end_;
    geom::Vector3d normal_{0, 0, 1};
};

// An arc: centre, radius, normal and angles (radians, in the arbitrary-axis system of the normal),
// running counter-clockwise from start to end.
class Arc : public Curve {
    ZHOST_DB_OBJECT_COPY(Arc)
    Arc() = default;
    Arc(const geom::Point3d& center, double radius, double startAngle, double endAngle,
        const geom::Vector3d& normal = {0, 0, 1});

    ObjectType type() const override { return ObjectType::arc; }
    const wchar_t* dxfName() const override { return L"ARC"; }

    geom::Point3d center() const { return center_; }
    double radius() const { return radius_; }
    double startAngle() const { return startAngle_; }
    double endAngle() const { return endAngle_; }
    geom::Vector3d normal() const { return normal_; }
    Status setCenter(const geom::Point3d& c);
    Status setRadius(double r); // > 0
    Status setStartAngle(double a);
    Status setEndAngle(double a);
    Status setNormal(const geom::Vector3d& n);

    geom::Point3d startPoint() const override;
    geom::Point3d endPoint() const override;
    bool isClosed() const override { return false; }
    geom::Curve toCurve() const override;
    Status setFromCurve(const geom::Curve& c) override;
    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Point3d center_;
    double radius_ = 1, startAngle_ = 0, endAngle_ = 0;
    geom::Vector3d normal_{0, 0, 1};
};

class Circle : public Curve {
    ZHOST_DB_OBJECT_COPY(Circle)
    Circle() = default;
    Circle(const geom::Point3d& center, double radius, const geom::Vector3d& normal = {0, 0, 1})
        : center_(center), radius_(radius), normal_(normal) {}

    ObjectType type() const override { return ObjectType::circle; }
    const wchar_t* dxfName() const override { return L"CIRCLE"; }

    geom::Point3d center() const { return center_; }
    double radius() const { return radius_; }
    geom::Vector3d normal() const { return normal_; }
    Status setCenter(const geom::Point3d& c);
    Status setRadius(double r); // > 0
    Status setNormal(const geom::Vector3d& n);

    // The start and end point: the point at angle 0 of the normal's arbitrary-axis system.
    geom::Point3d startPoint() const override;
    geom::Point3d endPoint() const override { return startPoint(); }
    bool isClosed() const override { return true; }
    geom::Curve toCurve() const override;
    Status setFromCurve(const geom::Curve& c) override;
    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Point3d center_;
    double radius_ = 1;
    geom::Vector3d normal_{0, 0, 1};
};

class Ellipse : public Curve {
    ZHOST_DB_OBJECT_COPY(Ellipse)
    Ellipse() = default;
    explicit Ellipse(const geom::EllipseArc& e) : e_(e) {}

    ObjectType type() const override { return ObjectType::ellipse; }
    const wchar_t* dxfName() const override { return L"ELLIPSE"; }

    const geom::EllipseArc& geometry() const { return e_; }
    Status set(const geom::EllipseArc& e); // ratio in (0, 1], non-zero major axis ⟂ normal

    geom::Point3d startPoint() const override;
    geom::Point3d endPoint() const override;
    bool isClosed() const override;
    geom::Curve toCurve() const override { return e_; }
    Status setFromCurve(const geom::Curve& c) override;
    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::EllipseArc e_;
};

// How a polyline is stored in a file: as LWPOLYLINE, or as the older POLYLINE with VERTEX records,
// either flat (in the plane of the normal, like the light-weight one) or in space (a z of its
// own per vertex, no bulges and no widths).
enum class PolylineForm { lightweight, flat, space };

// The polyline: vertices (world coordinates, in the plane of the normal unless its form is
// `space`) with a bulge per vertex, an optional constant width, and optional start and end
// widths per vertex (the widths of the segment that starts there).
class Polyline : public Curve {
    ZHOST_DB_OBJECT_COPY(Polyline)
    Polyline() = default;
    explicit Polyline(const geom::Polyline& p) : p_(p) {}

    ObjectType type() const override { return ObjectType::polyline; }
    // LWPOLYLINE, or POLYLINE for the older forms.
    const wchar_t* dxfName() const override {
        return form_ == PolylineForm::lightweight ? L"LWPOLYLINE" : L"POLYLINE";
    }

    const geom::Polyline& geometry() const { return p_; }
    Status set(const geom::Polyline& p); // bulges resized to the point count
    int numVerts() const { return int(p_.points.size()); }
    geom::Point3d pointAt(int i) const { return p_.points.at(i); }
    double bulgeAt(int i) const { return p_.bulges.at(i); }
    Status setPointAt(int i, const geom::Point3d& p); // outOfRange for a bad index
    Status setBulgeAt(int i, double bulge);
    Status addVertex(const geom::Point3d& p, double bulge = 0);
    Status setClosed(bool closed);
    double constantWidth() const { return width_; }
    Status setConstantWidth(double w);
    double elevation() const;

    // Widths per vertex: when none were set, every vertex has the constant width. Setting one
    // vertex's widths gives every other vertex the constant width as its own. invalidInput for
    // a negative width, outOfRange for a bad index.
    bool hasVertexWidths() const { return !widths_.empty(); }
    double startWidthAt(int i) const;
    double endWidthAt(int i) const;
    Status setWidthsAt(int i, double startWidth, double endWidth);
    Status clearVertexWidths();

    // invalidInput when a polyline with bulges or vertex widths is to be put in space.
    PolylineForm form() const { return form_; }
    Status setForm(PolylineForm form);

    geom::Point3d startPoint() const override;
    geom::Point3d endPoint() const override;
    bool isClosed() const override { return p_.closed; }
    geom::Curve toCurve() const override { return p_; }
    Status setFromCurve(const geom::Curve& c) override;
    Status transformBy(const geom::Matrix3d& m) override;
    // Into lines and arcs (zero-length segments skipped), with this entity's properties.
    Status explode(std::vector<std::unique_ptr<Entity>>& out) const override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Polyline p_;
    double width_ = 0;
    std::vector<std::pair<double, double>> widths_; // empty, or one (start, end) per vertex
    PolylineForm form_ = PolylineForm::lightweight;
};

class Spline : public Curve {
    ZHOST_DB_OBJECT_COPY(Spline)
    Spline() = default;
    explicit Spline(const geom::Spline& s) : s_(s) {}

    ObjectType type() const override { return ObjectType::spline; }
    const wchar_t* dxfName() const override { return L"SPLINE"; }

    const geom::Spline& geometry() const { return s_; }
    Status set(const geom::Spline& s); // knots = controls + degree + 1, weights empty or matching

    geom::Point3d startPoint() const override;
    geom::Point3d endPoint() const override;
    bool isClosed() const override;
    geom::Curve toCurve() const override { return s_; }
    Status setFromCurve(const geom::Curve& c) override;
    Status transformBy(const geom::Matrix3d& m) override;
    void dumpFields(DumpWriter& out) const override;

private:
    geom::Spline s_;
};

} // namespace zhost::db
