// Printers over the toolkit's printing: the PDF printer that is always
// there and the system's printers, their device modes, information and
// device contexts, and a device context that draws on the pages with a
// painter, so printing stays vector.
#include "platform/os_printer.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <map>
#include <optional>
#include <memory>

#include "platform/os_app.h"
#include "platform/os_codepage.h"
#include "platform/os_config.h"
#include "platform/os_dc_p.h"
#include "platform/os_error.h"

using namespace osg;

namespace {

int g_last_error = 0;

struct PrinterRec {
    std::string name;
    bool pdf = false;
    OsDevMode mode;
};

std::map<OsPrinter, PrinterRec>& printers() {
    static std::map<OsPrinter, PrinterRec> m;
    return m;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return std::string(s);
}

QString qs(std::string_view s) { return QString::fromStdString(os_cp1252_to_utf8(trimmed(s))); }

constexpr std::uint32_t ReportedFields = OS_DM_ORIENTATION | OS_DM_PAPERSIZE | OS_DM_COPIES | OS_DM_PRINTQUALITY |
                                         OS_DM_COLOR | OS_DM_DUPLEX | OS_DM_COLLATE;

bool pdf_name(std::string_view name) { return trimmed(name) == OsPdfPrinterName; }

std::string& last_output() {
    static std::string path;
    return path;
}

// The printer of a name with its own device mode; false when there is none.
bool find_printer(std::string_view name, PrinterRec& rec) {
    os_app_gui();
    rec = {};
    rec.name = trimmed(name);
    rec.mode.fields = ReportedFields;
    if (pdf_name(name)) {
        rec.pdf = true;
        // The paper the page set-up offers for the PDF printer: A4, or
        // Letter where inches are used.
        rec.mode.paper_size = os_config().measurement_system == 1 ? 1 : 9;
        return true;
    }
    if (rec.name.empty()) return false;
    const QPrinterInfo info = QPrinterInfo::printerInfo(qs(name));
    if (info.isNull()) return false;
    const int id = info.defaultPageSize().windowsId();
    if (id > 0) rec.mode.paper_size = static_cast<std::int16_t>(id);
    rec.mode.colour = info.supportedColorModes().contains(QPrinter::Color) ? 2 : 1;
    rec.mode.duplex = info.defaultDuplexMode() == QPrinter::DuplexLongSide    ? 2
                      : info.defaultDuplexMode() == QPrinter::DuplexShortSide ? 3
                                                                               : 1;
    rec.mode.print_quality = 0;  // the printer's own
    return true;
}

QPageSize page_size(const OsDevMode& m) {
    const QPageSize p(QPageSize::id(m.paper_size));
    return p.isValid() ? p : QPageSize(QPageSize::Letter);
}

// Sets up a printer for the printer record and its device mode.
void configure(QPrinter& p, const PrinterRec& rec) {
    const OsDevMode& m = rec.mode;
    if (rec.pdf) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setResolution(m.print_quality > 0 ? m.print_quality : 600);
    } else {
        p.setPrinterName(qs(rec.name));
        if (m.print_quality > 0) p.setResolution(m.print_quality);
    }
    p.setPageSize(page_size(m));
    p.setPageOrientation(m.orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    p.setFullPage(true);
    p.setCopyCount(std::max<int>(1, m.copies));
    p.setCollateCopies(m.collate == 1);
    p.setColorMode(m.colour == 1 ? QPrinter::GrayScale : QPrinter::Color);
    p.setDuplex(m.duplex == 2 ? QPrinter::DuplexLongSide
                : m.duplex == 3 ? QPrinter::DuplexShortSide
                                : QPrinter::DuplexNone);
}

struct Geometry {
    std::int32_t res = 600, width = 0, height = 0, off_x = 0, off_y = 0, colours = 16777216;
};

Geometry geometry_of(const PrinterRec& rec) {
    Geometry g;
    const OsDevMode& m = rec.mode;
    if (rec.pdf) {
        g.res = m.print_quality > 0 ? m.print_quality : 600;
        const QSize s = page_size(m).sizePixels(g.res);
        g.width = s.width();
        g.height = s.height();
        if (m.orientation == 2) std::swap(g.width, g.height);
        g.off_x = g.off_y = g.res / 4;
    } else {
        QPrinter p(QPrinter::HighResolution);
        configure(p, rec);
        g.res = p.resolution();
        const QRect full = p.pageLayout().fullRectPixels(g.res);
        const QRect paint = p.pageLayout().paintRectPixels(g.res);
        g.width = full.width();
        g.height = full.height();
        g.off_x = paint.left();
        g.off_y = paint.top();
    }
    g.colours = m.colour == 1 ? 2 : 16777216;
    return g;
}

// A printer device context (or an information context, which has no job).
class PrinterSink : public Sink {
public:
    PrinterSink(PrinterRec rec, bool information) : rec_(std::move(rec)), geo_(geometry_of(rec_)), info_(information) {}
    ~PrinterSink() override { finish(); }

    std::int32_t caps(std::int32_t index) const override {
        switch (index) {
            case OS_HORZSIZE: return (geo_.width - 2 * geo_.off_x) * 254 / (geo_.res * 10);
            case OS_VERTSIZE: return (geo_.height - 2 * geo_.off_y) * 254 / (geo_.res * 10);
            case OS_HORZRES: return geo_.width - 2 * geo_.off_x;
            case OS_VERTRES: return geo_.height - 2 * geo_.off_y;
            case OS_BITSPIXEL: return geo_.colours > 2 ? 24 : 1;
            case OS_PLANES: return 1;
            case OS_NUMCOLORS: return geo_.colours;
            case OS_LOGPIXELSX:
            case OS_LOGPIXELSY: return geo_.res;
            case OS_PHYSICALWIDTH: return geo_.width;
            case OS_PHYSICALHEIGHT: return geo_.height;
            case OS_PHYSICALOFFSETX: return geo_.off_x;
            case OS_PHYSICALOFFSETY: return geo_.off_y;
            default: return 0;
        }
    }

    bool start_doc(Dc&, std::string_view name) override {
        if (info_ || printer_) return fail(OS_ERROR_INVALID_HANDLE);
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        configure(*printer_, rec_);
        printer_->setDocName(qs(name));
        if (rec_.pdf) {
            const std::string& d = os_config().print_directory;
            const QString dir = d.empty() ? QDir::currentPath() : QString::fromStdString(os_cp1252_to_utf8(d));
            const QFileInfo fi(dir);
            if (!fi.isDir()) return fail(OS_ERROR_PATH_NOT_FOUND);
            if (!fi.isWritable()) return fail(OS_ERROR_ACCESS_DENIED);
            // The document name becomes a file name: separators cannot stay.
            QString file = qs(name);
            file.replace(QLatin1Char('/'), QLatin1Char('_'));
            if (file.isEmpty()) file = QStringLiteral("document");
            QString path = QDir(dir).filePath(file + QStringLiteral(".pdf"));
            for (int n = 2; QFileInfo::exists(path); ++n)
                path = QDir(dir).filePath(file + QStringLiteral(" (%1).pdf").arg(n));
            printer_->setOutputFileName(path);
            last_output() = path.toStdString();
        } else {
            last_output().clear();
        }
        return true;
    }

    bool start_page(Dc&) override {
        if (!printer_ || page_open_) return false;
        if (!painter_) {
            painter_ = std::make_unique<QPainter>();
            if (!painter_->begin(printer_.get())) {
                painter_.reset();
                return fail(OS_ERROR_ACCESS_DENIED);
            }
        } else if (!printer_->newPage()) {
            return false;
        }
        page_open_ = true;
        clip_set_ = false;
        last_pen_ = last_brush_ = -1;
        return true;
    }

    bool end_page(Dc&) override {
        if (!page_open_) return false;
        page_open_ = false;
        return true;
    }

    bool end_doc(Dc&) override {
        if (!printer_) return false;
        finish();
        return true;
    }

    void line_to(Dc& d, OsPoint a, OsPoint b) override {
        if (!prepare(d, false)) return;
        painter_->drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y));
    }
    void poly(Dc& d, const std::vector<OsPoint>& pts, bool closed) override {
        if (pts.size() < 2 || !prepare(d, closed)) return;
        QPolygonF q;
        for (const OsPoint& p : pts) q << QPointF(p.x, p.y);
        if (closed)
            painter_->drawPolygon(q, Qt::OddEvenFill);
        else
            painter_->drawPolyline(q);
    }
    void rectangle(Dc& d, OsRect b) override {
        if (!prepare(d, true)) return;
        painter_->drawRect(box(b));
    }
    void ellipse(Dc& d, int kind, OsRect b, OsPoint s, OsPoint e) override {
        if (!prepare(d, kind != 2)) return;
        const QRectF r = box(b);
        if (kind == 0) {
            painter_->drawEllipse(r);
            return;
        }
        const QPointF c = r.center();
        auto angle = [&](OsPoint p) { return std::atan2(c.y() - p.y, p.x - c.x()) * 180.0 / M_PI; };
        const double a0 = angle(s);
        double sweep = std::fmod(angle(e) - a0 + 720.0, 360.0);
        if (sweep < 1e-9) sweep = 360.0;
        const int qa = static_cast<int>(std::lround(a0 * 16)), qs16 = static_cast<int>(std::lround(sweep * 16));
        if (kind == 1)
            painter_->drawPie(r, qa, qs16);
        else
            painter_->drawArc(r, qa, qs16);
    }
    void pixel(Dc& d, OsPoint p, std::uint32_t rgb) override {
        if (!prepare(d, false)) return;
        const OsPoint q = to_device(d, p.x, p.y);
        painter_->setTransform(QTransform::fromTranslate(geo_.off_x, geo_.off_y));
        painter_->fillRect(QRectF(q.x, q.y, 1, 1), QColor::fromRgb(to_qrgb(rgb)));
    }
    void text(Dc& d, OsPoint p, std::string_view t) override {
        if (t.empty() || !prepare(d, false)) return;
        const Font& f = selected_font(d);
        const QString s = text_for_font(f, t);
        const QFontMetricsF fm(f.face(), printer_.get());
        const double w = fm.horizontalAdvance(s);
        const double asc = f.tm.ascent, desc = f.tm.descent;
        double dx = 0, dy = 0;
        const std::uint32_t h = d.align & OS_TA_CENTER, v = d.align & OS_TA_BASELINE;
        if (h == OS_TA_CENTER) dx = -w / 2;
        else if (h == OS_TA_RIGHT) dx = -w;
        if (v == OS_TA_TOP) dy = asc;
        else if (v == OS_TA_BOTTOM) dy = -desc;
        painter_->translate(p.x, p.y);
        painter_->rotate(-f.lf.escapement / 10.0);
        if (d.bk_mode == OS_OPAQUE)
            painter_->fillRect(QRectF(dx, dy - asc, w, asc + desc), QColor::fromRgb(to_qrgb(resolve(d, d.bk_colour))));
        painter_->setPen(QColor::fromRgb(to_qrgb(resolve(d, d.text_colour))));
        last_pen_ = -1;
        painter_->setFont(f.face());
        painter_->drawText(QPointF(dx, dy), s);
    }
    void stretch_dib(Dc& d, OsRect dst, OsRect src, const std::vector<std::uint8_t>& dib, std::uint32_t) override {
        if (!prepare(d, false)) return;
        const QImage img = dib_image(dib.data(), dib.size());
        if (img.isNull()) return;
        // Rows are counted from the bottom of the bitmap.
        const QRectF s(src.left, img.height() - src.top - src.height(), src.width(), src.height());
        painter_->drawImage(QRectF(dst.left, dst.top, dst.width(), dst.height()), img, s);
    }

private:
    bool fail(int code) {
        g_last_error = code;
        return false;
    }

    void finish() {
        clip_set_ = false;
        last_pen_ = last_brush_ = -1;
        if (painter_) painter_->end();
        painter_.reset();
        printer_.reset();
        page_open_ = false;
    }

    static QRectF box(OsRect b) {
        const double l = std::min(b.left, b.right), r = std::max(b.left, b.right);
        const double t = std::min(b.top, b.bottom), bt = std::max(b.top, b.bottom);
        // The right column and the bottom row are outside the box.
        return QRectF(l, t, std::max(0.0, r - l - 1), std::max(0.0, bt - t - 1));
    }

    // Transform, clip, pen and brush of the device context on the painter;
    // false while no page is open.
    bool prepare(Dc& d, bool with_brush) {
        if (!painter_ || !page_open_) return false;
        QPainter& p = *painter_;
        const QTransform page = QTransform::fromTranslate(geo_.off_x, geo_.off_y);
        // The painter keeps what the last call set: only what changed is set
        // again (objects are never changed once made, so a handle names them).
        const std::optional<OsRect> clip = d.clip;
        const bool same_clip = clip_set_ && clip.has_value() == last_clip_.has_value() &&
                               (!clip || (clip->left == last_clip_->left && clip->top == last_clip_->top &&
                                          clip->right == last_clip_->right && clip->bottom == last_clip_->bottom));
        if (!same_clip) {
            p.setTransform(page);
            if (clip)
                p.setClipRect(QRect(clip->left, clip->top, clip->width(), clip->height()));
            else
                p.setClipping(false);
            last_clip_ = clip;
            clip_set_ = true;
        }
        const Mapping& m = d.map;
        const double sx = m.sx(), sy = m.sy();
        p.setTransform(QTransform(sx, 0, 0, sy, m.vorg.x - m.worg.x * sx, m.vorg.y - m.worg.y * sy) * page);
        const OsObject pen = d.selected[KindPen], brush = with_brush ? d.selected[KindBrush] : 0;
        if (pen != last_pen_ || resolve(d, pen_colour(d)) != last_pen_rgb_) {
            p.setPen(pen_of(d));
            last_pen_ = pen;
            last_pen_rgb_ = resolve(d, pen_colour(d));
        }
        if (brush != last_brush_) {
            p.setBrush(with_brush ? brush_of(d) : QBrush());
            last_brush_ = brush;
        }
        return true;
    }

    static std::uint32_t pen_colour(const Dc& d) {
        const Object* o = object_of(d.selected[KindPen], KindPen);
        return o ? o->pen.colour : 0;
    }

    static QPen pen_of(const Dc& d) {
        const Object* o = object_of(d.selected[KindPen], KindPen);
        if (!o || o->pen.style == OS_PS_NULL) return QPen(Qt::NoPen);
        const Pen& pen = o->pen;
        QPen q(QColor::fromRgb(to_qrgb(resolve(d, pen.colour))));
        const bool cosmetic = !pen.geometric && pen.width <= 1;
        q.setCosmetic(cosmetic);
        q.setWidthF(cosmetic ? 1.0 : pen.width);
        q.setCapStyle(pen.geometric ? Qt::SquareCap : cosmetic ? Qt::FlatCap : Qt::RoundCap);
        q.setJoinStyle(pen.geometric ? Qt::BevelJoin : Qt::RoundJoin);
        if (!pen.dashes.empty()) {
            QList<qreal> pattern;
            const double unit = cosmetic ? 1.0 : pen.width;
            for (std::uint32_t v : pen.dashes) pattern << std::max(0.01, v / unit);
            if (pattern.size() % 2) pattern << pattern.back();
            q.setDashPattern(pattern);
        }
        return q;
    }

    static QBrush brush_of(const Dc& d) {
        const Object* o = object_of(d.selected[KindBrush], KindBrush);
        if (!o || o->brush.null) return QBrush();
        if (o->brush.pattern) {
            QImage img(8, 8, QImage::Format_RGB32);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) img.setPixel(x, y, to_qrgb((*o->brush.pattern)[static_cast<std::size_t>(y * 8 + x)]));
            return QBrush(img);
        }
        return QBrush(QColor::fromRgb(to_qrgb(resolve(d, o->brush.colour))));
    }

    PrinterRec rec_;
    Geometry geo_;
    bool info_ = false;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    bool page_open_ = false;
    // What the painter was last given.
    bool clip_set_ = false;
    std::optional<OsRect> last_clip_;
    OsObject last_pen_ = -1, last_brush_ = -1;
    std::uint32_t last_pen_rgb_ = 0;
};

OsDC make_dc(std::string_view device, const OsDevMode* mode, bool information) {
    PrinterRec rec;
    if (!find_printer(device, rec)) {
        g_last_error = OS_ERROR_INVALID_NAME;  // no such printer
        return 0;
    }
    if (mode) {
        const std::uint32_t fields = rec.mode.fields;
        rec.mode = *mode;
        rec.mode.fields = fields;
    }
    Dc d;
    d.selected[KindPen] = os_get_stock_object(OS_BLACK_PEN);
    d.selected[KindBrush] = os_get_stock_object(OS_WHITE_BRUSH);
    d.selected[KindFont] = os_get_stock_object(OS_SYSTEM_FONT);
    d.information = information;
    d.sink = std::make_shared<PrinterSink>(std::move(rec), information);
    return add_dc(std::move(d));
}

Sink* printer_sink(OsDC dc) {
    Dc* d = dc_of(dc);
    return d && d->sink && !d->information ? d->sink.get() : nullptr;
}

}  // namespace

int os_last_error() { return g_last_error; }
void os_set_last_error(int code) { g_last_error = code; }

std::string os_default_printer_device() {
    const std::string& name = os_app_printer_name();
    if (!name.empty()) return name;
    return std::string(OsPdfPrinterName) + ",PDF,FILE:";
}

std::vector<std::string> os_printer_names() {
    os_app_gui();
    std::vector<std::string> names{std::string(OsPdfPrinterName)};
    for (const QString& n : QPrinterInfo::availablePrinterNames()) names.push_back(os_utf8_to_cp1252(n.toStdString()));
    return names;
}

OsPrinter os_open_printer(std::string_view name) {
    PrinterRec rec;
    if (!find_printer(name, rec)) {
        g_last_error = OS_ERROR_INVALID_NAME;
        return 0;
    }
    static OsPrinter next = 1;
    const OsPrinter h = next++;
    printers()[h] = std::move(rec);
    return h;
}

bool os_close_printer(OsPrinter printer) { return printers().erase(printer) > 0; }

bool os_printer_devmode(OsPrinter printer, OsDevMode& mode) {
    auto it = printers().find(printer);
    if (it == printers().end()) return false;
    mode = it->second.mode;
    return true;
}

bool os_printer_merge_devmode(OsPrinter printer, OsDevMode& mode) {
    auto it = printers().find(printer);
    if (it == printers().end()) return false;
    OsDevMode& m = it->second.mode;
    const std::uint32_t f = mode.fields & m.fields;
    if ((f & OS_DM_ORIENTATION) && (mode.orientation == 1 || mode.orientation == 2)) m.orientation = mode.orientation;
    if ((f & OS_DM_PAPERSIZE) && QPageSize(QPageSize::id(mode.paper_size)).isValid()) m.paper_size = mode.paper_size;
    if ((f & OS_DM_COPIES) && mode.copies >= 1) m.copies = mode.copies;
    if ((f & OS_DM_PRINTQUALITY) && mode.print_quality > 0) m.print_quality = mode.print_quality;
    if ((f & OS_DM_COLOR) && (mode.colour == 1 || mode.colour == 2)) m.colour = mode.colour;
    if ((f & OS_DM_DUPLEX) && mode.duplex >= 1 && mode.duplex <= 3) m.duplex = mode.duplex;
    if ((f & OS_DM_COLLATE) && (mode.collate == 0 || mode.collate == 1)) m.collate = mode.collate;
    mode = m;
    return true;
}

OsDC os_create_ic(std::string_view, std::string_view device) { return make_dc(device, nullptr, true); }

OsDC os_create_printer_dc(std::string_view, std::string_view device, std::string_view, const OsDevMode* mode) {
    return make_dc(device, mode, false);
}

std::int32_t os_start_doc(OsDC dc, std::string_view name) {
    Sink* s = printer_sink(dc);
    if (!s) {
        g_last_error = OS_ERROR_INVALID_HANDLE;
        return 0;
    }
    static std::int32_t job = 0;
    return s->start_doc(*dc_of(dc), name) ? ++job : 0;
}

bool os_start_page(OsDC dc) {
    Sink* s = printer_sink(dc);
    return s && s->start_page(*dc_of(dc));
}

bool os_end_page(OsDC dc) {
    Sink* s = printer_sink(dc);
    return s && s->end_page(*dc_of(dc));
}

bool os_end_doc(OsDC dc) {
    Sink* s = printer_sink(dc);
    return s && s->end_doc(*dc_of(dc));
}

std::string os_printer_output_file() { return last_output(); }
