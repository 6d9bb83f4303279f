#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

std::string gxFormatDouble(double value) {
    char buffer[64];
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        return std::string(buffer) == "-0" ? "0" : buffer;
    }
    for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    return buffer;
}

MString& MString::operator=(const char* text) {
    s_ = text ? text : "";
    return *this;
}
MString& MString::operator+=(const MString& other) {
    s_ += other.s_;
    return *this;
}
MString& MString::operator+=(const char* other) {
    s_ += other ? other : "";
    return *this;
}
MString& MString::operator+=(double value) {
    s_ += gxFormatDouble(value);
    return *this;
}
MString& MString::operator+=(int value) {
    s_ += std::to_string(value);
    return *this;
}
MString& MString::operator+=(unsigned int value) {
    s_ += std::to_string(value);
    return *this;
}
MString MString::operator+(const MString& other) const {
    return MString(s_ + other.s_);
}
MString MString::operator+(const char* other) const {
    return MString(s_ + (other ? other : ""));
}
MString MString::operator+(double value) const {
    return MString(s_ + gxFormatDouble(value));
}
MString MString::operator+(int value) const {
    return MString(s_ + std::to_string(value));
}
MString MString::operator+(unsigned int value) const {
    return MString(s_ + std::to_string(value));
}

MString operator+(const char* left, const MString& right) {
    return MString(left) + right;
}

std::ostream& operator<<(std::ostream& os, const MString& s) {
    return os << s.str();
}

MStatus MString::set(const char* text) {
    s_ = text ? text : "";
    return MStatus::kSuccess;
}

MStatus MString::split(char separator, MStringArray& parts) const {
    parts.clear();
    std::string current;
    for (char c : s_) {
        if (c == separator) {
            if (!current.empty())
                parts.append(MString(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        parts.append(MString(current));
    return MStatus::kSuccess;
}

MString MString::substring(int start, int end) const {
    int n = static_cast<int>(s_.size());
    start = std::max(start, 0);
    end = std::min(end, n - 1);
    if (start > end)
        return MString();
    return MString(s_.substr(static_cast<size_t>(start), static_cast<size_t>(end - start + 1)));
}

int MString::index(char c) const {
    size_t p = s_.find(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int MString::rindex(char c) const {
    size_t p = s_.rfind(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

MString MString::toLowerCase() const {
    std::string r = s_;
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return std::tolower(c); });
    return MString(r);
}

MString MString::toUpperCase() const {
    std::string r = s_;
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return std::toupper(c); });
    return MString(r);
}

bool MString::isInt() const {
    if (s_.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s_.c_str(), &end, 10);
    return *end == '\0' && errno == 0 && v >= -2147483647L - 1 && v <= 2147483647L;
}

bool MString::isDouble() const {
    if (s_.empty() || std::isspace(static_cast<unsigned char>(s_[0])))
        return false;
    char* end = nullptr;
    std::strtod(s_.c_str(), &end);
    return *end == '\0';
}

int MString::asInt() const {
    return isInt() ? static_cast<int>(std::strtol(s_.c_str(), nullptr, 10)) : 0;
}

double MString::asDouble() const {
    return isDouble() ? std::strtod(s_.c_str(), nullptr) : 0.0;
}
