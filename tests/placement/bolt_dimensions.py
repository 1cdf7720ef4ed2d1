#!/usr/bin/python3
"""Measures the hex bolts placed in a drawing, as ezdxf reads them, for the tests.

Usage: bolt_dimensions.py FILE
For each model-space INSERT, in drawing order, prints one line
  BLOCKNAME K E L B
measured in its block: K the head height and E the head's width across corners (the closed
four-point outline left of the bearing face), L the length (the shank outline's far end), B the
thread length (from the thread lines' start to the end).
"""
import sys

import ezdxf


def measure(block):
    head = shank = None
    thread_starts = []
    for e in block:
        kind = e.dxftype()
        if kind == "LWPOLYLINE":
            pts = [(p[0], p[1]) for p in e.get_points()]
            if e.closed and len(pts) == 4 and all(x <= 1e-9 for x, _ in pts):
                head = pts
            elif not e.closed and len(pts) == 6:
                shank = pts
        elif kind == "LINE" and e.dxf.layer.upper() == "AM_4":
            thread_starts.append(min(e.dxf.start.x, e.dxf.end.x))
    if head is None or shank is None or not thread_starts:
        return None
    k = -min(x for x, _ in head)
    e = max(y for _, y in head) - min(y for _, y in head)
    length = max(x for x, _ in shank)
    return k, e, length, length - min(thread_starts)


def main():
    doc = ezdxf.readfile(sys.argv[1])
    for ins in doc.modelspace().query("INSERT"):
        dims = measure(doc.blocks.get(ins.dxf.name))
        if dims is None:
            print(ins.dxf.name, "unmeasured")
        else:
            print(ins.dxf.name, " ".join("%.6f" % v for v in dims))


if __name__ == "__main__":
    main()
