// The geometric calculation body. The measurement is not part of this build yet; the command
// says so instead of doing nothing silently.
#include "frame/CommandBodies.h"

#include "zhost/editor/output.h"

void ZormaGeomCalcMain() {
    zhost::ed::print(L"\nこのコマンドはまだ使用できません。");
}
