"""Byte-exact writers for the library's text files.

Every file ends its lines with CR LF, as the library's home platform writes them. Ini files are
UTF-16LE with a byte-order mark (the private-profile reader takes them whatever the system code
page is); catalogue and data files are code page 932 without a mark, the way library authors'
editors save them there.
"""
import os


def _crlf(lines):
    return "".join(line + "\r\n" for line in lines)


def _write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_cp932(path, lines):
    _write(path, _crlf(lines).encode("cp932"))


def write_ascii(path, lines):
    _write(path, _crlf(lines).encode("ascii"))


def write_utf8(path, lines):
    _write(path, _crlf(lines).encode("utf-8"))


def write_ini(path, sections):
    """sections: list of (name, [(key, value), ...]) or (name, [raw line, ...])."""
    lines = []
    for name, entries in sections:
        if lines:
            lines.append("")
        lines.append(f"[{name}]")
        for entry in entries:
            lines.append(entry if isinstance(entry, str) else f"{entry[0]}={entry[1]}")
    _write(path, b"\xff\xfe" + _crlf(lines).encode("utf-16-le"))


def tab_line(fields):
    return "\t".join(fields)
