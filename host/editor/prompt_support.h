#pragma once
// What the prompts, the selection and the jig share: the pending initGet and the last keyword.
#include "input_parse.h"

#include "zhost/editor/prompt_view.h"

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
// What the screen shows of a prompt of this kind: its keywords and, given one, the base point
// (UCS) of its rubber band.
PromptView viewOf(PromptView::Kind kind, const std::vector<Keyword>& keywords,
                  const geom::Point3d* ucsBase = nullptr);

} // namespace zhost::ed::detail
