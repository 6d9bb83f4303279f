// OutputFiles on its own, for the failure path a whole run cannot reach: a run that fails after
// writing some of its files (which are then never committed) removes them, the staging folder and
// the folders it created.
#include "OutputFiles.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

TEST(OutputFiles, UncommittedFilesAndTheFoldersMadeForThemAreRemoved) {
    apptest::ScratchDir dir;
    {
        gradix::OutputFiles files;
        std::string error;
        ASSERT_TRUE(files.open(dir.path("new/levels"), error)) << error;
        apptest::writeText(files.stage("sample_lod50.gltf"), "written");
        apptest::writeText(files.stage("sample_lod25.gltf"), "half writ");
        EXPECT_EQ(dir.files().size(), 2u);
    }
    EXPECT_TRUE(dir.files().empty());
    EXPECT_FALSE(apptest::exists(dir.path("new")));
}
