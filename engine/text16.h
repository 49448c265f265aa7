// Small helpers for NUL-terminated UTF-16 text in fixed buffers.
// Every writer takes the buffer's capacity in code units and always terminates.
#pragma once

#include <cstddef>

inline size_t U16Len(const char16_t* s)
{
    size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
}

// Copies at most capacity - 1 units of src and terminates; returns the length written.
inline size_t U16Copy(char16_t* dst, size_t capacity, const char16_t* src)
{
    if (capacity == 0) return 0;
    size_t n = 0;
    while (src[n] != 0 && n + 1 < capacity) {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = 0;
    return n;
}

// Widens ASCII text (printf output) into a UTF-16 buffer, bounded like U16Copy.
inline size_t U16FromAscii(char16_t* dst, size_t capacity, const char* src)
{
    if (capacity == 0) return 0;
    size_t n = 0;
    while (src[n] != 0 && n + 1 < capacity) {
        dst[n] = static_cast<unsigned char>(src[n]);
        ++n;
    }
    dst[n] = 0;
    return n;
}

inline bool U16Equal(const char16_t* a, const char16_t* b)
{
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

inline const char16_t* U16Find(const char16_t* s, char16_t ch)
{
    for (; *s != 0; ++s)
        if (*s == ch) return s;
    return nullptr;
}
