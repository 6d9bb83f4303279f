#include "ExportFormat.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace gxhost {
namespace {

// note: Assimp's glTF writers run its vertex join first, and its binary FBX writer needs repair;
// see the flags in ExportFormat.h.
const ExportFormat kFormats[] = {
    {"gltf", "gltf", "gltf2", true, false, false, {true, true}, true},
    {"glb", "glb", "glb2", true, false, false, {true, true}, true},
    {"fbx", "fbx", "fbx", false, true, false, {true, true}, false},
    {"dae", "dae", "collada", false, false, false, {true, true}, true},
    {"obj", "obj", "obj", false, false, false, {true, false}, false},
    {"ply", "ply", "ply", false, false, true, {false, false}, false},
    {"ply-ascii", "ply", "ply", false, false, false, {false, false}, false},
    {"fbxascii", "fbx", "fbxa", false, false, false, {true, true}, false},
};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string extensionOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return lowerCase(path.substr(dot + 1));
}

} // namespace

const ExportFormat* findExportFormat(const std::string& path, const std::string& format) {
    const std::string wanted = format.empty() ? extensionOf(path) : lowerCase(format);
    for (const ExportFormat& f : kFormats) {
        if (!wanted.empty() && wanted == (format.empty() ? f.extension : f.name)) {
            return &f;
        }
    }
    return nullptr;
}

std::string exportFormatNames() {
    std::string names;
    for (const ExportFormat& f : kFormats) {
        names += names.empty() ? "" : ", ";
        names += f.name;
    }
    return names;
}

} // namespace gxhost
