#!/usr/bin/python3
"""Writes geomcalc_shaft.dxf: the half section of a flanged shaft above its axis (lines and
fillet arcs), a cross bore through the flange with a pin in it (a hole with an island), the
axis as a centre line, and an A3 title block that the sample product's rules recognise.

Run with Debian's python3-ezdxf:  /usr/bin/python3 samples/drawings/geomcalc_shaft.py
"""
import os

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def outline(msp):
    # Counter-clockwise from the bottom left; the bottom edge is the through bore (radius 8).
    line = lambda a, b: msp.add_line(a, b, dxfattribs={"layer": "OUTLINE"})
    arc = lambda c, r, a0, a1: msp.add_arc(c, r, a0, a1, dxfattribs={"layer": "OUTLINE"})
    line((0, 8), (120, 8))
    line((120, 8), (120, 20))
    line((120, 20), (105, 20))
    arc((105, 25), 5, 180, 270)   # stub to flange fillet
    line((100, 25), (100, 42))
    arc((97, 42), 3, 0, 90)       # flange edge rounds
    line((97, 45), (83, 45))
    arc((83, 42), 3, 90, 180)
    line((80, 42), (80, 20))
    arc((75, 20), 5, 270, 360)    # flange to shaft fillet
    line((75, 15), (0, 15))
    line((0, 15), (0, 8))


def title_block(doc, msp):
    frame = doc.blocks.new("FRAME_A3")
    frame.add_lwpolyline([(0, 0), (420, 0), (420, 297), (0, 297)], close=True)
    frame.add_lwpolyline([(10, 10), (410, 10), (410, 287), (10, 287)], close=True)
    frame.add_line((250, 10), (250, 40))
    frame.add_line((250, 40), (410, 40))
    frame.add_text("FLANGED SHAFT  1:1", dxfattribs={"height": 5, "insert": (258, 22)})
    msp.add_blockref("FRAME_A3", (-150, -120), dxfattribs={"layer": "ZUWAKU"})


def main():
    doc = ezdxf.new("R2010", setup=False)
    doc.header["$INSUNITS"] = 4
    doc.header["$TEXTSIZE"] = 2.5
    doc.header["$LUPREC"] = 4
    doc.layers.add("OUTLINE", color=7)
    doc.layers.add("HOLES", color=4)
    doc.layers.add("CENTER", color=1)
    doc.layers.add("ZUWAKU", color=8)
    msp = doc.modelspace()
    title_block(doc, msp)
    outline(msp)
    msp.add_circle((90, 33), 6, dxfattribs={"layer": "HOLES"})    # cross bore
    msp.add_circle((90, 33), 2.5, dxfattribs={"layer": "HOLES"})  # pin in it
    msp.add_line((-10, 0), (130, 0), dxfattribs={"layer": "CENTER"})
    doc.saveas(os.path.join(HERE, "geomcalc_shaft.dxf"))


if __name__ == "__main__":
    main()
