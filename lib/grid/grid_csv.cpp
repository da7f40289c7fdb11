// Grid cells as comma-separated text: WGridSave writes a block of a grid,
// WGridLoad reads a file into a grid by the type of each column.
#include <algorithm>
#include <climits>
#include <vector>

#include "lib/dialog/dialog.h"
#include "lib/grid/grid_files.h"
#include "lib/grid/grid_p.h"
#include "lib/window/bytefile.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

namespace {

// Field type codes of yygridcelltype.
constexpr std::int32_t TypeText = 4, TypeInteger = 5, TypeReal = 6, TypeDouble = 7, TypeCheck = 9, TypeMenu = 11;

// The loader reads in pieces of this size.
constexpr std::int32_t ReadPiece = 65000;
// Output is handed to the file in blocks of about this size.
constexpr std::size_t WriteBlock = 1 << 16;

bool no_dialog(std::int32_t field, std::string_view name) {
    if (dialog_state.current_id != 0 || field == 0) return false;
    yyerror(1005, name);
    return true;
}

void file_error(int error, int code, std::string_view routine) {
    quinda.io_status = code;
    quinda.status_kind = StatusKindOs;
    yyerror(error, routine);
}

std::string doubled(std::string_view t) {
    std::string out;
    out.reserve(t.size() + 2);
    for (char c : t) {
        out += c;
        if (c == '"') out += '"';
    }
    return out;
}

void quoted(std::string& out, std::string_view t) {
    out += '"';
    out += doubled(t);
    out += '"';
}

// The rows and columns of the grid a field names; false (and the error
// reported) when there is none.
bool grid_size(std::int32_t field, std::string_view name, std::int32_t& rows, std::int32_t& columns) {
    std::int32_t s = field;
    yygridgetinfo(s, 3, rows);
    if (s == -1) {
        yyerror(1006, name);
        return false;
    }
    yygridgetinfo(s, 1, columns);
    return true;
}

}  // namespace

std::string grid_file_name(std::string_view name) {
    std::string_view n = txt_trim(name);
    n = n.substr(0, n.find('\0'));
    const auto first = n.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(n.substr(first));
}

// ---- quotes ------------------------------------------------------------------------------
void yyexpandquotes(std::string& text) {
    if (text.find('"') == std::string::npos) return;
    const std::size_t n = txt_len(text);
    const std::string grown = doubled(std::string_view(text).substr(0, n));
    if (text.size() < grown.size()) text.resize(grown.size(), ' ');
    text.replace(0, grown.size(), grown);
}

void yycompressquotes(std::string& text) {
    const std::size_t n = txt_len(text);
    if (n == 0) return;
    std::size_t j = 0;
    for (std::size_t i = 0; i < n; ++i, ++j) {
        if (j >= n) {
            text[i] = ' ';
        } else if (j + 1 < n && text[j] == '"' && text[j + 1] == '"') {
            text[i] = '"';
            ++j;
        } else {
            text[i] = text[j];
        }
    }
}

// ---- saving ------------------------------------------------------------------------------
void WGridSave(std::int32_t field, std::string_view filename, GridOptInt col1, GridOptInt col2, GridOptInt row1,
               GridOptInt row2) {
    constexpr std::string_view name = "WGridSave";
    if (no_dialog(field, name)) return;
    std::int32_t rows = 0, columns = 0;
    if (!grid_size(field, name, rows, columns)) return;
    const std::int32_t c1 = std::max(1, col1.value_or(1));
    const std::int32_t c2 = std::min(columns, col2.value_or(columns));
    const std::int32_t r1 = std::max(1, row1.value_or(1));
    const std::int32_t r2 = std::min(rows, row2.value_or(rows));

    // The rows go to a new file beside the target, which replaces it only
    // when every byte is written: a failed save leaves the old file.
    const std::string target = grid_file_name(filename);
    std::string temp;
    std::int32_t handle = -1;
    if (const int rc = target.empty() ? OS_ERROR_INVALID_NAME : os_file_save_begin(target, temp, handle); rc != OS_OK)
        return file_error(1, rc, "IFileOpen");

    std::vector<std::int32_t> types(static_cast<std::size_t>(std::max(0, columns)), TypeText);
    for (std::int32_t c = 0; c < columns; ++c) {
        std::int32_t s = field;
        yygridcelltype(s, c, types[static_cast<std::size_t>(c)]);
    }
    std::string out, text;
    out.reserve(WriteBlock + 1024);
    bool ok = true;
    const auto flush = [&] {
        if (out.empty() || !ok) return;
        std::int32_t done = 0;
        IFileWriteChar(handle, out, static_cast<std::int32_t>(out.size()), done);
        ok = done == static_cast<std::int32_t>(out.size());
        out.clear();
    };
    for (std::int32_t r = r1; ok && r <= r2; ++r) {
        for (std::int32_t c = c1; c <= c2; ++c) {
            std::int32_t s = field;
            switch (types[static_cast<std::size_t>(c - 1)]) {
            case TypeText:
                yygridgetcellstring(s, c - 1, r - 1, text, INT_MAX);
                quoted(out, text);
                break;
            case TypeCheck: {
                std::int32_t v = 0;
                yygridgetcellcheck(s, c - 1, r - 1, v);
                out += v == 1 ? "Yes" : "No";
                break;
            }
            case TypeMenu: {
                std::int32_t option = 0;
                yygridgetcellmenu(s, c - 1, r - 1, option);
                if (option != 0) {
                    text.clear();
                    yygridgetmenustring(s, c - 1, option, text, INT_MAX);
                    quoted(out, text);
                }
                break;
            }
            default:
                // A number shown with a decimal comma goes between quotes,
                // so that the comma stays inside its field.
                text.clear();
                yygridgetcellstring(s, c - 1, r - 1, text, INT_MAX);
                if (text.find(',') != std::string::npos) quoted(out, text);
                else out += text;
                break;
            }
            out += c == c2 ? "\r\n" : ",";
        }
        if (out.size() >= WriteBlock) flush();
    }
    flush();
    if (!ok) return os_file_save_abandon(handle, temp);
    if (const int rc = os_file_save_commit(handle, temp, target); rc != OS_OK) file_error(2, rc, name);
}

// ---- loading -----------------------------------------------------------------------------
namespace {

struct Loader {
    std::int32_t field = 0;
    bool grow = false;
    std::int32_t rows = 0, columns = 0, allocated = 0;
    std::vector<std::int32_t> types;
    std::vector<std::string> formats;
    std::vector<std::int32_t> lengths;
    std::int32_t row = 0, column = 0;

    // Raises the rows in use to take the current row when that is allowed.
    void make_room() {
        if (row < rows || !grow || row >= allocated) return;
        WGridRows(field, row + 1);
        rows = row + 1;
    }

    void store(std::string text) {
        const auto c = static_cast<std::size_t>(column);
        std::int32_t s = field;
        switch (types[c]) {
        case TypeText:
            if (static_cast<std::int32_t>(text.size()) > lengths[c]) text.resize(static_cast<std::size_t>(std::max(0, lengths[c])));
            yygridputcellstring(s, column, row, 0.0, text, "", static_cast<std::int32_t>(text.size()) + 1, 1);
            break;
        case TypeInteger:
        case TypeReal:
        case TypeDouble: {
            const int saved = infoerror(1);
            if (types[c] == TypeInteger) {
                int v = 0;
                IStringToInteger(text, v);
                if (quinda.last_error == 0) WGridPutCellInteger(field, column + 1, row + 1, v);
            } else if (types[c] == TypeReal) {
                float v = 0.0f;
                IStringToReal(text, v);
                if (quinda.last_error == 0) WGridPutCellReal(field, column + 1, row + 1, v, formats[c]);
            } else {
                double v = 0.0;
                istringtodouble(text, v);
                if (quinda.last_error == 0) WGridPutCellDouble(field, column + 1, row + 1, v, formats[c]);
            }
            if (quinda.last_error == 0) {
                yyseterror(saved);
            } else {
                const int failed = infoerror(1);
                WGridClearCell(field, column + 1, row + 1);
                yyseterror(failed);
            }
            break;
        }
        case TypeCheck: {
            for (char& ch : text) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
            yygridputcellcheck(s, column, row, text == "YES" ? 1 : 0);
            break;
        }
        case TypeMenu: {
            std::int32_t not_found = 0;
            yygridputmenustring(s, column, row, not_found, text);
            if (not_found) yyerror(1055, "WGridLoad");
            break;
        }
        default: break;
        }
    }

    // One field, its bytes up to (not including) its end; false ends the load.
    bool field_done(std::string_view bytes, bool quote, bool cr, bool line_end) {
        make_room();
        if (column >= columns || row >= rows) {
            yyerror(1054, "WGridLoad");
            return false;
        }
        std::string_view t = bytes;
        if (quote) t = t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string_view();
        if (cr && !t.empty()) t.remove_suffix(1);
        std::string text(t);
        yycompressquotes(text);
        text.resize(txt_len(text));
        store(std::move(text));
        if (line_end) {
            for (std::int32_t c = column + 1; c < columns; ++c) {
                std::int32_t s = field;
                yygridclearcell(s, c, row, 1);
            }
            ++row;
            column = 0;
        } else {
            ++column;
        }
        return true;
    }
};

// Where the scan of an unfinished field stands.
struct Scan {
    std::size_t start = 0, at = 0;
    std::int32_t quotes = 0;
    bool cr = false;
};

}  // namespace

void WGridLoad(std::int32_t field, std::string_view filename, GridOptInt flag) {
    constexpr std::string_view name = "WGridLoad";
    if (no_dialog(field, name)) return;
    Loader L;
    L.field = field;
    if (!grid_size(field, name, L.rows, L.columns)) return;
    L.grow = flag && *flag == 1;
    std::int32_t handle = -1;
    IFileOpen(filename, 0, handle);
    if (handle == -1) return;
    {
        std::int32_t s = field;
        yygridgetinfo(s, 2, L.allocated);
    }
    const auto nc = static_cast<std::size_t>(std::max(0, L.columns));
    L.types.assign(nc, TypeText);
    L.formats.assign(nc, std::string());
    L.lengths.assign(nc, 0);
    for (std::int32_t c = 0; c < L.columns; ++c) {
        const auto k = static_cast<std::size_t>(c);
        std::int32_t s = field;
        yygridcelltype(s, c, L.types[k]);
        if (L.types[k] == TypeText) {
            yygridcelllength(s, c, L.lengths[k]);
            --L.lengths[k];
        } else if (L.types[k] == TypeReal || L.types[k] == TypeDouble) {
            yygridgetformat(s, c, L.formats[k], 51);
            L.formats[k].resize(50, ' ');
        }
    }
    std::int32_t size = 0;
    IFileSeek(handle, size, 2);
    std::int32_t zero = 0;
    IFileSeek(handle, zero, 0);
    yygridcellredrawoff();

    // The bytes read and not yet taken, and the scan of the field they begin.
    std::string buffer;
    Scan scan;
    std::int32_t read = 0;
    bool going = true;
    while (going && read < size) {
        if (L.row >= L.rows) {
            L.make_room();
            if (L.row >= L.rows) {
                yyerror(1054, name);
                break;
            }
        }
        // A piece fills the buffer up to its size; a field longer than that
        // is taken whole all the same, the buffer growing a piece at a time.
        const std::size_t held = buffer.size() - scan.start;
        const std::int32_t room = held < static_cast<std::size_t>(ReadPiece) ? ReadPiece - static_cast<std::int32_t>(held) : ReadPiece;
        const std::int32_t want = std::min(room, size - read);
        buffer.erase(0, scan.start);
        scan.at -= scan.start;
        scan.start = 0;
        const std::size_t fill = buffer.size();
        buffer.resize(fill + static_cast<std::size_t>(want));
        std::int32_t got = 0;
        IFileReadChar(handle, std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(buffer.data() + fill),
                                                      static_cast<std::size_t>(want)),
                      want, got);
        if (got < want) {
            ifileclose(handle);
            yygridcellredrawon(field);
            return;
        }
        read += got;
        const std::size_t end = buffer.size();
        for (std::size_t i = scan.at; going && i < end; ++i) {
            const char ch = buffer[i];
            const bool lf = ch == '\n';
            if (lf || (ch == ',' && scan.quotes % 2 == 0)) {
                going = L.field_done(std::string_view(buffer).substr(scan.start, i - scan.start), scan.quotes > 0,
                                     scan.cr, lf);
                scan = Scan{i + 1, i + 1, 0, false};
                continue;
            }
            if (ch == '"') ++scan.quotes;
            else if (ch == '\r') scan.cr = true;
        }
        scan.at = std::max(scan.at, end);
    }
    // Text after the last line end is a last line of its own.
    if (going && read >= size && scan.start < buffer.size()) {
        std::string_view rest = std::string_view(buffer).substr(scan.start);
        if (rest.find_first_not_of(' ') != std::string_view::npos) {
            std::size_t s = 0;
            std::int32_t quotes = 0;
            bool cr = false;
            for (std::size_t i = 0; going && i <= rest.size(); ++i) {
                const bool last = i == rest.size();
                if (last || (rest[i] == ',' && quotes % 2 == 0)) {
                    going = L.field_done(rest.substr(s, i - s), quotes > 0, cr, last);
                    s = i + 1;
                    quotes = 0;
                    cr = false;
                } else if (rest[i] == '"') {
                    ++quotes;
                } else if (rest[i] == '\r') {
                    cr = true;
                }
            }
        }
    }
    for (std::int32_t r = L.row; r < L.rows; ++r)
        for (std::int32_t c = 0; c < L.columns; ++c) {
            std::int32_t s = field;
            yygridclearcell(s, c, r, 2);
        }
    yygridcellredrawon(field);
    ifileclose(handle);
}
