// Identifying graphics files: one tiny file of every kind with the items it
// reports, and the edges of identification and of the companions.
#include "lib/raster/imagefiles.h"
#include "tests/raster/image_tools.h"
#include "lib/window/bytefile.h"
#include "lib/window/quinda_state.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "tests/support/quinda_test.h"

namespace {

using Info = std::array<std::int32_t, 6>;

std::string le(std::uint32_t v, int n) {
    std::string s;
    put_le(s, 0, v, n);
    return s;
}

// CGM element header, short form.
std::string cgm(int cls, int id, const std::string& params) {
    const int h = cls << 12 | id << 5 | static_cast<int>(params.size());
    std::string p = params;
    if (p.size() % 2 != 0) p += '\0';
    return bytes_of({h >> 8, h & 0xFF}) + p;
}
std::string be16(int v) { return bytes_of({(v >> 8) & 0xFF, v & 0xFF}); }

std::string bmp_head(int bits, std::uint32_t height = 7, std::uint32_t compression = 0) {
    return "BM" + le(0, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(9, 4) + le(height, 4) + le(1, 2) +
           le(static_cast<std::uint32_t>(bits), 2) + le(compression, 4) + std::string(20, '\0');
}

std::string png_head(std::uint32_t w, int depth, int type, int interlace = 0) {
    return bytes_of({137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13}) + "IHDR" + bytes_of({0, 0, 0, 0}).substr(0, 0) +
           bytes_of({static_cast<int>(w >> 24), static_cast<int>((w >> 16) & 0xFF), static_cast<int>((w >> 8) & 0xFF),
                     static_cast<int>(w & 0xFF), 0, 0, 0, 5, depth, type, 0, 0, interlace}) +
           std::string(4, '\0');
}

std::string pcx_head() {
    std::string h(128, '\0');
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    put_le(h, 4, 2, 2);
    put_le(h, 6, 3, 2);
    put_le(h, 8, 101, 2);
    put_le(h, 10, 53, 2);
    h[65] = 3;
    return h;
}

std::string lotus() {
    std::string h = bytes_of({1, 0, 0, 0, 1, 0, 8, 0, 68, 0, 0, 0, 0, 12, 0, 0, 0});
    h += bytes_of({0x60, 0xA0, 1, 2, 3, 4, 0x30, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0xA8, 9, 'a', 'b', 0, 0xA7, 5, 0x6F, 0x20});
    return h;
}

struct InfoCase {
    const char* what;
    std::string bytes;
    Info info;
};

class FileInfo : public QuindaTest {
protected:
    Info info_of(const std::string& bytes, int n = 6) {
        const std::string f = dir.file("x.dat");
        write_file(f, bytes);
        Info info;
        info.fill(-77);
        igrfileinfo(f, info, n);
        return info;
    }
    TempDir dir;
};

TEST_F(FileInfo, EveryKindWithItsItems) {
    const std::string esc = "\x1b";
    const std::vector<InfoCase> cases = {
        {"bmp", bmp_head(8), {1, 9, 7, 256, 0, 8}},
        {"bmp of 32 bits", bmp_head(32), {1, 9, 7, 16777216, 0, 32}},
        {"run-length bmp", bmp_head(4, 7, 2), {1, 9, 7, 16, 1, 4}},
        {"bmp with bit fields", bmp_head(16, 7, 3), {1, 9, 7, 65536, 0, 16}},
        {"bmp stored top-down: its height does not fit", bmp_head(24, 0xFFFFFFF9u), {1, 9, -1, 16777216, 0, 24}},
        {"bmp of 31 bits: colours beyond the integers", bmp_head(31), {1, 9, 7, -1, 0, 31}},
        {"bmp of 40 bits", bmp_head(40), {1, 9, 7, 0, 0, 40}},
        {"pcx", pcx_head(), {2, 100, 51, 16777216, 5, 24}},
        {"png palette", png_head(300, 4, 3), {15, 300, 5, 16, 0, 4}},
        {"png rgba of 16 bits", png_head(3, 16, 6, 1), {15, 3, 5, 16777216, 1, 24}},
        {"png grey", png_head(3, 8, 0), {15, 3, 5, -1, 0, -1}},
        {"png too wide for the integers", png_head(0x80000000u, 8, 2), {15, -1, 5, 16777216, 0, 24}},
        {"placeable metafile",
         le(0x9AC6CDD7u, 4) + le(0, 2) + le(0, 2) + le(0, 2) + le(1439, 2) + le(719, 2) + le(1440, 2) + std::string(30, '\0'),
         {3, 72, 36, 1, -1, -1}},
        {"placeable metafile without units",
         le(0x9AC6CDD7u, 4) + le(0, 2) + le(0, 2) + le(0, 2) + le(1439, 2) + le(719, 2) + le(0, 2) + std::string(30, '\0'),
         {3, -1, -1, 1, -1, -1}},
        {"enhanced metafile", le(1, 4) + std::string(20, '\0') + le(0, 4) + le(0, 4) + le(2539, 4) + le(1269, 4) + le(0x464D4520, 4),
         {3, 72, 36, 2, -1, -1}},
        {"plain metafile", bytes_of({1, 0, 9, 0, 0, 3, 0, 0}), {3, -1, -1, 0, -1, -1}},
        {"plain metafile of the disk header type", bytes_of({2, 0, 9, 0, 0, 3, 0, 0}), {3, -1, -1, 0, -1, -1}},
        {"plain metafile head of an undefined type", bytes_of({3, 0, 9, 0, 0, 3, 0, 0}), {0, -1, -1, -1, -1, -1}},
        {"cgm", cgm(0, 1, "") + cgm(1, 17, be16(0) + be16(0) + be16(200) + be16(100)) + cgm(0, 3, "") + cgm(0, 5, "") +
                    cgm(0, 3, "") + cgm(4, 1, "abc") + cgm(0, 5, "") + cgm(0, 2, ""),
         {6, 1000, 500, 2, -1, -1}},
        {"lotus pic", lotus(), {7, 3201, 2312, 2, -1, -1}},
        {"draw", "Draw" + std::string(28, '\0') + le(6400, 4) + le(12800, 4), {8, 10, 20, -1, -1, -1}},
        {"tektronix", esc + "[?38h  ", {9, -1, -1, -1, -1, -1}},
        {"pcl", esc + "E" + esc + "*r1A" + esc + "*t300R" + esc + "(s3u1A", {11, -1, -1, 8, 300, -1}},
        {"pcl with another head", esc + "&a0R" + esc + "*t075R", {11, -1, -1, 2, 75, -1}},
        {"epson", esc + "@" + esc + "(U" + bytes_of({1, 0, 10}) + esc + "r" + bytes_of({4}), {12, -1, -1, 8, 360, -1}},
        {"epson with a unit of 0", esc + "@" + esc + "(U" + bytes_of({1, 0, 0}), {12, -1, -1, 0, -1, -1}},
        {"epson U", esc + "U" + bytes_of({1}) + "  ", {13, -1, -1, 0, -1, -1}},
        {"hpgl", "   IN;SC-13 5 0 32760;\nIP0 0 10160 7620 ;\nPU;\nSC-3 1 0 32760\nSC-3 2 0 32760\n", {4, 720, 540, 6, 5, 2}},
        {"hpgl without the device", "IN;\nIP0 0 10160 7620 ;\n", {4, -1, -1, -1, -1, 1}},
        {"hpgl of the last device, six pens", "IN;SC-13 10 0 32760;\nIP0 0 10160 7620 ;\n", {4, 720, 540, 6, 10, 1}},
        {"hpgl2 device from its scale record", esc + "%0BIN;SC-13 14 0 32760;\nIP0 0 10160 7620 ;\n", {5, 720, 540, 256, 4, 1}},
        {"hpgl2", esc + "%0BIN;CO\"13 3\";\nIP0 0 10160 7620 ;\nCO\"3 1\";\nCO:\"3\";\n", {5, 720, 540, 2, 3, 1}},
        {"postscript", "%!PS-Adobe-3.0\n%%BoundingBox: 10 20 300 400\n", {10, 300, 400, 1, -1, -1}},
        {"postscript without a box", "%!PS-Adobe-3.0\n%%Title: x\n", {10, -1, -1, 0, -1, -1}},
        {"dxf", "0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n0.0\n20\n0.0\n9\n$EXTMAX\n10\n10.5\n20\n7.25\n0\n", {14, 756, 522, -1, -1, -1}},
        {"svg", "<?xml version=\"1.0\"?>\n<!DOCTYPE svg PUBLIC>\n<svg width=\"640\" height=\"480.7\">\n", {16, 640, 480, -1, -1, -1}},
        {"svg without its size", "<?xml version=\"1.0\"?>\n<!doctype svg>\n<svg viewBox=\"0 0 1 1\">\n", {16, -1, -1, -1, -1, -1}},
        {"xml that is no svg", "<?xml version=\"1.0\"?>\n<svg width=\"3\">\n", {0, -1, -1, -1, -1, -1}},
        {"bm with a core header", "BM" + le(0, 4) + le(0, 4) + le(26, 4) + le(12, 4) + std::string(12, '\0'), {0, -1, -1, -1, -1, -1}},
        {"four unknown bytes", "abcd", {0, -1, -1, -1, -1, -1}},
        // A head shorter than 128 bytes reads NULs past the end.
        {"short pcx head", bytes_of({10, 5, 1, 8}), {2, 1, 1, 1, 5, 0}},
    };
    for (const InfoCase& c : cases) EXPECT_EQ(info_of(c.bytes), c.info) << c.what;
}

TEST_F(FileInfo, Edges) {
    // Three bytes, a blank name and a missing file are no readable file;
    // nothing but the type is written then.
    EXPECT_EQ(info_of("abc"), (Info{-1, -77, -77, -77, -77, -77}));
    Info info;
    info.fill(-77);
    igrfileinfo("   ", info, 6);
    EXPECT_EQ(info[0], -1);
    igrfileinfo(dir.file("none.bmp"), info, 6);
    EXPECT_EQ(info, (Info{-1, -77, -77, -77, -77, -77}));
    // N counts the items written, never past the array.
    EXPECT_EQ(info_of(bmp_head(8), 1), (Info{1, -77, -77, -77, -77, -77}));
    EXPECT_EQ(info_of(bmp_head(8), 3), (Info{1, 9, 7, -77, -77, -77}));
    EXPECT_EQ(info_of(bmp_head(8), 0), (Info{1, -77, -77, -77, -77, -77}));
    std::array<std::int32_t, 2> two{};
    write_file(dir.file("b.bmp"), bmp_head(8));
    igrfileinfo(dir.file("b.bmp"), two, 6);
    EXPECT_EQ(two, (std::array<std::int32_t, 2>{1, 9}));
    // Parsing text kinds leaves no error behind and the report mode as it was.
    idebuglevel(ReportNone);
    infoerror(1);
    info_of("IN;SC-13 x;\nIP a b c d;\n");
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(infoerror(4), ReportNone);
}

TEST_F(FileInfo, Companions) {
    const std::string f = dir.file("c.cgm");
    std::int32_t pictures = -5;
    float aspect = -5;
    // Without END METAFILE: read to the end, error 2, the count and aspect kept.
    write_file(f, cgm(0, 1, "") + cgm(2, 6, be16(0) + be16(0) + be16(30) + be16(10)) + cgm(0, 5, ""));
    infoerror(1);
    yyinfocgm(f, pictures, aspect);
    EXPECT_EQ(infoerror(1), 2);
    EXPECT_EQ(pictures, 1);
    EXPECT_FLOAT_EQ(aspect, 3.0f);
    // A flat extent has no aspect: 1. Real coordinates, 32-bit precisions,
    // long-form elements with partitions, and the defaults replacement.
    const std::string long_form = bytes_of({0x40, 0x3F, 0x80, 0x04, 1, 2, 3, 4, 0x00, 0x02, 5, 6});
    write_file(f, cgm(0, 1, "") + cgm(1, 3, be16(1)) + cgm(1, 12, "") + long_form +
                      cgm(1, 17, std::string("\x00\x00\x00\x00\x00\x00\x00\x00\x42\x48\x00\x00\x00\x00\x00\x00", 16)) +
                      cgm(0, 5, "") + cgm(0, 2, ""));
    yyinfocgm(f, pictures, aspect);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_FLOAT_EQ(aspect, 1.0f);
    write_file(f, cgm(0, 1, "") + cgm(1, 4, be16(32)) + cgm(3, 1, bytes_of({0, 0, 0, 32})) +
                      cgm(2, 6, le(0, 4) + bytes_of({0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0, 10})) + cgm(0, 2, ""));
    yyinfocgm(f, pictures, aspect);
    EXPECT_EQ(pictures, 1);
    EXPECT_FLOAT_EQ(aspect, 4.0f);
    // A file that cannot be opened: error 1, outputs untouched.
    pictures = -5;
    yyinfocgm(dir.file("none.cgm"), pictures, aspect);
    EXPECT_EQ(infoerror(1), 1);
    EXPECT_EQ(pictures, -5);

    // Lotus PIC: a header that cannot be read leaves the count, made 1.
    std::int32_t count = 0;
    write_file(f, bytes_of({1, 0, 0}));
    yycntpic(f, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(infoerror(1), 2);
    count = 9;
    write_file(f, lotus().substr(0, 19));
    yycntpic(f, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(infoerror(1), 2);

    // HP-GL pages: "SC" with -3 and "CO" comments with 3, not "CO:".
    write_file(f, "IN;\nSC-3 1 0 32760\nCO\"3 5\";\nCO:\"3\";\nSC-4 1\n");
    count = -1;
    yycnthpg(f, count);
    EXPECT_EQ(count, 2);
    write_file(f, "IN;\n");
    yycnthpg(f, count);
    EXPECT_EQ(count, 1);
    // A file that cannot be closed: error 3 with the system's code; the
    // pictures read are counted all the same.
    text_unit_close_hook = [](std::int32_t handle) {
        os_file_close(handle);
        return static_cast<int>(OS_ERROR_GEN_FAILURE);
    };
    write_file(f, "IN;\nSC-3 1 0 32760\n");
    infoerror(1);
    count = -1;
    yycnthpg(f, count);
    text_unit_close_hook = &os_file_close;
    EXPECT_EQ(infoerror(1), 3);
    EXPECT_EQ(quinda.io_status, static_cast<int>(OS_ERROR_GEN_FAILURE));
    EXPECT_EQ(count, 1);
    yycnthpg(f, count);
    EXPECT_EQ(infoerror(1), 0);
}

}  // namespace
