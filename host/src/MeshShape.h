// MeshShape: the built-in `mesh` node type, the host's polygon shape. `inMesh` holds the node's own
// mesh while unconnected and receives the upstream mesh when connected; `outMesh` shows that mesh.
// The node also carries per-face material (shading group) membership and takes dynamic attributes.
#pragma once

#include "MeshGeom.h"

#include <maya/MObject.h>
#include <maya/MPxNode.h>

#include <memory>
#include <string>
#include <vector>

class MColor;

namespace gxhost {

class Node;

class MeshShape : public MPxNode {
public:
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MObject inMesh, outMesh;
    std::vector<std::string> faceMaterial; // per face; "" = none
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
