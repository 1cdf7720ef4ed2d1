"""The parts of the sample library: what each dialog description offers and which data it reads.

A part is a file base name (its dialog description, symbol drawings and data tables are named
after it), a description laid out as ini sections, and the data tables the description names.
The symbol drawings are made by symbols.py from the same tables.
"""
from dataclasses import dataclass, field

from . import tables as T

SURFACE = "なし,三価クロメート,ユニクロめっき,黒染め,溶融亜鉛めっき"
LINETYPES = "実線,かくれ線"


@dataclass
class Part:
    name: str  # file base name
    kind: str  # bolt_partial, bolt_full, nut, washer
    title: str
    sections: list = field(default_factory=list)  # (name, [(key, value)])
    data: dict = field(default_factory=dict)  # Data/ file name -> lines
    thumb_direction: int = 1
    sizes: list = field(default_factory=lambda: list(T.SIZES))  # the size list's entries
    # (length series name, rows by size) when the part is dragged to nominal lengths
    length: tuple = None


def _sizes_file(part, lookup):
    # The first line ties the size list to the look-up that fills the nominal diameter row.
    return [f"$Pair {lookup}"] + T.SIZES


def _dim_table(tab, heading, rows):
    return [tab.join(heading)] + [tab.join(r) for r in rows]


def _d_range_table(tabs):
    # The nominal diameter must be the one of the chosen size: the range is [d, d].
    return _dim_table("\t", ["呼び", "d 最小", "d 最大"],
                      [[s, tabs.threads[s].d, tabs.threads[s].d] for s in T.SIZES])


def _material_file(tabs, kind):
    return [",".join([m] + classes) for m, classes in tabs.materials[kind]]


def _common_controls(part, drawing_captions, lookup_table, radio1, quality):
    """The controls every sample part shares, in dialog order."""
    name = part.name
    return [
        ("Drawing", [("caption", "図形"), ("selection", drawing_captions), ("symbol", "1,0"),
                     ("base_name", ""), ("data", "Radio2:1,0,1H,0H"), ("default", "1")]),
        ("List1", [("caption", "呼び径"), ("data", ""), ("default", "M10")]),
        ("Label1", [("caption", "参照列 (値なし = 表の 1 列目)")]),
        ("Radio1", radio1),
        ("Radio2", [("caption", "線種"), ("selection", LINETYPES), ("default", "0")]),
        ("Edit1", [("caption", "呼び径 d"), ("paramName", "D"), ("default", "10"),
                   ("width", "8")]),
        ("Check1", [("caption", "中心線"), ("default", "1")]),
        ("Quality", [("material", quality[0]), ("default", quality[1])]),
        ("ComboList1", [("caption", "表面処理"), ("data", SURFACE), ("default", "なし")]),
        ("Check2", [("caption", "属性編集"), ("default", "0")]),
    ], f"List1:Label1:{lookup_table}:Edit1"


def _errors(part, what):
    return [("0", f"RANGE_ERR,Edit1,List1:{part.name}_Range.dat,"
                  f"{what} は %s の範囲で指定してください。"),
            ("1", "$Edit1<=0,呼び径 d には正の値を指定してください。")]


def _bolt(tabs, name, kind, title, header, iso):
    part = Part(name, kind, title)
    radio1 = [("caption", "規格"), ("selection", f"JIS本体 ({iso}),附属書JA"),
              ("paramName", "JA"), ("default", "0")]
    controls, lookup = _common_controls(part, "正面図,側面図", f"{name}_Dim.dat", radio1,
                                        ("B1180_Material.dat", "鋼,8.8"))
    part.sections = [("General", [("ThumbDirection", "1")]),
                     ("error", _errors(part, "呼び径 d")),
                     ("Header", [("caption", header)])] + controls
    rows = []
    for s in T.SIZES:
        th, m, a = tabs.threads[s], tabs.bolts_main[s], tabs.bolts_annex[s]
        rows.append([s, th.d, th.pitch, m.s, m.k, a.s, a.k])
    part.data = {
        f"{name}_Yobi.dat": _sizes_file(part, lookup),
        f"{name}_Dim.dat": _dim_table("\t", ["呼び", "d", "P", "s", "k", "s (附属書JA)",
                                             "k (附属書JA)"], rows),
        f"{name}_Range.dat": _d_range_table(tabs),
        "B1180_Material.dat": _material_file(tabs, "bolt"),
    }
    return part


def _nut(tabs):
    name = "B1181_HexNut"
    part = Part(name, "nut", "六角ナット")
    # Style 2 exists from M5: choosing it switches the size list (a radio driving a list).
    radio1 = [("caption", "規格"),
              ("selection", "JIS本体 (スタイル1),附属書JA (1種),JIS本体 (スタイル2)"),
              ("paramName", "JA"), ("default", "0"),
              ("data", f"List1:{name}_Yobi.dat,{name}_Yobi.dat,{name}_Yobi2.dat")]
    controls, lookup = _common_controls(part, "正面図,上面図", f"{name}_Dim.dat", radio1,
                                        ("B1181_Material.dat", "鋼,8"))
    part.sections = [("General", [("ThumbDirection", "1")]),
                     ("error", _errors(part, "呼び径 d")),
                     ("Header", [("caption", "六角ナット　JIS B 1181 / ISO 4032, 4033")])
                     ] + controls
    rows = []
    for s in T.SIZES:
        th, m, a = tabs.threads[s], tabs.nuts_main[s], tabs.nuts_annex[s]
        rows.append([s, th.d, th.pitch, m.s, m.m, a.s, a.m])
    style2 = {k.split(":", 1)[1]: r for k, r in tabs.more["nuts_extra_jis_b1181.tsv"].items()
              if k.startswith("style2")}
    for row in rows:
        row.append(style2[row[0]]["m"] if row[0] in style2 else "")
    part.data = {
        f"{name}_Yobi.dat": _sizes_file(part, lookup),
        f"{name}_Yobi2.dat": [f"$Pair {lookup}"] + [s for s in T.SIZES if s in style2],
        f"{name}_Dim.dat": _dim_table("\t", ["呼び", "d", "P", "s", "m (最大)", "s (附属書JA)",
                                             "m (附属書JA)", "m (スタイル2)"], rows),
        f"{name}_Range.dat": _d_range_table(tabs),
        "B1181_Material.dat": _material_file(tabs, "nut"),
    }
    return part


def _washer(tabs):
    name = "B1256_PlainWasher"
    part = Part(name, "washer", "平座金", thumb_direction=0)
    captions = ",".join(caption for _, caption in T.WASHER_SERIES)
    radio1 = [("caption", "種類"), ("selection", captions), ("paramName", "SER"),
              ("default", "0"), ("enabled", "0:Check3")]
    controls, lookup = _common_controls(part, "断面図,平面図", f"{name}_Dim.dat", radio1,
                                        ("B1256_Material.dat", "鋼,200HV"))
    chamfer = ("Check3", [("caption", "面取り (ISO 7090)"), ("paramName", "CHAMFER"),
                          ("default", "0")])
    controls.insert([c[0] for c in controls].index("Check1"), chamfer)
    part.sections = [("General", [("ThumbDirection", "0")]),
                     ("error", _errors(part, "呼び径 d")),
                     # The 2008 small series is published up to M10 only; chamfered
                     # washers start at M5.
                     ("disabled", [("0", "List1>10:Radio1:1"),
                                   ("1", "List1<5|Radio1>0:Check3")]),
                     ("enabled", [("0", "List1<=10:Radio1:1"),
                                  ("1", "List1>=5&Radio1=0:Check3")]),
                     ("Header", [("caption", "平座金　JIS B 1256")])] + controls
    rows = []
    for s in T.SIZES:
        row = [s, tabs.threads[s].d]
        for series in tabs.washers:
            row.append(series.rows[s][1] if s in series.rows else "")
        rows.append(row)
    part.data = {
        f"{name}_Yobi.dat": _sizes_file(part, lookup),
        f"{name}_Dim.dat": _dim_table("\t", ["呼び", "d"] + [f"d2 {c}" for _, c in
                                                           T.WASHER_SERIES], rows),
        f"{name}_Range.dat": _d_range_table(tabs),
        "B1256_Material.dat": _material_file(tabs, "washer"),
    }
    return part


def all_parts(tabs):
    from .parts_more import more_parts
    return _first_parts(tabs) + more_parts(tabs)


def _first_parts(tabs):
    return [
        _bolt(tabs, "B1180_Partial", "bolt_partial", "六角ボルト 部分ねじ",
              "六角ボルト（部分ねじ）　JIS B 1180 / ISO 4014", "ISO 4014"),
        _bolt(tabs, "B1180_Full", "bolt_full", "六角ボルト 全ねじ",
              "六角ボルト（全ねじ）　JIS B 1180 / ISO 4017", "ISO 4017"),
        _nut(tabs),
        _washer(tabs),
    ]
