#!/usr/bin/python3
"""Proves the test suite catches faults: applies each deliberate fault of scripts/faults.txt, one at a
time, to a scratch copy of the tree, builds it and runs the suite, and reports which test caught each
fault and which fault no test caught.

faults.txt holds one fault per block, blocks separated by a blank line:
    name: a short description
    file: path/in/the/tree
    find: exact text that occurs once in the file
    into: the text it becomes
A line starting with '#' is a comment.

To stay cheap, the scratch copy lives under build-faults/ in the tree (so ccache serves the unchanged
files and later runs rebuild only what changed), and each fault first rebuilds and runs only the test
executable of the folder that tests the faulted file; only when all of those pass is everything rebuilt
and the rest of the suite run, stopping at its first failure. A fault counts as caught only when some test fails, and as missed only after the whole suite
passed with it. Usage:
    scripts/fault-check.py [--scratch DIR] [--only NAME,...] [--jobs N] [--report FILE] [--rev COMMIT]
Exit status 0 when every fault was caught, 1 otherwise, 2 when a fault cannot be applied."""
import argparse
import filecmp
import json
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Which test folder (and its executable) looks first at a faulted source folder (longest prefix wins).
NEAREST_TESTS = {
    "core/": ("tests/core", "core_tests"), "host/src/io/": ("tests/io", "io_tests"),
    "host/": ("tests/host", "host_tests"), "support/": ("tests/support", "support_tests"),
    "nodes/": ("tests/nodes", "node_tests"), "visualizer/": ("tests/visualizer", "visualizer_tests"),
    "plugin/": ("tests/visualizer", "visualizer_tests"), "measure/": ("tests/measure", "measure_tests"),
    "app/": ("tests/app", "app_tests"),
}


def read_faults(path):
    faults, block = [], {}
    for raw in open(path, encoding="utf-8").read().split("\n") + [""]:
        if raw.startswith("#"):
            continue
        if not raw.strip():
            if block:
                faults.append(block)
            block = {}
            continue
        key, _, value = raw.partition(":")
        value = value[1:] if value.startswith(" ") else value
        block[key.strip()] = value.replace("\\n", "\n")
    for f in faults:
        missing = {"name", "file", "find", "into"} - f.keys()
        if missing:
            sys.exit(f"faults.txt: fault '{f.get('name', '?')}' lacks {', '.join(sorted(missing))}")
    return faults


def run(cmd, cwd, log):
    with open(log, "a") as out:
        return subprocess.call(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT)


def sync_tree(scratch, rev):
    """Copies the tracked files (of the working tree, or of commit `rev`) that differ into the scratch
    copy, leaving unchanged ones untouched."""
    source = ROOT
    if rev:
        source = scratch.rstrip("/") + "-rev"
        shutil.rmtree(source, ignore_errors=True)
        os.makedirs(source)
        archive = subprocess.Popen(["git", "archive", rev], cwd=ROOT, stdout=subprocess.PIPE)
        subprocess.check_call(["tar", "-x", "-C", source], stdin=archive.stdout)
        archive.wait()
    files = subprocess.check_output(["git", "ls-files", "-z"] + (["--with-tree", rev] if rev else []),
                                    cwd=ROOT).decode().split("\0")
    tracked = set(filter(None, files))
    # Files the tree no longer has go, so globbing build files do not see them.
    for folder, dirs, names in os.walk(scratch):
        if folder == scratch:
            dirs[:] = [d for d in dirs if d != "build"]
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), scratch)
            if rel not in tracked and rel != "log.txt":
                os.remove(os.path.join(folder, name))
    for rel in tracked:
        src, dst = os.path.join(source, rel), os.path.join(scratch, rel)
        if not os.path.exists(src):
            continue
        if os.path.exists(dst) and filecmp.cmp(src, dst, shallow=False):
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        # A fresh modification time: a file taken from an older commit must still look changed to ninja.
        shutil.copy(src, dst)


def tests_by_folder(build):
    """Maps each test name to the tests/ folder its executable or script comes from."""
    listing = json.loads(subprocess.check_output(["ctest", "--test-dir", build, "--show-only=json-v1"]))
    folders = {}
    for t in listing["tests"]:
        words = " ".join(t.get("command", []))
        m = re.search(r"/tests/(\w+)/", words)
        folders[t["name"]] = "tests/" + m.group(1) if m else ""
    return folders


def ctest(build, jobs, log, numbers, stop):
    """Runs the tests of the given ctest numbers; returns the names of those that did not pass, or
    None when ctest failed without naming a test (a run that proves nothing either way)."""
    cmd = ["ctest", "--test-dir", build, "--parallel", jobs, "--timeout", "120",
           "-I", "0,0,0," + ",".join(str(n) for n in numbers)]
    if stop:
        cmd.append("--stop-on-failure")
    out = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).stdout
    with open(log, "a") as f:
        f.write(out)
    # Progress lines name each test that did not pass ("***Failed", "***Timeout", "***Exception");
    # parameterised names carry "  # GetParam() = ..." before the dots.
    failed = re.findall(r"Test\s+#\d+: (\S+)(?:\s+# GetParam\(\) = \S+)?\s+\.+\s*\*\*\*", out)
    if not failed and not re.search(r"100% tests passed", out):
        return None
    return failed


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--scratch", default=os.path.join(ROOT, "build-faults", "tree"),
                    help="scratch copy of the tree (kept between runs)")
    ap.add_argument("--only", default="", help="comma-separated fault names to run")
    ap.add_argument("--jobs", default=str(os.cpu_count() or 2))
    ap.add_argument("--report", default="", help="also write the report to this file")
    ap.add_argument("--rev", default="", help="check this commit's tree rather than the working tree")
    args = ap.parse_args()

    faults = read_faults(os.path.join(ROOT, "scripts", "faults.txt"))
    base = ROOT if not args.rev else None
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in faults if f["name"] in wanted]
    for f in faults:
        text = open(os.path.join(ROOT, f["file"]), encoding="utf-8").read() if base else \
            subprocess.check_output(["git", "show", f"{args.rev}:{f['file']}"], cwd=ROOT).decode()
        if text.count(f["find"]) != 1:
            print(f"fault '{f['name']}': the text to replace occurs {text.count(f['find'])} times in {f['file']}")
            return 2

    scratch = args.scratch
    build, log = os.path.join(scratch, "build"), os.path.join(scratch, "log.txt")
    os.makedirs(scratch, exist_ok=True)
    sync_tree(scratch, args.rev)
    # The glTF validator the app tests run lives in tools/node_modules, which git does not track.
    modules = os.path.join(ROOT, "tools", "node_modules")
    if os.path.isdir(modules) and not os.path.exists(os.path.join(scratch, "tools", "node_modules")):
        os.symlink(modules, os.path.join(scratch, "tools", "node_modules"))
    open(log, "w").close()
    if run(["cmake", "-S", ".", "-B", build, "-G", "Ninja", "-DGRADIX_BENCH=OFF"], scratch, log) or \
       run(["cmake", "--build", build, "--parallel", args.jobs], scratch, log):
        print(f"the unchanged tree does not build; see {log}")
        return 2
    folders = tests_by_folder(build)
    number = {name: i + 1 for i, name in enumerate(folders)}
    # The unchanged tree's suite first: a test that fails without any fault cannot catch one.
    broken = ctest(build, args.jobs, log, list(number.values()), False)
    if broken is None or broken:
        print(f"the unchanged tree does not pass its suite ({', '.join(broken or ['ctest failed'])}); see {log}")
        return 2

    lines, missed = [], []
    for f in faults:
        path = os.path.join(scratch, f["file"])
        original = open(path, encoding="utf-8").read()
        open(path, "w", encoding="utf-8").write(original.replace(f["find"], f["into"]))
        start = time.time()
        try:
            # First only the nearest test executable (and what it depends on) is rebuilt and run.
            prefix = max((p for p in NEAREST_TESTS if f["file"].startswith(p)), key=len, default="")
            folder, target = NEAREST_TESTS[prefix] if prefix else ("", "")
            near = [n for n, d in folders.items() if folder and d == folder]
            by, verdict = [], ""
            if near:
                if run(["cmake", "--build", build, "--parallel", args.jobs, "--target", target], scratch, log):
                    verdict = "INVALID: does not build"
                else:
                    by = ctest(build, args.jobs, log, [number[n] for n in near], False)
            if not by and not verdict:
                if run(["cmake", "--build", build, "--parallel", args.jobs], scratch, log):
                    verdict = "INVALID: does not build"
                else:
                    by = ctest(build, args.jobs, log, [i for n, i in number.items() if n not in near], True)
            if by is None:
                verdict, by = "INVALID: ctest failed without naming a test", []
            verdict = verdict or ("caught" if by else "MISSED")
        finally:
            open(path, "w", encoding="utf-8").write(original)
            os.utime(path)
        if verdict != "caught":
            missed.append(f["name"])
        shown = ", ".join(by[:3]) + (f" (+{len(by) - 3} more)" if len(by) > 3 else "")
        line = f"{f['name']:<30} {verdict:<8} {time.time() - start:6.1f} s  {f['file']:<36} {shown}"
        print(line, flush=True)
        lines.append(line)
    summary = f"{len(faults) - len(missed)} of {len(faults)} faults caught" + \
        (f"; missed: {', '.join(missed)}" if missed else "")
    print(summary)
    if args.report:
        with open(args.report, "w") as out:
            out.write("\n".join(lines + [summary]) + "\n")
    # Leave the scratch build matching the unfaulted tree for the next run.
    run(["cmake", "--build", build, "--parallel", args.jobs], scratch, log)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
