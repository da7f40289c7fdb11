#include <gtest/gtest.h>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "tests/support/graphics_test.h"

using Ops = std::vector<std::int32_t>;

namespace {
Ops recorder_ops;
void recorder(std::int32_t op) { recorder_ops.push_back(op); }
Ops other_ops;
void other_driver(std::int32_t op) { other_ops.push_back(op); }
}  // namespace

class Routers : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        driver.clear();
        recorder_ops.clear();
        other_ops.clear();
    }
};

TEST_F(Routers, HardcopyRouterPassesOnlyWhileOutputIsActive) {
    for (std::int32_t op : {OpLine, OpPolygonPattern, OpEndPage}) yyhdrv(op);
    EXPECT_TRUE(driver.calls.empty());
    gstate.hardcopy_flag = -1;
    yyhdrv(OpLine);
    EXPECT_TRUE(driver.calls.empty());
    gstate.hardcopy_flag = 2;
    yyhdrv(OpLine);
    EXPECT_EQ(driver.ops(HardcopySide), (Ops{OpLine}));
}

TEST_F(Routers, SelectedDriverNumbers) {
    grlinks.hardcopy_drivers[DriverPostScript] = &other_driver;
    grlinks.hardcopy_drivers[5] = &other_driver;
    grlinks.hardcopy_drivers[7] = &other_driver;
    grlinks.hardcopy_drivers[0] = &other_driver;
    for (std::int32_t n : {0, 5, 7, 13, -1, 1000}) {
        gstate.hc.selected_driver = n;
        xxhcif(OpLine);
    }
    EXPECT_TRUE(other_ops.empty());
    // A number without a driver linked in does nothing either.
    gstate.hc.selected_driver = DriverDxf;
    xxhcif(OpLine);
    gstate.hc.selected_driver = DriverPostScript;
    xxhcif(OpLine);
    EXPECT_EQ(other_ops, (Ops{OpLine}));
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(Routers, ScreenRouterGoesToTheRecorderWhileACgmMetafileIsTheDrawable) {
    grlinks.cgm_recorder = &recorder;
    gstate.recorder_flag = 1;
    yygdrv(OpLine);
    gstate.recorder_flag = 0;
    yygdrv(OpPoint);
    EXPECT_EQ(recorder_ops, (Ops{OpLine}));
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPoint}));
    // Without a recorder linked in nothing happens.
    grlinks.cgm_recorder = nullptr;
    gstate.recorder_flag = 1;
    yygdrv(OpLine);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPoint}));
}

TEST_F(Routers, ProbeAnswersTheNumberAndChangesNothingElse) {
    gstate.hc.options.set(9, 33);
    gstate.hc.active_driver = 0;
    const GraphicsState before = gstate;
    drvargs.N = ProbeDriverNumber;
    xxhcif(OpInitialise);
    EXPECT_EQ(drvargs.N, DriverWindowsPrinter);
    EXPECT_EQ(gstate.hc.options.slots, before.hc.options.slots);
    EXPECT_EQ(gstate.hc.active_driver, 0);
    EXPECT_EQ(gstate.device[HardcopySide].DeviceCapabilities, before.device[HardcopySide].DeviceCapabilities);
}

TEST_F(Routers, RecordsOperandsPointsAndTextAndAnswersFills) {
    gstate.hardcopy_flag = 1;
    driver.hardcopy.fill_request = 2;
    driver.hardcopy.fill_spacing = 12.5f;
    driver.hardcopy.ellipse_outline_as_lines = true;
    quin01.X[0] = 1.5f;
    quin01.X[2] = 9.0f;
    quin01.Y[2] = 4.0f;
    drvargs.N = 3;
    drvargs.K = 1;
    yyhdrv(OpPolygonPattern);
    drvargs.K = 1;
    yyhdrv(OpEllipsePattern);
    DriverText.replace(0, 3, "abc");
    drvargs.K = 3;
    driver.hardcopy.text_width = 42.0f;
    yyhdrv(OpTextWidth);
    ASSERT_EQ(driver.calls.size(), 3u);
    const DriverCall& poly = driver.calls[0];
    EXPECT_EQ(poly.px, (std::vector<float>{1.5f, 0.0f, 9.0f}));
    EXPECT_EQ(poly.py[2], 4.0f);
    EXPECT_EQ(poly.args.K, 1);
    EXPECT_EQ(poly.reply.K, 1);
    EXPECT_EQ(gstate.FillEmulationRequest[HardcopySide], 2);
    EXPECT_EQ(gstate.hc.HardcopyFillSpacing, 12.5f);
    EXPECT_EQ(driver.calls[1].reply.K, -1);
    EXPECT_EQ(driver.calls[2].text.substr(0, 3), "abc");
    EXPECT_EQ(drvargs.X[0], 42.0f);
    EXPECT_EQ(drvargs.N, 1);
}
