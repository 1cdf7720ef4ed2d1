#include "zhost/db/xdata.h"

#include <limits>

namespace zhost::db {

ResType resTypeOf(int code) {
    if (code >= 1000 && code <= 1009)
        return ResType::string;
    if (code >= 1010 && code <= 1013)
        return ResType::point;
    if (code >= 1040 && code <= 1042)
        return ResType::real;
    if (code == 1070 || code == 1071)
        return ResType::integer;
    return ResType::none;
}

namespace {
const std::wstring kEmpty;
}

const std::wstring& ResBuf::str() const {
    const auto* s = std::get_if<std::wstring>(&value);
    return s ? *s : kEmpty;
}

double ResBuf::real() const {
    if (const auto* d = std::get_if<double>(&value))
        return *d;
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return *i;
    return 0;
}

std::int32_t ResBuf::integer() const {
    const auto* i = std::get_if<std::int32_t>(&value);
    return i ? *i : 0;
}

geom::Point3d ResBuf::point() const {
    const auto* p = std::get_if<geom::Point3d>(&value);
    return p ? *p : geom::Point3d();
}

Status validateXData(const XData& chain) {
    if (chain.empty() || chain.front().code != xcode::appName)
        return Status::invalidInput;
    int depth = 0;
    for (const ResBuf& rb : chain) {
        switch (resTypeOf(rb.code)) {
        case ResType::string:
            if (!std::holds_alternative<std::wstring>(rb.value))
                return Status::invalidInput;
            break;
        case ResType::point:
            if (!std::holds_alternative<geom::Point3d>(rb.value))
                return Status::invalidInput;
            break;
        case ResType::real:
            if (!std::holds_alternative<double>(rb.value))
                return Status::invalidInput;
            break;
        case ResType::integer:
            if (!std::holds_alternative<std::int32_t>(rb.value))
                return Status::invalidInput;
            if (rb.code == xcode::int16 &&
                (rb.integer() < std::numeric_limits<std::int16_t>::min() ||
                 rb.integer() > std::numeric_limits<std::int16_t>::max()))
                return Status::invalidInput;
            break;
        case ResType::none:
            return Status::invalidInput;
        }
        if (rb.code == xcode::appName) {
            if (depth != 0 || rb.str().empty())
                return Status::invalidInput;
        } else if (rb.code == xcode::control) {
            if (rb.str() == L"{")
                ++depth;
            else if (rb.str() == L"}" && depth > 0)
                --depth;
            else
                return Status::invalidInput;
        }
    }
    return depth == 0 ? Status::ok : Status::invalidInput;
}

std::vector<XData> splitByApplication(const XData& chain) {
    std::vector<XData> out;
    for (const ResBuf& rb : chain) {
        if (rb.code == xcode::appName || out.empty())
            out.emplace_back();
        out.back().push_back(rb);
    }
    return out;
}

} // namespace zhost::db
