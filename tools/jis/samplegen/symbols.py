"""The symbol drawings of the sample parts, as parameters plus entities whose properties are
expressions of them. dxfwrite.py turns a Symbol into a DXF file.

Conventions of every symbol: millimetres; the insertion point is the part's seating point (the
bearing face of a bolt head or a nut, the face of a washer) on its axis; the axis runs along
+X in front views, so the placement jig's length drags the shank out along the pointed
direction. Outlines of the head sit on "AM_0" or "AM_3" as LineTypeHead chooses, those of the
body as LineTypeBody chooses; thread roots on "AM_4"; centre lines on "AM_7", shown when
ShowCenterLine is non-zero, overhanging the outline by CS; the drag handle on
"*ADSK_CONSTRAINTS" (construction geometry, dropped from placed parts).
"""
from dataclasses import dataclass, field

from . import tables as T
from .expr import Name, Num, Sqrt, chain, cond, gt, is_index, le, select

OUTLINE = ["AM_0", "AM_3"]  # by LineTypeHead / LineTypeBody: 0 solid, 1 hidden


@dataclass
class Ent:
    kind: str  # LINE, LWPOLYLINE, CIRCLE, ARC, POINT
    layer: str
    props: dict  # bindable property -> Expr (see dxfwrite for the names)
    layer_by: str = ""  # parameter choosing the layer from OUTLINE
    visible: object = None  # Expr: non-zero shows
    closed: bool = False
    count: int = 0  # polyline vertices
    color: object = None  # colour index; None: by layer
    block: str = ""  # INSERT: the nested block's name


@dataclass
class Symbol:
    name: str
    params: list  # (name, Expr) in dependency order
    ents: list = field(default_factory=list)
    blocks: dict = field(default_factory=dict)  # nested block name -> [Ent] (static geometry)

    def line(self, p, q, layer, **kw):
        self.ents.append(Ent("LINE", layer, {"START.X": p[0], "START.Y": p[1], "END.X": q[0],
                                             "END.Y": q[1]}, **kw))

    def poly(self, points, layer, closed=False, **kw):
        props = {}
        for i, (x, y) in enumerate(points):
            props[f"V{i}.X"], props[f"V{i}.Y"] = x, y
        self.ents.append(Ent("LWPOLYLINE", layer, props, closed=closed, count=len(points), **kw))

    def circle(self, r, layer, **kw):
        self.ents.append(Ent("CIRCLE", layer, {"CENTER.X": Num(0), "CENTER.Y": Num(0),
                                               "RADIUS": r}, **kw))

    def arc(self, r, a0, a1, layer, **kw):
        self.ents.append(Ent("ARC", layer, {"CENTER.X": Num(0), "CENTER.Y": Num(0),
                                            "RADIUS": r, "START_ANGLE": Num(a0),
                                            "END_ANGLE": Num(a1)}, **kw))

    def point(self, p, layer):
        self.ents.append(Ent("POINT", layer, {"POSITION.X": p[0], "POSITION.Y": p[1]}))

    def insert(self, block, p, scale, layer, **kw):
        self.ents.append(Ent("INSERT", layer, {"POSITION.X": p[0], "POSITION.Y": p[1],
                                               "SCALE.X": scale[0], "SCALE.Y": scale[1]},
                             block=block, **kw))

    def env(self):
        """The parameters' default values."""
        values = {}
        for name, e in self.params:
            values[name] = e.value(values)
        return values


# --- parameters ---------------------------------------------------------------------------

LEN, CS, D = Name("LEN"), Name("CS"), Name("D")
HEAD, BODY, SHOW = "LineTypeHead", "LineTypeBody", Name("ShowCenterLine")


def _common(length=None):
    params = [("LEN", Num(length))] if length is not None else []
    return params + [("CS", Num("2.5")), (HEAD, Num(0)), (BODY, Num(0)),
                     ("ShowCenterLine", Num(1)), ("D", Num(10))]


def _by_size(values):
    """A look-up keyed by the nominal diameter D: values is {size: text}."""
    return chain(D, [(T_D[s], v) for s, v in values.items()])


T_D = {}  # size -> nominal diameter text, filled by build()


def _thread_params(tabs):
    pitch = _by_size({s: tabs.threads[s].pitch for s in T.SIZES})
    # Minor diameter of the thread as drawn: d1 = d - 1.082532 P (basic profile).
    return [("P", pitch), ("DM", D - Num("1.082532") * Name("P"))]


def _hex_params(main, annex, height_name, height_of):
    # Each table column is a parameter of its own, so every expression stays short enough for
    # one extended-data string (255 bytes).
    ja = gt(Name("JA"), Num("0.5"))
    return [("JA", Num(0)),
            ("S_ISO", _by_size({k: v.s for k, v in main.items()})),
            ("S_JA", _by_size({k: v.s for k, v in annex.items()})),
            (height_name + "_ISO", _by_size({k: height_of(v) for k, v in main.items()})),
            (height_name + "_JA", _by_size({k: height_of(v) for k, v in annex.items()})),
            ("S", cond(ja, Name("S_JA"), Name("S_ISO"))),
            (height_name, cond(ja, Name(height_name + "_JA"), Name(height_name + "_ISO"))),
            # Width across corners of the regular hexagon: e = 2 s / sqrt(3).
            ("E", Num(2) * Name("S") / Sqrt(Num(3)))]


def _hexagon(sym, layer_by):
    e2, s2 = Name("E") / Num(2), Name("S") / Num(2)
    e4 = Name("E") / Num(4)
    sym.poly([(e2, Num(0)), (e4, s2), (Num(0) - e4, s2), (Num(0) - e2, Num(0)),
              (Num(0) - e4, Num(0) - s2), (e4, Num(0) - s2)], OUTLINE[0], closed=True,
             layer_by=layer_by)
    # The chamfer circle seen on the end face (drawn at 0.95 s by drafting convention).
    sym.circle(Num("0.475") * Name("S"), OUTLINE[0], layer_by=layer_by)


def _cross(sym, rx, ry):
    sym.line((Num(0) - rx - CS, Num(0)), (rx + CS, Num(0)), "AM_7", visible=SHOW)
    sym.line((Num(0), Num(0) - ry - CS), (Num(0), ry + CS), "AM_7", visible=SHOW)


def _hex_side(sym, x0, x1):
    """The across-corners view of a hexagon prism between x0 and x1 (three faces)."""
    e2, e4 = Name("E") / Num(2), Name("E") / Num(4)
    sym.poly([(x0, Num(0) - e2), (x1, Num(0) - e2), (x1, e2), (x0, e2)], OUTLINE[0],
             closed=True, layer_by=HEAD)
    for y in (e4, Num(0) - e4):
        sym.line((x0, y), (x1, y), OUTLINE[0], layer_by=HEAD)


# --- bolts --------------------------------------------------------------------------------

def _bolt_params(tabs, full):
    params = _common(30 if full else 60) + _thread_params(tabs)
    params += _hex_params(tabs.bolts_main, tabs.bolts_annex, "K", lambda r: r.k)
    if full:
        thread = LEN
    else:
        params.append(("B125", _by_size({s: tabs.bolts_main[s].b_short for s in T.SIZES})))
        params.append(("B200", _by_size({s: tabs.bolts_main[s].b_mid for s in T.SIZES})))
        # ISO 888: b = 2d + 25 above 200 mm (computed from the rule).
        params.append(("B0", cond(le(LEN, Num(125)), Name("B125"),
                                  cond(le(LEN, Num(200)), Name("B200"), Num(2) * D + Num(25)))))
        thread = cond(le(Name("B0"), LEN), Name("B0"), LEN)
    params += [("B", thread), ("C", (D - Name("DM")) / Num(2))]
    return params


def bolt_front(name, tabs, full):
    sym = Symbol(name, _bolt_params(tabs, full))
    K, B, C, DM = Name("K"), Name("B"), Name("C"), Name("DM")
    zero, r, rm = Num(0), D / Num(2), DM / Num(2)
    _hex_side(sym, zero - K, zero)
    tip = LEN - C
    sym.poly([(zero, r), (tip, r), (LEN, rm), (LEN, zero - rm), (tip, zero - r), (zero, zero - r)],
             OUTLINE[0], layer_by=BODY)
    sym.line((tip, r), (tip, zero - r), OUTLINE[0], layer_by=BODY)
    if not full:
        sym.line((LEN - B, r), (LEN - B, zero - r), OUTLINE[0], layer_by=BODY)
    for y in (rm, zero - rm):
        sym.line((LEN - B, y), (tip, y), "AM_4")
    sym.line((zero - K - CS, zero), (LEN + CS, zero), "AM_7", visible=SHOW)
    sym.line((zero, zero), (LEN, zero), "*ADSK_CONSTRAINTS")
    sym.point((LEN, zero), "*ADSK_CONSTRAINTS")
    return sym


def bolt_end(name, tabs, full):
    params = [p for p in _bolt_params(tabs, full) if p[0] not in ("LEN", "B125", "B200", "B0", "B", "C")]
    sym = Symbol(name, params)
    _hexagon(sym, HEAD)
    _cross(sym, Name("E") / Num(2), Name("S") / Num(2))
    sym.point((Num(0), Num(0)), "*ADSK_CONSTRAINTS")
    return sym


# --- nuts ---------------------------------------------------------------------------------

def nut_series(tabs, series):
    """Rows of nuts_extra_jis_b1181.tsv of one series as {size: NutRow}."""
    prefix = series + ":"
    return {k[len(prefix):]: T.NutRow(r["s"], r["m"])
            for k, r in tabs.more["nuts_extra_jis_b1181.tsv"].items() if k.startswith(prefix)}


def _nut_params(tabs, thin=False):
    if thin:
        return (_common() + _thread_params(tabs) +
                _hex_params(nut_series(tabs, "thin(=ISO4035)"),
                            nut_series(tabs, "thin_annex_JA_type3"), "M", lambda r: r.m))
    params = (_common() + _thread_params(tabs) +
              _hex_params(tabs.nuts_main, tabs.nuts_annex, "M", lambda r: r.m))
    # Style 2 (JA = 2), M5 and up; the smaller sizes keep style 1's height (the dialog does not
    # offer them).
    style2 = nut_series(tabs, "style2(=ISO4033)")
    heights = {s: (style2[s] if s in style2 else tabs.nuts_main[s]).m for s in T.SIZES}
    out = []
    for n, e in params:
        if n == "S":
            e = cond(is_index(Name("JA"), 1), Name("S_JA"), Name("S_ISO"))
        elif n == "M":
            out.append(("M_ST2", _by_size(heights)))
            e = select(Name("JA"), [Name("M_ISO"), Name("M_JA"), Name("M_ST2")])
        out.append((n, e))
    return out


def nut_front(name, tabs, thin=False):
    sym = Symbol(name, _nut_params(tabs, thin))
    M, zero = Name("M"), Num(0)
    _hex_side(sym, zero, M)
    for y in (D / Num(2), Name("DM") / Num(2)):
        for sign in (1, -1):
            yy = y if sign > 0 else zero - y
            sym.line((zero, yy), (M, yy), "AM_3")
    sym.line((zero - CS, zero), (M + CS, zero), "AM_7", visible=SHOW)
    sym.point((zero, zero), "*ADSK_CONSTRAINTS")
    return sym


def nut_top(name, tabs, thin=False):
    sym = Symbol(name, _nut_params(tabs, thin))
    _hexagon(sym, HEAD)
    sym.circle(Name("DM") / Num(2), OUTLINE[0], layer_by=HEAD)
    # The thread's major diameter as a three-quarter circle, open in the first quadrant.
    sym.arc(D / Num(2), 90, 0, "AM_4")
    _cross(sym, Name("E") / Num(2), Name("S") / Num(2))
    sym.point((Num(0), Num(0)), "*ADSK_CONSTRAINTS")
    return sym


# --- washers ------------------------------------------------------------------------------

def _washer_params(tabs):
    params = _common() + [("SER", Num(0)), ("CHAMFER", Num(0))]
    fallback = tabs.washers[3]  # 1978 small: the nearest series published for every size
    for index, dim in enumerate(("DI", "DO", "H")):
        for k, series in enumerate(tabs.washers):
            rows = {s: (series.rows.get(s) or fallback.rows[s])[index] for s in T.SIZES}
            params.append((f"{dim}{k}", _by_size(rows)))
        params.append((dim, select(Name("SER"), [Name(f"{dim}{k}")
                                                 for k in range(len(tabs.washers))])))
    # ISO 7090 chamfer: 30 degrees over half the thickness.
    return params + [("CH", Name("H") / Num(2) * Num("0.57735"))]


def washer_section(name, tabs):
    sym = Symbol(name, _washer_params(tabs))
    H, CH, zero = Name("H"), Name("CH"), Num(0)
    ri, ro = Name("DI") / Num(2), Name("DO") / Num(2)
    plain = le(Name("CHAMFER"), Num("0.5"))
    chamfered = gt(Name("CHAMFER"), Num("0.5"))
    for sign in (1, -1):
        def y(v):
            return v if sign > 0 else zero - v
        sym.poly([(zero, y(ri)), (H, y(ri)), (H, y(ro)), (zero, y(ro))], OUTLINE[0],
                 closed=True, layer_by=HEAD, visible=plain)
        sym.poly([(zero, y(ri)), (H, y(ri)), (H, y(ro - CH)), (H / Num(2), y(ro)),
                  (zero, y(ro))], OUTLINE[0], closed=True, layer_by=HEAD, visible=chamfered)
    sym.line((zero - CS, zero), (H + CS, zero), "AM_7", visible=SHOW)
    sym.point((zero, zero), "*ADSK_CONSTRAINTS")
    return sym


def washer_plan(name, tabs):
    sym = Symbol(name, _washer_params(tabs))
    ro = Name("DO") / Num(2)
    sym.circle(ro, OUTLINE[0], layer_by=HEAD)
    sym.circle(Name("DI") / Num(2), OUTLINE[0], layer_by=HEAD)
    sym.circle(ro - Name("CH"), OUTLINE[0], layer_by=HEAD, visible=gt(Name("CHAMFER"),
                                                                        Num("0.5")))
    _cross(sym, ro, ro)
    sym.point((Num(0), Num(0)), "*ADSK_CONSTRAINTS")
    return sym


def build(tabs, part):
    """The symbol drawings of one part: suffix 1 (front or section view) and 0 (end view)."""
    T_D.update({s: tabs.threads[s].d for s in T.SIZES})
    n = part.name
    if part.kind in ("bolt_partial", "bolt_full"):
        full = part.kind == "bolt_full"
        return [bolt_front(n + "_1", tabs, full), bolt_end(n + "_0", tabs, full)]
    if part.kind in ("nut", "thin_nut"):
        thin = part.kind == "thin_nut"
        return [nut_front(n + "_1", tabs, thin), nut_top(n + "_0", tabs, thin)]
    if part.kind == "washer":
        return [washer_section(n + "_1", tabs), washer_plan(n + "_0", tabs)]
    from . import symbols_misc as M, symbols_screws as SC
    if part.kind == "socket_head":
        return [SC.cap_front(n + "_1", tabs), SC.cap_end(n + "_0", tabs)]
    if part.kind == "socket_csk":
        rows = tabs.more["screws_socket_csk_jis_b1194.tsv"]
        return [SC.csk_front(n + "_1", rows, False), SC.csk_end(n + "_0", rows, False)]
    if part.kind == "cross_csk":
        rows = SC._rows(tabs, "screws_cross_jis_b1111.tsv", "countersunk")
        return [SC.csk_front(n + "_1", rows, True), SC.csk_end(n + "_0", rows, True)]
    if part.kind == "cross_pan":
        rows = SC._rows(tabs, "screws_cross_jis_b1111.tsv", "pan")
        return [SC.pan_front(n + "_1", rows), SC.pan_end(n + "_0", rows)]
    if part.kind == "set_screw":
        return [SC.set_front(n + "_1", tabs), SC.set_end(n + "_0", tabs)]
    if part.kind == "stud":
        return [M.stud_front(n + "_1", tabs), M.stud_end(n + "_0", tabs)]
    if part.kind == "parallel_pin":
        return [M.pin_front(n + "_1", tabs), M.pin_end(n + "_0", tabs)]
    if part.kind == "split_pin":
        return [M.split_front(n + "_1", tabs), M.split_end(n + "_0", tabs)]
    if part.kind == "tapped_hole":
        return [M.hole_front(n + "_1", tabs), M.hole_end(n + "_0", tabs)]
    raise ValueError(part.kind)
