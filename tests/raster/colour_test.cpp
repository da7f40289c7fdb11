// Colour values of the raster device and of the RGB pixel writer, and the
// device words the raster device sets.
#include "lib/graphics/dither.h"
#include "lib/hardcopy/hcstate.h"
#include "tests/raster/raster_fixture.h"

namespace {

using RasterColour = RasterTest;

TEST_F(RasterColour, ColourOperationGivesThePixelValueOfEachDepth) {
    struct Case {
        const char* name;
        int depth;
        std::int32_t model;        // ColourModel
        std::int32_t colour;       // palette index or PackedRGB
        std::int32_t colour_mode;  // option 6
        std::int32_t kind;         // printer colour kind
        std::int32_t value;
    };
    const std::vector<Case> cases = {
        {"1-bit background under colour mode 0", 1, 1, 0, 0, 0, 0},
        {"1-bit index 223 inks under colour mode 0", 1, 1, 223, 0, 0, 1},
        {"1-bit index 223 is background under colour mode 1", 1, 1, 223, 1, 0, 0},
        {"1-bit index 0 inks under colour mode 2", 1, 1, 0, 2, 0, 1},
        {"3-bit black under colour mode 2 is 7", 3, 2, 0x000000, 2, 0, 7},
        {"3-bit black under colour mode 2 on CMY inks is 0", 3, 2, 0x000000, 2, 2, 0},
        {"3-bit red, green and blue halves", 3, 2, 0x80FF7F, 0, 0, 6},
        {"3-bit red under colour mode 1 unchanged", 3, 2, 0x0000FF, 1, 0, 1},
        {"3-bit red on CMY inks", 3, 2, 0x0000FF, 0, 2, 6},
        {"4-bit block 1", 4, 1, 17, 0, 0, 9},
        {"4-bit block 15", 4, 1, 255, 0, 0, 8},
        {"4-bit block 7", 4, 1, 112, 0, 0, 14},
        {"8-bit palette index", 8, 1, 200, 0, 0, 200},
        {"24-bit packed colour", 24, 2, 0x123456, 0, 0, 0x123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page(8, 4, c.depth);
        hcstate.models.PrinterColourKind = c.kind;
        gstate.hc.options.set(6, c.colour_mode);
        igrcolourmodel(c.model == 2 ? 24 : 8);
        const std::int32_t before = raster.colourValue;
        colour(c.colour);
        EXPECT_EQ(raster.colourValue, c.value);
        EXPECT_EQ(raster.previousColourValue, before);
    }
}

TEST_F(RasterColour, ColourOperationKeepsThePreviousPatterns) {
    page(8, 4, 3);
    igrcolourmodel(24);
    gstate.CurrentColour.rgb() = wrgb(128, 128, 132);
    raster.ditherPatterns = {{{1, 2}, {3, 4}, {5, 6}}};
    for (std::int32_t op : {OpPalette, OpColour}) {
        SCOPED_TRACE(op);
        const auto before = raster.ditherPatterns;
        yyvras(op);
        for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(raster.ditherPatterns[k][0], before[k][1]);
        // The new colour's own patterns, one per plane.
        EXPECT_EQ(static_cast<std::uint32_t>(raster.ditherPatterns[0][1]), 0xAA55AA55u);
        EXPECT_EQ(static_cast<std::uint32_t>(raster.ditherPatterns[1][1]), 0x55AAAAAAu);
        EXPECT_EQ(static_cast<std::uint32_t>(raster.ditherPatterns[2][1]), 0xD555AA55u);
    }
}

// A solid fill on a one-bit page inks the complement of the colour's
// luminance pattern over the area, cell after cell, so a dark colour prints
// dark; the patterns and the tables were made at the begin, under the
// colour count the driver had set.
TEST_F(RasterColour, DitheredFillOnAOneBitPage) {
    igrcolourmodel(24);
    IGrColourN(wrgb(128, 128, 128));
    gstate.hc.colour_count = 2;
    page(16, 8, 1);
    EXPECT_EQ(gstate.hc.colour_count, 2);
    EXPECT_EQ(dither_tables.red[1], 0x02400801u);
    EXPECT_EQ(static_cast<std::uint32_t>(raster.ditherPatterns[0][1]), 0xD555AA55u);
    gstate.fill_style = 4;
    drvargs.K = 0;
    drvargs.X[0] = 0.0f;
    drvargs.X[1] = 15.0f;
    drvargs.Y[0] = 0.0f;
    drvargs.Y[1] = 7.0f;
    yyvras(OpRectanglePattern);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(pixel(x, y), static_cast<std::int32_t>((~0xD555AA55u >> (8 * (y % 4) + x % 8)) & 1u))
                << x << "," << y << "\n" << art();
    // A colour change on the page follows the new colour's luminance.
    IGrColourN(wrgb(255, 255, 255));
    EXPECT_EQ(raster.ditherPatterns[0][1], -1);
    EXPECT_EQ(static_cast<std::uint32_t>(raster.ditherPatterns[0][0]), 0xD555AA55u);
}

// Gradient and image pixels on pages of one and three bits are dithered
// through the tables by their 4-bit colour.
TEST_F(RasterColour, SinglePixelsThroughTheDitherTables) {
    // (143, 0, 0) is red level 18 only: value 1 where its pattern is set.
    // A page of four planes stands in for a three-plane printer page.
    page(8, 4, 4);
    raster.pixelDepth = 3;
    constexpr std::uint32_t red18 = 0xEA55AAABu;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) yyvra5(x, y, wrgb(143, 0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixel(x, y), static_cast<std::int32_t>((red18 >> (8 * y + x)) & 1u)) << x << "," << y;
    // Full red, green and blue planes give 7; on CMY inks the value turns.
    yyvra5(0, 0, wrgb(255, 255, 255));
    EXPECT_EQ(pixel(0, 0), 7);
    hcstate.models.PrinterColourKind = 2;
    yyvra5(1, 0, wrgb(255, 0, 0));
    EXPECT_EQ(pixel(1, 0), 6);
    // On a one-bit page black inks every pixel of the cell.
    page(8, 4, 1);
    hcstate.models.PrinterColourKind = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) yyvra5(x, y, 0);
    EXPECT_EQ(art(), "########\n########\n########\n########\n");
}

TEST_F(RasterColour, DitheredPixelsOfOneAndThreeBitPages) {
    struct Case {
        const char* name;
        int depth;
        std::int32_t v, r, g, b, colour_mode, kind;
        std::uint32_t cell;  // the 8 x 4 cell the colour gives
    };
    const std::vector<Case> cases = {
        {"grey level 7", 1, 7, 150, 150, 150, 0, 0, 0x311148C8u},
        {"bright white is cleared", 1, 7, 255, 255, 255, 0, 0, 0u},
        {"black is set", 1, 0, 0, 0, 0, 0, 0, 0xFFFFFFFFu},
        {"colour mode 1 sets bright white", 1, 7, 255, 255, 255, 1, 0, 0xFFFFFFFFu},
        {"colour mode 1 clears black", 1, 0, 0, 0, 0, 1, 0, 0u},
        {"colour mode 2 swaps as well", 1, 0, 0, 0, 0, 2, 0, 0u},
        {"bright level of a light colour", 1, 1, 200, 10, 10, 0, 0, 0xECEC3776u},
        {"a component of 191 keeps the level", 1, 1, 191, 10, 10, 0, 0, 0xBFBFF7F7u},
        {"a component of 192 is the bright level", 1, 1, 192, 10, 10, 0, 0, 0xECEC3776u},
        {"green of 192 is bright too", 1, 2, 10, 192, 10, 0, 0, 0x6643CCC8u},
        {"blue of 191 is not", 1, 4, 10, 10, 191, 0, 0, 0xE7EF7E7Fu},
        {"3-bit value on CMY inks", 3, 1, 0, 0, 0, 0, 2, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page(8, 4, c.depth);
        hcstate.models.PrinterColourKind = c.kind;
        gstate.hc.options.set(6, c.colour_mode);
        if (c.depth == 3) {
            EXPECT_EQ(raster_dithered_value(c.v, c.r, c.g, c.b, 0, 0), 6);
            continue;
        }
        std::uint32_t cell = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                if (raster_dithered_value(c.v, c.r, c.g, c.b, x + 8, y + 4) != 0) cell |= 1u << (8 * y + x);
        EXPECT_EQ(cell, c.cell);
    }
}

TEST_F(RasterColour, PaletteMatchOncePerRunOfOneColour) {
    for (int depth : {4, 8}) {
        SCOPED_TRACE(depth);
        page(8, 2, depth);
        std::int32_t index = 0;
        yyrgbto8(0x00FF00, index);
        const std::int32_t matched = depth == 8 ? index : RasterColourGroups[static_cast<std::size_t>(index / 16)];
        // A remembered colour is taken from the memo without a search: a
        // memo holding another value for the colour shows it was used.
        raster.colourCacheKey = 0x00FF00;
        raster.colourCacheValue = 3;
        yyvra5(0, 0, 0x00FF00);
        yyvra5(1, 0, 0x00FF00);
        EXPECT_EQ(pixel(0, 0), 3);
        EXPECT_EQ(pixel(1, 0), 3);
        // A new colour is matched and remembered.
        yyvra5(2, 0, 0x0000FF);
        EXPECT_EQ(raster.colourCacheKey, 0x0000FF);
        // After the device clears the memo the same colour is matched again.
        raster.colourCacheKey = -1;
        yyvra5(3, 0, 0x00FF00);
        EXPECT_EQ(pixel(3, 0), matched);
        EXPECT_EQ(raster.colourCacheKey, 0x00FF00);
    }
    page(2, 1, 24);
    yyvra5(1, 0, 0xABCDEF);
    EXPECT_EQ(IRBUFF[1], 0xABCDEF);
}

TEST_F(RasterColour, LineWidthAndTypeFollowTheResolution) {
    struct Case {
        float dpi_x, dpi_y;
        std::int32_t thickness, orientation;
        std::int32_t extra_x, extra_y, half_x, half_y, unit_x, unit_y;
    };
    const std::vector<Case> cases = {
        {150, 150, 5, 0, 0, 0, 0, 0, 2, 2},
        {600, 600, 5, 0, 3, 3, 1, 1, 8, 8},
        {300, 600, 5, 0, 3, 1, 1, 0, 4, 8},
        {300, 600, 5, 1, 1, 3, 0, 1, 4, 8},
        {108, 36, 0, 0, 0, 0, 0, 0, 2, 1},
    };
    for (const Case& c : cases) {
        page(8, 4, 1);
        raster.dotsPerInchX = c.dpi_x;
        raster.dotsPerInchY = c.dpi_y;
        gstate.hc.options.set(9, c.thickness);
        gstate.hc.options.set(5, c.orientation);
        yyvras(OpLineWidth);
        gstate.LineType = 7;
        raster.LastLineEnd = {3, 3};
        raster.lineTypePosition = 5;
        yyvras(OpLineType);
        EXPECT_EQ((std::array<std::int32_t, 6>{raster.lineExtraX, raster.lineExtraY, raster.lineHalfX, raster.lineHalfY,
                                               raster.dashUnitX, raster.dashUnitY}),
                  (std::array<std::int32_t, 6>{c.extra_x, c.extra_y, c.half_x, c.half_y, c.unit_x, c.unit_y}))
            << c.dpi_x << " " << c.dpi_y << " " << c.orientation;
        EXPECT_EQ(raster.lineTypePattern, 0x19CE7);
        EXPECT_EQ(raster.lineTypeLength, 17);
        EXPECT_EQ(raster.lineTypePosition, 0);
        EXPECT_EQ(raster.dashStep, 1);
        EXPECT_EQ(raster.LastLineEnd[0], -1);
    }
}

TEST_F(RasterColour, BeginScalesTheDrawableOntoThePageAndInitialiseDescribesTheDevice) {
    page(8, 4, 8);
    yyvras(OpInitialise);
    EXPECT_EQ(raster.totalWords, 0);
    const DeviceDescription& d = gstate.device[HardcopySide];
    EXPECT_EQ(d.true_colour, 1);
    EXPECT_EQ(d.gradient_type, 1);
    EXPECT_EQ(d.TextRotationCapability, 2);
    EXPECT_EQ(gstate.hc.options.get(9), 5);  // the common defaults

    // A 40 x 30 page drawn from the 8 x 4 drawable.
    gstate.hc.options.set(1, 40);
    gstate.hc.options.set(2, 30);
    for (int depth : {1, 3, 4, 8, 24}) {
        gstate.hc.options.set(23, depth);
        ASSERT_TRUE(raster_size_image());
        raster.pixelDepth = depth;
        drvargs.K = 1;
        yyvras(OpBeginPicture);
        EXPECT_EQ(gstate.hc.colour_count, std::min(1 << depth, 256));
        EXPECT_EQ(raster.storageMode, depth == 24 ? 4 : depth == 8 ? 3 : depth == 1 ? 1 : 2);
        EXPECT_EQ(raster.rasterMaxX, 39);
        EXPECT_EQ(raster.rasterMaxY, 29);
        EXPECT_EQ(raster.LastLineEnd, (std::array<std::int32_t, 2>{-9999, -9999}));
    }
    EXPECT_FLOAT_EQ(gstate.hc.x_scale, 5.0f);
    EXPECT_FLOAT_EQ(gstate.hc.y_scale, 7.5f);
    // A begin without output only rescales.
    raster.LastLineEnd = {1, 1};
    raster.rasterWidth = 16;
    drvargs.K = 0;
    yyvras(OpBeginPicture);
    EXPECT_FLOAT_EQ(gstate.hc.x_scale, 2.0f);
    EXPECT_EQ(raster.rasterMaxX, 39);
    EXPECT_EQ(raster.LastLineEnd, (std::array<std::int32_t, 2>{1, 1}));
    // The clip rectangle from the drawing area, truncated.
    raster.rasterWidth = 40;
    yyvras(OpBeginPicture);
    yyvras(OpClip);
    EXPECT_EQ((std::array<std::int32_t, 4>{raster.clipLeft, raster.clipBottom, raster.clipRight, raster.clipTop}),
              (std::array<std::int32_t, 4>{0, 0, 39, 29}));
}

}  // namespace

namespace {

TEST_F(RasterColour, SpansTakeTheirFillByDepth) {
    struct Case {
        const char* name;
        int depth;
        std::int32_t two_colour;
        std::int32_t x1, x2;
        std::vector<std::int32_t> row;  // pixels 0..7 of row 0 after the span
    };
    const std::vector<Case> cases = {
        {"8-bit solid", 8, 0, 1, 5, {0, 9, 9, 9, 9, 9, 0, 0}},
        {"8-bit two colours: previous where x + y is even", 8, 1, 0, 3, {4, 9, 4, 9, 0, 0, 0, 0}},
        {"3-bit two colours: current patterns where x + y is even", 3, 1, 0, 3, {5, 2, 5, 2, 0, 0, 0, 0}},
        {"1-bit: first pattern at even x, second at odd x", 1, 1, 0, 7, {1, 0, 1, 0, 1, 0, 1, 0}},
        {"backwards span writes nothing", 8, 0, 5, 4, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"one-pixel span", 8, 0, 6, 6, {0, 0, 0, 0, 0, 0, 9, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page(8, 1, c.depth == 3 ? 4 : c.depth);
        raster.pixelDepth = c.depth;
        raster.twoColourFill = c.two_colour;
        raster.colourValue = 9;
        raster.previousColourValue = 4;
        raster.fillPattern = -1;
        raster.secondFillPattern = 0;
        // Current colour 5 (planes 0 and 2), previous colour 2 (plane 1).
        raster.ditherPatterns = {{{0, -1}, {-1, 0}, {0, -1}}};
        yyvra2(c.x1, c.x2, 0);
        std::vector<std::int32_t> row;
        for (int x = 0; x < 8; ++x) row.push_back(pixel(x, 0));
        EXPECT_EQ(row, c.row);
    }
}

TEST_F(RasterColour, OnePointLines) {
    // A solid line of one point is a column of WX pixels, none when it
    // continues the line before; a dashed one is one pixel per copy.
    page(8, 8, 8);
    raster.colourValue = 1;
    raster.lineExtraX = 2;
    raster.lineHalfX = 1;
    raster.clipTop = 7;
    raster.clipRight = 7;
    yyvra3(3, 4, 3, 4, 1);
    EXPECT_EQ(picture().pbm(), TestBitmap(8, 8).pbm());
    yyvra3(3, 4, 3, 4, 0);
    TestBitmap column(8, 8);
    for (int y = 3; y <= 5; ++y) column.set(3, y);
    EXPECT_EQ(picture().pbm(), column.pbm()) << art();
}

}  // namespace
