"""Symbols of the studs, pins and tapped holes (conventions as in symbols.py)."""
from . import symbols as S
from .expr import Func, Name, Num, Sqrt, chain_by, cond, gt, le, select
from .symbols import CS, D, HEAD, BODY, LEN, OUTLINE, SHOW, Ent, Symbol
from .symbols_screws import NESTED, by_size, external_thread, thread_end_view, thread_params

ZERO = Num(0)
ROOTS_UNIT = "ZS_STUD_ROOTS"  # two thread-root lines, unit length, 1 apart


def _stud_roots():
    # Hidden thread roots of the metal end. Drawn on the hidden layer with an explicit colour,
    # as a library's hidden threads are, so that a placed stud keeps them apart from outlines.
    return [Ent("LINE", "AM_3", {"START.X": Num(0), "START.Y": Num(y), "END.X": Num(1),
                                 "END.Y": Num(y)}, color=4) for y in ("0.5", "-0.5")]


# --- studs (JIS B 1173) ----------------------------------------------------------------------

STUD_TYPES = ["1種 (bm = 1d)", "2種 (bm = 1.25d)", "3種 (bm = 1.5d)"]


def _stud_params(tabs, with_length):
    rows = tabs.more["studs_jis_b1173.tsv"]
    params = thread_params(rows, 40 if with_length else None)
    # The metal end sits in a tapped hole: hidden by default (the placement's stud rule).
    params = [(n, Num(1) if n == BODY else e) for n, e in params]
    params += [("LineType", Num(0)), ("BMT", Num(0)),
               ("BM", D * select(Name("BMT"), [Num(1), Num("1.25"), Num("1.5")]))]
    if with_length:
        params += [("BREF", by_size(rows, "b")),
                   ("B", cond(le(Name("BREF"), LEN), Name("BREF"), LEN))]
    return params


def stud_front(name, tabs):
    sym = Symbol(name, _stud_params(tabs, True), blocks=dict(NESTED))
    sym.blocks[ROOTS_UNIT] = _stud_roots()
    r, rm, c, bm = D / Num(2), Name("DM") / Num(2), Name("C"), Name("BM")
    # The metal end, from the surface of the tapped part down to -bm.
    sym.poly([(ZERO, r), (c - bm, r), (ZERO - bm, rm), (ZERO - bm, ZERO - rm),
              (c - bm, ZERO - r), (ZERO, ZERO - r)], OUTLINE[0], layer_by=BODY, color=4)
    sym.line((c - bm, r), (c - bm, ZERO - r), OUTLINE[0], layer_by=BODY, color=4)
    sym.insert(ROOTS_UNIT, (c - bm, ZERO), (bm - c, Name("DM")), "AM_3")
    # The nut end, dragged to the length.
    external_thread(sym, ZERO, LEN, Name("B"), HEAD)
    sym.line((ZERO - bm - CS, ZERO), (LEN + CS, ZERO), "AM_7", visible=SHOW)
    sym.line((ZERO, ZERO), (LEN, ZERO), "*ADSK_CONSTRAINTS")
    sym.point((LEN, ZERO), "*ADSK_CONSTRAINTS")
    return sym


def stud_end(name, tabs):
    sym = Symbol(name, _stud_params(tabs, False))
    thread_end_view(sym, HEAD)
    S._cross(sym, D / Num(2), D / Num(2))
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


# --- parallel pins (JIS B 1354) --------------------------------------------------------------

def _pin_params(tabs, with_length):
    rows = tabs.more["pins_parallel_jis_b1354.tsv"]
    params = S._common(20 if with_length else None)
    params = [(n, Num(6) if n == "D" else e) for n, e in params]
    return params + [("HARD", Num(0)),
                     ("C", chain_by(D, {r["d"]: r["c"] for r in rows.values()}))]


def pin_front(name, tabs):
    sym = Symbol(name, _pin_params(tabs, True))
    r, c = D / Num(2), Name("C")
    sym.poly([(c, r), (LEN - c, r), (LEN, r - c), (LEN, c - r), (LEN - c, ZERO - r),
              (c, ZERO - r), (ZERO, c - r), (ZERO, r - c)], OUTLINE[0], closed=True,
             layer_by=HEAD)
    for x in (c, LEN - c):
        sym.line((x, r), (x, ZERO - r), OUTLINE[0], layer_by=HEAD)
    sym.line((ZERO - CS, ZERO), (LEN + CS, ZERO), "AM_7", visible=SHOW)
    sym.line((ZERO, ZERO), (LEN, ZERO), "*ADSK_CONSTRAINTS")
    sym.point((LEN, ZERO), "*ADSK_CONSTRAINTS")
    return sym


def pin_end(name, tabs):
    sym = Symbol(name, _pin_params(tabs, False))
    sym.circle(D / Num(2), OUTLINE[0], layer_by=HEAD)
    sym.circle(D / Num(2) - Name("C"), OUTLINE[0], layer_by=HEAD)
    S._cross(sym, D / Num(2), D / Num(2))
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


# --- split pins (JIS B 1351) -----------------------------------------------------------------

def _split_params(tabs, with_length):
    rows = tabs.more["pins_split_jis_b1351.tsv"]
    params = S._common(20 if with_length else None)
    params = [(n, Num(4) if n == "D" else e) for n, e in params]
    for column, name in (("d", "DA"), ("c", "CE"), ("a", "AL")):
        params.append((name, chain_by(D, {k: r[column] for k, r in rows.items()})))
    # The eye is a circle of diameter c through the legs' outer edges at x = 0.
    half = Name("DA") / Num(2)
    params += [("ER", Name("CE") / Num(2)),
               ("EX", Sqrt(Name("ER") * Name("ER") - half * half))]
    return params


def split_front(name, tabs):
    sym = Symbol(name, _split_params(tabs, True))
    half, er, ex = Name("DA") / Num(2), Name("ER"), Name("EX")
    long_leg = LEN + Name("AL")
    # The eye: the major arc from the upper leg's edge round to the lower one's (bulge tan(t/4),
    # t = 2 pi - 2 asin(half / er)).
    sym.poly([(long_leg, half), (ZERO, half), (ZERO, ZERO - half), (LEN, ZERO - half),
              (LEN, ZERO)], OUTLINE[0], layer_by=HEAD)
    theta = Num("6.283185307179586") - Num(2) * Func("asin", half / er)
    sym.ents[-1].props["BULGE1"] = Func("tan", theta / Num(4))
    sym.line((long_leg, half), (long_leg, ZERO), OUTLINE[0], layer_by=HEAD)
    sym.line((ZERO, ZERO), (long_leg, ZERO), OUTLINE[0], layer_by=HEAD)
    sym.circle(er - half, OUTLINE[0], layer_by=HEAD)
    sym.ents[-1].props["CENTER.X"] = ZERO - ex
    sym.line((ZERO - ex - er - CS, ZERO), (long_leg + CS, ZERO), "AM_7", visible=SHOW)
    sym.line((ZERO, ZERO), (LEN, ZERO), "*ADSK_CONSTRAINTS")
    sym.point((LEN, ZERO), "*ADSK_CONSTRAINTS")
    return sym


def split_end(name, tabs):
    sym = Symbol(name, _split_params(tabs, False))
    half = Name("DA") / Num(2)
    sym.circle(half, OUTLINE[0], layer_by=HEAD)
    sym.line((ZERO - half, ZERO), (half, ZERO), OUTLINE[0], layer_by=HEAD)
    S._cross(sym, half, half)
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


# --- tapped holes (JIS B 0205) ---------------------------------------------------------------

def _hole_params(tabs):
    params = S._common() + [("P", S._by_size({s: tabs.threads[s].pitch for s in S.T_D}))]
    params += [("DM", D - Num("1.082532") * Name("P")),
               ("TDEP", Num(15)), ("DRILL", Num(20)), ("THRU", Num(0)),
               # A through hole is threaded all through: the drill ends with the thread.
               ("DEPTH", cond(gt(Name("THRU"), Num("0.5")), Name("TDEP"), Name("DRILL"))),
               # The drill point of 118 degrees.
               ("TIP", Name("DM") / Num(2) / Num("1.664279482350518"))]
    return params


def hole_front(name, tabs):
    sym = Symbol(name, _hole_params(tabs))
    r, rm, tdep = D / Num(2), Name("DM") / Num(2), Name("TDEP")
    depth, tip = Name("DEPTH"), Name("TIP")
    blind = le(Name("THRU"), Num("0.5"))
    # Sectional view: the drilled hole thick, the thread's major diameter thin, the thread's
    # end as a thick line across.
    for sign in (1, -1):
        y = rm if sign > 0 else ZERO - rm
        sym.line((ZERO, y), (depth, y), OUTLINE[0], layer_by=HEAD)
        sym.line((depth, y), (depth + tip, ZERO), OUTLINE[0], layer_by=HEAD, visible=blind)
        sym.line((ZERO, r if sign > 0 else ZERO - r), (tdep, r if sign > 0 else ZERO - r),
                 "AM_4")
    sym.line((tdep, r), (tdep, ZERO - r), OUTLINE[0], layer_by=HEAD)
    sym.line((depth, rm), (depth, ZERO - rm), OUTLINE[0], layer_by=HEAD, visible=blind)
    sym.line((ZERO - CS, ZERO), (depth + tip + CS, ZERO), "AM_7", visible=SHOW)
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym


def hole_end(name, tabs):
    params = [p for p in _hole_params(tabs) if p[0] not in ("TIP",)]
    sym = Symbol(name, params)
    sym.circle(Name("DM") / Num(2), OUTLINE[0], layer_by=HEAD)
    sym.arc(D / Num(2), 90, 0, "AM_4")
    S._cross(sym, D / Num(2), D / Num(2))
    sym.point((ZERO, ZERO), "*ADSK_CONSTRAINTS")
    return sym
