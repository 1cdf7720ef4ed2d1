#!/usr/bin/python3
"""Independent check of a DXF file with ezdxf, for the DXF tests.

Usage: ezdxf_check.py FILE
Prints, one per line (UTF-8):
  errors N            audit errors in recover mode
  fixes N             audit fixes
  count KIND N        entities of a kind in model space
  attrib TAG VALUE    every attribute of every block reference in model space
  xdata APP VALUE...  every extended data string/number of model-space entities
  group NAME N        groups and their sizes
"""
import sys

import ezdxf
from ezdxf import recover


def main(path):
    doc, auditor = recover.readfile(path)
    aud = doc.audit()
    out = []
    out.append("errors %d" % (len(auditor.errors) + len(aud.errors)))
    out.append("fixes %d" % len(aud.fixes))
    for e in aud.errors:
        out.append("error-text %s" % e.message)
    counts = {}
    msp = doc.modelspace()
    for e in msp:
        counts[e.dxftype()] = counts.get(e.dxftype(), 0) + 1
        if e.dxftype() == "INSERT":
            for a in e.attribs:
                out.append("attrib %s %s" % (a.dxf.tag, a.dxf.text))
        if e.xdata:
            for app in e.xdata.data:
                values = []
                for tag in e.xdata.get(app):
                    if tag.code in (1000, 1070, 1071, 1040):
                        values.append(str(tag.value))
                out.append("xdata %s %s" % (app, " ".join(values)))
    for kind, n in sorted(counts.items()):
        out.append("count %s %d" % (kind, n))
    for name, group in doc.groups:
        out.append("group %s %d" % (name, len(group)))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv[1])
