#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need, and repairs the one known fault of
# Debian's Open CASCADE dev package. Idempotent and quiet when all is already in place.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev libtbb-dev
  libmuparser-dev
  libcairo2-dev libpango1.0-dev fonts-ipafont-gothic
  python3-ezdxf
  clang libclang-rt-14-dev clang-format-14
  xz-utils
  libwxgtk3.2-dev libx11-dev xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$here/tools/occt-fix-header.sh"
