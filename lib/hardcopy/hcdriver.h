#pragma once
// What every hardcopy driver shares: opening its output on the driver
// channel as the contract asks, and the operand counts read within the
// blocks they index; and the writers of numbers in fixed fields and of
// colours that the file drivers share.
#include <cstdint>
#include <cstddef>
#include <array>
#include <initializer_list>
#include <utility>
#include <vector>
#include <string>
#include <string_view>

// Opens the working output name on channel 2 with the last error saved
// around it. On failure the channel has reported, hardcopy output is
// switched off so that no further operation of the run reaches the driver,
// and the result is false.
bool driver_open_output();

// The character count of operation 22 (IX(1)) within 0..260, the length
// of DriverText.
std::int32_t driver_text_count();
// The point count of operations 15, 16 and 32 (N) within 0..5000, the
// length of the quin01 coordinate arrays.
std::int32_t driver_point_count();

// Operation 38: reads the image named by the working output name, IX(2) x
// IY(2) PackedRGB pixels row by row, into PIXELS. The size is checked
// before the array is made: 0 or less, or above 64 million pixels, loads
// nothing and answers K = 27. A reader error answers K = its code and N =
// the operating-system word, with no message, and leaves its code set.
// Otherwise the last error code is restored, K = 0 and the result is true.
bool driver_load_image(std::vector<std::int32_t>& pixels);

// ---------------------------------------------------------------- shared writers

// VALUE with the edit descriptor Fw.d of the library's number writer
// (right-justified in w characters, d decimals, halves rounded away from
// zero, "0." before a fraction, "-" for negatives), except that a value the
// field cannot hold is written with all the digits it needs instead of w
// asterisks: readers of these files take any width, but no reader takes
// asterisks. A value that is not a number or infinite is written as 0.
std::string fixed_real(float value, int w, int d);
// VALUE with Iw, widened in the same way.
std::string fixed_int(std::int64_t value, int w);
// The text without leading and trailing blanks.
std::string_view trimmed(std::string_view text);
// Red, green and blue (0..255) of a colour value in the current colour
// model.
struct Rgb {
    std::int32_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};
Rgb colour_components(std::int32_t colour);

// The own values of a vector file driver at operation 1.
struct VectorDriverValues {
    std::int32_t number;
    std::initializer_list<std::pair<int, std::int32_t>> options;  // code, value
    std::int32_t dots_per_inch;
    std::int32_t colours;
    std::string_view capabilities;
    float text_size_limit;
    std::string_view output_name;
    std::int32_t can_spool;
};
// Operation 1 of a vector file driver: a probe gets the number only;
// otherwise the common option defaults, then the driver's options,
// resolution, colours and name, and the device words of a vector device
// (8-bit characters, text at any angle, true colour, no gradient fill,
// whole strings of hardware text, no text background of its own).
void vector_driver_initialise(const VectorDriverValues& values);

// ---------------------------------------------------------------- HP-GL lines
// The command line writer of the two HP-GL drivers. Every line goes to
// channel 2 through HpglLineBuffer: blanks directly after the two-letter
// command vanish, any other run of blanks becomes one, trailing blanks go,
// the line-mode blank (LineModeWord 1) comes first and CR LF last.
// Coordinates are device units turned into user units 0..32760 by the
// hardcopy scale and truncated toward zero.
constexpr std::size_t HpglLineColumns = 50;
extern std::string HpglLineBuffer;
// The scaling every file sets after its initialisation, and that undoes
// the metadata records and the aspect lines of arcs and ellipses.
constexpr std::string_view HpglScaleLine = "SC0 32760 0 32760";

// Command (its first two characters) and a point.
void yyhpg1(std::string_view command, float x, float y);
// "LB" and the text as passed, not squeezed.
void yyhpg2(std::string_view text);
// A command string, squeezed.
void yyhpg3(std::string_view command);
// Metadata point records: a device point, scaled; two reals as they are.
void yyhpg4(float x, float y);
void yyhpg5(float a, float b);
// Metadata record "SC-" code a b c + 32760, with the restoring scaling
// when RESTORE is non-zero. Option 18 = 0 writes none of these records.
void yyhpg6(std::int32_t code, std::int32_t restore, std::int32_t a, std::int32_t b, std::int32_t c);
// The buffer as it stands, squeezed.
void yyhpg7();
// Arc (34) or wedge (13) of the HP-GL driver with the restore line.
void yyhpg0(std::int32_t op, std::string_view restore);
// The same for the HP-GL/2 driver (its fill comment and "PD;").
void yyhpgl2e(std::int32_t op, std::string_view restore);

// The squeezed form of a line (at least its first two columns).
std::string hpgl_squeezed(std::string_view line);
// The line into HpglLineBuffer (whole, at least its 50 columns), then
// squeezed out of it.
void hpgl_line(std::string_view line);
// A line written as it stands after the line-mode blank, with CR LF.
void hpgl_write(std::string_view line);
// VALUE in Iw / Fw.d; a value that fills its field or needs more gets a
// blank before it, so it never runs into the number before it.
std::string hpgl_int(std::int64_t value, int w);
std::string hpgl_real(float value, int w, int d);
// User units of a device coordinate.
std::int64_t hpgl_user_x(float x);
std::int64_t hpgl_user_y(float y);
// Truncation toward zero of any value; not a number gives 0.
std::int64_t hpgl_trunc(double v);
// The aspect line for axis ratio value N; the centre and radius change to
// the new user scale.
void hpgl_aspect(std::int64_t n, std::string_view restore, float& x, float& y, float& r);
// The label text as plotters take it: the terminator inside it becomes a
// blank, so it cannot end the label early.
std::string hpgl_label_text(std::string_view text, char terminator);

// What the two HP-GL drivers draw alike.
// True while the driver channel is open.
bool hpgl_channel_open();
// COMMAND padded to column FROM - 1, then the four values in I7.
void hpgl_points_line(std::string command, const std::array<std::int32_t, 4>& p, std::size_t from);
// "PU" to the point unless the pen stands there.
void hpgl_move_unless_there(float x, float y);
// Operation 2 and 26 without the page start: a line, a point.
void hpgl_segment();
void hpgl_point();
// Operation 24: the graphics area as the input window of the plotter with
// T plotter units per point and P1, P2.
void hpgl_clip(float t, const std::array<std::int32_t, 4>& p);
// Operation 33: "DI" with the cosine and sine of the text angle.
void hpgl_text_direction();
// "PU" to the first point, "PM0", "PD" to the others, "PM2;FP".
void hpgl_filled_points(const float* xs, const float* ys, std::size_t n);
// The ellipse of operation 5 after its "PU" and record: the aspect line
// for the axis ratio X(3), the circle (in polygon mode when FILLED), the
// scale line.
void hpgl_ellipse_body(bool filled);
