// The in-place editor's procedure: the grid's keyboard (moving between
// cells, paging, wrapping, clipboard keys), selection by dragging, the
// repainting of the selection as the focus comes and goes, and the wheel
// and context-menu requests passed up to the grid.
#include <algorithm>
#include <functional>

#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/window/messages.h"
#include "lib/window/quinda_state.h"
#include "lib/window/wininfo.h"
#include "platform/os_dialog.h"

namespace {

bool key_down(std::int32_t vk) { return (os_get_key_state(vk) & 0x8000) != 0; }

void invalidate_selection(OsHandle grid, GridData& g) {
    OsRect r;
    if (g.hCellArea && yygridgetselrect(grid, r)) os_invalidate_rect(g.hCellArea, &r, false);
}

// A menu of a window that holds the grid is being opened.
bool menu_opening(OsHandle grid) {
    const OsHandle m = wmsg.hWinMenuClick;
    return m && (m == grid || os_is_child(m, grid));
}

bool has_selection(const GridData& g) { return g.iSelFirstRow >= 0; }

void cut_cells(OsHandle grid) {
    if (yygridcancut(grid) && yygridclipcopy(grid)) yygridclipdelete(grid);
}

std::intptr_t keydown(OsHandle e, OsHandle grid, GridData& g, std::int32_t type, std::uintptr_t wp,
                      const std::function<std::intptr_t()>& pass) {
    const std::uint32_t style = os_get_style(grid);
    const bool shift = key_down(OS_VK_SHIFT), ctrl = key_down(OS_VK_CONTROL);
    const std::int32_t col = g.iCurrentColumn, row = g.iCurrentRow;
    const std::int32_t last_col = g.nColumns - 1, last_row = g.nRows - 1;
    const bool wrap = (style & GS_WRAPROWS) != 0;
    const bool dropped = g.hDroppedList == e;
    const bool texty = type <= GridDouble;
    const auto move = [&](std::int32_t c, std::int32_t r, bool extend) { yygridupdatecell(grid, c, r, true, extend); };
    switch (static_cast<std::int32_t>(wp)) {
    case OS_VK_TAB:
        if (style & GS_TABCELLS) {
            if (shift) {
                if (col > 0) move(col - 1, row, false);
                else if (wrap && row > 0) move(last_col, row - 1, false);
                else yyringbell2();
            } else {
                if (col < last_col) move(col + 1, row, false);
                else if (wrap && row < last_row) move(0, row + 1, false);
                else yyringbell2();
            }
            return 0;
        }
        if (type == GridCheckBox || type == GridMenu) {
            os_send_message(os_get_parent(grid), OSM_NEXTDLGCTL, shift ? 1 : 0, 0);
            return 0;
        }
        return pass();
    case OS_VK_RETURN:
        if (!(style & GS_ENTERDOWN)) return pass();
        [[fallthrough]];
    case OS_VK_DOWN:
        if (dropped) return pass();
        if (row < last_row) move(col, row + 1, shift);
        else yyringbell2();
        return 0;
    case OS_VK_UP:
        if (dropped) return pass();
        if (row == 0) yyringbell2();
        else move(col, row - 1, shift);
        return 0;
    case OS_VK_LEFT: {
        if (texty) {
            std::int32_t a = 0, b = 0;
            os_send_message(e, EM_GETSEL, reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::intptr_t>(&b));
            if (b != 0 && g.iAnchorColumn < 0) return pass();
        }
        if (ctrl) yyGridSendScrollMessage(grid, OSM_HSCROLL, SB_PAGEUP, 0, shift);
        else if (col > 0) move(col - 1, row, shift);
        else if (wrap && row > 0) move(last_col, row - 1, shift);
        else yyringbell2();
        return 0;
    }
    case OS_VK_RIGHT: {
        if (texty) {
            std::int32_t a = 0, b = 0;
            os_send_message(e, EM_GETSEL, reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::intptr_t>(&b));
            const auto length = static_cast<std::int32_t>(os_get_window_text(e).size());
            if (b != length) return pass();
        }
        if (ctrl) yyGridSendScrollMessage(grid, OSM_HSCROLL, SB_PAGEDOWN, 0, shift);
        else if (col < last_col) move(col + 1, row, shift);
        else if (wrap && row < last_row) move(0, row + 1, shift);
        else yyringbell2();
        return 0;
    }
    case OS_VK_PRIOR:
        if (dropped) return pass();
        if (ctrl) move(col, 0, shift);
        else yyGridSendScrollMessage(grid, OSM_VSCROLL, SB_PAGEUP, 0, shift);
        return 0;
    case OS_VK_NEXT:
        if (dropped) return pass();
        if (ctrl) move(col, last_row, shift);
        else if (g.nRows > g.nVisibleRows) yyGridSendScrollMessage(grid, OSM_VSCROLL, SB_PAGEDOWN, 0, shift);
        return 0;
    case OS_VK_HOME:
        if (!ctrl) return pass();
        move(0, row, shift);
        return 0;
    case OS_VK_END:
        if (!ctrl) return pass();
        move(last_col, row, shift);
        return 0;
    case OS_VK_ESCAPE: {
        const OsHandle parent = os_get_parent(grid);
        if ((type == GridCheckBox || type == GridMenu) && os_window_class_atom(parent) != wtab.atomChild) {
            os_send_message(parent, OSM_CLOSE, 0, 0);
            return 0;
        }
        return pass();
    }
    case OS_VK_INSERT:
        if (shift && yygridcheckclipboard() == 2) {
            if (yygridcanpaste(grid)) yygridclippaste(grid);
            return 0;
        }
        return pass();
    case OS_VK_DELETE:
        if (!has_selection(g)) return pass();
        if (yygridcancut(grid)) {
            if (!shift) yygridclipdelete(grid);
            else if (yygridclipcopy(grid)) yygridclipdelete(grid);
        }
        return 0;
    default:
        return pass();
    }
}

std::intptr_t character(OsHandle e, OsHandle grid, GridData& g, std::int32_t type, std::uintptr_t wp,
                        const std::function<std::intptr_t()>& pass) {
    switch (static_cast<std::int32_t>(wp)) {
    case 1:
        if (type > GridDouble) return pass();
        os_send_message(e, EM_SETSEL, 0, -1);
        os_send_message(e, EM_SCROLLCARET, 0, 0);
        return 0;
    case 3:
        if (!has_selection(g)) return pass();
        yygridclipcopy(grid);
        return 0;
    case 22:
        if (yygridcheckclipboard() != 2) return pass();
        if (yygridcanpaste(grid)) yygridclippaste(grid);
        return 0;
    case 24:
        if (!has_selection(g)) return pass();
        cut_cells(grid);
        return 0;
    case 9:
    case 13:
        return 0;
    default:
        return pass();
    }
}

}  // namespace

std::intptr_t yygridcellwndproc(OsHandle e, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    FieldRecord* f = yyfieldrecord(e);
    const OsWndProc prev = f ? f->previous_proc : nullptr;
    const std::function<std::intptr_t()> pass = [&] {
        return prev ? prev(e, msg, wp, lp) : os_def_window_proc(e, msg, wp, lp);
    };
    const OsHandle area = os_get_parent(e);
    const OsHandle grid = os_get_parent(area);
    GridData* g = yygriddata(grid);
    if (!g || g->hEditor != e || !g->pColumns) return pass();
    const std::int32_t type = g->column(g->iCurrentColumn).iType;
    switch (msg) {
    case OSM_SETFOCUS: {
        const auto from = static_cast<OsHandle>(wp);
        const bool inside = grid_focus_flags.refocus || (from && (from == grid || os_is_child(grid, from)));
        if (inside) {
            if (menu_opening(grid)) {
                wmsg.hWinMenuClick = 0;
            } else if (grid_focus_flags.selection_repaint) {
                invalidate_selection(grid, *g);
            } else {
                grid_focus_flags.selection_repaint = true;
            }
            grid_focus_flags.from_outside = false;
        } else {
            grid_focus_flags.from_outside = true;
        }
        const std::intptr_t r = pass();
        os_update_window(e);
        return r;
    }
    case OSM_SETTEXT: {
        const std::intptr_t r = pass();
        os_update_window(e);
        return r;
    }
    case OSM_KILLFOCUS: {
        if (!menu_opening(grid)) {
            const auto to = static_cast<OsHandle>(wp);
            const OsHandle parent = os_get_parent(grid);
            bool repaint = to != grid;
            if (os_window_class_atom(parent) == wtab.atomChild) repaint = repaint && to != parent;
            grid_focus_flags.selection_repaint = repaint;
            if (repaint) invalidate_selection(grid, *g);
        }
        return pass();
    }
    case OSM_CONTEXTMENU:
        if (!has_selection(*g)) os_set_focus(e);
        return os_def_window_proc(e, msg, wp, lp);
    case OSM_NCHITTEST:
        if (g->bNoMouse) return -1;   // transparent to the mouse
        return pass();
    case OSM_GETDLGCODE: {
        std::intptr_t code = pass();
        const std::uint32_t style = os_get_style(grid);
        if (style & GS_ENTERDOWN) code |= DLGC_WANTALLKEYS;
        else if (style & GS_TABCELLS) code |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        else code |= DLGC_WANTARROWS | DLGC_WANTCHARS;
        return code;
    }
    case OSM_KEYDOWN:
        return keydown(e, grid, *g, type, wp, pass);
    case OSM_CHAR:
        return character(e, grid, *g, type, wp, pass);
    case OSM_MOUSEMOVE:
        if (wp & OS_MK_LBUTTON) {
            OsPoint p{static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp))),
                      static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp)))};
            os_client_to_screen(e, p);
            os_screen_to_client(area, p);
            grid_drag_select(grid, *g, p.x, p.y);
        }
        return pass();
    case OSM_MOUSEWHEEL:
        // The wheel goes up to the grid.
        return os_send_message(grid, msg, wp, lp);
    default:
        return pass();
    }
}
