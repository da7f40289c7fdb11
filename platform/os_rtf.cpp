// The RTF reader and writer (os_rtf.h).
#include "platform/os_rtf.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/os_codepage.h"

namespace osrtf {

namespace {

// What a group carries: the character and paragraph formats, the number of
// fallback characters after \uN, and whether its text is thrown away.
struct State {
    CharFormat ch;
    ParaFormat para;
    std::int32_t uc = 1;
    bool skip = false;
    bool intbl = false;  // the paragraph lies in a table cell
    enum Dest { Text, FontTable, FontEntry, ColourTable, FieldInst, Bullet } dest = Text;
};

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Destinations whose contents are never text of the document.
bool skipped_destination(std::string_view w) {
    static const char* const names[] = {
        "stylesheet", "info",      "pict",      "object",     "header",     "footer",    "headerl",   "headerr",
        "headerf",    "footerl",   "footerr",   "footerf",    "footnote",   "listtable", "listoverridetable",
        "pntext",     "listtext",  "themedata", "colorschememapping", "latentstyles", "datastore", "xmlnstbl",
        "rsidtbl",    "generator", "filetbl",   "revtbl",     "annotation", "atnid",     "atnauthor", "shppict",
        "nonshppict", "bkmkstart", "bkmkend",   "template",   "pnseclvl",   "pntxta",    "pntxtb",    "fontemb",
        "fontfile",   "falt",      "panose",    "mmathPr",    "wgrffmtfilter", "userprops", "docvar", "blipuid",
        "objdata",    "result",    "sp",        "sn",         "sv",         "shpinst",   "do",        "pgdsctbl"};
    for (const char* n : names)
        if (w == n) return true;
    return false;
}

class Reader {
public:
    Reader(std::string_view d, Document& doc) : d_(d), doc_(doc) {}

    void run() {
        stack_.reserve(64);
        State st;
        std::int32_t overflow = 0;       // groups beyond kMaxDepth
        bool star = false;               // \* seen at the start of this group
        while (pos_ < d_.size()) {
            const char c = d_[pos_++];
            if (c == '{') {
                ++depth_;
                if (static_cast<std::int32_t>(stack_.size()) >= kMaxDepth) {
                    if (overflow++ == 0) overflow_skip_ = st.skip;
                    st.skip = true;
                    continue;
                }
                stack_.push_back(st);
                star = false;
                continue;
            }
            if (c == '}') {
                if (depth_ == 0) continue;  // stray closing brace
                // A font entry ends with its own group, not with a group inside it.
                if (in_font_ && depth_ == font_depth_) finish_font();
                --depth_;
                if (overflow > 0) {
                    --overflow;
                    if (overflow == 0) st.skip = overflow_skip_;
                    continue;
                }
                // The document's last paragraph takes the format it ends in.
                if (depth_ == 0) flush_par();
                if (depth_ == 0 && open_) current().fmt = st.para;
                if (!stack_.empty()) {
                    const State outer = stack_.back();
                    stack_.pop_back();
                    // A bullet group marks the paragraph it lies in.
                    const bool bullet = st.dest == State::Bullet && st.para.bullet;
                    st = outer;
                    if (bullet) st.para.bullet = true;
                }
                continue;
            }
            if (c == '\\') {
                control(st, star);
                continue;
            }
            if (c == '\r' || c == '\n' || c == 0 || depth_ == 0) continue;  // nothing counts outside the document
            text_char(st, static_cast<unsigned char>(c));
        }
        flush_par();
        // A truncated document: its last paragraph takes the format it ends in.
        if (depth_ > 0 && open_) current().fmt = st.para;
        if (doc_.paras.empty()) doc_.paras.emplace_back();
    }

private:
    // A control word or symbol after a backslash.
    void control(State& st, bool& star) {
        if (pos_ >= d_.size()) return;
        const char c = d_[pos_];
        if (!is_letter(c)) {
            ++pos_;
            switch (c) {
            case '*': star = true; return;
            case '\'': {
                int v = 0, n = 0;
                while (n < 2 && pos_ < d_.size()) {
                    const char h = d_[pos_];
                    int x;
                    if (is_digit(h)) x = h - '0';
                    else if (h >= 'a' && h <= 'f') x = h - 'a' + 10;
                    else if (h >= 'A' && h <= 'F') x = h - 'A' + 10;
                    else break;
                    v = v * 16 + x;
                    ++pos_;
                    ++n;
                }
                if (n > 0) emit_byte(st, static_cast<unsigned char>(v));
                return;
            }
            case '~': emit(st, 0xA0); return;
            case '_': emit(st, 0x2011); return;
            case '-': return;  // optional hyphen
            case '\\': case '{': case '}': emit(st, static_cast<unsigned char>(c)); return;
            case '\r': case '\n': end_paragraph(st, true); return;
            default: return;
            }
        }
        std::string word;
        while (pos_ < d_.size() && is_letter(d_[pos_]) && word.size() < 32) word += d_[pos_++];
        while (pos_ < d_.size() && is_letter(d_[pos_])) ++pos_;  // over-long word: rest ignored
        bool has = false, neg = false;
        std::int64_t num = 0;
        if (pos_ < d_.size() && d_[pos_] == '-' && pos_ + 1 < d_.size() && is_digit(d_[pos_ + 1])) {
            neg = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < d_.size() && is_digit(d_[pos_])) {
            if (digits < 10) num = num * 10 + (d_[pos_] - '0');
            ++digits;
            ++pos_;
        }
        has = digits > 0;
        num = std::clamp<std::int64_t>(neg ? -num : num, -2147483647LL, 2147483647LL);
        if (pos_ < d_.size() && d_[pos_] == ' ') ++pos_;
        const auto n = static_cast<std::int32_t>(num);
        const bool first = star;
        star = false;
        word_(st, word, has, n, first);
    }

    void word_(State& st, const std::string& w, bool has, std::int32_t n, bool starred) {
        if (w == "bin") {
            // Binary data: n bytes taken as they are, never beyond the input.
            const std::size_t left = d_.size() - pos_;
            pos_ += has && n > 0 ? std::min<std::size_t>(static_cast<std::size_t>(n), left) : 0;
            return;
        }
        if (w == "u") {
            char32_t cp = static_cast<char32_t>(n < 0 ? n + 65536 : n);
            if (n < -32768 || cp > 0x10FFFF) cp = 0xFFFD;
            emit(st, cp);
            skip_fallback(st.uc);
            return;
        }
        if (w == "uc") { st.uc = std::clamp(n, 0, 16); return; }
        if (w == "fonttbl") { st.dest = State::FontTable; st.skip = true; return; }
        if (w == "colortbl") {
            st.dest = State::ColourTable;
            st.skip = true;
            colour_ = Colour{};
            return;
        }
        if (st.dest == State::FontTable || st.dest == State::FontEntry) {
            // What other writers put into an entry beside the name (panose
            // digits, a substitute face, embedded font data) is no part of it.
            if (skipped_destination(w) || starred) {
                st.dest = State::Text;
                st.skip = true;
                return;
            }
            font_word(st, w, has, n);
            return;
        }
        if (st.dest == State::ColourTable) {
            const auto v = static_cast<std::uint8_t>(std::clamp(n, 0, 255));
            if (w == "red") colour_.r = v;
            else if (w == "green") colour_.g = v;
            else if (w == "blue") colour_.b = v;
            return;
        }
        if (w == "pn") { st.dest = State::Bullet; st.skip = true; return; }
        if (st.dest == State::Bullet) {
            if (w == "pnlvlblt") st.para.bullet = true;
            return;
        }
        if (w == "fldinst") { st.dest = State::FieldInst; st.skip = true; return; }
        // A nested row ends inside its cell of the outer row (in a group
        // that is otherwise skipped): its last cell's tab goes.
        if (w == "nestrow") {
            if (st.dest == State::Text) cells_ = 0;
            return;
        }
        if (skipped_destination(w) || (starred && w != "fldrslt")) { st.skip = true; return; }
        if (st.skip) return;
        // Tables: a tab between the cells of a row, a paragraph per row. The
        // tab waits for what follows, so a row ends without one; so does the
        // end of a paragraph in a cell, which some writers put before every
        // cell's end.
        if (w == "par" && st.intbl) {
            flush_par();
            held_par_ = true;
            held_fmt_ = st.para;
            held_ch_ = st.ch;
            return;
        }
        if (w == "par" || w == "line" || w == "sect" || w == "page") { end_paragraph(st, true); return; }
        if (w == "intbl") { st.intbl = true; return; }
        if (w == "cell" || w == "nestcell") {
            held_par_ = false;
            if (cells_ < kMaxCells) ++cells_;
            return;
        }
        if (w == "row") {
            held_par_ = false;
            cells_ = 0;
            end_paragraph(st, true);
            return;
        }
        if (w == "tab") { emit(st, '\t'); return; }
        if (w == "emdash") { emit(st, 0x2014); return; }
        if (w == "endash") { emit(st, 0x2013); return; }
        if (w == "lquote") { emit(st, 0x2018); return; }
        if (w == "rquote") { emit(st, 0x2019); return; }
        if (w == "ldblquote") { emit(st, 0x201C); return; }
        if (w == "rdblquote") { emit(st, 0x201D); return; }
        if (w == "bullet") { emit(st, 0x2022); return; }
        const bool on = !has || n != 0;
        if (w == "plain") {
            st.ch = CharFormat{};
            st.ch.font = default_font_;
            return;
        }
        if (w == "b") { st.ch.bold = on; return; }
        if (w == "i") { st.ch.italic = on; return; }
        if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth" || w == "uldash") { st.ch.underline = on; return; }
        if (w == "ulnone") { st.ch.underline = false; return; }
        if (w == "strike" || w == "striked") { st.ch.strike = on; return; }
        if (w == "protect") { st.ch.protect = on; return; }
        if (w == "fs") { st.ch.half_points = has ? std::clamp(n, 1, 3276) : 24; return; }
        if (w == "f") { st.ch.font = font_index(has ? n : 0); return; }
        if (w == "deff") { default_font_number_ = n; return; }
        if (w == "cf") { st.ch.colour = std::max(0, n); return; }
        if (w == "cb" || w == "highlight" || w == "chcbpat") { st.ch.back = std::max(0, n); return; }
        if (w == "pard") {
            st.para = ParaFormat{};
            st.intbl = false;
            return;
        }
        if (w == "ql") { st.para.align = AlignLeft; return; }
        if (w == "qc") { st.para.align = AlignCentre; return; }
        if (w == "qr") { st.para.align = AlignRight; return; }
        if (w == "qj") { st.para.align = AlignJustify; return; }
        if (w == "li") { st.para.left = bounded_twips(n); return; }
        if (w == "ri") { st.para.right = bounded_twips(n); return; }
        if (w == "fi") { st.para.first = bounded_twips(n); return; }
        if (w == "tx") {
            if (static_cast<std::int32_t>(st.para.tabs.size()) < kMaxTabs && n > 0) {
                auto& t = st.para.tabs;
                const std::int32_t v = bounded_twips(n);
                t.insert(std::upper_bound(t.begin(), t.end(), v), v);
            }
            return;
        }
        if (w == "ls") { if (n > 0) st.para.bullet = true; return; }
        // Any other word changes nothing we keep.
    }

    static std::int32_t bounded_twips(std::int32_t n) { return std::clamp(n, -31680, 31680); }

    void font_word(State& st, const std::string& w, bool has, std::int32_t n) {
        if (w == "f") {
            st.dest = State::FontEntry;
            font_ = Font{};
            font_number_ = has ? n : 0;
            face_.clear();
            in_font_ = true;
            font_depth_ = depth_;
            return;
        }
        if (!in_font_) return;
        if (w == "fcharset") font_.charset = std::clamp(n, 0, 255);
        else if (w == "fnil") font_.family = FamilyNil;
        else if (w == "froman") font_.family = FamilyRoman;
        else if (w == "fswiss") font_.family = FamilySwiss;
        else if (w == "fmodern") font_.family = FamilyModern;
        else if (w == "fscript") font_.family = FamilyScript;
        else if (w == "fdecor") font_.family = FamilyDecor;
    }

    void finish_font() {
        if (!in_font_) return;
        in_font_ = false;
        while (!face_.empty() && (face_.back() == ' ' || face_.back() == ';')) face_.pop_back();
        font_.face = face_;
        if (font_map_.size() >= 4096) return;
        if (font_map_.find(font_number_) == font_map_.end()) {
            font_map_[font_number_] = static_cast<std::int32_t>(doc_.fonts.size());
            doc_.fonts.push_back(font_);
            if (font_number_ == default_font_number_) default_font_ = font_map_[font_number_];
        }
    }

    std::int32_t font_index(std::int32_t number) const {
        const auto it = font_map_.find(number);
        return it == font_map_.end() ? 0 : it->second;
    }

    void skip_fallback(std::int32_t count) {
        // The fallback characters of \uN: plain characters, \'hh or a
        // control word each count as one; a group brace ends the count.
        for (std::int32_t k = 0; k < count && pos_ < d_.size();) {
            const char c = d_[pos_];
            if (c == '{' || c == '}') return;
            if (c == '\r' || c == '\n') { ++pos_; continue; }
            if (c == '\\') {
                if (pos_ + 1 < d_.size() && d_[pos_ + 1] == '\'') {
                    pos_ = std::min(d_.size(), pos_ + 4);
                } else {
                    ++pos_;
                    while (pos_ < d_.size() && is_letter(d_[pos_])) ++pos_;
                    if (pos_ < d_.size() && d_[pos_] == '-') ++pos_;
                    while (pos_ < d_.size() && is_digit(d_[pos_])) ++pos_;
                    if (pos_ < d_.size() && d_[pos_] == ' ') ++pos_;
                }
            } else {
                ++pos_;
            }
            ++k;
        }
    }

    void text_char(State& st, unsigned char c) {
        if (st.dest == State::FontEntry) {
            if (face_.size() < 256) os_append_utf8(face_, os_cp1252_to_unicode(c));
            if (c == ';') finish_font();
            return;
        }
        if (st.dest == State::ColourTable) {
            if (c == ';') {
                if (doc_.colours.size() < 4096) doc_.colours.push_back(colour_);
                colour_ = Colour{};
            }
            return;
        }
        emit_byte(st, c);
    }

    void emit_byte(State& st, unsigned char c) {
        if (st.dest == State::FontEntry) {
            if (face_.size() < 256) os_append_utf8(face_, os_cp1252_to_unicode(c));
            return;
        }
        emit(st, os_cp1252_to_unicode(c));
    }

    void emit(const State& st, char32_t cp) {
        if (st.skip || st.dest != State::Text) return;
        // Control characters other than TAB are no text of ours (line breaks are \par and \line).
        if (cp < 0x20 && cp != '\t') return;
        // \uN counts in 16-bit units: a character beyond them comes as two halves.
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (high_) put(st, 0xFFFD);
            high_ = cp;
            return;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = high_ ? 0x10000 + ((high_ - 0xD800) << 10) + (cp - 0xDC00) : 0xFFFD;
            high_ = 0;
        } else if (high_) {
            high_ = 0;
            put(st, 0xFFFD);
        }
        put(st, cp);
    }

    // The tabs of the cells ended before this point of the row.
    // A paragraph end held back in a cell happens after all when text follows it.
    void flush_par() {
        if (!held_par_) return;
        held_par_ = false;
        Paragraph& p = current();
        p.fmt = held_fmt_;
        open_ = false;
        if (p.runs.empty()) p.runs.push_back(Run{std::string(), held_ch_});
    }

    void cell_tabs(const State& st) {
        flush_par();
        if (cells_ == 0) return;
        Paragraph& p = current();
        if (p.runs.empty() || !(p.runs.back().fmt == st.ch)) p.runs.push_back(Run{std::string(), st.ch});
        p.runs.back().text.append(static_cast<std::size_t>(cells_), '\t');
        cells_ = 0;
    }

    void put(const State& st, char32_t cp) {
        cell_tabs(st);
        Paragraph& p = current();
        if (p.runs.empty() || !(p.runs.back().fmt == st.ch)) p.runs.push_back(Run{std::string(), st.ch});
        os_append_utf8(p.runs.back().text, cp);
    }

    Paragraph& current() {
        if (!open_) {
            doc_.paras.emplace_back();
            open_ = true;
        }
        return doc_.paras.back();
    }

    void end_paragraph(const State& st, bool forced) {
        if (st.skip || st.dest != State::Text || depth_ == 0) return;
        (void)forced;
        cell_tabs(st);
        Paragraph& p = current();
        p.fmt = st.para;
        open_ = false;
        // An empty paragraph keeps the character format it was ended in.
        if (p.runs.empty()) p.runs.push_back(Run{std::string(), st.ch});
    }

    std::string_view d_;
    Document& doc_;
    std::size_t pos_ = 0;
    std::int32_t depth_ = 0;  // real depth, also beyond the kept states
    char32_t high_ = 0;       // a high surrogate waiting for its low half
    std::vector<State> stack_;
    bool open_ = false;
    std::int32_t cells_ = 0;  // cells of the row ended since its last text
    bool held_par_ = false;   // a paragraph end in a cell, held back
    ParaFormat held_fmt_;
    CharFormat held_ch_;
    // Font table entry being read.
    Font font_;
    std::string face_;
    std::int32_t font_number_ = 0;
    bool in_font_ = false;
    std::int32_t font_depth_ = 0;  // depth of the group the entry began in
    std::map<std::int32_t, std::int32_t> font_map_;
    std::int32_t default_font_number_ = 0;
    std::int32_t default_font_ = 0;
    // Colour table entry being read.
    Colour colour_;
    bool overflow_skip_ = false;
};

void put_text(std::string& out, std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const long cp = os_next_utf8(utf8, pos);
        if (cp < 0) { out += '?'; continue; }
        if (cp == '\\' || cp == '{' || cp == '}') { out += '\\'; out += static_cast<char>(cp); continue; }
        if (cp == '\t') { out += "\\tab "; continue; }
        if (cp == '\r' || cp == '\n') { out += "\\line "; continue; }
        if (cp >= 0x20 && cp < 0x80) { out += static_cast<char>(cp); continue; }
        const int b = os_unicode_to_cp1252(static_cast<char32_t>(cp));
        char buf[24];
        if (b >= 0 && cp >= 0x20) {
            std::snprintf(buf, sizeof buf, "\\'%02x", b);
        } else if (cp < 0x20) {
            continue;
        } else if (cp <= 0xFFFF) {
            std::snprintf(buf, sizeof buf, "\\u%d?", static_cast<int>(static_cast<std::int16_t>(static_cast<std::uint16_t>(cp))));
        } else {
            // Outside the basic plane: a surrogate pair, as RTF counts in 16-bit units.
            const long v = cp - 0x10000;
            const auto hi = static_cast<std::uint16_t>(0xD800 + (v >> 10)), lo = static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF));
            std::snprintf(buf, sizeof buf, "\\u%d?\\u%d?", static_cast<int>(static_cast<std::int16_t>(hi)),
                          static_cast<int>(static_cast<std::int16_t>(lo)));
        }
        out += buf;
    }
}

const char* family_word(std::int32_t f) {
    switch (f) {
    case FamilyRoman: return "\\froman";
    case FamilySwiss: return "\\fswiss";
    case FamilyModern: return "\\fmodern";
    case FamilyScript: return "\\fscript";
    case FamilyDecor: return "\\fdecor";
    default: return "\\fnil";
    }
}

}  // namespace

bool read(std::string_view data, Document& out) {
    out = Document{};
    std::size_t s = 0;
    while (s < data.size() && (data[s] == ' ' || data[s] == '\r' || data[s] == '\n' || data[s] == '\t')) ++s;
    if (data.substr(s, 5) != "{\\rtf") return false;
    Reader r(data.substr(s), out);
    r.run();
    if (out.paras.empty()) out.paras.emplace_back();
    // Font and colour indices that point nowhere fall back to the first entry.
    for (Paragraph& p : out.paras)
        for (Run& run : p.runs) {
            if (run.fmt.font < 0 || run.fmt.font >= static_cast<std::int32_t>(out.fonts.size())) run.fmt.font = 0;
            if (run.fmt.colour >= static_cast<std::int32_t>(out.colours.size())) run.fmt.colour = 0;
            if (run.fmt.back >= static_cast<std::int32_t>(out.colours.size())) run.fmt.back = 0;
        }
    return true;
}

std::string write(const Document& doc) {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl";
    std::vector<Font> fonts = doc.fonts;
    if (fonts.empty()) fonts.push_back(Font{"Arial", 0, FamilySwiss});
    // The bullet symbol's font follows the document's own.
    const auto bullet_font = static_cast<std::int32_t>(fonts.size());
    fonts.push_back(Font{"Symbol", 2, FamilyNil});
    char buf[96];
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        std::snprintf(buf, sizeof buf, "{\\f%zu%s\\fcharset%d ", i, family_word(fonts[i].family), fonts[i].charset);
        out += buf;
        put_text(out, fonts[i].face);
        out += ";}";
    }
    out += "}\n";
    if (doc.colours.size() > 1) {
        out += "{\\colortbl ;";
        for (std::size_t i = 1; i < doc.colours.size(); ++i) {
            std::snprintf(buf, sizeof buf, "\\red%d\\green%d\\blue%d;", doc.colours[i].r, doc.colours[i].g, doc.colours[i].b);
            out += buf;
        }
        out += "}\n";
    }
    out += "\\viewkind4\\uc1\n";
    const auto nfonts = static_cast<std::int32_t>(doc.fonts.size());
    const auto ncolours = static_cast<std::int32_t>(doc.colours.size());
    for (std::size_t pi = 0; pi < doc.paras.size(); ++pi) {
        const Paragraph& p = doc.paras[pi];
        out += "\\pard";
        if (p.fmt.bullet) {
            std::snprintf(buf, sizeof buf, "{\\pntext\\f%d\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf%d\\pnindent0{\\pntxtb\\'b7}}",
                          bullet_font, bullet_font);
            out += buf;
        }
        static const char* const align[] = {"\\ql", "\\qc", "\\qr", "\\qj"};
        out += align[std::clamp(p.fmt.align, 0, 3)];
        if (p.fmt.left) { std::snprintf(buf, sizeof buf, "\\li%d", p.fmt.left); out += buf; }
        if (p.fmt.right) { std::snprintf(buf, sizeof buf, "\\ri%d", p.fmt.right); out += buf; }
        if (p.fmt.first) { std::snprintf(buf, sizeof buf, "\\fi%d", p.fmt.first); out += buf; }
        for (std::int32_t t : p.fmt.tabs) { std::snprintf(buf, sizeof buf, "\\tx%d", t); out += buf; }
        out += ' ';
        for (const Run& r : p.runs) {
            const CharFormat& f = r.fmt;
            std::snprintf(buf, sizeof buf, "{\\f%d\\fs%d", f.font >= 0 && f.font < nfonts ? f.font : 0, f.half_points);
            out += buf;
            if (f.bold) out += "\\b";
            if (f.italic) out += "\\i";
            if (f.underline) out += "\\ul";
            if (f.strike) out += "\\strike";
            if (f.protect) out += "\\protect";
            if (f.colour > 0 && f.colour < ncolours) { std::snprintf(buf, sizeof buf, "\\cf%d", f.colour); out += buf; }
            if (f.back > 0 && f.back < ncolours) { std::snprintf(buf, sizeof buf, "\\highlight%d", f.back); out += buf; }
            out += ' ';
            put_text(out, r.text);
            out += '}';
        }
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

}  // namespace osrtf
