#pragma once
// What the Windows printer and metafile tests share: a run of another
// program, a PPM picture to probe, and the test scene.
#include <cstdint>
#include <string>
#include <vector>

// Output and exit status of a command run through the shell.
struct CommandResult {
    std::string output;
    int status = -1;
};
CommandResult run_shell(const std::string& command);
// With QUINDA_WRITE_PICTURES set to a directory, a picture file is copied
// there under its name with a prefix, to look at it.
void keep_picture(const std::string& file, const std::string& prefix);
// Whether a program is on the PATH.
bool have_program(const std::string& name);

// A binary PPM (P6) picture; empty when the file is no such picture.
struct Ppm {
    int w = 0, h = 0;
    std::vector<std::uint8_t> rgb;
    static Ppm read(const std::string& file);
    std::uint32_t at(int x, int y) const;  // 0xRRGGBB
    // Pixels within a box (inclusive) whose colour is near the given one.
    int count_near(int x0, int y0, int x1, int y1, std::uint32_t colour, int tolerance = 60) const;
};

// The test scene in world units 0..100: lines in red, green and blue, a
// filled blue polygon, a red circle and a line of text, drawn with the
// RGB colour model.
void draw_test_scene();
