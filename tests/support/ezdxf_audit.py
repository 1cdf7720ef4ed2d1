#!/usr/bin/python3
"""An independent reading of a DXF file with ezdxf, for the tests.

Usage: ezdxf_audit.py FILE
Prints, one per line (UTF-8):
  errors N          errors found while recovering the file and by the audit
  fixes N           what the audit had to fix
  error TEXT        each error's message
  fix TEXT          each fix's message
  count KIND N      model-space entities of each kind
Exit status 0 when the file could be read at all, 1 when not (the reason on standard error).
"""
import sys

from ezdxf import recover


def main(path):
    try:
        doc, auditor = recover.readfile(path)
    except Exception as e:  # any failure to read at all is the finding
        sys.stderr.write("ezdxf cannot read %s: %s\n" % (path, e))
        return 1
    audit = doc.audit()
    errors = list(auditor.errors) + list(audit.errors)
    out = ["errors %d" % len(errors), "fixes %d" % len(audit.fixes)]
    out += ["error %s" % e.message for e in errors]
    out += ["fix %s" % f.message for f in audit.fixes]
    counts = {}
    for e in doc.modelspace():
        counts[e.dxftype()] = counts.get(e.dxftype(), 0) + 1
    out += ["count %s %d" % kv for kv in sorted(counts.items())]
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
