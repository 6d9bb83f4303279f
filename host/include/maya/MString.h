// MString: the host's string class, a plain value holding UTF-8 text.
#pragma once

#include <maya/MStatus.h>

#include <iosfwd>
#include <string>

class MStringArray;

class MString {
public:
    MString() = default;
    MString(const char* text) : s_(text ? text : "") {}
    MString(const char* text, int length) : s_(text ? std::string(text, static_cast<size_t>(length)) : "") {}
    MString(const std::string& text) : s_(text) {}

    const char* asChar() const { return s_.c_str(); }
    const std::string& str() const { return s_; }
    unsigned int length() const { return static_cast<unsigned int>(s_.size()); }
    unsigned int numChars() const { return length(); }
    bool isEmpty() const { return s_.empty(); }
    void clear() { s_.clear(); }

    MString& operator=(const char* text);
    MString& operator+=(const MString& other);
    MString& operator+=(const char* other);
    MString& operator+=(double value);
    MString& operator+=(int value);
    MString& operator+=(unsigned int value);
    MString operator+(const MString& other) const;
    MString operator+(const char* other) const;
    MString operator+(double value) const;
    MString operator+(int value) const;
    MString operator+(unsigned int value) const;

    bool operator==(const MString& other) const { return s_ == other.s_; }
    bool operator==(const char* other) const { return s_ == (other ? other : ""); }
    bool operator!=(const MString& other) const { return s_ != other.s_; }
    bool operator!=(const char* other) const { return !(*this == other); }
    bool operator<(const MString& other) const { return s_ < other.s_; }

    MStatus set(const char* text);
    MStatus split(char separator, MStringArray& parts) const;
    MString substring(int start, int end) const;
    int index(char c) const;
    int rindex(char c) const;
    MString toLowerCase() const;
    MString toUpperCase() const;

    bool isInt() const;
    bool isDouble() const;
    bool isShort() const { return isInt(); }
    bool isFloat() const { return isDouble(); }
    int asInt() const;
    short asShort() const { return static_cast<short>(asInt()); }
    double asDouble() const;
    float asFloat() const { return static_cast<float>(asDouble()); }

private:
    std::string s_;
};

MString operator+(const char* left, const MString& right);
std::ostream& operator<<(std::ostream& os, const MString& s);

// The host's conversion of a double to text: whole numbers print without a fraction ("12"), other
// values with the fewest digits that read back to the same double.
std::string gxFormatDouble(double value);
