// How the reader turns the text of an integer attribute into its value.
#ifndef ZO_CAMERA_VELT_PARSER_INTEGER_TEXT_H
#define ZO_CAMERA_VELT_PARSER_INTEGER_TEXT_H

namespace VELT {
namespace parser {

// strtol with base 10 (leading blanks, sign, digits up to the first other
// character, 0 without digits), truncated to 32 bits.
int parseInteger(const char* text);

}  // namespace parser
}  // namespace VELT

#endif
