// HelpFormatter: --help as a user reads it. Each option shows its names, a placeholder for its value
// (the choices when there are a few: "front|back|side"), its description, and its default once; none
// of the parser's own notation (types, ranges, "{false}" flag defaults, exclusions) shows.
//
//   app.formatter(std::make_shared<HelpFormatter>());   // before adding subcommands: they inherit it
#pragma once

#include <CLI/CLI.hpp>

namespace gradix {

class HelpFormatter : public CLI::Formatter {
public:
    HelpFormatter() { column_width(34); }
    std::string make_option_name(const CLI::Option* option, bool positional) const override;
    std::string make_option_opts(const CLI::Option* option) const override;
    std::string make_option_desc(const CLI::Option* option) const override;

    // "FLOAT:NUMBER in [0 - 100]" -> "NUMBER"; "TEXT:{front,back}" -> "front|back";
    // "INT:value in {avg->0,max->1} OR {0,1}" -> "avg|max".
    static std::string placeholder(const std::string& typeName);
};

} // namespace gradix
