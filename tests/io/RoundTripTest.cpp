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
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(expected.transform[i], actual.transform[i], 1e-5) << actual.name << " element " << i;
    }
}

class LosslessFormat : public ::testing::TestWithParam<std::string> {};

// Three UV sets with seams, hard normals, colours with a border, two materials and an open outline
// come back face by face, welded the same way.
TEST_P(LosslessFormat, sheetKeepsEveryAttributeAndTheWeldedTopology) {
    ScratchDir dir;
    const SceneMesh sheet = makeSheet(true);
    const auto back = roundTrip({sheet}, dir.path("sheet." + GetParam()));
    ASSERT_EQ(back.size(), 1u);
    const SceneMesh& m = back[0];
    EXPECT_EQ(m.name, "sheet");
    EXPECT_EQ(m.points.size(), sheet.points.size());
    EXPECT_EQ(m.faceCounts.size(), sheet.faceCounts.size());
    EXPECT_EQ(boundaryEdgeCount(m), 10u);
    ASSERT_EQ(m.uvSets.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(uvCount(m, k), uvCount(sheet, k)) << "set " << k;
    }
    EXPECT_EQ(canonicalFaces(m), canonicalFaces(sheet));
}

TEST_P(LosslessFormat, hierarchyAndTransformsSurvive) {
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
TEST_P(LosslessFormat, meshWithoutItsParentGoesToTheRoot) {
    ScratchDir dir;
    const SceneMesh arm = makeHierarchy()[1];
    const auto back = roundTrip({arm}, dir.path("arm." + GetParam()));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].name, "arm");
    EXPECT_EQ(back[0].parent, "");
    expectTransformsEqual(arm, back[0]);
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessFormat, ::testing::Values("gltf", "glb", "fbx"));

// glTF stores triangles only; FBX, Collada, OBJ and PLY keep quads as quads.
TEST(PolygonFormats, quadsStayQuads) {
    ScratchDir dir;
    const SceneMesh sheet = makeSheet(false);
    for (const std::string ext : {"fbx", "dae", "obj", "ply"}) {
        const auto back = roundTrip({sheet}, dir.path("quads." + ext));
        ASSERT_EQ(back.size(), 1u) << ext;
        EXPECT_EQ(canonicalGeometry(back[0]), canonicalGeometry(sheet)) << ext;
    }
}

TEST(PolygonFormats, fbxKeepsQuadsWithEveryAttribute) {
    ScratchDir dir;
    const SceneMesh sheet = makeSheet(false);
    const auto back = roundTrip({sheet}, dir.path("quads.fbx"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(canonicalFaces(back[0]), canonicalFaces(sheet));
}

// FBX is the one format here that stores UV set names.
TEST(PolygonFormats, fbxKeepsUVSetNames) {
    ScratchDir dir;
    SceneMesh sheet = makeSheet(false);
    sheet.uvSets[0].name = "map1";
    sheet.uvSets[1].name = "lightmap";
    sheet.uvSets[2].name = "detail_UV";
    const auto back = roundTrip({sheet}, dir.path("named.fbx"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(canonicalFaces(back[0]), canonicalFaces(sheet));
}

// ASCII FBX keeps six decimals, enough for this sheet.
TEST(PolygonFormats, asciiFbxOnRequest) {
    ScratchDir dir;
    const SceneMesh sheet = makeSheet(false);
    const auto back = roundTrip({sheet}, dir.path("text.fbx"), "fbxascii");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(readText(dir.path("text.fbx")).rfind("; FBX", 0), 0u);
    EXPECT_EQ(back[0].points.size(), sheet.points.size());
    EXPECT_EQ(canonicalGeometry(back[0]), canonicalGeometry(sheet));
}

// OBJ keeps the first UV set, normals, colour RGB and materials.
TEST(LimitedFormats, objKeepsFirstUVSetNormalsAndMaterials) {
    ScratchDir dir;
    SceneMesh sheet = makeSheet(true);
    const auto back = roundTrip({sheet}, dir.path("sheet.obj"));
    ASSERT_EQ(back.size(), 1u);
    const SceneMesh& m = back[0];
    EXPECT_EQ(m.name, "sheet");
    EXPECT_EQ(m.points.size(), sheet.points.size());
    EXPECT_EQ(boundaryEdgeCount(m), 10u);
    ASSERT_EQ(m.uvSets.size(), 1u);
    EXPECT_EQ(uvCount(m, 0), uvCount(sheet, 0));
    // What OBJ holds: drop the other sets and colour alpha from the expectation.
    sheet.uvSets.resize(1);
    for (auto& c : sheet.colors) {
        c[3] = 1.0f;
    }
    EXPECT_EQ(canonicalFaces(m), canonicalFaces(sheet));
}

// Collada keeps every UV set, normals and materials, but colours lose their alpha.
TEST(LimitedFormats, colladaKeepsEverythingButColourAlpha) {
    ScratchDir dir;
    SceneMesh sheet = makeSheet(true);
    const auto back = roundTrip({sheet}, dir.path("sheet.dae"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].points.size(), sheet.points.size());
    for (auto& c : sheet.colors) {
        c[3] = 1.0f;
    }
    EXPECT_EQ(canonicalFaces(back[0]), canonicalFaces(sheet));
}

// PLY keeps the first UV set, normals and 8-bit colours, but no materials.
TEST(LimitedFormats, plyKeepsFirstUVSetNormalsAndByteColours) {
    ScratchDir dir;
    SceneMesh sheet = makeSheet(true);
    const auto back = roundTrip({sheet}, dir.path("sheet.ply"));
    ASSERT_EQ(back.size(), 1u);
    const SceneMesh& m = back[0];
    EXPECT_EQ(m.points.size(), sheet.points.size());
    EXPECT_EQ(boundaryEdgeCount(m), 10u);
    ASSERT_EQ(m.uvSets.size(), 1u);
    EXPECT_EQ(uvCount(m, 0), uvCount(sheet, 0));
    sheet.uvSets.resize(1);
    sheet.faceMaterial.clear();
    SceneMesh withoutMaterials = m;
    withoutMaterials.faceMaterial.clear();
    EXPECT_EQ(canonicalFaces(withoutMaterials, 1.0f / 255), canonicalFaces(sheet, 1.0f / 255));
}

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
        for (std::string* text : {&a, &b}) {
            for (size_t at; (at = text->find(text == &a ? "a.mtl" : "b.mtl")) != std::string::npos;) {
                text->replace(at, 5, "x.mtl");
            }
        }
        EXPECT_EQ(a, b) << ext;
    }
}

} // namespace
} // namespace gxtest
