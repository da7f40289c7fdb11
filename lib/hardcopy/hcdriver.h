#pragma once
// What every hardcopy driver shares: opening its output on the driver
// channel as the contract asks, and the operand counts read within the
// blocks they index; and the writers of numbers in fixed fields and of
// colours that the file drivers share.
#include <cstdint>
#include <initializer_list>
#include <utility>
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
