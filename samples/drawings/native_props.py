#!/usr/bin/python3
"""Writes native_props.dxf: what a drawing of another program holds beyond index colours and
plain lines - polylines tapering from vertex to vertex (an arrow, a bulged 2D polyline), a 3D
polyline, true colours, a pattern hatch whose line families carry dashes, and a two-colour
gradient - on which samples/scripts/11-native-properties.scr turns and scales the hatches.

Run with Debian's python3-ezdxf:  /usr/bin/python3 samples/drawings/native_props.py
"""
import os

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    doc = ezdxf.new("R2018")
    msp = doc.modelspace()
    # An arrow: a shaft 1 wide, then a head from 6 to 0.
    msp.add_lwpolyline([(0, 0, 1, 1, 0), (30, 0, 6, 0, 0), (40, 0, 0, 0, 0)], format="xyseb")
    # A 2D polyline whose widths grow along a bulged outline.
    flat = msp.add_polyline2d([(0, 20), (20, 20), (30, 35), (10, 45)],
                              dxfattribs={"color": 5})
    for k, v in enumerate(flat.vertices):
        v.dxf.start_width = 0.5 * k
        v.dxf.end_width = 0.5 * (k + 1)
        v.dxf.bulge = 0.4 if k == 1 else 0
    space = msp.add_polyline3d([(50, 20, 0), (60, 30, 10), (70, 20, 20), (80, 30, 0)])
    space.rgb = (0, 128, 64)
    for k in range(5):
        c = msp.add_circle((55 + 8 * k, 5), 3.5, dxfattribs={"color": 7})
        c.rgb = (60 * k, 200 - 40 * k, 255 - 50 * k)
    pattern = msp.add_hatch(color=1)
    pattern.paths.add_polyline_path([(0, -40), (40, -40), (40, -15), (0, -15)], is_closed=True)
    pattern.set_pattern_fill("ANSI33", scale=1.5, angle=0)
    grad = msp.add_hatch()
    grad.paths.add_polyline_path([(50, -40), (95, -40), (95, -15), (50, -15)], is_closed=True)
    grad.set_gradient((255, 140, 0), (20, 40, 160), rotation=0, name="LINEAR")
    doc.saveas(os.path.join(HERE, "native_props.dxf"))


if __name__ == "__main__":
    main()
