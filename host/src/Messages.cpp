// The message sink behind MGlobal::displayInfo/Warning/Error.
#include <gxhost/Host.h>

#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include <iostream>

namespace gxhost {
namespace {

MessageSink& currentSink() {
    static MessageSink sink;
    return sink;
}

void show(Severity severity, const std::string& text) {
    const MessageSink& sink = currentSink();
    if (sink) {
        sink(severity, text);
        return;
    }
    const char* prefix =
        severity == Severity::Error ? "Error: " : (severity == Severity::Warning ? "Warning: " : "");
    std::cerr << prefix << text << std::endl;
}

} // namespace

MessageSink setMessageSink(MessageSink sink) {
    MessageSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

MessageCapture::MessageCapture() {
    previous_ = setMessageSink([this](Severity s, const std::string& t) { messages_.push_back({s, t}); });
}

MessageCapture::~MessageCapture() {
    setMessageSink(std::move(previous_));
}

std::vector<std::string> MessageCapture::texts(Severity severity) const {
    std::vector<std::string> out;
    for (const Message& m : messages_)
        if (m.severity == severity)
            out.push_back(m.text);
    return out;
}

} // namespace gxhost

void MGlobal::displayInfo(const MString& theMessage) {
    gxhost::show(gxhost::Severity::Info, theMessage.str());
}
void MGlobal::displayWarning(const MString& theWarning) {
    gxhost::show(gxhost::Severity::Warning, theWarning.str());
}
void MGlobal::displayError(const MString& theError) {
    gxhost::show(gxhost::Severity::Error, theError.str());
}

void MPxCommand::displayInfo(const MString& message) {
    MGlobal::displayInfo(message);
}
void MPxCommand::displayWarning(const MString& message) {
    MGlobal::displayWarning(message);
}
void MPxCommand::displayError(const MString& message) {
    MGlobal::displayError(message);
}
