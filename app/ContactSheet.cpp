#include "ContactSheet.h"

#include <algorithm>

namespace gradix {

SheetLayout sheetLayout(size_t count, int tileWidth, int tileHeight, size_t labelLines) {
    SheetLayout layout{};
    layout.columns = static_cast<int>(std::clamp<size_t>(count, 1, 4));
    layout.rows = static_cast<int>((std::max<size_t>(count, 1) + layout.columns - 1) / layout.columns);
    layout.textScale = tileWidth >= 240 ? 2 : 1;
    layout.margin = 4 * layout.textScale;
    layout.labelHeight =
        static_cast<int>(labelLines) * (Picture::textHeight(layout.textScale) + layout.textScale) +
        layout.margin;
    layout.tileWidth = tileWidth;
    layout.tileHeight = tileHeight;
    return layout;
}

Picture contactSheet(const std::vector<SheetTile>& tiles) {
    size_t lines = 0;
    for (const SheetTile& tile : tiles)
        lines = std::max(lines, tile.label.size());
    const int tileWidth = tiles.empty() ? 16 : tiles[0].picture.width();
    const int tileHeight = tiles.empty() ? 16 : tiles[0].picture.height();
    const SheetLayout layout = sheetLayout(tiles.size(), tileWidth, tileHeight, lines);
    Picture sheet(layout.width(), layout.height(), Rgb{24, 24, 28});
    const int lineHeight = Picture::textHeight(layout.textScale) + layout.textScale;
    for (size_t i = 0; i < tiles.size(); ++i) {
        const int x = layout.x(i), y = layout.y(i);
        sheet.paste(tiles[i].picture, x, y);
        for (size_t line = 0; line < tiles[i].label.size(); ++line)
            sheet.drawText(x + layout.textScale,
                           y + tileHeight + layout.margin / 2 + static_cast<int>(line) * lineHeight,
                           tiles[i].label[line], line == 0 ? Rgb{250, 250, 250} : Rgb{190, 190, 200},
                           layout.textScale);
    }
    return sheet;
}

} // namespace gradix
