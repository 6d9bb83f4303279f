#include "RunCommand.h"

#include "ExitStatus.h"
#include "Json.h"
#include "Session.h"

#include <gxhost/Host.h>

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

namespace gradix {

RunCommand::RunCommand(CLI::App& parent) {
    command_ = parent.add_subcommand("run", "Run a command script in the host with the plug-in loaded");
    command_->footer("Example:\n  gradix run scene.mel");
    command_->add_option("SCRIPT", script_, "Script file: one host command per line, // comments")
        ->required()
        ->check(CLI::ExistingFile);
    command_->add_flag("--no-results", quietResults_, "Do not print the commands' results");
}

bool RunCommand::selected() const {
    return command_->parsed();
}

int RunCommand::run(const GlobalOptions& global) {
    std::ifstream in(script_);
    if (!in)
        return failWith(script_ + ": cannot open the script");
    std::string error;
    Session session(global.pluginPath);
    if (!session.loadPlugin(error))
        return failWith(error);

    // Line by line, so that every command's result can be shown and a failure names its line.
    Json report = {{"command", "run"}, {"script", script_}, {"results", Json::array()}};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        session.clearMessages();
        std::vector<std::string> result;
        const MStatus status = gxhost::executeCommand(line, &result);
        if (!status) {
            // The plug-in's own report comes first, the interpreter's summary last.
            const std::string problem = session.hostError().empty() ? "failed" : session.hostError();
            return failWith(script_ + ":" + std::to_string(number) + ": " + problem);
        }
        if (result.empty() || quietResults_)
            continue;
        if (global.json) {
            report["results"].push_back({{"line", number}, {"result", result}});
        } else {
            std::cout << "// Result:";
            for (const std::string& word : result)
                std::cout << " " << word;
            std::cout << "\n";
        }
    }
    if (global.json)
        std::cout << jsonText(report) << "\n";
    session.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
