// The cell interface of the grid control: cells read and written by type,
// menu options, labels, colours, ranges, spin steps, cell states, the
// selection, the rows in use and the column set. Indices are 0-based; a
// failure is left as a status in the first argument (-1 no grid, -2 out of
// range or wrong type, -3 undefined or not storable), success leaves it.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/grid/grid_window.h"
#include "lib/window/convert.h"
#include "lib/window/messages.h"
#include "platform/os_dialog.h"

namespace {

constexpr const char* DefaultFormat = "(G15.5E2)";

// A converter's fixed text up to its NUL, without trailing blanks.
std::string field_text(std::string s) {
    s.resize(std::strlen(s.c_str()));
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(s.begin());
    return s;
}

// The characters of a text in front of its first NUL.
std::string_view until_nul(std::string_view t) {
    const auto z = t.find('\0');
    return z == std::string_view::npos ? t : t.substr(0, z);
}

bool blank(std::string_view t) { return until_nul(t).find_first_not_of(' ') == std::string_view::npos; }

std::string cut(std::string_view t, std::int32_t size) {
    return std::string(until_nul(t).substr(0, static_cast<std::size_t>(std::max(0, size - 1))));
}

bool column_ok(const GridData& g, std::int32_t c) {
    return g.pColumns && c >= 0 && c < g.nColumns && static_cast<std::size_t>(c) < g.pColumns->size();
}
bool cell_ok(const GridData& g, std::int32_t c, std::int32_t r) { return column_ok(g, c) && r >= 0 && r < g.nRows; }
bool is_current(const GridData& g, std::int32_t c, std::int32_t r) {
    return g.hEditor && c == g.iCurrentColumn && r == g.iCurrentRow;
}

OsHandle grid_window(std::int32_t ref) { return yygridfromref(ref); }

void redraw(OsHandle grid, std::int32_t c, std::int32_t r) { yyGridRedrawCell(grid, c, r, grid_state.bCellUpdate); }

void repaint_column(OsHandle grid, GridData& g, std::int32_t c) {
    for (std::int32_t r = g.iTopRow; r <= g.iTopRow + g.nVisibleRows && r < g.nRowsAllocated; ++r)
        yyGridRedrawCell(grid, c, r, false);
    if (g.hCellArea) os_update_window(g.hCellArea);
}

std::uint8_t channel(std::int32_t colour, int shift) { return static_cast<std::uint8_t>((colour >> shift) & 0xFF); }

void split_colour(std::int32_t colour, std::array<std::int32_t, 3>& out) {
    if (colour == -1) {
        out = {-1, -1, -1};
        return;
    }
    out = {channel(colour, 0), channel(colour, 8), channel(colour, 16)};
}

// Sets one colour (flag bit, three bytes) of a cell's entry as yyFieldColour2 does.
void set_cell_colour(CellColour& e, std::uint8_t bit, std::uint8_t* rgb, std::int32_t r, std::int32_t g, std::int32_t b) {
    if (r == -1) return;
    if (r == 256) {
        e.flags = static_cast<std::uint8_t>(e.flags & ~bit);
        return;
    }
    e.flags |= bit;
    rgb[0] = static_cast<std::uint8_t>(r & 0xFF);
    rgb[1] = static_cast<std::uint8_t>(g & 0xFF);
    rgb[2] = static_cast<std::uint8_t>(b & 0xFF);
}

bool buddy_range(OsHandle control, double min, double max) {
    FieldRecord* f = yyfieldrecord(control);
    if (!f) return false;
    f->range_min = min;
    f->range_max = max;
    if (f->buddy) {
        const auto clampi = [](double v) { return static_cast<std::int32_t>(std::clamp(v, -31073.0, 31073.0)); };
        os_send_message(f->buddy, UDM_SETRANGE, 0, os_make_lparam(clampi(max), clampi(min)));
    }
    return true;
}

}  // namespace

// ---- shared helpers --------------------------------------------------------------------
std::string grid_record_format(OsHandle control) {
    FieldRecord* f = yyfieldrecord(control);
    if (!f || !f->format || f->format->empty()) return DefaultFormat;
    return *f->format;
}

void grid_mark_changed(GridData& g) { g.bUnsaved = g.bChanged = 1; }

std::string grid_number_text(GridColumn& c, std::int32_t row, const std::string& format) {
    const auto r = static_cast<std::size_t>(row);
    if (!(c.pStates[r] & CellDefined)) return {};
    std::string s(255, ' ');
    if (c.iType == GridInteger) {
        s.assign(12, ' ');
        yyint2st(c.ints[r], s);
    } else if (c.iType == GridReal) {
        yyrea2st(c.reals[r], s, format);
    } else {
        yydbl2st(c.doubles[r], s, format);
    }
    return field_text(s);
}

OsHandle yygridfromref(std::int32_t ref) {
    if (ref != 0) {
        const OsHandle d = yycurrentdialog();
        return d ? os_get_dlg_item(d, ref) : 0;
    }
    // The grid of the current window when it is a grid window; grid windows
    // keep their grid as the only grid among the frame's descendants.
    const OsHandle frame = valid_slot(wtab.wIndex) ? wtab.wWindow[ix(wtab.wIndex)] : 0;
    if (!frame || yyspecialkind(frame) != 4) return 0;
    std::vector<OsHandle> todo{frame};
    while (!todo.empty()) {
        const OsHandle w = todo.back();
        todo.pop_back();
        for (OsHandle c : os_child_windows(w)) {
            if (yygriddata(c)) return c;
            todo.push_back(c);
        }
    }
    return 0;
}

GridData* grid_of_ref(std::int32_t& ref, OsHandle* grid) {
    const OsHandle w = grid_window(ref);
    GridData* g = yygriddata(w);
    if (!g || !g->pColumns) {
        ref = -1;
        return nullptr;
    }
    if (grid) *grid = w;
    return g;
}

// ---- reading cells -----------------------------------------------------------------------
void yygridgetcellstring(std::int32_t& ref, std::int32_t column, std::int32_t row, std::string& text, std::int32_t size) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!cell_ok(*g, column, row) || g->column(column).iType > GridDouble) {
        ref = -2;
        return;
    }
    GridColumn& c = g->column(column);
    if (is_current(*g, column, row)) {
        text = cut(yyGridGetString(g->hEditor), size);
        return;
    }
    if (c.iType == GridText) text = cut(c.texts[static_cast<std::size_t>(row)], size);
    else text = cut(grid_number_text(c, row, grid_record_format(c.hControl)), size);
}

void yygridgetcellvalue(std::int32_t& ref, std::int32_t column, std::int32_t row, double& value) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!cell_ok(*g, column, row) || g->column(column).iType > GridDouble) {
        ref = -2;
        return;
    }
    GridColumn& c = g->column(column);
    const auto r = static_cast<std::size_t>(row);
    if (is_current(*g, column, row)) {
        const std::string t = yyGridGetString(g->hEditor).substr(0, 255);
        if (blank(t)) {
            ref = -3;
            return;
        }
        FieldRecord* f = yyfieldrecord(g->hEditor);
        if (c.iType == GridText || !f || os_send_message(g->hEditor, EM_GETMODIFY, 0, 0)) yyst2dbl(value, t);
        else value = f->value;
        return;
    }
    switch (c.iType) {
    case GridText:
        if (blank(c.texts[r])) ref = -3;
        else yyst2dbl(value, c.texts[r]);
        return;
    case GridInteger:
    case GridReal:
    case GridDouble:
        if (!(c.pStates[r] & CellDefined)) {
            ref = -3;
            return;
        }
        value = c.iType == GridInteger ? c.ints[r] : c.iType == GridReal ? static_cast<double>(c.reals[r]) : c.doubles[r];
        return;
    default:
        return;
    }
}

void yygridgetcellcheck(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t& value) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    // Another column type is out of range too, so the caller learns of it.
    if (!cell_ok(*g, column, row) || g->column(column).iType != GridCheckBox) {
        ref = -2;
        return;
    }
    if (is_current(*g, column, row)) value = static_cast<std::int32_t>(os_send_message(g->hEditor, BM_GETCHECK, 0, 0));
    else value = g->column(column).ints[static_cast<std::size_t>(row)];
}

void yygridgetcellmenu(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t& option) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!cell_ok(*g, column, row) || g->column(column).iType != GridMenu) {
        ref = -2;
        return;
    }
    if (is_current(*g, column, row)) option = static_cast<std::int32_t>(os_send_message(g->hEditor, CB_GETCURSEL, 0, 0)) + 1;
    else option = g->column(column).ints[static_cast<std::size_t>(row)] + 1;
}

void yygridgetmenustring(std::int32_t& ref, std::int32_t column, std::int32_t option, std::string& text, std::int32_t size) {
    GridData* g = grid_of_ref(ref);
    if (!g || !column_ok(*g, column) || g->column(column).iType != GridMenu) return;
    const OsHandle h = g->column(column).hControl;
    const auto n = static_cast<std::int32_t>(os_send_message(h, CB_GETCOUNT, 0, 0));
    if (option < 1 || option > n) return;
    const auto len = os_send_message(h, CB_GETLBTEXTLEN, static_cast<std::uintptr_t>(option - 1), 0);
    std::string s(static_cast<std::size_t>(std::max<std::intptr_t>(0, len)) + 1, '\0');
    os_send_message(h, CB_GETLBTEXT, static_cast<std::uintptr_t>(option - 1), reinterpret_cast<std::intptr_t>(s.data()));
    text = cut(s, size);
}

void yygridgetformat(std::int32_t& ref, std::int32_t column, std::string& text, std::int32_t size) {
    text = cut(DefaultFormat, size);
    GridData* g = grid_of_ref(ref);
    if (!g || !column_ok(*g, column)) return;
    GridColumn& c = g->column(column);
    if (c.iType == GridReal || c.iType == GridDouble) text = cut(grid_record_format(c.hControl), size);
}

void yygridgetcolour(std::int32_t& ref, std::int32_t column, std::int32_t row, std::array<std::int32_t, 3>& text,
                     std::array<std::int32_t, 3>& back) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) {
        text = back = {-1, -1, -1};
        return;
    }
    if (!column_ok(*g, column) || row < 0 || row >= g->nRowsAllocated) return;
    GridColumn& c = g->column(column);
    if (!c.pColours.empty()) {
        const CellColour& e = c.pColours[static_cast<std::size_t>(row)];
        text = (e.flags & 1) ? std::array<std::int32_t, 3>{e.text[0], e.text[1], e.text[2]} : std::array<std::int32_t, 3>{-1, -1, -1};
        back = (e.flags & 2) ? std::array<std::int32_t, 3>{e.back[0], e.back[1], e.back[2]} : std::array<std::int32_t, 3>{-1, -1, -1};
        return;
    }
    FieldRecord* f = yyfieldrecord(c.hControl);
    FieldRecord* own = yyfieldrecord(grid);
    std::int32_t tc = f ? f->text_colour : -1, bc = f ? f->background_colour : -1;
    if (tc == -1 && own) tc = own->text_colour;
    if (bc == -1 && own) bc = own->background_colour;
    split_colour(tc, text);
    split_colour(bc, back);
}

void yygridgetalign(std::int32_t& ref, std::int32_t column, std::int32_t& align) {
    align = 0;
    GridData* g = grid_of_ref(ref);
    if (!g || !column_ok(*g, column)) return;
    GridColumn& c = g->column(column);
    if (c.iType == GridCheckBox) align = 1;
    else if (c.iType == GridMenu) align = 0;
    else {
        const std::uint32_t s = os_get_style(c.hControl);
        align = (s & OS_ES_RIGHT) ? 2 : (s & OS_ES_CENTER) ? 1 : 0;
    }
}

void yygridgetlabels(std::int32_t& ref, std::int32_t& column_header, std::int32_t& row_width) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    column_header = g->hColumnHeader ? 1 : 0;
    row_width = (os_get_style(grid) & GS_ROWHEADERS) ? g->nRowLabelWidth : 0;
}

void yygridgetcolumnlabel(std::int32_t& ref, std::int32_t item, std::string& text, std::int32_t size) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    text.clear();
    if (!g->hColumnHeader || item < 0 || item > g->nColumns) return;
    OsHeaderItem it;
    it.mask = HDI_TEXT;
    it.text_max = std::max(1, size);
    os_send_message(g->hColumnHeader, HDM_GETITEM, static_cast<std::uintptr_t>(item), reinterpret_cast<std::intptr_t>(&it));
    text = cut(it.text, size);
}

void yygridgetrowlabel(std::int32_t& ref, std::int32_t row, std::string& text, std::int32_t size) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (row < 0 || row >= g->nRowsAllocated) return;
    text.clear();
    if (!(os_get_style(grid) & GS_ROWHEADERS) || !g->pRowLabels || static_cast<std::size_t>(row) >= g->pRowLabels->size())
        return;
    text = cut((*g->pRowLabels)[static_cast<std::size_t>(row)], std::min(size, 51));
}

void yygridcelltype(std::int32_t& ref, std::int32_t column, std::int32_t& type) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!column_ok(*g, column)) {
        ref = -2;
        return;
    }
    static constexpr std::int32_t codes[] = {4, 5, 6, 7, 9, 11};
    type = codes[std::clamp(g->column(column).iType, 0, 5)];
}

void yygridcelllength(std::int32_t& ref, std::int32_t column, std::int32_t& length) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!column_ok(*g, column) || g->column(column).iType != GridText) {
        ref = -2;
        return;
    }
    length = g->column(column).nMaxLength + 1;
}

// ---- writing cells -------------------------------------------------------------------------
void yygridputcellstring(std::int32_t& ref, std::int32_t column, std::int32_t row, double value, std::string_view text,
                         std::string_view format, std::int32_t text_size, std::int32_t format_size) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (!cell_ok(*g, column, row) || g->column(column).iType > GridDouble) {
        ref = -2;
        return;
    }
    GridColumn& c = g->column(column);
    const auto r = static_cast<std::size_t>(row);
    const std::string_view t = until_nul(text);
    const std::string fmt = cut(format, format_size);
    const bool nonblank = !blank(t);
    yygridselectnone(grid);
    double v = value;
    int valid = 0;
    if (value == 0.0) yyst2dblcheck(v, valid, t);
    FieldRecord* f = nullptr;
    if (is_current(*g, column, row)) {
        os_set_window_text(g->hEditor, t);
        f = yyfieldrecord(g->hEditor);
        if (f) {
            f->value = (value == 0.0 && valid) ? v : value;
            f->defined = nonblank ? 1 : 0;
        }
        os_send_message(g->hEditor, EM_SETMODIFY, 0, 0);
    } else {
        f = yyfieldrecord(c.hControl);
    }
    if (f) {
        const bool same = f->format && f->format->size() == fmt.size() &&
                          std::equal(fmt.begin(), fmt.end(), f->format->begin(), [](char a, char b) {
                              return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
                          });
        if (!same) {
            delete f->format;
            f->format = new std::string(fmt);
            if (c.iType == GridReal || c.iType == GridDouble) repaint_column(grid, *g, column);
        }
    }
    switch (c.iType) {
    case GridText:
        c.texts[r] = std::string(t.substr(0, static_cast<std::size_t>(std::max(0, std::min(c.nMaxLength + 1, text_size) - 1))));
        break;
    case GridInteger:
        c.ints[r] = static_cast<std::int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
        break;
    case GridReal:
        c.reals[r] = static_cast<float>(v);
        break;
    default:
        c.doubles[r] = v;
        break;
    }
    std::uint8_t& st = c.pStates[r];
    st = static_cast<std::uint8_t>(t.empty() ? (st & ~CellDefined) : (st | CellDefined));
    st = static_cast<std::uint8_t>(nonblank ? (st | CellNonBlank) : (st & ~CellNonBlank));
    grid_mark_changed(*g);
    redraw(grid, column, row);
}

namespace {
// Stores the integer of a check-box or menu cell; the current cell's editor
// shows it at once (check state or list choice), any other cell is redrawn.
void put_int_cell(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t type, std::int32_t value,
                  std::uint32_t editor_msg) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (!cell_ok(*g, column, row) || g->column(column).iType != type) {
        ref = -2;
        return;
    }
    yygridselectnone(grid);
    g->column(column).ints[static_cast<std::size_t>(row)] = value;
    if (is_current(*g, column, row)) os_send_message(g->hEditor, editor_msg, static_cast<std::uintptr_t>(value), 0);
    else redraw(grid, column, row);
    grid_mark_changed(*g);
}
}  // namespace

void yygridputcellcheck(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t value) {
    put_int_cell(ref, column, row, GridCheckBox, value, BM_SETCHECK);
}

void yygridputcelloption(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t option) {
    put_int_cell(ref, column, row, GridMenu, option - 1, CB_SETCURSEL);
}

void yygridputmenustring(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t& not_found,
                         std::string_view text) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g || !cell_ok(*g, column, row) || g->column(column).iType != GridMenu) return;
    GridColumn& c = g->column(column);
    const std::string t(until_nul(text));
    const auto found = os_send_message(c.hControl, CB_FINDSTRINGEXACT, static_cast<std::uintptr_t>(-1),
                                       reinterpret_cast<std::intptr_t>(t.c_str()));
    const std::int32_t index = found >= 0 ? static_cast<std::int32_t>(found) : 0;
    not_found = found >= 0 ? 0 : 1;
    c.ints[static_cast<std::size_t>(row)] = index;
    if (is_current(*g, column, row)) os_send_message(g->hEditor, CB_SETCURSEL, static_cast<std::uintptr_t>(index), 0);
    else redraw(grid, column, row);
}

void yygridclearcell(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t mode) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    const std::int32_t limit = mode == 0 ? g->nRows : g->nRowsAllocated;
    if (!column_ok(*g, column) || row < 0 || row >= limit) {
        ref = -2;
        return;
    }
    GridColumn& c = g->column(column);
    const auto r = static_cast<std::size_t>(row);
    if (c.iType == GridMenu && mode != 2) {
        ref = -2;
        return;
    }
    yygridselectnone(grid);
    if (is_current(*g, column, row)) {
        if (c.iType <= GridDouble) {
            os_set_window_text(g->hEditor, "");
            os_send_message(g->hEditor, EM_SETMODIFY, 0, 0);
            if (FieldRecord* f = yyfieldrecord(g->hEditor)) {
                f->value = 0.0;
                f->defined = 0;
            }
        } else if (c.iType == GridCheckBox) {
            os_send_message(g->hEditor, BM_SETCHECK, 0, 0);
        } else {
            os_send_message(g->hEditor, CB_SETCURSEL, 0, 0);
        }
    }
    switch (c.iType) {
    case GridText: c.texts[r].clear(); break;
    case GridReal: c.reals[r] = 0.0f; break;
    case GridDouble: c.doubles[r] = 0.0; break;
    default: c.ints[r] = 0; break;
    }
    if (c.iType != GridMenu) c.pStates[r] &= CellDisabled;
    redraw(grid, column, row);
}

// ---- menu options ----------------------------------------------------------------------------
void yygridputmenu(std::int32_t& ref, std::int32_t column, std::int32_t row, std::string_view text) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!column_ok(*g, column) || g->column(column).iType != GridMenu) {
        ref = -1;
        return;
    }
    const std::string t(until_nul(text));
    os_send_message(g->column(column).hControl, CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
    if (is_current(*g, column, row)) os_send_message(g->hEditor, CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
}

void yygridclearmenu(std::int32_t& ref, std::int32_t column, std::int32_t row) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!column_ok(*g, column) || g->column(column).iType != GridMenu) {
        ref = -1;
        return;
    }
    os_send_message(g->column(column).hControl, CB_RESETCONTENT, 0, 0);
    if (is_current(*g, column, row)) os_send_message(g->hEditor, CB_RESETCONTENT, 0, 0);
}

// ---- labels and colours ----------------------------------------------------------------------
void yygridlabelcolumn(std::int32_t& ref, std::int32_t item, std::string_view text, std::int32_t size) {
    GridData* g = grid_of_ref(ref);
    if (!g || !g->hColumnHeader || item < 0 || item > g->nColumns) return;
    OsHeaderItem it;
    it.mask = HDI_TEXT;
    it.text = cut(text, size);
    os_send_message(g->hColumnHeader, HDM_SETITEM, static_cast<std::uintptr_t>(item), reinterpret_cast<std::intptr_t>(&it));
    os_update_window(g->hColumnHeader);
}

void yygridlabelrow(std::int32_t& ref, std::int32_t row, std::string_view text, std::int32_t size) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g || !(os_get_style(grid) & GS_ROWHEADERS) || !g->pRowLabels) return;
    if (row < 0 || static_cast<std::size_t>(row) >= g->pRowLabels->size()) return;
    (*g->pRowLabels)[static_cast<std::size_t>(row)] = cut(text, std::min(size, 51));
    if (row >= g->iTopRow && row < g->iTopRow + g->nRowHeaders &&
        static_cast<std::size_t>(row - g->iTopRow) < g->phRowHeaders.size()) {
        const OsHandle h = g->phRowHeaders[static_cast<std::size_t>(row - g->iTopRow)];
        OsHeaderItem it;
        it.mask = HDI_TEXT | HDI_FORMAT;
        it.text = (*g->pRowLabels)[static_cast<std::size_t>(row)];
        it.fmt = HDF_STRING | HDF_LEFT;
        os_send_message(h, HDM_SETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
        os_update_window(h);
    }
}

void yygridcolourcell(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t tr, std::int32_t tg,
                      std::int32_t tb, std::int32_t br, std::int32_t bg, std::int32_t bb) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (!cell_ok(*g, column, row)) {
        ref = -2;
        return;
    }
    GridColumn& c = g->column(column);
    if (c.pColours.empty()) {
        CellColour base;
        if (FieldRecord* f = yyfieldrecord(c.hControl)) {
            if (f->text_colour != -1)
                set_cell_colour(base, 1, base.text, channel(f->text_colour, 0), channel(f->text_colour, 8), channel(f->text_colour, 16));
            if (f->background_colour != -1)
                set_cell_colour(base, 2, base.back, channel(f->background_colour, 0), channel(f->background_colour, 8),
                                channel(f->background_colour, 16));
        }
        c.pColours.assign(static_cast<std::size_t>(g->nRowsAllocated), base);
    }
    CellColour& e = c.pColours[static_cast<std::size_t>(row)];
    set_cell_colour(e, 1, e.text, tr, tg, tb);
    set_cell_colour(e, 2, e.back, br, bg, bb);
    if (is_current(*g, column, row)) {
        yyFieldColour2(g->hEditor, 1, tr, tg, tb);
        yyFieldColour2(g->hEditor, 2, br, bg, bb);
    }
    redraw(grid, column, row);
}

void yygridcolourcolumn(std::int32_t& ref, std::int32_t column, std::int32_t tr, std::int32_t tg, std::int32_t tb,
                        std::int32_t br, std::int32_t bg, std::int32_t bb) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (!column_ok(*g, column)) {
        ref = -2;
        return;
    }
    GridColumn& c = g->column(column);
    c.pColours.clear();
    c.pColours.shrink_to_fit();
    yyFieldColour2(c.hControl, 1, tr, tg, tb);
    yyFieldColour2(c.hControl, 2, br, bg, bb);
    if (g->hEditor && column == g->iCurrentColumn) {
        yyFieldColour2(g->hEditor, 1, tr, tg, tb);
        yyFieldColour2(g->hEditor, 2, br, bg, bb);
    }
    repaint_column(grid, *g, column);
}

// ---- column settings and cell state ---------------------------------------------------------
void yygridrange(std::int32_t& ref, std::int32_t column, double min, double max) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!column_ok(*g, column)) {
        ref = -2;
        return;
    }
    buddy_range(g->column(column).hControl, min, max);
    if (g->hEditor && column == g->iCurrentColumn) buddy_range(g->hEditor, min, max);
}

void yygridrangecheck2(std::int32_t& status, OsHandle grid, std::int32_t column, double value) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns) {
        status = -1;
        return;
    }
    if (!column_ok(*g, column)) {
        status = -2;
        return;
    }
    FieldRecord* f = yyfieldrecord(g->column(column).hControl);
    if (f && f->range_min <= f->range_max && (value < f->range_min || value > f->range_max)) status = -3;
}

void yygridrangecheck(std::int32_t& ref, std::int32_t column, double value) {
    yygridrangecheck2(ref, grid_window(ref), column, value);
}

namespace {

template <class Apply>
void spin_steps(std::int32_t& ref, std::int32_t column, const char* cls, Apply apply) {
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    if (!column_ok(*g, column) || !grid_atom_is(g->column(column).hControl, cls)) {
        ref = -2;
        return;
    }
    if (FieldRecord* f = yyfieldrecord(g->column(column).hControl)) apply(*f);
    if (g->hEditor && column == g->iCurrentColumn)
        if (FieldRecord* f = yyfieldrecord(g->hEditor)) apply(*f);
}

}  // namespace

void yygridspinstepi(std::int32_t& ref, std::int32_t column, std::int32_t small, std::int32_t large, std::int32_t option) {
    spin_steps(ref, column, "INTEGERSPIN", [&](FieldRecord& f) {
        f.spin_small = small;
        f.spin_large = large == 0 ? small : large;
        f.spin_offset = option;
    });
}

void yygridspinstepr(std::int32_t& ref, std::int32_t column, float small, float large) {
    spin_steps(ref, column, "REALSPIN", [&](FieldRecord& f) {
        f.spin_small = small;
        f.spin_large = large;
    });
}

void yygridspinstepd(std::int32_t& ref, std::int32_t column, double small, double large) {
    spin_steps(ref, column, "DOUBLESPIN", [&](FieldRecord& f) {
        f.spin_small = small;
        f.spin_large = large;
    });
}

void yygridcellstate(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t state) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (!cell_ok(*g, column, row)) {
        ref = -2;
        return;
    }
    std::uint8_t& st = g->column(column).pStates[static_cast<std::size_t>(row)];
    st = static_cast<std::uint8_t>(state == 1 ? (st & ~CellDisabled) : (st | CellDisabled));
    if (is_current(*g, column, row)) yygridwindowstate(g->hEditor, g->column(column).iType, state == 1 ? 0 : 1, 1);
    else redraw(grid, column, row);
}

void yygridwindowstate(OsHandle editor, std::int32_t type, std::int32_t readonly, std::int32_t redraw_now) {
    const OsHandle grid = os_get_parent(os_get_parent(editor));
    if (!readonly && (os_get_style(grid) & GS_READONLY) && yygriddata(grid)) return;
    if (type <= GridDouble) {
        os_send_message(editor, EM_SETREADONLY, readonly ? 1 : 0, 0);
        if (redraw_now) os_update_window(editor);
        if (FieldRecord* f = yyfieldrecord(editor); f && f->buddy) {
            os_enable_window(f->buddy, !readonly);
            if (redraw_now) {
                os_invalidate_rect(f->buddy, nullptr, true);
                os_update_window(f->buddy);
            }
        }
    } else if (type == GridCheckBox) {
        os_send_message(editor, BM_SETSTYLE, readonly ? OS_BS_CHECKBOX : OS_BS_AUTOCHECKBOX, redraw_now);
    }
}

// ---- grid-level routines ----------------------------------------------------------------------
void yygridgetinfo(std::int32_t& ref, std::int32_t code, std::int32_t& value) {
    if (ref == -2) {
        if (code == 6) value = 1 - grid_state.last_unsaved;
        else if (code == 7) value = grid_state.last_changed;
        return;
    }
    GridData* g = grid_of_ref(ref);
    if (!g) return;
    switch (code) {
    case 1: value = g->nColumns; break;
    case 2: value = g->nRowsAllocated; break;
    case 3: value = g->nRows; break;
    case 4: value = g->iCurrentColumn + 1; break;
    case 5: value = g->iCurrentRow + 1; break;
    case 6: value = 1 - g->bUnsaved; break;
    case 7: value = g->bChanged; break;
    case 8: value = g->iFirstColumn + 1; break;
    case 9: value = g->iTopRow + 1; break;
    case 10: value = g->iSelFirstColumn + 1; break;
    case 11: value = g->iSelFirstRow + 1; break;
    case 12: value = g->iSelLastColumn + 1; break;
    case 13: value = g->iSelLastRow + 1; break;
    case 101: value = g->nRowHeaders; break;
    case 102: value = g->nColumnsDeclared; break;
    default: break;
    }
}

void yygridgetinfostring(std::int32_t window, std::int32_t code, std::string& text, std::int32_t size) {
    if (code < 1 || code > 3) return;
    // Only what a closed modal grid window left behind is kept here; an open
    // grid window answers through its own record.
    if (window == -1) text = cut(grid_state.last_texts[static_cast<std::size_t>(code - 1)], size);
}

void yygridcellfocus(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t caret) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (!cell_ok(*g, column, row)) {
        ref = -2;
        return;
    }
    yygridselectnone(grid);
    const OsHandle parent = os_get_parent(grid);
    if (os_is_window_visible(parent) && os_is_window_enabled(parent)) {
        os_set_focus(parent);
        yygridupdatecell(grid, column, row, true);
        const OsHandle f = os_get_focus();
        const bool edit = grid_atom_is(f, "EDIT") || grid_numeric_class(f);
        if (caret >= 0 && edit) {
            os_send_message(f, EM_SETSEL, static_cast<std::uintptr_t>(caret), caret);
            os_send_message(f, EM_SCROLLCARET, 0, 0);
        }
    } else {
        yygridupdatecell(grid, column, row, false);
    }
}

void yygridclearselection(std::int32_t& ref) {
    OsHandle grid = 0;
    if (grid_of_ref(ref, &grid)) yygridselectnone(grid);
}

void yygridsetselection(std::int32_t& ref, std::int32_t col1, std::int32_t row1, std::int32_t col2, std::int32_t row2) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (!cell_ok(*g, col1, row1) || !cell_ok(*g, col2, row2)) {
        ref = -2;
        return;
    }
    yygridselectrange(grid, row1, row2, col1, col2);
}

void yygridsetrows(std::int32_t& ref, std::int32_t rows) {
    OsHandle grid = 0;
    if (!grid_of_ref(ref, &grid)) return;
    yygridsetrows2(grid, rows);
}

void yygridsetrows2(OsHandle grid, std::int32_t n) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || g->nRowsAllocated < 1) return;
    n = std::clamp(n, 1, g->nRowsAllocated);
    yygridselectnone(grid);
    yyGridStoreCurrent(grid);
    const bool headers = (os_get_style(grid) & GS_ROWHEADERS) != 0;
    const auto slot = [&](std::int32_t i) { return static_cast<std::size_t>(i) < g->phRowHeaders.size() ? g->phRowHeaders[static_cast<std::size_t>(i)] : 0; };
    if (headers && n > g->nRows && g->nRows <= g->nVisibleRows)
        for (std::int32_t i = g->nRows; i < std::min({n, g->nVisibleRows + 1, g->nRowsAllocated}); ++i)
            if (const OsHandle h = slot(i)) os_show_window(h, OS_SW_SHOW);
    g->nRows = n;
    if (headers)
        for (std::int32_t i = g->nRows; i < std::min(g->nRowHeaders, g->nRowsAllocated); ++i)
            if (const OsHandle h = slot(i)) os_show_window(h, OS_SW_HIDE);
    if (g->iCurrentRow >= g->nRows || g->iTopRow + g->nVisibleRows - 1 >= g->nRows) {
        if (g->iCurrentRow >= g->nRows) g->iCurrentRow = g->nRows - 1;
        g->iTopRow = std::max(0, g->iCurrentRow - g->nVisibleRows + 1);
        yyGridUpdateRowLabels(grid);
        yyGridUpdateCurrent(grid);
        const OsHandle d = yycurrentdialog();
        const OsHandle f = os_get_focus();
        if (d && os_is_window_visible(d) && os_is_window_enabled(d) && f && (f == grid || os_is_child(grid, f)))
            os_set_focus(grid);
    }
    os_send_message(grid, GM_SCROLLRANGES, 0, 0);
    if (g->hCellArea) {
        os_invalidate_rect(g->hCellArea, nullptr, true);
        os_update_window(g->hCellArea);
    }
    // A grid window fits its frame to the new rows.
    if (GridWindowData* w = yygridwindata(os_get_parent(grid))) yyGridWinSize(*w);
}

void yygridredefine(std::int32_t& ref, std::int32_t columns, const std::int32_t* positions) {
    OsHandle grid = 0;
    GridData* g = grid_of_ref(ref, &grid);
    if (!g) return;
    if (columns < 0 || columns > GridMaxColumns) {
        ref = -1;
        return;
    }
    yygridselectnone(grid);
    const OsHandle focus = os_get_focus();
    const bool had_focus = focus && (focus == grid || os_is_child(grid, focus));
    g->iCurrentColumn = g->iCurrentRow = 0;
    g->iTopRow = g->iFirstColumn = 0;
    yyGridDestroyCurrent(grid);
    if (g->hColumnHeader)
        while (os_send_message(g->hColumnHeader, HDM_DELETEITEM, 0, 0)) {}
    for (GridColumn& c : *g->pColumns) {
        grid_release_record(c.hControl);
        os_destroy_window(c.hControl);
    }
    g->pColumns.reset();
    const OsHandle tmpl = os_create_dialog(g->idTemplate, wtab.wWindow[0], yygridrowtemplateproc, g->idTemplate);
    g->nColumns = columns;
    const bool ok = tmpl && os_send_message(grid, GM_BUILDCOLUMNS, static_cast<std::uintptr_t>(tmpl),
                                            reinterpret_cast<std::intptr_t>(positions));
    if (ok) {
        os_send_message(grid, GM_SCROLLRANGES, 0, 0);
        if (had_focus && os_is_window_visible(grid)) os_set_focus(grid);
        if (g->hCellArea) {
            os_invalidate_rect(g->hCellArea, nullptr, true);
            os_update_window(g->hCellArea);
        }
        if (GridWindowData* w = yygridwindata(os_get_parent(grid))) yyGridWinSize(*w);
    } else {
        ref = -1;
    }
    if (tmpl) os_destroy_window(tmpl);
}
