// OptionChecks: validators for the tool's numeric options. CLI11's own range checks let NaN through
// (every comparison with it is false) and accept infinities and counts that overflow; these read
// the text themselves and refuse anything that is not a plain finite number in range, so a bad value
// is a usage error before any work.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>

namespace gradix {

// A finite decimal number in [low, high].
CLI::Validator finiteRange(double low, double high);
// A whole number in [1, high], digits only.
CLI::Validator countRange(uint64_t high);

// A memory size: a whole number of mebibytes or gibibytes ("512M", "4G"), from 16M to 1024G.
bool parseMemorySize(const std::string& text, uint64_t& bytes);
CLI::Validator memorySize();

// The largest triangle or vertex count the host's meshes can index.
constexpr uint64_t kMaxElementCount = 2147483647u;

} // namespace gradix
