// Feeds arbitrary bytes to the tool's weights-file reader and cuts what it reads for a scene of two
// meshes: every input must end in the values or one error line, with no crash or undefined behaviour.
#include "Session.h"
#include "WeightSource.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = "/tmp/gradix-fuzz-" + std::to_string(getpid()) + ".weights";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    gradix::WeightSource weights;
    std::string error;
    if (weights.readFile(path, error)) {
        std::vector<gradix::SourceMesh> meshes(2);
        meshes[0].scene.points.resize(3);
        meshes[1].scene.points.resize(size % 7);
        std::vector<std::vector<double>> perMesh;
        weights.split(meshes, perMesh, error);
    }
    std::remove(path.c_str());
    return 0;
}
