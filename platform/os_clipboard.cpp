// The clipboard over the toolkit's clipboard, by format number. Metafiles
// are kept as their records under a type of our own per format, and offered
// to other programs in their usual types: an enhanced metafile as
// image/x-emf, a metafile picture as a placeable metafile under image/x-wmf.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/os_app.h"
#include "platform/os_cliptext.h"
#include "platform/os_codepage.h"
#include "platform/os_dc_p.h"
#include "platform/os_error.h"
#include "platform/os_metafile.h"
#include "platform/os_printer.h"

using namespace osg;

namespace {

bool g_open = false;

QString own_type(std::uint32_t format) {
    return QStringLiteral("application/x-quindarolex-clipboard-%1").arg(format);
}

QByteArray bytes_of(const std::vector<std::uint8_t>& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

std::vector<std::uint8_t> vec_of(const QByteArray& a) {
    return std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(a.constData()),
                                     reinterpret_cast<const std::uint8_t*>(a.constData()) + a.size());
}

void put32(QByteArray& a, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) a.append(static_cast<char>(v >> (8 * i)));
}
void put16(QByteArray& a, std::uint32_t v) {
    a.append(static_cast<char>(v));
    a.append(static_cast<char>(v >> 8));
}
std::int32_t get32(const QByteArray& a, int at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(a[at + i])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

// The placeable header for a picture of x by y hundredths of a millimetre,
// in units of 1/2540 inch scaled down until the box fits 16 bits.
QByteArray placeable(std::int32_t x, std::int32_t y) {
    std::int64_t inch = 2540;
    const std::int64_t longest = std::max<std::int64_t>({x, y, 1});
    if (longest > 32767) inch = inch * 32767 / longest;
    const std::uint32_t right = static_cast<std::uint32_t>(x * inch / 2540) & 0xFFFF;
    const std::uint32_t bottom = static_cast<std::uint32_t>(y * inch / 2540) & 0xFFFF;
    QByteArray h;
    put32(h, 0x9AC6CDD7);
    put16(h, 0), put16(h, 0), put16(h, 0);
    put16(h, right), put16(h, bottom), put16(h, static_cast<std::uint32_t>(inch));
    put32(h, 0);
    std::uint32_t sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= static_cast<unsigned char>(h[i]) | (static_cast<std::uint32_t>(static_cast<unsigned char>(h[i + 1])) << 8);
    put16(h, sum);
    return h;
}

QClipboard* board() {
    os_app_gui();
    return QGuiApplication::clipboard();
}

// Adds a format to what the clipboard holds.
bool offer(const QString& type, const QByteArray& data, const QString& other, const QByteArray& other_data) {
    if (!g_open) return false;
    QClipboard* c = board();
    if (!c) return false;
    auto* m = new QMimeData;
    if (const QMimeData* old = c->mimeData())
        for (const QString& f : old->formats()) m->setData(f, old->data(f));
    m->setData(type, data);
    m->setData(other, other_data);
    c->setMimeData(m);
    return true;
}

}  // namespace

bool os_open_clipboard() {
    if (g_open) {
        os_set_last_error(OS_ERROR_ACCESS_DENIED);
        return false;
    }
    g_open = true;
    return true;
}

bool os_close_clipboard() {
    if (!g_open) return false;
    g_open = false;
    return true;
}

bool os_clipboard_is_open() { return g_open; }

bool os_empty_clipboard() {
    if (!g_open) return false;
    if (QClipboard* c = board()) c->clear();
    return true;
}

bool os_set_clipboard_enh_metafile(OsMetafile mf) {
    if (!os_metafile_enhanced(mf)) return false;
    const QByteArray data = bytes_of(os_get_metafile_bits(mf));
    if (!offer(own_type(OS_CF_ENHMETAFILE), data, QStringLiteral("image/x-emf"), data)) return false;
    os_delete_metafile(mf);
    return true;
}

bool os_set_clipboard_metafile_pict(const OsMetafilePict& pict) {
    if (!object_of(pict.mf, KindMetafile) || os_metafile_enhanced(pict.mf)) return false;
    const QByteArray records = bytes_of(os_get_metafile_bits(pict.mf));
    QByteArray own;
    put32(own, static_cast<std::uint32_t>(pict.mode));
    put32(own, static_cast<std::uint32_t>(pict.x_ext));
    put32(own, static_cast<std::uint32_t>(pict.y_ext));
    put32(own, 0);
    own += records;
    if (!offer(own_type(OS_CF_METAFILEPICT), own, QStringLiteral("image/x-wmf"), placeable(pict.x_ext, pict.y_ext) + records))
        return false;
    os_delete_metafile(pict.mf);
    return true;
}

bool os_is_clipboard_format_available(std::uint32_t format) {
    QClipboard* c = board();
    const QMimeData* m = c ? c->mimeData() : nullptr;
    if (format == OS_CF_TEXT) return m && m->hasText();
    return m && m->hasFormat(own_type(format));
}

OsMetafile os_get_clipboard_enh_metafile() {
    QClipboard* c = board();
    const QMimeData* m = c ? c->mimeData() : nullptr;
    if (!m || !m->hasFormat(own_type(OS_CF_ENHMETAFILE))) return 0;
    return os_set_enh_metafile_bits(vec_of(m->data(own_type(OS_CF_ENHMETAFILE))));
}

bool os_get_clipboard_metafile_pict(OsMetafilePict& pict) {
    QClipboard* c = board();
    const QMimeData* m = c ? c->mimeData() : nullptr;
    if (!m || !m->hasFormat(own_type(OS_CF_METAFILEPICT))) return false;
    const QByteArray d = m->data(own_type(OS_CF_METAFILEPICT));
    if (d.size() < 16) return false;
    pict.mode = get32(d, 0);
    pict.x_ext = get32(d, 4);
    pict.y_ext = get32(d, 8);
    pict.mf = os_set_metafile_bits(vec_of(d.mid(16)));
    return pict.mf != 0;
}

std::vector<std::string> os_clipboard_types() {
    QClipboard* c = board();
    const QMimeData* m = c ? c->mimeData() : nullptr;
    std::vector<std::string> out;
    if (m)
        for (const QString& f : m->formats()) out.push_back(f.toStdString());
    return out;
}

std::vector<std::uint8_t> os_clipboard_bytes(std::string_view type) {
    QClipboard* c = board();
    const QMimeData* m = c ? c->mimeData() : nullptr;
    const QString t = QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()));
    return m && m->hasFormat(t) ? vec_of(m->data(t)) : std::vector<std::uint8_t>{};
}

// ---- text --------------------------------------------------------------------------

bool os_clipboard_text_available() {
    QClipboard* c = board();
    const QMimeData* m = c ? c->mimeData() : nullptr;
    return m && m->hasText();
}

bool os_set_clipboard_text(std::string_view text) {
    if (!g_open) return false;
    QClipboard* c = board();
    if (!c) return false;
    auto* m = new QMimeData;
    if (const QMimeData* old = c->mimeData())
        for (const QString& f : old->formats())
            if (!f.startsWith(QLatin1String("text/"))) m->setData(f, old->data(f));
    m->setText(QString::fromUtf8(os_cp1252_to_utf8(text)));
    c->setMimeData(m);
    return true;
}

std::optional<std::string> os_get_clipboard_text() {
    QClipboard* c = board();
    const QMimeData* m = c ? c->mimeData() : nullptr;
    if (!m || !m->hasText()) return std::nullopt;
    return os_utf8_to_cp1252(m->text().toUtf8().toStdString());
}

void os_clipboard_foreign_format(std::uint32_t format, std::string_view bytes) {
    QClipboard* c = board();
    if (!c) return;
    auto* m = new QMimeData;
    m->setData(own_type(format), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    c->setMimeData(m);
}

void os_clipboard_foreign_text(std::string_view utf8) {
    if (QClipboard* c = board()) c->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}
