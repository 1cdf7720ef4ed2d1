#!/usr/bin/python3
"""Generates the bundled sample product (samples/product) from the JIS tables in tools/jis.

    /usr/bin/python3 tools/gen_sample_product.py [--out DIR]

Run with Debian's python3 (it has python3-ezdxf). The output is deterministic: the same tables
give the same bytes, so the committed product can be checked against a fresh run. The output
folder is replaced as a whole (only the folders this tool writes).
"""
import argparse
import os
import shutil
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "jis"))

from samplegen import dxfwrite, library, parts, symbols, tables, titleblock  # noqa: E402
from samplegen.expr import Num  # noqa: E402

GENERATED = ["config", "PartsData", "TitleBlocks"]


def _hidden_layer(ent):
    """Dialog pictures of the hidden line type: outlines and threads dashed, the drag handle
    left out."""
    if ent.layer == "*ADSK_CONSTRAINTS":
        return None
    return "AM_7" if ent.layer == "AM_7" else "AM_3"


def _variant_pictures(tabs, part):
    """Dialog pictures of a part's variants that share one symbol: the set screw's front view
    per point type (its "PT" parameter set)."""
    if part.kind != "set_screw":
        return []
    from samplegen import symbols_screws
    pictures = []
    for pt in range(len(symbols_screws.POINTS)):
        sym = symbols_screws.set_front(f"{part.name}_P{pt}_1", tabs)
        sym.params = [(n, Num(pt) if n == "PT" else e) for n, e in sym.params]
        pictures.append(sym)
    return pictures


def generate(out):
    # Read (and so check) every table before the old output is removed.
    tabs = tables.load()
    for folder in GENERATED:
        shutil.rmtree(os.path.join(out, folder), ignore_errors=True)
    all_parts = parts.all_parts(tabs)
    library.write_text_files(out, tabs, all_parts)
    contents = os.path.join(out, "PartsData", "PartsContents")
    os.makedirs(os.path.join(contents, "Symbols"), exist_ok=True)
    os.makedirs(os.path.join(contents, "Thumbs"), exist_ok=True)
    count = 0
    for part in all_parts:
        for sym in symbols.build(tabs, part):
            dxfwrite.write_symbol(os.path.join(contents, "Symbols", sym.name + ".dxf"), sym)
            # The line-type radio shows these pictures while "hidden" is chosen.
            dxfwrite.write_picture(os.path.join(contents, "Thumbs", sym.name + "H.dxf"), sym,
                                   _hidden_layer)
            count += 1
        for pic in _variant_pictures(tabs, part):
            thumbs = os.path.join(contents, "Thumbs")
            dxfwrite.write_picture(os.path.join(thumbs, pic.name + ".dxf"), pic,
                                   lambda ent: None if ent.layer.startswith("*") else ent.layer)
            dxfwrite.write_picture(os.path.join(thumbs, pic.name + "H.dxf"), pic, _hidden_layer)
    blocks = os.path.join(out, "TitleBlocks")
    os.makedirs(blocks, exist_ok=True)
    titleblock.write_title_block(os.path.join(blocks, "ZUWAKU_A3.dxf"))
    titleblock.write_demo(os.path.join(blocks, "ZUWAKU_demo.dxf"))
    return len(all_parts), count


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=os.path.join(HERE, "..", "samples", "product"))
    args = ap.parse_args()
    try:
        n_parts, n_symbols = generate(os.path.abspath(args.out))
    except tables.TableError as e:
        print(f"gen_sample_product: {e}", file=sys.stderr)
        sys.exit(1)
    print(f"sample product: {n_parts} parts, {n_symbols} symbol drawings -> {args.out}")


if __name__ == "__main__":
    # ezdxf writes some OBJECTS in the order of a set of strings, which follows Python's per-run
    # hash seed: pin it, so that every run writes the same bytes.
    if os.environ.get("PYTHONHASHSEED") != "0":
        os.environ["PYTHONHASHSEED"] = "0"
        os.execv(sys.executable, [sys.executable] + sys.argv)
    main()
