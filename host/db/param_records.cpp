// Reading and writing the "ZHOST_PARAM" records (layout in docs/parametric-blocks.md).
#include "param_model.h"

#include "zhost/core/utf.h"
#include "zhost/db/object.h"

namespace zhost::db::param {

namespace {
constexpr int kVersion = 1;

// The items of the ZHOST_PARAM chain after the application name, and the record kind.
bool body(const DbObject& o, const wchar_t* kind, XData& out) {
    out = o.xdata(kAppName);
    if (out.size() < 2 || out[1].code != xcode::string || !equalsNoCase(out[1].str(), kind))
        return false;
    out.erase(out.begin(), out.begin() + 2);
    if (!out.empty() && out.front().code == xcode::int16) // format version
        out.erase(out.begin());
    return true;
}

// The groups "{ ... }" of a record, each as the items between the braces.
std::vector<XData> groups(const XData& items, std::size_t& after) {
    std::vector<XData> out;
    std::size_t i = 0;
    while (i < items.size() && items[i].code == xcode::control && items[i].str() == L"{") {
        XData g;
        ++i;
        while (i < items.size() && !(items[i].code == xcode::control && items[i].str() == L"}"))
            g.push_back(items[i++]);
        ++i;
        out.push_back(std::move(g));
    }
    after = i;
    return out;
}
} // namespace

BlockParams readBlockParams(const DbObject& block) {
    BlockParams p;
    XData items;
    if (!body(block, L"PARAMS", items))
        return p;
    p.present = true;
    std::size_t i = 0;
    for (const XData& g : groups(items, i)) {
        if (g.size() < 2 || g[0].code != xcode::string || g[1].code != xcode::string)
            continue;
        ParamDecl d{g[0].str(), g[1].str(), 0};
        if (g.size() > 2 && resTypeOf(g[2].code) == ResType::real)
            d.value = g[2].real();
        p.params.push_back(std::move(d));
    }
    for (; i + 1 < items.size(); i += 2) {
        if (items[i].code != xcode::string || items[i + 1].code != xcode::handle)
            continue;
        Handle h;
        Handle::fromHex(items[i + 1].str(), h);
        if (equalsNoCase(items[i].str(), L"BASE"))
            p.base = h;
        else if (equalsNoCase(items[i].str(), L"OWNER"))
            p.owner = h;
    }
    return p;
}

XData writeBlockParams(const BlockParams& p) {
    XData x{xApp(kAppName), xString(L"PARAMS"), xInt16(kVersion)};
    for (const ParamDecl& d : p.params) {
        x.push_back(xOpen());
        x.push_back(xString(d.name));
        x.push_back(xString(d.expression));
        x.push_back(xReal(d.value));
        x.push_back(xClose());
    }
    if (!p.base.isNull()) {
        x.push_back(xString(L"BASE"));
        x.push_back({xcode::handle, p.base.toHex()});
    }
    if (!p.owner.isNull()) {
        x.push_back(xString(L"OWNER"));
        x.push_back({xcode::handle, p.owner.toHex()});
    }
    return x;
}

std::vector<Binding> readBindings(const DbObject& entity) {
    std::vector<Binding> out;
    XData items;
    if (!body(entity, L"BIND", items))
        return out;
    std::size_t after = 0;
    for (const XData& g : groups(items, after)) {
        if (g.size() < 2 || g[0].code != xcode::string || g[1].code != xcode::string)
            continue;
        Binding b{g[0].str(), g[1].str(), {}};
        for (std::size_t k = 2; k < g.size(); ++k)
            if (g[k].code == xcode::string || g[k].code == xcode::layerName)
                b.choices.push_back(g[k].str());
        out.push_back(std::move(b));
    }
    return out;
}

XData writeBindings(const std::vector<Binding>& bindings) {
    if (bindings.empty())
        return {xApp(kAppName)}; // removes the record
    XData x{xApp(kAppName), xString(L"BIND"), xInt16(kVersion)};
    for (const Binding& b : bindings) {
        x.push_back(xOpen());
        x.push_back(xString(b.property));
        x.push_back(xString(b.expression));
        for (const std::wstring& c : b.choices)
            x.push_back(xString(c));
        x.push_back(xClose());
    }
    return x;
}

bool parseProperty(std::wstring_view key, Prop& prop, int& index) {
    const std::wstring k = toUpperName(key);
    index = -1;
    static const std::pair<const wchar_t*, Prop> fixed[] = {
        {L"START.X", Prop::startX},
        {L"START.Y", Prop::startY},
        {L"START.Z", Prop::startZ},
        {L"END.X", Prop::endX},
        {L"END.Y", Prop::endY},
        {L"END.Z", Prop::endZ},
        {L"CENTER.X", Prop::centerX},
        {L"CENTER.Y", Prop::centerY},
        {L"CENTER.Z", Prop::centerZ},
        {L"RADIUS", Prop::radius},
        {L"START_ANGLE", Prop::startAngle},
        {L"END_ANGLE", Prop::endAngle},
        {L"POSITION.X", Prop::positionX},
        {L"POSITION.Y", Prop::positionY},
        {L"POSITION.Z", Prop::positionZ},
        {L"HEIGHT", Prop::height},
        {L"ROTATION", Prop::rotation},
        {L"TEXT", Prop::text},
        {L"SCALE.X", Prop::scaleX},
        {L"SCALE.Y", Prop::scaleY},
        {L"VISIBLE", Prop::visible},
        {L"COLOR", Prop::color},
        {L"LAYER", Prop::layer},
        {L"LINETYPE", Prop::linetype},
    };
    for (const auto& [name, p] : fixed)
        if (k == name) {
            prop = p;
            return true;
        }
    auto number = [&](std::wstring_view digits) {
        if (digits.empty() || digits.size() > 6)
            return false;
        int v = 0;
        for (wchar_t c : digits) {
            if (c < L'0' || c > L'9')
                return false;
            v = v * 10 + (c - L'0');
        }
        index = v;
        return true;
    };
    const std::wstring_view kv = k;
    if (kv.starts_with(L"BULGE") && number(kv.substr(5))) {
        prop = Prop::bulge;
        return true;
    }
    if (kv.starts_with(L"V") && kv.size() > 3 && kv[kv.size() - 2] == L'.') {
        const wchar_t axis = kv.back();
        if ((axis == L'X' || axis == L'Y') && number(kv.substr(1, kv.size() - 3))) {
            prop = axis == L'X' ? Prop::vertexX : Prop::vertexY;
            return true;
        }
    }
    return false;
}

Status fail(ParamError* error, Status s, std::wstring parameter, std::wstring message,
            std::wstring expression, std::wstring token, int position) {
    if (error) {
        error->status = s;
        error->parameter = std::move(parameter);
        error->message = std::move(message);
        error->expression = std::move(expression);
        error->token = std::move(token);
        error->position = position;
    }
    return s;
}

} // namespace zhost::db::param
