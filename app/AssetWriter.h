// AssetWriter: writes simplified meshes as the output asset. A glTF input written as glTF or glb is
// rewritten from its own file (gxhost::writeRewrittenGltf: everything but the geometry as read, one
// file for a whole LOD chain); any other pairing goes through the host's mesh writer with the
// input's materials (every property, texture references, embedded images) where the format holds
// them, and whatever of the input that writer cannot hold is named in one warning line each. With `strict`,
// such warnings fail the write before anything is written.
//
//   1. AssetWriter writer; writer.open(input, error)
//   2. writer.write(session, path, format, sources, levels, strict, error); writer.warnings()
#pragma once

#include "Session.h"

#include "io/AssetContents.h"
#include "io/GltfRewrite.h"

#include <memory>
#include <string>
#include <vector>

namespace gradix {

class AssetWriter {
public:
    bool open(const std::string& input, std::string& error);
    // Whether `format` ("gltf", "glb", …) is written by rewriting the input.
    bool rewrites(const std::string& format) const;
    // One level is a plain file; more levels (rewriting only) one file with the whole chain.
    bool write(Session& session, const std::string& path, const std::string& format,
               const std::vector<SourceMesh>& sources, const std::vector<gxhost::GltfLevel>& levels,
               bool strict, std::string& error);
    const std::vector<std::string>& warnings() const { return warnings_; }
    void printWarnings() const;

private:
    void warnMissingImages(const std::string& path);

    std::string input_;
    bool gltfInput_ = false;
    gxhost::GltfDocument document_;
    std::unique_ptr<gxhost::SourceAsset> source_; // read on the first write that does not rewrite
    std::vector<std::string> warnings_;
};

// The screen coverage of each level of a chain from its triangle count: the finest level down to
// half the screen, each coarser one down to half the screen times its share of the finest level's
// triangles, the coarsest to nothing (never culled).
std::vector<double> screenCoverages(const std::vector<uint64_t>& triangles);

} // namespace gradix
