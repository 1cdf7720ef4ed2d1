#pragma once
// Descriptions, drawings and printing shared by the identity tests.
#include "selection/PartDescription.h"

#include "zhost/core/utf.h"
#include "zhost/db/xdata.h"

#include <ostream>
#include <string>
#include <vector>

namespace placetest {

// A control as the condition dialog leaves it: kind, section name and current value.
inline CParam Control(ControlKind kind, const wchar_t* name, const wchar_t* value,
                      const wchar_t* caption = L"") {
    CParam p;
    p.m_kind = kind;
    p.m_name = name;
    p.m_value = value;
    p.m_caption = caption;
    return p;
}

// The bolt of the sample product with one control of every kind, as the dialog leaves it.
inline PartDescription SampleBolt() {
    PartDescription d;
    d.m_fileName = L"B1180_Partial";
    d.m_params = {
        Control(ControlKind::Header, L"Header", L"六角ボルト"),
        Control(ControlKind::Drawing, L"Drawing", L"1"),
        Control(ControlKind::List, L"List1", L"M10"),
        Control(ControlKind::Label, L"Label1", L""),
        Control(ControlKind::Radio, L"Radio1", L"1"),
        Control(ControlKind::Radio, L"Radio2", L"x"),
        Control(ControlKind::Edit, L"Edit1", L"10.5"),
        Control(ControlKind::Check, L"Check1", L"12"),
        Control(ControlKind::Quality, L"Quality", L"鋼,8.8"),
        Control(ControlKind::ComboList, L"ComboList1", L"三価クロメート"),
        Control(ControlKind::Check, L"Check2", L"0", L"属性編集"),
    };
    return d;
}

// Current values by section name, in control order.
inline std::vector<std::pair<std::wstring, std::wstring>> Values(const PartDescription& d) {
    std::vector<std::pair<std::wstring, std::wstring>> out;
    for (const CParam& p : d.m_params)
        out.emplace_back(p.m_name, p.m_value);
    return out;
}

} // namespace placetest

namespace zhost::db {
inline void PrintTo(const ResBuf& rb, std::ostream* os) {
    *os << rb.code << ":";
    switch (resTypeOf(rb.code)) {
    case ResType::string:
        *os << '"' << toUtf8(rb.str()) << '"';
        break;
    case ResType::integer:
        *os << rb.integer();
        break;
    case ResType::real:
        *os << rb.real();
        break;
    case ResType::point:
        *os << "(" << rb.point().x << "," << rb.point().y << "," << rb.point().z << ")";
        break;
    case ResType::none:
        *os << "?";
        break;
    }
}
} // namespace zhost::db
