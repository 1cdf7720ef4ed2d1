#!/usr/bin/python3
"""Writes one catalogue sheet per part of the sample product: every size side by side, as a DXF
drawing, and renders it to PNG with the program's renderer.

    /usr/bin/python3 tools/library_sheets.py ZORMA [--out docs/library]

ZORMA is the built program (build/release/bin/zorma). The DXF sheets are left beside the
pictures only with --keep-dxf.
"""
import argparse
import os
import subprocess
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "jis"))

from samplegen import parts, sheets, symbols, tables  # noqa: E402


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("zorma")
    ap.add_argument("--out", default=os.path.join(HERE, "..", "docs", "library"))
    ap.add_argument("--keep-dxf", action="store_true")
    ap.add_argument("--size", default="1600x700")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    tabs = tables.load()
    for part in parts.all_parts(tabs):
        syms = symbols.build(tabs, part)
        dxf = os.path.join(args.out, part.name + ".dxf")
        sheets.write_sheet(dxf, part, syms, tabs)
        png = os.path.join(args.out, part.name + ".png")
        subprocess.run([args.zorma, "render", dxf, png, "--size", args.size], check=True,
                       stdout=subprocess.DEVNULL)
        if not args.keep_dxf:
            os.remove(dxf)
        print(png)


if __name__ == "__main__":
    if os.environ.get("PYTHONHASHSEED") != "0":
        os.environ["PYTHONHASHSEED"] = "0"
        os.execv(sys.executable, [sys.executable] + sys.argv)
    main()
