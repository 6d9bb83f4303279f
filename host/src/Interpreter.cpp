#include "Interpreter.h"

#include "Scene.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include <memory>
#include <sstream>

namespace gxhost {

bool splitLine(const std::string& line, std::vector<std::vector<std::string>>& commands, std::string& error) {
    commands.assign(1, {});
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size()) {
                char e = line[++i];
                word += e == 'n' ? '\n' : (e == 't' ? '\t' : e);
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
            continue;
        }
        if (c == '/' && i + 1 < line.size() && line[i + 1] == '/')
            break;
        if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == ';') {
            if (inWord)
                commands.back().push_back(word);
            word.clear();
            inWord = false;
            if (c == ';' && !commands.back().empty())
                commands.emplace_back();
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        error = "unterminated string";
        return false;
    }
    if (inWord)
        commands.back().push_back(word);
    if (commands.back().empty())
        commands.pop_back();
    return true;
}

namespace {

// Runs one command; its error text (if the command gives one) goes to `error`.
MStatus runCommand(const std::vector<std::string>& words, std::vector<std::string>& result,
                   std::string& error) {
    Scene& scene = Scene::get();
    Command* command = scene.findCommand(words[0]);
    if (!command) {
        error = "Cannot find procedure \"" + words[0] + "\".";
        return MStatus::kNotFound;
    }
    std::vector<std::string> args(words.begin() + 1, words.end());
    if (command->builtin)
        return command->builtin(args, result, error);
    scene.commandResult.clear();
    std::unique_ptr<MPxCommand> instance(command->create ? command->create() : nullptr);
    if (!instance) {
        error = "Couldn't create the command '" + words[0] + "'";
        return MStatus::kFailure;
    }
    MArgList list;
    for (const std::string& a : args)
        list.addArg(MString(a));
    MStatus status = instance->doIt(list);
    result = scene.commandResult;
    return status;
}

} // namespace

MStatus runScript(const std::string& text, const std::string& sourceName, std::vector<std::string>* result) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::vector<std::vector<std::string>> commands;
        std::string error;
        auto where = [&]() {
            return sourceName.empty() ? std::string() : sourceName + ":" + std::to_string(number) + ": ";
        };
        if (!splitLine(line, commands, error)) {
            MGlobal::displayError(MString(where() + error));
            return MStatus::kInvalidParameter;
        }
        for (const auto& words : commands) {
            std::vector<std::string> out;
            error.clear();
            MStatus status = runCommand(words, out, error);
            if (!status) {
                std::string text = where() + words[0] + ": " +
                                   (error.empty() ? "failed with " + status.errorString().str() : error);
                MGlobal::displayError(MString(text));
                return status;
            }
            if (result)
                *result = out;
        }
    }
    return MStatus::kSuccess;
}

} // namespace gxhost
