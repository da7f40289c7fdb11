#include "app/legend.h"

#include <string>

#include "app/appdata.h"
#include "app/contour.h"
#include "app/records.h"
#include "lib/window/text.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"

namespace {

// The parts of the last colour: an index past the last level reuses them.
struct RampParts {
    std::int32_t red = 0, green = 0, blue = 0;
};
RampParts last;

// 255 * step / length; a segment of length 0 (only possible for the first
// segment of 2 or 3 levels) is at its end colour at once.
std::int32_t ramp(int step, int length) { return length == 0 ? 255 : 255 * step / length; }

}  // namespace

std::int32_t ncolor(int i) {
    const int n = numberiso.niso;
    // The breakpoints are truncated exact products of the single-precision
    // fractions (not rounded back to single precision): 20 levels give 12, 13
    // and 16, since 0.7 in single precision is a little below 0.7.
    const double dn = n;
    const int b1 = static_cast<int>(static_cast<double>(0.6f) * dn);
    const int b2 = static_cast<int>(static_cast<double>(0.7f) * dn);
    const int b3 = static_cast<int>(static_cast<double>(0.8f) * dn);
    if (i <= b1) {
        last = {255, ramp(i - 1, b1 - 1), 0};
    } else if (i <= b2) {
        last = {255 - ramp(i - b1, b2 - b1), 255, 0};
    } else if (i <= b3) {
        last = {0, 255, ramp(i - b2, b3 - b2)};
    } else if (i <= n) {
        last = {0, 255 - ramp(i - b3, n - b3), 255};
    }
    // Packed without masking, so index 0 of 20 levels (green -23) stays a
    // value below zero.
    return last.red + 256 * last.green + 65536 * last.blue;
}

void reset_legend_state() { last = RampParts{}; }

namespace {

// A value in the label format, 10 characters.
std::string label_text(const char* format, float v) { return txt_fixed(format_text(format, static_cast<double>(v)), 10); }

}  // namespace

void legenda(int n, const float* levels, float zmin, float /*zmax*/, int style) {
    if (style == 0) return;
    WGrTextFont(102, std::nullopt, 0.008f, 0.026f);
    const float saved_rotang = dat12.rotang;
    dat12.rotang = 0;
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 1, 1);
    igrcharsize(0.5f, 0.5f);
    IGrColourN(wrgb(0, 0, 0));
    igrcharout(0.85f, 0.80f, "        ");
    igrcharout(0.85f, 0.77f, "        ");
    igrcharsize(0.65f, 0.65f);

    // A resistance option shown as leakance needs more decimals.
    const int iopt = leakage.iopt;
    const char* format = (leakage.leak == 1 && iopt > 0 && (iopt - 1) % 3 == 0) ? "(f10.4)" : "(f10.2)";

    if (style == 1) igrcharout(0.95f, 0.10f, label_text(format, zmin));
    const float x1 = 0.925f, x2 = 0.91f;
    for (int i = 1; i <= n; ++i) {
        const float yb = 0.1f + 0.03f * static_cast<float>(i - 1);
        std::string label;
        if (style == 1 || i > 1) {
            const float yt = yb + (style == 1 ? 0.03f : 0.005f);
            const float px[4] = {x1, x1, x2, x2};
            const float py[4] = {yb, yt, yt, yb};
            fillp(4, px, py, i);
            IGrColourN(wrgb(200, 200, 200));
            igrmoveto(x1, yb);
            igrlineto(x1, yt);
            igrlineto(x2, yt);
            igrlineto(x2, yb);
            igrlineto(x1, yb);
        }
        if (style == 1 || i < n)
            label = label_text(format, levels[i]);
        else
            label.assign(10, ' ');
        IGrColourN(wrgb(0, 0, 0));
        wgrtextstring(0.95f, yb + 0.03f, label);
    }
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrUnits(dat9.vxmin, dat9.vymin, dat9.vxmax, dat9.vymax);
    dat12.rotang = saved_rotang;
}
