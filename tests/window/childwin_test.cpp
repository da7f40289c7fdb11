// Child windows: opening with their statuses and errors, the geometry of
// inside children, and closing with everything that lives in them.
#include <gtest/gtest.h>

#include <vector>

#include "lib/window/childwin.h"
#include "lib/window/errors.h"
#include "lib/window/winops.h"
#include "tests/window/window_fixture.h"

namespace {

class ChildWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        infoerror(1);
    }
    OsRect client_rect(std::int32_t slot) {
        OsRect r;
        os_get_window_rect(wtab.hClient[static_cast<std::size_t>(slot)], r);
        return r;
    }
};

}  // namespace

TEST_F(ChildWindowTest, BadNumbersAreReportedAndTheSizeKept) {
    open(300, 200);
    std::int32_t child = 0;
    WindowOpenChild(child, 0x10 | 7, 0, 0, 5000, 5000, 0, {}, 0, "", 51);
    EXPECT_EQ(infoerror(1), 1003);
    EXPECT_EQ(child, -1);
    EXPECT_EQ(quinda.window_size[0], 300);   // the size of the current window is kept
    for (std::int32_t bad : {0, 51, 12}) {
        WindowCloseChild(bad);
        EXPECT_EQ(infoerror(1), 1003) << bad;
    }
}

TEST_F(ChildWindowTest, AllSlotsTakenGivesMinusOneSilently) {
    open(300, 200);
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
        std::int32_t c = 0;
        WindowOpenChild(c, 0x10 | 0x80, 0, 0, 1000, 1000);
        ASSERT_EQ(c, s);
    }
    std::int32_t c = 0;
    WindowOpenChild(c, 0x10, 0, 0, 1000, 1000);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(infoerror(1), 0);
    // A freed slot is the next one taken.
    WindowCloseChild(17);
    WindowOpenChild(c, 0x10, 0, 0, 1000, 1000);
    EXPECT_EQ(c, 17);
}

TEST_F(ChildWindowTest, InsideChildGeometryInWindowUnits) {
    open(400, 300);
    const OsRect parent = client_rect(0);
    std::int32_t c = 0;
    WindowOpenChild(c, 0x10 | 0x40, 0, 0, 9999, 9999);
    ASSERT_EQ(c, 1);
    OsRect frame;
    os_get_window_rect(wtab.wWindow[1], frame);
    // The frame's client covers the parent's client area; the frame itself reaches beyond it.
    EXPECT_EQ(client_rect(1).width(), parent.width());
    EXPECT_EQ(client_rect(1).height(), parent.height());
    EXPECT_EQ(frame.left, parent.left);
    EXPECT_EQ(frame.top, parent.top);
    EXPECT_EQ(quinda.current_slot, 1);
    EXPECT_EQ(quinda.open_flags[1], 0x50);

    // Width and height 0: 8000/9999 of the parent; a position in units.
    WindowOpenChild(c, 0x10 | 0x40, 5000, 2500, 0, 0, 0, {}, 0, "", 0);
    ASSERT_EQ(c, 2);
    EXPECT_EQ(client_rect(2).width(), 8000 * 400 / 9999);
    EXPECT_EQ(client_rect(2).height(), 8000 * 300 / 9999);
    os_get_window_rect(wtab.wWindow[2], frame);
    EXPECT_EQ(frame.left - parent.left, 5000 * 399 / 9999);
    EXPECT_EQ(frame.top - parent.top, 2500 * 299 / 9999);

    // Centred inside the parent; a tool window has the small caption.
    WindowOpenChild(c, 0x10 | 0x40 | 0x10000, CentredPosition, CentredPosition, 5000, 5000);
    os_get_window_rect(wtab.wWindow[3], frame);
    EXPECT_EQ(frame.left - parent.left, (parent.width() - frame.width()) / 2);
    EXPECT_EQ(frame.height() - client_rect(3).height(), 15 + 2 * 3);
}

TEST_F(ChildWindowTest, ClosingTakesOwnedAndInsideWindowsAndHandsOnThePrevious) {
    open(400, 300);
    std::int32_t a = 0, b = 0, c = 0, d = 0;
    WindowOpenChild(a, 7, 20, 20, 200, 150);                         // from the root
    WindowOpenChild(b, 7 | 0x100, 40, 40, 100, 80, 0, {}, 0, "", a); // owned by a
    WindowOpenChild(c, 0x10 | 7, 0, 0, 5000, 5000, 0, {}, 0, "", a); // inside a
    windowselect(a);
    os_set_focus(wtab.hClient[static_cast<std::size_t>(a)]);
    WindowOpenChild(d, 7, 60, 60, 100, 80);                          // opened from a
    ASSERT_EQ((std::vector<std::int32_t>{a, b, c, d}), (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(wtab.hPrevious[4], wtab.wWindow[1]);
    const OsHandle root = wtab.wWindow[0], frame_a = wtab.wWindow[1];
    EXPECT_EQ(wtab.hPrevious[1], root);
    // Editor buffers of the windows that go are emptied.
    for (std::int32_t s : {1, 2, 3}) {
        EditBufEntry* e = quinda.EDITBUF.at(s, 1);
        ASSERT_NE(e, nullptr);
        e->FILENAME = "kept.txt";
        e->name_present = 1;
    }

    windowselect(1);
    WindowCloseChild(1);
    EXPECT_EQ(infoerror(1), 0);
    for (std::size_t s : {1u, 2u, 3u}) {
        EXPECT_EQ(wtab.wWindow[s], 0) << s;
        EXPECT_EQ(wtab.hClient[s], 0) << s;
        EXPECT_EQ(quinda.EDITBUF.at(static_cast<int>(s), 1)->name_present, 0) << s;
    }
    EXPECT_NE(wtab.wWindow[4], 0);
    EXPECT_EQ(wtab.hPrevious[4], root);
    EXPECT_FALSE(os_is_window(frame_a));
    // The current window closed: the root is current.
    EXPECT_EQ(quinda.current_slot, 0);
    EXPECT_EQ(quinda.open_flags[1], -1);
    EXPECT_EQ(wtab.hWinCur, wtab.wWindow[4]);   // the window with the keyboard stays the current handle
}

TEST_F(ChildWindowTest, CaptionDragMovesAnInsideChild) {
    open(400, 300);
    std::int32_t c = 0;
    WindowOpenChild(c, 0x10 | 7, 0, 0, 5000, 5000);
    const OsHandle f = wtab.wWindow[1];
    OsRect before;
    os_get_window_rect(f, before);
    // Press on the caption (above the client area's origin), drag, release.
    os_input_mouse(f, OS_MOUSE_PRESS, 1, 30, -10);
    os_input_mouse(f, OS_MOUSE_MOVE, 0, 70, 10);
    os_input_mouse(f, OS_MOUSE_RELEASE, 1, 70, 10);
    OsRect after;
    os_get_window_rect(f, after);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 20);
    EXPECT_EQ(after.width(), before.width());

    // The bottom-right corner of the sizing border sizes it (the client
    // area starts 4 pixels in and 23 down).
    const OsRect r = after;
    os_input_mouse(f, OS_MOUSE_PRESS, 1, r.width() - 6, r.height() - 25);
    os_input_mouse(f, OS_MOUSE_MOVE, 0, r.width() + 14, r.height() - 4);
    os_input_mouse(f, OS_MOUSE_RELEASE, 1, r.width() + 14, r.height() - 4);
    os_get_window_rect(f, after);
    EXPECT_EQ(after.width() - r.width(), 20);
    EXPECT_EQ(after.height() - r.height(), 21);
}
