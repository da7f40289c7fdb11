#include "app/mainstate.h"

#include "app/flowlines.h"
#include "app/intersect.h"
#include "app/mapview.h"
#include "app/profile.h"

MainState mainstate;

void reset_main_state() {
    mainstate = MainState{};
    profile_texts = ProfileTexts{};
    intersect_state = IntersectState{};
    flowline_state = FlowlineState{};
    clear_river_results();
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
