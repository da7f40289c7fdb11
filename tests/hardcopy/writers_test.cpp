// The writers the file drivers share and the PostScript line writer.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/hardcopy/ps.h"
#include "lib/window/fmtwrite.h"
#include "lib/window/text.h"
#include "tests/support/quinda_test.h"

namespace {

class Writers : public QuindaTest {
protected:
    TempDir dir{true};
};

// Every value the library's own writer fits into its field comes out the
// same; what does not fit keeps its digits.
TEST_F(Writers, FixedFieldsMatchTheLibraryWriterWhereTheyFit) {
    std::vector<float> values = {0.0f,   -0.0f,  0.5f,    -0.5f,   0.125f,  -0.125f, 0.005f, 0.015f, 1.0f / 3,
                                 12.0f,  12.25f, 99.995f, 100.1f,  -2.5f,   3.14159f, 1e-7f, -1e-7f, 755.99f,
                                 999999.99f, 123456.789f, -99999.99f};
    for (int i = -2000; i <= 2000; i += 7) values.push_back(static_cast<float>(i) / 64.0f);
    // Floats of every magnitude from 1e-9 to 2e9, both signs, with their
    // last bits spread: the digits are made from the binary value exactly.
    for (std::uint32_t bits = 0x30000000u; bits < 0x4F000000u; bits += 0x00012345u)
        for (std::uint32_t sign : {0u, 0x80000000u}) values.push_back(std::bit_cast<float>(bits | sign));
    for (int w : {5, 8, 9, 15})
        for (int d : {1, 2, 4, 6}) {
            if (d >= w - 1) continue;
            const std::string format = "(F" + std::to_string(w) + "." + std::to_string(d) + ")";
            for (float v : values) {
                std::string expected(static_cast<std::size_t>(w), ' ');
                const int status = yyfmtwritereal(v, expected, format);
                if (status != FormatWriteOk || expected.find('*') != std::string::npos) continue;
                EXPECT_EQ(fixed_real(v, w, d), expected) << v << " " << format;
            }
        }
    struct Wide {
        float v;
        int w, d;
        const char* text;
    };
    for (const Wide& c : {Wide{1718.28f, 5, 1, "1718.3"}, Wide{-1234567.0f, 9, 2, "-1234567.00"},
                          Wide{12345678.0f, 8, 2, "12345678.00"}, Wide{1e10f, 15, 6, "10000000000.000000"},
                          Wide{NAN, 8, 2, "    0.00"}, Wide{INFINITY, 5, 1, "  0.0"}})
        EXPECT_EQ(fixed_real(c.v, c.w, c.d), c.text) << c.v;
    EXPECT_EQ(fixed_int(42, 5), "   42");
    EXPECT_EQ(fixed_int(123456, 3), "123456");
    EXPECT_EQ(fixed_int(-7, 3), " -7");
}

TEST_F(Writers, PostScriptLineWriter) {
    struct Case {
        const char* what;
        std::int32_t line_mode;
        std::function<void()> write;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"point scaled", 2, [] { yypos4(100.0f, 0.0f, "m"); }, "50.0 0.0 m\r\n"},
        {"one number", 2, [] { yypos5(0.5f, "w"); }, "0.50 w\r\n"},
        {"whole number", 2, [] { yypos5(1.0f, "w"); }, "1.0 w\r\n"},
        {"negative whole number", 2, [] { yypos5(-3.0f, "x"); }, "-3.0 x\r\n"},
        {"three numbers", 2, [] { yypos3(0.0f, 0.5f, 1.0f, "g"); }, "0.0 0.50 1.0 g\r\n"},
        {"hundredths stay", 2, [] { yypos3(12.25f, 12.5f, 102.35f, "m"); }, "12.25 12.50 102.35 m\r\n"},
        {"squeezed text", 2, [] { yypos6("  a    b  "); }, "a b\r\n"},
        {"squeezed word", 2, [] { yypos5(1.0f, "  90.   450.  arc "); }, "1.0 90. 450. arc\r\n"},
        {"blank text", 2, [] { yypos6("     "); }, "\r\n"},
        {"empty text", 2, [] { yypos6(""); }, "\r\n"},
        {"string kept", 2, [] { yypos7("(a  b) lsh"); }, "(a  b) lsh\r\n"},
        {"line mode: blank in front", 1, [] { yypos5(0.5f, "w"); }, " 0.50 w\r\n"},
        {"line mode: empty line", 1, [] { yypos6(""); }, " \r\n"},
        {"line mode: comments stay in column one", 1, [] { yypos6("%%EOF"); }, "%%EOF\r\n"},
        {"line mode: string", 1, [] { yypos7("(%) lsh"); }, " (%) lsh\r\n"},
        {"long text cut", 2, [] { yypos7(std::string(300, 'x')); }, std::string(255, 'x') + "\r\n"},
    };
    gstate.hc.x_scale = 0.5f;
    gstate.hc.y_scale = 0.25f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hcstate.LineModeWord = c.line_mode;
        txt_set(DriverText, "line.txt");
        yyprop(DriverChannel);
        c.write();
        yyprcl(DriverChannel);
        EXPECT_EQ(read_file("line.txt"), c.bytes);
    }
}

}  // namespace
