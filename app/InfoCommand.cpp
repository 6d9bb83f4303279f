#include "InfoCommand.h"

#include "ExitStatus.h"
#include "Json.h"
#include "MeshInfo.h"
#include "Session.h"
#include "Table.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <utility>

namespace gradix {
namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "none" : text;
}

std::string point(const std::array<double, 3>& p) {
    return "(" + formatNumber(p[0], 4) + ", " + formatNumber(p[1], 4) + ", " + formatNumber(p[2], 4) + ")";
}

} // namespace

InfoCommand::InfoCommand(CLI::App& parent) {
    command_ = parent.add_subcommand("info", "Describe every mesh of a file");
    command_->footer("Example:\n  gradix info model.fbx");
    command_->add_option("IN", input_, "Mesh file to read")->required()->check(CLI::ExistingFile);
}

bool InfoCommand::selected() const {
    return command_->parsed();
}

int InfoCommand::run(const GlobalOptions& global) {
    std::string error;
    // The plug-in is not needed to read a file; the session only provides the file handlers.
    Session session(global.pluginPath);
    std::vector<SourceMesh> meshes;
    if (!session.importFile(input_, meshes, error))
        return failWith(error);

    Json report = {{"command", "info"}, {"input", input_}, {"meshes", Json::array()}};
    if (!global.json)
        std::cout << input_ << ": " << meshes.size() << (meshes.size() == 1 ? " mesh\n" : " meshes\n");
    for (const SourceMesh& mesh : meshes) {
        const MeshInfo info = MeshInfo::of(mesh.scene);
        if (global.json) {
            Json boundsMin = Json::array(), boundsMax = Json::array();
            for (int axis = 0; axis < 3; ++axis) {
                boundsMin.push_back(jsonNumber(info.boundsMin[axis]));
                boundsMax.push_back(jsonNumber(info.boundsMax[axis]));
            }
            report["meshes"].push_back({{"name", info.name},
                                        {"vertices", info.vertices},
                                        {"faces", info.faces},
                                        {"triangles", info.triangles},
                                        {"uvSets", info.uvSets},
                                        {"normals", info.normals},
                                        {"colors", info.colors},
                                        {"materials", info.materials},
                                        {"boundsMin", boundsMin},
                                        {"boundsMax", boundsMax},
                                        {"boundaryEdges", info.boundaryEdges},
                                        {"nonManifoldEdges", info.nonManifoldEdges}});
            continue;
        }
        std::cout << "\nmesh '" << info.name << "'"
                  << (mesh.scene.parent.empty() ? "" : " under '" + mesh.scene.parent + "'") << "\n";
        const std::pair<const char*, std::string> rows[] = {
            {"vertices", groupDigits(info.vertices)},
            {"faces", groupDigits(info.faces)},
            {"triangles", groupDigits(info.triangles)},
            {"UV sets", joined(info.uvSets)},
            {"normals", info.normals ? "yes" : "no"},
            {"colours", info.colors ? "yes" : "no"},
            {"materials", joined(info.materials)},
            {"bounding box", point(info.boundsMin) + " to " + point(info.boundsMax)},
            {"boundary edges", groupDigits(info.boundaryEdges)},
            {"non-manifold edges", groupDigits(info.nonManifoldEdges)},
        };
        for (const auto& [label, value] : rows)
            std::cout << "  " << label << std::string(20 - std::string(label).size(), ' ') << value << "\n";
    }
    if (global.json)
        std::cout << jsonText(report) << "\n";
    return EXIT_OK;
}

} // namespace gradix
