// Inputs made to break the readers and conversions: each is refused with an
// input error, quickly, and leaves no file that passes for a result.
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "app/femread.h"
#include "app/griddef.h"
#include "app/mainstate.h"
#include "app/gridfiles.h"
#include "app/modflow.h"
#include "app/settings.h"
#include "lib/graphics/colours.h"
#include "lib/window/text.h"
#include "tests/app/app_test.h"
#include "tools/femgen/femgen.h"

namespace {

class BadInputTest : public AppTest {
protected:
    TempDir dir{true};
    void SetUp() override {
        AppTest::SetUp();
        igrcolourmodel(24);
        set_home(dir);
        femgen::Options o;
        o.nx = 3;
        o.ny = 3;
        ASSERT_TRUE(femgen::write_model(o, "model.fem"));
        write_file("d.delr", "10 20 30\n");
        write_file("d.delc", "5 5\n");
    }
};

// A format read: Bad when the format is refused.
RecStatus read_with(const std::string& format) {
    TextIn in;
    in.open_text("1\n");
    std::int32_t v = 0;
    FormRead r(in, format);
    r.i(v);
    return r.end();
}

int batch(const std::string& text) {
    write_file("batch.ini", text);
    SettingsRead r;
    return read_settings_batch("batch.ini", r);
}

int model(const std::string& name) {
    auto m = std::make_unique<FemModel>();
    return read_fem_model(name, *m);
}

const std::string surfer_head = "model.fem\n    0    0\n";
const std::string tail = "         0\n   -1\nout.grd\n";

std::string many_groups() {
    // 904 characters that would expand to ten million descriptors.
    std::string f = "(";
    while (f.size() < 890) f += "99999I1,";
    return f + "1X)";
}

}  // namespace

TEST_F(BadInputTest, RefusedWithAnInputErrorAndNoFile) {
    struct Case {
        const char* fault;
        std::function<bool()> refused;   // the routine's own failure result
        const char* output;              // a file that must not appear, or nullptr
        bool reported = true;            // formats: the reader's caller reports
    };
    const Case cases[] = {
        {"repeat count of 19 digits", [] { return read_with("(9999999999999999999I1)") == RecStatus::Bad; }, nullptr, false},
        {"width of 19 digits", [] { return read_with("(I9999999999999999999)") == RecStatus::Bad; }, nullptr, false},
        {"nested expansion past the bound", [] { return read_with("(99999(99999(I1)))") == RecStatus::Bad; }, nullptr, false},
        {"904 characters that expand to 10^7", [] { return read_with(many_groups()) == RecStatus::Bad; }, nullptr, false},
        {"blanks for a line of 10^10 characters", [] { return read_with("(99999(99999X),I1)") == RecStatus::Bad; },
         nullptr, false},
        {"100,000 levels of groups",
         [] { return read_with(std::string(100000, '(') + "I1" + std::string(100000, ')')) == RecStatus::Bad; },
         nullptr, false},
        {"model name of a device", [] { return model("/dev/zero") == ExitInputError; }, nullptr},
        {"model name of a FIFO",
         [] { return ::mkfifo("pipe.fem", 0600) == 0 && model("pipe.fem") == ExitInputError; }, nullptr},
        {"model name of a directory", [] { return model(".") == ExitInputError; }, nullptr},
        {"model larger than a model can be",
         [] {
             write_file("huge.fem", "");
             std::filesystem::resize_file("huge.fem", MaxModelFileBytes + 1);
             return model("huge.fem") == ExitInputError;
         },
         nullptr},
        {"settings: Surfer grid of zero extent",
         [] { return batch(surfer_head + "    5.0    5.0    5.0    5.0\n   50   50\n" + tail) == ExitInputError; },
         nullptr},
        {"settings: Surfer grid without width",
         [] { return batch(surfer_head + "    5.0    0.0    5.0  100.0\n   50   50\n" + tail) == ExitInputError; },
         nullptr},
        {"settings: Arc-Info cell size 0",
         [] { return batch("model.fem\n    1    0\n    0.0    0.0   10   20\n    0.0\n" + tail) == ExitInputError; },
         nullptr},
        {"settings: Arc-Info cell size overflowing the extent",
         [] { return batch("model.fem\n    1    0\n    0.0    0.0   10   20\n 3e38\n" + tail) == ExitInputError; },
         nullptr},
        {"settings: DELR widths whose sum overflows",
         [] {
             write_file("big.delr", "3e38 3e38 3e38\n");
             return batch("model.fem\n    2    0\nbig.delr\nd.delc\n    0.0    0.0    1\n" + tail) == ExitInputError;
         },
         nullptr},
        {"DELR widths whose sum overflows",
         [] {
             write_file("big.delr", "1e38\n3e38 3e38\n");
             int n = 0, ierr = 0;
             ModflowArray d, c;
             delr_c("big.delr", 1, n, d, 0.0f, c, ierr);
             return ierr == ExitInputError && n == 0;
         },
         nullptr},
        {"DELC widths that overflow from the origin",
         [] {
             write_file("big.delc", "3e38\n");
             int n = 0, ierr = 0;
             ModflowArray d, c;
             delr_c("big.delc", 1, n, d, 3e38f, c, ierr);
             return ierr == ExitInputError;
         },
         nullptr},
        {"Surfer grid file of zero extent",
         [] {
             dat8.nx = dat8.ny = 3;
             dat8.gx0 = dat8.gx1 = 7;
             dat8.gy0 = dat8.gy1 = 9;
             return !savegrd(GridSurfer, "zero.grd", 1);
         },
         "zero.grd"},
        {"Arc-Info grid file of cell size 0",
         [] {
             dat8.nx = dat8.ny = 3;
             dat8.xll = dat8.yll = 1;
             dat8.cellsize = 0;
             return !savegrd(GridArcInfo, "zero.asc", 1);
         },
         "zero.asc"},
        {"Surfer grid dialog of zero extent",
         [] {
             dat8.nx = dat8.ny = 3;
             dat8.gx0 = dat8.gx1 = 7;
             dat8.gy0 = 1;
             dat8.gy1 = 9;
             dat8.dx = 4;
             return !checkgrid(GridSurfer) && dat8.dx == 4;
         },
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        errors().clear();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(c.refused());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        if (c.reported) {
            EXPECT_FALSE(errors().empty());
        }
        if (c.output) {
            EXPECT_FALSE(std::filesystem::exists(c.output));
        }
    }
}

TEST_F(BadInputTest, FormatBoundsLeaveRoomForRealFormats) {
    const auto nested = [](std::size_t levels) {
        std::string f(levels + 1, '(');
        f += "I1";
        f.append(levels + 1, ')');
        return f;
    };
    const struct {
        std::string format;
        bool valid;
    } cases[] = {
        {nested(32), true},         {nested(33), false},           {"(100000I1)", true},
        {"(100001I1)", false},      {"(2(50000I1))", true},        {"(2(50000I1),I1)", false},
        {"(100000X,I1)", true},     {"(0100000I1)", true},         {"(00000000000000000000005I1)", true},
        {"(10(100000X),A)", true},  {"(99999(99999X),A)", false},  {"(10(100000X),I1)", false},
    };
    for (const auto& c : cases) {
        const Format f = parse_format(c.format);
        EXPECT_EQ(f.valid, c.valid) << c.format.substr(0, 40);
        if (f.valid) {
            EXPECT_LE(f.items.size(), 100001u) << c.format.substr(0, 40);
        }
    }
}

// The program reads back the settings it writes, whatever the rotation.
TEST_F(BadInputTest, SettingsWithAnyRotationReadBack) {
    const double pi = 3.14159265358979323846;
    for (double degrees : {1e10, -1e10, 3.5e12, 359.6, -725.0, 30.0, 10008000.0}) {
        SCOPED_TRACE(degrees);
        errors().clear();
        dat18.gridtype = GridSurfer;
        dat8.gx0 = 0;
        dat8.gy0 = 0;
        dat8.gx1 = 100;
        dat8.gy1 = 50;
        dat8.nx = dat8.ny = 5;
        const float written = static_cast<float>(degrees * pi / 180);
        dat12.rotang = written;
        ASSERT_TRUE(write_settings(txt_fixed("model.fem", TextLength)));
        const std::string first = read_file(settings_file_name());
        dat12.rotang = 0;
        SettingsRead r;
        ASSERT_EQ(read_settings(r), 0) << first;
        EXPECT_TRUE(errors().empty());
        // What is read back is written again the same: a whole number of
        // turns is 0, not 360 the first time.
        ASSERT_TRUE(write_settings(txt_fixed("model.fem", TextLength)));
        EXPECT_EQ(read_file(settings_file_name()), first);
        // The same grid: the angle read turns the grid as the one written did,
        // to the whole degree the file holds.
        EXPECT_LE(std::fabs(dat12.rotang), 2 * pi + 0.01);
        const double diff = std::remainder(static_cast<double>(dat12.rotang) - written, 2 * pi);
        EXPECT_LE(std::fabs(diff), 0.5 * pi / 180 + 1e-4);
    }
}

// A grid saved by a command (2File, auto-save) is never written over a file
// the program reads or writes itself, however its name is spelt; the file
// stays byte for byte.
TEST_F(BadInputTest, GridIsNeverWrittenOverAFileOfTheRun) {
    square_model();
    mainstate.femname = txt_fixed("model.fem", TextLength);
    dat17.delrfile = txt_fixed("d.delr", TextLength);
    dat17.delcfile = txt_fixed("d.delc", TextLength);
    write_file("roads.bln", "2 1\n0 0\n1 1\n");
    map_bln.mapfile(3) = txt_fixed("roads.bln", TextLength);
    ASSERT_TRUE(write_settings(mainstate.femname));
    std::filesystem::create_hard_link("model.fem", "hard.grd");
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"model.fem", "model.fem is the model file model.fem"},
        {"./model.fem", "is the model file"},
        {"hard.grd", "hard.grd is the model file"},
        {"zeltramo.ini", "is the settings file"},
        {"d.delr", "is the DELR file d.delr"},
        {"./d.delc", "is the DELC file d.delc"},
        {"roads.bln", "is the map file roads.bln"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        errors().clear();
        const std::string before = read_file(c.name);
        EXPECT_FALSE(savegrd(GridSurfer, c.name, 1));
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_NE(errors()[0].find(c.message), std::string::npos) << errors()[0];
        EXPECT_EQ(read_file(c.name), before);
    }
    errors().clear();
    EXPECT_TRUE(savegrd(GridSurfer, "new.grd", 1)) << (errors().empty() ? "" : errors()[0]);
}
