#include <gtest/gtest.h>

#include "lib/window/errors.h"
#include "lib/window/messages.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "lib/window/winclose.h"
#include "lib/window/wininfo.h"
#include "platform/os_gdi.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

class RootWindowTest : public QuindaTest {
protected:
    // Runs the queue the way a fetch does until it is empty.
    void drain() {
        OsMsg m;
        while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) {
            os_translate_message(m);
            os_dispatch_message(m);
        }
    }
    // Starts a fetch: the next interpreted event completes the pending message.
    void wait_for_message() {
        wmsg.wMessageType = 0;
        wmsg.wValidMessage = 1;
        wmsg.bSetFromCell = 1;
    }
    // Dispatches queued messages until one is complete, as the fetch would.
    bool fetch() {
        wait_for_message();
        OsMsg m;
        while (wmsg.wValidMessage == 1 && os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) {
            os_translate_message(m);
            os_dispatch_message(m);
        }
        return wmsg.wValidMessage == 0;
    }
    OsHandle client() const { return wtab.hClient[0]; }
};

TEST_F(RootWindowTest, DefaultsAreCentredEightyPercentWithFlagsSeven) {
    WindowOpen();
    ASSERT_NE(wtab.wWindow[0], 0);
    ASSERT_NE(client(), 0);
    EXPECT_EQ(quinda.window_open, 1);
    EXPECT_EQ(winfowindow(1), 1024 * 80 / 100);
    EXPECT_EQ(winfowindow(2), 768 * 80 / 100);
    EXPECT_EQ(winfowindow(3), 7);
    EXPECT_EQ(winfowindow(4), 0);
    EXPECT_EQ(winfowindow(9), 1);
    EXPECT_EQ(winfowindow(10), 0);
    OsRect fr;
    ASSERT_TRUE(os_get_window_rect(wtab.wWindow[0], fr));
    // Centred: equal room on both sides (integer halves).
    EXPECT_EQ(fr.left, (1024 - fr.width()) / 2);
    EXPECT_EQ(fr.top, (768 - fr.height()) / 2);
    const std::uint32_t style = os_get_style(wtab.wWindow[0]);
    EXPECT_TRUE(style & OS_WS_SYSMENU);
    EXPECT_TRUE(style & OS_WS_MINIMIZEBOX);
    EXPECT_TRUE(style & OS_WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & OS_WS_THICKFRAME);
    EXPECT_EQ(os_get_window_text(wtab.wWindow[0]), "");
    EXPECT_EQ(wtab.wMessLine[0], 0);
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), 0);
    EXPECT_EQ(wtab.wColor[9], 0x0000FF);
    EXPECT_EQ(wtab.wColor[16], 0x000000);
    EXPECT_EQ(wtab.wColor[17], 0xFFFFFF);
    EXPECT_EQ(wtab.wBackCol, 15);
    EXPECT_NE(wtab.wDC, 0);
    EXPECT_EQ(wtab.hWinCur, wtab.wWindow[0]);
    EXPECT_EQ(os_get_focus(), client());
    // No gradient or mail library exists here; the rich-edit control is our own.
    EXPECT_EQ(wtab.iVerRTF, 3);  // our rich-edit control fills the point it is given
    EXPECT_EQ(wtab.pGradientFill, 0);
    EXPECT_NE(wtab.cgmFormat, 0u);
    // 24-bit screen: no palette.
    EXPECT_EQ(wtab.gPal256, 0);
    // No initial expose.
    OsRect u;
    EXPECT_FALSE(os_get_update_rect(client(), u, false));
}

TEST_F(RootWindowTest, SecondOpenChangesNothing) {
    WindowOpen(7, 10, 20, 300, 200, 0, {}, 0, "First");
    const OsHandle frame = wtab.wWindow[0];
    WindowOpen(0x20, 0, 0, 500, 400, 0, {}, 0, "Second");
    EXPECT_EQ(wtab.wWindow[0], frame);
    EXPECT_EQ(os_get_window_text(frame), "First");
    EXPECT_EQ(winfowindow(1), 300);
    EXPECT_EQ(winfowindow(3), 7);
    EXPECT_EQ(wtab.wMessLine[0], 0);
    EXPECT_EQ(os_top_level_windows().size(), 1u);
}

TEST_F(RootWindowTest, StatusBarGrowsFrameAndStaysCentred) {
    WindowOpen(7 | 0x20, CentredPosition, CentredPosition, 400, 300, 0, {}, 0, "Title   ");
    ASSERT_NE(wtab.wMessLine[0], 0);
    EXPECT_EQ(os_get_window_text(wtab.wWindow[0]), "Title");
    OsRect cr, sb, fr;
    os_get_client_rect(client(), cr);
    EXPECT_EQ(cr.width(), 400);
    EXPECT_EQ(cr.height(), 300);
    os_get_window_rect(wtab.wMessLine[0], sb);
    os_get_window_rect(wtab.wWindow[0], fr);
    EXPECT_EQ(sb.height(), os_config().status_bar_height);
    EXPECT_TRUE(os_get_style(wtab.wMessLine[0]) & OS_SBARS_SIZEGRIP);
    EXPECT_EQ(os_get_control_id(wtab.wMessLine[0]), 999);
    // The status bar sits right under the client window.
    OsPoint c{0, 300};
    os_client_to_screen(client(), c);
    EXPECT_EQ(sb.top, c.y);
    // Moved up by half the added height, from the centred place of the bare frame.
    const std::int32_t bare = fr.height() - sb.height();
    EXPECT_EQ(fr.top, (768 - bare) / 2 - sb.height() / 2);
}

TEST_F(RootWindowTest, FixedSizeHasNoSizingBorderOrGrip) {
    WindowOpen(1 | 0x20 | 0x40, 0, 0, 200, 100);
    EXPECT_FALSE(os_get_style(wtab.wWindow[0]) & OS_WS_THICKFRAME);
    EXPECT_FALSE(os_get_style(wtab.wMessLine[0]) & OS_SBARS_SIZEGRIP);
    OsRect fr;
    os_get_window_rect(wtab.wWindow[0], fr);
    EXPECT_EQ(fr.left, 0);
    EXPECT_EQ(fr.top, 0);
}

TEST_F(RootWindowTest, MissingDialogReportsAndLeavesOrdinaryWindow) {
    WindowOpen(7, CentredPosition, CentredPosition, 200, 100, 0, {}, 555);
    EXPECT_EQ(infoerror(1), 1007);
    EXPECT_NE(wtab.wWindow[0], 0);
    EXPECT_EQ(wtab.bDlgRoot, 0);
    EXPECT_EQ(winfowindow(10), 0);
}

TEST_F(RootWindowTest, HiddenAndMaximisedStates) {
    WindowOpen(7 | 0x80, 0, 0, 200, 100);
    EXPECT_EQ(wtab.wHideRoot, 1);
    EXPECT_EQ(winfowindow(9), 3);
    EXPECT_NE(os_get_focus(), client());
    windowclose();
    WindowOpen(7 | 8);
    EXPECT_EQ(winfowindow(9), 2);
    OsRect cr;
    os_get_client_rect(client(), cr);
    EXPECT_EQ(cr.width(), 1024);
    // The restored size is the one asked for.
    EXPECT_EQ(winfowindow(11), 1024 * 80 / 100);
    EXPECT_EQ(winfowindow(12), 768 * 80 / 100);
}

TEST_F(RootWindowTest, WindowCloseThenOpenWorks) {
    WindowOpen(7 | 0x20, 0, 0, 320, 200);
    quinda.EDITBUF.at(0, 1)->FILENAME = std::string(260, 'a');
    quinda.EDITBUF.at(0, 1)->name_present = 1;
    quinda.EDITBUF.at(3, 2)->DATA = {1, 2, 3};
    quinda.EDITBUF.at(3, 2)->text_length = 3;
    wmsg.wMessageEnabled[5] = 1;
    windowclose();
    EXPECT_EQ(quinda.window_open, 0);
    EXPECT_EQ(winfowindow(3), -1);
    EXPECT_TRUE(os_top_level_windows().empty());
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
        EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(s)], 0);
        EXPECT_EQ(wtab.hClient[static_cast<std::size_t>(s)], 0);
        EXPECT_EQ(wtab.wMessLine[static_cast<std::size_t>(s)], 0);
    }
    EXPECT_EQ(wtab.wDC, 0);
    EXPECT_EQ(wmsg.wMessageEnabled, wMessageDefault);
    EXPECT_TRUE(quinda.EDITBUF.allocated());
    EXPECT_EQ(quinda.EDITBUF.at(0, 1)->name_present, 0);
    EXPECT_TRUE(quinda.EDITBUF.at(0, 1)->FILENAME.empty());
    EXPECT_EQ(quinda.EDITBUF.at(3, 2)->text_length, 0);
    EXPECT_TRUE(quinda.EDITBUF.at(3, 2)->DATA.empty());

    WindowOpen(7, 0, 0, 100, 50, 0, {}, 0, "Again");
    EXPECT_EQ(quinda.window_open, 1);
    ASSERT_NE(client(), 0);
    EXPECT_EQ(os_get_window_text(wtab.wWindow[0]), "Again");
    EXPECT_EQ(winfowindow(1), 100);
    EXPECT_EQ(winfowindow(3), 7);
}

TEST_F(RootWindowTest, WindowInfoOutOfRangeGivesPreviousResult) {
    WindowOpen(7, 30, 40, 200, 100);
    EXPECT_EQ(winfowindow(5), 30);
    EXPECT_EQ(winfowindow(0), 30);
    EXPECT_EQ(winfowindow(15), 30);
    EXPECT_EQ(winfowindow(6), 40);
    EXPECT_EQ(winfowindow(-3), 40);
    EXPECT_EQ(winfowindow(1000), 40);
    // Client corner on the screen: frame corner plus border and caption.
    EXPECT_EQ(winfowindow(7), 30 + os_config().sizing_border);
    EXPECT_EQ(winfowindow(8), 40 + os_config().sizing_border + os_config().caption_height);
    EXPECT_EQ(winfowindow(13), 30);
    EXPECT_EQ(winfowindow(14), 40);
}

TEST_F(RootWindowTest, MinimisedWindowReportsRestoredPosition) {
    WindowOpen(7, 30, 40, 200, 100);
    os_show_window(wtab.wWindow[0], OS_SW_MINIMIZE);
    EXPECT_EQ(winfowindow(9), 0);
    EXPECT_EQ(winfowindow(5), 30);
    EXPECT_EQ(winfowindow(6), 40);
    EXPECT_EQ(winfowindow(11), 200);
    EXPECT_EQ(winfowindow(12), 100);
}

// ---- keys ----

struct KeyCase {
    const char* name;
    std::int32_t vk;
    std::uint32_t mods;
    std::int32_t value;
};

class KeyTranslation : public RootWindowTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTranslation, GivesCode) {
    WindowOpen(7, 0, 0, 200, 100);
    const KeyCase& k = GetParam();
    os_input_key(client(), k.vk, k.mods);
    ASSERT_TRUE(fetch()) << k.name;
    EXPECT_EQ(wmsg.wMessageType, MsgKey) << k.name;
    EXPECT_EQ(wmsg.wMessageValue1, k.value) << k.name;
    EXPECT_EQ(wmsg.wMessageWin, 0);
    EXPECT_EQ(wmsg.wMessageValue2, -1);
    EXPECT_EQ(wmsg.wMessageValue3, 0);
    // One message per key: the character was taken with its key.
    EXPECT_FALSE(fetch()) << k.name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTranslation,
    ::testing::Values(KeyCase{"CtrlUp", OS_VK_UP, OS_IN_CONTROL, 266}, KeyCase{"Up", OS_VK_UP, 0, 258},
                      KeyCase{"ShiftF1", OS_VK_F1, OS_IN_SHIFT, 321},
                      KeyCase{"CtrlF12", OS_VK_F1 + 11, OS_IN_CONTROL, 352},
                      KeyCase{"Keypad7", OS_VK_NUMPAD0 + 7, 0, 287}, KeyCase{"ShiftTab", OS_VK_TAB, OS_IN_SHIFT, 274},
                      KeyCase{"Tab", OS_VK_TAB, 0, 9}, KeyCase{"CtrlA", 'A', OS_IN_CONTROL, 1},
                      KeyCase{"a", 'A', 0, 'a'}, KeyCase{"ShiftA", 'A', OS_IN_SHIFT, 'A'},
                      KeyCase{"PageUp", OS_VK_PRIOR, 0, 262}, KeyCase{"PageDown", OS_VK_NEXT, 0, 263},
                      KeyCase{"ShiftUp", OS_VK_UP, OS_IN_SHIFT, 275}, KeyCase{"ShiftDown", OS_VK_DOWN, OS_IN_SHIFT, 276},
                      KeyCase{"CtrlShiftLeft", OS_VK_LEFT, OS_IN_CONTROL | OS_IN_SHIFT, 269},
                      KeyCase{"Return", OS_VK_RETURN, 0, 13}, KeyCase{"Delete", OS_VK_DELETE, 0, 273},
                      KeyCase{"KeypadStar", OS_VK_MULTIPLY, 0, 294}, KeyCase{"Escape", OS_VK_ESCAPE, 0, 27}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RootWindowTest, ModifierKeysAloneGiveNothing) {
    WindowOpen(7, 0, 0, 200, 100);
    for (std::int32_t vk : {OS_VK_SHIFT, OS_VK_CONTROL, OS_VK_CAPITAL, OS_VK_NUMLOCK}) {
        os_input_key(client(), vk, 0);
        EXPECT_FALSE(fetch()) << vk;
    }
}

TEST(KeyCodes, TableOfInterpretKey) {
    struct C {
        std::int32_t vk, mod, code;
    } cases[] = {{OS_VK_UP, 0, 258},     {OS_VK_UP, 20, 275},   {OS_VK_UP, 40, 266},   {OS_VK_DOWN, 20, 276},
                 {OS_VK_RIGHT, 20, 264}, {OS_VK_LEFT, 40, 269}, {OS_VK_HOME, 40, 270}, {OS_VK_END, 0, 271},
                 {OS_VK_SELECT, 0, 271}, {OS_VK_INSERT, 0, 272}, {OS_VK_CLEAR, 0, 285}, {OS_VK_SUBTRACT, 0, 290},
                 {OS_VK_DECIMAL, 0, 291}, {OS_VK_SEPARATOR, 0, 292}, {OS_VK_DIVIDE, 0, 293},
                 {OS_VK_SNAPSHOT, 0, 300}, {OS_VK_F1 + 19, 0, 320}, {OS_VK_F1 + 19, 20, 340},
                 {OS_VK_F1 + 19, 40, 360}, {OS_VK_F1 + 20, 0, OS_VK_F1 + 20}, {OS_VK_NUMPAD0, 40, 280},
                 {OS_VK_PAUSE, 0, OS_VK_PAUSE}};
    for (const C& c : cases) EXPECT_EQ(yyinterpretkey(c.vk, c.mod), c.code) << c.vk << "/" << c.mod;
    // Shift+Up and Shift+Down never collide with Page Up and Page Down.
    EXPECT_NE(yyinterpretkey(OS_VK_UP, 20), yyinterpretkey(OS_VK_PRIOR, 0));
    EXPECT_NE(yyinterpretkey(OS_VK_DOWN, 20), yyinterpretkey(OS_VK_NEXT, 0));
}

TEST(MouseModifierBits, FromKeyStateFlags) {
    EXPECT_EQ(yymousemodifiers(0), 0);
    EXPECT_EQ(yymousemodifiers(OS_MK_CONTROL), 1);
    EXPECT_EQ(yymousemodifiers(OS_MK_SHIFT), 2);
    EXPECT_EQ(yymousemodifiers(OS_MK_LBUTTON), 4);
    EXPECT_EQ(yymousemodifiers(OS_MK_MBUTTON), 8);
    EXPECT_EQ(yymousemodifiers(OS_MK_RBUTTON), 16);
    EXPECT_EQ(yymousemodifiers(OS_MK_CONTROL | OS_MK_SHIFT | OS_MK_RBUTTON), 19);
}

// ---- mouse ----

TEST_F(RootWindowTest, ClickGivesButtonPositionAndModifiers) {
    WindowOpen(7, 0, 0, 200, 100);
    os_input_mouse(client(), OS_MOUSE_PRESS, 1, 12, 34, OS_IN_SHIFT);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageType, MsgMouseDown);
    EXPECT_EQ(wmsg.wMessageValue1, 1);
    EXPECT_EQ(wmsg.wMessageValue2, MouseShift | MouseLeftHeld);
    EXPECT_EQ(wmsg.wMessageX, 12);
    EXPECT_EQ(wmsg.wMessageY, 34);
    EXPECT_EQ(os_get_capture(), client());
    // Mouse up is off by default; switched on it arrives and releases the capture.
    yyenablemessage(MsgMouseUp, 1);
    os_input_mouse(client(), OS_MOUSE_RELEASE, 1, 12, 34);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageType, MsgMouseUp);
    EXPECT_EQ(os_get_capture(), 0);
}

TEST_F(RootWindowTest, DisabledTypesAreDropped) {
    WindowOpen(7, 0, 0, 200, 100);
    os_input_mouse(client(), OS_MOUSE_MOVE, 0, 5, 5);
    EXPECT_FALSE(fetch());  // mouse move off by default
    yyenablemessage(MsgMouseDown, 0);
    os_input_mouse(client(), OS_MOUSE_PRESS, 3, 5, 5);
    os_input_mouse(client(), OS_MOUSE_RELEASE, 3, 5, 5);
    EXPECT_FALSE(fetch());
    yyenablemessage(MsgMouseMove, 1);
    os_input_mouse(client(), OS_MOUSE_MOVE, 0, 7, 8);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageType, MsgMouseMove);
    EXPECT_EQ(wmsg.wMessageValue1, -1);
    std::int32_t out = -5;
    EXPECT_EQ(yyinfomessage(MsgMouseMove, out), 1);
    EXPECT_EQ(yyinfomessage(17, out), 0);
    yyenablemessage(17, 1);  // ignored
    EXPECT_EQ(yyinfomessage(0, out), 0);
}

TEST_F(RootWindowTest, DoubleClickWithAndWithoutType16) {
    WindowOpen(7, 0, 0, 200, 100);
    os_input_mouse(client(), OS_MOUSE_DOUBLE, 1, 3, 4);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageType, MsgMouseDown);  // double clicks off: a second button down
    yyenablemessage(MsgDoubleClick, 1);
    os_input_mouse(client(), OS_MOUSE_DOUBLE, 2, 3, 4);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageType, MsgDoubleClick);
    EXPECT_EQ(wmsg.wMessageValue1, 2);
}

TEST_F(RootWindowTest, WheelNotchesGiveButtonsFourAndFive) {
    WindowOpen(7, 0, 0, 200, 100);
    os_input_wheel(client(), 10, 10, 1);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageValue1, 4);
    os_input_wheel(client(), 10, 10, -2);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageValue1, 5);
}

// ---- size, expose, close, timers ----

TEST_F(RootWindowTest, UserResizeGivesResizeMessage) {
    WindowOpen(7, 0, 0, 200, 100);
    OsRect fr;
    os_get_window_rect(wtab.wWindow[0], fr);
    // The user drags the border while the program waits for a message.
    wait_for_message();
    os_input_resize(wtab.wWindow[0], fr.width() + 50, fr.height() + 20);
    ASSERT_EQ(wmsg.wValidMessage, 0);
    EXPECT_EQ(wmsg.wMessageType, MsgResize);
    EXPECT_EQ(wmsg.wMessageValue1, 250);
    EXPECT_EQ(wmsg.wMessageValue2, 120);
    EXPECT_EQ(wtab.wWinWidth, 250);
    // The grown window is drawn again as a whole afterwards; the resize stays the message.
    EXPECT_EQ(os_surface_size(client()).x, 250);
    // Dragged again while the program is busy: kept for the next fetch.
    os_input_resize(wtab.wWindow[0], fr.width() + 10, fr.height() + 10);
    EXPECT_EQ(wmsg.QDXMessages[0].type, MsgResize);
    EXPECT_EQ(wmsg.QDXMessages[0].value1, 210);
    EXPECT_EQ(wmsg.QDXMessages[0].value2, 110);
    // A repaint then does not replace the kept resize.
    os_invalidate_rect(client(), nullptr, true);
    OsMsg m;
    while (os_peek_message(m, 0, OSM_PAINT, OSM_PAINT, OS_PM_REMOVE)) os_dispatch_message(m);
    EXPECT_EQ(wmsg.QDXMessages[0].type, MsgResize);
}

TEST_F(RootWindowTest, HiddenResizeUpdatesSizeWithoutMessage) {
    WindowOpen(7 | 0x80, 0, 0, 200, 100);
    wait_for_message();
    os_move_window(client(), 0, 0, 150, 60, true);
    EXPECT_EQ(wmsg.wValidMessage, 1);
    EXPECT_EQ(wmsg.wMessageType, 0);
    EXPECT_EQ(wtab.wWinWidth, 150);
    EXPECT_EQ(wtab.wWinHeight, 60);
}

TEST_F(RootWindowTest, CloseBoxGivesCloseRequestAndWindowStays) {
    WindowOpen(7, 0, 0, 200, 100);
    os_input_close(wtab.wWindow[0]);
    // The close box is input: queued, and a request once the loop takes it.
    EXPECT_TRUE(fetch());
    EXPECT_EQ(wmsg.wValidMessage, 0);
    EXPECT_EQ(wmsg.wMessageType, MsgClose);
    EXPECT_EQ(wmsg.wMessageWin, 0);
    EXPECT_TRUE(os_is_window(wtab.wWindow[0]));
}

TEST_F(RootWindowTest, RepaintWhileBusyIsDeferredAsExposeBeforeInput) {
    WindowOpen(7, 0, 0, 200, 100);
    // The program holds a complete message (busy, e.g. inside a modal loop).
    os_input_key(client(), 'X', 0);
    ASSERT_TRUE(fetch());
    const std::int32_t pending_key = wmsg.wMessageValue1;
    // Input queued meanwhile, then a part of the window needs repainting.
    os_input_mouse(client(), OS_MOUSE_PRESS, 1, 1, 1);
    const OsRect part{10, 10, 20, 20};
    os_invalidate_rect(client(), &part, true);
    // A nested loop delivers the paint: it lands in the deferred table.
    OsMsg m;
    while (os_peek_message(m, 0, OSM_PAINT, OSM_PAINT, OS_PM_REMOVE)) os_dispatch_message(m);
    EXPECT_EQ(wmsg.QDXMessages[0].type, MsgExpose);
    EXPECT_EQ(os_queue_length(), 2u);  // the click (down and up) still waits
    // The deferred expose comes first and covers the whole client.
    const QDXEntry& e = wmsg.QDXMessages[0];
    EXPECT_EQ(e.win, 0);
    OsRect cr;
    os_get_client_rect(client(), cr);
    EXPECT_EQ(cr.width(), 200);
    // The program's own message is untouched by the values the table keeps.
    EXPECT_EQ(e.time, wmsg.wMessageTime);
    (void)pending_key;
}

TEST_F(RootWindowTest, ExposeOfWholeClientAfterInvalidate) {
    WindowOpen(7, 0, 0, 200, 100);
    const OsRect part{5, 6, 25, 16};
    os_invalidate_rect(client(), &part, true);
    ASSERT_TRUE(fetch());
    EXPECT_EQ(wmsg.wMessageType, MsgExpose);
    EXPECT_EQ(wmsg.wMessageX, 5);
    EXPECT_EQ(wmsg.wMessageY, 6);
    EXPECT_EQ(wmsg.wMessageValue1, 20);
    EXPECT_EQ(wmsg.wMessageValue2, 10);
    OsRect u;
    EXPECT_FALSE(os_get_update_rect(client(), u, false));  // validated by the default processing
}

TEST_F(RootWindowTest, TimersAndWait) {
    WindowOpen(7, 0, 0, 200, 100);
    // The test clock advances 10 ms a read, so a blocking wait ends.
    auto fetch_blocking = [&] {
        wait_for_message();
        OsMsg m;
        for (int i = 0; i < 100 && wmsg.wValidMessage == 1 && os_get_message(m); ++i) {
            os_translate_message(m);
            os_dispatch_message(m);
        }
        return wmsg.wValidMessage == 0;
    };
    EXPECT_NE(yysettimer(50, 7, 1), 0);
    ASSERT_TRUE(fetch_blocking());
    EXPECT_EQ(wmsg.wMessageType, MsgTimer);
    EXPECT_EQ(wmsg.wMessageValue1, 7);
    ASSERT_TRUE(fetch_blocking());  // client timers repeat
    EXPECT_EQ(wmsg.wMessageValue1, 7);
    yysettimer(0, 7, 1);
    yysettimer(30, 8, 0);
    ASSERT_TRUE(fetch_blocking());
    EXPECT_EQ(wmsg.wMessageValue1, 8);
    EXPECT_FALSE(fetch());  // frame timers stop after one tick
    yywait(3);
    EXPECT_EQ(wmsg.TimerEnabled, 0);
}

// ---- display, cursors, bell ----

TEST_F(RootWindowTest, DisplayInformationAndBell) {
    std::int32_t w, h, c, p;
    yygetdisplayinfo(w, h, c, p);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_EQ(c, 16777216);
    EXPECT_EQ(p, 256);
    EXPECT_EQ(wtab.wScreenDPI, 96);
    OsConfig cfg = os_config_test_profile();
    cfg.colour_bits = 8;
    os_config_set(cfg);
    yygetdisplayinfo(w, h, c, p);
    EXPECT_EQ(c, 256);
    EXPECT_EQ(p, 16);
    cfg.colour_bits = 4;
    os_config_set(cfg);
    yygetdisplayinfo(w, h, c, p);
    EXPECT_EQ(p, 8);

    const std::int32_t before = os_beep_count();
    yysetbell(0);
    yyringbell();
    EXPECT_EQ(os_beep_count(), before);
    yysetbell(1);
    yyringbell2();
    EXPECT_EQ(os_beep_count(), before + 1);
}

TEST_F(RootWindowTest, ScreenPaletteOn256Colours) {
    OsConfig cfg = os_config_test_profile();
    cfg.colour_bits = 8;
    os_config_set(cfg);
    WindowOpen(7, 0, 0, 100, 50, 0, {}, 0, "", 32);
    EXPECT_NE(wtab.gPal256, 0);
    EXPECT_EQ(wtab.ngColours, 32);
    ASSERT_EQ(wtab.gLogPal.size(), 50u);
    EXPECT_EQ(wtab.gLogPal[32], 0x000000u);
    EXPECT_EQ(wtab.gLogPal[32 + 15], 0xFFFFFFu);
    windowclose();
    EXPECT_EQ(wtab.gPal256, 0);
    WindowOpen(7, 0, 0, 100, 50, 0, {}, 0, "", 99);  // not a palette size: 16
    ASSERT_EQ(wtab.gLogPal.size(), 34u);
    EXPECT_EQ(wtab.gLogPal[1], 0xBF0000u);  // 0, 0, 191 as R, G, B
    windowclose();

    // Every entry, for the graded 16 colours and for a grey ramp: the
    // palette's own colours, then the 16 window-text colours, then the
    // window text and window background (black on white in the test
    // profile). Entries are packed R | G << 8 | B << 16.
    const std::vector<std::uint32_t> text_colours = {
        0x000000, 0x0000BF, 0x00BFBF, 0x00BF00, 0xBFBF00, 0xBF0000, 0xBF00BF, 0xBFBFBF,
        0x404040, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0xFFFFFF,
        0x000000, 0xFFFFFF};
    const std::vector<std::uint32_t> graded16 = {
        0xFFFFFF, 0xBF0000, 0x00BF00, 0xBFBF00, 0x0000BF, 0xBF00BF, 0x00BFBF, 0x404040,
        0xBFBFBF, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0x000000};
    // 255 - i * 255 / 31, truncated.
    const std::vector<std::uint32_t> grey32_levels = {255, 247, 239, 231, 223, 214, 206, 198, 190, 181, 173,
                                                      165, 157, 149, 140, 132, 124, 116, 107, 99,  91,  83,
                                                      75,  66,  58,  50,  42,  33,  25,  17,  9,   0};
    std::vector<std::uint32_t> grey32;
    for (std::uint32_t v : grey32_levels) grey32.push_back(v | v << 8 | v << 16);
    for (const auto& [size, own] : {std::pair{16, graded16}, std::pair{32, grey32}}) {
        SCOPED_TRACE(size);
        std::vector<std::uint32_t> expected = own;
        expected.insert(expected.end(), text_colours.begin(), text_colours.end());
        WindowOpen(7, 0, 0, 100, 50, 0, {}, 0, "", size);
        EXPECT_EQ(wtab.gLogPal, expected);
        EXPECT_EQ(os_get_palette_entries(wtab.gPal256), expected);
        windowclose();
    }
}

TEST_F(RootWindowTest, CursorsPerWindowAndGlobal) {
    WindowOpen(7, 0, 0, 200, 100);
    yychangecursor(3, 2, 1, 0);
    std::int32_t n = -1;
    yygetmousecursor(n, 2, 0);
    EXPECT_EQ(n, 3);
    yychangecursor(4, 1, 1, 0);
    yygetmousecursor(n, 1, 0);
    EXPECT_EQ(n, 4);
    yygetmousecursor(n, 2, 0);
    EXPECT_EQ(n, 3);
    // The window's own cursor is not shown while the pointer is elsewhere.
    EXPECT_EQ(os_get_cursor(), wtab.wCursor);
    yychangecursor(1, 0, 1, 0);
    yygetmousecursor(n, 1, 0);
    EXPECT_EQ(n, 1);  // per-window cursors cleared
    yysetcursorpos(5, 6, 1);
    OsPoint p;
    os_get_cursor_pos(p);
    EXPECT_EQ(p.x, winfowindow(7) + 5);
    EXPECT_EQ(p.y, winfowindow(8) + 6);
}

TEST(AsciiToInt, Cases) {
    EXPECT_EQ(yyAsciiToInt("-12x"), -12);
    EXPECT_EQ(yyAsciiToInt("x"), 0);
    EXPECT_EQ(yyAsciiToInt("345"), 345);
    EXPECT_EQ(yyAsciiToInt("-"), 0);
    EXPECT_EQ(yyAsciiToInt(""), 0);
    EXPECT_EQ(yyAsciiToInt(nullptr), 0);
    EXPECT_EQ(yyAsciiToInt("99999999999999999999"), 2147483647);
}

TEST_F(RootWindowTest, WindowIndexAndTest) {
    WindowOpen(7, 0, 0, 200, 100);
    EXPECT_EQ(yygetwindowindex(wtab.wWindow[0]), 0);
    EXPECT_EQ(yygetwindowindex(client()), 0);
    EXPECT_EQ(yygetwindowindex(0), -1);
    EXPECT_EQ(yygetwindowindex(9999), -1);
    std::int32_t r = -1;
    yywindowtest(0, r);
    EXPECT_EQ(r, 1);
    yywindowtest(1, r);
    EXPECT_EQ(r, 0);
    yywindowtest(51, r);
    EXPECT_EQ(r, 0);
    yywindowtest(-1, r);
    EXPECT_EQ(r, 0);
}

TEST_F(RootWindowTest, GrabLooksLikeAWindow) {
    TempDir dir;
    WindowOpen(7 | 0x20, 0, 0, 240, 120, 0, {}, 0, "Zeltramo");
    const std::int32_t parts[] = {100, -1};
    os_send_message(wtab.wMessLine[0], OSM_SB_SETPARTS, 2, reinterpret_cast<std::intptr_t>(parts));
    os_send_message(wtab.wMessLine[0], OSM_SB_SETTEXT, 0, reinterpret_cast<std::intptr_t>("Ready"));
    os_surface_fill(client(), {20, 20, 60, 60}, 0x0000FF);
    const std::string png = dir.file("root.png");
    ASSERT_TRUE(os_grab_window_png(wtab.wWindow[0], png));
    EXPECT_GT(read_file(png).size(), 100u);
    EXPECT_EQ(os_surface_pixel(client(), 30, 30), 0x0000FF);
    EXPECT_EQ(os_surface_pixel(client(), 100, 100), 0xFFFFFF);
    if (const char* keep = std::getenv("QUINDA_KEEP_GRAB")) write_file(keep, read_file(png));
}

}  // namespace
