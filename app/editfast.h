#pragma once
// The edit descriptors the grid and profile files are written with, appended
// straight to a text: the same characters as edit_i, edit_f and edit_g
// (app/records.h), without the general-purpose formatting on the way.
#include <string>

// Appends edit_i(v, w).
void append_i(std::string& out, long long v, int w);
// Appends edit_f(v, w, d).
void append_f(std::string& out, double v, int w, int d);
// Appends edit_g(v, w, d).
void append_g(std::string& out, double v, int w, int d);
// Appends one record of count >= 1 values in the layout (nGw.d): n values a
// line, each line ended by CR LF, as FormWrite writes it.
void append_g_record(std::string& out, const float* v, int count, int n, int w, int d);
