#include "search/FoldedScan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUILLET_SCAN_AVX2 1
#endif

namespace search {

namespace {

template <typename Unit> inline Unit folded(Unit c)
{
    return c >= Unit('A') && c <= Unit('Z') ? Unit(c - Unit('A') + Unit('a')) : c;
}

template <typename Unit> inline bool isLower(Unit c)
{
    return c >= Unit('a') && c <= Unit('z');
}

// True when `text` holds `key` (folded) at its start.
template <typename Unit> inline bool sameFolded(const Unit* text, const Unit* key, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (folded(text[i]) != key[i])
            return false;
    }
    return true;
}

// The first place of a block at `block` whose bit in `mask` is set (every `bitsPerUnit`-th bit
// standing for one unit) that holds `key` whole: its offset in the block, or kNotFound.
template <typename Unit>
inline size_t firstWhole(unsigned mask, unsigned bitsPerUnit, const Unit* block, const Unit* key,
                         size_t keyLength)
{
    for (; mask; mask &= mask - 1) {
        const unsigned offset = unsigned(__builtin_ctz(mask)) / bitsPerUnit;
        if (sameFolded(block + offset, key, keyLength))
            return offset;
    }
    return kNotFound;
}

template <typename Unit>
size_t findScalar(const Unit* text, size_t length, size_t from, const Unit* key, size_t keyLength)
{
    for (size_t at = from; at + keyLength <= length; ++at) {
        if (folded(text[at]) == key[0] && sameFolded(text + at, key, keyLength))
            return at;
    }
    return kNotFound;
}

} // namespace

#if defined(__SSE2__)

#if defined(QUILLET_SCAN_AVX2)

namespace {

// The same thirty-two bytes at a time, on processors that have AVX2: the place found, or
// kNotFound with `*stop` where the whole blocks end.
__attribute__((target("avx2"))) size_t findFoldedAvx2(const char* text, size_t length,
                                                       size_t from, const char* key,
                                                       size_t keyLength, size_t* stop)
{
    const __m256i firstKey = _mm256_set1_epi8(key[0]);
    const __m256i lastKey = _mm256_set1_epi8(key[keyLength - 1]);
    const __m256i firstCase = _mm256_set1_epi8(isLower(key[0]) ? 0x20 : 0);
    const __m256i lastCase = _mm256_set1_epi8(isLower(key[keyLength - 1]) ? 0x20 : 0);
    size_t at = from;
    for (; at + keyLength - 1 + 32 <= length; at += 32) {
        const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + at));
        const __m256i tail =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + at + keyLength - 1));
        const __m256i both =
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(head, firstCase), firstKey),
                             _mm256_cmpeq_epi8(_mm256_or_si256(tail, lastCase), lastKey));
        const size_t found =
            firstWhole(unsigned(_mm256_movemask_epi8(both)), 1, text + at, key, keyLength);
        if (found != kNotFound)
            return at + found;
    }
    *stop = at;
    return kNotFound;
}

bool hasAvx2()
{
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
}

} // namespace

#endif

// Sixteen bytes (or eight units) at a time: a unit that may be the keyword's first (its
// letter with bit 0x20 set, which both cases of a letter give) and the unit keyLength - 1
// further on that may be its last; the candidates are then compared whole.

size_t findFolded(const char* text, size_t length, size_t from, const char* key, size_t keyLength)
{
    if (keyLength == 0 || length < keyLength || from > length - keyLength)
        return kNotFound;
#if defined(QUILLET_SCAN_AVX2)
    if (hasAvx2()) {
        // What is left past the last whole block of thirty-two goes through the loop below.
        const size_t found = findFoldedAvx2(text, length, from, key, keyLength, &from);
        if (found != kNotFound)
            return found;
    }
#endif
    const bool firstLetter = isLower(key[0]);
    const bool lastLetter = isLower(key[keyLength - 1]);
    const __m128i firstKey = _mm_set1_epi8(key[0]);
    const __m128i lastKey = _mm_set1_epi8(key[keyLength - 1]);
    const __m128i firstCase = _mm_set1_epi8(firstLetter ? 0x20 : 0);
    const __m128i lastCase = _mm_set1_epi8(lastLetter ? 0x20 : 0);
    size_t at = from;
    for (; at + keyLength - 1 + 16 <= length; at += 16) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i tail =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + keyLength - 1));
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstCase), firstKey),
                                           _mm_cmpeq_epi8(_mm_or_si128(tail, lastCase), lastKey));
        const size_t found =
            firstWhole(unsigned(_mm_movemask_epi8(both)), 1, text + at, key, keyLength);
        if (found != kNotFound)
            return at + found;
    }
    return findScalar(text, length, at, key, keyLength);
}

size_t findFolded(const char16_t* text, size_t length, size_t from, const char16_t* key,
                  size_t keyLength)
{
    if (keyLength == 0 || length < keyLength || from > length - keyLength)
        return kNotFound;
    const bool firstLetter = isLower(key[0]);
    const bool lastLetter = isLower(key[keyLength - 1]);
    const __m128i firstKey = _mm_set1_epi16(short(key[0]));
    const __m128i lastKey = _mm_set1_epi16(short(key[keyLength - 1]));
    const __m128i firstCase = _mm_set1_epi16(firstLetter ? 0x20 : 0);
    const __m128i lastCase = _mm_set1_epi16(lastLetter ? 0x20 : 0);
    size_t at = from;
    for (; at + keyLength - 1 + 8 <= length; at += 8) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i tail =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + keyLength - 1));
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(head, firstCase), firstKey),
                                           _mm_cmpeq_epi16(_mm_or_si128(tail, lastCase), lastKey));
        // Two mask bits per unit.
        const size_t found = firstWhole(unsigned(_mm_movemask_epi8(both)) & 0x5555u, 2,
                                        text + at, key, keyLength);
        if (found != kNotFound)
            return at + found;
    }
    return findScalar(text, length, at, key, keyLength);
}

#else

size_t findFolded(const char* text, size_t length, size_t from, const char* key, size_t keyLength)
{
    if (keyLength == 0)
        return kNotFound;
    return findScalar(text, length, from, key, keyLength);
}

size_t findFolded(const char16_t* text, size_t length, size_t from, const char16_t* key,
                  size_t keyLength)
{
    if (keyLength == 0)
        return kNotFound;
    return findScalar(text, length, from, key, keyLength);
}

#endif

} // namespace search
