#include "BatchRecipe.h"

#include <CLI/CLI.hpp>
#include <toml++/toml.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace gradix {
namespace {

using nlohmann::json;

// Target keys and the subcommand each belongs to; one recipe (after overrides) names one target.
const std::vector<std::pair<std::string, std::string>> kTargets = {
    {"levels", "lods"},        {"errors", "lods"},       {"percent", "simplify"},
    {"triangles", "simplify"}, {"vertices", "simplify"}, {"max-error", "simplify"},
};
const std::vector<std::string> kDefaultExtensions = {"glb", "gltf", "fbx", "obj", "ply",
                                                     "dae", "3ds",  "stl", "off"};

bool isTarget(const std::string& key) {
    return std::any_of(kTargets.begin(), kTargets.end(), [&](const auto& t) { return t.first == key; });
}

std::string valueText(const json& value) {
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_array()) {
        std::string text;
        for (const json& item : value)
            text += (text.empty() ? "" : ",") + valueText(item);
        return text;
    }
    return value.dump();
}

// `over` laid on `recipe`: a target in `over` replaces the target, settings merge key by key.
void overlay(json& recipe, const json& over) {
    const bool newTarget = std::any_of(over.items().begin(), over.items().end(),
                                       [](const auto& item) { return isTarget(item.key()); });
    if (newTarget)
        for (const auto& target : kTargets)
            recipe.erase(target.first);
    for (const auto& item : over.items()) {
        if (item.key() == "settings")
            for (const auto& setting : item.value().items())
                recipe["settings"][setting.key()] = setting.value();
        else if (item.key() != "folders")
            recipe[item.key()] = item.value();
    }
}

} // namespace

bool BatchRecipe::load(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot read the recipe";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    json recipe;
    const std::string extension = path.size() > 5 ? path.substr(path.size() - 5) : "";
    if (extension == ".toml") {
        try {
            std::stringstream asJson;
            asJson << toml::json_formatter{toml::parse(text.str(), path)};
            recipe = json::parse(asJson.str());
        } catch (const toml::parse_error& e) {
            error = path + ":" + std::to_string(e.source().begin.line) + ": " + std::string(e.description());
            return false;
        }
    } else if (extension == ".json") {
        recipe = json::parse(text.str(), nullptr, false);
        if (recipe.is_discarded() || !recipe.is_object()) {
            error = path + ": not a JSON object";
            return false;
        }
    } else {
        error = path + ": a recipe is a .toml or .json file";
        return false;
    }
    if (!check(recipe, path, error))
        return false;
    if (recipe.contains("folders")) {
        if (!recipe["folders"].is_object()) {
            error = path + ": 'folders' is a table of folder names";
            return false;
        }
        for (const auto& folder : recipe["folders"].items())
            if (!folder.value().is_object() ||
                !check(folder.value(), path + ": folders." + folder.key(), error)) {
                if (error.empty())
                    error = path + ": folders." + folder.key() + " is not a table";
                return false;
            }
    }
    overlay(base_, recipe);
    if (recipe.contains("folders"))
        base_["folders"] = recipe["folders"];
    return true;
}

bool BatchRecipe::check(const json& recipe, const std::string& where, std::string& error) const {
    for (const auto& item : recipe.items()) {
        const std::string& key = item.key();
        const bool known = isTarget(key) || key == "format" || key == "settings" || key == "extensions" ||
                           (key == "folders" && where.find("folders.") == std::string::npos);
        if (!known) {
            error = where + ": unknown key '" + key + "'";
            return false;
        }
        if (key == "settings" && !item.value().is_object()) {
            error = where + ": 'settings' is a table of option names and values";
            return false;
        }
    }
    return true;
}

void BatchRecipe::set(const std::string& key, const json& value) {
    overlay(base_, json{{key, value}});
}

void BatchRecipe::setSetting(const std::string& name, const json& value) {
    base_["settings"][name] = value;
}

std::vector<std::string> BatchRecipe::extensions() const {
    if (!base_.contains("extensions"))
        return kDefaultExtensions;
    std::vector<std::string> list;
    for (const json& item : base_["extensions"]) {
        std::string extension = valueText(item);
        if (!extension.empty() && extension[0] == '.')
            extension.erase(0, 1);
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        list.push_back(extension);
    }
    return list;
}

bool BatchRecipe::plan(const std::string& relative, const CLI::App& tool, AssetPlan& plan,
                       std::string& error) const {
    json recipe = base_;
    recipe.erase("folders");
    recipe.erase("extensions");
    if (base_.contains("folders")) {
        // Shallower folders first, so the deepest folder holding the asset has the last word.
        std::vector<std::string> folders;
        for (const auto& folder : base_["folders"].items())
            folders.push_back(folder.key());
        std::sort(folders.begin(), folders.end(),
                  [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        for (std::string folder : folders) {
            const json& over = base_["folders"][folder];
            while (!folder.empty() && folder.back() == '/')
                folder.pop_back();
            if (folder.empty() || relative.compare(0, folder.size() + 1, folder + "/") == 0)
                overlay(recipe, over);
        }
    }
    if (!std::any_of(kTargets.begin(), kTargets.end(),
                     [&](const auto& t) { return recipe.contains(t.first); }))
        recipe["levels"] = json::array({50, 25, 10});

    plan = AssetPlan();
    for (const auto& [key, command] : kTargets)
        if (recipe.contains(key)) {
            if (!plan.command.empty() && plan.command != command) {
                error = relative + ": the recipe asks for both '" + key + "' (" + command +
                        ") and a target of " + plan.command;
                return false;
            }
            plan.command = command;
        }
    const CLI::App* sub = nullptr;
    for (const CLI::App* candidate : tool.get_subcommands([](const CLI::App*) { return true; }))
        if (candidate->get_name() == plan.command)
            sub = candidate;
    auto option = [&](const std::string& name, const std::string& origin) {
        if (sub && sub->get_option_no_throw("--" + name))
            return true;
        error = relative + ": " + origin + " '" + name + "' is not an option of gradix " + plan.command;
        return false;
    };
    for (const auto& [key, command] : kTargets)
        if (recipe.contains(key)) {
            if (!option(key, "target"))
                return false;
            plan.args.insert(plan.args.end(), {"--" + key, valueText(recipe[key])});
        }
    if (recipe.contains("format"))
        plan.format = valueText(recipe["format"]);
    if (recipe.contains("settings"))
        for (const auto& setting : recipe["settings"].items()) {
            const std::string& name = setting.key();
            if (name == "output" || name == "format" || isTarget(name)) {
                error = relative + ": '" + name + "' belongs at the top of the recipe, not in its settings";
                return false;
            }
            if (!option(name, "setting"))
                return false;
            if (setting.value().is_boolean()) {
                if (setting.value().get<bool>())
                    plan.args.push_back("--" + name);
                else if (name.compare(0, 3, "no-") != 0)
                    plan.args.push_back("--no-" + name);
            } else {
                plan.args.insert(plan.args.end(), {"--" + name, valueText(setting.value())});
            }
        }
    plan.canonical = plan.command + " " + recipe.dump();
    return true;
}

} // namespace gradix
