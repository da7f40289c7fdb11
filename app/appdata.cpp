#include "app/appdata.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/os_file.h"

namespace {
constexpr std::size_t LargePage = std::size_t{2} << 20;
}  // namespace

Dat1 dat1;
Dat2 dat2;
Dat3 dat3;
Dat4 dat4;
Dat5 dat5;
// The large blocks start on a large page boundary, so that large pages
// cover all of them (see app_data_large_pages).
alignas(LargePage) Dat6 dat6;
alignas(LargePage) Dat7 dat7;
Dat8 dat8;
Dat9 dat9;
Dat11 dat11;
Dat12 dat12;
Dat16 dat16;
Dat17 dat17;
Dat18 dat18;
Dat19 dat19;
Dat30 dat30;
alignas(LargePage) Dat40 dat40;
Dat80 dat80;
LabelBlock label;
LeakageBlock leakage;
MapBlnBlock map_bln;
MapColourBlock mapcolour;
NumberIsoBlock numberiso;
TextBlock text;

void app_data_large_pages() {
    os_prefer_large_pages(&dat6, sizeof dat6);
    os_prefer_large_pages(&dat7, sizeof dat7);
    os_prefer_large_pages(&dat40, sizeof dat40);
}

void appdata_index_fault(const char* what, long index) {
    std::fprintf(stderr, "zeltramo: internal fault: %s %ld outside its array\n", what, index);
    std::abort();
}

std::string aquifer_ordinal(int i) {
    const int last = i % 10;
    const int tens = (i / 10) % 10;
    const char* suffix = "th";
    if (tens != 1) {
        if (last == 1) suffix = "st";
        else if (last == 2) suffix = "nd";
        else if (last == 3) suffix = "rd";
    }
    return std::to_string(i) + suffix;
}

std::string optitle_text(int k, int leak) {
    std::string t;
    if (k == 0) {
        t = "reference level covering layer";
    } else if (k == 1) {
        t = "resistance covering layer";
    } else if (k >= 2 && k < NumGridOptions) {
        const int i = (k + 2) / 3;
        switch (k % 3) {
            case 2: t = "transmissivity " + aquifer_ordinal(i) + " aquifer"; break;
            case 0: t = "head " + aquifer_ordinal(i) + " aquifer"; break;
            default: {
                // The separating layers. The texts are stored as the program
                // has always shown them: cut to 51 characters, the 9th-10th
                // text abbreviated with a full stop, and the leakance form
                // taking the place of "resistance" within the same 51
                // characters (so it ends in two blanks), its 7th-8th text
                // reading "8td".
                std::string pair = aquifer_ordinal(i - 1) + "-" + aquifer_ordinal(i);
                t = "resistance separating layer between " + pair + " aquifer";
                if (i == 10) t = "resistance separating layer between 9th-10th aquif.";
                if (t.size() > TitleTextLength) t.resize(TitleTextLength);
                if (leak == 1) {
                    t = "leakance" + t.substr(10);
                    if (i == 8) t = "leakance separating layer between 7th-8td aquifer";
                }
                break;
            }
        }
    }
    t.resize(TitleTextLength, ' ');
    return t;
}

void setoptitles(int leak) {
    for (int k = 0; k < NumGridOptions; ++k) {
        std::string& s = dat5.optitle(k);
        s.assign(TextLength, ' ');
        s.replace(0, TitleTextLength, optitle_text(k, leak));
    }
}

std::uint32_t mesh_generation = 0;

void app_data_startup_defaults() {
    dat7.blank = BlankValue;
    leakage.leak = 0;
    dat8.nxmax = MaxGridPoints;
    dat8.nymax = MaxGridPoints;
    mapcolour.linemapcol = 230;
    setoptitles(leakage.leak);
}

namespace {
// The numeric blocks are zero when the program starts; the first reset of a
// run finds them so and skips clearing some 30 MB of memory, which would
// otherwise cost every test its time.
bool numeric_blocks_untouched = true;
}  // namespace

void reset_app_data() {
    if (!numeric_blocks_untouched) {
        dat1 = Dat1{};
        dat2.wellint1.clear();
        dat2.wellint2.clear();
        dat2.wellval.clear();
        dat3 = Dat3{};
        dat4.xnode.clear();
        dat4.ynode.clear();
        dat4.elnode.clear();
        dat4.nelem = dat4.nnode = dat4.nwell = dat4.naq = dat4.nelemhdr = dat4.nlabel = 0;
        dat6.nb.clear();
        dat6.nnb.clear();
        dat7.value.clear();
        dat7.gridval.clear();
        dat7.zmin = dat7.zmax = dat7.blank = 0;
        dat16.xcen.clear();
        dat16.ycen.clear();
        dat16.ncol = dat16.nrow = 0;
        dat16.mfval.clear();
        dat16.delr.clear();
        dat16.delc.clear();
        dat30.prof.clear();
        dat30.plen = dat30.px1 = dat30.py1 = dat30.px2 = dat30.py2 = 0;
        dat30.pmin = dat30.pmax = 0;
        dat40.polyxy_.clear();
        dat40.npoly.clear();
        dat40.nodarea.clear();
        dat40.maxrad = 0;
        dat40.hitcol.clear();
    }
    numeric_blocks_untouched = false;
    dat5.optitle.clear();
    dat5.opton.a.fill(' ');
    dat8 = Dat8{};
    dat9 = Dat9{};
    dat11 = Dat11{};
    dat12 = Dat12{};
    dat17 = Dat17{};
    dat18 = Dat18{};
    dat19 = Dat19{};
    dat80 = Dat80{};
    label.labline.clear();
    leakage = LeakageBlock{};
    map_bln.mapon.clear();
    map_bln.mapcol.clear();
    map_bln.mapwidth.clear();
    map_bln.mapfile.clear();
    mapcolour = MapColourBlock{};
    numberiso = NumberIsoBlock{};
    text.title.clear();
    ++mesh_generation;
    app_data_startup_defaults();
}
