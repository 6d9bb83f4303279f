// Measured: a surface distance as the tool reports it, in JSON and in table cells: absolute
// values and percentages of the first surface's bounding-box diagonal.
#pragma once

#include "Json.h"
#include "SceneMesh.h"
#include "SurfaceDistance.h"

#include <string>
#include <vector>

namespace gradix {

// {"hausdorff":…, "hausdorffPercent":…, "mean":…, …}.
Json distanceJson(const gxmeasure::Distance& d);
// "0.0123 (0.45%)".
std::string distanceCell(double value, double diagonal);
// A distance as a percentage of `diagonal`, 0 when the diagonal is.
double percentOf(double value, double diagonal);

// An error target as given on the command line: "0.02" (absolute units) or "0.5%" (of `diagonal`).
// False, with a message naming `option`, when it is not a positive number.
bool parseErrorTarget(const std::string& option, const std::string& text, double diagonal, double& absolute,
                      std::string& error);
// The scene's results without the meshes that lost every face (dropped parts).
std::vector<gxhost::SceneMesh> withoutEmpty(std::vector<gxhost::SceneMesh> meshes);

} // namespace gradix
