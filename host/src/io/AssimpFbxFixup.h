// fixAssimpBinaryFbx: completes a binary FBX 7.5 file written by Assimp 5.2.
//   - Its writer leaves out the 25-byte null record that must close every nested node list (and
//     the top-level list); no FBX reader, Assimp's included, accepts the file without them.
//   - It leaves every UV layer's name empty; the names are filled in, so UV sets keep their names.
//
//   record = endOffset u64, propertyCount u64, propertyBytes u64, nameLength u8, name, properties,
//            [children..., null record]            (null record: 25 zero bytes)
//
// Records are copied with their properties untouched (apart from the UV layer names); every end
// offset is recomputed and the footer is rebuilt for the new length (16-byte alignment).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gxhost {

// Rewrites `data` in place. `uvSetNames[g][k]` names UV layer k of the g-th Geometry (Assimp writes
// one Geometry per mesh, in scene order). False with `problem` when `data` is not a binary FBX 7.5
// file as Assimp writes it.
bool fixAssimpBinaryFbx(std::vector<uint8_t>& data, const std::vector<std::vector<std::string>>& uvSetNames,
                        std::string& problem);

} // namespace gxhost
