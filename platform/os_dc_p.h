#pragma once
// Internals of device contexts and drawing objects, shared by the parts of
// the drawing layer. Qt types live here and nowhere above platform/.
#include <QFont>
#include <QImage>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/os_gdi.h"

namespace osg {

enum Kind : std::int32_t { KindNone = 0, KindPen = 1, KindBrush = 2, KindFont = 3, KindBitmap = 4, KindPalette = 5, KindRegion = 6 };

struct Pen {
    std::uint32_t style = OS_PS_SOLID;  // low bits: OS_PS_*
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
};

std::map<OsDC, Dc>& dcs();
std::map<OsObject, Object>& objects();
Dc* dc_of(OsDC h);
Object* object_of(OsObject h, Kind kind);
// Enters a new object under a fresh handle.
OsObject add_object(Object o);

// A font object's face, size and metrics (os_gdi_text.cpp).
Font make_font(const OsLogFont& lf);

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
