#include "Picture.h"

#include "io/SignalCleanup.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_easy_font.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace gradix {
namespace {

std::string extensionOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

Picture::Picture(int width, int height, Rgb fill)
    : width_(width), height_(height), rgba_(static_cast<size_t>(width) * height * 4, 255) {
    fillRect(0, 0, width, height, fill);
}

Picture::Picture(int width, int height, std::vector<uint8_t> rgba)
    : width_(width), height_(height), rgba_(std::move(rgba)) {
    rgba_.resize(static_cast<size_t>(width) * height * 4, 255);
}

Rgb Picture::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {0, 0, 0};
    const uint8_t* p = rgba_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
    return {p[0], p[1], p[2]};
}

void Picture::fillRect(int x, int y, int width, int height, Rgb color) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
    for (int row = y0; row < y1; ++row)
        for (int column = x0; column < x1; ++column) {
            uint8_t* p = rgba_.data() + (static_cast<size_t>(row) * width_ + column) * 4;
            p[0] = color[0], p[1] = color[1], p[2] = color[2], p[3] = 255;
        }
}

void Picture::drawText(int x, int y, const std::string& text, Rgb color, int scale) {
    // The font's glyphs are axis-aligned boxes (quads of four vertices of 16 bytes: x, y, z, colour).
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    std::vector<float> buffer(text.size() * 300 + 64);
    const int quads = stb_easy_font_print(0.0f, 0.0f, copy.data(), nullptr, buffer.data(),
                                          static_cast<int>(buffer.size() * sizeof(float)));
    for (int q = 0; q < quads; ++q) {
        const float* v = buffer.data() + q * 16; // 4 vertices of 4 floats
        const float left = std::min(v[0], v[8]), right = std::max(v[0], v[8]);
        const float top = std::min(v[1], v[9]), bottom = std::max(v[1], v[9]);
        fillRect(x + static_cast<int>(left * scale), y + static_cast<int>(top * scale),
                 static_cast<int>((right - left) * scale), static_cast<int>((bottom - top) * scale), color);
    }
}

int Picture::textWidth(const std::string& text, int scale) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return stb_easy_font_width(copy.data()) * scale;
}

void Picture::paste(const Picture& other, int x, int y) {
    for (int row = 0; row < other.height_; ++row)
        for (int column = 0; column < other.width_; ++column) {
            const int tx = x + column, ty = y + row;
            if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_)
                continue;
            std::copy_n(other.rgba_.data() + (static_cast<size_t>(row) * other.width_ + column) * 4, 4,
                        rgba_.data() + (static_cast<size_t>(ty) * width_ + tx) * 4);
        }
}

bool Picture::knownExtension(const std::string& path) {
    const std::string extension = extensionOf(path);
    return extension == ".png" || extension == ".jpg" || extension == ".jpeg";
}

bool Picture::save(const std::string& path, std::string& error, const std::string& formatFrom) const {
    const std::string extension = extensionOf(formatFrom.empty() ? path : formatFrom);
    int written = 0;
    if (extension == ".png")
        written = stbi_write_png(path.c_str(), width_, height_, 4, rgba_.data(), width_ * 4);
    else if (extension == ".jpg" || extension == ".jpeg")
        written = stbi_write_jpg(path.c_str(), width_, height_, 4, rgba_.data(), 92);
    else {
        error = (formatFrom.empty() ? path : formatFrom) + ": pictures are written as .png, .jpg or .jpeg";
        return false;
    }
    if (!written)
        error = path + ": cannot write the picture";
    return written != 0;
}

bool Picture::write(const std::string& path, std::string& error) const {
    const std::filesystem::path target(path);
    std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    gxhost::PendingPath pending;
    const int fd = gxhost::createPendingTempFile(temporary, pending);
    if (fd < 0) {
        error = path + ": cannot write the picture (" + std::strerror(errno) + ")";
        return false;
    }
    close(fd);
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temporary.c_str(), 0666 & ~mask);
    if (!save(temporary, error, path)) {
        unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = path + ": cannot write the picture (" + std::strerror(errno) + ")";
        unlink(temporary.c_str());
        return false;
    }
    pending.release();
    return true;
}

} // namespace gradix
