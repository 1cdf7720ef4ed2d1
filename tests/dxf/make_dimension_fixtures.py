#!/usr/bin/python3
"""Writes the ezdxf-made drawings of dimensions and leaders that the DXF tests load.

Run with Debian's python3 (python3-ezdxf): /usr/bin/python3 tests/dxf/make_dimension_fixtures.py
Each drawing holds one dimension of every kind ezdxf makes (linear, rotated, aligned, angular
from two lines and from three points, diameter, radius, ordinate X and Y, arc length), a leader
with a text annotation, a multileader with text and one with a block, all with their "*D"
blocks rendered by ezdxf, in R2000 (code page 932) and R2018.
"""
import os
import sys

import ezdxf
from ezdxf.math import Vec2
from ezdxf.render import mleader

HERE = os.path.dirname(os.path.abspath(__file__))


def build(version, encoding=None):
    doc = ezdxf.new(version, setup=True)
    if encoding:
        doc.encoding = encoding
    doc.layers.add("寸法", color=2)
    msp = doc.modelspace()
    attribs = {"layer": "寸法"}

    msp.add_line((0, 0), (100, 0))
    msp.add_linear_dim(base=(0, 20), p1=(0, 0), p2=(100, 0), dxfattribs=attribs).render()
    msp.add_linear_dim(base=(0, 40), p1=(0, 0), p2=(100, 30), angle=30,
                       dxfattribs=attribs).render()
    msp.add_aligned_dim(p1=(0, 60), p2=(80, 120), distance=10, text="<> 幅",
                        dxfattribs=attribs).render()
    msp.add_angular_dim_2l(base=(160, 60), line1=((120, 0), (180, 0)),
                           line2=((120, 0), (170, 50)), dxfattribs=attribs).render()
    msp.add_angular_dim_3p(base=(260, 40), center=(220, 0), p1=(280, 0), p2=(220, 60),
                           dxfattribs=attribs).render()
    msp.add_circle((350, 50), 30)
    msp.add_diameter_dim(center=(350, 50), radius=30, angle=45, dxfattribs=attribs).render()
    msp.add_radius_dim(center=(350, 50), radius=30, angle=200, dxfattribs=attribs).render()
    msp.add_ordinate_x_dim(feature_location=(420, 30), offset=(0, 20), origin=(400, 0),
                           dxfattribs=attribs).render()
    msp.add_ordinate_y_dim(feature_location=(420, 30), offset=(30, 0), origin=(400, 0),
                           dxfattribs=attribs).render()
    msp.add_arc((500, 0), 40, 0, 90)
    msp.add_arc_dim_3p(base=(500, 60), center=(500, 0), p1=(540, 0), p2=(500, 40),
                       dxfattribs=attribs).render()

    note = msp.add_mtext("注記 M10", dxfattribs={"insert": (640, 60), "char_height": 3.5})
    leader = msp.add_leader([(600, 0), (620, 40), (640, 60)], dxfattribs=attribs)
    leader.dxf.annotation_type = 0
    leader.dxf.annotation_handle = note.dxf.handle
    leader.dxf.text_height = 3.5

    ml = msp.add_multileader_mtext("Standard")
    ml.set_content("部品 A", char_height=3.5)
    ml.add_leader_line(mleader.ConnectionSide.left, [Vec2(700, 0)])
    ml.build(insert=Vec2(730, 30))

    blk = doc.blocks.new("BALLOON")
    blk.add_circle((0, 0), 5)
    mb = msp.add_multileader_block("Standard")
    mb.set_content(name="BALLOON", alignment=mleader.BlockAlignment.center_extents)
    mb.add_leader_line(mleader.ConnectionSide.left, [Vec2(760, 0)])
    mb.build(insert=Vec2(790, 30))
    return doc


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "data")
    build("R2000", "cp932").saveas(os.path.join(out, "ezdxf_dims_r2000_cp932.dxf"))
    build("R2018").saveas(os.path.join(out, "ezdxf_dims_r2018.dxf"))


if __name__ == "__main__":
    main()
