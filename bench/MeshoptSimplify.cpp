// The yardstick for whole-process comparisons: reads a mesh file through the same reader as the
// gradix tool, simplifies every mesh with meshoptimizer's meshopt_simplify (positions only) to the
// same share of its triangles, and writes the result through the same writer.
//
//   meshopt_simplify IN OUT PERCENT
#include "io/MeshExporter.h"
#include "io/MeshImporter.h"

#include <meshoptimizer.h>

#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: meshopt_simplify IN OUT PERCENT\n");
        return 2;
    }
    const double percent = std::atof(argv[3]);
    std::vector<gxhost::SceneMesh> meshes;
    std::string error;
    if (!gxhost::importSceneFile(argv[1], meshes, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    size_t before = 0, after = 0;
    for (gxhost::SceneMesh& mesh : meshes) {
        // Polygons as fans, as indices into the welded points.
        std::vector<unsigned int> indices;
        size_t corner = 0;
        for (int32_t count : mesh.faceCounts) {
            for (int32_t k = 1; k + 1 < count; ++k)
                for (int32_t c : {0, k, k + 1})
                    indices.push_back(unsigned(mesh.faceVertices[corner + size_t(c)]));
            corner += size_t(count);
        }
        const size_t target = size_t(double(indices.size() / 3) * percent / 100.0) * 3;
        std::vector<unsigned int> result(indices.size());
        result.resize(meshopt_simplify(result.data(), indices.data(), indices.size(), &mesh.points[0][0],
                                       mesh.points.size(), sizeof(mesh.points[0]), target, FLT_MAX, 0,
                                       nullptr));
        std::vector<std::array<float, 3>> points(mesh.points.size());
        points.resize(meshopt_optimizeVertexFetch(points.data(), result.data(), result.size(),
                                                  mesh.points.data(), mesh.points.size(),
                                                  sizeof(mesh.points[0])));
        before += indices.size() / 3;
        after += result.size() / 3;
        gxhost::SceneMesh simplified;
        simplified.name = mesh.name;
        simplified.transform = mesh.transform;
        simplified.parent = mesh.parent;
        simplified.points = std::move(points);
        simplified.faceCounts.assign(result.size() / 3, 3);
        simplified.faceVertices.assign(result.begin(), result.end());
        simplified.faceMaterial.assign(result.size() / 3, -1);
        mesh = std::move(simplified);
    }
    if (!gxhost::exportSceneFile(argv[2], "", meshes, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("%zu -> %zu triangles\n", before, after);
    return 0;
}
