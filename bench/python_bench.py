"""gradix.simplify on a ~1,000,000-triangle sheet with UVs: the whole call against the engine's own
part of it (building its model and simplifying, result.engine_seconds), paired in one process; then
two such calls one after the other against the same two calls in two Python threads.

    PYTHONPATH=build/python nice /usr/bin/python3 bench/python_bench.py [runs] [grid]
"""
import statistics
import sys
import threading
import time

import numpy as np

import gradix

runs = int(sys.argv[1]) if len(sys.argv) > 1 else 3
n = int(sys.argv[2]) if len(sys.argv) > 2 else 707  # 2 n^2 triangles
x, y = np.meshgrid(np.linspace(0, 1, n + 1), np.linspace(0, 1, n + 1))
z = 0.1 * np.sin(7 * x) * np.cos(5 * y) + 0.02 * np.sin(31 * x * y)
vertices = np.column_stack([x.ravel(), y.ravel(), z.ravel()])
i = np.arange(n * (n + 1)).reshape(n, n + 1)[:, :n].ravel()
faces = np.concatenate([np.column_stack([i, i + 1, i + n + 2]), np.column_stack([i, i + n + 2, i + n + 1])])
faces = faces.astype(np.int32)
uvs = np.column_stack([x.ravel(), y.ravel()]) * 8 % 1.0  # per vertex, tiled

ratios, calls, engines = [], [], []
for _ in range(runs):
    start = time.perf_counter()
    r = gradix.simplify(vertices, faces, ratio=0.1, uvs=uvs)
    call = time.perf_counter() - start
    calls.append(call)
    engines.append(r.engine_seconds)
    ratios.append(call / r.engine_seconds)
print(f"{len(faces):,} triangles -> {r.triangle_count:,}; whole call median {statistics.median(calls):.2f} s, "
      f"engine {statistics.median(engines):.2f} s, ratio median {statistics.median(ratios):.4f} "
      f"(runs: {', '.join(f'{q:.4f}' for q in ratios)})")


def two_calls(threaded):
    def call():
        gradix.simplify(vertices, faces, ratio=0.1, uvs=uvs)

    start = time.perf_counter()
    if threaded:
        threads = [threading.Thread(target=call) for _ in range(2)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
    else:
        call()
        call()
    return time.perf_counter() - start


pairs = []
for _ in range(runs):
    sequential, threaded = two_calls(False), two_calls(True)
    pairs.append(threaded / sequential)
print(f"two calls in two threads / one after the other: median {statistics.median(pairs):.3f} "
      f"(runs: {', '.join(f'{q:.3f}' for q in pairs)})")
