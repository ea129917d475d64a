// Reading text lines of a known length from a buffered stream: a line may
// hold any byte, zero bytes included, so its length is counted, never taken
// from the zero byte that ends it.
#pragma once

#include <cstddef>
#include <cstdio>

// Read at most max_chars characters, up to and including the first newline,
// into buffer (which takes max_chars + 1 bytes) and end them with a zero
// byte. Returns the number of characters read: 0 at end of input or on a
// read error (feof and ferror tell which).
std::size_t read_line(FILE* in, char* buffer, std::size_t max_chars);
