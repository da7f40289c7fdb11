// Device-independent bitmaps read out of a bitmap at 1, 4, 8 or 24 bits
// through a palette, a bitmap's description, and a DIB stretched from a
// source rectangle onto any device context (printers and metafiles too).
#include <unordered_map>

#include "platform/os_config.h"
#include "platform/os_dc_p.h"

using namespace osg;

namespace {

std::uint32_t rd32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t rd16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void wr32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::int64_t row_bytes(std::int64_t bits, std::int64_t width) { return (bits * width + 31) / 32 * 4; }

// The sixteen colours of a display without a palette of its own.
const std::vector<std::uint32_t>& vga_colours() {
    static const std::vector<std::uint32_t> v = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                                 0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                                 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    return v;
}

// The colour table for a bit count, COLORREF entries.
std::vector<std::uint32_t> table_for(const Dc& d, int bits) {
    if (bits == 1) return {0x000000, 0xFFFFFF};
    const Object* p = object_of(d.selected[KindPalette], KindPalette);
    std::vector<std::uint32_t> t = p ? p->realised : std::vector<std::uint32_t>{};
    const std::size_t n = bits == 4 ? 16 : 256;
    // Without a palette of the device context's own, the system's default
    // palette: the sixteen colours and four more.
    if (t.size() < 16) {
        t = vga_colours();
        if (bits == 8) t.insert(t.end(), {0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0});
    }
    t.resize(n, 0);
    for (auto& c : t) c &= 0xFFFFFF;
    return t;
}

std::uint32_t nearest(const std::vector<std::uint32_t>& t, std::uint32_t rgb,
                      std::unordered_map<std::uint32_t, std::uint32_t>& cache) {
    auto it = cache.find(rgb);
    if (it != cache.end()) return it->second;
    std::int64_t best = -1;
    std::uint32_t idx = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        std::int64_t dist = 0;
        for (int s : {0, 8, 16}) {
            const std::int64_t dd = static_cast<std::int64_t>((t[i] >> s) & 0xFF) - static_cast<std::int64_t>((rgb >> s) & 0xFF);
            dist += dd * dd;
        }
        if (best < 0 || dist < best) {
            best = dist;
            idx = static_cast<std::uint32_t>(i);
        }
    }
    cache[rgb] = idx;
    return idx;
}

}  // namespace

std::size_t os_dib_colour_table_size(const std::uint8_t* header, std::size_t size) {
    if (!header || size < 12) return 0;
    const std::uint32_t hs = rd32(header);
    auto by_bits = [](std::uint32_t bits) -> std::size_t {
        return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    };
    if (hs == 12) return by_bits(rd16(header + 10)) * 3;
    if (size < 40) return 0;
    const std::uint32_t used = rd32(header + 32);
    return (used != 0 ? used : by_bits(rd16(header + 14))) * 4;
}

QImage osg::dib_image(const std::uint8_t* dib, std::size_t size) {
    if (!dib || size < 40 || rd32(dib) < 40 || rd32(dib) > size) return {};
    const std::int64_t w = static_cast<std::int32_t>(rd32(dib + 4));
    const std::int64_t h0 = static_cast<std::int32_t>(rd32(dib + 8));
    const std::uint16_t bits = rd16(dib + 14);
    if (w <= 0 || h0 == 0 || w > 32767 || std::llabs(h0) > 32767 || rd32(dib + 16) != 0) return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return {};
    const std::int64_t h = std::llabs(h0);
    const std::size_t table = os_dib_colour_table_size(dib, size);
    const std::int64_t rb = row_bytes(bits, w);
    const std::int64_t start = rd32(dib) + static_cast<std::int64_t>(table);
    if (start + rb * h > static_cast<std::int64_t>(size)) return {};
    QImage img(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
    if (img.isNull()) return {};
    const std::uint8_t* pal = dib + rd32(dib);
    const std::size_t entries = table / 4;
    auto entry = [&](std::size_t i) {
        if (i >= entries) return qRgb(0, 0, 0);
        return qRgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]);
    };
    for (std::int64_t r = 0; r < h; ++r) {
        const std::uint8_t* row = dib + start + rb * r;
        const int y = static_cast<int>(h0 > 0 ? h - 1 - r : r);
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (std::int64_t x = 0; x < w; ++x) {
            switch (bits) {
                case 1: out[x] = entry((row[x / 8] >> (7 - x % 8)) & 1); break;
                case 4: out[x] = entry((row[x / 2] >> (x % 2 ? 0 : 4)) & 15); break;
                case 8: out[x] = entry(row[x]); break;
                case 24: out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
                default: out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]); break;
            }
        }
    }
    return img;
}

bool os_get_bitmap_desc(OsObject bitmap, OsBitmapDesc& desc) {
    Object* b = object_of(bitmap, KindBitmap);
    if (!b) return false;
    desc.width = b->bitmap.width();
    desc.height = b->bitmap.height();
    desc.planes = 1;
    // Bitmaps made for the screen have the display's depth.
    desc.bits_pixel = os_config().colour_bits;
    return true;
}

std::int32_t os_get_dibits(OsDC dc, OsObject bitmap, std::int32_t start, std::int32_t lines, std::uint8_t* rows,
                           std::uint8_t* info, std::size_t info_size) {
    Dc* d = dc_of(dc);
    Object* b = object_of(bitmap, KindBitmap);
    if (!d || !b || !info || info_size < 40 || rd32(info) < 40) return 0;
    const int bits = rd16(info + 14);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return 0;
    const QImage& img = b->bitmap;
    const std::int64_t w = img.width(), h = img.height();
    if (static_cast<std::int32_t>(rd32(info + 4)) != w || static_cast<std::int32_t>(rd32(info + 8)) != h) return 0;
    const std::vector<std::uint32_t> table = bits == 24 ? std::vector<std::uint32_t>{} : table_for(*d, bits);
    if (40 + table.size() * 4 > info_size) return 0;
    const std::int64_t rb = row_bytes(bits, w);
    wr32(info + 20, static_cast<std::uint32_t>(rb * h));
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::uint8_t* e = info + 40 + 4 * i;
        e[0] = static_cast<std::uint8_t>(table[i] >> 16);
        e[1] = static_cast<std::uint8_t>(table[i] >> 8);
        e[2] = static_cast<std::uint8_t>(table[i]);
        e[3] = 0;
    }
    if (!rows) return static_cast<std::int32_t>(h);
    if (start < 0 || lines <= 0 || start >= h) return 0;
    const std::int64_t n = std::min<std::int64_t>(lines, h - start);
    std::unordered_map<std::uint32_t, std::uint32_t> cache;
    for (std::int64_t i = 0; i < n; ++i) {
        const int y = static_cast<int>(h - 1 - (start + i));
        const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        std::uint8_t* row = rows + rb * i;
        std::fill(row, row + rb, 0);
        for (std::int64_t x = 0; x < w; ++x) {
            const std::uint32_t rgb = to_rgb(in[x]);
            switch (bits) {
                case 24:
                    row[3 * x] = static_cast<std::uint8_t>(rgb >> 16);
                    row[3 * x + 1] = static_cast<std::uint8_t>(rgb >> 8);
                    row[3 * x + 2] = static_cast<std::uint8_t>(rgb);
                    break;
                case 8: row[x] = static_cast<std::uint8_t>(nearest(table, rgb, cache)); break;
                case 4: row[x / 2] |= static_cast<std::uint8_t>(nearest(table, rgb, cache) << (x % 2 ? 0 : 4)); break;
                default: {
                    const int lum = (qRed(in[x]) * 30 + qGreen(in[x]) * 59 + qBlue(in[x]) * 11) / 100;
                    if (lum >= 128) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                }
            }
        }
    }
    return static_cast<std::int32_t>(n);
}

std::int32_t os_stretch_dibits(OsDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                               std::int32_t sx, std::int32_t sy, std::int32_t swidth, std::int32_t sheight,
                               const std::uint8_t* dib, std::size_t dib_size, std::uint32_t rop) {
    Dc* d = dc_of(dc);
    if (!d) return 0;
    const QImage img = dib_image(dib, dib_size);
    if (img.isNull() || swidth <= 0 || sheight <= 0 || width == 0 || height == 0) return 0;
    if (d->sink) {
        d->sink->stretch_dib(*d, {x, y, x + width, y + height}, {sx, sy, sx + swidth, sy + sheight},
                             std::vector<std::uint8_t>(dib, dib + dib_size), rop);
        return sheight;
    }
    QImage* surf = surface_of(*d);
    if (!surf) return 0;
    const OsPoint p0 = to_device(*d, x, y), p1 = to_device(*d, std::int64_t{x} + width, std::int64_t{y} + height);
    const OsRect box = drawable_box(*d, *surf);
    const std::int64_t dw = p1.x - p0.x, dh = p1.y - p0.y;
    // Source rows count from the bottom of the bitmap.
    const std::int64_t top = img.height() - sy - sheight;
    for (std::int64_t j = std::max<std::int64_t>(std::min(p0.y, p1.y), box.top);
         j < std::min<std::int64_t>(std::max(p0.y, p1.y), box.bottom); ++j) {
        const std::int64_t srow = top + (j - p0.y) * sheight / dh;
        if (srow < 0 || srow >= img.height()) continue;
        const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(static_cast<int>(srow)));
        QRgb* out = reinterpret_cast<QRgb*>(surf->scanLine(static_cast<int>(j)));
        for (std::int64_t i = std::max<std::int64_t>(std::min(p0.x, p1.x), box.left);
             i < std::min<std::int64_t>(std::max(p0.x, p1.x), box.right); ++i) {
            const std::int64_t scol = sx + (i - p0.x) * swidth / dw;
            if (scol >= 0 && scol < img.width()) out[i] = in[scol];
        }
    }
    surface_changed(*d);
    return sheight;
}
