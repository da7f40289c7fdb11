// Reading image files into packed colours: small files built here for the
// edge cases, files ImageMagick writes compared pixel by pixel with what
// ImageMagick reads from them, and damaged files of every kind.
#include <zlib.h>

#include <cstdlib>
#include <filesystem>

#include "lib/raster/imagefiles.h"
#include "tests/raster/image_tools.h"
#include "tests/support/quinda_test.h"

namespace {

std::string le(std::uint32_t v, int n) {
    std::string s;
    put_le(s, 0, v, n);
    return s;
}

std::string be(std::uint32_t v) {
    return bytes_of({static_cast<int>(v >> 24 & 0xFF), static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF),
                     static_cast<int>(v & 0xFF)});
}

// A BMP with a 40-byte header; TABLE and ROWS as given, the offset after
// the table.
std::string bmp(std::int32_t w, std::int32_t h, int bits, int compression, const std::string& table,
                const std::string& rows) {
    const std::uint32_t offset = static_cast<std::uint32_t>(54 + table.size());
    return "BM" + le(static_cast<std::uint32_t>(offset + rows.size()), 4) + le(0, 4) + le(offset, 4) + le(40, 4) +
           le(static_cast<std::uint32_t>(w), 4) + le(static_cast<std::uint32_t>(h), 4) + le(1, 2) +
           le(static_cast<std::uint32_t>(bits), 2) + le(static_cast<std::uint32_t>(compression), 4) + le(0, 4) +
           std::string(16, '\0') + table + rows;
}

std::string chunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    return be(static_cast<std::uint32_t>(data.size())) + body +
           be(yypngcrc2(reinterpret_cast<const std::uint8_t*>(body.data()), static_cast<std::int64_t>(body.size())));
}

std::string deflate(const std::string& raw) {
    std::string out(compressBound(raw.size()), '\0');
    uLongf n = out.size();
    compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    out.resize(n);
    return out;
}

std::string png(std::uint32_t w, std::uint32_t h, int depth, int type, const std::string& middle, int interlace = 0) {
    return bytes_of({137, 80, 78, 71, 13, 10, 26, 10}) +
           chunk("IHDR", be(w) + be(h) + bytes_of({depth, type, 0, 0, interlace})) + middle + chunk("IEND", "");
}

std::string pcx(int w, int h, int bits, int planes, int per_line, const std::string& data) {
    std::string head(128, '\0');
    head[0] = 10;
    head[1] = 5;
    head[2] = 1;
    head[3] = static_cast<char>(bits);
    put_le(head, 8, static_cast<std::uint32_t>(w - 1), 2);
    put_le(head, 10, static_cast<std::uint32_t>(h - 1), 2);
    head[65] = static_cast<char>(planes);
    put_le(head, 66, static_cast<std::uint32_t>(per_line), 2);
    return head + data;
}

class ImageRead : public QuindaTest {
protected:
    std::string file(const std::string& name, const std::string& bytes) {
        const std::string f = dir.file(name);
        write_file(f, bytes);
        return f;
    }
    TempDir dir;
};

constexpr std::int32_t Keep = 0x5A5A5A;

struct ReadCase {
    const char* what;
    std::string bytes;
    int w, h;
    int error;
    std::vector<std::int32_t> pixels;  // empty: not compared
};

TEST_F(ImageRead, SmallFilesOfEveryKind) {
    const std::string bw = bytes_of({0, 0, 0, 0, 255, 255, 255, 0});
    const std::string grey_pal = bytes_of({10, 20, 30, 0, 40, 50, 60, 0});
    std::string pal16;
    for (int i = 0; i < 16; ++i) pal16 += bytes_of({i, 0, 0, 0});  // entry i: blue i
    std::string pal256;
    for (int i = 0; i < 256; ++i) pal256 += bytes_of({0, 0, i, 0});  // entry i: red i
    std::string pcx_pal = bytes_of({12});
    for (int i = 0; i < 256; ++i) pcx_pal += bytes_of({0, i, 0});  // entry i: green i
    std::string plte2 = bytes_of({1, 2, 3, 200, 201, 202});

    const std::vector<ReadCase> cases = {
        // File rows run bottom-up: the first row lands in elements 4 to 6.
        {"24-bit bmp", bmp(3, 2, 24, 0, "",
                           bytes_of({255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0})),
         3, 2, 0, {0x010203, 0x040506, 0x070809, 16711680, 0x00FF00, 0x0000FF}},
        {"1-bit bmp", bmp(3, 1, 1, 0, bw, bytes_of({0xA0, 0, 0, 0})), 3, 1, 0, {16777215, 0, 16777215}},
        {"4-bit bmp", bmp(3, 1, 4, 0, pal16, bytes_of({0x1F, 0x20, 0, 0})), 3, 1, 0, {1 << 16, 15 << 16, 2 << 16}},
        {"8-bit bmp", bmp(2, 1, 8, 0, pal256, bytes_of({7, 255, 0, 0})), 2, 1, 0, {7, 255}},
        // The bottom row is left as it was, then a delta of (2, 1).
        {"rle8 end of line and delta", bmp(4, 3, 8, 1, pal256, bytes_of({0, 0, 2, 9, 0, 2, 1, 1, 1, 5, 0, 1})), 4, 3, 0,
         {Keep, Keep, Keep, 5, 9, 9, Keep, Keep, Keep, Keep, Keep, Keep}},
        // An absolute run of three, padded to even.
        {"rle8 absolute", bmp(4, 1, 8, 1, pal256, bytes_of({0, 3, 1, 2, 3, 0, 0, 1})), 4, 1, 0, {1, 2, 3, Keep}},
        {"rle4 alternating nibbles", bmp(6, 1, 4, 2, pal16, bytes_of({5, 0x1F, 0, 1})), 6, 1, 0,
         {1 << 16, 15 << 16, 1 << 16, 15 << 16, 1 << 16, Keep}},
        // Runs past the last column store only inside; a move above the top
        // row ends the reading.
        {"rle8 past the edges", bmp(2, 2, 8, 1, pal256, bytes_of({9, 4, 0, 0, 0, 0, 1, 7, 0, 1})), 2, 2, 0,
         {Keep, Keep, 4, 4}},
        {"16-bit bitfields", bmp(1, 1, 16, 3, "", bytes_of({0xFF, 0xFF, 0, 0})), 1, 1, 0, {248 + 256 * 252 + 65536 * 248}},
        {"16-bit 555", bmp(1, 1, 16, 0, "", bytes_of({0x1F, 0x7C, 0, 0})), 1, 1, 0, {248 + 65536 * 248}},
        {"32-bit", bmp(1, 1, 32, 0, "", bytes_of({1, 2, 3, 4})), 1, 1, 0, {0x010203}},
        {"bmp of 2 bits: nothing read", bmp(1, 1, 2, 0, "", bytes_of({0, 0, 0, 0})), 1, 1, 0, {Keep}},
        {"bmp upside down", bmp(1, -1, 24, 0, "", bytes_of({0, 0, 0, 0})), 1, 1, 27, {Keep}},
        {"bmp without width", bmp(0, 1, 24, 0, "", ""), 1, 1, 27, {Keep}},
        {"bmp rows cut short", bmp(1, 2, 24, 0, "", bytes_of({1, 2, 3, 0})), 1, 2, 0, {Keep, 0x010203}},

        {"palette png of width 10, 1 bit", png(10, 2, 1, 3, chunk("PLTE", plte2) +
                                                        chunk("IDAT", deflate(bytes_of({0, 0x80, 0x40, 0, 0x00, 0xFF})))),
         10, 2, 0, [] {
             std::vector<std::int32_t> v(20, 0x030201);
             for (int i : {0, 9, 18, 19}) v[static_cast<std::size_t>(i)] = 0xCAC9C8;
             return v;
         }()},
        {"2-bit png", png(3, 1, 2, 3, chunk("PLTE", plte2 + bytes_of({7, 7, 7, 9, 9, 9})) + chunk("IDAT", deflate(bytes_of({0, 0x1B})))),
         3, 1, 0, {0x030201, 0xCAC9C8, 0x070707}},
        {"16-bit rgb takes the high bytes", png(1, 1, 16, 2, chunk("IDAT", deflate(bytes_of({0, 1, 99, 2, 99, 3, 99})))), 1, 1, 0,
         {0x030201}},
        {"rgba ignores alpha", png(1, 1, 8, 6, chunk("IDAT", deflate(bytes_of({0, 1, 2, 3, 4})))), 1, 1, 0, {0x030201}},
        {"two idat chunks", [] {
             const std::string z = deflate(bytes_of({0, 1, 2, 3, 0, 4, 5, 6}));
             return png(1, 2, 8, 2, chunk("IDAT", z.substr(0, 5)) + chunk("tEXt", "a") + chunk("IDAT", z.substr(5)));
         }(),
         1, 2, 0, {0x030201, 0x060504}},
        {"grey png", png(1, 1, 8, 0, chunk("IDAT", deflate(bytes_of({0, 1})))), 1, 1, 27, {Keep}},
        {"interlaced png", png(1, 1, 8, 2, chunk("IDAT", deflate(bytes_of({0, 1, 2, 3}))), 1), 1, 1, 27, {Keep}},
        {"palette png of 3 bits", png(1, 1, 3, 3, ""), 1, 1, 27, {Keep}},
        {"rgb png of 4 bits", png(1, 1, 4, 2, ""), 1, 1, 27, {Keep}},
        {"png that does not inflate", png(1, 1, 8, 2, chunk("IDAT", "garbage")), 1, 1, 1044, {Keep}},
        {"png data beyond its bound", png(1, 1, 8, 2, chunk("IDAT", std::string(100, 'x'))), 1, 1, 2, {Keep}},
        {"png without end", png(1, 1, 8, 2, chunk("IDAT", deflate(bytes_of({0, 1, 2, 3})))).substr(0, 33 + 12 + 12), 1, 1, 0,
         {Keep}},

        // The sixth byte of each line is consumed and dropped.
        {"8-bit pcx of odd width", pcx(5, 2, 8, 1, 6, bytes_of({1, 2, 3, 4, 5, 99, 0xC6, 9}) + pcx_pal), 5, 2, 0,
         {256, 512, 768, 1024, 1280, 9 * 256, 9 * 256, 9 * 256, 9 * 256, 9 * 256}},
        {"8-bit pcx without its palette mark", pcx(1, 1, 8, 1, 2, bytes_of({1, 1}) + std::string(769, '\0')), 1, 1, 2, {Keep}},
        // Set bits are white whatever the header palette says.
        {"1-bit pcx", pcx(10, 1, 1, 1, 2, bytes_of({0xC1, 0xA0, 0x40})), 10, 1, 0,
         {16777215, 0, 16777215, 0, 0, 0, 0, 0, 0, 16777215}},
        {"24-bit pcx", pcx(2, 1, 8, 3, 2, bytes_of({1, 2, 3, 4, 5, 6})), 2, 1, 0, {0x050301, 0x060402}},
        {"4-plane pcx", [] {
             std::string p = pcx(2, 1, 1, 4, 2, bytes_of({0x80, 0, 0x40, 0, 0xC1, 0xC0, 0, 0, 0}));
             for (int i = 0; i < 16; ++i) p[static_cast<std::size_t>(16 + 3 * i)] = static_cast<char>(i * 10);
             return p;
         }(),
         2, 1, 0, {50, 60}},
        {"pcx of 2 bits: nothing read", pcx(1, 1, 2, 1, 2, bytes_of({0, 0})), 1, 1, 0, {Keep}},
    };
    for (const ReadCase& c : cases) {
        const std::string f = file("case.img", c.bytes);
        int err = 0;
        const std::vector<std::int32_t> px = our_pixels(f, c.w, c.h, &err, Keep);
        EXPECT_EQ(err, c.error) << c.what;
        if (!c.pixels.empty()) {
            EXPECT_EQ(px, c.pixels) << c.what;
        }
    }
}

TEST_F(ImageRead, ArraysAndNames) {
    // A missing file is not identified: 27, not 1.
    int err = 0;
    our_pixels(dir.file("missing.bmp"), 1, 1, &err);
    EXPECT_EQ(err, 27);
    // A picture larger than the array leaves it alone.
    const std::string f = file("two.bmp", bmp(2, 1, 24, 0, "", bytes_of({1, 2, 3, 4, 5, 6, 0, 0})));
    std::vector<std::int32_t> one(1, Keep);
    infoerror(1);
    IGrLoadImageData(f, one);
    EXPECT_EQ(infoerror(1), 1023);
    EXPECT_EQ(one[0], Keep);
    // The palette of one file stays for entries the next does not give.
    file("pal.bmp", bmp(1, 1, 1, 0, bytes_of({1, 2, 3, 0, 4, 5, 6, 0}), bytes_of({0, 0, 0, 0})));
    our_pixels(dir.file("pal.bmp"), 1, 1);
    EXPECT_EQ(ImagePalette[0], 0x010203);
    EXPECT_EQ(ImagePalette[1], 0x040506);
}

// A file named by ImageMagick's format prefix and options, made from one
// picture of many colours.
struct MagickCase {
    const char* name;
    const char* options;
    int error;
    std::int32_t mask;  // bits ImageMagick's scaling of small samples leaves out of the comparison
    int tolerance = 0;  // per sample: ImageMagick rounds 16-bit samples, the reader takes their high byte
};

TEST_F(ImageRead, FilesImageMagickWrites) {
    if (!have_program("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    const std::string src = dir.file("src.png");
    run_command("convert -size 37x23 gradient:red-blue -fill '#40C020' -draw 'circle 18,11 18,3' -fill white "
                "-draw 'rectangle 2,2 8,19' " + quote(src));
    const std::vector<MagickCase> cases = {
        {"b1.bmp", "-monochrome BMP3:", 0, 0xFFFFFF},
        {"b4.bmp", "-colors 16 BMP3:", 0, 0xFFFFFF},
        {"b8.bmp", "-colors 256 -type palette -compress none BMP3:", 0, 0xFFFFFF},
        {"r8.bmp", "-colors 200 -type palette -compress RLE BMP3:", 0, 0xFFFFFF},
        {"b24.bmp", "-type truecolor BMP3:", 0, 0xFFFFFF},
        {"b32.bmp", "-alpha set -define bmp3:alpha=true BMP3:", 0, 0xFFFFFF},
        {"v5.bmp", "-type truecolor BMP:", 0, 0xFFFFFF},
        {"v5_565.bmp", "-define bmp:subtype=RGB565 BMP:", 0, 0xF8FCF8},
        {"v5_8.bmp", "-colors 100 -type palette -compress none BMP:", 0, 0xFFFFFF},
        {"p8.pcx", "-colors 256 -type palette PCX:", 0, 0xFFFFFF},
        {"p24.pcx", "-type truecolor PCX:", 0, 0xFFFFFF},
        {"g1.png", "-colors 2 -define png:bit-depth=1 PNG8:", 0, 0xFFFFFF},
        {"g2.png", "-colors 4 -define png:bit-depth=2 PNG8:", 0, 0xFFFFFF},
        {"g4.png", "-colors 16 -define png:bit-depth=4 PNG8:", 0, 0xFFFFFF},
        {"g8.png", "-colors 200 PNG8:", 0, 0xFFFFFF},
        {"g24.png", "PNG24:", 0, 0xFFFFFF},
        {"g48.png", "-depth 16 PNG48:", 0, 0xFFFFFF, 1},
        {"g32.png", "-alpha set PNG32:", 0, 0xFFFFFF},
        {"grey.png", "-colorspace gray PNG:", 27, 0},
        {"inter.png", "-interlace PNG PNG24:", 27, 0},
    };
    for (const MagickCase& c : cases) {
        const std::string f = dir.file(c.name);
        const std::string how(c.options);
        const std::size_t colon = how.rfind(' ') == std::string::npos ? 0 : how.rfind(' ') + 1;
        run_command("convert " + quote(src) + " " + how.substr(0, colon) + quote(how.substr(colon) + f));
        ASSERT_TRUE(std::filesystem::exists(f)) << c.name;
        int err = 0;
        const std::vector<std::int32_t> ours = our_pixels(f, 37, 23, &err, Keep);
        EXPECT_EQ(err, c.error) << c.name;
        if (c.error != 0) {
            EXPECT_EQ(ours, std::vector<std::int32_t>(37 * 23, Keep)) << c.name;
            continue;
        }
        const std::vector<std::int32_t> theirs = magick_pixels(f);
        ASSERT_EQ(theirs.size(), ours.size()) << c.name;
        int differ = 0;
        for (std::size_t i = 0; i < ours.size(); ++i)
            for (int shift : {0, 8, 16}) {
                const int a = ((ours[i] & c.mask) >> shift) & 0xFF, b = ((theirs[i] & c.mask) >> shift) & 0xFF;
                if (std::abs(a - b) > c.tolerance) ++differ;
            }
        EXPECT_EQ(differ, 0) << c.name;
    }
    // Many IDAT chunks read as one.
    const std::string noise = dir.file("noise.png");
    run_command("convert -size 300x300 xc: +noise Random PNG24:" + quote(noise));
    int err = 0;
    EXPECT_TRUE(our_pixels(noise, 300, 300, &err) == magick_pixels(noise));
    EXPECT_EQ(err, 0);
}

// Every prefix of a good file of each kind, and its header bytes set to
// 0, 255 or with the top bit flipped, give an error or a partial array and
// never a read or write outside the array (run under the sanitizers).
TEST_F(ImageRead, DamagedFilesStayInside) {
    std::string pal256;
    for (int i = 0; i < 256; ++i) pal256 += bytes_of({0, 0, i, 0});
    std::string pcx_pal = bytes_of({12}) + std::string(768, '\x11');
    const std::string z = deflate(bytes_of({0, 1, 2, 3, 4, 5, 6, 4, 1, 1, 1, 2, 2, 2}));
    const std::vector<std::string> good = {
        bmp(2, 2, 24, 0, "", bytes_of({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 1, 2, 3, 0, 0})),
        bmp(4, 3, 8, 1, pal256, bytes_of({0, 0, 2, 9, 0, 2, 1, 1, 1, 5, 0, 3, 1, 2, 3, 0, 0, 1})),
        bmp(6, 2, 4, 2, pal256.substr(0, 64), bytes_of({5, 0x1F, 0, 0, 0, 3, 0x12, 0x30, 0, 1})),
        bmp(9, 2, 1, 0, pal256.substr(0, 8), bytes_of({0xFF, 0x80, 0, 0, 0x01, 0, 0, 0})),
        pcx(5, 2, 8, 1, 6, bytes_of({1, 2, 3, 4, 5, 99, 0xC6, 9}) + pcx_pal),
        pcx(10, 2, 1, 1, 2, bytes_of({0xC1, 0xA0, 0x40, 0xC3, 0xFF, 0xC1, 0xFE})),
        pcx(3, 1, 8, 3, 4, bytes_of({0xCC, 1})),
        pcx(9, 1, 1, 4, 2, std::string(8, '\x42')),
        png(2, 2, 16, 2, chunk("IDAT", deflate(std::string(26, '\x03')))),
        png(2, 2, 8, 2, chunk("IDAT", z.substr(0, 4)) + chunk("IDAT", z.substr(4))),
        png(5, 1, 2, 3, chunk("PLTE", std::string(9, 'p')) + chunk("IDAT", deflate(bytes_of({4, 0x1B, 0x80})))),
    };
    const std::size_t size = 64;
    std::vector<std::int32_t> px(size + 16);
    const std::span<std::int32_t> inside(px.data(), size);
    const std::string f = dir.file("damaged.img");
    auto load = [&](const std::string& bytes) {
        // A new file each time: rewriting one in place makes the file
        // system write it out.
        std::filesystem::remove(f);
        write_file(f, bytes);
        std::fill(px.begin(), px.end(), Keep);
        IGrLoadImageData(f, inside);
        std::array<std::int32_t, 6> info{};
        igrfileinfo(f, info, 6);
        for (std::size_t i = size; i < px.size(); ++i) ASSERT_EQ(px[i], Keep);
    };
    for (const std::string& g : good) {
        for (std::size_t n = 0; n <= g.size(); ++n) load(g.substr(0, n));
        for (std::size_t i = 0; i < std::min<std::size_t>(g.size(), 140); ++i)
            for (int change : {0, 1, 2}) {
                std::string d = g;
                d[i] = static_cast<char>(change == 0 ? 0 : change == 1 ? 0xFF : d[i] ^ 0x80);
                load(d);
            }
    }
}

}  // namespace
