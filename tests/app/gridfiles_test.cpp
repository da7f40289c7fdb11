#include "app/gridfiles.h"

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <limits>

#include "tests/app/app_test.h"

namespace {

class GridFilesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        name = dir.file("out.grd");
    }
    // A 3 x 2 grid: row 1 (at gy0) 1 2 3, row 2 4 blank 6.
    void small_grid() {
        dat8.nx = 3;
        dat8.ny = 2;
        dat8.gx0 = 0;
        dat8.gx1 = 20;
        dat8.gy0 = 0;
        dat8.gy1 = 10;
        const float v[2][3] = {{1, 2, 3}, {4, BlankValue, 6}};
        for (int j = 1; j <= 2; ++j)
            for (int i = 1; i <= 3; ++i) dat7.gridval(i, j) = v[j - 1][i - 1];
    }
    TempDir dir;
    std::string name;
};

}  // namespace

TEST_F(GridFilesTest, SurferGrid) {
    small_grid();
    // Whatever contouring left here does not reach the file.
    dat7.zmin = -5;
    dat7.zmax = 100;
    ASSERT_TRUE(savegrd(GridSurfer, name, 1));
    EXPECT_EQ(crlf_lines(read_file(name)), (std::vector<std::string>{
                                               "DSAA",
                                               "              3              2",
                                               "      0.000          20.00    ",
                                               "      0.000          10.00    ",
                                               "      1.000          6.000    ",
                                               "    1.00000        2.00000        3.00000    ",
                                               "    4.00000       0.170141E+39    6.00000    ",
                                           }));
    EXPECT_TRUE(errors().empty());
}

TEST_F(GridFilesTest, SurferRowsWrapAtTenValues) {
    small_grid();
    dat8.nx = 25;
    dat8.ny = 2;
    for (int j = 1; j <= 2; ++j)
        for (int i = 1; i <= 25; ++i) dat7.gridval(i, j) = static_cast<float>(100 * j + i);
    ASSERT_TRUE(savegrd(GridSurfer, name, 1));
    const auto lines = crlf_lines(read_file(name));
    ASSERT_EQ(lines.size(), 11u);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(lines[5 + 3 * row].size(), 150u);
        EXPECT_EQ(lines[6 + 3 * row].size(), 150u);
        EXPECT_EQ(lines[7 + 3 * row].size(), 75u);
    }
    EXPECT_EQ(lines[5].substr(0, 15), "    101.000    ");
    EXPECT_EQ(lines[10].substr(60, 15), "    225.000    ");
}

TEST_F(GridFilesTest, SurferHeaderPlacesTheGridExactly) {
    small_grid();
    dat8.gx0 = 155000.4f;
    dat8.gx1 = 155020.4f;
    dat8.gy0 = 463000.25f;
    dat8.gy1 = 463010.25f;
    dat7.gridval(1, 1) = 12.344f;
    ASSERT_TRUE(savegrd(GridSurfer, name, 1));
    TextIn in;
    ASSERT_TRUE(in.open(name));
    std::string_view skip;
    in.next_line(skip);
    in.next_line(skip);
    float x0 = 0, x1 = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
    FreeRead(in).r(x0).r(x1).end();
    FreeRead(in).r(y0).r(y1).end();
    FreeRead(in).r(z0).r(z1).end();
    EXPECT_EQ(x0, dat8.gx0);
    EXPECT_EQ(x1, dat8.gx1);
    EXPECT_EQ(y0, dat8.gy0);
    EXPECT_EQ(y1, dat8.gy1);
    EXPECT_EQ(z0, 2.0f);
    EXPECT_EQ(z1, 12.344f);
}

TEST_F(GridFilesTest, ArcInfoHeader) {
    dat8.nx = 500;
    dat8.ny = 250;
    dat8.xll = 0;
    dat8.yll = 0;
    dat8.cellsize = 2;
    ASSERT_TRUE(savegrd(GridArcInfo, name, 1));
    const auto lines = crlf_lines(read_file(name));
    ASSERT_EQ(lines.size(), 6u + 250u * 50u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
              (std::vector<std::string>{
                  "NCOLS         500",
                  "NROWS         250",
                  "XLLCORNER    0.00000    ",
                  "YLLCORNER    0.00000    ",
                  "CELLSIZE    2.00000    ",
                  "NODATA_value   -9999.00    ",
              }));
}

TEST_F(GridFilesTest, ArcInfoRowsNorthFirstWithBlanksAsNoData) {
    small_grid();
    dat7.gridval(1, 2) = 1.0E21f;   // large, but not blank
    dat7.gridval(3, 2) = std::nextafter(BlankValue, std::numeric_limits<float>::max());
    dat8.xll = 155000.4f;
    dat8.yll = -10;
    dat8.cellsize = 10;
    ASSERT_TRUE(savegrd(GridArcInfo, name, 1));
    const auto lines = crlf_lines(read_file(name));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "XLLCORNER   155000.4    ");
    EXPECT_EQ(lines[3], "YLLCORNER   -10.0000    ");
    EXPECT_EQ(lines[6], "   0.100000E+22   -9999.00       -9999.00    ");
    EXPECT_EQ(lines[7], "    1.00000        2.00000        3.00000    ");
}

TEST_F(GridFilesTest, ModflowRowOrder) {
    dat16.ncol = 3;
    dat16.nrow = 2;
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c) dat16.mfval(c, r) = static_cast<float>(10 * r + c);
    dat16.mfval(2, 1) = -9999.0f;
    const std::string row1 = "    11.0000       -9999.00        13.0000    ";
    const std::string row2 = "    21.0000        22.0000        23.0000    ";
    ASSERT_TRUE(savegrd(GridModflow, name, 1));
    EXPECT_EQ(crlf_lines(read_file(name)), (std::vector<std::string>{"         3         2", row2, row1}));
    ASSERT_TRUE(savegrd(GridModflow, name, 2));
    EXPECT_EQ(crlf_lines(read_file(name)), (std::vector<std::string>{"         3         2", row1, row2}));
}

TEST_F(GridFilesTest, OtherTypesGiveAnEmptyFile) {
    write_file(name, "old");
    ASSERT_TRUE(savegrd(7, name, 1));
    EXPECT_EQ(read_file(name), "");
}

TEST_F(GridFilesTest, FailuresLeaveTheFileAlone) {
    write_file(name, "old");
    const struct {
        int type, nx, ny, ncol, nrow;
    } cases[] = {{0, 0, 2, 1, 1}, {1, 3, 501, 1, 1}, {0, -1, -1, 1, 1}, {2, 3, 2, 0, 5}, {2, 3, 2, 501, 1}};
    for (const auto& c : cases) {
        dat8.nx = c.nx;
        dat8.ny = c.ny;
        dat16.ncol = c.ncol;
        dat16.nrow = c.nrow;
        errors().clear();
        EXPECT_FALSE(savegrd(c.type, name, 1)) << c.type << " " << c.nx;
        EXPECT_EQ(errors().size(), 1u);
        EXPECT_EQ(read_file(name), "old");
    }
    small_grid();
    errors().clear();
    EXPECT_FALSE(savegrd(GridSurfer, dir.file("no/such/dir/g.grd"), 1));
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("cannot create file"), std::string::npos);
}

// A grid that cannot be written completely (the disk full or the file size
// limit reached half-way) is reported, leaves no partial file beside the
// target, and leaves an existing file of that name as it was.
TEST_F(GridFilesTest, WriteErrorIsReportedAndLeavesNoPartFile) {
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    for (const int type : {GridSurfer, GridArcInfo, GridModflow}) {
        dat8.nx = dat8.ny = 500;
        dat8.gx0 = dat8.gy0 = 0;
        dat8.gx1 = dat8.gy1 = 499;
        dat8.cellsize = 1;
        dat16.ncol = dat16.nrow = 500;
        dat7.gridval.a.fill(1234.5f);
        dat16.mfval.a.fill(-9999.0f);
        write_file(name, "old");
        rlimit small = before;
        small.rlim_cur = 100000;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        errors().clear();
        const bool written = savegrd(type, name, 1);
        ::setrlimit(RLIMIT_FSIZE, &before);
        EXPECT_FALSE(written) << type;
        ASSERT_EQ(errors().size(), 1u) << type;
        EXPECT_NE(errors()[0].find("cannot write file"), std::string::npos) << errors()[0];
        EXPECT_EQ(read_file(name), "old") << type;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << type;
    }
    std::signal(SIGXFSZ, old_handler);
}

// Other programs read our grids as they are meant: size, extent, no-data value.
TEST_F(GridFilesTest, GdalReadsOurGrids) {
    if (!have_program("gdalinfo")) GTEST_SKIP() << "gdalinfo is not installed";
    small_grid();
    dat8.gx0 = 155000.5f;
    dat8.gx1 = 155020.5f;
    dat8.gy0 = 463000.25f;
    dat8.gy1 = 463010.25f;
    const std::string surfer = dir.file("s.grd");
    ASSERT_TRUE(savegrd(GridSurfer, surfer, 1));
    std::string info = run_command("gdalinfo -nomd '" + surfer + "'");
    EXPECT_NE(info.find("Size is 3, 2"), std::string::npos) << info;
    // Surfer values sit on the nodes, so the cells reach half a spacing beyond them.
    EXPECT_NE(info.find("Origin = (154995.500000000000000,463015.250000000000000)"), std::string::npos) << info;
    EXPECT_NE(info.find("Pixel Size = (10.000000000000000,-10.000000000000000)"), std::string::npos) << info;
    EXPECT_NE(info.find("NoData Value=1.70141"), std::string::npos) << info;

    dat8.xll = 155000.5f;
    dat8.yll = 463000.25f;
    dat8.cellsize = 10;
    const std::string arc = dir.file("a.asc");
    ASSERT_TRUE(savegrd(GridArcInfo, arc, 1));
    info = run_command("gdalinfo -nomd -stats '" + arc + "'");
    EXPECT_NE(info.find("Size is 3, 2"), std::string::npos) << info;
    EXPECT_NE(info.find("Origin = (155000.500000000000000,463020.250000000000000)"), std::string::npos) << info;
    EXPECT_NE(info.find("Pixel Size = (10.000000000000000,-10.000000000000000)"), std::string::npos) << info;
    EXPECT_NE(info.find("NoData Value=-9999"), std::string::npos) << info;
    // The blank cell is no data, so it takes no part in the statistics.
    EXPECT_NE(info.find("Minimum=1.000, Maximum=6.000"), std::string::npos) << info;
}
