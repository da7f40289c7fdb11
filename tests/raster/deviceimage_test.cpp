// The raster device's image operation: a file stretched over the clip
// rectangle, its top row on top; a file that cannot be read draws nothing
// and hands its error back.
#include "lib/raster/imagefiles.h"
#include "tests/raster/image_tools.h"
#include "tests/raster/raster_fixture.h"

namespace {

using RasterImage = RasterTest;

TEST_F(RasterImage, StretchedOverTheClipRectangle) {
    // 2 x 2, 24 bits: top row red, green; bottom row blue, white.
    const std::string rows = bytes_of({255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0});
    std::string f(54, '\0');
    f[0] = 'B';
    f[1] = 'M';
    put_le(f, 10, 54, 4);
    put_le(f, 14, 40, 4);
    put_le(f, 18, 2, 4);
    put_le(f, 22, 2, 4);
    put_le(f, 26, 1, 2);
    put_le(f, 28, 24, 2);
    write_file(dir.file("two.bmp"), f + rows);

    page(4, 4, 24);
    txt_set(DriverText, dir.file("two.bmp"));
    drvargs.IX[1] = 2;
    drvargs.IY[1] = 2;
    infoerror(1);
    yyvras(OpImageFile);
    EXPECT_EQ(drvargs.K, 0);
    EXPECT_EQ(gstate.hc.page_in_progress, 1);
    const std::int32_t want[4][4] = {{0x0000FF, 0x0000FF, 0x00FF00, 0x00FF00},
                                     {0x0000FF, 0x0000FF, 0x00FF00, 0x00FF00},
                                     {0xFF0000, 0xFF0000, 0xFFFFFF, 0xFFFFFF},
                                     {0xFF0000, 0xFF0000, 0xFFFFFF, 0xFFFFFF}};
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(x, 3 - row) & 0xFFFFFF, want[row][x]) << x << "," << row;

    // A file that is no image: nothing drawn, the error in K, no report.
    page(4, 4, 24);
    txt_set(DriverText, dir.file("none.bmp"));
    reported_errors().clear();
    gstate.hc.page_in_progress = 0;
    yyvras(OpImageFile);
    EXPECT_EQ(drvargs.K, 27);
    EXPECT_EQ(gstate.hc.page_in_progress, 0);
    EXPECT_TRUE(reported_errors().empty());
    EXPECT_EQ(pixel(0, 0), -1);
}

}  // namespace
