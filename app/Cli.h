// Cli: the gradix command line. It declares the global options and the subcommands (simplify, lods,
// render, run, info, batch), parses the arguments with CLI11 and runs the chosen subcommand. Usage errors
// give one line and exit status 2; a failed run gives one line and status 1.
#pragma once

namespace gradix {

class Cli {
public:
    // With `parseOnly`, stops once the arguments are read and checked (the option fuzzer's entry).
    int run(int argc, char** argv, bool parseOnly = false);
};

} // namespace gradix
