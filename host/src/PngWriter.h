// PngWriter: writes 8-bit RGBA pixels (rows top first) as a PNG file with libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gxhost {

// False with an error text naming the file when it cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
              std::string& error);

} // namespace gxhost
