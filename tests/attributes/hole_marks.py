#!/usr/bin/python3
"""Prints the hole marks of a DXF drawing as an independent reader sees them.

Loads the file with ezdxf in recover mode, audits it, and prints
    audit <number of errors> <number of fixes>
    <DXF type> <serial or -> for every model-space entity, in file order
The serial is the 1070 value of the entity's "ZORMA-PARTS-HOLE" extended data; "-" without it.
"""
import sys

from ezdxf import recover


def main(path):
    doc, auditor = recover.readfile(path)
    doc.audit()
    print("audit", len(auditor.errors), len(auditor.fixes))
    for entity in doc.modelspace():
        serial = "-"
        if entity.has_xdata("ZORMA-PARTS-HOLE"):
            for code, value in entity.get_xdata("ZORMA-PARTS-HOLE"):
                if code == 1070:
                    serial = str(value)
        print(entity.dxftype(), serial)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
