// The raster printer driver: pages drawn into the raster buffer are printed
// in PCL, ESC/P2 and Epson column graphics, and a decoder written from the
// printer languages (printer_decode.py) reads the stream back into the dots
// a printer would put on paper; those must be the pixels of the buffer.
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/raster/rastprint.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "platform/os_file.h"
#include "tests/raster/image_tools.h"
#include "tests/support/graphics_test.h"

namespace {

using Dots = std::set<std::pair<int, int>>;
using Inks = std::map<std::string, Dots>;

std::vector<std::string>& reports() {
    static std::vector<std::string> lines;
    return lines;
}

// The picture as it was when the page ended.
struct Page {
    std::vector<std::int32_t> words;
    RasterState state;
    bool rotated = false;
    std::string stream;

    int pixel(int plane, int x, int y) const {
        if (x < 0 || y < 0 || x > state.rasterMaxX || y > state.rasterMaxY) return 0;
        const std::size_t w = static_cast<std::size_t>(plane) * state.wordsPerPlane +
                              static_cast<std::size_t>(y) * state.wordsPerRow + static_cast<std::size_t>(x / 32);
        return (static_cast<std::uint32_t>(words[w]) >> (x % 32)) & 1u;
    }
    // Plane bit under printer dot I of printer line J.
    int dot(int plane, int i, int j) const {
        return rotated ? pixel(plane, state.rasterMaxX - j, state.rasterMaxY - i)
                       : pixel(plane, i, state.rasterMaxY - j);
    }
    int dots_across() const { return state.printRasterWidth; }
    int lines() const { return state.printRasterHeight; }
};

struct Options {
    std::int32_t width = 72, height = 36;  // points
    std::int32_t resolution = 1;
    std::int32_t rotated = 0;
    std::int32_t compression = 0;
    std::int32_t colour_mode = 0;
    std::int32_t reset = 3;
};

class RasterPrinter : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        install_hardcopy_drivers();
        reports().clear();
        idebuglevel(ReportStatusBar);
        error_statusbar_hook = [](std::string_view line) { reports().emplace_back(line); };
    }

    TempDir dir{true};

    // Driver 4 started on MODEL with its defaults.
    static void start(int model) {
        iprinter(model);
        drvargs.N = 0;
        xxrast(OpInitialise);
    }

    // Driver 4 on MODEL with the options, up to a sized page; false when
    // the begin failed.
    static bool begin(int model, const Options& o, const std::string& file) {
        start(model);
        HardcopyOptionTable& t = gstate.hc.options;
        t.set(1, o.width);
        t.set(2, o.height);
        t.set(3, 0);
        t.set(4, 0);
        t.set(5, o.rotated);
        t.set(6, o.colour_mode);
        t.set(8, 1);
        t.set(13, o.resolution);
        t.set(19, o.reset);
        t.set(24, o.compression);
        hcstate.ResolutionIndex = o.resolution;
        gstate.hardcopy_flag = 1;
        txt_set(DriverText, file);
        drvargs.K = 1;
        xxrast(OpBeginPicture);
        return raster_allocated();
    }

    // Prints a page of random pixels (or the page FILL leaves) and returns
    // it with the stream.
    static Page print(int model, const Options& o, const std::function<void()>& fill = {}) {
        Page page;
        if (!begin(model, o, "page.prn")) return page;
        if (fill) {
            fill();
        } else {
            std::mt19937 random(static_cast<unsigned>(model * 131 + o.resolution * 7 + o.rotated));
            for (std::size_t k = 0; k + 1 < IRBUFF.size(); ++k) IRBUFF[k] = static_cast<std::int32_t>(random());
        }
        page.words = IRBUFF;
        page.state = raster;
        page.rotated = o.rotated != 0;
        gstate.hc.page_in_progress = 1;
        xxrast(OpEndPage);
        xxrast(OpEndOutput);
        page.stream = read_file("page.prn");
        return page;
    }
};

// Runs the decoder on FILE; empty and a failure when the stream breaks the
// language's rules.
Inks decode(const std::string& language, const std::string& file, const std::string& flags = "") {
    int status = 0;
    const std::string out = run_command("python3 " + quote(std::string(QUINDA_TEST_DATA) + "/printer_decode.py") + " " +
                                            language + " " + quote(file) + " " + flags,
                                        &status);
    Inks inks;
    std::istringstream lines(out);
    std::string word;
    while (lines >> word) {
        if (word == "dot") {
            std::string name;
            int x = 0, y = 0;
            lines >> name >> x >> y;
            inks[name].insert({x, y});
        } else {
            std::string rest;
            std::getline(lines, rest);
            if (word == "error") ADD_FAILURE() << "decoder: " << rest;
        }
    }
    EXPECT_EQ(status, 0) << out.substr(0, 300);
    return inks;
}

bool have_python() { return have_program("python3"); }

// Three-ink pages: a pixel inked in all planes prints once, in black.
int ink_of(const Page& p, int plane, int i, int j) {
    const bool black = p.dot(0, i, j) && p.dot(1, i, j) && p.dot(2, i, j);
    if (plane < 0) return black ? 1 : 0;
    return p.dot(plane, i, j) && !black ? 1 : 0;
}

// ---------------------------------------------------------------- whole pages

struct PageCase {
    const char* name;
    int model;
    Options options;
};

class PrintedPage : public RasterPrinter, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PrintedPage, DecodesToTheBuffer) {
    if (!have_python()) GTEST_SKIP() << "python3 not installed";
    const PageCase& c = GetParam();
    const Page p = print(c.model, c.options);
    ASSERT_FALSE(p.words.empty());
    ASSERT_FALSE(p.stream.empty());
    const std::int32_t family = hcstate.models.PrinterFamily;
    const int planes = p.state.planeCount;
    Inks expected;
    Inks got;
    if (family >= 7) {
        got = decode("pcl", "page.prn");
        for (int pl = 0; pl < planes; ++pl) {
            auto& e = expected["p" + std::to_string(pl)];
            for (int j = 0; j < p.lines(); ++j)
                for (int i = 0; i < p.dots_across(); ++i)
                    if (p.dot(pl, i, j)) e.insert({i, j});
        }
        // Dots past the width are only the white padding of RGB printers.
        for (auto& [name, dots] : got) std::erase_if(dots, [&](const auto& d) { return d.first >= p.dots_across(); });
    } else {
        const bool escp2 = family == 6;
        const DeviceModels& m = hcstate.models;
        const int il = !escp2 && p.state.dotsPerInchX > 100 && family <= 4 ? 2 : 1;
        const int band = m.DotsPerPass * il;
        const int unit = family == 5 ? 6 : 5;
        const int pitch = m.DotsPerPass == 24 ? 6 : 15;
        auto y_of = [&](int j) {
            if (escp2) return j;
            const int b = j / band, w = j % band;
            return b * m.LineFeedUnits * unit + (w % il) * unit + (w / il) * pitch;
        };
        got = escp2 ? decode("escp2", "page.prn")
                    : decode("epson", "page.prn", family == 5 ? "--units180" : "");
        const std::map<int, std::string> ink_names{{2, "4"}, {1, "1"}, {0, "2"}, {-1, "0"}};
        for (int j = 0; j < p.lines(); ++j)
            for (int i = 0; i < p.dots_across(); ++i) {
                if (planes == 1) {
                    if (p.dot(0, i, j)) expected["0"].insert({i, y_of(j)});
                    continue;
                }
                for (int pl = -1; pl <= 2; ++pl)
                    if (ink_of(p, pl, i, j)) expected[ink_names.at(pl)].insert({i, y_of(j)});
            }
    }
    for (auto& [name, dots] : expected) {
        EXPECT_EQ(got[name].size(), dots.size()) << name;
        EXPECT_TRUE(got[name] == dots) << "ink " << name << " differs";
    }
    for (auto& [name, dots] : got)
        if (!dots.empty()) {
            EXPECT_TRUE(expected.count(name)) << "unexpected ink " << name;
        }
}

Options opt(std::int32_t resolution, std::int32_t rotated, std::int32_t compression, std::int32_t colour_mode = 0,
            std::int32_t width = 72, std::int32_t height = 36) {
    Options o;
    o.resolution = resolution;
    o.rotated = rotated;
    o.compression = compression;
    o.colour_mode = colour_mode;
    o.width = width;
    o.height = height;
    return o;
}

const PageCase page_cases[] = {
    {"pcl_laser_upright_plain", 28, opt(1, 0, 0)},
    {"pcl_laser_rotated_runlength", 28, opt(1, 1, 1)},
    {"pcl_laser_upright_packbits", 28, opt(2, 0, 2)},
    // Uncompressed rows of more than 999 bytes.
    {"pcl_laser_wide_rows", 28, opt(1, 0, 0, 0, 2000, 1)},
    {"pcl_rgb_upright_plain", 13, opt(1, 0, 0, 0, 70, 30)},
    {"pcl_rgb_rotated_runlength", 13, opt(2, 1, 1, 0, 70, 30)},
    {"pcl_rgb_upright_packbits", 31, opt(1, 0, 2, 0, 70, 30)},
    {"pcl_cmy_rotated_packbits", 31, opt(1, 1, 2, 0, 70, 30)},
    {"pcl_colour_model_one_plane", 13, opt(1, 0, 2, 1, 70, 30)},
    {"escp2_one_plane_upright", 36, opt(2, 0, 0, 0, 36, 20)},
    {"escp2_one_plane_rotated", 36, opt(2, 1, 0, 0, 36, 20)},
    {"escp2_three_planes_upright", 37, opt(3, 0, 0, 0, 72, 30)},
    {"escp2_three_planes_rotated", 37, opt(3, 1, 0, 0, 72, 30)},
    {"family1_60dpi", 2, opt(3, 0, 0)},
    {"family1_120dpi_interleaved", 2, opt(2, 0, 0)},
    {"family1_240dpi_rotated", 2, opt(1, 1, 0)},
    {"family2_colour_120dpi", 23, opt(2, 0, 0)},
    {"family3_80dpi", 9, opt(2, 0, 0)},
    {"family4_24pin_180dpi", 19, opt(2, 0, 0)},
    {"family5_24pin_360dpi", 17, opt(1, 0, 0, 0, 36, 30)},
    {"family5_colour_rotated", 25, opt(3, 1, 0, 0, 72, 30)},
    // Wider than the work block: the band command goes first and the block
    // is sent whenever it fills.
    {"family1_wider_than_the_work_block", 2, opt(3, 0, 0, 0, 48100, 8)},
};

INSTANTIATE_TEST_SUITE_P(EveryFamily, PrintedPage, ::testing::ValuesIn(page_cases),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

// Black, mid-grey and white filled squares on a one-bit laser page: the
// printer inks the black square wholly, about half of the grey one and
// nothing of the white one.
TEST_F(RasterPrinter, FillsPrintAsDarkAsTheirColour) {
    if (!have_python()) GTEST_SKIP() << "python3 not installed";
    igrinit();
    iprinter(28);
    igrhardcopyselect(1, DriverRasterPrinter);
    igrhardcopyoptions(1, 216);
    igrhardcopyoptions(2, 72);
    igrhardcopyoptions(5, 0);
    igrhardcopy("fills.prn");
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrUnits(0.0f, 0.0f, 300.0f, 100.0f);
    igrcolourmodel(24);
    igrfillpattern(4);
    const std::int32_t colours[3] = {wrgb(0, 0, 0), wrgb(128, 128, 128), wrgb(255, 255, 255)};
    for (int i = 0; i < 3; ++i) {
        IGrColourN(colours[i]);
        IGrRectangle(10.0f + 100.0f * static_cast<float>(i), 10.0f, 90.0f + 100.0f * static_cast<float>(i), 90.0f);
    }
    const int across = raster.rasterWidth, down = raster.rasterHeight;
    igrhardcopy("S");
    ASSERT_GT(across, 0);
    const Inks inks = decode("pcl", "fills.prn");
    ASSERT_EQ(inks.size(), 1u);
    const Dots& dots = inks.begin()->second;
    // The share of inked dots inside each square, a margin in from its edges.
    auto share = [&](int i) {
        const int x1 = across * (20 + 100 * i) / 300, x2 = across * (80 + 100 * i) / 300;
        const int y1 = down * 20 / 100, y2 = down * 80 / 100;
        long inked = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x) inked += dots.count({x, y});
        return static_cast<double>(inked) / (static_cast<double>(x2 - x1) * (y2 - y1));
    };
    EXPECT_GT(share(0), 0.9);
    EXPECT_GT(share(1), 0.3);
    EXPECT_LT(share(1), 0.7);
    EXPECT_LT(share(2), 0.1);
}

// ---------------------------------------------------------------- control strings

std::string esc(const std::string& rest) { return "\x1b" + rest; }

struct StringCase {
    const char* name;
    int model;
    std::int32_t resolution, reset, colour_mode, x, y;
    std::string start, end, header;
};

class ControlStrings : public RasterPrinter, public ::testing::WithParamInterface<StringCase> {};

TEST_P(ControlStrings, AreByteExact) {
    const StringCase& c = GetParam();
    start(c.model);
    HardcopyOptionTable& t = gstate.hc.options;
    t.set(3, c.x);
    t.set(4, c.y);
    t.set(5, 0);
    t.set(8, 1);
    t.set(19, c.reset);
    t.set(24, 0);
    hcstate.ResolutionIndex = c.resolution;
    raster.planeCount = c.colour_mode == 1 ? 1 : std::max(hcstate.models.PrinterPlanes, 1);
    yypcod(2400, 1800);
    EXPECT_EQ(printer_codes.StartString, c.start);
    EXPECT_EQ(printer_codes.EndString, c.end);
    if (!c.header.empty()) {
        EXPECT_EQ(printer_codes.RowHeader[0], c.header);
    }
}

const std::string pcl_start = esc("&a0000h0000V") + esc("*t300R") + esc("*r2400s1A");
const StringCase string_cases[] = {
    {"pcl_reset_both", 28, 1, 3, 0, 0, 0, esc("E") + pcl_start, esc("&l01X") + esc("*rB") + esc("E"),
     esc("*b300W")},
    {"pcl_reset_none", 28, 1, 0, 0, 0, 0, pcl_start, esc("&l01X") + esc("*rB"), ""},
    {"pcl_reset_end_only", 28, 1, 1, 0, 0, 0, pcl_start, esc("&l01X") + esc("*rB") + esc("E"), ""},
    {"pcl_reset_start_only", 28, 1, 2, 0, 0, 0, esc("E") + pcl_start, esc("&l01X") + esc("*rB"), ""},
    {"pcl_model10_no_width", 10, 1, 0, 0, 0, 0, esc("&a0000h0000V") + esc("*t300R") + esc("*r1A"),
     esc("&l01X") + esc("*rB"), ""},
    {"pcl_model11_no_width", 11, 2, 0, 0, 0, 0, esc("&a0000h0000V") + esc("*t150R") + esc("*r1A"),
     esc("&l01X") + esc("*rB"), ""},
    {"pcl_rgb_one_plane", 13, 1, 0, 1, 0, 0, esc("&a0000h0000V") + esc("*t180R") + esc("*r2400s1u1A"), esc("*rB"),
     ""},
    {"pcl_cmy_one_plane", 31, 1, 0, 1, 0, 0, esc("&a0000h0000V") + esc("*t300R") + esc("*r2400s-1u1A"),
     esc("*rB"), ""},
    {"pcl_negative_offsets", 28, 1, 0, 0, -20, -5, pcl_start, esc("&l01X") + esc("*rB"), ""},
    {"family3_80dpi", 9, 2, 3, 0, 0, 0, esc("U\x01") + esc("3") + std::string(1, 22), esc("2\x0c"),
     esc("K") + std::string("\x60\x09", 2)},
    {"family2_80dpi", 4, 4, 3, 0, 0, 0, esc("U\x01") + esc("3") + std::string(1, 23), esc("2\x0c"),
     esc("*\x04") + std::string("\x60\x09", 2)},
    {"family1_60dpi_no_feed", 2, 3, 0, 0, 0, 0, esc("U\x01") + esc("3") + std::string(1, 23), esc("2"),
     esc("K") + std::string("\x60\x09", 2)},
    {"family1_negative_offsets", 2, 3, 2, 0, -30, -4, esc("U\x01") + esc("3") + std::string(1, 23), esc("2"),
     esc("K") + std::string("\x60\x09", 2)},
    {"family1_feed_and_margin", 2, 3, 3, 0, 12, 10, esc("U\x01") + esc("J\x1e") + esc("3") + std::string(1, 23),
     esc("2\x0c"), esc("K") + std::string("\x6a\x09", 2)},
    {"escp2_reset_end", 36, 2, 3, 0, 0, 0,
     esc("@") + esc("(G") + std::string("\x01\x00\x01", 3) + esc("(U") + std::string("\x01\x00\x0a", 3) + esc("(V") +
         std::string("\x02\x00\x00\x00", 4),
     esc("@\x0c"), ""},
    {"escp2_negative_move", 36, 2, 0, 0, -10, -10,
     esc("@") + esc("(G") + std::string("\x01\x00\x01", 3) + esc("(U") + std::string("\x01\x00\x0a", 3) + esc("(V") +
         std::string("\x02\x00\x00\x00", 4),
     esc("@"), esc("\\") + std::string("\x00\x00", 2) + esc(".") + std::string("\x00\x0a\x0a\x01\x00\x00", 6)},
};

INSTANTIATE_TEST_SUITE_P(Families, ControlStrings, ::testing::ValuesIn(string_cases),
                         [](const ::testing::TestParamInfo<StringCase>& info) { return std::string(info.param.name); });

TEST_F(RasterPrinter, PclExampleStringsHaveTheirLengths) {
    start(28);
    gstate.hc.options.set(3, 0);
    gstate.hc.options.set(4, 0);
    gstate.hc.options.set(8, 1);
    gstate.hc.options.set(24, 0);
    hcstate.ResolutionIndex = 1;
    raster.planeCount = 1;
    yypcod(2400, 1800);
    EXPECT_EQ(printer_codes.StartString.size(), 32u);
    EXPECT_EQ(printer_codes.EndString.size(), 12u);
    // With compression the mode follows the raster start.
    gstate.hc.options.set(24, 2);
    yypcod(2400, 1800);
    EXPECT_TRUE(printer_codes.StartString.ends_with(esc("*r2400s1A") + esc("*b2M")));
}

TEST_F(RasterPrinter, NumbersTooWideForTheirFieldsKeepAllDigits) {
    start(28);
    HardcopyOptionTable& t = gstate.hc.options;
    t.set(3, 1000);
    t.set(4, 2500);
    t.set(5, 0);
    t.set(8, 120);
    t.set(24, 0);
    hcstate.ResolutionIndex = 1;
    raster.planeCount = 1;
    yypcod(12000, 100);
    EXPECT_EQ(printer_codes.StartString,
              esc("E") + esc("&a10000h25000V") + esc("*t300R") + esc("*r12000s1A"));
    EXPECT_EQ(printer_codes.EndString, esc("&l120X") + esc("*rB") + esc("E"));
    EXPECT_EQ(printer_codes.RowHeader[0], esc("*b1500W"));
    // Models of 600 dots per inch and more.
    iprinter(29);
    hcstate.ResolutionIndex = 1;
    t.set(3, 0);
    t.set(4, 0);
    yypcod(100, 100);
    EXPECT_NE(printer_codes.StartString.find(esc("*t600R")), std::string::npos);
}

TEST_F(RasterPrinter, ImagePrintSizesFromTheDrawingAreaAndCompressesByOption24) {
    iprinter(28);
    ImagePrintTable& o = hcstate.ImagePrintOptions;
    o.set(1, 576);
    o.set(2, 432);
    o.set(5, 0);
    o.set(13, 0);
    o.set(19, 3);
    o.set(20, 0);
    o.set(24, 2);
    raster.planeCount = 1;
    gstate.width = 400;
    gstate.height = 300;
    // 400 x 300 pixels on 8 x 6 inches need 51 dots per inch: 75 is the
    // lowest that reaches it.
    yypcod(0, 0);
    EXPECT_EQ(printer_codes.RasterWidth, 600);
    EXPECT_EQ(printer_codes.RasterHeight, 450);
    EXPECT_EQ(printer_codes.CompressionMode, 2);
    EXPECT_NE(printer_codes.StartString.find(esc("*t075R")), std::string::npos);
    o.set(24, 0);
    o.set(20, 1);
    yypcod(0, 0);
    EXPECT_EQ(printer_codes.CompressionMode, 0);
    // Option 13 caps the index found.
    o.set(13, 2);
    o.set(1, 7200);
    yypcod(0, 0);
    EXPECT_NE(printer_codes.StartString.find(esc("*t150R")), std::string::npos);
}

// ---------------------------------------------------------------- compression

std::vector<unsigned char> bytes_of(std::initializer_list<int> list) {
    std::vector<unsigned char> v;
    for (int b : list) v.push_back(static_cast<unsigned char>(b));
    return v;
}

struct Compressed {
    std::vector<unsigned char> out;
    std::string header;
};

Compressed pcl_compress(std::int32_t mode, const std::vector<unsigned char>& row) {
    printer_codes.CompressionMode = mode;
    printer_codes.RowHeader[0] = "\x1b*b000W";
    std::vector<unsigned char> buffer(2 * row.size() + row.size() / 127 + 16);
    std::copy(row.begin(), row.end(), buffer.begin());
    auto count = static_cast<std::int32_t>(row.size());
    yycmpr(count, 0, buffer);
    return {std::vector<unsigned char>(buffer.begin(), buffer.begin() + count), printer_codes.RowHeader[0]};
}

std::vector<unsigned char> unpack_pairs(const std::vector<unsigned char>& in) {
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i + 1 < in.size(); i += 2) out.insert(out.end(), in[i] + 1u, in[i + 1]);
    return out;
}

std::vector<unsigned char> unpack_bits(const std::vector<unsigned char>& in) {
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i < in.size();) {
        const unsigned k = in[i++];
        if (k < 128) {
            for (unsigned m = 0; m <= k && i < in.size(); ++m) out.push_back(in[i++]);
        } else if (k > 128 && i < in.size()) {
            out.insert(out.end(), 257 - k, in[i++]);
        }
    }
    return out;
}

TEST_F(RasterPrinter, CompressionTables) {
    std::vector<unsigned char> equal(300, 0x5A);
    EXPECT_EQ(pcl_compress(1, equal).out, bytes_of({255, 0x5A, 43, 0x5A}));
    EXPECT_EQ(pcl_compress(1, bytes_of({1, 2, 1, 2})).out, bytes_of({0, 1, 0, 2, 0, 1, 0, 2}));
    EXPECT_EQ(pcl_compress(2, bytes_of({'A', 'B', 'B', 'C'})).out, bytes_of({3, 'A', 'B', 'B', 'C'}));
    EXPECT_EQ(pcl_compress(2, bytes_of({'A', 'B', 'B', 'B', 'C'})).out, bytes_of({0, 'A', 254, 'B', 0, 'C'}));
    std::vector<unsigned char> distinct(300);
    for (int i = 0; i < 300; ++i) distinct[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    const Compressed literals = pcl_compress(2, distinct);
    ASSERT_EQ(literals.out.size(), 303u);
    EXPECT_EQ(literals.out[0], 126);
    EXPECT_EQ(literals.out[128], 126);
    EXPECT_EQ(literals.out[256], 45);
    // The count without leading blanks.
    std::vector<unsigned char> twelve = bytes_of({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    const Compressed header = pcl_compress(2, twelve);
    EXPECT_EQ(header.out.size(), 12u);
    EXPECT_EQ(header.header, "\x1b*b12W");
    EXPECT_EQ(pcl_compress(2, bytes_of({7})).header, "\x1b*b2W");
    // Counts of 1000 bytes and more keep all their digits.
    std::vector<unsigned char> alternating(600);
    for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = static_cast<unsigned char>(i % 2);
    EXPECT_EQ(pcl_compress(1, alternating).header, "\x1b*b1200W");

    // ESC/P2 PackBits is kept only when shorter.
    printer_codes.RowHeader[0] = std::string(12, '\0');
    std::vector<unsigned char> row = bytes_of({'A', 'B', 'B', 'C'});
    std::vector<unsigned char> work(16);
    std::int32_t count = 4;
    yycmprp2(count, work, 1, row);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(row, bytes_of({'A', 'B', 'B', 'C'}));
    EXPECT_EQ(printer_codes.RowHeader[0][6], 0);
    std::vector<unsigned char> run(129, 9);
    work.assign(200, 0);
    count = 129;
    yycmprp2(count, work, 1, run);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(std::vector<unsigned char>(run.begin(), run.begin() + 4), bytes_of({130, 9, 255, 9}));
    EXPECT_EQ(printer_codes.RowHeader[0][6], 1);
}

TEST_F(RasterPrinter, BandCounts) {
    iprinter(17);  // 24 dots a column
    printer_codes.RowHeader[0] = esc("*") + std::string("\x27\x00\x00", 3);
    std::int32_t count = 100;
    yybitimg(count);
    EXPECT_EQ(count, 102);
    EXPECT_EQ(printer_codes.RowHeader[0], esc("*") + std::string("\x27\x22\x00", 3));
    iprinter(2);  // 8 dots
    printer_codes.RowHeader[0] = esc("L") + std::string("\x00\x00", 2);
    count = 300;
    yybitimg(count);
    EXPECT_EQ(count, 300);
    EXPECT_EQ(printer_codes.RowHeader[0], esc("L") + std::string("\x2c\x01", 2));
    iprinter(19);  // the [g command counts its mode byte
    printer_codes.RowHeader[0] = esc("[g") + std::string("\x00\x00\x0b", 3);
    count = 100;
    yybitimg(count);
    EXPECT_EQ(printer_codes.RowHeader[0], esc("[g") + std::string("\x65\x00\x0b", 3));
}

TEST_F(RasterPrinter, RandomRowsDecodeBackInEveryMode) {
    std::mt19937 random(7);
    for (std::size_t n = 0; n <= 600; ++n) {
        std::vector<unsigned char> row(n);
        // Short alphabets give runs of every length.
        const unsigned alphabet = n % 3 == 0 ? 2 : n % 3 == 1 ? 4 : 256;
        for (auto& b : row) b = static_cast<unsigned char>(random() % alphabet);
        ASSERT_EQ(unpack_pairs(pcl_compress(1, row).out), row) << n;
        const Compressed packed = pcl_compress(2, row);
        ASSERT_EQ(unpack_bits(packed.out), row) << n;
        ASSERT_LE(packed.out.size(), n + n / 127 + 1) << n;
        ASSERT_EQ(packed.header, "\x1b*b" + std::to_string(packed.out.size()) + "W");
        for (std::size_t i = 0; i < packed.out.size(); i += packed.out[i] < 128 ? packed.out[i] + 2u : 2u)
            ASSERT_NE(packed.out[i], 128) << n;
        std::vector<unsigned char> copy = row, work(n + n / 128 + 2);
        auto count = static_cast<std::int32_t>(n);
        printer_codes.RowHeader[0] = std::string(12, '\0');
        yycmprp2(count, work, 1, copy);
        const std::vector<unsigned char> sent(copy.begin(), copy.begin() + count);
        ASSERT_EQ(printer_codes.RowHeader[0][6] ? unpack_bits(sent) : sent, row) << n;
        ASSERT_LE(static_cast<std::size_t>(count), n);
    }
}

// ---------------------------------------------------------------- edge cases

TEST_F(RasterPrinter, RotatedLaserPageAt300Dpi) {
    start(28);
    ASSERT_EQ(gstate.hc.options.get(5), 1);
    gstate.hc.options.set(13, 1);
    hcstate.ResolutionIndex = 1;
    gstate.hardcopy_flag = 1;
    txt_set(DriverText, "big.prn");
    drvargs.K = 1;
    xxrast(OpBeginPicture);
    EXPECT_EQ(raster.rasterWidth, 2400);
    EXPECT_EQ(raster.rasterHeight, 1800);
    EXPECT_EQ(raster.printRasterWidth, 1800);
    EXPECT_EQ(raster.printRasterHeight, 2400);
    xxrast(OpEndOutput);
}

TEST_F(RasterPrinter, UncompressedRowCounts) {
    // Dot 0 of the top printer line, nothing else.
    const Page p = print(28, opt(4, 0, 0, 0, 72, 2), [] { IRBUFF[static_cast<std::size_t>(raster.wordsPerRow)] = 1; });
    ASSERT_FALSE(p.stream.empty());
    EXPECT_NE(p.stream.find(esc("*b001W") + "\x80" + esc("*b000W")), std::string::npos);
}

TEST_F(RasterPrinter, RgbRowsPadTheLastByteWhite) {
    // 10 dots across at 180 dots per inch, every plane white.
    const Page p = print(13, opt(1, 0, 0, 0, 4, 2), [] {});
    ASSERT_EQ(p.state.printRasterWidth, 10);
    const std::string row = esc("*b002V") + std::string("\xff\xff", 2);
    const std::string last = esc("*b002W") + std::string("\xff\xff", 2);
    EXPECT_NE(p.stream.find(row + row + last), std::string::npos);
    // A black dot at the left leaves the padding.
    const Page q = print(13, opt(1, 0, 0, 0, 4, 2), [] {
        for (std::int32_t pl = 0; pl < 3; ++pl) IRBUFF[static_cast<std::size_t>(pl * raster.wordsPerPlane)] = ~1;
    });
    EXPECT_NE(q.stream.find(esc("*b002V") + std::string("\x7f\xff", 2)), std::string::npos);
}

TEST_F(RasterPrinter, InterleavedBandsAt120Dpi) {
    if (!have_python()) GTEST_SKIP() << "python3 not installed";
    // Two bands of 16 rows: the second pass of each is one unit lower.
    const Page p = print(2, opt(2, 0, 0, 0, 24, 16), [] {
        for (auto& w : IRBUFF) w = -1;
    });
    ASSERT_EQ(p.state.printRasterHeight, 33);
    const std::string start = esc("U\x01");
    EXPECT_TRUE(p.stream.starts_with(start));
    EXPECT_NE(p.stream.find(esc("3\x01")), std::string::npos);
    EXPECT_NE(p.stream.find(esc("3\x16")), std::string::npos);
    const Inks got = decode("epson", "page.prn");
    std::set<int> rows;
    for (const auto& d : got.at("0")) rows.insert(d.second);
    // Band b, pass q, pin k at b*23*5 + q*5 + k*15 (1/1080 inch).
    std::set<int> expected;
    for (int j = 0; j < 33; ++j) expected.insert((j / 16) * 115 + (j % 16 % 2) * 5 + (j % 16 / 2) * 15);
    EXPECT_EQ(rows, expected);
}

TEST_F(RasterPrinter, EmptyPageWritesNothing) {
    ASSERT_TRUE(begin(28, opt(1, 0, 0), "empty.prn"));
    xxrast(OpEndPage);
    xxrast(OpEndOutput);
    EXPECT_EQ(read_file("empty.prn"), "");
}

TEST_F(RasterPrinter, FallbackKeepsTheLowerResolution) {
    std::vector<std::int64_t> asked;
    bool first = true;
    // Only the first attempt fails.
    raster_allocator = [&](std::vector<std::int32_t>& buffer, std::int64_t words) {
        asked.push_back(words);
        const bool ok = !first && raster_default_allocate(buffer, words);
        first = false;
        return ok;
    };
    ASSERT_TRUE(begin(28, opt(1, 0, 0), "a.prn"));
    EXPECT_EQ(hcstate.ResolutionIndex, 2);
    EXPECT_EQ(raster.dotsPerInchX, 150.0f);
    xxrast(OpEndOutput);
    asked.clear();
    txt_set(DriverText, "b.prn");
    drvargs.K = 1;
    xxrast(OpBeginPicture);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(raster.dotsPerInchX, 150.0f);
    xxrast(OpEndOutput);
    // Nothing at any resolution: error 34, hardcopy off.
    raster_allocator = [](std::vector<std::int32_t>&, std::int64_t) { return false; };
    EXPECT_FALSE(begin(28, opt(1, 0, 0), "c.prn"));
    EXPECT_EQ(infoerror(1), 34);
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    ASSERT_FALSE(reports().empty());
    EXPECT_NE(reports().back().find("XXRAST"), std::string::npos);
}

TEST_F(RasterPrinter, NoGraphicsResolution) {
    start(28);
    gstate.hc.options.set(13, 0);
    gstate.hardcopy_flag = 1;
    txt_set(DriverText, "none.prn");
    drvargs.K = 1;
    xxrast(OpBeginPicture);
    EXPECT_EQ(infoerror(1), 5);
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    EXPECT_FALSE(raster_allocated());
    // A dump reached without a resolution list.
    hcstate.models.ResolutionCount = 0;
    yydump(DriverChannel, yyras5);
    EXPECT_EQ(infoerror(1), 5);
    ASSERT_FALSE(reports().empty());
    EXPECT_NE(reports().back().find("YYDUMP"), std::string::npos);
}

TEST_F(RasterPrinter, WriteFailureStopsTheDump) {
    // Each write goes out as it comes, so the writers see a failure at once;
    // the channel reports it at the close.
    hcstate.channel_block = 0;
    // Full at once: the start string fails and nothing more is tried.
    ASSERT_TRUE(begin(28, opt(1, 0, 0, 0, 72, 36), "/dev/full"));
    gstate.hc.page_in_progress = 1;
    IRBUFF[0] = -1;
    reports().clear();
    const std::uint64_t before = os_file_write_calls();
    xxrast(OpEndPage);
    EXPECT_EQ(hcstate.HardcopyErrorFlag, 1);
    EXPECT_EQ(os_file_write_calls() - before, 1u);
    xxrast(OpEndOutput);
    EXPECT_EQ(reports().size(), 1u);

    // Full in the middle of the page: the plane being written is the last,
    // and no end sequence follows.
    struct rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_TRUE(begin(13, opt(1, 0, 0, 0, 72, 36), "mid.prn"));
    for (auto& w : IRBUFF) w = 0x0F0F0F0F;
    struct rlimit limit = old;
    limit.rlim_cur = 2000;
    setrlimit(RLIMIT_FSIZE, &limit);
    gstate.hc.page_in_progress = 1;
    reports().clear();
    xxrast(OpEndPage);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(hcstate.HardcopyErrorFlag, 1);
    // The file as it grows beside its name.
    const std::string stream = read_file(hcstate.channels[DriverChannel - 1].temp);
    EXPECT_EQ(stream.size(), 2000u);
    EXPECT_EQ(stream.find(esc("*rB")), std::string::npos);
    xxrast(OpEndOutput);
    EXPECT_EQ(reports().size(), 1u);
    // A stream cut short never takes the name.
    EXPECT_FALSE(std::filesystem::exists("mid.prn"));
}

}  // namespace
