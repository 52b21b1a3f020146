#pragma once
// A quick hash of a text's units for tables kept in memory (never stored): eight bytes at a
// time, each multiplied in. Paths and file names are long and alike at their starts, where a
// general string hash spends much more.

#include <QStringView>

#include <cstring>

namespace platform {

inline size_t textHash(QStringView text) noexcept
{
    constexpr quint64 kMix = 0xff51afd7ed558ccdull;
    const char* data = reinterpret_cast<const char*>(text.data());
    size_t size = size_t(text.size()) * sizeof(QChar);
    quint64 hash = 0x9E3779B97F4A7C15ull ^ size;
    for (; size >= 8; data += 8, size -= 8) {
        quint64 word;
        std::memcpy(&word, data, 8);
        hash = (hash ^ word) * kMix;
        hash ^= hash >> 32;
    }
    quint64 tail = 0;
    if (size > 0)
        std::memcpy(&tail, data, size);
    hash = (hash ^ tail) * kMix;
    return size_t(hash ^ (hash >> 29));
}

} // namespace platform
