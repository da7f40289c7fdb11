// Sorting rows on one key column, and finding text in the cells.
#include "tests/grid/grid_fixture.h"

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

class SortTest : public GridTest {
protected:
    void put_text(int col, int row, const std::string& t) {
        std::int32_t s = Grid;
        yygridputcellstring(s, col - 1, row - 1, 0.0, t, "", static_cast<std::int32_t>(t.size()) + 1, 1);
    }
    std::vector<std::string> column(int col, int rows) {
        std::vector<std::string> out;
        for (int r = 1; r <= rows; ++r) out.push_back(cell(col, r));
        return out;
    }
    using V = std::vector<std::string>;
    static std::string row_name(int r) {
        std::string t = std::to_string(r);
        t.insert(t.begin(), 'r');
        return t;
    }
};

TEST_F(SortTest, KeysOfEveryTypeInBothDirections) {
    ASSERT_EQ(load(8801), 0);
    WGridSetCell(Grid, 2, 20);   // the editor away from the rows sorted
    struct Case {
        const char* what;
        int key_col;
        std::vector<std::string> keys;   // "" = undefined or empty
        int flags;
        V order;                         // row names afterwards
    };
    const Case cases[] = {
        {"equal keys may swap", 3, {"2", "2", "1"}, 0, {"r3", "r2", "r1"}},
        {"undefined last, ascending", 3, {"", "5", "-3", "9", "0", "7", "1"}, 0,
         {"r3", "r5", "r7", "r2", "r6", "r4", "r1"}},
        {"undefined last, descending", 5, {"", "5", "-3", "9", "0", "7", "1"}, 1,
         {"r4", "r6", "r2", "r7", "r5", "r3", "r1"}},
        {"empty texts last, descending", 1, {"b", "", "a", "c"}, 1, {"r4", "r1", "r3", "r2"}},
        {"capitals first", 1, {"abc", "ABD", "Abc", "b"}, 0, {"r2", "r3", "r1", "r4"}},
        {"ignoring case", 1, {"b", "ABD", "abc"}, 2, {"r3", "r2", "r1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        yyGridClear(grid(), 0);
        const int n = static_cast<int>(c.keys.size());
        for (int r = 1; r <= n; ++r) {
            put_text(2, r, row_name(r));
            if (!c.keys[static_cast<std::size_t>(r - 1)].empty()) put_text(c.key_col, r, c.keys[static_cast<std::size_t>(r - 1)]);
        }
        WGridSort(Grid, c.key_col, c.flags, 1, n);
        EXPECT_EQ(err(), 0);
        EXPECT_EQ(column(2, n), c.order);
    }
    // Check boxes and menus sort by their values.
    yyGridClear(grid(), 0);
    const int checks[] = {1, 0, 1, 0}, options[] = {3, 1, 2, 1};
    for (int r = 1; r <= 4; ++r) {
        put_text(2, r, row_name(r));
        WGridPutCellCheckBox(Grid, 6, r, checks[r - 1]);
        WGridPutCellOption(Grid, 8, r, options[r - 1]);
    }
    WGridSort(Grid, 8, 0, 1, 4);
    EXPECT_EQ(column(2, 4), (V{"r2", "r4", "r3", "r1"}));
    WGridSort(Grid, 6, 1, 1, 4);
    std::int32_t first = 0, last = 1;
    WGridGetCellCheckBox(Grid, 6, 1, first);
    WGridGetCellCheckBox(Grid, 6, 4, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 0);
}

TEST_F(SortTest, EqualKeysChangeNothingAndRowsAreClamped) {
    ASSERT_EQ(load(8801), 0);
    for (int r = 1; r <= 20; ++r) WGridPutCellInteger(Grid, 3, r, 4);
    data().bChanged = data().bUnsaved = 0;
    WGridSort(Grid, 3);
    EXPECT_EQ(data().bChanged, 0);
    EXPECT_EQ(data().bUnsaved, 0);
    // A range reaching outside the rows in use sorts the rows inside it.
    for (int r = 1; r <= 20; ++r) WGridPutCellInteger(Grid, 3, r, 21 - r);
    WGridSort(Grid, 3, 0, -5, 400);
    EXPECT_EQ(err(), 0);
    EXPECT_EQ(cell(3, 1), "1");
    EXPECT_EQ(cell(3, 20), "20");
}

TEST_F(SortTest, LabelsMoveOnlyWhenAsked) {
    ASSERT_EQ(load(8804), 0);
    for (int r = 1; r <= 3; ++r) WGridPutCellInteger(Grid, 3, r, 10 - r);
    WGridSort(Grid, 3, 0, 1, 3);
    std::string t;
    std::int32_t s = Grid;
    yygridgetrowlabel(s, 0, t, 60);
    EXPECT_EQ(t, "L1");
    WGridSort(Grid, 3, 1 | 4, 1, 3);
    yygridgetrowlabel(s, 0, t, 60);
    EXPECT_EQ(t, "L3");
    OsHeaderItem it;
    it.mask = HDI_TEXT;
    os_send_message(data().phRowHeaders[0], HDM_GETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
    EXPECT_EQ(it.text, "L3");
}

TEST_F(SortTest, RandomGridsAgainstAPlainReference) {
    ASSERT_EQ(load(8805), 0);
    WGridSetCell(Grid, 2, 1);
    std::mt19937 rng(12345);
    for (int n : {7, 8, 13, 50, 137, 500}) {
        for (int flags : {0, 1}) {
            SCOPED_TRACE(n * 10 + flags);
            WGridRows(Grid, n);
            std::vector<std::pair<double, int>> want;
            for (int r = 1; r <= n; ++r) {
                const bool undefined = rng() % 10 == 0;
                const double v = static_cast<double>(rng() % 40) - 20.0;   // many equal keys
                WGridPutCellInteger(Grid, 3, r, r);
                if (undefined) {
                    WGridClearCell(Grid, 5, r);
                } else {
                    WGridPutCellDouble(Grid, 5, r, v);
                }
                want.push_back({undefined ? (flags ? -1e300 : 1e300) : v, r});
            }
            WGridSort(Grid, 5, flags);
            ASSERT_EQ(err(), 0);
            std::vector<std::pair<double, int>> got;
            for (int r = 1; r <= n; ++r) {
                std::int32_t id = 0;
                double v = 0.0;
                WGridGetCellInteger(Grid, 3, r, id);
                WGridGetCellDouble(Grid, 5, r, v);
                const bool undefined = infoerror(1) == 1010;
                got.push_back({undefined ? (flags ? -1e300 : 1e300) : v, id});
            }
            // Keys in order, and each row's cells still together.
            for (int k = 1; k < n; ++k) {
                const double a = got[static_cast<std::size_t>(k - 1)].first, b = got[static_cast<std::size_t>(k)].first;
                EXPECT_TRUE(flags ? a >= b : a <= b) << k;
            }
            std::sort(want.begin(), want.end());
            std::sort(got.begin(), got.end());
            EXPECT_EQ(got, want);
        }
    }
}

// ---- find ---------------------------------------------------------------------------------------
class FindTest : public SortTest {
protected:
    void SetUp() override {
        SortTest::SetUp();
        ASSERT_EQ(load(8801), 0);
        put_text(1, 3, "apple");
        put_text(1, 7, "Pineapple");
        put_text(2, 2, "APPLE pie");
        WGridPutCellInteger(Grid, 3, 5, 1234);
        WGridPutCellDouble(Grid, 5, 6, 12.5, "(F6.2)");
        put_text(7, 9, "apple");
        WGridSetCell(Grid, 6, 1);
        ASSERT_EQ(err(), 0);
    }

public:
    // The cell found as "column,row", "-" when none.
    std::string find(std::string_view text, std::optional<std::int32_t> flags = {}, std::optional<std::int32_t> c1 = {},
                     std::optional<std::int32_t> c2 = {}, std::optional<std::int32_t> r1 = {},
                     std::optional<std::int32_t> r2 = {}) {
        std::int32_t found = -1;
        WGridFind(Grid, text, flags, &found, c1, c2, r1, r2);
        if (found != 1) return "-";
        return std::to_string(data().iCurrentColumn + 1) + "," + std::to_string(data().iCurrentRow + 1);
    }
};

TEST_F(FindTest, ColumnMajorFlagsAndClamping) {
    struct Case { const char* what; std::function<std::string(FindTest&)> run; const char* want; };
    const Case cases[] = {
        {"column-major, first match", [](FindTest& t) { return t.find("apple"); }, "1,3"},
        {"ignoring case", [](FindTest& t) { return t.find("apple pie", 2); }, "2,2"},
        {"numbers only with bit 4", [](FindTest& t) { return t.find("234"); }, "-"},
        {"an integer by its text", [](FindTest& t) { return t.find("234", 4); }, "3,5"},
        {"a double by its text", [](FindTest& t) { return t.find("12.50", 4); }, "5,6"},
        {"an empty text", [](FindTest& t) { return t.find(""); }, "1,1"},
        {"one blank: any text cell", [](FindTest& t) { return t.find(" ", 0, 2); }, "2,1"},
        {"clamped rectangle", [](FindTest& t) { return t.find("apple", 0, -3, 99, 4, 999); }, "1,7"},
        {"rows beyond the grid", [](FindTest& t) { return t.find("apple", 0, 1, 8, 21); }, "-"},
    };
    for (const Case& c : cases) {
        WGridSetCell(Grid, 6, 1);
        EXPECT_EQ(c.run(*this), c.want) << c.what;
        EXPECT_EQ(err(), 0) << c.what;
    }
}

TEST_F(FindTest, ContinuingAfterTheCurrentCell) {
    WGridSetCell(Grid, 1, 3);
    EXPECT_EQ(find("apple", 1), "1,7");    // below the current cell, not the cell itself
    EXPECT_EQ(find("apple", 1), "7,9");    // then later columns from their first row
    EXPECT_EQ(find("apple", 1), "-");      // never back to earlier cells
    EXPECT_EQ(data().iCurrentColumn, 6);
    WGridSetCell(Grid, 6, 4);              // a check-box column is never searched
    EXPECT_EQ(find("apple", 1 | 2), "7,9");
    WGridSetCell(Grid, 8, 1);              // current column after the rectangle
    EXPECT_EQ(find("apple", 1, 1, 7), "-");
    WGridSetCell(Grid, 1, 1);              // current column before the rectangle
    EXPECT_EQ(find("APPLE", 1, 2, 7), "2,2");
}
