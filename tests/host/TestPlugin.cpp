// A small plug-in for the host tests: nodes that count their computes, clamp an internal attribute,
// carry plug-in data, a shape that draws a square, a data type and a command.
#include <maya/M3dView.h>
#include <maya/MDrawInfo.h>
#include <maya/MDrawRequest.h>
#include <maya/MDrawRequestQueue.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnPluginData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MPxData.h>
#include <maya/MPxNode.h>
#include <maya/MPxSurfaceShape.h>
#include <maya/MPxSurfaceShapeUI.h>

#include <GL/gl.h>

#include <ostream>

extern "C" const char MApiVersion[] = "450";

namespace {

// testCounter: output = input * 2; computeCount counts the computes of output.
class CounterNode : public MPxNode {
public:
    static void* creator() { return new CounterNode; }
    static MStatus initialize() {
        MFnNumericAttribute n;
        input = n.create("input", "in", MFnNumericData::kFloat, 0.0);
        output = n.create("output", "out", MFnNumericData::kFloat, 0.0);
        n.setWritable(false);
        n.setStorable(false);
        computeCount = n.create("computeCount", "cc", MFnNumericData::kInt, 0);
        addAttribute(input);
        addAttribute(output);
        addAttribute(computeCount);
        return attributeAffects(input, output);
    }
    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        if (plug != MPlug(thisMObject(), output))
            return MStatus::kUnknownParameter;
        MDataHandle count = block.outputValue(computeCount);
        count.set(count.asInt() + 1);
        block.outputValue(output).set(block.inputValue(input).asFloat() * 2.0f);
        block.setClean(plug);
        return MStatus::kSuccess;
    }
    static MObject input, output, computeCount;
};
MObject CounterNode::input, CounterNode::output, CounterNode::computeCount;

// testClamp: `level` is internal and clamped to 0..10 in setInternalValue; `deliveries` counts the
// calls and `seenInside` holds what reading the plug from inside setInternalValue gave.
class ClampNode : public MPxNode {
public:
    static void* creator() { return new ClampNode; }
    static MStatus initialize() {
        MFnNumericAttribute n;
        level = n.create("level", "lv", MFnNumericData::kFloat, 1.0);
        n.setInternal(true);
        deliveries = n.create("deliveries", "dv", MFnNumericData::kInt, 0);
        seenInside = n.create("seenInside", "si", MFnNumericData::kFloat, -1.0);
        result = n.create("result", "r", MFnNumericData::kFloat, 0.0);
        n.setWritable(false);
        MFnEnumAttribute e;
        mode = e.create("mode", "md", 0);
        e.addField("first", 0);
        e.addField("second", 1);
        addAttribute(level);
        addAttribute(deliveries);
        addAttribute(seenInside);
        addAttribute(result);
        addAttribute(mode);
        return attributeAffects(level, result);
    }
    bool setInternalValue(const MPlug& plug, const MDataHandle& handle) override {
        if (plug.attribute() == level) {
            float v = handle.asFloat();
            float inside = 0.0f;
            plug.getValue(inside);
            MPlug(thisMObject(), seenInside).setValue(inside);
            MPlug counter(thisMObject(), deliveries);
            counter.setValue(counter.asInt() + 1);
            handle.set(v < 0.0f ? 0.0f : (v > 10.0f ? 10.0f : v));
        }
        return MPxNode::setInternalValue(plug, handle);
    }
    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        if (plug.attribute() != result)
            return MStatus::kUnknownParameter;
        block.outputValue(result).set(block.inputValue(level).asFloat());
        block.setClean(plug);
        return MStatus::kSuccess;
    }
    static MObject level, deliveries, seenInside, result, mode;
};
MObject ClampNode::level, ClampNode::deliveries, ClampNode::seenInside, ClampNode::result, ClampNode::mode;

// testBlobData: an integer; a negative one cannot be written.
class BlobData : public MPxData {
public:
    static void* creator() { return new BlobData; }
    void copy(const MPxData& src) override { value = static_cast<const BlobData&>(src).value; }
    MTypeId typeId() const override { return id; }
    MString name() const override { return "testBlobData"; }
    MStatus writeASCII(std::ostream& out) override {
        if (value < 0)
            return MStatus::kFailure;
        out << "blob " << value;
        return MStatus::kSuccess;
    }
    int value = 0;
    static const MTypeId id;
};
const MTypeId BlobData::id(0x0007F001);

// testBlob: blobOut is a new blob holding blobIn's value plus `offset` (1 by default).
class BlobNode : public MPxNode {
public:
    static void* creator() { return new BlobNode; }
    static MStatus initialize() {
        MFnTypedAttribute t;
        MStatus status;
        blobIn = t.create("blobIn", "bi", BlobData::id, MObject::kNullObj, &status);
        if (!status)
            return status;
        blobOut = t.create("blobOut", "bo", BlobData::id, MObject::kNullObj, &status);
        if (!status)
            return status;
        t.setWritable(false);
        MFnNumericAttribute n;
        offset = n.create("offset", "of", MFnNumericData::kInt, 1);
        addAttribute(blobIn);
        addAttribute(blobOut);
        addAttribute(offset);
        attributeAffects(offset, blobOut);
        return attributeAffects(blobIn, blobOut);
    }
    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        if (plug.attribute() != blobOut)
            return MStatus::kUnknownParameter;
        MStatus status;
        MDataHandle in = block.inputValue(blobIn, &status);
        auto* source = static_cast<BlobData*>(in.asPluginData());
        MFnPluginData fn;
        MObject made = fn.create(BlobData::id, &status);
        if (!status)
            return status;
        auto* blob = static_cast<BlobData*>(fn.data());
        blob->value = (source ? source->value : 0) + block.inputValue(offset).asInt();
        status = block.outputValue(blobOut).set(made);
        block.setClean(plug);
        return status;
    }
    static MObject blobIn, blobOut, offset;
};
MObject BlobNode::blobIn, BlobNode::blobOut, BlobNode::offset;

// testSquare: a shape whose drawing class fills the square [-0.5, 0.5]^2 at z = 0 with the colour of
// its draw request (active colour 5, red); the token records the display style.
class SquareShape : public MPxSurfaceShape {
public:
    static void* creator() { return new SquareShape; }
    static MStatus initialize() {
        MFnNumericAttribute n;
        size = n.create("size", "sz", MFnNumericData::kFloat, 0.5);
        return addAttribute(size);
    }
    void postConstructor() override { setRenderable(true); }
    static MObject size;
};
MObject SquareShape::size;

class SquareUI : public MPxSurfaceShapeUI {
public:
    static void* creator() { return new SquareUI; }
    void getDrawRequests(const MDrawInfo& info, bool, MDrawRequestQueue& queue) override {
        MDrawRequest request = info.getPrototype(*this);
        request.setToken(info.displayStyle() == M3dView::kWireFrame ? 1 : 7);
        request.setColor(5, M3dView::kActiveColors);
        queue.add(request);
    }
    void draw(const MDrawRequest& request, M3dView& view) const override {
        float s = 0.5f;
        MPlug(surfaceShape()->thisMObject(), SquareShape::size).getValue(s);
        view.beginGL();
        glDisable(GL_DEPTH_TEST);
        glBegin(request.token() == 1 ? GL_LINE_LOOP : GL_QUADS);
        glVertex3f(-s, -s, 0.0f);
        glVertex3f(s, -s, 0.0f);
        glVertex3f(s, s, 0.0f);
        glVertex3f(-s, s, 0.0f);
        glEnd();
        view.endGL();
    }
};

// testEcho WORDS...: the result is the words; without words it shows its usage and fails.
class EchoCommand : public MPxCommand {
public:
    static void* creator() { return new EchoCommand; }
    MStatus doIt(const MArgList& args) override {
        if (args.length() == 0) {
            MGlobal::displayError("Usage: testEcho WORD...");
            return MStatus::kFailure;
        }
        clearResult();
        for (unsigned int i = 0; i < args.length(); ++i)
            appendToResult(args.asString(i));
        return MStatus::kSuccess;
    }
};

} // namespace

// Registration stops at the first failure, whose status is returned.
MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Gradix tests", "1.0", "Any");
    MStatus status;
    (status = plugin.registerData("testBlobData", BlobData::id, BlobData::creator)) &&
        (status =
             plugin.registerNode("testCounter", 0x0007F010, CounterNode::creator, CounterNode::initialize)) &&
        (status = plugin.registerNode("testClamp", 0x0007F011, ClampNode::creator, ClampNode::initialize)) &&
        (status = plugin.registerNode("testBlob", 0x0007F012, BlobNode::creator, BlobNode::initialize)) &&
        (status = plugin.registerShape("testSquare", 0x0007F013, SquareShape::creator,
                                       SquareShape::initialize, SquareUI::creator)) &&
        (status = plugin.registerCommand("testEcho", EchoCommand::creator));
    return status;
}

MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    MStatus status;
    (status = plugin.deregisterCommand("testEcho")) &&
        (status = plugin.deregisterNode(0x0007F013)) && (status = plugin.deregisterNode(0x0007F012)) &&
        (status = plugin.deregisterNode(0x0007F011)) && (status = plugin.deregisterNode(0x0007F010)) &&
        (status = plugin.deregisterData(BlobData::id));
    return status;
}
