#pragma once
// Reads one character of UTF-8 that is already known to be valid (a name the listing has
// checked), for the loops that turn many names into text or sort keys without a string apiece.

#include <cstddef>

namespace platform {

// The character at `at`, which moves past it; never reads at or beyond `end`.
inline char32_t nextUtf8(const unsigned char*& at, const unsigned char* end)
{
    const unsigned char lead = *at;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    char32_t c = 0;
    std::ptrdiff_t length = 2;
    if (lead >= 0xF0) {
        c = lead & 0x07;
        length = 4;
    } else if (lead >= 0xE0) {
        c = lead & 0x0F;
        length = 3;
    } else {
        c = lead & 0x1F;
    }
    for (std::ptrdiff_t k = 1; k < length && at + k < end; ++k)
        c = c << 6 | (at[k] & 0x3F);
    at += length < end - at ? length : end - at;
    return c;
}

} // namespace platform
