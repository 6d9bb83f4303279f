#include "AssetWriter.h"

#include "io/ExportFormat.h"
#include "io/MeshImporter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>

namespace gradix {
namespace {

std::string extensionOf(const std::string& path) {
    const size_t dot = path.find_last_of('.'), slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

} // namespace

bool AssetWriter::open(const std::string& input, std::string& error) {
    input_ = input;
    const std::string ext = extensionOf(input);
    gltfInput_ = ext == "gltf" || ext == "glb";
    if (!gltfInput_ || !document_.load(input, error))
        return !gltfInput_;
    // A glTF 1.0 file (meshes in a dictionary) cannot be rewritten in place: it is written anew
    // from what was read, as the other formats are.
    gltfInput_ = document_.asset.contains("meshes") && document_.asset.at("meshes").is_array();
    // The buffers (the bulk of the file) are not needed until a rewrite: dropped here so that they
    // are not held while the meshes are simplified, and read again by reloadBuffers().
    buffersDropped_ = !document_.buffers.empty();
    document_.buffers = {};
    return true;
}

bool AssetWriter::reloadBuffers(std::string& error) {
    if (!buffersDropped_)
        return true;
    gxhost::GltfDocument again;
    if (!again.load(input_, error))
        return false;
    if (again.asset != document_.asset) {
        error = input_ + ": the file changed while it was being simplified";
        return false;
    }
    document_ = std::move(again);
    buffersDropped_ = false;
    return true;
}

bool AssetWriter::rewrites(const std::string& format) const {
    return gltfInput_ && (format == "gltf" || format == "glb");
}

bool AssetWriter::mayRewrite(const std::string& input, const std::string& format) {
    const std::string ext = extensionOf(input);
    return (ext == "gltf" || ext == "glb") && (format == "gltf" || format == "glb");
}

bool AssetWriter::write(Session& session, const std::string& path, const std::string& format,
                        const std::vector<SourceMesh>& sources, const std::vector<gxhost::GltfLevel>& levels,
                        bool strict, std::string& error) {
    warnings_.clear();
    if (rewrites(format)) {
        if (!reloadBuffers(error))
            return false;
        std::vector<gxhost::SceneMesh> read;
        for (const SourceMesh& source : sources)
            read.push_back(source.scene);
        // The rewrite tells what it cannot carry while building; a strict run builds into nothing
        // first by failing on the first warning.
        if (!gxhost::writeRewrittenGltf(path, format == "glb", document_, read, levels, warnings_, strict,
                                        error))
            return false;
        warnMissingImages(path);
        return true;
    }
    if (levels.size() != 1) {
        error = path + ": a chain of levels in one file needs a glTF or glb input";
        return false;
    }
    const gxhost::ExportFormat* target = gxhost::findExportFormat(path, format);
    if (!target) {
        error = path + ": unknown format '" + format + "'";
        return false;
    }
    if (!source_) {
        // Read as every import is (in a child process), for what the writer keeps besides meshes.
        auto source = std::make_unique<gxhost::SourceAsset>();
        std::vector<gxhost::SceneMesh> unused;
        if (!gxhost::importSceneAndAsset(input_, unused, source.get(), error))
            return false;
        source_ = std::move(source);
    }
    warnings_ = gxhost::describeLosses(source_->contents(), path, target->keeps);
    if (strict && !warnings_.empty()) {
        error = warnings_.front() + " (--strict)";
        return false;
    }
    return session.exportFile(path, format, levels.front().meshes, error, source_.get());
}

// Images the input references by a relative path are referenced by the same path from the output;
// written to another folder, the output shows no texture until the files are copied beside it.
void AssetWriter::warnMissingImages(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path from = fs::path(input_).parent_path(), to = fs::path(path).parent_path();
    for (const nlohmann::json& image : document_.asset.value("images", nlohmann::json::array())) {
        const std::string uri = image.value("uri", "");
        if (uri.empty() || uri.rfind("data:", 0) == 0 || uri.find("://") != std::string::npos)
            continue;
        std::error_code ignored;
        if (fs::exists(from / uri, ignored) && !fs::exists(to / uri, ignored))
            warnings_.push_back("image '" + uri +
                                "' is referenced beside the input, not beside the output: copy it next to "
                                "the output for its texture to show");
    }
}

void AssetWriter::printWarnings() const {
    for (const std::string& warning : warnings_)
        std::cerr << "gradix: warning: " << warning << "\n";
}

std::vector<double> screenCoverages(const std::vector<double>& errors, double screenPixels) {
    std::vector<double> coverage(errors.size(), 0.0); // the coarsest level: down to nothing
    for (size_t i = 0; i + 1 < errors.size(); ++i) {
        // Level i gives way to level i+1 once the coarser level's error spans at most one pixel.
        // (A lossless level counts as one millionth of the diagonal off.)
        const double next = 1.0 / (screenPixels * std::max(errors[i + 1], 1e-6));
        coverage[i] = i > 0 ? std::min(coverage[i - 1], next) : next;
    }
    return coverage;
}

} // namespace gradix
