// The `gradix` Python module: simplify, the recorded Engine, and mesh files. The engine's work runs
// with the GIL released, so engines on different threads run at once.
#include "Convert.h"
#include "ErrorSearch.h"
#include "MeshFiles.h"

#include <pybind11/stl.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <string>

namespace py = pybind11;
using namespace gradixpy;

namespace {

py::dict errorDict(const gxmeasure::Distance& d) {
    const auto percent = [&](double x) { return d.diagonal > 0.0 ? 100.0 * x / d.diagonal : 0.0; };
    py::dict e;
    e["hausdorff"] = d.hausdorff;
    e["mean"] = d.mean;
    e["rms"] = d.rms;
    e["diagonal"] = d.diagonal;
    e["hausdorff_percent"] = percent(d.hausdorff);
    e["mean_percent"] = percent(d.mean);
    if (d.hasBorder) {
        e["border_hausdorff"] = d.borderHausdorff;
        e["border_mean"] = d.borderMean;
    }
    return e;
}

// The result of simplify(): the level's arrays and the counts reached. The error is measured when
// first asked for (measuring costs about as much as simplifying), against the input arrays.
struct SimplifyResult {
    py::object vertices, faces, face_ids, uvs, normals, colors;
    py::object measured = py::none();
    py::object inputVertices, inputFaces;
    uint32_t triangle_count = 0, vertex_count = 0;
    float resolution = 100.0f;
    double engine_seconds = 0.0;

    py::object error() {
        if (!measured.is_none())
            return measured;
        std::vector<py::array> keep;
        const ArrayView inV = viewOf(inputVertices, "vertices", keep),
                        inF = viewOf(inputFaces, "faces", keep);
        const ArrayView outV = viewOf(vertices, "vertices", keep), outF = viewOf(faces, "faces", keep);
        gxmeasure::Distance d;
        {
            py::gil_scoped_release release;
            d = gxmeasure::measureDistance(surfaceOf(inV, inF), surfaceOf(outV, outF));
        }
        measured = errorDict(d);
        return measured;
    }
};

// max_error as given: a distance, or a string "E%" of the input's bounding-box diagonal.
double errorBound(const py::object& maxError, double diagonal) {
    double bound = 0.0;
    if (py::isinstance<py::str>(maxError)) {
        std::string text = maxError.cast<std::string>();
        const bool percent = !text.empty() && text.back() == '%';
        if (percent)
            text.pop_back();
        size_t used = 0;
        try {
            bound = std::stod(text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text.size())
            throw py::value_error("max_error: '" + maxError.cast<std::string>() +
                                  "' is not a distance or a percentage such as '0.5%'");
        if (percent)
            bound *= diagonal / 100.0;
    } else {
        bound = maxError.cast<double>();
    }
    if (!(bound > 0.0) || !std::isfinite(bound))
        throw py::value_error("max_error: " + std::string(py::str(maxError)) + " is not a positive distance");
    return bound;
}

py::object get(const py::dict& d, const char* key) {
    return d.contains(key) ? py::object(d[key]) : py::object(py::none());
}

SimplifyResult simplify(py::handle vertices, py::handle faces, py::object ratio, py::object triangles,
                        py::object verticesTarget, py::object maxError, py::handle uvs, py::handle normals,
                        py::handle colors, py::handle weights, const py::kwargs& kwargs) {
    const int targets = int(!ratio.is_none()) + int(!triangles.is_none()) + int(!verticesTarget.is_none()) +
                        int(!maxError.is_none());
    if (targets != 1)
        throw py::value_error("simplify: give the target as exactly one of ratio, triangles, vertices_target "
                              "or max_error");
    double fraction = 0.0;
    long long count = 0;
    if (!ratio.is_none()) {
        fraction = ratio.cast<double>();
        if (!(fraction >= 0.0 && fraction <= 1.0))
            throw py::value_error("ratio: " + std::string(py::str(ratio)) + " is not in range 0 to 1");
    } else if (maxError.is_none()) {
        const py::object& target = triangles.is_none() ? verticesTarget : triangles;
        count = target.cast<long long>();
        if (count <= 0 || count > 0xffffffffLL)
            throw py::value_error(std::string(triangles.is_none() ? "vertices_target" : "triangles") + ": " +
                                  std::string(py::str(target)) + " is not a positive count");
    }
    const Settings settings = settingsFrom(kwargs);
    std::vector<py::array> keep;
    MeshInput in = meshInput(vertices, faces, uvs, normals, colors, weights, keep);

    std::unique_ptr<gxmeasure::Surface> input;
    double bound = 0.0;
    if (!maxError.is_none()) {
        input.reset(new gxmeasure::Surface(surfaceOf(in.vertices, in.faces)));
        bound = errorBound(maxError, input->diagonal());
    }

    std::unique_ptr<EngineSession> session;
    gxmeasure::Distance within;
    const auto start = std::chrono::steady_clock::now();
    {
        py::gil_scoped_release release;
        session.reset(new EngineSession(in, settings));
        if (input)
            within = coarsestWithin(*session, *input, bound);
        else if (!ratio.is_none())
            session->setResolution(float(fraction * 100.0));
        else if (!triangles.is_none())
            session->reachTriangles(uint32_t(count));
        else
            session->reachVertices(uint32_t(count));
    }
    const double engineSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const py::dict level = levelArrays(*session, true);
    SimplifyResult r;
    r.vertices = level["vertices"];
    r.faces = level["faces"];
    r.face_ids = level["face_ids"];
    r.uvs = get(level, "uvs");
    r.normals = get(level, "normals");
    r.colors = get(level, "colors");
    r.triangle_count = session->engine().activeFaces();
    r.vertex_count = uint32_t(py::len(r.vertices));
    r.resolution = session->resolution();
    r.engine_seconds = engineSeconds;
    r.inputVertices = py::reinterpret_borrow<py::object>(vertices);
    r.inputFaces = py::reinterpret_borrow<py::object>(faces);
    if (input)
        r.measured = errorDict(within);
    {
        // The engine and model can be large: free them without holding the GIL.
        py::gil_scoped_release release;
        session.reset();
    }
    return r;
}

// The recorded engine: one mesh, moved between levels; every call holds the engine's lock.
class Engine {
public:
    Engine(py::handle vertices, py::handle faces, py::handle uvs, py::handle normals, py::handle colors,
           py::handle weights, float resolution, bool exact, const py::kwargs& kwargs)
        : settings_(settingsFrom(kwargs)), exact_(exact) {
        // An exact engine is rebuilt from its input, which the caller may change meanwhile: it keeps
        // private copies. One that only undoes reads the input once and needs none.
        const py::object deepcopy = py::module_::import("copy").attr("deepcopy");
        const auto own = [&](py::handle h) {
            return exact ? deepcopy(h) : py::reinterpret_borrow<py::object>(h);
        };
        input_ =
            meshInput(own(vertices), own(faces), own(uvs), own(normals), own(colors), own(weights), keep_);
        py::gil_scoped_release release;
        session_.reset(new EngineSession(input_, settings_));
        session_->setResolution(resolution);
    }

    float resolution() {
        std::lock_guard<std::mutex> lock(mutex_);
        return session_->resolution();
    }
    void setResolution(float percent) {
        py::gil_scoped_release release;
        std::lock_guard<std::mutex> lock(mutex_);
        // Undoing restores the engine only up to rounding; an exact engine reaches a higher level by
        // starting again from the input and contracting straight down to it instead.
        if (exact_ && session_->raises(percent)) {
            session_.reset();
            session_.reset(new EngineSession(input_, settings_));
        }
        session_->setResolution(percent);
    }
    template <typename F> auto locked(F f) {
        std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
        {
            py::gil_scoped_release release; // never wait for the lock while holding the GIL
            lock.lock();
        }
        return f(*session_);
    }

private:
    Settings settings_;
    bool exact_;
    std::vector<py::array> keep_;
    MeshInput input_;
    std::unique_ptr<EngineSession> session_;
    std::mutex mutex_;
};

const char* kModuleDoc = R"(Gradix mesh simplification on NumPy arrays.

simplify(vertices, faces, ratio=0.25)   one level of detail, with its attributes
Engine(vertices, faces)                 the recorded engine, moved between resolutions
load(path) / save(path, meshes)         mesh files through the gradix tool's importer and exporter

Vertices are (N, 3) floats, faces (M, 3) integer vertex indices. Attributes are given per corner,
(M, 3, k), or per vertex, (N, k): uvs (k = 2; one array or a list of UV sets), normals (k = 3),
colors (k = 3 or 4); results give them back the same way. Settings are the Gradix node's
attributes by name (vertexPlacement, edgeWeights, weightCombining, useUVs, useNormals,
useVertexColors, clampUVs, unitizeNormals, clampVertexColors, lambdaUVs, lambdaNormals,
lambdaColors, boundaryConstraint, discontinuityConstraint, blockSolve, preventFolds, foldAngle,
keepTopology, lockBorder, holdBorder, replayScrub, flatNotSeam) with the node's defaults (the
guards, replaying and flatNotSeam off) and clamping; useUVs, useNormals and useVertexColors default to whether UVs, normals or colors were given.
Bad arrays raise ValueError before any work; file problems raise OSError with the tool's message.)";

const char* kSimplifyDoc = R"(simplify(vertices, faces, *, ratio=None, triangles=None, vertices_target=None,
         max_error=None, uvs=None, normals=None, colors=None, weights=None, **settings)

Simplifies one triangle mesh to exactly one target:
  ratio            fraction of the triangles to keep, 0..1 (the node's resolution / 100; the
                   same as `gradix simplify --percent 100*ratio`)
  triangles        the reachable triangle count nearest to this
  vertices_target  the reachable vertex count nearest to this
  max_error        the fewest triangles whose measured two-sided Hausdorff distance from the
                   input is at most this: a distance, or a string such as "0.5%" of the input's
                   bounding-box diagonal
weights: per-vertex painted weights in 0..1 (higher keeps more detail).
Returns a SimplifyResult: .vertices (n, 3) float64 (only the vertices faces use, in input order),
.faces (m, 3) int32, .face_ids (the input face each came from), .uvs/.normals/.colors as given,
.triangle_count, .vertex_count, .resolution (percent), .error (the measured distance from the
input: a dict of hausdorff, mean, rms, diagonal, hausdorff_percent, mean_percent and, for open
meshes, border_hausdorff and border_mean; positions only, measured on first access).
Triangles of zero area are left out, as the tool leaves them out.)";

const char* kEngineDoc = R"(Engine(vertices, faces, *, uvs=None, normals=None, colors=None, weights=None,
       resolution=100.0, exact=True, **settings)

The recorded engine on one mesh. Setting .resolution (percent of the triangles) contracts further
or goes back up. .vertices holds every input vertex at its current place (input numbering, so the
contraction records apply to it), .faces the current triangles, .face_ids their input faces,
.uvs/.normals/.colors the current attributes as given.
Every level is exactly the level of a fresh simplify() call, however it was reached: moving up
starts again from the (copied) input and contracts straight down, which costs about as much as
building the engine plus the way down. exact=False undoes recorded contractions instead, as the
Gradix node does: cheaper, but undoing restores the quadrics only up to rounding, so a level reached
again after moving up may choose differently later on (the counts reached are the same).)";

} // namespace

PYBIND11_MODULE(gradix, m) {
    m.doc() = kModuleDoc;

    py::class_<SimplifyResult>(m, "SimplifyResult", "The result of gradix.simplify(); see its help.")
        .def_readonly("vertices", &SimplifyResult::vertices, "(n, 3) float64 positions")
        .def_readonly("faces", &SimplifyResult::faces, "(m, 3) int32 triangles")
        .def_readonly("face_ids", &SimplifyResult::face_ids, "(m,) int32: the input face of each")
        .def_readonly("uvs", &SimplifyResult::uvs, "UVs as given (an array or a list of sets), or None")
        .def_readonly("normals", &SimplifyResult::normals, "normals as given, or None")
        .def_readonly("colors", &SimplifyResult::colors, "colours as given, or None")
        .def_property_readonly("error", &SimplifyResult::error,
                               "the measured two-sided surface distance from the input, as a dict")
        .def_readonly("triangle_count", &SimplifyResult::triangle_count)
        .def_readonly("vertex_count", &SimplifyResult::vertex_count)
        .def_readonly("resolution", &SimplifyResult::resolution, "percent of the input triangles")
        .def_readonly("engine_seconds", &SimplifyResult::engine_seconds,
                      "wall time of the engine's own work: building its model and simplifying")
        .def("__repr__", [](const SimplifyResult& r) {
            return "<gradix.SimplifyResult " + std::to_string(r.triangle_count) + " triangles, " +
                   std::to_string(r.vertex_count) + " vertices>";
        });

    m.def("simplify", &simplify, kSimplifyDoc, py::arg("vertices"), py::arg("faces"), py::kw_only(),
          py::arg("ratio") = py::none(), py::arg("triangles") = py::none(),
          py::arg("vertices_target") = py::none(), py::arg("max_error") = py::none(),
          py::arg("uvs") = py::none(), py::arg("normals") = py::none(), py::arg("colors") = py::none(),
          py::arg("weights") = py::none());

    const auto level = [](const char* key) {
        return [key](Engine& e) {
            return e.locked([key](EngineSession& s) { return get(levelArrays(s, false), key); });
        };
    };
    py::class_<Engine>(m, "Engine", kEngineDoc)
        .def(py::init<py::handle, py::handle, py::handle, py::handle, py::handle, py::handle, float, bool,
                      const py::kwargs&>(),
             py::arg("vertices"), py::arg("faces"), py::kw_only(), py::arg("uvs") = py::none(),
             py::arg("normals") = py::none(), py::arg("colors") = py::none(), py::arg("weights") = py::none(),
             py::arg("resolution") = 100.0f, py::arg("exact") = true)
        .def_property("resolution", &Engine::resolution, &Engine::setResolution,
                      "Percent of the input triangles (0..100, clamped like the node's attribute)")
        .def_property_readonly("vertices", level("vertices"),
                               "(N, 3) float64: every input vertex, current place")
        .def_property_readonly("faces", level("faces"), "(m, 3) int32: the current triangles")
        .def_property_readonly("face_ids", level("face_ids"), "(m,) int32: the input face of each")
        .def_property_readonly("uvs", level("uvs"), "current UVs as given, or None")
        .def_property_readonly("normals", level("normals"), "current normals as given, or None")
        .def_property_readonly("colors", level("colors"), "current colours as given, or None")
        .def_property_readonly(
            "triangle_count",
            [](Engine& e) { return e.locked([](EngineSession& s) { return s.engine().activeFaces(); }); })
        .def_property_readonly(
            "vertex_count",
            [](Engine& e) { return e.locked([](EngineSession& s) { return s.usedVertices(); }); })
        .def(
            "contractions",
            [](Engine& e) { return e.locked([](EngineSession& s) { return contractionArrays(s); }); },
            R"(The applied contractions, oldest first, as a dict of arrays:
  kept, removed        (K,) int32: removed vertex merged into kept vertex
  position             (K, 3): the kept vertex's place after the contraction
  removed_faces[removed_offsets[i]:removed_offsets[i+1]]  input faces contraction i removed
  changed_faces[changed_offsets[i]:changed_offsets[i+1]]  input faces it reshaped (those of
                       the removed vertex now use the kept one)
Replaying them on the input (replace removed by kept, drop removed faces, move kept) gives .faces.)")
        .def(
            "next_pairs",
            [](Engine& e, size_t n) {
                return e.locked([n](EngineSession& s) { return cheapestPairs(s, n); });
            },
            py::arg("n") = 10,
            R"(The n cheapest pending pairs, cheapest first: a dict with "pairs" (n, 2) int32 vertex
indices, "costs" (n,) (weight x quadric error) and "targets" (n, 3), where each would be placed.)");

    m.def("load", &loadMeshes, py::arg("path"),
          R"(load(path) -> list of dicts, one per mesh of the file, read as the gradix tool reads it:
name, parent, transform (4, 4), vertices (N, 3), face_counts, face_vertices, faces (M, 3) when every
face is a triangle, uvs (a list of per-corner arrays, NaN where absent) with uv_names, normals and
colors per corner (or None), face_materials (index into materials, -1 for none), materials.
Per-corner arrays are (M, 3, k) for triangle meshes, ready for simplify(). OSError on failure.)");
    m.def("save", &saveMeshes, py::arg("path"), py::arg("meshes"), py::arg("format") = "",
          R"(save(path, meshes, format="") writes meshes (dicts as load() gives, or simplify() results)
through the gradix tool's exporter; the format follows the extension unless given (gltf, glb, fbx,
fbxascii, dae, obj, ply). A failed write leaves no file behind. OSError on failure.)");
}
