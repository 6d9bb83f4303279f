#include "PlyBinary.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

namespace gxhost {
namespace {

// Byte size and kind of each PLY scalar type, by both of its names.
struct ScalarType {
    int bytes;
    bool isFloat, isSigned;
};

const std::map<std::string, ScalarType>& scalarTypes() {
    static const std::map<std::string, ScalarType> types = {
        {"char", {1, false, true}},    {"int8", {1, false, true}},    {"uchar", {1, false, false}},
        {"uint8", {1, false, false}},  {"short", {2, false, true}},   {"int16", {2, false, true}},
        {"ushort", {2, false, false}}, {"uint16", {2, false, false}}, {"int", {4, false, true}},
        {"int32", {4, false, true}},   {"uint", {4, false, false}},   {"uint32", {4, false, false}},
        {"float", {4, true, true}},    {"float32", {4, true, true}},  {"double", {8, true, true}},
        {"float64", {8, true, true}}};
    return types;
}

struct Property {
    bool list = false;
    ScalarType count{}, item{};
};

struct Element {
    size_t count = 0;
    std::vector<Property> properties;
};

// Appends `token` as a little-endian value of `type` (the machines this builds for are little-endian).
bool put(const std::string& token, const ScalarType& type, std::string& out) {
    char* end = nullptr;
    unsigned char bytes[8];
    if (type.isFloat) {
        const double value = std::strtod(token.c_str(), &end);
        const float single = static_cast<float>(value);
        std::memcpy(bytes, type.bytes == 4 ? static_cast<const void*>(&single) : &value, type.bytes);
    } else {
        const long long value = std::strtoll(token.c_str(), &end, 10);
        const uint64_t raw = static_cast<uint64_t>(value);
        for (int b = 0; b < type.bytes; ++b)
            bytes[b] = static_cast<unsigned char>(raw >> (8 * b));
    }
    if (token.empty() || *end != '\0')
        return false;
    out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(type.bytes));
    return true;
}

} // namespace

bool asciiPlyToBinary(const std::string& text, std::string& binary, std::string& problem) {
    std::istringstream in(text);
    std::string line;
    std::vector<Element> elements;
    binary.clear();
    auto typeOf = [&](const std::string& name, ScalarType& type) {
        const auto found = scalarTypes().find(name);
        if (found == scalarTypes().end())
            return false;
        type = found->second;
        return true;
    };
    while (std::getline(in, line) && line != "end_header") {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "format") {
            line = "format binary_little_endian 1.0";
        } else if (word == "element") {
            std::string name;
            elements.emplace_back();
            words >> name >> elements.back().count;
        } else if (word == "property" && !elements.empty()) {
            Property property;
            std::string type, count, item;
            words >> type;
            property.list = type == "list";
            const bool known = property.list ? (words >> count >> item,
                                                typeOf(count, property.count) && typeOf(item, property.item))
                                             : typeOf(type, property.item);
            if (!known) {
                problem = "PLY property type not understood: " + line;
                return false;
            }
            elements.back().properties.push_back(property);
        }
        binary += line + "\n";
    }
    if (line != "end_header") {
        problem = "the PLY header has no end_header line";
        return false;
    }
    binary += "end_header\n";
    std::string token;
    for (const Element& element : elements)
        for (size_t i = 0; i < element.count; ++i)
            for (const Property& property : element.properties) {
                long long items = 1;
                bool fits = true;
                if (property.list) {
                    fits = in >> token && put(token, property.count, binary);
                    items = std::atoll(token.c_str());
                }
                for (long long k = 0; fits && k < items; ++k)
                    fits = in >> token && put(token, property.item, binary);
                if (!fits) {
                    problem = "PLY data does not match its header";
                    return false;
                }
            }
    if (in >> token) {
        problem = "PLY data longer than its header declares";
        return false;
    }
    return true;
}

} // namespace gxhost
