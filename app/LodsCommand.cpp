#include "LodsCommand.h"

#include "AssetWriter.h"
#include "ExitStatus.h"
#include "Json.h"
#include "OptionChecks.h"
#include "OutputFiles.h"
#include "OutputGuard.h"
#include "Progress.h"
#include "Session.h"
#include "Table.h"

#include "io/ExportFormat.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sys/stat.h>

namespace gradix {
namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

LodsCommand::LodsCommand(CLI::App& parent) {
    command_ = parent.add_subcommand(
        "lods", "Write a chain of levels of detail, one file per level or all in one glTF/glb file");
    command_->add_option("IN", input_, "Mesh file to read")->required()->check(CLI::ExistingFile);
    command_->add_option("-o,--output", folder_, "Folder for the level files (made when missing), or one .glb/.gltf file for "
                                                   "the whole chain linked by MSFT_lod")
        ->required();
    command_
        ->add_option("--levels", levels_,
                     "Percentages of the source's triangles, comma-separated; reached from the finest down")
        ->delimiter(',')
        ->check(finiteRange(0.0, 100.0))
        ->capture_default_str();
    command_->add_option(
        "--format", format_,
        "Format of the level files (default: the input's when it can be written, else glb): " +
            gxhost::exportFormatNames());
    graph_.addOptions(*command_);
}

bool LodsCommand::selected() const {
    return command_->parsed();
}

std::string LodsCommand::levelPath(const std::string& folder, const std::string& input, double level,
                                   const std::string& extension) {
    const std::string stem = std::filesystem::path(input).stem().string();
    return (std::filesystem::path(folder) / (stem + "_lod" + formatNumber(level, 3) + "." + extension))
        .string();
}

int LodsCommand::run(const GlobalOptions& global) {
    // An output named like a glTF file holds the whole chain.
    const gxhost::ExportFormat* chainFormat = gxhost::findExportFormat(folder_, "");
    const bool chain = chainFormat && (std::string(chainFormat->name) == "gltf" || std::string(chainFormat->name) == "glb");
    const gxhost::ExportFormat* format = chain ? chainFormat : gxhost::findExportFormat(input_, format_);
    if (!format && !format_.empty())
        return failWith("lods: unknown format '" + format_ + "' (use one of " + gxhost::exportFormatNames() +
                            ")",
                        EXIT_USAGE);
    if (!format)
        format = gxhost::findExportFormat("", "glb");
    // fbxascii has no extension of its own.
    const std::string extension = *format->extension ? format->extension : "fbx";

    std::vector<double> levels = levels_;
    std::sort(levels.begin(), levels.end(), std::greater<double>());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());

    std::string error;
    OutputGuard guard(input_);
    guard.protect(graph_.weights.file);
    if (chain && !guard.check(folder_, error))
        return failWith(error);
    for (double level : levels)
        if (!chain && !guard.check(levelPath(folder_, input_, level, extension), error))
            return failWith(error);
    struct stat folderInfo {};
    if (!chain && stat(folder_.c_str(), &folderInfo) == 0 && !S_ISDIR(folderInfo.st_mode))
        return failWith(folder_ + ": not a folder (give the folder for the level files)");

    const auto start = std::chrono::steady_clock::now();
    Progress progress(Progress::wanted(global.progress));
    Session session(global.pluginPath);
    GraphSet set;
    AssetWriter writer;
    if (!set.open(session, input_, graph_.settings, graph_.weights, progress, error) || !writer.open(input_, error))
        return failWith(error);
    if (chain && !writer.rewrites(format->name))
        return failWith(folder_ + ": a chain of levels in one file needs a glTF or glb input");
    OutputFiles files;
    if (!chain && !files.open(folder_, error))
        return failWith(error);
    std::vector<gxhost::GltfLevel> chainLevels;

    struct Row {
        double level;
        MeshCounts counts;
        double seconds;
        std::string path;
    };
    std::vector<Row> rows;
    const double setupSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (double level : levels) {
        const auto levelStart = std::chrono::steady_clock::now();
        const std::string path = chain ? folder_ : levelPath(folder_, input_, level, extension);
        progress.stage("level " + formatNumber(level, 3) + "%: simplifying");
        MeshCounts counts;
        std::vector<gxhost::SceneMesh> results;
        if (!set.setResolution(static_cast<float>(level), error) || !set.evaluate(counts, error))
            return failWith(error);
        progress.stage("level " + formatNumber(level, 3) + "%: writing " + path);
        if (!set.results(!graph_.noMaterials, results, error))
            return failWith(error);
        if (chain) {
            chainLevels.push_back({std::move(results), 0.0});
        } else {
            const std::string staged = files.stage(std::filesystem::path(path).filename().string());
            if (!writer.write(session, staged, format_.empty() ? format->name : format_, set.sources(),
                              {gxhost::GltfLevel{std::move(results), 0.0}}, graph_.strict, error))
                return failWith(replaceAll(error, staged, path));
        }
        rows.push_back({level, counts,
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - levelStart).count(),
                        path});
    }
    if (chain) {
        std::vector<uint64_t> triangles;
        for (const Row& row : rows)
            triangles.push_back(row.counts.triangles);
        const std::vector<double> coverage = screenCoverages(triangles);
        for (size_t i = 0; i < chainLevels.size(); ++i)
            chainLevels[i].coverage = coverage[i];
        progress.stage("writing " + folder_);
        if (!writer.write(session, folder_, format->name, set.sources(), chainLevels, graph_.strict, error))
            return failWith(error);
    } else if (!files.commit(error)) {
        return failWith(error);
    }
    progress.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const MeshCounts source = set.sourceCounts();

    if (global.json) {
        Json report = {{"command", "lods"},
                       {"input", input_},
                       {"source",
                        {{"triangles", source.triangles},
                         {"vertices", source.vertices},
                         {"meshes", set.sources().size()}}},
                       {"levels", Json::array()}};
        for (const Row& row : rows)
            report["levels"].push_back({{"level", jsonNumber(row.level)},
                                        {"triangles", row.counts.triangles},
                                        {"vertices", row.counts.vertices},
                                        {"seconds", jsonNumber(row.seconds, 3)},
                                        {"file", row.path}});
        report["setupSeconds"] = jsonNumber(setupSeconds, 3);
        report["seconds"] = jsonNumber(seconds, 3);
        std::cout << jsonText(report) << "\n";
    } else {
        std::cout << input_ << ": " << set.sources().size()
                  << (set.sources().size() == 1 ? " mesh, " : " meshes, ") << groupDigits(source.triangles)
                  << " triangles, " << groupDigits(source.vertices) << " vertices\n";
        Table table({"level", "triangles", "vertices", "seconds", "file"});
        for (const Row& row : rows)
            table.addRow({formatNumber(row.level, 3) + "%", groupDigits(row.counts.triangles),
                          groupDigits(row.counts.vertices), formatNumber(row.seconds, 2), row.path});
        std::cout << table.text();
        std::cout << "total " << formatNumber(seconds, 2) << " s (reading and setting up "
                  << formatNumber(setupSeconds, 2) << " s; the first level includes building the engine)\n";
    }
    session.printWarnings();
    writer.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
