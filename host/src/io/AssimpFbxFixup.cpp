#include "AssimpFbxFixup.h"

#include <cstring>

namespace gxhost {
namespace {

constexpr size_t kHeaderSize = 27; // "Kaydara FBX Binary  \0\x1a\0" and the version
constexpr size_t kRecordHead = 25; // three u64 and the name length
constexpr size_t kNullRecord = 25;
constexpr size_t kFooterId = 16;
constexpr size_t kFooterMagic = 16;

uint64_t readLE(const std::vector<uint8_t>& d, size_t at, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | d[at + i];
    }
    return v;
}

void writeLE(std::vector<uint8_t>& d, size_t at, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        d[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

void appendLE(std::vector<uint8_t>& d, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        d.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

class Rewriter {
public:
    Rewriter(const std::vector<uint8_t>& in, const std::vector<std::vector<std::string>>& uvSetNames)
        : in_(in), uvSetNames_(uvSetNames) {}

    // Copies the records in [pos, end) to `out`, closing every child list with a null record.
    // `parent` is the enclosing record's name and `parentIndex` its leading integer property.
    bool copyRecords(size_t pos, size_t end, const std::string& parent, int64_t parentIndex,
                     std::vector<uint8_t>& out) {
        while (pos < end) {
            if (end - pos < kRecordHead) {
                return false;
            }
            const uint64_t recordEnd = readLE(in_, pos, 8);
            const uint64_t propertyCount = readLE(in_, pos + 8, 8);
            const uint64_t propertyBytes = readLE(in_, pos + 16, 8);
            const size_t headEnd = pos + kRecordHead + in_[pos + 24];
            if (recordEnd <= pos || recordEnd > end || headEnd > recordEnd ||
                propertyBytes > recordEnd - headEnd) {
                return false;
            }
            const std::string name(in_.begin() + static_cast<long>(pos + kRecordHead),
                                   in_.begin() + static_cast<long>(headEnd));
            const size_t childrenStart = headEnd + static_cast<size_t>(propertyBytes);
            if (name == "Geometry" && parent == "Objects") {
                ++geometry_;
            }
            const size_t start = out.size();
            const std::string* uvName = uvLayerName(name, parent, parentIndex);
            if (uvName && propertyCount == 1) {
                // A single string property: 'S', u32 length, bytes.
                out.insert(out.end(), in_.begin() + static_cast<long>(pos),
                           in_.begin() + static_cast<long>(headEnd));
                writeLE(out, start + 16, 5 + uvName->size(), 8);
                out.push_back('S');
                appendLE(out, uvName->size(), 4);
                out.insert(out.end(), uvName->begin(), uvName->end());
            } else {
                out.insert(out.end(), in_.begin() + static_cast<long>(pos),
                           in_.begin() + static_cast<long>(childrenStart));
            }
            const bool hasChildren = childrenStart < recordEnd;
            if (hasChildren && !copyRecords(childrenStart, static_cast<size_t>(recordEnd), name,
                                            leadingInteger(headEnd, propertyBytes), out)) {
                return false;
            }
            // FBX writers close child lists, and records with neither properties nor children,
            // with a null record.
            if (hasChildren || propertyCount == 0) {
                out.insert(out.end(), kNullRecord, 0);
            }
            writeLE(out, start, out.size(), 8);
            pos = static_cast<size_t>(recordEnd);
        }
        return true;
    }

    // End of the top-level records: the first position that does not start a plausible record.
    size_t topLevelEnd() const {
        size_t pos = kHeaderSize;
        while (in_.size() - pos >= kRecordHead) {
            const uint64_t recordEnd = readLE(in_, pos, 8);
            if (recordEnd <= pos || recordEnd > in_.size() - kFooterId - kFooterMagic) {
                break;
            }
            pos = static_cast<size_t>(recordEnd);
        }
        return pos;
    }

private:
    // The first property when it is a 32-bit integer ('I'), else -1.
    int64_t leadingInteger(size_t at, uint64_t propertyBytes) const {
        if (propertyBytes < 5 || in_[at] != 'I') {
            return -1;
        }
        return static_cast<int32_t>(readLE(in_, at + 1, 4));
    }

    const std::string* uvLayerName(const std::string& name, const std::string& parent, int64_t layer) const {
        if (name != "Name" || parent != "LayerElementUV" || geometry_ < 0 || layer < 0 ||
            static_cast<size_t>(geometry_) >= uvSetNames_.size() ||
            static_cast<size_t>(layer) >= uvSetNames_[geometry_].size()) {
            return nullptr;
        }
        return &uvSetNames_[geometry_][layer];
    }

    const std::vector<uint8_t>& in_;
    const std::vector<std::vector<std::string>>& uvSetNames_;
    int64_t geometry_ = -1;
};

} // namespace

bool fixAssimpBinaryFbx(std::vector<uint8_t>& data, const std::vector<std::vector<std::string>>& uvSetNames,
                        std::string& problem) {
    static const char kMagic[] = "Kaydara FBX Binary  ";
    if (data.size() < kHeaderSize + kFooterId + kFooterMagic || std::memcmp(data.data(), kMagic, 20) != 0) {
        problem = "the FBX writer did not produce a binary FBX file";
        return false;
    }
    const uint64_t version = readLE(data, 23, 4);
    if (version < 7500) {
        problem = "unexpected FBX version " + std::to_string(version);
        return false;
    }
    Rewriter rewriter(data, uvSetNames);
    const size_t end = rewriter.topLevelEnd();
    if (data.size() - end < kFooterId + kFooterMagic) {
        problem = "the FBX file has no footer";
        return false;
    }
    std::vector<uint8_t> out(data.begin(), data.begin() + kHeaderSize);
    out.reserve(data.size() + data.size() / 8);
    if (!rewriter.copyRecords(kHeaderSize, end, "", -1, out)) {
        problem = "the FBX writer produced an inconsistent node record";
        return false;
    }
    out.insert(out.end(), kNullRecord, 0);
    // Footer: its id, zero padding to a 16-byte boundary, 4 zero bytes, the version, 120 zero bytes
    // and the closing magic.
    out.insert(out.end(), data.begin() + static_cast<long>(end),
               data.begin() + static_cast<long>(end + kFooterId));
    out.insert(out.end(), 16 - out.size() % 16, 0);
    out.insert(out.end(), 4, 0);
    appendLE(out, version, 4);
    out.insert(out.end(), 120, 0);
    out.insert(out.end(), data.end() - kFooterMagic, data.end());
    data.swap(out);
    return true;
}

} // namespace gxhost
