#!/usr/bin/env bash
# Sets up the machine, builds the optimised program and the add-on, and runs the showcase on the
# bundled sample product. Results go to out/demo: per scenario a transcript (.txt), the saved
# drawing (.dxf) and a picture (.png).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash tools/setup.sh
# Let ccache reuse objects across clones of the tree (CI builds in a fresh folder).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake --preset release -DZORMA_TESTS=OFF -DZORMA_BENCH=OFF >/dev/null
# Everything but the tests: the program, the host library and the add-ons that exist.
cmake --build --preset release -j "$(nproc)" --target all
build/release/bin/zorma --version
build/release/bin/zorma demo --out-dir out/demo
