// Small helpers for NUL-terminated UTF-16 text in fixed buffers.
// Every writer takes the buffer's capacity in code units and always terminates.
#pragma once

#include <cstddef>

// White space as the C locale knows it: space, tab, line feed, vertical tab,
// form feed and carriage return.
template <typename Unit>
constexpr bool IsAsciiSpace(Unit c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

template <typename Unit>
constexpr bool IsAsciiDigit(Unit c)
{
    return c >= '0' && c <= '9';
}

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

// The first `n` units of `text` equal `lower` when ASCII capitals are taken
// as small letters; `lower` holds no capital letters.
inline bool AsciiEqualNoCase(const char16_t* text, const char16_t* lower, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const char16_t unit =
            text[i] >= u'A' && text[i] <= u'Z' ? static_cast<char16_t>(text[i] - u'A' + u'a') : text[i];
        if (unit != lower[i]) return false;
    }
    return true;
}

inline const char16_t* U16Find(const char16_t* s, char16_t ch)
{
    for (; *s != 0; ++s)
        if (*s == ch) return s;
    return nullptr;
}

// UTF-16 to UTF-8, an unpaired surrogate becoming U+FFFD. Writes at most
// capacity - 1 bytes and the NUL, never a partial character; returns the
// bytes written. U16Utf8Size tells the capacity the whole text needs.
inline size_t U16ToUtf8(const char16_t* text, char* out, size_t capacity)
{
    if (capacity == 0) return 0;
    size_t n = 0;
    for (size_t i = 0; text[i] != 0; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        char bytes[4];
        size_t size;
        if (c < 0x80) {
            bytes[0] = static_cast<char>(c);
            size = 1;
        } else if (c < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (c >> 6));
            bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
            size = 2;
        } else if (c < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
            size = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
            size = 4;
        }
        if (n + size >= capacity) break;
        for (size_t k = 0; k < size; ++k) out[n++] = bytes[k];
    }
    out[n] = 0;
    return n;
}

// The UTF-8 character at text[0..available): its length in bytes and its
// code point in `c`, or 0 when it is not well formed (a stray or cut
// sequence, an overlong form, a surrogate, past U+10FFFF).
inline size_t DecodeUtf8(const unsigned char* text, size_t available, char32_t& c)
{
    if (available == 0) return 0;
    const unsigned char lead = text[0];
    size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (length > available) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((text[k] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (text[k] & 0x3F);
    }
    return c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0 : length;
}

// Three bytes per unit at most (a surrogate pair gives four for two units).
inline size_t U16Utf8Size(const char16_t* text) { return U16Len(text) * 3 + 1; }
