#pragma once
// Stroke fonts: the library's own vector font format.
//
// Every character is a glyph made of strokes; a stroke is a list of points on
// a 56 x 56 grid of glyph units, each point written as two characters of the
// glyph alphabet (x first, y growing upwards). Any character outside the
// alphabet is a pen-up mark that ends a stroke.
//
// This header holds everything about the format that needs no graphics
// state: the font record, glyph decoding, code mapping, the built-in
// character widths and the geometry of drawing a string. The text state owns
// the current font and wires these pieces to the line and polygon primitives.
#include <array>
#include <cstdint>
#include <string_view>

// The 56 coordinate characters; a character's value is its position here.
inline constexpr std::string_view GlyphAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";

inline constexpr int kStrokeFontNameLength = 260;   // blank-padded font name
inline constexpr int kGlyphStoreLength = 17000;     // characters of the glyph string
inline constexpr int kGlyphOffsetCount = 96;        // entries of each offset table
inline constexpr int kStrokePointLimit = 150;       // points of one stroke

// Value 0..55 of a coordinate character, or -1 for a pen-up mark.
int yychvalue(char c);

// The vector font record. Offsets are 1-based positions in `glyphs`.
struct StrokeFont {
    float cell_width = 0;    // glyph units spanned by one character width
    float cell_height = 0;   // glyph units spanned by one character height
    float box_width = 0;     // glyph design box, centred in each advance cell
    float box_height = 0;
    std::int32_t charset_bits = 8;  // 8: codes 161..255 drawn; 7: drawn as spaces
    std::int32_t line_flag = 0;     // 1: strokes are lines; 0: filled outlines
    std::int32_t code128_flag = 0;  // 1: a code-128 glyph sits in the place of 127
    std::int32_t default_pitch = 0; // pitch the font selection gives this font
    char name[kStrokeFontNameLength];
    char glyphs[kGlyphStoreLength];
    std::int32_t low[kGlyphOffsetCount];   // starts of codes 33..127, then the end
    std::int32_t high[kGlyphOffsetCount];  // starts of codes 161..255, then the end
};

// Font constants as handed to the installer: the argument list of a font
// installation. `low` holds 96 entries when FLAGS has the code-128 bit,
// otherwise 95; `high` always 96.
struct StrokeFontData {
    float cell_width, cell_height, box_width, box_height;
    std::int32_t charset_bits;
    std::int32_t flags;          // 1: line font, 2: has a code-128 glyph
    std::int32_t default_pitch;
    std::string_view name;
    std::string_view glyphs;
    const std::int32_t* low;
    const std::int32_t* high;
};

inline constexpr std::int32_t kStrokeFlagLine = 1;
inline constexpr std::int32_t kStrokeFlagCode128 = 2;

// Outcome of installing font constants into a record.
enum class StrokeFontStatus { ok, glyphs_too_long, bad_offsets, bad_glyph };

// Install font constants into `font`: metrics, flags and pitch; the name
// blank-padded to 260; glyph positions 1..L (later positions keep their old
// contents); low offsets 1..96 with the code-128 flag, else 1..95 (entry 96
// keeps the previous font's value); high offsets 1..96. A font whose glyph
// string exceeds the store, whose offsets leave the string or run backwards,
// or which has a glyph that does not decode (a point cut short, a stroke of
// fewer than two points or longer than the point buffer) is rejected and
// `font` is left unchanged.
StrokeFontStatus yychsfont_into(StrokeFont& font, float cellw, float cellh, float boxw,
                                float boxh, std::int32_t charset, std::int32_t flags,
                                std::int32_t defpitch, std::string_view name,
                                std::string_view glyphs, const std::int32_t* low,
                                const std::int32_t* high);
StrokeFontStatus yychsfont_into(StrokeFont& font, const StrokeFontData& data);

// Map a character code (0..255) as it is measured and drawn: 32..126 stay;
// 128 becomes 127 with a code-128 glyph, else 32; 161..255 stay unless the
// character-set bits are 7; everything else becomes 32.
int yychmapcode(const StrokeFont& font, int code);

// Built-in advance widths in character widths: codes 32..127 in entries
// 0..95 (code 127's entry is the width of code 128), codes 161..255 in
// entries 96..190.
using CharacterWidthTable = std::array<float, 191>;
extern const CharacterWidthTable kBuiltinCharacterWidths;

// Entry index of a mapped code (32..127 or 161..255) in a width table.
int yychwidthindex(int mapped_code);

// Length of a string in character widths for stroke measuring: n at pitch
// 0, else the sum of the widths of the mapped codes. Every character counts,
// trailing blanks too.
float yychstrokelength(const StrokeFont& font, const CharacterWidthTable& widths, int pitch,
                       std::string_view s);

// 1-based start and end (exclusive) of the glyph of mapped code c (33..127
// or 161..255) in the font's glyph string; false for codes without a glyph.
bool yychglyphrange(const StrokeFont& font, int c, int& start, int& end);

// One decoded stroke in glyph units. Points are alphabet values.
struct GlyphStroke {
    int count = 0;
    std::array<std::int8_t, kStrokePointLimit> x{}, y{};
};

// Walk a glyph (the characters from start to end-1 of the glyph string) and
// hand each stroke to `emit`. A stroke takes two points unconditionally after
// a pen-up mark or at the start, then more while the next character is in
// the alphabet. Returns false when a stroke would exceed the point buffer or
// the glyph ends inside a point; the strokes before it were emitted.
using GlyphStrokeSink = void (*)(void* ctx, const GlyphStroke& stroke);
bool yychdecode(std::string_view glyph, GlyphStrokeSink emit, void* ctx);

// --- Drawing geometry ---------------------------------------------------

// How one stroke of a string reaches the primitives.
enum class StrokeDraw {
    line,      // two points: one line
    polyline,  // more points of a line font: a polyline
    polygon,   // an outline, filled solid with the even-odd rule
};

// The text-state values a string is drawn with (device units).
struct StrokeTextFrame {
    float x = 0, y = 0;        // start of the text on its reference line
    float w = 0, h = 0;        // character width and height
    float cos = 1;             // cos(angle)
    float sin_r = 0;           // sin(angle) * r
    float sin_over_r = 0;      // sin(angle) / r
    float along_x = 0, along_y = 0;  // along vector (cos*w, sin_r*w)
    float slant = 0;           // italic shear
    int pitch = 0;             // 0 fixed, else proportional
    bool underline = false;    // underline bit of the text style
};

// Points of a stroke in device units, held in the static point buffer of the
// drawing call; valid only during the callback.
using StrokeDeviceSink = void (*)(void* ctx, StrokeDraw kind, const float* x, const float* y,
                                  int count);

// Compute every stroke of STRING in device units with `font` and hand each to
// `emit` in drawing order, the underline (when asked) last as a line. The
// caller brackets the call with what the font needs: solid fill and the
// stroke-text flag for outline fonts, doubled line widths for bold line fonts.
void yychdraw_geometry(const StrokeFont& font, const CharacterWidthTable& widths,
                       const StrokeTextFrame& frame, std::string_view s, StrokeDeviceSink emit,
                       void* ctx);
