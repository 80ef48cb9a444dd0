#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// A property that does not hold ends the run, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition, input)                                                      \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "property failed: %s\ninput: %s\n", #condition,          \
                         (input).toUtf8().toPercentEncoding().constData());                \
            std::abort();                                                                 \
        }                                                                                 \
    } while (false)

// The raw bytes read both ways a text can come in: UTF-8 and UTF-16.
inline QString fuzzText(const uint8_t *data, size_t size, bool utf16)
{
    if (utf16)
        return QString(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}
