// Table: a plain-text table for the tool's reports: a header row, then rows of cells; numbers are
// right-aligned, text left-aligned, columns two spaces apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gradix {

class Table {
public:
    explicit Table(std::vector<std::string> header) : header_(std::move(header)) {}
    void addRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    std::string text() const;

private:
    std::vector<std::string> header_;
    std::vector<std::vector<std::string>> rows_;
};

// 1234567 → "1,234,567".
std::string groupDigits(uint64_t number);

} // namespace gradix
