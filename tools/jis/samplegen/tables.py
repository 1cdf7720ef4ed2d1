"""The dimension tables of the sample library, read from the TSV files beside this package.

Values stay the texts written in the tables ("5.5", "12.285"), so what the library files show
is exactly what the tables say; numbers are parsed only where geometry needs them.
"""
import csv
import os
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The thread sizes the sample library carries, smallest first.
SIZES = ["M3", "M4", "M5", "M6", "M8", "M10", "M12", "M16", "M20", "M24"]


def read_tsv(name):
    with open(os.path.join(HERE, name), encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f, delimiter="\t"))


def present(text):
    """A table cell that holds a value (not empty, not "n/a", not "NOT_FOUND")."""
    return text not in ("", "n/a", "NOT_FOUND", None)


@dataclass
class Thread:
    size: str
    d: str
    pitch: str
    d2: str
    d1: str


@dataclass
class BoltRow:
    s: str
    k: str
    b_short: str  # thread length for l <= 125
    b_mid: str  # thread length for 125 < l <= 200
    s_min: str = ""
    dw_min: str = ""


@dataclass
class NutRow:
    s: str
    m: str  # the height the drawing uses: m max of the main body, m of the annex
    s_min: str = ""
    dw_min: str = ""


@dataclass
class WasherSeries:
    key: str
    caption: str
    rows: dict = field(default_factory=dict)  # size -> (d1, d2, h); missing sizes absent


@dataclass
class Tables:
    threads: dict
    bolts_main: dict
    bolts_annex: dict
    nuts_main: dict
    nuts_annex: dict
    washers: list
    iso4014: dict
    iso4017: dict
    preferred: list
    materials: dict


def two_d_plus(d, extra):
    """The ISO 888 thread-length rule b = 2d + extra, written like the tables write numbers."""
    return fmt(2 * float(d) + extra)


def fmt(value):
    text = f"{value:.3f}".rstrip("0").rstrip(".")
    return text if text != "-0" else "0"


def _threads():
    out = {}
    for r in read_tsv("threads_metric_jis_b0205.tsv"):
        if r["kind"] == "coarse":
            out[r["designation"]] = Thread(r["designation"], r["d_nominal"], r["P"],
                                           r["d2_pitch_dia"], r["d1_D1_basic_minor"])
    return out


def _bolts(threads):
    main, annex = {}, {}
    for r in read_tsv("bolts_hex_jis_b1180.tsv"):
        size = r["size"]
        d = threads[size].d
        # M3-M5 have no published b for 125 < l <= 200 (no such lengths exist); the rule fills it.
        b_short = r["b_l_le_125"]
        b_mid = r["b_125_lt_l_le_200"] if present(r["b_125_lt_l_le_200"]) else two_d_plus(d, 12)
        if r["series"].startswith("JIS_B1180_main_body"):
            main[size] = BoltRow(r["s_nom"], r["k_nom"], b_short, b_mid, r["s_min"], r["dw_min"])
        else:
            annex[size] = BoltRow(r["s_nom"], r["k_nom"], b_short, b_mid)
    return main, annex


def _nuts():
    main, annex = {}, {}
    for r in read_tsv("nuts_hex_jis_b1181.tsv"):
        if r["series"].startswith("JIS_B1181_main_body"):
            main[r["size"]] = NutRow(r["s_nom"], r["m_max"], r["s_min"], r["dw_min"])
        else:
            annex[r["size"]] = NutRow(r["s_nom"], r["m_nom"])
    return main, annex


# The washer series in the order the dialog offers them, with the dialog's captions.
WASHER_SERIES = [
    ("JIS_B1256_2008_normal", "並形 (2008, ISO 7089)"),
    ("JIS_B1256_2008_small", "小形 (2008, ISO 7092)"),
    ("JIS_B1256_1978_normal", "並形 (1978)"),
    ("JIS_B1256_1978_small", "小形 (1978)"),
    ("JIS_B1256_1963_normal", "みがき丸 (1963)"),
    ("JIS_B1256_1963_small", "小形丸 (1963)"),
]


def _washers():
    series = [WasherSeries(k, c) for k, c in WASHER_SERIES]
    for r in read_tsv("washers_plain_jis_b1256.tsv"):
        for s in series:
            if r["series"].startswith(s.key) and present(r["d1_inner"]):
                s.rows[r["size"]] = (r["d1_inner"], r["d2_outer"], r["h_thickness"])
    return series


def _lengths():
    iso4014, iso4017 = {}, {}
    for r in read_tsv("bolt_lengths_iso4014_4017.tsv"):
        iso4014[r["size"]] = (r["iso4014_l_min"], r["iso4014_l_max"])
        iso4017[r["size"]] = (r["iso4017_l_min"], r["iso4017_l_max"])
    preferred = [r["l"] for r in read_tsv("preferred_lengths_iso888.tsv")]
    return iso4014, iso4017, preferred


def _materials():
    out = {}
    for r in read_tsv("materials.tsv"):
        classes = [c for c in r["strength_classes"].split(",") if c]
        out.setdefault(r["part"], []).append((r["material"], classes))
    return out


def load():
    threads = _threads()
    bolts_main, bolts_annex = _bolts(threads)
    nuts_main, nuts_annex = _nuts()
    iso4014, iso4017, preferred = _lengths()
    return Tables(threads, bolts_main, bolts_annex, nuts_main, nuts_annex, _washers(),
                  iso4014, iso4017, preferred, _materials())
