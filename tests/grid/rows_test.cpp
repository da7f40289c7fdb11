// Rows inserted and deleted on a grid of 10 rows in use out of 20, with every
// column type, labels, a disabled and a coloured cell.
#include "tests/grid/grid_fixture.h"

#include <vector>

class RowsTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        ASSERT_EQ(load(8804), 0);
        for (int r = 1; r <= 20; ++r) {
            std::int32_t s = Grid;
            const std::string t = name(r);
            yygridputcellstring(s, 0, r - 1, 0.0, t, "", static_cast<std::int32_t>(t.size()) + 1, 1);
            WGridPutCellInteger(Grid, 3, r, r * 10);
            if (r != 4) WGridPutCellReal(Grid, 4, r, static_cast<float>(r) + 0.5f, "(F5.1)");   // row 4 undefined
            WGridPutCellDouble(Grid, 5, r, r * 1.25, "(F6.2)");
            WGridPutCellCheckBox(Grid, 6, r, r % 2);
            WGridPutCellOption(Grid, 8, r, r % 3 + 1);
        }
        WGridRows(Grid, 10);
        std::int32_t s = Grid;
        yygridcellstate(s, 1, 5, 0);                       // column 2, row 6 disabled
        yygridcolourcell(s, 4, 6, 255, 0, 0, -1, 0, 0);    // column 5, row 7 red
        WGridSetCell(Grid, 2, 1);   // the editor in a column the rows carry along
        ASSERT_EQ(err(), 0);
    }
    static std::string name(int r) {
        std::string t = std::to_string(r);
        t.insert(t.begin(), 't');
        return t;
    }
    // The contents of a row as one text; "" for an emptied row.
    std::string row(int r) {
        std::string out = cell(1, r) + "|" + cell(3, r) + "|" + cell(4, r) + "|" + cell(5, r) + "|";
        std::int32_t check = -1, option = -1;
        WGridGetCellCheckBox(Grid, 6, r, check);
        WGridGetCellMenu(Grid, 8, r, option);
        out += std::to_string(check) + "|" + std::to_string(option);
        return out == "||||0|1" ? "" : out;
    }
    static std::string label_of(int r) {
        if (r == 0) return {};
        std::string t = std::to_string(r);
        t.insert(t.begin(), 'L');
        return t;
    }
    std::string label(int r) {
        std::int32_t s = Grid;
        std::string t;
        yygridgetrowlabel(s, r - 1, t, 60);
        return t;
    }
    // What row r holds before any change.
    static std::string original(int r) {
        char real[16];
        std::snprintf(real, sizeof real, "%.1f", r + 0.5);
        char dbl[16];
        std::snprintf(dbl, sizeof dbl, "%.2f", r * 1.25);
        char out[96];
        std::snprintf(out, sizeof out, "t%d|%d|%s|%s|%d|%d", r, r * 10, r == 4 ? "" : real, dbl, r % 2, r % 3 + 1);
        return out;
    }
};

TEST_F(RowsTest, InsertAndDeleteMoveValuesAndLabels) {
    struct Case {
        const char* what;
        bool insert;
        std::int32_t row;
        std::optional<std::int32_t> count, adjust, labels;
        int rows_after;
        std::vector<int> source;   // former row of rows 1.., 0 = emptied
        int error;
    };
    const Case cases[] = {
        {"insert one at 3", true, 3, {}, {}, {}, 10, {1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 11}, 0},
        {"insert, adjusted", true, 3, 1, 1, 1, 11, {1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 10, 12}, 0},
        {"insert at the last row", true, 10, {}, {}, {}, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 11}, 0},
        {"insert after the rows in use", true, 11, {}, {}, {}, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 1017},
        {"negative count", true, 3, -2, {}, {}, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 1017},
        {"a block past the end", true, 3, 2147483647, {}, {}, 10, {1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 11}, 1017},
        {"delete two at 3", false, 3, 2, {}, 1, 10, {1, 2, 5, 6, 7, 8, 9, 10, 0, 0, 11}, 0},
        {"delete, adjusted", false, 3, 2, 1, {}, 8, {1, 2, 5, 6, 7, 8, 9, 10, 9, 10, 11}, 0},
        {"delete past the end", false, 8, 9, {}, {}, 10, {1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 11}, 0},
        {"delete all, adjusted", false, 1, 10, 1, {}, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 1018},
        {"delete all", false, 1, 10, {}, {}, 10, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 11}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        if (c.insert) WGridInsertRows(Grid, c.row, c.count, c.adjust, c.labels);
        else WGridDeleteRows(Grid, c.row, c.count, c.adjust, c.labels);
        EXPECT_EQ(err(), c.error);
        EXPECT_EQ(data().nRows, c.rows_after);
        const bool labels = c.labels && *c.labels == 1;
        for (std::size_t i = 0; i < c.source.size(); ++i) {
            const int r = static_cast<int>(i) + 1, from = c.source[i];
            if (r > data().nRows) {
                // Rows out of use keep what they held.
                EXPECT_EQ(data().column(0).texts[i], name(from)) << "row " << r;
                continue;
            }
            EXPECT_EQ(row(r), from ? original(from) : "") << "row " << r;
            EXPECT_EQ(label(r), label_of(labels ? from : r)) << "label " << r;
        }
        // The disabled bit and the colours stay where they were.
        EXPECT_EQ(data().column(1).pStates[5] & CellDisabled, CellDisabled);
        std::int32_t s = Grid;
        std::array<std::int32_t, 3> text{}, back{};
        yygridgetcolour(s, 4, 6, text, back);
        EXPECT_EQ(text, (std::array<std::int32_t, 3>{255, 0, 0}));
        TearDown();
    }
}

TEST_F(RowsTest, AValueTheTargetRangeRefusesLeavesItUndefined) {
    std::int32_t s = Grid;
    yygridrange(s, 2, 0.0, 50.0);   // rows 6.. hold 60 and more
    WGridDeleteRows(Grid, 1);
    EXPECT_EQ(err(), 1009);
    EXPECT_EQ(cell(3, 4), "50");   // 50 moved from row 5
    EXPECT_EQ(cell(3, 5), "");     // 60 refused: undefined, not the former 50
    double d = 0.0;
    WGridGetCellDouble(Grid, 3, 5, d);
    EXPECT_EQ(err(), 1010);
}
