// The built-in `mesh` node: its own mesh, the upstream mesh when connected, materials, conversion.
#include "HostFixture.h"
#include "SceneMesh.h"

#include <gxhost/MeshConversion.h>

#include <maya/MColorArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MItMeshPolygon.h>

using namespace gxhost;

namespace {

class MeshNodeTest : public HostFixture {};

MObject quadNode(const std::string& name) {
    MObject node = createNode("mesh", name);
    MFloatPointArray points;
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}})
        points.append(MFloatPoint(float(x), float(y), 0));
    MIntArray counts, verts;
    counts.append(4);
    verts.vec() = {0, 1, 2, 3};
    MFnMesh fn;
    MStatus status;
    EXPECT_EQ(fn.create(4, 1, points, counts, verts, node, &status), node);
    EXPECT_TRUE(status);
    return node;
}

TEST_F(MeshNodeTest, ConnectedMeshNodeShowsTheUpstreamMesh) {
    MObject a = quadNode("a");
    MObject b = createNode("mesh", "b");
    EXPECT_EQ(MFnMesh(b).numPolygons(), 0) << "a new mesh node holds an empty mesh";
    ASSERT_TRUE(connect("a.outMesh", "b.inMesh"));
    EXPECT_EQ(MFnMesh(b).numPolygons(), 1);
    ASSERT_TRUE(MFnMesh(a).setPoint(2, MPoint(3, 3, 0)));
    EXPECT_TRUE(isDirty("b.inMesh")) << "editing the mesh dirties what depends on it";
    MPoint p;
    MFnMesh(b).getPoint(2, p);
    EXPECT_EQ(p, MPoint(3, 3, 0));
    MItMeshPolygon it(b);
    EXPECT_EQ(it.count(), 1u);
}

TEST_F(MeshNodeTest, MeshFunctionSetAttachesOnlyToMeshesAndCreatesANodeWithoutOwner) {
    MObject counter = createNode("testCounter");
    MStatus status;
    MFnMesh other(counter, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    MItMeshPolygon it(counter, &status);
    EXPECT_FALSE(status);
    EXPECT_TRUE(MObject(quadNode("q")).hasFn(MFn::kMesh));

    MFloatPointArray points(3);
    points[1] = MFloatPoint(1, 0, 0);
    points[2] = MFloatPoint(0, 1, 0);
    MIntArray counts(1, 3), verts;
    verts.vec() = {0, 1, 2};
    MFnMesh fn;
    MObject node = fn.create(3, 1, points, counts, verts);
    EXPECT_EQ(nodeName(node), "mesh1");
    EXPECT_EQ(fn.numVertices(), 3);
}

TEST_F(MeshNodeTest, ShaderSyncCopiesAFaceMaterial) {
    MObject a = quadNode("a");
    MObject b = quadNode("b");
    ASSERT_TRUE(setFaceMaterial(a, 0, "redSG"));
    ASSERT_TRUE(executeCommand("lod_SyncShaderFaceToFace a.f[0] b.f[0]"));
    EXPECT_EQ(faceMaterial(b, 0), "redSG");
    MessageCapture capture;
    EXPECT_FALSE(executeCommand("lod_SyncShaderFaceToFace a.f[0] b.f[4]"));
    EXPECT_EQ(capture.errors(),
              std::vector<std::string>{
                  "lod_SyncShaderFaceToFace: Face index '4' of 'b' is out of range (1 faces)"});
}

TEST_F(MeshNodeTest, SceneMeshRoundTripKeepsEveryCornerAttribute) {
    SceneMesh in;
    in.name = "tri";
    in.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    in.faceCounts = {3, 3};
    in.faceVertices = {0, 1, 2, 0, 2, 3};
    in.uvSets = {{"map1", {0, 1, 1, 0}, {0, 0, 1, 1}, {0, 1, 2, 0, 2, 3}},
                 {"lightmap", {0.5f}, {0.25f}, {0, 0, 0, -1, -1, -1}}};
    in.normals.assign(6, {0, 0, 1});
    in.colors.assign(6, {1, 0, 0, 1});
    in.colors[2] = {0, 0, 1, 0.5f};
    in.hasColor = {1, 1, 1, 0, 0, 0};
    in.faceMaterial = {1, -1};
    in.materials = {"unusedSG", "blueSG"};
    MStatus status;
    MObject node = createMeshNode(in, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(nodeName(node), "tri");
    // Face 1 has no colour of its own though it shares vertex 0, and no UVs in "lightmap"; a set that
    // does not exist or a corner out of range have none either.
    MItMeshPolygon it(node);
    float2 uv;
    MString lightmap("lightmap"), missing("missing");
    ASSERT_TRUE(it.getUV(1, uv, &lightmap));
    EXPECT_EQ(uv[0], 0.5f);
    EXPECT_EQ(uv[1], 0.25f);
    it.next();
    MColor c;
    EXPECT_FALSE(it.getColor(c, 0));
    EXPECT_FALSE(it.getUV(0, uv, &lightmap));
    EXPECT_TRUE(it.getUV(1, uv, nullptr)) << "the first set covers face 1";
    EXPECT_EQ(uv[0], 1.0f);
    EXPECT_FALSE(it.getUV(1, uv, &missing));
    EXPECT_FALSE(it.getUV(3, uv, nullptr));
    EXPECT_EQ(it.vertexIndex(2, &status), 3);
    EXPECT_TRUE(status);
    it.vertexIndex(-1, &status);
    EXPECT_FALSE(status) << "a local index of -1 fails";
    it.next();
    it.polygonVertexCount(&status);
    EXPECT_FALSE(status) << "queries past the end fail";
    MIntArray face(1, 0), notOnIt(1, 3);
    EXPECT_FALSE(MFnMesh(node).setFaceVertexColors(MColorArray(1, MColor()), face, notOnIt));

    SceneMesh out;
    ASSERT_TRUE(meshToScene(node, out));
    EXPECT_EQ(out.name, "tri");
    EXPECT_EQ(out.points, in.points);
    EXPECT_EQ(out.faceCounts, in.faceCounts);
    EXPECT_EQ(out.faceVertices, in.faceVertices);
    ASSERT_EQ(out.uvSets.size(), 2u);
    EXPECT_EQ(out.uvSets[1].name, "lightmap");
    EXPECT_EQ(out.uvSets[1].uvIds, in.uvSets[1].uvIds);
    EXPECT_EQ(out.uvSets[0].u, in.uvSets[0].u);
    EXPECT_EQ(out.normals, in.normals);
    EXPECT_EQ(out.hasColor, in.hasColor);
    EXPECT_EQ(out.colors[2], in.colors[2]);
    EXPECT_EQ(out.faceMaterial, (std::vector<int32_t>{0, -1}));
    EXPECT_EQ(out.materials, (std::vector<std::string>{"blueSG"}));
}

TEST_F(MeshNodeTest, SceneMeshWithBadIndicesIsRefusedWithoutChange) {
    MObject node = quadNode("q");
    SceneMesh bad;
    bad.points = {{0, 0, 0}};
    bad.faceCounts = {3};
    bad.faceVertices = {0, 0, 5};
    EXPECT_EQ(sceneToMesh(bad, node), MStatus::kInvalidParameter);
    bad.faceVertices = {0, 0}; // fewer corners than the count says
    EXPECT_EQ(sceneToMesh(bad, node), MStatus::kInvalidParameter);
    EXPECT_EQ(MFnMesh(node).numPolygons(), 1);
}

class MeshFileTest : public HostFixture {
protected:
    void TearDown() override {
        setMeshFileHandlers(nullptr, nullptr);
        HostFixture::TearDown();
    }
};

TEST_F(MeshFileTest, ImportAndExportGoThroughTheInstalledHandlers) {
    MessageCapture capture;
    // By default the files are read through Assimp.
    EXPECT_EQ(executeCommand("importMesh /nonexistent/box.obj"), MStatus::kFailure);
    EXPECT_EQ(capture.errors().back().rfind("importMesh: /nonexistent/box.obj: ", 0), 0u)
        << capture.errors().back();

    std::vector<SceneMesh> written;
    std::string writtenFormat;
    setMeshFileHandlers(
        [](const std::string& path, std::vector<SceneMesh>& meshes, std::string& error) {
            if (path != "tri.obj") {
                error = "Cannot read '" + path + "': no such file";
                return false;
            }
            SceneMesh m;
            m.name = "tri";
            m.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
            m.faceCounts = {3};
            m.faceVertices = {0, 1, 2};
            meshes = {m, m};
            return true;
        },
        [&](const std::string&, const std::string& format, const std::vector<SceneMesh>& meshes,
            std::string&) {
            written = meshes;
            writtenFormat = format;
            return true;
        });
    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand("importMesh tri.obj", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"tri", "tri1"}));
    EXPECT_EQ(MFnMesh(findNode("tri1")).numVertices(), 3);
    ASSERT_TRUE(executeCommand("exportMesh -format glb out.glb tri1"));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].name, "tri1");
    EXPECT_EQ(written[0].faceVertices, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(writtenFormat, "glb");
    ASSERT_TRUE(executeCommand("exportMesh tri tri1 both.glb")); // nodes first, the file last
    ASSERT_EQ(written.size(), 2u);
    ASSERT_TRUE(executeCommand("importMesh tri.obj -name picked", &result));
    EXPECT_EQ(result, (std::vector<std::string>{"picked_tri", "picked_tri1"}));
    EXPECT_FALSE(executeCommand("importMesh other.obj"));
    EXPECT_EQ(capture.errors().back(), "importMesh: Cannot read 'other.obj': no such file");
    EXPECT_EQ(executeCommand("exportMesh out.glb nosuch"), MStatus::kNotFound);
}

TEST_F(MeshFileTest, RealFilesThroughTheDefaultReaderAndWriter) {
    std::vector<std::string> result;
    ASSERT_TRUE(executeCommand("importMesh /usr/share/assimp/models/PLY/cube_uv.ply -name cube", &result));
    ASSERT_EQ(result, (std::vector<std::string>{"cube"}));
    const int faces = MFnMesh(findNode("cube")).numPolygons();
    EXPECT_GT(faces, 0);
    const std::string out = ::testing::TempDir() + "gradix-cube.glb";
    ASSERT_TRUE(executeCommand("exportMesh cube \"" + out + "\""));
    ASSERT_TRUE(executeCommand("importMesh \"" + out + "\" -name again", &result));
    MItMeshPolygon again(findNode("again"));
    unsigned triangles = 0;
    for (; !again.isDone(); again.next())
        triangles += again.polygonVertexCount() - 2;
    EXPECT_EQ(int(triangles), 2 * faces); // glTF keeps triangles only: the cube's quads come back split
    std::remove(out.c_str());
}
} // namespace
