#pragma once
// Queries about the screen side of the graphics: InfoGrScreen reads the
// graphics state and the screen device description, InfoDeviceName the
// names of the selected printer and plotter models. Neither draws.
#include <cstdint>
#include <string>

std::int32_t InfoGrScreen(std::int32_t item);
// ITYPE 1 raster printer (27 characters), 2 plotter (27), 3 HP-GL/2 device
// (31); other types give a blank NAME. A NAME shorter than the name's width
// gets what fits and error 1023.
void InfoDeviceName(std::int32_t itype, std::string& name);
