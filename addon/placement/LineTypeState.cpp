#include "placement/LineTypeState.h"

std::uint32_t LineTypeState::Pack() const {
    return std::uint32_t(m_headDashed) | std::uint32_t(m_bodyDashed) << 8 |
           std::uint32_t(m_headNotSet) << 16 | std::uint32_t(m_wholeDashed) << 24;
}

LineTypeState LineTypeState::Unpack(std::uint32_t packed) {
    LineTypeState s;
    s.m_headDashed = (packed & 0xffu) != 0;
    s.m_bodyDashed = (packed >> 8 & 0xffu) != 0;
    s.m_headNotSet = (packed >> 16 & 0xffu) != 0;
    s.m_wholeDashed = (packed >> 24 & 0xffu) != 0;
    return s;
}
