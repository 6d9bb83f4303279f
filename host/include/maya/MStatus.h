// MStatus: the result of every host call. Codes follow the host application's numbering.
#pragma once

#include <iosfwd>

class MString;

class MStatus {
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure = 1,
        kInsufficientMemory = 2,
        kInvalidParameter = 3,
        kLicenseFailure = 4,
        kUnknownParameter = 5,
        kNotImplemented = 6,
        kNotFound = 7,
        kEndOfFile = 8
    };

    MStatus() = default;
    MStatus(MStatusCode code) : code_(code) {}

    bool error() const { return code_ != kSuccess; }
    void clear() { code_ = kSuccess; }
    MStatusCode statusCode() const { return code_; }
    // The host's text for the code, for example "(kFailure): Unexpected Internal Failure".
    MString errorString() const;
    void perror(const MString& prefix) const;

    explicit operator bool() const { return code_ == kSuccess; }
    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator!=(MStatusCode code) const { return code_ != code; }

private:
    MStatusCode code_ = kSuccess;
};

std::ostream& operator<<(std::ostream& os, const MStatus& status);

namespace MS {
using MStatusCode = MStatus::MStatusCode;
constexpr MStatus::MStatusCode kSuccess = MStatus::kSuccess;
constexpr MStatus::MStatusCode kFailure = MStatus::kFailure;
constexpr MStatus::MStatusCode kInsufficientMemory = MStatus::kInsufficientMemory;
constexpr MStatus::MStatusCode kInvalidParameter = MStatus::kInvalidParameter;
constexpr MStatus::MStatusCode kLicenseFailure = MStatus::kLicenseFailure;
constexpr MStatus::MStatusCode kUnknownParameter = MStatus::kUnknownParameter;
constexpr MStatus::MStatusCode kNotImplemented = MStatus::kNotImplemented;
constexpr MStatus::MStatusCode kNotFound = MStatus::kNotFound;
constexpr MStatus::MStatusCode kEndOfFile = MStatus::kEndOfFile;
} // namespace MS
