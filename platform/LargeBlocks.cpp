#include "platform/LargeBlocks.h"

#include <malloc.h>
#include <mutex>

namespace platform {

void reuseLargeBlocks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ::mallopt(M_MMAP_THRESHOLD, 64 << 20);
        ::mallopt(M_TRIM_THRESHOLD, 128 << 20);
    });
}

} // namespace platform
