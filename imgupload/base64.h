// Decoding one line of a Base64 file content in place.
#pragma once

#include <cstddef>

// Decode the first `length` characters of `line` (RFC 4648 alphabet; '='
// counts as a zero symbol and as a pad; every other character is skipped)
// into the start of `line`, group by group of four symbols. Symbols of a group
// left incomplete at the end of the line are dropped; nothing carries over to
// the next line. Returns the number of decoded bytes to write: 3 for every
// complete group less the line's pads, never more than were decoded.
std::size_t decode_base64_line(char* line, std::size_t length);
