#!/usr/bin/env python3
"""Fixture workbooks of the output tests, written with openpyxl.

make_output_book.py OUT.xlsx [--sheet NAME TEXT]... [--linked-picture TARGET]
                             [--write-png PATH] [--font NAME]

--sheet adds a sheet NAME whose cell A1 holds TEXT (in the order given; at
least one). --linked-picture puts on the first sheet, at B3, a picture that
is not stored in the workbook but linked to TARGET (an external relationship,
as templates link item photos by a fixed path). --write-png writes a small
red 40x20 PNG at PATH. --font sets the font of every A1 cell.
"""
import argparse
import io
import re
import sys
import zipfile

import openpyxl
from openpyxl.drawing.image import Image
from openpyxl.styles import Font
from PIL import Image as PILImage


def png_bytes(width, height):
    out = io.BytesIO()
    PILImage.new("RGB", (width, height), (255, 0, 0)).save(out, "PNG")
    return out.getvalue()


def link_pictures(path, target):
    """Turns the embedded picture of the saved workbook into a linked one."""
    with zipfile.ZipFile(path) as zin:
        items = [(info, zin.read(info.filename)) for info in zin.infolist()]
    escaped = target.replace("&", "&amp;").replace('"', "&quot;").encode("utf-8")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as zout:
        for info, data in items:
            if info.filename.startswith("xl/media/"):
                continue
            if info.filename.startswith("xl/drawings/_rels/"):
                replacement = b'Target="' + escaped + b'" TargetMode="External"'
                data = re.sub(rb'Target="[^"]*"', lambda _: replacement, data)
            if info.filename.startswith("xl/drawings/drawing"):
                data = data.replace(b"r:embed=", b"r:link=")
            zout.writestr(info.filename, data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--sheet", nargs=2, action="append", metavar=("NAME", "TEXT"), default=[])
    parser.add_argument("--linked-picture")
    parser.add_argument("--write-png")
    parser.add_argument("--font")
    args = parser.parse_args()
    if args.write_png:
        with open(args.write_png, "wb") as f:
            f.write(png_bytes(40, 20))
    if not args.sheet:
        sys.exit("give at least one --sheet NAME TEXT")
    book = openpyxl.Workbook()
    for index, (name, text) in enumerate(args.sheet):
        sheet = book.active if index == 0 else book.create_sheet()
        sheet.title = name
        sheet["A1"] = text
        if args.font:
            sheet["A1"].font = Font(name=args.font)
    if args.linked_picture:
        book.worksheets[0].add_image(Image(io.BytesIO(png_bytes(40, 20))), "B3")
    book.save(args.out)
    if args.linked_picture:
        link_pictures(args.out, args.linked_picture)


if __name__ == "__main__":
    main()
