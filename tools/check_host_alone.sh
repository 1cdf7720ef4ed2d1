#!/usr/bin/env bash
# Proves that the host stands without the add-on: configures and builds the program from a copy
# of the tree that has no addon/ folder (symbolic links to everything else), then checks that
# "zorma library" says the verbs come with the add-on instead of failing to link or crashing.
# The build uses the dev preset's flags and ccache with the copy as its base folder, so after a
# normal build its objects come from the cache.
#
#   bash tools/check_host_alone.sh [WORK_DIR]      (default: a temporary folder, removed after)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${1:-}
cleanup=false
if [ -z "$work" ]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/zorma-host-alone-XXXXXX")
  cleanup=true
fi
trap '$cleanup && rm -rf "$work"' EXIT
src="$work/src"
mkdir -p "$src"
for entry in "$here"/* "$here"/.clang-format; do
  name=$(basename "$entry")
  case "$name" in
    addon|build|out) ;;
    *) ln -sfn "$entry" "$src/$name" ;;
  esac
done
[ ! -e "$src/addon" ] || { echo "check_host_alone: addon/ is still there" >&2; exit 1; }

export CCACHE_BASEDIR="$src" CCACHE_NOHASHDIR=true
cmake -S "$src" -B "$src/build/dev" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORMA_SANITIZE=ON \
  -DZORMA_TESTS=OFF -DZORMA_BENCH=OFF >/dev/null
cmake --build "$src/build/dev" -j "$(nproc)" --target zorma >/dev/null

zorma="$src/build/dev/bin/zorma"
"$zorma" --version
set +e
out=$("$zorma" library check 2>&1)
rc=$?
set -e
if [ "$rc" -ne 2 ] || ! grep -q "the library tools come with the add-on" <<<"$out"; then
  echo "check_host_alone: 'zorma library check' without the add-on answered $rc:" >&2
  echo "$out" >&2
  exit 1
fi
echo "check_host_alone: the host builds and runs without addon/"
