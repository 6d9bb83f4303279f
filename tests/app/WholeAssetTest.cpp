// The whole asset survives simplification: a glTF input written as glTF keeps its materials,
// textures, node tree, names, instancing, skins, morph targets and animations, with only the
// geometry replaced; other outputs name what they cannot hold, and --strict refuses to write them.
// Every glTF the tests write passes the Khronos validator.
#include "ToolRun.h"

#include "io/GltfDocument.h"
#include "io/GltfRewrite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace apptest;
using nlohmann::json;

namespace {

const std::string kModels = std::string(GX_ASSIMP_MODELS) + "/glTF2/";

gxhost::GltfDocument load(const std::string& path) {
    gxhost::GltfDocument doc;
    std::string error;
    EXPECT_TRUE(doc.load(path, error)) << error;
    return doc;
}

// Runs the validator over `files`; true when every file has no error.
void expectValid(const std::vector<std::string>& files) {
    const std::string node = GRADIX_NODE;
    if (node.empty())
        GTEST_SKIP() << "node is not installed: the glTF validator cannot run (scripts/setup.sh installs it)";
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(GRADIX_GLTF_VALIDATOR).parent_path() /
                                        "node_modules/gltf-validator"))
        << "gltf-validator is not installed in tools/ (run scripts/setup.sh)";
    std::vector<std::string> args{GRADIX_GLTF_VALIDATOR};
    args.insert(args.end(), files.begin(), files.end());
    const ToolRun run = runProgram(node, args);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
}

// The embedded bytes or the URI of every image.
std::vector<std::string> images(const gxhost::GltfDocument& doc) {
    std::vector<std::string> out;
    for (const json& image : doc.asset.value("images", json::array())) {
        std::vector<uint8_t> bytes;
        std::string error;
        if (image.contains("bufferView")) {
            EXPECT_TRUE(doc.viewBytes(image["bufferView"].get<size_t>(), bytes, error)) << error;
        }
        out.push_back(image.contains("uri") ? image["uri"].get<std::string>()
                                            : std::string(bytes.begin(), bytes.end()));
    }
    return out;
}

struct Counts {
    size_t targets = 0, weightSets = 0, badSums = 0, triangles = 0;
};

Counts countGeometry(const gxhost::GltfDocument& doc) {
    Counts c;
    std::string error;
    for (const json& mesh : doc.asset["meshes"])
        for (const json& p : mesh["primitives"]) {
            c.targets += p.value("targets", json::array()).size();
            std::vector<uint32_t> indices;
            EXPECT_TRUE(doc.readIndices(p["indices"].get<size_t>(), indices, error)) << error;
            c.triangles += indices.size() / 3;
            if (!p["attributes"].contains("WEIGHTS_0"))
                continue;
            std::vector<float> w;
            int components = 0;
            EXPECT_TRUE(doc.readFloats(p["attributes"]["WEIGHTS_0"].get<size_t>(), w, components, error));
            for (size_t i = 0; i + 3 < w.size(); i += 4, ++c.weightSets)
                c.badSums += std::fabs(w[i] + w[i + 1] + w[i + 2] + w[i + 3] - 1.0f) > 1e-4f;
        }
    return c;
}

// What the rewrite must leave exactly as read.
json unchanged(const json& asset) {
    json kept;
    for (const char* key : {"nodes", "materials", "textures", "samplers", "cameras", "scenes", "scene"})
        if (asset.contains(key))
            kept[key] = asset[key];
    kept["animationChannels"] = json::array();
    for (const json& animation : asset.value("animations", json::array()))
        kept["animationChannels"].push_back(animation["channels"]);
    kept["skinJoints"] = json::array();
    for (const json& skin : asset.value("skins", json::array()))
        kept["skinJoints"].push_back({skin["joints"], skin.contains("inverseBindMatrices")});
    kept["meshNames"] = json::array();
    for (const json& mesh : asset["meshes"])
        kept["meshNames"].push_back(mesh.value("name", ""));
    return kept;
}

} // namespace

TEST(WholeAsset, GltfKeepsEverythingButTheGeometry) {
    struct Case {
        std::string model;
        double percent;
    };
    const std::vector<Case> cases = {
        {"BoxTextured-glTF/BoxTextured.gltf", 50},
        {"BoxTextured-glTF-Binary/BoxTextured.glb", 50},
        {"BoxTextured-glTF-Embedded/BoxTextured.gltf", 50},
        {"2CylinderEngine-glTF-Binary/2CylinderEngine.glb", 25}, // 29 meshes instanced by 67 nodes
        {"simple_skin/simple_skin.gltf", 50},
        {"glTF-Sample-Models/AnimatedMorphCube-glTF/AnimatedMorphCube.gltf", 50},
    };
    ScratchDir dir;
    std::vector<std::string> written;
    for (const Case& c : cases) {
        // Both writers for the small models; the large engine once.
        for (const char* ext : {"glb", "gltf"}) {
            if (c.percent == 25 && std::string(ext) == "gltf")
                continue;
            SCOPED_TRACE(c.model + " -> " + ext);
            const std::string in = kModels + c.model;
            const std::string out =
                dir.path(std::filesystem::path(c.model).stem().string() + "_" +
                         std::filesystem::path(c.model).parent_path().filename().string() + "." + ext);
            const bool imageBeside = std::filesystem::exists(dir.path("CesiumLogoFlat.png"));
            const ToolRun run = gradix({"simplify", in, "-o", out, "--percent", std::to_string(c.percent)});
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err.find("'CesiumLogoFlat.png' is referenced beside the input") !=
                          std::string::npos,
                      c.model == "BoxTextured-glTF/BoxTextured.gltf" && !imageBeside)
                << run.err;
            written.push_back(out);
            const gxhost::GltfDocument source = load(in), result = load(out);
            EXPECT_EQ(unchanged(result.asset), unchanged(source.asset));
            EXPECT_EQ(images(result), images(source));
            // External images are referenced by the same relative path: the validator reads them beside the
            // output.
            for (const std::string& uri : images(source))
                if (uri.compare(0, 5, "data:") != 0 &&
                    std::filesystem::exists(std::filesystem::path(in).parent_path() / uri))
                    std::filesystem::copy_file(std::filesystem::path(in).parent_path() / uri, dir.path(uri),
                                               std::filesystem::copy_options::skip_existing);
            json used = result.asset;
            gxhost::refreshExtensionLists(used);
            EXPECT_EQ(used.value("extensionsUsed", json()), result.asset.value("extensionsUsed", json()));
            const Counts before = countGeometry(source), after = countGeometry(result);
            EXPECT_EQ(after.targets, before.targets);
            EXPECT_EQ(after.badSums, 0u);
            EXPECT_EQ(after.weightSets > 0, before.weightSets > 0);
            EXPECT_LT(after.triangles, before.triangles);
        }
    }
    expectValid(written);
}

TEST(WholeAsset, LodChainInOneFileLinksTheLevels) {
    ScratchDir dir;
    std::vector<std::string> written;
    for (const std::string& in :
         {std::string(GRADIX_SAMPLE), kModels + "2CylinderEngine-glTF-Binary/2CylinderEngine.glb"}) {
        SCOPED_TRACE(in);
        const std::string out = dir.path(std::filesystem::path(in).stem().string() + "_chain.glb");
        const ToolRun run = gradix({"--json", "lods", in, "-o", out, "--levels", "50,25,10"});
        ASSERT_EQ(run.status, 0) << run.err;
        // A level is drawn until the next one's measured error spans one pixel of 1080.
        const json levels = json::parse(run.out)["levels"];
        written.push_back(out);
        const gxhost::GltfDocument source = load(in), result = load(out);
        const json& nodes = result.asset["nodes"];
        size_t linked = 0;
        for (size_t n = 0; n < source.asset["nodes"].size(); ++n) {
            if (!nodes[n].contains("mesh"))
                continue;
            ++linked;
            const json ids = nodes[n]["extensions"]["MSFT_lod"]["ids"];
            const json coverage = nodes[n]["extras"]["MSFT_screencoverage"];
            ASSERT_EQ(ids.size(), 2u);
            ASSERT_EQ(coverage.size(), 3u);
            EXPECT_GT(coverage[0].get<double>(), coverage[1].get<double>());
            EXPECT_GT(coverage[1].get<double>(), coverage[2].get<double>());
            for (size_t i = 0; i < 2; ++i)
                EXPECT_NEAR(coverage[i].get<double>() * 1080 *
                                levels[i + 1]["error"]["hausdorffPercent"].get<double>() / 100,
                            1.0, 1e-3);
            for (const json& id : ids)
                EXPECT_NE(nodes[id.get<size_t>()]["mesh"], nodes[n]["mesh"]);
        }
        EXPECT_GT(linked, 0u);
        EXPECT_EQ(result.asset["materials"], source.asset["materials"]); // shared, not copied
        EXPECT_EQ(result.asset["meshes"].size(), 3 * source.asset["meshes"].size());
        EXPECT_EQ(result.asset["extensionsUsed"], json::array({"MSFT_lod"}));
    }
    expectValid(written);
}

TEST(WholeAsset, OtherOutputsNameWhatTheyDropAndStrictWritesNothing) {
    ScratchDir dir;
    const std::string skin = kModels + "simple_skin/simple_skin.gltf";
    const ToolRun loose = gradix({"simplify", skin, "-o", dir.path("skin.obj"), "--percent", "50"});
    ASSERT_EQ(loose.status, 0) << loose.err;
    EXPECT_NE(loose.err.find("the skin of 1 mesh part not written"), std::string::npos) << loose.err;
    EXPECT_NE(loose.err.find("1 animation not written"), std::string::npos) << loose.err;
    const ToolRun strict =
        gradix({"simplify", skin, "-o", dir.path("strict.obj"), "--percent", "50", "--strict"});
    EXPECT_EQ(strict.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path("strict.obj")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("strict.mtl")));
    // A chain in one file needs a glTF input.
    const ToolRun chain =
        gradix({"lods", std::string(GX_ASSIMP_MODELS) + "/OBJ/spider.obj", "-o", dir.path("c.glb")});
    EXPECT_EQ(chain.status, 1);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"skin.mtl", "skin.obj"}));
}
