// Small helpers for writing Graphviz DOT text.
#ifndef VELT_TOOL_DOT_WRITER_H
#define VELT_TOOL_DOT_WRITER_H

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "zo_isp_qel_records.h"

namespace velt_tool {

// text as a quoted DOT string; line breaks become centred DOT line breaks.
std::string dotQuote(const std::string& text);

// Lines joined into one label, empty lines dropped.
std::string dotLabel(const std::vector<std::string>& lines);

// A cluster name made only of characters DOT accepts unquoted.
std::string dotClusterId(const std::string& name);

// The attributes that draw a kernel by its state: running (solid), bypassed
// (dotted), disabled (dashed grey), or not reached by the analysis (dashed
// red); e.g. "style=filled, fillcolor=white".
std::string kernelStyle(int32_t enable, bool reached);

// "WxH" of a resolution history's output, and its input crop on a second
// line when there is one: what an edge into a kernel carries.
std::string historyLabel(const zo_isp_qel_resolution_info& history);

// Writes a cluster that explains the kernel states and the given line styles
// (pairs of DOT edge style and meaning).
void writeKernelLegend(const std::vector<std::pair<std::string, std::string>>& edgeStyles,
                       std::ostream& out);

}  // namespace velt_tool

#endif
