// Feeds arbitrary text to the host's script interpreter with the plug-in loaded, one command per
// line, in a scene emptied before each input. Commands may fail; none may crash or reach undefined
// behaviour (float-to-integer casts included).
#include <gxhost/Host.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool loaded = [] {
        gxhost::setMessageSink([](gxhost::Severity, const std::string&) {});
        const char* plugin = std::getenv("GRADIX_PLUGIN");
        return bool(gxhost::loadPlugin(plugin ? plugin : GRADIX_PLUGIN_PATH));
    }();
    if (!loaded)
        std::abort();
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Commands that reach the file system (plug-ins, mesh files) are not the interpreter's own.
    for (const char* command : {"loadPlugin", "importMesh", "exportMesh"})
        if (text.find(command) != std::string::npos)
            return 0;
    gxhost::resetScene();
    gxhost::executeScript(text, "fuzz");
    return 0;
}
