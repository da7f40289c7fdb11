// A line of text in each built-in font, drawn by wgrtextstring through the
// line and polygon primitives to the recording device, rasterised from the
// operations the device received and compared with the stored picture in
// text_pictures/.
//
// Set QUINDA_WRITE_PICTURES to a directory to write the pictures there.
#include <gtest/gtest.h>

#include <string>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/text.h"
#include "tests/support/graphics_test.h"
#include "tests/support/test_raster.h"

namespace {

struct TextPicture {
    const char* file;
    void (*load)();
    int style;
    float angle;
    int height;  // of the picture, pixels
    const char* text;
};

constexpr const char* kLatin = "Hamburg 0&9 \xc4\xe9\xe7\x80$@g";

const TextPicture kPictures[] = {
    {"fixed", yyoffixed, 0, 0, 32, kLatin},
    {"fixedbold", yyoffixedbold, 0, 0, 32, kLatin},
    {"roman", yyofroman, 0, 0, 32, kLatin},
    {"romanbold", yyofromanbold, 0, 0, 32, kLatin},
    {"swiss", yyofswiss, 0, 0, 32, kLatin},
    {"swissbold", yyofswissbold, 0, 0, 32, kLatin},
    {"symbol", wgrofontsymbol, 0, 0, 32, "ABGDSWabgdpw \xa5\xb6\xc5\xe5\xf2"},
    {"standard", [] { wgrvfontstandard(); }, 0, 0, 32, kLatin},
    // Italic and underlined, and a rotated line.
    {"swiss_italic_underline", yyofswiss, 2 + 4, 0, 32, kLatin},
    {"standard_rotated", [] { wgrvfontstandard(); }, 0, 20, 130, kLatin},
};

// Test names say which picture; the parameter needs no printing.
void PrintTo(const TextPicture& c, std::ostream* os) { *os << c.file; }

}  // namespace

class TextPictureTest : public GraphicsTest, public ::testing::WithParamInterface<TextPicture> {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
    }
};

TEST_P(TextPictureTest, LineMatchesStoredPicture) {
    const TextPicture& c = GetParam();
    c.load();
    // Characters of 14 x 24 device units, left-justified on a reference
    // line 16 units above the picture's bottom row.
    constexpr float w = 14, h = 24, left = 4, bottom = 134;
    WGrTextFont(1, c.style, w / gstate.text_ref_size_x, h / gstate.text_ref_size_y);
    gstate.text.justification = 0;
    yychrot(c.angle);
    driver.clear();
    igrcharout(left / gstate.sx, (bottom + 16) / gstate.sy, c.text);

    const std::string_view text = c.text;
    TestBitmap bm(static_cast<int>(w * static_cast<float>(text.size()) * 1.2f) + 8, c.height);
    int marks = 0;
    for (const DriverCall& call : driver.calls) {
        if (call.side != ScreenSide) continue;
        std::vector<float> y = call.py;
        for (float& v : y) v -= bottom;
        switch (call.op) {
            case OpLine:
                bm.line(call.args.X[0], call.args.Y[0] - bottom, call.args.X[1], call.args.Y[1] - bottom);
                ++marks;
                break;
            case OpPolyline:
                for (std::size_t i = 0; i + 1 < call.px.size(); ++i) bm.line(call.px[i], y[i], call.px[i + 1], y[i + 1]);
                ++marks;
                break;
            case OpPolygonPattern:
            case OpPolygonSolid:
                bm.polygon(call.px.data(), y.data(), static_cast<int>(call.px.size()));
                ++marks;
                break;
            default: break;
        }
    }
    EXPECT_GT(marks, 0);
    const std::string problem = compare_with_stored_picture(bm, QUINDA_TEST_DATA, "text_pictures", "text_", c.file);
    EXPECT_TRUE(problem.empty()) << problem;
}

INSTANTIATE_TEST_SUITE_P(All, TextPictureTest, ::testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.file); });
