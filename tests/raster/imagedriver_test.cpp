// The image-file driver from start to stop: every format and depth written
// through the hardcopy front end and read back by the image programs and by
// the library's own reader.
#include <filesystem>
#include <map>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "tests/raster/image_tools.h"
#include "tests/support/graphics_test.h"

namespace {

struct Format {
    const char* name;
    std::int32_t option;
    const char* extension;
};
const Format formats[] = {{"bmp", 1, ".bmp"}, {"rle", 2, ".bmp"}, {"png", 3, ".png"}, {"pcx", 0, ".pcx"}};
const int depths[] = {1, 4, 8, 24};

constexpr int W = 400, H = 300;
constexpr std::int32_t Ink = 40;

std::vector<std::string>& reports() {
    static std::vector<std::string> lines;
    return lines;
}

class ImageDriver : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        install_hardcopy_drivers();
        igrinit();
        reports().clear();
        idebuglevel(ReportStatusBar);
        error_statusbar_hook = [](std::string_view line) { reports().emplace_back(line); };
    }

    static void select(int depth, std::int32_t format) {
        igrhardcopyselect(1, DriverImageFile);
        igrhardcopyoptions(1, W);
        igrhardcopyoptions(2, H);
        igrhardcopyoptions(23, depth);
        igrhardcopyoptions(26, format);
    }

    // A solid rectangle in colour Ink on the page, in page pixels, drawn
    // row by row: lines take their colour at every depth.
    static void draw() {
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H));
        IGrColourN(Ink);
        for (int y = 60; y <= 150; ++y)
            igrjoin(40.5f, static_cast<float>(y) + 0.5f, 200.5f, static_cast<float>(y) + 0.5f);
    }

    std::string write(int depth, const Format& f, int pages = 1) {
        const std::string name = dir.file(std::string(f.name) + std::to_string(depth) + "_" + std::to_string(pages) + f.extension);
        select(depth, f.option);
        igrhardcopy(name);
        for (int p = 0; p < pages; ++p) {
            if (p > 0) {
                drvargs.K = 32;
                drvargs.N = 1;
                yyhdrv(OpEndPage);
            }
            draw();
        }
        igrhardcopy("S");
        return name;
    }

    TempDir dir;
};

struct Box {
    int x1 = W, y1 = H, x2 = -1, y2 = -1;
};

// The box of the pixels that differ from the top left one.
Box ink_box(const std::vector<std::int32_t>& px) {
    Box b;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (px[static_cast<std::size_t>(y * W + x)] != px[0]) {
                b.x1 = std::min(b.x1, x);
                b.y1 = std::min(b.y1, y);
                b.x2 = std::max(b.x2, x);
                b.y2 = std::max(b.y2, y);
            }
    return b;
}

std::string colour_arg(std::int32_t rgb) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "'rgb(%d,%d,%d)'", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    return buf;
}

TEST_F(ImageDriver, EveryFormatAndDepthReadsAsTheSamePicture) {
    if (!have_program("convert") || !have_program("identify") || !have_program("compare"))
        GTEST_SKIP() << "ImageMagick is not installed";
    for (int depth : depths) {
        std::vector<std::int32_t> first;
        std::string first_file;
        for (const Format& f : formats) {
            const std::string file = write(depth, f);
            const std::string what = std::string(f.name) + " at " + std::to_string(depth) + " bits";
            ASSERT_EQ(infoerror(1), 0) << what;
            EXPECT_EQ(run_command("identify -format '%w %h' " + quote(file)), "400 300") << what;
            if (f.option == 3 && have_program("pngcheck")) {
                int rc = 0;
                const std::string out = run_command("pngcheck -v " + quote(file), &rc);
                EXPECT_EQ(rc, 0) << what << "\n" << out;
                EXPECT_NE(out.find("No errors detected"), std::string::npos) << what << "\n" << out;
            }
            if (f.option == 2 && (depth == 4 || depth == 8)) {
                // The run-length file carries its true size.
                const std::string bytes = read_file(file);
                std::uint32_t size = 0;
                for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<unsigned char>(bytes[2 + static_cast<std::size_t>(i)]);
                EXPECT_EQ(size, bytes.size()) << what;
                EXPECT_EQ(bytes[30], depth == 4 ? 2 : 1) << what;
            }
            std::string seen = file;
            if (depth == 1 && f.option == 0) {
                // ImageMagick shows the set bits of a one-plane PCX black,
                // where the PCX readers of the library (and most others)
                // show them white: it sees our black on white negated.
                seen = dir.file("negated.png");
                run_command("convert " + quote(file) + " -negate " + quote(seen));
            }
            const std::vector<std::int32_t> px = magick_pixels(seen);
            ASSERT_EQ(px.size(), static_cast<std::size_t>(W * H)) << what;
            // Our own reader sees what ImageMagick sees.
            EXPECT_TRUE(our_pixels(file, W, H) == px) << what;
            if (first.empty()) {
                first = px;
                first_file = file;
                continue;
            }
            int rc = 0;
            const std::string ae = run_command("compare -metric AE " + quote(first_file) + " " + quote(seen) + " null:", &rc);
            EXPECT_EQ(ae.substr(0, 1), "0") << what << ": " << ae;
        }
        // One solid rectangle on a plain background, where it was drawn:
        // ImageMagick draws the same picture itself.
        const Box b = ink_box(first);
        EXPECT_NEAR(b.x1, 40, 1) << depth;
        EXPECT_NEAR(b.x2, 200, 1) << depth;
        EXPECT_NEAR(b.y1, H - 150, 1) << depth;
        EXPECT_NEAR(b.y2, H - 60, 1) << depth;
        const std::int32_t bg = first[0], ink = first[static_cast<std::size_t>(b.y1 * W + b.x1)];
        std::int32_t palette_ink = 0, palette_bg = 0;
        yypalg(Ink, palette_ink);
        yypalg(0, palette_bg);
        if (depth == 1) {
            EXPECT_EQ(bg, 0xFFFFFF);
            EXPECT_EQ(ink, 0);
        } else if (depth == 8) {
            EXPECT_EQ(bg, palette_bg);
            EXPECT_EQ(ink, palette_ink);
        } else if (depth == 24) {
            EXPECT_EQ(bg, 0xFFFFFF);
            EXPECT_EQ(ink, palette_ink);
        }
        const std::string ref = dir.file("ref" + std::to_string(depth) + ".png");
        run_command("convert -size 400x300 xc:" + colour_arg(bg) + " +antialias -fill " + colour_arg(ink) +
                    " -draw 'rectangle " + std::to_string(b.x1) + "," + std::to_string(b.y1) + " " +
                    std::to_string(b.x2) + "," + std::to_string(b.y2) + "' " + quote(ref));
        const std::string ae = run_command("compare -metric AE " + quote(first_file) + " " + quote(ref) + " null:");
        EXPECT_EQ(ae.substr(0, 1), "0") << depth << ": " << ae;
    }
}

// Black, mid-grey and white filled squares on one page: read back, each
// square is as bright as its colour at every depth, dithered or not.
TEST_F(ImageDriver, FillsAreAsDarkAsTheirColourAtEveryDepth) {
    if (!have_program("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    struct Square {
        std::int32_t rgb;
        float low, high;  // the mean brightness read back, 0..1
    };
    const Square squares[] = {{wrgb(0, 0, 0), 0.0f, 0.1f}, {wrgb(128, 128, 128), 0.3f, 0.8f}, {wrgb(255, 255, 255), 0.9f, 1.0f}};
    for (int depth : depths) {
        const std::string file = dir.file("fills" + std::to_string(depth) + ".png");
        select(depth, 3);
        igrhardcopy(file);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H));
        igrcolourmodel(24);
        igrfillpattern(4);
        for (int i = 0; i < 3; ++i) {
            IGrColourN(squares[i].rgb);
            const float x = 20.0f + 100.0f * static_cast<float>(i);
            IGrRectangle(x, 100.0f, x + 80.0f, 180.0f);
        }
        igrhardcopy("S");
        ASSERT_EQ(infoerror(1), 0) << depth;
        const std::vector<std::int32_t> px = magick_pixels(file);
        ASSERT_EQ(px.size(), static_cast<std::size_t>(W * H)) << depth;
        // The mean over the inside of a square, one dither cell in from
        // its edges; page rows count down from the top.
        auto mean = [&](int x1, int y1, int x2, int y2) {
            double sum = 0.0;
            int n = 0;
            for (int y = H - y2; y < H - y1; ++y)
                for (int x = x1; x < x2; ++x) {
                    const std::int32_t c = px[static_cast<std::size_t>(y * W + x)];
                    sum += ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) / (3.0 * 255.0);
                    ++n;
                }
            return sum / n;
        };
        for (int i = 0; i < 3; ++i) {
            const int x = 20 + 100 * i;
            const double m = mean(x + 8, 108, x + 72, 172);
            EXPECT_GE(m, squares[i].low) << depth << " bits, square " << i;
            EXPECT_LE(m, squares[i].high) << depth << " bits, square " << i;
        }
    }
}

// A program that sets an entry of the whites' hue group (the logo sets
// entry 1 to indigo and draws with it) leaves the page of a 4-bit picture
// white in every format; red stays red.
TEST_F(ImageDriver, FourBitPageStaysWhiteWhenAnEntryOfTheWhitesIsSet) {
    const bool magick = have_program("convert");
    igrpalettergb(1, 64, 0, 128);
    for (const Format& f : formats) {
        const std::string file = dir.file(std::string("white4_") + f.name + f.extension);
        select(4, f.option);
        igrhardcopy(file);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H));
        igrcolourmodel(24);
        igrfillpattern(4);
        IGrColourN(wrgb(255, 0, 0));
        IGrRectangle(40.0f, 60.0f, 200.0f, 150.0f);
        igrcolourmodel(8);
        igrhardcopy("S");
        ASSERT_EQ(infoerror(1), 0) << f.name;
        std::vector<std::vector<std::int32_t>> readings{our_pixels(file, W, H)};
        if (magick) readings.push_back(magick_pixels(file));
        for (const std::vector<std::int32_t>& px : readings) {
            ASSERT_EQ(px.size(), static_cast<std::size_t>(W * H)) << f.name;
            EXPECT_EQ(px[0], 0xFFFFFF) << f.name << ": the page's corner";
            EXPECT_EQ(px[static_cast<std::size_t>((H - 20) * W + 300)], 0xFFFFFF) << f.name << ": beside the square";
            EXPECT_EQ(px[static_cast<std::size_t>((H - 100) * W + 120)], wrgb(255, 0, 0)) << f.name << ": the square";
        }
    }
}

TEST_F(ImageDriver, PagesAndEmptyRuns) {
    // Two pages: two images one after the other, each a whole file.
    for (const Format& f : formats) {
        const std::string one = read_file(write(8, f, 1));
        const std::string two = read_file(write(8, f, 2));
        ASSERT_FALSE(one.empty()) << f.name;
        if (f.option != 2) {
            EXPECT_TRUE(two == one + one) << f.name;
        } else {
            // Only the first image's size fields are written afterwards
            // (those of the whole file); the rest repeats.
            EXPECT_EQ(two.size(), 2 * one.size()) << f.name;
            EXPECT_TRUE(two.substr(one.size() + 38) == one.substr(38)) << f.name;
            EXPECT_TRUE(two.substr(38, one.size() - 38) == one.substr(38)) << f.name;
        }
    }
    // A run without drawing writes no image.
    select(8, 3);
    const std::string empty = dir.file("empty.png");
    igrhardcopy(empty);
    igrhardcopy("S");
    EXPECT_TRUE(std::filesystem::exists(empty));
    EXPECT_EQ(read_file(empty).size(), 0u);
}

TEST_F(ImageDriver, DefaultsAndFailedOutput) {
    igrhardcopyselect(1, DriverImageFile);
    EXPECT_EQ(txt_c(gstate.hc.output_name), "derizure.pcx");
    EXPECT_EQ(gstate.hc.options.get(1), 640);
    EXPECT_EQ(gstate.hc.options.get(2), 480);
    EXPECT_EQ(gstate.hc.options.get(23), 8);
    EXPECT_EQ(gstate.hc.colour_count, 256);
    EXPECT_EQ(gstate.device[HardcopySide].DeviceCapabilities, "00000111111111110010011111000");
    igrhardcopyoptions(26, 3);
    EXPECT_EQ(txt_c(gstate.hc.output_name), "derizure.png");

    // A run-length BMP whose writing failed is not patched afterwards.
    select(8, 2);
    igrhardcopy("/dev/full");
    draw();
    igrhardcopy("S");
    EXPECT_EQ(hcstate.HardcopyErrorFlag, 1);
    for (const std::string& line : reports()) EXPECT_EQ(line.find("YYBMP2"), std::string::npos) << line;
    EXPECT_FALSE(reports().empty());
}

}  // namespace
