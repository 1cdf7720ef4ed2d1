// Feeds arbitrary text to the description's rule languages: the first line is read as a
// condition, a global rule, a per-control rule and a validation entry; every line (the first
// one too) is also a line of the table the look-ups read. Controls answer fixed values.
#include "selection/CondTestContext.h"
#include "selection/CondValidation.h"

#include "library/LibraryText.h"
#include "zhost/core/utf.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text =
        zhost::fromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::wstring> lines;
    SplitIntoLines(text, lines, true);
    const std::wstring first = lines.empty() ? std::wstring() : lines.front();
    condtest::MapContext c;
    c.FirstList(L"M10").Set(L"List1", L"M12x1.5").Set(L"Radio1", L"1").Set(L"Edit1", L"16.4");
    c.Set(L"Edit2", L"15").Set(L"Label1", first).Set(L"Check1", L"1", false);
    c.Table(L"T.dat", lines).Table(L"T.txt", lines);
    EvaluateCondition(first, c);
    for (const CRuleItem& item : ParseGlobalRule(first))
        EvaluateCondition(item.m_condition, c);
    EvaluateControlRule(first, 1);
    CheckValidationEntry(first, c);
    // The same entry against the fuzzed table, as the tapped-hole and range checks read one.
    CheckValidationEntry(L"TAP_ERR,Edit1,Edit2,List1:T.txt," + first, c);
    CheckValidationEntry(L"RANGE_ERR,Edit1,List1:T.dat," + first, c);
    CheckValidationEntry(L"Edit1>List1:Label1:T.dat," + first, c);
    return 0;
}
