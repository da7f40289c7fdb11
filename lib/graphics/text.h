#pragma once
// Graphics text: the settings of the text state (font, style, size, angle,
// pitch), measuring, the choice between hardware and stroke text, the stroke
// fonts as the current font of the text state, and the drawing of a string
// at a world position on the screen and the hardcopy side.
//
// Text arguments carry their declared length: trailing blanks are
// characters here, measured and drawn as spaces.
#include <cstdint>
#include <optional>
#include <string_view>

#include "lib/graphics/strokefont.h"

// ---------------------------------------------------------------- settings

// Select text mode, hardware family, style, size, face name and pitch. FAMILY
// 1 stroke text, 2 hardware text, 100..104 a hardware family (100 the named
// face). Operation 21 goes out only when something the devices use changed.
void WGrTextFont(std::optional<int> family = std::nullopt, std::optional<int> style = std::nullopt,
                 std::optional<float> width = std::nullopt, std::optional<float> height = std::nullopt,
                 std::optional<std::string_view> name = std::nullopt,
                 std::optional<int> pitch = std::nullopt);
// Character size in relative units: 1.0 is 75 characters across and 25 lines
// down the drawing area; a size <= 0 counts as 1.0.
void igrcharsize(float width, float height);
// Character size as fractions of the drawing area (<= 0: the default), then
// yychdfont.
void yychsize(float width, float height);
// Recompute the substitute font and select the device font again.
void yychdfont();
// Text angle in degrees, kept in [0, 360); operation 33 to both sides.
void yychrot(float angle);
// Length of STRING in character widths. MEASURE 0 lets a hardware font
// measure it through the device.
float wgrtextlength(std::string_view string, int measure = 0);
// RESULT := 1 when SIDE (0 screen, 1 hardcopy) must get stroke text instead
// of hardware text of W x H device units.
void yychsubst(int side, float w, float h, int& result);
// MODE != 0: save the stroke font and the stroke mode; MODE 0: restore them.
void yychsave(int mode);
// Built-in width of one character code, or of all codes with CODE 0.
void yychspace(int code);

// ---------------------------------------------------------------- stroke fonts

// Install a font: SLOT 0 the current font, SLOT 1 a second record nothing
// draws from. A font that does not fit the store or does not decode is not
// installed. LOW holds 96 entries with the code-128 flag (FLAGS bit 2), else
// 95; HIGH holds 96.
void yychsfont(float cellw, float cellh, float boxw, float boxh, int charset, int flags,
               int defpitch, int slot, std::string_view name, std::string_view glyphs,
               const std::int32_t* low, const std::int32_t* high);
// Draw STRING with the current stroke font from (X, Y), the start of the
// text on its reference line, at a character size of W x H device units.
void yychdraw(float x, float y, std::string_view string, float w, float h);

// Loaders of the built-in fonts. The family loaders pick the bold or the
// normal variant by the bold bit of the text style and record it.
void wgrofontfixed();
void wgrofontroman();
void wgrofontswiss();
void wgrofontsymbol();
void wgrvfontstandard(std::optional<int> slot = std::nullopt);
void yyoffixed();
void yyoffixedbold();
void yyofroman();
void yyofromanbold();
void yyofswiss();
void yyofswissbold();

// ---------------------------------------------------------------- drawing

// Draw STRING at (X, Y) in world units (an absent coordinate: the current
// position's), placed by the justification; the current position moves
// behind the text.
void wgrtextstring(std::optional<float> x, std::optional<float> y, std::string_view string);
void igrcharout(float x, float y, std::string_view string);
void igrcharoutrel(std::string_view string);
// Fill the background box of the first N characters of a text starting at
// (X, Y) in the previous colour, on the sides SCREEN and HARDCOPY allow.
void yychback(float x, float y, std::string_view string, int measure, int screen, int hardcopy,
              int n);

// ---------------------------------------------------------------- state

// What the text layer keeps besides the text state: the one saved copy of
// the stroke font, and the second font record of slot 1.
struct TextLayerState {
    StrokeFont saved_font{};
    std::int32_t saved_stroke_mode = 0;
    bool saved = false;  // a copy exists to restore
    StrokeFont slot1_font{};
};

extern TextLayerState textlayer;

void reset_text_layer();
