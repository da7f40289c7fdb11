// Split windows, driven as the user drives them: drags on the bar, sizes
// of the split window, closing.
#include <gtest/gtest.h>

#include "lib/grid/editor.h"
#include "platform/os_msgbox.h"
#include "platform/os_richedit.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "lib/window/childwin.h"
#include "lib/window/errors.h"
#include "lib/window/splitwin.h"
#include "lib/window/winops.h"
#include "tests/support/png_picture.h"
#include "tests/window/window_fixture.h"

namespace {

constexpr std::int32_t kPaneFrame = 19 + 2 * 3;   // caption and fixed borders of a pane, top to bottom

class SplitWindowTest : public WindowTest {
protected:
    // The root (client 400 x 354) split into two panes stacked.
    void split(std::int32_t flags, std::int32_t f1 = 0, std::int32_t f2 = 0, std::int32_t size = 100,
               std::int32_t menu1 = 0) {
        open(400, 354, 601, {}, 7);
        windowselect(0);
        std::int32_t d1 = 0, d2 = 0;
        yywindowsplit(p1, p2, flags, f1, f2, size, menu1, 0, {}, {}, d1, d2, "First", "Second");
        ASSERT_EQ(p1, 1);
        ASSERT_EQ(p2, 2);
        rec = yysplitrecord(wtab.wWindow[0]);
        ASSERT_NE(rec, nullptr);
        bar = rec->bar_handle();
    }
    OsRect in_client(OsHandle w) {
        OsRect r;
        os_get_window_rect(w, r);
        OsPoint o{0, 0};
        os_client_to_screen(wtab.hClient[0], o);
        return {r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
    }
    std::int32_t pane_client_height(std::int32_t slot) {
        OsRect r;
        os_get_client_rect(wtab.hClient[static_cast<std::size_t>(slot)], r);
        return r.height();
    }
    // Press on the bar, move in two steps, release; positions in the split
    // window's client, which stays where it is.
    void drag_bar(std::int32_t dx, std::int32_t dy) {
        const OsRect b = in_client(bar);
        const OsHandle c = wtab.hClient[0];
        os_input_mouse(bar, OS_MOUSE_PRESS, 1, 50, 2);
        os_input_mouse(c, OS_MOUSE_MOVE, 0, b.left + 50 + dx / 2, b.top + 2 + dy / 2);
        os_input_mouse(c, OS_MOUSE_MOVE, 0, b.left + 50 + dx, b.top + 2 + dy);
        os_input_mouse(c, OS_MOUSE_RELEASE, 1, b.left + 50 + dx, b.top + 2 + dy);
    }

    std::int32_t p1 = 0, p2 = 0;
    SplitWindowRecord* rec = nullptr;
    OsHandle bar = 0;
};

}  // namespace

TEST_F(SplitWindowTest, PanesAndBarOfASplit) {
    split(SplitStacked, 0, 0, 100, 605);
    EXPECT_EQ(os_get_class_name(bar), "QUINSPLITH");
    EXPECT_EQ(rec->slot(), 0);
    EXPECT_EQ(rec->bar_moving(), -999);
    EXPECT_EQ(rec->pane1_frame(), wtab.wWindow[1]);
    // Pane 1 has a client 100 high, then the bar, then pane 2 to the end.
    EXPECT_EQ(pane_client_height(1), 100);
    EXPECT_EQ(rec->pane1_extent(), 100);
    EXPECT_EQ(in_client(bar).top, 100 + kPaneFrame);
    EXPECT_EQ(in_client(bar).height(), 4);
    EXPECT_EQ(in_client(wtab.wWindow[2]).bottom, 354);
    EXPECT_EQ(rec->pane2_extent(), 354 - 100 - 2 * kPaneFrame - 4);
    // Pane 1's menu is the menu of the frame.
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), wtab.hMenuRoot[1]);
    // A second split of the same window, and a split of a window with inside children, are refused.
    windowselect(0);
    std::int32_t a = 0, b = 0, d1 = 0, d2 = 0;
    yywindowsplit(a, b, 0, 0, 0, -1, 0, 0, {}, {}, d1, d2, "", "");
    EXPECT_EQ(a, -4);
    windowselect(2);
    std::int32_t c = 0;
    WindowOpenChild(c, 0x10 | 7, 0, 0, 5000, 5000, 0, {}, 0, "", 2);
    windowselect(2);
    yywindowsplit(a, b, 0, 0, 0, -1, 0, 0, {}, {}, d1, d2, "", "");
    EXPECT_EQ(a, -6);
    EXPECT_EQ(b, -6);
}

TEST_F(SplitWindowTest, DraggingTheBarMovesItAlongTheSplitOnly) {
    split(SplitStacked);
    const OsRect before = in_client(bar);
    drag_bar(30, 40);
    const OsRect after = in_client(bar);
    EXPECT_EQ(after.left, before.left);     // pinned across the split direction
    EXPECT_EQ(after.top, before.top + 40);
    EXPECT_EQ(rec->bar_moving(), -999);     // released
    EXPECT_EQ(pane_client_height(1), 140);
    EXPECT_EQ(rec->pane1_extent(), 140);
    EXPECT_EQ(rec->pane2_extent(), pane_client_height(2));
    EXPECT_EQ(in_client(wtab.wWindow[2]).top, after.bottom);
    // The bar cannot leave the split window.
    drag_bar(0, 1000);
    EXPECT_EQ(in_client(bar).bottom, 354);
}

TEST_F(SplitWindowTest, ProportionalLayoutKeepsTheRatio) {
    split(SplitStacked | SplitProportional);
    // Recorded lengths 100 and 300; the room for the two clients is 300.
    rec->pane1_extent() = 100;
    rec->pane2_extent() = 300;
    yysplitlayout(wtab.hClient[0]);
    EXPECT_EQ(pane_client_height(1), 75);
    EXPECT_EQ(pane_client_height(2), 225);
    OsRect fr;
    os_get_window_rect(wtab.wWindow[0], fr);
    os_input_resize(wtab.wWindow[0], fr.width(), fr.height() + 100);
    EXPECT_EQ(pane_client_height(1), 100);   // 25 more
    EXPECT_EQ(pane_client_height(2), 300);   // 75 more

    // Both lengths 0: equal halves, no division by zero.
    rec->pane1_extent() = rec->pane2_extent() = 0;
    yysplitlayout(wtab.hClient[0]);
    EXPECT_EQ(pane_client_height(1), 200);
    EXPECT_EQ(pane_client_height(2), 200);
}

TEST_F(SplitWindowTest, ResizeKeepsTheFirstOrTheSecondPane) {
    struct Case {
        std::int32_t flags, f2;
        std::int32_t first, second;   // client heights after the split window grew by 50
    };
    const Case cases[] = {
        {SplitStacked, 0, 100, 250},                    // pane 2 takes the change
        {SplitStacked | SplitKeepSecond, 0, 250, 100},  // pane 2 has the size given and keeps it
        {SplitStacked, PaneFixed, 150, 200},            // so does a fixed pane 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags * 100 + c.f2);
        reset_window_state();
        reset_message_state();
        split(c.flags, 0, c.f2);
        OsRect fr;
        os_get_window_rect(wtab.wWindow[0], fr);
        os_input_resize(wtab.wWindow[0], fr.width(), fr.height() + 50);
        EXPECT_EQ(pane_client_height(1), c.first);
        EXPECT_EQ(pane_client_height(2), c.second);
        // The next case starts from a fresh window table: the split goes
        // first, as closing the window would take it.
        yysplitdetach(wtab.wWindow[0]);
    }
}

TEST_F(SplitWindowTest, FixedFirstPaneCannotBeDragged) {
    split(SplitStacked, PaneFixed);
    const OsRect before = in_client(bar);
    drag_bar(0, 40);
    EXPECT_EQ(in_client(bar).top, before.top);
    os_set_cursor(0);
    os_input_mouse(bar, OS_MOUSE_PRESS, 1, 5, 1);
    os_input_mouse(bar, OS_MOUSE_RELEASE, 1, 5, 1);
    EXPECT_EQ(os_get_cursor(), 0);   // no sizing cursor
    EXPECT_EQ(os_send_message(bar, OSM_NCHITTEST, 0, 0), OS_HTBORDER);

    // Without the fixed pane the bar shows the sizing cursor.
    rec->pane1_flags() = 0;
    os_input_mouse(bar, OS_MOUSE_PRESS, 1, 5, 1);
    os_input_mouse(bar, OS_MOUSE_RELEASE, 1, 5, 1);
    EXPECT_EQ(os_get_cursor(), os_load_cursor(OS_IDC_SIZENS));
}

TEST_F(SplitWindowTest, NestedFixedRule) {
    split(SplitStacked);
    // Pane 2 split again, side by side.
    windowselect(2);
    std::int32_t a = 0, b = 0, d1 = 0, d2 = 0;
    yywindowsplit(a, b, 0, 0, 0, 50, 0, 0, {}, {}, d1, d2, "Left", "Right");
    ASSERT_EQ(a, 3);
    ASSERT_EQ(b, 4);
    SplitWindowRecord* inner = yysplitrecord(wtab.wWindow[2]);
    ASSERT_NE(inner, nullptr);
    struct Case {
        std::int32_t outer_pane2;          // option word of pane 2 of the outer split
        std::int32_t inner_flags, f3, f4;  // the inner split
        std::int32_t axis;
        std::int32_t fixed;
    };
    const Case cases[] = {
        {PaneFixed, 0, 0, 0, 1, 1},                      // fixed along the outer split direction
        {PaneFixed, 0, 0, 0, 0, 0},                      // but not across it
        {0, 0, PaneFixed, PaneFixed, 0, 1},              // inner split: both panes fixed along its direction
        {0, 0, PaneFixed, 0, 0, 0},                      // one is not enough along it
        {0, SplitProportional, PaneFixed, PaneFixed, 0, 0},   // proportional: never along it
        {0, SplitStacked, PaneFixed, PaneFixed, 1, 1},   // the same stacked
        {0, SplitStacked, PaneFixed, 0, 1, 0},
        {0, SplitStacked, PaneFixed, PaneFixed, 0, 0},   // across the inner direction the panes are free
    };
    for (const Case& c : cases) {
        rec->pane2_flags() = c.outer_pane2;
        inner->flags() = c.inner_flags;
        inner->pane1_flags() = c.f3;
        inner->pane2_flags() = c.f4;
        EXPECT_EQ(yySplitFixed(*rec, 1, c.axis), c.fixed)
            << c.outer_pane2 << " " << c.inner_flags << " " << c.f3 << " " << c.f4 << " axis " << c.axis;
    }

    // The rule on the split window itself gives its size limits and borders.
    rec->pane1_flags() = PaneFixed;
    rec->pane2_flags() = PaneFixed;
    OsMinMaxInfo mm;
    mm.max_track = {5000, 5000};
    os_send_message(wtab.wWindow[0], OSM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&mm));
    EXPECT_EQ(mm.min_track.y, rec->split_height());
    EXPECT_EQ(mm.max_track.y, rec->split_height());
    EXPECT_EQ(mm.max_track.x, 5000);
}

TEST_F(SplitWindowTest, ClosingAPaneUndoesTheSplit) {
    split(SplitStacked, 0, 0, 100, 605);
    const OsHandle root_menu = wtab.hMenuRoot[0];
    EXPECT_NE(os_get_menu(wtab.wWindow[0]), root_menu);
    WindowCloseChild(2);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(wtab.wWindow[1], 0);
    EXPECT_EQ(wtab.wWindow[2], 0);
    EXPECT_FALSE(os_is_window(bar));
    EXPECT_EQ(yysplitrecord(wtab.wWindow[0]), nullptr);
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), root_menu);
    EXPECT_EQ(os_child_windows(wtab.hClient[0]).size(), 0u);
}

TEST_F(SplitWindowTest, PaneRefusingToCloseGivesNoCloseMessage) {
    split(SplitStacked);
    // Pane 2 is a multi-file editor holding three modified files.
    os_register_controls();
    const OsHandle re = os_create_window(0, "RichEdit20A", "", OS_WS_CHILD | OS_ES_MULTILINE, 0, 0, 50, 50, wtab.wWindow[2], 0, 1002);
    EditorWindowData* e = yyeditattach(wtab.wWindow[2], re, EWF_MULTIFILE);
    ASSERT_NE(e, nullptr);
    e->nBuffers = 3;
    os_send_message(re, EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>("one"));
    for (std::int32_t b = 2; b <= 3; ++b) {
        EditBufEntry* entry = quinda.EDITBUF.at(2, b);
        entry->DATA.assign(3, 'x');
        entry->text_length = 3;
        entry->text_present = 1;
        entry->values = {3, 1, 0, 0, 1, 0};   // saved state 0: modified
    }
    static int asked = 0, answer = 0;
    asked = 0;
    answer = OS_IDCANCEL;
    os_message_box_set_responder([](const OsMessageBoxRequest&) {
        ++asked;
        return answer;
    });
    settle();
    wmsg.wValidMessage = 1;
    wmsg.wMessageType = 0;
    os_input_close(wtab.wWindow[0]);
    WindowMessage m;
    EXPECT_NE(peek(m), MsgClose);   // no close request
    EXPECT_EQ(asked, 1);

    // Not saved but allowed: every modified file is asked about in turn, then the request comes.
    answer = OS_IDNO;
    asked = 0;
    os_input_close(wtab.wWindow[0]);
    EXPECT_EQ(peek(m), MsgClose);
    EXPECT_EQ(asked, 3);
    os_message_box_set_responder({});
    yyeditdetach(wtab.wWindow[2]);
}

// The grab of a split window holding a child in its second pane shows each
// window's own picture where it lies: the first pane's clear colour, the
// child's over the second pane, the second pane around it, and the bar.
TEST_F(SplitWindowTest, SplitHoldingAChildDrawn) {
    split(SplitStacked, 0, 0, 120, 605);
    windowselect(2);
    std::int32_t c = 0;
    WindowOpenChild(c, 0x10 | 7, 1000, 1000, 6000, 6000, 0, {}, 0, "Profile", 2);
    ASSERT_EQ(c, 3);
    windowselect(3);
    windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 12);
    windowselect(1);
    windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 9);
    TempDir dir;
    const std::string png = dir.file("split.png");
    ASSERT_TRUE(os_grab_window_png(wtab.wWindow[0], png));
    if (const char* keep = std::getenv("QUINDA_KEEP_GRAB")) write_file(std::string(keep) + "/split.png", read_file(png));
    const PngPicture pic = read_png_picture(png);
    // The grab is the client area with the menu bar above it.
    OsRect frame;
    os_get_client_rect(wtab.wWindow[0], frame);
    ASSERT_EQ(pic.width, frame.width());
    const int menu = pic.height - frame.height();
    EXPECT_GT(menu, 0);
    OsPoint origin{0, 0};
    os_client_to_screen(wtab.wWindow[0], origin);
    auto grabbed = [&](OsHandle w, int x, int y) {
        OsPoint p{x, y};
        os_client_to_screen(w, p);
        return pic.at(p.x - origin.x, p.y - origin.y + menu);
    };
    auto centre = [](OsHandle w) {
        OsRect r;
        os_get_client_rect(w, r);
        return OsPoint{r.width() / 2, r.height() / 2};
    };
    const OsHandle pane1 = wtab.hClient[1], pane2 = wtab.hClient[2], child = wtab.hClient[3];
    struct Place {
        const char* what;
        OsHandle w;
        OsPoint p;
    } const places[] = {{"first pane", pane1, centre(pane1)},
                        {"child", child, centre(child)},
                        {"second pane beside the child", pane2, {2, 2}},
                        {"split bar", bar, centre(bar)}};
    for (const Place& p : places) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(grabbed(p.w, p.p.x, p.p.y), os_surface_pixel(p.w, p.p.x, p.p.y));
    }
    EXPECT_NE(grabbed(pane1, centre(pane1).x, centre(pane1).y), grabbed(child, centre(child).x, centre(child).y));
    EXPECT_NE(grabbed(child, centre(child).x, centre(child).y), grabbed(pane2, 2, 2));
}

TEST_F(SplitWindowTest, FocusedPaneShowsItsMenuAndTakesTheCommands) {
    open(400, 354, 601, {}, 7);
    windowselect(0);
    std::int32_t d1 = 0, d2 = 0;
    yywindowsplit(p1, p2, 0, 0, 0, -1, 605, 0, {}, {}, d1, d2, "Left", "Right");
    ASSERT_EQ(p2, 2);
    EXPECT_EQ(os_get_class_name(yysplitrecord(wtab.wWindow[0])->bar_handle()), "QUINSPLITV");
    // Equal halves side by side.
    OsRect a, b;
    os_get_window_rect(wtab.wWindow[1], a);
    os_get_window_rect(wtab.wWindow[2], b);
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), wtab.hMenuRoot[1]);
    // The right pane has no menu of its own: the split window's shows.
    os_set_focus(wtab.hClient[2]);
    EXPECT_EQ(yysplitactivepane(0), 2);
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), wtab.hMenuRoot[0]);
    settle();
    os_send_message(wtab.wWindow[0], OSM_COMMAND, 611, 0);
    EXPECT_EQ(wmsg.wMessageType, MsgMenu);
    EXPECT_EQ(wmsg.wMessageWin, 2);
    os_set_focus(wtab.hClient[1]);
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), wtab.hMenuRoot[1]);
    os_send_message(wtab.wWindow[0], OSM_COMMAND, 612, 0);
    EXPECT_EQ(wmsg.wMessageWin, 1);
}
