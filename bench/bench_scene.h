#pragma once
// The drawing the hardcopy driver benchmarks share: 200,000 short lines in
// changing colours and 10,000 small filled polygons, in units 0..1000 x 0..750.
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/lines.h"

inline void draw_bench_lines_and_polygons() {
    for (int i = 0; i < 200000; ++i) {
        if (i % 5000 == 0) IGrColourN(wrgb(i % 256, (i / 256) % 256, 128));
        const auto x = static_cast<float>((i * 37) % 990), y = static_cast<float>((i * 53) % 740);
        igrjoin(x, y, x + 7.5f, y + 3.25f);
    }
    igrfillpattern(4);
    for (int i = 0; i < 10000; ++i) {
        const auto x = static_cast<float>((i * 41) % 980), y = static_cast<float>((i * 29) % 730);
        const float px[6] = {x, x + 10, x + 15, x + 12, x + 4, x};
        const float py[6] = {y, y, y + 8, y + 15, y + 12, y};
        if (i % 100 == 0) IGrColourN(wrgb(255 - i % 256, 64, i % 256));
        IGrPolygonComplex(px, py, 6);
    }
    igrfillpattern(0);
}
