#include "tests/hardcopy/winprint_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"

void keep_picture(const std::string& file, const std::string& prefix) {
    const char* dir = std::getenv("QUINDA_WRITE_PICTURES");
    if (!dir || !*dir) return;
    std::ifstream in(file, std::ios::binary);
    std::ofstream out(std::string(dir) + "/" + prefix + file, std::ios::binary);
    out << in.rdbuf();
}

Ppm Ppm::read(const std::string& file) {
    Ppm p;
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> p.w >> p.h >> maxval;
    in.get();
    if (magic != "P6" || p.w <= 0 || p.h <= 0 || maxval != 255) return {};
    p.rgb.resize(static_cast<std::size_t>(p.w) * p.h * 3);
    in.read(reinterpret_cast<char*>(p.rgb.data()), static_cast<std::streamsize>(p.rgb.size()));
    if (!in) return {};
    return p;
}

std::uint32_t Ppm::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return 0xFFFFFFFF;
    const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
    return (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
}

int Ppm::count_near(int x0, int y0, int x1, int y1, std::uint32_t colour, int tolerance) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const std::uint32_t c = at(x, y);
            if (c == 0xFFFFFFFF) continue;
            int d = 0;
            for (int s : {0, 8, 16}) d += std::abs(static_cast<int>((c >> s) & 0xFF) - static_cast<int>((colour >> s) & 0xFF));
            if (d <= tolerance) ++n;
        }
    return n;
}

std::string bmp_of(std::uint32_t colour) {
    std::string f = "BM";
    auto put = [&f](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) f += static_cast<char>(v >> (8 * i));
    };
    put(54 + 48, 4), put(0, 4), put(54, 4);
    put(40, 4), put(4, 4), put(4, 4), put(1, 2), put(24, 2), put(0, 4), put(48, 4), put(0, 4), put(0, 4), put(0, 4),
        put(0, 4);
    for (int i = 0; i < 16; ++i) put(colour >> 16, 1), put(colour >> 8, 1), put(colour, 1);
    return f;
}

void draw_test_scene() {
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrUnits(0.0f, 0.0f, 100.0f, 100.0f);
    igrcolourmodel(24);
    igrlinewidth(2);
    const std::int32_t colours[] = {0x0000FF, 0x00FF00, 0xFF0000};  // red, green, blue as R + 256 G + 65536 B
    for (int i = 0; i < 3; ++i) {
        IGrColourN(colours[i]);
        igrjoin(5.0f, 90.0f - 8.0f * i, 45.0f, 90.0f - 8.0f * i);
    }
    IGrColourN(0xFF0000);
    igrfillpattern(4);
    const float px[] = {60.0f, 95.0f, 95.0f, 60.0f}, py[] = {60.0f, 60.0f, 95.0f, 95.0f};
    IGrPolygonComplex(px, py, 4);
    IGrColourN(0x0000FF);
    igrfillpattern(0);
    igrcircle(25.0f, 30.0f, 15.0f);
    IGrColourN(0x000000);
    igrcharsize(1.5f, 1.5f);
    wgrtextstring(55.0f, 20.0f, "Quindarolex");
}
