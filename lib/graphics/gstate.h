#pragma once
// The graphics state: one static block holding the drawable, the side flags,
// colours, drawing attributes, the text state, the device descriptions of the
// screen and hardcopy sides, the drawing area with its transform, and the
// hardcopy words the graphics core shares with the hardcopy drivers. Also the
// operand block of the driver protocol (DriverArguments, DriverText, quin01).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lib/graphics/strokefont.h"
#include "lib/hardcopy/hcstate.h"

// ---------------------------------------------------------------- colours

// Device colour number, palette index (-1 = not yet determined), packed RGB.
// The element whose index equals the ColourModel is the colour in the model's
// own terms; devices read the current colour by that index.
struct ColourTriple {
    std::array<std::int32_t, 3> v{};
    std::int32_t& device() { return v[0]; }
    std::int32_t& index() { return v[1]; }
    std::int32_t& rgb() { return v[2]; }
    std::int32_t device() const { return v[0]; }
    std::int32_t index() const { return v[1]; }
    std::int32_t rgb() const { return v[2]; }
    // The colour in the terms of model 1 (palette index) or 2 (packed RGB).
    std::int32_t in_model(std::int32_t model) const { return model == 2 ? v[2] : v[1]; }
    bool operator==(const ColourTriple&) const = default;
};

// ---------------------------------------------------------------- text

// The text fields of the graphics state, in declaration order. The stroke
// font record and the width table are the stroke-font code's types.
struct TextState {
    float char_width = 0.0f;     // fraction of the drawing area's width
    float char_height = 0.0f;    // fraction of the drawing area's height
    float slant = 0.0f;          // italic shear of stroke text
    float cells_across = 0.0f;   // drawable width / device character width
    float cells_down = 0.0f;     // drawable height / device character height
    StrokeFont stroke_font{};    // the current stroke font
    // Advance widths: codes 32..127 in entries 0..95, 161..255 in 96..190.
    CharacterWidthTable widths{};
    float angle = 0.0f;          // degrees, [0, 360)
    float cos_angle = 0.0f;
    float sin_r = 0.0f;          // sin(angle) * r
    float sin_over_r = 0.0f;     // sin(angle) / r
    // Along and down terms of the string being drawn (device units):
    // cos*w, sin_r*w, cos*h, sin_over_r*h. The along vector is the first
    // two; the down vector (towards the bottom of the text) is
    // (sin_over_r*h, -cos*h).
    std::array<float, 4> along_down{};
    std::int32_t stroke_mode = 0;    // 1 stroke text, 0 hardware text
    std::int32_t HardwareFontFamily = 0;
    std::int32_t substitute_font = 0;  // 1 fixed, 2 swiss, 3 roman, 4 symbol
    std::int32_t TextStyle = 0;  // 1 bold, 2 italic, 4 underline, 8 background box
    std::int32_t direction = 0;
    std::int32_t justification = 0;  // 0 left, 1 centre, 2 right
    std::int32_t unread_word = 0;
    std::int32_t TextPitch = 0;      // 0 fixed, 1 proportional by table, 2 by device
    std::int32_t loaded_bold = 0;
    std::array<std::int32_t, 2> substitution_enabled{};  // screen, hardcopy
    std::string font_name = std::string(100, ' ');
};

// ---------------------------------------------------------------- devices

constexpr int ScreenSide = 0;
constexpr int HardcopySide = 1;

// What a device installs for its side at operation 1.
struct DeviceDescription {
    float TextSizeThreshold = 0.0f;
    std::int32_t charset_bits = 0;
    std::string DeviceCapabilities = std::string(29, ' ');
    std::int32_t TextRotationCapability = 0;
    std::int32_t platform_variant = 0;
    std::int32_t true_colour = 0;
    std::int32_t gradient_type = 0;
};

// ---------------------------------------------------------------- hardcopy words

// HardcopyOptionTable: options 1..29 and 101..108.
struct HardcopyOptionTable {
    std::array<std::int32_t, 37> slots{};
    // Slot of an option code, -1 for a code outside 1..29 and 101..108.
    static int slot(int code) {
        if (code >= 1 && code <= 29) return code - 1;
        if (code >= 101 && code <= 108) return 29 + code - 101;
        return -1;
    }
    // The codes the Windows printer's page fills (query_printer_page): a
    // query put off is carried out before one of them is read or written.
    static constexpr bool printer_page_code(int code) { return (code >= 1 && code <= 5) || code == 7 || code == 8; }
    // Value of an option; 0 for an unknown code.
    std::int32_t get(int code) const {
        if (printer_page_code(code)) settle_printer_page();
        const int s = slot(code);
        return s < 0 ? 0 : slots[static_cast<std::size_t>(s)];
    }
    // Stores an option; an unknown code changes nothing.
    void set(int code, std::int32_t value) {
        if (printer_page_code(code)) settle_printer_page();
        const int s = slot(code);
        if (s >= 0) slots[static_cast<std::size_t>(s)] = value;
    }
};

// Number of the selected hardcopy driver when nothing was chosen: the
// Windows printer.
constexpr std::int32_t DefaultHardcopyDriver = 10;

// The hardcopy words inside the graphics state: the part of the hardcopy
// state that the graphics core reads or writes.
struct HardcopyWords {
    HardcopyOptionTable options;
    std::string output_name = std::string(260, ' ');  // hardcopy output file name
    std::int32_t selected_driver = DefaultHardcopyDriver;  // what xxhcif calls
    std::int32_t active_driver = 0;    // number stored by a driver at its operation 1
    std::int32_t page_in_progress = 0;
    std::int32_t colour_count = 0;     // colours of the active hardcopy device
    float HardcopyFillSpacing = 0.0f;
    float x_scale = 0.0f;              // driver units per device unit
    float y_scale = 0.0f;
    std::array<std::int32_t, 2> resize_words{};  // cleared by every size change
    // Text flags of the hardcopy side: whole proportional strings, own text
    // background, and a third one without a reader.
    std::int32_t whole_strings = 0;
    std::int32_t own_text_background = 0;
    std::int32_t third_text_flag = 0;
};

// ---------------------------------------------------------------- the block

struct GraphicsState {
    // Drawable.
    std::int32_t DrawableType = 1;       // 1 window, 2 bitmap, 3 dialog field, 4 metafile
    std::int32_t drawable_id = 0;
    std::int32_t dialog_id = 0;
    std::int32_t temporary_selection = 0;
    std::int32_t recorder_flag = 0;
    std::int32_t width = 0, height = 0;          // W, H in pixels
    std::int32_t width_max = 0, height_max = 0;  // W - 1, H - 1

    // Side flags.
    std::int32_t screen_flag = 0;
    std::int32_t hardcopy_flag = 0;

    // Colours.
    std::int32_t colour_count = 0;          // graphics colour count n
    std::int32_t chosen_palette_size = 16;  // chosen when the root window opens
    ColourTriple PreviousColour;
    ColourTriple CurrentColour;
    std::int32_t palette_size_copy = 0;
    std::int32_t ColourModel = 1;

    // Drawing attributes.
    std::int32_t PlotMode = 0;
    std::int32_t LineType = 0;
    std::int32_t screen_line_width = 0;     // pixels
    std::int32_t metafile_line_width = 0;   // tenths of a point
    std::int32_t fill_style = 0;
    std::int32_t fill_density = 2;  // the defaults of igrfillpattern
    std::int32_t fill_angle = 3;
    std::int32_t outline_flag = 0;
    std::array<std::int32_t, 2> FillEmulationRequest{};  // screen, hardcopy
    std::int32_t stroke_text_flag = 0;

    TextState text;

    // Device descriptions per side (ScreenSide, HardcopySide).
    std::array<DeviceDescription, 2> device{};

    // Area, units and transform.
    float aspect_ratio = 1.0f;
    float x1 = 0.0f, y1 = 0.0f, x2 = 1.0f, y2 = 1.0f;   // area fractions
    float area_width_x = 1.0f, area_width_y = 1.0f;      // x2 - x1, y2 - y1
    float ux1 = 0.0f, uy1 = 0.0f, ux2 = 1.0f, uy2 = 1.0f;  // world units
    float pos_x = 0.0f, pos_y = 0.0f;                    // current position (world)
    float wx1 = 0.0f, wy1 = 0.0f, wx2 = 0.0f, wy2 = 0.0f;  // device window
    std::array<float, 4> clip_box{};
    std::int32_t ix1 = 0, iy1 = 0, ix2 = 0, iy2 = 0;     // integer clip window
    std::int32_t iclip_width = 0, iclip_height = 0;
    float extent_x = 0.0f, extent_y = 0.0f;              // W - 0.01, H - 0.01
    float area_size_x = 0.0f, area_size_y = 0.0f;        // wx2 - wx1, wy2 - wy1
    float unit_range_x = 1.0f, unit_range_y = 1.0f;
    // Copies of the area size and unit ranges taken when the area or units
    // are set; character sizes are computed from them.
    float text_ref_size_x = 0.0f, text_ref_size_y = 0.0f;
    float text_ref_range_x = 1.0f, text_ref_range_y = 1.0f;
    float sx = 0.0f, sy = 0.0f;                          // device units per world unit

    HardcopyWords hc;
};

extern GraphicsState gstate;

// ---------------------------------------------------------------- operands

// Operand block of the driver protocol. IX[0] is IX1 ... IX[3] is IX4, the
// same for IY, X and Y.
struct DriverArguments {
    std::array<std::int32_t, 4> IX{};
    std::array<std::int32_t, 4> IY{};
    std::array<float, 4> X{};
    std::array<float, 4> Y{};
    std::int32_t K = 0;
    std::int32_t N = 0;
    bool operator==(const DriverArguments&) const = default;
};

extern DriverArguments drvargs;

// 260-character text operand of operations 20, 22, 25 and 38; shared with
// the hardcopy working output name and used as scratch by file routines.
constexpr std::size_t DriverTextLength = 260;
extern std::string DriverText;

// The shared work block: two arrays of 5000 single-precision coordinates for
// point lists, and a 40,000-byte buffer for the image writers.
constexpr int WorkBlockPoints = 5000;
struct WorkBlock {
    std::array<float, WorkBlockPoints> X{};
    std::array<float, WorkBlockPoints> Y{};
    unsigned char* bytes() { return reinterpret_cast<unsigned char*>(this); }
    static constexpr std::size_t byte_size() { return 2 * WorkBlockPoints * sizeof(float); }
};
static_assert(sizeof(WorkBlock) == 40000);

extern WorkBlock quin01;

// ---------------------------------------------------------------- routines

// Graphics initialisation. Option letters, in either case: "H" no screen
// graphics, "P" keep the hardcopy page options and output name. The three
// integers are accepted and not read.
void igrinit(std::string_view options = {}, std::optional<int> = std::nullopt,
             std::optional<int> = std::nullopt, std::optional<int> = std::nullopt);

// Make drawable ITYPE (1 window, 2 memory bitmap 1..20, 3 graphics field of
// the current dialog, 4 memory metafile 1..20) the screen-side surface.
void IGrSelect(int itype, std::optional<int> ident = std::nullopt);

// Plot mode by letter: "N" normal, "O" or, "A" and, "E" exclusive or.
void igrplotmode1(std::optional<std::string_view> chmode = std::nullopt);
inline void IGrPlotMode(std::optional<std::string_view> chmode = std::nullopt) { igrplotmode1(chmode); }
// Plot mode by number: 0 normal, 1 or, 2 and, 3 exclusive or.
void igrplotmode2(std::optional<int> mode = std::nullopt);

// Reset the hardcopy option defaults every hardcopy driver starts from.
void yydefh();

// A drawable got a new pixel size; acts only when it is the current drawable.
void yyresn(int type, int ident, int width, int height);

// Back to the state of a freshly started process: the graphics state, the
// operand blocks, the palette tables and the device and subsystem links.
// For tests.
void reset_graphics_state();
