// MaterialLook: how a material appears in a picture — its base colour and, when it has one, its
// base-colour texture, decoded. Keyed by material (shading group) name where it is used.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gxhost {

struct MaterialLook {
    std::string name;
    std::array<float, 3> baseColor{1.0f, 1.0f, 1.0f};
    int textureWidth = 0, textureHeight = 0;
    std::vector<uint8_t> texture; // RGBA rows, top row first; empty when the material has none
    int uvSet = 0;                // the mesh's UV set (by position) the texture is laid out in
};

} // namespace gxhost
