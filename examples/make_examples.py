#!/usr/bin/python3
"""Writes the sample print templates of VemoPrintExport.

The templates are made with openpyxl, independently of our own bill engine,
so that the engine can be tested and demonstrated against workbooks it did
not produce itself. Each template is a workbook of three sheets: the printed
sheet with its keywords, a sheet of notes for the template designer, and the
identification sheet whose cell B3 names the bill type ("FClassTypeID=...")
or the report ("FTemplateID=...").

Usage: /usr/bin/python3 examples/make_examples.py [output folder]
(default: examples/templates next to this script). The output is
byte-for-byte the same on every run: document properties and the zip
entries' timestamps are fixed.
"""

import io
import os
import re
import sys
import zipfile
from dataclasses import dataclass, field
from datetime import datetime
from typing import List, Optional

from openpyxl import Workbook
from openpyxl.formatting.rule import FormulaRule
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.utils import get_column_letter
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.worksheet.page import PageMargins

from linked_pictures import LinkedPicture, add_linked_pictures

FIXED_TIME = datetime(2026, 12, 1, 8, 0, 0)
ZIP_TIME = (2026, 12, 1, 8, 0, 0)

MONEY = "#,##0.00"
QTY = "0.00"
TEXT = "@"

FONT_NAME = "宋体"
THIN = Side(style="thin", color="000000")
BOX = Border(left=THIN, right=THIN, top=THIN, bottom=THIN)
UNDERLINE = Border(bottom=THIN)
HEADER_FILL = PatternFill("solid", fgColor="D9E1F2")
WARN_FILL = PatternFill("solid", fgColor="FFC7CE")


# ---------------------------------------------------------------- layout model

@dataclass
class Col:
    """One column of an entry table."""
    header: str
    keyword: str            # entry keyword, or a "=0+..." formula keyword text
    width: float
    fmt: Optional[str] = None
    total: Optional[str] = None  # keyword or live formula for the totals row;
                                 # "{first}"/"{last}" stand for the header/entry row


@dataclass
class Block:
    """One entry table: optional caption, header row, keyword row, totals row."""
    columns: List[Col]
    caption: Optional[str] = None
    totals_label: str = "合计"
    totals_label_span: int = 1
    validate_col: Optional[int] = None     # column index with a ">= 0" data validation
    highlight_col: Optional[int] = None    # column index with a "large amount" format
    highlight_limit: float = 10000


@dataclass
class Bill:
    file_name: str
    sheet_name: str
    title: str
    ident: str
    head_rows: list          # rows of (label, keyword, span) items
    blocks: List[Block]
    footer_rows: list        # rows of (label, keyword, span) items
    notes: List[str]
    landscape: bool = False
    company_rows: bool = True
    extra: list = field(default_factory=list)  # callables(ws, layout) for special touches


def font(size=10, bold=False, underline=None):
    return Font(name=FONT_NAME, size=size, bold=bold, underline=underline)


def set_text_keyword(cell, text):
    """A keyword cell whose text starts with '=': kept as text (format '@')
    so that the spreadsheet stores it verbatim; the bill engine turns it into
    a live formula once its keywords are replaced."""
    cell.value = text
    cell.data_type = "s"
    cell.number_format = TEXT


# Keywords of codes: item and bill numbers, tax and settlement numbers,
# tracking numbers, telephone numbers, postcodes, serial-number lists. Their
# values are texts that can look like numbers ("01.001", "310018",
# "1001,1002"); a General cell would turn them into numbers ("1.001"), so
# their cells are formatted as text.
CODE_KEYWORD = re.compile(r"^\[\$+(Page\d+_)?F?\w*(Number|No|Phone|PostCode|NoList|NumberRange)\d*\]$")


def put(ws, row, col, value, span=1, fmt=None, bold=False, size=10, align="left",
        border=None):
    cell = ws.cell(row=row, column=col)
    if isinstance(value, str) and value.startswith("=") and "[$" in value:
        set_text_keyword(cell, value)
    else:
        cell.value = value
        if isinstance(value, str) and CODE_KEYWORD.match(value):
            fmt = TEXT
        if fmt:
            cell.number_format = fmt
    cell.font = font(size, bold)
    cell.alignment = Alignment(horizontal=align, vertical="center", wrap_text=False)
    if span > 1:
        ws.merge_cells(start_row=row, start_column=col, end_row=row, end_column=col + span - 1)
    if border is not None:
        for c in range(col, col + span):
            ws.cell(row=row, column=c).border = border
    return cell


def lay_pairs(ws, row, items, ncols):
    """Writes (label, keyword, span) items left to right on one row."""
    col = 1
    for label, keyword, span in items:
        if label:
            put(ws, row, col, label, align="right", bold=True)
            col += 1
        if keyword is not None:
            put(ws, row, col, keyword, span=span, border=UNDERLINE)
            col += span
    if col - 1 > ncols:
        raise ValueError(f"row {row} needs {col - 1} columns, the sheet has {ncols}")


def build_bill_sheet(wb, bill: Bill):
    ws = wb.active
    ws.title = bill.sheet_name
    ncols = max(len(b.columns) for b in bill.blocks)
    for i in range(ncols):
        width = max(b.columns[i].width for b in bill.blocks if i < len(b.columns))
        ws.column_dimensions[get_column_letter(i + 1)].width = width

    row = 1
    if bill.company_rows:
        put(ws, row, 1, "[$$$CompanyName]", span=ncols, bold=True, size=14, align="center")
        ws.row_dimensions[row].height = 22
        row += 1
    put(ws, row, 1, bill.title, span=ncols, bold=True, size=20, align="center")
    ws.cell(row=row, column=1).font = font(20, True, "double")
    ws.row_dimensions[row].height = 32
    row += 1
    if bill.company_rows:
        half = ncols // 2
        lay_pairs(ws, row, [("地址：", "[$$$CompanyAddress]", half - 1),
                            ("电话：", "[$$$CompanyPhone]", ncols - half - 1)], ncols)
        row += 1
    for items in bill.head_rows:
        lay_pairs(ws, row, items, ncols)
        ws.row_dimensions[row].height = 18
        row += 1

    header_rows = []
    for block in bill.blocks:
        if block.caption:
            put(ws, row, 1, block.caption, span=len(block.columns), bold=True)
            row += 1
        header_row, entry_row, totals_row = row, row + 1, row + 2
        header_rows.append(header_row)
        for i, col in enumerate(block.columns, start=1):
            put(ws, header_row, i, col.header, bold=True, align="center", border=BOX)
            ws.cell(row=header_row, column=i).fill = HEADER_FILL
            put(ws, entry_row, i, col.keyword, fmt=col.fmt, border=BOX,
                align="right" if col.fmt in (MONEY, QTY) else "left")
            if col.keyword.startswith("="):
                ws.cell(row=entry_row, column=i).alignment = Alignment(horizontal="right")
        put(ws, totals_row, 1, block.totals_label, span=block.totals_label_span,
            bold=True, align="center", border=BOX)
        for i, col in enumerate(block.columns, start=1):
            if i <= block.totals_label_span:
                continue
            cell = ws.cell(row=totals_row, column=i)
            cell.border = BOX
            if col.total:
                letter = get_column_letter(i)
                text = col.total.format(first=f"{letter}{header_row}", last=f"{letter}{entry_row}")
                put(ws, totals_row, i, text, fmt=col.fmt, bold=True, align="right", border=BOX)
        if block.validate_col is not None:
            letter = get_column_letter(block.validate_col)
            dv = DataValidation(type="decimal", operator="greaterThanOrEqual", formula1="0",
                                allow_blank=True, showErrorMessage=True,
                                errorTitle="输入有误", error="数值不能为负数，请重新输入。")
            # The range starts at the header row so that rows inserted at the
            # entry row fall inside it and extend it.
            dv.add(f"{letter}{header_row}:{letter}{entry_row}")
            ws.add_data_validation(dv)
        if block.highlight_col is not None:
            letter = get_column_letter(block.highlight_col)
            top = f"{letter}{header_row}"
            ws.conditional_formatting.add(
                f"{top}:{letter}{entry_row}",
                FormulaRule(formula=[f"AND(ISNUMBER({top}),{top}>={block.highlight_limit:g})"],
                            fill=WARN_FILL, font=Font(name=FONT_NAME, bold=True, color="9C0006")))
        ws.row_dimensions[entry_row].height = 18
        row = totals_row + 1

    row += 1  # one blank row before the footer
    for items in bill.footer_rows:
        lay_pairs(ws, row, items, ncols)
        ws.row_dimensions[row].height = 20
        row += 1
    last_row = row - 1

    for touch in bill.extra:
        touch(ws, ncols, last_row)

    finish_page_setup(ws, ncols, last_row, header_rows[0], bill.landscape)
    return ws


def finish_page_setup(ws, ncols, last_row, title_row, landscape):
    ws.print_area = f"A1:{get_column_letter(ncols)}{last_row}"
    if title_row:
        ws.print_title_rows = f"{title_row}:{title_row}"
    ws.page_setup.paperSize = ws.PAPERSIZE_A4
    ws.page_setup.orientation = "landscape" if landscape else "portrait"
    ws.page_setup.fitToWidth = 1
    ws.page_setup.fitToHeight = 0
    ws.sheet_properties.pageSetUpPr.fitToPage = True
    ws.page_margins = PageMargins(left=0.5, right=0.5, top=0.6, bottom=0.6,
                                  header=0.3, footer=0.3)
    ws.print_options.horizontalCentered = True
    ws.oddFooter.center.text = "第 &P 页，共 &N 页"


def add_notes_sheet(wb, notes):
    ws = wb.create_sheet("填写说明")
    ws.column_dimensions["A"].width = 90
    ws["A1"] = "模板填写说明"
    ws["A1"].font = font(12, True)
    for i, line in enumerate(notes, start=3):
        ws.cell(row=i, column=1, value=line).font = font()


def add_ident_sheet(wb, ident):
    ws = wb.create_sheet("模板标识")
    ws.column_dimensions["A"].width = 14
    ws.column_dimensions["B"].width = 30
    ws["A1"] = "本页用于校验模板所属单据类型，请勿修改。"
    ws["A3"] = "模板标识"
    ws["B3"] = ident
    ws["B3"].data_type = "s"
    for ref in ("A1", "A3", "B3"):
        ws[ref].font = font()


def new_workbook():
    wb = Workbook()
    props = wb.properties
    props.creator = "VemoPrintExport 示例"
    props.lastModifiedBy = "VemoPrintExport 示例"
    props.title = ""
    props.created = FIXED_TIME
    props.modified = FIXED_TIME
    return wb


def save_deterministic(wb, path, change_parts=None):
    """openpyxl stamps zip entries with the current time; rewrite them with a
    fixed one so that regenerating gives identical bytes. `change_parts`, when
    given, may edit the package (entry name -> bytes) before it is written."""
    buffer = io.BytesIO()
    wb.save(buffer)
    buffer.seek(0)
    with zipfile.ZipFile(buffer) as source:
        parts = {info.filename: source.read(info.filename) for info in source.infolist()}
    if change_parts:
        change_parts(parts)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as target:
        for name, data in parts.items():
            entry = zipfile.ZipInfo(name, date_time=ZIP_TIME)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            target.writestr(entry, data)


def write_bill(folder, bill: Bill):
    wb = new_workbook()
    build_bill_sheet(wb, bill)
    add_notes_sheet(wb, bill.notes)
    add_ident_sheet(wb, bill.ident)
    save_deterministic(wb, os.path.join(folder, bill.file_name))


# ---------------------------------------------------------------- the templates

def goods_columns(with_tax):
    cols = [
        Col("行号", "[$$Page2_EntryID]", 10),
        Col("商品编码", "[$$Page2_FNumber]", 12),
        Col("商品名称", "[$$Page2_FName]", 20),
        Col("规格型号", "[$$Page2_FModel]", 14),
        Col("单位", "[$$Page2_FUnit]", 6),
        Col("数量", "[$$Page2_FQty]", 10, QTY, total="=SUM({first}:{last})"),
        Col("单价", "[$$Page2_FPrice]", 11, MONEY),
        Col("金额", "[$$Page2_FAmount]", 13, MONEY, total="[$$$$Page2_FAmount]"),
    ]
    if with_tax:
        cols += [
            Col("税率(%)", "[$$Page2_FTaxRate]", 8, QTY),
            Col("税额", "[$$Page2_FTaxAmount]", 12, MONEY, total="[$$$$Page2_FTaxAmount]"),
            Col("价税合计", "[$$Page2_FInTaxAmount]", 13, MONEY, total="[$$$$Page2_FInTaxAmount]"),
        ]
    cols.append(Col("核算金额", "=0+[$$Page2_FQty]*[$$Page2_FPrice]", 13, MONEY,
                    total="=SUM({first}:{last})"))
    return cols


def signature_row(first_label="制单："):
    return [(first_label, "[$Page1_FBillerID]", 2), ("审核：", "[$Page1_FCheckerID]", 2),
            ("收货人：", "", 2)]


def print_date_row(user_span=0):
    """Print date from the system date variables; with user_span > 0 also the
    user who prints, in a cell of that many columns."""
    items = [("打印日期：", "[$$$CurYear]", 1), ("年", "[$$$CurMonth]", 1), ("月", "[$$$CurDay]", 1),
             ("日", None, 0)]
    if user_span:
        items.append(("制表人：", "[$$$UserName]", user_span))
    return items


def sales_invoice(vat: bool) -> Bill:
    cols = goods_columns(with_tax=vat)
    head = [
        [("发票号码：", "[$Page1_FBillNo]", 2), ("开票日期：", "[$Page1_FDate]", 2),
         ("发票类型：", "[$Page1_FInvoiceType]", 2)],
        [("购货单位：", "[$Page1_FCustID]", 2), ("部门：", "[$Page1_FDeptID]", 2),
         ("业务员：", "[$Page1_FEmpID]", 2)],
        [("摘要：", "[$Page1_FExplanation]", len(cols) - 1)],
    ]
    if vat:
        head.insert(2, [("纳税人识别号：", "[$Page1_FCustTaxNo]", 3),
                        ("开户行及账号：", "[$Page1_FCustBank]", 4)])
    footer = [
        print_date_row(user_span=2 if vat else 1),
        signature_row(),
    ]
    variant = "增值税发票" if vat else "普通发票"
    return Bill(
        file_name=f"sales_invoice_{'vat' if vat else 'plain'}.xlsx",
        sheet_name="销售发票",
        title="销 售 发 票" if not vat else "销售发票（增值税）",
        ident="FClassTypeID=1020002",
        head_rows=head,
        blocks=[Block(cols, totals_label="合  计", totals_label_span=5,
                      validate_col=6, highlight_col=8)],
        footer_rows=footer,
        notes=[f"销售发票模板，子类型：{variant}。",
               "第二行起的 [$Page1_...] 为表头字段，[$$Page2_...] 为明细行，明细有几行，该行就会重复几次。",
               "[$$$$Page2_FAmount] 为金额合计；数量与核算金额的合计为普通公式，明细行插入后公式范围自动扩展。",
               "核算金额列为文本格式的公式 =0+[$$Page2_FQty]*[$$Page2_FPrice]，填充后变为每行的实际公式。"],
        landscape=vat,
    )


def purchase_order() -> Bill:
    cols = [
        Col("行号", "[$$Page2_EntryID]", 10),
        Col("物料编码", "[$$Page2_FNumber]", 12),
        Col("物料名称", "[$$Page2_FName]", 20),
        Col("规格型号", "[$$Page2_FModel]", 14),
        Col("单位", "[$$Page2_FUnit]", 6),
        Col("数量", "[$$Page2_FQty]", 10, QTY, total="=SUM({first}:{last})"),
        Col("单价", "[$$Page2_FPrice]", 11, MONEY),
        Col("金额", "[$$Page2_FAmount]", 13, MONEY, total="[$$$$Page2_FAmount]"),
        Col("交货日期", "[$$Page2_FDeliveryDate]", 12),
        Col("核算金额", "=0+[$$Page2_FQty]*[$$Page2_FPrice]", 13, MONEY,
            total="=SUM({first}:{last})"),
    ]
    head = [
        [("订单编号：", "[$Page1_FBillNo]", 2), ("订单日期：", "[$Page1_FDate]", 2),
         ("交货日期：", "[$Page1_FFetchDate]", 3)],
        [("供应商：", "[$Page1_FSupplyID]", 2), ("部门：", "[$Page1_FDeptID]", 2),
         ("采购员：", "[$Page1_FEmpID]", 3)],
        [("交货地点：", "[$Page1_FFetchAdd]", 4), ("结算方式：", "[$Page1_FSettleID]", 3)],
        [("备注：", "[$Page1_FExplanation]", 9)],
    ]
    footer = [
        print_date_row(user_span=2),
        [("制单：", "[$Page1_FBillerID]", 2), ("审核：", "[$Page1_FCheckerID]", 2),
         ("供应商确认：", "", 3)],
    ]
    return Bill(
        file_name="purchase_order.xlsx",
        sheet_name="采购订单",
        title="采 购 订 单",
        ident="FClassTypeID=1030001",
        head_rows=head,
        blocks=[Block(cols, totals_label="合  计", totals_label_span=5,
                      validate_col=7, highlight_col=8, highlight_limit=20000)],
        footer_rows=footer,
        notes=["采购订单模板（无子类型）。",
               "金额超过 20,000.00 的明细行以红色底纹突出显示（条件格式，随明细行扩展）。",
               "单价列设有数据有效性：不能为负数。"],
        landscape=True,
    )


def receipt() -> Bill:
    cols = [
        Col("行号", "[$$Page2_EntryID]", 10),
        Col("源单类型", "[$$Page2_FSourceBillType]", 12),
        Col("源单编号", "[$$Page2_FSourceBillNo]", 16),
        Col("源单日期", "[$$Page2_FSourceDate]", 12),
        Col("源单金额", "[$$Page2_FSourceAmount]", 13, MONEY, total="=SUM({first}:{last})"),
        Col("已收金额", "[$$Page2_FCheckedAmount]", 13, MONEY, total="=SUM({first}:{last})"),
        Col("本次收款", "[$$Page2_FAmount]", 13, MONEY, total="[$$$$Page2_FAmount]"),
        Col("剩余未收",
            "=0+[$$Page2_FSourceAmount]-[$$Page2_FCheckedAmount]-[$$Page2_FAmount]", 13, MONEY,
            total="=SUM({first}:{last})"),
    ]
    head = [
        [("单据编号：", "[$Page1_FBillNo]", 2), ("日期：", "[$Page1_FDate]", 1),
         ("收款类型：", "[$Page1_FBillTypeId]", 2)],
        [("付款单位：", "[$Page1_FCustID]", 2), ("部门：", "[$Page1_FDeptID]", 1),
         ("业务员：", "[$Page1_FEmpID]", 2)],
        [("结算方式：", "[$Page1_FSettleID]", 2), ("结算号：", "[$Page1_FSettleNo]", 1),
         ("是否预收：", "[$Page1_FPreFlag]", 2)],
        [("收款账户：", "[$$$FMultiAccountNoList]", 7)],
        [("收款合计：", "[$$$$Page2_FAmount]", 2), ("摘要：", "[$Page1_FExplanation]", 4)],
    ]
    footer = [
        print_date_row(),
        [("制单：", "[$Page1_FBillerID]", 2), ("审核：", "[$Page1_FCheckerID]", 1),
         ("出纳：", "[$Page1_FCashierID]", 2)],
        [("制表人：", "[$$$UserName]", 2)],
    ]
    return Bill(
        file_name="receipt.xlsx",
        sheet_name="收款单",
        title="收 款 单",
        ident="FClassTypeID=1050001",
        head_rows=head,
        blocks=[Block(cols, caption="本次核销明细", totals_label="合  计", totals_label_span=4,
                      validate_col=7, highlight_col=7, highlight_limit=50000)],
        footer_rows=footer,
        notes=["收款单模板，子类型：销售收款（[$Page1_FBillTypeId] 显示收款类型名称）。",
               "[$$$FMultiAccountNoList] 列出本单的结算账户（账户名|金额，逗号分隔），取自账套数据库。",
               "剩余未收列为文本格式公式 =0+源单金额-已收金额-本次收款。"],
    )


def stock_transfer() -> Bill:
    cols = [
        Col("行号", "[$$Page2_EntryID]", 10),
        Col("商品编码", "[$$Page2_FNumber]", 12),
        Col("商品名称", "[$$Page2_FName]", 18),
        Col("规格型号", "[$$Page2_FModel]", 12),
        Col("单位", "[$$Page2_FUnit]", 6),
        Col("数量", "[$$Page2_FQty]", 9, QTY, total="=SUM({first}:{last})"),
        Col("调出单价", "[$$Page2_FOutPrice]", 10, MONEY),
        Col("调出金额", "[$$Page2_FOutAmount]", 12, MONEY, total="[$$$$Page2_FOutAmount]"),
        Col("调入单价", "[$$Page2_FInPrice]", 10, MONEY),
        Col("调入金额", "[$$Page2_FInAmount]", 12, MONEY, total="[$$$$Page2_FInAmount]"),
        Col("调价差额", "=0+[$$Page2_FQty]*([$$Page2_FInPrice]-[$$Page2_FOutPrice])", 11, MONEY,
            total="=SUM({first}:{last})"),
        Col("序列号", "[$$Page2_FSerialNoList]", 16),
    ]
    head = [
        [("单据编号：", "[$Page1_FBillNo]", 2), ("日期：", "[$Page1_FDate]", 2),
         ("调拨类型：", "[$Page1_FBillTypeId]", 2), (None, None, 0)],
        [("调出仓库：", "[$Page1_FOutStockID]", 2), ("调入仓库：", "[$Page1_FInStockID]", 2),
         ("经手人：", "[$Page1_FEmpID]", 2)],
        [("部门：", "[$Page1_FDeptID]", 2), ("摘要：", "[$Page1_FExplanation]", 7)],
    ]
    footer = [
        print_date_row(user_span=3),
        [("制单：", "[$Page1_FBillerID]", 2), ("审核：", "[$Page1_FCheckerID]", 2),
         ("调出库管：", "", 2), ("调入库管：", "", 2)],
    ]
    return Bill(
        file_name="stock_transfer.xlsx",
        sheet_name="调拨单",
        title="库 存 调 拨 单",
        ident="FClassTypeID=1040007",
        head_rows=head,
        blocks=[Block(cols, totals_label="合  计", totals_label_span=5,
                      validate_col=6, highlight_col=10, highlight_limit=10000)],
        footer_rows=footer,
        notes=["调拨单模板，子类型：异价调拨。",
               "调价差额列为文本格式公式 =0+数量*(调入单价-调出单价)，含括号。",
               "序列号列取自账套数据库的序列号表，没有序列号的商品为空。"],
        landscape=True,
    )


def offset_bill() -> Bill:
    advance = [
        Col("行号", "[$$Page4_EntryID]", 10),
        Col("预收单号", "[$$Page4_FSourceBillNo2]", 16),
        Col("单据日期", "[$$Page4_FSourceDate2]", 12),
        Col("摘要", "[$$Page4_FSourceNote2]", 20),
        Col("单据金额", "[$$Page4_FSourceAmount2]", 13, MONEY),
        Col("本次冲销", "[$$Page4_FCheckAmount2]", 13, MONEY, total="[$$$$Page2_FCheckAmount2]"),
        # No text formula here: on the caption rows its operands are empty.
        Col("冲销后余额", "[$$Page4_FBalance2]", 13, MONEY, total="=SUM({first}:{last})"),
    ]
    receivable = [
        Col("行号", "[$$Page3_EntryID]", 10),
        Col("应收单号", "[$$Page3_FSourceBillNo3]", 16),
        Col("单据日期", "[$$Page3_FSourceDate3]", 12),
        Col("摘要", "[$$Page3_FSourceNote3]", 20),
        Col("单据金额", "[$$Page3_FSourceAmount3]", 13, MONEY),
        Col("本次冲销", "[$$Page3_FCheckAmount3]", 13, MONEY, total="[$$$$Page3_FCheckAmount3]"),
        Col("冲销后余额", "=0+[$$Page3_FSourceAmount3]-[$$Page3_FCheckAmount3]", 13, MONEY,
            total="=SUM({first}:{last})"),
    ]
    head = [
        [("单据编号：", "[$Page1_FBillNo]", 2), ("日期：", "[$Page1_FDate]", 1),
         ("核销类型：", "[$Page1_FBillTypeId]", 1)],
        [("客户：", "[$Page1_FCustID]", 2), ("部门：", "[$Page1_FDeptID]", 1),
         ("业务员：", "[$Page1_FEmpID]", 1)],
        [("摘要：", "[$Page1_FExplanation]", 6)],
    ]
    footer = [
        print_date_row(),
        [("制单：", "[$Page1_FBillerID]", 1), ("审核：", "[$Page1_FCheckerID]", 1),
         ("客户确认：", "", 2)],
        [("制表人：", "[$$$UserName]", 2)],
    ]
    return Bill(
        file_name="offset_bill.xlsx",
        sheet_name="核销单",
        title="核 销 单",
        ident="FClassTypeID=1050003",
        head_rows=head,
        blocks=[Block(advance, caption="一、预收款（含合计行）", totals_label="冲销合计",
                      totals_label_span=4, validate_col=6, highlight_col=6),
                Block(receivable, caption="二、应收款明细", totals_label="冲销合计",
                      totals_label_span=4, validate_col=6)],
        footer_rows=footer,
        notes=["核销单模板，子类型：预收冲应收。",
               "第一个明细区用页 Page4 的行数排版（预收行数 + 1 + 应收行数 + 1），取值字段属于 Page2；"
               "在预收行之后一行和整块末行，预收单号列由系统写出“预收合计”“应收合计”。",
               "第二个明细区列出 Page3 的应收单。"],
    )


def write_report(folder):
    wb = new_workbook()
    ws = wb.active
    ws.title = "往来对账单"
    cols = [("序号", "[$$Page2_EntryID]", 10, None),
            ("日期", "[$$Page2_FDate]", 12, None),
            ("单据编号", "[$$Page2_FBillNo]", 16, None),
            ("单据类型", "[$$Page2_FBillType]", 12, None),
            ("摘要", "[$$Page2_FExplanation]", 22, None),
            ("应收金额", "[$$Page2_FDebit]", 13, MONEY),
            ("收款金额", "[$$Page2_FCredit]", 13, MONEY),
            ("余额", "[$$Page2_FBalance]", 13, MONEY)]
    ncols = len(cols)
    for i, (_, _, width, _) in enumerate(cols, start=1):
        ws.column_dimensions[get_column_letter(i)].width = width
    put(ws, 1, 1, "[$$$CompanyName]", span=ncols, bold=True, size=14, align="center")
    put(ws, 2, 1, "客户往来对账单", span=ncols, bold=True, size=20, align="center")
    ws.cell(row=2, column=1).font = font(20, True, "double")
    ws.row_dimensions[2].height = 32
    lay_pairs(ws, 3, [("客户：", "[$$$CustName]", 3), ("币别：", "[$$$CurrencyName]", 1),
                      ("打印：", "[$$$CurTime]", 1)], ncols)
    lay_pairs(ws, 4, [("期间：", "[$$$BDate]", 1), ("至", "[$$$EDate]", 1),
                      ("客户范围：", "[$$$CustNumberRange]", 3)], ncols)
    header_row, entry_row, totals_row = 6, 7, 8
    for i, (header, keyword, _, fmt) in enumerate(cols, start=1):
        put(ws, header_row, i, header, bold=True, align="center", border=BOX)
        ws.cell(row=header_row, column=i).fill = HEADER_FILL
        put(ws, entry_row, i, keyword, fmt=fmt, border=BOX,
            align="right" if fmt else "left")
    put(ws, totals_row, 1, "本期合计", span=5, bold=True, align="center", border=BOX)
    for i in (6, 7):
        letter = get_column_letter(i)
        put(ws, totals_row, i, f"=SUM({letter}{header_row}:{letter}{entry_row})", fmt=MONEY,
            bold=True, align="right", border=BOX)
    # Closing balance: the last number of the balance column; the range
    # starts at the header row so that inserted report rows extend it.
    put(ws, totals_row, 8, f"=LOOKUP(9.99E+307,H{header_row}:H{entry_row})", fmt=MONEY,
        bold=True, align="right", border=BOX)
    put(ws, 10, 1, "以上往来如无误，请在本对账单上签字盖章后回传。", span=ncols)
    lay_pairs(ws, 12, [("制表：", "[$$$UserName]", 2), ("客户确认：", "", 2),
                       ("日期：", "", 1)], ncols)
    ws.conditional_formatting.add(
        f"H{header_row}:H{entry_row}",
        FormulaRule(formula=[f"AND(ISNUMBER(H{header_row}),H{header_row}<0)"],
                    font=Font(name=FONT_NAME, color="C00000", bold=True)))
    finish_page_setup(ws, ncols, 12, header_row, landscape=False)
    add_notes_sheet(wb, ["客户往来对账单（报表 10506，子类型：客户）。",
                         "[$$$BDate]、[$$$EDate]、[$$$CurrencyName]、[$$$CustNumberRange] 取自报表表头数据；"
                         "[$$$CustName] 为第一行明细的客户名称；[$$$CurTime] 为打印当天日期。",
                         "明细行的关键字名称即报表明细的列名，行数等于报表明细的记录数。",
                         "期末余额取余额列最后一个数值（普通公式，随明细行扩展）。"])
    add_ident_sheet(wb, "FTemplateID=10506")
    save_deterministic(wb, os.path.join(folder, "customer_statement_report.xlsx"))


def write_waybill(folder):
    wb = new_workbook()
    ws = wb.active
    ws.title = "快递运单"
    widths = [11, 20, 11, 20, 11, 20]
    for i, width in enumerate(widths, start=1):
        ws.column_dimensions[get_column_letter(i)].width = width
    put(ws, 1, 1, "[$Page1_FLogisticName]", span=4, bold=True, size=18)
    put(ws, 1, 5, "运单号", bold=True, align="right")
    put(ws, 1, 6, "[$Page1_FLogisticNo]", bold=True, size=12, border=UNDERLINE)
    rows = [
        (3, "寄件人", [("单位：", "[$$$CompanyName]", 3), ("电话：", "[$$$CompanyPhone]", 1)]),
        (4, None, [("地址：", "[$$$CompanyAddress]", 5)]),
        (5, None, [("联系人：", "[$Page1_FSenderName]", 1), ("寄件日期：", "[$Page1_FSendDate]", 1)]),
        (7, "收件人", [("单位：", "[$Page1_FReceiverCompany]", 3), ("电话：", "[$Page1_FReceiverPhone]", 1)]),
        (8, None, [("地址：", "[$Page1_FReceiverAddress]", 5)]),
        (9, None, [("联系人：", "[$Page1_FReceiverName]", 1), ("邮编：", "[$Page1_FReceiverPostCode]", 1)]),
        (11, "托寄物", [("品名：", "[$Page1_FGoodsName]", 3), ("件数：", "[$Page1_FPieces]", 1)]),
        (12, None, [("重量(kg)：", "[$Page1_FWeight]", 1), ("付款方式：", "[$Page1_FPayType]", 1),
                    ("关联单号：", "[$Page1_FBillNo]", 1)]),
        (13, None, [("运费：", "[$Page1_FFreight]", 1), ("保价费：", "[$Page1_FInsureFee]", 1),
                    ("费用合计：", "=0+[$Page1_FFreight]+[$Page1_FInsureFee]", 1)]),
        (14, None, [("声明价值：", "[$Page1_FInsuredValue]", 1), ("核对合计：", "=N(B13)+N(D13)", 1)]),
        (15, None, [("备注：", "[$Page1_FRemark]", 5)]),
    ]
    for row, section, items in rows:
        if section:
            put(ws, row - 1 if row > 3 else 2, 1, section, bold=True, size=11)
        lay_pairs(ws, row, items, 6)
        ws.row_dimensions[row].height = 20
    for ref in ("B13", "D13", "F13", "B14", "D14"):
        ws[ref].number_format = MONEY
        ws[ref].alignment = Alignment(horizontal="right")
    ws["B12"].number_format = QTY
    ws["F11"].number_format = "0"
    # "费用合计" is a text keyword formula; keep its text format, the engine
    # sets the number format when it turns it into a live formula.
    ws["F13"].number_format = TEXT
    lay_pairs(ws, 17, [("寄件人签名：", "", 1), ("收件人签名：", "", 1), ("日期：", "", 1)], 6)
    dv = DataValidation(type="whole", operator="between", formula1="1", formula2="999",
                        allow_blank=True, showErrorMessage=True,
                        errorTitle="输入有误", error="件数应为 1 到 999 之间的整数。")
    dv.add("F11")
    ws.add_data_validation(dv)
    ws.conditional_formatting.add(
        "B14", FormulaRule(formula=["AND(ISNUMBER(B14),B14>=5000)"], fill=WARN_FILL))
    finish_page_setup(ws, 6, 17, None, landscape=True)
    add_notes_sheet(wb, ["快递运单模板（物流界面直接打印，数据来源 0）。",
                         "[$Page1_...] 的名称即物流界面传入的第一行数据中的字段名；带点的名称（如 .SUM）为空。",
                         "费用合计为文本格式公式 =0+运费+保价费；核对合计为普通公式 =N(B13)+N(D13)。",
                         "寄件人信息取自系统参数中的公司名称、电话和地址。"])
    add_ident_sheet(wb, "FClassTypeID=2000001")
    save_deterministic(wb, os.path.join(folder, "courier_waybill.xlsx"))


# ------------------------------------------------------------ item label

LABEL_FILE = "商品标签模板.xlsx"
# The fixed picture files the label job prepares before every print.
LABEL_PHOTO = "c:\\ItemPhotos\\Item.jpg"
LABEL_BARCODE = "c:\\ItemPhotos\\BarCode_Item.bmp"
LABEL_QRCODE = "c:\\ItemPhotos\\QRCode_Item.bmp"


def frame_cells(ws, first_row, last_row, first_col, last_col):
    """A thin frame around the block, keeping the cells' other borders."""
    for row in range(first_row, last_row + 1):
        for col in range(first_col, last_col + 1):
            cell = ws.cell(row=row, column=col)
            old = cell.border
            cell.border = Border(left=THIN if col == first_col else old.left,
                                 right=THIN if col == last_col else old.right,
                                 top=THIN if row == first_row else old.top,
                                 bottom=THIN if row == last_row else old.bottom)


def write_item_label(folder):
    """The item label workbook: plain head keywords name the item values the
    host hands over ([$$$FName] is the value of key FName), and three pictures
    linked to the fixed files in c:\\ItemPhotos\\ that the label job
    overwrites with the item's photo, barcode and QR code before it prints.
    Not a registered template: no identification sheet."""
    wb = new_workbook()
    ws = wb.active
    ws.title = "商品标签"
    for letter, width in zip("ABCD", (8, 18, 8, 18)):
        ws.column_dimensions[letter].width = width
    put(ws, 1, 1, "[$$$FName]", span=4, bold=True, size=14, align="center")
    ws.row_dimensions[1].height = 26
    lay_pairs(ws, 2, [("编号：", "[$$$FNumber]", 1), ("规格：", "[$$$FModel]", 1)], 4)
    lay_pairs(ws, 3, [("单位：", "[$$$FUnitName]", 1), ("售价：", "[$$$FSalePrice]", 1)], 4)
    ws["D3"].number_format = MONEY
    ws["D3"].font = font(12, True)
    ws["D3"].alignment = Alignment(horizontal="left", vertical="center")
    for row in range(2, 4):
        ws.row_dimensions[row].height = 18
    # Rows 4-9 hold the photo (left) and the QR code (right), rows 10-12 the
    # barcode: 20 pt rows are 26.67 pixels.
    for row in range(4, 13):
        ws.row_dimensions[row].height = 20
    lay_pairs(ws, 13, [("品牌：", "[$$$FBrand]", 1), ("产地：", "[$$$FOrigin]", 1)], 4)
    ws.row_dimensions[13].height = 18
    frame_cells(ws, 1, 13, 1, 4)
    ws.print_area = "A1:D13"
    ws.page_setup.paperSize = ws.PAPERSIZE_A4
    ws.page_setup.orientation = "portrait"
    ws.page_margins = PageMargins(left=0.5, right=0.5, top=0.6, bottom=0.6, header=0.3, footer=0.3)
    add_notes_sheet(wb, [
        "商品标签模板（商品资料界面的标签打印使用本文件的副本，不按单据类型登记）。",
        "[$$$名称] 取商品资料传入的同名值：FName 名称、FNumber 编号、FModel 规格、FUnitName 单位、",
        "FSalePrice 售价、FBrand 品牌、FOrigin 产地；没有的名称打印为空。",
        "三张图片是链接到文件的图片（不嵌入工作簿）：",
        "  c:\\ItemPhotos\\Item.jpg 商品图片；c:\\ItemPhotos\\BarCode_Item.bmp 条形码（250×70 像素）；",
        "  c:\\ItemPhotos\\QRCode_Item.bmp 二维码（113×113 像素）。",
        "每次打印前系统先用空白占位图覆盖这三个文件，再写入当前商品的图片，所以标签总是显示当前商品。",
        "移动或缩放图片不影响链接；请不要改成“嵌入”图片，否则标签会一直显示同一张图。",
    ])
    pictures = [
        LinkedPicture("商品图片", LABEL_PHOTO, col=0, row=3, col_offset_px=8, row_offset_px=10,
                      width_px=120, height_px=120),
        LinkedPicture("二维码", LABEL_QRCODE, col=2, row=3, col_offset_px=20, row_offset_px=14,
                      width_px=113, height_px=113),
        LinkedPicture("条形码", LABEL_BARCODE, col=0, row=9, col_offset_px=67, row_offset_px=5,
                      width_px=250, height_px=70),
    ]
    save_deterministic(wb, os.path.join(folder, LABEL_FILE),
                       lambda parts: add_linked_pictures(parts, 1, pictures))


def all_bills():
    return [sales_invoice(vat=True), sales_invoice(vat=False), purchase_order(), receipt(),
            stock_transfer(), offset_bill()]


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    folder = argv[1] if len(argv) > 1 else os.path.join(here, "templates")
    os.makedirs(folder, exist_ok=True)
    for bill in all_bills():
        write_bill(folder, bill)
    write_report(folder)
    write_waybill(folder)
    write_item_label(folder)
    print(f"templates written to {folder}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
