#pragma once
// Internals of device contexts and drawing objects, shared by the parts of
// the drawing layer. Qt types live here and nowhere above platform/.
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QTransform>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os_gdi.h"

namespace osg {

enum Kind : std::int32_t {
    KindNone = 0,
    KindPen = 1,
    KindBrush = 2,
    KindFont = 3,
    KindBitmap = 4,
    KindPalette = 5,
    KindRegion = 6,
    KindMetafile = 7,
};

struct Pen {
    std::uint32_t style = OS_PS_SOLID;  // low bits: OS_PS_*
    // The style the pen was made with. A wider pen draws solid whatever
    // its style, but a metafile records the style asked for, as the
    // system's own metafiles do, and other readers draw it.
    std::uint32_t asked_style = OS_PS_SOLID;
    std::int32_t width = 1;
    std::uint32_t colour = 0;
    bool geometric = false;
    std::vector<std::uint32_t> dashes;  // on, off, ... in pixels; empty: solid
};

struct Brush {
    bool null = false;
    std::uint32_t colour = 0;
    std::optional<std::array<std::uint32_t, 64>> pattern;  // RGB, row by row
};

struct Font {
    OsLogFont lf;
    // Set for font objects only: pens, brushes and bitmaps, made by the
    // thousand while pictures are drawn, do not build a face each.
    std::optional<QFont> qfont;
    const QFont& face() const {
        static const QFont none;
        return qfont ? *qfont : none;
    }
    bool symbol = false;   // codes go through the Symbol layout
    bool wingdings = false;   // codes go through the Wingdings layout
    OsTextMetric tm;
};

struct Object {
    Kind kind = KindNone;
    bool stock = false;
    Pen pen;
    Brush brush;
    Font font;
    QImage bitmap;
    std::vector<std::uint32_t> palette;   // entries as set
    std::vector<std::uint32_t> realised;  // entries as last realised
    OsRect region;
    // Metafiles: the records as stored (plain metafile without a placeable
    // header, or enhanced metafile).
    std::vector<std::uint8_t> records;
    bool enhanced = false;
};

// Window and viewport of a device context: logical units become device
// pixels as (logical - window origin) x viewport extent / window extent +
// viewport origin; the extents count only in the anisotropic mode.
struct Mapping {
    std::int32_t mode = OS_MM_TEXT;
    OsPoint worg{0, 0}, wext{1, 1}, vorg{0, 0}, vext{1, 1};
    bool scaled() const { return mode == OS_MM_ANISOTROPIC || mode == OS_MM_ISOTROPIC; }
    double sx() const { return scaled() && wext.x != 0 ? static_cast<double>(vext.x) / wext.x : 1.0; }
    double sy() const { return scaled() && wext.y != 0 ? static_cast<double>(vext.y) / wext.y : 1.0; }
    bool identity() const { return worg.x == vorg.x && worg.y == vorg.y && sx() == 1.0 && sy() == 1.0; }
};

struct Dc;

// A device context that is no pixel surface: a printer's pages or a
// metafile's records. Drawing calls reach it in logical units; state calls
// are told so that a recorder can keep them.
class Sink {
public:
    virtual ~Sink() = default;
    enum State : std::int32_t {
        SetBkMode, SetTextColour, SetBkColour, SetTextAlign, SetRop2, SetMapMode, SetWindowOrg, SetWindowExt,
        SetViewportOrg, SetViewportExt, ScaleViewportExt, SaveDc, RestoreDc, ClipRect, ClipNone, Select,
    };
    virtual void state(Dc&, State, std::array<std::int32_t, 4>) {}
    virtual void deleted(OsObject) {}
    virtual void move_to(Dc&, OsPoint) {}
    virtual void line_to(Dc&, OsPoint from, OsPoint to) = 0;
    virtual void poly(Dc&, const std::vector<OsPoint>& pts, bool closed) = 0;
    virtual void rectangle(Dc&, OsRect box) = 0;
    // kind 0 ellipse, 1 pie, 2 arc
    virtual void ellipse(Dc&, int kind, OsRect box, OsPoint a, OsPoint b) = 0;
    virtual void pixel(Dc&, OsPoint p, std::uint32_t rgb) = 0;
    virtual void text(Dc&, OsPoint p, std::string_view text) = 0;
    virtual void stretch_dib(Dc&, OsRect dst, OsRect src, const std::vector<std::uint8_t>& dib, std::uint32_t rop) = 0;
    // Printers: pages and the size of what they draw on.
    virtual bool start_doc(Dc&, std::string_view) { return false; }
    virtual bool start_page(Dc&) { return false; }
    virtual bool end_page(Dc&) { return false; }
    virtual bool end_doc(Dc&) { return false; }
    virtual std::int32_t caps(std::int32_t) const { return 0; }
};

struct Dc {
    OsWindow window = 0;      // window device context, or 0 for a memory one
    bool memory = false;
    std::int32_t bk_mode = OS_OPAQUE;
    std::uint32_t align = OS_TA_LEFT | OS_TA_TOP;
    std::int32_t rop2 = OS_R2_COPYPEN;
    std::uint32_t text_colour = 0x000000;
    std::uint32_t bk_colour = 0xFFFFFF;
    std::array<OsObject, 6> selected{};   // by Kind: pen, brush, font, bitmap, palette
    std::optional<OsRect> clip;
    OsPoint pos;
    OsObject own_bitmap = 0;  // memory device contexts: the bitmap they were made with
    Mapping map;
    std::vector<Dc> saved;       // SaveDC levels, the first level first
    std::shared_ptr<Sink> sink;  // printers and metafiles
    bool information = false;    // an information context: asks, draws nothing
};

// A point in device pixels.
inline OsPoint to_device(const Dc& d, std::int64_t x, std::int64_t y) {
    const Mapping& m = d.map;
    if (m.identity()) return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    const double dx = static_cast<double>(x - m.worg.x) * m.sx() + m.vorg.x;
    const double dy = static_cast<double>(y - m.worg.y) * m.sy() + m.vorg.y;
    auto clampi = [](double v) { return static_cast<std::int32_t>(std::clamp(std::round(v), -1e9, 1e9)); };
    return {clampi(dx), clampi(dy)};
}

// A device-independent bitmap (header, colour table, rows bottom-up) as a
// top-down image; a null image when the block is no such bitmap.
QImage dib_image(const std::uint8_t* dib, std::size_t size);

// Enters a new device context under a fresh handle.
OsDC add_dc(Dc d);
// Tells every recording metafile that an object is gone.
void object_deleted(OsObject h);

std::map<OsDC, Dc>& dcs();
std::map<OsObject, Object>& objects();

// The device context and the objects last looked up: a picture of many small
// shapes asks for the same few handles again and again. Entries of the maps
// keep their addresses until erased, and every erasure forgets these.
struct Remembered {
    static constexpr unsigned Objects = 8;
    OsDC dc = 0;
    Dc* dc_at = nullptr;
    std::array<OsObject, Objects> object{};
    std::array<Object*, Objects> object_at{};
    unsigned next = 0;
};
extern Remembered remembered;
Dc* dc_lookup(OsDC h);
Object* object_lookup(OsObject h);
// To be called before a device context or an object is erased from the maps:
// dc_of and object_of forget the addresses they remember.
void forget_handles();
inline Dc* dc_of(OsDC h) {
    if (remembered.dc_at && remembered.dc == h) return remembered.dc_at;
    return dc_lookup(h);
}
// The object of a handle, nullptr when there is none or it is of another
// kind than kind (KindNone: any kind).
inline Object* object_of(OsObject h, Kind kind) {
    Object* o = nullptr;
    // A shape selects its pen, brush and clip region and puts back the
    // ones they replaced: a few objects in turn.
    for (unsigned i = 0; i < Remembered::Objects; ++i)
        if (remembered.object_at[i] && remembered.object[i] == h) {
            o = remembered.object_at[i];
            break;
        }
    if (!o) o = object_lookup(h);
    return !o || (kind != KindNone && o->kind != kind) ? nullptr : o;
}
// Enters a new object under a fresh handle.
OsObject add_object(Object o);

// A font object's face, size and metrics (os_gdi_text.cpp).
Font make_font(const OsLogFont& lf);
// The font selected in a device context (the system font when none).
const Font& selected_font(const Dc& d);
// A text in a font's own characters (Windows-1252, or the Symbol layout).
QString text_for_font(const Font& f, std::string_view text);

// Where a text of WIDTH lies around its reference point, y down: the
// alignment (left, centre, right; top, base line, bottom) puts the start of
// its base line at (dx, dy) in the text's own frame, the escapement (tenths
// of a degree) turns that frame, and box() is the turned cell of ascent +
// descent, widened by PAD on every side.
struct TextCell {
    double dx = 0.0, dy = 0.0, width = 0.0, ascent = 0.0, descent = 0.0;
    QTransform rot;
    QRectF box(double pad = 0.0) const {
        return rot.mapRect(QRectF(dx - pad, dy - ascent - pad, width + 2 * pad, ascent + descent + 2 * pad));
    }
};
TextCell text_cell(std::uint32_t align, std::int32_t escapement, double width, double ascent, double descent);

// The image a device context draws on, nullptr when there is none.
QImage* surface_of(const Dc& dc);
// The screen shows the change (window device contexts).
void surface_changed(const Dc& dc);
// An RGB for a COLORREF in a device context (palette indices resolved).
std::uint32_t resolve(const Dc& dc, std::uint32_t colour);
// The drawable rectangle: the surface, cut to the clip region.
OsRect drawable_box(const Dc& dc, const QImage& img);

// A block transfer of swidth x sheight source pixels onto width x height
// destination pixels (os_bit_blt, os_stretch_blt).
bool transfer(OsDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, OsDC src,
              std::int32_t sx, std::int32_t sy, std::int32_t swidth, std::int32_t sheight, std::uint32_t rop);

inline std::uint32_t to_rgb(QRgb c) {
    return static_cast<std::uint32_t>(qRed(c)) | (static_cast<std::uint32_t>(qGreen(c)) << 8) |
           (static_cast<std::uint32_t>(qBlue(c)) << 16);
}
inline QRgb to_qrgb(std::uint32_t c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace osg
