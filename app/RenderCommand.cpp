#include "RenderCommand.h"

#include "ExitStatus.h"
#include "Json.h"
#include "OutputFiles.h"
#include "Progress.h"
#include "Session.h"
#include "Table.h"

#include <gxhost/Host.h>
#include <gxhost/Viewport.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>

namespace gradix {

RenderCommand::RenderCommand(CLI::App& parent) {
    command_ = parent.add_subcommand("render", "Draw the (simplified) meshes of a file into a PNG");
    command_->add_option("IN", input_, "Mesh file to read")->required()->check(CLI::ExistingFile);
    command_->add_option("-o,--output", output_, "PNG file to write")->required();
    command_->add_option("--percent", percent_, "Resolution to draw, in percent of the triangles")
        ->check(CLI::Range(0.0, 100.0))
        ->capture_default_str();
    command_
        ->add_option("--visualize", visualize_,
                     "Overlay the next contractions: faces (touched faces in red) or lines (the pairs)")
        ->check(CLI::IsMember({"faces", "lines"}));
    command_->add_option("--range", range_, "Share of the pending pairs the overlay shows, cheapest first")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    command_->add_option("--size", size_, "Image size WIDTHxHEIGHT")->capture_default_str();
    command_->add_option("--view", view_, "Camera: front, side, top or iso")
        ->check(CLI::IsMember({"front", "side", "top", "iso"}))
        ->capture_default_str();
    command_->add_flag("--wireframe", wireframe_, "Draw edges instead of shaded faces");
    graph_.addOptions(*command_, false);
}

bool RenderCommand::selected() const {
    return command_->parsed();
}

std::array<double, 3> RenderCommand::viewDirection(const std::string& view) {
    if (view == "front")
        return {0.0, 0.0, 1.0};
    if (view == "side")
        return {1.0, 0.0, 0.0};
    if (view == "top")
        return {0.0, 1.0, 0.0};
    return {1.0, 0.8, 1.2};
}

bool RenderCommand::parseSize(const std::string& text, int& width, int& height) {
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &extra) != 3 || (x != 'x' && x != 'X'))
        return false;
    return width >= 16 && width <= 8192 && height >= 16 && height <= 8192;
}

int RenderCommand::run(const GlobalOptions& global) {
    int width = 0, height = 0;
    if (!parseSize(size_, width, height))
        return failWith("render: --size '" + size_ + "' is not WIDTHxHEIGHT with each between 16 and 8192",
                        EXIT_USAGE);
    Progress progress(Progress::wanted(global.progress));
    std::string error;
    Session session(global.pluginPath);
    progress.stage("loading the plug-in");
    if (!session.loadPlugin(error))
        return failWith(error);
    if (!visualize_.empty() && !gxhost::isNodeTypeRegistered("VisualizerGX"))
        return failWith(global.pluginPath +
                        ": the plug-in has no \"VisualizerGX\" node type for --visualize");
    GraphSet set;
    progress.stage("reading " + input_);
    if (!set.load(session, input_, error))
        return failWith(error);
    progress.stage("simplifying to " + formatNumber(percent_, 3) + "%");
    MeshCounts counts;
    if (!set.build(graph_.settings, graph_.weights, error) ||
        !set.setResolution(static_cast<float>(percent_), error) || !set.evaluate(counts, error))
        return failWith(error);

    std::set<std::string> shown;
    for (LodGraph& graph : set.graphs()) {
        shown.insert(graph.resultNode());
        if (visualize_.empty())
            continue;
        session.clearMessages();
        MStatus status;
        const std::string name = gxhost::nodeName(
            gxhost::createNode("VisualizerGX", graph.source().node + "_visualizer", &status));
        if (!status || !gxhost::connect(graph.gradixNode() + ".outSlimInfo", name + ".inSlimInfo") ||
            !gxhost::connect(graph.resultNode() + ".outMesh", name + ".inMesh") ||
            !gxhost::setAttr(name + ".method", visualize_ == "faces" ? 0 : 1) ||
            !gxhost::setAttr(name + ".range", range_))
            return failWith(withHostError(input_ + ": cannot set up the visualizer for mesh '" +
                                              graph.source().scene.name + "'",
                                          session));
    }

    progress.stage("drawing");
    session.clearMessages();
    MStatus status;
    gxhost::Viewport view(width, height, &status);
    if (!status || !view.valid())
        return failWith(withHostError(output_ + ": no OpenGL context for drawing", session));
    view.setMeshFilter([&shown](const std::string& node) { return shown.count(node) > 0; });
    view.frameScene(viewDirection(view_));
    if (!view.refresh(wireframe_ ? M3dView::kWireFrame : M3dView::kGouraudShaded, M3dView::kDormant))
        return failWith(withHostError(output_ + ": drawing failed", session));
    if (!session.hostError().empty())
        return failWith(output_ + ": drawing failed (" + session.hostError() + ")");

    // Written beside the target and renamed into place, so a failed write leaves no file.
    OutputFiles files;
    const std::string temporary = output_ + ".part";
    files.add(temporary);
    if (!view.savePNG(temporary))
        return failWith(withHostError(output_ + ": cannot write the PNG", session));
    std::error_code code;
    std::filesystem::rename(temporary, output_, code);
    if (code)
        return failWith(output_ + ": cannot write the PNG (" + code.message() + ")");
    progress.finish();

    const MeshCounts source = set.sourceCounts();
    if (global.json) {
        const Json report = {{"command", "render"},
                             {"input", input_},
                             {"output", output_},
                             {"width", width},
                             {"height", height},
                             {"resolution", jsonNumber(percent_)},
                             {"triangles", counts.triangles},
                             {"sourceTriangles", source.triangles},
                             {"visualize", visualize_.empty() ? "none" : visualize_}};
        std::cout << jsonText(report) << "\n";
    } else {
        std::cout << "wrote " << output_ << " (" << width << "x" << height << ", " << view_
                  << " view): " << groupDigits(counts.triangles) << " of " << groupDigits(source.triangles)
                  << " triangles at " << formatNumber(percent_, 3) << "%";
        if (!visualize_.empty())
            std::cout << ", next contractions shown as " << visualize_;
        std::cout << "\n";
    }
    session.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
