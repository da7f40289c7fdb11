// The cell interface: statuses, reading and writing by type, the current
// cell's editor, colours, ranges, steps, states and the rows in use; and the
// public cell routines with their errors.
#include "tests/grid/grid_fixture.h"

#include <cmath>
#include <cstring>
#include <functional>

#include "lib/window/quinda_state.h"

class CellsTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        ASSERT_EQ(load(8801), 0);
    }
    std::uint8_t state(int col, int row) { return data().column(col).pStates[static_cast<std::size_t>(row)]; }
};

TEST_F(CellsTest, StatusStaysOnSuccessAndNamesEachFailure) {
    std::int32_t s = Grid;
    double v = 0.0;
    std::int32_t type = 0;
    yygridcelltype(s, 0, type);
    EXPECT_EQ(s, Grid);
    s = 9999;   // no such control
    yygridcelltype(s, 0, type);
    EXPECT_EQ(s, -1);
    s = Grid;
    yygridcelltype(s, 8, type);
    EXPECT_EQ(s, -2);
    s = Grid;
    yygridgetcellvalue(s, 3, 20, v);   // row beyond the rows in use
    EXPECT_EQ(s, -2);
    s = Grid;
    yygridgetcellvalue(s, 3, 0, v);    // undefined real
    EXPECT_EQ(s, -3);
    s = Grid;
    yygridgetcellvalue(s, 5, 0, v);    // a check box has no number
    EXPECT_EQ(s, -2);
}

TEST_F(CellsTest, PutCellStringStoresByTypeAndSetsStateBits) {
    struct Case { int col; double value; const char* text; double stored; std::uint8_t bits; };
    const Case cases[] = {
        {4, 0.0, "3.25", 3.25, CellDefined | CellNonBlank},
        {4, 7.0, "7.000", 7.0, CellDefined | CellNonBlank},
        {2, -2.7, "-2.7", -2.0, CellDefined | CellNonBlank},
        {3, 0.1, "0.1", static_cast<double>(0.1f), CellDefined | CellNonBlank},
        {4, 0.0, "", 0.0, 0},
        {4, 0.0, "   ", 0.0, CellDefined},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::int32_t s = Grid;
        yygridputcellstring(s, c.col, 5, c.value, c.text, "", static_cast<std::int32_t>(std::strlen(c.text)) + 1, 1);
        EXPECT_EQ(s, Grid);
        EXPECT_EQ(state(c.col, 5), c.bits);
        double v = -1.0;
        yygridgetcellvalue(s, c.col, 5, v);
        if ((c.bits & CellDefined) && (c.bits & CellNonBlank)) {
            EXPECT_EQ(v, c.stored);
        }
    }
    // A text cell's text converts; a text longer than the column is cut.
    std::int32_t s = Grid;
    yygridputcellstring(s, 1, 0, 0.0, "12.5xxxxxxxxxxxxxxxxxxxxxxxxxx", "", 31, 1);
    EXPECT_EQ(cell(2, 1), "12.5xxxxxxxxxxxxxxxx");
    yygridputcellstring(s, 1, 0, 0.0, "12.5", "", 5, 1);
    double v = 0.0;
    yygridgetcellvalue(s, 1, 0, v);
    EXPECT_EQ(v, 12.5);
    EXPECT_EQ(data().bChanged, 1);
    EXPECT_EQ(data().bUnsaved, 1);
}

TEST_F(CellsTest, TheCurrentCellsEditorIsItsLiveValue) {
    WGridSetCell(Grid, 5, 3);
    ASSERT_EQ(err(), 0);
    GridData& g = data();
    ASSERT_NE(g.hEditor, 0);
    EXPECT_EQ(g.iCurrentColumn, 4);
    EXPECT_EQ(g.iCurrentRow, 2);
    std::int32_t s = Grid;
    yygridputcellstring(s, 4, 2, 7.0, "7.000", "", 6, 1);
    EXPECT_EQ(os_get_window_text(g.hEditor), "7.000");
    double v = 0.0;
    yygridgetcellvalue(s, 4, 2, v);
    EXPECT_EQ(v, 7.0);
    // Typing into the editor is what readers see.
    os_set_window_text(g.hEditor, "  ");
    yygridgetcellvalue(s, 4, 2, v);
    EXPECT_EQ(s, -3);
    s = Grid;
    os_set_window_text(g.hEditor, "8.5");
    os_send_message(g.hEditor, EM_SETMODIFY, 1, 0);
    yygridgetcellvalue(s, 4, 2, v);
    EXPECT_EQ(v, 8.5);
    // Moving on stores the editor's value in the cell.
    WGridSetCell(Grid, 1, 1);
    double d = 0.0;
    WGridGetCellDouble(Grid, 5, 3, d);
    EXPECT_EQ(d, 8.5);
}

TEST_F(CellsTest, ClearingCheckBoxesMenusAndCellStates) {
    std::int32_t s = Grid, option = 0;
    yygridputcelloption(s, 7, 4, 3);
    yygridclearcell(s, 7, 4, 0);
    EXPECT_EQ(s, -2);
    s = Grid;
    yygridgetcellmenu(s, 7, 4, option);
    EXPECT_EQ(option, 3);
    yygridclearcell(s, 7, 4, 2);
    yygridgetcellmenu(s, 7, 4, option);
    EXPECT_EQ(option, 1);
    // Clearing keeps a disabled cell disabled; mode 1 reaches allocated rows only.
    yygridputcellstring(s, 0, 1, 0.0, "x", "", 2, 1);
    yygridcellstate(s, 0, 1, 0);
    yygridclearcell(s, 0, 1, 0);
    EXPECT_EQ(state(0, 1), CellDisabled);
    yygridcellstate(s, 0, 1, 1);
    EXPECT_EQ(state(0, 1), 0);
    yygridclearcell(s, 0, 20, 1);
    EXPECT_EQ(s, -2);
    // A check-box reader on another type, and a menu reader likewise, report the column.
    s = Grid;
    std::int32_t v = 5;
    yygridgetcellcheck(s, 0, 0, v);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(v, 5);
    s = Grid;
    yygridgetcellmenu(s, 5, 0, v);
    EXPECT_EQ(s, -2);
}

TEST_F(CellsTest, ColoursRangesAndSpinSteps) {
    std::int32_t s = Grid;
    std::array<std::int32_t, 3> text{}, back{};
    yygridcolourcolumn(s, 1, 10, 20, 30, 40, 50, 60);
    yygridgetcolour(s, 1, 0, text, back);
    EXPECT_EQ(text, (std::array<std::int32_t, 3>{10, 20, 30}));
    EXPECT_EQ(back, (std::array<std::int32_t, 3>{40, 50, 60}));
    // A cell's own colours start from the column's; 256 restores the default.
    yygridcolourcell(s, 1, 2, -1, 0, 0, 256, 0, 0);
    yygridgetcolour(s, 1, 2, text, back);
    EXPECT_EQ(text, (std::array<std::int32_t, 3>{10, 20, 30}));
    EXPECT_EQ(back, (std::array<std::int32_t, 3>{-1, -1, -1}));
    yygridgetcolour(s, 1, 3, text, back);
    EXPECT_EQ(back, (std::array<std::int32_t, 3>{40, 50, 60}));
    EXPECT_EQ(s, Grid);
    // Out-of-range indices to the formerly unchecked routines change nothing.
    text = {7, 7, 7};
    yygridgetcolour(s, 99, -5, text, back);
    EXPECT_EQ(text, (std::array<std::int32_t, 3>{7, 7, 7}));
    std::string t = "keep";
    yygridgetmenustring(s, 7, 99, t, 10);
    yygridgetmenustring(s, -1, 1, t, 10);
    yygridgetrowlabel(s, 1000, t, 10);
    yygridlabelrow(s, -4, "x", 2);
    yygridlabelcolumn(s, 400, "x", 2);
    std::int32_t nf = 9;
    yygridputmenustring(s, 7, 500, nf, "b");
    EXPECT_EQ(t, "keep");
    EXPECT_EQ(nf, 9);
    EXPECT_EQ(s, Grid);
    // Ranges: none when the minimum is above the maximum.
    yygridrange(s, 4, 0.0, 1.0);
    yygridrangecheck(s, 4, 5.0);
    EXPECT_EQ(s, -3);
    s = Grid;
    yygridrange(s, 4, 2.0, 1.0);
    yygridrangecheck(s, 4, 5.0);
    EXPECT_EQ(s, Grid);
    // Spin steps only on the spin class; a large step of 0 takes the small one.
    yygridspinstepi(s, 2, 3, 0, 7);
    FieldRecord* f = yyfieldrecord(data().column(2).hControl);
    EXPECT_EQ(f->spin_small, 3.0);
    EXPECT_EQ(f->spin_large, 3.0);
    EXPECT_EQ(f->spin_offset, 7);
    yygridspinstepi(s, 0, 3, 0, 7);
    EXPECT_EQ(s, -2);
    // Menu strings: found case-insensitively, else the first option and 1.
    s = Grid;
    yygridputmenustring(s, 7, 1, nf, "B");
    EXPECT_EQ(nf, 0);
    std::int32_t option = 0;
    yygridgetcellmenu(s, 7, 1, option);
    EXPECT_EQ(option, 2);
    yygridputmenustring(s, 7, 1, nf, "zz");
    EXPECT_EQ(nf, 1);
    yygridgetcellmenu(s, 7, 1, option);
    EXPECT_EQ(option, 1);
}

TEST_F(CellsTest, InfoSelectionAndRowsInUse) {
    std::int32_t s = Grid, v = -7;
    yygridgetinfo(s, 10, v);
    EXPECT_EQ(v, 0);
    yygridsetselection(s, 1, 2, 3, 4);
    yygridgetinfo(s, 10, v);
    EXPECT_EQ(v, 2);
    yygridgetinfo(s, 13, v);
    EXPECT_EQ(v, 5);
    yygridsetselection(s, 1, 2, 9, 4);
    EXPECT_EQ(s, -2);
    s = Grid;
    yygridclearselection(s);
    yygridgetinfo(s, 11, v);
    EXPECT_EQ(v, 0);
    // Fewer rows than the current row: the current row becomes the last.
    WGridSetCell(Grid, 1, 15);
    yygridsetrows2(grid(), 10);
    EXPECT_EQ(data().nRows, 10);
    EXPECT_EQ(data().iCurrentRow, 9);
    // Held to 1 .. the rows allocated.
    yygridsetrows2(grid(), 0);
    EXPECT_EQ(data().nRows, 1);
    yygridsetrows2(grid(), 500);
    EXPECT_EQ(data().nRows, 20);
    v = -7;
    yygridgetinfo(s, 55, v);
    EXPECT_EQ(v, -7);
}

// ---- public routines ------------------------------------------------------------------------
TEST_F(CellsTest, PublicErrorsInTheirOrder) {
    double d = 1.0;
    std::string text = "unchanged";
    std::int32_t option = 4;
    struct Case { const char* what; std::function<void()> call; int error; };
    const Case cases[] = {
        {"no grid", [&] { WGridGetCellDouble(9999, 1, 1, d); }, 1006},
        {"column 0", [&] { WGridGetCellDouble(Grid, 0, 1, d); }, 1017},
        {"row beyond", [&] { WGridPutCellDouble(Grid, 5, 21, 1.0); }, 1017},
        {"undefined", [&] { WGridGetCellDouble(Grid, 5, 1, d); }, 1010},
        {"out of range", [&] { WGridPutCellReal(Grid, 4, 1, 500.0f); }, 1009},
        {"string of a check box", [&] { WGridGetCellString(Grid, 6, 1, text); }, 1017},
        {"menu reader on text", [&] { WGridGetCellMenu(Grid, 1, 1, option); }, 1017},
        {"check reader on text", [&] { WGridGetCellCheckBox(Grid, 1, 1, option); }, 1017},
        {"clear a menu", [&] { WGridClearCell(Grid, 8, 1); }, 1017},
        {"rows 0", [&] { WGridRows(Grid, 0); }, 1018},
        {"label beyond", [&] { WGridLabelRow(Grid, 21, "x"); }, 1017},
        {"sort column 0", [&] { WGridSort(Grid, 0); }, 1017},
    };
    for (const Case& c : cases) {
        c.call();
        EXPECT_EQ(err(), c.error) << c.what;
    }
    EXPECT_EQ(d, -999.0);   // only the undefined read wrote it
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(option, 4);
    EXPECT_EQ(data().nRows, 20);
}

TEST_F(CellsTest, PublicRoundTripsByType) {
    WGridPutCellInteger(Grid, 3, 18, 42);   // off screen
    std::int32_t i = 0;
    WGridGetCellInteger(Grid, 3, 18, i);
    EXPECT_EQ(i, 42);
    EXPECT_EQ(cell(3, 18), "42");
    WGridPutCellDouble(Grid, 5, 2, 2.5, "(F6.2)");
    EXPECT_EQ(cell(5, 2), "2.50");
    WGridPutCellDouble(Grid, 5, 3, 1.25, "   ");
    EXPECT_EQ(cell(5, 3), "1.25");   // a blank format: the column's, kept from before
    // A text column receives the written number on every row, on screen or not.
    WGridPutCellDouble(Grid, 1, 19, 3.5, "(F5.1)");
    EXPECT_EQ(cell(1, 19), "3.5");
    WGridPutCellCheckBox(Grid, 6, 4, 1);
    std::int32_t st = 0;
    WGridGetCellCheckBox(Grid, 6, 4, st);
    EXPECT_EQ(st, 1);
    WGridPutCellOption(Grid, 8, 4, 9);   // beyond the options: kept as it is
    WGridGetCellMenu(Grid, 8, 4, st);
    EXPECT_EQ(st, 9);
    std::string five(5, ' ');
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, 7, 0.0, "abcdefgh", "", 9, 1);
    WGridGetCellString(Grid, 1, 8, five);
    EXPECT_EQ(five, "abcde");
    std::int32_t t = 0;
    s = Grid;
    yygridputcellstring(s, 0, 8, 0.0, "-3.9", "", 5, 1);
    WGridGetCellInteger(Grid, 1, 9, t);
    EXPECT_EQ(t, -3);
    EXPECT_EQ(err(), 0);
    // More rows than allocated: all rows in use and 1018.
    WGridRows(Grid, 10);
    WGridRows(Grid, 30);
    EXPECT_EQ(err(), 1018);
    EXPECT_EQ(data().nRows, 20);
}

TEST_F(CellsTest, NoDialogMeansNoFieldAndGridZeroNeedsAGridWindow) {
    WDialogUnload();
    double d = 3.0;
    WGridGetCellDouble(Grid, 1, 1, d);
    EXPECT_EQ(err(), 1005);
    EXPECT_EQ(d, 3.0);
    WGridGetCellDouble(0, 1, 1, d);
    EXPECT_EQ(err(), 1006);
    WGridSort(0, 1);
    EXPECT_EQ(err(), 1005);
    std::int32_t found = 7;
    WGridFind(Grid, "x", 0, &found);
    EXPECT_EQ(err(), 1005);
    EXPECT_EQ(found, 7);
}

TEST_F(CellsTest, RedefineRebuildsColumnsFromTemplatePositions) {
    WGridPutCellDouble(Grid, 5, 1, 2.5);
    const std::int32_t positions[] = {8, 1, 3};
    std::int32_t s = Grid;
    yygridredefine(s, 3, positions);
    ASSERT_EQ(s, Grid);
    EXPECT_EQ(data().nColumns, 3);
    EXPECT_EQ(data().column(0).iType, GridMenu);
    EXPECT_EQ(data().column(1).iType, GridText);
    EXPECT_EQ(data().column(2).iType, GridInteger);
    EXPECT_EQ(cell(2, 1), "");   // the cells start empty
    EXPECT_EQ(data().nRowsAllocated, 20);
    // A position outside the template fails the rebuild.
    const std::int32_t bad[] = {99};
    yygridredefine(s, 1, bad);
    EXPECT_EQ(s, -1);
}

TEST_F(CellsTest, SetCellPlacesTheCaretOnlyWhenAsked) {
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, 2, 0.0, "abcdef", "", 7, 1);
    WGridSetCell(Grid, 1, 3, 3);
    ASSERT_EQ(err(), 0);
    std::int32_t a = -1, b = -1;
    os_send_message(data().hEditor, EM_GETSEL, reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::intptr_t>(&b));
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 2);
    WGridSetCell(Grid, 1, 21);
    EXPECT_EQ(err(), 1017);
}
