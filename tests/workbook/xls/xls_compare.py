"""Compares two .xls workbooks through an independent reader: sheet names,
cell values and types, number format codes and merged ranges. Exit 0 when
equal; otherwise prints the first differences and exits 1.

With --styles, compares instead the look of the cells both hold outside
merged ranges (programs style the cells a merge covers differently): border
line styles and colours, fill pattern and colours, font colour, colours as
RGB through the workbook's palette, automatic ones as black or white.
Exits 1 too when the two have no cell in common."""
import os
import sys

import xlrd


def describe(path):
    book = xlrd.open_workbook(path, formatting_info=True, logfile=open(os.devnull, "w"))
    out = {}
    for sheet in book.sheets():
        cells = {}
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                xf = book.xf_list[cell.xf_index]
                fmt = book.format_map[xf.format_key].format_str
                cells[(r, c)] = (cell.ctype, cell.value, fmt)
        out[sheet.name] = (cells, sorted(sheet.merged_cells), sheet.visibility)
    return out


def looks(path):
    book = xlrd.open_workbook(path, formatting_info=True, logfile=open(os.devnull, "w"))

    def rgb(index, automatic):
        return book.colour_map.get(index) or automatic

    out = {}
    for sheet in book.sheets():
        merged = sheet.merged_cells
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                if any(r0 <= r < r1 and c0 <= c < c1 for r0, r1, c0, c1 in merged):
                    continue
                xf = book.xf_list[sheet.cell_xf_index(r, c)]
                b, f = xf.border, xf.background
                edges = [(b.left_line_style, b.left_colour_index), (b.right_line_style, b.right_colour_index),
                         (b.top_line_style, b.top_colour_index), (b.bottom_line_style, b.bottom_colour_index)]
                if b.diag_up or b.diag_down:
                    edges.append((b.diag_line_style, b.diag_colour_index, b.diag_up, b.diag_down))
                lines = [(e[0], rgb(e[1], (0, 0, 0))) + e[2:] if e[0] else 0 for e in edges]
                # A solid fill shows its pattern colour only.
                fill = (f.fill_pattern, rgb(f.pattern_colour_index, (0, 0, 0)),
                        f.fill_pattern > 1 and rgb(f.background_colour_index, (255, 255, 255))) if f.fill_pattern else 0
                font = rgb(book.font_list[xf.font_index].colour_index, (0, 0, 0))
                out[(sheet.name, r, c)] = (lines, fill, font)
    return out


def main():
    if "--styles" in sys.argv:
        a, b = looks(sys.argv[1]), looks(sys.argv[2])
        problems = ["%r: %r != %r" % (k, a[k], b[k]) for k in sorted(set(a) & set(b)) if a[k] != b[k]]
        for p in problems[:10]:
            print(p)
        sys.exit(1 if problems or not (set(a) & set(b)) else 0)
    a, b = describe(sys.argv[1]), describe(sys.argv[2])
    problems = []
    if list(a) != list(b):
        problems.append("sheets %r != %r" % (list(a), list(b)))
    for name in a:
        if name not in b:
            continue
        (ca, ma, va), (cb, mb, vb) = a[name], b[name]
        if ma != mb:
            problems.append("%s: merges %r != %r" % (name, ma[:5], mb[:5]))
        if va != vb:
            problems.append("%s: visibility %r != %r" % (name, va, vb))
        for key in sorted(set(ca) | set(cb)):
            if ca.get(key) != cb.get(key):
                problems.append("%s!%r: %r != %r" % (name, key, ca.get(key), cb.get(key)))
    for p in problems[:10]:
        print(p)
    sys.exit(1 if problems else 0)


main()
