// The main node's attributes: names, kinds, defaults and flags as a table, dependencies, and every
// failure of its initialize reported once with the failing status.
#include "NodesFixture.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>

#include <algorithm>

using namespace gxhost;

namespace {
struct Expected {
    const char* longName;
    const char* shortName;
    const char* kind; // "mesh", "doubleArray", "intArray", "plugin", "enum", "float", "bool"
    double defaultValue;
    bool readable, writable, storable, keyable, internal;
    const char* token;
};

const Expected kInputs[] = {
    {"inMesh", "in", "mesh", 0, false, true, true, true, true, "smInMesh"},
    {"inWeights", "inw", "doubleArray", 0, false, true, true, false, true, "smInWeights"},
    {"vertexPlacement", "vp", "enum", 0, true, true, true, true, true, "smVertexPlacement"},
    {"edgeWeights", "ew", "enum", 0, true, true, true, true, true, "smEdgeWeighting"},
    {"weightCombining", "wc", "enum", 0, true, true, true, true, true, "smWeightCombining"},
    {"resolution", "rs", "float", 100, true, true, true, true, true, "smResolution"},
    {"useUVs", "uv", "bool", 1, true, true, true, true, true, "smUseUVs"},
    {"useNormals", "n", "bool", 0, true, true, true, true, true, "smUseNormals"},
    {"useShaders", "s", "bool", 0, true, true, true, true, true, "smUseShaders"},
    {"useVertexColors", "c", "bool", 0, true, true, true, true, true, "smUseVertexColors"},
    {"clampUVs", "cuv", "bool", 0, true, true, true, true, true, "smClampUVs"},
    {"unitizeNormals", "cn", "bool", 1, true, true, true, true, true, "smUnitizeNormals"},
    {"clampVertexColors", "cv", "bool", 1, true, true, true, true, true, "smClampVertexColors"},
    {"lambdaUVs", "luv", "float", 1, true, true, true, true, true, "smLambdaUVs"},
    {"lambdaNormals", "ln", "float", 1, true, true, true, true, true, "smLambdaNormals"},
    {"lambdaColors", "lc", "float", 1, true, true, true, true, true, "smLambdaVertexColors"},
    {"boundaryConstraint", "bc", "float", 1000, true, true, true, true, true, "smBoundaryConstraint"},
    {"discontinuityConstraint", "dc", "float", 1000, true, true, true, true, true,
     "smDiscontinuityConstraint"},
    {"pauseMeshUpdate", "pu", "bool", 0, true, true, true, true, true, "smPauseMeshUpdate"},
};
const Expected kOutputs[] = {
    {"outMesh", "out", "mesh", 0, true, false, false, false, false, "smOutMesh"},
    {"outSlimInfo", "osi", "plugin", 0, true, false, false, false, false, "smOutSlimInfo"},
    {"outUVs", "oUV", "doubleArray", 0, true, false, false, false, false, "smOutUVs"},
    {"outUVids", "oUVids", "intArray", 0, true, false, false, false, false, "smOutUVids"},
};

std::string errorLine(MStatus::MStatusCode code, const std::string& message) {
    return std::string(MStatus(code).errorString().asChar()) + " --> " + message;
}

size_t countOf(const std::vector<std::string>& lines, const std::string& line) {
    return size_t(std::count(lines.begin(), lines.end(), line));
}
} // namespace

class GradixAttributes : public NodesFixture {};

TEST_F(GradixAttributes, EveryAttributeHasItsNamesKindDefaultAndFlags) {
    MObject node = createNode("Gradix", "gx");
    MFnDependencyNode fn(node);
    auto check = [&](const Expected& e, bool input) {
        SCOPED_TRACE(e.longName);
        MStatus status;
        MObject attribute = fn.attribute(e.longName, &status);
        ASSERT_TRUE(status);
        MFnAttribute a(attribute);
        EXPECT_EQ(std::string(a.shortName().asChar()), e.shortName);
        EXPECT_EQ(a.isReadable(), e.readable);
        EXPECT_EQ(a.isWritable(), e.writable);
        EXPECT_EQ(a.isStorable(), e.storable);
        if (input) {
            EXPECT_EQ(a.isKeyable(), e.keyable);
            EXPECT_EQ(a.isInternal(), e.internal);
        } else {
            EXPECT_FALSE(a.isKeyable());
        }
        const std::string kind = e.kind;
        if (kind == "float" || kind == "bool") {
            MFnNumericAttribute numeric(attribute, &status);
            ASSERT_TRUE(status);
            EXPECT_EQ(numeric.unitType(),
                      kind == "float" ? MFnNumericData::kFloat : MFnNumericData::kBoolean);
            double value = -1;
            numeric.getDefault(value);
            EXPECT_EQ(value, e.defaultValue);
            double current = -1;
            ASSERT_TRUE(getAttr(std::string("gx.") + e.longName, current));
            EXPECT_EQ(current, e.defaultValue);
        } else if (kind == "enum") {
            MFnEnumAttribute enumeration(attribute, &status);
            ASSERT_TRUE(status);
            short value = -1;
            enumeration.getDefault(value);
            EXPECT_EQ(value, 0);
        } else {
            MFnTypedAttribute typed(attribute, &status);
            ASSERT_TRUE(status);
            const MFnData::Type expected = kind == "mesh"          ? MFnData::kMesh
                                           : kind == "doubleArray" ? MFnData::kDoubleArray
                                           : kind == "intArray"    ? MFnData::kIntArray
                                                                   : MFnData::kPlugin;
            EXPECT_EQ(typed.attrType(), expected);
        }
    };
    for (const Expected& e : kInputs)
        check(e, true);
    for (const Expected& e : kOutputs)
        check(e, false);

    for (auto [attribute, field, name] : {std::tuple{"vertexPlacement", 1, "end or mid"},
                                          {"edgeWeights", 2, "min.vertex"},
                                          {"weightCombining", 1, "max"}})
        EXPECT_EQ(std::string(MFnEnumAttribute(fn.attribute(attribute)).fieldName(short(field)).asChar()),
                  name);
}

TEST_F(GradixAttributes, SettingsAreClampedWhenWritten) {
    createNode("Gradix", "gx");
    const struct {
        const char* attribute;
        double written, stored;
    } cases[] = {{"resolution", 150, 100},
                 {"resolution", -5, 0},
                 {"vertexPlacement", 3, 2},
                 {"edgeWeights", -1, 0},
                 {"lambdaNormals", NAN, 0},
                 {"boundaryConstraint", -3, 0},
                 {"lambdaUVs", 1e39, 3.4028234663852886e+38}};
    for (const auto& c : cases) {
        ASSERT_TRUE(setAttr(std::string("gx.") + c.attribute, c.written));
        double value = -1;
        ASSERT_TRUE(getAttr(std::string("gx.") + c.attribute, value));
        EXPECT_EQ(value, c.stored) << c.attribute << " written as " << c.written;
    }
}

// Each failing host call during registration stops initialize with one error line.
class GradixInitializeFailure : public NodesFixture {
protected:
    void SetUp() override { gxhost::resetScene(); }

    void expectFailure(const std::string& operation, unsigned nth, const std::string& message) {
        SCOPED_TRACE(operation + " #" + std::to_string(nth) + ": " + message);
        gxhost::resetScene();
        MessageCapture capture;
        injectFault(operation, nth, MStatus::kInvalidParameter);
        EXPECT_FALSE(loadPlugin(GX_NODES_PLUGIN));
        clearFaults();
        EXPECT_EQ(countOf(capture.errors(), errorLine(MStatus::kInvalidParameter, message)), 1u);
    }
};

TEST_F(GradixInitializeFailure, CreationsFieldsAdditionsAndDependencies) {
    const char* typed[] = {"inMesh", "inWeights", "outMesh", "outSlimInfo", "outUVs", "outUVids"};
    for (unsigned i = 0; i < 6; ++i) {
        const bool tight = i == 0 || i >= 4;
        expectFailure("MFnTypedAttribute::create", i + 1,
                      std::string("GradixNode::initialize:") + (tight ? "" : " ") +
                          "Couldn't create attribute '" + typed[i] + "'");
    }
    const char* enums[] = {"vertexPlacement", "edgeWeights", "weightCombining"};
    for (unsigned i = 0; i < 3; ++i)
        expectFailure("MFnEnumAttribute::create", i + 1,
                      std::string("GradixNode::initialize: Couldn't create attribute '") + enums[i] + "'");
    for (unsigned i = 0; i < 14; ++i)
        expectFailure("MFnNumericAttribute::create", i + 1,
                      std::string("GradixNode::initialize: Couldn't create attribute '") +
                          kInputs[5 + i].longName + "'");
    const char* fields[] = {
        "vertexPlacement::optimal", "vertexPlacement::end or mid", "vertexPlacement::endpoint",
        "edgeWeighting::average",   "edgeWeighting::max",          "edgeWeighting::min",
        "weightCombining::average", "weightCombining::max",        "weightCombining::min"};
    for (unsigned i = 0; i < 9; ++i)
        expectFailure("MFnEnumAttribute::addField", i + 1,
                      std::string("GradixNode::initialize: Couldn't addField '") + fields[i] + "'");

    // Numeric attributes are added as they are made, the others after all exist.
    std::vector<const char*> additions;
    for (unsigned i = 5; i < 19; ++i)
        additions.push_back(kInputs[i].token);
    for (unsigned i = 0; i < 5; ++i)
        additions.push_back(kInputs[i].token);
    for (const Expected& e : kOutputs)
        additions.push_back(e.token);
    for (unsigned i = 0; i < additions.size(); ++i)
        expectFailure("MPxNode::addAttribute", i + 1,
                      std::string("GradixNode::initialize: Couldn't addAttribute '") + additions[i] + "'");

    // Every input affects all four outputs: the calls' order names each pair.
    unsigned nth = 0;
    for (const Expected& out : kOutputs)
        for (const Expected& in : kInputs)
            expectFailure("MPxNode::attributeAffects", ++nth,
                          std::string("GradixNode::initialize: attributeAffects '") + in.token + " -> " +
                              out.token + "' failed");
}
