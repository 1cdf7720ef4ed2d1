#pragma once
// What the prompts, the selection and the jig share: the pending initGet and the last keyword.
#include "input_parse.h"

#include <string>
#include <vector>

namespace zhost::ed::detail {

struct InitGetState {
    int flags = 0;
    std::vector<Keyword> keywords;
};

// initGet applies to one prompt: taking it clears it.
InitGetState takeInitGet();
// The text getInput() reports next.
void setLastInput(std::wstring text);

} // namespace zhost::ed::detail
