#!/usr/bin/python3
"""check_filled_xls.py FILLED.xls REQUEST.json -- checks a bill filled from
bench_template.xls through an independent reader (xlrd): the bill number of
the head, one row per request line (as many as an .xls sheet holds: it ends
at row 65,536), the first and last line's values, and the total row below
the lines when they all fit. Exit 1 naming the first difference."""
import json
import sys

import xlrd

XLS_ROWS = 65536
FIRST_LINE = 8  # 0-based row of the first line: a margin row, then the template's 7 head rows
FIELDS = ["FNumber", "FName", "FUnit", "FQty", "FPrice", "FAmount"]  # columns B..G (a margin column first)


def main(path, request_path):
    data = json.load(open(request_path, encoding="utf-8"))["Data"]
    head = {k.split("_", 2)[2]: v["FFLD"] for k, v in data["Page1"].items()}
    lines = [{k.split("_", 2)[2]: v["FFLD"] for k, v in line.items()} for line in data["Page2"]]
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    problems = []
    if sheet.cell_value(3, 2) != head["FBillNo"]:
        problems.append(f"bill number {sheet.cell_value(3, 2)!r}, expected {head['FBillNo']!r}")
    kept = min(len(lines), XLS_ROWS - FIRST_LINE)
    filled = 0
    while FIRST_LINE + filled < sheet.nrows and str(sheet.cell_value(FIRST_LINE + filled, 1)).startswith("P"):
        filled += 1
    if filled != kept:
        problems.append(f"{filled} line rows, expected {kept}")
    for i in {0, kept - 1}:
        got = sheet.row_values(FIRST_LINE + i, 1, 1 + len(FIELDS)) if FIRST_LINE + i < sheet.nrows else []
        want = [lines[i][f] for f in FIELDS]
        if got != want:
            problems.append(f"line {i + 1}: {got}, expected {want}")
    if kept == len(lines):
        total = sheet.cell_value(FIRST_LINE + kept, 1) if FIRST_LINE + kept < sheet.nrows else None
        if total != "合计：":
            problems.append(f"row {FIRST_LINE + kept + 1} holds {total!r}, expected the total row")
    if problems:
        print(f"{path}: " + "; ".join(problems))
        return 1
    print(f"{path}: {filled} lines, head and first and last line as requested")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
