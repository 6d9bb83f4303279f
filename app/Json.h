// Json: the tool's --json reports, built with nlohmann::json. Keys keep the order they are set in and
// numbers come out in a fixed form (jsonNumber), so the same run gives the same text.
//
//   Json report;  report["triangles"] = 1498;  report["seconds"] = jsonNumber(0.5021, 3);
//   std::cout << jsonText(report) << "\n";
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace gradix {

using Json = nlohmann::ordered_json;

// `number` rounded to `decimals` decimals; whole numbers become integers ("40", not "40.0").
Json jsonNumber(double number, int decimals = 6);

// The document on one line; text that is not valid UTF-8 is replaced, never an exception.
std::string jsonText(const Json& document);

// `number` with at most `decimals` decimals and no trailing zeros ("2.5", "40", "0.125").
std::string formatNumber(double number, int decimals);

} // namespace gradix
