#!/usr/bin/env bash
# Debian's libocct-foundation-dev 7.6.3 ships Poly_ArrayOfNodes.hxx, which includes
# NCollection_AliasedArray.hxx, but not that header itself. We take the header from Debian's own
# source package of the installed version and keep it in an ignored folder of the tree, which the
# build adds as a system include directory. Nothing of it is committed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dest="$here/third_party/occt-fix"
header=NCollection_AliasedArray.hxx

[ -f /usr/include/opencascade/$header ] && exit 0   # a fixed package needs nothing
[ -f "$dest/$header" ] && exit 0

version=$(dpkg-query -W -f='${Version}' libocct-foundation-dev)
upstream=${version%%-*}            # 7.6.3+dfsg1
echo "setup: fetching $header from Debian's opencascade $version source"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/sources"
cat > "$work/sources/src.sources" <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $(. /etc/os-release && echo "$VERSION_CODENAME")
Components: main
SRC
apt_opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/sources"
          -o Dir::State::Lists="$work/lists" -qq)
apt-get "${apt_opts[@]}" update
(cd "$work" && apt-get "${apt_opts[@]}" source --download-only "opencascade=$version" >/dev/null)
tarball=$(ls "$work"/opencascade_"$upstream".orig.tar.* | head -n 1)
member=$(tar -tf "$tarball" | grep "/src/NCollection/$header\$" | head -n 1)
mkdir -p "$dest"
tar -xf "$tarball" -C "$work" "$member"
cp "$work/$member" "$dest/$header"
echo "setup: $header placed in third_party/occt-fix"
