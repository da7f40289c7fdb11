// Memory bitmaps over the platform layer's bitmaps and memory device
// contexts. A bitmap that is the current drawing surface is held by the
// graphics device context and is worked on through it.
#include "lib/graphics/bitmaps.h"

#include "lib/graphics/bitmapview.h"
#include "lib/graphics/gdi.h"
#include "lib/graphics/gstate.h"
#include "lib/window/messages.h"
#include "lib/window/wininfo.h"
#include "platform/os_gdi.h"
#include "platform/os_resource.h"

namespace {

bool in_range(std::int32_t slot) { return slot >= 0 && slot < BitmapSlots; }
std::size_t at(std::int32_t slot) { return static_cast<std::size_t>(slot); }
OsHandle handle_of(std::int32_t slot) { return in_range(slot) ? wtab.hBitmap[at(slot)] : 0; }

// The colour a pixel or fill of COLOUR is written with: on a palette
// display the nearest entry of the graphics palette, otherwise the nearest
// colour the device shows.
std::uint32_t device_colour(OsDC dc, std::int32_t colour) {
    const std::uint32_t rgb = static_cast<std::uint32_t>(colour) & 0xFFFFFFu;
    if (wtab.gPal256) return os_palette_index(os_get_nearest_palette_index(wtab.gPal256, rgb));
    return os_get_nearest_color(dc, rgb);
}

std::uint32_t blit_rop() {
    switch (wtab.BitmapBlitMode) {
        case 1: return OS_SRCPAINT;
        case 2: return OS_SRCAND;
        case 3: return OS_SRCINVERT;
        default: return OS_SRCCOPY;
    }
}

// A device context holding a bitmap for the length of one operation: the
// graphics device context when the bitmap is the drawing surface, else a
// memory one of its own (with the graphics palette, so palette colours
// resolve). dc() is 0 when the bitmap cannot be selected.
class BitmapDC {
public:
    explicit BitmapDC(OsHandle bitmap) {
        if (bitmap != 0 && bitmap == wtab.hGraphicsBitmap && wtab.gDC) {
            dc_ = wtab.gDC;
            return;
        }
        const OsDC dc = os_create_compatible_dc(wtab.gDC ? wtab.gDC : wtab.wDC);
        old_ = os_select_object(dc, bitmap);
        if (!old_) {
            os_delete_dc(dc);
            return;
        }
        dc_ = dc;
        own_ = true;
        if (wtab.gPal256) {
            os_select_palette(dc_, wtab.gPal256, false);
            os_realize_palette(dc_);
        }
    }
    ~BitmapDC() {
        if (!own_) return;
        os_select_object(dc_, old_);
        os_delete_dc(dc_);
    }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    OsDC dc() const { return dc_; }

private:
    OsDC dc_ = 0;
    OsObject old_ = 0;
    bool own_ = false;
};

// Drawing goes back to the current window, as after a failed selection, so
// that it never reaches a released bitmap.
void give_drawing_back() {
    if (wtab.slot_valid(quinda.current_slot)) {
        IGrSelect(1, quinda.current_slot);
        return;
    }
    yygrselectnone();
    gstate.DrawableType = 1;
    gstate.drawable_id = quinda.current_slot;
}

// The slot takes a new bitmap in place of its old one, which is released.
// A drawing surface stays one, now on the new bitmap; viewers showing the
// old one show the new one.
void replace(std::int32_t slot, OsHandle fresh, std::int32_t w, std::int32_t h) {
    const OsHandle old = wtab.hBitmap[at(slot)];
    const bool surface = old == wtab.hGraphicsBitmap;
    if (surface) yygrselectnone();
    wtab.hBitmap[at(slot)] = fresh;
    wtab.BitmapWidth[at(slot)] = w;
    wtab.BitmapHeight[at(slot)] = h;
    yybitmapviewerreplaced(old, slot);
    os_delete_object(old);
    if (surface) IGrSelect(2, slot + 1);
}

// Whether a slot holds a bitmap; STATUS 1021 when not.
bool check(std::int32_t slot, std::int32_t& status) {
    if (handle_of(slot) != 0) return true;
    status = BitmapErrHandle;
    return false;
}

}  // namespace

OsHandle yybitmapcreate2(std::int32_t w, std::int32_t h, std::int32_t colour) {
    if (w < 1 || h < 1) return 0;
    const OsObject bm = os_create_compatible_bitmap(wtab.wDC, w, h);
    if (!bm) return 0;
    BitmapDC b(bm);
    if (!b.dc()) {
        os_delete_object(bm);
        return 0;
    }
    const OsObject brush = os_create_solid_brush(device_colour(b.dc(), colour));
    const OsObject old_brush = os_select_object(b.dc(), brush);
    const OsObject old_pen = os_select_object(b.dc(), os_get_stock_object(OS_NULL_PEN));
    const std::int32_t old_rop = os_set_rop2(b.dc(), OS_R2_COPYPEN);
    // Without a pen a rectangle leaves out one more column and row.
    os_rectangle(b.dc(), 0, 0, w + 1, h + 1);
    os_set_rop2(b.dc(), old_rop);
    os_select_object(b.dc(), old_pen);
    os_select_object(b.dc(), old_brush);
    os_delete_object(brush);
    return bm;
}

void yybitmapcreate(std::int32_t& number, std::int32_t w, std::int32_t h, std::int32_t colour) {
    number = 0;
    for (std::int32_t slot = 0; slot < BitmapSlots; ++slot) {
        if (wtab.hBitmap[at(slot)] != 0) continue;
        const OsHandle bm = yybitmapcreate2(w, h, colour);
        if (!bm) continue;
        wtab.hBitmap[at(slot)] = bm;
        wtab.BitmapWidth[at(slot)] = w;
        wtab.BitmapHeight[at(slot)] = h;
        number = slot + 1;
        return;
    }
}

void yybitmapdestroy(std::int32_t slot, std::int32_t& status) {
    if (!check(slot, status)) return;
    if (yybitmapisviewer(slot) != 0) {
        status = BitmapErrInViewer;
        return;
    }
    const OsHandle bm = wtab.hBitmap[at(slot)];
    if (bm == wtab.hGraphicsBitmap) give_drawing_back();
    os_delete_object(bm);
    wtab.hBitmap[at(slot)] = 0;
    wtab.BitmapWidth[at(slot)] = 0;
    wtab.BitmapHeight[at(slot)] = 0;
    status = 0;
}

void yybitmapget(std::int32_t slot, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::int32_t& status) {
    if (!check(slot, status)) return;
    BitmapDC b(wtab.hBitmap[at(slot)]);
    status = b.dc() && os_bit_blt(b.dc(), 0, 0, w, h, wtab.gDC, x, y, blit_rop()) ? 0 : BitmapErrTransfer;
}

void yybitmapput(std::int32_t slot, std::int32_t stretch, std::int32_t x, std::int32_t y, std::int32_t w,
                 std::int32_t h, std::int32_t& status) {
    if (!check(slot, status)) return;
    BitmapDC b(wtab.hBitmap[at(slot)]);
    bool ok = false;
    if (b.dc()) {
        ok = stretch != 0 ? os_stretch_blt(wtab.gDC, x, y, w, h, b.dc(), 0, 0, wtab.BitmapWidth[at(slot)],
                                           wtab.BitmapHeight[at(slot)], blit_rop())
                          : os_bit_blt(wtab.gDC, x, y, w, h, b.dc(), 0, 0, blit_rop());
    }
    status = ok ? 0 : BitmapErrTransfer;
}

void yybitmappart(std::int32_t slot, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                  std::int32_t w, std::int32_t h, std::int32_t direction, std::int32_t& status) {
    if (!check(slot, status)) return;
    BitmapDC b(wtab.hBitmap[at(slot)]);
    bool ok = false;
    if (b.dc()) {
        ok = direction != 0 ? os_bit_blt(wtab.gDC, dx, dy, w, h, b.dc(), sx, sy, blit_rop())
                            : os_bit_blt(b.dc(), dx, dy, w, h, wtab.gDC, sx, sy, blit_rop());
    }
    status = ok ? 0 : BitmapErrTransfer;
}

namespace {

// The element count of a rectangle's pixel array, or -1 for a rectangle
// whose corners are the wrong way round.
std::int64_t array_size(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (x2 < x1 || y2 < y1) return -1;
    return (std::int64_t{x2} - x1 + 1) * (std::int64_t{y2} - y1 + 1);
}

std::size_t element(std::int32_t x, std::int32_t y, std::int32_t x1, std::int32_t y1, std::int32_t x2) {
    return static_cast<std::size_t>((std::int64_t{y} - y1) * (std::int64_t{x2} - x1 + 1) + (std::int64_t{x} - x1));
}

// Calls PIXEL(dc, x, y, element) for the rectangle's pixels, rows from Y2
// back to Y1, each from X1 to X2, once the array is known to cover them.
template <typename Pixel>
void each_pixel(std::int32_t slot, std::size_t size, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, std::int32_t& status, Pixel pixel) {
    if (!check(slot, status)) return;
    const std::int64_t n = array_size(x1, y1, x2, y2);
    BitmapDC b(wtab.hBitmap[at(slot)]);
    if (n < 0 || static_cast<std::uint64_t>(n) > size || !b.dc()) {
        status = BitmapErrTransfer;
        return;
    }
    for (std::int32_t y = y2; y >= y1; --y)
        for (std::int32_t x = x1; x <= x2; ++x) pixel(b.dc(), x, y, element(x, y, x1, y1, x2));
    status = 0;
}

}  // namespace

void yybitmapgetdata(std::int32_t slot, std::span<const std::int32_t> pixels, std::int32_t x1, std::int32_t y1,
                     std::int32_t x2, std::int32_t y2, std::int32_t& status) {
    each_pixel(slot, pixels.size(), x1, y1, x2, y2, status, [&](OsDC dc, std::int32_t x, std::int32_t y, std::size_t i) {
        os_set_pixel(dc, x, y, device_colour(dc, pixels[i]));
    });
}

void yybitmapputdata(std::int32_t slot, std::span<std::int32_t> pixels, std::int32_t x1, std::int32_t y1,
                     std::int32_t x2, std::int32_t y2, std::int32_t& status) {
    each_pixel(slot, pixels.size(), x1, y1, x2, y2, status, [&](OsDC dc, std::int32_t x, std::int32_t y, std::size_t i) {
        pixels[i] = static_cast<std::int32_t>(os_get_pixel(dc, x, y));
    });
}

namespace {

// A bitmap resource as a bitmap of its own size and colours; 0 when there
// is no such resource.
OsObject load_resource(std::int32_t id, OsImage& image) {
    const int number = id & 0xFFFF;
    if (number == 0 || !os_resource_image(OS_RT_BITMAP, number, image) || image.width < 1 || image.height < 1)
        return 0;
    const OsObject bm = os_create_compatible_bitmap(wtab.wDC, image.width, image.height);
    if (!bm) return 0;
    BitmapDC b(bm);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t argb = image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                                                    static_cast<std::size_t>(x)];
            const std::uint32_t colorref = ((argb >> 16) & 0xFFu) | (argb & 0xFF00u) | ((argb & 0xFFu) << 16);
            os_set_pixel(b.dc(), x, y, colorref);
        }
    return bm;
}

}  // namespace

void yybitmapgetresource(std::int32_t slot, std::int32_t id, std::int32_t& status) {
    if (!check(slot, status)) return;
    OsImage image;
    const OsObject res = load_resource(id, image);
    if (!res) {
        status = BitmapErrNoResource;
        return;
    }
    {
        BitmapDC src(res);
        BitmapDC dst(wtab.hBitmap[at(slot)]);
        status = src.dc() && dst.dc() && os_bit_blt(dst.dc(), 0, 0, wtab.BitmapWidth[at(slot)],
                                                    wtab.BitmapHeight[at(slot)], src.dc(), 0, 0, OS_SRCCOPY)
                     ? 0
                     : BitmapErrTransfer;
    }
    os_delete_object(res);
}

void yybitmapresourceinfo(std::int32_t id, std::int32_t& w, std::int32_t& h) {
    OsImage image;
    const int number = id & 0xFFFF;
    if (number != 0 && os_resource_image(OS_RT_BITMAP, number, image)) {
        w = image.width;
        h = image.height;
    } else {
        w = h = 0;
    }
}

void yybitmapmirror(std::int32_t slot, std::int32_t direction, std::int32_t& viewer, std::int32_t& status) {
    if (!check(slot, status)) return;
    viewer = yybitmapisviewer(slot);
    const std::int32_t w = wtab.BitmapWidth[at(slot)], h = wtab.BitmapHeight[at(slot)];
    BitmapDC b(wtab.hBitmap[at(slot)]);
    if (!b.dc()) {
        status = BitmapErrTransfer;
        return;
    }
    auto swap = [&](std::int32_t xa, std::int32_t ya, std::int32_t xb, std::int32_t yb) {
        const auto pa = static_cast<std::int32_t>(os_get_pixel(b.dc(), xa, ya));
        const auto pb = static_cast<std::int32_t>(os_get_pixel(b.dc(), xb, yb));
        os_set_pixel(b.dc(), xa, ya, device_colour(b.dc(), pb));
        os_set_pixel(b.dc(), xb, yb, device_colour(b.dc(), pa));
    };
    if (direction == 0) {
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w / 2; ++x) swap(x, y, w - 1 - x, y);
    } else {
        for (std::int32_t x = 0; x < w; ++x)
            for (std::int32_t y = 0; y < h / 2; ++y) swap(x, y, x, h - 1 - y);
    }
    status = 0;
}

namespace {

// Copies every pixel of the slot's bitmap into a new W x H bitmap at the
// place MAP gives, then puts the new bitmap in the slot.
template <typename Map>
void remake(std::int32_t slot, std::int32_t neww, std::int32_t newh, std::int32_t& status, Map map) {
    const OsHandle fresh = yybitmapcreate2(neww, newh, 0);
    if (!fresh) {
        status = BitmapErrCreate;
        return;
    }
    {
        BitmapDC src(wtab.hBitmap[at(slot)]);
        BitmapDC dst(fresh);
        if (!src.dc() || !dst.dc()) {
            status = BitmapErrTransfer;
        } else {
            map(src.dc(), dst.dc());
            status = 0;
        }
    }
    if (status != 0) {
        os_delete_object(fresh);
        return;
    }
    replace(slot, fresh, neww, newh);
}

}  // namespace

void yybitmaprotate(std::int32_t slot, std::int32_t angle, std::int32_t& viewer, std::int32_t& status) {
    if (!check(slot, status)) return;
    viewer = yybitmapisviewer(slot);
    if (angle != 90 && angle != 180 && angle != 270) {
        status = BitmapErrAngle;
        return;
    }
    const std::int32_t w = wtab.BitmapWidth[at(slot)], h = wtab.BitmapHeight[at(slot)];
    const bool half = angle == 180;
    remake(slot, half ? w : h, half ? h : w, status, [&](OsDC src, OsDC dst) {
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                const auto p = static_cast<std::int32_t>(os_get_pixel(src, x, y));
                std::int32_t nx = 0, ny = 0;
                if (angle == 90) {
                    nx = y;
                    ny = w - 1 - x;
                } else if (angle == 180) {
                    nx = w - 1 - x;
                    ny = h - 1 - y;
                } else {
                    nx = h - 1 - y;
                    ny = x;
                }
                os_set_pixel(dst, nx, ny, device_colour(dst, p));
            }
    });
}

void yybitmapresize(std::int32_t slot, std::int32_t neww, std::int32_t newh, std::int32_t& viewer,
                    std::int32_t& status) {
    if (!check(slot, status)) return;
    viewer = yybitmapisviewer(slot);
    const std::int32_t w = wtab.BitmapWidth[at(slot)], h = wtab.BitmapHeight[at(slot)];
    remake(slot, neww, newh, status, [&](OsDC src, OsDC dst) {
        for (std::int32_t j = 0; j < newh; ++j)
            for (std::int32_t i = 0; i < neww; ++i) {
                const auto ox = static_cast<std::int32_t>(std::int64_t{i} * w / neww);
                const auto oy = static_cast<std::int32_t>(std::int64_t{j} * h / newh);
                os_set_pixel(dst, i, j, device_colour(dst, static_cast<std::int32_t>(os_get_pixel(src, ox, oy))));
            }
    });
}

void yybitmapmode(std::int32_t mode) {
    if (mode >= 0 && mode <= 3) wtab.BitmapBlitMode = mode;
}

void yybitmapsize(std::int32_t slot, std::int32_t& w, std::int32_t& h) {
    if (handle_of(slot) == 0) {
        w = h = 0;
        return;
    }
    w = wtab.BitmapWidth[at(slot)];
    h = wtab.BitmapHeight[at(slot)];
}

void yybitmapselect(std::int32_t slot, std::int32_t& status, std::int32_t& w, std::int32_t& h) {
    const OsHandle bm = handle_of(slot);
    if (bm == 0) {
        status = 1;
        return;
    }
    const OsDC dc = os_create_compatible_dc(wtab.wDC);
    if (!os_select_object(dc, bm)) {
        // Held by another device context (a viewer painting it).
        os_delete_dc(dc);
        status = 1;
        return;
    }
    wtab.hGraphicsBitmap = bm;
    wtab.gDC = dc;
    if (wtab.gBitmap) os_delete_object(wtab.gBitmap);
    wtab.gBitmap = os_create_compatible_bitmap(dc, 8, 8);
    // Raster operation, transparent background, pen, font, dash lengths,
    // palette and a stipple to be repainted.
    yywinselectcurrent();
    status = 0;
    w = wtab.BitmapWidth[at(slot)];
    h = wtab.BitmapHeight[at(slot)];
}

std::int32_t yybitmapisviewer(std::int32_t slot) {
    const OsHandle bm = handle_of(slot);
    if (bm == 0) return 0;
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
        BitmapViewerData* v = yybitmapviewerrecord(wtab.wWindow[ix(s)]);
        if (v && v->bitmap() == bm) return s;
    }
    return 0;
}
