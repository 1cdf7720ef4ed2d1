"""The sample title block (drawing frame) and a drawing that uses it.

"ZUWAKU_A3.dxf" is an A3 landscape frame whose model space is the block; the rules of
"Zorma_Zuwaku.ini" find a reference of "ZUWAKU_A#" on the layer "ZUWAKU" and take its X scale
as the drawing scale. "ZUWAKU_demo.dxf" holds that frame at scale 2 (a 1:2 drawing) around two
closed profiles to measure: a plate with a bore and a stepped shaft's half section.
"""
from .dxfwrite import new_document, save

WIDTH, HEIGHT, MARGIN = 420.0, 297.0, 10.0


def _frame(layout, layer):
    a = {"layer": layer}
    layout.add_lwpolyline([(0, 0), (WIDTH, 0), (WIDTH, HEIGHT), (0, HEIGHT)], close=True,
                          dxfattribs=a)
    m = MARGIN
    inner = layout.add_lwpolyline([(m, m), (WIDTH - m, m), (WIDTH - m, HEIGHT - m),
                                   (m, HEIGHT - m)], close=True, dxfattribs=a)
    inner.dxf.const_width = 0.7
    x0, y0 = WIDTH - m - 180, m
    layout.add_lwpolyline([(x0, y0), (x0, y0 + 40), (WIDTH - m, y0 + 40)], dxfattribs=a)
    for y in (y0 + 10, y0 + 20, y0 + 30):
        layout.add_line((x0, y), (WIDTH - m, y), a)
    layout.add_line((x0 + 30, y0), (x0 + 30, y0 + 40), a)
    for text, row in (("図番", 0), ("尺度", 1), ("図名", 2), ("会社", 3)):
        layout.add_text(text, height=3.5, dxfattribs={"layer": layer, "insert": (
            x0 + 4, y0 + 3 + 10 * row)})
    layout.add_text("ZORMA SAMPLE", height=5, dxfattribs={"layer": layer, "insert": (
        x0 + 36, y0 + 32.5)})


def write_title_block(path):
    doc = new_document()
    _frame(doc.modelspace(), "0")
    save(doc, path)


def write_demo(path):
    doc = new_document()
    doc.layers.add("ZUWAKU", color=3)
    block = doc.blocks.new("ZUWAKU_A3")
    _frame(block, "0")
    msp = doc.modelspace()
    msp.add_blockref("ZUWAKU_A3", (0, 0), dxfattribs={"layer": "ZUWAKU", "xscale": 2.0,
                                                       "yscale": 2.0})
    # A 120 x 80 plate with a 40 mm bore, and a stepped shaft (diameters 40 and 30) cut
    # along its axis (the axis is the line y = 300).
    msp.add_lwpolyline([(100, 100), (220, 100), (220, 180), (100, 180)], close=True,
                       dxfattribs={"layer": "AM_0"})
    msp.add_circle((160, 140), 20, dxfattribs={"layer": "AM_0"})
    msp.add_lwpolyline([(100, 300), (220, 300), (220, 315), (160, 315), (160, 320),
                        (100, 320)], close=True, dxfattribs={"layer": "AM_0"})
    msp.add_line((90, 300), (230, 300), dxfattribs={"layer": "AM_7"})
    save(doc, path)
