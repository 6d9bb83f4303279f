// The main node's outputs, byte for byte, against the values recorded in recorded_outputs.txt: for
// a few meshes (the sample asset, a smooth surface with two UV sets, normals and colours, the same
// surface with hard edges, one large polygon) at the default settings and with normals and colours
// on, at resolutions that go down, back up and down again. Each line holds one hash per output
// channel, so a failure names what changed. Engine work that must not change results (speed, memory)
// keeps this green; a deliberate change of results re-records with
//   GRADIX_RECORD_OUTPUTS=tests/nodes/recorded_outputs.txt build/tests/nodes/node_tests
//       --gtest_filter='RecordedOutputs*'   (one command line)
#include "NodesFixture.h"
#include "QSlim.h"
#include "io/MeshImporter.h"

#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

using namespace gxhost;

namespace {

// FNV-1a over the bytes of whatever is added.
struct Hash {
    uint64_t value = 1469598103934665603ull;
    template <typename T> Hash& add(const T& x) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(&x);
        for (size_t i = 0; i < sizeof(T); ++i)
            value = (value ^ p[i]) * 1099511628211ull;
        return *this;
    }
    template <typename T> Hash& all(const std::vector<T>& xs) {
        add(xs.size());
        for (const T& x : xs)
            add(x);
        return *this;
    }
};

// An n x n grid of quads over a bump: two UV sets (the first cut along x = n/2), colours across the
// grid, and per corner either the surface's smooth normal or, with `hard`, its face's own normal.
SceneMesh surface(uint32_t n, bool hard) {
    SceneMesh m;
    m.name = "src";
    auto height = [](float x, float y) { return 0.6f * std::sin(0.45f * x) * std::cos(0.3f * y); };
    for (uint32_t y = 0; y <= n; ++y)
        for (uint32_t x = 0; x <= n; ++x)
            m.points.push_back({float(x), float(y), height(float(x), float(y))});
    for (int k = 0; k < 2; ++k) {
        SceneUVSet set;
        set.name = k == 0 ? "map1" : "map2";
        for (uint32_t y = 0; y <= n; ++y)
            for (uint32_t x = 0; x <= n; ++x) {
                set.u.push_back(float(x) / float(n) + (k == 0 && x > n / 2 ? 0.25f : 0.0f));
                set.v.push_back(float(y) / float(n) * (k + 1.0f));
            }
        for (uint32_t y = 0; y <= n; ++y) // the seam's second copy
            set.u.push_back(0.5f), set.v.push_back(float(y) / float(n) * (k + 1.0f));
        m.uvSets.push_back(set);
    }
    for (uint32_t y = 0; y < n; ++y)
        for (uint32_t x = 0; x < n; ++x) {
            const int a = int(y * (n + 1) + x);
            const int corners[4] = {a, a + 1, a + int(n) + 2, a + int(n) + 1};
            m.faceCounts.push_back(4);
            m.faceMaterial.push_back(-1);
            const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
            for (int c : corners) {
                const uint32_t cx = uint32_t(c) % (n + 1), cy = uint32_t(c) / (n + 1);
                m.faceVertices.push_back(c);
                const bool seam = cx == n / 2 && x >= n / 2;
                m.uvSets[0].uvIds.push_back(seam ? int((n + 1) * (n + 1) + cy) : c);
                m.uvSets[1].uvIds.push_back(c);
                const float px = hard ? fx : float(cx), py = hard ? fy : float(cy);
                const float dx = 0.27f * std::cos(0.45f * px) * std::cos(0.3f * py);
                const float dy = -0.18f * std::sin(0.45f * px) * std::sin(0.3f * py);
                const float len = std::sqrt(dx * dx + dy * dy + 1.0f);
                m.normals.push_back({-dx / len, -dy / len, 1.0f / len});
                m.colors.push_back({float(cx) / float(n), float(cy) / float(n), 0.5f, 1.0f});
                m.hasColor.push_back(1);
            }
        }
    return m;
}

// One polygon of `corners` corners around a slightly wavy circle.
SceneMesh bigPolygon(int corners) {
    SceneMesh m;
    m.name = "src";
    m.faceCounts = {corners};
    SceneUVSet set;
    set.name = "map1";
    for (int i = 0; i < corners; ++i) {
        const float a = 6.2831853f * float(i) / float(corners);
        m.points.push_back({std::cos(a), std::sin(a), 0.05f * std::sin(5.0f * a)});
        m.faceVertices.push_back(i);
        set.u.push_back(0.5f + 0.5f * std::cos(a));
        set.v.push_back(0.5f + 0.5f * std::sin(a));
        set.uvIds.push_back(i);
    }
    m.uvSets.push_back(set);
    m.faceMaterial = {-1};
    return m;
}

SceneMesh sample() {
    std::vector<SceneMesh> meshes;
    std::string error;
    EXPECT_TRUE(importSceneFile(GRADIX_SAMPLE, meshes, error)) << error;
    if (meshes.empty())
        return SceneMesh();
    meshes[0].name = "src";
    return meshes[0];
}

} // namespace

class RecordedOutputs : public NodesFixture {
protected:
    // One line: "<case> <resolution> <points> <faces> <uvs> <normals> <colours> <uv lists> <record>".
    std::string record(const std::string& name, int resolution) {
        SceneMesh out, edited;
        EXPECT_TRUE(meshToScene(meshAt("gx.outMesh"), out)) << name << " " << resolution;
        Hash points, faces, uvs, normals, colours, lists, slim;
        points.all(out.points);
        faces.all(out.faceCounts).all(out.faceVertices);
        normals.all(out.normals);
        colours.all(out.colors).all(out.hasColor);
        const MObject values = meshAt("gx.outUVs"), ids = meshAt("gx.outUVids");
        if (!values.isNull()) {
            MFnDoubleArrayData array(values);
            for (unsigned i = 0; i < array.length(); ++i)
                lists.add(array[i]);
        }
        if (!ids.isNull()) {
            MFnIntArrayData array(ids);
            for (unsigned i = 0; i < array.length(); ++i)
                lists.add(array[i]);
        }
        EXPECT_TRUE(meshToScene(meshAt("ed.outMesh"), edited));
        for (const SceneMesh* m : {&out, &edited})
            for (const SceneUVSet& set : m->uvSets)
                uvs.add(set.name.size()).all(set.u).all(set.v).all(set.uvIds);

        // The record the visualizer reads: every face and its state, and the queued pairs in queue order.
        const SlimInfoAttribute* info = slimInfo();
        if (info && info->model && info->engine) {
            const gdx::Model& model = *info->model;
            for (uint32_t f = 0; f < model.numFaces(); ++f) {
                for (uint32_t c = 0; c < 3; ++c)
                    slim.add(model.face(f).vertex(c)).add(model.face(f).wedge(c));
                slim.add(model.faceState(f).active);
            }
            std::vector<const gdx::Edge*> queued;
            for (uint32_t i = 0; i < info->engine->queue().size(); ++i)
                queued.push_back(&info->engine->queued(i));
            std::sort(queued.begin(), queued.end(),
                      [](const gdx::Edge* x, const gdx::Edge* y) { return gdx::edgeLess(*x, *y); });
            for (const gdx::Edge* e : queued)
                slim.add(e->first).add(e->second).add(e->cost()).add(e->target);
        }
        std::ostringstream line;
        line << name << " " << resolution << std::hex;
        for (const Hash* h : {&points, &faces, &uvs, &normals, &colours, &lists, &slim})
            line << " " << h->value;
        return line.str();
    }
};

TEST_F(RecordedOutputs, MatchTheRecordedHashes) {
    struct Case {
        std::string name;
        SceneMesh (*mesh)();
        bool attributes; // normals and colours on
    };
    const Case cases[] = {
        {"sample", sample, false},
        {"sample+attributes", sample, true},
        {"smooth", [] { return surface(16, false); }, false},
        {"smooth+attributes", [] { return surface(16, false); }, true},
        {"hard", [] { return surface(16, true); }, false},
        {"hard+attributes", [] { return surface(16, true); }, true},
        {"polygon", [] { return bigPolygon(300); }, false},
    };
    std::vector<std::string> lines;
    for (const Case& c : cases) {
        resetScene();
        ASSERT_TRUE(loadPlugin(GX_NODES_PLUGIN));
        buildGraph(c.mesh());
        if (c.attributes) {
            ASSERT_TRUE(setAttr("gx.useNormals", 1));
            ASSERT_TRUE(setAttr("gx.useVertexColors", 1));
        }
        for (int resolution : {100, 10, 50, 10, 3, 0}) {
            ASSERT_TRUE(setAttr("gx.resolution", resolution));
            lines.push_back(record(c.name, resolution));
        }
    }

    const std::string path = std::string(GX_TEST_SOURCE_DIR) + "/recorded_outputs.txt";
    if (const char* out = std::getenv("GRADIX_RECORD_OUTPUTS")) {
        std::ofstream file(out);
        for (const std::string& line : lines)
            file << line << "\n";
        GTEST_SKIP() << "recorded " << lines.size() << " lines to " << out;
    }
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    std::vector<std::string> recorded;
    for (std::string line; std::getline(file, line);)
        recorded.push_back(line);
    ASSERT_EQ(recorded.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], recorded[i]) << "hash order: points faces uvs normals colours uv-lists record";
}
