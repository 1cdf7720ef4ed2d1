#!/usr/bin/python3
"""Drawings with kinds our host does not model, made and described with ezdxf.

Usage: unmodelled.py make FILE VERSION   writes the drawing (VERSION: R2000, R2018, ...)
       unmodelled.py describe FILE       prints what the drawing holds, one fact a line (UTF-8)

R2000 drawings are written in code page 932. The drawing holds a MESH, an IMAGE with its IMAGEDEF (and the reactor between them), a
WIPEOUT, a user dictionary with XRECORDs, a LINE whose extension dictionary holds an XRECORD,
a MESH inside a block, a block array (MINSERT), a dimension with its block and style, two named paper-space layouts with
content, a view and a user coordinate system. The description is what a round trip must keep: compare the
description of the original with the one of the saved copy.
"""
import sys

import ezdxf
from ezdxf import recover


def make(path, version):
    doc = ezdxf.new(version, setup=True)
    msp = doc.modelspace()
    # An R2000 file is written in Japanese Windows' code page 932; later ones are UTF-8.
    if version < "R2007":
        doc.encoding = "cp932"
    layer = "メッシュ"
    doc.layers.add(layer, color=3)
    mesh = msp.add_mesh(dxfattribs={"layer": layer, "color": 5})
    with mesh.edit_data() as data:
        data.vertices = [(0, 0, 0), (10, 0, 0), (10, 10, 0), (0, 10, 5)]
        data.faces = [(0, 1, 2, 3)]
    image_def = doc.add_image_def(filename="images/part.png", size_in_pixel=(640, 480))
    msp.add_image(image_def, insert=(20, 5), size_in_units=(6.4, 4.8), rotation=15)
    msp.add_wipeout([(40, 0), (50, 0), (50, 8), (40, 8)])
    line = msp.add_line((0, -10), (30, -10))
    xdict = line.new_extension_dict()
    xrec = xdict.add_xrecord("ZORMA_NOTE")
    xrec.reset([(1, "線の注記"), (40, 2.5), (70, 7)])
    data = doc.rootdict.add_new_dict("ZORMA_DATA")
    for n in range(3):
        x = data.add_xrecord("ITEM%d" % n)
        x.reset([(1, "値%d" % n), (10, (n, n * 2.0, 0)), (90, 1000 + n)])
    block = doc.blocks.new("MESHBLOCK")
    bmesh = block.add_mesh()
    with bmesh.edit_data() as bdata:
        bdata.vertices = [(0, 0, 0), (1, 0, 0), (0, 1, 0)]
        bdata.faces = [(0, 1, 2)]
    msp.add_blockref("MESHBLOCK", (60, 0))
    # A block array (MINSERT): 4 rows and 5 columns of the block from one record.
    msp.add_blockref("MESHBLOCK", (80, 0)).grid(size=(4, 5), spacing=(3, 4))
    msp.add_linear_dim(base=(0, 25), p1=(0, 20), p2=(30, 20), dimstyle="EZDXF").render()
    assembly = doc.layouts.new("組立図")
    assembly.add_circle((5, 5), 2)
    detail = doc.layouts.new("Detail")
    detail.add_line((0, 0), (10, 10))
    detail.add_text("A-A")
    doc.views.new("Front")
    doc.ucs.new("Tilted")
    doc.saveas(path)


def tags_text(xrecord):
    return " ".join("%d=%s" % (t.code, t.value) for t in xrecord.tags)


def describe(path):
    doc, auditor = recover.readfile(path)
    audit = doc.audit()
    out = ["errors %d" % (len(auditor.errors) + len(audit.errors))]
    out += ["error %s" % e.message for e in list(auditor.errors) + list(audit.errors)]
    counts = {}
    for e in doc.modelspace():
        counts[e.dxftype()] = counts.get(e.dxftype(), 0) + 1
        kind = e.dxftype()
        if kind == "MESH":
            out.append("mesh layer=%s color=%d vertices=%s faces=%s" % (
                e.dxf.layer, e.dxf.color, [tuple(v) for v in e.vertices],
                [tuple(f) for f in e.faces]))
        elif kind == "IMAGE":
            d = e.image_def
            out.append("image insert=%s size=%s def=%s pixels=%s" % (
                tuple(e.dxf.insert), tuple(e.dxf.image_size),
                d.dxf.filename if d else None, tuple(d.dxf.image_size) if d else None))
        elif kind == "WIPEOUT":
            out.append("wipeout boundary=%s" % [tuple(v) for v in e.boundary_path])
        elif kind == "LINE" and e.has_extension_dict:
            x = e.get_extension_dict().get("ZORMA_NOTE")
            out.append("line note %s" % (tags_text(x) if x is not None else None))
        elif kind == "INSERT":
            out.append("insert %s %s array=%dx%d spacing=%g,%g" % (
                e.dxf.name, [b.dxftype() for b in e.block()], e.dxf.row_count,
                e.dxf.column_count, e.dxf.row_spacing, e.dxf.column_spacing))
        elif kind == "DIMENSION":
            block = doc.blocks.get(e.dxf.geometry)
            out.append("dimension style=%s block=%s" % (
                e.dxf.dimstyle, sorted(b.dxftype() for b in block) if block else None))
    out += ["count %s %d" % kv for kv in sorted(counts.items())]
    for name in doc.layouts.names_in_taborder():
        if name != "Model":
            out.append("layout %s %s" % (name, sorted(e.dxftype() for e in doc.layouts.get(name))))
    out.append("dimstyles %s" % sorted(d.dxf.name for d in doc.dimstyles))
    out.append("views %s" % sorted(v.dxf.name for v in doc.views))
    out.append("ucs %s" % sorted(u.dxf.name for u in doc.ucs))
    data = doc.rootdict.get("ZORMA_DATA")
    if data is not None:
        for key, x in sorted(data.items()):
            out.append("data %s %s" % (key, tags_text(x)))
    objects = {}
    for o in doc.objects:
        if o.dxftype() in ("XRECORD", "IMAGEDEF", "IMAGEDEF_REACTOR", "RASTERVARIABLES"):
            objects[o.dxftype()] = objects.get(o.dxftype(), 0) + 1
    out += ["objects %s %d" % kv for kv in sorted(objects.items())]
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    else:
        describe(sys.argv[2])
