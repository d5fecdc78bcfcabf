#!/usr/bin/python3
"""Compares two PDFs of the same workbook as a reader would: page count,
paper size, the text of each page (its characters, however they group into
words), and where each word stands (within a tolerance, 2 mm by default).
Words within --bands-mm of the top and bottom edge (headers and footers)
count for the text only. Prints one line per difference and a summary;
exit status 1 when they differ.

  compare_pdfs.py OURS.pdf REFERENCE.pdf [--tolerance-mm 2] [--bands-mm 0]
"""
import argparse
import re
import subprocess
import sys
from collections import defaultdict
from html import unescape

MM = 72 / 25.4


def pages(pdf):
    """[(width, height, [(word, x, y)])] from pdftotext -bbox."""
    xhtml = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True, capture_output=True, text=True).stdout
    result = []
    for page in re.finditer(r'<page width="([\d.]+)" height="([\d.]+)">(.*?)</page>', xhtml, re.S):
        words = [(unescape(w.group(5)), float(w.group(1)), float(w.group(2)))
                 for w in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>',
                                      page.group(3))]
        result.append((float(page.group(1)), float(page.group(2)), words))
    return result


def compare(ours, reference, tolerance, band):
    problems, placed, total = [], 0, 0
    a, b = pages(ours), pages(reference)
    if len(a) != len(b):
        problems.append(f"pages: {len(a)} against {len(b)}")
    for n, ((wa, ha, words_a), (wb, hb, words_b)) in enumerate(zip(a, b), 1):
        if abs(wa - wb) > 1 or abs(ha - hb) > 1:
            problems.append(f"page {n}: paper {wa:.0f}x{ha:.0f} against {wb:.0f}x{hb:.0f}")
        chars_a, chars_b = sorted("".join(w for w, _, _ in words_a)), sorted("".join(w for w, _, _ in words_b))
        if chars_a != chars_b:
            only_a = "".join(sorted(set(chars_a) - set(chars_b)))
            only_b = "".join(sorted(set(chars_b) - set(chars_a)))
            problems.append(f"page {n}: text differs; only ours '{only_a}', only the reference '{only_b}' "
                            f"({len(chars_a)} against {len(chars_b)} characters)")
        free = defaultdict(list)
        for w, x, y in words_b:
            free[w].append((x, y))
        for w, x, y in words_a:
            if y < band or y > ha - band:
                continue
            total += 1
            if not free[w]:
                continue
            best = min(free[w], key=lambda p: (p[0] - x) ** 2 + (p[1] - y) ** 2)
            free[w].remove(best)
            dist = ((best[0] - x) ** 2 + (best[1] - y) ** 2) ** 0.5
            if dist <= tolerance:
                placed += 1
            else:
                problems.append(f"page {n}: '{w}' at ({x:.1f}, {y:.1f}), reference ({best[0]:.1f}, {best[1]:.1f}): "
                                f"{dist / MM:.1f} mm apart")
    return problems, placed, total


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("ours")
    parser.add_argument("reference")
    parser.add_argument("--tolerance-mm", type=float, default=2.0)
    parser.add_argument("--bands-mm", type=float, default=0.0)
    args = parser.parse_args()
    problems, placed, total = compare(args.ours, args.reference, args.tolerance_mm * MM, args.bands_mm * MM)
    for p in problems:
        print(p)
    # Words whose text groups differently in the two files have no partner.
    print(f"{placed} of {total} words within {args.tolerance_mm} mm")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
