// Conversions between Python objects and the binding's C++ side: NumPy arrays viewed in place,
// the mesh arguments every entry point takes, and a level of an engine as NumPy arrays.
#pragma once

#include "EngineSession.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <vector>

namespace gradixpy {

// The engine on arrays, shared with the tool.
using namespace gxengine;

namespace py = pybind11;

// A view of `object` (anything NumPy can take as an array; None gives an absent view). Converted
// arrays are kept alive in `keep`; arrays already in NumPy are viewed without a copy.
ArrayView viewOf(py::handle object, const char* name, std::vector<py::array>& keep);

// The mesh arguments, viewed and checked (std::invalid_argument on a bad one). `uvs` is one array
// or a list of arrays (UV sets).
MeshInput meshInput(py::handle vertices, py::handle faces, py::handle uvs, py::handle normals,
                    py::handle colors, py::handle weights, std::vector<py::array>& keep);

// Settings from keyword arguments named as the node's attributes (TypeError on an unknown one).
Settings settingsFrom(const py::kwargs& kwargs);

// The current level as arrays: "vertices", "faces", "face_ids", and the attributes given ("uvs",
// "normals", "colors"), per corner or per vertex as given. Compact: only the vertices faces use,
// renumbered in order (as the tool writes them); otherwise every input vertex at its current place.
py::dict levelArrays(const EngineSession& session, bool compact);

// The applied contractions, oldest first, as arrays.
py::dict contractionArrays(const EngineSession& session);

// The `count` cheapest pending pairs: "pairs" (n x 2), "costs", "targets" (n x 3).
py::dict cheapestPairs(EngineSession& session, size_t count);

} // namespace gradixpy
