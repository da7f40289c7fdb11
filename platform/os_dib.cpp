// DIBs drawn on the retained surfaces of window and memory device contexts,
// decoded by our own bounded decoder (run-length data included), bitmaps
// read back as DIB rows, and the clipboard's bitmap format.
#include "platform/os_dib.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <array>

#include "platform/os_dc_p.h"

using namespace osg;

namespace {

std::uint32_t le16(std::span<const std::uint8_t> b, std::int64_t at) {
    if (at < 0 || at + 2 > static_cast<std::int64_t>(b.size())) return 0;
    return b[static_cast<std::size_t>(at)] | std::uint32_t{b[static_cast<std::size_t>(at + 1)]} << 8;
}
std::uint32_t le32(std::span<const std::uint8_t> b, std::int64_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

// Pictures larger than this are not decoded.
constexpr std::int64_t MaxPixels = std::int64_t{1} << 28;

// The DIB as RGB pixels, top row first.
struct Decoded {
    std::int64_t w = 0, h = 0;
    std::vector<std::uint32_t> px;
};

bool decode(std::span<const std::uint8_t> dib, std::int64_t bits_at, Decoded& out) {
    if (dib.size() < 40) return false;
    const std::int64_t header = le32(dib, 0);
    const std::int64_t w = static_cast<std::int32_t>(le32(dib, 4));
    const std::int64_t raw_h = static_cast<std::int32_t>(le32(dib, 8));
    const int depth = static_cast<int>(le16(dib, 14));
    const std::uint32_t compression = le32(dib, 16);
    const std::int64_t h = raw_h < 0 ? -raw_h : raw_h;
    if (header < 40 || w <= 0 || h <= 0 || w * h > MaxPixels) return false;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
    std::array<std::uint32_t, 256> pal{};
    if (depth <= 8) {
        std::int64_t n = le32(dib, 32);
        if (n == 0 || n > (1 << depth)) n = 1 << depth;
        for (std::int64_t i = 0; i < n; ++i) {
            const std::int64_t at = header + 4 * i;
            if (at + 3 > static_cast<std::int64_t>(dib.size())) break;
            pal[static_cast<std::size_t>(i)] = dib[static_cast<std::size_t>(at + 2)] |
                                                std::uint32_t{dib[static_cast<std::size_t>(at + 1)]} << 8 |
                                                std::uint32_t{dib[static_cast<std::size_t>(at)]} << 16;
        }
    }
    out.w = w;
    out.h = h;
    out.px.assign(static_cast<std::size_t>(w * h), 0);
    // Row R of the file (0 the first) is picture row (top first):
    auto picture_row = [&](std::int64_t r) { return raw_h < 0 ? r : h - 1 - r; };
    auto set = [&](std::int64_t file_row, std::int64_t col, std::uint32_t v) {
        if (file_row < 0 || file_row >= h || col < 0 || col >= w) return;
        out.px[static_cast<std::size_t>(picture_row(file_row) * w + col)] = v;
    };
    const auto byte = [&](std::int64_t at, bool& ok) -> std::uint8_t {
        if (at < 0 || at >= static_cast<std::int64_t>(dib.size())) {
            ok = false;
            return 0;
        }
        return dib[static_cast<std::size_t>(at)];
    };
    if ((compression == 1 && depth == 8) || (compression == 2 && depth == 4)) {
        std::int64_t at = bits_at, r = 0, c = 0;
        bool ok = true;
        while (ok) {
            const std::uint32_t count = byte(at, ok), value = byte(at + 1, ok);
            at += 2;
            if (!ok) break;
            if (count > 0) {
                for (std::uint32_t i = 0; i < count; ++i, ++c)
                    set(r, c, pal[depth == 4 ? (i % 2 == 0 ? value >> 4 : value & 15) : value]);
            } else if (value == 0) {
                c = 0;
                if (++r >= h) break;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                c += byte(at, ok);
                r += byte(at + 1, ok);
                at += 2;
                if (r >= h) break;
            } else {
                for (std::uint32_t i = 0; i < value && ok; ++i, ++c) {
                    const std::uint8_t b = byte(at + (depth == 4 ? i / 2 : i), ok);
                    if (ok) set(r, c, pal[depth == 4 ? (i % 2 == 0 ? b >> 4 : b & 15) : b]);
                }
                std::int64_t n = depth == 4 ? (value + 1) / 2 : value;
                at += n + n % 2;
            }
        }
        return true;
    }
    const std::int64_t stride = 4 * ((w * depth + 31) / 32);
    for (std::int64_t r = 0; r < h; ++r) {
        const std::int64_t row = bits_at + r * stride;
        if (row < 0 || row + stride > static_cast<std::int64_t>(dib.size())) break;
        const std::uint8_t* b = dib.data() + row;
        for (std::int64_t x = 0; x < w; ++x) {
            std::uint32_t v = 0;
            switch (depth) {
                case 1: v = pal[(b[x / 8] >> (7 - x % 8)) & 1]; break;
                case 4: v = pal[x % 2 == 0 ? b[x / 2] >> 4 : b[x / 2] & 15]; break;
                case 8: v = pal[b[x]]; break;
                case 16: {
                    const std::uint32_t p = b[2 * x] | std::uint32_t{b[2 * x + 1]} << 8;
                    v = compression == 3 ? ((p >> 11) & 31) << 3 | ((p >> 5) & 63) << 10 | (p & 31) << 19
                                         : ((p >> 10) & 31) << 3 | ((p >> 5) & 31) << 11 | (p & 31) << 19;
                    break;
                }
                case 24: v = b[3 * x + 2] | std::uint32_t{b[3 * x + 1]} << 8 | std::uint32_t{b[3 * x]} << 16; break;
                default: v = b[4 * x + 2] | std::uint32_t{b[4 * x + 1]} << 8 | std::uint32_t{b[4 * x]} << 16; break;
            }
            set(r, x, v);
        }
    }
    return true;
}

void put_le(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

namespace {

// Printers and metafiles take the decoded picture as a plain 24-bit DIB.
bool stretch_on_sink(Dc& d, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                     std::span<const std::uint8_t> dib, std::int64_t bits) {
    Decoded pic;
    if (!decode(dib, bits, pic)) return false;
    if (w <= 0 || h <= 0) return true;
    const std::int64_t row = (24 * pic.w + 31) / 32 * 4;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(40 + row * pic.h), 0);
    put_le(out, 0, 40, 4);
    put_le(out, 4, static_cast<std::uint32_t>(pic.w), 4);
    put_le(out, 8, static_cast<std::uint32_t>(pic.h), 4);
    put_le(out, 12, 1, 2);
    put_le(out, 14, 24, 2);
    for (std::int64_t r = 0; r < pic.h; ++r) {
        std::uint8_t* o = out.data() + 40 + (pic.h - 1 - r) * row;
        for (std::int64_t c = 0; c < pic.w; ++c) {
            const std::uint32_t v = pic.px[static_cast<std::size_t>(r * pic.w + c)];
            o[3 * c] = static_cast<std::uint8_t>(v >> 16);
            o[3 * c + 1] = static_cast<std::uint8_t>(v >> 8);
            o[3 * c + 2] = static_cast<std::uint8_t>(v);
        }
    }
    d.sink->stretch_dib(d, {x, y, x + w, y + h},
                        {0, 0, static_cast<std::int32_t>(pic.w), static_cast<std::int32_t>(pic.h)}, out, OS_SRCCOPY);
    return true;
}

}  // namespace

bool os_stretch_dib_bits(OsDC dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                         std::span<const std::uint8_t> dib, std::int64_t bits) {
    Dc* d = dc_of(dc);
    if (d && d->sink) return stretch_on_sink(*d, x, y, w, h, dib, bits);
    QImage* img = d ? surface_of(*d) : nullptr;
    if (!img) return false;
    Decoded pic;
    if (!decode(dib, bits, pic)) return false;
    if (w <= 0 || h <= 0) return true;
    const OsRect box = drawable_box(*d, *img);
    const std::int64_t x0 = std::max<std::int64_t>(x, box.left), x1 = std::min<std::int64_t>(std::int64_t{x} + w, box.right);
    const std::int64_t y0 = std::max<std::int64_t>(y, box.top), y1 = std::min<std::int64_t>(std::int64_t{y} + h, box.bottom);
    for (std::int64_t py = y0; py < y1; ++py) {
        QRgb* line = reinterpret_cast<QRgb*>(img->scanLine(static_cast<int>(py)));
        const std::int64_t sr = (py - y) * pic.h / h;
        for (std::int64_t px = x0; px < x1; ++px) {
            const std::int64_t sc = (px - x) * pic.w / w;
            line[px] = to_qrgb(pic.px[static_cast<std::size_t>(sr * pic.w + sc)]);
        }
    }
    surface_changed(*d);
    return true;
}

bool os_bitmap_size(OsObject bitmap, std::int32_t& width, std::int32_t& height) {
    const Object* o = object_of(bitmap, KindBitmap);
    if (!o) return false;
    width = o->bitmap.width();
    height = o->bitmap.height();
    return true;
}

bool os_get_dib_bits(OsObject bitmap, std::vector<std::uint8_t>& dib) {
    const Object* o = object_of(bitmap, KindBitmap);
    if (!o || o->bitmap.isNull()) return false;
    const QImage& img = o->bitmap;
    const std::int64_t w = img.width(), h = img.height(), stride = 4 * ((w * 24 + 31) / 32);
    dib.assign(static_cast<std::size_t>(40 + stride * h), 0);
    put_le(dib, 0, 40, 4);
    put_le(dib, 4, static_cast<std::uint32_t>(w), 4);
    put_le(dib, 8, static_cast<std::uint32_t>(h), 4);
    put_le(dib, 12, 1, 2);
    put_le(dib, 14, 24, 2);
    put_le(dib, 20, static_cast<std::uint32_t>(stride * h), 4);
    for (std::int64_t r = 0; r < h; ++r) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(static_cast<int>(h - 1 - r)));
        std::uint8_t* out = dib.data() + 40 + r * stride;
        for (std::int64_t c = 0; c < w; ++c) {
            out[3 * c] = static_cast<std::uint8_t>(qBlue(line[c]));
            out[3 * c + 1] = static_cast<std::uint8_t>(qGreen(line[c]));
            out[3 * c + 2] = static_cast<std::uint8_t>(qRed(line[c]));
        }
    }
    return true;
}

bool os_clipboard_has_bitmap() {
    QClipboard* cb = QGuiApplication::clipboard();
    return cb && !cb->image().isNull();
}

OsObject os_clipboard_get_bitmap() {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return 0;
    const QImage img = cb->image();
    if (img.isNull()) return 0;
    Object o;
    o.kind = KindBitmap;
    o.bitmap = img.convertToFormat(QImage::Format_RGB32);
    return add_object(std::move(o));
}

bool os_clipboard_put_bitmap(OsObject bitmap) {
    const Object* o = object_of(bitmap, KindBitmap);
    QClipboard* cb = QGuiApplication::clipboard();
    if (!o || !cb) return false;
    cb->setImage(o->bitmap);
    return true;
}
