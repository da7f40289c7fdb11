// The BMP, PCX and PNG writers of the raster page: each turns the page in
// IRBUFF into one image on the driver channel at the end of a page.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/imagefiles.h"
#include "lib/raster/raster.h"
#include "lib/window/bytefile.h"
#include "lib/window/errors.h"

namespace {

RasterState& rs() { return raster; }
bool failed() { return hcstate.HardcopyErrorFlag != 0; }

// Buffer word I, 0 outside the buffer: the bytes a line takes beyond its
// own pixels may lie past the last row.
std::uint32_t word(std::int64_t i) {
    return i >= 0 && i < static_cast<std::int64_t>(IRBUFF.size()) ? static_cast<std::uint32_t>(IRBUFF[static_cast<std::size_t>(i)])
                                                                     : 0u;
}

// Byte K of the line whose words start at START (byte 0 the least
// significant of the first word).
std::uint8_t line_byte(std::int64_t start, std::int64_t k) {
    return static_cast<std::uint8_t>(word(start + k / 4) >> (8 * (k % 4)));
}

std::uint8_t reversed(std::uint8_t b) {
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

// Bit X of plane P of row R.
std::uint32_t plane_bit(std::int64_t r, std::int32_t p, std::int64_t x) {
    const RasterState& s = rs();
    return (word(std::int64_t{p} * s.wordsPerPlane + r * s.wordsPerRow + x / 32) >> (x % 32)) & 1u;
}

// The colour index of a pixel of a plane page, as the files number the
// palette (the buffer's planes 2, 1, 0, 3 give bits 0, 1, 2, 3).
std::uint8_t plane_index(std::int64_t r, std::int64_t x) {
    return static_cast<std::uint8_t>(plane_bit(r, 2, x) | plane_bit(r, 1, x) << 1 | plane_bit(r, 0, x) << 2 |
                                     plane_bit(r, 3, x) << 3);
}

void put_le(std::uint8_t* at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// BYTES out through the work block when they fit it, else in one write of
// their own buffer.
void write_block(const std::uint8_t* bytes, std::size_t n) {
    if (n <= WorkBlock::byte_size()) {
        if (n > 0) std::memmove(quin01.bytes(), bytes, n);
        yyprbu(DriverChannel, static_cast<int>(n), 0);
    } else {
        yyprou(DriverChannel, std::string_view(reinterpret_cast<const char*>(bytes), n));
    }
}

void palette_rgb(int depth, int i, std::int32_t& r, std::int32_t& g, std::int32_t& b) {
    std::int32_t rgb = 0;
    if (depth == 1)
        rgb = i == 0 ? 0xFFFFFF : 0;
    else if (depth == 4)
        yypalg16(i, rgb);
    else
        yypalg(i, rgb);
    wrgbsplit(rgb, &r, &g, &b);
}

// ---------------------------------------------------------------- BMP

// Bytes of row R before padding, into ROW (sized by the caller, zeros past
// what a row gives).
void bmp_row(std::int64_t r, std::vector<std::uint8_t>& row, std::int64_t n) {
    const RasterState& s = rs();
    const std::int64_t start = r * s.wordsPerRow;
    std::fill(row.begin(), row.end(), 0);
    switch (s.pixelDepth) {
        case 1:
            for (std::int64_t k = 0; k < n; ++k) row[static_cast<std::size_t>(k)] = reversed(line_byte(start, k));
            break;
        case 4:
            for (std::int64_t k = 0; k < n; ++k)
                row[static_cast<std::size_t>(k)] =
                    static_cast<std::uint8_t>(plane_index(r, 2 * k) << 4 | plane_index(r, 2 * k + 1));
            break;
        case 8:
            for (std::int64_t k = 0; k < n; ++k) row[static_cast<std::size_t>(k)] = line_byte(start, k);
            break;
        default:
            for (std::int64_t x = 0; x < s.rasterWidth; ++x) {
                const std::uint32_t w = word(start + x);
                row[static_cast<std::size_t>(3 * x)] = static_cast<std::uint8_t>(w >> 16);
                row[static_cast<std::size_t>(3 * x + 1)] = static_cast<std::uint8_t>(w >> 8);
                row[static_cast<std::size_t>(3 * x + 2)] = static_cast<std::uint8_t>(w);
            }
            break;
    }
}

// Run-length code of the N row bytes (grouped by four; the bytes past N of
// the last group are the zeros of ROW) into OUT, ended by 0, 0.
void bmp_encode(const std::vector<std::uint8_t>& row, std::int64_t n, int depth, std::vector<std::uint8_t>& out) {
    const int g = depth == 4 ? 8 : 4;
    const int limit = depth == 4 ? 247 : 251;
    out.clear();
    std::size_t last_run = SIZE_MAX;  // where the row's last packet starts, when it is a run
    for (std::int64_t k = 0; k < n; k += 4) {
        const std::uint8_t* q = row.data() + k;
        if (q[0] == q[1] && q[1] == q[2] && q[2] == q[3]) {
            if (last_run != SIZE_MAX && out[last_run + 1] == q[0] && out[last_run] < limit) {
                out[last_run] = static_cast<std::uint8_t>(out[last_run] + g);
            } else {
                last_run = out.size();
                out.push_back(static_cast<std::uint8_t>(g));
                out.push_back(q[0]);
            }
        } else {
            last_run = SIZE_MAX;
            out.insert(out.end(), {0, static_cast<std::uint8_t>(g), q[0], q[1], q[2], q[3]});
        }
    }
    out.push_back(0);
    out.push_back(0);
}

// ---------------------------------------------------------------- PCX

// Run-length coder of one plane line (the state of yypcx2).
struct PcxCoder {
    std::int32_t previous = -999;
    std::int32_t n = 1;
    std::vector<std::uint8_t> out;

    void emit_pending() {
        if (previous < 0) return;
        if (n == 1 && previous < 192) {
            out.push_back(static_cast<std::uint8_t>(previous));
        } else {
            out.push_back(static_cast<std::uint8_t>(192 + n));
            out.push_back(static_cast<std::uint8_t>(previous));
        }
    }
    void take(std::uint8_t v) {
        if (v == previous) {
            if (n < 63) {
                ++n;
            } else {
                out.push_back(255);
                out.push_back(v);
                n = 1;
            }
        } else {
            emit_pending();
            previous = v;
            n = 1;
        }
        // The work block never overflows.
        if (out.size() > 39998) flush();
    }
    void flush() {
        write_block(out.data(), out.size());
        out.clear();
    }
};

std::int32_t pcx_line_bytes() {
    const RasterState& s = rs();
    std::int64_t l = s.pixelDepth <= 4 ? (std::int64_t{s.rasterWidth} + 7) / 8 : s.rasterWidth;
    if (l % 2 != 0) ++l;
    return static_cast<std::int32_t>(std::min<std::int64_t>(l, INT32_MAX));
}

// ---------------------------------------------------------------- PNG

void png_chunk_write(std::int32_t handle, const std::uint8_t* bytes, std::int64_t n) {
    if (failed()) return;
    std::int32_t written = 0;
    IFileWriteChar(handle, std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(n)),
                   static_cast<std::int32_t>(n), written);
    if (written != n) hcstate.HardcopyErrorFlag = 1;
}

void png_fail_memory() {
    hcstate.HardcopyErrorFlag = 1;
    yyerror(34, "YYPNG1");
}

}  // namespace

// ---------------------------------------------------------------- BMP

void yybmp1() {
    const RasterState& s = rs();
    const std::int64_t w = std::max(s.rasterWidth, 0), h = std::max(s.rasterHeight, 0);
    const int depth = s.pixelDepth;
    const bool encoded = gstate.hc.options.get(26) == 2 && (depth == 4 || depth == 8);
    const std::int64_t table = depth <= 8 ? 4LL << depth : 0;
    const std::int64_t stride = 4 * ((w * depth + 31) / 32);
    const std::int64_t n = depth == 1 ? (w + 7) / 8 : depth == 4 ? 4 * ((w + 7) / 8) : depth == 8 ? w : 3 * w;
    const std::int64_t size = 54 + table + h * stride;

    std::uint8_t* q = quin01.bytes();
    std::memset(q, 0, 54);
    q[0] = 'B';
    q[1] = 'M';
    // Whole 32-bit fields: sizes of 16 MiB and more and dimensions above
    // 65535 are kept.
    put_le(q + 2, static_cast<std::uint32_t>(std::min<std::int64_t>(size, UINT32_MAX)), 4);
    put_le(q + 10, static_cast<std::uint32_t>(54 + table), 4);
    put_le(q + 14, 40, 4);
    put_le(q + 18, static_cast<std::uint32_t>(w), 4);
    put_le(q + 22, static_cast<std::uint32_t>(h), 4);
    put_le(q + 26, 1, 2);
    put_le(q + 28, static_cast<std::uint32_t>(depth), 2);
    put_le(q + 30, encoded ? static_cast<std::uint32_t>(8 / depth) : 0u, 4);
    yyprbu(DriverChannel, 54, 0);
    if (failed()) return;

    if (table > 0) {
        const int entries = 1 << depth;
        for (int i = 0; i < entries; ++i) {
            std::int32_t r = 0, g = 0, b = 0;
            palette_rgb(depth, i, r, g, b);
            q[4 * i] = static_cast<std::uint8_t>(b);
            q[4 * i + 1] = static_cast<std::uint8_t>(g);
            q[4 * i + 2] = static_cast<std::uint8_t>(r);
            q[4 * i + 3] = 0;
        }
        yyprbu(DriverChannel, static_cast<int>(table), 0);
        if (failed()) return;
    }

    // A row of its own size: rows longer than the work block are written
    // from it. Encoded rows reach a whole group of four bytes.
    std::vector<std::uint8_t> row, packed;
    try {
        row.assign(static_cast<std::size_t>(std::max(stride, ((n + 3) / 4) * 4)), 0);
    } catch (const std::bad_alloc&) {
        hcstate.HardcopyErrorFlag = 1;
        yyerror(34, "XXIMAG");
        return;
    }
    for (std::int64_t r = 0; r < h; ++r) {
        bmp_row(r, row, n);
        if (encoded) {
            bmp_encode(row, n, depth, packed);
            write_block(packed.data(), packed.size());
        } else {
            write_block(row.data(), static_cast<std::size_t>(stride));
        }
        if (failed()) return;
    }
    if (encoded) {
        q[0] = 0;
        q[1] = 1;
        yyprbu(DriverChannel, 2, 0);
    }
}

void yybmp2(std::string_view name) {
    std::int32_t handle = -1;
    IFileOpen(name, 2, handle);
    if (handle == -1) return;
    std::int32_t end = 0;
    IFileSeek(handle, end, 2);
    const std::int64_t pixels = std::int64_t{end} - 54 - (4LL << std::clamp(rs().pixelDepth, 0, 8));
    const std::pair<std::int32_t, std::int64_t> fields[] = {{2, end}, {34, pixels}};
    for (auto [at, value] : fields) {
        std::int32_t pos = at;
        IFileSeek(handle, pos, 0);
        std::array<std::uint8_t, 4> b{};
        put_le(b.data(), static_cast<std::uint32_t>(std::max<std::int64_t>(value, 0)), 4);
        std::int32_t written = 0;
        IFileWriteChar(handle, b, 4, written);
        if (written != 4) yyerror(2, "YYBMP2");
    }
    ifileclose(handle);
}

// ---------------------------------------------------------------- PCX

void yypcx2(std::int64_t row_start, std::int32_t plane, std::int32_t last) {
    const RasterState& s = rs();
    PcxCoder c;
    const std::int64_t start = s.pixelDepth <= 4 ? row_start + std::int64_t{plane} * s.wordsPerPlane : row_start;
    for (std::int64_t k = 0; k <= last; ++k) {
        std::uint8_t v = 0;
        switch (s.pixelDepth) {
            case 1:
                // Every reader takes a set bit of a one-plane file as white:
                // ink goes out as clear bits.
                v = static_cast<std::uint8_t>(~reversed(line_byte(start, k)));
                break;
            case 4: v = reversed(line_byte(start, k)); break;
            case 8: v = line_byte(start, k); break;
            default: v = static_cast<std::uint8_t>(word(start + k) >> (8 * plane)); break;
        }
        c.take(v);
    }
    c.emit_pending();
    c.flush();
}

void yypcx1() {
    const RasterState& s = rs();
    const int depth = s.pixelDepth;
    const std::int32_t l = pcx_line_bytes();
    std::uint8_t* q = quin01.bytes();
    std::memset(q, 0, 128);
    q[0] = 10;
    q[1] = depth > 1 ? 5 : 3;
    q[2] = 1;
    q[3] = depth <= 4 ? 1 : 8;
    put_le(q + 8, static_cast<std::uint32_t>(s.rasterWidth - 1), 2);
    put_le(q + 10, static_cast<std::uint32_t>(s.rasterHeight - 1), 2);
    put_le(q + 12, 75, 2);
    put_le(q + 14, 75, 2);
    if (depth == 4) {
        for (int i = 0; i < 16; ++i) {
            std::int32_t r = 0, g = 0, b = 0;
            palette_rgb(4, i, r, g, b);
            q[16 + 3 * i] = static_cast<std::uint8_t>(r);
            q[17 + 3 * i] = static_cast<std::uint8_t>(g);
            q[18 + 3 * i] = static_cast<std::uint8_t>(b);
        }
    }
    q[65] = depth == 4 ? 4 : depth == 24 ? 3 : 1;
    put_le(q + 66, static_cast<std::uint32_t>(l), 2);
    put_le(q + 70, static_cast<std::uint32_t>(l), 2);
    put_le(q + 72, static_cast<std::uint32_t>(s.rasterHeight), 2);
    yyprbu(DriverChannel, 128, 0);
    if (failed()) return;

    static constexpr std::int32_t planes4[] = {2, 1, 0, 3};
    static constexpr std::int32_t planes24[] = {0, 1, 2};
    static constexpr std::int32_t planes1[] = {0};
    const std::span<const std::int32_t> planes = depth == 4 ? std::span<const std::int32_t>(planes4)
                                                 : depth == 24 ? std::span<const std::int32_t>(planes24)
                                                               : std::span<const std::int32_t>(planes1);
    for (std::int64_t r = std::int64_t{s.rasterHeight} - 1; r >= 0; --r) {
        for (std::int32_t p : planes) yypcx2(r * s.wordsPerRow, p, l - 1);
        if (failed()) return;
    }
    if (depth == 8) {
        q[0] = 12;
        for (int i = 0; i < 256; ++i) {
            std::int32_t r = 0, g = 0, b = 0;
            palette_rgb(8, i, r, g, b);
            q[1 + 3 * i] = static_cast<std::uint8_t>(r);
            q[2 + 3 * i] = static_cast<std::uint8_t>(g);
            q[3 + 3 * i] = static_cast<std::uint8_t>(b);
        }
        yyprbu(DriverChannel, 769, 0);
    }
}

// ---------------------------------------------------------------- PNG

void yypng1() {
    const RasterState& s = rs();
    std::int32_t handle = -1;
    yyprfh(DriverChannel, handle);
    const std::int64_t w = std::max(s.rasterWidth, 0), h = std::max(s.rasterHeight, 0);
    const int depth = s.pixelDepth;
    std::uint8_t* q = quin01.bytes();

    static constexpr std::uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    std::memcpy(q, signature, 8);
    yypngword(13, q + 8);
    std::memcpy(q + 12, "IHDR", 4);
    yypngword(static_cast<std::int32_t>(w), q + 16);
    yypngword(static_cast<std::int32_t>(h), q + 20);
    q[24] = static_cast<std::uint8_t>(std::min(depth, 8));
    q[25] = depth == 24 ? 2 : 3;
    q[26] = q[27] = q[28] = 0;
    yypngword(static_cast<std::int32_t>(yypngcrc2(q + 12, 17)), q + 29);
    png_chunk_write(handle, q, 33);
    if (failed()) return;

    if (depth != 24) {
        const int entries = 1 << depth;
        yypngword(3 * entries, q);
        std::memcpy(q + 4, "PLTE", 4);
        for (int i = 0; i < entries; ++i) {
            std::int32_t r = 0, g = 0, b = 0;
            palette_rgb(depth, i, r, g, b);
            q[8 + 3 * i] = static_cast<std::uint8_t>(r);
            q[9 + 3 * i] = static_cast<std::uint8_t>(g);
            q[10 + 3 * i] = static_cast<std::uint8_t>(b);
        }
        yypngword(static_cast<std::int32_t>(yypngcrc2(q + 4, 4 + 3 * entries)), q + 8 + 3 * entries);
        png_chunk_write(handle, q, 12 + 3 * entries);
        if (failed()) return;
    }

    const std::int64_t row_bytes = depth == 1 ? (w + 7) / 8 : depth == 4 ? (w + 1) / 2 : depth == 8 ? w : 3 * w;
    const std::int64_t n = (row_bytes + 1) * h;
    if (n > INT32_MAX) return png_fail_memory();
    const std::int64_t room = std::min<std::int64_t>(n + n / 1000 + 14, INT32_MAX);
    std::vector<std::uint8_t> raw, out;
    try {
        raw.assign(static_cast<std::size_t>(n), 0);
        out.assign(static_cast<std::size_t>(room + 8), 0);
    } catch (const std::bad_alloc&) {
        return png_fail_memory();
    }
    std::size_t at = 0;
    for (std::int64_t y = h - 1; y >= 0; --y) {
        const std::int64_t start = y * s.wordsPerRow;
        raw[at++] = 0;
        for (std::int64_t b = 0; b < row_bytes; ++b) {
            std::uint8_t v = 0;
            switch (depth) {
                case 1: v = reversed(line_byte(start, b)); break;
                case 4: {
                    auto nibble = [&](std::int64_t x) {
                        return plane_bit(y, 0, x) << 2 | plane_bit(y, 1, x) << 1 | plane_bit(y, 2, x) |
                               plane_bit(y, 3, x) << 3;
                    };
                    v = static_cast<std::uint8_t>(nibble(2 * b) << 4 | nibble(2 * b + 1));
                    break;
                }
                case 8: v = line_byte(start, b); break;
                default: v = static_cast<std::uint8_t>(word(start + b / 3) >> (8 * (b % 3))); break;
            }
            raw[at++] = v;
        }
    }
    std::int32_t m = static_cast<std::int32_t>(room);
    WCompress(std::span<const std::uint8_t>(raw), std::span<std::uint8_t>(out).subspan(4, static_cast<std::size_t>(room)),
              static_cast<std::int32_t>(n), m);
    std::vector<std::uint8_t>().swap(raw);
    if (m == 0) {
        hcstate.HardcopyErrorFlag = 1;
        return;
    }
    yypngword(m, q);
    png_chunk_write(handle, q, 4);
    std::memcpy(out.data(), "IDAT", 4);
    yypngword(static_cast<std::int32_t>(yypngcrc2(out.data(), std::int64_t{m} + 4)), out.data() + 4 + m);
    png_chunk_write(handle, out.data(), std::int64_t{m} + 8);
    if (failed()) return;
    std::vector<std::uint8_t>().swap(out);

    yypngword(0, q);
    std::memcpy(q + 4, "IEND", 4);
    yypngword(static_cast<std::int32_t>(yypngcrc2(q + 4, 4)), q + 8);
    png_chunk_write(handle, q, 12);
}
