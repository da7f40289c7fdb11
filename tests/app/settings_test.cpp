#include "app/settings.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/femread.h"
#include "lib/graphics/colours.h"
#include "lib/window/text.h"
#include "tests/app/app_test.h"
#include "tools/femgen/femgen.h"

namespace {

class SettingsTest : public AppTest {
protected:
    TempDir dir{true};
    void SetUp() override {
        AppTest::SetUp();
        igrcolourmodel(24);
        set_home(dir);
        femgen::Options o;
        o.nx = 4;
        o.ny = 3;
        o.naq = 2;
        ASSERT_TRUE(femgen::write_model(o, "model.fem"));
    }
    static std::string ini() { return read_file(settings_file_name()); }
    static void put_ini(const std::string& t) { write_file(settings_file_name(), t); }
};

}  // namespace

TEST_F(SettingsTest, SurferGridRoundTrip) {
    dat18.gridtype = GridSurfer;
    leakage.leak = 1;
    dat8.gx0 = 155000.4f;
    dat8.gy0 = -12.5f;
    dat8.gx1 = 156000;
    dat8.gy1 = 0.05f;
    dat8.nx = 120;
    dat8.ny = 80;
    dat12.rotang = static_cast<float>(12.6 * 3.14159265358979 / 180);
    dat5.opton(3) = 'j';
    dat5.opton(6) = 'j';
    map_bln.mapon(2) = 1;
    map_bln.mapcol(2) = 255;
    map_bln.mapwidth(2) = 3;
    map_bln.mapfile(2) = txt_fixed("roads.bln", TextLength);
    ASSERT_TRUE(write_settings(txt_fixed("model.fem", TextLength)));
    const auto lines = crlf_lines(ini());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "model.fem",
                         "    0    1",
                         "   155000.4       -12.5000        156000.       0.500000E-01",
                         "  120   80",
                         "        13",
                         "    6",
                         "surfer.grd",
                         "         0         0         0",
                         "         1       255         3roads.bln",
                         "         0         0         0",
                         "         0         0         0",
                     }));

    reset_app_data();
    SettingsRead r;
    ASSERT_EQ(read_settings(r), 0) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(txt_trim(r.femname), "model.fem");
    EXPECT_EQ(r.model, FemLoaded);
    EXPECT_EQ(dat4.nnode, 12);
    EXPECT_EQ(dat18.gridtype, GridSurfer);
    EXPECT_EQ(leakage.leak, 1);
    EXPECT_EQ(dat8.gx0, 155000.4f);   // the digits it needs, within its field
    EXPECT_EQ(dat8.gy0, -12.5f);
    EXPECT_EQ(dat8.gx1, 156000.0f);
    EXPECT_EQ(dat8.gy1, 0.05f);
    EXPECT_EQ(dat8.nx, 120);
    EXPECT_EQ(dat8.ny, 80);
    // The spacing follows from the corners and counts read.
    EXPECT_EQ(dat8.dx, (156000.0f - 155000.4f) / 119.0f);
    EXPECT_EQ(dat8.dy, (0.05f + 12.5f) / 79.0f);
    const float want = static_cast<float>(static_cast<long double>(13.0f * 0.0055555557f) * (4 * std::atan(1.0L)));
    EXPECT_EQ(dat12.rotang, want);
    EXPECT_NEAR(dat12.rotang, 13 * 3.14159265358979 / 180, 1e-6);
    EXPECT_EQ(r.option, 6);
    EXPECT_EQ(dat5.opton(6), 'j');
    EXPECT_NE(dat5.opton(3), 'j');
    EXPECT_EQ(r.mfgrid, 0);
    EXPECT_EQ(txt_trim(r.gridname), "surfer.grd");
    EXPECT_EQ(map_bln.mapon(2), 1);
    EXPECT_EQ(map_bln.mapcol(2), 255);
    EXPECT_EQ(map_bln.mapwidth(2), 3);
    EXPECT_EQ(txt_trim(map_bln.mapfile(2)), "roads.bln");
}

// Coordinates keep every digit they need, in the fields' own 15 columns, so
// a grid narrower than the sixth digit, or an origin to the centimetre, read
// back as they were: and what is read back is written again the same.
TEST_F(SettingsTest, CoordinatesReadBackWithTheirDigits) {
    write_file("d.delr", "10 20 30\n");
    write_file("d.delc", "5 5\n");
    struct Case {
        const char* name;
        int gridtype;
        float a, b, c, d;   // gx0 gy0 gx1 gy1 / xll yll cellsize / gx0 gy0
        const char* line;   // the coordinate line written
    } cases[] = {
        {"narrow Surfer grid", GridSurfer, 155000.4f, 462991.47f, 155000.0f, 462991.0f,
         "   155000.4      462991.47        155000.        462991.    "},
        {"Arc-Info to the centimetre", GridArcInfo, 154990.89f, 462991.47f, 0.3f, 0,
         "  154990.89      462991.47                 50             40"},
        {"MODFLOW origin", GridModflow, 154990.89f, 462991.47f, 0, 0, "  154990.89      462991.47        1"},
        {"tiny and huge", GridSurfer, -1.2345679e-12f, -3.3999998e38f, 1.0f, -3.0000001e38f, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset_app_data();
        set_home(dir);
        dat18.gridtype = c.gridtype;
        dat8.nx = 50;
        dat8.ny = 40;
        dat18.roworder = 1;
        if (c.gridtype == GridArcInfo) {
            dat8.xll = c.a;
            dat8.yll = c.b;
            dat8.cellsize = c.c;
        } else {
            dat8.gx0 = c.a;
            dat8.gy0 = c.b;
            dat8.gx1 = c.c;
            dat8.gy1 = c.d;
        }
        dat17.delrfile = txt_fixed("d.delr", TextLength);
        dat17.delcfile = txt_fixed("d.delc", TextLength);
        dat5.opton(3) = 'j';
        ASSERT_TRUE(write_settings(txt_fixed("model.fem", TextLength)));
        const std::string first = ini();
        const auto lines = crlf_lines(first);
        const std::size_t at = c.gridtype == GridModflow ? 4 : 2;
        ASSERT_GT(lines.size(), at);
        if (c.line) {
            EXPECT_EQ(lines[at], c.line);
        }
        // The numbers stay apart, as words.
        EXPECT_EQ(nveld(lines[at]), c.gridtype == GridModflow ? 3 : 4);

        reset_app_data();
        set_home(dir);
        SettingsRead r;
        ASSERT_EQ(read_settings(r), 0) << (errors().empty() ? "" : errors()[0]);
        if (c.gridtype == GridArcInfo) {
            EXPECT_EQ(dat8.xll, c.a);
            EXPECT_EQ(dat8.yll, c.b);
            EXPECT_EQ(dat8.cellsize, c.c);
        } else {
            EXPECT_EQ(dat8.gx0, c.a);
            EXPECT_EQ(dat8.gy0, c.b);
            if (c.gridtype == GridSurfer) {
                EXPECT_EQ(dat8.gx1, c.c);
                EXPECT_EQ(dat8.gy1, c.d);
            }
        }
        ASSERT_TRUE(write_settings(r.femname));
        EXPECT_EQ(ini(), first);
    }
}

TEST_F(SettingsTest, ArcInfoGridRoundTripTruncatesItsCounts) {
    dat18.gridtype = GridArcInfo;
    dat8.xll = 1000;
    dat8.yll = 2000.25f;
    dat8.nx = 300;
    dat8.ny = 200;
    dat8.cellsize = 12.5f;
    dat12.rotang = static_cast<float>(-0.5 * 3.14159265358979 / 180);   // rounds away from zero
    ASSERT_TRUE(write_settings(txt_fixed("model.fem", TextLength)));
    const auto lines = crlf_lines(ini());
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[2], "    1000.00        2000.25                300            200");
    EXPECT_EQ(lines[3], "    12.5000    ");
    EXPECT_EQ(lines[4], "        -1");
    EXPECT_EQ(lines[5], "   -1");   // no active quantity
    EXPECT_EQ(lines[6], "arc_info.grd");

    std::string t = ini();
    t.replace(t.find("300"), 3, "3.9");   // a count written by hand
    put_ini(t);
    reset_app_data();
    SettingsRead r;
    ASSERT_EQ(read_settings(r), 0) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(dat18.gridtype, GridArcInfo);
    EXPECT_EQ(dat8.xll, 1000.0f);
    EXPECT_EQ(dat8.yll, 2000.25f);
    EXPECT_EQ(dat8.nx, 3);
    EXPECT_EQ(dat8.ny, 200);
    EXPECT_EQ(dat8.cellsize, 12.5f);
    // The corners follow from the lower-left corner, cell size and counts read.
    EXPECT_EQ(dat8.gx0, 1006.25f);
    EXPECT_EQ(dat8.gy0, 2006.5f);
    EXPECT_EQ(dat8.gx1, 1031.25f);
    EXPECT_EQ(dat8.dx, 12.5f);
    EXPECT_EQ(r.option, -1);
    for (int k = 0; k < NumGridOptions; ++k) EXPECT_NE(dat5.opton(k), 'j');
}

TEST_F(SettingsTest, ModflowGridKeepsItsRowOrder) {
    write_file("delr.txt", "100 100\n 50\n");
    write_file("delc.txt", "10 20\n");
    struct Case {
        int roworder;
        std::vector<float> delc, ycen;
    } cases[] = {{1, {20, 10}, {10, 25}}, {2, {10, 20}, {5, 20}}};
    for (const Case& c : cases) {
        reset_app_data();
        set_home(dir);
        dat18.gridtype = GridModflow;
        dat18.roworder = c.roworder;
        dat17.delrfile = txt_fixed("delr.txt", TextLength);
        dat17.delcfile = txt_fixed("delc.txt", TextLength);
        dat8.gx0 = 0;
        dat8.gy0 = 0;
        ASSERT_TRUE(write_settings(txt_fixed("model.fem", TextLength)));
        const auto lines = crlf_lines(ini());
        EXPECT_EQ(lines[2], txt_fixed("delr.txt", TextLength));   // all 80 characters
        EXPECT_EQ(lines[4], "    0.00000        0.00000        " + std::to_string(c.roworder));
        EXPECT_EQ(lines[7], "modflow.dat");

        reset_app_data();
        set_home(dir);
        SettingsRead r;
        ASSERT_EQ(read_settings(r), 0) << (errors().empty() ? "" : errors()[0]);
        EXPECT_EQ(r.mfgrid, 1);
        EXPECT_EQ(dat18.roworder, c.roworder);
        EXPECT_EQ(txt_trim(dat17.delrfile), "delr.txt");
        EXPECT_EQ(dat16.ncol, 3);
        EXPECT_EQ(dat16.xcen(3), 225.0f);
        EXPECT_EQ(dat8.gx1, 250.0f);
        EXPECT_EQ(dat8.gy1, 30.0f);
        ASSERT_EQ(dat16.nrow, 2);
        EXPECT_EQ((std::vector<float>{dat16.delc(1), dat16.delc(2)}), c.delc);
        EXPECT_EQ((std::vector<float>{dat16.ycen(1), dat16.ycen(2)}), c.ycen);
    }
}

TEST_F(SettingsTest, OlderFileWithoutRowOrderReadsAsTopToBottom) {
    write_file("delr.txt", "100\n");
    write_file("delc.txt", "10 20\n");
    put_ini("model.fem\r\n    2    0\r\ndelr.txt\r\ndelc.txt\r\n        0.00000        0.00000    \r\n         0\r\n"
            "    3\r\nmodflow.dat\r\n");
    SettingsRead r;
    ASSERT_EQ(read_settings(r), 0) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(dat18.roworder, RowOrderDefault);
    EXPECT_EQ(dat16.delc(1), 20.0f);
    EXPECT_EQ(dat16.ycen(2), 25.0f);
    EXPECT_EQ(dat5.opton(3), 'j');
    // The map lines are missing: the layers keep what they held.
    EXPECT_EQ(map_bln.mapon(1), 0);
}

TEST_F(SettingsTest, ShortFilesAndNamesWithBlanks) {
    map_bln.mapcol(3) = 77;
    map_bln.mapcol(4) = 88;
    put_ini("my model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\ngrid name.grd\n1 2 3\n0 5 1 a.bln\n");
    std::filesystem::copy_file("model.fem", "my");
    SettingsRead r;
    ASSERT_EQ(read_settings(r), 0) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(txt_trim(r.femname), "my");   // cut at the blank
    EXPECT_EQ(r.model, FemLoaded);
    EXPECT_EQ(txt_trim(r.gridname), "grid");
    // Map lines read with fixed columns: "1 2 3" fills only the first field.
    EXPECT_EQ(map_bln.mapon(1), 123);
    EXPECT_EQ(map_bln.mapcol(3), 77);   // not in the file: unchanged
    EXPECT_EQ(map_bln.mapcol(4), 88);
}

// A file whose model is gone describes a grid over nothing: it is refused
// whole, as if it had not been read, and the model's name is given back
// for the message.
TEST_F(SettingsTest, FileWhoseModelIsMissingChangesNothing) {
    dat18.gridtype = GridArcInfo;
    leakage.leak = 0;
    dat8.xll = 5;
    dat8.nx = 7;
    dat12.rotang = 0;
    map_bln.mapon(1) = 0;
    map_bln.mapfile(1) = txt_fixed("old.bln", TextLength);
    const Dat8 grid = dat8;
    for (const char* name : {"batch.ini", ""}) {
        SCOPED_TRACE(name);
        const std::string text = "gone.fem\n0 1\n0 0 10 10\n11 11\n45\n6\ns.grd\n1 5 2 new.bln\n";
        SettingsRead r;
        if (*name) {
            write_file(name, text);
            ASSERT_EQ(read_settings_batch(name, r), 0);
        } else {
            put_ini(text);
            ASSERT_EQ(read_settings(r), 0);
        }
        EXPECT_EQ(r.model, FemMissing);
        EXPECT_EQ(txt_trim(r.femname), "gone.fem");
        EXPECT_EQ(r.option, -1);
        EXPECT_TRUE(txt_blank(r.gridname));
        EXPECT_TRUE(errors().empty());
        EXPECT_EQ(dat4.nnode, 0);
        EXPECT_EQ(dat18.gridtype, GridArcInfo);
        EXPECT_EQ(leakage.leak, 0);
        EXPECT_EQ(dat8.xll, grid.xll);
        EXPECT_EQ(dat8.gx1, grid.gx1);
        EXPECT_EQ(dat8.nx, grid.nx);
        EXPECT_EQ(dat12.rotang, 0.0f);
        for (int k = 0; k < NumGridOptions; ++k) EXPECT_NE(dat5.opton(k), 'j') << k;
        EXPECT_EQ(map_bln.mapon(1), 0);
        EXPECT_EQ(txt_trim(map_bln.mapfile(1)), "old.bln");
    }
}

TEST_F(SettingsTest, BadFilesChangeNothing) {
    write_file("delr.txt", "");
    write_file("delc.txt", "10\n");
    const std::string good = "model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\ns.grd\n";
    struct Case {
        std::string text;
        std::string message_part;
    } cases[] = {
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n", "unexpected end of file"},
        {"model.fem\n0 0\n0 0 10\n11 11\n0\n3\ns.grd\n", "field 4 missing"},
        {"model.fem\n0 0\n0 0 10 ten\n11 11\n0\n3\ns.grd\n", "field 4 not a number"},
        {"model.fem\n3 0\n", "grid type 3"},
        // A leakance switch that would not fit its field when written.
        {"model.fem\n0 10000\n0 0 10 10\n11 11\n0\n3\ns.grd\n", "leakance switch 10000 is not 0 or 1"},
        {"model.fem\n0 -1\n0 0 10 10\n11 11\n0\n3\ns.grd\n", "leakance switch -1"},
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n52\ns.grd\n", "grid option 52 outside 0..51"},
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n-2\ns.grd\n", "grid option -2"},
        {"model.fem\n0 0\n0 0 10 10\n11 1e30\n0\n3\ns.grd\n", "outside the integer range"},
        {"model.fem\n2 0\ndelr.txt\ndelc.txt\n0 0 3\n0\n3\nm.dat\n", "row order 3"},
        {"model.fem\n2 0\ndelr.txt\ndelc.txt\n0 0\n0\n3\nm.dat\n", "holds no widths"},
        {"model.fem\n2 0\n\ndelc.txt\n0 0\n0\n3\nm.dat\n", "no DELR file"},
        {"bad.fem\n0 0\n0 0 10 10\n11 11\n0\n3\ns.grd\n", "title line"},
        {std::string(90, 'x') + "\n0 0\n", "longer than 80"},
        {"model.fem\n0 0\n0 0 10 10\n11 1\n0\n3\ns.grd\n", "at least 2 points"},
        {"model.fem\n0 0\n0 0 10 10\n-5 11\n0\n3\ns.grd\n", "at least 2 points"},
        {"model.fem\n1 0\n0 0 1 9\n2.5\n0\n3\na.grd\n", "at least 2 points"},
        // The model has 2 aquifers: quantities 0..6.
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n7\ns.grd\n",
         "zeltramo.ini, line 6: grid option 7 is beyond the 2 aquifers of model model.fem (options 0..6)"},
        // A grid name that is a file of the run, however it is spelt.
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\n./model.fem\n", "line 7: grid file name: ./model.fem is the model file"},
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\nzeltramo.ini\n", "is the settings file"},
        {"model.fem\n2 0\ndelr.txt\ndelc.txt\n0 0\n0\n3\ndelc.txt\n", "line 8: grid file name: delc.txt is the DELC file"},
        // Names the program's text cannot hold.
        {"mod\xe8l.fem\n0 0\n", "line 1: model file name: it is not UTF-8 text"},
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\ns.grd\n         1         1         1a\xe2\x82\xb9.bln\n",
         "line 8: map file name: it holds U+20B9"},
        {"model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\ns.grd\n         1         1         1" + std::string(81, 'm') + "\n",
         "line 8: map file name: name longer than 80 characters"},
    };
    write_file("bad.fem", "one title line only\n");
    for (const Case& c : cases) {
        errors().clear();
        put_ini(c.text);
        dat8.gx1 = 99;
        dat5.opton(3) = ' ';
        SettingsRead r;
        EXPECT_NE(read_settings(r), 0) << c.message_part;
        ASSERT_EQ(errors().size(), 1u) << c.message_part;
        EXPECT_NE(errors()[0].find(c.message_part), std::string::npos) << errors()[0];
        EXPECT_EQ(dat4.nnode, 0) << c.message_part;
        EXPECT_EQ(dat8.gx1, 99.0f) << c.message_part;
        EXPECT_NE(dat5.opton(3), 'j') << c.message_part;
    }
    errors().clear();
    put_ini(good);
    SettingsRead r;
    EXPECT_EQ(read_settings(r), 0);
    EXPECT_TRUE(errors().empty());
}

// Names are UTF-8 in the file, as the system and the user's editor spell
// them, and the program's own text in memory: what the file spells is the
// file read or written. A byte-order mark before the first line is passed over.
TEST_F(SettingsTest, NamesAreReadAndWrittenAsTheSystemSpellsThem) {
    // "mödel.fem", "grïd€.grd" and "wäter.bln" in the program's text (Windows-1252).
    const std::string model = "m\xf6" "del.fem", grid = "gr\xef" "d\x80.grd", map = "w\xe4ter.bln";
    write_file("m\xc3\xb6" "del.fem", read_file("model.fem"));
    dat18.gridtype = GridSurfer;
    dat8.gx0 = dat8.gy0 = 0;
    dat8.gx1 = dat8.gy1 = 100;
    dat8.nx = dat8.ny = 11;
    dat5.opton(3) = 'j';
    map_bln.mapfile(1) = txt_fixed(map, TextLength);
    ASSERT_TRUE(write_settings(txt_fixed(model, TextLength), txt_fixed(grid, TextLength)));
    const auto lines = crlf_lines(ini());
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "m\xc3\xb6" "del.fem");
    EXPECT_EQ(lines[6], "gr\xc3\xaf" "d\xe2\x82\xac.grd");
    EXPECT_EQ(lines[7], "         0         0         0w\xc3\xa4ter.bln");

    put_ini("\xef\xbb\xbf" + ini());
    reset_app_data();
    SettingsRead r;
    ASSERT_EQ(read_settings(r), 0) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(r.model, FemLoaded);
    EXPECT_EQ(txt_trim(r.femname), model);
    EXPECT_EQ(txt_trim(r.gridname), grid);
    EXPECT_EQ(txt_trim(map_bln.mapfile(1)), map);
}

TEST_F(SettingsTest, BatchReadStopsAtTheGridName) {
    map_bln.mapon(1) = 5;
    write_file("run.ini", "model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\nout.grd\n1 1 1 x.bln\n");
    SettingsRead r;
    ASSERT_EQ(read_settings_batch("run.ini", r), 0);
    EXPECT_EQ(txt_trim(r.gridname), "out.grd");
    EXPECT_EQ(dat5.opton(3), 'j');
    EXPECT_EQ(dat4.nnode, 12);
    EXPECT_EQ(map_bln.mapon(1), 5);
    // A batch run cannot do without a grid name.
    write_file("run.ini", "model.fem\n0 0\n0 0 10 10\n11 11\n0\n3\n\n");
    EXPECT_EQ(read_settings_batch("run.ini", r), ExitInputError);
    EXPECT_EQ(read_settings_batch("none.ini", r), ExitInputError);
    ASSERT_EQ(errors().size(), 2u);
    EXPECT_NE(errors()[0].find("no grid file named"), std::string::npos);
    // The model's own stops come through with their codes.
    write_file("big.fem", [] {
        std::string t;
        for (int k = 0; k < 15; ++k) t += "t\n";
        return t + "1 0 18 0\n1 0\n1 0\n0 0\n";
    }());
    write_file("run.ini", "big.fem\n0 0\n0 0 10 10\n11 11\n0\n3\nout.grd\n");
    EXPECT_EQ(read_settings_batch("run.ini", r), ExitMaxAquifers);
}

TEST_F(SettingsTest, UnwritableSettingsFileIsReported) {
    dat19.home = txt_fixed("/nonexistent-dir/", TextLength);
    dat19.lhome = 17;
    EXPECT_FALSE(write_settings("model.fem"));
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("zeltramo.ini"), std::string::npos);
}
