#include "app/records.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <filesystem>
#include <limits>

#include "lib/window/text.h"
#include "platform/os_app.h"
#include "tests/app/app_test.h"

using RecordsTest = AppTest;

// ---- output descriptors ----

struct EditCase {
    const char* format;
    double value;
    const char* expected;
};

TEST_F(RecordsTest, EditDescriptorTable) {
    const EditCase cases[] = {
        {"(G15.6)", 1234.5, "    1234.50    "},
        {"(G15.6)", 0.05, "   0.500000E-01"},
        {"(G15.6)", -9999.0, "   -9999.00    "},
        {"(G15.6)", 1.5E7, "   0.150000E+08"},
        {"(G15.6)", static_cast<double>(1.70141E+38f), "   0.170141E+39"},
        {"(G15.4)", 12.345678, "      12.35    "},
        {"(G15.6)", 0.1, "   0.100000    "},
        {"(G15.6)", 0.0999999996, "   0.100000    "},   // rounds up into the fixed form
        {"(G15.6)", 999999.7, "   0.100000E+07"},      // rounds up out of it
        {"(G15.6)", 123456.0, "    123456.    "},
        {"(G15.6)", 0.0, "    0.00000    "},
        {"(G17.9)", 155000.40625, "   155000.406    "},
        {"(F12.2)", 1234.567, "     1234.57"},
        {"(F12.2)", -0.004, "        0.00"},
        {"(F4.2)", 0.5, "0.50"},
        {"(F3.2)", 0.5, ".50"},
        {"(F4.2)", -0.5, "-.50"},
        {"(F5.0)", 12.0, "  12."},
        {"(F10.2)", 9999999.994, "9999999.99"},
        {"(F10.2)", 9999999.996, "**********"},
        {"(F10.2)", -999999.996, "**********"},
        {"(F10.2)", -999999.994, "-999999.99"},
        {"(F10.2)", 1.0E10, "**********"},
        {"(E12.4)", -123.456, " -0.1235E+03"},
        {"(E10.4)", -123.456, "-.1235E+03"},
        {"(E9.4)", -123.456, "*********"},
        {"(E12.3E3)", 1.0E-5, "  0.100E-004"},
        {"(E12.6)", 1.0E-120, "0.100000-119"},
        {"(G12.4E3)", 2.5, "  2.500     "},
        {"(F8.2)", std::numeric_limits<double>::quiet_NaN(), "     NaN"},
        {"(F8.2)", -std::numeric_limits<double>::infinity(), "    -Inf"},
    };
    for (const EditCase& c : cases) EXPECT_EQ(format_text(c.format, c.value), c.expected) << c.format << " " << c.value;
}

TEST_F(RecordsTest, IntegerDescriptors) {
    const struct {
        const char* format;
        long long v;
        const char* expected;
    } cases[] = {
        {"(I5)", 42, "   42"},       {"(I5)", -42, "  -42"},     {"(I5)", 99999, "99999"},
        {"(I5)", 100000, "*****"},    {"(I5)", -9999, "-9999"},  {"(I5)", -10000, "*****"},
        {"(I12)", 500, "         500"}, {"(I12)", -2147483648LL, " -2147483648"},
        {"(I2.2)", 7, "07"},          {"(I3.0)", 0, "   "},      {"(I3)", 0, "  0"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_text(c.format, c.v), c.expected) << c.format << " " << c.v;
}

TEST_F(RecordsTest, TextDescriptor) {
    EXPECT_EQ(edit_a("abc", 5), "  abc");
    EXPECT_EQ(edit_a("abcdef", 3), "abc");
    EXPECT_EQ(edit_a("ab  ", 0), "ab  ");
}

// ---- formats and records ----

TEST_F(RecordsTest, BadFormatsAreRejected) {
    for (const char* f : {"", "I5", "(I5", "(Q5)", "(I)", "(F10.)", "(2(I5)", "(I5))"})
        EXPECT_FALSE(parse_format(f).valid) << f;
    for (const char* f : {"(I5)", "( 2i10 )", "(a,g15.6)", "(2(I3,1X),A)", "(A2,2F12.2)", "(G15.5E2)", "(I5/I5)"})
        EXPECT_TRUE(parse_format(f).valid) << f;
}

TEST_F(RecordsTest, ItemsBeyondTheFormatContinueOnNewLines) {
    TextOut out;
    out.memory();
    {
        FormWrite w(out, "(10I3)");
        for (int i = 1; i <= 25; ++i) w.i(i);
    }
    EXPECT_EQ(out.str(),
              "  1  2  3  4  5  6  7  8  9 10\r\n"
              " 11 12 13 14 15 16 17 18 19 20\r\n"
              " 21 22 23 24 25\r\n");
}

TEST_F(RecordsTest, ReversionGoesToTheLastGroup) {
    TextOut out;
    out.memory();
    FormWrite(out, "(A,2(1X,I2))").a("n").i(1).i(2).i(3).i(4).i(5).end();
    EXPECT_EQ(out.str(), "n  1  2\r\n  3  4\r\n  5\r\n");
}

TEST_F(RecordsTest, KeywordAndNumberShareTheLine) {
    TextOut out;
    out.memory();
    FormWrite(out, "(A,I12)").a("NCOLS").i(500).end();
    FormWrite(out, "(A,G15.6)").a("NODATA").r(-9999.0).end();
    FormWrite(out, "(I5/I5)").i(1).i(2).end();
    EXPECT_EQ(out.str(), "NCOLS         500\r\nNODATA   -9999.00    \r\n    1\r\n    2\r\n");
}

TEST_F(RecordsTest, MismatchedItemsGiveAsterisks) {
    EXPECT_EQ(format_text("(I5)", 1.5), "*****");
    EXPECT_EQ(format_text("(F6.1)", 3LL), "******");
    EXPECT_EQ(format_text("(G6.1)", 3LL), "     3");
}

// ---- input ----

TEST_F(RecordsTest, RealFieldInput) {
    const struct {
        const char* field;
        int d;
        double expected;
    } good[] = {
        {"1.5E2", 0, 150.0}, {"7", 0, 7.0},        {" 12 34 ", 0, 1234.0}, {"1234", 2, 12.34},
        {"12.5", 3, 12.5},   {"-.5", 0, -0.5},     {"1.5d-2", 0, 0.015},   {"2.5-1", 0, 0.25},
        {"", 4, 0.0},        {"   ", 0, 0.0},      {"+3.", 0, 3.0},        {"1e+38", 0, 1.0E38},
        {".5", 0, 0.5},      {"5.", 0, 5.0},       {"-7", 0, -7.0},        {"1e-320", 0, 1e-320},
    };
    for (const auto& c : good) {
        double v = -1;
        EXPECT_TRUE(read_f(c.field, c.d, v)) << c.field;
        EXPECT_DOUBLE_EQ(v, c.expected) << c.field;
    }
    for (const char* bad : {"abc", "1.2.3", "1,5", "E5", "1E", "--1", "1e999", ".", "inf", "-inf", "nan", "-", "1e"}) {
        double v = -1;
        EXPECT_FALSE(read_f(bad, 0, v)) << bad;
        EXPECT_EQ(v, -1) << bad;
    }
    float f = 0;
    EXPECT_TRUE(read_f("155000.4", 0, f));
    EXPECT_EQ(f, 155000.4f);
}

TEST_F(RecordsTest, IntegerFieldInput) {
    std::int32_t v = -1;
    EXPECT_TRUE(read_i(" - 1 2", v));
    EXPECT_EQ(v, -12);
    EXPECT_TRUE(read_i("  ", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(read_i("2147483647", v));
    EXPECT_EQ(v, 2147483647);
    for (const char* bad : {"1.0", "2147483648", "x", "+", "1e3"}) {
        v = 5;
        EXPECT_FALSE(read_i(bad, v)) << bad;
        EXPECT_EQ(v, 5);
    }
}

TEST_F(RecordsTest, LinesEndAtLineFeedWithOptionalCarriageReturn) {
    TextIn in;
    in.open_text("a\r\nb\nc\r\n\nlast");
    std::string_view l;
    std::vector<std::string> got;
    while (in.next_line(l)) got.emplace_back(l);
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "", "last"}));
    in.back();
    ASSERT_TRUE(in.next_line(l));
    EXPECT_EQ(l, "last");
    in.rewind();
    ASSERT_TRUE(in.next_line(l));
    EXPECT_EQ(l, "a");
    in.back();
    ASSERT_TRUE(in.next_line(l));
    EXPECT_EQ(l, "a");
    EXPECT_EQ(in.line_number(), 1);
}

TEST_F(RecordsTest, FormattedReadTakesFieldsByColumn) {
    TextIn in;
    in.open_text("         1        20       300C:\\maps\\a.bln\n  1.5  2.5\nnext\n");
    std::int32_t a = 0, b = 0, c = 0;
    std::string name(80, ' ');
    EXPECT_EQ(FormRead(in, "(3I10,A)").i(a).i(b).i(c).a(name).end(), RecStatus::Ok);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 20);
    EXPECT_EQ(c, 300);
    EXPECT_EQ(name, std::string("C:\\maps\\a.bln") + std::string(67, ' '));
    float x = 0, y = 0;
    EXPECT_EQ(FormRead(in, "(2F5.0)").r(x).r(y).end(), RecStatus::Ok);
    EXPECT_EQ(x, 1.5f);
    EXPECT_EQ(y, 2.5f);
    std::string word(2, ' ');
    EXPECT_EQ(FormRead(in, "(A)").a(word).end(), RecStatus::Ok);
    EXPECT_EQ(word, "ne");
    EXPECT_EQ(FormRead(in, "(A)").a(word).end(), RecStatus::End);
    in.open_text("  1.5\n");
    a = 9;
    EXPECT_EQ(FormRead(in, "(I5)").i(a).end(), RecStatus::Bad);
    EXPECT_EQ(a, 9);
}

TEST_F(RecordsTest, WideTextFieldKeepsItsRightmostCharacters) {
    TextIn in;
    in.open_text("abcdef\n");
    std::string t(3, ' ');
    FormRead(in, "(A6)").a(t).end();
    EXPECT_EQ(t, "def");
}

TEST_F(RecordsTest, FreeReadSpansLinesAndSkipsTheRest) {
    TextIn in;
    in.open_text("1, 2.5\n  3 4 5 ignored words\n\n6\n");
    std::int32_t a = 0, c = 0;
    float b = 0, d = 0;
    {
        FreeRead r(in);
        r.i(a).r(b).i(c).r(d);
        EXPECT_EQ(r.end(), RecStatus::Ok);
    }
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2.5f);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(d, 4.0f);
    // An empty record still takes a line (here the empty one).
    EXPECT_EQ(FreeRead(in).end(), RecStatus::Ok);
    std::int32_t e = 0;
    EXPECT_EQ(FreeRead(in).i(e).end(), RecStatus::Ok);
    EXPECT_EQ(e, 6);
    EXPECT_EQ(FreeRead(in).i(e).end(), RecStatus::End);
    EXPECT_EQ(FreeRead(in).end(), RecStatus::End);
}

TEST_F(RecordsTest, FreeReadIntegerNeedsAnInteger) {
    TextIn in;
    in.open_text("1.5 2\n");
    std::int32_t a = 7;
    FreeRead r(in);
    r.i(a);
    EXPECT_EQ(r.end(), RecStatus::Bad);
    EXPECT_EQ(a, 7);
}

TEST_F(RecordsTest, FreeWriteReadsBack) {
    TextOut out;
    out.memory();
    const float vals[] = {0.1f, 155000.4f, -1.0E-7f, 1.70141E+38f, 3.0f, 1.17549435E-38f};
    {
        FreeWrite w(out);
        w.i(-12);
        for (float v : vals) w.r(v);
    }
    TextIn in;
    in.open_text(out.str());
    std::int32_t n = 0;
    float got[6] = {};
    FreeRead r(in);
    r.i(n);
    for (float& g : got) r.r(g);
    ASSERT_EQ(r.end(), RecStatus::Ok);
    EXPECT_EQ(n, -12);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], vals[i]) << i;
    EXPECT_EQ(out.str().find('\n'), out.str().size() - 1);   // one line
}

// ---- files ----

TEST_F(RecordsTest, UncommittedOutputLeavesTheTargetAlone) {
    TempDir dir;
    const std::string name = dir.file("grid.grd");
    write_file(name, "old contents");
    {
        TextOut out;
        ASSERT_TRUE(out.create(name));
        out.line("half");
    }
    EXPECT_EQ(read_file(name), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    TextOut out;
    ASSERT_TRUE(out.create(name + "   "));   // trailing blanks of a name do not count
    out.line("new");
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(read_file(name), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(RecordsTest, UnwritablePlacesFail) {
    TempDir dir;
    TextOut out;
    EXPECT_FALSE(out.create(dir.file("missing/dir/x.grd")));
    EXPECT_FALSE(out.create("   "));
    TextIn in;
    EXPECT_FALSE(in.open(dir.file("nothing.bln")));
    EXPECT_FALSE(in.open(dir.path().string()));
}

TEST_F(RecordsTest, ReadErrorsNameFileAndLine) {
    TextIn in;
    in.open_text("1\nx\n", "m.fem");
    std::int32_t a = 0;
    FreeRead(in).i(a).end();
    FreeRead r(in);
    r.i(a);
    app_read_error(in, r.end(), "an integer");
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0], "input error in file m.fem, line 2: an integer expected");
}

// ---- fields of a line ----

TEST_F(RecordsTest, FieldCounts) {
    const struct {
        const char* line;
        int n;
    } cases[] = {{"", 0}, {"    ", 0}, {"  12  34", 2}, {"12,34", 1}, {"a\tb", 1}, {"a b c   ", 3}, {" x", 1}};
    for (const auto& c : cases) EXPECT_EQ(nveld(c.line), c.n) << '"' << c.line << '"';
    EXPECT_EQ(nveld("12 34 56", 5), 2);   // only the first l characters count
}

TEST_F(RecordsTest, FieldPositionsKeepExtraBlanks) {
    int ib = 0, ie = 0;
    argstr(1, "ab   cd", ib, ie);
    EXPECT_EQ(ib, 1);
    EXPECT_EQ(ie, 4);
    argstr(2, "ab   cd", ib, ie);
    EXPECT_EQ(ib, 6);
    EXPECT_EQ(ie, 7);
    argstr(1, "  ab cd  ", ib, ie);
    EXPECT_EQ(ib, 3);
    EXPECT_EQ(ie, 4);
    ib = ie = -5;
    argstr(3, "ab cd", ib, ie);
    EXPECT_EQ(ib, -5);
    EXPECT_EQ(ie, -5);
    argstr(0, "ab cd", ib, ie);
    EXPECT_EQ(ib, -5);
}

TEST_F(RecordsTest, FieldAsNumber) {
    float v = 0;
    EXPECT_TRUE(datstr(1, "1.5E2   7", v));
    EXPECT_EQ(v, 150.0f);
    EXPECT_TRUE(datstr(2, "1.5E2   7", v));
    EXPECT_EQ(v, 7.0f);
    // A missing field or one that is not a number is an error, not the
    // previous field's value.
    v = 3;
    EXPECT_FALSE(datstr(3, "1.5E2   7", v));
    EXPECT_FALSE(datstr(1, "abc", v));
    EXPECT_EQ(v, 3.0f);
}

TEST_F(RecordsTest, DialogNumbers) {
    const struct {
        const char* in;
        const char* text_after;
        float value_after;
        int ierr;
    } cases[] = {
        {"3,5", "3.5", 3.5f, 0},
        {"1,2,3", "1.2,3", 9.0f, 1},
        {"", "", 9.0f, 0},
        {"    ", "    ", 9.0f, 0},
        {"abc", "abc", 9.0f, 1},
        {" -12.5  ", " -12.5  ", -12.5f, 0},
    };
    for (const auto& c : cases) {
        std::string t = c.in;
        float v = 9.0f;
        int ierr = -1;
        waarde(t, v, ierr);
        EXPECT_EQ(t, c.text_after) << c.in;
        EXPECT_EQ(v, c.value_after) << c.in;
        EXPECT_EQ(ierr, c.ierr) << c.in;
    }
}

TEST_F(RecordsTest, CommandLineWords) {
    std::string w;
    argv_of("run.ini other", w, 1);
    EXPECT_EQ(w, "run.ini" + std::string(73, ' '));
    argv_of("run.ini other", w, 2);
    EXPECT_EQ(txt_trim(w), "other");
    argv_of(" lead", w, 1);   // a line that begins with a blank has an empty first word
    EXPECT_EQ(w, std::string(80, ' '));
    argv_of("", w, 1);
    EXPECT_EQ(w.size(), 80u);
    EXPECT_TRUE(txt_blank(w));
    // The program's own command line: the arguments after its name.
    const auto& args = os_app_args();
    std::string expected(80, ' ');
    if (args.size() > 1) argv_of(args[1], expected, 1);
    argv(w, 1);
    EXPECT_EQ(w, expected);
}

TEST_F(RecordsTest, SmallTimeAndDate) {
    std::string t = "ABC xYz  ";
    small(t);
    EXPECT_EQ(t, "abc xyz  ");
    int h = 0, m = 0, s = 0, hh = -1;
    gettime(h, m, s, hh);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(m, 4);
    EXPECT_EQ(s, 5);
    EXPECT_GE(hh, 0);
    EXPECT_LT(hh, 100);
    int mo = 0, d = 0, y = 0;
    getdat(mo, d, y);
    EXPECT_EQ(mo, 1);
    EXPECT_EQ(d, 2);
    EXPECT_EQ(y, 24);
}

// Fixed and exponent texts are what printf writes, for values that round
// exactly half way, huge and tiny ones and random ones.
TEST(EditDescriptors, TextsAgreeWithPrintf) {
    std::vector<double> values{0.125, 2.5, 0.5, 1.005, 1e300, 1.7014118346046923e38, 3.4e-30, 12.35, 99999.995};
    std::uint64_t s = 99;
    for (int k = 0; k < 2000; ++k) {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        const double m = static_cast<double>(s >> 11) / 9007199254740992.0;
        values.push_back(m * std::pow(10.0, static_cast<int>(s % 24) - 8));
    }
    for (double v : values)
        for (int d = 1; d <= 9; ++d) {
            char f[512], e[512];
            std::snprintf(f, sizeof f, "%330.*f", d, v);
            ASSERT_EQ(edit_f(v, 330, d), f) << v << " " << d;
            std::snprintf(e, sizeof e, "%.*e", d - 1, v);
            // 0.ddd form: the same digits.
            std::string digits(e, std::strchr(e, 'e'));
            digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
            const std::string got = edit_e(v, 40, d);
            ASSERT_NE(got.find("0." + digits), std::string::npos) << got << " " << e;
        }
}

// Numbers of the program's own files: the digits that read back, within the
// field's own columns where they fit, with a blank before them.
TEST(EditGExact, DigitsThatReadBackWithinTheField) {
    struct Case {
        float v;
        int d;
        const char* text;   // nullptr: only the properties
    } cases[] = {
        {1551.33f, 4, "    1551.33    "},
        {154990.89f, 6, "  154990.89    "},
        {462991.47f, 6, "  462991.47    "},
        {155000.4f, 6, "   155000.4    "},
        {156000.0f, 6, "    156000.    "},
        {-12.5f, 6, "   -12.5000    "},
        {0.05f, 6, "   0.500000E-01"},
        {-1.2345679e-12f, 6, nullptr},
        {-3.3999998e38f, 6, nullptr},
        {16777217.0f, 6, nullptr},
        {0.1f, 4, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        const std::string s = edit_g_exact(c.v, 15, c.d);
        if (c.text) {
            EXPECT_EQ(s, c.text);
        }
        EXPECT_GE(s.size(), 15u);
        EXPECT_LE(s.size(), 17u);
        EXPECT_EQ(s[0], ' ');
        float back = 0;
        ASSERT_TRUE(read_f(s, 0, back)) << s;
        EXPECT_EQ(back, c.v) << s;
    }
}

namespace {

// The plain search edit_g_exact stands for: d significant digits, then one
// more at a time up to nine, each also in a field widened to hold them,
// until a text reads back as the value.
std::string edit_g_exact_searched(float v, int w, int d) {
    const auto good = [v](const std::string& s) {
        float back = 0;
        return s.find('*') == std::string::npos && !s.empty() && s[0] == ' ' && read_f(s, 0, back) &&
               (back == v || (std::isnan(back) && std::isnan(v)));
    };
    std::string s = edit_g(v, w, d);
    if (good(s)) return s;
    for (int p = d + 1; p <= 9; ++p) {
        s = edit_g(v, w, p);
        if (good(s)) return s;
        s = edit_g(v, std::max(w, p + 8), p);
        if (good(s)) return s;
    }
    return s;
}

float float_of_bits(std::uint32_t b) {
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}

}  // namespace

// The search that starts at the shortest text's digits writes what the
// search from d digits up writes, for every kind of single value: random
// bit patterns, short decimals, powers of two (whose lower neighbour is
// nearer), the neighbours of powers of ten, the extremes, subnormals,
// zeros, infinities and NaNs, in the fields the program writes and in
// narrower and wider ones.
TEST(EditGExact, SameTextsAsTheSearchFromDDigitsUp) {
    std::vector<float> values{0.0f, -0.0f, std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::min(), std::numeric_limits<float>::denorm_min(),
                              std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN(), 1.70141e38f, -9999.0f, 0.05f, 16777217.0f};
    for (int e = -149; e <= 127; ++e) {
        const float p2 = std::ldexp(1.0f, e);
        for (const float f : {p2, std::nextafter(p2, 0.0f), std::nextafter(p2, std::numeric_limits<float>::infinity())}) values.insert(values.end(), {f, -f});
    }
    for (int e = -45; e <= 38; ++e) {
        const float p10 = std::strtof(("1e" + std::to_string(e)).c_str(), nullptr);
        for (const float f : {p10, std::nextafter(p10, 0.0f), std::nextafter(p10, std::numeric_limits<float>::infinity()), 9.9995f * p10 / 10,
                              0.99995f * p10})
            values.push_back(f);
    }
    std::uint64_t s = 20251;
    const auto next = [&s] {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(s >> 32);
    };
    for (int k = 0; k < 8000; ++k) values.push_back(float_of_bits(next()));
    for (int k = 0; k < 3000; ++k) {
        // Decimals of one to nine digits at any scale, as typed or read.
        const int digits = 1 + static_cast<int>(next() % 9);
        const long long m = static_cast<long long>(next() % 1000000000ULL) % static_cast<long long>(std::pow(10, digits));
        const int scale = static_cast<int>(next() % 60) - 30;
        values.push_back(std::strtof((std::to_string(m) + "e" + std::to_string(scale)).c_str(), nullptr));
    }
    for (int k = 0; k < 3000; ++k) {
        // Values as the interpolation leaves them: heads, resistances, leakances.
        const float u = static_cast<float>(next() >> 8) / static_cast<float>(1u << 24);
        values.push_back(k % 3 == 0 ? 1.0f + 30.0f * u : k % 3 == 1 ? 100.0f + 9000.0f * u : 1e-4f * u - 5e-5f);
    }
    // The program's fields take every value, the others every eighth.
    for (const auto& [w, d] : {std::pair{15, 4}, std::pair{15, 6}, std::pair{12, 4}, std::pair{17, 6},
                               std::pair{9, 2}, std::pair{15, 0}, std::pair{15, 10}}) {
        const std::size_t step = w == 15 && (d == 4 || d == 6) ? 1 : 8;
        for (std::size_t k = 0; k < values.size(); k += step) {
            const float v = values[k];
            const std::string want = edit_g_exact_searched(v, w, d);
            const std::string got = edit_g_exact(v, w, d);
            if (got != want) {
                ADD_FAILURE() << "v " << v << " w " << w << " d " << d << ": \"" << got << "\" instead of \"" << want
                              << "\"";
                return;
            }
        }
    }
}
