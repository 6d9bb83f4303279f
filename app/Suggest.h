// Suggest: "did you mean" for a mistyped subcommand or option — the closest known name within a few
// edits, or nothing.
#pragma once

#include <string>
#include <vector>

namespace gradix {

// The name of `known` closest to `word` (at most a third of its letters changed, and at most 3), or "".
std::string closestName(const std::string& word, const std::vector<std::string>& known);

} // namespace gradix
