"""The text side of the sample product: catalogue, nominal sizes, descriptions, data, config."""
import os

from . import tables as T
from .textfiles import tab_line, write_ascii, write_cp932, write_ini, write_utf8

CATALOGUE_COLUMNS = 20  # 0..19; column 20 (override) only when used


def _catalogue_line(cells):
    """cells: {column: text}. Missing columns are empty; trailing empties after 19 dropped."""
    last = max(max(cells), CATALOGUE_COLUMNS - 1)
    return tab_line([cells.get(i, "") for i in range(last + 1)])


def catalogue_lines():
    # A non-empty first column starts a new group, so every group's lines stand together and
    # later lines of a group leave the first column empty.
    # Bolts: a group with a named sub-group and two levels (type, thread form); the second
    # line continues the first one's group, sub-group and first level. Socket screws and studs
    # join the group under sub-groups of their own.
    # Nuts: a "-" sub-group, which the picture catalogue lifts away; the thin nut continues it.
    # Washers: a flat line (columns 2 and 3 filled on a group line) without a sub-group column.
    return [
        _catalogue_line({0: "ボルト", 1: "六角ボルト", 4: "B1180 六角ボルト", 5: "JIS B 1180",
                         6: "HEXBOLT", 7: "六角ボルト 部分ねじ", 8: "ISO 4014", 9: "PARTIAL",
                         19: "B1180_Partial"}),
        _catalogue_line({7: "六角ボルト 全ねじ", 8: "ISO 4017", 9: "FULL", 19: "B1180_Full",
                         20: "六角ボルト 全ねじ (ISO 4017)"}),
        _catalogue_line({1: "六角穴付きボルト", 4: "B1176 六角穴付きボルト", 5: "JIS B 1176",
                         6: "SOCKETHEAD", 19: "B1176_SocketHead"}),
        _catalogue_line({4: "B1194 六角穴付き皿ボルト", 5: "JIS B 1194", 6: "SOCKETCSK",
                         19: "B1194_SocketCsk"}),
        _catalogue_line({1: "植込みボルト", 4: "B1173 植込みボルト", 5: "JIS B 1173",
                         6: "STUD", 19: "B1173_Studs"}),
        _catalogue_line({0: "ナット", 1: "-", 4: "B1181 六角ナット", 5: "JIS B 1181",
                         6: "HEXNUT", 19: "B1181_HexNut"}),
        _catalogue_line({4: "B1181 六角ナット (薄形)", 5: "JIS B 1181", 6: "THINNUT",
                         19: "B1181_ThinNut"}),
        _catalogue_line({0: "座金", 1: "B1256\u3000平座金", 2: "JIS B 1256", 3: "PLAINWASHER",
                         19: "B1256_PlainWasher"}),
    ] + _more_catalogue_lines()


def _more_catalogue_lines():
    # Screws, set screws, pins and holes are groups of their own.
    return [
        _catalogue_line({0: "小ねじ", 1: "十字穴付き小ねじ", 4: "B1111 十字穴付き小ねじ",
                         5: "JIS B 1111", 6: "CROSS", 7: "なべ小ねじ", 8: "ISO 7045",
                         9: "PAN", 19: "B1111_PanCross"}),
        _catalogue_line({7: "皿小ねじ", 8: "ISO 7046", 9: "CSK", 19: "B1111_CskCross"}),
        _catalogue_line({0: "止めねじ", 1: "-", 4: "B1177 六角穴付き止めねじ", 5: "JIS B 1177",
                         6: "SETSCREW", 19: "B1177_SetScrew"}),
        _catalogue_line({0: "ピン", 1: "ピン", 4: "B1354 平行ピン", 5: "JIS B 1354",
                         6: "PARALLELPIN", 19: "B1354_ParallelPin"}),
        _catalogue_line({4: "B1351 割りピン", 5: "JIS B 1351", 6: "SPLITPIN",
                         19: "B1351_SplitPin"}),
        _catalogue_line({0: "ねじ穴", 1: "B0205\u3000ねじ穴", 2: "JIS B 0205", 3: "TAPPEDHOLE",
                         19: "B0205_TappedHole"}),
    ]


def _length_columns(tabs):
    """Extra columns, one per preferred length, so that every length inside a size's range
    becomes one of its nominal lengths (the reader collects every row's values in range)."""
    return [f"L{l}" for l in tabs.preferred], list(tabs.preferred)


def nominal_size_lines(tabs, parts=()):
    extra_heads, extra_values = _length_columns(tabs)
    sizes = T.SIZES

    def header(title, variants):
        return tab_line(["呼び長さ", title, "", "NOM_SIZE", "VARIANT" if variants else ""] +
                        sizes + extra_heads)

    def pair(label, pattern, variant, ranges):
        mins = [ranges[s][0] for s in sizes]
        maxs = [ranges[s][1] for s in sizes]
        return [tab_line([label, "最小", pattern, "", variant] + mins + extra_values),
                tab_line(["", "最大", "", "", ""] + maxs + extra_values)]

    lines = [header("ISO 4017 (全ねじ)", False)]
    lines += pair("六角ボルト 全ねじ", "B1180_Full", "", tabs.iso4017)
    lines.append(header("ISO 4014 (部分ねじ), 規格ごと", True))
    # Variant 0 is the main body (ISO 4014); annex JA bolts take the same ranges.
    lines += pair("六角ボルト 部分ねじ", '"B1180_Part*"', "0", tabs.iso4014)
    lines += pair("", "", "*", tabs.iso4014)
    return lines + _more_nominal_lines(tabs, parts)


# Parts whose length range depends on their first radio: (variant pattern, range columns).
VARIANT_RANGES = {
    "B1177_SetScrew": [("2", "l_min_dog", "l_max_dog"), ("*", "l_min_flat", "l_max_flat")],
    "B1354_ParallelPin": [("0", "l_min_2338", "l_max_2338"), ("*", "l_min_8734", "l_max_8734")],
}


def _more_nominal_lines(tabs, parts):
    """One header per part: its sizes, then one column per nominal length of its series (both
    limits the length), so the jig snaps to the series within the size's range."""
    lines = []
    for part in parts:
        if part.length is None or part.length[0] not in tabs.more["lengths_series.tsv"]:
            continue
        series, rows = part.length
        lengths = tabs.more["lengths_series.tsv"][series]
        sizes = [s for s in part.sizes if s in rows]
        ranges = VARIANT_RANGES.get(part.name, [("", "l_min", "l_max")])
        variants = ranges[0][0] != ""
        lines.append(tab_line(["呼び長さ", part.title, "", "NOM_SIZE",
                               "VARIANT" if variants else ""] + sizes +
                              [f"L{x}" for x in lengths]))
        for i, (variant, low, high) in enumerate(ranges):
            lines.append(tab_line([part.title if i == 0 else "", "最小",
                                   part.name if i == 0 else "", "", variant] +
                                  [rows[s][low] for s in sizes] + lengths))
            lines.append(tab_line(["", "最大", "", "", ""] + [rows[s][high] for s in sizes] +
                                  lengths))
    return lines


def _write_config(out):
    cfg = os.path.join(out, "config")
    write_ini(os.path.join(cfg, "PartsContentsParam.ini"), [
        ("OUTLINE", [("Layer", "AM_0"), ("Color", "7"), ("LineType", "Continuous"),
                     ("LineWeight", "50")]),
        ("CENTER", [("Layer", "AM_7"), ("Color", "1"), ("LineType", "Center"),
                    ("LineWeight", "30")]),
        ("HIDE", [("Layer", "AM_3"), ("Color", "4"), ("LineType", "Dashed"),
                  ("LineWeight", "30")]),
        ("THREAD", [("Layer", "AM_4"), ("Color", "4"), ("LineType", "Continuous"),
                    ("LineWeight", "30")]),
        ("THRHIDE", [("Layer", "AM_3"), ("Color", "4"), ("LineType", "Phantom"),
                     ("LineWeight", "30")]),
        ("OTHER", [("ProjectionLength", "2.5")]),
    ])
    write_ini(os.path.join(cfg, "PartsAttPrompt.ini"), [("PROMPT", [
        ("NAME", "部品名"), ("DEVICE", "標準部品名"), ("PARTS_NO", "部品番号"),
        ("BOMCOUNT", "数量"), ("MATERIAL", "材質"), ("WEIGHT", "重量"), ("MAKER", "メーカー"),
        ("ITEM1", "備考1"), ("ITEM2", "備考2")])])
    write_ini(os.path.join(cfg, "Zorma_Zuwaku.ini"), [("TitleBlock", [
        ("ItemCount", "3"),
        ("0_block", "ZUWAKU_A#"), ("0_layer", "ZUWAKU"),
        ("1_block", "FRAME*"), ("1_layer", ""),
        ("2_block", ""), ("2_layer", "")])])  # both empty: dropped by the reader
    write_utf8(os.path.join(cfg, "default.lin"), LINETYPES)


# Linetypes for the layer categories and the usual drafting set, in .lin syntax.
LINETYPES = [
    ";; Linetypes of the sample product (lengths in millimetres)",
    "*Continuous,Solid line ________________________________________",
    "A,",
    "*Dashed,Dashed __ __ __ __ __ __ __ __ __ __ __ __ __ __ __ _",
    "A,3,-1.5",
    "*Hidden,Hidden __ __ __ __ __ __ __ __ __ __ __ __ __ __ __ __",
    "A,2.5,-1.25",
    "*Center,Center ____ _ ____ _ ____ _ ____ _ ____ _ ____ _ ____",
    "A,12,-2,2,-2",
    "*Phantom,Phantom ______  __  __  ______  __  __  ______  __",
    "A,12,-2,2,-2,2,-2",
    "*Dot,Dot . . . . . . . . . . . . . . . . . . . . . . . . . .",
    "A,0,-1.5",
    "*DashDot,Dash dot __ . __ . __ . __ . __ . __ . __ . __ . __",
    "A,6,-1.5,0,-1.5",
]


def write_text_files(out, tabs, parts):
    data_root = os.path.join(out, "PartsData")
    contents = os.path.join(data_root, "PartsContents")
    _write_config(out)
    write_cp932(os.path.join(data_root, "PartsContentsK.txt"), catalogue_lines())
    write_cp932(os.path.join(data_root, "PartsContentsY.txt"), nominal_size_lines(tabs, parts))
    written = {}
    for part in parts:
        write_ini(os.path.join(contents, "Dlg", part.name + ".ini"), part.sections)
        for name, lines in part.data.items():
            if name in written and written[name] != lines:
                raise ValueError(f"two parts write different {name}")
            written[name] = lines
            write_cp932(os.path.join(contents, "Data", name), lines)
    return written


__all__ = ["write_text_files", "catalogue_lines", "nominal_size_lines", "write_ascii"]
