#include "HalvesPass.h"

#include "EngineSession.h"
#include "MeshInfo.h"
#include "Triangulator.h"

#include <algorithm>
#include <array>
#include <memory>
#include <thread>

namespace gradix {
namespace {

// The halves stop this much above their share of the target, plus one triangle per vertex they
// keep in place: the graph's engine, whose vertices are all free, then chooses the last
// contractions over the whole mesh, the cut and the borders among them.
constexpr double kMargin = 1.1;
// The pass is worth it only when the halves take the mesh below this share of its size.
constexpr double kMostKept = 0.75;

struct Half {
    std::vector<uint32_t> faces;  // the mesh's triangles (see Triangles), ascending
    std::vector<int32_t> local;   // per source vertex, its vertex in this half or -1
    std::vector<uint32_t> source; // per vertex of this half, its source vertex
    uint64_t keptVertices = 0;    // border vertices, which the half's engine keeps in place
    std::unique_ptr<gxengine::EngineSession> engine;
    bool failed = false;
};

// The mesh's triangles: a triangle mesh's own faces, or its polygons triangulated as the host
// triangulates them for the node. Each has three corners (indices into the face-vertex lists) and
// the face it comes from.
struct Triangles {
    bool own = true;               // every face a triangle: triangle t is face t, corners 3t .. 3t + 2
    std::vector<uint32_t> corners; // otherwise three per triangle
    std::vector<uint32_t> faces;   // and the face of each
    size_t count = 0;
    size_t corner(size_t t, size_t c) const { return own ? 3 * t + c : corners[3 * t + c]; }
    size_t face(size_t t) const { return own ? t : faces[t]; }
};

Triangles trianglesOf(const gxhost::SceneMesh& mesh) {
    Triangles tris;
    tris.own = std::all_of(mesh.faceCounts.begin(), mesh.faceCounts.end(), [](int32_t c) { return c == 3; });
    if (tris.own) {
        tris.count = mesh.faceCounts.size();
        return tris;
    }
    std::vector<std::array<double, 3>> corners;
    gxhost::Triangulation triangulation;
    size_t offset = 0;
    for (size_t f = 0; f < mesh.faceCounts.size(); offset += size_t(mesh.faceCounts[f]), ++f) {
        const size_t k = size_t(mesh.faceCounts[f]);
        corners.clear();
        for (size_t c = 0; c < k; ++c) {
            const std::array<float, 3>& p = mesh.points[size_t(mesh.faceVertices[offset + c])];
            corners.push_back({p[0], p[1], p[2]});
        }
        gxhost::triangulatePolygon(corners, triangulation);
        for (const std::array<int, 3>& t : triangulation.triangles) {
            for (int c : t)
                tris.corners.push_back(uint32_t(offset + size_t(c)));
            tris.faces.push_back(uint32_t(f));
        }
    }
    tris.count = tris.faces.size();
    return tris;
}

// Per source vertex, whether an edge of it has one triangle: the mesh's own borders. An edge a -> b
// of a triangle is shared when some triangle has b -> a (half-edges grouped by their first vertex).
std::vector<uint8_t> borderVertices(const gxhost::SceneMesh& mesh, const Triangles& tris) {
    const size_t n = mesh.points.size();
    const auto vertex = [&](size_t t, size_t c) { return uint32_t(mesh.faceVertices[tris.corner(t, c)]); };
    std::vector<uint32_t> start(n + 1, 0), to(3 * tris.count);
    for (size_t t = 0; t < tris.count; ++t)
        for (size_t c = 0; c < 3; ++c)
            ++start[vertex(t, c) + 1];
    for (size_t v = 0; v < n; ++v)
        start[v + 1] += start[v];
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (size_t t = 0; t < tris.count; ++t)
        for (size_t c = 0; c < 3; ++c)
            to[fill[vertex(t, c)]++] = vertex(t, (c + 1) % 3);
    std::vector<uint8_t> border(n, 0);
    for (uint32_t a = 0; a < n; ++a)
        for (uint32_t i = start[a]; i < start[a + 1]; ++i) {
            const uint32_t b = to[i];
            if (std::find(to.begin() + start[b], to.begin() + start[b + 1], a) == to.begin() + start[b + 1])
                border[a] = border[b] = 1;
        }
    return border;
}

// The half's engine, built from its faces with every corner's attributes and not yet set up.
std::unique_ptr<gxengine::EngineSession> buildHalf(const gxhost::SceneMesh& mesh, const Triangles& tris,
                                                   const gxengine::Settings& settings, bool withColors,
                                                   const Half& half) {
    const size_t corners = 3 * half.faces.size();
    std::vector<float> points;
    points.reserve(3 * half.source.size());
    for (uint32_t v : half.source)
        points.insert(points.end(), mesh.points[v].begin(), mesh.points[v].end());
    std::vector<int32_t> faces(corners);
    std::vector<std::vector<float>> uvs(mesh.uvSets.size(), std::vector<float>(2 * corners, 0.0f));
    std::vector<float> normals(mesh.normals.empty() ? 0 : 3 * corners);
    std::vector<float> colors(withColors ? 4 * corners : 0);
    for (size_t i = 0; i < half.faces.size(); ++i)
        for (size_t c = 0; c < 3; ++c) {
            const size_t from = tris.corner(half.faces[i], c), to = 3 * i + c;
            faces[to] = half.local[size_t(mesh.faceVertices[from])];
            for (size_t k = 0; k < uvs.size(); ++k) {
                const int32_t id = mesh.uvSets[k].uvIds[from];
                if (id >= 0) {
                    uvs[k][2 * to] = mesh.uvSets[k].u[size_t(id)];
                    uvs[k][2 * to + 1] = mesh.uvSets[k].v[size_t(id)];
                }
            }
            if (!normals.empty())
                std::copy_n(mesh.normals[from].begin(), 3, normals.begin() + std::ptrdiff_t(3 * to));
            if (withColors) {
                // An absent colour reaches the node's engine as opaque black.
                const std::array<float, 4> black{0.0f, 0.0f, 0.0f, 1.0f};
                const std::array<float, 4>& color = mesh.hasColor[from] ? mesh.colors[from] : black;
                std::copy_n(color.begin(), 4, colors.begin() + std::ptrdiff_t(4 * to));
            }
        }
    const int64_t m = int64_t(half.faces.size());
    gxengine::MeshInput in;
    in.vertices = gxengine::packedView(points.data(), int64_t(half.source.size()), 3);
    in.faces = gxengine::packedView(faces.data(), m, 3);
    for (const std::vector<float>& set : uvs)
        in.uvSets.push_back({gxengine::packedView(set.data(), m, 2, 3), true});
    if (!normals.empty())
        in.normals = {gxengine::packedView(normals.data(), m, 3, 3), true};
    if (withColors)
        in.colors = {gxengine::packedView(colors.data(), m, 4, 3), true};
    return std::make_unique<gxengine::EngineSession>(in, settings, gxengine::EngineSession::DeferSetup());
}

// Builds the half's engine and moves it to `target` triangles; the input arrays are gone before the
// engine is set up.
void simplifyHalf(const gxhost::SceneMesh& mesh, const Triangles& tris, const gxengine::Settings& settings,
                  bool withColors, uint64_t target, Half& half) {
    try {
        half.engine = buildHalf(mesh, tris, settings, withColors, half);
        half.engine->setUp();
        half.engine->reachTriangles(uint32_t(target));
    } catch (const std::exception&) {
        half.failed = true; // the whole mesh then goes to its graph as it is
    }
}

// Appends the half's active faces to `out`, as simplified: points numbered by `index`, per-corner
// attributes from the wedges, materials and absent attributes from the source faces.
void appendHalf(const gxhost::SceneMesh& mesh, const Triangles& tris, const Half& half,
                const std::vector<int32_t>& index, gxhost::SceneMesh& out) {
    const gdx::Model& model = half.engine->model();
    for (uint32_t f = 0; f < model.numFaces(); ++f) {
        if (!model.faceState(f).active)
            continue;
        const gdx::Face& face = model.face(f);
        const size_t triangle = half.faces[half.engine->inputFace(f)];
        out.faceCounts.push_back(3);
        if (!mesh.faceMaterial.empty())
            out.faceMaterial.push_back(mesh.faceMaterial[tris.face(triangle)]);
        for (uint32_t c = 0; c < 3; ++c) {
            const size_t from = tris.corner(triangle, c);
            const uint32_t w = face.wedge(c);
            out.faceVertices.push_back(index[half.source[face.vertex(c)]]);
            for (size_t k = 0; k < mesh.uvSets.size(); ++k) {
                gxhost::SceneUVSet& set = out.uvSets[k];
                if (mesh.uvSets[k].uvIds[from] < 0) {
                    set.uvIds.push_back(-1);
                    continue;
                }
                // The first set lives in the wedges' own UV (the one contractions place).
                set.uvIds.push_back(int32_t(set.u.size()));
                set.u.push_back(k == 0 ? model.firstU()[w] : model.uArray(uint32_t(k))[w]);
                set.v.push_back(k == 0 ? model.firstV()[w] : model.vArray(uint32_t(k))[w]);
            }
            if (!mesh.normals.empty()) {
                const gdx::DoubleVector& n = model.normals()[w];
                out.normals.push_back({float(n.x), float(n.y), float(n.z)});
            }
            if (!mesh.colors.empty()) {
                const gdx::Color& color = model.colors()[w];
                out.colors.push_back({color.r, color.g, color.b, color.a});
                out.hasColor.push_back(mesh.hasColor[from]);
            }
        }
    }
}

} // namespace

bool reduceInHalves(const gxhost::SceneMesh& mesh, const NodeSettings& settings, uint64_t targetTriangles,
                    gxhost::SceneMesh& out) {
    const size_t faces = mesh.faceCounts.size(), n = mesh.points.size();
    size_t corners = 0;
    for (int32_t count : mesh.faceCounts)
        corners += count > 0 ? size_t(count) : 0;
    // Indices in range, and per-corner attributes one per corner or none at all.
    if (n == 0 || polygonTriangles(mesh) < kHalvesMinTriangles || mesh.faceVertices.size() != corners ||
        std::any_of(mesh.faceCounts.begin(), mesh.faceCounts.end(), [](int32_t c) { return c < 0; }) ||
        std::any_of(mesh.faceVertices.begin(), mesh.faceVertices.end(),
                    [n](int32_t v) { return v < 0 || size_t(v) >= n; }) ||
        std::any_of(mesh.uvSets.begin(), mesh.uvSets.end(),
                    [&](const gxhost::SceneUVSet& set) {
                        return set.uvIds.size() != corners || set.v.size() != set.u.size() ||
                               std::any_of(set.uvIds.begin(), set.uvIds.end(),
                                           [&](int32_t id) { return id >= int32_t(set.u.size()); });
                    }) ||
        (!mesh.normals.empty() && mesh.normals.size() != corners) ||
        (!mesh.colors.empty() && (mesh.colors.size() != corners || mesh.hasColor.size() != corners)) ||
        (!mesh.faceMaterial.empty() && mesh.faceMaterial.size() != faces))
        return false;
    const Triangles tris = trianglesOf(mesh);
    const size_t m = tris.count;
    if (m < kHalvesMinTriangles)
        return false;
    const auto vertexAt = [&](size_t t, size_t c) { return size_t(mesh.faceVertices[tris.corner(t, c)]); };

    // The cut: triangles ordered by their centres along the box's longest side (ties by triangle), the
    // first half of them on one side.
    std::array<float, 3> low = mesh.points[0], high = mesh.points[0];
    for (const std::array<float, 3>& p : mesh.points)
        for (size_t j = 0; j < 3; ++j) {
            low[j] = std::min(low[j], p[j]);
            high[j] = std::max(high[j], p[j]);
        }
    size_t axis = 0;
    for (size_t j = 1; j < 3; ++j)
        if (high[j] - low[j] > high[axis] - low[axis])
            axis = j;
    std::vector<double> centre(m);
    for (size_t f = 0; f < m; ++f)
        centre[f] = double(mesh.points[vertexAt(f, 0)][axis]) + mesh.points[vertexAt(f, 1)][axis] +
                    mesh.points[vertexAt(f, 2)][axis];
    std::vector<uint32_t> order(m);
    for (size_t f = 0; f < m; ++f)
        order[f] = uint32_t(f);
    const auto before = [&](uint32_t a, uint32_t b) {
        return centre[a] < centre[b] || (centre[a] == centre[b] && a < b);
    };
    std::nth_element(order.begin(), order.begin() + std::ptrdiff_t(m / 2), order.end(), before);
    std::vector<uint8_t> side(m, 1);
    for (size_t i = 0; i < m / 2; ++i)
        side[order[i]] = 0;
    std::vector<double>().swap(centre);
    std::vector<uint32_t>().swap(order);

    // Each half's triangles and vertices; `sides` has bit h set for a vertex of half h (3 on the cut).
    const std::vector<uint8_t> border = borderVertices(mesh, tris);
    std::vector<uint8_t> sides(n, 0);
    std::array<Half, 2> halves;
    for (size_t f = 0; f < m; ++f) {
        halves[side[f]].faces.push_back(uint32_t(f));
        for (size_t c = 0; c < 3; ++c)
            sides[vertexAt(f, c)] |= uint8_t(1u << side[f]);
    }
    for (size_t h = 0; h < 2; ++h) {
        Half& half = halves[h];
        half.local.assign(n, -1);
        for (size_t v = 0; v < n; ++v)
            if (sides[v] & (1u << h)) {
                half.local[v] = int32_t(half.source.size());
                half.source.push_back(uint32_t(v));
                half.keptVertices += (sides[v] == 3 || border[v]) ? 1 : 0;
            }
    }
    // The target is taken up to a whole step of 1/512 of the mesh. A --triangles run and a --percent
    // run at the resolution it reports ask for targets a triangle or two apart; stopped at the same
    // step, their halves give the same mesh, and the two runs write the same file.
    const uint64_t step = std::max<uint64_t>(1, m / 512);
    const uint64_t target = (targetTriangles + step - 1) / step * step;
    std::array<uint64_t, 2> targets;
    for (size_t h = 0; h < 2; ++h)
        targets[h] = uint64_t(kMargin * double(target) * double(halves[h].faces.size()) / double(m)) +
                     halves[h].keptVertices;
    if (double(targets[0] + targets[1]) > kMostKept * double(m))
        return false;

    const bool withColors = !mesh.colors.empty() &&
                            std::find(mesh.hasColor.begin(), mesh.hasColor.end(), 1) != mesh.hasColor.end();
    gxengine::Settings engineSettings;
    for (const auto& [name, value] : settings.values(!mesh.uvSets.empty(), !mesh.normals.empty(), withColors))
        engineSettings.set(name, value);
    // What the mesh lacks is not asked for (as the node leaves out what its source has not).
    engineSettings.useUVs = mesh.uvSets.empty() ? 0 : engineSettings.useUVs;
    engineSettings.useNormals = mesh.normals.empty() ? 0 : engineSettings.useNormals;
    engineSettings.useVertexColors = withColors ? engineSettings.useVertexColors : 0;
    engineSettings.lockBorder = true; // the cut stays where it is, so that the halves join again

    std::thread second([&] { simplifyHalf(mesh, tris, engineSettings, withColors, targets[1], halves[1]); });
    simplifyHalf(mesh, tris, engineSettings, withColors, targets[0], halves[0]);
    second.join();
    if (halves[0].failed || halves[1].failed)
        return false;

    // The cut is closed when each of its vertices is still used on both sides, at the same place.
    std::vector<uint8_t> used(n, 0);
    for (size_t h = 0; h < 2; ++h) {
        const gdx::Model& model = halves[h].engine->model();
        for (uint32_t f = 0; f < model.numFaces(); ++f)
            if (model.faceState(f).active)
                for (uint32_t c = 0; c < 3; ++c)
                    used[halves[h].source[model.face(f).vertex(c)]] |= uint8_t(1u << h);
    }
    std::vector<int32_t> index(n, -1);
    gxhost::SceneMesh joined;
    for (size_t v = 0; v < n; ++v) {
        if (!used[v])
            continue;
        const gdx::FloatPoint* at[2] = {nullptr, nullptr};
        for (size_t h = 0; h < 2; ++h)
            if (halves[h].local[v] >= 0)
                at[h] = &halves[h].engine->model().positions()[size_t(halves[h].local[v])];
        if (sides[v] == 3 &&
            (used[v] != 3 || at[0]->x != at[1]->x || at[0]->y != at[1]->y || at[0]->z != at[1]->z))
            return false;
        const gdx::FloatPoint& p = at[0] ? *at[0] : *at[1];
        index[v] = int32_t(joined.points.size());
        joined.points.push_back({p.x, p.y, p.z});
    }
    for (const gxhost::SceneUVSet& set : mesh.uvSets)
        joined.uvSets.push_back({set.name, {}, {}, {}});
    for (const Half& half : halves)
        appendHalf(mesh, tris, half, index, joined);

    joined.name = mesh.name;
    joined.transform = mesh.transform;
    joined.parent = mesh.parent;
    joined.materials = mesh.materials;
    joined.fileNode = mesh.fileNode;
    joined.fileMaterials = mesh.fileMaterials;
    joined.instanceOf = mesh.instanceOf;
    out = std::move(joined);
    return true;
}

} // namespace gradix
