#include "GltfDocument.h"

#include "FileBytes.h"
#include "TempFileIOSystem.h"

#include <cmath>
#include <cstring>
#include <fstream>

namespace gxhost {
namespace {

using nlohmann::json;

int componentsOf(const std::string& type) {
    static const std::pair<const char*, int> kinds[] = {{"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4},
                                                        {"MAT2", 4},   {"MAT3", 9}, {"MAT4", 16}};
    for (const auto& kind : kinds)
        if (type == kind.first)
            return kind.second;
    return 0;
}

int sizeOf(int componentType) {
    switch (componentType) {
    case 5120:
    case 5121:
        return 1;
    case 5122:
    case 5123:
        return 2;
    case 5125:
    case 5126:
        return 4;
    default:
        return 0;
    }
}

double readComponent(const uint8_t* p, int componentType, bool normalized) {
    switch (componentType) {
    case 5120: {
        int8_t v;
        std::memcpy(&v, p, 1);
        return normalized ? std::max(v / 127.0, -1.0) : v;
    }
    case 5121:
        return normalized ? p[0] / 255.0 : p[0];
    case 5122: {
        int16_t v;
        std::memcpy(&v, p, 2);
        return normalized ? std::max(v / 32767.0, -1.0) : v;
    }
    case 5123: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return normalized ? v / 65535.0 : v;
    }
    case 5125: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

} // namespace

static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64Encode(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = uint32_t(bytes[i]) << 16 |
                           (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += kBase64[n >> 18 & 63];
        out += kBase64[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
    }
    return out;
}

bool base64Decode(const std::string& text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == '=')
            break;
        const char* at = std::strchr(kBase64, c);
        if (!at || c == 0)
            return false;
        bits = bits << 6 | static_cast<uint32_t>(at - kBase64);
        if (++count == 4) {
            bytes.push_back(static_cast<uint8_t>(bits >> 16));
            bytes.push_back(static_cast<uint8_t>(bits >> 8));
            bytes.push_back(static_cast<uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 3) {
        bytes.push_back(static_cast<uint8_t>(bits >> 10));
        bytes.push_back(static_cast<uint8_t>(bits >> 2));
    } else if (count == 2) {
        bytes.push_back(static_cast<uint8_t>(bits >> 4));
    }
    return true;
}

bool GltfDocument::load(const std::string& path, std::string& error) {
    std::vector<uint8_t> file;
    if (!readFile(path, file)) {
        error = path + ": cannot read the file";
        return false;
    }
    std::vector<uint8_t> chunk;
    std::string text;
    if (file.size() >= 12 && std::memcmp(file.data(), "glTF", 4) == 0) {
        size_t at = 12;
        while (at + 8 <= file.size()) {
            const uint32_t length = le32(&file[at]), type = le32(&file[at + 4]);
            if (at + 8 + length > file.size())
                break;
            if (type == 0x4E4F534A)
                text.assign(reinterpret_cast<const char*>(&file[at + 8]), length);
            else if (type == 0x004E4942)
                chunk.assign(file.begin() + static_cast<long>(at + 8),
                             file.begin() + static_cast<long>(at + 8 + length));
            at += 8 + length;
        }
    } else {
        text.assign(file.begin(), file.end());
    }
    asset = json::parse(text, nullptr, false);
    if (asset.is_discarded() || !asset.is_object()) {
        error = path + ": the glTF JSON cannot be read";
        return false;
    }
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    buffers.clear();
    for (const json& buffer : asset.value("buffers", json::array())) {
        std::vector<uint8_t> bytes;
        const std::string uri = buffer.value("uri", "");
        if (uri.empty()) {
            bytes = chunk;
        } else if (uri.compare(0, 5, "data:") == 0) {
            const size_t comma = uri.find(',');
            if (comma == std::string::npos || !base64Decode(uri.substr(comma + 1), bytes)) {
                error = path + ": a buffer's data URI cannot be decoded";
                return false;
            }
        } else {
            allBuffersEmbedded = false;
            if (!readFile(folder + uri, bytes)) {
                error = path + ": cannot read the buffer '" + uri + "'";
                return false;
            }
        }
        if (bytes.size() < buffer.value("byteLength", size_t(0))) {
            error = path + ": a buffer is shorter than its byteLength";
            return false;
        }
        buffers.push_back(std::move(bytes));
    }
    return true;
}

bool GltfDocument::viewBytes(size_t view, std::vector<uint8_t>& bytes, std::string& error) const {
    const json& views = asset.value("bufferViews", json::array());
    if (view >= views.size()) {
        error = "buffer view " + std::to_string(view) + " is missing";
        return false;
    }
    const json& v = views[view];
    const size_t buffer = v.value("buffer", size_t(0)), offset = v.value("byteOffset", size_t(0)),
                 length = v.value("byteLength", size_t(0));
    if (buffer >= buffers.size() || offset + length > buffers[buffer].size()) {
        error = "buffer view " + std::to_string(view) + " lies outside its buffer";
        return false;
    }
    bytes.assign(buffers[buffer].begin() + static_cast<long>(offset),
                 buffers[buffer].begin() + static_cast<long>(offset + length));
    return true;
}

bool GltfDocument::readFloats(size_t accessor, std::vector<float>& values, int& components,
                              std::string& error) const {
    const json& accessors = asset.value("accessors", json::array());
    if (accessor >= accessors.size()) {
        error = "accessor " + std::to_string(accessor) + " is missing";
        return false;
    }
    const json& a = accessors[accessor];
    components = componentsOf(a.value("type", ""));
    const int type = a.value("componentType", 0), size = sizeOf(type);
    const size_t count = a.value("count", size_t(0));
    const bool normalized = a.value("normalized", false);
    if (components == 0 || size == 0) {
        error = "accessor " + std::to_string(accessor) + " has an unknown type";
        return false;
    }
    values.assign(count * static_cast<size_t>(components), 0.0f);
    if (a.contains("bufferView")) {
        std::vector<uint8_t> bytes;
        if (!viewBytes(a["bufferView"].get<size_t>(), bytes, error))
            return false;
        const size_t stride = asset["bufferViews"][a["bufferView"].get<size_t>()].value(
            "byteStride", static_cast<size_t>(components * size));
        const size_t offset = a.value("byteOffset", size_t(0));
        if (count > 0 &&
            offset + (count - 1) * stride + static_cast<size_t>(components * size) > bytes.size()) {
            error = "accessor " + std::to_string(accessor) + " reads past its buffer view";
            return false;
        }
        for (size_t i = 0; i < count; ++i)
            for (int c = 0; c < components; ++c)
                values[i * components + c] = static_cast<float>(readComponent(
                    &bytes[offset + i * stride + static_cast<size_t>(c * size)], type, normalized));
    }
    if (a.contains("sparse")) {
        const json& s = a["sparse"];
        const size_t n = s.value("count", size_t(0));
        std::vector<uint8_t> idx, val;
        if (!viewBytes(s["indices"]["bufferView"].get<size_t>(), idx, error) ||
            !viewBytes(s["values"]["bufferView"].get<size_t>(), val, error))
            return false;
        const int itype = s["indices"].value("componentType", 5125), isize = sizeOf(itype);
        const size_t ioff = s["indices"].value("byteOffset", size_t(0)),
                     voff = s["values"].value("byteOffset", size_t(0));
        if (ioff + n * isize > idx.size() || voff + n * components * size > val.size()) {
            error = "accessor " + std::to_string(accessor) + ": sparse data past its buffer view";
            return false;
        }
        for (size_t k = 0; k < n; ++k) {
            const size_t i = static_cast<size_t>(readComponent(&idx[ioff + k * isize], itype, false));
            if (i >= count)
                continue;
            for (int c = 0; c < components; ++c)
                values[i * components + c] = static_cast<float>(
                    readComponent(&val[voff + (k * components + c) * size], type, normalized));
        }
    }
    return true;
}

bool GltfDocument::readIndices(size_t accessor, std::vector<uint32_t>& values, std::string& error) const {
    std::vector<float> raw;
    int components = 0;
    // Indices are at most 32-bit integers; through a float they stay exact below 2^24 vertices.
    if (!readFloats(accessor, raw, components, error))
        return false;
    values.assign(raw.size(), 0);
    for (size_t i = 0; i < raw.size(); ++i)
        values[i] = static_cast<uint32_t>(raw[i]);
    return true;
}

bool writeGltfFile(const std::string& path, bool binary, nlohmann::json doc, const std::vector<uint8_t>& bin,
                   bool embedBuffer, std::string& error) {
    TempFileSet files(path);
    auto put = [&](const std::string& target, const std::string& head, const std::vector<uint8_t>& body) {
        FILE* f = files.create(target);
        if (!f) {
            error = path + ": " + files.lastError();
            return false;
        }
        // (An empty vector's data() may be null, which fwrite must not be given even for no bytes.)
        const bool ok = fwrite(head.data(), 1, head.size(), f) == head.size() &&
                        (body.empty() || fwrite(body.data(), 1, body.size(), f) == body.size());
        if (fclose(f) != 0 || !ok) {
            error = path + ": cannot write '" + target + "'";
            return false;
        }
        return true;
    };
    doc.erase("buffers");
    if (!bin.empty()) {
        json buffer = {{"byteLength", bin.size()}};
        std::string binPath;
        if (!binary && embedBuffer) {
            buffer["uri"] = "data:application/octet-stream;base64," + base64Encode(bin);
        } else if (!binary) {
            const size_t slash = path.find_last_of('/'), dot = path.find_last_of('.');
            const size_t start = slash == std::string::npos ? 0 : slash + 1;
            const std::string name =
                path.substr(start,
                            dot == std::string::npos || dot < start ? std::string::npos : dot - start) +
                ".bin";
            buffer["uri"] = name;
            if (!put(path.substr(0, start) + name, "", bin))
                return false;
        }
        doc["buffers"] = json::array({buffer});
    }
    std::string text = doc.dump();
    if (!binary) {
        if (!put(path, text, {}))
            return false;
    } else {
        while (text.size() % 4)
            text += ' ';
        std::vector<uint8_t> body(bin);
        while (body.size() % 4)
            body.push_back(0);
        const size_t total = 12 + 8 + text.size() + (body.empty() ? 0 : 8 + body.size());
        std::string head;
        auto add32 = [&](uint32_t v) {
            for (int k = 0; k < 4; ++k)
                head += static_cast<char>(v >> (8 * k) & 0xFF);
        };
        head += "glTF";
        add32(2);
        add32(static_cast<uint32_t>(total));
        add32(static_cast<uint32_t>(text.size()));
        add32(0x4E4F534A);
        head += text;
        if (!body.empty()) {
            add32(static_cast<uint32_t>(body.size()));
            add32(0x004E4942);
        }
        if (!put(path, head, body))
            return false;
    }
    std::string problem;
    if (!files.commit(problem)) {
        error = path + ": " + problem;
        return false;
    }
    return true;
}

} // namespace gxhost
