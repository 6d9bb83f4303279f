// Measured: a surface distance as the tool reports it, in JSON and in table cells: absolute
// values and percentages of the first surface's bounding-box diagonal.
#pragma once

#include "JsonWriter.h"
#include "SurfaceDistance.h"

#include <string>

namespace gradix {

// {"hausdorff":…, "hausdorffPercent":…, "mean":…, …} under the current key.
void writeDistance(JsonWriter& json, const gxmeasure::Distance& d);
// "0.0123 (0.45%)".
std::string distanceCell(double value, double diagonal);
// A distance as a percentage of `diagonal`, 0 when the diagonal is.
double percentOf(double value, double diagonal);

} // namespace gradix
