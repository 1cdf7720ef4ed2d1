#include "selection/TapDepth.h"

#include "library/LibraryText.h"

#include "zhost/core/utf.h"
#include "zhost/editor/output.h"

#include <cmath>

namespace {

// 60 degrees as the check has always taken it; changing the digits would move limits that
// lie exactly on a rounding boundary.
constexpr double kSixtyDegrees = 1.0471975511965976;

// The value a control yields; empty when the control is missing or yields none.
std::wstring ValueOf(const CCondContext& context, const std::wstring& name) {
    std::wstring value;
    bool enabled = true;
    if (!context.GetControlValue(name, value, enabled))
        value.clear();
    return value;
}

std::wstring Field(const std::vector<std::wstring>& fields, size_t i) {
    std::wstring f = i < fields.size() ? fields[i] : std::wstring();
    Trim(f);
    return f;
}

std::wstring JoinFrom(const std::vector<std::wstring>& fields, size_t first) {
    std::wstring out;
    for (size_t i = first; i < fields.size(); ++i)
        out += (i > first ? L"," : L"") + fields[i];
    return out;
}

std::wstring Decimal(double value, int places) {
    return zhost::ed::rToS(value, zhost::ed::units::decimal, places);
}

} // namespace

CTapDepth ComputeTapDepth(double pitch, double diameter, double threadDepth) {
    CTapDepth t;
    t.m_h = pitch * std::sqrt(3.0) * 0.5;
    t.m_d1 = std::fabs(diameter - 2.0 * (5.0 / 8.0) * t.m_h);
    t.m_c = 0.5 * (diameter - t.m_d1) * std::tan(kSixtyDegrees);
    t.m_limit = threadDepth + t.m_c;
    return t;
}

CTapCheck CheckTapDepth(const std::vector<std::wstring>& fields, const CCondContext& context) {
    CTapCheck check;
    check.m_a = ValueOf(context, Field(fields, 1));
    check.m_b = ValueOf(context, Field(fields, 2));
    const std::wstring pair = Field(fields, 3);
    const size_t colon = pair.find(L':');
    if (colon == std::wstring::npos)
        return check; // no nominal control: nothing to compute
    const std::wstring nominal = pair.substr(0, colon);
    const std::wstring pitch = pair.substr(colon + 1);
    check.m_d = ValueOf(context, nominal);
    if (EndsWithNoCase(pitch, L".txt") || EndsWithNoCase(pitch, L".csv")) {
        std::vector<std::wstring> row;
        if (!LookUpRow(context, nominal, pitch, row))
            return check;
        check.m_p = Field(row, 1);
        check.m_d = Field(row, 2);
    } else {
        check.m_p = ValueOf(context, pitch);
    }
    if (check.m_p.empty() || check.m_d.empty() || check.m_a.empty() || check.m_b.empty())
        return check;
    check.m_computed = true;
    check.m_depth = ComputeTapDepth(ToNumber(check.m_p), ToNumber(check.m_d), ToNumber(check.m_b));
    const double a = ToNumber(check.m_a);
    check.m_passed = a > check.m_depth.m_limit;
    if (!check.m_passed)
        check.m_message = JoinFrom(fields, 4) + L" キリ深さ>" + Decimal(check.m_depth.m_limit, 2);
    return check;
}

std::wstring TapDepthDebugText(const CTapCheck& check) {
    std::wstring text;
    text += L"A(キリ深さ)=" + check.m_a + L"\n";
    text += L"B(ねじ深さ)=" + check.m_b + L"\n";
    text += L"d(呼び径)=" + check.m_d + L"\n";
    text += L"P(ピッチ)=" + check.m_p + L"\n";
    text += L"H(不明)=P+sqrt(3)/2=" + Decimal(check.m_depth.m_h, 4) + L"\n";
    text += L"d1(下穴径)=abs(d-2*(5/8)*H)=" + Decimal(check.m_depth.m_d1, 4) + L"\n";
    text += L"C(不完全ねじ部)=0.5*(d-d1)*tan(60)=" + Decimal(check.m_depth.m_c, 4) + L"\n";
    if (check.m_passed)
        text += L"\n A > B+C なので OK";
    else
        text += L"\n A > B+C にならないので NG\n" + check.m_message;
    return text;
}
