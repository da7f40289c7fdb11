// The Windows metafile driver: plain, placeable and enhanced metafile
// files, the clipboard pictures, playing metafiles back, and the files read
// by the metafile readers of other programs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "lib/dialog/dialog.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gdi.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/screen.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/windriver.h"
#include "lib/hardcopy/wmf.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_gdi.h"
#include "platform/os_metafile.h"
#include "platform/os_window.h"
#include "tests/hardcopy/winprint_support.h"
#include "tests/support/graphics_test.h"

namespace {

std::uint32_t u16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
}
std::uint32_t u32(const std::string& b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }
std::int32_t s32(const std::string& b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }

// The records of a plain metafile (after an optional placeable header):
// function number and parameter words.
struct WmfRecord {
    std::uint32_t function;
    std::vector<std::uint32_t> params;
};
std::vector<WmfRecord> wmf_records(const std::string& file, std::size_t start) {
    std::vector<WmfRecord> out;
    std::size_t pos = start + 18;
    while (pos + 6 <= file.size()) {
        const std::uint32_t words = u32(file, pos);
        if (words < 3 || pos + 2 * words > file.size()) break;
        WmfRecord r{u16(file, pos + 4), {}};
        for (std::uint32_t i = 0; i < words - 3; ++i) r.params.push_back(u16(file, pos + 6 + 2 * i));
        out.push_back(r);
        pos += 2 * words;
    }
    return out;
}
std::vector<WmfRecord> with(const std::vector<WmfRecord>& rs, std::uint32_t function) {
    std::vector<WmfRecord> out;
    for (const WmfRecord& r : rs)
        if (r.function == function) out.push_back(r);
    return out;
}

// Enhanced records: type and 32-bit words.
struct EmfRecord {
    std::uint32_t type;
    std::vector<std::int32_t> words;
};
std::vector<EmfRecord> emf_records(const std::string& file) {
    std::vector<EmfRecord> out;
    std::size_t pos = 0;
    while (pos + 8 <= file.size()) {
        const std::uint32_t type = u32(file, pos), size = u32(file, pos + 4);
        if (size < 8 || pos + size > file.size()) break;
        EmfRecord r{type, {}};
        for (std::size_t i = 8; i + 4 <= size; i += 4) r.words.push_back(s32(file, pos + i));
        out.push_back(r);
        pos += size;
    }
    return out;
}

class MetafileDriver : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        install_hardcopy_drivers();
        igrinit();
        igrhardcopyselect(1, DriverWindowsMetafile);
        IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
        infoerror(1);
    }
    void TearDown() override {
        if (os_clipboard_is_open()) os_close_clipboard();
    }
    // One run: options, a start with name and title, the drawing, the stop.
    void run(std::optional<std::string> name, const std::function<void()>& draw = [] {
        igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
    }) {
        igrhardcopy(name, std::string("Map view"));
        draw();
        igrhardcopy("S");
    }
    TempDir dir{true};
};

TEST_F(MetafileDriver, PlaceableHeaderAndWindowExtent) {
    run("plot.wmf");
    EXPECT_EQ(infoerror(1), 0);
    const std::string b = read_file("plot.wmf");
    ASSERT_GT(b.size(), 40u);
    const unsigned char header[22] = {0xD7, 0xCD, 0xC6, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04,
                                      0x29, 0x4C, 0x1D, 0xE8, 0x03, 0x00, 0x00, 0x00, 0x00, 0xB1, 0x60};
    EXPECT_EQ(b.substr(0, 22), std::string(reinterpret_cast<const char*>(header), 22));
    std::uint32_t x = 0;
    for (std::size_t i = 0; i < 22; i += 2) x ^= u16(b, i);
    EXPECT_EQ(x, 0u);
    const auto ext = with(wmf_records(b, 22), 0x020C);
    ASSERT_EQ(ext.size(), 1u);
    EXPECT_EQ(ext[0].params, (std::vector<std::uint32_t>{5401, 7561}));
    // Anisotropic: a reader scales the picture to any rectangle.
    EXPECT_EQ(with(wmf_records(b, 22), 0x0103)[0].params[0], 8u);
}

TEST_F(MetafileDriver, PlainAndOtherFormats) {
    // 0 plain: the platform's metafile without the header.
    igrhardcopyoptions(27, 0);
    run("plain.wmf");
    const std::string plain = read_file("plain.wmf");
    ASSERT_GT(plain.size(), 18u);
    EXPECT_EQ(u16(plain, 0), 1u);   // the header type readers take (2, on disk, is refused)
    EXPECT_EQ(u16(plain, 2), 9u);
    EXPECT_EQ(u32(plain, 6) * 2, plain.size());
    // Another format value is placeable through open and close: the header
    // and then the records, not a header alone.
    gstate.hc.options.set(27, 5);
    run("other.wmf");
    const std::string other = read_file("other.wmf");
    EXPECT_EQ(u32(other, 0), 0x9AC6CDD7u);
    EXPECT_GT(other.size(), 22u + 18u);
    EXPECT_FALSE(with(wmf_records(other, 22), 0x0213).empty());
    // A plain metafile does not measure text: operation 25 leaves the
    // graphics core its own estimate.
    igrhardcopy("width.wmf");
    drvargs.X[0] = 12.5f, drvargs.N = 0, drvargs.K = 3;
    txt_set(DriverText, "abc");
    yyhdrv(OpTextWidth);
    EXPECT_EQ(drvargs.X[0], 12.5f);
    EXPECT_EQ(drvargs.N, 0);
    igrhardcopy("S");
}

TEST_F(MetafileDriver, LargePagesAndTheSixteenBitFields) {
    struct Case {
        std::int32_t width;
        std::int32_t inch;  // 0: the begin fails
    };
    const Case cases[] = {{2359, 1000}, {2360, 999}, {3000, 786}, {3276, 720}, {3277, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        std::filesystem::remove("big.wmf");
        gstate.hc.options.set(1, c.width);
        infoerror(1);
        run("big.wmf");
        if (c.inch == 0) {
            EXPECT_EQ(infoerror(1), 1);
            EXPECT_FALSE(std::filesystem::exists("big.wmf"));
            continue;
        }
        EXPECT_EQ(infoerror(1), 0);
        const std::string b = read_file("big.wmf");
        ASSERT_GT(b.size(), 22u);
        EXPECT_EQ(u16(b, 14), static_cast<std::uint32_t>(c.inch));
        EXPECT_EQ(u16(b, 10), static_cast<std::uint32_t>(c.width * c.inch / 72));
        EXPECT_LE(u16(b, 10), 32767u);
        std::uint32_t x = 0;
        for (std::size_t i = 0; i < 22; i += 2) x ^= u16(b, i);
        EXPECT_EQ(x, 0u);
    }
}

TEST_F(MetafileDriver, FileThatCannotBeWrittenAtTheCloseIsAnError) {
    for (int format : {0, 1, 2}) {
        SCOPED_TRACE(format);
        std::filesystem::create_directory("out");
        gstate.hc.options.set(27, format);
        infoerror(1);
        igrhardcopy("out/plot.wmf");
        igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
        std::filesystem::remove_all("out");
        igrhardcopy("S");
        EXPECT_EQ(infoerror(1), 2);
        EXPECT_FALSE(std::filesystem::exists("out/plot.wmf"));
    }
}

TEST_F(MetafileDriver, EnhancedFrameDescriptionAndPens) {
    wtab.WinNT = 1;
    wtab.wScreenDPI = 96;
    gstate.hc.options.set(27, 2);
    gstate.hc.options.set(9, 5);
    auto dashed = [] {
        igrlinetype(1);
        igrjoin(0.1f, 0.5f, 0.9f, 0.5f);
    };
    run("plot.emf", dashed);
    const std::string b = read_file("plot.emf");
    ASSERT_GT(b.size(), 108u);
    EXPECT_EQ(u32(b, 40), 0x464D4520u);
    EXPECT_EQ((std::vector<std::int32_t>{s32(b, 24), s32(b, 28), s32(b, 32), s32(b, 36)}),
              (std::vector<std::int32_t>{0, 0, 26670, 19050}));
    const std::string text("QDX metafile driver\0Map view\0\0", 30);
    ASSERT_EQ(u32(b, 60), text.size());
    std::string desc;
    for (std::size_t i = 0; i < text.size(); ++i) desc += static_cast<char>(u16(b, u32(b, 64) + 2 * i));
    EXPECT_EQ(desc, text);
    // The library's dot pattern scaled from the screen to the reference
    // device (the printer the query found: 96 to 600 pixels per inch), the
    // gap widened for the line width.
    const auto recs = emf_records(b);
    std::vector<std::int32_t> pattern;
    for (const EmfRecord& r : recs)
        if (r.type == 95 && (r.words[5] & 0x0F) == 7) pattern.assign(r.words.begin() + 11, r.words.end());
    const std::int32_t width = static_cast<std::int32_t>(xxwmf_state.MetafileLineScale * 5);
    EXPECT_EQ(metafile_layer.resolution, 600);
    EXPECT_EQ(pattern, (std::vector<std::int32_t>{6, 25 + std::max(0, width - 1)}));

    // With the metafile option the platform's own dot style, no pattern.
    gstate.hc.options.set(29, 1);
    run("system.emf", dashed);
    bool system_dots = false;
    for (const EmfRecord& r : emf_records(read_file("system.emf")))
        if (r.type == 95) system_dots = (r.words[5] & 0x0F) == 2 && r.words[10] == 0;
    EXPECT_TRUE(system_dots);
}

TEST_F(MetafileDriver, PenWidthInTenthsOfAPointAndGradientsPixelByPixel) {
    gstate.hc.options.set(9, 5);
    run("pen.wmf");
    const auto pens = with(wmf_records(read_file("pen.wmf"), 22), 0x02FA);
    ASSERT_FALSE(pens.empty());
    EXPECT_EQ(pens.front().params[1], 5u);

    // A dashed pen a point wide keeps its style in the record, as the
    // system's metafiles hold it (readers draw its dashes), though a pen
    // that wide draws solid here.
    gstate.hc.options.set(9, 10);
    run("dashed.wmf", [] {
        igrlinetype(2);
        igrjoin(0.1f, 0.5f, 0.9f, 0.5f);
    });
    const auto dashed = with(wmf_records(read_file("dashed.wmf"), 22), 0x02FA);
    EXPECT_TRUE(std::any_of(dashed.begin(), dashed.end(), [](const WmfRecord& r) {
        return r.params.size() >= 2 && r.params[0] == static_cast<std::uint32_t>(OS_PS_DASH) && r.params[1] == 10u;
    }));

    // A gradient triangle in a plain metafile: one pixel record per pixel.
    igrhardcopy("grad.wmf");
    GradientVertexBlock& v = gradient_block;
    v.n = 3;
    v.rgb = {0x0000FF, 0x00FF00, 0xFF0000};
    v.t = 1;
    v.triangles[0] = 1, v.triangles[1] = 2, v.triangles[2] = 3;
    // A small triangle: 20 drawable pixels are some 380 metafile units.
    quin01.X[0] = 10, quin01.Y[0] = 10, quin01.X[1] = 30, quin01.Y[1] = 10, quin01.X[2] = 10, quin01.Y[2] = 30;
    yyhdrv(OpGradientFill);
    igrhardcopy("S");
    const auto pixels = with(wmf_records(read_file("grad.wmf"), 22), 0x041F);
    EXPECT_GT(pixels.size(), 50000u);
}

TEST_F(MetafileDriver, ClipboardPictures) {
    run(std::nullopt);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_TRUE(std::filesystem::is_empty("."));
    OsMetafilePict pict;
    ASSERT_TRUE(os_get_clipboard_metafile_pict(pict));
    EXPECT_EQ(pict.mode, 8);
    EXPECT_EQ(pict.x_ext, 26670);
    EXPECT_EQ(pict.y_ext, 19050);
    os_delete_metafile(pict.mf);
    EXPECT_FALSE(os_is_clipboard_format_available(OS_CF_ENHMETAFILE));
    // Other programs get it as a placeable metafile of the picture's size:
    // 26670 x 19050 hundredths of a millimetre at 2540 units per inch.
    const std::vector<std::uint8_t> wmf = os_clipboard_bytes("image/x-wmf");
    ASSERT_GT(wmf.size(), 40u);
    const std::string w(wmf.begin(), wmf.end());
    EXPECT_EQ(u32(w, 0), 0x9AC6CDD7u);
    EXPECT_EQ(u16(w, 14), 2540u);
    EXPECT_EQ((std::vector<std::uint32_t>{u16(w, 10), u16(w, 12)}), (std::vector<std::uint32_t>{26670, 19050}));
    std::uint32_t x = 0;
    for (std::size_t i = 0; i < 22; i += 2) x ^= u16(w, i);
    EXPECT_EQ(x, 0u);

    gstate.hc.options.set(27, 2);
    run(std::nullopt);
    const OsMetafile e = os_get_clipboard_enh_metafile();
    ASSERT_NE(e, 0);
    const std::vector<std::uint8_t> bits = os_get_metafile_bits(e);
    EXPECT_EQ(std::vector<std::uint8_t>(bits.begin() + 40, bits.begin() + 44),
              (std::vector<std::uint8_t>{0x20, 0x45, 0x4D, 0x46}));
    EXPECT_EQ(os_clipboard_bytes("image/x-emf"), bits);
    os_delete_metafile(e);

    // A clipboard someone holds: error 1094, nothing put on it.
    ASSERT_TRUE(os_open_clipboard());
    os_empty_clipboard();
    run(std::nullopt);
    EXPECT_EQ(infoerror(1), 1094);
    EXPECT_FALSE(os_is_clipboard_format_available(OS_CF_ENHMETAFILE));
}

// The program's Make WMF and Print commands as library calls. Make WMF
// ends with the graphics initialisation, which re-installs the selected
// driver's defaults and keeps it selected; unless the command selects the
// printer again, the next Print runs on the metafile driver and puts the
// picture on the clipboard instead of printing it.
TEST_F(MetafileDriver, MakeWmfThenPrintGivesAPdfJob) {
    auto make_wmf = [](bool select_printer_again) {
        igrhardcopyselect(1, DriverWindowsMetafile);
        igrhardcopy("map.wmf");
        igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
        igrhardcopy("S");
        igrinit();
        if (select_printer_again) igrhardcopyselect(1, DriverWindowsPrinter);
    };
    auto print = [] {
        WHardcopyOptions();
        igrhardcopy(std::nullopt, "Zeltramo map");
        igrjoin(0.1f, 0.9f, 0.9f, 0.1f);
        igrhardcopy("S");
    };
    auto clear_clipboard = [] {
        os_open_clipboard();
        os_empty_clipboard();
        os_close_clipboard();
    };

    // The user cancels the metafile options that Print shows then.
    static std::int32_t shown = 0;
    os_set_wait_script([] {
        if (const OsHandle d = yycurrentdialog()) {
            shown = dialog_state.current_id;
            os_post_message(d, OSM_COMMAND, 2, 0);
        }
    });
    clear_clipboard();
    make_wmf(false);
    print();
    os_set_wait_script({});
    EXPECT_EQ(shown, 32011);
    EXPECT_FALSE(std::filesystem::exists("Zeltramo map.pdf"));
    EXPECT_TRUE(os_is_clipboard_format_available(OS_CF_METAFILEPICT));

    clear_clipboard();
    make_wmf(true);
    EXPECT_TRUE(std::filesystem::exists("map.wmf"));
    print();
    EXPECT_TRUE(std::filesystem::exists("Zeltramo map.pdf"));
    EXPECT_FALSE(os_is_clipboard_format_available(OS_CF_METAFILEPICT));
}

// A memory surface of 400 x 300 white pixels as the graphics target.
OsDC white_target() {
    wtab.gDC = os_create_compatible_dc(0);
    os_select_object(wtab.gDC, os_create_compatible_bitmap(wtab.gDC, 400, 300));
    const OsObject white = os_get_stock_object(OS_WHITE_BRUSH);
    os_select_object(wtab.gDC, white);
    os_select_object(wtab.gDC, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(wtab.gDC, 0, 0, 402, 302);
    return wtab.gDC;
}

TEST_F(MetafileDriver, PlayingBackMatchesDrawingDirectly) {
    // A blue square over the middle quarter of the drawable.
    auto square = [] {
        igrcolourmodel(24);
        IGrColourN(0xFF0000);
        igrfillpattern(4);
        IGrRectangle(0.25f, 0.25f, 0.75f, 0.75f);
    };
    run("square.wmf", square);
    const OsDC dc = white_target();
    std::int32_t err = -1;
    yywmfplaymetafile(1, 0, 0, 399, 299, 0, err, "square.wmf");
    EXPECT_EQ(err, 0);
    // Drawn directly, the square covers 100..299 by 75..224 of the 400 x 300
    // surface; the playback puts it there within a pixel.
    for (auto [x, y, blue] : {std::tuple{102, 77, true}, {297, 222, true}, {200, 150, true}, {97, 150, false},
                              {302, 150, false}, {200, 72, false}, {200, 227, false}})
        EXPECT_EQ(os_get_pixel(dc, x, y), blue ? 0xFF0000u : 0xFFFFFFu) << x << "," << y;

    // Bad arguments play nothing: error 2.
    const std::uint32_t before = os_get_pixel(dc, 5, 5);
    for (auto [target, x2, y2] : {std::tuple{1, 399, 299}, {12, 399, 299}, {0, 0, 299}, {0, 399, 0}}) {
        err = 0;
        yywmfplaymetafile(1, 0, 0, x2, y2, target, err, "square.wmf");
        EXPECT_EQ(err, 2) << target;
    }
    EXPECT_EQ(os_get_pixel(dc, 5, 5), before);
    // Data that is no metafile of the type, and a missing file.
    write_file("junk.emf", std::string(200, 'x'));
    yywmfplaymetafile(2, 0, 0, 399, 299, 0, err, "junk.emf");
    EXPECT_EQ(err, 2);
    yywmfplaymetafile(1, 0, 0, 399, 299, 0, err, "none.wmf");
    EXPECT_EQ(err, 1);
    // The clipboard without an enhanced metafile.
    os_open_clipboard();
    os_empty_clipboard();
    os_close_clipboard();
    yywmfplaymetafile(2, 0, 0, 399, 299, 0, err, "C");
    EXPECT_EQ(err, 1095);
    // And with one: the enhanced square played from the clipboard.
    gstate.hc.options.set(27, 2);
    run(std::nullopt, square);
    white_target();
    yywmfplaymetafile(2, 0, 0, 400, 300, 0, err, "C");
    EXPECT_EQ(err, 0);
    EXPECT_EQ(os_get_pixel(wtab.gDC, 200, 150), 0xFF0000u);
    EXPECT_EQ(os_get_pixel(wtab.gDC, 50, 50), 0xFFFFFFu);
}

// An image file recorded as a stretched bitmap, and played back.
TEST_F(MetafileDriver, ImageFilesAreStretchedBitmaps) {
    write_file("green.bmp", bmp_of(0x008000));
    auto image = [] {
        txt_set(DriverText, "green.bmp");
        drvargs.IX[0] = 1;
        yyhdrv(OpImageFile);
        EXPECT_EQ(drvargs.K, 0);
    };
    for (auto [format, type, name] : {std::tuple{1, 1, "image.wmf"}, {2, 2, "image.emf"}}) {
        SCOPED_TRACE(name);
        gstate.hc.options.set(27, format);
        run(name, image);
        const OsDC dc = white_target();
        std::int32_t err = -1;
        yywmfplaymetafile(type, 0, 0, 399, 299, 0, err, name);
        EXPECT_EQ(err, 0);
        EXPECT_EQ(os_get_pixel(dc, 200, 150), 0x008000u);
        EXPECT_EQ(os_get_pixel(dc, 10, 10), 0x008000u);
    }
}

// Damaged metafiles play without reading or writing out of bounds: every
// byte of a recorded scene changed in turn, plain and enhanced.
TEST_F(MetafileDriver, DamagedRecordsPlaySafely) {
    for (int format : {0, 2}) {
        SCOPED_TRACE(format);
        gstate.hc.options.set(27, format);
        run("scene.mf", draw_test_scene);
        const std::string good = read_file("scene.mf");
        ASSERT_GT(good.size(), 100u);
        // The undamaged file's picture, to compare with afterwards.
        auto play_good = [&] {
            const std::vector<std::uint8_t> bytes(good.begin(), good.end());
            const OsMetafile mf = format == 2 ? os_set_enh_metafile_bits(bytes) : os_set_metafile_bits(bytes);
            EXPECT_NE(mf, 0);
            const OsDC target = white_target();
            if (format == 2)
                EXPECT_TRUE(os_play_enh_metafile(target, mf, {0, 0, 400, 300}));
            else
                EXPECT_TRUE(os_play_metafile(target, mf));
            os_delete_metafile(mf);
            std::vector<std::uint32_t> px;
            for (int y = 0; y < 300; y += 2)
                for (int x = 0; x < 400; x += 2) px.push_back(os_get_pixel(target, x, y));
            return px;
        };
        const std::vector<std::uint32_t> before = play_good();
        EXPECT_GT(std::count_if(before.begin(), before.end(), [](std::uint32_t c) { return c != 0xFFFFFF; }), 100);
        const OsDC dc = white_target();
        for (std::size_t at = 0; at < good.size(); at += 7) {
            for (unsigned char v : {0x00, 0x7F, 0xFF}) {
                std::string bad = good;
                bad[at] = static_cast<char>(v);
                const std::vector<std::uint8_t> bytes(bad.begin(), bad.end());
                const OsMetafile mf = format == 2 ? os_set_enh_metafile_bits(bytes) : os_set_metafile_bits(bytes);
                if (!mf) continue;
                if (format == 2)
                    os_play_enh_metafile(dc, mf, {0, 0, 400, 300});
                else
                    os_play_metafile(dc, mf);
                os_delete_metafile(mf);
            }
        }
        // A cut file too.
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
        const OsMetafile mf = format == 2 ? os_set_enh_metafile_bits(cut) : os_set_metafile_bits(cut);
        if (mf) {
            if (format == 2) os_play_enh_metafile(dc, mf, {0, 0, 400, 300});
            else os_play_metafile(dc, mf);
            os_delete_metafile(mf);
        }
        // Nothing the damaged files did stays behind: the good file plays
        // to the same picture as before.
        EXPECT_TRUE(play_good() == before);
    }
}

// The files read by other programs' metafile readers and drawn by an SVG
// renderer, which must show the scene.
class MetafileReaders : public MetafileDriver {
protected:
    // The readers crop the picture to what is drawn: the three lines at the
    // top left, the square at the top right, the circle below the lines
    // and the text beside it, as on the screen.
    void svg_shows_scene(const std::string& svg, const std::string& stem) {
        ASSERT_TRUE(std::filesystem::exists(svg));
        if (!have_program("rsvg-convert") || !have_program("convert"))
            GTEST_SKIP() << "rsvg-convert or ImageMagick is not installed";
        run_reader("rsvg-convert -w 400 -h 286 -b white '" + svg + "' -o " + stem + ".png");
        keep_picture(stem + ".png", "metafile-");
        run_reader("convert " + stem + ".png -depth 8 " + stem + ".ppm");
        const Ppm p = Ppm::read(stem + ".ppm");
        ASSERT_EQ(p.w, 400);
        auto box = [&](float x0, float y0, float x1, float y1, std::uint32_t c, int tolerance) {
            return p.count_near(static_cast<int>(x0 * p.w), static_cast<int>(y0 * p.h), static_cast<int>(x1 * p.w),
                                static_cast<int>(y1 * p.h), c, tolerance);
        };
        EXPECT_GT(box(0.05f, 0.02f, 0.40f, 0.10f, 0xFF0000, 200), 50);
        EXPECT_GT(box(0.05f, 0.11f, 0.40f, 0.19f, 0x00FF00, 200), 50);
        EXPECT_GT(box(0.05f, 0.20f, 0.40f, 0.28f, 0x0000FF, 200), 50);
        EXPECT_GT(box(0.65f, 0.05f, 0.95f, 0.35f, 0x4040FF, 140), 2000);
        EXPECT_GT(box(0.40f, 0.80f, 0.80f, 0.95f, 0x000000, 200), 50);
    }
};

TEST_F(MetafileReaders, Wmf2svgReadsPlainAndPlaceable) {
    if (!have_program("wmf2svg")) GTEST_SKIP() << "libwmf-bin not installed";
    for (int format : {0, 1}) {
        const std::string stem = format == 0 ? "plain" : "placeable";
        gstate.hc.options.set(27, format);
        gstate.hc.options.set(9, 20);
        run(stem + ".wmf", draw_test_scene);
        keep_picture(stem + ".wmf", "metafile-");
        const ReaderRun r = run_reader("wmf2svg -o " + stem + ".svg " + stem + ".wmf");
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        svg_shows_scene(stem + ".svg", stem);
    }
    // The clipboard's picture as other programs get it.
    gstate.hc.options.set(27, 1);
    run(std::nullopt, draw_test_scene);
    const std::vector<std::uint8_t> clip = os_clipboard_bytes("image/x-wmf");
    write_file("clip.wmf", std::string(clip.begin(), clip.end()));
    const ReaderRun r = run_reader("wmf2svg -o clip.svg clip.wmf");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    svg_shows_scene("clip.svg", "clipboard");
}

// A plain and a placeable file as the driver writes them: the library's
// own file identification and LibreOffice both take them, and LibreOffice
// draws the scene's colours and gives its text back.
TEST_F(MetafileReaders, IdentifierAndLibreOfficeReadPlainAndPlaceable) {
    for (int format : {0, 1}) {
        const std::string name = format == 0 ? "plain.wmf" : "placeable.wmf";
        gstate.hc.options.set(27, format);
        run(name, draw_test_scene);
        std::array<std::int32_t, 16> info{};
        igrfileinfo(name, info, 4);
        EXPECT_EQ(info[0], FileMetafile) << name;
        EXPECT_EQ(info[3], format) << name << ": 0 plain, 1 placeable";
    }
    if (!have_program("soffice") || !have_program("pdftoppm") || !have_program("pdftotext"))
        GTEST_SKIP() << "LibreOffice or poppler-utils is not installed";
    const ReaderRun r = run_reader("soffice --headless -env:UserInstallation=file://$PWD/lo --convert-to pdf "
                                   "--outdir . plain.wmf placeable.wmf >/dev/null 2>&1");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string stem : {"plain", "placeable"}) {
        ASSERT_FALSE(read_file(stem + ".pdf").empty()) << "LibreOffice refused " << stem << ".wmf";
        EXPECT_NE(run_reader("pdftotext " + stem + ".pdf -").out.find("Quindarolex"), std::string::npos) << stem;
        ASSERT_EQ(run_reader("pdftoppm -r 50 -singlefile " + stem + ".pdf " + stem).status, 0) << stem;
        keep_picture(stem + ".ppm", "metafile-lo-");
        const Ppm p = Ppm::read(stem + ".ppm");
        ASSERT_GT(p.w, 0) << stem;
        EXPECT_GT(p.count_near(0, 0, p.w - 1, p.h - 1, 0xFF0000, 120), 20) << stem << ": red";
        EXPECT_GT(p.count_near(0, 0, p.w - 1, p.h - 1, 0x00FF00, 120), 20) << stem << ": green";
        EXPECT_GT(p.count_near(0, 0, p.w - 1, p.h - 1, 0x0000FF, 120), 200) << stem << ": blue";
    }
}

TEST_F(MetafileReaders, Emf2svgReadsEnhanced) {
    if (!have_program("emf2svg-conv")) GTEST_SKIP() << "emf2svg not installed";
    gstate.hc.options.set(27, 2);
    gstate.hc.options.set(9, 20);
    run("scene.emf", draw_test_scene);
    keep_picture("scene.emf", "metafile-");
    const ReaderRun r = run_reader("emf2svg-conv -i scene.emf -o scene.svg");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    svg_shows_scene("scene.svg", "enhanced");
}

// Texts that reach beyond their reference point: centred, right-aligned,
// turned upwards and tall. The picture's bounds take their whole extent,
// so the reader keeps every one of them inside the picture it makes.
TEST_F(MetafileReaders, Emf2svgShowsAlignedTurnedAndTallTextWhole) {
    if (!have_program("emf2svg-conv")) GTEST_SKIP() << "emf2svg not installed";
    if (!have_program("rsvg-convert") || !have_program("convert")) GTEST_SKIP() << "rsvg-convert or ImageMagick not installed";
    gstate.hc.options.set(27, 2);
    run("texts.emf", [] {
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, 100.0f, 100.0f);
        igrcolourmodel(24);
        IGrColourN(0x000000);
        igrjoin(40.0f, 40.0f, 60.0f, 60.0f);
        // The reader draws a font at its natural width whatever width the
        // font record asks for: these sizes give the mono-spaced face its
        // natural width, so the reader's texts are as wide as ours.
        igrcharsize(2.57f, 2.0f);
        gstate.text.justification = 1;
        wgrtextstring(50.0f, 40.0f, "CENTRED TEXT");
        gstate.text.justification = 2;
        wgrtextstring(60.0f, 60.0f, "RIGHT TEXT");
        gstate.text.justification = 0;
        yychrot(90.0f);
        wgrtextstring(60.0f, 45.0f, "UPWARDS");
        yychrot(0.0f);
        igrcharsize(7.7f, 6.0f);
        wgrtextstring(40.0f, 60.0f, "TALL");
    });
    keep_picture("texts.emf", "metafile-");
    const ReaderRun r = run_reader("emf2svg-conv -i texts.emf -o texts.svg");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::string svg = read_file("texts.svg");
    for (const char* t : {"CENTRED TEXT", "RIGHT TEXT", "UPWARDS", "TALL"}) EXPECT_NE(svg.find(t), std::string::npos) << t;
    // Drawn, each text leaves ink in its own part of the picture and none
    // of it touches the picture's edges, where a cut text would end.
    run_reader("rsvg-convert -b white texts.svg -o texts.png");
    keep_picture("texts.png", "metafile-");
    run_reader("convert texts.png -depth 8 texts.ppm");
    const Ppm p = Ppm::read("texts.ppm");
    ASSERT_GT(p.w, 20);
    ASSERT_GT(p.h, 20);
    EXPECT_EQ(p.count_near(0, 0, p.w, 2, 0x000000, 200), 0);
    EXPECT_EQ(p.count_near(0, p.h - 2, p.w, p.h, 0x000000, 200), 0);
    EXPECT_EQ(p.count_near(0, 0, 2, p.h, 0x000000, 200), 0);
    EXPECT_EQ(p.count_near(p.w - 2, 0, p.w, p.h, 0x000000, 200), 0);
}

}  // namespace
