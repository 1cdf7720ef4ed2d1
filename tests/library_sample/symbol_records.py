#!/usr/bin/python3
"""Reads DXF files with ezdxf (an independent reader) for the sample-library tests.

For every file given it prints tab-separated lines:
  FILE   path  audit-errors  audit-fixes
  PARAM  name  expression  stored-value           (model space's ZHOST_PARAM PARAMS record)
  BIND   entity-type  layer  property  expression  choices (comma-joined)
  EXT    layer  min-x  min-y  max-x  max-y         (extents of the visible entities per layer)
Run with Debian's python3, which has python3-ezdxf.
"""
import sys

sys.dont_write_bytecode = True

from ezdxf import bbox, recover  # noqa: E402
from ezdxf.audit import AuditError  # noqa: E402

APP = "ZHOST_PARAM"


def groups(tags):
    """The { ... } groups of a record after its kind and version."""
    out, current = [], None
    for code, value in tags[2:]:
        if code == 1002 and value == "{":
            current = []
        elif code == 1002 and value == "}":
            out.append(current)
            current = None
        elif current is not None:
            current.append(value)
    return out


def xdata(entity):
    if not entity.has_xdata(APP):
        return []
    return [(t.code, t.value) for t in entity.get_xdata(APP)]


# Construction geometry lies on the platform's layer "*SUPPRESS", whose leading "*" DXF's
# table-name rules do not allow; ezdxf's audit names the layer for every entity on it. That one
# finding is expected; any other is counted.
SUPPRESS_LAYER = "*SUPPRESS"


def counted(errors):
    return [e for e in errors
            if not (e.code == AuditError.INVALID_LAYER_NAME and e.data == SUPPRESS_LAYER)]


def main(paths):
    for path in paths:
        doc, auditor = recover.readfile(path)
        audit = doc.audit()
        errors = len(counted(auditor.errors)) + len(counted(audit.errors))
        print(f"FILE\t{path}\t{errors}\t{len(auditor.fixes) + len(audit.fixes)}")
        msp = doc.modelspace()
        record = xdata(msp.block_record)
        if record and record[0][1] == "PARAMS":
            for g in groups(record):
                print(f"PARAM\t{g[0]}\t{g[1]}\t{g[2]!r}")
        layers = {}
        for e in msp:
            tags = xdata(e)
            if tags and tags[0][1] == "BIND":
                for g in groups(tags):
                    print(f"BIND\t{e.dxftype()}\t{e.dxf.layer}\t{g[0]}\t{g[1]}\t{','.join(g[2:])}")
            if not e.dxf.get("invisible", 0):
                layers.setdefault(e.dxf.layer, []).append(e)
        for layer, entities in sorted(layers.items()):
            box = bbox.extents(entities)
            if box.has_data:
                print(f"EXT\t{layer}\t{box.extmin.x:.6f}\t{box.extmin.y:.6f}\t"
                      f"{box.extmax.x:.6f}\t{box.extmax.y:.6f}")


if __name__ == "__main__":
    main(sys.argv[1:])
