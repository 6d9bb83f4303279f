// Whole files as bytes, and little-endian numbers read from them (glb chunks, zip directories).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace gxhost {

inline bool readFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    bytes.resize(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    return static_cast<bool>(
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())));
}

inline uint32_t le16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

inline uint32_t le32(const uint8_t* p) {
    return le16(p) | le16(p + 2) << 16;
}

} // namespace gxhost
