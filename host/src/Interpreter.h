// Interpreter: runs command text. A line holds one command (`;` may separate more); words are split
// at blanks, double quotes group words (with \" and \\ escapes), `//` starts a comment.
#pragma once

#include <maya/MStatus.h>

#include <string>
#include <vector>

namespace gxhost {

// Splits one line into commands of words; false with an error text on an unterminated quote.
bool splitLine(const std::string& line, std::vector<std::vector<std::string>>& commands, std::string& error);

// Runs every line of `text`. An error is shown as one line naming the source and line number (or
// just the command when sourceName is empty) and stops the run.
MStatus runScript(const std::string& text, const std::string& sourceName, std::vector<std::string>* result);

} // namespace gxhost
