// Outputs written through the host's mesh writer: materials of non-glTF inputs survive (read back
// through the same Assimp reader as the tool's importer, every used material has the input's
// colours, factors and texture references: external images by the same path, embedded ones with the
// same bytes); a mesh instanced by several nodes is simplified once and written once; PLY is binary
// unless asked for ASCII.
#include "../GridMesh.h"
#include "ToolRun.h"

#include "io/GltfDocument.h"
#include "io/MaterialNames.h"
#include "io/MeshExporter.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>

using namespace apptest;

namespace {

using Facts = std::map<std::string, std::string>;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

// Per material name, what a renderer takes from it: colours, factors and every texture slot.
std::map<std::string, Facts> materialFacts(const std::string& path) {
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    const aiScene* scene = importer.ReadFile(path, 0);
    EXPECT_TRUE(scene) << path << ": " << importer.GetErrorString();
    std::map<std::string, Facts> out;
    for (unsigned i = 0; scene && i < scene->mNumMaterials; ++i) {
        const std::string name = gxhost::materialNameOf(*scene, i, false);
        if (name.empty())
            continue;
        const aiMaterial& m = *scene->mMaterials[i];
        // A writer may leave out a value equal to its format's default.
        Facts& facts = out[name] = {{"specular", "0 0 0"}, {"shininess", "0"}, {"opacity", "1"}};
        const std::pair<const char*, std::tuple<const char*, unsigned, unsigned>> colours[] = {
            {"diffuse", {AI_MATKEY_COLOR_DIFFUSE}},
            {"specular", {AI_MATKEY_COLOR_SPECULAR}},
            {"ambient", {AI_MATKEY_COLOR_AMBIENT}},
            {"emissive", {AI_MATKEY_COLOR_EMISSIVE}}};
        for (const auto& [label, key] : colours) {
            aiColor4D c;
            if (m.Get(std::get<0>(key), std::get<1>(key), std::get<2>(key), c) == AI_SUCCESS)
                facts[label] = number(c.r) + " " + number(c.g) + " " + number(c.b);
        }
        float value = 0;
        if (m.Get(AI_MATKEY_SHININESS, value) == AI_SUCCESS)
            facts["shininess"] = number(value);
        if (m.Get(AI_MATKEY_OPACITY, value) == AI_SUCCESS)
            facts["opacity"] = number(value);
        for (int type = aiTextureType_DIFFUSE; type <= aiTextureType_TRANSMISSION; ++type)
            for (unsigned k = 0; k < m.GetTextureCount(static_cast<aiTextureType>(type)); ++k) {
                aiString file;
                m.GetTexture(static_cast<aiTextureType>(type), k, &file);
                const aiTexture* embedded = scene->GetEmbeddedTexture(file.C_Str());
                std::string& fact = facts["texture " + std::to_string(type) + "." + std::to_string(k)];
                if (!embedded)
                    fact = file.C_Str();
                else if (embedded->mHeight == 0)
                    fact.assign(reinterpret_cast<const char*>(embedded->pcData), embedded->mWidth);
                else
                    fact.assign(reinterpret_cast<const char*>(embedded->pcData),
                                4u * embedded->mWidth * embedded->mHeight);
            }
    }
    return out;
}

// A bumpy n x n quad sheet with a UV per point and a colour per quad.
gxhost::SceneMesh sheet(const std::string& name, int n) {
    gxhost::SceneMesh mesh = gxtest::gridMesh(name, n, [](float x, float y) {
        return std::array<float, 3>{x, y, float(std::sin(x * 0.7) * std::cos(y * 0.5))};
    });
    for (size_t c = 0; c < mesh.faceVertices.size(); ++c) {
        mesh.colors.push_back({float(c / 4 % size_t(n)) / n, float(c / 4 / size_t(n)) / n, 0.5f, 1.0f});
        mesh.hasColor.push_back(1);
    }
    return mesh;
}

} // namespace

TEST(OtherFormats, MaterialsKeepTexturesAndParameters) {
    struct Case {
        std::string model, ext;
        std::vector<std::string> compared; // empty: every fact
    };
    const std::vector<Case> cases = {
        {"OBJ/spider.obj", "obj", {}},
        {"FBX/spider.fbx", "fbx", {}},
        {"Collada/duck.dae", "dae", {}},
        {"FBX/box_orphant_embedded_texture.fbx", "fbx", {}},
        // glTF keeps the base colour and its texture of another format's material.
        {"FBX/embedded_ascii/box.FBX", "glb", {"diffuse", "texture 1.0"}},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model + " -> " + c.ext);
        const std::string in = std::string(GX_ASSIMP_MODELS) + "/" + c.model;
        const std::string out = dir.path(std::to_string(&c - cases.data()) + "." + c.ext);
        const ToolRun run = gradix({"simplify", in, "-o", out, "--percent", "50"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("texture"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("embedded"), std::string::npos) << run.err;
        const auto before = materialFacts(in), after = materialFacts(out);
        size_t textures = 0;
        for (const auto& [name, facts] : after) {
            if (!before.count(name))
                continue;
            Facts wanted = before.at(name), got = facts;
            for (Facts* kept : {&wanted, &got})
                for (auto fact = kept->begin(); fact != kept->end();)
                    fact = c.compared.empty() || std::count(c.compared.begin(), c.compared.end(), fact->first)
                               ? std::next(fact)
                               : kept->erase(fact);
            for (const auto& fact : wanted)
                textures += fact.first.rfind("texture", 0) == 0;
            EXPECT_EQ(got, wanted) << "material " << name;
        }
        for (const std::string& used : materialNames(readMeshes(in)))
            EXPECT_TRUE(after.count(used)) << "material " << used << " is not written";
        EXPECT_GT(textures, 0u) << "no textured material was compared";
    }
}

TEST(OtherFormats, InstancedMeshIsSimplifiedOnceAndWrittenOnce) {
    ScratchDir dir;
    gxhost::SceneMesh a = sheet("a", 12), b = a, c = a;
    b.name = "b";
    b.instanceOf = "a";
    b.transform[3] = 20;
    c.name = "c";
    c.instanceOf = "a";
    c.parent = "b"; // an instance below an instance
    c.transform[7] = 20;
    std::string error;
    ASSERT_TRUE(gxhost::exportSceneFile(dir.path("in.dae"), "", {a, b, c}, error)) << error;
    for (const char* ext : {"dae", "glb"}) {
        SCOPED_TRACE(ext);
        const std::string out = dir.path(std::string("out.") + ext);
        const ToolRun run = gradix({"--json", "simplify", dir.path("in.dae"), "-o", out, "--percent", "50"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(nlohmann::json::parse(run.out)["meshes"].size(), 1u) << run.out;
        const auto back = readMeshes(out);
        ASSERT_EQ(back.size(), 3u);
        EXPECT_EQ(back[1].instanceOf, back[0].name);
        EXPECT_EQ(back[2].instanceOf, back[0].name);
        EXPECT_EQ(back[2].parent, back[1].name);
        EXPECT_EQ(back[1].transform[3], 20);
        EXPECT_LT(triangleCount({back[0]}), triangleCount({a}));
    }
    gxhost::GltfDocument glb;
    ASSERT_TRUE(glb.load(dir.path("out.glb"), error)) << error;
    EXPECT_EQ(glb.asset["meshes"].size(), 1u);
}

TEST(OtherFormats, PlyIsBinaryUnlessAskedForAscii) {
    ScratchDir dir;
    std::string error;
    ASSERT_TRUE(gxhost::exportSceneFile(dir.path("in.glb"), "", {sheet("s", 10)}, error)) << error;
    const std::string binary = dir.path("b.ply"), ascii = dir.path("a.ply");
    ASSERT_EQ(gradix({"simplify", dir.path("in.glb"), "-o", binary, "--percent", "50"}).status, 0);
    const ToolRun run =
        gradix({"simplify", dir.path("in.glb"), "-o", ascii, "--percent", "50", "--format", "ply-ascii"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readBytes(binary).find("format binary_little_endian 1.0"), std::string::npos);
    EXPECT_NE(readBytes(ascii).find("format ascii 1.0"), std::string::npos);
    // Both read back to the same mesh, colours and UVs included.
    const auto fromBinary = readMeshes(binary), fromAscii = readMeshes(ascii);
    ASSERT_EQ(fromBinary.size(), 1u);
    ASSERT_EQ(fromAscii.size(), 1u);
    const gxhost::SceneMesh &x = fromBinary[0], &y = fromAscii[0];
    EXPECT_TRUE(hasColors(x));
    ASSERT_EQ(x.uvSets.size(), 1u);
    ASSERT_EQ(y.uvSets.size(), 1u);
    EXPECT_EQ(x.faceVertices, y.faceVertices);
    ASSERT_EQ(x.points.size(), y.points.size());
    for (size_t i = 0; i < x.points.size(); ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(x.points[i][k], y.points[i][k], 1e-4);
    ASSERT_EQ(x.uvSets[0].uvIds.size(), y.uvSets[0].uvIds.size());
    for (size_t i = 0; i < x.uvSets[0].uvIds.size(); ++i) {
        EXPECT_NEAR(x.uvSets[0].u[x.uvSets[0].uvIds[i]], y.uvSets[0].u[y.uvSets[0].uvIds[i]], 1e-4);
        EXPECT_NEAR(x.colors[i][0], y.colors[i][0], 1e-2);
    }
    EXPECT_LT(readBytes(binary).size(), readBytes(ascii).size());
}
