// Reading BMP, PCX and PNG files into arrays of packed colours, top row
// first. Every header value is checked against the file, the buffers and
// the caller's array before it is used; sizes are worked out in 64 bits.
#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>
#include <vector>

#include "lib/raster/filereader.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/bytefile.h"
#include "lib/window/errors.h"

std::array<std::int32_t, 256> ImagePalette{};

namespace {

constexpr std::string_view kName = "IGrLoadImageData";

std::uint32_t le16(const std::uint8_t* p) { return p[0] | std::uint32_t{p[1]} << 8; }
std::uint32_t le32(const std::uint8_t* p) { return le16(p) | le16(p + 2) << 16; }
std::int32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return static_cast<std::int32_t>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}

// Where pixels go: only inside the picture and the caller's array.
struct Picture {
    std::span<std::int32_t> irgb;
    std::int64_t width, height;
    void set(std::int64_t row, std::int64_t col, std::int32_t v) const {
        if (row < 0 || row >= height || col < 0 || col >= width) return;
        const std::int64_t i = row * width + col;
        if (i < static_cast<std::int64_t>(irgb.size())) irgb[static_cast<std::size_t>(i)] = v;
    }
    void clear() const { std::fill(irgb.begin(), irgb.begin() + static_cast<std::ptrdiff_t>(width * height), 0); }
};

template <typename T>
bool allocate(std::vector<T>& v, std::int64_t n) {
    if (n < 0) return false;
    try {
        v.assign(static_cast<std::size_t>(n), T{});
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- BMP

// Run-length 4- or 8-bit data from the reader's position.
void bmp_rle(ImageFileReader& f, const Picture& p, int depth) {
    std::int64_t r = p.height - 1, c = 0;
    auto put = [&](std::uint32_t index) {
        p.set(r, c, ImagePalette[index & 0xFF]);
        ++c;
    };
    for (;;) {
        std::uint8_t pair[2];
        if (!f.read(pair, 2)) return;
        const std::uint32_t count = pair[0], value = pair[1];
        if (count > 0) {
            // Pixels past the last column are not stored, but the column
            // moves on by the whole count.
            for (std::uint32_t i = 0; i < count; ++i) put(depth == 4 ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        if (value == 0) {
            c = 0;
            if (--r < 0) return;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            std::uint8_t d[2];
            if (!f.read(d, 2)) return;
            c += d[0];
            r -= d[1];
            if (r < 0) return;
        } else {
            const std::uint32_t n = value;
            std::uint32_t bytes = depth == 4 ? (n + 1) / 2 : n;
            if (bytes % 2 != 0) ++bytes;
            std::uint8_t run[256];
            if (!f.read(run, bytes)) return;
            for (std::uint32_t i = 0; i < n; ++i)
                put(depth == 4 ? (i % 2 == 0 ? run[i / 2] >> 4 : run[i / 2] & 0x0F) : run[i]);
        }
    }
}

void read_bmp(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb) {
    const Picture p{irgb, width, height};
    ImageFileReader f(handle);
    std::uint8_t h[54];
    if (!f.read(h, 54)) return;
    const std::int64_t header_size = le32(h + 14);
    const std::int64_t offset = le32(h + 10);
    const int depth = static_cast<int>(le16(h + 28));
    const std::uint32_t compression = le32(h + 30);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return;
    if (depth <= 8) {
        // The colour table follows the information header, whatever its
        // size, and ends where the pixels begin.
        const std::int64_t table = 14 + header_size;
        const std::int64_t entries = std::clamp<std::int64_t>((offset - table) / 4, 0, 256);
        std::uint8_t pal[1024];
        if (!f.seek(table) || !f.read(pal, 4 * entries)) return;
        for (std::int64_t i = 0; i < entries; ++i)
            ImagePalette[static_cast<std::size_t>(i)] = rgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]);
    }
    if (!f.seek(offset)) return;
    if ((depth == 4 || depth == 8) && compression != 0 && compression != 3) return bmp_rle(f, p, depth);

    const std::int64_t stride = 4 * ((width * depth + 31) / 32);
    std::vector<std::uint8_t> row;
    if (!allocate(row, stride)) return;
    for (std::int64_t i = 0; i < height; ++i) {
        if (!f.read(row.data(), stride)) return;
        const std::int64_t r = height - 1 - i;
        const std::uint8_t* b = row.data();
        for (std::int64_t x = 0; x < width; ++x) {
            std::int32_t v = 0;
            switch (depth) {
                case 1: v = ImagePalette[(b[x / 8] >> (7 - x % 8)) & 1]; break;
                case 4: v = ImagePalette[x % 2 == 0 ? b[x / 2] >> 4 : b[x / 2] & 0x0F]; break;
                case 8: v = ImagePalette[b[x]]; break;
                case 16: {
                    const std::uint32_t lo = b[2 * x], hi = b[2 * x + 1];
                    if (compression == 3)
                        v = rgb((hi / 8) * 8, ((hi % 8) * 8 + lo / 32) * 4, (lo % 32) * 8);
                    else
                        v = rgb((hi / 4) * 8, ((hi % 4) * 8 + lo / 32) * 8, (lo % 32) * 8);
                    break;
                }
                case 24: v = rgb(b[3 * x + 2], b[3 * x + 1], b[3 * x]); break;
                default: v = rgb(b[4 * x + 2], b[4 * x + 1], b[4 * x]); break;
            }
            p.set(r, x, v);
        }
    }
}

// ---------------------------------------------------------------- PCX

// The decoded bytes of PCX run-length data, runs carried across lines.
struct PcxStream {
    ImageFileReader& f;
    std::uint32_t pending = 0;
    std::uint8_t value = 0;
    bool next(std::uint8_t& out) {
        while (pending == 0) {
            std::uint8_t b = 0;
            if (!f.get(b)) return false;
            if ((b & 192) != 192) {
                out = b;
                return true;
            }
            if (!f.get(value)) return false;
            pending = b & 63u;
        }
        --pending;
        out = value;
        return true;
    }
};

void read_pcx(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb) {
    const Picture p{irgb, width, height};
    std::uint8_t h[128];
    {
        ImageFileReader head(handle);
        if (!head.read(h, 128)) return;
    }
    const int bits = h[3] * h[65];
    const std::int64_t per_line = le16(h + 66);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return;
    if (bits == 8) {
        const std::int64_t size = image_file_size(handle);
        ImageFileReader tail(handle, std::max<std::int64_t>(size - 769, 0));
        std::uint8_t pal[769];
        if (size < 769 || !tail.read(pal, 769)) return;
        if (pal[0] != 12) return yyerror(2, kName);
        for (int i = 0; i < 256; ++i) ImagePalette[static_cast<std::size_t>(i)] = rgb(pal[1 + 3 * i], pal[2 + 3 * i], pal[3 + 3 * i]);
    }
    // A line holds the file's bytes per line; one too short for the
    // picture's pixels is taken at the length they need.
    const std::int64_t bit_bytes = (width + 7) / 8;
    const std::int64_t line = bits <= 4 ? std::max(per_line, bit_bytes + bit_bytes % 2) : std::max(per_line, width);
    ImageFileReader f(handle, 128);
    PcxStream s{f};
    std::uint8_t b = 0;
    if (bits <= 4) {
        p.clear();
        const int planes = bits == 1 ? 1 : 4;
        for (std::int64_t r = 0; r < height; ++r) {
            for (int plane = 0; plane < planes; ++plane) {
                for (std::int64_t k = 0; k < line; ++k) {
                    if (!s.next(b)) goto palette;
                    for (int bit = 0; bit < 8; ++bit) {
                        const std::int64_t x = 8 * k + bit;
                        if (x >= width || !((b >> (7 - bit)) & 1)) continue;
                        const std::size_t i = static_cast<std::size_t>(r * width + x);
                        irgb[i] = bits == 1 ? 16777215 : irgb[i] + (1 << plane);
                    }
                }
            }
        }
    palette:
        if (bits == 4) {
            std::array<std::int32_t, 16> pal{};
            for (int i = 0; i < 16; ++i) pal[static_cast<std::size_t>(i)] = rgb(h[16 + 3 * i], h[17 + 3 * i], h[18 + 3 * i]);
            for (std::int64_t i = 0; i < width * height; ++i) {
                std::int32_t& v = irgb[static_cast<std::size_t>(i)];
                v = pal[static_cast<std::size_t>(v & 15)];
            }
        }
        return;
    }
    if (bits == 8) {
        for (std::int64_t r = 0; r < height; ++r)
            for (std::int64_t k = 0; k < line; ++k) {
                if (!s.next(b)) return;
                if (k < width) p.set(r, k, ImagePalette[b]);
            }
        return;
    }
    std::vector<std::int32_t> planes;
    if (!allocate(planes, width)) return;
    for (std::int64_t r = 0; r < height; ++r) {
        std::fill(planes.begin(), planes.end(), 0);
        for (int plane = 0; plane < 3; ++plane)
            for (std::int64_t k = 0; k < line; ++k) {
                if (!s.next(b)) return;
                if (k < width) planes[static_cast<std::size_t>(k)] |= static_cast<std::int32_t>(b) << (8 * plane);
            }
        for (std::int64_t x = 0; x < width; ++x) p.set(r, x, planes[static_cast<std::size_t>(x)]);
    }
}

// ---------------------------------------------------------------- PNG

}  // namespace

std::int64_t png_data_bound(std::int64_t s) {
    // The most zlib makes of S bytes at any setting (encoders at maximum
    // compression exceed S + S / 1000 on noise), with the chunk's spare.
    return std::max(s / 1000 + s + 22, s + (s + 7) / 8 + (s + 63) / 64 + 11 + 22);
}

namespace {

void read_png(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb) {
    const Picture p{irgb, width, height};
    ImageFileReader f(handle);
    std::uint8_t h[33];
    if (!f.read(h, 33)) return;
    const int depth = h[24], type = h[25];
    if ((type != 2 && type != 3 && type != 6) || h[27] != 0 || h[28] != 0) return yyerror(27, kName);
    // Only the layouts the rows are converted by.
    if (type == 3 ? (depth != 1 && depth != 2 && depth != 4 && depth != 8) : (depth != 8 && depth != 16))
        return yyerror(27, kName);
    const std::int64_t sample = depth / 8;
    const std::int64_t pixel = type == 3 ? 1 : (type == 2 ? 3 : 4) * sample;
    const std::int64_t row = (type == 3 ? (width * depth + 7) / 8 : pixel * width) + 1;
    const std::int64_t s = row * height;
    // The inflated rows are addressed with 32-bit lengths.
    if (s > INT32_MAX - 1) return yyerror(27, kName);
    std::vector<std::uint8_t> in;
    if (!allocate(in, png_data_bound(s))) return yyerror(2, kName);
    std::int64_t total = 0;
    for (;;) {
        std::uint8_t c[8];
        if (!f.read(c, 8)) return;
        const std::int64_t length = static_cast<std::uint32_t>(yypngc2i(c));
        if (yypngcmp(c + 4, "IDAT")) {
            if (total + length > static_cast<std::int64_t>(in.size())) return yyerror(2, kName);
            if (!f.read(in.data() + total, length)) return;
            total += length;
            if (!f.skip(4)) return;
        } else if (yypngcmp(c + 4, "PLTE")) {
            std::uint8_t pal[768];
            const std::int64_t take = std::min<std::int64_t>(length, 768);
            if (!f.read(pal, take)) return;
            for (std::int64_t i = 0; i < take / 3; ++i)
                ImagePalette[static_cast<std::size_t>(i)] = rgb(pal[3 * i], pal[3 * i + 1], pal[3 * i + 2]);
            if (!f.skip(length - take + 4)) return;
        } else if (yypngcmp(c + 4, "IEND")) {
            break;
        } else if (!f.skip(length + 4)) {
            return;
        }
    }
    std::vector<std::uint8_t> out;
    if (!allocate(out, s)) return yyerror(2, kName);
    std::int32_t made = static_cast<std::int32_t>(s);
    WUnCompress(std::span<const std::uint8_t>(in), std::span<std::uint8_t>(out), static_cast<std::int32_t>(total), made);
    std::vector<std::uint8_t>().swap(in);
    // Data that does not inflate leaves the array as it was.
    if (made == 0) return;
    yypngfilter2(out, static_cast<std::int32_t>(row), static_cast<std::int32_t>(height), static_cast<std::int32_t>(pixel));
    for (std::int64_t r = 0; r < height; ++r) {
        const std::uint8_t* b = out.data() + r * row + 1;
        for (std::int64_t x = 0; x < width; ++x) {
            std::int32_t v = 0;
            if (type == 3) {
                const std::int64_t bit = x * depth;
                const int shift = 8 - depth - static_cast<int>(bit % 8);
                v = ImagePalette[(b[bit / 8] >> shift) & ((1 << depth) - 1)];
            } else {
                const std::uint8_t* q = b + x * pixel;
                v = rgb(q[0], q[sample], q[2 * sample]);
            }
            p.set(r, x, v);
        }
    }
}

}  // namespace

void IGrLoadImageData(std::string_view filename, std::span<std::int32_t> irgb) {
    std::array<std::int32_t, 5> info{};
    igrfileinfo(filename, info, 5);
    const ImageFormat* format = nullptr;
    for (const ImageFormat& f : image_formats())
        if (f.code == info[0] && f.read) format = &f;
    if (!format) return yyerror(27, kName);
    const std::int64_t width = info[1], height = info[2];
    if (width <= 0 || height <= 0) return yyerror(27, kName);
    if (width * height > static_cast<std::int64_t>(irgb.size())) return yyerror(1023, kName);
    std::int32_t handle = -1;
    IFileOpen(filename, 0, handle);
    if (handle == -1) return;
    format->read(handle, width, height, irgb);
    ifileclose(handle);
}

void read_bmp_file(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb) {
    read_bmp(handle, width, height, irgb);
}
void read_pcx_file(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb) {
    read_pcx(handle, width, height, irgb);
}
void read_png_file(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb) {
    read_png(handle, width, height, irgb);
}
