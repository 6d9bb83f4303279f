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
    // Whether a writer of `input` might rewrite it as `format` (false: it never will).
    static bool mayRewrite(const std::string& input, const std::string& format);
    // What the input holds besides its meshes, kept when it was read (GraphSet::keepSourceAsset);
    // a writer without it reads the input again when it needs it.
    void keepSource(std::unique_ptr<gxhost::SourceAsset> source) { source_ = std::move(source); }
    // One level is a plain file; more levels (rewriting only) one file with the whole chain.
    bool write(Session& session, const std::string& path, const std::string& format,
               const std::vector<SourceMesh>& sources, const std::vector<gxhost::GltfLevel>& levels,
               bool strict, std::string& error);
    const std::vector<std::string>& warnings() const { return warnings_; }
    void printWarnings() const;

private:
    void warnMissingImages(const std::string& path);
    // Reads the input's buffers again for a rewrite, failing if the file changed since open().
    bool reloadBuffers(std::string& error);

    std::string input_;
    bool gltfInput_ = false;
    gxhost::GltfDocument document_;
    bool buffersDropped_ = false;
    std::unique_ptr<gxhost::SourceAsset> source_; // read on the first write that does not rewrite
    std::vector<std::string> warnings_;
};

// The screen coverage (the share of the screen's height the model fills) down to which each level
// of a chain is drawn, from each level's measured Hausdorff distance as a share of the model's
// diagonal: a level gives way to the next coarser one once that level's error would span at most one
// pixel of a screen `screenPixels` high (never above the finer level's; above 1 when the model must
// be larger than the screen); the coarsest level down to nothing (never culled).
std::vector<double> screenCoverages(const std::vector<double>& errors, double screenPixels = 1080.0);

} // namespace gradix
