#!/usr/bin/python3
"""Cross-check of number format displays against a real spreadsheet application.

Writes number_format_crosscheck.xlsx (column A: the value under the format,
B: the format code, C: the value) and, with --check, converts it with
the headless office suite and prints value, code, expected display and
the application's display as tab-separated lines, marking differences.
The expectations in number_format_*_test.cpp were reviewed against this
output; the tests do not run it.

    number_format_crosscheck.py OUT_DIR [--check] [--ours FILE]

--ours FILE: a TSV of value<TAB>code<TAB>display produced by our formatter,
compared line by line with the application's output.
--cases: print the cases as value<TAB>code lines (text values as "s:text")
for such a formatter driver.

Known, intended differences (our surface differs from the application used
for the check): General is width-limited to 11 digit characters
(1234567890123 -> 1.23457E+12, 1/3 -> 0.333333333, 0.00001 -> 1E-05);
negatives rounding to zero keep the sign ("-0"); seconds are rounded, not
cut (13:45:09.99997 -> 13:45:10); "A/P" shows "P" as written; [ss].00
elapsed seconds with decimals are supported; serials 0..60 follow the
1900 system with its phantom 1900-02-29 (0 -> 1900-01-00).
"""
import csv
import io
import subprocess
import sys

import openpyxl

CSV_AS_SHOWN = 'Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,1'

CASES = [
    # General
    (1234567890123, 'General'), (0.1 + 0.2, 'General'), (123456.789, 'General'),
    (1e-10, 'General'), (12345678901, 'General'), (123456789012, 'General'),
    (0.00001, 'General'), (0.0001, 'General'), (0.000123456789, 'General'),
    (1 / 3, 'General'), (100 / 3, 'General'), (-1234.5, 'General'),
    (99999999999.5, 'General'), (1e100, 'General'), (0, 'General'),
    # fixed and grouping
    (2.675, '0.00'), (1.005, '0.00'), (-0.2, '0'), (-0.001, '0.00'),
    (1234567.891, '#,##0.00'), (0, '#,##0.00'), (0.5, '#.00'), (0, '#,###'),
    (5, '0,000'), (1234567, '#,##0,'), (1234567, '0.0,,"M"'), (12.5, '.00'),
    (1.5, '0.0#'), (1.25, '0.0#'), (1.5, '0.??'), (12345678901234567, '0'),
    (5551234, '000-0000'), (-5, '"$"#,##0'), (1234.5, '[$¥-804]#,##0.00'),
    (-1234.5, '#,##0.00;[Red]-#,##0.00'), (-1234.5, '#,##0.00;(#,##0.00)'),
    (0, '0.00;-0.00;"zero"'), (0.12345, '0.0%'), (0.5, '0%'), (1234, '#,##0_);(#,##0)'),
    (1234, '_(* #,##0_);_(* (#,##0);_(* "-"_);_(@_)'), (0, '_(* #,##0_);_(* (#,##0);_(* "-"_);_(@_)'),
    (1234.5, '_ * #,##0.00_ ;_ * -#,##0.00_ ;_ * "-"??_ ;_ @_ '),
    # conditions
    (50, '[<100]"small";[>=1000]"big";"mid"'), (500, '[<100]"small";[>=1000]"big";"mid"'),
    (5000, '[<100]"small";[>=1000]"big";"mid"'), (-5, '[<100]0.0;0.00'), (150, '[>=100]0;0.00'),
    (50, '[>=100]0;0.00'),
    # scientific
    (12345, '0.00E+00'), (0.00012345, '0.00E+00'), (12345, '##0.0E+0'), (0.00012345, '##0.0E+0'),
    (0, '0.00E+00'), (9.999, '0.0E+0'), (123456, '0E+0'), (12345, '0.00e-00'),
    # fractions
    (1.5, '# ?/?'), (0.5, '# ?/?'), (3, '# ?/?'), (0, '# ?/?'), (3.14159, '# ??/??'),
    (0.333, '?/?'), (1.75, '?/?'), (2.3, '# ?/8'), (0.07, '?/100'), (-1.5, '# ?/?'),
    (5.999, '# ?/?'),
    # dates and times
    (46357, 'yyyy-mm-dd'), (46357, 'yyyy/m/d'), (46357, 'yyyy"年"m"月"d"日"'), (46357, 'd-mmm-yy'),
    (46357, 'dddd, mmmm d, yyyy'), (46357, 'ddd mmm'), (46357.573032407, 'yyyy-mm-dd hh:mm:ss'),
    (46357.573032407, 'h:mm AM/PM'), (0.999999, 'h:mm:ss'), (0.5, 'h:mm A/P'), (1.25, '[h]:mm'),
    (1.25, '[mm]:ss'), (0.000123, '[ss].00'), (0.5000011574, 'hh:mm:ss.000'), (0.0006, 'mm:ss.0'),
    (60, 'yyyy-mm-dd'), (0, 'yyyy-mm-dd'), (1, 'dddd'), (61, 'yyyy-mm-dd'), (46357, 'mmmmm'),
    (46357.75, 'yyyy/m/d h:mm'), (0.25, 'h:mm:ss AM/PM'), (46357, 'yy.m.d'), (46357, 'm/d/yyyy'),
    # more edges
    (0, '?/?'), (0.5, '0 ?/?'), (1e15, '#,##0'), (-1234.5, '0.00_);[Red](0.00)'), (0.0001, '0.0%'),
    (100.25, '[h]:mm'), (12, '0.0,'), (1500, '#,##0.0,"K"'), (0.05, '# ?/20'), (2.5, '#" "?/?'),
    (123.456, '000.000'), (-0.5, '#.##'), (1, 'yyyy"年"m"月"d"日" h"时"'), (46357.5, 'yyyy-m-d h:mm AM/PM'),
    (3.5, '0 "pcs"'), (-3.5, '0.0;"minus "0.0'), (1e-7, '0.00E+0'), (1234.5678, '#,##0.0##'),
    # text section
    ('abc', '0.00;-0.00;0;"Text: "@'), ('abc', '@'), ('abc', '0.00'), ('abc', '"<"@">"'),
    (12, '@'), (12, '0;-0;0;@'),
]


def build(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    for row, (value, code) in enumerate(CASES, start=1):
        ws.cell(row=row, column=1, value=value).number_format = code
        ws.cell(row=row, column=2, value=code)
        ws.cell(row=row, column=3, value=repr(value))
    wb.save(path)


def main():
    out_dir = sys.argv[1]
    path = out_dir + '/number_format_crosscheck.xlsx'
    build(path)
    if '--cases' in sys.argv:  # value<TAB>code lines for a formatter driver; 's:' marks text
        for value, code in CASES:
            v = 's:' + value if isinstance(value, str) else repr(float(value))
            print(f'{v}\t{code}')
        return
    if '--check' not in sys.argv:
        print(path)
        return
    # The shared checker exports raw values; the display needs the CSV
    # filter's "save cell contents as shown" option (9th token = true).
    subprocess.run(['/usr/bin/soffice', '--headless', '-env:UserInstallation=file://' + out_dir + '/profile',
                    '--convert-to', 'csv:' + CSV_AS_SHOWN, '--outdir', out_dir + '/csv', path],
                   capture_output=True, timeout=180, check=False)
    with open(out_dir + '/csv/number_format_crosscheck-Sheet.csv', encoding='utf-8') as f:
        rows = list(csv.reader(io.StringIO(f.read())))
    ours = {}
    if '--ours' in sys.argv:
        with open(sys.argv[sys.argv.index('--ours') + 1], encoding='utf-8') as f:
            for i, line in enumerate(f.read().split('\n')):
                if line:
                    ours[i] = line.split('\t')[-1]
    for i, (value, code) in enumerate(CASES):
        app = rows[i][0] if i < len(rows) else '<missing>'
        mine = ours.get(i, '')
        mark = '' if mine == app else '   <-- differs'
        print(f'{value!r}\t{code}\tapp=[{app}]\tours=[{mine}]{mark}')


if __name__ == '__main__':
    main()
