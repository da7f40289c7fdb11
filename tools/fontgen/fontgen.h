#pragma once
// Font generator: shared declarations.
#include <string>
#include <vector>

inline constexpr char GlyphAlphabetGen[] =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";

// Where one code's glyph comes from: a Unicode character looked up in the
// listed faces in turn (the font's own face when none is listed), or
// nothing (0) for an empty glyph.
struct CodeSource {
    int code;
    unsigned long unicode;
    std::vector<std::string> faces;
};

struct OutlineFont {
    std::string name;        // for messages
    std::string face;        // main TrueType face
    double baseline;         // glyph y of the base line
    double cap_top;          // glyph y of the top of the capital H
    long target;             // exact length of the glyph string
    int place127_blanks;     // blanks standing in the place of code 127
    bool gap_allowed;        // blanks may follow the place of code 127
    int max_stroke_points;
    char penup;
};

// Glyph texts in code order, plus blanks after the place of code 127.
struct FontOutput {
    std::vector<std::string> glyph_text;
    int gap = 0;
};

bool make_outline_font(const OutlineFont& font, const std::vector<CodeSource>& codes,
                       FontOutput& out);

// The standard vector font, drawn by hand; texts for codes 33..127 (127 the
// euro) and 161..255.
bool make_vector_font(long target, FontOutput& out);
