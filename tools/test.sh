#!/usr/bin/env bash
# Sets up the machine, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every test. This is what CI runs.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash tools/setup.sh
# Let ccache reuse objects across clones of the tree (CI builds in a fresh folder).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)"
ctest --preset dev
# The host stands on its own: it builds and runs without the add-on folder.
bash tools/check_host_alone.sh
