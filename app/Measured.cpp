#include "Measured.h"

#include <algorithm>
#include <cmath>

namespace gradix {

double percentOf(double value, double diagonal) {
    return diagonal > 0.0 ? 100.0 * value / diagonal : 0.0;
}

std::string distanceCell(double value, double diagonal) {
    const int digits = value > 0.0 ? std::max(4, 3 - static_cast<int>(std::floor(std::log10(value)))) : 0;
    return formatNumber(value, std::min(digits, 12)) + " (" + formatNumber(percentOf(value, diagonal), 4) + "%)";
}

void writeDistance(JsonWriter& json, const gxmeasure::Distance& d) {
    auto pair = [&](const char* name, double value) {
        json.key(name).value(value, 12);
        json.key(std::string(name) + "Percent").value(percentOf(value, d.diagonal), 6);
    };
    json.beginObject();
    pair("hausdorff", d.hausdorff);
    pair("mean", d.mean);
    pair("rms", d.rms);
    pair("hausdorffAToB", d.aToB.hausdorff);
    pair("hausdorffBToA", d.bToA.hausdorff);
    json.key("diagonal").value(d.diagonal, 12);
    if (d.hasBorder) {
        pair("borderHausdorff", d.borderHausdorff);
        pair("borderMean", d.borderMean);
    } else {
        json.key("borderHausdorff").null();
    }
    if (d.hasUVs) {
        json.key("uvMax").value(d.uvMax, 9);
        json.key("uvMean").value(d.uvMean, 9);
    } else {
        json.key("uvMax").null();
    }
    json.endObject();
}

} // namespace gradix
