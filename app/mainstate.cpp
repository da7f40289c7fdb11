#include "app/mainstate.h"

#include "app/mapview.h"

MainState mainstate;

void reset_main_state() { mainstate = MainState{}; }

void redraw_view() {
    const MainState& m = mainstate;
    plot(m.plotmode, m.showmesh, m.showmaps, m.showcontour, m.showgridpts, m.mfgrid, m.loaded, m.shownodal,
         m.showriver);
}
