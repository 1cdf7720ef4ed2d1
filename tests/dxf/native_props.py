#!/usr/bin/python3
"""Drawings with the properties and polyline forms the host models natively, made and described
with ezdxf.

Usage: native_props.py make FILE VERSION   writes the drawing (VERSION: R12, R2000, R2018, ...)
       native_props.py describe FILE       prints what the drawing holds, one fact a line (UTF-8)

The drawing holds light-weight polylines with constant and per-vertex widths, bulges and an
elevation; old-style 2D polylines with tapering widths and bulges; a 3D polyline whose vertices
each have their own z; a polyface mesh; lines, circles, arcs, points, texts, solids and traces
with a thickness; from R2004 on, true colours, colour names and transparencies; from R2000 on,
a hatch with pattern lines and an ellipse; from R2004 on, a hatch with a two-colour gradient. The description is what a round
trip must keep: compare the description of the original with the one of the saved copy.
"""
import sys

import ezdxf
from ezdxf import recover


def make(path, version):
    doc = ezdxf.new(version)
    if version < "R2007":
        doc.encoding = "cp1252"
    msp = doc.modelspace()
    colours = version >= "R2004"
    modern = version > "R12"

    def props(n, **extra):
        attribs = {"layer": "L%d" % (n % 3), "color": 1 + n % 7}
        attribs.update(extra)
        return attribs

    def paint(entity, n):
        if not colours:
            return entity
        entity.rgb = ((n * 37) % 256, (n * 91) % 256, (n * 53) % 256)
        if n % 2:
            entity.dxf.color_name = "DIC COLOR GUIDE(R)$DIC %d" % (100 + n)
        entity.transparency = (n % 5) / 5.0
        return entity

    n = 0
    for make_one in (
        lambda a: msp.add_line((0, 0), (10, 5), dxfattribs=dict(a, thickness=2.5)),
        lambda a: msp.add_circle((20, 0), 4, dxfattribs=dict(a, thickness=-1.25)),
        lambda a: msp.add_arc((40, 0), 6, 10, 200, dxfattribs=dict(a, thickness=3)),
        lambda a: msp.add_point((50, 5, 1), dxfattribs=dict(a, thickness=0.5)),
        lambda a: msp.add_text("TÜRHÖHE", dxfattribs=dict(a, insert=(0, 20), height=2.5,
                                                           thickness=0.75)),
        lambda a: msp.add_solid([(60, 0), (70, 0), (60, 8), (72, 9)],
                                dxfattribs=dict(a, thickness=1.5)),
        lambda a: msp.add_trace([(80, 0), (90, 0), (80, 2), (90, 2)],
                                dxfattribs=dict(a, thickness=0.25)),
    ):
        n += 1
        paint(make_one(props(n)), n)

    # Old-style polylines: flat with tapering widths, bulges and an elevation; in space.
    n += 1
    flat = msp.add_polyline2d([(0, -20), (20, -20), (20, -10), (0, -10)],
                              dxfattribs=props(n, elevation=(0, 0, 2.5), thickness=1.0))
    flat.close(True)
    for k, v in enumerate(flat.vertices):
        v.dxf.start_width = 0.5 * k
        v.dxf.end_width = 0.25 + k
        v.dxf.bulge = 0.5 if k == 1 else 0
    paint(flat, n)
    n += 1
    steady = msp.add_polyline2d([(30, -20), (40, -20), (40, -12)],
                                dxfattribs=props(n, default_start_width=0.4,
                                                 default_end_width=0.4))
    paint(steady, n)
    n += 1
    space = msp.add_polyline3d([(0, -40, 0), (10, -40, 5), (10, -30, -2.5), (0, -30, 7)],
                               dxfattribs=props(n))
    space.close(True)
    paint(space, n)
    n += 1
    mesh = msp.add_polyface(dxfattribs=props(n))
    mesh.append_face([(50, -40, 0), (60, -40, 0), (60, -30, 3)])
    mesh.append_face([(50, -40, 0), (60, -30, 3), (50, -30, 3)])
    paint(mesh, n)

    if modern:
        n += 1
        paint(msp.add_lwpolyline(
            [(0, -60, 0, 0, 0), (20, -60, 0.5, 2, 0.4), (20, -50, 0, 0, 0), (0, -50, 1, 1, -1)],
            format="xyseb", dxfattribs=props(n, elevation=3.0, thickness=0.5, closed=1)), n)
        n += 1
        paint(msp.add_lwpolyline([(30, -60), (40, -60), (40, -50)],
                                 dxfattribs=props(n, const_width=0.7)), n)
        n += 1
        hatch = msp.add_hatch(dxfattribs=props(n))
        hatch.paths.add_polyline_path([(60, -60), (90, -60), (90, -40), (60, -40)],
                                      is_closed=True)
        hatch.set_pattern_fill("ANSI32", scale=2, angle=15)
        paint(hatch, n)
        n += 1
        paint(msp.add_ellipse((100, 0), major_axis=(8, 2), ratio=0.5, dxfattribs=props(n)), n)
    if colours:
        n += 1
        grad = msp.add_hatch(dxfattribs=props(n))
        grad.paths.add_polyline_path([(100, -60), (130, -60), (130, -40)], is_closed=True)
        grad.set_gradient((255, 128, 0), (0, 0, 192), rotation=30, centered=1,
                          name="INVSPHERICAL")
        paint(grad, n)
    doc.saveas(path)


def fmt(value):
    if isinstance(value, float):
        return "%.6g" % (0.0 if abs(value) < 5e-12 else value)
    if isinstance(value, (tuple, list)) or hasattr(value, "x"):
        return " ".join(fmt(float(c)) for c in value)
    return str(value)


def common(e):
    d = e.dxf
    words = [e.dxftype(), d.get("layer", "0"), fmt(d.get("color", 256))]
    for key in ("true_color", "color_name", "transparency", "thickness"):
        value = d.get(key) if d.is_supported(key) else None
        if value is not None and value != 0:
            words.append("%s=%s" % (key, fmt(value)))
    return " ".join(words)


def describe(path):
    doc, auditor = recover.readfile(path)
    out = ["errors %d" % len(auditor.errors), "fixes %d" % len(auditor.fixes)]
    counts = {}
    for e in doc.modelspace():
        counts[e.dxftype()] = counts.get(e.dxftype(), 0) + 1
        out.append(common(e))
        kind = e.dxftype()
        if kind == "LWPOLYLINE":
            out.append("  closed %d const %s elevation %s" % (
                e.closed, fmt(e.dxf.get("const_width", 0.0)), fmt(e.dxf.get("elevation", 0.0))))
            for p in e.get_points("xyseb"):
                out.append("  v " + fmt(p))
        elif kind == "POLYLINE":
            out.append("  mode %s closed %d vertices %d faces %d" % (
                e.get_mode(), e.is_closed, len(e.vertices),
                len(list(e.faces())) if e.is_poly_face_mesh else 0))
            if e.is_2d_polyline:
                out.append("  elevation %s" % fmt(e.dxf.elevation.z))
            for v in e.vertices:
                w = [fmt(v.dxf.location)]
                if e.is_2d_polyline:
                    w += [fmt(v.dxf.get("start_width", e.dxf.get("default_start_width", 0.0))),
                          fmt(v.dxf.get("end_width", e.dxf.get("default_end_width", 0.0))),
                          fmt(v.dxf.get("bulge", 0.0))]
                out.append("  v " + " ".join(w))
        elif kind == "HATCH":
            out.append("  pattern %s solid %d" % (e.dxf.pattern_name, e.dxf.solid_fill))
            if e.pattern:
                for line in e.pattern.lines:
                    out.append("  line %s %s %s %s" % (fmt(line.angle), fmt(line.base_point),
                                                       fmt(line.offset), fmt(line.dash_length_items)))
            if e.gradient:
                g = e.gradient
                out.append("  gradient %s %s %s %d %s %s %s" % (
                    g.name, fmt(g.rotation), fmt(g.centered), g.one_color, fmt(g.tint),
                    fmt(g.color1), fmt(g.color2)))
    for kind in sorted(counts):
        out.append("count %s %d" % (kind, counts[kind]))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    else:
        describe(sys.argv[2])
