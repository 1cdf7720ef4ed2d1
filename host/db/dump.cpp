#include "database_impl.h"

#include "zhost/db/dump.h"

namespace zhost::db {

namespace {
std::wstring pointText(double x, double y, double z) {
    return formatNumber(x) + L"," + formatNumber(y) + L"," + formatNumber(z);
}
} // namespace

void DumpWriter::field(std::wstring_view name, std::wstring_view value) {
    text_.append(name);
    text_.append(L": ");
    text_.append(value);
    text_.push_back(L'\n');
}
void DumpWriter::field(std::wstring_view name, double v) {
    field(name, formatNumber(v));
}
void DumpWriter::field(std::wstring_view name, int v) {
    field(name, std::to_wstring(v));
}
void DumpWriter::field(std::wstring_view name, bool v) {
    field(name, v ? L"1" : L"0");
}
void DumpWriter::field(std::wstring_view name, const geom::Point3d& p) {
    field(name, pointText(p.x, p.y, p.z));
}
void DumpWriter::field(std::wstring_view name, const geom::Vector3d& v) {
    field(name, pointText(v.x, v.y, v.z));
}
void DumpWriter::field(std::wstring_view name, ObjectId id) {
    field(name, id.isNull() ? std::wstring(L"null") : id.handle().toHex());
}

void DumpWriter::field(std::wstring_view name, const geom::Curve& c) {
    std::wstring n(name);
    std::visit(
        [&](const auto& g) {
            using T = std::decay_t<decltype(g)>;
            if constexpr (std::is_same_v<T, geom::LineSeg>) {
                field(n + L".line", pointText(g.start.x, g.start.y, g.start.z) + L" " +
                                        pointText(g.end.x, g.end.y, g.end.z));
            } else if constexpr (std::is_same_v<T, geom::CircArc>) {
                field(n + L".arc", pointText(g.center.x, g.center.y, g.center.z) + L" r" +
                                       formatNumber(g.radius) + L" " + formatNumber(g.startAngle) +
                                       L".." + formatNumber(g.endAngle));
                field(n + L".normal", g.normal);
            } else if constexpr (std::is_same_v<T, geom::Circle>) {
                field(n + L".circle", pointText(g.center.x, g.center.y, g.center.z) + L" r" +
                                          formatNumber(g.radius));
                field(n + L".normal", g.normal);
            } else if constexpr (std::is_same_v<T, geom::EllipseArc>) {
                field(n + L".ellipse", g.center);
                field(n + L".major", g.majorAxis);
                field(n + L".ratio", g.radiusRatio);
                field(n + L".params",
                      formatNumber(g.startParam) + L".." + formatNumber(g.endParam));
                field(n + L".normal", g.normal);
            } else if constexpr (std::is_same_v<T, geom::Polyline>) {
                for (std::size_t i = 0; i < g.points.size(); ++i)
                    field(n + L".v", pointText(g.points[i].x, g.points[i].y, g.points[i].z) +
                                         L" b" +
                                         formatNumber(i < g.bulges.size() ? g.bulges[i] : 0));
                field(n + L".closed", g.closed);
                field(n + L".normal", g.normal);
            } else {
                field(n + L".degree", g.degree);
                for (double k : g.knots)
                    field(n + L".knot", k);
                for (const auto& p : g.controlPoints)
                    field(n + L".cp", p);
                for (double w : g.weights)
                    field(n + L".w", w);
                for (const auto& p : g.fitPoints)
                    field(n + L".fit", p);
                field(n + L".closed", g.closed);
                field(n + L".periodic", g.periodic);
            }
        },
        c);
}

std::wstring dumpObject(const DbObject& object) {
    DumpWriter w;
    object.dumpFields(w);
    return w.text();
}

std::wstring dumpDatabase(const Database& db) {
    std::wstring out;
    const DatabaseImpl& d = db.impl();
    for (std::uint32_t i = 1; i < d.slots.size(); ++i) {
        if (!d.slots[i].obj)
            continue;
        out += L"[" + std::to_wstring(i) + L"]\n";
        out += dumpObject(*d.slots[i].obj);
    }
    out += L"[variables]\n";
    for (const VarInfo& v : drawingVariables()) {
        VarValue value;
        db.getVar(v.name, value);
        std::wstring text = std::visit(
            [](const auto& x) -> std::wstring {
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, std::wstring>)
                    return x;
                else if constexpr (std::is_same_v<T, double>)
                    return formatNumber(x);
                else if constexpr (std::is_same_v<T, geom::Point3d>)
                    return formatNumber(x.x) + L"," + formatNumber(x.y) + L"," + formatNumber(x.z);
                else
                    return std::to_wstring(x);
            },
            value);
        out += v.name + L": " + text + L"\n";
    }
    return out;
}

} // namespace zhost::db
