// The Windows printer driver against a stand-in printer layer that records
// its calls, the printer layer's own drawing rules on a pixel surface, and
// the printer query.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gdi.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/windriver.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_gdi.h"
#include "platform/os_printer.h"
#include "tests/support/graphics_test.h"

namespace {

// What the stand-in layer saw and answers.
struct StandIn {
    std::vector<std::string> calls;
    std::array<std::int32_t, 10> info{792, 612, 648, 468, 72, 72, 1, 1, 16777216, 0};
    std::int32_t resolution = 600;
    std::int32_t text_width = 675;
};
StandIn stand;

std::string str(std::initializer_list<std::int32_t> v) {
    std::string s;
    for (std::int32_t x : v) {
        if (!s.empty()) s += ' ';
        s += std::to_string(x);
    }
    return s;
}

void install_stand_in() {
    WindowsDrawingLayer& l = printer_gdi;
    l.colour = [](std::int32_t r, std::int32_t g, std::int32_t b) { stand.calls.push_back("colour " + str({r, g, b})); };
    l.line = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
        stand.calls.push_back("line " + str({a, b, c, d}));
    };
    l.ellipse = [](std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t f) {
        stand.calls.push_back("ellipse " + str({x, y, rx, ry, f}));
    };
    l.rectangle = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
        stand.calls.push_back("rectangle " + str({a, b, c, d}));
    };
    l.arc = [](std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs, std::int32_t ys,
               std::int32_t xe, std::int32_t ye) { stand.calls.push_back("arc " + str({x, y, rx, ry, xs, ys, xe, ye})); };
    l.outlinearc = [](std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
                      std::int32_t ys, std::int32_t xe, std::int32_t ye, std::int32_t m) {
        stand.calls.push_back("outlinearc " + str({x, y, rx, ry, xs, ys, xe, ye, m}));
    };
    l.polpoint = [](std::int32_t x, std::int32_t y, std::int32_t i) { stand.calls.push_back("polpoint " + str({x, y, i})); };
    l.polygon = [](std::int32_t n, std::int32_t e) { stand.calls.push_back("polygon " + str({n, e})); };
    l.polyline = [](std::int32_t n) { stand.calls.push_back("polyline " + str({n})); };
    l.point = [](std::int32_t x, std::int32_t y) { stand.calls.push_back("point " + str({x, y})); };
    l.clip = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
        stand.calls.push_back("clip " + str({a, b, c, d}));
    };
    l.textsize = [](std::int32_t w, std::int32_t& h, std::int32_t& asc, std::int32_t angle, std::int32_t family,
                    std::int32_t style, std::string_view name) {
        stand.calls.push_back("textsize " + str({w, h, angle, family, style}) + " " + std::string(name));
        asc = h * 3 / 4;
    };
    l.drawstring = [](std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t align,
                      std::int32_t opaque, std::string_view t) {
        stand.calls.push_back("drawstring " + str({a, b, c, d, align, opaque}) + " " + std::string(t));
    };
    l.textlength = [](std::int32_t& w, std::string_view t) {
        w = stand.text_width;
        stand.calls.push_back("textlength " + std::string(t));
    };
    l.linetype = [](std::int32_t t) { stand.calls.push_back("linetype " + str({t})); };
    l.linewidth = [](std::int32_t w) { stand.calls.push_back("linewidth " + str({w})); };
    l.startpage = [] {};
    l.info = [](std::int32_t& a, std::int32_t& b, std::int32_t& c, std::int32_t& d, std::int32_t& e, std::int32_t& f,
                std::int32_t& g, std::int32_t& h, std::int32_t& i, std::int32_t& j) {
        stand.calls.push_back("info");
        const auto& v = stand.info;
        a = v[0], b = v[1], c = v[2], d = v[3], e = v[4], f = v[5], g = v[6], h = v[7], i = v[8], j = v[9];
    };
    l.open = [](std::int32_t w, std::int32_t h, std::int32_t x, std::int32_t y, std::int32_t& rx, std::int32_t& ry,
                std::int32_t& colours, std::int32_t& err, std::int32_t&, std::int32_t land, std::int32_t copies,
                std::string_view doc) {
        stand.calls.push_back("open " + str({w, h, x, y, land, copies}) + " " + std::string(doc));
        rx = ry = stand.resolution;
        colours = 16777216;
        err = 0;
    };
    l.dump = [] { stand.calls.push_back("dump"); };
    l.close = [] { stand.calls.push_back("close"); };
}

class PrinterDriver : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        stand = StandIn{};
        install_stand_in();
        grlinks.hardcopy_drivers[DriverWindowsPrinter] = &xxwin;
        GraphicsState& g = gstate;
        g.width = 800, g.height = 600;
        g.extent_x = 799.99f, g.extent_y = 599.99f;
        g.wx1 = 0.0f, g.wy1 = 0.0f, g.wx2 = 799.99f, g.wy2 = 599.99f;
        g.area_width_x = g.area_width_y = 1.0f;
        g.ColourModel = 2;
        igrhardcopyselect(1, DriverWindowsPrinter);
    }
    // Opens a job as a start does.
    void begin() {
        drvargs.K = 1;
        drvargs.IX[0] = 0;
        xxwin(OpBeginPicture);
    }
    void colour(std::int32_t rgb) {
        gstate.PreviousColour = gstate.CurrentColour;
        gstate.CurrentColour.rgb() = rgb;
        xxwin(OpColour);
    }
};

TEST_F(PrinterDriver, OperationsOnTheStandInLayer) {
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<std::string> calls;          // what the layer saw
        std::function<void()> check = [] {};
    };
    const std::vector<Case> cases = {
        {"probe", [] { drvargs.N = ProbeDriverNumber; xxwin(OpInitialise); }, {},
         [] { EXPECT_EQ(drvargs.N, 10); }},
        {"query",
         [] {
             drvargs.N = 0, drvargs.K = 0;
             xxwin(OpInitialise);
         },
         {"info"},
         [] {
             const HardcopyOptionTable& o = gstate.hc.options;
             EXPECT_EQ(str({o.get(1), o.get(2), o.get(3), o.get(4), o.get(5), o.get(8), o.get(7)}),
                       "648 468 72 72 1 1 0");
             EXPECT_EQ(hcstate.PrinterAvailable, 1);
             EXPECT_EQ(gstate.hc.active_driver, 10);
             EXPECT_EQ(gstate.device[HardcopySide].DeviceCapabilities, "00000111111111100010011011110");
         }},
        {"begin scales the drawable onto the page",
         [] {
             drvargs.K = 1, drvargs.IX[0] = 0;
             xxwin(OpBeginPicture);
         },
         {"open 648 468 72 72 1 1 Quindarolex graphic"},
         [] {
             EXPECT_FLOAT_EQ(gstate.hc.x_scale, 6.75f);
             EXPECT_FLOAT_EQ(gstate.hc.y_scale, 6.5f);
             EXPECT_EQ(xxwin_state.PrinterPagePixels, (std::array<std::int32_t, 2>{5400, 3900}));
         }},
        {"line",
         [] {
             drvargs.X = {100, 700, 0, 0}, drvargs.Y = {100, 500, 0, 0};
             xxwin(OpLine);
         },
         {"line 675 3249 4725 649"}},
        {"clipped rectangle and clip rounded outwards",
         [] {
             gstate.wx1 = 100, gstate.wy1 = 100, gstate.wx2 = 700, gstate.wy2 = 500;
             gstate.fill_style = 4;
             drvargs.K = 1, drvargs.X = {50, 750, 0, 0}, drvargs.Y = {50, 550, 0, 0};
             xxwin(OpRectanglePattern);
             stand.calls.erase(stand.calls.begin());  // the fill colour
             xxwin(OpClip);
         },
         {"rectangle 675 649 4725 3249", "clip 675 649 4725 3250"}},
        {"fill of two colours is their mean",
         [this] {
             gstate.fill_style = 3;
             colour(0xFF0000);
             colour(0x0000FF);
             stand.calls.clear();
             drvargs.K = 1, drvargs.X = {100, 200, 0, 0}, drvargs.Y = {100, 200, 0, 0};
             xxwin(OpRectanglePattern);
             drvargs.K = -1;
             xxwin(OpRectanglePattern);
         },
         {"colour 127 0 127", "rectangle 675 2599 1350 3249", "colour 0 0 255", "colour 255 0 0"}},
        {"pen width from the line thickness",
         [] {
             gstate.hc.options.set(9, 5);
             xxwin(OpLineWidth);
             xxwin_state.PrinterResolutionReal = {300.0f, 300.0f};
             xxwin(OpLineWidth);
         },
         {"linewidth 3", "linewidth 1"}},
        {"font of kind 1: left-aligned, no underline",
         [] {
             TextState& t = gstate.text;
             gstate.area_size_x = 800, gstate.area_size_y = 600;
             t.char_width = 0.01f, t.char_height = 0.02f, t.TextPitch = 1, t.TextStyle = 4 | 1, t.justification = 1;
             t.HardwareFontFamily = 2;
             xxwin(OpFont);
             txt_set(DriverText, "abc");
             drvargs.IX[0] = 3, drvargs.X = {100, 0, 200, 0}, drvargs.Y = {300, 0, 300, 0};
             t.cos_angle = 1.0f, t.sin_over_r = 0.0f;
             xxwin(OpText);
         },
         // 8 x 6.75 x 0.607 = 32.8, 12 x 6.5 x 0.821 = 64.0; the baseline
         // moves down by ascent minus half the cell: 48 - 32 = 16 printer
         // pixels.
         {"textsize 32 64 0 2 1 ", "drawstring 675 1965 1350 1965 0 0 abc"}},
        {"thin wedge",
         [] {
             gstate.fill_style = 4;
             gstate.aspect_ratio = 648.0f / 468.0f;
             drvargs.K = 1;
             drvargs.X = {400, 100, 0.001f, 45}, drvargs.Y = {300, 100, 0.001f, 1};
             xxwin(OpSectorPattern);
             stand.calls.erase(stand.calls.begin());
         },
         {"arc 2700 1949 675 650 3374 1949 3373 1948"}},
        {"text width in drawable units",
         [] {
             txt_set(DriverText, "abcdef");
             drvargs.K = 4;
             xxwin(OpTextWidth);
         },
         {"textlength abcd"},
         [] {
             EXPECT_FLOAT_EQ(drvargs.X[0], 100.0f);
             EXPECT_EQ(drvargs.N, 1);
         }},
        {"keep options",
         [] {
             for (int k = 1; k <= 6; ++k) gstate.hc.options.set(k, 100 + k);
             drvargs.N = 0, drvargs.K = KeepPageOptions;
             xxwin(OpInitialise);
         },
         {},
         [] {
             const HardcopyOptionTable& o = gstate.hc.options;
             EXPECT_EQ(str({o.get(1), o.get(2), o.get(3), o.get(4), o.get(5), o.get(6)}), "101 102 103 104 105 0");
         }},
        {"end of page and end", [] { xxwin(OpEndPage); xxwin(OpEndOutput); }, {"dump", "close"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stand.calls.clear();
        c.act();
        EXPECT_EQ(stand.calls, c.calls);
        c.check();
    }
}

TEST_F(PrinterDriver, MonochromeAndColourModes) {
    stand.info[8] = 2;
    drvargs.N = 0, drvargs.K = 0;
    xxwin(OpInitialise);
    EXPECT_EQ(gstate.hc.options.get(7), 1);
    begin();
    stand.calls.clear();
    // Lines and text black, except white; fills keep their colour.
    colour(0x0000FF);
    colour(16777215);
    gstate.ColourModel = 1;
    gstate.CurrentColour.index() = 0;
    xxwin(OpColour);
    gstate.ColourModel = 2;
    colour(0x0000FF);
    gstate.fill_style = 4;
    drvargs.K = 1, drvargs.X = {100, 200, 0, 0}, drvargs.Y = {100, 200, 0, 0};
    xxwin(OpRectanglePattern);
    EXPECT_EQ(std::vector<std::string>(stand.calls.begin(), stand.calls.begin() + 5),
              (std::vector<std::string>{"colour 0 0 0", "colour 255 255 255", "colour 255 255 255", "colour 0 0 0",
                                        "colour 255 0 0"}));

    // Colour mode 2 swaps black and white only; mode 1 inverts.
    struct Swap {
        std::int32_t mode;
        std::array<std::int32_t, 3> in, out;
    };
    const Swap swaps[] = {{2, {0, 0, 0}, {255, 255, 255}}, {2, {5, 9, 2}, {250, 246, 253}},
                          {2, {5, 200, 2}, {5, 200, 2}},    {1, {5, 200, 2}, {250, 55, 253}},
                          {0, {0, 0, 0}, {0, 0, 0}}};
    for (const Swap& s : swaps) {
        gstate.hc.options.set(6, s.mode);
        std::array<std::int32_t, 3> c = s.in;
        yywin1(c[0], c[1], c[2]);
        EXPECT_EQ(c, s.out) << s.mode;
    }
}

TEST_F(PrinterDriver, FailedQueryFailsTheBegin) {
    stand.info = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1801};
    drvargs.N = 0, drvargs.K = 0;
    xxwin(OpInitialise);
    settle_printer_query();   // the query the initialisation put off
    EXPECT_EQ(hcstate.PrinterAvailable, 0);
    gstate.hardcopy_flag = 1;
    infoerror(1);
    stand.calls.clear();
    begin();
    EXPECT_EQ(infoerror(1), 1);
    EXPECT_EQ(infoerror(2), 1801);
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    EXPECT_TRUE(stand.calls.empty());
}

// The printer layer draws on a pixel surface here, so that its rules show.
class PrinterLayer : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        // Where inches are used the PDF printer's paper is Letter, whose
        // sizes these cases hold.
        os_config().measurement_system = 1;
        wtab.gPrDC = os_create_compatible_dc(0);
        os_select_object(wtab.gPrDC, os_create_compatible_bitmap(wtab.gPrDC, 200, 200));
        yywprcolour(255, 0, 0);
    }
    std::uint32_t at(int x, int y) { return os_get_pixel(wtab.gPrDC, x, y); }
};

TEST_F(PrinterLayer, DrawingRules) {
    // A rectangle reaches two pixels beyond its corner, so it covers it.
    yywprrectangle(10, 10, 20, 20);
    EXPECT_EQ(at(20, 20), 0x0000FFu);
    EXPECT_EQ(at(21, 21), 0u);
    EXPECT_EQ(at(9, 10), 0u);
    // An ellipse's box: one pixel more on the left and top, two on the
    // right and bottom: radius 10 around 100 is the box 89..112, which
    // covers 89..111.
    yywprellipse(100, 100, 10, 10, 4);
    EXPECT_EQ(at(89, 100), 0x0000FFu);
    EXPECT_EQ(at(111, 100), 0x0000FFu);
    EXPECT_EQ(at(100, 89), 0x0000FFu);
    EXPECT_EQ(at(88, 100), 0u);
    EXPECT_EQ(at(112, 100), 0u);
    // A solid line ends on its end pixel, so does an open polyline; a
    // dashed line gets no extra pixel.
    yywprline(30, 50, 40, 50);
    EXPECT_EQ(at(40, 50), 0x0000FFu);
    yywprlinetype(2);
    yywprline(30, 60, 39, 60);
    EXPECT_EQ(at(39, 60), 0u);
    yywprlinetype(0);
    for (auto [i, x, y] : {std::tuple{0, 50, 150}, {1, 60, 150}, {2, 60, 160}}) yywprpolpoint(x, y, i);
    yywprpolyline(3);
    EXPECT_EQ(at(60, 160), 0x0000FFu);
    EXPECT_EQ(at(60, 161), 0u);
    // A point of width 4 at (170, 170): the square (168, 168) .. (173, 173)
    // without a pen, pixels 168 .. 171.
    yywprlinewidth(4);
    yywprpoint(170, 170);
    EXPECT_EQ(at(168, 168), 0x0000FFu);
    EXPECT_EQ(at(171, 171), 0x0000FFu);
    EXPECT_EQ(at(172, 171), 0u);
    EXPECT_EQ(at(167, 168), 0u);
    // Alignment 3 draws nothing.
    yywprdrawstring(10, 190, 100, 190, 3, 1, "nothing");
    for (int x = 10; x < 100; ++x) EXPECT_EQ(at(x, 185), 0u);
}

TEST_F(PrinterLayer, DashesScaledToThePrinter) {
    wtab.WinNT = 1;
    wtab.wScreenDPI = 96;
    printer_layer.resolution = 600;
    yywprlinewidth(3);
    EXPECT_EQ(printer_layer.dash[0], (std::vector<std::uint32_t>{6, 27}));
    EXPECT_EQ(printer_layer.dash[3], (std::vector<std::uint32_t>{6, 27, 6, 27, 50, 27}));
    yywprlinewidth(1);
    EXPECT_EQ(printer_layer.dash[0], (std::vector<std::uint32_t>{6, 25}));
}

TEST_F(PrinterLayer, ThePdfPrintersPaperFollowsTheUsersMeasures) {
    // Metric measures: A4, the paper the page set-up offers too.
    os_config().measurement_system = 2;
    std::array<std::int32_t, 10> v{};
    yywprinfo(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    EXPECT_EQ(v[0], 842);
    EXPECT_NEAR(v[1], 595, 1);
    EXPECT_EQ(v[9], 0);
}

TEST_F(PrinterLayer, QueryOfThePdfPrinter) {
    // The choices of the page set-up dialog are forgotten at the query.
    wtab.page_setup.prSize = 9;
    wtab.page_setup.prMedia = 3;
    wtab.PageDlgShown = 1;
    std::array<std::int32_t, 10> v{};
    yywprinfo(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    EXPECT_EQ(v, (std::array<std::int32_t, 10>{792, 612, 648, 468, 72, 72, 1, 1, 16777216, 0}));
    EXPECT_EQ(wtab.page_setup.prSize, -1);
    EXPECT_EQ(wtab.page_setup.prMedia, 99999);
    EXPECT_EQ(wtab.PageDlgShown, 0);
    EXPECT_EQ(wtab.lpPrintType, "Quindarolex PDF");
    EXPECT_EQ(wtab.lpPrintDriver, "PDF");
    EXPECT_EQ(wtab.lpPrintPort, "FILE:");

    // Stored names are used as they are: the profile is not read again.
    wtab.lpPrintDriver = "kept";
    wtab.PageDlgShown = 1;
    yywprinfo(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    EXPECT_EQ(v[9], 0);
    EXPECT_EQ(wtab.lpPrintDriver, "kept");
    EXPECT_EQ(wtab.PageDlgShown, 1);

    // The fields of the "Device" entry; without commas it is all the name.
    struct Entry {
        const char* text;
        const char* type;
        const char* driver;
        const char* port;
    };
    const Entry entries[] = {{"Quindarolex PDF", "Quindarolex PDF", "", ""},
                             {"Office,  CUPS,   lp0,more", "Office", "CUPS", "lp0"},
                             {"Laser,,", "Laser", "", ""}};
    for (const Entry& e : entries) {
        os_config().printer_name = e.text;
        EXPECT_EQ(yywprintername(), 1);
        EXPECT_EQ(wtab.lpPrintType, e.type);
        EXPECT_EQ(wtab.lpPrintDriver, e.driver);
        EXPECT_EQ(wtab.lpPrintPort, e.port);
    }
    // A name without commas still finds the PDF printer.
    os_config().printer_name = "Quindarolex PDF";
    wtab.GotPrName = 0;
    yywprinfo(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    EXPECT_EQ(v[0], 792);
    EXPECT_EQ(v[9], 0);
    // A printer that is not there: every output 0 and an OS code.
    os_config().printer_name = "Absent,CUPS,lp";
    wtab.GotPrName = 0;
    yywprinfo(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    EXPECT_EQ(v[0], 0);
    EXPECT_NE(v[9], 0);
    EXPECT_EQ(yywprgetdc(0, 1), 0);
}

TEST_F(PrinterLayer, DeviceContextTakesTheChoices) {
    os_config().printer_name = "";
    yywprintername();
    // Landscape and the A4 paper of the page set-up: the context's paper.
    wtab.page_setup.prSize = 9;
    const OsDC dc = yywprgetdc(1, 2);
    ASSERT_NE(dc, 0);
    EXPECT_EQ(os_get_device_caps(dc, OS_PHYSICALWIDTH), 7017);   // 842 points at 600 per inch
    EXPECT_EQ(os_get_device_caps(dc, OS_PHYSICALHEIGHT), 4958);  // 595 points
    os_delete_dc(dc);
    // A paper the printer does not know is passed over.
    wtab.page_setup.prSize = 30000;
    const OsDC letter = yywprgetdc(0, 1);
    EXPECT_EQ(os_get_device_caps(letter, OS_PHYSICALWIDTH), 5100);
    os_delete_dc(letter);
}

}  // namespace

namespace {

// The device-independent bitmap of the window dump at the display depths:
// bit count, colour table and padded rows; then the dump itself prints.
TEST_F(PrinterLayer, DumpBitmapsAtEveryDisplayDepth) {
    struct Depth {
        int colour_bits, width, bits;
        std::int32_t table;
        std::uint32_t image;  // 10 rows
    };
    const Depth depths[] = {{24, 640, 24, 0, 19200}, {16, 640, 24, 0, 19200}, {8, 101, 8, 1024, 1040},
                            {4, 101, 4, 64, 520}, {1, 101, 1, 8, 160}};
    TempDir dir(true);
    yywprintername();
    std::vector<std::uint32_t> palette(256);
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<std::uint32_t>(i * 0x010101);
    for (const Depth& d : depths) {
        SCOPED_TRACE(d.colour_bits);
        os_config().colour_bits = d.colour_bits;
        wtab.gPal256 = d.colour_bits == 8 ? os_create_palette(palette) : 0;
        const OsDC dc = os_create_compatible_dc(0);
        const OsObject bitmap = os_create_compatible_bitmap(dc, d.width, 10);
        OsBitmapDesc desc;
        ASSERT_TRUE(os_get_bitmap_desc(bitmap, desc));
        const int depth = desc.planes * desc.bits_pixel;
        const int bits = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : 24;
        EXPECT_EQ(bits, d.bits);
        std::vector<std::uint8_t> info(40 + 1024, 0);
        info[0] = 40, info[4] = static_cast<std::uint8_t>(d.width), info[5] = static_cast<std::uint8_t>(d.width >> 8);
        info[8] = 10, info[12] = 1, info[14] = static_cast<std::uint8_t>(bits);
        if (wtab.gPal256) os_select_palette(dc, wtab.gPal256, false), os_realize_palette(dc);
        ASSERT_EQ(os_get_dibits(dc, bitmap, 0, 10, nullptr, info.data(), info.size()), 10);
        EXPECT_EQ(yywprpalsize(info.data(), info.size()), d.table);
        EXPECT_EQ(info[20] | (info[21] << 8) | (info[22] << 16), static_cast<int>(d.image));
        os_delete_object(bitmap);
        os_delete_dc(dc);

        // The dump of a window of that depth.
        wtab.gDC = os_create_compatible_dc(0);
        os_select_object(wtab.gDC, os_create_compatible_bitmap(wtab.gDC, d.width, 40));
        std::int32_t err = 1;
        const std::string doc = "dump" + std::to_string(d.colour_bits);
        yywindumpstart(648, 468, 72, 72, err, 1, 1, doc.c_str());
        ASSERT_EQ(err, 0);
        yywindumpblit(0, 0, d.width - 1, 39, err);
        EXPECT_EQ(err, 0);
        yywindumpend();
        EXPECT_TRUE(std::filesystem::exists(doc + ".pdf"));
    }
    // A printer that cannot be opened: ERR 1 and no document.
    wtab.lpPrintType = "Absent";
    std::int32_t err = 0;
    yywindumpstart(648, 468, 72, 72, err, 1, 1, "none");
    EXPECT_EQ(err, 1);
    EXPECT_FALSE(std::filesystem::exists("none.pdf"));
}

}  // namespace
