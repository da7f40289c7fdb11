// What a modeller sees while turning the grid, drawing a profile line over
// the open profile window, after a MODFLOW calculation and in the grid
// dialogs, driven through the real windows. The screen grabs are kept under
// build/person-grabs.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/griddef.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "lib/window/quinda_state.h"
#include "lib/window/wintext.h"
#include "platform/os_window.h"
#include "tests/app/person_support.h"
#include "tests/support/png_picture.h"

namespace {

using Steps = std::vector<OsUserStep>;

OsWindow map_client() { return wtab.hClient[0]; }
OsWindow main_frame() { return wtab.wWindow[0]; }

// A rectangle of a window's retained image, row by row.
struct Pixels {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::vector<std::int64_t> px;
    std::int64_t at(int x, int y) const {
        return px[static_cast<std::size_t>((y - y0) * (x1 - x0) + (x - x0))];
    }
};

Pixels surface(OsWindow w, int x0, int y0, int x1, int y1) {
    Pixels p{x0, y0, x1, y1, {}};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) p.px.push_back(os_surface_pixel(w, x, y));
    return p;
}

int count_differing(const Pixels& a, const Pixels& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.px.size() && i < b.px.size(); ++i) n += a.px[i] != b.px[i];
    return n;
}

OsRect client_of(OsWindow w) {
    OsRect r{};
    os_get_client_rect(w, r);
    return r;
}

// Window units (0..9999 across and down the map's client area) to pixels.
int units_x(int u) { return (client_of(map_client()).width() - 1) * u / 9999; }
int units_y(int u) { return (client_of(map_client()).height() - 1) * u / 9999; }

// The colour of the map's background: the margin left of the map, halfway
// down, where nothing is drawn.
std::int64_t map_background() { return os_surface_pixel(map_client(), 1, client_of(map_client()).height() / 2); }

// The line above the map keeps the map's background colour.
void strip_is_background() {
    EXPECT_EQ(os_surface_pixel(map_client(), 2, 2), map_background()) << "the line above the map changed colour";
}

// The text at (x, baseline y) in window units of the line above the map is
// exactly `text`: written there again over itself it changes no pixel (and
// something is written there).
void strip_shows(int x, const std::string& text) {
    const OsRect r = client_of(map_client());
    const int x0 = units_x(x), y1 = units_y(500);
    const Pixels before = surface(map_client(), x0, 0, r.width(), y1);
    int marked = 0;
    for (std::int64_t p : before.px) marked += p != map_background();
    EXPECT_GT(marked, 20) << "nothing is written at " << x;
    windowoutstring(x, 400, text);
    EXPECT_EQ(count_differing(before, surface(map_client(), x0, 0, r.width(), y1)), 0)
        << "the line does not read \"" << text << "\"";
}

// The angle in whole degrees from the grid's origin to the pointer position
// of the last message, taken in whole world units.
int angle_to_pointer() {
    const double dx = std::trunc(mainstate.msg.GX) - dat8.gx0, dy = std::trunc(mainstate.msg.GY) - dat8.gy0;
    double deg = std::atan2(dy, dx) * 180.0 / std::acos(-1.0);
    if (deg < 0) deg += 360.0;
    return static_cast<int>(deg);
}

// Client pixels of the map to pixels of a screen grab (width x height) that
// holds the main window alone: the grab starts inside the window's border and
// caption, the border being as wide at the sides as at the bottom.
OsPoint on_grab(OsPoint p, int width, int height) {
    OsRect f{};
    os_get_window_rect(main_frame(), f);
    os_client_to_screen(map_client(), p);
    const int border = (f.width() - width) / 2;
    return {p.x - f.left - border, p.y - f.top - (f.height() - height - border)};
}

std::string trimmed(std::string s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

class PersonViewsTest : public PersonTest {
protected:
    // Waits for the dialog, then checks its fields' texts as numbers.
    static OsUserStep fields(int dialog, std::map<int, double> want) {
        return {"fields of dialog " + std::to_string(dialog), true, [dialog, want] {
                    if (!dialog_up(dialog)) return false;
                    for (const auto& [field, value] : want) {
                        const std::string t = trimmed(os_get_window_text(dialog_field(dialog, field)));
                        EXPECT_FALSE(t.empty()) << "field " << field << " of dialog " << dialog << " is empty";
                        if (!t.empty()) {
                            EXPECT_NEAR(std::stod(t), value, 0.006) << "field " << field << ": " << t;
                        }
                    }
                    return true;
                }};
    }
    static OsUserStep press(int dialog, int button) {
        return {"dialog " + std::to_string(dialog) + ", button " + std::to_string(button), true, [dialog, button] {
                    if (!dialog_up(dialog)) return false;
                    os_user_click_window(dialog_field(dialog, button));
                    return true;
                }};
    }
    static OsUserStep move(int x, int y) {
        return idle("pointer to " + std::to_string(x) + "," + std::to_string(y), [x, y] { os_user_move(map(), x, y); });
    }
    static Steps modflow_grid() {
        return {menu({"Grid", "MODFLOW"}), type_field(104, 1047, "demo.delr"), type_field(104, 1048, "demo.delc"),
                press(104, 1), check("a MODFLOW grid", [] { EXPECT_EQ(dat18.gridtype, GridModflow); })};
    }
};

}  // namespace

TEST_F(PersonViewsTest, TheAngleFollowsThePointerWhileTheGridTurns) {
    auto angle_shown = [](std::string what) {
        return check(std::move(what), [] {
            const int d = rotang_degrees();
            EXPECT_NEAR(d, angle_to_pointer(), 1);
            strip_shows(7000, "rotation " + edit_i(d, 12) + "   ");
            strip_shows(500, "left button to confirm rotation");
        });
    };
    auto first = std::make_shared<int>(-1);
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        menu({"Grid", "Graphical", "Rotation"}),
        move(450, 150),
        angle_shown("the angle as the rotation starts"),
        move(500, 250),
        angle_shown("the angle after a move"),
        idle("remember it", [first] { *first = rotang_degrees(); }),
        grab("turning"),
        move(300, 100),
        angle_shown("the angle after another move"),
        check("it changed with the pointer", [first] { EXPECT_NE(rotang_degrees(), *first); }),
        click_map(300, 100),
        check("the grid turned to the angle shown", [] {
            EXPECT_EQ(trimmed(mainstate.gridtexts[static_cast<std::size_t>(TxRot)]), std::to_string(angle_to_pointer()));
        }),
        menu({"End"}),
    });
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(PersonViewsTest, AProfileLineDrawnOverTheOpenProfileWindowIsSeen) {
    // The line runs through the middle of the map, where the profile window lies.
    const OsPoint a{200, 180}, b{480, 360};
    auto before = std::make_shared<Pixels>();
    auto box = [a, b](OsWindow w) { return surface(w, a.x - 2, a.y - 2, b.x + 3, b.y + 3); };
    auto profile_frame = [] { return wtab.wWindow[static_cast<std::size_t>(mainstate.profslot)]; };
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        menu({"Profile", "Graphical"}),
        idle("draw a first profile line", [] { os_user_drag(map(), 150, 150, 450, 350); }),
        check("the profile window covers the middle of the map", [&] {
            ASSERT_EQ(mainstate.profwin, 1);
            EXPECT_TRUE(os_is_window_visible(profile_frame()));
            OsPoint mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
            os_client_to_screen(map(), mid);
            EXPECT_NE(os_window_from_point(mid), map());
            strip_is_background();
        }),
        menu({"Profile", "Graphical"}),
        check("the profile window is out of the way", [&] {
            EXPECT_EQ(mainstate.profwin, 1);
            EXPECT_FALSE(os_is_window_visible(profile_frame()));
            strip_is_background();
            strip_shows(500, "left mousebutton to define profile");
        }),
        move(a.x - 3, a.y - 3),
        move(a.x, a.y),
        idle("remember the map along the line", [&] { *before = box(map()); }),
        idle("press", [&] { os_user_press(map(), a.x, a.y); }),
        move((a.x + b.x) / 2, (a.y + b.y) / 2),
        move(b.x, b.y),
        grab("drawing"),
        check("the line being drawn is on the screen", [&] {
            const Pixels now = box(map());
            // The band changed the map along the line ...
            EXPECT_GT(count_differing(*before, now), (b.x - a.x) * 8 / 10);
            // ... and what the screen shows there is the map.
            const PngPicture pic = read_png_picture(grab_dir() + "/" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() +
                                                    "." + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                                    "-drawing.png");
            ASSERT_GT(pic.width, 0);
            int unlike = 0;
            for (int y = now.y0; y < now.y1; ++y)
                for (int x = now.x0; x < now.x1; ++x) {
                    const OsPoint g = on_grab({x, y}, pic.width, pic.height);
                    unlike += pic.at(g.x, g.y) != now.at(x, y);
                }
            EXPECT_EQ(unlike, 0) << "the screen does not show the map where the line is drawn";
            strip_is_background();
        }),
        idle("release", [&] { os_user_release(map(), b.x, b.y); }),
        check("the profile window is back with the new line's profile", [&] {
            EXPECT_EQ(mainstate.profwin, 1);
            EXPECT_TRUE(os_is_window_visible(profile_frame()));
            EXPECT_GT(dat30.px2, dat30.px1);
            EXPECT_LT(dat30.py2, dat30.py1);
            strip_is_background();
        }),
        grab("after"),
        menu({"End"}),
    });
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(PersonViewsTest, AfterAModflowCalculationEveryAxisLabelIsWhole) {
    // The margin left of the map, with the labels of its vertical scale.
    auto margin = [] {
        return surface(map(), 0, units_y(1000), units_x(1000), units_y(9000));
    };
    auto calculated = std::make_shared<Pixels>();
    auto was = std::make_shared<OsRect>();
    Steps steps{answer("Read default settings from ini file?", "Yes")};
    for (OsUserStep& s : modflow_grid()) steps.push_back(std::move(s));
    Steps rest{
        // In a narrow window the scale's labels take the larger part of the
        // margin.
        idle("the window dragged narrow and tall", [was] {
            os_get_window_rect(main_frame(), *was);
            os_set_window_pos(main_frame(), 0, 0, 0, 700, 900, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
        }),
        menu({"Calculation"}),
        check("calculated", [] { EXPECT_EQ(mainstate.showcontour, 1); }),
        grab("calculated"),
        idle("the labels as the calculation left them", [&] { *calculated = margin(); }),
        check("the labels reach into the outer twentieth of the window", [&] {
            int marks = 0;
            for (int y = calculated->y0; y < calculated->y1; ++y)
                for (int x = 0; x < units_x(500); ++x) marks += calculated->at(x, y) != map_background();
            EXPECT_GT(marks, 0);
        }),
        // Grid points off and on again: two redraws of the same map.
        menu({"Plot", "GRID"}),
        menu({"Plot", "GRID"}),
        grab("redrawn"),
        check("the labels are those of a whole redraw", [&] {
            EXPECT_EQ(count_differing(*calculated, margin()), 0);
        }),
        idle("the window as it was, with the whole menu bar", [was] {
            os_set_window_pos(main_frame(), 0, 0, 0, was->width(), was->height(), OS_SWP_NOMOVE | OS_SWP_NOZORDER);
        }),
        menu({"End"}),
    };
    for (OsUserStep& s : rest) steps.push_back(std::move(s));
    run(std::move(steps));
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(PersonViewsTest, TheModflowDialogOpensOnTheGridInForceAfterARestart) {
    // The sample settings: a Surfer grid from (154991, 462991).
    Steps steps{answer("Read default settings from ini file?", "Yes"), menu({"Grid", "MODFLOW"}),
                fields(104, {{1049, 154991.0}, {1050, 462991.0}, {1051, 0.0}}),
                type_field(104, 1047, "demo.delr"), type_field(104, 1048, "demo.delc"), press(104, 1),
                check("a MODFLOW grid at the Surfer grid's corner", [] {
                    EXPECT_EQ(dat18.gridtype, GridModflow);
                    EXPECT_FLOAT_EQ(dat8.gx0, 154991.0f);
                }),
                menu({"End"})};
    run(std::move(steps));
    ASSERT_EQ(exits, std::vector<int>{0});

    restart();
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        check("the MODFLOW grid came back", [] { EXPECT_EQ(dat18.gridtype, GridModflow); }),
        menu({"Grid", "MODFLOW"}),
        fields(104, {{1049, 154991.0}, {1050, 462991.0}, {1051, 0.0}}),
        press(104, 1),
        check("the grid is as it was", [] {
            EXPECT_EQ(dat18.gridtype, GridModflow);
            EXPECT_FLOAT_EQ(dat8.gx0, 154991.0f);
            EXPECT_FLOAT_EQ(dat8.gy0, 462991.0f);
            EXPECT_EQ(dat12.rotang, 0.0f);
        }),
        menu({"End"}),
    });
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(PersonViewsTest, TheArcInfoDialogOpensOnTheGridInForce) {
    Steps steps{
        answer("Read default settings from ini file?", "Yes"),
        // An Arc-Info grid first, so that a cell size is kept from it.
        menu({"Grid", "Arc-Info"}),
        press(103, 1),
        check("an Arc-Info grid", [] { EXPECT_EQ(dat18.gridtype, GridArcInfo); }),
        // Then a Surfer grid of 41 x 31 points 50 m apart.
        menu({"Grid", "Surfer"}),
        type_field(101, 1001, "155000"),
        type_field(101, 1004, "463000"),
        type_field(101, 1006, "157000"),
        type_field(101, 1007, "464500"),
        type_field(101, 1009, "41"),
        type_field(101, 1012, "31"),
        press(101, 1),
        check("the Surfer grid", [] {
            EXPECT_EQ(dat18.gridtype, GridSurfer);
            EXPECT_FLOAT_EQ(dat8.dx, 50.0f);
        }),
        // Its points are the centres of 50 m cells.
        menu({"Grid", "Arc-Info"}),
        fields(103, {{1034, 154975.0}, {1036, 462975.0}, {1039, 50.0}, {1035, 41}, {1037, 31}, {1041, 0}}),
        grab("arcinfo-over-surfer"),
        press(103, 1),
        check("the same points", [] {
            EXPECT_EQ(dat18.gridtype, GridArcInfo);
            EXPECT_FLOAT_EQ(dat8.gx0, 155000.0f);
            EXPECT_FLOAT_EQ(dat8.gy0, 463000.0f);
            EXPECT_FLOAT_EQ(dat8.gx1, 157000.0f);
            EXPECT_FLOAT_EQ(dat8.gy1, 464500.0f);
        }),
    };
    for (OsUserStep& s : modflow_grid()) steps.push_back(std::move(s));
    // The MODFLOW grid's cells, 50.5 m wide and 51.5 m high on average: the
    // Arc-Info cells take the narrower size over the same area, from the
    // same corner.
    auto mf = std::make_shared<Dat8>();
    steps.push_back(idle("remember the MODFLOW grid", [mf] { *mf = dat8; }));
    steps.push_back(menu({"Grid", "Arc-Info"}));
    steps.push_back({"fields of dialog 103 over the MODFLOW grid", true, [mf] {
                         if (!dialog_up(103)) return false;
                         auto number = [](int f) { return std::stod(trimmed(os_get_window_text(dialog_field(103, f)))); };
                         const double w = mf->gx1 - mf->gx0, h = mf->gy1 - mf->gy0;
                         const double c = number(1039);
                         EXPECT_NEAR(c, std::fmin(w / dat16.ncol, h / dat16.nrow), 0.006);
                         EXPECT_NEAR(number(1034), mf->gx0, 0.006);
                         EXPECT_NEAR(number(1036), mf->gy0, 0.006);
                         EXPECT_EQ(number(1035), std::round(w / c));
                         EXPECT_EQ(number(1037), std::round(h / c));
                         return true;
                     }});
    steps.push_back(press(103, 2));
    steps.push_back(menu({"End"}));
    run(std::move(steps));
    EXPECT_EQ(exits, std::vector<int>{0});
}
