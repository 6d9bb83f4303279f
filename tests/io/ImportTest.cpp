// Import of small hand-written files: welding, attribute seams, names, polygons and transforms.
#include "MeshTestSupport.h"

#include <gtest/gtest.h>

namespace gxtest {
namespace {

std::vector<SceneMesh> importText(const ScratchDir& dir, const std::string& file, const std::string& text) {
    writeText(dir.path(file), text);
    std::vector<SceneMesh> meshes;
    std::string error;
    EXPECT_TRUE(gxhost::importSceneFile(dir.path(file), meshes, error)) << error;
    return meshes;
}

// Two quads side by side, each written with its own copies of the shared corners and its own
// material, UVs split along the shared edge:
//
//   4---3 8---7        points 2/5 and 3/8 are the same positions
//   | A | | B |   ->   one surface of 6 points, 6 boundary edges, and a UV seam along 2-3
//   1---2 5---6
const char* kTwoPanelsObj = R"(mtllib none.mtl
o panels
v 0 0 0
v 1 0 0
v 1 1 0
v 0 1 0
v 1 0 0
v 2 0 0
v 2 1 0
v 1 1 0
vt 0 0
vt 0.5 0
vt 0.5 1
vt 0 1
vt 0.6 0
vt 1 0
vt 1 1
vt 0.6 1
usemtl left
f 1/1 2/2 3/3 4/4
usemtl right
f 5/5 6/6 7/7 8/8
)";

// The parts become one connected surface; a shared point keeps one UV per side of a seam and one id
// for equal UVs: the right panel's UVs start at u = 0.6 (a seam) or at 0.5 (continuous).
TEST(ImportWeld, partsOfOneNodeBecomeOneSurfaceWithUVSeamsWhereTheUVsDiffer) {
    for (const auto& [rightU, uvs] : {std::pair{"0.6", 8u}, {"0.5", 6u}}) {
        std::string text = kTwoPanelsObj;
        for (const char* vt : {"vt 0.6 0\n", "vt 0.6 1\n"})
            text.replace(text.find(vt), 6, std::string("vt ") + rightU);
        ScratchDir dir;
        const auto meshes = importText(dir, "panels.obj", text);
        ASSERT_EQ(meshes.size(), 1u);
        const SceneMesh& m = meshes[0];
        EXPECT_EQ(m.name, "panels");
        EXPECT_EQ(m.points.size(), 6u);
        EXPECT_EQ(m.faceCounts, (std::vector<int32_t>{4, 4}));
        EXPECT_EQ(boundaryEdgeCount(m), 6u);
        EXPECT_EQ(m.materials, (std::vector<std::string>{"left", "right"}));
        EXPECT_EQ(m.faceMaterial, (std::vector<int32_t>{0, 1}));
        ASSERT_EQ(m.uvSets.size(), 1u);
        EXPECT_EQ(m.uvSets[0].name, "map1");
        const auto& ids = m.uvSets[0].uvIds;
        EXPECT_EQ(m.uvSets[0].u.size(), uvs) << rightU;
        // Corner 1 of the left quad and corner 0 of the right quad are the same point.
        EXPECT_EQ(m.faceVertices[1], m.faceVertices[4]);
        EXPECT_EQ(ids[1] == ids[4], uvs == 6u) << rightU;
        EXPECT_EQ(ids[2] == ids[7], uvs == 6u) << rightU;
    }
}

TEST(ImportWeld, polygonsStayPolygonsAndRepeatedCornersAreDropped) {
    ScratchDir dir;
    const auto meshes = importText(dir, "shapes.obj", R"(o shapes
v 0 0 0
v 1 0 0
v 2 1 0
v 1 2 0
v 0 1 0
v 1 0 0
f 1 2 3 4 5
f 1 2 6 3
f 1 2 6
f 2 3 6 5
p 1
l 1 3
)");
    ASSERT_EQ(meshes.size(), 1u);
    // The pentagon stays; "1 2 6 3" repeats point 2 (6 is at the same position) and becomes a
    // triangle; "1 2 6" has only two distinct points and "2 3 6 5" meets point 2 twice (pinched): both
    // are left out, as are the point and line.
    EXPECT_EQ(meshes[0].faceCounts, (std::vector<int32_t>{5, 3}));
    EXPECT_EQ(meshes[0].points.size(), 5u);
}

TEST(ImportNames, nodeNamesAreMadeUniqueAndCommandLineSafeAndFacesWithoutAMaterialHaveNone) {
    ScratchDir dir;
    const auto meshes = importText(dir, "named.obj", R"(v 0 0 0
v 1 0 0
v 0 1 0
o left.arm
f 1 2 3
o left-arm
f 1 2 3
o 2nd
f 1 2 3
)");
    ASSERT_EQ(meshes.size(), 3u);
    EXPECT_EQ(meshes[0].name, "left_arm");
    EXPECT_EQ(meshes[1].name, "left_arm1");
    EXPECT_EQ(meshes[2].name, "_2nd");
    EXPECT_TRUE(meshes[0].materials.empty());
    EXPECT_EQ(meshes[0].faceMaterial, (std::vector<int32_t>{-1}));
    EXPECT_TRUE(meshes[0].uvSets.empty());
    EXPECT_TRUE(meshes[0].colors.empty());
}

// A transform node without a mesh between the root and the mesh: its transform folds into the
// mesh's, which is kept row-major with the translation in the last column.
TEST(ImportTransforms, emptyAncestorsFoldIntoTheMeshTransform) {
    ScratchDir dir;
    const auto meshes = importText(dir, "nested.gltf", R"({
  "asset": {"version": "2.0"},
  "scene": 0,
  "scenes": [{"nodes": [0]}],
  "nodes": [{"name": "group", "translation": [1, 2, 3], "children": [1]},
            {"name": "tri", "mesh": 0, "translation": [0, 0, 5]}],
  "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}],
  "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3",
                 "min": [0, 0, 0], "max": [1, 1, 0]}],
  "bufferViews": [{"buffer": 0, "byteLength": 36}],
  "buffers": [{"byteLength": 36,
               "uri": "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}]
})");
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].name, "tri");
    EXPECT_EQ(meshes[0].parent, "");
    for (auto [i, value] : {std::pair{3, 1.0}, {7, 2.0}, {11, 8.0}, {15, 1.0}})
        EXPECT_DOUBLE_EQ(meshes[0].transform[size_t(i)], value) << i;
}

// UV set names from a file that has them; Assimp's RAW reader leaves an empty child slot under the
// root, which is skipped.
TEST(ImportModels, uvSetNamesFromTheFileAndEmptyNodeSlotsSkipped) {
    if (!modelsInstalled())
        GTEST_SKIP() << "assimp-testmodels is not installed";
    std::vector<SceneMesh> fbx, raw;
    std::string error;
    ASSERT_TRUE(gxhost::importSceneFile(modelPath("FBX/box_orphant_embedded_texture.fbx"), fbx, error))
        << error;
    ASSERT_EQ(fbx.size(), 1u);
    ASSERT_EQ(fbx[0].uvSets.size(), 2u);
    EXPECT_EQ(fbx[0].uvSets[0].name, "UVChannel_1");
    EXPECT_EQ(fbx[0].uvSets[1].name, "UVChannel_3");
    ASSERT_TRUE(gxhost::importSceneFile(modelPath("RAW/WithColor.raw"), raw, error)) << error;
    ASSERT_EQ(raw.size(), 1u);
    EXPECT_EQ(raw[0].faceCounts.size(), 2u);
    EXPECT_FALSE(raw[0].colors.empty());
}

} // namespace
} // namespace gxtest
