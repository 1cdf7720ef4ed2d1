#pragma once
// The report of one measured region: the rows that the result dialog, the log file and the
// drawing table show, and the number format they share.
#include "geomcalc/GeomCalcTypes.h"

#include <string>
#include <vector>

// A number as the report writes it: the host's real-to-string in decimal units with `precision`
// places (LUPREC), then trailing zeros and a trailing dot dropped when the text has a dot. The
// first character always stays, so "0" and "-0.5" keep their meaning.
std::wstring FormatReportNumber(double value, int precision);

// Drops trailing zeros and then a trailing dot from a text with a dot, never its first character.
std::wstring StripTrailingZeros(std::wstring text);

// The rows of the context's records in the given form, numbers with `precision` places. Items
// whose switch is off are left out; the headings are always there.
void BuildReport(const CGeomCalcContext& ctx, ReportForm form, int precision,
                 std::vector<ReportRow>& rows);

// The same with the precision read from LUPREC (4 when it cannot be read).
void BuildReport(const CGeomCalcContext& ctx, ReportForm form, std::vector<ReportRow>& rows);
