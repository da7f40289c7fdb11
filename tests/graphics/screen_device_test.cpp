// The screen device's operation table against a stand-in drawing layer that
// writes down every call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/screen.h"
#include "lib/window/quinda_state.h"
#include "tests/support/quinda_test.h"

namespace {

std::vector<std::string> g_log;

std::string join(std::initializer_list<std::int32_t> v) {
    std::string s;
    for (std::int32_t x : v) {
        if (!s.empty()) s += ',';
        s += std::to_string(x);
    }
    return s;
}

void log(const char* name, std::initializer_list<std::int32_t> v) { g_log.push_back(std::string(name) + " " + join(v)); }

class ScreenDeviceTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        g_log.clear();
        ScreenDrawingLayer& l = screen_gdi;
        l.line = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) { log("line", {a, b, c, d}); };
        l.colour = [](std::int32_t a, std::int32_t b) { log("colour", {a, b}); };
        l.ellipse = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e, std::int32_t f) {
            log("ellipse", {a, b, c, d, e, f});
        };
        l.rectangle = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e) {
            log("rectangle", {a, b, c, d, e});
        };
        l.arc = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e, std::int32_t f,
                   std::int32_t g, std::int32_t h, std::int32_t k) { log("arc", {a, b, c, d, e, f, g, h, k}); };
        l.polpoint = [](std::int32_t a, std::int32_t b, std::int32_t c) { log("polpoint", {a, b, c}); };
        l.polygon = [](std::int32_t a, std::int32_t b) { log("polygon", {a, b}); };
        l.polyline = [](std::int32_t a) { log("polyline", {a}); };
        l.point = [](std::int32_t a, std::int32_t b) { log("point", {a, b}); };
        l.getpixelrgb = [](std::int32_t x, std::int32_t y, std::int32_t& r, std::int32_t& g, std::int32_t& b) {
            log("getpixel", {x, y});
            r = 1;
            g = 2;
            b = 3;
        };
        l.clear = [](std::int32_t a, std::int32_t b, std::int32_t c) { log("clear", {a, b, c}); };
        l.clip = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) { log("clip", {a, b, c, d}); };
        l.textsize = [](std::int32_t& w, std::int32_t& h, std::int32_t& asc, std::int32_t a, std::int32_t f,
                        std::int32_t fl, std::string_view) {
            log("textsize", {w, h, a, f, fl});
            w = 520;
            h = 12;
            asc = 10;
        };
        l.drawstring = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t j,
                          std::int32_t box, std::string_view, std::int32_t n) { log("drawstring", {a, b, c, d, j, box, n}); };
        l.palette = [](std::int32_t i, std::int32_t rgb, std::int32_t mode) { log("palette", {i, rgb, mode}); };
        l.plotmode = [](std::int32_t m) { log("plotmode", {m}); };
        l.linetype = [](std::int32_t t) { log("linetype", {t}); };
        l.linewidth = [](std::int32_t w) { log("linewidth", {w}); };
        gstate.screen_flag = 1;
        gstate.width = 100;
        gstate.height = 50;
        gstate.extent_x = 99.99f;
        gstate.extent_y = 49.99f;
        gstate.DrawableType = 1;
        yypali();
    }
    void op(std::int32_t code) { yygapi(code); }
};

TEST_F(ScreenDeviceTest, CoordinatesAreFlippedIntoSurfaceRows) {
    struct Case {
        std::int32_t op;
        std::vector<std::string> want;
    };
    drvargs.IX = {10, 20, 30, 40};
    drvargs.IY = {0, 49, 5, 6};
    const std::vector<Case> cases = {
        {OpLine, {"line 10,49,20,0"}},
        {OpEllipse, {"ellipse 10,49,20,49,4,0"}},
        {OpEllipsePattern, {"ellipse 10,49,20,49,5,3"}},
        {OpEllipseSolid, {"ellipse 10,49,20,49,6,4"}},
        {OpRectangleSolid, {"rectangle 10,0,20,49,4"}},
        {OpRectanglePattern, {"rectangle 10,0,20,49,3"}},
        {OpTriangleSolid, {"polpoint 10,49,0", "polpoint 20,0,1", "polpoint 30,44,2", "polygon 3,4"}},
        {OpQuadPattern, {"polpoint 10,49,0", "polpoint 20,0,1", "polpoint 30,44,2", "polpoint 40,43,3", "polygon 4,3"}},
        {OpPoint, {"point 10,49"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        g_log.clear();
        op(c.op);
        EXPECT_EQ(g_log, c.want);
    }
    // Point lists come from the work block, truncated, then flipped.
    quin01.X[0] = 1.9f;
    quin01.Y[0] = 2.9f;
    quin01.X[1] = 3.0f;
    quin01.Y[1] = 0.5f;
    drvargs.N = 2;
    g_log.clear();
    op(OpPolyline);
    EXPECT_EQ(g_log, (std::vector<std::string>{"polpoint 1,47,0", "polpoint 3,49,1", "polyline 2"}));
    drvargs.N = 0;
    g_log.clear();
    op(OpPolygonSolid);
    EXPECT_EQ(g_log, (std::vector<std::string>{"polygon 0,4"}));
}

TEST_F(ScreenDeviceTest, ClipIsRemovedForTheWholeDrawableExceptOnADialogField) {
    gstate.ix1 = 0;
    gstate.iy1 = 0;
    gstate.ix2 = 99;
    gstate.iy2 = 49;
    op(OpClip);
    gstate.DrawableType = 3;
    op(OpClip);
    gstate.DrawableType = 1;
    gstate.ix1 = 5;
    gstate.iy1 = 10;
    op(OpClip);
    EXPECT_EQ(g_log, (std::vector<std::string>{"clip 0,0,0,-1", "clip 0,0,99,49", "clip 5,0,99,39"}));
}

TEST_F(ScreenDeviceTest, PaletteEntriesAreRealisedOncePerBatch) {
    wtab.wScreenCols = 256;
    gstate.colour_count = 16;
    gstate.ColourModel = 1;
    gstate.CurrentColour = ColourTriple{{99, 99, 0}};
    gstate.PreviousColour = ColourTriple{{98, 98, 0}};
    struct Step {
        std::int32_t k, rgb, batch;
        const char* want;  // "" when nothing reaches the layer
    };
    const std::vector<Step> steps = {
        {1, 0x010203, 1, "palette 1,66051,1"},  // first of a batch: unrealise, set
        {2, 0x010204, 1, "palette 2,66052,2"},  // middle: set
        {3, 0x010205, 0, "palette 3,66053,3"},  // last: set, realise
        {4, 0x010206, 0, "palette 4,66054,0"},  // single entry
    };
    for (const Step& s : steps) {
        g_log.clear();
        drvargs.K = s.k;
        drvargs.IX[0] = s.rgb;
        drvargs.IX[3] = s.batch;
        op(OpPaletteEntry);
        EXPECT_EQ(g_log, std::vector<std::string>{s.want});
    }
    // An unchanged entry is skipped; one that is the current colour's
    // brings both colours back, previous first.
    std::int32_t same = 0;
    yypalg16(5, same);
    gstate.CurrentColour.device() = 5;
    g_log.clear();
    drvargs.K = 5;
    drvargs.IX[0] = same;
    drvargs.IX[3] = 0;
    op(OpPaletteEntry);
    EXPECT_EQ(g_log, (std::vector<std::string>{"colour 98,0", "colour 5,0"}));
    // Not a 256-colour display: only the colours.
    wtab.wScreenCols = 1 << 24;
    g_log.clear();
    drvargs.IX[0] = 0x123456;
    op(OpPaletteEntry);
    EXPECT_EQ(g_log, (std::vector<std::string>{"colour 98,0", "colour 5,0"}));
}

TEST_F(ScreenDeviceTest, WholePaletteStartsWithModeZeroEveryTime) {
    wtab.wScreenCols = 256;
    gstate.colour_count = 16;
    for (int round = 0; round < 2; ++round) {
        g_log.clear();
        op(OpPalette);
        ASSERT_EQ(g_log.size(), 18u);
        EXPECT_EQ(g_log[0].substr(0, 10), "palette 0,");
        EXPECT_EQ(g_log[0].back(), '0');
        EXPECT_EQ(g_log[1].back(), '2');
        EXPECT_EQ(g_log[15].back(), '3');
        EXPECT_EQ(g_log[16].substr(0, 6), "colour");
    }
}

TEST_F(ScreenDeviceTest, ReadPixelOnAMetafileIsMinusOne) {
    drvargs.IX[0] = 7;
    drvargs.IY[0] = 0;
    op(OpReadPixel);
    EXPECT_EQ(g_log, (std::vector<std::string>{"getpixel 7,49"}));
    EXPECT_EQ(drvargs.IX[0], 1 + 2 * 256 + 3 * 65536);
    gstate.DrawableType = 4;
    g_log.clear();
    drvargs.IX[0] = 7;
    op(OpReadPixel);
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(drvargs.IX[0], -1);
}

TEST_F(ScreenDeviceTest, EmptyTextStillClearsIX4) {
    gstate.text.direction = 0;
    gstate.text.justification = 2;
    drvargs.IX[0] = 0;
    drvargs.IX[3] = 1;
    op(OpText);
    EXPECT_EQ(drvargs.IX[3], 0);
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_EQ(g_log[0].substr(g_log[0].size() - 6), ",2,0,0");
    // Stacked characters leave IX4 alone and go one by one, centred.
    gstate.text.direction = 1;
    drvargs.IX[0] = 3;
    drvargs.IX[3] = 1;
    g_log.clear();
    op(OpText);
    EXPECT_EQ(drvargs.IX[3], 1);
    EXPECT_EQ(g_log.size(), 3u);
}

TEST_F(ScreenDeviceTest, IdleOperationsAndScreenGraphicsOffDoNothing) {
    for (std::int32_t code : {19, 36, 37, 39, 0, 41, -5}) {
        SCOPED_TRACE(code);
        drvargs.IX = {1, 2, 3, 4};
        const DriverArguments before = drvargs;
        op(code);
        EXPECT_TRUE(g_log.empty());
        EXPECT_EQ(drvargs, before);
    }
    gstate.screen_flag = 0;
    for (std::int32_t code = 1; code <= 40; ++code) op(code);
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(gstate.device[ScreenSide].TextRotationCapability, 0);
}

TEST_F(ScreenDeviceTest, InitialiseInstallsTheScreenDescription) {
    wtab.WinNT = 1;
    wtab.wScreenCols = 1 << 24;
    op(OpInitialise);
    const DeviceDescription& d = gstate.device[ScreenSide];
    EXPECT_EQ(d.DeviceCapabilities, "11111111111111111110111011111");
    EXPECT_EQ(d.TextRotationCapability, 360);
    EXPECT_EQ(d.platform_variant, 2);
    EXPECT_EQ(d.true_colour, 1);
    EXPECT_EQ(d.gradient_type, 1);
    EXPECT_EQ(d.charset_bits, 8);
    gstate.DrawableType = 4;
    wtab.wScreenCols = 256;
    op(OpInitialise);
    EXPECT_EQ(gstate.device[ScreenSide].DeviceCapabilities, "11111111111111111110111011110");
    EXPECT_EQ(gstate.device[ScreenSide].true_colour, 0);
}

TEST_F(ScreenDeviceTest, FontIsMadeOnlyWhenItsKeyChanges) {
    gstate.text_ref_size_x = 100.0f;
    gstate.text_ref_size_y = 50.0f;
    gstate.text.char_width = 0.1f;
    gstate.text.char_height = 0.2f;
    gstate.text.HardwareFontFamily = 2;
    op(OpFont);
    op(OpFont);
    op(OpTextAngle);
    EXPECT_EQ(g_log, (std::vector<std::string>{"textsize 10,10,0,2,0"}));
    // The cells across follow the width the font really has.
    EXPECT_FLOAT_EQ(gstate.text.cells_across, 99.99f * 52.0f / 520.0f);
    op(OpBeginPicture);
    op(OpFont);
    EXPECT_EQ(g_log.size(), 2u);
    // Proportional pitch 1: narrower, lower, never underlined.
    gstate.text.TextPitch = 1;
    gstate.text.TextStyle = 4;
    op(OpFont);
    EXPECT_EQ(g_log.back(), "textsize 6,8,0,2,0");
}

TEST_F(ScreenDeviceTest, CopyRectangleAndClearUsePaletteEntryZero) {
    std::int32_t zero = 0;
    yypalg(0, zero);
    ScreenDrawingLayer& l = screen_gdi;
    l.blit = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e, std::int32_t f,
                std::int32_t k, std::int32_t rgb) { log("blit", {a, b, c, d, e, f, k, rgb}); };
    drvargs.IX = {2, 5, 10, 0};
    drvargs.IY = {3, 6, 20, 0};
    drvargs.K = 1;
    op(OpCopyRectangle);
    op(OpClear);
    EXPECT_EQ(g_log, (std::vector<std::string>{"blit " + join({2, 43, 10, 26, 4, 4, 1, zero}),
                                               "clear " + join({100, 50, zero})}));
    gstate.DrawableType = 4;
    g_log.clear();
    op(OpCopyRectangle);
    EXPECT_TRUE(g_log.empty());
}

}  // namespace
