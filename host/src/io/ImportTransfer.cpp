#include "ImportTransfer.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <type_traits>

namespace gxhost {
namespace ImportTransfer {
namespace {

// Marks a complete transfer at both ends: a child that stopped half-way leaves no end mark.
constexpr uint64_t kStart = 0x31584647'54524d49, kEnd = 0x444e45'54524d49;

class Writer {
public:
    explicit Writer(int fd) : fd_(fd) {}
    ~Writer() { flush(); }

    void bytes(const void* data, size_t size) {
        if (size == 0)
            return; // an empty list's data() may be null, which memcpy must not get
        const auto* p = static_cast<const uint8_t*>(data);
        if (size >= sizeof buffer_) {
            flush();
            put(p, size);
            return;
        }
        if (used_ + size > sizeof buffer_)
            flush();
        std::memcpy(buffer_ + used_, p, size);
        used_ += size;
    }
    template <typename T> void value(const T& v) {
        static_assert(std::is_trivially_copyable<T>::value, "plain values only");
        bytes(&v, sizeof v);
    }
    void text(const std::string& s) {
        value<uint64_t>(s.size());
        bytes(s.data(), s.size());
    }
    template <typename T> void list(const std::vector<T>& v) {
        value<uint64_t>(v.size());
        bytes(v.data(), v.size() * sizeof(T));
    }
    // The field list both ends share (see transferMesh).
    void field(const std::string& s) { text(s); }
    template <typename T> void field(const std::vector<T>& v) { list(v); }
    template <typename T> void field(const T& v) { value(v); }
    template <typename T, typename Each> void each(const std::vector<T>& v, Each each) {
        value<uint64_t>(v.size());
        for (const T& x : v)
            each(x);
    }
    bool flush() {
        put(buffer_, used_);
        used_ = 0;
        return ok_;
    }

private:
    void put(const uint8_t* p, size_t size) {
        while (ok_ && size > 0) {
            const ssize_t n = ::write(fd_, p, size);
            if (n < 0 && errno == EINTR)
                continue;
            ok_ = n > 0;
            p += n > 0 ? n : 0;
            size -= n > 0 ? size_t(n) : 0;
        }
    }

    int fd_;
    bool ok_ = true;
    size_t used_ = 0;
    uint8_t buffer_[1 << 16];
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool ok() const { return ok_; }

    void bytes(void* out, size_t size) {
        if (size == 0)
            return;
        if (!ok_ || size_t(end_ - p_) < size) {
            ok_ = false;
            return;
        }
        std::memcpy(out, p_, size);
        p_ += size;
    }
    template <typename T> T value() {
        T v{};
        bytes(&v, sizeof v);
        return v;
    }
    void text(std::string& s) {
        const uint64_t size = value<uint64_t>();
        if (!ok_ || size > uint64_t(end_ - p_)) {
            ok_ = false;
            return;
        }
        s.assign(reinterpret_cast<const char*>(p_), size);
        p_ += size;
    }
    template <typename T> void list(std::vector<T>& v) {
        const uint64_t count = value<uint64_t>();
        if (!ok_ || count > uint64_t(end_ - p_) / sizeof(T)) {
            ok_ = false;
            return;
        }
        v.resize(count);
        bytes(v.data(), count * sizeof(T));
    }
    void field(std::string& s) { text(s); }
    template <typename T> void field(std::vector<T>& v) { list(v); }
    template <typename T> void field(T& v) { v = value<T>(); }
    template <typename T, typename Each> void each(std::vector<T>& v, Each each) {
        const uint64_t count = value<uint64_t>();
        for (uint64_t i = 0; ok_ && i < count; ++i) {
            v.emplace_back();
            each(v.back());
        }
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
    bool ok_ = true;
};

// Every field of a mesh, in one order for both ends: `io` is a Writer (with a const mesh) or a Reader.
template <typename IO, typename Mesh> void transferMesh(IO& io, Mesh& m) {
    io.field(m.name);
    io.field(m.transform);
    io.field(m.parent);
    io.field(m.points);
    io.field(m.faceCounts);
    io.field(m.faceVertices);
    io.each(m.uvSets, [&io](auto& set) {
        io.field(set.name);
        io.field(set.u);
        io.field(set.v);
        io.field(set.uvIds);
    });
    io.field(m.normals);
    io.field(m.colors);
    io.field(m.hasColor);
    io.field(m.faceMaterial);
    io.each(m.materials, [&io](auto& name) { io.field(name); });
    io.field(m.fileNode);
    io.field(m.fileMaterials);
    io.field(m.instanceOf);
}

// A material as its list of properties: key, semantic, index, type and the raw value.
void writeMaterial(Writer& w, const aiMaterial& material) {
    w.value<uint32_t>(material.mNumProperties);
    for (unsigned i = 0; i < material.mNumProperties; ++i) {
        const aiMaterialProperty& p = *material.mProperties[i];
        w.text(std::string(p.mKey.data, p.mKey.length));
        w.value<uint32_t>(p.mSemantic);
        w.value<uint32_t>(p.mIndex);
        w.value<int32_t>(p.mType);
        w.value<uint32_t>(p.mDataLength);
        w.bytes(p.mData, p.mDataLength);
    }
}

aiMaterial* readMaterial(Reader& r) {
    auto material = std::make_unique<aiMaterial>();
    const uint32_t count = r.value<uint32_t>();
    std::string key;
    std::vector<uint8_t> data;
    for (uint32_t i = 0; r.ok() && i < count; ++i) {
        r.text(key);
        const uint32_t semantic = r.value<uint32_t>(), index = r.value<uint32_t>();
        const auto type = static_cast<aiPropertyTypeInfo>(r.value<int32_t>());
        data.resize(r.value<uint32_t>());
        r.bytes(data.data(), data.size());
        if (r.ok())
            material->AddBinaryProperty(data.data(), unsigned(data.size()), key.c_str(), semantic, index,
                                        type);
    }
    return material.release();
}

// An embedded image: compressed (mHeight 0, mWidth bytes) or mWidth x mHeight texels.
void writeTexture(Writer& w, const aiTexture& texture) {
    w.value<uint32_t>(texture.mWidth);
    w.value<uint32_t>(texture.mHeight);
    w.bytes(texture.achFormatHint, sizeof texture.achFormatHint);
    w.text(std::string(texture.mFilename.data, texture.mFilename.length));
    const size_t bytes =
        texture.mHeight == 0 ? texture.mWidth : sizeof(aiTexel) * texture.mWidth * texture.mHeight;
    w.bytes(texture.pcData, bytes);
}

aiTexture* readTexture(Reader& r) {
    auto texture = std::make_unique<aiTexture>();
    texture->mWidth = r.value<uint32_t>();
    texture->mHeight = r.value<uint32_t>();
    r.bytes(texture->achFormatHint, sizeof texture->achFormatHint);
    texture->achFormatHint[sizeof texture->achFormatHint - 1] = '\0';
    std::string name;
    r.text(name);
    texture->mFilename.Set(name);
    const uint64_t texels = texture->mHeight == 0
                                ? (uint64_t(texture->mWidth) + sizeof(aiTexel) - 1) / sizeof(aiTexel)
                                : uint64_t(texture->mWidth) * texture->mHeight;
    const uint64_t bytes = texture->mHeight == 0 ? texture->mWidth : sizeof(aiTexel) * texels;
    if (!r.ok() || texels > (uint64_t(1) << 32))
        return nullptr;
    texture->pcData = new aiTexel[texels];
    r.bytes(texture->pcData, bytes);
    return r.ok() ? texture.release() : nullptr;
}

} // namespace

bool write(int fd, const std::string& problem, const std::vector<SceneMesh>& meshes,
           const SourceAsset* asset) {
    Writer w(fd);
    w.value(kStart);
    w.text(problem);
    w.value<uint64_t>(meshes.size());
    for (const SceneMesh& mesh : meshes)
        transferMesh(w, mesh);
    const aiScene* kept = asset ? asset->scene() : nullptr;
    w.value<uint8_t>(kept != nullptr);
    if (kept) {
        w.value(asset->contents());
        w.value<uint32_t>(kept->mNumMaterials);
        for (unsigned i = 0; i < kept->mNumMaterials; ++i)
            writeMaterial(w, *kept->mMaterials[i]);
        w.value<uint32_t>(kept->mNumTextures);
        for (unsigned i = 0; i < kept->mNumTextures; ++i)
            writeTexture(w, *kept->mTextures[i]);
    }
    w.value(kEnd);
    return w.flush();
}

bool read(int fd, std::string& problem, std::vector<SceneMesh>& meshes, SourceAsset* asset) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || info.st_size <= 0)
        return false;
    const size_t size = size_t(info.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED)
        return false;
    struct Unmap {
        void* at;
        size_t size;
        ~Unmap() { munmap(at, size); }
    } unmap{mapped, size};
    Reader r(static_cast<const uint8_t*>(mapped), size);
    if (r.value<uint64_t>() != kStart)
        return false;
    r.text(problem);
    const uint64_t count = r.value<uint64_t>();
    meshes.clear();
    for (uint64_t i = 0; r.ok() && i < count; ++i) {
        meshes.emplace_back();
        transferMesh(r, meshes.back());
    }
    if (r.value<uint8_t>() != 0) {
        const AssetContents contents = r.value<AssetContents>();
        auto kept = std::make_unique<aiScene>();
        const uint32_t materials = r.value<uint32_t>();
        if (r.ok() && materials > 0) {
            kept->mMaterials = new aiMaterial*[materials];
            for (; r.ok() && kept->mNumMaterials < materials; ++kept->mNumMaterials)
                kept->mMaterials[kept->mNumMaterials] = readMaterial(r);
        }
        const uint32_t textures = r.value<uint32_t>();
        if (r.ok() && textures > 0) {
            kept->mTextures = new aiTexture*[textures];
            while (r.ok() && kept->mNumTextures < textures) {
                aiTexture* texture = readTexture(r);
                if (!texture)
                    return false;
                kept->mTextures[kept->mNumTextures++] = texture;
            }
        }
        if (r.ok() && asset)
            asset->adopt(contents, std::move(kept));
    }
    return r.value<uint64_t>() == kEnd && r.ok();
}

} // namespace ImportTransfer
} // namespace gxhost
