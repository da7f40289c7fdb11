// Temporary bodies until the presentation-graphics state exists; the
// presentation-graphics work replaces this file.
#include "lib/pgraph/pgraph.h"

void yypgdefaults1() {}
void yypgdefaults2() {}
void ipgunits(float, float, float, float) {}
void ipgnewplot1(int, int, int, std::optional<int>, std::optional<int>) {}
void ipgnewplot2(int, int, int, std::optional<int>, std::optional<int>) {}
