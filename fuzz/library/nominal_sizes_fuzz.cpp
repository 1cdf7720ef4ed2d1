// The nominal-size reader over arbitrary bytes: the first line names the part and the variant
// to look for, the rest is the file. Every size found is then chosen, and lengths are snapped.
#include "library/LibraryText.h"
#include "library/PartsYobi.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::wstring> lines;
    SplitIntoLines(DecodeLibraryText(bytes), lines, false);
    if (lines.empty())
        return 0;
    std::wstring part = lines.front();
    Trim(part);
    const double number = ToNumber(part.substr(part.find_last_of(L' ') + 1));
    const int variant = std::fabs(number) < 1e9 ? static_cast<int>(number) : -1;
    lines.erase(lines.begin());

    CPartsYobi yobi;
    yobi.LoadLines(lines, part, variant);
    double length = 0;
    yobi.GetMinLength(length);
    for (const CPartsYobiRow& row : yobi.GetRows()) {
        if (!yobi.Restrict(row.m_size))
            __builtin_trap(); // a size of the rows is always found
        double previous = -INFINITY;
        for (const std::wstring& text : yobi.GetLengths()) {
            double v = 0;
            if (!ParseLeadingNumber(text, v) || v < previous)
                __builtin_trap(); // lengths are numbers in ascending order
            previous = v;
        }
        for (double probe : {-1e300, -1.0, 0.0, 12.5, 1e300, static_cast<double>(NAN)}) {
            double l = probe;
            if (yobi.Snap(l) != !yobi.GetLengths().empty())
                __builtin_trap();
        }
        yobi.GetMinLength(length);
    }
    return 0;
}
