// The grid's clipboard: copying the selection as tab-separated text, pasting
// such text at the current cell by column type, deleting cells, the checks
// that enable these commands and the messages they write.
#include <string>
#include <vector>

#include "lib/window/messages.h"
#include "platform/os_cliptext.h"
#include "platform/os_metafile.h"
#include "platform/os_msgbox.h"
#include "tests/grid/grid_fixture.h"

namespace {

class ClipboardTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        ASSERT_EQ(load(8801), 0);
        os_message_box_set_responder({});
    }
    void TearDown() override {
        GridTest::TearDown();
        os_message_box_set_responder({});
    }
    // Another program puts this text on the clipboard.
    static void put(const std::string& utf8) { os_clipboard_foreign_text(utf8); }
    // What another program reads from the clipboard.
    static std::string seen() {
        const std::vector<std::uint8_t> b = os_clipboard_bytes("text/plain");
        return std::string(b.begin(), b.end());
    }
    void current(std::int32_t col, std::int32_t row) { yygridupdatecell(grid(), col, row, false); }
    GridColumn& column(std::int32_t c) { return data().column(c); }
};

TEST_F(ClipboardTest, CopyWritesTabsBetweenCellsAndCrLfBetweenRowsOnly) {
    WGridPutCellInteger(Grid, 3, 1, 5);
    WGridPutCellInteger(Grid, 3, 2, -12);
    WGridPutCellCheckBox(Grid, 6, 2, 1);
    // A text cell holds a character other programs see in UTF-8.
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, 0, 0.0, "caf\xE9", "", 10, 0);
    yygridputcellstring(s, 0, 1, 0.0, "b", "", 10, 0);
    yygridselectrange(grid(), 0, 1, 0, 2);
    ASSERT_EQ(yygridclipcopy(grid()), 1);
    EXPECT_EQ(seen(), "caf\xC3\xA9\t\t5\r\nb\t\t-12");
    EXPECT_EQ(os_get_clipboard_text().value_or("?"), "caf\xE9\t\t5\r\nb\t\t-12");
    // Check boxes copy as Yes / No, menus as their option text.
    WGridPutCellOption(Grid, 8, 3, 3);
    yygridselectrange(grid(), 1, 2, 5, 7);
    ASSERT_EQ(yygridclipcopy(grid()), 1);
    EXPECT_EQ(seen(), "Yes\t\ta\r\nNo\t\tc");
}

TEST_F(ClipboardTest, ABusyClipboardShowsTheFailureBoxAndKeepsTheSelection) {
    std::vector<OsMessageBoxRequest> shown;
    os_message_box_set_responder([&](const OsMessageBoxRequest& r) {
        shown.push_back(r);
        return OS_IDOK;
    });
    ASSERT_TRUE(os_open_clipboard());   // held by "another program"
    yygridselectrange(grid(), 0, 0, 0, 0);
    EXPECT_EQ(yygridclipcopy(grid()), 0);
    os_close_clipboard();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Unable to Copy Data to Clipboard");
    EXPECT_EQ(shown[0].text.substr(0, 40), "Either the clipboard is in use by anothe");
    EXPECT_EQ(shown[0].style & (OS_MB_ICONMASK | OS_MB_TASKMODAL), OS_MB_ICONSTOP | OS_MB_TASKMODAL);
    EXPECT_EQ(data().iSelFirstRow, 0);
}

TEST_F(ClipboardTest, EveryKindOfLineEndEndsARow) {
    for (const char* text : {"p\tq\r\nr\ts", "p\tq\nr\ts\n", "p\tq\rr\ts", "p\tq\r\nr\ts\r\n"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        yyGridClear(grid(), 0);
        put(text);
        std::int32_t rows = 0, cols = 0;
        yygridclipcount(rows, cols);
        EXPECT_EQ(rows, 2);
        EXPECT_EQ(cols, 2);
        EXPECT_EQ(yygridcheckclipboard(), 2);
        current(0, 3);
        yygridclippaste(grid());
        EXPECT_EQ(cell(1, 4), "p");
        EXPECT_EQ(cell(2, 4), "q");
        EXPECT_EQ(cell(1, 5), "r");
        EXPECT_EQ(cell(2, 5), "s");
        EXPECT_EQ(cell(1, 6), "");
        EXPECT_EQ(cell(1, 4, Grid).find('\n'), std::string::npos);
    }
}

TEST_F(ClipboardTest, KindsAndCounts) {
    struct Case {
        const char* text;
        std::int32_t kind, rows, cols;
    } cases[] = {
        {"abc", 1, 1, 1},          {"abc\r\n", 2, 1, 1},   {"a\nb", 2, 2, 1},   {"a\tb\tc\r\nd", 2, 2, 3},
        {"a\r\n\r\nb\tc\t", 2, 3, 3}, {"", 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        put(c.text);
        EXPECT_EQ(yygridcheckclipboard(), c.kind);
        std::int32_t rows = 0, cols = 0;
        yygridclipcount(rows, cols);
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(cols, c.cols);
    }
}

TEST_F(ClipboardTest, PasteConvertsEachFieldByItsColumnType) {
    struct Case {
        std::int32_t col;   // 0-based
        const char* before;
        const char* field;
        const char* after;   // display text through the public reader or the cell
    } cases[] = {
        {2, "4", "7.9", "7"},          {2, "4", "1.5E2", "4"},   {2, "4", "-3", "-3"},   {2, "4", "x1", "4"},
        {3, "50", "150", "50.000"},    {3, "50", "99.5", "99.500"}, {4, "1", "2.5D1", "25.000"},
        {0, "", "\xCE\xA9", "?"},      {1, "", "\xE2\x82\xAC", "\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " into column " + std::to_string(c.col));
        std::int32_t s = Grid;
        if (c.col == 2) WGridPutCellInteger(Grid, 3, 1, std::stoi(c.before));
        else if (c.col == 3) WGridPutCellReal(Grid, 4, 1, std::stof(c.before));
        else if (c.col == 4) WGridPutCellDouble(Grid, 5, 1, std::stod(c.before));
        else yygridputcellstring(s, c.col, 0, 0.0, "", "", 0, 0);
        current(c.col, 0);
        put(c.field);
        yygridclippaste(grid());
        current(7, 5);
        EXPECT_EQ(cell(c.col + 1, 1), c.after);
    }
}

TEST_F(ClipboardTest, PasteIntoCheckBoxesAndMenus) {
    struct Case {
        std::int32_t col;
        const char* field;
        std::int32_t value;
    } cases[] = {
        {5, "yes", 1}, {5, "YES", 1}, {5, "Yes ", 0}, {5, "no", 0},
        {7, "b", 1},   {7, "C", 2},   {7, "zz", 2},   {7, "a", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        current(c.col, 0);
        put(c.field);
        yygridclippaste(grid());
        current(0, 9);
        EXPECT_EQ(column(c.col).ints[0], c.value);
    }
    // Into the current cell: its editor shows the value at once.
    current(7, 2);
    put("c");
    yygridclippaste(grid());
    EXPECT_EQ(os_send_message(data().hEditor, CB_GETCURSEL, 0, 0), 2);
    current(5, 2);
    put("Yes");
    yygridclippaste(grid());
    EXPECT_EQ(os_send_message(data().hEditor, BM_GETCHECK, 0, 0), 1);
}

TEST_F(ClipboardTest, PasteStopsAtTheGridsEdges) {
    // Three columns at the second-last column fill two; the third field of
    // every line is dropped.
    current(6, 0);
    put("p\tb\tr\r\ns\tc\tu");
    yygridclippaste(grid());
    EXPECT_EQ(column(6).texts[0], "p");
    EXPECT_EQ(column(6).texts[1], "s");
    EXPECT_EQ(column(7).ints[0], 1);
    EXPECT_EQ(column(7).ints[1], 2);
    // A table at the last row fills only that row, and no rows are added.
    current(0, 19);
    put("x\r\ny\r\nz");
    yygridclippaste(grid());
    EXPECT_EQ(cell(1, 20), "x");
    EXPECT_EQ(data().nRows, 20);
    EXPECT_EQ(data().bUnsaved, 1);
}

TEST_F(ClipboardTest, CanCutAndCanPasteLookAtDisabledCellsAndReadOnly) {
    put("1\t2\t3");
    current(0, 0);
    EXPECT_EQ(yygridcanpaste(grid()), 1);
    // Column 6 is read-only: covered from column 4 on, even though that
    // field would go to a numeric column and be refused.
    current(4, 0);
    EXPECT_EQ(yygridcanpaste(grid()), 0);
    yygridselectrange(grid(), 0, 3, 0, 5);
    EXPECT_EQ(yygridcancut(grid()), 1);
    yygridselectrange(grid(), 0, 3, 5, 6);
    EXPECT_EQ(yygridcancut(grid()), 0);
    os_set_style(grid(), os_get_style(grid()) | GS_READONLY);
    current(0, 0);
    yygridselectrange(grid(), 0, 0, 0, 0);
    EXPECT_EQ(yygridcanpaste(grid()), 0);
    EXPECT_EQ(yygridcancut(grid()), 0);
}

TEST_F(ClipboardTest, DeleteEmptiesTheSelectionAndWritesOneMessage) {
    os_set_style(grid(), os_get_style(grid()) | GS_EDITNOTIFY);
    yyenablemessage(10, 1);
    for (std::int32_t r = 1; r <= 4; ++r) {
        WGridPutCellInteger(Grid, 3, r, r);
        WGridPutCellOption(Grid, 8, r, 3);
    }
    current(2, 2);
    yygridselectrange(grid(), 1, 3, 2, 7);
    wmsg.wValidMessage = 1;
    wmsg.wMessageType = 0;
    yygridclipdelete(grid());
    EXPECT_EQ(wmsg.wMessageType, 10);
    EXPECT_EQ(wmsg.wValidMessage, 0);
    EXPECT_EQ(wmsg.wMessageValue1, Grid);
    EXPECT_EQ(wmsg.wMessageValue3, 1);
    EXPECT_EQ(wmsg.wMessageX, pack_cell(2, 1));
    EXPECT_EQ(wmsg.wMessageY, pack_cell(7, 3));
    EXPECT_EQ(data().iSelFirstRow, -1);
    // Values gone (menus back to their first option), bit 4 kept; the row
    // below the selection untouched; the current cell's editor emptied.
    EXPECT_EQ(cell(3, 2), "");
    EXPECT_EQ(column(2).pStates[1] & (CellDefined | CellNonBlank), CellNonBlank);
    EXPECT_EQ(column(7).ints[1], 0);
    EXPECT_EQ(cell(3, 1), "1");
    EXPECT_EQ(os_get_window_text(data().hEditor), "");
}

TEST_F(ClipboardTest, PasteWritesItsRangeAsOneMessage) {
    os_set_style(grid(), os_get_style(grid()) | GS_EDITNOTIFY);
    yyenablemessage(10, 1);
    current(1, 2);
    put("a\tb\tc\nd");
    wmsg.wValidMessage = 1;
    yygridclippaste(grid());
    EXPECT_EQ(wmsg.wMessageType, 10);
    EXPECT_EQ(wmsg.wMessageValue3, 1);
    EXPECT_EQ(wmsg.wMessageX, pack_cell(1, 2));
    EXPECT_EQ(wmsg.wMessageY, pack_cell(3, 3));
}

}  // namespace
