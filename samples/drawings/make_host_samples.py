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
