#!/usr/bin/python3
"""Writes flange_joint.dxf: two flanges of a pipe joint in section, bolted at two holes - the
drawing on which samples/scripts/parts_contents.scr places M12 hex bolts with their washers and
nuts and then changes the bolts.

The pipe's axis runs along X (its centre line at y = 0); the flanges are 20 mm thick each,
x 0 to 20 and 20 to 40, from the bore (y = +/-30) to y = +/-80. The bolt holes (13.5 mm, the
medium series for M12) are centred at y = +/-55; in section they are gaps in the hatched
flanges. The pipe walls (6 mm) leave the flanges on both sides, broken off.

Run with Debian's python3-ezdxf:  /usr/bin/python3 samples/drawings/flange_joint.py
"""
import os

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))

THICK = 20.0
OUTER = 80.0
BORE = 30.0
HOLE_Y = 55.0
HOLE_R = 6.75


def flange(msp, x0, x1, attribs, hatch_attribs):
    """One flange in section: the two solid pieces on either side of each bolt hole, above and
    below the bore, hatched."""
    spans = [(HOLE_Y + HOLE_R, OUTER), (BORE, HOLE_Y - HOLE_R)]
    for sign in (1, -1):
        for lo, hi in spans:
            y0, y1 = sorted((sign * lo, sign * hi))
            pts = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
            msp.add_lwpolyline(pts, close=True, dxfattribs=attribs)
            hatch = msp.add_hatch(dxfattribs=hatch_attribs)
            hatch.set_pattern_fill("ANSI31", scale=0.8, angle=0 if x0 == 0 else 90)
            hatch.paths.add_polyline_path(pts, is_closed=True)


def main():
    doc = ezdxf.new("R2000", setup=True)
    doc.header["$INSUNITS"] = 4  # millimetres
    doc.layers.add("FLANGE", color=7)
    doc.layers.add("HATCH", color=8)
    doc.layers.add("CENTER", color=1, linetype="CENTER")
    msp = doc.modelspace()
    attribs = {"layer": "FLANGE"}
    hatch_attribs = {"layer": "HATCH"}
    flange(msp, 0.0, THICK, attribs, hatch_attribs)
    flange(msp, THICK, 2 * THICK, attribs, hatch_attribs)
    # The pipe walls beyond the flanges, broken off.
    for sign in (1, -1):
        msp.add_line((-40, sign * BORE), (0, sign * BORE), dxfattribs=attribs)
        msp.add_line((-40, sign * (BORE + 6)), (0, sign * (BORE + 6)), dxfattribs=attribs)
        msp.add_line((2 * THICK, sign * BORE), (2 * THICK + 40, sign * BORE), dxfattribs=attribs)
        msp.add_line((2 * THICK, sign * (BORE + 6)), (2 * THICK + 40, sign * (BORE + 6)),
                     dxfattribs=attribs)
    msp.add_line((-45, 0), (2 * THICK + 45, 0), dxfattribs={"layer": "CENTER"})
    doc.saveas(os.path.join(HERE, "flange_joint.dxf"))


if __name__ == "__main__":
    main()
