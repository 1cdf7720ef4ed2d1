#!/usr/bin/python3
"""Our DXF reader and writer against ezdxf on the same 100,000-entity drawing, in one run.

Runs bench/dxf's benchmark program (built by the release preset), which leaves the drawing it
reads at $TMPDIR/zorma_bench_100k.dxf, then times ezdxf reading that very file, and prints both
figures, their ratio and the machine's load before and after (a figure means little without it).
Both are timed in processor time of the process (what a loaded machine's wall clock inflates by
how many others wait for the cores) and in wall time.

With --baseline, another build's benchmark program (say, an older commit's, built by the release
preset in another worktree) runs the same reading benchmarks first, so that two readers are
compared in one run; each program reads the drawing its own writer made (their sizes are shown).

Usage: /usr/bin/python3 tools/dxf_speed.py [--bench PATH] [--baseline PATH] [--filter REGEX]
                                           [--ezdxf-runs N]
"""
import argparse
import json
import os
import subprocess
import sys
import time


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def run_bench(label, program, regex):
    """Runs one benchmark program; {name: (cpu s, wall s, MB)}."""
    out = subprocess.run([program, "--benchmark_filter=" + regex, "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    got = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("error_occurred"):
            sys.exit("%s %s failed: %s" % (label, b["name"], b.get("error_message", "")))
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b.get("time_unit", "ns")]
        got[b["name"]] = (b["cpu_time"] * scale, b["real_time"] * scale, b.get("MB", 0.0))
        print("%-8s %-36s cpu %8.1f ms  wall %8.1f ms  %5.1f MB  (%d iterations)"
              % (label, b["name"], got[b["name"]][0] * 1e3, got[b["name"]][1] * 1e3,
                 got[b["name"]][2], b["iterations"]))
    return got


def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--bench", default=os.path.join(here, "build/release/bin/dxf_bench"))
    ap.add_argument("--filter", default="BM_ReadDxf100k/|BM_WriteDxf100k/",
                    help="the benchmarks to run besides ezdxf (Google Benchmark's filter)")
    ap.add_argument("--baseline", help="another build's dxf_bench, run on the same benchmarks")
    ap.add_argument("--ezdxf-runs", type=int, default=3)
    args = ap.parse_args()
    if not os.access(args.bench, os.X_OK):
        sys.exit("no benchmark program at %s: cmake --preset release && "
                 "cmake --build --preset release -j2 --target dxf_bench" % args.bench)

    print("load before: %s (1, 5, 15 min; %d cores)" % (load(), os.cpu_count()))
    if args.baseline:
        base = run_bench("baseline", args.baseline, args.filter)
    ours = run_bench("zorma", args.bench, args.filter)
    if args.baseline:
        for name, (cpu, _wall, _mb) in ours.items():
            if name in base:
                print("%s: %+.1f%% processor time against the baseline"
                      % (name, 100 * (cpu / base[name][0] - 1)))

    path = os.path.join(os.environ.get("TMPDIR") or "/tmp", "zorma_bench_100k.dxf")
    try:
        import ezdxf
    except ImportError:
        print("ezdxf is not installed (python3-ezdxf): no comparison")
        return
    cpu = wall = None
    for _ in range(args.ezdxf_runs):
        start, start_cpu = time.perf_counter(), time.process_time()
        doc = ezdxf.readfile(path)
        elapsed, elapsed_cpu = time.perf_counter() - start, time.process_time() - start_cpu
        cpu = elapsed_cpu if cpu is None else min(cpu, elapsed_cpu)
        wall = elapsed if wall is None else min(wall, elapsed)
    print("ezdxf %s read %s: %d entities, %.1f MB, best of %d: cpu %.1f ms  wall %.1f ms"
          % (ezdxf.__version__, path, len(doc.modelspace()), os.path.getsize(path) / 1e6,
             args.ezdxf_runs, cpu * 1e3, wall * 1e3))
    read = [v for k, v in ours.items() if k.startswith("BM_ReadDxf100k/")]
    if read:
        print("reading: zorma is %.1fx faster than ezdxf in processor time, %.1fx in wall time"
              % (cpu / read[0][0], wall / read[0][1]))
    print("load after: %s" % load())


if __name__ == "__main__":
    main()
