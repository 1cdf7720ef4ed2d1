// Drawing variables with the defaults of a metric drafting setup.
#include "database_impl.h"

#include "zhost/core/utf.h"
#include "zhost/db/symbol_tables.h"

#include <algorithm>
#include <cmath>

namespace zhost::db {

namespace {

using P = geom::Point3d;

std::vector<VarInfo> makeTable() {
    std::vector<VarInfo> t = {
        {L"ANGBASE", VarType::real, 0.0},
        {L"ANGDIR", VarType::int16, 0},
        {L"ATTMODE", VarType::int16, 1},
        {L"AUNITS", VarType::int16, 0},
        {L"AUPREC", VarType::int16, 0},
        {L"CECOLOR", VarType::int16, 256},
        {L"CELTSCALE", VarType::real, 1.0},
        {L"CELTYPE", VarType::string, std::wstring(L"ByLayer")},
        {L"CELWEIGHT", VarType::int16, -1},
        {L"CLAYER", VarType::string, std::wstring(L"0")},
        {L"DIMSCALE", VarType::real, 1.0},
        {L"DWGCODEPAGE", VarType::string, std::wstring(L"ANSI_932")},
        {L"DWGNAME", VarType::string, std::wstring(L"Drawing1.dwg"), true},
        {L"DWGPREFIX", VarType::string, std::wstring(), true},
        {L"ELEVATION", VarType::real, 0.0},
        {L"EXTMAX", VarType::point3d, P(-1e20, -1e20, -1e20)},
        {L"EXTMIN", VarType::point3d, P(1e20, 1e20, 1e20)},
        {L"FILLMODE", VarType::int16, 1},
        {L"HANDSEED", VarType::string, std::wstring(), true},
        {L"INSBASE", VarType::point3d, P()},
        {L"INSUNITS", VarType::int16, 4},
        {L"LIMMAX", VarType::point2d, P(420, 297)},
        {L"LIMMIN", VarType::point2d, P()},
        {L"LTSCALE", VarType::real, 1.0},
        {L"LUNITS", VarType::int16, 2},
        {L"LUPREC", VarType::int16, 4},
        {L"LWDISPLAY", VarType::int16, 0},
        {L"MEASUREMENT", VarType::int16, 1},
        {L"MIRRTEXT", VarType::int16, 0},
        {L"PDMODE", VarType::int16, 0},
        {L"PDSIZE", VarType::real, 0.0},
        {L"PLINEWID", VarType::real, 0.0},
        {L"PSLTSCALE", VarType::int16, 1},
        {L"TEXTSIZE", VarType::real, 2.5},
        {L"TEXTSTYLE", VarType::string, std::wstring(L"Standard")},
        {L"THICKNESS", VarType::real, 0.0},
        {L"TILEMODE", VarType::int16, 1},
    };
    std::sort(t.begin(), t.end(),
              [](const VarInfo& a, const VarInfo& b) { return a.name < b.name; });
    return t;
}

bool isIntType(VarType t) {
    return t == VarType::int16 || t == VarType::int32;
}
bool isPointType(VarType t) {
    return t == VarType::point2d || t == VarType::point3d;
}

// Range checks for the variables whose values have a fixed domain.
bool inRange(const std::wstring& name, const VarValue& v) {
    auto i = [&] { return std::get<std::int32_t>(v); };
    auto d = [&] { return std::get<double>(v); };
    if (name == L"LUPREC" || name == L"AUPREC")
        return i() >= 0 && i() <= 8;
    if (name == L"INSUNITS")
        return i() >= 0 && i() <= 20;
    if (name == L"LUNITS")
        return i() >= 1 && i() <= 5;
    if (name == L"AUNITS")
        return i() >= 0 && i() <= 4;
    if (name == L"CECOLOR")
        return i() >= 0 && i() <= 256;
    if (name == L"TEXTSIZE" || name == L"LTSCALE" || name == L"CELTSCALE" || name == L"DIMSCALE")
        return d() > 0;
    if (name == L"PDMODE") {
        const int m = i() & ~(32 | 64);
        return i() >= 0 && i() < 128 && m >= 0 && m <= 4;
    }
    if (name == L"ANGDIR" || name == L"ATTMODE" || name == L"MIRRTEXT" || name == L"FILLMODE" ||
        name == L"PSLTSCALE" || name == L"MEASUREMENT" || name == L"TILEMODE" ||
        name == L"LWDISPLAY")
        return i() == 0 || i() == 1 || (name == L"ATTMODE" && i() == 2);
    return true;
}

std::wstring fileNameOf(const std::wstring& path) {
    auto pos = path.find_last_of(L"/\\");
    return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

} // namespace

const std::vector<VarInfo>& drawingVariables() {
    static const std::vector<VarInfo> table = makeTable();
    return table;
}

const VarInfo* findDrawingVariable(std::wstring_view name) {
    const std::wstring up = toUpperName(name);
    const auto& t = drawingVariables();
    auto it = std::lower_bound(t.begin(), t.end(), up,
                               [](const VarInfo& v, const std::wstring& n) { return v.name < n; });
    return it != t.end() && it->name == up ? &*it : nullptr;
}

void DatabaseImpl::initVariables() {
    for (const VarInfo& v : drawingVariables())
        if (!v.readOnly)
            vars[v.name] = v.defaultValue;
}

Status Database::getVar(std::wstring_view name, VarValue& out) const {
    const VarInfo* info = findDrawingVariable(name);
    if (!info)
        return Status::keyNotFound;
    if (info->name == L"DWGNAME") {
        const std::wstring f = fileNameOf(impl_->filePath);
        out = f.empty() ? std::wstring(L"Drawing1.dwg") : f;
    } else if (info->name == L"DWGPREFIX") {
        const std::wstring& p = impl_->filePath;
        auto pos = p.find_last_of(L"/\\");
        out = pos == std::wstring::npos ? std::wstring() : p.substr(0, pos + 1);
    } else if (info->name == L"HANDSEED") {
        out = Handle(impl_->handleSeed).toHex();
    } else {
        out = impl_->vars.at(info->name);
    }
    return Status::ok;
}

Status Database::setVar(std::wstring_view name, const VarValue& value) {
    const VarInfo* info = findDrawingVariable(name);
    if (!info)
        return Status::keyNotFound;
    if (info->readOnly)
        return Status::notApplicable;
    VarValue v = value;
    if (info->type == VarType::real && std::holds_alternative<std::int32_t>(v))
        v = double(std::get<std::int32_t>(v));
    const bool typeOk =
        (isIntType(info->type) && std::holds_alternative<std::int32_t>(v)) ||
        (info->type == VarType::real && std::holds_alternative<double>(v)) ||
        (info->type == VarType::string && std::holds_alternative<std::wstring>(v)) ||
        (isPointType(info->type) && std::holds_alternative<geom::Point3d>(v));
    if (!typeOk)
        return Status::invalidInput;
    if (info->type == VarType::int16 &&
        (std::get<std::int32_t>(v) < -32768 || std::get<std::int32_t>(v) > 32767))
        return Status::invalidInput;
    if (info->type == VarType::real && !std::isfinite(std::get<double>(v)))
        return Status::invalidInput;
    if (info->type == VarType::point2d)
        std::get<geom::Point3d>(v).z = 0;
    if (!inRange(info->name, v))
        return Status::invalidInput;
    // Names of table records must exist; the stored spelling is the record's own.
    if (info->name == L"CLAYER" || info->name == L"CELTYPE" || info->name == L"TEXTSTYLE") {
        ObjectId id;
        const std::wstring& n = std::get<std::wstring>(v);
        Status s = info->name == L"CLAYER"    ? getLayerId(n, id)
                   : info->name == L"CELTYPE" ? getLinetypeId(n, id)
                                              : getTextStyleId(n, id);
        if (!ok(s))
            return Status::invalidInput;
        if (auto* r = impl_->get<SymbolTableRecord>(id))
            v = r->name();
        if (info->name == L"CLAYER") {
            auto* layer = impl_->get<LayerTableRecord>(id);
            if (layer && layer->isFrozen())
                return Status::notApplicable;
        }
    }
    VarValue& slot = impl_->vars[info->name];
    if (slot == v)
        return Status::ok;
    impl_->recordVar(info->name, slot);
    slot = std::move(v);
    return Status::ok;
}

Status Database::getInt(std::wstring_view name, int& out) const {
    VarValue v;
    Status s = getVar(name, v);
    if (!ok(s))
        return s;
    if (!std::holds_alternative<std::int32_t>(v))
        return Status::wrongObjectType;
    out = std::get<std::int32_t>(v);
    return Status::ok;
}

Status Database::getReal(std::wstring_view name, double& out) const {
    VarValue v;
    Status s = getVar(name, v);
    if (!ok(s))
        return s;
    if (std::holds_alternative<double>(v))
        out = std::get<double>(v);
    else if (std::holds_alternative<std::int32_t>(v))
        out = std::get<std::int32_t>(v);
    else
        return Status::wrongObjectType;
    return Status::ok;
}

Status Database::getString(std::wstring_view name, std::wstring& out) const {
    VarValue v;
    Status s = getVar(name, v);
    if (!ok(s))
        return s;
    if (!std::holds_alternative<std::wstring>(v))
        return Status::wrongObjectType;
    out = std::get<std::wstring>(v);
    return Status::ok;
}

Status Database::getPoint(std::wstring_view name, geom::Point3d& out) const {
    VarValue v;
    Status s = getVar(name, v);
    if (!ok(s))
        return s;
    if (!std::holds_alternative<geom::Point3d>(v))
        return Status::wrongObjectType;
    out = std::get<geom::Point3d>(v);
    return Status::ok;
}

ObjectId Database::clayer() const {
    ObjectId id;
    if (!ok(getLayerId(std::get<std::wstring>(impl_->vars.at(L"CLAYER")), id)))
        return impl_->layerZero;
    return id;
}

Status Database::setClayer(ObjectId layerId) {
    auto* layer = impl_->get<LayerTableRecord>(layerId);
    if (!layer || layer->isErased())
        return Status::invalidInput;
    return setVar(L"CLAYER", layer->name());
}

double Database::textSize() const {
    return std::get<double>(impl_->vars.at(L"TEXTSIZE"));
}
int Database::insUnits() const {
    return std::get<std::int32_t>(impl_->vars.at(L"INSUNITS"));
}

} // namespace zhost::db
