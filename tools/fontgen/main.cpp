// fontgen: writes the built-in stroke fonts as C++ sources.
//
//   fontgen OUTDIR       (normally lib/graphics)
//
// Run by hand; its output is committed. The six text fonts come from the
// outlines of the Liberation faces, the symbol font from the DejaVu faces in
// the Symbol layout, the standard vector font from the hand-drawn table in
// vector.cpp.
#include "tools/fontgen/fontgen.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const std::string kLib = "/usr/share/fonts/truetype/liberation2/";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";

struct FontFile {
    std::string stem, routine, name;
    long length;
    const char* cellw;
    const char* cellh;
    const char* boxw;
    const char* boxh;
    int flags, pitch;
    std::string source;
};

// Latin text fonts: ASCII, the euro in the place of 127, Latin-1 above 160.
std::vector<CodeSource> latin_codes() {
    std::vector<CodeSource> v;
    for (int c = 33; c <= 126; ++c) v.push_back({c, static_cast<unsigned long>(c), {}});
    v.push_back({127, 0x20AC, {}});
    for (int c = 161; c <= 255; ++c) v.push_back({c, static_cast<unsigned long>(c), {}});
    return v;
}

// The Symbol layout by Unicode character; 0 where the layout has nothing.
// The horizontal arrow extender (190) is drawn as the horizontal bar, which
// the free faces have.
std::vector<CodeSource> symbol_codes() {
    static const unsigned long low[94] = {
        0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217,  // 33
        0x002B, 0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034,  // 43
        0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E,  // 53
        0x003F, 0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397,  // 63
        0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1,  // 73
        0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B, 0x2234,  // 83
        0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6,  // 93
        0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0,  // 103
        0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6,  // 113
        0x007B, 0x007C, 0x007D, 0x223C};                                                // 123
    static const unsigned long high[95] = {
        0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660,  // 161
        0x2194, 0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7,  // 171
        0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x2015,  // 181
        0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A,  // 191
        0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE,  // 201
        0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0,  // 211
        0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x27E8, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B,  // 221
        0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0x0000,  // 231
        0x27E9, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5,  // 241
        0x23A6, 0x23AB, 0x23AC, 0x23AD, 0x0000};                                        // 251
    const std::vector<std::string> sans = {kDejaVu + "DejaVuSans.ttf",
                                           kDejaVu + "DejaVuMathTeXGyre.ttf",
                                           kDejaVu + "DejaVuSerif.ttf"};
    const std::vector<std::string> serif = {kDejaVu + "DejaVuSerif.ttf"};
    std::vector<CodeSource> v;
    for (int c = 33; c <= 126; ++c) v.push_back({c, low[c - 33], sans});
    v.push_back({127, 0, {}});
    for (int c = 161; c <= 255; ++c)
        // The first of the two registered, copyright and trade marks is the
        // serif one.
        v.push_back({c, high[c - 161], (c >= 210 && c <= 212) ? serif : sans});
    return v;
}

bool write_font(const std::string& dir, const FontFile& ff, const FontOutput& out) {
    const bool symbol = ff.stem == "symbol";
    const bool has128 = (ff.flags & 2) != 0;
    std::ostringstream body;
    std::vector<long> low, high;
    long pos = 1;
    auto glyph_line = [&](int code, const std::string& text) {
        body << "    \"" << text << "\"  // " << code << "\n";
        pos += static_cast<long>(text.size());
    };
    for (int c = 33; c <= 127; ++c) {
        low.push_back(pos);
        std::string t = out.glyph_text[static_cast<std::size_t>(c - 33)];
        glyph_line(c == 127 ? (has128 ? 128 : 127) : c, t);
    }
    if (has128) low.push_back(pos);
    if (out.gap > 0) {
        body << "    \"" << std::string(static_cast<std::size_t>(out.gap), ' ')
             << "\"  // belongs to no glyph\n";
        pos += out.gap;
    }
    for (int c = 161; c <= 255; ++c) {
        high.push_back(pos);
        glyph_line(c, out.glyph_text[static_cast<std::size_t>(c - 161 + 95)]);
    }
    high.push_back(pos);
    const long length = pos - 1;
    if (length != ff.length) {
        std::fprintf(stderr, "%s: length %ld, wanted %ld\n", ff.stem.c_str(), length, ff.length);
        return false;
    }
    auto table = [](const std::vector<long>& t) {
        std::ostringstream s;
        for (std::size_t i = 0; i < t.size(); ++i)
            s << (i % 12 == 0 ? "\n    " : " ") << t[i] << ",";
        return s.str();
    };
    std::ofstream f(dir + "/font_" + ff.stem + ".cpp");
    f << "// Generated by tools/fontgen from " << ff.source << ".\n"
      << "// Do not edit: change the generator and run it again.\n"
      << "#include \"lib/graphics/strokefont_data.h\"\n\n"
      << "namespace {\n\n"
      << "// Glyphs of codes 33.." << (symbol ? "126, the place of 127" : "127 (the code-128 glyph)")
      << " and 161..255; " << length << " characters.\n"
      << "const char kGlyphs[] =\n"
      << body.str() << "    ;\n\n"
      << "const std::int32_t kLow[" << low.size() << "] = {" << table(low) << "\n};\n\n"
      << "const std::int32_t kHigh[96] = {" << table(high) << "\n};\n\n"
      << "const StrokeFontData kFont = {" << ff.cellw << ", " << ff.cellh << ", " << ff.boxw << ", "
      << ff.boxh << ", 8, " << ff.flags << ", " << ff.pitch << ",\n"
      << "                              \"" << ff.name << "\",\n"
      << "                              std::string_view(kGlyphs, sizeof kGlyphs - 1), kLow, kHigh};\n\n"
      << "}  // namespace\n\n"
      << "const StrokeFontData& " << ff.routine << "_data() { return kFont; }\n";
    std::fprintf(stderr, "%s: %ld characters written\n", ff.stem.c_str(), length);
    return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fontgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Outline {
        FontFile file;
        OutlineSpec spec;
    };
    const std::vector<Outline> outlines = {
        {{"fixed", "yyoffixed", "fixed.chr", 12553, "36.3f", "55.0f", "55.0f", "55.0f", 2, 0, "Liberation Mono"},
         {"fixed", kLib + "LiberationMono-Regular.ttf", 16, 42, 12553, 0, true, 100, 'v'}},
        {{"fixedbold", "yyoffixedbold", "fixedbld.chr", 12257, "36.3f", "55.0f", "55.0f", "55.0f", 2, 0, "Liberation Mono Bold"},
         {"fixedbold", kLib + "LiberationMono-Bold.ttf", 16, 42, 12257, 0, true, 100, 'v'}},
        {{"roman", "yyofroman", "roman.chr", 14243, "36.3f", "55.0f", "55.0f", "55.0f", 2, 1, "Liberation Serif"},
         {"roman", kLib + "LiberationSerif-Regular.ttf", 14, 44, 14243, 0, true, 100, 'v'}},
        {{"romanbold", "yyofromanbold", "romanbld.chr", 14155, "36.3f", "55.0f", "55.0f", "55.0f", 2, 1, "Liberation Serif Bold"},
         {"romanbold", kLib + "LiberationSerif-Bold.ttf", 12, 44, 14155, 0, true, 100, 'v'}},
        {{"swiss", "yyofswiss", "swiss.chr", 11281, "36.3f", "55.0f", "55.0f", "55.0f", 2, 1, "Liberation Sans"},
         {"swiss", kLib + "LiberationSans-Regular.ttf", 11, 44, 11281, 0, false, 100, 'v'}},
        {{"swissbold", "yyofswissbold", "swissbld.chr", 11174, "36.3f", "55.0f", "55.0f", "55.0f", 2, 1, "Liberation Sans Bold"},
         {"swissbold", kLib + "LiberationSans-Bold.ttf", 12, 45, 11174, 0, false, 100, 'v'}},
        {{"symbol", "wgrofontsymbol", "symbol.chr", 11312, "30.25f", "55.0f", "55.0f", "55.0f", 0, 1, "DejaVu Sans, DejaVu Math TeX Gyre and DejaVu Serif"},
         {"symbol", kDejaVu + "DejaVuSans.ttf", 12, 42, 11312, 2, true, 100, 'v'}},
    };
    bool ok = true;
    for (const Outline& o : outlines) {
        FontOutput out;
        const bool symbol = o.file.stem == "symbol";
        if (!make_outline_font(o.spec, symbol ? symbol_codes() : latin_codes(), out)) {
            ok = false;
            continue;
        }
        if (symbol) out.glyph_text[94] = std::string(static_cast<std::size_t>(o.spec.place127_blanks), ' ');
        ok = write_font(dir, o.file, out) && ok;
    }
    FontFile standard{"standard", "wgrvfontstandard", "standard.chr", 3455, "7.68f", "11.88f",
                      "6.0f", "11.0f", 3, 0, "the hand-drawn table in tools/fontgen/vector.cpp"};
    FontOutput vout;
    if (make_vector_font(standard.length, vout)) ok = write_font(dir, standard, vout) && ok;
    else ok = false;
    return ok ? 0 : 1;
}
