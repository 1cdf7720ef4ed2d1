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


class TableError(ValueError):
    """A table cell the generator cannot use; the text names the file, row and column."""


def read_tsv(name, numeric=(), optional=(), where=None):
    """The rows of a TSV table as dicts. Every column in `numeric` must hold a number in every
    row (of those `where` accepts), and those in `optional` a number or nothing; otherwise
    TableError names the file, the row (its line in the file) and the column."""
    path = os.path.join(HERE, name)
    with open(path, encoding="utf-8", newline="") as f:
        reader = csv.DictReader(f, delimiter="\t")
        header = reader.fieldnames or []
        for column in list(numeric) + list(optional):
            if column not in header:
                raise TableError(f"{name}: line 1: no column {column!r}")
        rows = []
        for line, row in enumerate(reader, start=2):
            if None in row or any(v is None for v in row.values()):
                raise TableError(f"{name}: line {line}: {len(header)} columns expected")
            if where is not None and not where(row):
                rows.append(row)
                continue
            for column in numeric:
                _number(name, line, column, row.get(column), required=True)
            for column in optional:
                _number(name, line, column, row.get(column), required=False)
            rows.append(row)
    return rows


def _number(name, line, column, text, required):
    if text is None or text.strip() == "":
        if required:
            raise TableError(f"{name}: line {line}, column {column!r}: missing value")
        return
    try:
        value = float(text)
    except ValueError:
        raise TableError(f"{name}: line {line}, column {column!r}: {text!r} is not a number")
    if value != value or value in (float("inf"), float("-inf")):
        raise TableError(f"{name}: line {line}, column {column!r}: {text!r} is not a number")


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
    more: dict = field(default_factory=dict)  # the tables of the other parts, by file name


def two_d_plus(d, extra):
    """The ISO 888 thread-length rule b = 2d + extra, written like the tables write numbers."""
    return fmt(2 * float(d) + extra)


def fmt(value):
    text = f"{value:.3f}".rstrip("0").rstrip(".")
    return text if text != "-0" else "0"


def _threads():
    out = {}
    for r in read_tsv("threads_metric_jis_b0205.tsv",
                      numeric=["d_nominal", "P", "d2_pitch_dia", "d1_D1_basic_minor"],
                      where=lambda r: r["kind"] == "coarse"):
        if r["kind"] == "coarse":
            out[r["designation"]] = Thread(r["designation"], r["d_nominal"], r["P"],
                                           r["d2_pitch_dia"], r["d1_D1_basic_minor"])
    return out


def _bolts(threads):
    main, annex = {}, {}
    for r in read_tsv("bolts_hex_jis_b1180.tsv", numeric=["s_nom", "k_nom", "b_l_le_125"]):
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
    main_body = lambda r: r["series"].startswith("JIS_B1181_main_body")  # noqa: E731
    read_tsv("nuts_hex_jis_b1181.tsv", numeric=["s_nom", "m_nom"],
             where=lambda r: not main_body(r))
    for r in read_tsv("nuts_hex_jis_b1181.tsv", numeric=["s_nom", "m_max"], where=main_body):
        if main_body(r):
            main[r["size"]] = NutRow(r["s_nom"], r["m_max"], r["s_min"], r["dw_min"])
        else:
            annex[r["size"]] = NutRow(r["s_nom"], r["m_nom"])
    return main, annex


# The washer series in the order the dialog offers them, with the dialog's captions (comma
# fields in the description, so no caption may hold a comma).
WASHER_SERIES = [
    ("JIS_B1256_2008_normal", "並形 (2008 / ISO 7089)"),
    ("JIS_B1256_2008_small", "小形 (2008 / ISO 7092)"),
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
    for r in read_tsv("bolt_lengths_iso4014_4017.tsv",
                      numeric=["iso4014_l_min", "iso4014_l_max", "iso4017_l_min",
                               "iso4017_l_max"]):
        iso4014[r["size"]] = (r["iso4014_l_min"], r["iso4014_l_max"])
        iso4017[r["size"]] = (r["iso4017_l_min"], r["iso4017_l_max"])
    preferred = [r["l"] for r in read_tsv("preferred_lengths_iso888.tsv", numeric=["l"])]
    return iso4014, iso4017, preferred


def _materials():
    out = {}
    for r in read_tsv("materials.tsv"):
        classes = [c for c in r["strength_classes"].split(",") if c]
        out.setdefault(r["part"], []).append((r["material"], classes))
    return out


# The other parts' tables: file -> (key column, numeric columns, optional numeric columns).
MORE_TABLES = {
    "screws_socket_head_jis_b1176.tsv":
        ("size", ["P", "dk", "k", "s", "t", "b", "l_full_max", "l_min", "l_max"], []),
    "screws_socket_csk_jis_b1194.tsv":
        ("size", ["P", "dk", "k", "s", "t", "b", "l_min", "l_max"], []),
    "set_screws_jis_b1177.tsv":
        ("size", ["P", "s", "t", "dp", "dt", "dz", "z", "l_min_flat", "l_max_flat",
                  "l_min_dog", "l_max_dog"], []),
    "screws_cross_jis_b1111.tsv":
        ("head:size", ["P", "dk", "k", "rf", "recess", "b", "l_full_max", "l_min", "l_max"], []),
    "nuts_extra_jis_b1181.tsv": ("series:size", ["s", "m"], []),
    "studs_jis_b1173.tsv": ("size", ["P", "b", "l_min", "l_max"], []),
    "pins_parallel_jis_b1354.tsv":
        ("size", ["d", "c", "l_min_2338", "l_max_2338"], ["l_min_8734", "l_max_8734"]),
    "pins_split_jis_b1351.tsv": ("size", ["d", "c", "b", "a", "l_min", "l_max"], []),
}


def _more():
    out = {}
    for name, (key, numeric, optional) in MORE_TABLES.items():
        rows = {}
        for r in read_tsv(name, numeric=numeric, optional=optional):
            rows[":".join(r[k] for k in key.split(":"))] = r
        out[name] = rows
    series = {}
    for line, r in enumerate(read_tsv("lengths_series.tsv"), start=2):
        lengths = r["lengths"].split(",")
        for i, text in enumerate(lengths):
            _number("lengths_series.tsv", line, f"lengths (item {i + 1})", text, True)
        series[r["series"]] = lengths
    out["lengths_series.tsv"] = series
    return out


def load():
    threads = _threads()
    bolts_main, bolts_annex = _bolts(threads)
    nuts_main, nuts_annex = _nuts()
    iso4014, iso4017, preferred = _lengths()
    return Tables(threads, bolts_main, bolts_annex, nuts_main, nuts_annex, _washers(),
                  iso4014, iso4017, preferred, _materials(), _more())
