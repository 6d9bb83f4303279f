// Scene: the host's process-wide state and the dependency graph's operations.
//
//   setValue ──▶ store ──▶ setInternalValue (internal attrs) ──▶ dirty everything affected, through
//                                                                 attributeAffects and connections
//   evaluate ──▶ clean: the stored value │ connected: pull the source, deliver internal value
//                                        │ otherwise: the node's compute(plug, dataBlock)
#pragma once

#include "Data.h"
#include "Node.h"

#include <maya/MStatus.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class MArgList;
class MPxData;
class MPxCommand;

namespace gxhost {

struct DataType {
    std::string name;
    unsigned int id = 0;
    int kind = 0; // MPxData::Type
    std::function<MPxData*()> create;
    Plugin* plugin = nullptr;
};

// A host command: the words after its name; it fills its result and, on failure, one error text.
using BuiltinCommand = std::function<MStatus(const std::vector<std::string>& args,
                                             std::vector<std::string>& result, std::string& error)>;

struct Command {
    std::string name;
    std::function<MPxCommand*()> create; // plug-in commands
    BuiltinCommand builtin;              // host commands
    Plugin* plugin = nullptr;
};

struct Plugin : public Object {
    MFn::Type apiType() const override { return MFn::kPlugin; }
    const char* apiTypeStr() const override { return "kPlugin"; }

    std::string path, name, vendor = "Unknown", version = "Unknown", apiVersion, requiredApiVersion = "Any";
    void* handle = nullptr;
};

class Scene {
public:
    static Scene& get();

    // Registries.
    NodeType* findType(const std::string& name);
    NodeType* findType(unsigned int id);
    DataType* findDataType(unsigned int id);
    DataType* findDataType(const std::string& name);
    Command* findCommand(const std::string& name);

    // Nodes.
    std::shared_ptr<Node> createNode(const std::string& typeName, const std::string& name, MStatus& status);
    std::shared_ptr<Node> findNode(const std::string& name) const;
    MStatus deleteNode(std::shared_ptr<Node> node);
    // Deletes every node of a type that `doomed` picks.
    void deleteNodes(const std::function<bool(const NodeType*)>& doomed);
    std::string uniqueName(const std::string& base) const;
    // Parses "node.attr" into a node and attribute index; an error line when it does not resolve.
    MStatus resolvePlug(const std::string& text, std::shared_ptr<Node>& node, int& attr,
                        std::string& error) const;

    // Graph.
    MStatus evaluate(Node* node, int attr);
    MStatus readValue(Node* node, int attr, Value& out);
    MStatus writeValue(Node* node, int attr, const Value& value, std::string* error = nullptr);
    MStatus connect(Node* src, int srcAttr, Node* dst, int dstAttr, bool force, std::string* error = nullptr);
    MStatus disconnect(Node* src, int srcAttr, Node* dst, int dstAttr, std::string* error = nullptr);
    // Marks everything that depends on (node, attr) dirty.
    void propagateDirty(Node* node, int attr);
    void deliverInternal(Node* node, int attr);
    MStatus addDynamicAttribute(Node* node, const std::shared_ptr<Attribute>& attribute);

    // Plug-ins.
    MStatus loadPlugin(const std::string& path, std::string& error, std::string* name = nullptr);
    MStatus unloadPlugin(const std::string& nameOrPath, std::string& error);
    Plugin* findPlugin(const std::string& nameOrPath);

    void reset();

    std::vector<std::unique_ptr<NodeType>> types;
    std::vector<std::unique_ptr<DataType>> dataTypes;
    std::map<std::string, Command> commands;
    std::vector<std::shared_ptr<Plugin>> plugins;
    std::vector<std::shared_ptr<Node>> nodes; // creation order
    NodeType* typeUnderInit = nullptr;
    std::vector<std::string> commandResult;
    std::vector<std::shared_ptr<Node>> activeSelection;

private:
    Scene();
    ~Scene();
    // Removes what the plug-in left: the nodes of its types, its types, commands, data types and the
    // data values of those types.
    void dropPlugin(const Plugin* plugin);
    bool builtinsRegistered_ = false;
};

// The scene's built-in types and commands.
void registerMeshType(Scene& scene);
void registerBuiltinCommands(Scene& scene);
void registerMeshFileCommands(Scene& scene);

} // namespace gxhost
