#include "placement/LegacyCode.h"

#include "zhost/core/utf.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// How a standard's code is read. Each rule names where the drawing number and the candidate
// index come from; the table below maps the standards onto them.
enum class CodeRule {
    ViewAt6IndexTwoAt8,     // view(6), two(8)
    ViewAt12IndexDigitAt10, // view(12), digit(10)
    ViewInBlankField,       // view of the second blank field's second "_" field, digit(8)
    Offsets1119,            // view(6), two(10) shifted by the series at position 8
    ViewAt6IndexZero,       // view(6), 0
    ViewAt12IndexDigitAt8,  // view(12), digit(8)
    TwoMinusField2,         // 2 - int(field 2), 0
    Field2MinusOne,         // int(field 2) - 1, 0
    TwoMinusField2Field6,   // 2 - int(field 2), int(field 6)
    ViewAt6IndexDigitAt15,  // view(6), digit(15)
    Inverted1185,           // view(6), or 1 - view(6) when position 15 is "3"; digit(15)
    TwoMinusField3,         // 2 - int(field 3), 0
    Mapped1351,             // field 3: 1, 2, 3 give 2, 0, 1
    TwoMinusField3ByField1, // 2 - int(field 3); 1 when int(field 1) is 2, 7 or 8, else 2
    TwoMinusDigit8Digit6,   // 2 - digit(8), digit(6)
};

struct StandardRule {
    std::wstring_view standard;
    CodeRule rule;
};

constexpr std::array kStandardRules = {
    StandardRule{L"1001", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1004", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1101", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1111", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1117", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1118", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1177", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1180", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1188", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1181", CodeRule::ViewAt6IndexTwoAt8},
    StandardRule{L"1112", CodeRule::ViewAt12IndexDigitAt10},
    StandardRule{L"1115", CodeRule::ViewAt12IndexDigitAt10},
    StandardRule{L"1122", CodeRule::ViewAt12IndexDigitAt10},
    StandardRule{L"1123", CodeRule::ViewAt12IndexDigitAt10},
    StandardRule{L"1125", CodeRule::ViewAt12IndexDigitAt10},
    StandardRule{L"1135", CodeRule::ViewAt12IndexDigitAt10},
    StandardRule{L"0202", CodeRule::ViewInBlankField},
    StandardRule{L"0203", CodeRule::ViewInBlankField},
    StandardRule{L"1119", CodeRule::Offsets1119},
    StandardRule{L"1176", CodeRule::ViewAt6IndexZero},
    StandardRule{L"0204", CodeRule::ViewAt6IndexZero},
    StandardRule{L"0205", CodeRule::ViewAt6IndexZero},
    StandardRule{L"0206", CodeRule::ViewAt6IndexZero},
    StandardRule{L"0207", CodeRule::ViewAt6IndexZero},
    StandardRule{L"0208", CodeRule::ViewAt6IndexZero},
    StandardRule{L"0216", CodeRule::ViewAt6IndexZero},
    StandardRule{L"0222", CodeRule::ViewAt6IndexZero},
    StandardRule{L"1163", CodeRule::ViewAt6IndexZero},
    StandardRule{L"1167", CodeRule::ViewAt6IndexZero},
    StandardRule{L"1169", CodeRule::ViewAt6IndexZero},
    StandardRule{L"1190", CodeRule::ViewAt6IndexZero},
    StandardRule{L"1251", CodeRule::ViewAt12IndexDigitAt8},
    StandardRule{L"1252", CodeRule::ViewAt12IndexDigitAt8},
    StandardRule{L"1255", CodeRule::ViewAt12IndexDigitAt8},
    StandardRule{L"1256", CodeRule::ViewAt12IndexDigitAt8},
    StandardRule{L"1166", CodeRule::TwoMinusField2},
    StandardRule{L"1173", CodeRule::TwoMinusField2},
    StandardRule{L"1174", CodeRule::TwoMinusField2},
    StandardRule{L"1175", CodeRule::TwoMinusField2},
    StandardRule{L"1178", CodeRule::TwoMinusField2},
    StandardRule{L"1189", CodeRule::TwoMinusField2},
    StandardRule{L"1195", CodeRule::TwoMinusField2},
    StandardRule{L"1168", CodeRule::Field2MinusOne},
    StandardRule{L"1184", CodeRule::Field2MinusOne},
    StandardRule{L"1171", CodeRule::TwoMinusField2Field6},
    StandardRule{L"1179", CodeRule::TwoMinusField2Field6},
    StandardRule{L"1182", CodeRule::TwoMinusField2Field6},
    StandardRule{L"1187", CodeRule::TwoMinusField2Field6},
    StandardRule{L"1170", CodeRule::ViewAt6IndexDigitAt15},
    StandardRule{L"1196", CodeRule::ViewAt6IndexDigitAt15},
    StandardRule{L"1183", CodeRule::ViewAt6IndexDigitAt15},
    StandardRule{L"1185", CodeRule::Inverted1185},
    StandardRule{L"2808", CodeRule::TwoMinusField3},
    StandardRule{L"1354", CodeRule::TwoMinusField3},
    StandardRule{L"1355", CodeRule::TwoMinusField3},
    StandardRule{L"1359", CodeRule::TwoMinusField3},
    StandardRule{L"1351", CodeRule::Mapped1351},
    StandardRule{L"1352", CodeRule::TwoMinusField3ByField1},
    StandardRule{L"1353", CodeRule::TwoMinusField3ByField1},
    StandardRule{L"1358", CodeRule::TwoMinusField3ByField1},
    StandardRule{L"1213", CodeRule::TwoMinusDigit8Digit6},
    StandardRule{L"1214", CodeRule::TwoMinusDigit8Digit6},
    StandardRule{L"1215", CodeRule::TwoMinusDigit8Digit6},
};

// Integers read from codes are kept well inside int so that the sums and differences of the
// rules cannot overflow, whatever a damaged code holds.
constexpr long long kIntegerLimit = 1'000'000'000;

// The integer reading of a text as the runtime's conversion does it: leading blanks, a sign,
// then digits up to the first other character; no digits read as 0.
int ReadInteger(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = std::min(kIntegerLimit, value * 10 + (text[i] - L'0'));
    return static_cast<int>(negative ? -value : value);
}

std::vector<std::wstring_view> SplitAt(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        if (at == std::wstring_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

// The readings a rule makes of a code. Each is empty when the code does not reach the position
// or field read, so that a short or damaged code fails instead of reading past its end.
class CodeReader {
public:
    explicit CodeReader(std::wstring_view code) : m_code(code), m_fields(SplitAt(code, L'_')) {}

    std::optional<wchar_t> Char(size_t pos) const {
        if (pos >= m_code.size())
            return std::nullopt;
        return m_code[pos];
    }
    // The view a character stands for: "1" and "S" the front view 1, "2" to "6" the others, any
    // other character 0.
    static int ViewOf(wchar_t c) {
        if (c == L'1' || c == L'S')
            return 1;
        if (c >= L'2' && c <= L'6')
            return c - L'0';
        return 0;
    }
    std::optional<int> View(size_t pos) const {
        const auto c = Char(pos);
        if (!c)
            return std::nullopt;
        return ViewOf(*c);
    }
    // A one-digit reading is the character's distance from "0", as the earlier library read it:
    // a letter gives a large index (harmless, since a single candidate is taken whatever the
    // index says, and a larger index than there are candidates finds none), a character below
    // "0" a negative one that the caller refuses. Only a position past the end fails here.
    std::optional<int> Digit(size_t pos) const {
        const auto c = Char(pos);
        if (!c)
            return std::nullopt;
        return static_cast<int>(*c) - static_cast<int>(L'0');
    }
    std::optional<int> Two(size_t pos) const {
        if (pos + 2 > m_code.size())
            return std::nullopt;
        return ReadInteger(m_code.substr(pos, 2));
    }
    std::optional<int> Field(size_t k) const {
        if (k >= m_fields.size())
            return std::nullopt;
        return ReadInteger(m_fields[k]);
    }
    // The first character of the second "_" field of the second blank-separated field.
    std::optional<int> ViewInBlankField() const {
        const auto blankFields = SplitAt(m_code, L' ');
        if (blankFields.size() < 2)
            return std::nullopt;
        const auto parts = SplitAt(blankFields[1], L'_');
        if (parts.size() < 2 || parts[1].empty())
            return std::nullopt;
        return ViewOf(parts[1].front());
    }

private:
    std::wstring_view m_code;
    std::vector<std::wstring_view> m_fields;
};

struct Decoded {
    std::optional<int> drawing;
    std::optional<int> index;
};

std::optional<int> Minus(int a, const std::optional<int>& b) {
    if (!b)
        return std::nullopt;
    return a - *b;
}

std::optional<int> Offsets1119(const CodeReader& r) {
    const auto series = r.Char(8);
    if (!series)
        return std::nullopt;
    int offset = 0;
    switch (*series) {
    case L'1':
        offset = 0;
        break;
    case L'2':
        offset = 7;
        break;
    case L'3':
        offset = 10;
        break;
    default:
        return -1;
    }
    const auto two = r.Two(10);
    if (!two)
        return std::nullopt;
    return *two + offset;
}

std::optional<int> View1185(const CodeReader& r) {
    const auto view = r.View(6);
    const auto marker = r.Char(15);
    if (!view || !marker)
        return std::nullopt;
    return *marker == L'3' ? 1 - *view : *view;
}

std::optional<int> Mapped1351(const CodeReader& r) {
    const auto field = r.Field(3);
    if (!field)
        return std::nullopt;
    switch (*field) {
    case 1:
        return 2;
    case 2:
        return 0;
    case 3:
        return 1;
    }
    // No other value names a view of these symbols: the part stays unrecognised.
    return -1;
}

std::optional<int> IndexByField1(const CodeReader& r) {
    const auto field = r.Field(1);
    if (!field)
        return std::nullopt;
    return (*field == 2 || *field == 7 || *field == 8) ? 1 : 2;
}

Decoded Apply(CodeRule rule, const CodeReader& r) {
    switch (rule) {
    case CodeRule::ViewAt6IndexTwoAt8:
        return {r.View(6), r.Two(8)};
    case CodeRule::ViewAt12IndexDigitAt10:
        return {r.View(12), r.Digit(10)};
    case CodeRule::ViewInBlankField:
        return {r.ViewInBlankField(), r.Digit(8)};
    case CodeRule::Offsets1119:
        return {r.View(6), Offsets1119(r)};
    case CodeRule::ViewAt6IndexZero:
        return {r.View(6), 0};
    case CodeRule::ViewAt12IndexDigitAt8:
        return {r.View(12), r.Digit(8)};
    case CodeRule::TwoMinusField2:
        return {Minus(2, r.Field(2)), 0};
    case CodeRule::Field2MinusOne: {
        const auto f = r.Field(2);
        return {f ? std::optional<int>(*f - 1) : std::nullopt, 0};
    }
    case CodeRule::TwoMinusField2Field6:
        return {Minus(2, r.Field(2)), r.Field(6)};
    case CodeRule::ViewAt6IndexDigitAt15:
        return {r.View(6), r.Digit(15)};
    case CodeRule::Inverted1185:
        return {View1185(r), r.Digit(15)};
    case CodeRule::TwoMinusField3:
        return {Minus(2, r.Field(3)), 0};
    case CodeRule::Mapped1351:
        return {Mapped1351(r), 0};
    case CodeRule::TwoMinusField3ByField1:
        return {Minus(2, r.Field(3)), IndexByField1(r)};
    case CodeRule::TwoMinusDigit8Digit6:
        return {Minus(2, r.Digit(8)), r.Digit(6)};
    }
    return {};
}

} // namespace

bool DecodeLegacySymbolCode(const std::wstring& code, int& drawingNumber, int& candidateIndex) {
    drawingNumber = -1;
    candidateIndex = -1;
    if (code.size() < 5)
        return false;
    const std::wstring_view standard = std::wstring_view(code).substr(1, 4);
    const auto entry = std::find_if(kStandardRules.begin(), kStandardRules.end(),
                                    [&](const StandardRule& e) { return e.standard == standard; });
    if (entry == kStandardRules.end())
        return false;
    const Decoded d = Apply(entry->rule, CodeReader(code));
    if (!d.drawing || !d.index || *d.drawing == -1 || *d.index == -1)
        return false;
    drawingNumber = *d.drawing;
    candidateIndex = *d.index;
    return true;
}

std::wstring StripJisPrefix(const std::wstring& code) {
    if (code.size() >= 5 && zhost::equalsNoCase(std::wstring_view(code).substr(0, 5), L"JIS_B"))
        return code.substr(4);
    return code;
}
