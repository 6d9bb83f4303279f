#include "VisualizerGXUINode.h"

#include "Helpers.h"
#include "QSlim.h"
#include "SlimInfoAttribute.h"

#include <maya/MFnMesh.h>
#include <maya/MFnPluginData.h>
#include <maya/MPlug.h>
#include <maya/MPxSurfaceShape.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

static FileVersion fileVersion_VisualizerGXUINode_cpp("$RCSfile: VisualizerGXUINode.cpp,v $",
                                                      "$Revision: 1.1 $", "$Date: 2026/12/05 20:00:00 $",
                                                      "Last modified by $Author: gradix $");

float VisualizerGXUINode::sharedUpperBound = 0.9f;
short VisualizerGXUINode::sharedBlendFunction = 0;

const unsigned char VisualizerGXUINode::stipplePattern[128] = {
#define GX_STIPPLE_ROWS 0xFF, 0xFF, 0xFF, 0xFF, 0x55, 0x55, 0x55, 0x55
    GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS,
    GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS,
    GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS, GX_STIPPLE_ROWS,
#undef GX_STIPPLE_ROWS
};

namespace {

// The colour of every request: index 12 of the active colours.
const short kRequestColor = 12;

VisualizerGXUINode::DrawToken faceToken(const MDrawInfo& info) {
    if (info.displayStyle() == M3dView::kWireFrame)
        return VisualizerGXUINode::kFacesWireframe;
    switch (info.displayStatus()) {
    case M3dView::kActive:
    case M3dView::kHilite:
    case M3dView::kLead:
        return VisualizerGXUINode::kFacesActive;
    default:
        return VisualizerGXUINode::kFacesDormant;
    }
}

} // namespace

void* VisualizerGXUINode::creator() {
    return new VisualizerGXUINode;
}

std::vector<float>& VisualizerGXUINode::faceScores() {
    static std::vector<float> scores;
    return scores;
}

bool VisualizerGXUINode::select(MSelectInfo&, MSelectionList&, MPointArray&) const {
    return false;
}

unsigned int VisualizerGXUINode::shownCount(unsigned int count, float range) {
    // A negative range shows nothing rather than wrapping round.
    const float clamped = std::max(0.0f, std::min(range, 1.0f));
    return static_cast<unsigned int>(static_cast<float>(count) * clamped);
}

float VisualizerGXUINode::rankWeight(unsigned int i, unsigned int n, short function) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    if (function == 0)
        return static_cast<float>((std::cos(M_PI * t) + 1.0) * 0.5);
    return static_cast<float>(1.0 - t);
}

// -------------------------------------------------------------------------------------------------
// Preparing draw requests

MStatus VisualizerGXUINode::getParameters(MFnDependencyNode& fn, float& range, float& deadFactor,
                                          float& modifiedFactor, float& threshold, float& upperBound,
                                          short& method, short& function, short& blendFunction) {
    const MString prefix("VisualizerGXUINode::getParameters: ");
    MStatus status = fn.setObject(surfaceShape() ? surfaceShape()->thisMObject() : MObject::kNullObj);
    if (!status)
        return reportError(prefix + "Couldn't attach function set to 'this' node", status);

    const struct {
        const char* name;
        float* asFloat;
        short* asShort;
    } settings[] = {
        {"range", &range, nullptr},
        {"deadFactor", &deadFactor, nullptr},
        {"modifiedFactor", &modifiedFactor, nullptr},
        {"threshold", &threshold, nullptr},
        {"upperBound", &upperBound, nullptr},
        {"method", nullptr, &method},
        {"function", nullptr, &function},
        {"blendFunction", nullptr, &blendFunction},
    };
    for (const auto& s : settings) {
        MPlug plug = fn.findPlug(s.name, &status);
        if (!status)
            return reportError(prefix + "Couldn't find plug to '" + s.name + "'", status);
        status = s.asFloat ? plug.getValue(*s.asFloat, MDGContext::fsNormal)
                           : plug.getValue(*s.asShort, MDGContext::fsNormal);
        if (!status)
            return reportError(prefix + "Couldn't get data from plug to '" + s.name + "'", status);
    }
    return MStatus::kSuccess;
}

void VisualizerGXUINode::getDrawRequests(const MDrawInfo& info, bool, MDrawRequestQueue& queue) {
    const MString prefix("VisualizerGXUINode::getDrawRequests: ");
    MFnDependencyNode fn;
    float range = 0.0f, deadFactor = 0.0f, modifiedFactor = 0.0f, threshold = 0.0f;
    short method = 0, function = 0;
    MStatus status = getParameters(fn, range, deadFactor, modifiedFactor, threshold, sharedUpperBound, method,
                                   function, sharedBlendFunction);
    if (!status) {
        reportError(prefix + "Couldn't get Parameters", status);
        return;
    }

    // Each failure below is reported and the work goes on with what it has: a missing mesh or
    // record then queues nothing.
    MFnMesh mesh;
    MPlug meshPlug = fn.findPlug("inMesh", &status);
    if (!status) {
        reportError(prefix + "Couldn't find plug to 'inMesh'", status);
    } else {
        MObject meshData;
        if (!(status = meshPlug.getValue(meshData, MDGContext::fsNormal)))
            reportError(prefix + "Couldn't get data from plug to 'inMesh'", status);
        else if (!(status = mesh.setObject(meshData)))
            reportError(prefix + "Couldn't create MFnMesh from data from plug to 'inMesh'", status);
    }

    MPxData* slimData = nullptr;
    MPlug slimPlug = fn.findPlug("inSlimInfo", &status);
    if (!status) {
        reportError(prefix + "Couldn't find plug to 'inSlimInfo'", status);
    } else {
        MObject slimObject;
        MFnPluginData pluginData;
        if (!(status = slimPlug.getValue(slimObject, MDGContext::fsNormal))) {
            reportError(prefix + "Couldn't get data from plug to 'inSlimInfo'", status);
        } else if (!(status = pluginData.setObject(slimObject))) {
            reportError(prefix + "Couldn't create MFnPluginData from data for 'inSlimInfo'", status);
        } else {
            slimData = pluginData.data(&status);
            if (!status) {
                reportError(prefix + "Couldn't get 'SlimInfoAttribute' pointer", status);
                slimData = nullptr;
            }
        }
        // A value left behind by an earlier connection borrows a model and engine that may be gone
        // (rebuilt or deleted with their node); only a connected record is read fresh.
        if (!slimPlug.isConnected())
            slimData = nullptr;
    }

    MFloatPointArray points;
    mesh.getPoints(points, MSpace::kObject);

    gdx::Model* model = nullptr;
    Candidates candidates;
    if (!collectCandidates(slimData, model, candidates))
        return;
    // Face and pair vertex indices index the point array directly: a mesh with fewer points than
    // the model has vertices is not the model's mesh.
    if (points.length() > 0 && points.length() < model->numVertices()) {
        reportError(prefix + "The mesh on 'inMesh' has " + points.length() +
                        " points, the simplified model needs " + model->numVertices(),
                    MStatus::kFailure);
        return;
    }
    if (method == 0)
        requestFaces(info, queue, *model, candidates, points, range, deadFactor, modifiedFactor, threshold,
                     function);
    else
        requestLines(info, queue, candidates, points, range);
}

bool VisualizerGXUINode::collectCandidates(MPxData* data, gdx::Model*& model, Candidates& candidates) {
    if (!data || !(data->typeId() == SlimInfoAttribute::id))
        return false;
    const SlimInfoAttribute* info = static_cast<const SlimInfoAttribute*>(data);
    model = info->model;
    if (!model || !info->engine)
        return false;
    // A replaying engine may hold pairs it has not priced since the last change.
    info->engine->settle();
    const gdx::QSlim& engine = *info->engine;
    const uint32_t count = engine.queue().size();
    candidates.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        candidates[i] = &engine.queued(i);
    std::sort(candidates.begin(), candidates.end(),
              [](const gdx::Edge* x, const gdx::Edge* y) { return gdx::edgeLess(*x, *y); });
    return true;
}

void VisualizerGXUINode::requestFaces(const MDrawInfo& info, MDrawRequestQueue& queue, gdx::Model& model,
                                      const Candidates& candidates, const MFloatPointArray& points,
                                      float range, float deadFactor, float modifiedFactor, float threshold,
                                      short function) {
    MDrawRequest request = info.getPrototype(*this);
    const DrawToken token = faceToken(info);

    std::vector<float>& scores = faceScores();
    scores.assign(model.numFaces(), 0.0f);
    if (points.length() == 0)
        return;

    const unsigned int n = shownCount(static_cast<unsigned int>(candidates.size()), range);
    for (unsigned int i = 0; i < n; ++i) {
        const float w = rankWeight(i, n, function);
        gdx::PairContraction record;
        model.prepareContraction(candidates[i]->first, candidates[i]->second, record);
        for (uint32_t f : record.removedFaces)
            scores[f] += w * deadFactor;
        for (uint32_t f : record.changedFaces)
            scores[f] += w * modifiedFactor;
    }

    drawPoints.clear();
    drawValues.clear();
    float highest = 0.0f;
    for (float s : scores)
        if (s > highest)
            highest = s;
    sharedUpperBound = highest * sharedUpperBound;

    const uint32_t faces = model.numFaces();
    for (uint32_t k = 0; k < faces; ++k) {
        // A quotient that is not a number (0 / 0) selects nothing.
        if (!(scores[k] / sharedUpperBound > threshold))
            continue;
        drawValues.append(scores[k]);
        const gdx::Face& face = model.face(k);
        for (uint32_t c = 0; c < 3; ++c)
            drawPoints.append(points[face.vertex(c)]);
    }

    request.setColor(kRequestColor, M3dView::kActiveColors);
    request.setToken(token);
    queue.add(request);
}

void VisualizerGXUINode::requestLines(const MDrawInfo& info, MDrawRequestQueue& queue,
                                      const Candidates& candidates, const MFloatPointArray& points,
                                      float range) {
    MDrawRequest request = info.getPrototype(*this);
    if (points.length() == 0)
        return;
    const unsigned int n = shownCount(static_cast<unsigned int>(candidates.size()), range);
    drawPoints.clear();
    for (unsigned int i = 0; i < n; ++i) {
        drawPoints.append(points[candidates[i]->first]);
        drawPoints.append(points[candidates[i]->second]);
    }
    request.setColor(kRequestColor, M3dView::kActiveColors);
    request.setToken(kLines);
    queue.add(request);
}

// -------------------------------------------------------------------------------------------------
// Drawing

void VisualizerGXUINode::draw(const MDrawRequest& request, M3dView& view) const {
    const int token = request.token();
    view.beginGL();
    if (token == kLines)
        drawLines(request, view);
    else
        drawFaces(request, view);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        reportError(MString("VisualizerGXUINode::draw: OpenGL reported an error: ") +
                        reinterpret_cast<const char*>(gluErrorString(error)),
                    MStatus::kFailure);
    view.endGL();
}

void VisualizerGXUINode::drawLines(const MDrawRequest&, M3dView&) const {
    glPushAttrib(GL_LINE_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_LEQUAL);
    // The cheapest pair is 6 pixels wide; the widths fall toward 1.
    const unsigned int count = drawPoints.length();
    for (unsigned int i = 0; i + 1 < count; i += 2) {
        glLineWidth(1.0f + 5.0f * static_cast<float>(count - i) / static_cast<float>(count));
        glBegin(GL_LINES);
        glVertex3f(drawPoints[i].x, drawPoints[i].y, drawPoints[i].z);
        glVertex3f(drawPoints[i + 1].x, drawPoints[i + 1].y, drawPoints[i + 1].z);
        glEnd();
    }
    glPopAttrib();
}

void VisualizerGXUINode::drawFaces(const MDrawRequest& request, M3dView&) const {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);

    float factor = 0.0f, units = 0.0f;
    switch (request.token()) {
    case kFacesWireframe:
    case kFacesActive:
        factor = 0.9f;
        units = 0.8f;
        break;
    case kFacesDormant:
        factor = -1.0f;
        units = -1.0f;
        break;
    default:
        break;
    }
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(factor, units);

    const bool stipple = sharedBlendFunction == 0;
    if (stipple) {
        glEnable(GL_POLYGON_STIPPLE);
        glPolygonStipple(stipplePattern);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
    }

    glBegin(GL_TRIANGLES);
    // The two arrays come from one preparation; the bound only guards against a mismatch.
    const unsigned int faces = std::min(drawValues.length(), drawPoints.length() / 3);
    for (unsigned int k = 0; k < faces; ++k) {
        float v = drawValues[k] / sharedUpperBound;
        if (!(v < 1.0f))
            v = 1.0f;
        if (stipple)
            glColor3f(v, 0.0f, 0.0f);
        else
            glColor4f(1.0f, 0.0f, 0.0f, v);
        for (unsigned int c = 0; c < 3; ++c) {
            const MFloatPoint& p = drawPoints[3 * k + c];
            glVertex3f(p.x, p.y, p.z);
        }
    }
    glEnd();
    glPopAttrib();
}
