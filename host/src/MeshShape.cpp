#include "MeshShape.h"

#include "Access.h"
#include "Scene.h"

#include <maya/MColor.h>
#include <maya/MFnTypedAttribute.h>

namespace gxhost {

uint32_t FaceMaterials::idOf(const std::string& name) {
    auto found = lookup_.find(name);
    if (found == lookup_.end()) {
        found = lookup_.emplace(name, static_cast<uint32_t>(names_.size())).first;
        names_.push_back(name);
    }
    return found->second;
}

bool FaceMaterials::any() const {
    for (uint32_t i : index_)
        if (i != 0)
            return true;
    return false;
}

MObject MeshShape::inMesh;
MObject MeshShape::outMesh;

MStatus MeshShape::compute(const MPlug& plug, MDataBlock& block) {
    if (plug.attribute() != outMesh)
        return MStatus::kUnknownParameter;
    MStatus status;
    MDataHandle in = block.inputValue(inMesh, &status);
    if (!status)
        return status;
    MDataHandle out = block.outputValue(outMesh, &status);
    if (!status)
        return status;
    status = out.set(in.data());
    block.setClean(plug);
    return status;
}

namespace {

MStatus initializeMeshType() {
    MFnTypedAttribute typed;
    MStatus status;
    MeshShape::inMesh = typed.create("inMesh", "i", MFnData::kMesh, MObject::kNullObj, &status);
    if (!status)
        return status;
    typed.setStorable(true);
    MeshShape::outMesh = typed.create("outMesh", "o", MFnData::kMesh, MObject::kNullObj, &status);
    if (!status)
        return status;
    typed.setWritable(false);
    typed.setStorable(false);
    if (!(status = MPxNode::addAttribute(MeshShape::inMesh)) ||
        !(status = MPxNode::addAttribute(MeshShape::outMesh)))
        return status;
    return MPxNode::attributeAffects(MeshShape::inMesh, MeshShape::outMesh);
}

} // namespace

void registerMeshType(Scene& scene) {
    auto type = std::make_unique<NodeType>();
    type->name = "mesh";
    type->id = MTypeId(0x4D455348); // "MESH"
    type->kind = MPxNode::kSurfaceShape;
    type->create = []() { return new MeshShape; };
    NodeType* raw = type.get();
    scene.types.push_back(std::move(type));
    scene.typeUnderInit = raw;
    initializeMeshType();
    scene.typeUnderInit = nullptr;
}

Node* asMeshNode(const MObject& object) {
    Node* node = asNode(object);
    return node && node->type && node->type->name == "mesh" ? node : nullptr;
}

MeshShape* meshShapeOf(const MObject& object) {
    Node* node = asMeshNode(object);
    return node ? dynamic_cast<MeshShape*>(node->user) : nullptr;
}

std::shared_ptr<MeshGeom> meshOf(const MObject& object) {
    if (auto data = asData<MeshData>(object))
        return data->mesh;
    Node* node = asMeshNode(object);
    if (!node)
        return nullptr;
    int in = node->attributeIndex("inMesh");
    Scene::get().evaluate(node, in);
    auto data = std::dynamic_pointer_cast<MeshData>(node->slots[in].value.data);
    if (!data) {
        data = std::make_shared<MeshData>();
        node->slots[in].value.data = data;
    }
    return data->mesh;
}

void meshChanged(const MObject& object) {
    if (auto mesh = meshOf(object))
        mesh->invalidateNormals();
    if (Node* node = asMeshNode(object))
        Scene::get().propagateDirty(node, node->attributeIndex("inMesh"));
}

MStatus faceVertexColor(const MeshGeom& m, int faceVertex, MColor& color) {
    if (faceVertex < 0)
        return MStatus::kInvalidParameter;
    if (faceVertex >= static_cast<int>(m.hasColor.size()) || !m.hasColor[faceVertex])
        return MStatus::kFailure;
    const auto& c = m.colors[faceVertex];
    color = MColor(c[0], c[1], c[2], c[3]);
    return MStatus::kSuccess;
}

} // namespace gxhost
