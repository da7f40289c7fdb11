// The STATIC class: texts in three alignments, images (bitmap, icon,
// metafile), frames and etched lines; with the notify style it reports clicks.
#include "platform/os_control_p.h"
#include "platform/os_dc_p.h"

namespace osw {

namespace {

struct StaticData : ControlData {
    std::intptr_t image = 0;
    std::int32_t image_kind = OS_IMAGE_BITMAP;
};

std::intptr_t static_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    std::intptr_t out = 0;
    if (control_common(w, m, wp, lp, out)) return out;
    StaticData* d = control_data<StaticData>(w);
    if (!d) return 0;
    const bool notify = (os_get_style(w) & OS_SS_NOTIFY) != 0;
    switch (m) {
    case OSM_GETDLGCODE:
        return DLGC_STATIC;
    case STM_SETIMAGE:
    case STM_SETICON: {
        const std::intptr_t old = d->image;
        d->image_kind = m == STM_SETICON ? OS_IMAGE_ICON : static_cast<std::int32_t>(wp);
        d->image = m == STM_SETICON ? static_cast<std::intptr_t>(wp) : lp;
        control_repaint(w);
        return old;
    }
    case STM_GETIMAGE:
        return static_cast<std::int32_t>(wp) == d->image_kind ? d->image : 0;
    case STM_GETICON:
        return d->image_kind == OS_IMAGE_ICON ? d->image : 0;
    case OSM_LBUTTONDOWN:
        if (notify) notify_parent(w, STN_CLICKED);
        return 0;
    case OSM_LBUTTONDBLCLK:
        if (notify) notify_parent(w, STN_DBLCLK);
        return 0;
    default:
        return os_def_window_proc(w, m, wp, lp);
    }
}

void paint_static(WinRec& r, QWidget* wg, QPainter& p) {
    StaticData* d = control_data<StaticData>(r.h);
    const std::uint32_t k = r.style & OS_SS_TYPEMASK;
    const QRect all = wg->rect();
    std::uint32_t text = os_sys_colour(OS_COLOR_WINDOWTEXT), back = os_sys_colour(OS_COLOR_BTNFACE);
    control_colours(r.h, OSM_CTLCOLORSTATIC, text, back);
    switch (k) {
    case OS_SS_ETCHEDHORZ:
        p.setPen(QColor(128, 128, 128));
        p.drawLine(0, 0, all.width(), 0);
        p.setPen(Qt::white);
        p.drawLine(0, 1, all.width(), 1);
        return;
    case OS_SS_ETCHEDVERT:
        p.setPen(QColor(128, 128, 128));
        p.drawLine(0, 0, 0, all.height());
        p.setPen(Qt::white);
        p.drawLine(1, 0, 1, all.height());
        return;
    case OS_SS_ETCHEDFRAME:
        p.setPen(QColor(128, 128, 128));
        p.drawRect(all.adjusted(0, 0, -2, -2));
        p.setPen(Qt::white);
        p.drawRect(all.adjusted(1, 1, -1, -1));
        return;
    case OS_SS_BLACKRECT:
    case OS_SS_GRAYRECT:
    case OS_SS_WHITERECT: {
        const QColor c = k == OS_SS_BLACKRECT ? Qt::black : (k == OS_SS_GRAYRECT ? Qt::gray : Qt::white);
        p.fillRect(all, c);
        return;
    }
    case OS_SS_BLACKFRAME:
    case OS_SS_GRAYFRAME:
    case OS_SS_WHITEFRAME: {
        const QColor c = k == OS_SS_BLACKFRAME ? Qt::black : (k == OS_SS_GRAYFRAME ? Qt::gray : Qt::white);
        p.setPen(c);
        p.drawRect(all.adjusted(0, 0, -1, -1));
        return;
    }
    default:
        break;
    }
    p.fillRect(all, qcolour(back));
    if (k == OS_SS_BITMAP || k == OS_SS_ICON || k == OS_SS_ENHMETAFILE) {
        if (d && d->image)
            if (osg::Object* o = osg::object_of(static_cast<OsObject>(d->image), osg::KindBitmap))
                p.drawImage(QPoint(0, 0), o->bitmap);
        return;
    }
    p.setFont(control_font(r));
    p.setPen((r.style & OS_WS_DISABLED) ? QColor(128, 128, 128) : qcolour(text));
    int align = Qt::AlignTop;
    if (k == OS_SS_CENTER) align |= Qt::AlignHCenter;
    else if (k == OS_SS_RIGHT) align |= Qt::AlignRight;
    else align |= Qt::AlignLeft;
    if (k != OS_SS_LEFTNOWORDWRAP && k != OS_SS_SIMPLE) align |= Qt::TextWordWrap;
    QString s = qtext(r.title);
    if (!(r.style & OS_SS_NOPREFIX)) s.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&')).replace(QChar(1), QLatin1Char('&'));
    p.drawText(all, align, s);
}

}  // namespace

void register_static_class() { register_control_class("STATIC", static_proc, paint_static, OS_CS_DBLCLKS); }

}  // namespace osw
