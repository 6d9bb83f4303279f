#include "Cli.h"

#include "ExitStatus.h"
#include "GlobalOptions.h"
#include "InfoCommand.h"
#include "LodsCommand.h"
#include "RenderCommand.h"
#include "RunCommand.h"
#include "SimplifyCommand.h"
#include "batch/BatchCommand.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace gradix {

int Cli::run(int argc, char** argv) {
    CLI::App app("gradix: levels of detail for polygon meshes, made by the Gradix plug-in in an "
                 "embedded host.\nRun 'gradix SUBCOMMAND --help' for a subcommand's options.",
                 "gradix");
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every subcommand");

    GlobalOptions global;
    global.pluginPath = GRADIX_PLUGIN_PATH;
    app.add_option("--plugin", global.pluginPath, "Plug-in library to load")->capture_default_str();
    app.add_flag("--json", global.json, "Write the report as JSON on standard output");
    CLI::Option* progress = app.add_flag_callback(
        "--progress", [&global] { global.progress = ProgressMode::ON; },
        "Show progress on standard error even when it is not a terminal");
    app.add_flag_callback(
           "-q,--quiet", [&global] { global.progress = ProgressMode::OFF; }, "Never show progress")
        ->excludes(progress);
    app.fallthrough();

    SimplifyCommand simplify(app);
    LodsCommand lods(app);
    RenderCommand render(app);
    RunCommand script(app);
    InfoCommand info(app);
    BatchCommand batch(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::string problem = e.what();
        if (app.get_subcommands().empty() && argc > 1) {
            for (int i = 1; i < argc; ++i)
                if (argv[i][0] != '-') {
                    problem = std::string("'") + argv[i] +
                              "' is not a subcommand (simplify, lods, render, run, info, batch)";
                    break;
                }
        }
        std::cerr << "gradix: " << problem << " (see gradix --help)" << std::endl;
        return EXIT_USAGE;
    }
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
    return EXIT_USAGE;
}

} // namespace gradix
