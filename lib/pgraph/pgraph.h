#pragma once
// Presentation graphics: the routines the graphics core calls when it
// initialises. The plot state itself lives in lib/pgraph/pgstate.h.
#include <optional>

// Plot-state defaults that the graphics initialisation writes, in two steps
// around its calls of ipgunits and ipgnewplot1.
void yypgdefaults1();
void yypgdefaults2();

void ipgunits(float xmin, float ymin, float xmax, float ymax);
void ipgnewplot1(int itype, int nsets, int nvalue, std::optional<int> istyle = std::nullopt,
                 std::optional<int> idef = std::nullopt);
void ipgnewplot2(int itype, int nsets, int nvalue, std::optional<int> istyle = std::nullopt,
                 std::optional<int> idef = std::nullopt);
