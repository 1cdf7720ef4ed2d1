// System variables: the session's typed table, and the drawing's variables reached through the
// database of the current drawing.
#include "editor_state.h"

#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/editor/display.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace zhost::ed {
namespace {

struct SessionVar {
    int type;
    ResBuf value;
    ResBuf defaultValue;
    bool readOnly = false;
    int minInt = -32768, maxInt = 32767;
};

ResBuf makeInt(int type, int v) {
    return ResBuf(type, std::int32_t(v));
}

// The session variables with the defaults of a metric drafting set-up.
std::map<std::wstring, SessionVar>& sessionVars() {
    static std::map<std::wstring, SessionVar> vars = [] {
        std::map<std::wstring, SessionVar> m;
        auto addInt = [&](const wchar_t* name, int v, int lo = -32768, int hi = 32767,
                          bool ro = false) {
            m[name] = {rt::int16, makeInt(rt::int16, v), makeInt(rt::int16, v), ro, lo, hi};
        };
        auto addReal = [&](const wchar_t* name, double v) {
            m[name] = {rt::real, ResBuf(rt::real, v), ResBuf(rt::real, v)};
        };
        auto addPoint2d = [&](const wchar_t* name, double x, double y) {
            const ResBuf p(rt::point2d, geom::Point3d(x, y, 0));
            m[name] = {rt::point2d, p, p};
        };
        addInt(L"2DCONSTRAINTFLAGS", 0, 0, 32767);
        addInt(L"APERTURE", 10, 1, 50);
        addInt(L"ATTDIA", 0, 0, 1);
        addInt(L"ATTREQ", 1, 0, 1);
        addInt(L"CMDECHO", 1, 0, 1);
        addInt(L"DELOBJ", 1, -3, 3);
        addInt(L"DRAGMODEINTERRUPT", 1, 0, 1);
        addInt(L"ERRNO", 0);
        addInt(L"EXPERT", 0, 0, 5);
        addInt(L"FILEDIA", 0, 0, 1);
        addInt(L"HIGHLIGHT", 1, 0, 1);
        addInt(L"HPBOUND", 1, 0, 1);
        addInt(L"HPBOUNDRETAIN", 0, 0, 1);
        addInt(L"INSUNITSDEFSOURCE", 4, 0, 24);
        addInt(L"INSUNITSDEFTARGET", 4, 0, 24);
        addInt(L"ORTHOMODE", 0, 0, 1);
        addInt(L"OSMODE", 4133, 0, 32767);
        addInt(L"PICKADD", 1, 0, 2);
        addInt(L"PICKBOX", 3, 0, 50);
        addInt(L"PICKFIRST", 1, 0, 1);
        addInt(L"SNAPMODE", 0, 0, 1);
        addReal(L"SNAPANG", 0.0);
        addPoint2d(L"SNAPBASE", 0, 0);
        addPoint2d(L"SNAPUNIT", 10, 10);
        addReal(L"VIEWSIZE", View{}.height()); // the view's height; the view keeps the value
        const ResBuf center(rt::point3d, geom::Point3d(View{}.centerX, View{}.centerY, 0));
        m[L"VIEWCTR"] = {rt::point3d, center, center, true};
        m[L"LASTPOINT"] = {rt::point3d, ResBuf(rt::point3d, geom::Point3d()),
                           ResBuf(rt::point3d, geom::Point3d())};
        return m;
    }();
    return vars;
}

int rtOf(db::VarType t) {
    switch (t) {
    case db::VarType::int16:
        return rt::int16;
    case db::VarType::int32:
        return rt::int32;
    case db::VarType::real:
        return rt::real;
    case db::VarType::string:
        return rt::string;
    case db::VarType::point2d:
        return rt::point2d;
    case db::VarType::point3d:
        return rt::point3d;
    }
    return rt::none;
}

bool isIntType(int t) {
    return t == rt::int16 || t == rt::int32;
}
bool isPointType(int t) {
    return t == rt::point2d || t == rt::point3d;
}

std::wstring upper(std::wstring_view name) {
    return toUpperName(name);
}

// Converts a value to the variable's type; invalidInput when the kinds do not fit.
Status coerce(int varType, const ResBuf& in, ResBuf& out) {
    const auto* i = std::get_if<std::int32_t>(&in.value);
    const auto* d = std::get_if<double>(&in.value);
    const auto* s = std::get_if<std::wstring>(&in.value);
    const auto* p = std::get_if<geom::Point3d>(&in.value);
    if (isIntType(varType)) {
        if (i) {
            out = ResBuf(varType, *i);
            return Status::ok;
        }
        return Status::invalidInput;
    }
    if (varType == rt::real) {
        if (d && std::isfinite(*d)) {
            out = ResBuf(rt::real, *d);
            return Status::ok;
        }
        if (i) {
            out = ResBuf(rt::real, double(*i));
            return Status::ok;
        }
        return Status::invalidInput;
    }
    if (varType == rt::string) {
        if (s) {
            out = ResBuf(rt::string, *s);
            return Status::ok;
        }
        return Status::invalidInput;
    }
    if (isPointType(varType) && p) {
        out = ResBuf(varType, *p);
        return Status::ok;
    }
    return Status::invalidInput;
}

} // namespace

Status getSysVar(std::wstring_view name, ResBuf& out) {
    const std::wstring key = upper(name);
    auto& vars = sessionVars();
    if (auto it = vars.find(key); it != vars.end()) {
        if (key == L"VIEWSIZE")
            it->second.value = ResBuf(rt::real, currentView().height());
        if (key == L"VIEWCTR") {
            const View v = currentView();
            it->second.value =
                ResBuf(rt::point3d, wcsToUcs(geom::Point3d(v.centerX, v.centerY, 0)));
        }
        out = it->second.value;
        return Status::ok;
    }
    if (const db::VarInfo* info = db::findDrawingVariable(key)) {
        db::Database* d = detail::db();
        db::VarValue v = info->defaultValue;
        if (d) {
            const Status st = d->getVar(key, v);
            if (!ok(st))
                return st;
        }
        const int t = rtOf(info->type);
        std::visit([&](const auto& x) { out = ResBuf(t, x); }, v);
        return Status::ok;
    }
    return Status::keyNotFound;
}

Status setSysVar(std::wstring_view name, const ResBuf& value) {
    const std::wstring key = upper(name);
    auto& vars = sessionVars();
    if (auto it = vars.find(key); it != vars.end()) {
        SessionVar& v = it->second;
        if (v.readOnly)
            return Status::notApplicable;
        ResBuf converted;
        if (Status st = coerce(v.type, value, converted); !ok(st))
            return st;
        if (isIntType(v.type)) {
            const int n = converted.integer();
            if (n < v.minInt || n > v.maxInt)
                return Status::invalidInput;
        }
        if (isPointType(v.type)) {
            const geom::Point3d p = converted.point();
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                return Status::invalidInput;
            // A 2D variable keeps no Z.
            if (v.type == rt::point2d)
                converted = ResBuf(rt::point2d, geom::Point3d(p.x, p.y, 0));
            // The grid's spacing: a zero or negative step has no grid points to land on.
            if (key == L"SNAPUNIT" && (p.x <= 0 || p.y <= 0))
                return Status::invalidInput;
        }
        if (key == L"VIEWSIZE") {
            if (converted.real() <= 0)
                return Status::invalidInput;
            View view = currentView();
            view.unitsPerPixel = converted.real() / view.heightPx;
            requestView({view, false});
        }
        v.value = converted;
        return Status::ok;
    }
    if (const db::VarInfo* info = db::findDrawingVariable(key)) {
        if (info->readOnly)
            return Status::notApplicable;
        db::Database* d = detail::db();
        if (!d)
            return Status::notApplicable;
        ResBuf converted;
        if (Status st = coerce(rtOf(info->type), value, converted); !ok(st))
            return st;
        db::VarValue v;
        if (const auto* i = std::get_if<std::int32_t>(&converted.value))
            v = *i;
        else if (const auto* r = std::get_if<double>(&converted.value))
            v = *r;
        else if (const auto* s = std::get_if<std::wstring>(&converted.value))
            v = *s;
        else if (const auto* p = std::get_if<geom::Point3d>(&converted.value))
            v = *p;
        return d->setVar(key, v);
    }
    return Status::keyNotFound;
}

Result getVar(std::wstring_view name, ResBuf& out) {
    return ok(getSysVar(name, out)) ? Result::normal : Result::error;
}
Result setVar(std::wstring_view name, const ResBuf& value) {
    return ok(setSysVar(name, value)) ? Result::normal : Result::error;
}

Status getVarInt(std::wstring_view name, int& out) {
    ResBuf r;
    Status st = getSysVar(name, r);
    if (!ok(st))
        return st;
    if (!std::holds_alternative<std::int32_t>(r.value))
        return Status::invalidInput;
    out = r.integer();
    return Status::ok;
}

Status getVarReal(std::wstring_view name, double& out) {
    ResBuf r;
    Status st = getSysVar(name, r);
    if (!ok(st))
        return st;
    if (std::holds_alternative<double>(r.value) || std::holds_alternative<std::int32_t>(r.value)) {
        out = r.real();
        return Status::ok;
    }
    return Status::invalidInput;
}

Status getVarString(std::wstring_view name, std::wstring& out) {
    ResBuf r;
    Status st = getSysVar(name, r);
    if (!ok(st))
        return st;
    if (!std::holds_alternative<std::wstring>(r.value))
        return Status::invalidInput;
    out = r.str();
    return Status::ok;
}

Status getVarPoint(std::wstring_view name, geom::Point3d& out) {
    ResBuf r;
    Status st = getSysVar(name, r);
    if (!ok(st))
        return st;
    if (!std::holds_alternative<geom::Point3d>(r.value))
        return Status::invalidInput;
    out = r.point();
    return Status::ok;
}

Status setVarInt(std::wstring_view name, int value) {
    return setSysVar(name, ResBuf(rt::int16, std::int32_t(value)));
}
Status setVarReal(std::wstring_view name, double value) {
    return setSysVar(name, ResBuf(rt::real, value));
}
Status setVarString(std::wstring_view name, std::wstring_view value) {
    return setSysVar(name, ResBuf(rt::string, std::wstring(value)));
}
Status setVarPoint(std::wstring_view name, const geom::Point3d& value) {
    return setSysVar(name, ResBuf(rt::point3d, value));
}

std::vector<SysVarInfo> listSysVars() {
    std::vector<SysVarInfo> out;
    for (const auto& [name, v] : sessionVars())
        out.push_back({name, v.type, v.readOnly, false});
    for (const db::VarInfo& info : db::drawingVariables())
        out.push_back({info.name, rtOf(info.type), info.readOnly, true});
    std::sort(out.begin(), out.end(),
              [](const SysVarInfo& a, const SysVarInfo& b) { return a.name < b.name; });
    return out;
}

void resetSessionVars() {
    for (auto& [name, v] : sessionVars())
        v.value = v.defaultValue;
    setScreenView(View{}, false);
}

namespace detail {
bool parseReal(std::wstring_view text, double& out);
bool parsePointText(std::wstring_view text, geom::Point3d& out);
} // namespace detail

Status setVarFromText(std::wstring_view name, std::wstring_view text) {
    ResBuf current;
    Status st = getSysVar(name, current);
    if (!ok(st))
        return st;
    if (std::holds_alternative<std::int32_t>(current.value)) {
        double d = 0;
        if (!detail::parseReal(text, d) || d != std::floor(d) || std::abs(d) > 2147483647.0)
            return Status::invalidInput;
        return setSysVar(name, ResBuf(current.code, std::int32_t(d)));
    }
    if (std::holds_alternative<double>(current.value)) {
        double d = 0;
        if (!detail::parseReal(text, d))
            return Status::invalidInput;
        return setSysVar(name, ResBuf(rt::real, d));
    }
    if (std::holds_alternative<geom::Point3d>(current.value)) {
        geom::Point3d p;
        if (!detail::parsePointText(text, p))
            return Status::invalidInput;
        return setSysVar(name, ResBuf(current.code, p));
    }
    return setSysVar(name, ResBuf(rt::string, std::wstring(text)));
}

Status varToText(std::wstring_view name, std::wstring& out) {
    ResBuf v;
    Status st = getSysVar(name, v);
    if (!ok(st))
        return st;
    if (const auto* i = std::get_if<std::int32_t>(&v.value))
        out = std::to_wstring(*i);
    else if (const auto* d = std::get_if<double>(&v.value))
        out = rToS(*d, units::decimal, 4);
    else if (const auto* s = std::get_if<std::wstring>(&v.value))
        out = L"\"" + *s + L"\"";
    else if (const auto* p = std::get_if<geom::Point3d>(&v.value))
        out = rToS(p->x, units::decimal, 4) + L"," + rToS(p->y, units::decimal, 4) + L"," +
              rToS(p->z, units::decimal, 4);
    return Status::ok;
}

} // namespace zhost::ed
