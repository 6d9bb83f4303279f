// validateSceneMesh: checks that a SceneMesh is consistent before it is written: array sizes agree,
// every index is in range, every value is finite. The exporter reads nothing it has not checked.
#pragma once

#include "SceneMesh.h"

#include <string>

namespace gxhost {

// False with `problem` (naming the face, face-vertex or array) when `mesh` is inconsistent.
bool validateSceneMesh(const SceneMesh& mesh, std::string& problem);

} // namespace gxhost
