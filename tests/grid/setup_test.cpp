// Grids set up from "[Grids]" entries and row templates: column types, the
// characters each entry uses, labels, failing set-ups, the modal copy and clearing.
#include "tests/grid/grid_fixture.h"

#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "lib/window/fetch.h"
#include "lib/window/messages.h"
#include "tests/support/font_metrics.h"

using SetupTest = GridTest;

TEST_F(SetupTest, TemplateControlsGiveTypedColumns) {
    ASSERT_EQ(load(8801), 0);
    GridData& g = data();
    ASSERT_EQ(g.bInitialised, 1);
    EXPECT_EQ(g.nColumns, 8);
    EXPECT_EQ(g.nColumnsDeclared, 8);
    EXPECT_EQ(g.nRows, 20);
    EXPECT_EQ(g.nRowsAllocated, 20);
    EXPECT_EQ(g.idTemplate, 8810);
    struct Case { int column, type, field_type, max_length; };
    const Case cases[] = {{0, GridText, 4, 1024}, {1, GridText, 4, 20}, {2, GridInteger, 5, 11}, {3, GridReal, 6, 0},
                          {4, GridDouble, 7, 0}, {5, GridCheckBox, 9, 0}, {6, GridText, 4, 1024}, {7, GridMenu, 11, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(g.column(c.column).iType, c.type);
        EXPECT_EQ(g.column(c.column).nMaxLength, c.max_length);
        std::int32_t s = Grid, t = 0;
        yygridcelltype(s, c.column, t);
        EXPECT_EQ(t, c.field_type);
    }
    // The read-only template edit starts every cell of its column disabled.
    for (std::uint8_t st : g.column(6).pStates) EXPECT_EQ(st, CellDisabled);
    EXPECT_EQ(g.column(0).pStates[0], 0);
    // The combo box's options in order.
    std::string text;
    for (int k = 1; k <= 3; ++k) {
        std::int32_t s = Grid;
        yygridgetmenustring(s, 7, k, text, 10);
        EXPECT_EQ(text, std::string(1, static_cast<char>('a' + k - 1)));
    }
    // The range of the template's real edit is the column's.
    std::int32_t s = Grid;
    yygridrangecheck(s, 3, 101.0);
    EXPECT_EQ(s, -3);
}

TEST_F(SetupTest, LabelsAndCharactersUsedWithRowHeaders) {
    ASSERT_EQ(load(8802), 0);
    GridData& g = data();
    ASSERT_EQ(g.bInitialised, 1);
    EXPECT_EQ(g.nRows, 4);
    EXPECT_GT(g.nRowLabelWidth, 0);
    EXPECT_GT(g.nHeaderHeight, 0);
    std::string label;
    const char* want[] = {"Depth", "12345678901234567890123456789012345678901234567890", "Third", "Fourth"};
    for (int r = 0; r < 4; ++r) {
        std::int32_t s = Grid;
        yygridgetrowlabel(s, r, label, 100);
        EXPECT_EQ(label, want[r]) << r;
    }
    // The column header carries the template controls' texts.
    std::int32_t s = Grid;
    yygridgetcolumnlabel(s, 4, label, 20);
    EXPECT_EQ(label, "Depth");
    yygridgetcolumnlabel(s, 0, label, 20);
    EXPECT_EQ(label, "");
    // The second grid read its width line but no labels, and the reader
    // went on with the check box after it.
    GridData& h = data(8851);
    ASSERT_EQ(h.bInitialised, 1);
    EXPECT_EQ(h.nRows, 3);
    for (int r = 0; r < 3; ++r) {
        std::int32_t t = 8851;
        yygridgetrowlabel(t, r, label, 100);
        EXPECT_EQ(label, "");
    }
    EXPECT_EQ(os_send_message(grid(8852), BM_GETCHECK, 0, 0), 1);
}

TEST_F(SetupTest, CharactersUsedWithoutRowHeadersEndAtTheTemplateToken) {
    ASSERT_EQ(load(8801), 0);
    const OsHandle g = grid();
    // Already set up: nothing changes, and the characters used still end at the template id.
    EXPECT_EQ(yygridinitialise(g, "3  9   8812 \n"), 7);
    EXPECT_EQ(data().nColumns, 8);
    EXPECT_EQ(data().nRows, 20);
    EXPECT_EQ(data().idTemplate, 8810);
}

TEST_F(SetupTest, FailingSetUpsDestroyTheGrid) {
    ASSERT_EQ(load(8803), 0);
    // A push button, too few controls, a static text, a negative count, more
    // rows than a packed cell names, and a line of two numbers.
    for (std::int32_t id : {8850, 8851, 8853, 8854, 8855, 8856}) EXPECT_EQ(grid(id), 0) << id;
    // A repeated entry for a grid already set up changes nothing.
    ASSERT_NE(grid(8857), 0);
    EXPECT_EQ(data(8857).nColumns, 1);
    EXPECT_EQ(data(8857).nRows, 5);
}

TEST_F(SetupTest, ClearKeepsOptionsAndDisabledCells) {
    ASSERT_EQ(load(8801), 0);
    WGridPutCellDouble(Grid, 5, 2, 2.5);
    WGridPutCellOption(Grid, 8, 2, 3);
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, 3, 0.0, "abc", "", 4, 1);
    yygridcellstate(s, 0, 3, 0);
    ASSERT_EQ(err(), 0);
    yyGridClear(grid(), 0);
    EXPECT_EQ(cell(5, 2), "");
    EXPECT_EQ(cell(1, 4), "");
    EXPECT_EQ(data().column(0).pStates[3], CellDisabled);
    std::int32_t option = 0;
    WGridGetCellMenu(Grid, 8, 2, option);
    EXPECT_EQ(option, 1);
    std::string text;
    yygridgetmenustring(s, 7, 3, text, 10);
    EXPECT_EQ(text, "c");
    yyGridClear(grid(), 1);
    EXPECT_EQ(os_send_message(data().column(7).hControl, CB_GETCOUNT, 0, 0), 0);
}

TEST(PackedCellTest, ColumnAboveTheRow) {
    struct Case { int column, row; PackedCell packed; };
    const Case cases[] = {{0, 0, (1 << 18) + 1}, {2, 9, 3 * (1 << 18) + 10}, {8190, 262142, (8191 << 18) + 262143}};
    for (const Case& c : cases) EXPECT_EQ(pack_cell(c.column, c.row), c.packed);
}

TEST_F(SetupTest, AFontChangeMeasuresRowsAgainAndFitsTheHeight) {
    ASSERT_EQ(load(8802), 0);
    GridData& g = data();
    const std::int32_t before = g.nRowHeight;
    OsLogFont lf;
    lf.height = -24;
    lf.face = "Arial";
    const OsHandle big = os_create_font(lf);
    ASSERT_NE(big, 0);
    os_send_message(grid(), OSM_SETFONT, static_cast<std::uintptr_t>(big), 0);
    EXPECT_GT(g.nRowHeight, before);
    EXPECT_EQ(os_send_message(grid(), OSM_GETFONT, 0, 0), big);
    EXPECT_EQ(g.nHeaderHeight, g.nRowHeight + 1);
    // Whole rows: the client height is the rows' pitch plus the header and one line.
    OsRect wr, cr;
    os_get_window_rect(grid(), wr);
    os_get_client_rect(grid(), cr);
    EXPECT_EQ(wr.height(), (g.nRowHeight - 1) * (g.nVisibleRows + 1) + (wr.height() - cr.height()) + 1 + 2);
    os_send_message(grid(), OSM_SETFONT, 0, 0);
    os_delete_object(big);
}

// Dialog units to pixels with the window's font: x by the average character
// width of its text metrics / 4, y by the character height / 8, truncated.
TEST_F(SetupTest, DialogUnitsFollowTheFontsAverageWidthAndHeight) {
    ASSERT_EQ(load(8801), 0);
    struct Case {
        const char* face;
        std::int32_t height;
    };
    for (const Case& c : {Case{"Arial", -13}, Case{"Arial", -20}, Case{"Times New Roman", -10}, Case{"Courier New", -13},
                          Case{"Symbol", -16}}) {
        SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.height));
        OsLogFont lf;
        lf.height = c.height;
        lf.face = c.face;
        const OsHandle f = os_create_font(lf);
        ASSERT_NE(f, 0);
        os_send_message(grid(), OSM_SETFONT, static_cast<std::uintptr_t>(f), 0);
        const OsTextMetric tm = font_metrics(f);
        ASSERT_GT(tm.ave_char_width, 0);
        OsRect r{-7, 3, 401, 87};
        YYMapDialogRect(grid(), r);
        EXPECT_EQ(r.left, -7 * tm.ave_char_width / 4);
        EXPECT_EQ(r.right, 401 * tm.ave_char_width / 4);
        EXPECT_EQ(r.top, 3 * tm.height / 8);
        EXPECT_EQ(r.bottom, 87 * tm.height / 8);
        os_send_message(grid(), OSM_SETFONT, 0, 0);
        os_delete_object(f);
    }
}

TEST_F(SetupTest, LabelsAlignmentAndTheLastModalGridWindowsFlags) {
    ASSERT_EQ(load(8802), 0);
    std::int32_t s = Grid, header = -1, width = -1;
    yygridgetlabels(s, header, width);
    EXPECT_EQ(header, 1);
    EXPECT_EQ(width, data().nRowLabelWidth);
    s = 8851;
    yygridgetlabels(s, header, width);
    EXPECT_EQ(header, 0);
    EXPECT_GT(width, 0);
    struct Case { int column, align; };
    for (const Case c : {Case{0, 0}, Case{5, 1}, Case{7, 0}}) {
        s = Grid;
        std::int32_t a = -1;
        yygridgetalign(s, c.column, a);
        EXPECT_EQ(a, c.align) << c.column;
    }
    // Reference -2 answers only codes 6 and 7, from what a closed modal grid window left.
    grid_state.last_unsaved = 1;
    grid_state.last_changed = 1;
    std::int32_t v = 9;
    s = -2;
    yygridgetinfo(s, 6, v);
    EXPECT_EQ(v, 0);
    yygridgetinfo(s, 7, v);
    EXPECT_EQ(v, 1);
    v = 9;
    yygridgetinfo(s, 1, v);
    EXPECT_EQ(v, 9);
    EXPECT_EQ(s, -2);
}

TEST_F(SetupTest, ACellChangeBecomesAFieldMessageWithTheCell) {
    wmessageenable(MsgFieldChanged, 1);
    ASSERT_EQ(load(8801), 0);
    WGridSetCell(Grid, 1, 1);   // the focus goes into the grid
    WindowMessage m;
    std::int32_t type = -1;
    for (int i = 0; i < 50; ++i) wmessagepeek(type, m);   // what the focus move said
    // Moving the current cell while the focus is inside tells the dialog.
    yydialogrecord(dlg())->item[DlgCurrentField] = 0;
    yygridupdatecell(grid(), 2, 3, false);
    EXPECT_EQ(yydialogrecord(dlg())->item[DlgCurrentField], Grid);
    EXPECT_TRUE(os_is_child(grid(), os_get_focus()));
    // The dialog makes the notice a field message with the cell as Y.
    os_post_message(dlg(), grid_state.GM_CELLCHANGE, Grid, pack_cell(2, 3));
    type = -1;
    for (int i = 0; i < 50 && type != 10; ++i) wmessagepeek(type, m);
    ASSERT_EQ(type, 10);
    EXPECT_EQ(m.VALUE2, Grid);
    EXPECT_EQ(m.VALUE3, 0);
    EXPECT_EQ(m.Y, pack_cell(2, 3));
}
