// A plain text table with left-aligned columns sized to their widest cell.
#ifndef VELT_TOOL_TEXT_TABLE_H
#define VELT_TOOL_TEXT_TABLE_H

#include <ostream>
#include <string>
#include <vector>

namespace velt_tool {

class TextTable {
  public:
    explicit TextTable(std::vector<std::string> headers);
    // Rows shorter than the header are padded with empty cells.
    void addRow(std::vector<std::string> cells);
    // Header, a rule of dashes, then the rows; cells separated by two blanks.
    void print(std::ostream& out) const;
    size_t rowCount() const { return rows_.size(); }

  private:
    std::vector<std::string> headers_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace velt_tool

#endif
