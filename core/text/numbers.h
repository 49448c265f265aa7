// Reading numbers out of text, the same way wherever a number is typed,
// pasted or stored.
#pragma once

#include <cstddef>

// The longest leading decimal number of text[0..length): white space, an
// optional sign, digits with at most one point, and an exponent that counts
// only when digits follow its "e" ("5e" reads as 5). 0 when no digit comes
// first. Infinity, not-a-number and hexadecimal forms are no numbers here, so
// they read as 0 like any other text; a number too large for a double reads
// as an infinity. Reading stops at a NUL as well, so a NUL-terminated text
// may pass any length at least its own.
double ReadLeadingDecimal(const char* text, size_t length);
double ReadLeadingDecimal(const char16_t* text, size_t length);
