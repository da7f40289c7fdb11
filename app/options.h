#pragma once
// The Options command: which node quantities (GridOptions) are active, and
// whether resistances are taken as leakance.
#include <array>
#include <cstdint>

// states(i) := value for i = first, first + step, ... while i <= 3 naq.
void options(int first, int step, int naq, std::array<std::int32_t, 52>& states, std::int32_t value);

// Options (40005): dialog 102, its boxes for the model's aquifers; OK (or
// the close box) takes them. Every box opens clear.
void cmd_options();
