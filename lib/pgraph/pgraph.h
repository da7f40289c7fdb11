#pragma once
// Presentation graphics: the plot description and its setters, the plot
// declaration and the conversion of plot units to graphics units. The plot
// state itself lives in lib/pgraph/pgstate.h.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// Plot-state defaults that the graphics initialisation writes, in two steps
// around its calls of ipgunits and ipgnewplot1.
void yypgdefaults1();
void yypgdefaults2();

// Plot area (fractions of the graphics-unit range) and plot units.
void IPgArea(float xleft, float ylower, float xright, float yupper);
void ipgunits(float xmin, float ymin, float xmax, float ymax);
void IPgUnitsZ(float zmin, float zmax);
void IPgUnitsPolar(float r);

// Logarithmic axes: "LOG" (first three letters, any case) asks for one.
void ipgscaling(std::string_view xscale, std::string_view yscale);

// User tick values of one axis; n <= 0 switches them off. At most 100 are
// kept, and never more than the array holds.
void ipgxuserscale(std::span<const float> values, std::int32_t n);
void ipgyuserscale(std::span<const float> values, std::int32_t n);
void ipgzuserscale(std::span<const float> values, std::int32_t n);

// Plot declaration. nvalue holds the value counts of up to three
// dimensions; elements a type reads but the caller did not pass count as 0.
void ipgnewplot1(std::int32_t itype, std::int32_t nsets, std::span<const std::int32_t> nvalue,
                 std::optional<std::int32_t> istyle = std::nullopt,
                 std::optional<std::int32_t> idef = std::nullopt);
void ipgnewplot2(std::int32_t itype, std::int32_t nsets, std::span<const std::int32_t> nvalue,
                 std::optional<std::int32_t> istyle = std::nullopt,
                 std::optional<std::int32_t> idef = std::nullopt);
// The same with a single value count.
void ipgnewplot1(int itype, int nsets, int nvalue, std::optional<int> istyle = std::nullopt,
                 std::optional<int> idef = std::nullopt);
void ipgnewplot2(int itype, int nsets, int nvalue, std::optional<int> istyle = std::nullopt,
                 std::optional<int> idef = std::nullopt);

// Setters: each stores one setting, clamped or ignored when out of range.
void ipgxscaleangle(float angle, float textangle);
void ipgyscaleangle(float angle, float textangle);
void ipgzscaleangle(float angle, float textangle);
void ipgstyleoutline(std::int32_t colour);
void ipgmarker(std::int32_t iset, std::int32_t marker);
void ipggriddirection(std::int32_t code);
void ipgelevation(float angle);
void ipgrotation(float angle);
void ipgxscalepos(float p);
void ipgyscalepos(float p);
void ipgxlabelpos(float p);
void ipgylabelpos(float p);
void ipgzlabelpos(float p);
void ipgtitlepos(float p);
void ipgxtickpos(float vmin, float vmax);
void ipgytickpos(float vmin, float vmax);
void ipgxkeypos(float p);
void ipgconfill2granul(std::int32_t n);
void ipgmarkerfrequency(std::int32_t n1, std::int32_t n2);
void ipgdecimalplaces(std::int32_t n);
void ipgxticklength(float l);
void ipgyticklength(float l);
void ipgzticklength(float l);

// Plot units to graphics units.
void ipgunitstogrunits(float x, float y, float& gx, float& gy);

// Axes of the current plot: a cross through (xcross, ycross) for 2-D plots
// (absent counts as 0; a value outside the plot range puts that axis at the
// minimum), the box of a 3-D plot, the diameters and circle of a polar plot.
void ipgaxes(std::optional<float> xcross = std::nullopt, std::optional<float> ycross = std::nullopt);

// Numeric scales along one side. Option letters, either case: "I" inward
// ticks, "T" outward ticks, "N" numbers; a blank string gives outward ticks
// with numbers. ipgzscale keeps the side of the previous scale call.
void ipgxscale(std::string_view options);
void ipgxscaletop(std::string_view options);
void ipgyscaleleft(std::string_view options);
void ipgyscaleright(std::string_view options);
void ipgzscale(std::string_view options);

// Text labels where the numbers would stand (on a plot of type 9: the boxed
// cell row). The first n texts are used; each either as one view of a span,
// or cut from one buffer of n texts of `length` characters each.
void ipgxtext(std::span<const std::string_view> texts, std::int32_t n);
void ipgxtexttop(std::span<const std::string_view> texts, std::int32_t n);
void ipgytextleft(std::span<const std::string_view> texts, std::int32_t n);
void ipgytextright(std::span<const std::string_view> texts, std::int32_t n);
void ipgztext(std::span<const std::string_view> texts, std::int32_t n);
void ipgxtext(std::string_view buffer, std::size_t length, std::int32_t n);
void ipgxtexttop(std::string_view buffer, std::size_t length, std::int32_t n);
void ipgytextleft(std::string_view buffer, std::size_t length, std::int32_t n);
void ipgytextright(std::string_view buffer, std::size_t length, std::int32_t n);
void ipgztext(std::string_view buffer, std::size_t length, std::int32_t n);
