// Image files and the clipboard bitmap on the graphics window: drawn at
// their own size through the clip region or stretched, and a rectangle of
// the window saved to the clipboard and to BMP, PCX and PNG files.
#include <zlib.h>

#include <filesystem>

#include "lib/graphics/gdi.h"
#include "lib/graphics/gstate.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "platform/os_gdi.h"
#include "tests/raster/image_tools.h"
#include "tests/support/quinda_test.h"

namespace {

constexpr int W = 60, H = 40;
constexpr int PW = 12, PH = 8;

// The picture of the files: a colour of its own for every pixel.
std::int32_t colour(int x, int y) { return (20 * x) | (30 * y) << 8 | 100 << 16; }

std::string le(std::uint32_t v, int n) {
    std::string s;
    put_le(s, 0, v, n);
    return s;
}

std::string bmp24() {
    const int stride = (3 * PW + 3) / 4 * 4;
    std::string rows;
    for (int y = PH - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < PW; ++x) {
            const std::int32_t c = colour(x, y);
            row += bytes_of({(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF});
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        rows += row;
    }
    return "BM" + le(static_cast<std::uint32_t>(54 + rows.size()), 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(PW, 4) +
           le(PH, 4) + le(1, 2) + le(24, 2) + le(0, 4) + le(0, 4) + std::string(16, '\0') + rows;
}

std::string pcx24() {
    std::string h(128, '\0');
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    put_le(h, 8, PW - 1, 2);
    put_le(h, 10, PH - 1, 2);
    h[65] = 3;
    put_le(h, 66, PW, 2);
    for (int y = 0; y < PH; ++y)
        for (int p = 0; p < 3; ++p)
            for (int x = 0; x < PW; ++x) h += bytes_of({0xC1, (colour(x, y) >> (8 * p)) & 0xFF});
    return h;
}

std::string chunk(const std::string& type, const std::string& data) {
    std::string len;
    for (int i = 3; i >= 0; --i) len += static_cast<char>(data.size() >> (8 * i));
    const std::string body = type + data;
    const std::uint32_t crc = yypngcrc2(reinterpret_cast<const std::uint8_t*>(body.data()), static_cast<std::int64_t>(body.size()));
    std::string c;
    for (int i = 3; i >= 0; --i) c += static_cast<char>(crc >> (8 * i));
    return len + body + c;
}

std::string png24(int interlace = 0, std::size_t idat_extra = 0) {
    std::string raw;
    for (int y = 0; y < PH; ++y) {
        raw += '\0';
        for (int x = 0; x < PW; ++x) raw += bytes_of({colour(x, y) & 0xFF, (colour(x, y) >> 8) & 0xFF, colour(x, y) >> 16});
    }
    std::string z(compressBound(raw.size()), '\0');
    uLongf n = z.size();
    compress(reinterpret_cast<Bytef*>(z.data()), &n, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    z.resize(n);
    z += std::string(idat_extra, '\0');
    return bytes_of({137, 80, 78, 71, 13, 10, 26, 10}) +
           chunk("IHDR", bytes_of({0, 0, 0, PW, 0, 0, 0, PH, 8, 2, 0, 0, interlace})) + chunk("IDAT", z) + chunk("IEND", "");
}

class ImageOnWindow : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        windowopen2(7 | 0x80, CentredPosition, CentredPosition, W, H);
        ASSERT_NE(wtab.gDC, 0);
        yyresn(1, 0, W, H);
        wipe();
    }
    static void wipe() { yywinclear(W, H, 0xFFFFFF); }
    static std::int32_t at(int x, int y) { return static_cast<std::int32_t>(os_get_pixel(wtab.gDC, x, y)); }
    std::string file(const std::string& name, const std::string& bytes) {
        const std::string f = dir.file(name);
        write_file(f, bytes);
        return f;
    }
    struct Result {
        std::int32_t err = -1, oserr = -1;
    };
    static Result load(std::int32_t source, const std::string& path, int x1, int y1, int x2, int y2, int stretch) {
        Result r;
        yyloadimage(source, 0, x1, y1, x2, y2, stretch, r.err, r.oserr, path);
        return r;
    }
    TempDir dir;
};

TEST_F(ImageOnWindow, NaturalSizeThroughTheClipRegionAndStretched) {
    struct Kind {
        const char* name;
        std::int32_t source;
        std::string bytes;
    };
    for (const Kind& k : {Kind{"bmp", 1, bmp24()}, Kind{"pcx", 2, pcx24()}, Kind{"png", 15, png24()}}) {
        SCOPED_TRACE(k.name);
        const std::string f = file(std::string("p.") + k.name, k.bytes);
        // At its own size at (5, 4), the window clipped to columns 8..19.
        wipe();
        wtab.gRegion = os_create_rect_rgn(8, 0, 20, H);
        const Result r = load(k.source, f, 5, 4, 50, 30, 0);
        os_delete_object(wtab.gRegion);
        wtab.gRegion = 0;
        EXPECT_EQ(r.err, 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool inside = x >= 8 && x < 20 && x >= 5 && x < 5 + PW && y >= 4 && y < 4 + PH;
                ASSERT_EQ(at(x, y), inside ? colour(x - 5, y - 4) : 0xFFFFFF) << x << "," << y;
            }
        // No clip region is left behind.
        OsRect box{};
        EXPECT_FALSE(os_get_clip_box(wtab.gDC, box));
        // Stretched to twice its size: every pixel a 2 x 2 block.
        wipe();
        EXPECT_EQ(load(k.source, f, 10, 6, 10 + 2 * PW - 1, 6 + 2 * PH - 1, 1).err, 0);
        for (int y = 0; y < 2 * PH; ++y)
            for (int x = 0; x < 2 * PW; ++x) ASSERT_EQ(at(10 + x, 6 + y), colour(x / 2, y / 2)) << x << "," << y;
        EXPECT_EQ(at(9, 6), 0xFFFFFF);
        EXPECT_EQ(at(10 + 2 * PW, 6), 0xFFFFFF);
    }
}

// On the printer's page and in the recording metafile a picture at its own
// size is clipped by their clip regions as on the screen. Memory surfaces
// stand in for the two device contexts.
TEST_F(ImageOnWindow, NaturalSizeOnThePrinterAndTheMetafileThroughTheirClipRegions) {
    const std::string f = file("p.bmp", bmp24());
    for (std::int32_t target : {10, 11}) {
        SCOPED_TRACE(target);
        const OsDC dc = os_create_compatible_dc(0);
        const OsObject bitmap = os_create_compatible_bitmap(dc, W, H);
        os_select_object(dc, bitmap);
        const OsObject white = os_create_solid_brush(0xFFFFFF);
        os_select_object(dc, white);
        os_rectangle(dc, -1, -1, W + 1, H + 1);
        OsHandle& context = target == 10 ? wtab.gPrDC : wtab.gwmfDC;
        OsHandle& region = target == 10 ? wtab.gPrRegion : wtab.gwmfRegion;
        context = dc;
        region = os_create_rect_rgn(8, 0, 20, H);
        Result r;
        yyloadimage(1, target, 5, 4, 50, 30, 0, r.err, r.oserr, f);
        EXPECT_EQ(r.err, 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool inside = x >= 8 && x < 20 && x >= 5 && x < 5 + PW && y >= 4 && y < 4 + PH;
                ASSERT_EQ(static_cast<std::int32_t>(os_get_pixel(dc, x, y)), inside ? colour(x - 5, y - 4) : 0xFFFFFF)
                    << x << "," << y;
            }
        // No clip region is left behind.
        OsRect box{};
        EXPECT_FALSE(os_get_clip_box(dc, box));
        os_delete_object(region);
        region = 0;
        context = 0;
        os_delete_dc(dc);
        os_delete_object(bitmap);
        os_delete_object(white);
    }
}

TEST_F(ImageOnWindow, SavedRectanglesReadBackEqualToTheWindow) {
    load(1, file("p.bmp", bmp24()), 3, 2, 0, 0, 0);
    // An odd width: PCX and PNG capture it one column wider.
    const int x1 = 1, y1 = 1, x2 = 13, y2 = 9, w = x2 - x1 + 1, h = y2 - y1 + 1;
    std::vector<std::int32_t> grab;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) grab.push_back(at(x, y));
    for (auto [source, name] : {std::pair{1, "s.bmp"}, std::pair{2, "s.pcx"}, std::pair{15, "s.png"}}) {
        SCOPED_TRACE(name);
        Result r;
        yysaveimage(source, x1, y1, x2, y2, r.err, r.oserr, dir.file(name));
        ASSERT_EQ(r.err, 0);
        EXPECT_EQ(our_pixels(dir.file(name), w, h), grab);
        if (have_program("convert")) {
            EXPECT_EQ(run_command("identify -format '%w %h' " + quote(dir.file(name))), "13 9");
            EXPECT_EQ(magick_pixels(dir.file(name)), grab);
        }
        // And drawn again by the loader.
        wipe();
        EXPECT_EQ(load(source, dir.file(name), x1, y1, 0, 0, 0).err, 0);
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) ASSERT_EQ(at(x, y), grab[static_cast<std::size_t>((y - y1) * w + x - x1)]);
    }
    if (have_program("pngcheck")) {
        int rc = 0;
        run_command("pngcheck " + quote(dir.file("s.png")), &rc);
        EXPECT_EQ(rc, 0);
    }
    // The clipboard: saved from the window, loaded back onto it.
    Result r;
    yysaveimage(0, x1, y1, x2, y2, r.err, r.oserr, "");
    ASSERT_EQ(r.err, 0);
    wipe();
    EXPECT_EQ(load(0, "", 20, 10, 0, 0, 0).err, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(at(20 + x, 10 + y), grab[static_cast<std::size_t>(y * w + x)]);
    // A file that cannot be created.
    yysaveimage(1, x1, y1, x2, y2, r.err, r.oserr, dir.file("no/such.bmp"));
    EXPECT_EQ(r.err, 1);
    EXPECT_NE(r.oserr, 0);
}

TEST_F(ImageOnWindow, RefusedFiles) {
    struct Case {
        const char* what;
        std::int32_t source;
        std::string bytes;
        std::int32_t err;
    };
    std::string not_pcx = pcx24();
    not_pcx[0] = 11;
    std::string core = bmp24();
    put_le(core, 14, 12, 4);
    std::string zero_size = bmp24();
    put_le(zero_size, 34, 0, 4);
    const std::vector<Case> cases = {
        {"unknown source", 3, bmp24(), 0},
        {"core header", 1, core, 27},
        {"not BM", 1, "XM" + bmp24().substr(2), 27},
        {"zero image size", 1, zero_size, 0},
        {"bmp cut short", 1, bmp24().substr(0, 100), 2},
        {"pcx maker byte", 2, not_pcx, 27},
        {"pcx cut short", 2, pcx24().substr(0, 200), 2},
        {"interlaced png", 15, png24(1), 27},
        {"png data beyond the bound", 15, png24(0, 400), 2},
        {"png without end", 15, png24().substr(0, 60), 2},
    };
    for (const Case& c : cases) {
        const Result r = load(c.source, file("x.img", c.bytes), 0, 0, 10, 10, 1);
        EXPECT_EQ(r.err, c.err) << c.what;
    }
    // The printer and the metafile have no device context here; other
    // targets name none.
    for (std::int32_t target : {10, 11, 5}) {
        Result r;
        yyloadimage(1, target, 0, 0, 10, 10, 1, r.err, r.oserr, file("t.bmp", bmp24()));
        EXPECT_EQ(r.err, 1066) << target;
    }
    const Result missing = load(1, dir.file("none.bmp"), 0, 0, 10, 10, 1);
    EXPECT_EQ(missing.err, 1);
    EXPECT_NE(missing.oserr, 0);
    // A run-length BMP of the library's own writer draws the same way.
    std::string rle = "BM" + le(0, 4) + le(0, 4) + le(54 + 8, 4) + le(40, 4) + le(4, 4) + le(1, 4) + le(1, 2) + le(8, 2) +
                      le(1, 4) + le(6, 4) + le(0, 4) + le(0, 4) + le(2, 4) + le(0, 4) + bytes_of({0, 0, 255, 0, 0, 0, 0, 0}) +
                      bytes_of({4, 0, 0, 0, 0, 1});
    EXPECT_EQ(load(1, file("r.bmp", rle), 30, 30, 0, 0, 0).err, 0);
    EXPECT_EQ(at(30, 30), 0x0000FF);
    EXPECT_EQ(at(33, 30), 0x0000FF);
    EXPECT_EQ(at(34, 30), 0xFFFFFF);
}

TEST_F(ImageOnWindow, Companions) {
    const auto header = [](std::uint32_t size, int bits, std::uint32_t used) {
        std::string h(40, '\0');
        put_le(h, 0, size, 4);
        put_le(h, size == 12 ? 10 : 14, static_cast<std::uint32_t>(bits), 2);
        if (size != 12) put_le(h, 32, used, 4);
        return std::vector<std::uint8_t>(h.begin(), h.end());
    };
    EXPECT_EQ(yypalettesize(header(40, 8, 0)), 1024);
    EXPECT_EQ(yypalettesize(header(40, 4, 3)), 12);
    EXPECT_EQ(yypalettesize(header(40, 24, 0)), 0);
    EXPECT_EQ(yypalettesize(header(12, 1, 0)), 6);
    EXPECT_EQ(yypalettesize(header(124, 8, 7)), 1024);
    // PCX runs out and in.
    const std::string f = dir.file("runs.bin");
    std::int32_t handle = -1;
    int status = 0;
    yyopen(f, 1, handle, status);
    EXPECT_EQ(yyencput(5, 1, handle), 0);
    EXPECT_EQ(yyencput(200, 1, handle), 0);
    EXPECT_EQ(yyencput(7, 63, handle), 0);
    yyclos(handle);
    EXPECT_EQ(read_file(f), bytes_of({5, 193, 200, 255, 7}));
    yyopen(f, 0, handle, status);
    std::uint8_t v = 0, n = 0;
    EXPECT_EQ(yyencget(v, n, handle), 0);
    EXPECT_EQ(std::pair(v, n), std::pair(std::uint8_t{5}, std::uint8_t{1}));
    EXPECT_EQ(yyencget(v, n, handle), 0);
    EXPECT_EQ(std::pair(v, n), std::pair(std::uint8_t{200}, std::uint8_t{1}));
    EXPECT_EQ(yyencget(v, n, handle), 0);
    EXPECT_EQ(std::pair(v, n), std::pair(std::uint8_t{7}, std::uint8_t{63}));
    EXPECT_EQ(yyencget(v, n, handle), 2);
    yyclos(handle);
}

// Every prefix of each kind of file, and its header bytes changed, draw
// something or answer an error, never reaching outside the file's bytes or
// the window (run under the sanitizers).
TEST_F(ImageOnWindow, DamagedFilesDrawOrFail) {
    std::string rle = "BM" + le(0, 4) + le(0, 4) + le(54 + 8, 4) + le(40, 4) + le(6, 4) + le(2, 4) + le(1, 2) + le(8, 2) +
                      le(1, 4) + le(12, 4) + le(0, 4) + le(0, 4) + le(2, 4) + le(0, 4) + bytes_of({0, 0, 255, 0, 9, 9, 9, 0}) +
                      bytes_of({9, 1, 0, 2, 3, 1, 0, 3, 1, 0, 1, 0, 0, 1});
    const std::vector<std::pair<std::int32_t, std::string>> good = {{1, bmp24()}, {1, rle}, {2, pcx24()}, {15, png24()}};
    const std::string f = dir.file("damaged.img");
    for (const auto& entry : good) {
        // Named copies: clang 14 cannot capture structured bindings.
        const std::int32_t source = entry.first;
        const std::string& bytes = entry.second;
        auto draw = [&](const std::string& b) {
            std::filesystem::remove(f);
            write_file(f, b);
            load(source, f, 2, 2, 30, 20, 1);
            load(source, f, 50, 30, 0, 0, 0);
        };
        for (std::size_t n = 0; n <= bytes.size(); n += bytes.size() > 200 ? 7 : 1) draw(bytes.substr(0, n));
        for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 140); ++i)
            for (int change : {0, 1}) {
                std::string d = bytes;
                d[i] = static_cast<char>(change == 0 ? 0xFF : d[i] ^ 0x80);
                draw(d);
            }
    }
}

}  // namespace
