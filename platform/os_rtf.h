#pragma once
// Our own RTF reader and writer for what the rich-edit control keeps: text
// (Windows-1252 with \'hh escapes and \uN for the rest), paragraphs, tabs,
// bold, italic, underline, strike-out, size, text and background colours,
// table rows (cells apart by tabs, a paragraph per row),
// a font table with character set and family, alignment, indents, tab
// stops, bullets and protected text. The reader skips what it does not
// know (control words, destinations, pictures, binary data), keeps the
// results of fields, and is safe on any input: nesting and numbers are
// bounded and \bin is checked against what is left of the input.
// Plain C++: no toolkit types, so it can be checked on its own.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace osrtf {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour&) const = default;
};

enum FontFamily : std::int32_t { FamilyNil = 0, FamilyRoman, FamilySwiss, FamilyModern, FamilyScript, FamilyDecor };

struct Font {
    std::string face;          // UTF-8
    std::int32_t charset = 0;  // \fcharsetN
    std::int32_t family = FamilyNil;
    bool operator==(const Font&) const = default;
};

struct CharFormat {
    bool bold = false, italic = false, underline = false, strike = false, protect = false;
    std::int32_t half_points = 24;  // \fsN: size in half points
    std::int32_t font = 0;          // index into Document::fonts
    std::int32_t colour = 0;        // index into Document::colours, 0 automatic
    std::int32_t back = 0;          // likewise for the background
    bool operator==(const CharFormat&) const = default;
};

enum Align : std::int32_t { AlignLeft = 0, AlignCentre = 1, AlignRight = 2, AlignJustify = 3 };

struct ParaFormat {
    std::int32_t align = AlignLeft;
    std::int32_t left = 0, right = 0, first = 0;  // twips
    std::vector<std::int32_t> tabs;               // twips, ascending
    bool bullet = false;
    bool operator==(const ParaFormat&) const = default;
};

struct Run {
    std::string text;  // UTF-8; a TAB character stands for \tab
    CharFormat fmt;
};

struct Paragraph {
    ParaFormat fmt;
    std::vector<Run> runs;
};

struct Document {
    std::vector<Font> fonts;        // index = font number as written
    std::vector<Colour> colours;    // entry 0 is the automatic colour
    std::vector<Paragraph> paras;   // at least one after a successful read
};

// Reads RTF. False when the data does not start as RTF ("{\rtf"); any
// damage after that is read as far as it makes sense.
bool read(std::string_view data, Document& out);

// Writes RTF that read() gives back unchanged, and other readers accept.
std::string write(const Document& doc);

// Limits of the reader.
inline constexpr std::int32_t kMaxDepth = 200;
inline constexpr std::int32_t kMaxTabs = 64;
inline constexpr std::int32_t kMaxCells = 4096;  // cells of one row kept apart

}  // namespace osrtf
