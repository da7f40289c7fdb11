#pragma once
// The graphics driver protocol: operation codes, the two routers between the
// primitives and the devices, and the links through which the graphics core
// reaches devices and neighbouring subsystems that register themselves.
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

// GraphicsDriverOpcode. A device ignores codes outside 1..40 and codes it
// does not implement.
enum GraphicsDriverOpcode : std::int32_t {
    OpInitialise = 1,
    OpLine = 2,
    OpColour = 3,
    OpEllipse = 4,
    OpEllipsePattern = 5,
    OpEllipseSolid = 6,
    OpQuadPattern = 7,
    OpQuadSolid = 8,
    OpRectanglePattern = 9,
    OpRectangleSolid = 10,
    OpTrianglePattern = 11,
    OpTriangleSolid = 12,
    OpSectorPattern = 13,
    OpSectorSolid = 14,
    OpPolygonPattern = 15,
    OpPolygonSolid = 16,
    OpClear = 17,
    OpBeginPicture = 18,
    OpEndOutput = 19,
    OpEndPage = 20,
    OpFont = 21,
    OpText = 22,
    OpCopyRectangle = 23,
    OpClip = 24,
    OpTextWidth = 25,
    OpPoint = 26,
    OpPlotMode = 27,
    OpPaletteEntry = 28,
    OpLineType = 29,
    OpLineWidth = 30,
    OpReadPixel = 31,
    OpPolyline = 32,
    OpTextAngle = 33,
    OpArc = 34,
    OpPalette = 35,
    OpLineJoin = 36,
    OpLineCap = 37,
    OpImageFile = 38,
    OpNoOperation = 39,
    OpGradientFill = 40,
};

constexpr std::int32_t FirstOpcode = 1;
constexpr std::int32_t LastOpcode = 40;

// Handshake words of operation 1.
constexpr std::int32_t ProbeDriverNumber = -999;   // in N: reply with the driver number
constexpr std::int32_t KeepPageOptions = -998;     // in K: keep the page options

// DeviceCapabilities strings installed at operation 1. Position 27 (index
// 26) tells proportional hardware text; position 29 (index 28) of the screen
// string is "0" while the drawable is a memory metafile.
constexpr std::string_view CapsScreen = "11111111111111111110111011111";
constexpr std::string_view CapsCgmRecorder = "00000110111111100010011011100";
constexpr std::string_view CapsVectorFile = "00000111111111100010011011110";  // PostScript, SVG, printer, WMF
constexpr std::string_view CapsCgmFile = CapsCgmRecorder;
constexpr std::string_view CapsDxf = "00000100000011000010000000010";

// TextSizeThreshold that switches the size test of text substitution off.
constexpr float NoTextSizeThreshold = 1.7E+38f;

// HardcopyDriverNumber.
enum HardcopyDriverNumber : std::int32_t {
    DriverHpgl = 1,
    DriverPostScript = 2,
    DriverSvg = 3,
    DriverRasterPrinter = 4,
    DriverImageFile = 6,
    DriverDxf = 8,
    DriverCgm = 9,
    DriverWindowsPrinter = 10,
    DriverWindowsMetafile = 11,
    DriverHpgl2 = 12,
};
constexpr int HardcopyDriverSlots = 13;  // numbers 0..12; 0, 5 and 7 select nothing

// One device entry: takes the operation code; everything else comes from the
// operand block and the graphics state.
using GraphicsDriver = void (*)(std::int32_t op);

void yygapi(std::int32_t op);          // the screen device (screen.h)
void windowselect(std::int32_t slot);  // window layer (lib/window/winops.h)
void yygrselectnone();                 // window layer (lib/window/wininfo.h)
void yybitmapselect(std::int32_t slot, std::int32_t& status, std::int32_t& w, std::int32_t& h);  // bitmaps.h

// Where the graphics core reaches devices and drawable surfaces. Three kinds
// of entry (docs/wiring.md):
// - test seams, set to the real routine: tests put the recording driver or
//   fake surfaces in their place;
// - the hardcopy driver registry, by number;
// - entries of subsystems not built yet, empty until the issue building the
//   subsystem calls it directly. An empty entry does nothing (or, for the
//   drawable selections, fails as a surface that does not exist).
int yycurrentdialogid();  // lib/dialog
void yyfieldselect(std::int32_t& field, std::int32_t& width, std::int32_t& height);  // lib/dialog

struct GraphicsLinks {
    // Screen side: the screen device (test seam) and the CGM memory-metafile
    // recorder.
    GraphicsDriver screen_device = &yygapi;
    GraphicsDriver cgm_recorder = nullptr;
    // Hardcopy drivers by HardcopyDriverNumber.
    std::array<GraphicsDriver, HardcopyDriverSlots> hardcopy_drivers{};

    // Window layer (test seams): make a slot the current window (reports
    // 1003 under "YYWINSEL" for a bad slot) and release a special drawing
    // target.
    void (*window_select)(int slot) = &windowselect;
    void (*select_none)() = &yygrselectnone;
    // Memory bitmaps (test seam): select bitmap index 0..19; err > 0 on
    // failure.
    void (*bitmap_select)(int index, int& err, int& width, int& height) = &yybitmapselect;
    // Dialogs (test seam): the id of the current dialog (0 = none).
    int (*current_dialog)() = &yycurrentdialogid;
    // Dialogs (test seam): selecting one of the current dialog's graphics
    // fields (ident becomes -1 when the field cannot be used).
    void (*field_select)(std::int32_t& ident, std::int32_t& width, std::int32_t& height) = &yyfieldselect;
    // Memory metafiles: select metafile 1..20; err > 0 on failure; sets the
    // recorder flag for a CGM metafile.
    void (*metafile_select)(int ident, int& err, int& width, int& height) = nullptr;
};

extern GraphicsLinks grlinks;

// Screen router: the CGM recorder while the drawable is a CGM memory
// metafile, otherwise the screen device (which ignores everything while
// screen graphics are off).
void yygdrv(std::int32_t op);
// True while yygdrv passes nothing on: the drawable is a CGM memory metafile
// without a recorder, or the screen device is absent or the screen device
// proper with screen graphics off. An operation sent then changes nothing.
bool yygdrvidle();
// Hardcopy router: the selected hardcopy driver while hardcopy output is
// active, otherwise nothing.
void yyhdrv(std::int32_t op);
// The selected hardcopy driver, called directly; numbers outside 1..12, and
// 5 and 7, do nothing.
void xxhcif(std::int32_t op);

// A device coordinate as a whole pixel: truncated toward zero whatever the
// rounding mode; NaN gives 0 and values beyond the integer range the nearest
// end of it.
// Inline: every vertex of every primitive passes through it.
inline std::int32_t yytrunc(float value) {
    if (std::isnan(value)) return 0;
    constexpr float lo = static_cast<float>(std::numeric_limits<std::int32_t>::min());
    // The largest float below 2^31.
    constexpr float hi = 2147483520.0f;
    if (value <= lo) return std::numeric_limits<std::int32_t>::min();
    if (value >= hi) return value > hi ? std::numeric_limits<std::int32_t>::max() : 2147483520;
    // The conversion instruction truncates toward zero whatever the current
    // rounding mode.
    return static_cast<std::int32_t>(value);
}
