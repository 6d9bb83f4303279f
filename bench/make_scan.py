#!/usr/bin/python3
"""Writes a scan-like surface as binary PLY, positions only: a height field of N x N quads (two
triangles each) with bumps and a little deterministic noise. Usage: make_scan.py OUT.ply [N]
(default 707: 999,698 triangles)."""
import math
import random
import struct
import sys

out = sys.argv[1]
n = int(sys.argv[2]) if len(sys.argv) > 2 else 707
rng = random.Random(13)
points = bytearray()
for j in range(n + 1):
    for i in range(n + 1):
        x, y = i / n * 10.0, j / n * 10.0
        z = 0.8 * math.sin(0.9 * x) * math.cos(0.7 * y) + 0.3 * math.sin(2.3 * x + 1.7 * y)
        points += struct.pack('<3f', x, y, z + rng.uniform(-0.004, 0.004))
faces = bytearray()
for j in range(n):
    for i in range(n):
        a = j * (n + 1) + i
        b, c, d = a + 1, a + n + 2, a + n + 1
        faces += struct.pack('<B3iB3i', 3, a, b, c, 3, a, c, d)
with open(out, 'wb') as f:
    f.write(('ply\nformat binary_little_endian 1.0\nelement vertex %d\nproperty float x\n'
             'property float y\nproperty float z\nelement face %d\nproperty list uchar int vertex_indices\n'
             'end_header\n' % ((n + 1) ** 2, 2 * n * n)).encode())
    f.write(points)
    f.write(faces)
