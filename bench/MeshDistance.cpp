// mesh_distance A B: how far mesh file B (a simplification) is from mesh file A (its source), for the
// benchmark figures. Prints one line of key=value pairs, distances as % of A's bounding-box diagonal:
//   hausdorff  two-sided maximum surface distance (dense samples on both surfaces)
//   mean       mean of the two one-sided mean distances
//   border     largest distance from a sample on B's open border to A's border, and back
//   nonmanifold  edges of B shared by more than two faces (A's count after a slash)
//   flipped    faces of B whose normal points against the A face nearest its centre
// Distances come from CGAL's AABB tree over A's and B's triangles and border segments.
#include <CGAL/AABB_segment_primitive.h>
#include <CGAL/AABB_traits.h>
#include <CGAL/AABB_tree.h>
#include <CGAL/AABB_triangle_primitive.h>
#include <CGAL/Simple_cartesian.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

using K = CGAL::Simple_cartesian<double>;
using Point = K::Point_3;
using Triangle = K::Triangle_3;
using Segment = K::Segment_3;
using TriangleTree = CGAL::AABB_tree<
    CGAL::AABB_traits<K, CGAL::AABB_triangle_primitive<K, std::vector<Triangle>::const_iterator>>>;
using SegmentTree = CGAL::AABB_tree<
    CGAL::AABB_traits<K, CGAL::AABB_segment_primitive<K, std::vector<Segment>::const_iterator>>>;

struct Mesh {
    std::vector<Point> points;
    std::vector<std::array<uint32_t, 3>> faces;
    std::vector<Triangle> triangles;
    std::vector<Segment> border;
    uint32_t nonManifold = 0;
};

bool load(const char* path, Mesh& mesh) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                                       aiProcess_PreTransformVertices);
    if (!scene) {
        std::fprintf(stderr, "mesh_distance: %s: %s\n", path, importer.GetErrorString());
        return false;
    }
    // Vertices welded by position across the whole scene, so borders are those of the surface.
    std::map<std::array<float, 3>, uint32_t> weld;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* in = scene->mMeshes[m];
        std::vector<uint32_t> index(in->mNumVertices);
        for (unsigned v = 0; v < in->mNumVertices; ++v) {
            const aiVector3D& p = in->mVertices[v];
            const auto [it, added] =
                weld.emplace(std::array<float, 3>{p.x, p.y, p.z}, uint32_t(mesh.points.size()));
            if (added)
                mesh.points.emplace_back(p.x, p.y, p.z);
            index[v] = it->second;
        }
        for (unsigned f = 0; f < in->mNumFaces; ++f)
            if (in->mFaces[f].mNumIndices == 3) {
                const unsigned* i = in->mFaces[f].mIndices;
                mesh.faces.push_back({index[i[0]], index[i[1]], index[i[2]]});
            }
    }
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> edges;
    for (const auto& f : mesh.faces) {
        mesh.triangles.emplace_back(mesh.points[f[0]], mesh.points[f[1]], mesh.points[f[2]]);
        for (int i = 0; i < 3; ++i)
            ++edges[{std::min(f[i], f[(i + 1) % 3]), std::max(f[i], f[(i + 1) % 3])}];
    }
    for (const auto& [e, n] : edges) {
        if (n == 1)
            mesh.border.emplace_back(mesh.points[e.first], mesh.points[e.second]);
        mesh.nonManifold += n > 2 ? 1 : 0;
    }
    return !mesh.triangles.empty();
}

// Samples on every triangle: its corners, centre and a barycentric grid dense enough that the
// spacing is at most `step`.
template <typename Visit> void sampleTriangles(const Mesh& mesh, double step, Visit visit) {
    for (const Triangle& t : mesh.triangles) {
        const double longest =
            std::sqrt(std::max({CGAL::squared_distance(t[0], t[1]), CGAL::squared_distance(t[1], t[2]),
                                CGAL::squared_distance(t[2], t[0])}));
        const int n = std::clamp(int(std::ceil(longest / step)), 1, 64);
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= n - i; ++j) {
                const double u = double(i) / n, v = double(j) / n, w = 1.0 - u - v;
                visit(Point(u * t[0].x() + v * t[1].x() + w * t[2].x(),
                            u * t[0].y() + v * t[1].y() + w * t[2].y(),
                            u * t[0].z() + v * t[1].z() + w * t[2].z()));
            }
    }
}

struct OneSided {
    double max = 0.0, sum = 0.0;
    size_t count = 0;
};

OneSided distanceTo(const Mesh& from, const TriangleTree& to, double step) {
    OneSided d;
    sampleTriangles(from, step, [&](const Point& p) {
        const double dist = std::sqrt(to.squared_distance(p));
        d.max = std::max(d.max, dist);
        d.sum += dist;
        ++d.count;
    });
    return d;
}

double borderDistance(const Mesh& from, const SegmentTree& to, double step) {
    double worst = 0.0;
    for (const Segment& s : from.border) {
        const int n = std::clamp(int(std::ceil(std::sqrt(s.squared_length()) / step)), 1, 256);
        for (int i = 0; i <= n; ++i) {
            const double u = double(i) / n;
            const Point p(s[0].x() + u * (s[1].x() - s[0].x()), s[0].y() + u * (s[1].y() - s[0].y()),
                          s[0].z() + u * (s[1].z() - s[0].z()));
            worst = std::max(worst, std::sqrt(to.squared_distance(p)));
        }
    }
    return worst;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mesh_distance SOURCE SIMPLIFIED\n");
        return 2;
    }
    Mesh a, b;
    if (!load(argv[1], a) || !load(argv[2], b))
        return 1;
    const auto box = CGAL::bbox_3(a.points.begin(), a.points.end());
    const double diagonal =
        std::sqrt(std::pow(box.xmax() - box.xmin(), 2) + std::pow(box.ymax() - box.ymin(), 2) +
                  std::pow(box.zmax() - box.zmin(), 2));
    const double step = diagonal / 400.0;
    TriangleTree treeA(a.triangles.begin(), a.triangles.end()), treeB(b.triangles.begin(), b.triangles.end());
    treeA.accelerate_distance_queries();
    treeB.accelerate_distance_queries();
    const OneSided ab = distanceTo(a, treeB, step), ba = distanceTo(b, treeA, step);

    double border = 0.0;
    if (!a.border.empty() && !b.border.empty()) {
        SegmentTree borderA(a.border.begin(), a.border.end()), borderB(b.border.begin(), b.border.end());
        borderA.accelerate_distance_queries();
        borderB.accelerate_distance_queries();
        border = std::max(borderDistance(b, borderA, step), borderDistance(a, borderB, step));
    } else if (!a.border.empty() || !b.border.empty()) {
        border = diagonal; // a border appeared or vanished entirely
    }

    uint32_t flipped = 0;
    for (const Triangle& t : b.triangles) {
        const Point centre = CGAL::centroid(t);
        const auto hit = treeA.closest_point_and_primitive(centre);
        const Triangle& under = *hit.second;
        if (!t.is_degenerate() && !under.is_degenerate() &&
            t.supporting_plane().orthogonal_vector() * under.supporting_plane().orthogonal_vector() < 0.0)
            ++flipped;
    }

    const double pct = 100.0 / diagonal;
    std::printf("faces=%zu hausdorff=%.4f%% mean=%.5f%% border=%.4f%% nonmanifold=%u/%u flipped=%u\n",
                b.faces.size(), std::max(ab.max, ba.max) * pct,
                0.5 * (ab.sum / ab.count + ba.sum / ba.count) * pct, border * pct, b.nonManifold,
                a.nonManifold, flipped);
    return 0;
}
