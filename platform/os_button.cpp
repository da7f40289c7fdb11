// The BUTTON class: push and default push buttons, check boxes (two and
// three states, plain and automatic), radio buttons, group boxes, and
// buttons that show a bitmap or an icon instead of their text.
#include "platform/os_control_p.h"
#include "platform/os_dc_p.h"

namespace osw {

namespace {

struct ButtonData : ControlData {
    std::int32_t check = BST_UNCHECKED;
    bool pushed = false;
    std::int32_t image_kind = OS_IMAGE_BITMAP;
    std::intptr_t image = 0;
};

std::uint32_t kind_of(OsWindow w) { return os_get_style(w) & OS_BS_TYPEMASK; }

bool is_radio(std::uint32_t k) { return k == OS_BS_RADIOBUTTON || k == OS_BS_AUTORADIOBUTTON; }
bool is_check(std::uint32_t k) {
    return k == OS_BS_CHECKBOX || k == OS_BS_AUTOCHECKBOX || k == OS_BS_3STATE || k == OS_BS_AUTO3STATE;
}

void click(OsWindow w) {
    ButtonData* d = control_data<ButtonData>(w);
    const std::uint32_t k = kind_of(w);
    if (k == OS_BS_AUTOCHECKBOX) {
        d->check = d->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    } else if (k == OS_BS_AUTO3STATE) {
        d->check = (d->check + 1) % 3;
    } else if (k == OS_BS_AUTORADIOBUTTON) {
        // The other automatic radio buttons of the group are cleared.
        const OsWindow parent = os_get_parent(w);
        const std::vector<OsWindow> all = os_child_windows(parent);
        auto it = std::find(all.begin(), all.end(), w);
        if (it != all.end()) {
            auto first = it;
            while (first != all.begin() && !(os_get_style(*first) & OS_WS_GROUP)) --first;
            for (auto j = first; j != all.end(); ++j) {
                if (j != first && (os_get_style(*j) & OS_WS_GROUP)) break;
                if (*j != w && os_get_class_name(*j) == "BUTTON" && kind_of(*j) == OS_BS_AUTORADIOBUTTON) {
                    control_data<ButtonData>(*j)->check = BST_UNCHECKED;
                    control_repaint(*j);
                }
            }
        }
        d->check = BST_CHECKED;
    }
    control_repaint(w);
    notify_parent(w, BN_CLICKED);
}

std::intptr_t button_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    std::intptr_t out = 0;
    if (control_common(w, m, wp, lp, out)) return out;
    ButtonData* d = control_data<ButtonData>(w);
    if (!d) return 0;
    const std::uint32_t k = kind_of(w);
    switch (m) {
    case OSM_GETDLGCODE:
        if (k == OS_BS_GROUPBOX) return DLGC_STATIC;
        if (k == OS_BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (k == OS_BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        if (is_radio(k)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
        return DLGC_BUTTON;
    case BM_GETCHECK:
        return is_check(k) || is_radio(k) ? d->check : 0;
    case BM_SETCHECK:
        if (is_check(k) || is_radio(k)) {
            d->check = static_cast<std::int32_t>(wp);
            if (d->check < 0 || d->check > 2 || (d->check == 2 && k != OS_BS_3STATE && k != OS_BS_AUTO3STATE))
                d->check = d->check == 0 ? 0 : 1;
            control_repaint(w);
        }
        return 0;
    case BM_GETSTATE:
        return (is_check(k) || is_radio(k) ? d->check : 0) | (d->pushed ? 4 : 0) | (os_get_focus() == w ? 8 : 0);
    case BM_SETSTATE:
        d->pushed = wp != 0;
        control_repaint(w);
        return 0;
    case BM_SETSTYLE:
        os_set_style(w, (os_get_style(w) & ~static_cast<std::uint32_t>(0xFFFF)) | (static_cast<std::uint32_t>(wp) & 0xFFFF));
        if (lp) control_repaint(w);
        return 0;
    case BM_CLICK:
        if (os_is_window_enabled(w)) click(w);
        return 0;
    case BM_GETIMAGE:
        return static_cast<std::int32_t>(wp) == d->image_kind ? d->image : 0;
    case BM_SETIMAGE: {
        const std::intptr_t old = d->image;
        d->image_kind = static_cast<std::int32_t>(wp);
        d->image = lp;
        control_repaint(w);
        return old;
    }
    case OSM_LBUTTONDOWN:
    case OSM_LBUTTONDBLCLK:
        if (k == OS_BS_GROUPBOX) return 0;
        os_set_focus(w);
        d->pushed = true;
        os_set_capture(w);
        control_repaint(w);
        if (m == OSM_LBUTTONDBLCLK && (os_get_style(w) & OS_BS_NOTIFY)) notify_parent(w, BN_DOUBLECLICKED);
        return 0;
    case OSM_LBUTTONUP: {
        if (!d->pushed) return 0;
        d->pushed = false;
        os_release_capture();
        OsRect r;
        os_get_client_rect(w, r);
        const std::int32_t x = static_cast<std::int16_t>(lp & 0xFFFF), y = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
        control_repaint(w);
        if (x >= 0 && y >= 0 && x < r.right && y < r.bottom) click(w);
        return 0;
    }
    case OSM_KEYDOWN:
        if (wp == OS_VK_SPACE && k != OS_BS_GROUPBOX) {
            d->pushed = true;
            control_repaint(w);
        }
        return 0;
    case OSM_KEYUP:
        if (wp == OS_VK_SPACE && d->pushed) {
            d->pushed = false;
            click(w);
        }
        return 0;
    case OSM_SETFOCUS:
    case OSM_KILLFOCUS:
        control_repaint(w);
        if (os_get_style(w) & OS_BS_NOTIFY) notify_parent(w, m == OSM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
        return 0;
    default:
        return os_def_window_proc(w, m, wp, lp);
    }
}

void paint_button(WinRec& r, QWidget* wg, QPainter& p) {
    ButtonData* d = control_data<ButtonData>(r.h);
    const std::uint32_t k = r.style & OS_BS_TYPEMASK;
    const bool enabled = !(r.style & OS_WS_DISABLED);
    std::uint32_t text = os_sys_colour(OS_COLOR_WINDOWTEXT), back = os_sys_colour(OS_COLOR_BTNFACE);
    control_colours(r.h, OSM_CTLCOLORBTN, text, back);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(back));
    p.setFont(control_font(r));
    const QColor ink = enabled ? qcolour(text) : QColor(128, 128, 128);
    const QString label = qtext(r.title).remove(QLatin1Char('&'));
    if (k == OS_BS_GROUPBOX) {
        const int h = p.fontMetrics().height();
        p.setPen(QColor(160, 160, 160));
        p.drawRect(all.adjusted(0, h / 2, -1, -1));
        const int tw = p.fontMetrics().horizontalAdvance(label) + 4;
        p.fillRect(QRect(6, 0, tw, h), qcolour(back));
        p.setPen(ink);
        p.drawText(QRect(8, 0, tw, h), Qt::AlignLeft | Qt::AlignVCenter, label);
        return;
    }
    if (is_check(k) || is_radio(k)) {
        const int s = std::min(13, all.height() - 2);
        const QRect box(1, (all.height() - s) / 2, s, s);
        p.setPen(ink);
        p.setBrush(Qt::white);
        if (is_radio(k)) {
            p.drawEllipse(box);
            if (d && d->check) {
                p.setBrush(ink);
                p.drawEllipse(box.adjusted(3, 3, -3, -3));
            }
        } else {
            p.drawRect(box);
            if (d && d->check == BST_CHECKED) {
                p.drawLine(box.left() + 2, box.center().y(), box.center().x(), box.bottom() - 2);
                p.drawLine(box.center().x(), box.bottom() - 2, box.right() - 2, box.top() + 2);
            } else if (d && d->check == BST_INDETERMINATE) {
                p.fillRect(box.adjusted(3, 3, -2, -2), QColor(128, 128, 128));
            }
        }
        p.setBrush(Qt::NoBrush);
        p.drawText(all.adjusted(s + 5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, label);
        if (os_get_focus() == r.h) p.drawRect(all.adjusted(s + 3, 0, -1, -1));
        return;
    }
    // Push buttons.
    const bool pushed = d && d->pushed;
    p.setPen(pushed ? QColor(64, 64, 64) : Qt::white);
    p.drawLine(all.topLeft(), all.topRight());
    p.drawLine(all.topLeft(), all.bottomLeft());
    p.setPen(pushed ? Qt::white : QColor(64, 64, 64));
    p.drawLine(all.bottomLeft(), all.bottomRight());
    p.drawLine(all.topRight(), all.bottomRight());
    if (k == OS_BS_DEFPUSHBUTTON) {
        p.setPen(Qt::black);
        p.drawRect(all.adjusted(0, 0, -1, -1));
    }
    if (d && d->image && d->image_kind == OS_IMAGE_BITMAP && (r.style & (OS_BS_BITMAP | OS_BS_ICON))) {
        if (osg::Object* o = osg::object_of(static_cast<OsObject>(d->image), osg::KindBitmap)) {
            const QImage& img = o->bitmap;
            p.drawImage(QPoint((all.width() - img.width()) / 2, (all.height() - img.height()) / 2), img);
            return;
        }
    }
    p.setPen(ink);
    p.drawText(all.translated(pushed ? 1 : 0, pushed ? 1 : 0), Qt::AlignCenter, label);
    if (os_get_focus() == r.h) {
        p.setPen(Qt::DotLine);
        p.drawRect(all.adjusted(3, 3, -4, -4));
    }
}

}  // namespace

void register_button_class() { register_control_class("BUTTON", button_proc, paint_button, OS_CS_DBLCLKS); }

}  // namespace osw
