#include "BatchCommand.h"

#include "BatchManifest.h"
#include "BatchReport.h"
#include "BatchSources.h"
#include "BatchTask.h"
#include "ExitStatus.h"
#include "Json.h"
#include "Progress.h"

#include "io/ExportFormat.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using nlohmann::json;

namespace gradix {
namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Writes `text` to `path` (through a temporary name) unless the file already holds exactly it, so a
// run that changed nothing touches nothing.
bool writeIfChanged(const std::string& path, const std::string& text, std::string& error) {
    if (fs::exists(path) && readText(path) == text)
        return true;
    const std::string temporary = path + ".tmp";
    std::ofstream(temporary, std::ios::binary) << text;
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec)
        error = path + ": cannot write (" + ec.message() + ")";
    return !ec;
}

std::string eta(double seconds) {
    const long s = static_cast<long>(seconds + 0.5);
    std::ostringstream text;
    if (s >= 3600)
        text << s / 3600 << " h " << (s / 60) % 60 << " min";
    else if (s >= 60)
        text << s / 60 << " min " << s % 60 << " s";
    else
        text << s << " s";
    return text.str();
}

} // namespace

BatchCommand::BatchCommand(CLI::App& parent) : parent_(&parent) {
    command_ = parent.add_subcommand(
        "batch",
        "Make the levels of detail of every asset of a folder or list, locally or on a Dask cluster");
    command_->footer("Example:\n  gradix batch assets -o lods --levels 50,25,10 --jobs 2");
    command_->add_option("SRC", source_, "Folder of assets (searched recursively) or text file of paths")
        ->required()
        ->check(CLI::ExistingPath);
    command_->add_option("-o,--output", output_, "Output folder; its tree mirrors SRC's")->required();
    command_
        ->add_option("--recipe", recipeFile_,
                     "Recipe file (.toml or .json): target, format, settings, "
                     "per-folder overrides; options given here win over it")
        ->check(CLI::ExistingFile);
    const std::string target = "Target (default: --levels 50,25,10)";
    command_->add_option("--levels", levels_, "Write a chain of levels (gradix lods), percentages")
        ->delimiter(',')
        ->check(CLI::Range(0.0, 100.0))
        ->group(target);
    command_->add_option("--percent", percent_, "Write one simplified file per asset at this percentage")
        ->check(CLI::Range(0.0, 100.0))
        ->group(target);
    command_->add_option("--triangles", triangles_, "Write one file per asset with this many triangles")
        ->check(CLI::PositiveNumber)
        ->group(target);
    command_->add_option("--vertices", vertices_, "Write one file per asset with this many vertices")
        ->check(CLI::PositiveNumber)
        ->group(target);
    command_->add_option("--format", format_,
                         "Output format (default: the input's when it can be written, "
                         "else glb): " +
                             gxhost::exportFormatNames());
    command_
        ->add_option("--ext", extensions_,
                     "File extensions a source folder contributes (default: "
                     "glb,gltf,fbx,obj,ply,dae,3ds,stl,off)")
        ->delimiter(',');
    command_->add_flag("--force", force_, "Redo every asset, even those the manifest says are up to date");
    command_->add_option("-j,--jobs", jobs_, "Local worker processes (default: the number of cores)")
        ->check(CLI::PositiveNumber);
    command_->add_option("--scheduler", scheduler_,
                         "Run one task per asset on the Dask cluster at this address (tcp://HOST:PORT); "
                         "workers need the same paths");
    const size_t before = command_->get_options().size();
    graph_.addOptions(*command_);
    const auto options = command_->get_options();
    graphOptions_.assign(options.begin() + static_cast<long>(before), options.end());
}

bool BatchCommand::selected() const {
    return command_->parsed();
}

bool BatchCommand::buildRecipe(BatchRecipe& recipe, std::string& error) const {
    if (!recipeFile_.empty() && !recipe.load(recipeFile_, error))
        return false;
    if (!levels_.empty())
        recipe.set("levels", levels_);
    if (percent_ >= 0.0)
        recipe.set("percent", percent_);
    if (triangles_ > 0)
        recipe.set("triangles", triangles_);
    if (vertices_ > 0)
        recipe.set("vertices", vertices_);
    if (!format_.empty())
        recipe.set("format", format_);
    if (!extensions_.empty())
        recipe.set("extensions", extensions_);
    for (const CLI::Option* option : graphOptions_) {
        if (option->count() == 0)
            continue;
        const std::string name = option->get_lnames().front();
        if (option->get_expected_max() == 0) {
            recipe.setSetting(name, option->as<bool>());
        } else {
            std::string value;
            for (const std::string& part : option->results())
                value += (value.empty() ? "" : ",") + part;
            recipe.setSetting(name, fs::exists(value) ? fs::absolute(value).string() : value);
        }
    }
    return true;
}

int BatchCommand::run(const GlobalOptions& global) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    BatchRecipe recipe;
    if (!buildRecipe(recipe, error))
        return failWith("batch: " + error, EXIT_USAGE);
    const std::string out = fs::absolute(output_).lexically_normal().string();
    std::vector<Asset> assets;
    if (!collectAssets(source_, recipe.extensions(), out, assets, error))
        return failWith(error);
    if (assets.empty()) {
        std::string list;
        for (const std::string& extension : recipe.extensions())
            list += (list.empty() ? "." : ", .") + extension;
        return failWith(source_ + ": no assets (files ending in " + list + ")");
    }
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec)
        return failWith(output_ + ": cannot make the output folder (" + ec.message() + ")");

    // The tool's identity: its version and the bytes of the binary and of the plug-in it loads.
    const std::string tool = fs::read_symlink("/proc/self/exe", ec).string();
    const std::string plugin = fs::absolute(global.pluginPath).string();
    std::string toolHash, pluginHash;
    if (!hashFile(tool, toolHash, error) || !hashFile(plugin, pluginHash, error))
        return failWith("batch: " + error);
    toolHash = hashText(std::string(GRADIX_VERSION) + toolHash + pluginHash);

    BatchManifest manifest(out);
    if (!manifest.load(error))
        return failWith(error);

    std::vector<AssetRow> rows(assets.size());
    std::vector<BatchTask> tasks;
    std::vector<ManifestEntry> fresh(assets.size());
    std::vector<std::string> outDirs(assets.size());
    std::map<std::string, size_t> claimed; // output folder + stem -> the asset whose outputs they are
    for (size_t i = 0; i < assets.size(); ++i) {
        const Asset& asset = assets[i];
        rows[i].relative = asset.relative;
        AssetPlan plan;
        if (!recipe.plan(asset.relative, *parent_, plan, error))
            return failWith("batch: " + error, EXIT_USAGE);
        const gxhost::ExportFormat* format = gxhost::findExportFormat(asset.input, plan.format);
        if (!format && !plan.format.empty())
            return failWith("batch: unknown format '" + plan.format + "' (use one of " +
                                gxhost::exportFormatNames() + ")",
                            EXIT_USAGE);
        if (!format)
            format = gxhost::findExportFormat("", "glb");
        const fs::path relative(asset.relative);
        const std::string stem = relative.stem().string();
        const std::string relativeDir = relative.parent_path().generic_string();
        outDirs[i] = (fs::path(out) / relativeDir).lexically_normal().string();
        const auto [owner, isNew] = claimed.emplace(outDirs[i] + "/" + stem, i);
        if (!isNew) {
            rows[i].status = "failed";
            rows[i].reason = "its outputs would overwrite those of " + assets[owner->second].relative;
            continue;
        }
        fresh[i].recipeHash = hashText(plan.canonical + " " + format->name);
        fresh[i].toolHash = toolHash;
        const ManifestEntry* done =
            manifest.upToDate(asset.relative, asset.input, fresh[i].recipeHash, toolHash, fresh[i], error);
        if (done && !force_) {
            rows[i].status = "up to date";
            rows[i].details = done->report;
            continue;
        }
        if (!error.empty()) {
            rows[i].status = "failed";
            rows[i].reason = error;
            error.clear();
            continue;
        }
        BatchTask task;
        task.index = i;
        task.outDir = outDirs[i];
        task.stem = stem;
        const std::string extension = format->extension;
        task.argv = {
            tool,        "--plugin",  plugin,
            "--json",    "-q",        plan.command,
            asset.input, "-o",        plan.command == "lods" ? "{TMP}" : "{TMP}/" + stem + "." + extension,
            "--format",  format->name};
        task.argv.insert(task.argv.end(), plan.args.begin(), plan.args.end());
        tasks.push_back(std::move(task));
    }

    // Running: results come back in completion order; the manifest is saved now and then so an
    // interrupted run keeps what it finished.
    const unsigned jobs = jobs_ ? jobs_ : std::max(1u, std::thread::hardware_concurrency());
    Progress progress(Progress::wanted(global.progress));
    size_t finished = 0, failed = 0;
    const auto runStart = std::chrono::steady_clock::now();
    auto lastSave = runStart;
    auto showProgress = [&] {
        std::string text = "batch: " + std::to_string(finished) + "/" + std::to_string(tasks.size()) +
                           " assets" + (failed ? ", " + std::to_string(failed) + " failed" : "");
        if (finished > 0 && finished < tasks.size()) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - runStart).count();
            text += ", ETA " + eta(elapsed / static_cast<double>(finished) *
                                   static_cast<double>(tasks.size() - finished));
        }
        progress.stage(text);
    };
    showProgress();
    const ResultSink sink = [&](BatchResult&& result) {
        AssetRow& row = rows[result.index];
        ++finished;
        if (result.ok) {
            row.status = "done";
            const std::string relativeDir = fs::path(row.relative).parent_path().generic_string();
            row.details = detailsFromReport(result.report, relativeDir, result.files, result.seconds);
            ManifestEntry& entry = fresh[result.index];
            entry.outputs = row.details["files"].get<std::vector<std::string>>();
            // Outputs of an earlier recipe that this one no longer makes go.
            const auto old = manifest.entries.find(row.relative);
            if (old != manifest.entries.end())
                for (const std::string& file : old->second.outputs)
                    if (std::find(entry.outputs.begin(), entry.outputs.end(), file) == entry.outputs.end())
                        fs::remove(fs::path(out) / file, ec);
            entry.report = row.details;
            manifest.entries[row.relative] = entry;
        } else {
            ++failed;
            row.status = "failed";
            row.reason = result.reason;
            row.details = {{"seconds", result.seconds}};
            manifest.entries.erase(row.relative);
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastSave > std::chrono::seconds(5)) {
            std::string ignored;
            manifest.save(ignored);
            lastSave = now;
        }
        showProgress();
    };
    bool clusterOk = true;
    if (!tasks.empty()) {
        if (scheduler_.empty())
            runLocal(tasks, jobs, sink);
        else
            clusterOk = runOnDask(tasks, scheduler_, out, sink, error);
    }
    progress.finish();
    std::set<std::string> touched;
    for (const BatchTask& task : tasks)
        if (touched.insert(task.outDir).second)
            sweepTemporaries(task.outDir);
    for (AssetRow& row : rows)
        if (row.status.empty()) {
            row.status = "failed";
            row.reason = "not run (the Dask cluster could not be used)";
            ++failed;
        }

    std::string saveError;
    const std::string csvPath = (fs::path(out) / "gradix-report.csv").string();
    if ((!tasks.empty() && !manifest.save(saveError)) || !writeIfChanged(csvPath, csvText(rows), saveError))
        std::cerr << "gradix: " << saveError << "\n";
    size_t total = 0, upToDate = 0, done = 0;
    for (const AssetRow& row : rows) {
        ++total;
        upToDate += row.status == "up to date";
        done += row.status == "done";
    }
    failed = total - upToDate - done;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string where = scheduler_.empty() ? std::to_string(jobs) + (jobs == 1 ? " job" : " jobs")
                                                 : "Dask scheduler " + scheduler_;
    if (global.json) {
        json report = {{"command", "batch"},
                       {"source", source_},
                       {"output", out},
                       {"assets", total},
                       {"done", done},
                       {"upToDate", upToDate},
                       {"failed", failed},
                       {"seconds", seconds},
                       {"manifest", manifest.path()},
                       {"csv", csvPath},
                       {"results", jsonRows(rows)}};
        if (scheduler_.empty())
            report["jobs"] = jobs;
        else
            report["scheduler"] = scheduler_;
        std::cout << report.dump() << "\n";
    } else {
        std::cout << tableText(rows);
        std::cout << total << (total == 1 ? " asset: " : " assets: ") << done << " done, " << upToDate
                  << " up to date, " << failed << " failed in " << formatNumber(seconds, 2) << " s (" << where
                  << "); report " << (fs::path(output_) / "gradix-report.csv").string() << "\n";
    }
    if (!clusterOk)
        return failWith(error);
    return failed == 0 ? EXIT_OK : EXIT_FAILED;
}

} // namespace gradix
