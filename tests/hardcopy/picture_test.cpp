// One picture (lines in colours and line types, a filled polygon, a circle,
// text at 0 and 30 degrees) written by every vector file driver and drawn
// by that format's standard reader. With HARDCOPY_PICTURE_DIR set, the
// drawn pictures are copied there to be looked at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "tests/hardcopy/vector_support.h"

namespace {

struct PictureRow {
    const char* name;
    std::int32_t driver;
    const char* file;
    const char* program;   // the reader, skipped when absent
    const char* command;   // draws file "in" into "out.png"
};

const PictureRow picture_rows[] = {
    {"Ghostscript", DriverPostScript, "in.ps", "gs",
     "gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 -sDEVICE=png16m -r72 -sOutputFile=out.png in.ps"},
    {"Rsvg", DriverSvg, "in.svg", "rsvg-convert", "rsvg-convert -b white -o out.png in.svg"},
    {"Ezdxf", DriverDxf, "in.dxf", "ezdxf", "ezdxf pillow -i 1000x750 -b FFFFFF -o out.png in.dxf"},
};

void draw_scene() {
    IGrUnits(0, 0, 100, 75);
    igrlinewidth(0, 10);
    const std::int32_t colours[4] = {wrgb(255, 0, 0), wrgb(0, 160, 0), wrgb(0, 0, 255), wrgb(0, 0, 0)};
    for (int i = 0; i < 4; ++i) {
        IGrColourN(colours[i]);
        igrlinetype(i * 2);
        const float y = 65.0f - 5.0f * static_cast<float>(i);
        igrjoin(5, y, 45, y);
    }
    igrlinetype(0);
    IGrColourN(wrgb(0, 0, 255));
    igrfillpattern(4);
    const float x[5] = {55, 95, 90, 70, 55}, y[5] = {45, 45, 70, 60, 70};
    IGrPolygonComplex(x, y, 5);
    igrfillpattern(0);
    IGrColourN(wrgb(255, 0, 0));
    igrcircle(25, 25, 15);
    IGrColourN(wrgb(0, 0, 0));
    WGrTextFont(101);
    igrcharsize(1.5f, 1.5f);
    gstate.text.justification = 0;
    wgrtextstring(55, 25, "Zeltramo");
    yychrot(30);
    wgrtextstring(55, 5, "30 degrees");
    yychrot(0);
}

class Picture : public VectorFileTest, public ::testing::WithParamInterface<PictureRow> {
protected:
    Picture() : VectorFileTest(640, 480) {}
};

TEST_P(Picture, ReaderDrawsIt) {
    const PictureRow& row = GetParam();
    select(row.driver);
    igrhardcopy(row.file);
    draw_scene();
    igrhardcopy("S");
    if (const char* keep = std::getenv("HARDCOPY_PICTURE_DIR"))
        std::filesystem::copy_file(row.file, std::filesystem::path(keep) / row.file,
                                   std::filesystem::copy_options::overwrite_existing);
    if (!have_program(row.program)) GTEST_SKIP() << row.program << " is not installed";
    const ReaderRun r = run_reader(row.command);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    ASSERT_GT(png_size("out.png").first, 0);
    if (const char* keep = std::getenv("HARDCOPY_PICTURE_DIR"))
        std::filesystem::copy_file("out.png", std::filesystem::path(keep) / (std::string(row.name) + ".png"),
                                   std::filesystem::copy_options::overwrite_existing);
    if (!have_python_modules("PIL")) GTEST_SKIP() << "python3-pil is not installed";
    // Red, green and blue strokes and the blue fill are in the picture.
    const ReaderRun count = run_reader(
        std::string(DebianPython) +
        " -c \"from PIL import Image; im = Image.open('out.png').convert('RGB'); px = list(im.getdata())\n"
        "red = sum(r > g + 60 and r > b + 60 for r, g, b in px)\n"
        "green = sum(g > r + 60 and g > b + 60 for r, g, b in px)\n"
        "blue = sum(b > r + 60 and b > g + 60 for r, g, b in px)\n"
        "print(red, green, blue, len(px))\"");
    ASSERT_EQ(count.status, 0) << count.err;
    long red = 0, green = 0, blue = 0, all = 0;
    ASSERT_EQ(std::sscanf(count.out.c_str(), "%ld %ld %ld %ld", &red, &green, &blue, &all), 4) << count.out;
    EXPECT_GT(red, all / 2000);
    EXPECT_GT(green, all / 10000);
    EXPECT_GT(blue, all / 100);
}

INSTANTIATE_TEST_SUITE_P(EveryVectorDriver, Picture, ::testing::ValuesIn(picture_rows),
                         [](const ::testing::TestParamInfo<PictureRow>& info) { return std::string(info.param.name); });

}  // namespace
