#!/usr/bin/python3
"""Writes the invoice-like template the spreadsheet surface tests fill.

    make_invoice.py OUT.xlsx

Sheet "Invoice": a merged title, head keywords, one entry row (row 6) with
entry keywords, a formula, a merge inside the row, a custom height, a data
validation and a conditional format on it, and a totals row below that sums
the entry column. Sheet "Notes" refers to the entry row; sheet "Id" holds the
identification text in B3.
"""
import sys

from openpyxl import Workbook
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import Font, PatternFill
from openpyxl.worksheet.datavalidation import DataValidation


def main(out):
    wb = Workbook()
    ws = wb.active
    ws.title = "Invoice"
    ws["A1"] = "Sales invoice"
    ws["A1"].font = Font(bold=True, size=14)
    ws.merge_cells("A1:F1")
    ws["A2"] = "No."
    ws["B2"] = "[$Page1_FBillNo]"
    ws["D2"] = "Date"
    ws["E2"] = "[$Page1_FDate]"
    ws["A3"] = "Customer"
    ws["B3"] = "[$$$FCustName]"
    for col, title in zip("ABDEF", ["#", "Item", "Qty", "Price", "Amount"]):
        ws[col + "5"] = title
    ws["A6"] = "[$$Page2_EntryID]"
    ws["B6"] = "[$$Page2_FItemName]"
    ws.merge_cells("B6:C6")
    ws["D6"] = "[$$Page2_FQty]"
    ws["E6"] = "[$$Page2_FPrice]"
    ws["F6"] = "=D6*E6"
    ws["E6"].number_format = "#,##0.00"
    ws["F6"].number_format = "#,##0.00"
    ws["D6"].fill = PatternFill("solid", fgColor="FFFFCC")
    ws.row_dimensions[6].height = 20
    ws["A8"] = "Total"
    ws["F8"] = "=SUM(F6:F6)"
    ws["F8"].number_format = "#,##0.00"
    ws["A9"] = "Signed"
    dv = DataValidation(type="decimal", operator="greaterThanOrEqual", formula1="0")
    dv.add("D6")
    ws.add_data_validation(dv)
    ws.conditional_formatting.add("F6", CellIsRule(operator="greaterThan", formula=["1000"],
                                                   fill=PatternFill("solid", fgColor="FFC7CE")))
    ws.column_dimensions["B"].width = 18

    notes = wb.create_sheet("Notes")
    notes["A1"] = "First amount"
    notes["B1"] = "=Invoice!F6"
    ident = wb.create_sheet("Id")
    ident["B3"] = "FClassTypeID=21"
    wb.save(out)


if __name__ == "__main__":
    main(sys.argv[1])
