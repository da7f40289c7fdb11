#pragma once
// A small spooling file driver that keeps the hardcopy driver contract: the
// pattern a driver follows, and the driver the front-end and print-command
// tests run. It writes one text line per operation through channel 2.
#include <cstdint>

constexpr std::int32_t SampleDriverNumber = 3;

void sample_driver(std::int32_t op);
// Enters it in the driver table under SampleDriverNumber.
void install_sample_driver();
