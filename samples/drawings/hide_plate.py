#!/usr/bin/python3
"""Writes hide_plate.dxf: an assembly seen from the front - a plate with three bolts passing
through it. The plate and the bolt are blocks as the parts library makes them; the bolts' shanks
run behind the plate. samples/scripts/hide.scr turns the covered lines into hidden lines, in
both modes of ZORMA_HIDE, and restores one bolt.

Run with Debian's python3-ezdxf:  /usr/bin/python3 samples/drawings/hide_plate.py
"""
import os

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    doc = ezdxf.new("R2000", setup=["linetypes"])
    doc.header["$INSUNITS"] = 4  # millimetres
    doc.layers.add("PART", color=7)
    doc.layers.add("HIDDEN", color=4, linetype="DASHED")
    part = {"layer": "PART"}

    plate = doc.blocks.new("PLATE")
    plate.add_lwpolyline([(0, 0), (120, 0), (120, 20), (0, 20)], close=True, dxfattribs=part)

    # A hexagon-head bolt M10 x 40 seen from the side: head on top, shank downwards from the
    # insertion point, thread lines on the lower half, a chamfer arc on the head.
    bolt = doc.blocks.new("BOLT")
    bolt.add_lwpolyline([(-8, 0), (8, 0), (8, 7), (-8, 7)], close=True, dxfattribs=part)
    bolt.add_line((-5, 0), (-5, -40), dxfattribs=part)
    bolt.add_line((5, 0), (5, -40), dxfattribs=part)
    bolt.add_line((-5, -40), (5, -40), dxfattribs=part)
    bolt.add_line((-4, -18), (-4, -40), dxfattribs=part)
    bolt.add_line((4, -18), (4, -40), dxfattribs=part)
    bolt.add_arc((0, 7), 4, 0, 180, dxfattribs=part)

    msp = doc.modelspace()
    msp.add_blockref("PLATE", (0, 0), dxfattribs=part)
    for x in (30, 60, 90):
        msp.add_blockref("BOLT", (x, 20), dxfattribs=part)
    doc.saveas(os.path.join(HERE, "hide_plate.dxf"))


if __name__ == "__main__":
    main()
