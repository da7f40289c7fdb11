// The tool-bar class ("ToolbarWindow32"): a row (or column) of buttons cut
// from one image strip, with separators, enabled and checked states, and
// tooltips asked of the parent. A bar with the tooltip style is its own
// tooltip control. Clicking a button sends the parent OSM_COMMAND with the
// button's command id and the bar as the control.
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <map>

#include "platform/os_codepage_qt.h"
#include "platform/os_app.h"
#include "platform/os_menu.h"
#include "platform/os_stdimages.h"
#include "platform/os_window_p.h"

namespace osw {

namespace {

constexpr int kMargin = 3;      // around the buttons
constexpr int kSeparator = 8;   // width (or height) of a separator

struct Bar {
    std::int32_t image_w = 16, image_h = 15;
    std::int32_t button_w = 23, button_h = 22;
    std::vector<OsTbButton> buttons;
    QImage strip;               // every image added, side by side
    std::int32_t images = 0;
    int pressed = -1;
};

std::map<OsWindow, Bar>& bars() {
    static auto* b = new std::map<OsWindow, Bar>;
    return *b;
}

Bar* bar(OsWindow h) {
    auto it = bars().find(h);
    return it == bars().end() ? nullptr : &it->second;
}

// Rectangle of each button in the bar, in bar pixels.
std::vector<QRect> layout(const Bar& b) {
    std::vector<QRect> out;
    int x = kMargin, y = kMargin;
    for (const OsTbButton& bt : b.buttons) {
        const bool sep = bt.style & OS_TBSTYLE_SEP;
        const bool column = bt.state & OS_TBSTATE_WRAP;
        const int w = sep && !column ? kSeparator : b.button_w;
        const int h = sep && column ? kSeparator : b.button_h;
        out.emplace_back(x, y, w, h);
        if (column) {
            x = kMargin;
            y += h;
        } else {
            x += w;
        }
    }
    return out;
}

int index_of(const Bar& b, std::uintptr_t command) {
    for (std::size_t i = 0; i < b.buttons.size(); ++i)
        if (!(b.buttons[i].style & OS_TBSTYLE_SEP) && b.buttons[i].command == static_cast<std::int32_t>(command))
            return static_cast<int>(i);
    return -1;
}

void repaint(OsWindow h) {
    if (WinRec* r = rec(h); r && r->widget) r->widget->update();
}

}  // namespace

int toolbar_button_at(OsWindow h, QPoint local) {
    Bar* b = bar(h);
    if (!b) return -1;
    const auto lay = layout(*b);
    for (std::size_t i = 0; i < lay.size(); ++i)
        if (lay[i].contains(local) && !(b->buttons[i].style & OS_TBSTYLE_SEP)) return static_cast<int>(i);
    return -1;
}

std::string toolbar_tooltip(OsWindow h, int index) {
    Bar* b = bar(h);
    WinRec* r = rec(h);
    if (!b || !r || index < 0 || index >= static_cast<int>(b->buttons.size())) return {};
    const OsTbButton bt = b->buttons[static_cast<std::size_t>(index)];
    if ((bt.style & OS_TBSTYLE_SEP) || !(r->style & OS_TBSTYLE_TOOLTIPS)) return {};
    OsToolTipText tt;
    tt.hdr.from = h;
    tt.hdr.id = static_cast<std::uintptr_t>(bt.command);
    tt.hdr.code = OS_TTN_NEEDTEXT;
    os_send_message(r->parent, OSM_NOTIFY, static_cast<std::uintptr_t>(bt.command), reinterpret_cast<std::intptr_t>(&tt));
    tt.text[sizeof tt.text - 1] = '\0';
    return std::string(tt.text);
}

std::intptr_t toolbar_proc(OsWindow h, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(h);
    if (!r) return 0;
    Bar& b = bars()[h];
    switch (m) {
    case OSM_DESTROY:
        bars().erase(h);
        return 0;
    case OSM_TB_BUTTONSTRUCTSIZE:
        return 0;
    case OSM_TB_SETBITMAPSIZE:
        b.image_w = std::max(1, os_loword(static_cast<std::uintptr_t>(lp)));
        b.image_h = std::max(1, os_hiword(static_cast<std::uintptr_t>(lp)));
        return 1;
    case OSM_TB_SETBUTTONSIZE:
        b.button_w = std::max(1, os_loword(static_cast<std::uintptr_t>(lp)));
        b.button_h = std::max(1, os_hiword(static_cast<std::uintptr_t>(lp)));
        return 1;
    case OSM_TB_ADDBITMAP: {
        const auto* ab = reinterpret_cast<const OsTbAddBitmap*>(lp);
        auto n = static_cast<std::int32_t>(wp);
        if (!ab || n <= 0) return -1;
        OsImage img;
        if (ab->instance == OS_HINST_COMMCTRL) {
            // The standard strip brings all its images.
            if (ab->id != OS_IDB_STD_SMALL_COLOR || !os_resource_image(OS_RT_BITMAP, OS_STD_SMALL_RESOURCE, img)) return -1;
            n = OS_STD_IMAGE_COUNT;
        } else if (!os_resource_image(OS_RT_BITMAP, ab->id, img)) {
            return -1;
        }
        QImage add(img.width, img.height, QImage::Format_ARGB32);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                add.setPixel(x, y, img.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) +
                                              static_cast<std::size_t>(x)]);
        // The standard strip is drawn on the classic button face, which takes
        // the bar's own face colour.
        if (ab->instance == OS_HINST_COMMCTRL)
            for (int y = 0; y < add.height(); ++y)
                for (int x = 0; x < add.width(); ++x)
                    if ((add.pixel(x, y) & 0xFFFFFFu) == 0xC0C0C0u) add.setPixel(x, y, 0);
        // The declared count of images decides the strip's room; images the
        // file lacks show empty.
        QImage strip(b.image_w * (b.images + n), b.image_h, QImage::Format_ARGB32);
        strip.fill(Qt::transparent);
        QPainter p(&strip);
        if (!b.strip.isNull()) p.drawImage(0, 0, b.strip);
        p.drawImage(b.image_w * b.images, 0, add);
        p.end();
        b.strip = strip;
        const std::int32_t first = b.images;
        b.images += n;
        repaint(h);
        return first;
    }
    case OSM_TB_ADDBUTTONS: {
        const auto* bt = reinterpret_cast<const OsTbButton*>(lp);
        if (!bt) return 0;
        b.buttons.insert(b.buttons.end(), bt, bt + wp);
        repaint(h);
        return 1;
    }
    case OSM_TB_BUTTONCOUNT:
        return static_cast<std::intptr_t>(b.buttons.size());
    case OSM_TB_GETBUTTON: {
        auto* out = reinterpret_cast<OsTbButton*>(lp);
        if (!out || wp >= b.buttons.size()) return 0;
        *out = b.buttons[wp];
        return 1;
    }
    case OSM_TB_COMMANDTOINDEX:
        return index_of(b, wp);
    case OSM_TB_ENABLEBUTTON:
    case OSM_TB_CHECKBUTTON:
    case OSM_TB_INDETERMINATE: {
        const int i = index_of(b, wp);
        if (i < 0) return 0;
        std::uint8_t& st = b.buttons[static_cast<std::size_t>(i)].state;
        const std::uint8_t bit = m == OSM_TB_ENABLEBUTTON ? OS_TBSTATE_ENABLED
                                 : m == OSM_TB_CHECKBUTTON ? OS_TBSTATE_CHECKED
                                                           : OS_TBSTATE_INDETERMINATE;
        st = static_cast<std::uint8_t>(lp ? (st | bit) : (st & ~bit));
        repaint(h);
        return 1;
    }
    case OSM_TB_ISBUTTONENABLED:
    case OSM_TB_ISBUTTONCHECKED:
    case OSM_TB_ISBUTTONINDETERMINATE: {
        const int i = index_of(b, wp);
        if (i < 0) return 0;
        const std::uint8_t bit = m == OSM_TB_ISBUTTONENABLED ? OS_TBSTATE_ENABLED
                                 : m == OSM_TB_ISBUTTONCHECKED ? OS_TBSTATE_CHECKED
                                                               : OS_TBSTATE_INDETERMINATE;
        return (b.buttons[static_cast<std::size_t>(i)].state & bit) ? 1 : 0;
    }
    case OSM_TB_AUTOSIZE:
        // The library places its bars itself.
        return 0;
    case OSM_TB_GETTOOLTIPS:
        return (r->style & OS_TBSTYLE_TOOLTIPS) ? h : 0;
    case OSM_LBUTTONDOWN: {
        const int i = toolbar_button_at(h, QPoint(os_loword(static_cast<std::uintptr_t>(lp)),
                                                  os_hiword(static_cast<std::uintptr_t>(lp))));
        b.pressed = (i >= 0 && (b.buttons[static_cast<std::size_t>(i)].state & OS_TBSTATE_ENABLED)) ? i : -1;
        if (b.pressed >= 0) os_set_capture(h);
        repaint(h);
        return 0;
    }
    case OSM_LBUTTONUP: {
        const int i = toolbar_button_at(h, QPoint(static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp))),
                                                  static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp)))));
        const int was = b.pressed;
        b.pressed = -1;
        if (os_get_capture() == h) os_release_capture();
        repaint(h);
        if (was < 0 || was != i) return 0;
        OsTbButton& bt = b.buttons[static_cast<std::size_t>(i)];
        if (bt.style & OS_TBSTYLE_CHECK) bt.state ^= OS_TBSTATE_CHECKED;
        os_send_message(r->parent, OSM_COMMAND, static_cast<std::uint32_t>(bt.command) & 0xFFFF, h);
        return 0;
    }
    default:
        return os_def_window_proc(h, m, wp, lp);
    }
}

void paint_toolbar(WinRec& r, QWidget* w, QPainter& p) {
    const QColor face = qcolour(os_sys_colour(OS_COLOR_BTNFACE));
    p.fillRect(w->rect(), face);
    Bar* b = bar(r.h);
    if (!b) return;
    const auto lay = layout(*b);
    const QColor dark(160, 160, 160), light(255, 255, 255);
    for (std::size_t i = 0; i < b->buttons.size(); ++i) {
        const OsTbButton& bt = b->buttons[i];
        const QRect box = lay[i];
        if (bt.style & OS_TBSTYLE_SEP) {
            p.setPen(dark);
            if (bt.state & OS_TBSTATE_WRAP)
                p.drawLine(box.left() + 2, box.center().y(), box.right() - 2, box.center().y());
            else
                p.drawLine(box.center().x(), box.top() + 2, box.center().x(), box.bottom() - 2);
            continue;
        }
        const bool sunken = (bt.state & OS_TBSTATE_CHECKED) || b->pressed == static_cast<int>(i);
        if (bt.state & OS_TBSTATE_CHECKED) p.fillRect(box.adjusted(1, 1, -1, -1), QColor(225, 225, 225));
        if (sunken) {
            p.setPen(dark);
            p.drawLine(box.topLeft(), box.topRight());
            p.drawLine(box.topLeft(), box.bottomLeft());
            p.setPen(light);
            p.drawLine(box.bottomLeft(), box.bottomRight());
            p.drawLine(box.topRight(), box.bottomRight());
        }
        if (bt.image >= 0 && bt.image < b->images) {
            QImage img = b->strip.copy(bt.image * b->image_w, 0, b->image_w, b->image_h);
            if (!(bt.state & OS_TBSTATE_ENABLED) || (bt.state & OS_TBSTATE_INDETERMINATE)) {
                // Greyed (disabled or neither on nor off): the picture in light grey tones.
                img = img.convertToFormat(QImage::Format_ARGB32);
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x) {
                        const QRgb c = img.pixel(x, y);
                        const int g = 128 + qGray(c) / 2;
                        img.setPixel(x, y, qRgba(g, g, g, qAlpha(c)));
                    }
            }
            const int off = sunken ? 1 : 0;
            p.drawImage(box.left() + (box.width() - b->image_w) / 2 + off, box.top() + (box.height() - b->image_h) / 2 + off,
                        img);
        }
    }
}

}  // namespace osw

using namespace osw;

std::string os_input_tooltip(OsWindow toolbar, int index) {
    const std::string text = toolbar_tooltip(toolbar, index);
    WinRec* r = rec(toolbar);
    if (r && r->widget && !text.empty() && !os_app_headless()) {
        Bar* b = bar(toolbar);
        const auto lay = layout(*b);
        QToolTip::showText(r->widget->mapToGlobal(lay[static_cast<std::size_t>(index)].bottomLeft()),
                           os_qstring(text), r->widget);
    }
    return text;
}

bool os_toolbar_button_rect(OsWindow toolbar, int index, OsRect& r) {
    Bar* b = bar(toolbar);
    if (!b || index < 0 || index >= static_cast<int>(b->buttons.size())) return false;
    const QRect box = layout(*b)[static_cast<std::size_t>(index)];
    r = {box.left(), box.top(), box.right() + 1, box.bottom() + 1};
    return true;
}

void os_input_toolbar_click(OsWindow toolbar, int index) {
    Bar* b = bar(toolbar);
    if (!b || index < 0 || index >= static_cast<int>(b->buttons.size())) return;
    const QRect box = layout(*b)[static_cast<std::size_t>(index)];
    os_input_mouse(toolbar, OS_MOUSE_PRESS, 1, box.center().x(), box.center().y());
    os_input_mouse(toolbar, OS_MOUSE_RELEASE, 1, box.center().x(), box.center().y());
}
