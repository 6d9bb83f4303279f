// Files and meshes that must be refused: one error line naming the file, nothing imported, and no
// file (partial or temporary) written.
#include "MeshTestSupport.h"

#include "io/TempFileIOSystem.h"

#include <gtest/gtest.h>

namespace gxtest {
namespace {

void expectOneLineAbout(const std::string& error, const std::string& path) {
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_GT(error.size(), path.size() + 2) << error;
}

void expectImportFails(const std::string& path, const std::string& expectedProblem = "") {
    std::vector<SceneMesh> meshes(1);
    std::string error;
    EXPECT_FALSE(gxhost::importSceneFile(path, meshes, error)) << path;
    EXPECT_TRUE(meshes.empty()) << path;
    expectOneLineAbout(error, path);
    EXPECT_NE(error.find(expectedProblem), std::string::npos) << error;
}

// Broken models of assimp-testmodels, each meant to be refused, and what the error line names (where
// it is one of ours).
const struct {
    const char* path;
    const char* problem;
} kBrokenModels[] = {
    {"invalid/OutOfMemory.off", "more than the file's"},
    {"invalid/emptyIrrMesh.xml", ""},
    {"invalid/malformed.obj", ""},
    {"invalid/readme.txt", "unknown file format"},
    {"glTF2/IndexOutOfRange/AllIndicesOutOfRange.gltf", ""},
    {"glTF2/IndexOutOfRange/IndexOutOfRange.gltf", "out of range"},
    {"glTF2/MissingBin/BoxTextured.gltf", ""},
    {"glTF2/RecursiveNodes/RecursiveNodes.gltf", ""},
    {"glTF2/SchemaFailures/sceneWrongType.gltf", ""},
    {"glTF2/TestNoRootNode/NoScene.gltf", ""},
    {"glTF2/TestNoRootNode/SceneWithoutNodes.gltf", "no mesh"},
    {"glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb", "infinite position"},
    {"glTF2/issue_3269/texcoord_crash.gltf", ""},
    {"FBX/transparentTest.fbx", ""},
    // Points and lines only: no polygon to simplify.
    {"OBJ/point_cloud.obj", "no polygon mesh"},
    {"PLY/points.ply", ""},
    {"PLY/pond.0.ply", ""},
};

TEST(BrokenModels, everyBrokenTestModelIsRefusedWithOneLineNamingTheProblem) {
    if (!modelsInstalled())
        GTEST_SKIP() << "assimp-testmodels is not installed";
    for (const auto& model : kBrokenModels)
        expectImportFails(modelPath(model.path), model.problem);
    // Whole families: an empty file of every format, glTF values of the wrong type, and glTF
    // primitives of points and lines.
    for (const char* extension : {"3ds", "ase", "lwo", "md5mesh", "obj", "off", "ply", "raw", "smd", "x"})
        expectImportFails(modelPath(std::string("invalid/empty.") + extension), "");
    for (const char* name : {"badArray", "badExtension", "badNumber", "badObject", "badString", "badUint"})
        expectImportFails(modelPath(std::string("glTF2/wrongTypes/") + name + ".gltf"), "");
    for (int mode = 0; mode < 4; ++mode)
        expectImportFails(modelPath("glTF2/glTF-Asset-Generator/Mesh_PrimitiveMode/Mesh_PrimitiveMode_0" +
                                    std::to_string(mode) + ".gltf"),
                          "");
}

// A missing material and an empty face are repaired by the reader: the file loads.
TEST(BrokenModels, recoverableModelLoads) {
    if (!modelsInstalled())
        GTEST_SKIP() << "assimp-testmodels is not installed";
    std::vector<SceneMesh> meshes;
    std::string error;
    ASSERT_TRUE(gxhost::importSceneFile(modelPath("invalid/malformed2.obj"), meshes, error)) << error;
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].faceCounts.size(), 5u);
    EXPECT_EQ(meshes[0].points.size(), 8u);
}

TEST(BadFiles, madeUpFilesAreRefused) {
    ScratchDir dir;
    const struct {
        const char* name;
        const char* text; // nullptr: no file
        const char* problem;
    } files[] = {
        {"nan.obj", "o bad\nv 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n", "NaN or infinite position"},
        {"range.ply",
         "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
         "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n",
         "out of range"},
        {"empty.obj", "", ""},
        {"notes.xyz", "just some text\nand more\n", "unknown file format"},
        {"flat.obj", "o flat\nv 0 0 0\nv 0 0 0\nv 1 0 0\nf 1 2 3\n", "no usable polygon"},
        {"huge.ply",
         "ply\nformat binary_little_endian 1.0\nelement vertex 4000000000\nproperty float x\n"
         "property float y\nproperty float z\nend_header\n",
         "more than the file's"},
        {"missing.obj", nullptr, "cannot read"},
        {"", nullptr, "not a regular file"},
    };
    for (const auto& f : files) {
        if (f.text)
            writeText(dir.path(f.name), f.text);
        expectImportFails(dir.path(f.name), f.problem);
    }
}

// --- export ---

void expectExportFails(const ScratchDir& dir, const std::string& file, const std::vector<SceneMesh>& meshes,
                       const std::string& expectedProblem, const std::string& format = "") {
    std::string error;
    EXPECT_FALSE(gxhost::exportSceneFile(dir.path(file), format, meshes, error)) << file;
    expectOneLineAbout(error, dir.path(file));
    EXPECT_NE(error.find(expectedProblem), std::string::npos) << error;
    EXPECT_TRUE(dir.files().empty()) << file;
}

TEST(BadExports, inconsistentMeshesAreRefusedBeforeAnythingIsWritten) {
    ScratchDir dir;
    SceneMesh nan = makeSheet(false);
    nan.points[3][1] = std::numeric_limits<float>::quiet_NaN();
    SceneMesh range = makeSheet(false);
    range.faceVertices[5] = 99;
    SceneMesh badUV = makeSheet(false);
    badUV.uvSets[1].uvIds[2] = 1000;
    SceneMesh badMaterial = makeSheet(false);
    badMaterial.faceMaterial[0] = 2;
    SceneMesh empty = makeSheet(false);
    empty.faceCounts.clear();
    empty.faceVertices.clear();
    SceneMesh shortNormals = makeSheet(false);
    shortNormals.normals.pop_back();
    SceneMesh loopA = makeSheet(false, "a"), loopB = makeSheet(false, "b");
    loopA.parent = "b";
    loopB.parent = "a";
    for (const std::string ext : {"gltf", "fbx", "obj"}) {
        expectExportFails(dir, "nan." + ext, {nan}, "NaN or infinite position");
        expectExportFails(dir, "range." + ext, {range}, "refers to point 99");
        expectExportFails(dir, "uv." + ext, {badUV}, "UV set 'map2'");
        expectExportFails(dir, "material." + ext, {badMaterial}, "material 2");
        expectExportFails(dir, "empty." + ext, {empty}, "no polygon");
        expectExportFails(dir, "normals." + ext, {shortNormals}, "normals");
        expectExportFails(dir, "loop." + ext, {loopA, loopB}, "its own ancestor");
        expectExportFails(dir, "twins." + ext, {makeSheet(false), makeSheet(false)}, "two meshes are named");
        expectExportFails(dir, "none." + ext, {}, "no mesh");
    }
}

TEST(BadExports, unknownFormatsAndMissingFoldersAreRefused) {
    ScratchDir dir;
    expectExportFails(dir, "sheet.xyz", {makeSheet(false)}, "unknown file extension");
    expectExportFails(dir, "sheet.obj", {makeSheet(false)}, "unknown format 'blend'", "blend");
    expectExportFails(dir, "no/such/folder/sheet.obj", {makeSheet(false)}, "");
}

// A failed export leaves the old file alone; a successful one replaces it, and neither leaves a
// temporary file.
TEST(AtomicExport, failedExportLeavesTheOldFileAloneAndASuccessfulOneReplacesIt) {
    ScratchDir dir;
    writeText(dir.path("keep.obj"), "old contents\n");
    SceneMesh nan = makeSheet(false);
    nan.points[0][0] = std::numeric_limits<float>::infinity();
    std::string error;
    EXPECT_FALSE(gxhost::exportSceneFile(dir.path("keep.obj"), "", {nan}, error));
    EXPECT_EQ(readText(dir.path("keep.obj")), "old contents\n");
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"keep.obj"}));
    ASSERT_TRUE(gxhost::exportSceneFile(dir.path("keep.obj"), "", {makeSheet(false)}, error)) << error;
    EXPECT_NE(readText(dir.path("keep.obj")), "old contents\n");
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"keep.mtl", "keep.obj"}));
}

// A write error in any file of an export (here the companion) discards all of them.
TEST(AtomicExport, writeFailureDiscardsEveryTemporaryFile) {
    ScratchDir dir;
    writeText(dir.path("scene.gltf"), "old contents\n");
    {
        gxhost::TempFileSet files(dir.path("scene.gltf"));
        for (const std::string name : {"scene.gltf", "scene.bin"}) {
            FILE* file = files.create(dir.path(name));
            ASSERT_NE(file, nullptr) << files.lastError();
            std::fputs("partial", file);
            std::fclose(file);
        }
        EXPECT_EQ(dir.files().size(), 3u);
        files.markFailed("cannot write 'scene.bin' (No space left on device)");
        std::string problem;
        EXPECT_FALSE(files.commit(problem));
        EXPECT_EQ(problem, "cannot write 'scene.bin' (No space left on device)");
    }
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"scene.gltf"}));
    EXPECT_EQ(readText(dir.path("scene.gltf")), "old contents\n");
}

} // namespace
} // namespace gxtest
