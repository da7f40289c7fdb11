// Device contexts over retained images, and the palette and bitmap objects.
#include "platform/os_dc.h"

#include <QImage>

#include <map>

namespace {

struct DcRec {
    OsWindow window = 0;
    std::int32_t bk_mode = OS_OPAQUE;
    std::uint32_t align = OS_TA_LEFT | OS_TA_TOP;
};

struct ObjRec {
    std::vector<std::uint32_t> palette;
    QImage bitmap;
};

std::map<OsDC, DcRec>& dcs() {
    static std::map<OsDC, DcRec> m;
    return m;
}
std::map<OsObject, ObjRec>& objs() {
    static std::map<OsObject, ObjRec> m;
    return m;
}
std::int32_t next_handle = 1;

std::int32_t new_handle() {
    const std::int32_t h = next_handle++;
    if (next_handle <= 0) next_handle = 1;
    return h;
}

}  // namespace

OsDC os_get_dc(OsWindow w) {
    if (!os_is_window(w)) return 0;
    const OsDC h = new_handle();
    dcs()[h] = DcRec{w};
    return h;
}

bool os_release_dc(OsWindow w, OsDC dc) {
    auto it = dcs().find(dc);
    if (it == dcs().end() || it->second.window != w) return false;
    dcs().erase(it);
    return true;
}

OsWindow os_dc_window(OsDC dc) {
    auto it = dcs().find(dc);
    return it == dcs().end() ? 0 : it->second.window;
}

std::int32_t os_set_bk_mode(OsDC dc, std::int32_t mode) {
    auto it = dcs().find(dc);
    if (it == dcs().end() || (mode != OS_TRANSPARENT && mode != OS_OPAQUE)) return 0;
    const std::int32_t old = it->second.bk_mode;
    it->second.bk_mode = mode;
    return old;
}

std::uint32_t os_set_text_align(OsDC dc, std::uint32_t align) {
    auto it = dcs().find(dc);
    if (it == dcs().end()) return 0xFFFFFFFFu;
    const std::uint32_t old = it->second.align;
    it->second.align = align;
    return old;
}

std::int32_t os_get_bk_mode(OsDC dc) {
    auto it = dcs().find(dc);
    return it == dcs().end() ? 0 : it->second.bk_mode;
}

std::uint32_t os_get_text_align(OsDC dc) {
    auto it = dcs().find(dc);
    return it == dcs().end() ? 0 : it->second.align;
}

std::int32_t os_dc_count() { return static_cast<std::int32_t>(dcs().size()); }

OsObject os_create_palette(const std::vector<std::uint32_t>& entries) {
    if (entries.empty() || entries.size() > 65536) return 0;
    const OsObject h = new_handle();
    objs()[h].palette = entries;
    return h;
}

OsObject os_create_compatible_bitmap(OsDC dc, std::int32_t width, std::int32_t height) {
    if (!dcs().count(dc) || width <= 0 || height <= 0 || width > 32767 || height > 32767) return 0;
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull()) return 0;
    img.fill(Qt::black);
    const OsObject h = new_handle();
    objs()[h].bitmap = img;
    return h;
}

bool os_delete_object(OsObject obj) { return objs().erase(obj) > 0; }

std::int32_t os_object_count() { return static_cast<std::int32_t>(objs().size()); }
