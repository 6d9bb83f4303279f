// JsonWriter: builds a JSON document as text, for the tool's --json reports. Keys come out in the
// order they are written, numbers in a fixed form, so the same run gives the same text.
//
//   JsonWriter json;  json.beginObject();  json.key("triangles").value(1498);  json.endObject();
//   std::cout << json.text() << "\n";
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gradix {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(uint64_t number);
    JsonWriter& value(int number);
    JsonWriter& value(unsigned number) { return value(static_cast<uint64_t>(number)); }
    // Up to `decimals` decimals, trailing zeros dropped.
    JsonWriter& value(double number, int decimals = 6);
    JsonWriter& value(bool flag);
    JsonWriter& null();

    const std::string& text() const { return text_; }

private:
    void separate();

    std::string text_;
    std::vector<bool> first_; // per open container: nothing written into it yet
    bool afterKey_ = false;
};

// `number` with at most `decimals` decimals and no trailing zeros ("2.5", "40", "0.125").
std::string formatNumber(double number, int decimals);

} // namespace gradix
