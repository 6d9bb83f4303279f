// Deterministic test surfaces for the benchmarks, built straight into a core Model (no second copy
// of the mesh stays in memory): a bumpy open sheet and a closed torus, with UV islands (seams),
// smooth normals with a crease, and vertex colours with a border. Any size up to millions of
// triangles; the same arguments always give the same model.
#pragma once

#include "Model.h"

#include <memory>

namespace gdx::bench {

enum class Surface { OPEN_SHEET, CLOSED_TORUS };

// About `triangles` triangles (rounded to the generator's grid).
std::unique_ptr<Model> generateMesh(Surface surface, uint32_t triangles);

} // namespace gdx::bench
