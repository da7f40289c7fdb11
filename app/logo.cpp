#include "app/logo.h"

#include <array>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/grinfo.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/window/winops.h"
#include "lib/window/wintext.h"

namespace {

// A zig-zag ribbon of 2k + 1 vertices: k points along its upper edge from
// left to right, dipping at every second point, its pointed right end, and
// the same k points lowered by the ribbon's thickness back from right to
// left. It spans x0..x1 and y0..y1 exactly.
template <int K>
struct Ribbon {
    std::array<float, 2 * K + 1> x{}, y{};
    constexpr Ribbon(float x0, float x1, float y0, float y1) {
        const float h = y1 - y0;
        const float dip = 0.45f * h;
        const float thick = h - dip;
        const float step = (x1 - x0) / static_cast<float>(K);
        for (int i = 0; i < K; ++i) {
            const float xi = x0 + step * static_cast<float>(i);
            const float yi = (i % 2) ? y1 - dip : y1;
            x[static_cast<std::size_t>(i)] = xi;
            y[static_cast<std::size_t>(i)] = yi;
            x[static_cast<std::size_t>(2 * K - i)] = xi;
            y[static_cast<std::size_t>(2 * K - i)] = yi - thick;
        }
        x[K] = x1;
        y[K] = y1 - 0.5f * h;
    }
};

// The broad middle ribbon and the two narrower ones below and above it.
constexpr Ribbon<22> middle(0.0f, 5.28f, 1.76f, 3.5f);
constexpr Ribbon<14> lower(0.88f, 4.40f, 0.01f, 1.75f);
constexpr Ribbon<14> upper(0.88f, 4.40f, 3.51f, 5.25f);

// The logo sits 3 units in from the drawable's lower left corner.
template <int K>
void draw_ribbon(const Ribbon<K>& r) {
    std::array<float, 2 * K + 1> x{}, y{};
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = r.x[i] + 3.0f;
        y[i] = r.y[i] + 3.0f;
    }
    IGrPolygonComplex(x.data(), y.data(), static_cast<int>(x.size()));
}

}  // namespace

void logo() {
    IGrArea(0, 0, 1, 1);
    // A drawable of no height reports a ratio of 0; it counts as 1 so the
    // units stay finite.
    std::int32_t r = InfoGrScreen(32);
    if (r == 0) r = 1;
    IGrUnits(0, 0, 200, 20000.0f / static_cast<float>(r));
    igrcolourmodel(8);
    igrpaletteinit();
    igrpalettergb(1, 0, 128, 192, 0);
    IGrColourN(1);
    igrfillpattern(4, 4, 4);
    draw_ribbon(middle);
    draw_ribbon(lower);
    draw_ribbon(upper);
    igrpalettergb(1, 64, 0, 128, 0);
    IGrColourN(1);
    igrcharsize(0.8f, 0.8f);
    igrcharout(15, 5, "Osko");
    igrcolourmodel(24);
}

void backcol(std::int32_t colour, std::int32_t clear) {
    WindowFontRecord f;
    f.background = colour;
    windowfont(f);
    if (clear == 1) windowclear();
}
