// Feeds arbitrary bytes to the mesh importer. The first byte picks the file's extension, so one
// corpus reaches every reader Assimp chooses by name; the rest is the file. Every input must end in
// a result or one error line: no crash, no hang, no sanitizer report, no allocation past the limit.
#include "io/ImportLimits.h"
#include "io/MeshImporter.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const kExtensions[] = {"obj", "ply", "stl", "off",  "dae", "gltf", "glb",     "fbx", "3ds",
                                   "x",   "ase", "lwo", "ms3d", "md2", "md3",  "md5mesh", "ac",  "nff",
                                   "smd", "ter", "xgl", "raw",  "cob", "q3o",  "3mf",     "amf", "irrmesh",
                                   "b3d", "iqm", "bvh", "csm",  "mdl", "hmp"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const bool once = [] {
        gxhost::setImportLimits({uint64_t(512) << 20, false, 10.0, true});
        return true;
    }();
    (void)once;
    const char* extension = kExtensions[data[0] % (sizeof(kExtensions) / sizeof(kExtensions[0]))];
    const std::string path = "/tmp/gradix-fuzz-" + std::to_string(getpid()) + "." + extension;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    std::vector<gxhost::SceneMesh> meshes;
    std::string error;
    gxhost::importSceneFile(path, meshes, error);
    std::remove(path.c_str());
    return 0;
}
