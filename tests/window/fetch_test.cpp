#include "lib/window/fetch.h"

#include "lib/window/menus.h"
#include "lib/window/winclose.h"
#include "lib/window/winops.h"
#include "platform/os_menu.h"
#include "tests/window/window_fixture.h"

namespace {

class FetchTest : public WindowTest {};

TEST_F(FetchTest, PeekOnEmptyQueueGivesMinusOneEverywhereAndKeepsTheReals) {
    open(200, 100);
    settle();
    WindowMessage m;
    m.GX = 1.5f;
    m.GY = 2.5f;
    m.GX2 = 3.5f;
    m.GY2 = 4.5f;
    EXPECT_EQ(peek(m), -1);
    for (std::int32_t v : {m.WIN, m.VALUE1, m.VALUE2, m.VALUE3, m.VALUE4, m.X, m.Y, m.TIME}) EXPECT_EQ(v, -1);
    EXPECT_EQ(m.GX, 1.5f);
    EXPECT_EQ(m.GY, 2.5f);
    EXPECT_EQ(m.GX2, 3.5f);
    EXPECT_EQ(m.GY2, 4.5f);
    EXPECT_EQ(wmsg.bInWMessage, 0);
}

TEST_F(FetchTest, ClickGivesWindowUnitsAndWorldCoordinates) {
    open(201, 101);
    settle();
    windowselect(0);
    IGrUnits(0.0f, 0.0f, 100.0f, 50.0f);
    os_input_mouse(wtab.hClient[0], OS_MOUSE_PRESS, 1, 100, 50);
    WindowMessage m;
    std::int32_t type = 0;
    wmessage(type, m);
    ASSERT_EQ(type, MsgMouseDown);
    EXPECT_EQ(m.WIN, 0);
    EXPECT_EQ(m.VALUE1, 1);
    // Pixel 100 of 201 is the middle: (100.5 * 9999 / 201) truncated.
    EXPECT_EQ(m.X, static_cast<std::int32_t>(100.5 * 9999 / 201));
    EXPECT_EQ(m.Y, static_cast<std::int32_t>(50.5 * 9999 / 101));
    EXPECT_NEAR(m.GX, 50.0f, 0.3f);
    EXPECT_NEAR(m.GY, 25.0f, 0.3f);
}

TEST_F(FetchTest, ClickInASecondWindowUsesItsSizeAndLeavesTheCurrentMapping) {
    open(400, 300);
    make_child(1, 10, 10, 101, 51);
    settle();
    windowselect(0);
    IGrUnits(0.0f, 0.0f, 1000.0f, 1000.0f);
    const GraphicsState before = gstate;
    const auto size_before = quinda.window_size;

    os_input_mouse(wtab.hClient[1], OS_MOUSE_PRESS, 1, 50, 0);
    WindowMessage m;
    std::int32_t type = 0;
    wmessage(type, m);
    ASSERT_EQ(type, MsgMouseDown);
    EXPECT_EQ(m.WIN, 1);
    // Window units of the 101 x 51 child, not of the 400 x 300 root.
    EXPECT_EQ(m.X, static_cast<std::int32_t>(50.5 * 9999 / 101));
    EXPECT_EQ(m.Y, static_cast<std::int32_t>(0.5 * 9999 / 51));
    // World units over the child's pixels: the middle column, the top row.
    EXPECT_NEAR(m.GX, 500.0f, 1.0f);
    EXPECT_NEAR(m.GY, 1000.0f * (50.5f / 50.99f), 1.0f);
    // The root's mapping is back as it was.
    EXPECT_EQ(gstate.wx1, before.wx1);
    EXPECT_EQ(gstate.wy1, before.wy1);
    EXPECT_EQ(gstate.sx, before.sx);
    EXPECT_EQ(gstate.sy, before.sy);
    EXPECT_EQ(gstate.height_max, before.height_max);
    EXPECT_EQ(quinda.window_size, size_before);
}

TEST_F(FetchTest, AcceleratorOfAnAncestorNamesTheChildsSlot) {
    open(400, 300, 601);
    make_child(1, 10, 10, 100, 50);
    settle();
    ASSERT_NE(wtab.hAccel[0], 0);
    ASSERT_EQ(wtab.hMenuRoot[1], 0);
    // Keys go to the window holding the focus: the child's.
    os_set_focus(wtab.hClient[1]);
    os_input_key(wtab.hClient[1], 'O', OS_IN_CONTROL);
    WindowMessage m;
    std::int32_t type = 0;
    wmessage(type, m);
    EXPECT_EQ(type, MsgMenu);
    EXPECT_EQ(m.VALUE1, 611);
    EXPECT_EQ(m.WIN, 1);
    // The key went to the accelerator and produced no key message.
    EXPECT_EQ(peek(m), -1);
}

TEST_F(FetchTest, KeyWithoutAcceleratorIsAKeyMessage) {
    open(200, 100, 601);
    settle();
    os_input_key(wtab.hClient[0], 'O', 0);
    WindowMessage m;
    ASSERT_EQ(peek(m), MsgKey);
    EXPECT_EQ(m.VALUE1, 'o');
    os_input_key(wtab.hClient[0], OS_VK_F1, 0);
    ASSERT_EQ(peek(m), MsgMenu);
    EXPECT_EQ(m.VALUE1, 617);
    EXPECT_EQ(m.WIN, 0);
}

TEST_F(FetchTest, SupersededDeferredResizeIsNotReturnedTwice) {
    open(200, 100);
    settle();
    // The program is busy (no fetch): the resize waits in the deferred table.
    OsRect fr;
    os_get_window_rect(wtab.wWindow[0], fr);
    os_set_window_pos(wtab.wWindow[0], 0, 0, 0, fr.width() + 30, fr.height(), OS_SWP_NOMOVE | OS_SWP_NOZORDER);
    ASSERT_EQ(wmsg.QDXMessages[0].type, MsgResize);
    os_input_key(wtab.hClient[0], 'A', OS_IN_SHIFT);
    WindowMessage m;
    // The deferred resize comes first, before the queued key.
    ASSERT_EQ(peek(m), MsgResize);
    EXPECT_EQ(m.VALUE1, 230);
    EXPECT_EQ(wmsg.QDXMessages[0].type, 0);
    ASSERT_EQ(peek(m), MsgKey);
    EXPECT_EQ(m.VALUE1, 'A');
    EXPECT_EQ(peek(m), -1);
}

TEST_F(FetchTest, ResizeMadeDuringTheFetchIsReturnedOnce) {
    open(200, 100);
    settle();
    // A click on the maximise box: its handling sizes the window while the
    // fetch runs, which both completes the message and defers it.
    os_post_message(wtab.wWindow[0], OSM_NCLBUTTONDOWN, OS_HTMAXBUTTON, 0);
    WindowMessage m;
    ASSERT_EQ(peek(m), MsgResize);
    EXPECT_GT(m.VALUE1, 200);
    EXPECT_EQ(wmsg.QDXMessages[0].type, 0);
    while (true) {
        const std::int32_t t = peek(m);
        ASSERT_NE(t, MsgResize);
        if (t == -1) break;
    }
}

TEST_F(FetchTest, ResizeOfTheCurrentWindowUpdatesSizeAndScale) {
    open(200, 100);
    settle();
    windowselect(0);
    IGrUnits(0.0f, 0.0f, 10.0f, 10.0f);
    OsRect fr;
    os_get_window_rect(wtab.wWindow[0], fr);
    os_input_resize(wtab.wWindow[0], fr.width() + 100, fr.height() + 20);
    WindowMessage m;
    ASSERT_EQ(peek(m), MsgResize);
    EXPECT_EQ(m.VALUE1, 300);
    EXPECT_EQ(m.VALUE2, 120);
    EXPECT_EQ(quinda.window_size[0], 300);
    EXPECT_EQ(quinda.window_size[1], 120);
    EXPECT_EQ(gstate.width, 300);
    EXPECT_NEAR(gstate.sx, 299.99f / 10.0f, 1e-3f);
}

TEST_F(FetchTest, ResizeOfAnotherWindowLeavesTheCurrentSize) {
    open(400, 300);
    make_child(1, 0, 0, 100, 50);
    settle();
    windowselect(0);
    const float sx = gstate.sx;
    os_set_window_pos(wtab.wWindow[1], 0, 0, 0, 120, 60, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
    WindowMessage m;
    ASSERT_EQ(peek(m), MsgResize);
    EXPECT_EQ(m.WIN, 1);
    EXPECT_EQ(quinda.window_size[0], 400);
    EXPECT_EQ(gstate.sx, sx);
}

TEST_F(FetchTest, ExposeBecomesWindowUnitsWithDifferences) {
    open(201, 101);
    settle();
    windowselect(0);
    os_invalidate_rect(wtab.hClient[0], nullptr, true);
    WindowMessage m;
    ASSERT_EQ(peek(m), MsgExpose);
    // The corner is pixel 0, 0: units of its centre.
    EXPECT_EQ(m.X, static_cast<std::int32_t>(0.5 * 9999 / 201));
    EXPECT_EQ(m.Y, static_cast<std::int32_t>(0.5 * 9999 / 101));
    // Far corner 200, 100 in units less the corner's units.
    EXPECT_EQ(m.VALUE1, static_cast<std::int32_t>(200.5 * 9999 / 201) - static_cast<std::int32_t>(0.5 * 9999 / 201));
    EXPECT_EQ(m.VALUE2, static_cast<std::int32_t>(100.5 * 9999 / 101) - static_cast<std::int32_t>(0.5 * 9999 / 101));
}

TEST_F(FetchTest, MenuCommandsPassUnchanged) {
    open(200, 100, 601);
    settle();
    os_input_menu(wtab.wWindow[0], {{0, 1}, true});
    WindowMessage m;
    m.X = 77;
    ASSERT_EQ(peek(m), MsgMenu);
    EXPECT_EQ(m.VALUE1, 612);
    EXPECT_EQ(m.X, -1);
    EXPECT_EQ(m.WIN, 0);
}

}  // namespace

namespace {

// A window opened after windowclose inherits nothing of the menus, keys and
// tool bars of the one before.
TEST_F(FetchTest, ReopenedWindowWithoutMenuKeepsNoneOfTheOldOnes) {
    open(200, 100, 601, {603, 0, 0, 0});
    settle();
    ASSERT_NE(wtab.hAccel[0], 0);
    windowclose();
    for (std::size_t s = 0; s < wtab.hMenuRoot.size(); ++s) {
        EXPECT_EQ(wtab.hMenuRoot[s], 0) << s;
        EXPECT_EQ(wtab.hAccel[s], 0) << s;
        EXPECT_EQ(wtab.hQDXMenuString[s], 0) << s;
        EXPECT_EQ(wtab.nMenuString[s], 0) << s;
        EXPECT_TRUE(wtab.pTooltip[s].empty()) << s;
        EXPECT_EQ(wtab.nTooltip[s], 0) << s;
    }
    open(200, 100);
    settle();
    // The old accelerator key is an ordinary key now.
    os_input_key(wtab.hClient[0], 'O', OS_IN_CONTROL);
    WindowMessage m;
    EXPECT_EQ(peek(m), MsgKey);
    EXPECT_EQ(m.VALUE1, 15);
    // Greying a command of the old menu finds it nowhere.
    std::int32_t status = 611;
    yymngrey(status, 0);
    EXPECT_EQ(status, -1);
}

}  // namespace
