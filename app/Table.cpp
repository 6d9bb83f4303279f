#include "Table.h"

#include <algorithm>
#include <cctype>

namespace gradix {
namespace {

bool looksNumeric(const std::string& cell) {
    return !cell.empty() && (std::isdigit(static_cast<unsigned char>(cell[0])) || cell[0] == '-');
}

// Display width: UTF-8 continuation bytes take no column.
size_t width(const std::string& text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

std::string groupDigits(uint64_t number) {
    std::string digits = std::to_string(number), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string Table::text() const {
    std::vector<size_t> widths(header_.size(), 0);
    for (size_t c = 0; c < header_.size(); ++c)
        widths[c] = width(header_[c]);
    for (const auto& row : rows_)
        for (size_t c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], width(row[c]));
    // A column is right-aligned when its first row holds a number.
    std::vector<bool> right(header_.size(), false);
    if (!rows_.empty())
        for (size_t c = 0; c < rows_[0].size() && c < right.size(); ++c)
            right[c] = looksNumeric(rows_[0][c]);

    std::string out;
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (size_t c = 0; c < widths.size(); ++c) {
            const std::string cell = c < cells.size() ? cells[c] : std::string();
            const std::string pad(widths[c] - std::min(widths[c], width(cell)), ' ');
            text += c ? "  " : "";
            text += right[c] ? pad + cell : cell + (c + 1 < widths.size() ? pad : std::string());
        }
        out += text + "\n";
    };
    line(header_);
    for (const auto& row : rows_)
        line(row);
    return out;
}

} // namespace gradix
