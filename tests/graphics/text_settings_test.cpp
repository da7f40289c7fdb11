// Text state settings: font selection, sizes, angle, measuring, widths,
// the substitution rule and the saved stroke font.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/grinfo.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/strokefont_data.h"
#include "lib/graphics/text.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "tests/support/graphics_test.h"

namespace {

class TextSettings : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        driver.clear();
    }
    std::string font_name() const { return std::string(txt_trim(std::string_view(gstate.text.stroke_font.name, 260))); }
    int fonts_sent(int side) const { return static_cast<int>(driver.find(side, OpFont).size()); }
};

}  // namespace

TEST_F(TextSettings, DefaultsAfterInit) {
    const TextState& t = gstate.text;
    EXPECT_EQ(font_name(), "standard.chr");
    EXPECT_EQ(t.stroke_font.line_flag, 1);
    EXPECT_EQ(t.stroke_font.default_pitch, 0);
    EXPECT_EQ(t.stroke_mode, 0);
    EXPECT_EQ(t.HardwareFontFamily, 1);
    EXPECT_EQ(t.substitute_font, 1);
    EXPECT_EQ(t.widths, kBuiltinCharacterWidths);
    EXPECT_FLOAT_EQ(t.cos_angle, 1.0f);
}

// One call sequence of WGrTextFont and the state it leaves.
struct FontCase {
    const char* what;
    std::function<void()> calls;
    int stroke_mode, family, pitch;
    int fonts_sent;  // operation 21 on the screen side during the calls
    int error;       // last error after the calls
};

TEST_F(TextSettings, FontSelectionTable) {
    const FontCase cases[] = {
        {"102: swiss, device spacing", [] { WGrTextFont(102); }, 0, 2, 2, 1, 0},
        {"102 then 2 keeps family and pitch", [] { WGrTextFont(102); WGrTextFont(2); }, 0, 2, 2, 1, 0},
        {"101: fixed, fixed pitch", [] { WGrTextFont(102); WGrTextFont(101); }, 0, 1, 0, 2, 0},
        {"103 roman", [] { WGrTextFont(103); }, 0, 3, 2, 1, 0},
        {"104 symbol", [] { WGrTextFont(104); }, 0, 4, 2, 1, 0},
        {"100 without a name", [] { WGrTextFont(100); }, 0, 0, 2, 1, 1058},
        {"100 with a name", [] { WGrTextFont(100, std::nullopt, std::nullopt, std::nullopt, "Liberation Sans"); },
         0, 0, 2, 1, 0},
        {"1: stroke text sends nothing", [] { WGrTextFont(1); }, 1, 1, 0, 0, 0},
        {"unknown family ignored", [] { WGrTextFont(7); }, 0, 1, 0, 0, 0},
        {"2 with family 1 gives fixed pitch", [] { WGrTextFont(2); }, 0, 1, 0, 0, 0},
        {"pitch 2 ignored for family 1", [] { WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2); },
         0, 1, 0, 0, 0},
        {"pitch 1 ignored for family 1", [] { WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1); },
         0, 1, 0, 0, 0},
        {"pitch 1 ignored for family 2",
         [] { WGrTextFont(102); WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1); },
         0, 2, 2, 1, 0},
        {"pitch 2 gives table spacing for family 2",
         [] { WGrTextFont(102); WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2); },
         0, 2, 1, 2, 0},
        {"pitch 0 back to the family's default",
         [] {
             WGrTextFont(102, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
             WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0);
         },
         0, 2, 2, 2, 0},
        {"pitch 1 in stroke mode is fixed",
         [] { WGrTextFont(1, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
              WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1); },
         1, 1, 0, 0, 0},
        {"pitch 2 in stroke mode is proportional, nothing sent",
         [] { WGrTextFont(1, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2); }, 1, 1, 1, 0, 0},
        {"pitch 1 for the named family", [] {
             WGrTextFont(100, std::nullopt, std::nullopt, std::nullopt, "Liberation Sans", 1); },
         0, 0, 0, 1, 0},
        {"a size <= 0 still re-selects", [] { WGrTextFont(std::nullopt, std::nullopt, -1.0f); }, 0, 1, 0, 1, 0},
        {"style change in hardware mode", [] { WGrTextFont(std::nullopt, 4); }, 0, 1, 0, 1, 0},
        {"same style low bits: nothing", [] { WGrTextFont(std::nullopt, 8); }, 0, 1, 0, 0, 0},
        {"style change in stroke mode", [] { WGrTextFont(1, 1); }, 1, 1, 0, 0, 0},
    };
    for (const FontCase& c : cases) {
        SCOPED_TRACE(c.what);
        igrinit();
        infoerror(1);
        driver.clear();
        c.calls();
        const TextState& t = gstate.text;
        EXPECT_EQ(t.stroke_mode, c.stroke_mode);
        EXPECT_EQ(t.HardwareFontFamily, c.family);
        EXPECT_EQ(t.TextPitch, c.pitch);
        EXPECT_EQ(fonts_sent(ScreenSide), c.fonts_sent);
        EXPECT_EQ(infoerror(1), c.error);
    }
}

TEST_F(TextSettings, NamedFamilyKeepsItsSettingsOnError) {
    WGrTextFont(100, 2, 0.02f, 0.05f, std::nullopt, 0);
    EXPECT_EQ(infoerror(1), 1058);
    const TextState& t = gstate.text;
    EXPECT_EQ(t.HardwareFontFamily, 0);
    EXPECT_EQ(t.TextStyle, 2);
    EXPECT_FLOAT_EQ(t.char_width, 0.02f);
    EXPECT_FLOAT_EQ(t.char_height, 0.05f);
    EXPECT_EQ(t.substitute_font, 2);
    // The name is taken blank-padded to 100 characters.
    WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, "Liberation Mono");
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(t.font_name.size(), 100u);
    EXPECT_EQ(txt_trim(t.font_name), "Liberation Mono");
    EXPECT_EQ(driver.find(ScreenSide, OpFont).back()->state.font_name, "Liberation Mono");
}

TEST_F(TextSettings, SizesReachTheDeviceWithTheFont) {
    WGrTextFont(std::nullopt, std::nullopt, 0.02f, 0.0f);
    EXPECT_FLOAT_EQ(gstate.text.char_width, 0.02f);
    EXPECT_FLOAT_EQ(gstate.text.char_height, 0.04f);
    ASSERT_EQ(fonts_sent(ScreenSide), 1);
    EXPECT_FLOAT_EQ(driver.find(ScreenSide, OpFont)[0]->state.char_width, 0.02f);
}

TEST_F(TextSettings, BoldTogglesTheOutlineFamilyVariant) {
    wgrofontroman();
    EXPECT_EQ(font_name(), "roman.chr");
    EXPECT_EQ(gstate.text.loaded_bold, 0);
    WGrTextFont(1);
    EXPECT_EQ(gstate.text.TextPitch, 1);  // the roman font's own pitch
    WGrTextFont(std::nullopt, 1 + 2);
    EXPECT_EQ(font_name(), "romanbld.chr");
    EXPECT_EQ(gstate.text.loaded_bold, 1);
    EXPECT_FLOAT_EQ(gstate.text.slant, 0.4663f);
    WGrTextFont(std::nullopt, 0);
    EXPECT_EQ(font_name(), "roman.chr");
    EXPECT_FLOAT_EQ(gstate.text.slant, 0.0f);
    // In hardware mode the stroke font is left alone.
    WGrTextFont(2, 1);
    EXPECT_EQ(font_name(), "roman.chr");
    // Swiss and fixed follow the same way; a line font has no variant.
    wgrofontswiss();
    WGrTextFont(1, 1);
    EXPECT_EQ(font_name(), "swissbld.chr");
    wgrvfontstandard();
    WGrTextFont(1, 0);
    EXPECT_EQ(font_name(), "standard.chr");
    gstate.text.TextStyle = 1;
    wgrofontfixed();
    EXPECT_EQ(font_name(), "fixedbld.chr");
    EXPECT_EQ(gstate.text.loaded_bold, 1);
}

TEST_F(TextSettings, RelativeCharacterSize) {
    igrcharsize(1.0f, 1.0f);
    const float w = gstate.text.char_width, h = gstate.text.char_height;
    EXPECT_FLOAT_EQ(w, 1.0f / 75.0f);
    EXPECT_FLOAT_EQ(h, 1.0f / 25.0f);
    igrcharsize(2.0f, 3.0f);
    EXPECT_FLOAT_EQ(gstate.text.char_width, 2.0f / 75.0f);
    igrcharsize(0.0f, -1.0f);
    EXPECT_EQ(gstate.text.char_width, w);
    EXPECT_EQ(gstate.text.char_height, h);
    EXPECT_EQ(fonts_sent(ScreenSide), 3);
    yychsize(0.0f, -2.0f);
    EXPECT_FLOAT_EQ(gstate.text.char_width, 0.01333333f);
    EXPECT_FLOAT_EQ(gstate.text.char_height, 0.04f);
}

TEST_F(TextSettings, SubstituteFontFollowsTheFamily) {
    const struct {
        int family, pitch, substitute;
    } cases[] = {{1, 0, 1}, {2, 2, 2}, {3, 2, 3}, {4, 2, 4}, {0, 0, 1}, {0, 2, 2}};
    for (const auto& c : cases) {
        gstate.text.HardwareFontFamily = c.family;
        gstate.text.TextPitch = c.pitch;
        yychdfont();
        EXPECT_EQ(gstate.text.substitute_font, c.substitute) << c.family << " " << c.pitch;
    }
}

TEST_F(TextSettings, FontSelectionWithoutScreenComputesTheCells) {
    gstate.screen_flag = 0;
    gstate.hardcopy_flag = 1;
    yychsize(0.02f, 0.05f);
    EXPECT_FLOAT_EQ(gstate.text.cells_across, gstate.extent_x / (gstate.text_ref_size_x * 0.02f));
    EXPECT_FLOAT_EQ(gstate.text.cells_down, gstate.extent_y / (gstate.text_ref_size_y * 0.05f));
    EXPECT_EQ(fonts_sent(HardcopySide), 1);
    EXPECT_EQ(driver.ignored_while_off, 0);
    // Stroke mode: the screen device is not asked for a font.
    gstate.screen_flag = 1;
    gstate.text.stroke_mode = 1;
    driver.clear();
    yychdfont();
    EXPECT_EQ(fonts_sent(ScreenSide), 0);
    EXPECT_EQ(fonts_sent(HardcopySide), 1);
}

TEST_F(TextSettings, RotationIsKeptInOneTurn) {
    const struct {
        float in, angle;
    } cases[] = {{-90, 270}, {720, 0}, {0, 0}, {45, 45}, {-720, 0}, {359.5f, 359.5f}, {-450, 270}, {1e9f, 280}};
    for (const auto& c : cases) {
        yychrot(c.in);
        EXPECT_NEAR(gstate.text.angle, c.angle, 1e-3) << c.in;
        EXPECT_GE(gstate.text.angle, 0.0f);
        EXPECT_LT(gstate.text.angle, 360.0f);
    }
    // Angles far beyond one turn still end inside it.
    for (const float huge : {1e20f, -1e20f, 3.4e38f, -3.4e38f}) {
        yychrot(huge);
        EXPECT_GE(gstate.text.angle, 0.0f) << huge;
        EXPECT_LT(gstate.text.angle, 360.0f) << huge;
    }
    yychrot(std::nanf(""));
    EXPECT_EQ(gstate.text.angle, 0.0f);

    driver.clear();
    gstate.hardcopy_flag = 1;
    yychrot(90);
    EXPECT_NEAR(gstate.text.cos_angle, 0.0f, 1e-6);
    // r of a full area is the drawable's shape over itself: about 1.
    EXPECT_NEAR(gstate.text.sin_r, 1.0f, 1e-4);
    EXPECT_NEAR(gstate.text.sin_over_r, 1.0f, 1e-4);
    EXPECT_EQ(driver.find(ScreenSide, OpTextAngle).size(), 1u);
    EXPECT_EQ(driver.find(HardcopySide, OpTextAngle).size(), 1u);
}

TEST_F(TextSettings, RotationCorrectsForAnAreaOfOtherShape) {
    IGrArea(0.0f, 0.0f, 0.5f, 1.0f);
    yychrot(30);
    const GraphicsState& g = gstate;
    const double r = static_cast<double>(g.text_ref_size_y) / g.text_ref_size_x * g.aspect_ratio * (0.5 / 1.0);
    EXPECT_NEAR(gstate.text.sin_r, 0.5 * r, 1e-5);
    EXPECT_NEAR(gstate.text.sin_over_r, 0.5 / r, 1e-5);
}

TEST_F(TextSettings, TextLength) {
    WGrTextFont(1, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
    ASSERT_EQ(gstate.text.TextPitch, 1);
    EXPECT_FLOAT_EQ(wgrtextlength("abc"), 2.32f);
    // Trailing blanks are characters.
    EXPECT_FLOAT_EQ(wgrtextlength("abc  "), 2.32f + 1.4f);
    // Code 128 measures as the code-127 entry when the font has its glyph,
    // as a blank otherwise; 127 and control codes are blanks.
    EXPECT_FLOAT_EQ(wgrtextlength("\x80"), 0.74f);
    EXPECT_FLOAT_EQ(wgrtextlength("\x7f\x01"), 1.4f);
    wgrofontsymbol();
    EXPECT_FLOAT_EQ(wgrtextlength("\x80"), 0.7f);
    EXPECT_FLOAT_EQ(wgrtextlength("\xe9"), 0.74f);
    WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1);
    EXPECT_FLOAT_EQ(wgrtextlength("abc"), 3.0f);
    EXPECT_TRUE(driver.find(ScreenSide, OpTextWidth).empty());
}

TEST_F(TextSettings, HardwareTextIsMeasuredByTheDevice) {
    WGrTextFont(102);
    gstate.text.cells_across = 50.0f;
    driver.screen.text_width = 24.0f;
    EXPECT_FLOAT_EQ(wgrtextlength("abc"), 24.0f * 50.0f / gstate.extent_x);
    const auto asked = driver.find(ScreenSide, OpTextWidth);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0]->args.K, 3);
    EXPECT_EQ(asked[0]->text.substr(0, 4), "abc ");
    // At most 260 characters go to the device.
    wgrtextlength(std::string(300, 'x'));
    EXPECT_EQ(driver.find(ScreenSide, OpTextWidth).back()->args.K, 260);
    // MEASURE 1 uses the table; a device without an answer too.
    EXPECT_FLOAT_EQ(wgrtextlength("abc", 1), 2.32f);
    driver.screen.text_width = -1.0f;
    EXPECT_FLOAT_EQ(wgrtextlength("abc"), 2.32f);
    // Without a screen the hardcopy device measures.
    gstate.screen_flag = 0;
    gstate.hardcopy_flag = 1;
    driver.clear();
    wgrtextlength("ab");
    EXPECT_EQ(driver.find(HardcopySide, OpTextWidth).size(), 1u);
    // Table spacing never asks.
    gstate.text.TextPitch = 1;
    driver.clear();
    wgrtextlength("ab");
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(TextSettings, WidthsAreRestoredPerCode) {
    CharacterWidthTable& w = gstate.text.widths;
    w.fill(2.0f);
    yychspace('a');
    EXPECT_FLOAT_EQ(w[static_cast<std::size_t>('a' - 32)], 0.74f);
    EXPECT_FLOAT_EQ(w[static_cast<std::size_t>('b' - 32)], 2.0f);
    yychspace(233);
    EXPECT_FLOAT_EQ(w[233 - 161 + 96], 0.74f);
    yychspace(128);
    EXPECT_FLOAT_EQ(w[95], 0.74f);
    EXPECT_EQ(infoerror(1), 0);
    for (int bad : {127, 1, 160, 256, -5}) {
        yychspace(bad);
        EXPECT_EQ(infoerror(1), 66) << bad;
    }
    yychspace(0);
    EXPECT_EQ(w, kBuiltinCharacterWidths);
}

TEST_F(TextSettings, SavedStrokeFontComesBack) {
    WGrTextFont(1);
    yychsave(1);
    wgrofontroman();
    gstate.text.stroke_mode = 0;
    EXPECT_EQ(font_name(), "roman.chr");
    yychsave(0);
    EXPECT_EQ(font_name(), "standard.chr");
    EXPECT_EQ(gstate.text.stroke_font.line_flag, 1);
    EXPECT_EQ(gstate.text.stroke_mode, 1);
}

TEST_F(TextSettings, RestoreWithoutSaveKeepsTheFont) {
    yychsave(0);
    EXPECT_EQ(font_name(), "standard.chr");
}

TEST_F(TextSettings, SecondSlotDoesNotTouchTheCurrentFont) {
    wgrvfontstandard(1);
    EXPECT_EQ(std::string_view(textlayer.slot1_font.name, 12), "standard.chr");
    wgrofontsymbol();
    gstate.text.loaded_bold = 1;
    wgrvfontstandard(1);
    EXPECT_EQ(font_name(), "symbol.chr");
    EXPECT_EQ(gstate.text.loaded_bold, 1);
}

TEST_F(TextSettings, UnsoundFontIsNotInstalled) {
    const std::int32_t low[96] = {};
    const std::int32_t high[96] = {};
    yychsfont(10, 10, 10, 10, 8, 0, 0, 0, "broken", "0011", low, high);
    EXPECT_EQ(font_name(), "standard.chr");
}

// Device words and sizes that decide substitution on one side.
struct SubstCase {
    const char* what;
    int side, pitch;
    float threshold;
    char pos27;
    int rotation;
    float angle;
    float w, h;
    float scale;  // hardcopy units per device unit
    float cells;  // screen: cells across = cells down
    int enabled;
    int expect;
};

TEST_F(TextSettings, SubstitutionRule) {
    // With 75 cells across a character width of 1/75 of the full area asks
    // for exactly the font the screen got: U = V = 1.
    const SubstCase cases[] = {
        {"DXF, proportional: always", 1, 2, 0.222f, '0', 360, 0, 1, 1, 1, 0, 1, 1},
        {"DXF, fixed, large", 1, 0, 0.222f, '0', 360, 0, 1, 1, 1, 0, 1, 1},
        {"DXF, fixed, small", 1, 0, 0.222f, '0', 360, 0, 0.2f, 0.2f, 1, 0, 1, 0},
        {"DXF, fixed, one side small", 1, 0, 0.222f, '0', 360, 0, 1, 0.2f, 1, 0, 1, 0},
        {"DXF, fixed, large, scaled down", 1, 0, 0.222f, '0', 360, 0, 1, 1, 0.1f, 0, 1, 0},
        {"DXF, fixed, substitution off", 1, 0, 0.222f, '0', 360, 0, 1, 1, 1, 0, 0, 0},
        {"negative threshold", 1, 0, -1, '1', 360, 0, 1, 1, 1, 0, 1, 0},
        {"no rotation at all", 1, 0, 1e30f, '1', 0, 0, 1, 1, 1, 0, 1, 1},
        {"unrotated only, 2 degrees", 1, 0, 1e30f, '1', 1, 2, 1, 1, 1, 0, 1, 1},
        {"unrotated only, 0 degrees", 1, 0, 1e30f, '1', 1, 0, 1, 1, 1, 0, 1, 0},
        {"unrotated only, 1 degree", 1, 0, 1e30f, '1', 1, 1, 1, 1, 1, 0, 1, 0},
        {"screen, font as asked", 0, 2, 1e30f, '1', 360, 0, 1, 1, 1, 75, 1, 0},
        {"screen, font far too small", 0, 2, 1e30f, '1', 360, 0, 1, 1, 1, 120, 1, 1},
        {"screen, font far too large", 0, 2, 1e30f, '1', 360, 0, 1, 1, 1, 50, 1, 1},
        {"screen, too small but substitution off", 0, 2, 1e30f, '1', 360, 0, 1, 1, 1, 120, 0, 0},
        {"screen, fixed: ratio needs the size test", 0, 0, 1e30f, '1', 360, 0, 1, 1, 1, 120, 1, 0},
        {"screen, fixed: ratio and size", 0, 0, 0.5f, '1', 360, 0, 1, 1, 1, 120, 1, 1},
    };
    for (const SubstCase& c : cases) {
        SCOPED_TRACE(c.what);
        GraphicsState& g = gstate;
        DeviceDescription& d = g.device[static_cast<std::size_t>(c.side)];
        d.TextSizeThreshold = c.threshold;
        d.DeviceCapabilities = std::string(CapsScreen);
        d.DeviceCapabilities[26] = c.pos27;
        d.TextRotationCapability = c.rotation;
        g.text.angle = c.angle;
        g.text.TextPitch = c.pitch;
        g.text.char_width = 1.0f / 75.0f;
        g.text.char_height = 1.0f / 75.0f;
        g.text.cells_across = g.text.cells_down = c.cells;
        g.hc.x_scale = g.hc.y_scale = c.scale;
        g.text.substitution_enabled = {c.enabled, c.enabled};
        int result = -1;
        yychsubst(c.side, c.w, c.h, result);
        EXPECT_EQ(result, c.expect);
    }
}

TEST_F(TextSettings, ScreenInformationReportsTheStrokeFontCharacterSet) {
    EXPECT_EQ(InfoGrScreen(39), 8);
    const StrokeFontData& d = wgrvfontstandard_data();
    yychsfont(d.cell_width, d.cell_height, d.box_width, d.box_height, 7, d.flags, d.default_pitch, 0, d.name,
              d.glyphs, d.low, d.high);
    EXPECT_EQ(InfoGrScreen(39), 7);
    // With 7 bits the upper codes measure as blanks.
    gstate.text.TextPitch = 1;
    EXPECT_FLOAT_EQ(wgrtextlength("\xe9", 1), 0.7f);
}
