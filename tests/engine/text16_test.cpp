// UTF-16 text helpers: bounded copies and the UTF-8 conversion the tools and
// the Linux file paths use.
#include <gtest/gtest.h>

#include <string>

#include "engine/text16.h"

namespace {

TEST(Text16, Utf8OfEveryLength)
{
    const struct {
        const char16_t* text;
        const char* utf8;
    } cases[] = {
        {u"", ""},
        {u"rd 5", "rd 5"},
        {u"\u03C0 \u221A", "\xCF\x80 \xE2\x88\x9A"},            // two and three bytes
        {u"\U0001F600", "\xF0\x9F\x98\x80"},                   // a surrogate pair, four bytes
        {u"a\xD800" "b", "a\xEF\xBF\xBD" "b"},                 // a lone high surrogate
        {u"\xDC00", "\xEF\xBF\xBD"},                           // a lone low surrogate
        {u"\x0401\x0451", "\xD0\x81\xD1\x91"},                  // Ё ё
    };
    for (const auto& c : cases) {
        char out[32];
        size_t n = U16ToUtf8(c.text, out, sizeof out);
        EXPECT_EQ(std::string(out, n), c.utf8);
        EXPECT_EQ(out[n], 0);
        EXPECT_LE(n + 1, U16Utf8Size(c.text));
    }
}

TEST(Text16, Utf8StopsBeforeACharacterThatDoesNotFit)
{
    char out[4];
    EXPECT_EQ(U16ToUtf8(u"a\u03C0\u03C0", out, sizeof out), 3u);  // "a" and one pi
    EXPECT_EQ(std::string(out), "a\xCF\x80");
    EXPECT_EQ(U16ToUtf8(u"\u221A", out, 3), 0u);  // three bytes and the NUL need four
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(U16ToUtf8(u"x", out, 0), 0u);
}

TEST(Text16, CopiesAreBoundedAndTerminated)
{
    char16_t out[4];
    EXPECT_EQ(U16Copy(out, 4, u"abcdef"), 3u);
    EXPECT_EQ(std::u16string(out), u"abc");
    EXPECT_EQ(U16FromAscii(out, 2, "xyz"), 1u);
    EXPECT_EQ(std::u16string(out), u"x");
    EXPECT_EQ(U16Copy(out, 0, u"a"), 0u);
}

}  // namespace
