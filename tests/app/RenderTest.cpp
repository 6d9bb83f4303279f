// `gradix render`: the picture shows the mesh at a plausible size, lit from the upper left, in its
// vertex colours and texture; the visualizer's red faces appear where the cheapest contractions are.
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace apptest;

namespace {

const std::string kSample = GRADIX_SAMPLE;

bool isBackground(const uint8_t* p) {
    // The viewport clears to (0.15, 0.15, 0.18).
    return std::abs(p[0] - 38) <= 2 && std::abs(p[1] - 38) <= 2 && std::abs(p[2] - 46) <= 2;
}

bool isRed(const uint8_t* p) {
    return p[0] > 100 && p[1] < 50 && p[2] < 50;
}

double coverage(const Image& image) {
    size_t covered = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            covered += !isBackground(image.at(x, y));
    return static_cast<double>(covered) / (static_cast<double>(image.width) * image.height);
}

// A 24 x 12 grid in the xy plane: flat where x < 12, crumpled where x >= 12. Flat pairs cost
// nothing, so the cheapest contractions all lie in the left half.
std::string halfFlatSheet() {
    std::string obj;
    for (int y = 0; y <= 12; ++y)
        for (int x = 0; x <= 24; ++x) {
            const double z = x <= 12 ? 0.0 : 0.8 * std::sin(1.9 * x * x + 3.1 * y) * std::cos(2.3 * y + x);
            obj += "v " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z) + "\n";
        }
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x) {
            const int a = y * 25 + x + 1;
            obj += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 26) +
                   " " + std::to_string(a + 25) + "\n";
        }
    return obj;
}

// A unit sphere facing every way, painted one colour through OBJ vertex colours; `flat`: each face
// carries its own normal (flat shading).
std::string redSphere(bool flat = false) {
    std::string obj;
    const int rings = 24, segments = 32;
    std::vector<std::array<double, 3>> points;
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const double theta = M_PI * r / rings, phi = 2.0 * M_PI * s / segments;
            points.push_back(
                {std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)});
            obj += "v " + std::to_string(points.back()[0]) + " " + std::to_string(points.back()[1]) + " " +
                   std::to_string(points.back()[2]) + " 0.9 0.1 0.1\n";
        }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const int a = r * segments + s + 1, b = r * segments + (s + 1) % segments + 1;
            std::string normal;
            if (flat) {
                // Across the diagonals: the cap's quads have a corner twice.
                const auto &p = points[size_t(a - 1)], &q = points[size_t(b - 1)];
                const auto &u = points[size_t(b + segments - 1)], &w = points[size_t(a + segments - 1)];
                const double d1[3] = {u[0] - p[0], u[1] - p[1], u[2] - p[2]};
                const double d2[3] = {w[0] - q[0], w[1] - q[1], w[2] - q[2]};
                obj += "vn " + std::to_string(d1[1] * d2[2] - d1[2] * d2[1]) + " " +
                       std::to_string(d1[2] * d2[0] - d1[0] * d2[2]) + " " +
                       std::to_string(d1[0] * d2[1] - d1[1] * d2[0]) + "\n";
                normal = "//" + std::to_string(r * segments + s + 1);
            }
            obj += "f " + std::to_string(a) + normal + " " + std::to_string(b) + normal + " " +
                   std::to_string(b + segments) + normal + " " + std::to_string(a + segments) + normal + "\n";
        }
    return obj;
}

int brightness(const uint8_t* p) {
    return p[0] + p[1] + p[2];
}

} // namespace

// Shaded flat (each face its own normal; simplified without them), the same sphere is drawn facet by
// facet: across its middle the brightness changes at the facets' edges only, where smooth shading
// changes it nearly every pixel.
TEST(Render, SphereIsLitFromTheUpperLeftInItsVertexColours) {
    ScratchDir dir;
    for (const bool flat : {false, true}) {
        SCOPED_TRACE(flat ? "flat" : "smooth");
        writeText(dir.path("sphere.obj"), redSphere(flat));
        const ToolRun run = gradix({"render", dir.path("sphere.obj"), "-o", dir.path("s.png"), "--view",
                                    "front", "--size", "200x200"});
        ASSERT_EQ(run.status, 0) << run.err;
        Image image;
        ASSERT_TRUE(readPng(dir.path("s.png"), image));
        // The sphere fills the square frame; sample inside it, towards the light and away from it.
        const uint8_t *lit = image.at(70, 65), *centre = image.at(100, 100), *dark = image.at(140, 140);
        for (const uint8_t* p : {lit, centre, dark})
            EXPECT_TRUE(p[0] > 2 * p[1] && p[0] > 2 * p[2])
                << "red, shaded: " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
        EXPECT_GT(brightness(lit), brightness(centre));
        EXPECT_GT(brightness(centre), brightness(dark) + 30);
        int changes = 0;
        for (int x = 40; x < 160; ++x)
            changes += brightness(image.at(x, 100)) != brightness(image.at(x + 1, 100));
        if (flat)
            EXPECT_LT(changes, 25);
        else
            EXPECT_GT(changes, 60);
    }
}

namespace {

// A 2 x 2 texture (top row red, green; bottom row blue, yellow).
const unsigned char kTexels[] = {220, 30, 30, 30, 200, 30, 30, 30, 220, 220, 220, 30};

// The textured quad facing +z as OBJ (with a PPM texture) and as glTF (with a PNG one, its binary
// buffer beside it): both put the texture's top row at the top.
std::string texturedObj(const ScratchDir& dir) {
    writeText(dir.path("tex.ppm"), "P6 2 2 255\n" + std::string(reinterpret_cast<const char*>(kTexels), 12));
    writeText(dir.path("quad.mtl"), "newmtl Painted\nKd 1 1 1\nmap_Kd tex.ppm\n");
    writeText(dir.path("quad.obj"), "mtllib quad.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                                    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nusemtl Painted\n"
                                    "f 1/1/1 2/2/1 3/3/1 4/4/1\n");
    return dir.path("quad.obj");
}

std::string texturedGltf(const ScratchDir& dir) {
    writePng(dir.path("tex.png"), 2, 2, kTexels);
    const float positions[] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0},
                normals[] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    const float uvs[] = {0, 1, 1, 1, 1, 0, 0, 0}; // glTF's v runs down the picture
    const uint16_t indices[] = {0, 1, 2, 0, 2, 3};
    std::string bin;
    for (const auto& [data, size] :
         std::initializer_list<std::pair<const void*, size_t>>{{positions, sizeof positions},
                                                               {normals, sizeof normals},
                                                               {uvs, sizeof uvs},
                                                               {indices, sizeof indices}})
        bin.append(static_cast<const char*>(data), size);
    writeText(dir.path("quad.bin"), bin);
    writeText(dir.path("quad.gltf"), R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
"nodes":[{"mesh":0}],"meshes":[{"primitives":[{"attributes":{"POSITION":0,"NORMAL":1,"TEXCOORD_0":2},
"indices":3,"material":0}]}],"materials":[{"name":"Painted","pbrMetallicRoughness":{"baseColorTexture":
{"index":0},"metallicFactor":0}}],"textures":[{"source":0}],"images":[{"uri":"tex.png"}],
"buffers":[{"uri":"quad.bin","byteLength":140}],"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":48},
{"buffer":0,"byteOffset":48,"byteLength":48},{"buffer":0,"byteOffset":96,"byteLength":32},
{"buffer":0,"byteOffset":128,"byteLength":12}],"accessors":[
{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3","min":[-1,-1,0],"max":[1,1,0]},
{"bufferView":1,"componentType":5126,"count":4,"type":"VEC3"},{"bufferView":2,"componentType":5126,"count":4,
"type":"VEC2"},{"bufferView":3,"componentType":5123,"count":6,"type":"SCALAR"}]})");
    return dir.path("quad.gltf");
}

} // namespace

TEST(Render, TexturedQuadShowsItsTextureWhereTheUVsPutIt) {
    for (const auto& [format, write] : {std::pair{"obj", texturedObj}, std::pair{"gltf", texturedGltf}}) {
        SCOPED_TRACE(format);
        ScratchDir dir;
        const std::string quad = write(dir);
        for (const char* picture : {"q.png", "q.jpg"}) {
            const ToolRun run =
                gradix({"render", quad, "-o", dir.path(picture), "--view", "front", "--size", "100x100"});
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err, "") << "no warning about the quad's colours";
        }
        EXPECT_EQ(readBytes(dir.path("q.jpg")).substr(0, 3), "\xff\xd8\xff") << "JPEG by extension";
        Image image;
        ASSERT_TRUE(readPng(dir.path("q.png"), image));
        const struct { int x, y, texel; } quarters[] = {{27, 27, 0}, {73, 27, 1}, {27, 73, 2}, {73, 73, 3}};
        for (const auto& q : quarters) {
            const uint8_t* p = image.at(q.x, q.y);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(p[k], kTexels[3 * q.texel + k], 40) << "texel " << q.texel << " channel " << k;
        }
    }
}

TEST(Render, MeshCoversAPlausibleShareOfThePictureAndWireframeLess) {
    ScratchDir dir;
    for (const char* view : {"top", "iso", "front"}) {
        SCOPED_TRACE(view);
        const std::string png = dir.path(std::string(view) + ".png");
        const ToolRun run =
            gradix({"render", kSample, "-o", png, "--percent", "30", "--view", view, "--size", "200x150"});
        ASSERT_EQ(run.status, 0) << run.err;
        Image image;
        ASSERT_TRUE(readPng(png, image));
        EXPECT_EQ(image.width, 200);
        EXPECT_EQ(image.height, 150);
        const double share = coverage(image);
        // The camera frames the mesh's bounding box. From the top the 12 x 10 sheet fills most of
        // the frame; from the front it is a band under two units high across the whole width.
        const std::string name = view;
        EXPECT_GT(share, name == "top" ? 0.6 : name == "iso" ? 0.2 : 0.05);
        EXPECT_LT(share, name == "front" ? 0.5 : 0.95);
    }
    EXPECT_FALSE(exists(dir.path("top.png.part")));
    const ToolRun wire = gradix({"render", kSample, "-o", dir.path("w.png"), "--view", "top", "--size",
                                 "200x150", "--percent", "5", "--wireframe-only"});
    ASSERT_EQ(wire.status, 0) << wire.err;
    Image shaded, lines;
    ASSERT_TRUE(readPng(dir.path("top.png"), shaded));
    ASSERT_TRUE(readPng(dir.path("w.png"), lines));
    EXPECT_GT(coverage(lines), 0.01);
    EXPECT_LT(coverage(lines), 0.8 * coverage(shaded));
}

TEST(Render, VisualizedFacesAreRedWhereContractionsAreCheapest) {
    ScratchDir dir;
    writeText(dir.path("half.obj"), halfFlatSheet());
    const std::string png = dir.path("faces.png");
    const ToolRun run = gradix({"render", dir.path("half.obj"), "-o", png, "--visualize", "faces", "--view",
                                "front", "--size", "240x160", "--range", "0.2"});
    if (run.status != 0 && run.err.find("VisualizerGX") != std::string::npos)
        GTEST_SKIP() << "the plug-in in use has no visualizer: " << run.err;
    ASSERT_EQ(run.status, 0) << run.err;
    Image image;
    ASSERT_TRUE(readPng(png, image));
    size_t left = 0, right = 0;
    for (int y = 0; y < image.height - 20; ++y) // above the legend and its red swatch
        for (int x = 0; x < image.width; ++x)
            if (isRed(image.at(x, y)))
                (x < image.width / 2 ? left : right) += 1;
    EXPECT_GT(left, 200u);
    EXPECT_LT(right, left / 20 + 1);

    // Without the overlay nothing is red.
    ASSERT_EQ(gradix({"render", dir.path("half.obj"), "-o", dir.path("plain.png"), "--view", "front",
                      "--size", "240x160"})
                  .status,
              0);
    ASSERT_TRUE(readPng(dir.path("plain.png"), image));
    size_t red = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            red += isRed(image.at(x, y));
    EXPECT_EQ(red, 0u);
}
