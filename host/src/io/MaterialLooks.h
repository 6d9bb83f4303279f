// MaterialLooks: the base colours and base-colour textures of a mesh file's materials, read through
// Assimp and decoded with stb_image (PNG, JPEG and the rest it reads; embedded or beside the file).
// Names follow the mesh importer's, so a look is found by the material names meshes carry.
#pragma once

#include <gxhost/MaterialLook.h>

#include <string>
#include <vector>

namespace gxhost {

// False with an error naming the file when it cannot be read. A texture that cannot be found or
// decoded leaves its material with the base colour alone and adds a line to `warnings`.
bool readMaterialLooks(const std::string& path, std::vector<MaterialLook>& looks,
                       std::vector<std::string>& warnings, std::string& error);

} // namespace gxhost
