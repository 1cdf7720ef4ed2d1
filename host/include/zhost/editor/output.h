#pragma once
// The command line's output (the platform's acutPrintf) and number formatting (acdbRToS).
//
// Text goes to the transcript, which the program writes to standard output in UTF-8. A "\n" at
// the start of a text that follows an echoed answer does not open an empty line, as on the
// platform's command line.
#include "zhost/editor/format.h"
#include "zhost/editor/result.h"

#include <functional>
#include <string>
#include <string_view>

namespace zhost::ed {

// Prints text as it is (never as a format).
void print(std::wstring_view text);
// acutPrintf: printf(L"\n%s: %d", name, n). The format is a literal (see format.h).
template <class... Args> void printf(LiteralFormat fmt, const Args&... args) {
    print(format(fmt, args...));
}

// Where the transcript goes. The default writes UTF-8 to standard output; tests and the program
// may install their own sink (an empty sink restores the default).
using TranscriptSink = std::function<void(std::wstring_view text)>;
void setTranscriptSink(TranscriptSink sink);

// Linear units of rToS (the platform's LUNITS values).
namespace units {
inline constexpr int scientific = 1;
inline constexpr int decimal = 2;
inline constexpr int engineering = 3;
inline constexpr int architectural = 4;
inline constexpr int fractional = 5;
} // namespace units

// acdbRToS: a real as text. unit -1 and prec -1 take LUNITS and LUPREC. Decimal mode rounds to
// `prec` places and drops trailing zeros only when DIMZIN asks (never here: "25.00" stays);
// scientific writes "1.2500E+01". Result::rejected for an unknown unit or a precision outside
// 0..8; the other units are written as decimal.
Result rToS(double value, int unit, int prec, std::wstring& out);
// Convenience: the text, or "" on a bad unit/precision.
std::wstring rToS(double value, int unit = units::decimal, int prec = -1);
// acdbAngToS in degrees (unit 0) with a precision: angles are radians.
Result angToS(double radians, int unit, int prec, std::wstring& out);

} // namespace zhost::ed
