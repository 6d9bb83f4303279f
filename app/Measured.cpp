#include "Measured.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace gradix {

double percentOf(double value, double diagonal) {
    return diagonal > 0.0 ? 100.0 * value / diagonal : 0.0;
}

std::string distanceCell(double value, double diagonal) {
    const int digits = value > 0.0 ? std::max(4, 3 - static_cast<int>(std::floor(std::log10(value)))) : 0;
    return formatNumber(value, std::min(digits, 12)) + " (" + formatNumber(percentOf(value, diagonal), 4) +
           "%)";
}

bool parseErrorTarget(const std::string& option, const std::string& text, double diagonal, double& absolute,
                      std::string& error) {
    const bool percent = !text.empty() && text.back() == '%';
    const std::string number = percent ? text.substr(0, text.size() - 1) : text;
    size_t used = 0;
    double value = 0.0;
    try {
        value = std::stod(number, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != number.size() || !std::isfinite(value) || value <= 0.0) {
        error = option + " '" + text +
                "': give a positive distance, or a percentage of the diagonal such as 0.5%";
        return false;
    }
    absolute = percent ? value / 100.0 * diagonal : value;
    return true;
}

std::vector<gxhost::SceneMesh> withoutEmpty(std::vector<gxhost::SceneMesh> meshes) {
    meshes.erase(std::remove_if(meshes.begin(), meshes.end(),
                                [](const gxhost::SceneMesh& mesh) { return mesh.faceCounts.empty(); }),
                 meshes.end());
    return meshes;
}

Json distanceJson(const gxmeasure::Distance& d) {
    Json json = Json::object();
    auto pair = [&](const std::string& name, double value) {
        json[name] = jsonNumber(value, 12);
        json[name + "Percent"] = jsonNumber(percentOf(value, d.diagonal), 6);
    };
    pair("hausdorff", d.hausdorff);
    pair("mean", d.mean);
    pair("rms", d.rms);
    pair("hausdorffAToB", d.aToB.hausdorff);
    pair("hausdorffBToA", d.bToA.hausdorff);
    json["diagonal"] = jsonNumber(d.diagonal, 12);
    if (d.hasBorder) {
        pair("borderHausdorff", d.borderHausdorff);
        pair("borderMean", d.borderMean);
    } else {
        json["borderHausdorff"] = nullptr;
    }
    if (d.hasUVs) {
        json["uvMax"] = jsonNumber(d.uvMax, 9);
        json["uvMean"] = jsonNumber(d.uvMean, 9);
    } else {
        json["uvMax"] = nullptr;
    }
    return json;
}

} // namespace gradix
