#include <gtest/gtest.h>

#include <string>

#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/strings.h"
#include "lib/window/text.h"
#include "tests/support/quinda_test.h"

class StringUtilTest : public QuindaTest {};

TEST_F(StringUtilTest, CaseConversionTouchesOnlyAsciiLetters) {
    std::string s = "Hello, World 09 \xe9\xc9 []{}@`";
    iuppercase(s);
    EXPECT_EQ(s, "HELLO, WORLD 09 \xe9\xc9 []{}@`");
    ilowercase(s);
    EXPECT_EQ(s, "hello, world 09 \xe9\xc9 []{}@`");
}

TEST_F(StringUtilTest, LocateString) {
    struct Case {
        std::string text;
        int first, last;
    };
    const Case cases[] = {
        {"  ab cd  ", 3, 4}, {"abc", 1, 3}, {"   ", 0, 0}, {"", 0, 0},
        {"  word", 3, 6}, {std::string("a\0b c", 5), 1, 3}, {"\tx y", 1, 2},
    };
    for (const auto& c : cases) {
        int first = -1, last = -1;
        ilocatestring(c.text, first, last);
        EXPECT_EQ(first, c.first) << c.text;
        EXPECT_EQ(last, c.last) << c.text;
    }
}

TEST_F(StringUtilTest, LocateCharSkipsBlanksAndNuls) {
    EXPECT_EQ(ilocatechar(std::string("\0 \0x", 4)), 4);
    EXPECT_EQ(ilocatechar(std::string(" \0 ", 3)), 0);
    EXPECT_EQ(ilocatechar("ab"), 1);
    EXPECT_EQ(ilocatechar(""), 0);
}

TEST_F(StringUtilTest, Justify) {
    struct Case {
        std::string text, option, result;
    };
    const Case cases[] = {
        {"ab   ", "L", "ab   "},
        {"  ab ", "L", "ab   "},
        {"ab   ", "r", "   ab"},
        {"ab   ", " ", " ab  "},      // spare room 3: one before, two after
        {"ab    ", "C", "  ab  "},
        {"   ab", "LR", "ab   "},      // L wins
        {" a b  ", "R", "   a b"},     // inner blanks move with the text
        {"     ", "R", "     "},       // blank stays blank
        {"abcde", "R", "abcde"},       // significant part fills the text
        {"x", "C", "x"},
        {"  abc  ", "l", "abc    "},
        {"a     ", "xyz", "  a   "},
    };
    for (const auto& c : cases) {
        std::string t = c.text;
        ijustifystring(t, c.option);
        EXPECT_EQ(t, c.result) << "[" << c.text << "] " << c.option;
    }
}

TEST_F(StringUtilTest, IndexNoCase) {
    EXPECT_EQ(indexnocase("Hello world", "WORLD"), 7);
    EXPECT_EQ(indexnocase("Hello world", "o", true), 8);
    EXPECT_EQ(indexnocase("Hello world", "o"), 5);
    EXPECT_EQ(indexnocase("Hello world", ""), 1);
    EXPECT_EQ(indexnocase("Hello world", "", true), 12);
    EXPECT_EQ(indexnocase("abc", "abcd"), 0);
    EXPECT_EQ(indexnocase("Hello world", "xyz"), 0);
    // The substring counts with its trailing blanks.
    EXPECT_EQ(indexnocase("abc", "c "), 0);
    EXPECT_EQ(indexnocase("ab cd", "B "), 2);
    // Only a..z fold: an accented capital does not match its small letter.
    EXPECT_EQ(indexnocase("x\xe9", "\xc9"), 0);
}

TEST_F(StringUtilTest, CharCode) {
    EXPECT_EQ(yyichar("A"), 65);
    EXPECT_EQ(yyichar("\xff"), 255);
    EXPECT_EQ(yyichar(""), 0);
}

TEST_F(StringUtilTest, NextStringTakesWordsOffTheLine) {
    std::string line = "  alpha beta   gamma ";
    std::string word(4, '#');
    inextstring(line, word);
    EXPECT_EQ(word, "alph");
    EXPECT_EQ(line, "        beta   gamma ");
    std::string wide(8, '#');
    inextstring(line, wide);
    EXPECT_EQ(wide, "beta    ");
    inextstring(line, wide);
    EXPECT_EQ(wide, "gamma   ");
    EXPECT_TRUE(txt_blank(line));
    inextstring(line, wide);
    EXPECT_TRUE(txt_blank(wide));
    EXPECT_EQ(quinda.last_error, 0);
}

TEST_F(StringUtilTest, NextIntegerReportsTheConverterErrors) {
    std::string line = "12 -7 x  ";
    struct Step {
        int value, error;
    };
    const Step steps[] = {{12, 0}, {-7, 0}, {0, 12}, {0, 10}};
    for (const auto& s : steps) {
        int v = 99;
        inextinteger(line, v);
        EXPECT_EQ(v, s.value);
        EXPECT_EQ(infoerror(1), s.error);
    }
}

TEST_F(StringUtilTest, NextRealAndDouble) {
    std::string line = "1.5e2 2.5D1";
    float f = 0;
    inextreal(line, f);
    EXPECT_EQ(f, 150.0f);
    double d = 0;
    inextdouble(line, d);
    EXPECT_EQ(d, 25.0);
    EXPECT_EQ(infoerror(1), 0);
    inextreal(line, f);
    EXPECT_EQ(infoerror(1), 10);
    std::string empty;
    inextdouble(empty, d);
    EXPECT_EQ(infoerror(1), 10);
}

TEST_F(StringUtilTest, NulTerminatedTexts) {
    EXPECT_EQ(yystrlen("abc  "), 3);
    EXPECT_EQ(yystrlen("   "), 0);
    EXPECT_EQ(yystrlen(""), 0);
    EXPECT_EQ(yystrlen(" a b "), 4);
    EXPECT_EQ(yysubstrlen("abc def"), 3);
    EXPECT_EQ(yysubstrlen(" abc"), 0);
    EXPECT_EQ(yysubstrlen("abc"), 3);

    char six[7] = "######";
    yystrctof("0123456789", six, 6);
    EXPECT_EQ(std::string(six, 6), "012345");
    EXPECT_EQ(six[6], '\0');   // nothing written past the length
    std::string dest(6, '#');
    yystrctof("ab", dest);
    EXPECT_EQ(dest, "ab    ");
    yystrctof(nullptr, dest);
    EXPECT_EQ(dest, "      ");
}
