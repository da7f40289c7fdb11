// Editing cells in place and working the grid with the mouse: values typed
// into the editor and stored on leaving, invalid numbers that hold the
// cell, read-only menus, clicks on cells and headers, the context menu, and
// what the painted cell area shows.
#include <string>
#include <vector>

#include "lib/dialog/fieldrec.h"
#include "lib/window/convert.h"
#include "lib/window/wininfo.h"
#include "platform/os_cliptext.h"
#include "platform/os_gdi.h"
#include "platform/os_menu.h"
#include "platform/os_metafile.h"
#include "tests/grid/grid_fixture.h"

namespace {

class EditingTest : public GridTest {
protected:
    // The centre of a cell of the cell area.
    OsPoint centre(std::int32_t col, std::int32_t row) {
        GridData& g = data();
        std::int32_t x = 0;
        for (std::int32_t c = g.iFirstColumn; c < col; ++c) x += g.column(c).nWidth - 1;
        return {x + g.column(col).nWidth / 2, (row - g.iTopRow) * (g.nRowHeight - 1) + g.nRowHeight / 2};
    }
    void click(OsHandle w, std::int32_t x, std::int32_t y, std::int32_t button = 1, std::uint32_t mods = 0) {
        os_input_mouse(w, OS_MOUSE_PRESS, button, x, y, mods);
        run();
        os_input_mouse(w, OS_MOUSE_RELEASE, button, x, y, mods);
        run();
    }
    void click_cell(std::int32_t col, std::int32_t row, std::int32_t button = 1, std::uint32_t mods = 0) {
        const OsPoint p = centre(col, row);
        click(data().hCellArea, p.x, p.y, button, mods);
    }
    // Pixel of the painted cell area as 0xBBGGRR.
    std::uint32_t pixel(std::int32_t x, std::int32_t y) {
        os_update_window(data().hCellArea);
        return static_cast<std::uint32_t>(os_surface_pixel(data().hCellArea, x, y)) & 0xFFFFFF;
    }
};

TEST_F(EditingTest, TypedNumbersAreStoredWholeWhenTheCellIsLeft) {
    ASSERT_EQ(load(8801), 0);
    enter(4, 1);
    type("3.14159265358979");
    key(OS_VK_DOWN);
    ASSERT_EQ(data().iCurrentRow, 2);
    double v = 0.0;
    WGridGetCellDouble(Grid, 5, 2, v);
    EXPECT_EQ(v, 3.14159265358979);
}

TEST_F(EditingTest, AnEmptiedIntegerCellIsUndefinedButKeepsItsNonBlankBit) {
    ASSERT_EQ(load(8801), 0);
    WGridPutCellInteger(Grid, 3, 3, 42);
    enter(2, 2);
    os_send_message(os_get_focus(), EM_SETSEL, 0, -1);
    key(OS_VK_BACK);
    key(OS_VK_UP);
    ASSERT_EQ(data().iCurrentRow, 1);
    EXPECT_EQ(data().column(2).pStates[2] & (CellDefined | CellNonBlank), CellNonBlank);
    EXPECT_EQ(cell(3, 3), "");
    enter(2, 2);
    EXPECT_EQ(os_get_window_text(data().hEditor), "");
    ASSERT_NE(yyfieldrecord(data().hEditor), nullptr);
    EXPECT_EQ(yyfieldrecord(data().hEditor)->defined, 1);
}

// Storing the editor: a text cell keeps the state the program gave it,
// typed into or emptied; a menu with no option chosen stores -1. The editor
// is a control of its own, id -1, not the grid.
TEST_F(EditingTest, StoringTheEditorLeavesTextStatesAndStoresNoMenuChoice) {
    ASSERT_EQ(load(8801), 0);
    struct Case {
        std::uint8_t state;
        const char* typed;  // nullptr: the text is emptied
    };
    for (const Case& c : {Case{0, "typed"}, Case{CellDefined | CellNonBlank, nullptr}, Case{CellNonBlank, "x"}}) {
        SCOPED_TRACE(static_cast<int>(c.state));
        data().column(0).texts[2] = "old";
        data().column(0).pStates[2] = c.state;
        enter(0, 2);
        EXPECT_EQ(os_get_control_id(data().hEditor), -1);
        EXPECT_NE(os_get_control_id(data().hEditor), os_get_control_id(grid()));
        os_send_message(data().hEditor, EM_SETSEL, 0, -1);
        if (c.typed) type(c.typed);
        else key(OS_VK_BACK);
        key(OS_VK_DOWN);
        ASSERT_EQ(data().iCurrentRow, 3);
        EXPECT_EQ(data().column(0).texts[2], c.typed ? c.typed : "");
        EXPECT_EQ(data().column(0).pStates[2], c.state);
    }
    WGridPutCellOption(Grid, 8, 4, 2);
    enter(7, 3);
    ASSERT_EQ(os_send_message(data().hEditor, CB_GETCURSEL, 0, 0), 1);
    os_send_message(data().hEditor, CB_SETCURSEL, static_cast<std::uintptr_t>(-1), 0);
    yyGridStoreCurrent(grid());
    EXPECT_EQ(data().column(7).ints[3], -1);
}

TEST_F(EditingTest, ARealCellWithoutAFormatShowsTheDefaultOne) {
    ASSERT_EQ(load(8801), 0);
    WGridPutCellReal(Grid, 4, 6, 12.625f);
    enter(3, 5);
    std::string want(51, ' ');
    yyrea2st(12.625f, want, "(G15.5E2)");
    want.resize(want.find_last_not_of(" \0", std::string::npos, 2) + 1);
    while (!want.empty() && want.front() == ' ') want.erase(want.begin());
    std::string shown = os_get_window_text(data().hEditor);
    while (!shown.empty() && shown.front() == ' ') shown.erase(shown.begin());
    EXPECT_EQ(shown, want);
    EXPECT_EQ(shown, "12.625");
}

TEST_F(EditingTest, AnInvalidNumberBeepsAndHoldsTheCell) {
    ASSERT_EQ(load(8801), 0);
    enter(2, 4);
    // The field's keys refuse the letter; a text put there another way still meets the check.
    const int typed = os_beep_count();
    type("x");
    EXPECT_EQ(os_beep_count() - typed, 1);
    os_set_window_text(data().hEditor, "12x");
    const int beeps = os_beep_count();
    key(OS_VK_DOWN);
    EXPECT_EQ(data().iCurrentRow, 4);
    EXPECT_EQ(os_beep_count() - beeps, 1);
    EXPECT_EQ(os_get_focus(), data().hEditor);
    // Corrected, it goes.
    os_send_message(os_get_focus(), EM_SETSEL, 0, -1);
    type("12");
    key(OS_VK_DOWN);
    EXPECT_EQ(data().iCurrentRow, 5);
    EXPECT_EQ(cell(3, 5), "12");
}

// Counts the cell-change messages a dialog receives.
int g_cell_changes = 0;
OsWndProc g_dialog_proc = nullptr;
std::intptr_t counting(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == grid_state.GM_CELLCHANGE) ++g_cell_changes;
    return g_dialog_proc(w, m, wp, lp);
}

TEST_F(EditingTest, AReadOnlyMenuSnapsBackWithoutACellChange) {
    ASSERT_EQ(load(8801), 0);
    for (const bool readonly : {true, false}) {
        SCOPED_TRACE(readonly);
        os_set_style(grid(), readonly ? os_get_style(grid()) | GS_READONLY : os_get_style(grid()) & ~GS_READONLY);
        enter(7, readonly ? 1 : 2);
        g_dialog_proc = os_set_window_proc(dlg(), counting);
        g_cell_changes = 0;
        os_send_message(data().hEditor, CB_SHOWDROPDOWN, 1, 0);
        key(OS_VK_DOWN);
        os_set_window_proc(dlg(), g_dialog_proc);
        EXPECT_EQ(os_send_message(data().hEditor, CB_GETCURSEL, 0, 0), readonly ? 0 : 1);
        EXPECT_EQ(g_cell_changes, readonly ? 0 : 1);
    }
}

TEST_F(EditingTest, ClicksOnCellsAndHeadersMoveAndSelect) {
    ASSERT_EQ(load(8806), 0);
    GridData& g = data();
    enter(0, 0);
    click_cell(1, 2);
    EXPECT_EQ(g.iCurrentColumn, 1);
    EXPECT_EQ(g.iCurrentRow, 2);
    // Shift-click: the rectangle from the current cell.
    click_cell(2, 4, 1, OS_IN_SHIFT);
    EXPECT_EQ(g.iSelFirstColumn, 1);
    EXPECT_EQ(g.iSelLastColumn, 2);
    EXPECT_EQ(g.iSelFirstRow, 2);
    EXPECT_EQ(g.iSelLastRow, 4);
    // A right click inside the selection keeps it and the current cell.
    click_cell(2, 3, 3);
    EXPECT_EQ(g.iCurrentColumn, 1);
    EXPECT_EQ(g.iCurrentRow, 2);
    EXPECT_EQ(g.iSelLastRow, 4);
    // The corner of the column header: every cell.
    click(g.hColumnHeader, g.nRowLabelWidth / 2, 4);
    EXPECT_EQ(g.iSelFirstRow, 0);
    EXPECT_EQ(g.iSelLastRow, g.nRows - 1);
    EXPECT_EQ(g.iSelFirstColumn, 0);
    EXPECT_EQ(g.iSelLastColumn, g.nColumns - 1);
    // Shift on header item 3 from column 1: columns 1 to 3, all rows.
    std::int32_t x3 = g.nRowLabelWidth + 1 + g.column(3).nWidth / 2;
    for (int c = 0; c < 3; ++c) x3 += g.column(c).nWidth - 1;
    click(g.hColumnHeader, x3, 4, 1, OS_IN_SHIFT);
    EXPECT_EQ(g.iSelFirstColumn, 1);
    EXPECT_EQ(g.iSelLastColumn, 3);
    EXPECT_EQ(g.iSelFirstRow, 0);
    EXPECT_EQ(g.iSelLastRow, g.nRows - 1);
    EXPECT_EQ(g.iCurrentColumn, 1);
    // Without Shift: the column's top cell becomes current, the column selected.
    click(g.hColumnHeader, x3, 4);
    EXPECT_EQ(g.iCurrentColumn, 3);
    EXPECT_EQ(g.iCurrentRow, g.iTopRow);
    EXPECT_EQ(g.iSelFirstColumn, 3);
    EXPECT_EQ(g.iSelLastColumn, 3);
    // A row header: its row across all columns.
    ASSERT_GT(g.phRowHeaders.size(), 3u);
    click(g.phRowHeaders[3], 5, 3);
    EXPECT_EQ(g.iCurrentRow, g.iTopRow + 3);
    EXPECT_EQ(g.iSelFirstRow, g.iTopRow + 3);
    EXPECT_EQ(g.iSelLastColumn, g.nColumns - 1);
}

TEST_F(EditingTest, TheContextMenuCopiesAndPastesCells) {
    ASSERT_EQ(load(8801), 0);
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, 0, 0.0, "top", "", 10, 0);
    yygridputcellstring(s, 0, 1, 0.0, "next", "", 10, 0);
    enter(0, 0);
    yygridselectrange(grid(), 0, 1, 0, 0);
    std::vector<std::string> seen;
    int pick = 3;   // "&Copy"
    os_menu_set_responder([&](OsMenu m) {
        for (int i = 0; i < os_menu_item_count(m); ++i) {
            OsMenuItemInfo it;
            os_get_menu_item(m, i, it);
            seen.push_back(it.text + ":" + std::to_string(it.id) + ((it.state & OS_MF_GRAYED) ? "-" : "+"));
        }
        OsMenuChoice c;
        c.path = {pick};
        c.choose = true;
        return c;
    });
    click_cell(0, 1, 3);
    const std::vector<std::string> want{"&Undo:32221-", ":0+",        "Cu&t:32122+",        "&Copy:32123+",
                                        "&Paste:32224-", "&Delete:32125+", ":0+", "Select &All:32226-"};
    EXPECT_EQ(seen, want);
    EXPECT_EQ(os_get_clipboard_text().value_or(""), "top\r\nnext");
    // Pasted at row 5 through the menu: the clipboard holds a table now.
    yygridselectnone(grid());
    enter(0, 5);
    pick = 4;
    seen.clear();
    click_cell(0, 5, 3);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[4], "&Paste:32124+");
    EXPECT_EQ(cell(1, 6), "top");
    EXPECT_EQ(cell(1, 7), "next");
}

TEST_F(EditingTest, PaintedGridLinesSelectionAndReadOnlyCells) {
    ASSERT_EQ(load(8801), 0);
    GridData& g = data();
    WGridPutCellCheckBox(Grid, 6, 2, 1);
    const std::int32_t pitch = g.nRowHeight - 1;
    const std::int32_t w0 = g.column(0).nWidth - 1;
    enter(0, 0);
    // Grid lines every nRowHeight - 1 and nWidth - 1 pixels.
    EXPECT_EQ(pixel(w0 / 2, pitch), 0x000000u);
    EXPECT_EQ(pixel(w0 / 2, 2 * pitch), 0x000000u);
    EXPECT_EQ(pixel(w0, pitch + pitch / 2), 0x000000u);
    EXPECT_NE(pixel(w0 / 2, pitch + 3), 0x000000u);
    // Read-only column 6 on the button face; plain cells on the window colour.
    std::int32_t x6 = 0;
    for (int c = 0; c < 6; ++c) x6 += g.column(c).nWidth - 1;
    EXPECT_EQ(pixel(x6 + 3, 2 * pitch + 3), os_sys_colour(OS_COLOR_BTNFACE) & 0xFFFFFF);
    EXPECT_EQ(pixel(3, 2 * pitch + 3), os_sys_colour(OS_COLOR_WINDOW) & 0xFFFFFF);
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, 4, 0.0, "Welltop", "", 20, 0);
    WGridPutCellInteger(Grid, 3, 5, 4711);
    WGridPutCellReal(Grid, 4, 5, 2.5f);
    WGridPutCellOption(Grid, 8, 5, 2);
    // Selected cells take the highlight only while the focus is in the grid.
    yygridselectrange(grid(), 2, 3, 0, 1);
    EXPECT_EQ(pixel(3, 2 * pitch + 3), os_sys_colour(OS_COLOR_HIGHLIGHT) & 0xFFFFFF);
    // Filled up to the grid lines: the last pixel before them too.
    EXPECT_EQ(pixel(w0 - 1, 3 * pitch - 1), os_sys_colour(OS_COLOR_HIGHLIGHT) & 0xFFFFFF);
    os_set_focus(0);
    os_invalidate_rect(g.hCellArea, nullptr, false);
    EXPECT_EQ(pixel(3, 2 * pitch + 3), os_sys_colour(OS_COLOR_WINDOW) & 0xFFFFFF);
    // Check boxes from their bitmaps: the checked cell differs from the unchecked one.
    std::int32_t x5 = 0;
    for (int c = 0; c < 5; ++c) x5 += g.column(c).nWidth - 1;
    int differ = 0;
    for (int y = 1; y < pitch; ++y)
        for (int x = 1; x < g.column(5).nWidth - 2; ++x)
            if (pixel(x5 + x, pitch + y) != pixel(x5 + x, 2 * pitch + y)) ++differ;
    EXPECT_GT(differ, 3);
}

}  // namespace

namespace {

TEST_F(EditingTest, DraggingFromACellSelectsTheCellsPassedOver) {
    ASSERT_EQ(load(8801), 0);
    GridData& g = data();
    enter(0, 0);
    const OsPoint a = centre(1, 1), b = centre(3, 4), back = centre(1, 1);
    os_input_mouse(g.hCellArea, OS_MOUSE_PRESS, 1, a.x, a.y);
    run();
    ASSERT_EQ(g.iCurrentColumn, 1);
    ASSERT_EQ(g.iCurrentRow, 1);
    os_input_mouse(g.hCellArea, OS_MOUSE_MOVE, 0, b.x, b.y);
    run();
    EXPECT_EQ(g.iSelFirstColumn, 1);
    EXPECT_EQ(g.iSelLastColumn, 3);
    EXPECT_EQ(g.iSelFirstRow, 1);
    EXPECT_EQ(g.iSelLastRow, 4);
    os_input_mouse(g.hCellArea, OS_MOUSE_MOVE, 0, back.x, back.y);
    run();
    EXPECT_EQ(g.iSelFirstRow, -1);
    // Moving over the editor itself does the same.
    os_input_mouse(g.hCellArea, OS_MOUSE_MOVE, 0, b.x, b.y);
    run();
    EXPECT_EQ(g.iSelLastRow, 4);
    const OsPoint in_editor = centre(1, 1);
    OsPoint p = in_editor;
    os_client_to_screen(g.hCellArea, p);
    os_screen_to_client(g.hEditor, p);
    os_input_mouse(g.hEditor, OS_MOUSE_MOVE, 0, p.x, p.y);
    run();
    EXPECT_EQ(g.iSelFirstRow, -1);
    os_input_mouse(g.hCellArea, OS_MOUSE_RELEASE, 1, back.x, back.y);
    run();
}

TEST_F(EditingTest, ThePartlyVisibleLastRowIsPainted) {
    ASSERT_EQ(load(8801), 0);
    GridData& g = data();
    const std::int32_t pitch = g.nRowHeight - 1;
    OsRect r;
    os_get_window_rect(grid(), r);
    os_set_window_pos(grid(), 0, 0, 0, r.width(), r.height() + pitch / 2, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
    const std::int32_t partial = g.nVisibleRows;   // the row below the whole ones
    ASSERT_LT(partial, g.nRows);
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, partial, 0.0, "WWWW", "", 10, 0);
    os_invalidate_rect(g.hCellArea, nullptr, false);
    const std::int32_t top = partial * pitch;
    EXPECT_EQ(pixel(0, top + 3), 0x000000u);   // the grid's left line runs on into it
    int ink = 0;
    for (int y = top + 2; y < top + pitch / 2; ++y)
        for (int x = 2; x < g.column(0).nWidth - 3; ++x)
            if (pixel(x, y) == 0x000000u) ++ink;
    EXPECT_GT(ink, 5);
}

}  // namespace

namespace {

TEST_F(EditingTest, ACheckBoxClickOrASpinStepChangesTheCellAndTellsTheDialog) {
    ASSERT_EQ(load(8801), 0);
    GridData& g = data();
    enter(0, 0);
    g_dialog_proc = os_set_window_proc(dlg(), counting);
    g_cell_changes = 0;
    g.bUnsaved = 0;
    click_cell(5, 3);
    EXPECT_EQ(g.iCurrentColumn, 5);
    EXPECT_EQ(g.iCurrentRow, 3);
    EXPECT_EQ(os_send_message(g.hEditor, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(g.bUnsaved, 1);
    EXPECT_GE(g_cell_changes, 1);
    enter(0, 0);
    EXPECT_EQ(g.column(5).ints[3], 1);
    // An up-down step of a spin cell outside a modal dialog.
    enter(2, 1);
    const FieldRecord* f = yyfieldrecord(g.hEditor);
    ASSERT_NE(f, nullptr);
    // The spin cell's editor has an up-down of its own, beside it in the cell area.
    ASSERT_NE(f->buddy, 0);
    EXPECT_EQ(os_get_parent(f->buddy), g.hCellArea);
    g.bUnsaved = 0;
    const int before = g_cell_changes;
    yygridselectrange(grid(), 0, 0, 0, 0);
    os_send_message(g.hCellArea, OSM_VSCROLL, SB_THUMBPOSITION, static_cast<std::intptr_t>(f->buddy));
    os_send_message(g.hCellArea, OSM_VSCROLL, SB_ENDSCROLL, static_cast<std::intptr_t>(f->buddy));
    EXPECT_EQ(g_cell_changes, before + 1);
    EXPECT_EQ(g.bUnsaved, 1);
    EXPECT_EQ(g.iSelFirstRow, -1);
    os_set_window_proc(dlg(), g_dialog_proc);
}

}  // namespace
