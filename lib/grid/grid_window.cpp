// Turning a child window into a grid window: the record, menus, tool bar,
// status bar, a copy of the dialog's grid field in the frame, the modal
// loop, the title, and what the window layer asks of a grid window (its
// keys and its release).
#include "lib/grid/grid_window.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid_p.h"
#include "lib/grid/window_kinds.h"
#include "lib/window/errors.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "lib/window/splitwin.h"
#include "lib/window/wininfo.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "platform/os_gridpaint.h"
#include "platform/os_menu.h"
#include "platform/os_resource.h"
#include "platform/os_stdimages.h"
#include "platform/os_window.h"

GridWindowChoices grid_window_choices;
void reset_grid_window_choices() { grid_window_choices = GridWindowChoices{}; }

namespace {

bool is_child(OsHandle w) { return (os_get_style(w) & OS_WS_CHILD) != 0; }
OsHandle grandparent(OsHandle w) { return os_get_parent(os_get_parent(w)); }
bool is_pane(OsHandle w) { return is_child(w) && yyspecialkind(grandparent(w)) == WindowKindSplit; }

template <std::size_t N>
void put_text(char (&dst)[N], std::string_view src) {
    const std::size_t n = std::min(N - 1, src.substr(0, src.find('\0')).size());
    if (n > 0) std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

// An InsideParent child, or a pane of split windows whose outermost frame is one.
bool counts_as_inside(OsHandle frame) {
    if (!is_child(frame)) return false;
    if (!is_pane(frame)) return true;
    OsHandle w = frame;
    for (int guard = 0; guard <= MaxChildWindows && is_pane(w); ++guard) w = grandparent(w);
    return is_child(w);
}

void add_item(OsMenu m, std::int32_t id, const char* text) { os_insert_menu_item(m, -1, id, text); }
void add_separator(OsMenu m) { os_insert_menu_item(m, -1, 0, ""); }

void build_popups(GridWindowData& r) {
    const bool keys = r.hGridAccel != 0;
    const auto keyed = [keys](const char* with, const char* without) { return keys ? with : without; };
    r.hFileMenu = os_create_popup_menu();
    r.hEditMenu = os_create_popup_menu();
    r.hSearchMenu = os_create_popup_menu();
    const OsMenu f = r.hFileMenu, e = r.hEditMenu, s = r.hSearchMenu;
    if (r.bCanNew) add_item(f, GridWinNew, keyed("&New\tCtrl+N", "&New"));
    if (r.bCanOpen) add_item(f, GridWinOpen, keyed("&Open\tCtrl+O", "&Open"));
    if (r.bCanSave) add_item(f, GridWinSave, keyed("&Save\tCtrl+S", "&Save"));
    if (r.bCanSaveAs) add_item(f, GridWinSaveAs, keyed("Save &As\tF12", "Save &As"));
    if (r.bCanSaveHtml) add_item(f, GridWinSaveHtml, "Save As &HTML");
    if (r.bCanNew || r.bCanOpen || r.bCanSave || r.bCanSaveAs || r.bCanSaveHtml) add_separator(f);
    if (r.bCanPrint) {
        add_item(f, GridWinPrint, keyed("&Print\tCtrl+P", "&Print"));
        add_item(f, GridWinPrintSelection, "Prin&t Selection");
        add_separator(f);
    }
    add_item(f, GridWinExit, "E&xit");
    if (!r.bReadOnly) add_item(e, GridWinCut, "Cu&t\tCtrl+X");
    add_item(e, GridWinCopy, "&Copy\tCtrl+C");
    if (!r.bReadOnly) {
        add_item(e, GridWinPaste, "&Paste\tCtrl+V");
        add_item(e, GridWinDelete, "&Delete\tDel");
    }
    add_separator(e);
    add_item(e, GridWinSelectAll, "Select &All");
    if (!r.bReadOnly) {
        add_separator(e);
        add_item(e, GridWinSort, "&Sort");
    }
    if (r.bCanEditRows) {
        add_item(e, GridWinInsertBefore, "&Insert Row Before Current\tCtrl+I");
        add_item(e, GridWinInsertAfter, "&Insert Row After Current\tCtrl+Shift+I");
        add_item(e, GridWinDeleteRow, "D&elete Row\tCtrl+E");
    }
    if (r.bCanFind) {
        add_item(s, GridWinFind, keyed("&Find\tCtrl+F", "&Find"));
        add_item(s, GridWinFindNext, keyed("Find &Next\tF3", "Find &Next"));
        add_separator(s);
    }
    add_item(s, GridWinGotoCell, "&Goto Cell");
    add_item(s, GridWinGotoRow, "Goto Ro&w");
    add_item(s, GridWinGotoColumn, "Goto &Column");
}

void make_toolbar(OsHandle frame, GridWindowData& r) {
    r.hGridToolbar = os_create_window(0, "ToolbarWindow32", "",
                                      OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_TBSTYLE_TOOLTIPS, 0, 0, 100,
                                      27, frame, 0, 1001);
    if (!r.hGridToolbar) return;
    os_send_message(r.hGridToolbar, OSM_TB_BUTTONSTRUCTSIZE, sizeof(OsTbButton), 0);
    os_send_message(r.hGridToolbar, OSM_TB_SETBITMAPSIZE, 0, os_make_lparam(16, 15));
    os_send_message(r.hGridToolbar, OSM_TB_SETBUTTONSIZE, 0, os_make_lparam(22, 21));
    const OsTbAddBitmap std_small{OS_HINST_COMMCTRL, OS_IDB_STD_SMALL_COLOR};
    os_send_message(r.hGridToolbar, OSM_TB_ADDBITMAP, 11, reinterpret_cast<std::intptr_t>(&std_small));
    std::vector<OsTbButton> b;
    const auto button = [&b](std::int32_t image, std::int32_t command) {
        b.push_back({image, command, OS_TBSTATE_ENABLED, OS_TBSTYLE_BUTTON});
    };
    const auto separator = [&b] { b.push_back({0, 0, OS_TBSTATE_ENABLED, OS_TBSTYLE_SEP}); };
    if (r.bCanNew) button(OS_STD_FILENEW, GridWinNew);
    if (r.bCanOpen) button(OS_STD_FILEOPEN, GridWinOpen);
    if (r.bCanSave) button(OS_STD_FILESAVE, GridWinSave);
    if (r.bCanNew || r.bCanOpen || r.bCanSave) separator();
    if (r.bCanPrint) {
        button(OS_STD_PRINT, GridWinPrint);
        separator();
    }
    if (r.bCanFind) {
        button(OS_STD_FIND, GridWinFind);
        separator();
    }
    if (!r.bReadOnly) button(OS_STD_CUT, GridWinCut);
    button(OS_STD_COPY, GridWinCopy);
    if (!r.bReadOnly) button(OS_STD_PASTE, GridWinPaste);
    os_send_message(r.hGridToolbar, OSM_TB_ADDBUTTONS, b.size(), reinterpret_cast<std::intptr_t>(b.data()));
    os_send_message(r.hGridToolbar, OSM_TB_AUTOSIZE, 0, 0);
    r.hTooltips = static_cast<OsHandle>(os_send_message(r.hGridToolbar, OSM_TB_GETTOOLTIPS, 0, 0));
}

void set_status(OsHandle bar, std::int32_t part, std::uint32_t style, const char* text) {
    os_send_message(bar, OSM_SB_SETTEXT, static_cast<std::uintptr_t>(part) | style, reinterpret_cast<std::intptr_t>(text));
}

void setup_status(OsHandle frame, GridWindowData& r) {
    if (!r.hStatusBar) return;
    const bool caption = (os_get_style(frame) & OS_WS_CAPTION) == OS_WS_CAPTION;
    const std::int32_t edges[5] = {30, 90, 140, 200, -1};
    os_send_message(r.hStatusBar, OSM_SB_SETPARTS, caption ? 4 : 5, reinterpret_cast<std::intptr_t>(edges));
    set_status(r.hStatusBar, 0, OS_SBT_NOBORDERS, "Row");
    set_status(r.hStatusBar, 1, 0, "\t\t1");
    set_status(r.hStatusBar, 2, OS_SBT_NOBORDERS, "\tColumn");
    set_status(r.hStatusBar, 3, 0, "\t\t1");
}

// A font like the field's own.
OsHandle copy_font(OsHandle field) {
    const auto font = static_cast<OsHandle>(os_send_message(field, OSM_GETFONT, 0, 0));
    OsLogFont lf;
    if (!font || !os_get_font_logfont(font, lf)) return 0;
    if (lf.face.size() > 32) lf.face.resize(32);
    lf.out_precision = OS_OUT_TT_PRECIS;
    lf.escapement = lf.orientation = 0;
    return os_create_font(lf);
}

// The in-place editor control of one column, made after the field's own.
OsHandle copy_column_control(OsHandle area, OsHandle from, std::int32_t type, OsHandle font) {
    OsRect fr;
    os_get_window_rect(from, fr);
    std::int32_t w = fr.width(), h = fr.height();
    FieldRecord* ff = yyfieldrecord(from);
    std::uint32_t style = (os_get_style(from) | OS_WS_BORDER) & ~(OS_WS_VISIBLE | OS_WS_DISABLED);
    if (ff && ff->buddy) {
        OsRect br;
        os_get_window_rect(ff->buddy, br);
        w = std::max(w, br.right - fr.left);
    }
    if (type == GridMenu) {
        OsRect dr;
        if (os_send_message(from, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<std::intptr_t>(&dr))) h = dr.bottom - fr.top;
        style |= OS_WS_VSCROLL;
    }
    const std::string caption = type == GridCheckBox ? os_get_window_text(from) : std::string();
    const OsHandle c =
        os_create_window(os_get_ex_style(from), os_get_class_name(from), caption, style, 0, 0, w, h, area, 0, -1);
    if (!c) return 0;
    if (font) os_send_message(c, OSM_SETFONT, static_cast<std::uintptr_t>(font), 0);
    FieldRecord* cf = yyfieldrecord(c);
    if (!cf) cf = grid_new_record(c);
    if (ff) {
        if (type <= GridDouble) os_send_message(c, EM_LIMITTEXT, static_cast<std::uintptr_t>(std::max(0, ff->text_limit)), 0);
        cf->range_min = ff->range_min;
        cf->range_max = ff->range_max;
        cf->spin_small = ff->spin_small;
        cf->spin_large = ff->spin_large;
        cf->spin_offset = ff->spin_offset;
        cf->text_limit = ff->text_limit;
        cf->text_colour = ff->text_colour;
        cf->background_colour = ff->background_colour;
        delete cf->format;
        cf->format = ff->format ? new std::string(*ff->format) : nullptr;
        if (ff->buddy && cf->buddy) {
            os_send_message(cf->buddy, UDM_SETRANGE, 0, os_send_message(ff->buddy, UDM_GETRANGE, 0, 0));
            if (!os_is_window_visible(from)) os_show_window(cf->buddy, OS_SW_HIDE);
        }
    }
    cf->defined = 0;
    if (type == GridMenu) {
        os_send_message(c, CB_RESETCONTENT, 0, 0);
        grid_copy_options(from, c);
    }
    return c;
}

// The frame's grid: a copy of the field with private cells, editors,
// headers and labels. 0 when it cannot be made.
OsHandle copy_grid(OsHandle frame, OsHandle field, const OsRect& place) {
    GridData* o = yygriddata(field);
    if (!o || !o->pColumns) return 0;
    const std::uint32_t style =
        (os_get_style(field) | OS_WS_CHILD | OS_WS_VISIBLE | GS_NOFITHEIGHT | GS_ENTERDOWN | GS_TABCELLS);
    const OsHandle grid = os_create_window(OS_WS_EX_CLIENTEDGE, "QDXGRID", "", style, place.left, place.top,
                                           place.width(), place.height(), frame, 0, 1002);
    GridData* n = yygriddata(grid);
    if (!n) {
        if (grid) os_destroy_window(grid);
        return 0;
    }
    if (FieldRecord* of = yyfieldrecord(field)) {
        FieldRecord* nf = yyfieldrecord(grid);
        if (!nf) nf = grid_new_record(grid);
        std::string* fmt = nf->format;
        *nf = *of;
        delete fmt;
        nf->format = of->format ? new std::string(*of->format) : nullptr;
        nf->previous_proc = nullptr;
    }
    n->bInitialised = o->bInitialised;
    n->nColumns = o->nColumns;
    n->nMaxFirstColumn = o->nMaxFirstColumn;
    n->nRowsAllocated = o->nRowsAllocated;
    n->nColumnsDeclared = o->nColumnsDeclared;
    n->nRows = o->nRows;
    n->nRowLabelWidth = o->nRowLabelWidth;
    n->nHeaderHeight = o->nHeaderHeight;
    n->idTemplate = o->idTemplate;
    n->bNoMouse = 0;
    n->pColumns = std::make_shared<GridColumns>(*o->pColumns);
    n->pRowLabels = o->pRowLabels ? std::make_shared<GridLabels>(*o->pRowLabels) : nullptr;
    n->iCurrentColumn = n->iCurrentRow = n->iFirstColumn = n->iTopRow = 0;
    n->iSelFirstRow = n->iSelLastRow = n->iSelFirstColumn = n->iSelLastColumn = -1;

    // The cell area beside the row labels and below the column header.
    OsRect client;
    os_get_client_rect(grid, client);
    n->hCellArea = os_create_window(0, "QDXGRIDCLIENT", "", OS_WS_CHILD | OS_WS_VISIBLE, n->nRowLabelWidth,
                                    n->nHeaderHeight, std::max(0, client.width() - n->nRowLabelWidth),
                                    std::max(0, client.height() - n->nHeaderHeight), grid, 0, -1);
    OsRect area;
    os_get_client_rect(n->hCellArea, area);
    const std::int32_t step = std::max(1, n->nRowHeight - 1);
    n->nVisibleRows = std::max(0, (area.height() - n->nRowHeight) / step + 1);
    n->nRowHeaderSlots = n->nRowHeaders = std::min(n->nRows, n->nVisibleRows + 1);
    if ((style & GS_ROWHEADERS) && n->pRowLabels) {
        n->phRowHeaders.assign(static_cast<std::size_t>(std::max(0, n->nRowHeaderSlots)), 0);
        for (std::int32_t i = 0; i < n->nRowHeaderSlots; ++i) {
            const std::int32_t y = n->nHeaderHeight + i * (n->nRowHeight - 1) + (i > 0 ? 1 : 0);
            const OsHandle h = grid_make_header(grid, 0, y, n->nRowLabelWidth, n->nRowHeight - (i > 0 ? 1 : 0), i, n->hFont);
            n->phRowHeaders[static_cast<std::size_t>(i)] = h;
            const std::string label = static_cast<std::size_t>(i) < n->pRowLabels->size()
                                          ? (*n->pRowLabels)[static_cast<std::size_t>(i)]
                                          : std::string();
            if (h) grid_insert_header_item(h, 0, n->nRowLabelWidth + 1, label, HDF_STRING);
        }
    }
    for (std::int32_t l = 0; l < n->nColumns; ++l) {
        GridColumn& c = n->column(l);
        c.hControl = copy_column_control(n->hCellArea, o->column(l).hControl, c.iType, n->hFont);
    }
    if ((style & GS_COLUMNHEADER) && o->hColumnHeader && n->hColumnHeader) {
        while (os_send_message(n->hColumnHeader, HDM_DELETEITEM, 0, 0)) {}
        for (std::int32_t k = 0; k <= n->nColumns; ++k) {
            OsHeaderItem it;
            it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
            os_send_message(o->hColumnHeader, HDM_GETITEM, static_cast<std::uintptr_t>(k), reinterpret_cast<std::intptr_t>(&it));
            const std::int32_t width = k == 0 ? it.cxy : n->column(k - 1).nWidth - 1;
            grid_insert_header_item(n->hColumnHeader, k, width, it.text, it.fmt);
        }
    }
    return grid;
}

}  // namespace

GridWindowData* yygridwindata(OsHandle frame) {
    std::int32_t* r = frame ? yyspecialrecord(frame) : nullptr;
    return r && r[0] == WindowKindGrid ? reinterpret_cast<GridWindowData*>(r) : nullptr;
}

OsHandle yyGridGetEditCell(const GridData& g) {
    if (!g.hEditor) return 0;
    for (const char* n : {"EDIT", "INTEGEREDIT", "INTEGERSPIN", "REALEDIT", "REALSPIN", "DOUBLEEDIT", "DOUBLESPIN"})
        if (grid_atom_is(g.hEditor, n)) return g.hEditor;
    return 0;
}

void yyGridTitle(OsHandle frame) {
    GridWindowData* r = yygridwindata(frame);
    if (!r) return;
    if ((os_get_style(frame) & OS_WS_CAPTION) == OS_WS_CAPTION) {
        std::string t(r->szBaseTitle, strnlen(r->szBaseTitle, 1023));
        if (r->szFileName[0]) t += std::string(" - [") + r->szFileName + "]";
        os_set_window_text(frame, t);
    } else if (r->hStatusBar) {
        set_status(r->hStatusBar, 4, 0, r->szFileName);
    }
}

void yygridedit(std::int32_t& status, std::int32_t field, std::int32_t& mode, std::int32_t menu_id,
                std::int32_t flags, std::int32_t file_type, std::string_view file_name, std::string_view filter) {
    // 1.
    const std::int32_t slot = wtab.wIndex;
    if (slot == 0 || !valid_slot(slot)) {
        status = GridWindowIsRoot;
        return;
    }
    const OsHandle frame = wtab.wWindow[ix(slot)];
    const OsHandle client = wtab.hClient[ix(slot)];
    if (!frame) {
        status = GridWindowIsRoot;
        return;
    }
    if (yyspecialrecord(frame)) {
        status = GridWindowConverted;
        return;
    }
    if (client && !os_child_windows(client).empty()) {
        status = GridWindowHasChildren;
        return;
    }
    // 3 (checked before anything changes).
    const OsHandle dialog = yycurrentdialog();
    const OsHandle source = dialog ? os_get_dlg_item(dialog, field) : 0;
    if (!source || !yygriddata(source) || !yygriddata(source)->pColumns) {
        status = GridWindowNoField;
        return;
    }
    // 2.
    const bool inside = counts_as_inside(frame);
    if (is_child(frame)) {
        if (mode != DialogModeless) {
            if (mode == DialogModal) {
                std::int32_t s = 0;
                yygetwindowbitmap(0, slot, s);
            }
            status = GridWindowModeInside;
            mode = DialogModeless;
        }
        if (menu_id != 0 && inside) status = GridWindowMenuInside;
    }
    // 4.
    std::vector<bool> had_update(WindowSlots, false);
    const bool split = is_pane(frame);
    if (split)
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
            OsRect u;
            const OsHandle c = wtab.hClient[ix(s)];
            had_update[ix(s)] = c && os_get_update_rect(c, u, false);
        }
    // 5.
    auto* r = new (std::nothrow) GridWindowData;
    if (!r) {
        status = GridWindowNoMemory;
        return;
    }
    os_set_window_user(frame, reinterpret_cast<std::intptr_t>(r));
    // The mode holds from the start: a modal window reports no cell moves,
    // not even those of its own making.
    r->iMode = mode;
    const bool ro = (os_get_style(source) & GS_READONLY) != 0;
    r->bReadOnly = ro ? 1 : 0;
    r->bCanOpen = (flags & GWF_NONEWOPEN) ? 0 : 1;
    r->bCanNew = (flags & GWF_NONEWOPEN) ? 0 : !ro;
    r->bCanSave = (flags & GWF_NOSAVE) ? 0 : !ro;
    r->bCanSaveAs = (flags & GWF_NOSAVEAS) ? 0 : (r->bCanSave && !ro);
    r->bCanSaveHtml = (flags & GWF_NOHTML) ? 0 : (r->bCanSave && !ro);
    r->bCanPrint = (flags & GWF_NOPRINT) ? 0 : 1;
    r->bCanFind = (flags & GWF_NOFIND) ? 0 : 1;
    r->bCanEditRows = (flags & GWF_NOROWEDIT) ? 0 : !ro;
    r->bMoveRowLabels = (flags & GWF_MOVELABELS) ? 1 : 0;
    r->bAddRows = (flags & GWF_ADDROWS) ? 1 : 0;
    r->bBackup = (flags & GWF_BACKUP) ? 1 : 0;
    r->iIgnoreDisabled = flags & GWF_IGNOREDISABLED;
    r->iLastCell = 0x40001;
    put_text(r->szFilter, filter.substr(0, 1000));
    r->iFileType = file_type == -1 ? 1 : file_type;
    r->hGridAccel = os_load_accelerators(GridAccelResource);
    r->hStatusBar = wtab.wMessLine[ix(slot)];
    if (client) os_show_window(client, OS_SW_HIDE);
    // 6.
    if (!inside && !(flags & GWF_NOMENU)) {
        build_popups(*r);
        OsMenu menu = 0;
        if (menu_id != 0) {
            if (mode == DialogModal) {
                status = GridWindowModalMenu;
            } else {
                menu = yymnload(menu_id);
                if (menu) yymenuloadrc(menu, menu_id);
                else status = GridWindowNoMenu;
            }
        }
        if (!menu) menu = os_create_menu();
        os_insert_menu_popup(menu, 0, GridWinFileMenu, "&File", r->hFileMenu);
        os_insert_menu_popup(menu, 1, GridWinEditMenu, "&Edit", r->hEditMenu);
        os_insert_menu_popup(menu, 2, GridWinSearchMenu, "&Search", r->hSearchMenu);
        os_set_menu(frame, menu);
        if (const OsHandle old = wtab.hMenuRoot[ix(slot)]) {
            yyClearMenuPrompt(old, slot);
            os_destroy_menu(old);
        }
        os_destroy_accelerators(wtab.hAccel[ix(slot)]);
        wtab.hAccel[ix(slot)] = 0;
        wtab.hQDXMenuString[ix(slot)] = 0;
        r->hMenu = menu;
        wtab.hMenuRoot[ix(slot)] = menu;
    }
    // 7.
    auto& bars = wtab.hToolbar[ix(slot)];
    if (mode == DialogModal) {
        bool any = false;
        for (OsHandle& b : bars) {
            if (!b) continue;
            any = true;
            os_destroy_window(b);
            b = 0;
        }
        if (any) {
            wtab.pTooltip[ix(slot)].clear();
            wtab.nTooltip[ix(slot)] = 0;
        }
    } else {
        r->hToolbarTop = bars[0];
        r->hToolbarLeft = bars[1];
        r->hToolbarRight = bars[2];
        r->hToolbarBottom = bars[3];
    }
    // 8.
    if (menu_id != 0) {
        r->hUserAccel = os_load_accelerators(menu_id);
        std::string_view prompts;
        if (os_resource_data(MenuPromptType, menu_id, prompts)) wtab.hQDXMenuString[ix(slot)] = menu_id;
    }
    // 9, 10, 11. The frame answers as a grid window from here on (the
    // grid asks it for the font as it is made).
    if (!(flags & GWF_NOTOOLBAR)) make_toolbar(frame, *r);
    setup_status(frame, *r);
    yyRestackToolbars(slot);
    os_set_window_proc(frame, yyGridWindowWndProc);
    if (const OsHandle font = copy_font(source)) os_send_message(frame, OSM_SETFONT, static_cast<std::uintptr_t>(font), 0);
    OsRect cr;
    os_get_client_rect(frame, cr);
    r->hGrid = copy_grid(frame, source, cr);
    os_send_message(frame, OSM_SIZE, os_is_zoomed(frame) ? OS_SIZE_MAXIMIZED : OS_SIZE_RESTORED, 0);
    // 16.
    if (GridData* g = yygriddata(r->hGrid)) {
        os_send_message(r->hGrid, GM_SCROLLRANGES, 0, 0);
        if (client) {
            OsRect gr;
            os_get_window_rect(r->hGrid, gr);
            os_set_window_pos(client, 0, 0, 0, gr.width(), gr.height(), OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
        yyGridWinSize(*r);
        yyGridUpdateRowLabels(r->hGrid);
        // 17.
        put_text(r->szBaseTitle, os_get_window_text(frame).substr(0, 1023));
        r->szFileName[0] = '\0';
        if (file_name.substr(0, file_name.find('\0')).find_first_not_of(' ') != std::string_view::npos) {
            std::int32_t result = 0;
            char name[260] = {};
            put_text(name, file_name.substr(0, file_name.find_last_not_of(' ') + 1));
            yygridwinload(slot, 0, r->bAddRows, result, r->iFileType, name, r->szFilter);
            if (result == 1) {
                put_text(r->szFileName, name);
                yyGridTitle(frame);
            }
        }
        // 18.
        if (!(os_get_style(r->hGrid) & OS_WS_DISABLED) && !g->hEditor) yyGridCreateCurrent(r->hGrid);
    }
    os_set_focus(r->hGrid);
    r->iMode = mode;
    if (mode == DialogSemiModeless) ++dlgtab.nSemi;
    if (!os_is_window_enabled(frame)) {
        os_enable_window(frame, true);
        os_set_focus(r->hGrid);
    }
    os_show_window(frame, OS_SW_SHOW);
    yytitlecolour(frame);
    if (mode == DialogModal || mode == DialogSemiModeless) yyDisableDialogs(frame, true);
    // 19.
    if (split) {
        OsHandle outer = frame;
        for (int guard = 0; guard <= MaxChildWindows && is_pane(outer); ++guard) outer = grandparent(outer);
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
            const OsHandle c = wtab.hClient[ix(s)];
            if (!c || had_update[ix(s)]) continue;
            for (OsHandle w = c; w; w = os_get_parent(w))
                if (w == outer) {
                    os_validate_rect(c, nullptr);
                    break;
                }
        }
    }
}

void yygridedit2() {
    const std::int32_t slot = wtab.wIndex;
    if (!valid_slot(slot)) return;
    const OsHandle frame = wtab.wWindow[ix(slot)];
    GridWindowData* r = yygridwindata(frame);
    if (!r) return;
    if (GridData* g = yygriddata(r->hGrid)) g->bUnsaved = g->bChanged = 0;
    if (r->iMode != DialogModal) return;
    // The window's own loop until it closes; its record outlives the frame.
    r->bInModalLoop = 1;
    while (!r->bEndModal) {
        OsMsg m;
        if (!os_get_message(m)) break;
        if (r->hGridAccel && os_is_window(frame) && os_translate_accelerator(frame, r->hGridAccel, m)) continue;
        os_translate_message(m);
        if (!(m.message == 0x118 && m.wParam == 0xFFF6 && wmsg.block118)) os_dispatch_message(m);
    }
    if (os_is_window(frame) && yygridwindata(frame) == r) {
        // The loop ended without the window closing (the application is
        // quitting): the frame forgets the record before it goes.
        os_set_window_user(frame, 0);
    }
    delete r;
    const OsHandle back = wtab.hLastSemi ? wtab.hLastSemi : wtab.wWindow[0];
    if (back) {
        yyEnableDialogs(back, true);
        os_enable_window(back, true);
        os_set_active_window(back);
        os_set_focus(back);
    }
}

void WGridEdit(std::int32_t field, std::int32_t mode, std::int32_t menu_id, std::int32_t flags, std::int32_t file_type,
               std::string_view file_name, std::string_view filter) {
    std::int32_t status = 0;
    yygridedit(status, field, mode, menu_id, flags, file_type, file_name, filter);
    static constexpr struct {
        std::int32_t status, error;
    } errors[] = {{1, 1022}, {2, 1026}, {3, 1002}, {4, 1051}, {5, 1052}, {6, 1053}, {8, 1038}, {11, 1006}, {12, 1057}};
    for (const auto& e : errors)
        if (e.status == status) yyerror(e.error, "WGridEdit");
    if (status == 0 || (status >= 2 && status <= 5)) yygridedit2();
}

bool yygridwinkeyboard(OsHandle frame, const OsMsg& m) {
    GridWindowData* r = yygridwindata(frame);
    if (!r) return false;
    if (r->hGridAccel && os_translate_accelerator(frame, r->hGridAccel, m)) return true;
    return r->hUserAccel && os_translate_accelerator(frame, r->hUserAccel, m);
}

void yygridwinrelease(OsHandle frame) {
    GridWindowData* r = yygridwindata(frame);
    if (!r) return;
    const std::int32_t slot = yygetwindowindex(frame);
    os_set_window_proc(frame, yyWndProc);
    os_set_window_user(frame, 0);
    if (r->hGrid) {
        // No dialog owns the copy: its record goes with it.
        grid_release_record(r->hGrid);
        os_destroy_window(r->hGrid);
    }
    if (r->hGridToolbar) os_destroy_window(r->hGridToolbar);
    if (r->hGridAccel) os_destroy_accelerators(r->hGridAccel);
    if (r->hUserAccel) os_destroy_accelerators(r->hUserAccel);
    if (valid_slot(slot)) {
        if (r->hMenu && wtab.hMenuRoot[ix(slot)] == r->hMenu) {
            os_set_menu(frame, 0);
            yyClearMenuPrompt(r->hMenu, slot);
            os_destroy_menu(r->hMenu);
            wtab.hMenuRoot[ix(slot)] = 0;
            wtab.hQDXMenuString[ix(slot)] = 0;
        }
        if (r->hStatusBar) {
            const std::int32_t one = -1;
            os_send_message(r->hStatusBar, OSM_SB_SETPARTS, 1, reinterpret_cast<std::intptr_t>(&one));
        }
        if (wtab.hClient[ix(slot)]) os_show_window(wtab.hClient[ix(slot)], OS_SW_SHOW);
    }
    if (r->iMode == DialogSemiModeless && dlgtab.nSemi > 0) --dlgtab.nSemi;
    delete r;
    if (valid_slot(slot)) yylayoutframe(slot);
}

std::int32_t yygridwinmayclose(OsHandle frame) {
    GridWindowData* r = yygridwindata(frame);
    GridData* g = r ? yygriddata(r->hGrid) : nullptr;
    if (!r || !g || !r->bCanSave) return 1;
    std::int32_t result = 1;
    yygridwinsaveprompt(yygetwindowindex(frame), g->bUnsaved, result, r->iFileType, r->bBackup, r->szFileName,
                        r->szFilter);
    return result;
}
