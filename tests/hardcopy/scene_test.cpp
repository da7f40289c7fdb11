// One scene (solid and dashed lines, solid, hatched and two-colour fills, a
// circle, an ellipse, a polyline, points, left, centred and turned text) written by
// every driver that makes a file or a print job and drawn by that format's
// reader. A frame along the edges of the drawable makes the drawn extent the
// page, so after the reader's picture is trimmed to what it drew, every part
// of the scene lies at a known place. With QUINDA_WRITE_PICTURES set, the
// trimmed pictures are kept there. A row names the checks its reader cannot
// make, with the reason the test prints; only those are skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/quinda_state.h"
#include "tests/hardcopy/vector_support.h"
#include "tests/hardcopy/winprint_support.h"

namespace {

// Checks a reader may be unable to make: the row names them with the
// reason, and only those are skipped.
enum NotShown : unsigned {
    ShowsAll = 0,
    NoTurnedText = 1,       // the turned text is left out of the row's scene
    FillsPolylines = 2,     // the reader fills an open polyline
    NoDashes = 4,           // the reader draws the dashed line solid
    TextsElsewhere = 8,     // the reader places texts by its own rule: read back only
    PageOfOtherShape = 16,  // circles are round on a page of another shape than the drawable
    NoPoints = 32,          // the reader draws nothing for a point
};

struct SceneRow {
    const char* name;
    std::int32_t driver;
    std::vector<std::pair<std::int32_t, std::int32_t>> options;  // set before the run
    const char* file;
    const char* program;   // the reader, the test skips when it is absent
    const char* command;   // draws "in.<ext>" into "out.png"
    bool colours;          // the reader shows the colours drawn (pens otherwise)
    const char* text;      // what gives the texts back, "" when the text is drawn in strokes
    // The reader draws on black: the row writes black and white swapped
    // (colour mode 2) and the test swaps them back in the reader's picture.
    bool dark_ground = false;
    // The opacity the reader gives solid fills (fills are checked in their
    // colour laid over white so).
    float fill_opacity = 1.0f;
    unsigned not_shown = ShowsAll;
    const char* why = "";  // the reason for what is not shown
    // The run prints a job named by its title (the Windows printer: the
    // platform's PDF printer writes "in.pdf") instead of writing FILE.
    bool job = false;
    // The raster printer's model, chosen before the driver (0: none).
    int printer_model = 0;
};

// A point is the pen put down and lifted at one place, which leaves a dot
// of the pen on a plotter.
constexpr const char* HpglPoints =
    "hp2xx draws nothing for a pen put down where it stands (a vector of no length), where a plotter leaves "
    "a dot of its pen";

// emf2svg's picture drawn by librsvg, and the words of its texts.
constexpr const char* Emf2svg = "emf2svg-conv -i in.emf -o out.svg && rsvg-convert -w 1600 -b white -o out.png out.svg";
constexpr const char* EmfWords = "grep -o 'CDATA.[A-Z]*' out.svg";

const SceneRow scene_rows[] = {
    {"PostScript", DriverPostScript, {{22, 1}}, "in.eps", "gs", "gs -q -dNOPAUSE -dBATCH -dSAFER -dEPSCrop -sDEVICE=png16m -r150 -sOutputFile=out.png in.eps",
     true, "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile=- in.eps"},
    {"Svg", DriverSvg, {}, "in.svg", "rsvg-convert", "rsvg-convert -z 2 -b white -o out.png in.svg", true,
     "rsvg-convert -f pdf -o out.pdf in.svg && gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile=- out.pdf"},
    {"Hpgl", DriverHpgl, {}, "in.plt", "hp2xx", "hp2xx -q -m png -d 150 -f out.png in.plt", false, "", false, 1.0f,
     NoPoints, HpglPoints},
    {"Hpgl2", DriverHpgl2, {}, "in.plt", "hp2xx", "hp2xx -q -m png -d 150 -f out.png in.plt", false, "", false, 1.0f,
     NoPoints, HpglPoints},
    {"Png", DriverImageFile, {{26, 3}}, "in.png", "convert", "cp in.png out.png", true, ""},
    // ezdxf's own drawing add-on on a white ground, at a size where the
    // page is about as wide as the checked picture and lines keep a width
    // (the file gives none: DXF thickness is a height above the page).
    {"Dxf", DriverDxf, {}, "in.dxf", "ezdxf",
     "/usr/bin/python3 -c \"import ezdxf; from ezdxf.addons.drawing import matplotlib as m; "
     "from ezdxf.addons.drawing.config import Configuration as C; "
     "m.qsave(ezdxf.readfile('in.dxf').modelspace(), 'out.png', bg='#FFFFFF', dpi=125, "
     "config=C.defaults().with_changes(min_lineweight=1.0))\"",
     true, ""},
    // LibreOffice puts the picture on a slide of 28 x 15.75 cm, as wide as
    // the slide, and cuts what lies below it: the page has the slide's shape.
    {"Cgm", DriverCgm, {{6, 2}, {2, 425}}, "in.cgm", "soffice",
     "soffice --headless -env:UserInstallation=file://$PWD/lo --convert-to pdf in.cgm >/dev/null 2>&1 && "
     "pdftoppm -r 100 -png -singlefile in.pdf out",
     true, "pdftotext in.pdf - | tr -d ' \\n'", true, 1.0f,
     NoTurnedText | TextsElsewhere | PageOfOtherShape,
     "LibreOffice refuses a CGM file holding text whose character orientation is not along +x; it hangs a "
     "text below its reference point and breaks it into lines where it is wider than LibreOffice's own face, "
     "so the words are read back with the line ends taken out; the page has the slide's shape, on which "
     "the circle is round"},
    {"Wmf", DriverWindowsMetafile, {{27, 1}}, "in.wmf", "wmf2svg",
     "wmf2svg -o out.svg in.wmf && rsvg-convert -w 1600 -b white -o out.png out.svg", true,
     "grep -o '>[A-Z]*</text>' out.svg", false, 0.5f, FillsPolylines,
     "wmf2svg writes an open polyline without fill:none, which SVG fills black; and it draws solid brushes "
     "half transparent while the background mode is transparent, which the system applies to hatches, "
     "styled lines and text only"},
    {"Emf", DriverWindowsMetafile, {{27, 2}}, "in.emf", "emf2svg-conv", Emf2svg, true, EmfWords, false, 1.0f, NoDashes,
     "emf2svg draws a pen of user-defined dashes solid; the dashes of the system are the next row"},
    {"EmfSystemDashes", DriverWindowsMetafile, {{27, 2}, {29, 1}}, "in.emf", "emf2svg-conv", Emf2svg, true, EmfWords},
    // The PCL laser printer's stream read back into its dots by the decoder
    // of the printer languages, and the dots made a picture.
    {"RasterPrinter", DriverRasterPrinter, {}, "in.prn", "python3",
     "python3 \"$QUINDA_DECODER\" pcl in.prn | python3 -c \"import sys\n"
     "dots = [tuple(map(int, l.split()[2:4])) for l in sys.stdin if l.startswith('dot ')]\n"
     "w = max(x for x, y in dots) + 1; h = max(y for x, y in dots) + 1\n"
     "rows = [bytearray((w + 7) // 8) for _ in range(h)]\n"
     "for x, y in dots: rows[y][x // 8] |= 128 >> (x % 8)\n"
     "open('out.pbm', 'wb').write(b'P4 %d %d\\n' % (w, h) + b''.join(rows))\" && convert out.pbm out.png",
     false, "", false, 1.0f, ShowsAll, "", false, 28},
    {"WindowsPrinter", DriverWindowsPrinter, {}, "in.pdf", "pdftoppm", "pdftoppm -r 100 -png -singlefile in.pdf out", true,
     "pdftotext -raw in.pdf -", false, 1.0f, ShowsAll, "", true},
};

// Where the scene's points stand.
constexpr float PointsX[5] = {8, 16, 24, 32, 40};
constexpr float PointsY = 6;

// The scene in world units 0..100 x 0..75, y upwards.
void draw_scene(bool turned) {
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrUnits(0.0f, 0.0f, 100.0f, 75.0f);
    igrcolourmodel(24);
    igrlinewidth(0, 10);
    igrfillpattern(0);
    IGrColourN(wrgb(0, 0, 0));
    IGrRectangle(0.3f, 0.3f, 99.7f, 74.7f);
    // Solid red and dashed blue lines.
    IGrColourN(wrgb(255, 0, 0));
    igrjoin(5, 68, 45, 68);
    IGrColourN(wrgb(0, 0, 255));
    igrlinetype(2);
    igrjoin(5, 60, 45, 60);
    igrlinetype(0);
    // A green polyline.
    IGrColourN(wrgb(0, 160, 0));
    const float px[6] = {5, 13, 21, 29, 37, 45}, py[6] = {45, 52, 45, 52, 45, 52};
    igrpolyline(px, py, 6);
    // A solid blue fill, a hatched green one and a two-colour red and blue one.
    IGrColourN(wrgb(0, 0, 255));
    igrfillpattern(4);
    IGrRectangle(55, 55, 70, 70);
    IGrColourN(wrgb(0, 160, 0));
    igrfillpattern(1);
    IGrRectangle(78, 55, 95, 70);
    IGrColourN(wrgb(255, 0, 0));
    IGrColourN(wrgb(0, 0, 255));
    igrfillpattern(3);
    IGrRectangle(55, 35, 70, 50);
    // A red circle and a blue ellipse, outlines.
    igrfillpattern(0);
    IGrColourN(wrgb(255, 0, 0));
    igrcircle(15, 22, 10);
    IGrColourN(wrgb(0, 0, 255));
    igrellipse(38, 22, 8, 0.5f);
    // Red points in a row along the foot.
    IGrColourN(wrgb(255, 0, 0));
    for (float x : PointsX) igrpoint(x, PointsY);
    // Texts: left, centred, turned by 30 degrees.
    IGrColourN(wrgb(0, 0, 0));
    igrcharsize(1.2f, 1.2f);
    gstate.text.justification = 0;
    wgrtextstring(76, 42, "LEFT");
    gstate.text.justification = 1;
    wgrtextstring(86, 30, "CENTRED");
    gstate.text.justification = 0;
    if (turned) {
        yychrot(30);
        wgrtextstring(58, 8, "TURNED");
        yychrot(0);
    }
}

class Scene : public VectorFileTest, public ::testing::WithParamInterface<SceneRow> {
protected:
    Scene() : VectorFileTest(800, 600) {}
};

TEST_P(Scene, ReaderDrawsItWhole) {
    const SceneRow& row = GetParam();
    // The system is of the NT family, as the screen's start-up finds, with
    // the pens that family draws.
    wtab.WinNT = 1;
    if (row.printer_model != 0) iprinter(row.printer_model);
    select(row.driver);
    for (const auto& [option, value] : row.options) igrhardcopyoptions(option, value);
    const bool turned = (row.not_shown & NoTurnedText) == 0;
    if (!turned) std::printf("Turned text left out: %s\n", row.why);
    if (row.job) igrhardcopy(std::nullopt, "in");
    else igrhardcopy(std::string(row.file));
    draw_scene(turned);
    igrhardcopy("S");
    ASSERT_TRUE(std::filesystem::exists(row.file));
    keep_picture(row.file, std::string(row.name) + "-");
    setenv("QUINDA_DECODER", (std::string(QUINDA_TEST_DATA) + "/../raster/printer_decode.py").c_str(), 1);
    if (!have_program(row.program)) GTEST_SKIP() << row.program << " is not installed";
    if (!have_program("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    const ReaderRun r = run_reader(row.command);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    if (row.driver == DriverHpgl) {
        // hp2xx fits its picture to what is drawn; the frame's extent in
        // plotter units must be the page, the box of the file's IP.
        const ReaderRun told = run_reader("hp2xx -m png -f range.png in.plt");
        const std::string plt = read_file(row.file), said = told.out + told.err;
        const std::size_t ip = plt.find("IP"), range = said.find("Coordinate range:");
        ASSERT_NE(ip, std::string::npos);
        ASSERT_NE(range, std::string::npos) << said;
        double p1x = 0, p1y = 0, p2x = 0, p2y = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        ASSERT_EQ(std::sscanf(plt.c_str() + ip, "IP %lf %lf %lf %lf", &p1x, &p1y, &p2x, &p2y), 4);
        ASSERT_EQ(std::sscanf(said.c_str() + range, "Coordinate range: (%lf, %lf) ... (%lf, %lf)", &x1, &y1, &x2, &y2), 4)
            << said.substr(range, 80);
        const double w = p2x - p1x, h = p2y - p1y;
        EXPECT_NEAR(x1, p1x, w / 100);
        EXPECT_NEAR(x2, p2x, w / 100);
        EXPECT_NEAR(y1, p1y, h / 100);
        EXPECT_NEAR(y2, p2y, h / 100);
    }
    // The frame is the drawn extent: trimmed to it the picture is the page
    // (turned upright where the reader shows the page turned).
    // On a black ground, black and white swap back (the drawing went with
    // them swapped).
    const std::string swap =
        row.dark_ground ? " -fuzz 30% -fill cyan -opaque white -fill white -opaque black -fill black -opaque cyan"
                        : "";
    const ReaderRun t = run_reader("convert out.png -background white -flatten" + swap +
                                   " -fuzz 10% -trim +repage -rotate \"90<\" full.ppm && "
                                   "convert full.ppm -sample 800x600! scene.ppm");
    ASSERT_EQ(t.status, 0) << t.err;
    run_reader("convert scene.ppm scene.png");
    keep_picture("scene.png", std::string(row.name) + "-");
    const Ppm p = Ppm::read("scene.ppm");
    ASSERT_EQ(p.w, 800);
    // Pixels of a colour in a box given in world units.
    auto count = [&](float x1, float y1, float x2, float y2, std::uint32_t colour, int tolerance) {
        return p.count_near(static_cast<int>(x1 * 8), static_cast<int>((75 - y2) * 8), static_cast<int>(x2 * 8),
                            static_cast<int>((75 - y1) * 8), colour, tolerance);
    };
    const bool c = row.colours;
    const std::uint32_t red = c ? 0xFF0000 : 0x000000, blue = c ? 0x0000FF : 0x000000,
                        green = c ? 0x00A000 : 0x000000;
    const int tol = c ? 120 : 600;
    // Solid line: ink along all of it; dashed: ink, with gaps.
    EXPECT_GT(count(5, 66, 45, 70, red, tol), 200) << "solid line";
    const int dashed = count(5, 58, 45, 62, blue, tol);
    EXPECT_GT(dashed, 80) << "dashed line";
    // Gaps: pixel columns along the line without ink, some world units of
    // them in all.
    int gaps = 0;
    for (int x = 6 * 8; x < 44 * 8; ++x) gaps += p.count_near(x, (75 - 62) * 8, x, (75 - 58) * 8, blue, tol) == 0;
    if (row.not_shown & NoDashes) {
        std::printf("Dashes' gaps not checked: %s\n", row.why);
    } else {
        EXPECT_GT(gaps, 3 * 8) << "dashed line without gaps";
    }
    EXPECT_GT(count(5, 44, 45, 53, green, tol), 150) << "polyline";
    // Open: nothing between its first three points.
    if (row.not_shown & FillsPolylines) {
        std::printf("Polyline's inside not checked: %s\n", row.why);
    } else {
        EXPECT_EQ(count(11, 46, 15, 48, 0x000000, 200) + count(11, 46, 15, 48, green, tol), 0) << "polyline filled";
    }
    // Solid fill: nearly every pixel; hatched: some, not most.
    const int inner = 13 * 13 * 64;
    // A fill's colour laid over white with the reader's opacity.
    auto over_white = [&](std::uint32_t colour) {
        std::uint32_t out = 0;
        for (int shift : {0, 8, 16}) {
            const float v = static_cast<float>((colour >> shift) & 0xFF);
            out |= static_cast<std::uint32_t>(std::lround(v * row.fill_opacity + 255.0f * (1 - row.fill_opacity))) << shift;
        }
        return out;
    };
    EXPECT_GT(count(56, 56, 69, 69, over_white(blue), tol), inner * 8 / 10) << "solid fill";
    const int hatched = count(79, 56, 94, 69, green, tol);
    EXPECT_GT(hatched, 100) << "hatched fill";
    EXPECT_LT(hatched, 15 * 13 * 64 * 7 / 10) << "hatched fill drawn solid";
    // Two colours: covered in the two colours, side by side or mixed, or on
    // a pen reader ink over much of it.
    if (c) {
        const int mixed = count(56, 36, 69, 49, over_white(0xFF0000), 200) + count(56, 36, 69, 49, over_white(0x0000FF), 200) +
                          count(56, 36, 69, 49, over_white(0x800080), 200);
        EXPECT_GT(mixed, inner / 2) << "two-colour fill";
    } else {
        EXPECT_GT(count(56, 36, 69, 49, 0x000000, tol), 300) << "two-colour fill";
    }
    // The circle's ring, nothing at its centre; the ellipse is flat.
    EXPECT_GT(count(3, 20, 7, 24, red, tol), 10) << "circle, left";
    EXPECT_GT(count(23, 20, 27, 24, red, tol), 10) << "circle, right";
    if (row.not_shown & PageOfOtherShape) {
        std::printf("Circle's top not checked: %s\n", row.why);
    } else {
        EXPECT_GT(count(13, 30, 17, 34, red, tol), 10) << "circle, top";
    }
    EXPECT_EQ(count(13, 20, 17, 24, red, c ? 60 : 200), 0) << "circle filled";
    EXPECT_GT(count(28, 20, 32, 24, blue, tol), 10) << "ellipse, left";
    EXPECT_GT(count(44, 20, 48, 24, blue, tol), 10) << "ellipse, right";
    EXPECT_EQ(count(36, 28, 40, 33, blue, c ? 60 : 200), 0) << "ellipse as tall as a circle";
    // Points: ink at each place, none between them. A dot may be smaller
    // than a pixel of the picture cut down to 800 x 600, so they are looked
    // for in the reader's picture at its own size.
    {
        const Ppm full = Ppm::read("full.ppm");
        ASSERT_GT(full.w, 0);
        auto ink = [&](float x1, float y1, float x2, float y2) {
            const float sx = static_cast<float>(full.w) / 100.0f, sy = static_cast<float>(full.h) / 75.0f;
            const int px1 = static_cast<int>(x1 * sx), px2 = static_cast<int>(x2 * sx);
            const int py1 = static_cast<int>((75 - y2) * sy), py2 = static_cast<int>((75 - y1) * sy);
            return (px2 - px1 + 1) * (py2 - py1 + 1) - full.count_near(px1, py1, px2, py2, 0xFFFFFF, 90);
        };
        for (float x : PointsX) {
            if (row.not_shown & NoPoints) {
                std::printf("Points not checked: %s\n", row.why);
                break;
            }
            EXPECT_GT(ink(x - 1, PointsY - 1, x + 1, PointsY + 1), 0) << "point at " << x;
            EXPECT_EQ(ink(x + 2.5f, PointsY - 1, x + 5.5f, PointsY + 1), 0) << "beside the point at " << x;
        }
    }
    // Texts: ink where each stands.
    if (row.not_shown & TextsElsewhere) {
        std::printf("Texts' places not checked: %s\n", row.why);
    } else {
        EXPECT_GT(count(75, 40, 95, 46, 0x000000, 300), 40) << "left text";
        // Four character cells of 1.6 units: the last letter ends near 82
        // (a reader's own face a little further).
        EXPECT_GT(count(80, 40, 83, 46, 0x000000, 300), 10) << "left text narrower than its cells";
        EXPECT_EQ(count(87, 40, 95, 46, 0x000000, 300), 0) << "left text wider than its cells";
        EXPECT_GT(count(76, 28, 96, 34, 0x000000, 300), 40) << "centred text";
        EXPECT_EQ(count(72, 28, 75, 34, 0x000000, 300), 0) << "centred text placed as left text";
        if (turned) {
            EXPECT_GT(count(58, 8, 75, 20, 0x000000, 300), 40) << "turned text";
            EXPECT_EQ(count(80, 6, 95, 12, 0x000000, 300), 0) << "turned text drawn level";
        }
    }
    if (*row.text) {
        const ReaderRun words = run_reader(row.text);
        for (const char* w : {"LEFT", "CENTRED", "TURNED"}) {
            if (turned || std::string(w) != "TURNED") {
                EXPECT_NE(words.out.find(w), std::string::npos) << w << "\n" << words.out;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFileDriver, Scene, ::testing::ValuesIn(scene_rows),
                         [](const ::testing::TestParamInfo<SceneRow>& info) { return std::string(info.param.name); });

}  // namespace
