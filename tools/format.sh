#!/usr/bin/env bash
# Keeps the C++ sources in the repo's .clang-format style with one pinned clang-format, so that a
# formatter upgrade never shows up as a diff in unrelated files.
#   bash tools/format.sh          reformat every tracked C++ file in place
#   bash tools/format.sh --check  list the files that drift and fail (CI runs this)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
pinned=14
tool=$(command -v "clang-format-$pinned" || command -v clang-format || true)
if [ -z "$tool" ] || ! "$tool" --version | grep -q "version $pinned\."; then
    echo "format: clang-format $pinned is required (Debian package clang-format-$pinned)" >&2
    exit 2
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp' '*.cc')
if [ "${1:-}" = "--check" ]; then
    # One run over all files; the formatter names each drifting file in its diagnostics.
    mapfile -t drift < <("$tool" --dry-run --Werror "${files[@]}" 2>&1 |
        sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
    if ((${#drift[@]})); then
        printf 'format: not in the repo style (run bash tools/format.sh):\n' >&2
        printf '  %s\n' "${drift[@]}" >&2
        exit 1
    fi
    echo "format: ${#files[@]} files in style"
else
    printf '%s\0' "${files[@]}" | xargs -0 -r "$tool" -i
fi
