// BLN map layers: the two readers and the BLN map command.
#include <functional>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/apphooks.h"
#include "app/mainstate.h"
#include "app/maplayers.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "tests/app/app_test.h"
#include "tests/app/dialog_script.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/fields.h"

namespace {

class MapLayerTest : public AppDrawTest {
protected:
    void SetUp() override {
        AppDrawTest::SetUp();
        IGrArea(0, 0, 1, 1);
        IGrUnits(0, 0, 200, 100);
        driver.clear();
    }
    // Layer l on, reading the given text, in a colour of its own.
    void layer(int l, const std::string& text, int width) {
        const std::string name = dir.file("layer" + std::to_string(l) + ".bln");
        write_file(name, text);
        map_bln.mapon(l) = 1;
        map_bln.mapfile(l) = txt_fixed(name, TextLength);
        map_bln.mapcol(l) = wrgb(10 * l, 0, 0);
        map_bln.mapwidth(l) = width;
    }
    std::size_t lines_in(std::int32_t colour) const {
        std::size_t n = 0;
        for (const DriverCall* c : driver.find(ScreenSide, OpLine))
            if (c->state.CurrentColour.rgb() == colour) ++n;
        return n;
    }
    std::vector<const DriverCall*> fills() const {
        std::vector<const DriverCall*> f;
        for (const DriverCall& c : driver.calls)
            if (c.side == ScreenSide && (c.op == OpPolygonPattern || c.op == OpPolygonSolid)) f.push_back(&c);
        return f;
    }
    TempDir dir;
};

std::string points(int n, bool several_a_line) {
    std::string t;
    for (int i = 0; i < n; ++i) {
        t += std::to_string(10 + (i % 50) * 2) + " " + std::to_string(10 + (i / 50) % 60) + (several_a_line && i % 3 != 2 ? " " : "\n");
    }
    if (several_a_line) t += "\n";
    return t;
}

TEST_F(MapLayerTest, FlowlineBlockIsOnePolyline) {
    // The count line as the flowline conversion writes it: 12 and 1 in two fields.
    layer(1, "        12         1\n" + points(12, false) + "         3         1\n" + points(3, false), 1);
    EXPECT_EQ(mapbln(), "");
    // Two polylines, not joined: 11 + 2 lines.
    EXPECT_EQ(lines_in(wrgb(10, 0, 0)), 13u);
}

TEST_F(MapLayerTest, PolygonReadingTakesSeveralPairsALine) {
    const std::string text = "6 1\n" + points(6, true);
    layer(1, text, 0);
    EXPECT_EQ(mapbln(), "");
    auto f = fills();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0]->px.size(), 6u);
    // Read as polylines the same file takes one pair from each line, and
    // runs out of lines within the block.
    driver.clear();
    layer(1, text, 1);
    EXPECT_NE(mapbln(), "");
    EXPECT_TRUE(fills().empty());
}

TEST_F(MapLayerTest, LongPolygonsAreFilledWithTheirFirstPoints) {
    for (int n : {6000, 12000}) {
        driver.clear();
        layer(1, std::to_string(n) + " 0\n" + points(n, true) + "3 0\n1 1 50 1 20 40\n", 0);
        EXPECT_EQ(mapbln(), "") << n;
        auto f = fills();
        ASSERT_EQ(f.size(), 2u) << n;
        EXPECT_EQ(f[0]->px.size(), 5000u) << n;
        // The block after the long one is read from its own count line.
        EXPECT_EQ(f[1]->px.size(), 3u) << n;
    }
}

TEST_F(MapLayerTest, DamagedFileEndsItsLayerOnly) {
    layer(1, "3 1\n10 10\n20 20\n30 30\n3 1\n40 40\nforty 50\n60 60\n", 1);
    layer(2, "2 1\n10 90\n20 90\n", 2);
    layer(3, "2 1\n1 1\n", 1);                       // ends inside a block
    map_bln.mapfile(4) = txt_fixed(dir.file("missing.bln"), TextLength);
    map_bln.mapon(4) = 1;
    const std::string damage = mapbln();
    EXPECT_NE(damage.find("layer1.bln"), std::string::npos) << damage;
    EXPECT_NE(damage.find("line 7"), std::string::npos) << damage;
    EXPECT_EQ(lines_in(wrgb(10, 0, 0)), 2u);
    EXPECT_EQ(lines_in(wrgb(20, 0, 0)), 1u);
    // Opening a missing layer file does not create it.
    EXPECT_TRUE(read_file(dir.file("missing.bln")).empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.bln")));
}

TEST_F(MapLayerTest, LineMapStopsQuietly) {
    mapcolour.linemapcol = 230;
    igrcolourmodel(24);
    const std::string name = dir.file("line.bln");
    write_file(name, "3 1\n10 10\n20 20\n30 30\n4 1\n1 1\n2 x\n");
    map(txt_fixed(name, TextLength));
    EXPECT_EQ(lines_in(230), 2u);
    EXPECT_TRUE(errors().empty());
    map(txt_fixed(dir.file("none.bln"), TextLength));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bln")));
}

// The BLN map command at its real dialog: at every poll that finds nothing
// waiting, the states of the four check boxes are noted and the next action
// of the user runs (nothing when there is none).
class BlnCommandTest : public MapLayerTest {
protected:
    void SetUp() override {
        MapLayerTest::SetUp();
        polls.clear();
        actions.clear();
        watch_redraws(driver, redraws);
        igrcolourmodel(24);
        mainstate.loaded = 1;
        os_set_wait_script([this] {
            const OsHandle d = yycurrentdialog();
            if (!d || yydialogidof(d) != 112) return;
            std::vector<int> states;
            for (int f = 1080; f <= 1083; ++f) states.push_back(winfodialogfield(f, 6));
            polls.push_back(states);
            if (polls.size() <= actions.size()) actions[polls.size() - 1](d);
        });
    }
    void TearDown() override {
        os_set_wait_script({});
        MapLayerTest::TearDown();
    }
    static void press(OsHandle d, int id) { DialogScript::click(os_get_dlg_item(d, id)); }
    int redraws = 0;
    std::vector<std::vector<int>> polls;
    std::vector<std::function<void(OsHandle)>> actions;
    // The command writes its colours to the library's debug file in the
    // current directory, when the report mode asks for that file.
    TempDir here{true};
};

TEST_F(BlnCommandTest, FileLookupsOnEveryPass) {
    map_bln.mapfile(1) = txt_fixed(dir.file("there.bln"), TextLength);
    write_file(dir.file("there.bln"), "2 1\n1 1\n5 5\n");
    map_bln.mapfile(2) = txt_fixed(dir.file("gone.bln"), TextLength);
    map_bln.mapcol(3) = wrgb(1, 2, 3);
    // The third box disabled beforehand: a blank name leaves its box alone.
    WDialogLoad(112);
    WDialogFieldState(1082, 0);
    // Escape, nothing, a key in the map: none ends the command; OK does.
    actions = {[](OsHandle d) { os_input_key(d, OS_VK_ESCAPE, 0); }, [](OsHandle) {},
               [](OsHandle) { os_input_key(wtab.hClient[0] ? wtab.hClient[0] : 0, 'A', 0); },
               [](OsHandle d) { press(d, 1); }};
    idebuglevel(ReportDebugFile);
    cmd_blnmap();
    idebuglevel(ReportNone);
    reset_error_services();
    // The colours first (the library's own reports follow in this mode).
    EXPECT_EQ(read_file("debug").substr(0, 15), " 0 0 197121 0\r\n");
    ASSERT_EQ(polls.size(), 4u);
    for (std::size_t p = 1; p < polls.size(); ++p) {
        EXPECT_EQ(polls[p], (std::vector<int>{1, 0, 0, 1})) << p;
    }
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(yydialogfind(112), -1);
}

// In every other report mode (none, the default, among them) the user's
// directory gets no debug file.
TEST_F(BlnCommandTest, NoDebugFileUnlessTheReportModeAsksForIt) {
    for (int mode : {ReportNone, ReportStdout, ReportStatusBar}) {
        SCOPED_TRACE(mode);
        polls.clear();
        actions = {[](OsHandle d) { press(d, 1); }};
        idebuglevel(mode);
        cmd_blnmap();
        idebuglevel(ReportNone);
        EXPECT_EQ(polls.size(), 1u);
    }
    reset_error_services();
    for (const char* name : {"debug", "debug.txt", "debug.dat"}) EXPECT_FALSE(std::filesystem::exists(name)) << name;
}

TEST_F(BlnCommandTest, ShowMapWithAllBoxesOff) {
    layer(1, "2 1\n1 1\n5 5\n", 1);
    map_bln.mapon(1) = 1;
    // The user clears the first box, shows the map, then OK.
    actions = {[](OsHandle d) {
                   press(d, 1080);
                   press(d, 1114);
               },
               [](OsHandle d) { press(d, 1); }};
    driver.clear();
    cmd_blnmap();
    EXPECT_EQ(mainstate.showmaps, 1);
    EXPECT_EQ(map_bln.mapon(1), 0);
    EXPECT_EQ(lines_in(wrgb(10, 0, 0)), 0u);
    // "Show map" redraws and keeps the dialog; the OK that follows redraws again.
    EXPECT_EQ(redraws, 2);
}

TEST_F(BlnCommandTest, DamagedFileIsNamedOnce) {
    layer(1, "2 1\n1 1\nx 5\n", 1);
    actions = {[](OsHandle d) { press(d, 1); }};
    cmd_blnmap();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("layer1.bln"), std::string::npos);
    // The redraw that follows drew the layer as far as it goes, without a second message.
    EXPECT_EQ(redraws, 1);
}

TEST_F(BlnCommandTest, WidthsAndNamesComeFromTheDialog) {
    layer(2, "2 1\n1 1\n5 5\n", 1);
    // Widths typed into the spin fields; a 9 is out of their range 0..8 and
    // beeps at OK, which it does not let through until it is mended.
    actions = {[](OsHandle d) {
                   DialogScript::type_into(os_get_dlg_item(d, 1115), "4");
                   DialogScript::type_into(os_get_dlg_item(d, 1116), "0");
                   DialogScript::type_into(os_get_dlg_item(d, 1117), "9");
                   press(d, 1);
               },
               [](OsHandle d) {
                   DialogScript::type_into(os_get_dlg_item(d, 1117), "4");
                   press(d, 1);
               }};
    quinda.bell = 1;
    const std::int32_t beeps = os_beep_count();
    cmd_blnmap();
    EXPECT_EQ(map_bln.mapwidth(2), 0);
    EXPECT_EQ(map_bln.mapwidth(1), 4);
    EXPECT_EQ(map_bln.mapwidth(3), 4);
    EXPECT_GE(os_beep_count() - beeps, 1);
    EXPECT_EQ(polls.size(), 2u);
    EXPECT_EQ(txt_trim(map_bln.mapfile(2)), dir.file("layer2.bln"));
}

}  // namespace

namespace {

// The colour buttons: a square of the colour over the whole field, and
// nothing at all when the field cannot be selected.
TEST_F(MapLayerTest, ColourButtonPaintsOnlyItsField) {
    buttoncol(wrgb(10, 20, 30), 1106);
    EXPECT_TRUE(fills().empty());
    EXPECT_EQ(gstate.ColourModel, 2);
    surfaces.set_dialog(112);
    surfaces.add_field(1106, 30, 12);
    driver.clear();
    buttoncol(wrgb(10, 20, 30), 1106);
    const auto f = fills();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0]->state.DrawableType, 3);
    EXPECT_EQ(f[0]->state.CurrentColour.rgb(), wrgb(10, 20, 30));
    // Back to the window, packed RGB colours.
    EXPECT_EQ(gstate.DrawableType, 1);
    EXPECT_EQ(gstate.ColourModel, 2);
}

}  // namespace
