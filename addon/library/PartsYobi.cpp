#include "library/PartsYobi.h"

#include "frame/RegSwitches.h"
#include "library/LibraryPaths.h"
#include "library/LibraryPrint.h"
#include "library/LibraryText.h"
#include "zhost/core/utf.h"
#include "zhost/core/wildcard.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSizeColumn = 3;    // "NOM_SIZE" on a header line
constexpr int kPatternColumn = 2; // the part-name pattern on a part line
constexpr int kVariantColumn = 4; // variant pattern (part line) or variant flag (header)
constexpr int kFirstValueColumn = 5;
constexpr int kMaxVariantPairs = 6;
constexpr double kWindow = 0.001;
constexpr double kNoSnap = 99999.0;

bool Column(const std::vector<std::wstring>& fields, int column, std::wstring& value) {
    if (column >= static_cast<int>(fields.size()))
        return false;
    value = fields[column];
    return true;
}

std::wstring Trimmed(std::wstring text) {
    Trim(text);
    return text;
}

// Each value right-aligned in six characters, as the debug listing shows them.
std::wstring AlignedRow(const std::vector<CPartsYobiRow>& rows,
                        const std::wstring CPartsYobiRow::*member) {
    std::wstring out;
    for (const CPartsYobiRow& row : rows) {
        const std::wstring& v = row.*member;
        if (v.size() < 6)
            out.append(6 - v.size(), L' ');
        out += v;
    }
    return out;
}

} // namespace

std::wstring StripQuotes(const std::wstring& text) {
    size_t start = 0;
    size_t end = text.size();
    while (start < end && text[start] == L'"')
        ++start;
    while (end > start && text[end - 1] == L'"')
        --end;
    return text.substr(start, end - start);
}

void SortByValue(std::vector<std::wstring>& texts) {
    std::vector<double> values(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        values[i] = ToNumber(texts[i]);
    const int n = static_cast<int>(texts.size());
    for (int gap = n / 2; gap > 0; gap /= 2) {
        for (int i = gap; i < n; ++i) {
            for (int j = i - gap; j >= 0 && values[j] > values[j + gap]; j -= gap) {
                std::swap(values[j], values[j + gap]);
                std::swap(texts[j], texts[j + gap]);
            }
        }
    }
}

bool CPartsYobi::Load(const std::wstring& partName, int variant) {
    std::wstring file;
    if (!GetNominalSizeFile(file)) {
        m_partName = partName;
        m_rows.clear();
        return false;
    }
    return LoadFile(file, partName, variant);
}

bool CPartsYobi::LoadFile(const std::wstring& file, const std::wstring& partName, int variant) {
    std::vector<std::wstring> lines;
    ReadLines(file, lines, false);
    return LoadLines(std::move(lines), partName, variant);
}

bool CPartsYobi::LoadLines(std::vector<std::wstring> lines, const std::wstring& partName,
                           int variant) {
    m_partName = partName;
    m_rows.clear();
    m_size.clear();
    m_lengths.clear();
    if (lines.size() <= 2)
        return false;
    lines.push_back(L"eof"); // so that the pair after the last line always exists to look at
    if (!FindRows(lines, variant))
        return false;
    if (IsShowDebugInfo())
        PrintRows();
    return !m_rows.empty();
}

bool CPartsYobi::FindRows(const std::vector<std::wstring>& lines, int variant) {
    std::vector<std::wstring> fields;
    std::wstring value;
    int header = -1;
    int current = -1;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        Split(lines[i], fields, L"\t");
        if (Column(fields, kSizeColumn, value) && zhost::equalsNoCase(value, L"NOM_SIZE"))
            header = i;
        if (!Column(fields, kPatternColumn, value) ||
            !zhost::wcMatch(m_partName, StripQuotes(value)))
            continue;
        if (header < 0)
            return false;
        current = i == header ? i + 1 : i;
        break;
    }
    if (current < 0)
        return false;

    std::vector<std::wstring> headerFields;
    Split(lines[header], headerFields, L"\t");
    if (Column(headerFields, kVariantColumn, value) && !Trimmed(value).empty()) {
        const std::wstring variantText = std::to_wstring(variant);
        bool found = false;
        for (int tries = 0; tries < kMaxVariantPairs && !found; ++tries) {
            if (current >= static_cast<int>(lines.size()))
                return false;
            Split(lines[current], fields, L"\t");
            if (!Column(fields, kVariantColumn, value))
                return false;
            found = zhost::wcMatch(variantText, StripQuotes(value));
            if (!found)
                current += 2;
        }
        if (!found)
            return false;
    }
    if (current + 1 >= static_cast<int>(lines.size()))
        return false;

    std::vector<std::wstring> minFields;
    std::vector<std::wstring> maxFields;
    Split(lines[current], minFields, L"\t");
    Split(lines[current + 1], maxFields, L"\t");
    const size_t count = std::min({headerFields.size(), minFields.size(), maxFields.size()});
    for (size_t c = kFirstValueColumn; c < count; ++c) {
        CPartsYobiRow row{Trimmed(headerFields[c]), Trimmed(minFields[c]), Trimmed(maxFields[c])};
        if (!row.m_size.empty() && !row.m_minLength.empty() && !row.m_maxLength.empty())
            m_rows.push_back(std::move(row));
    }
    return true;
}

void CPartsYobi::PrintRows() const {
    LibraryPrint(L"\n  " + AlignedRow(m_rows, &CPartsYobiRow::m_size));
    LibraryPrint(L"\n  " + AlignedRow(m_rows, &CPartsYobiRow::m_minLength));
    LibraryPrint(L"\n  " + AlignedRow(m_rows, &CPartsYobiRow::m_maxLength));
}

bool CPartsYobi::Restrict(const std::wstring& size) {
    m_size = size;
    m_lengths.clear();
    const CPartsYobiRow* chosen = nullptr;
    for (const CPartsYobiRow& row : m_rows) {
        if (zhost::equalsNoCase(row.m_size, size)) {
            chosen = &row;
            break;
        }
    }
    if (chosen == nullptr)
        return false;
    double a = 0;
    double b = 0;
    // A size whose own limits are not numbers has no lengths to offer; the size still exists.
    if (!ParseLeadingNumber(chosen->m_minLength, a) || !ParseLeadingNumber(chosen->m_maxLength, b))
        return true;
    auto collect = [&](const std::wstring& text) {
        double v = 0;
        if (!ParseLeadingNumber(text, v) || !(a - kWindow < v && v <= b + kWindow))
            return;
        for (const std::wstring& have : m_lengths)
            if (have == text)
                return; // the set compares text: "10" and "10.0" are both kept
        m_lengths.push_back(text);
    };
    for (const CPartsYobiRow& row : m_rows) {
        collect(row.m_minLength);
        collect(row.m_maxLength);
    }
    SortByValue(m_lengths);
    return true;
}

bool CPartsYobi::GetMinLength(double& length) const {
    double v = 0;
    if (!m_lengths.empty() && ParseLeadingNumber(m_lengths.front(), v) && v >= 0.5) {
        length = v;
        return true;
    }
    if (!m_rows.empty() && !m_rows.front().m_minLength.empty() &&
        ParseLeadingNumber(m_rows.front().m_minLength, v) && v >= 0.5) {
        length = v;
        return true;
    }
    return false;
}

bool CPartsYobi::Snap(double& length) const {
    if (m_lengths.empty())
        return false;
    double best = length;
    double bestDiff = kNoSnap;
    for (const std::wstring& text : m_lengths) {
        const double v = ToNumber(text);
        const double diff = std::fabs(v - length);
        if (diff < bestDiff) {
            bestDiff = diff;
            best = v;
        }
    }
    length = best;
    return true;
}
