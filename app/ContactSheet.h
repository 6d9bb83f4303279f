// ContactSheet: pictures of the levels of a chain side by side (up to four in a row), each with a few
// lines of text under it, on one picture.
//
//   std::vector<SheetTile> tiles{{picture50, {"50%", "1,024 triangles"}}, ...};
//   contactSheet(tiles).write("sheet.png", error);
#pragma once

#include "Picture.h"

#include <string>
#include <vector>

namespace gradix {

struct SheetTile {
    Picture picture; // every tile the same size
    std::vector<std::string> label;
};

Picture contactSheet(const std::vector<SheetTile>& tiles);

// Where tile `index` of `count` tiles of `width` x `height` lands on the sheet (its picture's top left),
// and the sheet's size.
struct SheetLayout {
    int columns, rows, margin, labelHeight, textScale;
    int tileWidth, tileHeight;
    int width() const { return columns * (tileWidth + margin) + margin; }
    int height() const { return rows * (tileHeight + labelHeight + margin) + margin; }
    int x(size_t index) const { return margin + static_cast<int>(index % columns) * (tileWidth + margin); }
    int y(size_t index) const {
        return margin + static_cast<int>(index / columns) * (tileHeight + labelHeight + margin);
    }
};
SheetLayout sheetLayout(size_t count, int tileWidth, int tileHeight, size_t labelLines);

} // namespace gradix
