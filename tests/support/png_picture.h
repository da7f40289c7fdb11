#pragma once
// A PNG picture read back by the library's own image reader, for tests that
// check what a grab of the screen shows.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"

struct PngPicture {
    int width = 0, height = 0;
    std::vector<std::int32_t> px;  // packed R + 256 G + 65536 B, top row first
    // The pixel at (x, y) counted from the top-left; -1 outside.
    std::int32_t at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return -1;
        return px[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    // How many pixels have the colour.
    std::size_t count(std::int32_t colour) const {
        std::size_t n = 0;
        for (std::int32_t p : px) n += p == colour;
        return n;
    }
};

// An empty picture when the file is no PNG the reader takes.
inline PngPicture read_png_picture(const std::string& file) {
    PngPicture pic;
    std::array<std::int32_t, 5> info{};
    infoerror(1);
    igrfileinfo(file, info, 5);
    if (infoerror(1) != 0 || info[0] != FilePng || info[1] <= 0 || info[2] <= 0) return pic;
    std::vector<std::int32_t> px(static_cast<std::size_t>(info[1]) * static_cast<std::size_t>(info[2]), -1);
    IGrLoadImageData(file, px);
    if (infoerror(1) != 0) return pic;
    pic.width = info[1];
    pic.height = info[2];
    pic.px = std::move(px);
    return pic;
}
