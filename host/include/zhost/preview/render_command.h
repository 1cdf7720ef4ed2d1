#pragma once
// `zorma render IN.dxf OUT.png|OUT.svg [--size WxH]`: the program dispatches its "render"
// command here. argv holds the arguments after "render", optionally preceded by the word
// "render" itself (skipped once). Prints errors to stderr and
// returns the exit status (0 done, 1 unreadable drawing or unwritable image, 2 bad arguments).
namespace zhost::preview {

int runRenderCommand(int argc, char** argv);

} // namespace zhost::preview
