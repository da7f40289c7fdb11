// The grid at work: layout on resize, scrolling by bar, keys and wheel,
// moving the current cell, clicks on cells and headers, the context menu
// and its commands, notifications from the in-place editor and the small
// window procedures of the headers and spin cells.
#include <algorithm>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/dialog/fields.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/window/messages.h"
#include "lib/window/quinda_state.h"
#include "platform/os_cliptext.h"
#include "platform/os_dialog.h"
#include "platform/os_gridpaint.h"
#include "platform/os_menu.h"

GridFocusFlags grid_focus_flags;

namespace {

bool shift_down() { return (os_get_key_state(OS_VK_SHIFT) & 0x8000) != 0; }

std::int32_t area_width(const GridData& g) {
    OsRect r{};
    if (g.hCellArea) os_get_client_rect(g.hCellArea, r);
    return r.width();
}

std::int32_t area_height(const GridData& g) {
    OsRect r{};
    if (g.hCellArea) os_get_client_rect(g.hCellArea, r);
    return r.height();
}

void send_cell_change(OsHandle grid, const GridData& g) {
    os_send_message(os_get_parent(grid), grid_state.GM_CELLCHANGE, static_cast<std::uintptr_t>(os_get_control_id(grid)),
                    pack_cell(g.iCurrentColumn, g.iCurrentRow));
}

// The editor holds a numeric value the user must correct first (beeps and
// keeps the focus there when so).
bool editor_invalid(OsHandle grid, const GridData& g) { return g.hEditor && yyoutofrange(g.hEditor, grid, 0) != 0; }

// The first column at which `column` is the rightmost fully visible one.
std::int32_t first_for_rightmost(const GridData& g, std::int32_t column, std::int32_t width) {
    std::int32_t w = 1, i = column;
    while (w < width && i >= 0) {
        w += (*g.pColumns)[static_cast<std::size_t>(i)].nWidth - 1;
        --i;
    }
    std::int32_t first = i + 1;
    if (w > width) ++first;
    return std::clamp(first, 0, std::max(0, column));
}

void hscroll_to(OsHandle grid, std::int32_t column) {
    os_send_message(grid, OSM_HSCROLL,
                    static_cast<std::uintptr_t>(SB_THUMBPOSITION) | (static_cast<std::uintptr_t>(column & 0xFFFF) << 16), 0);
}

void vscroll_to(OsHandle grid, GridData& g, std::int32_t top) {
    g.iPendingTopRow = top;
    const std::int32_t pos = top / std::max(1, g.nScrollFactor);
    os_send_message(grid, OSM_VSCROLL,
                    static_cast<std::uintptr_t>(SB_THUMBPOSITION) | (static_cast<std::uintptr_t>(pos & 0xFFFF) << 16), 0);
}

}  // namespace

// The drawn cell under a point of the cell area; false when none.
bool grid_hit_cell(const GridData& g, std::int32_t x, std::int32_t y, std::int32_t& column, std::int32_t& row) {
    if (!g.pColumns || x < 0 || y < 0) return false;
    std::int32_t right = 0;
    column = -1;
    for (std::int32_t c = g.iFirstColumn; c <= grid_last_drawn_column(g); ++c) {
        right += (*g.pColumns)[static_cast<std::size_t>(c)].nWidth - 1;
        if (right >= x) {
            column = c;
            break;
        }
    }
    if (column < 0) return false;
    const std::int32_t rows = grid_rows_drawn(g);
    for (std::int32_t i = 0; i < rows; ++i) {
        if ((i + 1) * (g.nRowHeight - 1) >= y) {
            row = g.iTopRow + i;
            return row < g.nRows;
        }
    }
    return false;
}

namespace {

void select_between(OsHandle grid, std::int32_t c1, std::int32_t r1, std::int32_t c2, std::int32_t r2) {
    yygridselectrange(grid, std::min(r1, r2), std::max(r1, r2), std::min(c1, c2), std::max(c1, c2));
}

// Selection after a move from `prev` with Shift: from the anchor, or from
// the previous cell which becomes the anchor.
void extend_selection(OsHandle grid, GridData& g, std::int32_t prev_c, std::int32_t prev_r, std::int32_t anchor_c,
                      std::int32_t anchor_r) {
    if (anchor_c < 0) {
        select_between(grid, prev_c, prev_r, g.iCurrentColumn, g.iCurrentRow);
        g.iAnchorColumn = prev_c;
        g.iAnchorRow = prev_r;
    } else if (anchor_c == g.iCurrentColumn && anchor_r == g.iCurrentRow) {
        yygridselectnone(grid);
    } else {
        select_between(grid, anchor_c, anchor_r, g.iCurrentColumn, g.iCurrentRow);
        g.iAnchorColumn = anchor_c;
        g.iAnchorRow = anchor_r;
    }
}

void set_header_widths(GridData& g) {
    if (!g.hColumnHeader) return;
    const std::int32_t n = std::min(g.nColumns, g.iLastColumn + 1);
    for (std::int32_t k = 1; k <= n; ++k) {
        OsHeaderItem it;
        it.mask = HDI_WIDTH;
        it.cxy = k - 1 < g.iFirstColumn ? 0 : g.column(k - 1).nWidth - 1;
        os_send_message(g.hColumnHeader, HDM_SETITEM, static_cast<std::uintptr_t>(k), reinterpret_cast<std::intptr_t>(&it));
    }
}

void grid_resize(OsHandle grid, GridData& g) {
    OsRect client;
    os_get_client_rect(grid, client);
    if (g.hColumnHeader) {
        OsRect hr;
        os_get_window_rect(g.hColumnHeader, hr);
        os_set_window_pos(g.hColumnHeader, 0, 0, 0, client.width(), hr.height(),
                          OS_SWP_NOZORDER | OS_SWP_NOACTIVATE | OS_SWP_NOREDRAW);
    }
    std::int32_t widest = 0;
    for (const GridColumn& c : *g.pColumns) widest = std::max(widest, c.nWidth);
    if (g.hCellArea) {
        os_set_window_pos(g.hCellArea, 0, g.nRowLabelWidth, g.nHeaderHeight,
                          std::max(widest, client.width() - g.nRowLabelWidth),
                          std::max(g.nRowHeight, client.height() - g.nHeaderHeight), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        os_invalidate_rect(g.hCellArea, nullptr, true);
    }
    const std::int32_t old_last = g.iLastColumn;
    os_send_message(grid, GM_SCROLLRANGES, 0, 0);
    if (g.iLastColumn != old_last && g.hCellArea) os_invalidate_rect(g.hCellArea, nullptr, true);
    const std::int32_t W = area_width(g);
    if (g.iCurrentColumn > g.iLastColumn) {
        hscroll_to(grid, first_for_rightmost(g, g.iCurrentColumn, W));
    } else if (g.nColumns > 0) {
        const std::int32_t first = first_for_rightmost(g, g.nColumns - 1, W);
        if (first < g.iFirstColumn) hscroll_to(grid, first);
    }
    dlgtab.bOverride = 0;
}

OsHandle make_row_header(OsHandle grid, GridData& g, std::int32_t i) {
    const std::int32_t y = i * (g.nRowHeight - 1) + (g.hColumnHeader ? g.nRowHeight + 2 : 1);
    const OsHandle h = os_create_window(OS_WS_EX_NOPARENTNOTIFY, "SysHeader32", "",
                                        OS_WS_CHILD | (i < g.nRows ? static_cast<std::uint32_t>(OS_WS_VISIBLE) : 0u) | OS_HDS_BUTTONS, 0, y,
                                        g.nRowLabelWidth, g.nRowHeight - 1, grid, 0, i);
    if (!h) return 0;
    OsHeaderItem it;
    it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    it.cxy = g.nRowLabelWidth + 1;
    it.fmt = HDF_STRING;
    if (g.pRowLabels && static_cast<std::size_t>(i) < g.pRowLabels->size()) it.text = (*g.pRowLabels)[static_cast<std::size_t>(i)];
    os_send_message(h, HDM_INSERTITEM, 0, reinterpret_cast<std::intptr_t>(&it));
    if (g.hFont) os_send_message(h, OSM_SETFONT, static_cast<std::uintptr_t>(g.hFont), 0);
    os_set_window_user(h, reinterpret_cast<std::intptr_t>(os_set_window_proc(h, yygridsubheader)));
    return h;
}

void area_resize(OsHandle grid, GridData& g) {
    if (!g.pColumns || g.nRowHeight < 2) return;
    dlgtab.bOverride = 1;
    const std::int32_t pitch = g.nRowHeight - 1;
    const std::int32_t gv = std::max(1, (area_height(g) - g.nRowHeight) / pitch + 1);
    const std::int32_t m = std::min(gv + 1, g.nRowsAllocated);
    if (m == g.nRowHeaderSlots) {
        g.nVisibleRows = gv;
    } else if (m < g.nRowHeaderSlots) {
        if (g.iCurrentRow - g.iTopRow >= m - 1) {
            g.nVisibleRows = gv;
            vscroll_to(grid, g, std::max(0, g.iCurrentRow - gv + 1));
        }
        for (std::int32_t i = m; i < g.nRowHeaders && static_cast<std::size_t>(i) < g.phRowHeaders.size(); ++i) {
            if (g.phRowHeaders[static_cast<std::size_t>(i)]) os_destroy_window(g.phRowHeaders[static_cast<std::size_t>(i)]);
            g.phRowHeaders[static_cast<std::size_t>(i)] = 0;
        }
        if (g.phRowHeaders.size() > static_cast<std::size_t>(m)) g.phRowHeaders.resize(static_cast<std::size_t>(m));
        g.nVisibleRows = gv;
        g.nRowHeaderSlots = m;
        g.nRowHeaders = std::min(m, g.nRowHeaders);
        if (!g.bNoMouse) os_set_focus(grid);
    } else if (g.nRowHeaderSlots == g.nRowHeaders) {
        if (g.iTopRow + m > g.nRows) {
            g.nVisibleRows = gv + 1;
            const std::int32_t keep = g.iCurrentRow;
            vscroll_to(grid, g, std::max(0, g.nRows - m));
            g.iCurrentRow = keep;
        }
        std::int32_t made = m;
        if (os_get_style(grid) & GS_ROWHEADERS) {
            g.phRowHeaders.resize(static_cast<std::size_t>(m), 0);
            for (std::int32_t i = g.nRowHeaderSlots; i < m; ++i) {
                const OsHandle h = make_row_header(grid, g, i);
                if (!h) {
                    made = i;
                    break;
                }
                g.phRowHeaders[static_cast<std::size_t>(i)] = h;
            }
        }
        g.nRowHeaderSlots = m;
        g.nRowHeaders = made;
        g.nVisibleRows = made < m ? made : gv;
        yyGridUpdateRowLabels(grid);
        if (!g.bNoMouse) os_set_focus(grid);
    } else {
        g.nVisibleRows = gv;
    }
    os_send_message(grid, GM_SCROLLRANGES, 0, 0);
    dlgtab.bOverride = 0;
}

void hscroll(OsHandle grid, GridData& g, std::uintptr_t wp) {
    if (!g.pColumns) return;
    std::int32_t step = 0;
    const bool editor_focus = g.hEditor && os_get_focus() == g.hEditor;
    if (!(editor_focus && editor_invalid(grid, g))) {
        const std::int32_t W = area_width(g);
        switch (static_cast<std::int32_t>(os_loword(wp))) {
        case SB_LINEUP: step = -1; break;
        case SB_LINEDOWN: step = 1; break;
        case SB_PAGEUP: {
            std::int32_t w = 1, i = g.iFirstColumn - 1;
            while (w < W && i >= 0) {
                w += g.column(i).nWidth - 1;
                --i;
            }
            std::int32_t n = g.iFirstColumn - 1 - i;
            if (w > W) --n;
            step = -std::max(0, n);
            break;
        }
        case SB_PAGEDOWN: step = g.iLastColumn - g.iFirstColumn; break;
        case SB_THUMBPOSITION: step = static_cast<std::int32_t>(os_hiword(wp)) - g.iFirstColumn; break;
        default: break;
        }
    }
    const std::int32_t target = std::clamp(g.iFirstColumn + step, 0, std::max(0, g.nMaxFirstColumn));
    step = target - g.iFirstColumn;
    if (step == 0) return;
    yygridselectnone(grid);
    const std::int32_t old = g.iFirstColumn;
    g.iFirstColumn = target;
    os_send_message(grid, GM_SCROLLRANGES, 0, 0);
    std::int32_t shift = 0;
    for (std::int32_t c = std::min(old, target); c < std::max(old, target); ++c) shift += g.column(c).nWidth - 1;
    set_header_widths(g);
    os_scroll_window_ex(g.hCellArea, step > 0 ? -shift : shift, 0, OS_SW_SCROLLCHILDREN | OS_SW_INVALIDATE | OS_SW_ERASE);
    const bool had_focus = grid_focus_inside(grid);
    yygridupdatecell(grid, std::clamp(g.iCurrentColumn, g.iFirstColumn, std::max(g.iFirstColumn, g.iLastColumn)),
                     g.iCurrentRow, false);
    if (had_focus && g.hEditor && os_get_focus() != g.hEditor) {
        grid_focus_flags.refocus = true;
        os_set_focus(g.hEditor);
        grid_focus_flags.refocus = false;
    }
    os_update_window(g.hCellArea);
    if (g.hColumnHeader) {
        os_invalidate_rect(g.hColumnHeader, nullptr, true);
        os_update_window(g.hColumnHeader);
    }
}

void vscroll(OsHandle grid, GridData& g, std::uintptr_t wp) {
    if (!g.pColumns) return;
    const std::int32_t unsaved = g.bUnsaved, changed = g.bChanged;
    std::int32_t step = 0;
    const bool editor_focus = g.hEditor && os_get_focus() == g.hEditor;
    const std::int32_t code = static_cast<std::int32_t>(os_loword(wp));
    if (!(editor_focus && editor_invalid(grid, g))) {
        switch (code) {
        case SB_LINEUP: step = -1; break;
        case SB_LINEDOWN: step = 1; break;
        case SB_PAGEUP: step = -g.nVisibleRows; break;
        case SB_PAGEDOWN: step = g.nVisibleRows; break;
        case SB_THUMBPOSITION: {
            std::int32_t target = 0;
            if (g.iPendingTopRow != 0) {
                target = g.iPendingTopRow;
                g.iPendingTopRow = 0;
            } else {
                target = static_cast<std::int32_t>(os_hiword(wp)) * std::max(1, g.nScrollFactor);
            }
            step = target - g.iTopRow;
            break;
        }
        default: break;
        }
    }
    if (code == SB_THUMBPOSITION) g.iPendingTopRow = 0;
    if (g.iTopRow + step < 0) step = -g.iTopRow;
    std::int32_t down = g.nRows - g.nVisibleRows - g.iTopRow;
    if (down < 1) down = 0;
    if (step > down) step = down;
    if (step != 0) {
        yygridselectnone(grid);
        yyGridStoreCurrent(grid);
        g.iTopRow += step;
        if (os_get_style(grid) & OS_WS_VSCROLL) {
            OsScrollInfo si;
            si.mask = OS_SIF_POS;
            si.pos = g.iTopRow / std::max(1, g.nScrollFactor);
            os_set_scroll_info(grid, OS_SB_VERT, si);
        }
        os_scroll_window_ex(g.hCellArea, 0, -step * (g.nRowHeight - 1),
                            OS_SW_SCROLLCHILDREN | OS_SW_INVALIDATE | OS_SW_ERASE);
        const bool had_focus = grid_focus_inside(grid);
        const std::int32_t last_row = std::max(g.iTopRow, g.iTopRow + g.nVisibleRows - 1);
        yygridupdatecell(grid, g.iCurrentColumn, std::clamp(g.iCurrentRow, g.iTopRow, last_row), false);
        if (had_focus && g.hEditor && os_get_focus() != g.hEditor) {
            grid_focus_flags.refocus = true;
            os_set_focus(g.hEditor);
            grid_focus_flags.refocus = false;
        }
        yyGridUpdateRowLabels(grid);
        os_update_window(g.hCellArea);
        if (g.nVisibleRows < g.nRowHeaders && static_cast<std::size_t>(g.nRowHeaders) <= g.phRowHeaders.size()) {
            const OsHandle h = g.phRowHeaders[static_cast<std::size_t>(g.nRowHeaders - 1)];
            if (h) os_show_window(h, g.iTopRow + g.nVisibleRows < g.nRows ? OS_SW_SHOWNOACTIVATE : OS_SW_HIDE);
        }
    }
    g.bUnsaved = unsaved;
    g.bChanged = changed;
}

void focus_grid_from_header(OsHandle grid) {
    grid_focus_flags.header_click = true;
    if (os_get_focus() == grid) os_send_message(grid, OSM_SETFOCUS, static_cast<std::uintptr_t>(grid), 0);
    else os_set_focus(grid);
    grid_focus_flags.header_click = false;
}

std::intptr_t header_notify(OsHandle grid, GridData& g, std::intptr_t lp) {
    const auto* n = reinterpret_cast<const OsHeaderNotify*>(lp);
    if (!n || !g.pColumns) return 0;
    if (n->hdr.code == HDN_BEGINTRACK) return 1;
    if (n->hdr.code != HDN_ITEMCLICK) return 0;
    const bool shift = shift_down();
    const std::int32_t last_row = std::max(0, g.nRows - 1);
    if (n->hdr.from == g.hColumnHeader && g.hColumnHeader) {
        if (n->item == 0) {
            focus_grid_from_header(grid);
            yygridselectrange(grid, 0, last_row, 0, g.nColumns - 1);
        } else if (n->item <= g.nColumns) {
            const std::int32_t c = n->item - 1;
            if (shift) {
                focus_grid_from_header(grid);
                yygridselectrange(grid, 0, last_row, std::min(c, g.iCurrentColumn), std::max(c, g.iCurrentColumn));
            } else {
                yygridupdatecell(grid, c, g.iTopRow, true);
                yygridselectrange(grid, 0, last_row, c, c);
            }
        }
        return 0;
    }
    const auto it = std::find(g.phRowHeaders.begin(), g.phRowHeaders.end(), n->hdr.from);
    if (it == g.phRowHeaders.end() || !n->hdr.from) return 0;
    const std::int32_t r = static_cast<std::int32_t>(it - g.phRowHeaders.begin()) + g.iTopRow;
    if (r >= g.nRows) return 0;
    if (shift) {
        focus_grid_from_header(grid);
        yygridselectrange(grid, std::min(r, g.iCurrentRow), std::max(r, g.iCurrentRow), 0, g.nColumns - 1);
    } else {
        yygridupdatecell(grid, g.iFirstColumn, r, true);
        yygridselectrange(grid, r, r, 0, g.nColumns - 1);
    }
    return 0;
}

void grid_command(OsHandle grid, GridData& g, std::int32_t id) {
    const OsHandle t = g.hEditTarget;
    switch (id) {
    case GridCmdCut:
        if (yygridclipcopy(grid)) yygridclipdelete(grid);
        break;
    case GridCmdCopy: yygridclipcopy(grid); break;
    case GridCmdPaste: yygridclippaste(grid); break;
    case GridCmdDelete: yygridclipdelete(grid); break;
    case GridCmdUndo: if (t) os_send_message(t, EM_UNDO, 0, 0); break;
    case GridCmdTextCut: if (t) os_send_message(t, OSM_CUT, 0, 0); break;
    case GridCmdTextCopy: if (t) os_send_message(t, OSM_COPY, 0, 0); break;
    case GridCmdTextPaste: if (t) os_send_message(t, OSM_PASTE, 0, 0); break;
    case GridCmdTextDelete: if (t) os_send_message(t, OSM_CLEAR, 0, 0); break;
    case GridCmdSelectAll:
        if (t) {
            os_send_message(t, EM_SETSEL, 0, -1);
            os_send_message(t, EM_SCROLLCARET, 0, 0);
        }
        break;
    default: break;
    }
}

bool is_check_box(OsHandle w) {
    if (!grid_atom_is(w, "BUTTON")) return false;
    const std::uint32_t k = os_get_style(w) & OS_BS_TYPEMASK;
    return k == OS_BS_CHECKBOX || k == OS_BS_AUTOCHECKBOX || k == OS_BS_3STATE || k == OS_BS_AUTO3STATE;
}

void context_menu(OsHandle grid, GridData& g, OsHandle clicked, std::intptr_t lp) {
    g.hEditTarget = clicked;
    const bool text_target = clicked && !is_check_box(clicked) && !grid_atom_is(clicked, "COMBOBOX") && clicked != g.hCellArea;
    const bool selection = g.iSelFirstRow >= 0;
    const bool grid_ro = (os_get_style(grid) & GS_READONLY) != 0;
    const bool target_ro = clicked && (os_get_style(clicked) & OS_ES_READONLY) != 0 && text_target;
    std::int32_t a = 0, b = 0;
    std::string text;
    if (text_target) {
        os_send_message(clicked, EM_GETSEL, reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::intptr_t>(&b));
        text = os_get_window_text(clicked);
    }
    const bool text_sel = text_target && a != b;
    const std::int32_t kind = yygridcheckclipboard();
    const OsMenu menu = os_create_popup_menu();
    int pos = 0;
    const auto add = [&](std::int32_t id, const char* label, bool enabled) {
        os_insert_menu_item(menu, pos, id, label);
        if (!enabled) os_enable_menu_item(menu, static_cast<std::uint32_t>(pos), OS_MF_BYPOSITION | OS_MF_GRAYED);
        ++pos;
    };
    const auto separator = [&] {
        os_insert_menu_item(menu, pos, 0, "");
        os_set_menu_item_look(menu, pos, 0, true, "");
        ++pos;
    };
    const bool can_cut = selection ? yygridcancut(grid) != 0 : (text_sel && !target_ro && !grid_ro);
    add(GridCmdUndo, "&Undo",
        !selection && text_target && os_send_message(clicked, EM_CANUNDO, 0, 0) && !target_ro && !grid_ro);
    separator();
    add(selection ? GridCmdCut : GridCmdTextCut, "Cu&t", can_cut);
    add(selection ? GridCmdCopy : GridCmdTextCopy, "&Copy", selection || text_sel);
    add(kind == 2 ? GridCmdPaste : GridCmdTextPaste, "&Paste",
        kind == 2 ? yygridcanpaste(grid) != 0 : (kind == 1 && text_target && !target_ro && !grid_ro));
    add(selection ? GridCmdDelete : GridCmdTextDelete, "&Delete", can_cut);
    separator();
    const bool all_selected = a == 0 && b >= static_cast<std::int32_t>(text.size());
    add(GridCmdSelectAll, "Select &All", !selection && text_target && !text.empty() && !all_selected);
    OsPoint p{static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp))),
              static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp)))};
    if (lp == -1) os_get_cursor_pos(p);
    os_track_popup_menu(menu, p.x, p.y, grid);
    os_destroy_menu(menu);
}

void mouse_down(OsHandle grid, GridData& g, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    if (msg == OSM_RBUTTONDOWN && g.iSelFirstRow >= 0) return;
    const std::int32_t x = static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp)));
    const std::int32_t y = static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp)));
    std::int32_t c = 0, r = 0;
    if (!grid_hit_cell(g, x, y, c, r)) return;
    if (msg == OSM_LBUTTONDOWN && (wp & OS_MK_SHIFT)) {
        if (c == g.iCurrentColumn && r == g.iCurrentRow) yygridselectnone(grid);
        else select_between(grid, g.iCurrentColumn, g.iCurrentRow, c, r);
        return;
    }
    yygridupdatecell(grid, c, r, false);
    if (g.hEditor && g.iCurrentColumn == c && g.iCurrentRow == r) {
        OsPoint p{x, y};
        os_client_to_screen(g.hCellArea, p);
        os_screen_to_client(g.hEditor, p);
        os_send_message(g.hEditor, msg, wp, os_make_lparam(p.x, p.y));
    }
    if (c > g.iLastColumn) os_send_message(grid, OSM_HSCROLL, SB_LINEDOWN, 0);
    if (r >= g.iTopRow + g.nVisibleRows) os_send_message(grid, OSM_VSCROLL, SB_LINEDOWN, 0);
}

void editor_notification(OsHandle grid, GridData& g, std::int32_t code, OsHandle from) {
    if (!from || from != g.hEditor) return;
    if (code == CBN_DROPDOWN) {
        g.hDroppedList = from;
        return;
    }
    if (code == CBN_CLOSEUP) {
        g.hDroppedList = 0;
        return;
    }
    const FieldRecord* own = yyfieldrecord(grid);
    const bool reports = own && own->report_changes;
    const bool changing = (code == BN_CLICKED && is_check_box(from)) || (code == CBN_SELCHANGE && grid_atom_is(from, "COMBOBOX")) ||
                          (code == EN_CHANGE && reports);
    if (changing) {
        grid_mark_changed(g);
        const bool disabled = g.pColumns && (g.column(g.iCurrentColumn).pStates[static_cast<std::size_t>(g.iCurrentRow)] &
                                             CellDisabled);
        if (!(os_get_style(grid) & GS_READONLY) && !disabled) {
            send_cell_change(grid, g);
            yygridselectnone(grid);
        } else if (code == CBN_SELCHANGE && g.pColumns) {
            const auto stored = g.column(g.iCurrentColumn).ints[static_cast<std::size_t>(g.iCurrentRow)];
            os_send_message(from, CB_SETCURSEL, static_cast<std::uintptr_t>(stored), 0);
        }
        return;
    }
    if (code == EN_CHANGE) {
        grid_mark_changed(g);
        yygridselectnone(grid);
    }
}

std::intptr_t default_button(OsHandle grid, std::uintptr_t wp, std::intptr_t lp) {
    const OsHandle dialog = os_get_parent(grid);
    const std::intptr_t answer = os_send_message(dialog, DM_GETDEFID, wp, lp);
    if (os_hiword(static_cast<std::uintptr_t>(answer)) != DC_HASDEFID) return answer;
    const std::int32_t id = os_loword(static_cast<std::uintptr_t>(answer));
    const OsHandle button = os_get_dlg_item(dialog, id);
    if (!button || !os_is_window_enabled(button)) return 0;
    os_send_message(dialog, OSM_COMMAND, static_cast<std::uintptr_t>(id), static_cast<std::intptr_t>(button));
    return answer;
}

}  // namespace

void grid_drag_select(OsHandle grid, GridData& g, std::int32_t x, std::int32_t y) {
    std::int32_t c = 0, r = 0;
    if (!grid_hit_cell(g, x, y, c, r)) return;
    if (c == g.iCurrentColumn && r == g.iCurrentRow) yygridselectnone(grid);
    else select_between(grid, g.iCurrentColumn, g.iCurrentRow, c, r);
}

void yygridupdatecell(OsHandle grid, std::int32_t column, std::int32_t row, bool focus, bool extend) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || column < 0 || column >= g->nColumns || row < 0 || row >= g->nRowsAllocated) return;
    const bool same = column == g->iCurrentColumn && row == g->iCurrentRow;
    if (same && g->hEditor && !grid_focus_flags.from_outside) return;
    if (!same && editor_invalid(grid, *g)) return;
    const std::int32_t prev_c = g->iCurrentColumn, prev_r = g->iCurrentRow;
    const std::int32_t anchor_c = g->iAnchorColumn, anchor_r = g->iAnchorRow;
    const OsHandle had = os_get_focus();
    const bool inside = had && (had == grid || os_is_child(grid, had));
    yyGridDestroyCurrent(grid);
    yyGridRedrawCell(grid, prev_c, prev_r, false);
    g->iCurrentColumn = column;
    g->iCurrentRow = row;
    grid_focus_flags.from_outside = false;
    yyGridCreateCurrent(grid);
    if (focus) {
        if (os_get_focus() == grid) os_send_message(grid, OSM_SETFOCUS, static_cast<std::uintptr_t>(grid), 0);
        else os_set_focus(grid);
    } else if (inside) {
        // The editor the focus was in went with the old cell.
        const OsHandle now = os_get_focus();
        if (g->hEditor && (!now || !os_is_window(now) || now == grid || !os_is_child(grid, now))) {
            grid_focus_flags.refocus = true;
            os_set_focus(g->hEditor);
            grid_focus_flags.refocus = false;
        }
        send_cell_change(grid, *g);
    }
    if (extend) extend_selection(grid, *g, prev_c, prev_r, anchor_c, anchor_r);
    else yygridselectnone(grid);
}

void yyGridSendScrollMessage(OsHandle grid, std::uint32_t msg, std::int32_t code, std::intptr_t lp, bool extend) {
    GridData* g = yygriddata(grid);
    if (!g) return;
    const std::int32_t prev_c = g->iCurrentColumn, prev_r = g->iCurrentRow;
    const std::int32_t anchor_c = g->iAnchorColumn, anchor_r = g->iAnchorRow;
    os_send_message(grid, msg, static_cast<std::uintptr_t>(code), lp);
    if (extend) extend_selection(grid, *g, prev_c, prev_r, anchor_c, anchor_r);
}

bool grid_window_message(OsHandle grid, GridData& g, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp,
                         std::intptr_t& out) {
    out = 0;
    switch (msg) {
    case OSM_SIZE:
        if (g.bInitialised && g.pColumns) grid_resize(grid, g);
        return true;
    case OSM_SETFOCUS: {
        if (!grid_focus_flags.header_click) send_cell_change(grid, g);
        if (g.bInitialised && g.pColumns) {
            if (g.iCurrentRow < g.iTopRow) vscroll_to(grid, g, g.iCurrentRow);
            else if (g.nVisibleRows > 0 && g.iCurrentRow >= g.iTopRow + g.nVisibleRows)
                vscroll_to(grid, g, g.iCurrentRow - g.nVisibleRows + 1);
            if (g.iCurrentColumn < g.iFirstColumn) hscroll_to(grid, g.iCurrentColumn);
            else if (g.iCurrentColumn > g.iLastColumn) hscroll_to(grid, first_for_rightmost(g, g.iCurrentColumn, area_width(g)));
        }
        if (!g.hEditor) return false;
        os_set_focus(g.hEditor);
        if (g.pColumns && g.column(g.iCurrentColumn).iType <= GridDouble &&
            static_cast<OsHandle>(wp) == g.hCellArea && g.hCellArea) {
            os_send_message(g.hEditor, EM_SETSEL, 0, -1);
            os_send_message(g.hEditor, EM_SCROLLCARET, 0, 0);
        }
        return true;
    }
    case OSM_NOTIFY:
        out = header_notify(grid, g, lp);
        if (out) return true;
        return false;
    case OSM_COMMAND:
        if (lp == 0) grid_command(grid, g, static_cast<std::int32_t>(os_loword(wp)));
        return true;
    case OSM_HSCROLL:
        hscroll(grid, g, wp);
        return true;
    case OSM_VSCROLL:
        if (lp != 0) return false;
        vscroll(grid, g, wp);
        return true;
    case OSM_MOUSEWHEEL: {
        g.nWheelDelta += static_cast<std::int16_t>(os_hiword(wp));
        while (g.nWheelDelta <= -120) {
            os_send_message(grid, OSM_VSCROLL, SB_LINEDOWN, 0);
            g.nWheelDelta += 120;
        }
        while (g.nWheelDelta >= 120) {
            os_send_message(grid, OSM_VSCROLL, SB_LINEUP, 0);
            g.nWheelDelta -= 120;
        }
        return true;
    }
    default:
        return false;
    }
}

std::intptr_t yygridwndprocclient(OsHandle area, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const OsHandle grid = os_get_parent(area);
    GridData* g = yygriddata(grid);
    if (!g || g->hCellArea != area) return os_def_window_proc(area, msg, wp, lp);
    switch (msg) {
    case OSM_SIZE:
        area_resize(grid, *g);
        return 0;
    case OSM_PAINT:
        grid_paint_area(grid, *g);
        return 0;
    case OSM_CONTEXTMENU:
        context_menu(grid, *g, static_cast<OsHandle>(wp), lp);
        return 0;
    case OSM_COMMAND:
        editor_notification(grid, *g, static_cast<std::int32_t>(os_hiword(wp)), static_cast<OsHandle>(lp));
        return 0;
    case OSM_VSCROLL:
        if (lp != 0 && os_loword(wp) != SB_ENDSCROLL) {
            if (!yyismodaldialog(grid)) send_cell_change(grid, *g);
            grid_mark_changed(*g);
            yygridselectnone(grid);
        }
        return 0;
    case OSM_CTLCOLOREDIT:
    case OSM_CTLCOLORBTN:
        return grid_editor_colours(grid, *g, msg, static_cast<OsDC>(wp), static_cast<OsHandle>(lp));
    case OSM_LBUTTONDOWN:
    case OSM_RBUTTONDOWN:
        mouse_down(grid, *g, msg, wp, lp);
        return 0;
    case OSM_MOUSEMOVE:
        // The layer's editors keep no hold of the pointer: a drag that
        // leaves the editor goes on over the cell area.
        if (wp & OS_MK_LBUTTON) grid_drag_select(grid, *g, static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp))),
                                                 static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp))));
        return 0;
    case OSM_NCHITTEST:
        if (g->bNoMouse) return -1;   // transparent to the mouse
        break;
    case DM_GETDEFID:
        return default_button(grid, wp, lp);
    case OSM_MOUSEWHEEL:
        return os_send_message(grid, msg, wp, lp);
    case OSM_CLOSE:
    case OSM_NEXTDLGCTL:
    case OSM_NOTIFY:
        return os_send_message(os_get_parent(grid), msg, wp, lp);
    default:
        break;
    }
    return os_def_window_proc(area, msg, wp, lp);
}

std::intptr_t yygridsubheader(OsHandle header, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const auto old = reinterpret_cast<OsWndProc>(os_get_window_user(header));
    if (msg == OSM_SETCURSOR) {
        os_set_cursor(os_load_cursor(OS_IDC_ARROW));
        return 1;
    }
    if (msg == OSM_NCHITTEST) {
        GridData* g = yygriddata(os_get_parent(header));
        if (g && g->bNoMouse) return -1;   // transparent to the mouse
    }
    return old ? old(header, msg, wp, lp) : os_def_window_proc(header, msg, wp, lp);
}

std::intptr_t yygridspinwndproc(OsHandle updown, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    if (msg == OSM_LBUTTONDOWN && (wp & OS_MK_SHIFT)) {
        const auto buddy = static_cast<OsHandle>(os_send_message(updown, UDM_GETBUDDY, 0, 0));
        if (buddy) return os_send_message(buddy, msg, wp, lp);
    }
    const auto old = reinterpret_cast<OsWndProc>(os_get_window_user(updown));
    return old ? old(updown, msg, wp, lp) : os_def_window_proc(updown, msg, wp, lp);
}
