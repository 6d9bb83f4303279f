#include "SimplifyCommand.h"

#include "AssetWriter.h"
#include "ExitStatus.h"
#include "Json.h"
#include "OptionChecks.h"
#include "OutputGuard.h"
#include "Progress.h"
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
    percent->excludes(triangles)->excludes(vertices);
    triangles->excludes(vertices);
    graph_.addOptions(*command_);
}

bool SimplifyCommand::selected() const {
    return command_->parsed();
}

int SimplifyCommand::run(const GlobalOptions& global) {
    if (percent_ < 0.0 && triangles_ == 0 && vertices_ == 0)
        return failWith("simplify: give the target as --percent, --triangles or --vertices", EXIT_USAGE);
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
    AssetWriter writer;
    if (!set.open(session, input_, graph_.settings, graph_.weights, progress, error) || !writer.open(input_, error))
        return failWith(error);

    TargetSearch::Result found;
    if (percent_ >= 0.0) {
        progress.stage("simplifying to " + formatNumber(percent_, 3) + "%");
        found.resolution = static_cast<float>(percent_);
        MeshCounts total;
        if (!set.setResolution(found.resolution, error) || !set.evaluate(total, error))
            return failWith(error);
    } else {
        const bool byTriangles = triangles_ > 0;
        const uint64_t target = byTriangles ? triangles_ : vertices_;
        TargetSearch search(set.graphs(),
                            byTriangles ? TargetSearch::Measure::TRIANGLES : TargetSearch::Measure::VERTICES);
        search.onStep([&](float r) {
            progress.stage("searching " + groupDigits(target) + (byTriangles ? " triangles" : " vertices") +
                           ": trying " + formatNumber(r, 4) + "%");
        });
        if (!search.find(target, found, error))
            return failWith(input_ + ": " + error);
    }
    MeshCounts total;
    std::vector<MeshCounts> perMesh, sourcePerMesh;
    if (!set.evaluate(total, error, &perMesh))
        return failWith(error);
    const MeshCounts sourceTotal = set.sourceCounts(&sourcePerMesh);

    progress.stage("writing " + output_);
    std::vector<gxhost::SceneMesh> results;
    if (!set.results(!graph_.noMaterials, results, error) ||
        !writer.write(session, output_, gxhost::findExportFormat(output_, format_)->name, set.sources(),
                      {gxhost::GltfLevel{std::move(results), 0.0}}, graph_.strict, error))
        return failWith(error);
    progress.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (global.json) {
        Json report = {{"command", "simplify"}, {"input", input_}, {"output", output_}};
        if (percent_ >= 0.0)
            report["target"] = {{"percent", jsonNumber(percent_)}};
        else
            report["target"] = {{triangles_ ? "triangles" : "vertices", triangles_ ? triangles_ : vertices_}};
        report["resolution"] = jsonNumber(found.resolution);
        report["source"] = countsJson(sourceTotal);
        report["result"] = countsJson(total);
        report["meshes"] = Json::array();
        for (size_t i = 0; i < perMesh.size(); ++i)
            report["meshes"].push_back({{"name", set.sources()[i].scene.name},
                                        {"source", countsJson(sourcePerMesh[i])},
                                        {"result", countsJson(perMesh[i])}});
        report["seconds"] = jsonNumber(seconds, 3);
        std::cout << jsonText(report) << "\n";
    } else {
        std::cout << input_ << " -> " << output_ << "\n";
        Table table({"mesh", "triangles", "vertices"});
        for (size_t i = 0; i < perMesh.size(); ++i)
            table.addRow(
                {set.sources()[i].scene.name,
                 groupDigits(sourcePerMesh[i].triangles) + " -> " + groupDigits(perMesh[i].triangles),
                 groupDigits(sourcePerMesh[i].vertices) + " -> " + groupDigits(perMesh[i].vertices)});
        if (perMesh.size() > 1)
            table.addRow({"(all)", groupDigits(sourceTotal.triangles) + " -> " + groupDigits(total.triangles),
                          groupDigits(sourceTotal.vertices) + " -> " + groupDigits(total.vertices)});
        std::cout << table.text();
        std::cout << "reached " << groupDigits(total.triangles) << " triangles, "
                  << groupDigits(total.vertices) << " vertices";
        if (triangles_)
            std::cout << " (target " << groupDigits(triangles_) << " triangles)";
        else if (vertices_)
            std::cout << " (target " << groupDigits(vertices_) << " vertices)";
        std::cout << " at resolution " << formatNumber(found.resolution, 4) << "% in "
                  << formatNumber(seconds, 2) << " s\n";
    }
    session.printWarnings();
    writer.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
