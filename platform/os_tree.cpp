// The tree view ("SysTreeView32"): a framed window of the layer. Its items
// come with the fields that fill trees; until then it holds none.
#include "platform/os_control_p.h"

namespace osw {

namespace {

std::intptr_t tree_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (m == OSM_LBUTTONDOWN) {
        os_set_focus(w);
        return 0;
    }
    return control_default(w, m, wp, lp);
}

void paint_tree(WinRec&, QWidget* wg, QPainter& p) {
    p.fillRect(wg->rect(), qcolour(os_sys_colour(OS_COLOR_WINDOW)));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(wg->rect().adjusted(0, 0, -1, -1));
}

}  // namespace

void register_tree_class() { register_control_class("SysTreeView32", tree_proc, paint_tree, OS_CS_DBLCLKS); }

}  // namespace osw
