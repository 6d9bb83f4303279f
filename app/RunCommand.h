// RunCommand: `gradix run SCRIPT` — runs a command script in the embedded host with the plug-in
// loaded and mesh files readable and writable (importMesh, exportMesh), through the same
// interpreter as MGlobal::executeCommand. Each command's result is printed as "// Result: ...";
// the first failing line stops the run with one error line naming the script and the line.
#pragma once

#include "GlobalOptions.h"

#include <string>

namespace CLI {
class App;
}

namespace gradix {

class RunCommand {
public:
    explicit RunCommand(CLI::App& parent);
    bool selected() const;
    int run(const GlobalOptions& global);

private:
    CLI::App* command_;
    std::string script_;
    bool quietResults_ = false;
};

} // namespace gradix
