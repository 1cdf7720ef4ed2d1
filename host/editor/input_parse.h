#pragma once
// Parsing typed answers: numbers, points and keyword lists, with the platform's rules.
#include "zhost/geom/point3d.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::ed::detail {

std::wstring_view trim(std::wstring_view s);

// A decimal number ("12", "-0.5", "1e3", ".5"); no trailing text, finite.
bool parseReal(std::wstring_view text, double& out);
// "x,y" or "x,y,z" (absolute, no "@" or "<").
bool parsePointText(std::wstring_view text, geom::Point3d& out);
// A typed point: absolute "x,y[,z]", relative "@dx,dy[,dz]" or "@" alone (the last point),
// polar "d<a" / "@d<a" (degrees). UCS coordinates.
bool parsePointAnswer(std::wstring_view text, const geom::Point3d& lastPoint, geom::Point3d& out);
// Two points separated by blanks ("x1,y1 x2,y2").
bool parseTwoPoints(std::wstring_view text, geom::Point3d& a, geom::Point3d& b);

// A keyword list as initGet takes it: local names, optionally "_" and the global names.
struct Keyword {
    std::wstring local, global;
};
std::vector<Keyword> parseKeywords(std::wstring_view list);
// The index of the keyword a typed text answers to, or -1. A "_" prefix matches global names.
int matchKeyword(const std::vector<Keyword>& keywords, std::wstring_view typed);

} // namespace zhost::ed::detail
