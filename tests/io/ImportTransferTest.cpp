// What an import's child process hands over arrives whole: the meshes with every attribute and
// where they came from, the problem text, and the asset's counts, materials and embedded images.
// A transfer cut short is refused.
#include "MeshTestSupport.h"

#include "io/AssetContents.h"
#include "io/ImportTransfer.h"

#include <assimp/material.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gxtest {
namespace {

struct Memory {
    int fd = memfd_create("transfer", 0);
    ~Memory() { close(fd); }
};

bool sameContents(const gxhost::AssetContents& a, const gxhost::AssetContents& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(ImportTransfer, EverythingArrivesAndATransferCutShortIsRefused) {
    if (!modelsInstalled())
        GTEST_SKIP() << "assimp-testmodels is not installed";
    std::vector<SceneMesh> meshes{makeSheet(false), makeSheet(true, "copy")};
    SceneMesh& copy = meshes[1];
    copy.parent = "sheet";
    copy.instanceOf = "sheet";
    copy.transform[3] = 2.5;
    copy.fileNode = {0, 3};
    copy.fileMaterials = {1, 0};
    gxhost::SourceAsset asset;
    std::vector<SceneMesh> read;
    std::string error;
    ASSERT_TRUE(gxhost::importSceneAndAsset(modelPath("glTF2/BoxTextured-glTF-Binary/BoxTextured.glb"), read,
                                            &asset, error))
        << error;
    ASSERT_EQ(asset.scene()->mNumTextures, 1u) << "the file embeds its image";

    Memory memory;
    ASSERT_TRUE(gxhost::ImportTransfer::write(memory.fd, "", meshes, &asset));
    std::vector<SceneMesh> back;
    std::string problem = "not overwritten";
    gxhost::SourceAsset got;
    ASSERT_TRUE(gxhost::ImportTransfer::read(memory.fd, problem, back, &got));
    EXPECT_EQ(problem, "");
    ASSERT_EQ(back.size(), meshes.size());
    for (size_t i = 0; i < meshes.size(); ++i) {
        const SceneMesh &a = meshes[i], &b = back[i];
        EXPECT_EQ(canonicalFaces(a), canonicalFaces(b));
        EXPECT_EQ(a.points, b.points);
        EXPECT_EQ(a.faceVertices, b.faceVertices);
        EXPECT_EQ(
            std::tie(a.name, a.parent, a.transform, a.instanceOf, a.fileNode, a.fileMaterials, a.materials),
            std::tie(b.name, b.parent, b.transform, b.instanceOf, b.fileNode, b.fileMaterials, b.materials));
    }
    EXPECT_TRUE(sameContents(got.contents(), asset.contents()));
    const aiScene &from = *asset.scene(), &to = *got.scene();
    ASSERT_EQ(to.mNumMaterials, from.mNumMaterials);
    for (unsigned m = 0; m < from.mNumMaterials; ++m) {
        ASSERT_EQ(to.mMaterials[m]->mNumProperties, from.mMaterials[m]->mNumProperties);
        for (unsigned p = 0; p < from.mMaterials[m]->mNumProperties; ++p) {
            const aiMaterialProperty &x = *from.mMaterials[m]->mProperties[p],
                                     &y = *to.mMaterials[m]->mProperties[p];
            EXPECT_STREQ(x.mKey.C_Str(), y.mKey.C_Str());
            EXPECT_EQ(std::tie(x.mSemantic, x.mIndex, x.mType), std::tie(y.mSemantic, y.mIndex, y.mType));
            EXPECT_EQ(std::string(x.mData, x.mDataLength), std::string(y.mData, y.mDataLength));
        }
    }
    ASSERT_EQ(to.mNumTextures, 1u);
    const aiTexture &image = *from.mTextures[0], &arrived = *to.mTextures[0];
    EXPECT_EQ(std::tie(image.mWidth, image.mHeight), std::tie(arrived.mWidth, arrived.mHeight));
    EXPECT_STREQ(image.achFormatHint, arrived.achFormatHint);
    EXPECT_EQ(std::memcmp(image.pcData, arrived.pcData, image.mWidth), 0);

    // A problem travels alone; a transfer missing its last byte is refused.
    Memory failed;
    ASSERT_TRUE(gxhost::ImportTransfer::write(failed.fd, "no mesh in the file", {}, nullptr));
    ASSERT_TRUE(gxhost::ImportTransfer::read(failed.fd, problem, back, nullptr));
    EXPECT_EQ(problem, "no mesh in the file");
    EXPECT_TRUE(back.empty());
    struct stat info {};
    ASSERT_EQ(fstat(memory.fd, &info), 0);
    ASSERT_EQ(ftruncate(memory.fd, info.st_size - 1), 0);
    EXPECT_FALSE(gxhost::ImportTransfer::read(memory.fd, problem, back, nullptr));
}

} // namespace gxtest
