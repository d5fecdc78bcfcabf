#!/usr/bin/python3
"""Measures which tests catch the small faults listed in scripts/mutations.tsv.

The tree is copied to a scratch folder (the worktree itself is never edited,
so an interrupted run leaves nothing to restore). In the copy every fault is
put in at once, each behind a switch read from the environment
(VEMO_MUTANT=<id>): an expression becomes `(vemo_mutant(id) ? new : old)`, a
statement `if (vemo_mutant(id)) { new } else { old }`. One build then serves
every fault, and the test programs run once per fault with its switch on.

  scripts/mutate.py run OUT.json [--only 3,7] [--binaries test_app,test_host]
      builds the copy and records, per fault, the failing tests in OUT.json
  scripts/mutate.py table BEFORE.json AFTER.json
      prints the fault table (tests catching each fault before -> after) and
      exits 1 when a fault caught before is no longer caught

A fault whose original text is not found exactly once in its file is
reported "not applicable" (the code moved); it is not an error. The slow
corpus suites are left out; the print tests run against a private CUPS
server (scripts/cups-sandbox.sh). The scratch copy is build-mutants/
(ignored by git), built in its build/ so that the compiler cache shares
every unchanged object with the normal build.
"""
import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLE = os.path.join(ROOT, "scripts", "mutations.tsv")
SLOW_SUITES = "-Corpus/*:Xls/*:Shards/*:Xlsx/*"
TIMEOUT = 300  # seconds per test program; a fault that hangs one counts as caught

SWITCH = (
    '#include <cstdlib>\n'
    'static inline bool vemo_mutant(int n) {\n'
    '  static const int on = [] { const char* v = std::getenv("VEMO_MUTANT"); return v ? std::atoi(v) : 0; }();\n'
    '  return on == n;\n'
    '}\n')


def read_faults():
    with open(TABLE, encoding="utf-8") as f:
        lines = f.read().splitlines()
    faults = []
    for line in lines[1:]:
        if not line.strip():
            continue
        cols = line.split("\t")
        if len(cols) < 6:
            sys.exit(f"mutate: {TABLE}: a row needs id, file, kind, original, replacement, description: {line!r}")
        fid, path, kind, original, replacement, description = cols[:6]
        if kind not in ("expr", "stmt"):
            sys.exit(f"mutate: fault {fid}: kind must be expr or stmt, not {kind!r}")
        faults.append(dict(id=int(fid), file=path, kind=kind, original=original,
                           replacement=replacement, description=description))
    return faults


def copy_tree(scratch):
    files = subprocess.run(["git", "-C", ROOT, "ls-files", "-co", "--exclude-standard", "-z"],
                           check=True, capture_output=True).stdout.decode().split("\0")
    for rel in filter(None, files):
        src, dst = os.path.join(ROOT, rel), os.path.join(scratch, rel)
        if not os.path.isfile(src):
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        if not os.path.exists(dst) or open(src, "rb").read() != open(dst, "rb").read():
            shutil.copy2(src, dst)


def put_in_faults(scratch, faults):
    """Writes the switches into the copy; returns {id: 'applied' | reason}."""
    status, texts = {}, {}
    for fault in faults:
        path = os.path.join(scratch, fault["file"])
        if path not in texts:
            texts[path] = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        text = texts[path]
        count = text.count(fault["original"]) if text is not None else 0
        if count != 1:
            status[fault["id"]] = "not applicable (original text found %d times)" % count
            continue
        n, old, new = fault["id"], fault["original"], fault["replacement"]
        if fault["kind"] == "expr":
            guarded = f"(vemo_mutant({n}) ? ({new}) : ({old}))"
        else:
            guarded = f"if (vemo_mutant({n})) {{ {new} }} else {{ {old} }}"
        texts[path] = text.replace(old, guarded)
        status[n] = "applied"
    for path, text in texts.items():
        if text is not None and "vemo_mutant(" in text:
            with open(path, "w", encoding="utf-8") as f:
                f.write(SWITCH + text)
    return status


def build(scratch):
    build_dir = os.path.join(scratch, "build")
    subprocess.run(["cmake", "-S", scratch, "-B", build_dir, "-G", "Ninja", "-DVEMO_WERROR=ON",
                    "-DVEMO_BUILD_BENCH=OFF", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
                    "-DCMAKE_C_COMPILER_LAUNCHER=ccache"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j2"], check=True)
    return build_dir


def test_programs(build_dir, wanted):
    found = []
    for folder, _, names in os.walk(os.path.join(build_dir, "tests")):
        for name in names:
            path = os.path.join(folder, name)
            if name.startswith("test_") and os.access(path, os.X_OK) and os.path.isfile(path) and "." not in name:
                if not wanted or name in wanted:
                    found.append(path)
    return sorted(found)


FAILED = re.compile(r"^\[  FAILED  \] (\S+\.\S+)", re.M)


def run_program(program, env, scratch):
    """The failing tests of one program; a crash or hang names the program."""
    proc = subprocess.Popen([program, "--gtest_filter=" + SLOW_SUITES, "--gtest_brief=1"], cwd=scratch, env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        return [os.path.basename(program) + ":hang"]
    text = out.decode(errors="replace")
    failed = sorted(set(FAILED.findall(text)))
    if proc.returncode != 0 and not failed:
        failed = [os.path.basename(program) + ":exit %d" % proc.returncode]
    return failed


def run_all(programs, env, scratch):
    """{program: failing tests} for every program with a failure."""
    failing = {os.path.basename(p): run_program(p, env, scratch) for p in programs}
    return {p: ts for p, ts in failing.items() if ts}


def sandbox_env(folder):
    out = subprocess.run([os.path.join(ROOT, "scripts", "cups-sandbox.sh"), "start", folder],
                         check=True, capture_output=True, text=True).stdout
    return dict(re.findall(r"(\w+)='([^']*)'", out))


def command_run(args):
    faults = read_faults()
    if args.only:
        keep = {int(x) for x in args.only.split(",")}
        faults = [f for f in faults if f["id"] in keep]
    scratch = os.path.join(ROOT, "build-mutants")
    if os.path.exists(os.path.join(scratch, "src")):  # a copy from an earlier run: refresh every file
        for rel in ("src", "app", "tests", "ui", "include", "hooks", "scripts"):
            shutil.rmtree(os.path.join(scratch, rel), ignore_errors=True)
    os.makedirs(scratch, exist_ok=True)
    copy_tree(scratch)
    status = put_in_faults(scratch, faults)
    build_dir = build(scratch)
    programs = test_programs(build_dir, set(args.binaries.split(",")) if args.binaries else None)
    cups = os.path.join(scratch, "cups")
    env = dict(os.environ, VEMO_SOURCE_DIR=scratch, VEMO_BINARY_DIR=build_dir)
    env.update(sandbox_env(cups))
    results = {"programs": [os.path.basename(p) for p in programs], "faults": {}}
    try:
        started = time.time()
        baseline = run_all(programs, env, scratch)
        results["failing without faults"] = baseline
        print(f"mutate: clean run took {time.time() - started:.0f} s; failing already: {baseline or 'none'}", flush=True)
        for fault in faults:
            n = fault["id"]
            entry = {"file": fault["file"], "description": fault["description"], "status": status[n]}
            if status[n] == "applied":
                fenv = dict(env, VEMO_MUTANT=str(n))
                caught = run_all(programs, fenv, scratch)
                entry["caught by"] = {p: [t for t in ts if t not in baseline.get(p, [])] for p, ts in caught.items()}
                entry["caught by"] = {p: ts for p, ts in entry["caught by"].items() if ts}
            results["faults"][str(n)] = entry
            print(f"mutate: fault {n} ({fault['description']}): "
                  f"{status[n] if status[n] != 'applied' else sum(map(len, entry['caught by'].values()))} tests", flush=True)
            with open(args.out, "w") as f:
                json.dump(results, f, indent=1)
    finally:
        subprocess.run([os.path.join(ROOT, "scripts", "cups-sandbox.sh"), "stop", cups], check=False)


def command_table(args):
    """Programs run again in AFTER replace their BEFORE results; the others are
    unchanged since BEFORE (same code, same tests), so their results stand."""
    before = json.load(open(args.before))["faults"]
    after_run = json.load(open(args.after))
    rerun = set(after_run["programs"])
    lost = []
    print("| # | file | what the fault breaks | tests catching before | after |")
    print("|---|---|---|---|---|")
    for key, b in sorted(before.items(), key=lambda kv: int(kv[0])):
        if "caught by" not in b:
            print(f"| {key} | {b['file']} | {b['description']} | {b['status']} | |")
            continue
        a = after_run["faults"].get(key, {}).get("caught by", {})
        kept = {p: ts for p, ts in b["caught by"].items() if p not in rerun}
        kept.update(a)
        n_before = sum(map(len, b["caught by"].values()))
        n_after = sum(map(len, kept.values()))
        if n_before and not n_after:
            lost.append(key)
        where = ", ".join(f"{p} {len(ts)}" for p, ts in sorted(kept.items())) or "none"
        print(f"| {key} | {b['file']} | {b['description']} | {n_before} | {n_after} ({where}) |")
    if lost:
        print("mutate: caught before but not after: " + ", ".join(lost), file=sys.stderr)
        sys.exit(1)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    run = sub.add_parser("run")
    run.add_argument("out")
    run.add_argument("--only")
    run.add_argument("--binaries")
    table = sub.add_parser("table")
    table.add_argument("before")
    table.add_argument("after")
    args = parser.parse_args()
    command_run(args) if args.command == "run" else command_table(args)


if __name__ == "__main__":
    main()
