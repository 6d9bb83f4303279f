#include "CompareCommand.h"

#include "ExitStatus.h"
#include "Json.h"
#include "Measured.h"
#include "MeshSurface.h"
#include "Session.h"
#include "Table.h"

#include <CLI/CLI.hpp>
#include <tbb/parallel_invoke.h>

#include <chrono>
#include <iostream>
#include <memory>

namespace gradix {

CompareCommand::CompareCommand(CLI::App& parent) {
    command_ = parent.add_subcommand("compare", "Measure the surface distance between two mesh files");
    command_->footer("Example:\n  gradix compare model.glb model_lod25.glb");
    command_->add_option("A", first_, "Reference mesh file (its box diagonal gives the percentages)")
        ->required()
        ->check(CLI::ExistingFile);
    command_->add_option("B", second_, "Mesh file to measure against it")
        ->required()
        ->check(CLI::ExistingFile);
    command_
        ->add_option("--samples", samples_,
                     "Points spread over each surface, at least one per triangle (default: 16 a triangle, "
                     "20,000 to 200,000, as simplify and lods measure)")
        ->check(CLI::Range(uint64_t(1000), uint64_t(100000000)));
}

bool CompareCommand::selected() const {
    return command_->parsed();
}

int CompareCommand::run(const GlobalOptions& global) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    Session session(global.pluginPath);
    std::vector<SourceMesh> a, b;
    if (!session.importFile(first_, a, error) || !session.importFile(second_, b, error))
        return failWith(error);
    const auto surfaceOf = [](const std::vector<SourceMesh>& meshes) {
        std::vector<const gxhost::SceneMesh*> scene;
        for (const SourceMesh& mesh : meshes)
            scene.push_back(&mesh.scene);
        return toSurface(scene);
    };
    const gxmeasure::Surface sa = surfaceOf(a), sb = surfaceOf(b);
    if (sa.triangles.empty() || sb.triangles.empty())
        return failWith((sa.triangles.empty() ? first_ : second_) + ": no triangle to measure");
    const auto measureStart = std::chrono::steady_clock::now();
    gxmeasure::Sampling sampling;
    if (samples_ > 0)
        sampling.surfaceSamples = samples_;
    const auto samplingOf = [&](const gxmeasure::Surface& s) {
        return samples_ > 0 ? sampling : gxmeasure::scaledSampling(sampling, s.triangles.size());
    };
    // The two trees are built side by side: building one is mostly a sequential sort.
    std::unique_ptr<gxmeasure::SurfaceTree> ta, tb;
    tbb::parallel_invoke([&] { ta = std::make_unique<gxmeasure::SurfaceTree>(sa, samplingOf(sa)); },
                         [&] { tb = std::make_unique<gxmeasure::SurfaceTree>(sb, samplingOf(sb)); });
    const gxmeasure::Distance d = gxmeasure::measureDistance(*ta, *tb);
    const auto end = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(end - start).count();
    const double measureSeconds = std::chrono::duration<double>(end - measureStart).count();

    if (global.json) {
        Json report = {{"command", "compare"},
                       {"a", first_},
                       {"b", second_},
                       {"trianglesA", sa.triangles.size()},
                       {"trianglesB", sb.triangles.size()},
                       {"distance", distanceJson(d)},
                       {"measureSeconds", jsonNumber(measureSeconds, 3)},
                       {"seconds", jsonNumber(seconds, 3)}};
        std::cout << jsonText(report) << "\n";
    } else {
        std::cout << "A " << first_ << ": " << groupDigits(sa.triangles.size()) << " triangles\nB " << second_
                  << ": " << groupDigits(sb.triangles.size()) << " triangles\nbox diagonal of A "
                  << formatNumber(d.diagonal, 6) << "\n";
        Table table({"distance", "both ways", "A to B", "B to A"});
        table.addRow({"Hausdorff", distanceCell(d.hausdorff, d.diagonal),
                      distanceCell(d.aToB.hausdorff, d.diagonal),
                      distanceCell(d.bToA.hausdorff, d.diagonal)});
        table.addRow({"mean", distanceCell(d.mean, d.diagonal), distanceCell(d.aToB.mean, d.diagonal),
                      distanceCell(d.bToA.mean, d.diagonal)});
        table.addRow({"RMS", distanceCell(d.rms, d.diagonal), distanceCell(d.aToB.rms, d.diagonal),
                      distanceCell(d.bToA.rms, d.diagonal)});
        if (d.hasBorder) {
            table.addRow({"border Hausdorff", distanceCell(d.borderHausdorff, d.diagonal), "", ""});
            table.addRow({"border mean", distanceCell(d.borderMean, d.diagonal), "", ""});
        }
        std::cout << table.text();
        if (!d.hasBorder)
            std::cout << "border: not measured (A or B has no open border)\n";
        if (d.hasUVs)
            std::cout << "UV deviation: largest " << formatNumber(d.uvMax, 6) << ", mean "
                      << formatNumber(d.uvMean, 6) << "\n";
        else
            std::cout << "UV deviation: not measured (" << (sa.hasUVs() ? "B" : "A")
                      << " has no complete UV set)\n";
        std::cout << "measured in " << formatNumber(measureSeconds, 2) << " s (" << formatNumber(seconds, 2)
                  << " s with reading)\n";
    }
    session.printWarnings();
    return EXIT_OK;
}

} // namespace gradix
