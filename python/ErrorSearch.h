// ErrorSearch: the measured error of a level (gxmeasure's two-sided surface distance to the input)
// and the coarsest level of an engine whose measured Hausdorff distance stays within a bound.
//
//   gxmeasure::Surface input = surfaceOf(in.vertices, in.faces);
//   gxmeasure::Distance d = coarsestWithin(session, input, bound);   // session left at that level
#pragma once

#include "ArrayView.h"
#include "EngineSession.h"

#include "SurfaceDistance.h"

namespace gradixpy {

// The engine on arrays, shared with the tool.
using namespace gxengine;

// Positions (n x 3) and triangles (m x 3) as a surface; triangles with an index out of range are
// left out (the arrays were checked before, so there are none in practice).
gxmeasure::Surface surfaceOf(const ArrayView& vertices, const ArrayView& faces);

// The engine's current triangles over the vertices they use.
gxmeasure::Surface levelSurface(const EngineSession& session);

// Moves `session` to the fewest triangles whose level measures a Hausdorff distance of at most
// `bound` from `input` (halving the count until a level is too far, then bisecting between the last
// level within and the first beyond; candidates are measured with few samples), and returns the
// full measurement of that level. The input itself
// measures zero, so a level is always found.
gxmeasure::Distance coarsestWithin(EngineSession& session, const gxmeasure::Surface& input, double bound);

} // namespace gradixpy
