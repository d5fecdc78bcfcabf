"""Compares two .xls workbooks through an independent reader: sheet names,
cell values and types, number format codes and merged ranges. Exit 0 when
equal; otherwise prints the first differences and exits 1."""
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


def main():
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
