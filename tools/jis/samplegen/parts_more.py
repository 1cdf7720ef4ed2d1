"""The dialog descriptions and data tables of the screws, studs, pins, thin nuts and tapped
holes (parts.py has the bolts, hex nuts and washers)."""
from . import parts as P
from . import tables as T
from .symbols_misc import STUD_TYPES
from .symbols_screws import POINTS

ALL_SIZES = T.SIZES


def _rows(tabs, table, head=None):
    rows = tabs.more[table]
    if head is None:
        return rows
    return {k.split(":", 1)[1]: r for k, r in rows.items() if k.startswith(head + ":")}


def _threaded_part(tabs, name, kind, title, header, sizes, dim_heading, dim_rows, *,
                   radio1=None, material="bolt", quality_default="鋼,8.8", extra=(),
                   drawing="正面図,側面図", default_size="M10", length=None):
    """A part picked by thread size: the size list fills the nominal diameter through a
    four-part look-up; RANGE_ERR keeps d to the size's own."""
    part = P.Part(name, kind, title)
    lookup = f"List1:Label1:{name}_Dim.dat:Edit1"
    controls = [
        ("Drawing", [("caption", "図形"), ("selection", drawing), ("symbol", "1,0"),
                     ("base_name", ""), ("data", "Radio2:1,0,1H,0H"), ("default", "1")]),
        ("List1", [("caption", "呼び径"), ("data", ""), ("default", default_size)]),
        ("Label1", [("caption", "参照列 (値なし = 表の 1 列目)")]),
    ]
    if radio1:
        controls.append(("Radio1", radio1))
    controls += [
        ("Radio2", [("caption", "線種"), ("selection", P.LINETYPES), ("default", "0")]),
        ("Edit1", [("caption", "呼び径 d"), ("paramName", "D"), ("default", "10")]),
    ] + list(extra) + [
        ("Check1", [("caption", "中心線"), ("default", "1")]),
        ("Quality", [("material", f"{_material_name(name)}"), ("default", quality_default)]),
        ("ComboList1", [("caption", "表面処理"), ("data", P.SURFACE), ("default", "なし")]),
        ("Check2", [("caption", "属性編集"), ("default", "0")]),
    ]
    part.sections = [("General", [("ThumbDirection", "1")]),
                     ("error", P._errors(part, "呼び径 d")),
                     ("Header", [("caption", header)])] + controls
    part.data = {
        f"{name}_Yobi.dat": [f"$Pair {lookup}"] + sizes,
        f"{name}_Dim.dat": P._dim_table("\t", dim_heading, dim_rows),
        f"{name}_Range.dat": P._dim_table("\t", ["呼び", "d 最小", "d 最大"],
                                          [[s, tabs.threads[s].d, tabs.threads[s].d]
                                           for s in sizes]),
        _material_name(name): P._material_file(tabs, material),
    }
    part.sizes = sizes
    part.length = length
    return part


def _material_name(name):
    return name.split("_")[0] + "_Material.dat"


def socket_head(tabs):
    rows = _rows(tabs, "screws_socket_head_jis_b1176.tsv")
    sizes = [s for s in ALL_SIZES if s in rows]
    radio1 = [("caption", "六角穴"), ("selection", "表示しない,かくれ線で表示"),
              ("paramName", "SOCKETVIEW"), ("default", "0")]
    cols = ["P", "dk", "k", "s", "t", "b"]
    return _threaded_part(
        tabs, "B1176_SocketHead", "socket_head", "六角穴付きボルト",
        "六角穴付きボルト　JIS B 1176 / ISO 4762", sizes, ["呼び", "d"] + cols,
        [[s, tabs.threads[s].d] + [rows[s][c] for c in cols] for s in sizes], radio1=radio1,
        drawing="正面図,上面図", length=("socket_head", rows))


def socket_csk(tabs):
    rows = _rows(tabs, "screws_socket_csk_jis_b1194.tsv")
    sizes = [s for s in ALL_SIZES if s in rows]
    cols = ["P", "dk", "k", "s", "t", "b"]
    return _threaded_part(
        tabs, "B1194_SocketCsk", "socket_csk", "六角穴付き皿ボルト",
        "六角穴付き皿ボルト　JIS B 1194 / ISO 10642", sizes, ["呼び", "d"] + cols,
        [[s, tabs.threads[s].d] + [rows[s][c] for c in cols] for s in sizes],
        drawing="正面図,上面図", length=("countersunk_socket", rows))


def cross(tabs, head):
    rows = _rows(tabs, "screws_cross_jis_b1111.tsv", head)
    sizes = [s for s in ALL_SIZES if s in rows]
    cols = ["P", "dk", "k", "recess", "b"]
    pan = head == "pan"
    name = "B1111_PanCross" if pan else "B1111_CskCross"
    title = "十字穴付きなべ小ねじ" if pan else "十字穴付き皿小ねじ"
    iso = "ISO 7045" if pan else "ISO 7046"
    return _threaded_part(
        tabs, name, "cross_pan" if pan else "cross_csk", title, f"{title}　JIS B 1111 / {iso}",
        sizes, ["呼び", "d"] + cols,
        [[s, tabs.threads[s].d] + [rows[s][c] for c in cols] for s in sizes],
        quality_default="鋼,4.8", drawing="正面図,上面図", default_size="M5",
        length=("cross_recessed", rows))


def set_screw(tabs):
    rows = _rows(tabs, "set_screws_jis_b1177.tsv")
    sizes = [s for s in ALL_SIZES if s in rows]
    name = "B1177_SetScrew"
    # The point type chooses the pictures (with the line type) and the nominal lengths.
    radio1 = [("caption", "先端形状"), ("selection", ",".join(POINTS)), ("paramName", "PT"),
              ("default", "0")]
    cols = ["P", "s", "t", "dp", "dt", "dz", "z"]
    part = _threaded_part(
        tabs, name, "set_screw", "六角穴付き止めねじ",
        "六角穴付き止めねじ　JIS B 1177 / ISO 4026, 4027, 4028, 4029", sizes,
        ["呼び", "d"] + cols, [[s, tabs.threads[s].d] + [rows[s][c] for c in cols]
                              for s in sizes],
        radio1=radio1, quality_default="鋼,45H", material="set_screw",
        length=("set_screw", rows))
    names = []
    for pt in range(len(POINTS)):
        for hidden in ("", "H"):
            names += [f"{name}_P{pt}_1{hidden}", f"{name}_0{hidden}"]
    drawing = dict(part.sections)["Drawing"]
    drawing[:] = [(k, f"Radio1:Radio2:{','.join(names)}" if k == "data" else v)
                  for k, v in drawing]
    return part


def stud(tabs):
    rows = _rows(tabs, "studs_jis_b1173.tsv")
    sizes = [s for s in ALL_SIZES if s in rows]
    radio1 = [("caption", "種類"), ("selection", ",".join(STUD_TYPES)), ("paramName", "BMT"),
              ("default", "0")]
    part = _threaded_part(
        tabs, "B1173_Studs", "stud", "植込みボルト", "植込みボルト　JIS B 1173", sizes,
        ["呼び", "d", "P", "b"], [[s, tabs.threads[s].d, rows[s]["P"], rows[s]["b"]]
                                 for s in sizes],
        radio1=radio1, quality_default="鋼,4.8", length=("stud", rows))
    # The whole stud dashed when asked: the "LineType" parameter (the metal end is hidden in
    # its tapped hole anyway, by the placement's rule for studs).
    for section, keys in part.sections:
        if section == "Radio2":
            keys.append(("paramName", "LineType"))
    return part


def thin_nut(tabs):
    name = "B1181_ThinNut"
    iso = {k[len("thin(=ISO4035):"):]: r for k, r in tabs.more["nuts_extra_jis_b1181.tsv"]
           .items() if k.startswith("thin(=ISO4035):")}
    ja = {k[len("thin_annex_JA_type3:"):]: r for k, r in tabs.more["nuts_extra_jis_b1181.tsv"]
          .items() if k.startswith("thin_annex_JA_type3:")}
    radio1 = [("caption", "規格"), ("selection", "JIS本体 (ISO 4035),附属書JA (3種)"),
              ("paramName", "JA"), ("default", "0")]
    return _threaded_part(
        tabs, name, "thin_nut", "六角ナット (薄形)", "六角薄ナット　JIS B 1181 / ISO 4035",
        ALL_SIZES, ["呼び", "d", "s", "m", "s (附属書JA)", "m (附属書JA 3種)"],
        [[s, tabs.threads[s].d, iso[s]["s"], iso[s]["m"], ja[s]["s"], ja[s]["m"]]
         for s in ALL_SIZES], radio1=radio1, material="nut", quality_default="鋼,5",
        drawing="正面図,上面図")


def _plain_sizes_part(name, kind, title, header, sizes, radio1, extra_sections=()):
    """A part whose sizes are plain diameters: the list's value is the parameter D itself."""
    part = P.Part(name, kind, title)
    linetype_radio = "Radio2" if radio1 else "Radio1"
    controls = [
        ("Drawing", [("caption", "図形"), ("selection", "正面図,側面図"), ("symbol", "1,0"),
                     ("base_name", ""), ("data", f"{linetype_radio}:1,0,1H,0H"),
                     ("default", "1")]),
    ]
    controls += list(extra_sections)
    if radio1:
        controls.append(("Radio1", radio1))
    controls += [
        (linetype_radio, [("caption", "線種"), ("selection", P.LINETYPES), ("default", "0")]),
        ("Check1", [("caption", "中心線"), ("default", "1")]),
        ("Quality", [("material", _material_name(name)), ("default", "鋼")]),
        ("Check2", [("caption", "属性編集"), ("default", "0")]),
    ]
    part.sections = [("General", [("ThumbDirection", "1")]),
                     ("Header", [("caption", header)])] + controls
    part.sizes = sizes
    return part


def parallel_pin(tabs):
    rows = tabs.more["pins_parallel_jis_b1354.tsv"]
    name = "B1354_ParallelPin"
    # One line per size, one column per standard: the radio picks the column, so a size
    # ISO 8734 lacks is left out of its list.
    lines = [f"{k},{k if T.present(r['l_min_8734']) else ''}" for k, r in rows.items()]
    radio1 = [("caption", "規格"), ("selection", "ISO 2338 (m6),ISO 8734 (焼入れ)"),
              ("paramName", "HARD"), ("default", "0")]
    size_list = ("List1", [("caption", "呼び径 d"), ("control", "Radio1"),
                           ("data", f"{name}_Yobi.dat"), ("paramName", "D"), ("default", "6")])
    part = _plain_sizes_part(name, "parallel_pin", "平行ピン",
                             "平行ピン　JIS B 1354 / ISO 2338, ISO 8734", list(rows), radio1,
                             [size_list])
    part.data = {f"{name}_Yobi.dat": lines,
                 _material_name(name): P._material_file(tabs, "pin")}
    part.length = ("parallel_pin", rows)
    return part


def split_pin(tabs):
    rows = tabs.more["pins_split_jis_b1351.tsv"]
    name = "B1351_SplitPin"
    size_list = ("List1", [("caption", "呼び径 (ピン穴径)"), ("data", f"{name}_Yobi.dat"),
                           ("paramName", "D"), ("default", "4")])
    part = _plain_sizes_part(name, "split_pin", "割りピン", "割りピン　JIS B 1351 / ISO 1234",
                             list(rows), None, [size_list])
    part.data = {f"{name}_Yobi.dat": list(rows),
                 _material_name(name): P._material_file(tabs, "pin")}
    part.length = ("split_pin", rows)
    return part


def tapped_hole(tabs):
    name = "B0205_TappedHole"
    part = P.Part(name, "tapped_hole", "ねじ穴")
    lookup = f"List1:Label1:{name}_Dim.dat:Edit1"
    part.sections = [
        ("General", [("ThumbDirection", "1")]),
        ("error", [
            ("0", f"TAP_ERR,Edit2,Edit3,List1:{name}_Tap.txt,キリ深さが足りません。"),
            ("1", f"RANGE_ERR,Edit3,List1:{name}_Depth.dat,"
                  "ねじ深さは %s の範囲で指定してください。"),
            ("2", "$Edit3<=0,ねじ深さには正の値を指定してください。")]),
        ("Header", [("caption", "ねじ穴 (めねじ)　JIS B 0205")]),
        ("Drawing", [("caption", "図形"), ("selection", "断面図,上面図"), ("symbol", "1,0"),
                     ("base_name", ""), ("data", "Radio2:1,0,1H,0H"), ("default", "1")]),
        ("List1", [("caption", "呼び径"), ("data", ""), ("default", "M10")]),
        ("Label1", [("caption", "参照列 (値なし = 表の 1 列目)")]),
        # A through hole has no drill depth of its own.
        ("Radio1", [("caption", "穴の種類"), ("selection", "止まり穴,通し穴"),
                    ("paramName", "THRU"), ("default", "0"), ("enabled", "0:Edit2")]),
        ("Radio2", [("caption", "線種"), ("selection", P.LINETYPES), ("default", "0")]),
        ("Edit1", [("caption", "呼び径 d"), ("paramName", "D"), ("default", "10")]),
        ("Edit2", [("caption", "キリ深さ"), ("paramName", "DRILL"), ("default", "20")]),
        ("Edit3", [("caption", "ねじ深さ"), ("paramName", "TDEP"), ("default", "15")]),
        ("Check1", [("caption", "中心線"), ("default", "1")]),
    ]
    th = tabs.threads
    part.data = {
        f"{name}_Yobi.dat": [f"$Pair {lookup}"] + ALL_SIZES,
        f"{name}_Dim.dat": P._dim_table("\t", ["呼び", "d", "P", "D1 (下穴)"],
                                        [[s, th[s].d, th[s].pitch, th[s].d1]
                                         for s in ALL_SIZES]),
        # The tapped-hole check's table: field 1 the pitch, field 2 the diameter.
        f"{name}_Tap.txt": P._dim_table("\t", ["呼び", "P", "d"],
                                        [[s, th[s].pitch, th[s].d] for s in ALL_SIZES]),
        # The sample's rule for the thread depth: from 1 d to 3 d.
        f"{name}_Depth.dat": P._dim_table("\t", ["呼び", "最小", "最大"],
                                          [[s, th[s].d, T.fmt(3 * float(th[s].d))]
                                           for s in ALL_SIZES]),
    }
    part.sizes = ALL_SIZES
    return part


def hex_nut_style2_list(tabs):
    """The size list of style 2 nuts (M5 and up), which the nut's type radio switches to."""
    style2 = {k.split(":", 1)[1] for k in tabs.more["nuts_extra_jis_b1181.tsv"]
              if k.startswith("style2")}
    return [s for s in ALL_SIZES if s in style2]


def more_parts(tabs):
    return [socket_head(tabs), socket_csk(tabs), set_screw(tabs), cross(tabs, "pan"),
            cross(tabs, "countersunk"), stud(tabs), thin_nut(tabs), parallel_pin(tabs),
            split_pin(tabs), tapped_hole(tabs)]
