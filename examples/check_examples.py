#!/usr/bin/python3
"""Checks every sample template against its request file.

For each template in examples/templates and the request of the same name in
examples/requests it
  - reads the identification text (B3 of the third sheet) and compares it
    with the bill type, report id or waybill source of the request;
  - finds every keyword on the first sheet, classifies it the way the bill,
    report or waybill engine reads keywords, and resolves its name to a
    system variable, a report head value or column, a waybill value, or a
    field of the field dictionary whose value the request carries;
  - checks the request itself: field dictionary keys, pages, value objects,
    amounts (quantity times price), sub-type names;
  - works out what filling the template should give: the rows each entry
    table occupies, totals, the ranges of live formulas after the rows are
    inserted, and the cell addresses in the output (the bill and report
    engines add an empty first row and column).
It prints one table line per keyword, then the expected results, and exits
with status 1 when it found a problem.

The item label workbook (商品标签模板) is checked on its own: plain head
keywords naming item values (shown with the label request's ItemInfoDict),
and its three pictures linked, not embedded, to the fixed files in
c:\\ItemPhotos\\.

Usage: /usr/bin/python3 examples/check_examples.py [--markdown] [name ...]
"""

import json
import os
import re
import sys
import zipfile

from openpyxl import load_workbook
from openpyxl.utils import get_column_letter

HERE = os.path.dirname(os.path.abspath(__file__))
TEMPLATES = os.path.join(HERE, "templates")
REQUESTS = os.path.join(HERE, "requests")

HEAD, ENTRY, PLAIN_HEAD, SUM = "[$", "[$$", "[$$$", "[$$$$"

# System variables of the bill engine, upper-cased; the value is what the
# expected-results table says about them. Names also match with ".HEAD".
SYSTEM_VARIABLES = {
    "BILLNAME": "bill type name", "CURNO": "1", "CURPAGENO": "(empty)", "PAGECOUNT": "(empty)",
    "CURYEAR": "today YYYY", "CURMONTH": "today MM", "CURDAY": "today DD",
    "COMPANYNAME": "profile General/CompanyName", "COMPANYADDRESS": "profile General/CompanyAddress",
    "COMPANYTAX": "profile General/CompanyTax", "COMPANYPHONE": "profile General/CompanyPhone",
    "COMPANYBANK": "(empty)", "COMPANYACCOUNT": "(empty)",
    "COMPANYBANKA": "profile General/CompanyYHAccount",
    "COMPANYBANKACCOUNT": "profile General/CompanyYHAccount",
    "COMPANYNAMEEN": "profile General/CompanyNameEn",
    "COMPANYADDRESSEN": "profile General/CompanyAddressEn",
    "COMPANYCONTACT": "profile General/CompanyContact", "COMPANYFAX": "profile General/Fax",
    "COMPANYEMAIL": "profile General/Email", "COMPANYWEBSITE": "profile General/CompanyWebsite",
    "COMPANYHSCODE": "profile General/CompanyHSCode", "USERNAME": "login user name",
    "CURPERIOD": "profile GL/CurrentPeriod",
}
ROW_VARIABLES = {  # no ".HEAD" twin
    "CURLINE": "row number", "FCUSTORSUPPLYPICTURE": "partner picture path",
    "FICITEMPICTURE": "item picture path", "FICITEMBARCODEPICTURE": "barcode picture path",
    "FICITEMQRCODEPICTURE": "QR picture path", "FSERIALNOLIST": "serial numbers (company database)",
    "FMULTIACCOUNTNOLIST": "settlement accounts (company database)",
}
REPORT_HEAD_KEYS = ["BDate", "EDate", "AccountItem", "CustNumberRange", "DeptNumberRange",
                    "EmpNumberRange", "CurrencyName"]
FIELD_INFO_KEYS = ["FKey", "FPage", "FTabIndex", "CtlIndex", "FSourceType", "FLookUpClassID",
                   "FCtlType", "FKeyWord", "FClassTypeID", "fsum"]
SUB_TYPES = {
    1020002: ("FInvoiceType", ["增值税发票", "普通发票", "收据", "其他"]),
    1030002: ("FInvoiceType", ["增值税发票", "普通发票", "收据", "其他"]),
    1040007: ("FBillTypeId", ["同价调拨", "异价调拨"]),
    1050001: ("FBillTypeId", ["销售收款", "预收款", "预收退款"]),
    1050002: ("FBillTypeId", ["采购付款", "预付款", "预付退款"]),
    1050003: ("FBillTypeId", ["预收冲应收", "预付冲应付", "应收冲应付", "应收转应收", "应付转应付"]),
    1050004: ("FBillTypeId", ["收款结算", "其他应收"]),
    1050005: ("FBillTypeId", ["费用结算", "其他应付"]),
}
NEGATED_CLASS_TYPES = {1020002, 1020003, 1030002, 1030003, 1080001, 1080002, 1050001, 1050002}
NEGATED_BILL_TYPES = {2012, 2031, 2032, 3002, 3004, 3011, 5003, 5012}
CAPTIONS = {"预收冲应收": ("预收合计", "应收合计"), "预付冲应付": ("预付合计", "应付合计"),
            "应收冲应付": ("应收合计", "应付合计")}


# ---------------------------------------------------------------- keyword grammar

def is_kind(text, opener):
    rest = text.replace(opener, "")
    return len(rest) < len(text) and "$" not in rest


def kind_of(text):
    for kind in (PLAIN_HEAD, HEAD, ENTRY, SUM):
        if is_kind(text, kind):
            return kind
    return None


def cut(text, kind):
    """(prefix, name) as the engine cuts them; name None when it cannot."""
    rest = text.replace(kind, "").replace("]", "")
    if kind == PLAIN_HEAD:
        return "", rest
    pos = rest.find("_")
    if pos >= 1:
        return rest[:pos], rest[pos + 1:]
    return "", None


def keywords_in_formula(formula):
    out, start = [], formula.find("[$")
    while start >= 0:
        end = formula.find("]", start)
        if end < 0:
            break
        out.append(formula[start:end + 1])
        start = formula.find("[$", end + 1)
    return out


def number_text(value):
    """The default number-to-text form of the host: at most 15 significant
    digits, no trailing zeros (22225, 2889.25)."""
    if isinstance(value, float):
        return "%.15g" % value
    return str(value)


def to_number(value):
    match = re.match(r"\s*[-+]?\d*\.?\d+", str(value))
    return float(match.group(0)) if match else 0.0


# ---------------------------------------------------------------- resolvers

class Problems(list):
    """Problems of one template; the same fault met again on a later entry
    line is reported once."""

    def __init__(self, name):
        super().__init__()
        self.name, self.seen = name, set()

    def add(self, where, text):
        if not where.startswith(self.name):
            where = f"{self.name} {where}"
        key = (re.sub(r" line \d+$", "", where), text)
        if key not in self.seen:
            self.seen.add(key)
            self.append(f"{where}: {text}")


class BillSource:
    engine = "bill"

    def __init__(self, request, problems):
        self.request, self.problems = request, problems
        self.data = request.get("Data", {})
        self.info = request.get("TableInfo", {})
        self.map = self.info.get("Map", {})
        srv = request.get("DataSrv", {})
        self.class_type = srv.get("classtype", {}).get("FID")
        self.entries = srv.get("ClassTypeEntry", [])

    def formula_cell(self, text):
        return "=" in text and text[2:3] != "$"

    def row_count(self, page_key):
        table = self.data.get(page_key)
        return len(table) if isinstance(table, list) else 0

    def size(self, page_key):
        """Size of a page as the offset-bill caption rule reads it: rows of an
        entry table, entries of a head page (taken as its count)."""
        table = self.data.get(page_key)
        return len(table) if isinstance(table, (list, dict)) else 0

    def field(self, name):
        key = self.map.get(name)
        return (key, self.info.get(key)) if key else (None, None)

    def head_text(self, name):
        key, _ = self.field(name)
        obj = self.data.get("Page1", {}).get(key, {}) if key else {}
        return obj.get("FDSP", "")

    def field_text(self, info, obj):
        if obj is None:
            return ""
        if info.get("FSourceType") == 11:
            return "是" if obj.get("FFLD") == 1 else "否"
        if info.get("FLookUpClassID", 0) > 0 or info.get("FSourceType") == 9:
            return obj.get("FDSP", "")
        return number_text(obj.get("FFLD"))

    def value_object(self, info, row):
        key = "_%04d_%s" % (info["FTabIndex"], info["FKey"])
        page = self.data.get(f"Page{info['FPage']}")
        if isinstance(page, list):
            return page[row - 1].get(key) if 1 <= row <= len(page) else None
        return page.get(key) if isinstance(page, dict) else None

    def caption(self, info, name, row):
        """The settlement caption rule of offset bills: (True, text) on a
        caption row, (False, None) elsewhere."""
        if info.get("FClassTypeID") != 1050003 or row < 1:
            return False, None
        kind = self.head_text("FBillTypeId")
        if kind in ("应收转应收", "应付转应付"):
            return False, None
        count1 = self.size(f"Page{info['FPage']}")
        count2 = self.size(f"Page{info['FPage'] + 1}")
        first, second = CAPTIONS.get(kind, ("", ""))
        is_caption_field = name.upper() == "FSOURCEBILLNO2"
        if row == count1 + 1:
            return True, first if is_caption_field else ""
        if row >= count1 + count2 + 2:
            return True, second if is_caption_field else ""
        return False, None

    def resolve(self, name, kind, where, row=1):
        """(source, value text) of a keyword name for a head cell or entry row."""
        upper = name.upper()
        if upper.endswith(".HEAD") and upper[:-5] in SYSTEM_VARIABLES:
            upper = upper[:-5]
        if upper in SYSTEM_VARIABLES:
            return "system", self.system_value(upper)
        if upper in ROW_VARIABLES:
            return "system", ROW_VARIABLES[upper]
        if kind == ENTRY and "EntryID" in name:
            return "row number", str(row)
        parts = name.replace("．", ".").split(".")
        key, info = self.field(parts[0])
        if info is None:
            self.problems.add(where, f"name {parts[0]} is neither a system variable nor in Map")
            return "UNRESOLVED", ""
        if len(parts) == 1:
            on_caption, text = self.caption(info, parts[0], row)
            if on_caption:
                return "caption row", text
            obj = self.value_object(info, row)
            if obj is None and info.get("FClassTypeID") == 1050003 and \
                    row > self.size(f"Page{info['FPage']}"):
                # Between the two caption rows of an offset bill the lookup goes
                # on as usual, past the end of the field's own table: empty.
                return "past its table", ""
            if obj is None:
                self.problems.add(where, f"{parts[0]} ({key}) has no value in Page{info['FPage']}"
                                         f" row {row}")
            return "field " + key, self.signed(info, self.field_text(info, obj))
        if parts[1] == "SUM":
            return "total of " + key, number_text(self.total(info))
        self.problems.add(where, f"suffix .{'.'.join(parts[1:])} is not used by the examples")
        return "suffix", ""

    def signed(self, info, text):
        bill_type = self.data.get("Page1", {}).get(self.map.get("FBillTypeId", ""), {}).get("FFLD")
        if (info.get("fsum") and "FRATE" not in info["FKey"].upper()
                and info.get("FClassTypeID") in NEGATED_CLASS_TYPES
                and bill_type in NEGATED_BILL_TYPES):
            return number_text(-to_number(text))
        return text

    def total(self, info):
        page = f"Page{info['FPage']}"
        key = "_%04d_%s" % (info["FTabIndex"], info["FKey"])
        table = self.data.get(page)
        if isinstance(table, list):
            return sum(to_number(r.get(key, {}).get("FFLD", 0)) for r in table)
        return to_number(table.get(key, {}).get("FFLD", 0)) if isinstance(table, dict) else 0.0

    def system_value(self, upper):
        if upper == "BILLNAME":
            return self.request.get("DataSrv", {}).get("classtype", {}).get("FName", "")
        return {"CURYEAR": "today's year (YYYY)", "CURMONTH": "today's month (MM)",
                "CURDAY": "today's day (DD)"}.get(upper, SYSTEM_VARIABLES[upper])


class ReportSource(BillSource):
    engine = "report"

    def __init__(self, request, problems):
        super().__init__(request, problems)
        entries = request.get("RptEntryData", {})
        self.fields = entries.get("fields", [])
        self.rows = entries.get("rows", [])
        self.head = request.get("RptHeadData", {})

    def formula_cell(self, text):
        return "=" in text

    def row_count(self, page_key):
        return len(self.rows)

    def resolve(self, name, kind, where, row=1):
        if kind == ENTRY:
            if "EntryID" in name:
                return "row number", str(row)
            column = name.strip()
            if column not in self.fields:
                self.problems.add(where, f"report rows have no column {column}")
                return "UNRESOLVED", ""
            return "report column", number_text(self.rows[row - 1][self.fields.index(column)])
        if name in REPORT_HEAD_KEYS:
            if name not in self.head:
                self.problems.add(where, f"RptHeadData has no {name}")
            return "report head", str(self.head.get(name, ""))
        if name == "CurTime":
            return "report head", "today (YYYY-MM-DD)"
        if name == "CustName":
            if "FCustName" not in self.fields or not self.rows:
                self.problems.add(where, "CustName needs a first report row with FCustName")
                return "UNRESOLVED", ""
            return "report head", self.rows[0][self.fields.index("FCustName")]
        upper = name.upper()
        if upper.endswith(".HEAD") and upper[:-5] in SYSTEM_VARIABLES:
            upper = upper[:-5]
        if upper in SYSTEM_VARIABLES:
            return "system", self.system_value(upper)
        if upper in ROW_VARIABLES:
            return "system", ROW_VARIABLES[upper]
        self.problems.add(where, f"{name} is no report head value, column or system variable")
        return "UNRESOLVED", ""


class WaybillSource(BillSource):
    engine = "waybill"

    def __init__(self, request, problems):
        super().__init__(request, problems)
        self.data_from = request.get("dataFrom", 0)
        page1 = self.data.get("Page1")
        self.values = page1[0] if isinstance(page1, list) and page1 else {}

    def formula_cell(self, text):
        return "=" in text

    def resolve(self, name, kind, where, row=1):
        upper = name.upper()
        if upper.endswith(".HEAD") and upper[:-5] in SYSTEM_VARIABLES:
            upper = upper[:-5]
        if upper in ("BILLNAME",):
            self.problems.add(where, "BillName is always empty on a waybill")
            return "system", ""
        if upper in SYSTEM_VARIABLES:
            return "system", self.system_value(upper)
        if upper in ROW_VARIABLES and upper not in ("FICITEMBARCODEPICTURE",
                                                    "FICITEMQRCODEPICTURE"):
            return "system", ROW_VARIABLES[upper]
        if self.data_from == 1:
            return super().resolve(name, kind, where, row)
        if "." in name.replace("．", "."):
            self.problems.add(where, f"dotted name {name} is always empty on a waybill")
            return "UNRESOLVED", ""
        if name not in self.values:
            self.problems.add(where, f"Page1 row 1 has no value {name}")
            return "UNRESOLVED", ""
        return "Page1 row 1", number_text(self.values[name])


# ---------------------------------------------------------------- request checks

def check_bill_request(source, problems):
    where = "request"
    info, data = source.info, source.data
    if not isinstance(data.get("FID"), int) or data["FID"] < 1:
        problems.add(where, "Data.FID must be a bill id above 0")
    for name, key in source.map.items():
        field_info = info.get(key)
        if field_info is None:
            problems.add(where, f"Map gives {key} for {name}, but TableInfo has no such entry")
            continue
        missing = [k for k in FIELD_INFO_KEYS if k not in field_info]
        if missing:
            problems.add(where, f"{key} lacks {', '.join(missing)}")
            continue
        if key != "_%04d_%s" % (field_info["FTabIndex"], field_info["FKey"]) or \
                field_info["FKey"] != name:
            problems.add(where, f"{key} does not match FTabIndex/FKey of its field info")
        if field_info["FClassTypeID"] != source.class_type:
            problems.add(where, f"{key} belongs to class type {field_info['FClassTypeID']}")
    by_key = {k: v for k, v in info.items() if k != "Map"}
    for page_key, page in data.items():
        if not page_key.startswith("Page"):
            continue
        number = int(page_key[4:])
        entry_type = (source.entries[number - 1].get("FEntryType")
                      if number <= len(source.entries) else None)
        if entry_type is None:
            problems.add(where, f"ClassTypeEntry does not describe {page_key}")
        elif (entry_type == 1) != isinstance(page, list):
            problems.add(where, f"{page_key} is {'a list' if isinstance(page, list) else 'a head'}"
                                f" but FEntryType is {entry_type}")
        for row in page if isinstance(page, list) else [page]:
            for key, obj in row.items():
                field_info = by_key.get(key)
                if field_info is None:
                    problems.add(where, f"{page_key} holds {key}, which TableInfo does not describe")
                    continue
                if field_info["FPage"] != number:
                    problems.add(where, f"{key} is on {page_key} but its FPage is {field_info['FPage']}")
                if set(obj) != {"FFLD", "FDSP", "FFND"}:
                    problems.add(where, f"{key} value object needs exactly FFLD, FDSP, FFND")
                if field_info["FLookUpClassID"] > 0 and not obj.get("FDSP"):
                    problems.add(where, f"lookup field {key} has no display text")
        if isinstance(page, list):
            check_amounts(source, page_key, page, problems)
    if source.class_type in SUB_TYPES:
        field_name, names = SUB_TYPES[source.class_type]
        sub_type = source.head_text(field_name)
        if sub_type not in names:
            problems.add(where, f"sub-type {sub_type!r} ({field_name}) is not one of {names}")


def check_amounts(source, page_key, rows, problems):
    def value(row, name):
        key = source.map.get(name)
        return row[key]["FFLD"] if key in row else None

    rules = [("FAmount", "FQty", "FPrice"), ("FOutAmount", "FQty", "FOutPrice"),
             ("FInAmount", "FQty", "FInPrice")]
    for index, row in enumerate(rows, start=1):
        for amount, qty, price in rules:
            a, q, p = value(row, amount), value(row, qty), value(row, price)
            if None not in (a, q, p) and abs(a - round(q * p + 1e-9, 2)) > 0.005:
                problems.add("request", f"{page_key} row {index}: {amount} {a} != {qty} {q} x {price} {p}")
        a, t, total = value(row, "FAmount"), value(row, "FTaxAmount"), value(row, "FInTaxAmount")
        rate = value(row, "FTaxRate")
        if None not in (a, t, total, rate):
            if abs(t - round(a * rate / 100 + 1e-9, 2)) > 0.005 or abs(total - (a + t)) > 0.005:
                problems.add("request", f"{page_key} row {index}: tax figures do not add up")
        s, c, paid = value(row, "FSourceAmount"), value(row, "FCheckedAmount"), value(row, "FAmount")
        if None not in (s, c, paid) and c + paid > s + 0.005:
            problems.add("request", f"{page_key} row {index}: more received than the source amount")


def check_report_request(source, problems):
    for index, row in enumerate(source.rows, start=1):
        if len(row) != len(source.fields):
            problems.add("request", f"report row {index} has {len(row)} values for "
                                    f"{len(source.fields)} columns")
    if "FBalance" in source.fields and "FDebit" in source.fields:
        b, d, c = (source.fields.index(n) for n in ("FBalance", "FDebit", "FCredit"))
        for index in range(1, len(source.rows)):
            prev, row = source.rows[index - 1], source.rows[index]
            if abs(prev[b] + row[d] - row[c] - row[b]) > 0.005:
                problems.add("request", f"report row {index + 1}: balance does not follow")
    by_item = source.head.get("ByItem")
    if by_item is None:
        problems.add("request", "RptHeadData.ByItem decides the template sub-type and is missing")


# ---------------------------------------------------------------- template scan and layout

def cell_text(cell):
    return cell.value if isinstance(cell.value, str) else None


def shift_refs(formula, insertions, margin):
    """Applies row insertions (k rows at row R, above the row at R) to the A1
    references of a live formula the way a spreadsheet does: a range that
    holds R below its first row grows, references at or below R move. Then
    the margin row and column (margin = 1) move every reference by one."""
    def row_of(r):
        for at, k in insertions:
            if r >= at:
                r += k
        return r

    def col_of(c):
        return get_column_letter(column_index(c) + margin)

    def fix_range(match):
        c1, r1, c2, r2 = match.group(1), int(match.group(2)), match.group(3), int(match.group(4))
        for at, k in insertions:
            if r1 >= at:
                r1, r2 = r1 + k, r2 + k
            elif r2 >= at:
                r2 += k
        return f"{col_of(c1)}{r1 + margin}:{col_of(c2)}{r2 + margin}"

    def fix_single(match):
        return f"{col_of(match.group(1))}{row_of(int(match.group(2))) + margin}"

    pieces = re.split(r"(\b[A-Z]{1,3}\d+:[A-Z]{1,3}\d+\b)", formula)
    out = []
    for i, piece in enumerate(pieces):
        if i % 2:
            out.append(re.sub(r"\b([A-Z]{1,3})(\d+):([A-Z]{1,3})(\d+)\b", fix_range, piece))
        else:
            out.append(re.sub(r"\b([A-Z]{1,3})(\d+)\b(?!\()", fix_single, piece))
    return "".join(out)


def column_index(letters):
    col = 0
    for ch in letters:
        col = col * 26 + ord(ch) - 64
    return col


def check_pair(name, markdown_out, problems_all):
    problems = Problems(name)
    template_path = os.path.join(TEMPLATES, name + ".xlsx")
    request_path = os.path.join(REQUESTS, name + ".json")
    with open(request_path, encoding="utf-8") as f:
        request = json.load(f)
    wb = load_workbook(template_path)
    ident = wb.worksheets[2]["B3"].value if len(wb.worksheets) >= 3 else None
    if len(wb.worksheets) != 3:
        problems.add("template", f"has {len(wb.worksheets)} sheets, expected 3")

    if "RptID" in request:
        source = ReportSource(request, problems)
        expected = f"FTemplateID={request['RptID']}"
        if request.get("DataSourceType") != 1:
            problems.add("request", "a report request needs DataSourceType 1")
        check_report_request(source, problems)
    elif "dataFrom" in request:
        source = WaybillSource(request, problems)
        expected = f"FClassTypeID={2000002 if request['dataFrom'] == 1 else 2000001}"
        if not isinstance(source.data.get("FID"), int) or source.data["FID"] < 1:
            problems.add("request", "Data.FID (the courier key) must be above 0")
    else:
        source = BillSource(request, problems)
        srv = request.get("DataSrv", {})
        expected = f"FClassTypeID={source.class_type}"
        if srv.get("classTypeID") != source.class_type:
            problems.add("request", "DataSrv.classTypeID differs from classtype.FID")
        check_bill_request(source, problems)
    if ident != expected:
        problems.add("template", f"B3 of the third sheet reads {ident!r}, expected {expected!r}")

    ws = wb.worksheets[0]
    check_sheet_setup(ws, problems)
    lines = []
    entry_rows = {}  # template row -> page key of its first entry keyword
    formula_rows = []
    for row in ws.iter_rows():
        for cell in row:
            text = cell_text(cell)
            if text is None:
                continue
            if text.startswith("=") and "[$" not in text:
                formula_rows.append(cell)
                continue
            if "[$" not in text:
                continue
            where = f"{name} {cell.coordinate}"
            if source.formula_cell(text):
                if cell.number_format != "@":
                    problems.add(where, "a keyword formula must be stored as text (format @)")
                for keyword in keywords_in_formula(text):
                    kind = kind_of(keyword)
                    prefix, kw_name = cut(keyword, kind) if kind else ("", None)
                    if kind is None or kw_name is None:
                        problems.add(where, f"{keyword} in a formula is of no kind")
                        continue
                    if kind == ENTRY:
                        if source.engine == "report":
                            problems.add(where, "report formulas get no entry values")
                        entry_rows.setdefault(cell.row, prefix)
                    src, value = source.resolve(kw_name, kind, where)
                    lines.append((cell.coordinate, keyword, "formula/" + kind_name(kind), src, value))
                continue
            kind = kind_of(text)
            if kind is None:
                problems.add(where, f"{text!r} is of no keyword kind and stays as it is")
                continue
            prefix, kw_name = cut(text, kind)
            if kw_name is None:
                problems.add(where, f"{text!r}: no name after '_'")
                continue
            if not (text.startswith(kind) and text.endswith("]")) or text.count("[$") != 1:
                problems.add(where, f"{text!r}: the whole cell is replaced, text around is lost")
            if kind == ENTRY:
                entry_rows.setdefault(cell.row, prefix)
            lookup = kw_name + ".SUM" if kind == SUM else kw_name
            src, value = source.resolve(lookup, kind, where)
            lines.append((cell.coordinate, text, kind_name(kind), src, value))

    # Layout after the entry rows are inserted (top to bottom).
    insertions, blocks, offset = [], [], 0
    for template_row in sorted(entry_rows):
        page_key = entry_rows[template_row]
        count = source.row_count(page_key)
        start = template_row + offset
        if count >= 2:
            insertions.append((start, count - 1))
            offset += count - 1
        blocks.append((template_row, page_key, count, start))
    margin = 0 if source.engine == "waybill" else 1

    def out_ref(col, row):
        return f"{get_column_letter(col + margin)}{row + margin}"

    def new_row(template_row):
        extra = 0
        for r, _, count, _ in blocks:
            if r < template_row and count >= 2:
                extra += count - 1
        return template_row + extra

    report = []
    column_values = {}  # (template row, column) -> the numbers of the lines
    for template_row, page_key, count, start in blocks:
        end = start + max(count, 1) - 1
        last_col = ws.max_column
        report.append(f"entry row {template_row} ({page_key}): {count} lines -> template rows "
                      f"{start}-{end}, output {out_ref(1, start)}:{out_ref(last_col, end)}")
        if count == 0:
            problems.add(name, f"{page_key} has no rows; the entry row would be emptied")
        sample = []
        for coordinate, keyword, kind, src, value in lines:
            col, row = split_coordinate(coordinate)
            if row == template_row and kind == "entry":
                col_values = []
                for line in range(1, count + 1):
                    _, kw_name = cut(keyword, ENTRY)
                    _, v = source.resolve(kw_name, ENTRY, f"{name} {coordinate} line {line}", line)
                    col_values.append(v)
                sample.append((coordinate, keyword, col_values))
                column_values[(template_row, col)] = [to_number(v) for v in col_values]
        for coordinate, keyword, col_values in sample:
            if len(set(col_values)) == 1 and len(col_values) > 1:
                shown = f"every line: {col_values[0] or '(empty)'}"
            else:
                shown = " | ".join(v if v != "" else "(empty)" for v in col_values)
            report.append(f"  {keyword}: {shown}")
        text_formulas = [c for c in ws[template_row] if cell_text(c) and cell_text(c).startswith("=")
                         and "[$" in cell_text(c)]
        for cell in text_formulas:
            results = []
            for line in range(1, count + 1):
                formula = cell.value
                for keyword in keywords_in_formula(cell.value):
                    kind = kind_of(keyword)
                    _, kw_name = cut(keyword, kind)
                    _, v = source.resolve(kw_name if kind != SUM else kw_name + ".SUM", kind,
                                          f"{name} {cell.coordinate} line {line}", line)
                    formula = formula.replace(keyword, v, 1)
                results.append(formula)
            column_values[(template_row, cell.column)] = [evaluate(f) for f in results]
            report.append(f"  {cell.value} -> {' | '.join(results)}")
    for coordinate, keyword, kind, src, value in lines:
        col, row = split_coordinate(coordinate)
        if kind == "formula/entry":
            continue
        if not kind.endswith("entry"):
            target = new_row(row)
            report.append(f"{keyword} at {coordinate} -> output {out_ref(col, target)}: "
                          f"{value if value != '' else '(empty)'}")
    for cell in formula_rows:
        target = new_row(cell.row)
        value = live_value(cell.value, column_values)
        report.append(f"live formula {cell.coordinate} {cell.value} -> output "
                      f"{out_ref(cell.column, target)} {shift_refs(cell.value, insertions, margin)}"
                      + (f" = {number_text(value)}" if value is not None else ""))

    print(f"\n== {name} ({source.engine} engine, {ident})")
    print(f"{'cell':6} {'keyword':58} {'kind':16} {'resolves to':28} value")
    for coordinate, keyword, kind, src, value in lines:
        print(f"{coordinate:6} {keyword:58} {kind:16} {src:28} {value}")
    print("-- expected after filling (output addresses include the margin row/column"
          + ("" if margin else "; the waybill engine adds none") + ")")
    for line in report:
        print("   " + line)
    if markdown_out is not None:
        markdown_out.append((name, source.engine, ident, report))
    for p in problems:
        print("PROBLEM " + p)
    problems_all.extend(problems)


def evaluate(formula):
    """Value of a filled keyword formula such as =0+300*38.5 (numbers,
    + - * / and parentheses only)."""
    body = formula.lstrip("=")
    if not re.fullmatch(r"[0-9.+\-*/() ]+", body):
        return 0.0
    return float(eval(body, {"__builtins__": {}}, {}))  # digits and operators only


def live_value(formula, column_values):
    """Value of a live SUM or LOOKUP formula over an entry column after the
    fill, or None for other formulas."""
    match = re.fullmatch(r"=(SUM|LOOKUP\(9\.99E\+307,)\(?([A-Z]+)(\d+):([A-Z]+)(\d+)\)", formula)
    if not match:
        return None
    col, last = column_index(match.group(2)), int(match.group(5))
    numbers = column_values.get((last, col))
    if numbers is None:
        return None
    return round(sum(numbers), 10) if match.group(1) == "SUM" else numbers[-1]


def check_sheet_setup(ws, problems):
    """The page set-up every sample carries, so that a fill can be seen to keep it."""
    if not ws.print_area:
        problems.add("template", "no print area")
    if str(ws.page_setup.paperSize) != "9":
        problems.add("template", "paper is not A4")
    if not ws.sheet_properties.pageSetUpPr or not ws.sheet_properties.pageSetUpPr.fitToPage \
            or str(ws.page_setup.fitToWidth) != "1":
        problems.add("template", "not fitted to one page wide")
    if not ws.merged_cells.ranges:
        problems.add("template", "no merged cells")
    if not ws.data_validations.dataValidation and not list(ws.conditional_formatting):
        problems.add("template", "neither a data validation nor a conditional format")


# ---------------------------------------------------------------- item label

LABEL_TEMPLATES = {"商品标签模板"}
# Item values the label job hands over (the item's columns in the company database).
LABEL_ITEM_KEYS = {"FItemID", "FNumber", "FName", "FModel", "FUnitName", "FBarCode", "FMatrixCode",
                   "FSalePrice", "FRetailPrice", "FBrand", "FOrigin"}
LABEL_LINKS = {"file:///c:\\ItemPhotos\\Item.jpg", "file:///c:\\ItemPhotos\\BarCode_Item.bmp",
               "file:///c:\\ItemPhotos\\QRCode_Item.bmp"}
IMAGE_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image"


def check_label(name, problems_all):
    problems = Problems(name)
    path = os.path.join(TEMPLATES, name + ".xlsx")
    request_path = os.path.join(REQUESTS, name + ".json")
    item = None
    if os.path.exists(request_path):
        with open(request_path, encoding="utf-8") as f:
            item = json.load(f).get("ItemInfoDict")
        if not isinstance(item, dict):
            problems.add("request", "has no ItemInfoDict object")
            item = None
    ws = load_workbook(path).worksheets[0]
    for row in ws.iter_rows():
        for cell in row:
            text = cell.value if isinstance(cell.value, str) else ""
            if "[$" not in text:
                continue
            if kind_of(text) != PLAIN_HEAD:
                problems.add(cell.coordinate, f"{text}: a label cell holds one plain head keyword [$$$name]")
            elif cut(text, PLAIN_HEAD)[1] not in LABEL_ITEM_KEYS:
                problems.add(cell.coordinate, f"{text}: no item value of that name")
            else:
                key = cut(text, PLAIN_HEAD)[1]
                shown = "" if item is None else f": {item[key]}" if key in item else ": (empty)"
                print(f"{name} {cell.coordinate}: {text} -> item value {key}{shown}")
    with zipfile.ZipFile(path) as package:
        names = package.namelist()
        sheet_rels = package.read("xl/worksheets/_rels/sheet1.xml.rels").decode("utf-8") \
            if "xl/worksheets/_rels/sheet1.xml.rels" in names else ""
        drawing = re.search(r'Target="\.\./drawings/(drawing\d+\.xml)"', sheet_rels)
        if not drawing:
            problems.add("sheet 1", "has no drawing")
        else:
            rels = package.read(f"xl/drawings/_rels/{drawing.group(1)}.rels").decode("utf-8")
            xml = package.read(f"xl/drawings/{drawing.group(1)}").decode("utf-8")
            links = {}
            for rel in re.findall(r"<Relationship [^>]*/>", rels):
                attrs = dict(re.findall(r'(\w+)="([^"]*)"', rel))
                if attrs.get("Type") == IMAGE_REL:
                    if attrs.get("TargetMode") != "External":
                        problems.add("drawing", f"picture {attrs.get('Target')} is embedded, not linked")
                    links[attrs["Id"]] = attrs["Target"]
            for rel_id in re.findall(r'<a:blip r:link="([^"]+)"', xml):
                print(f"{name} picture linked to {links.get(rel_id)}")
            if set(links.values()) != LABEL_LINKS:
                problems.add("drawing", f"links {sorted(links.values())}, expected {sorted(LABEL_LINKS)}")
            if len(re.findall(r'<a:blip r:link="', xml)) != len(LABEL_LINKS) or "r:embed" in xml:
                problems.add("drawing", "every picture must be a link (r:link), none embedded")
        if any(n.startswith("xl/media/") for n in names):
            problems.add("package", "holds embedded pictures (xl/media)")
    for line in problems:
        print(f"PROBLEM {line}")
    problems_all.extend(problems)


def kind_name(kind):
    return {HEAD: "head", ENTRY: "entry", PLAIN_HEAD: "plain head", SUM: "sum"}[kind]


def split_coordinate(coordinate):
    match = re.match(r"([A-Z]+)(\d+)", coordinate)
    return column_index(match.group(1)), int(match.group(2))


def main(argv):
    markdown = "--markdown" in argv
    names = [a for a in argv[1:] if not a.startswith("--")]
    if not names:
        names = sorted(f[:-5] for f in os.listdir(TEMPLATES) if f.endswith(".xlsx"))
    problems, md = [], [] if markdown else None
    for name in names:
        if name in LABEL_TEMPLATES:
            check_label(name, problems)
            continue
        if not os.path.exists(os.path.join(REQUESTS, name + ".json")):
            problems.append(f"{name}: no request file requests/{name}.json")
            print(f"PROBLEM {name}: no request file")
            continue
        check_pair(name, md, problems)
    if markdown:
        print("\n<!-- expected results -->")
        for name, engine, ident, report in md:
            print(f"\n#### {name}\n")
            for line in report:
                print(f"- {line.strip()}" if not line.startswith("  ") else f"  - {line.strip()}")
    print(f"\n{len(names)} template(s) checked, {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
