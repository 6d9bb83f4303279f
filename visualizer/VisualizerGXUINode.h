// VisualizerGXUINode: the drawing class of the "VisualizerGX" shape. On each viewport refresh it
// reads the shape's settings, takes the engine's pending candidate pairs cheapest first, keeps the
// first `range` fraction of them and either
//   faces: scores every face by how strongly the shown pairs would remove (deadFactor) or change
//          (modifiedFactor) it, times a rank weight falling from 1 toward 0, and shades in red the
//          faces whose score over (highest score x upperBound) exceeds `threshold`; or
//   lines: draws each shown pair between its two mesh points, the cheapest thickest.
// Positions come from the mesh on inMesh, faces and pairs from the record on inSlimInfo.
//
//   getDrawRequests: getParameters -> collectCandidates -> requestFaces | requestLines
//   draw:            drawFaces | drawLines   (between beginGL and endGL)
#pragma once

#include "FileVersion.h"

#include <maya/MDrawInfo.h>
#include <maya/MDrawRequest.h>
#include <maya/MDrawRequestQueue.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPxSurfaceShapeUI.h>

#include <vector>

class MPxData;
namespace gdx {
class Edge;
class Model;
} // namespace gdx

class VisualizerGXUINode : public MPxSurfaceShapeUI {
public:
    // The integer a draw request carries.
    enum DrawToken { kLines = 0, kFacesWireframe = 1, kFacesDormant = 2, kFacesActive = 3 };
    // Pending pairs, borrowed from the engine for one request preparation.
    using Candidates = std::vector<const gdx::Edge*>;

    VisualizerGXUINode() = default;
    ~VisualizerGXUINode() override = default;

    void getDrawRequests(const MDrawInfo& info, bool objectAndActiveOnly, MDrawRequestQueue& queue) override;
    void draw(const MDrawRequest& request, M3dView& view) const override;
    bool select(MSelectInfo& selectInfo, MSelectionList& selectionList,
                MPointArray& worldSpaceSelectPts) const override;

    static void* creator();

    MStatus getParameters(MFnDependencyNode& fn, float& range, float& deadFactor, float& modifiedFactor,
                          float& threshold, float& upperBound, short& method, short& function,
                          short& blendFunction);
    // False when the record is missing or carries no model or engine.
    static bool collectCandidates(MPxData* data, gdx::Model*& model, Candidates& candidates);
    void requestFaces(const MDrawInfo& info, MDrawRequestQueue& queue, gdx::Model& model,
                      const Candidates& candidates, const MFloatPointArray& points, float range,
                      float deadFactor, float modifiedFactor, float threshold, short function);
    void requestLines(const MDrawInfo& info, MDrawRequestQueue& queue, const Candidates& candidates,
                      const MFloatPointArray& points, float range);
    void drawLines(const MDrawRequest& request, M3dView& view) const;
    void drawFaces(const MDrawRequest& request, M3dView& view) const;

    // How many of `count` candidates a range shows: range clamped to 0 .. 1, the product truncated.
    static unsigned int shownCount(unsigned int count, float range);
    // The weight of rank i of n: cosinus (function 0) falls as a half cosine, otherwise linearly.
    static float rankWeight(unsigned int i, unsigned int n, short function);

    // Faces mode: three corner points per selected face; lines mode: two end points per pair.
    MFloatPointArray drawPoints;
    // Faces mode: the raw score of each selected face; lines mode leaves it as it was.
    MFloatArray drawValues;

    // Shared by every instance (the last preparation wins): "upperBound", replaced by the
    // normalising value in faces mode, and "blendFunction".
    static float sharedUpperBound;
    static short sharedBlendFunction;
    // One score per face record of the model; its storage is kept from one request to the next.
    static std::vector<float>& faceScores();
    // 32 x 32 polygon stipple, rows alternating FF FF FF FF and 55 55 55 55.
    static const unsigned char stipplePattern[128];
};

static FileVersion fileVersion_VisualizerGXUINode_h("$RCSfile: VisualizerGXUINode.h,v $", "$Revision: 1.1 $",
                                                    "$Date: 2026/12/05 20:00:00 $",
                                                    "Last modified by $Author: gradix $");
