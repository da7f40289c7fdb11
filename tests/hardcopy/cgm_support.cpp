#include "tests/hardcopy/cgm_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <span>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/quinda_state.h"

void CgmFileTest::SetUp() {
    VectorFileTest::SetUp();
    select(DriverCgm);
    IGrColourN(0x0000ff);
}

void CgmFileTest::start(const std::string& name) { igrhardcopy(name); }

CgmWalk CgmFileTest::stop(const std::string& name) {
    igrhardcopy("S");
    return walk_cgm(read_file(name));
}

void write_bmp(const std::string& name, int width, int height, const std::vector<std::int32_t>& pixels) {
    const int stride = (3 * width + 3) / 4 * 4;
    std::string bmp = "BM";
    auto word = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    word(static_cast<std::uint32_t>(54 + stride * height), 4), word(0, 4), word(54, 4), word(40, 4);
    word(static_cast<std::uint32_t>(width), 4), word(static_cast<std::uint32_t>(height), 4), word(1, 2), word(24, 2);
    word(0, 4), word(static_cast<std::uint32_t>(stride * height), 4), word(2835, 4), word(2835, 4), word(0, 4);
    word(0, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const std::int32_t c = pixels[static_cast<std::size_t>(y * width + x)];
            row[static_cast<std::size_t>(3 * x)] = static_cast<char>((c >> 16) & 0xff);
            row[static_cast<std::size_t>(3 * x + 1)] = static_cast<char>((c >> 8) & 0xff);
            row[static_cast<std::size_t>(3 * x + 2)] = static_cast<char>(c & 0xff);
        }
        bmp += row;
    }
    write_file(name, bmp);
}

void draw_test_picture() {
    igrfillpattern(4);
    IGrColourN(0xff0000);
    IGrRectangle(40, 60, 260, 300);
    IGrColourN(0x00ff00);
    igrellipse(460, 180, 120, 1.0f);
    IGrColourN(0x0000ff);
    igrlinewidth(3, 60, 60);
    igrjoin(40, 420, 600, 420);
}

void identification_reads(const std::string& cgm, float aspect) {
    std::int32_t pictures = -1;
    float found = 0;
    yyinfocgm(cgm, pictures, found);
    EXPECT_EQ(pictures, 1) << cgm;
    EXPECT_NEAR(found, aspect, 0.01f) << cgm;
}

namespace {
bool convert(const std::string& cgm) {
    const ReaderRun r = run_reader("soffice --headless -env:UserInstallation=file://$PWD/lo --convert-to pdf "
                                   "--outdir . " + cgm + " >/dev/null 2>&1");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string pdf = cgm.substr(0, cgm.rfind('.')) + ".pdf";
    const bool made = !read_file(pdf).empty();
    EXPECT_TRUE(made) << "no PDF from " << cgm;
    if (made && have_program("pdfinfo")) {
        const ReaderRun info = run_reader("pdfinfo " + pdf);
        EXPECT_NE(info.out.find("Pages:           1\n"), std::string::npos) << info.out;
    }
    return made;
}
}  // namespace

void libreoffice_reads(const std::string& cgm) {
    if (!have_program("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    convert(cgm);
}

void libreoffice_finds_test_picture(const std::string& cgm) {
    if (!have_program("soffice") || !have_program("pdftoppm")) GTEST_SKIP() << "LibreOffice or poppler-utils absent";
    if (!convert(cgm)) return;
    const std::string base = cgm.substr(0, cgm.rfind('.'));
    const ReaderRun r = run_reader("pdftoppm -r 50 -png -singlefile " + base + ".pdf " + base);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto [w, h] = png_size(base + ".png");
    ASSERT_GT(w, 0);
    std::vector<std::int32_t> px(static_cast<std::size_t>(w * h));
    quinda.last_error = 0;
    IGrLoadImageData(base + ".png", px);
    ASSERT_EQ(quinda.last_error, 0);
    if (const char* keep = std::getenv("QUINDA_WRITE_PICTURES")) run_reader("cp " + base + ".png " + cgm + " " + keep);
    // Coarse probes: where the pixels of each colour lie. LibreOffice
    // places the picture on its own page, so only the layout is compared:
    // the blue rectangle left, the green ellipse right, the red line above
    // both.
    struct Probe {
        int r, g, b;
        long count = 0;
        double x = 0, y = 0;
    };
    Probe probes[3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::int32_t c = px[static_cast<std::size_t>(y * w + x)];
            for (Probe& p : probes)
                if (std::abs((c & 0xff) - p.r) < 60 && std::abs(((c >> 8) & 0xff) - p.g) < 60 &&
                    std::abs(((c >> 16) & 0xff) - p.b) < 60) {
                    ++p.count;
                    p.x += x;
                    p.y += y;
                }
        }
    for (Probe& p : probes) {
        ASSERT_GT(p.count, 50) << p.r << " " << p.g << " " << p.b << " not drawn";
        p.x /= static_cast<double>(p.count) * w;
        p.y /= static_cast<double>(p.count) * h;
    }
    const Probe &blue = probes[0], &green = probes[1], &red = probes[2];
    EXPECT_LT(blue.x, 0.4);
    EXPECT_GT(green.x, 0.6);
    EXPECT_LT(red.y, blue.y);
    EXPECT_LT(red.y, green.y);
    EXPECT_GT(blue.count, red.count);
}
