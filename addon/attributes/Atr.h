#pragma once
// One attribute item of a placed part and the item list. Kept apart from the rest of the
// attribute code so that the part description, which owns the list, needs nothing else.
#include <string>
#include <vector>

// One attribute item: the tag the attribute carries in the drawing, the prompt the dialog shows
// and the value written.
struct CAtr {
    std::wstring m_tag;
    std::wstring m_prompt;
    std::wstring m_value;

    bool operator==(const CAtr&) const = default;
};

// The item list: rows of the dialog and attribute definitions, in this order.
using CAtrArray = std::vector<CAtr>;
