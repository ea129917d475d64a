// Line reading over a buffered stream (see line_io.h).
#include "line_io.h"

std::size_t read_line(FILE* in, char* buffer, std::size_t max_chars) {
  std::size_t length = 0;
  while (length < max_chars) {
    const int c = getc_unlocked(in);
    if (c == EOF) break;
    buffer[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[length] = '\0';
  return length;
}
