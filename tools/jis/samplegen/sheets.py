"""Catalogue sheets of the sample parts: for each part, every size side by side (front view above,
end view below), each at a typical nominal length, with its designation written under it. The
sheets are DXF drawings; tools/library_sheets.py renders them with the program's renderer."""
import ezdxf

from . import dxfwrite, symbols
from .symbols import Symbol

TEXT_LAYER = "AM_5"


def env_with(sym, values):
    """The symbol's parameter values with some parameters given (as the placement sets them)."""
    env = {}
    for name, e in sym.params:
        env[name] = float(values[name]) if name in values else e.value(env)
    return env


def _size_values(part, size, tabs):
    d = symbols.T_D.get(size, size)  # thread sizes map to d, plain diameters are d
    values = {"D": d}
    if part.kind == "tapped_hole":
        # The usual depths: thread 1.5 d, drill a few pitches deeper.
        pitch = float(tabs.threads[size].pitch)
        values.update(TDEP=1.5 * float(d), DRILL=1.5 * float(d) + 3 * pitch)
    return values


def _typical_length(part, size, tabs):
    """A length inside the size's range near three times the diameter."""
    if part.length is None:
        if part.kind in ("bolt_partial", "bolt_full"):
            rng = (tabs.iso4014 if part.kind == "bolt_partial" else tabs.iso4017)[size]
            low, high = float(rng[0]), float(rng[1])
            series = [float(x) for x in tabs.preferred]
        else:
            return None
    else:
        series_name, rows = part.length
        low = min(float(v) for k, v in rows[size].items() if k.startswith("l_min") and v)
        high = max(float(v) for k, v in rows[size].items() if k.startswith("l_max") and v)
        series = [float(x) for x in tabs.more["lengths_series.tsv"][series_name]]
    d = float(symbols.T_D.get(size, size))
    inside = [x for x in series if low - 1e-6 <= x <= high + 1e-6]
    return min(inside, key=lambda x: abs(x - 3 * d)) if inside else None


def _extents(doc_entities):
    xs, ys = [], []
    for e in doc_entities:
        if e.dxftype() == "LINE":
            xs += [e.dxf.start.x, e.dxf.end.x]
            ys += [e.dxf.start.y, e.dxf.end.y]
        elif e.dxftype() in ("CIRCLE", "ARC"):
            xs += [e.dxf.center.x - e.dxf.radius, e.dxf.center.x + e.dxf.radius]
            ys += [e.dxf.center.y - e.dxf.radius, e.dxf.center.y + e.dxf.radius]
        elif e.dxftype() == "LWPOLYLINE":
            for p in e.get_points("xy"):
                xs.append(p[0])
                ys.append(p[1])
    return (min(xs), min(ys), max(xs), max(ys)) if xs else (0, 0, 0, 0)


def sheet_rows(part, syms):
    """The rows of a part's sheet: (symbol, values): each view once, the set screw's front view
    once per point type."""
    if part.kind == "set_screw":
        return [(syms[0], {"PT": k}) for k in range(4)] + [(syms[1], {})]
    return [(sym, {}) for sym in syms]


def write_sheet(path, part, syms, tabs):
    """syms: the part's symbols, front view first. Sizes run left to right; every view sits on
    its row's axis."""
    rows = sheet_rows(part, syms)
    doc = dxfwrite.new_document()
    doc.layers.add(TEXT_LAYER, color=7)
    msp = doc.modelspace()
    for sym in syms:
        dxfwrite.add_blocks(doc, sym)
    columns = []
    for size in part.sizes:
        values = _size_values(part, size, tabs)
        length = _typical_length(part, size, tabs)
        if length is not None:
            values["LEN"] = length
        views = []
        for index, (sym, extra) in enumerate(rows):
            env = env_with(sym, dict(values, **extra))
            block = doc.blocks.new(f"{sym.name}_{index}_{size}".replace(".", "_"))
            for ent in sym.ents:
                if ent.layer.startswith("*"):
                    continue
                if ent.visible is not None and ent.visible.value(env) == 0:
                    continue
                dxfwrite.add_entity(block, ent, env, with_bindings=False)
            views.append((block.name, _extents(block)))
        columns.append((size, length, views))
    half = [max(max(abs(v[1][1]), abs(v[1][3])) for _, _, views in columns
                for v in views[row:row + 1]) for row in range(len(rows))]
    rows_y = [0.0]
    for row in range(1, len(rows)):
        rows_y.append(rows_y[-1] - half[row - 1] - half[row] - 8)
    x = 0.0
    for size, length, views in columns:
        width = max(e[2] - e[0] for _, e in views)
        for (name, e), y in zip(views, rows_y):
            # Centred in the column, on the row's axis.
            msp.add_blockref(name, (x + (width - (e[2] - e[0])) / 2 - e[0], y))
        label = size if not part.kind.endswith("pin") else f"{size} mm"
        if length is not None:
            label += f" x {length:g}"
        msp.add_text(label, dxfattribs={"layer": TEXT_LAYER, "height": 2.5,
                                       "insert": (x, rows_y[-1] - half[-1] - 8)})
        x += max(width, 6 * 2.5) + 10
    msp.add_text(f"{part.title}  {part.name}", dxfattribs={
        "layer": TEXT_LAYER, "height": 5, "insert": (0, half[0] + 10)})
    dxfwrite.save(doc, path)


__all__ = ["write_sheet", "env_with", "Symbol"]
