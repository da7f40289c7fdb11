// Windows-1252 table: every byte has a code point and comes back.
#include <gtest/gtest.h>

#include <string>

#include "platform/os_codepage.h"

TEST(Codepage1252, EveryByteRoundTripsThroughUnicodeAndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = os_cp1252_to_unicode(static_cast<unsigned char>(b));
        EXPECT_EQ(os_unicode_to_cp1252(cp), b) << "byte " << b;
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(os_utf8_to_cp1252(os_cp1252_to_utf8(all)), all);
}

TEST(Codepage1252, TableEntries) {
    struct Case {
        unsigned char byte;
        char32_t cp;
    };
    const Case cases[] = {
        {0x41, U'A'},     {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D},
        {0x8F, 0x008F},   {0x90, 0x0090}, {0x92, 0x2019}, {0x99, 0x2122}, {0x9D, 0x009D},
        {0x9F, 0x0178},   {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF}, {0x00, 0x0000},
    };
    for (const Case& c : cases) EXPECT_EQ(os_cp1252_to_unicode(c.byte), c.cp) << int(c.byte);
    EXPECT_EQ(os_cp1252_to_utf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(os_cp1252_to_utf8("caf\xE9"), "caf\xC3\xA9");
}

TEST(Codepage1252, CharactersOutsideTheTableAndMalformedUtf8BecomeTheReplacement) {
    EXPECT_EQ(os_unicode_to_cp1252(0x0085), -1);   // a C1 control that 1252 uses for "…"
    EXPECT_EQ(os_unicode_to_cp1252(0x4E2D), -1);
    EXPECT_EQ(os_utf8_to_cp1252("a\xE4\xB8\xAD" "b"), "a?b");        // U+4E2D
    EXPECT_EQ(os_utf8_to_cp1252("a\xC3" "b"), "a?b");                // cut sequence
    EXPECT_EQ(os_utf8_to_cp1252("\xC0\xAF"), "??");                  // overlong "/"
    EXPECT_EQ(os_utf8_to_cp1252("\xED\xA0\x80"), "???");             // surrogate
    EXPECT_EQ(os_utf8_to_cp1252("x\xE2\x82"), "x??");                // cut at the end
    EXPECT_EQ(os_utf8_to_cp1252("\xE2\x82\xAC", '#'), "\x80");
    EXPECT_EQ(os_utf8_to_cp1252("\xF0\x9F\x98\x80", '#'), "#");      // outside the BMP
}
