#include "lib/graphics/gdi.h"

#include <algorithm>
#include <string>

#include "lib/window/quinda_state.h"
#include "platform/os_gdi.h"

GdiState gdi;

const std::array<std::vector<std::uint32_t>, 7> BaseDashArrays = {{
    {1, 4},                // Dot
    {8, 6},                // LongDash
    {1, 4, 8, 4},          // DotDash
    {1, 4, 1, 4, 8, 4},    // DotDotDash
    {8, 4, 4, 4},          // LongShort
    {4, 4},                // ShortDash
    {8, 4, 4, 4, 4, 4},    // LongShortShort
}};

namespace {

constexpr std::int32_t kRopCopy = 13;

OsDC dc() { return wtab.gDC; }

std::uint32_t u32(std::int32_t v) { return static_cast<std::uint32_t>(v); }

// The solid brushes and the fill pens of the colours last filled, kept from
// one shape to the next: a picture of many small shapes in few colours
// (filled contour bands go back and forth between two) makes each once
// instead of once a shape. Not while a metafile records, where each shape's
// tools are made anew.
struct KeptTool {
    OsObject handle = 0;
    std::uint32_t colour = 0;
    std::uint32_t used = 0;
};
struct KeptTools {
    std::array<KeptTool, 4> tools{};
    std::uint32_t clock = 0;
};
KeptTools kept_brush, kept_pen;

constexpr std::int32_t ObjectPen = 1, ObjectBrush = 2;

// Selects the kept tool of the colour (made when none is of that colour,
// in place of the one unused longest, or when it no longer exists) and
// returns the object it replaces.
OsObject select_kept(KeptTools& kept, std::int32_t kind, std::uint32_t colour) {
    auto make = [&] {
        return kind == ObjectBrush ? os_create_solid_brush(colour) : os_create_pen(OS_PS_SOLID, 1, colour);
    };
    KeptTool* k = nullptr;
    for (KeptTool& t : kept.tools)
        if (t.handle && t.colour == colour) k = &t;
    if (!k) {
        k = &kept.tools[0];
        for (KeptTool& t : kept.tools)
            if (t.used < k->used) k = &t;
        if (k->handle) os_delete_object(k->handle);
        *k = {make(), colour, 0};
    }
    k->used = ++kept.clock;
    OsObject old = os_select_object(dc(), k->handle);
    if (os_current_object(dc(), kind) != k->handle) {
        k->handle = make();
        old = os_select_object(dc(), k->handle);
    }
    return old;
}

// The spare graphics pens go (none is selected: the graphics pen is), and
// the graphics pen, of a state that may be gone, will not be put aside.
void drop_spare_pens() {
    for (GdiState::SparePen& s : gdi.SparePens) {
        if (s.handle) os_delete_object(s.handle);
        s = {};
    }
    gdi.PenKeepable = false;
}

// The graphics pen of the present colour selected from the spare ones,
// the replaced one put aside in its place; false when none has the colour.
bool select_spare_pen() {
    for (GdiState::SparePen& s : gdi.SparePens) {
        if (!s.handle || s.colour != gdi.GraphicsColour) continue;
        os_select_object(dc(), s.handle);
        if (os_current_object(dc(), ObjectPen) != s.handle) {
            // Gone meanwhile.
            s = {};
            return false;
        }
        std::swap(s.handle, wtab.gPen);
        s.colour = gdi.StyleBrush;
        if (!gdi.PenKeepable) {
            os_delete_object(s.handle);
            s = {};
        }
        gdi.StyleBrush = gdi.GraphicsColour;
        gdi.PenKeepable = true;
        return true;
    }
    return false;
}

// Makes and selects the graphics pen of the present colour, style and
// width. The pen it replaces is deleted, or with keep put aside as a spare.
void make_graphics_pen(bool keep) {
    if (wtab.gPen) {
        os_select_object(dc(), wtab.gPenOld);
        if (keep && gdi.PenKeepable) {
            GdiState::SparePen& s = gdi.SparePens[gdi.NextSpare++ % gdi.SparePens.size()];
            if (s.handle) os_delete_object(s.handle);
            s = {wtab.gPen, gdi.StyleBrush};
        } else {
            os_delete_object(wtab.gPen);
        }
        wtab.gPen = 0;
    }
    gdi.StyleBrush = gdi.GraphicsColour;
    const std::int32_t width = std::max<std::int32_t>(1, gdi.gLineWidth);
    if (wtab.WinNT && gdi.gPenStyle != 0 && gdi.gLineType >= 1 && gdi.gLineType <= 7) {
        wtab.gPen = os_ext_create_pen(OS_PS_GEOMETRIC | OS_PS_JOIN_BEVEL | OS_PS_ENDCAP_SQUARE | OS_PS_USERSTYLE, width,
                                      gdi.StyleBrush,
                                      gdi.ScaledDashArrays[static_cast<std::size_t>(gdi.gLineType - 1)]);
    }
    // Dash arrays scaled down to nothing make no geometric pen; the
    // cosmetic pen of the style stands in.
    if (!wtab.gPen) wtab.gPen = os_create_pen(u32(gdi.gPenStyle), width, gdi.GraphicsColour);
    gdi.PenKeepable = true;
    const OsObject old = os_select_object(dc(), wtab.gPen);
    if (old) wtab.gPenOld = old;
}

// A pen, a brush and the clip region selected for one filled shape, and put
// back when it is done.
class ShapeTools {
public:
    enum PenKind { GraphicsPen, FillPen, NullPen };
    enum BrushKind { PatternBrush, SolidBrush, NullBrush };
    ShapeTools(BrushKind brush, PenKind pen, bool use_region) {
        const bool keep = !wtab.hGraphicsMetafile;
        if (brush == PatternBrush)
            brush_ = yywinstipple();
        else if (brush == SolidBrush && !keep)
            brush_ = os_create_solid_brush(gdi.GraphicsColour);
        if (brush == SolidBrush && keep)
            old_brush_ = select_kept(kept_brush, ObjectBrush, gdi.GraphicsColour);
        else
            old_brush_ = os_select_object(dc(), brush == NullBrush ? os_get_stock_object(OS_NULL_BRUSH) : brush_);
        if (pen == FillPen && keep) {
            old_pen_ = select_kept(kept_pen, ObjectPen, gdi.GraphicsColour);
        } else if (pen == FillPen) {
            pen_ = os_create_pen(OS_PS_SOLID, 1, gdi.GraphicsColour);
            old_pen_ = os_select_object(dc(), pen_);
        } else if (pen == NullPen) {
            old_pen_ = os_select_object(dc(), os_get_stock_object(OS_NULL_PEN));
        }
        if (use_region && wtab.gRegion) region_ = os_select_clip_rgn(dc(), wtab.gRegion);
    }
    ~ShapeTools() {
        if (region_) os_select_clip_rgn(dc(), 0);
        if (old_pen_) os_select_object(dc(), old_pen_);
        if (old_brush_) os_select_object(dc(), old_brush_);
        if (pen_) os_delete_object(pen_);
        if (brush_) os_delete_object(brush_);
    }
    ShapeTools(const ShapeTools&) = delete;
    ShapeTools& operator=(const ShapeTools&) = delete;

private:
    OsObject brush_ = 0, pen_ = 0, old_brush_ = 0, old_pen_ = 0;
    bool region_ = false;
};

// The first count points of the buffer, in a list kept from call to call:
// the drawing layer does not keep it past the call it is given to.
const std::vector<OsPoint>& buffer_points(std::int32_t count) {
    static std::vector<OsPoint> pts;
    pts.clear();
    const std::int32_t n = std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(gdi.gPoints.size()));
    for (std::int32_t i = 0; i < n; ++i) {
        const auto& p = gdi.gPoints[static_cast<std::size_t>(i)];
        pts.push_back({p[0], p[1]});
    }
    return pts;
}

void set_pixel(std::int32_t x, std::int32_t y, std::uint32_t colour) { os_set_pixel(dc(), x, y, colour); }

}  // namespace

// ---- colour, pen, attributes ----------------------------------------------------

void yywincolour(std::int32_t device, std::int32_t rgb) {
    gdi.GraphicsColourPrevious = gdi.GraphicsColour;
    if (wtab.hGraphicsMetafile)
        gdi.GraphicsColour = u32(rgb) & 0xFFFFFF;
    else if (wtab.gPal256)
        gdi.GraphicsColour = os_palette_index(u32(device) & 0xFFFF);
    else if (dc())
        gdi.GraphicsColour = os_get_nearest_color(dc(), u32(rgb) & 0xFFFFFF);
    else
        gdi.GraphicsColour = u32(rgb) & 0xFFFFFF;
    gdi.gStippleChanged = 1;
    // The pen of this colour is already made (pictures of many small shapes
    // set the same colour before each): select it again instead of making it
    // anew. Pens made while a metafile records are always made anew.
    if (wtab.gPen && !wtab.hGraphicsMetafile) {
        if (gdi.StyleBrush == gdi.GraphicsColour) {
            const OsObject old = os_select_object(dc(), wtab.gPen);
            if (old && old != wtab.gPen) wtab.gPenOld = old;
            return;
        }
        // A pen of this colour put aside earlier.
        if (select_spare_pen()) return;
        make_graphics_pen(true);
        return;
    }
    yywincreatepen();
}

void yywincreatepen() {
    drop_spare_pens();
    make_graphics_pen(false);
}

void yywinlinetype(std::int32_t type) {
    static constexpr std::int32_t styles[8] = {0, 2, 1, 3, 4, 3, 1, 4};
    gdi.gPenStyle = (type >= 0 && type <= 7) ? styles[type] : 0;
    gdi.gLineType = (type >= 0 && type <= 7) ? type : 0;
    yywincreatepen();
}

void yywinlinewidth(std::int32_t width) {
    gdi.gLineWidth = width;
    yywinlinestyles();
    yywincreatepen();
}

void yywinlinestyles() {
    // Pens put aside may have other dash arrays than the ones made now.
    drop_spare_pens();
    if (!wtab.WinNT) return;
    const std::int32_t screen = wtab.wScreenDPI > 0 ? wtab.wScreenDPI : 96;
    std::int32_t r = screen;
    if (wtab.hGraphicsMetafile && gdi.wMetafileDPI > 0) r = gdi.wMetafileDPI;
    // Always from the arrays at screen resolution, so repeated calls do not
    // compound the scaling or the lengthened gaps.
    for (std::size_t t = 0; t < BaseDashArrays.size(); ++t) {
        std::vector<std::uint32_t> a = BaseDashArrays[t];
        for (std::size_t i = 0; i < a.size(); ++i) {
            a[i] = static_cast<std::uint32_t>(static_cast<std::int64_t>(a[i]) * r / screen);
            if (i % 2 == 1 && gdi.gLineWidth > 1) a[i] += static_cast<std::uint32_t>(gdi.gLineWidth - 1);
        }
        gdi.ScaledDashArrays[t] = std::move(a);
    }
}

void yywinplotmode(std::int32_t mode) {
    switch (mode) {
        case 0: gdi.gPlotmode = 13; break;
        case 1: gdi.gPlotmode = 15; break;
        case 2: gdi.gPlotmode = 9; break;
        case 3: gdi.gPlotmode = 7; break;
        default: break;
    }
    os_set_rop2(dc(), gdi.gPlotmode);
}

std::int32_t yywinstipple() {
    if (wtab.hGraphicsMetafile) {
        const std::uint32_t a = gdi.GraphicsColour, b = gdi.GraphicsColourPrevious;
        const std::uint32_t r = (((a & 0xFF) + (b & 0xFF)) / 2), g = ((((a >> 8) & 0xFF) + ((b >> 8) & 0xFF)) / 2),
                            bl = ((((a >> 16) & 0xFF) + ((b >> 16) & 0xFF)) / 2);
        return os_create_solid_brush(r | (g << 8) | (bl << 16));
    }
    if (!wtab.gBitmap) return os_create_solid_brush(gdi.GraphicsColour);
    if (gdi.gStippleChanged) {
        const OsDC mem = os_create_compatible_dc(dc());
        const OsObject old_bitmap = os_select_object(mem, wtab.gBitmap);
        if (wtab.gPal256) {
            os_select_palette(mem, wtab.gPal256, false);
            os_realize_palette(mem);
        }
        for (int i = 0; i < 8; i += 2)
            for (int j = 0; j < 8; j += 2) {
                os_set_pixel(mem, j, i, gdi.GraphicsColour);
                os_set_pixel(mem, j + 1, i + 1, gdi.GraphicsColour);
                os_set_pixel(mem, j + 1, i, gdi.GraphicsColourPrevious);
                os_set_pixel(mem, j, i + 1, gdi.GraphicsColourPrevious);
            }
        os_select_object(mem, old_bitmap);
        os_delete_dc(mem);
        gdi.gStippleChanged = 0;
    }
    return os_create_pattern_brush(wtab.gBitmap);
}

// ---- shapes --------------------------------------------------------------------------

void yywinellipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t style,
                  std::int32_t kind) {
    if (style == 4) {
        ShapeTools t(ShapeTools::NullBrush, ShapeTools::GraphicsPen, true);
        os_ellipse(dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2);
    } else if (kind == 3) {
        ShapeTools t(ShapeTools::PatternBrush, ShapeTools::NullPen, true);
        os_ellipse(dc(), x - rx - 1, y - ry - 1, x + rx + 3, y + ry + 3);
    } else {
        ShapeTools t(ShapeTools::SolidBrush, ShapeTools::FillPen, true);
        os_ellipse(dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2);
    }
}

void yywinrectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t kind) {
    ShapeTools t(kind == 3 ? ShapeTools::PatternBrush : ShapeTools::SolidBrush, ShapeTools::NullPen, false);
    os_rectangle(dc(), left, top, right + 2, bottom + 2);
}

void yywinarc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t x1, std::int32_t y1,
              std::int32_t x2, std::int32_t y2, std::int32_t kind) {
    const bool pattern = kind == 3;
    const std::int32_t e = pattern ? 3 : 2;
    ShapeTools t(pattern ? ShapeTools::PatternBrush : ShapeTools::SolidBrush,
                 pattern ? ShapeTools::NullPen : ShapeTools::FillPen, true);
    os_pie(dc(), x - rx - 1, y - ry - 1, x + rx + e, y + ry + e, x1, y1, x2, y2);
}

void yywinoutlinearc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t x1,
                     std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t density, std::int32_t style) {
    ShapeTools t(ShapeTools::NullBrush, ShapeTools::GraphicsPen, true);
    if (density < 3 || style > 0)
        os_pie(dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, x1, y1, x2, y2);
    else
        os_arc(dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, x1, y1, x2, y2);
}

void yywinpolpoint(std::int32_t x, std::int32_t y, std::int32_t index) {
    if (index < 0 || index >= static_cast<std::int32_t>(gdi.gPoints.size())) return;
    gdi.gPoints[static_cast<std::size_t>(index)] = {x, y};
}

void yywinpolygon(std::int32_t count, std::int32_t kind) {
    const bool pattern = kind == 3;
    // A solid polygon with its border on the screen (filled contour bands
    // by the hundred thousand) is drawn in its colour without selecting a
    // pen and a brush for it and putting the previous ones back; the
    // pixels are the same. Not while a metafile records the selections.
    if (!pattern && gdi.gPlotmode != 7 && !wtab.hGraphicsMetafile &&
        os_polygon_in_colours(dc(), buffer_points(count), gdi.GraphicsColour, gdi.GraphicsColour, wtab.gRegion))
        return;
    // In exclusive-or mode the border would be inverted twice.
    const ShapeTools::PenKind pen = (pattern || gdi.gPlotmode == 7) ? ShapeTools::NullPen : ShapeTools::FillPen;
    ShapeTools t(pattern ? ShapeTools::PatternBrush : ShapeTools::SolidBrush, pen, true);
    os_polygon(dc(), buffer_points(count));
}

void yywinpolyline(std::int32_t count) {
    const std::vector<OsPoint>& pts = buffer_points(count);
    os_polyline(dc(), pts);
    if (gdi.gPenStyle == 0 && pts.size() >= 1) {
        const OsPoint a = pts.front(), b = pts.back();
        if (a.x != b.x || a.y != b.y) set_pixel(b.x, b.y, gdi.GraphicsColour);
    }
}

void yywinlines(std::int32_t count) {
    const std::vector<OsPoint>& pts = buffer_points(count);
    yywinlines_at(pts.data(), static_cast<std::int32_t>(pts.size()));
}

void yywinlines_at(const OsPoint* points, std::int32_t count) {
    const auto n = static_cast<std::size_t>(std::max<std::int32_t>(count, 0));
    if (gdi.gPenStyle == 0 && os_lines_with_ends(dc(), points, n, gdi.GraphicsColour)) return;
    for (std::size_t j = 1; j < n; ++j) yywinline(points[j - 1].x, points[j - 1].y, points[j].x, points[j].y);
}

void yywinline(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    os_move_to(dc(), x1, y1);
    if (gdi.gPenStyle == 0)
        os_line_to_with_end(dc(), x2, y2, gdi.GraphicsColour);
    else
        os_line_to(dc(), x2, y2);
}

void yywinpoint(std::int32_t x, std::int32_t y) { set_pixel(x, y, gdi.GraphicsColour); }

void yywinpointrgb(std::int32_t x, std::int32_t y, std::int32_t rgb) {
    if (wtab.gPal256)
        set_pixel(x, y, os_palette_index(os_get_nearest_palette_index(wtab.gPal256, u32(rgb) & 0xFFFFFF)));
    else
        set_pixel(x, y, u32(rgb) & 0xFFFFFF);
}

void yywingetpixelrgb(std::int32_t x, std::int32_t y, std::int32_t& r, std::int32_t& g, std::int32_t& b) {
    const std::uint32_t c = os_get_pixel(dc(), x, y);
    if (c == OS_CLR_INVALID) {
        r = -1;
        return;
    }
    r = static_cast<std::int32_t>(c & 0xFF);
    g = static_cast<std::int32_t>((c >> 8) & 0xFF);
    b = static_cast<std::int32_t>((c >> 16) & 0xFF);
}

void yywinclear(std::int32_t width, std::int32_t height, std::int32_t rgb) {
    std::uint32_t colour;
    if (wtab.hGraphicsMetafile)
        colour = u32(rgb) & 0xFFFFFF;
    else if (wtab.gPal256)
        colour = os_palette_index(0);
    else
        colour = os_get_nearest_color(dc(), u32(rgb) & 0xFFFFFF);
    const OsObject brush = os_create_solid_brush(colour);
    const OsObject old_pen = os_select_object(dc(), os_get_stock_object(OS_NULL_PEN));
    const OsObject old_brush = os_select_object(dc(), brush);
    const std::int32_t old_rop = os_set_rop2(dc(), kRopCopy);
    os_rectangle(dc(), 0, 0, width + 1, height + 1);
    if (old_rop) os_set_rop2(dc(), old_rop);
    if (old_brush) os_select_object(dc(), old_brush);
    if (old_pen) os_select_object(dc(), old_pen);
    os_delete_object(brush);
}

void yywinclip(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (wtab.gRegion) {
        os_delete_object(wtab.gRegion);
        wtab.gRegion = 0;
    }
    if (bottom != -1) wtab.gRegion = os_create_rect_rgn(left, top, right, bottom);
}

// ---- text ------------------------------------------------------------------------------

void yywintextsize(std::int32_t& width, std::int32_t& height, std::int32_t& ascent, std::int32_t angle,
                   std::int32_t family, std::int32_t flags, std::string_view face) {
    if (wtab.gFont) {
        os_select_object(dc(), wtab.gFontOld);
        os_delete_object(wtab.gFont);
        wtab.gFont = 0;
    }
    OsLogFont lf;
    switch (family) {
        case 1: lf.face = "Courier New"; lf.charset = OS_ANSI_CHARSET; lf.pitch_and_family = OS_FF_MODERN; break;
        case 2: lf.face = "Arial"; lf.charset = OS_ANSI_CHARSET; lf.pitch_and_family = OS_FF_SWISS; break;
        case 3: lf.face = "Times New Roman"; lf.charset = OS_ANSI_CHARSET; lf.pitch_and_family = OS_FF_ROMAN; break;
        case 4: lf.face = "Symbol"; lf.charset = OS_SYMBOL_CHARSET; lf.pitch_and_family = OS_FF_ROMAN; break;
        // Family 0, and any other value, take the face name given.
        default: lf.face = std::string(face); lf.charset = OS_DEFAULT_CHARSET; lf.pitch_and_family = 0; break;
    }
    lf.pitch_and_family |= OS_VARIABLE_PITCH;
    lf.height = -height;
    lf.width = width;
    lf.weight = (flags & 1) ? 700 : 400;
    lf.italic = (flags & 2) != 0;
    lf.underline = (flags & 4) != 0;
    lf.out_precision = OS_OUT_TT_PRECIS;
    lf.clip_precision = OS_CLIP_LH_ANGLES;
    lf.quality = OS_DEFAULT_QUALITY;

    // Metrics of the upright font first.
    OsTextMetric tm;
    {
        const OsObject f = os_create_font(lf);
        const OsObject old = os_select_object(dc(), f);
        os_get_text_metrics(dc(), tm);
        if (old) os_select_object(dc(), old);
        os_delete_object(f);
    }
    lf.escapement = lf.orientation = angle * 10;
    wtab.gFont = os_create_font(lf);
    const OsObject old = os_select_object(dc(), wtab.gFont);
    if (old) wtab.gFontOld = old;
    height = tm.height;
    ascent = tm.ascent;
    OsPoint ext;
    os_get_text_extent(dc(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", ext);
    width = ext.x;
}

void yywintextlength(std::int32_t& width, std::string_view text, std::int32_t count) {
    const std::size_t n = static_cast<std::size_t>(std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(text.size())));
    OsPoint ext;
    if (!os_get_text_extent(dc(), text.substr(0, n), ext)) ext.x = 0;
    width = ext.x;
}

void yywindrawstring(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t justification,
                     std::int32_t box, std::string_view text, std::int32_t count) {
    std::int32_t x, y;
    std::uint32_t align;
    switch (justification) {
        case 0: align = OS_TA_BASELINE | OS_TA_LEFT; x = x1; y = y1; break;
        case 1: align = OS_TA_BASELINE | OS_TA_CENTER; x = (x1 + x2) / 2; y = (y1 + y2) / 2; break;
        case 2: align = OS_TA_BASELINE | OS_TA_RIGHT; x = x2; y = y2; break;
        default: return;
    }
    const std::size_t n = static_cast<std::size_t>(std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(text.size())));
    const std::uint32_t old_text = os_set_text_color(dc(), gdi.GraphicsColour);
    const std::uint32_t old_bk = os_set_bk_color(dc(), gdi.GraphicsColourPrevious);
    const std::int32_t old_mode = os_set_bk_mode(dc(), box == 1 ? OS_OPAQUE : OS_TRANSPARENT);
    const std::uint32_t old_align = os_set_text_align(dc(), align);
    os_text_out(dc(), x, y, text.substr(0, n));
    os_set_text_align(dc(), old_align);
    if (old_mode) os_set_bk_mode(dc(), old_mode);
    os_set_bk_color(dc(), old_bk);
    os_set_text_color(dc(), old_text);
}

// ---- copies, gradients, palette ---------------------------------------------------------

void yywinblit(std::int32_t sleft, std::int32_t stop, std::int32_t dleft, std::int32_t dtop, std::int32_t width,
               std::int32_t height, std::int32_t fill, std::int32_t fill_rgb) {
    const bool region = wtab.gRegion && os_select_clip_rgn(dc(), wtab.gRegion);
    std::uint32_t rop = OS_SRCCOPY;
    if (gdi.gPlotmode == 15) rop = OS_SRCPAINT;
    else if (gdi.gPlotmode == 9) rop = OS_SRCAND;
    else if (gdi.gPlotmode == 7) rop = OS_SRCINVERT;
    os_bit_blt(dc(), dleft, dtop, width, height, dc(), sleft, stop, rop);

    if (fill != 0 && width > 0 && height > 0) {
        // The part of the source the destination does not cover, as one
        // polygon of inclusive pixel corners (its 1-pixel border in the
        // same colour makes the corners count).
        const std::int32_t L = sleft, T = stop, R = sleft + width - 1, B = stop + height - 1;
        const std::int32_t dx = dleft - sleft, dy = dtop - stop;
        std::vector<OsPoint> poly;
        if (dx == 0 && dy == 0) {
            // Nothing moved, nothing uncovered.
        } else if (std::abs(dx) >= width || std::abs(dy) >= height) {
            poly = {{L, T}, {R, T}, {R, B}, {L, B}};
        } else if (dy == 0) {
            const std::int32_t a = dx > 0 ? L : R + dx + 1, b = dx > 0 ? L + dx - 1 : R;
            poly = {{a, T}, {b, T}, {b, B}, {a, B}};
        } else if (dx == 0) {
            const std::int32_t a = dy > 0 ? T : B + dy + 1, b = dy > 0 ? T + dy - 1 : B;
            poly = {{L, a}, {R, a}, {R, b}, {L, b}};
        } else {
            // xi: the uncovered column next to the covered corner; yi: the
            // uncovered row next to it.
            const std::int32_t xi = dx > 0 ? L + dx - 1 : R + dx + 1;
            const std::int32_t yi = dy > 0 ? T + dy - 1 : B + dy + 1;
            if (dx > 0 && dy > 0)
                poly = {{L, T}, {R, T}, {R, yi}, {xi, yi}, {xi, B}, {L, B}};
            else if (dx < 0 && dy > 0)
                poly = {{L, T}, {R, T}, {R, B}, {xi, B}, {xi, yi}, {L, yi}};
            else if (dx > 0 && dy < 0)
                poly = {{L, T}, {xi, T}, {xi, yi}, {R, yi}, {R, B}, {L, B}};
            else
                poly = {{L, yi}, {xi, yi}, {xi, T}, {R, T}, {R, B}, {L, B}};
        }
        if (!poly.empty()) {
            const std::uint32_t c = u32(fill_rgb) & 0xFFFFFF;
            const OsObject pen = os_create_pen(OS_PS_SOLID, 1, c);
            const OsObject brush = os_create_solid_brush(c);
            const OsObject old_pen = os_select_object(dc(), pen);
            const OsObject old_brush = os_select_object(dc(), brush);
            const std::int32_t old_rop = os_set_rop2(dc(), kRopCopy);
            os_polygon(dc(), poly);
            if (old_rop) os_set_rop2(dc(), old_rop);
            if (old_brush) os_select_object(dc(), old_brush);
            if (old_pen) os_select_object(dc(), old_pen);
            os_delete_object(brush);
            os_delete_object(pen);
        }
    }
    if (region) os_select_clip_rgn(dc(), 0);
}

void yywingradfill(const std::int32_t* x, const std::int32_t* y, const std::int32_t* rgb, const std::int32_t* tri,
                   std::int32_t n, std::int32_t t, std::int32_t& failed) {
    n = std::clamp<std::int32_t>(n, 0, static_cast<std::int32_t>(gdi.gVert.size()));
    t = std::clamp<std::int32_t>(t, 0, static_cast<std::int32_t>(gdi.gGrad.size()));
    for (std::int32_t i = 0; i < n; ++i) {
        GdiState::Vertex& v = gdi.gVert[static_cast<std::size_t>(i)];
        const std::uint32_t c = u32(rgb[i]);
        v.x = x[i];
        v.y = y[i];
        v.red = static_cast<std::uint16_t>((c & 0xFF) * 256);
        v.green = static_cast<std::uint16_t>(((c >> 8) & 0xFF) * 256);
        v.blue = static_cast<std::uint16_t>(((c >> 16) & 0xFF) * 256);
        v.alpha = 0;
    }
    for (std::int32_t k = 0; k < t; ++k)
        for (std::size_t j = 0; j < 3; ++j)
            gdi.gGrad[static_cast<std::size_t>(k)][j] = u32(tri[3 * k + static_cast<std::int32_t>(j)] - 1);
    // This platform offers no system gradient fill (wtab.pGradientFill stays
    // 0), so the call fails and the caller fills pixel by pixel.
    failed = wtab.pGradientFill ? 0 : 1;
}

void yywinpalette(std::int32_t index, std::int32_t rgb, std::int32_t mode) { yywinpalette256(index, rgb, mode); }

void yywinpalette256(std::int32_t index, std::int32_t rgb, std::int32_t mode) {
    if (wtab.hGraphicsMetafile || !wtab.gPal256) return;
    if (index < 0 || index >= static_cast<std::int32_t>(wtab.gLogPal.size())) return;
    if (mode == 0 || mode == 1) os_unrealize_object(wtab.gPal256);
    const std::uint32_t c = u32(rgb) & 0xFFFFFF;
    wtab.gLogPal[static_cast<std::size_t>(index)] = c;
    os_set_palette_entries(wtab.gPal256, index, {c});
    if (mode == 0 || mode == 3) {
        os_select_palette(dc(), wtab.gPal256, false);
        os_realize_palette(dc());
    }
}

// ---- set-up -------------------------------------------------------------------------------

void yywinsetup() {
    gdi.gStippleChanged = 1;
    gdi.gPenStyle = 0;
    gdi.gLineType = 0;
    gdi.gPlotmode = kRopCopy;
    os_set_rop2(dc(), kRopCopy);
    yywinlinestyles();
}

void yywinselectprevious() {
    drop_spare_pens();
    if (!dc()) return;
    if (wtab.gPenOld) os_select_object(dc(), wtab.gPenOld);
    if (wtab.gFontOld) os_select_object(dc(), wtab.gFontOld);
}

void yywinselectcurrent() {
    if (!dc()) return;
    gdi.gStippleChanged = 1;
    os_set_rop2(dc(), gdi.gPlotmode);
    os_set_bk_mode(dc(), OS_TRANSPARENT);
    if (wtab.gPen) {
        const OsObject old = os_select_object(dc(), wtab.gPen);
        if (old) wtab.gPenOld = old;
    }
    if (wtab.gFont) {
        const OsObject old = os_select_object(dc(), wtab.gFont);
        if (old) wtab.gFontOld = old;
    }
    yywinlinestyles();
    if (wtab.gPal256) {
        os_select_palette(dc(), wtab.gPal256, false);
        os_realize_palette(dc());
    }
}

void reset_gdi_state() { gdi = GdiState{}; }
