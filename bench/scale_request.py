#!/usr/bin/python3
"""scale_request.py REQUEST.json N OUT.json [SEED] -- the request with every
line table grown to N lines: bill entry pages (Data.Page2, Page3...) and
report rows (RptEntryData.rows). The sample lines are repeated in turn, with
the text values numbered so no two lines are alike; numbers are kept, so the
totals stay easy to check by hand. With SEED, the sample lines are picked at
random and every number is scaled by a random factor (a random but valid
request). A request without line tables (a waybill, a label) is written
unchanged."""
import json
import random
import sys

rnd = None  # random.Random when a seed is given


def scaled(value):
    if rnd is not None and isinstance(value, (int, float)) and not isinstance(value, bool):
        return round(value * rnd.uniform(0.5, 2.0), 2)
    return value


def numbered(value, i):
    if isinstance(value, str) and value:
        return "%s-%d" % (value, i)
    return value


def grow_entries(rows, n):
    samples = [r for r in rows if r] or rows
    out = []
    for i in range(n):
        row = rnd.choice(samples) if rnd is not None else samples[i % len(samples)]
        out.append({k: (dict(v, FFLD=scaled(numbered(v.get("FFLD"), i))) if isinstance(v, dict) else v)
                    for k, v in row.items()})
    return out


def grow_report(rows, n):
    return [[numbered(v, i) if j == 2 else v for j, v in enumerate(rows[i % len(rows)])] for i in range(n)]


def main():
    global rnd
    source, n, target = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    if len(sys.argv) > 4:
        rnd = random.Random(int(sys.argv[4]))
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
