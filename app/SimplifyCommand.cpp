#include "SimplifyCommand.h"

#include "AssetWriter.h"
#include "ErrorMeter.h"
#include "ExitStatus.h"
#include "Json.h"
#include "Measured.h"
#include "OptionChecks.h"
#include "OutputGuard.h"
#include "Progress.h"
#include "SceneBudget.h"
#include "Session.h"
#include "Table.h"
#include "TargetSearch.h"

#include "io/ExportFormat.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <iostream>

namespace gradix {
namespace {

Json countsJson(const MeshCounts& counts) {
    return {{"triangles", counts.triangles}, {"vertices", counts.vertices}};
}

} // namespace

SimplifyCommand::SimplifyCommand(CLI::App& parent) {
    command_ = parent.add_subcommand("simplify", "Simplify every mesh of a file and write the result");
    command_->footer("Example:\n  gradix simplify model.glb -o model_lod25.glb --percent 25");
    command_->add_option("IN", input_, "Mesh file to read (FBX, glTF, OBJ, PLY, Collada, ...)")
        ->required()
        ->check(CLI::ExistingFile);
    command_->add_option("-o,--output", output_, "Mesh file to write; its extension picks the format")
        ->required();
    command_->add_option("--format", format_,
                         "Output format when not the extension's: " + gxhost::exportFormatNames());
    const std::string group = "Target (exactly one)";
    CLI::Option* percent = command_
                               ->add_option("--percent", percent_,
                                            "Keep this percentage of each mesh's triangles (the resolution)")
                               ->check(finiteRange(0.0, 100.0))
                               ->group(group);
    CLI::Option* triangles =
        command_->add_option("--triangles", triangles_, "Reach this many triangles in all (searched)")
            ->check(countRange(kMaxElementCount))
            ->group(group);
    CLI::Option* vertices =
        command_->add_option("--vertices", vertices_, "Reach this many vertices in all (searched)")
            ->check(countRange(kMaxElementCount))
            ->group(group);
    CLI::Option* maxError =
        command_
            ->add_option("--max-error", maxError_,
                         "Coarsest result whose measured two-sided Hausdorff distance is at most this: "
                         "absolute units, or a percentage of the bounding-box diagonal such as 0.5%")
            ->group(group);
    percent->excludes(triangles)->excludes(vertices)->excludes(maxError);
    triangles->excludes(vertices)->excludes(maxError);
    vertices->excludes(maxError);
    command_->add_flag("--allow-larger", allowLarger_,
                       "A target at or above the input's size writes the input unchanged instead of failing");
    command_->add_flag("--allow-drop", allowDrop_,
                       "Let parts of a multi-mesh file go below 4 triangles, or vanish");
    graph_.addOptions(*command_);
}

bool SimplifyCommand::selected() const {
    return command_->parsed();
}

int SimplifyCommand::run(const GlobalOptions& global) {
    if (percent_ < 0.0 && triangles_ == 0 && vertices_ == 0 && maxError_.empty())
        return failWith("simplify: give the target as --percent, --triangles, --vertices or --max-error",
                        EXIT_USAGE);
    if (!gxhost::findExportFormat(output_, format_))
        return failWith(output_ + ": no known output format " +
                        (format_.empty() ? "for this extension" : "'" + format_ + "'") + " (use one of " +
                        gxhost::exportFormatNames() + ")");
    std::string error;
    OutputGuard guard(input_);
    guard.protect(graph_.weights.file);
    if (!guard.check(output_, error))
        return failWith(error);
    const auto start = std::chrono::steady_clock::now();
    Progress progress(Progress::wanted(global.progress));
    Session session(global.pluginPath);
    GraphSet set;
    set.shareInstances();
    const std::string formatName = gxhost::findExportFormat(output_, format_)->name;
    if (!AssetWriter::mayRewrite(input_, formatName))
        set.keepSourceAsset();
    graph_.reduceAhead(set, percent_, triangles_);
    AssetWriter writer;
    if (!set.open(session, input_, graph_.settings, graph_.weights, progress, error) ||
        !writer.open(input_, error))
        return failWith(error);
    writer.keepSource(set.takeSourceAsset());

    ErrorMeter meter(set.sources());
    SceneBudget budget(set, meter, allowDrop_);
    const MeshCounts sourceTotal = set.sourceCounts();
    const auto tooLarge = [&](const std::string& what) {
        return failWith(input_ + ": " + what +
                            " is at or above the input's size; nothing to simplify (use "
                            "--allow-larger to write the input unchanged)",
                        EXIT_USAGE);
    };
    TargetSearch::Result found;
    double bound = -1.0;
    if (!maxError_.empty()) {
        if (!parseErrorTarget("--max-error", maxError_, meter.diagonal(), bound, error))
            return failWith(error, EXIT_USAGE);
        if (bound >= meter.diagonal() && !allowLarger_)
            return tooLarge("--max-error " + maxError_ + " (box diagonal " +
                            formatNumber(meter.diagonal(), 6) + ")");
    } else if ((triangles_ && triangles_ >= sourceTotal.triangles) ||
               (vertices_ && vertices_ >= sourceTotal.vertices)) {
        if (!allowLarger_)
            return tooLarge(triangles_ ? "--triangles " + groupDigits(triangles_) + " (the input has " +
                                             groupDigits(sourceTotal.triangles) + ")"
                                       : "--vertices " + groupDigits(vertices_) + " (the input has " +
                                             groupDigits(sourceTotal.vertices) + ")");
        percent_ = 100.0;
    }
    if (!maxError_.empty() && bound >= meter.diagonal()) {
        if (!set.setResolution(100.0f, error))
            return failWith(error);
    } else if (bound > 0.0) {
        progress.stage("searching the coarsest result within " + maxError_);
        gxmeasure::Distance within;
        if (!budget.meetError(bound, within, error))
            return failWith(error);
    } else if (percent_ >= 0.0) {
        progress.stage("simplifying to " + formatNumber(percent_, 3) + "%");
        found.resolution = static_cast<float>(percent_);
        if (!budget.spendPercent(percent_, error))
            return failWith(error);
    } else {
        const bool byTriangles = triangles_ > 0;
        const uint64_t target = byTriangles ? triangles_ : vertices_;
        TargetSearch search(set.graphs(),
                            byTriangles ? TargetSearch::Measure::TRIANGLES : TargetSearch::Measure::VERTICES);
        int step = 0;
        search.onStep([&](float r) {
            progress.stage("searching for " + groupDigits(target) +
                           (byTriangles ? " triangles" : " vertices") + ", step " + std::to_string(++step) +
                           " at " + formatNumber(r, 4) + "%:");
        });
        if (!search.find(target, found, error))
            return failWith(input_ + ": " + error);
        if (!budget.keepParts(error))
            return failWith(error);
    }
    MeshCounts total;
    std::vector<MeshCounts> perMesh, sourcePerMesh;
    if (!set.settle(error) || !set.evaluate(total, error, &perMesh))
        return failWith(error);
    set.sourceCounts(&sourcePerMesh);
    // The engines are done with once the graphs are evaluated: freed before the results are read
    // and measured, so that neither adds to them at the run's peak.
    set.releaseEngines();
    std::vector<gxhost::SceneMesh> results;
    if (!set.results(!graph_.noMaterials, results, error))
        return failWith(error);
    progress.stage("measuring the error");
    const gxmeasure::Distance measured = meter.scene(results);
    meter.release(); // not needed while the result is written

    progress.stage("writing " + output_);
    if (!writer.write(session, output_, formatName, set.sources(),
                      {gxhost::GltfLevel{
                          writer.rewrites(formatName) ? results : withoutEmpty(set.placed(results)), 0.0}},
                      graph_.strict, error))
        return failWith(error);
    progress.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (global.json) {
        Json report = {{"command", "simplify"}, {"input", input_}, {"output", output_}};
        if (percent_ >= 0.0)
            report["target"] = {{"percent", jsonNumber(percent_)}};
        else if (!maxError_.empty())
            report["target"] = {{"maxError", jsonNumber(bound, 12)}};
        else
            report["target"] = {{triangles_ ? "triangles" : "vertices", triangles_ ? triangles_ : vertices_}};
        report["resolution"] = jsonNumber(set.graphs()[0].resolution(), 9);
        report["source"] = countsJson(sourceTotal);
        report["result"] = countsJson(total);
        report["meshes"] = Json::array();
        for (size_t i = 0; i < perMesh.size(); ++i)
            report["meshes"].push_back({{"name", set.sources()[i].scene.name},
                                        {"source", countsJson(sourcePerMesh[i])},
                                        {"result", countsJson(perMesh[i])},
                                        {"resolution", jsonNumber(set.graphs()[i].resolution(), 9)}});
        report["error"] = distanceJson(measured);
        report["seconds"] = jsonNumber(seconds, 3);
        std::cout << jsonText(report) << "\n";
    } else {
        std::cout << input_ << " -> " << output_ << "\n";
        Table table({"mesh", "triangles", "vertices", "resolution"});
        for (size_t i = 0; i < perMesh.size(); ++i)
            table.addRow(
                {set.sources()[i].scene.name,
                 groupDigits(sourcePerMesh[i].triangles) + " -> " + groupDigits(perMesh[i].triangles),
                 groupDigits(sourcePerMesh[i].vertices) + " -> " + groupDigits(perMesh[i].vertices),
                 formatNumber(set.graphs()[i].resolution(), 4) + "%"});
        if (perMesh.size() > 1)
            table.addRow({"(all)", groupDigits(sourceTotal.triangles) + " -> " + groupDigits(total.triangles),
                          groupDigits(sourceTotal.vertices) + " -> " + groupDigits(total.vertices), ""});
        std::cout << table.text();
        std::cout << "reached " << groupDigits(total.triangles) << " triangles, "
                  << groupDigits(total.vertices) << " vertices";
        if (triangles_)
            std::cout << " (target " << groupDigits(triangles_) << " triangles)";
        else if (vertices_)
            std::cout << " (target " << groupDigits(vertices_) << " vertices)";
        else if (!maxError_.empty())
            std::cout << " (error at most " << distanceCell(bound, measured.diagonal) << ")";
        std::cout << " in " << formatNumber(seconds, 2) << " s\n";
        std::cout << "measured error: Hausdorff " << distanceCell(measured.hausdorff, measured.diagonal)
                  << ", mean " << distanceCell(measured.mean, measured.diagonal);
        if (measured.hasBorder)
            std::cout << ", border " << distanceCell(measured.borderHausdorff, measured.diagonal);
        std::cout << "\n";
    }
    session.printWarnings();
    writer.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
