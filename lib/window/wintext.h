#pragma once
// Plain text written straight into the current window's client area in a
// window font, at positions in window units, with an optional tag character
// that switches bold, italic, underline and colours inside one text.
//
// The font is described in the window-text state of the library state
// record (quinda.window_text) and made only when its description differs
// from the font made last; the colours and underline are mirrored in the
// window table (wForeCol, wBackCol, wUnderline), the font handle in
// wintext below.
#include <cstdint>
#include <string_view>

#include "lib/window/quinda_state.h"

// Font families of the window font.
enum WindowFontFamily : std::int32_t {
    WindowFontSystem = 0,        // also any other value not listed
    WindowFontSystemFixed = 1,
    WindowFontTimes = 2,
    WindowFontArial = 3,
    WindowFontCourier = 4,
    WindowFontSymbol = 5,
    WindowFontWingdings = 6,
    WindowFontGui = -99,         // only through yycreatefont
};

// The argument of windowfont, eight integers in this order. Sizes are in
// window units; colours index wColor (foreground 0..16, background 0..16,
// 16 meaning the system window colour).
struct WindowFontRecord {
    std::int32_t family = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bold = 0;
    std::int32_t italic = 0;
    std::int32_t underline = 0;
    std::int32_t foreground = 0;
    std::int32_t background = 0;
};

// The platform side of the window text: the window font last made (a stock
// font for the families 0, 1 and -99).
struct WindowTextPlatform {
    OsHandle wFont = 0;
};
extern WindowTextPlatform wintext;

// ---- public -------------------------------------------------------------------------
// Writes a text at (x, y) in window units, its base line at y. Without tags
// the whole text is written, trailing blanks included (they paint the
// background colour); with a tag character only up to its last non-blank.
void windowoutstring(std::int32_t x, std::int32_t y, std::string_view text);
// A family outside 0..6 makes the call do nothing at all.
void windowfont(const WindowFontRecord& record);
// Character width and height in window units.
void windowfontsize(std::int32_t width, std::int32_t height);
void windowfontunderline(std::int32_t flag);
// Indices outside 0..16 leave that colour; background 16 is taken as 17.
void windowfontcolour(std::int32_t foreground, std::int32_t background);

// ---- internal -----------------------------------------------------------------------
void yyfntcol(std::int32_t foreground, std::int32_t background);
// Pixel size of the window font from its size in window units; run when the
// size is set, on every window selection and when the window changes size.
void yyfntsiz();
// Makes the window font when its description changed since the last one.
void yyfntcre();
void yyfntund(std::int32_t flag);
// Writes count - 1 characters of text at pixel (x, y) in the window font and
// colours; x and y come back as the position after the text.
void yystringout(std::int32_t& x, std::int32_t& y, std::string_view text, std::int32_t count);
// Width in pixels of count - 1 characters of text in the window font.
void yystringlen(std::int32_t& width, std::string_view text, std::int32_t count);
void yysetfontcolour(std::int32_t foreground, std::int32_t background);
void yysetfontunderline(std::int32_t flag);
// wColor of index 0..17 := R + 256 G + 65536 B, and on a 256-colour screen
// the matching entry of the screen palette.
void yysetfontcolourrgb(std::int32_t index, std::int32_t red, std::int32_t green, std::int32_t blue);
// Makes the font of a family and replaces the previous one; width and
// height (pixels) come back as the font's average character width and
// height.
void yycreatefont(std::int32_t family, std::int32_t bold, std::int32_t italic, std::int32_t& width,
                  std::int32_t& height);
// Tagged output at (x, y) in window units.
void yytagstr(std::int32_t x, std::int32_t y, std::string_view text);

// The window-text state back to its values at the opening of the root
// window, and the system font made at once.
void yywintextopen();

void reset_wintext_state();
