#include "NodeSettings.h"

#include "OptionChecks.h"

#include <gxhost/Host.h>

#include <CLI/CLI.hpp>

#include <map>
#include <utility>
#include <vector>

namespace gradix {

void NodeSettings::addOptions(CLI::App& command) {
    const std::string group = "Simplification settings";
    command
        .add_option("--placement", vertexPlacement,
                    "Where a contracted pair's vertex goes: optimal (least error), end-or-mid (the better "
                    "of the two ends and their midpoint) or endpoint (the better end)")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, int>{{"optimal", 0}, {"end-or-mid", 1}, {"endpoint", 2}}))
        ->group(group);
    command
        .add_option("--edge-weighting", edgeWeights,
                    "A pair's weight from its two vertices' painted weights: avg, max or min")
        ->transform(CLI::CheckedTransformer(std::map<std::string, int>{{"avg", 0}, {"max", 1}, {"min", 2}}))
        ->group(group);
    command
        .add_option("--weight-combining", weightCombining,
                    "The weight of a merged vertex from those it stands for: average, max or min")
        ->transform(
            CLI::CheckedTransformer(std::map<std::string, int>{{"average", 0}, {"max", 1}, {"min", 2}}))
        ->group(group);
    command
        .add_flag("--uvs,!--no-uvs", useUVs,
                  "Let UV distortion count in the error (default: when the source has UVs)")
        ->group(group);
    command
        .add_flag("--normals,!--no-normals", useNormals,
                  "Let normals count in the error and write them (default: when the source has normals)")
        ->group(group);
    command
        .add_flag("--colors,!--no-colors", useVertexColors,
                  "Let vertex colours count in the error and write them (default: when the source has "
                  "colours)")
        ->group(group);
    command.add_flag("--clamp-uvs,!--no-clamp-uvs", clampUVs, "Clamp placed UVs to 0..1 (default off)")
        ->group(group);
    command
        .add_flag("--unitize-normals,!--no-unitize-normals", unitizeNormals,
                  "Rescale placed normals to unit length (default on)")
        ->group(group);
    command
        .add_flag("--clamp-colors,!--no-clamp-colors", clampVertexColors,
                  "Clamp placed colours to 0..1 (default on)")
        ->group(group);
    const struct {
        const char* name;
        double* value;
        const char* help;
    } lambdas[] = {
        {"--lambda-uvs", &lambdaUVs, "Weight of UV deviation against geometric error"},
        {"--lambda-normals", &lambdaNormals, "Weight of normal deviation against geometric error"},
        {"--lambda-colors", &lambdaColors, "Weight of colour deviation against geometric error"},
    };
    for (const auto& lambda : lambdas)
        command.add_option(lambda.name, *lambda.value, lambda.help)
            ->check(finiteRange(0.0, 1e12))
            ->capture_default_str()
            ->group(group);
    command
        .add_option("--boundary-weight", boundaryConstraint,
                    "Strength of the planes that hold open borders in place")
        ->check(finiteRange(0.0, 1e12))
        ->capture_default_str()
        ->group(group);
    command
        .add_option("--seam-weight", discontinuityConstraint,
                    "Strength of the planes that hold UV, normal and colour seams in place")
        ->check(finiteRange(0.0, 1e12))
        ->capture_default_str()
        ->group(group);
    command
        .add_flag("!--full-solve", blockSolve,
                  "Place each contracted vertex by inverting the whole error system, as the plug-in node "
                  "does by default, instead of eliminating the attributes first (same results up to "
                  "rounding, much slower where many seams meet)")
        ->group(group);
    command
        .add_flag("--prevent-folds,!--no-prevent-folds", preventFolds,
                  "Hold back contractions that would fold a face over or flatten it (default on)")
        ->group(group);
    command
        .add_option("--fold-angle", foldAngle,
                    "Degrees a face's normal may turn in one contraction before it counts as a fold")
        ->check(CLI::Range(0.0, 180.0))
        ->capture_default_str()
        ->group(group);
    command
        .add_flag("--keep-topology,!--no-keep-topology", keepTopology,
                  "Refuse contractions that would close a hole, fuse sheets or make an edge shared by more "
                  "than two faces (default on)")
        ->group(group);
    command
        .add_flag("--lock-border,!--no-lock-border", lockBorder,
                  "Keep every vertex on an open border where it is (default off)")
        ->group(group);
    command
        .add_flag("--hold-border,!--no-hold-border", holdBorder,
                  "Hold open borders: a contraction next to a border keeps the border vertex where it is, "
                  "and one that changes the border's shape costs ten times as much plus how far the border "
                  "moves (default on)")
        ->group(group);
    command
        .add_flag("!--flat-seams", flatNotSeam,
                  "Keep flat shading's normals as attributes and hold their seams like others. By default "
                  "a mesh shaded flat throughout is simplified as the smooth surface it shades and its "
                  "result shaded flat again, and elsewhere an edge between faces with their own normals "
                  "bending by less than 30 degrees is no seam")
        ->group(group);
}

std::vector<std::pair<const char*, double>> NodeSettings::values(bool sourceHasUVs, bool sourceHasNormals,
                                                                 bool sourceHasColors) const {
    // A source without UVs still reaches the node with an empty default UV set, whose zero UVs
    // would cost memory and time in the engine and keep nothing.
    const bool uvs = useUVs == 0 ? sourceHasUVs : useUVs > 0;
    const bool normals = useNormals == 0 ? sourceHasNormals : useNormals > 0;
    const bool colors = useVertexColors == 0 ? sourceHasColors : useVertexColors > 0;
    return {
        {"vertexPlacement", vertexPlacement},
        {"edgeWeights", edgeWeights},
        {"weightCombining", weightCombining},
        {"useUVs", uvs},
        {"useNormals", normals},
        {"useVertexColors", colors},
        {"clampUVs", clampUVs},
        {"unitizeNormals", unitizeNormals},
        {"clampVertexColors", clampVertexColors},
        {"lambdaUVs", lambdaUVs},
        {"lambdaNormals", lambdaNormals},
        {"lambdaColors", lambdaColors},
        {"boundaryConstraint", boundaryConstraint},
        {"discontinuityConstraint", discontinuityConstraint},
        {"blockSolve", blockSolve},
        {"preventFolds", preventFolds},
        {"foldAngle", foldAngle},
        {"keepTopology", keepTopology},
        {"lockBorder", lockBorder},
        {"holdBorder", holdBorder},
        {"flatNotSeam", flatNotSeam},
    };
}

bool NodeSettings::apply(const std::string& node, bool sourceHasUVs, bool sourceHasNormals,
                         bool sourceHasColors, std::string& error) const {
    for (const auto& [attribute, value] : values(sourceHasUVs, sourceHasNormals, sourceHasColors))
        if (!gxhost::setAttr(node + "." + attribute, value)) {
            error = "cannot set " + node + "." + attribute;
            return false;
        }
    return true;
}

} // namespace gradix
