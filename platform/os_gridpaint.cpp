// Clipped and filled text, scrolling with children and painting a control
// into a memory bitmap (os_gridpaint.h).
#include "platform/os_gridpaint.h"

#include <QPainter>
#include <algorithm>
#include <cctype>

#include "platform/os_dc_p.h"
#include "platform/os_gdi.h"
#include "platform/os_menu.h"
#include "platform/os_window_p.h"

bool os_ext_text_out(OsDC dc, std::int32_t x, std::int32_t y, std::uint32_t options, const OsRect* rect,
                     std::string_view text) {
    if (!osg::dc_of(dc)) return false;
    if (!rect || !(options & (OS_ETO_OPAQUE | OS_ETO_CLIPPED))) return os_text_out(dc, x, y, text);
    const std::int32_t level = os_save_dc(dc);
    if (options & OS_ETO_CLIPPED) {
        OsRect clip = *rect;
        OsRect old;
        if (os_get_clip_box(dc, old)) {
            clip.left = std::max(clip.left, old.left);
            clip.top = std::max(clip.top, old.top);
            clip.right = std::min(clip.right, old.right);
            clip.bottom = std::min(clip.bottom, old.bottom);
            if (clip.right < clip.left) clip.right = clip.left;
            if (clip.bottom < clip.top) clip.bottom = clip.top;
        }
        const OsObject rgn = os_create_rect_rgn(clip.left, clip.top, clip.right, clip.bottom);
        os_select_clip_rgn(dc, rgn);
        os_delete_object(rgn);
    }
    if ((options & OS_ETO_OPAQUE) && rect->right > rect->left && rect->bottom > rect->top) {
        const OsObject brush = os_create_solid_brush(os_get_bk_color(dc));
        const OsObject old_brush = os_select_object(dc, brush);
        const OsObject old_pen = os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
        // A rectangle without a pen leaves out one more column and row.
        os_rectangle(dc, rect->left, rect->top, rect->right + 1, rect->bottom + 1);
        os_select_object(dc, old_pen);
        os_select_object(dc, old_brush);
        os_delete_object(brush);
    }
    const bool ok = os_text_out(dc, x, y, text);
    if (level > 0) os_restore_dc(dc, level);
    return ok;
}

bool os_scroll_window_ex(OsWindow w, std::int32_t dx, std::int32_t dy, std::uint32_t flags) {
    if (!os_scroll_window(w, dx, dy)) return false;
    if ((flags & OS_SW_SCROLLCHILDREN) && (dx != 0 || dy != 0)) {
        for (OsWindow c : os_child_windows(w)) {
            OsRect r;
            if (!os_get_window_rect(c, r)) continue;
            OsPoint tl{r.left, r.top};
            os_screen_to_client(w, tl);
            os_set_window_pos(c, 0, tl.x + dx, tl.y + dy, 0, 0,
                              OS_SWP_NOSIZE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
    }
    return true;
}

bool os_paint_window_into(OsWindow w, OsDC memory_dc) {
    osw::WinRec* r = osw::rec(w);
    osg::Dc* d = osg::dc_of(memory_dc);
    if (!r || !d || !d->memory || !r->widget) return false;
    std::string name = r->class_name;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto it = osw::st().painters.find(name);
    if (it == osw::st().painters.end() || !it->second) return false;
    QImage* img = osg::surface_of(*d);
    if (!img) return false;
    {
        QPainter p(img);
        it->second(*r, r->widget, p);
    }
    osg::surface_changed(*d);
    return true;
}

bool os_get_font_logfont(OsObject font, OsLogFont& lf) {
    const osg::Object* o = osg::object_of(font, osg::KindFont);
    if (!o) return false;
    lf = o->font.lf;
    return true;
}
