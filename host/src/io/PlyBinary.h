// asciiPlyToBinary: the same PLY in binary little-endian form. Assimp 5.2's binary PLY writer
// stores colours as floats under a header that declares bytes, so the exporter writes ASCII and
// converts it here; every value is carried exactly (the ASCII writer prints floats in full).
#pragma once

#include <string>

namespace gxhost {

// False with `problem` when `text` is not an ASCII PLY this understands (scalar and list
// properties of the standard types).
bool asciiPlyToBinary(const std::string& text, std::string& binary, std::string& problem);

} // namespace gxhost
