// The frame procedure of a grid window: the current cell in the status bar
// and as a library message, layout and size limits, menu states and
// prompts, the commands, tooltips, spin steps of the cell editors,
// activation, closing and destruction.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/dialog/fields.h"
#include "lib/grid/grid_p.h"
#include "lib/grid/grid_window.h"
#include "lib/grid/window_kinds.h"
#include "lib/window/childwin.h"
#include "lib/window/convert.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "lib/window/splitwin.h"
#include "lib/window/winops.h"
#include "lib/window/wininfo.h"
#include "platform/os_dialog.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"

namespace {

// Messages of plain edit controls the clipboard commands send.
constexpr std::uint32_t EditCopy = 0x0301, EditPaste = 0x0302, EditClear = 0x0303;
constexpr std::uint32_t ParentNotify = 0x0210;

bool is_child(OsHandle w) { return (os_get_style(w) & OS_WS_CHILD) != 0; }
std::int32_t height_of(OsHandle w) {
    OsRect r;
    return w && os_get_window_rect(w, r) ? r.height() : 0;
}
std::int32_t user_width(OsHandle w) { return w ? static_cast<std::int32_t>(os_get_window_user(w)) : 0; }

std::intptr_t pass_on(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    return yyWndProc(frame, msg, wp, lp);
}

void status_number(OsHandle bar, std::int32_t part, std::uint32_t value) {
    char t[32];
    std::snprintf(t, sizeof t, "\t\t%u", value);
    os_send_message(bar, OSM_SB_SETTEXT, static_cast<std::uintptr_t>(part), reinterpret_cast<std::intptr_t>(t));
}

void cell_changed(OsHandle frame, GridWindowData& r, std::intptr_t cell) {
    if (r.iMode == DialogModal) return;
    const auto packed = static_cast<std::uint32_t>(cell);
    if (r.hStatusBar) {
        status_number(r.hStatusBar, 1, packed & 0x3FFFF);
        status_number(r.hStatusBar, 3, packed >> 18);
        os_update_window(r.hStatusBar);
    }
    const std::int32_t slot = yygetwindowindex(frame);
    if (wmsg.wMessageEnabled[ix(MsgFieldChanged - 1)]) {
        wmsg.wMessageType = MsgFieldChanged;
        wmsg.wMessageValue1 = wmsg.wMessageValue2 = wmsg.wMessageValue3 = 0;
        wmsg.wMessageValue4 = -1;
        if (wmsg.bSetFromCell) {
            wmsg.wMessageX = r.iLastCell;
            wmsg.bSetFromCell = 0;
        }
        wmsg.wMessageY = static_cast<std::int32_t>(cell);
        wmsg.wMessageWin = slot;
        wmsg.wMessageTime = os_get_message_time();
        wmsg.wValidMessage = 0;
    }
    r.iLastCell = static_cast<std::int32_t>(cell);
    if (valid_slot(slot)) yysplitpanefocus(slot);
}

void layout(OsHandle frame, GridWindowData& r, std::uintptr_t kind) {
    const std::int32_t slot = yygetwindowindex(frame);
    if (is_child(frame) && valid_slot(slot)) {
        auto& cr = wtab.wChildRect[ix(slot)];
        if (kind == OS_SIZE_MAXIMIZED && cr.left == -999) {
            OsPlacement p;
            os_get_window_placement(frame, p);
            cr = {p.normal.left, p.normal.top, p.normal.right, p.normal.bottom};
        } else if (kind == OS_SIZE_RESTORED && cr.left != -999) {
            OsPlacement p;
            os_get_window_placement(frame, p);
            p.normal = {cr.left, cr.top, cr.right, cr.bottom};
            p.show = OS_SW_SHOWNORMAL;
            cr.left = -999;
            os_set_window_placement(frame, p);
        } else if (kind == OS_SIZE_MINIMIZED) {
            os_send_message(frame, OSM_NCACTIVATE, 0, 0);
            if (const OsHandle gp = os_get_parent(os_get_parent(frame))) os_send_message(gp, OSM_NCACTIVATE, 1, 0);
        }
    }
    if (kind == OS_SIZE_MINIMIZED) return;
    OsRect c;
    os_get_client_rect(frame, c);
    std::int32_t top = 0, bottom = c.bottom, left = 0, right = c.right;
    if (r.hStatusBar) {
        os_invalidate_rect(r.hStatusBar, nullptr, true);
        os_send_message(r.hStatusBar, OSM_SIZE, 0, os_make_lparam(c.right, c.bottom));
        bottom -= height_of(r.hStatusBar);
    }
    if (r.hGridToolbar) {
        os_send_message(r.hGridToolbar, OSM_TB_AUTOSIZE, 0, 0);
        const std::int32_t h = height_of(r.hGridToolbar);
        os_move_window(r.hGridToolbar, 0, 0, c.right, h, true);
        top += h;
    }
    if (r.hToolbarTop) {
        const std::int32_t h = height_of(r.hToolbarTop);
        os_move_window(r.hToolbarTop, 0, top, c.right, h, true);
        top += h;
    }
    if (r.hToolbarBottom) {
        const std::int32_t h = height_of(r.hToolbarBottom);
        os_move_window(r.hToolbarBottom, 0, bottom - h, c.right, h, true);
        bottom -= h;
    }
    if (r.hToolbarLeft) {
        const std::int32_t w = user_width(r.hToolbarLeft);
        os_move_window(r.hToolbarLeft, 0, top, w, bottom - top, true);
        left += w;
    }
    if (r.hToolbarRight) {
        const std::int32_t w = user_width(r.hToolbarRight);
        os_move_window(r.hToolbarRight, right - w, top, w, bottom - top, true);
        right -= w;
    }
    const std::int32_t w = std::max(0, right - left), h = std::max(0, bottom - top);
    if (r.hGrid) os_move_window(r.hGrid, left, top, w, h, true);
    if (valid_slot(slot) && wtab.hClient[ix(slot)]) os_move_window(wtab.hClient[ix(slot)], left, top, w, h, false);
}

// The content of the grid: width and height of all its cells (each at most
// 10000) and the broadest column.
struct Content {
    std::int32_t w = 1, h = 1, widest = 0;
};
Content content(const GridData& g) {
    Content c;
    for (const GridColumn& col : *g.pColumns) {
        c.w += col.nWidth - 1;
        c.widest = std::max(c.widest, col.nWidth);
    }
    c.w = std::min(c.w, 10000);
    c.h = std::min(10000, g.nRows * (g.nRowHeight - 1) + 1);
    return c;
}

// The frame size that shows a content rectangle of w x h.
OsPoint frame_size(OsHandle frame, const GridWindowData& r, const GridData& g, std::int32_t w, std::int32_t h) {
    OsRect rc{0, 0, w, h};
    const std::uint32_t gs = os_get_style(r.hGrid);
    os_adjust_window_rect(rc, gs, false, os_get_ex_style(r.hGrid));
    std::int32_t fw = rc.width() + g.nRowLabelWidth + user_width(r.hToolbarLeft) + user_width(r.hToolbarRight);
    std::int32_t fh = rc.height() + g.nHeaderHeight + height_of(r.hStatusBar) + height_of(r.hGridToolbar) +
                      height_of(r.hToolbarTop) + height_of(r.hToolbarBottom);
    OsRect fr{0, 0, fw, fh};
    os_adjust_window_rect(fr, os_get_style(frame), os_get_menu(frame) != 0, os_get_ex_style(frame));
    fw = fr.width();
    fh = fr.height();
    if (gs & 0x115) fw += os_get_system_metrics(OS_SM_CYHSCROLL);
    if (gs & 0x114) fh += os_get_system_metrics(OS_SM_CXVSCROLL);
    return {fw, fh};
}

void min_max(OsHandle frame, GridWindowData& r, OsMinMaxInfo& mm) {
    GridData* g = yygriddata(r.hGrid);
    if (!g || !g->pColumns) return;
    const Content c = content(*g);
    const OsPoint full = frame_size(frame, r, *g, c.w, c.h);
    // The reference: the first child of the last top-level window.
    std::int32_t limit_w = full.x, limit_h = full.y;
    if (is_child(frame)) {
        OsHandle top = frame;
        while (os_get_parent(top)) top = os_get_parent(top);
        const auto children = os_child_windows(top);
        if (!children.empty()) {
            OsRect cr;
            os_get_client_rect(children.front(), cr);
            OsRect edge{0, 0, 0, 0};
            os_adjust_window_rect(edge, 0, false, OS_WS_EX_CLIENTEDGE);
            limit_w = cr.width() + edge.width();
            limit_h = cr.height() + edge.height();
        }
    }
    const std::int32_t mw = std::min({mm.max_size.x, full.x, limit_w});
    const std::int32_t mh = std::min({mm.max_size.y, full.y, limit_h});
    mm.max_size = {mw, mh};
    mm.max_track = {std::min({mm.max_track.x, full.x, limit_w}), std::min({mm.max_track.y, full.y, limit_h})};
    mm.min_track = frame_size(frame, r, *g, c.widest, g->nRowHeight);
}

bool any_disabled(const GridData& g, std::int32_t from_row, std::int32_t to_row) {
    for (const GridColumn& c : *g.pColumns)
        for (std::int32_t row = std::max(0, from_row); row <= to_row && row < static_cast<std::int32_t>(c.pStates.size()); ++row)
            if (c.pStates[static_cast<std::size_t>(row)] & CellDisabled) return true;
    return false;
}

void grey(OsHandle menu, std::int32_t id, bool off) {
    os_enable_menu_item(menu, static_cast<std::uint32_t>(id), OS_MF_BYCOMMAND | (off ? OS_MF_GRAYED : OS_MF_ENABLED));
}

bool editor_has_selection(OsHandle editor) {
    if (!editor) return false;
    const auto sel = static_cast<std::uint32_t>(os_send_message(editor, EM_GETSEL, 0, 0));
    return (sel & 0xFFFF) != (sel >> 16);
}

bool read_only(OsHandle w) { return (os_get_style(w) & OS_ES_READONLY) != 0; }

void menu_states(GridWindowData& r, OsHandle popup) {
    GridData* g = yygriddata(r.hGrid);
    if (!g || !g->pColumns) return;
    const bool selection = g->iSelFirstRow != -1;
    const OsHandle editor = yyGridGetEditCell(*g);
    const bool grid_ro = (os_get_style(r.hGrid) & GS_READONLY) != 0;
    const bool check = r.iIgnoreDisabled == 0;
    grey(popup, GridWinPrintSelection, !selection);
    const bool cut_off = selection ? yygridcancut(r.hGrid) == 0
                                   : (!editor || !editor_has_selection(editor) || read_only(editor) || grid_ro);
    grey(popup, GridWinCut, cut_off);
    grey(popup, GridWinDelete, cut_off);
    grey(popup, GridWinCopy, !selection && !editor_has_selection(editor));
    const std::int32_t kind = yygridcheckclipboard();
    const bool paste_off = kind == 2   ? yygridcanpaste(r.hGrid) == 0
                           : kind == 1 ? (!editor || read_only(editor) || grid_ro)
                                       : true;
    grey(popup, GridWinPaste, paste_off);
    grey(popup, GridWinSort, grid_ro || (check && any_disabled(*g, 0, g->nRows - 1)));
    const std::int32_t row = g->iCurrentRow;
    grey(popup, GridWinInsertAfter,
         grid_ro || (check && any_disabled(*g, row + 1, g->nRowsAllocated - 1)) || row >= g->nRowsAllocated - 1 ||
             (row == g->nRows - 1 && !r.bAddRows));
    const bool rows_off = grid_ro || (check && any_disabled(*g, row, g->nRowsAllocated - 1));
    grey(popup, GridWinInsertBefore, rows_off);
    grey(popup, GridWinDeleteRow, rows_off);
    grey(popup, GridWinFindNext, r.szFindText[0] == '\0');
}

const char* builtin_prompt(std::int32_t id) {
    switch (id) {
    case GridWinFileMenu: return "Commands to Load and Save files";
    case GridWinEditMenu: return "Commands for Editing and Sorting cells";
    case GridWinSearchMenu: return "Commands for Searching and Navigation";
    case GridWinNew: return "Clears the grid";
    case GridWinOpen: return "Loads an existing grid";
    case GridWinSave: return "Saves the grid";
    case GridWinSaveAs: return "Saves the grid with a new name";
    case GridWinSaveHtml: return "Saves the grid as an HTML document";
    case GridWinPrint: return "Prints the grid";
    case GridWinPrintSelection: return "Prints the selected cells";
    case GridWinExit: return "Closes the grid; prompts you to save changes";
    case GridWinCut: return "Cuts the selected cells and places them on the clipboard";
    case GridWinCopy: return "Copies the selected cells and places them on the clipboard";
    case GridWinPaste: return "Inserts clipboard contents";
    case GridWinDelete: return "Clears the selected cells";
    case GridWinSelectAll: return "Selects the entire grid";
    case GridWinSort: return "Sorts the rows of the grid";
    case GridWinInsertBefore: return "Inserts a row into the grid, before the current row";
    case GridWinInsertAfter: return "Inserts a row into the grid, after the current row";
    case GridWinDeleteRow: return "Deletes a row from the grid";
    case GridWinFind: return "Finds the specified string value";
    case GridWinFindNext: return "Repeats the last find";
    case GridWinGotoCell: return "Moves to the specified cell";
    case GridWinGotoRow: return "Moves to the specified row";
    case GridWinGotoColumn: return "Moves to the specified column";
    default: return nullptr;
    }
}

// A prompt of the menu: true when the grid window showed one.
bool menu_prompt(GridWindowData& r, std::uintptr_t wp, std::intptr_t lp) {
    const std::uint32_t flags = static_cast<std::uint32_t>(wp) >> 16;
    std::int32_t id = static_cast<std::int32_t>(wp & 0xFFFF);
    if (flags == OS_MENU_CLOSED) return false;
    if (flags & OS_MF_POPUP) id = os_get_menu_item_id(static_cast<OsMenu>(lp), id);
    std::intptr_t data = 0;
    const char* text = nullptr;
    if (r.hMenu && os_get_menu_item_data(r.hMenu, static_cast<std::uint32_t>(id), OS_MF_BYCOMMAND, data) && data)
        text = reinterpret_cast<const char*>(data);
    if (!text) text = builtin_prompt(id);
    if (!text) return false;
    os_send_message(r.hStatusBar, OSM_SB_SETTEXT, OS_SB_SIMPLEID | OS_SBT_NOBORDERS, reinterpret_cast<std::intptr_t>(text));
    return true;
}

void report(std::int32_t id, OsHandle frame) { yyinterpretmessage(MsgMenu, 0, static_cast<std::uintptr_t>(id), 0, frame); }

bool go_on(std::int32_t slot, GridWindowData& r, GridData& g) {
    if (!r.bCanSave) return true;
    std::int32_t result = 0;
    yygridwinsaveprompt(slot, g.bUnsaved, result, r.iFileType, r.bBackup, r.szFileName, r.szFilter);
    return result == 1;
}

void command(OsHandle frame, GridWindowData& r, std::int32_t id) {
    const std::int32_t slot = yygetwindowindex(frame);
    GridData* g = yygriddata(r.hGrid);
    if (!g || !g->pColumns) return report(id, frame);
    const OsHandle editor = yyGridGetEditCell(*g);
    std::int32_t result = 0;
    switch (id) {
    case GridWinNew:
        if (!r.bCanNew || !go_on(slot, r, *g)) return;
        yyGridClear(r.hGrid, 0);
        r.szFileName[0] = '\0';
        yyGridTitle(frame);
        g->bUnsaved = g->bChanged = 0;
        return report(id, frame);
    case GridWinOpen:
        if (!r.bCanOpen || !go_on(slot, r, *g)) return;
        yygridwinload(slot, 1, r.bAddRows, result, r.iFileType, r.szFileName, r.szFilter);
        if (result != 1) return;
        if ((g = yygriddata(r.hGrid))) g->bUnsaved = g->bChanged = 0;
        yyGridTitle(frame);
        return report(id, frame);
    case GridWinSave:
    case GridWinSaveAs:
        if (!(id == GridWinSave ? r.bCanSave : r.bCanSaveAs)) return;
        yygridwinsave(slot, id == GridWinSave ? 0 : 1, result, r.iFileType, r.bBackup, r.szFileName, r.szFilter);
        if (result != 1) return;
        yyGridTitle(frame);
        if ((g = yygriddata(r.hGrid))) g->bUnsaved = 0;
        return report(id, frame);
    case GridWinSaveHtml:
        if (!r.bCanSaveHtml) return;
        yygridwinsavehtml(slot, g->iSelFirstRow, g->iSelLastRow, g->iSelFirstColumn, g->iSelLastColumn, result,
                          r.bBackup, r.szFileName);
        if (result == 1) report(id, frame);
        return;
    case GridWinPrint:
        yygridwinprint(slot, 0, g->nRows - 1, 0, g->nColumns - 1, result);
        if (result == 1) report(id, frame);
        return;
    case GridWinPrintSelection:
        yygridwinprint(slot, g->iSelFirstRow, g->iSelLastRow, g->iSelFirstColumn, g->iSelLastColumn, result);
        if (result == 1) report(id, frame);
        return;
    case GridWinExit:
        os_send_message(frame, OSM_CLOSE, 0, 0);
        return;
    case GridWinCut:
        if (g->iSelFirstRow != -1) {
            if (yygridclipcopy(r.hGrid)) yygridclipdelete(r.hGrid);
        } else if (editor) {
            os_send_message(editor, EditCopy, 0, 0);
            os_send_message(editor, EditClear, 0, 0);
        }
        return;
    case GridWinCopy:
        if (g->iSelFirstRow != -1) yygridclipcopy(r.hGrid);
        else if (editor) os_send_message(editor, EditCopy, 0, 0);
        return;
    case GridWinPaste: {
        const std::int32_t kind = yygridcheckclipboard();
        if (kind == 1 && editor) os_send_message(editor, EditPaste, 0, 0);
        else if (kind == 2) yygridclippaste(r.hGrid);
        return;
    }
    case GridWinDelete:
        if (g->iSelFirstRow != -1) yygridclipdelete(r.hGrid);
        else if (editor) os_send_message(editor, EditClear, 0, 0);
        return;
    case GridWinSelectAll:
        yygridselectrange(r.hGrid, 0, g->nRows - 1, 0, g->nColumns - 1);
        return;
    case GridWinSort:
        yygridwinsort(slot, r.bMoveRowLabels, result);
        if (result == 1) report(id, frame);
        return;
    case GridWinInsertBefore:
    case GridWinInsertAfter:
    case GridWinDeleteRow:
        if (!r.bCanEditRows) return;
        if (id == GridWinDeleteRow) yygridwindeleterow(slot, r.bMoveRowLabels, r.bAddRows);
        else yygridwininsertrow(slot, r.bMoveRowLabels, r.bAddRows, id == GridWinInsertAfter ? 1 : 0);
        report(id, frame);
        if ((g = yygriddata(r.hGrid))) g->bUnsaved = g->bChanged = 1;
        return;
    case GridWinFind:
    case GridWinFindNext:
        if (r.bCanFind) yygridwinfind(slot, id == GridWinFind ? 1 : 2, r.bFindMatchCase, r.bFindNumbers, r.szFindText);
        return;
    case GridWinGotoCell:
    case GridWinGotoRow:
    case GridWinGotoColumn:
        yygridwingoto(slot, id - GridWinGotoCell + 1);
        return;
    default:
        return report(id, frame);
    }
}

const char* tooltip_text(std::uintptr_t id) {
    switch (id) {
    case GridWinNew: return "New";
    case GridWinOpen: return "Open";
    case GridWinSave: return "Save";
    case GridWinPrint: return "Print";
    case GridWinFind: return "Find";
    case GridWinCut: return "Cut";
    case GridWinCopy: return "Copy";
    case GridWinPaste: return "Paste";
    default: return "";
    }
}

void activate(OsHandle frame) {
    if (is_child(frame)) {
        const OsHandle parent = os_get_parent(frame);
        if (parent && wtab.atomClient && os_window_class_atom(parent) == wtab.atomClient) {
            os_set_window_pos(frame, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_SHOWWINDOW);
            os_set_active_window(frame);
            OsHandle f = os_get_focus();
            while (f && f != frame) f = os_get_parent(f);
            if (!f) os_set_focus(frame);
        }
    }
    yytitlecolour(frame);
}

void closing(OsHandle frame, GridWindowData& r) {
    GridData* g = yygriddata(r.hGrid);
    const std::int32_t slot = yygetwindowindex(frame);
    if (g && !go_on(slot, r, *g)) return;
    if (r.iMode != DialogModal) {
        yyinterpretmessage(MsgClose, 0, 0, 0, frame);
        return;
    }
    r.bEndModal = 1;
    grid_state.last_unsaved = g ? g->bUnsaved : 0;
    grid_state.last_changed = g ? g->bChanged : 0;
    grid_state.last_texts = {r.szFindText, r.szExtraText, r.szFileName};
    os_destroy_window(frame);
}

void destroyed(OsHandle frame, GridWindowData& r) {
    const std::int32_t slot = yygetwindowindex(frame);
    if (r.iMode == DialogSemiModeless) {
        if (dlgtab.nSemi > 0) --dlgtab.nSemi;
        const OsHandle back = valid_slot(slot) && wtab.hPrevious[ix(slot)] ? wtab.hPrevious[ix(slot)] : wtab.wWindow[0];
        if (back) {
            yyEnableDialogs(back, true);
            os_enable_window(back, true);
            os_set_active_window(back);
            os_set_focus(back);
        }
    }
    if (r.hGridAccel) os_destroy_accelerators(r.hGridAccel);
    if (r.hUserAccel) os_destroy_accelerators(r.hUserAccel);
    r.hGridAccel = r.hUserAccel = 0;
    if (valid_slot(slot)) yyClearMenuPrompt(wtab.hMenuRoot[ix(slot)], slot);
    if (r.iMode == DialogModal && valid_slot(slot)) {
        yyreleaseslotdc(slot);
        // Top-level windows it owns are forgotten with it.
        for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
            const OsHandle f = wtab.wWindow[ix(s)];
            if (s == slot || !f || is_child(f)) continue;
            for (OsHandle o = os_get_parent(f); o; o = os_get_parent(o))
                if (o == frame) {
                    yyclearslot(s);
                    break;
                }
        }
        if (wtab.hWinCur == frame || wtab.wIndex == slot) {
            wtab.hWinCur = wtab.wWindow[0];
            wtab.wIndex = 0;
        }
        // Its menu goes with it here: the slot is forgotten before the frame
        // procedure would release it.
        if (wtab.hMenuRoot[ix(slot)]) os_destroy_menu(wtab.hMenuRoot[ix(slot)]);
        yyclearslot(slot);
    }
    // No dialog owns the grid copy: its record goes with it.
    if (r.hGrid) grid_release_record(r.hGrid);
    os_set_window_user(frame, 0);
    if (!r.bInModalLoop) delete &r;
}

}  // namespace

std::intptr_t yyGridWindowWndProc(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    GridWindowData* r = yygridwindata(frame);
    if (!r) return pass_on(frame, msg, wp, lp);
    if (msg != 0 && msg == grid_state.GM_CELLCHANGE) {
        cell_changed(frame, *r, lp);
        return 0;
    }
    switch (msg) {
    case OSM_SETFONT:
        grid_window_choices.font = static_cast<OsHandle>(wp);
        return pass_on(frame, msg, wp, lp);
    case OSM_GETFONT:
        return grid_window_choices.font;
    case OSM_SIZE:
        layout(frame, *r, wp);
        return 0;
    case OSM_GETMINMAXINFO:
        if (lp) min_max(frame, *r, *reinterpret_cast<OsMinMaxInfo*>(lp));
        return 0;
    case OSM_INITMENUPOPUP:
        menu_states(*r, static_cast<OsHandle>(wp));
        if (static_cast<OsHandle>(wp) == r->hEditMenu) return 0;
        break;
    case OSM_ENTERMENULOOP:
        if (r->hStatusBar) {
            os_send_message(r->hStatusBar, OSM_SB_SETTEXT, OS_SB_SIMPLEID, reinterpret_cast<std::intptr_t>(""));
            os_send_message(r->hStatusBar, OSM_SB_SIMPLE, 1, 0);
        }
        break;
    case OSM_EXITMENULOOP:
        if (r->hStatusBar) os_send_message(r->hStatusBar, OSM_SB_SIMPLE, 0, 0);
        wmsg.hWinMenuClick = 0;
        break;
    case OSM_MENUSELECT:
        if (r->hStatusBar && menu_prompt(*r, wp, lp)) return 0;
        break;
    case OSM_COMMAND: {
        const std::uint32_t code = os_hiword(wp);
        if (code > 1) break;
        command(frame, *r, os_loword(wp));
        return 0;
    }
    case OSM_NOTIFY: {
        auto* hdr = reinterpret_cast<OsNotifyHeader*>(lp);
        if (!hdr) break;
        if (hdr->code == OS_TTN_NEEDTEXT) {
            if (!r->hTooltips || hdr->from != r->hTooltips) break;
            auto* tt = reinterpret_cast<OsToolTipText*>(lp);
            std::snprintf(tt->text, sizeof tt->text, "%s", tooltip_text(hdr->id));
            if (tt->text[0]) return 0;
            break;
        }
        if (hdr->code == OS_UDN_DELTAPOS) {
            // A cell editor's spin button steps as the dialog fields do.
            const auto buddy = static_cast<OsHandle>(os_send_message(hdr->from, UDM_GETBUDDY, 0, 0));
            if (!yyisspinfield(buddy)) break;
            return yyspinchange(frame, lp);
        }
        break;
    }
    case OSM_MOUSEACTIVATE:
        activate(frame);
        return 0;
    case ParentNotify: {
        const std::uint32_t event = os_loword(wp);
        if (event == OSM_LBUTTONDOWN || event == OSM_MBUTTONDOWN || event == OSM_RBUTTONDOWN) activate(frame);
        return 0;
    }
    case OSM_SETFOCUS:
        wtab.hWinCur = frame;
        dlgtab.hDlgCur = 0;
        if (r->hGrid) os_set_focus(r->hGrid);
        return 0;
    case OSM_CLOSE:
        closing(frame, *r);
        return 0;
    case OSM_DESTROY:
        destroyed(frame, *r);
        return pass_on(frame, msg, wp, lp);
    default:
        break;
    }
    return pass_on(frame, msg, wp, lp);
}

void yyGridWinSize(GridWindowData& r) {
    GridData* g = yygriddata(r.hGrid);
    const std::int32_t slot = wtab.wIndex;
    if (!g || !g->pColumns || !valid_slot(slot)) return;
    const OsHandle frame = wtab.wWindow[ix(slot)];
    const Content c = content(*g);
    const OsPoint need = frame_size(frame, r, *g, c.w, c.h);
    OsRect fr;
    os_get_window_rect(frame, fr);
    std::int32_t w = fr.width(), h = fr.height();
    const bool wide = w >= need.x, tall = h >= need.y;
    if (wide && tall) {
        w = need.x;
        h = need.y;
    } else if (wide) {
        w = need.x;
    } else if (tall) {
        h = need.y;
    } else {
        return;
    }
    os_set_window_pos(frame, 0, 0, 0, w, h, OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
}
