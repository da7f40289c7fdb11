// The checks of the option table and the extension of the output name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/text.h"
#include "tests/support/graphics_test.h"

namespace {

using Options = std::vector<std::pair<int, int>>;

class HardcopyOptions : public QuindaTest {};

TEST_F(HardcopyOptions, ChecksEachCode) {
    struct Case {
        const char* what;
        int code, value;
        Options changed;     // codes whose value differs from the base afterwards
        int active = DriverWindowsPrinter;
        Options base = {};   // set before, on top of the common base
    };
    const std::vector<Case> cases = {
        {"portrait order", 5, 2, {{1, 540}, {2, 756}, {5, 0}}},
        {"landscape order", 5, 3, {{1, 756}, {2, 540}, {5, 1}}, DriverWindowsPrinter, {{1, 540}, {2, 756}}},
        {"landscape flag only", 5, 1, {{5, 1}}},
        {"orientation 4 ignored", 5, 4, {}},
        {"orientation -1 ignored", 5, -1, {}},
        {"page width 0 ignored", 1, 0, {}},
        {"page height 1 stored", 2, 1, {{2, 1}}},
        {"offsets take any value", 3, -50, {{3, -50}}},
        {"colour mode 3 ignored", 6, 3, {}},
        {"colour mode 2 stored", 6, 2, {{6, 2}}},
        {"copies raised to 1", 8, -3, {{8, 1}}},
        {"thickness raised to 1", 9, 0, {{9, 1}}},
        {"join 3 ignored", 10, 3, {}},
        {"cap 2 stored", 11, 2, {{11, 2}}},
        {"hatch spacing raised to 100", 12, 50, {{12, 100}}},
        {"resolution 0 ignored", 13, 0, {}},
        {"resolution = count stored", 13, 4, {{13, 4}}},
        {"resolution beyond count ignored", 13, 5, {}},
        {"code 14 never stored", 14, 9, {}},
        {"path limit 9 ignored", 16, 9, {}},
        {"path limit 10 stored", 16, 10, {{16, 10}}},
        {"path limit 256 ignored", 16, 256, {}},
        {"terminator 0 ignored", 21, 0, {}},
        {"terminator 127 stored", 21, 127, {{21, 127}}},
        {"terminator 128 ignored", 21, 128, {}},
        {"24 bits with the image driver", 23, 24, {{23, 24}}, DriverImageFile},
        {"3 bits not for the image driver", 23, 3, {}, DriverImageFile},
        {"3 bits with DXF", 23, 3, {{23, 3}}, DriverDxf},
        {"24 bits not for DXF", 23, 24, {}, DriverDxf},
        {"bits ignored by other drivers", 23, 8, {}, DriverPostScript},
        {"compression within the limit", 24, 2, {{24, 2}}},
        {"compression beyond the limit", 24, 3, {}},
        {"compression -1 ignored", 24, -1, {}},
        {"105 within 1..4", 105, 4, {{105, 4}}},
        {"105 of 5 ignored", 105, 5, {}},
        {"101 of 0 ignored", 101, 0, {}},
        {"106 any value", 106, -7, {{106, -7}}},
        {"code 30 is no option", 30, 5, {}},
        {"code 0 is no option", 0, 5, {}},
        {"code 109 is no option", 109, 5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gstate.hc.options = HardcopyOptionTable{};
        gstate.hc.options.set(1, 756);
        gstate.hc.options.set(2, 540);
        for (auto [code, value] : c.base) gstate.hc.options.set(code, value);
        const HardcopyOptionTable base = gstate.hc.options;
        iprinter(29);   // four resolutions, compression up to 2
        gstate.hc.active_driver = c.active;
        igrhardcopyoptions(c.code, c.value);
        HardcopyOptionTable expected = base;
        for (auto [code, value] : c.changed) expected.set(code, value);
        EXPECT_EQ(gstate.hc.options.slots, expected.slots);
    }
    EXPECT_EQ(hcstate.ResolutionIndex, 4);   // copied by the accepted 13
}

TEST_F(HardcopyOptions, ExtensionOfTheOutputName) {
    struct Case {
        int active, code, value;
        const char* before;
        const char* after;
    };
    const std::vector<Case> cases = {
        {DriverPostScript, 22, 1, "/plots/graph.ps", "/plots/graph.eps"},
        {DriverPostScript, 22, 1, "/my.dir/graph", "/my.dir/graph.eps"},
        {DriverPostScript, 22, 0, "graph.eps", "graph.ps"},
        {DriverPostScript, 22, 1, "c:\\my.dir\\graph", "c:\\my.eps"},   // "\" is an ordinary character
        {DriverPostScript, 22, 1, "", ""},
        {DriverImageFile, 26, 3, "derizure.pcx", "derizure.png"},
        {DriverImageFile, 26, 1, "/a.b/pic.png", "/a.b/pic.bmp"},
        {DriverImageFile, 26, 2, "pic", "pic.bmp"},
        {DriverImageFile, 26, 7, "pic.bmp", "pic.pcx"},
        {DriverDxf, 26, 3, "derizure.dxf", "derizure.dxf"},
        {DriverImageFile, 22, 1, "pic.pcx", "pic.pcx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        gstate.hc.active_driver = c.active;
        txt_set(gstate.hc.output_name, c.before);
        igrhardcopyoptions(c.code, c.value);
        EXPECT_EQ(gstate.hc.options.get(c.code), c.value);
        EXPECT_EQ(txt_c(gstate.hc.output_name), c.after);
        EXPECT_EQ(gstate.hc.output_name.size(), HardcopyNameLength);
    }
}

class HardcopyOptionsInARun : public GraphicsTest {};

TEST_F(HardcopyOptionsInARun, LineOptionsReachARunningDriver) {
    igrinit();
    driver.clear();
    igrhardcopyoptions(9, 4);
    igrhardcopyoptions(10, 1);
    igrhardcopyoptions(11, 2);
    EXPECT_TRUE(driver.ops(HardcopySide).empty());
    igrhardcopy("run.out");
    driver.clear();
    igrhardcopyoptions(9, 6);
    igrhardcopyoptions(10, 2);
    igrhardcopyoptions(11, 1);
    igrhardcopyoptions(10, 7);   // ignored: nothing sent
    EXPECT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpLineWidth, OpLineJoin, OpLineCap}));
    EXPECT_EQ(driver.calls.at(0).state.line_thickness, 6);
    igrhardcopy("S");
}

}  // namespace
