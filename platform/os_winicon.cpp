// Window icons from icon resources, and scrolling a window's retained picture.
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <map>

#include "platform/os_menu.h"
#include "platform/os_window_p.h"

namespace {

struct IconState {
    std::map<OsIcon, QImage> icons;
    OsIcon next = 1;
    std::map<OsWindow, std::pair<OsIcon, OsIcon>> of_window;  // large, small
    std::map<std::string, OsIcon> of_class;                   // shared, never destroyed
};

IconState& is() {
    static auto* s = new IconState;
    return *s;
}

void show_icon(OsWindow w) {
    osw::WinRec* r = osw::rec(w);
    if (!r || !r->widget) return;
    const auto& p = is().of_window[w];
    const OsIcon shown = p.first ? p.first : p.second;
    auto it = is().icons.find(shown);
    r->widget->setWindowIcon(it == is().icons.end() ? QIcon() : QIcon(QPixmap::fromImage(it->second)));
}

}  // namespace

OsIcon os_load_icon(OsResName id) {
    OsImage img;
    if (!os_resource_image(OS_RT_ICON, id, img) || img.width <= 0 || img.height <= 0) return 0;
    QImage q(img.width, img.height, QImage::Format_ARGB32);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            q.setPixel(x, y, img.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) +
                                        static_cast<std::size_t>(x)]);
    const OsIcon h = is().next++;
    is().icons[h] = q;
    return h;
}

bool os_destroy_icon(OsIcon icon) {
    for (const auto& [name, shared] : is().of_class)
        if (shared == icon) return false;
    return is().icons.erase(icon) != 0;
}

OsIcon os_get_class_icon(OsWindow w) {
    const osw::WinRec* r = osw::rec(w);
    if (!r) return 0;
    const osw::ClassRec* c = osw::find_class(r->class_name);
    if (!c || c->cls.icon.empty()) return 0;
    auto it = is().of_class.find(c->cls.name);
    if (it != is().of_class.end() && is().icons.count(it->second)) return it->second;
    const OsIcon h = os_load_icon(std::string_view(c->cls.icon));
    if (h) is().of_class[c->cls.name] = h;
    return h;
}

OsIcon os_set_window_icon(OsWindow w, bool big, OsIcon icon) {
    if (!osw::rec(w)) return 0;
    auto& p = is().of_window[w];
    OsIcon& slot = big ? p.first : p.second;
    const OsIcon old = slot;
    slot = icon;
    show_icon(w);
    return old;
}

OsIcon os_get_window_icon(OsWindow w, bool big) {
    if (!osw::rec(w)) return 0;
    auto it = is().of_window.find(w);
    if (it == is().of_window.end()) return 0;
    return big ? it->second.first : it->second.second;
}

bool os_scroll_window(OsWindow w, std::int32_t dx, std::int32_t dy) {
    osw::WinRec* r = osw::rec(w);
    if (!r) return false;
    const OsPoint cs = osw::client_size(*r);
    if (!r->surface.isNull() && (dx != 0 || dy != 0)) {
        const QImage old = r->surface.copy();
        QPainter p(&r->surface);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(dx, dy, old);
    }
    // The strips the picture left uncovered are to be painted again.
    if (dx > 0) {
        const OsRect a{0, 0, dx, cs.y};
        os_invalidate_rect(w, &a, true);
    } else if (dx < 0) {
        const OsRect a{cs.x + dx, 0, cs.x, cs.y};
        os_invalidate_rect(w, &a, true);
    }
    if (dy > 0) {
        const OsRect a{0, 0, cs.x, dy};
        os_invalidate_rect(w, &a, true);
    } else if (dy < 0) {
        const OsRect a{0, cs.y + dy, cs.x, cs.y};
        os_invalidate_rect(w, &a, true);
    }
    if (r->widget) r->widget->update();
    return true;
}
