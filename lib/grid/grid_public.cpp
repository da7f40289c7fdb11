// The public grid routines: single cells read and written by number, text,
// check box and option, the current cell, the rows in use, row labels, and
// rows inserted and deleted. Numbers are 1-based; each routine reports at
// most one library error under its own name.
#include <algorithm>
#include <cmath>

#include "lib/dialog/dialog.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/strings.h"

namespace {

constexpr const char* DefaultFormat = "(G15.5E2)";

// No dialog loaded while a field of one is named.
bool no_dialog(std::int32_t field, std::string_view name) {
    if (dialog_state.current_id != 0 || field == 0) return false;
    yyerror(1005, name);
    return true;
}

// The library error of a cell-interface status; undefined is the caller's number.
int error_of(std::int32_t status, std::int32_t field, int undefined) {
    if (status == field) return 0;
    if (status == -1) return 1006;
    if (status == -2) return 1017;
    if (status == -3) return undefined;
    return 0;
}

bool report(int code, std::string_view name) {
    if (code) yyerror(code, name);
    return code != 0;
}

std::string trimmed(std::string_view t) {
    const auto e = t.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(t.substr(0, e + 1));
}

// The number stores: the value, the text of it written with the format
// (every row of a text column, else only the rows on screen) and the store.
template <class Write>
void put_number(std::int32_t field, std::int32_t col, std::int32_t row, double value, bool integer,
                std::optional<std::string_view> format, std::string_view name, Write write) {
    if (no_dialog(field, name)) return;
    std::int32_t s = field, top = 0, shown = 0, columns = 0, type = 0;
    yygridgetinfo(s, 9, top);
    yygridgetinfo(s, 101, shown);
    yygridgetinfo(s, 1, columns);
    if (report(error_of(s, field, 0), name)) return;
    std::string fmt;
    if (!integer) {
        if (format && !trimmed(*format).empty()) {
            fmt = std::string(format->substr(0, 50));
        } else if (col >= 1 && col <= columns) {
            yygridgetformat(s, col - 1, fmt, 51);
        } else {
            fmt = DefaultFormat;
        }
        fmt.resize(50, ' ');
        if (const auto z = fmt.find('\0'); z != std::string::npos) std::fill(fmt.begin() + static_cast<std::ptrdiff_t>(z), fmt.end(), ' ');
    }
    std::int32_t ts = field;
    if (col >= 1 && col <= columns) yygridcelltype(ts, col - 1, type);
    std::string text;
    if ((row >= top && row < top + shown) || type == 4) {
        text.assign(100, ' ');
        write(text, fmt);
        ijustifystring(text, "L");
        text = trimmed(text);
    } else {
        text = integer ? "0" : "0.0";
    }
    yygridrangecheck(s, col - 1, value);
    if (report(error_of(s, field, 1009), name)) return;
    const std::string f = trimmed(fmt);
    yygridputcellstring(s, col - 1, row - 1, value, text, f, static_cast<std::int32_t>(text.size()) + 1,
                        static_cast<std::int32_t>(f.size()) + 1);
    report(error_of(s, field, 0), name);
}

// Reads a number: 1010 and the undefined value, or the value.
bool get_number(std::int32_t field, std::int32_t col, std::int32_t row, double& out, std::string_view name,
                bool& undefined) {
    undefined = false;
    if (no_dialog(field, name)) return false;
    std::int32_t s = field;
    yygridgetcellvalue(s, col - 1, row - 1, out);
    const int e = error_of(s, field, 1010);
    report(e, name);
    undefined = e == 1010;
    return e == 0;
}

std::int32_t truncate_int(double d) { return static_cast<std::int32_t>(std::clamp(std::trunc(d), -2147483648.0, 2147483647.0)); }

}  // namespace

void WGridSetCell(std::int32_t field, std::int32_t column, std::int32_t row, GridOptInt position) {
    constexpr std::string_view name = "WGridSetCell";
    if (no_dialog(field, name)) return;
    std::int32_t s = field;
    yygridcellfocus(s, column - 1, row - 1, position ? *position - 1 : -1);
    report(error_of(s, field, 0), name);
}

void WGridRows(std::int32_t field, std::int32_t rows) {
    constexpr std::string_view name = "WGridRows";
    if (no_dialog(field, name)) return;
    std::int32_t s = field, allocated = 0;
    yygridgetinfo(s, 2, allocated);
    if (report(error_of(s, field, 0), name)) return;
    if (rows > allocated) {
        yygridsetrows(s, allocated);
        yyerror(1018, name);
    } else if (rows < 1) {
        yyerror(1018, name);
    } else {
        yygridsetrows(s, rows);
    }
}

void WGridLabelRow(std::int32_t field, std::int32_t row, std::string_view label) {
    constexpr std::string_view name = "WGridLabelRow";
    if (no_dialog(field, name)) return;
    std::int32_t s = field, allocated = 0;
    yygridgetinfo(s, 2, allocated);
    if (report(error_of(s, field, 0), name)) return;
    if (row < 1 || row > allocated) {
        yyerror(1017, name);
        return;
    }
    const std::string t = trimmed(label);
    yygridlabelrow(s, row - 1, t, static_cast<std::int32_t>(t.size()) + 1);
}

void WGridClearCell(std::int32_t field, std::int32_t column, std::int32_t row) {
    constexpr std::string_view name = "WGridClearCell";
    if (no_dialog(field, name)) return;
    std::int32_t s = field;
    yygridclearcell(s, column - 1, row - 1, 0);
    report(error_of(s, field, 0), name);
}

void WGridPutCellDouble(std::int32_t field, std::int32_t column, std::int32_t row, double value,
                        std::optional<std::string_view> format) {
    put_number(field, column, row, value, false, format, "WGridPutCellDouble",
               [&](std::string& t, const std::string& f) { IDoubleToString(value, t, f); });
}

void WGridPutCellReal(std::int32_t field, std::int32_t column, std::int32_t row, float value,
                      std::optional<std::string_view> format) {
    put_number(field, column, row, static_cast<double>(value), false, format, "WGridPutCellReal",
               [&](std::string& t, const std::string& f) { IRealToString(value, t, f); });
}

void WGridPutCellInteger(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t value) {
    put_number(field, column, row, static_cast<double>(value), true, std::nullopt, "WGridPutCellInteger",
               [&](std::string& t, const std::string&) { IntegerToString(value, t, "(I100)"); });
}

void WGridPutCellCheckBox(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t state) {
    constexpr std::string_view name = "WGridPutCellCheckBox";
    if (no_dialog(field, name)) return;
    std::int32_t s = field;
    yygridputcellcheck(s, column - 1, row - 1, state);
    report(error_of(s, field, 0), name);
}

void WGridPutCellOption(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t option) {
    constexpr std::string_view name = "WGridPutCellOption";
    if (no_dialog(field, name)) return;
    std::int32_t s = field;
    yygridputcelloption(s, column - 1, row - 1, option);
    report(error_of(s, field, 0), name);
}

void WGridGetCellDouble(std::int32_t field, std::int32_t column, std::int32_t row, double& value) {
    double d = 0.0;
    bool undefined = false;
    if (get_number(field, column, row, d, "WGridGetCellDouble", undefined)) value = d;
    else if (undefined) value = quinda.undefined.dbl;
}

void WGridGetCellReal(std::int32_t field, std::int32_t column, std::int32_t row, float& value) {
    double d = 0.0;
    bool undefined = false;
    if (get_number(field, column, row, d, "WGridGetCellReal", undefined)) value = static_cast<float>(d);
    else if (undefined) value = quinda.undefined.real;
}

void WGridGetCellInteger(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t& value) {
    double d = 0.0;
    bool undefined = false;
    if (get_number(field, column, row, d, "WGridGetCellInteger", undefined)) value = truncate_int(d);
    else if (undefined) value = quinda.undefined.integer;
}

void WGridGetCellString(std::int32_t field, std::int32_t column, std::int32_t row, std::string& value) {
    constexpr std::string_view name = "WGridGetCellString";
    if (no_dialog(field, name)) return;
    std::int32_t s = field;
    std::string work;
    yygridgetcellstring(s, column - 1, row - 1, work, static_cast<std::int32_t>(value.size()) + 1);
    if (report(error_of(s, field, 0), name)) return;
    const std::size_t n = value.size();
    value = work.substr(0, n);
    value.resize(n, ' ');
}

void WGridGetCellCheckBox(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t& state) {
    constexpr std::string_view name = "WGridGetCellCheckBox";
    if (no_dialog(field, name)) return;
    std::int32_t s = field, v = 0;
    yygridgetcellcheck(s, column - 1, row - 1, v);
    if (!report(error_of(s, field, 0), name)) state = v;
}

void WGridGetCellMenu(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t& option) {
    constexpr std::string_view name = "WGridGetCellMenu";
    if (no_dialog(field, name)) return;
    std::int32_t s = field, v = 0;
    yygridgetcellmenu(s, column - 1, row - 1, v);
    if (!report(error_of(s, field, 0), name)) option = v;
}

// ---- rows -----------------------------------------------------------------------------------
namespace {

// Working storage of one insertion or deletion.
struct RowMover {
    std::int32_t field;
    std::vector<std::int32_t> types;   // FieldType of each column, 1-based at index c - 1
    std::string text;                  // one text cell or label

    void move_cell(std::int32_t c, std::int32_t from, std::int32_t to) {
        const std::int32_t type = types[static_cast<std::size_t>(c - 1)];
        std::int32_t s = field;
        switch (type) {
        case 4:
            yygridgetcellstring(s, c - 1, from - 1, text, 32768);
            s = field;
            yygridputcellstring(s, c - 1, to - 1, 0.0, text, "", 32768, 1);
            return;
        case 5:
        case 6:
        case 7: {
            std::string shown(50, ' ');
            WGridGetCellString(field, c, from, shown);
            if (trimmed(shown).empty()) {
                WGridClearCell(field, c, to);
                return;
            }
            double v = 0.0;
            if (type == 5) {
                std::int32_t i = 0;
                WGridGetCellInteger(field, c, from, i);
                WGridPutCellInteger(field, c, to, i);
                v = i;
            } else if (type == 6) {
                float r = 0.0f;
                WGridGetCellReal(field, c, from, r);
                WGridPutCellReal(field, c, to, r);
                v = r;
            } else {
                WGridGetCellDouble(field, c, from, v);
                WGridPutCellDouble(field, c, to, v);
            }
            // A value the target's range refuses leaves the target undefined,
            // not holding the value of another row.
            s = field;
            yygridrangecheck(s, c - 1, v);
            if (s == -3) WGridClearCell(field, c, to);
            return;
        }
        case 9: {
            std::int32_t st = 0;
            WGridGetCellCheckBox(field, c, from, st);
            WGridPutCellCheckBox(field, c, to, st);
            return;
        }
        case 11: {
            std::int32_t o = 1;
            WGridGetCellMenu(field, c, from, o);
            WGridPutCellOption(field, c, to, o);
            return;
        }
        default:
            return;
        }
    }

    void empty_cell(std::int32_t c, std::int32_t row) {
        if (types[static_cast<std::size_t>(c - 1)] == 11) WGridPutCellOption(field, c, row, 1);
        else WGridClearCell(field, c, row);
    }

    void move_label(std::int32_t from, std::int32_t to) {
        std::int32_t s = field;
        text.clear();
        yygridgetrowlabel(s, from - 1, text, 32768);
        WGridLabelRow(field, to, text);
    }
};

// The checks both routines share; the mover, and R, or nothing after an error.
std::optional<RowMover> start_rows(std::int32_t field, std::int32_t row, std::int32_t count, std::string_view name,
                                   std::int32_t& rows) {
    if (no_dialog(field, name)) return std::nullopt;
    std::int32_t s = field, columns = 0;
    yygridgetinfo(s, 3, rows);
    if (report(error_of(s, field, 0), name)) return std::nullopt;
    // A negative count is no block of rows at all.
    if (row < 1 || row > rows || count < 0) {
        yyerror(1017, name);
        return std::nullopt;
    }
    yygridgetinfo(s, 1, columns);
    RowMover m{field, std::vector<std::int32_t>(static_cast<std::size_t>(std::max(0, columns)), 0), {}};
    m.text.reserve(32768);
    for (std::int32_t c = 0; c < columns; ++c) {
        std::int32_t t = field;
        yygridcelltype(t, c, m.types[static_cast<std::size_t>(c)]);
    }
    return m;
}

}  // namespace

void WGridInsertRows(std::int32_t field, std::int32_t row, GridOptInt count, GridOptInt adjust, GridOptInt labels) {
    constexpr std::string_view name = "WGridInsertRows";
    const std::int32_t n = count.value_or(1);
    const bool adj = adjust && *adjust == 1, lab = labels && *labels == 1;
    std::int32_t r = 0;
    auto m = start_rows(field, row, n, name, r);
    if (!m) return;
    if (adj) {
        std::int32_t s = field, allocated = 0;
        yygridgetinfo(s, 2, allocated);
        r = static_cast<std::int32_t>(std::min<std::int64_t>(static_cast<std::int64_t>(r) + n, allocated));
        WGridRows(field, r);
    }
    yygridcellredrawoff();
    const auto columns = static_cast<std::int32_t>(m->types.size());
    // Sources exist only when the block ends inside the rows in use.
    const std::int64_t first_target = static_cast<std::int64_t>(row) + n;
    for (std::int32_t c = 1; c <= columns; ++c)
        for (std::int64_t t = r; t >= first_target; --t)
            m->move_cell(c, static_cast<std::int32_t>(t - n), static_cast<std::int32_t>(t));
    if (lab)
        for (std::int64_t t = r; t >= first_target; --t)
            m->move_label(static_cast<std::int32_t>(t - n), static_cast<std::int32_t>(t));
    // Rows past the allocation are refused one by one; one refusal tells it,
    // so a huge count does not run on for billions of rows.
    std::int32_t allocated = 0, st = field;
    yygridgetinfo(st, 2, allocated);
    const auto last = static_cast<std::int32_t>(std::min<std::int64_t>(first_target - 1, static_cast<std::int64_t>(allocated) + 1));
    for (std::int32_t c = 1; c <= columns; ++c)
        for (std::int32_t t = row; t <= last; ++t) m->empty_cell(c, t);
    if (lab)
        for (std::int32_t t = row; t <= last; ++t) WGridLabelRow(field, t, "");
    yygridcellredrawon(field);
}

void WGridDeleteRows(std::int32_t field, std::int32_t row, GridOptInt count, GridOptInt adjust, GridOptInt labels) {
    constexpr std::string_view name = "WGridDeleteRows";
    const bool adj = adjust && *adjust == 1, lab = labels && *labels == 1;
    std::int32_t r = 0;
    auto m = start_rows(field, row, count.value_or(1), name, r);
    if (!m) return;
    std::int32_t n = count.value_or(1);
    if (static_cast<std::int64_t>(row) + n - 1 > r) n = r - row + 1;
    yygridcellredrawoff();
    const auto columns = static_cast<std::int32_t>(m->types.size());
    for (std::int32_t c = 1; c <= columns; ++c)
        if (r - n + 1 - row > 0)
            for (std::int32_t t = row; t <= r - n; ++t) m->move_cell(c, t + n, t);
    if (lab)
        for (std::int32_t t = row; t <= r - n; ++t) m->move_label(t + n, t);
    if (adj) {
        WGridRows(field, r - n);
    } else {
        for (std::int32_t c = 1; c <= columns; ++c)
            for (std::int32_t t = r - n + 1; t <= r; ++t) m->empty_cell(c, t);
        if (lab)
            for (std::int32_t t = r - n + 1; t <= r; ++t) WGridLabelRow(field, t, "");
    }
    yygridcellredrawon(field);
}
