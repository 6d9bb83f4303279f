#include "LodGraph.h"

#include "UnusedPoints.h"
#include "io/FlatNormals.h"

#include <gxhost/Host.h>
#include <gxhost/MeshConversion.h>

#include <maya/MDoubleArray.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>

#include <algorithm>
#include <set>

namespace gradix {
namespace {

bool hasColors(const gxhost::SceneMesh& mesh) {
    return std::find(mesh.hasColor.begin(), mesh.hasColor.end(), 1) != mesh.hasColor.end();
}

// The distinct per-face material states of a mesh (-1 for faces without one).
std::set<int32_t> materialStates(const gxhost::SceneMesh& mesh) {
    return std::set<int32_t>(mesh.faceMaterial.begin(), mesh.faceMaterial.end());
}

template <class Counts, class Vertices>
MeshCounts countPolygons(const Counts& faceCounts, const Vertices& faceVertices, size_t points) {
    MeshCounts counts;
    for (size_t i = 0; i < faceCounts.size(); ++i)
        counts.triangles += faceCounts[i] >= 3 ? static_cast<uint64_t>(faceCounts[i] - 2) : 0;
    std::vector<uint8_t> used(points, 0);
    for (size_t i = 0; i < faceVertices.size(); ++i) {
        const auto v = faceVertices[i];
        if (v >= 0 && static_cast<size_t>(v) < points && !used[static_cast<size_t>(v)]) {
            used[static_cast<size_t>(v)] = 1;
            ++counts.vertices;
        }
    }
    return counts;
}

} // namespace

std::string LodGraph::fail(const std::string& problem) const {
    return withHostError("mesh '" + source_->scene.name + "': " + problem, *session_);
}

bool LodGraph::build(Session& session, const SourceMesh& source, const NodeSettings& settings,
                     std::string& error) {
    session_ = &session;
    source_ = &source;
    session.clearMessages();
    MStatus status;
    MObject gradix = gxhost::createNode("Gradix", source.node + "_gradix", &status);
    if (!status) {
        error = fail("cannot create a Gradix node (is this the Gradix plug-in?)");
        return false;
    }
    gradix_ = gxhost::nodeName(gradix);
    // "EditUVs" fills the UV sets after the first; for a mesh with one set or none it would only
    // copy the mesh (the copy of a million points is 20 MB while the engine holds its most).
    const bool furtherUVSets = source.scene.uvSets.size() > 1;
    editUVs_.clear();
    if (furtherUVSets) {
        MObject editUVs = gxhost::createNode("EditUVs", source.node + "_uvs", &status);
        if (!status) {
            error = fail("cannot create an EditUVs node (is this the Gradix plug-in?)");
            return false;
        }
        editUVs_ = gxhost::nodeName(editUVs);
    }
    MObject result = gxhost::createNode("mesh", source.node + "_lod", &status);
    if (!status) {
        error = fail("cannot create the result mesh node");
        return false;
    }
    result_ = gxhost::nodeName(result);

    // A flat-shaded mesh is simplified as a smooth one: its result gets its own faces' normals.
    NodeSettings resolved = settings;
    flatNormals_ = source.flatNormals && settings.useNormals >= 0;
    if (source.flatNormals)
        resolved.useNormals = -1;
    if (!resolved.apply(gradix_, !source.scene.uvSets.empty(), !source.scene.normals.empty(),
                        hasColors(source.scene), error)) {
        error = fail(error);
        return false;
    }
    std::vector<std::pair<std::string, std::string>> wiring = {
        {source.node + ".outMesh", gradix_ + ".inMesh"}};
    if (furtherUVSets)
        wiring.insert(wiring.end(), {{gradix_ + ".outMesh", editUVs_ + ".inMesh"},
                                     {gradix_ + ".outUVs", editUVs_ + ".inUVs"},
                                     {gradix_ + ".outUVids", editUVs_ + ".inUVids"},
                                     {editUVs_ + ".outMesh", result_ + ".inMesh"}});
    else
        wiring.emplace_back(gradix_ + ".outMesh", result_ + ".inMesh");
    for (const auto& [from, to] : wiring)
        if (!gxhost::connect(from, to)) {
            error = fail("cannot connect " + from + " to " + to);
            return false;
        }
    resolution_ = nodeResolution_ = lowestEvaluated_ = 100.0f;
    movedUp_ = evaluated_ = materialsDone_ = false;
    return true;
}

bool LodGraph::settle(std::string& error) {
    if (!movedUp_)
        return true;
    session_->clearMessages();
    // A new connection to inMesh makes the node read its source again and build a fresh engine.
    const std::string from = source_->node + ".outMesh", to = gradix_ + ".inMesh";
    if (!gxhost::disconnect(from, to) || !gxhost::connect(from, to)) {
        error = fail("cannot reconnect " + from + " to " + to);
        return false;
    }
    lowestEvaluated_ = 100.0f;
    movedUp_ = evaluated_ = materialsDone_ = false;
    return true;
}

bool LodGraph::setWeights(const std::vector<double>& weights, std::string& error) {
    session_->clearMessages();
    const std::string plug = source_->node + ".gradixWeights";
    if (!gxhost::executeCommand("addPaintableWeightsGX " + source_->node + " 0")) {
        error = fail("addPaintableWeightsGX failed");
        return false;
    }
    MDoubleArray values;
    for (double w : weights)
        values.append(w);
    MFnDoubleArrayData fn;
    MStatus status;
    MObject data = fn.create(values, &status);
    if (!status || !gxhost::setAttr(plug, data) || !gxhost::connect(plug, gradix_ + ".inWeights")) {
        error = fail("cannot feed the weights into " + gradix_ + ".inWeights");
        return false;
    }
    evaluated_ = false;
    materialsDone_ = false;
    return true;
}

float LodGraph::nodePercent(float percent) const {
    // A node that holds the source already simplified in halves is asked for as many triangles.
    return source_->nodeScale == 1.0 ? percent : std::min(100.0f, float(double(percent) * source_->nodeScale));
}

bool LodGraph::setResolution(float percent, std::string& error) {
    if (percent == resolution_)
        return true;
    const float node = nodePercent(percent);
    // The node answers a write of an unchanged value with no new mesh, so it is not written again.
    if (node != nodeResolution_) {
        session_->clearMessages();
        if (!gxhost::setAttr(gradix_ + ".resolution", node)) {
            error = fail("cannot set " + gradix_ + ".resolution");
            return false;
        }
        nodeResolution_ = node;
        evaluated_ = false;
        materialsDone_ = false;
    }
    resolution_ = percent;
    return true;
}

bool LodGraph::evaluate(MeshCounts& counts, std::string& error) {
    if (evaluated_) {
        counts = counts_;
        return true;
    }
    session_->clearMessages();
    MObject data;
    if (!gxhost::getAttr(result_ + ".outMesh", data) || data.isNull()) {
        error = fail("the graph gave no mesh at resolution " + std::to_string(resolution_));
        return false;
    }
    MFnMesh mesh(data);
    MIntArray faceCounts, faceVertices;
    mesh.getVertices(faceCounts, faceVertices);
    counts_ = countPolygons(faceCounts.vec(), faceVertices.vec(), static_cast<size_t>(mesh.numVertices()));
    evaluated_ = true;
    movedUp_ = movedUp_ || nodeResolution_ > lowestEvaluated_;
    lowestEvaluated_ = std::min(lowestEvaluated_, nodeResolution_);
    counts = counts_;
    return true;
}

bool LodGraph::transferMaterials(std::string& error) {
    if (materialsDone_)
        return true;
    session_->clearMessages();
    const std::set<int32_t> states = materialStates(source_->scene);
    MObject result = gxhost::findNode(result_);
    const int faces = MFnMesh(result).numPolygons();
    if (states.size() > 1) {
        // Faces that no source face matches would keep the previous level's material.
        for (int f = 0; f < faces; ++f)
            gxhost::setFaceMaterial(result, f, "");
        if (!gxhost::executeCommand("setupShaders " + source_->node + " " + result_)) {
            error = fail("setupShaders could not copy the materials");
            return false;
        }
    } else if (states.size() == 1 && *states.begin() >= 0) {
        const std::string& material = source_->scene.materials[static_cast<size_t>(*states.begin())];
        for (int f = 0; f < faces; ++f)
            gxhost::setFaceMaterial(result, f, material);
    }
    materialsDone_ = true;
    return true;
}

bool LodGraph::resultMesh(bool keepMaterials, gxhost::SceneMesh& out, std::string& error) {
    MeshCounts counts;
    if (!evaluate(counts, error))
        return false;
    if (keepMaterials && !transferMaterials(error))
        return false;
    if (!gxhost::meshToScene(gxhost::findNode(result_), out)) {
        error = fail("cannot read the result mesh");
        return false;
    }
    // The node always writes a default UV set; a source without UVs gets none back.
    if (source_->scene.uvSets.empty())
        out.uvSets.clear();
    if (!keepMaterials) {
        out.materials.clear();
        out.faceMaterial.clear();
    }
    out.name = source_->scene.name;
    out.parent = source_->scene.parent;
    out.transform = source_->scene.transform;
    removeUnusedPoints(out);
    if (flatNormals_)
        gxhost::setFlatNormals(out);
    return true;
}

MeshCounts countMesh(const gxhost::SceneMesh& mesh) {
    return countPolygons(mesh.faceCounts, mesh.faceVertices, mesh.points.size());
}

} // namespace gradix
