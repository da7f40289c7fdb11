// A line of each built-in font, rasterised from its strokes into a small
// bitmap and compared with the stored picture in strokefont_pictures/.
//
// Set QUINDA_WRITE_PICTURES to a directory to write the pictures there (to
// look at them, or to store new ones after a deliberate change of a font).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lib/graphics/strokefont.h"
#include "lib/graphics/strokefont_data.h"
#include "tests/support/test_raster.h"

namespace {

void paint(void* ctx, StrokeDraw kind, const float* x, const float* y, int n) {
    auto& bm = *static_cast<TestBitmap*>(ctx);
    if (kind == StrokeDraw::polygon) {
        bm.polygon(x, y, n);
        return;
    }
    for (int i = 0; i + 1 < n; ++i) bm.line(x[i], y[i], x[i + 1], y[i + 1]);
}

struct PictureCase {
    const char* file;
    const StrokeFontData& (*routine)();
    const char* text;
};

// Latin-1 text: accents, the euro (code 128) and the Symbol layout's Greek.
const PictureCase kPictures[] = {
    {"fixed", yyoffixed_data, "Hamburg 0&9 \xc4\xe9\xe7\x80$@g"},
    {"fixedbold", yyoffixedbold_data, "Hamburg 0&9 \xc4\xe9\xe7\x80$@g"},
    {"roman", yyofroman_data, "Hamburg 0&9 \xc4\xe9\xe7\x80$@g"},
    {"romanbold", yyofromanbold_data, "Hamburg 0&9 \xc4\xe9\xe7\x80$@g"},
    {"swiss", yyofswiss_data, "Hamburg 0&9 \xc4\xe9\xe7\x80$@g"},
    {"swissbold", yyofswissbold_data, "Hamburg 0&9 \xc4\xe9\xe7\x80$@g"},
    {"symbol", wgrofontsymbol_data, "ABGDSWabgdpw \xa5\xb6\xc5\xe5\xf2"},
    {"standard", wgrvfontstandard_data, "Hamburg 0&9 \xc4\xe9\xe7\x80$@g"},
};

}  // namespace

class StrokeFontPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(StrokeFontPicture, LineMatchesStoredPicture) {
    const PictureCase& c = GetParam();
    auto font = std::make_unique<StrokeFont>();
    ASSERT_EQ(yychsfont_into(*font, c.routine()), StrokeFontStatus::ok);
    const std::string_view text = c.text;
    // Characters of 14 x 24 pixels on a reference line in the middle.
    const float w = 14, h = 24;
    TestBitmap bm(static_cast<int>(w * static_cast<float>(text.size()) * 1.2f) + 8, 32);
    StrokeTextFrame f;
    f.x = 4;
    f.y = 16;
    f.w = w;
    f.h = h;
    f.along_x = w;
    f.pitch = font->default_pitch;
    yychdraw_geometry(*font, kBuiltinCharacterWidths, f, text, paint, &bm);
    const std::string problem =
        compare_with_stored_picture(bm, QUINDA_TEST_DATA, "strokefont_pictures", "strokefont_", c.file);
    EXPECT_TRUE(problem.empty()) << problem;
}

INSTANTIATE_TEST_SUITE_P(All, StrokeFontPicture, ::testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.file); });
