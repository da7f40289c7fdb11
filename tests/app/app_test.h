#pragma once
// Fixture for the program's tests: fresh data blocks, and the errors the
// program reports collected instead of printed.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/appdata.h"
#include "app/records.h"
#include "tests/support/fake_surfaces.h"
#include "tests/support/quinda_test.h"
#include "tests/support/recording_driver.h"

class AppTest : public QuindaTest {
public:
    // The errors reported during the test.
    static std::vector<std::string>& errors();

protected:
    void SetUp() override;
    void TearDown() override;
};

// The program's tests that look at what it draws: a window of 200 x 100 in
// slot 0 (twice as wide as high) and a recording driver on the screen side.
class AppDrawTest : public AppTest {
protected:
    void SetUp() override;

    // The lines the screen side received, each as its two ends in device units.
    std::vector<std::array<float, 4>> lines() const;

    FakeSurfaces surfaces;
    RecordingDriver driver;
};

// The program's tests that need the real root window: 400 x 300 with a
// status bar of three parts and a menu bar holding the given command ids.
class AppWindowTest : public AppTest {
public:

    // The text of a status-bar part (1..3).
    static std::string status_text(int part);
    // Menu item states: checked, and enabled.
    static bool checked(int item);
    static bool enabled(int item);
    // The client pixel at (x, y) as packed RGB.
    static std::uint32_t pixel(int x, int y);

protected:
    void open(const std::vector<int>& menu_items = {});
};

// Makes the directory the program's home (where the settings file lives).
void set_home(const TempDir& dir);

// The file's lines without their CR LF ends; a line that does not end in
// CR LF is marked with a trailing "<no CRLF>".
std::vector<std::string> crlf_lines(const std::string& bytes);

// Output of a shell command, and whether a program is on the PATH.
std::string run_command(const std::string& command);
bool have_program(const char* name);

// A square model of two triangles, 0..100 both ways, with a 5 x 5 grid over
// it holding x + y.
void square_model();

// Counts the map view's redraws on a recording screen device: each redraw
// draws the grid's outline first, in grey (90, 90, 90), with packed RGB
// colours. each, when given, runs at every redraw.
void watch_redraws(RecordingDriver& driver, int& count, std::function<void()> each = {});
