#include "app/mainstate.h"

MainState mainstate;

void reset_main_state() { mainstate = MainState{}; }

#include "app/apphooks.h"

void redraw_view() {
    const MainState& m = mainstate;
    app_plot(m.plotmode, m.showmesh, m.showmaps, m.showcontour, m.showgridpts, m.mfgrid, m.loaded, m.shownodal,
             m.showriver);
}
