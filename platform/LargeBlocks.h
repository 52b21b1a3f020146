#pragma once
// How the C library hands out large blocks. By default a block of a few megabytes is mapped
// afresh at every request and given back at once, so each large list made again (the rows of
// a search while typing) pays for zeroing every page of it. Once this is called, blocks up to
// 64 MiB come from the heap and up to 128 MiB freed at its top are kept for the next request.

namespace platform {

// Idempotent; affects the whole process.
void reuseLargeBlocks();

} // namespace platform
