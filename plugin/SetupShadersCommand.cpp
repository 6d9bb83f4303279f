#include "SetupShadersCommand.h"

#include "Helpers.h"

#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

static FileVersion fileVersion_SetupShadersCommand_cpp("$RCSfile: SetupShadersCommand.cpp,v $",
                                                       "$Revision: 1.1 $", "$Date: 2026/12/05 20:00:00 $",
                                                       "Last modified by $Author: gradix $");

namespace {

// A source face is a candidate only if its normal agrees this much with the target face's.
const double kMinNormalAgreement = 0.3;

struct FaceFrame {
    MVector normal;
    MPoint centre;
};

// Normals and centres of every polygon of a mesh, in polygon order, in object space.
void readFaces(const MObject& mesh, std::vector<FaceFrame>& out) {
    out.clear();
    for (MItMeshPolygon it(mesh); !it.isDone(); it.next()) {
        FaceFrame f;
        it.getNormal(f.normal, MSpace::kObject);
        f.centre = it.center(MSpace::kObject);
        out.push_back(f);
    }
}

bool finite(const FaceFrame& f) {
    return std::isfinite(f.normal.x) && std::isfinite(f.normal.y) && std::isfinite(f.normal.z) &&
           std::isfinite(f.centre.x) && std::isfinite(f.centre.y) && std::isfinite(f.centre.z);
}

// The nearest agreeing source face for one target face, with exactly the outcome of scanning the
// source faces in index order and keeping the first face whose centre distance is below the best
// distance so far, held as a float. A k-d tree over the source centres, each node also bounding its
// faces' normals, finds the smallest distance; every face within float rounding of it is then
// replayed through that scan in index order, which settles ties (and near-ties that the float
// rounding of the kept distance decides) the same way.
class NearestFaceSearch {
public:
    explicit NearestFaceSearch(const std::vector<FaceFrame>& faces) : faces_(faces) {
        exhaustive_ = !std::all_of(faces.begin(), faces.end(), finite);
        if (exhaustive_ || faces.empty())
            return;
        order_.resize(faces.size());
        for (uint32_t i = 0; i < order_.size(); ++i)
            order_[i] = i;
        nodes_.reserve(2 * faces.size() / kLeafSize + 2);
        build(0, uint32_t(order_.size()));
    }

    // -1 when no source face agrees with the target's normal.
    int find(const FaceFrame& target) {
        if (exhaustive_ || !finite(target))
            return scan(target, allIndices());
        if (nodes_.empty())
            return -1;
        double best = std::numeric_limits<double>::infinity();
        nearest(0, target, best);
        if (best == std::numeric_limits<double>::infinity())
            return -1;
        // Faces farther than this cannot win the scan: their float distance exceeds `best`.
        const double limit = best * (1.0 + 1e-6) + 1e-30;
        near_.clear();
        collect(0, target, limit);
        std::sort(near_.begin(), near_.end());
        return scan(target, near_);
    }

private:
    static constexpr uint32_t kLeafSize = 8;
    struct Node {
        double lo[3], hi[3];   // box of the centres
        double nlo[3], nhi[3]; // box of the normals
        uint32_t begin, end;   // range in order_
        uint32_t left = 0, right = 0;
    };

    static double coord(const MPoint& p, int axis) { return axis == 0 ? p.x : (axis == 1 ? p.y : p.z); }
    static double coord(const MVector& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

    uint32_t build(uint32_t begin, uint32_t end) {
        const uint32_t index = uint32_t(nodes_.size());
        nodes_.emplace_back();
        Node node;
        node.begin = begin;
        node.end = end;
        for (int a = 0; a < 3; ++a) {
            node.lo[a] = node.nlo[a] = std::numeric_limits<double>::infinity();
            node.hi[a] = node.nhi[a] = -std::numeric_limits<double>::infinity();
        }
        for (uint32_t i = begin; i < end; ++i) {
            const FaceFrame& f = faces_[order_[i]];
            for (int a = 0; a < 3; ++a) {
                node.lo[a] = std::min(node.lo[a], coord(f.centre, a));
                node.hi[a] = std::max(node.hi[a], coord(f.centre, a));
                node.nlo[a] = std::min(node.nlo[a], coord(f.normal, a));
                node.nhi[a] = std::max(node.nhi[a], coord(f.normal, a));
            }
        }
        if (end - begin > kLeafSize) {
            int axis = 0;
            for (int a = 1; a < 3; ++a)
                if (node.hi[a] - node.lo[a] > node.hi[axis] - node.lo[axis])
                    axis = a;
            const uint32_t mid = begin + (end - begin) / 2;
            std::nth_element(order_.begin() + begin, order_.begin() + mid, order_.begin() + end,
                             [&](uint32_t x, uint32_t y) {
                                 const double cx = coord(faces_[x].centre, axis),
                                              cy = coord(faces_[y].centre, axis);
                                 return cx < cy || (cx == cy && x < y);
                             });
            node.left = build(begin, mid);
            node.right = build(mid, end);
        }
        nodes_[index] = node;
        return index;
    }

    // Never more than the distance from `p` to any centre in the box.
    static double boxDistance(const Node& n, const MPoint& p) {
        double g[3];
        for (int a = 0; a < 3; ++a) {
            const double c = coord(p, a);
            g[a] = c < n.lo[a] ? n.lo[a] - c : (c > n.hi[a] ? c - n.hi[a] : 0.0);
        }
        return std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
    }
    // At least the dot product of `v` with any normal in the box.
    static bool mayAgree(const Node& n, const MVector& v) {
        double bound = 0.0;
        for (int a = 0; a < 3; ++a) {
            const double c = coord(v, a);
            bound += std::max(c * n.nlo[a], c * n.nhi[a]);
        }
        return bound >= kMinNormalAgreement - 1e-9;
    }
    bool agrees(const FaceFrame& target, uint32_t s) const {
        return !(target.normal * faces_[s].normal < kMinNormalAgreement);
    }

    void nearest(uint32_t index, const FaceFrame& target, double& best) const {
        const Node& n = nodes_[index];
        if (boxDistance(n, target.centre) > best || !mayAgree(n, target.normal))
            return;
        if (n.left == 0) {
            for (uint32_t i = n.begin; i < n.end; ++i)
                if (agrees(target, order_[i]))
                    best = std::min(best, target.centre.distanceTo(faces_[order_[i]].centre));
            return;
        }
        uint32_t first = n.left, second = n.right;
        if (boxDistance(nodes_[second], target.centre) < boxDistance(nodes_[first], target.centre))
            std::swap(first, second);
        nearest(first, target, best);
        nearest(second, target, best);
    }

    void collect(uint32_t index, const FaceFrame& target, double limit) {
        const Node& n = nodes_[index];
        if (boxDistance(n, target.centre) > limit || !mayAgree(n, target.normal))
            return;
        if (n.left == 0) {
            for (uint32_t i = n.begin; i < n.end; ++i)
                if (agrees(target, order_[i]) && target.centre.distanceTo(faces_[order_[i]].centre) <= limit)
                    near_.push_back(order_[i]);
            return;
        }
        collect(n.left, target, limit);
        collect(n.right, target, limit);
    }

    const std::vector<uint32_t>& allIndices() {
        if (all_.size() != faces_.size()) {
            all_.resize(faces_.size());
            for (uint32_t i = 0; i < all_.size(); ++i)
                all_[i] = i;
        }
        return all_;
    }

    // The scan over the given source faces in ascending order.
    int scan(const FaceFrame& target, const std::vector<uint32_t>& sources) const {
        int bestIndex = -1;
        float bestDistance = 0.0f;
        for (uint32_t s : sources) {
            if (!agrees(target, s))
                continue;
            const double distance = target.centre.distanceTo(faces_[s].centre);
            if (bestIndex == -1 || bestDistance > distance) {
                bestIndex = int(s);
                bestDistance = float(distance);
            }
        }
        return bestIndex;
    }

    const std::vector<FaceFrame>& faces_;
    bool exhaustive_ = false;
    std::vector<uint32_t> order_;
    std::vector<Node> nodes_;
    std::vector<uint32_t> near_, all_;
};

// Node lookup by name; a name the selection list refuses leaves `object` null without a message.
MStatus lookUp(const MString& name, MObject& object) {
    MSelectionList list;
    list.clear();
    if (!list.add(name))
        return MStatus::kSuccess;
    if (!list.getDependNode(0, object))
        return reportError("SetupShadersCommand::doIt: Node " + name + " not found", MStatus::kFailure);
    return MStatus::kSuccess;
}

} // namespace

void* SetupShadersCommand::creator() {
    return new SetupShadersCommand;
}

MStatus SetupShadersCommand::doIt(const MArgList& args) {
    MStatus sourceRead, targetRead;
    const MString sourceName = args.length() == 2 ? args.asString(0, &sourceRead) : MString();
    const MString targetName = args.length() == 2 ? args.asString(1, &targetRead) : MString();
    if (args.length() != 2 || !sourceRead || !targetRead || sourceName == targetName) {
        MGlobal::displayError("Usage: setupShader sourceMesh targetMesh");
        return MStatus::kFailure;
    }

    MObject source, target;
    MStatus status = lookUp(sourceName, source);
    if (!status)
        return status;
    if (!(status = lookUp(targetName, target)))
        return status;
    MFnMesh sourceMesh(source, &status);
    if (!status)
        return reportError("SetupShadersCommand::doIt: Couldn't create MFnMesh for sourceMesh", status);
    MFnMesh targetMesh(target, &status);
    if (!status)
        return reportError("SetupShadersCommand::doIt: Couldn't create MFnMesh for dstMesh", status);

    std::vector<FaceFrame> sourceFaces;
    readFaces(source, sourceFaces);
    NearestFaceSearch search(sourceFaces);

    MStringArray result;
    int t = 0;
    for (MItMeshPolygon it(target); !it.isDone(); it.next(), ++t) {
        FaceFrame face;
        it.getNormal(face.normal, MSpace::kObject);
        face.centre = it.center(MSpace::kObject);
        const int s = search.find(face);
        if (s < 0)
            continue;
        const MString command = "lod_SyncShaderFaceToFace " + sourceName + ".f[" + double(s) + "] " +
                                targetName + ".f[" + double(t) + "]";
        MGlobal::executeCommand(command, result, false, false);
    }
    return MStatus::kSuccess;
}
