#pragma once
// LineTypeState: what the parameter step learned about a part's line types, handed on to the
// static part block and the category mapping. A bolt drawn with a dashed head or body gets its
// hidden pieces marked; a part drawn dashed as a whole goes onto the hidden-line category.
#include <cstdint>

struct LineTypeState {
    bool m_headDashed = false;
    bool m_bodyDashed = false;
    bool m_headNotSet = true; // no head line type was chosen yet
    bool m_wholeDashed = false;

    // One 32-bit value with a byte per flag in the order above, the lowest byte first, so that
    // whole dashed is the highest byte. Placement passes the state on in this form.
    std::uint32_t Pack() const;
    // The state a packed value holds; any non-zero byte counts as a set flag.
    static LineTypeState Unpack(std::uint32_t packed);

    bool operator==(const LineTypeState&) const = default;
};
