#pragma once
// The validation rules of a description ("error" section), checked in order when the user
// presses OK: the first failing entry keeps the dialog open with its message.
//
//   TAP_ERR,<drill depth>,<thread depth>,<nominal>:<pitch control or table>,<message>
//   RANGE_ERR,<value control>,<nominal control>:<table>,<message with %s>
//   <left><op><right>,<message>   fails when the comparison holds; "$" before a name makes the
//                                 entry apply only when that control has a value
#include "selection/CondRules.h"
#include "selection/TapDepth.h"

#include <string>
#include <vector>

// The outcome of one entry.
struct CValidationResult {
    bool m_failed = false;
    bool m_end = false;     // an empty condition: the checking ends here, passed
    std::wstring m_message; // the message to show on failure
    bool m_isTap = false;   // a tapped-hole check, with its calculation below
    CTapCheck m_tap;
};

// Checks one entry.
CValidationResult CheckValidationEntry(const std::wstring& entry, const CCondContext& context);

// Checks the entries in order up to the first failing one (returned, m_failed set) or the end
// of the list or an empty condition (m_failed clear). `onTapCheck`, when given, sees every
// tapped-hole check that computed a limit (the dialog shows it when diagnostics are on).
template <class OnTap>
CValidationResult Validate(const std::vector<std::wstring>& entries, const CCondContext& context,
                           OnTap&& onTapCheck) {
    for (const std::wstring& entry : entries) {
        CValidationResult r = CheckValidationEntry(entry, context);
        if (r.m_isTap && r.m_tap.m_computed)
            onTapCheck(r.m_tap);
        if (r.m_end || r.m_failed)
            return r;
    }
    return {};
}
