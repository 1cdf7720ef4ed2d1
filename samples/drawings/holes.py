#!/usr/bin/python3
"""Writes holes.dxf: the geometry of a part's block definition as a library author draws it
before marking its holes - a plate outline (closed polyline), a drilled hole (one circle), a
hole drawn as two half circles, and a slot left open at the top (three lines, not a hole).
samples/scripts/holes.scr marks the holes with KORU_ATTACH_PC_XDATA.

Run with Debian's python3-ezdxf:  /usr/bin/python3 samples/drawings/holes.py
"""
import os

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    doc = ezdxf.new("R2000", setup=False)
    doc.header["$INSUNITS"] = 4  # millimetres
    doc.layers.add("PART", color=7)
    doc.layers.add("HOLE", color=3)
    msp = doc.modelspace()
    part = {"layer": "PART"}
    hole = {"layer": "HOLE"}
    msp.add_lwpolyline([(0, 0), (120, 0), (120, 80), (0, 80)], close=True, dxfattribs=part)
    msp.add_circle((30, 40), 10, dxfattribs=hole)
    msp.add_arc((70, 40), 12, 0, 180, dxfattribs=hole)
    msp.add_arc((70, 40), 12, 180, 360, dxfattribs=hole)
    msp.add_line((95, 60), (95, 20), dxfattribs=hole)
    msp.add_line((95, 20), (110, 20), dxfattribs=hole)
    msp.add_line((110, 20), (110, 60), dxfattribs=hole)
    doc.saveas(os.path.join(HERE, "holes.dxf"))


if __name__ == "__main__":
    main()
