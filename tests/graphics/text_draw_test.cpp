// Drawing strings: placement and current position, the screen and hardcopy
// passes, clipping of hardware text, substitution, underline, background and
// the wiring of stroke text to the line primitives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "tests/support/graphics_test.h"

namespace {

class TextDraw : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        driver.clear();
    }
    // Device units of a world position (world 0..1 over the whole window).
    static float dx(float x) { return x * gstate.sx + gstate.wx1; }
    static float dy(float y) { return y * gstate.sy + gstate.wy1; }
    static float wn() { return gstate.text_ref_size_x * gstate.text.char_width; }
    static float hn() { return gstate.text_ref_size_y * gstate.text.char_height; }
    std::vector<const DriverCall*> strokes(int side) const {
        std::vector<const DriverCall*> v;
        for (const auto& c : driver.calls)
            if (c.side == side && (c.op == OpLine || c.op == OpPolyline)) v.push_back(&c);
        return v;
    }
};

}  // namespace

TEST_F(TextDraw, JustificationPlacesTextAndMovesThePosition) {
    const struct {
        int justification;
        float start;  // in nominal character widths from the reference point
        float next;
    } cases[] = {{0, 0, 4}, {1, -2, 2.5f}, {2, -4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.justification);
        driver.clear();
        gstate.text.justification = c.justification;
        igrcharout(0.5f, 0.25f, "abcd");
        const auto text = driver.find(ScreenSide, OpText);
        ASSERT_EQ(text.size(), 1u);
        const DriverArguments& a = text[0]->args;
        EXPECT_NEAR(a.X[0], dx(0.5f) + c.start * wn(), 1e-3);
        EXPECT_NEAR(a.Y[0], dy(0.25f), 1e-3);
        EXPECT_NEAR(a.X[2], dx(0.5f) + (c.start + 4) * wn(), 1e-3);  // nominal end
        EXPECT_EQ(a.IX[0], 4);
        EXPECT_EQ(a.IX[3], 1);
        EXPECT_EQ(text[0]->text.substr(0, 5), "abcd ");
        EXPECT_NEAR(gstate.pos_x, 0.5f + c.next * wn() / gstate.sx, 1e-5);
        EXPECT_NEAR(gstate.pos_y, 0.25f, 1e-6);
    }
}

TEST_F(TextDraw, RelativeOutputStartsAtTheCurrentPosition) {
    gstate.text.justification = 0;
    igrmoveto(0.2f, 0.3f);
    igrcharoutrel("ab");
    igrcharoutrel("cd");
    const auto text = driver.find(ScreenSide, OpText);
    ASSERT_EQ(text.size(), 2u);
    EXPECT_NEAR(text[1]->args.X[0], dx(0.2f) + 2 * wn(), 1e-3);
    EXPECT_NEAR(text[1]->args.Y[0], dy(0.3f), 1e-3);
    // One coordinate given, the other from the position.
    wgrtextstring(0.1f, std::nullopt, "x");
    EXPECT_NEAR(driver.find(ScreenSide, OpText).back()->args.Y[0], dy(0.3f), 1e-3);
}

TEST_F(TextDraw, EmptyAndBlankStrings) {
    gstate.text.justification = 1;
    igrcharout(0.5f, 0.5f, "");
    EXPECT_TRUE(driver.find(ScreenSide, OpText).empty());
    EXPECT_NEAR(gstate.pos_x, 0.5f + 0.5f * wn() / gstate.sx, 1e-5);

    WGrTextFont(1);
    gstate.text.justification = 0;
    driver.clear();
    igrcharout(0.5f, 0.5f, "   ");
    EXPECT_TRUE(strokes(ScreenSide).empty());
    EXPECT_NEAR(gstate.pos_x, 0.5f + 3 * wn() / gstate.sx, 1e-5);
}

TEST_F(TextDraw, HardwareTextScreenFirstThenHardcopy) {
    gstate.hardcopy_flag = 1;
    gstate.text.justification = 0;
    igrcharout(0.5f, 0.5f, "ab");
    std::vector<const DriverCall*> text;
    for (const auto& c : driver.calls)
        if (c.op == OpText) text.push_back(&c);
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(text[0]->side, ScreenSide);
    EXPECT_EQ(text[1]->side, HardcopySide);
    EXPECT_EQ(text[1]->args.IX[1], 3);
    EXPECT_EQ(text[1]->args.IX[0], 2);
}

TEST_F(TextDraw, LeftClippedHardwareTextStartsAtTheFirstWholeCharacter) {
    gstate.hardcopy_flag = 1;
    gstate.text.justification = 0;
    // Starts 1.5 character widths left of the drawable: "a" and "b" are cut.
    const float x = -1.5f * wn() / gstate.sx;
    igrcharout(x, 0.5f, "abcdef");
    for (int side : {ScreenSide, HardcopySide}) {
        SCOPED_TRACE(side);
        const auto text = driver.find(side, OpText);
        ASSERT_EQ(text.size(), 1u);
        EXPECT_EQ(text[0]->args.IX[0], 4);
        EXPECT_EQ(text[0]->text.substr(0, 5), "cdef ");
        EXPECT_NEAR(text[0]->args.X[0], 0.5f * wn(), 1e-3);
        EXPECT_NEAR(text[0]->args.X[2], 4.5f * wn(), 1e-3);
    }
    // The position still follows the whole text.
    EXPECT_NEAR(gstate.pos_x, x + 6 * wn() / gstate.sx, 1e-5);
}

TEST_F(TextDraw, RightClippedHardwareTextEndsAtTheLastWholeCharacter) {
    gstate.text.justification = 2;
    // Right-justified at 1.2 character widths beyond the right edge.
    const float x = 1.0f + 1.2f * wn() / gstate.sx;
    igrcharout(x, 0.5f, "abcdef");
    const auto text = driver.find(ScreenSide, OpText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0]->args.IX[0], 4);
    EXPECT_EQ(text[0]->text.substr(0, 5), "abcd ");
    EXPECT_NEAR(text[0]->args.X[0], dx(x) - 6 * wn(), 1e-2);
    EXPECT_NEAR(text[0]->args.X[2], dx(x) - 2 * wn(), 1e-2);
    EXPECT_NEAR(text[0]->args.X[3], dx(x) - 2 * wn(), 1e-2);
}

TEST_F(TextDraw, TextWhollyOutsideDrawsNothingOnEitherSide) {
    gstate.hardcopy_flag = 1;
    for (float y : {-0.5f, 0.995f}) {  // below; and with the cells' tops above the edge
        driver.clear();
        igrcharout(0.5f, y, "abc");
        EXPECT_TRUE(driver.find(ScreenSide, OpText).empty()) << y;
        EXPECT_TRUE(driver.find(HardcopySide, OpText).empty()) << y;
    }
}

TEST_F(TextDraw, StrokeTextIsDrawnOnceWithBothSidesOn) {
    WGrTextFont(1);
    gstate.hardcopy_flag = 1;
    igrcharout(0.5f, 0.5f, "AB");
    EXPECT_TRUE(driver.find(ScreenSide, OpText).empty());
    EXPECT_TRUE(driver.find(HardcopySide, OpText).empty());
    const auto screen = strokes(ScreenSide), hardcopy = strokes(HardcopySide);
    ASSERT_FALSE(screen.empty());
    ASSERT_EQ(screen.size(), hardcopy.size());
    for (const DriverCall* c : screen) {
        EXPECT_EQ(c->state.screen_flag, 1);
        EXPECT_EQ(c->state.hardcopy_flag, 1);
    }
}

TEST_F(TextDraw, CapitalAReachesThePrimitives) {
    // One device unit per glyph unit: 7.68 x 11.88 device units.
    WGrTextFont(1, std::nullopt, 7.68f / gstate.text_ref_size_x, 11.88f / gstate.text_ref_size_y);
    gstate.text.justification = 0;
    igrcharout(100.0f / gstate.sx, 100.0f / gstate.sy, "A");
    const auto poly = driver.find(ScreenSide, OpPolyline);
    ASSERT_EQ(poly.size(), 1u);
    const float px[] = {100.84f, 103.84f, 106.84f}, py[] = {96.06f, 105.06f, 96.06f};
    ASSERT_EQ(poly[0]->px.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(poly[0]->px[static_cast<std::size_t>(i)], px[i], 1e-3);
        EXPECT_NEAR(poly[0]->py[static_cast<std::size_t>(i)], py[i], 1e-3);
    }
    const auto lines = driver.find(ScreenSide, OpLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->args.X[0], 101.84f, 1e-3);
    EXPECT_NEAR(lines[0]->args.Y[0], 99.06f, 1e-3);
    EXPECT_NEAR(lines[0]->args.X[1], 105.84f, 1e-3);
    EXPECT_EQ(lines[0]->args.IX[0], 101);
    EXPECT_EQ(lines[0]->args.IY[1], 99);
}

TEST_F(TextDraw, StrokeTextIsClippedStrokeByStroke) {
    WGrTextFont(1);
    gstate.text.justification = 0;
    igrcharout(-0.5f * wn() / gstate.sx, 0.5f, "H");
    // The left stem lies outside; the bar is cut at the edge.
    for (const DriverCall* c : strokes(ScreenSide)) {
        if (c->op == OpLine) {
            EXPECT_GE(c->args.X[0], -0.001f);
            EXPECT_GE(c->args.X[1], -0.001f);
        }
        for (float x : c->px) EXPECT_GE(x, -0.001f);
    }
    EXPECT_FALSE(strokes(ScreenSide).empty());
}

TEST_F(TextDraw, BoldLineFontDoublesTheWidthsWhileDrawing) {
    gstate.hardcopy_flag = 1;
    WGrTextFont(1, 1);
    igrcharout(0.5f, 0.5f, "I");
    for (int side : {ScreenSide, HardcopySide}) {
        SCOPED_TRACE(side);
        const auto ops = driver.ops(side);
        ASSERT_GE(ops.size(), 3u);
        EXPECT_EQ(ops.front(), OpLineWidth);
        EXPECT_EQ(ops.back(), OpLineWidth);
        const auto widths = driver.find(side, OpLineWidth);
        EXPECT_EQ(widths[0]->state.screen_line_width, 2);
        EXPECT_EQ(widths[0]->state.line_thickness, 10);
        EXPECT_EQ(widths[1]->state.screen_line_width, 1);
        EXPECT_EQ(widths[1]->state.line_thickness, 5);
        for (const DriverCall* c : strokes(side)) EXPECT_EQ(c->state.line_thickness, 10);
    }
    EXPECT_EQ(gstate.screen_line_width, 1);
    EXPECT_EQ(gstate.hc.options.get(9), 5);
}

TEST_F(TextDraw, StrokeTextIsSolidAndTheLineTypeComesBack) {
    WGrTextFont(1);
    igrlinetype(3);
    driver.clear();
    igrcharout(0.5f, 0.5f, "I");
    const auto types = driver.find(ScreenSide, OpLineType);
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0]->state.LineType, 0);
    EXPECT_EQ(types[1]->state.LineType, 3);
    for (const DriverCall* c : strokes(ScreenSide)) EXPECT_EQ(c->state.LineType, 0);
    // Hardware text without underline keeps the line type untouched.
    WGrTextFont(2);
    driver.clear();
    igrcharout(0.5f, 0.5f, "I");
    EXPECT_TRUE(driver.find(ScreenSide, OpLineType).empty());
}

TEST_F(TextDraw, UnderlineOfHardwareText) {
    gstate.text.justification = 0;
    WGrTextFont(std::nullopt, 4);
    // The device leaves IX4 at 1: it did not underline.
    igrcharout(0.5f, 0.5f, "abc");
    auto lines = driver.find(ScreenSide, OpLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->args.X[0], dx(0.5f), 1e-3);
    EXPECT_NEAR(lines[0]->args.X[1], dx(0.5f) + 3 * wn(), 1e-3);
    EXPECT_NEAR(lines[0]->args.Y[0], dy(0.5f) - 0.45f * hn(), 1e-3);
    EXPECT_NEAR(lines[0]->args.Y[1], dy(0.5f) - 0.45f * hn(), 1e-3);

    // Centre and right: the line lies under the text as placed.
    for (int j : {1, 2}) {
        driver.clear();
        gstate.text.justification = j;
        igrcharout(0.5f, 0.5f, "abc");
        lines = driver.find(ScreenSide, OpLine);
        ASSERT_EQ(lines.size(), 1u) << j;
        const float start = dx(0.5f) - 0.5f * static_cast<float>(j) * 3 * wn();
        EXPECT_NEAR(lines[0]->args.X[0], start, 1e-3) << j;
        EXPECT_NEAR(lines[0]->args.X[1], start + 3 * wn(), 1e-3) << j;
    }

    // A device that underlines itself clears IX4: no extra line.
    driver.on_call = [](DriverCall& c) {
        if (c.op == OpText) drvargs.IX[3] = 0;
    };
    driver.clear();
    igrcharout(0.5f, 0.5f, "abc");
    EXPECT_TRUE(driver.find(ScreenSide, OpLine).empty());
}

TEST_F(TextDraw, UnderlineOfLeftClippedTextLiesUnderTheVisibleCharacters) {
    gstate.text.justification = 0;
    WGrTextFont(std::nullopt, 4);
    igrcharout(-1.5f * wn() / gstate.sx, 0.5f, "abcdef");
    const auto lines = driver.find(ScreenSide, OpLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->args.X[0], 0.5f * wn(), 1e-3);
    EXPECT_NEAR(lines[0]->args.X[1], 4.5f * wn(), 1e-3);
}

TEST_F(TextDraw, ProportionalTextGoesCharacterByCharacter) {
    WGrTextFont(102, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
    ASSERT_EQ(gstate.text.TextPitch, 1);
    gstate.hardcopy_flag = 1;
    gstate.text.justification = 0;
    igrcharout(0.5f, 0.5f, "abc");
    const float widths[] = {0.74f, 0.84f, 0.74f};
    const float inset = 0.14f * 0.74f * wn();
    for (int side : {ScreenSide, HardcopySide}) {
        SCOPED_TRACE(side);
        const auto text = driver.find(side, OpText);
        ASSERT_EQ(text.size(), 3u);
        float x = dx(0.5f) + inset;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(text[i]->args.IX[0], 1);
            EXPECT_EQ(text[i]->text[0], "abc"[i]);
            EXPECT_NEAR(text[i]->args.X[0], x, 1e-3);
            x += widths[i] * wn();
        }
        if (side == HardcopySide) {
            EXPECT_EQ(text[0]->args.IX[1], 1);
            EXPECT_EQ(text[1]->args.IX[1], 0);
            EXPECT_EQ(text[2]->args.IX[1], 2);
        }
    }
    // The current position takes the table length of the text.
    EXPECT_NEAR(gstate.pos_x, 0.5f + 2.32f * wn() / gstate.sx, 1e-5);
}

TEST_F(TextDraw, DeviceSpacedTextOnTheHardcopySide) {
    WGrTextFont(102);
    gstate.hardcopy_flag = 1;
    igrcharout(0.5f, 0.5f, "abc");
    auto text = driver.find(HardcopySide, OpText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0]->args.IX[0], 3);
    EXPECT_EQ(text[0]->args.IX[1], 3);
    // A device that cannot place a proportional string whole gets it by
    // character; a single character is marked as the first.
    gstate.hc.whole_strings = 0;
    driver.clear();
    igrcharout(0.5f, 0.5f, "ab");
    text = driver.find(HardcopySide, OpText);
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(text[0]->args.IX[1], 1);
    EXPECT_EQ(text[1]->args.IX[1], 2);
    driver.clear();
    igrcharout(0.5f, 0.5f, "a");
    text = driver.find(HardcopySide, OpText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0]->args.IX[1], 1);
    // The screen still gets the whole string.
    EXPECT_EQ(driver.find(ScreenSide, OpText).size(), 1u);
}

TEST_F(TextDraw, LongStringsReachTheDeviceCut) {
    igrcharsize(0.2f, 1.0f);  // 375 characters across
    std::string s(300, 'x');
    s[259] = 'y';
    gstate.text.justification = 0;
    igrcharout(0.0f, 0.5f, s);
    const auto text = driver.find(ScreenSide, OpText);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0]->text.size(), DriverTextLength);
    EXPECT_EQ(text[0]->text.back(), 'y');
    // The count never promises more characters than the operand holds.
    EXPECT_EQ(text[0]->args.IX[0], 260);
}

TEST_F(TextDraw, DxfHardcopyGetsStrokesForProportionalText) {
    gstate.device[HardcopySide].TextSizeThreshold = 0.222f;
    gstate.device[HardcopySide].DeviceCapabilities = std::string(CapsDxf);
    gstate.hc.whole_strings = 1;
    gstate.hardcopy_flag = 1;
    WGrTextFont(102);
    WGrTextFont(std::nullopt, 2);  // italic: the substitute is slanted
    igrcharout(0.5f, 0.5f, "abc");
    EXPECT_EQ(driver.find(ScreenSide, OpText).size(), 1u);
    EXPECT_TRUE(driver.find(HardcopySide, OpText).empty());
    // Afterwards the stroke font, the stroke mode and the slant are back.
    EXPECT_EQ(std::string_view(gstate.text.stroke_font.name, 12), "standard.chr");
    EXPECT_EQ(gstate.text.stroke_mode, 0);
    EXPECT_EQ(gstate.text.slant, 0.0f);
}

TEST_F(TextDraw, ScreenSubstitutionThenHardwareHardcopy) {
    // A screen that cannot rotate text gets strokes; the hardcopy side,
    // which can, still gets the hardware string.
    gstate.device[ScreenSide].TextSizeThreshold = 1.0e30f;
    gstate.device[ScreenSide].TextRotationCapability = 1;
    gstate.hardcopy_flag = 1;
    yychrot(30);
    driver.clear();
    gstate.text.HardwareFontFamily = 0;  // the substitute is the standard line font
    gstate.text.substitute_font = 9;
    igrcharout(0.5f, 0.5f, "ab");
    EXPECT_TRUE(driver.find(ScreenSide, OpText).empty());
    EXPECT_FALSE(strokes(ScreenSide).empty());
    EXPECT_TRUE(strokes(HardcopySide).empty());
    for (const DriverCall* c : strokes(ScreenSide)) EXPECT_EQ(c->state.hardcopy_flag, 0);
    ASSERT_EQ(driver.find(HardcopySide, OpText).size(), 1u);
    EXPECT_EQ(gstate.hardcopy_flag, 1);
    EXPECT_EQ(gstate.text.stroke_mode, 0);
}

TEST_F(TextDraw, BackgroundBoxUsesThePreviousColour) {
    const ColourTriple previous = gstate.PreviousColour, current = gstate.CurrentColour;
    WGrTextFont(1, 8);
    igrcharout(0.5f, 0.5f, "ab");
    const auto colours = driver.find(ScreenSide, OpColour);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[0]->state.CurrentColour, previous);
    EXPECT_EQ(colours[1]->state.CurrentColour, current);
    EXPECT_EQ(gstate.PreviousColour, previous);
    EXPECT_EQ(gstate.CurrentColour, current);
    EXPECT_EQ(gstate.fill_style, 0);
}
