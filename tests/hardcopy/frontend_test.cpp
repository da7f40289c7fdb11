// The hardcopy front end with a recording driver: starts, stops, the
// drawing state sent to a new run, and the dual output of primitives.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/rootwin.h"
#include "lib/window/text.h"
#include "lib/window/winclose.h"
#include "tests/hardcopy/sample_driver.h"
#include "tests/support/graphics_test.h"

namespace {

class FrontEnd : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        txt_set(gstate.hc.output_name, "default.out");
        driver.clear();
    }
    std::vector<std::int32_t> hardcopy_ops() const { return driver.ops(HardcopySide); }
};

using Ops = std::vector<std::int32_t>;
const Ops Start = {1, 18, 30, 29, 36, 37, 24, 21, 3};

Ops operator+(Ops a, const Ops& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(FrontEnd, StartsAndStops) {
    struct Step {
        std::optional<std::string> name;
        bool draw = false;          // the driver marks its page afterwards
        std::int32_t select = 0;    // igrhardcopyselect(1, select) before the call when non-zero
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        Ops ops;                    // hardcopy side, after the initialisations of selections
        std::string name;           // DriverText at the last begin
        std::int32_t n = 0;         // N at the last begin
        std::int32_t flag = 0;      // hardcopy flag afterwards
    };
    const std::vector<Case> cases = {
        {"a stop without a run sends nothing", {{"S"}}, {}, "", 0, 0},
        {"lower-case s stops", {{"plot.out"}, {"s"}}, Start + Ops{19}, "plot.out", 0, 0},
        {"S and a blank is a file name", {{"S "}}, Start, "S", 0, 1},
        {"Stop is a file name", {{"Stop"}}, Start, "Stop", 0, 1},
        {"a blank name is the default", {{"   "}}, Start, "default.out", 1, 1},
        {"an absent name is the default", {{std::nullopt}}, Start, "default.out", 1, 1},
        // The end goes to the driver selected now, which is none.
        {"driver 5 leaves hardcopy off, the run ended", {{"a.out"}, {"b.out", false, 5}}, Start, "a.out", 0, 0},
        {"a second start without content: no end of page", {{"a.out"}, {"b.out"}}, Start + Ops{19} + Start,
         "b.out", 0, 1},
        {"a second start with content ends the page", {{"a.out", true}, {"b.out"}},
         Start + Ops{20, 19} + Start, "b.out", 0, 1},
    };
    std::string begin_text;
    driver.on_call = [&](DriverCall& call) {
        if (call.side == HardcopySide && call.op == OpBeginPicture) begin_text = txt_c(DriverText);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        begin_text.clear();
        igrhardcopy("S");
        gstate.hc.selected_driver = DriverWindowsPrinter;
        gstate.hc.page_in_progress = 0;
        driver.clear();
        for (const Step& s : c.steps) {
            if (s.select != 0) igrhardcopyselect(1, s.select);
            if (s.name) igrhardcopy(*s.name);
            else igrhardcopy();
            if (s.draw) gstate.hc.page_in_progress = 1;
        }
        EXPECT_EQ(hardcopy_ops(), c.ops);
        EXPECT_EQ(gstate.hardcopy_flag, c.flag);
        const auto begins = driver.find(HardcopySide, OpBeginPicture);
        if (!begins.empty()) {
            EXPECT_EQ(begin_text, c.name);
            EXPECT_EQ(begins.back()->args.N, c.n);
            EXPECT_EQ(begins.back()->args.K, 1);
        }
        const auto ends = driver.find(HardcopySide, OpEndPage);
        for (const DriverCall* e : ends) EXPECT_EQ(std::make_pair(e->args.K, e->args.N), std::make_pair(32, 1));
    }
}

TEST_F(FrontEnd, TitleAndPenPosition) {
    hcstate.PenPosition = {1.0f, 2.0f};
    igrhardcopy("t.out", "Map of heads");
    const auto begin = driver.find(HardcopySide, OpBeginPicture).at(0);
    EXPECT_EQ(begin->args.IX[0], 1);
    EXPECT_EQ(txt_c(hcstate.HardcopyTitle), "Map of heads");
    EXPECT_EQ(hcstate.HardcopyTitle.size(), HardcopyTitleLength);
    EXPECT_EQ(hcstate.PenPosition, (std::array<float, 2>{UnknownPenPosition, UnknownPenPosition}));
    igrhardcopy("u.out");
    EXPECT_EQ(driver.find(HardcopySide, OpBeginPicture).at(1)->args.IX[0], 0);
}

TEST_F(FrontEnd, ScreenOffTakesShapeAndColoursFromThePage) {
    driver.hardcopy.page_width = 800;
    driver.hardcopy.page_height = 500;
    driver.hardcopy.colour_count = 2;
    igrinit("H");
    gstate.aspect_ratio = 1.32f;
    igrhardcopy("page.out");
    EXPECT_FLOAT_EQ(gstate.aspect_ratio, 1.6f);
    EXPECT_EQ(gstate.palette_size_copy, 2);

    // A page the driver could not learn (a failed printer query) keeps the
    // ratio instead of making it 0 / 0.
    driver.hardcopy.page_width = 0;
    driver.hardcopy.page_height = 0;
    igrinit("H");
    gstate.aspect_ratio = 1.32f;
    igrhardcopy("page.out");
    EXPECT_FLOAT_EQ(gstate.aspect_ratio, 1.32f);

    // With the screen on the ratio is the screen's business.
    driver.hardcopy.page_width = 800;
    driver.hardcopy.page_height = 500;
    igrinit();
    const float screen_ratio = gstate.aspect_ratio;
    igrhardcopy("page.out");
    EXPECT_FLOAT_EQ(gstate.aspect_ratio, screen_ratio);
}

TEST_F(FrontEnd, UnknownPaletteIndicesAreFilledBeforeTheColourGoesOut) {
    gstate.PreviousColour.index() = -1;
    gstate.PreviousColour.rgb() = 0xFFFFFF;
    gstate.CurrentColour.index() = -1;
    gstate.CurrentColour.rgb() = 0x0000FF;
    std::int32_t white = 0, red = 0;
    yyrgbto8(0xFFFFFF, white);
    yyrgbto8(0x0000FF, red);
    igrhardcopy("c.out");
    const auto colour = driver.find(HardcopySide, OpColour).at(0);
    EXPECT_EQ(colour->state.PreviousColour.index(), white);
    EXPECT_EQ(colour->state.CurrentColour.index(), red);
}

TEST_F(FrontEnd, PrimitivesGoToBothSidesOnlyWhileRunning) {
    igrjoin(0.1f, 0.1f, 0.5f, 0.5f);
    EXPECT_TRUE(driver.find(HardcopySide, OpLine).empty());
    igrhardcopy("both.out");
    driver.clear();
    igrjoin(0.1f, 0.1f, 0.5f, 0.5f);
    const auto screen = driver.find(ScreenSide, OpLine);
    const auto hard = driver.find(HardcopySide, OpLine);
    ASSERT_EQ(screen.size(), 1u);
    ASSERT_EQ(hard.size(), 1u);
    EXPECT_EQ(screen[0]->args.X, hard[0]->args.X);
    igrhardcopy("S");
    driver.clear();
    igrjoin(0.1f, 0.1f, 0.5f, 0.5f);
    EXPECT_TRUE(driver.find(HardcopySide, OpLine).empty());
}

TEST_F(FrontEnd, SelectionInitialisesTheDriverWithoutStoppingTheRun) {
    igrhardcopy("run.out");
    driver.clear();
    drvargs.N = ProbeDriverNumber;   // left over from an earlier probe
    igrhardcopyselect(1, DriverWindowsPrinter);
    EXPECT_EQ(hardcopy_ops(), Ops{1});
    EXPECT_EQ(driver.calls.at(0).args.N, 0);   // initialise, not a probe
    EXPECT_EQ(gstate.hardcopy_flag, 1);
    driver.clear();
    igrhardcopyselect(2, DriverWindowsPrinter);
    igrhardcopyselect(0, 4);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.hc.selected_driver, DriverWindowsPrinter);
    igrhardcopyselect(1, 42);   // any number is kept; none reaches a driver
    EXPECT_EQ(gstate.hc.selected_driver, 42);
    EXPECT_TRUE(driver.calls.empty());
}

}  // namespace

namespace {

class HardcopyWithWindows : public QuindaTest {};

// The program's end finishes the run: a real root window, the sample file
// driver, and windowclose.
TEST_F(HardcopyWithWindows, ClosingTheLibraryEndsTheRun) {
    TempDir dir(true);
    WindowOpen(7, 0, 0, 320, 200);
    install_sample_driver();
    igrhardcopyselect(1, SampleDriverNumber);
    igrhardcopy("closed.out");
    igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
    windowclose();
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    const std::string bytes = read_file("closed.out");
    ASSERT_GE(bytes.size(), 11u);
    EXPECT_EQ(bytes.substr(bytes.size() - 11), "PAGE\r\nEND\r\n");
}

}  // namespace
