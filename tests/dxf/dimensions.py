#!/usr/bin/python3
"""What ezdxf sees of the dimensions, leaders and multileaders of a drawing, for the DXF tests.

Usage: dimensions.py FILE
Prints, one fact a line (UTF-8), in model-space order:
  errors N / fixes N                      recover-mode and audit errors, audit fixes
  DIMENSION type=T block=NAME kinds=[..]  each dimension: its type bits, its block (which must
    points=.. text=.. style=.. normal=..  exist) with the kinds it draws, definition points
  LEADER vertices=.. annotation=KIND      each leader and the kind of entity it points at
  MULTILEADER text=.. leaders=N           each multileader's text and leader lines
Numbers are rounded to 6 decimals, so that a file written again compares equal.
"""
import sys

from ezdxf import recover


def r(v):
    return round(float(v), 6) + 0.0


def pt(p):
    return "(%g,%g,%g)" % (r(p[0]), r(p[1]), r(p[2]))


def main(path):
    doc, auditor = recover.readfile(path)
    audit = doc.audit()
    out = ["errors %d" % (len(auditor.errors) + len(audit.errors)), "fixes %d" % len(audit.fixes)]
    out += ["error %s" % e.message for e in list(auditor.errors) + list(audit.errors)]
    for e in doc.modelspace():
        kind = e.dxftype()
        if kind in ("DIMENSION", "ARC_DIMENSION"):
            name = e.dxf.get("geometry")
            block = doc.blocks.get(name) if name else None
            points = " ".join(
                "%s=%s" % (a, pt(e.dxf.get(a)))
                for a in ("defpoint", "defpoint2", "defpoint3", "defpoint4", "defpoint5",
                          "text_midpoint")
                if e.dxf.hasattr(a))
            out.append("%s type=%d block=%s kinds=%s %s text=%s style=%s normal=%s layer=%s" % (
                kind, e.dxf.dimtype, "yes" if block is not None else "MISSING",
                sorted(b.dxftype() for b in block) if block is not None else None, points,
                e.dxf.get("text", ""), e.dxf.dimstyle, pt(e.dxf.extrusion), e.dxf.layer))
        elif kind == "LEADER":
            target = doc.entitydb.get(e.dxf.get("annotation_handle", "0"))
            out.append("LEADER vertices=%s annotation=%s style=%s" % (
                " ".join(pt(v) for v in e.vertices), target.dxftype() if target else None,
                e.dxf.dimstyle))
        elif kind == "MULTILEADER":
            ctx = e.context
            text = ctx.mtext.default_content if ctx.mtext else None
            out.append("MULTILEADER text=%s block=%s leaders=%d" % (
                text, e.dxf.get("block_record_handle") is not None, len(ctx.leaders)))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv[1])
