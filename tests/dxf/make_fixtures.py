#!/usr/bin/python3
"""Writes the ezdxf-made drawings that the DXF reader tests load (tests/dxf/data/).

Run with Debian's python3 (python3-ezdxf): /usr/bin/python3 tests/dxf/make_fixtures.py
The drawings hold one of everything the host keeps: layers, linetypes, a block with attribute
definitions, references with attributes, extended data, a group, hatches, splines and text in
Japanese, so that the same content can be checked in the R2000 (code page 932) and the R2018
(UTF-8) encodings.
"""
import os
import sys

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def build(version, encoding=None):
    doc = ezdxf.new(version, setup=True)
    if encoding:
        doc.encoding = encoding
    doc.header["$INSUNITS"] = 4
    doc.header["$LUPREC"] = 3
    doc.header["$TEXTSIZE"] = 3.5
    doc.layers.add("外形線", color=1, linetype="CONTINUOUS")
    doc.layers.add("中心線", color=3, linetype="CENTER")
    doc.appids.add("ZORMA_TEST")
    msp = doc.modelspace()

    blk = doc.blocks.new("BOLT", base_point=(0, 0))
    blk.add_circle((0, 0), 5, dxfattribs={"layer": "外形線"})
    blk.add_line((-6, 0), (6, 0), dxfattribs={"layer": "中心線"})
    blk.add_attdef("SIZE", (0, -8), dxfattribs={"prompt": "呼び径", "height": 2.5})
    blk.add_attdef("LEN", (0, -11), dxfattribs={"prompt": "長さ", "height": 2.5})

    line = msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "外形線", "color": 1})
    line.set_xdata("ZORMA_TEST", [(1000, "ボルト"), (1070, 12), (1040, 2.5),
                                  (1010, (1.0, 2.0, 3.0)), (1071, 70000)])
    msp.add_circle((50, 50), 20, dxfattribs={"layer": "外形線", "color": 5})
    msp.add_arc((0, 0), 30, 0, 90)
    msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (40, 0), (40, 20)], format="xyseb",
                       dxfattribs={"closed": True, "layer": "外形線"})
    msp.add_ellipse((120, 40), major_axis=(20, 0), ratio=0.5)
    msp.add_text("部品表 M12", dxfattribs={"height": 5, "insert": (10, 80), "rotation": 15})
    msp.add_mtext("一行目\\P二行目", dxfattribs={"insert": (10, 120), "char_height": 4,
                                                "attachment_point": 5})
    msp.add_point((5, 5))
    spline = msp.add_open_spline([(0, 0), (10, 20), (30, 20), (40, 0)], degree=3)
    spline.dxf.layer = "中心線"

    hatch = msp.add_hatch(color=3)
    hatch.paths.add_polyline_path([(60, 0), (90, 0), (90, 30), (60, 30)], is_closed=True)
    edge = hatch.paths.add_edge_path()
    edge.add_line((100, 0), (130, 0))
    edge.add_arc((115, 0), 15, 0, 180)
    edge.add_line((100, 0), (100, 0))

    ref = msp.add_blockref("BOLT", (200, 0), dxfattribs={"rotation": 30})
    ref.add_auto_attribs({"SIZE": "M12", "LEN": "40"})
    ref2 = msp.add_blockref("BOLT", (250, 0))
    ref2.add_auto_attribs({"SIZE": "M16", "LEN": "50"})

    group = doc.groups.new("組1", description="ボルトと線")
    group.extend([line, ref])
    return doc


def main(out_dir):
    build("R2000", "cp932").saveas(os.path.join(out_dir, "ezdxf_r2000_cp932.dxf"))
    build("R2018").saveas(os.path.join(out_dir, "ezdxf_r2018.dxf"))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "data"))
