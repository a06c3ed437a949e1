// How far apart two words are, for suggesting what a user or an author most
// likely meant.
#ifndef VELT_TOOL_EDIT_DISTANCE_H
#define VELT_TOOL_EDIT_DISTANCE_H

#include <cstddef>
#include <string>

namespace velt_tool {

// Edits that turn a into b: insertions, deletions, substitutions and swaps of
// two neighbouring characters ("widht" is one edit from "width").
size_t editDistance(const std::string& a, const std::string& b);

}  // namespace velt_tool

#endif
