// The library's hardcopy set-up dialogs: every resource loads from the
// program's resources with the fields its routine reads and writes, and
// shows (grabbed to a picture to look at); the printer and plotter set-up
// and the option dialogs driven as the user drives them.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/pending.h"
#include "lib/window/convert.h"
#include "lib/window/text.h"
#include "platform/os_commondlg.h"
#include "platform/os_config.h"
#include "tests/app/dialog_script.h"
#include "tests/dialog/dialog_fixture.h"

namespace {

class SetupDialogs : public DialogTest {};

TEST_F(SetupDialogs, ResourcesHoldTheFieldsTheRoutinesUse) {
    const std::vector<std::int32_t> page = {1, 2, 1001, 1002};
    struct Case {
        std::int32_t id;
        std::vector<std::int32_t> fields;
    };
    const std::vector<Case> cases = {
        {32098, {1, 2, 1201, 1202, 1203, 3002, 1206, 1001, 1002, 1003, 1004, 1208, 1209, 1207}},
        {32001, {1, 2, 1006, 1009}},
        {32002, {1, 2, 1006, 1007, 1008, 1009, 1010, 1011, 1015, 1016}},
        {32012, {1, 2, 1008, 1009}},
        {32021, {1, 2, 1013, 1019, 1024}},
        {32022, {1, 2, 1013, 1019, 1024}},
        {32023, {1, 2, 1013, 1019}},
        {32024, {1, 2, 1013, 1019, 1024}},
        {32025, {1, 2, 1013, 1019, 1024}},
        {32003, {1, 2, 1201, 1202, 1001, 1002}},
        {32006, {1, 2, 1201, 1202, 1001, 1002, 1023, 1026}},
        {32008, {1, 2, 1201, 1202, 1001, 1002, 2001, 2002, 1023}},
        {32009, {1, 2, 1201, 1202, 1001, 1002, 2001, 2002, 1028}},
        {32011, {1, 2, 1201, 1202, 1001, 1002, 2001, 2002, 1014, 4001, 1027, 1029}},
    };
    const char* keep = std::getenv("QUINDA_WRITE_PICTURES");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_EQ(load_show(c.id), 0);
        // Inside the dialog, where a field's state can be changed.
        OsRect client;
        os_get_client_rect(dlg(), client);
        for (std::int32_t f : c.fields) {
            EXPECT_NE(item(f), 0) << f;
            EXPECT_EQ(yyFieldInRect(item(f), client), 1) << f;
        }
        // No field of an option the dialog does not offer: option 14 is the
        // metafile dialog's file button alone.
        if (c.id != 32011) {
            EXPECT_EQ(item(1014), 0);
        }
        const std::string png = keep && *keep ? std::string(keep) + "/setup_" + std::to_string(c.id) + ".png"
                                              : (std::filesystem::temp_directory_path() / "setup_dialog.png").string();
        EXPECT_TRUE(os_grab_window_png(dlg(), png));
        EXPECT_GT(std::filesystem::file_size(png), 1000u);
        WDialogUnload();
    }
}

// ---- the set-up routines, driven as the user drives them --------------------------

using Act = std::function<void(OsHandle)>;

// The library's set-up dialogs with the hardcopy drivers installed. The
// user acts once at every wait of a dialog's loop (acts), and in a modal
// dialog (modal_acts); with nothing left to do, Escape. The file selector
// answers `chosen` (empty: cancelled).
class SetupRoutines : public SetupDialogs {
protected:
    void SetUp() override {
        SetupDialogs::SetUp();
        install_hardcopy_drivers();
        igrinit();
        iprinter(28);
        iplotter(1);
        infoerror(1);
        os_set_wait_script([this] { user(acts, next_act, yycurrentdialog()); });
        os_dialog_set_script([this](OsWindow copy) { user(modal_acts, next_modal, copy); });
        os_common_dialog_set_responder([this](const OsCommonDialogRequest& rq) {
            requests.push_back(rq);
            OsCommonDialogAnswer a;
            a.ok = !chosen.empty();
            if (a.ok) a.files = {chosen};
            return a;
        });
    }
    void TearDown() override {
        os_set_wait_script({});
        os_dialog_set_script({});
        os_common_dialog_set_responder({});
    }
    static void user(std::vector<Act>& list, std::size_t& at, OsHandle d) {
        if (!d || !os_is_window_visible(d) || !os_is_window_enabled(d)) return;
        if (at < list.size()) {
            list[at++](d);
            // Typing alone queues nothing: the loop comes round all the same.
            os_post_message(d, OSM_NULL, 0, 0);
            return;
        }
        const OsHandle f = os_get_focus();
        os_input_key(f ? f : d, OS_VK_ESCAPE, 0);
    }
    void script(std::vector<Act> a, std::vector<Act> m = {}) {
        acts = std::move(a), modal_acts = std::move(m);
        next_act = next_modal = 0;
    }

    static OsHandle at(OsHandle d, int id) { return os_get_dlg_item(d, id); }
    static std::string shown(OsHandle d, int id) { return os_get_window_text(at(d, id)); }
    static bool on(OsHandle d, int id) { return os_is_window_enabled(at(d, id)); }
    static int checked(OsHandle d, int id) { return static_cast<int>(os_send_message(at(d, id), BM_GETCHECK, 0, 0)); }
    static int selected(OsHandle d, int id) { return static_cast<int>(os_send_message(at(d, id), CB_GETCURSEL, 0, 0)) + 1; }
    static std::vector<std::string> entries(OsHandle d, int id) {
        std::vector<std::string> out;
        const auto n = os_send_message(at(d, id), CB_GETCOUNT, 0, 0);
        for (std::intptr_t i = 0; i < n; ++i) {
            std::string t(64, '\0');
            os_send_message(at(d, id), CB_GETLBTEXT, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(t.data()));
            out.push_back(t.c_str());
        }
        return out;
    }
    static void click(OsHandle d, int id) { DialogScript::click(at(d, id)); }
    static void type(OsHandle d, int id, const std::string& text) { DialogScript::type_into(at(d, id), text); }
    // The user picks ITEM of a list with the arrow keys (from the item next
    // to it, so that one change is made).
    static void choose(OsHandle d, int id, int item) {
        const OsHandle c = at(d, id);
        os_set_focus(c);
        os_send_message(c, CB_SETCURSEL, static_cast<std::uintptr_t>(item >= 2 ? item - 2 : 1), 0);
        os_input_key(c, item >= 2 ? OS_VK_DOWN : OS_VK_UP, 0);
    }
    static void grab(OsHandle d, const std::string& name) {
        const char* keep = std::getenv("QUINDA_WRITE_PICTURES");
        const std::string png = keep && *keep ? std::string(keep) + "/" + name + ".png"
                                              : (std::filesystem::temp_directory_path() / (name + ".png")).string();
        EXPECT_TRUE(os_grab_window_png(d, png));
        EXPECT_GT(std::filesystem::file_size(png), 1000u);
    }
    static std::array<std::int32_t, 29> options() {
        std::array<std::int32_t, 29> o{};
        for (int k = 1; k <= 29; ++k) o[static_cast<std::size_t>(k - 1)] = gstate.hc.options.get(k);
        return o;
    }
    static void page(std::int32_t w, std::int32_t h, std::int32_t x, std::int32_t y, std::int32_t orientation) {
        HardcopyOptionTable& o = gstate.hc.options;
        o.set(1, w), o.set(2, h), o.set(3, x), o.set(4, y), o.set(5, orientation);
    }
    // The printer and plotter set-up as the options entry calls it.
    void setup(int units, int driver, int fixed = 0, int restricted = 0) {
        yypgdlg1(units, name, driver, gstate.hc.options, fixed, restricted);
    }

    std::vector<Act> acts, modal_acts;
    std::size_t next_act = 0, next_modal = 0;
    std::string chosen;
    std::vector<OsCommonDialogRequest> requests;
    std::string name = txt_fixed("plot.ps", HardcopyNameLength);
};

// Everything derived from the models, for comparing (the line feed of the
// dot-matrix families, which page printers leave as it was, aside).
std::vector<std::int32_t> model_words() {
    const DeviceModels& m = hcstate.models;
    std::vector<std::int32_t> w = {m.printer_model, m.plotter_model, m.hpgl2_device,  m.hpgl2_chosen,
                                   m.PrinterFamily, m.PrinterPlanes, m.PrinterColourKind, m.Option24Limit,
                                   m.ResolutionCount, m.DotsPerPass};
    w.insert(w.end(), m.ResolutionList.begin(), m.ResolutionList.end());
    return w;
}

TEST_F(SetupRoutines, PageShownInItsUnitAndStoredBackInPoints) {
    struct Case {
        int units;
        std::vector<std::string> shown;  // unit title, width, height, x, y
    };
    const std::vector<Case> cases = {
        {0, {"Size/Position (points)", "612.00", "792.00", "36.00", "18.00"}},
        {1, {"Size/Position (inches)", "8.50", "11.00", "0.50", "0.25"}},
        {2, {"Size/Position (cm)", "21.59", "27.94", "1.27", "0.64"}},
        {3, {"Size/Position (mm)", "215.90", "279.40", "12.70", "6.35"}},
    };
    igrhardcopyselect(1, DriverPostScript);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units);
        page(612, 792, 36, 18, 0);
        std::vector<std::string> seen;
        script({[&](OsHandle d) {
            seen = {shown(d, 1206), shown(d, 1001), shown(d, 1002), shown(d, 1003), shown(d, 1004)};
            EXPECT_EQ(os_get_window_text(d), "PostScript Output");
            EXPECT_EQ(shown(d, 3002), "Format :");
            EXPECT_EQ(shown(d, 1201), "plot.ps");
            EXPECT_EQ(checked(d, 1208), 1);
            click(d, 1);
        }});
        dialog_state.last_result = 0;
        setup(c.units, DriverPostScript);
        EXPECT_EQ(seen, c.shown);
        EXPECT_EQ(dialog_state.last_result, 1);
        EXPECT_EQ((std::vector<std::int32_t>{gstate.hc.options.get(1), gstate.hc.options.get(2), gstate.hc.options.get(3),
                                             gstate.hc.options.get(4), gstate.hc.options.get(5)}),
                  (std::vector<std::int32_t>{612, 792, 36, 18, 0}));
    }
    // A width typed in inches; the name typed is the name kept.
    script({[](OsHandle d) {
        type(d, 1001, "8.25");
        type(d, 1201, "other.ps");
        click(d, 1);
    }});
    setup(1, DriverPostScript);
    EXPECT_EQ(gstate.hc.options.get(1), 594);
    EXPECT_EQ(txt_c(name), "other.ps");
    EXPECT_EQ(dialog_state.current_id, 0);
}

TEST_F(SetupRoutines, WidthOrHeightBelowOneKeepsItsValue) {
    struct Case {
        int field;
        const char* typed;
        std::vector<std::int32_t> page;  // options 1 to 4 after OK
    };
    const std::vector<Case> cases = {
        {1001, "0", {612, 792, 36, 18}},     {1002, "0.004", {612, 792, 36, 18}},
        {1001, "-2", {612, 792, 36, 18}},    {1002, "", {612, 792, 36, 18}},
        {1003, "0", {612, 792, 0, 18}},      {1004, "-1", {612, 792, 36, -72}},
        {1001, "1", {72, 792, 36, 18}},
    };
    igrhardcopyselect(1, DriverPostScript);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " " + c.typed);
        page(612, 792, 36, 18, 0);
        script({[&](OsHandle d) {
            type(d, c.field, c.typed);
            click(d, 1);
        }});
        setup(1, DriverPostScript);
        EXPECT_EQ((std::vector<std::int32_t>{gstate.hc.options.get(1), gstate.hc.options.get(2), gstate.hc.options.get(3),
                                             gstate.hc.options.get(4)}),
                  c.page);
        infoerror(1);
    }
}

TEST_F(SetupRoutines, OrientationExchangesTheShownPageEmptyFieldsIncluded) {
    igrhardcopyselect(1, DriverPostScript);
    page(612, 792, 36, 18, 0);
    std::vector<std::vector<std::string>> seen;
    auto look = [&](OsHandle d) { seen.push_back({shown(d, 1001), shown(d, 1002)}); };
    script({
        [](OsHandle d) { click(d, 1209); },
        [&](OsHandle d) { look(d), click(d, 1209); },   // the button already set
        [&](OsHandle d) { look(d), click(d, 1208); },
        [&](OsHandle d) { look(d), type(d, 1001, ""), click(d, 1209); },
        [&](OsHandle d) { look(d), grab(d, "setup_32098_postscript"), click(d, 1); },
    });
    setup(1, DriverPostScript);
    const std::vector<std::vector<std::string>> expected = {
        {"11.00", "8.50"}, {"11.00", "8.50"}, {"8.50", "11.00"}, {"11.00", ""}};
    EXPECT_EQ(seen, expected);
    // Landscape; the width read from the exchanged field, the empty height
    // keeps its value.
    EXPECT_EQ(gstate.hc.options.get(5), 1);
    EXPECT_EQ(gstate.hc.options.get(1), 792);
    EXPECT_EQ(gstate.hc.options.get(2), 792);
    // And back to portrait.
    script({[](OsHandle d) { click(d, 1208); }, [](OsHandle d) { click(d, 1); }});
    setup(1, DriverPostScript);
    EXPECT_EQ(gstate.hc.options.get(5), 0);
}

TEST_F(SetupRoutines, DeviceListOpensAtTheModelAndCancelPutsEverythingBack) {
    struct Case {
        const char* what;
        int driver;
        std::function<void()> models;
        int open_item;
        std::size_t count;
        std::string first;       // the first entry's name
        int choose;
        std::int32_t* word;      // the model word
        std::int32_t chosen;     // its model once chosen
    };
    DeviceModels& m = hcstate.models;
    const std::vector<Case> cases = {
        {"plotter 3", DriverHpgl, [] { iplotter(3); }, 8, 10, txt_c(plotter_model_name(4)), 1, &m.plotter_model, 4},
        {"printer 28 to a dot-matrix printer", DriverRasterPrinter, [] { iprinter(28); }, 25, 36,
         txt_c(printer_model_name(4)), 1, &m.printer_model, 4},
        {"HP-GL/2 device taken from the printer", DriverHpgl2,
         [&m] {
             m.hpgl2_chosen = 0;
             iprinter(28);
         },
         4, 5, txt_c(hpgl2_device_name(5)), 1, &m.hpgl2_device, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.models();
        igrhardcopyselect(1, c.driver);
        const std::vector<std::int32_t> models_before = model_words();
        const auto options_before = options();
        std::int32_t word_chosen = 0;
        std::string page_before_edit;
        script({
            [&](OsHandle d) {
                EXPECT_EQ(selected(d, 1203), c.open_item);
                if (c.driver == DriverRasterPrinter) grab(d, "setup_32098_printer");
                const std::vector<std::string> e = entries(d, 1203);
                EXPECT_EQ(e.size(), c.count);
                if (!e.empty()) {
                    EXPECT_EQ(e[0], c.first);
                }
                choose(d, 1203, c.choose);
            },
            [&](OsHandle d) {
                word_chosen = *c.word;
                type(d, 1001, "3");
                click(d, 1209);
            },
            [](OsHandle d) { click(d, 2); },
        });
        setup(1, c.driver);
        EXPECT_EQ(word_chosen, c.chosen);
        EXPECT_EQ(dialog_state.last_result, 0);
        EXPECT_EQ(model_words(), models_before);
        EXPECT_EQ(options(), options_before);
    }
}

TEST_F(SetupRoutines, ChosenDeviceBringsItsPageInTheDialogsOrientation) {
    // What the driver's defaults are for the dot-matrix printer.
    iprinter(4);
    igrhardcopyselect(1, DriverRasterPrinter);
    const HardcopyOptionTable defaults = gstate.hc.options;
    iprinter(28);
    igrhardcopyselect(1, DriverRasterPrinter);
    gstate.hc.options.set(5, 0);
    std::vector<std::string> seen;
    script({
        [](OsHandle d) { click(d, 1209); },
        [](OsHandle d) { choose(d, 1203, 1); },
        [&](OsHandle d) {
            seen = {shown(d, 1001), shown(d, 1002), shown(d, 1003), shown(d, 1004)};
            click(d, 1);
        },
    });
    setup(0, DriverRasterPrinter);
    const bool exchanged = defaults.get(5) != 1;
    const std::int32_t w = exchanged ? defaults.get(2) : defaults.get(1), h = exchanged ? defaults.get(1) : defaults.get(2);
    auto f = [](std::int32_t v) {
        std::string t(10, ' ');
        IRealToString(static_cast<float>(v), t, "(F10.2)");
        return std::string(txt_trim(t.substr(t.find_first_not_of(' '))));
    };
    EXPECT_EQ(seen, (std::vector<std::string>{f(w), f(h), f(defaults.get(3)), f(defaults.get(4))}));
    EXPECT_EQ(hcstate.models.printer_model, 4);
    EXPECT_EQ(hcstate.models.PrinterFamily, 2);
    EXPECT_EQ(gstate.hc.options.get(5), 1);
    EXPECT_EQ(gstate.hc.options.get(1), w);
}

TEST_F(SetupRoutines, PostScriptFormatChangesTheExtensionAndIsStoredAtOk) {
    struct Case {
        const char* name;
        int option22;
        int item;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"plot.ps", 0, 2, "plot.eps"},
        {"plot.eps", 1, 1, "plot.ps"},
        {"out.d/plot", 0, 2, "out.d/plot.eps"},
        {"lpr -P laser @ plot", 0, 2, "lpr -P laser @ plot"},
    };
    igrhardcopyselect(1, DriverPostScript);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gstate.hc.options.set(22, c.option22);
        txt_set(name, c.name);
        std::string seen;
        script({[&](OsHandle d) { choose(d, 1203, c.item); },
                [&](OsHandle d) {
                    seen = shown(d, 1201);
                    click(d, 1);
                }});
        setup(2, DriverPostScript);
        EXPECT_EQ(seen, c.shown);
        EXPECT_EQ(txt_c(name), c.shown);
        EXPECT_EQ(gstate.hc.options.get(22), c.item - 1);
    }
}

TEST_F(SetupRoutines, FixedFormatKeepsPrinterPostScriptAndTheOptionsShut) {
    igrhardcopyselect(1, DriverPostScript);
    gstate.hc.options.set(22, 1);
    std::vector<std::string> seen;
    script({[&](OsHandle d) {
        seen = {shown(d, 1203), on(d, 1203) ? "on" : "off", on(d, 1207) ? "on" : "off"};
        click(d, 1);
    }});
    setup(1, DriverPostScript, 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"Printer PostScript", "off", "off"}));
    EXPECT_EQ(gstate.hc.options.get(22), 0);
    // Another driver with the flag: the button is there but opens nothing.
    igrhardcopyselect(1, DriverRasterPrinter);
    bool opened = false;
    script({[](OsHandle d) { click(d, 1207); }, [](OsHandle d) { click(d, 1); }},
           {[&](OsHandle) { opened = true; }});
    setup(1, DriverRasterPrinter, 1);
    EXPECT_FALSE(opened);
    EXPECT_EQ(dialog_state.last_result, 1);
}

TEST_F(SetupRoutines, OptionButtonOpensTheDevicesOptionDialogModal) {
    struct Case {
        int driver;
        int printer;
        int restricted;
        std::int32_t resource;
        std::vector<std::string> states;  // colours, copies, line thickness, joins
    };
    const std::vector<Case> cases = {
        {DriverRasterPrinter, 4, 0, 32023, {"on", "on", "on", "none"}},
        {DriverRasterPrinter, 13, 0, 32025, {"on", "on", "on", "none"}},
        {DriverRasterPrinter, 35, 0, 32021, {"on", "on", "on", "none"}},
        {DriverRasterPrinter, 14, 0, 32022, {"none", "on", "on", "none"}},
        {DriverRasterPrinter, 28, 1, 32024, {"none", "on", "off", "none"}},
        {DriverHpgl, 28, 0, 32001, {"on", "none", "on", "none"}},
        {DriverPostScript, 28, 1, 32002, {"off", "on", "off", "off"}},
        {DriverHpgl2, 28, 0, 32012, {"on", "on", "on", "on"}},
    };
    auto state = [](OsHandle d, int id) { return !at(d, id) ? "none" : on(d, id) ? "on" : "off"; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource);
        iprinter(c.printer);
        igrhardcopyselect(1, c.driver);
        gstate.hc.options.set(8, 1);
        std::int32_t resource = 0;
        std::vector<std::string> states;
        script({[](OsHandle d) { click(d, 1207); }, [](OsHandle d) { click(d, 1); }},
               {[&](OsHandle copy) {
                   resource = dialog_state.current_id;
                   states = {state(copy, 1006), state(copy, 1008), state(copy, 1009), state(copy, 1010)};
                   if (c.resource == 32024) grab(copy, "setup_32024_laser");
                   type(copy, 1008, "3");
                   click(copy, 1);
               }});
        setup(1, c.driver, 0, c.restricted);
        EXPECT_EQ(resource, c.resource);
        EXPECT_EQ(states, c.states);
        if (c.resource != 32001) {
            EXPECT_EQ(gstate.hc.options.get(8), 3);   // the HP-GL dialog has no copies
        }
        EXPECT_EQ(dialog_state.current_id, 0);
    }
    // The option dialog's settings apply at once; Cancel of the set-up puts
    // them back.
    iprinter(28);
    igrhardcopyselect(1, DriverRasterPrinter);
    gstate.hc.options.set(8, 1);
    std::int32_t during = 0;
    script({[](OsHandle d) { click(d, 1207); },
            [&](OsHandle d) {
                during = gstate.hc.options.get(8);
                click(d, 2);
            }},
           {[](OsHandle copy) {
               type(copy, 1008, "4");
               click(copy, 1);
           }});
    setup(1, DriverRasterPrinter);
    EXPECT_EQ(during, 4);
    EXPECT_EQ(gstate.hc.options.get(8), 1);
}

TEST_F(SetupRoutines, BrowseAsksForASaveFileOfTheDriversKind) {
    TempDir dir(true);
    igrhardcopyselect(1, DriverHpgl2);
    chosen = dir.file("chosen.plt");
    std::string seen;
    script({[](OsHandle d) { click(d, 1202); },
            [&](OsHandle d) {
                seen = shown(d, 1201);
                click(d, 1);
            }});
    setup(1, DriverHpgl2);
    ASSERT_EQ(requests.size(), 1u);
    const OsCommonDialogRequest& rq = requests[0];
    EXPECT_EQ(rq.kind, OsCommonDialogKind::Save);
    EXPECT_EQ(rq.title, "HP-GL/2 file");
    ASSERT_EQ(rq.filters.size(), 1u);
    EXPECT_EQ(rq.filters[0].description, "HP-GL/2 file");
    EXPECT_EQ(rq.filters[0].pattern, "*.plt");
    EXPECT_NE(rq.flags & OS_OFN_OVERWRITEPROMPT, 0u);
    EXPECT_TRUE(rq.add_extension);
    EXPECT_EQ(seen, chosen);
    EXPECT_EQ(txt_c(name), chosen);
    // Cancelled: the field keeps its name.
    chosen.clear();
    txt_set(name, "kept.plt");
    script({[](OsHandle d) { click(d, 1202); },
            [&](OsHandle d) {
                seen = shown(d, 1201);
                click(d, 1);
            }});
    setup(1, DriverHpgl2);
    EXPECT_EQ(seen, "kept.plt");
}

TEST_F(SetupRoutines, ADialogThatCannotBeLoadedChangesNothing) {
    igrhardcopyselect(1, DriverPostScript);
    const auto before = options();
    // A dialog the caller has current, then a full table.
    WDialogLoad(32001, 6000, -1);
    for (int i = 1; i < MaxDialogs; ++i) WDialogLoad(32001, 6000 + i, -1);
    WDialogSelect(6000);
    infoerror(1);
    dialog_state.last_result = 7;
    script({[](OsHandle d) { click(d, 1); }});
    setup(1, DriverPostScript);
    EXPECT_EQ(infoerror(1), 1087);
    yypgdlg2(1, name, 32003, 3, 0);
    EXPECT_EQ(infoerror(1), 1087);
    EXPECT_EQ(dialog_state.last_result, 7);
    EXPECT_EQ(dialog_state.current_id, 6000);
    EXPECT_EQ(options(), before);
    EXPECT_EQ(txt_c(name), "plot.ps");
    EXPECT_EQ(next_act, 0u);
    // A resource that is not there; no dialog was current before.
    reset_dialog_state();
    dialog_state.last_result = 7;
    yypgdlg2(1, name, 32004, 1, 0);
    EXPECT_EQ(infoerror(1), 1007);
    EXPECT_EQ(dialog_state.current_id, 0);
    EXPECT_EQ(dialog_state.last_result, 7);
}

// ---- the option dialogs ---------------------------------------------------------

// Each option is named by what it does: the CGM font-name lists, the HP-GL
// figure records with pen widths, and the fills left to the plotter.
TEST_F(SetupRoutines, OptionFieldsSayWhatTheyDo) {
    const struct {
        std::int32_t resource, field;
        std::vector<std::string> items;  // menu items, or the one caption
    } cases[] = {
        {32009, 1028, {"CGM font names", "PostScript font names", "TrueType font names"}},
        {32001, 1025, {"Hatched by the program", "Filled by the plotter"}},
        {32001, 1018, {"Figure records and pen widths"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        WDialogLoad(c.resource, 7000, -1);
        WDialogSelect(7000);
        ASSERT_EQ(infoerror(1), 0);
        std::string text(40, ' ');
        if (c.items.size() == 1) {
            WDialogGetString(c.field, text);
            EXPECT_EQ(txt_c(text), c.items[0]);
        } else {
            for (std::size_t k = 0; k < c.items.size(); ++k) {
                WDialogPutOption(c.field, static_cast<std::int32_t>(k + 1));
                std::int32_t option = 0;
                text.assign(40, ' ');
                WDialogGetMenu(c.field, option, &text);
                EXPECT_EQ(option, static_cast<std::int32_t>(k + 1));
                EXPECT_EQ(txt_c(text), c.items[k]);
            }
        }
        WDialogUnload();
    }
}


TEST_F(SetupRoutines, OnlyTheOptionFieldsOfTheResourceAreShownAndRead) {
    igrhardcopyselect(1, DriverPostScript);
    for (int k = 1; k <= 29; ++k) gstate.hc.options.set(k, 30 + k);
    gstate.hc.options.set(8, 3), gstate.hc.options.set(9, 5);
    auto expected = options();
    std::vector<std::string> seen;
    script({}, {[&](OsHandle copy) {
        seen = {shown(copy, 1008), shown(copy, 1009)};
        type(copy, 1008, "4");
        type(copy, 1009, "6");
        click(copy, 1);
    }});
    yypgdlg2(0, name, 860, 1, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"3", "5"}));
    EXPECT_EQ(dialog_state.last_result, 1);
    expected[7] = 4, expected[8] = 6;
    EXPECT_EQ(options(), expected);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(SetupRoutines, OkWithoutChangesAppliesNoOption) {
    // Values the checks would change if they were applied again.
    igrhardcopyselect(1, DriverDxf);
    gstate.hc.options.set(12, 50);
    gstate.hc.options.set(9, 0);
    const auto before = options();
    txt_set(name, "plan.dxf");
    script({[](OsHandle d) { click(d, 1); }});
    yypgdlg2(1, name, 32008, 3, 0);
    EXPECT_EQ(dialog_state.last_result, 1);
    EXPECT_EQ(options(), before);
    EXPECT_EQ(txt_c(name), "plan.dxf");
}

TEST_F(SetupRoutines, CancelInEitherModeLeavesEveryOption) {
    struct Case {
        int driver;
        std::int32_t resource;
        int mode;
    };
    for (const Case& c : {Case{DriverSvg, 32003, 3}, Case{DriverPostScript, 32002, 1}}) {
        SCOPED_TRACE(c.resource);
        igrhardcopyselect(1, c.driver);
        const auto before = options();
        txt_set(name, "drawing.svg");
        const Act edit = [](OsHandle d) {
            type(d, 1009, "25");
            choose(d, 1010, 3);
        };
        const Act cancel = [](OsHandle d) { click(d, 2); };
        if (c.mode == 3) script({edit, cancel});
        else script({}, {edit, cancel});
        dialog_state.last_result = 1;
        yypgdlg2(1, name, c.resource, c.mode, 0);
        EXPECT_EQ(dialog_state.last_result, 0);
        EXPECT_EQ(options(), before);
        EXPECT_EQ(txt_c(name), "drawing.svg");
    }
}

TEST_F(SetupRoutines, PageWidthInEachUnit) {
    struct Case {
        int driver;
        std::int32_t resource;
        int units;
        std::vector<std::string> shown;  // width, its unit
    };
    const std::vector<Case> cases = {
        {DriverDxf, 32008, 0, {"612.00", "pts"}}, {DriverDxf, 32008, 1, {"8.50", "ins"}},
        {DriverDxf, 32008, 2, {"21.59", "cm"}},   {DriverDxf, 32008, 3, {"215.90", "mm"}},
        {DriverSvg, 32003, 1, {"612", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.resource) + " " + std::to_string(c.units));
        igrhardcopyselect(1, c.driver);
        gstate.hc.options.set(1, 612);
        std::vector<std::string> seen;
        script({[&](OsHandle d) {
            seen = {shown(d, 1001), at(d, 2001) ? shown(d, 2001) : ""};
            click(d, 1);
        }});
        yypgdlg2(c.units, name, c.resource, 3, 0);
        EXPECT_EQ(seen, c.shown);
        EXPECT_EQ(gstate.hc.options.get(1), 612);
    }
    // Typed in inches.
    igrhardcopyselect(1, DriverCgm);
    script({[](OsHandle d) {
        type(d, 1001, "8.25");
        type(d, 1002, "");
        click(d, 1);
    }});
    const std::int32_t height = gstate.hc.options.get(2);
    yypgdlg2(1, name, 32009, 3, 0);
    EXPECT_EQ(gstate.hc.options.get(1), 594);
    EXPECT_EQ(gstate.hc.options.get(2), height);   // empty: refused
}

TEST_F(SetupRoutines, BitsPerPixelItemsBothWays) {
    struct Case {
        int driver;
        std::int32_t resource;
        std::int32_t value;
        int item;
        int choose;
        std::int32_t stored;
    };
    const std::vector<Case> cases = {
        {DriverImageFile, 32006, 24, 4, 2, 4}, {DriverImageFile, 32006, 1, 1, 4, 24},
        {DriverImageFile, 32006, 8, 3, 1, 1},  {DriverDxf, 32008, 8, 3, 1, 3},
        {DriverDxf, 32008, 3, 1, 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.resource) + " " + std::to_string(c.value));
        igrhardcopyselect(1, c.driver);
        gstate.hc.options.set(23, c.value);
        int seen = 0;
        script({[&](OsHandle d) {
                    seen = selected(d, 1023);
                    choose(d, 1023, c.choose);
                },
                [](OsHandle d) { click(d, 1); }});
        yypgdlg2(0, name, c.resource, 3, 0);
        EXPECT_EQ(seen, c.item);
        EXPECT_EQ(gstate.hc.options.get(23), c.stored);
    }
}

TEST_F(SetupRoutines, ImageFormatListSetsTheExtension) {
    igrhardcopyselect(1, DriverImageFile);
    txt_set(name, "out/map.pcx");
    std::vector<std::string> seen;
    script({[](OsHandle d) { choose(d, 1026, 4); },
            [&](OsHandle d) {
                seen.push_back(shown(d, 1201));
                choose(d, 1026, 2);
            },
            [&](OsHandle d) {
                seen.push_back(shown(d, 1201));
                click(d, 1);
            }});
    yypgdlg2(0, name, 32006, 3, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"out/map.png", "out/map.bmp"}));
    EXPECT_EQ(txt_c(name), "out/map.bmp");
    EXPECT_EQ(gstate.hc.options.get(26), 1);
}

TEST_F(SetupRoutines, MetafileDialogFileOrClipboard) {
    igrhardcopyselect(1, DriverWindowsMetafile);
    // A blank name is the clipboard; OK with it keeps the name blank, and
    // field 1014 is the file button, no option field: nothing is refused.
    txt_set(name, "");
    std::vector<int> radio;
    auto look = [&radio](OsHandle d) { radio.push_back(checked(d, 1014) * 10 + checked(d, 4001)); };
    script({
        [&](OsHandle d) {
            look(d);
            EXPECT_FALSE(on(d, 1029));
            grab(d, "setup_32011_metafile");
            type(d, 1201, "pic.wmf");
        },
        [&](OsHandle d) { look(d), type(d, 1201, ""); },
        [&](OsHandle d) { look(d), click(d, 1); },
    });
    yypgdlg2(1, name, 32011, 3, 0);
    EXPECT_EQ(radio, (std::vector<int>{1, 10, 1}));
    EXPECT_TRUE(txt_blank(name));
    EXPECT_EQ(dialog_state.last_result, 1);
    EXPECT_EQ(infoerror(1), 0);
    // The clipboard button wins over a name at OK.
    txt_set(name, "pic.wmf");
    script({[](OsHandle d) { click(d, 4001); }, [](OsHandle d) { click(d, 1); }});
    yypgdlg2(1, name, 32011, 3, 0);
    EXPECT_TRUE(txt_blank(name));
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(SetupRoutines, MetafileKindSetsTheExtension) {
    struct Case {
        const char* name;
        int item;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"out/plot.wmf", 3, "out/plot.emf"},
        {"out.d/plot", 3, "out.d/plot.emf"},
        {"out/plot.emf", 1, "out/plot.wmf"},
        {"print @ plot", 3, "print @ plot"},
    };
    igrhardcopyselect(1, DriverWindowsMetafile);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        txt_set(name, c.name);
        gstate.hc.options.set(27, c.item == 3 ? 1 : 2);
        std::string seen;
        bool dashes = true;
        script({[&](OsHandle d) { choose(d, 1027, c.item); },
                [&](OsHandle d) {
                    seen = shown(d, 1201);
                    dashes = on(d, 1029);   // the platform has its user-styled pens
                    click(d, 1);
                }});
        yypgdlg2(1, name, 32011, 3, 0);
        EXPECT_EQ(seen, c.shown);
        EXPECT_FALSE(dashes);
        EXPECT_EQ(txt_c(name), c.shown);
        EXPECT_EQ(gstate.hc.options.get(27), c.item - 1);
    }
}

TEST_F(SetupRoutines, ResolutionListAndPrinterControlOfAPagePrinter) {
    iprinter(28);
    igrhardcopyselect(1, DriverRasterPrinter);
    gstate.hc.options.set(13, 2);
    gstate.hc.options.set(19, 3);
    std::vector<std::string> resolutions;
    int item13 = 0, item19 = 0;
    script({}, {[&](OsHandle copy) {
                    resolutions = entries(copy, 1013);
                    item13 = selected(copy, 1013);
                    item19 = selected(copy, 1019);
                    choose(copy, 1013, 3);
                },
                [](OsHandle copy) {
                    choose(copy, 1019, 1);
                },
                [](OsHandle copy) { click(copy, 1); }});
    yypgdlg2(1, name, 32024, 1, 0);
    EXPECT_EQ(resolutions, (std::vector<std::string>{"300", "150", "100", " 75"}));
    EXPECT_EQ(item13, 2);
    EXPECT_EQ(item19, 4);
    EXPECT_EQ(gstate.hc.options.get(13), 3);   // the item number
    EXPECT_EQ(hcstate.ResolutionIndex, 3);
    EXPECT_EQ(gstate.hc.options.get(19), 0);
}

// ---- through the options entry ----------------------------------------------------

std::vector<std::string> entry_calls;
std::int32_t snapshot_status = 0;

TEST_F(SetupRoutines, OptionsEntryShowsTheDriversDialogInItsUnits) {
    hardcopy_pending.yygetwindowbitmap = [](std::int32_t mode, std::int32_t, std::int32_t& status) {
        entry_calls.push_back("snapshot " + std::to_string(mode));
        status = mode == 1 ? snapshot_status : 0;
    };
    struct Case {
        int driver;
        std::optional<int> measure;
        int locale;
        std::string call;
        // set-up: unit title, caption, device list, option dialog's colours
        // (restricted: off); options: dialog id, unit label, colours
        std::vector<std::string> shown;
    };
    const std::vector<Case> cases = {
        {DriverPostScript, -2, 1, "set-up derizure.out", {"Size/Position (cm)", "PostScript Output", "on", "off"}},
        {DriverHpgl, std::nullopt, 1, "set-up derizure.out",
         {"Size/Position (inches)", "HP-GL Plotter Output", "on", "on"}},
        {DriverHpgl2, 7, 2, "set-up derizure.out", {"Size/Position (cm)", "HP-GL/2 Printer Output", "on", "on"}},
        {DriverRasterPrinter, 0, 1, "set-up derizure.out",
         {"Size/Position (points)", "HP/Epson/IBM Printer Output", "on", "none"}},
        {DriverSvg, 3, 1, "options derizure.out", {"32003", "none", "on"}},
        {DriverCgm, -9, 1, "options derizure.out", {"32009", "ins", "off"}},
    };
    auto state = [](OsHandle d, int id) { return !at(d, id) ? "none" : on(d, id) ? "on" : "off"; };
    std::vector<std::string> seen;
    int answer = 1;
    std::string typed;
    const Act confirm = [&](OsHandle d) {
        type(d, 1201, typed);
        click(d, answer);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.driver);
        igrhardcopyselect(1, c.driver);
        txt_set(gstate.hc.output_name, "derizure.out");
        entry_calls.clear();
        os_config().measurement_system = c.locale;
        typed = "chosen.out";
        if (c.call[0] == 's')
            script({[&](OsHandle d) {
                        entry_calls.push_back("set-up " + shown(d, 1201));
                        seen = {shown(d, 1206), os_get_window_text(d), state(d, 1203)};
                        click(d, 1207);
                    },
                    confirm},
                   {[&](OsHandle copy) {
                       seen.push_back(state(copy, 1006));
                       click(copy, 2);
                   }});
        else
            script({[&](OsHandle d) {
                        entry_calls.push_back("options " + shown(d, 1201));
                        seen = {std::to_string(dialog_state.current_id), at(d, 2001) ? shown(d, 2001) : "none",
                                state(d, 1006)};
                        confirm(d);
                    }});
        WHardcopyOptions(c.measure);
        EXPECT_EQ(entry_calls, (std::vector<std::string>{"snapshot 1", c.call, "snapshot 0"}));
        EXPECT_EQ(seen, c.shown);
        EXPECT_EQ(txt_c(gstate.hc.output_name), "chosen.out");
    }
    // A name of the caller's own is edited instead; cancelled keeps it.
    std::string mine = txt_fixed("mine.ps", 40);
    igrhardcopyselect(1, DriverSvg);
    txt_set(gstate.hc.output_name, "derizure.out");
    script({confirm});
    WHardcopyOptions(1, &mine);
    EXPECT_EQ(mine, txt_fixed("chosen.out", 40));
    EXPECT_EQ(txt_c(gstate.hc.output_name), "derizure.out");
    answer = 2;
    typed = "other.out";
    script({confirm});
    WHardcopyOptions(1, &mine);
    EXPECT_EQ(txt_c(mine), "chosen.out");

    // A snapshot that fails is reported and the dialog shown all the same.
    entry_calls.clear();
    snapshot_status = 1044;
    script({[](OsHandle d) {
        entry_calls.push_back("options");
        click(d, 2);
    }});
    WHardcopyOptions(1);
    EXPECT_EQ(infoerror(1), 1044);
    EXPECT_EQ(entry_calls, (std::vector<std::string>{"snapshot 1", "options", "snapshot 0"}));
    snapshot_status = 0;
}

// While the options entry's dialog is up, every shown window is painted from
// its snapshot, the program's root window included; afterwards none is left.
TEST_F(SetupRoutines, OptionsEntrySnapshotsEveryWindowTheRootIncluded) {
    ASSERT_TRUE(os_is_window_visible(wtab.wWindow[0]));
    hcstate.PrinterAvailable = 1;
    bool root = false;
    const auto while_up = [&] { root = wtab.hImage[0] != 0 && wtab.wBlitOn == 1; };
    os_common_dialog_set_responder([&](const OsCommonDialogRequest&) {
        while_up();
        return OsCommonDialogAnswer{};
    });
    for (const int driver : {DriverWindowsPrinter, DriverSvg, DriverPostScript}) {
        SCOPED_TRACE(driver);
        igrhardcopyselect(1, driver);
        root = false;
        script({[&](OsHandle d) {
                    while_up();
                    click(d, 2);
                }},
               {[&](OsHandle copy) {
                    while_up();
                    click(copy, 2);
                }});
        WHardcopyOptions(1);
        EXPECT_TRUE(root);
        EXPECT_EQ(wtab.hImage[0], 0);
        EXPECT_EQ(wtab.nImage[0], 0);
        EXPECT_EQ(wtab.wBlitOn, 0);
    }
}

// A selected number without a driver keeps the dialog of the driver that
// last answered: no missing resource is loaded.
TEST_F(SetupRoutines, ANumberWithoutADriverShowsTheLastDriversDialog) {
    for (int number : {5, 7, 13}) {
        SCOPED_TRACE(number);
        igrhardcopyselect(1, DriverSvg);
        igrhardcopyselect(1, number);
        EXPECT_EQ(gstate.hc.active_driver, DriverSvg);
        infoerror(1);
        int shown_id = 0;
        script({[&](OsHandle d) {
            shown_id = dialog_state.current_id;
            click(d, 2);
        }});
        WHardcopyOptions(1);
        EXPECT_EQ(infoerror(1), 0);
        EXPECT_NE(shown_id, 0);
        EXPECT_EQ(next_act, 1u);
    }
}

}  // namespace
