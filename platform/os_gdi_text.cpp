// Fonts by face, their metrics, text extents and text output on the
// retained images. Text is drawn aliased, so pictures are the same on every
// machine that has the same fonts.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

#include "platform/os_app.h"
#include "platform/os_codepage.h"
#include "platform/os_config.h"
#include "platform/os_dc_p.h"
#include "platform/os_symbol.h"

using namespace osg;

namespace {

bool same_face(const std::string& a, const char* b) {
    std::string x = a;
    while (!x.empty() && x.back() == ' ') x.pop_back();
    return QString::fromLatin1(x.c_str()).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// The family that serves a face; symbol tells whether codes follow the
// Symbol layout.
QString family_for(const OsLogFont& lf, bool& symbol, bool& wingdings) {
    symbol = false;
    wingdings = false;
    // "Wingdings" is not installed: its check mark and cross (and the
    // ballot boxes beside them) are drawn from DejaVu Sans.
    if (same_face(lf.face, "Wingdings")) {
        wingdings = true;
        return QStringLiteral("DejaVu Sans");
    }
    if (same_face(lf.face, "Arial")) return QStringLiteral("Liberation Sans");
    if (same_face(lf.face, "Times New Roman")) return QStringLiteral("Liberation Serif");
    if (same_face(lf.face, "Courier New")) return QStringLiteral("Liberation Mono");
    if (same_face(lf.face, "Lucida Console")) return QStringLiteral("DejaVu Sans Mono");
    if (same_face(lf.face, "Symbol") || lf.charset == OS_SYMBOL_CHARSET) {
        symbol = true;
        return QStringLiteral("DejaVu Sans");
    }
    std::string face = lf.face;
    while (!face.empty() && face.back() == ' ') face.pop_back();
    if (!face.empty()) {
        const QString f = QString::fromStdString(os_cp1252_to_utf8(face));
        if (QFontDatabase::families().contains(f, Qt::CaseInsensitive)) return f;
    }
    switch (lf.pitch_and_family & 0xF0) {
        case OS_FF_ROMAN: return QStringLiteral("Liberation Serif");
        case OS_FF_MODERN: return QStringLiteral("Liberation Mono");
        default: break;
    }
    if ((lf.pitch_and_family & 3) == OS_FIXED_PITCH) return QStringLiteral("Liberation Mono");
    return QStringLiteral("Liberation Sans");
}

QFont base_font(const QString& family, const OsLogFont& lf) {
    QFont q(family);
    q.setStyleStrategy(QFont::NoAntialias);
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight <= 0 ? 400 : lf.weight, 1, 1000)));
    q.setItalic(lf.italic);
    q.setUnderline(lf.underline);
    q.setStrikeOut(lf.strike_out);
    q.setKerning(false);
    return q;
}

OsTextMetric metrics_of(const QFont& q, const OsLogFont& lf) {
    const QFontMetrics fm(q);
    OsTextMetric tm;
    tm.ascent = fm.ascent();
    tm.descent = fm.descent();
    tm.height = tm.ascent + tm.descent;
    tm.internal_leading = std::max(0, tm.height - q.pixelSize());
    tm.external_leading = std::max(0, fm.leading());
    tm.ave_char_width = fm.averageCharWidth();
    tm.max_char_width = fm.maxWidth();
    tm.weight = lf.weight <= 0 ? 400 : lf.weight;
    tm.italic = lf.italic;
    tm.underline = lf.underline;
    tm.charset = lf.charset;
    return tm;
}

}  // namespace

// Pixel size below which text is not narrowed beyond the percentage after it.
constexpr int SmallText = 20;
constexpr long MinSmallStretch = 70;

Font osg::make_font(const OsLogFont& lf) {
    os_app_gui();
    Font f;
    f.lf = lf;
    QFont q = base_font(family_for(lf, f.symbol, f.wingdings), lf);
    // Height: negative asks for the character height (the em), positive for
    // the cell; 0 for the default size.
    constexpr int probe = 200;
    int px = os_config().gui_font_height;
    if (lf.height < 0) {
        px = lf.height == INT32_MIN ? 32767 : -lf.height;
    } else if (lf.height > 0) {
        q.setPixelSize(probe);
        const QFontMetrics fm(q);
        const int cell = std::max(1, fm.ascent() + fm.descent());
        px = static_cast<int>(std::lround(static_cast<double>(lf.height) * probe / cell));
    }
    q.setPixelSize(std::clamp(px, 1, 32767));
    // Width: the average character width, reached by stretching the face.
    if (lf.width > 0) {
        const int avg = std::max(1, QFontMetrics(q).averageCharWidth());
        long stretch = std::lround(100.0 * lf.width / avg);
        // Small text narrowed much further has no room left between its
        // strokes on a pixel grid and cannot be read; it keeps that much
        // of its width, and measures as drawn.
        if (px < SmallText) stretch = std::max(stretch, MinSmallStretch);
        q.setStretch(static_cast<int>(std::clamp<long>(stretch, 1, 4000)));
    }
    f.qfont = q;
    f.tm = metrics_of(q, lf);
    return f;
}

namespace {

const Font& font_of(const Dc& dc) {
    if (Object* o = object_of(dc.selected[KindFont], KindFont)) return o->font;
    return object_of(os_get_stock_object(OS_SYSTEM_FONT), KindFont)->font;
}

QString text_of(const Font& f, std::string_view text) {
    QString s;
    s.reserve(static_cast<int>(text.size()));
    for (char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        char32_t u = f.wingdings ? os_wingdings_to_unicode(b)
                     : f.symbol  ? os_symbol_to_unicode(b)
                                 : os_cp1252_to_unicode(b);
        if (u == 0) u = os_cp1252_to_unicode(b);
        s += QString::fromUcs4(&u, 1);
    }
    return s;
}

}  // namespace

OsObject os_create_font(const OsLogFont& lf) {
    Object o;
    o.kind = KindFont;
    o.font = make_font(lf);
    return add_object(std::move(o));
}

bool os_get_text_metrics(OsDC dc, OsTextMetric& tm) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    tm = font_of(*d).tm;
    return true;
}

bool os_get_text_extent(OsDC dc, std::string_view text, OsPoint& size) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    const Font& f = font_of(*d);
    size.x = QFontMetrics(f.face()).horizontalAdvance(text_of(f, text));
    size.y = f.tm.height;
    return true;
}

bool os_get_current_position(OsDC dc, OsPoint& pos) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    pos = d->pos;
    return true;
}

TextCell osg::text_cell(std::uint32_t align, std::int32_t escapement, double width, double ascent, double descent) {
    TextCell c{0.0, 0.0, width, ascent, descent, QTransform()};
    const std::uint32_t h = align & OS_TA_CENTER;
    if (h == OS_TA_CENTER)
        c.dx = -std::floor(width / 2.0);
    else if (h == OS_TA_RIGHT)
        c.dx = -width;
    const std::uint32_t v = align & OS_TA_BASELINE;
    if (v == OS_TA_TOP)
        c.dy = ascent;
    else if (v == OS_TA_BOTTOM)
        c.dy = -descent;
    c.rot.rotate(-escapement / 10.0);
    return c;
}

QString osg::text_for_font(const Font& f, std::string_view text) { return text_of(f, text); }

const Font& osg::selected_font(const Dc& d) { return font_of(d); }

bool os_text_out(OsDC dc, std::int32_t x, std::int32_t y, std::string_view text) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    if (d->sink) {
        d->sink->text(*d, {x, y}, text);
        return true;
    }
    QImage* img = surface_of(*d);
    if (!img) return false;
    if (text.empty()) return true;
    // A scaled mapping scales the font's logical size to pixels.
    Font scaled;
    if (!d->map.identity()) {
        const OsPoint p = to_device(*d, x, y);
        x = p.x;
        y = p.y;
        OsLogFont lf = font_of(*d).lf;
        lf.height = static_cast<std::int32_t>(std::clamp(std::lround(lf.height * std::fabs(d->map.sy())), -32767L, 32767L));
        lf.width = static_cast<std::int32_t>(std::clamp(std::lround(lf.width * std::fabs(d->map.sx())), 0L, 32767L));
        if (lf.height == 0) lf.height = -1;
        scaled = make_font(lf);
    }
    const Font& f = d->map.identity() ? font_of(*d) : scaled;
    const QString s = text_of(f, text);
    const int w = QFontMetrics(f.face()).horizontalAdvance(s);
    const int asc = f.tm.ascent, desc = f.tm.descent;
    const std::uint32_t h = d->align & OS_TA_CENTER;
    if (d->align & OS_TA_UPDATECP) {
        x = d->pos.x;
        y = d->pos.y;
        if (h != OS_TA_CENTER) {
            // The position moves along the base line by the text's advance.
            const double a = f.lf.escapement / 10.0 * M_PI / 180.0;
            const double step = h == OS_TA_RIGHT ? -w : w;
            d->pos.x = x + static_cast<std::int32_t>(std::lround(step * std::cos(a)));
            d->pos.y = y - static_cast<std::int32_t>(std::lround(step * std::sin(a)));
        }
    }
    // A text this far off the surface shows nothing, and its box would
    // leave the integer range.
    constexpr std::int32_t far = 1 << 28;
    if (x < -far || x > far || y < -far || y > far) return true;

    const TextCell cell = text_cell(d->align, f.lf.escapement, w, asc, desc);
    const int dx = static_cast<int>(cell.dx), dy = static_cast<int>(cell.dy);
    const QTransform& rot = cell.rot;
    // Room around the cell for overhangs of italic and wide glyphs.
    const int pad = std::max(2, f.tm.height / 2);
    QRect bound = cell.box(pad).toAlignedRect().translated(x, y);
    const OsRect box = drawable_box(*d, *img);
    // A clip region that leaves nothing of the surface draws nothing.
    if (box.right <= box.left || box.bottom <= box.top) return true;
    bound = bound.intersected(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));
    if (bound.isEmpty()) return true;

    // A face narrowed to a requested average width comes out of the
    // hinted one-bit rasteriser with strokes merged and dropped ("5" as
    // "6", points lost). Such text is drawn from its unhinted outline with
    // coverage, and a pixel is inked from a third of its area on, which
    // keeps the thin strokes of a narrowed glyph apart and present.
    const bool narrowed = f.face().stretch() > 0 && f.face().stretch() < 100;
    QFont face = f.face();
    if (narrowed) {
        face.setStyleStrategy(QFont::PreferAntialias);
        face.setHintingPreference(QFont::PreferNoHinting);
    }
    const int ink = narrowed ? 80 : 128;
    // The background box and the text are drawn apart, so every pixel comes
    // out in one of the two colours whatever the coverage.
    const auto layer = [&](bool text) {
        QImage m(bound.size(), QImage::Format_ARGB32);
        m.fill(0);
        QPainter p(&m);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, text && narrowed);
        p.translate(x - bound.left(), y - bound.top());
        p.setTransform(rot, true);
        if (text) {
            p.setPen(Qt::black);
            p.setFont(face);
            p.drawText(QPointF(dx, dy), s);
        } else {
            p.fillRect(QRect(dx, dy - asc, w, asc + desc), Qt::black);
        }
        return m;
    };
    const QImage ink_mask = layer(true);
    const QImage back_mask = d->bk_mode == OS_OPAQUE ? layer(false) : QImage();
    const QRgb pen = to_qrgb(resolve(*d, d->text_colour));
    const QRgb back = to_qrgb(resolve(*d, d->bk_colour));
    for (int j = 0; j < ink_mask.height(); ++j) {
        const QRgb* t = reinterpret_cast<const QRgb*>(ink_mask.constScanLine(j));
        const QRgb* b = back_mask.isNull() ? nullptr : reinterpret_cast<const QRgb*>(back_mask.constScanLine(j));
        QRgb* dst = reinterpret_cast<QRgb*>(img->scanLine(bound.top() + j));
        for (int i = 0; i < ink_mask.width(); ++i) {
            if (qAlpha(t[i]) >= ink) dst[bound.left() + i] = pen;
            else if (b && qAlpha(b[i]) >= 128) dst[bound.left() + i] = back;
        }
    }
    surface_changed(*d);
    return true;
}
