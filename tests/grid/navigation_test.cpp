// The grid at work under the user's hands: scrolling by bar, wheel and keys,
// the key table of the in-place editor, editing a cell and leaving it,
// clicks on cells and headers and the context menu. Input goes through the
// platform's test input and the dialog keyboard, the way real input goes.
#include <string>
#include <vector>

#include "lib/dialog/fieldrec.h"
#include "lib/window/convert.h"
#include "lib/window/messages.h"
#include "lib/window/wininfo.h"
#include "platform/os_cliptext.h"
#include "platform/os_menu.h"
#include "platform/os_metafile.h"
#include "tests/grid/grid_fixture.h"

namespace {

class NavigationTest : public GridTest {
protected:
    std::int32_t col() { return data().iCurrentColumn; }
    std::int32_t row() { return data().iCurrentRow; }
    static std::uintptr_t code(std::int32_t c, std::int32_t pos = 0) {
        return static_cast<std::uintptr_t>(c) | (static_cast<std::uintptr_t>(pos) << 16);
    }
    void hscroll(std::int32_t c, std::int32_t pos = 0) { os_send_message(grid(), OSM_HSCROLL, code(c, pos), 0); }
    void vscroll(std::int32_t c, std::int32_t pos = 0) { os_send_message(grid(), OSM_VSCROLL, code(c, pos), 0); }
};

TEST_F(NavigationTest, HorizontalScrollingStaysWithinTheColumnsThatNeedIt) {
    ASSERT_EQ(load(8801), 0);
    EXPECT_EQ(data().nMaxFirstColumn, 0);
    hscroll(SB_LINEDOWN);
    EXPECT_EQ(data().iFirstColumn, 0);

    ASSERT_EQ(load(8806), 0);
    GridData& g = data();
    ASSERT_GT(g.nMaxFirstColumn, 1);
    struct Step {
        std::int32_t code, pos, first;
    } steps[] = {
        {SB_LINEDOWN, 0, 1},       {SB_THUMBTRACK, 0, 1}, {SB_THUMBPOSITION, 0, 0}, {SB_LINEUP, 0, 0},
        {SB_THUMBPOSITION, 99, g.nMaxFirstColumn},      {SB_LINEDOWN, 0, g.nMaxFirstColumn},
        {SB_PAGEUP, 0, -1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.code);
        const std::int32_t before = g.iFirstColumn;
        hscroll(s.code, s.pos);
        if (s.first >= 0) EXPECT_EQ(g.iFirstColumn, s.first);
        else EXPECT_LT(g.iFirstColumn, before);
        EXPECT_LE(g.iFirstColumn, g.iLastColumn + 1);
        // The current cell is kept in view.
        EXPECT_GE(g.iCurrentColumn, g.iFirstColumn);
        EXPECT_LE(g.iCurrentColumn, std::max(g.iFirstColumn, g.iLastColumn));
    }
    OsScrollInfo si;
    ASSERT_TRUE(os_get_scroll_info(grid(), OS_SB_HORZ, si));
    EXPECT_EQ(si.max, 7);
    EXPECT_EQ(si.pos, g.iFirstColumn);
}

TEST_F(NavigationTest, VerticalScrollingMovesRowsNotTheChangedFlags) {
    ASSERT_EQ(load(8806), 0);
    GridData& g = data();
    const std::int32_t page = g.nVisibleRows;
    ASSERT_GT(page, 1);
    struct Step {
        std::int32_t code, pos, top;
    } steps[] = {
        {SB_LINEDOWN, 0, 1},  {SB_THUMBTRACK, 20, 1}, {SB_PAGEDOWN, 0, 1 + page}, {SB_LINEUP, 0, page},
        {SB_THUMBPOSITION, 0, 0}, {SB_LINEUP, 0, 0},  {SB_THUMBPOSITION, 99, 30 - page},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.code);
        g.bUnsaved = g.bChanged = 0;
        vscroll(s.code, s.pos);
        EXPECT_EQ(g.iTopRow, s.top);
        EXPECT_EQ(g.bUnsaved, 0);
        EXPECT_EQ(g.bChanged, 0);
        EXPECT_GE(g.iCurrentRow, g.iTopRow);
        EXPECT_LT(g.iCurrentRow, g.iTopRow + g.nVisibleRows);
    }
}

TEST_F(NavigationTest, TwoHundredThousandRowsScrollInStepsOfFour) {
    ASSERT_EQ(load(8807), 0);
    GridData& g = data();
    EXPECT_EQ(g.nScrollFactor, 4);
    OsScrollInfo si;
    ASSERT_TRUE(os_get_scroll_info(grid(), OS_SB_VERT, si));
    EXPECT_EQ(si.min, 0);
    EXPECT_EQ(si.max, 49999);
    vscroll(SB_THUMBTRACK, 10);
    EXPECT_EQ(g.iTopRow, 0);
    vscroll(SB_THUMBPOSITION, 10);
    EXPECT_EQ(g.iTopRow, 40);
    ASSERT_TRUE(os_get_scroll_info(grid(), OS_SB_VERT, si));
    EXPECT_EQ(si.pos, 10);
}

TEST_F(NavigationTest, TheWheelScrollsByWholeNotches) {
    ASSERT_EQ(load(8806), 0);
    GridData& g = data();
    vscroll(SB_LINEDOWN);
    vscroll(SB_LINEDOWN);
    os_send_message(grid(), OSM_MOUSEWHEEL, static_cast<std::uintptr_t>(60) << 16, 0);
    EXPECT_EQ(g.iTopRow, 2);
    os_send_message(grid(), OSM_MOUSEWHEEL, static_cast<std::uintptr_t>(60) << 16, 0);
    EXPECT_EQ(g.iTopRow, 1);
    // A notch toward the user over the editor goes up to the grid.
    enter(0, 3);
    os_input_wheel(g.hEditor, 2, 2, -1);
    run();
    EXPECT_EQ(g.iTopRow, 2);
}

struct KeyCase {
    const char* name;
    std::uint32_t style;            // added to the grid's
    std::int32_t col, row;          // start
    std::int32_t vk;
    std::uint32_t mods;
    std::int32_t want_col, want_row;
    int beeps;
};

TEST_F(NavigationTest, TheKeyTable) {
    ASSERT_EQ(load(8801), 0);
    const std::uint32_t base = os_get_style(grid());
    WGridRows(Grid, 12);
    const KeyCase cases[] = {
        {"tab", GS_TABCELLS, 2, 3, OS_VK_TAB, 0, 3, 3, 0},
        {"tab at the end", GS_TABCELLS, 7, 3, OS_VK_TAB, 0, 7, 3, 1},
        {"tab wraps", GS_TABCELLS | GS_WRAPROWS, 7, 3, OS_VK_TAB, 0, 0, 4, 0},
        {"shift tab wraps", GS_TABCELLS | GS_WRAPROWS, 0, 3, OS_VK_TAB, OS_IN_SHIFT, 7, 2, 0},
        {"shift tab at the start", GS_TABCELLS | GS_WRAPROWS, 0, 0, OS_VK_TAB, OS_IN_SHIFT, 0, 0, 1},
        {"enter stays", 0, 1, 3, OS_VK_RETURN, 0, 1, 3, 0},
        {"enter goes down", GS_ENTERDOWN, 1, 3, OS_VK_RETURN, 0, 1, 4, 0},
        {"down", 0, 1, 3, OS_VK_DOWN, 0, 1, 4, 0},
        {"down at the last row in use", 0, 1, 11, OS_VK_DOWN, 0, 1, 11, 1},
        {"up at the top", 0, 1, 0, OS_VK_UP, 0, 1, 0, 1},
        {"ctrl page down", 0, 1, 2, OS_VK_NEXT, OS_IN_CONTROL, 1, 11, 0},
        {"ctrl page up", 0, 1, 9, OS_VK_PRIOR, OS_IN_CONTROL, 1, 0, 0},
        {"ctrl home", 0, 5, 2, OS_VK_HOME, OS_IN_CONTROL, 0, 2, 0},
        {"ctrl end", 0, 1, 2, OS_VK_END, OS_IN_CONTROL, 7, 2, 0},
        {"right from an empty text", 0, 1, 2, OS_VK_RIGHT, 0, 2, 2, 0},
        {"left from column 0", 0, 0, 2, OS_VK_LEFT, 0, 0, 2, 1},
        {"left wraps", GS_WRAPROWS, 0, 2, OS_VK_LEFT, 0, 7, 1, 0},
        {"right wraps", GS_WRAPROWS, 7, 2, OS_VK_RIGHT, 0, 0, 3, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        os_set_style(grid(), base | c.style);
        enter(c.col, c.row);
        ASSERT_EQ(col(), c.col);
        ASSERT_EQ(row(), c.row);
        const int beeps = os_beep_count();
        key(c.vk, c.mods);
        EXPECT_EQ(col(), c.want_col);
        EXPECT_EQ(row(), c.want_row);
        EXPECT_EQ(os_beep_count() - beeps, c.beeps);
    }
}

TEST_F(NavigationTest, LeftAndRightMoveTheCaretFirst) {
    ASSERT_EQ(load(8801), 0);
    enter(1, 2);
    type("abc");
    key(OS_VK_LEFT);
    EXPECT_EQ(col(), 1);   // the caret went from 3 to 2
    key(OS_VK_RIGHT);
    EXPECT_EQ(col(), 1);   // back to the end
    key(OS_VK_HOME);
    key(OS_VK_LEFT);
    EXPECT_EQ(col(), 0);
    EXPECT_EQ(cell(2, 3), "abc");
}

TEST_F(NavigationTest, EscapeClosesTheDialogOnlyFromACheckBoxOrMenuCell) {
    ASSERT_EQ(load(8801), 0);
    // The editors take every key, so the dialog keyboard leaves Escape to them.
    os_set_style(grid(), os_get_style(grid()) | GS_ENTERDOWN);
    const auto cancelled = [&] { return wmsg.wMessageType == MsgPushButton && wmsg.wMessageValue1 == 2; };
    for (std::int32_t c : {0, 2, 5, 7}) {
        SCOPED_TRACE(c);
        enter(c, 1);
        wmsg.wMessageType = 0;
        wmsg.wValidMessage = 1;
        key(OS_VK_ESCAPE);
        EXPECT_EQ(cancelled(), c == 5 || c == 7);
    }
}

TEST_F(NavigationTest, DownInsideADroppedListMovesTheOption) {
    ASSERT_EQ(load(8801), 0);
    enter(7, 2);
    os_send_message(data().hEditor, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_EQ(data().hDroppedList, data().hEditor);
    key(OS_VK_DOWN);
    EXPECT_EQ(row(), 2);
    EXPECT_EQ(os_send_message(data().hEditor, CB_GETCURSEL, 0, 0), 1);
    os_send_message(data().hEditor, CB_SHOWDROPDOWN, 0, 0);
    EXPECT_EQ(data().hDroppedList, 0);
    key(OS_VK_DOWN);
    EXPECT_EQ(row(), 3);
    EXPECT_EQ(data().column(7).ints[2], 1);
}

}  // namespace

namespace {

TEST_F(NavigationTest, ResizingAddsAndDropsRowHeaders) {
    ASSERT_EQ(load(8806), 0);
    GridData& g = data();
    const std::int32_t visible = g.nVisibleRows;
    const std::size_t headers = g.phRowHeaders.size();
    OsRect r;
    os_get_window_rect(grid(), r);
    const std::int32_t pitch = g.nRowHeight - 1;
    os_set_window_pos(grid(), 0, 0, 0, r.width(), r.height() + 3 * pitch, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
    EXPECT_EQ(g.nVisibleRows, visible + 3);
    EXPECT_EQ(g.phRowHeaders.size(), headers + 3);
    EXPECT_EQ(static_cast<std::size_t>(g.nRowHeaders), g.phRowHeaders.size());
    // Smaller again with the current row near the bottom: it stays in view.
    enter(0, visible + 1);
    os_set_window_pos(grid(), 0, 0, 0, r.width(), r.height() - 2 * pitch, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
    EXPECT_EQ(g.nVisibleRows, visible - 2);
    EXPECT_EQ(g.phRowHeaders.size(), headers - 2);
    EXPECT_GE(g.iCurrentRow, g.iTopRow);
    EXPECT_LT(g.iCurrentRow, g.iTopRow + g.nVisibleRows);
    EXPECT_EQ(g.iCurrentRow, visible + 1);
}

TEST_F(NavigationTest, RowLabelsFollowTheRowsOnScreen) {
    ASSERT_EQ(load(8804), 0);
    GridData& g = data();
    vscroll(SB_LINEDOWN);
    vscroll(SB_LINEDOWN);
    ASSERT_EQ(g.iTopRow, 2);
    OsHeaderItem it;
    it.mask = HDI_TEXT;
    os_send_message(g.phRowHeaders[0], HDM_GETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
    EXPECT_EQ(it.text, "L3");
    os_send_message(g.phRowHeaders[1], HDM_GETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
    EXPECT_EQ(it.text, "L4");
}

TEST_F(NavigationTest, TheDefaultButtonIsPressedOnlyWhenEnabled) {
    ASSERT_EQ(load(8806), 0);
    const OsHandle ok = os_get_dlg_item(dlg(), 1);
    wmsg.wMessageType = 0;
    wmsg.wValidMessage = 1;
    const auto answer = os_send_message(data().hCellArea, DM_GETDEFID, 0, 0);
    EXPECT_EQ(os_loword(static_cast<std::uintptr_t>(answer)), 1);
    EXPECT_EQ(os_hiword(static_cast<std::uintptr_t>(answer)), DC_HASDEFID);
    EXPECT_EQ(wmsg.wMessageType, MsgPushButton);
    EXPECT_EQ(wmsg.wMessageValue1, 1);
    os_enable_window(ok, false);
    wmsg.wMessageType = 0;
    EXPECT_EQ(os_send_message(data().hCellArea, DM_GETDEFID, 0, 0), 0);
    EXPECT_EQ(wmsg.wMessageType, 0);
}

}  // namespace
