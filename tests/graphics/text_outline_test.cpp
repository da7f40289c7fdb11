// Stroke text with outline fonts and the background box: what reaches the
// polygon filler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/text.h"
#include "tests/support/graphics_test.h"

namespace {

class TextOutline : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        driver.clear();
    }
    // Filled polygons of one side; the hardcopy side gets each one as a
    // begin (K = 1) and an end notification, counted once.
    std::vector<const DriverCall*> polygons(int side) const {
        std::vector<const DriverCall*> v;
        for (const auto& c : driver.calls)
            if (c.side == side && (c.op == OpPolygonSolid || c.op == OpPolygonPattern) &&
                (side == ScreenSide || c.args.K == 1))
                v.push_back(&c);
        return v;
    }
};

}  // namespace

TEST_F(TextOutline, GlyphsAreFilledSolidAsText) {
    igrfillpattern(2);
    wgrofontroman();
    WGrTextFont(1);
    gstate.hardcopy_flag = 1;
    igrcharout(0.5f, 0.5f, "!.");
    for (int side : {ScreenSide, HardcopySide}) {
        SCOPED_TRACE(side);
        const auto p = polygons(side);
        // "!" is two outlines, "." one.
        ASSERT_EQ(p.size(), 3u);
        for (const DriverCall* c : p) {
            // The screen fills solid; the hardcopy side is told by the
            // shape's bracket.
            if (side == ScreenSide) {
                EXPECT_EQ(c->op, OpPolygonSolid);
            }
            EXPECT_EQ(c->state.fill_style, 4);
            EXPECT_EQ(c->state.stroke_text_flag, 1);
        }
    }
    EXPECT_EQ(gstate.fill_style, 2);
    EXPECT_EQ(gstate.stroke_text_flag, 0);
}

TEST_F(TextOutline, BoldOutlineFontKeepsTheLineWidths) {
    gstate.text.TextStyle = 1;
    wgrofontswiss();
    WGrTextFont(1);
    igrcharout(0.5f, 0.5f, "I");
    EXPECT_TRUE(driver.find(ScreenSide, OpLineWidth).empty());
    EXPECT_FALSE(polygons(ScreenSide).empty());
}

TEST_F(TextOutline, DxfHardcopyGetsFilledStrokesOnly) {
    gstate.device[HardcopySide].TextSizeThreshold = 0.222f;
    gstate.device[HardcopySide].DeviceCapabilities = std::string(CapsDxf);
    gstate.hardcopy_flag = 1;
    WGrTextFont(102);
    igrcharout(0.5f, 0.5f, "abc");
    EXPECT_EQ(driver.find(ScreenSide, OpText).size(), 1u);
    EXPECT_TRUE(polygons(ScreenSide).empty());
    const auto p = polygons(HardcopySide);
    ASSERT_FALSE(p.empty());
    for (const DriverCall* c : p) EXPECT_EQ(c->state.screen_flag, 0);
    EXPECT_TRUE(driver.find(HardcopySide, OpText).empty());
    // The swiss substitute was current only for the string.
    EXPECT_EQ(std::string_view(gstate.text.stroke_font.name, 12), "standard.chr");
}

TEST_F(TextOutline, BackgroundBoxCoversTheTextInThePreviousColour) {
    const ColourTriple previous = gstate.PreviousColour;
    WGrTextFont(1, 8);
    gstate.text.justification = 0;
    igrcharout(0.5f, 0.5f, "ab");
    const auto p = polygons(ScreenSide);
    ASSERT_FALSE(p.empty());
    const DriverCall& box = *p[0];
    EXPECT_EQ(box.state.CurrentColour, previous);
    EXPECT_EQ(box.state.fill_style, 4);
    const float x = 0.5f * gstate.sx, y = 0.5f * gstate.sy;
    const float w = gstate.text_ref_size_x * gstate.text.char_width;
    const float h = gstate.text_ref_size_y * gstate.text.char_height;
    ASSERT_GE(box.px.size(), 4u);
    EXPECT_NEAR(box.px[0], x, 1e-2);
    EXPECT_NEAR(box.py[0], y - h / 2, 1e-2);
    EXPECT_NEAR(box.px[1], x + 2 * w, 1e-2);
    EXPECT_NEAR(box.py[2], y + h / 2, 1e-2);
    EXPECT_NEAR(box.px[3], x, 1e-2);
    // The box comes before the glyphs.
    EXPECT_LT(&box - driver.calls.data(),
              driver.find(ScreenSide, OpPolyline).front() - driver.calls.data());
}

TEST_F(TextOutline, HardwareTextBackgroundWhereTheDeviceDoesNotFillIt) {
    gstate.hardcopy_flag = 1;
    gstate.hc.own_text_background = 0;
    WGrTextFont(std::nullopt, 8);
    igrcharout(0.5f, 0.5f, "ab");
    // The screen device fills behind fixed-pitch text itself.
    EXPECT_TRUE(polygons(ScreenSide).empty());
    ASSERT_EQ(polygons(HardcopySide).size(), 1u);
    gstate.hc.own_text_background = 1;
    driver.clear();
    igrcharout(0.5f, 0.5f, "ab");
    EXPECT_TRUE(polygons(HardcopySide).empty());
    // Character-by-character text gets its box on every side.
    WGrTextFont(102, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
    driver.clear();
    igrcharout(0.5f, 0.5f, "ab");
    EXPECT_EQ(polygons(ScreenSide).size(), 1u);
    EXPECT_EQ(polygons(HardcopySide).size(), 1u);
}
