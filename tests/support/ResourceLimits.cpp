#include "support/ResourceLimits.h"

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUILLET_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer)
#define QUILLET_TEST_SANITIZED 1
#endif
#endif

namespace testing_support {

namespace {

// Far above what any test takes (Qt's offscreen platform, a library of a few thousand files,
// the forked runs of the kill suites), far below the machine: two test processes run at once.
constexpr unsigned long long kDefaultCapMb = 4096;

} // namespace

unsigned long long testMemoryCap()
{
    unsigned long long megabytes = kDefaultCapMb;
    if (const char* given = std::getenv("QUILLET_TEST_MEMORY_MB"); given && *given)
        megabytes = std::strtoull(given, nullptr, 10);
    return megabytes << 20;
}

bool limitTestResources()
{
#ifdef QUILLET_TEST_SANITIZED
    return true;
#else
    const unsigned long long cap = testMemoryCap();
    if (cap == 0)
        return true;
    struct rlimit limit;
    if (::getrlimit(RLIMIT_DATA, &limit) != 0)
        return false;
    // Never above a limit the run was given from outside.
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= cap)
        return true;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < cap)
        return true;
    limit.rlim_cur = cap;
    if (::setrlimit(RLIMIT_DATA, &limit) != 0) {
        std::fprintf(stderr, "the test's memory could not be capped\n");
        return false;
    }
    return true;
#endif
}

} // namespace testing_support
