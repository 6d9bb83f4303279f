#!/usr/bin/python3
"""Soak run of the Python engine: MOVES random resolution moves (up and down, 0-100 %) on one
engine over a ~1,000,000-triangle sheet (exact=False by default: undoing as the node does, the mode
that could drift; "exact" as the sixth argument soaks the default engine, which starts again from
the input for every move up), and at every CHECK-th move a fresh engine built on the same
input and moved straight down to the same resolution. At each check it prints both triangle counts,
the surface distance between the two (the gradix tool's compare, in % of the box diagonal, Hausdorff
and mean) and the process's resident memory, so drift that grows with the number of moves and memory
that grows with it show as trends down the table.

    PYTHONPATH=build/python nice /usr/bin/python3 bench/engine_soak.py build/app/gradix [MOVES] [CHECK] [GRID] [SEED] [exact]
"""
import json
import os
import random
import subprocess
import sys
import tempfile
import time

import numpy as np

import gradix

tool = sys.argv[1]
moves = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
check = int(sys.argv[3]) if len(sys.argv) > 3 else 100
n = int(sys.argv[4]) if len(sys.argv) > 4 else 707  # 2 n^2 triangles
rng = random.Random(int(sys.argv[5]) if len(sys.argv) > 5 else 1)
exact = len(sys.argv) > 6 and sys.argv[6] == 'exact'

x, y = np.meshgrid(np.linspace(0, 10, n + 1), np.linspace(0, 10, n + 1))
noise = np.random.default_rng(13).uniform(-0.004, 0.004, x.shape)
z = 0.8 * np.sin(0.9 * x) * np.cos(0.7 * y) + 0.3 * np.sin(2.3 * x + 1.7 * y) + noise
vertices = np.column_stack([x.ravel(), y.ravel(), z.ravel()])
i = np.arange(n * (n + 1)).reshape(n, n + 1)[:, :n].ravel()
faces = np.concatenate([np.column_stack([i, i + 1, i + n + 2]), np.column_stack([i, i + n + 2, i + n + 1])])
faces = faces.astype(np.int32)


def resident_mb():
    with open('/proc/self/statm') as f:
        return int(f.read().split()[1]) * os.sysconf('SC_PAGE_SIZE') / 2**20


def distance(a, b, folder):
    paths = []
    for name, engine in (('a', a), ('b', b)):
        path = os.path.join(folder, name + '.ply')
        gradix.save(path, [{'name': name, 'vertices': engine.vertices, 'faces': engine.faces}])
        paths.append(path)
    out = subprocess.run([tool, '-q', '--json', 'compare'] + paths, check=True, capture_output=True, text=True)
    d = json.loads(out.stdout)['distance']
    return d['hausdorffPercent'], d['meanPercent']


print(f'{len(faces):,} triangles, {moves} moves, a check every {check}, exact={exact}')
print('| move | resolution % | triangles (moved) | triangles (fresh) | Hausdorff % diag | mean % diag '
      '| resident MB | seconds per move |')
print('|---|---|---|---|---|---|---|---|')
start = time.perf_counter()
engine = gradix.Engine(vertices, faces, exact=exact)
worst = 0.0
with tempfile.TemporaryDirectory() as folder:
    last = time.perf_counter()
    for move in range(1, moves + 1):
        engine.resolution = rng.choice([rng.uniform(0, 100), rng.uniform(0, 10), rng.uniform(90, 100)])
        if move % check:
            continue
        per_move = (time.perf_counter() - last) / check
        fresh = gradix.Engine(vertices, faces, resolution=engine.resolution)
        hausdorff, mean = distance(fresh, engine, folder)
        worst = max(worst, hausdorff)
        print(f'| {move} | {engine.resolution:.2f} | {engine.triangle_count:,} | {fresh.triangle_count:,} | '
              f'{hausdorff:.2e} | {mean:.2e} | {resident_mb():.0f} | {per_move:.2f} |', flush=True)
        same = engine.triangle_count == fresh.triangle_count
        del fresh
        if not same:
            print('triangle counts differ', flush=True)
        last = time.perf_counter()
print(f'worst Hausdorff {worst:.2e} % of the diagonal; {time.perf_counter() - start:.0f} s in all')
