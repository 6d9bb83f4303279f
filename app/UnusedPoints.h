// removeUnusedPoints: drops the points that no polygon uses and renumbers the rest in their old
// order. The main node keeps every source vertex in its output mesh (contracted ones included), so
// a written level would otherwise carry all of them.
#pragma once

#include "SceneMesh.h"

namespace gradix {

void removeUnusedPoints(gxhost::SceneMesh& mesh);

} // namespace gradix
