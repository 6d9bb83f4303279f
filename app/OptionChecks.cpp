#include "OptionChecks.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace gradix {

CLI::Validator finiteRange(double low, double high) {
    const std::string description =
        "NUMBER in [" + CLI::detail::to_string(low) + " - " + CLI::detail::to_string(high) + "]";
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            char* end = nullptr;
            errno = 0;
            const double value = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value))
                return "'" + text + "' is not a finite number";
            if (value < low || value > high)
                return "'" + text + "' is not between " + CLI::detail::to_string(low) + " and " +
                       CLI::detail::to_string(high);
            return {};
        },
        description);
}

CLI::Validator countRange(uint64_t high) {
    return CLI::Validator(
        [high](std::string& text) -> std::string {
            if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
                return "'" + text + "' is not a whole number";
            const uint64_t value = std::strtoull(text.c_str(), nullptr, 10);
            if (value < 1 || value > high)
                return "'" + text + "' is not between 1 and " + std::to_string(high);
            return {};
        },
        "COUNT in [1 - " + std::to_string(high) + "]");
}

bool parseMemorySize(const std::string& text, uint64_t& bytes) {
    const size_t digits = text.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos || digits > 7 || digits + 1 != text.size())
        return false;
    const int shift = text.back() == 'M' ? 20 : text.back() == 'G' ? 30 : -1;
    if (shift < 0)
        return false;
    bytes = std::strtoull(text.c_str(), nullptr, 10) << shift;
    return bytes >= (uint64_t(16) << 20) && bytes <= (uint64_t(1) << 40);
}

CLI::Validator memorySize() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            uint64_t bytes = 0;
            return parseMemorySize(text, bytes) ? std::string()
                                                : "'" + text + "' is not a size from 16M to 1024G";
        },
        "SIZE (e.g. 512M, 4G)");
}

} // namespace gradix
