#include "Cli.h"

#include "CompareCommand.h"
#include "ExitStatus.h"
#include "GlobalOptions.h"
#include "HelpFormatter.h"
#include "InfoCommand.h"
#include "LodsCommand.h"
#include "OptionChecks.h"
#include "RenderCommand.h"
#include "RunCommand.h"
#include "SimplifyCommand.h"
#include "Suggest.h"
#include "batch/BatchCommand.h"

#include <CLI/CLI.hpp>
#include <io/ImportLimits.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace gradix {
namespace {

// Installed, the plug-in is in lib/gradix beside the tool's bin; in the build tree, where it was built.
std::string defaultPluginPath() {
    std::error_code code;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", code);
    const std::filesystem::path installed = self.parent_path() / "../lib/gradix/Gradix_Release.mll";
    if (!code && std::filesystem::exists(installed, code))
        return installed.lexically_normal().string();
    return GRADIX_PLUGIN_PATH;
}

} // namespace

int Cli::run(int argc, char** argv, bool parseOnly) {
    CLI::App app("gradix: levels of detail for polygon meshes, made by the Gradix plug-in in an "
                 "embedded host.\nRun 'gradix SUBCOMMAND --help' for a subcommand's options.",
                 "gradix");
    app.formatter(std::make_shared<HelpFormatter>());
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every subcommand");

    app.set_version_flag("--version", std::string("gradix ") + GRADIX_VERSION);
    GlobalOptions global;
    global.pluginPath = defaultPluginPath();
    app.add_option("--plugin", global.pluginPath,
                   "Plug-in library to load [default: the one installed or built with the tool]");
    app.add_flag("--json", global.json, "Write the report as JSON on standard output");
    CLI::Option* progress = app.add_flag_callback(
        "--progress", [&global] { global.progress = ProgressMode::ON; },
        "Show progress on standard error even when it is not a terminal");
    app.add_flag_callback(
           "-q,--quiet", [&global] { global.progress = ProgressMode::OFF; }, "Never show progress")
        ->excludes(progress);
    std::string maxMemory = "4G";
    bool allowOutsideRefs = false;
    app.add_option("--max-memory", maxMemory, "Most memory one file's reader may take; more fails the run")
        ->check(memorySize())
        ->capture_default_str();
    double readSeconds = 600;
    app.add_option("--read-timeout", readSeconds, "Seconds one file's reader may run; longer fails the run")
        ->check(finiteRange(1, 86400))
        ->capture_default_str();
    app.add_flag("--allow-outside-refs", allowOutsideRefs,
                 "Read files an input refers to outside its own folder (buffers, materials)");
    app.fallthrough();

    SimplifyCommand simplify(app);
    LodsCommand lods(app);
    RenderCommand render(app);
    RunCommand script(app);
    InfoCommand info(app);
    BatchCommand batch(app);
    CompareCommand compare(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::string problem = e.what();
        const std::vector<std::string> subcommands = {"simplify", "lods",  "render", "run",
                                                      "info",     "batch", "compare"};
        if (app.get_subcommands().empty() && argc > 1) {
            for (int i = 1; i < argc; ++i)
                if (argv[i][0] != '-') {
                    const std::string close = closestName(argv[i], subcommands);
                    problem = std::string("'") + argv[i] + "' is not a subcommand (" +
                              (close.empty() ? "simplify, lods, render, run, info, batch, compare"
                                             : "did you mean '" + close + "'?") +
                              ")";
                    break;
                }
        } else if (!app.get_subcommands().empty()) {
            // An unknown option, whatever error it led the parser to (its value may have been taken
            // for the input file): the nearest option of the subcommand or of the tool.
            std::vector<std::string> known;
            for (const CLI::App* command : std::vector<const CLI::App*>{&app, app.get_subcommands().front()})
                for (const CLI::Option* option : command->get_options())
                    for (const std::string& name : option->get_lnames())
                        known.push_back("--" + name);
            for (int i = 1; i < argc; ++i) {
                const std::string word = std::string(argv[i]).substr(0, std::string(argv[i]).find('='));
                if (word.rfind("--", 0) != 0 || std::find(known.begin(), known.end(), word) != known.end())
                    continue;
                const std::string close = closestName(word, known);
                problem = "unknown option " + word + (close.empty() ? "" : " (did you mean " + close + "?)");
                break;
            }
        }
        for (int i = 1; i < argc; ++i)
            if (std::string(argv[i]) == "--json")
                setJsonErrors(true);
        return failWith(problem + " (see gradix --help)", EXIT_USAGE);
    }
    setJsonErrors(global.json);
    gxhost::ImportLimits limits;
    parseMemorySize(maxMemory, limits.maxMemory);
    limits.allowOutsideRefs = allowOutsideRefs;
    limits.readSeconds = readSeconds;
    gxhost::setImportLimits(limits);
    if (parseOnly)
        return 0;
    if (simplify.selected())
        return simplify.run(global);
    if (lods.selected())
        return lods.run(global);
    if (render.selected())
        return render.run(global);
    if (script.selected())
        return script.run(global);
    if (info.selected())
        return info.run(global);
    if (batch.selected())
        return batch.run(global);
    if (compare.selected())
        return compare.run(global);
    return EXIT_USAGE;
}

} // namespace gradix
