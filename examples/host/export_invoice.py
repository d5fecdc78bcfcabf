#!/usr/bin/python3
"""A host in Python (ctypes, standard library only): exports a sales invoice
through the component's ExportAction, binding late by member name, and with
--print prints it on the default printer too.

    export_invoice.py REQUEST.json OUT.xlsx [--print] [--library PATH]

The library is found as libvemoprint.so.1 on the loader's path unless
--library names it.
"""
import argparse
import ctypes
import sys

API_VERSION = 1
EMPTY, NULL, BOOLEAN, INTEGER, DOUBLE, TEXT, DATE, OBJECT = range(8)


class Union(ctypes.Union):
    _fields_ = [("boolean", ctypes.c_int32), ("integer", ctypes.c_int64), ("number", ctypes.c_double),
                ("text", ctypes.c_char_p), ("object", ctypes.c_void_p)]


class Value(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int32), ("reserved", ctypes.c_int32), ("as_", Union)]


MESSAGE_BOX = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p)
FILE_DIALOG = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p,
                               ctypes.c_void_p, ctypes.c_size_t)


class Desktop(ctypes.Structure):
    _fields_ = [("user", ctypes.c_void_p), ("message_box", MESSAGE_BOX), ("file_dialog", FILE_DIALOG)]


class Handle(int):
    """An object handle, told apart from an integer value."""


class Component:
    """The C interface with Python values in and out."""

    def __init__(self, path):
        self.lib = ctypes.CDLL(path)
        lib = self.lib
        lib.vemo_last_error.restype = ctypes.c_char_p
        handle = ctypes.POINTER(ctypes.c_void_p)
        lib.vemo_create.argtypes = [ctypes.c_char_p, handle]
        lib.vemo_set.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(Value)]
        lib.vemo_call.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(Value), ctypes.c_size_t,
                                  ctypes.POINTER(Value)]
        lib.vemo_parse_json.argtypes = [ctypes.c_char_p, ctypes.POINTER(Value)]
        lib.vemo_value_clear.argtypes = [ctypes.POINTER(Value)]
        lib.vemo_release.argtypes = [ctypes.c_void_p]
        lib.vemo_set_desktop.argtypes = [ctypes.POINTER(Desktop)]

    def check(self, status, what):
        if status != 0:
            raise RuntimeError(f"{what} failed ({status}): {self.lib.vemo_last_error().decode()}")

    @staticmethod
    def value(python):
        v = Value()
        if isinstance(python, Handle):
            v.type, v.as_.object = OBJECT, python
        elif isinstance(python, bool):
            v.type, v.as_.boolean = BOOLEAN, int(python)
        elif isinstance(python, int):
            v.type, v.as_.integer = INTEGER, python
        elif isinstance(python, float):
            v.type, v.as_.number = DOUBLE, python
        elif isinstance(python, str):
            v.type, v.as_.text = TEXT, python.encode()
        elif python is not None:
            raise TypeError(f"no host value for {python!r}")
        return v

    def answer(self, v):
        """The value handed back as Python; object handles stay handles."""
        if v.type == OBJECT:
            return Handle(v.as_.object) if v.as_.object else None
        result = {BOOLEAN: lambda: bool(v.as_.boolean), INTEGER: lambda: v.as_.integer,
                  DOUBLE: lambda: v.as_.number, DATE: lambda: v.as_.number,
                  TEXT: lambda: v.as_.text.decode()}.get(v.type, lambda: None)()
        self.lib.vemo_value_clear(ctypes.byref(v))
        return result

    def create(self, prog_id):
        obj = ctypes.c_void_p()
        self.check(self.lib.vemo_create(prog_id.encode(), ctypes.byref(obj)), prog_id)
        return Handle(obj.value)

    def set(self, obj, name, python):
        self.check(self.lib.vemo_set(obj, name.encode(), ctypes.byref(self.value(python))), name)

    def call(self, obj, name, *args):
        values = (Value * max(len(args), 1))(*[self.value(a) for a in args])
        result = Value()
        self.check(self.lib.vemo_call(obj, name.encode(), values, len(args), ctypes.byref(result)), name)
        return self.answer(result)

    def parse_json(self, text):
        result = Value()
        self.check(self.lib.vemo_parse_json(text.encode(), ctypes.byref(result)), "reading the request")
        return self.answer(result)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("request")
    parser.add_argument("out")
    parser.add_argument("--print", action="store_true", dest="print_too")
    parser.add_argument("--library", default="libvemoprint.so.1")
    options = parser.parse_args()

    vemo = Component(options.library)
    if vemo.lib.vemo_api_version() != API_VERSION:
        sys.exit(f"the library speaks version {vemo.lib.vemo_api_version()}, this host {API_VERSION}")
    vemo.check(vemo.lib.vemo_initialize(None), "vemo_initialize")

    def message_box(user, text, flags, title):
        print(f"[{title.decode()}] {text.decode()}", file=sys.stderr)
        return 7 if flags & 0x0F in (3, 4) else 1  # questions ("open it now?") answered No

    def file_dialog(user, save, title, name, chosen, size):
        path = options.out.encode() + b"\0"
        if not save or len(path) > size:
            return 0
        ctypes.memmove(chosen, path, len(path))
        return 1

    desktop = Desktop(None, MESSAGE_BOX(message_box), FILE_DIALOG(file_dialog))
    vemo.check(vemo.lib.vemo_set_desktop(ctypes.byref(desktop)), "vemo_set_desktop")

    with open(options.request, encoding="utf-8") as f:
        request = vemo.parse_json(f.read())
    action = vemo.create("VemoPrintExport.ExportAction")
    for key in ("DataSrv", "Data", "TableInfo"):
        part = vemo.call(request, "Item", key)
        vemo.set(action, key, part)
        vemo.lib.vemo_release(part)
    vemo.lib.vemo_release(request)  # the action keeps what it was given

    if not vemo.call(action, "PrintBill", False, True):
        sys.exit("the export answered False (see the message above)")
    print(f"exported the invoice to {options.out}")
    if options.print_too:
        if not vemo.call(action, "PrintBill", False):
            sys.exit("the print answered False (see the message above)")
        print("printed the invoice on the default printer")
    vemo.lib.vemo_release(action)


if __name__ == "__main__":
    main()
