#pragma once
// Support of the vector file driver tests: a drawable of a chosen size with
// world units equal to device units, the drivers installed, the lines of a
// written file, and the standard readers run on it.
#include <string>
#include <vector>

#include "tests/support/graphics_test.h"

// A command's exit status with what it wrote on stdout and stderr.
struct ReaderRun {
    int status = -1;
    std::string out, err;
};
// True when the program is on the path.
bool have_program(const std::string& name);
// True when the Debian python3 imports every module named.
bool have_python_modules(const std::string& modules);
// Runs COMMAND through the shell.
ReaderRun run_reader(const std::string& command);
// The file's lines without their CR LF; every line must end in CR LF,
// otherwise a failure is recorded (the bytes after the last line end are
// kept as a last line).
std::vector<std::string> crlf_lines(const std::string& name);
// The bytes the open driver channel has written so far, what it gathered
// written first: until the close a run's file lies beside its name.
std::string written_so_far();
// Width and height of a PNG file from its header (0, 0 when it is none).
std::pair<int, int> png_size(const std::string& name);
// The Debian interpreter that has the readers' modules.
constexpr const char* DebianPython = "/usr/bin/python3";

class VectorFileTest : public GraphicsTest {
protected:
    // The drawable is WIDTH x HEIGHT pixels; the colour model RGB.
    VectorFileTest(int width, int height) : width_(width), height_(height) {}
    void SetUp() override;
    // Selects the driver (its operation 1) with the drawing state of a
    // fresh graphics initialisation.
    void select(int driver);

    TempDir dir{true};

private:
    int width_, height_;
};
