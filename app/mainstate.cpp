#include "app/mainstate.h"

#include <cstring>
#include <vector>

#include "app/appdata.h"
#include "app/flowlines.h"
#include "app/intersect.h"
#include "app/mapview.h"
#include "app/profile.h"

MainState mainstate;

namespace {

// What the grid values were calculated for. Compared byte for byte, so a
// value that did not change compares equal whatever it holds.
struct GridStamp {
    bool valid = false;
    std::uint32_t mesh = 0;
    Dat8 d8;
    Dat12 d12;
    Dat18 d18;
    std::int32_t ncol = 0, nrow = 0;
    std::vector<float> delr, delc;
};
GridStamp calculated_for;

GridStamp stamp_now() {
    GridStamp s;
    s.valid = true;
    s.mesh = mesh_generation;
    s.d8 = dat8;
    s.d12 = dat12;
    s.d18 = dat18;
    s.ncol = dat16.ncol;
    s.nrow = dat16.nrow;
    s.delr.assign(dat16.delr.a.begin(), dat16.delr.a.end());
    s.delc.assign(dat16.delc.a.begin(), dat16.delc.a.end());
    return s;
}

template <class T>
bool same_bytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool same_values(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

}  // namespace

void reset_main_state() {
    mainstate = MainState{};
    calculated_for = GridStamp{};
    profile_texts = ProfileTexts{};
    intersect_state = IntersectState{};
    flowline_state = FlowlineState{};
    clear_river_results();
}

void note_grid_calculated() { calculated_for = stamp_now(); }

bool grid_calculated() {
    if (!calculated_for.valid) return false;
    const GridStamp now = stamp_now();
    const GridStamp& c = calculated_for;
    return c.mesh == now.mesh && same_bytes(c.d8, now.d8) && same_bytes(c.d12, now.d12) &&
           same_bytes(c.d18, now.d18) && c.ncol == now.ncol && c.nrow == now.nrow && same_values(c.delr, now.delr) &&
           same_values(c.delc, now.delc);
}

int optfield(int k) {
    if (k == 0) return 1042;
    return k <= 18 ? 1014 + k : 1049 + k;
}

std::string optcaption(int k) {
    std::string c;
    if (k == 0) {
        c = "reference head";
    } else {
        const std::string i = std::to_string((k + 2) / 3);
        switch (k % 3) {
            case 1: c = "aquitard " + i + ", resistance/leak"; break;
            case 2: c = "aquifer " + i + ", transmissivity"; break;
            default: c = "aquifer " + i + ", head"; break;
        }
    }
    c.resize(28, ' ');
    return c;
}

void redraw_view() {
    const MainState& m = mainstate;
    plot(m.plotmode, m.showmesh, m.showmaps, m.showcontour, m.showgridpts, m.mfgrid, m.loaded, m.shownodal,
         m.showriver);
}
