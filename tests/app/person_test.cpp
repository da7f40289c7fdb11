// The program as a modeller drives it: real keys, clicks, menus, tool-bar
// buttons, dialogs and close boxes into the real windows, the program's own
// loop taking them. The screen grabs are kept under build/person-grabs.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/mainstate.h"
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

TEST_F(PersonTest, CloseBoxesOfTheProfileWindowAndOfTheProgram) {
    int slot = 0;
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
        }),
        menu({"Profile", "Graphical"}),
        idle("draw it again", [] { os_user_drag(map(), 150, 350, 450, 150); }),
        check("open again", [&] { ASSERT_EQ(mainstate.profwin, 1); }),
        close_main(),
    });
    // The main window's close box ends the program at once, the profile
    // window open or not, and the settings are written.
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(std::filesystem::exists("zeltramo.ini"));
}
