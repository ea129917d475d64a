// Body byte accounting (see body_length.h).
#include "body_length.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
using Limits = std::numeric_limits<std::int32_t>;
}

std::int32_t parse_content_length(const char* text) {
  const long long value = std::strtoll(text, nullptr, 10);
  if (value > Limits::max()) return Limits::max();
  if (value < Limits::min()) return Limits::min();
  return static_cast<std::int32_t>(value);
}

std::int32_t reduce_budget(std::int32_t budget, std::size_t length) {
  // Lines are at most 1022 bytes, so the difference fits in 64 bits.
  const std::int64_t reduced = static_cast<std::int64_t>(budget) - static_cast<std::int64_t>(length);
  return reduced < Limits::min() ? Limits::min() : static_cast<std::int32_t>(reduced);
}

const char* find_boundary(const char* content_type) {
  static constexpr char kKey[] = "boundary=";
  if (content_type == nullptr) return nullptr;
  const char* found = std::strstr(content_type, kKey);
  return found == nullptr ? nullptr : found + (sizeof kKey - 1);
}

std::int64_t raw_content_length(std::int32_t budget, std::string_view boundary) {
  // An environment value is far shorter than 2^62 bytes.
  return static_cast<std::int64_t>(budget) - static_cast<std::int64_t>(boundary.size()) - kClosingOverhead;
}
