#include "Scene.h"

#include <maya/MPxCommand.h>

using gxhost::Scene;

MStatus MPxCommand::undoIt() {
    return MStatus::kFailure;
}
MStatus MPxCommand::redoIt() {
    return MStatus::kFailure;
}

void MPxCommand::clearResult() {
    Scene::get().commandResult.clear();
}

void MPxCommand::setResult(const MString& result) {
    Scene::get().commandResult = {result.str()};
}
void MPxCommand::setResult(int result) {
    Scene::get().commandResult = {std::to_string(result)};
}
void MPxCommand::setResult(double result) {
    Scene::get().commandResult = {gxFormatDouble(result)};
}
void MPxCommand::setResult(bool result) {
    Scene::get().commandResult = {result ? "1" : "0"};
}
void MPxCommand::appendToResult(const MString& result) {
    Scene::get().commandResult.push_back(result.str());
}
void MPxCommand::appendToResult(int result) {
    Scene::get().commandResult.push_back(std::to_string(result));
}
void MPxCommand::appendToResult(double result) {
    Scene::get().commandResult.push_back(gxFormatDouble(result));
}
