#pragma once
// BLN map files to ASCII DXF drawings.
#include <string>
#include <string_view>

// Converts the BLN file into a DXF file (replaced). On bad input or a file
// that cannot be read or written the error is reported, false is returned and
// no DXF file is left behind.
bool bln2dxf(std::string_view bln, std::string_view dxf);

// The DXF layer name for an output file: "0" followed by the file's own name
// (without directories), characters a layer name may not hold replaced by "_".
std::string dxf_layer_name(std::string_view dxf);
