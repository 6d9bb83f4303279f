// Real models from assimp-testmodels: welding closes seams the files split, and export -> import
// keeps what was imported.
#include "MeshTestSupport.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <map>
#include <numeric>

namespace gxtest {
namespace {

struct Model {
    const char* path;
    bool closed;                      // the file's surface has no boundary once welded
    size_t meshCount;                 // meshes the import must give
    std::vector<std::string> formats; // written and read back (glTF only for triangle models)
};

// glTF with a texture, glTF with two UV sets, a glTF engine of 34 meshes used by 67 nodes, OBJ and
// FBX spiders of 19 textured parts, four FBX cubes under two parents, PLYs with UVs, OBJ and FBX
// with vertex colours.
const Model kModels[] = {
    {"glTF2/BoxTextured-glTF/BoxTextured.gltf", true, 1, {"fbx", "dae", "glb"}},
    {"glTF2/BoxTexcoords-glTF/boxTexcoords.gltf", true, 1, {"fbx", "dae", "glb"}},
    {"glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb", false, 67, {"glb"}},
    {"OBJ/spider.obj", false, 19, {"fbx", "dae", "obj"}},
    {"OBJ/cube_with_vertexcolors.obj", true, 1, {"fbx", "dae", "glb"}},
    {"PLY/cube_uv.ply", true, 1, {"fbx", "dae", "ply"}},
    {"PLY/Wuson.ply", false, 1, {"fbx", "ply"}},
    {"FBX/spider.fbx", false, 19, {"fbx", "dae", "glb"}},
    {"FBX/cubes_with_names.fbx", true, 4, {"fbx", "dae"}},
    {"FBX/box.fbx", true, 1, {"fbx", "dae", "glb"}},
};

void PrintTo(const Model& model, std::ostream* os) {
    *os << model.path;
}

// Boundary edges of the file as Assimp reads it, every vertex its own point: what the simplifier
// would see without welding.
size_t unweldedBoundaryEdges(const std::string& path) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    if (!scene)
        return 0;
    size_t boundary = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh& m = *scene->mMeshes[i];
        std::map<std::pair<unsigned, unsigned>, int> uses;
        for (unsigned f = 0; f < m.mNumFaces; ++f) {
            const aiFace& face = m.mFaces[f];
            for (unsigned j = 0; face.mNumIndices >= 3 && j < face.mNumIndices; ++j) {
                const unsigned a = face.mIndices[j], b = face.mIndices[(j + 1) % face.mNumIndices];
                ++uses[{std::min(a, b), std::max(a, b)}];
            }
        }
        for (const auto& e : uses)
            boundary += e.second == 1 ? 1 : 0;
    }
    return boundary;
}

template <class F> size_t sum(const std::vector<SceneMesh>& meshes, F f) {
    return std::accumulate(meshes.begin(), meshes.end(), size_t(0),
                           [&](size_t total, const SceneMesh& m) { return total + f(m); });
}

class TestModel : public ::testing::TestWithParam<Model> {
protected:
    void SetUp() override {
        if (!modelsInstalled())
            GTEST_SKIP() << "assimp-testmodels is not installed";
    }
};

// Welding closes the seams the file splits; export -> import keeps point, face and UV counts.
TEST_P(TestModel, weldingClosesSeamsAndRoundTripsKeepCounts) {
    const std::string path = modelPath(GetParam().path);
    std::vector<SceneMesh> meshes;
    std::string error;
    ASSERT_TRUE(gxhost::importSceneFile(path, meshes, error)) << error;
    EXPECT_EQ(meshes.size(), GetParam().meshCount);
    const size_t welded = sum(meshes, [](const SceneMesh& m) { return boundaryEdgeCount(m); });
    const size_t unwelded = unweldedBoundaryEdges(path);
    EXPECT_TRUE(!GetParam().closed || welded == 0u) << "welded: " << welded << ", unwelded: " << unwelded;
    EXPECT_LT(welded, unwelded);
    ScratchDir dir;
    for (const std::string& ext : GetParam().formats) {
        const std::string out = dir.path("model." + ext);
        ASSERT_TRUE(gxhost::exportSceneFile(out, "", meshes, error)) << error;
        std::vector<SceneMesh> back;
        ASSERT_TRUE(gxhost::importSceneFile(out, back, error)) << error;
        ASSERT_EQ(back.size(), meshes.size()) << ext;
        for (const SceneMesh& m : meshes) {
            // PLY stores no names: its one mesh is named after the file.
            const SceneMesh* b = ext == "ply" ? &back[0] : findMesh(back, m.name);
            ASSERT_TRUE(b) << ext << " lost " << m.name;
            EXPECT_EQ(b->points.size(), m.points.size()) << ext << " " << m.name;
            EXPECT_EQ(b->faceCounts.size(), m.faceCounts.size()) << ext << " " << m.name;
            ASSERT_EQ(b->uvSets.size(), m.uvSets.size()) << ext << " " << m.name;
            for (size_t k = 0; k < m.uvSets.size(); ++k) {
                EXPECT_EQ(b->uvSets[k].u.size(), m.uvSets[k].u.size())
                    << ext << " " << m.name << " set " << k;
            }
            EXPECT_EQ(boundaryEdgeCount(*b), boundaryEdgeCount(m)) << ext << " " << m.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AssimpTestModels, TestModel, ::testing::ValuesIn(kModels),
                         [](const ::testing::TestParamInfo<Model>& info) {
                             std::string name = info.param.path;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
} // namespace gxtest
