#!/usr/bin/python3
"""Writes the small workbook the spreadsheet surface unit tests read.

    make_surface_book.py OUT.xlsx [ROWS]

Sheet "Data": numbers in several formats, a date, a Text-formatted cell,
booleans, formulas, and keyword-like texts placed for the search tests.
Sheet "Other" refers to "Data"; sheet "Third" holds a formula into "Other".
With ROWS, sheet "Data" also gets that many filler rows below row 20 and a
keyword in the last one (for the long-sheet search).
"""
import sys

from openpyxl import Workbook


def main(out, rows):
    wb = Workbook()
    ws = wb.active
    ws.title = "Data"
    ws["A1"] = 1234.5
    ws["A1"].number_format = "#,##0.00"
    ws["B1"] = 0.25
    ws["B1"].number_format = "0%"
    ws["C1"] = 42
    ws["D1"] = "plain text"
    ws["E1"] = True
    ws["A2"] = "=A1*2"
    ws["B2"] = "[$Page1_FBillNo]"
    ws["C3"].number_format = "@"
    ws["D3"] = "x [$$Page2_FQty] y"
    ws["A4"] = "[$PAGE1_FDATE]"
    ws["E5"] = '="[$"&"Page1_FNote]"'
    ws["B7"] = "[$Page1_FLast]"
    ws["D9"] = 3.14159
    ws["D9"].number_format = "0.00"
    for i in range(rows):
        ws.cell(row=21 + i, column=1, value=i)
        ws.cell(row=21 + i, column=2, value="filler %d" % i)
    if rows:
        ws.cell(row=20 + rows, column=3, value="[$Page1_FDeep]")
    other = wb.create_sheet("Other")
    other["A1"] = "=Data!A1+1"
    other["A2"] = "=SUM(Data!A1:C1)"
    other["A3"] = "=B3*2"
    third = wb.create_sheet("Third")
    third["A1"] = "=Other!A3"
    wb.save(out)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 0)
