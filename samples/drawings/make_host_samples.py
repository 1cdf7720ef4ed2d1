#!/usr/bin/env python3
"""Writes the sample drawings of the host-command scenarios (plain DXF R12 text, no library
needed). Run from this folder: python3 make_host_samples.py"""


def line(x1, y1, x2, y2, layer="0"):
    return ["0", "LINE", "8", layer, "10", f"{x1}", "20", f"{y1}", "30", "0",
            "11", f"{x2}", "21", f"{y2}", "31", "0"]


def circle(x, y, r, layer="0"):
    return ["0", "CIRCLE", "8", layer, "10", f"{x}", "20", f"{y}", "30", "0", "40", f"{r}"]


def arc(x, y, r, a0, a1, layer="0"):
    return ["0", "ARC", "8", layer, "10", f"{x}", "20", f"{y}", "30", "0", "40", f"{r}",
            "50", f"{a0}", "51", f"{a1}"]


def drawing(entities):
    out = ["0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009",
           "9", "$INSUNITS", "70", "4", "0", "ENDSEC",
           "0", "SECTION", "2", "ENTITIES"]
    for e in entities:
        out += e
    out += ["0", "ENDSEC", "0", "EOF"]
    return "\n".join(out) + "\n"


def rectangle(x1, y1, x2, y2, layer="0"):
    return [line(x1, y1, x2, y1, layer), line(x2, y1, x2, y2, layer),
            line(x2, y2, x1, y2, layer), line(x1, y2, x1, y1, layer)]


# A plate 100 x 60 with a bore of radius 10, a slot of two arcs and two lines, and a loose line.
plate = rectangle(0, 0, 100, 60)
plate.append(circle(30, 30, 10))
plate += [line(60, 20, 80, 20), arc(80, 30, 10, 270, 90), line(80, 40, 60, 40),
          arc(60, 30, 10, 90, 270)]
plate.append(line(0, -20, 100, -20))

with open("plate.dxf", "w", encoding="ascii", newline="\n") as f:
    f.write(drawing(plate))


def text(x, y, height, value, layer="0"):
    return ["0", "TEXT", "8", layer, "10", f"{x}", "20", f"{y}", "30", "0", "40", f"{height}",
            "1", value]


# A shaft with Japanese notes, written the way Jw_cad writes its drawings: R12 in Shift-JIS with
# CR LF line ends and no code page in the header, Japanese layer names. The notes use the percent
# codes of dimension texts: %%c diameter, %%d degree, %%p plus-minus.
outline = [(2, 0), (78, 0), (80, 2), (80, 18), (78, 20), (2, 20), (0, 18), (0, 2), (2, 0)]
shaft = [line(*a, *b, "外形線") for a, b in zip(outline, outline[1:])]
shaft += [line(2, 0, 2, 20, "外形線"), line(78, 0, 78, 20, "外形線"),
          line(-5, 10, 85, 10, "中心線")]
shaft += [text(0, 26, 3.5, "軸 %%c20 h7", "注記"),
          text(0, -8, 3.5, "面取り C2 (45%%d)", "注記"),
          text(0, -14, 3.5, "全長 80%%p0.1", "注記")]
jw_header = ["0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "0", "ENDSEC",
             "0", "SECTION", "2", "ENTITIES"]
with open("shaft_notes.dxf", "w", encoding="cp932", newline="\r\n") as f:
    f.write("\n".join(jw_header + [v for e in shaft for v in e] + ["0", "ENDSEC", "0", "EOF"])
            + "\n")
