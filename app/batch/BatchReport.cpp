#include "BatchReport.h"

#include "Json.h"
#include "Table.h"

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;
using nlohmann::json;

namespace gradix {
namespace {

// The measured error of an output: the two-sided Hausdorff distance the tool's report gives, as a
// percentage of the source's bounding-box diagonal (null when the report has none).
json errorOf(const json& item) {
    if (item.contains("error") && item["error"].is_object())
        return item["error"].value("hausdorffPercent", json());
    return nullptr;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string number(const json& value, int digits = 6) {
    return value.is_number() ? formatNumber(value.get<double>(), digits) : "";
}

} // namespace

json detailsFromReport(const std::string& report, const std::string& relativeDir,
                       const std::vector<std::string>& files, double seconds) {
    const json parsed = json::parse(report, nullptr, false);
    json details = {{"outputs", json::array()}, {"seconds", seconds}};
    auto place = [&](const std::string& file) {
        const std::string name = fs::path(file).filename().string();
        return relativeDir.empty() ? name : relativeDir + "/" + name;
    };
    if (!parsed.is_discarded() && parsed.is_object()) {
        if (parsed.contains("source"))
            details["source"] = {{"triangles", parsed["source"].value("triangles", 0)},
                                 {"vertices", parsed["source"].value("vertices", 0)}};
        if (parsed.contains("levels"))
            for (const json& level : parsed["levels"])
                details["outputs"].push_back({{"level", formatNumber(level.value("level", 0.0), 3) + "%"},
                                              {"triangles", level.value("triangles", 0)},
                                              {"vertices", level.value("vertices", 0)},
                                              {"error", errorOf(level)},
                                              {"file", place(level.value("file", ""))}});
        if (parsed.contains("result")) {
            std::string target;
            if (parsed.contains("target"))
                for (const auto& item : parsed["target"].items())
                    target = item.value().dump() + (item.key() == "percent" ? "%" : " " + item.key());
            details["outputs"].push_back({{"level", target},
                                          {"triangles", parsed["result"].value("triangles", 0)},
                                          {"vertices", parsed["result"].value("vertices", 0)},
                                          {"error", errorOf(parsed)},
                                          {"file", place(parsed.value("output", ""))}});
        }
    }
    // Files the report does not name (companions such as .bin or .mtl) are still the asset's outputs.
    json all = json::array();
    for (const std::string& file : files)
        all.push_back(place(file));
    details["files"] = all;
    return details;
}

std::string tableText(const std::vector<AssetRow>& rows) {
    Table table({"asset", "status", "triangles", "outputs' triangles", "error %", "seconds"});
    std::string failures;
    for (const AssetRow& row : rows) {
        const json& d = row.details;
        std::string counts, error;
        double worst = -1.0;
        for (const json& output : d.value("outputs", json::array())) {
            counts += (counts.empty() ? "" : " / ") + groupDigits(output.value("triangles", uint64_t(0)));
            if (output.contains("error") && output["error"].is_number())
                worst = std::max(worst, output["error"].get<double>());
        }
        if (worst >= 0.0)
            error = formatNumber(worst, 4);
        const std::string source =
            d.contains("source") ? groupDigits(d["source"].value("triangles", uint64_t(0))) : "";
        table.addRow({row.relative, row.status, source, counts, error,
                      d.contains("seconds") ? formatNumber(d["seconds"].get<double>(), 2) : ""});
        if (row.status == "failed")
            failures += "failed: " + row.relative + ": " + row.reason + "\n";
    }
    return table.text() + failures;
}

std::string csvText(const std::vector<AssetRow>& rows) {
    std::ostringstream csv;
    csv << "asset,status,output,level,triangles,vertices,source_triangles,source_vertices,error_percent,seconds,"
           "reason\n";
    auto line = [&csv](const std::vector<std::string>& fields) {
        for (size_t i = 0; i < fields.size(); ++i)
            csv << (i ? "," : "") << csvField(fields[i]);
        csv << "\n";
    };
    for (const AssetRow& row : rows) {
        const json& d = row.details;
        const json source = d.value("source", json::object());
        const std::string sourceTriangles = number(source.value("triangles", json()));
        const std::string sourceVertices = number(source.value("vertices", json()));
        const std::string seconds = number(d.value("seconds", json()), 3);
        const json outputs = d.value("outputs", json::array());
        if (outputs.empty())
            line({row.relative, row.status, "", "", "", "", sourceTriangles, sourceVertices, "", seconds,
                  row.reason});
        for (const json& output : outputs)
            line({row.relative, row.status, output.value("file", ""), output.value("level", ""),
                  number(output.value("triangles", json())), number(output.value("vertices", json())),
                  sourceTriangles, sourceVertices, number(output.value("error", json())), seconds, ""});
    }
    return csv.str();
}

json jsonRows(const std::vector<AssetRow>& rows) {
    json list = json::array();
    for (const AssetRow& row : rows) {
        json item = row.details;
        item["asset"] = row.relative;
        item["status"] = row.status;
        if (!row.reason.empty())
            item["reason"] = row.reason;
        list.push_back(item);
    }
    return list;
}

} // namespace gradix
