#include "HelpFormatter.h"

namespace gradix {

std::string HelpFormatter::placeholder(const std::string& typeName) {
    const size_t open = typeName.find('{'), close = typeName.find('}', open);
    if (open != std::string::npos && close != std::string::npos) {
        std::string choices;
        size_t start = open + 1;
        while (start < close) {
            size_t end = typeName.find(',', start);
            if (end == std::string::npos || end > close)
                end = close;
            const std::string choice = typeName.substr(start, end - start);
            choices += (choices.empty() ? "" : "|") + choice.substr(0, choice.find("->"));
            start = end + 1;
        }
        return choices;
    }
    const std::string base = typeName.substr(0, typeName.find(':'));
    if (base == "FLOAT" || base == "INT" || base == "UINT")
        return "NUMBER";
    return base.empty() ? "VALUE" : base;
}

std::string HelpFormatter::make_option_name(const CLI::Option* option, bool positional) const {
    if (positional)
        return option->get_name(true, false);
    std::string names;
    for (const std::string& name : option->get_snames())
        names += (names.empty() ? "-" : ", -") + name;
    for (const std::string& name : option->get_lnames())
        names += (names.empty() ? "--" : ", --") + name;
    return names;
}

std::string HelpFormatter::make_option_opts(const CLI::Option* option) const {
    if (option->get_type_size() == 0 || option->get_expected_max() == 0) // a flag
        return "";
    std::string opts = " " + placeholder(option->get_type_name());
    if (option->get_expected_max() > 1)
        opts += ",...";
    return option->get_required() ? opts + " (required)" : opts;
}

std::string HelpFormatter::make_option_desc(const CLI::Option* option) const {
    std::string text = option->get_description();
    std::string fallback = option->get_default_str();
    if (fallback.size() > 1 && fallback.front() == '[' && fallback.back() == ']') // a list
        fallback = fallback.substr(1, fallback.size() - 2);
    // A default stated in the description is not repeated.
    if (option->get_type_size() != 0 && option->get_expected_max() != 0 && !fallback.empty() &&
        text.find("default") == std::string::npos)
        text += " [default: " + fallback + "]";
    return text;
}

} // namespace gradix
