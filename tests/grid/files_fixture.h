#pragma once
// Grid file tests: dialog 8901 loaded (seven columns of every type, six
// rows, both headers), its grid 8950, and a directory for the files.
#include "tests/grid/grid_fixture.h"

class GridFilesTest : public GridTest {
protected:
    static constexpr std::int32_t Files = 8950;
    TempDir dir;

    void SetUp() override {
        GridTest::SetUp();
        ASSERT_EQ(load(8901), 0);
        // The current cell's editor away from the cells the tests use.
        WGridSetCell(Files, 7, 6);
    }
    // A text straight into a cell, trailing blanks and all.
    void put(int col, int row, const std::string& t) {
        std::int32_t s = Files;
        yygridputcellstring(s, col - 1, row - 1, 0.0, t, "", static_cast<std::int32_t>(t.size()) + 1, 1);
    }
};
