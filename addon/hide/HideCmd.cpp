// The hidden-line bodies. Hidden-line treatment is not part of this build yet; the commands say
// so instead of doing nothing silently.
#include "frame/CommandBodies.h"

#include "zhost/editor/output.h"

void ZormaHideMain() {
    zhost::ed::print(L"\nこのコマンドはまだ使用できません。");
}

void ZormaHideRestoreMain() {
    zhost::ed::print(L"\nこのコマンドはまだ使用できません。");
}
