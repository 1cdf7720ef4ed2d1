#pragma once
// gtest printing of attribute items, so that a failed comparison names tag, prompt and value.
#include "attributes/PartAttributes.h"

#include "zhost/core/utf.h"

#include <ostream>

inline void PrintTo(const CAtr& item, std::ostream* os) {
    *os << "{" << zhost::toUtf8(item.m_tag) << ", " << zhost::toUtf8(item.m_prompt) << ", \""
        << zhost::toUtf8(item.m_value) << "\"}";
}
