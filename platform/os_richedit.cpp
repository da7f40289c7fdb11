// The rich-edit control "RichEdit20A" over the toolkit's text document (the
// engine of its text-edit widget): the control keeps a QTextDocument and a
// cursor, paints the document itself like every other control of the layer,
// and takes keys and characters as messages, so a subclass sees them first.
#include "platform/os_richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QFontMetrics>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTextLayout>
#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/os_codepage_qt.h"
#include "platform/os_config.h"
#include "platform/os_dc.h"
#include "platform/os_control_p.h"
#include "platform/os_dc_p.h"
#include "platform/os_file.h"
#include "platform/os_rtf.h"

namespace osw {

namespace {

constexpr int kProtected = QTextFormat::UserProperty + 1;

struct RichData : ControlData {
    std::unique_ptr<QTextDocument> doc;
    QTextCursor cur;
    std::uint32_t mask = 0;
    std::int32_t limit = 32767;
    std::int32_t first_line = 0;   // first visible line (block)
    std::int32_t zoom_num = 0, zoom_den = 0;
    bool hide_sel = false;
    bool modified = false;
};

RichData* data(OsWindow w) {
    RichData* d = control_data<RichData>(w);
    if (d && !d->doc) {
        d->doc = std::make_unique<QTextDocument>();
        d->doc->setDocumentMargin(2);
        d->doc->setUndoRedoEnabled(true);
        d->cur = QTextCursor(d->doc.get());
    }
    return d;
}

std::int32_t length(const RichData& d) { return std::max(0, d.doc->characterCount() - 1); }
std::int32_t clamp(const RichData& d, std::int64_t p) {
    if (p < 0 || p > length(d)) return length(d);
    return static_cast<std::int32_t>(p);
}

// Library text (1252, CR LF or CR line breaks) to the document's, in one
// pass over the bytes: line breaks become the given character. Whole files
// come through here, in the pieces they were streamed in; a CR LF may be
// split between two pieces.
QString in_text(std::span<const std::string_view> parts, QChar line_break = QChar::ParagraphSeparator) {
    static const auto table = [] {
        std::array<char16_t, 256> t{};
        for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = static_cast<char16_t>(c < 0x80 ? c : os_cp1252_to_unicode(static_cast<unsigned char>(c)));
        return t;
    }();
    std::size_t total = 0;
    for (std::string_view s : parts) total += s.size();
    QString q(static_cast<qsizetype>(total), Qt::Uninitialized);
    os_prefer_large_pages(q.data(), total * sizeof(char16_t));
    char16_t* out = reinterpret_cast<char16_t*>(q.data());
    char16_t* const first = out;
    const char16_t lb = line_break.unicode();
    bool after_cr = false;
    for (std::string_view s : parts) {
        const auto* p = reinterpret_cast<const unsigned char*>(s.data());
        const auto* const end = p + s.size();
        if (after_cr && p < end && *p == '\n') ++p;
        after_cr = false;
        while (p < end) {
            const unsigned char c = *p++;
            if (c == '\r') {
                if (p == end) after_cr = true;
                else if (*p == '\n') ++p;
                *out++ = lb;
            } else if (c == '\n') {
                *out++ = lb;
            } else {
                *out++ = table[c];
            }
        }
    }
    q.truncate(static_cast<qsizetype>(out - first));
    return q;
}
QString in_text(std::string_view s, QChar line_break = QChar::ParagraphSeparator) {
    return in_text(std::span<const std::string_view>(&s, 1), line_break);
}
std::string out_text(QString q, bool crlf) {
    q.replace(QChar::ParagraphSeparator, crlf ? QLatin1String("\r\n") : QLatin1String("\r"));
    q.replace(QChar::LineSeparator, crlf ? QLatin1String("\r\n") : QLatin1String("\r"));
    q.replace(QChar::Nbsp, QLatin1Char(' '));
    return os_from_qstring(q);
}

std::intptr_t tell(OsWindow w, std::int32_t code, void* block) {
    WinRec* r = rec(w);
    if (!r || !r->parent) return 0;
    auto* h = static_cast<OsNotifyHeader*>(block);
    *h = OsNotifyHeader{w, static_cast<std::uintptr_t>(r->id), code};
    return os_send_message(r->parent, OSM_NOTIFY, static_cast<std::uintptr_t>(r->id), reinterpret_cast<std::intptr_t>(block));
}

void sel_changed(OsWindow w, RichData* d) {
    control_repaint(w);
    if (d->mask & OS_ENM_SELCHANGE) {
        OsSelChange s;
        s.chrg = {d->cur.selectionStart(), d->cur.selectionEnd()};
        tell(w, OS_EN_SELCHANGE, &s);
    }
}
void text_changed(OsWindow w, RichData* d) {
    d->modified = true;
    control_repaint(w);
    if (d->mask & OS_ENM_CHANGE) notify_parent(w, EN_CHANGE);
}

// True when the parent lets msg change the selected text (protected text only asks).
bool may_change(OsWindow w, RichData* d, std::uint32_t msg) {
    if (!(d->mask & OS_ENM_PROTECTED)) return true;
    const int a = d->cur.selectionStart(), b = d->cur.selectionEnd();
    bool prot = false;
    QTextCursor c(d->doc.get());
    for (int p = a; p < std::max(b, a + 1) && p <= length(*d) && !prot; ++p) {
        c.setPosition(p);
        c.setPosition(std::min(p + 1, length(*d)), QTextCursor::KeepAnchor);
        prot = c.charFormat().boolProperty(kProtected) && c.hasSelection();
    }
    if (!prot) return true;
    OsProtected pr;
    pr.msg = msg;
    pr.chrg = {a, b};
    return tell(w, OS_EN_PROTECTED, &pr) == 0;
}

// ---- formats between the document and the interface ----

std::uint32_t to_ref(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

// The control's own font, which text without a face or size of its own is
// drawn in: face as the library names it, size in twips, character set and
// pitch and family as the font was asked for.
struct DefaultFace {
    std::string face;  // 1252
    std::int32_t twips = 200;
    std::uint8_t charset = 0;
    std::uint8_t pitch_family = 0;
};

DefaultFace default_face(const WinRec& r) {
    DefaultFace out;
    const osg::Object* o = r.font ? osg::object_of(r.font, osg::KindFont) : nullptr;
    if (!o) o = osg::object_of(os_get_stock_object(OS_DEFAULT_GUI_FONT), osg::KindFont);
    if (!o) return out;
    const QFont& q = o->font.face();
    out.face = o->font.lf.face.empty() ? os_from_qstring(q.family()) : o->font.lf.face;
    const int px = q.pixelSize() > 0 ? q.pixelSize() : static_cast<int>(std::lround(q.pointSizeF() * os_config().dpi / 72.0));
    // Whole half points, as a document keeps sizes.
    out.twips = std::max(20, static_cast<std::int32_t>(std::lround(px * 144.0 / std::max(1, os_config().dpi))) * 10);
    out.charset = static_cast<std::uint8_t>(o->font.lf.charset);
    out.pitch_family = static_cast<std::uint8_t>(o->font.lf.pitch_and_family);
    return out;
}

void get_char(const QTextCharFormat& f, OsCharFormat& o, const DefaultFace& def) {
    o.effects = 0;
    if (f.fontWeight() >= QFont::Bold) o.effects |= OS_CFE_BOLD;
    if (f.fontItalic()) o.effects |= OS_CFE_ITALIC;
    if (f.fontUnderline()) o.effects |= OS_CFE_UNDERLINE;
    if (f.fontStrikeOut()) o.effects |= OS_CFE_STRIKEOUT;
    if (f.boolProperty(kProtected)) o.effects |= OS_CFE_PROTECTED;
    if (f.foreground().style() == Qt::NoBrush) o.effects |= OS_CFE_AUTOCOLOR;
    else o.colour = to_ref(f.foreground().color());
    if (f.background().style() == Qt::NoBrush) o.effects |= OS_CFE_AUTOBACKCOLOR;
    else o.back = to_ref(f.background().color());
    o.height = f.fontPointSize() > 0 ? static_cast<std::int32_t>(f.fontPointSize() * 20 + 0.5) : def.twips;
    const QString face = f.fontFamilies().toStringList().value(0);
    if (face.isEmpty()) {
        std::snprintf(o.face, sizeof o.face, "%s", def.face.c_str());
        o.charset = def.charset;
        o.pitch_family = def.pitch_family;
    } else {
        std::snprintf(o.face, sizeof o.face, "%s", os_from_qstring(face).c_str());
        o.charset = static_cast<std::uint8_t>(f.intProperty(kProtected + 1));
        o.pitch_family = static_cast<std::uint8_t>(f.intProperty(kProtected + 2));
    }
}

void merge(const OsCharFormat& a, OsCharFormat& acc) {
    const std::uint32_t bits[] = {OS_CFM_BOLD, OS_CFM_ITALIC, OS_CFM_UNDERLINE, OS_CFM_STRIKEOUT, OS_CFM_PROTECTED};
    for (std::uint32_t b : bits)
        if ((a.effects & b) != (acc.effects & b)) acc.mask &= ~b;
    if ((a.effects & OS_CFE_AUTOCOLOR) != (acc.effects & OS_CFE_AUTOCOLOR) || a.colour != acc.colour) acc.mask &= ~OS_CFM_COLOR;
    if ((a.effects & OS_CFE_AUTOBACKCOLOR) != (acc.effects & OS_CFE_AUTOBACKCOLOR) || a.back != acc.back)
        acc.mask &= ~OS_CFM_BACKCOLOR;
    if (a.height != acc.height) acc.mask &= ~OS_CFM_SIZE;
    if (std::strcmp(a.face, acc.face) != 0) acc.mask &= ~OS_CFM_FACE;
    if (a.charset != acc.charset) acc.mask &= ~OS_CFM_CHARSET;
}

QTextCharFormat to_qt(const OsCharFormat& o) {
    QTextCharFormat f;
    if (o.mask & OS_CFM_BOLD) f.setFontWeight(o.effects & OS_CFE_BOLD ? QFont::Bold : QFont::Normal);
    if (o.mask & OS_CFM_ITALIC) f.setFontItalic((o.effects & OS_CFE_ITALIC) != 0);
    if (o.mask & OS_CFM_UNDERLINE) f.setFontUnderline((o.effects & OS_CFE_UNDERLINE) != 0);
    if (o.mask & OS_CFM_STRIKEOUT) f.setFontStrikeOut((o.effects & OS_CFE_STRIKEOUT) != 0);
    if (o.mask & OS_CFM_PROTECTED) f.setProperty(kProtected, (o.effects & OS_CFE_PROTECTED) != 0);
    if (o.mask & OS_CFM_SIZE) f.setFontPointSize(std::clamp(o.height, 20, 32760) / 20.0);
    if (o.mask & OS_CFM_COLOR) {
        if (o.effects & OS_CFE_AUTOCOLOR) f.clearForeground();
        else f.setForeground(qcolour(o.colour));
    }
    if (o.mask & OS_CFM_BACKCOLOR) {
        if (o.effects & OS_CFE_AUTOBACKCOLOR) f.clearBackground();
        else f.setBackground(qcolour(o.back));
    }
    if ((o.mask & OS_CFM_FACE) && o.face[0]) {
        char face[33] = {};
        std::memcpy(face, o.face, sizeof o.face);
        f.setFontFamilies(QStringList{os_qstring(face)});
        f.setProperty(kProtected + 2, static_cast<int>(o.pitch_family));
    }
    if (o.mask & OS_CFM_CHARSET) f.setProperty(kProtected + 1, static_cast<int>(o.charset));
    return f;
}

// The format of the characters a..b (the one before the caret when empty).
OsCharFormat range_char(RichData& d, const DefaultFace& def, int a, int b) {
    OsCharFormat acc;
    QTextCursor c(d.doc.get());
    if (a >= b) {
        c.setPosition(a);
        get_char(c.charFormat(), acc, def);
        acc.mask = 0xFFFFFFFFu;
        return acc;
    }
    bool first = true;
    for (QTextBlock blk = d.doc->findBlock(a); blk.isValid() && blk.position() < b; blk = blk.next()) {
        for (auto it = blk.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            if (fr.position() + fr.length() <= a || fr.position() >= b) continue;
            OsCharFormat one;
            get_char(fr.charFormat(), one, def);
            if (first) { acc = one; acc.mask = 0xFFFFFFFFu; first = false; }
            else merge(one, acc);
        }
    }
    if (first) {
        c.setPosition(a);
        get_char(c.charFormat(), acc, def);
        acc.mask = 0xFFFFFFFFu;
    }
    return acc;
}

void get_para(const QTextBlock& b, OsParaFormat& o) {
    const QTextBlockFormat f = b.blockFormat();
    o.numbering = b.textList() ? OS_PFN_BULLET : 0;
    const Qt::Alignment al = f.alignment() & Qt::AlignHorizontal_Mask;
    o.alignment = (al & Qt::AlignHCenter) ? OS_PFA_CENTER : (al & Qt::AlignRight) ? OS_PFA_RIGHT : OS_PFA_LEFT;
    o.start_indent = static_cast<std::int32_t>(f.leftMargin() * 20);
    o.right_indent = static_cast<std::int32_t>(f.rightMargin() * 20);
    o.offset = static_cast<std::int32_t>(-f.textIndent() * 20);
    const auto tabs = f.tabPositions();
    o.tab_count = static_cast<std::int16_t>(std::min<qsizetype>(tabs.size(), 32));
    for (int i = 0; i < o.tab_count; ++i) o.tabs[i] = static_cast<std::int32_t>(tabs[i].position * 20);
}

void set_bullet(QTextCursor& c, bool on) {
    QTextBlock b = c.block();
    if (on && !b.textList()) {
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDisc);
        lf.setIndent(1);
        c.createList(lf);
    } else if (!on && b.textList()) {
        QTextList* l = b.textList();
        l->remove(b);
        QTextBlockFormat bf = c.blockFormat();
        bf.setIndent(0);
        bf.setObjectIndex(-1);
        c.setBlockFormat(bf);
    }
}

void apply_para(RichData& d, int a, int b, const OsParaFormat& o) {
    QTextCursor c(d.doc.get());
    c.beginEditBlock();
    QTextBlock last = d.doc->findBlock(std::max(a, b));
    for (QTextBlock blk = d.doc->findBlock(a); blk.isValid(); blk = blk.next()) {
        c.setPosition(blk.position());
        QTextBlockFormat f = c.blockFormat();
        if (o.mask & OS_PFM_ALIGNMENT)
            f.setAlignment(o.alignment == OS_PFA_CENTER ? Qt::AlignHCenter : o.alignment == OS_PFA_RIGHT ? Qt::AlignRight : Qt::AlignLeft);
        if (o.mask & OS_PFM_STARTINDENT) f.setLeftMargin(o.start_indent / 20.0);
        if (o.mask & OS_PFM_RIGHTINDENT) f.setRightMargin(o.right_indent / 20.0);
        if (o.mask & OS_PFM_OFFSET) f.setTextIndent(-o.offset / 20.0);
        if (o.mask & OS_PFM_TABSTOPS) {
            QList<QTextOption::Tab> tabs;
            for (int i = 0; i < std::clamp<int>(o.tab_count, 0, 32); ++i) tabs.append(QTextOption::Tab(o.tabs[i] / 20.0, QTextOption::LeftTab));
            f.setTabPositions(tabs);
        }
        c.setBlockFormat(f);
        if (o.mask & OS_PFM_NUMBERING) set_bullet(c, o.numbering != 0);
        if (blk == last) break;
    }
    c.endEditBlock();
}

// ---- RTF to and from the document ----

std::string doc_to_rtf(RichData& d, const DefaultFace& def, int a, int b) {
    osrtf::Document out;
    out.colours.push_back({});
    // Text without a face of its own is in the control's font.
    auto font_of = [&](const QTextCharFormat& f) {
        osrtf::Font fo;
        const QString face = f.fontFamilies().toStringList().value(0);
        if (face.isEmpty()) {
            fo.face = os_cp1252_to_utf8(def.face);
            fo.charset = def.charset;
            fo.family = def.pitch_family >> 4;
        } else {
            fo.face = os_cp1252_to_utf8(os_from_qstring(face));
            fo.charset = f.intProperty(kProtected + 1);
            fo.family = f.intProperty(kProtected + 2) >> 4;
        }
        for (std::size_t i = 0; i < out.fonts.size(); ++i)
            if (out.fonts[i] == fo) return static_cast<std::int32_t>(i);
        out.fonts.push_back(fo);
        return static_cast<std::int32_t>(out.fonts.size() - 1);
    };
    auto colour_of = [&](const QBrush& br) {
        if (br.style() == Qt::NoBrush) return 0;
        const QColor q = br.color();
        const osrtf::Colour c{static_cast<std::uint8_t>(q.red()), static_cast<std::uint8_t>(q.green()), static_cast<std::uint8_t>(q.blue())};
        for (std::size_t i = 1; i < out.colours.size(); ++i)
            if (out.colours[i] == c) return static_cast<int>(i);
        out.colours.push_back(c);
        return static_cast<int>(out.colours.size() - 1);
    };
    for (QTextBlock blk = d.doc->findBlock(a); blk.isValid() && blk.position() <= b; blk = blk.next()) {
        osrtf::Paragraph p;
        OsParaFormat pf;
        get_para(blk, pf);
        p.fmt.align = pf.alignment == OS_PFA_CENTER ? osrtf::AlignCentre : pf.alignment == OS_PFA_RIGHT ? osrtf::AlignRight : osrtf::AlignLeft;
        p.fmt.left = pf.start_indent;
        p.fmt.right = pf.right_indent;
        p.fmt.first = -pf.offset;
        p.fmt.bullet = pf.numbering != 0;
        for (int i = 0; i < pf.tab_count; ++i) p.fmt.tabs.push_back(pf.tabs[i]);
        for (auto it = blk.begin(); !it.atEnd(); ++it) {
            const QTextFragment fr = it.fragment();
            const int fa = std::max(a, fr.position()), fb = std::min(b, fr.position() + fr.length());
            if (fa >= fb) continue;
            const QTextCharFormat f = fr.charFormat();
            osrtf::Run r;
            r.fmt.bold = f.fontWeight() >= QFont::Bold;
            r.fmt.italic = f.fontItalic();
            r.fmt.underline = f.fontUnderline();
            r.fmt.strike = f.fontStrikeOut();
            r.fmt.protect = f.boolProperty(kProtected);
            r.fmt.half_points = f.fontPointSize() > 0 ? static_cast<std::int32_t>(f.fontPointSize() * 2 + 0.5) : def.twips / 10;
            r.fmt.font = font_of(f);
            r.fmt.colour = colour_of(f.foreground());
            r.fmt.back = colour_of(f.background());
            QString t = fr.text().mid(fa - fr.position(), fb - fa);
            t.replace(QChar::LineSeparator, QLatin1Char('\n'));
            r.text = t.toStdString();
            p.runs.push_back(std::move(r));
        }
        out.paras.push_back(std::move(p));
        if (blk.position() + blk.length() > b) break;
    }
    if (out.paras.empty()) out.paras.emplace_back();
    return osrtf::write(out);
}

// Runs in the control's own font (face and size) are left without a face and
// size of their own, so they look as the control's text does and follow it.
void rtf_to_cursor(const osrtf::Document& in, const DefaultFace& def, QTextCursor& c) {
    bool first = true;
    for (const osrtf::Paragraph& p : in.paras) {
        if (!first) c.insertBlock();
        first = false;
        QTextBlockFormat bf;
        bf.setAlignment(p.fmt.align == osrtf::AlignCentre ? Qt::AlignHCenter
                        : p.fmt.align == osrtf::AlignRight ? Qt::AlignRight
                        : p.fmt.align == osrtf::AlignJustify ? Qt::AlignJustify : Qt::AlignLeft);
        bf.setLeftMargin(p.fmt.left / 20.0);
        bf.setRightMargin(p.fmt.right / 20.0);
        bf.setTextIndent(p.fmt.first / 20.0);
        QList<QTextOption::Tab> tabs;
        for (std::int32_t t : p.fmt.tabs) tabs.append(QTextOption::Tab(t / 20.0, QTextOption::LeftTab));
        bf.setTabPositions(tabs);
        c.setBlockFormat(bf);
        set_bullet(c, p.fmt.bullet);
        for (const osrtf::Run& r : p.runs) {
            QTextCharFormat f;
            f.setFontWeight(r.fmt.bold ? QFont::Bold : QFont::Normal);
            f.setFontItalic(r.fmt.italic);
            f.setFontUnderline(r.fmt.underline);
            f.setFontStrikeOut(r.fmt.strike);
            if (r.fmt.protect) f.setProperty(kProtected, true);
            const osrtf::Font* fo = r.fmt.font >= 0 && r.fmt.font < static_cast<std::int32_t>(in.fonts.size())
                                        ? &in.fonts[static_cast<std::size_t>(r.fmt.font)] : nullptr;
            const bool own = fo && r.fmt.half_points * 10 == def.twips &&
                             QString::fromStdString(fo->face).compare(qtext(def.face), Qt::CaseInsensitive) == 0;
            if (!own) {
                f.setFontPointSize(r.fmt.half_points / 2.0);
                if (fo) {
                    if (!fo->face.empty()) f.setFontFamilies(QStringList{QString::fromStdString(fo->face)});
                    f.setProperty(kProtected + 1, fo->charset);
                    f.setProperty(kProtected + 2, fo->family << 4);
                }
            }
            auto colour = [&](std::int32_t i) {
                const osrtf::Colour& k = in.colours[static_cast<std::size_t>(i)];
                return QColor(k.r, k.g, k.b);
            };
            if (r.fmt.colour > 0 && r.fmt.colour < static_cast<std::int32_t>(in.colours.size())) f.setForeground(colour(r.fmt.colour));
            if (r.fmt.back > 0 && r.fmt.back < static_cast<std::int32_t>(in.colours.size())) f.setBackground(colour(r.fmt.back));
            QString t = QString::fromStdString(r.text);
            t.replace(QLatin1Char('\n'), QChar::LineSeparator);
            t.replace(QLatin1Char('\r'), QChar::LineSeparator);
            c.insertText(t, f);
        }
    }
}

// What a stream delivered, kept in the blocks it came in: a large file is
// copied once, where it is converted, not again while it grows.
struct Streamed {
    std::vector<OsLargeBuffer> blocks;
    std::vector<std::string_view> parts;
    std::string joined() const {
        std::string all;
        std::size_t n = 0;
        for (std::string_view s : parts) n += s.size();
        all.reserve(n);
        for (std::string_view s : parts) all.append(s);
        return all;
    }
};

// Reads the stream in large blocks; false when the callback reported an error.
bool read_stream(OsEditStream* es, Streamed& in) {
    constexpr std::int32_t block = 8 << 20;
    for (;;) {
        OsLargeBuffer buf = os_large_buffer(block);
        if (!buf) { es->error = -1; return false; }
        std::int32_t done = 0;
        const std::int32_t err = es->callback(es->cookie, reinterpret_cast<unsigned char*>(buf.get()), block, &done);
        if (err != 0) { es->error = err; return false; }
        if (done <= 0) return true;
        in.parts.emplace_back(buf.get(), static_cast<std::size_t>(std::min(done, block)));
        in.blocks.push_back(std::move(buf));
    }
}

std::int32_t write_stream(OsEditStream* es, const std::string& s) {
    std::size_t at = 0;
    while (at < s.size()) {
        const auto n = static_cast<std::int32_t>(std::min<std::size_t>(s.size() - at, 4096));
        std::vector<unsigned char> blk(s.begin() + static_cast<std::ptrdiff_t>(at), s.begin() + static_cast<std::ptrdiff_t>(at) + n);
        std::int32_t done = 0;
        const std::int32_t err = es->callback(es->cookie, blk.data(), n, &done);
        if (err != 0) { es->error = err; break; }
        if (done <= 0) { es->error = -1; break; }
        at += static_cast<std::size_t>(std::min(done, n));
    }
    return static_cast<std::int32_t>(at);
}

QTextDocument::FindFlags find_flags(std::uintptr_t wp, bool up) {
    QTextDocument::FindFlags f;
    if (wp & OS_FR_WHOLEWORD) f |= QTextDocument::FindWholeWords;
    if (wp & OS_FR_MATCHCASE) f |= QTextDocument::FindCaseSensitively;
    if (up) f |= QTextDocument::FindBackward;
    return f;
}

// Lays the document out for the control's width (wrapping unless it scrolls sideways).
void layout(WinRec& r, RichData& d) {
    const bool wrap = !(r.style & OS_WS_HSCROLL);
    const int w = std::max(10, r.rect.right - r.rect.left - 4);
    // Without wrapping, lines run on past the width, which still places centred and right-aligned text.
    QTextOption opt = d.doc->defaultTextOption();
    const auto mode = wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap;
    if (opt.wrapMode() != mode) {
        opt.setWrapMode(mode);
        d.doc->setDefaultTextOption(opt);
    }
    if (d.doc->textWidth() != w) d.doc->setTextWidth(w);
    QFont f = control_font(r);
    if (d.doc->defaultFont() != f) d.doc->setDefaultFont(f);
}

void set_position(RichData& d, int a, int b) {
    d.cur.setPosition(clamp(d, a));
    d.cur.setPosition(clamp(d, b), QTextCursor::KeepAnchor);
}

std::int32_t line_of(RichData& d, int p) { return d.doc->findBlock(clamp(d, p)).blockNumber(); }

void scroll_caret(RichData& d, WinRec& r) {
    const int line = d.cur.block().blockNumber();
    const QFontMetrics fm(control_font(r));
    const int rows = std::max(1, (r.rect.bottom - r.rect.top) / std::max(1, fm.height()));
    if (line < d.first_line) d.first_line = line;
    else if (line >= d.first_line + rows) d.first_line = line - rows + 1;
}


// Lays the range out for the device context's resolution within fr.rc
// (twips) and, when render is set, draws it there as text in its fonts and
// colours. The answer is the first character that did not fit.
std::int32_t format_range(RichData& d, const OsFormatRange& fr, bool render) {
    const std::int32_t end = fr.chrg.cpMax < 0 ? length(d) : clamp(d, fr.chrg.cpMax);
    std::int32_t pos = std::clamp(fr.chrg.cpMin, 0, end);
    if (pos >= end) return end;
    const int res = fr.dc ? std::max(1, os_get_device_caps(fr.dc, OS_LOGPIXELSY)) : 1440;
    const double screen = std::max(1, os_config().dpi);
    const double to_dev = res / screen;
    auto dev = [&](std::int32_t twips) { return static_cast<std::int32_t>(std::lround(double(twips) * res / 1440.0)); };
    const int left = dev(fr.rc.left), top = dev(fr.rc.top), bottom = dev(fr.rc.bottom);
    std::unique_ptr<QTextDocument> doc(d.doc->clone());
    doc->setDocumentMargin(0);
    doc->setTextWidth(std::max(1.0, (fr.rc.right - fr.rc.left) * screen / 1440.0));
    auto* lay = doc->documentLayout();
    (void)lay;
    double y0 = -1;
    for (QTextBlock b = doc->findBlock(pos); b.isValid() && b.position() < end; b = b.next()) {
        QTextLayout* tl = b.layout();
        const QRectF br = doc->documentLayout()->blockBoundingRect(b);
        for (int li = 0; li < tl->lineCount(); ++li) {
            const QTextLine line = tl->lineAt(li);
            const int first = b.position() + line.textStart();
            const int last = first + line.textLength();
            if (last <= pos && !(line.textLength() == 0 && first == pos)) continue;
            if (first >= end) return end;
            const double ly = br.top() + line.y();
            if (y0 < 0) y0 = ly;
            const int dy = top + static_cast<int>(std::lround((ly - y0) * to_dev));
            const int dh = static_cast<int>(std::lround(line.height() * to_dev));
            if (dy + dh > bottom && dy > top) return std::max(first, pos);
            if (!render || !fr.dc) continue;
            if (li == 0 && b.textList()) {
                OsLogFont lf;
                lf.height = -static_cast<std::int32_t>(std::lround(line.ascent() * to_dev));
                const OsObject f = os_create_font(lf);
                const OsObject old = os_select_object(fr.dc, f);
                os_set_bk_mode(fr.dc, OS_TRANSPARENT);
                os_text_out(fr.dc, left + static_cast<int>(std::lround((br.left() + line.x() - 12) * to_dev)), dy, "\x95");
                os_select_object(fr.dc, old);
                os_delete_object(f);
            }
            for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment frag = it.fragment();
                const int a = std::max({frag.position(), first, pos});
                const int z = std::min({frag.position() + frag.length(), last, end});
                if (z <= a) continue;
                const QTextCharFormat cf = frag.charFormat();
                QString piece = frag.text().mid(a - frag.position(), z - a);
                piece.replace(QChar::LineSeparator, QLatin1Char(' '));
                piece.replace(QChar::Nbsp, QLatin1Char(' '));
                OsLogFont lf;
                const QFont qf = cf.font();
                const double pt = qf.pointSizeF() > 0 ? qf.pointSizeF() : 10.0;
                lf.height = -static_cast<std::int32_t>(std::lround(pt * res / 72.0));
                lf.weight = qf.bold() ? 700 : 400;
                lf.italic = qf.italic();
                lf.underline = qf.underline();
                lf.strike_out = qf.strikeOut();
                lf.face = os_from_qstring(qf.family());
                const OsObject f = os_create_font(lf);
                const OsObject old = os_select_object(fr.dc, f);
                os_set_bk_mode(fr.dc, OS_TRANSPARENT);
                const QBrush fg = cf.foreground();
                os_set_text_color(fr.dc, fg.style() == Qt::NoBrush ? 0u : to_ref(fg.color()));
                const int x = left + static_cast<int>(std::lround((br.left() + line.cursorToX(a - b.position())) * to_dev));
                const int ty = dy + static_cast<int>(std::lround((line.ascent() - QFontMetricsF(qf).ascent()) * to_dev));
                os_text_out(fr.dc, x, ty, os_from_qstring(piece));
                os_select_object(fr.dc, old);
                os_delete_object(f);
            }
        }
    }
    return end;
}

std::intptr_t richedit_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    RichData* d = data(w);
    if (!r || !d) return 0;
    const bool readonly = (r->style & OS_ES_READONLY) != 0;
    switch (m) {
    case OSM_CREATE:
        layout(*r, *d);
        return 0;
    case OSM_SETTEXT: {
        d->doc->clear();
        d->cur = QTextCursor(d->doc.get());
        if (lp) d->cur.insertText(in_text(reinterpret_cast<const char*>(lp)));
        d->cur.setPosition(0);
        d->doc->clearUndoRedoStacks();
        d->first_line = 0;
        d->modified = false;
        text_changed(w, d);
        d->modified = false;
        return 1;
    }
    case OSM_GETTEXTLENGTH:
        return static_cast<std::intptr_t>(out_text(d->doc->toPlainText(), false).size());
    case OSM_GETTEXT: {
        if (!lp || wp == 0) return 0;
        const std::string s = out_text(d->doc->toPlainText(), false);
        const std::size_t n = std::min<std::size_t>(s.size(), wp - 1);
        std::memcpy(reinterpret_cast<char*>(lp), s.data(), n);
        reinterpret_cast<char*>(lp)[n] = 0;
        return static_cast<std::intptr_t>(n);
    }
    case OS_EM_GETTEXTLENGTH:
        return length(*d);
    case OSM_SIZE:
        layout(*r, *d);
        return control_default(w, m, wp, lp);
    case EM_GETSEL: {
        const std::int32_t a = d->cur.selectionStart(), b = d->cur.selectionEnd();
        if (wp) *reinterpret_cast<std::int32_t*>(wp) = a;
        if (lp) *reinterpret_cast<std::int32_t*>(lp) = b;
        return os_make_lparam(a, b);
    }
    case OS_EM_EXGETSEL:
        if (lp) *reinterpret_cast<OsCharRange*>(lp) = {d->cur.selectionStart(), d->cur.selectionEnd()};
        return d->cur.selectionEnd();
    case EM_SETSEL:
    case OS_EM_EXSETSEL: {
        std::int64_t a = static_cast<std::int32_t>(wp), b = lp;
        if (m == OS_EM_EXSETSEL) {
            if (!lp) return 0;
            const auto* cr = reinterpret_cast<const OsCharRange*>(lp);
            a = cr->cpMin;
            b = cr->cpMax;
        }
        if (a == 0 && b == -1) { a = 0; b = length(*d); }
        if (a < 0) { set_position(*d, d->cur.position(), d->cur.position()); }
        else set_position(*d, static_cast<int>(clamp(*d, a)), static_cast<int>(clamp(*d, b)));
        sel_changed(w, d);
        return d->cur.selectionEnd();
    }
    case OS_EM_HIDESELECTION:
        d->hide_sel = wp != 0;
        control_repaint(w);
        return 0;
    case EM_REPLACESEL: {
        if (!may_change(w, d, m)) return 0;
        const QString t = in_text(lp ? reinterpret_cast<const char*>(lp) : "");
        const int room = d->limit - (length(*d) - (d->cur.selectionEnd() - d->cur.selectionStart()));
        if (!wp) d->doc->setUndoRedoEnabled(false);
        d->cur.insertText(t.left(std::max(0, room)));
        if (!wp) d->doc->setUndoRedoEnabled(true);
        text_changed(w, d);
        sel_changed(w, d);
        return 0;
    }
    case OS_EM_GETTEXTRANGE: {
        auto* tr = reinterpret_cast<OsTextRange*>(lp);
        if (!tr || !tr->text) return 0;
        const int a = clamp(*d, tr->chrg.cpMin), b = tr->chrg.cpMax < 0 ? length(*d) : clamp(*d, tr->chrg.cpMax);
        QTextCursor c(d->doc.get());
        c.setPosition(a);
        c.setPosition(std::max(a, b), QTextCursor::KeepAnchor);
        const std::string s = out_text(c.selectedText(), false);
        std::memcpy(tr->text, s.data(), s.size());
        tr->text[s.size()] = 0;
        return static_cast<std::intptr_t>(s.size());
    }
    case OS_EM_LINEFROMCHAR:
    case OS_EM_EXLINEFROMCHAR: {
        const auto p = static_cast<std::int64_t>(static_cast<std::intptr_t>(m == OS_EM_EXLINEFROMCHAR ? lp : static_cast<std::int32_t>(wp)));
        return line_of(*d, p < 0 ? d->cur.selectionStart() : static_cast<int>(p));
    }
    case OS_EM_LINEINDEX: {
        const auto line = static_cast<std::int32_t>(wp);
        const QTextBlock b = line < 0 ? d->cur.block() : d->doc->findBlockByNumber(line);
        return b.isValid() ? b.position() : -1;
    }
    case OS_EM_LINELENGTH: {
        const QTextBlock b = d->doc->findBlock(clamp(*d, static_cast<std::int32_t>(wp)));
        return b.isValid() ? b.length() - 1 : 0;
    }
    case OS_EM_GETLINE: {
        // The first word of the buffer gives its size; the line comes back with its end mark.
        const QTextBlock b = d->doc->findBlockByNumber(static_cast<std::int32_t>(wp));
        if (!lp || !b.isValid()) return 0;
        std::uint16_t room = 0;
        std::memcpy(&room, reinterpret_cast<const void*>(lp), sizeof room);
        std::string s = out_text(b.text(), false);
        if (b.next().isValid()) s += '\r';
        const std::size_t n = std::min<std::size_t>(s.size(), room);
        std::memcpy(reinterpret_cast<char*>(lp), s.data(), n);
        return static_cast<std::intptr_t>(n);
    }
    case OS_EM_GETLINECOUNT:
        return d->doc->blockCount();
    case OS_EM_GETFIRSTVISIBLELINE:
        return d->first_line;
    case OS_EM_LINESCROLL:
        d->first_line = std::clamp<std::int32_t>(d->first_line + static_cast<std::int32_t>(lp), 0, d->doc->blockCount() - 1);
        control_repaint(w);
        return 1;
    case EM_SCROLLCARET:
        scroll_caret(*d, *r);
        control_repaint(w);
        return 0;
    case EM_GETMODIFY:
        return d->modified ? 1 : 0;
    case EM_SETMODIFY:
        d->modified = wp != 0;
        return 0;
    case EM_LIMITTEXT:
    case OS_EM_EXLIMITTEXT: {
        const std::intptr_t v = m == EM_LIMITTEXT ? static_cast<std::intptr_t>(wp) : lp;
        d->limit = v <= 0 ? 65536 : static_cast<std::int32_t>(std::min<std::intptr_t>(v, 0x7FFFFFFE));
        return 0;
    }
    case EM_GETLIMITTEXT:
        return d->limit;
    case EM_SETREADONLY:
        os_set_style(w, wp ? (r->style | OS_ES_READONLY) : (r->style & ~OS_ES_READONLY));
        control_repaint(w);
        return 1;
    case OS_EM_CANUNDO:
        return d->doc->isUndoAvailable() ? 1 : 0;
    case OS_EM_CANREDO:
        return d->doc->isRedoAvailable() ? 1 : 0;
    case OS_EM_UNDO:
    case OS_EM_REDO: {
        const bool can = m == OS_EM_UNDO ? d->doc->isUndoAvailable() : d->doc->isRedoAvailable();
        if (!can || readonly) return 0;
        if (m == OS_EM_UNDO) d->doc->undo(&d->cur);
        else d->doc->redo(&d->cur);
        text_changed(w, d);
        return 1;
    }
    case OS_EM_EMPTYUNDOBUFFER:
        d->doc->clearUndoRedoStacks();
        return 0;
    case OS_EM_STOPGROUPTYPING:
        // Every insertion through the cursor is its own undo step already.
        return 0;
    case OS_EM_SETEVENTMASK: {
        const std::uint32_t old = d->mask;
        d->mask = static_cast<std::uint32_t>(lp);
        return old;
    }
    case OS_EM_GETEVENTMASK:
        return d->mask;
    case OS_EM_GETZOOM:
        if (wp) *reinterpret_cast<std::int32_t*>(wp) = d->zoom_num;
        if (lp) *reinterpret_cast<std::int32_t*>(lp) = d->zoom_den;
        return 1;
    case OS_EM_SETZOOM: {
        const auto n = static_cast<std::int32_t>(wp), den = static_cast<std::int32_t>(lp);
        if (!(n == 0 && den == 0) && (n <= 0 || den <= 0 || n * 64 < den || n > den * 64)) return 0;
        d->zoom_num = n;
        d->zoom_den = den;
        control_repaint(w);
        return 1;
    }
    case OS_EM_FINDTEXTEX: {
        auto* ft = reinterpret_cast<OsFindText*>(lp);
        if (!ft || !ft->text || !ft->text[0]) return -1;
        const bool up = !(wp & OS_FR_DOWN);
        const QString what = in_text(ft->text);
        const int from = clamp(*d, ft->chrg.cpMin);
        const int to = ft->chrg.cpMax < 0 ? (up ? 0 : length(*d)) : clamp(*d, ft->chrg.cpMax);
        QTextCursor f = d->doc->find(what, from, find_flags(wp, up));
        // Searching up, a match must end at or before the start.
        while (up && !f.isNull() && f.selectionEnd() > from)
            f = f.selectionStart() > 0 ? d->doc->find(what, f.selectionStart() - 1, find_flags(wp, up)) : QTextCursor();
        if (f.isNull()) return -1;
        if (!up && f.selectionEnd() > to) return -1;
        if (up && f.selectionStart() < to) return -1;
        ft->found = {f.selectionStart(), f.selectionEnd()};
        return f.selectionStart();
    }
    case OS_EM_GETCHARFORMAT: {
        auto* cf = reinterpret_cast<OsCharFormat*>(lp);
        if (!cf) return 0;
        const DefaultFace def = default_face(*r);
        *cf = wp ? range_char(*d, def, d->cur.selectionStart(), d->cur.selectionEnd()) : range_char(*d, def, 0, 0);
        return cf->mask;
    }
    case OS_EM_SETCHARFORMAT: {
        const auto* cf = reinterpret_cast<const OsCharFormat*>(lp);
        if (!cf) return 0;
        const QTextCharFormat f = to_qt(*cf);
        QTextCursor c = d->cur;
        if (wp & OS_SCF_ALL) {
            c.select(QTextCursor::Document);
        } else if ((wp & OS_SCF_WORD) && !c.hasSelection()) {
            c.select(QTextCursor::WordUnderCursor);
        }
        if (!(wp & (OS_SCF_ALL | OS_SCF_SELECTION | OS_SCF_WORD))) {
            // The default format: the whole text and what is typed next, not an undo step.
            d->doc->setUndoRedoEnabled(false);
            QTextCursor whole(d->doc.get());
            whole.select(QTextCursor::Document);
            whole.mergeCharFormat(f);
            d->cur.mergeCharFormat(f);
            d->doc->setUndoRedoEnabled(true);
            control_repaint(w);
            return 1;
        }
        if (c.hasSelection()) c.mergeCharFormat(f);
        else d->cur.mergeCharFormat(f);
        control_repaint(w);
        return 1;
    }
    case OS_EM_GETPARAFORMAT: {
        auto* pf = reinterpret_cast<OsParaFormat*>(lp);
        if (!pf) return 0;
        const int a = d->cur.selectionStart(), b = d->cur.selectionEnd();
        QTextBlock last = d->doc->findBlock(b);
        OsParaFormat acc;
        get_para(d->doc->findBlock(a), acc);
        acc.mask = OS_PFM_ALIGNMENT | OS_PFM_NUMBERING | OS_PFM_STARTINDENT | OS_PFM_RIGHTINDENT | OS_PFM_OFFSET | OS_PFM_TABSTOPS;
        for (QTextBlock blk = d->doc->findBlock(a); blk.isValid(); blk = blk.next()) {
            OsParaFormat one;
            get_para(blk, one);
            if (one.alignment != acc.alignment) acc.mask &= ~OS_PFM_ALIGNMENT;
            if (one.numbering != acc.numbering) acc.mask &= ~OS_PFM_NUMBERING;
            if (one.start_indent != acc.start_indent) acc.mask &= ~OS_PFM_STARTINDENT;
            if (blk == last) break;
        }
        *pf = acc;
        return pf->mask;
    }
    case OS_EM_SETPARAFORMAT: {
        const auto* pf = reinterpret_cast<const OsParaFormat*>(lp);
        if (!pf) return 0;
        apply_para(*d, d->cur.selectionStart(), d->cur.selectionEnd(), *pf);
        control_repaint(w);
        return 1;
    }
    case OS_EM_STREAMIN: {
        auto* es = reinterpret_cast<OsEditStream*>(lp);
        if (!es || !es->callback) return 0;
        es->error = 0;
        Streamed in;
        if (!read_stream(es, in)) return 0;
        const bool sel = (wp & OS_SFF_SELECTION) != 0;
        if (!sel) {
            d->doc->clear();
            d->cur = QTextCursor(d->doc.get());
            d->first_line = 0;
        }
        const int start = d->cur.selectionStart();
        d->doc->setUndoRedoEnabled(false);
        osrtf::Document rd;
        if ((wp & OS_SF_RTF) && osrtf::read(in.joined(), rd)) {
            d->cur.removeSelectedText();
            rtf_to_cursor(rd, default_face(*r), d->cur);
        } else if (!sel) {
            // The whole text at once: the document's own fast path.
            d->doc->setPlainText(in_text(in.parts, QLatin1Char('\n')));
            d->cur = QTextCursor(d->doc.get());
            d->cur.movePosition(QTextCursor::End);
        } else {
            d->cur.insertText(in_text(in.parts));
        }
        d->doc->setUndoRedoEnabled(true);
        if (!sel) d->cur.setPosition(0);
        text_changed(w, d);
        if (!sel) d->modified = false;
        return d->cur.position() - start;
    }
    case OS_EM_STREAMOUT: {
        auto* es = reinterpret_cast<OsEditStream*>(lp);
        if (!es || !es->callback) return 0;
        es->error = 0;
        const bool sel = (wp & OS_SFF_SELECTION) != 0;
        const int a = sel ? d->cur.selectionStart() : 0, b = sel ? d->cur.selectionEnd() : length(*d);
        std::string s;
        if (wp & OS_SF_RTF) {
            s = doc_to_rtf(*d, default_face(*r), a, b);
        } else {
            QTextCursor c(d->doc.get());
            c.setPosition(a);
            c.setPosition(b, QTextCursor::KeepAnchor);
            s = out_text(c.selectedText(), true);
        }
        return write_stream(es, s);
    }
    case OS_EM_POSFROMCHAR: {
        auto* pt = reinterpret_cast<OsPoint*>(wp);
        if (!pt) return 0;
        layout(*r, *d);
        const int p = clamp(*d, lp);
        const QTextBlock b = d->doc->findBlock(p);
        const QRectF br = d->doc->documentLayout()->blockBoundingRect(b);
        const QTextBlock top = d->doc->findBlockByNumber(d->first_line);
        const double y0 = d->doc->documentLayout()->blockBoundingRect(top).top();
        double x = br.left();
        if (const QTextLayout* tl = b.layout(); tl && tl->lineCount() > 0) {
            const QTextLine line = tl->lineForTextPosition(p - b.position());
            if (line.isValid()) {
                x += line.cursorToX(p - b.position());
                pt->y = static_cast<std::int32_t>(br.top() + line.y() - y0);
            } else pt->y = static_cast<std::int32_t>(br.top() - y0);
        } else pt->y = static_cast<std::int32_t>(br.top() - y0);
        pt->x = static_cast<std::int32_t>(x);
        return 0;
    }
    case OS_EM_FORMATRANGE: {
        auto* fr = reinterpret_cast<OsFormatRange*>(lp);
        if (!fr) return 0;
        return format_range(*d, *fr, wp != 0);
    }
    case OS_EM_COPY:
    case OS_EM_CUT: {
        QClipboard* cb = QGuiApplication::clipboard();
        if (!cb || !d->cur.hasSelection()) return 0;
        auto* mime = new QMimeData;
        const QTextDocumentFragment frag = d->cur.selection();
        mime->setText(frag.toPlainText());
        mime->setHtml(frag.toHtml());
        cb->setMimeData(mime);
        if (m == OS_EM_CUT && !readonly && may_change(w, d, m)) {
            d->cur.removeSelectedText();
            text_changed(w, d);
            sel_changed(w, d);
        }
        return 0;
    }
    case OS_EM_CLEAR:
        if (readonly || !d->cur.hasSelection() || !may_change(w, d, m)) return 0;
        d->cur.removeSelectedText();
        text_changed(w, d);
        sel_changed(w, d);
        return 0;
    case OS_EM_PASTE: {
        QClipboard* cb = QGuiApplication::clipboard();
        const QMimeData* mime = cb ? cb->mimeData() : nullptr;
        if (readonly || !mime || !may_change(w, d, m)) return 0;
        if (mime->hasHtml()) d->cur.insertFragment(QTextDocumentFragment::fromHtml(mime->html()));
        else if (mime->hasText()) d->cur.insertText(mime->text());
        else return 0;
        text_changed(w, d);
        sel_changed(w, d);
        return 0;
    }
    case OSM_CHAR: {
        if (d->mask & OS_ENM_KEYEVENTS) {
            OsMsgFilter mf;
            mf.msg = m; mf.wParam = wp; mf.lParam = lp;
            if (tell(w, OS_EN_MSGFILTER, &mf)) return 0;
        }
        if (readonly) return 0;
        const auto c = static_cast<std::int32_t>(wp);
        if (c == 8) {
            if (!d->cur.hasSelection()) d->cur.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
            if (!d->cur.hasSelection() || !may_change(w, d, m)) return 0;
            d->cur.removeSelectedText();
        } else if (c == 13) {
            if (!may_change(w, d, m)) return 0;
            d->cur.insertBlock();
        } else if (c == 9 || (c >= 32 && c != 127)) {
            if (!may_change(w, d, m)) return 0;
            if (length(*d) - (d->cur.selectionEnd() - d->cur.selectionStart()) >= d->limit) return 0;
            d->cur.insertText(os_qstring(std::string(1, static_cast<char>(c))));
        } else {
            return 0;
        }
        scroll_caret(*d, *r);
        text_changed(w, d);
        sel_changed(w, d);
        return 0;
    }
    case OSM_KEYDOWN: {
        if (d->mask & OS_ENM_KEYEVENTS) {
            OsMsgFilter mf;
            mf.msg = m; mf.wParam = wp; mf.lParam = lp;
            if (tell(w, OS_EN_MSGFILTER, &mf)) return 0;
        }
        const bool shift = (os_get_key_state(OS_VK_SHIFT) & 0x8000) != 0;
        const auto mode = shift ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
        switch (wp) {
        case OS_VK_LEFT: d->cur.movePosition(QTextCursor::PreviousCharacter, mode); break;
        case OS_VK_RIGHT: d->cur.movePosition(QTextCursor::NextCharacter, mode); break;
        case OS_VK_UP: d->cur.movePosition(QTextCursor::PreviousBlock, mode); break;
        case OS_VK_DOWN: d->cur.movePosition(QTextCursor::NextBlock, mode); break;
        case OS_VK_HOME: d->cur.movePosition(QTextCursor::StartOfBlock, mode); break;
        case OS_VK_END: d->cur.movePosition(QTextCursor::EndOfBlock, mode); break;
        case OS_VK_DELETE:
            if (readonly) return 0;
            if (!d->cur.hasSelection()) d->cur.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
            if (!d->cur.hasSelection() || !may_change(w, d, m)) return 0;
            d->cur.removeSelectedText();
            text_changed(w, d);
            break;
        default: return 0;
        }
        scroll_caret(*d, *r);
        sel_changed(w, d);
        return 0;
    }
    case OSM_LBUTTONDOWN:
        os_set_focus(w);
        return 0;
    case OSM_SETFOCUS:
    case OSM_KILLFOCUS:
        control_repaint(w);
        notify_parent(w, m == OSM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    default: {
        std::intptr_t out = 0;
        if (m != OSM_SETTEXT && control_common(w, m, wp, lp, out)) return out;
        return control_default(w, m, wp, lp);
    }
    }
}

void paint_richedit(WinRec& r, QWidget* wg, QPainter& p) {
    RichData* d = data(r.h);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(os_sys_colour(OS_COLOR_WINDOW)));
    if (!d) return;
    layout(r, *d);
    const QTextBlock top = d->doc->findBlockByNumber(d->first_line);
    const double y0 = top.isValid() ? d->doc->documentLayout()->blockBoundingRect(top).top() : 0;
    p.save();
    p.setClipRect(all.adjusted(1, 1, -1, -1));
    if (d->zoom_num > 0 && d->zoom_den > 0) p.scale(double(d->zoom_num) / d->zoom_den, double(d->zoom_num) / d->zoom_den);
    p.translate(1, 1 - y0);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, qcolour(os_sys_colour(OS_COLOR_WINDOWTEXT)));
    if (d->cur.hasSelection() && !d->hide_sel) {
        QAbstractTextDocumentLayout::Selection s;
        s.cursor = d->cur;
        s.format.setBackground(qcolour(os_sys_colour(OS_COLOR_HIGHLIGHT)));
        s.format.setForeground(qcolour(os_sys_colour(OS_COLOR_HIGHLIGHTTEXT)));
        ctx.selections.append(s);
    }
    if (os_get_focus() == r.h) ctx.cursorPosition = d->cur.position();
    ctx.clip = QRectF(0, y0, all.width() + 1e6, all.height() / 1.0 * 64);
    d->doc->documentLayout()->draw(&p, ctx);
    p.restore();
    if (r.ex_style & OS_WS_EX_CLIENTEDGE) {
        p.setPen(QColor(128, 128, 128));
        p.drawRect(all.adjusted(0, 0, -1, -1));
    }
}

}  // namespace

}  // namespace osw

bool os_clipboard_has_text() {
    QClipboard* cb = QGuiApplication::clipboard();
    return cb && cb->mimeData() && cb->mimeData()->hasText();
}

std::string os_clipboard_text() {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return {};
    QString t = cb->text();
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return os_from_qstring(t);
}

void os_clipboard_set_text(const std::string& text) {
    if (QClipboard* cb = QGuiApplication::clipboard()) cb->setText(os_qstring(text));
}

void os_register_richedit() {
    osw::register_control_class("RichEdit20A", osw::richedit_proc, osw::paint_richedit, OS_CS_DBLCLKS);
}
