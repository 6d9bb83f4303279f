// Feeds arbitrary text to the host's script interpreter with the plug-in loaded, one command per
// line, in a scene emptied before each input. Commands may fail; none may crash or reach undefined
// behaviour (float-to-integer casts included).
#include <gxhost/Host.h>

#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each input starts from an empty scene, which unloads the plug-in; it is loaded again. Held
    // open once with RTLD_NODELETE, the library stays mapped in between, so the fuzzer's coverage
    // counters inside it stay valid.
    static const std::string plugin = [] {
        gxhost::setMessageSink([](gxhost::Severity, const std::string&) {});
        const char* path = std::getenv("GRADIX_PLUGIN");
        const std::string chosen = path ? path : GRADIX_PLUGIN_PATH;
        if (!dlopen(chosen.c_str(), RTLD_NOW | RTLD_NODELETE))
            std::abort();
        return chosen;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Commands that reach the file system (plug-ins, mesh files) are not the interpreter's own.
    for (const char* command : {"loadPlugin", "unloadPlugin", "importMesh", "exportMesh"})
        if (text.find(command) != std::string::npos)
            return 0;
    gxhost::resetScene();
    if (!gxhost::loadPlugin(plugin))
        std::abort();
    gxhost::executeScript(text, "fuzz");
    return 0;
}
