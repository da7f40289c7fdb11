// Our record writers for plain and enhanced metafiles, the metafile
// objects, and the player that replays their records onto any device
// context. Record layouts are the published metafile formats.
#include "platform/os_metafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/os_codepage.h"
#include "platform/os_config.h"
#include "platform/os_dc_p.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_printer.h"

using namespace osg;

namespace {

// ---- bytes ------------------------------------------------------------------------------

struct Bytes {
    std::vector<std::uint8_t> b;
    void u8(std::uint32_t v) { b.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v) { u8(v), u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v), u16(v >> 16); }
    void i16(std::int64_t v) { u16(static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, -32768, 32767))); }
    void i32(std::int64_t v) {
        u32(static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)));
    }
    void pad4() {
        while (b.size() % 4) u8(0);
    }
};

std::uint16_t rd16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t rd32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int16_t s16(const std::uint8_t* p) { return static_cast<std::int16_t>(rd16(p)); }
std::int32_t s32(const std::uint8_t* p) { return static_cast<std::int32_t>(rd32(p)); }

constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"

// A file written whole through the platform's save (beside its target,
// renamed onto it when complete); false (and nothing left) when it cannot be.
bool write_whole(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::string temp;
    std::int32_t handle = -1;
    if (const int err = os_file_save_begin(name, temp, handle); err != OS_OK) {
        os_set_last_error(err);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<std::int32_t>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        std::int32_t put = 0;
        if (os_file_write(handle, bytes.data() + done, chunk, put) != OS_OK || put <= 0) {
            os_file_save_abandon(handle, temp);
            os_set_last_error(OS_ERROR_DISK_FULL);
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    if (const int err = os_file_save_commit(handle, temp, name); err != OS_OK) {
        os_set_last_error(err == OS_ERROR_FILE_NOT_FOUND ? OS_ERROR_ACCESS_DENIED : err);
        return false;
    }
    return true;
}

// Whether a file could be made where the name says.
bool can_create(const std::string& name) {
    const QFileInfo fi(QString::fromStdString(os_cp1252_to_utf8(name)));
    const QFileInfo dir(fi.absolutePath());
    if (!dir.isDir()) {
        os_set_last_error(OS_ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!dir.isWritable() || fi.isDir()) {
        os_set_last_error(OS_ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

std::int32_t stock_index(OsObject h) {
    for (std::int32_t k : {OS_WHITE_BRUSH, OS_BLACK_BRUSH, OS_NULL_BRUSH, OS_BLACK_PEN, OS_NULL_PEN})
        if (os_get_stock_object(k) == h) return k;
    return -1;
}

// The mean colour of a pattern brush, which a metafile records as solid.
std::uint32_t brush_colour(const Brush& br) {
    if (!br.pattern) return br.colour & 0xFFFFFF;
    std::uint32_t r = 0, g = 0, b = 0;
    for (std::uint32_t c : *br.pattern) r += c & 0xFF, g += (c >> 8) & 0xFF, b += (c >> 16) & 0xFF;
    return (r / 64) | ((g / 64) << 8) | ((b / 64) << 16);
}

// Object entries of a recording: the metafile's index of each object.
struct ObjectTable {
    std::vector<OsObject> entries;
    std::size_t most = 0;
    int find(OsObject h) const {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i] == h) return static_cast<int>(i);
        return -1;
    }
    int add(OsObject h) {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i] == 0) {
                entries[i] = h;
                return static_cast<int>(i);
            }
        entries.push_back(h);
        most = std::max(most, entries.size());
        return static_cast<int>(entries.size() - 1);
    }
};

// ---- plain metafile writer ------------------------------------------------------------

class WmfSink : public Sink {
public:
    explicit WmfSink(std::string file) : file_(std::move(file)) {}
    const std::string& file() const { return file_; }

    std::vector<std::uint8_t> finish() {
        record(0x0000, {});
        Bytes h;
        // Header type 1 for files too: the format also defines 2 for a
        // metafile on disk, but readers such as LibreOffice refuse it.
        h.u16(1);
        h.u16(9);
        h.u16(0x0300);
        h.u32(static_cast<std::uint32_t>(9 + body_.b.size() / 2));
        h.u16(static_cast<std::uint32_t>(objects_.most));
        h.u32(max_record_);
        h.u16(0);
        h.b.insert(h.b.end(), body_.b.begin(), body_.b.end());
        return h.b;
    }

    void state(Dc& d, State s, std::array<std::int32_t, 4> v) override {
        auto lo = [](std::int32_t x) { return static_cast<std::uint32_t>(x) & 0xFFFF; };
        auto hi = [](std::int32_t x) { return (static_cast<std::uint32_t>(x) >> 16) & 0xFFFF; };
        switch (s) {
            case SetBkMode: record(0x0102, {lo(v[0])}); break;
            case SetBkColour: record(0x0201, {lo(v[0]), hi(v[0])}); break;
            case SetTextColour: record(0x0209, {lo(v[0]), hi(v[0])}); break;
            case SetTextAlign: record(0x012E, {lo(v[0]), hi(v[0])}); break;
            case SetRop2: record(0x0104, {lo(v[0]), 0}); break;
            case SetMapMode: record(0x0103, {lo(v[0])}); break;
            case SetWindowOrg: record(0x020B, {w(v[1]), w(v[0])}); break;
            case SetWindowExt: record(0x020C, {w(v[1]), w(v[0])}); break;
            case SetViewportOrg: record(0x020D, {w(v[1]), w(v[0])}); break;
            case SetViewportExt: record(0x020E, {w(v[1]), w(v[0])}); break;
            case ScaleViewportExt: record(0x0412, {w(v[3]), w(v[2]), w(v[1]), w(v[0])}); break;
            case SaveDc: record(0x001E, {}); break;
            case RestoreDc: record(0x0127, {w(v[0])}); break;
            // A plain metafile has no way to lift a clip rectangle; a
            // rectangle narrows the clip.
            case ClipRect: record(0x0416, {w(v[3]), w(v[2]), w(v[1]), w(v[0])}); break;
            case ClipNone: break;
            case Select: select(d, v[0]); break;
        }
    }

    void deleted(OsObject h) override {
        const int i = objects_.find(h);
        if (i < 0) return;
        record(0x01F0, {static_cast<std::uint32_t>(i)});
        objects_.entries[static_cast<std::size_t>(i)] = 0;
    }

    void move_to(Dc&, OsPoint p) override { record(0x0214, {w(p.y), w(p.x)}); }
    void line_to(Dc&, OsPoint, OsPoint b) override { record(0x0213, {w(b.y), w(b.x)}); }
    void poly(Dc&, const std::vector<OsPoint>& pts, bool closed) override {
        std::vector<std::uint32_t> p{static_cast<std::uint32_t>(pts.size())};
        for (const OsPoint& q : pts) p.push_back(w(q.x)), p.push_back(w(q.y));
        record(closed ? 0x0324 : 0x0325, p);
    }
    void rectangle(Dc&, OsRect b) override { record(0x041B, {w(b.bottom), w(b.right), w(b.top), w(b.left)}); }
    void ellipse(Dc&, int kind, OsRect b, OsPoint s, OsPoint e) override {
        if (kind == 0) return record(0x0418, {w(b.bottom), w(b.right), w(b.top), w(b.left)});
        record(kind == 1 ? 0x081A : 0x0817,
               {w(e.y), w(e.x), w(s.y), w(s.x), w(b.bottom), w(b.right), w(b.top), w(b.left)});
    }
    void pixel(Dc&, OsPoint p, std::uint32_t rgb) override {
        record(0x041F, {rgb & 0xFFFF, rgb >> 16, w(p.y), w(p.x)});
    }
    void text(Dc&, OsPoint p, std::string_view t) override {
        const std::string s(t.substr(0, 32767));
        std::vector<std::uint32_t> v{static_cast<std::uint32_t>(s.size())};
        for (std::size_t i = 0; i < s.size(); i += 2) {
            const std::uint32_t a = static_cast<unsigned char>(s[i]);
            const std::uint32_t b = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
            v.push_back(a | (b << 8));
        }
        v.push_back(w(p.y));
        v.push_back(w(p.x));
        record(0x0521, v);
    }
    void stretch_dib(Dc&, OsRect dst, OsRect src, const std::vector<std::uint8_t>& dib, std::uint32_t rop) override {
        std::vector<std::uint32_t> v{rop & 0xFFFF, rop >> 16, 0, w(src.height()), w(src.width()), w(src.top),
                                     w(src.left), w(dst.height()), w(dst.width()), w(dst.top), w(dst.left)};
        for (std::size_t i = 0; i < dib.size(); i += 2)
            v.push_back(dib[i] | (i + 1 < dib.size() ? static_cast<std::uint32_t>(dib[i + 1]) << 8 : 0));
        record(0x0F43, v);
    }

private:
    static std::uint32_t w(std::int64_t v) {
        return static_cast<std::uint32_t>(static_cast<std::uint16_t>(std::clamp<std::int64_t>(v, -32768, 32767)));
    }

    void record(std::uint32_t function, const std::vector<std::uint32_t>& params) {
        const std::uint32_t size = static_cast<std::uint32_t>(3 + params.size());
        body_.u32(size);
        body_.u16(function);
        for (std::uint32_t p : params) body_.u16(p);
        max_record_ = std::max(max_record_, size);
    }

    void select(Dc& d, OsObject h) {
        const Object* o = object_of(h, KindNone);
        if (!o || (o->kind != KindPen && o->kind != KindBrush && o->kind != KindFont)) return;
        int i = objects_.find(h);
        if (i < 0) {
            i = objects_.add(h);
            create(*o);
        }
        (void)d;
        record(0x012D, {static_cast<std::uint32_t>(i)});
    }

    void create(const Object& o) {
        if (o.kind == KindPen) {
            std::uint32_t style = (o.pen.geometric ? o.pen.style : o.pen.asked_style) & 0x0F;
            if (style == OS_PS_USERSTYLE) style = OS_PS_SOLID;
            if (o.pen.geometric) style |= OS_PS_ENDCAP_SQUARE | OS_PS_JOIN_BEVEL;
            record(0x02FA, {style, w(o.pen.width), 0, o.pen.colour & 0xFFFF, (o.pen.colour >> 16) & 0xFF});
        } else if (o.kind == KindBrush) {
            const std::uint32_t c = brush_colour(o.brush);
            record(0x02FC, {o.brush.null ? 1u : 0u, c & 0xFFFF, c >> 16, 0});
        } else {
            const OsLogFont& lf = o.font.lf;
            std::vector<std::uint32_t> v{w(lf.height), w(lf.width), w(lf.escapement), w(lf.orientation), w(lf.weight),
                                         (lf.italic ? 1u : 0u) | ((lf.underline ? 1u : 0u) << 8),
                                         (lf.strike_out ? 1u : 0u) | (static_cast<std::uint32_t>(lf.charset & 0xFF) << 8),
                                         static_cast<std::uint32_t>(lf.out_precision & 0xFF) |
                                             (static_cast<std::uint32_t>(lf.clip_precision & 0xFF) << 8),
                                         static_cast<std::uint32_t>(lf.quality & 0xFF) |
                                             (static_cast<std::uint32_t>(lf.pitch_and_family & 0xFF) << 8)};
            char face[32] = {};
            std::memcpy(face, lf.face.data(), std::min<std::size_t>(lf.face.size(), 31));
            for (int i = 0; i < 32; i += 2)
                v.push_back(static_cast<unsigned char>(face[i]) | (static_cast<std::uint32_t>(static_cast<unsigned char>(face[i + 1])) << 8));
            record(0x02FB, v);
        }
    }

    std::string file_;
    Bytes body_;
    std::uint32_t max_record_ = 3;
    ObjectTable objects_;
};

// ---- enhanced metafile writer ---------------------------------------------------------

struct Reference {
    std::int32_t px_w = 0, px_h = 0, mm_w = 0, mm_h = 0, dpi = 96;
};

std::u16string utf16_of(const Font& f, std::string_view t) {
    std::u16string s;
    for (char c : t) {
        const unsigned char b = static_cast<unsigned char>(c);
        const char32_t u = f.symbol ? b : os_cp1252_to_unicode(b);
        s += static_cast<char16_t>(u <= 0xFFFF ? u : '?');
    }
    return s;
}

class EmfSink : public Sink {
public:
    EmfSink(std::string file, Reference ref, std::optional<OsRect> frame, std::string description)
        : file_(std::move(file)), ref_(ref), frame_(frame), description_(std::move(description)) {}
    const std::string& file() const { return file_; }
    const Reference& reference() const { return ref_; }

    std::vector<std::uint8_t> finish() {
        Bytes eof;
        eof.u32(14), eof.u32(20), eof.u32(0), eof.u32(16), eof.u32(20);
        body_.b.insert(body_.b.end(), eof.b.begin(), eof.b.end());
        ++records_;
        Bytes desc;
        for (char c : description_) desc.u16(os_cp1252_to_unicode(static_cast<unsigned char>(c)));
        desc.pad4();
        const std::uint32_t header_size = static_cast<std::uint32_t>(108 + desc.b.size());
        Bytes h;
        h.u32(1);
        h.u32(header_size);
        if (have_bounds_)
            h.i32(bounds_.left), h.i32(bounds_.top), h.i32(bounds_.right), h.i32(bounds_.bottom);
        else
            h.i32(0), h.i32(0), h.i32(-1), h.i32(-1);
        OsRect fr{0, 0, 0, 0};
        if (frame_) {
            fr = *frame_;
        } else if (have_bounds_) {
            auto mm = [](std::int64_t v, std::int64_t mm, std::int64_t px) {
                return static_cast<std::int32_t>(px > 0 ? v * mm * 100 / px : 0);
            };
            fr = {mm(bounds_.left, ref_.mm_w, ref_.px_w), mm(bounds_.top, ref_.mm_h, ref_.px_h),
                  mm(bounds_.right, ref_.mm_w, ref_.px_w), mm(bounds_.bottom, ref_.mm_h, ref_.px_h)};
        }
        h.i32(fr.left), h.i32(fr.top), h.i32(fr.right), h.i32(fr.bottom);
        h.u32(kEmfSignature);
        h.u32(0x10000);
        h.u32(static_cast<std::uint32_t>(header_size + body_.b.size()));
        h.u32(records_ + 1);
        h.u16(static_cast<std::uint32_t>(objects_.most + 1));
        h.u16(0);
        h.u32(static_cast<std::uint32_t>(description_.size()));
        h.u32(description_.empty() ? 0 : 108);
        h.u32(0);
        h.i32(ref_.px_w), h.i32(ref_.px_h), h.i32(ref_.mm_w), h.i32(ref_.mm_h);
        h.u32(0), h.u32(0), h.u32(0);
        h.i32(ref_.mm_w * 1000), h.i32(ref_.mm_h * 1000);
        h.b.insert(h.b.end(), desc.b.begin(), desc.b.end());
        h.b.insert(h.b.end(), body_.b.begin(), body_.b.end());
        return h.b;
    }

    void state(Dc& d, State s, std::array<std::int32_t, 4> v) override {
        switch (s) {
            case SetBkMode: rec(18, {v[0]}); break;
            case SetTextColour: rec(24, {v[0]}); break;
            case SetBkColour: rec(25, {v[0]}); break;
            case SetTextAlign: rec(22, {v[0]}); break;
            case SetRop2: rec(20, {v[0]}); break;
            case SetMapMode: rec(17, {v[0]}); break;
            case SetWindowExt: rec(9, {v[0], v[1]}); break;
            case SetWindowOrg: rec(10, {v[0], v[1]}); break;
            case SetViewportExt: rec(11, {v[0], v[1]}); break;
            case SetViewportOrg: rec(12, {v[0], v[1]}); break;
            case ScaleViewportExt: rec(31, {v[0], v[1], v[2], v[3]}); break;
            case SaveDc: rec(33, {}); break;
            case RestoreDc: rec(34, {v[0]}); break;
            case ClipNone: rec(75, {0, 5}); break;
            case ClipRect:
                rec(75, {0, 5});
                rec(30, {v[0], v[1], v[2], v[3]});
                break;
            case Select: select(d, v[0]); break;
        }
    }

    void deleted(OsObject h) override {
        const int i = objects_.find(h);
        if (i < 0) return;
        rec(40, {i + 1});
        objects_.entries[static_cast<std::size_t>(i)] = 0;
    }

    void move_to(Dc&, OsPoint p) override { rec(27, {p.x, p.y}); }
    void line_to(Dc&, OsPoint a, OsPoint b) override {
        grow(a), grow(b);
        rec(54, {b.x, b.y});
    }
    void poly(Dc&, const std::vector<OsPoint>& pts, bool closed) override {
        OsRect b = box_of(pts);
        std::vector<std::int32_t> v{b.left, b.top, b.right, b.bottom, static_cast<std::int32_t>(pts.size())};
        for (const OsPoint& p : pts) v.push_back(p.x), v.push_back(p.y), grow(p);
        rec(closed ? 3 : 4, v);
    }
    void rectangle(Dc&, OsRect b) override {
        grow({b.left, b.top}), grow({b.right - 1, b.bottom - 1});
        rec(43, {b.left, b.top, b.right, b.bottom});
    }
    void ellipse(Dc&, int kind, OsRect b, OsPoint s, OsPoint e) override {
        grow({b.left, b.top}), grow({b.right - 1, b.bottom - 1});
        if (kind == 0) return rec(42, {b.left, b.top, b.right, b.bottom});
        rec(kind == 1 ? 47 : 45, {b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y});
    }
    void pixel(Dc&, OsPoint p, std::uint32_t rgb) override {
        grow(p);
        rec(15, {p.x, p.y, static_cast<std::int32_t>(rgb)});
    }
    void text(Dc& d, OsPoint p, std::string_view t) override {
        const Font& f = selected_font(d);
        const std::u16string s = utf16_of(f, t);
        const QFontMetricsF fm(f.face());
        const QString q = text_for_font(f, t);
        std::vector<std::int32_t> dx;
        double width = 0;
        for (int i = 0; i < q.size(); ++i) {
            const double a = fm.horizontalAdvance(q.at(i));
            dx.push_back(static_cast<std::int32_t>(std::lround(a)));
            width += a;
        }
        dx.resize(s.size(), 0);
        const std::int32_t n = static_cast<std::int32_t>(s.size());
        const std::int32_t str_bytes = (2 * n + 3) / 4 * 4;
        // The picture's bounds take the whole cell as the reader places it:
        // a centred, right-aligned, turned or tall text reaches beyond its
        // reference point and its unturned width.
        const QRect cell = text_cell(d.align, f.lf.escapement, width, f.tm.ascent, f.tm.descent)
                               .box()
                               .toAlignedRect()
                               .translated(p.x, p.y);
        grow({cell.left(), cell.top()}), grow({cell.right(), cell.bottom()});
        Bytes r;
        r.u32(84);
        r.u32(static_cast<std::uint32_t>(76 + str_bytes + 4 * n));
        r.i32(cell.left()), r.i32(cell.top()), r.i32(cell.right()), r.i32(cell.bottom());
        r.u32(1);
        r.u32(0), r.u32(0);  // scales 0.0
        r.i32(p.x), r.i32(p.y);
        r.u32(static_cast<std::uint32_t>(n));
        r.u32(76);
        r.u32(0);
        r.i32(0), r.i32(0), r.i32(-1), r.i32(-1);
        r.u32(static_cast<std::uint32_t>(76 + str_bytes));
        for (char16_t c : s) r.u16(c);
        r.pad4();
        for (std::int32_t v : dx) r.i32(v);
        append(r);
    }
    void stretch_dib(Dc&, OsRect dst, OsRect src, const std::vector<std::uint8_t>& dib, std::uint32_t rop) override {
        grow({dst.left, dst.top}), grow({dst.right - 1, dst.bottom - 1});
        const std::size_t table = os_dib_colour_table_size(dib.data(), dib.size());
        const std::uint32_t bmi = static_cast<std::uint32_t>(std::min(dib.size(), 40 + table));
        const std::uint32_t bits = static_cast<std::uint32_t>(dib.size() - bmi);
        Bytes r;
        r.u32(81);
        r.u32(static_cast<std::uint32_t>((80 + dib.size() + 3) / 4 * 4));
        r.i32(dst.left), r.i32(dst.top), r.i32(dst.right - 1), r.i32(dst.bottom - 1);
        r.i32(dst.left), r.i32(dst.top), r.i32(src.left), r.i32(src.top), r.i32(src.width()), r.i32(src.height());
        r.u32(80), r.u32(bmi), r.u32(80 + bmi), r.u32(bits), r.u32(0), r.u32(rop);
        r.i32(dst.width()), r.i32(dst.height());
        r.b.insert(r.b.end(), dib.begin(), dib.end());
        r.pad4();
        append(r);
    }

    std::int32_t caps(std::int32_t index) const override {
        switch (index) {
            case OS_HORZRES: return ref_.px_w;
            case OS_VERTRES: return ref_.px_h;
            case OS_HORZSIZE: return ref_.mm_w;
            case OS_VERTSIZE: return ref_.mm_h;
            case OS_LOGPIXELSX:
            case OS_LOGPIXELSY: return ref_.dpi;
            case OS_NUMCOLORS: return 16777216;
            case OS_BITSPIXEL: return 24;
            case OS_PLANES: return 1;
            default: return 0;
        }
    }

private:
    void append(const Bytes& r) {
        body_.b.insert(body_.b.end(), r.b.begin(), r.b.end());
        ++records_;
    }
    void rec(std::uint32_t type, const std::vector<std::int32_t>& v) {
        Bytes r;
        r.u32(type);
        r.u32(static_cast<std::uint32_t>(8 + 4 * v.size()));
        for (std::int32_t x : v) r.i32(x);
        append(r);
    }
    void grow(OsPoint p) {
        if (!have_bounds_) {
            bounds_ = {p.x, p.y, p.x, p.y};
            have_bounds_ = true;
            return;
        }
        bounds_.left = std::min(bounds_.left, p.x), bounds_.top = std::min(bounds_.top, p.y);
        bounds_.right = std::max(bounds_.right, p.x), bounds_.bottom = std::max(bounds_.bottom, p.y);
    }
    static OsRect box_of(const std::vector<OsPoint>& pts) {
        if (pts.empty()) return {0, 0, -1, -1};
        OsRect b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
        for (const OsPoint& p : pts)
            b.left = std::min(b.left, p.x), b.top = std::min(b.top, p.y), b.right = std::max(b.right, p.x),
            b.bottom = std::max(b.bottom, p.y);
        return b;
    }

    void select(Dc&, OsObject h) {
        const Object* o = object_of(h, KindNone);
        if (!o || (o->kind != KindPen && o->kind != KindBrush && o->kind != KindFont)) return;
        const std::int32_t stock = stock_index(h);
        if (stock >= 0) return rec(37, {static_cast<std::int32_t>(0x80000000u | static_cast<std::uint32_t>(stock))});
        int i = objects_.find(h);
        if (i < 0) {
            i = objects_.add(h);
            create(*o, i + 1);
        }
        rec(37, {i + 1});
    }

    void create(const Object& o, std::int32_t ih) {
        if (o.kind == KindPen) {
            const Pen& p = o.pen;
            if (p.geometric) {
                std::uint32_t style = OS_PS_GEOMETRIC | OS_PS_ENDCAP_SQUARE | OS_PS_JOIN_BEVEL | (p.style & 0x0F);
                std::vector<std::int32_t> v{ih, 0, 0, 0, 0, static_cast<std::int32_t>(style), p.width, 0,
                                            static_cast<std::int32_t>(p.colour & 0xFFFFFF), 0};
                const bool user = (p.style & 0x0F) == OS_PS_USERSTYLE;
                v.push_back(user ? static_cast<std::int32_t>(p.dashes.size()) : 0);
                if (user)
                    for (std::uint32_t e : p.dashes) v.push_back(static_cast<std::int32_t>(e));
                rec(95, v);
            } else if (p.width > 1) {
                // A wide plain pen is a geometric one with round ends and
                // joins; recorded so, readers draw its width.
                rec(95, {ih, 0, 0, 0, 0, static_cast<std::int32_t>(OS_PS_GEOMETRIC | (p.style & 0x0F)), p.width, 0,
                         static_cast<std::int32_t>(p.colour & 0xFFFFFF), 0, 0});
            } else {
                rec(38, {ih, static_cast<std::int32_t>(p.style & 0x0F), p.width, 0,
                         static_cast<std::int32_t>(p.colour & 0xFFFFFF)});
            }
        } else if (o.kind == KindBrush) {
            rec(39, {ih, o.brush.null ? 1 : 0, static_cast<std::int32_t>(brush_colour(o.brush)), 0});
        } else {
            const OsLogFont& lf = o.font.lf;
            Bytes r;
            r.u32(82);
            r.u32(104);
            r.i32(ih);
            r.i32(lf.height), r.i32(lf.width), r.i32(lf.escapement), r.i32(lf.orientation), r.i32(lf.weight);
            r.u8(lf.italic ? 1 : 0), r.u8(lf.underline ? 1 : 0), r.u8(lf.strike_out ? 1 : 0);
            r.u8(static_cast<std::uint32_t>(lf.charset)), r.u8(static_cast<std::uint32_t>(lf.out_precision));
            r.u8(static_cast<std::uint32_t>(lf.clip_precision)), r.u8(static_cast<std::uint32_t>(lf.quality));
            r.u8(static_cast<std::uint32_t>(lf.pitch_and_family));
            for (std::size_t i = 0; i < 32; ++i)
                r.u16(i < lf.face.size() && i < 31 ? os_cp1252_to_unicode(static_cast<unsigned char>(lf.face[i])) : 0);
            append(r);
        }
    }

    std::string file_;
    Reference ref_;
    std::optional<OsRect> frame_;
    std::string description_;
    Bytes body_;
    std::uint32_t records_ = 0;
    ObjectTable objects_;
    OsRect bounds_{};
    bool have_bounds_ = false;
};

OsMetafile add_metafile(std::vector<std::uint8_t> bytes, bool enhanced) {
    Object o;
    o.kind = KindMetafile;
    o.records = std::move(bytes);
    o.enhanced = enhanced;
    return add_object(std::move(o));
}

Object* metafile_of(OsMetafile h) { return object_of(h, KindMetafile); }

OsDC new_recording(std::shared_ptr<Sink> sink) {
    Dc d;
    d.selected[KindPen] = os_get_stock_object(OS_BLACK_PEN);
    d.selected[KindBrush] = os_get_stock_object(OS_WHITE_BRUSH);
    d.selected[KindFont] = os_get_stock_object(OS_SYSTEM_FONT);
    d.sink = std::move(sink);
    return add_dc(std::move(d));
}

template <class S>
S* recording_of(OsDC dc) {
    Dc* d = dc_of(dc);
    return d && d->sink ? dynamic_cast<S*>(d->sink.get()) : nullptr;
}

template <class S>
OsMetafile close_recording(OsDC dc, bool enhanced) {
    S* s = recording_of<S>(dc);
    if (!s) {
        os_set_last_error(OS_ERROR_INVALID_HANDLE);
        return 0;
    }
    std::vector<std::uint8_t> bytes = s->finish();
    const std::string file = s->file();
    os_delete_dc(dc);
    if (!file.empty() && !write_whole(file, bytes)) return 0;
    return add_metafile(std::move(bytes), enhanced);
}

bool valid_wmf(const std::vector<std::uint8_t>& b) {
    if (b.size() < 18) return false;
    const std::uint16_t type = rd16(b.data()), header = rd16(b.data() + 2), version = rd16(b.data() + 4);
    return (type == 1 || type == 2) && header == 9 && (version == 0x0300 || version == 0x0100);
}

bool valid_emf(const std::vector<std::uint8_t>& b) {
    return b.size() >= 88 && rd32(b.data()) == 1 && rd32(b.data() + 40) == kEmfSignature && rd32(b.data() + 4) >= 88 &&
           rd32(b.data() + 4) <= b.size();
}

}  // namespace

// ---- public: recording and handles ----------------------------------------------------

bool os_write_whole_file(std::string_view name, const std::vector<std::uint8_t>& bytes) {
    return write_whole(std::string(name), bytes);
}

OsDC os_create_metafile(std::string_view file) {
    const std::string name(file);
    if (!name.empty() && !can_create(name)) return 0;
    return new_recording(std::make_shared<WmfSink>(name));
}

OsMetafile os_close_metafile(OsDC dc) { return close_recording<WmfSink>(dc, false); }

OsDC os_create_enh_metafile(OsDC reference, std::string_view file, const OsRect* frame, std::string_view description) {
    const std::string name(file);
    if (!name.empty() && !can_create(name)) return 0;
    Reference ref;
    const OsConfig& c = os_config();
    if (reference && dc_of(reference)) {
        ref.px_w = os_get_device_caps(reference, OS_HORZRES);
        ref.px_h = os_get_device_caps(reference, OS_VERTRES);
        ref.mm_w = os_get_device_caps(reference, OS_HORZSIZE);
        ref.mm_h = os_get_device_caps(reference, OS_VERTSIZE);
        ref.dpi = os_get_device_caps(reference, OS_LOGPIXELSX);
    } else {
        const int dpi = c.dpi > 0 ? c.dpi : 96;
        ref = {c.screen_width, c.screen_height, c.screen_width * 254 / (dpi * 10), c.screen_height * 254 / (dpi * 10),
               dpi};
    }
    std::optional<OsRect> fr;
    if (frame) fr = *frame;
    return new_recording(std::make_shared<EmfSink>(name, ref, fr, std::string(description)));
}

OsMetafile os_close_enh_metafile(OsDC dc) { return close_recording<EmfSink>(dc, true); }

bool os_delete_metafile(OsMetafile mf) {
    if (!metafile_of(mf)) return false;
    forget_handles();
    objects().erase(mf);
    return true;
}

bool os_metafile_enhanced(OsMetafile mf) {
    const Object* o = metafile_of(mf);
    return o && o->enhanced;
}

OsMetafile os_copy_metafile(OsMetafile mf, std::string_view file) {
    const Object* o = metafile_of(mf);
    if (!o) return 0;
    std::vector<std::uint8_t> bytes = o->records;
    const bool enhanced = o->enhanced;
    if (!file.empty() && !write_whole(std::string(file), bytes)) return 0;
    return add_metafile(std::move(bytes), enhanced);
}

std::vector<std::uint8_t> os_get_metafile_bits(OsMetafile mf) {
    const Object* o = metafile_of(mf);
    return o ? o->records : std::vector<std::uint8_t>{};
}

OsMetafile os_set_metafile_bits(const std::vector<std::uint8_t>& bits) {
    return valid_wmf(bits) ? add_metafile(bits, false) : 0;
}

OsMetafile os_set_enh_metafile_bits(const std::vector<std::uint8_t>& bits) {
    return valid_emf(bits) ? add_metafile(bits, true) : 0;
}

// ---- player ---------------------------------------------------------------------------

namespace {

// Objects a playback makes, by the metafile's index, deleted at its end.
struct PlayObjects {
    OsDC dc;
    std::map<std::uint32_t, OsObject> made;
    std::array<OsObject, 3> originals{};
    explicit PlayObjects(OsDC d) : dc(d) {
        for (int k = 1; k <= 3; ++k) originals[static_cast<std::size_t>(k - 1)] = os_current_object(d, k);
    }
    ~PlayObjects() {
        for (OsObject o : originals)
            if (o) os_select_object(dc, o);
        for (auto& [i, h] : made) os_delete_object(h);
    }
    void put(std::uint32_t index, OsObject h) {
        auto it = made.find(index);
        if (it != made.end()) os_delete_object(it->second);
        if (h) made[index] = h;
    }
    void select(std::uint32_t index) {
        auto it = made.find(index);
        if (it != made.end()) os_select_object(dc, it->second);
    }
    void erase(std::uint32_t index) {
        auto it = made.find(index);
        if (it == made.end()) return;
        const OsObject h = it->second;
        for (int k = 1; k <= 3; ++k)
            if (os_current_object(dc, k) == h) os_select_object(dc, originals[static_cast<std::size_t>(k - 1)]);
        os_delete_object(h);
        made.erase(it);
    }
};

void intersect_clip(OsDC dc, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    Dc* d = dc_of(dc);
    if (!d) return;
    OsPoint p = to_device(*d, l, t), q = to_device(*d, r, b);
    OsRect c{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    OsRect old;
    if (os_get_clip_box(dc, old))
        c = {std::max(c.left, old.left), std::max(c.top, old.top), std::min(c.right, old.right),
             std::min(c.bottom, old.bottom)};
    // Nothing left: an empty rectangle, never an inverted one.
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    const OsObject rgn = os_create_rect_rgn(c.left, c.top, c.right, c.bottom);
    os_select_clip_rgn(dc, rgn);
    os_delete_object(rgn);
}

OsLogFont wmf_font(const std::uint8_t* p) {
    OsLogFont lf;
    lf.height = s16(p), lf.width = s16(p + 2), lf.escapement = s16(p + 4), lf.orientation = s16(p + 6);
    lf.weight = s16(p + 8);
    lf.italic = p[10] != 0, lf.underline = p[11] != 0, lf.strike_out = p[12] != 0, lf.charset = p[13];
    lf.out_precision = p[14], lf.clip_precision = p[15], lf.quality = p[16], lf.pitch_and_family = p[17];
    const char* face = reinterpret_cast<const char*>(p + 18);
    lf.face.assign(face, strnlen(face, 32));
    return lf;
}

}  // namespace

bool os_play_metafile(OsDC dc, OsMetafile mf) {
    const Object* o = metafile_of(mf);
    if (!o || o->enhanced || !dc_of(dc)) return false;
    const std::vector<std::uint8_t> b = o->records;
    if (!valid_wmf(b)) return false;
    PlayObjects objs(dc);
    std::vector<bool> used;
    auto slot = [&]() {
        for (std::size_t i = 0; i < used.size(); ++i)
            if (!used[i]) {
                used[i] = true;
                return static_cast<std::uint32_t>(i);
            }
        used.push_back(true);
        return static_cast<std::uint32_t>(used.size() - 1);
    };
    std::size_t pos = 2 * static_cast<std::size_t>(rd16(b.data() + 2));
    while (pos + 6 <= b.size()) {
        const std::uint64_t words = rd32(&b[pos]);
        const std::uint16_t fn = rd16(&b[pos + 4]);
        if (words < 3 || pos + 2 * words > b.size()) break;
        const std::uint8_t* p = &b[pos + 6];
        const std::size_t np = static_cast<std::size_t>(words - 3);  // parameter words
        auto w = [&](std::size_t i) -> std::int32_t { return i < np ? s16(p + 2 * i) : 0; };
        auto uw = [&](std::size_t i) -> std::uint32_t { return i < np ? rd16(p + 2 * i) : 0; };
        auto colour = [&](std::size_t i) { return uw(i) | (uw(i + 1) << 16); };
        pos += 2 * static_cast<std::size_t>(words);
        switch (fn) {
            case 0x0000: pos = b.size(); break;
            case 0x0102: os_set_bk_mode(dc, w(0)); break;
            case 0x0201: os_set_bk_color(dc, colour(0)); break;
            case 0x0209: os_set_text_color(dc, colour(0)); break;
            case 0x012E: os_set_text_align(dc, uw(0)); break;
            case 0x0104: os_set_rop2(dc, w(0)); break;
            case 0x0103: os_set_map_mode(dc, w(0)); break;
            case 0x020B: os_set_window_org(dc, w(1), w(0)); break;
            case 0x020C: os_set_window_ext(dc, w(1), w(0)); break;
            case 0x020D: os_set_viewport_org(dc, w(1), w(0)); break;
            case 0x020E: os_set_viewport_ext(dc, w(1), w(0)); break;
            case 0x0412: os_scale_viewport_ext(dc, w(3), w(2), w(1), w(0)); break;
            case 0x001E: os_save_dc(dc); break;
            case 0x0127: os_restore_dc(dc, w(0)); break;
            case 0x0416: intersect_clip(dc, w(3), w(2), w(1), w(0)); break;
            case 0x02FA: {
                const std::uint32_t style = uw(0);
                const std::uint32_t c = colour(3);
                OsObject h = (style & OS_PS_ENDCAP_SQUARE)
                                 ? os_ext_create_pen(OS_PS_GEOMETRIC | (style & 0x0F), std::max(1, w(1)), c, {})
                                 : os_create_pen(style & 0x0F, w(1), c);
                if (!h) h = os_create_pen(style & 0x0F, w(1), c);
                objs.put(slot(), h);
                break;
            }
            case 0x02FC: {
                // Brushes of the metafile's own, so that deleting them never
                // touches a stock one.
                Object br;
                br.kind = KindBrush;
                br.brush.null = uw(0) == 1;
                br.brush.colour = colour(1);
                objs.put(slot(), add_object(std::move(br)));
                break;
            }
            case 0x02FB:
                if (np >= 9 + 16) objs.put(slot(), os_create_font(wmf_font(p)));
                break;
            case 0x012D: objs.select(uw(0)); break;
            case 0x01F0:
                objs.erase(uw(0));
                if (uw(0) < used.size()) used[uw(0)] = false;
                break;
            case 0x0214: os_move_to(dc, w(1), w(0)); break;
            case 0x0213: os_line_to(dc, w(1), w(0)); break;
            case 0x0324:
            case 0x0325: {
                const std::size_t n = std::min<std::size_t>(uw(0), (np > 0 ? np - 1 : 0) / 2);
                std::vector<OsPoint> pts;
                for (std::size_t i = 0; i < n; ++i) pts.push_back({w(1 + 2 * i), w(2 + 2 * i)});
                if (fn == 0x0324) os_polygon(dc, pts);
                else os_polyline(dc, pts);
                break;
            }
            case 0x041B: os_rectangle(dc, w(3), w(2), w(1), w(0)); break;
            case 0x0418: os_ellipse(dc, w(3), w(2), w(1), w(0)); break;
            case 0x081A: os_pie(dc, w(7), w(6), w(5), w(4), w(3), w(2), w(1), w(0)); break;
            case 0x0817: os_arc(dc, w(7), w(6), w(5), w(4), w(3), w(2), w(1), w(0)); break;
            case 0x041F: os_set_pixel(dc, w(3), w(2), colour(0)); break;
            case 0x0521: {
                const std::size_t n = uw(0);
                const std::size_t sw = (n + 1) / 2;
                if (1 + sw + 2 > np) break;
                const std::string s(reinterpret_cast<const char*>(p + 2), n);
                os_text_out(dc, w(2 + sw), w(1 + sw), s);
                break;
            }
            case 0x0F43: {
                if (np < 11) break;
                const std::uint8_t* dib = p + 22;
                os_stretch_dibits(dc, w(10), w(9), w(8), w(7), w(6), w(5), w(4), w(3), dib, 2 * (np - 11),
                                  colour(0));
                break;
            }
            default: break;
        }
    }
    return true;
}

bool os_play_enh_metafile(OsDC dc, OsMetafile mf, const OsRect& rect) {
    const Object* o = metafile_of(mf);
    if (!o || !o->enhanced || !dc_of(dc)) return false;
    const std::vector<std::uint8_t> b = o->records;
    if (!valid_emf(b)) return false;
    const std::uint8_t* h = b.data();
    // The frame in reference pixels goes onto the rectangle.
    const double pxw = s32(h + 72), pxh = s32(h + 76), mmw = s32(h + 80), mmh = s32(h + 84);
    const double fx0 = mmw > 0 ? s32(h + 24) * pxw / (mmw * 100) : 0, fy0 = mmh > 0 ? s32(h + 28) * pxh / (mmh * 100) : 0;
    const double fx1 = mmw > 0 ? s32(h + 32) * pxw / (mmw * 100) : 1, fy1 = mmh > 0 ? s32(h + 36) * pxh / (mmh * 100) : 1;
    const double kx = fx1 != fx0 ? (rect.right - rect.left) / (fx1 - fx0) : 1.0;
    const double ky = fy1 != fy0 ? (rect.bottom - rect.top) / (fy1 - fy0) : 1.0;
    // Coordinates far beyond any surface are kept within reach of the
    // integer arithmetic of the drawing steps.
    auto fit = [](double v) {
        constexpr double limit = 1 << 28;
        return static_cast<std::int32_t>(std::isfinite(v) ? std::clamp(std::round(v), -limit, limit) : 0.0);
    };
    auto X = [&](std::int32_t x) { return fit(rect.left + (x - fx0) * kx); };
    auto Y = [&](std::int32_t y) { return fit(rect.top + (y - fy0) * ky); };
    // Pen widths and font sizes stay within what a pen or a face can be.
    auto L = [&](std::int32_t v) { return std::clamp(fit(v * std::fabs(kx)), -32767, 32767); };
    PlayObjects objs(dc);
    std::size_t pos = rd32(h + 4);
    while (pos + 8 <= b.size()) {
        const std::uint32_t type = rd32(&b[pos]), size = rd32(&b[pos + 4]);
        if (size < 8 || size % 4 || pos + size > b.size()) break;
        const std::uint8_t* p = &b[pos + 8];
        const std::size_t n = (size - 8) / 4;
        auto v = [&](std::size_t i) -> std::int32_t { return i < n ? s32(p + 4 * i) : 0; };
        const std::size_t start = pos;
        pos += size;
        switch (type) {
            case 14: pos = b.size(); break;
            case 18: os_set_bk_mode(dc, v(0)); break;
            case 24: os_set_text_color(dc, static_cast<std::uint32_t>(v(0))); break;
            case 25: os_set_bk_color(dc, static_cast<std::uint32_t>(v(0))); break;
            case 22: os_set_text_align(dc, static_cast<std::uint32_t>(v(0))); break;
            case 20: os_set_rop2(dc, v(0)); break;
            case 33: os_save_dc(dc); break;
            case 34: os_restore_dc(dc, v(0)); break;
            case 75: os_select_clip_rgn(dc, 0); break;
            case 30: intersect_clip(dc, X(v(0)), Y(v(1)), X(v(2)), Y(v(3))); break;
            case 38: objs.put(static_cast<std::uint32_t>(v(0)), os_create_pen(static_cast<std::uint32_t>(v(1)), L(v(2)),
                                                                               static_cast<std::uint32_t>(v(4))));
                break;
            case 95: {
                const std::uint32_t style = static_cast<std::uint32_t>(v(5));
                std::vector<std::uint32_t> dashes;
                for (std::int32_t i = 0; i < v(10) && static_cast<std::size_t>(11 + i) < n; ++i)
                    dashes.push_back(static_cast<std::uint32_t>(std::max(0, L(v(11 + static_cast<std::size_t>(i))))));
                OsObject pen = os_ext_create_pen(style, std::max(1, L(v(6))), static_cast<std::uint32_t>(v(8)), dashes);
                if (!pen) pen = os_create_pen(OS_PS_SOLID, std::max(1, L(v(6))), static_cast<std::uint32_t>(v(8)));
                objs.put(static_cast<std::uint32_t>(v(0)), pen);
                break;
            }
            case 39: {
                Object br;
                br.kind = KindBrush;
                br.brush.null = v(1) == 1;
                br.brush.colour = static_cast<std::uint32_t>(v(2));
                objs.put(static_cast<std::uint32_t>(v(0)), add_object(std::move(br)));
                break;
            }
            case 82: {
                if (size < 104) break;
                OsLogFont lf;
                lf.height = std::clamp(fit(v(1) * std::fabs(ky)), -32767, 32767);
                lf.width = L(v(2)), lf.escapement = v(3), lf.orientation = v(4), lf.weight = v(5);
                const std::uint8_t* q = p + 24;
                lf.italic = q[0] != 0, lf.underline = q[1] != 0, lf.strike_out = q[2] != 0, lf.charset = q[3];
                lf.out_precision = q[4], lf.clip_precision = q[5], lf.quality = q[6], lf.pitch_and_family = q[7];
                for (int i = 0; i < 32; ++i) {
                    const std::uint16_t c = rd16(q + 8 + 2 * i);
                    if (c == 0) break;
                    const int x = os_unicode_to_cp1252(c);
                    lf.face += static_cast<char>(x < 0 ? '?' : x);
                }
                objs.put(static_cast<std::uint32_t>(v(0)), os_create_font(lf));
                break;
            }
            case 37: {
                const std::uint32_t ih = static_cast<std::uint32_t>(v(0));
                if (ih & 0x80000000u)
                    os_select_object(dc, os_get_stock_object(static_cast<std::int32_t>(ih & 0x7FFFFFFF)));
                else
                    objs.select(ih);
                break;
            }
            case 40: objs.erase(static_cast<std::uint32_t>(v(0))); break;
            case 27: os_move_to(dc, X(v(0)), Y(v(1))); break;
            case 54: os_line_to(dc, X(v(0)), Y(v(1))); break;
            case 3:
            case 4: {
                const std::size_t count = std::min<std::size_t>(static_cast<std::uint32_t>(v(4)), (n > 5 ? n - 5 : 0) / 2);
                std::vector<OsPoint> pts;
                for (std::size_t i = 0; i < count; ++i) pts.push_back({X(v(5 + 2 * i)), Y(v(6 + 2 * i))});
                if (type == 3) os_polygon(dc, pts);
                else os_polyline(dc, pts);
                break;
            }
            case 43: os_rectangle(dc, X(v(0)), Y(v(1)), X(v(2)), Y(v(3))); break;
            case 42: os_ellipse(dc, X(v(0)), Y(v(1)), X(v(2)), Y(v(3))); break;
            case 47:
            case 45: {
                auto f = type == 47 ? &os_pie : &os_arc;
                f(dc, X(v(0)), Y(v(1)), X(v(2)), Y(v(3)), X(v(4)), Y(v(5)), X(v(6)), Y(v(7)));
                break;
            }
            case 15: os_set_pixel(dc, X(v(0)), Y(v(1)), static_cast<std::uint32_t>(v(2))); break;
            case 84: {
                const std::int32_t chars = v(9), off = v(10);
                if (chars < 0 || off < 0 || static_cast<std::size_t>(off) + 2 * static_cast<std::size_t>(chars) > size) break;
                const Font& f = selected_font(*dc_of(dc));
                std::string s;
                for (std::int32_t i = 0; i < chars; ++i) {
                    const std::uint16_t c = rd16(&b[start + static_cast<std::size_t>(off) + 2 * static_cast<std::size_t>(i)]);
                    const int x = f.symbol && c < 256 ? c : os_unicode_to_cp1252(c);
                    s += static_cast<char>(x < 0 ? '?' : x);
                }
                os_text_out(dc, X(v(7)), Y(v(8)), s);
                break;
            }
            case 81: {
                const std::uint32_t off_bmi = static_cast<std::uint32_t>(v(10)), cb_bmi = static_cast<std::uint32_t>(v(11));
                const std::uint32_t off_bits = static_cast<std::uint32_t>(v(12)), cb_bits = static_cast<std::uint32_t>(v(13));
                if (off_bmi + std::uint64_t{cb_bmi} > size || off_bits + std::uint64_t{cb_bits} > size) break;
                std::vector<std::uint8_t> dib(&b[start + off_bmi], &b[start + off_bmi] + cb_bmi);
                dib.insert(dib.end(), &b[start + off_bits], &b[start + off_bits] + cb_bits);
                const std::int32_t x = X(v(4)), y = Y(v(5));
                os_stretch_dibits(dc, x, y, X(v(4) + v(16)) - x, Y(v(5) + v(17)) - y, v(6), v(7), v(8), v(9), dib.data(),
                                  dib.size(), static_cast<std::uint32_t>(v(15)));
                break;
            }
            default: break;
        }
    }
    return true;
}
