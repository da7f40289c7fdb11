// Device contexts over retained images, and the drawing objects: pens,
// brushes, fonts (made in os_gdi_text.cpp), regions, palettes and bitmaps.
#include "platform/os_dc.h"

#include "platform/os_config.h"
#include "platform/os_dc_p.h"
#include "platform/os_window_p.h"

namespace osg {

std::map<OsDC, Dc>& dcs() {
    static std::map<OsDC, Dc> m;
    return m;
}
std::map<OsObject, Object>& objects() {
    static std::map<OsObject, Object> m;
    return m;
}

Remembered remembered;

void forget_handles() { remembered = Remembered{}; }

Dc* dc_lookup(OsDC h) {
    Remembered& r = remembered;
    auto it = dcs().find(h);
    if (it == dcs().end()) return nullptr;
    r.dc = h;
    r.dc_at = &it->second;
    return r.dc_at;
}

Object* object_lookup(OsObject h) {
    Remembered& r = remembered;
    auto it = objects().find(h);
    if (it == objects().end()) return nullptr;
    Object* o = &it->second;
    const unsigned slot = r.next++ % Remembered::Objects;
    r.object[slot] = h;
    r.object_at[slot] = o;
    return o;
}

QImage* surface_of(const Dc& dc) {
    if (dc.memory) {
        Object* b = object_of(dc.selected[KindBitmap], KindBitmap);
        return b && !b->bitmap.isNull() ? &b->bitmap : nullptr;
    }
    osw::WinRec* r = osw::rec(dc.window);
    return r && !r->surface.isNull() ? &r->surface : nullptr;
}

void surface_changed(const Dc& dc) {
    if (dc.memory) return;
    if (osw::WinRec* r = osw::rec(dc.window))
        if (r->widget && !r->repaint_asked) {
            r->repaint_asked = true;
            r->widget->update();
        }
}

std::uint32_t resolve(const Dc& dc, std::uint32_t colour) {
    switch (colour >> 24) {
        case 1: {
            const Object* p = object_of(dc.selected[KindPalette], KindPalette);
            const std::uint32_t i = colour & 0xFFFF;
            if (!p || i >= p->realised.size()) return 0;
            return p->realised[i] & 0xFFFFFF;
        }
        default:
            return colour & 0xFFFFFF;
    }
}

OsRect drawable_box(const Dc& dc, const QImage& img) {
    OsRect b{0, 0, img.width(), img.height()};
    if (dc.clip) {
        b.left = std::max(b.left, dc.clip->left);
        b.top = std::max(b.top, dc.clip->top);
        b.right = std::min(b.right, dc.clip->right);
        b.bottom = std::min(b.bottom, dc.clip->bottom);
    }
    return b;
}

std::int32_t new_handle() {
    // Device contexts and objects share one numbering, so a handle never
    // names two things.
    static std::int32_t next_handle = 1;
    while (next_handle <= 0 || dcs().count(next_handle) || objects().count(next_handle)) {
        if (++next_handle <= 0) next_handle = 1;
    }
    return next_handle++;
}

OsObject add_object(Object o) {
    const OsObject h = new_handle();
    objects().emplace(h, std::move(o));
    return h;
}

OsDC add_dc(Dc d) {
    const OsDC h = new_handle();
    dcs().emplace(h, std::move(d));
    return h;
}

void object_deleted(OsObject h) {
    for (auto& [dh, d] : dcs())
        if (d.sink) d.sink->deleted(h);
}

}  // namespace osg

using namespace osg;

namespace {

// Stock objects, made on first use and kept through resets.
std::map<std::int32_t, OsObject>& stock() {
    static std::map<std::int32_t, OsObject> m;
    return m;
}

// On and off lengths of the built-in pen styles (solid, dash, dot,
// dash-dot, dash-dot-dot).
const std::vector<std::uint32_t>& style_pattern(std::uint32_t style) {
    static const std::vector<std::uint32_t> patterns[5] = {{}, {18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    return patterns[style];
}

void set_defaults(Dc& d) {
    d.selected[KindPen] = os_get_stock_object(OS_BLACK_PEN);
    d.selected[KindBrush] = os_get_stock_object(OS_WHITE_BRUSH);
    d.selected[KindFont] = os_get_stock_object(OS_SYSTEM_FONT);
}

}  // namespace

// ---- device contexts ----------------------------------------------------------

OsDC os_get_dc(OsWindow w) {
    if (!os_is_window(w)) return 0;
    Dc d;
    d.window = w;
    set_defaults(d);
    return add_dc(std::move(d));
}

bool os_release_dc(OsWindow w, OsDC dc) {
    auto it = dcs().find(dc);
    if (it == dcs().end() || it->second.window != w) return false;
    if (it->second.memory) return os_delete_dc(dc);
    forget_handles();
    dcs().erase(it);
    return true;
}

OsDC os_create_compatible_dc(OsDC) {
    Object b;
    b.kind = KindBitmap;
    b.stock = true;  // the default bitmap goes with the device context
    b.bitmap = QImage(1, 1, QImage::Format_RGB32);
    b.bitmap.fill(Qt::black);
    Dc d;
    d.memory = true;
    set_defaults(d);
    d.selected[KindBitmap] = d.own_bitmap = add_object(std::move(b));
    return add_dc(std::move(d));
}

bool os_delete_dc(OsDC dc) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    const OsObject own = d->own_bitmap;
    // A printer's job still open is ended with it.
    if (d->sink) d->sink->end_doc(*d);
    forget_handles();
    dcs().erase(dc);
    if (own) objects().erase(own);
    return true;
}

OsWindow os_dc_window(OsDC dc) {
    Dc* d = dc_of(dc);
    return d ? d->window : 0;
}

OsPoint os_dc_size(OsDC dc) {
    Dc* d = dc_of(dc);
    const QImage* img = d ? surface_of(*d) : nullptr;
    return img ? OsPoint{img->width(), img->height()} : OsPoint{0, 0};
}

std::int32_t os_set_bk_mode(OsDC dc, std::int32_t mode) {
    Dc* d = dc_of(dc);
    if (!d || (mode != OS_TRANSPARENT && mode != OS_OPAQUE)) return 0;
    const std::int32_t old = d->bk_mode;
    d->bk_mode = mode;
    if (d->sink) d->sink->state(*d, Sink::SetBkMode, {mode});
    return old;
}

std::uint32_t os_set_text_align(OsDC dc, std::uint32_t align) {
    Dc* d = dc_of(dc);
    if (!d) return 0xFFFFFFFFu;
    const std::uint32_t old = d->align;
    d->align = align;
    if (d->sink) d->sink->state(*d, Sink::SetTextAlign, {static_cast<std::int32_t>(align)});
    return old;
}

std::int32_t os_get_bk_mode(OsDC dc) {
    Dc* d = dc_of(dc);
    return d ? d->bk_mode : 0;
}

std::uint32_t os_get_text_align(OsDC dc) {
    Dc* d = dc_of(dc);
    return d ? d->align : 0;
}

std::int32_t os_dc_count() { return static_cast<std::int32_t>(dcs().size()); }

std::int32_t os_set_rop2(OsDC dc, std::int32_t rop) {
    Dc* d = dc_of(dc);
    if (!d || rop < 1 || rop > 16) return 0;
    const std::int32_t old = d->rop2;
    d->rop2 = rop;
    if (d->sink) d->sink->state(*d, Sink::SetRop2, {rop});
    return old;
}

std::int32_t os_get_rop2(OsDC dc) {
    Dc* d = dc_of(dc);
    return d ? d->rop2 : 0;
}

std::uint32_t os_set_text_color(OsDC dc, std::uint32_t colour) {
    Dc* d = dc_of(dc);
    if (!d) return OS_CLR_INVALID;
    const std::uint32_t old = d->text_colour;
    d->text_colour = colour;
    if (d->sink) d->sink->state(*d, Sink::SetTextColour, {static_cast<std::int32_t>(colour)});
    return old;
}

std::uint32_t os_set_bk_color(OsDC dc, std::uint32_t colour) {
    Dc* d = dc_of(dc);
    if (!d) return OS_CLR_INVALID;
    const std::uint32_t old = d->bk_colour;
    d->bk_colour = colour;
    if (d->sink) d->sink->state(*d, Sink::SetBkColour, {static_cast<std::int32_t>(colour)});
    return old;
}

std::uint32_t os_get_text_color(OsDC dc) {
    Dc* d = dc_of(dc);
    return d ? d->text_colour : OS_CLR_INVALID;
}

std::uint32_t os_get_bk_color(OsDC dc) {
    Dc* d = dc_of(dc);
    return d ? d->bk_colour : OS_CLR_INVALID;
}

std::uint32_t os_get_nearest_color(OsDC dc, std::uint32_t colour) {
    Dc* d = dc_of(dc);
    return d ? resolve(*d, colour) : OS_CLR_INVALID;
}

// ---- objects ----------------------------------------------------------------------

OsObject os_get_stock_object(std::int32_t which) {
    auto it = stock().find(which);
    if (it != stock().end() && objects().count(it->second)) return it->second;
    Object o;
    o.stock = true;
    switch (which) {
        case OS_WHITE_BRUSH: o.kind = KindBrush; o.brush.colour = 0xFFFFFF; break;
        case OS_BLACK_BRUSH: o.kind = KindBrush; o.brush.colour = 0; break;
        case OS_NULL_BRUSH: o.kind = KindBrush; o.brush.null = true; break;
        case OS_BLACK_PEN: o.kind = KindPen; break;
        case OS_NULL_PEN: o.kind = KindPen; o.pen.style = o.pen.asked_style = OS_PS_NULL; break;
        case OS_SYSTEM_FONT: {
            OsLogFont lf;
            lf.face = "Arial";
            lf.height = -os_config().gui_font_height;
            o.kind = KindFont;
            o.font = make_font(lf);
            break;
        }
        case OS_SYSTEM_FIXED_FONT: {
            OsLogFont lf;
            lf.face = "Courier New";
            lf.height = -os_config().gui_font_height;
            lf.pitch_and_family = OS_FIXED_PITCH | OS_FF_MODERN;
            o.kind = KindFont;
            o.font = make_font(lf);
            break;
        }
        case OS_DEFAULT_GUI_FONT: {
            OsLogFont lf;
            lf.face = os_config().gui_font_face;
            lf.height = -os_config().gui_font_height;
            o.kind = KindFont;
            o.font = make_font(lf);
            break;
        }
        default: return 0;
    }
    const OsObject h = add_object(std::move(o));
    stock()[which] = h;
    return h;
}

OsObject os_create_pen(std::uint32_t style, std::int32_t width, std::uint32_t colour) {
    const std::uint32_t s = style & OS_PS_STYLE_MASK;
    if (s > OS_PS_NULL) return 0;
    Object o;
    o.kind = KindPen;
    o.pen.style = s;
    o.pen.asked_style = s;
    o.pen.width = width < 1 ? 1 : width;
    o.pen.colour = colour;
    // Styles draw only at width 1; a wider pen is solid.
    if (o.pen.width > 1 && s != OS_PS_NULL) o.pen.style = OS_PS_SOLID;
    if (o.pen.style <= OS_PS_DASHDOTDOT) o.pen.dashes = style_pattern(o.pen.style);
    return add_object(std::move(o));
}

OsObject os_ext_create_pen(std::uint32_t style, std::int32_t width, std::uint32_t colour,
                           const std::vector<std::uint32_t>& dashes) {
    const std::uint32_t s = style & OS_PS_STYLE_MASK;
    if (!(style & OS_PS_GEOMETRIC) || width < 1) return 0;
    Object o;
    o.kind = KindPen;
    o.pen.style = o.pen.asked_style = s;
    o.pen.width = width;
    o.pen.colour = colour;
    o.pen.geometric = true;
    if (s == OS_PS_USERSTYLE) {
        std::uint32_t total = 0;
        for (std::uint32_t v : dashes) total += v;
        if (dashes.empty() || dashes.size() > 16 || total == 0) return 0;
        o.pen.dashes = dashes;
    } else if (s != OS_PS_SOLID && s != OS_PS_NULL) {
            if (s > OS_PS_DASHDOTDOT) return 0;
        o.pen.dashes = style_pattern(s);
    }
    return add_object(std::move(o));
}

OsObject os_create_solid_brush(std::uint32_t colour) {
    Object o;
    o.kind = KindBrush;
    o.brush.colour = colour;
    return add_object(std::move(o));
}

OsObject os_create_pattern_brush(OsObject bitmap) {
    Object* b = object_of(bitmap, KindBitmap);
    if (!b || b->bitmap.width() < 8 || b->bitmap.height() < 8) return 0;
    std::array<std::uint32_t, 64> pat{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pat[static_cast<std::size_t>(y * 8 + x)] = to_rgb(b->bitmap.pixel(x, y));
    Object o;
    o.kind = KindBrush;
    o.brush.pattern = pat;
    return add_object(std::move(o));
}

OsObject os_create_rect_rgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    Object o;
    o.kind = KindRegion;
    // Corners in either order; an inverted rectangle is the same area.
    o.region = {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return add_object(std::move(o));
}

bool os_select_clip_rgn(OsDC dc, OsObject region) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    if (region == 0) {
        d->clip.reset();
        if (d->sink) d->sink->state(*d, Sink::ClipNone, {});
        return true;
    }
    Object* r = object_of(region, KindRegion);
    if (!r) return false;
    d->clip = r->region;
    if (d->sink) d->sink->state(*d, Sink::ClipRect, {r->region.left, r->region.top, r->region.right, r->region.bottom});
    return true;
}

bool os_get_clip_box(OsDC dc, OsRect& r) {
    Dc* d = dc_of(dc);
    if (!d || !d->clip) return false;
    r = *d->clip;
    return true;
}

OsObject os_create_palette(const std::vector<std::uint32_t>& entries) {
    if (entries.empty() || entries.size() > 65536) return 0;
    Object o;
    o.kind = KindPalette;
    o.palette = entries;
    o.realised = entries;
    return add_object(std::move(o));
}

OsObject os_create_compatible_bitmap(OsDC dc, std::int32_t width, std::int32_t height) {
    if (!dcs().count(dc) || width <= 0 || height <= 0 || width > 32767 || height > 32767) return 0;
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull()) return 0;
    img.fill(Qt::black);
    Object o;
    o.kind = KindBitmap;
    o.bitmap = img;
    return add_object(std::move(o));
}

bool os_delete_object(OsObject obj) {
    auto it = objects().find(obj);
    if (it == objects().end() || it->second.stock) return false;
    // An object still selected into a device context stays (as GDI keeps it).
    for (auto& [h, d] : dcs())
        for (OsObject s : d.selected)
            if (s == obj) return false;
    forget_handles();
    objects().erase(it);
    object_deleted(obj);
    return true;
}

std::int32_t os_object_count() {
    std::int32_t n = 0;
    for (auto& [h, o] : objects())
        if (!o.stock) ++n;
    return n;
}

OsObject os_select_object(OsDC dc, OsObject obj) {
    Dc* d = dc_of(dc);
    const Object* o = object_of(obj, KindNone);
    if (!d || !o) return 0;
    const Kind k = o->kind;
    if (k == KindRegion) return os_select_clip_rgn(dc, obj) ? obj : 0;
    if (k == KindPalette) return 0;
    if (k == KindBitmap && (!d->memory || (d->selected[KindBitmap] != obj && os_bitmap_in_use(obj)))) return 0;
    const OsObject old = d->selected[k];
    d->selected[k] = obj;
    if (d->sink) d->sink->state(*d, Sink::Select, {obj});
    return old;
}

OsObject os_current_object(OsDC dc, std::int32_t kind) {
    Dc* d = dc_of(dc);
    if (!d || kind < 1 || kind > 5) return 0;
    return d->selected[static_cast<std::size_t>(kind)];
}

// ---- palettes ------------------------------------------------------------------------

OsObject os_select_palette(OsDC dc, OsObject palette, bool) {
    Dc* d = dc_of(dc);
    if (!d || !object_of(palette, KindPalette)) return 0;
    const OsObject old = d->selected[KindPalette];
    d->selected[KindPalette] = palette;
    return old;
}

std::int32_t os_realize_palette(OsDC dc) {
    Dc* d = dc_of(dc);
    Object* p = d ? object_of(d->selected[KindPalette], KindPalette) : nullptr;
    if (!p) return 0;
    p->realised = p->palette;
    return static_cast<std::int32_t>(p->palette.size());
}

bool os_unrealize_object(OsObject palette) { return object_of(palette, KindPalette) != nullptr; }

std::int32_t os_set_palette_entries(OsObject palette, std::int32_t start, const std::vector<std::uint32_t>& entries) {
    Object* p = object_of(palette, KindPalette);
    if (!p || start < 0) return 0;
    std::int32_t n = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(start) + i;
        if (at >= p->palette.size()) break;
        p->palette[at] = entries[i] & 0xFFFFFF;
        ++n;
    }
    return n;
}

std::vector<std::uint32_t> os_get_palette_entries(OsObject palette) {
    Object* p = object_of(palette, KindPalette);
    return p ? p->palette : std::vector<std::uint32_t>{};
}

std::uint32_t os_get_nearest_palette_index(OsObject palette, std::uint32_t colour) {
    Object* p = object_of(palette, KindPalette);
    if (!p) return OS_CLR_INVALID;
    auto comp = [](std::uint32_t c, int s) { return static_cast<std::int64_t>((c >> s) & 0xFF); };
    std::int64_t best = -1;
    std::uint32_t index = 0;
    for (std::size_t i = 0; i < p->palette.size(); ++i) {
        std::int64_t dist = 0;
        for (int s : {0, 8, 16}) {
            const std::int64_t dd = comp(p->palette[i], s) - comp(colour, s);
            dist += dd * dd;
        }
        if (best < 0 || dist < best) {
            best = dist;
            index = static_cast<std::uint32_t>(i);
        }
    }
    return index;
}

// ---- mapping --------------------------------------------------------------------------

namespace {

bool set_point(OsDC dc, OsPoint Mapping::*field, Sink::State st, std::int32_t x, std::int32_t y) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    d->map.*field = {x, y};
    if (d->sink) d->sink->state(*d, st, {x, y});
    return true;
}

}  // namespace

std::int32_t os_set_map_mode(OsDC dc, std::int32_t mode) {
    Dc* d = dc_of(dc);
    if (!d || mode < 1 || mode > 8) return 0;
    const std::int32_t old = d->map.mode;
    d->map.mode = mode;
    if (d->sink) d->sink->state(*d, Sink::SetMapMode, {mode});
    return old;
}

std::int32_t os_get_map_mode(OsDC dc) {
    Dc* d = dc_of(dc);
    return d ? d->map.mode : 0;
}

bool os_set_window_org(OsDC dc, std::int32_t x, std::int32_t y) {
    return set_point(dc, &Mapping::worg, Sink::SetWindowOrg, x, y);
}
bool os_set_viewport_org(OsDC dc, std::int32_t x, std::int32_t y) {
    return set_point(dc, &Mapping::vorg, Sink::SetViewportOrg, x, y);
}
bool os_set_window_ext(OsDC dc, std::int32_t x, std::int32_t y) {
    if (x == 0 || y == 0) return false;
    return set_point(dc, &Mapping::wext, Sink::SetWindowExt, x, y);
}
bool os_set_viewport_ext(OsDC dc, std::int32_t x, std::int32_t y) {
    if (x == 0 || y == 0) return false;
    return set_point(dc, &Mapping::vext, Sink::SetViewportExt, x, y);
}

bool os_scale_viewport_ext(OsDC dc, std::int32_t xnum, std::int32_t xden, std::int32_t ynum, std::int32_t yden) {
    Dc* d = dc_of(dc);
    if (!d || xden == 0 || yden == 0) return false;
    const std::int64_t x = static_cast<std::int64_t>(d->map.vext.x) * xnum / xden;
    const std::int64_t y = static_cast<std::int64_t>(d->map.vext.y) * ynum / yden;
    if (x == 0 || y == 0) return false;
    d->map.vext = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    if (d->sink) d->sink->state(*d, Sink::ScaleViewportExt, {xnum, xden, ynum, yden});
    return true;
}

bool os_get_window_ext(OsDC dc, OsPoint& ext) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    ext = d->map.wext;
    return true;
}

bool os_get_viewport_ext(OsDC dc, OsPoint& ext) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    ext = d->map.vext;
    return true;
}

std::int32_t os_save_dc(OsDC dc) {
    Dc* d = dc_of(dc);
    if (!d) return 0;
    Dc copy = *d;
    copy.saved.clear();
    copy.sink.reset();
    d->saved.push_back(std::move(copy));
    if (d->sink) d->sink->state(*d, Sink::SaveDc, {});
    return static_cast<std::int32_t>(d->saved.size());
}

bool os_restore_dc(OsDC dc, std::int32_t level) {
    Dc* d = dc_of(dc);
    if (!d || d->saved.empty()) return false;
    const std::int32_t n = static_cast<std::int32_t>(d->saved.size());
    const std::int32_t target = level < 0 ? n + level + 1 : level;
    if (target < 1 || target > n) return false;
    std::vector<Dc> stack = std::move(d->saved);
    std::shared_ptr<Sink> sink = d->sink;
    const bool information = d->information;
    Dc restored = std::move(stack[static_cast<std::size_t>(target - 1)]);
    stack.resize(static_cast<std::size_t>(target - 1));
    *d = std::move(restored);
    d->saved = std::move(stack);
    d->sink = sink;
    d->information = information;
    if (sink) sink->state(*d, Sink::RestoreDc, {level});
    return true;
}

std::int32_t os_get_device_caps(OsDC dc, std::int32_t index) {
    Dc* d = dc_of(dc);
    if (!d) return 0;
    if (d->sink) return d->sink->caps(index);
    const OsConfig& c = os_config();
    const int dpi = c.dpi > 0 ? c.dpi : 96;
    switch (index) {
        case OS_HORZSIZE: return c.screen_mm_width > 0 ? c.screen_mm_width : c.screen_width * 254 / (dpi * 10);
        case OS_VERTSIZE: return c.screen_mm_height > 0 ? c.screen_mm_height : c.screen_height * 254 / (dpi * 10);
        case OS_HORZRES: return c.screen_width;
        case OS_VERTRES: return c.screen_height;
        case OS_BITSPIXEL: return c.colour_bits;
        case OS_PLANES: return 1;
        case OS_NUMCOLORS: return os_screen_colours();
        case OS_LOGPIXELSX:
        case OS_LOGPIXELSY: return dpi;
        default: return 0;
    }
}

void os_dc_reset() {
    forget_handles();
    dcs().clear();
    std::erase_if(objects(), [](const auto& e) {
        for (auto& [w, h] : stock())
            if (h == e.first) return false;
        return true;
    });
}
