#pragma once
// The layout of a fuzz input, shared by the targets: one byte choosing the edit, one choosing
// what it applies to, one giving the length of the text the edit writes, that text (UTF-8),
// and the rest: the bytes of the file.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzzing {

struct FuzzInput
{
    uint8_t edit = 0;
    uint8_t pick = 0;
    QString text; // never holds a line break
    QByteArray file;

    FuzzInput(const uint8_t* data, size_t size)
    {
        const auto byte = [&](size_t i) { return i < size ? data[i] : uint8_t(0); };
        edit = byte(0);
        pick = byte(1);
        const size_t length = qMin<size_t>(byte(2), size > 3 ? size - 3 : 0);
        text = QString::fromUtf8(reinterpret_cast<const char*>(data) + qMin<size_t>(3, size),
                                 qsizetype(length));
        text.remove(u'\r');
        text.remove(u'\n');
        const size_t start = qMin(size, 3 + length);
        file = QByteArray(reinterpret_cast<const char*>(data) + start, qsizetype(size - start));
    }
};

} // namespace fuzzing
