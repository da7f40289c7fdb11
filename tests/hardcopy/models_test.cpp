// Printer, plotter and HP-GL/2 device models, their names, and the
// settings keys that choose them at start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/graphics/grinfo.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "tests/support/quinda_test.h"

namespace {

class Models : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        // Letter paper, as where inches are used: the page sizes below are Letter's.
        os_config().measurement_system = 1;
    }
};

TEST_F(Models, PrinterRecords) {
    struct Case {
        int given, model, family, planes, kind, limit;
        std::vector<std::int32_t> resolutions;
        int dots_per_pass, line_feed, hpgl2;
    };
    const std::vector<Case> cases = {
        {27, 28, 7, 1, 0, 2, {300, 150, 100, 75}, 1, 0, 1},
        {1, 28, 7, 1, 0, 2, {300, 150, 100, 75}, 1, 0, 1},
        {0, 28, 7, 1, 0, 2, {300, 150, 100, 75}, 1, 0, 1},
        {39, 28, 7, 1, 0, 2, {300, 150, 100, 75}, 1, 0, 1},
        {29, 29, 7, 1, 0, 2, {600, 300, 200, 150}, 1, 0, 3},
        {13, 13, 9, 3, 1, 1, {180, 90}, 1, 0, 0},
        {2, 2, 1, 1, 0, 0, {240, 120, 60}, 8, 23, 0},
        {5, 5, 2, 1, 0, 0, {240, 120, 90, 80}, 8, 23, 0},
        {9, 9, 3, 1, 0, 0, {160, 80}, 8, 22, 0},
        {19, 19, 4, 1, 0, 0, {360, 180, 120, 60}, 24, 29, 0},
        {25, 25, 5, 3, 2, 0, {360, 180, 120, 90}, 24, 24, 0},
        {36, 36, 6, 1, 0, 1, {720, 360, 180}, 1, 0, 0},
        {33, 33, 8, 1, 0, 2, {300, 150, 75}, 1, 0, 0},
        {32, 32, 8, 3, 2, 2, {300, 150, 100, 75}, 1, 0, 2},
        {38, 38, 7, 3, 2, 2, {600, 300, 200, 150}, 1, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        hcstate.models = DeviceModels{};
        iprinter(c.given);
        const DeviceModels& m = hcstate.models;
        EXPECT_EQ(m.printer_model, c.model);
        EXPECT_EQ(m.PrinterFamily, c.family);
        EXPECT_EQ(m.PrinterPlanes, c.planes);
        EXPECT_EQ(m.PrinterColourKind, c.kind);
        EXPECT_EQ(m.Option24Limit, c.limit);
        EXPECT_EQ(m.ResolutionCount, static_cast<int>(c.resolutions.size()));
        EXPECT_EQ(std::vector<std::int32_t>(m.ResolutionList.begin(), m.ResolutionList.begin() + m.ResolutionCount),
                  c.resolutions);
        EXPECT_EQ(m.DotsPerPass, c.dots_per_pass);
        EXPECT_EQ(m.LineFeedUnits, c.line_feed);
        EXPECT_EQ(m.hpgl2_device, c.hpgl2);   // derived only for printers that speak HP-GL/2
        EXPECT_EQ(m.hpgl2_chosen, 0);
    }
    // Entries beyond the count keep their values.
    iprinter(29);
    iprinter(13);
    EXPECT_EQ(hcstate.models.ResolutionList, (std::array<std::int32_t, 4>{180, 90, 200, 150}));
}

TEST_F(Models, DeviceTypeChosenOrDerived) {
    iprinter2(4);
    iprinter(38);
    EXPECT_EQ(hcstate.models.hpgl2_device, 4);   // chosen: the printer does not change it
    EXPECT_EQ(hcstate.models.hpgl2_chosen, 1);

    hcstate.models = DeviceModels{};
    iplotter(12);
    EXPECT_EQ(hcstate.models.plotter_model, 1);
    EXPECT_EQ(hcstate.models.hpgl2_device, 2);
    EXPECT_EQ(hcstate.models.hpgl2_chosen, 1);

    const std::pair<int, int> plotters[] = {{10, 10}, {1, 1}, {0, 1}, {16, 1}, {-3, 1}};
    for (auto [given, model] : plotters) {
        iplotter(given);
        EXPECT_EQ(hcstate.models.plotter_model, model) << given;
    }

    hcstate.models = DeviceModels{};
    const std::pair<int, int> derived[] = {{32, 2}, {35, 2}, {29, 3}, {38, 5}, {13, 1}, {28, 1}};
    for (auto [printer, device] : derived) {
        hcstate.models.printer_model = printer;
        iprinter2(0);
        EXPECT_EQ(hcstate.models.hpgl2_device, device) << printer;
        EXPECT_EQ(hcstate.models.hpgl2_chosen, 0);
    }
}

TEST_F(Models, DisplayNames) {
    for (int model = 2; model <= 38; ++model) {
        const std::string name = printer_model_name(model);
        ASSERT_EQ(name.size(), 27u);
        EXPECT_EQ(txt_blank(name), model == 27) << model;
        const std::size_t wide = name.find("(wide)");
        if (wide != std::string::npos) {
            EXPECT_EQ(wide, 20u) << name;
        }
    }
    EXPECT_EQ(printer_model_name(6), "Epson EX/FX/LX/RX   (wide) ");
    EXPECT_EQ(printer_model_name(12), "IBM Graphics Printer(wide) ");
    EXPECT_EQ(txt_c(plotter_model_name(5)), "Facit 4550 A4     (6 pens)");
    EXPECT_EQ(hpgl2_device_name(2), "HP DJet 1200C/1600C, Color LJet");
    EXPECT_TRUE(txt_blank(printer_model_name(39)) && txt_blank(plotter_model_name(11)) &&
                txt_blank(hpgl2_device_name(0)));

    iprinter(21);
    iplotter(3);
    iprinter2(5);
    struct Case {
        int kind;
        std::size_t size;
        std::string name;
        int error;
    };
    const std::vector<Case> cases = {
        {1, 27, "HP DeskJet 310/500 colour  ", 0},
        {2, 30, "HP 7475A A3 paper (6 pens)    ", 0},
        {3, 31, "HP Color LaserJet 4500/8500    ", 0},
        {3, 10, "HP Color L", 1023},
        {4, 5, "     ", 0},
    };
    for (const Case& c : cases) {
        std::string name(c.size, 'x');
        InfoDeviceName(c.kind, name);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(infoerror(1), c.error);
    }
}

TEST_F(Models, SettingsKeysChooseTheModelsAtStart) {
    struct Case {
        std::string file;
        int printer, plotter, device, chosen;
    };
    const std::vector<Case> cases = {
        {"", 28, 1, 1, 0},
        {"PRINTER=13\nIPLOTTER=7\n", 13, 7, 1, 0},
        {"PRINTER=35\n", 35, 1, 2, 0},
        {"PRINTER=35\nHPGL2=4\n", 35, 1, 4, 1},
        {"IPLOTTER=12\n", 28, 1, 2, 1},
    };
    ScopedEnv quinda_home("QUINDA", std::nullopt);
    ScopedEnv varn("VARN", std::nullopt);
    ScopedEnv init("QUININIT", std::nullopt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir(true);
        reset_window_state();
        reset_startup();
        reset_hardcopy_state();
        write_file("quinda.ini", c.file);
        winitialise(" ");
        EXPECT_EQ(hcstate.models.printer_model, c.printer);
        EXPECT_EQ(hcstate.models.plotter_model, c.plotter);
        EXPECT_EQ(hcstate.models.hpgl2_device, c.device);
        EXPECT_EQ(hcstate.models.hpgl2_chosen, c.chosen);
        // Images print on the Windows printer, here the PDF printer that is
        // always there, found by the query its first reader makes; the spool
        // names are built.
        EXPECT_EQ(hcstate.ImagePrintOptions.ImagePrintDriver, 10);
        settle_printer_query();
        EXPECT_EQ(hcstate.PrinterAvailable, 1);
        EXPECT_EQ(hcstate.ImagePrintOptions.get(1), 648);
        EXPECT_NE(txt_c(hcstate.SpoolPlotName).find("qdx$$"), std::string::npos);
    }
}

}  // namespace
