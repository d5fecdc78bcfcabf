#!/usr/bin/python3
"""Load test of one company database on a server, many desks at once.

    bench/server_load.py [SECONDS]        (default 60)

Starts a private PostgreSQL server (scripts/pg-sandbox.sh), creates the
sample account on it with `vemoprint init --server`, then for SECONDS runs
  - 8 exporters: `vemoprint bill export` of the sample VAT invoice, again
    and again; every run must succeed;
  - 2 registerers: add a copy of the VAT template (it becomes the selected
    one), select an older one again, add one for 收据 and remove an older
    收据 one; the second registerer's processes are killed with SIGKILL at
    random moments (its killed runs are not errors, nor are the setup
    grids refused because the other desk removed one of their rows
    meanwhile: the dialog refuses those whole, "reload the list").
Afterwards every stored template must equal the file it was made from
(byte for byte, by SHA-256) and no owner may have two selected templates of
one sub-type. Prints the counts; exits 1 when an export failed or a check
found something.

Environment: BUILD_DIR (default build), BENCH_WORK (default
/tmp/vemo-server-load-$USER).
"""
import hashlib
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(os.environ.get("BUILD_DIR", os.path.join(ROOT, "build")))
WORK = os.environ.get("BENCH_WORK", "/tmp/vemo-server-load-" + os.environ.get("USER", str(os.getuid())))
VEMOPRINT = os.path.join(BUILD, "vemoprint")
REQUEST = os.path.join(ROOT, "examples/requests/sales_invoice_vat.json")
TEMPLATE = os.path.join(ROOT, "examples/templates/sales_invoice_vat.xlsx")
BILL_TYPE = "1020002"
EXPORTERS, REGISTERERS = 8, 2

lock = threading.Lock()
counts = {"exports": 0, "export errors": 0, "registrations": 0, "selections": 0, "removals": 0,
          "stale grids": 0, "register errors": 0, "killed": 0}
errors = []


def count(key, message=None):
    with lock:
        counts[key] += 1
        if message and len(errors) < 10:
            errors.append(message)


def vemoprint(server, *args):
    return [VEMOPRINT, "--server", server] + list(args)


def exporter(server, index, deadline):
    out = os.path.join(WORK, "out", "invoice%d.xlsx" % index)
    while time.time() < deadline:
        run = subprocess.run(vemoprint(server, "bill", "export", REQUEST, "--out", out, "--no"),
                             capture_output=True, text=True)
        if run.returncode == 0:
            count("exports")
        else:
            count("export errors", "export: " + run.stderr.strip()[-400:])


def registerer(server, index, deadline, killer):
    rng = random.Random(index)
    mine = {"增值税发票": [], "收据": []}
    n = 0
    while time.time() < deadline:
        n += 1
        sub = "增值税发票" if n % 2 else "收据"
        name = "load%d_%d.xlsx" % (index, n)
        path = os.path.join(WORK, "files", name)
        shutil.copyfile(TEMPLATE, path)
        steps = [("registrations", ["templates", "add", path, "--bill-type", BILL_TYPE, "--sub-type", sub])]
        if sub == "增值税发票" and mine[sub]:
            steps.append(("selections", ["templates", "select", "--bill-type", BILL_TYPE, "--id", rng.choice(mine[sub])]))
        if sub == "收据" and len(mine[sub]) > 1:
            steps.append(("removals", ["templates", "remove", "--bill-type", BILL_TYPE, "--id", mine[sub].pop(0)]))
        for key, args in steps:
            process = subprocess.Popen(vemoprint(server, *args), stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            if killer and rng.random() < 0.5:
                time.sleep(rng.uniform(0.0, 0.15))
                process.send_signal(signal.SIGKILL)
            out, err = process.communicate()
            if process.returncode == -signal.SIGKILL:
                count("killed")
                continue
            if process.returncode != 0 and "deleted meanwhile" in err:
                # The setup grid was loaded before the other desk removed a
                # row of it: refused whole, as the dialog refuses it.
                count("stale grids")
                continue
            if process.returncode != 0:
                count("register errors", " ".join(args[:2]) + ": " + err.strip()[-400:])
                continue
            count(key)
            added = re.search(r"as template (\d+)", out)
            if added:
                mine[sub].append(added.group(1))


def psql(socket, sql):
    return subprocess.run(["psql", "-h", socket, "-d", "VemoSample", "-At", "-F", "\t", "-c", sql],
                          check=True, capture_output=True, text=True).stdout.splitlines()


def main():
    seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    if not os.access(VEMOPRINT, os.X_OK):
        sys.exit("build vemoprint first: cmake --build %s --target vemoprint" % BUILD)
    shutil.rmtree(WORK, ignore_errors=True)
    for folder in ("out", "files", "data"):
        os.makedirs(os.path.join(WORK, folder))
    os.environ["VEMO_DATA_DIR"] = os.path.join(WORK, "data")
    sandbox = os.path.join(WORK, "pg")
    started = subprocess.run([os.path.join(ROOT, "scripts/pg-sandbox.sh"), "start", sandbox],
                             capture_output=True, text=True)
    if started.returncode != 0:
        sys.exit("the PostgreSQL sandbox did not start: " + started.stderr.strip())
    os.environ["PGUSER"] = "vemo_test"
    try:
        subprocess.run([VEMOPRINT, "init", "--server", sandbox], check=True, capture_output=True)
        deadline = time.time() + seconds
        threads = [threading.Thread(target=exporter, args=(sandbox, i, deadline)) for i in range(EXPORTERS)]
        threads += [threading.Thread(target=registerer, args=(sandbox, i, deadline, i == 1)) for i in range(REGISTERERS)]
        begun = time.time()
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        elapsed = time.time() - begun

        expected = hashlib.sha256(open(TEMPLATE, "rb").read()).hexdigest()
        rows = psql(sandbox, "select fname, encode(sha256(ffiledata), 'hex') from t_printexport "
                             "where fbilltype = %s and fname like 'load%%'" % BILL_TYPE)
        torn = [name for name, digest in (r.split("\t") for r in rows) if digest != expected]
        doubles = psql(sandbox, "select 'bill ' || fbilltype || ' ' || fbilltypesub from t_printexport where fsel = 1 "
                                "group by fbilltype, fbilltypesub having count(*) > 1 union all "
                                "select 'report ' || frptid || ' ' || fbilltypesub from t_rptexcelprintexport where fsel = 1 "
                                "group by frptid, fbilltypesub having count(*) > 1 union all "
                                "select 'courier ' || fbilltype || ' ' || fbilltypesub from t_printexportlm where fsel = 1 "
                                "group by fbilltype, fdatafrom, fbilltypesub having count(*) > 1")
    finally:
        subprocess.run([os.path.join(ROOT, "scripts/pg-sandbox.sh"), "stop", sandbox])

    print("load average: %s" % open("/proc/loadavg").read().split()[:3])
    print("ran %.1f s with %d exporters and %d registerers" % (elapsed, EXPORTERS, REGISTERERS))
    for key, value in counts.items():
        print("%-16s %d" % (key, value))
    print("exports per second %.1f" % (counts["exports"] / elapsed))
    print("templates stored %d, torn %d, sub-types with two selected %d" % (len(rows), len(torn), len(doubles)))
    for message in errors:
        print("  " + message)
    for name in torn:
        print("  torn: " + name)
    for owner in doubles:
        print("  two selected: " + owner)
    bad = counts["export errors"] or counts["register errors"] or torn or doubles
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
