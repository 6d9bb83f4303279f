// Exit statuses of the gradix tool and the one-line failure report.
#pragma once

#include <string>

namespace gradix {

enum ExitStatus { EXIT_OK = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

// Prints "gradix: <problem>" as the one line on standard error and returns `status`; under --json
// the problem also comes as {"error": …, "status": …} on standard output.
int failWith(const std::string& problem, int status = EXIT_FAILED);
void setJsonErrors(bool on);

} // namespace gradix
