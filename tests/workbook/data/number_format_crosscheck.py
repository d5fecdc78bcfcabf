#!/usr/bin/python3
"""Cross-check of number format displays against a real spreadsheet application.

Reads the cases {value, "code", "expected"} of the tables in
number_format_test.cpp (rows whose value is not a plain number or a
kDec1 constant are left out), writes number_format_crosscheck.xlsx
(column A: the value under the format) and, with --check, converts it with
the headless office suite and prints value, code, our expectation and the
application's display as tab-separated lines, marking differences. The
tests do not run it.

    number_format_crosscheck.py OUT_DIR [--check]

Known, intended differences (our surface differs from the application used
for the check): General is width-limited to 11 digit characters
(1234567890123 -> 1.23457E+12, 1/3 -> 0.333333333, 0.00001 -> 1E-05);
negatives rounding to zero keep the sign ("-0"); seconds are rounded, not
cut (13:45:09.99997 -> 13:45:10); "A/P" shows "P" as written; [ss].00
elapsed seconds with decimals are supported; serials 0..60 follow the
1900 system with its phantom 1900-02-29 (0 -> 1900-01-00).
"""
import csv
import os
import re
import subprocess
import sys

import openpyxl

CSV_AS_SHOWN = 'Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,1'
ROW = re.compile(r'\{([^,"{}]+), "((?:[^"\\]|\\.)*)", "((?:[^"\\]|\\.)*)"\}')
CONSTANTS = {'kDec1': 46357, 'kDec1At134510': 46357.573032407}


def cases():
    out = []
    path = os.path.join(os.path.dirname(__file__), '..', 'number_format_test.cpp')
    for value, code, expected in ROW.findall(open(path, encoding='utf-8').read()):
        try:
            number = eval(value, {'__builtins__': {}}, dict(CONSTANTS))
        except (NameError, SyntaxError):
            continue
        unescape = lambda s: re.sub(r'\\(.)', r'\1', s)
        out.append((number, unescape(code), unescape(expected)))
    return out


def main():
    out_dir = sys.argv[1]
    path = out_dir + '/number_format_crosscheck.xlsx'
    table = cases()
    ws = openpyxl.Workbook().active
    for row, (value, code, _) in enumerate(table, start=1):
        ws.cell(row=row, column=1, value=value).number_format = code
    ws.parent.save(path)
    if '--check' not in sys.argv:
        print(path)
        return
    # The display needs the CSV filter's "save cell contents as shown" option (9th token = true).
    subprocess.run(['/usr/bin/soffice', '--headless', '-env:UserInstallation=file://' + out_dir + '/profile',
                    '--convert-to', 'csv:' + CSV_AS_SHOWN, '--outdir', out_dir + '/csv', path],
                   capture_output=True, timeout=180, check=False)
    with open(out_dir + '/csv/number_format_crosscheck-Sheet.csv', encoding='utf-8') as f:
        rows = list(csv.reader(f))
    for i, (value, code, expected) in enumerate(table):
        app = rows[i][0] if i < len(rows) and rows[i] else '<missing>'
        print(f'{value!r}\t{code}\tours=[{expected}]\tapp=[{app}]' + ('' if app == expected else '   <-- differs'))


if __name__ == '__main__':
    main()
