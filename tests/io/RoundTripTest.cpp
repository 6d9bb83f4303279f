// Export -> import of hand-built meshes: what each format must give back.
#include "MeshTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gxtest {
namespace {

std::vector<SceneMesh> roundTrip(const std::vector<SceneMesh>& meshes, const std::string& path,
                                 const std::string& format = "") {
    std::string error;
    EXPECT_TRUE(gxhost::exportSceneFile(path, format, meshes, error)) << error;
    std::vector<SceneMesh> back;
    EXPECT_TRUE(gxhost::importSceneFile(path, back, error)) << error;
    return back;
}

size_t uvCount(const SceneMesh& m, size_t set) {
    return m.uvSets.at(set).u.size();
}

// Two meshes, the second parented to the first; both transforms rotate, scale and translate.
std::vector<SceneMesh> makeHierarchy() {
    SceneMesh parent = makeSheet(false, "body");
    const double c = std::cos(0.5), s = std::sin(0.5);
    parent.transform = {c, 0, s, 1.5, 0, 1, 0, -2, -s, 0, c, 0.25, 0, 0, 0, 1};
    SceneMesh child = makeSheet(false, "arm");
    child.parent = "body";
    child.transform = {2, 0, 0, 0, 0, 2, 0, 3, 0, 0, 2, -1, 0, 0, 0, 1};
    return {parent, child};
}

void expectTransformsEqual(const SceneMesh& expected, const SceneMesh& actual) {
    for (size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(expected.transform[i], actual.transform[i], 1e-5) << actual.name << " element " << i;
}

// What each format gives back of the sheet (three UV sets with seams, hard normals, colours with a
// border, two materials, an open outline), face by face and welded the same way, as triangles and
// as quads: how many UV sets, whether colour alpha and materials survive, how finely colours are
// kept, and whether the mesh's and the UV sets' names survive (binary FBX alone stores the latter).
// glTF stores triangles only.
const struct {
    const char* ext;
    const char* format;
    size_t uvSets;
    bool alpha, materials, quads, meshName, setNames;
    float colorStep;
} kFormats[] = {
    {"gltf", "", 3, true, true, false, true, false, 1e-4f},
    {"glb", "", 3, true, true, false, true, false, 1e-4f},
    {"fbx", "", 3, true, true, true, true, true, 1e-4f},
    {"fbx", "fbxascii", 3, true, true, true, true, false, 1e-4f}, // ASCII FBX keeps six decimals
    {"dae", "", 3, false, true, true, true, false, 1e-4f},
    {"obj", "", 1, false, true, true, true, false, 1e-4f},
    {"ply", "", 1, true, false, true, false, false, 1.0f / 255},
};

TEST(Formats, sheetComesBackWithWhatTheFormatKeeps) {
    ScratchDir dir;
    for (const auto& k : kFormats)
        for (const bool quads : {false, true}) {
            if (quads && !k.quads)
                continue;
            const std::string file = std::string(k.format) + (quads ? "quads." : "triangles.") + k.ext;
            SCOPED_TRACE(file);
            SceneMesh sheet = makeSheet(!quads);
            if (k.setNames) {
                sheet.uvSets[1].name = "lightmap";
                sheet.uvSets[2].name = "detail_UV";
            }
            const auto back = roundTrip({sheet}, dir.path(file), k.format);
            ASSERT_EQ(back.size(), 1u);
            SceneMesh m = back[0];
            EXPECT_EQ(m.name == "sheet", k.meshName) << m.name;
            EXPECT_EQ(m.points.size(), sheet.points.size());
            EXPECT_EQ(boundaryEdgeCount(m), 10u);
            ASSERT_EQ(m.uvSets.size(), k.uvSets);
            sheet.uvSets.resize(k.uvSets);
            for (size_t set = 0; set < k.uvSets; ++set)
                EXPECT_EQ(uvCount(m, set), uvCount(sheet, set)) << "set " << set;
            for (auto& c : sheet.colors)
                c[3] = k.alpha ? c[3] : 1.0f;
            if (!k.materials) {
                sheet.faceMaterial.clear();
                m.faceMaterial.clear();
            }
            EXPECT_EQ(canonicalFaces(m, k.colorStep), canonicalFaces(sheet, k.colorStep));
        }
    EXPECT_EQ(readText(dir.path("fbxasciiquads.fbx")).rfind("; FBX", 0), 0u);
}

class HierarchyFormat : public ::testing::TestWithParam<std::string> {};

TEST_P(HierarchyFormat, hierarchyAndTransformsSurvive) {
    ScratchDir dir;
    const auto meshes = makeHierarchy();
    const auto back = roundTrip(meshes, dir.path("pair." + GetParam()));
    ASSERT_EQ(back.size(), 2u);
    const SceneMesh* body = findMesh(back, "body");
    const SceneMesh* arm = findMesh(back, "arm");
    ASSERT_TRUE(body && arm);
    EXPECT_EQ(body->parent, "");
    EXPECT_EQ(arm->parent, "body");
    expectTransformsEqual(meshes[0], *body);
    expectTransformsEqual(meshes[1], *arm);
}

// A mesh exported without its parent goes to the root with its own transform.
TEST_P(HierarchyFormat, meshWithoutItsParentGoesToTheRoot) {
    ScratchDir dir;
    const SceneMesh arm = makeHierarchy()[1];
    const auto back = roundTrip({arm}, dir.path("arm." + GetParam()));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].name, "arm");
    EXPECT_EQ(back[0].parent, "");
    expectTransformsEqual(arm, back[0]);
}

INSTANTIATE_TEST_SUITE_P(Formats, HierarchyFormat, ::testing::Values("gltf", "glb", "fbx"));

// Bakes the transforms and flattens the hierarchy, as OBJ has neither.
TEST(LimitedFormats, objBakesTransformsIntoPoints) {
    ScratchDir dir;
    SceneMesh moved = makeSheet(false, "moved");
    moved.transform[3] = 10;
    const auto back = roundTrip({moved}, dir.path("moved.obj"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].transform[3], 0.0);
    EXPECT_FLOAT_EQ(back[0].points[0][0], moved.points[0][0] + 10);
}

// A mesh whose faces all lack a material, or lack colours and UVs in part, is written with what it
// has and read back the same.
TEST(PartialAttributes, facesWithoutMaterialColourOrUVsComeBackWithout) {
    ScratchDir dir;
    SceneMesh sheet = makeSheet(false);
    sheet.faceMaterial[0] = -1;
    // The second material's faces have no colour and no UVs in map3.
    size_t corner = 0;
    for (size_t f = 0; f < sheet.faceCounts.size(); ++f) {
        for (int32_t j = 0; j < sheet.faceCounts[f]; ++j, ++corner) {
            if (sheet.faceMaterial[f] == 1) {
                sheet.hasColor[corner] = 0;
                sheet.uvSets[2].uvIds[corner] = -1;
            }
        }
    }
    const auto back = roundTrip({sheet}, dir.path("partial.fbx"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(canonicalFaces(back[0]), canonicalFaces(sheet));
}

TEST(Export, explicitFormatOverridesTheExtension) {
    ScratchDir dir;
    std::string error;
    ASSERT_TRUE(gxhost::exportSceneFile(dir.path("sheet.bin"), "obj", {makeSheet(false)}, error)) << error;
    EXPECT_NE(readText(dir.path("sheet.bin")).find("\nf "), std::string::npos);
}

TEST(Export, gltfWritesItsBufferUnderTheFinalNameAndNothingElse) {
    ScratchDir dir;
    const auto back = roundTrip({makeSheet(true)}, dir.path("sheet.gltf"));
    EXPECT_EQ(back.size(), 1u);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"sheet.bin", "sheet.gltf"}));
    EXPECT_NE(readText(dir.path("sheet.gltf")).find("\"sheet.bin\""), std::string::npos);
}

TEST(Export, outputIsTheSameEveryTime) {
    ScratchDir dir;
    const auto meshes = makeHierarchy();
    std::string error;
    for (const std::string ext : {"glb", "obj", "ply", "dae"}) {
        ASSERT_TRUE(gxhost::exportSceneFile(dir.path("a." + ext), "", meshes, error)) << error;
        ASSERT_TRUE(gxhost::exportSceneFile(dir.path("b." + ext), "", meshes, error)) << error;
        std::string a = readText(dir.path("a." + ext)), b = readText(dir.path("b." + ext));
        // Writers name their companion files after the main file.
        for (std::string* text : {&a, &b})
            for (size_t at; (at = text->find(text == &a ? "a.mtl" : "b.mtl")) != std::string::npos;)
                text->replace(at, 5, "x.mtl");
        EXPECT_EQ(a, b) << ext;
    }
}

} // namespace
} // namespace gxtest
