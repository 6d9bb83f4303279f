#!/usr/bin/python3
"""Writes the meshes of the quality figures (bench/README.md) as OBJ files into a folder:
  cad_part.obj     a machined block: steps, a pocket and a through-hole, every flat face finely
                   tessellated, all creases sharp (90 degrees), closed
  plate_holes.obj  a gently curved open plate with four round holes
  scan_holes.obj   a bumpy open sheet with forty small holes, like a scan with gaps
  blob.obj         a smooth closed organic shape (a sphere under low-frequency waves)
Deterministic: the same files every run.  usage: make_quality_meshes.py FOLDER"""
import math
import os
import sys


def write(path, points, faces):
    with open(path, "w") as out:
        for p in points:
            out.write("v %.6f %.6f %.6f\n" % p)
        for f in faces:
            out.write("f %d %d %d\n" % (f[0] + 1, f[1] + 1, f[2] + 1))


def cad_part(k=6):
    # Occupied unit cells of a 10 x 6 x 4 block; every exposed cell face becomes k x k quads.
    def solid(x, y, z):
        if not (0 <= x < 10 and 0 <= y < 6 and 0 <= z < 4):
            return False
        if z >= 2 and x >= 6:
            return False  # a step
        if z == 3 and 1 <= x <= 3 and 1 <= y <= 4:
            return False  # a pocket
        if 7 <= x <= 8 and 2 <= y <= 3:
            return False  # a through-hole in the low part
        return True

    index, points, faces = {}, [], []

    def vertex(p):
        key = tuple(round(c * k) for c in p)
        if key not in index:
            index[key] = len(points)
            points.append(tuple(c / k for c in key))
        return index[key]

    dirs = [((1, 0, 0), (0, 1, 0), (0, 0, 1)), ((-1, 0, 0), (0, 0, 1), (0, 1, 0)),
            ((0, 1, 0), (0, 0, 1), (1, 0, 0)), ((0, -1, 0), (1, 0, 0), (0, 0, 1)),
            ((0, 0, 1), (1, 0, 0), (0, 1, 0)), ((0, 0, -1), (0, 1, 0), (1, 0, 0))]
    for x in range(10):
        for y in range(6):
            for z in range(4):
                if not solid(x, y, z):
                    continue
                for n, u, v in dirs:
                    if solid(x + n[0], y + n[1], z + n[2]):
                        continue
                    # The face's corner: the cell centre moved half a cell along n, u and v back.
                    o = [(x, y, z)[i] + 0.5 + 0.5 * n[i] - 0.5 * u[i] - 0.5 * v[i] for i in range(3)]
                    for i in range(k):
                        for j in range(k):
                            c = [[o[t] + (i + a) / k * u[t] + (j + b) / k * v[t] for t in range(3)]
                                 for a, b in ((0, 0), (1, 0), (1, 1), (0, 1))]
                            q = [vertex(p) for p in c]
                            faces.append((q[0], q[1], q[2]))
                            faces.append((q[0], q[2], q[3]))
    return points, faces


def sheet(n, height, hole):
    points, index, faces = [], {}, []
    for y in range(n + 1):
        for x in range(n + 1):
            index[(x, y)] = len(points)
            points.append((x / n, y / n, height(x / n, y / n)))
    for y in range(n):
        for x in range(n):
            cx, cy = (x + 0.5) / n, (y + 0.5) / n
            if hole(cx, cy):
                continue
            a, b, c, d = index[(x, y)], index[(x + 1, y)], index[(x, y + 1)], index[(x + 1, y + 1)]
            faces += [(a, b, d), (a, d, c)]
    used = sorted({v for f in faces for v in f})
    remap = {v: i for i, v in enumerate(used)}
    return [points[v] for v in used], [tuple(remap[v] for v in f) for f in faces]


def plate_holes():
    centres = [(0.3, 0.3, 0.08), (0.7, 0.3, 0.05), (0.3, 0.7, 0.06), (0.68, 0.72, 0.1)]
    return sheet(160, lambda x, y: 0.1 * math.sin(2 * x) * math.cos(1.5 * y),
                 lambda x, y: any((x - a) ** 2 + (y - b) ** 2 < r * r for a, b, r in centres))


def scan_holes():
    centres = [((i * 0.6180339) % 1.0 * 0.9 + 0.05, (i * 0.7548776) % 1.0 * 0.9 + 0.05,
                0.01 + 0.015 * ((i * 0.37) % 1.0)) for i in range(40)]
    return sheet(200, lambda x, y: 0.05 * math.sin(9 * x) * math.sin(7 * y) + 0.02 * math.cos(23 * x + 5 * y),
                 lambda x, y: any((x - a) ** 2 + (y - b) ** 2 < r * r for a, b, r in centres))


def blob(rings=160, segments=320):
    points, faces = [(0.0, 0.0, 1.0)], []
    for i in range(1, rings):
        t = math.pi * i / rings
        for j in range(segments):
            p = 2 * math.pi * j / segments
            r = 1.0 + 0.15 * math.sin(3 * t) * math.cos(2 * p) + 0.08 * math.sin(5 * p + 2 * t)
            points.append((r * math.sin(t) * math.cos(p), r * math.sin(t) * math.sin(p), r * math.cos(t)))
    points.append((0.0, 0.0, -1.0))
    last = len(points) - 1
    ring = lambda i, j: 1 + (i - 1) * segments + j % segments
    for j in range(segments):
        faces.append((0, ring(1, j), ring(1, j + 1)))
        faces.append((last, ring(rings - 1, j + 1), ring(rings - 1, j)))
    for i in range(1, rings - 1):
        for j in range(segments):
            a, b, c, d = ring(i, j), ring(i, j + 1), ring(i + 1, j), ring(i + 1, j + 1)
            faces += [(a, c, d), (a, d, b)]
    return points, faces


if __name__ == "__main__":
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, make in (("cad_part", cad_part), ("plate_holes", plate_holes), ("scan_holes", scan_holes),
                       ("blob", blob)):
        points, faces = make()
        write(os.path.join(folder, name + ".obj"), points, faces)
        print("%s.obj: %d vertices, %d triangles" % (name, len(points), len(faces)))
