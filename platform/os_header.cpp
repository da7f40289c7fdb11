// The header control ("SysHeader32"): a strip of column captions above a
// list; it shows its text and takes no input of its own.
#include "platform/os_control_p.h"

namespace osw {

namespace {

std::intptr_t header_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    return control_default(w, m, wp, lp);
}

void paint_header(WinRec& r, QWidget* wg, QPainter& p) {
    p.fillRect(wg->rect(), qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(wg->rect().adjusted(0, 0, -1, -1));
    p.setFont(control_font(r));
    p.setPen(Qt::black);
    p.drawText(wg->rect().adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, qtext(r.title));
}

}  // namespace

void register_header_class() { register_control_class("SysHeader32", header_proc, paint_header); }

}  // namespace osw
