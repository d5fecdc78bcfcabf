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
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLE = os.path.join(ROOT, "scripts", "mutations.tsv")
# Left out: the corpus suites, and the disk-full test (it runs vemoprint a
# hundred and fifty times) -- each would cost minutes per fault.
SLOW_SUITES = "-Corpus/*:Xls/*:Shards/*:Xlsx/*:WriteFaults.*"
# The order of the quick programs first, as measured without faults.
QUICK_FIRST = ["test_capi", "test_automation", "test_foundation", "test_context", "test_actions", "test_ui",
               "test_setup", "test_workbook", "test_render", "test_app", "test_engine", "test_host"]
TIMEOUT = 300  # seconds per test program; a fault that hangs one counts as caught

SWITCH = (
    '#include <cstdlib>\n'
    'static inline bool vemo_mutant(int n) {\n'
    '  static const int on = [] { const char* v = std::getenv("VEMO_MUTANT"); return v ? std::atoi(v) : 0; }();\n'
    '  return on == n;\n'
    '}\n')


# Marks each changed file's object, so that a fault is only tried on the
# programs that hold (or run a program that holds) the code it changes.
MARKER = '[[gnu::used]] static const char vemo_mutant_marker[] = "%s";\n'


def Marker(rel):
    return "vemo-mutant-in:" + rel


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


def source_files(rev):
    """{relative path: bytes} of the tree to measure: a commit's, or the working tree."""
    if rev:
        listing = subprocess.run(["git", "-C", ROOT, "ls-tree", "-r", "-z", rev], check=True,
                                 capture_output=True).stdout.decode().split("\0")
        files = {}
        for entry in filter(None, listing):
            meta, rel = entry.split("\t", 1)
            if meta.split()[1] == "blob":
                files[rel] = subprocess.run(["git", "-C", ROOT, "cat-file", "blob", meta.split()[2]],
                                            check=True, capture_output=True).stdout
        return files
    listing = subprocess.run(["git", "-C", ROOT, "ls-files", "-co", "--exclude-standard", "-z"],
                             check=True, capture_output=True).stdout.decode().split("\0")
    return {rel: open(os.path.join(ROOT, rel), "rb").read() for rel in filter(None, listing)
            if os.path.isfile(os.path.join(ROOT, rel))}


def put_in_faults(files, faults):
    """Puts the switches into `files`; returns {id: 'applied' | reason}."""
    status, changed = {}, set()
    for fault in faults:
        n, rel, old, new = fault["id"], fault["file"], fault["original"], fault["replacement"]
        text = files[rel].decode() if rel in files else None
        count = text.count(old) if text is not None else 0
        if count != 1:
            status[n] = "not applicable (original text found %d times)" % count
            continue
        if fault["kind"] == "expr":
            guarded = f"(vemo_mutant({n}) ? ({new}) : ({old}))"
        else:
            guarded = f"{{ if (vemo_mutant({n})) {{ {new} }} else {{ {old} }} }}"
        files[rel] = text.replace(old, guarded).encode()
        changed.add(rel)
        status[n] = "applied"
    for rel in changed:
        files[rel] = (SWITCH + MARKER % Marker(rel)).encode() + files[rel]
    return status


def write_tree(scratch, files):
    """Makes the copy hold exactly `files`, touching only what differs, so the
    next build recompiles only that."""
    for folder, _, names in os.walk(scratch):
        if os.path.relpath(folder, scratch).split(os.sep)[0].startswith(("build", "cups")):
            continue
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), scratch)
            if rel not in files:
                os.remove(os.path.join(scratch, rel))
    for rel, data in files.items():
        path = os.path.join(scratch, rel)
        if os.path.isfile(path) and open(path, "rb").read() == data:
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def build(scratch, targets):
    build_dir = os.path.join(scratch, "build")
    subprocess.run(["cmake", "-S", scratch, "-B", build_dir, "-G", "Ninja", "-DVEMO_WERROR=ON",
                    "-DVEMO_BUILD_BENCH=OFF", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
                    "-DCMAKE_C_COMPILER_LAUNCHER=ccache"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j2"] + (["--target"] + targets if targets else []) + ["--", "-k", "0"],
                   check=True)
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


def run_program(program, env, scratch, first_only=False, known=()):
    """The failing tests of one program (with `first_only`, the first one),
    leaving out `known` (failing without any fault); a crash or hang names
    the program."""
    leave_out = ":".join([SLOW_SUITES] + list(known))
    flags = ["--gtest_filter=" + leave_out, "--gtest_brief=1"] + (["--gtest_fail_fast=1"] if first_only else [])
    proc = subprocess.Popen([program] + flags, cwd=scratch, env=env,
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


def affected_programs(programs, build_dir, scratch):
    """{file: programs that can reach its code}: those holding its marker, those
    naming a shared library that holds it, and, when vemoprint holds it, the
    suites that run vemoprint."""
    def contents(path):
        with open(path, "rb") as f:
            return f.read()
    binaries = {p: contents(p) for p in programs}
    libraries = {n: contents(os.path.join(build_dir, n)) for n in os.listdir(build_dir)
                 if n.endswith(".so") and os.path.isfile(os.path.join(build_dir, n))}
    program = contents(os.path.join(build_dir, "vemoprint"))
    runners = set()
    for p in programs:
        folder = os.path.join(scratch, "tests", os.path.basename(p)[len("test_"):])
        sources = subprocess.run(["grep", "-rlE", "VemoprintPath|RunVemoprintIn", folder], capture_output=True).stdout
        if sources.strip():
            runners.add(p)
    reach = {}
    for rel in sorted({os.path.relpath(os.path.join(d, f), scratch) for d, _, fs in os.walk(os.path.join(scratch, "src"))
                       for f in fs} | {os.path.join("app", f) for f in os.listdir(os.path.join(scratch, "app"))}):
        marker = Marker(rel).encode()
        holders = [n.encode() for n, data in libraries.items() if marker in data]
        found = {p for p, data in binaries.items() if marker in data or any(h in data for h in holders)}
        if marker in program or any(h in program for h in holders):
            found |= runners
        reach[rel] = found
    return reach


def run_all(programs, env, scratch, first_only=False, baseline=None, first_catch=False):
    """{program: failing tests} for every program with a failure; with
    `first_catch`, only the first program that fails."""
    failing = {}
    for p in programs:
        started = time.time()
        failing[os.path.basename(p)] = run_program(p, env, scratch, first_only, (baseline or {}).get(os.path.basename(p), []))
        if first_catch and failing[os.path.basename(p)]:
            break
        if "VEMO_MUTANT" not in env:
            print(f"mutate: {os.path.basename(p)} took {time.time() - started:.0f} s", flush=True)
    return {p: ts for p, ts in failing.items() if ts}


def shared_dir():
    """The shared material (corpus, checkers): $VEMO_SHARED_DIR, else the first
    `shared` folder beside the worktree or above it."""
    if os.environ.get("VEMO_SHARED_DIR"):
        return os.environ["VEMO_SHARED_DIR"]
    for up in (os.path.dirname(ROOT), os.path.dirname(os.path.dirname(ROOT))):
        if os.path.isdir(os.path.join(up, "shared")):
            return os.path.join(up, "shared")
    sys.exit("mutate: no shared material beside the worktree; set VEMO_SHARED_DIR")


def sandbox_env(folder):
    out = subprocess.run([os.path.join(ROOT, "scripts", "cups-sandbox.sh"), "start", folder],
                         check=True, capture_output=True, text=True).stdout
    return dict(re.findall(r"(\w+)='([^']*)'", out))


def command_run(args):
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("mutate: stopped"))  # so the print server is stopped too
    faults = read_faults()
    if args.only:  # "3,7" or "1-24"
        keep = set()
        for part in args.only.split(","):
            first, _, last = part.partition("-")
            keep |= set(range(int(first), int(last or first) + 1))
    scratch = os.path.join(ROOT, args.scratch)
    os.makedirs(scratch, exist_ok=True)
    files = source_files(args.rev)
    # Every fault goes in whatever is run, so runs over parts of the table
    # share one build.
    status = put_in_faults(files, faults)
    if args.only:
        faults = [f for f in faults if f["id"] in keep]
    write_tree(scratch, files)
    wanted = args.binaries.split(",") if args.binaries else []
    # The named test programs, and what they run or load: vemoprint and its renderer.
    build_dir = build(scratch, wanted + ["vemoprint", "vemo-render"] if wanted else [])
    programs = test_programs(build_dir, set(args.binaries.split(",")) if args.binaries else None)
    cups = os.path.join(scratch, "cups-%d" % os.getpid())  # runs may share a copy, each with its own server
    env = dict(os.environ, VEMO_SOURCE_DIR=scratch, VEMO_BINARY_DIR=build_dir, VEMO_SHARED_DIR=shared_dir())
    env.update(sandbox_env(cups))
    results = {"programs": [os.path.basename(p) for p in programs], "faults": {}}
    try:
        started = time.time()
        if args.known_failing is not None:  # measured before: no clean run
            baseline = {}
            for item in filter(None, args.known_failing.split(",")):
                program, _, test = item.partition(":")
                baseline.setdefault(program, []).append(test)
        else:
            baseline = run_all(programs, env, scratch)
        results["failing without faults"] = baseline
        print(f"mutate: clean run took {time.time() - started:.0f} s; failing already: {baseline or 'none'}", flush=True)
        if args.first_catch:  # the quick programs first
            rank = {name: i for i, name in enumerate(QUICK_FIRST)}
            programs.sort(key=lambda p: rank.get(os.path.basename(p), len(rank)))
        reach = affected_programs(programs, build_dir, scratch)
        for fault in faults:
            n = fault["id"]
            entry = {"file": fault["file"], "description": fault["description"], "status": status[n]}
            if status[n] == "applied":
                fenv = dict(env, VEMO_MUTANT=str(n))
                tried = [p for p in programs if p in reach.get(fault["file"], programs)]
                entry["programs tried"] = [os.path.basename(p) for p in tried]
                caught = run_all(tried, fenv, scratch, args.first_only or args.first_catch, baseline, args.first_catch)
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
    def merged(names):  # runs over parts of the table, given as A.json,B.json
        runs = [json.load(open(n)) for n in names.split(",")]
        return {"programs": sorted({p for r in runs for p in r["programs"]}),
                "faults": {k: v for r in runs for k, v in r["faults"].items()}}
    before = merged(args.before)["faults"]
    after_run = merged(args.after)
    rerun = set(after_run["programs"])
    lost = []
    print("| # | file | what the fault breaks | tests catching before | after |")
    print("|---|---|---|---|---|")
    for key, b in sorted(before.items(), key=lambda kv: int(kv[0])):
        if "caught by" not in b:
            print(f"| {key} | {b['file']} | {b['description']} | {b['status']} | |")
            continue
        kept = {p: ts for p, ts in b["caught by"].items() if p not in rerun}
        measured = key in after_run["faults"]
        kept.update(after_run["faults"].get(key, {}).get("caught by", {}))
        n_before = sum(map(len, b["caught by"].values()))
        n_after = sum(map(len, kept.values()))
        if n_before and not n_after and measured:
            lost.append(key)
        shown = lambda caught: "; ".join(f"{p}: {', '.join(ts)}" for p, ts in sorted(caught.items())) or "none"
        after = shown(kept) if measured or not n_before or kept else "not measured again"
        print(f"| {key} | {b['file']} | {b['description']} | {shown(b['caught by'])} | {after} |")
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
    run.add_argument("--rev", help="measure this commit's tree instead of the working tree")
    run.add_argument("--scratch", default="build-mutants", help="the scratch copy's folder in the worktree")
    run.add_argument("--first-catch", action="store_true",
                     help="stop at the first program that catches a fault (quick programs first)")
    run.add_argument("--known-failing", help="PROGRAM:TEST,... failing without faults; skips the clean run")
    run.add_argument("--first-only", action="store_true",
                     help="stop each program at its first failing test: which programs catch a fault, much sooner")
    table = sub.add_parser("table")
    table.add_argument("before")
    table.add_argument("after")
    args = parser.parse_args()
    command_run(args) if args.command == "run" else command_table(args)


if __name__ == "__main__":
    main()
