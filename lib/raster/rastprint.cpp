// Hardcopy driver 4, the raster printer: the raster device draws the page at
// printer resolution, and at the end of every page the dump sends it in the
// printer's language (PCL, ESC/P2 or Epson column graphics) on channel 2.
#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/rastprint.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"

namespace {

constexpr std::string_view CapsRasterPrinter = "00000111111111110010011011000";
constexpr std::int32_t BlockBytes = static_cast<std::int32_t>(WorkBlock::byte_size());

bool failed() { return hcstate.HardcopyErrorFlag != 0; }

void send(int channel, std::string_view bytes) {
    if (!bytes.empty()) yyprou(channel, bytes);
}

void send(int channel, std::span<const unsigned char> bytes) {
    if (!bytes.empty()) yyprou(channel, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

// ---------------------------------------------------------------- driver

void initialise() {
    DriverArguments& a = drvargs;
    if (a.N == ProbeDriverNumber) {
        a.N = DriverRasterPrinter;
        return;
    }
    yyvras(OpInitialise);
    const DeviceModels& m = hcstate.models;
    HardcopyOptionTable& o = gstate.hc.options;
    o.set(1, 576);
    o.set(2, 432);
    const bool page_printer = m.PrinterFamily > 5;
    o.set(3, page_printer ? 100 : 0);
    o.set(4, page_printer ? 70 : 0);
    o.set(5, page_printer ? 1 : 0);
    o.set(13, std::min(m.ResolutionCount, 2));
    o.set(19, 3);
    o.set(20, 0);
    o.set(24, std::min(m.Option24Limit, 2));
    hcstate.ResolutionIndex = o.get(13);
    gstate.hc.colour_count = 1 << std::clamp(m.PrinterPlanes, 0, 24);
    hcstate.DriverCanSpool = 1;
    gstate.device[HardcopySide].DeviceCapabilities = std::string(CapsRasterPrinter);
    txt_set(gstate.hc.output_name, "derizure.prn");
    gstate.hc.active_driver = DriverRasterPrinter;
}

// Resolution and page sizes at resolution INDEX.
void page_geometry(std::int32_t index) {
    RasterState& r = raster;
    const DeviceModels& m = hcstate.models;
    const HardcopyOptionTable& o = gstate.hc.options;
    const bool in_list = index >= 1 && index <= m.ResolutionCount && index <= static_cast<std::int32_t>(m.ResolutionList.size());
    const float x = in_list ? static_cast<float>(m.ResolutionList[static_cast<std::size_t>(index - 1)]) : 0.0f;
    float y = x;
    if (m.PrinterFamily == 5) {
        y = 180.0f;
    } else if (m.PrinterFamily >= 1 && m.PrinterFamily <= 4) {
        y = m.LineFeedUnits > 0 ? 216.0f * static_cast<float>(m.DotsPerPass) / static_cast<float>(m.LineFeedUnits) : 0.0f;
        if (x > 100.0f) y *= 2.0f;
    }
    r.dotsPerInchX = x;
    r.dotsPerInchY = y;
    const double w = o.get(1), h = o.get(2);
    auto size = [](double dpi, double points) {
        return static_cast<std::int32_t>(std::clamp(std::trunc(dpi * points / 72.0), 0.0, 2.0e9));
    };
    if (o.get(5) != 0) {
        r.rasterWidth = size(y, w);
        r.rasterHeight = size(x, h);
        r.printRasterWidth = r.rasterHeight;
        r.printRasterHeight = r.rasterWidth;
    } else {
        r.rasterWidth = size(x, w);
        r.rasterHeight = size(y, h);
        r.printRasterWidth = r.rasterWidth;
        r.printRasterHeight = r.rasterHeight;
    }
}

void begin() {
    const bool opening = drvargs.K > 0;
    if (opening) {
        if (gstate.hc.options.get(13) == 0) {
            yyerror(5, "XXRAST");
            gstate.hardcopy_flag = 0;
            return;
        }
        // On failure the error was reported and hardcopy output is off.
        if (!raster_size_printer(page_geometry)) return;
    }
    yyvras(OpBeginPicture);
    if (opening) yyvras(OpClear);
}

PixelTest choose_test() {
    const std::int32_t family = hcstate.models.PrinterFamily;
    const bool rotated = gstate.hc.options.get(5) != 0;
    const bool colour = raster.pixelDepth == 3;
    if (family >= 7) return rotated ? yyras2 : yyras4;
    if (family == 6) {
        if (colour) return rotated ? yyras9 : yyras8;
        return rotated ? yyras7 : yyras6;
    }
    if (colour) return yyras3;
    return rotated ? yyras1 : yyras5;
}

void end_page() {
    if (gstate.hc.page_in_progress == 0) return;
    yypcod(raster.printRasterWidth, raster.printRasterHeight);
    yydump(DriverChannel, choose_test());
    gstate.hc.page_in_progress = 0;
    yyvras(OpClear);
}

// ---------------------------------------------------------------- dump

// The row of one printer line: its bytes, the first dot in the top bit,
// room behind them for the compressed form. In the work block while the
// row and its worst compression fit there, in a buffer of its own beyond.
class LineBuffer {
public:
    explicit LineBuffer(std::int64_t bytes) {
        const std::int64_t room = 2 * bytes + bytes / 127 + 16;
        if (room <= BlockBytes) {
            row_ = {quin01.bytes(), static_cast<std::size_t>(BlockBytes)};
        } else {
            own_.assign(static_cast<std::size_t>(room), 0);
            row_ = own_;
        }
    }
    std::span<unsigned char> row() { return row_; }

    // Packs line J; N the bytes, LAST the last byte that is not zero.
    void pack(PixelTest test, std::int32_t width, std::int32_t j, std::int32_t& n, std::int32_t& last) {
        n = (width + 7) / 8;
        last = 0;
        for (std::int32_t k = 0; k < n; ++k) row_[static_cast<std::size_t>(k)] = 0;
        for (std::int32_t i = 0; i < width; ++i) {
            std::int32_t di = i, dj = j;
            if (test(di, dj) != 0) {
                const auto k = static_cast<std::size_t>(i / 8);
                row_[k] = static_cast<unsigned char>(row_[k] | (0x80u >> (i % 8)));
                last = static_cast<std::int32_t>(k) + 1;
            }
        }
    }

private:
    std::vector<unsigned char> own_;
    std::span<unsigned char> row_;
};

void dump_pcl(int channel, PixelTest test) {
    const PrinterControlBlock& c = printer_codes;
    const std::int32_t width = std::max(c.RasterWidth, 0);
    const std::int32_t planes = std::clamp(c.PlaneCount, 1, 3);
    // White on an RGB printer is a set bit: the dots past the width are white.
    unsigned pad = 0;
    if (planes > 1 && hcstate.models.PrinterColourKind == 1 && width % 8 != 0) pad = (1u << (8 - width % 8)) - 1;
    LineBuffer line((width + 7) / 8);
    std::span<unsigned char> row = line.row();
    for (std::int32_t j = 0; j < c.RasterHeight; ++j) {
        for (std::int32_t p = 0; p < planes; ++p) {
            raster.selectedPlane = p;
            std::int32_t n = 0, last = 0;
            line.pack(test, width, j, n, last);
            // The pad bits do not count towards the last byte that is sent.
            if (pad != 0 && n > 0) row[static_cast<std::size_t>(n - 1)] |= static_cast<unsigned char>(pad);
            const std::int32_t slot = planes - 1 - p;
            if (c.CompressionMode != 0) {
                yycmpr(n, slot, row);
            } else {
                std::string& head = printer_codes.RowHeader[static_cast<std::size_t>(slot)];
                const char letter = slot == 0 ? 'W' : 'V';
                std::string count = std::to_string(last);
                if (count.size() < 3) count.insert(0, 3 - count.size(), '0');
                head = "\x1b*b" + count + letter;
                n = last;
            }
            send(channel, std::string_view(printer_codes.RowHeader[static_cast<std::size_t>(slot)]));
            send(channel, std::span<const unsigned char>(row.first(static_cast<std::size_t>(n))));
            if (failed()) return;
        }
    }
}

void dump_escp2(int channel, PixelTest test) {
    PrinterControlBlock& c = printer_codes;
    const std::int32_t width = std::max(c.RasterWidth, 0);
    const std::int32_t passes = c.PlaneCount > 1 ? std::min(c.PlaneCount, 3) + 1 : 1;
    std::vector<unsigned char> work(static_cast<std::size_t>(2 * std::int64_t{width} / 8 + (width % 8 != 0 ? 1 : 0) + 2));
    LineBuffer line((width + 7) / 8);
    std::span<unsigned char> row = line.row();
    std::string& head = c.RowHeader[0];
    if (head.size() < 12) head.resize(12, '\0');
    for (std::int32_t j = 0; j < c.RasterHeight; ++j) {
        for (std::int32_t k = 1; k <= passes; ++k) {
            raster.selectedPlane = 3 - k;
            if (passes > 1) send(channel, std::string_view(c.ColourSelect[static_cast<std::size_t>(k - 1)]));
            std::int32_t n = 0, last = 0;
            line.pack(test, width, j, n, last);
            // The dot count of the raster command is 16 bits: a row goes
            // out up to 65,528 dots.
            last = std::min(last, 8191);
            std::int32_t count = last;
            yycmprp2(count, work, 1, row);
            const std::int64_t dots = std::int64_t{last} * 8;
            head[10] = static_cast<char>(dots & 0xFF);
            head[11] = static_cast<char>((dots >> 8) & 0xFF);
            send(channel, std::string_view(head));
            send(channel, std::span<const unsigned char>(row.first(static_cast<std::size_t>(count))));
            send(channel, std::string_view("\r"));
            if (failed()) return;
        }
        send(channel, std::string_view(c.LineAdvance));
    }
}

void dump_columns(int channel, PixelTest test) {
    PrinterControlBlock& c = printer_codes;
    const DeviceModels& m = hcstate.models;
    const std::int32_t width = std::max(c.RasterWidth, 0);
    const std::int32_t il = std::clamp(c.PassCount, 1, 2);
    const std::int32_t dots = m.DotsPerPass == 24 ? 24 : 8;
    const std::int32_t s = il * 8;
    const std::int32_t passes = c.PlaneCount > 1 ? std::min(c.PlaneCount, 3) + 1 : 1;
    const std::int32_t last_line = c.RasterHeight - 1;
    const std::int32_t band = dots * il;
    const std::int32_t bands = (last_line + band) / band;
    const std::int32_t margin = std::clamp(c.LeftMargin, 0, BlockBytes - 1);
    // The whole pass in the work block: otherwise the header goes first with
    // the full line's count and the block is sent whenever it fills.
    const bool fits = std::int64_t{width} * (dots / 8) + margin <= BlockBytes;
    unsigned char* block = quin01.bytes();
    for (std::int32_t b = 0; b < bands; ++b) {
        const std::int32_t r0 = b * band, rb = r0 + band - 1;
        for (std::int32_t q = 1; q <= il; ++q) {
            if (il == 2) send(channel, std::string_view(c.PassSpacing[static_cast<std::size_t>(q - 1)]));
            for (std::int32_t k = 1; k <= passes; ++k) {
                const std::int32_t f = r0 + q - 1;
                std::int32_t last = 0;
                raster.selectedPlane = 3 - k;
                if (passes > 1) send(channel, std::string_view(c.ColourSelect[static_cast<std::size_t>(k - 1)]));
                if (!fits) send(channel, std::string_view(c.RowHeader[0]));
                std::fill(block, block + margin, 0);
                std::int32_t n = margin;
                const std::int32_t per_column = (rb + s - f) / s;
                for (std::int32_t i = 0; i < width; ++i) {
                    for (std::int32_t g = 0; g < per_column; ++g) {
                        const std::int32_t from = f + g * s;
                        const std::int32_t to = std::min(from + s - 1, last_line);
                        unsigned value = 0;
                        std::int32_t bit = 7;
                        for (std::int32_t row = from; row <= to; row += il, --bit) {
                            std::int32_t di = i, dj = row;
                            if (test(di, dj) != 0) value |= 1u << bit;
                        }
                        block[n] = static_cast<unsigned char>(value);
                        ++n;
                        if (value != 0) last = n;
                        const bool more = i < width - 1 || from + s <= rb;
                        if (n == BlockBytes && more) {
                            yyprbu(channel, n, 0);
                            n = 0;
                        }
                    }
                }
                std::int32_t count = n;
                if (fits) {
                    // Empty columns at the end are not sent; a pass without
                    // data sends no band command.
                    count = last;
                    if (count > 0) {
                        yybitimg(count);
                        send(channel, std::string_view(c.RowHeader[0]));
                    }
                }
                yyprbu(channel, count, k == passes ? 1 : 0);
                if (k != passes) send(channel, std::string_view("\r"));
            }
            if (failed()) return;
        }
    }
}

}  // namespace

void yydump(int channel, PixelTest test) {
    if (hcstate.models.ResolutionCount == 0) {
        yyerror(5, "YYDUMP");
        return;
    }
    const PrinterControlBlock& c = printer_codes;
    if (!c.StartString.empty()) {
        send(channel, std::string_view(c.StartString));
        if (failed()) return;
    }
    const std::int32_t family = hcstate.models.PrinterFamily;
    if (family >= 7)
        dump_pcl(channel, test);
    else if (family == 6)
        dump_escp2(channel, test);
    else
        dump_columns(channel, test);
    if (failed()) return;
    send(channel, std::string_view(c.EndString));
}

void xxrast(std::int32_t op) {
    switch (op) {
        case OpInitialise: initialise(); break;
        case OpBeginPicture: begin(); break;
        case OpEndPage: end_page(); break;
        default: yyvras(op); break;
    }
}
