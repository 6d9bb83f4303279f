// GlobalOptions: the settings every gradix subcommand shares (plug-in path, report form, progress).
#pragma once

#include <string>

namespace gradix {

enum class ProgressMode { AUTO, ON, OFF };

struct GlobalOptions {
    std::string pluginPath; // the plug-in library the host loads
    bool json = false;      // machine-readable report on standard output
    ProgressMode progress = ProgressMode::AUTO;
};

} // namespace gradix
