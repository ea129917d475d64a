// The flash image container reader: copies one partition's data blocks from
// an open container to an open output, dropping the spare bytes.
#pragma once

#include <cstdint>

// Reports its own failures on standard error ("part_copier: ...") and returns
// 0 after a complete copy, 1 after a failure.
int extract_partition(int in, int out, uint32_t partition);
