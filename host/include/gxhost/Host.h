// Host: the host-side C++ API for the gradix tool and the tests. It drives the scene the way a user
// would (nodes, connections, attribute values, commands, plug-ins) and never reaches into plug-in
// classes.
//
//   1. gxhost::loadPlugin("path/to/lib.so")           2. MObject n = gxhost::createNode("Gradix")
//   3. gxhost::connect("mesh1.outMesh", "Gradix1.inMesh")
//   4. gxhost::setAttr("Gradix1.resolution", 40)      5. gxhost::getAttr("Gradix1.outMesh", meshData)
//   6. gxhost::resetScene() between tests (deletes every node, unloads every plug-in).
#pragma once

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <functional>
#include <string>
#include <vector>

namespace gxhost {

// ---- Messages --------------------------------------------------------------------------------
enum class Severity { Info, Warning, Error };

struct Message {
    Severity severity;
    std::string text;
};

using MessageSink = std::function<void(Severity, const std::string&)>;

// Installs a sink for MGlobal::displayInfo/Warning/Error and returns the previous one. An empty sink
// restores the default: standard error, with "Error: " and "Warning: " before errors and warnings.
MessageSink setMessageSink(MessageSink sink);

// Collects every message shown while it exists (and shows none), then restores the previous sink.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<Message>& messages() const { return messages_; }
    std::vector<std::string> errors() const { return texts(Severity::Error); }
    std::vector<std::string> warnings() const { return texts(Severity::Warning); }
    std::vector<std::string> infos() const { return texts(Severity::Info); }
    void clear() { messages_.clear(); }

private:
    std::vector<std::string> texts(Severity severity) const;
    std::vector<Message> messages_;
    MessageSink previous_;
};

// ---- Progress ---------------------------------------------------------------------------------
// The computation a plug-in reported last through MComputation; safe to read from any thread while
// the plug-in computes. A new generation is a new computation.
struct ComputationProgress {
    bool active = false;
    unsigned generation = 0;
    int minValue = 0, maxValue = 0, value = 0;
};
ComputationProgress computationProgress();

// ---- Fault injection ---------------------------------------------------------------------------
// Makes the named host operation fail with `code` at its nth call from now (1 = the next call); with
// `persistent`, every later call fails too. Operations are named "Class::method", for example
// "MFnTypedAttribute::create", "MFnPlugin::registerNode", "MItMeshPolygon::getUV"; a function set's
// constructor counts as its "Class::setObject".
void injectFault(const std::string& operation, unsigned int nth,
                 MStatus::MStatusCode code = MStatus::kFailure, bool persistent = false);
void clearFaults();
// How many times an armed operation was called since it was armed.
unsigned int faultCalls(const std::string& operation);

// ---- Scene ------------------------------------------------------------------------------------
MObject createNode(const std::string& type, const std::string& name = std::string(),
                   MStatus* status = nullptr);
MObject findNode(const std::string& name);
std::string nodeName(const MObject& node);
std::vector<std::string> nodeNames();
MStatus deleteNode(const MObject& node);
// "node.attribute" (long or short name).
MPlug findPlug(const std::string& plug, MStatus* status = nullptr);
MStatus connect(const std::string& source, const std::string& destination, bool force = false);
MStatus disconnect(const std::string& source, const std::string& destination);
MStatus setAttr(const std::string& plug, double value);
MStatus setAttr(const std::string& plug, const MObject& data);
MStatus getAttr(const std::string& plug, double& value);
MStatus getAttr(const std::string& plug, MObject& data);
// Whether the plug would be recomputed (or pulled) when read.
bool isDirty(const std::string& plug);
// Deletes every node and unloads every plug-in; built-in types and commands stay.
void resetScene();

// ---- Commands and plug-ins ---------------------------------------------------------------------
// Runs command text (one command per line, `//` comments). Errors are shown and returned.
MStatus executeCommand(const std::string& text, std::vector<std::string>* result = nullptr);
// Runs a script; an error names `sourceName` and the line.
MStatus executeScript(const std::string& text, const std::string& sourceName,
                      std::vector<std::string>* result = nullptr);
MStatus executeScriptFile(const std::string& path);
MStatus loadPlugin(const std::string& path, std::string* pluginName = nullptr);
MStatus unloadPlugin(const std::string& nameOrPath);
bool isPluginLoaded(const std::string& nameOrPath);
bool isNodeTypeRegistered(const std::string& typeName);
bool isDataTypeRegistered(const std::string& typeName);
bool isCommandRegistered(const std::string& commandName);

// ---- Data -------------------------------------------------------------------------------------
// A data object as a scene file would hold it (plug-in data through its writeASCII). When the writer
// fails, nothing is written and its status is returned.
MStatus writeDataASCII(const MObject& data, std::string& text);

// ---- Mesh nodes: per-face materials (shading groups) ----------------------------------------------
MStatus setFaceMaterial(const MObject& meshNode, int face, const std::string& material);
// "" when the face has none.
std::string faceMaterial(const MObject& meshNode, int face, MStatus* status = nullptr);

} // namespace gxhost
