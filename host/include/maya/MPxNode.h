// MPxNode: base of plug-in dependency nodes.
//
// 1. The node type's `initialize` creates attributes with the attribute function sets, adds them with
//    addAttribute and declares dependencies with attributeAffects.
// 2. The host calls `compute` when a dirty output is read; returning kUnknownParameter means the
//    node does not handle that plug.
// 3. Internal attributes route every write through setInternalValue (the value is already in the data
//    block) and every read through getInternalValue.
#pragma once

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

namespace gxhost {
class Node;
}

class MPxNode {
public:
    enum Type {
        kDependNode,
        kLocatorNode,
        kDeformerNode,
        kManipContainer,
        kSurfaceShape,
        kFieldNode,
        kEmitterNode,
        kSpringNode,
        kIkSolverNode,
        kHardwareShader,
        kHwShaderNode,
        kTransformNode,
        kManipulatorNode,
        kClientDeviceNode,
        kThreadedDeviceNode,
        kLast
    };

    MPxNode() = default;
    virtual ~MPxNode() = default;
    MPxNode(const MPxNode&) = delete;
    MPxNode& operator=(const MPxNode&) = delete;

    virtual void postConstructor() {}
    virtual MStatus compute(const MPlug& plug, MDataBlock& dataBlock);
    // The default answers false: the host keeps the value in the data block.
    virtual bool getInternalValue(const MPlug& plug, MDataHandle& dataHandle);
    virtual bool setInternalValue(const MPlug& plug, const MDataHandle& dataHandle);
    virtual Type type() const { return kDependNode; }

    MObject thisMObject() const;
    MString name() const;
    MTypeId typeId() const;
    MString typeName() const;

    // Only during the node type's initialize.
    static MStatus addAttribute(const MObject& attribute);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);

    // Host side.
    void gxAttach(gxhost::Node* node) { node_ = node; }
    gxhost::Node* gxNode() const { return node_; }

private:
    gxhost::Node* node_ = nullptr;
};
