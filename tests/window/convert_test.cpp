#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/fmtwrite.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "tests/support/quinda_test.h"

class ConvertTest : public QuindaTest {};

TEST_F(ConvertTest, StringToInteger) {
    struct Case {
        std::string text;
        int value, error;
    };
    const Case cases[] = {
        {"2147483647", 2147483647, 0},
        {"-2147483647", -2147483647, 0},
        {"2147483648", 0, 4},
        {"-2147483648", 0, 4},
        {"3000000000", 0, 4},
        {"00000000001", 0, 4},
        {"0000000001", 1, 0},
        {"+", 0, 0},
        {"-", 0, 0},
        {"12 34", 12, 0},
        {"  +42  ", 42, 0},
        {"1.5", 0, 12},
        {"--1", 0, 12},
        {"1a", 0, 12},
        {"", 0, 10},
        {"    ", 0, 10},
    };
    for (const auto& c : cases) {
        int v = 99;
        IStringToInteger(c.text, v);
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(infoerror(1), c.error) << c.text;
    }
}

TEST_F(ConvertTest, StringToReal) {
    struct Case {
        std::string text;
        float value;
        int error;
    };
    const Case cases[] = {
        {"1.5E3", 1500, 0}, {"1.5e+3", 1500, 0}, {"+1500", 1500, 0}, {"1500.", 1500, 0},
        {".15e4", 1500, 0}, {"1.5+003", 1500, 0}, {"-1.5-003", -0.0015f, 0}, {"1+003", 1000, 0},
        {"1.5+3", 0, 12}, {"1.5D3", 0, 12}, {"1.2.3", 0, 11}, {"1E2.5", 0, 12},
        {"1.5E2.5", 0, 12}, {"0E999", 0, 0}, {"3E38", 3e38f, 0}, {"5E38", 0, 4},
        {"1E39", 0, 4}, {"1E-50", 0, 0}, {"-2.5", -2.5f, 0}, {"0.1", 0.1f, 0},
        {"12,5", 0, 12}, {"", 0, 10}, {"1e5 junk", 1e5f, 0}, {"1E+-5", 0, 12},
        {std::string(40, '1'), 0, 4}, {"340282346638528860000000000000000000000", 3.4028234663852886E38f, 0},
        {"340282356779733661637539395458142568448", 0, 4},
        {"1E" + std::string(40, '0') + "1", 0, 4},
    };
    for (const auto& c : cases) {
        float v = 99;
        IStringToReal(c.text, v);
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(infoerror(1), c.error) << c.text;
    }
}

TEST_F(ConvertTest, StringToDoubleTakesTheDExponent) {
    struct Case {
        std::string text;
        double value;
        int error;
    };
    const Case cases[] = {
        {"1.5D3", 1500, 0}, {"1.5d-3", 0.0015, 0}, {"2.5E300", 2.5e300, 0}, {"1E308", 1e308, 0},
        {"1E310", 0, 4}, {"1E309", 0, 4}, {"0.1", 0.1, 0}, {"123456789.125", 123456789.125, 0},
        {"-1.234-100", -1.234e-100, 0}, {"1.5+3", 0, 12}, {"4.9E-324", 4.9e-324, 0},
        {"1.79769313486231570E308", 1.79769313486231570E308, 0},
    };
    for (const auto& c : cases) {
        double v = 99;
        istringtodouble(c.text, v);
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(infoerror(1), c.error) << c.text;
    }
}

TEST_F(ConvertTest, ConversionErrorsAreReportedAsIStringToReal) {
    idebuglevel(1);
    testing::internal::CaptureStdout();
    double d = 0;
    istringtodouble("1.2.3", d);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Routine:IStringToReal Error=  11:More than one decimal point in number\n");
}

TEST_F(ConvertTest, IntegerToString) {
    struct Case {
        int value;
        std::string format;
        std::size_t length;
        std::string text;
        int error;
    };
    const Case cases[] = {
        {7, "(I3.3)", 3, "007", 0},
        {-5, "(I4)", 6, "  -5  ", 0},
        {42, "(I11)", 11, "         42", 0},
        {-2147483647 - 1, "(I11)", 11, "-2147483648", 0},
        {12345, "(I4)", 12, "**********  ", 18},    // overflow of the field
        {12345, "(I4)", 4, "****", 18},
        {1, "(I12)", 11, "********** ", 18},       // field longer than the text
        {1, "(F5.2)", 11, "********** ", 18},      // wrong descriptor for an integer
        {1, "I5", 11, "********** ", 18},           // not a format
        {1, "(i 5)", 6, "    1 ", 0},              // blanks and case do not matter
        {0, "(I3.0)", 3, "   ", 0},
        {5, "(G6.2)", 6, "     5", 0},
        {123, "(I0)", 5, "123  ", 0},
    };
    for (const auto& c : cases) {
        std::string t(c.length, '#');
        IntegerToString(c.value, t, c.format);
        EXPECT_EQ(t, c.text) << c.value << " " << c.format;
        EXPECT_EQ(infoerror(1), c.error) << c.value << " " << c.format;
    }
}

TEST_F(ConvertTest, RealAndDoubleToString) {
    struct Case {
        double value;
        std::string format;
        std::string text;   // in a 16-character text
        int error;
    };
    const Case cases[] = {
        {1234.5, "(F5.2)", "**********", 18},
        {1234.5, "(F8.2)", " 1234.50", 0},
        {0.5, "(F4.2)", "0.50", 0},
        {0.5, "(F3.2)", ".50", 0},             // no room for the optional zero
        {-0.5, "(F5.2)", "-0.50", 0},
        {-0.001, "(F5.2)", " 0.00", 0},         // rounds to zero: no minus
        {0.125, "(F5.2)", " 0.13", 0},          // halves away from zero
        {-2.5, "(F3.0)", "-3.", 0},
        {0.3, "(F2.0)", "0.", 0},
        {9.9996, "(F6.3)", "10.000", 0},
        {0.0, "(F6.3)", " 0.000", 0},
        {1234.5, "(E12.4)", "  0.1235E+04", 0},
        {1234.5, "(1PE12.4)", "  1.2345E+03", 0},
        {-1234.5, "(E10.4)", "-.1235E+04", 0},
        {0.0, "(E10.3)", " 0.000E+00", 0},
        {1e-5, "(E12.3E3)", "  0.100E-004", 0},
        {1.5e-300, "(E12.4)", "  0.1500-299", 0},
        {1.5e100, "(E11.4E1)", "**********", 18},
        {1234.5, "(G12.5)", "  1234.5    ", 0},
        {0.05, "(G12.5)", " 0.50000E-01", 0},
        {99999.5, "(G12.5)", " 0.10000E+06", 0},
        {0.0, "(G12.5)", "  0.0000    ", 0},
        {3.0, "(G15.5E2)", "     3.0000    ", 0},
        {1.0, "(F17.2)", "**********", 18},     // field longer than the text
        {1.0, "(I5)", "**********", 18},        // integer descriptor for a real
        {1.0, "(E10.0)", "**********", 18},     // no significant digit
        {1.0, "(1PE10.0)", "    1.E+00", 0},
        {1.0, "(F10.3", "**********", 18},
        {1.0, "(F10)", "**********", 18},
        {1.0, "(A10)", "**********", 18},
    };
    for (const auto& c : cases) {
        std::string t(16, '#');
        IDoubleToString(c.value, t, c.format);
        EXPECT_EQ(t, txt_fixed(c.text, 16)) << c.value << " " << c.format;
        EXPECT_EQ(infoerror(1), c.error) << c.value << " " << c.format;
    }
}

TEST_F(ConvertTest, RealToStringOverflowReportsUnderItsName) {
    idebuglevel(1);
    testing::internal::CaptureStdout();
    std::string t(12, ' ');
    IRealToString(1234.5f, t, "(F5.2)");
    EXPECT_EQ(t, "**********  ");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Routine:IRealToString Error=  18:Numeric to string conversion error\n");
    // Single precision is written from its own binary value.
    IRealToString(0.1f, t, "(F12.10)");
    EXPECT_EQ(t, "0.1000000015");
    IRealToString(std::nanf(""), t, "(F6.2)");
    EXPECT_EQ(t, txt_fixed("   NaN", 12));
    IRealToString(-INFINITY, t, "(F9.2)");
    EXPECT_EQ(t, txt_fixed("-Infinity", 12));
}

TEST_F(ConvertTest, SilentConversionsKeepTheLastError) {
    idebuglevel(1);
    quinda.last_error = 77;
    testing::internal::CaptureStdout();
    double d = 5;
    yyst2dbl(d, "abc");
    EXPECT_EQ(d, 0);
    yyst2dbl(d, std::string("12.5\0xyz", 8));
    EXPECT_EQ(d, 12.5);
    float f = 0;
    yyst2rea(f, "2.5e1   ");
    EXPECT_EQ(f, 25.0f);
    int i = 0;
    yyst2int(i, "-7.9");
    EXPECT_EQ(i, -7);
    yyst2int(i, "3E9");
    EXPECT_EQ(i, 2147483647);
    int valid = -1;
    yyst2dblcheck(d, valid, "12,5");
    EXPECT_EQ(valid, 0);
    yyst2dblcheck(d, valid, "12.5");
    EXPECT_EQ(valid, 1);
    EXPECT_EQ(d, 12.5);
    std::string t = "abc     ";
    yyformd(t, "(F6.2)");
    EXPECT_EQ(t, std::string("0.00\0   ", 8));
    t = "  1.25  ";
    yyformr(t, "(F6.1)");
    EXPECT_EQ(t, std::string("1.3\0    ", 8));
    t = std::string("42.9\0zz     ", 12);
    yyformi(t);
    EXPECT_EQ(t, std::string("42\0         ", 12));
    t = "1e30    ";
    yyformd(t, "(F8.2)");   // does not fit: asterisks, still silent
    EXPECT_EQ(t, "********");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(quinda.last_error, 77);
    EXPECT_EQ(quinda.report_mode, 1);
}

TEST_F(ConvertTest, FieldTextsFromNumbers) {
    std::string t(20, '#');
    yyint2st(-5, t);
    EXPECT_EQ(t, std::string("-5\0", 3) + std::string(17, ' '));
    yydbl2st(2.5, t, "(F10.3)");
    EXPECT_EQ(t, std::string("2.500\0", 6) + std::string(14, ' '));
    EXPECT_EQ(infoerror(2), 0);
    EXPECT_EQ(infoerror(1), 0);
    // A value that does not fit its field keeps its asterisks without error.
    yyrea2st(12345.0f, t, "(F6.2)");
    EXPECT_EQ(t, std::string("******\0", 7) + std::string(13, ' '));
    EXPECT_EQ(infoerror(1), 0);
    // A write failure: ten asterisks, a NUL, error 18, the status kept.
    yydbl2st(1.0, t, "(F30.2)");
    EXPECT_EQ(t, std::string("**********\0", 11) + std::string(9, ' '));
    EXPECT_EQ(infoerror(1), 18);
    EXPECT_EQ(infoerror(5), StatusKindRunTime);
    EXPECT_EQ(infoerror(2), FormatWriteOverflow);
    std::string shortt(8, '#');
    yyint2st(1, shortt);   // (I11) does not fit 8 characters
    EXPECT_EQ(shortt, "********");
    EXPECT_EQ(infoerror(1), 18);
    std::string exact(11, '#');
    yyint2st(-2147483647 - 1, exact);
    EXPECT_EQ(exact, "-2147483648");
}

TEST_F(ConvertTest, DecimalCharacterIsFetchedButNotUsed) {
    OsConfig cfg = os_config_test_profile();
    cfg.locale_decimal = ',';
    os_config_set(cfg);
    yygetdecimal(quinda.decimal_char);
    EXPECT_EQ(quinda.decimal_char, ',');
    EXPECT_EQ(conversion_state.wDecimal, ',');
    EXPECT_EQ(quinda.locale_decimal_switch, 0);
    // Numbers keep the point.
    std::string t(6, ' ');
    IDoubleToString(1.5, t, "(F6.2)");
    EXPECT_EQ(t, "  1.50");
    double d = 0;
    istringtodouble("1,5", d);
    EXPECT_EQ(infoerror(1), 12);

    EXPECT_EQ(conversion_state.bDecimal, 0);
    yydecimal(1);
    EXPECT_EQ(conversion_state.bDecimal, 1);
    yydecimal(2);
    EXPECT_EQ(conversion_state.bDecimal, 0);

    int type = 0;
    yygradfilltype(type);
    EXPECT_EQ(type, 1);
    conversion_state.pGradientFill = 1;
    yygradfilltype(type);
    EXPECT_EQ(type, 2);
}
