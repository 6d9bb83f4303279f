// "setupShaders": matching against the full double loop over target and source faces, argument and
// lookup failures, and a two-material mesh simplified to 25%.
#include "PluginFixture.h"

#include <maya/MFnMesh.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <random>

namespace {

class SetupShadersTest : public PluginFixture {
protected:
    // The matching as a double loop: for every target face every source face in order, keeping the
    // first whose distance is below the best so far (held as a float). Pairs (source, target).
    static std::vector<std::pair<int, int>> referenceMatches(const MObject& source, const MObject& target) {
        std::vector<std::pair<int, int>> calls;
        int t = 0;
        for (MItMeshPolygon ti(target); !ti.isDone(); ti.next(), ++t) {
            int best = -1;
            float bestDistance = 0.0f;
            int s = 0;
            for (MItMeshPolygon si(source); !si.isDone(); si.next(), ++s) {
                MVector tn, sn;
                ti.getNormal(tn, MSpace::kObject);
                si.getNormal(sn, MSpace::kObject);
                if (tn * sn < 0.3)
                    continue;
                const double d = ti.center(MSpace::kObject).distanceTo(si.center(MSpace::kObject));
                if (best == -1 || bestDistance > d) {
                    best = s;
                    bestDistance = float(d);
                }
            }
            if (best >= 0)
                calls.emplace_back(best, t);
        }
        return calls;
    }

    // Gives every source face its own material "m<index>", runs the command and reads back which
    // source face each target face was matched with.
    static std::vector<std::pair<int, int>> commandMatches(const MObject& source,
                                                           const std::string& sourceName,
                                                           const MObject& target,
                                                           const std::string& targetName) {
        const int sourceFaces = MFnMesh(source).numPolygons();
        for (int s = 0; s < sourceFaces; ++s)
            EXPECT_TRUE(gxhost::setFaceMaterial(source, s, "m" + std::to_string(s)));
        EXPECT_TRUE(gxhost::executeCommand("setupShaders " + sourceName + " " + targetName));
        std::vector<std::pair<int, int>> calls;
        for (int t = 0; t < MFnMesh(target).numPolygons(); ++t) {
            const std::string m = gxhost::faceMaterial(target, t);
            if (!m.empty())
                calls.emplace_back(std::stoi(m.substr(1)), t);
        }
        return calls;
    }

    // Random triangles and quads in the unit cube; every fifth face repeats an earlier one (equal
    // centres and normals), and some faces are flipped.
    static gxhost::SceneMesh soup(std::mt19937& rng, int faces, const std::string& name) {
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        gxhost::SceneMesh m;
        m.name = name;
        std::vector<std::vector<int>> polys;
        for (int f = 0; f < faces; ++f) {
            if (f % 5 == 4 && !polys.empty()) {
                polys.push_back(polys[rng() % polys.size()]);
                continue;
            }
            const int corners = 3 + int(rng() % 2);
            std::vector<int> poly;
            const float cx = unit(rng), cy = unit(rng), cz = unit(rng);
            for (int c = 0; c < corners; ++c) {
                const float a = 6.2831853f * float(c) / float(corners);
                poly.push_back(int(m.points.size()));
                m.points.push_back(
                    {cx + 0.1f * std::cos(a), cy + 0.1f * std::sin(a), cz + 0.05f * unit(rng)});
            }
            if (rng() % 3 == 0)
                std::reverse(poly.begin(), poly.end());
            polys.push_back(poly);
        }
        for (const auto& poly : polys) {
            m.faceCounts.push_back(int(poly.size()));
            m.faceVertices.insert(m.faceVertices.end(), poly.begin(), poly.end());
            m.faceMaterial.push_back(-1);
        }
        return m;
    }

    static std::string lastError(const gxhost::MessageCapture& capture) {
        return capture.errors().empty() ? std::string() : capture.errors().front();
    }
};

TEST_F(SetupShadersTest, RandomMeshesAndRegularGridsMatchTheDoubleLoop) {
    std::mt19937 rng(20261205);
    // Rounds 0-5: random soups; round 6: nested regular grids, which put many source centres at
    // equal distances from a target centre.
    for (int round = 0; round < 7; ++round) {
        gxhost::resetScene();
        ASSERT_TRUE(gxhost::loadPlugin(GRADIX_PLUGIN));
        const gxhost::SceneMesh sourceMesh =
            round == 6 ? grid(24, "src", 0.0f) : soup(rng, 150 + 40 * round, "src");
        const MObject source = meshNode(sourceMesh);
        gxhost::SceneMesh targetMesh = round == 6 ? grid(16, "dst", 0.0f) : soup(rng, 80, "dst");
        // A copy of the source: every target face sits exactly on a source face, and on the
        // repeated ones, so equal distances occur.
        if (round % 2 == 0 && round < 6) {
            targetMesh = sourceMesh;
            targetMesh.name = "dst";
        }
        const MObject target = meshNode(targetMesh);
        const auto expected = referenceMatches(source, target);
        EXPECT_GE(expected.size(), round == 6 ? 256u : 1u);
        EXPECT_EQ(commandMatches(source, "src", target, "dst"), expected) << "round " << round;
    }
}

TEST_F(SetupShadersTest, TiesTakeTheLowerSourceIndexAndAnAgreeingNormalBeatsANearerFace) {
    // Quads (four points each) as flat lists. Case 0: source faces 1 and 3 are the same quad; 0 and 2 lie
    // at equal distances either side of target 0. Case 1: the target quad faces +z at the origin; source
    // face 0 stands at right angles right next to it, source face 1 faces +z two units away.
    const struct {
        std::vector<float> source, target; // x, y, z of every point
        std::vector<std::pair<int, int>> matches;
    } cases[] = {
        {{1,  0, 0, 2,  0, 0, 2,  1, 0, 1,  1, 0, 5, 0, 0, 6, 0, 0, 6, 1, 0, 5, 1, 0,
          -2, 0, 0, -1, 0, 0, -1, 1, 0, -2, 1, 0, 5, 0, 0, 6, 0, 0, 6, 1, 0, 5, 1, 0},
         {-0.5f, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, -0.5f, 1, 0, 5, 0, 0, 6, 0, 0, 6, 1, 0, 5, 1, 0},
         {{0, 0}, {1, 1}}},
        {{0.6f, -0.5f, -0.5f, 0.6f, 0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.6f, -0.5f, 0.5f,
          2,    0,     0,     3,    0,    0,     3,    1,    0,    2,    1,     0},
         {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0},
         {{1, 0}}},
    };
    for (const auto& c : cases) {
        gxhost::resetScene();
        ASSERT_TRUE(gxhost::loadPlugin(GRADIX_PLUGIN));
        MObject nodes[2];
        for (int k = 0; k < 2; ++k) {
            gxhost::SceneMesh m;
            m.name = k ? "dst" : "src";
            const std::vector<float>& xyz = k ? c.target : c.source;
            for (size_t i = 0; i < xyz.size(); i += 3) {
                m.faceVertices.push_back(int(i / 3));
                m.points.push_back({xyz[i], xyz[i + 1], xyz[i + 2]});
            }
            m.faceCounts.assign(m.points.size() / 4, 4);
            m.faceMaterial.assign(m.points.size() / 4, -1);
            nodes[k] = meshNode(m);
        }
        EXPECT_EQ(referenceMatches(nodes[0], nodes[1]), c.matches);
        EXPECT_EQ(commandMatches(nodes[0], "src", nodes[1], "dst"), c.matches);
    }
}

TEST_F(SetupShadersTest, FacesWithoutAnAgreeingNormalOrSourceFacesGetNoCall) {
    gxhost::SceneMesh up = grid(3, "src", 0.0f);
    gxhost::SceneMesh down = grid(2, "dst", 0.0f);
    for (size_t i = 0; i < down.faceVertices.size(); i += 4)
        std::reverse(down.faceVertices.begin() + long(i), down.faceVertices.begin() + long(i) + 4);
    const MObject source = meshNode(up), target = meshNode(down);
    EXPECT_TRUE(commandMatches(source, "src", target, "dst").empty());

    gxhost::SceneMesh empty;
    empty.name = "empty";
    empty.points = {{0, 0, 0}};
    meshNode(empty);
    gxhost::MessageCapture capture;
    EXPECT_TRUE(gxhost::executeCommand("setupShaders empty dst"));
    EXPECT_TRUE(capture.errors().empty());
}

TEST_F(SetupShadersTest, UsageAndLookupFailures) {
    meshNode(grid(2, "src"));
    meshNode(grid(2, "dst"));
    gxhost::createNode("Gradix", "gx");
    const std::string usage = "Usage: setupShader sourceMesh targetMesh";
    const std::string noMesh = "(kInvalidParameter): Object is incompatible with this method --> "
                               "SetupShadersCommand::doIt: Couldn't create MFnMesh for ";
    const struct {
        const char* line;
        std::string message;
    } failures[] = {
        {"setupShaders src", usage},
        {"setupShaders src dst dst", usage},
        {"setupShaders src src", usage},
        {"setupShaders nothing dst", noMesh + "sourceMesh"},
        {"setupShaders src nothing", noMesh + "dstMesh"},
        {"setupShaders src gx", noMesh + "dstMesh"},
    };
    for (const auto& f : failures) {
        gxhost::MessageCapture capture;
        EXPECT_FALSE(gxhost::executeCommand(f.line)) << f.line;
        EXPECT_EQ(lastError(capture), f.message) << f.line;
    }
    gxhost::injectFault("MSelectionList::getDependNode", 2);
    gxhost::MessageCapture capture;
    EXPECT_FALSE(gxhost::executeCommand("setupShaders src dst"));
    EXPECT_EQ(lastError(capture),
              "(kFailure): Unexpected Internal Failure --> SetupShadersCommand::doIt: Node dst not found");
}

TEST_F(SetupShadersTest, TwoMaterialMeshSimplifiedToAQuarterKeepsBothRegions) {
    meshNode(grid(16, "src", 0.15f, true));
    gxhost::createNode("Gradix", "gx");
    const MObject lod = gxhost::createNode("mesh", "lod");
    ASSERT_TRUE(gxhost::connect("src.outMesh", "gx.inMesh"));
    ASSERT_TRUE(gxhost::connect("gx.outMesh", "lod.inMesh"));
    ASSERT_TRUE(gxhost::setAttr("gx.resolution", 25));
    const int faces = MFnMesh(lod).numPolygons();
    ASSERT_GT(faces, 0);
    ASSERT_LE(faces, 2 * 16 * 16 / 4 + 2);

    ASSERT_TRUE(gxhost::executeCommand("setupShaders src lod"));
    const MObject src = gxhost::findNode("src");
    for (const auto& [s, t] : referenceMatches(src, lod))
        EXPECT_EQ(gxhost::faceMaterial(lod, t), gxhost::faceMaterial(src, s)) << "target face " << t;
    int left = 0, right = 0, f = 0;
    for (MItMeshPolygon it(lod); !it.isDone(); it.next(), ++f) {
        const std::string material = gxhost::faceMaterial(lod, f);
        ASSERT_FALSE(material.empty()) << "face " << f;
        const double x = it.center(MSpace::kObject).x;
        // Faces well inside one half carry that half's material; straddling faces may take either.
        if (x < -0.2) {
            EXPECT_EQ(material, "matLeft") << "face " << f << " at x " << x;
            ++left;
        } else if (x > 0.2) {
            EXPECT_EQ(material, "matRight") << "face " << f << " at x " << x;
            ++right;
        }
    }
    EXPECT_GT(left, 10);
    EXPECT_GT(right, 10);
}

} // namespace
