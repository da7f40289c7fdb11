// Image files and clipboard bitmaps on device contexts: BMP, PCX and PNG
// files (and the clipboard's bitmap) drawn as DIBs on the graphics window,
// the printer or the recording metafile, and a rectangle of the graphics
// window saved to the clipboard or to a BMP, PCX or PNG file. These
// routines report through their error words, not through the reporter.
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "lib/raster/imagefiles.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "platform/os_dib.h"
#include "platform/os_error.h"

namespace {

// The DIB being built, the offset of its pixel rows, and the name the BMP
// reader takes its file from.
std::vector<std::uint8_t> dib_block;
std::int64_t dib_bits = 0;
std::string achFileName;
// The system's code of the BMP reader's last file operation.
int reader_status = 0;

constexpr std::int64_t MaxDibBytes = std::int64_t{1} << 30;
// Pictures of more pixels are not drawn (27): a damaged header must not
// make the loader fill gigabytes before it finds the file short.
constexpr std::int64_t MaxPicturePixels = std::int64_t{64} << 20;

std::uint32_t le16(const std::uint8_t* p) { return p[0] | std::uint32_t{p[1]} << 8; }
std::uint32_t le32(const std::uint8_t* p) { return le16(p) | le16(p + 2) << 16; }
void put_le(std::uint8_t* at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A file of the OS layer, its last status kept.
struct File {
    std::int32_t handle = -1;
    int status = OS_OK;
    File(std::string_view name, int mode) { yyopen(name, mode, handle, status); }
    ~File() {
        if (handle >= 0) yyclos(handle);
    }
    bool ok() const { return handle >= 0 && status == OS_OK; }
    bool read(std::uint8_t* out, std::int64_t n) {
        if (n < 0 || n > INT32_MAX) return false;
        std::int32_t done = 0;
        yyread(handle, std::span<std::uint8_t>(out, static_cast<std::size_t>(n)), static_cast<std::int32_t>(n), done, status);
        return status == OS_OK && done == n;
    }
    bool write(const std::uint8_t* in, std::int64_t n) {
        if (n < 0 || n > INT32_MAX) return false;
        std::int32_t done = 0;
        yywrit(handle, std::span<const std::uint8_t>(in, static_cast<std::size_t>(n)), static_cast<std::int32_t>(n), done, status);
        return status == OS_OK && done == n;
    }
    bool seek(std::int64_t pos, int origin = 0) {
        if (pos > INT32_MAX) return false;
        std::int32_t p = static_cast<std::int32_t>(pos);
        yyseek(handle, p, origin, status);
        return status == OS_OK && p >= 0;
    }
    std::int64_t size() {
        std::int32_t end = 0;
        yyseek(handle, end, 2, status);
        return status == OS_OK ? end : -1;
    }
};

bool make_dib(std::int64_t bytes) {
    if (bytes < 40 || bytes > MaxDibBytes) return false;
    try {
        dib_block.assign(static_cast<std::size_t>(bytes), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

std::int64_t stride_of(std::int64_t w, int bits) { return 4 * ((w * bits + 31) / 32); }

// A DIB header for W x H at BITS with COLOURS table entries; the rows follow
// the table.
bool new_dib(std::int64_t w, std::int64_t h, int bits, std::int64_t colours, std::uint32_t colours_used) {
    if (w <= 0 || h <= 0 || w > MaxPicturePixels / h) return false;
    const std::int64_t image = stride_of(w, bits) * h;
    if (!make_dib(40 + 4 * colours + image)) return false;
    std::uint8_t* d = dib_block.data();
    put_le(d, 40, 4);
    put_le(d + 4, static_cast<std::uint32_t>(w), 4);
    put_le(d + 8, static_cast<std::uint32_t>(h), 4);
    put_le(d + 12, 1, 2);
    put_le(d + 14, static_cast<std::uint32_t>(bits), 2);
    put_le(d + 20, static_cast<std::uint32_t>(image), 4);
    put_le(d + 32, colours_used, 4);
    dib_bits = 40 + 4 * colours;
    return true;
}

void set_colour(std::int64_t i, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* e = dib_block.data() + 40 + 4 * i;
    e[0] = b;
    e[1] = g;
    e[2] = r;
    e[3] = 0;
}

// The device context and clip region of a target; false for none.
bool target_context(std::int32_t target, OsDC& dc, OsObject& region) {
    switch (target) {
        case 0:
            dc = wtab.gDC;
            region = wtab.gRegion;
            return dc != 0;
        case 10:
            dc = wtab.gPrDC;
            region = wtab.gPrRegion;
            return dc != 0;
        case 11:
            dc = wtab.gwmfDC;
            region = wtab.gwmfRegion;
            return dc != 0;
        default:
            return false;
    }
}

// Draws the DIB block; error 1066 when the target cannot take it.
void draw_dib(std::int32_t target, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t stretch, std::int32_t& err) {
    OsDC dc = 0;
    OsObject region = 0;
    bool ok = target_context(target, dc, region);
    if (ok && stretch != 0) {
        ok = os_stretch_dib_bits(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, dib_block, dib_bits);
    } else if (ok) {
        const auto w = static_cast<std::int32_t>(le32(dib_block.data() + 4));
        const auto h = static_cast<std::int32_t>(le32(dib_block.data() + 8));
        if (region != 0) os_select_clip_rgn(dc, region);
        ok = os_stretch_dib_bits(dc, x1, y1, w, h < 0 ? -h : h, dib_block, dib_bits);
        os_select_clip_rgn(dc, 0);
    }
    err = ok ? 0 : 1066;
}

// ---------------------------------------------------------------- PCX

std::int32_t load_pcx(std::string_view path, std::int32_t& oserr) {
    File f(path, 0);
    if (!f.ok()) {
        oserr = f.status;
        return 1;
    }
    std::uint8_t h[128];
    if (!f.read(h, 128)) return 2;
    if (h[0] != 10 || h[2] != 1) return 27;
    const int planes = h[65], b = planes * h[3];
    const std::int64_t w = std::int64_t{le16(h + 8)} - le16(h + 4) + 1, hgt = std::int64_t{le16(h + 10)} - le16(h + 6) + 1;
    const std::int64_t l = le16(h + 66);
    if (w <= 0 || hgt <= 0 || l <= 0 || std::max(w, l) > MaxPicturePixels / hgt) return 27;
    bool made = false;
    switch (b) {
        case 1: made = new_dib(w, hgt, 1, 2, 0); break;
        case 4: made = new_dib(w, hgt, 4, 16, 0); break;
        case 8: made = new_dib(l, hgt, 8, 256, 0); break;
        case 24: made = new_dib(l, hgt, 24, 0, 16777216); break;
        default: return 27;
    }
    if (!made) return 2;
    if (b == 8) {
        const std::int64_t size = f.size();
        std::uint8_t pal[769];
        if (size < 769 || !f.seek(size - 769) || !f.read(pal, 769)) return 2;
        for (int i = 0; i < 256; ++i) set_colour(i, pal[1 + 3 * i], pal[2 + 3 * i], pal[3 + 3 * i]);
        if (!f.seek(128)) return 2;
    } else if (b == 4) {
        for (int i = 0; i < 16; ++i) set_colour(i, h[16 + 3 * i], h[17 + 3 * i], h[18 + 3 * i]);
    } else if (b == 1) {
        set_colour(0, 0, 0, 0);
        set_colour(1, 255, 255, 255);
    }
    const int bits = b == 4 ? 4 : b == 24 ? 24 : b;
    const std::int64_t stride = stride_of(le32(dib_block.data() + 4), bits);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(l));
    for (std::int64_t r = hgt - 1; r >= 0; --r) {
        std::uint8_t* row = dib_block.data() + dib_bits + r * stride;
        std::fill(row, row + stride, 0);
        const int passes = b == 4 ? 4 : b == 24 ? 3 : 1;
        for (int p = 0; p < passes; ++p) {
            std::int64_t k = 0;
            while (k < l) {
                std::uint8_t value = 0, count = 0;
                if (yyencget(value, count, f.handle) != 0) return 2;
                for (int i = 0; i < count && k < l; ++i, ++k) line[static_cast<std::size_t>(k)] = value;
            }
            // Decoded bytes beyond the row's stride come from the line's
            // padding, not from pixels: they are dropped.
            for (std::int64_t i = 0; i < l; ++i) {
                const std::uint8_t v = line[static_cast<std::size_t>(i)];
                if (b == 4) {
                    for (int bit = 0; bit < 8; ++bit) {
                        const std::int64_t x = 8 * i + bit;
                        if (x / 2 >= stride || !((v >> (7 - bit)) & 1)) continue;
                        row[x / 2] = static_cast<std::uint8_t>(row[x / 2] | (1 << p) << (x % 2 == 0 ? 4 : 0));
                    }
                } else if (b == 24) {
                    if (3 * i + 2 - p < stride) row[3 * i + 2 - p] = v;
                } else if (i < stride) {
                    row[i] = v;
                }
            }
        }
    }
    return 0;
}

// ---------------------------------------------------------------- PNG

std::int32_t load_png(std::string_view path, std::int32_t& oserr) {
    File f(path, 0);
    if (!f.ok()) {
        oserr = f.status;
        return 1;
    }
    std::uint8_t h[33];
    if (!f.read(h, 33)) return 2;
    const std::int64_t w = static_cast<std::uint32_t>(yypngc2i(h + 16)), hgt = static_cast<std::uint32_t>(yypngc2i(h + 20));
    const int depth = h[24], type = h[25];
    if ((type != 2 && type != 3 && type != 6) || h[27] != 0 || h[28] != 0) return 27;
    if (type == 3 ? (depth != 1 && depth != 2 && depth != 4 && depth != 8) : (depth != 8 && depth != 16)) return 27;
    if (w <= 0 || hgt <= 0 || w > MaxPicturePixels / hgt) return 27;
    const std::int64_t k = type == 3 ? 1 : (type == 2 ? 3 : 4) * (depth / 8);
    const std::int64_t r = type == 3 ? (w * depth + 7) / 8 + 1 : k * w + 1;
    const std::int64_t s = r * hgt;
    if (s > INT32_MAX - 1) return 27;
    // The compressed data grow with the chunks that bring them, within the
    // bound of the picture.
    std::vector<std::uint8_t> in, out;
    const std::int64_t bound = png_data_bound(s);
    std::array<std::uint8_t, 768> plte{};
    std::int64_t total = 0;
    for (;;) {
        std::uint8_t c[8];
        if (!f.read(c, 8)) return 2;
        const std::int64_t length = static_cast<std::uint32_t>(yypngc2i(c));
        if (yypngcmp(c + 4, "IEND")) break;
        if (yypngcmp(c + 4, "IDAT")) {
            if (total + length > bound) return 2;
            try {
                in.resize(static_cast<std::size_t>(total + length));
            } catch (const std::bad_alloc&) {
                return 2;
            }
            if (!f.read(in.data() + total, length)) return 2;
            total += length;
            if (!f.seek(4, 1)) return 2;
        } else if (yypngcmp(c + 4, "PLTE")) {
            const std::int64_t take = std::min<std::int64_t>(length, 768);
            if (!f.read(plte.data(), take) || !f.seek(length - take + 4, 1)) return 2;
        } else if (length > INT32_MAX - 4 || !f.seek(length + 4, 1)) {
            return 2;
        }
    }
    try {
        out.assign(static_cast<std::size_t>(s), 0);
    } catch (const std::bad_alloc&) {
        return 2;
    }
    uLongf made = static_cast<uLongf>(s);
    const int rc = uncompress(out.data(), &made, in.data(), static_cast<uLong>(total));
    if (rc != Z_OK) {
        oserr = rc;
        return 1044;
    }
    std::vector<std::uint8_t>().swap(in);
    yypngfilter2(out, static_cast<std::int32_t>(r), static_cast<std::int32_t>(hgt), static_cast<std::int32_t>(k));
    const int bits = type != 3 ? 24 : depth == 2 ? 4 : depth;
    if (!new_dib(w, hgt, bits, type != 3 ? 0 : 1 << std::min(depth, 8), type != 3 ? 16777216 : 0)) return 2;
    if (type == 3)
        for (int i = 0; i < (1 << depth); ++i) set_colour(i, plte[3 * i], plte[3 * i + 1], plte[3 * i + 2]);
    const std::int64_t stride = stride_of(w, bits);
    for (std::int64_t y = 0; y < hgt; ++y) {
        const std::uint8_t* src = out.data() + y * r + 1;
        std::uint8_t* row = dib_block.data() + dib_bits + (hgt - 1 - y) * stride;
        if (type != 3) {
            const std::int64_t sample = depth / 8;
            for (std::int64_t x = 0; x < w; ++x) {
                const std::uint8_t* p = src + x * k;
                row[3 * x] = p[2 * sample];
                row[3 * x + 1] = p[sample];
                row[3 * x + 2] = p[0];
            }
        } else if (depth == 2) {
            for (std::int64_t x = 0; x < w; ++x) {
                const int v = (src[x / 4] >> (6 - 2 * (x % 4))) & 3;
                row[x / 2] = static_cast<std::uint8_t>(row[x / 2] | v << (x % 2 == 0 ? 4 : 0));
            }
        } else {
            std::memcpy(row, src, static_cast<std::size_t>(r - 1));
        }
    }
    return 0;
}

// ---------------------------------------------------------------- saving

// A bitmap of W (raised to even when EVEN) x H with the rectangle of the
// graphics window copied into it; 0 on failure.
OsObject capture(std::int32_t x1, std::int32_t y1, std::int32_t w, std::int32_t h, bool even) {
    const OsDC src = wtab.gDC;
    const OsObject bitmap = os_create_compatible_bitmap(src, even ? w + w % 2 : w, h);
    if (!bitmap) return 0;
    const OsDC mem = os_create_compatible_dc(src);
    const OsObject old = mem ? os_select_object(mem, bitmap) : 0;
    const bool ok = mem && os_bit_blt(mem, 0, 0, w, h, src, x1, y1, OS_SRCCOPY);
    if (mem) {
        os_select_object(mem, old);
        os_delete_dc(mem);
    }
    if (!ok) {
        os_delete_object(bitmap);
        return 0;
    }
    return bitmap;
}

std::int32_t save_png(File& f, const std::vector<std::uint8_t>& dib, std::int32_t w, std::int32_t& oserr) {
    const std::int64_t h = le32(dib.data() + 8), stride = stride_of(le32(dib.data() + 4), 24);
    std::uint8_t head[33] = {137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    yypngword(static_cast<std::int32_t>(w), head + 16);
    yypngword(static_cast<std::int32_t>(h), head + 20);
    head[24] = 8;
    head[25] = 2;
    yypngword(static_cast<std::int32_t>(yypngcrc2(head + 12, 17)), head + 29);
    if (!f.write(head, 33)) return 2;
    const std::int64_t s = (3 * w + 1) * h;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(s)), out(static_cast<std::size_t>(s + s / 1000 + 22));
    for (std::int64_t y = 0; y < h; ++y) {
        const std::uint8_t* src = dib.data() + 40 + (h - 1 - y) * stride;
        std::uint8_t* dst = raw.data() + y * (3 * w + 1);
        for (std::int64_t x = 0; x < w; ++x) {
            dst[1 + 3 * x] = src[3 * x + 2];
            dst[2 + 3 * x] = src[3 * x + 1];
            dst[3 + 3 * x] = src[3 * x];
        }
    }
    uLongf m = static_cast<uLongf>(out.size() - 8);
    const int rc = compress(out.data() + 4, &m, raw.data(), static_cast<uLong>(s));
    if (rc != Z_OK) {
        oserr = rc;
        return 1044;
    }
    std::uint8_t len[4];
    yypngword(static_cast<std::int32_t>(m), len);
    std::memcpy(out.data(), "IDAT", 4);
    yypngword(static_cast<std::int32_t>(yypngcrc2(out.data(), static_cast<std::int64_t>(m) + 4)), out.data() + 4 + m);
    std::uint8_t end[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D'};
    yypngword(static_cast<std::int32_t>(yypngcrc2(end + 4, 4)), end + 8);
    if (!f.write(len, 4) || !f.write(out.data(), static_cast<std::int64_t>(m) + 8) || !f.write(end, 12)) return 2;
    return 0;
}

std::int32_t save_pcx(File& f, const std::vector<std::uint8_t>& dib, std::int32_t w) {
    const std::int64_t bw = le32(dib.data() + 4), h = le32(dib.data() + 8), stride = stride_of(bw, 24);
    const std::int64_t l = w + w % 2;
    std::uint8_t head[128] = {10, 5, 1, 8};
    put_le(head + 8, static_cast<std::uint32_t>(w - 1), 2);
    put_le(head + 10, static_cast<std::uint32_t>(h - 1), 2);
    put_le(head + 12, 75, 2);
    put_le(head + 14, 75, 2);
    // The capture is 24 bits: three planes of red, green and blue.
    head[65] = 3;
    put_le(head + 66, static_cast<std::uint32_t>(l), 2);
    put_le(head + 68, 1, 2);
    put_le(head + 70, static_cast<std::uint32_t>(l), 2);
    put_le(head + 72, static_cast<std::uint32_t>(h), 2);
    if (!f.write(head, 128)) return 2;
    for (std::int64_t y = 0; y < h; ++y) {
        const std::uint8_t* src = dib.data() + 40 + (h - 1 - y) * stride;
        for (int plane = 0; plane < 3; ++plane) {
            std::int64_t x = 0;
            while (x < l) {
                const std::uint8_t v = x < bw ? src[3 * x + 2 - plane] : 0;
                std::int32_t n = 1;
                while (x + n < l && n < 63 && (x + n < bw ? src[3 * (x + n) + 2 - plane] : 0) == v) ++n;
                if (yyencput(v, n, f.handle) != 0) return 2;
                x += n;
            }
        }
    }
    return 0;
}

}  // namespace

std::int32_t yypalettesize(std::span<const std::uint8_t> header) {
    if (header.size() < 4) return 0;
    const std::uint32_t size = le32(header.data());
    if (size == 12) {
        if (header.size() < 12) return 0;
        const std::uint32_t bits = le16(header.data() + 10);
        return bits == 1 || bits == 4 || bits == 8 ? 3 * (1 << bits) : 0;
    }
    if (header.size() < 36) return 0;
    const std::uint32_t bits = le16(header.data() + 14), used = le32(header.data() + 32);
    if (size == 40 && used != 0) return used > 256 ? 4 * 256 : static_cast<std::int32_t>(4 * used);
    return bits == 1 || bits == 4 || bits == 8 ? 4 * (1 << bits) : 0;
}

std::int32_t yyencget(std::uint8_t& value, std::uint8_t& count, std::int32_t handle) {
    std::uint8_t b[1];
    std::int32_t done = 0;
    int status = OS_OK;
    yyread(handle, b, 1, done, status);
    if (status != OS_OK || done != 1) return 2;
    if (b[0] < 192) {
        value = b[0];
        count = 1;
        return 0;
    }
    count = b[0] & 63;
    yyread(handle, b, 1, done, status);
    if (status != OS_OK || done != 1) return 2;
    value = b[0];
    return 0;
}

std::int32_t yyencput(std::uint8_t value, std::int32_t count, std::int32_t handle) {
    std::uint8_t b[2] = {static_cast<std::uint8_t>(192 + std::clamp(count, 0, 63)), value};
    const std::int32_t n = count == 1 && value < 192 ? 1 : 2;
    std::int32_t done = 0;
    int status = OS_OK;
    yywrit(handle, std::span<const std::uint8_t>(n == 1 ? b + 1 : b, static_cast<std::size_t>(n)), n, done, status);
    return status == OS_OK && done == n ? 0 : 2;
}

std::int32_t yyreaddib() {
    File f(achFileName, 0);
    struct KeepStatus {
        File& f;
        ~KeepStatus() { reader_status = f.status; }
    } keep{f};
    if (!f.ok()) return 1;
    std::uint8_t head[14];
    if (!f.read(head, 14)) return 2;
    if (head[0] != 'B' || head[1] != 'M') return 27;
    std::uint8_t info[40];
    if (!f.read(info, 40)) return 27;
    const std::uint32_t size = le32(info);
    if (size == 12 || size < 40) return 27;
    const int bits = static_cast<int>(le16(info + 14));
    std::int64_t colours = le32(info + 32);
    if (colours == 0) colours = bits == 1 || bits == 4 || bits == 8 ? 1 << bits : 0;
    if (colours > 256) return 27;
    put_le(info + 32, static_cast<std::uint32_t>(colours), 4);
    const std::int64_t w = static_cast<std::int32_t>(le32(info + 4)), h = static_cast<std::int32_t>(le32(info + 8));
    if (w <= 0 || h == 0) return 27;
    std::int64_t image = le32(info + 20);
    if (image == 0) image = (h < 0 ? -h : h) * stride_of(w, bits);
    // The pixel bytes can be no more than the file holds.
    const std::int64_t file_size = f.size();
    if (file_size < 0 || image > file_size) return 2;
    put_le(info + 20, static_cast<std::uint32_t>(image), 4);
    put_le(info, 40, 4);
    if (!make_dib(40 + 4 * colours + image)) return 2;
    std::memcpy(dib_block.data(), info, 40);
    if (!f.seek(14 + size) || !f.read(dib_block.data() + 40, 4 * colours)) return 2;
    dib_bits = 40 + 4 * colours;
    const std::int64_t offset = le32(head + 10);
    if (offset != 0 && !f.seek(offset)) return 2;
    return f.read(dib_block.data() + dib_bits, image) ? 0 : 2;
}

void yyloadimage(std::int32_t source, std::int32_t target, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                 std::int32_t y2, std::int32_t stretch, std::int32_t& err, std::int32_t& oserr, std::string_view path) {
    err = 0;
    const std::string name(path.substr(0, path.find('\0')));
    std::int32_t code = 0;
    switch (source) {
        case 0: {
            if (!os_clipboard_has_bitmap()) {
                err = 1095;
                return;
            }
            const OsObject bitmap = os_clipboard_get_bitmap();
            if (!bitmap) {
                err = 1094;
                return;
            }
            const bool got = os_get_dib_bits(bitmap, dib_block);
            os_delete_object(bitmap);
            if (!got) {
                err = 1066;
                return;
            }
            dib_bits = 40;
            // No clip region on this path.
            OsDC dc = 0;
            OsObject region = 0;
            if (!target_context(target, dc, region)) {
                err = 1066;
            } else {
                const auto w = static_cast<std::int32_t>(le32(dib_block.data() + 4));
                const auto h = static_cast<std::int32_t>(le32(dib_block.data() + 8));
                const bool ok = stretch != 0 ? os_stretch_dib_bits(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, dib_block, dib_bits)
                                             : os_stretch_dib_bits(dc, x1, y1, w, h, dib_block, dib_bits);
                err = ok ? 0 : 1066;
            }
            std::vector<std::uint8_t>().swap(dib_block);
            return;
        }
        case 1:
            achFileName = name;
            code = yyreaddib();
            if (code != 0) oserr = reader_status;
            break;
        case 2: code = load_pcx(name, oserr); break;
        case 15: code = load_png(name, oserr); break;
        default: return;
    }
    if (code == 0)
        draw_dib(target, x1, y1, x2, y2, stretch, err);
    else
        err = code;
    std::vector<std::uint8_t>().swap(dib_block);
}

void yysaveimage(std::int32_t source, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                 std::int32_t& err, std::int32_t& oserr, std::string_view path) {
    err = 0;
    if (source != 0 && source != 1 && source != 2 && source != 15) return;
    const std::int32_t w = x2 - x1 + 1, h = y2 - y1 + 1;
    const OsObject bitmap = capture(x1, y1, w, h, source == 2 || source == 15);
    if (!bitmap) {
        err = 1072;
        return;
    }
    if (source == 0) {
        err = os_clipboard_put_bitmap(bitmap) ? 0 : 1094;
        os_delete_object(bitmap);
        return;
    }
    std::vector<std::uint8_t> dib;
    const bool got = os_get_dib_bits(bitmap, dib);
    os_delete_object(bitmap);
    if (!got) {
        err = 1072;
        return;
    }
    File f(path.substr(0, path.find('\0')), 1);
    if (!f.ok()) {
        oserr = f.status;
        err = 1;
        return;
    }
    if (source == 1) {
        std::uint8_t head[14] = {'B', 'M'};
        put_le(head + 2, static_cast<std::uint32_t>(dib.size() + 14), 4);
        put_le(head + 10, 54, 4);
        err = f.write(head, 14) && f.write(dib.data(), static_cast<std::int64_t>(dib.size())) ? 0 : 2;
    } else if (source == 2) {
        err = save_pcx(f, dib, w);
    } else {
        err = save_png(f, dib, w, oserr);
    }
}
