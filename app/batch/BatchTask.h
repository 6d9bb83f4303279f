// BatchTask: one asset's work as a worker runs it — a gradix process whose outputs go to a private
// temporary folder inside the asset's output folder (".gradix-tmp.<stem>.<host>.<pid>"), moved into
// place by rename when the process succeeded and removed otherwise. A killed worker so leaves only
// its temporary folder, never a half-written output; the coordinator sweeps those at the end.
// The same steps run in LocalRunner (C++) and in the Dask driver (tools/gradix_dask.py).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace gradix {

struct BatchTask {
    size_t index = 0;
    std::string outDir;            // the asset's output folder (absolute)
    std::string stem;              // the input's file stem, for the temporary folder's name
    std::vector<std::string> argv; // the gradix command; "{TMP}" stands for the temporary folder
};

struct BatchResult {
    size_t index = 0;
    bool ok = false;
    std::string reason;             // one line, when !ok
    std::string report;             // the gradix process's standard output (its JSON report)
    std::vector<std::string> files; // output file names moved into outDir, sorted
    std::string temporary;          // the temporary folder the report's paths name
    double seconds = 0.0;
};

using ResultSink = std::function<void(BatchResult&&)>;

// Runs the tasks in up to `jobs` local processes; `sink` gets each result as it ends.
void runLocal(const std::vector<BatchTask>& tasks, unsigned jobs, const ResultSink& sink);

// Submits one Dask task per asset to the scheduler at `address` through the Python driver; false
// with a one-line error when the cluster cannot be used (results already delivered stay valid).
bool runOnDask(const std::vector<BatchTask>& tasks, const std::string& address, const std::string& workFolder,
               const ResultSink& sink, std::string& error);

// The last non-empty line of a process's standard error without the "gradix: " prefix.
std::string reasonFrom(const std::string& stderrText, int status);

// Removes the temporary folders tasks left in `folder` (the work of killed workers).
void sweepTemporaries(const std::string& folder);

} // namespace gradix
