// Loading and unloading plug-in libraries (dlopen), part of the scene.
#include "Scene.h"

#include <maya/MFnPlugin.h>

#include <dlfcn.h>

#include <algorithm>

namespace gxhost {
namespace {

using EntryPoint = MStatus (*)(MObject);

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

Plugin* Scene::findPlugin(const std::string& nameOrPath) {
    for (auto& p : plugins)
        if (p->name == nameOrPath || p->path == nameOrPath)
            return p.get();
    return nullptr;
}

MStatus Scene::loadPlugin(const std::string& path, std::string& error, std::string* name) {
    if (Plugin* p = findPlugin(path)) {
        error = "Plug-in '" + p->name + "' is already loaded";
        return MStatus::kFailure;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = "Cannot load plug-in '" + path + "': " + (why ? why : "unknown error");
        return MStatus::kFailure;
    }
    auto init = reinterpret_cast<EntryPoint>(dlsym(handle, "initializePlugin"));
    auto uninit = reinterpret_cast<EntryPoint>(dlsym(handle, "uninitializePlugin"));
    auto version = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    if (!init || !uninit || !version) {
        error = "Plug-in '" + path + "' lacks the entry point '" +
                (!init ? "initializePlugin" : (!uninit ? "uninitializePlugin" : "MApiVersion")) + "'";
        dlclose(handle);
        return MStatus::kFailure;
    }
    auto plugin = std::make_shared<Plugin>();
    plugin->path = path;
    plugin->name = baseName(path);
    plugin->apiVersion = version;
    plugin->handle = handle;
    plugins.push_back(plugin);
    if (name)
        *name = plugin->name;
    MStatus status = init(MObject(plugin));
    if (!status) {
        // What was registered before the failure stays, as does the library, until it is unloaded.
        error = "initializePlugin of plug-in '" + plugin->name + "' failed: " + status.errorString().str();
        return status;
    }
    return MStatus::kSuccess;
}

MStatus Scene::unloadPlugin(const std::string& nameOrPath, std::string& error) {
    Plugin* p = findPlugin(nameOrPath);
    if (!p) {
        error = "Plug-in '" + nameOrPath + "' is not loaded";
        return MStatus::kNotFound;
    }
    std::shared_ptr<Plugin> plugin;
    for (auto& q : plugins)
        if (q.get() == p)
            plugin = q;
    // Deregistering a node type deletes its nodes; a failed uninitializePlugin leaves the rest as it is.
    auto uninit = reinterpret_cast<EntryPoint>(dlsym(p->handle, "uninitializePlugin"));
    MStatus status = uninit(MObject(plugin));
    if (!status) {
        error = "uninitializePlugin of plug-in '" + p->name + "' failed: " + status.errorString().str();
        return status;
    }
    // Nodes cannot outlive the code of their type, even when the plug-in forgot to deregister it;
    // whatever the plug-in left registered goes with it.
    dropPlugin(p);
    void* handle = p->handle;
    plugins.erase(std::remove(plugins.begin(), plugins.end(), plugin), plugins.end());
    plugin.reset();
    dlclose(handle);
    return MStatus::kSuccess;
}

} // namespace gxhost
