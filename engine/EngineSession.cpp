#include "EngineSession.h"

#include "ResolutionChanger.h"
#include "io/FlatNormals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <stdexcept>

namespace gxengine {
namespace {

void fail(const std::string& name, const std::string& problem) {
    throw std::invalid_argument(name + ": " + problem);
}

void checkShape(const ArrayView& v, const std::string& name, int ndim, const int64_t* shape,
                const std::string& wanted) {
    bool ok = v.ndim == ndim;
    for (int d = 0; ok && d < ndim; ++d)
        ok = shape[d] < 0 || v.shape[d] == shape[d];
    if (!ok)
        fail(name, "shape " + shapeText(v) + ", expected " + wanted);
}

void checkFinite(const ArrayView& v, const std::string& name) {
    if (!v.isFloat() && !v.isInteger())
        fail(name, "needs a float or integer array");
    if (!v.isFloat())
        return;
    const int64_t n1 = v.ndim > 1 ? v.shape[1] : 1, n2 = v.ndim > 2 ? v.shape[2] : 1;
    for (int64_t i = 0; i < v.shape[0]; ++i)
        for (int64_t j = 0; j < n1; ++j)
            for (int64_t k = 0; k < n2; ++k)
                if (!std::isfinite(v.get(i, j, k)))
                    fail(name, "NaN or infinite value at index " + std::to_string(i));
}

// An attribute is per corner when shaped (faces, 3, width), per vertex when (vertices, width).
void checkAttribute(AttributeInput& a, const std::string& name, int64_t vertices, int64_t faces, int widthLow,
                    int widthHigh) {
    if (!a.values.given())
        return;
    a.perCorner = a.values.ndim == 3;
    const int64_t width = a.values.shape[a.values.ndim - 1];
    const std::string widths = widthLow == widthHigh
                                   ? std::to_string(widthLow)
                                   : std::to_string(widthLow) + " or " + std::to_string(widthHigh);
    const std::string wanted = "(" + std::to_string(faces) + ", 3, " + widths + ") per corner or (" +
                               std::to_string(vertices) + ", " + widths + ") per vertex";
    const int64_t cornerShape[3] = {faces, 3, width}, vertexShape[2] = {vertices, width};
    checkShape(a.values, name, a.perCorner ? 3 : 2, a.perCorner ? cornerShape : vertexShape, wanted);
    if (width < widthLow || width > widthHigh)
        fail(name, "shape " + shapeText(a.values) + ", expected " + wanted);
    checkFinite(a.values, name);
}

// The host's test for a triangle it can triangulate: a Newell area clearly above zero relative to
// its extent (which also refuses repeated corners).
bool triangleHasArea(const std::array<std::array<double, 3>, 3>& c) {
    double nx = 0, ny = 0, nz = 0, extent = 0;
    for (int i = 0; i < 3; ++i) {
        const auto& a = c[i];
        const auto& b = c[(i + 1) % 3];
        nx += (a[1] - b[1]) * (a[2] + b[2]);
        ny += (a[2] - b[2]) * (a[0] + b[0]);
        nz += (a[0] - b[0]) * (a[1] + b[1]);
        for (int k = 0; k < 3; ++k)
            extent = std::max(extent, std::fabs(a[k] - c[0][k]));
    }
    const double area2 = std::sqrt(nx * nx + ny * ny + nz * nz);
    return area2 > 1e-12 * extent * extent && extent != 0.0;
}

} // namespace

std::string shapeText(const ArrayView& view) {
    std::string s = "(";
    for (int d = 0; d < view.ndim; ++d)
        s += (d ? ", " : "") + std::to_string(view.shape[d]);
    return s + (view.ndim == 1 ? ",)" : ")");
}

void checkMeshInput(MeshInput& in) {
    const int64_t anyRows[2] = {-1, 3};
    checkShape(in.vertices, "vertices", 2, anyRows, "(N, 3)");
    checkShape(in.faces, "faces", 2, anyRows, "(M, 3)");
    const int64_t n = in.vertices.shape[0], m = in.faces.shape[0];
    if (n >= int64_t(0xffffffff) || m >= int64_t(0x55555555))
        fail("faces", "too many vertices or faces for 32-bit indices");
    checkFinite(in.vertices, "vertices");
    if (!in.faces.isInteger())
        fail("faces", "needs an integer array");
    for (int64_t f = 0; f < m; ++f)
        for (int c = 0; c < 3; ++c) {
            const int64_t v = in.faces.index(f, c);
            if (v < 0 || v >= n)
                fail("faces", "index " + std::to_string(static_cast<long long>(in.faces.get(f, c))) +
                                  " at face " + std::to_string(f) + " is out of range 0.." +
                                  std::to_string(n - 1));
        }
    for (size_t k = 0; k < in.uvSets.size(); ++k)
        checkAttribute(in.uvSets[k], in.uvSets.size() == 1 ? "uvs" : "uvs[" + std::to_string(k) + "]", n, m,
                       2, 2);
    checkAttribute(in.normals, "normals", n, m, 3, 3);
    checkAttribute(in.colors, "colors", n, m, 3, 4);
    if (in.weights.given()) {
        const int64_t shape[1] = {n};
        checkShape(in.weights, "weights", 1, shape, "(" + std::to_string(n) + ",)");
        checkFinite(in.weights, "weights");
    }
}

namespace {
// Whether every face's corner normals (given per corner) are the face's own.
bool followFaces(const ArrayView& faces, const ArrayView& normals, const gdx::FloatPointArray& positions) {
    for (int64_t f = 0; f < faces.shape[0]; ++f) {
        std::array<gxhost::Vector3f, 3> corner, normal;
        std::array<const gxhost::Vector3f*, 3> corners, cornerNormals;
        for (int c = 0; c < 3; ++c) {
            const gdx::FloatPoint& p = positions[size_t(faces.index(f, c))];
            corner[c] = {p.x, p.y, p.z};
            normal[c] = {float(normals.get(f, c, 0)), float(normals.get(f, c, 1)),
                         float(normals.get(f, c, 2))};
            corners[c] = &corner[c];
            cornerNormals[c] = &normal[c];
        }
        if (!gxhost::followsItsPolygon(corners.data(), cornerNormals.data(), 3))
            return false;
    }
    return true;
}
} // namespace

EngineSession::EngineSession(const MeshInput& in, const Settings& settings)
    : EngineSession(in, settings, DeferSetup()) {
    setUp(in.weights);
}

EngineSession::EngineSession(const MeshInput& in, const Settings& settings, DeferSetup) {
    const uint32_t n = uint32_t(in.vertices.shape[0]), m = uint32_t(in.faces.shape[0]);
    if ((settings.useNormals > 0 && !in.normals.values.given()) ||
        (settings.useVertexColors > 0 && !in.colors.values.given()))
        throw std::invalid_argument(settings.useNormals > 0 && !in.normals.values.given()
                                        ? "useNormals: no normals were given"
                                        : "useVertexColors: no colors were given");
    for (const AttributeInput& a : in.uvSets)
        uvPerCorner_.push_back(a.perCorner);
    normals_ = in.normals.values.given() ? (in.normals.perCorner ? 1 : 0) : -1;
    colorWidth_ = in.colors.values.given() ? int(in.colors.values.shape[in.colors.values.ndim - 1]) : 0;
    colorsPerCorner_ = in.colors.perCorner;

    model_.reset(new gdx::Model(n, m));
    gdx::FloatPointArray& positions = model_->positions();
    positions.resize(n);
    for (uint32_t v = 0; v < n; ++v)
        positions[v] = gdx::FloatPoint{float(in.vertices.get(v, 0)), float(in.vertices.get(v, 1)),
                                       float(in.vertices.get(v, 2)), 1.0f};
    model_->setNumUVSets(uint32_t(in.uvSets.size()));
    flatNormals_ =
        settings.flatNotSeam && normals_ > 0 && followFaces(in.faces, in.normals.values, positions);

    // Reads attribute `a` at corner c of face f (vertex v), component j.
    const auto value = [](const AttributeInput& a, int64_t f, int c, int64_t v, int j) {
        return a.perCorner ? a.values.get(f, c, j) : a.values.get(v, j);
    };
    inputFaces_.reserve(m);
    gdx::FloatArray uvList;
    for (uint32_t f = 0; f < m; ++f) {
        uint32_t vertex[3], wedge[3];
        std::array<std::array<double, 3>, 3> corners;
        for (int c = 0; c < 3; ++c) {
            vertex[c] = uint32_t(in.faces.index(f, c));
            const gdx::FloatPoint& p = positions[vertex[c]];
            corners[c] = {p.x, p.y, p.z};
        }
        if (!triangleHasArea(corners))
            continue;
        for (int c = 0; c < 3; ++c) {
            const int64_t v = vertex[c];
            gdx::DoubleVector normal;
            if (normals_ >= 0 && !flatNormals_)
                normal = {double(float(value(in.normals, f, c, v, 0))),
                          double(float(value(in.normals, f, c, v, 1))),
                          double(float(value(in.normals, f, c, v, 2)))};
            gdx::Color color;
            if (colorWidth_)
                color = {float(value(in.colors, f, c, v, 0)), float(value(in.colors, f, c, v, 1)),
                         float(value(in.colors, f, c, v, 2)),
                         colorWidth_ == 4 ? float(value(in.colors, f, c, v, 3)) : 1.0f};
            uvList.clear();
            for (const AttributeInput& a : in.uvSets) {
                uvList.push_back(float(value(a, f, c, v, 0)));
                uvList.push_back(float(value(a, f, c, v, 1)));
            }
            wedge[c] = model_->addWedge(vertex[c], normal, color, uvList);
        }
        model_->addFace(vertex[0], vertex[1], vertex[2], wedge[0], wedge[1], wedge[2], true);
        inputFaces_.push_back(f);
    }
    model_->splitDisconnectedWedges();

    weights_.reset(new gdx::HierarchicWeight(n));
    engine_.reset(new gdx::QSlim(*model_, *weights_));
    Settings resolved = settings;
    if (flatNormals_)
        resolved.useNormals = 0; // as the tool gives a flat-shaded mesh to its graph: without normals
    resolved.configure(*model_, *weights_, *engine_, !in.uvSets.empty(), normals_ >= 0 && !flatNormals_,
                       colorWidth_ > 0);
}

void EngineSession::setUp(const ArrayView& weights) {
    engine_->setup();
    sequence_.reserve(model_->numVertices()); // each contraction removes a vertex
    if (weights.given()) {
        for (uint32_t v = 0; v < model_->numVertices(); ++v)
            weights_->setWeight(v, float(weights.get(v) * 100.0 + 1.0));
        engine_->updatePairWeights();
    }
}

namespace {
// The node's clamping of its resolution attribute, in float.
float clampPercent(float percent) {
    return percent > 100.0f ? 100.0f : (percent < 0.0f || percent != percent ? 0.0f : percent);
}
} // namespace

void EngineSession::setResolution(float percent) {
    percent = clampPercent(percent);
    gdx::changeResolution(*engine_, sequence_, percent * 0.01f);
    resolution_ = percent;
}

bool EngineSession::raises(float percent) const {
    return gdx::targetFaceCount(*model_, clampPercent(percent) * 0.01f) > engine_->activeFaces();
}

void EngineSession::reachTriangles(uint32_t target) {
    if (!gdx::changeFaceCount(*engine_, sequence_, target))
        throw std::bad_alloc();
    resolution_ =
        model_->numFaces() ? 100.0f * float(engine_->activeFaces()) / float(model_->numFaces()) : 100.0f;
}

bool EngineSession::hasActiveFaceBesides(uint32_t v, const gdx::PairContraction& record) const {
    for (uint32_t f : model_->vertexFaces(v)) {
        if (!model_->faceState(f).active || !model_->face(f).hasVertex(v))
            continue;
        if (std::find(record.removedFaces.begin(), record.removedFaces.end(), f) == record.removedFaces.end())
            return true;
    }
    return false;
}

void EngineSession::reachVertices(uint32_t target) {
    uint32_t used = usedVertices();
    gdx::PairContraction record;
    std::vector<uint32_t> seen;
    while (used > target && engine_->nextContraction(record)) {
        // Vertices the contraction leaves without faces: the removed one, the kept one when no face
        // changes, and the third corners of removed faces that have no other face.
        uint32_t lost = 1 + (record.changedFaces.empty() ? 1 : 0);
        seen.clear();
        for (uint32_t f : record.removedFaces)
            for (uint32_t c = 0; c < 3; ++c) {
                const uint32_t u = model_->face(f).vertex(c);
                if (u == record.keptVertex || u == record.removedVertex ||
                    std::find(seen.begin(), seen.end(), u) != seen.end())
                    continue;
                seen.push_back(u);
                lost += hasActiveFaceBesides(u, record) ? 0 : 1;
            }
        const uint32_t after = used >= lost ? used - lost : 0;
        // Stop when the step would not bring the count closer; on a tie, keep the larger count.
        if (after < target && target - after >= used - target)
            break;
        engine_->applyContraction(record);
        sequence_.push_back(record);
        used = after;
    }
    resolution_ =
        model_->numFaces() ? 100.0f * float(engine_->activeFaces()) / float(model_->numFaces()) : 100.0f;
}

uint32_t EngineSession::usedVertices() const {
    std::vector<uint8_t> used(model_->numVertices(), 0);
    uint32_t count = 0;
    for (uint32_t f = 0; f < model_->numFaces(); ++f)
        if (model_->faceState(f).active)
            for (uint32_t c = 0; c < 3; ++c) {
                const uint32_t v = model_->face(f).vertex(c);
                count += used[v] ? 0 : 1;
                used[v] = 1;
            }
    return count;
}

} // namespace gxengine
