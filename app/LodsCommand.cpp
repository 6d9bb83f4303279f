#include "LodsCommand.h"

#include "AssetWriter.h"
#include "ContactSheet.h"
#include "ErrorMeter.h"
#include "ExitStatus.h"
#include "Json.h"
#include "LodsReport.h"
#include "Measured.h"
#include "OptionChecks.h"
#include "OutputFiles.h"
#include "OutputGuard.h"
#include "Progress.h"
#include "SceneBudget.h"
#include "Session.h"
#include "Table.h"

#include "io/ExportFormat.h"
#include "io/MaterialLooks.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>
#include <sys/stat.h>

namespace gradix {
namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The level the graphs now hold, framed on the source meshes so that every level shares one scale.
bool drawLevel(Session& session, GraphSet& set, const std::vector<gxhost::MaterialLook>& looks, int width,
               int height, const PictureView& view, Picture& picture, std::string& error) {
    std::set<std::string> shown, framed, faceted;
    for (LodGraph& graph : set.graphs()) {
        shown.insert(graph.resultNode());
        framed.insert(graph.source().node);
        if (graph.source().flatNormals)
            faceted.insert(graph.resultNode());
    }
    const auto in = [](const std::set<std::string>& nodes) {
        return [&nodes](const std::string& node) { return nodes.count(node) > 0; };
    };
    if (drawPicture(session, view, width, height, in(shown), looks, picture, error, in(framed), in(faceted)))
        return true;
    error = set.input() + ": " + error;
    return false;
}

} // namespace

LodsCommand::LodsCommand(CLI::App& parent) {
    command_ = parent.add_subcommand(
        "lods", "Write a chain of levels of detail, one file per level or all in one glTF/glb file");
    command_->footer("Example:\n  gradix lods model.glb -o lods --levels 50,25,10 --sheet lods.png");
    command_->add_option("IN", input_, "Mesh file to read")->required()->check(CLI::ExistingFile);
    command_
        ->add_option("-o,--output", folder_,
                     "Folder for the level files (made when missing), or one .glb/.gltf file for "
                     "the whole chain linked by MSFT_lod")
        ->required();
    command_
        ->add_option("--levels", levels_,
                     "Percentages of the source's triangles, comma-separated; reached from the finest down")
        ->delimiter(',')
        ->check(finiteRange(0.0, 100.0))
        ->capture_default_str();
    command_
        ->add_option(
            "--errors", errors_,
            "Error bounds instead of --levels, comma-separated: absolute units or percentages of the "
            "bounding-box diagonal (0.1%,0.5%,2%); each level is the coarsest within its bound")
        ->delimiter(',');
    command_->add_flag("--allow-drop", allowDrop_,
                       "Let parts of a multi-mesh file go below 4 triangles, or vanish");
    command_->add_option(
        "--format", format_,
        "Format of the level files (default: the input's when it can be written, else glb): " +
            gxhost::exportFormatNames());
    command_->add_option(
        "--sheet", sheet_,
        "Also draw every level side by side, labelled with its triangles and error, into this "
        ".png or .jpg");
    command_->add_option(
        "--report", report_,
        "Also write an HTML report (a folder, or a .html file): the levels' table and pictures, "
        "and a viewer to turn each level around");
    view_.size = "320x240";
    view_.addOptions(*command_, "Size of each level's picture on the sheet and in the report, WIDTHxHEIGHT");
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

std::string LodsCommand::errorLevelPath(const std::string& folder, const std::string& input,
                                        const std::string& bound, const std::string& extension) {
    std::string tag = bound;
    if (!tag.empty() && tag.back() == '%')
        tag = tag.substr(0, tag.size() - 1) + "pc";
    const std::string stem = std::filesystem::path(input).stem().string();
    return (std::filesystem::path(folder) / (stem + "_err" + tag + "." + extension)).string();
}

int LodsCommand::run(const GlobalOptions& global) {
    // An output named like a glTF file holds the whole chain.
    const gxhost::ExportFormat* chainFormat = gxhost::findExportFormat(folder_, "");
    const bool chain =
        chainFormat && (std::string(chainFormat->name) == "gltf" || std::string(chainFormat->name) == "glb");
    const gxhost::ExportFormat* format = chain ? chainFormat : gxhost::findExportFormat(input_, format_);
    if (!format && !format_.empty())
        return failWith("lods: unknown format '" + format_ + "' (use one of " + gxhost::exportFormatNames() +
                            ")",
                        EXIT_USAGE);
    if (!format)
        format = gxhost::findExportFormat("", "glb");
    // fbxascii has no extension of its own.
    const std::string extension = format->extension;

    std::vector<double> levels = levels_;
    std::sort(levels.begin(), levels.end(), std::greater<double>());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    const bool byError = !errors_.empty();

    int tileWidth = 0, tileHeight = 0;
    if (!PictureView::parseSize(view_.size, tileWidth, tileHeight))
        return failWith("lods: --size '" + view_.size + "' is not WIDTHxHEIGHT with each between 16 and 8192",
                        EXIT_USAGE);
    if (!sheet_.empty() && !Picture::knownExtension(sheet_))
        return failWith(sheet_ + ": pictures are written as .png, .jpg or .jpeg", EXIT_USAGE);
    const bool pictures = !sheet_.empty() || !report_.empty();

    std::string error;
    OutputGuard guard(input_);
    guard.protect(graph_.weights.file);
    if (!sheet_.empty() && !guard.check(sheet_, error))
        return failWith(error);
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
    set.shareInstances();
    if (!byError && !levels.empty())
        graph_.reduceAhead(set, levels.front(), 0);
    if (!AssetWriter::mayRewrite(input_, format_.empty() ? format->name : format_))
        set.keepSourceAsset();
    AssetWriter writer;
    if (!set.open(session, input_, graph_.settings, graph_.weights, progress, error) ||
        !writer.open(input_, error))
        return failWith(error);
    writer.keepSource(set.takeSourceAsset());
    if (chain && !writer.rewrites(format->name))
        return failWith(folder_ + ": a chain of levels in one file needs a glTF or glb input");
    OutputFiles files;
    if (!chain && !files.open(folder_, error))
        return failWith(error);
    LodsReport report;
    AssetWriter reportWriter; // its own warnings: they repeat the levels' own
    if (!report_.empty() && (!report.open(report_, input_, error) || !guard.check(report.page(), error) ||
                             !reportWriter.open(input_, error)))
        return failWith(error);
    std::vector<gxhost::MaterialLook> looks;
    std::vector<std::string> lookWarnings;
    if (pictures && !gxhost::readMaterialLooks(input_, looks, lookWarnings, error))
        return failWith(error);
    std::vector<SheetTile> tiles;
    std::vector<gxhost::GltfLevel> chainLevels;

    ErrorMeter meter(set.sources());
    SceneBudget budget(set, meter, allowDrop_);
    // Error bounds, finest first, each with the text it was given as (which names its file).
    std::vector<std::pair<double, std::string>> bounds;
    for (const std::string& text : errors_) {
        double bound = 0.0;
        if (!parseErrorTarget("--errors", text, meter.diagonal(), bound, error))
            return failWith(error, EXIT_USAGE);
        if (bound >= meter.diagonal())
            return failWith(input_ + ": --errors " + text +
                                " is at or above the input's size (box diagonal " +
                                formatNumber(meter.diagonal(), 6) + ")",
                            EXIT_USAGE);
        bounds.emplace_back(bound, text);
    }
    std::sort(bounds.begin(), bounds.end());
    if (byError) {
        levels.clear();
        for (const auto& bound : bounds)
            levels.push_back(bound.first);
    }

    struct Row {
        double level;
        MeshCounts counts;
        double seconds;
        std::string path;
        gxmeasure::Distance error;
    };
    std::vector<Row> rows;
    const double setupSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (size_t index = 0; index < levels.size(); ++index) {
        const double level = levels[index];
        const auto levelStart = std::chrono::steady_clock::now();
        const std::string name = byError ? "error " + bounds[index].second : formatNumber(level, 3) + "%";
        const std::string path = chain     ? folder_
                                 : byError ? errorLevelPath(folder_, input_, bounds[index].second, extension)
                                           : levelPath(folder_, input_, level, extension);
        progress.stage("level " + name + ": simplifying");
        MeshCounts counts;
        std::vector<gxhost::SceneMesh> results;
        gxmeasure::Distance measured;
        bool made =
            (byError ? budget.meetError(level, measured, error) : budget.spendPercent(level, error)) &&
            set.settle(error) && set.evaluate(counts, error) &&
            set.results(!graph_.noMaterials, results, error);
        if (made && !byError) {
            progress.stage("level " + name + ": measuring");
            measured = meter.scene(results);
        }
        if (made && chain) {
            chainLevels.push_back({std::move(results), 0.0});
        } else if (made) {
            progress.stage("level " + name + ": writing " + path);
            const std::string formatName = format_.empty() ? format->name : format_;
            const std::string staged = files.stage(std::filesystem::path(path).filename().string());
            made = guard.check(path, error) &&
                   writer.write(
                       session, staged, formatName, set.sources(),
                       {gxhost::GltfLevel{
                           writer.rewrites(formatName) ? results : withoutEmpty(set.placed(results)), 0.0}},
                       graph_.strict, error);
            error = replaceAll(error, staged, path);
        }
        Picture picture;
        if (made && pictures) {
            progress.stage("level " + name + ": drawing");
            made = drawLevel(session, set, looks, tileWidth, tileHeight, view_, picture, error);
        }
        if (made && !report_.empty()) {
            progress.stage("level " + name + ": adding to the report");
            made = reportWriter.write(
                       session, report.stageGlb(index), "glb", set.sources(),
                       {gxhost::GltfLevel{
                           reportWriter.rewrites("glb") ? results : withoutEmpty(set.placed(results)), 0.0}},
                       false, error) &&
                   report.add(
                       {name, counts.triangles, counts.vertices,
                        percentOf(measured.hausdorff, measured.diagonal),
                        percentOf(measured.mean, measured.diagonal),
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - levelStart).count(),
                        picture},
                       error);
        }
        if (made && !sheet_.empty())
            tiles.push_back(
                {std::move(picture),
                 {name, groupDigits(counts.triangles) + " triangles",
                  "error " + formatNumber(percentOf(measured.hausdorff, measured.diagonal), 3) + "%"}});
        if (!made) {
            // The finer levels already made are kept.
            std::string ignored;
            const bool kept = !chain && !rows.empty() && files.commit(ignored);
            return failWith("level " + name + ": " + error + (kept ? " (the finer levels are written)" : ""));
        }
        rows.push_back({level, counts,
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - levelStart).count(),
                        path, measured});
    }
    if (chain) {
        std::vector<double> errors;
        for (const Row& row : rows)
            errors.push_back(row.error.diagonal > 0 ? row.error.hausdorff / row.error.diagonal : 0.0);
        const std::vector<double> coverage = screenCoverages(errors);
        for (size_t i = 0; i < chainLevels.size(); ++i)
            chainLevels[i].coverage = coverage[i];
        progress.stage("writing " + folder_);
        if (!writer.write(session, folder_, format->name, set.sources(), chainLevels, graph_.strict, error))
            return failWith(error);
    } else if (!files.commit(error)) {
        return failWith(error);
    }
    if (!sheet_.empty()) {
        progress.stage("writing " + sheet_);
        if (!contactSheet(tiles).write(sheet_, error))
            return failWith(error);
    }
    if (!report_.empty()) {
        progress.stage("writing " + report.page());
        if (!report.commit(error))
            return failWith(error);
    }
    progress.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const MeshCounts source = set.sourceCounts();

    if (global.json) {
        Json summary = {{"command", "lods"},
                        {"input", input_},
                        {"source",
                         {{"triangles", source.triangles},
                          {"vertices", source.vertices},
                          {"meshes", set.sources().size()}}},
                        {"levels", Json::array()}};
        for (const Row& row : rows)
            summary["levels"].push_back(
                {{byError ? "maxError" : "level", jsonNumber(row.level, byError ? 12 : 6)},
                 {"triangles", row.counts.triangles},
                 {"vertices", row.counts.vertices},
                 {"seconds", jsonNumber(row.seconds, 3)},
                 {"file", row.path},
                 {"error", distanceJson(row.error)}});
        if (!sheet_.empty())
            summary["sheet"] = sheet_;
        if (!report_.empty())
            summary["report"] = report.page();
        summary["setupSeconds"] = jsonNumber(setupSeconds, 3);
        summary["seconds"] = jsonNumber(seconds, 3);
        std::cout << jsonText(summary) << "\n";
    } else {
        std::cout << input_ << ": " << set.sources().size()
                  << (set.sources().size() == 1 ? " mesh, " : " meshes, ") << groupDigits(source.triangles)
                  << " triangles, " << groupDigits(source.vertices) << " vertices\n";
        Table table({byError ? "max error" : "level", "triangles", "vertices", "Hausdorff", "mean", "seconds",
                     "file"});
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            table.addRow({byError ? bounds[i].second : formatNumber(row.level, 3) + "%",
                          groupDigits(row.counts.triangles), groupDigits(row.counts.vertices),
                          formatNumber(percentOf(row.error.hausdorff, row.error.diagonal), 4) + "%",
                          formatNumber(percentOf(row.error.mean, row.error.diagonal), 4) + "%",
                          formatNumber(row.seconds, 2), row.path});
        }
        std::cout << table.text();
        std::cout << "errors are two-sided surface distances as % of the box diagonal ("
                  << formatNumber(meter.diagonal(), 6) << ")\n";
        std::cout << "total " << formatNumber(seconds, 2) << " s (reading and setting up "
                  << formatNumber(setupSeconds, 2) << " s; the first level includes building the engine)\n";
    }
    for (const std::string& warning : lookWarnings)
        std::cerr << "gradix: warning: " << warning << "\n";
    session.printWarnings();
    writer.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
