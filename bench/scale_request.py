#!/usr/bin/python3
"""scale_request.py REQUEST.json N OUT.json -- the request with every line
table grown to N lines: bill entry pages (Data.Page2, Page3...) and report
rows (RptEntryData.rows). The sample lines are repeated in turn, with the
text values numbered so no two lines are alike; numbers are kept, so the
totals stay easy to check by hand. A request without line tables (a waybill,
a label) is written unchanged."""
import json
import sys


def numbered(value, i):
    if isinstance(value, str) and value:
        return "%s-%d" % (value, i)
    return value


def grow_entries(rows, n):
    samples = [r for r in rows if r] or rows
    out = []
    for i in range(n):
        row = samples[i % len(samples)]
        out.append({k: (dict(v, FFLD=numbered(v.get("FFLD"), i)) if isinstance(v, dict) else v)
                    for k, v in row.items()})
    return out


def grow_report(rows, n):
    return [[numbered(v, i) if j == 2 else v for j, v in enumerate(rows[i % len(rows)])] for i in range(n)]


def main():
    source, n, target = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(source, encoding="utf-8") as f:
        request = json.load(f)
    data = request.get("Data", {})
    for key, value in list(data.items()):
        if key.startswith("Page") and key != "Page1" and isinstance(value, list) and any(value):
            data[key] = grow_entries(value, n)
    report = request.get("RptEntryData")
    if report and report.get("rows"):
        report["rows"] = grow_report(report["rows"], n)
    with open(target, "w", encoding="utf-8") as f:
        json.dump(request, f, ensure_ascii=False)


if __name__ == "__main__":
    main()
