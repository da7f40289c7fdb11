#pragma once
// What a window shows, as pixels: the window grabbed to a PNG file and read
// back by the library's own image reader.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lib/raster/imagefiles.h"
#include "lib/window/quinda_state.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

struct Picture {
    int width = 0, height = 0;
    std::vector<std::int32_t> px;  // PackedRGB, top row first
    std::int32_t at(int x, int y) const { return px[static_cast<std::size_t>(y * width + x)]; }
    bool operator==(const Picture&) const = default;
    // The smallest box (x0, y0 inclusive; x1, y1 exclusive) around the pixels
    // of one colour; all zero when there are none.
    struct Box {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        int width() const { return x1 - x0; }
        int height() const { return y1 - y0; }
    };
    Box box_of(std::int32_t rgb) const {
        Box b{width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y) == rgb) b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x + 1), std::max(b.y1, y + 1)};
        return b.x1 > 0 ? b : Box{};
    }
    // Pixels of one colour inside a box (x0..x1, y0..y1 exclusive of the ends).
    int count(std::int32_t rgb, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x) n += at(x, y) == rgb;
        return n;
    }
};

// Grabs the window into file (kept there) and reads it back; an empty
// picture when either step fails.
inline Picture grab_picture(OsWindow w, const std::string& file) {
    Picture p;
    if (!os_grab_window_png(w, file)) return p;
    const std::string png = read_file(file);
    if (png.size() < 24) return p;
    auto be32 = [&](std::size_t at) {
        return static_cast<int>((static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
                                (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]));
    };
    p.width = be32(16);
    p.height = be32(20);
    if (p.width <= 0 || p.height <= 0 || p.width > 8000 || p.height > 8000) return Picture{};
    p.px.assign(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height), 0);
    const std::int32_t saved = quinda.last_error;
    quinda.last_error = 0;
    IGrLoadImageData(file, p.px);
    const bool ok = quinda.last_error == 0;
    quinda.last_error = saved;
    return ok ? p : Picture{};
}
