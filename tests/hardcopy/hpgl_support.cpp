#include "tests/hardcopy/hpgl_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"

Lines split_crlf(const std::string& bytes) {
    Lines lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(at));
            break;
        }
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

void HpglFileTest::start(const std::string& name) { igrhardcopy(name); }
void HpglFileTest::igrhardcopy_titled(const std::string& name, const char* title) { igrhardcopy(name, title); }
void HpglFileTest::stop() { igrhardcopy("S"); }

void end_page() {
    drvargs.K = 32;
    drvargs.N = 1;
    yyhdrv(OpEndPage);
}

void draw_hpgl_scene() {
    IGrUnits(0, 0, 100, 75);
    const std::int32_t colours[4] = {wrgb(255, 0, 0), wrgb(0, 160, 0), wrgb(0, 0, 255), wrgb(0, 0, 0)};
    for (int i = 0; i < 4; ++i) {
        IGrColourN(colours[i]);
        igrlinetype(i * 2);
        const float y = 70.0f - 5.0f * static_cast<float>(i);
        igrjoin(5, y, 45, y);
    }
    igrlinetype(0);
    IGrColourN(wrgb(0, 0, 255));
    igrfillpattern(4);
    const float x[5] = {55, 95, 90, 70, 55}, y[5] = {45, 45, 70, 60, 70};
    IGrPolygonComplex(x, y, 5);
    igrfillpattern(1, 3, 2);
    const float hx[4] = {5, 40, 40, 5}, hy[4] = {30, 30, 45, 45};
    IGrPolygonComplex(hx, hy, 4);
    igrfillpattern(0);
    IGrColourN(wrgb(255, 0, 0));
    igrcircle(25, 15, 10);
    // An open arc of a quarter circle around (70, 25), radius 12.
    gstate.fill_density = 3;
    drvargs = DriverArguments{};
    drvargs.X = {70.0f * gstate.sx, 12.0f * gstate.sx, 0.0f, 0.0f};
    drvargs.Y = {25.0f * gstate.sy, 0.0f, 0.0f, 90.0f};
    yyhdrv(OpArc);
    gstate.fill_density = 2;
    IGrColourN(wrgb(0, 0, 0));
    WGrTextFont(101);
    igrcharsize(1.5f, 1.5f);
    gstate.text.justification = 0;
    wgrtextstring(55, 30, "Zeltramo");
    yychrot(30);
    wgrtextstring(55, 5, "30 degrees");
    yychrot(0);
}

void expect_hp2xx_draws(const std::string& file, const std::string& name) {
    if (!have_program("hp2xx")) GTEST_SKIP() << "hp2xx is not installed";
    std::filesystem::remove("out.png");
    const ReaderRun r = run_reader("hp2xx -q -m png -f out.png " + file);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    ASSERT_GT(png_size("out.png").first, 0);
    if (const char* keep = std::getenv("HARDCOPY_PICTURE_DIR")) {
        std::filesystem::copy_file(file, std::filesystem::path(keep) / (name + ".plt"),
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file("out.png", std::filesystem::path(keep) / (name + ".png"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    if (!have_python_modules("PIL")) GTEST_SKIP() << "python3-pil is not installed";
    const ReaderRun count = run_reader(std::string(DebianPython) +
                                       " -c \"from PIL import Image; im = Image.open('out.png').convert('L'); "
                                       "print(sum(v < 128 for v in im.getdata()))\"");
    ASSERT_EQ(count.status, 0) << count.err;
    EXPECT_GT(std::atol(count.out.c_str()), 100) << "hp2xx drew next to nothing";
}
