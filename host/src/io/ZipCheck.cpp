#include "ZipCheck.h"

#include "FileBytes.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace gxhost {
namespace {

const uint32_t LOCAL_HEADER = 0x04034b50, CENTRAL_HEADER = 0x02014b50, DIRECTORY_END = 0x06054b50;

// The checksum and length of an entry's data, inflated when `method` is deflate (8); stops early
// once the data grows past `most` bytes.
bool unpack(const unsigned char* data, uint32_t packed, uint32_t method, uint64_t most, uint32_t& crc,
            uint64_t& length) {
    crc = crc32(0, nullptr, 0);
    if (method == 0) {
        crc = crc32(crc, data, packed);
        length = packed;
        return true;
    }
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = const_cast<unsigned char*>(data);
    z.avail_in = packed;
    std::vector<unsigned char> out(1 << 16);
    int status = Z_OK;
    length = 0;
    while (status == Z_OK && length <= most) {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        status = inflate(&z, Z_NO_FLUSH);
        const size_t made = out.size() - z.avail_out;
        crc = crc32(crc, out.data(), static_cast<uInt>(made));
        length += made;
    }
    inflateEnd(&z);
    return status == Z_STREAM_END || length > most;
}

} // namespace

bool checkZipArchive(const std::string& path, std::string& problem) {
    std::vector<uint8_t> bytes;
    if (!readFile(path, bytes) || bytes.size() < 4 || le32(bytes.data()) != LOCAL_HEADER)
        return true;
    auto damaged = [&](const std::string& what) {
        problem = "damaged zip archive: " + what;
        return false;
    };
    // The directory's end record sits in the last 22 bytes plus at most a 65,535-byte comment.
    size_t end = bytes.size();
    for (size_t i = bytes.size() >= 22 ? bytes.size() - 22 : 0;
         end == bytes.size() && bytes.size() - i <= 65557; --i) {
        if (le32(&bytes[i]) == DIRECTORY_END)
            end = i;
        if (i == 0)
            break;
    }
    if (end == bytes.size())
        return damaged("no directory");
    size_t at = le32(&bytes[end + 16]);
    for (uint32_t entry = 0, entries = le16(&bytes[end + 10]); entry < entries; ++entry) {
        if (at > end || end - at < 46 || le32(&bytes[at]) != CENTRAL_HEADER)
            return damaged("its directory is cut short");
        const unsigned char* c = &bytes[at];
        const uint32_t method = le16(c + 10), crc = le32(c + 16), packed = le32(c + 20), size = le32(c + 24);
        const size_t nameLength = le16(c + 28), local = le32(c + 42);
        const std::string name(reinterpret_cast<const char*>(c + 46), std::min(nameLength, end - at - 46));
        at += 46 + nameLength + le16(c + 30) + le16(c + 32);
        if ((method != 0 && method != 8) || packed == 0xffffffffu || size == 0xffffffffu)
            continue; // Assimp's reader refuses other methods itself; zip64 sizes live elsewhere
        if (local > bytes.size() || bytes.size() - local < 30 || le32(&bytes[local]) != LOCAL_HEADER)
            return damaged("entry '" + name + "' has no header");
        const size_t data = local + 30 + le16(&bytes[local + 26]) + le16(&bytes[local + 28]);
        if (data > bytes.size() || bytes.size() - data < packed)
            return damaged("entry '" + name + "' is cut short");
        uint32_t got = 0;
        uint64_t length = 0;
        if (!unpack(&bytes[data], packed, method, size, got, length) || length != size || got != crc)
            return damaged("entry '" + name + "' does not match its checksum");
    }
    return true;
}

} // namespace gxhost
