// A line of each built-in font, rasterised from its strokes into a small
// bitmap and compared with the stored picture in strokefont_pictures/.
//
// Set QUINDA_WRITE_PICTURES to a directory to write the pictures there (to
// look at them, or to store new ones after a deliberate change of a font).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "lib/graphics/strokefont.h"
#include "lib/graphics/strokefont_data.h"

namespace {

// One bit per pixel, y counting up from the bottom row like device units.
struct Bitmap {
    int w, h;
    std::vector<unsigned char> px;
    Bitmap(int w_, int h_) : w(w_), h(h_), px(static_cast<std::size_t>(w_ * h_), 0) {}
    void set(int x, int y) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            px[static_cast<std::size_t>((h - 1 - y) * w + x)] = 1;
    }
    std::string pbm() const {
        std::ostringstream s;
        s << "P4\n" << w << " " << h << "\n";
        for (int r = 0; r < h; ++r)
            for (int b = 0; b < (w + 7) / 8; ++b) {
                unsigned char byte = 0;
                for (int i = 0; i < 8; ++i) {
                    const int x = b * 8 + i;
                    if (x < w && px[static_cast<std::size_t>(r * w + x)]) byte |= 0x80 >> i;
                }
                s << byte;
            }
        return s.str();
    }
};

void line(Bitmap& bm, float x0, float y0, float x1, float y1) {
    const int n = 1 + static_cast<int>(4 * std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)));
    for (int i = 0; i <= n; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n);
        bm.set(static_cast<int>(std::floor(x0 + t * (x1 - x0))),
               static_cast<int>(std::floor(y0 + t * (y1 - y0))));
    }
}

// Even-odd fill of the pixels whose centres lie inside the closed outline.
void polygon(Bitmap& bm, const float* x, const float* y, int n) {
    for (int row = 0; row < bm.h; ++row) {
        const float yc = static_cast<float>(row) + 0.5f;
        std::vector<float> xs;
        for (int i = 0, j = n - 1; i < n; j = i++)
            if ((y[i] > yc) != (y[j] > yc))
                xs.push_back(x[j] + (yc - y[j]) * (x[i] - x[j]) / (y[i] - y[j]));
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
            for (int col = static_cast<int>(std::ceil(xs[k] - 0.5f));
                 static_cast<float>(col) + 0.5f < xs[k + 1]; ++col)
                bm.set(col, row);
    }
}

void paint(void* ctx, StrokeDraw kind, const float* x, const float* y, int n) {
    auto& bm = *static_cast<Bitmap*>(ctx);
    if (kind == StrokeDraw::polygon) {
        polygon(bm, x, y, n);
        return;
    }
    for (int i = 0; i + 1 < n; ++i) line(bm, x[i], y[i], x[i + 1], y[i + 1]);
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

std::string read_all(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

class StrokeFontPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(StrokeFontPicture, LineMatchesStoredPicture) {
    const PictureCase& c = GetParam();
    auto font = std::make_unique<StrokeFont>();
    ASSERT_EQ(yychsfont_into(*font, c.routine()), StrokeFontStatus::ok);
    const std::string_view text = c.text;
    // Characters of 14 x 24 pixels on a reference line in the middle.
    const float w = 14, h = 24;
    Bitmap bm(static_cast<int>(w * static_cast<float>(text.size()) * 1.2f) + 8, 32);
    StrokeTextFrame f;
    f.x = 4;
    f.y = 16;
    f.w = w;
    f.h = h;
    f.along_x = w;
    f.pitch = font->default_pitch;
    yychdraw_geometry(*font, kBuiltinCharacterWidths, f, text, paint, &bm);
    const std::string got = bm.pbm();

    if (const char* dir = std::getenv("QUINDA_WRITE_PICTURES")) {
        std::ofstream(std::string(dir) + "/strokefont_" + c.file + ".pbm", std::ios::binary)
            << got;
    }
    const std::string stored = read_all(std::string(QUINDA_TEST_DATA) +
                                        "/strokefont_pictures/" + c.file + ".pbm");
    ASSERT_FALSE(stored.empty()) << "no stored picture for " << c.file;
    EXPECT_TRUE(got == stored) << "picture of " << c.file << " differs from the stored one";
}

INSTANTIATE_TEST_SUITE_P(All, StrokeFontPicture, ::testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.file); });
