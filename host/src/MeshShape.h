// MeshShape: the built-in `mesh` node type, the host's polygon shape. `inMesh` holds the node's own
// mesh while unconnected and receives the upstream mesh when connected; `outMesh` shows that mesh.
// The node also carries per-face material (shading group) membership and takes dynamic attributes.
#pragma once

#include "MeshGeom.h"

#include <maya/MObject.h>
#include <maya/MPxNode.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class MColor;

namespace gxhost {

class Node;

// Each face's material name ("" = none) as an index into the names in use: a string per face would
// cost 32 bytes on every face of a million-face mesh.
class FaceMaterials {
public:
    // The name of `face`; "" beyond the faces given one.
    const std::string& operator[](size_t face) const {
        return names_[face < index_.size() ? index_[face] : 0];
    }
    size_t size() const { return index_.size(); }
    // Faces added at the end get no material.
    void resize(size_t faces) { index_.resize(faces, 0); }
    void set(size_t face, const std::string& name) { index_[face] = idOf(name); }
    // A name's number (given on first use), for setting many faces without looking it up each time.
    uint32_t idOf(const std::string& name);
    void set(size_t face, uint32_t id) { index_[face] = id; }
    // Some face has a material.
    bool any() const;

private:
    std::vector<std::string> names_{std::string()};
    std::unordered_map<std::string, uint32_t> lookup_{{std::string(), 0}};
    std::vector<uint32_t> index_;
};

class MeshShape : public MPxNode {
public:
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MObject inMesh, outMesh;
    FaceMaterials faceMaterial;
};

// A mesh node behind an object, or null.
Node* asMeshNode(const MObject& object);
MeshShape* meshShapeOf(const MObject& object);
// The mesh of a mesh node or mesh data object; a mesh node without a mesh is given an empty one.
std::shared_ptr<MeshGeom> meshOf(const MObject& object);
// After a write through MFnMesh: a mesh node's dependents become dirty, cached normals are dropped.
void meshChanged(const MObject& object);
// The colour of a face-vertex of `m` (-1: none such): kInvalidParameter for none such, kFailure when
// it has no colour.
MStatus faceVertexColor(const MeshGeom& m, int faceVertex, MColor& color);

} // namespace gxhost
