// The byte accounting of the request body: CONTENT_LENGTH as the box reads
// it, the budget kept while lines are read, and the length of a raw file
// content worked out from the budget and the boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// CONTENT_LENGTH converted as a signed decimal long of the box (32 bits):
// leading white space and a sign accepted, conversion stops at the first
// non-digit, no digits give 0, values beyond the 32-bit range saturate.
std::int32_t parse_content_length(const char* text);

// The budget after a line of `length` bytes; saturates at the lowest value.
std::int32_t reduce_budget(std::int32_t budget, std::size_t length);

// All of CONTENT_TYPE after its first "boundary=", or null when absent.
const char* find_boundary(const char* content_type);

// The raw content is what remains of the body less the closing part: the
// CR LF before the closing delimiter, its "--", the boundary, its "--" and its
// CR LF. Negative when the body is shorter than its own accounting.
inline constexpr std::int64_t kClosingOverhead = 8;
std::int64_t raw_content_length(std::int32_t budget, std::string_view boundary);
