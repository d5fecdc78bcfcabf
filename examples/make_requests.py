#!/usr/bin/python3
"""Writes the request files that go with the sample templates.

Each request is what the host would hand over for one print: the bill's data
service description, field dictionary and values (bills), the head values and
rows (the report), or the logistics screen's values (the waybill). Amounts
are computed here from quantity and price so that they always agree.

Usage: /usr/bin/python3 examples/make_requests.py [output folder]
(default: examples/requests next to this script).
"""

import json
import os
import sys
from decimal import ROUND_HALF_UP, Decimal

# Control types and value sources as the field dictionary carries them.
CTL_TEXT, CTL_NUMBER, CTL_DATE, CTL_LOOKUP, CTL_CHECK = 0, 1, 2, 3, 4
SRC_PLAIN, SRC_BASE_DATA, SRC_YES_NO = 0, 9, 11

# Base-data classes of lookup fields.
LOOKUP = {"customer": 1, "department": 2, "employee": 3, "item": 4, "stock": 5,
          "supplier": 8, "user": 9, "settle": 10, "account": 11, "invoice_type": 30,
          "bill_type": 31}


def money(value):
    """Rounds to cents the way an accounting system does (half up) and
    returns a float whose shortest text is the rounded amount."""
    return float(Decimal(str(value)).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP))


class FieldSet:
    """Builds a field dictionary ("TableInfo") and the matching values."""

    def __init__(self, class_type):
        self.class_type = class_type
        self.map = {}
        self.infos = {}
        self.kinds = {}

    def add(self, name, page, tab, kind="text", fsum=False, lookup=None):
        key = f"_{tab:04d}_{name}"
        if name in self.map:
            raise ValueError(f"field {name} defined twice")
        ctl, src, lookup_class = {
            "text": (CTL_TEXT, SRC_PLAIN, 0),
            "number": (CTL_NUMBER, SRC_PLAIN, 0),
            "date": (CTL_DATE, SRC_PLAIN, 0),
            "lookup": (CTL_LOOKUP, SRC_BASE_DATA, LOOKUP.get(lookup, 0)),
            "yesno": (CTL_CHECK, SRC_YES_NO, 0),
        }[kind]
        self.map[name] = key
        self.kinds[name] = kind
        self.infos[key] = {"FKey": name, "FPage": page, "FTabIndex": tab, "CtlIndex": tab - 1,
                           "FSourceType": src, "FLookUpClassID": lookup_class,
                           "FCtlType": ctl, "FKeyWord": "", "FClassTypeID": self.class_type,
                           "fsum": fsum}
        return self

    def value(self, name, stored, display="", number=""):
        kind = self.kinds[name]
        if kind == "lookup" and not display:
            raise ValueError(f"lookup field {name} needs its display text")
        return self.map[name], {"FFLD": stored, "FDSP": display, "FFND": number}

    def record(self, values):
        """values: name -> stored value, or (id, display, number) for a lookup."""
        out = {}
        for name, v in values.items():
            key, obj = self.value(name, *v) if isinstance(v, tuple) else self.value(name, v)
            out[key] = obj
        return out

    def table_info(self):
        info = {"Map": dict(self.map)}
        info.update(self.infos)
        return info


def data_srv(class_type, bill_type_id, name, pages):
    return {"classtype": {"FID": class_type, "FBillTypeID": bill_type_id, "FName": name},
            "ClassTypeEntry": [{"FEntryType": 1 if entry else 0} for entry in pages],
            "classTypeID": class_type}


# ---------------------------------------------------------------- shared people and parties

EMP_LI = (3001, "李明华", "E001")
EMP_ZHAO = (3005, "赵磊", "E005")
EMP_SUN = (3008, "孙志强", "E008")
USER_WANG = (16, "王晓燕", "wangxy")
USER_CHEN = (17, "陈建国", "chenjg")
DEPT_SALES = (2001, "销售一部", "D01")
DEPT_BUY = (2003, "采购部", "D03")
DEPT_STORE = (2004, "仓储部", "D04")
CUST_DINGSHENG = (1012, "鼎盛百货有限公司", "01.001")
CUST_MINGYUAN = (1025, "明远文化用品店", "01.014")
CUST_RUIFENG = (1031, "瑞丰商贸有限公司", "01.020")
SUPP_HENGTONG = (8007, "恒通五金制品有限公司", "02.007")


def goods_fields(fs, with_tax):
    fs.add("FItemID", 2, 11, "lookup", lookup="item")
    fs.add("FNumber", 2, 12).add("FName", 2, 13).add("FModel", 2, 14).add("FUnit", 2, 15)
    fs.add("FQty", 2, 16, "number", fsum=True).add("FPrice", 2, 17, "number")
    fs.add("FAmount", 2, 18, "number", fsum=True)
    if with_tax:
        fs.add("FTaxRate", 2, 19, "number").add("FTaxAmount", 2, 20, "number", fsum=True)
        fs.add("FInTaxAmount", 2, 21, "number", fsum=True)


def goods_rows(fs, lines, tax_rate=None, extra=None):
    rows = []
    for i, (item_id, number, name, model, unit, qty, price) in enumerate(lines):
        amount = money(qty * price)
        values = {"FItemID": (item_id, name, number), "FNumber": number, "FName": name,
                  "FModel": model, "FUnit": unit, "FQty": qty, "FPrice": price,
                  "FAmount": amount}
        if tax_rate is not None:
            tax = money(amount * tax_rate / 100)
            values.update({"FTaxRate": tax_rate, "FTaxAmount": tax,
                           "FInTaxAmount": money(amount + tax)})
        if extra:
            values.update(extra[i])
        rows.append(fs.record(values))
    return rows


def bill_head_common(fs):
    fs.add("FBillNo", 1, 1).add("FDate", 1, 2, "date")
    return fs


# ---------------------------------------------------------------- the requests

def sales_invoice(vat):
    fs = bill_head_common(FieldSet(1020002))
    fs.add("FCustID", 1, 3, "lookup", lookup="customer")
    fs.add("FDeptID", 1, 4, "lookup", lookup="department")
    fs.add("FEmpID", 1, 5, "lookup", lookup="employee")
    fs.add("FInvoiceType", 1, 6, "lookup", lookup="invoice_type")
    fs.add("FExplanation", 1, 7)
    fs.add("FBillerID", 1, 8, "lookup", lookup="user")
    fs.add("FCheckerID", 1, 9, "lookup", lookup="user")
    if vat:
        fs.add("FCustTaxNo", 1, 10).add("FCustBank", 1, 22)
    goods_fields(fs, with_tax=vat)
    if vat:
        lines = [(4101, "SP-1001", "不锈钢保温杯", "500ml", "个", 300, 38.50),
                 (4102, "SP-1002", "陶瓷马克杯", "350ml", "个", 200, 12.80),
                 (4205, "SP-2005", "竹制砧板", "40×28cm", "块", 60, 45.00),
                 (4310, "SP-3010", "玻璃密封罐", "1.2L", "只", 150, 16.90),
                 (4322, "SP-3022", "硅胶厨房铲", "28cm", "把", 300, 9.60)]
        head = {"FBillNo": "XSFP-202612-0005", "FDate": "2026-12-03",
                "FCustID": CUST_DINGSHENG, "FDeptID": DEPT_SALES, "FEmpID": EMP_LI,
                "FInvoiceType": (1, "增值税发票", "01"),
                "FExplanation": "12月第一批日用百货",
                "FBillerID": USER_WANG, "FCheckerID": USER_CHEN,
                "FCustTaxNo": "91330105MA2H4K7X3P",
                "FCustBank": "杭州城东商业银行湖墅支行 3301 0402 1688 0052 17"}
        rows = goods_rows(fs, lines, tax_rate=13)
        bill_id = 5005
    else:
        lines = [(5101, "BG-0101", "A4复印纸", "70g 500张", "包", 50, 23.50),
                 (5205, "BG-0205", "中性笔", "0.5mm 黑色", "盒", 40, 18.00),
                 (5310, "BG-0310", "文件夹", "A4 双强力夹", "个", 100, 6.25)]
        head = {"FBillNo": "XSFP-202612-0006", "FDate": "2026-12-04",
                "FCustID": CUST_MINGYUAN, "FDeptID": DEPT_SALES, "FEmpID": EMP_LI,
                "FInvoiceType": (2, "普通发票", "02"),
                "FExplanation": "办公用品零星销售",
                "FBillerID": USER_WANG, "FCheckerID": USER_CHEN}
        rows = goods_rows(fs, lines)
        bill_id = 5006
    return {"DataSrv": data_srv(1020002, 20, "销售发票", [False, True]),
            "TableInfo": fs.table_info(),
            "Data": {"FID": bill_id, "Page1": fs.record(head), "Page2": rows},
            "DataSourceType": 0}


def purchase_order():
    fs = bill_head_common(FieldSet(1030001))
    fs.add("FSupplyID", 1, 3, "lookup", lookup="supplier")
    fs.add("FDeptID", 1, 4, "lookup", lookup="department")
    fs.add("FEmpID", 1, 5, "lookup", lookup="employee")
    fs.add("FFetchDate", 1, 6, "date").add("FFetchAdd", 1, 7)
    fs.add("FSettleID", 1, 8, "lookup", lookup="settle")
    fs.add("FExplanation", 1, 9)
    fs.add("FBillerID", 1, 10, "lookup", lookup="user")
    fs.add("FCheckerID", 1, 22, "lookup", lookup="user")
    goods_fields(fs, with_tax=False)
    fs.add("FDeliveryDate", 2, 19, "date")
    lines = [(6501, "WL-5001", "镀锌角钢", "50×50×5", "米", 400, 18.75),
             (6502, "WL-5002", "热轧钢板", "Q235 3mm", "张", 120, 186.00),
             (6603, "WL-6003", "六角螺栓", "M12×60", "套", 2000, 1.35),
             (6604, "WL-6004", "平垫圈", "M12", "个", 2000, 0.12),
             (6701, "WL-7001", "防锈漆", "铁红 18kg", "桶", 15, 268.00),
             (6702, "WL-7002", "油漆稀释剂", "4L", "桶", 20, 55.50)]
    dates = ["2026-12-10", "2026-12-10", "2026-12-12", "2026-12-12", "2026-12-15", "2026-12-15"]
    rows = goods_rows(fs, lines, extra=[{"FDeliveryDate": d} for d in dates])
    head = {"FBillNo": "CGDD-202612-0002", "FDate": "2026-12-02",
            "FSupplyID": SUPP_HENGTONG, "FDeptID": DEPT_BUY, "FEmpID": EMP_ZHAO,
            "FFetchDate": "2026-12-15", "FFetchAdd": "公司总仓（江干区下沙路 88 号）",
            "FSettleID": (2, "月结30天", "02"),
            "FExplanation": "货到验收合格后付款，请随货附送检验报告",
            "FBillerID": USER_WANG, "FCheckerID": USER_CHEN}
    return {"DataSrv": data_srv(1030001, 31, "采购订单", [False, True]),
            "TableInfo": fs.table_info(),
            "Data": {"FID": 7002, "Page1": fs.record(head), "Page2": rows},
            "DataSourceType": 0}


def receipt():
    fs = bill_head_common(FieldSet(1050001))
    fs.add("FCustID", 1, 3, "lookup", lookup="customer")
    fs.add("FDeptID", 1, 4, "lookup", lookup="department")
    fs.add("FEmpID", 1, 5, "lookup", lookup="employee")
    fs.add("FBillTypeId", 1, 6, "lookup", lookup="bill_type")
    fs.add("FSettleID", 1, 7, "lookup", lookup="settle").add("FSettleNo", 1, 8)
    fs.add("FPreFlag", 1, 9, "yesno").add("FExplanation", 1, 10)
    fs.add("FBillerID", 1, 11, "lookup", lookup="user")
    fs.add("FCheckerID", 1, 12, "lookup", lookup="user")
    fs.add("FCashierID", 1, 13, "lookup", lookup="user")
    fs.add("FSourceBillType", 2, 21).add("FSourceBillNo", 2, 22).add("FSourceDate", 2, 23, "date")
    fs.add("FSourceAmount", 2, 24, "number", fsum=True)
    fs.add("FCheckedAmount", 2, 25, "number", fsum=True)
    fs.add("FAmount", 2, 26, "number", fsum=True)
    sources = [("XSFP-202611-0018", "2026-11-05", 18600.00, 6600.00, 12000.00),
               ("XSFP-202611-0027", "2026-11-18", 9850.50, 0.00, 9850.50),
               ("XSFP-202611-0031", "2026-11-26", 15320.00, 0.00, 8000.00)]
    rows = [fs.record({"FSourceBillType": "销售发票", "FSourceBillNo": no, "FSourceDate": date,
                       "FSourceAmount": amount, "FCheckedAmount": checked, "FAmount": paid})
            for no, date, amount, checked, paid in sources]
    head = {"FBillNo": "SK-202612-0003", "FDate": "2026-12-04",
            "FCustID": CUST_DINGSHENG, "FDeptID": DEPT_SALES, "FEmpID": EMP_LI,
            # 5001 is an ordinary receipt: not one of the bill types whose
            # amounts print negated.
            "FBillTypeId": (5001, "销售收款", "5001"),
            "FSettleID": (1, "电汇", "01"), "FSettleNo": "DH20261204001",
            "FPreFlag": 0, "FExplanation": "收回11月货款",
            "FBillerID": USER_WANG, "FCheckerID": USER_CHEN,
            "FCashierID": (18, "刘芳", "liuf")}
    return {"DataSrv": data_srv(1050001, 50, "收款单", [False, True]),
            "TableInfo": fs.table_info(),
            "Data": {"FID": 9003, "Page1": fs.record(head), "Page2": rows},
            "DataSourceType": 0}


def stock_transfer():
    fs = bill_head_common(FieldSet(1040007))
    fs.add("FOutStockID", 1, 3, "lookup", lookup="stock")
    fs.add("FInStockID", 1, 4, "lookup", lookup="stock")
    fs.add("FDeptID", 1, 5, "lookup", lookup="department")
    fs.add("FEmpID", 1, 6, "lookup", lookup="employee")
    fs.add("FBillTypeId", 1, 7, "lookup", lookup="bill_type")
    fs.add("FExplanation", 1, 8)
    fs.add("FBillerID", 1, 9, "lookup", lookup="user")
    fs.add("FCheckerID", 1, 10, "lookup", lookup="user")
    fs.add("FItemID", 2, 11, "lookup", lookup="item")
    fs.add("FNumber", 2, 12).add("FName", 2, 13).add("FModel", 2, 14).add("FUnit", 2, 15)
    fs.add("FQty", 2, 16, "number", fsum=True)
    fs.add("FOutPrice", 2, 17, "number").add("FOutAmount", 2, 18, "number", fsum=True)
    fs.add("FInPrice", 2, 19, "number").add("FInAmount", 2, 20, "number", fsum=True)
    fs.add("FDiffAmount", 2, 21, "number", fsum=True)
    lines = [(4101, "SP-1001", "不锈钢保温杯", "500ml", "个", 80, 26.40, 27.00),
             (4205, "SP-2005", "竹制砧板", "40×28cm", "块", 30, 31.00, 32.50),
             (4310, "SP-3010", "玻璃密封罐", "1.2L", "只", 100, 10.80, 11.20),
             (4322, "SP-3022", "硅胶厨房铲", "28cm", "把", 500, 6.10, 6.30)]
    rows = []
    for item_id, number, name, model, unit, qty, out_price, in_price in lines:
        out_amount, in_amount = money(qty * out_price), money(qty * in_price)
        rows.append(fs.record({"FItemID": (item_id, name, number), "FNumber": number,
                               "FName": name, "FModel": model, "FUnit": unit, "FQty": qty,
                               "FOutPrice": out_price, "FOutAmount": out_amount,
                               "FInPrice": in_price, "FInAmount": in_amount,
                               "FDiffAmount": money(in_amount - out_amount)}))
    head = {"FBillNo": "DB-202612-0004", "FDate": "2026-12-03",
            "FOutStockID": (5001, "总仓", "CK01"), "FInStockID": (5002, "华南分仓", "CK02"),
            "FDeptID": DEPT_STORE, "FEmpID": EMP_SUN,
            "FBillTypeId": (4072, "异价调拨", "4072"),
            "FExplanation": "分仓年末备货，按分仓核算价调入",
            "FBillerID": USER_WANG, "FCheckerID": USER_CHEN}
    return {"DataSrv": data_srv(1040007, 47, "调拨单", [False, True]),
            "TableInfo": fs.table_info(),
            "Data": {"FID": 8004, "Page1": fs.record(head), "Page2": rows},
            "DataSourceType": 0}


def offset_bill():
    fs = bill_head_common(FieldSet(1050003))
    fs.add("FCustID", 1, 3, "lookup", lookup="customer")
    fs.add("FDeptID", 1, 4, "lookup", lookup="department")
    fs.add("FEmpID", 1, 5, "lookup", lookup="employee")
    fs.add("FBillTypeId", 1, 6, "lookup", lookup="bill_type")
    fs.add("FExplanation", 1, 7)
    fs.add("FBillerID", 1, 8, "lookup", lookup="user")
    fs.add("FCheckerID", 1, 9, "lookup", lookup="user")
    # Page 2: advances received; page 3: receivables; page 4: the printed
    # lines of the first table (advances, their total line, receivables,
    # their total line).
    fs.add("FSourceBillNo2", 2, 21).add("FSourceDate2", 2, 22, "date").add("FSourceNote2", 2, 23)
    fs.add("FSourceAmount2", 2, 24, "number", fsum=True)
    fs.add("FCheckAmount2", 2, 25, "number", fsum=True)
    fs.add("FBalance2", 2, 26, "number", fsum=True)
    fs.add("FSourceBillNo3", 3, 31).add("FSourceDate3", 3, 32, "date").add("FSourceNote3", 3, 33)
    fs.add("FSourceAmount3", 3, 34, "number", fsum=True)
    fs.add("FCheckAmount3", 3, 35, "number", fsum=True)
    advances = [("YSK-202610-0007", "2026-10-12", "预收年货定金", 20000.00, 15000.00),
                ("YSK-202610-0015", "2026-10-28", "预收货款", 10000.00, 10000.00),
                ("YSK-202611-0003", "2026-11-03", "预收货款", 8000.00, 5000.00)]
    receivables = [("XSFP-202611-0009", "2026-11-10", "11月第一批货款", 18000.00, 18000.00),
                   ("XSFP-202611-0022", "2026-11-20", "11月第二批货款", 16500.00, 12000.00)]
    page2 = [fs.record({"FSourceBillNo2": no, "FSourceDate2": date, "FSourceNote2": note,
                        "FSourceAmount2": amount, "FCheckAmount2": check,
                        "FBalance2": money(amount - check)})
             for no, date, note, amount, check in advances]
    page3 = [fs.record({"FSourceBillNo3": no, "FSourceDate3": date, "FSourceNote3": note,
                        "FSourceAmount3": amount, "FCheckAmount3": check})
             for no, date, note, amount, check in receivables]
    page4 = [{} for _ in range(len(advances) + 1 + len(receivables) + 1)]
    head = {"FBillNo": "HX-202612-0001", "FDate": "2026-12-04",
            "FCustID": CUST_RUIFENG, "FDeptID": DEPT_SALES, "FEmpID": EMP_LI,
            "FBillTypeId": (5031, "预收冲应收", "5031"),
            "FExplanation": "以10月、11月预收款冲销11月应收货款",
            "FBillerID": USER_WANG, "FCheckerID": USER_CHEN}
    return {"DataSrv": data_srv(1050003, 53, "核销单", [False, True, True, True]),
            "TableInfo": fs.table_info(),
            "Data": {"FID": 9101, "Page1": fs.record(head), "Page2": page2, "Page3": page3,
                     "Page4": page4},
            "DataSourceType": 0}


def customer_statement_report():
    rows = [["2026-11-01", "", "期初", "期初余额", 0.00, 0.00],
            ["2026-11-05", "XSFP-202611-0018", "销售发票", "销售货款", 18600.00, 0.00],
            ["2026-11-12", "SK-202611-0004", "收款单", "收回货款", 0.00, 12000.00],
            ["2026-11-18", "XSFP-202611-0027", "销售发票", "销售货款", 9850.50, 0.00],
            ["2026-11-26", "XSFP-202611-0031", "销售发票", "销售货款", 15320.00, 0.00],
            ["2026-11-30", "SK-202611-0011", "收款单", "收回货款", 0.00, 6600.00]]
    balance = 12000.00
    out = []
    for i, (date, no, kind, note, debit, credit) in enumerate(rows):
        if i:
            balance = money(balance + debit - credit)
        out.append(["鼎盛百货有限公司", date, no, kind, note, debit, credit, balance])
    return {"DataSourceType": 1,
            "RptID": 10506,
            "RptHeadData": {"BDate": "2026-11-01", "EDate": "2026-11-30",
                            "AccountItem": "应收账款", "CustNumberRange": "01.001--01.001",
                            "DeptNumberRange": "", "EmpNumberRange": "",
                            "CurrencyName": "人民币", "ByItem": 0},
            "RptEntryData": {"fields": ["FCustName", "FDate", "FBillNo", "FBillType",
                                        "FExplanation", "FDebit", "FCredit", "FBalance"],
                             "rows": out}}


def continuous_print():
    """The statement printed for three customers in one run (vemoprint
    batch): the report's values with PrintData, one entry per bill to print,
    all of one transaction type."""
    request = customer_statement_report()
    request["PrintData"] = [{"FTranType": 1, "FBillNo": no}
                            for no in ("XSFP-202611-0018", "XSFP-202611-0027", "XSFP-202611-0031")]
    return request


def courier_waybill():
    return {"dataFrom": 0,
            "Data": {"FID": 3,
                     "Page1": [{"FLogisticName": "飞鸿快运", "FLogisticNo": "FH730261584902",
                                "FSenderName": "王晓燕", "FSendDate": "2026-12-04",
                                "FReceiverCompany": "鼎盛百货有限公司",
                                "FReceiverPhone": "0571-86523390",
                                "FReceiverAddress": "浙江省杭州市拱墅区湖墅南路186号鼎盛大厦三楼",
                                "FReceiverName": "周海涛", "FReceiverPostCode": "310005",
                                "FGoodsName": "日用百货（保温杯、马克杯）", "FPieces": 6,
                                "FWeight": 42.5, "FPayType": "寄付月结",
                                "FBillNo": "XSFP-202612-0005", "FFreight": 86.00,
                                "FInsureFee": 15.00, "FInsuredValue": 5000.00,
                                "FRemark": "易碎品，请轻拿轻放"}]}}


def item_label():
    """An item label from the item screen: item 1 of the sample account, so
    the host's photo of the item exists in the company database."""
    return {"ItemInfoDict": {"FItemID": 1, "FNumber": "01.001", "FName": "特级龙井茶 250g",
                             "FModel": "LJ-250", "FUnitName": "盒", "FSalePrice": 168,
                             "FRetailPrice": 198, "FBrand": "西湖春", "FOrigin": "浙江杭州",
                             "FBarCode": "6901234567892",
                             "FMatrixCode": "https://shop.example.com/item/01.001"}}


REQUESTS = {
    "sales_invoice_vat": lambda: sales_invoice(vat=True),
    "sales_invoice_plain": lambda: sales_invoice(vat=False),
    "purchase_order": purchase_order,
    "receipt": receipt,
    "stock_transfer": stock_transfer,
    "offset_bill": offset_bill,
    "customer_statement_report": customer_statement_report,
    "continuous_print": continuous_print,
    "courier_waybill": courier_waybill,
    "商品标签模板": item_label,
}


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    folder = argv[1] if len(argv) > 1 else os.path.join(here, "requests")
    os.makedirs(folder, exist_ok=True)
    for name, build in REQUESTS.items():
        with open(os.path.join(folder, name + ".json"), "w", encoding="utf-8") as out:
            json.dump(build(), out, ensure_ascii=False, indent=1)
            out.write("\n")
    print(f"requests written to {folder}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
