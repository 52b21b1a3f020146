#pragma once
// Finding a keyword in packed text with only the letters A to Z matching a to z: in bytes
// (names in UTF-8) and in UTF-16 code units (notes). The keyword is given folded already. A
// block of text is looked at sixteen bytes at a time (thirty-two where the processor has
// AVX2) for the keyword's first and last unit; only where both sit at the right distance is
// the whole keyword compared.

#include <cstddef>

namespace search {

constexpr size_t kNotFound = size_t(-1);

// The first place at or after `from` where `key` (folded, `keyLength` > 0) occurs in
// `text` of `length` bytes with A to Z folded, or kNotFound.
size_t findFolded(const char* text, size_t length, size_t from, const char* key, size_t keyLength);
// The same in UTF-16 code units.
size_t findFolded(const char16_t* text, size_t length, size_t from, const char16_t* key,
                  size_t keyLength);

} // namespace search
