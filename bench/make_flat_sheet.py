#!/usr/bin/python3
"""Writes a curved sheet of N x N quads (two triangles each) as OBJ, twice over: shaded flat (each
face its own normal, so every edge is a normal seam) and shaded smooth (a normal per point, the
mean of its faces'). Usage: make_flat_sheet.py FLAT.obj SMOOTH.obj [N] (default 200: 80,000
triangles)."""
import math
import sys

flat_path, smooth_path = sys.argv[1], sys.argv[2]
n = int(sys.argv[3]) if len(sys.argv) > 3 else 200
points = [(x / n * 10, y / n * 10, 0.6 * math.sin(1.3 * x / n * 10) * math.cos(0.9 * y / n * 10))
          for y in range(n + 1) for x in range(n + 1)]
triangles = []
for y in range(n):
    for x in range(n):
        a = y * (n + 1) + x
        triangles += [(a, a + 1, a + n + 2), (a, a + n + 2, a + n + 1)]


def unit(v):
    length = math.sqrt(sum(c * c for c in v)) or 1.0
    return tuple(c / length for c in v)


def face_normal(t):
    p, q, r = (points[i] for i in t)
    u = [q[k] - p[k] for k in range(3)]
    v = [r[k] - p[k] for k in range(3)]
    return unit((u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]))


face_normals = [face_normal(t) for t in triangles]
point_normals = [[0.0, 0.0, 0.0] for _ in points]
for t, normal in zip(triangles, face_normals):
    for i in t:
        for k in range(3):
            point_normals[i][k] += normal[k]

with open(flat_path, 'w') as out:
    out.writelines('v %f %f %f\n' % p for p in points)
    out.writelines('vn %f %f %f\n' % v for v in face_normals)
    out.writelines('f %d//%d %d//%d %d//%d\n' % (a + 1, f + 1, b + 1, f + 1, c + 1, f + 1)
                   for f, (a, b, c) in enumerate(triangles))
with open(smooth_path, 'w') as out:
    out.writelines('v %f %f %f\n' % p for p in points)
    out.writelines('vn %f %f %f\n' % unit(v) for v in point_normals)
    out.writelines('f %d//%d %d//%d %d//%d\n' % (a + 1, a + 1, b + 1, b + 1, c + 1, c + 1) for a, b, c in triangles)
