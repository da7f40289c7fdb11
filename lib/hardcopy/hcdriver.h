#pragma once
// What every hardcopy driver shares: opening its output on the driver
// channel as the contract asks, and the operand counts read within the
// blocks they index.
#include <cstdint>

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
