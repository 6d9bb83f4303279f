#include "Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gradix {

std::string formatNumber(double number, int decimals) {
    if (!std::isfinite(number))
        return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, number);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

Json jsonNumber(double number, int decimals) {
    // Going through the decimal text rounds exactly as the plain-text report does.
    const std::string text = formatNumber(number, decimals);
    if (text.find('.') == std::string::npos)
        return Json(std::strtoll(text.c_str(), nullptr, 10));
    return Json(std::strtod(text.c_str(), nullptr));
}

std::string jsonText(const Json& document) {
    return document.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace gradix
