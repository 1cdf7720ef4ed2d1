#pragma once
// The tapped-hole depth check ("TAP_ERR" entries of a description's validation rules): a tapped
// hole is drilled deeper than it is threaded, by the incomplete thread run-out below the full
// thread, so the drill depth must exceed the thread depth plus that run-out.
#include "selection/CondRules.h"

#include <string>
#include <vector>

// The quantities of one check, in drawing units.
struct CTapDepth {
    double m_h = 0;     // H = P * sqrt(3) * 0.5, the height of the fundamental triangle
    double m_d1 = 0;    // d1 = |d - 1.25 H|, the minor diameter
    double m_c = 0;     // C = 0.5 (d - d1) tan 60 degrees, the incomplete thread
    double m_limit = 0; // B + C: the drill depth must be greater than this
};

// The arithmetic, in double precision, for pitch P, nominal diameter d and thread depth B.
CTapDepth ComputeTapDepth(double pitch, double diameter, double threadDepth);

// The outcome of a check, with what it read and computed for the diagnostic message box.
struct CTapCheck {
    bool m_passed = true;
    bool m_computed = false;         // false when something was missing and the check passed unread
    std::wstring m_a, m_b, m_d, m_p; // the texts read: drill depth, thread depth, d, P
    CTapDepth m_depth;
    std::wstring m_message; // on failure: "<message> キリ深さ><limit>"
};

// Runs the check of one "TAP_ERR" entry split at its commas: 1 the drill depth control, 2 the
// thread depth control, 3 nominal:pitch (a pitch control, or a table when the name ends in
// ".txt" or ".csv"), 4 and after the message. Missing values pass; only a computed limit that
// the drill depth does not exceed fails.
CTapCheck CheckTapDepth(const std::vector<std::wstring>& fields, const CCondContext& context);

// The calculation shown when the diagnostic switch is on, one item per line.
std::wstring TapDepthDebugText(const CTapCheck& check);
