// Mesh files for Python through the tool's importer and exporter: a file's meshes as dicts of NumPy
// arrays, and dicts (or simplify results) written back.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace gradixpy {

pybind11::list loadMeshes(const std::string& path);
void saveMeshes(const std::string& path, pybind11::handle meshes, const std::string& format);

} // namespace gradixpy
