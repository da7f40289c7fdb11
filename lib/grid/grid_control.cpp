// The grid control's windows: registration, creation, font changes,
// destruction, set-up from a "[Grids]" line and its row-template dialog, the
// copy into a dialog's modal copy and back, clearing; and the pieces of
// painting, selection and in-place editing that the cell routines lean on.
#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/window/convert.h"
#include "platform/os_dc.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"

GridState grid_state;

namespace {

// Window word 0 of every grid: its records.
std::map<OsHandle, std::unique_ptr<GridData>>& grid_table() {
    static std::map<OsHandle, std::unique_ptr<GridData>> t;
    return t;
}

constexpr std::uint32_t Child = OS_WS_CHILD;

std::int32_t measure_row_height(OsHandle grid, OsHandle font) {
    const OsHandle cb = os_create_window(0, "COMBOBOX", "", Child | OS_CBS_DROPDOWNLIST, 0, 0, 100, 100, grid, 0, 0);
    if (!cb) return 20;
    if (font) os_send_message(cb, OSM_SETFONT, static_cast<std::uintptr_t>(font), 0);
    // Our drop-down list keeps its created height; its selection field is
    // the height a combo box shows when closed.
    const auto field = static_cast<std::int32_t>(os_send_message(cb, CB_GETITEMHEIGHT, static_cast<std::uintptr_t>(-1), 0));
    os_destroy_window(cb);
    return std::max(3, field - 1);
}

void fit_height(OsHandle grid, GridData& g) {
    OsRect wr;
    os_get_window_rect(grid, wr);
    std::int32_t h = (g.nRowHeight - 1) * g.nVisibleRows + g.nFrameHeight + 1;
    if (os_get_style(grid) & GS_COLUMNHEADER) h += 2;
    os_set_window_pos(grid, 0, 0, 0, wr.width(), h, OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
}


std::string header_item_text(OsHandle header, std::int32_t at, OsHeaderItem* whole = nullptr) {
    OsHeaderItem it;
    it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    if (!os_send_message(header, HDM_GETITEM, static_cast<std::uintptr_t>(at), reinterpret_cast<std::intptr_t>(&it)))
        return {};
    if (whole) *whole = it;
    return it.text;
}

// Column type, bytes of a cell and text limit of a template control; type -1
// for a control that makes no column.
std::int32_t column_type_of(OsHandle c) {
    if (grid_atom_is(c, "EDIT")) return GridText;
    if (grid_atom_is(c, "INTEGEREDIT") || grid_atom_is(c, "INTEGERSPIN")) return GridInteger;
    if (grid_atom_is(c, "REALEDIT") || grid_atom_is(c, "REALSPIN")) return GridReal;
    if (grid_atom_is(c, "DOUBLEEDIT") || grid_atom_is(c, "DOUBLESPIN")) return GridDouble;
    if (grid_atom_is(c, "BUTTON") && (os_get_style(c) & OS_BS_TYPEMASK) == OS_BS_AUTOCHECKBOX) return GridCheckBox;
    if (grid_atom_is(c, "COMBOBOX")) return GridMenu;
    return -1;
}

// Children of the template in order, without up-down buddies.
std::vector<OsHandle> template_controls(OsHandle tmpl) {
    std::vector<OsHandle> out;
    for (OsHandle c : os_child_windows(tmpl))
        if (!grid_atom_is(c, "msctls_updown32")) out.push_back(c);
    return out;
}

std::intptr_t build_columns(OsHandle grid, GridData& g, OsHandle tmpl, const std::int32_t* positions) {
    const std::uint32_t style = os_get_style(grid);
    g.pColumns = std::make_shared<GridColumns>(static_cast<std::size_t>(std::max(0, g.nColumns)));
    if (style & GS_COLUMNHEADER && g.hColumnHeader)
        grid_insert_header_item(g.hColumnHeader, 0, g.nRowLabelWidth + 1, "", HDF_STRING | HDF_CENTER);
    OsRect client;
    os_get_client_rect(grid, client);
    if (!g.hCellArea) {
        g.hCellArea = os_create_window(0, "QDXGRIDCLIENT", "", Child | OS_WS_VISIBLE, g.nRowLabelWidth, g.nHeaderHeight,
                                       std::max(0, client.width() - g.nRowLabelWidth),
                                       std::max(0, client.height() - g.nHeaderHeight), grid, 0, -1);
        if (!g.hCellArea) return 0;
    }
    OsRect area;
    os_get_client_rect(g.hCellArea, area);
    const std::vector<OsHandle> controls = template_controls(tmpl);
    OsHandle previous = 0;
    for (std::int32_t l = 0; l < g.nColumns; ++l) {
        OsHandle t = 0;
        if (positions) {
            const std::int32_t p = positions[l];
            if (p >= 1 && p <= static_cast<std::int32_t>(controls.size())) t = controls[static_cast<std::size_t>(p - 1)];
        } else {
            // The next control after the previous column's (and its buddy).
            std::size_t k = 0;
            if (previous) {
                const auto it = std::find(controls.begin(), controls.end(), previous);
                k = it == controls.end() ? controls.size() : static_cast<std::size_t>(it - controls.begin()) + 1;
            }
            if (k < controls.size()) t = controls[k];
        }
        previous = t;
        // A template with fewer usable controls than columns fails the set-up.
        if (!t) return 0;
        const std::int32_t type = column_type_of(t);
        if (type < 0) return 0;
        FieldRecord* tf = yyfieldrecord(t);
        GridColumn& col = g.column(l);
        col.iType = type;
        if (type == GridText) {
            const std::int32_t limit = tf && tf->text_limit > 0 ? tf->text_limit : 1024;
            if (tf) tf->text_limit = limit;
            col.nMaxLength = limit;
        } else if (type == GridInteger) {
            if (tf) tf->text_limit = 11;
            col.nMaxLength = 11;
        }
        OsRect tr;
        os_get_window_rect(t, tr);
        std::int32_t width = tr.width();
        const OsHandle buddy = tf ? tf->buddy : 0;
        if (buddy) {
            OsRect br;
            os_get_window_rect(buddy, br);
            width = std::max(width, br.right - tr.left);
        }
        col.nWidth = std::min(width, area.width());
        std::int32_t height = g.nRowHeight;
        if (type == GridMenu) {
            OsRect dr;
            if (os_send_message(t, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<std::intptr_t>(&dr))) height = dr.height();
        }
        std::uint32_t cs = (os_get_style(t) | OS_WS_BORDER) & ~(OS_WS_VISIBLE | OS_WS_DISABLED);
        cs |= style & OS_WS_DISABLED;
        if (type <= GridDouble) {
            cs |= OS_ES_MULTILINE;
            if (style & GS_READONLY) cs |= OS_ES_READONLY;
        } else if (type == GridCheckBox && (style & GS_READONLY)) {
            cs = (cs & ~OS_BS_TYPEMASK) | OS_BS_CHECKBOX;
        } else if (type == GridMenu) {
            cs |= OS_WS_VSCROLL | OS_CBS_DROPDOWNLIST;
        }
        const std::size_t rows = static_cast<std::size_t>(g.nRowsAllocated);
        switch (type) {
        case GridText: col.texts.assign(rows, std::string()); break;
        case GridReal: col.reals.assign(rows, 0.0f); break;
        case GridDouble: col.doubles.assign(rows, 0.0); break;
        default: col.ints.assign(rows, 0); break;
        }
        col.pStates.assign(rows, (type <= GridDouble && (os_get_style(t) & OS_ES_READONLY)) ? CellDisabled : 0);
        const std::string caption = type == GridCheckBox ? std::string(29, ' ') : std::string();
        col.hControl = os_create_window(OS_WS_EX_NOPARENTNOTIFY, os_get_class_name(t), caption, cs, 0, 0, col.nWidth,
                                        height, g.hCellArea, 0, -1);
        if (!col.hControl) return 0;
        if (g.hFont) os_send_message(col.hControl, OSM_SETFONT, static_cast<std::uintptr_t>(g.hFont), 0);
        if (type == GridText || type == GridReal || type == GridDouble)
            os_send_message(col.hControl, EM_LIMITTEXT, static_cast<std::uintptr_t>(col.nMaxLength), 0);
        else if (type == GridInteger)
            os_send_message(col.hControl, EM_LIMITTEXT, 11, 0);
        FieldRecord* cf = yyfieldrecord(col.hControl);
        if (!cf) cf = grid_new_record(col.hControl);
        if (tf) {
            cf->range_min = tf->range_min;
            cf->range_max = tf->range_max;
            if (tf->buddy && cf->buddy)
                os_send_message(cf->buddy, UDM_SETRANGE, 0, os_send_message(tf->buddy, UDM_GETRANGE, 0, 0));
            cf->spin_small = tf->spin_small;
            cf->spin_large = tf->spin_large;
            cf->spin_offset = tf->spin_offset;
            cf->text_limit = tf->text_limit;
            cf->value = tf->value;
            delete cf->format;
            cf->format = tf->format ? new std::string(*tf->format) : nullptr;
        }
        cf->text_colour = -1;
        cf->background_colour = -1;
        cf->defined = 0;
        if (type == GridMenu) {
            os_send_message(col.hControl, CB_RESETCONTENT, 0, 0);
            grid_copy_options(t, col.hControl);
            const std::intptr_t sel = os_send_message(t, CB_GETCURSEL, 0, 0);
            if (sel >= 0) os_send_message(col.hControl, CB_SETCURSEL, static_cast<std::uintptr_t>(sel), 0);
        }
        if (style & GS_COLUMNHEADER && g.hColumnHeader)
            grid_insert_header_item(g.hColumnHeader, l + 1, col.nWidth - 1, os_get_window_text(t), HDF_STRING | HDF_CENTER);
    }
    if (!(style & OS_WS_DISABLED) && !g.hEditor) yyGridCreateCurrent(grid);
    return 1;
}

// Row labels: the rest of the width line is skipped, then one line per row.
std::intptr_t row_labels(OsHandle grid, GridData& g, std::int32_t width_du, const char* text) {
    bool failed = false;
    g.phRowHeaders.assign(static_cast<std::size_t>(std::max(0, g.nRowHeaderSlots)), 0);
    g.pRowLabels = std::make_shared<GridLabels>(static_cast<std::size_t>(std::max(0, g.nRows)));
    OsRect r{0, 0, width_du, 100};
    YYMapDialogRect(grid, r);
    g.nRowLabelWidth = r.right;
    for (std::int32_t i = 0; i < g.nRowHeaderSlots; ++i) {
        const std::int32_t y = g.nHeaderHeight + i * (g.nRowHeight - 1) + (i > 0 ? 1 : 0);
        const OsHandle h = grid_make_header(grid, 0, y, g.nRowLabelWidth, g.nRowHeight - (i > 0 ? 1 : 0), i, g.hFont);
        if (!h) failed = true;
        g.phRowHeaders[static_cast<std::size_t>(i)] = h;
    }
    const char* p = text;
    while (*p && *p != '\n') ++p;
    if (*p) ++p;
    const bool no_text = (os_get_style(grid) & GS_NOROWLABELTEXT) != 0;
    for (std::int32_t j = 0; j < g.nRows; ++j) {
        std::string label;
        if (*p && !no_text) {
            while (*p && *p != '\n') {
                if (*p != '\r' && label.size() < 50) label += *p;
                ++p;
            }
            if (*p) ++p;
            while (!label.empty() && label.back() == ' ') label.pop_back();
        }
        (*g.pRowLabels)[static_cast<std::size_t>(j)] = label;
        if (j < g.nRowHeaderSlots && g.phRowHeaders[static_cast<std::size_t>(j)])
            grid_insert_header_item(g.phRowHeaders[static_cast<std::size_t>(j)], 0, g.nRowLabelWidth + 1, label, HDF_STRING);
    }
    if (failed) return -1;
    return std::max<std::intptr_t>(0, (p - 1) - text);
}

void scroll_ranges(OsHandle grid, GridData& g) {
    g.nScrollFactor = 1;
    std::int32_t n = g.nRows;
    while (n > 65536) {
        n /= 2;
        g.nScrollFactor *= 2;
    }
    const std::uint32_t style = os_get_style(grid);
    if (style & OS_WS_VSCROLL) {
        OsScrollInfo si;
        si.mask = OS_SIF_ALL;
        si.min = 0;
        si.max = std::max(0, n - 1);
        si.page = g.nVisibleRows / g.nScrollFactor;
        si.pos = g.iTopRow / g.nScrollFactor;
        os_set_scroll_info(grid, OS_SB_VERT, si);
    }
    if (!g.pColumns) return;
    OsRect area;
    os_get_client_rect(g.hCellArea, area);
    const std::int32_t W = area.width();
    std::int32_t w = 1, i = g.nColumns - 1;
    while (w <= W && i >= 0) {
        w += g.column(i).nWidth - 1;
        --i;
    }
    g.nMaxFirstColumn = w <= W ? 0 : i + 2;
    if (style & OS_WS_HSCROLL) {
        OsScrollInfo si;
        si.mask = OS_SIF_ALL;
        si.min = 0;
        si.max = std::max(0, g.nColumns - 1);
        si.page = std::max(0, g.nColumns - i - 1 - (w > W ? 1 : 0));
        si.pos = g.iFirstColumn;
        os_set_scroll_info(grid, OS_SB_HORZ, si);
    }
    w = 1;
    i = g.iFirstColumn;
    while (w <= W && i < g.nColumns) {
        w += g.column(i).nWidth - 1;
        ++i;
    }
    if (w > W) --i;
    g.iLastColumn = i - 1;
}

void destroy_grid(OsHandle grid, GridData& g) {
    yyGridDestroyCurrent(grid);
    // The column controls live in the cell area of the grid that built them
    // and go with it; the cells stay while another grid shares them.
    if (g.hCellArea)
        for (OsHandle c : os_child_windows(g.hCellArea)) grid_release_record(c);
    g.pColumns.reset();
    g.phRowHeaders.clear();
    g.pRowLabels.reset();
}

}  // namespace

// A header control of a grid, subclassed as the grid's own are.
OsHandle grid_make_header(OsHandle grid, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t id,
                     OsHandle font) {
    const OsHandle hd = os_create_window(OS_WS_EX_NOPARENTNOTIFY, "SysHeader32", "",
                                         OS_WS_CHILD | OS_WS_VISIBLE | OS_HDS_BUTTONS, x, y, w, h, grid, 0, id);
    if (!hd) return 0;
    const OsWndProc old = os_set_window_proc(hd, yygridsubheader);
    os_set_window_user(hd, reinterpret_cast<std::intptr_t>(old));
    if (font) os_send_message(hd, OSM_SETFONT, static_cast<std::uintptr_t>(font), 0);
    return hd;
}

void grid_insert_header_item(OsHandle header, std::int32_t at, std::int32_t width, std::string_view text, std::int32_t fmt) {
    OsHeaderItem it;
    it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    it.cxy = width;
    it.text = std::string(text);
    it.fmt = fmt;
    os_send_message(header, HDM_INSERTITEM, static_cast<std::uintptr_t>(at), reinterpret_cast<std::intptr_t>(&it));
}

bool grid_atom_is(OsHandle w, const char* class_name) {
    const std::int32_t a = os_class_atom(class_name);
    return a != 0 && os_window_class_atom(w) == a;
}

void grid_copy_options(OsHandle from, OsHandle to) {
    const auto n = static_cast<std::int32_t>(os_send_message(from, CB_GETCOUNT, 0, 0));
    for (std::int32_t k = 0; k < n; ++k) {
        const auto len = os_send_message(from, CB_GETLBTEXTLEN, static_cast<std::uintptr_t>(k), 0);
        std::string s(static_cast<std::size_t>(std::max<std::intptr_t>(0, len)) + 1, '\0');
        os_send_message(from, CB_GETLBTEXT, static_cast<std::uintptr_t>(k), reinterpret_cast<std::intptr_t>(s.data()));
        s.resize(std::strlen(s.c_str()));
        os_send_message(to, CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(s.c_str()));
    }
}

bool grid_numeric_class(OsHandle w) {
    for (const char* n : {"INTEGEREDIT", "INTEGERSPIN", "REALEDIT", "REALSPIN", "DOUBLEEDIT", "DOUBLESPIN"})
        if (grid_atom_is(w, n)) return true;
    return false;
}

FieldRecord* grid_new_record(OsHandle control) {
    auto* f = new FieldRecord;
    os_set_window_user(control, reinterpret_cast<std::intptr_t>(f));
    return f;
}

void grid_release_record(OsHandle c) {
    FieldRecord* f = c ? yyfieldrecord(c) : nullptr;
    if (!f) return;
    delete f->format;
    delete f;
    os_set_window_user(c, 0);
}

GridData* yygriddata(OsHandle grid) {
    if (!grid || grid_state.atomGrid == 0 || os_window_class_atom(grid) != grid_state.atomGrid) return nullptr;
    auto& t = grid_table();
    const auto it = t.find(grid);
    return it == t.end() ? nullptr : it->second.get();
}

void reset_grid_state() {
    const GridState fresh;
    grid_state.bCellUpdate = fresh.bCellUpdate;
    grid_state.last_unsaved = grid_state.last_changed = 0;
    grid_state.last_texts = {};
    grid_state.GridSortBlock = {};
    grid_state.print_options_ready = 0;
    grid_focus_flags = GridFocusFlags{};
}

void yygridregister() {
    if (os_class_atom("QDXGRID")) return;
    OsWndClass c;
    c.name = "QDXGRID";
    c.proc = yygridwndproc;
    c.style = OS_CS_PARENTDC;
    c.background = os_sys_colour(OS_COLOR_BTNFACE);
    grid_state.atomGrid = os_register_class(c);
    c.name = "QDXGRIDCLIENT";
    c.proc = yygridwndprocclient;
    grid_state.atomGridClient = os_register_class(c);
    grid_state.GM_CELLCHANGE = os_register_window_message("GM_CELLCHANGE");
    grid_state.print_options_ready = 0;
}

void YYMapDialogRect(OsHandle grid, OsRect& r) {
    // Dialog units of the window's own font: the average character width
    // and the character height of its text metrics.
    const OsDC dc = os_get_dc(grid);
    std::int32_t bx = 6, by = 13;
    if (dc) {
        const auto font = static_cast<OsObject>(os_send_message(grid, OSM_GETFONT, 0, 0));
        const OsObject old = font ? os_select_object(dc, font) : 0;
        OsTextMetric tm;
        if (os_get_text_metrics(dc, tm)) {
            bx = std::max(1, tm.ave_char_width);
            by = std::max(1, tm.height);
        }
        if (old) os_select_object(dc, old);
        os_release_dc(grid, dc);
    }
    r.left = r.left * bx / 4;
    r.right = r.right * bx / 4;
    r.top = r.top * by / 8;
    r.bottom = r.bottom * by / 8;
}

std::intptr_t yygridwndproc(OsHandle grid, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    GridData* g = nullptr;
    if (msg != OSM_CREATE) {
        auto& t = grid_table();
        const auto it = t.find(grid);
        g = it == t.end() ? nullptr : it->second.get();
    }
    switch (msg) {
    case OSM_CREATE: {
        auto data = std::make_unique<GridData>();
        GridData& d = *data;
        d.hFont = static_cast<OsHandle>(os_send_message(os_get_parent(grid), OSM_GETFONT, 0, 0));
        d.nRowHeight = measure_row_height(grid, d.hFont);
        OsRect wr, cr;
        os_get_window_rect(grid, wr);
        os_get_client_rect(grid, cr);
        d.nVisibleRows = std::max(0, (cr.height() - 1) / std::max(1, d.nRowHeight - 1));
        d.nFrameHeight = wr.height() - cr.height();
        d.nCreateHeight = cr.height();
        grid_table()[grid] = std::move(data);
        const std::uint32_t style = os_get_style(grid);
        if (!(style & GS_NOFITHEIGHT)) fit_height(grid, d);
        if (style & GS_COLUMNHEADER) {
            os_get_window_rect(grid, wr);
            d.hColumnHeader = grid_make_header(grid, 0, 0, wr.width(), d.nRowHeight, -1, d.hFont);
            if (!d.hColumnHeader) {
                grid_table().erase(grid);
                return -1;
            }
            d.nHeaderHeight = d.nRowHeight;
            d.nVisibleRows = std::max(0, d.nVisibleRows - 1);
        }
        return 0;
    }
    case OSM_SETFONT: {
        if (!g) break;
        // The layout follows once the font's measures are all in place.
        const std::int32_t initialised = g->bInitialised;
        g->bInitialised = 0;
        g->hFont = static_cast<OsHandle>(wp);
        g->nRowHeight = measure_row_height(grid, g->hFont);
        g->nVisibleRows = std::max(0, (g->nCreateHeight - 1) / std::max(1, g->nRowHeight - 1));
        if (!(os_get_style(grid) & GS_NOFITHEIGHT) && !g->bNoMouse) fit_height(grid, *g);
        if (g->hColumnHeader) {
            os_send_message(g->hColumnHeader, OSM_SETFONT, wp, lp);
            OsRect hr;
            os_get_window_rect(g->hColumnHeader, hr);
            os_set_window_pos(g->hColumnHeader, 0, 0, 0, hr.width(), g->nRowHeight + 1,
                              OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
            g->nHeaderHeight = g->nRowHeight + 1;
            g->nVisibleRows = std::max(0, g->nVisibleRows - 1);
        }
        g->bInitialised = initialised;
        if (initialised) os_send_message(grid, OSM_SIZE, 0, 0);
        break;
    }
    case OSM_GETFONT:
        return g ? static_cast<std::intptr_t>(g->hFont) : 0;
    case OSM_DESTROY:
        if (g) {
            destroy_grid(grid, *g);
            grid_table().erase(grid);
        }
        return 0;
    case OSM_ENABLE:
        if (!g) break;
        if (wp) yyGridCreateCurrent(grid);
        else yyGridDestroyCurrent(grid);
        if (g->hCellArea) os_invalidate_rect(g->hCellArea, nullptr, false);
        return 0;
    case GM_SETSIZE:
        if (!g) return 0;
        g->nRows = static_cast<std::int32_t>(wp);
        g->nColumns = static_cast<std::int32_t>(lp);
        g->nRowHeaderSlots = g->nRowHeaders = std::min(g->nVisibleRows + 1, g->nRows);
        g->nRowsAllocated = g->nRows;
        return 0;
    case GM_ROWLABELS:
        if (!g || !lp) return -1;
        return row_labels(grid, *g, static_cast<std::int32_t>(wp), reinterpret_cast<const char*>(lp));
    case GM_BUILDCOLUMNS:
        if (!g) return 0;
        return build_columns(grid, *g, static_cast<OsHandle>(wp), reinterpret_cast<const std::int32_t*>(lp));
    case GM_SCROLLRANGES:
        if (g) scroll_ranges(grid, *g);
        return 0;
    case GM_SETNOMOUSE:
        if (g) g->bInitialised = g->bNoMouse = 1;
        return 0;
    default:
        if (g) {
            std::intptr_t out = 0;
            if (grid_window_message(grid, *g, msg, wp, lp, out)) return out;
        }
        break;
    }
    return os_def_window_proc(grid, msg, wp, lp);
}

std::intptr_t yygridrowtemplateproc(OsHandle dialog, std::uint32_t msg, std::uintptr_t, std::intptr_t lp) {
    if (msg == OSM_INITDIALOG) {
        for (OsHandle c : os_child_windows(dialog)) {
            if (grid_numeric_class(c) && yyfieldrecord(c)) continue;
            grid_new_record(c);
        }
        yydialogqdx(dialog, static_cast<std::int32_t>(lp), -1);
    } else if (msg == OSM_DESTROY) {
        for (OsHandle c : os_child_windows(dialog)) grid_release_record(c);
    }
    return 0;
}

namespace {

// A decimal token of the "[Grids]" line: blanks skipped, then characters up
// to the next blank or line end. False when there is no number there.
bool grid_token(const char*& p, std::int32_t& value, const char*& start) {
    while (*p == ' ' || *p == '\t') ++p;
    start = p;
    const char* q = p;
    if (*q == '-' || *q == '+') ++q;
    if (*q < '0' || *q > '9') return false;
    long long v = 0;
    bool neg = *p == '-';
    for (; *q >= '0' && *q <= '9'; ++q) v = std::min<long long>(v * 10 + (*q - '0'), 1LL << 40);
    if (*q && *q != ' ' && *q != '\t' && *q != '\r' && *q != '\n') return false;
    value = static_cast<std::int32_t>(std::clamp<long long>(neg ? -v : v, INT32_MIN, INT32_MAX));
    p = q;
    return true;
}

// A grid whose set-up failed goes, with the record its dialog gave it: the
// dialog frees only the records of the controls it still has.
void destroy_failed(OsHandle grid) {
    // The columns built before the failure hold records of their own; they
    // go here, whatever order the windows are then taken down in.
    if (GridData* g = yygriddata(grid); g && g->hCellArea)
        for (OsHandle c : os_child_windows(g->hCellArea)) grid_release_record(c);
    if (FieldRecord* f = yyfieldrecord(grid)) {
        os_set_window_user(grid, 0);
        delete f->format;
        delete f;
    }
    os_destroy_window(grid);
}

}  // namespace

std::int32_t yygridinitialise(OsHandle grid, const char* text) {
    GridData* g = yygriddata(grid);
    if (!g || !text) return 0;
    const char* p = text;
    const char* start = p;
    std::int32_t columns = 0, rows = 0, tmpl = 0;
    const bool c_ok = grid_token(p, columns, start);
    const bool r_ok = c_ok && grid_token(p, rows, start);
    const char* tmpl_start = p;
    const bool t_ok = r_ok && grid_token(p, tmpl, tmpl_start);
    if (g->bInitialised) {
        // Already set up: nothing changes.
        return static_cast<std::int32_t>(tmpl_start - text);
    }
    const bool counts_ok = t_ok && columns >= 0 && rows >= 0 && columns <= GridMaxColumns && rows <= GridMaxRows;
    if (!counts_ok) {
        destroy_failed(grid);
        return static_cast<std::int32_t>((t_ok ? tmpl_start : p) - text);
    }
    os_send_message(grid, GM_SETSIZE, static_cast<std::uintptr_t>(rows), columns);
    g->nColumnsDeclared = g->nColumns;
    const OsHandle dialog = os_create_dialog(tmpl, wtab.wWindow[0], yygridrowtemplateproc, tmpl);
    bool failed = dialog == 0;
    std::int32_t consumed = static_cast<std::int32_t>(tmpl_start - text);
    if (!failed && (os_get_style(grid) & GS_ROWHEADERS)) {
        const char* q = p;
        while (*q && *q != '\n') ++q;
        if (*q) ++q;
        while (*q == ' ' || *q == '\t') ++q;
        const char* wstart = q;
        std::int32_t width = 0;
        const char* dummy = q;
        grid_token(q, width, dummy);
        const auto used = os_send_message(grid, GM_ROWLABELS, static_cast<std::uintptr_t>(width),
                                          reinterpret_cast<std::intptr_t>(wstart));
        if (used < 0) failed = true;
        else consumed = static_cast<std::int32_t>(wstart - text + used);
    }
    if (!failed && !os_send_message(grid, GM_BUILDCOLUMNS, static_cast<std::uintptr_t>(dialog), 0)) failed = true;
    if (!failed) {
        os_send_message(grid, GM_SCROLLRANGES, 0, 0);
        g->bInitialised = 1;
        g->idTemplate = tmpl;
    }
    if (dialog) os_destroy_window(dialog);
    if (failed) destroy_failed(grid);
    return consumed;
}

void yygridcopy(OsHandle dest, OsHandle source) {
    GridData* n = yygriddata(dest);
    GridData* o = yygriddata(source);
    if (!n || !o) return;
    n->nRows = o->nRows;
    n->iCurrentColumn = o->iCurrentColumn;
    n->iCurrentRow = o->iCurrentRow;
    n->iFirstColumn = o->iFirstColumn;
    n->iLastColumn = o->iLastColumn;
    n->iTopRow = o->iTopRow;
    const std::uint32_t style = os_get_style(source);
    if (!yyismodaldialog(source)) {
        n->bInitialised = o->bInitialised;
        n->nColumns = o->nColumns;
        n->nMaxFirstColumn = o->nMaxFirstColumn;
        n->nRowsAllocated = o->nRowsAllocated;
        n->nColumnsDeclared = o->nColumnsDeclared;
        n->nVisibleRows = o->nVisibleRows;
        n->nRowHeaderSlots = o->nRowHeaderSlots;
        n->nRowHeaders = o->nRowHeaders;
        n->nRowLabelWidth = o->nRowLabelWidth;
        n->nHeaderHeight = o->nHeaderHeight;
        n->idTemplate = o->idTemplate;
        n->nScrollFactor = o->nScrollFactor;
        n->bNoMouse = 0;
        n->pColumns = o->pColumns;
        n->pRowLabels = o->pRowLabels;
        n->phRowHeaders.clear();
        OsRect client;
        os_get_client_rect(dest, client);
        for (OsHandle c : os_child_windows(source)) {
            if (c == o->hColumnHeader) continue;
            OsRect r;
            os_get_window_rect(c, r);
            OsPoint tl{r.left, r.top};
            os_screen_to_client(source, tl);
            const bool header = grid_atom_is(c, "SysHeader32");
            if (header) {
                const OsHandle h = grid_make_header(dest, tl.x, tl.y, r.width(), r.height(), os_get_control_id(c), o->hFont);
                if (!h) continue;
                OsHeaderItem it;
                header_item_text(c, 0, &it);
                grid_insert_header_item(h, 0, it.cxy, it.text, it.fmt);
                n->phRowHeaders.push_back(h);
            } else if (c == o->hCellArea && !n->hCellArea) {
                n->hCellArea = os_create_window(os_get_ex_style(c), "QDXGRIDCLIENT", "", os_get_style(c),
                                                n->nRowLabelWidth, n->nHeaderHeight,
                                                std::max(0, client.width() - n->nRowLabelWidth),
                                                std::max(0, client.height() - n->nHeaderHeight), dest, 0,
                                                os_get_control_id(c));
            }
        }
        if ((style & GS_COLUMNHEADER) && o->hColumnHeader && n->hColumnHeader) {
            while (os_send_message(n->hColumnHeader, HDM_DELETEITEM, 0, 0)) {}
            for (std::int32_t k = 0; k <= n->nColumns; ++k) {
                OsHeaderItem it;
                header_item_text(o->hColumnHeader, k, &it);
                grid_insert_header_item(n->hColumnHeader, k, it.cxy, it.text, it.fmt);
            }
            OsRect hr;
            os_get_window_rect(o->hColumnHeader, hr);
            os_set_window_pos(n->hColumnHeader, 0, 0, 0, hr.width(), hr.height(),
                              OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
    } else if (style & GS_ROWHEADERS) {
        const std::size_t count = std::min<std::size_t>({static_cast<std::size_t>(std::max(0, o->nRowHeaders)),
                                                         o->phRowHeaders.size(), n->phRowHeaders.size()});
        for (std::size_t i = 0; i < count; ++i) {
            OsHeaderItem it;
            header_item_text(o->phRowHeaders[i], 0, &it);
            it.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            os_send_message(n->phRowHeaders[i], HDM_SETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
        }
    }
    if (o->hEditor) {
        if (!n->hEditor) yyGridCreateCurrent(dest);
        if (n->hEditor) {
            os_set_window_text(n->hEditor, yyGridGetString(o->hEditor).substr(0, 32767));
            const std::int32_t type = n->pColumns ? n->column(n->iCurrentColumn).iType : GridText;
            if (type == GridCheckBox) {
                os_send_message(n->hEditor, BM_SETCHECK, static_cast<std::uintptr_t>(os_send_message(o->hEditor, BM_GETCHECK, 0, 0)), 0);
            } else if (type == GridMenu) {
                const std::intptr_t sel = os_send_message(o->hEditor, CB_GETCURSEL, 0, 0);
                if (sel >= 0) os_send_message(n->hEditor, CB_SETCURSEL, static_cast<std::uintptr_t>(sel), 0);
            } else if (FieldRecord* of = yyfieldrecord(o->hEditor)) {
                if (FieldRecord* nf = yyfieldrecord(n->hEditor)) {
                    nf->value = of->value;
                    nf->defined = of->defined;
                }
                os_send_message(n->hEditor, EM_SETMODIFY, static_cast<std::uintptr_t>(os_send_message(o->hEditor, EM_GETMODIFY, 0, 0)), 0);
            }
        }
    }
}

void yyGridClear(OsHandle grid, std::int32_t clear_options) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns) return;
    yygridselectnone(grid);
    if (g->hEditor) {
        const std::int32_t type = g->column(g->iCurrentColumn).iType;
        if (type <= GridDouble) {
            os_set_window_text(g->hEditor, "");
            os_send_message(g->hEditor, EM_SETMODIFY, 0, 0);
            if (FieldRecord* f = yyfieldrecord(g->hEditor)) {
                f->value = 0.0;
                f->defined = 0;
            }
        } else if (type == GridCheckBox) {
            os_send_message(g->hEditor, BM_SETCHECK, 0, 0);
        } else if (clear_options) {
            os_send_message(g->hEditor, CB_RESETCONTENT, 0, 0);
        } else {
            os_send_message(g->hEditor, CB_SETCURSEL, 0, 0);
        }
    }
    for (GridColumn& c : *g->pColumns) {
        if (clear_options && c.iType == GridMenu) os_send_message(c.hControl, CB_RESETCONTENT, 0, 0);
        std::fill(c.texts.begin(), c.texts.end(), std::string());
        std::fill(c.ints.begin(), c.ints.end(), 0);
        std::fill(c.reals.begin(), c.reals.end(), 0.0f);
        std::fill(c.doubles.begin(), c.doubles.end(), 0.0);
        for (std::uint8_t& s : c.pStates) s &= CellDisabled;
    }
    if (g->hCellArea) {
        os_invalidate_rect(g->hCellArea, nullptr, false);
        os_update_window(g->hCellArea);
    }
}
