#!/usr/bin/python3
"""gradix batch on this machine: --jobs 2 against --jobs 1, and a local Dask cluster of two workers
against one, on 40 generated assets of 50,000 to 200,000 triangles (lods 50,25,10, every asset redone
with --force); then the time of a run with nothing to do over 1,000 small assets.

Usage: bench/batch_bench.py [BUILD_DIR] [WORK_DIR]   (default build, a temporary folder)

The runs are paired and interleaved (A B B A), so a machine shared with other work loads both sides
alike; the figures to quote are the ratios of the medians."""
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="gradix-batch-bench-")
tool = os.path.join(build, "app/gradix")
make_sample = os.path.join(build, "app/gradix-make-sample")


def make_assets(folder, count, triangles):
    """`count` sheets of roughly triangles(i) triangles in four subfolders."""
    if os.path.isdir(folder):
        return
    for i in range(count):
        quads = max(1, int((triangles(i) / 2) ** 0.5))
        path = os.path.join(folder, "set%d" % (i % 4), "asset%04d.glb" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run([make_sample, path, str(quads), str(quads)], check=True, stdout=subprocess.DEVNULL)


def timed_batch(*args):
    start = time.monotonic()
    done = subprocess.run([tool, "-q", "batch", *args], stdout=subprocess.DEVNULL)
    if done.returncode != 0:
        sys.exit("gradix batch %s failed" % (args,))
    return time.monotonic() - start


def paired(name_a, run_a, name_b, run_b):
    times = {name_a: [], name_b: []}
    for name, run in ((name_a, run_a), (name_b, run_b), (name_b, run_b), (name_a, run_a)):
        times[name].append(run())
        print("  %-22s %7.2f s" % (name, times[name][-1]), flush=True)
    a, b = statistics.median(times[name_a]), statistics.median(times[name_b])
    print("%s: median %.2f s, %s: median %.2f s, ratio %.3f" % (name_a, a, name_b, b, b / a), flush=True)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    big = os.path.join(work, "big")
    make_assets(big, 40, lambda i: 50000 + i * 150000 // 39)
    out = os.path.join(work, "out")
    print("40 assets, 50k-200k triangles, lods 50,25,10 (%s)" % big, flush=True)
    paired("--jobs 1", lambda: timed_batch(big, "-o", out, "--force", "--jobs", "1"),
           "--jobs 2", lambda: timed_batch(big, "-o", out, "--force", "--jobs", "2"))

    port = free_port()
    address = "tcp://127.0.0.1:%d" % port
    log = open(os.path.join(work, "dask.log"), "w")
    scheduler = subprocess.Popen(["/usr/bin/dask-scheduler", "--host", "127.0.0.1", "--port", str(port),
                                  "--no-dashboard"], stdout=log, stderr=log)
    workers = []

    def set_workers(count):
        from distributed import Client
        while len(workers) < count:
            workers.append(subprocess.Popen(["/usr/bin/dask-worker", address, "--nthreads", "1", "--no-nanny",
                                             "--no-dashboard", "--host", "127.0.0.1"], stdout=log, stderr=log))
        while len(workers) > count:
            workers.pop().terminate()
        with Client(address, timeout="30s") as client:
            client.wait_for_workers(count, timeout=60)
            while len(client.scheduler_info()["workers"]) != count:
                time.sleep(0.2)

    def on_dask(count):
        set_workers(count)
        return timed_batch(big, "-o", out, "--force", "--scheduler", address)

    try:
        paired("Dask, 1 worker", lambda: on_dask(1), "Dask, 2 workers", lambda: on_dask(2))
    finally:
        for p in workers + [scheduler]:
            p.terminate()
            p.wait()

    small = os.path.join(work, "small")
    make_assets(small, 1000, lambda i: 32)
    small_out = os.path.join(work, "small_out")
    shutil.rmtree(small_out, ignore_errors=True)
    first = timed_batch(small, "-o", small_out, "--levels", "50")
    stamps = {os.path.join(r, n): os.stat(os.path.join(r, n)).st_mtime_ns
              for r, _, names in os.walk(small_out) for n in names}
    again = [timed_batch(small, "-o", small_out, "--levels", "50") for _ in range(5)]
    after = {os.path.join(r, n): os.stat(os.path.join(r, n)).st_mtime_ns
             for r, _, names in os.walk(small_out) for n in names}
    print("1,000 small assets: first run %.1f s; with nothing changed: median %.3f s (of 5), files touched: %d"
          % (first, statistics.median(again), sum(after[p] != stamps.get(p) for p in after)))


if __name__ == "__main__":
    main()
