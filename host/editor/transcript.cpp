// The command line's transcript and number formatting.
#include "editor_state.h"

#include "zhost/core/utf.h"
#include "zhost/editor/output.h"
#include "zhost/editor/sysvars.h"
#include "zhost/settings/messages.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace zhost::ed {
namespace detail {

EditorState& state() {
    static EditorState s;
    return s;
}

db::Database* db() {
    return state().database;
}

bool echoOn() {
    auto& s = state();
    return s.frames.empty() || s.frames.back().echo;
}

} // namespace detail

using detail::state;

void print(std::wstring_view text) {
    auto& s = state();
    // An answer echoed to the transcript ends its line; a message that starts with a line break
    // right after it would otherwise leave an empty line that the platform does not show.
    if (s.swallowNextNewline && !text.empty()) {
        if (text.front() == L'\n')
            text.remove_prefix(1);
        s.swallowNextNewline = false;
    }
    if (text.empty())
        return;
    if (s.sink) {
        s.sink(text);
    } else {
        std::cout << toUtf8(text);
        std::cout.flush();
    }
}

void setTranscriptSink(TranscriptSink sink) {
    state().sink = std::move(sink);
}

namespace detail {
// Ends the current line after an echoed answer (see print).
void endEchoLine() {
    print(L"\n");
    state().swallowNextNewline = true;
}
} // namespace detail

Result rToS(double value, int unit, int prec, std::wstring& out) {
    if (unit == -1 && !ok(getVarInt(L"LUNITS", unit)))
        unit = units::decimal;
    if (prec == -1 && !ok(getVarInt(L"LUPREC", prec)))
        prec = 4;
    if (unit < 1 || unit > 5 || prec < 0 || prec > 8 || !std::isfinite(value))
        return Result::rejected;
    char buf[128];
    if (unit == units::scientific) {
        std::snprintf(buf, sizeof buf, "%.*E", prec, value);
    } else {
        // -0.00 is shown as 0.00, as the platform does.
        std::snprintf(buf, sizeof buf, "%.*f", prec, value);
        std::string t = buf;
        if (t.find_first_not_of("-0.") == std::string::npos && t.front() == '-')
            t.erase(0, 1);
        out = fromUtf8(t);
        return Result::normal;
    }
    out = fromUtf8(buf);
    return Result::normal;
}

std::wstring rToS(double value, int unit, int prec) {
    std::wstring out;
    return rToS(value, unit, prec, out) == Result::normal ? out : std::wstring();
}

Result angToS(double radians, int unit, int prec, std::wstring& out) {
    if (unit == -1)
        unit = 0;
    if (prec == -1 && !ok(getVarInt(L"AUPREC", prec)))
        prec = 0;
    if (unit != 0 || prec < 0 || prec > 8 || !std::isfinite(radians))
        return Result::rejected;
    double deg = std::fmod(radians * 180.0 / 3.141592653589793, 360.0);
    if (deg < 0)
        deg += 360.0;
    return rToS(deg, units::decimal, prec, out);
}

} // namespace zhost::ed
