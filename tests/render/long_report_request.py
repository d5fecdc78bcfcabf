#!/usr/bin/python3
"""Writes the sample statement report's request with LINES entry lines (the
sample's own lines repeated, dates and bill numbers counted on, the balance
carried), for renderings that run over several pages.

  long_report_request.py LINES OUT.json
"""
import json
import pathlib
import sys

SAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples/requests/customer_statement_report.json"


def main():
    lines, out = int(sys.argv[1]), sys.argv[2]
    request = json.loads(SAMPLE.read_text(encoding="utf-8"))
    rows = request["RptEntryData"]["rows"]
    opening, moves = rows[0], rows[1:]
    balance = opening[7]
    made = [opening]
    for i in range(lines - 1):
        row = list(moves[i % len(moves)])
        row[1] = "2026-11-%02d" % (1 + i % 30)
        if row[2]:
            row[2] = row[2][:-4] + "%04d" % (i + 1)
        balance = round(balance + row[5] - row[6], 2)
        row[7] = balance
        made.append(row)
    request["RptEntryData"]["rows"] = made
    pathlib.Path(out).write_text(json.dumps(request, ensure_ascii=False), encoding="utf-8")


if __name__ == "__main__":
    main()
