#!/bin/sh
# run_examples.sh VEMOPRINT C_EXAMPLE LIBRARY EXAMPLES_DIR: the sample company
# set up in a private home, then the C and the Python host export the sample
# invoice; both workbooks must hold its bill number and customer.
set -eu
vemoprint=$1 c_example=$2 library=$3 examples=$4
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
VEMO_SAMPLES_DIR="$examples/templates" "$vemoprint" init >/dev/null
request="$examples/requests/sales_invoice_vat.json"
"$c_example" "$request" "$home/c.xlsx"
/usr/bin/python3 "$examples/host/export_invoice.py" "$request" "$home/py.xlsx" --library "$library"
/usr/bin/python3 - "$home/c.xlsx" "$home/py.xlsx" <<'PY'
import sys, zipfile
for path in sys.argv[1:]:
    with zipfile.ZipFile(path) as book:
        text = "".join(book.read(n).decode("utf-8") for n in book.namelist() if n.endswith(".xml"))
    missing = [v for v in ("XSFP-202612-0005", "鼎盛百货有限公司") if v not in text]
    if missing:
        sys.exit(f"{path}: the invoice was not filled: {missing} missing")
PY
