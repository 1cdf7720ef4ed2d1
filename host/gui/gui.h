#pragma once
// `zorma gui`: the session of `zorma run` in a desktop window.
#include "../app/options.h"

namespace zorma::gui {

// Exit codes as `zorma run`; 3 when no display can be opened.
int runGui(const app::RunOptions& options);

} // namespace zorma::gui
