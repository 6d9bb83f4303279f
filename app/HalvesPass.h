// HalvesPass: takes a large mesh most of the way to its target on both cores before its graph
// sees it. The mesh is cut in two at the median of its faces' centres along the box's longest side;
// each half is simplified by an engine of its own (the node's settings, fed as the node feeds them) on
// a thread of its own, with every border vertex kept where it is, the cut's among them, and the halves
// are joined again along the untouched cut. The graph then takes the joined mesh the rest of the way
// with every vertex free: its engine starts on a mesh a little above the target, so it adds little to
// two halves that each cost about half of the whole.
//
//   gxhost::SceneMesh reduced;
//   if (reduceInHalves(mesh, settings, 100000, reduced)) ... give the graph `reduced` instead
#pragma once

#include "NodeSettings.h"
#include "SceneMesh.h"

#include <cstdint>

namespace gradix {

// Meshes below this many triangles stay whole: two halves would gain less than the pass costs.
constexpr uint64_t kHalvesMinTriangles = 200000;

// `mesh` (as its node will hold it; polygons are triangulated as the host triangulates them)
// simplified in halves to a little above `targetTriangles` triangles, every triangle with its source
// face's material and every corner with its attributes as the engine placed them. False, `out`
// untouched, when the mesh stays whole: below kHalvesMinTriangles, inconsistent lists, a target the
// halves would not get far below the mesh's size (counting the border vertices they keep), or a cut
// that did not stay closed.
bool reduceInHalves(const gxhost::SceneMesh& mesh, const NodeSettings& settings, uint64_t targetTriangles,
                    gxhost::SceneMesh& out);

} // namespace gradix
