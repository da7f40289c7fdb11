// Painting of the grid's cell area (grid lines, cells in their colours, the
// selection, check boxes from their bitmaps), the colours of the in-place
// editor and the highlighted copy of a bitmap.
#include <algorithm>
#include <array>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "platform/os_gridpaint.h"

namespace {

// A COLORREF from a field record's colour, or `fallback` for the default (-1).
std::int64_t record_colour(std::int32_t c) { return c < 0 ? -1 : static_cast<std::int64_t>(c & 0xFFFFFF); }

// Fills r with its right and bottom edges included.
void fill(OsDC dc, const OsRect& r, std::uint32_t colour) {
    if (r.right < r.left || r.bottom < r.top) return;
    const OsObject brush = os_create_solid_brush(colour);
    const OsObject old_brush = os_select_object(dc, brush);
    const OsObject old_pen = os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    // Without a pen a rectangle leaves out its last column and row and one more.
    os_rectangle(dc, r.left, r.top, r.right + 2, r.bottom + 2);
    os_select_object(dc, old_pen);
    os_select_object(dc, old_brush);
    os_delete_object(brush);
}

// A brush of a system colour, kept in the dialogs' brush slot until the next request.
OsObject sys_brush(std::int32_t index) {
    dlgtab.hBrushDlg = os_create_solid_brush(os_sys_colour(index));
    return dlgtab.hBrushDlg;
}

bool intersects(const OsRect& a, const OsRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The two check-box pictures of a column and their highlighted versions.
struct CheckBitmaps {
    std::array<OsObject, 5> bm{};   // off, on, off highlighted, on highlighted, scratch
    bool made = false;
    void release() {
        for (OsObject& b : bm)
            if (b) os_delete_object(b), b = 0;
    }
};

void make_check_bitmaps(GridData& g, GridColumn& c, OsDC screen, CheckBitmaps& out) {
    out.made = true;
    const std::int32_t w = c.nWidth, h = g.nRowHeight;
    for (OsObject& b : out.bm) b = os_create_compatible_bitmap(screen, w, h);
    const OsHandle button = os_create_window(os_get_ex_style(c.hControl), "BUTTON", std::string(29, ' '),
                                             (os_get_style(c.hControl) & ~OS_WS_VISIBLE) | OS_WS_CHILD, -w - 100,
                                             -h - 100, w, h, g.hCellArea, 0, -2);
    if (!button) return;
    if (g.hFont) os_send_message(button, OSM_SETFONT, static_cast<std::uintptr_t>(g.hFont), 0);
    const OsDC mem = os_create_compatible_dc(screen);
    for (int on = 0; on < 2; ++on) {
        os_send_message(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        const OsObject old = os_select_object(mem, out.bm[static_cast<std::size_t>(on)]);
        os_paint_window_into(button, mem);
        os_select_object(mem, old);
    }
    os_delete_dc(mem);
    os_destroy_window(button);
    yyHighlightBitmap(out.bm[0], out.bm[2], out.bm[4]);
    yyHighlightBitmap(out.bm[1], out.bm[3], out.bm[4]);
}

}  // namespace

void yyHighlightBitmap(OsObject source, OsObject dest, OsObject scratch) {
    OsBitmapDesc d;
    if (!os_get_bitmap_desc(source, d)) return;
    const OsDC screen = os_get_dc(0);
    const OsDC src = os_create_compatible_dc(screen);
    const OsDC dst = os_create_compatible_dc(screen);
    const OsObject old_src = os_select_object(src, source);
    const OsObject old_dst = os_select_object(dst, scratch);
    // The scratch bitmap takes the picture first, then the destination
    // takes it pixel by pixel with the button face turned highlight.
    os_bit_blt(dst, 0, 0, d.width, d.height, src, 0, 0, OS_SRCCOPY);
    os_select_object(src, old_src);
    os_select_object(dst, old_dst);
    os_select_object(src, scratch);
    os_select_object(dst, dest);
    const std::uint32_t face = os_sys_colour(OS_COLOR_BTNFACE) & 0xFFFFFF;
    const std::uint32_t high = os_sys_colour(OS_COLOR_HIGHLIGHT) & 0xFFFFFF;
    for (std::int32_t y = 0; y < d.height; ++y)
        for (std::int32_t x = 0; x < d.width; ++x) {
            const std::uint32_t p = os_get_pixel(src, x, y);
            os_set_pixel(dst, x, y, (p & 0xFFFFFF) == face ? high : p);
        }
    os_select_object(src, old_src);
    os_select_object(dst, old_dst);
    os_delete_dc(src);
    os_delete_dc(dst);
    os_release_dc(0, screen);
}

std::int32_t grid_rows_drawn(const GridData& g) {
    if (g.iTopRow + g.nVisibleRows < g.nRows) return g.nRowHeaders;
    return std::max(0, std::min(g.nVisibleRows, g.nRows - g.iTopRow));
}

std::int32_t grid_last_drawn_column(const GridData& g) { return std::min(g.iLastColumn + 1, g.nColumns - 1); }

bool grid_focus_inside(OsHandle grid) {
    const OsHandle f = os_get_focus();
    return f && (f == grid || os_is_child(grid, f));
}

bool grid_cell_selected(const GridData& g, std::int32_t column, std::int32_t row) {
    return g.iSelFirstRow >= 0 && row >= g.iSelFirstRow && row <= g.iSelLastRow && column >= g.iSelFirstColumn &&
           column <= g.iSelLastColumn;
}

void grid_paint_area(OsHandle grid, GridData& g) {
    const OsHandle area = g.hCellArea;
    OsRect paint;
    if (!os_get_update_rect(area, paint, false)) os_get_client_rect(area, paint);
    OsRect client;
    os_get_client_rect(area, client);
    const OsDC dc = os_get_dc(area);
    if (!dc || !g.pColumns || g.nColumns <= 0) {
        if (dc) os_release_dc(area, dc);
        os_validate_rect(area, nullptr);
        return;
    }
    const std::int32_t pitch = g.nRowHeight - 1;
    const std::int32_t rows = grid_rows_drawn(g);
    const std::int32_t last = grid_last_drawn_column(g);
    // 1. Grid lines with the device context's own pen.
    std::int32_t x = 0;
    const std::int32_t bottom = std::min(rows * pitch, client.height());
    os_move_to(dc, 0, 0);
    os_line_to(dc, 0, bottom);
    for (std::int32_t c = g.iFirstColumn; c <= last; ++c) {
        x += g.column(c).nWidth - 1;
        os_move_to(dc, x, 0);
        os_line_to(dc, x, bottom);
    }
    const std::int32_t right = std::min(x, client.width());
    for (std::int32_t i = 0; i <= rows; ++i) {
        os_move_to(dc, 0, i * pitch);
        os_line_to(dc, right, i * pitch);
    }
    // 2. Text set-up.
    const OsObject old_font = g.hFont ? os_select_object(dc, g.hFont) : 0;
    os_set_bk_mode(dc, OS_TRANSPARENT);
    os_set_text_align(dc, OS_TA_LEFT | OS_TA_TOP);
    const FieldRecord* own = yyfieldrecord(grid);
    const std::int64_t own_text = own ? record_colour(own->text_colour) : -1;
    const std::int64_t own_back = own ? record_colour(own->background_colour) : -1;
    const bool disabled = (os_get_style(grid) & OS_WS_DISABLED) != 0;
    const bool readonly = (os_get_style(grid) & GS_READONLY) != 0;
    const bool focus = grid_focus_inside(grid);
    // 3. Cells.
    x = 0;
    for (std::int32_t c = g.iFirstColumn; c <= last; ++c) {
        GridColumn& col = g.column(c);
        const std::int32_t left = x;
        x += col.nWidth - 1;
        if (!intersects({left, 0, x + 1, client.height()}, paint)) continue;
        CheckBitmaps checks;
        const FieldRecord* cf = yyfieldrecord(col.hControl);
        for (std::int32_t i = 0; i < rows; ++i) {
            const std::int32_t row = g.iTopRow + i;
            if (row >= g.nRowsAllocated) break;
            const OsRect cell{left + 1, i * pitch + 1, left + col.nWidth - 2, i * pitch + g.nRowHeight - 2};
            if (!intersects(cell, paint)) continue;
            const auto r = static_cast<std::size_t>(row);
            // 4. Colours, the first rule that matches.
            std::uint32_t text = 0, back = 0;
            const bool selected = focus && grid_cell_selected(g, c, row);
            if (disabled) {
                text = os_sys_colour(OS_COLOR_GRAYTEXT);
                back = os_sys_colour(OS_COLOR_BTNFACE);
            } else if (selected) {
                text = os_sys_colour(OS_COLOR_HIGHLIGHTTEXT);
                back = os_sys_colour(OS_COLOR_HIGHLIGHT);
            } else if (readonly || (col.pStates[r] & CellDisabled)) {
                text = os_sys_colour(OS_COLOR_WINDOWTEXT);
                back = os_sys_colour(OS_COLOR_BTNFACE);
            } else {
                std::int64_t t = -1, b = -1;
                if (!col.pColours.empty()) {
                    const CellColour& k = col.pColours[r];
                    if (k.flags & 1) t = k.text[0] | (k.text[1] << 8) | (k.text[2] << 16);
                    if (k.flags & 2) b = k.back[0] | (k.back[1] << 8) | (k.back[2] << 16);
                } else if (cf) {
                    t = record_colour(cf->text_colour);
                    b = record_colour(cf->background_colour);
                }
                if (t < 0) t = own_text;
                if (b < 0) b = own_back;
                text = t < 0 ? os_sys_colour(OS_COLOR_WINDOWTEXT) : static_cast<std::uint32_t>(t);
                back = b < 0 ? os_sys_colour(OS_COLOR_WINDOW) : static_cast<std::uint32_t>(b);
            }
            if (col.iType == GridCheckBox) {
                if (!checks.made) make_check_bitmaps(g, col, dc, checks);
                const std::size_t k = (col.ints[r] == 1 ? 1u : 0u) + (selected ? 2u : 0u);
                const OsDC mem = os_create_compatible_dc(dc);
                const OsObject old = os_select_object(mem, checks.bm[k]);
                os_bit_blt(dc, cell.left, cell.top, cell.right - cell.left + 1, cell.bottom - cell.top + 1, mem, 1, 1,
                           OS_SRCCOPY);
                os_select_object(mem, old);
                os_delete_dc(mem);
                continue;
            }
            const std::string shown = yyGridGetString(grid, c, row, 1);
            const OsRect box{cell.left, cell.top, cell.right + 1, cell.bottom + 1};
            fill(dc, cell, back);
            os_set_text_color(dc, text);
            if (col.iType == GridMenu) {
                os_ext_text_out(dc, left + 3, cell.top + 2, OS_ETO_CLIPPED, &box, shown);
                continue;
            }
            // The hidden column control lays the text out as an editor would.
            os_set_window_text(col.hControl, shown);
            const auto pos = os_send_message(col.hControl, EM_POSFROMCHAR, 0, 0);
            OsRect fmt{0, 0, col.nWidth, g.nRowHeight};
            os_send_message(col.hControl, EM_GETRECT, 0, reinterpret_cast<std::intptr_t>(&fmt));
            const std::int32_t ox = pos == -1 ? 0 : static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(pos)));
            const std::int32_t oy = pos == -1 ? 0 : static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(pos)));
            OsRect clip{fmt.left + cell.left - 2, fmt.top + cell.top - 1, fmt.right + cell.left - 1,
                        fmt.bottom + cell.top - 1};
            clip.left = std::max(clip.left, box.left);
            clip.top = std::max(clip.top, box.top);
            clip.right = std::min(clip.right, box.right);
            clip.bottom = std::min(clip.bottom, box.bottom);
            os_ext_text_out(dc, ox + cell.left - 1, oy + cell.top - 1, OS_ETO_CLIPPED, &clip, shown);
        }
        checks.release();
    }
    if (old_font) os_select_object(dc, old_font);
    os_release_dc(area, dc);
    os_validate_rect(area, nullptr);
}

std::intptr_t grid_editor_colours(OsHandle grid, GridData& g, std::uint32_t msg, OsDC dc, OsHandle control) {
    // 1.
    if (dlgtab.hBrushDlg) {
        os_delete_object(dlgtab.hBrushDlg);
        dlgtab.hBrushDlg = 0;
    }
    if (!control || os_get_parent(control) != g.hCellArea) return 0;
    // 2.
    if (grid_focus_inside(grid) && grid_cell_selected(g, g.iCurrentColumn, g.iCurrentRow)) {
        // A check box keeps its mark in the button text colour on the
        // highlight, as its highlighted picture in the other cells shows it.
        const bool check = msg == OSM_CTLCOLORBTN;
        os_set_text_color(dc, os_sys_colour(check ? OS_COLOR_BTNTEXT : OS_COLOR_HIGHLIGHTTEXT));
        os_set_bk_color(dc, os_sys_colour(OS_COLOR_HIGHLIGHT));
        return sys_brush(OS_COLOR_HIGHLIGHT);
    }
    // 3.
    const FieldRecord* f = yyfieldrecord(control);
    if (!f) return 0;
    const FieldRecord* own = yyfieldrecord(grid);
    std::int32_t text = f->text_colour, back = f->background_colour;
    if (text < 0 && own) text = own->text_colour;
    if (back < 0 && own) back = own->background_colour;
    const bool button = msg == OSM_CTLCOLORBTN;
    if (text >= 0) os_set_text_color(dc, static_cast<std::uint32_t>(text) & 0xFFFFFF);
    else if (back >= 0) os_set_text_color(dc, os_sys_colour(button ? OS_COLOR_BTNTEXT : OS_COLOR_WINDOWTEXT));
    if (back >= 0) {
        const std::uint32_t near = os_get_nearest_color(dc, static_cast<std::uint32_t>(back) & 0xFFFFFF);
        os_set_bk_color(dc, near);
        dlgtab.hBrushDlg = os_create_solid_brush(near);
        return dlgtab.hBrushDlg;
    }
    if (text >= 0) {
        const std::int32_t sys = button ? OS_COLOR_BTNFACE : OS_COLOR_WINDOW;
        os_set_bk_color(dc, os_sys_colour(sys));
        return sys_brush(sys);
    }
    return 0;
}
