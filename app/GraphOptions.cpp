#include "GraphOptions.h"

#include <CLI/CLI.hpp>

namespace gradix {

void GraphOptions::addOptions(CLI::App& command, bool writesMeshes) {
    settings.addOptions(command);
    const std::string group = "Painted weights";
    CLI::Option* file = command
                            .add_option("--weights", weights.file,
                                        "Text file with one weight per vertex (meshes in file order); "
                                        "a weight p makes a vertex p*100+1 times as costly to contract")
                            ->check(CLI::ExistingFile)
                            ->group(group);
    command
        .add_option("--weights-from-color", weights.colorChannel,
                    "Take each vertex's weight from a channel of its vertex colours: r, g, b or a")
        ->check(CLI::IsMember({"r", "g", "b", "a"}))
        ->excludes(file)
        ->group(group);
    if (writesMeshes) {
        command.add_flag("--no-materials", noMaterials,
                         "Do not carry the source's materials over to the result (no setupShaders run)");
        command.add_flag("--strict", strict,
                         "Fail, writing nothing, when the output format cannot hold something of the input "
                         "(a skin, a texture, an animation, ...) instead of warning");
        command.add_flag("--halves,!--no-halves", halves,
                         "Take a file's one mesh of 200,000 triangles or more most of the way to "
                         "the target (lods: its finest level) as two halves on two cores, each keeping the "
                         "cut between them where it is, then the joined mesh the rest of the way (default "
                         "on; not with painted weights or error targets)");
    }
}

void GraphOptions::reduceAhead(GraphSet& set, double percent, uint64_t triangles) const {
    if (halves && weights.file.empty() && weights.colorChannel.empty())
        set.reduceAhead(percent, triangles);
}

} // namespace gradix
