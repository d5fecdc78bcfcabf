"""Writes a small template workbook for the engine tests with openpyxl (an
independent tool, so the engine reads files our own code did not write).

usage: make_template.py LAYOUT.json OUT.xlsx

LAYOUT: {"cells": {"A1": "text", ...},    text that reads as a number is written as one
       "text": ["B2", ...],            cells formatted as text ("@")
       "sheets": 3,                    number of sheets (default 1)
       "id": "FClassTypeID=21"}        B3 of the third sheet, when sheets >= 3
"""
import json
import re
import sys

import openpyxl

layout = json.load(open(sys.argv[1], encoding="utf-8"))
book = openpyxl.Workbook()
sheet = book.active
sheet.title = "模板"
for address, value in layout.get("cells", {}).items():
    sheet[address] = float(value) if re.fullmatch(r"-?\d*\.?\d+", value) else value
    if address in layout.get("text", []):
        sheet[address].number_format = "@"
        sheet[address].data_type = "s"
for index in range(2, layout.get("sheets", 1) + 1):
    extra = book.create_sheet("第%d页" % index)
    if index == 3 and "id" in layout:
        extra["B3"] = layout["id"]
book.save(sys.argv[2])
