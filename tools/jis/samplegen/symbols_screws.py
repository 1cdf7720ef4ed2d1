"""Symbols of the socket and cross-recessed screws and the set screws.

Same conventions as symbols.py: millimetres, the axis along +X in front views, the insertion
point on the axis at the seating point (under the head of a cap or pan head screw; the flush
top face of a countersunk screw; the socket end of a set screw). External threads in the
drafting standard's simplified form: the major diameter as a thick outline, the minor diameter
as a thin line on "AM_4" up to the thread end, the thread end as a thick line across.
"""
from . import symbols as S
from .expr import Func, Name, Num, Sqrt, chain_by, cond, gt, is_index, le, select
from .symbols import CS, D, HEAD, BODY, LEN, OUTLINE, SHOW, Ent, Symbol

ZERO = Num(0)
SOCKET_SIDE = "ZS_SOCKET_SIDE"  # the hidden socket seen from the side: unit depth, unit width
HEX_UNIT = "ZS_HEX_UNIT"  # a hexagon 1 across flats
CROSS_UNIT = "ZS_CROSS_UNIT"  # a cross recess 1 wide


def _line(p, q, layer="0", color=0):
    """A static line of a nested block (layer "0", colour by block: it takes the reference's)."""
    return Ent("LINE", layer, {"START.X": Num(p[0]), "START.Y": Num(p[1]), "END.X": Num(q[0]),
                               "END.Y": Num(q[1])}, color=color)


def _hex_unit():
    # Corners at 30 degrees: flats top and bottom, 1 across flats.
    r = 1 / 3 ** 0.5
    corners = [(r, 0), (r / 2, 0.5), (-r / 2, 0.5), (-r, 0), (-r / 2, -0.5), (r / 2, -0.5)]
    return [_line(corners[i], corners[(i + 1) % 6]) for i in range(6)]


NESTED = {
    SOCKET_SIDE: [_line((0, -0.5), (1, -0.5)), _line((0, 0.5), (1, 0.5)),
                  _line((1, -0.5), (1, 0.5))],
    HEX_UNIT: _hex_unit(),
    CROSS_UNIT: [_line((-0.5, 0), (0.5, 0)), _line((0, -0.5), (0, 0.5))],
}


def _rows(tabs, table, head=None):
    rows = tabs.more[table]
    if head is None:
        return rows
    return {k.split(":", 1)[1]: r for k, r in rows.items() if k.startswith(head + ":")}


def by_size(rows, column):
    """A look-up by D of one column of a table keyed by thread size."""
    return chain_by(D, {S.T_D[size]: r[column] for size, r in rows.items()})


def thread_params(rows, length=None):
    """The parameters every threaded symbol has: the placement's own, the pitch and the minor
    diameter of the basic profile (d - 1.082532 P) and the end chamfer C."""
    params = S._common(length) + [("P", by_size(rows, "P"))]
    return params + [("DM", D - Num("1.082532") * Name("P")), ("C", (D - Name("DM")) / Num(2))]


def external_thread(sym, x0, x1, thread_len, layer_by):
    """A threaded shank from x0 to x1 (end chamfered at x1), threaded over `thread_len` back
    from x1: outline, chamfer edge, thread end line and thread roots."""
    r, rm, c = D / Num(2), Name("DM") / Num(2), Name("C")
    tip = x1 - c
    sym.poly([(x0, r), (tip, r), (x1, rm), (x1, ZERO - rm), (tip, ZERO - r), (x0, ZERO - r)],
             OUTLINE[0], layer_by=layer_by)
    sym.line((tip, r), (tip, ZERO - r), OUTLINE[0], layer_by=layer_by)
    start = x1 - thread_len
    # The thread end is drawn where a plain shank meets the thread.
    sym.line((start, r), (start, ZERO - r), OUTLINE[0], layer_by=layer_by,
             visible=gt(start - x0, Num("0.01")))
    for y in (rm, ZERO - rm):
        sym.line((start, y), (tip, y), "AM_4")


def thread_end_view(sym, layer_by):
    """An external thread seen end on: the major diameter thick, the minor a thin
    three-quarter circle (open in the first quadrant)."""
    sym.circle(D / Num(2), OUTLINE[0], layer_by=layer_by)
    sym.arc(Name("DM") / Num(2), 90, 0, "AM_4")


def _handle(sym, length):
    sym.line((ZERO, ZERO), (length, ZERO), "*ADSK_CONSTRAINTS")
    sym.point((length, ZERO), "*ADSK_CONSTRAINTS")


# --- hexagon socket head cap screws (JIS B 1176) -----------------------------------------------

def _cap_params(tabs):
    rows = _rows(tabs, "screws_socket_head_jis_b1176.tsv")
    params = thread_params(rows, 30) + [(c.upper(), by_size(rows, c)) for c in
                                        ("dk", "k", "s", "t")]
    params += [("BREF", by_size(rows, "b")), ("LFULL", by_size(rows, "l_full_max")),
               # Threaded to the head up to LFULL, else over the reference length b.
               ("B", cond(le(LEN, Name("LFULL")), LEN, Name("BREF"))),
               ("SOCKETVIEW", Num(0))]
    return params


def cap_front(name, tabs):
    sym = Symbol(name, _cap_params(tabs), blocks=dict(NESTED))
    K, DK = Name("K"), Name("DK")
    sym.poly([(ZERO, DK / Num(2)), (ZERO - K, DK / Num(2)), (ZERO - K, ZERO - DK / Num(2)),
              (ZERO, ZERO - DK / Num(2))], OUTLINE[0], closed=True, layer_by=HEAD)
    external_thread(sym, ZERO, LEN, Name("B"), BODY)
    # The socket as hidden lines, shown on request (an invisible nested reference by default).
    sym.insert(SOCKET_SIDE, (ZERO - K, ZERO), (Name("T"), Num(2) * Name("S") / Sqrt(Num(3))),
               "AM_3", visible=Name("SOCKETVIEW"))
    sym.line((ZERO - K - CS, ZERO), (LEN + CS, ZERO), "AM_7", visible=SHOW)
    # Construction geometry: the head's seating face, kept out of placed parts.
    sym.line((ZERO, ZERO - DK / Num(2)), (ZERO, DK / Num(2)), "*SUPPRESS")
    _handle(sym, LEN)
    return sym


def cap_end(name, tabs):
    params = [p for p in _cap_params(tabs) if p[0] not in ("LEN", "LFULL", "BREF", "B")]
    sym = Symbol(name, params, blocks=dict(NESTED))
    sym.circle(Name("DK") / Num(2), OUTLINE[0], layer_by=HEAD)
    sym.insert(HEX_UNIT, (ZERO, ZERO), (Name("S"), Name("S")), OUTLINE[0], layer_by=HEAD)
    S._cross(sym, Name("DK") / Num(2), Name("DK") / Num(2))
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


# --- countersunk screws: hexagon socket (JIS B 1194) and cross recessed (JIS B 1111) ----------

def _csk_params(rows, cross):
    params = thread_params(rows, 30) + [("DK", by_size(rows, "dk")), ("K", by_size(rows, "k")),
                                        ("BREF", by_size(rows, "b"))]
    if cross:
        params += [("LFULL", by_size(rows, "l_full_max")),
                   ("B", cond(le(LEN, Name("LFULL")), LEN - Name("K"), Name("BREF")))]
    else:
        # The thread runs up to the head while the shank under the head is shorter than b.
        params += [("S", by_size(rows, "s")),
                   ("B", cond(le(LEN - Name("K"), Name("BREF")), LEN - Name("K"),
                              Name("BREF")))]
    return params


def csk_front(name, rows, cross):
    sym = Symbol(name, _csk_params(rows, cross), blocks=dict(NESTED))
    K, DK, r = Name("K"), Name("DK"), D / Num(2)
    # The 90-degree head: flush top face at the insertion point, cone down to the shank.
    sym.poly([(K, r), (ZERO, DK / Num(2)), (ZERO, ZERO - DK / Num(2)), (K, ZERO - r)],
             OUTLINE[0], layer_by=HEAD)
    sym.line((K, r), (K, ZERO - r), OUTLINE[0], layer_by=HEAD)
    external_thread(sym, K, LEN, Name("B"), BODY)
    sym.line((ZERO - CS, ZERO), (LEN + CS, ZERO), "AM_7", visible=SHOW)
    _handle(sym, LEN)
    return sym


def csk_end(name, rows, cross):
    drop = ("LEN", "LFULL", "BREF", "B")
    sym = Symbol(name, [p for p in _csk_params(rows, cross) if p[0] not in drop],
                 blocks=dict(NESTED))
    sym.circle(Name("DK") / Num(2), OUTLINE[0], layer_by=HEAD)
    if cross:
        w = Name("DK") * Num("0.45")
        sym.insert(CROSS_UNIT, (ZERO, ZERO), (w, w), OUTLINE[0], layer_by=HEAD)
    else:
        sym.insert(HEX_UNIT, (ZERO, ZERO), (Name("S"), Name("S")), OUTLINE[0], layer_by=HEAD)
    S._cross(sym, Name("DK") / Num(2), Name("DK") / Num(2))
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


# --- cross-recessed pan head screws (JIS B 1111) -----------------------------------------------

def _pan_params(rows):
    params = thread_params(rows, 20) + [(c.upper(), by_size(rows, c)) for c in ("dk", "k", "rf")]
    params += [("BREF", by_size(rows, "b")), ("LFULL", by_size(rows, "l_full_max")),
               ("B", cond(le(LEN, Name("LFULL")), LEN, Name("BREF"))),
               # The crown's height over the cylindrical part of the head.
               ("CROWN", Name("RF") - Sqrt(Name("RF") * Name("RF") -
                                           Name("DK") * Name("DK") / Num(4)))]
    return params


def pan_front(name, rows):
    sym = Symbol(name, _pan_params(rows), blocks=dict(NESTED))
    K, DK, crown = Name("K"), Name("DK"), Name("CROWN")
    side = ZERO - K + crown
    sym.poly([(ZERO, DK / Num(2)), (side, DK / Num(2)), (side, ZERO - DK / Num(2)),
              (ZERO, ZERO - DK / Num(2))], OUTLINE[0], closed=True, layer_by=HEAD)
    sym.ents[-1].props["BULGE1"] = Num(2) * crown / DK  # the crown, radius rf, through -K
    external_thread(sym, ZERO, LEN, Name("B"), BODY)
    sym.line((ZERO - K - CS, ZERO), (LEN + CS, ZERO), "AM_7", visible=SHOW)
    _handle(sym, LEN)
    return sym


def pan_end(name, rows):
    drop = ("LEN", "LFULL", "BREF", "B")
    sym = Symbol(name, [p for p in _pan_params(rows) if p[0] not in drop], blocks=dict(NESTED))
    sym.circle(Name("DK") / Num(2), OUTLINE[0], layer_by=HEAD)
    w = Name("DK") * Num("0.45")
    sym.insert(CROSS_UNIT, (ZERO, ZERO), (w, w), OUTLINE[0], layer_by=HEAD)
    S._cross(sym, Name("DK") / Num(2), Name("DK") / Num(2))
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


# --- hexagon socket set screws (JIS B 1177): flat, cone, dog and cup points ------------------

POINTS = ["平先", "とがり先", "棒先", "くぼみ先"]


def _set_params(tabs):
    rows = _rows(tabs, "set_screws_jis_b1177.tsv")
    params = thread_params(rows, 10) + [(c.upper(), by_size(rows, c)) for c in
                                        ("s", "t", "dp", "dt", "dz", "z")]
    r = D / Num(2)
    # The length of each point along the axis: 45-degree chamfers (the cone's 90 degrees).
    plen = [r - Name("DP") / Num(2), r - Name("DT") / Num(2),
            Name("Z") + r - Name("DP") / Num(2), r - Name("DZ") / Num(2)]
    return params + [("PT", Num(0)), ("PLEN", select(Name("PT"), plen))]


def set_front(name, tabs):
    sym = Symbol(name, _set_params(tabs), blocks=dict(NESTED))
    r, rm, c, plen = D / Num(2), Name("DM") / Num(2), Name("C"), Name("PLEN")
    start = LEN - plen
    # Body: the socket end chamfered to the minor diameter, the thread over the whole body.
    sym.poly([(start, r), (c, r), (ZERO, rm), (ZERO, ZERO - rm), (c, ZERO - r),
              (start, ZERO - r)], OUTLINE[0], layer_by=BODY)
    sym.line((c, r), (c, ZERO - r), OUTLINE[0], layer_by=BODY)
    for y in (rm, ZERO - rm):
        sym.line((c, y), (start, y), "AM_4")
    half = {0: Name("DP") / Num(2), 1: Name("DT") / Num(2), 2: Name("DP") / Num(2),
            3: Name("DZ") / Num(2)}
    for k in range(4):
        shown = is_index(Name("PT"), k)
        h = half[k]
        if k == 2:  # dog: chamfer down to dp, then the cylinder of length z
            pts = [(start, r), (LEN - Name("Z"), h), (LEN, h), (LEN, ZERO - h),
                   (LEN - Name("Z"), ZERO - h), (start, ZERO - r)]
        else:
            pts = [(start, r), (LEN, h), (LEN, ZERO - h), (start, ZERO - r)]
        sym.poly(pts, OUTLINE[0], layer_by=BODY, visible=shown)
        if k == 3:  # the cup's hollow, seen in profile
            sym.poly([(LEN, h), (LEN - h / Num(2), ZERO), (LEN, ZERO - h)], OUTLINE[0],
                     layer_by=BODY, visible=shown)
    sym.line((start, r), (start, ZERO - r), OUTLINE[0], layer_by=BODY)
    # The socket, always hidden in this view.
    e2 = Num(2) * Name("S") / Sqrt(Num(3)) / Num(2)
    sym.poly([(ZERO, e2), (Name("T"), e2), (Name("T"), ZERO - e2), (ZERO, ZERO - e2)], "AM_3")
    sym.line((ZERO - CS, ZERO), (LEN + CS, ZERO), "AM_7", visible=SHOW)
    _handle(sym, LEN)
    return sym


def set_end(name, tabs):
    sym = Symbol(name, [p for p in _set_params(tabs) if p[0] != "LEN"], blocks=dict(NESTED))
    thread_end_view(sym, HEAD)
    sym.insert(HEX_UNIT, (ZERO, ZERO), (Name("S"), Name("S")), OUTLINE[0], layer_by=HEAD)
    S._cross(sym, D / Num(2), D / Num(2))
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


__all__ = ["cap_front", "cap_end", "csk_front", "csk_end", "pan_front", "pan_end",
           "set_front", "set_end", "external_thread", "thread_end_view", "thread_params",
           "by_size", "NESTED", "POINTS", "Func"]
