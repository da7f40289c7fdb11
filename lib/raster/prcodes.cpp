// The control strings of the raster printer languages: what the dump sends
// before and after the picture and around every row, band and pass.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/rastprint.h"

PrinterControlBlock printer_codes;

namespace {

constexpr char Esc = 27;
constexpr char FormFeed = 12;

// VALUE in at least WIDTH decimal digits with leading zeros: a value that
// does not fit keeps all its digits (PCL reads numbers of any length).
// Negative values are 0.
std::string digits(std::int64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(std::max<std::int64_t>(value, 0)));
    return text;
}

// A 16-bit field as low byte then high byte; out-of-range values at its
// nearest end.
std::string low_high(std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, 65535));
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string byte(std::int64_t value) { return std::string(1, static_cast<char>(std::clamp<std::int64_t>(value, 0, 255))); }

std::string esc(std::string_view rest) {
    std::string out(1, Esc);
    out.append(rest);
    return out;
}

std::int32_t resolution_at(std::int32_t index) {
    const DeviceModels& m = hcstate.models;
    if (index < 1 || index > m.ResolutionCount || index > static_cast<std::int32_t>(m.ResolutionList.size())) return 0;
    return m.ResolutionList[static_cast<std::size_t>(index - 1)];
}

// What the strings are built from beyond the control block.
struct Settings {
    std::int32_t r = 0;  // dots per inch across
    float x = 0.0f, y = 0.0f;  // offsets in points
    std::int32_t copies = 1, reset = 0, extra = 0;
};

Settings from_driver(std::int32_t width, std::int32_t height) {
    PrinterControlBlock& c = printer_codes;
    const DeviceModels& m = hcstate.models;
    const HardcopyOptionTable& o = gstate.hc.options;
    Settings s;
    s.r = resolution_at(hcstate.ResolutionIndex);
    c.RasterWidth = width;
    c.RasterHeight = height;
    s.copies = o.get(8);
    const bool swap = o.get(5) != 0;
    s.x = static_cast<float>(swap ? o.get(4) : o.get(3));
    s.y = static_cast<float>(swap ? o.get(3) : o.get(4));
    c.PassCount = m.PrinterFamily >= 1 && m.PrinterFamily <= 4 && s.r > 100 ? 2 : 1;
    c.PlaneCount = raster.planeCount;
    c.CompressionMode = o.get(24);
    s.reset = o.get(19);
    s.extra = o.get(20);
    return s;
}

Settings from_image_print() {
    PrinterControlBlock& c = printer_codes;
    const DeviceModels& m = hcstate.models;
    settle_printer_query();
    const ImagePrintTable& o = hcstate.ImagePrintOptions;
    Settings s;
    const std::int64_t wa = gstate.width, ha = gstate.height;
    const bool swap = o.get(5) != 0;
    const std::int32_t w_points = std::max(o.get(1), 1), h_points = std::max(o.get(2), 1);
    const double p = (swap ? h_points : w_points) / 72.0;
    const double q = (swap ? w_points : h_points) / 72.0;
    const std::int64_t needed = std::max(wa * 72 / w_points + 1, ha * 72 / h_points + 1);
    std::int32_t index = 1;
    for (std::int32_t k = m.ResolutionCount; k >= 1; --k) {
        if (resolution_at(k) >= needed) {
            index = k;
            break;
        }
    }
    if (o.get(13) != 0 && index > o.get(13)) index = o.get(13);
    s.r = resolution_at(index);
    c.RasterWidth = static_cast<std::int32_t>(std::min(std::trunc(p * s.r), 2.0e9));
    double v = s.r;
    if (m.PrinterFamily == 5) v = 180;
    if (m.PrinterFamily >= 1 && m.PrinterFamily <= 4)
        v = m.LineFeedUnits > 0 ? 216.0 * m.DotsPerPass / m.LineFeedUnits : 0.0;
    const auto lines = static_cast<std::int64_t>(std::min(std::trunc(q * v), 1.0e9));
    c.PassCount = 1;
    if (m.PrinterFamily >= 1 && m.PrinterFamily <= 4 && lines < (swap ? wa : ha)) c.PassCount = 2;
    c.RasterHeight = static_cast<std::int32_t>(lines * c.PassCount);
    c.RasterWidth = static_cast<std::int32_t>(std::max<std::int64_t>(c.RasterWidth, swap ? ha : wa));
    c.RasterHeight = static_cast<std::int32_t>(std::max<std::int64_t>(c.RasterHeight, swap ? wa : ha));
    s.x = static_cast<float>(swap ? o.get(4) : o.get(3));
    s.y = static_cast<float>(swap ? o.get(3) : o.get(4));
    s.copies = o.get(8);
    const std::int64_t inks = std::int64_t{1} << std::clamp(m.PrinterPlanes, 0, 30);
    c.PlaneCount = o.get(6) == 1 || gstate.colour_count < inks ? 1 : m.PrinterPlanes;
    // Compression follows option 24 as in the driver path; option 20 is the
    // extra PCL mode.
    c.CompressionMode = o.get(24);
    s.reset = o.get(19);
    s.extra = o.get(20);
    return s;
}

void pcl(const Settings& s) {
    PrinterControlBlock& c = printer_codes;
    const DeviceModels& m = hcstate.models;
    const auto x = static_cast<std::int64_t>(std::max(std::floor(10.0 * s.x), 0.0));
    const auto y = static_cast<std::int64_t>(std::max(std::floor(10.0 * s.y), 0.0));
    const std::int64_t b = (std::int64_t{std::max(c.RasterWidth, 0)} + 7) / 8;
    std::string start = esc("E") + esc("&a") + digits(x, 4) + "h" + digits(y, 4) + "V";
    start += esc("*t") + digits(s.r, 3) + "R";
    start += esc("*r");
    if (m.printer_model > 11) start += digits(8 * b, 4) + "s";
    if (m.PrinterPlanes > 1) {
        const std::string planes = digits(c.PlaneCount, 1);
        start += m.PrinterColourKind == 1 ? planes + "u" : "-" + planes + "u";
    }
    start += "1A";
    if ((m.PrinterFamily == 9 || m.PrinterFamily == 10) && s.extra != 0) start += esc("&k3W");
    if (c.CompressionMode != 0) start += esc("*b") + digits(c.CompressionMode, 1) + "M";
    if (s.reset - s.reset % 2 == 0) start.erase(0, 2);
    c.StartString = start;

    std::string end;
    if (m.PrinterFamily == 7 || m.printer_model == 32) end += esc("&l") + digits(s.copies, 2) + "X";
    end += esc("*rB");
    if (s.reset % 2 != 0) end += esc("E");
    c.EndString = end;

    c.RowHeader[0] = esc("*b") + digits(b, 3) + "W";
    c.RowHeader[1] = c.RowHeader[2] = esc("*b") + digits(b, 3) + "V";
}

void escp2(const Settings& s) {
    PrinterControlBlock& c = printer_codes;
    const std::int32_t r = std::max(s.r, 1);
    const std::int32_t u = 3600 / r;
    const auto yd = static_cast<std::int64_t>(std::trunc(s.y * r / 72.0));
    const auto xd = static_cast<std::int64_t>(std::trunc(s.x * r / 72.0));
    c.StartString = esc("@") + esc("(G") + byte(1) + byte(0) + byte(1) + esc("(U") + byte(1) + byte(0) + byte(u) +
                    esc("(V") + byte(2) + byte(0) + low_high(yd);
    c.RowHeader[0] = esc("\\") + low_high(xd) + esc(".") + byte(0) + byte(u) + byte(u) + byte(1) + low_high(0);
    c.LineAdvance = esc("(v") + byte(2) + byte(0) + byte(1) + byte(0);
    c.EndString = esc("@");
    if (s.reset % 2 != 0) c.EndString += FormFeed;
}

// The band command of the column-graphics families for N columns.
std::string band_command(std::int32_t family, std::int32_t r, std::int64_t n) {
    if (family == 4) {
        const int mode = r == 60 ? 8 : r == 120 ? 9 : r == 180 ? 11 : 12;
        return esc("[g") + low_high(3 * n + 1) + byte(mode);
    }
    if (family == 5) {
        const int mode = r == 90 ? 38 : r == 120 ? 33 : r == 180 ? 39 : 40;
        return esc("*") + byte(mode) + low_high(n);
    }
    if (r == 60 || (r == 80 && family == 3)) return esc("K") + low_high(n);
    if (r == 80) return esc("*") + byte(4) + low_high(n);
    if (r == 90) return esc("*") + byte(6) + low_high(n);
    if (r == 240) return esc("Z") + low_high(n);
    return esc("L") + low_high(n);
}

void column_graphics(const Settings& s) {
    PrinterControlBlock& c = printer_codes;
    const DeviceModels& m = hcstate.models;
    const std::int32_t family = m.PrinterFamily;
    // Offsets left of or above the paper's origin start at the origin.
    const auto margin = static_cast<std::int64_t>(std::max(std::trunc(s.x * s.r / 72.0), 0.0));
    const double feed = family == 5 ? 2.5 * s.y : 3.0 * s.y;
    const auto f = static_cast<std::int64_t>(std::clamp(std::trunc(feed), 0.0, 255.0));
    c.RowHeader[0] = band_command(family, s.r, margin + std::max(c.RasterWidth, 0));
    const std::int64_t margin_bytes = m.DotsPerPass == 24 ? 3 * margin : margin;
    c.LeftMargin = static_cast<std::int32_t>(std::min<std::int64_t>(margin_bytes, 39999));
    const std::int32_t a = m.LineFeedUnits;
    std::string start = esc("U") + byte(1);
    if (f > 0) start += esc("J") + byte(f);
    if (c.PassCount == 1) start += esc("3") + byte(a);
    c.StartString = start;
    if (c.PassCount == 2) {
        c.PassSpacing[0] = esc("3") + byte(1);
        c.PassSpacing[1] = esc("3") + byte(a - 1);
    }
    c.EndString = esc("2");
    if (s.reset % 2 != 0) c.EndString += FormFeed;
}

}  // namespace

void yypcod(std::int32_t width, std::int32_t height) {
    PrinterControlBlock& c = printer_codes;
    c = PrinterControlBlock{};
    const bool image_print = width <= 0;
    const Settings s = image_print ? from_image_print() : from_driver(width, height);
    c.StartString.clear();
    c.RowHeader[0] = esc("");
    // Without a drawing area there is nothing to print; the driver's own page
    // is always there.
    if (image_print && gstate.height <= 0) return;
    c.ColourSelect = {esc("r") + byte(4), esc("r") + byte(1), esc("r") + byte(2), esc("r") + byte(0)};
    const std::int32_t family = hcstate.models.PrinterFamily;
    if (family >= 7)
        pcl(s);
    else if (family == 6)
        escp2(s);
    else if (family >= 1)
        column_graphics(s);
}
