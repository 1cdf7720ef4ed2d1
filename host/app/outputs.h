#pragma once
// The files a run writes (--out, --render), checked before anything runs: a bad name or a target
// that cannot be written is reported while the user's work is still to be done, never after.
#include "options.h"

#include <filesystem>
#include <string>

namespace zorma::app {

struct OutputPlan {
    std::filesystem::path drawing; // empty: the drawing is not saved
    std::filesystem::path picture; // empty: nothing is rendered
};

// Fills `plan` from the options. False with `error` (one line, English) when a name is unusable:
// not a .dxf (or .dwg) drawing, not a .png or .svg picture, or a target that cannot be written
// (the system's reason). A ".dwg" name saves "X.dxf" beside it: `notice` then says so.
bool planOutputs(const RunOptions& options, OutputPlan& plan, std::wstring& error,
                 std::wstring& notice);

} // namespace zorma::app
