#!/usr/bin/python3
"""Identity data of placed parts seen through ezdxf, for the tests.

Usage:
  identity_dxf.py dump FILE      prints each model-space INSERT as lines (UTF-8):
                                   insert BLOCKNAME
                                   xdata APP CODE VALUE    (every extended-data item)
                                   attrib TAG VALUE
  identity_dxf.py legacy FILE    writes a drawing as the earlier symbol library left them:
                                   SYM_NUT: code "JIS_B1181_1_01" on the block record,
                                     a reference with MRCD_PART and MRCD_SYMBOL data and
                                     two attributes ATT_TAG_1 and ATT_TAG_7;
                                   SYM_BOLT: code "B1180_2_02" on the BLOCK entity,
                                     referenced only by its hidden copy SYM_BOLT_A1 (no marks);
                                   PLAIN: a block without marks and a reference to it.
Values are printed with the DXF text escapes \\U+XXXX decoded (ezdxf keeps them as they are
written; a pair of surrogate escapes is one character), then with backslash, line feed and
carriage return escaped.
"""
import re
import sys

import ezdxf


def unescape(v):
    decoded = re.sub(r"\\[Uu]\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), v)
    return decoded.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")


def esc(v):
    v = unescape(str(v))
    return v.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r")


def dump(path):
    doc = ezdxf.readfile(path)
    out = []
    for e in doc.modelspace().query("INSERT"):
        out.append("insert %s" % esc(e.dxf.name))
        for app in sorted(e.xdata.data.keys()) if e.xdata else []:
            for code, value in e.get_xdata(app):
                out.append("xdata %s %d %s" % (app, code, esc(value)))
        for a in e.attribs:
            out.append("attrib %s %s" % (esc(a.dxf.tag), esc(a.dxf.text)))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


def legacy(path):
    doc = ezdxf.new("R2013", setup=False)
    for app in ("SymbolBlock", "MRCD_PART", "MRCD_SYMBOL"):
        doc.appids.new(app)
    msp = doc.modelspace()

    nut = doc.blocks.new("SYM_NUT")
    nut.add_circle((0, 0), 8)
    nut.block_record.set_xdata("SymbolBlock", [(1000, "JIS_B1181_1_01"), (1070, 2)])
    ref = msp.add_blockref("SYM_NUT", (100, 50))
    ref.set_xdata("MRCD_PART", [(1000, "part"), (1070, 1)])
    ref.set_xdata("MRCD_SYMBOL", [(1000, "symbol data")])
    ref.add_attrib("ATT_TAG_1", "六角ナット", (100, 50))
    ref.add_attrib("ATT_TAG_7", "SS400", (100, 49))

    bolt = doc.blocks.new("SYM_BOLT")
    bolt.add_line((0, 0), (40, 0))
    bolt.block.set_xdata("SymbolBlock", [(1000, "B1180_2_02")])
    hidden = doc.blocks.new("SYM_BOLT_A1")
    hidden.add_line((0, 0), (20, 0))
    msp.add_blockref("SYM_BOLT_A1", (0, 0))

    doc.blocks.new("PLAIN").add_line((0, 0), (1, 1))
    msp.add_blockref("PLAIN", (10, 10))
    doc.saveas(path)


if __name__ == "__main__":
    {"dump": dump, "legacy": legacy}[sys.argv[1]](sys.argv[2])
