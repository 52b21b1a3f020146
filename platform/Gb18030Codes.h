#pragma once
// The GB18030 bytes of single characters, read once from the converter into a table, for
// code that writes many short texts in GB18030 (the lists' sort keys) without a converter
// call or an allocation per text. A character's bytes are the same alone as inside any text.

#include <QtGlobal>

namespace platform::text {

// The GB18030 sequence of one character: its bytes from the most significant used byte down
// (one, two or four of them), and how many there are.
struct Gb18030Code
{
    quint32 bytes = 0;
    int length = 0;
};

// Any character but a surrogate standing alone.
Gb18030Code gb18030Code(char32_t character);

// Writes the bytes of `code` at `out` and returns the position after them.
inline char* putGb18030(char* out, Gb18030Code code)
{
    for (int shift = (code.length - 1) * 8; shift >= 0; shift -= 8)
        *out++ = char((code.bytes >> shift) & 0xFF);
    return out;
}

} // namespace platform::text
