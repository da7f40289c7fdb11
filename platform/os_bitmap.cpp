// Block transfers between device contexts, plain and stretched, through
// the four copy raster operations.
#include "platform/os_dc_p.h"

using namespace osg;

namespace osg {

bool transfer(OsDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, OsDC src,
              std::int32_t sx, std::int32_t sy, std::int32_t swidth, std::int32_t sheight, std::uint32_t rop) {
    Dc* d = dc_of(dst);
    QImage* dimg = d ? surface_of(*d) : nullptr;
    if (!dimg) return false;
    Dc* s = dc_of(src);
    const QImage* simg = s ? surface_of(*s) : nullptr;
    if (!simg) return false;
    if (rop != OS_SRCCOPY && rop != OS_SRCPAINT && rop != OS_SRCAND && rop != OS_SRCINVERT) return false;
    if (width <= 0 || height <= 0 || swidth <= 0 || sheight <= 0) return true;
    // Only the part that lands inside the destination box matters.
    const OsRect box = drawable_box(*d, *dimg);
    const std::int64_t x0 = std::max<std::int64_t>(x, box.left), x1 = std::min<std::int64_t>(std::int64_t{x} + width, box.right);
    const std::int64_t y0 = std::max<std::int64_t>(y, box.top), y1 = std::min<std::int64_t>(std::int64_t{y} + height, box.bottom);
    if (x0 >= x1 || y0 >= y1) return true;
    // Read everything first: source and destination may overlap. A
    // stretched pixel takes the source pixel its offset scales down to.
    const std::int64_t w = x1 - x0, hgt = y1 - y0;
    std::vector<std::uint32_t> buf(static_cast<std::size_t>(w * hgt));
    for (std::int64_t j = 0; j < hgt; ++j) {
        const std::int64_t py = sy + (y0 - y + j) * sheight / height;
        for (std::int64_t i = 0; i < w; ++i) {
            const std::int64_t px = sx + (x0 - x + i) * swidth / width;
            buf[static_cast<std::size_t>(j * w + i)] =
                (px >= 0 && py >= 0 && px < simg->width() && py < simg->height())
                    ? to_rgb(simg->pixel(static_cast<int>(px), static_cast<int>(py)))
                    : 0;
        }
    }
    for (std::int64_t j = 0; j < hgt; ++j) {
        QRgb* line = reinterpret_cast<QRgb*>(dimg->scanLine(static_cast<int>(y0 + j)));
        for (std::int64_t i = 0; i < w; ++i) {
            const std::uint32_t sv = buf[static_cast<std::size_t>(j * w + i)];
            const std::uint32_t dv = to_rgb(line[x0 + i]);
            std::uint32_t out = sv;
            if (rop == OS_SRCPAINT) out = sv | dv;
            else if (rop == OS_SRCAND) out = sv & dv;
            else if (rop == OS_SRCINVERT) out = sv ^ dv;
            line[x0 + i] = to_qrgb(out);
        }
    }
    surface_changed(*d);
    return true;
}

}  // namespace osg

bool os_stretch_blt(OsDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, OsDC src,
                    std::int32_t sx, std::int32_t sy, std::int32_t swidth, std::int32_t sheight, std::uint32_t rop) {
    return transfer(dst, x, y, width, height, src, sx, sy, swidth, sheight, rop);
}

bool os_bitmap_in_use(OsObject bitmap) {
    for (const auto& [h, d] : dcs())
        if (d.selected[KindBitmap] == bitmap) return true;
    return false;
}
