// The raster device drawing lines, shapes and gradients into small pages,
// each picture compared with its stored golden picture.
#include <functional>

#include "lib/graphics/fill.h"
#include "lib/graphics/gradient.h"
#include "lib/graphics/lines.h"
#include "tests/raster/raster_fixture.h"

namespace {

using RasterDrawing = RasterTest;

void shape(std::int32_t op, std::int32_t k, const std::vector<std::pair<float, float>>& pts) {
    for (std::size_t i = 0; i < pts.size() && i < 4; ++i) {
        drvargs.X[i] = pts[i].first;
        drvargs.Y[i] = pts[i].second;
    }
    drvargs.K = k;
    yyvras(op);
}

struct DrawCase {
    const char* file;
    int w, h, depth;
    std::function<void()> draw;
};

TEST_F(RasterDrawing, PicturesMatchTheStoredOnes) {
    const std::vector<DrawCase> cases = {
        // The second line starts where the first ended: its first pixel is
        // left to the first line (drawn here in the background colour, so
        // the shared pixel shows which line owns it).
        {"continuation", 24, 6, 8, [] {
             colour(1);
             line(0, 2, 10, 2);
             colour(0);
             line(10, 2, 20, 2);
         }},
        {"no_continuation_after_line_type", 24, 6, 8, [] {
             colour(1);
             line(0, 2, 10, 2);
             line_type(0);
             colour(0);
             line(10, 2, 20, 2);
         }},
        // WX = 3, WY = 2: solid horizontal lines are three rows thick,
        // patterned ones two (one copy per row, dashes two pixels a unit).
        {"thick_solid_and_dashed", 24, 12, 8, [] {
             colour(1);
             line_width(3, 2);
             line_type(0);
             line(1, 2, 22, 2);
             line(3, 5, 3, 10);
             line_type(2);
             line(1, 8, 22, 8);
         }},
        // The dashes run on across the joints of a polyline and start again
        // at a new line type.
        {"dashed_polyline", 24, 12, 8, [] {
             colour(1);
             line_width(1, 1);
             line_type(2);
             polyline({{1, 1}, {9, 1}, {9, 10}, {20, 10}});
             line_type(2);
             polyline({{12, 1}, {22, 1}});
         }},
        {"diagonal_45_shallow", 24, 12, 8, [] {
             colour(1);
             line_width(3, 2);
             line_type(0);
             line(2, 1, 11, 10);
         }},
        {"flat_triangle", 24, 6, 8, [] {
             colour(1);
             igrfillpattern(4);
             shape(OpTrianglePattern, 1, {{3, 3}, {15, 3}, {20, 3}});
         }},
        {"triangle", 24, 12, 8, [] {
             colour(1);
             igrfillpattern(4);
             shape(OpTrianglePattern, 1, {{2, 1}, {20, 4}, {8, 10}});
         }},
        // General form with a horizontal left side: every crossing of that
        // side lies beyond the right end, so nothing is drawn.
        {"quadrilateral_horizontal_left_side", 24, 12, 8, [] {
             colour(1);
             igrfillpattern(4);
             shape(OpQuadPattern, 0, {{2, 2}, {15, 2}, {18, 8}, {8, 2}});
         }},
        {"quadrilateral_vertical_sides", 24, 12, 8, [] {
             colour(1);
             igrfillpattern(4);
             shape(OpQuadPattern, 1, {{2, 1}, {14, 3}, {14, 9}, {2, 7}});
             shape(OpQuadPattern, 0, {{16, 1}, {22, 1}, {20, 10}, {18, 10}});
         }},
        // The second rectangle's Y(2) lies below its Y(1): nothing.
        {"rectangles", 24, 12, 8, [] {
             colour(1);
             igrfillpattern(4);
             shape(OpRectanglePattern, 1, {{2, 2}, {8, 6}});
             shape(OpRectanglePattern, 1, {{12, 6}, {18, 2}});
         }},
        // A solid circle is filled by the graphics core in rows one pixel
        // apart; the diagonal after it is a line again.
        {"circle_then_diagonal", 24, 16, 8, [] {
             colour(1);
             igrfillpattern(4);
             igrcircle(8.0f, 8.0f, 5.0f);
             igrjoin(14.0f, 1.0f, 22.0f, 14.0f);
         }},
        {"points", 24, 6, 8, [] {
             colour(1);
             line_width(3, 1);
             drvargs.X[0] = 5;
             drvargs.Y[0] = 2;
             yyvras(OpPoint);
             line_width(1, 1);
             drvargs.X[0] = 15;
             drvargs.Y[0] = 3;
             yyvras(OpPoint);
         }},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.file);
        page(c.w, c.h, c.depth);
        c.draw();
        const std::string problem = compare_with_stored_picture(picture(), QUINDA_TEST_DATA, "pictures", "raster_", c.file);
        EXPECT_TRUE(problem.empty()) << problem << "\n" << art();
    }
}

TEST_F(RasterDrawing, FilledShapesAnswerTheGraphicsCore) {
    page(24, 12, 8);
    colour(1);
    // Hatch styles are drawn by the core: an ellipse is handed back whole.
    igrfillpattern(2);
    shape(OpEllipsePattern, 1, {{10, 5}, {4, 3}});
    EXPECT_EQ(drvargs.K, -1);
    shape(OpPolygonPattern, 1, {});
    EXPECT_EQ(drvargs.K, 1);
    EXPECT_EQ(gstate.FillEmulationRequest[HardcopySide], 0);
    // Solid: the core is asked to fill in rows one page pixel apart.
    igrfillpattern(4);
    for (std::int32_t op : {OpEllipsePattern, OpSectorPattern, OpPolygonPattern}) {
        gstate.FillEmulationRequest[HardcopySide] = 0;
        gstate.hc.HardcopyFillSpacing = 0.0f;
        shape(op, 1, {});
        EXPECT_EQ(gstate.FillEmulationRequest[HardcopySide], 1) << op;
        EXPECT_FLOAT_EQ(gstate.hc.HardcopyFillSpacing, (12.0f - 0.01f) / 12.0f) << op;
    }
    // The closing call of a shape changes nothing.
    gstate.FillEmulationRequest[HardcopySide] = 0;
    shape(OpRectanglePattern, -1, {{2, 2}, {8, 6}});
    EXPECT_EQ(picture().pbm(), TestBitmap(24, 12).pbm());
    EXPECT_EQ(drvargs.K, -1);
}

TEST_F(RasterDrawing, GradientReachesEveryPixelOfItsTriangles) {
    page(24, 12, 24);
    const std::vector<std::array<float, 2>> corners = {{2, 2}, {21, 2}, {21, 9}, {2, 9}};
    const std::array<std::int32_t, 4> colours = {0x0000FF, 0x00FF00, 0xFF0000, 0x808080};
    gradient_block.n = 4;
    for (std::size_t i = 0; i < 4; ++i) {
        quin01.X[i] = corners[i][0];
        quin01.Y[i] = corners[i][1];
        gradient_block.rgb[i] = colours[i];
    }
    raster.colourCacheKey = 12345;
    yyvras(OpGradientFill);
    EXPECT_EQ(raster.colourCacheKey, -1);
    const std::string problem = compare_with_stored_picture(picture(), QUINDA_TEST_DATA, "pictures", "raster_", "gradient");
    EXPECT_TRUE(problem.empty()) << problem << "\n" << art();
    for (int y = 3; y <= 8; ++y)
        for (int x = 3; x <= 20; ++x) EXPECT_NE(pixel(x, y), -1) << x << "," << y;
    EXPECT_EQ(pixel(2, 2) & 0xFFFFFF, 0x0000FF);
    EXPECT_EQ(gstate.hc.page_in_progress, 1);
}

// Everything drawn against and across the edges of a 17 x 9 page stays in
// the page: the padding bits of each row, the spare word and the words
// after the buffer keep what they held.
TEST_F(RasterDrawing, NothingIsWrittenOffThePage) {
    constexpr std::int32_t Guard = 0x5A5A5A5A;
    constexpr std::size_t GuardWords = 8;
    for (int depth : {1, 4, 8, 24}) {
        SCOPED_TRACE(depth);
        page(17, 9, depth);
        raster.clipLeft = -5;  // a clip wider than the page
        raster.clipRight = 30;
        raster.clipBottom = -5;
        raster.clipTop = 20;
        const std::size_t words = IRBUFF.size();
        IRBUFF.resize(words + GuardWords, Guard);
        IRBUFF[words - 1] = Guard;
        colour(200);
        // The patterns of black, which a one-bit page fills with ink.
        for (auto& pair : raster.ditherPatterns) pair[1] = 0;
        line_width(5, 5);
        for (int t : {0, 3}) {
            line_type(t);
            line(0, 0, 16, 0);
            line(16, 0, 16, 8);
            line(16, 8, 0, 8);
            line(0, 8, 0, 0);
            line(-3, -3, 20, 12);
            line(-4, 10, 20, -2);
            line(16, 4, 16, 4);
        }
        for (int y : {-2, 0, 8, 11}) yyvra2(-10, 40, y);
        for (int y : {-2, 0, 8, 11}) yyvra4(1, -10, y, 40);
        for (auto [x, y] : std::vector<std::pair<float, float>>{{-3, 4}, {16, 4}, {20, 4}, {8, -1}, {8, 8}, {8, 12}}) {
            drvargs.X[0] = x;
            drvargs.Y[0] = y;
            yyvras(OpPoint);
        }
        igrfillpattern(4);
        shape(OpRectanglePattern, 1, {{-5, -5}, {30, 30}});
        shape(OpTrianglePattern, 1, {{-5, -5}, {30, 0}, {8, 30}});
        yyvra5(-1, 0, 0x123456);
        yyvra5(17, 8, 0x123456);
        yyvra5(0, 9, 0x123456);

        for (std::size_t i = words - 1; i < IRBUFF.size(); ++i) EXPECT_EQ(IRBUFF[i], Guard) << "word " << i;
        if (depth == 1 || depth == 4) {
            // Bits 17..31 of every row's word are past the right edge.
            for (std::size_t i = 0; i + 1 < words; ++i)
                EXPECT_EQ(static_cast<std::uint32_t>(IRBUFF[i]) >> 17, 0u) << "word " << i;
        }
        if (depth == 8) {
            // Bytes 1..3 of every row's last word (x = 17..19) stay empty.
            for (std::size_t i = 4; i + 1 < words; i += 5) EXPECT_EQ(static_cast<std::uint32_t>(IRBUFF[i]) >> 8, 0u) << "word " << i;
        }
        // And every pixel of the page was reached.
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 17; ++x) EXPECT_NE(pixel(x, y), depth == 24 ? -1 : 0) << x << "," << y;
        IRBUFF.resize(words);
    }
}

}  // namespace
