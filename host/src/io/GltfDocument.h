// GltfDocument: a glTF 2 asset (.gltf with its buffers, or .glb) as JSON plus the bytes of every
// buffer, for rewriting an asset in place of Assimp's writer. Buffers may be external files
// (resolved beside the .gltf), data URIs or the glb's binary chunk.
//
//   1. GltfDocument doc; if (!doc.load(path, error)) show error ("<path>: <problem>").
//   2. doc.readFloats(accessor, values, components, error) reads any accessor as floats
//      (normalized integers scaled, sparse substitutions applied); doc.readIndices likewise.
//   3. writeGltfFile(path, binary, json, bin, embedBuffer, error) writes a new asset atomically.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace gxhost {

struct GltfDocument {
    nlohmann::json asset;
    std::vector<std::vector<uint8_t>> buffers;
    bool allBuffersEmbedded = true; // every buffer a data URI or the glb chunk

    bool load(const std::string& path, std::string& error);
    bool readFloats(size_t accessor, std::vector<float>& values, int& components, std::string& error) const;
    bool readIndices(size_t accessor, std::vector<uint32_t>& values, std::string& error) const;
    // The bytes of a buffer view, or false when it lies outside its buffer.
    bool viewBytes(size_t view, std::vector<uint8_t>& bytes, std::string& error) const;
};

// Writes `json` with `bin` as its one buffer: a glb with a binary chunk, or a .gltf whose buffer is
// a data URI (`embedBuffer`) or "<stem>.bin" beside it. Sets buffers[0] itself. Nothing is left
// behind on failure.
bool writeGltfFile(const std::string& path, bool binary, nlohmann::json json, const std::vector<uint8_t>& bin,
                   bool embedBuffer, std::string& error);

std::string base64Encode(const std::vector<uint8_t>& bytes);
bool base64Decode(const std::string& text, std::vector<uint8_t>& bytes);

} // namespace gxhost
