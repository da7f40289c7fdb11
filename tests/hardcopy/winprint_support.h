#pragma once
// What the Windows printer and metafile tests share: a PPM picture to
// probe, and the test scene; programs run through run_reader.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/hardcopy/vector_support.h"

// With QUINDA_WRITE_PICTURES set to a directory, a picture file is copied
// there under its name with a prefix, to look at it.
void keep_picture(const std::string& file, const std::string& prefix);

// A binary PPM (P6) picture; empty when the file is no such picture.
struct Ppm {
    int w = 0, h = 0;
    std::vector<std::uint8_t> rgb;
    static Ppm read(const std::string& file);
    std::uint32_t at(int x, int y) const;  // 0xRRGGBB
    // Pixels within a box (inclusive) whose colour is near the given one.
    int count_near(int x0, int y0, int x1, int y1, std::uint32_t colour, int tolerance = 60) const;
};

// A 24-bit BMP file of 4 x 4 pixels of one colour (R + 256 G + 65536 B).
std::string bmp_of(std::uint32_t colour);

// The test scene in world units 0..100: lines in red, green and blue, a
// filled blue polygon, a red circle and a line of text, drawn with the
// RGB colour model.
void draw_test_scene();
