// Base64 line decoding (see base64.h).
#include "base64.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::int8_t kSkip = -1;
constexpr std::int8_t kPad = 64;

constexpr std::array<std::int8_t, 256> make_symbol_table() {
  std::array<std::int8_t, 256> table{};
  for (auto& entry : table) entry = kSkip;
  constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (int value = 0; value < 64; ++value) table[static_cast<unsigned char>(kAlphabet[value])] = static_cast<std::int8_t>(value);
  table['='] = kPad;
  return table;
}
constexpr std::array<std::int8_t, 256> kSymbols = make_symbol_table();
static_assert(kSymbols['A'] == 0 && kSymbols['a'] == 26 && kSymbols['0'] == 52 && kSymbols['+'] == 62 && kSymbols['/'] == 63);
static_assert(kSymbols['='] == kPad && kSymbols['\r'] == kSkip && kSymbols['-'] == kSkip && kSymbols[0x80] == kSkip);

}  // namespace

std::size_t decode_base64_line(char* line, std::size_t length) {
  std::uint32_t accumulator = 0;
  std::size_t symbols = 0;
  std::size_t pads = 0;
  std::size_t groups = 0;
  std::size_t out = 0;  // never passes the read position: 3 bytes per 4 symbols
  for (std::size_t in = 0; in < length; ++in) {
    // Fast path: a whole group of four plain symbols at a group boundary.
    if (symbols == 0 && pads == 0 && length - in >= 4) {
      const auto a = kSymbols[static_cast<unsigned char>(line[in])];
      const auto b = kSymbols[static_cast<unsigned char>(line[in + 1])];
      const auto c = kSymbols[static_cast<unsigned char>(line[in + 2])];
      const auto d = kSymbols[static_cast<unsigned char>(line[in + 3])];
      if ((a | b | c | d) >= 0 && a < 64 && b < 64 && c < 64 && d < 64) {
        accumulator = static_cast<std::uint32_t>(a) << 18 | static_cast<std::uint32_t>(b) << 12 |
                      static_cast<std::uint32_t>(c) << 6 | static_cast<std::uint32_t>(d);
        line[out++] = static_cast<char>((accumulator >> 16) & 0xFF);
        line[out++] = static_cast<char>((accumulator >> 8) & 0xFF);
        line[out++] = static_cast<char>(accumulator & 0xFF);
        ++groups;
        in += 3;
        continue;
      }
    }
    std::int8_t value = kSymbols[static_cast<unsigned char>(line[in])];
    if (value == kSkip) continue;
    if (value == kPad) {
      value = 0;
      ++pads;
    }
    accumulator = (accumulator << 6) | static_cast<std::uint32_t>(value);
    if (++symbols < 4) continue;
    line[out++] = static_cast<char>((accumulator >> 16) & 0xFF);
    if (pads <= 1) line[out++] = static_cast<char>((accumulator >> 8) & 0xFF);
    if (pads == 0) line[out++] = static_cast<char>(accumulator & 0xFF);
    symbols = 0;
    ++groups;
  }
  // Pads outside the last complete group would ask for bytes that were never
  // decoded (or for fewer than none): write only what was decoded.
  const std::size_t asked = 3 * groups > pads ? 3 * groups - pads : 0;
  return asked < out ? asked : out;
}
