#include "selection/CondValidation.h"

#include "library/LibraryText.h"

#include "zhost/core/utf.h"

#include <cmath>

namespace {

// Values closer than this are equal: lengths typed by hand and lengths from tables meet.
constexpr double kEqualTolerance = 1e-8;

std::wstring Trimmed(std::wstring text) {
    Trim(text);
    return text;
}

std::wstring JoinFrom(const std::vector<std::wstring>& fields, size_t first) {
    std::wstring out;
    for (size_t i = first; i < fields.size(); ++i)
        out += (i > first ? L"," : L"") + fields[i];
    return out;
}

// A name with its optional "$": false when the entry does not apply (no such control, a
// disabled one, or a required one without a value).
bool ReadOperand(const CCondContext& context, std::wstring name, bool needEnabled,
                 std::wstring& value) {
    const bool required = !name.empty() && name.front() == L'$';
    if (required)
        name.erase(0, 1);
    bool enabled = true;
    if (!context.GetControlValue(Trimmed(name), value, enabled))
        return false;
    if (needEnabled && !enabled)
        return false;
    return !(required && Trimmed(value).empty());
}

bool IsWholeNumber(const std::wstring& text) {
    double v = 0;
    size_t used = 0;
    return ParseLeadingNumber(text, v, &used) && Trimmed(text.substr(used)).empty();
}

// The right side of a comparison: a number, a control, or a table field by nominal size.
bool ReadRightSide(const CCondContext& context, const std::wstring& right, std::wstring& value) {
    if (IsWholeNumber(right)) {
        value = right;
        return true;
    }
    if (right.find(L':') == std::wstring::npos)
        return ReadOperand(context, right, false, value);
    std::vector<std::wstring> parts;
    Split(right, parts, L":");
    const std::wstring& table = parts.back();
    std::vector<std::wstring> row;
    if (!LookUpRow(context, parts[0], table, row))
        return false;
    size_t column = 1;
    if (parts.size() >= 3) {
        std::wstring columnValue;
        bool enabled = true;
        if (context.GetControlValue(Trimmed(parts[1]), columnValue, enabled) &&
            !Trimmed(columnValue).empty()) {
            const double c = ToNumber(columnValue);
            // A column outside the row reads nothing; the entry then does not apply.
            if (!(c >= 0 && c < static_cast<double>(row.size())))
                return false;
            column = static_cast<size_t>(c) + 1;
        }
    }
    if (column >= row.size())
        return false;
    value = Trimmed(row[column]);
    return !value.empty();
}

// Whether a comparison entry fails: the rule states what must not be.
bool ComparisonFails(double l, CondOp op, double r) {
    const bool equal = std::fabs(l - r) <= kEqualTolerance;
    switch (op) {
    case CondOp::Equal:
        return equal;
    case CondOp::Less:
        return l < r && !equal;
    case CondOp::LessEqual:
        return l < r || equal;
    case CondOp::Greater:
        return l > r && !equal;
    case CondOp::GreaterEqual:
        return l > r || equal;
    case CondOp::None:
        return false;
    }
    return false;
}

CValidationResult CheckRange(const std::vector<std::wstring>& fields, const CCondContext& context) {
    CValidationResult r;
    if (fields.size() < 3)
        return r;
    std::wstring value;
    bool enabled = true;
    if (!context.GetControlValue(Trimmed(fields[1]), value, enabled))
        return r;
    const std::wstring pair = Trimmed(fields[2]);
    const size_t colon = pair.find(L':');
    std::vector<std::wstring> row;
    if (colon == std::wstring::npos ||
        !LookUpRow(context, pair.substr(0, colon), pair.substr(colon + 1), row))
        return r;
    if (row.size() < 3)
        return r;
    const std::wstring low = Trimmed(row[1]);
    const std::wstring high = Trimmed(row[2]);
    if (low.empty() || high.empty())
        return r;
    const double v = ConditionNumber(value);
    if (v >= ToNumber(low) && v <= ToNumber(high))
        return r;
    r.m_failed = true;
    r.m_message = ReplaceFirstPercentS(JoinFrom(fields, 3), low + L"-" + high);
    return r;
}

CValidationResult CheckComparison(const std::wstring& condition, const std::wstring& message,
                                  const CCondContext& context) {
    CValidationResult r;
    std::wstring left;
    std::wstring right;
    CondOp op = CondOp::None;
    if (!SplitTerm(condition, left, op, right))
        return r;
    std::wstring leftValue;
    std::wstring rightValue;
    if (!ReadOperand(context, left, true, leftValue) || !ReadRightSide(context, right, rightValue))
        return r;
    if (!ComparisonFails(ConditionNumber(leftValue), op, ConditionNumber(rightValue)))
        return r;
    r.m_failed = true;
    r.m_message = ReplaceFirstPercentS(message, rightValue);
    return r;
}

} // namespace

CValidationResult CheckValidationEntry(const std::wstring& entry, const CCondContext& context) {
    std::vector<std::wstring> fields;
    Split(entry, fields, L",");
    const std::wstring condition = Trimmed(fields.front());
    if (condition.empty()) {
        CValidationResult end;
        end.m_end = true;
        return end;
    }
    if (zhost::equalsNoCase(condition, L"TAP_ERR")) {
        CValidationResult r;
        r.m_isTap = true;
        r.m_tap = CheckTapDepth(fields, context);
        r.m_failed = !r.m_tap.m_passed;
        r.m_message = r.m_tap.m_message;
        return r;
    }
    if (zhost::equalsNoCase(condition, L"RANGE_ERR"))
        return CheckRange(fields, context);
    return CheckComparison(condition, JoinFrom(fields, 1), context);
}
