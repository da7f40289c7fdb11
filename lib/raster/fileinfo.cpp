// Identification of graphics files from the first 128 bytes, the items
// each kind reports (size, colours, a kind item, bits), and the companions
// that read further: Lotus PIC and HP-GL picture counts, CGM pictures and
// aspect. The table of image formats is the list identification walks.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "lib/raster/filereader.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/bytefile.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/strings.h"
#include "lib/window/text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

namespace {

using Head = std::array<std::uint8_t, 128>;

std::int64_t le16(const Head& h, std::size_t at) { return h[at] | std::int64_t{h[at + 1]} << 8; }
std::int64_t le32(const Head& h, std::size_t at) { return le16(h, at) | le16(h, at + 2) << 16; }
std::int64_t be32(const Head& h, std::size_t at) {
    return std::int64_t{h[at]} << 24 | std::int64_t{h[at + 1]} << 16 | std::int64_t{h[at + 2]} << 8 | h[at + 3];
}

// A number an item can hold; -1 for one beyond the integer range.
std::int32_t item(std::int64_t v) {
    return v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()
               ? -1
               : static_cast<std::int32_t>(v);
}
std::int32_t item(double v) {
    if (!std::isfinite(v)) return -1;
    const double t = std::trunc(v);
    return t < -2147483648.0 || t > 2147483647.0 ? -1 : static_cast<std::int32_t>(t);
}
std::int32_t power_of_two(std::int64_t p) { return p < 0 ? -1 : p >= 63 ? -1 : item(std::int64_t{1} << p); }

// First byte that is neither blank nor NUL, 128 when there is none.
std::size_t first_significant(const Head& h) {
    std::size_t i = 0;
    while (i < h.size() && (h[i] == ' ' || h[i] == 0)) ++i;
    return i;
}

bool at(const Head& h, std::size_t pos, std::string_view s) {
    if (pos + s.size() > h.size()) return false;
    return std::memcmp(h.data() + pos, s.data(), s.size()) == 0;
}
// Position of S within the first LIMIT bytes, npos when absent.
std::size_t find(const Head& h, std::string_view s, std::size_t limit = 128) {
    const std::string_view text(reinterpret_cast<const char*>(h.data()), std::min(limit, h.size()));
    return text.find(s);
}
bool occurs(const Head& h, std::string_view s, std::size_t limit = 128) { return find(h, s, limit) != std::string_view::npos; }

// ---------------------------------------------------------------- tests of the head

bool is_hpgl(const Head& h) { return at(h, first_significant(h), "IN"); }
bool is_hpgl2(const Head& h) { return at(h, first_significant(h), "\x1b%0B"); }
bool is_postscript(const Head& h) { return at(h, first_significant(h), "%!PS"); }
bool is_dxf(const Head& h) {
    const std::size_t p = first_significant(h);
    return (at(h, p, "0\r") || at(h, p, "0\n")) && occurs(h, "SECTION", 20);
}
bool is_svg(const Head& h) {
    return (occurs(h, "<?xml ") || occurs(h, "<?XML ")) && (occurs(h, "<!doctype svg") || occurs(h, "<!DOCTYPE svg"));
}
bool is_pcx(const Head& h) { return h[0] == 10 && h[2] == 1; }
bool is_bmp(const Head& h) { return at(h, 0, "BM") && le32(h, 6) == 0 && le32(h, 14) != 12; }
// A plain metafile's header: type 1 (in memory) or 2 (on disk), nine
// words, version 3.
bool is_metafile(const Head& h) {
    static constexpr std::uint8_t plain[5] = {0, 9, 0, 0, 3};
    return ((h[0] == 1 || h[0] == 2) && std::memcmp(h.data() + 1, plain, 5) == 0) || le32(h, 0) == 0x9AC6CDD7 ||
           le32(h, 40) == 0x464D4520;
}
bool is_cgm(const Head& h) { return h[0] == 0 && h[1] >= 16 && h[2] < 32; }
bool is_lotus(const Head& h) { return h[0] == 1 && h[4] == 1 && h[6] == 8 && h[8] == 68 && h[13] == 12; }
bool is_draw(const Head& h) { return at(h, 0, "Draw"); }
bool is_tektronix(const Head& h) { return at(h, 0, "\x1b[?38h"); }
bool is_pcl(const Head& h) { return at(h, 0, "\x1b" "E") || at(h, 0, "\x1b&a"); }
bool is_epson_at(const Head& h) { return at(h, 0, "\x1b@"); }
bool is_epson_u(const Head& h) { return at(h, 0, "\x1bU\x01"); }
bool is_png(const Head& h) { return at(h, 0, "\x89PNG\r\n\x1a\n"); }

const ImageFormat formats[] = {
    {FileHpgl, is_hpgl, nullptr, nullptr},
    {FileHpgl2, is_hpgl2, nullptr, nullptr},
    {FilePostScript, is_postscript, nullptr, nullptr},
    {FileDxf, is_dxf, nullptr, nullptr},
    {FileSvg, is_svg, nullptr, nullptr},
    {FilePcx, is_pcx, read_pcx_file, yypcx1},
    {FileBmp, is_bmp, read_bmp_file, yybmp1},
    {FileMetafile, is_metafile, nullptr, nullptr},
    {FileCgm, is_cgm, nullptr, nullptr},
    {FileLotusPic, is_lotus, nullptr, nullptr},
    {FileDraw, is_draw, nullptr, nullptr},
    {FileTektronix, is_tektronix, nullptr, nullptr},
    {FilePcl, is_pcl, nullptr, nullptr},
    {FileEpsonAt, is_epson_at, nullptr, nullptr},
    {FileEpsonU, is_epson_u, nullptr, nullptr},
    {FilePng, is_png, read_png_file, yypng1},
};

// ---------------------------------------------------------------- text kinds

// Error reports off while a text file is parsed; the mode and the last
// error as they were afterwards, so the parse leaves no trace.
struct QuietParse {
    std::int32_t mode = quinda.report_mode, error = quinda.last_error;
    QuietParse() { quinda.report_mode = ReportNone; }
    ~QuietParse() {
        quinda.report_mode = mode;
        quinda.last_error = error;
    }
};

// Lines of a text file on a unit, each cut to 128 characters.
struct TextLines {
    std::int32_t unit;
    bool open = false;
    TextLines(std::int32_t u, std::string_view name) : unit(u) {
        open = yyunitopen(unit, name, TextUnitRead) == OS_OK;
    }
    ~TextLines() {
        if (open) yyunitclose(unit);
    }
    bool next(std::string& line) {
        if (!open || yyunitread(unit, line) != OS_OK) return false;
        line = line.substr(0, 128);
        line.resize(128, ' ');
        return true;
    }
};

bool integer(std::string& record, int& v) {
    const std::int32_t before = quinda.last_error;
    quinda.last_error = 0;
    v = 0;
    inextinteger(record, v);
    const bool ok = quinda.last_error == 0;
    quinda.last_error = before;
    return ok;
}

// Blank RECORD up to and including position END (exclusive of END + 1).
void blank_through(std::string& record, std::size_t end) {
    for (std::size_t i = 0; i <= end && i < record.size(); ++i) record[i] = ' ';
}

std::size_t record_start(const std::string& r) {
    std::size_t i = 0;
    while (i < r.size() && (r[i] == ' ' || r[i] == '\0')) ++i;
    return i;
}

// The text between the first two double quotes of R (blank when absent).
std::string quoted(const std::string& r) {
    const std::size_t a = r.find('"');
    if (a == std::string::npos) return {};
    const std::size_t b = r.find('"', a + 1);
    return r.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
}

void hpgl_items(std::string_view name, bool hpgl2, std::array<std::int32_t, 6>& info, std::int32_t n) {
    QuietParse quiet;
    TextLines lines(quinda.LFNGEN, name);
    std::string record;
    if (!lines.next(record)) return;
    std::int64_t w = 0, h = 0;
    std::int32_t device = 0;
    bool found = false;
    for (;;) {
        const std::size_t p = record_start(record);
        bool next_record = p + 1 >= record.size();
        if (!next_record) {
            const std::string mnemonic = record.substr(p, 2);
            const bool comment_tag = record.size() > p + 2 && record[p + 2] == ':';
            blank_through(record, p + 1);
            int a = 0, b = 0;
            if (mnemonic == "SC") {
                if (integer(record, a) && integer(record, b) && a == -13) {
                    device = hpgl2 ? b - 10 : b;
                    found = true;
                }
                next_record = true;
            } else if (mnemonic == "IP") {
                int p1x = 0, p1y = 0, p2x = 0, p2y = 0;
                integer(record, p1x);
                integer(record, p1y);
                integer(record, p2x);
                integer(record, p2y);
                w = std::int64_t{p2x} - p1x + 1;
                h = std::int64_t{p2y} - p1y + 1;
                next_record = true;
            } else if (hpgl2 && mnemonic == "CO" && !comment_tag) {
                std::string q = quoted(record);
                if (integer(q, a) && integer(q, b) && a == 13) {
                    device = b;
                    found = true;
                }
                next_record = true;
            } else {
                const std::size_t semi = record.find(';');
                if (semi == std::string::npos)
                    next_record = true;
                else
                    blank_through(record, semi);
            }
        }
        if (next_record) {
            if (!lines.next(record)) break;
            if (w != 0 && h != 0 && found) break;
        }
    }
    if (hpgl2) {
        if (w != 0) info[1] = item(w * 72 / 1016);
        if (h != 0) info[2] = item(h * 72 / 1016);
        if (found) {
            info[4] = device;
            static constexpr std::int32_t colours[] = {2, 256, 2, 256, 256};
            if (device >= 1 && device <= 5) info[3] = colours[device - 1];
        }
    } else if (found) {
        info[4] = device;
        static constexpr std::int32_t units[] = {1016, 1021, 1021, 1016, 1016, 1016, 1016, 1016, 1016, 1016};
        static constexpr std::int32_t pens[] = {4, 6, 6, 4, 6, 8, 8, 8, 6, 6};
        if (device >= 1 && device <= 10) {
            info[1] = item(w * 72 / units[device - 1]);
            info[2] = item(h * 72 / units[device - 1]);
            info[3] = pens[device - 1];
        }
    }
    if (n >= 6) {
        std::int32_t pages = -1;
        yycnthpg(name, pages);
        info[5] = pages;
    }
}

void postscript_items(std::string_view name, std::array<std::int32_t, 6>& info) {
    QuietParse quiet;
    TextLines lines(quinda.LFNGEN, name);
    std::string record;
    if (!lines.next(record) || !lines.next(record)) return;
    const std::size_t p = record_start(record);
    if (record.compare(p, 14, "%%BoundingBox:") != 0) {
        info[3] = 0;
        return;
    }
    info[3] = 1;
    blank_through(record, p + 13);
    int v[4] = {};
    for (int& x : v)
        if (!integer(record, x)) return;
    info[1] = v[2];
    info[2] = v[3];
}

// The first number of RECORD times 72, truncated; -1 when there is none.
std::int32_t points_of(std::string record) {
    const std::int32_t before = quinda.last_error;
    quinda.last_error = 0;
    double d = 0;
    inextdouble(record, d);
    const bool ok = quinda.last_error == 0;
    quinda.last_error = before;
    return ok ? item(d * 72.0) : -1;
}

void dxf_items(std::string_view name, std::array<std::int32_t, 6>& info) {
    QuietParse quiet;
    TextLines lines(quinda.LFNGEN, name);
    std::string record;
    for (int line = 1; line <= 16; ++line) {
        if (!lines.next(record)) return;
        if (line == 14) info[1] = points_of(record);
        if (line == 16) info[2] = points_of(record);
    }
}

// The number in quotes after the first KEY of LINE (lower case).
std::int32_t svg_number(const std::string& line, const std::string& original, std::string_view key) {
    const std::size_t k = line.find(key);
    if (k == std::string::npos || k + key.size() >= line.size() || line[k + key.size()] != '"') return -1;
    const std::size_t start = k + key.size() + 1;
    const std::size_t end = line.find('"', start);
    const std::string text = original.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::int32_t before = quinda.last_error;
    quinda.last_error = 0;
    float v = 0;
    IStringToReal(text, v);
    const bool ok = quinda.last_error == 0;
    quinda.last_error = before;
    return ok ? item(static_cast<double>(v)) : -1;
}

void svg_items(std::string_view name, std::array<std::int32_t, 6>& info) {
    QuietParse quiet;
    TextLines lines(quinda.LFNGEN, name);
    std::string record;
    if (!lines.next(record)) return;
    while (lines.next(record)) {
        std::string lower = record;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.find("<svg ") == std::string::npos) continue;
        info[1] = svg_number(lower, record, "width=");
        info[2] = svg_number(lower, record, "height=");
        return;
    }
}

void head_items(const Head& h, std::int32_t code, std::array<std::int32_t, 6>& info) {
    switch (code) {
        case FileBmp: {
            const std::int64_t c = le16(h, 28);
            info[1] = item(le32(h, 18));
            info[2] = item(le32(h, 22));
            info[3] = c > 32 ? 0 : power_of_two(c == 32 ? 24 : c);
            const std::int64_t comp = le32(h, 30);
            info[4] = comp == 0 || comp == 3 ? 0 : 1;
            info[5] = item(c);
            break;
        }
        case FilePcx: {
            const std::int64_t p = std::int64_t{h[3]} * h[65];
            info[1] = item(le16(h, 8) - le16(h, 4) + 1);
            info[2] = item(le16(h, 10) - le16(h, 6) + 1);
            info[3] = p >= 32 ? 0 : power_of_two(p);
            info[4] = h[1];
            info[5] = item(p);
            break;
        }
        case FileMetafile:
            if (le32(h, 0) == 0x9AC6CDD7) {
                const std::int64_t units = le16(h, 14);
                // A zero unit count gives no size rather than a division.
                if (units != 0) {
                    info[1] = item((le16(h, 10) - le16(h, 6) + 1) * 72 / units);
                    info[2] = item((le16(h, 12) - le16(h, 8) + 1) * 72 / units);
                }
                info[3] = 1;
            } else if (le32(h, 40) == 0x464D4520) {
                info[1] = item((le32(h, 32) - le32(h, 24) + 1) * 72 / 2540);
                info[2] = item((le32(h, 36) - le32(h, 28) + 1) * 72 / 2540);
                info[3] = 2;
            } else {
                info[3] = 0;
            }
            break;
        case FileDraw:
            info[1] = item(le32(h, 32) / 640);
            info[2] = item(le32(h, 36) / 640);
            break;
        case FilePcl: {
            info[3] = occurs(h, "s3u1A") || occurs(h, "s-3u1A") ? 8 : 2;
            const std::size_t t = find(h, "\x1b*t");
            if (t != std::string_view::npos && t + 3 < h.size()) {
                std::string digits(reinterpret_cast<const char*>(h.data() + t + 3), std::min<std::size_t>(3, h.size() - t - 3));
                int v = 0;
                if (integer(digits, v) && v > 0) info[4] = v;
            }
            break;
        }
        case FileEpsonAt:
        case FileEpsonU: {
            info[3] = occurs(h, std::string_view("\x1br\x04", 3)) ? 8 : 0;
            if (code == FileEpsonAt) {
                const std::size_t u = find(h, std::string_view("\x1b(U\x01\x00", 5));
                // A unit byte of 0 gives no resolution rather than a division.
                if (u != std::string_view::npos && u + 5 < h.size() && h[u + 5] != 0) info[4] = 3600 / h[u + 5];
            }
            break;
        }
        case FilePng: {
            const int type = h[25], depth = h[24];
            info[1] = item(be32(h, 16));
            info[2] = item(be32(h, 20));
            info[3] = type == 2 || type == 6 ? 16777216 : type == 3 ? power_of_two(depth) : -1;
            info[4] = h[28];
            info[5] = type == 2 || type == 6 ? 24 : type == 3 ? depth : -1;
            break;
        }
        default: break;
    }
}

// ---------------------------------------------------------------- CGM

constexpr std::size_t CgmBufferSize = 256;
std::array<std::uint8_t, CgmBufferSize> cgm_buffer{};

}  // namespace

std::span<const ImageFormat> image_formats() { return formats; }

void igrfileinfo(std::string_view name, std::span<std::int32_t> info, std::int32_t n) {
    if (info.empty()) return;
    info[0] = FileNone;
    const std::string file = txt_c(name);
    OsFileInfo fi;
    if (file.empty() || os_file_info(file, fi) != OS_OK) return;
    std::int32_t handle = -1;
    IFileOpen(file, 0, handle);
    if (handle == -1) return;
    const std::int64_t size = image_file_size(handle);
    if (size < 4) {
        ifileclose(handle);
        return;
    }
    // A head shorter than 128 bytes is filled with NULs.
    Head h{};
    std::int32_t got = 0;
    IFileReadChar(handle, std::span<std::uint8_t>(h), 128, got);
    ifileclose(handle);

    std::array<std::int32_t, 6> items;
    items.fill(-1);
    items[0] = FileUnknown;
    for (const ImageFormat& f : formats)
        if (f.identify(h)) {
            items[0] = f.code;
            break;
        }
    if (n >= 2) {
        switch (items[0]) {
            case FileHpgl: hpgl_items(file, false, items, n); break;
            case FileHpgl2: hpgl_items(file, true, items, n); break;
            case FilePostScript: postscript_items(file, items); break;
            case FileDxf: dxf_items(file, items); break;
            case FileSvg: svg_items(file, items); break;
            case FileCgm: {
                std::int32_t pictures = -1;
                float aspect = 1.0f;
                yyinfocgm(file, pictures, aspect);
                items[1] = 1000;
                items[2] = item(1000.0 / static_cast<double>(aspect));
                items[3] = pictures;
                break;
            }
            case FileLotusPic:
                items[1] = 3201;
                items[2] = 2312;
                if (n >= 4) {
                    std::int32_t count = 0;
                    yycntpic(file, count);
                    items[3] = count;
                }
                break;
            default: head_items(h, items[0], items); break;
        }
    }
    const std::size_t count = std::min<std::size_t>({static_cast<std::size_t>(std::max(n, 1)), 6, info.size()});
    for (std::size_t i = 0; i < count; ++i) info[i] = items[i];
}

// ---------------------------------------------------------------- companions

namespace {

// The file of a companion, or -1 with error 1 reported under its name.
std::int32_t open_companion(std::string_view name, std::string_view routine) {
    std::int32_t handle = -1;
    IFileOpen(name, 0, handle);
    if (handle == -1) yyerror(1, routine);
    return handle;
}

}  // namespace

void yycntpic(std::string_view name, std::int32_t& count) {
    const std::int32_t handle = open_companion(name, "YYCNTPIC");
    if (handle == -1) return;
    ImageFileReader f(handle);
    auto read_error = [&] {
        quinda.io_status = 0;
        quinda.status_kind = StatusKindOs;
        yyerror(2, "YYCNTPIC");
    };
    std::uint8_t skip[1024];
    if (!f.read(skip, 17)) {
        read_error();
    } else {
        count = 0;
        std::uint8_t op = 0;
        while (f.get(op)) {
            std::int64_t operands = 0;
            if (op == 0xA0 || op == 0xA2 || op == 0xAC) {
                operands = 4;
            } else if (op == 0x30 || op == 0xE0) {
                std::uint8_t k = 0;
                if (!f.get(k)) {
                    read_error();
                    break;
                }
                operands = 4 * (std::int64_t{k} + 1);
            } else if (op == 0xA7) {
                operands = 1;
            } else if (op == 0xA8) {
                // One operand byte, then a text up to and including its 0.
                std::uint8_t b = 0;
                bool ok = f.get(b);
                for (b = 1; ok && b != 0;) ok = f.get(b);
                if (!ok) {
                    read_error();
                    break;
                }
            } else if (op >= 0x60 && op <= 0x6F) {
                ++count;
            }
            if (operands > 0 && !f.read(skip, operands)) {
                read_error();
                break;
            }
        }
    }
    ifileclose(handle);
    if (count == 0) count = 1;
}

void yycnthpg(std::string_view name, std::int32_t& count) {
    const int code = yyunitopen(quinda.LFNPLOT, name, TextUnitRead);
    if (code != OS_OK) {
        quinda.io_status = code;
        quinda.status_kind = StatusKindRunTime;
        yyerror(1, "YYCNTHPG");
        return;
    }
    count = 0;
    std::int32_t mode = quinda.report_mode;
    quinda.report_mode = ReportNone;
    std::string line;
    int status = OS_OK;
    while ((status = yyunitread(quinda.LFNPLOT, line)) == OS_OK) {
        line = line.substr(0, 10);
        const std::size_t p = record_start(line);
        if (p + 1 >= line.size()) continue;
        const std::string mnemonic = line.substr(p, 2);
        int v = 0;
        if (mnemonic == "SC") {
            std::string rest = line;
            blank_through(rest, p + 1);
            if (!txt_blank(rest) && integer(rest, v) && v == -3) ++count;
        } else if (mnemonic == "CO" && !(line.size() > p + 2 && line[p + 2] == ':')) {
            std::string q = quoted(line);
            if (integer(q, v) && v == 3) ++count;
        }
    }
    quinda.report_mode = mode;
    if (status != OS_ERROR_HANDLE_EOF) {
        quinda.io_status = status;
        quinda.status_kind = StatusKindRunTime;
        yyerror(2, "YYCNTHPG");
    }
    const int closed = yyunitclose(quinda.LFNPLOT);
    if (closed != OS_OK) {
        quinda.io_status = closed;
        quinda.status_kind = StatusKindRunTime;
        yyerror(3, "YYCNTHPG");
    }
    if (status == OS_ERROR_HANDLE_EOF && count == 0) count = 1;
}

std::int32_t yyrepcgmint(std::int32_t position, std::int32_t precision) {
    const int bytes = precision == 16 ? 2 : 4;
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        const std::int64_t at = std::int64_t{position} - 1 + i;
        v = v << 8 | (at >= 0 && at < static_cast<std::int64_t>(CgmBufferSize) ? cgm_buffer[static_cast<std::size_t>(at)] : 0u);
    }
    return bytes == 2 ? static_cast<std::int16_t>(v) : static_cast<std::int32_t>(v);
}

float yyrepcgmreal(std::int32_t position) {
    const std::uint32_t v = static_cast<std::uint32_t>(yyrepcgmint(position, 32));
    float f = 0;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

void yyinfocgm(std::string_view name, std::int32_t& pictures, float& aspect) {
    const std::int32_t handle = open_companion(name, "YYINFOCGM");
    if (handle == -1) return;
    ImageFileReader f(handle);
    // Precisions of this file alone: the CGM writer's own stay untouched.
    std::int32_t count = 0, integer_precision = 16, vdc_precision = 16, vdc_real = 0;
    bool have_max = false, have_extent = false;
    float max_aspect = 1.0f, extent_aspect = 1.0f;
    auto word = [&](std::uint32_t& w) {
        std::uint8_t b[2];
        if (!f.read(b, 2)) return false;
        w = std::uint32_t{b[0]} << 8 | b[1];
        return true;
    };
    auto extent_aspect_of = [&](float& out) {
        float c[4];
        for (int i = 0; i < 4; ++i) {
            if (vdc_real)
                c[i] = yyrepcgmreal(1 + 4 * i);
            else
                c[i] = static_cast<float>(yyrepcgmint(1 + i * (vdc_precision / 8), vdc_precision));
        }
        const float dy = c[3] - c[1];
        // No height: the aspect is left undefined, which counts as 1.
        out = dy != 0.0f && std::isfinite(c[2] - c[0]) ? (c[2] - c[0]) / dy : 1.0f;
        if (!std::isfinite(out)) out = 1.0f;
    };
    bool failed = false;
    for (;;) {
        std::uint32_t header = 0;
        if (!word(header)) {
            failed = true;
            break;
        }
        const std::uint32_t cls = header >> 12, id = (header >> 5) & 127;
        std::int64_t length = header & 31;
        bool more = false;
        if (length == 31) {
            std::uint32_t w = 0;
            if (!word(w)) {
                failed = true;
                break;
            }
            length = w & 0x7FFF;
            more = (w & 0x8000) != 0;
        }
        if (cls == 0 && id == 2) break;
        if (cls == 0 && id == 5) ++count;
        // Its parameters are elements of the stream.
        if (cls == 1 && id == 12) continue;
        const bool wanted = (cls == 1 && (id == 3 || id == 4 || id == 17)) || (cls == 2 && id == 6) || (cls == 3 && id == 1);
        cgm_buffer.fill(0);
        std::size_t filled = 0;
        for (;;) {
            if (length % 2 != 0) ++length;
            const std::int64_t take = wanted ? std::min<std::int64_t>(length, static_cast<std::int64_t>(CgmBufferSize - filled)) : 0;
            if (take > 0 && !f.read(cgm_buffer.data() + filled, take)) {
                failed = true;
                break;
            }
            filled += static_cast<std::size_t>(take);
            if (!f.skip(length - take)) {
                failed = true;
                break;
            }
            if (!more) break;
            std::uint32_t w = 0;
            if (!word(w)) {
                failed = true;
                break;
            }
            length = w & 0x7FFF;
            more = (w & 0x8000) != 0;
        }
        if (failed) break;
        if (!wanted) continue;
        if (cls == 1 && id == 3) vdc_real = yyrepcgmint(1, 16) != 0;
        if (cls == 1 && id == 4) integer_precision = yyrepcgmint(1, integer_precision);
        if (cls == 3 && id == 1) vdc_precision = yyrepcgmint(1, integer_precision);
        if (cls == 1 && id == 17) {
            extent_aspect_of(max_aspect);
            have_max = true;
        }
        if (cls == 2 && id == 6) {
            extent_aspect_of(extent_aspect);
            have_extent = true;
        }
    }
    // Seeking past the end succeeds; a skip ends at the next read.
    if (failed) yyerror(2, "YYINFOCGM");
    ifileclose(handle);
    pictures = count == 0 ? 1 : count;
    aspect = have_max ? max_aspect : have_extent ? extent_aspect : 1.0f;
}
