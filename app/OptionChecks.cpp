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

} // namespace gradix
