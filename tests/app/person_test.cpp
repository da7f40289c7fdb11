// The program as a modeller drives it: real keys, clicks, menus, tool-bar
// buttons, dialogs and close boxes into the real windows, the program's own
// loop taking them. The screen grabs are kept under build/person-grabs.
#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "lib/window/text.h"
#include "platform/os_menu.h"
#include <algorithm>
#include <memory>
#include "platform/os_window.h"
#include "tests/app/person_support.h"

namespace {

using Steps = std::vector<OsUserStep>;

struct View {
    float x0, y0, x1, y1;
};
View view() { return {dat9.vxmin, dat9.vymin, dat9.vxmax, dat9.vymax}; }

}  // namespace

TEST_F(PersonTest, KeysOnTheKeyboardZoomAndPanTheMap) {
    View before{}, after{};
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        grab("loaded"),
        check("the view", [&] { before = view(); }),
        key(OS_VK_ADD, OS_IN_KEYPAD),
        check("zoomed in", [&] {
            after = view();
            const float w = before.x1 - before.x0;
            EXPECT_NEAR(after.x1 - after.x0, 0.8f * w, 1e-3f * w);
        }),
        click_map(300, 200),
        key(OS_VK_SUBTRACT, OS_IN_KEYPAD),
        check("zoomed out again", [&] {
            const float w = after.x1 - after.x0;
            EXPECT_NEAR(dat9.vxmax - dat9.vxmin, 1.1f * w, 1e-3f * w);
            after = view();
        }),
        key(OS_VK_LEFT),
        check("panned", [&] {
            const float w = after.x1 - after.x0;
            EXPECT_NEAR(dat9.vxmin, after.x0 + 0.1f * w, 1e-3f * w);
        }),
        close_main(),
    });
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(std::filesystem::exists("zeltramo.ini"));
}

namespace {

// The close box in the caption of a child window, in its client pixels.
OsPoint child_close_box(OsWindow frame) {
    OsRect w, c;
    os_get_window_rect(frame, w);
    os_get_client_rect(frame, c);
    const std::int32_t b = (w.width() - c.width()) / 2;
    const std::int32_t top = w.height() - c.height() - b;   // border and caption
    const std::int32_t cap = top - b;
    return {c.width() + b - b - cap / 2, -cap / 2};
}

}  // namespace

namespace {

// The page size pdfinfo reads, as "W x H".
std::string pdf_page_size(const std::string& file) {
    const std::string info = run_command("pdfinfo '" + file + "'");
    std::smatch m;
    if (!std::regex_search(info, m, std::regex(R"(Page size: +([0-9.]+) x ([0-9.]+) pts)"))) return info;
    return std::to_string(std::lround(std::stod(m[1]))) + " x " + std::to_string(std::lround(std::stod(m[2])));
}

}  // namespace

TEST_F(PersonTest, PageSetUpTakesEffectAndIsOfferedAgain) {
    if (!have_program("pdfinfo")) GTEST_SKIP() << "pdfinfo is not installed";
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        menu({"Print"}),
        choose("Paper size", "A3"),
        tick("Portrait"),
        toolkit_dialog("Page Setup", "OK"),
        check("the page is A3 portrait", [] { EXPECT_EQ(pdf_page_size("Zeltramo Print.pdf"), "842 x 1191"); }),
        menu({"Print"}),
        {"the last choice shown", false, [] {
             if (!os_user_modal_up() || os_user_choice("Paper size").empty()) return false;
             EXPECT_EQ(os_user_choice("Paper size").rfind("A3", 0), 0u) << os_user_choice("Paper size");
             EXPECT_TRUE(os_user_checked("Portrait"));
             EXPECT_FALSE(os_user_checked("Landscape"));
             return true;
         }},
        choose("Paper size", "Letter"),
        tick("Landscape"),
        toolkit_dialog("Page Setup", "OK"),
        check("the page is Letter landscape", [] { EXPECT_EQ(pdf_page_size("Zeltramo Print (2).pdf"), "792 x 612"); }),
        close_main(),
    });
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(PersonTest, CloseBoxesOfTheProfileWindowAndOfTheProgram) {
    int slot = 0;
    View before{};
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        menu({"Profile", "Graphical"}),
        idle("draw the profile line", [] { os_user_drag(map(), 150, 150, 450, 350); }),
        check("the profile window is open", [&] {
            ASSERT_EQ(mainstate.profwin, 1);
            slot = mainstate.profslot;
            EXPECT_NE(wtab.wWindow[static_cast<std::size_t>(slot)], 0);
        }),
        grab("profile"),
        idle("its own close box", [&] {
            const OsWindow f = wtab.wWindow[static_cast<std::size_t>(slot)];
            const OsPoint p = child_close_box(f);
            os_user_click(f, p.x, p.y);
        }),
        check("only the profile window closed", [&] {
            EXPECT_EQ(mainstate.profwin, 0);
            EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(slot)], 0);
            EXPECT_TRUE(exits.empty());
            before = view();
        }),
        // The keyboard is the map's again, without a click in it first.
        idle("the pointer over the map", [] { os_user_move(map(), 300, 200); }),
        key(OS_VK_ADD, OS_IN_KEYPAD),
        check("the key zoomed", [&] {
            const float w = before.x1 - before.x0;
            EXPECT_NEAR(dat9.vxmax - dat9.vxmin, 0.8f * w, 1e-3f * w);
            before = view();
        }),
        key(OS_VK_LEFT),
        check("and an arrow pans", [&] { EXPECT_NE(dat9.vxmin, before.x0); }),
        menu({"Profile", "Graphical"}),
        idle("draw it again", [] { os_user_drag(map(), 150, 350, 450, 150); }),
        check("open again", [&] { ASSERT_EQ(mainstate.profwin, 1); }),
        close_main(),
        check("the main window's close box closed only the profile window", [&] {
            EXPECT_EQ(mainstate.profwin, 0);
            EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(slot)], 0);
            EXPECT_TRUE(exits.empty());
        }),
        close_main(),
    });
    // The second close request ends the program and writes the settings.
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(std::filesystem::exists("zeltramo.ini"));
}

namespace {

// The files of the working directory.
std::vector<std::string> files_here() {
    std::vector<std::string> out;
    for (const auto& f : std::filesystem::directory_iterator(".")) out.push_back(f.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// What choosing one command does that a person can see or find: each
// `reach` list waits for the command to show it and then finishes the
// command as a person would.
struct Command {
    int id;
    std::vector<std::string> path;   // in the menu bar
};

class CommandTableTest : public PersonTest {
protected:
    // Waits for the program's dialog, then clicks one of its buttons.
    static OsUserStep dialog_button(int dialog, int button) {
        return {"dialog " + std::to_string(dialog) + ", button " + std::to_string(button), true, [dialog, button] {
                    if (!dialog_up(dialog)) return false;
                    os_user_grab_screen(grab_dir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                        "-dialog-" + std::to_string(dialog) + ".png");
                    const OsWindow b = dialog_field(dialog, button);
                    EXPECT_NE(b, 0) << dialog;
                    if (b) os_user_click_window(b);
                    return true;
                }};
    }
    static OsUserStep toolbar_command(int id) {
        return idle("tool-bar button of " + std::to_string(id), [id] {
            OsWindow bar = 0;
            for (OsWindow t : wtab.hToolbar[0])
                if (t) bar = t;
            const auto index = static_cast<int>(os_send_message(bar, OSM_TB_COMMANDTOINDEX, static_cast<std::uintptr_t>(id), 0));
            ASSERT_GE(index, 0) << id;
            EXPECT_TRUE(os_user_toolbar(bar, index));
        });
    }

    // The steps that show that command `id` was reached, and finish it.
    std::vector<OsUserStep> reach(int id) {
        std::vector<OsUserStep> s;
        auto flag_toggles = [&](std::string what, std::int32_t* flag) {
            auto before = std::make_shared<std::int32_t>();
            // The flag is read when the step before the choice runs.
            s.insert(s.begin(), idle("remember " + what, [flag, before] { *before = *flag; }));
            s.push_back(check(what + " toggled", [flag, before] { EXPECT_EQ(*flag, *before == 0 ? 1 : 0); }));
        };
        switch (id) {
        case 40001:
            s.push_back(file("demo.fem", "Open"));
            s.push_back(check("the model loaded with the default grid", [] {
                EXPECT_EQ(txt_trim(mainstate.femname).substr(txt_trim(mainstate.femname).size() - 8), "demo.fem");
                EXPECT_EQ(mainstate.loaded, 1);
                EXPECT_EQ(dat18.gridtype, GridArcInfo);
            }));
            break;
        case 40041: s.push_back(toolkit_dialog("", "Cancel")); break;
        case 40013:
            s.push_back(file("table.wmf", "Save"));
            s.push_back(answer_if_asked("replace it", "Yes"));
            s.push_back(check("the metafile is written", [] {
                const std::string b = read_file("table.wmf");
                ASSERT_GT(b.size(), 40u);
                EXPECT_EQ(static_cast<unsigned char>(b[0]), 0xD7u);   // placeable metafile key
            }));
            break;
        case 40011:
            s.push_back(dialog_button(101, 1));
            s.push_back(check("Surfer grid", [] { EXPECT_EQ(dat18.gridtype, GridSurfer); }));
            break;
        case 40012:
            s.push_back(dialog_button(103, 1));
            s.push_back(check("Arc-Info grid", [] { EXPECT_EQ(dat18.gridtype, GridArcInfo); }));
            break;
        case 40010:
            s.push_back(type_field(104, 1047, "demo.delr"));
            s.push_back(type_field(104, 1048, "demo.delc"));
            s.push_back(dialog_button(104, 1));
            s.push_back(check("MODFLOW grid", [] { EXPECT_EQ(dat18.gridtype, GridModflow); }));
            break;
        case 40019: {
            auto before = std::make_shared<float>();
            s.insert(s.begin(), idle("remember the grid origin", [before] { *before = dat8.gx0; }));
            s.push_back(idle("drag the grid", [] { os_user_drag(map(), 250, 250, 400, 350); }));
            s.push_back(check("the grid moved", [before] { EXPECT_NE(dat8.gx0, *before); }));
            break;
        }
        case 40020: {
            auto before = std::make_shared<float>();
            s.insert(s.begin(), idle("remember the rotation", [before] { *before = dat12.rotang; }));
            s.push_back(idle("turn the grid", [] { os_user_drag(map(), 500, 300, 500, 200); }));
            s.push_back(check("the grid turned", [before] { EXPECT_NE(dat12.rotang, *before); }));
            break;
        }
        case 40005:
            s.push_back(click_field(102, 1042));
            s.push_back(dialog_button(102, 1));
            s.push_back(check("reference head on", [] { EXPECT_EQ(dat5.opton(0), 'j'); }));
            break;
        case 40034: s.push_back(dialog_button(107, 2)); break;
        case 40035:
            s.push_back(idle("draw a profile", [] { os_user_drag(map(), 200, 200, 400, 300); }));
            s.push_back(check("the profile window", [] { EXPECT_EQ(mainstate.profwin, 1); }));
            break;
        case 40006: {
            auto before = std::make_shared<std::vector<std::string>>();
            s.insert(s.begin(), idle("list the files", [before] { *before = files_here(); }));
            s.push_back(check("auto-save wrote the grids", [before] {
                EXPECT_EQ(mainstate.showcontour, 1);
                EXPECT_GT(files_here().size(), before->size());
            }));
            break;
        }
        case 40038: s.push_back(dialog_button(108, 2)); break;
        case 40040: s.push_back(dialog_button(110, 2)); break;
        case 40015:
            s.push_back(check("filled contours", [] { EXPECT_EQ(mainstate.plotmode, 1); }));
            break;
        case 40016:
            s.push_back(check("iso-lines", [] { EXPECT_EQ(mainstate.plotmode, -1); }));
            break;
        case 40025: flag_toggles("grid points", &mainstate.showgridpts); break;
        case 40023: flag_toggles("mesh", &mainstate.showmesh); break;
        case 40037: flag_toggles("nodal areas", &mainstate.shownodal); break;
        case 40028: flag_toggles("auto-save", &mainstate.autosave); break;
        case 117:
            s.push_back(click_field(112, 1083));
            s.push_back(dialog_button(112, 1));
            s.push_back(check("map layer 4 switched", [] { EXPECT_EQ(mainstate.showmaps, 1); }));
            break;
        case 40008:
            s.insert(s.begin(), key(OS_VK_ADD, OS_IN_KEYPAD));
            s.push_back(check("the model's extent again", [] {
                EXPECT_LE(dat9.vxmin, dat11.ext(1));
                EXPECT_GE(dat9.vxmax, dat11.ext(3));
            }));
            break;
        case 40009: {
            auto before = std::make_shared<float>();
            s.insert(s.begin(), idle("remember the view", [before] { *before = dat9.vxmax - dat9.vxmin; }));
            s.push_back(idle("draw the zoom window", [] { os_user_drag(map(), 200, 150, 400, 300); }));
            s.push_back(check("zoomed", [before] { EXPECT_LT(dat9.vxmax - dat9.vxmin, *before); }));
            break;
        }
        case 40017:
            s.push_back(check("the view fits the grid", [] {
                EXPECT_LE(dat9.vxmin, dat8.gx0 + 1e-3f * std::abs(dat8.gx0));
            }));
            break;
        case 40039: {
            auto before = std::make_shared<float>();
            s.insert(s.begin(), idle("remember the view", [before] { *before = dat9.vxmin; }));
            s.push_back(click_map(150, 150));
            s.push_back(check("centred elsewhere", [before] { EXPECT_NE(dat9.vxmin, *before); }));
            break;
        }
        case 40027:
            s.push_back(file("table.grd", "Save"));
            s.push_back(answer_if_asked("replace it", "Yes"));
            s.push_back(check("the grid file", [] { EXPECT_FALSE(read_file("table.grd").empty()); }));
            break;
        case 40030: s.push_back(answer("No help available", "OK")); break;
        case 40031: s.push_back(dialog_button(105, 1)); break;
        default: ADD_FAILURE() << "no reach for " << id;
        }
        return s;
    }
};

// Menu 30001 in menu order, End apart.
const std::vector<Command> MenuCommands = {
    {40001, {"FEM file"}},
    {40041, {"Print"}},
    {40013, {"Make WMF"}},
    {40011, {"Grid", "Surfer"}},
    {40025, {"Plot", "GRID"}},
    {40023, {"Plot", "Network"}},
    {40016, {"Plot", "Iso-lines"}},
    {40015, {"Plot", "Filled contours"}},
    {40037, {"Plot", "Nodal areas"}},
    {117, {"Plot", "BLN map"}},
    {40012, {"Grid", "Arc-Info"}},
    {40019, {"Grid", "Graphical", "Location/size"}},
    {40020, {"Grid", "Graphical", "Rotation"}},
    {40005, {"Options"}},
    {40034, {"Profile", "Numerical"}},
    {40035, {"Profile", "Graphical"}},
    {40028, {"Save", "Auto-save"}},
    {40006, {"Calculation"}},
    {40038, {"Intersect"}},
    {40040, {"Flowlines"}},
    {40009, {"(Un)Zoom", "Zoom"}},
    {40008, {"(Un)Zoom", "Original"}},
    {40017, {"(Un)Zoom", "Zoom2grid"}},
    {40039, {"(Un)Zoom", "Center -/+ (un)zoom"}},
    {40027, {"Save", "2File"}},
    {40010, {"Grid", "MODFLOW"}},
    {40030, {"Help", "Help"}},
    {40031, {"Help", "About"}},
};

// Tool bar 30101, End apart.
// (Calculation before 2File: a grid is saved only once it is calculated.)
const std::vector<int> ToolbarCommands = {40001, 40006, 40027, 40041, 40025, 40023, 40037, 40035,
                                          40008, 40017, 40009, 40019, 40020, 40031, 40030};

}  // namespace

TEST_F(CommandTableTest, EveryMenuItemAndToolBarButtonReachesItsCommand) {
    Steps steps{answer("Read default settings from ini file?", "Yes")};
    for (const Command& c : MenuCommands) {
        auto r = reach(c.id);
        // Steps that remember a state come before the choice.
        auto first = std::find_if(r.begin(), r.end(), [](const OsUserStep& s) { return s.what.rfind("remember", 0) != 0 && s.what.rfind("list", 0) != 0 && s.what.rfind("key", 0) != 0; });
        steps.insert(steps.end(), std::make_move_iterator(r.begin()), std::make_move_iterator(first));
        steps.push_back(menu(c.path));
        steps.insert(steps.end(), std::make_move_iterator(first), std::make_move_iterator(r.end()));
        steps.push_back(grab("menu-" + std::to_string(c.id)));
    }
    for (int id : ToolbarCommands) {
        auto r = reach(id);
        auto first = std::find_if(r.begin(), r.end(), [](const OsUserStep& s) { return s.what.rfind("remember", 0) != 0 && s.what.rfind("list", 0) != 0 && s.what.rfind("key", 0) != 0; });
        steps.insert(steps.end(), std::make_move_iterator(r.begin()), std::make_move_iterator(first));
        steps.push_back(toolbar_command(id));
        steps.insert(steps.end(), std::make_move_iterator(first), std::make_move_iterator(r.end()));
    }
    steps.push_back(toolbar_command(40004));
    run(std::move(steps));
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(CommandTableTest, EndFromTheMenu) {
    run(Steps{answer("Read default settings from ini file?", "Yes"), menu({"End"})});
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(std::filesystem::exists("zeltramo.ini"));
}
