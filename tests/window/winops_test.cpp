#include "lib/window/winops.h"

#include <array>
#include <cstring>

#include "lib/graphics/gdi.h"
#include "lib/window/errors.h"
#include "lib/window/wininfo.h"
#include "platform/os_dc.h"
#include "platform/os_gdi.h"
#include "platform/os_menu.h"
#include "tests/window/window_fixture.h"

namespace {

class WinOpsTest : public WindowTest {
protected:
    std::string part_text(std::int32_t part) {
        char buf[600] = {};
        os_send_message(wtab.wMessLine[0], OSM_SB_GETTEXT, static_cast<std::uintptr_t>(part),
                        reinterpret_cast<std::intptr_t>(buf));
        return buf;
    }
    std::uint32_t part_style(std::int32_t part) {
        return static_cast<std::uint32_t>(
                   os_send_message(wtab.wMessLine[0], OSM_SB_GETTEXTLENGTH, static_cast<std::uintptr_t>(part), 0)) >>
               16;
    }
};

TEST_F(WinOpsTest, UnitConversionsBothWays) {
    open(640, 480);
    struct Case {
        std::int32_t units, px_w, px_h;
    };
    for (const Case c : {Case{9999, 639, 479}, Case{0, 0, 0}, Case{5000, 319, 239}}) {
        std::int32_t px = -1, py = -1;
        windowunitstopixels(c.units, c.units, px, py);
        EXPECT_EQ(px, c.px_w) << c.units;
        EXPECT_EQ(py, c.px_h) << c.units;
    }
    // From pixels the centre of a pixel is converted: pixel 0 of 640 is unit 7.
    std::int32_t x = -1, y = -1;
    windowunitsfrompixels(0, 0, x, y);
    EXPECT_EQ(x, 7);   // trunc(0.5 * 9999 / 640)
    EXPECT_EQ(y, 10);  // trunc(0.5 * 9999 / 480)
    windowunitsfrompixels(639, 479, x, y);
    EXPECT_EQ(x, 9991);
    EXPECT_EQ(y, 9988);
    // And back to the same pixels.
    std::int32_t px = 0, py = 0;
    windowunitstopixels(9991, 9988, px, py);
    EXPECT_EQ(px, 638);
    EXPECT_EQ(py, 478);
    // A client of one pixel or less has no units.
    yyunitsfrompixels(0, 0, 1, 0, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(WinOpsTest, StatusPartsAndBorderCodes) {
    open(1000, 300);
    const std::array<std::int32_t, 3> widths{3000, 3000, -1};
    const std::array<std::int32_t, 3> borders{0, 2, 7};
    windowoutstatusbar(1, "kept   ");
    windowstatusbarparts(3, widths, std::span<const std::int32_t>(borders));
    std::array<std::int32_t, 3> edges{};
    ASSERT_EQ(os_send_message(wtab.wMessLine[0], OSM_SB_GETPARTS, 3, reinterpret_cast<std::intptr_t>(edges.data())), 3);
    // 3000 window units of a 1000-pixel client are 299 pixels.
    EXPECT_EQ(edges[0], 299);
    EXPECT_EQ(edges[1], 598);
    EXPECT_EQ(edges[2], -1);
    // 0 no border, 2 raised, anything else sunken.
    EXPECT_EQ(part_style(0), OS_SBT_NOBORDERS);
    EXPECT_EQ(part_style(1), OS_SBT_POPOUT);
    EXPECT_EQ(part_style(2), OS_SBT_SUNKEN);
    // The first part's text came through the re-layout.
    EXPECT_EQ(part_text(0), "kept");
    windowoutstatusbar(3, "third");
    EXPECT_EQ(part_text(2), "third");
    EXPECT_EQ(part_style(2), OS_SBT_SUNKEN);
    // Without border codes every part is sunken.
    windowstatusbarparts(2, std::span<const std::int32_t>(widths).first(2));
    EXPECT_EQ(part_style(0), OS_SBT_SUNKEN);
    EXPECT_EQ(part_style(1), OS_SBT_SUNKEN);
}

TEST_F(WinOpsTest, StatusBarIgnoresBadPartsAndCutsLongTexts) {
    open(300, 100);
    const std::array<std::int32_t, 1> w{-1};
    windowstatusbarparts(0, w);
    windowstatusbarparts(256, w);
    windowoutstatusbar(0, "no");
    windowoutstatusbar(256, "no");
    EXPECT_EQ(part_text(0), "");
    windowoutstatusbar(1, std::string(700, 'x'));
    EXPECT_EQ(part_text(0).size(), StatusTextMax);
    // Texts given to the C side directly are cut alike, so re-laying out the
    // parts keeps them whatever their length.
    for (const std::size_t n : {std::size_t{4000}, std::size_t{65536 + 10}}) {
        yysetstatustext(1, std::string(n, 'y').c_str());
        const std::array<std::int32_t, 2> two{3000, -1};
        windowstatusbarparts(2, two);
        EXPECT_EQ(part_text(0), std::string(StatusTextMax, 'y')) << n;
    }
    // A window without a status bar takes texts silently.
    open(300, 100);
}

TEST_F(WinOpsTest, BellOffAndOn) {
    open(100, 100);
    windowbell("ON");
    const std::int32_t start = os_beep_count();
    windowbell("ring");
    EXPECT_EQ(os_beep_count(), start + 1);
    windowbell("OFF");
    windowbell("ring");
    windowbell("");
    EXPECT_EQ(os_beep_count(), start + 1);
    windowbell("on");
    windowbell("x");
    EXPECT_EQ(os_beep_count(), start + 2);
    // "ON" needs a blank or the end after it: "ONE" only rings.
    windowbell("off");
    windowbell("ONE");
    EXPECT_EQ(os_beep_count(), start + 2);
    EXPECT_EQ(quinda.bell, 0);
}

TEST_F(WinOpsTest, SelectingABadSlotReportsAndKeepsTheWindow) {
    open(100, 100);
    windowselect(7);
    EXPECT_EQ(infoerror(1), 1003);
    EXPECT_EQ(winfowindow(4), 0);
    windowselect(-1);
    EXPECT_EQ(infoerror(1), 1003);
    windowselect(0);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(WinOpsTest, SelectingASlotSetsSizeAndDrawable) {
    open(300, 200);
    make_child(1, 0, 0, 120, 80);
    windowselect(1);
    EXPECT_EQ(winfowindow(4), 1);
    EXPECT_EQ(winfowindow(1), 120);
    EXPECT_EQ(winfowindow(2), 80);
    EXPECT_EQ(gstate.drawable_id, 1);
    EXPECT_EQ(gstate.width, 120);
    EXPECT_EQ(wtab.gDC, wtab.wDC);
    EXPECT_EQ(os_dc_window(wtab.wDC), wtab.hClient[1]);
    windowselect(0);
    EXPECT_EQ(gstate.width, 300);
}

TEST_F(WinOpsTest, TitleAndIcon) {
    open(100, 100);
    WindowTitle("New title   ");
    EXPECT_EQ(os_get_window_text(wtab.wWindow[0]), "New title");
    EXPECT_EQ(os_get_window_icon(wtab.wWindow[0], true), 0);
    WindowTitle(std::nullopt, 607);
    EXPECT_EQ(infoerror(1), 0);
    const OsIcon icon = os_get_window_icon(wtab.wWindow[0], true);
    EXPECT_NE(icon, 0);
    EXPECT_EQ(os_get_window_text(wtab.wWindow[0]), "New title");
    WindowTitle("Other", 698);  // no such icon: the caption is set all the same
    EXPECT_EQ(infoerror(1), 1015);
    EXPECT_EQ(os_get_window_text(wtab.wWindow[0]), "Other");
    EXPECT_EQ(os_get_window_icon(wtab.wWindow[0], true), icon);
}

TEST_F(WinOpsTest, ClearFillsInclusiveRectangles) {
    open(50, 40);
    windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0x0000FF);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 0, 0), 0x0000FF);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 49, 39), 0x0000FF);
    windowclear(2, 3, 4, 5, 0x00FF00);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 2, 3), 0x00FF00);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 4, 5), 0x00FF00);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 5, 5), 0x0000FF);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 4, 6), 0x0000FF);
    windowclear();
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 3, 4), 0xFFFFFF);
    windowclear(0, 0, 10, 10, 0);
    windowcleararea(0, 0, 9999, 9999);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 10, 10), 0xFFFFFF);
}

TEST_F(WinOpsTest, ScrollMovesThePictureAndFillsTheRest) {
    open(40, 30);
    settle();
    windowclear(5, 5, 5, 5, 0x0000FF);
    yyscrollarea(10, 0, 0x00FF00);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 15, 5), 0x0000FF);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 5, 5), 0x00FF00);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 9, 29), 0x00FF00);
    EXPECT_EQ(os_surface_pixel(wtab.hClient[0], 10, 29), 0xFFFFFF);
    // The filled strip is validated: no expose follows.
    WindowMessage m;
    EXPECT_EQ(peek(m), -1);
}

TEST_F(WinOpsTest, ResizeActsOnlyOnTheCurrentSlot) {
    open(100, 100);
    yyresize(3, 10, 10);
    EXPECT_EQ(quinda.window_size[0], 100);
    yyresize(0, 60, 40);
    EXPECT_EQ(quinda.window_size[0], 60);
    EXPECT_EQ(gstate.width, 60);
    EXPECT_EQ(gstate.height_max, 39);
}

TEST_F(WinOpsTest, SizePosMovesAndSizesTheClient) {
    open(200, 100);
    std::int32_t w = 300, h = 150;
    yywindowsizepos(20, 30, w, h, -1);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 150);
    OsRect fr;
    os_get_window_rect(wtab.wWindow[0], fr);
    EXPECT_EQ(fr.left, 20);
    EXPECT_EQ(fr.top, 30);
    w = KeepValue;
    h = KeepValue;
    yywindowsizepos(KeepValue, 50, w, h, 3);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 150);
    EXPECT_EQ(wtab.wHideRoot, 1);
    EXPECT_FALSE(os_is_window_visible(wtab.wWindow[0]));
    yywindowsizepos(KeepValue, KeepValue, w, h, 2);
    EXPECT_TRUE(os_is_zoomed(wtab.wWindow[0]));
}

TEST_F(WinOpsTest, ErrorReportsGoToTheRootStatusBar) {
    open(300, 100);
    make_child(1, 0, 0, 50, 50);
    windowselect(1);
    idebuglevel(3);
    yyerror(1003, "Somewhere");
    EXPECT_NE(part_text(0).find("Somewhere"), std::string::npos);
    EXPECT_EQ(winfowindow(4), 1);
}

TEST_F(WinOpsTest, RevertOfAPlainWindowAndEditTest) {
    open(100, 100);
    std::int32_t dialog = 0, status = -1, kind = -1;
    yywindowrevert(dialog, 0, status);
    EXPECT_EQ(status, 2);
    yyedittest(kind);
    EXPECT_EQ(kind, 0);
}

TEST_F(WinOpsTest, SelectedWindowTakesOnTheDrawingState) {
    open(200, 100);
    make_child(1, 0, 0, 120, 80);
    yywincolour(0, 0x0000FF);
    yywinplotmode(3);
    std::int32_t w = 0, h = 12, ascent = 0;
    yywintextsize(w, h, ascent, 0, 2, 0, "");
    ASSERT_NE(wtab.gPen, 0);
    ASSERT_NE(wtab.gFont, 0);
    for (std::int32_t slot : {1, 0}) {
        SCOPED_TRACE(slot);
        gdi.gStippleChanged = 0;
        windowselect(slot);
        ASSERT_EQ(wtab.gDC, wtab.wDC);
        EXPECT_EQ(os_get_rop2(wtab.gDC), OS_R2_XORPEN);
        EXPECT_EQ(os_get_bk_mode(wtab.gDC), OS_TRANSPARENT);
        EXPECT_EQ(os_current_object(wtab.gDC, 1), wtab.gPen);
        EXPECT_EQ(os_current_object(wtab.gDC, 3), wtab.gFont);
        EXPECT_EQ(gdi.gStippleChanged, 1);
    }
}

}  // namespace
