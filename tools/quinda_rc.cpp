// quinda_rc: compiles resource scripts (docs/resources.md) into C++ source
// that defines and registers one resource bundle.
//
//   quinda_rc --bundle NAME --output FILE.cpp [--depfile FILE.d] SCRIPT...
//
// Errors are printed as "script:line: error: text"; on any error no output
// is written and the exit code is 1.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_codepage.h"
#include "platform/os_constants.h"
#include "platform/os_resource.h"

namespace fs = std::filesystem;

namespace {

struct CompileError {
    std::string message;
};

enum class Tok { End, Ident, Number, String, Bar, Minus };

struct Token {
    Tok kind = Tok::End;
    std::string text;        // identifier, or the 1252 bytes of a string
    std::int64_t value = 0;  // number
    int line = 0;
};

// Splits a script into tokens. Strings are converted from UTF-8 to 1252 here.
class Lexer {
public:
    Lexer(std::string source, std::string file) : src_(std::move(source)), file_(std::move(file)) {}

    std::vector<Token> run() {
        std::vector<Token> out;
        for (;;) {
            skip_space();
            Token t;
            t.line = line_;
            if (pos_ >= src_.size()) {
                out.push_back(t);
                return out;
            }
            const char c = src_[pos_];
            if (c == '"') {
                t.kind = Tok::String;
                t.text = string_literal();
            } else if (c == '|') {
                t.kind = Tok::Bar;
                ++pos_;
            } else if (c == '-') {
                t.kind = Tok::Minus;
                ++pos_;
            } else if (c >= '0' && c <= '9') {
                t.kind = Tok::Number;
                t.value = number();
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                t.kind = Tok::Ident;
                while (pos_ < src_.size() &&
                       (std::isalnum(static_cast<unsigned char>(src_[pos_])) || src_[pos_] == '_'))
                    t.text.push_back(src_[pos_++]);
            } else {
                error(std::string("unexpected character '") + c + "'");
            }
            out.push_back(std::move(t));
        }
    }

private:
    [[noreturn]] void error(const std::string& msg) {
        throw CompileError{file_ + ":" + std::to_string(line_) + ": error: " + msg};
    }

    void skip_space() {
        while (pos_ < src_.size()) {
            const char c = src_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '#' || (c == '/' && pos_ + 1 < src_.size() && src_[pos_ + 1] == '/')) {
                while (pos_ < src_.size() && src_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    std::int64_t number() {
        std::int64_t v = 0;
        int base = 10;
        if (src_[pos_] == '0' && pos_ + 1 < src_.size() && (src_[pos_ + 1] == 'x' || src_[pos_ + 1] == 'X')) {
            base = 16;
            pos_ += 2;
        }
        std::size_t digits = 0;
        while (pos_ < src_.size()) {
            const char c = src_[pos_];
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') error("malformed number");
            else break;
            v = v * base + d;
            if (v > 0xFFFFFFFFLL) error("number out of range");
            ++digits;
            ++pos_;
        }
        if (digits == 0) error("malformed number");
        return v;
    }

    std::string string_literal() {
        ++pos_;   // opening quote
        std::string out;
        for (;;) {
            if (pos_ >= src_.size() || src_[pos_] == '\n') error("string not closed on its line");
            const char c = src_[pos_];
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c == '\\') {
                if (pos_ + 1 >= src_.size()) error("string not closed on its line");
                const char e = src_[pos_ + 1];
                pos_ += 2;
                switch (e) {
                    case 'n': out.push_back('\n'); break;
                    case 't': out.push_back('\t'); break;
                    case 'r': out.push_back('\r'); break;
                    case '0': out.push_back('\0'); break;
                    case '\\': out.push_back('\\'); break;
                    case '"': out.push_back('"'); break;
                    case 'x': {
                        int v = 0;
                        for (int i = 0; i < 2; ++i) {
                            const char h = pos_ < src_.size() ? src_[pos_] : '\0';
                            int d = -1;
                            if (h >= '0' && h <= '9') d = h - '0';
                            else if (h >= 'a' && h <= 'f') d = h - 'a' + 10;
                            else if (h >= 'A' && h <= 'F') d = h - 'A' + 10;
                            if (d < 0) error("\\x needs two hexadecimal digits");
                            v = v * 16 + d;
                            ++pos_;
                        }
                        out.push_back(static_cast<char>(v));
                        break;
                    }
                    default: error(std::string("unknown escape \\") + e);
                }
                continue;
            }
            const long cp = os_next_utf8(src_, pos_);
            if (cp < 0) error("the script is not valid UTF-8");
            const int byte = os_unicode_to_cp1252(static_cast<char32_t>(cp));
            if (byte < 0) error("character U+" + hex(cp) + " has no Windows-1252 form");
            out.push_back(static_cast<char>(byte));
        }
    }

    static std::string hex(long v) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%04lX", v);
        return buf;
    }

    std::string src_;
    std::string file_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// A type or id: a number, or an upper-case name.
struct Name {
    int number = 0;
    std::string name;
    bool operator<(const Name& o) const {
        return number != o.number ? number < o.number : name < o.name;
    }
    bool operator==(const Name& o) const { return number == o.number && name == o.name; }
    std::string show() const { return name.empty() ? std::to_string(number) : "\"" + name + "\""; }
};

struct Resource {
    Name type;
    Name id;
    std::string data;
    std::string where;   // script:line, for duplicate reports
};

// Little-endian writer of the compiled forms (layout in os_resource.h).
struct Writer {
    std::string b;
    void u8(std::uint32_t v) { b.push_back(static_cast<char>(v & 0xFF)); }
    void u16(std::uint32_t v) { u8(v), u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void text(const std::string& s) {
        u32(static_cast<std::uint32_t>(s.size()));
        b += s;
    }
};

class Parser {
public:
    Parser(std::vector<Token> toks, std::string file, fs::path dir,
           std::map<std::string, std::int64_t>& defines, std::vector<Resource>& out,
           std::set<std::string>& deps)
        : t_(std::move(toks)), file_(std::move(file)), dir_(std::move(dir)), defines_(defines),
          out_(out), deps_(deps) {}

    void run() {
        while (peek().kind != Tok::End) statement();
    }

private:
    const Token& peek() const { return t_[i_]; }
    const Token& next() {
        const Token& t = t_[i_];
        if (t.kind != Tok::End) ++i_;
        return t;
    }
    bool is_word(const char* w) const { return peek().kind == Tok::Ident && peek().text == w; }
    bool accept(const char* w) {
        if (!is_word(w)) return false;
        next();
        return true;
    }
    [[noreturn]] void error(const std::string& msg) const { error_at(peek().line, msg); }
    [[noreturn]] void error_at(int line, const std::string& msg) const {
        throw CompileError{file_ + ":" + std::to_string(line) + ": error: " + msg};
    }
    void expect(const char* w) {
        if (!accept(w)) error(std::string("expected '") + w + "'");
    }
    std::string where() const { return file_ + ":" + std::to_string(peek().line); }

    static bool is_constant_name(const std::string& s) {
#define OS_NAME_TEST(name, value) if (s == #name) return true;
        OS_STYLE_CONSTANTS(OS_NAME_TEST)
        OS_VK_CONSTANTS(OS_NAME_TEST)
#undef OS_NAME_TEST
        return false;
    }
    static bool builtin(const std::string& s, std::int64_t& v) {
#define OS_NAME_VALUE(name, value) if (s == #name) { v = value; return true; }
        OS_STYLE_CONSTANTS(OS_NAME_VALUE)
        OS_VK_CONSTANTS(OS_NAME_VALUE)
#undef OS_NAME_VALUE
        return false;
    }

    // Can the next token start a value?
    bool at_value() const {
        const Token& t = peek();
        if (t.kind == Tok::Number || t.kind == Tok::Minus) return true;
        if (t.kind != Tok::Ident) return false;
        std::int64_t v;
        return defines_.count(t.text) || builtin(t.text, v);
    }

    std::int64_t term() {
        bool negative = false;
        if (peek().kind == Tok::Minus) {
            next();
            negative = true;
        }
        const Token& t = next();
        std::int64_t v = 0;
        if (t.kind == Tok::Number) {
            v = t.value;
        } else if (t.kind == Tok::Ident) {
            const auto d = defines_.find(t.text);
            if (d != defines_.end()) v = d->second;
            else if (!builtin(t.text, v)) {
                --i_;
                error("unknown name '" + t.text + "'");
            }
        } else {
            if (t.kind != Tok::End) --i_;
            error("expected a number or a name");
        }
        return negative ? -v : v;
    }

    // A value: terms joined by "|" (bitwise or).
    std::int64_t value() {
        std::int64_t v = term();
        while (peek().kind == Tok::Bar) {
            next();
            const std::int64_t w = term();
            if (v < 0 || w < 0) error("'|' needs values that are not negative");
            v |= w;
        }
        return v;
    }

    std::int64_t value_in(std::int64_t lo, std::int64_t hi, const char* what) {
        const int line = peek().line;
        const std::int64_t v = value();
        if (v < lo || v > hi)
            error_at(line, std::string(what) + " " + std::to_string(v) + " out of range " +
                  std::to_string(lo) + ".." + std::to_string(hi));
        return v;
    }
    std::int32_t coord() { return static_cast<std::int32_t>(value_in(-32768, 32767, "coordinate")); }
    std::uint32_t bits() {
        return static_cast<std::uint32_t>(value_in(0, 0xFFFFFFFFLL, "style"));
    }

    std::string string(const char* what) {
        if (peek().kind != Tok::String) error(std::string("expected ") + what + " in quotes");
        return next().text;
    }

    Name res_name(const char* what) {
        Name n;
        if (peek().kind == Tok::String) {
            n.name = next().text;
            if (n.name.empty()) error(std::string("empty ") + what + " name");
            if (n.name.find('\0') != std::string::npos) error(std::string(what) + " name holds a NUL");
            for (char& c : n.name)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        } else {
            n.number = static_cast<int>(value_in(1, 65535, what));
        }
        return n;
    }

    void add(int type, const Name& id, std::string data, const std::string& at) {
        Resource r;
        r.type.number = type;
        r.id = id;
        r.data = std::move(data);
        r.where = at;
        out_.push_back(std::move(r));
    }

    void statement() {
        const std::string at = where();
        if (peek().kind != Tok::Ident) error("expected a statement");
        const std::string word = next().text;
        if (word == "define") return define();
        if (word == "dialog") return dialog(at);
        if (word == "menu") return menu(at);
        if (word == "accelerators") return accelerators(at);
        if (word == "strings") return strings(at);
        if (word == "text") return text(at);
        if (word == "data") return data(at);
        if (word == "bitmap") return image(OS_RT_BITMAP, at);
        if (word == "icon") return image(OS_RT_ICON, at);
        --i_;
        error("unknown statement '" + word + "'");
    }

    void define() {
        if (peek().kind != Tok::Ident) error("expected a name after 'define'");
        const std::string name = next().text;
        if (is_constant_name(name)) error("'" + name + "' is a built-in name");
        if (defines_.count(name)) error("'" + name + "' is already defined");
        defines_[name] = value();
    }

    void dialog(const std::string& at) {
        const int line = peek().line;
        const Name id = res_name("dialog id");
        Writer head, body;
        std::string caption, font;
        std::int32_t point = 0, x = 0, y = 0, cx = 0, cy = 0;
        std::uint32_t style = 0, exstyle = 0, count = 0;
        bool has_size = false;
        while (!accept("end")) {
            // Settings of the dialog come first, so an "exstyle" after a
            // control always belongs to that control.
            if (count > 0 && !is_word("control") && !is_word("end"))
                error("dialog settings come before the controls");
            if (accept("caption")) caption = string("caption");
            else if (accept("font")) {
                point = static_cast<std::int32_t>(value_in(1, 255, "point size"));
                font = string("face name");
            } else if (accept("position")) {
                x = coord(), y = coord(), cx = coord(), cy = coord();
                has_size = true;
            } else if (accept("style")) style = bits();
            else if (accept("exstyle")) exstyle = bits();
            else if (accept("control")) {
                body.text(string("control class"));
                body.u32(static_cast<std::uint32_t>(value_in(-1, 65535, "control id")));
                body.text(string("control text"));
                for (int k = 0; k < 4; ++k) body.u32(static_cast<std::uint32_t>(coord()));
                body.u32(bits());
                body.u32(accept("exstyle") ? bits() : 0);
                ++count;
            } else error("expected caption, font, position, style, exstyle, control or end");
        }
        if (!has_size) error_at(line, "dialog without 'position'");
        head.u32(style);
        head.u32(exstyle);
        for (std::int32_t v : {x, y, cx, cy, point}) head.u32(static_cast<std::uint32_t>(v));
        head.text(font);
        head.text(caption);
        head.u32(count);
        add(OS_RT_DIALOG, id, head.b + body.b, at);
    }

    std::uint32_t menu_states() {
        std::uint32_t s = 0;
        for (;;) {
            if (accept("grey") || accept("grayed")) s |= OS_MF_GRAYED;
            else if (accept("disabled")) s |= OS_MF_DISABLED;
            else if (accept("checked")) s |= OS_MF_CHECKED;
            else return s;
        }
    }

    // Items up to "end"; returns their count.
    std::uint32_t menu_items(Writer& w, int depth) {
        std::uint32_t n = 0;
        while (!accept("end")) {
            if (accept("item")) {
                const std::string label = string("item text");
                const auto id = static_cast<std::uint32_t>(value_in(1, 65535, "command id"));
                w.u8(OS_MENU_ITEM);
                w.u32(id);
                w.u32(menu_states());
                w.text(label);
            } else if (accept("separator")) {
                w.u8(OS_MENU_SEPARATOR);
                w.u32(0);
                w.u32(0);
                w.text("");
            } else if (accept("popup")) {
                if (depth >= 16) error("pop-ups nested too deep");
                const std::string label = string("pop-up text");
                w.u8(OS_MENU_POPUP);
                w.u32(0);
                w.u32(menu_states());
                w.text(label);
                Writer sub;
                const std::uint32_t k = menu_items(sub, depth + 1);
                w.u32(k);
                w.b += sub.b;
            } else {
                error("expected item, separator, popup or end");
            }
            ++n;
        }
        return n;
    }

    void menu(const std::string& at) {
        const Name id = res_name("menu id");
        Writer items;
        const std::uint32_t n = menu_items(items, 0);
        Writer w;
        w.u32(n);
        add(OS_RT_MENU, id, w.b + items.b, at);
    }

    void accelerators(const std::string& at) {
        const Name id = res_name("accelerator table id");
        Writer body;
        std::uint32_t n = 0;
        while (!accept("end")) {
            const int line = peek().line;
            expect("key");
            std::uint32_t key;
            bool from_text = false;
            if (peek().kind == Tok::String) {
                const std::string k = next().text;
                if (k.size() != 1) error("a key in quotes is one character");
                key = static_cast<unsigned char>(k[0]);
                from_text = true;
            } else {
                key = static_cast<std::uint32_t>(value_in(1, 0xFFFF, "key code"));
            }
            const auto command = static_cast<std::uint32_t>(value_in(1, 65535, "command id"));
            std::uint32_t flags = 0;
            for (;;) {
                if (accept("virtkey")) flags |= OS_FVIRTKEY;
                else if (accept("shift")) flags |= OS_FSHIFT;
                else if (accept("control")) flags |= OS_FCONTROL;
                else if (accept("alt")) flags |= OS_FALT;
                else break;
            }
            if ((flags & (OS_FSHIFT | OS_FCONTROL | OS_FALT)) && !(flags & OS_FVIRTKEY))
                error_at(line, "shift, control and alt need virtkey");
            // A virtual key named by its letter is the upper-case letter.
            if (from_text && (flags & OS_FVIRTKEY) && key >= 'a' && key <= 'z') key -= 'a' - 'A';
            body.u16(flags);
            body.u16(key);
            body.u16(command);
            ++n;
        }
        Writer w;
        w.u32(n);
        add(OS_RT_ACCELERATOR, id, w.b + body.b, at);
    }

    void strings(const std::string&) {
        while (!accept("end")) {
            const std::string at = where();
            Name id;
            id.number = static_cast<int>(value_in(1, 65535, "string id"));
            add(OS_RT_STRING, id, string("string"), at);
        }
    }

    void text(const std::string& at) {
        const Name id = res_name("text id");
        std::string bytes = string("text");
        while (peek().kind == Tok::String) bytes += next().text;
        bytes.push_back('\0');
        add(OS_RT_RCDATA, id, bytes, at);
    }

    void data(const std::string& at) {
        Name type;
        if (accept("rcdata")) {
            type.number = OS_RT_RCDATA;
        } else {
            // Numbered types of our own start at 256, clear of the standard ones.
            type = peek().kind == Tok::String
                       ? res_name("resource type")
                       : Name{static_cast<int>(value_in(256, 65535, "resource type")), {}};
        }
        const Name id = res_name("data id");
        Writer w;
        while (!accept("end")) {
            if (peek().kind == Tok::String) {
                w.b += next().text;
                continue;
            }
            int size = 0;
            std::int64_t lo = 0, hi = 0;
            if (accept("bytes")) size = 1, lo = -128, hi = 0xFF;
            else if (accept("words")) size = 2, lo = -32768, hi = 0xFFFF;
            else if (accept("dwords")) size = 4, lo = -2147483648LL, hi = 0xFFFFFFFFLL;
            else error("expected bytes, words, dwords, a text in quotes or end");
            if (!at_value()) error("expected a value");
            while (at_value()) {
                const auto v = static_cast<std::uint32_t>(value_in(lo, hi, "value"));
                if (size == 1) w.u8(v);
                else if (size == 2) w.u16(v);
                else w.u32(v);
            }
        }
        Resource r;
        r.type = type;
        r.id = id;
        r.data = w.b;
        r.where = at;
        out_.push_back(std::move(r));
    }

    void image(int type, const std::string& at) {
        const int line = peek().line;
        const Name id = res_name(type == OS_RT_BITMAP ? "bitmap id" : "icon id");
        const std::string file = string("image file name");
        const auto error = [&](const std::string& msg) { error_at(line, msg); };
        const fs::path path = fs::absolute(dir_ / fs::path(os_cp1252_to_utf8(file)));
        std::ifstream in(path, std::ios::binary);
        if (!in) error("cannot read image file " + path.string());
        std::ostringstream ss;
        ss << in.rdbuf();
        const std::string bytes = ss.str();
        const bool bmp = bytes.size() > 26 && bytes.compare(0, 2, "BM") == 0;
        const bool png = bytes.size() > 33 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
        const bool ico = bytes.size() > 22 && bytes.compare(0, 4, std::string("\0\0\1\0", 4)) == 0;
        if (!bmp && !png && !ico) error(path.string() + " is not a BMP, PNG or ICO file");
        deps_.insert(path.string());
        add(type, id, bytes, at);
    }

    std::vector<Token> t_;
    std::size_t i_ = 0;
    std::string file_;
    fs::path dir_;
    std::map<std::string, std::int64_t>& defines_;
    std::vector<Resource>& out_;
    std::set<std::string>& deps_;
};

std::string c_string(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out += '\\', out += c;
        else if (u >= 0x20 && u < 0x7F && c != '?') out += c;
        else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", u);
            out += buf;
        }
    }
    return out + "\"";
}

bool valid_identifier(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

std::string generate(const std::string& bundle, const std::vector<std::string>& scripts,
                     const std::vector<Resource>& res) {
    std::ostringstream o;
    o << "// Resource bundle \"" << bundle << "\", generated by quinda_rc from:\n";
    for (const std::string& s : scripts) o << "//   " << s << "\n";
    o << "// Do not edit.\n#include \"platform/os_resource.h\"\n\nnamespace {\n";
    for (std::size_t i = 0; i < res.size(); ++i) {
        if (res[i].data.empty()) continue;
        o << "const unsigned char r" << i << "[] = {";
        for (std::size_t k = 0; k < res[i].data.size(); ++k) {
            if (k % 16 == 0) o << "\n   ";
            o << ' ' << static_cast<unsigned>(static_cast<unsigned char>(res[i].data[k])) << ',';
        }
        o << "\n};\n";
    }
    if (!res.empty()) {
        o << "const OsResourceEntry entries[] = {\n";
        for (std::size_t i = 0; i < res.size(); ++i) {
            const Resource& r = res[i];
            o << "    {" << r.type.number << ", "
              << (r.type.name.empty() ? "nullptr" : c_string(r.type.name)) << ", " << r.id.number
              << ", " << (r.id.name.empty() ? "nullptr" : c_string(r.id.name)) << ", "
              << (r.data.empty() ? "nullptr" : "r" + std::to_string(i)) << ", " << r.data.size()
              << "},\n";
        }
        o << "};\n";
    }
    o << "const OsResourceBundle bundle = {" << c_string(bundle) << ", "
      << (res.empty() ? "nullptr" : "entries") << ", " << res.size() << "};\n"
      << "const OsResourceRegistrar registrar(bundle);\n}  // namespace\n";
    return o.str();
}

// Writes through a temporary file so a failed run never leaves a partial file.
bool write_whole(const std::string& name, const std::string& text) {
    const std::string tmp = name + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(tmp, name, ec);
    return !ec;
}

std::string make_escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == ' ' || c == '#' || c == '\\') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::string bundle, output, depfile;
    std::vector<std::string> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--bundle" || a == "--output" || a == "--depfile") && i + 1 < argc) {
            (a == "--bundle" ? bundle : a == "--output" ? output : depfile) = argv[++i];
        } else if (a.rfind("--", 0) == 0) {
            std::cerr << "quinda_rc: unknown option " << a << "\n";
            return 1;
        } else {
            scripts.push_back(a);
        }
    }
    if (output.empty() || !valid_identifier(bundle)) {
        std::cerr << "usage: quinda_rc --bundle NAME --output FILE.cpp [--depfile FILE.d] SCRIPT...\n";
        return 1;
    }
    std::vector<Resource> res;
    std::set<std::string> deps;
    try {
        for (const std::string& s : scripts) {
            std::ifstream in(s, std::ios::binary);
            if (!in) throw CompileError{s + ": error: cannot read the script"};
            std::ostringstream ss;
            ss << in.rdbuf();
            // Names defined in a script hold for that script only.
            std::map<std::string, std::int64_t> defines;
            Lexer lexer(ss.str(), s);
            Parser parser(lexer.run(), s, fs::absolute(s).parent_path(), defines, res, deps);
            parser.run();
            deps.insert(fs::absolute(s).string());
        }
        std::map<std::pair<Name, Name>, std::string> seen;
        for (const Resource& r : res) {
            const auto [it, fresh] = seen.emplace(std::make_pair(r.type, r.id), r.where);
            if (!fresh)
                throw CompileError{r.where + ": error: resource " + r.id.show() + " of type " +
                                   r.type.show() + " already defined at " + it->second};
        }
    } catch (const CompileError& e) {
        std::cerr << e.message << "\n";
        return 1;
    }
    if (!write_whole(output, generate(bundle, scripts, res))) {
        std::cerr << "quinda_rc: cannot write " << output << "\n";
        return 1;
    }
    if (!depfile.empty()) {
        std::string d = make_escape(fs::absolute(output).string()) + ":";
        for (const std::string& p : deps) d += " \\\n  " + make_escape(p);
        if (!write_whole(depfile, d + "\n")) {
            std::cerr << "quinda_rc: cannot write " << depfile << "\n";
            return 1;
        }
    }
    return 0;
}
