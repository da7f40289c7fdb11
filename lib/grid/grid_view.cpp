// Repainting of cells, the selection rectangle, the current cell and the
// value flow between a cell and its in-place editor.
#include <algorithm>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/window/convert.h"
#include "platform/os_dialog.h"

namespace {

// The cell's rectangle in the cell area; false when it is not on screen.
bool cell_rect(const GridData& g, std::int32_t column, std::int32_t row, OsRect& r) {
    if (!g.pColumns || column < g.iFirstColumn || row < g.iTopRow || row > g.iTopRow + g.nVisibleRows) return false;
    std::int32_t x = 0;
    for (std::int32_t c = g.iFirstColumn; c < column; ++c) x += (*g.pColumns)[static_cast<std::size_t>(c)].nWidth - 1;
    const std::int32_t y = (row - g.iTopRow) * (g.nRowHeight - 1);
    r = {x, y, x + (*g.pColumns)[static_cast<std::size_t>(column)].nWidth, y + g.nRowHeight};
    return true;
}

bool valid_cell(const GridData& g, std::int32_t column, std::int32_t row) {
    return g.pColumns && column >= 0 && column < g.nColumns && row >= 0 && row < g.nRowsAllocated &&
           static_cast<std::size_t>(column) < g.pColumns->size();
}

}  // namespace

// Puts the stored value of the current cell into the editor.
void grid_load_editor(GridData& g) {
    if (!g.hEditor || !valid_cell(g, g.iCurrentColumn, g.iCurrentRow)) return;
    GridColumn& c = g.column(g.iCurrentColumn);
    const auto row = static_cast<std::size_t>(g.iCurrentRow);
    switch (c.iType) {
    case GridText:
        os_set_window_text(g.hEditor, c.texts[row]);
        break;
    case GridInteger:
    case GridReal:
    case GridDouble: {
        os_set_window_text(g.hEditor, grid_number_text(c, g.iCurrentRow, grid_record_format(g.hEditor)));
        if (FieldRecord* f = yyfieldrecord(g.hEditor)) {
            f->value = c.iType == GridInteger ? c.ints[row] : c.iType == GridReal ? c.reals[row] : c.doubles[row];
            f->defined = (c.pStates[row] & CellNonBlank) ? 1 : 0;
        }
        break;
    }
    case GridCheckBox:
        os_send_message(g.hEditor, BM_SETCHECK, static_cast<std::uintptr_t>(c.ints[row]), 0);
        break;
    case GridMenu:
        os_send_message(g.hEditor, CB_SETCURSEL, static_cast<std::uintptr_t>(c.ints[row]), 0);
        break;
    default:
        break;
    }
    os_send_message(g.hEditor, EM_SETMODIFY, 0, 0);
}

void yyGridRedrawCell(OsHandle grid, std::int32_t column, std::int32_t row, bool update) {
    GridData* g = yygriddata(grid);
    if (!g || !g->hCellArea) return;
    OsRect r;
    if (!cell_rect(*g, column, row, r)) return;
    os_invalidate_rect(g->hCellArea, &r, false);
    if (update) os_update_window(g->hCellArea);
}

void yygridcellredrawoff() { grid_state.bCellUpdate = false; }

void yygridcellredrawon(std::int32_t ref) {
    grid_state.bCellUpdate = true;
    OsHandle grid = 0;
    if (GridData* g = grid_of_ref(ref, &grid); g && g->hCellArea) os_update_window(g->hCellArea);
}

void yyGridUpdateRowLabels(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !(os_get_style(grid) & GS_ROWHEADERS) || !g->pRowLabels) return;
    const std::int32_t drawn = grid_rows_drawn(*g);
    for (std::size_t i = 0; i < g->phRowHeaders.size() && static_cast<std::int32_t>(i) < drawn; ++i) {
        const OsHandle h = g->phRowHeaders[i];
        if (!h) continue;
        const std::size_t row = static_cast<std::size_t>(g->iTopRow) + i;
        OsHeaderItem it;
        it.mask = HDI_TEXT | HDI_FORMAT;
        it.fmt = HDF_STRING;
        it.text = row < g->pRowLabels->size() ? (*g->pRowLabels)[row] : std::string();
        os_send_message(h, HDM_SETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
        if (static_cast<std::int32_t>(row) < g->nRows) os_show_window(h, OS_SW_SHOWNOACTIVATE);
        os_update_window(h);
    }
}

std::string yyGridGetString(OsHandle control) { return os_get_window_text(control); }

void yyGridCreateCurrent(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || g->hEditor || !g->hCellArea || !valid_cell(*g, g->iCurrentColumn, g->iCurrentRow)) return;
    if (os_get_style(grid) & OS_WS_DISABLED) return;
    GridColumn& c = g->column(g->iCurrentColumn);
    if (!c.hControl) return;
    OsRect r{0, 0, c.nWidth, g->nRowHeight};
    cell_rect(*g, g->iCurrentColumn, g->iCurrentRow, r);
    OsRect cr;
    os_get_window_rect(c.hControl, cr);
    const std::uint32_t style = (os_get_style(c.hControl) | OS_WS_VISIBLE | OS_WS_TABSTOP) & ~OS_WS_DISABLED;
    g->hEditor = os_create_window(OS_WS_EX_NOPARENTNOTIFY, os_get_class_name(c.hControl), "", style, r.left, r.top,
                                  c.nWidth, c.iType == GridMenu ? cr.height() : g->nRowHeight, g->hCellArea, 0, -1);
    if (!g->hEditor) return;
    if (g->hFont) os_send_message(g->hEditor, OSM_SETFONT, static_cast<std::uintptr_t>(g->hFont), 0);
    FieldRecord* from = yyfieldrecord(c.hControl);
    FieldRecord* f = yyfieldrecord(g->hEditor);
    if (!f) f = grid_new_record(g->hEditor);
    if (from) {
        const OsHandle buddy = f->buddy;
        const OsWndProc proc = f->previous_proc;
        std::string* own = f->format;
        *f = *from;
        f->buddy = buddy;
        f->previous_proc = proc;
        delete own;
        f->format = from->format ? new std::string(*from->format) : nullptr;
    }
    if (c.iType <= GridDouble)
        os_send_message(g->hEditor, EM_LIMITTEXT, static_cast<std::uintptr_t>(c.iType == GridInteger ? 11 : c.nMaxLength), 0);
    if (c.iType == GridMenu) grid_copy_options(c.hControl, g->hEditor);
    grid_load_editor(*g);
    if (c.pStates[static_cast<std::size_t>(g->iCurrentRow)] & CellDisabled) yygridwindowstate(g->hEditor, c.iType, 1, 0);
    f->previous_proc = os_set_window_proc(g->hEditor, yygridcellwndproc);
}

void yyGridStoreCurrent(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->hEditor || !valid_cell(*g, g->iCurrentColumn, g->iCurrentRow)) return;
    GridColumn& c = g->column(g->iCurrentColumn);
    const auto row = static_cast<std::size_t>(g->iCurrentRow);
    std::uint8_t& st = c.pStates[row];
    switch (c.iType) {
    case GridText: {
        // The text only: a text cell's state is the program's.
        std::string t = yyGridGetString(g->hEditor);
        if (t.size() > static_cast<std::size_t>(c.nMaxLength)) t.resize(static_cast<std::size_t>(c.nMaxLength));
        c.texts[row] = std::move(t);
        break;
    }
    case GridInteger:
    case GridReal:
    case GridDouble: {
        const std::string t = yyGridGetString(g->hEditor);
        if (t.find_first_not_of(' ') == std::string::npos) {
            st &= static_cast<std::uint8_t>(~CellDefined);
            break;
        }
        double v = 0.0;
        FieldRecord* f = yyfieldrecord(g->hEditor);
        if (os_send_message(g->hEditor, EM_GETMODIFY, 0, 0) || !f) yyst2dbl(v, t);
        else v = f->value;
        if (c.iType == GridInteger) c.ints[row] = static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
        else if (c.iType == GridReal) c.reals[row] = static_cast<float>(v);
        else c.doubles[row] = v;
        st |= CellDefined | CellNonBlank;
        break;
    }
    case GridCheckBox:
        c.ints[row] = static_cast<std::int32_t>(os_send_message(g->hEditor, BM_GETCHECK, 0, 0));
        break;
    case GridMenu: {
        // -1 when no option is selected.
        c.ints[row] = static_cast<std::int32_t>(os_send_message(g->hEditor, CB_GETCURSEL, 0, 0));
        break;
    }
    default:
        break;
    }
}

void yyGridDestroyCurrent(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->hEditor) return;
    yyGridStoreCurrent(grid);
    const OsHandle e = g->hEditor;
    g->hEditor = 0;
    if (FieldRecord* f = yyfieldrecord(e)) {
        if (f->previous_proc) {
            os_set_window_proc(e, f->previous_proc);
            f->previous_proc = nullptr;
        }
        // A spin editor's up-down lives beside it in the cell area, which stays.
        if (f->buddy) {
            os_destroy_window(f->buddy);
            f->buddy = 0;
        }
    }
    grid_release_record(e);
    os_destroy_window(e);
}

void yyGridUpdateCurrent(OsHandle grid) {
    GridData* g = yygriddata(grid);
    if (!g || !g->hEditor || !valid_cell(*g, g->iCurrentColumn, g->iCurrentRow)) return;
    GridColumn& c = g->column(g->iCurrentColumn);
    const auto row = static_cast<std::size_t>(g->iCurrentRow);
    if (FieldRecord* f = yyfieldrecord(g->hEditor); f && !c.pColours.empty()) {
        const CellColour& k = c.pColours[row];
        f->text_colour = (k.flags & 1) ? k.text[0] + 256 * k.text[1] + 65536 * k.text[2] : -1;
        f->background_colour = (k.flags & 2) ? k.back[0] + 256 * k.back[1] + 65536 * k.back[2] : -1;
    }
    grid_load_editor(*g);
    yygridwindowstate(g->hEditor, c.iType, (c.pStates[row] & CellDisabled) ? 1 : 0, 0);
    os_invalidate_rect(g->hEditor, nullptr, true);
}
