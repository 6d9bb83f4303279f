#include "InfoCommand.h"

#include "ExitStatus.h"
#include "JsonWriter.h"
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

    JsonWriter json;
    json.beginObject();
    json.key("command").value("info");
    json.key("input").value(input_);
    json.key("meshes").beginArray();
    if (!global.json)
        std::cout << input_ << ": " << meshes.size() << (meshes.size() == 1 ? " mesh\n" : " meshes\n");
    for (const SourceMesh& mesh : meshes) {
        const MeshInfo info = MeshInfo::of(mesh.scene);
        if (global.json) {
            json.beginObject();
            json.key("name").value(info.name);
            json.key("vertices").value(info.vertices);
            json.key("faces").value(info.faces);
            json.key("triangles").value(info.triangles);
            json.key("uvSets").beginArray();
            for (const std::string& name : info.uvSets)
                json.value(name);
            json.endArray();
            json.key("normals").value(info.normals);
            json.key("colors").value(info.colors);
            json.key("materials").beginArray();
            for (const std::string& name : info.materials)
                json.value(name);
            json.endArray();
            json.key("boundsMin").beginArray();
            for (double v : info.boundsMin)
                json.value(v);
            json.endArray();
            json.key("boundsMax").beginArray();
            for (double v : info.boundsMax)
                json.value(v);
            json.endArray();
            json.key("boundaryEdges").value(info.boundaryEdges);
            json.key("nonManifoldEdges").value(info.nonManifoldEdges);
            json.endObject();
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
    json.endArray();
    json.endObject();
    if (global.json)
        std::cout << json.text() << "\n";
    return EXIT_OK;
}

} // namespace gradix
