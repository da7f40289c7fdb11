// The grid's cell selection (set, remove, its pixel rectangle and the
// selection message) and its clipboard: copying the selection as
// tab-separated text, pasting such text at the current cell, deleting the
// selected cells and the checks that enable these commands.
//
// Rows of clipboard text end at CR LF, a lone LF (what most programs here
// write) or a lone CR; copying writes CR LF between rows and nothing after
// the last.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/dialog/fields.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/window/convert.h"
#include "lib/window/messages.h"
#include "platform/os_cliptext.h"
#include "platform/os_dialog.h"
#include "platform/os_metafile.h"
#include "platform/os_msgbox.h"

namespace {

bool has_selection(const GridData& g) { return g.iSelFirstRow >= 0 && g.iSelFirstColumn >= 0; }

// The text up to its first NUL.
std::string_view until_nul(const std::string& t) {
    const std::size_t n = t.find('\0');
    return std::string_view(t).substr(0, n == std::string::npos ? t.size() : n);
}

bool is_line_end(char c) { return c == '\r' || c == '\n'; }

// Skips the line end at p (CR LF, LF or CR); returns the position after it.
std::size_t skip_line_end(std::string_view t, std::size_t p) {
    if (p < t.size() && t[p] == '\r') {
        ++p;
        if (p < t.size() && t[p] == '\n') ++p;
    } else if (p < t.size() && t[p] == '\n') {
        ++p;
    }
    return p;
}

bool is_blank(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

bool equal_no_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string option_text(OsHandle combo, std::intptr_t index) {
    if (!combo || index < 0) return {};
    const auto len = os_send_message(combo, CB_GETLBTEXTLEN, static_cast<std::uintptr_t>(index), 0);
    if (len < 0) return {};
    std::string s(static_cast<std::size_t>(len) + 1, '\0');
    os_send_message(combo, CB_GETLBTEXT, static_cast<std::uintptr_t>(index), reinterpret_cast<std::intptr_t>(s.data()));
    s.resize(std::strlen(s.c_str()));
    return s;
}

// Writes the grid's own MessageType 10 message when its style asks for it.
void notify(OsHandle grid, std::int32_t kind, std::int32_t x, std::int32_t y) {
    const std::uint32_t style = os_get_style(grid);
    if (!(style & (kind == GridNotifyEdit ? GS_EDITNOTIFY : GS_SELNOTIFY))) return;
    if (wmsg.wMessageEnabled[9] == 0) return;
    // The first selection message that is not yet taken stays.
    if (kind == GridNotifySelection && wmsg.wValidMessage == 0 && wmsg.wMessageType == 10) return;
    const OsHandle parent = os_get_parent(grid);
    const auto* record = reinterpret_cast<const std::int32_t*>(os_get_window_user(parent));
    const std::int32_t id = os_get_control_id(grid);
    wmsg.wMessageType = 10;
    wmsg.wMessageWin = record ? record[0] : 0;
    wmsg.wMessageValue1 = wmsg.wMessageValue2 = id;
    wmsg.wMessageValue3 = kind;
    wmsg.wMessageValue4 = -1;
    wmsg.wMessageX = x;
    wmsg.wMessageY = y;
    wmsg.wMessageTime = os_get_message_time();
    wmsg.wValidMessage = 0;
}

}  // namespace

// ---- selection ----------------------------------------------------------------------

std::int32_t yygridgetselrect(OsHandle grid, OsRect& r) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || !has_selection(*g)) return 0;
    if (g->iSelLastRow < g->iTopRow || g->iSelFirstRow >= g->iTopRow + g->nRowHeaders ||
        g->iSelLastColumn < g->iFirstColumn || g->iSelFirstColumn > g->iLastColumn + 1)
        return 0;
    OsRect area{};
    if (g->hCellArea) os_get_client_rect(g->hCellArea, area);
    const std::int32_t pitch = g->nRowHeight - 1;
    r.top = std::max(0, (g->iSelFirstRow - g->iTopRow) * pitch);
    r.bottom = std::min((g->iSelLastRow - g->iTopRow + 1) * pitch, area.height());
    std::int32_t x = 0;
    r.left = r.right = 0;
    const std::int32_t last = std::min(g->iLastColumn + 1, g->nColumns - 1);
    for (std::int32_t c = g->iFirstColumn; c <= last; ++c) {
        if (c == g->iSelFirstColumn) r.left = x;
        x += g->column(c).nWidth - 1;
        if (c <= g->iSelLastColumn) r.right = x;
    }
    return r.top < r.bottom && r.left < r.right ? 1 : 0;
}

void yygridselectrange(OsHandle grid, std::int32_t row1, std::int32_t row2, std::int32_t col1, std::int32_t col2) {
    GridData* g = yygriddata(grid);
    if (!g) return;
    if (g->iSelFirstRow == row1 && g->iSelLastRow == row2 && g->iSelFirstColumn == col1 && g->iSelLastColumn == col2)
        return;
    const OsHandle focus = os_get_focus();
    if (focus && !grid_atom_is(focus, "COMBOBOX") &&
        !(grid_atom_is(focus, "BUTTON") && (os_get_style(focus) & OS_BS_TYPEMASK) != OS_BS_PUSHBUTTON))
        os_send_message(focus, EM_SETSEL, static_cast<std::uintptr_t>(-1), -1);
    OsRect r;
    if (g->hCellArea && yygridgetselrect(grid, r)) os_invalidate_rect(g->hCellArea, &r, false);
    g->iSelFirstRow = row1;
    g->iSelLastRow = row2;
    g->iSelFirstColumn = col1;
    g->iSelLastColumn = col2;
    if (g->hCellArea) {
        if (yygridgetselrect(grid, r)) os_invalidate_rect(g->hCellArea, &r, false);
        if (g->hEditor) os_invalidate_rect(g->hEditor, nullptr, false);
        os_update_window(g->hCellArea);
    }
    notify(grid, GridNotifySelection, pack_cell(col1, row1), pack_cell(col2, row2));
}

void yygridselectnone(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g) return;
    if (has_selection(*g)) {
        OsRect r;
        if (g->hCellArea && yygridgetselrect(grid, r)) os_invalidate_rect(g->hCellArea, &r, false);
        if (g->hEditor) os_invalidate_rect(g->hEditor, nullptr, false);
        g->iSelFirstRow = g->iSelLastRow = g->iSelFirstColumn = g->iSelLastColumn = -1;
        if (g->hCellArea) os_update_window(g->hCellArea);
        if (g->hEditor) os_update_window(g->hEditor);
        notify(grid, GridNotifySelection, 0, 0);
    }
    g->iAnchorColumn = g->iAnchorRow = -1;
}

void grid_notify_edit(OsHandle grid, PackedCell from, PackedCell to) { notify(grid, GridNotifyEdit, from, to); }

// ---- display text -------------------------------------------------------------------

std::string yyGridGetString(OsHandle grid, std::int32_t column, std::int32_t row, std::int32_t mode) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || column < 0 || column >= g->nColumns || row < 0 || row >= g->nRowsAllocated) return {};
    GridColumn& c = g->column(column);
    const auto r = static_cast<std::size_t>(row);
    const bool current = g->hEditor && column == g->iCurrentColumn && row == g->iCurrentRow;
    const char yes = static_cast<char>(0xFC), no = static_cast<char>(0xFB);
    switch (c.iType) {
    case GridText:
        if (current) return yyGridGetString(g->hEditor).substr(0, static_cast<std::size_t>(std::max(0, c.nMaxLength)));
        return c.texts[r];
    case GridInteger:
        if (current) return yyGridGetString(g->hEditor).substr(0, 11);
        return grid_number_text(c, row, {});
    case GridReal:
    case GridDouble:
        if (current) return yyGridGetString(g->hEditor).substr(0, 50);
        return grid_number_text(c, row, grid_record_format(c.hControl));
    case GridCheckBox: {
        const bool on = current ? os_send_message(g->hEditor, BM_GETCHECK, 0, 0) == BST_CHECKED : c.ints[r] == 1;
        if (mode == 1) return std::string(1, on ? yes : no);
        return on ? "Yes" : "No";
    }
    case GridMenu:
        if (current) return option_text(g->hEditor, os_send_message(g->hEditor, CB_GETCURSEL, 0, 0));
        return option_text(c.hControl, c.ints[r]);
    default:
        return {};
    }
}

// ---- clipboard ----------------------------------------------------------------------

std::int32_t yygridcheckclipboard() {
    if (!os_clipboard_text_available()) return 0;
    const std::optional<std::string> t = os_get_clipboard_text();
    if (!t) return 0;
    const std::string_view s = until_nul(*t);
    return s.find_first_of("\t\r\n") == std::string_view::npos ? 1 : 2;
}

void yygridclipcount(std::int32_t& rows, std::int32_t& columns) {
    rows = columns = 1;
    const std::optional<std::string> t = os_get_clipboard_text();
    if (!t) return;
    const std::string_view s = until_nul(*t);
    std::int32_t tabs = 0;
    for (std::size_t p = 0; p < s.size();) {
        if (s[p] == '\t') {
            ++tabs;
            ++p;
        } else if (is_line_end(s[p])) {
            columns = std::max(columns, tabs + 1);
            tabs = 0;
            p = skip_line_end(s, p);
            if (p < s.size()) ++rows;
        } else {
            ++p;
        }
    }
    columns = std::max(columns, tabs + 1);
}

std::int32_t yygridcancut(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || !has_selection(*g) || (os_get_style(grid) & GS_READONLY)) return 0;
    for (std::int32_t c = g->iSelFirstColumn; c <= g->iSelLastColumn && c < g->nColumns; ++c)
        for (std::int32_t r = g->iSelFirstRow; r <= g->iSelLastRow && r < g->nRowsAllocated; ++r)
            if (g->column(c).pStates[static_cast<std::size_t>(r)] & CellDisabled) return 0;
    return 1;
}

std::int32_t yygridcanpaste(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || (os_get_style(grid) & GS_READONLY)) return 0;
    std::int32_t rows = 1, columns = 1;
    yygridclipcount(rows, columns);
    const std::int32_t c2 = std::min(g->iCurrentColumn + columns, g->nColumns);
    const std::int32_t r2 = std::min(g->iCurrentRow + rows, g->nRows);
    for (std::int32_t c = g->iCurrentColumn; c < c2; ++c)
        for (std::int32_t r = g->iCurrentRow; r < r2; ++r)
            if (g->column(c).pStates[static_cast<std::size_t>(r)] & CellDisabled) return 0;
    return 1;
}

std::int32_t yygridclipcopy(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || !has_selection(*g)) return 0;
    const bool opened = os_open_clipboard();
    bool ok = opened && os_empty_clipboard();
    if (ok) {
        // The text grows as it is built: no display text can overrun it.
        std::string text;
        const std::int32_t c2 = std::min(g->iSelLastColumn, g->nColumns - 1);
        const std::int32_t r2 = std::min(g->iSelLastRow, g->nRowsAllocated - 1);
        for (std::int32_t r = g->iSelFirstRow; r <= r2; ++r) {
            if (r > g->iSelFirstRow) text += "\r\n";
            for (std::int32_t c = g->iSelFirstColumn; c <= c2; ++c) {
                if (c > g->iSelFirstColumn) text += '\t';
                text += yyGridGetString(grid, c, r, 0);
            }
        }
        ok = os_set_clipboard_text(text);
    }
    if (opened) os_close_clipboard();
    if (ok) return 1;
    os_message_box("Either the clipboard is in use by another application or there is\rinsufficient memory available "
                   "for the amount of data being copied",
                   "Unable to Copy Data to Clipboard", OS_MB_OK | OS_MB_ICONSTOP | OS_MB_TASKMODAL);
    return 0;
}

namespace {

// One pasted field into one cell; true when the cell took it.
bool paste_cell(OsHandle grid, GridData& g, std::int32_t column, std::int32_t row, std::string_view field) {
    GridColumn& c = g.column(column);
    const auto r = static_cast<std::size_t>(row);
    std::uint8_t& st = c.pStates[r];
    switch (c.iType) {
    case GridText: {
        std::string t(field.substr(0, static_cast<std::size_t>(std::max(0, c.nMaxLength))));
        st = static_cast<std::uint8_t>(t.empty() ? st & ~CellDefined : st | CellDefined);
        if (!is_blank(t)) st |= CellNonBlank;
        c.texts[r] = std::move(t);
        return true;
    }
    case GridInteger:
    case GridReal:
    case GridDouble: {
        if (is_blank(field)) {
            st &= static_cast<std::uint8_t>(~CellDefined);
            return true;
        }
        if (c.iType == GridInteger && field.find_first_of("EeDd") != std::string_view::npos) return false;
        double v = 0.0;
        int valid = 0;
        yyst2dblcheck(v, valid, field);
        if (!valid) return false;
        std::int32_t status = 0;
        yygridrangecheck2(status, grid, column, v);
        if (status != 0) return false;
        if (c.iType == GridInteger) c.ints[r] = yytruncint(v);
        else if (c.iType == GridReal) c.reals[r] = static_cast<float>(v);
        else c.doubles[r] = v;
        st |= CellDefined | CellNonBlank;
        return true;
    }
    case GridCheckBox:
        c.ints[r] = equal_no_case(field, "Yes") ? 1 : 0;
        return true;
    case GridMenu: {
        const std::string want(field);
        const auto found = os_send_message(c.hControl, CB_FINDSTRING, static_cast<std::uintptr_t>(-1),
                                           reinterpret_cast<std::intptr_t>(want.c_str()));
        if (found < 0) return false;
        c.ints[r] = static_cast<std::int32_t>(found);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

void yygridclippaste(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || !os_clipboard_text_available()) return;
    if (!os_open_clipboard()) return;
    const std::optional<std::string> data = os_get_clipboard_text();
    if (!data) {
        os_close_clipboard();
        return;
    }
    yygridselectnone(grid);
    const std::string_view text = until_nul(*data);
    const std::int32_t c0 = g->iCurrentColumn, r0 = g->iCurrentRow;
    std::int32_t c = c0, r = r0, last_c = c0, last_r = r0;
    std::size_t p = 0;
    while (p < text.size() && (r < g->nRows || c < g->nColumns)) {
        std::size_t e = p;
        while (e < text.size() && text[e] != '\t' && !is_line_end(text[e])) ++e;
        const std::string_view field = text.substr(p, e - p);
        if (c < g->nColumns && r < g->nRows) {
            last_c = std::max(last_c, c);
            last_r = std::max(last_r, r);
            if (paste_cell(grid, *g, c, r, field) && g->hEditor && c == g->iCurrentColumn && r == g->iCurrentRow)
                grid_load_editor(*g);
            yyGridRedrawCell(grid, c, r, false);
        }
        if (e >= text.size()) break;
        if (text[e] == '\t') {
            ++c;
            p = e + 1;
        } else {
            c = c0;
            ++r;
            p = skip_line_end(text, e);
        }
    }
    if (grid_state.bCellUpdate && g->hCellArea) os_update_window(g->hCellArea);
    grid_notify_edit(grid, pack_cell(c0, r0), pack_cell(last_c, last_r));
    grid_mark_changed(*g);
    os_close_clipboard();
}

void yygridclipdelete(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || !has_selection(*g)) return;
    const std::int32_t c1 = g->iSelFirstColumn, r1 = g->iSelFirstRow;
    const std::int32_t c2 = std::min(g->iSelLastColumn, g->nColumns - 1);
    const std::int32_t r2 = std::min(g->iSelLastRow, g->nRowsAllocated - 1);
    for (std::int32_t c = c1; c <= c2; ++c) {
        GridColumn& col = g->column(c);
        for (std::int32_t r = r1; r <= r2; ++r) {
            const auto i = static_cast<std::size_t>(r);
            switch (col.iType) {
            case GridText: col.texts[i].clear(); break;
            case GridReal: col.reals[i] = 0.0f; break;
            case GridDouble: col.doubles[i] = 0.0; break;
            default: col.ints[i] = 0; break;
            }
            col.pStates[i] &= static_cast<std::uint8_t>(~CellDefined);
            yyGridRedrawCell(grid, c, r, false);
        }
    }
    yygridselectnone(grid);
    const bool inside = g->iCurrentColumn >= c1 && g->iCurrentColumn <= c2 && g->iCurrentRow >= r1 && g->iCurrentRow <= r2;
    if (inside && g->hEditor) {
        const std::int32_t type = g->column(g->iCurrentColumn).iType;
        if (type <= GridDouble) {
            const std::int32_t keep = yyfieldrecord(g->hEditor) ? yyfieldrecord(g->hEditor)->defined : 0;
            os_set_window_text(g->hEditor, "");
            if (FieldRecord* f = yyfieldrecord(g->hEditor)) {
                f->value = 0.0;
                f->defined = keep;
            }
        } else if (type == GridCheckBox) {
            os_send_message(g->hEditor, BM_SETCHECK, BST_UNCHECKED, 0);
        } else {
            os_send_message(g->hEditor, CB_SETCURSEL, 0, 0);
        }
    }
    if (g->hCellArea) os_update_window(g->hCellArea);
    grid_notify_edit(grid, pack_cell(c1, r1), pack_cell(c2, r2));
    grid_mark_changed(*g);
}
