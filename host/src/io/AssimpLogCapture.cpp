#include "AssimpLogCapture.h"

#include <assimp/DefaultLogger.hpp>
#include <assimp/LogStream.hpp>

namespace gxhost {

class AssimpLogCapture::Stream : public Assimp::LogStream {
public:
    explicit Stream(std::vector<std::string>& messages) : messages_(messages) {}
    void write(const char* message) override { messages_.emplace_back(message); }

private:
    std::vector<std::string>& messages_;
};

namespace {
constexpr unsigned kSeverities = Assimp::Logger::Warn | Assimp::Logger::Err;
}

AssimpLogCapture::AssimpLogCapture()
    : stream_(new Stream(messages_)), ownsLogger_(Assimp::DefaultLogger::isNullLogger()) {
    if (ownsLogger_) {
        Assimp::DefaultLogger::create("", Assimp::Logger::NORMAL, 0);
    }
    Assimp::DefaultLogger::get()->attachStream(stream_, kSeverities);
}

AssimpLogCapture::~AssimpLogCapture() {
    // Detaching hands the stream back to us; killing the logger would otherwise delete it.
    Assimp::DefaultLogger::get()->detachStream(stream_, kSeverities);
    delete stream_;
    if (ownsLogger_) {
        Assimp::DefaultLogger::kill();
    }
}

bool AssimpLogCapture::droppedOutOfRangeFaces() const {
    for (const std::string& m : messages_) {
        if (m.find("out-of-range indices") != std::string::npos ||
            m.find("indices out of range") != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace gxhost
