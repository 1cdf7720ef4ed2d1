#!/usr/bin/python3
"""Times ezdxf reading the drawing that bench/dxf/dxf_bench writes (run that first), so that the
ratio to our reader can be quoted.

Usage: /usr/bin/python3 bench/dxf/ezdxf_read.py [FILE]   (default $TMPDIR/zorma_bench_100k.dxf)
"""
import os
import sys
import time

import ezdxf


def main():
    default = os.path.join(os.environ.get("TMPDIR") or "/tmp", "zorma_bench_100k.dxf")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    best = None
    for _ in range(3):
        start = time.perf_counter()
        doc = ezdxf.readfile(path)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    n = len(doc.modelspace())
    size = os.path.getsize(path) / 1e6
    print("ezdxf %s read %s: %d entities, %.1f MB, best of 3: %.3f s"
          % (ezdxf.__version__, path, n, size, best))


if __name__ == "__main__":
    main()
