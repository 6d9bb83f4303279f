#include "Convert.h"

#include "io/FlatNormals.h"

#include <algorithm>
#include <stdexcept>

namespace gradixpy {
namespace {

ArrayView::Type typeOf(const py::dtype& dtype) {
    const char kind = dtype.kind();
    const size_t size = size_t(dtype.itemsize());
    const char order = dtype.byteorder();
    if (order == '>')
        return ArrayView::Type::OTHER;
    if (kind == 'f')
        return size == 4 ? ArrayView::Type::F32 : size == 8 ? ArrayView::Type::F64 : ArrayView::Type::OTHER;
    if (kind == 'i')
        return size == 1   ? ArrayView::Type::I8
               : size == 2 ? ArrayView::Type::I16
               : size == 4 ? ArrayView::Type::I32
               : size == 8 ? ArrayView::Type::I64
                           : ArrayView::Type::OTHER;
    if (kind == 'u' || kind == 'b')
        return size == 1   ? ArrayView::Type::U8
               : size == 2 ? ArrayView::Type::U16
               : size == 4 ? ArrayView::Type::U32
               : size == 8 ? ArrayView::Type::U64
                           : ArrayView::Type::OTHER;
    return ArrayView::Type::OTHER;
}

template <typename T> py::array_t<T> newArray(std::vector<py::ssize_t> shape) {
    return py::array_t<T>(shape);
}

} // namespace

ArrayView viewOf(py::handle object, const char* name, std::vector<py::array>& keep) {
    ArrayView view;
    if (object.is_none())
        return view;
    py::array array;
    if (py::isinstance<py::array>(object)) {
        array = py::reinterpret_borrow<py::array>(object);
    } else {
        try {
            array = py::array(py::module_::import("numpy").attr("asarray")(object));
        } catch (const py::error_already_set&) {
            throw std::invalid_argument(std::string(name) + ": not an array");
        }
    }
    keep.push_back(array);
    if (array.ndim() > 3 || array.ndim() < 1)
        throw std::invalid_argument(std::string(name) + ": " + std::to_string(array.ndim()) +
                                    " dimensions, expected 1 to 3");
    view.data = static_cast<const char*>(array.data());
    view.type = typeOf(array.dtype());
    view.ndim = int(array.ndim());
    for (int d = 0; d < view.ndim; ++d) {
        view.shape[d] = array.shape(d);
        view.strides[d] = array.strides(d);
    }
    if (view.type == ArrayView::Type::OTHER)
        throw std::invalid_argument(std::string(name) +
                                    ": needs a float or integer array in native byte order");
    return view;
}

MeshInput meshInput(py::handle vertices, py::handle faces, py::handle uvs, py::handle normals,
                    py::handle colors, py::handle weights, std::vector<py::array>& keep) {
    MeshInput in;
    in.vertices = viewOf(vertices, "vertices", keep);
    in.faces = viewOf(faces, "faces", keep);
    if (py::isinstance<py::list>(uvs) || py::isinstance<py::tuple>(uvs)) {
        for (py::handle set : uvs)
            in.uvSets.push_back({viewOf(set, "uvs", keep), false});
    } else if (!uvs.is_none()) {
        in.uvSets.push_back({viewOf(uvs, "uvs", keep), false});
    }
    in.normals.values = viewOf(normals, "normals", keep);
    in.colors.values = viewOf(colors, "colors", keep);
    in.weights = viewOf(weights, "weights", keep);
    checkMeshInput(in);
    return in;
}

Settings settingsFrom(const py::kwargs& kwargs) {
    Settings settings;
    for (const auto& item : kwargs) {
        const std::string name = py::str(item.first);
        try {
            if (py::isinstance<py::str>(item.second))
                settings.set(name, item.second.cast<std::string>());
            else
                settings.set(name, item.second.cast<double>());
        } catch (const py::cast_error&) {
            throw py::type_error("setting '" + name + "': needs a number, a bool or an enum field name");
        } catch (const std::invalid_argument& e) {
            if (std::string(e.what()).rfind("unknown setting", 0) == 0)
                throw py::type_error(e.what());
            throw;
        }
    }
    return settings;
}

py::dict levelArrays(const EngineSession& session, bool compact) {
    const gdx::Model& model = session.model();
    const uint32_t faceCount = session.engine().activeFaces();
    std::vector<uint32_t> faces;
    faces.reserve(faceCount);
    // Output number of each model vertex, and the wedge of the first corner that uses it.
    std::vector<int32_t> number(model.numVertices(), -1);
    std::vector<uint32_t> vertexWedge(model.numVertices(), gdx::INVALID_INDEX);
    int32_t used = 0;
    for (uint32_t f = 0; f < model.numFaces(); ++f) {
        if (!model.faceState(f).active)
            continue;
        faces.push_back(f);
        for (uint32_t c = 0; c < 3; ++c) {
            const uint32_t v = model.face(f).vertex(c);
            if (number[v] < 0) {
                number[v] = used++;
                vertexWedge[v] = model.face(f).wedge(c);
            }
        }
    }
    std::vector<uint32_t> outVertices; // model vertex of each output vertex
    if (compact) {
        outVertices.resize(size_t(used));
        int32_t next = 0;
        for (uint32_t v = 0; v < model.numVertices(); ++v)
            if (number[v] >= 0) {
                number[v] = next;
                outVertices[size_t(next++)] = v;
            }
    } else {
        outVertices.resize(model.numVertices());
        for (uint32_t v = 0; v < model.numVertices(); ++v)
            outVertices[v] = v, number[v] = int32_t(v);
    }
    const py::ssize_t n = py::ssize_t(outVertices.size()), m = py::ssize_t(faces.size());

    auto vertices = newArray<double>({n, 3});
    auto pv = vertices.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i) {
        const gdx::FloatPoint& p = model.positions()[outVertices[size_t(i)]];
        pv(i, 0) = p.x, pv(i, 1) = p.y, pv(i, 2) = p.z;
    }
    auto faceArray = newArray<int32_t>({m, 3});
    auto faceIds = newArray<int32_t>({m});
    auto pf = faceArray.mutable_unchecked<2>();
    auto pid = faceIds.mutable_unchecked<1>();
    for (py::ssize_t i = 0; i < m; ++i) {
        const gdx::Face& face = model.face(faces[size_t(i)]);
        for (uint32_t c = 0; c < 3; ++c)
            pf(i, c) = number[face.vertex(c)];
        pid(i) = int32_t(session.inputFace(faces[size_t(i)]));
    }

    // An attribute of `width` components, component j of wedge w given by `get`.
    const auto attribute = [&](bool perCorner, int width, auto get) {
        if (perCorner) {
            auto out = newArray<double>({m, 3, width});
            auto po = out.mutable_unchecked<3>();
            for (py::ssize_t i = 0; i < m; ++i)
                for (uint32_t c = 0; c < 3; ++c)
                    for (int j = 0; j < width; ++j)
                        po(i, c, j) = get(model.face(faces[size_t(i)]).wedge(c), j);
            return out;
        }
        auto out = newArray<double>({n, width});
        auto po = out.mutable_unchecked<2>();
        for (py::ssize_t i = 0; i < n; ++i) {
            const uint32_t w = vertexWedge[outVertices[size_t(i)]];
            for (int j = 0; j < width; ++j)
                po(i, j) = w == gdx::INVALID_INDEX ? 0.0 : get(w, j);
        }
        return out;
    };

    py::dict out;
    out["vertices"] = vertices;
    out["faces"] = faceArray;
    out["face_ids"] = faceIds;
    if (session.uvSets() > 0) {
        py::list sets;
        for (uint32_t k = 0; k < session.uvSets(); ++k)
            sets.append(attribute(session.uvPerCorner(k), 2, [&](uint32_t w, int j) {
                // The first set lives in the wedges' own UV (the one contractions place).
                if (k == 0)
                    return double(j == 0 ? model.firstU()[w] : model.firstV()[w]);
                return double(j == 0 ? model.uArray(k)[w] : model.vArray(k)[w]);
            }));
        out["uvs"] = session.uvSets() == 1 ? py::object(sets[0]) : py::object(sets);
    }
    if (session.flatNormals()) {
        // Each face's own unit normal at its three corners, as the tool writes a flat-shaded result.
        auto normals = newArray<double>({m, 3, 3});
        auto pn = normals.mutable_unchecked<3>();
        for (py::ssize_t i = 0; i < m; ++i) {
            const gdx::Face& face = model.face(faces[size_t(i)]);
            std::array<gxhost::Vector3f, 3> corner;
            std::array<const gxhost::Vector3f*, 3> corners;
            for (uint32_t c = 0; c < 3; ++c) {
                const gdx::FloatPoint& p = model.positions()[face.vertex(c)];
                corner[c] = {p.x, p.y, p.z};
                corners[c] = &corner[c];
            }
            const gxhost::Vector3f n = gxhost::polygonUnitNormal(corners.data(), 3);
            for (int c = 0; c < 3; ++c)
                for (int j = 0; j < 3; ++j)
                    pn(i, c, j) = n[size_t(j)];
        }
        out["normals"] = normals;
    } else if (session.hasNormals())
        out["normals"] = attribute(session.normalsPerCorner(), 3, [&](uint32_t w, int j) {
            const gdx::DoubleVector& v = model.normals()[w];
            return j == 0 ? v.x : j == 1 ? v.y : v.z;
        });
    if (session.colorWidth())
        out["colors"] = attribute(session.colorsPerCorner(), session.colorWidth(), [&](uint32_t w, int j) {
            const gdx::Color& c = model.colors()[w];
            return double(j == 0 ? c.r : j == 1 ? c.g : j == 2 ? c.b : c.a);
        });
    return out;
}

py::dict contractionArrays(const EngineSession& session) {
    const gdx::ContractionSequence& sequence = session.sequence();
    const py::ssize_t k = py::ssize_t(sequence.size());
    auto kept = newArray<int32_t>({k});
    auto removed = newArray<int32_t>({k});
    auto position = newArray<double>({k, 3});
    auto removedOffsets = newArray<int64_t>({k + 1});
    auto changedOffsets = newArray<int64_t>({k + 1});
    std::vector<int32_t> removedFaces, changedFaces;
    auto pk = kept.mutable_unchecked<1>();
    auto pr = removed.mutable_unchecked<1>();
    auto pp = position.mutable_unchecked<2>();
    auto pro = removedOffsets.mutable_unchecked<1>();
    auto pco = changedOffsets.mutable_unchecked<1>();
    // Positions after each contraction, found by walking back from the current ones (the kept
    // vertex moved by the record's displacement, exactly as undoing it would move it back).
    gdx::FloatPointArray positions = session.model().positions();
    gdx::PairContraction record;
    for (py::ssize_t i = k - 1; i >= 0; --i) {
        sequence.get(size_t(i), record);
        gdx::FloatPoint& p = positions[record.keptVertex];
        pp(i, 0) = p.x, pp(i, 1) = p.y, pp(i, 2) = p.z;
        p.x -= record.displacement.x, p.y -= record.displacement.y, p.z -= record.displacement.z;
    }
    pro(0) = pco(0) = 0;
    for (py::ssize_t i = 0; i < k; ++i) {
        sequence.get(size_t(i), record);
        pk(i) = int32_t(record.keptVertex);
        pr(i) = int32_t(record.removedVertex);
        for (uint32_t f : record.removedFaces)
            removedFaces.push_back(int32_t(session.inputFace(f)));
        for (uint32_t f : record.changedFaces)
            changedFaces.push_back(int32_t(session.inputFace(f)));
        pro(i + 1) = int64_t(removedFaces.size());
        pco(i + 1) = int64_t(changedFaces.size());
    }
    py::dict out;
    out["kept"] = kept;
    out["removed"] = removed;
    out["position"] = position;
    out["removed_faces"] = py::array_t<int32_t>(py::ssize_t(removedFaces.size()), removedFaces.data());
    out["removed_offsets"] = removedOffsets;
    out["changed_faces"] = py::array_t<int32_t>(py::ssize_t(changedFaces.size()), changedFaces.data());
    out["changed_offsets"] = changedOffsets;
    return out;
}

py::dict cheapestPairs(EngineSession& session, size_t count) {
    const gdx::QSlim& engine = session.settledEngine();
    const gdx::Model& model = session.model();
    std::vector<gdx::Heap::Item> items;
    for (const gdx::Heap::Item& item : engine.queue().items()) {
        const gdx::Edge& e = engine.edge(item.edge);
        if (model.vertexState(e.first).active && model.vertexState(e.second).active)
            items.push_back(item);
    }
    // The queue's own order: cost, then the vertex indices.
    const auto less = [](const gdx::Heap::Item& x, const gdx::Heap::Item& y) {
        if (x.cost != y.cost)
            return x.cost < y.cost;
        return x.first < y.first || (x.first == y.first && x.second < y.second);
    };
    count = std::min(count, items.size());
    std::partial_sort(items.begin(), items.begin() + std::ptrdiff_t(count), items.end(), less);
    const py::ssize_t n = py::ssize_t(count);
    auto pairs = newArray<int32_t>({n, 2});
    auto costs = newArray<double>({n});
    auto targets = newArray<double>({n, 3});
    auto pp = pairs.mutable_unchecked<2>();
    auto pc = costs.mutable_unchecked<1>();
    auto pt = targets.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i) {
        const gdx::Edge& e = engine.edge(items[size_t(i)].edge);
        pp(i, 0) = int32_t(e.first), pp(i, 1) = int32_t(e.second);
        pc(i) = items[size_t(i)].cost;
        pt(i, 0) = e.target.x, pt(i, 1) = e.target.y, pt(i, 2) = e.target.z;
    }
    py::dict out;
    out["pairs"] = pairs;
    out["costs"] = costs;
    out["targets"] = targets;
    return out;
}

} // namespace gradixpy
