// The standard vector font: a line font on a 6 x 11 design, drawn by hand.
//
// Glyphs are written directly in the stroke encoding: a point is two
// alphabet characters (x 0..6, y 0..11, "A" = 10, "B" = 11), strokes are
// separated by "u". Capitals stand on y = 2 and reach 11, small letters
// reach 8 (ascenders 11), descenders reach 0. Accented letters are composed
// from their base letter and an accent; an accented capital is drawn lower
// (its height 2..11 pressed into 2..9) so the accent fits under y = 11.
#include "tools/fontgen/fontgen.h"

#include <cstdio>
#include <map>
#include <utility>

namespace {

// Codes 33..126 and the euro (stored in the place of 127).
const std::map<int, const char*> kBase = {
    {33, "3233u363B"},
    {34, "2B29u4B49"},
    {35, "232Au434Au0565u0868"},
    {36, "695A1A090716566563521203u3B31"},
    {37, "026Bu1B0A192A1Bu5443526354"},
    {38, "62191A2B3B4A490503123265"},
    {39, "3B39"},
    {40, "4B292341"},
    {41, "2B494321"},
    {42, "3A34u0965u0569"},
    {43, "3933u0666"},
    {44, "333220"},
    {45, "1656"},
    {46, "3233"},
    {47, "026B"},
    {48, "1204091B5B696452125B"},
    {49, "193B32u1252"},
    {50, "0A1B5B6A680262"},
    {51, "0A1B5B6A685727u576663521203"},
    {52, "424B0565"},
    {53, "6B0B07576663521203"},
    {54, "5B2B0903125263665707"},
    {55, "0B6B22"},
    {56, "17080A1B5B6A68571706031252636657"},
    {57, "1242646A5B1B0A071666"},
    {58, "3334u3738"},
    {59, "3738u343321"},
    {60, "6A0662"},
    {61, "0868u0464"},
    {62, "0A6602"},
    {63, "0A1B5B6A683635u3332"},
    {64, "453425273847455465695B1B09041252"},
    {65, "023B62u1555"},
    {66, "020B5B6A685707u5766635202"},
    {67, "645342221305081A2B4B5A69"},
    {68, "020B4B69644202"},
    {69, "6B0B0262u0747"},
    {70, "6B0B02u0747"},
    {71, "695A4B2B1A080513224253646636"},
    {72, "020Bu626Bu0767"},
    {73, "1B5Bu3B32u1252"},
    {74, "4B6B64422204"},
    {75, "020Bu6B05u2762"},
    {76, "0B0262"},
    {77, "020B366B62"},
    {78, "020B626B"},
    {79, "221305081A2B4B5A6865534222"},
    {80, "020B5B6A685707"},
    {81, "221305081A2B4B5A6865534222u4461"},
    {82, "020B5B6A685707u3762"},
    {83, "6A5B1B0A0817576663521203"},
    {84, "0B6Bu3B32"},
    {85, "0B042242646B"},
    {86, "0B326B"},
    {87, "0B1237526B"},
    {88, "0B62u026B"},
    {89, "0B366Bu3632"},
    {90, "0B6B0262"},
    {91, "4B2B2141"},
    {92, "0B62"},
    {93, "2B4B4121"},
    {94, "183B58"},
    {95, "0060"},
    {96, "2B49"},
    {97, "18586762u65150403124264"},
    {98, "0B02u06284857666453422204"},
    {99, "665748281706041322425364"},
    {100, "6B62u66482817060413224264"},
    {101, "05656657482817060413224253"},
    {102, "5B3B2A22u0848"},
    {103, "68615010u66482817060514234365"},
    {104, "0B02u0628586762"},
    {105, "3238u3A3B"},
    {106, "48413010u4A4B"},
    {107, "0B02u6804u2562"},
    {108, "2B3B3342"},
    {109, "0208u0718283732u3748586762"},
    {110, "0208u0628586762"},
    {111, "22130406172848576664534222"},
    {112, "0800u06284857666453422204"},
    {113, "6860u66482817060413224264"},
    {114, "0208u06285867"},
    {115, "675818070616556463521203"},
    {116, "2B23325263u0858"},
    {117, "080413224264u6862"},
    {118, "083268"},
    {119, "0812365268"},
    {120, "0862u0268"},
    {121, "0832u682010"},
    {122, "08680262"},
    {123, "4B3A3726353241"},
    {124, "3B31"},
    {125, "2B3A3746353221"},
    {126, "061727455566"},
    {127, "63522214192B5B6Au0656u0767"},  // the euro sign, code 128
};

// Signs of the upper half that are no accented letters.
const std::map<int, const char*> kSigns = {
    {161, "3738u3530"},
    {162, "665748281706041322425364u3931"},
    {163, "6A5B3B2A22u0262u0747"},
    {164, "1418585414u0314u6354u0918u6958"},
    {165, "0B366Bu3632u1555u1353"},
    {166, "3B37u3531"},
    {167, "5A4B1B0A09656453u1807066261502011"},
    {168, "1A1Bu5A5B"},
    {169, "2204092B4B69644222u48282545"},
    {170, "2B4B47272949u2545"},
    {171, "381532u684562"},
    {172, "066664"},
    {173, "1656"},
    {174, "2204092B4B69644222u2429494727u3744"},
    {175, "0B6B"},
    {176, "2B1A192838494A3B2B"},
    {177, "3A34u0767u0262"},
    {178, "1A2B4B5A591656"},
    {179, "1B5B3958574616"},
    {180, "294B"},
    {181, "0008u0413224264u6862"},
    {182, "6B1B0A081737u3B32u5B52"},
    {183, "3637"},
    {184, "3231414020"},
    {185, "2A3B36u2646"},
    {186, "2B4B47272Bu2545"},
    {187, "082502u385532"},
    {188, "0A1B17u026Bu52563464"},
    {189, "0A1B17u026Bu354656653262"},
    {190, "0B2B19282707u026Bu52563464"},
    {191, "61501001033536u3839"},
    {198, "023B6Bu3B3262u3757u1535"},
    {208, "121B4B69644212u0737"},
    {215, "1953u1359"},
    {216, "221305081A2B4B5A6865534222u026B"},
    {222, "020Bu095968665505"},
    {223, "02092B4B5A58375665635232"},
    {230, "08283733221203041535u356567584837u334262"},
    {240, "6657170603125263683Bu295A"},
    {247, "0666u3938u3433"},
    {248, "22130406172848576664534222u0268"},
    {254, "0B00u06284857666453422204"},
};

// Accents over capitals (y 10..11) and over small letters (y 9..11).
enum Accent { grave, acute, circumflex, tilde, diaeresis, ring, cedilla };
const char* kCapAccent[] = {"2B4A", "2A4B", "1A3B5A", "1A2B4A5B", "1A1Bu5A5B", "3B2A3A3B", ""};
const char* kSmallAccent[] = {"2B49", "294B", "193B59", "192A495A", "1A1Bu5A5B", "3B2A394A3B",
                              "3231414020"};

// Accented letters: code, base code, accent, whether the base is a capital.
struct Composite {
    int code, base;
    Accent accent;
};
const Composite kComposites[] = {
    {192, 'A', grave}, {193, 'A', acute}, {194, 'A', circumflex}, {195, 'A', tilde},
    {196, 'A', diaeresis}, {197, 'A', ring}, {199, 'C', cedilla}, {200, 'E', grave},
    {201, 'E', acute}, {202, 'E', circumflex}, {203, 'E', diaeresis}, {204, 'I', grave},
    {205, 'I', acute}, {206, 'I', circumflex}, {207, 'I', diaeresis}, {209, 'N', tilde},
    {210, 'O', grave}, {211, 'O', acute}, {212, 'O', circumflex}, {213, 'O', tilde},
    {214, 'O', diaeresis}, {217, 'U', grave}, {218, 'U', acute}, {219, 'U', circumflex},
    {220, 'U', diaeresis}, {221, 'Y', acute}, {224, 'a', grave}, {225, 'a', acute},
    {226, 'a', circumflex}, {227, 'a', tilde}, {228, 'a', diaeresis}, {229, 'a', ring},
    {231, 'c', cedilla}, {232, 'e', grave}, {233, 'e', acute}, {234, 'e', circumflex},
    {235, 'e', diaeresis}, {236, 0, grave}, {237, 0, acute}, {238, 0, circumflex},
    {239, 0, diaeresis}, {241, 'n', tilde}, {242, 'o', grave}, {243, 'o', acute},
    {244, 'o', circumflex}, {245, 'o', tilde}, {246, 'o', diaeresis}, {249, 'u', grave},
    {250, 'u', acute}, {251, 'u', circumflex}, {252, 'u', diaeresis}, {253, 'y', acute},
    {255, 'y', diaeresis},
};

const char kDotlessI[] = "3238";

int val(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }
char chr(int v) { return GlyphAlphabetGen[v]; }

// A capital pressed from 2..11 into 2..9 to make room for its accent.
// Points that fall together are merged; a stroke left with one point goes.
std::string lowered(const std::string& g) {
    static const int map[12] = {0, 1, 2, 3, 4, 4, 5, 6, 7, 7, 8, 9};
    std::string out, stroke;
    std::size_t i = 0;
    auto flush = [&]() {
        if (stroke.size() >= 4) {
            if (!out.empty()) out += 'u';
            out += stroke;
        }
        stroke.clear();
    };
    while (i < g.size()) {
        if (g[i] == 'u') {
            flush();
            ++i;
            continue;
        }
        const std::string p{g[i], chr(map[val(g[i + 1])])};
        if (stroke.size() < 2 || stroke.substr(stroke.size() - 2) != p) stroke += p;
        i += 2;
    }
    flush();
    return out;
}

}  // namespace

bool make_vector_font(long target, FontOutput& out) {
    out.glyph_text.assign(190, "");
    auto slot = [](int code) { return code <= 127 ? code - 33 : code - 161 + 95; };
    for (const auto& [code, g] : kBase) out.glyph_text[static_cast<std::size_t>(slot(code))] = g;
    for (const auto& [code, g] : kSigns) out.glyph_text[static_cast<std::size_t>(slot(code))] = g;
    for (const Composite& c : kComposites) {
        const bool capital = c.base >= 'A' && c.base <= 'Z';
        std::string base = c.base == 0 ? kDotlessI : kBase.at(c.base);
        if (capital && c.accent != cedilla) base = lowered(base);
        const std::string accent = capital ? (c.accent == cedilla ? kSmallAccent[cedilla]
                                                                  : kCapAccent[c.accent])
                                           : kSmallAccent[c.accent];
        out.glyph_text[static_cast<std::size_t>(slot(c.code))] = base + "u" + accent;
    }
    long total = 0;
    for (std::size_t i = 0; i < out.glyph_text.size(); ++i) {
        if (out.glyph_text[i].empty()) {
            std::fprintf(stderr, "standard: no glyph in slot %zu\n", i);
            return false;
        }
        total += static_cast<long>(out.glyph_text[i].size());
    }
    // Up to three blanks may follow the place of code 127.
    out.gap = static_cast<int>(target - total);
    if (out.gap < 0 || out.gap > 3) {
        std::fprintf(stderr, "standard: %ld characters drawn, %ld wanted\n", total, target);
        return false;
    }
    return true;
}
