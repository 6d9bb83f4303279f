// GradixNode ("Gradix"): the main node. It triangulates the mesh on inMesh into a core Model,
// builds a QSlim engine on it, and outputs the mesh at `resolution` percent of the source's
// triangles, moving between resolutions by contracting further or undoing recorded contractions.
//
//   source mesh.outMesh --> inMesh            outMesh  --> EditUVs.inMesh
//   source mesh.gradixWeights --> inWeights   outUVs/outUVids --> EditUVs.inUVs/inUVids
//                                             outSlimInfo --> VisualizerGX.inSlimInfo
//
// Every input is internal: setInternalValue keeps a cache of the settings, clamps them and raises
// the flags that tell the next compute how much work is due (rebuild, re-weigh, or only a change
// of resolution).
#pragma once

#include "FileVersion.h"
#include "ResolutionChanger.h"

#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPxNode.h>
#include <maya/MStringArray.h>

#include <boost/shared_ptr.hpp>

namespace gdx {
class HierarchicWeight;
}

class GradixNode : public MPxNode {
public:
    GradixNode();
    ~GradixNode() override;

    void postConstructor() override;
    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    bool getInternalValue(const MPlug& plug, MDataHandle& handle) override;
    bool setInternalValue(const MPlug& plug, const MDataHandle& handle) override;

    static void* creator();
    static MStatus initialize();

    // Moves the engine to `fraction` of the full face count (1.0 = every face).
    void adapt_to_target(float fraction);

    static const MTypeId id;

    // Inputs.
    static MObject smInMesh, smInWeights, smVertexPlacement, smEdgeWeights, smWeightCombining, smResolution,
        smUseUVs, smUseNormals, smUseShaders, smUseVertexColors, smClampUVs, smUnitizeNormals,
        smClampVertexColors, smLambdaUVs, smLambdaNormals, smLambdaColors, smBoundaryConstraint,
        smDiscontinuityConstraint, smPauseMeshUpdate;
    // Engine settings beyond the specified ones, off by default.
    static MObject smBlockSolve, smPreventFolds, smFoldAngle, smKeepTopology, smLockBorder, smHoldBorder,
        smReplayScrub, smFlatNotSeam;
    // Outputs.
    static MObject smOutMesh, smOutSlimInfo, smOutUVs, smOutUVids;

    // A triangulation worker: (triangle vertex indices, iterator on the polygon, the three corners'
    // polygon-local indices).
    using Worker = MStatus (GradixNode::*)(const MIntArray&, MItMeshPolygon&, const int*);

private:
    MStatus prepare(MDataBlock& data);
    void buildEngine();
    MStatus updateMesh(MObject& meshData);
    MStatus computeUVLists(const MPlug& plug, MDataBlock& data);
    MStatus computeSlimInfo(MDataBlock& data);
    MStatus readSourceMesh(MFnMesh& mesh, const MObject& meshObject);
    MStatus triangulate(const MObject& meshObject, Worker worker);
    MStatus addFace(const MIntArray& vertices, MItMeshPolygon& polygon, const int* corners);
    MStatus resizeConnectedWeights();

    // The settings cache: the last value each setting attribute accepted.
    float resolution = 100.0f;
    short vertexPlacement = 0, edgeWeights = 0, weightCombining = 0;
    bool useUVs = true, useNormals = false, useVertexColors = false, useShaders = false;
    bool clampUVs = false, unitizeNormals = true, clampVertexColors = true;
    float lambdaUVs = 1.0f, lambdaNormals = 1.0f, lambdaColors = 1.0f;
    float boundaryConstraint = 1000.0f, discontinuityConstraint = 1000.0f;
    bool pauseMeshUpdate = false;
    bool blockSolve = false;
    bool preventFolds = false, keepTopology = false, lockBorder = false, holdBorder = false;
    bool replayScrub = false;
    bool flatNotSeam = false;
    float foldAngle = 60.0f;

    boost::shared_ptr<gdx::Model> model;
    boost::shared_ptr<gdx::HierarchicWeight> weights;
    boost::shared_ptr<gdx::QSlim> engine;
    boost::shared_ptr<gdx::ContractionSequence> contractions;

    bool resolutionDirty = false;
    bool weightsDirty = false;
    bool rebuildNeeded = false;
    MStringArray savedUVSetNames;

    // Scratch for the corners of one triangle, reused across the whole triangulation.
    gdx::FloatArray uvList_;
};

static FileVersion fileVersion_GradixNode_h("$RCSfile: GradixNode.h,v $", "$Revision: 1.1 $",
                                            "$Date: 2026/12/05 19:45:00 $",
                                            "Last modified by $Author: gradix $");
