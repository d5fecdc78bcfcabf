#!/usr/bin/python3
"""fill_oracle.py -- independent helpers for the fill example tests (openpyxl,
no code of ours).

  fill_oracle.py ignore TEMPLATE [--entry AT:COUNT ...] [--margins]
      Prints the xlsxdiff.py options that exclude the cells a fill writes:
      every keyword cell of the template's first sheet, moved to where it
      lies in the output (entry rows AT copied COUNT times above themselves,
      in the order given; then, with --margins, one row and one column
      inserted at the top left). Keyword cells of an entry row stand for
      their whole block of lines. Keyword formula cells and keyword cells
      of the General format also get --ignore-styles: the engine makes the
      formulas General, and a value typed into a General cell may bring its
      own format (a date gets yyyy-mm-dd), as in a spreadsheet.

  fill_oracle.py cells WORKBOOK REF ...
      Prints "REF<TAB>content" for each cell of the first sheet: a formula
      as its text, a whole number without ".0", a date as YYYY-MM-DD,
      "(empty)" for no value, a number kept as text with a leading "'". REF may also be "height:ROW" (custom row
      height in points, "(default)" without one) or "width:COLUMN".
"""
import argparse
import datetime
import re

from openpyxl import load_workbook
from openpyxl.utils import get_column_letter


def moved_row(row, entries):
    """(first, last) output rows of template row `row`."""
    first = last = row
    for at, count in entries:
        if first > at:
            first += count
            last += count
        elif first == at:
            # The entry row: its copies lie above it, the row itself moves down.
            last = first + count
    return first, last


def ignore(template, entries, margins):
    ws = load_workbook(template).worksheets[0]
    values, styles = [], []
    for row in ws.iter_rows():
        for cell in row:
            text = cell.value
            if not isinstance(text, str) or "[$" not in text:
                continue
            first, last = moved_row(cell.row, entries)
            col = cell.column + (1 if margins else 0)
            if margins:
                first, last = first + 1, last + 1
            letter = get_column_letter(col)
            ref = "%s%d" % (letter, first) if first == last else "%s%d:%s%d" % (letter, first, letter, last)
            values.append(ref)
            # Typing a value into a General cell may give it a format (a
            # date), and keyword formulas become General.
            if text.startswith("=") or cell.number_format == "General":
                styles.append(ref)
    out = []
    if values:
        out += ["--ignore-cells", ",".join(values)]
    if styles:
        out += ["--ignore-styles", ",".join(styles)]
    print(" ".join(out))


def cells(path, refs):
    ws = load_workbook(path).worksheets[0]
    for ref in refs:
        if ref.startswith("height:"):
            height = ws.row_dimensions[int(ref[7:])].height
            print("%s\t%s" % (ref, "(default)" if height is None else "%g" % height))
            continue
        if ref.startswith("width:"):
            dim = ws.column_dimensions.get(ref[6:])
            print("%s\t%s" % (ref, "(default)" if dim is None or dim.width is None else "%g" % dim.width))
            continue
        value = ws[ref].value
        if isinstance(value, datetime.datetime) and value.time() == datetime.time(0):
            value = value.date()
        if isinstance(value, datetime.date):
            text = value.isoformat()
        elif value is None:
            text = "(empty)"
        elif isinstance(value, str) and re.fullmatch(r"[+-]?[0-9]+(\.[0-9]+)?", value):
            text = "'" + value  # a number kept as text, as a spreadsheet marks it
        elif isinstance(value, float) and value.is_integer():
            text = str(int(value))
        else:
            text = str(value)
        print("%s\t%s" % (ref, text))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    ignored = commands.add_parser("ignore")
    ignored.add_argument("template")
    ignored.add_argument("--entry", action="append", default=[], type=lambda v: tuple(int(n) for n in v.split(":")))
    ignored.add_argument("--margins", action="store_true")
    read = commands.add_parser("cells")
    read.add_argument("workbook")
    read.add_argument("refs", nargs="*")
    args = parser.parse_args()
    if args.command == "ignore":
        ignore(args.template, args.entry, args.margins)
    else:
        cells(args.workbook, args.refs)


if __name__ == "__main__":
    main()
