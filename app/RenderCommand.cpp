#include "RenderCommand.h"

#include "ExitStatus.h"
#include "Json.h"
#include "OptionChecks.h"
#include "OutputGuard.h"
#include "Picture.h"
#include "Progress.h"
#include "Session.h"
#include "Table.h"

#include "io/MaterialLooks.h"
#include <gxhost/Host.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <set>

namespace gradix {

RenderCommand::RenderCommand(CLI::App& parent) {
    command_ = parent.add_subcommand("render", "Draw the (simplified) meshes of a file into a PNG or JPEG");
    command_->footer("Example:\n  gradix render model.glb -o model.png --percent 25 --wireframe --yaw 30");
    command_->add_option("IN", input_, "Mesh file to read")->required()->check(CLI::ExistingFile);
    command_->add_option("-o,--output", output_, "Picture to write: .png, .jpg or .jpeg")->required();
    command_
        ->add_option("--percent", percent_, "Resolution to draw, in percent of the triangles [default: 100]")
        ->check(finiteRange(0.0, 100.0));
    command_
        ->add_option("--visualize", visualize_,
                     "Overlay the next contractions: faces (touched faces in red) or lines (the pairs)")
        ->check(CLI::IsMember({"faces", "lines"}));
    command_
        ->add_option("--range", range_,
                     "Share of the pending pairs the overlay shows, cheapest first [default: 0.2]")
        ->check(finiteRange(0.0, 1.0));
    view_.addOptions(*command_);
    graph_.addOptions(*command_, false);
}

bool RenderCommand::selected() const {
    return command_->parsed();
}

std::string RenderCommand::legend(const std::string& visualize, double range) {
    const std::string share = formatNumber(range * 100.0, 1) + "%";
    if (visualize == "faces")
        return "red: faces the cheapest " + share + " of the pending contractions change";
    return "lines: the cheapest " + share + " of the pending contractions (thicker = cheaper)";
}

void RenderCommand::drawLegend(Picture& picture, const std::string& visualize, double range) {
    const std::string text = legend(visualize, range);
    const int scale = picture.width() >= 600 ? 2 : 1, pad = 4 * scale, swatch = Picture::textHeight(scale);
    const int height = swatch + 2 * pad, y = picture.height() - height;
    picture.fillRect(0, y, std::min(picture.width(), Picture::textWidth(text, scale) + swatch + 3 * pad),
                     height, {20, 20, 24});
    picture.fillRect(pad, y + pad, swatch, swatch,
                     visualize == "faces" ? Rgb{200, 30, 30} : Rgb{230, 60, 40});
    picture.drawText(2 * pad + swatch, y + pad + scale, text, {235, 235, 235}, scale);
}

int RenderCommand::run(const GlobalOptions& global) {
    int width = 0, height = 0;
    if (!PictureView::parseSize(view_.size, width, height))
        return failWith("render: --size '" + view_.size +
                            "' is not WIDTHxHEIGHT with each between 16 and 8192",
                        EXIT_USAGE);
    if (!Picture::knownExtension(output_))
        return failWith(output_ + ": pictures are written as .png, .jpg or .jpeg", EXIT_USAGE);
    std::string error;
    OutputGuard guard(input_);
    guard.protect(graph_.weights.file);
    if (!guard.check(output_, error))
        return failWith(error);
    Progress progress(Progress::wanted(global.progress));
    Session session(global.pluginPath);
    GraphSet set;
    std::vector<gxhost::MaterialLook> looks;
    std::vector<std::string> lookWarnings;
    if (!set.open(session, input_, graph_.settings, graph_.weights, progress, error) ||
        !gxhost::readMaterialLooks(input_, looks, lookWarnings, error))
        return failWith(error);
    if (!visualize_.empty() && !gxhost::isNodeTypeRegistered("VisualizerGX"))
        return failWith(global.pluginPath +
                        ": the plug-in has no \"VisualizerGX\" node type for --visualize");
    progress.stage("simplifying to " + formatNumber(percent_, 3) + "%");
    MeshCounts counts;
    if (!set.setResolution(static_cast<float>(percent_), error) || !set.evaluate(counts, error))
        return failWith(error);

    std::set<std::string> shown, faceted;
    for (LodGraph& graph : set.graphs()) {
        shown.insert(graph.resultNode());
        if (graph.source().flatNormals)
            faceted.insert(graph.resultNode());
        if (!looks.empty() && !graph.transferMaterials(error))
            return failWith(error);
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
    Picture picture;
    if (!drawPicture(
            session, view_, width, height,
            [&shown](const std::string& node) { return shown.count(node) > 0; }, looks, picture, error, {},
            [&faceted](const std::string& node) { return faceted.count(node) > 0; }))
        return failWith(output_ + ": " + error);
    if (!visualize_.empty())
        drawLegend(picture, visualize_, range_);

    if (!picture.write(output_, error))
        return failWith(error);
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
        std::cout << "wrote " << output_ << " (" << width << "x" << height << ", " << view_.view
                  << " view): " << groupDigits(counts.triangles) << " of " << groupDigits(source.triangles)
                  << " triangles at " << formatNumber(percent_, 3) << "%";
        if (!visualize_.empty())
            std::cout << ", next contractions shown as " << visualize_;
        std::cout << "\n";
    }
    for (const std::string& warning : lookWarnings)
        std::cerr << "gradix: warning: " << warning << "\n";
    session.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
