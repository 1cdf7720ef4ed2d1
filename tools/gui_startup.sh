#!/usr/bin/env bash
# Times `zorma gui` from its launch to the first picture of the drawing painted in the window, and
# to the end of an empty script, under one virtual display (xvfb-run), several runs; with the
# program's CPU time, which a loaded machine changes less than the wall time.
#
#   bash tools/gui_startup.sh [ZORMA] [DRAWING.dxf] [RUNS]
#
# ZORMA defaults to the release build's program, DRAWING to samples/drawings/holes.dxf (the
# 100,000-entity drawing of bench/dxf is $TMPDIR/zorma_bench_100k.dxf). Prints one line a run and
# the machine's load.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
zorma=${1:-$root/build/release/bin/zorma}
drawing=${2:-$root/samples/drawings/holes.dxf}
runs=${3:-5}
[[ -x $zorma ]] || { echo "no program at $zorma: build it first" >&2; exit 2; }
[[ -f $drawing ]] || { echo "no drawing at $drawing" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed (tools/setup.sh)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/empty.scr"
cat >"$work/runs.sh" <<EOF
set -u
for i in \$(seq 1 $runs); do
  start=\$(date +%s.%N)
  TIMEFORMAT='%U %S'
  cpu=\$( { time ZORMA_GUI_TIMING=1 "$zorma" gui "$drawing" --script "$work/empty.scr" \
    >/dev/null 2>"$work/err.txt" || true; } 2>&1 )
  end=\$(date +%s.%N)
  painted=\$(sed -n 's/^zorma gui: first picture painted at //p' "$work/err.txt" | head -1)
  if [[ -z \$painted ]]; then
    echo "run \$i: no picture painted"; cat "$work/err.txt"
  else
    awk -v s="\$start" -v p="\$painted" -v e="\$end" -v c="\$cpu" \
      'BEGIN { split(c, t, " "); printf "run %d: first picture %.3f s, script done and window closed %.3f s (CPU %.3f s)\n", '"\$i"', p - s, e - s, t[1] + t[2] }'
  fi
done
EOF
echo "zorma gui $(basename "$drawing"), $runs runs; load: $(uptime)"
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/runs.sh"
