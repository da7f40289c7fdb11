// The window dump: the pixels of a rectangle of the graphics window printed
// as one page, on a print job of its own, stretched over the page area.
#include <algorithm>
#include <span>
#include <vector>

#include "lib/hardcopy/gdilayer.h"
#include "lib/window/quinda_state.h"
#include "platform/os_gdi.h"
#include "platform/os_printer.h"

namespace {

OsDC g_dump_dc = 0;                      // gDumpDC
std::array<std::int32_t, 2> g_extent{};  // gDumpExtent

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::int32_t yywprpalsize(const std::uint8_t* header, std::size_t size) {
    return static_cast<std::int32_t>(os_dib_colour_table_size(header, size));
}

void yywindumpstart(std::int32_t width, std::int32_t height, std::int32_t xoff, std::int32_t yoff, std::int32_t& err,
                    std::int32_t landscape, std::int32_t copies, const char* docname) {
    g_dump_dc = yywprgetdc(landscape, copies);
    if (!g_dump_dc) {
        err = 1;
        return;
    }
    if (os_start_doc(g_dump_dc, docname ? docname : "") <= 0) {
        os_delete_dc(g_dump_dc);
        g_dump_dc = 0;
        err = 1;
        return;
    }
    err = 0;
    const std::int64_t rx = os_get_device_caps(g_dump_dc, OS_LOGPIXELSX);
    const std::int64_t ry = os_get_device_caps(g_dump_dc, OS_LOGPIXELSY);
    const std::int32_t ox = static_cast<std::int32_t>(os_get_device_caps(g_dump_dc, OS_PHYSICALOFFSETX) - xoff * rx / 72);
    const std::int32_t oy = static_cast<std::int32_t>(os_get_device_caps(g_dump_dc, OS_PHYSICALOFFSETY) - yoff * ry / 72);
    g_extent = {static_cast<std::int32_t>(width * rx / 72), static_cast<std::int32_t>(height * ry / 72)};
    os_start_page(g_dump_dc);
    os_set_window_org(g_dump_dc, ox, oy);
    if (g_extent[0] != 0 && g_extent[1] != 0) os_set_window_ext(g_dump_dc, g_extent[0], g_extent[1]);
    os_set_bk_mode(g_dump_dc, OS_TRANSPARENT);
}

void yywindumpblit(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t& err) {
    const std::int32_t w = x2 - x1 + 1, h = y2 - y1 + 1;
    err = 0;
    if (w <= 0 || h <= 0 || !g_dump_dc) {
        err = 1;
        return;
    }
    const OsDC mem = os_create_compatible_dc(wtab.gDC);
    const OsObject bitmap = os_create_compatible_bitmap(wtab.gDC, w, h);
    if (!mem || !bitmap) {
        if (bitmap) os_delete_object(bitmap);
        if (mem) os_delete_dc(mem);
        err = 1;
        return;
    }
    const OsObject old = os_select_object(mem, bitmap);
    os_bit_blt(mem, 0, 0, w, h, wtab.gDC, x1, y1, OS_SRCCOPY);
    os_select_object(mem, old);
    const OsObject palette = wtab.gPal256;
    OsBitmapDesc desc;
    os_get_bitmap_desc(bitmap, desc);
    const std::int32_t depth = desc.planes * desc.bits_pixel;
    const std::int32_t bits = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : 24;
    std::vector<std::uint8_t> block(40 + 1024, 0);
    put32(&block[0], 40);
    put32(&block[4], static_cast<std::uint32_t>(w));
    put32(&block[8], static_cast<std::uint32_t>(h));
    block[12] = 1;
    block[14] = static_cast<std::uint8_t>(bits);
    if (palette) {
        os_select_palette(mem, palette, false);
        os_realize_palette(mem);
    }
    const std::int64_t row = (std::int64_t{bits} * w + 31) / 32 * 4;
    auto done = [&](std::int32_t e) {
        os_delete_object(bitmap);
        os_delete_dc(mem);
        err = e;
    };
    // The header completed (image size, colour table) before the rows.
    if (os_get_dibits(mem, bitmap, 0, h, nullptr, block.data(), block.size()) == 0) return done(1);
    const std::size_t table = static_cast<std::size_t>(yywprpalsize(block.data(), block.size()));
    std::uint32_t image = get32(&block[20]);
    if (image == 0) image = static_cast<std::uint32_t>(row * h);
    block.resize(40 + table + image);
    std::vector<std::uint8_t> info(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(40 + std::max<std::size_t>(table, 1024)));
    if (os_get_dibits(mem, bitmap, 0, h, block.data() + 40 + table, info.data(), info.size()) == 0) return done(1);
    std::copy(info.begin(), info.begin() + static_cast<std::ptrdiff_t>(40 + table), block.begin());
    const std::int32_t drawn =
        os_stretch_dibits(g_dump_dc, 0, 0, g_extent[0], g_extent[1], 0, 0, w, h, block.data(), block.size(), OS_SRCCOPY);
    done(drawn == 0 ? 1 : 0);
}

void yywindumpend() {
    if (!g_dump_dc) return;
    os_end_page(g_dump_dc);
    os_end_doc(g_dump_dc);
    os_delete_dc(g_dump_dc);
    g_dump_dc = 0;
}
