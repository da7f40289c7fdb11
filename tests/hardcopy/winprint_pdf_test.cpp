// The Windows printer driver end to end on the test machine's PDF printer:
// the jobs it prints, read back by the PDF readers.
#include <gtest/gtest.h>

#include <filesystem>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_gdi.h"
#include "tests/hardcopy/winprint_support.h"
#include "tests/support/graphics_test.h"

namespace {

class PrinterPdf : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        // Where inches are used the PDF printer's paper is Letter, whose
        // sizes these cases hold.
        os_config().measurement_system = 1;
        install_hardcopy_drivers();
        igrinit();
        igrhardcopyselect(1, DriverWindowsPrinter);
        infoerror(1);
    }
    static bool readers() { return have_program("pdfinfo") && have_program("pdftoppm"); }
    static int pages(const std::string& pdf) {
        const std::string info = run_reader("pdfinfo '" + pdf + "'").out;
        const auto at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
    }
    // The page at 50 pixels per inch: a PNG to look at and a PPM to probe.
    static Ppm render(const std::string& pdf, const std::string& stem) {
        run_reader("pdftoppm -r 50 -png -singlefile '" + pdf + "' '" + stem + "'");
        run_reader("pdftoppm -r 50 -singlefile '" + pdf + "' '" + stem + "'");
        keep_picture(stem + ".png", "printer-");
        return Ppm::read(stem + ".ppm");
    }
    TempDir dir{true};
};

TEST_F(PrinterPdf, SceneGivesOneLetterPageWithItsColours) {
    igrhardcopy(std::nullopt, "scene");
    draw_test_scene();
    igrhardcopy("S");
    EXPECT_EQ(infoerror(1), 0);
    ASSERT_TRUE(std::filesystem::exists("scene.pdf"));
    if (!readers()) GTEST_SKIP() << "poppler-utils not installed";
    EXPECT_EQ(pages("scene.pdf"), 1);
    EXPECT_NE(run_reader("pdfinfo scene.pdf").out.find("792 x 612 pts (letter)"), std::string::npos);
    const Ppm p = render("scene.pdf", "scene");
    ASSERT_EQ(p.w, 550);
    ASSERT_EQ(p.h, 425);
    // The picture covers the page area: one inch in from the paper's edges
    // (50 pixels), 9 by 6.5 inches (450 by 325 pixels).
    auto X = [](float u) { return static_cast<int>(50 + u * 4.5f); };
    auto Y = [](float v) { return static_cast<int>(50 + (100 - v) * 3.25f); };
    EXPECT_EQ(p.count_near(0, 0, 549, 45, 0x000000), 0);   // nothing in the top margin
    EXPECT_GT(p.count_near(X(10), Y(90) - 2, X(40), Y(90) + 2, 0xFF0000), 20);  // red line
    EXPECT_GT(p.count_near(X(10), Y(82) - 2, X(40), Y(82) + 2, 0x00FF00), 20);  // green line
    EXPECT_GT(p.count_near(X(10), Y(74) - 2, X(40), Y(74) + 2, 0x0000FF), 20);  // blue line
    EXPECT_GT(p.count_near(X(65), Y(90), X(90), Y(65), 0x0000FF), 2000);       // filled polygon
    // The circle's thin left side is drawn in a light red; its inside is empty.
    const int side = (X(12) - X(8) + 1) * (Y(28) - Y(32) + 1);
    EXPECT_GT(side - p.count_near(X(8), Y(32), X(12), Y(28), 0xFFFFFF, 30), 4);
    EXPECT_GT(p.count_near(X(8), Y(32), X(12), Y(28), 0xFF8080, 200), 4);
    EXPECT_EQ(p.count_near(X(20), Y(35), X(30), Y(25), 0xFFFFFF, 30), (X(30) - X(20) + 1) * (Y(25) - Y(35) + 1));
    EXPECT_GT(p.count_near(X(55), Y(24), X(80), Y(16), 0x000000, 120), 20);    // the text
}

TEST_F(PrinterPdf, PageLinePageCloseGivesTwoPages) {
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    igrhardcopy(std::nullopt, "two");
    igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
    yyhdrv(OpEndPage);
    igrjoin(0.1f, 0.9f, 0.9f, 0.1f);
    yyhdrv(OpEndPage);
    igrhardcopy("S");
    // Ending the page and then the run leaves no empty page behind.
    igrhardcopy(std::nullopt, "one");
    igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
    yyhdrv(OpEndPage);
    igrhardcopy("S");
    if (!readers()) GTEST_SKIP() << "poppler-utils not installed";
    EXPECT_EQ(pages("two.pdf"), 2);
    EXPECT_EQ(pages("one.pdf"), 1);
}

TEST_F(PrinterPdf, WindowDumpFillsThePageArea) {
    // A 640 x 480 window: black with a red right half.
    wtab.gDC = os_create_compatible_dc(0);
    os_select_object(wtab.gDC, os_create_compatible_bitmap(wtab.gDC, 640, 480));
    const OsObject red = os_create_solid_brush(0x0000FF);
    const OsObject old = os_select_object(wtab.gDC, red);
    os_select_object(wtab.gDC, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(wtab.gDC, 320, 0, 642, 482);
    os_select_object(wtab.gDC, old);
    igrprintimageselect();
    ASSERT_EQ(hcstate.PrinterAvailable, 1);
    std::int32_t err = 0;
    yywindumpstart(648, 468, 72, 72, err, 1, 1, "dump");
    ASSERT_EQ(err, 0);
    yywindumpblit(0, 0, 639, 479, err);
    EXPECT_EQ(err, 0);
    yywindumpend();
    if (!readers()) GTEST_SKIP() << "poppler-utils not installed";
    EXPECT_EQ(pages("dump.pdf"), 1);
    const Ppm p = render("dump.pdf", "dump");
    ASSERT_EQ(p.w, 550);
    // Black from one inch in to the middle of the page area, red from there
    // to one inch before the right edge, whatever the window's shape.
    auto is = [&](int x, int y, std::uint32_t c) { return p.count_near(x, y, x, y, c, 12) == 1; };
    EXPECT_TRUE(is(55, 212, 0x000000));
    EXPECT_TRUE(is(270, 212, 0x000000));
    EXPECT_TRUE(is(280, 212, 0xFF0000));
    EXPECT_TRUE(is(495, 370, 0xFF0000));
    EXPECT_TRUE(is(45, 212, 0xFFFFFF));
    EXPECT_TRUE(is(505, 212, 0xFFFFFF));
    EXPECT_TRUE(is(280, 45, 0xFFFFFF));
    EXPECT_TRUE(is(280, 380, 0xFFFFFF));
}

TEST_F(PrinterPdf, ImageFileFillsTheDrawingArea) {
    write_file("red.bmp", bmp_of(0x0000FF));
    igrhardcopy(std::nullopt, "image");
    txt_set(DriverText, "red.bmp");
    drvargs.IX[0] = 1;
    yyhdrv(OpImageFile);
    EXPECT_EQ(drvargs.K, 0);
    igrhardcopy("S");
    if (!readers()) GTEST_SKIP() << "poppler-utils not installed";
    const Ppm p = render("image.pdf", "image");
    ASSERT_EQ(p.w, 550);
    EXPECT_EQ(p.count_near(60, 60, 490, 365, 0xFF0000, 12), 431 * 306);
    EXPECT_EQ(p.count_near(0, 0, 549, 45, 0xFF0000, 100), 0);
}

TEST_F(PrinterPdf, NoPrintDirectoryFailsTheOpen) {
    os_config().print_directory = dir.file("missing");
    igrhardcopy(std::nullopt, "lost");
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    EXPECT_EQ(infoerror(1), 1);
    EXPECT_EQ(infoerror(2), 3);  // the path is not there
    igrhardcopy("S");
}

}  // namespace
