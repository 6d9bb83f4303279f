// Picture: an RGBA image the tool composes and saves — rendered frames, text labels (a small
// built-in bitmap font), filled boxes, and pictures pasted side by side for contact sheets. Saved as
// PNG or JPEG by the file's extension.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gradix {

using Rgb = std::array<uint8_t, 3>;

class Picture {
public:
    Picture() = default;
    Picture(int width, int height, Rgb fill);
    // From RGBA rows, top row first.
    Picture(int width, int height, std::vector<uint8_t> rgba);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint8_t>& rgba() const { return rgba_; }
    Rgb at(int x, int y) const;

    void fillRect(int x, int y, int width, int height, Rgb color);
    // Text with its top left at (x, y); `scale` whole pixels per font pixel.
    void drawText(int x, int y, const std::string& text, Rgb color, int scale = 2);
    static int textWidth(const std::string& text, int scale = 2);
    static int textHeight(int scale = 2) { return 10 * scale; }
    void paste(const Picture& other, int x, int y);

    // PNG for .png, JPEG for .jpg/.jpeg (any case) — the extension of `formatFrom` when given (for
    // temporary files); false with an error naming the file otherwise.
    bool save(const std::string& path, std::string& error, const std::string& formatFrom = "") const;
    // True when the extension names a format save() writes.
    static bool knownExtension(const std::string& path);
    // save() into a private temporary beside `path`, renamed into place: a failed or stopped write
    // leaves no file and concurrent runs never mix their pictures.
    bool write(const std::string& path, std::string& error) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> rgba_;
};

} // namespace gradix
