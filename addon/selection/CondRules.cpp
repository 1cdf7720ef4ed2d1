#include "selection/CondRules.h"

#include "library/LibraryText.h"

#include "zhost/core/utf.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Trimmed(std::wstring text) {
    Trim(text);
    return text;
}

// Blank and capital "M" are not part of a table key: "M 10" and "10" name the same row.
std::wstring WithoutBlanksAndM(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L' ' && c != L'M')
            out += c;
    }
    return out;
}

bool TermHolds(const std::wstring& left, CondOp op, const std::wstring& right,
               const CCondContext& context) {
    std::wstring leftValue;
    if (left.empty() || StartsWithNoCase(left, L"List")) {
        leftValue = context.GetFirstListLine();
    } else {
        bool enabled = true;
        context.GetControlValue(left, leftValue, enabled);
    }
    const double l = ConditionNumber(leftValue);
    const double r = ConditionNumber(right);
    switch (op) {
    case CondOp::LessEqual:
        return l <= r;
    case CondOp::Less:
        return l < r;
    case CondOp::GreaterEqual:
        return l >= r;
    case CondOp::Greater:
        return l > r;
    case CondOp::Equal:
        return l == r;
    case CondOp::None:
        return false;
    }
    return false;
}

void AddOnce(std::vector<CRuleTarget>& set, const CRuleTarget& target) {
    for (const CRuleTarget& t : set) {
        if (t.m_name == target.m_name && t.m_options == target.m_options)
            return;
    }
    set.push_back(target);
}

} // namespace

std::wstring UpperText(const std::wstring& text) {
    std::wstring out = Trimmed(text);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return out;
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const std::wstring_view p(prefix);
    return text.size() >= p.size() &&
           zhost::equalsNoCase(std::wstring_view(text).substr(0, p.size()), p);
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
    const std::wstring_view s(suffix);
    return text.size() >= s.size() &&
           zhost::equalsNoCase(std::wstring_view(text).substr(text.size() - s.size()), s);
}

int ToIndex(const std::wstring& text, int fallback) {
    double v = 0;
    if (!ParseLeadingNumber(text, v) || !(v > -2147483648.0 && v < 2147483648.0))
        return fallback;
    return static_cast<int>(v);
}

double ConditionNumber(const std::wstring& text) {
    std::wstring t = Trimmed(text);
    if (!t.empty() && (t.front() == L'M' || t.front() == L'm'))
        t.erase(0, 1);
    return ToNumber(t);
}

bool SplitTerm(const std::wstring& term, std::wstring& left, CondOp& op, std::wstring& right) {
    struct Candidate {
        const wchar_t* text;
        CondOp op;
    };
    static constexpr Candidate kOps[] = {{L"<=", CondOp::LessEqual},
                                         {L"<", CondOp::Less},
                                         {L">=", CondOp::GreaterEqual},
                                         {L">", CondOp::Greater},
                                         {L"=", CondOp::Equal}};
    for (const Candidate& c : kOps) {
        const size_t at = term.find(c.text);
        if (at == std::wstring::npos)
            continue;
        left = Trimmed(term.substr(0, at));
        right = Trimmed(term.substr(at + std::wstring_view(c.text).size()));
        op = c.op;
        return true;
    }
    left = Trimmed(term);
    right.clear();
    op = CondOp::None;
    return false;
}

bool EvaluateCondition(const std::wstring& condition, const CCondContext& context) {
    const std::wstring whole = Trimmed(condition);
    if (zhost::equalsNoCase(whole, L"true") || whole == L"1")
        return true;
    if (zhost::equalsNoCase(whole, L"false") || whole == L"0")
        return false;
    bool anyCounted = false;
    bool anyHeld = false;
    size_t start = 0;
    while (start <= whole.size()) {
        const size_t sep = whole.find_first_of(L"&|", start);
        const std::wstring term =
            whole.substr(start, sep == std::wstring::npos ? std::wstring::npos : sep - start);
        std::wstring left;
        std::wstring right;
        CondOp op = CondOp::None;
        if (SplitTerm(term, left, op, right)) {
            const bool holds = TermHolds(left, op, right, context);
            if (sep != std::wstring::npos && whole[sep] == L'&') {
                if (!holds)
                    return false;
            } else {
                anyCounted = true;
                anyHeld = anyHeld || holds;
            }
        }
        if (sep == std::wstring::npos)
            break;
        start = sep + 1;
    }
    return !anyCounted || anyHeld;
}

std::vector<CRuleTarget> ParseRuleTargets(const std::wstring& text) {
    std::vector<CRuleTarget> targets;
    std::vector<std::wstring> items;
    Split(text, items, L",");
    bool afterOption = false; // the previous item addressed an option of a radio
    for (std::wstring item : items) {
        Trim(item);
        if (item.empty())
            continue;
        const size_t colon = item.find(L':');
        if (colon != std::wstring::npos) {
            CRuleTarget t;
            t.m_name = Trimmed(item.substr(0, colon));
            t.m_options.push_back(ToIndex(item.substr(colon + 1), -1));
            if (t.m_name.empty())
                continue;
            targets.push_back(std::move(t));
            afterOption = true;
        } else if (afterOption && item.size() <= 2) {
            targets.back().m_options.push_back(ToIndex(item, -1));
        } else {
            targets.push_back({item, {}});
            afterOption = false;
        }
    }
    return targets;
}

std::vector<CRuleItem> ParseGlobalRule(const std::wstring& entry) {
    std::vector<CRuleItem> items;
    std::vector<std::wstring> words;
    Split(entry, words, L" ");
    for (std::wstring word : words) {
        Trim(word);
        const size_t colon = word.find(L':');
        if (colon == std::wstring::npos)
            continue;
        CRuleItem item;
        item.m_condition = word.substr(0, colon);
        item.m_targets = ParseRuleTargets(word.substr(colon + 1));
        items.push_back(std::move(item));
    }
    return items;
}

CEnableSets EvaluateControlRule(const std::wstring& rule, int state) {
    CEnableSets sets;
    std::vector<std::wstring> entries;
    Split(rule, entries, L" ");
    for (std::wstring entry : entries) {
        Trim(entry);
        const size_t colon = entry.find(L':');
        if (colon == std::wstring::npos)
            continue;
        double digit = 0;
        const bool numeric = ParseLeadingNumber(entry.substr(0, colon), digit);
        const bool match = numeric && digit == static_cast<double>(state);
        for (CRuleTarget t : ParseRuleTargets(entry.substr(colon + 1))) {
            t.m_name = UpperText(t.m_name);
            AddOnce(match ? sets.m_enable : sets.m_disable, t);
        }
    }
    return sets;
}

std::wstring NormaliseNominal(const std::wstring& value) {
    std::wstring out = WithoutBlanksAndM(value);
    const size_t x = out.find(L'x');
    if (x != std::wstring::npos)
        out.erase(x);
    return out;
}

bool FindTableRow(const std::vector<std::wstring>& lines, const std::wstring& nominalValue,
                  std::vector<std::wstring>& fields) {
    const std::wstring key = NormaliseNominal(nominalValue);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::wstring& line = lines[i];
        const size_t tab = line.find(L'\t');
        const std::wstring first = WithoutBlanksAndM(line.substr(0, tab));
        if (!zhost::equalsNoCase(first, key))
            continue;
        Split(line, fields, L"\t");
        return true;
    }
    return false;
}

bool LookUpRow(const CCondContext& context, const std::wstring& nominalControl,
               const std::wstring& table, std::vector<std::wstring>& fields) {
    std::wstring value;
    bool enabled = true;
    if (!context.GetControlValue(Trimmed(nominalControl), value, enabled))
        return false;
    std::vector<std::wstring> lines;
    if (!context.ReadTable(Trimmed(table), lines))
        return false;
    return FindTableRow(lines, value, fields);
}

std::wstring ReplaceFirstPercentS(const std::wstring& message, const std::wstring& text) {
    const size_t at = message.find(L"%s");
    if (at == std::wstring::npos)
        return message;
    return message.substr(0, at) + text + message.substr(at + 2);
}
