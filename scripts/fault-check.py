#!/usr/bin/python3
"""Proves the test suite catches faults: applies each deliberate fault of scripts/faults.txt, one at a
time, to a scratch copy of the tree, builds it and runs the suite, and reports which fault no test
caught.

faults.txt holds one fault per block, blocks separated by a blank line:
    name: a short description
    file: path/in/the/tree
    find: exact text that occurs once in the file
    into: the text it becomes
A line starting with '#' is a comment. Usage:
    scripts/fault-check.py [--scratch DIR] [--only NAME,...] [--jobs N]
Exit status 0 when every fault was caught, 1 otherwise, 2 when a fault cannot be applied."""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


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


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--scratch", default="/tmp/gradix-faults", help="scratch copy of the tree")
    ap.add_argument("--only", default="", help="comma-separated fault names to run")
    ap.add_argument("--jobs", default=str(os.cpu_count() or 2))
    args = ap.parse_args()

    faults = read_faults(os.path.join(ROOT, "scripts", "faults.txt"))
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in faults if f["name"] in wanted]
    for f in faults:
        text = open(os.path.join(ROOT, f["file"]), encoding="utf-8").read()
        if text.count(f["find"]) != 1:
            print(f"fault '{f['name']}': the text to replace occurs {text.count(f['find'])} times in {f['file']}")
            return 2

    # A scratch copy of the tracked files, so the developer's tree and build are never touched.
    scratch, build, log = args.scratch, os.path.join(args.scratch, "build"), os.path.join(args.scratch, "log.txt")
    os.makedirs(scratch, exist_ok=True)
    files = subprocess.check_output(["git", "ls-files", "-z"], cwd=ROOT).decode().split("\0")
    for rel in filter(None, files):
        dst = os.path.join(scratch, rel)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copy2(os.path.join(ROOT, rel), dst)
    open(log, "w").close()
    if run(["cmake", "-S", ".", "-B", build, "-G", "Ninja", "-DGRADIX_BENCH=OFF"], scratch, log) or \
       run(["cmake", "--build", build, "--parallel", args.jobs], scratch, log):
        print(f"the unchanged tree does not build; see {log}")
        return 2

    missed = []
    for f in faults:
        path = os.path.join(scratch, f["file"])
        original = open(path, encoding="utf-8").read()
        open(path, "w", encoding="utf-8").write(original.replace(f["find"], f["into"]))
        start = time.time()
        try:
            if run(["cmake", "--build", build, "--parallel", args.jobs], scratch, log):
                verdict = "INVALID: does not build"
                missed.append(f["name"])
            elif run(["ctest", "--test-dir", build, "--parallel", args.jobs, "--timeout", "120"], scratch, log):
                verdict = "caught"
            else:
                verdict = "MISSED"
                missed.append(f["name"])
        finally:
            open(path, "w", encoding="utf-8").write(original)
            os.utime(path)
        print(f"{f['name']:<28} {verdict:<24} {time.time() - start:6.1f} s  {f['file']}", flush=True)
    print(f"{len(faults) - len(missed)} of {len(faults)} faults caught" + (f"; missed: {', '.join(missed)}" if missed else ""))
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
