#include "MeshFiles.h"

#include "Convert.h"

#include "io/MeshExporter.h"
#include "io/MeshImporter.h"

#include <pybind11/stl.h>

#include <cmath>
#include <stdexcept>

namespace gradixpy {
namespace {

// Per face-vertex values as (corners, width), or (faces, 3, width) when every face is a triangle.
py::array_t<double> cornerArray(const std::vector<double>& values, size_t corners, int width,
                                bool triangles) {
    std::vector<py::ssize_t> shape = {py::ssize_t(corners), width};
    if (triangles)
        shape = {py::ssize_t(corners / 3), 3, width};
    py::array_t<double> out(shape);
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

py::dict meshDict(const gxhost::SceneMesh& mesh) {
    const size_t corners = mesh.faceVertices.size();
    bool triangles = true;
    for (int32_t c : mesh.faceCounts)
        triangles = triangles && c == 3;
    py::dict d;
    d["name"] = mesh.name;
    d["parent"] = mesh.parent;
    py::array_t<double> transform({4, 4});
    std::copy(mesh.transform.begin(), mesh.transform.end(), transform.mutable_data());
    d["transform"] = transform;
    py::array_t<double> vertices({py::ssize_t(mesh.points.size()), py::ssize_t(3)});
    for (size_t i = 0; i < mesh.points.size(); ++i)
        for (int k = 0; k < 3; ++k)
            vertices.mutable_at(i, k) = mesh.points[i][size_t(k)];
    d["vertices"] = vertices;
    d["face_counts"] = py::array_t<int32_t>(py::ssize_t(mesh.faceCounts.size()), mesh.faceCounts.data());
    d["face_vertices"] = py::array_t<int32_t>(py::ssize_t(corners), mesh.faceVertices.data());
    if (triangles)
        d["faces"] =
            py::array_t<int32_t>({py::ssize_t(corners / 3), py::ssize_t(3)}, mesh.faceVertices.data());
    const double nan = std::nan("");
    py::list uvs, names;
    for (const gxhost::SceneUVSet& set : mesh.uvSets) {
        std::vector<double> values(2 * corners, nan);
        for (size_t c = 0; c < corners && c < set.uvIds.size(); ++c)
            if (set.uvIds[c] >= 0) {
                values[2 * c] = set.u[size_t(set.uvIds[c])];
                values[2 * c + 1] = set.v[size_t(set.uvIds[c])];
            }
        uvs.append(cornerArray(values, corners, 2, triangles));
        names.append(set.name);
    }
    d["uvs"] = uvs;
    d["uv_names"] = names;
    d["normals"] = py::none();
    if (!mesh.normals.empty()) {
        std::vector<double> values;
        for (const auto& n : mesh.normals)
            values.insert(values.end(), n.begin(), n.end());
        d["normals"] = cornerArray(values, corners, 3, triangles);
    }
    d["colors"] = py::none();
    if (!mesh.colors.empty()) {
        std::vector<double> values;
        for (size_t c = 0; c < mesh.colors.size(); ++c)
            for (float x : mesh.colors[c])
                values.push_back(c < mesh.hasColor.size() && mesh.hasColor[c] ? double(x) : nan);
        d["colors"] = cornerArray(values, corners, 4, triangles);
    }
    d["face_materials"] =
        py::array_t<int32_t>(py::ssize_t(mesh.faceMaterial.size()), mesh.faceMaterial.data());
    d["materials"] = py::cast(mesh.materials);
    return d;
}

// A field of a mesh given as a dict or as an object with attributes (a simplify result).
py::object field(py::handle mesh, const char* name) {
    if (py::isinstance<py::dict>(mesh)) {
        py::dict d = py::reinterpret_borrow<py::dict>(mesh);
        return d.contains(name) ? py::object(d[name]) : py::object(py::none());
    }
    return py::getattr(mesh, name, py::none());
}

// Per-corner values of an attribute given per corner or per vertex; NaN marks an absent value.
void cornerValues(const ArrayView& view, const std::vector<int32_t>& faceVertices, int width,
                  std::vector<double>& out) {
    out.clear();
    const bool perVertex = view.ndim == 2 && view.shape[0] != int64_t(faceVertices.size());
    for (size_t c = 0; c < faceVertices.size(); ++c)
        for (int j = 0; j < width; ++j)
            out.push_back(view.ndim == 3 ? view.get(int64_t(c / 3), int64_t(c % 3), j)
                          : perVertex    ? view.get(faceVertices[c], j)
                                         : view.get(int64_t(c), j));
}

gxhost::SceneMesh sceneMesh(py::handle mesh, size_t index) {
    gxhost::SceneMesh out;
    std::vector<py::array> keep;
    py::object name = field(mesh, "name");
    out.name = name.is_none() ? "mesh" + std::to_string(index + 1) : name.cast<std::string>();
    py::object parent = field(mesh, "parent");
    if (!parent.is_none())
        out.parent = parent.cast<std::string>();
    const ArrayView vertices = viewOf(field(mesh, "vertices"), "vertices", keep);
    if (vertices.ndim != 2 || vertices.shape[1] != 3)
        throw std::invalid_argument("mesh " + out.name + ": vertices: shape " + shapeText(vertices) +
                                    ", expected (N, 3)");
    for (int64_t i = 0; i < vertices.shape[0]; ++i)
        out.points.push_back(
            {float(vertices.get(i, 0)), float(vertices.get(i, 1)), float(vertices.get(i, 2))});
    py::object faces = field(mesh, "faces");
    if (!faces.is_none()) {
        const ArrayView f = viewOf(faces, "faces", keep);
        if (f.ndim != 2 || f.shape[1] != 3)
            throw std::invalid_argument("mesh " + out.name + ": faces: shape " + shapeText(f) +
                                        ", expected (M, 3)");
        for (int64_t i = 0; i < f.shape[0]; ++i) {
            out.faceCounts.push_back(3);
            for (int c = 0; c < 3; ++c)
                out.faceVertices.push_back(int32_t(f.index(i, c)));
        }
    } else {
        out.faceCounts = field(mesh, "face_counts").cast<std::vector<int32_t>>();
        out.faceVertices = field(mesh, "face_vertices").cast<std::vector<int32_t>>();
    }
    size_t corners = 0;
    for (int32_t c : out.faceCounts)
        corners += size_t(std::max(c, 0));
    if (corners != out.faceVertices.size())
        throw std::invalid_argument("mesh " + out.name + ": face_counts do not add up to face_vertices");
    for (int32_t v : out.faceVertices)
        if (v < 0 || size_t(v) >= out.points.size())
            throw std::invalid_argument("mesh " + out.name + ": faces: index " + std::to_string(v) +
                                        " out of range");

    std::vector<double> values;
    py::object uvs = field(mesh, "uvs");
    py::list sets;
    if (py::isinstance<py::list>(uvs) || py::isinstance<py::tuple>(uvs))
        sets = py::list(uvs);
    else if (!uvs.is_none())
        sets.append(uvs);
    py::object uvNames = field(mesh, "uv_names");
    for (size_t k = 0; k < sets.size(); ++k) {
        gxhost::SceneUVSet set;
        set.name = !uvNames.is_none() && k < py::len(uvNames) ? uvNames[py::int_(k)].cast<std::string>()
                                                              : "map" + std::to_string(k + 1);
        cornerValues(viewOf(sets[k], "uvs", keep), out.faceVertices, 2, values);
        for (size_t c = 0; c < corners; ++c) {
            const bool present = std::isfinite(values[2 * c]) && std::isfinite(values[2 * c + 1]);
            set.uvIds.push_back(present ? int32_t(set.u.size()) : -1);
            if (present) {
                set.u.push_back(float(values[2 * c]));
                set.v.push_back(float(values[2 * c + 1]));
            }
        }
        out.uvSets.push_back(std::move(set));
    }
    py::object normals = field(mesh, "normals");
    if (!normals.is_none()) {
        cornerValues(viewOf(normals, "normals", keep), out.faceVertices, 3, values);
        for (size_t c = 0; c < corners; ++c)
            out.normals.push_back({float(values[3 * c]), float(values[3 * c + 1]), float(values[3 * c + 2])});
    }
    py::object colors = field(mesh, "colors");
    if (!colors.is_none()) {
        const ArrayView view = viewOf(colors, "colors", keep);
        const int width = int(view.shape[view.ndim - 1]);
        cornerValues(view, out.faceVertices, width, values);
        for (size_t c = 0; c < corners; ++c) {
            const double* v = &values[size_t(width) * c];
            const bool present = std::isfinite(v[0]);
            out.colors.push_back({float(v[0]), float(v[1]), float(v[2]), width == 4 ? float(v[3]) : 1.0f});
            out.hasColor.push_back(present ? 1 : 0);
        }
    }
    py::object materials = field(mesh, "materials");
    if (!materials.is_none())
        out.materials = materials.cast<std::vector<std::string>>();
    py::object faceMaterials = field(mesh, "face_materials");
    if (!faceMaterials.is_none())
        out.faceMaterial = faceMaterials.cast<std::vector<int32_t>>();
    if (!out.faceMaterial.empty() && out.faceMaterial.size() != out.faceCounts.size())
        throw std::invalid_argument("mesh " + out.name + ": face_materials needs one entry per face");
    return out;
}

// The tool's one-line message ("<path>: <problem>") as an OSError.
[[noreturn]] void raiseOSError(const std::string& message) {
    PyErr_SetString(PyExc_OSError, message.c_str());
    throw py::error_already_set();
}

} // namespace

py::list loadMeshes(const std::string& path) {
    std::vector<gxhost::SceneMesh> meshes;
    std::string error;
    bool ok;
    {
        py::gil_scoped_release release;
        ok = gxhost::importSceneFile(path, meshes, error);
    }
    if (!ok)
        raiseOSError(error);
    py::list out;
    for (const gxhost::SceneMesh& mesh : meshes)
        out.append(meshDict(mesh));
    return out;
}

void saveMeshes(const std::string& path, py::handle meshes, const std::string& format) {
    std::vector<gxhost::SceneMesh> scene;
    size_t index = 0;
    for (py::handle mesh : meshes)
        scene.push_back(sceneMesh(mesh, index++));
    std::string error;
    bool ok;
    {
        py::gil_scoped_release release;
        ok = gxhost::exportSceneFile(path, format, scene, error);
    }
    if (!ok)
        raiseOSError(error);
}

} // namespace gradixpy
