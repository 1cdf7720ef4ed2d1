"""Writing symbols as DXF files whose model space is the part, with the parametric records.

Records ("ZHOST_PARAM" extended data, as the host reads them):
- on the model space's block record, the parameters:
    1001 ZHOST_PARAM, 1000 PARAMS, 1070 1, then per parameter 1002 {, 1000 name,
    1000 expression, 1040 value, 1002 }
- on an entity, its bindings:
    1001 ZHOST_PARAM, 1000 BIND, 1070 1, then per bound property 1002 {, 1000 property,
    1000 expression, [1000 choice ...], 1002 }
Inserting the file as a block gives the block definition the model space's parameters.
"""
import io

import ezdxf

from .expr import Expr

APP = "ZHOST_PARAM"
FORMAT_VERSION = 1
MAX_STRING = 255  # one extended-data string

# Construction geometry goes on "*SUPPRESS", the platform's layer for it. DXF's table-name rules
# reject a leading "*" (ezdxf refuses to create the layer, and its audit names the layer as
# invalid), so the drawing is built with a stand-in name that the writer puts back.
SUPPRESS = "*SUPPRESS"
SUPPRESS_STANDIN = "ZS_SUPPRESS_STANDIN"

LAYERS = [  # name, colour, linetype, lineweight (1/100 mm)
    ("AM_0", 7, "Continuous", 50),
    ("AM_3", 4, "Dashed", 30),
    ("AM_4", 4, "Continuous", 30),
    ("AM_7", 1, "Center", 30),
    ("*ADSK_CONSTRAINTS", 8, "Continuous", 0),
]
LINETYPES = [  # name, description, pattern (total length first, as DXF stores it)
    ("Dashed", "Dashed __ __ __ __", [4.5, 3.0, -1.5]),
    ("Center", "Center ____ _ ____ _", [18.0, 12.0, -2.0, 2.0, -2.0]),
    ("Phantom", "Phantom ______  __  __", [22.0, 12.0, -2.0, 2.0, -2.0, 2.0, -2.0]),
]


def new_document():
    ezdxf.options.write_fixed_meta_data_for_testing = True  # same bytes on every run
    doc = ezdxf.new("R2013", setup=False)
    doc.header["$INSUNITS"] = 4  # millimetres
    doc.header["$MEASUREMENT"] = 1
    doc.header["$LTSCALE"] = 1.0
    for name, desc, pattern in LINETYPES:
        doc.linetypes.add(name, pattern=pattern, description=desc)
    for name, colour, linetype, weight in LAYERS:
        layer = doc.layers.add(name, color=colour, linetype=linetype)
        layer.dxf.lineweight = weight
    doc.appids.add(APP)
    doc.invisible_handles = set()
    return doc


def save(doc, path):
    """Writes the document. ezdxf 0.18 keeps but never writes an entity's visibility (group
    60), so the flag is put back into the text after the entity's layer."""
    stream = io.StringIO()
    doc.write(stream)
    lines = stream.getvalue().split("\n")
    out, pending = [], False
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i], lines[i + 1]
        out += [code, value]
        if code.strip() == "5":
            pending = value in doc.invisible_handles
        elif code.strip() == "8" and pending:
            out += [" 60", "1"]
            pending = False
        if value == SUPPRESS_STANDIN:
            out[-1] = SUPPRESS
    if len(lines) % 2:
        out.append(lines[-1])
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\n".join(out))


def _check(text):
    if len(text.encode("utf-8")) > MAX_STRING:
        raise ValueError(f"expression longer than {MAX_STRING} bytes: {text[:60]}...")
    return text


def param_xdata(symbol, env):
    tags = [(1000, "PARAMS"), (1070, FORMAT_VERSION)]
    for name, e in symbol.params:
        tags += [(1002, "{"), (1000, name), (1000, _check(e.render())), (1040, env[name]),
                 (1002, "}")]
    return tags


def bind_xdata(ent):
    tags = []

    def add(prop, text, choices=()):
        tags.extend([(1002, "{"), (1000, prop), (1000, _check(text))] +
                    [(1000, c) for c in choices] + [(1002, "}")])

    for prop, e in ent.props.items():
        if isinstance(e, Expr) and e.names():
            add(prop, e.render())
    if ent.layer_by:
        add("LAYER", ent.layer_by, ["AM_0", "AM_3"])
    if ent.visible is not None:
        add("VISIBLE", ent.visible.render())
    return [(1000, "BIND"), (1070, FORMAT_VERSION)] + tags if tags else []


def _value(props, key, env):
    return round(props[key].value(env), 6) + 0.0


def add_entity(msp, ent, env, with_bindings=True, layer=None):
    """Adds the entity with its geometry at the parameters' defaults."""
    p = ent.props
    v = lambda key: _value(p, key, env)  # noqa: E731
    if layer is None:
        layer = ent.layer
        if ent.layer_by:
            layer = ["AM_0", "AM_3"][int(round(env[ent.layer_by]))]
    if layer == SUPPRESS:
        layer = SUPPRESS_STANDIN
        if SUPPRESS_STANDIN not in msp.doc.layers:  # only drawings that use it have it
            msp.doc.layers.add(SUPPRESS_STANDIN, color=8)
    attribs = {"layer": layer}
    if ent.color is not None:
        attribs["color"] = ent.color
    if ent.kind == "LINE":
        e = msp.add_line((v("START.X"), v("START.Y")), (v("END.X"), v("END.Y")), attribs)
    elif ent.kind == "LWPOLYLINE":
        points = [(v(f"V{i}.X"), v(f"V{i}.Y"), v(f"BULGE{i}") if f"BULGE{i}" in p else 0.0)
                  for i in range(ent.count)]
        e = msp.add_lwpolyline(points, format="xyb", close=ent.closed, dxfattribs=attribs)
    elif ent.kind == "CIRCLE":
        e = msp.add_circle((v("CENTER.X"), v("CENTER.Y")), v("RADIUS"), attribs)
    elif ent.kind == "ARC":
        e = msp.add_arc((v("CENTER.X"), v("CENTER.Y")), v("RADIUS"), v("START_ANGLE"),
                        v("END_ANGLE"), dxfattribs=attribs)
    elif ent.kind == "POINT":
        e = msp.add_point((v("POSITION.X"), v("POSITION.Y")), attribs)
    elif ent.kind == "INSERT":
        attribs.update(xscale=v("SCALE.X"), yscale=v("SCALE.Y"))
        e = msp.add_blockref(ent.block, (v("POSITION.X"), v("POSITION.Y")), attribs)
    else:
        raise ValueError(ent.kind)
    if ent.visible is not None and ent.visible.value(env) == 0:
        e.dxf.invisible = 1
        msp.doc.invisible_handles.add(e.dxf.handle)
    if with_bindings:
        tags = bind_xdata(ent)
        if tags:
            e.set_xdata(APP, tags)
    return e


def add_blocks(doc, symbol):
    """The nested block definitions the symbol's references use; their contents are static."""
    for name, ents in symbol.blocks.items():
        if name in doc.blocks:
            continue  # another symbol of the same drawing brought it
        block = doc.blocks.new(name)
        for ent in ents:
            add_entity(block, ent, {}, with_bindings=False)


def write_symbol(path, symbol):
    doc = new_document()
    add_blocks(doc, symbol)
    env = symbol.env()
    msp = doc.modelspace()
    msp.block_record.set_xdata(APP, param_xdata(symbol, env))
    for ent in symbol.ents:
        add_entity(msp, ent, env)
    save(doc, path)


def write_picture(path, symbol, layer_of):
    """A plain (not parametric) drawing of the symbol at its defaults, for dialog pictures;
    layer_of maps each entity to the layer to draw it on (None drops it)."""
    doc = new_document()
    add_blocks(doc, symbol)
    env = symbol.env()
    msp = doc.modelspace()
    for ent in symbol.ents:
        layer = layer_of(ent)
        if layer is not None:
            add_entity(msp, ent, env, with_bindings=False, layer=layer)
    save(doc, path)
