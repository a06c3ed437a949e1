#include "text_table.h"

#include <algorithm>

namespace velt_tool {

TextTable::TextTable(std::vector<std::string> headers) : headers_(std::move(headers)) {}

void TextTable::addRow(std::vector<std::string> cells) {
    cells.resize(std::max(cells.size(), headers_.size()));
    rows_.push_back(std::move(cells));
}

void TextTable::print(std::ostream& out) const {
    std::vector<size_t> widths(headers_.size(), 0);
    auto widen = [&widths](const std::vector<std::string>& cells) {
        widths.resize(std::max(widths.size(), cells.size()), 0);
        for (size_t i = 0; i < cells.size(); ++i) {
            widths[i] = std::max(widths[i], cells[i].size());
        }
    };
    widen(headers_);
    for (const auto& row : rows_) {
        widen(row);
    }
    auto printRow = [&out, &widths](const std::vector<std::string>& cells) {
        std::string line;
        for (size_t i = 0; i < cells.size(); ++i) {
            line += cells[i];
            if (i + 1 < cells.size()) {
                line += std::string(widths[i] - cells[i].size() + 2, ' ');
            }
        }
        // Trailing blanks of empty last cells help nobody.
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    };
    printRow(headers_);
    size_t total = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        total += widths[i] + (i + 1 < widths.size() ? 2 : 0);
    }
    out << std::string(total, '-') << '\n';
    for (const auto& row : rows_) {
        printRow(row);
    }
}

}  // namespace velt_tool
