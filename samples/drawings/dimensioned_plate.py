#!/usr/bin/python3
"""Writes dimensioned_plate.dxf: a 120 x 60 plate with a bore and a chamfered corner, dimensioned
the way a drafter would (width and height, the bore's diameter, the corner radius, the chamfer's
angle, an ordinate of the bore) with a leader to a note, on which
samples/scripts/11-dimensions.scr moves, copies and lists dimensions.

Run with Debian's python3-ezdxf:  /usr/bin/python3 samples/drawings/dimensioned_plate.py
"""
import os

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    doc = ezdxf.new("R2018", setup=True)
    doc.layers.add("DIM", color=3)
    msp = doc.modelspace()
    dim = {"layer": "DIM"}
    # Millimetre sizes: ezdxf's own styles are made for metres.
    mm = {"dimlfac": 1, "dimtxt": 3.5, "dimasz": 3, "dimexe": 1.5, "dimexo": 1, "dimgap": 1, "dimcen": 0}
    # The outline: lower-left corner rounded (radius 10), upper-right corner chamfered 15 x 15.
    msp.add_lwpolyline([(10, 0, 0), (120, 0, 0), (120, 45, 0), (105, 60, 0), (0, 60, 0),
                        (0, 10, -0.41421356237)], format="xyb", close=True)
    msp.add_circle((40, 30), 12)
    msp.add_linear_dim(base=(0, -15), p1=(0, 0), p2=(120, 0), override=mm, dxfattribs=dim).render()
    msp.add_linear_dim(base=(135, 0), p1=(120, 0), p2=(120, 45), angle=90,
                       override=mm, dxfattribs=dim).render()
    msp.add_diameter_dim(center=(40, 30), radius=12, angle=45, override=mm, dxfattribs=dim).render()
    msp.add_radius_dim(center=(10, 10), radius=10, angle=225, override=mm, dxfattribs=dim).render()
    msp.add_angular_dim_3p(base=(108, 36), center=(120, 45), p1=(105, 60), p2=(120, 0),
                           override=mm, dxfattribs=dim).render()
    msp.add_ordinate_y_dim(feature_location=(40, 30), offset=(-25, 0), origin=(0, 0),
                           override=mm, dxfattribs=dim).render()
    note = msp.add_mtext("R10 typ.", dxfattribs={"insert": (-30, 80), "char_height": 3.5})
    leader = msp.add_leader([(3, 3), (-10, 70), (-30, 78)], dxfattribs=dim)
    leader.dxf.annotation_type = 0
    leader.dxf.annotation_handle = note.dxf.handle
    leader.dxf.text_height = 3.5
    doc.saveas(os.path.join(HERE, "dimensioned_plate.dxf"))


if __name__ == "__main__":
    main()
