#include <gtest/gtest.h>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "tests/support/graphics_test.h"

using Ops = std::vector<std::int32_t>;

class GraphicsInit : public GraphicsTest {};

TEST_F(GraphicsInit, SendsItsOperationsInOrder) {
    igrinit();
    // The area set by the selection brings the text angle and font along;
    // the text defaults select the font once more at the end.
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpBeginPicture, OpClip, OpTextAngle, OpFont, OpInitialise, OpColour,
                                           OpColour, OpPlotMode, OpLineType, OpLineWidth, OpFont, OpFont}));
    // Hardcopy output is not active: only the direct initialisation of the
    // selected driver reaches it.
    EXPECT_EQ(driver.ops(HardcopySide), (Ops{OpInitialise}));
    EXPECT_EQ(surfaces.log, (std::vector<std::string>{"none", "window 0"}));
}

TEST_F(GraphicsInit, SelectsWhiteThenBlack) {
    gstate.chosen_palette_size = 16;
    igrinit();
    const auto colours = driver.find(ScreenSide, OpColour);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[0]->state.CurrentColour, (ColourTriple{{0, 0, 0xFFFFFF}}));
    EXPECT_EQ(colours[0]->state.PreviousColour.index(), 223);
    EXPECT_EQ(colours[1]->state.CurrentColour, (ColourTriple{{15, 223, 0}}));
    EXPECT_EQ(colours[1]->state.PreviousColour, (ColourTriple{{0, 0, 0xFFFFFF}}));
    EXPECT_EQ(gstate.colour_count, 16);
    EXPECT_EQ(gstate.palette_size_copy, 16);
    EXPECT_EQ(gstate.ColourModel, 1);
}

TEST_F(GraphicsInit, ResetsTheState) {
    gstate.PlotMode = 3;
    gstate.LineType = 5;
    gstate.pos_x = 7.0f;
    gstate.fill_style = 4;
    gstate.outline_flag = 0;
    gstate.FillEmulationRequest = {1, 2};
    gstate.text.justification = 0;
    IGrArea(0.2f, 0.2f, 0.4f, 0.4f);
    IGrUnits(5.0f, 5.0f, 10.0f, 10.0f);
    igrinit();
    const GraphicsState& g = gstate;
    EXPECT_EQ(g.screen_flag, 1);
    EXPECT_EQ(g.PlotMode, 0);
    EXPECT_EQ(g.LineType, 0);
    EXPECT_EQ(g.screen_line_width, 1);
    EXPECT_EQ(g.metafile_line_width, 5);
    EXPECT_EQ(g.pos_x, 0.0f);
    EXPECT_EQ(g.fill_style, 0);
    EXPECT_EQ(g.outline_flag, 1);
    EXPECT_EQ(g.FillEmulationRequest, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_EQ(g.text.justification, 1);
    EXPECT_EQ(g.text.HardwareFontFamily, 1);
    EXPECT_EQ(g.text.unread_word, 2);
    EXPECT_FLOAT_EQ(g.text.char_width, 0.01333333f);
    EXPECT_FLOAT_EQ(g.text.char_height, 0.04f);
    EXPECT_EQ(g.x1, 0.0f);
    EXPECT_EQ(g.x2, 1.0f);
    EXPECT_EQ(g.ux1, 0.0f);
    EXPECT_EQ(g.uy2, 1.0f);
    EXPECT_FLOAT_EQ(g.sx, 399.99f);
    EXPECT_FLOAT_EQ(g.sy, 299.99f);
    EXPECT_EQ(g.DrawableType, 1);
    EXPECT_EQ(g.drawable_id, 0);
    EXPECT_EQ(g.device[ScreenSide].DeviceCapabilities, CapsScreen);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(GraphicsInit, OptionHKeepsEveryOperationOffTheScreen) {
    for (std::string_view opt : {"H", "h", "xHp"}) {
        SCOPED_TRACE(opt);
        driver.clear();
        igrinit(opt);
        EXPECT_EQ(gstate.screen_flag, 0);
        EXPECT_TRUE(driver.ops(ScreenSide).empty());
        // The router still passes them; the device takes none.
        EXPECT_GT(driver.ignored_while_off, 0);
        EXPECT_EQ(driver.ops(HardcopySide), (Ops{OpInitialise}));
        // Hardcopy output still works.
        gstate.hardcopy_flag = 1;
        IGrColourN(5);
        gstate.hardcopy_flag = 0;
        EXPECT_TRUE(driver.ops(ScreenSide).empty());
        EXPECT_EQ(driver.ops(HardcopySide), (Ops{OpInitialise, OpColour}));
    }
    igrinit(" ");
    EXPECT_EQ(gstate.screen_flag, 1);
}

TEST_F(GraphicsInit, OptionPKeepsPageOptionsOnlyAfterADriverAnswered) {
    driver.hardcopy.page_width = 2100;
    driver.hardcopy.page_height = 2970;
    // No driver has answered yet: "P" changes nothing, the options are
    // cleared and the driver sets its page.
    gstate.hc.options.set(1, 11);
    gstate.hc.options.set(5, 55);
    igrinit("P");
    EXPECT_EQ(driver.find(HardcopySide, OpInitialise).at(0)->args.K, 0);
    EXPECT_EQ(gstate.hc.options.get(1), 2100);
    EXPECT_EQ(gstate.hc.options.get(5), 0);
    EXPECT_EQ(gstate.hc.active_driver, DriverWindowsPrinter);

    // Now a driver has answered: options 1..29 and the output name survive.
    gstate.hc.options.set(1, 11);
    gstate.hc.options.set(5, 1);
    gstate.hc.options.set(29, 9);
    gstate.hc.options.set(9, 7);
    gstate.hc.options.set(101, 1);
    txt_set(gstate.hc.output_name, "plot.ps");
    driver.clear();
    igrinit("p");
    const auto init = driver.find(HardcopySide, OpInitialise);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0]->args.K, KeepPageOptions);
    // The driver saw the table cleared before it answered.
    EXPECT_EQ(init[0]->state.line_thickness, 0);
    EXPECT_EQ(drvargs.K, 0);
    EXPECT_EQ(gstate.hc.options.get(1), 11);
    EXPECT_EQ(gstate.hc.options.get(5), 1);
    EXPECT_EQ(gstate.hc.options.get(29), 9);
    EXPECT_EQ(gstate.hc.options.get(9), 7);      // the driver's default 5 overwritten again
    EXPECT_EQ(gstate.hc.options.get(101), 80);   // not kept: the driver's default
    EXPECT_EQ(txt_trim(gstate.hc.output_name), "plot.ps");

    // Without "P" everything is the driver's again.
    igrinit();
    EXPECT_EQ(gstate.hc.options.get(1), 2100);
    EXPECT_EQ(gstate.hc.options.get(5), 0);
}

TEST_F(GraphicsInit, ReappliesKeptOptionsThroughTheOptionRoutineInOrder) {
    igrinit();
    igrhardcopy();   // a run in progress with a page that has content
    gstate.hc.page_in_progress = 1;
    for (int k = 1; k <= 29; ++k) gstate.hc.options.set(k, 100 + k);
    // Each value passes its check again, in ascending order: option 5 := 2
    // puts the page in portrait order only after width and height are back.
    gstate.hc.options.set(1, 700);
    gstate.hc.options.set(2, 500);
    gstate.hc.options.set(5, 2);
    gstate.hc.options.set(8, 0);     // raised to 1
    gstate.hc.options.set(12, 50);   // raised to 100
    gstate.hc.options.set(14, 7);    // never stored
    gstate.hc.options.set(16, 5);    // outside 10..255: the cleared value stays
    driver.clear();
    igrinit("P");
    // The run was stopped: no end of page (the flag was cleared first), then the end.
    EXPECT_EQ(driver.find(HardcopySide, OpEndOutput).size(), 1u);
    EXPECT_TRUE(driver.find(HardcopySide, OpEndPage).empty());
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    EXPECT_EQ(gstate.hc.page_in_progress, 0);
    const std::pair<int, int> expected[] = {{1, 500}, {2, 700}, {5, 0},  {8, 1},    {12, 100},
                                            {14, 0},  {16, 0},  {3, 103}, {29, 129}, {9, 109}};
    for (auto [code, value] : expected) EXPECT_EQ(gstate.hc.options.get(code), value) << code;
}

TEST_F(GraphicsInit, InitialisesTheHardcopyDriverAfterALeftOverProbe) {
    drvargs.N = ProbeDriverNumber;
    igrinit();
    EXPECT_EQ(gstate.hc.active_driver, DriverWindowsPrinter);
    EXPECT_EQ(gstate.hc.options.get(108), 8);
    EXPECT_EQ(gstate.device[HardcopySide].DeviceCapabilities, CapsVectorFile);
}

TEST_F(GraphicsInit, DefaultOptionsOfEveryHardcopyDriver) {
    for (int k : {1, 2, 3, 4, 5, 12, 16, 18, 29}) gstate.hc.options.set(k, 1000 + k);
    yydefh();
    const HardcopyOptionTable once = gstate.hc.options;
    yydefh();
    EXPECT_EQ(gstate.hc.options.slots, once.slots);
    const std::pair<int, int> expected[] = {{6, 0},    {7, 0},   {8, 1},        {9, 5},    {10, 0},
                                            {11, 0},   {17, 0},  {101, 80},     {102, 60}, {103, 1},
                                            {104, 999999}, {105, 1}, {106, 0}, {107, 0},  {108, 8}};
    for (auto [code, value] : expected) EXPECT_EQ(gstate.hc.options.get(code), value) << code;
    for (int k : {1, 2, 3, 4, 5, 12, 16, 18, 29}) EXPECT_EQ(gstate.hc.options.get(k), 1000 + k) << k;
}

class DrawableSelection : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        driver.clear();
        surfaces.log.clear();
    }
};

TEST_F(DrawableSelection, FailuresFallBackToTheCurrentWindow) {
    surfaces.open_window(3, 200, 100);
    struct Case {
        int type;
        std::optional<int> ident;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {1, 7, {"none", "window 7", "window 0"}},   // no such window
        {2, 4, {"none", "bitmap 3", "window 0"}},   // no such bitmap
        {3, std::nullopt, {"window 0"}},            // no current dialog: surface kept
        {4, std::nullopt, {"none", "metafile 1", "window 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        IGrSelect(1, 3);
        ASSERT_EQ(gstate.width, 200);
        quinda.current_slot = 0;
        quinda.window_size = {400, 300};
        driver.clear();
        surfaces.log.clear();
        quinda.last_error = 5;
        IGrSelect(c.type, c.ident);
        EXPECT_EQ(infoerror(1), 1019);
        EXPECT_EQ(gstate.DrawableType, 1);
        EXPECT_EQ(gstate.drawable_id, 0);
        EXPECT_EQ(gstate.dialog_id, 0);
        EXPECT_EQ(gstate.width, 400);
        EXPECT_EQ(gstate.height, 300);
        EXPECT_FLOAT_EQ(gstate.wx2, 399.99f);
        EXPECT_EQ(surfaces.log, c.log);
        EXPECT_TRUE(driver.find(ScreenSide, OpInitialise).empty());
    }
}

TEST_F(DrawableSelection, EachTypeTakesItsSurfaceAndSize) {
    surfaces.add_bitmap(2, 64, 32);
    surfaces.set_dialog(9);
    surfaces.add_field(0, 120, 80);
    surfaces.add_field(5, 50, 40);
    surfaces.add_metafile(1, 640, 480);
    struct Case {
        int type;
        std::optional<int> ident;
        int id, dialog, w, h;
        std::string log;
    };
    const Case cases[] = {
        {2, 2, 2, 0, 64, 32, "bitmap 1"},
        {3, std::nullopt, 0, 9, 120, 80, "field 0"},
        {3, 5, 5, 9, 50, 40, "field 5"},
        {4, std::nullopt, 1, 0, 640, 480, "metafile 1"},
        {1, std::nullopt, 0, 0, 400, 300, "window 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        driver.clear();
        surfaces.log.clear();
        IGrSelect(c.type, c.ident);
        EXPECT_EQ(infoerror(1), 0);
        EXPECT_EQ(gstate.DrawableType, c.type);
        EXPECT_EQ(gstate.drawable_id, c.id);
        EXPECT_EQ(gstate.dialog_id, c.dialog);
        EXPECT_EQ(gstate.width, c.w);
        EXPECT_EQ(gstate.height, c.h);
        EXPECT_FLOAT_EQ(gstate.aspect_ratio, static_cast<float>(c.w) / static_cast<float>(c.h));
        EXPECT_EQ(surfaces.log, (std::vector<std::string>{"none", c.log}));
        EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpClip, OpTextAngle, OpFont, OpInitialise}));
    }
}

TEST_F(DrawableSelection, WindowSelectionKeepsAnEarlierError) {
    quinda.last_error = 42;
    IGrSelect(1);
    EXPECT_EQ(infoerror(1), 42);
}

TEST_F(DrawableSelection, AnUnknownTypeReinitialisesTheCurrentDrawable) {
    IGrSelect(7);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpInitialise}));
    EXPECT_TRUE(surfaces.log.empty());
    EXPECT_EQ(gstate.DrawableType, 1);
}

namespace {
std::vector<std::int32_t> recorded;
void cgm_recorder(std::int32_t op) { recorded.push_back(op); }
}  // namespace

TEST_F(DrawableSelection, SwitchingToAndFromTheRecorderResendsTheDeviceState) {
    recorded.clear();
    grlinks.cgm_recorder = &cgm_recorder;
    surfaces.add_metafile(2, 300, 200, true);
    IGrSelect(4, 2);
    EXPECT_EQ(gstate.recorder_flag, 1);
    // The metafile's size already reaches the recorder.
    EXPECT_EQ(recorded, (Ops{OpClip, OpTextAngle, OpFont, OpInitialise, OpBeginPicture, OpLineWidth, OpLineType,
                             OpPalette, OpClip}));
    EXPECT_TRUE(driver.ops(ScreenSide).empty());

    recorded.clear();
    driver.clear();
    gstate.temporary_selection = 1;
    IGrSelect(1);
    gstate.temporary_selection = 0;
    EXPECT_EQ(gstate.recorder_flag, 0);
    EXPECT_TRUE(recorded.empty());
    EXPECT_EQ(driver.ops(ScreenSide),
              (Ops{OpClip, OpInitialise, OpBeginPicture, OpLineWidth, OpLineType, OpPalette, OpClip, OpFont}));
}

TEST_F(DrawableSelection, PlotModeLetters) {
    struct Case {
        std::optional<std::string_view> text;
        int mode;
    };
    const Case cases[] = {{"N", 0}, {"O", 1}, {"o", 1}, {"A", 2}, {"a", 2}, {"E", 3}, {"e", 3},
                          {"n", 0}, {"X", 0}, {" ", 0}, {"", 0},  {"Eo", 3}, {"oE", 1}, {std::nullopt, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.value_or("absent"));
        gstate.PlotMode = 9;
        driver.clear();
        IGrPlotMode(c.text);
        EXPECT_EQ(gstate.PlotMode, c.mode);
        EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPlotMode}));
    }
}

TEST_F(DrawableSelection, PlotModeNumbersGoToTheScreenOnly) {
    gstate.hardcopy_flag = 1;
    igrplotmode2(7);
    EXPECT_EQ(gstate.PlotMode, 7);
    igrplotmode2();
    EXPECT_EQ(gstate.PlotMode, 0);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPlotMode, OpPlotMode}));
    EXPECT_TRUE(driver.ops(HardcopySide).empty());
}
